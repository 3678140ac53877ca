// The values of the profile sections on small hand-computed profiles: the profile point order
// and smoothing, the operating hours statistics, the cooling duty modes, shares and profile
// points, and the series and scales of the load, condenser temperature and performance graphs.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/reports/plv/profile_graphs.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace {

using namespace reports::plv;
using graph::Chart;
using graph::ChartType;
using graph::Scale;

// Profiles are large: one on the heap per test.
std::unique_ptr<PLVProfileData> Profile(int chillers, int bins) {
  auto p = std::make_unique<PLVProfileData>();
  p->nNumChillerResults = static_cast<int16_t>(chillers);
  p->nLastLoadBin = static_cast<int16_t>(bins);
  for (int c = 1; c <= chillers; ++c) p->ChillerResults(c).sSlotName = "CH-" + std::to_string(c) + "      ";
  return p;
}

// Profile point `point`: building load % (held by every chiller), each chiller's load %, and
// the staging mark of chiller 1.
void SetPoint(PLVProfileData& p, int point, float building, const std::vector<float>& loads, bool staging = false) {
  for (int c = 1; c <= p.nNumChillerResults; ++c) {
    ChillerResultData& r = p.ChillerResults(c);
    r.fProfileBuildingPct(point) = building;
    r.fProfileLoadPct(point) = loads[static_cast<size_t>(c) - 1];
    r.bProfileStaging(point) = vb::ToBoolean(staging);
  }
}

// The identity order of the points and the chillers running at each.
std::pair<PointIndex, PointIndex> StoredOrder(const PLVProfileData& p) {
  PointIndex index, on;
  for (int b = 1; b <= kProfilePoints; ++b) {
    index(b) = static_cast<int16_t>(b);
    int16_t n = 0;
    for (int c = 1; c <= p.nNumChillerResults; ++c) n += p.ChillerResults(c).fProfileLoadPct(b) > 0 ? 1 : 0;
    on(b) = n;
  }
  return {index, on};
}

class UnitSystem : public ::testing::Test {
 protected:
  void TearDown() override { modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH); }
  static void UseSI() { modpublic::gUnits.CurrentUnitOfMeasure(nMETRIC); }
};

// ---- profile point order ------------------------------------------------------------------

TEST(ProfileOrder, EqualPointsEndInTheOrderOfTheExchangeSort) {
  auto p = Profile(2, 0);
  SetPoint(*p, 1, 30, {50, 0});   // 1a
  SetPoint(*p, 2, 30, {50, 0});   // 1b
  SetPoint(*p, 3, 30, {40, 40});  // 2
  PointIndex index, on;
  PreprocessVUVORedoForProfileGraph(*p, index, on);
  EXPECT_EQ((std::vector<int>{index(1), index(2), index(3), index(4)}), (std::vector<int>{3, 2, 1, 4}));
  EXPECT_EQ((std::vector<int>{on(1), on(2), on(3), on(4)}), (std::vector<int>{2, 1, 1, 0}));
}

// One chiller at 105 % building load stays behind two chillers at 3 %: the chillers running
// decide first, whatever the load.
TEST(ProfileOrder, OverloadPointsStayWithTheirChillerCount) {
  auto p = Profile(2, 0);
  SetPoint(*p, 1, 105, {100, 0});
  SetPoint(*p, 2, 3, {5, 5});
  SetPoint(*p, 3, 50, {60, 0});
  PointIndex index, on;
  PreprocessVUVORedoForProfileGraph(*p, index, on);
  EXPECT_EQ((std::vector<int>{index(1), index(2), index(3)}), (std::vector<int>{2, 1, 3}));
}

// Three chillers drop to two between points 3 and 4. Down from the drop, points 3 and 2 are
// within 2 % of point 3's building load and marked: averaged. Up from it, points 4 and 5 are
// marked and within 2 % of 79.5 (point 6 is near but unmarked): averaged. Points 1, 6, 7 keep
// their values.
std::unique_ptr<PLVProfileData> ThreeToTwo(bool marks) {
  auto p = Profile(3, 0);
  SetPoint(*p, 1, 90, {95, 93, 90});
  SetPoint(*p, 2, 81, {85, 83, 80}, marks);
  SetPoint(*p, 3, 80, {84, 82, 79}, marks);
  SetPoint(*p, 4, 79.5f, {100, 98, 0}, marks);
  SetPoint(*p, 5, 79, {99, 97, 0}, marks);
  SetPoint(*p, 6, 78, {98, 96, 0});
  SetPoint(*p, 7, 60, {75, 73, 0});
  SetPoint(*p, 8, 95, {0, 0, 0}, marks);  // nobody runs: last, and never a group
  return p;
}

TEST(ProfileOrder, MarkedRunsNextToADropAreAveraged) {
  auto p = ThreeToTwo(true);
  PointIndex index, on;
  PreprocessVUVORedoForProfileGraph(*p, index, on);
  EXPECT_EQ((std::vector<int>{index(1), index(2), index(3), index(4), index(5), index(6), index(7), index(8)}),
            (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
  struct Expect {
    int point;
    float building;
    std::vector<float> loads;
  };
  const std::vector<Expect> expected = {
      {1, 90, {95, 93, 90}},
      {2, 80.5f, {84.5f, 82.5f, 79.5f}},
      {3, 80.5f, {84.5f, 82.5f, 79.5f}},
      {4, 79.25f, {99.5f, 97.5f, 0}},
      {5, 79.25f, {99.5f, 97.5f, 0}},
      {6, 78, {98, 96, 0}},
      {7, 60, {75, 73, 0}},
      {8, 95, {0, 0, 0}},
  };
  for (const Expect& e : expected)
    for (int c = 1; c <= 3; ++c) {
      SCOPED_TRACE("point " + std::to_string(e.point) + " chiller " + std::to_string(c));
      EXPECT_FLOAT_EQ(p->ChillerResults(c).fProfileBuildingPct(e.point), e.building);
      EXPECT_FLOAT_EQ(p->ChillerResults(c).fProfileLoadPct(e.point), e.loads[static_cast<size_t>(c) - 1]);
    }
}

TEST(ProfileOrder, WithoutMarksNothingIsAveraged) {
  auto p = ThreeToTwo(false);
  const auto before = std::make_unique<PLVProfileData>(*p);
  PointIndex index, on;
  PreprocessVUVORedoForProfileGraph(*p, index, on);
  EXPECT_TRUE(*p == *before);
  EXPECT_EQ(index(8), 8);
  EXPECT_EQ(on(8), 0);
}

TEST(ProfileOrder, PerChillerSortMovesWholePoints) {
  auto p = Profile(1, 0);
  ChillerResultData& r = p->ChillerResults(1);
  const float building[] = {10, 30, 20}, ecwt[] = {70, 80, 75};
  for (int i = 0; i < 3; ++i) {
    r.fProfileBuildingPct(i + 1) = building[i];
    r.fProfileLoadPct(i + 1) = building[i] * 2;
    r.fProfileECWT(i + 1) = ecwt[i];
    r.bProfileStaging(i + 1) = vb::ToBoolean(i == 0);
  }
  SortSPLVStructForProfile(*p);
  EXPECT_EQ((std::vector<float>{r.fProfileBuildingPct(1), r.fProfileBuildingPct(2), r.fProfileBuildingPct(3)}),
            (std::vector<float>{30, 20, 10}));
  EXPECT_EQ((std::vector<float>{r.fProfileLoadPct(1), r.fProfileLoadPct(2), r.fProfileLoadPct(3)}),
            (std::vector<float>{60, 40, 20}));
  EXPECT_EQ((std::vector<float>{r.fProfileECWT(1), r.fProfileECWT(2), r.fProfileECWT(3)}),
            (std::vector<float>{80, 75, 70}));
  EXPECT_EQ(r.bProfileStaging(3), vb::kTrue);
}

// ---- operating hours statistics -----------------------------------------------------------

// Seven bins at the range boundaries, each with its own power of two of hours (ton-hours ten
// times that), so every sum tells which bins it took.
TEST(OperatingHours, RowsTakeTheirLoadRanges) {
  const float loads[] = {37.5f, 62.5f, 87.5f, 100, 105, -1, 10};
  auto p = Profile(0, 7);
  for (int b = 1; b <= 7; ++b) {
    p->Bins(b).fChillerPctLoad = loads[b - 1];
    p->Bins(b).lHours = 1 << (b - 1);
    p->Bins(b).lLoadHours = 10 << (b - 1);
    p->Bins(b).nChillersOn = static_cast<int16_t>(b == 3 ? 2 : 1);
  }
  const auto rows = ChillerOperatingHoursValues(*p);
  struct Expect {
    const char* point;
    double hours, chillerHours;
  };
  // 100 %: 87.5, 100 and 105 above the rating (4 + 8 + 16); 75 %: 62.5 (2); 50 %: 37.5 (1);
  // 25 %: 10 (64); total: all but -1, the sum of the rows.
  const Expect expected[] = {{"100%", 28, 32}, {"75%", 2, 2}, {"50%", 1, 1}, {"25%", 64, 64}, {"Total", 95, 99}};
  for (size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(expected[i].point);
    EXPECT_STREQ(rows[i].point, expected[i].point);
    EXPECT_DOUBLE_EQ(rows[i].sums.hours, expected[i].hours);
    EXPECT_DOUBLE_EQ(rows[i].sums.tonHours, 10 * expected[i].hours);
    EXPECT_DOUBLE_EQ(rows[i].sums.chillerHours, expected[i].chillerHours);
    EXPECT_NEAR(rows[i].hoursPct, expected[i].hours * 100 / 95, 1e-12);
    EXPECT_NEAR(rows[i].tonHoursPct, expected[i].hours * 100 / 95, 1e-12);
  }
  EXPECT_STREQ(rows[0].range, "87.5 - 100%");
  EXPECT_STREQ(rows[3].range, "0 - 37.5%");
}

TEST(OperatingHours, ZeroTotalsGiveSharesOfZero) {
  auto p = Profile(0, 2);
  p->Bins(1).fChillerPctLoad = 50;
  p->Bins(2).fChillerPctLoad = 90;
  for (const auto& row : ChillerOperatingHoursValues(*p)) {
    EXPECT_EQ(row.hoursPct, 0) << row.point;
    EXPECT_EQ(row.tonHoursPct, 0) << row.point;
  }
}

// Point 4: chiller 1 has an ECWT, chiller 2 none; three bins count toward it. Point 3: both
// have ECWTs, no bin counts (no range). Point 2: nobody.
TEST(OperatingHours, EcwtAverageAndRange) {
  auto p = Profile(2, 3);
  ChillerResultData& c1 = p->ChillerResults(1);
  ChillerResultData& c2 = p->ChillerResults(2);
  c1.fECWT(4) = 85;
  c1.fECWT(3) = 75;
  c2.fECWT(3) = 73;
  c1.fWeightingFactor(4) = 0.2f;
  c1.fWeightingFactor(3) = c2.fWeightingFactor(3) = 0.3f;
  // A point that does not weigh has no ECWT, even with one stored.
  c2.fECWT(2) = 55;
  c2.fWeightingFactor(2) = 0.00005f;
  c1.fBinECWT(1) = 84;
  c1.fBinECWT(2) = 86;
  c1.fBinECWT(3) = 99;  // counts toward no point
  c2.fBinECWT(3) = 80;
  c1.fPointBinTonHours(4, 1) = 100;
  c1.fPointBinTonHours(4, 2) = 50;
  c2.fPointBinTonHours(4, 3) = 10;

  const EcwtStatistics full = CalcSystemECWTStatistics(*p, 4);
  EXPECT_TRUE(full.ok);
  EXPECT_TRUE(full.hasRange);
  EXPECT_FLOAT_EQ(full.average, 85);
  EXPECT_FLOAT_EQ(full.minimum, 80);
  EXPECT_FLOAT_EQ(full.maximum, 86);

  const EcwtStatistics noBins = CalcSystemECWTStatistics(*p, 3);
  EXPECT_TRUE(noBins.ok);
  EXPECT_FALSE(noBins.hasRange);
  EXPECT_FLOAT_EQ(noBins.average, 74);

  EXPECT_FALSE(CalcSystemECWTStatistics(*p, 2).ok);
  EXPECT_FALSE(CalcSystemECWTStatistics(*p, 2).hasRange);

  const auto rows = ChillerOperatingHoursValues(*p);
  EXPECT_FLOAT_EQ(rows[0].ecwt.average, 85) << "the 100 % row takes point 4";
  EXPECT_FLOAT_EQ(rows[1].ecwt.average, 74) << "the 75 % row takes point 3";
  EXPECT_FALSE(rows[4].ecwt.ok) << "the total row has no ECWT";
}

// ---- cooling duty ---------------------------------------------------------------------------

struct ModeCase {
  const char* name;
  float load, free;
  CoolingMode mode;
};
class CoolingModeOf : public ::testing::TestWithParam<ModeCase> {};
TEST_P(CoolingModeOf, Bin) {
  PLVBinData bin;
  bin.fLoad = GetParam().load;
  bin.fFreeCoolingLoad = GetParam().free;
  EXPECT_EQ(ClassifyCoolingMode(bin), GetParam().mode);
}
INSTANTIATE_TEST_SUITE_P(Cases, CoolingModeOf,
                         ::testing::Values(ModeCase{"NoFreeCooling", 100, 0, CoolingMode::Mechanical},
                                           ModeCase{"NegativeFreeCooling", 100, -5, CoolingMode::Mechanical},
                                           ModeCase{"FreeCoolingMeetsTheLoad", 100, 100, CoolingMode::Free},
                                           ModeCase{"FreeCoolingAboveTheLoad", 100, 120, CoolingMode::Free},
                                           ModeCase{"Both", 100, 40, CoolingMode::Hybrid},
                                           ModeCase{"NoLoadAtAll", 0, 0, CoolingMode::Hybrid}),
                         [](const ::testing::TestParamInfo<ModeCase>& i) { return std::string(i.param.name); });

// Bins in record order, hottest first: load (tons), free cooling load, hours, dry bulb.
struct DutyInput {
  float load, free;
  int32_t hours;
  float db;
};
std::unique_ptr<PLVProfileData> Duty(const std::vector<DutyInput>& bins, bool freeCoolingChiller) {
  auto p = Profile(1, static_cast<int>(bins.size()));
  p->ChillerResults(1).nFreeCoolingMode = static_cast<int16_t>(freeCoolingChiller ? 6 : 0);
  for (size_t i = 0; i < bins.size(); ++i) {
    PLVBinData& b = p->Bins(static_cast<long>(i) + 1);
    b.fLoad = bins[i].load;
    b.fFreeCoolingLoad = bins[i].free;
    b.lHours = bins[i].hours;
    b.fDB = bins[i].db;
    // The calculation's whole ton-hours the chillers carry.
    b.lLoadHours = vb::CLng(std::max(0.0, static_cast<double>(b.fLoad) - b.fFreeCoolingLoad) * b.lHours);
  }
  return p;
}

TEST(CoolingDuty, ModeChangesAndRecurrence) {
  // Walked from the last bin: F F H M M.
  bool recurring = true;
  auto once = Duty({{100, 0, 1, 90}, {100, 0, 1, 80}, {100, 40, 1, 70}, {50, 50, 1, 60}, {50, 60, 1, 50}}, true);
  EXPECT_EQ(CountCoolingModeChanges(*once, recurring), 2);
  EXPECT_FALSE(recurring);
  Chart chart;
  FillCoolingDutyChart(chart, *once, true);
  EXPECT_EQ(chart.PointCount(), 5 + 2);

  // F M F M: mechanical is entered twice.
  auto twice = Duty({{100, 0, 1, 90}, {50, 50, 1, 80}, {100, 0, 1, 70}, {50, 50, 1, 60}}, false);
  EXPECT_EQ(CountCoolingModeChanges(*twice, recurring), 3);
  EXPECT_TRUE(recurring);
  FillCoolingDutyChart(chart, *twice, false);
  EXPECT_EQ(chart.PointCount(), 4 + 2 * 3);
}

// A mechanical bin at 80 F (100 tons, 300 h) and a free cooling bin at 60 F (50 tons, 200 h):
// from the cold end, the free point, the transition at 70 F where both areas reach the mean
// annual cooling (30,000 + 10,000) / 2, and the mechanical point.
class DutyProfile : public UnitSystem {};
TEST_F(DutyProfile, TransitionJoinsBothModesAtTheMean) {
  auto p = Duty({{100, 0, 300, 80}, {50, 50, 200, 60}}, false);
  Chart chart;
  FillCoolingDutyChart(chart, *p, false);
  ASSERT_EQ(chart.SeriesCount(), 2);
  EXPECT_EQ(chart.series(0).label, "Mechanical Cooling");
  EXPECT_EQ(chart.series(1).label, "Free Cooling");
  ASSERT_EQ(chart.PointCount(), 3);
  const double empty = -20;
  EXPECT_EQ(chart.emptyValue, empty);
  const std::vector<double> xs = {60, 70, 80};
  const std::vector<double> mech = {empty, 20000, 30000}, free = {10000, 20000, empty};
  for (int i = 0; i < 3; ++i) {
    EXPECT_DOUBLE_EQ(chart.X(0, i), xs[static_cast<size_t>(i)]);
    EXPECT_DOUBLE_EQ(*chart.Y(0, i), mech[static_cast<size_t>(i)]) << i;
    EXPECT_DOUBLE_EQ(*chart.Y(1, i), free[static_cast<size_t>(i)]) << i;
  }
  EXPECT_EQ(chart.yAxis.scale, Scale::Manual(0, 30000 * 1.03));
  EXPECT_EQ(chart.yAxis.label, "Annual Cooling (Ton-hrs)");
  EXPECT_EQ(chart.xAxis.label, "Bin Temperature (F)");

  UseSI();
  FillCoolingDutyChart(chart, *p, false);
  EXPECT_NEAR(chart.X(0, 1), (70 - 32) / 1.8, 1e-9);
  EXPECT_NEAR(*chart.Y(0, 2), 30000 * 3.516853, 1e-6);
  EXPECT_EQ(chart.yAxis.label, "Annual Cooling (kWh)");
}

// A recurring mode adds a second transition point 0.01 further on.
TEST(CoolingDuty, RecurringModesAddASecondTransitionPoint) {
  auto p = Duty({{100, 0, 100, 90}, {50, 50, 100, 80}, {100, 0, 100, 70}, {50, 50, 100, 60}}, false);
  Chart chart;
  FillCoolingDutyChart(chart, *p, false);
  ASSERT_EQ(chart.PointCount(), 4 + 2 * 3);
  const std::vector<double> xs = {60, 65, 65.01, 70, 75, 75.01, 80, 85, 85.01, 90};
  for (int i = 0; i < chart.PointCount(); ++i) EXPECT_NEAR(chart.X(0, i), xs[static_cast<size_t>(i)], 1e-9) << i;
}

TEST(CoolingDuty, SharesWithAndWithoutTheHybridDisplay) {
  // 1,000 ton-hours mechanical, 500 hybrid (200 free + 300 mechanical), 500 free.
  auto p = Duty({{100, 0, 10, 90}, {50, 20, 10, 70}, {50, 50, 10, 50}}, true);
  const CoolingDutyTotals t = SumCoolingDuty(CoolingDutyBins(*p));
  EXPECT_DOUBLE_EQ(t.mechanical, 1000);
  EXPECT_DOUBLE_EQ(t.hybridFree, 200);
  EXPECT_DOUBLE_EQ(t.hybridMechanical, 300);
  EXPECT_DOUBLE_EQ(t.free, 500);
  EXPECT_DOUBLE_EQ(t.hours, 30);
  const CoolingShares s = ShareOfModes(t);
  EXPECT_DOUBLE_EQ(s.mechanical, 50);
  EXPECT_DOUBLE_EQ(s.hybrid, 25);
  EXPECT_DOUBLE_EQ(s.free, 25);

  Chart bars(ChartType::Bar);
  FillCoolingDutySummaryChart(bars, s, true);
  ASSERT_EQ(bars.SeriesCount(), 3);
  EXPECT_EQ(bars.series(0).label, "Mechanical Clg. : 50.0%");
  EXPECT_EQ(bars.series(1).label, "Hybrid Clg. : 25.0%");
  EXPECT_EQ(bars.series(2).label, "Free Clg. : 25.0%");
  EXPECT_EQ(*bars.Y(2, 0), 25);
  EXPECT_EQ(bars.title, "% Ton-hrs by Operating Mode");

  // Without a free-cooling chiller the hybrid bar is left out; its cooling still counts.
  bars.Reset(ChartType::Bar);
  FillCoolingDutySummaryChart(bars, s, false);
  ASSERT_EQ(bars.SeriesCount(), 2);
  EXPECT_EQ(bars.series(0).label, "Mechanical Clg. : 50.0%");
  EXPECT_EQ(bars.series(1).label, "Free Clg. : 25.0%");

  // The hybrid bin's areas: its whole cooling with the free part inside.
  Chart chart;
  FillCoolingDutyChart(chart, *p, true);
  ASSERT_EQ(chart.SeriesCount(), 4);
  // Points from the cold end: free 50 F, transition, hybrid 70 F, transition, mechanical.
  EXPECT_DOUBLE_EQ(*chart.Y(1, 2), 500);
  EXPECT_DOUBLE_EQ(*chart.Y(2, 2), 200);
  EXPECT_DOUBLE_EQ(*chart.Y(2, 1), (500 + 200) / 2.0) << "the free parts meet halfway";
}

TEST(CoolingDuty, NoCoolingGivesSharesOfZeroAndEveryLegendEntry) {
  auto p = Duty({{0, 0, 10, 90}, {0, 0, 10, 80}}, true);
  const CoolingShares s = ShareOfModes(SumCoolingDuty(CoolingDutyBins(*p)));
  EXPECT_EQ(s.free + s.hybrid + s.mechanical, 0);
  Chart chart;
  FillCoolingDutyChart(chart, *p, true);
  EXPECT_EQ(*chart.Y(0, 0), 0) << "mechanical, which no bin has";
  EXPECT_EQ(*chart.Y(3, 0), 0) << "free cooling, which no bin has";
  EXPECT_DOUBLE_EQ(chart.X(0, 0), 80) << "at the first point's temperature, not at 0";
}

// ---- system load profile graph ----------------------------------------------------------------

// Three chillers: all running at point 1, two at point 2, one at point 3.
TEST(LoadProfile, RunningCurvesAreSpreadTwoPointsApart) {
  auto p = Profile(3, 0);
  SetPoint(*p, 1, 90, {60, 60, 60});
  SetPoint(*p, 2, 50, {70, 70, 0});
  SetPoint(*p, 3, 15, {40, 0, 0});
  const auto [index, on] = StoredOrder(*p);
  Chart chart;
  FillLoadProfileChart(chart, *p, index, on, false, false);
  ASSERT_EQ(chart.SeriesCount(), 3);
  EXPECT_EQ(chart.series(0).label, "CH-1");
  struct Expect {
    int series, point;
    double x, y;
  };
  const Expect expected[] = {{0, 0, 90, 58}, {1, 0, 90, 60}, {2, 0, 90, 62}, {0, 1, 50, 69},
                             {1, 1, 50, 71}, {2, 1, 0, 0},   {0, 2, 15, 40}, {1, 2, 0, 0}};
  for (const Expect& e : expected) {
    EXPECT_DOUBLE_EQ(chart.X(e.series, e.point), e.x) << e.series << "/" << e.point;
    EXPECT_DOUBLE_EQ(*chart.Y(e.series, e.point), e.y) << e.series << "/" << e.point;
  }
  EXPECT_FALSE(chart.HasValue(2, 1)) << "an off chiller's (0, 0) is not drawn";
  EXPECT_EQ(chart.yAxis.scale, Scale::Manual(0, 71 + 3));
  EXPECT_EQ(chart.series(0).lineWidth, 2.0);
}

// The leading chiller descends through the 62.5-87.5 % band: it enters across 87.5 and
// leaves across 62.5, both crossings interpolated on the straight line between the points.
TEST(LoadProfile, BandCrossingsAreInterpolated) {
  auto p = Profile(1, 0);
  SetPoint(*p, 1, 90, {95});
  SetPoint(*p, 2, 70, {75});
  SetPoint(*p, 3, 50, {55});
  SetPoint(*p, 4, 20, {25});
  const auto [index, on] = StoredOrder(*p);
  const auto points = LoadBandPoints(*p, index, on, 2, false);
  const std::vector<std::pair<double, double>> expected = {{90, -1},     {82.5, -1}, {82.5, 87.5}, {70, 75},
                                                           {57.5, 62.5}, {57.5, -1}, {50, -1},     {20, -1}};
  EXPECT_EQ(points, expected);
  // A load on a limit lies in both bands.
  SetPoint(*p, 2, 70, {62.5f});
  EXPECT_EQ(LoadBandPoints(*p, index, on, 1, false)[3], (std::pair<double, double>{70, 62.5}));
  EXPECT_EQ(LoadBandPoints(*p, index, on, 2, false)[3], (std::pair<double, double>{70, 62.5}));
}

// 48 points above the band fill 48 slots; the next point enters the band with three points,
// of which the series has room for two.
TEST(LoadProfile, BandWalkNeverPassesTheSeries) {
  auto p = Profile(1, 0);
  for (int i = 1; i <= 48; ++i) SetPoint(*p, i, 100 - i, {95});
  SetPoint(*p, 49, 50, {75});
  SetPoint(*p, 50, 40, {70});
  const auto [index, on] = StoredOrder(*p);
  const auto points = LoadBandPoints(*p, index, on, 2, false);
  ASSERT_EQ(points.size(), 50u);
  EXPECT_EQ(points[48].second, -1);
  EXPECT_EQ(points[49].second, 87.5);
  Chart chart;
  FillLoadProfileChart(chart, *p, index, on, true, false);
  EXPECT_EQ(chart.PointCount(), 50);
}

// Plant control 3: the last chiller's second run goes to a series of its own (index N), which
// looks like the first run and shares its legend entry; the bands follow it; the Y scale
// covers it.
TEST(LoadProfile, SecondRunOfTheLastChillerHasItsOwnSeries) {
  auto p = Profile(2, 0);
  p->nPlantControl = 3;
  SetPoint(*p, 1, 90, {50, 50});
  SetPoint(*p, 2, 60, {50, 0});
  SetPoint(*p, 3, 40, {50, 90});
  SetPoint(*p, 4, 30, {50, 80});
  const auto [index, on] = StoredOrder(*p);
  Chart chart;
  FillLoadProfileChart(chart, *p, index, on, false, false);
  ASSERT_EQ(chart.SeriesCount(), 3);
  EXPECT_DOUBLE_EQ(*chart.Y(1, 0), 51);
  EXPECT_DOUBLE_EQ(*chart.Y(1, 1), 0);
  EXPECT_FALSE(chart.Y(1, 2).has_value()) << "the first run ends where the second begins";
  EXPECT_DOUBLE_EQ(*chart.Y(2, 0), 91);
  EXPECT_DOUBLE_EQ(chart.X(2, 1), 30);
  EXPECT_DOUBLE_EQ(*chart.Y(2, 1), 81);
  EXPECT_EQ(chart.series(2).color, chart.series(1).color);
  EXPECT_EQ(chart.series(2).legendGroup, 1);
  EXPECT_EQ(chart.yAxis.scale, Scale::Manual(0, 94));

  Chart banded;
  FillLoadProfileChart(banded, *p, index, on, true, false);
  ASSERT_EQ(banded.SeriesCount(), 2 + 1 + 4);
  EXPECT_EQ(banded.series(3).label, "0-37.5%");
  EXPECT_EQ(banded.series(6).label, ">87.5%");
  EXPECT_EQ(banded.series(6).color, QColor(24, 145, 246));
  EXPECT_EQ(banded.series(2).legendGroup, 1);
}

TEST(LoadProfile, StoredOrderVariantTakesThePointsAsTheyAre) {
  auto p = Profile(2, 0);
  SetPoint(*p, 1, 20, {30, 0});
  SetPoint(*p, 2, 90, {60, 60});
  PointIndex unused;
  Chart chart;
  FillLoadProfileChart(chart, *p, unused, unused, true, true);
  EXPECT_DOUBLE_EQ(chart.X(0, 0), 20);
  EXPECT_DOUBLE_EQ(*chart.Y(0, 1), 59);
  EXPECT_EQ(chart.series(0).lineWidth, 1.0);
  EXPECT_EQ(chart.series(2).color, QColor(255, 255, 0));
}

// ---- condenser temperature graph --------------------------------------------------------------

class CondenserGraph : public UnitSystem {};

// Point 1: both chillers run (offsets -0.5 and +0.5); point 2: only chiller 1 (no offset),
// chiller 2 has no temperature; point 3: none runs (offsets 0.5 and 1.5).
TEST_F(CondenserGraph, OffsetsAndRanges) {
  auto p = Profile(2, 0);
  SetPoint(*p, 1, 90, {80, 70});
  SetPoint(*p, 2, 40, {50, 0});
  SetPoint(*p, 3, 5, {0, 0});
  ChillerResultData& c1 = p->ChillerResults(1);
  ChillerResultData& c2 = p->ChillerResults(2);
  c1.fProfileECWT(1) = 80;
  c2.fProfileECWT(1) = 78;
  c1.fProfileECWT(2) = 75;
  c1.fProfileECWT(3) = 70;
  Chart chart;
  FillCondenserTempChart(chart, *p);
  struct Expect {
    int series, point;
    double x, y;
  };
  const Expect expected[] = {{0, 0, 80, 79.5}, {1, 0, 70, 78.5}, {0, 1, 50, 75},
                             {1, 1, 0, 0},     {0, 2, 0, 70.5},  {1, 2, 0, 0}};
  for (const Expect& e : expected) {
    EXPECT_DOUBLE_EQ(chart.X(e.series, e.point), e.x) << e.series << "/" << e.point;
    EXPECT_DOUBLE_EQ(*chart.Y(e.series, e.point), e.y) << e.series << "/" << e.point;
  }
  EXPECT_EQ(chart.yAxis.scale, Scale::Manual(70.5 - 0.05 * 79.5, 79.5 * 1.05));
  EXPECT_EQ(chart.xAxis.scale, Scale::Manual(0, 80 * 1.05));
  EXPECT_EQ(chart.yAxis.label, "Chiller Entering Condenser Temp. (F)");
  EXPECT_EQ(chart.plot, graph::Plot::Points);
}

TEST_F(CondenserGraph, FreezingPointIsATemperatureInSI) {
  UseSI();
  auto p = Profile(1, 0);
  SetPoint(*p, 1, 50, {60});
  p->ChillerResults(1).fProfileECWT(1) = 32;
  Chart chart;
  FillCondenserTempChart(chart, *p);
  EXPECT_DOUBLE_EQ(chart.X(0, 0), 60);
  EXPECT_DOUBLE_EQ(*chart.Y(0, 0), 0);
  EXPECT_EQ(chart.yAxis.label, "Chiller Entering Condenser Temp. (C)");
}

TEST_F(CondenserGraph, NoTemperaturesKeepTheStartingAxes) {
  auto p = Profile(2, 0);
  Chart chart;
  FillCondenserTempChart(chart, *p);
  EXPECT_EQ(chart.yAxis.scale, Scale::Manual(0, 103));
  EXPECT_EQ(chart.xAxis.scale, Scale::Manual(0, 103));
}

// ---- performance graph ----------------------------------------------------------------------

class PerformanceGraph : public UnitSystem {};

// Bin 1 has both values, bin 2 no cooling, bin 3 no efficiency; bins 4.. are not in use.
std::unique_ptr<PLVProfileData> ThreeBins() {
  auto p = Profile(1, 3);
  const float load[] = {100, 50, 25}, eff[] = {0.65432f, 0.7f, 0};
  const int32_t tonHours[] = {12345, 0, 5000};
  for (int b = 1; b <= 3; ++b) {
    p->Bins(b).fLoadPercent = load[b - 1];
    p->Bins(b).fEfficiency = eff[b - 1];
    p->Bins(b).lLoadHours = tonHours[b - 1];
  }
  return p;
}

struct PerformanceCase {
  const char* name;
  bool si, heatDriven;
  double cooling1, efficiency1, efficiency2;
  const char* efficiencyLabel;
};
class PerformanceValues : public PerformanceGraph, public ::testing::WithParamInterface<PerformanceCase> {};

// The plotted values are the printed ones: converted, then rounded to the printed decimals.
TEST_P(PerformanceValues, AsPrinted) {
  const PerformanceCase& c = GetParam();
  if (c.si) UseSI();
  auto p = ThreeBins();
  p->bAnyHeatDriven = vb::ToBoolean(c.heatDriven);
  Chart chart;
  FillPerformanceChart(chart, *p, 0);
  EXPECT_DOUBLE_EQ(*chart.Y(0, 0), c.cooling1);
  EXPECT_DOUBLE_EQ(*chart.Y(1, 0), c.efficiency1);
  EXPECT_DOUBLE_EQ(*chart.Y(1, 1), c.efficiency2);
  EXPECT_DOUBLE_EQ(chart.X(1, 1), 50);
  EXPECT_EQ((std::pair<double, double>{chart.X(0, 1), *chart.Y(0, 1)}), (std::pair<double, double>{0, 0}));
  EXPECT_EQ((std::pair<double, double>{chart.X(1, 2), *chart.Y(1, 2)}), (std::pair<double, double>{0, 0}));
  EXPECT_FALSE(chart.Y(0, 3).has_value()) << "points after the last bin stay empty";
  EXPECT_EQ(chart.series(1).label, std::string("Chiller System ") + c.efficiencyLabel);
  EXPECT_EQ(chart.yAxis.scale, Scale::Manual(0, c.cooling1 * 1.03));
  EXPECT_EQ(chart.rightAxis.scale, Scale::Manual(c.efficiency1 * 0.97, c.efficiency2 * 1.03));
  EXPECT_EQ(chart.series(1).axis, graph::YAxis::Right);
}

INSTANTIATE_TEST_SUITE_P(Units, PerformanceValues,
                         ::testing::Values(PerformanceCase{"IP", false, false, 12345, 0.654, 0.7, "kW/Ton"},
                                           // 12,345 ton-hours = 43,415.55 kWh; 0.65432 kW/ton = 0.18605 ikW/kW.
                                           PerformanceCase{"SI", true, false, 43416, 0.186, 0.199, "ikW/kW"},
                                           PerformanceCase{"HeatDriven", true, true, 43416, 0.654, 0.7, ""}),
                         [](const ::testing::TestParamInfo<PerformanceCase>& i) { return std::string(i.param.name); });

TEST_F(PerformanceGraph, EfficiencyUnitByKind) {
  auto p = ThreeBins();
  EXPECT_EQ(PerformanceEfficiencyLabel(*p, 1), "") << "kind 1: the efficiency unit id, 0";
  EXPECT_EQ(PerformanceEfficiencyLabel(*p, 2), "kW/Ton");
  EXPECT_EQ(PerformanceEfficiencyUnit(*p), KWTON_TO_IKWKW);
  p->bAnyHeatDriven = vb::kTrue;
  EXPECT_EQ(PerformanceEfficiencyUnit(*p), NO_CONV);
}

TEST_F(PerformanceGraph, NoValuesKeepTheStartingAxes) {
  auto p = Profile(1, 0);
  Chart chart;
  FillPerformanceChart(chart, *p, 0);
  EXPECT_EQ(chart.yAxis.scale, Scale::Manual(0, 103));
  EXPECT_EQ(chart.rightAxis.scale, Scale::Manual(0, 110));
}

}  // namespace
