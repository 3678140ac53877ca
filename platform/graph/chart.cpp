// The chart description: starting state, counts and point values.
#include <algorithm>
#include <array>
#include <cmath>

#include "platform/graph/graph.h"

namespace graph {

namespace {

// Counts the report code passes were 16-bit; larger ones are a caller's fault, not a reason
// to allocate without limit.
constexpr int kMaxCount = 32767;

int ClampCount(int count) { return std::clamp(count, 0, kMaxCount); }

}  // namespace

Series DefaultSeries(int s) {
  static const std::array<QColor, 12> colors = {QColor(0, 0, 180),   QColor(180, 0, 0),     QColor(0, 150, 0),
                                                QColor(226, 126, 0), QColor(128, 0, 128),   QColor(0, 160, 160),
                                                QColor(120, 80, 40), QColor(100, 100, 100), QColor(200, 0, 200),
                                                QColor(0, 100, 220), QColor(150, 150, 0),   QColor(0, 0, 0)};
  static const std::array<Marker, 5> markers = {Marker::Circle, Marker::Square, Marker::Triangle, Marker::Diamond,
                                                Marker::Cross};
  Series series;
  const auto i = static_cast<size_t>(std::max(0, s));
  series.color = colors[i % colors.size()];
  series.marker = markers[i % markers.size()];
  return series;
}

Chart::Chart(ChartType type) : type_(type) { Reset(type); }

void Chart::Reset(ChartType type) {
  type_ = type;
  plot = type == ChartType::Bar ? Plot::Bars : Plot::Line;
  rightPlot.reset();
  Reset();
}

void Chart::Reset() {
  title.clear();
  subtitle.clear();
  fontFace = "Arial";
  background = QColor(255, 255, 255);
  xAxis = {"X-Axis", Scale::Automatic()};
  yAxis = {"Y-Axis", Scale::Manual(0, 103)};
  rightAxis = {};
  emptyValue.reset();
  series_.clear();
  points_.clear();
  pointLabels_.clear();
  annotations_.clear();
  pointCount_ = 0;
  SetSeriesCount(1);
  SetPointCount(50);
}

void Chart::SetSeriesCount(int count) {
  count = ClampCount(count);
  const int old = SeriesCount();
  series_.resize(static_cast<size_t>(count));
  points_.resize(static_cast<size_t>(count));
  for (int s = old; s < count; ++s) {
    series_[static_cast<size_t>(s)] = DefaultSeries(s);
    points_[static_cast<size_t>(s)].assign(static_cast<size_t>(pointCount_), Point{});
  }
}

void Chart::SetPointCount(int count) {
  pointCount_ = ClampCount(count);
  for (auto& pts : points_) pts.resize(static_cast<size_t>(pointCount_));
  pointLabels_.resize(static_cast<size_t>(pointCount_));
}

void Chart::SetX(int s, int p, double x) {
  if (s < 0 || s >= SeriesCount() || p < 0 || p >= pointCount_) return;
  points_[static_cast<size_t>(s)][static_cast<size_t>(p)].x = x;
}

void Chart::SetY(int s, int p, double y) {
  if (s < 0 || s >= SeriesCount() || p < 0 || p >= pointCount_) return;
  points_[static_cast<size_t>(s)][static_cast<size_t>(p)].y = y;
}

void Chart::SetPoint(int s, int p, double x, double y) {
  SetX(s, p, x);
  SetY(s, p, y);
}

double Chart::X(int s, int p) const {
  if (s < 0 || s >= SeriesCount() || p < 0 || p >= pointCount_) return 0;
  return points_[static_cast<size_t>(s)][static_cast<size_t>(p)].x;
}

std::optional<double> Chart::Y(int s, int p) const {
  if (s < 0 || s >= SeriesCount() || p < 0 || p >= pointCount_) return std::nullopt;
  return points_[static_cast<size_t>(s)][static_cast<size_t>(p)].y;
}

bool Chart::HasValue(int s, int p) const {
  const std::optional<double> y = Y(s, p);
  if (!y || !std::isfinite(*y)) return false;
  if (emptyValue && *y == *emptyValue) return false;
  return type_ == ChartType::Bar || std::isfinite(X(s, p));
}

void Chart::SetPointLabel(int p, const std::string& text) {
  if (p < 0 || p >= pointCount_) return;
  pointLabels_[static_cast<size_t>(p)] = text;
}

std::string Chart::PointLabel(int p) const {
  if (p < 0 || p >= pointCount_) return {};
  return pointLabels_[static_cast<size_t>(p)];
}

void Chart::AddAnnotation(double x, double y, const std::string& text) { annotations_.push_back({x, y, text}); }

Plot Chart::PlotOf(int s) const {
  if (type_ == ChartType::Bar) return Plot::Bars;
  if (series(s).axis == YAxis::Right && rightPlot) return *rightPlot;
  return plot;
}

}  // namespace graph
