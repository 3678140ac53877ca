// Pumps: sizing, constant and variable flow in a run.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/plantengine/grendax.h"
#include "platform/plantengine/tests/plant_builder.h"

namespace {

using namespace plant_builder;

double DesignKW(double gpm, double ft, double pumpEff, double motorEff) {
  return gpm * ft / (3960 * pumpEff) * 0.746 / motorEff;
}

TEST(Pumps, CalculateUsesTheWaterHorsepowerRelation) {
  auto p = CreateCwPlant();
  p->PrimaryPumps().BuildCollection(1);
  cPump& pump = p->PrimaryPumps().Item(1);
  pump.Flow(1440);
  pump.Head(40);
  pump.PumpEfficiency(0.8);
  pump.MotorEfficiency(0.9);
  pump.Power(0);
  pump.Calculate();
  EXPECT_DOUBLE_EQ(pump.Power(), DesignKW(1440, 40, 0.8, 0.9));
  EXPECT_EQ(pump.Flow(), 1440);
}

TEST(Pumps, CalculateWithoutEfficiencyRaisesThePumpsError) {
  auto p = CreateCwPlant();
  cPump& pump = p->SystemPump();
  std::vector<std::string> methods;
  pump.SetOnError([&methods](long n, const std::string&, const std::string& lib, const std::string& cls,
                             const std::string& m) { methods.push_back(lib + "." + cls + "." + m); });
  pump.Flow(100);
  pump.Head(50);
  pump.MotorEfficiency(0.9);
  pump.Calculate();
  EXPECT_EQ(methods, std::vector<std::string>{"GRENDAX.cPump.Calculate"});
  EXPECT_EQ(pump.Power(), 0);
}

TEST(Pumps, ConstantPrimaryPumpsRunWithTheirChillers) {
  PlantSpec s;  // flow control 1: a constant-flow primary pump per chiller
  auto p = MakePlant(s);
  const double one = DesignKW(1440, 40, 0.8, 0.9);
  RunBin(*p, 80, 68, 3000);
  EXPECT_DOUBLE_EQ(p->PrimaryPumpKW(), one);
  EXPECT_EQ(p->SecondaryPumpKW(), 0);
  RunBin(*p, 80, 68, 12000);
  EXPECT_DOUBLE_EQ(p->PrimaryPumpKW(), 2 * one);
}

TEST(Pumps, VariableSystemPumpFollowsTheAffinityLaw) {
  PlantSpec s;
  s.evapFlowControl = 3;  // constant primary pumps plus a variable system pump
  auto p = MakePlant(s);
  const double design = DesignKW(2880, 60, 0.8, 0.9);
  // 75 % of the design load: the flow follows the load at the design range.
  RunBin(*p, 80, 68, 0.75 * 14400);
  EXPECT_NEAR(p->SecondaryPumpKW(), design * std::pow(0.75, 3), 1e-9);
  // Below the minimum flow (50 %) the pump stays at the minimum.
  RunBin(*p, 80, 68, 0.2 * 14400);
  EXPECT_NEAR(p->SecondaryPumpKW(), design * std::pow(0.5, 3), 1e-9);
  // A control value holds part of the head: kW = P r (c + (1 - c) r^2).
  p->SystemPump().ControlValue(0.4);
  RunBin(*p, 80, 68, 0.75 * 14400);
  EXPECT_NEAR(p->SecondaryPumpKW(), design * 0.75 * (0.4 + 0.6 * 0.75 * 0.75), 1e-9);
}

TEST(Pumps, VariablePrimaryPumpRunsWhenAnyChillerRuns) {
  PlantSpec s;
  s.evapFlowControl = 2;
  auto p = MakePlant(s);
  const double design = DesignKW(2880, 40, 0.8, 0.9);
  RunBin(*p, 80, 68, 0.75 * 14400);
  EXPECT_NEAR(p->PrimaryPumpKW(), design * std::pow(0.75, 3), 1e-9);
  RunBin(*p, 80, 68, 0);
  EXPECT_EQ(p->PrimaryPumpKW(), 0);
  EXPECT_EQ(p->SecondaryPumpKW(), 0);
}

TEST(Pumps, ZeroHeadPumpsDrawNothing) {
  PlantSpec s;
  auto p = MakePlant(s);
  for (int k = 1; k <= 2; ++k) {
    cPump& pump = p->PrimaryPumps().Item(k);
    pump.Head(0);
    pump.Power(0);
    pump.Calculate();
  }
  RunBin(*p, 80, 68, 12000);
  EXPECT_EQ(p->PrimaryPumpKW(), 0);
}

TEST(Pumps, CondenserPumpsConstantOrFollowingTheHeat) {
  PlantSpec s;
  auto constant = MakePlant(s);
  s.condPumpControl = 1;
  auto variable = MakePlant(s);
  const double design = DesignKW(1800, 60, 0.8, 0.9);
  RunBin(*constant, 80, 68, 3000);
  RunBin(*variable, 80, 68, 3000);
  EXPECT_DOUBLE_EQ(constant->CondPumpKW(), design);
  // Variable flow: the heat at the design range needs less than half the flow, so the pump
  // runs at its 50 % minimum.
  EXPECT_NEAR(variable->CondPumpKW(), design * 0.125, 1e-9);
  EXPECT_DOUBLE_EQ(variable->ClgTowers().Item(1)->WaterFlowRatio(), 0.5);
  RunBin(*variable, 80, 68, 12000);
  double kw = 0;
  for (int u = 1; u <= 2; ++u) {
    const double ratio = variable->ClgTowers().Item(u)->WaterFlowRatio();
    EXPECT_GT(ratio, 0.5);
    EXPECT_LE(ratio, 1.0);
    kw += design * ratio * ratio * ratio;
  }
  EXPECT_NEAR(variable->CondPumpKW(), kw, 1e-9);
}

}  // namespace
