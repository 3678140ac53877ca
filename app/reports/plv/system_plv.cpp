// The system PLV report: an executive summary, the operating conditions, the chillers'
// performance per bin (with a system totals table for plants with free cooling), the
// system CPLV worksheet, and the IPLV procedure for each kind of chiller in the plant.
#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/reports/clsReport.h"
#include "app/reports/plv/plv_values.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

using namespace richtext;
using modpublic::AddUnitLabel;
using modpublic::FormatUnitValue;
using reports::plv::Clean;
using reports::plv::Numbered;
using reports::plv::TempOrNA;

namespace {

// The caption of the bin's plant entering condenser-water temperature (PLVBinData::fECWT),
// the column before each chiller's own condenser temperature.
constexpr const char* kPlantECWT = "Plant ECWT";

// One column of a performance table: its header text, width and the text of a bin.
struct Column {
  std::string header;
  int32_t width;
  std::function<std::string(int)> value;
  int32_t align = 0;
};

}  // namespace

bool clsReport::RptSystemPLVReport0(int32_t& table) {
  return modpublic::RunGuarded(ErrorSource("RptSystemPLVReport0"), "", ui::kExclamation, [&] {
    const bool ok =
        ExecutiveSummaryPLV(table) && SystemOperatingConditions(table) &&
        (m_PLVProfile->bAnyFreeCooling != 0 ? ChillerSystemPerfWithFreeCoolingData(table) : ChillerSystemPerf(table)) &&
        SPLVWorksheet(table) && IPLVExample(table);
    if (!ok) modpublic::ShowError("", ui::kExclamation, ErrorSource("RptSystemPLVReport0"));
    return ok;
  });
}

bool clsReport::ExecutiveSummaryPLV(int32_t& table) {
  return modpublic::RunGuarded(ErrorSource("ExecutiveSummaryPLV"), "", ui::kExclamation, [&] {
    const PLVProfileData& profile = *m_PLVProfile;
    const int16_t kind = m_ReportData.nEfficiencyInput;
    WriteTextLine("");
    SetTableStart(0);
    ++table;
    WriteTextLine(Numbered(table, "Executive Summary"), true, false);
    auto row = [&](const std::string& label, const std::string& value, bool header) {
      WriteCellData(label, false, 0, 5760, false, true, true, true, true, 1024);
      WriteCellData(value, header, 1, 2160, true, true, true, true, true, header ? 0 : 2, 0, header ? m_ShadeColor : 0);
    };
    row("System Part Load Value (SPLV):", "PLV", true);
    const std::string splv =
        profile.bAnyHeatDriven != 0
            ? FormatUnitValue(profile.fPLV, modpublic::gSystemEfficiencyUnitID, "0.000") + " " +
                  reports::plv::SystemEfficiencySymbol()
            : FormatUnitValue(profile.fPLV, GetPLVUnitConvID(kind)) + " " + reports::plv::EfficiencySymbol(kind);
    row(Clean(profile.sSystemName) + "\t", splv, false);
    row("IPLV or NPLV", "", false);
    const int n = reports::plv::ChillerCount(profile);
    for (int c = 1; c <= n; ++c) {
      const ChillerResultData& r = profile.ChillerResults(c);
      row("\t" + Clean(r.sChillerName), reports::plv::IPLVText(r, kind), false);
    }
    if (profile.nHeatRecoveryMode == 2)
      WriteCellData(reports::plv::HeatRecoveryNote(), false, 0, 7920, true, false, false, false, false, 0);
    KeepTableTogether(GetTableStart());
    ResetTableStart();
  });
}

namespace {

// Writes performance tables: the bin temperature, then each chiller's columns, the system
// columns on the last table; as many chillers per table as fit (at most three).
void WritePerformanceTables(clsReport& report, int32_t table, const PLVProfileData& profile, int32_t binWidth,
                            const std::function<std::vector<Column>(const ChillerResultData&)>& chillerColumns,
                            const std::vector<Column>& systemColumns, int32_t textWidth, std::vector<int>& minEcwt) {
  const int n = reports::plv::ChillerCount(profile);
  const int nBins = reports::plv::BinCount(profile);
  std::vector<std::vector<int>> groups;
  std::vector<int> current;
  int32_t used = binWidth;
  for (int c = 1; c <= n; ++c) {
    int32_t width = 0;
    for (const Column& col : chillerColumns(profile.ChillerResults(c))) width += col.width;
    if (!current.empty() && (current.size() == 3 || used + width > textWidth)) {
      groups.push_back(current);
      current.clear();
      used = binWidth;
    }
    current.push_back(c);
    used += width;
  }
  groups.push_back(current);
  int32_t systemWidth = 0;
  for (const Column& col : systemColumns) systemWidth += col.width;

  for (size_t t = 0; t < groups.size(); ++t) {
    const bool last = t + 1 == groups.size();
    report.WriteTextLine("");
    report.SetTableStart(0);
    report.WriteTextLine(Numbered(table, "Chiller System Performance",
                                  groups.size() > 1 ? modpublic::GetLetter(static_cast<long>(t + 1), false) : ""),
                         true, false);
    std::vector<std::vector<Column>> columns;
    for (int c : groups[t]) columns.push_back(chillerColumns(profile.ChillerResults(c)));
    // First header row: the chillers' tags over their columns, "System" over the system's.
    int pos = 0;
    const int cells1 = static_cast<int>(groups[t].size()) + 1 + (last && !systemColumns.empty() ? 1 : 0);
    report.WriteTableColHeaderData("", pos, binWidth, cells1 == 1, true, true, true, true, 0);
    for (size_t i = 0; i < groups[t].size(); ++i) {
      int32_t width = 0;
      for (const Column& col : columns[i]) width += col.width;
      ++pos;
      report.WriteTableColHeaderData(Clean(profile.ChillerResults(groups[t][i]).sSlotName), pos, width,
                                     pos == cells1 - 1, true, true, true, true, 0);
    }
    if (last && !systemColumns.empty())
      report.WriteTableColHeaderData("System", ++pos, systemWidth, true, true, true, true, true, 0);
    // Second header row and the bins.
    std::vector<Column> all = {{AddUnitLabel("Bin Temp", F_TO_C, true), binWidth,
                                [&](int b) { return FormatUnitValue(profile.Bins(b).fDB, F_TO_C); }}};
    for (const auto& cols : columns) all.insert(all.end(), cols.begin(), cols.end());
    if (last) all.insert(all.end(), systemColumns.begin(), systemColumns.end());
    const int lastPos = static_cast<int>(all.size()) - 1;
    for (int k = 0; k <= lastPos; ++k)
      report.WriteTableColHeaderData(all[static_cast<size_t>(k)].header, k, all[static_cast<size_t>(k)].width,
                                     k == lastPos, true, true, true, true, 0);
    for (int b = 1; b <= nBins; ++b)
      for (int k = 0; k <= lastPos; ++k) {
        const Column& col = all[static_cast<size_t>(k)];
        report.WriteCellData(col.value(b), false, k, col.width, k == lastPos, true, true, true, true, col.align);
      }
    for (int c : groups[t]) {
      const ChillerResultData& r = profile.ChillerResults(c);
      if (r.bMinECWTReached != 0 && std::find(minEcwt.begin(), minEcwt.end(), c) == minEcwt.end()) minEcwt.push_back(c);
    }
    report.KeepTableTogether(report.GetTableStart());
    report.ResetTableStart();
  }
}

}  // namespace

bool clsReport::ChillerSystemPerf(int32_t& table) {
  return modpublic::RunGuarded(ErrorSource("ChillerSystemPerf"), "", ui::kExclamation, [&] {
    const PLVProfileData& profile = *m_PLVProfile;
    const int16_t kind = m_ReportData.nEfficiencyInput;
    const bool heatDriven = profile.bAnyHeatDriven != 0;
    const bool si = modpublic::gUnits.CurrentUnitOfMeasure() == nMETRIC;
    ++table;
    auto chillerColumns = [&](const ChillerResultData& r) {
      const bool electric = r.nEfficiencyKind == 1;
      const std::string eff = !electric   ? modpublic::Parenthesize(reports::plv::SystemEfficiencySymbol())
                              : kind != 1 ? std::string(si ? "(ikW/ kW)" : "(kW/ Ton)")
                                          : modpublic::Parenthesize(reports::plv::EfficiencySymbol(1));
      const ChillerResultData* p = &r;
      return std::vector<Column>{
          {AddUnitLabel("Load", TONS_TO_KW, true), 700,
           [p](int b) { return FormatUnitValue(p->fBinLoad(b), TONS_TO_KW); }},
          {eff, 675,
           [p, electric, kind](int b) {
             return electric ? FormatUnitValue(p->fBinEfficiency(b), GetPLVUnitConvID(kind))
                             : FormatUnitValue(p->fBinEfficiency(b), modpublic::gSystemEfficiencyUnitID, "0.000");
           }},
          {AddUnitLabel(kPlantECWT, F_TO_C, true), 700,
           [&profile](int b) { return FormatUnitValue(profile.Bins(b).fECWT, F_TO_C, "0.00"); }},
          {AddUnitLabel("Cond Temp", F_TO_C, true), 700, [p](int b) { return TempOrNA(p->fBinECWT(b), "0.00"); }, 2}};
    };
    std::vector<Column> system;
    if (!heatDriven)
      system.push_back({AddUnitLabel("Total", KW_TO_KW, true), 650,
                        [&profile](int b) { return FormatUnitValue(profile.Bins(b).fInput, KW_TO_KW, "0"); }});
    const std::string effLabel =
        heatDriven ? reports::plv::SystemEfficiencySymbol() : reports::plv::EfficiencySymbol(kind);
    system.push_back({"Total " + modpublic::Parenthesize(effLabel), 1000, [&profile, heatDriven, kind](int b) {
                        return heatDriven ? FormatUnitValue(profile.Bins(b).fEfficiency,
                                                            modpublic::gSystemEfficiencyUnitID, "0.000")
                                          : FormatUnitValue(profile.Bins(b).fEfficiency, GetPLVUnitConvID(kind));
                      }});
    std::vector<int> minEcwt;
    WritePerformanceTables(*this, table, profile, 625, chillerColumns, system, m_TextWidth, minEcwt);
    if (!minEcwt.empty()) {
      WriteTextLine(std::string("Minimum ECWT condition has been reached for chiller(s)") + ": " +
                    reports::plv::TagList(profile, minEcwt));
      WriteTextLine("Tower or Dry Cooler cycling assumed to hold minimum ECWT.");
    }
  });
}

bool clsReport::ChillerSystemPerfWithFreeCoolingData(int32_t& table) {
  return modpublic::RunGuarded(ErrorSource("ChillerSystemPerfWithFreeCoolingData"), "", ui::kExclamation, [&] {
    const PLVProfileData& profile = *m_PLVProfile;
    ++table;
    auto chillerColumns = [&](const ChillerResultData& r) {
      const ChillerResultData* p = &r;
      auto kw = [](const std::optional<double>& v) { return v.value_or(0.0); };
      std::vector<Column> cols = {
          {AddUnitLabel(kPlantECWT, F_TO_C, true), 1200,
           [&profile](int b) { return FormatUnitValue(profile.Bins(b).fECWT, F_TO_C, "0.00"); }},
          {AddUnitLabel("Cond Temp", F_TO_C, true), 1200, [p](int b) { return TempOrNA(p->fBinECWT(b), "0.00"); }, 2},
          {AddUnitLabel("Chiller Load", TONS_TO_KW, true), 1200, [p](int b) {
             return FormatUnitValue(static_cast<double>(p->fBinLoad(b)) - p->fBinFreeCoolingLoad(b), TONS_TO_KW);
           }}};
      if (r.nEfficiencyKind == 1)
        cols.push_back({"Chiller Input (kW)", 1200, [p, kw](int b) {
                          return FormatUnitValue(kw(p->vBinValues(b)) - p->fBinFreeCoolingPower(b), KW_TO_KW, "0.0");
                        }});
      else
        cols.push_back({modpublic::Parenthesize(reports::plv::SystemEfficiencySymbol()), 1200, [p](int b) {
                          return FormatUnitValue(p->fBinEfficiency(b), modpublic::gSystemEfficiencyUnitID, "0.000");
                        }});
      if (r.nFreeCoolingMode != 0) {
        cols.push_back({AddUnitLabel("Free Cooling Load", TONS_TO_KW, true), 1200,
                        [p](int b) { return FormatUnitValue(p->fBinFreeCoolingLoad(b), TONS_TO_KW); }});
        cols.push_back({"Free Cooling Input (kW)", 1200,
                        [p](int b) { return FormatUnitValue(p->fBinFreeCoolingPower(b), KW_TO_KW, "0.0"); }});
        cols.push_back({AddUnitLabel("Chiller Assembly Load", TONS_TO_KW, true), 1200,
                        [p](int b) { return FormatUnitValue(p->fBinLoad(b), TONS_TO_KW); }});
        cols.push_back({"Chiller Assembly Input (kW)", 1200,
                        [p, kw](int b) { return FormatUnitValue(kw(p->vBinValues(b)), KW_TO_KW, "0.0"); }});
      }
      return cols;
    };
    std::vector<int> minEcwt;
    WritePerformanceTables(*this, table, profile, 1200, chillerColumns, {}, m_TextWidth, minEcwt);
    if (!minEcwt.empty()) {
      WriteTextLine(std::string("Minimum ECWT condition has been reached for chiller(s)") + ": " +
                    reports::plv::TagList(profile, minEcwt));
      WriteTextLine("Tower or Dry Cooler cycling assumed to hold minimum ECWT.");
    }
    return WriteSystemTotalsTable();
  });
}

bool clsReport::WriteSystemTotalsTable() {
  const PLVProfileData& profile = *m_PLVProfile;
  const int16_t kind = m_ReportData.nEfficiencyInput;
  const bool heatDriven = profile.bAnyHeatDriven != 0;
  WriteTextLine("");
  SetTableStart(0);
  WriteTableColHeaderData("", 0, 1200, false, true, true, true, true, 0);
  WriteCellData("System Totals", true, 1, heatDriven ? 4120 : 9600, true, true, true, true, true, 0, 0, m_ShadeColor);
  std::vector<Column> cols = {{AddUnitLabel("Bin Temp", F_TO_C, true), 1200,
                               [&](int b) { return FormatUnitValue(profile.Bins(b).fDB, F_TO_C); }}};
  auto load = [&](int b) { return reports::plv::SystemLoad(profile.Bins(b), kind); };
  if (!heatDriven)
    cols.push_back({AddUnitLabel("Total Chiller Load", TONS_TO_KW, true), 1370,
                    [&](int b) { return FormatUnitValue(load(b) - profile.Bins(b).fFreeCoolingLoad, TONS_TO_KW); }});
  cols.push_back({"Total Chiller Input (kW)", 1370, [&](int b) {
                    return FormatUnitValue(
                        static_cast<double>(profile.Bins(b).fInput) - profile.Bins(b).fFreeCoolingPower, KW_TO_KW,
                        "0.0");
                  }});
  if (!heatDriven)
    cols.push_back({AddUnitLabel("Total Free Cooling Load", TONS_TO_KW, true), 1370,
                    [&](int b) { return FormatUnitValue(profile.Bins(b).fFreeCoolingLoad, TONS_TO_KW); }});
  cols.push_back({"Total Free Cooling Input (kW)", 1370,
                  [&](int b) { return FormatUnitValue(profile.Bins(b).fFreeCoolingPower, KW_TO_KW, "0.0"); }});
  if (!heatDriven) {
    cols.push_back({AddUnitLabel("Total System Load", TONS_TO_KW, true), 1370,
                    [&](int b) { return FormatUnitValue(load(b), TONS_TO_KW); }});
    cols.push_back({AddUnitLabel("Total System Input", KW_TO_KW, true), 1370,
                    [&](int b) { return FormatUnitValue(profile.Bins(b).fInput, KW_TO_KW, "0.0"); }});
  }
  cols.push_back({"Total System " + modpublic::Parenthesize(heatDriven ? reports::plv::SystemEfficiencySymbol()
                                                                       : reports::plv::EfficiencySymbol(kind)),
                  1380, [&](int b) {
                    return heatDriven ? FormatUnitValue(profile.Bins(b).fEfficiency, modpublic::gSystemEfficiencyUnitID,
                                                        "0.000")
                                      : FormatUnitValue(profile.Bins(b).fEfficiency, GetPLVUnitConvID(kind));
                  }});
  const int last = static_cast<int>(cols.size()) - 1;
  for (int k = 0; k <= last; ++k)
    WriteTableColHeaderData(cols[static_cast<size_t>(k)].header, k, cols[static_cast<size_t>(k)].width, k == last, true,
                            true, true, true, 0);
  const int nBins = reports::plv::BinCount(profile);
  for (int b = 1; b <= nBins; ++b)
    for (int k = 0; k <= last; ++k)
      WriteCellData(cols[static_cast<size_t>(k)].value(b), false, k, cols[static_cast<size_t>(k)].width, k == last,
                    true, true, true, true, 0);
  KeepTableTogether(GetTableStart());
  ResetTableStart();
  return true;
}

bool clsReport::SPLVWorksheet(int32_t& table) {
  return modpublic::RunGuarded(ErrorSource("SPLVWorksheet"), "", ui::kExclamation, [&] {
    const PLVProfileData& profile = *m_PLVProfile;
    const int16_t kind = m_ReportData.nEfficiencyInput;
    const bool heatDriven = profile.bAnyHeatDriven != 0;
    const bool product = heatDriven || kind == 1;
    const double factor = kind == 1 ? modpublic::gUnits.CnvToDevice(1, MBH_TO_KW)
                                    : 1.0 / modpublic::gUnits.CnvToDevice(1, KWTON_TO_IKWKW);
    const double shown = heatDriven ? 1.0 : factor;
    const std::string effLabel =
        heatDriven ? reports::plv::SystemEfficiencySymbol() : reports::plv::EfficiencySymbol(kind);
    auto eff = [&](double value) {
      return heatDriven ? FormatUnitValue(value, modpublic::gSystemEfficiencyUnitID, "0.000")
                        : FormatUnitValue(value, GetPLVUnitConvID(kind));
    };
    WriteTextLine("");
    SetTableStart(0);
    ++table;
    WriteTextLine(Numbered(table, "CPLV Worksheet"), true, false);
    const std::string headers[8] = {
        AddUnitLabel("Bin Temp", F_TO_C, true),          "Building Load (%)",
        AddUnitLabel("Building Load", TONS_TO_KW, true), "Cooling Hours",
        AddUnitLabel("Cooling", TONHR_TO_KWH, true),     "Bin Wgt Factor",
        "System " + modpublic::Parenthesize(effLabel),   product ? "Bin Product" : "Bin Ratio"};
    auto width = [](int k) { return k == 4 ? 1440 : 1080; };
    for (int k = 0; k < 8; ++k) WriteTableColHeaderData(headers[k], k, width(k), k == 7, true, true, true, true, 0);
    const int nBins = reports::plv::BinCount(profile);
    for (int b = 1; b <= nBins; ++b) {
      const PLVBinData& bin = profile.Bins(b);
      const std::string row[8] = {FormatUnitValue(bin.fDB, F_TO_C),
                                  FormatUnitValue(bin.fLoadPercent, PCT_TO_PCT),
                                  FormatUnitValue(bin.fLoad, TONS_TO_KW),
                                  FormatUnitValue(bin.lHours, NO_CONV, "###,###,###,##0"),
                                  FormatUnitValue(bin.lLoadHours, TONHR_TO_KWH, "###,###,###,##0"),
                                  vb::Format(bin.fWeight, "0.0000"),
                                  eff(bin.fEfficiency),
                                  vb::Format(bin.fWeightedEff * shown, "0.0000")};
      for (int k = 0; k < 8; ++k) WriteCellData(row[k], false, k, width(k), k == 7, true, true, true, true, 0);
    }
    const std::string totals[8] = {"Total",
                                   "",
                                   "",
                                   FormatUnitValue(profile.lTotalHours, NO_CONV, "###,###,###,##0"),
                                   FormatUnitValue(profile.lTotalLoadHours, TONHR_TO_KWH, "###,###,###,##0"),
                                   vb::Format(profile.fWeightSum, "0.0000"),
                                   "",
                                   vb::Format(profile.fProductSum * shown, "0.0000")};
    for (int k = 0; k < 8; ++k)
      WriteCellData(totals[k], false, k, width(k), k == 7, true, true, true, true, 0, 0, 0, 1, true);
    KeepTableTogether(GetTableStart());
    ResetTableStart();

    const std::string tonHours = modpublic::gUnits.UnitStr(TONHR_TO_KWH);
    WriteTextLine("Bin Wgt Factor = Bin " + tonHours + " / Total " + tonHours);
    if (heatDriven) {
      WriteTextLine("Bin Product = [Bin Wgt Factor] x [System " + effLabel + "]");
      WriteTextLine(m_CPLVLabel + " = Sum of Bin Products");
      WriteTextLine(m_CPLVLabel + " = " + vb::Format(profile.fPLV, "0.000") + " " + effLabel);
    } else if (kind == 1) {
      WriteTextLine("Bin Product = [Bin Wgt Factor] x [System " + effLabel + "]");
      WriteTextLine(m_CPLVLabel + " = [sum of Bin Products]");
      WriteTextLine(m_CPLVLabel + " = " + vb::Format(profile.fProductSum * factor, "0.00"));
    } else {
      const double sum = profile.fProductSum * factor;
      WriteTextLine("Bin Ratio = [Bin Wgt Factor] / [System " + modpublic::gUnits.UnitStr(KWTON_TO_IKWKW) + "]");
      WriteTextLine(m_CPLVLabel + " = 1 / [sum of Bin Ratios]");
      WriteTextLine(m_CPLVLabel + " = 1 / " + modpublic::BracketName(vb::Format(sum, "0.0000")) + " = " +
                    vb::Format(sum > 0 ? 1.0 / sum : 0.0, "0.000") + " " + effLabel);
    }
  });
}

bool clsReport::IPLVExample(int32_t& table) {
  return modpublic::RunGuarded(ErrorSource("IPLVExample"), "", ui::kExclamation, [&] {
    const PLVProfileData& profile = *m_PLVProfile;
    WriteTextLine("");
    SetTableStart(0);
    ++table;
    WriteTextLine(Numbered(table, "Procedure for Calculating IPLV for Chillers"), true, false);
    WriteTextLine("");
    bool present[4] = {false, false, false, false};
    const int n = reports::plv::ChillerCount(profile);
    for (int c = 1; c <= n; ++c) present[reports::plv::ChillerKind(profile.ChillerResults(c))] = true;
    for (int kind = 1; kind <= 3; ++kind)
      if (present[kind] && !BuildIPLVExampleTable(kind)) return false;
    KeepTableTogether(GetTableStart());
    ResetTableStart();
    return true;
  });
}

bool clsReport::BuildIPLVExampleTable(int32_t kind) {
  return modpublic::RunGuarded(ErrorSource("BuildIPLVExampleTable"), "", ui::kExclamation, [&] {
    static const char* names[] = {"", "Water-Cooled Electric Chillers", "Air-Cooled Electric Chillers",
                                  "Absorption Chillers"};
    const int16_t efficiencyKind = m_ReportData.nEfficiencyInput;
    const bool product = kind == 3 || efficiencyKind == 1;
    WriteTextLine(std::string("Procedure for Calculating IPLV for") + " " + names[kind], true, false);
    const std::string effLabel =
        kind == 3 ? reports::plv::SystemEfficiencySymbol() : reports::plv::EfficiencySymbol(efficiencyKind);
    const std::string headers[6] = {
        AddUnitLabel("Chiller Load", PCT_TO_PCT, true), AddUnitLabel("LCHWT", F_TO_C, true),
        AddUnitLabel("Cond Temp", F_TO_C, true),        "Wgt Factor",
        "Chiller " + modpublic::Parenthesize(effLabel), product ? "Bin Product" : "Bin Ratio"};
    constexpr int32_t kWidth = 1440;
    for (int k = 0; k < 6; ++k)
      WriteCellData(headers[k], true, k, kWidth, k == 5, true, true, true, true, 0, 0, m_ShadeColor);
    for (const reports::plv::IPLVExampleRow& r : reports::plv::IPLVExampleRows(kind)) {
      const std::string weight = vb::CStr(r.weight);
      const std::string cells[6] = {vb::CStr(r.load),
                                    FormatUnitValue(r.lchwt, F_TO_C, "0.00"),
                                    FormatUnitValue(r.condTemp, F_TO_C, "0.00"),
                                    weight,
                                    r.letter,
                                    product ? weight + " x " + r.letter : weight + "/" + r.letter};
      for (int k = 0; k < 6; ++k)
        WriteCellData(cells[k], false, k, kWidth, k == 5, true, true, true, true, k >= 4 ? 2 : 0);
    }
    const std::string totals[6] = {"Total", "", "", vb::Format(1, "0.00"), "", ""};
    for (int k = 0; k < 6; ++k) WriteCellData(totals[k], false, k, kWidth, k == 5, true, true, true, true, 0);
    WriteTextLine("");
    if (product) {
      WriteTextLine("IPLV = [sum of Bin Products]");
      WriteTextLine("IPLV = (0.01 x A) + (0.42 x B) + (0.45 x C) + (0.12 x D)");
    } else {
      WriteTextLine("IPLV = 1 / [sum of Bin Ratios]");
      WriteTextLine("IPLV = 1 / [(0.01/A) + (0.42/B) + (0.45/C) + (0.12/D)]");
    }
    WriteTextLine("");
  });
}
