// graph: the report graphs. A `Chart` describes one graph (its series, points, axes, scales,
// titles and labels); `ExportPicture` draws it with QPainter into an SVG picture of exactly the
// requested size in twips, which the document takes as a `richtext::Picture` (paste it into a
// frame with richtext::TerPastePicture; the RTF writer turns it into PNG by itself). Nothing
// goes through the clipboard. Drawing needs a QGuiApplication (fonts) and nothing else, so
// report runs, tests and benchmarks draw headless.
//
// ---------------------------------------------------------------------------------------
// The life of one graph
// ---------------------------------------------------------------------------------------
//   graph::Chart chart;                        // the report keeps one bar and one XY chart
//   chart.Reset(graph::ChartType::Xy);         // starting state, every point empty
//   chart.SetSeriesCount(2);
//   chart.SetPointCount(24);
//   chart.series(0).label = "Cooling ton-hr";  // colour, marker, line width, axis ...
//   chart.SetPoint(0, p, x, y);                // the points a section has
//   chart.yAxis.scale = graph::Scale::Manual(0, ymax * 1.03);
//   auto pic = graph::ExportPicture(chart, textWidth - 400, 5760);   // twips
//
// Starting state (Reset), for both types: no title or subtitle, "Arial" (drawn with the face
// richtext::LayoutFace gives), white background, no grid; one series of 50 points, every
// point empty; the Y axis "Y-Axis" with the manual scale 0 to 103; the X axis "X-Axis" with an
// automatic scale; the right axis without a label, automatic; no empty-point value, no point
// labels, no annotations. Plot: Bars for ChartType::Bar, Line for ChartType::Xy. Reset()
// without a type keeps the chart's type and plot kinds and restores everything else. Nothing
// of an earlier graph survives a reset: a point that the next graph does not set stays empty.
//
// ---------------------------------------------------------------------------------------
// What is drawn
// ---------------------------------------------------------------------------------------
// - Series s has PointCount() points. A point is drawn when its Y was set, is finite and is
//   not the chart's emptyValue; it is also left out when it lies outside a manual scale
//   (X, or the Y scale of its series' axis). A line or area is broken at every point left
//   out: each unbroken run of points is drawn on its own (a run of one point draws no line).
//   Points are joined in point order, not sorted by X.
// - ChartType::Xy: X and Y are numbers. Series on YAxis::Right use the right scale; the right
//   axis is drawn when a series is on it or it has a label. `plot` is how left-axis series are
//   drawn, `rightPlot` (when set) how right-axis series are drawn:
//     Line           straight segments, the series' line width;
//     Points         a marker at each point;
//     LineAndPoints  both;
//     Area           the line, filled down to Y = 0 (the nearest edge when 0 is off the
//                    scale), one area per unbroken run;
//     Bars           a bar from Y = 0 at each point's X; the bar series stand side by side,
//                    the group 80 % as wide as the closest two bar positions.
//   Point labels, when any is set, replace the numbers under the X axis: label p is written at
//   the X of point p (of the first series in which point p is drawn).
// - ChartType::Bar: point p is category p; point label p is written under its group; series
//   s is the s-th bar of every group, in its colour; bars rise (or fall) from 0. X values and
//   the X scale are not used. Annotations are data labels: the text is centred on category
//   position x (counting from 1: x = p + 1 is category p) just above y (below it when y < 0).
//   (On an XY chart an annotation is written the same way at (x, y) of the left axis.)
// - Series with a label get a legend entry below the graph, in series order; a series whose
//   legendGroup names another series shares that series' entry.
// - Scales. Manual: drawn as set (a range with max <= min is widened to a positive span).
//   MinOnly / MaxOnly: that end as set, the other automatic. Automatic: the drawn values (with
//   0 for bars and areas) rounded out to steps of 1, 2, 2.5 or 5 times a power of ten; no data
//   gives 0 to 1, a constant value a range around it: every automatic range contains its data
//   and has a positive span. Tick labels are written with thousands separators and as many
//   decimals as the step needs.
// - Text sizes follow the picture's height (9 points at 5760 twips and above, down to 6).
//
// ---------------------------------------------------------------------------------------
// From the report sections' graph settings to this API
// ---------------------------------------------------------------------------------------
// The report sections were first written against two outside graph controls that took their
// settings by number. Each number a section sets becomes (s = series, p = point, from 0):
//
// Both types
//   InitGraph (all its named settings)  Reset(type); type 3 or other: Reset()
//   export [118] (XY) / [125] (bar)      ExportPicture(chart, width, height) (false: nullopt)
//   [108] = 20, PEactions = 20           Reset(ChartType::Xy) where a section skips InitGraph
//   [108] = 0, [115] = 0                 nothing: the export draws the chart as it stands
//   values read back ([11] [12] [33] [93] [129] [132] [133]): the same members and getters
// XY chart (graph type 2)
//   [9] main title, [10] subtitle        title, subtitle
//   [8] background colour, [20] font     background, fontFace
//   [11] subsets, [12] points            SetSeriesCount(n), SetPointCount(n)
//   [32] / [33] / [68] axis labels       xAxis.label / yAxis.label / rightAxis.label
//   [42] plotting method                 1 -> plot = Points; 8 -> Line; 9 -> Area;
//                                        10 -> plot from [198], rightPlot from [199]
//   [198] / [199]                        2 -> Points, 3 -> LineAndPoints, 6 -> Bars
//   [58] / [55] / [71] scale control     xAxis / yAxis / rightAxis .scale.mode:
//                                        0 -> Automatic, 1 -> MinOnly, 2 -> MaxOnly, 3 -> Manual
//   [59] [60] / [56] [57] / [72] [73]    .scale.min / .scale.max of xAxis / yAxis / rightAxis
//   [67] = n                             the last n series get axis = YAxis::Right
//   [93] empty-point value               emptyValue
//   [128](s, p) / [129](s, p)            SetX / SetY (SetPoint both); X(s, p), Y(s, p) read back
//   [131](s) label, [132](s) colour      series(s).label, series(s).color (VB colour 0 = black)
//   [133](s) point type                  series(s).marker: 3 Square, 5 Circle, 9 Triangle,
//                                        11 Diamond (solid shapes); any other: keep the default
//   [134](s) line style                  series(s).lineWidth, points: 0 -> 1.0, 5 -> 1.0,
//                                        10 -> 1.5, 6 -> 2.0, 11 -> 3.0
//   [135](s, p) point label              SetPointLabel(p, text)
//   [180](s) = k                         series(s).legendGroup = k (k = s: its own entry)
//   [19] [21] [43] [44] [48] [205] [226] [256] [278] [397] [470], AutoScaleData,
//   DataShadows, SubsetByPoint, GridStyle, GridLineControl: no counterpart (the look is fixed:
//   no grid, no shadows, legend below)
// Bar chart (graph type 1)
//   [11] main title, [10] background, [22] font      title, background, fontFace
//   [13] subsets, [14] points                        SetSeriesCount(n), SetPointCount(n)
//   [35] / [36] axis labels                          xAxis.label / yAxis.label
//   [61] scale control, [62] / [63] Y min / max      yAxis.scale (mode as [55] above)
//   [98] empty-point value                           emptyValue
//   [135](s, p) value                                SetY(s, p, value)
//   [139](s) label, [141](s) colour                  series(s).label, series(s).color
//   [140](p) point label                             SetPointLabel(p, text)
//   [154](p) / [155](p) / [156](p) annotation        AddAnnotation(x, y, text), with the text
//                                                    after its leading "|l " or "|1 " (the
//                                                    prefix is dropped: every data label
//                                                    sits centred on its place)
//   [21] [23] [47] [49] [52] [84] [92] [94] [95] [142] [151] [153] [162] [173] [187] [188]
//   [218] [220] [221] [230] [231] [243] [336] [435]: no counterpart (fixed look)
// Writes outside the series or point counts (SetX, SetY, SetPoint, SetPointLabel) are ignored,
// as the sections rely on; series(s) outside the count throws std::out_of_range.
#pragma once

#include <QColor>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/richtext/model.h"

class QPainter;
class QRectF;

namespace graph {

// The graph type of the report code: 1 the bar graph, 2 the scientific (XY) graph.
enum class ChartType { Bar = 1, Xy = 2 };

// How a series is drawn (see "What is drawn").
enum class Plot { Line, Points, LineAndPoints, Area, Bars };

enum class Marker { Circle, Square, Triangle, Diamond, Cross };

enum class YAxis { Left, Right };

enum class ScaleMode { Automatic, MinOnly, MaxOnly, Manual };

struct Scale {
  ScaleMode mode = ScaleMode::Automatic;
  double min = 0;
  double max = 0;

  static Scale Automatic() { return {}; }
  static Scale Manual(double lo, double hi) { return {ScaleMode::Manual, lo, hi}; }
  static Scale MinOnly(double lo) { return {ScaleMode::MinOnly, lo, 0}; }
  static Scale MaxOnly(double hi) { return {ScaleMode::MaxOnly, 0, hi}; }
  bool operator==(const Scale&) const = default;
};

struct Axis {
  std::string label;
  Scale scale;
  bool operator==(const Axis&) const = default;
};

// The look of one series (its points are kept by the chart).
struct Series {
  std::string label;  // legend text; empty: no legend entry
  QColor color;       // line, marker, area and bar colour
  Marker marker = Marker::Circle;
  double lineWidth = 1.0;  // points
  YAxis axis = YAxis::Left;
  int legendGroup = -1;  // -1 or its own index: own legend entry; else the series it joins
  bool operator==(const Series&) const = default;
};

struct Point {
  double x = 0;
  std::optional<double> y;  // empty until set
  bool operator==(const Point&) const = default;
};

// A text written at a place of the graph (data coordinates; see "What is drawn").
struct Annotation {
  double x = 0;
  double y = 0;
  std::string text;
  bool operator==(const Annotation&) const = default;
};

class Chart {
 public:
  explicit Chart(ChartType type = ChartType::Xy);

  // The starting state of a graph of `type`, with every point empty.
  void Reset(ChartType type);
  // The same for the chart's own type, keeping `plot` and `rightPlot`.
  void Reset();

  ChartType type() const { return type_; }

  // Counts. Growing keeps what is there; new series take the default look of their index,
  // new points are empty.
  void SetSeriesCount(int count);
  int SeriesCount() const { return static_cast<int>(series_.size()); }
  void SetPointCount(int count);
  int PointCount() const { return pointCount_; }

  Series& series(int s) { return series_.at(static_cast<size_t>(s)); }
  const Series& series(int s) const { return series_.at(static_cast<size_t>(s)); }

  // Point values; ignored outside the counts.
  void SetX(int s, int p, double x);
  void SetY(int s, int p, double y);
  void SetPoint(int s, int p, double x, double y);
  // Read back: 0 / empty outside the counts.
  double X(int s, int p) const;
  std::optional<double> Y(int s, int p) const;
  const std::vector<Point>& points(int s) const { return points_.at(static_cast<size_t>(s)); }
  // Whether point p of series s has a Y to draw (set, finite, not the empty value); the
  // scales are not looked at.
  bool HasValue(int s, int p) const;

  void SetPointLabel(int p, const std::string& text);
  std::string PointLabel(int p) const;
  const std::vector<std::string>& pointLabels() const { return pointLabels_; }

  void AddAnnotation(double x, double y, const std::string& text);
  const std::vector<Annotation>& annotations() const { return annotations_; }

  std::string title;
  std::string subtitle;
  std::string fontFace;
  QColor background;
  Plot plot = Plot::Line;
  std::optional<Plot> rightPlot;  // unset: right-axis series are drawn as `plot`
  Axis xAxis;
  Axis yAxis;
  Axis rightAxis;
  std::optional<double> emptyValue;

  // The plot kind of series s (by its axis).
  Plot PlotOf(int s) const;

 private:
  ChartType type_;
  int pointCount_ = 0;
  std::vector<Series> series_;
  std::vector<std::vector<Point>> points_;
  std::vector<std::string> pointLabels_;
  std::vector<Annotation> annotations_;
};

// The default look of series s: a colour of a fixed table of twelve, and a marker.
Series DefaultSeries(int s);

// Draws the chart into `box`; the painter's coordinates are twips (as richtext::PaintPage
// uses them), so text sizes and line widths follow the page.
void Render(const Chart& chart, QPainter& painter, const QRectF& box);

// The chart as an SVG document of width x height twips: its size attributes give that size
// in millimetres and its view box counts twips. Empty when a size is not positive.
std::string ToSvg(const Chart& chart, int32_t widthTwips, int32_t heightTwips);

// The chart as a document picture of exactly width x height twips (vector, SVG); nullopt when
// a size is not positive or above 32767 twips (the sizes the report passes are 16-bit).
std::optional<richtext::Picture> ExportPicture(const Chart& chart, int32_t widthTwips, int32_t heightTwips);

}  // namespace graph
