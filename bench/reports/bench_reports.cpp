// The report object's own documents from start to saved file: the cover report (logo, cover
// page, summary of concepts) and an error report of 40 ERR.DAT lines, each saved as PDF.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include <fstream>
#include <string>

#include "app/reports/clsReport.h"
#include "app/storage/modDataIO.h"
#include "platform/ui/ui.h"

namespace {

void App() {
  static int argc = 1;
  static char name[] = "bench_reports";
  static char* argv[] = {name, nullptr};
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static auto* app = new QGuiApplication(argc, argv);
  (void)app;
}

// Working and scratch folders in a temporary folder, never the user's.
struct Folders {
  QTemporaryDir dir;
  std::string previousScratch = modDataIO::DataFolder();
  Folders() {
    modDataIO::InitProject(modDataIO::gProject);
    modDataIO::InitSettings(modDataIO::gSettings);
    modDataIO::gSettings.WorkingFolder = dir.path().toStdString() + "/";
    modDataIO::DataFolder(dir.path().toStdString() + "/");
  }
  ~Folders() { modDataIO::DataFolder(previousScratch); }
  std::string File(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }
};

void BM_CoverReportToPdf(benchmark::State& state) {
  App();
  ui::RecordingHost host;
  ui::ScopedHost scoped(host);
  Folders folders;
  modDataIO::gProject.ProjectName = "Riverside Medical Center";
  for (auto _ : state) {
    clsReport report;
    report.Options().bShowLogo = -1;
    if (!report.RptCoverPage() || !report.SaveReportAsFile(folders.File("cover.pdf"), "pdf"))
      state.SkipWithError("cover report not written");
  }
}
BENCHMARK(BM_CoverReportToPdf)->Unit(benchmark::kMillisecond);

void BM_ErrorReportToPdf(benchmark::State& state) {
  App();
  ui::RecordingHost host;
  ui::ScopedHost scoped(host);
  Folders folders;
  {
    std::ofstream err(folders.File("ERR.DAT"), std::ios::binary);
    for (int s = 1; s <= 4; ++s) {
      err << "Errors in Input Data for System:  [Plant " << s << "]\r\n";
      for (int i = 0; i < 6; ++i) err << "\tCH-" << i + 1 << ": Error 102: Chiller and system have different full load LCHWT values.\r\n";
      err << "\r\nNote - For more information on these errors:\r\n\tClick the Help button.\r\n";
    }
  }
  for (auto _ : state) {
    clsReport report;
    report.ReportType(2);
    if (!report.RptErrors() || !report.SaveReportAsFile(folders.File("errors.pdf"), "pdf"))
      state.SkipWithError("error report not written");
  }
}
BENCHMARK(BM_ErrorReportToPdf)->Unit(benchmark::kMillisecond);

}  // namespace
