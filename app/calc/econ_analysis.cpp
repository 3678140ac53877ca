// The economic analysis: up to four systems, the cheapest to install first, simulated month
// by month over the temperature bins, priced with energy and demand rates, gas and steam,
// and compared over their life cycle; results in CAL.DAT (sections A, C, D and the monthly
// blocks) and LCA.TXT.
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/calc/econ_analysis.h"
#include "app/calc/frmWait.h"
#include "app/calc/modCalcs.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "libs/vector_state.h"
#include "platform/db/db.h"
#include "platform/ui/ui.h"

namespace {

std::string RateText(float rate, const std::string& currency, const std::string& unit) {
  return vb::Left(vb::Format(rate, "0.000") + " " + currency + "/" + unit, 25);
}

// Yearly quantities of one bin or of the whole year.
struct YearSums {
  double tonHours = 0, kWh = 0, fuel = 0, steam = 0;
};

// Efficiency of cooling against input by the efficiency type; 0 under the thresholds.
double Efficiency(int16_t nSysEffType, const YearSums& y) {
  const double cooling = y.tonHours * 12.0;
  if (nSysEffType == 2) {
    const double input = y.kWh * 3.412 + y.fuel + y.steam;
    return input < 1.0 ? 0 : cooling / input;
  }
  if (nSysEffType == 0) return y.kWh < 1.0 ? 0 : cooling / y.kWh;
  return y.tonHours < 1.0 ? 0 : y.kWh / y.tonHours;
}

float SavingsPct(double base, double value) {
  if (base <= 0) return value > 0 ? -999.0f : 0.0f;
  return static_cast<float>((base - value) * 100.0 / base);
}

}  // namespace

namespace econ {

int SystemCount(const vb::Array<int16_t, 1, 4>& nSysIndex) {
  for (int i = 2; i <= 4; ++i)
    if (nSysIndex(i) == 0) return i - 1;
  return 4;
}

double ProgressValue(int s, int n) { return 10 + static_cast<double>(static_cast<int16_t>(s * 60)) / n; }

void PriceMonth(int m, int nBins, const EconomicsData& eco, const SimMonthResults& month, SystemEconData& e,
                YearBins& bins) {
  const double energyCharge = eco.fElecRate * e.dMonthKWh(m);
  const double demandCharge = eco.fDemandRate * e.dMonthPeakKW(m);
  const double elecCharge = demandCharge + energyCharge;
  double gasCharge = 0, steamCharge = 0;
  if (eco.fGasFactor > 0) {
    e.dMonthGasUse(m) = e.dMonthGasUse(m) / eco.fGasFactor;
    gasCharge = eco.fGasRate * e.dMonthGasUse(m);
  }
  if (eco.fSteamFactor > 0) {
    e.dMonthSteamUse(m) = e.dMonthSteamUse(m) / eco.fSteamFactor;
    steamCharge = eco.fSteamRate * e.dMonthSteamUse(m);
  }
  e.dMonthEnergyCharge(m) = energyCharge;
  e.dMonthDemandCharge(m) = demandCharge;
  e.dMonthElecCharge(m) = elecCharge;
  e.dMonthGasCharge(m) = gasCharge;
  e.dMonthSteamCharge(m) = steamCharge;
  e.dMonthEnergyCost(m) = elecCharge + gasCharge + steamCharge;

  const double avgRate = e.dMonthKWh(m) > 0 ? elecCharge / e.dMonthKWh(m) : 0;
  const double fuelPrice = eco.fGasFactor > 0 ? eco.fGasRate / static_cast<double>(eco.fGasFactor) : 0;
  const double steamPrice = eco.fSteamFactor > 0 ? eco.fSteamRate / static_cast<double>(eco.fSteamFactor) : 0;
  for (int b = 1; b <= nBins; ++b)
    e.dBinEnergyCost(b) += month.fKWh(b) * avgRate + fuelPrice * month.fGas(b) + steamPrice * month.fSteam(b);

  e.dChillerKWh += e.dMonthChillerKWh(m);
  e.dTowerKWh += e.dMonthTowerKWh(m);
  e.dChwPumpKWh += e.dMonthChwPumpKWh(m);
  e.dCwPumpKWh += e.dMonthCwPumpKWh(m);
  e.dGasUse += e.dMonthGasUse(m);
  e.dSteamUse += e.dMonthSteamUse(m);
  e.dChillerElecCost += avgRate * e.dMonthChillerKWh(m);
  e.dTowerElecCost += avgRate * e.dMonthTowerKWh(m);
  e.dChwPumpElecCost += avgRate * e.dMonthChwPumpKWh(m);
  e.dCwPumpElecCost += avgRate * e.dMonthCwPumpKWh(m);
  e.dFuelCost += gasCharge + steamCharge;

  for (int b = 1; b <= nBins; ++b) {
    bins.tonHours(b) += month.fTonHrs(b);
    bins.kWh(b) += month.fKWh(b);
    bins.fuel(b) += month.fGas(b);
    bins.steam(b) += month.fSteam(b);
  }
}

void YearResults(int nBins, int16_t nSysEffType, const YearBins& bins, SystemEconData& e) {
  e.dTotalKWh = e.dChillerKWh + e.dTowerKWh + e.dChwPumpKWh + e.dCwPumpKWh;
  YearSums year;
  for (int b = 1; b <= nBins; ++b) {
    year.tonHours += bins.tonHours(b);
    year.kWh += bins.kWh(b);
    year.fuel += bins.fuel(b);
    year.steam += bins.steam(b);
  }
  e.dSystemEfficiency = Efficiency(nSysEffType, year);
  e.dAnnualTonHours = year.tonHours;
  if (nSysEffType == 2) {
    e.nEfficiencyType = 2;
    e.dAnnualEnergyInput = year.kWh * 3.412 + year.fuel + year.steam;
    e.bElectricOnly = 0;
    e.dAnnualFuelInput = year.fuel + year.steam;
  } else {
    e.nEfficiencyType = nSysEffType == 0 ? 0 : 1;
    e.dAnnualEnergyInput = year.kWh;
    e.bElectricOnly = 1;
    e.dAnnualFuelInput = 0;
  }
  for (int b = 1; b <= nBins; ++b) {
    e.dBinTonHours(b) = bins.tonHours(b);
    e.dBinEfficiency(b) = Efficiency(nSysEffType, {bins.tonHours(b), bins.kWh(b), bins.fuel(b), bins.steam(b)});
  }
}

void CompareWithBase(int n, vb::Array<SystemEconData, 1, 4>& sys, EconSummaryData& summary) {
  const SystemEconData& base = sys(1);
  summary.nLowestEnergyCostSystem = summary.nLowestOpCostSystem = summary.nLowestLCCSystem = 1;
  for (int s = 1; s <= n; ++s) {
    SystemEconData& e = sys(s);
    if (s == 1) {
      e.fEnergyCostSavingsPct = e.fElecUseSavingsPct = e.fGasUseSavingsPct = e.fSteamUseSavingsPct = 0;
      e.dOpCostSavings = 0;
      continue;
    }
    e.fEnergyCostSavingsPct = SavingsPct(base.dEnergyCost(10), e.dEnergyCost(10));
    e.fElecUseSavingsPct = SavingsPct(base.dTotalKWh, e.dTotalKWh);
    e.fGasUseSavingsPct = SavingsPct(base.dGasUse, e.dGasUse);
    e.fSteamUseSavingsPct = SavingsPct(base.dSteamUse, e.dSteamUse);
    e.dOpCostSavings = base.dOpCost(10) - e.dOpCost(10);
    if (e.dEnergyCost(10) < sys(summary.nLowestEnergyCostSystem).dEnergyCost(10))
      summary.nLowestEnergyCostSystem = static_cast<int16_t>(s);
    if (e.dOpCost(10) < sys(summary.nLowestOpCostSystem).dOpCost(10))
      summary.nLowestOpCostSystem = static_cast<int16_t>(s);
    if (e.dLifeCycleCost < sys(summary.nLowestLCCSystem).dLifeCycleCost)
      summary.nLowestLCCSystem = static_cast<int16_t>(s);
  }
}

bool LifeCycleChain(int n, int16_t nYears, const vb::Array<SystemEconData, 1, 4>& sys, EconSummaryData& summary) {
  const int comparisons = std::min(3, std::max(1, n - 1));
  for (int k = 1; k <= comparisons; ++k) {
    EconCaseData& c = summary.Cases(k);
    c.nBaseSystem = k == 1 ? 1 : summary.Cases(k - 1).nWinnerSystem;
    c.nChallengerSystem = n == 1 ? 1 : static_cast<int16_t>(k + 1);
    const SystemEconData& base = sys(c.nBaseSystem);
    const SystemEconData& chal = sys(c.nChallengerSystem);
    c.dAddedFirstCost = chal.dFirstCost(10) - base.dFirstCost(10);
    for (int y = 0; y <= nYears; ++y) c.dPWCostDifference(y) = base.dTotalCostPW(y) - chal.dTotalCostPW(y);
    c.dNPW = base.dLifeCycleCost - chal.dLifeCycleCost;
    c.nWinnerSystem = c.dNPW > 0 ? c.nChallengerSystem : c.nBaseSystem;
    summary.nOverallWinner = c.nWinnerSystem;
    if (!modCalcs::bCalcIRR(base.dTotalCostByYear, chal.dTotalCostByYear, nYears, c.fIRR)) return false;
    if (!modCalcs::bCalcPayback(base, chal, nYears, c)) return false;
  }
  return true;
}

}  // namespace econ

bool frmWait::bEconomicsController(const std::vector<int16_t>& selected, bool& bInputErrors, bool& bCalcErrors) {
  if (!modDataIO::bLockDataFolder()) return false;
  // The system library index is opened once for the run: every record read joins it, and
  // each record is read from the disk once.
  std::shared_ptr<db::Database> index;
  if (!modDataIO::bOpenIndexDatabase(index, true)) return false;
  const modDataIO::LibraryReadScope keepRecords;
  ReportData report;
  EconomicsData economics;
  if (!modDataIO::bReportsRead(report)) return false;
  if (!modDataIO::bEconomicsRead(economics)) return false;

  const std::size_t n = std::min<std::size_t>(selected.size(), 4);
  std::vector<SystemData> systems(n);
  std::vector<bool> sysInputErrors(n, false);
  for (std::size_t k = 0; k < n; ++k) {
    if (!modDataIO::bSystemRead(selected[k], systems[k])) return false;
    bool absorption = false, errors = false;
    const bool checked = modCalcs::bCalcCheckInputData(systems[k], report.nTypeOfCostCalcs, economics.nLifeCycleYears,
                                                       absorption, errors);
    if (absorption) report.nSysEffType = 2;
    if (!checked) return false;
    sysInputErrors[k] = errors;
  }
  for (std::size_t k = 0; k < n; ++k) {
    if (sysInputErrors[k]) {
      bInputErrors = true;
      return true;
    }
  }

  std::vector<double> costs(n);
  std::vector<int16_t> ids(selected.begin(), selected.begin() + static_cast<std::ptrdiff_t>(n));
  for (std::size_t k = 0; k < n; ++k) {
    vb::Array<double, 1, 10> cost;
    if (!modCalcs::bCalcSysFirstCost(systems[k], cost)) return false;
    costs[k] = cost(10);
  }
  SortSystemsByFirstCost(costs, ids);

  vb::Array<int16_t, 1, 4> nSysIndex;
  for (std::size_t k = 0; k < n; ++k) nSysIndex(static_cast<long>(k + 1)) = ids[k];
  bool bIncludePump = report.bIncludePumpEnergy != 0;
  bool bIncludeTower = report.bIncludeTowerEnergy != 0;
  return bCostController(nSysIndex, report.nTypeOfCostCalcs, bIncludePump, bIncludeTower, report.nSysEffType,
                         bCalcErrors);
}

bool frmWait::bCostController(vb::Array<int16_t, 1, 4>& nSysIndex, int16_t& nTypeOfCostCalcs, bool& bIncludePumpEnergy,
                              bool& bIncludeTowerEnergy, int16_t& nSysEffType, bool& bCalcErrors) {
  bool result = false;
  modpublic::RunGuarded("bCostController", m_sErrorPrefix, ui::kExclamation, [&] {
    result =
        CostAnalysis(nSysIndex, nTypeOfCostCalcs, bIncludePumpEnergy, bIncludeTowerEnergy, nSysEffType, bCalcErrors);
  });
  ReleasePlant();  // the engine of the run ends on every way out
  return result;
}

bool frmWait::CostAnalysis(const vb::Array<int16_t, 1, 4>& nSysIndex, int16_t nTypeOfCostCalcs, bool bIncludePumpEnergy,
                           bool bIncludeTowerEnergy, int16_t nSysEffType, bool& bCalcErrors) {
  m_bEngineError = false;
  auto weather = std::make_unique<WeatherData>();
  LoadProfileData load;
  EconomicsData eco;
  if (!modDataIO::bWeatherRead(*weather)) return false;
  if (!modDataIO::bLoadProfileRead(load)) return false;
  if (!modDataIO::bEconomicsRead(eco)) return false;
  if (!modDataIO::bCalcWriteHeaderData()) return false;

  const int16_t L = eco.nLifeCycleYears;
  modCalcs::CheckLifeCycleYears(L);
  const int nBins = weather->nNumBins;
  if (nBins < 0 || nBins > 24)
    vb::Raise(vb::kSubscriptOutOfRange,
              "The weather data has " + std::to_string(nBins) + " temperature bins; at most 24 are allowed.");

  PLVSummaryData runSummary;
  FillRunSummary(*weather, load, runSummary);
  auto summary = std::make_unique<EconSummaryData>();
  auto sys = std::make_unique<vb::Array<SystemEconData, 1, 4>>();
  const int n = econ::SystemCount(nSysIndex);
  summary->nNumSystems = static_cast<int16_t>(n);
  summary->sCurrency = eco.sCurrency;
  summary->sGasUnit = eco.sGasUnit;
  summary->sSteamUnit = eco.sSteamUnit;
  summary->nLifeCycleYears = L;
  summary->SetDiscountRatePct(eco.fDiscountRate);
  summary->sElecRateText = RateText(eco.fElecRate, eco.sCurrency, "kWH");
  summary->sDemandRateText = RateText(eco.fDemandRate, eco.sCurrency, "kW");
  summary->sGasRateText = RateText(eco.fGasRate, eco.sCurrency, eco.sGasUnit);
  summary->sSteamRateText = RateText(eco.fSteamRate, eco.sCurrency, eco.sSteamUnit);
  summary->nComparisonCount = 1;
  summary->bHeatRecovery = vb::kFalse;

  std::vector<SystemData> systems(static_cast<std::size_t>(n));
  static const ChillerData kNoChiller;
  const HeatRecoveryChillerData noRecovery;
  const HeatingSystemData noHeating;
  for (int s = 1; s <= n; ++s) {
    SystemData& system = systems[static_cast<std::size_t>(s - 1)];
    if (!modDataIO::bSystemRead(nSysIndex(s), system)) return false;
    if (!modpublic::UpdateProgress(modpublic::kProgressCalculating, econ::ProgressValue(s, n),
                                   "Energy Costs: " + vb::FixedWidth(system.sName, 40)))
      return false;
    // The progress update may run Qt's vector code; the year's simulation runs in clean state.
    kestrin::ClearUpperVectorState();
    SystemEconData& e = (*sys)(s);
    e.nSysIndex = nSysIndex(s);
    e.sSystemName = system.sName;
    e.nNumChillers = system.nNumChillers;

    std::vector<ChillerData> chillers;
    std::vector<TowerData> towers;
    std::vector<float> firstECWT, lastECWT;
    auto wellTable = std::make_unique<WellWaterTable>();
    cCwPlant& plant = CreatePlant();
    if (!bSimEngineSetup(system, chillers, towers, *weather, firstECWT, lastECWT, *wellTable)) return false;

    const int units = std::min(plant.NumChillers(), 30);
    int16_t unmetBins = 0;
    float largestUnmet = 0;
    auto bins = std::make_unique<econ::YearBins>();
    auto month = std::make_unique<SimMonthResults>();
    for (int16_t m = 1; m <= 12; ++m) {
      *month = SimMonthResults{};
      for (int16_t b = 1; b <= nBins; ++b) {
        const float cooling = load.fBinLoad(b) * 12.0f;
        if (weather->lMonthBinHours(m, b) > 0 && std::fabs(cooling) > 0.01f) {
          plant.OutdoorDryBulb(weather->fBinDB(b));
          plant.OutdoorWetBulb(weather->fMonthBinMCWB(m, b));
          plant.CoolingLoad(static_cast<double>(load.fBinLoad(b)) * 12.0);
          for (int j = 1; j <= units; ++j)
            if (plant.HeatRejectionMode(j) == 1) plant.WellWaterTemp(j, (*wellTable)(j, m));
          plant.CalcPlant();
          if (m_bEngineError) return false;
          if (plant.LoadNotMet() > 0) {
            ++unmetBins;
            if (static_cast<float>(plant.BuildingLoad()) > largestUnmet)
              largestUnmet = static_cast<float>(plant.BuildingLoad());
          }
          double plr = 1.0;
          const ChillerData& first = chillers.empty() ? kNoChiller : chillers.front();
          CalcHeatingEnergyUsePerBinInMonth(b, m, load.fBinLoad(b), noRecovery, first, system, noHeating, *weather,
                                            *month, e, plr);
          if (!TransferCoolingSimulationResultsToBrimlowStructure(b, m, bIncludePumpEnergy, bIncludeTowerEnergy,
                                                                  chillers, system, *weather, *month))
            return false;
        }
        if (!GatherResults(b, m, plant.NumChillers(), system, eco, *weather, load, *month, e, 0.0f)) return false;
      }
      if (!modDataIO::bCalcWriteSimData(static_cast<int16_t>(s), m, PackSimMonth(*month))) return false;
      econ::PriceMonth(m, nBins, eco, *month, e, *bins);
    }
    econ::YearResults(nBins, nSysEffType, *bins, e);
    if (!modCalcs::bCalcCheckResults(system.sName, unmetBins, largestUnmet, bCalcErrors)) return false;
    ReleasePlant();
  }

  for (int s = 1; s <= n; ++s)
    if (!modCalcs::bCalcCashFlow(systems[static_cast<std::size_t>(s - 1)], eco, (*sys)(s))) return false;
  econ::CompareWithBase(n, *sys, *summary);

  if (nTypeOfCostCalcs == 2) {
    if (!modpublic::UpdateProgress(modpublic::kProgressCalculating, 80, "Lifecycle Costs")) return false;
    if (!econ::LifeCycleChain(n, L, *sys, *summary)) return false;
  }

  if (!modDataIO::bCalcWriteEconData(runSummary, *summary, *sys)) return false;
  if (!modpublic::UpdateProgress(modpublic::kProgressCalculating, 100, "Finished")) return false;
  std::string folder;
  return modCalcs::bWriteEconDiagnostic(*summary, *sys, folder);
}
