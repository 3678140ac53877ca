// Energy cost details: per alternative the twelve months of electric energy and demand
// with their costs, the gas and steam costs and the total energy cost, and a totals row.
#include "app/reports/clsReport.h"
#include "app/reports/economics/econ_tables.h"
#include "app/storage/modpublic.h"
#include "libs/units/clsUnits.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

namespace reports::econ {

Grid EnergyCostGrid(const SystemEconData& s, const std::string& currency) {
  const std::string unit = " " + modpublic::Parenthesize(vb::Trim(modpublic::TrimNull(currency)));
  const int32_t widths[] = {950, 1250, 1100, 1250, 1250, 1250, 1250, 1250, 1250};
  std::vector<std::string> months;
  modpublic::GetMonthNames(months);

  auto row = [&](const std::vector<std::string>& texts, bool header, bool bold, int32_t valueAlign) {
    Row r;
    for (size_t c = 0; c < texts.size(); ++c)
      r.push_back({texts[c], widths[c], c == 0 ? kLeft : valueAlign, header, bold});
    return r;
  };
  Grid g;
  g.push_back(
      row({"Month", modpublic::AddUnitLabel("Electric Energy Use", KWH_TO_KWH, true), "Electrical Energy Cost" + unit,
           modpublic::AddUnitLabel("Electric Demand", KW_TO_KW, true), "Electric Demand Cost" + unit,
           "Total Electric Cost" + unit, "Natural Gas Costs" + unit, "Steam Costs" + unit, "Total Energy Cost" + unit},
          true, false, kCentre));
  // Sums of the unrounded month values of the columns that are totalled.
  double kWh = 0, energy = 0, demand = 0, elec = 0, gas = 0, steam = 0;
  for (int m = 1; m <= 12; ++m) {
    const double mKWh = s.dMonthKWh(m) + s.dMonthHeatKWh(m);
    const double mGas = s.dMonthGasCharge(m) + s.MonthlyHeatingGasCost(m);
    kWh += mKWh;
    energy += s.dMonthEnergyCharge(m);
    demand += s.dMonthDemandCharge(m);
    elec += s.dMonthElecCharge(m);
    gas += mGas;
    steam += s.dMonthSteamCharge(m);
    g.push_back(row(
        {months.at(static_cast<size_t>(m)), modpublic::FormatUnitValue(mKWh, KWH_TO_KWH, kWhole),
         Whole(s.dMonthEnergyCharge(m)), modpublic::FormatUnitValue(s.dMonthPeakKW(m), KW_TO_KW, "###,###,###,##0.0"),
         Whole(s.dMonthDemandCharge(m)), Whole(s.dMonthElecCharge(m)), Whole(mGas), Whole(s.dMonthSteamCharge(m)),
         Whole(s.dMonthEnergyCost(m))},
        false, false, kCentre));
  }
  // The total energy cost is the stored annual one (it holds what the months do not).
  g.push_back(row({"Total", modpublic::FormatUnitValue(kWh, KWH_TO_KWH, kWhole), Whole(energy), "-", Whole(demand),
                   Whole(elec), Whole(gas), Whole(steam), Whole(s.dEnergyCost(10))},
                  false, true, kRight));
  return g;
}

}  // namespace reports::econ

using namespace reports::econ;

bool clsReport::RptEnergyCostDetails0() {
  return modpublic::RunGuarded(ErrorSource("RptEnergyCostDetails0"), "", ui::kExclamation, [&] {
    const int n = CheckedSystemCount(m_EconSummary.nNumSystems);
    if (!WriteLeadText(*this)) return false;
    for (int i = 1; i <= n; ++i) {
      const SystemEconData& s = (*m_SystemEcon)(i);
      const std::string name = vb::Trim(modpublic::TrimNull(s.sSystemName));
      if (!WriteDetailTable(*this, i, "Energy Cost Details for", name, EnergyCostGrid(s, m_EconSummary.sCurrency), true,
                            true))
        return false;
    }
    return true;
  });
}
