// Pumps: sizing, constant and variable flow in a run.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/plantengine/grendax.h"
#include "platform/plantengine/tests/plant_builder.h"
#include "platform/plantengine/tests/test_plants.h"

namespace {

using namespace plant_builder;
using test_plants::Plant;

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
  auto p = Plant(s);
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
  auto p = Plant(s);
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
  auto p = Plant(s);
  const double design = DesignKW(2880, 40, 0.8, 0.9);
  RunBin(*p, 80, 68, 0.75 * 14400);
  EXPECT_NEAR(p->PrimaryPumpKW(), design * std::pow(0.75, 3), 1e-9);
  RunBin(*p, 80, 68, 0);
  EXPECT_EQ(p->PrimaryPumpKW(), 0);
  EXPECT_EQ(p->SecondaryPumpKW(), 0);
}

struct CirculationCase {
  int evapFlowControl, economizerMode;
  double wetBulb, load;
  int chillersOn;
  double primaryKW, systemKW;
};

class Circulation : public testing::TestWithParam<CirculationCase> {};

// Chilled water keeps circulating while the exchanger runs: with constant primary pumps it
// takes their whole design flow, so they all run, with or without chillers; a system pump
// follows the load (here at its 50 % minimum).
TEST_P(Circulation, ChilledWaterPumpsRunWhileTheExchangerRuns) {
  const CirculationCase& k = GetParam();
  PlantSpec s;
  s.evapFlowControl = k.evapFlowControl;
  auto p = Plant(s);
  p->EconomizerMode(k.economizerMode);
  p->EconomizerValue(3);
  RunBin(*p, k.wetBulb + 8, k.wetBulb, k.load);
  ASSERT_TRUE(p->FreeCoolingOn());
  EXPECT_EQ(p->ChillersOn(), k.chillersOn);
  EXPECT_NEAR(p->PrimaryPumpKW(), k.primaryKW, 1e-9);
  EXPECT_NEAR(p->SecondaryPumpKW(), k.systemKW, 1e-9);
}

const double kPrimaryKW = DesignKW(1440, 40, 0.8, 0.9);
const double kSystemMinKW = DesignKW(2880, 60, 0.8, 0.9) * 0.125;

INSTANTIATE_TEST_SUITE_P(Controls, Circulation,
                         testing::Values(CirculationCase{1, 2, 28, 5760, 0, 2 * kPrimaryKW, 0},
                                         CirculationCase{1, 3, 28, 5760, 0, 2 * kPrimaryKW, 0},
                                         CirculationCase{1, 3, 30, 11520, 1, 2 * kPrimaryKW, 0},
                                         CirculationCase{3, 2, 28, 5760, 0, 0, kSystemMinKW},
                                         CirculationCase{2, 3, 28, 5760, 0, 0, kSystemMinKW}));

TEST(Pumps, ZeroHeadPumpsDrawNothing) {
  PlantSpec s;
  auto p = Plant(s);
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
  auto constant = Plant(s);
  s.condPumpControl = 1;
  auto variable = Plant(s);
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
