// Painting a laid-out chart, and the chart as an SVG document picture.
#include <QBuffer>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QSvgGenerator>

#include <cmath>

#include "platform/graph/scene.h"

namespace graph {

namespace {

constexpr double kTwipsPerPoint = 20;

void DrawMarker(QPainter& painter, Marker marker, QPointF c, double size, const QColor& color) {
  const double r = size / 2;
  painter.setPen(Qt::NoPen);
  painter.setBrush(color);
  switch (marker) {
    case Marker::Circle:
      painter.drawEllipse(c, r, r);
      break;
    case Marker::Square:
      painter.drawRect(QRectF(c.x() - r * 0.9, c.y() - r * 0.9, r * 1.8, r * 1.8));
      break;
    case Marker::Triangle:
      painter.drawPolygon(QPolygonF(
          {QPointF(c.x(), c.y() - r * 1.1), QPointF(c.x() + r, c.y() + r * 0.8), QPointF(c.x() - r, c.y() + r * 0.8)}));
      break;
    case Marker::Diamond:
      painter.drawPolygon(QPolygonF({QPointF(c.x(), c.y() - r * 1.2), QPointF(c.x() + r, c.y()),
                                     QPointF(c.x(), c.y() + r * 1.2), QPointF(c.x() - r, c.y())}));
      break;
    case Marker::Cross: {
      QPen pen(color, size / 4);
      painter.setPen(pen);
      painter.drawLine(QPointF(c.x() - r, c.y() - r), QPointF(c.x() + r, c.y() + r));
      painter.drawLine(QPointF(c.x() - r, c.y() + r), QPointF(c.x() + r, c.y() - r));
      break;
    }
  }
}

QPen LinePen(const Series& s) {
  QPen pen(s.color, std::max(0.25, s.lineWidth) * kTwipsPerPoint);
  pen.setJoinStyle(Qt::RoundJoin);
  pen.setCapStyle(Qt::RoundCap);
  return pen;
}

bool HasLine(Plot p) { return p == Plot::Line || p == Plot::LineAndPoints || p == Plot::Area; }
bool HasMarkers(Plot p) { return p == Plot::Points || p == Plot::LineAndPoints; }

}  // namespace

void PaintScene(const Chart& chart, const Scene& sc, QPainter& painter) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.fillRect(QRectF(QPointF(0, 0), sc.size), chart.background);
  const QPen thin(QColor(0, 0, 0), sc.fontPixels / 18);

  // Data, kept to the plot area (markers on its edge are drawn whole).
  painter.save();
  const double m = sc.markerSize;
  painter.setClipRect(sc.plot.adjusted(-m, -m, m, m));
  for (const SceneRun& run : sc.runs) {
    if (run.plot != Plot::Area || run.at.size() < 2) continue;
    QPolygonF area(QList<QPointF>(run.at.begin(), run.at.end()));
    area << QPointF(run.at.back().x(), run.base) << QPointF(run.at.front().x(), run.base);
    painter.setPen(Qt::NoPen);
    painter.setBrush(chart.series(run.series).color);
    painter.drawPolygon(area);
  }
  for (const SceneBar& b : sc.bars) {
    const QColor c = chart.series(b.series).color;
    painter.setPen(QPen(c.darker(150), sc.fontPixels / 24));
    painter.setBrush(c);
    painter.drawRect(b.rect);
  }
  for (const SceneRun& run : sc.runs) {
    const Series& s = chart.series(run.series);
    if (HasLine(run.plot) && run.at.size() >= 2) {
      painter.setPen(LinePen(s));
      painter.setBrush(Qt::NoBrush);
      painter.drawPolyline(run.at.data(), static_cast<int>(run.at.size()));
    }
    if (HasMarkers(run.plot)) {
      for (const QPointF& at : run.at) DrawMarker(painter, s.marker, at, sc.markerSize, s.color);
    }
  }
  painter.restore();

  painter.setPen(thin);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(sc.plot);
  for (const SceneTick& t : sc.ticks) painter.drawLine(t.from, t.to);

  for (const LegendEntry& e : sc.legend) {
    const Series& s = chart.series(e.series);
    const Plot plot = chart.PlotOf(e.series);
    const QPointF mid = e.swatch.center();
    if (plot == Plot::Area || plot == Plot::Bars) {
      painter.setPen(QPen(s.color.darker(150), sc.fontPixels / 24));
      painter.setBrush(s.color);
      painter.drawRect(e.swatch);
    } else {
      if (HasLine(plot)) {
        painter.setPen(LinePen(s));
        painter.drawLine(QPointF(e.swatch.left(), mid.y()), QPointF(e.swatch.right(), mid.y()));
      }
      if (HasMarkers(plot)) DrawMarker(painter, s.marker, mid, sc.markerSize, s.color);
    }
  }

  painter.setPen(QColor(0, 0, 0));
  const QFont font = ChartFont(chart, sc.fontPixels, false);
  const QFont titleFont = ChartFont(chart, sc.fontPixels * 1.15, true);
  for (const SceneText& t : sc.texts) {
    painter.setFont(t.bold ? titleFont : font);
    const QString text = QString::fromStdString(t.text);
    if (t.vertical) {
      painter.save();
      painter.translate(t.rect.center());
      painter.rotate(-90);
      painter.drawText(QRectF(-t.rect.width() / 2, -t.rect.height() / 2, t.rect.width(), t.rect.height()), t.flags,
                       text);
      painter.restore();
    } else {
      painter.drawText(t.rect, t.flags, text);
    }
  }
  painter.restore();
}

void Render(const Chart& chart, QPainter& painter, const QRectF& box) {
  painter.save();
  painter.translate(box.topLeft());
  PaintScene(chart, BuildScene(chart, box.size()), painter);
  painter.restore();
}

std::string ToSvg(const Chart& chart, int32_t widthTwips, int32_t heightTwips) {
  if (widthTwips <= 0 || heightTwips <= 0) return {};
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator gen;
  gen.setOutputDevice(&buffer);
  // One dot a twip: the size attributes come out as the requested size in millimetres and
  // the view box counts twips, the unit the chart is laid out in.
  gen.setResolution(1440);
  gen.setSize(QSize(widthTwips, heightTwips));
  gen.setViewBox(QRect(0, 0, widthTwips, heightTwips));
  {
    QPainter painter(&gen);
    Render(chart, painter, QRectF(0, 0, widthTwips, heightTwips));
  }
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

std::optional<richtext::Picture> ExportPicture(const Chart& chart, int32_t widthTwips, int32_t heightTwips) {
  constexpr int32_t kMaxTwips = 32767;
  if (widthTwips <= 0 || heightTwips <= 0 || widthTwips > kMaxTwips || heightTwips > kMaxTwips) return std::nullopt;
  richtext::Picture pic;
  pic.format = richtext::Picture::Format::Svg;
  pic.data = ToSvg(chart, widthTwips, heightTwips);
  pic.width = widthTwips;
  pic.height = heightTwips;
  // The natural size at 96 dpi (15 twips a pixel), as the document counts picture pixels.
  pic.pixelWidth = static_cast<int32_t>(std::lround(widthTwips / 15.0));
  pic.pixelHeight = static_cast<int32_t>(std::lround(heightTwips / 15.0));
  return pic;
}

}  // namespace graph
