// Pricing of a simulated month, yearly results, savings against the base and the chain of
// life-cycle comparisons.
#include <gtest/gtest.h>

#include "app/calc/econ_analysis.h"
#include "platform/ui/ui.h"

namespace {

// One month with one bin: 1,000 kWh at a 50 kW peak (chillers 700, tower 100, chilled-water
// pumps 150, condenser pumps 50 kWh) and 3,000 units of fuel input.
struct OneBinMonth {
  EconomicsData eco;
  SimMonthResults month;
  SystemEconData e;
  econ::YearBins bins;
  OneBinMonth() {
    eco.fElecRate = 0.10f;
    eco.fDemandRate = 10;
    eco.fGasFactor = 100;
    eco.fGasRate = 1.5f;
    month.fKWh(1) = 1000;
    month.fGas(1) = 3000;
    month.fTonHrs(1) = 400;
    e.dMonthKWh(7) = 1000;
    e.dMonthPeakKW(7) = 50;
    e.dMonthChillerKWh(7) = 700;
    e.dMonthTowerKWh(7) = 100;
    e.dMonthChwPumpKWh(7) = 150;
    e.dMonthCwPumpKWh(7) = 50;
    e.dMonthGasUse(7) = 3000;
  }
};

TEST(EconPricing, OneMonthOneBinByHand) {
  OneBinMonth t;
  econ::PriceMonth(7, 1, t.eco, t.month, t.e, t.bins);
  // Energy 0.10 x 1000 = 100, demand 10 x 50 = 500, electric 600: an average of 0.60 a kWh.
  EXPECT_NEAR(t.e.dMonthEnergyCharge(7), 100, 1e-4);
  EXPECT_NEAR(t.e.dMonthDemandCharge(7), 500, 1e-9);
  EXPECT_NEAR(t.e.dMonthElecCharge(7), 600, 1e-4);
  // Gas: 3000 / 100 = 30 units at 1.5 = 45.
  EXPECT_NEAR(t.e.dMonthGasUse(7), 30, 1e-9);
  EXPECT_NEAR(t.e.dMonthGasCharge(7), 45, 1e-4);
  EXPECT_NEAR(t.e.dMonthEnergyCost(7), 645, 1e-4);
  // The bin: 1000 kWh x 0.60 + 3000 x 1.5 / 100.
  EXPECT_NEAR(t.e.dBinEnergyCost(1), 645, 1e-4);
  // The demand charge reaches the components through the average rate.
  EXPECT_NEAR(t.e.dChillerElecCost, 420, 1e-4);
  EXPECT_NEAR(t.e.dTowerElecCost, 60, 1e-4);
  EXPECT_NEAR(t.e.dChwPumpElecCost, 90, 1e-4);
  EXPECT_NEAR(t.e.dCwPumpElecCost, 30, 1e-4);
  EXPECT_NEAR(t.e.dFuelCost, 45, 1e-4);
  EXPECT_NEAR(t.e.dGasUse, 30, 1e-9);
  EXPECT_DOUBLE_EQ(t.e.dChillerKWh, 700);
  EXPECT_DOUBLE_EQ(t.bins.tonHours(1), 400);
  EXPECT_DOUBLE_EQ(t.bins.fuel(1), 3000);
}

TEST(EconPricing, GasFactorZeroLeavesTheUseUnconvertedAndUncharged) {
  OneBinMonth t;
  t.eco.fGasFactor = 0;
  econ::PriceMonth(7, 1, t.eco, t.month, t.e, t.bins);
  EXPECT_DOUBLE_EQ(t.e.dMonthGasUse(7), 3000);
  EXPECT_EQ(t.e.dMonthGasCharge(7), 0);
  EXPECT_EQ(t.e.dFuelCost, 0);
  EXPECT_NEAR(t.e.dBinEnergyCost(1), 600, 1e-4);
  EXPECT_NEAR(t.e.dMonthEnergyCost(7), 600, 1e-4);
}

TEST(EconPricing, AMonthWithoutElectricEnergyHasNoAverageRate) {
  OneBinMonth t;
  t.e.dMonthKWh(7) = 0;
  econ::PriceMonth(7, 1, t.eco, t.month, t.e, t.bins);
  EXPECT_NEAR(t.e.dMonthElecCharge(7), 500, 1e-9);  // the demand charge alone
  EXPECT_EQ(t.e.dChillerElecCost, 0);
  EXPECT_NEAR(t.e.dBinEnergyCost(1), 45, 1e-4);
}

struct EfficiencyCase {
  int16_t type;
  double tonHours, kWh, fuel;
  int16_t nEfficiencyType;
  double efficiency;
  vb::Boolean electricOnly;
};

TEST(EconPricing, EfficiencyByTypeWithItsThresholds) {
  const EfficiencyCase cases[] = {
      {2, 100, 100, 658.8, 2, 1200.0 / 1000.0, 0},  // 100 x 3.412 + 658.8 = 1000
      {2, 100, 0, 0.5, 2, 0, 0},                    // input below 1
      {0, 100, 400, 0, 0, 3.0, 1},                  // 1200 kBtu / 400 kWh
      {0, 100, 0.9, 0, 0, 0, 1},
      {1, 100, 60, 0, 1, 0.6, 1},  // kWh per ton-hour
      {7, 0.9, 60, 0, 1, 0, 1},
  };
  for (const auto& c : cases) {
    econ::YearBins bins;
    bins.tonHours(3) = c.tonHours;
    bins.kWh(3) = c.kWh;
    bins.fuel(3) = c.fuel;
    SystemEconData e;
    econ::YearResults(3, c.type, bins, e);
    EXPECT_EQ(e.nEfficiencyType, c.nEfficiencyType) << c.type;
    EXPECT_NEAR(e.dSystemEfficiency, c.efficiency, 1e-9) << c.type << " " << c.kWh;
    EXPECT_NEAR(e.dBinEfficiency(3), c.efficiency, 1e-9) << c.type;
    EXPECT_EQ(e.bElectricOnly, c.electricOnly);
    EXPECT_DOUBLE_EQ(e.dAnnualTonHours, c.tonHours);
    EXPECT_DOUBLE_EQ(e.dBinTonHours(3), c.tonHours);
  }
}

TEST(EconPricing, SavingsAgainstTheBaseAndTheBestSystems) {
  vb::Array<SystemEconData, 1, 4> s;
  EconSummaryData summary;
  s(1).dEnergyCost(10) = 200;
  s(1).dTotalKWh = 1000;
  s(1).dOpCost(10) = 500;
  s(1).dLifeCycleCost = 9000;
  s(2).dEnergyCost(10) = 150;  // cheapest energy, tied by 3
  s(2).dTotalKWh = 800;
  s(2).dGasUse = 5;  // the base has no gas
  s(2).dOpCost(10) = 600;
  s(2).dLifeCycleCost = 8000;
  s(3).dEnergyCost(10) = 150;
  s(3).dOpCost(10) = 400;
  s(3).dLifeCycleCost = 8000;
  econ::CompareWithBase(3, s, summary);
  EXPECT_FLOAT_EQ(s(2).fEnergyCostSavingsPct, 25);
  EXPECT_FLOAT_EQ(s(2).fElecUseSavingsPct, 20);
  EXPECT_FLOAT_EQ(s(2).fGasUseSavingsPct, -999);
  EXPECT_FLOAT_EQ(s(3).fGasUseSavingsPct, 0);
  EXPECT_DOUBLE_EQ(s(2).dOpCostSavings, -100);
  EXPECT_EQ(summary.nLowestEnergyCostSystem, 2);
  EXPECT_EQ(summary.nLowestOpCostSystem, 3);
  EXPECT_EQ(summary.nLowestLCCSystem, 2);
}

TEST(EconPricing, SystemCountAndProgress) {
  auto count = [](int16_t a, int16_t b, int16_t c, int16_t d) {
    vb::Array<int16_t, 1, 4> ids;
    ids(1) = a;
    ids(2) = b;
    ids(3) = c;
    ids(4) = d;
    return econ::SystemCount(ids);
  };
  EXPECT_EQ(count(7, 0, 9, 12), 1);
  EXPECT_EQ(count(7, 3, 0, 0), 2);
  EXPECT_EQ(count(7, 3, 5, 0), 3);
  EXPECT_EQ(count(1, 2, 3, 4), 4);
  EXPECT_EQ(econ::ProgressValue(1, 4), 25);
  EXPECT_EQ(econ::ProgressValue(2, 4), 40);
  EXPECT_EQ(econ::ProgressValue(3, 4), 55);
  EXPECT_EQ(econ::ProgressValue(4, 4), 70);
  EXPECT_EQ(econ::ProgressValue(1, 1), 70);
}

struct Chain {
  ui::RecordingHost host;
  ui::ScopedHost scoped{host};
  vb::Array<SystemEconData, 1, 4> s;
  EconSummaryData summary;
  void LifeCycleCosts(std::initializer_list<double> lcc) {
    int i = 1;
    for (double v : lcc) s(i++).dLifeCycleCost = v;
  }
};

TEST(EconChain, TheWinnerOfEachComparisonIsTheNextBase) {
  Chain c;
  c.LifeCycleCosts({100, 90, 95, 80});
  c.s(2).dFirstCost(10) = 40;
  c.s(3).dFirstCost(10) = 70;
  ASSERT_TRUE(econ::LifeCycleChain(4, 5, c.s, c.summary));
  const int expected[3][3] = {{1, 2, 2}, {2, 3, 2}, {2, 4, 4}};  // base, challenger, winner
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(c.summary.Cases(k).nBaseSystem, expected[k - 1][0]) << k;
    EXPECT_EQ(c.summary.Cases(k).nChallengerSystem, expected[k - 1][1]) << k;
    EXPECT_EQ(c.summary.Cases(k).nWinnerSystem, expected[k - 1][2]) << k;
  }
  EXPECT_DOUBLE_EQ(c.summary.Cases(1).dNPW, 10);
  EXPECT_DOUBLE_EQ(c.summary.Cases(2).dNPW, -5);
  EXPECT_DOUBLE_EQ(c.summary.Cases(2).dAddedFirstCost, 30);
  EXPECT_EQ(c.summary.nOverallWinner, 4);
}

TEST(EconChain, EqualCostsKeepTheBaseAndOneSystemComparesWithItself) {
  Chain equal;
  equal.LifeCycleCosts({50, 50, 50, 50});
  ASSERT_TRUE(econ::LifeCycleChain(4, 5, equal.s, equal.summary));
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(equal.summary.Cases(k).nWinnerSystem, 1);
  EXPECT_EQ(equal.summary.nOverallWinner, 1);

  Chain one;
  one.LifeCycleCosts({50});
  ASSERT_TRUE(econ::LifeCycleChain(1, 5, one.s, one.summary));
  EXPECT_EQ(one.summary.Cases(1).nBaseSystem, 1);
  EXPECT_EQ(one.summary.Cases(1).nChallengerSystem, 1);
  EXPECT_EQ(one.summary.Cases(1).dNPW, 0);
  EXPECT_EQ(one.summary.Cases(1).fIRR, -1);
  EXPECT_EQ(one.summary.Cases(2).nBaseSystem, 0) << "only one comparison";
}

}  // namespace
