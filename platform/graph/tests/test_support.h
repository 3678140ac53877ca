// Shared by the graph tests: the Qt application that fonts need, and a chart drawn to an image.
#pragma once

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "platform/graph/graph.h"

// fontconfig keeps its configuration cache for the life of the process; that is not ours.
// (Each test program has one source file including this header.)
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace graph::test {

inline void EnsureApp() {
  static int argc = 1;
  static char name[] = "graph_test";
  static char* argv[] = {name, nullptr};
  // Never destroyed: the application lives until the process ends.
  if (!QCoreApplication::instance()) new QGuiApplication(argc, argv);
}

// The chart drawn at width x height twips onto an image of one pixel per 15 twips.
inline QImage Draw(const Chart& chart, int width, int height) {
  QImage img(width / 15, height / 15, QImage::Format_RGB32);
  img.fill(Qt::gray);
  QPainter painter(&img);
  painter.scale(1.0 / 15, 1.0 / 15);
  Render(chart, painter, QRectF(0, 0, width, height));
  return img;
}

}  // namespace graph::test
