// Draws one sample graph of every kind the reports use into a document, placed as the report
// places them (full width, side by side in frames, small frames in a grid), and saves it as
// PDF and RTF:   graph_example [output folder]   (default: the current folder)
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <string>

#include "examples/graph/sample_charts.h"
#include "platform/richtext/ter.h"

namespace {

using namespace richtext;

constexpr int32_t kTextWidth = 10800;

struct Doc {
  TerHwnd h;
  int32_t font, bold, para;
};

void Line(const Doc& d, const std::string& text, bool bold = false) {
  TerAppendTextEx(d.h, text + "\x15", bold ? d.bold : d.font, d.para, 0, 0, false);
}

graph::Chart Make(void (*fill)(graph::Chart&)) {
  graph::Chart chart;
  fill(chart);
  return chart;
}

Picture Export(void (*fill)(graph::Chart&), int32_t w, int32_t h) { return *graph::ExportPicture(Make(fill), w, h); }

// A full-width graph as the report pastes it: a frame as wide as the text and as high as
// the picture, the picture 200 twips in.
void FullWidth(const Doc& d, const std::string& caption, void (*fill)(graph::Chart&)) {
  Line(d, caption, true);
  SetTerCursorPos(d.h, kLineEnd, 9999, false);
  TerInsertParaFrame(d.h, 0, 200, kTextWidth, 5760, 0);
  const int32_t frame = TerInsertParaFrame(d.h, 200, 200, kTextWidth - 400, 5760, 0);
  TerPastePicture(d.h, 3, Export(fill, kTextWidth - 400, 5760), frame, 0, 1);
  TerAppendText(d.h, "\x15", 0, 0, false);
  Line(d, "");
}

// Pictures in frames side by side, each exported at its frame's size.
struct Framed {
  void (*fill)(graph::Chart&);
  int32_t x, y, w, h;
};
void InFrames(const Doc& d, const std::string& caption, const std::vector<Framed>& graphs) {
  Line(d, caption, true);
  SetTerCursorPos(d.h, kLineEnd, 9999, false);
  for (const Framed& g : graphs) {
    const int32_t frame = TerInsertParaFrame(d.h, g.x, g.y, g.w, g.h, 1);
    TerPastePicture(d.h, 3, Export(g.fill, g.w - 10, g.h - 10), frame, 0, 1);
  }
  TerAppendText(d.h, "\x15", 0, 0, false);
  Line(d, "");
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
  using namespace graph::sample;

  Doc d{TerCreateWindow(), 0, 0, 0};
  SetTerDefaultFont(d.h, "Arial", 9, 0, 0, false);
  d.font = TerCreateFont(d.h, -1, 1, "Arial", 9, 0, 0, 0xFFFFFF, 0, 0);
  d.bold = TerCreateFont(d.h, -1, 1, "Arial", 9, kStyleBold, 0, 0xFFFFFF, 0, 0);
  d.para = TerCreateParaId(d.h, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kParaLeft);
  TerSetMarginEx(d.h, -1, 720, 720, -1, -1, 720, 720, false);

  FullWidth(d, "XY line: system load profile with load bands", LoadProfile);
  FullWidth(d, "XY points: condenser temperature profile", CondenserTemps);
  TerPageBreak(d.h, false);
  FullWidth(d, "Mixed, second Y axis: system performance profile (bars left, line and points right)", Performance);
  const int32_t dutyRight = kTextWidth - 7776 - 500;
  InFrames(d, "XY area and bars with a legend: cooling duty profile and summary",
           {{CoolingDuty, 0, 1, 7776, 5040}, {CoolingDutySummary, kTextWidth - dutyRight - 100, 1, dutyRight, 5040}});
  TerPageBreak(d.h, false);
  FullWidth(d, "XY line with point labels: monthly energy cost", MonthlyEnergy);
  const int32_t w = (kTextWidth - 20) / 3;
  InFrames(d, "Bars with category and data labels: economic summary",
           {{SummaryBars, 0, 0, w, 2160}, {SummaryBars, w + 10, 0, w, 2160}, {SummaryBars, 2 * (w + 10), 0, w, 2160}});
  const int32_t effW = kTextWidth - 4320 - 288 - 475;
  InFrames(d, "Bars and points on two Y axes: efficiency against outdoor air temperature",
           {{SummaryBars, 0, 1, 4320, 5039}, {EfficiencyVsOat, kTextWidth - effW - 200, 1, effW, 5040}});
  TerPageBreak(d.h, false);
  FullWidth(d, "Bars over the years: net cash flow", NetCashFlow);
  FullWidth(d, "Three bar series, automatic scale: net cash flow components", CashFlowComponents);

  const std::string rtf = out.filePath("graph_example.rtf").toStdString();
  const std::string pdf = out.filePath("graph_example.pdf").toStdString();
  if (SaveTerFile(d.h, rtf) != 1) {
    std::fprintf(stderr, "could not write %s\n", rtf.c_str());
    return 1;
  }
  const std::string now = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
  int32_t job = 0;
  const int32_t handle = TerPdfStart(pdf, job, "Kestrin example", "", "Report graphs", now, now);
  if (handle == 0 || TerPdfPrintPage(d.h, job, -1) == 0 || TerPdfEnd(handle, job) == 0) {
    std::fprintf(stderr, "could not write %s\n", pdf.c_str());
    return 1;
  }
  std::printf("%s\n%s\n%d pages\n", rtf.c_str(), pdf.c_str(), TerGetPageCount(d.h));
  TerDestroyWindow(d.h);
  return 0;
}
