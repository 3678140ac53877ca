// The input data summary: the inputs the results rest on in a two-column block (site,
// loads, analysis parameters and economics of the economic run, the analysed system), and
// for the part-load run the table of the plant's chillers.
#include <array>
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

namespace {

// A value with its unit: the converted number, a blank and the unit label.
std::string WithUnit(double value, long unitId, const std::string& format = {}) {
  return FormatUnitValue(value, unitId, format) + AddUnitLabel("", unitId, false);
}

std::string YesNo(int16_t flag) { return flag != 0 ? "Yes" : "No"; }

}  // namespace

int32_t clsReport::GetPLVUnitConvID(int32_t efficiencyKind) {
  return efficiencyKind == 1 ? modpublic::gEfficiencyUnitID : KWTON_TO_IKWKW;
}

bool clsReport::InputDataSummary(int32_t& section) {
  return modpublic::RunGuarded(ErrorSource("InputDataSummary"), "", ui::kExclamation, [&] {
    if (!BeginNewSection(2, 360, 0)) return false;
    const bool economic = m_ReportType == 1;
    const PLVSummaryData& s = m_PLVSummary;
    const PLVProfileData& profile = *m_PLVProfile;
    // Each column's values start clear of its own widest label.
    std::array<std::vector<std::string>, 2> labels;
    size_t column = 0;
    auto line = [&](const std::string& label, const std::string& value) {
      labels[column].push_back(label + " ");
      WriteTextLine(label + " \t" + value);
    };
    auto heading = [&](const std::string& text) { WriteTextLine(text, true, true); };
    auto load = [](double tons, double temp) { return WithUnit(tons, TONS_TO_KW) + " at " + WithUnit(temp, F_TO_C); };

    SetTableStart(0);
    ++section;
    WriteTextLine(std::to_string(section) + ".  Input Data Summary", true, false);
    WriteTextLine("");
    heading("Weather");
    line("City", Clean(s.sCityName));
    line("Operating Calendar", Clean(s.sPeriods(0)));
    if (s.nNumPeriods == 2) WriteTextLine("\t" + Clean(s.sPeriods(1)));
    line("Operating Schedule", Clean(s.sDaySchedules(0)));
    WriteTextLine("\t" + Clean(s.sDaySchedules(1)));
    WriteTextLine("\t" + Clean(s.sDaySchedules(2)));
    WriteTextLine("");
    heading(std::string("Loads") + " (Cooling)");
    if (s.ProfileKind() == kBinProfile) {
      // The set-up names a profile of the site database after its building type.
      const std::string name = Clean(s.sLoadProfileName);
      if (name.empty())
        WriteTextLine("User-Defined Load Profile");
      else
        line("Load Profile", "Site Database, " + name);
    } else {
      line("Peak Building Load", load(s.fPeakLoad, s.fPeakLoadTemp));
      line("Building Load #2", load(s.fLoad2, s.fLoad2Temp));
      if (s.ProfileKind() == kThreeLoadPoints) line("Building Load #3", load(s.fLoad3, s.fLoad3Temp));
      line("Outdoor Economizer Used", YesNo(s.bAirEconomizer));
      if (s.bAirEconomizer != 0) line("Economizer Setpoint", WithUnit(s.fEconomizerLimitDB, F_TO_C));
    }
    WriteTextLine("");
    if (modpublic::gHeatRecoveryOption == 1) EmptyInputSummaryHook();
    WriteColumnBreak();
    MoveToDocEnd();
    const int32_t secondColumn = CaretLine();
    column = 1;
    WriteTextLine("");
    WriteTextLine("");

    if (economic) {
      heading("Analysis Parameters");
      line("Type of Analysis", m_ReportData.nTypeOfCostCalcs == 1   ? "Energy Costs Only"
                               : m_ReportData.nTypeOfCostCalcs == 2 ? "Energy + Lifecycle Costs"
                                                                    : "");
      line("Include Pump Energy Use", YesNo(m_ReportData.bIncludePumpEnergy));
      line("Include Heat Rejection Fan Energy Use", YesNo(m_ReportData.bIncludeTowerEnergy));
      WriteTextLine("");
      heading("Chiller Systems");
      const int systems = std::min<int>(m_EconSummary.nNumSystems, 4);
      for (int i = 1; i <= systems; ++i)
        WriteTextLine(modpublic::Parenthesize(modpublic::GetLetter(i, true)) + "  " +
                      Clean((*m_SystemEcon)(i).sSystemName));
    } else {
      heading("Chiller System");
      line("Name", Clean(profile.sSystemName));
      line("Chillers in Plant", vb::Format(profile.nNumChillerResults + (profile.nHeatRecoveryMode == 2 ? 1 : 0), "0"));
      std::string control;
      modpublic::GetPlantControl(profile.nPlantControl, control);
      line("Plant Control", control);
      line("Full Load LCHWT", WithUnit(profile.fDesignLCHWT, F_TO_C));
      line("Configuration",
           profile.nSingleTower == 1 ? "One Tower or Dry Cooler for System" : "One Tower or Dry Cooler Per Chiller");
      if (profile.nSingleTower == 1) line("Cooling Tower or Dry Cooler", Clean(profile.sTowerName));
      if (profile.bWaterEconomizer != 0)
        line("Free Cooling", profile.nEconomizerType == 1 ? "Non-Integrated Free Cooling" : "Integrated Free Cooling");
    }
    WriteTextLine("");
    if (economic) {
      heading("Economics");
      line("Lifecycle Period", std::to_string(m_EconSummary.nLifeCycleYears) + " years");
      line("Minimum Attractive Rate of Return", vb::CStr(m_EconSummary.DiscountRatePct()) + " %");
      line("Electric Energy", Clean(m_EconSummary.sElecRateText));
      line("Electric Demand", Clean(m_EconSummary.sDemandRateText));
      line("Natural Gas", Clean(m_EconSummary.sGasRateText));
      line("Steam", Clean(m_EconSummary.sSteamRateText));
      WriteTextLine("");
    }
    KeepTableTogether(GetTableStart());
    auto tab = [&](size_t c) {
      return reports::plv::ValueTabFor(labels[c], m_DefaultFontSize, false, reports::plv::kValueTab);
    };
    reports::plv::SetValueTab(m_TerHwnd, GetTableStart(), tab(0), secondColumn - 1);
    reports::plv::SetValueTab(m_TerHwnd, secondColumn, tab(1));
    ResetTableStart();
    if (!BeginNewSection(1, 0, 0)) return false;
    if (economic) return true;

    // The chiller table of the part-load run.
    SetTableStart(0);
    auto row = [&](const std::string& a, const std::string& b, const std::string& c, const std::string& d, bool hdr) {
      WriteCellData(a, hdr, 0, 1440, false, true, true, true, true, 0);
      WriteCellData(b, hdr, 1, 4320, false, true, true, true, true, 0);
      WriteCellData(c, hdr, 2, 1440, false, true, true, true, true, 0);
      WriteCellData(d, hdr, 3, 2160, true, true, true, true, true, hdr ? 0 : 2);
    };
    row("Sequence", "Chiller Name", AddUnitLabel("FL Capacity", TONS_TO_KW, true), "Full Load Power", true);
    if (profile.nHeatRecoveryMode == 2)
      row("DHRC", Clean(profile.Chiller.sName), FormatUnitValue(profile.Chiller.fFLCapacity, TONS_TO_KW), "Excluded",
          false);
    const int n = reports::plv::ChillerCount(profile);
    for (int c = 1; c <= n; ++c) {
      const ChillerResultData& r = profile.ChillerResults(c);
      row(Clean(r.sSlotName), Clean(r.sChillerName), FormatUnitValue(r.fCapacity, TONS_TO_KW),
          reports::plv::FullLoadPowerText(r, m_ReportData.nEfficiencyInput), false);
    }
    if (profile.nHeatRecoveryMode == 2)
      WriteCellData(reports::plv::HeatRecoveryNote(), false, 0, 9360, true, false, false, false, false, 0);
    KeepTableTogether(GetTableStart());
    ResetTableStart();
    return true;
  });
}
