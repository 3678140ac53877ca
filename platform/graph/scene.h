// The laid-out graph: every scale resolved and every bar, line, marker and text placed, in
// twips from the picture's top left. BuildScene computes it from a chart and a size;
// PaintScene draws it. Tests look at the scene to check what is drawn where.
#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>

#include <string>
#include <vector>

#include "platform/graph/graph.h"

class QPainter;

namespace graph {

// A scale as drawn: its range and its tick values.
struct AxisRange {
  double min = 0;
  double max = 1;
  double step = 1;
  std::vector<double> ticks;
};

// Finds the range of an axis. `lo`, `hi`: the smallest and largest drawn value (ignored when
// `hasData` is false); `includeZero`: bars rise from 0, so 0 belongs to an automatic range.
// `target`: about how many ticks fit.
AxisRange ResolveScale(const Scale& scale, bool hasData, double lo, double hi, bool includeZero, int target);

// A tick value as text: thousands separators, as many decimals as the step needs.
std::string TickText(double value, double step);

enum class TextRole { Title, Subtitle, XLabel, YLabel, RightLabel, XTick, YTick, RightTick, Annotation, Legend };

struct SceneText {
  TextRole role;
  std::string text;
  QRectF rect;                  // its box (YLabel / RightLabel: before the turn)
  int flags = Qt::AlignCenter;  // alignment and wrapping, as QPainter::drawText takes them
  bool bold = false;            // the title's font
  bool vertical = false;        // turned a quarter anticlockwise about the box centre
};

struct SceneBar {
  int series = 0;
  int point = 0;
  QRectF rect;
};

// An unbroken run of drawn points of one series (a line, an area or markers).
struct SceneRun {
  int series = 0;
  Plot plot = Plot::Line;
  std::vector<int> points;  // point indices
  std::vector<QPointF> at;  // where they are drawn
  double base = 0;          // Area: the y (twips) the area is filled down to
};

struct LegendEntry {
  int series = 0;
  QRectF swatch;
};

struct SceneTick {
  QPointF from;
  QPointF to;
};

struct Scene {
  QSizeF size;
  QRectF plot;  // the framed plot area
  AxisRange x, y, right;
  bool hasRight = false;
  double fontPixels = 180;  // text size, twips
  std::vector<SceneText> texts;
  std::vector<SceneTick> ticks;
  std::vector<SceneBar> bars;
  std::vector<SceneRun> runs;
  std::vector<LegendEntry> legend;
  double markerSize = 60;  // twips across
};

Scene BuildScene(const Chart& chart, const QSizeF& size);
void PaintScene(const Chart& chart, const Scene& scene, QPainter& painter);

// The face, size and weight the graph's texts are drawn in.
QFont ChartFont(const Chart& chart, double pixels, bool bold);

}  // namespace graph
