// The economic report of the default project's two plants (sequenced and equal unloading)
// over a 20-year life cycle, saved as PDF:
//   BM_EconomicAnalysisToPdf  the set-up of the scratch records and ECO.DAT, the economic
//                             calculation and the combined report run behind the progress
//                             window's controller (frmMain::PerformEconomicsAnalysis,
//                             headless), then the PDF;
//   BM_EconomicReportToPdf    the report run alone (RPT.DAT and CAL.DAT read, every section
//                             built, RTF saved and loaded back) and the PDF, on the results of
//                             one calculation.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdlib>
#include <string>

#include "app/frmMain.h"
#include "app/reports/clsReport.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "app/reports/economics/tests/econ_run_setup.h"
#include "platform/ui/ui.h"

namespace {

void App() {
  static int argc = 1;
  static char name[] = "bench_economic_report";
  static char* argv[] = {name, nullptr};
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static auto* app = new QGuiApplication(argc, argv);
  (void)app;
}

// The per-user and working folders in a temporary folder, never the user's; the scratch
// records and the program data of the build.
struct Run {
  QTemporaryDir dir;
  bool ok = false;
  Run() {
    setenv("XDG_DATA_HOME", dir.path().toStdString().c_str(), 1);
    modpublic::gAppPath = std::string(KESTRIN_PROGRAM_DIR) + "/";
    modpublic::InitGlobalSettings(modpublic::gAppPath);
    modDataIO::InitProject(modDataIO::gProject);
    modDataIO::InitSettings(modDataIO::gSettings);
    modDataIO::gSettings.WorkingFolder = dir.path().toStdString() + "/";
    ok = frmMain::PrepareDataFiles();
  }
  std::string File(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }
};

void BM_EconomicAnalysisToPdf(benchmark::State& state) {
  App();
  ui::RecordingHost host;
  ui::ScopedHost scoped(host);
  Run run;
  if (!run.ok) {
    state.SkipWithError("no scratch folder");
    return;
  }
  for (auto _ : state) {
    bool saved = false;
    const bool ok = econruntest::WriteEconomicRun(20) && frmMain::PerformEconomicsAnalysis([&](clsReport& report) {
      saved = report.Reportinfo(1).Saved && report.SaveReportAsFile(run.File("EcoCombined.pdf"), "pdf");
    });
    if (!ok || !saved || !host.messages.empty()) {
      state.SkipWithError("the economic report was not saved");
      return;
    }
  }
}
BENCHMARK(BM_EconomicAnalysisToPdf)->Unit(benchmark::kMillisecond);

void BM_EconomicReportToPdf(benchmark::State& state) {
  App();
  ui::RecordingHost host;
  ui::ScopedHost scoped(host);
  Run run;
  if (!run.ok || !econruntest::WriteEconomicRun(20) || !frmMain::PerformEconomicsAnalysis([](clsReport&) {})) {
    state.SkipWithError("the calculation did not run");
    return;
  }
  for (auto _ : state) {
    clsReport report;
    report.ReportType(1);
    if (!report.EconomicAnalysisReports() || !report.SaveReportAsFile(run.File("EcoCombined.pdf"), "pdf") ||
        !host.messages.empty()) {
      state.SkipWithError("the economic report was not saved");
      return;
    }
  }
}
BENCHMARK(BM_EconomicReportToPdf)->Unit(benchmark::kMillisecond);

}  // namespace
