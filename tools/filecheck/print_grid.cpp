#include "tools/filecheck/print_grid.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include "tools/filecheck/report_file.h"

namespace report {

namespace {

QFont PrintFont(int points, bool bold) {
  QFont font("courier new");
  font.setStyleHint(QFont::Monospace);
  font.setPointSize(points);
  font.setBold(bold);
  return font;
}

}  // namespace

bool PrintGrid(QPrinter& printer, const checker::Grid& grid, const std::tm& now, const std::string& osName,
               const std::string& listFile, std::string& error) {
  printer.setPageOrientation(QPageLayout::Landscape);
  QPainter painter;
  if (!painter.begin(&printer)) {
    error = "The printer could not be opened.";
    return false;
  }
  const double perTwip = printer.resolution() / 1440.0;
  const auto device = [&](int twips) { return static_cast<int>(twips * perTwip); };
  const auto twips = [&](double px) { return static_cast<int>(px / perTwip + 0.5); };

  // Widths are measured in the regular face; a bold cell may be a little wider, which the
  // 200-twip gap between columns takes up.
  const QFontMetrics metrics(PrintFont(8, false), &printer);
  const auto textWidth = [&](const std::string& s) {
    return twips(metrics.horizontalAdvance(QString::fromStdString(s)));
  };
  const int pageHeight = twips(printer.pageLayout().paintRectPixels(printer.resolution()).height());
  const int rowStep = twips(metrics.height()) + 30;
  const std::vector<int> widths = MeasurePrintColumns(grid, textWidth);
  const std::vector<PrintText> items = LayoutPrint(grid, widths, textWidth, rowStep, pageHeight);

  const auto printHeader = [&] {
    painter.setFont(PrintFont(12, true));
    const QFontMetrics header(painter.font(), &printer);
    int baseline = device(720) + header.ascent();
    painter.drawText(device(720), baseline, QString::fromStdString(TitleLine(now)));
    baseline += header.lineSpacing();
    painter.drawText(device(720), baseline, QString::fromStdString(RunningLine(osName, listFile)));
  };

  int page = 0;
  printHeader();
  for (const PrintText& item : items) {
    if (item.page != page) {
      if (!printer.newPage()) {
        error = "A new page could not be started.";
        painter.end();
        return false;
      }
      page = item.page;
      printHeader();
    }
    painter.setFont(PrintFont(8, item.bold));
    painter.drawText(device(item.x), device(item.y) + metrics.ascent(), QString::fromStdString(item.text));
  }
  painter.end();
  return true;
}

}  // namespace report
