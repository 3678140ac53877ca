// Transfer of a simulated bin into the month's results, the bin's completion and sums, and
// the month's place in the stored block.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "app/calc/frmWait.h"
#include "platform/plantengine/fake/fake_engine.h"
#include "platform/ui/ui.h"

namespace {

using grendax_fake::FakeChillerResult;
using grendax_fake::FakeCwPlant;
using grendax_fake::FakeRun;

class EconResults : public ::testing::Test {
 protected:
  void SetUp() override {
    wait.SetEngineFactory([this] {
      auto p = std::make_unique<FakeCwPlant>();
      fake = p.get();
      return p;
    });
    wait.CreatePlant();
    system.nNumChillers = 2;
    chillers.assign(2, ChillerData{});
    chillers[0].nType = 1;
    chillers[1].nType = 1;
    fake->NumChillers(2);
    fake->Chillers().BuildCollection(2);
    fake->PairedChillers().BuildCollection(2);
    fake->Chillers().Item(1).Capacity(7200);
    fake->Chillers().Item(2).Capacity(7200);
    weather.nNumBins = 3;
    weather.lMonthBinHours(4, 3) = 20;
    weather.fBinDB(3) = 85;
    load.fBinLoad(3) = 300;
  }

  // Runs the plant on bin 3 of April with one scripted result, then transfers it.
  void Run(FakeRun run, bool pumps = true, bool tower = true) {
    fake->QueueRun(std::move(run));
    fake->OutdoorDryBulb(85);
    fake->OutdoorWetBulb(70);
    fake->CoolingLoad(3600);
    fake->CalcPlant();
    ASSERT_TRUE(
        wait.TransferCoolingSimulationResultsToBrimlowStructure(3, 4, pumps, tower, chillers, system, weather, month));
  }

  ui::RecordingHost host;
  ui::ScopedHost scoped{host};
  frmWait wait;
  FakeCwPlant* fake = nullptr;
  SystemData system;
  std::vector<ChillerData> chillers;
  WeatherData weather;
  LoadProfileData load;
  EconomicsData eco;
  SimMonthResults month;
  SystemEconData econ;
};

FakeRun TwoChillerRun() {
  FakeRun run;
  run.PrimaryPumpKW = 20;
  run.SecondaryPumpKW = 10;
  run.CondPumpKW = 30;
  run.FanKW = 15;
  run.SupplyTemp = 44;
  run.Chillers = {FakeChillerResult{3600, 200, 0, 80}, FakeChillerResult{0.001, 5, 0, 79}};
  return run;
}

TEST_F(EconResults, TransferTakesRunningChillersAndIncludedEnergies) {
  Run(TwoChillerRun());
  EXPECT_EQ(month.fBinDB(3), 85);
  EXPECT_EQ(month.fBinWB(3), 70);
  EXPECT_EQ(month.fBinHours(3), 20);
  EXPECT_EQ(month.fBldgLoad(3), 3600);
  EXPECT_EQ(month.nChillersOn(3), 1);
  EXPECT_EQ(month.nLoadPct(3), 50);
  EXPECT_EQ(month.bChillerOn(1, 3), vb::kTrue);
  EXPECT_EQ(month.fChillerLoad(1, 3), 3600);
  EXPECT_EQ(month.fChillerPower(1, 3), 200);
  EXPECT_EQ(month.fChillerECT(1, 3), 80);
  EXPECT_EQ(month.fChillerLCHWT(1, 3), 44);
  // A load of 0.001 is off: nothing of it is kept.
  EXPECT_EQ(month.bChillerOn(2, 3), vb::kFalse);
  EXPECT_EQ(month.fChillerPower(2, 3), 0);
  EXPECT_EQ(month.fChillerECT(2, 3), 0);
  EXPECT_EQ(month.fTotalKW(3), 200);
  EXPECT_EQ(month.fPriChWPump(3), 20);
  EXPECT_EQ(month.fSecChWPump(3), 10);
  EXPECT_EQ(month.fCondPump(3), 30);
  EXPECT_EQ(month.fHeatRejFans(3), 15);
}

TEST_F(EconResults, ExcludedPumpAndTowerEnergyStayZero) {
  Run(TwoChillerRun(), false, false);
  EXPECT_EQ(month.fPriChWPump(3) + month.fSecChWPump(3) + month.fCondPump(3) + month.fHeatRejFans(3), 0);
  ASSERT_TRUE(frmWait::GatherResults(3, 4, 2, system, eco, weather, load, month, econ, 0));
  EXPECT_EQ(month.fTotalKW(3), 200);
}

TEST_F(EconResults, PairedPercentLoadDividesByBothMachines) {
  fake->Chillers().Item(1).Paired(true);
  fake->PairedChillers().Item(1).Capacity(4800);
  Run(TwoChillerRun());
  EXPECT_EQ(month.nLoadPct(3), 30);  // 3600 of 12000
}

TEST_F(EconResults, HeatInputGoesToGasOrSteamByChillerType) {
  struct Case {
    int16_t type, fuel;
    float gas, steam, genHeat;
  };
  const Case cases[] = {{6, 0, 0, 500, 500}, {7, 0, 0, 500, 500}, {8, 0, 500, 0, 500}, {9, 4, 500, 0, 0},
                        {9, 8, 0, 500, 0},   {9, 5, 0, 0, 0},     {1, 4, 0, 0, 0}};
  for (const Case& c : cases) {
    month = SimMonthResults{};
    chillers[0].nType = c.type;
    chillers[0].nFuelType = c.fuel;
    FakeRun run;
    run.Chillers = {FakeChillerResult{3600, 12, 500, 80}};
    Run(run);
    EXPECT_EQ(month.fGas(3), c.gas) << c.type << "/" << c.fuel;
    EXPECT_EQ(month.fSteam(3), c.steam) << c.type << "/" << c.fuel;
    EXPECT_EQ(month.fChillerGenHeat(1, 3), c.genHeat) << c.type << "/" << c.fuel;
    EXPECT_EQ(month.fChillerPower(1, 3), 12) << c.type;
  }
}

TEST_F(EconResults, GatherCompletesTheBinAndSumsIt) {
  eco.fGasFactor = 100;
  chillers[0].nType = 8;
  FakeRun run = TwoChillerRun();
  run.Chillers[0].GenHeat = 1000;
  Run(run);
  econ.dMonthPeakKW(4) = 250;  // an earlier bin's peak
  ASSERT_TRUE(frmWait::GatherResults(3, 4, 2, system, eco, weather, load, month, econ, 0));
  EXPECT_EQ(month.fTotalKW(3), 275);  // 200 + 20 + 10 + 30 + 15
  EXPECT_EQ(month.fTonHrs(3), 3600 * 20 / 12);
  EXPECT_EQ(month.fKWh(3), 275 * 20);
  EXPECT_EQ(month.fGas(3), 1000 * 20);
  EXPECT_DOUBLE_EQ(econ.dMonthKWh(4), 5500);
  EXPECT_DOUBLE_EQ(econ.dMonthPeakKW(4), 275);
  EXPECT_DOUBLE_EQ(econ.dMonthTonHours(4), 6000);
  EXPECT_DOUBLE_EQ(econ.dMonthChillerKWh(4), 4000);
  EXPECT_DOUBLE_EQ(econ.dMonthChwPumpKWh(4), 600);
  EXPECT_DOUBLE_EQ(econ.dMonthCwPumpKWh(4), 600);
  EXPECT_DOUBLE_EQ(econ.dMonthTowerKWh(4), 300);
  EXPECT_DOUBLE_EQ(econ.dMonthGasUse(4), 20000);
  EXPECT_DOUBLE_EQ(econ.dBinKWh(3), 5500);
  EXPECT_DOUBLE_EQ(econ.dBinGasUse(3), 200);  // in gas units
  EXPECT_EQ(econ.fBinWeather(3), 85);
  EXPECT_EQ(econ.fBinProfile(3), 300);

  // A second month with the factor at 0: the per-bin gas use is left as it was.
  eco.fGasFactor = 0;
  SimMonthResults second = month;
  second.fTotalKW(3) = 200;
  second.fGas(3) = 1000;
  ASSERT_TRUE(frmWait::GatherResults(3, 5, 2, system, eco, weather, load, second, econ, 0));
  EXPECT_DOUBLE_EQ(econ.dBinGasUse(3), 200);
  EXPECT_DOUBLE_EQ(econ.dMonthGasUse(5), 20000);
}

TEST_F(EconResults, ABinWithoutHoursSumsNothingButCanSetThePeak) {
  SimMonthResults m;
  m.fTotalKW(2) = 90;
  ASSERT_TRUE(frmWait::GatherResults(2, 1, 2, system, eco, weather, load, m, econ, 0));
  EXPECT_EQ(econ.dMonthKWh(1), 0);
  EXPECT_EQ(econ.dMonthPeakKW(1), 90);
}

TEST(EconBlock, FieldsSitAtTheirArraysAndComeBackWhole) {
  SimMonthResults r;
  r.fBinDB(1) = 95;
  r.fBinHours(5) = 31;
  r.nChillersOn(2) = 3;
  r.nLoadPct(24) = 87;
  r.fTotalKW(4) = 410.5f;
  r.fKWh(5) = 1234;
  r.fGas(6) = 55;
  r.fSteam(7) = 66;
  r.bChillerOn(30, 24) = vb::kTrue;
  r.fChillerLoad(2, 1) = 600;
  r.fChillerLCHWT(30, 24) = 44;
  r.fExtraPumpKW(24) = 1.5f;
  const SimMonthData block = PackSimMonth(r);
  EXPECT_EQ(block.Value(0, 1), 95);
  EXPECT_EQ(block.Value(SimMonthData::kBinHours, 5), 31);
  EXPECT_EQ(block.Value(SimMonthData::kTotalKW, 4), 410.5f);
  EXPECT_EQ(block.Value(SimMonthData::kKWh, 5), 1234);
  EXPECT_EQ(block.Value(SimMonthData::kFuel, 6), 55);
  EXPECT_EQ(block.Value(SimMonthData::kSteam, 7), 66);
  EXPECT_EQ(block.Value(30, 2), 600);     // fChillerLoad(2, 1): slot fastest
  EXPECT_EQ(block.Value(179, 24), 44);    // the last per-slot entry
  EXPECT_EQ(block.Value(191, 24), 1.5f);  // the last entry of the block
  // The Integers of array 5 and the flags of arrays 15..29, two bytes each.
  const auto* bytes = reinterpret_cast<const unsigned char*>(block.fValues.begin());
  int16_t v = 0;
  std::memcpy(&v, bytes + 5 * 96 + 2 * 1, 2);
  EXPECT_EQ(v, 3);
  std::memcpy(&v, bytes + 5 * 96 + 48 + 2 * 23, 2);
  EXPECT_EQ(v, 87);
  std::memcpy(&v, bytes + 15 * 96 + 2 * (29 + 30 * 23), 2);
  EXPECT_EQ(v, -1);
  EXPECT_EQ(UnpackSimMonth(block), r);
}

}  // namespace
