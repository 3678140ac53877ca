// Engine set-up against the recording fake engine: staging tables, reset, heat-rejection
// units with their minimum return temperature, design-range fallbacks and engine errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>

#include "app/calc/frmWait.h"
#include "app/calc/tests/calc_fixtures.h"
#include "app/storage/modDataIO.h"
#include "libs/tower/cClgTowers.h"
#include "platform/plantengine/fake/fake_engine.h"
#include "platform/ui/ui.h"

namespace {

class EngineSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int16_t id = 1; id <= 3; ++id) {
      ChillerData ch = calctest::Chiller600();
      ch.fMinECWT = 60.0f - 5 * (id == 2) + 5 * (id == 3);  // 60, 55, 65
      ASSERT_TRUE(modDataIO::bChillerWrite(id, ch));
    }
    ASSERT_TRUE(modDataIO::bTowerWrite(1, calctest::Tower600()));
    form.SetEngineFactory([this] {
      auto p = std::make_unique<grendax_fake::FakeCwPlant>();
      fake = p.get();
      return std::unique_ptr<cCwPlant>(std::move(p));
    });
    form.CreatePlant();
  }
  SystemData System(int n) {
    SystemData s = calctest::TwoChillerSystem();
    s.nNumChillers = static_cast<int16_t>(n);
    for (int i = 1; i <= n; ++i) {
      s.nChillerIDs(i) = static_cast<int16_t>(i);
      s.nTowerIDs(i) = 1;
    }
    return s;
  }
  bool Setup(SystemData s) { return form.bSimEngineSetup(s, chillers, towers, weather, first, last, table); }
  // Stages as sets of chillers.
  std::vector<std::set<int>> Stages() {
    std::vector<std::set<int>> stages;
    for (int s = 1; s <= fake->NumStages(); ++s) {
      std::set<int> members;
      for (int c = 1; c <= 30; ++c)
        if (fake->StageChiller(s, c) != 0) members.insert(c);
      stages.push_back(members);
    }
    return stages;
  }

  ui::RecordingHost host;
  ui::ScopedHost scoped{host};
  calctest::ScratchFolder scratch;
  frmWait form;
  grendax_fake::FakeCwPlant* fake = nullptr;
  std::vector<ChillerData> chillers;
  std::vector<TowerData> towers;
  std::vector<float> first, last;
  WeatherData weather = calctest::FiveBinWeather();
  frmWait::WellWaterTable table;
};

TEST_F(EngineSetupTest, StagingTables) {
  using Stage = std::set<int>;
  const struct {
    int control, n;
    bool slot1;
    std::vector<Stage> stages;
  } cases[] = {
      {1, 3, false, {{1}, {1, 2}, {1, 2, 3}}},
      {2, 3, false, {{3}, {1}, {1, 2}}},
      {3, 3, false, {{3}, {1}, {1, 2}, {1, 2, 3}}},
      {4, 3, false, {{1, 2, 3}, {1, 2, 3}, {1, 2, 3}}},
      {1, 1, false, {{1}}},  // one chiller: equal unloading
      {1, 1, true, {{1}}},   // slot-1 basis: part-load chiller control
      {1, 3, true, {{3}, {1}, {1, 2}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.control) + "/" + std::to_string(c.n) + (c.slot1 ? " slot 1" : ""));
    form.CreatePlant();
    SystemData s = System(c.n);
    s.nPlantControl = static_cast<int16_t>(c.control);
    s.bSlot1Basis = c.slot1 ? -1 : 0;
    ASSERT_TRUE(Setup(s));
    EXPECT_EQ(Stages(), c.stages);
  }
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(EngineSetupTest, TransferSeesTheRecordsPlantControl) {
  // One chiller stages as equal unloading, but its minimum flow follows the record's
  // control (sequenced, constant flow): half the design flow, not all of it.
  SystemData s = System(1);
  s.nPlantControl = 1;
  ASSERT_TRUE(Setup(s));
  EXPECT_DOUBLE_EQ(fake->Chillers().Item(1).MinChwFlow(), 1440 * 0.5);
  form.CreatePlant();
  s.nPlantControl = 4;
  ASSERT_TRUE(Setup(s));
  EXPECT_DOUBLE_EQ(fake->Chillers().Item(1).MinChwFlow(), 1440);
}

TEST_F(EngineSetupTest, ResetSlopeAndIntercept) {
  SystemData s = System(2);
  s.nLCHWTResetMode = 2;
  s.fResetLCHWT = 50;
  s.fResetPointA = 60;
  s.fResetPointB = 80;
  ASSERT_TRUE(Setup(s));
  EXPECT_DOUBLE_EQ(fake->ResetSlope(), (50.0 - 44) / (60 - 80));
  EXPECT_DOUBLE_EQ(fake->ResetIntercept(), 44 - fake->ResetSlope() * 80);
  form.CreatePlant();
  s.fResetPointA = 80;  // equal points
  ASSERT_TRUE(Setup(s));
  EXPECT_DOUBLE_EQ(fake->ResetSlope(), 0);
  EXPECT_DOUBLE_EQ(fake->ResetIntercept(), 44);
}

TEST_F(EngineSetupTest, TowerMinimumReturnIsTheLowestWaterCooledMinimum) {
  ASSERT_TRUE(Setup(System(3)));
  for (int u = 1; u <= 3; ++u) EXPECT_DOUBLE_EQ(fake->ClgTowers().Item(u)->MinRetWaterTemp(), 55) << u;

  // An air-cooled chiller reports 0 and is left out.
  ChillerData air = calctest::Chiller600();
  air.nType = 10;
  ASSERT_TRUE(modDataIO::bChillerWrite(2, air));
  form.CreatePlant();
  ASSERT_TRUE(Setup(System(3)));
  EXPECT_DOUBLE_EQ(fake->ClgTowers().Item(1)->MinRetWaterTemp(), 60);
}

TEST_F(EngineSetupTest, SharedAndOwnUnitsSizeTheFanOnTheirHeat) {
  const double heat = (0.57 * 0.28433 + 1) * 7200;  // one chiller's design heat rejection
  ASSERT_TRUE(Setup(System(2)));
  EXPECT_NEAR(fake->ClgTowers().Item(1)->DesignFanKW(), 0.04f * heat / 12, 1e-4);
  EXPECT_EQ(fake->CondenserPumps().Count(), 2);
  EXPECT_NEAR(fake->CondenserPumps().Item(1).PumpEfficiency(), 70.0 / 90, 1e-7);
  EXPECT_NEAR(fake->CondDesignRange(), 2 * heat / (0.49969584 * 3600), 1e-6);

  form.CreatePlant();
  SystemData s = System(2);
  s.nSingleTower = 1;
  ASSERT_TRUE(Setup(s));
  EXPECT_EQ(fake->ClgTowers().Count(), 1);
  EXPECT_TRUE(fake->SharedTower());
  EXPECT_NEAR(fake->ClgTowers().Item(1)->DesignFanKW(), 0.04f * 2 * heat / 12, 1e-4);
}

TEST_F(EngineSetupTest, DesignRangesFallBackWithoutFlow) {
  TowerData tw = calctest::Tower600();
  tw.fCondWaterFlow = 0;
  ASSERT_TRUE(modDataIO::bTowerWrite(1, tw));
  ChillerData ch = calctest::Chiller600();
  ch.fEvapWaterFlow = 0;
  ASSERT_TRUE(modDataIO::bChillerWrite(1, ch));
  ASSERT_TRUE(Setup(System(1)));
  EXPECT_DOUBLE_EQ(fake->CondDesignRange(), 10.0);
  EXPECT_DOUBLE_EQ(fake->ChwDesignRange(), 10.0);
  EXPECT_DOUBLE_EQ(fake->DesignReturnTemp(), 44 + 10.0);
}

TEST_F(EngineSetupTest, TowerErrorAtTheSecondUnitStopsTheSetUp) {
  TowerData bad = calctest::Tower600();
  bad.fDesignRange = 0;  // the design factors divide by the range
  ASSERT_TRUE(modDataIO::bTowerWrite(2, bad));
  SystemData s = System(3);
  s.nTowerIDs(2) = 2;
  EXPECT_FALSE(Setup(s));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("Library: PYLORN\r\nClass: cClgTower\r\nMethod: "), std::string::npos);
  EXPECT_EQ(fake->CountOf("CondenserPumps(1).Calculate()"), 1);
  EXPECT_EQ(fake->CountOf("CondenserPumps(2).Calculate()"), 0);
  EXPECT_EQ(fake->CountOf("plant.PrimaryPumps.BuildCollection(3)"), 0);
}

TEST_F(EngineSetupTest, UnreadablePairedChillerFailsTheSetUp) {
  SystemData s = System(1);
  s.nChillerIDs2(1) = 9;  // not in the library
  EXPECT_FALSE(Setup(s));
  EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(EngineSetupTest, PairSharingOneUnitSizesItOnBothMachines) {
  const double heat = (0.57 * 0.28433 + 1) * 7200;
  SystemData s = System(1);
  s.nChillerIDs2(1) = 2;
  ASSERT_TRUE(Setup(s));
  EXPECT_TRUE(fake->Chillers().Item(1).Paired());
  EXPECT_NEAR(fake->ClgTowers().Item(1)->DesignFanKW(), 0.04f * 2 * heat / 12, 1e-4);
  EXPECT_DOUBLE_EQ(fake->ClgTowers().Item(1)->MinRetWaterTemp(), 60);  // the larger of the pair (60, 55)
}

}  // namespace
