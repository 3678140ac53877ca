// The economic report of the default project's two plants (sequenced and equal unloading)
// over a 20-year life cycle, saved as PDF:
//   BM_EconomicAnalysisToPdf  the set-up of the scratch records and ECO.DAT, the economic
//                             calculation and the combined report run behind the progress
//                             window's controller (frmMain::PerformEconomicsAnalysis,
//                             headless), then the PDF;
//   BM_EconomicReportToPdf    the report run alone (RPT.DAT and CAL.DAT read, every section
//                             built, RTF saved and loaded back) and the PDF, on the results of
//                             one calculation;
//   BM_EconomicReportProcess  BM_EconomicAnalysisToPdf as a whole process, against
//   BM_LibreOfficeEconomicRtfToPdf, LibreOffice converting the report's RTF to PDF.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/program/frmMain.h"
#include "app/reports/clsReport.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "app/program/tests/econ_run_setup.h"
#include "bench/common/process_bench.h"
#include "platform/ui/ui.h"

namespace {

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
  benchapp::KeepCopy(run.File("EcoCombined.pdf"));
}
BENCHMARK(BM_EconomicAnalysisToPdf)->Unit(benchmark::kMillisecond);

void BM_EconomicReportToPdf(benchmark::State& state) {
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

// BM_EconomicAnalysisToPdf as a whole process of its own: start-up, one run, exit.
benchapp::Seconds gReportProcess;

void BM_EconomicReportProcess(benchmark::State& state) {
  benchapp::OurProcessLoop(state, "BM_EconomicAnalysisToPdf", gReportProcess);
}
BENCHMARK(BM_EconomicReportProcess)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// LibreOffice converting the RTF of the economic report; x_report_process(_cpu): how many
// times the whole report process of ours fits into one conversion.
void BM_LibreOfficeEconomicRtfToPdf(benchmark::State& state) {
  ui::RecordingHost host;
  ui::ScopedHost scoped(host);
  Run run;
  if (!run.ok || !econruntest::WriteEconomicRun(20) || !frmMain::PerformEconomicsAnalysis([](clsReport&) {})) {
    state.SkipWithError("the economic report did not run");
    return;
  }
  std::string rtf;
  for (const auto& f : std::filesystem::directory_iterator(run.dir.path().toStdString()))
    if (f.path().extension() == ".rtf") rtf = f.path().string();
  if (rtf.empty()) {
    state.SkipWithError("the economic report left no RTF");
    return;
  }
  benchapp::LibreOfficeLoop(state, rtf, run.File("lo"), gReportProcess);
}
BENCHMARK(BM_LibreOfficeEconomicRtfToPdf)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
