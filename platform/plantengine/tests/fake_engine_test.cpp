// The scriptable fake engine: recording, read-back, scripted runs and errors.
#include "platform/plantengine/fake/fake_engine.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <vector>

namespace grendax_fake {
namespace {

struct Event {
  long number;
  std::string description, library, className, method;
};

grendax::ErrorListener Into(std::vector<Event>& events) {
  return [&events](long n, const std::string& d, const std::string& l, const std::string& c, const std::string& m) {
    events.push_back({n, d, l, c, m});
  };
}

TEST(FakeEngine, RecordsLetsAndCallsInOrder) {
  FakeCwPlant p;
  p.NumChillers(2);
  p.WaterHeatFactor(0.49969584);
  p.SharedTower(true);
  p.StageChiller(2, 1, 1.0);
  p.Chillers().BuildCollection(2);
  p.Chillers().Item(2).Capacity(7200);
  p.Chillers().Item(1).MapCapacity(3, 5, 1234.5);
  p.PairedChillers().BuildCollection(2);
  p.PairedChillers().Item(1).Paired(true);
  p.CondenserPumps().BuildCollection(1);
  p.CondenserPumps().Item(1).Flow(1800);
  p.CondenserPumps().Item(1).Calculate();
  p.SystemPump().Head(60);
  p.HeatRejectionMode(1, 2);
  p.CoolingLoad(600);
  p.CalcPlant();
  const std::vector<std::string> want = {
      "plant.NumChillers=2",
      "plant.WaterHeatFactor=0.49969584",
      "plant.SharedTower=True",
      "plant.StageChiller(2,1)=1",
      "plant.Chillers.BuildCollection(2)",
      "Chillers(2).Capacity=7200",
      "Chillers(1).MapCapacity(3,5)=1234.5",
      "plant.PairedChillers.BuildCollection(2)",
      "PairedChillers(1).Paired=True",
      "plant.CondenserPumps.BuildCollection(1)",
      "CondenserPumps(1).Flow=1800",
      "CondenserPumps(1).Calculate()",
      "SystemPump.Head=60",
      "plant.HeatRejectionMode(1)=2",
      "plant.CoolingLoad=600",
      "plant.CalcPlant()",
  };
  EXPECT_EQ(p.Calls(), want);
  EXPECT_EQ(p.CountOf("plant.NumChillers"), 1);
  EXPECT_EQ(p.CountOf("plant.CalcPlant()"), 1);
}

TEST(FakeEngine, ValuesReadBackAsLetAndUnsetEntriesAreZero) {
  FakeCwPlant p;
  p.NumChillers(3);
  p.ResetSlope(-0.25);
  p.StageChiller(1, 3, 1.0);
  p.Chillers().BuildCollection(1);
  p.Chillers().Item(1).DesignChwFlow(1440.5);
  EXPECT_EQ(p.NumChillers(), 3);
  EXPECT_EQ(p.ResetSlope(), -0.25);
  EXPECT_EQ(p.StageChiller(1, 3), 1.0);
  EXPECT_EQ(p.StageChiller(1, 2), 0.0);
  EXPECT_EQ(p.HeatRejectionMode(30), 0);
  EXPECT_EQ(p.Chillers().Item(1).DesignChwFlow(), 1440.5);
  EXPECT_EQ(p.Chillers().Count(), 1);
  EXPECT_THROW(p.Chillers().Item(2), std::out_of_range);
  EXPECT_THROW(p.StageChiller(0, 1, 1.0), std::out_of_range);
}

TEST(FakeEngine, ScriptedRunsGiveTheirResultsInOrder) {
  FakeCwPlant p;
  p.DesignLCHWT(44);
  p.Chillers().BuildCollection(2);
  p.PairedChillers().BuildCollection(2);
  FakeRun first;
  first.LoadNotMet = 12.5;
  first.ECWT = 71.25;
  first.FreeCoolingOn = true;
  first.FreeCoolingLoad = 300;
  first.Chillers = {{3000, 180, 0, 71.25, 150, 2}, {0.0005, 0, 0, 0, 0, 0}};
  first.PairedChillers = {{1000, 60, 0, 71.25, 0, 0}};
  p.QueueRun(first);
  FakeRun second;
  second.ChillersOn = 2;
  second.SupplyTemp = 46;
  p.QueueRun(second);

  p.OutdoorDryBulb(80);
  p.OutdoorWetBulb(67);
  p.CoolingLoad(4000);
  p.CalcPlant();
  EXPECT_EQ(p.LoadNotMet(), 12.5);
  EXPECT_EQ(p.ECWT(), 71.25);
  EXPECT_TRUE(p.FreeCoolingOn());
  EXPECT_EQ(p.FreeCoolingLoad(), 300);
  EXPECT_EQ(p.ChillersOn(), 1);  // item 2's load is below 0.001
  EXPECT_EQ(p.BuildingLoad(), 4000);
  EXPECT_EQ(p.BinDryBulb(), 80);
  EXPECT_EQ(p.BinWetBulb(), 67);
  EXPECT_EQ(p.SupplyTemp(), 44);
  EXPECT_EQ(p.Chillers().Item(1).Power(), 180);
  EXPECT_EQ(p.Chillers().Item(1).FreeCoolingPower(), 2);
  EXPECT_EQ(p.PairedChillers().Item(1).Load(), 1000);
  EXPECT_EQ(p.PairedChillers().Item(2).Load(), 0);

  p.CoolingLoad(100);
  p.CalcPlant();
  EXPECT_EQ(p.LoadNotMet(), 0);
  EXPECT_EQ(p.ChillersOn(), 2);
  EXPECT_EQ(p.SupplyTemp(), 46);
  EXPECT_EQ(p.Chillers().Item(1).Load(), 0);  // the earlier run's results are gone

  // Past the queue and without a script: zero results.
  p.CalcPlant();
  EXPECT_EQ(p.ECWT(), 0);
  EXPECT_EQ(p.CalcPlantCount(), 3);
}

TEST(FakeEngine, ScriptSeesTheInputsOfEachRun) {
  FakeCwPlant p;
  p.SetScript([](const FakeInputs& in) {
    FakeRun r;
    r.LoadNotMet = in.CoolingLoad > 1000 ? in.CoolingLoad - 1000 : 0;
    r.ECWT = in.WellWaterTemp[3];
    return r;
  });
  p.WellWaterTemp(3, 58);
  p.CoolingLoad(1500);
  p.CalcPlant();
  EXPECT_EQ(p.LoadNotMet(), 500);
  EXPECT_EQ(p.ECWT(), 58);
  p.CoolingLoad(800);
  p.CalcPlant();
  EXPECT_EQ(p.LoadNotMet(), 0);
  ASSERT_EQ(p.RunInputs().size(), 2u);
  EXPECT_EQ(p.RunInputs()[0].CoolingLoad, 1500);
  EXPECT_EQ(p.RunInputs()[1].call, 2);
}

TEST(FakeEngine, ScriptedErrorsReachTheRightListener) {
  FakeCwPlant p;
  std::vector<Event> plantEvents, pumpEvents;
  p.SetOnError(Into(plantEvents));
  p.PrimaryPumps().BuildCollection(2);
  p.PrimaryPumps().Item(2).SetOnError(Into(pumpEvents));

  FakeError pumpError;
  pumpError.number = 11;
  pumpError.method = "Calculate";
  p.RaiseErrorAt("PrimaryPumps(2).Calculate()", 2, pumpError);
  p.RaiseErrorAt("plant.CoolingLoad", 1, FakeError{});
  FakeRun failing;
  failing.Error = FakeError{1001, "no convergence"};
  p.QueueRun(FakeRun{});
  p.QueueRun(failing);

  p.PrimaryPumps().Item(2).Flow(100);
  p.PrimaryPumps().Item(2).Head(40);
  p.PrimaryPumps().Item(2).PumpEfficiency(0.8);
  p.PrimaryPumps().Item(2).MotorEfficiency(0.9);
  p.PrimaryPumps().Item(2).Calculate();
  EXPECT_TRUE(pumpEvents.empty());
  p.PrimaryPumps().Item(2).Calculate();
  ASSERT_EQ(pumpEvents.size(), 1u);
  EXPECT_EQ(std::tie(pumpEvents[0].number, pumpEvents[0].className, pumpEvents[0].method),
            std::make_tuple(11L, std::string("cPump"), std::string("Calculate")));

  p.CoolingLoad(10);
  ASSERT_EQ(plantEvents.size(), 1u);
  p.CalcPlant();
  EXPECT_EQ(plantEvents.size(), 1u);
  p.CalcPlant();
  ASSERT_EQ(plantEvents.size(), 2u);
  EXPECT_EQ(plantEvents[1].number, 1001);
  EXPECT_EQ(plantEvents[1].library, "GRENDAX");
  EXPECT_EQ(plantEvents[1].method, "CalcPlant");
}

TEST(FakeEngine, PumpCalculateSizesThePump) {
  FakeCwPlant p;
  cPump& pump = p.SystemPump();
  pump.Flow(1000);
  pump.Head(39.6);
  pump.PumpEfficiency(0.746);
  pump.MotorEfficiency(0.5);
  pump.Calculate();
  EXPECT_NEAR(pump.Power(), 1000 * 39.6 / (3960 * 0.746) * 0.746 / 0.5, 1e-12);
}

TEST(FakeEngine, HasCondenserSideFollowsTheChillersUnlessScripted) {
  FakeCwPlant p;
  p.Chillers().BuildCollection(1);
  EXPECT_FALSE(p.HasCondenserSide());
  p.Chillers().Item(1).CondenserType(2);
  EXPECT_TRUE(p.HasCondenserSide());
  p.ScriptHasCondenserSide(false);
  EXPECT_FALSE(p.HasCondenserSide());
}

}  // namespace
}  // namespace grendax_fake
