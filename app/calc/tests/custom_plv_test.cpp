// Custom part-load value: a chiller's kW/ton read off its map at a load and ECWT, the IPLV
// form over the rating points, and the CPLV of a chiller result.
#include <gtest/gtest.h>

#include "app/calc/custom_plv.h"
#include "app/calc/tests/calc_fixtures.h"
#include "platform/ui/ui.h"

namespace {

// A 500-ton centrifugal chiller (the calculation fixture's machine with another map): ECWT
// columns 65 and 85 F (given cold first), load rows 100, 75, 50, 25 and 10 % at the same
// capacity in both columns, minimum load 10 %. Inputs per ton, or as totals when asked.
ChillerData Chiller500(bool totals = false) {
  ChillerData ch = calctest::Chiller600();
  ch.sName = "Test 500";
  ch.fFLCapacity = 500;
  ch.nFLPowerType = totals ? 1 : 0;
  ch.nNumECWTPoints = 2;
  ch.nNumLoadPoints = 5;
  const float ecwt[] = {65, 85};
  const float fraction[] = {1.0f, 0.75f, 0.5f, 0.25f, 0.1f};
  const float perTon[2][5] = {{0.48f, 0.42f, 0.38f, 0.44f, 0.70f}, {0.60f, 0.55f, 0.52f, 0.60f, 0.90f}};
  for (int c = 1; c <= 2; ++c) {
    ch.fECWTPoints(c) = ecwt[c - 1];
    for (int r = 1; r <= 5; ++r) {
      const float tons = 500 * fraction[r - 1];
      ch.fCapacityMap(c, r) = tons;
      ch.fPowerMap(c, r) = totals ? perTon[c - 1][r - 1] * tons : perTon[c - 1][r - 1];
    }
  }
  return ch;
}

class CustomPLVTest : public ::testing::Test {
 protected:
  ui::RecordingHost host;
  ui::ScopedHost scoped{host};
};

TEST_F(CustomPLVTest, KWPerTonFromTheMap) {
  const struct {
    float pct, ecwt;
    bool noMinLoad;
    double kWPerTon;
    const char* what;
  } cases[] = {
      {100, 85, false, 0.60, "grid point"},
      {50, 65, false, 0.38, "grid point, cold column"},
      {25, 85, false, 0.60, "grid point, low load"},
      {100, 75, false, 0.54, "halfway between the columns"},
      {100, 95, false, 0.60, "above the axis: the hottest column"},
      {100, 55, false, 0.48, "below the axis: the coldest column"},
      {87.5f, 85, false, 253.125 / 437.5, "between rows, linear in the total input"},
      {5, 85, false, 45.0 / 25.0, "below the minimum load: the input of 10 %"},
      {5, 85, true, 35.0 / 25.0, "no minimum load: the last segment extended"},
  };
  for (bool totals : {false, true}) {
    for (const auto& c : cases) {
      ChillerData ch = Chiller500(totals);
      ch.bNoMinLoad = c.noMinLoad ? -1 : 0;
      double kw = 0;
      ASSERT_TRUE(modCalcs::bCalcChillerKWPerTon(ch, c.pct, c.ecwt, kw)) << c.what;
      EXPECT_NEAR(kw, c.kWPerTon, 1e-6) << c.what << (totals ? " (totals)" : " (per ton)");
    }
  }
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(CustomPLVTest, ChillersThatCannotBeRated) {
  ChillerData absorption = Chiller500();
  absorption.nType = 6;
  ChillerData noMap = Chiller500();
  noMap.nNumECWTPoints = 0;
  ChillerData noCapacity = Chiller500();
  noCapacity.fFLCapacity = 0;
  const struct {
    ChillerData ch;
    float pct;
    const char* what;
  } cases[] = {{absorption, 50, "absorption"},
               {noMap, 50, "no map"},
               {noCapacity, 50, "no capacity"},
               {Chiller500(), 0, "no load"}};
  for (const auto& c : cases) {
    host.messages.clear();
    double kw = -1;
    EXPECT_FALSE(modCalcs::bCalcChillerKWPerTon(c.ch, c.pct, 85, kw)) << c.what;
    EXPECT_EQ(kw, -1) << c.what;
    ASSERT_EQ(host.messages.size(), 1u) << c.what;
    EXPECT_EQ(host.messages[0].title, "bCalcChillerKWPerTon") << c.what;
  }
}

TEST_F(CustomPLVTest, IPLVFormOverTheRatingPoints) {
  // Points 1..4 are 25, 50, 75 and 100 %.
  auto W = [](float a, float b, float c, float d) {
    vb::Array<float, 1, 4> w;
    w(1) = a, w(2) = b, w(3) = c, w(4) = d;
    return w;
  };
  auto E = [](double a, double b, double c, double d) {
    vb::Array<double, 1, 4> e;
    e(1) = a, e(2) = b, e(3) = c, e(4) = d;
    return e;
  };
  double plv = 0;
  // The standard weights 0.12 / 0.45 / 0.42 / 0.01: 1 / (0.24 + 1.125 + 0.84 + 0.01667).
  ASSERT_TRUE(modCalcs::bCalcPLVFromRatingPoints(W(0.12f, 0.45f, 0.42f, 0.01f), E(0.5, 0.4, 0.5, 0.6), plv));
  EXPECT_NEAR(plv, 0.4501125, 1e-6);
  // Equal efficiencies give that efficiency whatever the weights.
  ASSERT_TRUE(modCalcs::bCalcPLVFromRatingPoints(W(0.1f, 0.2f, 0.3f, 0.4f), E(0.55, 0.55, 0.55, 0.55), plv));
  EXPECT_NEAR(plv, 0.55, 1e-6);
  // A point without weight plays no part, even without an efficiency.
  ASSERT_TRUE(modCalcs::bCalcPLVFromRatingPoints(W(0, 0, 0, 1), E(0, 0, 0, 0.61), plv));
  EXPECT_NEAR(plv, 0.61, 1e-6);
  EXPECT_TRUE(host.messages.empty());

  plv = -1;
  EXPECT_FALSE(modCalcs::bCalcPLVFromRatingPoints(W(0, 0, 0, 0), E(0.5, 0.5, 0.5, 0.5), plv));
  EXPECT_FALSE(modCalcs::bCalcPLVFromRatingPoints(W(0.5f, 0.5f, 0, 0), E(0.5, 0, 0.5, 0.5), plv));
  EXPECT_EQ(plv, -1);
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[1].title, "bCalcPLVFromRatingPoints");
}

TEST_F(CustomPLVTest, CPLVOfAChillerResult) {
  const ChillerData ch = Chiller500();
  ChillerResultData r;
  // 25 and 50 % at 65 F, 75 and 100 % at 85 F: 0.44, 0.38, 0.55, 0.60 kW/ton.
  const float w[] = {0.1f, 0.3f, 0.4f, 0.2f}, ecwt[] = {65, 65, 85, 85};
  for (int p = 1; p <= 4; ++p) r.fWeightingFactor(p) = w[p - 1], r.fECWT(p) = ecwt[p - 1];
  float cplv = 0;
  ASSERT_TRUE(modCalcs::bCalcChillerCPLV(ch, r, cplv));
  EXPECT_NEAR(cplv, 0.4813820, 1e-6);  // 1 / (0.1/0.44 + 0.3/0.38 + 0.4/0.55 + 0.2/0.60)

  // Points that never ran (weight 0, ECWT 0) are not rated.
  r.fWeightingFactor(1) = 0, r.fECWT(1) = 0;
  r.fWeightingFactor(4) = 0, r.fECWT(4) = 0;
  r.fWeightingFactor(2) = 0.5f, r.fWeightingFactor(3) = 0.5f;
  ASSERT_TRUE(modCalcs::bCalcChillerCPLV(ch, r, cplv));
  EXPECT_NEAR(cplv, 0.4494624, 1e-6);  // 1 / (0.5/0.38 + 0.5/0.55)
  EXPECT_TRUE(host.messages.empty());

  ChillerData absorption = ch;
  absorption.nType = 7;
  cplv = -1;
  EXPECT_FALSE(modCalcs::bCalcChillerCPLV(absorption, r, cplv));
  EXPECT_EQ(cplv, -1);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "bCalcChillerCPLV");
}

}  // namespace
