// Chiller map preparation (sort, scale, fill) and the transfer of a chiller record into an
// engine chiller.
#include <gtest/gtest.h>

#include <memory>

#include "app/calc/frmWait.h"
#include "app/calc/modCalcs.h"
#include "app/calc/tests/calc_fixtures.h"
#include "platform/plantengine/fake/fake_engine.h"
#include "platform/ui/ui.h"

namespace {

// A map with totals given (no per-ton scaling) over the ECWTs and capacity rows given.
ChillerData Map(std::vector<float> ecwt, std::vector<std::vector<float>> capRows,
                std::vector<std::vector<float>> inputRows = {}) {
  ChillerData ch;
  ch.sName = "Test";
  ch.nType = 1;
  ch.nFLPowerType = 1;
  ch.nNumECWTPoints = static_cast<int16_t>(ecwt.size());
  ch.nNumLoadPoints = static_cast<int16_t>(capRows.size());
  for (std::size_t c = 0; c < ecwt.size(); ++c) ch.fECWTPoints(c + 1) = ecwt[c];
  for (std::size_t r = 0; r < capRows.size(); ++r)
    for (std::size_t c = 0; c < ecwt.size(); ++c) {
      ch.fCapacityMap(c + 1, r + 1) = capRows[r][c];
      ch.fPowerMap(c + 1, r + 1) = inputRows.empty() ? 1.0f : inputRows[r][c];
    }
  return ch;
}

std::vector<float> CapRow(const ChillerData& ch, int r) {
  std::vector<float> v;
  for (int c = 1; c <= ch.nNumECWTPoints; ++c) v.push_back(ch.fCapacityMap(c, r));
  return v;
}

class ChillerMapTest : public ::testing::Test {
 protected:
  ui::RecordingHost host;
  ui::ScopedHost scoped{host};
};

TEST_F(ChillerMapTest, Interpolate) {
  float y = 0;
  ASSERT_TRUE(modCalcs::bInterpolate(10, 20, 15, 100, 200, y));
  EXPECT_FLOAT_EQ(y, 150);
  ASSERT_TRUE(modCalcs::bInterpolate(10, 20, 30, 100, 200, y));  // extrapolation
  EXPECT_FLOAT_EQ(y, 300);
  ASSERT_TRUE(modCalcs::bInterpolate(80, 80.00005f, 70, 100, 110, y));  // closer than 0.0001
  EXPECT_FLOAT_EQ(y, 100);
  // The single-precision 0.0001 lies just below 0.0001: still "closer than".
  ASSERT_TRUE(modCalcs::bInterpolate(0.0001f, 0, 1, 100, 110, y));
  EXPECT_FLOAT_EQ(y, 100);
  ASSERT_TRUE(modCalcs::bInterpolate(0.00011f, 0, 0.000055f, 100, 110, y));  // far enough apart
  EXPECT_NEAR(y, 105, 1e-3);
}

TEST_F(ChillerMapTest, FullMapIsOnlySortedAndScaled) {
  ChillerData ch =
      Map({65, 75, 85}, {{650, 620, 600}, {320, 310, 300}}, {{0.50f, 0.55f, 0.60f}, {0.40f, 0.45f, 0.50f}});
  ch.nFLPowerType = 0;  // input per ton
  ASSERT_TRUE(modCalcs::bSetupChillerMap(ch));
  EXPECT_FLOAT_EQ(ch.fECWTPoints(1), 85);
  EXPECT_FLOAT_EQ(ch.fECWTPoints(3), 65);
  EXPECT_EQ(CapRow(ch, 1), (std::vector<float>{7200, 7440, 7800}));
  EXPECT_FLOAT_EQ(ch.fPowerMap(1, 1), 0.60f * 600);  // per ton x tons, columns moved along
  EXPECT_FLOAT_EQ(ch.fPowerMap(3, 2), 0.40f * 320);
}

TEST_F(ChillerMapTest, EqualECWTsKeepTheirOrderAndAbsorptionInputBecomesHeat) {
  ChillerData ch = Map({75, 75}, {{600, 590}}, {{10, 20}});
  ch.nType = 6;
  ch.fInputHeatFactor = 1000;
  ASSERT_TRUE(modCalcs::bSetupChillerMap(ch));
  EXPECT_EQ(CapRow(ch, 1), (std::vector<float>{7200, 7080}));
  EXPECT_FLOAT_EQ(ch.fPowerMap(1, 1), 10);  // x 1000 x 0.001
}

TEST_F(ChillerMapTest, CapacityGapFill) {
  const struct {
    const char* name;
    std::vector<float> ecwt, row, expected;  // tons in, kBtu/h out
  } cases[] = {
      {"middle: linear at its ECWT", {85, 80, 65}, {600, 0, 700}, {7200, 7500, 8400}},
      {"end with a pair: extrapolated", {85, 75, 65}, {600, 650, 0}, {7200, 7800, 8400}},
      {"start with a pair: extrapolated", {85, 75, 65}, {0, 650, 700}, {7200, 7800, 8400}},
      {"one neighbour: copied", {85, 75}, {0, 650}, {7800, 7800}},
      {"negative: neither filled nor used", {85, 75, 65}, {600, -5, 0}, {7200, -60, 0}},
      {"ECWTs closer than 0.0001", {80, 79.99995f, 70}, {600, 610, 0}, {7200, 7320, 7200}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ChillerData ch = Map(c.ecwt, {c.row});
    ASSERT_TRUE(modCalcs::bSetupChillerMap(ch));
    const auto got = CapRow(ch, 1);
    ASSERT_EQ(got.size(), c.expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.expected[i], 0.01) << i;
  }
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ChillerMapTest, EmptyRowsFilledInRowNumber) {
  ChillerData ch = Map({85, 75}, {{0, 0}, {500, 520}, {0, 0}, {300, 320}, {0, 0}});
  ASSERT_TRUE(modCalcs::bSetupChillerMap(ch));
  EXPECT_EQ(CapRow(ch, 1), (std::vector<float>{7200, 7440}));  // from rows 2 and 4
  EXPECT_EQ(CapRow(ch, 3), (std::vector<float>{4800, 5040}));  // between rows 2 and 4
  EXPECT_EQ(CapRow(ch, 5), (std::vector<float>{2400, 2640}));  // from rows 3 and 4
}

TEST_F(ChillerMapTest, FewerThanTwoDataRowsIsAClearError) {
  ChillerData ch = Map({85, 75}, {{600, 610}, {0, 0}});
  const ChillerData before = ch;
  EXPECT_FALSE(modCalcs::bSetupChillerMap(ch));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "bSetupChillerMap");
  EXPECT_NE(host.messages[0].text.find("empty load row"), std::string::npos);
  EXPECT_EQ(ch, before);
}

TEST_F(ChillerMapTest, CountsBeyondTheLayoutAreRejected) {
  for (auto change : {+[](ChillerData& c) { c.nNumECWTPoints = 15; }, +[](ChillerData& c) { c.nNumLoadPoints = 29; },
                      +[](ChillerData& c) { c.nPartLoadPoints = 9; }}) {
    ChillerData ch = Map({85}, {{600}});
    change(ch);
    host.messages.clear();
    EXPECT_FALSE(modCalcs::bSetupChillerMap(ch));
    EXPECT_EQ(host.messages.size(), 1u);
  }
}

TEST_F(ChillerMapTest, CellsOutsideTheUsedRectangleAreNotNeighbours) {
  ChillerData ch = Map({85, 75}, {{600, 0}});
  ch.fECWTPoints(3) = 65;  // stale template values beyond the used columns
  ch.fCapacityMap(3, 1) = 900;
  ch.fCapacityMap(4, 1) = 950;
  ASSERT_TRUE(modCalcs::bSetupChillerMap(ch));
  EXPECT_EQ(CapRow(ch, 1), (std::vector<float>{7200, 7200}));  // copied, not extrapolated
  EXPECT_FLOAT_EQ(ch.fCapacityMap(3, 1), 900);
}

TEST_F(ChillerMapTest, MissingInputIsTheMeanOfRowAndColumnEstimates) {
  ChillerData ch = Map({85, 75, 65}, {{600, 600, 600}, {400, 400, 400}, {200, 200, 200}},
                       {{500, 400, 300}, {300, 0, 180}, {200, 100, 90}});
  ASSERT_TRUE(modCalcs::bSetupChillerMap(ch));
  // Along column 2 (capacity as x): 250; along row 2 (ECWT as x): 240.
  EXPECT_FLOAT_EQ(ch.fPowerMap(2, 2), 245);
}

// ---- transfer into an engine chiller ----

class TransferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plant.EvapFlowControl(1);
    plant.Chillers().BuildCollection(1);
  }
  bool Transfer(ChillerData& ch, double& minECWT, double& heat) {
    return form.TransferChillerDataFromBrimlowToEngine(system, plant, ch, plant.Chillers().Item(1), minECWT, heat);
  }
  ui::RecordingHost host;
  ui::ScopedHost scoped{host};
  grendax_fake::FakeCwPlant plant;
  frmWait form;
  SystemData system = calctest::TwoChillerSystem();
};

TEST_F(TransferTest, PartLoadTableRightAligned) {
  ChillerData ch = calctest::Chiller600();
  ch.nPartLoadPoints = 4;
  const float pct[] = {50, 100, 25, 75};  // rows 5-8 empty
  for (int i = 1; i <= 4; ++i) {
    ch.fPartLoadPct(i) = pct[i - 1];
    ch.fPartLoadCapacity(i) = 6 * pct[i - 1];
    ch.fPartLoadInput(i) = pct[i - 1];
  }
  double minECWT = -1, heat = -1;
  ASSERT_TRUE(Transfer(ch, minECWT, heat));
  cChiller& e = plant.Chillers().Item(1);
  EXPECT_EQ(e.PartLoadPointCount(), 3);
  const double expected[] = {100, 100, 100, 100, 100, 75, 50, 25};
  for (int i = 1; i <= 8; ++i) {
    EXPECT_DOUBLE_EQ(e.PartLoadPct(i), expected[i - 1]) << i;
    EXPECT_DOUBLE_EQ(e.PartLoadCapacity(i), 6 * expected[i - 1] * 12) << i;
  }
  EXPECT_DOUBLE_EQ(e.Capacity(), 7200);
  EXPECT_DOUBLE_EQ(e.MinChwFlow(), 1440 * 0.5);  // constant flow, sequenced
  EXPECT_DOUBLE_EQ(e.MinCapacity(), 720);
  EXPECT_DOUBLE_EQ(e.MapECWT(1), 85);
  EXPECT_DOUBLE_EQ(e.MapCapacity(1, 1), 7200);
}

TEST_F(TransferTest, NoPartLoadTableForACountOfZeroOrLess) {
  for (int16_t count : {0, -1}) {
    SCOPED_TRACE(count);
    ChillerData ch = calctest::Chiller600();
    ch.nPartLoadPoints = count;
    ch.fPartLoadPct(1) = 50;  // stale values are not sent
    double minECWT = -1, heat = -1;
    ASSERT_TRUE(Transfer(ch, minECWT, heat));
    EXPECT_EQ(plant.Chillers().Item(1).PartLoadPointCount(), 0);
    EXPECT_DOUBLE_EQ(plant.Chillers().Item(1).PartLoadPct(1), 0);
  }
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(TransferTest, PerTypeValuesAndHeatRejection) {
  const double C = 7200, P = 0.6, A = 20 * 3.412, HF = 18000, rej = 0.3;
  const struct {
    int16_t type;
    int16_t total;
    int cycle, cond, source;
    double irf, condFlow, heat, minECWT;
    bool water;
  } cases[] = {
      {1, 0, 1, 2, 3, 1.0, 1800, (P * 0.28433 + 1) * C, 60, true},
      {1, 1, 1, 2, 3, 1.0, 1800, P * 3.412 + C, 60, true},
      {6, 0, 2, 2, 8, 1.0, 1800, (HF * P / 12000 + 1) * C + A, 60, true},
      {7, 1, 2, 2, 8, 1.0, 1800, HF * P / 1000 + C + A, 60, true},
      {8, 0, 2, 2, 4, 1.0, 1800, (P / 12 + 1) * C + A, 60, true},
      {8, 1, 2, 2, 4, 1.0, 1800, P + C + A, 60, true},
      {9, 0, 1, 2, 4, rej, 1800, (rej * P / 12 + 1) * C + A, 60, true},
      {9, 1, 1, 2, 4, rej, 1800, rej * P + C + A, 60, true},
      {11, 0, 1, 1, 3, 0.0, 0, 0, 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.type) + "/" + std::to_string(c.total));
    grendax_fake::FakeCwPlant fresh;
    fresh.Chillers().BuildCollection(1);
    ChillerData ch = calctest::Chiller600();
    ch.nType = c.type;
    ch.nFLPowerType = c.total;
    ch.fFLPower = static_cast<float>(P);
    ch.fAuxKW = 20;
    ch.fInputHeatFactor = static_cast<float>(HF);
    ch.fRejectedHeatPct = 30;
    ch.nFuelType = 4;
    ch.nNumECWTPoints = 0;  // the map is not the subject here
    double minECWT = -1, heat = -1;
    ASSERT_TRUE(
        form.TransferChillerDataFromBrimlowToEngine(system, fresh, ch, fresh.Chillers().Item(1), minECWT, heat));
    cChiller& e = fresh.Chillers().Item(1);
    EXPECT_EQ(e.CycleType(), c.cycle);
    EXPECT_EQ(e.CondenserType(), c.cond);
    EXPECT_EQ(e.EnergySource(), c.source);
    EXPECT_NEAR(e.InputRejectFraction(), c.irf, 1e-7);
    EXPECT_DOUBLE_EQ(e.DesignCondFlow(), c.condFlow);
    EXPECT_NEAR(heat, c.heat, 1e-3);
    EXPECT_DOUBLE_EQ(minECWT, c.minECWT);
    EXPECT_EQ(fresh.HasWaterCooledChillers(), c.water);
    EXPECT_EQ(fresh.HasAirCooledChillers(), !c.water);
  }
}

TEST_F(TransferTest, AFailedMapPreparationFailsTheTransferWithOneBox) {
  ChillerData ch = calctest::Chiller600();
  ch.nNumECWTPoints = 20;
  double minECWT = 0, heat = 0;
  EXPECT_FALSE(Transfer(ch, minECWT, heat));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "bSetupChillerMap");
}

}  // namespace
