// Builds the sample document and saves it as RTF and PDF:
//   richtext_example [output folder] [chapters]   (default: the current folder, 1 chapter)
#include <QApplication>
#include <QDateTime>
#include <QDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "examples/richtext/sample_document.h"

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
  using namespace richtext;
  const TerHwnd h = TerCreateWindow();
  const int chapters = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
  sample::BuildSampleDocument(h, chapters);
  const std::string rtf = out.filePath("sample_report.rtf").toStdString();
  const std::string pdf = out.filePath("sample_report.pdf").toStdString();
  if (SaveTerFile(h, rtf) != 1) {
    std::fprintf(stderr, "could not write %s\n", rtf.c_str());
    return 1;
  }
  const std::string now = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
  int32_t job = 0;
  const int32_t handle = TerPdfStart(pdf, job, "Kestrin example", "", "Sample Part-Load Report", now, now);
  if (handle == 0 || TerPdfPrintPage(h, job, -1) == 0 || TerPdfEnd(handle, job) == 0) {
    std::fprintf(stderr, "could not write %s\n", pdf.c_str());
    return 1;
  }
  std::printf("%s\n%s\n%d pages\n", rtf.c_str(), pdf.c_str(), TerGetPageCount(h));
  TerDestroyWindow(h);
  return 0;
}
