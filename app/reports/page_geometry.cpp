#include "app/reports/page_geometry.h"

#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>
#include <utility>

namespace reports {

PrinterCaps NoPrinterCaps() {
  PrinterCaps c;
  c.pageWidth = 12240;
  c.pageHeight = 15840;
  c.twipsPerPixelX = c.twipsPerPixelY = 2.4;
  // 150 px x 2.4 = 360 twips of border on each side of an 8.5 x 11 inch sheet.
  c.offsetX = c.offsetY = 150;
  c.physicalWidth = 5100;
  c.physicalHeight = 6600;
  c.horzRes = 4800;
  c.vertRes = 6300;
  return c;
}

PageGeometry ComputePageGeometry(const PrinterCaps& caps) {
  PageGeometry g;
  g.pageWidth = caps.pageWidth;
  g.pageHeight = caps.pageHeight;
  const bool landscape = g.pageWidth > g.pageHeight;
  if (landscape) std::swap(g.pageWidth, g.pageHeight);

  auto twips = [](double pixels, double tpp) { return static_cast<int32_t>(std::lround(pixels * tpp)); };
  int32_t bL = twips(caps.offsetX, caps.twipsPerPixelX);
  int32_t bT = twips(caps.offsetY, caps.twipsPerPixelY);
  int32_t bR = twips(caps.physicalWidth - caps.horzRes - caps.offsetX, caps.twipsPerPixelX);
  int32_t bB = twips(caps.physicalHeight - caps.vertRes - caps.offsetY, caps.twipsPerPixelY);
  if (landscape) {
    const int32_t oldL = bL, oldT = bT, oldR = bR, oldB = bB;
    bL = oldB;
    bB = oldR;
    bR = oldT;
    bT = oldL;
  }
  g.margins = {std::max(720, bL), std::max(720, bR), std::max(720, bT), std::max(720, bB)};

  double printableW = caps.horzRes * caps.twipsPerPixelX;
  double printableH = caps.vertRes * caps.twipsPerPixelY;
  if (landscape) std::swap(printableW, printableH);
  g.textWidth = static_cast<int32_t>(std::lround(printableW - (g.margins.left - bL) - (g.margins.right - bR)));
  g.textHeight = static_cast<int32_t>(std::lround(printableH - (g.margins.top - bT) - (g.margins.bottom - bB)));
  return g;
}

std::optional<PrinterCaps> DefaultPrinterCaps() {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) return std::nullopt;
  QPrinter printer(info, QPrinter::HighResolution);
  const QPageLayout layout = printer.pageLayout();
  const int res = printer.resolution();
  if (res <= 0) return std::nullopt;
  const QRect full = layout.fullRectPixels(res);
  const QRect paint = layout.paintRectPixels(res);
  const QRectF points = layout.fullRectPoints();
  if (full.width() <= 0 || full.height() <= 0 || paint.width() <= 0 || paint.height() <= 0) return std::nullopt;
  PrinterCaps c;
  c.pageWidth = static_cast<int32_t>(std::lround(points.width() * 20.0));
  c.pageHeight = static_cast<int32_t>(std::lround(points.height() * 20.0));
  c.twipsPerPixelX = c.twipsPerPixelY = 1440.0 / res;
  c.offsetX = paint.left();
  c.offsetY = paint.top();
  c.physicalWidth = full.width();
  c.physicalHeight = full.height();
  c.horzRes = paint.width();
  c.vertRes = paint.height();
  return c;
}

}  // namespace reports
