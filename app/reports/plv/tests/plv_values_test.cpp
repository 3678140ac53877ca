// The values the part-load tables compute: plant means of the rating points, pools, input
// and power texts, the custom PLV formulas, the system load and the IPLV procedure rows, on
// the hand-computed three-chiller result and on small cases.
#include "app/reports/plv/plv_values.h"

#include <gtest/gtest.h>

#include "app/calc/tests/calc_fixtures.h"
#include "app/reports/tests/report_fixture.h"
#include "app/storage/modpublic.h"

namespace {

using namespace reports::plv;

TEST(PlantRatingMeans, ThreeChillersWeighTheirECWTsByTheirFactors) {
  const auto p = calctest::ThreeChillerProfile();
  const RatingMeans m = PlantRatingMeans(*p);
  // Factors: CH-1 and CH-2 0, 0.3, 0.3, 0.4; CH-3 0.5, 0.5, 0, 0.
  const float wf[] = {0.5f / 3, 1.1f / 3, 0.6f / 3, 0.8f / 3};
  // ECWTs: pool 0, 70, 80, 85; CH-3 78, 84, 0, 0.
  const float ecwt[] = {78, (0.3f * 70 * 2 + 0.5f * 84) / 1.1f, 80, 85};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(m.weightingFactor[i], wf[i], 1e-6) << i;
    EXPECT_NEAR(m.ecwt[i], ecwt[i], 1e-4) << i;
  }
}

struct MeanCase {
  const char* name;
  std::vector<std::pair<float, float>> chillers;  // weighting factor, ECWT at the point
  float wf, ecwt;
};

class PointMean : public ::testing::TestWithParam<MeanCase> {};

TEST_P(PointMean, AtTheHundredPercentPoint) {
  const MeanCase& c = GetParam();
  auto p = std::make_unique<PLVProfileData>();
  p->nNumChillerResults = static_cast<int16_t>(c.chillers.size());
  for (size_t i = 0; i < c.chillers.size(); ++i) {
    p->ChillerResults(static_cast<long>(i + 1)).fWeightingFactor(4) = c.chillers[i].first;
    p->ChillerResults(static_cast<long>(i + 1)).fECWT(4) = c.chillers[i].second;
  }
  const RatingMeans m = PlantRatingMeans(*p);
  EXPECT_FLOAT_EQ(m.weightingFactor[3], c.wf);
  EXPECT_NEAR(m.ecwt[3], c.ecwt, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PointMean,
    ::testing::Values(MeanCase{"idleChillerDoesNotPullTheECWTDown", {{0.2f, 80}, {0, 0}}, 0.1f, 80},
                      MeanCase{"equalFactorsGiveThePlainMean", {{0.4f, 80}, {0.4f, 70}}, 0.4f, 75},
                      MeanCase{"unequalFactors", {{0.6f, 80}, {0.2f, 60}}, 0.4f, 75},
                      MeanCase{"nobodyWeighs", {{0, 0}, {0, 0}}, 0, 0}, MeanCase{"noChillers", {}, 0, 0}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Pools, TwoPooledAndOneOnItsOwn) {
  auto p = calctest::ThreeChillerProfile();
  EXPECT_FALSE(OwnFactors(*p, 1));
  EXPECT_FALSE(OwnFactors(*p, 2));
  EXPECT_TRUE(OwnFactors(*p, 3));
  const auto pools = Pools(*p);
  ASSERT_EQ(pools.size(), 1u) << "pool 2 holds only chillers with their own factors";
  EXPECT_EQ(pools[0], (std::vector<int>{1, 2}));
  EXPECT_EQ(TagList(*p, pools[0]), "CH-1, CH-2");
  EXPECT_DOUBLE_EQ(PoolGrandTotal(p->ChillerResults(1)), 250000.0);
  // Every chiller on its own: no pool.
  p->ChillerResults(2).nGroup = 3;
  EXPECT_TRUE(Pools(*p).empty());
}

TEST(Pools, HighPoolIdsAndLargePoolsNeedNoFixedLimit) {
  auto p = std::make_unique<PLVProfileData>();
  p->nNumChillerResults = 30;
  for (int c = 1; c <= 30; ++c) p->ChillerResults(c).nGroup = static_cast<int16_t>(c <= 2 ? 30 : 31);
  const auto pools = Pools(*p);
  ASSERT_EQ(pools.size(), 31u);
  EXPECT_EQ(pools[29], (std::vector<int>{1, 2}));
  EXPECT_EQ(pools[30].size(), 28u);
}

TEST(Texts, CleanTrimsAndCutsAtNul) {
  EXPECT_EQ(Clean("  CH-1   "), "CH-1");
  EXPECT_EQ(Clean(std::string("CH-1\0junk  ", 11)), "CH-1");
}

TEST(Formulas, ProductFormForKindOneReciprocalOtherwise) {
  EXPECT_EQ(ElectricFormula(1, "EER"),
            "Custom PLV (Electric Chillers) = (Wgt@100%  x  EER@100%) + (Wgt@75%  x  EER@75%) + "
            "(Wgt@50%  x  EER@50%) + (Wgt@25%  x  EER@25%)");
  EXPECT_EQ(ElectricFormula(0, "kW/Ton"),
            "Custom PLV (Electric Chillers) = 1 / [(Wgt@100%  /  kW/Ton@100%) + (Wgt@75%  /  kW/Ton@75%) + "
            "(Wgt@50%  /  kW/Ton@50%) + (Wgt@25%  /  kW/Ton@25%)]");
  EXPECT_EQ(AbsorptionFormula(),
            "Custom PLV (Absorption Chillers) = (Wgt@100%  x  COP@100%) + (Wgt@75%  x  COP@75%) + "
            "(Wgt@50%  x  COP@50%) + (Wgt@25%  x  COP@25%)");
  modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
  EXPECT_EQ(EfficiencySymbol(0), "kW/Ton");
  EXPECT_EQ(EfficiencySymbol(1), "EER") << "the unit of kind 1 has no label: a real symbol stands in";
}

TEST(Inputs, FullLoadInputAndItsUnit) {
  ChillerResultData r;
  r.fCapacity = 500;
  r.fFLEfficiency = 0.6f;
  r.nEfficiencyKind = 1;
  EXPECT_NEAR(FullLoadInput(r, 0), 300, 1e-4);
  r.fFLEfficiency = 20;  // stored as 12 / 0.6 when the efficiency kind is 1
  EXPECT_NEAR(FullLoadInput(r, 1), 300, 1e-4);
  r.nEfficiencyKind = 2;
  r.fFLEfficiency = 10;  // MBH per ton
  EXPECT_NEAR(FullLoadInput(r, 1), 5000, 1e-4) << "only electric efficiencies are stored inverted";
  EXPECT_EQ(InputUnitId(1), KW_TO_KW);
  EXPECT_EQ(InputUnitId(2), MBH_TO_KW);
  EXPECT_EQ(InputUnitId(3), LB_TO_KG);
  EXPECT_EQ(InputUnitId(0), KW_TO_KW);
}

TEST(Inputs, FullLoadPowerTextPerEnergySource) {
  modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
  ChillerResultData r;
  r.fFLEfficiency = 0.5f;
  r.nEfficiencyKind = 1;
  EXPECT_EQ(FullLoadPowerText(r, 0), "0.500 kW/Ton");
  r.nEfficiencyKind = 2;
  r.fFLEfficiency = 12;
  EXPECT_EQ(FullLoadPowerText(r, 0), "12.000 MBH/Ton");
  r.nEfficiencyKind = 3;
  r.fFLEfficiency = 10;
  EXPECT_EQ(FullLoadPowerText(r, 0), "10.000 lb/(ton-hr)");
  r.nEfficiencyKind = 4;
  EXPECT_EQ(FullLoadPowerText(r, 0), "");
  modpublic::gUnits.CurrentUnitOfMeasure(nMETRIC);
  r.nEfficiencyKind = 2;
  r.fFLEfficiency = 12;
  EXPECT_EQ(FullLoadPowerText(r, 0), "1.000 ikW/kW");
  modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
}

TEST(Texts, IPLVOfEachKind) {
  modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
  ChillerResultData r;
  r.nEfficiencyKind = 1;
  r.fIPLV = kNoIPLV;
  EXPECT_EQ(IPLVText(r, 0), "n/a");
  r.fIPLV = 0.5f;
  EXPECT_EQ(IPLVText(r, 0), "0.500 kW/Ton");
  EXPECT_EQ(IPLVText(r, 1), "24.00 EER") << "kW per ton shown as output per input";
  r.fIPLV = 0;
  EXPECT_EQ(IPLVText(r, 1), "0.00 EER");
  r.nEfficiencyKind = 2;
  r.fIPLV = 1.2f;
  EXPECT_EQ(IPLVText(r, 1), "1.200 COP");
}

TEST(SystemLoad, KindOneIsTheProductFormEveryOtherKindKWPerTon) {
  PLVBinData bin;
  bin.fInput = 300;
  bin.fEfficiency = 0.6f;
  EXPECT_NEAR(SystemLoad(bin, 0), 500, 1e-3);
  EXPECT_NEAR(SystemLoad(bin, 2), 500, 1e-3) << "kind 2 is kW per ton too";
  bin.fEfficiency = 20;  // EER
  EXPECT_NEAR(SystemLoad(bin, 1), 500, 1e-3);
  bin.fEfficiency = 0;
  EXPECT_EQ(SystemLoad(bin, 0), 0);
}

TEST(IPLVExample, KindsAndConstants) {
  ChillerResultData r;
  r.nEfficiencyKind = 1;
  r.nCycleType = 1;
  r.nCondenserType = 2;
  EXPECT_EQ(ChillerKind(r), 1);
  r.nCondenserType = 1;
  EXPECT_EQ(ChillerKind(r), 2);
  r.nCycleType = 2;
  EXPECT_EQ(ChillerKind(r), 3);
  r.nCycleType = 1;
  r.nEfficiencyKind = 2;
  EXPECT_EQ(ChillerKind(r), 3);

  const double water[] = {85, 75, 65, 65}, air[] = {95, 80, 65, 55}, absorption[] = {85, 78.75, 72.5, 67.25};
  const double* cond[] = {water, air, absorption};
  for (int kind = 1; kind <= 3; ++kind) {
    const auto rows = IPLVExampleRows(kind);
    double weights = 0;
    for (size_t i = 0; i < 4; ++i) {
      EXPECT_EQ(rows[i].lchwt, 44);
      EXPECT_EQ(rows[i].condTemp, cond[kind - 1][i]) << kind << " " << i;
      weights += rows[i].weight;
    }
    EXPECT_DOUBLE_EQ(rows[0].load, 100);
    EXPECT_NEAR(weights, 1.0, 1e-12);
  }
}

// The values of a label/value block start clear of its widest label, never before the least
// stop; bold labels take more room than plain ones.
TEST(ValueTab, ClearOfTheWidestLabel) {
  reporttest::EnsureApp();
  const std::vector<std::string> shortLabels = {"City ", "Name "};
  EXPECT_EQ(ValueTabFor(shortLabels, 9, false, kValueTab), kValueTab);
  const std::vector<std::string> labels = {"City ", "Include Heat Rejection Fan Energy Use "};
  const int32_t plain = ValueTabFor(labels, 9, false, kValueTab);
  EXPECT_GT(plain, kValueTab) << "the long label would run into its value";
  EXPECT_LT(plain, 5220) << "the stop stays inside a column of the two-column block";
  EXPECT_GT(ValueTabFor(labels, 9, true, kValueTab), plain);
}

}  // namespace
