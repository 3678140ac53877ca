// Rating-point grouping: boundaries, a hand-computed case, pooling and unit independence.
#include <gtest/gtest.h>

#include <memory>

#include "app/calc/modCalcs.h"
#include "platform/ui/ui.h"

namespace {

struct Bin {
  bool on;
  float load, pct, ecwt;
};

// A profile of `hours` bins; each chiller's bins as given.
std::unique_ptr<PLVProfileData> Profile(const std::vector<int>& hours, const std::vector<std::vector<Bin>>& chillers,
                                        const std::vector<int16_t>& groups) {
  auto p = std::make_unique<PLVProfileData>();
  p->nLastLoadBin = static_cast<int16_t>(hours.size());
  p->nNumChillerResults = static_cast<int16_t>(chillers.size());
  for (std::size_t b = 0; b < hours.size(); ++b) p->Bins(b + 1).lHours = hours[b];
  for (std::size_t i = 0; i < chillers.size(); ++i) {
    ChillerResultData& r = p->ChillerResults(i + 1);
    r.nGroup = groups[i];
    for (std::size_t b = 0; b < chillers[i].size(); ++b) {
      r.bBinOn(b + 1) = chillers[i][b].on ? -1 : 0;
      r.fBinLoad(b + 1) = chillers[i][b].load;
      r.fBinLoadPercent(b + 1) = chillers[i][b].pct;
      r.fBinECWT(b + 1) = chillers[i][b].ecwt;
    }
  }
  return p;
}

TEST(RatingPoint, Boundaries) {
  const struct {
    float pct;
    int point;
  } cases[] = {{100, 4}, {87.5f, 4}, {87.49f, 3}, {62.5f, 3}, {62.49f, 2}, {37.5f, 2}, {37.4f, 1}, {0, 1}};
  for (const auto& c : cases) EXPECT_EQ(modCalcs::RatingPoint(c.pct), c.point) << c.pct;
}

TEST(CalcCPLV, HandComputedThreeBinsTwoChillers) {
  ui::RecordingHost host;
  ui::ScopedHost scoped(host);
  // Chiller 1: bins at 90 % (100 h, 540 t, 80 F), 70 % (200 h, 420 t, 75 F), off (300 h).
  // Chiller 2: off, 40 % (200 h, 240 t, 70 F), 20 % (300 h, 120 t, 65 F).
  auto p = Profile({100, 200, 300},
                   {{{true, 540, 90, 80}, {true, 420, 70, 75}, {false, 0, 0, 66}},
                    {{false, 0, 0, 0}, {true, 240, 40, 70}, {true, 120, 20, 65}}},
                   {1, 2});
  ASSERT_TRUE(modCalcs::bCalcCPLV(*p, false));
  const ChillerResultData& a = p->ChillerResults(1);
  EXPECT_FLOAT_EQ(a.fTotalTonHours, 54000 + 84000);
  EXPECT_FLOAT_EQ(a.fWeightingFactor(4), 54000.0f / 138000);
  EXPECT_FLOAT_EQ(a.fWeightingFactor(3), 84000.0f / 138000);
  EXPECT_FLOAT_EQ(a.fWeightingFactor(2), 0);
  EXPECT_FLOAT_EQ(a.fWeightingFactor(1), 0);
  EXPECT_FLOAT_EQ(a.fECWT(4), 80);
  EXPECT_FLOAT_EQ(a.fECWT(3), 75);
  EXPECT_FLOAT_EQ(a.fECWT(1), 0);     // a point without hours
  EXPECT_FLOAT_EQ(a.fBinECWT(3), 0);  // an off bin's ECWT is cleared
  EXPECT_FLOAT_EQ(a.fPointBinTonHours(3, 2), 84000);
  const ChillerResultData& b = p->ChillerResults(2);
  EXPECT_FLOAT_EQ(b.fWeightingFactor(2), 48000.0f / 84000);
  EXPECT_FLOAT_EQ(b.fWeightingFactor(1), 36000.0f / 84000);
  EXPECT_FLOAT_EQ(b.fECWT(2), 70);
  EXPECT_FLOAT_EQ(b.fECWT(1), 65);
  EXPECT_FLOAT_EQ(b.fTotalHours, 500);
  EXPECT_FLOAT_EQ(b.fTotalHourECWT, 200 * 70 + 300 * 65);
  for (const ChillerResultData* r : {&a, &b}) {
    float sum = 0;
    for (int q = 1; q <= 4; ++q) sum += r->fWeightingFactor(q);
    EXPECT_NEAR(sum, 1.0f, 1e-6);
  }
  EXPECT_TRUE(host.messages.empty());
}

TEST(CalcCPLV, PoolsEqualGroupsOnly) {
  // Chillers 1 and 3 form group 1; chiller 2 (group 2) keeps its own; chiller 3 never runs
  // but gets its group's factors. Chiller 4 has no group (0) and is not pooled.
  auto p = Profile({100, 100},
                   {{{true, 500, 100, 85}, {true, 150, 25, 65}},
                    {{true, 300, 50, 70}, {false, 0, 0, 0}},
                    {{false, 0, 0, 0}, {false, 0, 0, 0}},
                    {{true, 100, 20, 60}, {false, 0, 0, 0}}},
                   {1, 2, 1, 0});
  ASSERT_TRUE(modCalcs::bCalcCPLV(*p, false));
  for (int q = 1; q <= 4; ++q) {
    EXPECT_FLOAT_EQ(p->ChillerResults(3).fWeightingFactor(q), p->ChillerResults(1).fWeightingFactor(q));
    EXPECT_FLOAT_EQ(p->ChillerResults(3).fECWT(q), p->ChillerResults(1).fECWT(q));
  }
  EXPECT_FLOAT_EQ(p->ChillerResults(1).fWeightingFactor(4), 50000.0f / 65000);
  EXPECT_FLOAT_EQ(p->ChillerResults(3).fPointTonHours(4), 0);  // own sums stay its own
  EXPECT_FLOAT_EQ(p->ChillerResults(2).fWeightingFactor(2), 1);
  EXPECT_FLOAT_EQ(p->ChillerResults(4).fWeightingFactor(1), 1);
  EXPECT_FLOAT_EQ(p->ChillerResults(4).fECWT(1), 60);
}

TEST(CalcCPLV, SameFactorsInIPAndSI) {
  auto make = [] {
    return Profile(
        {120, 340, 560, 410},
        {{{true, 530, 88, 83.2f}, {true, 400, 66.6f, 77.1f}, {true, 260, 43.3f, 71.9f}, {true, 90, 15, 64.3f}},
         {{true, 530, 88, 82.9f}, {false, 0, 0, 0}, {true, 250, 41.6f, 70.3f}, {false, 0, 0, 0}}},
        {1, 2});
  };
  auto ip = make();
  auto si = make();
  ASSERT_TRUE(modCalcs::bCalcCPLV(*ip, false));
  ASSERT_TRUE(modCalcs::bCalcCPLV(*si, true));
  for (int i = 1; i <= 2; ++i) {
    for (int q = 1; q <= 4; ++q) {
      EXPECT_FLOAT_EQ(ip->ChillerResults(i).fWeightingFactor(q), si->ChillerResults(i).fWeightingFactor(q));
      EXPECT_NEAR(ip->ChillerResults(i).fECWT(q), si->ChillerResults(i).fECWT(q), 1e-3);
    }
  }
  // The stored products are in the display unit: deg F hours against deg C hours.
  EXPECT_NEAR(si->ChillerResults(1).fBinHourECWT(1), (83.2 - 32) / 1.8 * 120, 1e-2);
  EXPECT_NEAR(ip->ChillerResults(1).fBinHourECWT(1), 83.2 * 120, 1e-2);
}

TEST(CalcCPLV, SecondCallGivesTheSameSums) {
  auto p = Profile({100}, {{{true, 500, 100, 85}}}, {1});
  ASSERT_TRUE(modCalcs::bCalcCPLV(*p, false));
  ASSERT_TRUE(modCalcs::bCalcCPLV(*p, false));
  EXPECT_FLOAT_EQ(p->ChillerResults(1).fPointTonHours(4), 50000);
  EXPECT_FLOAT_EQ(p->ChillerResults(1).fTotalHours, 100);
}

TEST(CalcCPLV, MoreThan24BinsFailsWithABox) {
  ui::RecordingHost host;
  ui::ScopedHost scoped(host);
  auto p = std::make_unique<PLVProfileData>();
  p->nLastLoadBin = 25;
  p->nNumChillerResults = 1;
  EXPECT_FALSE(modCalcs::bCalcCPLV(*p, false));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "bCalcCPLV");
  EXPECT_EQ(host.messages[0].style, ui::kExclamation);
}

}  // namespace
