// The chart description: the starting state, counts and point values.
#include <cmath>
#include <limits>
#include <stdexcept>

#include <gtest/gtest.h>

#include "platform/graph/graph.h"

namespace graph {
namespace {

// Every setting and value a chart holds, compared one by one so a failure names the field.
void ExpectSameState(const Chart& a, const Chart& b) {
  EXPECT_EQ(a.type(), b.type());
  EXPECT_EQ(a.title, b.title);
  EXPECT_EQ(a.subtitle, b.subtitle);
  EXPECT_EQ(a.fontFace, b.fontFace);
  EXPECT_EQ(a.background, b.background);
  EXPECT_EQ(a.plot, b.plot);
  EXPECT_EQ(a.rightPlot, b.rightPlot);
  EXPECT_EQ(a.xAxis, b.xAxis);
  EXPECT_EQ(a.yAxis, b.yAxis);
  EXPECT_EQ(a.rightAxis, b.rightAxis);
  EXPECT_EQ(a.emptyValue, b.emptyValue);
  ASSERT_EQ(a.SeriesCount(), b.SeriesCount());
  ASSERT_EQ(a.PointCount(), b.PointCount());
  for (int s = 0; s < a.SeriesCount(); ++s) {
    EXPECT_EQ(a.series(s), b.series(s)) << "series " << s;
    EXPECT_EQ(a.points(s), b.points(s)) << "points of series " << s;
  }
  EXPECT_EQ(a.pointLabels(), b.pointLabels());
  EXPECT_EQ(a.annotations(), b.annotations());
}

// A chart left as a finished graph leaves it: every setting changed, data everywhere.
void FillAsAnEarlierGraph(Chart& chart) {
  chart.title = "Cooling System Efficiency";
  chart.subtitle = "sub";
  chart.fontFace = "Courier";
  chart.background = QColor(1, 2, 3);
  chart.plot = Plot::Bars;
  chart.rightPlot = Plot::Points;
  chart.xAxis = {"Outdoor Air Temperature", Scale::Manual(30, 100)};
  chart.yAxis = {"Load", Scale::MinOnly(5)};
  chart.rightAxis = {"Efficiency", Scale::Manual(0.4, 0.9)};
  chart.emptyValue = -20;
  chart.SetSeriesCount(4);
  chart.SetPointCount(60);
  for (int s = 0; s < 4; ++s) {
    chart.series(s).label = "S" + std::to_string(s);
    chart.series(s).color = QColor(9, 9, 9);
    chart.series(s).marker = Marker::Cross;
    chart.series(s).lineWidth = 3;
    chart.series(s).axis = YAxis::Right;
    chart.series(s).legendGroup = 0;
    for (int p = 0; p < 60; ++p) chart.SetPoint(s, p, p, 100 + p);
  }
  chart.SetPointLabel(3, "J");
  chart.AddAnnotation(1, 2, "$5");
}

TEST(ChartReset, RestoresTheStartingStateAndClearsEveryPointAndSetting) {
  for (ChartType type : {ChartType::Bar, ChartType::Xy}) {
    Chart chart(type == ChartType::Bar ? ChartType::Xy : ChartType::Bar);
    FillAsAnEarlierGraph(chart);
    chart.Reset(type);
    ExpectSameState(chart, Chart(type));
  }
}

TEST(ChartReset, StartingStateIsTheOneTheReportSectionsBuildOn) {
  const Chart xy(ChartType::Xy);
  EXPECT_EQ(xy.plot, Plot::Line);
  EXPECT_EQ(Chart(ChartType::Bar).plot, Plot::Bars);
  EXPECT_EQ(xy.SeriesCount(), 1);
  EXPECT_EQ(xy.PointCount(), 50);
  for (int p = 0; p < 50; ++p) EXPECT_FALSE(xy.Y(0, p).has_value()) << p;
  EXPECT_EQ(xy.yAxis, (Axis{"Y-Axis", Scale::Manual(0, 103)}));
  EXPECT_EQ(xy.xAxis, (Axis{"X-Axis", Scale::Automatic()}));
  EXPECT_EQ(xy.title, "");
  EXPECT_EQ(xy.subtitle, "");
  EXPECT_EQ(xy.fontFace, "Arial");
  EXPECT_EQ(xy.background, QColor(255, 255, 255));
}

TEST(ChartReset, PointsTheNextGraphDoesNotSetStayEmpty) {
  Chart chart(ChartType::Xy);
  for (int p = 0; p < 50; ++p) chart.SetPoint(0, p, p, 10);
  chart.Reset(ChartType::Xy);
  for (int p = 0; p < 24; ++p) chart.SetPoint(0, p, p, 5);
  for (int p = 24; p < 50; ++p) EXPECT_FALSE(chart.HasValue(0, p)) << p;
  EXPECT_TRUE(chart.HasValue(0, 23));
}

TEST(ChartReset, WithoutATypeKeepsTypeAndPlotKinds) {
  Chart chart(ChartType::Xy);
  FillAsAnEarlierGraph(chart);
  chart.Reset();
  Chart expected(ChartType::Xy);
  expected.plot = Plot::Bars;
  expected.rightPlot = Plot::Points;
  ExpectSameState(chart, expected);
}

TEST(ChartCounts, GrowingKeepsWhatIsThereAndNewSeriesTakeTheirDefaultLook) {
  Chart chart(ChartType::Xy);
  chart.SetPointCount(3);
  chart.series(0).color = QColor(220, 223, 231);
  chart.SetPoint(0, 2, 7, 8);
  chart.SetSeriesCount(3);
  chart.SetPointCount(5);
  EXPECT_EQ(chart.series(0).color, QColor(220, 223, 231));
  EXPECT_EQ(chart.Y(0, 2), 8.0);
  EXPECT_EQ(chart.X(0, 2), 7.0);
  EXPECT_EQ(chart.series(2), DefaultSeries(2));
  EXPECT_NE(DefaultSeries(1).color, DefaultSeries(2).color);
  for (int s = 0; s < 3; ++s) EXPECT_FALSE(chart.Y(s, 4).has_value());
  EXPECT_FALSE(chart.Y(1, 2).has_value());
}

TEST(ChartCounts, WritesOutsideTheCountsAreIgnoredAndReadAsEmpty) {
  Chart chart(ChartType::Bar);
  chart.SetSeriesCount(1);
  chart.SetPointCount(4);
  chart.SetY(1, 0, 9);         // a second subset the graph does not have
  chart.SetPoint(0, 4, 1, 9);  // one point past the count
  chart.SetPoint(-1, 0, 1, 9);
  chart.SetPointLabel(4, "E");
  EXPECT_EQ(chart.SeriesCount(), 1);
  EXPECT_EQ(chart.PointCount(), 4);
  EXPECT_FALSE(chart.Y(1, 0).has_value());
  EXPECT_FALSE(chart.Y(0, 4).has_value());
  EXPECT_EQ(chart.PointLabel(4), "");
  for (int p = 0; p < 4; ++p) EXPECT_FALSE(chart.Y(0, p).has_value());
  EXPECT_THROW(chart.series(1), std::out_of_range);
  chart.SetSeriesCount(-3);
  EXPECT_EQ(chart.SeriesCount(), 0);
}

struct ValueCase {
  const char* name;
  std::optional<double> emptyValue;
  std::optional<double> y;
  double x;
  bool drawn;
};

class ChartValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ChartValue, HasValue) {
  const ValueCase& c = GetParam();
  Chart chart(ChartType::Xy);
  chart.emptyValue = c.emptyValue;
  if (c.y) chart.SetPoint(0, 0, c.x, *c.y);
  EXPECT_EQ(chart.HasValue(0, 0), c.drawn);
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(Cases, ChartValue,
                         ::testing::Values(ValueCase{"NeverSet", std::nullopt, std::nullopt, 0, false},
                                           ValueCase{"Set", std::nullopt, 5.0, 1, true},
                                           ValueCase{"ZeroWithoutEmptyValue", std::nullopt, 0.0, 0, true},
                                           ValueCase{"EqualToTheEmptyValue", -20.0, -20.0, 3, false},
                                           ValueCase{"ZeroWhenZeroIsEmpty", 0.0, 0.0, 0, false},
                                           ValueCase{"NearTheEmptyValue", -20.0, -19.5, 3, true},
                                           ValueCase{"NotANumber", std::nullopt, kNaN, 0, false},
                                           ValueCase{"Infinite", std::nullopt, kInf, 0, false},
                                           ValueCase{"XNotANumber", std::nullopt, 1.0, kNaN, false}),
                         [](const ::testing::TestParamInfo<ValueCase>& i) { return i.param.name; });

}  // namespace
}  // namespace graph
