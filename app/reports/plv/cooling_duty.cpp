// The cooling duty profiles: how each bin's load is met (mechanical cooling, free cooling or
// both), as an area graph over the bin temperatures, a share bar graph and a table.
#include <algorithm>
#include <cstdint>

#include "app/reports/clsReport.h"
#include "app/reports/plv/profile_graphs.h"
#include "app/reports/report_internal.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace reports::plv {

CoolingMode ClassifyCoolingMode(const PLVBinData& bin) {
  const double free = bin.fFreeCoolingLoad;
  const double mech = static_cast<double>(bin.fLoad) - bin.fFreeCoolingLoad;
  if (free <= 0 && mech > 0) return CoolingMode::Mechanical;
  if (free > 0 && mech <= 0) return CoolingMode::Free;
  return CoolingMode::Hybrid;
}

std::vector<DutyBin> CoolingDutyBins(const PLVProfileData& profile) {
  std::vector<DutyBin> out;
  const int bins = ProfileBins(profile);
  for (int b = 1; b <= bins; ++b) {
    const PLVBinData& bin = profile.Bins(b);
    DutyBin d;
    d.tempF = bin.fDB;
    d.hours = bin.lHours;
    d.mode = ClassifyCoolingMode(bin);
    d.total = static_cast<double>(bin.fLoad) * bin.lHours;
    const double free = static_cast<double>(bin.fFreeCoolingLoad) * bin.lHours;
    // A bin met by the chillers alone carries the whole ton-hours the calculation stored for
    // it, so the mechanical total is the plant's total as every other table prints it.
    const double mech = d.mode == CoolingMode::Mechanical
                            ? static_cast<double>(bin.lLoadHours)
                            : (static_cast<double>(bin.fLoad) - bin.fFreeCoolingLoad) * bin.lHours;
    if (d.mode != CoolingMode::Mechanical) d.free = free;
    if (d.mode != CoolingMode::Free) d.mechanical = mech;
    out.push_back(d);
  }
  return out;
}

bool HasFreeCoolingSystem(const PLVProfileData& profile) {
  const int n = ProfileChillers(profile);
  for (int c = 1; c <= n; ++c) {
    const int16_t code = profile.ChillerResults(c).nFreeCoolingMode;
    if (code == 2 || code == 6) return true;
  }
  return false;
}

int CountCoolingModeChanges(const PLVProfileData& profile, bool& recurring) {
  std::array<int, 3> entries{};
  int changes = 0;
  const int bins = ProfileBins(profile);
  for (int b = bins - 1; b >= 1; --b) {
    const CoolingMode mode = ClassifyCoolingMode(profile.Bins(b));
    if (mode == ClassifyCoolingMode(profile.Bins(b + 1))) continue;
    ++changes;
    ++entries[static_cast<size_t>(mode)];
  }
  recurring = entries[0] > 1 || entries[1] > 1 || entries[2] > 1;
  return changes;
}

CoolingDutyTotals SumCoolingDuty(const std::vector<DutyBin>& bins) {
  CoolingDutyTotals t;
  for (const DutyBin& b : bins) {
    t.hours += b.hours;
    switch (b.mode) {
      case CoolingMode::Free:
        t.free += b.free;
        break;
      case CoolingMode::Hybrid:
        t.hybridFree += b.free;
        t.hybridMechanical += b.mechanical;
        break;
      case CoolingMode::Mechanical:
        t.mechanical += b.mechanical;
        break;
    }
  }
  return t;
}

CoolingShares ShareOfModes(const CoolingDutyTotals& t) {
  const double sum = t.Sum();
  if (sum == 0) return {};
  return {t.free * 100 / sum, (t.hybridFree + t.hybridMechanical) * 100 / sum, t.mechanical * 100 / sum};
}

std::array<QColor, 4> CoolingDutyColours() {
  return {QColor(255, 0, 0), QColor(255, 120, 120), QColor(190, 230, 140), QColor(0, 176, 80)};
}

void FillCoolingDutyChart(graph::Chart& chart, const PLVProfileData& profile, bool showHybrid) {
  const clsUnits& units = modpublic::gUnits;
  const std::vector<DutyBin> bins = CoolingDutyBins(profile);
  bool recurring = false;
  const int changes = CountCoolingModeChanges(profile, recurring);

  chart.emptyValue = -20;
  chart.plot = graph::Plot::Area;
  const int subsets = showHybrid ? 4 : 2;
  chart.SetSeriesCount(subsets);
  // The subset of each part; the hybrid parts have none without hybrid.
  const int mechSubset = 0, hybridMechSubset = showHybrid ? 1 : -1, hybridFreeSubset = showHybrid ? 2 : -1;
  const int freeSubset = subsets - 1;
  const auto colours = CoolingDutyColours();
  const char* labels[] = {"Mechanical Cooling", "Hybrid - Mechanical Cooling", "Hybrid - Free Cooling", "Free Cooling"};
  for (int s = 0; s < subsets; ++s) {
    const int role = showHybrid ? s : (s == 0 ? 0 : 3);
    chart.series(s).label = labels[role];
    chart.series(s).color = colours[static_cast<size_t>(role)];
    chart.series(s).legendGroup = s;
  }
  chart.SetPointCount(static_cast<int>(bins.size()) + changes * (recurring ? 2 : 1));
  chart.yAxis.label = "Annual Cooling " + modpublic::Parenthesize(units.UnitStr(TONHR_TO_KWH));
  chart.xAxis.label = "Bin Temperature " + modpublic::Parenthesize(units.UnitStr(F_TO_C));
  for (int s = 0; s < subsets; ++s)
    for (int p = 0; p < chart.PointCount(); ++p) chart.SetPoint(s, p, 0, *chart.emptyValue);

  auto cooling = [&](double tonHours) { return units.CnvToDevice(tonHours, TONHR_TO_KWH); };
  auto temperature = [&](float f) { return units.CnvToDevice(f, F_TO_C); };
  // Every subset takes the point's X; the subsets of the mode its Y: the mode's annual
  // cooling, and for hybrid the whole (mechanical part on top) and the free part.
  auto setX = [&](int p, double x) {
    for (int s = 0; s < subsets; ++s) chart.SetX(s, p, x);
  };
  auto put = [&](int p, CoolingMode mode, double outer, double freePart) {
    switch (mode) {
      case CoolingMode::Mechanical:
        chart.SetY(mechSubset, p, outer);
        break;
      case CoolingMode::Free:
        chart.SetY(freeSubset, p, outer);
        break;
      case CoolingMode::Hybrid:
        if (!showHybrid) break;
        chart.SetY(hybridMechSubset, p, outer);
        chart.SetY(hybridFreeSubset, p, freePart);
        break;
    }
  };

  std::array<bool, 3> seen{};
  double largest = 0;
  int p = 0;
  for (int i = static_cast<int>(bins.size()) - 1; i >= 0; --i) {
    const DutyBin& bin = bins[static_cast<size_t>(i)];
    if (i + 1 < static_cast<int>(bins.size())) {
      const DutyBin& prev = bins[static_cast<size_t>(i) + 1];
      if (bin.mode != prev.mode) {
        // Both modes reach the point between the two bins.
        const double x = (temperature(bin.tempF) + temperature(prev.tempF)) / 2;
        const double total = (cooling(bin.total) + cooling(prev.total)) / 2;
        const double free = (cooling(bin.free) + cooling(prev.free)) / 2;
        setX(p, x);
        put(p, prev.mode, total, free);
        put(p, bin.mode, total, free);
        ++p;
        if (recurring) {
          setX(p, x + 0.01);
          put(p, bin.mode, total, free);
          ++p;
        }
      }
    }
    const double outer = bin.mode == CoolingMode::Mechanical ? bin.mechanical
                         : bin.mode == CoolingMode::Free     ? bin.free
                                                             : bin.free + bin.mechanical;
    setX(p, temperature(bin.tempF));
    put(p, bin.mode, cooling(outer), cooling(bin.free));
    seen[static_cast<size_t>(bin.mode)] = true;
    largest = std::max(largest, cooling(bin.total));
    ++p;
  }
  chart.yAxis.scale = graph::Scale::Manual(0, largest * 1.03);
  // A mode that no bin has still gets its legend entry, with a 0 at the first point.
  if (!seen[static_cast<size_t>(CoolingMode::Mechanical)]) chart.SetY(mechSubset, 0, 0);
  if (!seen[static_cast<size_t>(CoolingMode::Free)]) chart.SetY(freeSubset, 0, 0);
  if (showHybrid && !seen[static_cast<size_t>(CoolingMode::Hybrid)]) {
    chart.SetY(hybridMechSubset, 0, 0);
    chart.SetY(hybridFreeSubset, 0, 0);
  }
}

void FillCoolingDutySummaryChart(graph::Chart& chart, const CoolingShares& shares, bool showHybrid) {
  const std::string caption = "% " + modpublic::gUnits.UnitStr(TONHR_TO_KWH) + " by Operating Mode";
  chart.background = QColor(255, 255, 255);
  chart.fontFace = "Arial";
  chart.emptyValue = -1e20;
  chart.xAxis.label = "";
  chart.yAxis.label = caption;
  chart.title = caption;
  chart.SetPointCount(1);
  chart.SetPointLabel(0, "");
  struct Bar {
    const char* label;
    double value;
    QColor colour;
  };
  std::vector<Bar> bars = {{"Mechanical Clg. : ", shares.mechanical, QColor(255, 0, 0)}};
  if (showHybrid) bars.push_back({"Hybrid Clg. : ", shares.hybrid, QColor(190, 230, 140)});
  bars.push_back({"Free Clg. : ", shares.free, QColor(0, 176, 80)});
  chart.SetSeriesCount(static_cast<int>(bars.size()));
  for (size_t b = 0; b < bars.size(); ++b) {
    const int s = static_cast<int>(b);
    chart.series(s).label = bars[b].label + vb::Format(bars[b].value, "0.0") + "%";
    chart.series(s).color = bars[b].colour;
    chart.SetY(s, 0, bars[b].value);
  }
}

}  // namespace reports::plv

using namespace reports::plv;

bool clsReport::CreateFramesForCoolingDutyReport(std::array<int32_t, 2>& frames, int32_t& width1, int32_t& height1,
                                                 int32_t& width2, int32_t& height2) {
  return modpublic::RunGuarded(ErrorSource("CreateFramesForCoolingDutyReport"), "", ui::kExclamation, [&] {
    Doc();
    MoveToDocEnd();
    WriteTextLine("");
    width1 = 7776;  // 5.4 inches
    height1 = height2 = 5040;
    frames[0] = richtext::TerInsertParaFrame(m_TerHwnd, 0, 1, width1, height1, 1);
    width2 = m_TextWidth - width1 - 500;
    frames[1] = richtext::TerInsertParaFrame(m_TerHwnd, m_TextWidth - width2 - 100, 1, width2, height2, 1);
    // The frames' paragraph ends here, so what follows is written below them, after a line.
    richtext::TerAppendText(m_TerHwnd, std::string(1, reports::detail::kParaEnd), 0, 0, m_Repaint);
    WriteTextLine("");
    return frames[0] > 0 && frames[1] > 0;
  });
}

bool clsReport::CoolingDutySummaryGraph(double freePct, double hybridPct, double mechanicalPct, graph::Chart*& graph,
                                        bool showHybrid) {
  return modpublic::RunGuarded(ErrorSource("CoolingDutySummaryGraph"), "", ui::kExclamation, [&] {
    if (!InitGraph(graph, 1)) return false;
    FillCoolingDutySummaryChart(*graph, {freePct, hybridPct, mechanicalPct}, showHybrid);
    return true;
  });
}

bool clsReport::CoolingDutyProfileTable(const std::array<QColor, 4>& colours, bool colourCells, bool showHybrid) {
  return modpublic::RunGuarded(ErrorSource("CoolingDutyProfileTable"), "", ui::kExclamation, [&] {
    Doc();
    const std::vector<DutyBin> bins = CoolingDutyBins(*m_PLVProfile);
    const CoolingDutyTotals totals = SumCoolingDuty(bins);
    const CoolingShares shares = ShareOfModes(totals);
    const std::string coolingUnit = modpublic::Parenthesize(modpublic::gUnits.UnitStr(TONHR_TO_KWH));
    constexpr int32_t kBinWidth = 1400, kModeWidth = 2000;
    auto colourOf = [&](const QColor& c) {
      return colourCells ? richtext::Rgb(c.red(), c.green(), c.blue()) : richtext::ColorRef{0};
    };

    SetTableStart(0);
    WriteTextLine("1. Cooling Statistics", true);

    // Three header rows; each column's heading is boxed over the three rows.
    struct HeaderColumn {
      std::array<std::string, 3> lines;
      int32_t width;
      int32_t align;
      bool left = true, right = true;
    };
    std::vector<HeaderColumn> header = {
        {{"Bin", "Temperature", modpublic::Parenthesize(modpublic::gUnits.UnitStr(F_TO_C))}, kBinWidth, 1},
        {{"Cooling", "Hours", "Per Year"}, kBinWidth, 1},
        {{"Free Cooling Mode", "Free Clg Load", coolingUnit}, kModeWidth, 1},
    };
    if (showHybrid) {
      header.push_back({{"Hybrid", "Free Clg Load", coolingUnit}, kModeWidth, 2, true, false});
      header.push_back({{" Mode", "Mechanical Load", coolingUnit}, kModeWidth, 1024, false, true});
    }
    header.push_back({{"Mechanical Mode", "Chiller Load", coolingUnit}, kModeWidth, 1});
    for (int line = 0; line < 3; ++line)
      for (size_t c = 0; c < header.size(); ++c) {
        const HeaderColumn& h = header[c];
        // The two hybrid halves of the first line read as one heading; the lines below centred.
        const int32_t align = line == 0 ? h.align : 1;
        const bool left = line == 0 ? h.left : true, right = line == 0 ? h.right : true;
        WriteCellData(h.lines[static_cast<size_t>(line)], true, static_cast<int32_t>(c), h.width,
                      c + 1 == header.size(), left, line == 0, right, line == 2, align, 20);
      }

    // One row per bin; the columns of its mode hold its annual cooling.
    for (const DutyBin& bin : bins) {
      struct Cell {
        std::string text;
        int32_t width;
        richtext::ColorRef colour = 0;
      };
      auto coolingText = [&](bool filled, double tonHours) {
        return filled ? modpublic::FormatUnitValue(tonHours, TONHR_TO_KWH) : std::string();
      };
      std::vector<Cell> cells = {
          {modpublic::FormatUnitValue(bin.tempF, F_TO_C), kBinWidth},
          {modpublic::FormatUnitValue(bin.hours, NO_CONV, "###,###,###,##0"), kBinWidth},
      };
      const bool isFree = bin.mode == CoolingMode::Free, isHybrid = bin.mode == CoolingMode::Hybrid,
                 isMech = bin.mode == CoolingMode::Mechanical;
      cells.push_back({coolingText(isFree, bin.free), kModeWidth, isFree ? colourOf(colours[3]) : 0});
      if (showHybrid) {
        cells.push_back({coolingText(isHybrid, bin.free), kModeWidth, isHybrid ? colourOf(colours[2]) : 0});
        cells.push_back({coolingText(isHybrid, bin.mechanical), kModeWidth, isHybrid ? colourOf(colours[1]) : 0});
      }
      cells.push_back({coolingText(isMech, bin.mechanical), kModeWidth, isMech ? colourOf(colours[0]) : 0});
      for (size_t c = 0; c < cells.size(); ++c)
        WriteCellData(cells[c].text, false, static_cast<int32_t>(c), cells[c].width, c + 1 == cells.size(), true, true,
                      true, true, 1, 0, cells[c].colour);
    }

    // Totals and shares.
    std::vector<std::pair<std::string, int32_t>> sums = {
        {"Totals", kBinWidth},
        {modpublic::FormatUnitValue(totals.hours, NO_CONV, "###,###,###,##0"), kBinWidth},
        {modpublic::FormatUnitValue(totals.free, TONHR_TO_KWH), kModeWidth}};
    std::vector<std::pair<std::string, int32_t>> percents = {
        {"Percent", kBinWidth}, {"", kBinWidth}, {vb::Format(shares.free, "0.0") + " %", kModeWidth}};
    if (showHybrid) {
      sums.push_back({modpublic::FormatUnitValue(totals.hybridFree, TONHR_TO_KWH), kModeWidth});
      sums.push_back({modpublic::FormatUnitValue(totals.hybridMechanical, TONHR_TO_KWH), kModeWidth});
      percents.push_back({vb::Format(shares.hybrid, "0.0") + " %", 2 * kModeWidth});
    }
    sums.push_back({modpublic::FormatUnitValue(totals.mechanical, TONHR_TO_KWH), kModeWidth});
    percents.push_back({vb::Format(shares.mechanical, "0.0") + " %", kModeWidth});
    for (const auto* row : {&sums, &percents})
      for (size_t c = 0; c < row->size(); ++c)
        WriteCellData((*row)[c].first, false, static_cast<int32_t>(c), (*row)[c].second, c + 1 == row->size(), true,
                      true, true, true, 1, 20, 0, 1, true);

    KeepTableTogether(GetTableStart(), false);
    ResetTableStart();
    return true;
  });
}

bool clsReport::CoolingDutyProfilesReport() {
  return modpublic::RunGuarded(ErrorSource("CoolingDutyProfilesReport"), "", ui::kExclamation, [&] {
    std::array<int32_t, 2> frames{};
    int32_t width1 = 0, height1 = 0, width2 = 0, height2 = 0;
    if (!CreateFramesForCoolingDutyReport(frames, width1, height1, width2, height2)) return false;
    graph::Chart* graph = nullptr;
    if (!InitGraph(graph, 2)) return false;
    const bool showHybrid = HasFreeCoolingSystem(*m_PLVProfile);
    FillCoolingDutyChart(*graph, *m_PLVProfile, showHybrid);
    PasteGraphInFrame(*graph, frames[0]);

    // A plant without any cooling gets shares of 0 and the section goes on.
    const CoolingShares shares = ShareOfModes(SumCoolingDuty(CoolingDutyBins(*m_PLVProfile)));
    graph::Chart* bars = nullptr;
    if (!CoolingDutySummaryGraph(shares.free, shares.hybrid, shares.mechanical, bars, showHybrid)) return false;
    PasteGraphInFrame(*bars, frames[1]);

    CoolingDutyProfileTable(CoolingDutyColours(), false, showHybrid);
    return true;
  });
}
