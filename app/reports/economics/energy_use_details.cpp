// Energy use details: per alternative the twelve months of cooling load, electric energy
// by component, natural gas and steam use, and a totals row of the annual values.
#include "app/reports/clsReport.h"
#include "app/reports/economics/econ_tables.h"
#include "app/reports/report_strings.h"
#include "app/resources/TextCatalog.h"
#include "app/storage/modpublic.h"
#include "libs/units/clsUnits.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

namespace reports::econ {

Grid EnergyUseGrid(const SystemEconData& s, const std::string& gasUnit, const std::string& steamUnit) {
  auto unitOf = [](const std::string& u) { return " " + modpublic::Parenthesize(vb::Trim(modpublic::TrimNull(u))); };
  constexpr int32_t kMonthWidth = 920, kValueWidth = 1235;
  std::vector<std::string> months;
  modpublic::GetMonthNames(months);
  auto row = [&](const std::vector<std::string>& texts, bool header, bool bold, int32_t valueAlign) {
    Row r;
    for (size_t c = 0; c < texts.size(); ++c)
      r.push_back({texts[c], c == 0 ? kMonthWidth : kValueWidth, c == 0 ? kLeft : valueAlign, header, bold});
    return r;
  };
  auto kWhHeading = [](const char* label) { return modpublic::AddUnitLabel(label, KWH_TO_KWH, true); };
  auto kWh = [](double v) { return modpublic::FormatUnitValue(v, KWH_TO_KWH, kWhole); };
  auto load = [](double v) { return modpublic::FormatUnitValue(v, TONHR_TO_KWH, kWhole); };

  Grid g;
  g.push_back(
      row({"Month", modpublic::AddUnitLabel("Total System Cooling Load", TONHR_TO_KWH, true), kWhHeading("Chillers"),
           kWhHeading("Chilled Water Pumps"), kWhHeading("Condenser Water Pumps"), kWhHeading("Heat Rejection Fans"),
           kWhHeading("Total Cooling Electric Energy"), textcatalog::GetString(kTxtNaturalGasUse) + unitOf(gasUnit),
           textcatalog::GetString(kTxtSteamUse) + unitOf(steamUnit)},
          true, false, kCentre));
  double tonHours = 0;
  for (int m = 1; m <= 12; ++m) {
    tonHours += s.dMonthTonHours(m);
    g.push_back(
        row({months.at(static_cast<size_t>(m)), load(s.dMonthTonHours(m)), Whole(s.dMonthChillerKWh(m)),
             modpublic::FormatUnitValue(s.dMonthChwPumpKWh(m), KW_TO_KW, kWhole), Whole(s.dMonthCwPumpKWh(m)),
             Whole(s.dMonthTowerKWh(m)), Whole(s.dMonthKWh(m)), Whole(s.dMonthGasUse(m)), Whole(s.dMonthSteamUse(m))},
            false, false, kCentre));
  }
  // Only the cooling load is summed; the other totals are the stored annual values.
  g.push_back(row({"Total", load(tonHours), kWh(s.dChillerKWh), kWh(s.dChwPumpKWh), kWh(s.dCwPumpKWh), kWh(s.dTowerKWh),
                   kWh(s.dTotalKWh), Whole(s.dGasUse), Whole(s.dSteamUse)},
                  false, true, kRight));
  return g;
}

}  // namespace reports::econ

using namespace reports::econ;

bool clsReport::EmptyEnergyUseHook(int16_t& /*alternative*/, int32_t& /*monthWidth*/, int32_t& /*valueWidth*/,
                                   std::vector<std::string>& /*months*/, bool& ok) {
  ok = false;
  return false;
}

bool clsReport::RptEnergyUseDetails0() {
  return modpublic::RunGuarded(ErrorSource("RptEnergyUseDetails0"), "", ui::kExclamation, [&] {
    const int n = CheckedSystemCount(m_EconSummary.nNumSystems);
    std::vector<std::string> months;
    modpublic::GetMonthNames(months);
    if (!WriteLeadText(*this)) return false;
    for (int i = 1; i <= n; ++i) {
      const SystemEconData& s = (*m_SystemEcon)(i);
      const Grid grid = EnergyUseGrid(s, m_EconSummary.sGasUnit, m_EconSummary.sSteamUnit);
      if (!WriteDetailTable(*this, i, textcatalog::GetString(reports::kTxtEnergyUseDetailsFor),
                            modpublic::TrimNull(s.sSystemName), grid, true, true))
        return false;
      if (modpublic::gHeatRecoveryOption == 1) {
        // The heating tables have no writer: the section ends here as failed.
        int16_t alternative = static_cast<int16_t>(i);
        int32_t monthWidth = 920, valueWidth = 1235;
        bool ok = true;
        if (!EmptyEnergyUseHook(alternative, monthWidth, valueWidth, months, ok) || !ok)
          vb::Raise(vb::kInvalidProcedureCall, "The heating energy use tables are not available.");
      }
    }
    return true;
  });
}
