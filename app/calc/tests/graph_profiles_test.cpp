// Graph profiles: one point per bin, a framed pair of points at a staging change found by
// the engine between two bins, and the sound behaviour at the edges (no chiller, equal dry
// bulbs, ascending bins, more points than the layout holds).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "app/calc/frmWait.h"
#include "platform/plantengine/fake/fake_engine.h"
#include "platform/ui/ui.h"

namespace {

struct BinSpec {
  float db, wb, load;
  bool on1, on2;
};

class GraphProfilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.SetEngineFactory([this] {
      auto p = std::make_unique<grendax_fake::FakeCwPlant>();
      fake = p.get();
      return std::unique_ptr<cCwPlant>(std::move(p));
    });
    form.CreatePlant();
    fake->NumChillers(2);
    fake->Chillers().BuildCollection(2);
    fake->PairedChillers().BuildCollection(2);
    for (int j = 1; j <= 2; ++j) fake->Chillers().Item(j).Capacity(7200);
  }
  // Chiller 2 runs above `threshold` tons; the load splits evenly over the running ones.
  void StageAbove(double threshold) {
    fake->SetScript([threshold](const grendax_fake::FakeInputs& in) {
      grendax_fake::FakeRun run;
      const bool both = in.CoolingLoad > threshold * 12;
      run.Chillers.resize(2);
      run.Chillers[0].Load = both ? in.CoolingLoad / 2 : in.CoolingLoad;
      run.Chillers[0].ECWT = 70;
      if (both) {
        run.Chillers[1].Load = in.CoolingLoad / 2;
        run.Chillers[1].ECWT = 71;
      }
      return run;
    });
  }
  void Bins(const std::vector<BinSpec>& bins) {
    profile->nNumChillerResults = 2;
    profile->nLastLoadBin = static_cast<int16_t>(bins.size());
    float largest = 0;
    for (const auto& b : bins) largest = std::max(largest, b.load);
    for (std::size_t i = 0; i < bins.size(); ++i) {
      const int b = static_cast<int>(i) + 1;
      PLVBinData& bin = profile->Bins(b);
      bin.fDB = bins[i].db;
      bin.fMCWB = bins[i].wb;
      bin.fLoad = bins[i].load;
      bin.fLoadPercent = bins[i].load * 100 / largest;
      const int running = bins[i].on1 + bins[i].on2;
      for (int j = 1; j <= 2; ++j) {
        const bool on = j == 1 ? bins[i].on1 : bins[i].on2;
        ChillerResultData& r = profile->ChillerResults(j);
        r.bBinOn(b) = on ? -1 : 0;
        r.fBinLoadPercent(b) = on ? bins[i].load / running / 6 : 0;
        r.fBinECWT(b) = on ? 70.0f + j : 0;
      }
    }
  }
  bool Run() {
    bool ok = false;
    form.bCalcGraphProfiles(*profile, table, ok);
    return ok;
  }
  const ChillerResultData& R(int j) { return profile->ChillerResults(j); }

  ui::RecordingHost host;
  ui::ScopedHost scoped{host};
  frmWait form;
  grendax_fake::FakeCwPlant* fake = nullptr;
  std::unique_ptr<PLVProfileData> profile = std::make_unique<PLVProfileData>();
  frmWait::WellWaterTable table;
};

TEST_F(GraphProfilesTest, SameStagingGivesOnePointPerBin) {
  StageAbove(600);
  Bins({{90, 74, 900, true, true}, {80, 70, 700, true, true}, {70, 65, 500, true, false}});
  ASSERT_TRUE(Run());
  EXPECT_FLOAT_EQ(R(1).fProfileBuildingPct(1), 100);
  EXPECT_NEAR(R(1).fProfileBuildingPct(2), 700.0 / 9, 1e-4);
  EXPECT_FALSE(R(1).bProfileStaging(2));
}

TEST_F(GraphProfilesTest, StagingChangeAddsAFramedPairThenTheBinPoint) {
  StageAbove(600);
  Bins({{90, 74, 900, true, true}, {70, 65, 400, true, false}});
  ASSERT_TRUE(Run());
  // The search steps 0.5 F downward from 90 F; at 78 F the load (600 tons) needs one chiller.
  const float building = 600.0f * 100 / 900;
  EXPECT_TRUE(R(1).bProfileStaging(2));
  EXPECT_TRUE(R(2).bProfileStaging(2));
  EXPECT_NEAR(R(1).fProfileBuildingPct(2), building, 1e-3);
  EXPECT_NEAR(R(2).fProfileBuildingPct(2), building, 1e-3);
  EXPECT_NEAR(R(1).fProfileLoadPct(2), 612.5 / 2 / 6, 1e-3);  // held from the step before (78.5 F)
  EXPECT_TRUE(R(1).bProfileStaging(3));
  EXPECT_NEAR(R(1).fProfileBuildingPct(3), building, 1e-3);
  EXPECT_NEAR(R(1).fProfileLoadPct(3), 100, 1e-3);  // one chiller carries 600 tons
  EXPECT_FALSE(R(2).bProfileStaging(3));            // chiller 2 is off after the change
  EXPECT_FLOAT_EQ(R(2).fProfileBuildingPct(3), 0);
  EXPECT_FALSE(R(1).bProfileStaging(4));  // bin 2's own point
  EXPECT_NEAR(R(1).fProfileBuildingPct(4), 400.0 / 9, 1e-4);
  EXPECT_EQ(fake->CalcPlantCount(), 24);
}

TEST_F(GraphProfilesTest, NoRunningChillerGivesNoPoints) {
  Bins({{90, 74, 900, false, false}, {70, 65, 400, false, false}});
  ASSERT_TRUE(Run());
  EXPECT_FLOAT_EQ(R(1).fProfileBuildingPct(1), 0);
  EXPECT_EQ(fake->CalcPlantCount(), 0);
}

TEST_F(GraphProfilesTest, EqualDryBulbsSkipTheSearch) {
  StageAbove(600);
  Bins({{80, 70, 900, true, true}, {80, 70, 400, true, false}});
  ASSERT_TRUE(Run());
  EXPECT_EQ(fake->CalcPlantCount(), 0);
  EXPECT_NEAR(R(1).fProfileBuildingPct(2), 400.0 / 9, 1e-4);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(GraphProfilesTest, AscendingBinsAreSearchedTowardTheNextBin) {
  StageAbove(600);
  Bins({{70, 65, 400, true, false}, {90, 74, 900, true, true}});
  ASSERT_TRUE(Run());
  ASSERT_GT(fake->CalcPlantCount(), 0);
  for (const auto& in : fake->RunInputs()) {
    EXPECT_GT(in.OutdoorDryBulb, 70);
    EXPECT_LT(in.OutdoorDryBulb, 90);
  }
  EXPECT_TRUE(R(1).bProfileStaging(2));
  EXPECT_TRUE(R(2).bProfileStaging(3));  // chiller 2 starts at the change
}

TEST_F(GraphProfilesTest, MoreThanFiftyPointsStopAtFifty) {
  // 24 bins whose running sets alternate: every pair of bins holds a staging change.
  fake->SetScript([](const grendax_fake::FakeInputs& in) {
    grendax_fake::FakeRun run;
    run.Chillers.resize(2);
    const bool both = in.OutdoorDryBulb - std::floor(in.OutdoorDryBulb) < 0.5;
    run.Chillers[0].Load = in.CoolingLoad / (both ? 2 : 1);
    if (both) run.Chillers[1].Load = in.CoolingLoad / 2;
    return run;
  });
  std::vector<BinSpec> bins;
  for (int b = 1; b <= 24; ++b) bins.push_back({100.0f - b, 70, 500.0f + b, true, b % 2 == 0});
  Bins(bins);
  ASSERT_TRUE(Run());
  EXPECT_GT(R(1).fProfileBuildingPct(50), 0);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(GraphProfilesTest, UnmetLoadDuringTheSearchEndsWithTheBinsSoFar) {
  fake->SetScript([](const grendax_fake::FakeInputs& in) {
    grendax_fake::FakeRun run;
    run.Chillers.resize(2);
    run.Chillers[0].Load = in.CoolingLoad;
    run.LoadNotMet = 1;
    return run;
  });
  Bins({{90, 74, 900, true, true}, {80, 70, 700, true, true}, {70, 65, 400, true, false}});
  ASSERT_TRUE(Run());
  EXPECT_EQ(fake->CalcPlantCount(), 1);                       // the first sub-step between bins 2 and 3
  EXPECT_NEAR(R(1).fProfileBuildingPct(2), 700.0 / 9, 1e-4);  // bin 2 kept
  EXPECT_FLOAT_EQ(R(1).fProfileBuildingPct(3), 0);            // nothing after it
  EXPECT_FLOAT_EQ(R(1).fProfileBuildingPct(4), 0);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(GraphProfilesTest, EngineErrorDuringTheSearchFails) {
  StageAbove(600);
  fake->RaiseErrorAt("plant.CalcPlant()", 1, grendax_fake::FakeError{});
  Bins({{90, 74, 900, true, true}, {70, 65, 400, true, false}});
  EXPECT_FALSE(Run());
  EXPECT_EQ(host.messages.size(), 1u);
}

}  // namespace
