// What is drawn where: runs of points, the right axis, bars, labels, legend.
#include <algorithm>
#include <limits>

#include <gtest/gtest.h>

#include "platform/graph/scene.h"
#include "platform/graph/tests/test_support.h"

namespace graph {
namespace {

const QSizeF kSize(10400, 5760);

class SceneTest : public ::testing::Test {
 protected:
  void SetUp() override { test::EnsureApp(); }
};

std::vector<std::vector<int>> RunsOf(const Scene& sc, int series) {
  std::vector<std::vector<int>> out;
  for (const SceneRun& r : sc.runs) {
    if (r.series == series) out.push_back(r.points);
  }
  return out;
}

std::vector<std::string> TextsOf(const Scene& sc, TextRole role) {
  std::vector<std::string> out;
  for (const SceneText& t : sc.texts) {
    if (t.role == role) out.push_back(t.text);
  }
  return out;
}

TEST_F(SceneTest, EmptyPointsAreLeftOutAndBreakTheLine) {
  Chart chart(ChartType::Xy);
  chart.emptyValue = -20;
  chart.yAxis.scale = Scale::Automatic();
  chart.SetPointCount(8);
  chart.SetPoint(0, 0, 1, 10);
  chart.SetPoint(0, 1, 2, -20);  // the empty value
  // point 2 never set
  chart.SetPoint(0, 3, 4, 30);
  chart.SetPoint(0, 4, 5, 40);
  chart.SetPoint(0, 5, 6, std::numeric_limits<double>::quiet_NaN());
  chart.SetPoint(0, 6, 7, 60);
  chart.SetPoint(0, 7, 8, 70);
  const Scene sc = BuildScene(chart, kSize);
  EXPECT_EQ(RunsOf(sc, 0), (std::vector<std::vector<int>>{{0}, {3, 4}, {6, 7}}));
  // The scale only looks at the points drawn: the empty value -20 does not pull it down.
  EXPECT_GE(sc.y.min, 0);
}

TEST_F(SceneTest, PointsOutsideAManualScaleAreLeftOutAndBreakTheLine) {
  Chart chart(ChartType::Xy);  // Y manual 0 to 103 from the reset
  chart.xAxis.scale = Scale::Manual(0, 100);
  chart.SetPointCount(6);
  const double xs[] = {10, 20, 30, 40, 120, 60};
  const double ys[] = {50, 60, -1, 60, 50, 103};  // -1: below the scale, 120: right of it
  for (int p = 0; p < 6; ++p) chart.SetPoint(0, p, xs[p], ys[p]);
  const Scene sc = BuildScene(chart, kSize);
  EXPECT_EQ(RunsOf(sc, 0), (std::vector<std::vector<int>>{{0, 1}, {3}, {5}}));
  EXPECT_DOUBLE_EQ(sc.y.min, 0);
  EXPECT_DOUBLE_EQ(sc.y.max, 103);
  // The point on the top edge is drawn on the frame.
  EXPECT_NEAR(sc.runs.back().at.front().y(), sc.plot.top(), 1e-6);
}

TEST_F(SceneTest, RightAxisSeriesAreDrawnOnTheirOwnScale) {
  Chart chart(ChartType::Xy);
  chart.plot = Plot::Bars;
  chart.rightPlot = Plot::LineAndPoints;
  chart.yAxis.scale = Scale::Manual(0, 100);
  chart.rightAxis.scale = Scale::Manual(0, 200);
  chart.SetSeriesCount(2);
  chart.SetPointCount(2);
  chart.series(1).axis = YAxis::Right;
  chart.SetPoint(0, 0, 10, 50);
  chart.SetPoint(0, 1, 20, 50);
  chart.SetPoint(1, 0, 10, 50);
  chart.SetPoint(1, 1, 20, 150);
  const Scene sc = BuildScene(chart, kSize);
  ASSERT_TRUE(sc.hasRight);
  const QRectF& pl = sc.plot;
  // Left: 50 of 100 is half way up; right: 50 of 200 a quarter, 150 three quarters.
  ASSERT_EQ(sc.bars.size(), 2u);
  EXPECT_NEAR(sc.bars[0].rect.top(), pl.bottom() - pl.height() / 2, 1e-6);
  EXPECT_NEAR(sc.bars[0].rect.bottom(), pl.bottom(), 1e-6);
  ASSERT_EQ(RunsOf(sc, 1), (std::vector<std::vector<int>>{{0, 1}}));
  const SceneRun& right = sc.runs.front();
  EXPECT_NEAR(right.at[0].y(), pl.bottom() - pl.height() / 4, 1e-6);
  EXPECT_NEAR(right.at[1].y(), pl.bottom() - pl.height() * 3 / 4, 1e-6);
  EXPECT_EQ(right.plot, Plot::LineAndPoints);
  // Each axis has its own tick labels, right of the plot for the right axis.
  EXPECT_EQ(TextsOf(sc, TextRole::YTick).back(), "100");
  EXPECT_EQ(TextsOf(sc, TextRole::RightTick).back(), "200");
  for (const SceneText& t : sc.texts) {
    if (t.role == TextRole::RightTick) {
      EXPECT_GE(t.rect.left(), pl.right());
    }
  }
}

TEST_F(SceneTest, AnAutomaticAxisScalesOnlyItsOwnSeries) {
  Chart chart(ChartType::Xy);
  chart.yAxis.scale = Scale::Automatic();
  chart.SetSeriesCount(2);
  chart.SetPointCount(2);
  chart.series(1).axis = YAxis::Right;
  for (int p = 0; p < 2; ++p) {
    chart.SetPoint(0, p, p, 40 + p * 50);  // 40 .. 90
    chart.SetPoint(1, p, p, 0.5 + p);      // 0.5 .. 1.5
  }
  const Scene sc = BuildScene(chart, kSize);
  EXPECT_GE(sc.y.max, 90);
  EXPECT_LE(sc.y.max, 100);
  EXPECT_GE(sc.right.max, 1.5);
  EXPECT_LE(sc.right.max, 2);
}

// Two categories of three bars; the middle series is negative in the second category.
Chart ThreeBarsTwoCategories() {
  Chart chart(ChartType::Bar);
  chart.yAxis.scale = Scale::Manual(-50, 150);
  chart.SetSeriesCount(3);
  chart.SetPointCount(2);
  const QColor colors[] = {QColor(0, 176, 80), QColor(146, 208, 80), QColor(255, 0, 0)};
  for (int s = 0; s < 3; ++s) chart.series(s).color = colors[s];
  chart.SetPointLabel(0, "A");
  chart.SetPointLabel(1, "B vs A");
  const double values[2][3] = {{100, 50, 25}, {80, -40, 10}};
  for (int p = 0; p < 2; ++p) {
    for (int s = 0; s < 3; ++s) chart.SetY(s, p, values[p][s]);
  }
  chart.AddAnnotation(1, 100, "$100");
  chart.AddAnnotation(2, -40, "-40");
  return chart;
}

TEST_F(SceneTest, BarsStandInCategoryOrderWithTheirSeriesSideBySide) {
  const Chart chart = ThreeBarsTwoCategories();
  const Scene sc = BuildScene(chart, kSize);
  ASSERT_EQ(sc.bars.size(), 6u);
  std::vector<SceneBar> bars = sc.bars;
  std::sort(bars.begin(), bars.end(),
            [](const SceneBar& a, const SceneBar& b) { return a.rect.left() < b.rect.left(); });
  const int order[6][2] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(bars[static_cast<size_t>(i)].point, order[i][0]) << i;
    EXPECT_EQ(bars[static_cast<size_t>(i)].series, order[i][1]) << i;
  }
  // Heights in proportion to the values, from the zero line; the negative bar below it.
  const double zero = sc.plot.bottom() - sc.plot.height() * 50 / 200;
  const double perUnit = sc.plot.height() / 200;
  EXPECT_NEAR(bars[0].rect.bottom(), zero, 1e-6);
  EXPECT_NEAR(bars[0].rect.height(), 100 * perUnit, 1e-6);
  EXPECT_NEAR(bars[2].rect.height(), 25 * perUnit, 1e-6);
  EXPECT_NEAR(bars[4].rect.top(), zero, 1e-6);
  EXPECT_NEAR(bars[4].rect.height(), 40 * perUnit, 1e-6);
  // The category labels under their groups, in order.
  EXPECT_EQ(TextsOf(sc, TextRole::XTick), (std::vector<std::string>{"A", "B vs A"}));
  for (const SceneText& t : sc.texts) {
    if (t.role != TextRole::XTick) continue;
    const int p = t.text == "A" ? 0 : 1;
    EXPECT_NEAR(t.rect.center().x(), bars[static_cast<size_t>(3 * p + 1)].rect.center().x(), 1e-6);
    EXPECT_GE(t.rect.top(), sc.plot.bottom());
  }
}

TEST_F(SceneTest, DataLabelsSitOnTheirCategoryAboveAPositiveValueAndBelowANegativeOne) {
  const Scene sc = BuildScene(ThreeBarsTwoCategories(), kSize);
  const double slot = sc.plot.width() / 2;
  int seen = 0;
  for (const SceneText& t : sc.texts) {
    if (t.role != TextRole::Annotation) continue;
    ++seen;
    if (t.text == "$100") {
      EXPECT_NEAR(t.rect.center().x(), sc.plot.left() + slot / 2, 1e-6);
      EXPECT_LE(t.rect.bottom(), sc.plot.bottom() - sc.plot.height() * 150 / 200);
    } else {
      EXPECT_EQ(t.text, "-40");
      EXPECT_NEAR(t.rect.center().x(), sc.plot.left() + slot * 1.5, 1e-6);
      EXPECT_GE(t.rect.top(), sc.plot.bottom() - sc.plot.height() * 10 / 200);
    }
  }
  EXPECT_EQ(seen, 2);
}

TEST_F(SceneTest, BarsAreDrawnInTheirSeriesColours) {
  const Chart chart = ThreeBarsTwoCategories();
  const Scene sc = BuildScene(chart, kSize);
  const QImage img = test::Draw(chart, static_cast<int>(kSize.width()), static_cast<int>(kSize.height()));
  for (const SceneBar& b : sc.bars) {
    const QPoint at = (b.rect.center() / 15).toPoint();
    EXPECT_EQ(img.pixelColor(at), chart.series(b.series).color) << "series " << b.series << " point " << b.point;
  }
  // Between the groups there is only the background.
  const QPointF between(sc.plot.center().x(), sc.plot.top() + sc.plot.height() * 0.2);
  EXPECT_EQ(img.pixelColor((between / 15).toPoint()), QColor(255, 255, 255));
}

TEST_F(SceneTest, LegendListsLabelledSeriesOnceInOrder) {
  Chart chart(ChartType::Xy);
  chart.SetSeriesCount(5);
  chart.series(0).label = "Chiller 1";
  chart.series(1).label = "Chiller 2";
  chart.series(2).label = "";           // no label: no entry
  chart.series(3).label = "Chiller 2";  // the second run of chiller 2 joins its entry
  chart.series(3).legendGroup = 1;
  chart.series(4).label = ">87.5%";
  chart.series(4).legendGroup = 4;
  const Scene sc = BuildScene(chart, kSize);
  std::vector<int> listed;
  for (const LegendEntry& e : sc.legend) listed.push_back(e.series);
  EXPECT_EQ(listed, (std::vector<int>{0, 1, 4}));
  EXPECT_EQ(TextsOf(sc, TextRole::Legend), (std::vector<std::string>{"Chiller 1", "Chiller 2", ">87.5%"}));
  for (const LegendEntry& e : sc.legend) EXPECT_GT(e.swatch.top(), sc.plot.bottom());
}

TEST_F(SceneTest, PointLabelsReplaceTheNumbersUnderTheXAxis) {
  Chart chart(ChartType::Xy);
  chart.emptyValue = -20;
  chart.yAxis.scale = Scale::Automatic();
  chart.SetPointCount(12);
  for (int m = 1; m <= 12; ++m) {
    chart.SetPoint(0, m - 1, m, 10 * m);
    chart.SetPointLabel(m - 1, std::string(1, "JFMAMJJASOND"[m - 1]));
  }
  const Scene sc = BuildScene(chart, kSize);
  EXPECT_EQ(TextsOf(sc, TextRole::XTick),
            (std::vector<std::string>{"J", "F", "M", "A", "M", "J", "J", "A", "S", "O", "N", "D"}));
  const SceneRun& run = sc.runs.front();
  size_t i = 0;
  for (const SceneText& t : sc.texts) {
    if (t.role == TextRole::XTick) {
      EXPECT_NEAR(t.rect.center().x(), run.at[i++].x(), 1e-6);
    }
  }
}

TEST_F(SceneTest, AreasFillDownToTheZeroLine) {
  Chart chart(ChartType::Xy);
  chart.plot = Plot::Area;
  chart.yAxis.scale = Scale::Manual(0, 100);
  chart.SetPointCount(3);
  for (int p = 0; p < 3; ++p) chart.SetPoint(0, p, p, 50);
  const Scene sc = BuildScene(chart, kSize);
  ASSERT_EQ(sc.runs.size(), 1u);
  EXPECT_NEAR(sc.runs[0].base, sc.plot.bottom(), 1e-6);
  const QImage img = test::Draw(chart, static_cast<int>(kSize.width()), static_cast<int>(kSize.height()));
  const QPointF inside(sc.plot.center().x(), sc.plot.bottom() - sc.plot.height() * 0.25);
  const QPointF above(sc.plot.center().x(), sc.plot.bottom() - sc.plot.height() * 0.75);
  EXPECT_EQ(img.pixelColor((inside / 15).toPoint()), chart.series(0).color);
  EXPECT_EQ(img.pixelColor((above / 15).toPoint()), QColor(255, 255, 255));
}

TEST_F(SceneTest, EverythingStaysInsideTheGraphAtTheSmallestReportSizes) {
  Chart chart(ChartType::Bar);
  chart.title = "% ton-hr by Operating Mode";
  chart.SetSeriesCount(3);
  chart.SetPointCount(3);
  for (int s = 0; s < 3; ++s) chart.series(s).label = "Hybrid Clg. : 17.9%";
  for (int p = 0; p < 3; ++p) {
    chart.SetPointLabel(p, "B vs A");
    chart.SetY(0, p, 12.5);
    chart.AddAnnotation(p + 1, 12.5, "12.5 %");
  }
  chart.yAxis.scale = Scale::Manual(-0.00001, 20);
  // A summary frame of the economic report, and the narrow cooling duty summary frame of a
  // portrait page.
  for (const QSizeF small : {QSizeF(3593, 2160), QSizeF(1084, 5040)}) {
    const Scene sc = BuildScene(chart, small);
    const QRectF whole(QPointF(0, 0), small);
    EXPECT_TRUE(whole.contains(sc.plot)) << small.width();
    EXPECT_GT(sc.plot.height(), small.height() / 5) << small.width();
    for (const SceneText& t : sc.texts) {
      if (!t.vertical) {
        EXPECT_TRUE(whole.contains(t.rect)) << t.text << " at width " << small.width();
      }
    }
  }
}

}  // namespace
}  // namespace graph
