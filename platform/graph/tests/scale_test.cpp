// Axis ranges and tick texts.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "platform/graph/scene.h"

namespace graph {
namespace {

struct ScaleCase {
  const char* name;
  Scale scale;
  bool hasData;
  double lo, hi;
  bool includeZero;
  double min, max;  // expected range
};

class ScaleRange : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleRange, ResolvesToTheExpectedRange) {
  const ScaleCase& c = GetParam();
  const AxisRange r = ResolveScale(c.scale, c.hasData, c.lo, c.hi, c.includeZero, 5);
  EXPECT_DOUBLE_EQ(r.min, c.min);
  EXPECT_DOUBLE_EQ(r.max, c.max);
  ASSERT_FALSE(r.ticks.empty());
  for (double t : r.ticks) {
    EXPECT_GE(t, r.min - 1e-9 * (r.max - r.min));
    EXPECT_LE(t, r.max + 1e-9 * (r.max - r.min));
  }
  EXPECT_LE(r.ticks.size(), 11u);
  // The range of an automatic end contains the data.
  if (c.hasData && std::isfinite(c.lo) && c.scale.mode == ScaleMode::Automatic) {
    EXPECT_LE(r.min, c.lo);
    EXPECT_GE(r.max, c.hi);
  }
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, ScaleRange,
    ::testing::Values(
        ScaleCase{"NoData", Scale::Automatic(), false, 0, 0, false, 0, 1},
        ScaleCase{"NoDataBars", Scale::Automatic(), false, 0, 0, true, 0, 1},
        ScaleCase{"RoundedOut", Scale::Automatic(), true, 3, 97, false, 0, 100},
        ScaleCase{"ConstantValue", Scale::Automatic(), true, 50, 50, false, 44, 56},
        ScaleCase{"ConstantZero", Scale::Automatic(), true, 0, 0, false, 0, 1},
        ScaleCase{"ConstantNegative", Scale::Automatic(), true, -8, -8, false, -9, -7},
        ScaleCase{"AllNegative", Scale::Automatic(), true, -157, -103, false, -160, -100},
        ScaleCase{"AllNegativeBarsReachZero", Scale::Automatic(), true, -160000, -25000, true, -200000, 0},
        ScaleCase{"PositiveBarsStartAtZero", Scale::Automatic(), true, 18000, 34000, true, 0, 40000},
        ScaleCase{"UnusableDataGivesTheEmptyRange", Scale::Automatic(), true, kNaN, 5, false, 0, 1},
        ScaleCase{"ManualAsSetEvenWhenDataIsOutside", Scale::Manual(0, 103), true, -5, 500, false, 0, 103},
        ScaleCase{"ManualTinyNegativeMinimum", Scale::Manual(-0.00001, 1.6), true, 0, 1, true, -0.00001, 1.6},
        ScaleCase{"ManualWithoutSpanWidened", Scale::Manual(0, 0), true, 0, 0, false, 0, 1},
        ScaleCase{"ManualReversedWidened", Scale::Manual(10, 5), true, 0, 0, false, 10, 11},
        ScaleCase{"MinOnlyMaximumFromData", Scale::MinOnly(0), true, 2, 96, false, 0, 100},
        ScaleCase{"MinOnlyDataBelowMinimum", Scale::MinOnly(0), true, -9, -1, false, 0, 1},
        ScaleCase{"MaxOnlyMinimumFromData", Scale::MaxOnly(110), true, 0.5, 0.9, false, 0, 110}),
    [](const ::testing::TestParamInfo<ScaleCase>& i) { return i.param.name; });

TEST(ScaleTicks, TickValuesAreWholeStepsWithoutMinusZero) {
  const AxisRange r = ResolveScale(Scale::Manual(-0.00001, 1.6 * 1410000), true, 0, 1, true, 5);
  ASSERT_FALSE(r.ticks.empty());
  EXPECT_EQ(r.ticks.front(), 0.0);
  EXPECT_FALSE(std::signbit(r.ticks.front()));
  EXPECT_DOUBLE_EQ(r.step, 500000);
  EXPECT_DOUBLE_EQ(r.ticks.back(), 2000000);
}

struct TickCase {
  double value, step;
  const char* text;
};

TEST(ScaleTicks, TextHasThousandsSeparatorsAndTheDecimalsOfTheStep) {
  const TickCase cases[] = {
      {1500000, 500000, "1,500,000"}, {-150000, 25000, "-150,000"}, {0, 20, "0"}, {0.7, 0.1, "0.7"}, {2.5, 2.5, "2.5"},
      {0.25, 0.25, "0.25"},           {0.6, 0.05, "0.60"}};
  for (const TickCase& c : cases) EXPECT_EQ(TickText(c.value, c.step), c.text) << c.value << " step " << c.step;
}

}  // namespace
}  // namespace graph
