// Laying out a chart: text size, title, legend, axes and plot area, then the data.
#include <algorithm>
#include <cmath>

#include <QFontMetricsF>

#include "platform/graph/scene.h"
#include "platform/richtext/layout.h"

namespace graph {

namespace {

// The texts of a graph 5760 twips high (4 inches) and higher are 9 points; smaller graphs
// get smaller texts, down to 6 points.
double TextPoints(double height) { return std::clamp(height / 5760.0 * 9.0, 6.0, 9.0); }

QString Q(const std::string& s) { return QString::fromStdString(s); }

const int kWrapCentre = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;

// Maps data values to twips along one side of the plot area.
struct Mapper {
  double lo, hi;    // data range
  double from, to;  // twips: where lo and hi are drawn
  double operator()(double v) const { return from + (v - lo) / (hi - lo) * (to - from); }
  bool Contains(double v) const {
    const double eps = (hi - lo) * 1e-9;
    return v >= lo - eps && v <= hi + eps;
  }
  double Clamp(double v) const { return std::clamp(v, lo, hi); }
};

// Data extremes of a set of values.
struct Extremes {
  bool any = false;
  double lo = 0, hi = 0;
  void Add(double v) {
    if (!any) lo = hi = v;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
    any = true;
  }
};

bool HasRightAxis(const Chart& chart) {
  if (chart.type() != ChartType::Xy) return false;
  if (!chart.rightAxis.label.empty()) return true;
  for (int s = 0; s < chart.SeriesCount(); ++s) {
    if (chart.series(s).axis == YAxis::Right) return true;
  }
  return false;
}

// The series listed in the legend, in order: those with a label that do not join another.
std::vector<int> LegendSeries(const Chart& chart) {
  std::vector<int> out;
  for (int s = 0; s < chart.SeriesCount(); ++s) {
    const Series& ser = chart.series(s);
    const int g = ser.legendGroup;
    const bool joins = g >= 0 && g != s && g < chart.SeriesCount();
    if (!ser.label.empty() && !joins) out.push_back(s);
  }
  return out;
}

// The left edge of a text `w` wide that starts at `left`, moved inside a graph `W` wide.
double KeepInside(double left, double w, double W) { return std::max(0.0, std::min(left, W - w)); }

// Keeps the labels that do not run into the one kept before them (left to right).
void AddSpacedLabels(Scene& sc, std::vector<SceneText> labels, double gap) {
  std::sort(labels.begin(), labels.end(),
            [](const SceneText& a, const SceneText& b) { return a.rect.center().x() < b.rect.center().x(); });
  double lastRight = -1e300;
  for (auto& t : labels) {
    if (t.rect.left() < lastRight + gap) continue;
    lastRight = t.rect.right();
    sc.texts.push_back(std::move(t));
  }
}

// Lays out one chart in steps, each named by what it places: the titles, the legend rows,
// the scales, the plot area and its axes, the plot, the data labels and the legend. Each
// step adds its texts to the scene in drawing order.
class SceneBuilder {
 public:
  SceneBuilder(const Chart& chart, const QSizeF& size)
      : chart_(chart),
        W_(std::max(size.width(), 1.0)),
        H_(std::max(size.height(), 1.0)),
        px_(TextPoints(H_) * 20),
        fm_(ChartFont(chart, px_, false)),
        fmTitle_(ChartFont(chart, px_ * 1.15, true)),
        lineH_(fm_.height()),
        gap_(px_ * 0.4),
        margin_(px_ * 0.6),
        tickLen_(px_ * 0.35),
        textW_(std::max(1.0, W_ - 2 * margin_)),
        swatchW_(lineH_ * 1.6),
        bar_(chart.type() == ChartType::Bar) {
    sc_.size = size;
    sc_.fontPixels = px_;
    sc_.markerSize = px_ * 0.55;
  }

  Scene Build() {
    Titles();
    LegendRows();
    Scales();
    PlotArea();
    Axes();
    if (bar_) {
      BarCategories();
    } else {
      XTickLabels();
      XyBars();
      XyRuns();
    }
    DataLabels();
    Legend();
    return std::move(sc_);
  }

 private:
  struct Entry {
    int series;
    double width, height;
  };
  struct Row {
    std::vector<Entry> entries;
    double height = 0;
  };

  double Width(const std::string& s) const { return fm_.horizontalAdvance(Q(s)); }
  static double WrappedHeight(const QFontMetricsF& m, const std::string& text, double w) {
    return m.boundingRect(QRectF(0, 0, w, 1e6), Qt::TextWordWrap, Q(text)).height();
  }

  // Title and subtitle at the top, wrapped to the width.
  void Titles() {
    top_ = margin_;
    if (!chart_.title.empty()) {
      const double h = WrappedHeight(fmTitle_, chart_.title, textW_);
      sc_.texts.push_back({TextRole::Title, chart_.title, QRectF(margin_, top_, textW_, h), kWrapCentre, true});
      top_ += h;
    }
    if (!chart_.subtitle.empty()) {
      const double h = WrappedHeight(fm_, chart_.subtitle, textW_);
      sc_.texts.push_back({TextRole::Subtitle, chart_.subtitle, QRectF(margin_, top_, textW_, h), kWrapCentre});
      top_ += h;
    }
    top_ += lineH_ * 0.5;  // the top tick label reaches above the plot area
  }

  // Legend rows at the bottom; an entry wider than the graph wraps its text. Below the plot
  // area: the legend, the X axis label and the X tick labels.
  void LegendRows() {
    double used = 0;
    for (int s : LegendSeries(chart_)) {
      const std::string& label = chart_.series(s).label;
      const double textRoom = std::max(1.0, textW_ - swatchW_ - gap_ * 0.5);
      const double labelW = std::min(Width(label), textRoom);
      const double w = swatchW_ + gap_ * 0.5 + labelW;
      const double h = std::max(lineH_, WrappedHeight(fm_, label, textRoom));
      if (rows_.empty() || (used > 0 && used + lineH_ + w > textW_)) {
        rows_.emplace_back();
        used = 0;
      }
      used += (used > 0 ? lineH_ : 0) + w;
      rows_.back().entries.push_back({s, w, h});
      rows_.back().height = std::max(rows_.back().height, h);
    }
    bottom_ = H_ - margin_;
    for (const Row& r : rows_) bottom_ -= r.height;
    if (!rows_.empty()) bottom_ -= gap_;
    legendTop_ = bottom_ + gap_;
    xLabel_ = !chart_.xAxis.label.empty();
    if (xLabel_) bottom_ -= lineH_;
    xLabelTop_ = bottom_;
    bottom_ -= tickLen_ + lineH_;
  }

  // Scales: X first, then each Y side from the points inside the X range.
  void Scales() {
    sc_.hasRight = HasRightAxis(chart_);
    const double plotWGuess = W_ * 0.8;
    const int xTarget = std::clamp(static_cast<int>(plotWGuess / (lineH_ * 5)), 2, 10);
    const int yTarget = std::clamp(static_cast<int>((bottom_ - top_) / (lineH_ * 1.8)), 2, 10);
    Extremes xs, left, right;
    bool leftZero = false, rightZero = false;
    for (int s = 0; s < chart_.SeriesCount(); ++s) {
      for (int p = 0; p < chart_.PointCount(); ++p) {
        if (chart_.HasValue(s, p)) xs.Add(chart_.X(s, p));
      }
    }
    if (!bar_) sc_.x = ResolveScale(chart_.xAxis.scale, xs.any, xs.lo, xs.hi, false, xTarget);
    const Mapper xRange{sc_.x.min, sc_.x.max, 0, 1};
    for (int s = 0; s < chart_.SeriesCount(); ++s) {
      const bool onRight = !bar_ && chart_.series(s).axis == YAxis::Right;
      const Plot plot = chart_.PlotOf(s);
      (onRight ? rightZero : leftZero) |= plot == Plot::Bars || plot == Plot::Area;
      for (int p = 0; p < chart_.PointCount(); ++p) {
        if (!chart_.HasValue(s, p) || (!bar_ && !xRange.Contains(chart_.X(s, p)))) continue;
        (onRight ? right : left).Add(*chart_.Y(s, p));
      }
    }
    sc_.y = ResolveScale(chart_.yAxis.scale, left.any, left.lo, left.hi, leftZero, yTarget);
    if (sc_.hasRight)
      sc_.right = ResolveScale(chart_.rightAxis.scale, right.any, right.lo, right.hi, rightZero, yTarget);
  }

  double WidestTick(const AxisRange& r) const {
    double w = 0;
    for (double t : r.ticks) w = std::max(w, Width(TickText(t, r.step)));
    return w;
  }

  // Left and right of the plot area: axis labels and tick labels.
  void PlotArea() {
    yTickW_ = WidestTick(sc_.y);
    double leftEdge = margin_ + (chart_.yAxis.label.empty() ? 0 : lineH_ + gap_) + yTickW_ + gap_ * 0.5 + tickLen_;
    double rightEdge = W_ - margin_;
    rightTickW_ = sc_.hasRight ? WidestTick(sc_.right) : 0;
    if (sc_.hasRight) {
      rightEdge -= (chart_.rightAxis.label.empty() ? 0 : lineH_ + gap_) + rightTickW_ + gap_ * 0.5 + tickLen_;
    } else if (!bar_ && !sc_.x.ticks.empty()) {
      rightEdge -= Width(TickText(sc_.x.ticks.back(), sc_.x.step)) / 2;
    }
    sc_.plot = QRectF(leftEdge, top_, std::max(1.0, rightEdge - leftEdge), std::max(1.0, bottom_ - top_));
    const QRectF& pl = sc_.plot;
    ymap_ = {sc_.y.min, sc_.y.max, pl.bottom(), pl.top()};
    rmap_ = {sc_.right.min, sc_.right.max, pl.bottom(), pl.top()};
    xmap_ = {sc_.x.min, sc_.x.max, pl.left(), pl.right()};
  }

  void YTicks(const AxisRange& r, const Mapper& m, bool onRight, double labelW) {
    const QRectF& pl = sc_.plot;
    for (double t : r.ticks) {
      const double y = m(t);
      const double x = onRight ? pl.right() : pl.left();
      const double out = onRight ? tickLen_ : -tickLen_;
      sc_.ticks.push_back({QPointF(x, y), QPointF(x + out, y)});
      const double textX = onRight ? x + tickLen_ + gap_ * 0.5 : x - tickLen_ - gap_ * 0.5 - labelW;
      sc_.texts.push_back({onRight ? TextRole::RightTick : TextRole::YTick, TickText(t, r.step),
                           QRectF(textX, y - lineH_ / 2, labelW, lineH_),
                           static_cast<int>((onRight ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter)});
    }
  }

  // Y axes with their ticks and labels, and the X axis label.
  void Axes() {
    const QRectF& pl = sc_.plot;
    YTicks(sc_.y, ymap_, false, yTickW_);
    if (!chart_.yAxis.label.empty()) {
      sc_.texts.push_back(
          {TextRole::YLabel, chart_.yAxis.label,
           QRectF(margin_ + lineH_ / 2 - pl.height() / 2, pl.center().y() - lineH_ / 2, pl.height(), lineH_),
           Qt::AlignCenter, false, true});
    }
    if (sc_.hasRight) {
      YTicks(sc_.right, rmap_, true, rightTickW_);
      if (!chart_.rightAxis.label.empty()) {
        const double cx = W_ - margin_ - lineH_ / 2;
        sc_.texts.push_back({TextRole::RightLabel, chart_.rightAxis.label,
                             QRectF(cx - pl.height() / 2, pl.center().y() - lineH_ / 2, pl.height(), lineH_),
                             Qt::AlignCenter, false, true});
      }
    }
    if (xLabel_) {
      sc_.texts.push_back({TextRole::XLabel, chart_.xAxis.label, QRectF(pl.left(), xLabelTop_, pl.width(), lineH_)});
    }
  }

  SceneText XTickLabel(double x, const std::string& text) const {
    const double w = Width(text) + gap_ * 0.5;
    return SceneText{TextRole::XTick, text,
                     QRectF(KeepInside(x - w / 2, w, W_), sc_.plot.bottom() + tickLen_, w, lineH_)};
  }

  // The Y mapping of a series (its own axis) and whether its point p is drawn.
  const Mapper& YOf(int s) const { return !bar_ && chart_.series(s).axis == YAxis::Right ? rmap_ : ymap_; }
  bool Inside(int s, int p) const {
    return chart_.HasValue(s, p) && (bar_ || xmap_.Contains(chart_.X(s, p))) && YOf(s).Contains(*chart_.Y(s, p));
  }

  // A bar chart's categories: point p in slot p, series s the s-th bar of the group.
  void BarCategories() {
    const QRectF& pl = sc_.plot;
    const int n = std::max(1, chart_.PointCount());
    const double slot = pl.width() / n;
    const double group = slot * 0.7;
    const double barW = group / std::max(1, chart_.SeriesCount());
    std::vector<SceneText> labels;
    for (int p = 0; p < chart_.PointCount(); ++p) {
      const double cx = pl.left() + (p + 0.5) * slot;
      if (!chart_.PointLabel(p).empty()) labels.push_back(XTickLabel(cx, chart_.PointLabel(p)));
      for (int s = 0; s < chart_.SeriesCount(); ++s) {
        if (!chart_.HasValue(s, p)) continue;
        const double y0 = ymap_(ymap_.Clamp(0));
        const double y1 = ymap_(ymap_.Clamp(*chart_.Y(s, p)));
        const double x0 = cx - group / 2 + s * barW;
        sc_.bars.push_back({s, p, QRectF(QPointF(x0, std::min(y0, y1)), QPointF(x0 + barW, std::max(y0, y1)))});
      }
    }
    AddSpacedLabels(sc_, std::move(labels), gap_);
  }

  // Numbers under the X axis, or the point labels where there are any.
  void XTickLabels() {
    const QRectF& pl = sc_.plot;
    std::vector<SceneText> labels;
    bool pointLabels = false;
    for (int p = 0; p < chart_.PointCount(); ++p) {
      if (chart_.PointLabel(p).empty()) continue;
      pointLabels = true;
      for (int s = 0; s < chart_.SeriesCount(); ++s) {
        if (!Inside(s, p)) continue;
        const double x = xmap_(chart_.X(s, p));
        sc_.ticks.push_back({QPointF(x, pl.bottom()), QPointF(x, pl.bottom() + tickLen_)});
        labels.push_back(XTickLabel(x, chart_.PointLabel(p)));
        break;
      }
    }
    if (!pointLabels) {
      for (double t : sc_.x.ticks) {
        const double x = xmap_(t);
        sc_.ticks.push_back({QPointF(x, pl.bottom()), QPointF(x, pl.bottom() + tickLen_)});
        labels.push_back(XTickLabel(x, TickText(t, sc_.x.step)));
      }
    }
    AddSpacedLabels(sc_, std::move(labels), gap_ * 0.5);
  }

  // Bar series side by side around each point's X, the group as wide as 80 % of the closest
  // distance between two bar positions.
  void XyBars() {
    std::vector<int> barSeries;
    std::vector<double> positions;
    for (int s = 0; s < chart_.SeriesCount(); ++s) {
      if (chart_.PlotOf(s) != Plot::Bars) continue;
      barSeries.push_back(s);
      for (int p = 0; p < chart_.PointCount(); ++p) {
        if (Inside(s, p)) positions.push_back(xmap_(chart_.X(s, p)));
      }
    }
    std::sort(positions.begin(), positions.end());
    double closest = sc_.plot.width() * 0.25;
    for (size_t i = 1; i < positions.size(); ++i) {
      const double d = positions[i] - positions[i - 1];
      if (d > 1) closest = std::min(closest, d);
    }
    const double group = closest * 0.8;
    for (size_t j = 0; j < barSeries.size(); ++j) {
      const int s = barSeries[j];
      const double barW = group / static_cast<double>(barSeries.size());
      for (int p = 0; p < chart_.PointCount(); ++p) {
        if (!Inside(s, p)) continue;
        const Mapper& m = YOf(s);
        const double x0 = xmap_(chart_.X(s, p)) - group / 2 + static_cast<double>(j) * barW;
        const double y0 = m(m.Clamp(0)), y1 = m(*chart_.Y(s, p));
        sc_.bars.push_back({s, p, QRectF(QPointF(x0, std::min(y0, y1)), QPointF(x0 + barW, std::max(y0, y1)))});
      }
    }
  }

  // Lines, areas and markers: runs of points, broken at every point not drawn.
  void XyRuns() {
    for (int s = 0; s < chart_.SeriesCount(); ++s) {
      const Plot plot = chart_.PlotOf(s);
      if (plot == Plot::Bars) continue;
      const Mapper& m = YOf(s);
      SceneRun run{s, plot, {}, {}, m(m.Clamp(0))};
      auto flush = [&] {
        if (!run.points.empty()) sc_.runs.push_back(run);
        run.points.clear();
        run.at.clear();
      };
      for (int p = 0; p < chart_.PointCount(); ++p) {
        if (!Inside(s, p)) {
          flush();
          continue;
        }
        run.points.push_back(p);
        run.at.emplace_back(xmap_(chart_.X(s, p)), m(*chart_.Y(s, p)));
      }
      flush();
    }
  }

  // Data labels: centred on their place, above it (below it for a negative value).
  void DataLabels() {
    const QRectF& pl = sc_.plot;
    for (const Annotation& a : chart_.annotations()) {
      double x;
      if (bar_) {
        x = pl.left() + (a.x - 0.5) * pl.width() / std::max(1, chart_.PointCount());
      } else {
        if (!xmap_.Contains(a.x)) continue;
        x = xmap_(a.x);
      }
      if (x < pl.left() - 1 || x > pl.right() + 1 || !ymap_.Contains(a.y)) continue;
      const double y = ymap_(a.y);
      const double w = Width(a.text) + gap_;
      const double textTop = a.y < 0 ? y + gap_ * 0.25 : y - gap_ * 0.25 - lineH_;
      sc_.texts.push_back({TextRole::Annotation, a.text, QRectF(KeepInside(x - w / 2, w, W_), textTop, w, lineH_)});
    }
  }

  // The legend, each row centred.
  void Legend() {
    double rowTop = legendTop_;
    for (const Row& row : rows_) {
      double rowW = 0;
      for (const Entry& e : row.entries) rowW += e.width;
      rowW += lineH_ * static_cast<double>(row.entries.size() - 1);
      double x = (W_ - rowW) / 2;
      for (const Entry& e : row.entries) {
        sc_.legend.push_back({e.series, QRectF(x, rowTop + lineH_ * 0.2, swatchW_, lineH_ * 0.6)});
        const double textX = x + swatchW_ + gap_ * 0.5;
        sc_.texts.push_back({TextRole::Legend, chart_.series(e.series).label,
                             QRectF(textX, rowTop, e.width - swatchW_ - gap_ * 0.5 + 1, e.height),
                             static_cast<int>(Qt::AlignLeft | Qt::AlignTop) | Qt::TextWordWrap});
        x += e.width + lineH_;
      }
      rowTop += row.height;
    }
  }

  const Chart& chart_;
  Scene sc_;
  const double W_, H_, px_;
  const QFontMetricsF fm_, fmTitle_;
  const double lineH_, gap_, margin_, tickLen_, textW_, swatchW_;
  const bool bar_;
  std::vector<Row> rows_;
  double top_ = 0, bottom_ = 0, legendTop_ = 0, xLabelTop_ = 0;
  bool xLabel_ = false;
  double yTickW_ = 0, rightTickW_ = 0;
  Mapper ymap_{0, 1, 0, 1}, rmap_{0, 1, 0, 1}, xmap_{0, 1, 0, 1};
};

}  // namespace

QFont ChartFont(const Chart& chart, double pixels, bool bold) {
  QFont font(richtext::LayoutFace(chart.fontFace));
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

Scene BuildScene(const Chart& chart, const QSizeF& size) { return SceneBuilder(chart, size).Build(); }

}  // namespace graph
