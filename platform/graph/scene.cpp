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

}  // namespace

QFont ChartFont(const Chart& chart, double pixels, bool bold) {
  QFont font(richtext::LayoutFace(chart.fontFace));
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

Scene BuildScene(const Chart& chart, const QSizeF& size) {
  Scene sc;
  sc.size = size;
  const double W = std::max(size.width(), 1.0);
  const double H = std::max(size.height(), 1.0);
  const double px = TextPoints(H) * 20;
  sc.fontPixels = px;
  sc.markerSize = px * 0.55;
  const QFontMetricsF fm(ChartFont(chart, px, false));
  const QFontMetricsF fmTitle(ChartFont(chart, px * 1.15, true));
  const double lineH = fm.height();
  const double gap = px * 0.4;
  const double margin = px * 0.6;
  const double tickLen = px * 0.35;
  auto width = [&](const std::string& s) { return fm.horizontalAdvance(Q(s)); };
  const bool bar = chart.type() == ChartType::Bar;

  // Title and subtitle at the top, wrapped to the width.
  const double textW = std::max(1.0, W - 2 * margin);
  auto wrappedHeight = [&](const QFontMetricsF& m, const std::string& text, double w) {
    return m.boundingRect(QRectF(0, 0, w, 1e6), Qt::TextWordWrap, Q(text)).height();
  };
  double top = margin;
  if (!chart.title.empty()) {
    const double h = wrappedHeight(fmTitle, chart.title, textW);
    sc.texts.push_back({TextRole::Title, chart.title, QRectF(margin, top, textW, h), kWrapCentre, true});
    top += h;
  }
  if (!chart.subtitle.empty()) {
    const double h = wrappedHeight(fm, chart.subtitle, textW);
    sc.texts.push_back({TextRole::Subtitle, chart.subtitle, QRectF(margin, top, textW, h), kWrapCentre});
    top += h;
  }
  top += lineH * 0.5;  // the top tick label reaches above the plot area

  // Legend rows at the bottom; an entry wider than the graph wraps its text.
  const double swatchW = lineH * 1.6;
  struct Entry { int series; double width, height; };
  struct Row { std::vector<Entry> entries; double height = 0; };
  std::vector<Row> rows;
  {
    double used = 0;
    for (int s : LegendSeries(chart)) {
      const std::string& label = chart.series(s).label;
      const double textRoom = std::max(1.0, textW - swatchW - gap * 0.5);
      const double labelW = std::min(width(label), textRoom);
      const double w = swatchW + gap * 0.5 + labelW;
      const double h = std::max(lineH, wrappedHeight(fm, label, textRoom));
      if (rows.empty() || (used > 0 && used + lineH + w > textW)) {
        rows.emplace_back();
        used = 0;
      }
      used += (used > 0 ? lineH : 0) + w;
      rows.back().entries.push_back({s, w, h});
      rows.back().height = std::max(rows.back().height, h);
    }
  }
  double bottom = H - margin;
  for (const Row& r : rows) bottom -= r.height;
  if (!rows.empty()) bottom -= gap;
  const double legendTop = bottom + gap;
  const bool xLabel = !chart.xAxis.label.empty();
  if (xLabel) bottom -= lineH;
  const double xLabelTop = bottom;
  bottom -= tickLen + lineH;

  // Scales: X first, then each Y side from the points inside the X range.
  sc.hasRight = HasRightAxis(chart);
  const double plotWGuess = W * 0.8;
  const int xTarget = std::clamp(static_cast<int>(plotWGuess / (lineH * 5)), 2, 10);
  const int yTarget = std::clamp(static_cast<int>((bottom - top) / (lineH * 1.8)), 2, 10);
  Extremes xs, left, right;
  bool leftZero = false, rightZero = false;
  for (int s = 0; s < chart.SeriesCount(); ++s) {
    for (int p = 0; p < chart.PointCount(); ++p) {
      if (chart.HasValue(s, p)) xs.Add(chart.X(s, p));
    }
  }
  if (!bar) sc.x = ResolveScale(chart.xAxis.scale, xs.any, xs.lo, xs.hi, false, xTarget);
  const Mapper xRange{sc.x.min, sc.x.max, 0, 1};
  for (int s = 0; s < chart.SeriesCount(); ++s) {
    const bool onRight = !bar && chart.series(s).axis == YAxis::Right;
    const Plot plot = chart.PlotOf(s);
    (onRight ? rightZero : leftZero) |= plot == Plot::Bars || plot == Plot::Area;
    for (int p = 0; p < chart.PointCount(); ++p) {
      if (!chart.HasValue(s, p) || (!bar && !xRange.Contains(chart.X(s, p)))) continue;
      (onRight ? right : left).Add(*chart.Y(s, p));
    }
  }
  sc.y = ResolveScale(chart.yAxis.scale, left.any, left.lo, left.hi, leftZero, yTarget);
  if (sc.hasRight) sc.right = ResolveScale(chart.rightAxis.scale, right.any, right.lo, right.hi, rightZero, yTarget);

  // Left and right of the plot area: axis labels and tick labels.
  auto widest = [&](const AxisRange& r) {
    double w = 0;
    for (double t : r.ticks) w = std::max(w, width(TickText(t, r.step)));
    return w;
  };
  const double yTickW = widest(sc.y);
  double leftEdge = margin + (chart.yAxis.label.empty() ? 0 : lineH + gap) + yTickW + gap * 0.5 + tickLen;
  double rightEdge = W - margin;
  const double rightTickW = sc.hasRight ? widest(sc.right) : 0;
  if (sc.hasRight) {
    rightEdge -= (chart.rightAxis.label.empty() ? 0 : lineH + gap) + rightTickW + gap * 0.5 + tickLen;
  } else if (!bar && !sc.x.ticks.empty()) {
    rightEdge -= width(TickText(sc.x.ticks.back(), sc.x.step)) / 2;
  }
  sc.plot = QRectF(leftEdge, top, std::max(1.0, rightEdge - leftEdge), std::max(1.0, bottom - top));
  const QRectF& pl = sc.plot;
  const Mapper ymap{sc.y.min, sc.y.max, pl.bottom(), pl.top()};
  const Mapper rmap{sc.right.min, sc.right.max, pl.bottom(), pl.top()};
  const Mapper xmap{sc.x.min, sc.x.max, pl.left(), pl.right()};

  // Y axes.
  auto yTicks = [&](const AxisRange& r, const Mapper& m, bool onRight, double labelW) {
    for (double t : r.ticks) {
      const double y = m(t);
      const double x = onRight ? pl.right() : pl.left();
      const double out = onRight ? tickLen : -tickLen;
      sc.ticks.push_back({QPointF(x, y), QPointF(x + out, y)});
      const double textX = onRight ? x + tickLen + gap * 0.5 : x - tickLen - gap * 0.5 - labelW;
      sc.texts.push_back({onRight ? TextRole::RightTick : TextRole::YTick, TickText(t, r.step),
                          QRectF(textX, y - lineH / 2, labelW, lineH),
                          static_cast<int>((onRight ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter)});
    }
  };
  yTicks(sc.y, ymap, false, yTickW);
  if (!chart.yAxis.label.empty()) {
    sc.texts.push_back({TextRole::YLabel, chart.yAxis.label,
                        QRectF(margin + lineH / 2 - pl.height() / 2, pl.center().y() - lineH / 2, pl.height(), lineH),
                        Qt::AlignCenter, false, true});
  }
  if (sc.hasRight) {
    yTicks(sc.right, rmap, true, rightTickW);
    if (!chart.rightAxis.label.empty()) {
      const double cx = W - margin - lineH / 2;
      sc.texts.push_back({TextRole::RightLabel, chart.rightAxis.label,
                          QRectF(cx - pl.height() / 2, pl.center().y() - lineH / 2, pl.height(), lineH),
                          Qt::AlignCenter, false, true});
    }
  }
  if (xLabel) {
    sc.texts.push_back({TextRole::XLabel, chart.xAxis.label, QRectF(pl.left(), xLabelTop, pl.width(), lineH)});
  }
  auto xTickLabel = [&](double x, const std::string& text) {
    const double w = width(text) + gap * 0.5;
    return SceneText{TextRole::XTick, text, QRectF(KeepInside(x - w / 2, w, W), pl.bottom() + tickLen, w, lineH)};
  };

  // Inside the plot area (Y of a series on its own axis).
  auto yOf = [&](int s) -> const Mapper& { return !bar && chart.series(s).axis == YAxis::Right ? rmap : ymap; };
  auto inside = [&](int s, int p) {
    return chart.HasValue(s, p) && (bar || xmap.Contains(chart.X(s, p))) && yOf(s).Contains(*chart.Y(s, p));
  };

  if (bar) {
    // Categories: point p in slot p, series s the s-th bar of the group.
    const int n = std::max(1, chart.PointCount());
    const double slot = pl.width() / n;
    const double group = slot * 0.7;
    const double barW = group / std::max(1, chart.SeriesCount());
    std::vector<SceneText> labels;
    for (int p = 0; p < chart.PointCount(); ++p) {
      const double cx = pl.left() + (p + 0.5) * slot;
      if (!chart.PointLabel(p).empty()) labels.push_back(xTickLabel(cx, chart.PointLabel(p)));
      for (int s = 0; s < chart.SeriesCount(); ++s) {
        if (!chart.HasValue(s, p)) continue;
        const double y0 = ymap(ymap.Clamp(0));
        const double y1 = ymap(ymap.Clamp(*chart.Y(s, p)));
        const double x0 = cx - group / 2 + s * barW;
        sc.bars.push_back({s, p, QRectF(QPointF(x0, std::min(y0, y1)), QPointF(x0 + barW, std::max(y0, y1)))});
      }
    }
    AddSpacedLabels(sc, std::move(labels), gap);
  } else {
    // Numbers under the X axis, or the point labels where there are any.
    std::vector<SceneText> labels;
    bool pointLabels = false;
    for (int p = 0; p < chart.PointCount(); ++p) {
      if (chart.PointLabel(p).empty()) continue;
      pointLabels = true;
      for (int s = 0; s < chart.SeriesCount(); ++s) {
        if (!inside(s, p)) continue;
        const double x = xmap(chart.X(s, p));
        sc.ticks.push_back({QPointF(x, pl.bottom()), QPointF(x, pl.bottom() + tickLen)});
        labels.push_back(xTickLabel(x, chart.PointLabel(p)));
        break;
      }
    }
    if (!pointLabels) {
      for (double t : sc.x.ticks) {
        const double x = xmap(t);
        sc.ticks.push_back({QPointF(x, pl.bottom()), QPointF(x, pl.bottom() + tickLen)});
        labels.push_back(xTickLabel(x, TickText(t, sc.x.step)));
      }
    }
    AddSpacedLabels(sc, std::move(labels), gap * 0.5);

    // Bar series side by side around each point's X, the group as wide as 80 % of the
    // closest distance between two bar positions.
    std::vector<int> barSeries;
    std::vector<double> positions;
    for (int s = 0; s < chart.SeriesCount(); ++s) {
      if (chart.PlotOf(s) != Plot::Bars) continue;
      barSeries.push_back(s);
      for (int p = 0; p < chart.PointCount(); ++p) {
        if (inside(s, p)) positions.push_back(xmap(chart.X(s, p)));
      }
    }
    std::sort(positions.begin(), positions.end());
    double closest = pl.width() * 0.25;
    for (size_t i = 1; i < positions.size(); ++i) {
      const double d = positions[i] - positions[i - 1];
      if (d > 1) closest = std::min(closest, d);
    }
    const double group = closest * 0.8;
    for (size_t j = 0; j < barSeries.size(); ++j) {
      const int s = barSeries[j];
      const double barW = group / static_cast<double>(barSeries.size());
      for (int p = 0; p < chart.PointCount(); ++p) {
        if (!inside(s, p)) continue;
        const Mapper& m = yOf(s);
        const double x0 = xmap(chart.X(s, p)) - group / 2 + static_cast<double>(j) * barW;
        const double y0 = m(m.Clamp(0)), y1 = m(*chart.Y(s, p));
        sc.bars.push_back({s, p, QRectF(QPointF(x0, std::min(y0, y1)), QPointF(x0 + barW, std::max(y0, y1)))});
      }
    }

    // Lines, areas and markers: runs of points, broken at every point not drawn.
    for (int s = 0; s < chart.SeriesCount(); ++s) {
      const Plot plot = chart.PlotOf(s);
      if (plot == Plot::Bars) continue;
      const Mapper& m = yOf(s);
      SceneRun run{s, plot, {}, {}, m(m.Clamp(0))};
      auto flush = [&] {
        if (!run.points.empty()) sc.runs.push_back(run);
        run.points.clear();
        run.at.clear();
      };
      for (int p = 0; p < chart.PointCount(); ++p) {
        if (!inside(s, p)) {
          flush();
          continue;
        }
        run.points.push_back(p);
        run.at.emplace_back(xmap(chart.X(s, p)), m(*chart.Y(s, p)));
      }
      flush();
    }
  }

  // Data labels: centred on their place, above it (below it for a negative value).
  for (const Annotation& a : chart.annotations()) {
    double x;
    if (bar) {
      x = pl.left() + (a.x - 0.5) * pl.width() / std::max(1, chart.PointCount());
    } else {
      if (!xmap.Contains(a.x)) continue;
      x = xmap(a.x);
    }
    if (x < pl.left() - 1 || x > pl.right() + 1 || !ymap.Contains(a.y)) continue;
    const double y = ymap(a.y);
    const double w = width(a.text) + gap;
    const double textTop = a.y < 0 ? y + gap * 0.25 : y - gap * 0.25 - lineH;
    sc.texts.push_back({TextRole::Annotation, a.text, QRectF(KeepInside(x - w / 2, w, W), textTop, w, lineH)});
  }

  // The legend, each row centred.
  double rowTop = legendTop;
  for (const Row& row : rows) {
    double rowW = 0;
    for (const Entry& e : row.entries) rowW += e.width;
    rowW += lineH * static_cast<double>(row.entries.size() - 1);
    double x = (W - rowW) / 2;
    for (const Entry& e : row.entries) {
      sc.legend.push_back({e.series, QRectF(x, rowTop + lineH * 0.2, swatchW, lineH * 0.6)});
      const double textX = x + swatchW + gap * 0.5;
      sc.texts.push_back({TextRole::Legend, chart.series(e.series).label,
                          QRectF(textX, rowTop, e.width - swatchW - gap * 0.5 + 1, e.height),
                          static_cast<int>(Qt::AlignLeft | Qt::AlignTop) | Qt::TextWordWrap});
      x += e.width + lineH;
    }
    rowTop += row.height;
  }
  return sc;
}

}  // namespace graph
