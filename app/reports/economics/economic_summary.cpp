// The economic summary: the lead text, the comparative data of the comparisons (life-cycle
// runs) and the cost and energy use details of every alternative with the savings of the
// second against the first when two are compared.
#include <cmath>

#include "app/reports/clsReport.h"
#include "app/reports/economics/econ_tables.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

namespace reports::econ {
namespace {

constexpr int32_t kCompLabelWidth = 3240, kCompValueWidth = 2520;
constexpr int32_t kDetailLabelWidth = 3600, kDetailValueWidth = 1800;
const std::string kIndent = "     ";

// A row of the details table: the label and the value of each alternative.
struct DetailRow {
  std::string label;
  int32_t labelAlign;
  double (*value)(const SystemEconData&);
  bool money;  // a cost (prefixed, unit in the label) or an energy amount
};

}  // namespace

std::string MoneyPrefix(const std::string& currency) {
  return vb::Trim(modpublic::TrimNull(currency)) == "$" ? "$" : "";
}

std::string SystemHeader(int i, const std::string& systemName) {
  return "(" + modpublic::GetLetter(i, true) + ") " + vb::Trim(modpublic::TrimNull(systemName));
}

Grid ComparativeDataGrid(const EconSummaryData& summary, const vb::Array<SystemEconData, 1, 4>& systems) {
  const int n = CheckedSystemCount(summary.nNumSystems);
  const std::string prefix = MoneyPrefix(summary.sCurrency);
  Grid g;
  if (n < 2) return g;
  auto headerRow = [&](const std::string& label, auto text) {
    Row r{{label, kCompLabelWidth, kLeft, true}};
    for (int k = 1; k < n; ++k) r.push_back({text(summary.Cases(k)), kCompValueWidth, kRight, true});
    g.push_back(std::move(r));
  };
  auto system = [&](int16_t index, const char* what) {
    const int i = CheckedSystem(index, n, what);
    return SystemHeader(i, systems(i).sSystemName);
  };
  headerRow("Base Case", [&](const EconCaseData& c) { return system(c.nBaseSystem, "The base case"); });
  headerRow("Challenger Case", [&](const EconCaseData& c) { return system(c.nChallengerSystem, "The challenger"); });
  headerRow("Winner", [&](const EconCaseData& c) { return "(" + modpublic::GetLetter(c.nWinnerSystem, true) + ")"; });
  auto bodyRow = [&](const std::string& label, int32_t align, auto text) {
    Row r{{label, kCompLabelWidth, kCentre}};
    for (int k = 1; k < n; ++k) r.push_back({text(summary.Cases(k)), kCompValueWidth, align});
    g.push_back(std::move(r));
  };
  auto amount = [&](double v) { return prefix + Whole(v); };
  auto base = [&](const EconCaseData& c) -> const SystemEconData& { return systems(c.nBaseSystem); };
  auto challenger = [&](const EconCaseData& c) -> const SystemEconData& { return systems(c.nChallengerSystem); };
  bodyRow("Additional First Cost ", kCentre, [&](const EconCaseData& c) { return amount(c.dAddedFirstCost); });
  bodyRow("Annual Energy Cost Savings ", kCentre,
          [&](const EconCaseData& c) { return amount(base(c).dEnergyCost(10) - challenger(c).dEnergyCost(10)); });
  bodyRow("Annual OpCost Savings ", kCentre,
          [&](const EconCaseData& c) { return amount(base(c).dOpCost(10) - challenger(c).dOpCost(10)); });
  bodyRow("Net Present Worth Savings ", kCentre, [&](const EconCaseData& c) { return amount(c.dNPW); });
  bodyRow("Internal Rate of Return (%)", kRight,
          [&](const EconCaseData& c) { return c.fIRR == -1 ? std::string("n/a") : vb::Format(c.fIRR, "0.0") + " %"; });
  bodyRow("Payback (" + modpublic::gYrsText + ")", kRight, [&](const EconCaseData& c) {
    return c.fPayback == -1 ? std::string("None")
                            : vb::Format(c.fPayback, "###,###,###,##0.0") + " " + modpublic::gYrsText;
  });
  return g;
}

Grid CostAndEnergyUseGrid(const EconSummaryData& summary, const vb::Array<SystemEconData, 1, 4>& systems,
                          int16_t typeOfCostCalcs, bool heatRecovery) {
  const int n = CheckedSystemCount(summary.nNumSystems);
  const bool two = n == 2;
  const std::string prefix = MoneyPrefix(summary.sCurrency);
  const std::string unit = vb::Trim(modpublic::TrimNull(summary.sCurrency));
  const std::string gasUnit = vb::Trim(modpublic::TrimNull(summary.sGasUnit));
  const std::string steamUnit = vb::Trim(modpublic::TrimNull(summary.sSteamUnit));
  Grid g;

  Row head{{"", kDetailLabelWidth, kCentre, true}};
  for (int i = 1; i <= n; ++i)
    head.push_back({SystemHeader(i, systems(i).sSystemName), kDetailValueWidth, kCentre, true});
  if (two) {
    head.push_back({"Savings", kDetailValueWidth, kCentre, true});
    head.push_back({"Percentage Savings", kDetailValueWidth, kCentre, true});
  }
  g.push_back(std::move(head));

  const int columns = n + (two ? 2 : 0);
  auto group = [&](const std::string& label) {
    Row r{{label, kDetailLabelWidth, kLeft, false, true}};
    for (int c = 1; c <= columns; ++c) r.push_back({"", kDetailValueWidth, kCentre});
    g.push_back(std::move(r));
  };
  auto row = [&](const DetailRow& d) {
    const std::string rowPrefix = d.money ? prefix : "";
    Row r{{d.label, kDetailLabelWidth, d.labelAlign}};
    for (int i = 1; i <= n; ++i) r.push_back({rowPrefix + Whole(d.value(systems(i))), kDetailValueWidth, kCentre});
    if (two) {
      const double a = d.value(systems(1)), b = d.value(systems(2));
      double savings = 0;
      r.push_back({clsReport::CalculateAndFormatSavings(a, b, savings, rowPrefix), kDetailValueWidth, kRight});
      r.push_back({clsReport::CalculateSavings(a, savings), kDetailValueWidth, kRight});
    }
    g.push_back(std::move(r));
  };
  auto cost = [&](const std::string& label) { return kIndent + label + " " + modpublic::Parenthesize(unit); };
  auto energy = [&](const std::string& label) { return kIndent + label; };

  if (typeOfCostCalcs == 2) {
    group("Lifecycle Cost Results");
    row({cost("First Cost"), kCentre, [](const SystemEconData& s) { return s.dFirstCost(10); }, true});
    row({cost("Annual Energy Cost"), kCentre, [](const SystemEconData& s) { return s.dEnergyCost(10); }, true});
    row({cost("Annual Operating Cost"), kCentre, [](const SystemEconData& s) { return s.dOpCost(10); }, true});
    row({cost("Total Present Worth"), kCentre, [](const SystemEconData& s) { return s.CashFlowTotals(11); }, true});
  }
  group("Annual Energy Cost Details");
  row({cost("Chiller Electric Cost"), kLeft, [](const SystemEconData& s) { return s.dChillerElecCost; }, true});
  row({cost("Chiller Fuel Cost"), kLeft, [](const SystemEconData& s) { return s.dFuelCost; }, true});
  row({cost("Heat Rejection Fans"), kLeft, [](const SystemEconData& s) { return s.dTowerElecCost; }, true});
  row({cost("Chilled Water Pump"), kLeft, [](const SystemEconData& s) { return s.dChwPumpElecCost; }, true});
  row({cost("Condenser Water Pump"), kLeft, [](const SystemEconData& s) { return s.dCwPumpElecCost; }, true});
  if (heatRecovery) {  // dHeatingCost: 1 electric boiler, 2 booster pump, 3 DHRC chiller, 4 gas boiler
    row({cost("DHRC Chiller Cost"), kLeft, [](const SystemEconData& s) { return s.dHeatingCost(3); }, true});
    row({cost("Boiler Heating Cost"), kLeft,
         [](const SystemEconData& s) { return s.dHeatingCost(1) + s.dHeatingCost(4); }, true});
    row({cost("DHRC Booster Pump"), kLeft, [](const SystemEconData& s) { return s.dHeatingCost(2); }, true});
  }
  row({cost("Total Energy Cost"), kLeft, [](const SystemEconData& s) { return s.dEnergyCost(10); }, true});
  group("Annual Energy Use Details");
  row({energy("Chillers (kWh/yr)"), kLeft, [](const SystemEconData& s) { return s.dChillerKWh; }, false});
  row({energy("Heat Rejection Fans (kWh/yr)"), kLeft, [](const SystemEconData& s) { return s.dTowerKWh; }, false});
  row({energy("Chiller Water Pumps (kWh/yr)"), kLeft, [](const SystemEconData& s) { return s.dChwPumpKWh; }, false});
  row({energy("Condenser Water Pumps (kWh/yr)"), kLeft, [](const SystemEconData& s) { return s.dCwPumpKWh; }, false});
  if (heatRecovery) {
    row({energy("DHRC Chiller (kWh/yr)"), kLeft, [](const SystemEconData& s) { return s.DHRCChillerEnergyUse; },
         false});
    row({energy("Electric Boiler (kWh/yr)"), kLeft, [](const SystemEconData& s) { return s.ElectricBoilerEnergyUse; },
         false});
    row({energy("DHRC Booster Pump (kWh/yr)"), kLeft, [](const SystemEconData& s) { return s.DHRCPumpEnergyUse; },
         false});
  }
  row({energy("Total Electric (kWh/yr)"), kLeft,
       [](const SystemEconData& s) { return s.dTotalKWh + s.DHRCChillerEnergyForHeating; }, false});
  const std::string gas = " " + modpublic::Parenthesize(gasUnit);
  if (heatRecovery) {
    row({energy("Natural Gas Boiler" + gas), kLeft, [](const SystemEconData& s) { return s.GasBoilerUse; }, false});
    row({energy("Chiller Gas Use" + gas), kLeft, [](const SystemEconData& s) { return s.dGasUse; }, false});
  }
  row({energy("Total Natural Gas Use" + gas), kLeft, [](const SystemEconData& s) { return s.dGasUse + s.GasBoilerUse; },
       false});
  row({energy("Total Steam Use " + modpublic::Parenthesize(steamUnit)), kLeft,
       [](const SystemEconData& s) { return s.dSteamUse; }, false});
  return g;
}

}  // namespace reports::econ

using namespace reports::econ;

std::string clsReport::CalculateAndFormatSavings(double a, double b, double& savings, const std::string& prefix) {
  savings = a - b;
  if (savings >= 0) return prefix + Whole(savings);
  return "(" + prefix + Whole(std::fabs(savings)) + ")";
}

std::string clsReport::CalculateSavings(double base, double savings) {
  if (base == 0 && savings != 0) return "n/a";
  const double percent = savings != 0 && base != 0 ? savings * 100 / base : 0;
  return vb::Format(percent, kWhole) + "%";
}

bool clsReport::RptEconomicSummary0(int32_t& section) {
  bool ok = WriteLeadText(*this);
  if (ok && m_ReportData.nTypeOfCostCalcs == 2) ok = SystemComparativeData(section);
  if (ok) ok = CostAndEnergyUseDetails(section);
  // A table that failed has shown its box; this adds one only for an error of its own.
  if (!ok) modpublic::ShowError("", ui::kExclamation, ErrorSource("RptEconomicSummary0"));
  return ok;
}

bool clsReport::SystemComparativeData(int32_t& section) {
  return modpublic::RunGuarded(ErrorSource("SystemComparativeData"), "", ui::kExclamation, [&] {
    return WriteNumberedTable(*this, section, "Comparative Data", ComparativeDataGrid(m_EconSummary, *m_SystemEcon),
                              "(There is no comparative data for this analysis.)", "\x0f");
  });
}

bool clsReport::CostAndEnergyUseDetails(int32_t& section) {
  return modpublic::RunGuarded(ErrorSource("CostAndEnergyUseDetails"), "", ui::kExclamation, [&] {
    const Grid grid = CostAndEnergyUseGrid(m_EconSummary, *m_SystemEcon, m_ReportData.nTypeOfCostCalcs,
                                           modpublic::gHeatRecoveryOption == 1);
    return WriteNumberedTable(*this, section, "Cost and Energy Use Details", grid, "", "");
  });
}
