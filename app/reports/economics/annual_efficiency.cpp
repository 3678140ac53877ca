// The "Annual System Efficiency Report" of the economic report: the efficiency graphs of the
// alternatives in frames (annual efficiency bars, efficiency against outdoor temperature over
// the bins, and for the combined kind the annual energy cost), the heating and combined
// efficiency tables with their formula footnote, and the section body that puts them together.
#include <algorithm>
#include <cmath>

#include "app/reports/clsReport.h"
#include "app/reports/economics/economic_graphs.h"
#include "app/reports/report_internal.h"
#include "app/reports/report_strings.h"
#include "app/resources/TextCatalog.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "libs/vb/vberror.h"

namespace reports::economics {
namespace {

constexpr double kKBtuPerKWh = 3.412141633;

const char* KindWord(int kind) { return kind == kHeating ? "Heating" : kind == kCombined ? "Combined" : "Cooling"; }

double Converted(double value, int32_t unitId) { return modpublic::gUnits.CnvToDevice(value, unitId); }

// The annual efficiency of `kind` of an alternative as the graph shows it.
double AnnualEfficiency(const SystemEconData& e, int kind, int32_t unitId) {
  if (kind == kHeating) return e.HeatingSystemEfficiency;
  if (kind == kCombined) return e.CombinedSystemEfficiency;
  return Converted(e.dSystemEfficiency, unitId);
}

// Bin b's efficiency of `kind` (the cooling one converted to the unit id).
double BinEfficiency(const SystemEconData& e, int kind, int32_t unitId, int b) {
  if (kind == kHeating) return e.BinHeatingEfficiency(b);
  if (kind == kCombined) return e.BinCombinedEfficiency(b);
  return Converted(e.dBinEfficiency(b), unitId);
}

// The bin loads of alternative 1 as the profiles graph plots them: the cooling (or, for
// kind 1, heating) series, and for kind 2 the heating series as well (cooling then in kBtu).
struct BinLoads {
  double first = 0;
  double second = 0;
};
BinLoads BinLoadsOf(const SystemEconData& e, int kind, int b) {
  if (kind == kCombined)
    return {AsPrinted(Converted(12 * e.dBinTonHours(b), KBTU_TO_KWH), 0),
            AsPrinted(Converted(e.BinHeatingLoad(b), KBTU_TO_KWH), 0)};
  if (kind == kHeating) return {AsPrinted(Converted(e.BinHeatingLoad(b), KBTU_TO_KWH), 0), 0};
  return {AsPrinted(Converted(e.dBinTonHours(b), TONHR_TO_KWH), 0), 0};
}

struct Extremes {
  double min = 1.0E+20;
  double max = -1.0E+20;
  void Take(double v) {
    if (v < min) min = v;
    if (v > max) max = v;
  }
};

int Systems(const EconSummaryData& summary) { return std::clamp<int>(summary.nNumSystems, 0, kMaxSystems); }

// "Annual Cooling System Efficiency (kW/ton)"; without a unit no empty parentheses.
std::string WithUnit(const std::string& text, const std::string& unit) {
  return unit.empty() ? text : text + " " + modpublic::Parenthesize(unit);
}

void BarChartLook(graph::Chart& chart, const std::string& title, const QColor& colour, int points) {
  chart.background = QColor(255, 255, 255);
  chart.fontFace = "Arial";
  chart.title = title;
  chart.plot = graph::Plot::Bars;
  chart.SetSeriesCount(1);
  chart.SetPointCount(points);
  chart.series(0).color = colour;
  chart.xAxis.label.clear();
  chart.yAxis.label.clear();
}

}  // namespace

int32_t EfficiencyUnitOf(const SystemEconArray& systems, int kind) {
  return clsReport::GetEfficiencyUnitConvID(kind == kCooling ? systems(1).nEfficiencyType : 2);
}

int BinCount(const SystemEconData& first) {
  for (int b = kBins; b >= 1; --b)
    if (first.fBinWeather(b) != 0) return b;
  return 0;
}

Range AnnualEfficiencyScale(const EconSummaryData& summary, const SystemEconArray& systems, int kind) {
  const int32_t unitId = EfficiencyUnitOf(systems, kind);
  Extremes x;
  for (int a = 1; a <= Systems(summary); ++a) {
    if (modpublic::gHeatRecoveryOption == 1) {
      for (int k : {kCooling, kHeating, kCombined}) x.Take(AnnualEfficiency(systems(a), k, unitId));
    } else {
      x.Take(AnnualEfficiency(systems(a), kind, unitId));
    }
  }
  return ScaleRules(x.min, x.max);
}

Range BinLoadScale(const SystemEconArray& systems, int kind, int bins) {
  Extremes x;
  const bool both = kind == kCombined || modpublic::gHeatRecoveryOption == 1;
  for (int b = 1; b <= std::min(bins, kBins); ++b) {
    const BinLoads loads = BinLoadsOf(systems(1), both ? kCombined : kind, b);
    x.Take(loads.first);
    if (both) x.Take(loads.second);
  }
  // Heat recovery puts the cooling loads in kBtu; the cooling graph shows ton-hours.
  if (kind == kCooling && modpublic::gHeatRecoveryOption == 1 && modpublic::gUnits.CurrentUnitOfMeasure() == nENGLISH) {
    x.min /= 12;
    x.max /= 12;
  }
  return ScaleRules(x.min, x.max);
}

Range BinEfficiencyScale(const EconSummaryData& summary, const SystemEconArray& systems, int kind, int32_t unitId,
                         int bins) {
  Extremes x;
  for (int a = 1; a <= Systems(summary); ++a)
    for (int b = 1; b <= std::min(bins, kBins); ++b) x.Take(BinEfficiency(systems(a), kind, unitId, b));
  return ScaleRules(x.min, x.max);
}

void FillAnnualEfficiencyChart(graph::Chart& chart, const EconSummaryData& summary, const SystemEconArray& systems,
                               int kind, const std::string& prefix) {
  static const QColor kColours[] = {QColor(0, 150, 0), QColor(150, 0, 0), QColor(120, 200, 255)};
  const int32_t unitId = EfficiencyUnitOf(systems, kind);
  const int n = Systems(summary);
  BarChartLook(
      chart,
      WithUnit(std::string("Annual ") + KindWord(kind) + " System Efficiency", modpublic::gUnits.UnitStr(unitId)),
      kColours[std::clamp(kind, 0, 2)], n);
  for (int a = 1; a <= n; ++a) {
    // Plotted as labelled: converted to the unit shown.
    const double v = AnnualEfficiency(systems(a), kind, unitId);
    chart.SetPointLabel(a - 1, prefix + std::to_string(a));
    chart.SetY(0, a - 1, v);
    chart.AddAnnotation(a, v, modpublic::FormatUnitValue(v, NO_CONV, "0.000"));
  }
  const Range r = AnnualEfficiencyScale(summary, systems, kind);
  chart.yAxis.scale = graph::Scale::Manual(r.min, 1.6 * r.max);
}

void FillAnnualEnergyCostChart(graph::Chart& chart, const EconSummaryData& summary, const SystemEconArray& systems,
                               const std::string& prefix) {
  const std::string currency = vb::Trim(summary.sCurrency);
  const bool dollars = currency == "$";
  const int n = Systems(summary);
  BarChartLook(chart, WithUnit("Annual Energy + Fuel Costs", dollars ? "" : currency), QColor(0, 0, 150), n);
  double minimum = 0, maximum = 0;
  for (int a = 1; a <= n; ++a) {
    const double v = systems(a).dEnergyCost(10);
    minimum = std::min(minimum, v);
    maximum = std::max(maximum, v);
    chart.SetPointLabel(a - 1, prefix + std::to_string(a));
    chart.SetY(0, a - 1, v);
    chart.AddAnnotation(a, v, (dollars ? "$" : "") + vb::Format(v, "###,###,###,##0"));
  }
  const Range r = ScaleRules(minimum, maximum);
  chart.yAxis.scale = graph::Scale::Manual(r.min, 1.6 * r.max);
}

void FillEfficiencyProfilesChart(graph::Chart& chart, const EconSummaryData& summary, const SystemEconArray& systems,
                                 int kind, const std::string& prefix) {
  static const struct {
    graph::Marker marker;
    QColor colour;
  } kAlternatives[] = {{graph::Marker::Square, QColor(255, 0, 0)},
                       {graph::Marker::Circle, QColor(0, 0, 255)},
                       {graph::Marker::Triangle, QColor(255, 0, 255)},
                       {graph::Marker::Diamond, QColor(0, 0, 0)}};
  const int loads = kind == kCombined ? 2 : 1;
  const int n = Systems(summary);
  const int bins = BinCount(systems(1));
  const int32_t unitId = EfficiencyUnitOf(systems, kind);
  chart.background = QColor(255, 255, 255);
  chart.fontFace = "Arial";
  chart.plot = graph::Plot::Bars;
  chart.rightPlot = graph::Plot::Points;
  chart.title = std::string(KindWord(kind)) + " System Efficiency vs. Outdoor Air Temperature";
  chart.subtitle.clear();
  chart.SetSeriesCount(n + loads);
  chart.SetPointCount(bins);
  chart.series(0).label = kind == kHeating ? "Heating Load" : reports::ResString(reports::kTxtCoolingLoad);
  chart.series(0).color = kind == kHeating ? QColor(150, 0, 0) : QColor(0, 150, 0);
  chart.series(0).legendGroup = 0;
  if (loads == 2) {
    chart.series(1).label = "Heating Load";
    chart.series(1).color = QColor(150, 0, 0);
    chart.series(1).legendGroup = 1;
  }
  for (int a = 1; a <= n; ++a) {
    graph::Series& s = chart.series(loads + a - 1);
    s.legendGroup = loads + a - 1;
    s.label = prefix + std::to_string(a) + " - " + vb::Trim(systems(a).sSystemName);
    s.lineWidth = 1.0;
    s.marker = kAlternatives[a - 1].marker;
    s.color = kAlternatives[a - 1].colour;
    s.axis = graph::YAxis::Right;
  }
  chart.xAxis.label = modpublic::AddUnitLabel("Outdoor Air Temperature", F_TO_C, true);
  chart.yAxis.label = kind == kCooling   ? modpublic::AddUnitLabel("Cooling Load", TONHR_TO_KWH, true)
                      : kind == kHeating ? modpublic::AddUnitLabel("Heating Load", KBTU_TO_KWH, true)
                                         : modpublic::AddUnitLabel("Cooling or Heating Load", KBTU_TO_KWH, true);
  chart.rightAxis.label = modpublic::AddUnitLabel("System Efficiency", unitId, true);

  Extremes x;
  for (int b = 1; b <= bins; ++b) {
    const double t = AsPrinted(Converted(systems(1).fBinWeather(b), F_TO_C), 1);
    x.Take(t);
    const BinLoads l = BinLoadsOf(systems(1), kind, b);
    chart.SetPoint(0, b - 1, t, l.first);
    if (loads == 2) chart.SetPoint(1, b - 1, t, l.second);
  }
  for (int a = 1; a <= n; ++a)
    for (int b = 1; b <= bins; ++b)
      chart.SetPoint(loads + a - 1, b - 1, AsPrinted(Converted(systems(a).fBinWeather(b), F_TO_C), 1),
                     AsPrinted(BinEfficiency(systems(a), kind, unitId, b), 3));

  // Ranges pad outward by 3 % of each end's magnitude, so negative temperatures stay inside.
  auto padded = [](double lo, double hi) {
    return graph::Scale::Manual(lo - 0.03 * std::abs(lo), hi + 0.03 * std::abs(hi));
  };
  chart.xAxis.scale = bins > 0 ? padded(x.min, x.max) : graph::Scale::Automatic();
  const Range load = BinLoadScale(systems, kind, bins);
  chart.yAxis.scale = graph::Scale::Manual(0, load.max * 1.03);
  const Range eff = BinEfficiencyScale(summary, systems, kind, unitId, bins);
  chart.rightAxis.scale = padded(eff.min, eff.max);
  if (modpublic::gHeatRecoveryOption == 1) chart.rightAxis.scale.min = 0;
}

EfficiencyFrames EfficiencyFrameLayout(int32_t textWidth, int frameCount) {
  EfficiencyFrames f;
  const int32_t leftWidth = 4320;
  if (frameCount == 3) {
    f.energyCost = {0, 1, leftWidth, 2347};
    f.efficiency = {0, 2347 + 345, leftWidth, 2347};
  } else {
    f.efficiency = {0, 1, leftWidth, 5039};
  }
  const int32_t width2 = textWidth - leftWidth - 288 - 475;
  f.profiles = {textWidth - width2 - 200, 1, width2, 5040};
  return f;
}

std::string AnnualEfficiencyFootnote(int32_t unitId, int kind) {
  std::string title = "Annual System Efficiency in", load, energy;
  if (kind >= kCooling && kind <= kCombined) {
    title = std::string("Annual ") + KindWord(kind) + " System Efficiency in";
    load = std::string(KindWord(kind)) + " System Load in";
    energy = std::string("Total ") + KindWord(kind) + " Energy Use in";
  }
  const clsUnits& u = modpublic::gUnits;
  const std::string x12 = u.CurrentUnitOfMeasure() == nENGLISH ? " x 12" : "";
  const std::string v = kind == kCooling                          ? u.UnitStr(TONHR_TO_KWH) + x12
                        : (kind == kHeating || kind == kCombined) ? u.UnitStr(KBTU_TO_KWH)
                                                                  : std::string();
  using modpublic::Parenthesize;
  if (unitId == modpublic::gEfficiencyUnitID)
    return title + " " + u.UnitStr(unitId) + " = " + Parenthesize(load + " " + u.UnitStr(TONHR_TO_KWH) + x12) + " / " +
           Parenthesize(energy + " " + u.UnitStr(KWH_TO_KWH));
  if (unitId == KWTON_TO_IKWKW)
    return title + " " + u.UnitStr(KWTON_TO_IKWKW) + " = " + Parenthesize(energy + " " + u.UnitStr(KWH_TO_KWH)) +
           " / " + Parenthesize(load + " " + u.UnitStr(TONHR_TO_KWH));
  if (unitId == modpublic::gSystemEfficiencyUnitID)
    return title + " " + u.UnitStr(unitId) + " = " + Parenthesize(load + " " + v) + " / " +
           Parenthesize(energy + " " + u.UnitStr(KBTU_TO_KWH));
  return "";
}

bool EfficiencyShown(double efficiency) { return std::abs(efficiency) > 0.01; }

double GasBoilerEnergy(const SystemEconData& system, bool efficiencyShown) {
  const double heating = system.HeatingEnergyUse;
  if (!efficiencyShown || heating == 0) return 0;
  const double g = heating - system.DHRCChillerEnergyForHeating * kKBtuPerKWh;
  return std::abs(g / heating) < 0.01 ? 0 : g;
}

}  // namespace reports::economics

using namespace reports::economics;

int32_t clsReport::GetEfficiencyUnitConvID(int32_t selector) {
  switch (selector) {
    case 0:
      return modpublic::gEfficiencyUnitID;
    case 1:
      return KWTON_TO_IKWKW;
    case 2:
      return modpublic::gSystemEfficiencyUnitID;
    default:
      return NO_CONV;
  }
}

bool clsReport::GetAnnSysEfficiencyYScaleValuess(int16_t kind, double& minimum, double& maximum) {
  return modpublic::RunGuarded(ErrorSource("GetAnnSysEfficiencyYScaleValuess"), "", ui::kExclamation, [&] {
    CheckEconomicResults(m_EconSummary);
    const Range r = AnnualEfficiencyScale(m_EconSummary, *m_SystemEcon, kind);
    minimum = r.min;
    maximum = r.max;
  });
}

bool clsReport::GetBinLoadYScaleValues(int16_t kind, int16_t bins, double& minimum, double& maximum) {
  return modpublic::RunGuarded(ErrorSource("GetBinLoadYScaleValues"), "", ui::kExclamation, [&] {
    if (bins > kBins) vb::Raise(vb::kSubscriptOutOfRange);
    const Range r = BinLoadScale(*m_SystemEcon, kind, bins);
    minimum = r.min;
    maximum = r.max;
  });
}

bool clsReport::GetBinEfficiencyYScaleValues(int16_t kind, int32_t unitId, int16_t bins, double& minimum,
                                             double& maximum) {
  return modpublic::RunGuarded(ErrorSource("GetBinEfficiencyYScaleValues"), "", ui::kExclamation, [&] {
    CheckEconomicResults(m_EconSummary);
    if (bins > kBins) vb::Raise(vb::kSubscriptOutOfRange);
    const Range r = BinEfficiencyScale(m_EconSummary, *m_SystemEcon, kind, unitId, bins);
    minimum = r.min;
    maximum = r.max;
  });
}

void clsReport::AnnualSystemEfficiencyGraph(graph::Chart*& graph, int16_t kind, bool& ok) {
  double ymin = 0, ymax = 0;
  ok = GetAnnSysEfficiencyYScaleValuess(kind, ymin, ymax) && InitGraph(graph, 1) &&
       modpublic::RunGuarded(ErrorSource("AnnualSystemEfficiencyGraph"), "", ui::kExclamation, [&] {
         FillAnnualEfficiencyChart(*graph, m_EconSummary, *m_SystemEcon, kind, SystemLabelPrefix);
       });
}

void clsReport::AnnualSystemEnergyCostGraph(graph::Chart*& graph, bool& ok) {
  ok = InitGraph(graph, 1) &&
       modpublic::RunGuarded(ErrorSource("AnnualSystemEnergyCostGraph"), "", ui::kExclamation, [&] {
         CheckEconomicResults(m_EconSummary);
         FillAnnualEnergyCostChart(*graph, m_EconSummary, *m_SystemEcon, SystemLabelPrefix);
       });
}

void clsReport::AnnualSystemEfficiencyProfilesGraph(graph::Chart*& graph, int16_t kind, bool& ok) {
  ok = modpublic::RunGuarded(ErrorSource("AnnualSystemEfficiencyProfilesGraph"), "", ui::kExclamation, [&] {
    CheckEconomicResults(m_EconSummary);
    // The XY graph used directly, from its starting state.
    graph = &m_Pesgo1;
    graph->Reset(graph::ChartType::Xy);
    FillEfficiencyProfilesChart(*graph, m_EconSummary, *m_SystemEcon, kind, SystemLabelPrefix);
  });
}

bool clsReport::CreateFramesForSysEffReport(std::vector<int32_t>& frames, int16_t count) {
  return modpublic::RunGuarded(ErrorSource("CreateFramesForSysEffReport"), "", ui::kExclamation, [&] {
    Doc();
    frames.assign(static_cast<size_t>(count) + 1, 0);
    const EfficiencyFrames layout = EfficiencyFrameLayout(m_TextWidth, count);
    MoveToDocEnd();
    WriteTextLine("");
    auto insert = [&](const FrameBox& f) {
      return richtext::TerInsertParaFrame(m_TerHwnd, f.x, f.y, f.width, f.height, 1);
    };
    if (count == 3) frames[3] = insert(layout.energyCost);
    frames[1] = insert(layout.efficiency);
    frames[2] = insert(layout.profiles);
    // The frames' paragraph ends here, so what follows is written below them.
    richtext::TerAppendText(m_TerHwnd, std::string(1, reports::detail::kParaEnd), 0, 0, m_Repaint);
    MoveToDocEnd();
    for (size_t i = 1; i < frames.size(); ++i)
      if (frames[i] <= 0) return false;
    return true;
  });
}

bool clsReport::CreateAnnualSystemEfficiencyGraphs(int16_t kind) {
  return modpublic::RunGuarded(ErrorSource("CreateAnnualSystemEfficiencyGraphs"), "", ui::kExclamation, [&] {
    const int16_t count = kind == kCombined ? 3 : 2;
    WriteTextLine(" ");
    SetTableStart(0);
    std::vector<int32_t> frames;
    if (!CreateFramesForSysEffReport(frames, count)) return false;
    // A graph that cannot be built leaves its frame empty; one that cannot be placed ends here.
    graph::Chart* graph = nullptr;
    bool ok = false;
    if (count == 3) {
      AnnualSystemEnergyCostGraph(graph, ok);
      if (ok) PasteGraphInFrame(*graph, frames[3]);
    }
    AnnualSystemEfficiencyGraph(graph, kind, ok);
    if (ok) PasteGraphInFrame(*graph, frames[1]);
    AnnualSystemEfficiencyProfilesGraph(graph, kind, ok);
    if (ok) PasteGraphInFrame(*graph, frames[2]);
    return true;
  });
}

bool clsReport::EmptyCheck(int32_t&) { return true; }

namespace {

// One column of an annual efficiency table: its heading, the unit of the heading, and the
// text of an alternative's row.
struct EfficiencyColumn {
  const char* heading;
  int32_t unitId;  // -1: the efficiency unit
  double (*value)(const SystemEconData&);
};

}  // namespace

// The heading, the header row, a row per alternative, the footnote (and for the heating table
// the heat recovery chiller note), kept on one page.
static bool WriteEfficiencyTable(clsReport& report, int32_t& table, int kind, int32_t firstWidth, int32_t width,
                                 const std::vector<EfficiencyColumn>& columns, const EconSummaryData& summary,
                                 const SystemEconArray& systems) {
  if (report.CurrentReportID() == 0) return false;
  CheckEconomicResults(summary);
  const int32_t unitId = clsReport::GetEfficiencyUnitConvID(2);
  ++table;
  report.WriteTextLine(
      std::to_string(table) + ".  Annual " + (kind == kHeating ? "Heating" : "Combined") + " System Efficiency", true);
  report.WriteTextLine("");
  const int32_t last = static_cast<int32_t>(columns.size()) + 1;
  const std::string efficiencyHeading = std::string(kind == kHeating ? "Heating" : "Combined") + " System Efficiency";
  report.WriteCellData("System", true, 0, firstWidth, false, true, true, true, true, 1024);
  report.WriteCellData(modpublic::AddUnitLabel(efficiencyHeading, unitId, true), true, 1, width, false, true, true,
                       true, true, 0);
  for (int32_t c = 2; c < last + 1; ++c) {
    const EfficiencyColumn& col = columns[static_cast<size_t>(c - 2)];
    report.WriteCellData(modpublic::AddUnitLabel(col.heading, col.unitId, true), true, c, width, c == last, true, true,
                         true, true, 0);
  }
  for (int a = 1; a <= summary.nNumSystems; ++a) {
    const SystemEconData& e = systems(a);
    const double efficiency = kind == kHeating ? e.HeatingSystemEfficiency : e.CombinedSystemEfficiency;
    const bool shown = EfficiencyShown(efficiency);
    report.WriteCellData(modpublic::TrimNull(report.SystemLabelPrefix + std::to_string(a) + " - " + e.sSystemName),
                         false, 0, firstWidth, false, true, true, true, true, 1024);
    report.WriteCellData(shown ? modpublic::FormatUnitValue(efficiency, unitId, "0.000") : "N/A", false, 1, width,
                         false, true, true, true, true, shown ? 0 : 1);
    for (int32_t c = 2; c < last + 1; ++c) {
      const EfficiencyColumn& col = columns[static_cast<size_t>(c - 2)];
      // The gas boiler column (no value function) takes the boiler's share of the heating energy.
      const double v = col.value ? col.value(e) : GasBoilerEnergy(e, shown);
      report.WriteCellData(modpublic::FormatUnitValue(v, col.unitId, "###,###,###,##0"), false, c, width, c == last,
                           true, true, true, true, 0);
    }
  }
  report.WriteTextLine(report.GetFootNoteForAnnualEfficiencyTable(unitId, static_cast<int16_t>(kind)));
  if (kind == kHeating && summary.bHeatRecovery != 0) {
    report.WriteTextLine(" ");
    report.WriteTextLine(
        "Note: For a dedicated heat recovery chiller (DHRC) plant the DHRC is considered to be a heating machine.  "
        "Therefore the heating system efficiency is calculated from the total heating load and energy consumption by "
        "the DHRC, the boilers, and the hot water booster pump. ");
  }
  report.KeepTableTogether(report.GetTableStart(), true);
  report.ResetTableStart();
  report.MoveToDocEnd();
  return true;
}

bool clsReport::AnnualHSystemEfficiencyTable(int32_t& table) {
  static const std::vector<EfficiencyColumn> columns = {
      {"Heating Load", KBTU_TO_KWH, [](const SystemEconData& e) { return e.HeatingLoad; }},
      {"Energy Use for Heating", KBTU_TO_KWH, [](const SystemEconData& e) { return e.HeatingEnergyUse; }},
      {"Gas Boiler Energy Use", KBTU_TO_KWH, nullptr},
      {"DHRC Chiller Energy Use", KWH_TO_KWH, [](const SystemEconData& e) { return e.DHRCChillerEnergyUse; }},
      {"Electric Boiler Energy Use", KWH_TO_KWH, [](const SystemEconData& e) { return e.ElectricBoilerEnergyUse; }},
      {"DHRC Pump Energy Use", KWH_TO_KWH, [](const SystemEconData& e) { return e.DHRCPumpEnergyUse; }},
  };
  return modpublic::RunGuarded(ErrorSource("AnnualHSystemEfficiencyTable"), "", ui::kExclamation, [&] {
    return WriteEfficiencyTable(*this, table, kHeating, 3312, 1584, columns, m_EconSummary, *m_SystemEcon);
  });
}

bool clsReport::AnnualCombinedSystemEfficiencyTable(int32_t& table) {
  static const std::vector<EfficiencyColumn> columns = {
      {"Combined System Load", KBTU_TO_KWH,
       [](const SystemEconData& e) { return e.dAnnualTonHours * 12 + e.HeatingLoad; }},
      {"Combined System Energy Use", KBTU_TO_KWH,
       [](const SystemEconData& e) { return e.dAnnualEnergyInput + e.HeatingEnergyUse; }},
      {"Cooling Load", TONHR_TO_KWH, [](const SystemEconData& e) { return e.dAnnualTonHours; }},
      {"Energy Use for Cooling", KBTU_TO_KWH, [](const SystemEconData& e) { return e.dAnnualEnergyInput; }},
      {"Heating Load", KBTU_TO_KWH, [](const SystemEconData& e) { return e.HeatingLoad; }},
      {"Energy Use for Heating", KBTU_TO_KWH, [](const SystemEconData& e) { return e.HeatingEnergyUse; }},
  };
  return modpublic::RunGuarded(ErrorSource("AnnualCombinedSystemEfficiencyTable"), "", ui::kExclamation, [&] {
    return WriteEfficiencyTable(*this, table, kCombined, 3816, 1512, columns, m_EconSummary, *m_SystemEcon);
  });
}

std::string clsReport::GetFootNoteForAnnualEfficiencyTable(int32_t unitId, int16_t kind) {
  std::string note;
  modpublic::RunGuarded(ErrorSource("GetFootNoteForAnnualEfficiencyTable"), "", ui::kExclamation,
                        [&] { note = AnnualEfficiencyFootnote(unitId, kind); });
  return note;
}

bool clsReport::RptAnnualSystemEfficiency0(int32_t& section) {
  const std::string title = ErrorSource("RptAnnualSystemEfficiency0");
  const char* failed = nullptr;
  const bool ok = modpublic::RunGuarded(title, "", ui::kExclamation, [&] {
    const char* graphs = "Error creating Annual System Efficiency Graphs.";
    const char* tables = "Error creating Annual System Efficiency Table.";
    // Each step has shown its own box when it failed; the body adds its failure text.
    auto step = [&](bool stepOk, const char* what) {
      if (!stepOk && !failed) failed = what;
      return stepOk;
    };
    if (modpublic::gHeatRecoveryOption == 1) {
      if (!step(CreateAnnualSystemEfficiencyGraphs(kCombined), graphs)) return false;
      if (!step(AnnualCombinedSystemEfficiencyTable(section), tables)) return false;
      richtext::TerPageBreak(m_TerHwnd, m_Repaint);
      if (!step(CreateAnnualSystemEfficiencyGraphs(kCooling), graphs)) return false;
      if (!step(EmptyCheck(section), tables)) return false;
      richtext::TerPageBreak(m_TerHwnd, m_Repaint);
      if (!step(CreateAnnualSystemEfficiencyGraphs(kHeating), graphs)) return false;
      return step(AnnualHSystemEfficiencyTable(section), tables);
    }
    if (!step(CreateAnnualSystemEfficiencyGraphs(kCooling), graphs)) return false;
    return step(EmptyCheck(section), tables);
  });
  if (failed) modpublic::ShowError(failed, ui::kExclamation, title);
  return ok;
}
