// The whole part-load report of the shipped default project, every section selected: per
// iteration the calculation set-up (scratch records from the project), the part-load
// calculation and the combined report run behind the progress window's logic (RTF saved in
// the working folder), and the report saved as PDF; then the same as a whole process of its
// own. For comparison, LibreOffice converting the RTF of that report to PDF (headless, one
// process per conversion).
//
// The per-user folder ($XDG_DATA_HOME) and the working folder are temporary folders.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/calc/frmWait.h"
#include "app/program/frmMain.h"
#include "app/reports/clsReport.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "bench/common/process_bench.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

namespace {

QTemporaryDir& Home() {
  static QTemporaryDir dir;
  return dir;
}

// Once: a temporary per-user folder, the program data, the working folder.
bool Prepare() {
  static bool ready = [] {
    setenv("XDG_DATA_HOME", Home().path().toStdString().c_str(), 1);
    modpublic::gAppPath = modDataIO::GetAppFolder();
    modpublic::InitGlobalSettings(modpublic::gAppPath);
    modDataIO::InitProject(modDataIO::gProject);
    modDataIO::InitSettings(modDataIO::gSettings);
    modDataIO::gProject.ProjectName = "Default Plant";
    modDataIO::gSettings.WorkingFolder = Home().path().toStdString() + "/";
    modDataIO::gSettings.CoverPage = modDataIO::gSettings.ShowLogo = modDataIO::gSettings.SummaryReport = true;
    modDataIO::gSettings.CustomPLVFactors = modDataIO::gSettings.LoadProfileGraph = true;
    return frmMain::PrepareDataFiles();
  }();
  return ready;
}

// The set-up with every section of the report selected, as type 2.
bool SetUp() {
  if (!frmMain::SetupCalculationData()) return false;
  ReportData r;
  if (!modDataIO::bReportsRead(r)) return false;
  r.ReportType = 2;
  r.bCustomPLVSpec = r.bCoolingDuty = r.bCondTempProfiles = r.bPerfProfiles = r.bInputSummary = vb::kTrue;
  return modDataIO::bReportsWrite(r);
}

std::string Working(const std::string& name) { return modDataIO::gSettings.WorkingFolder + name; }

void BM_PartLoadReportSetUpToPdf(benchmark::State& state) {
  ui::RecordingHost host;
  ui::ScopedHost scopedHost(host);
  ui::RecordingProgress progress;
  ui::ScopedProgressTarget scopedProgress(progress);
  if (!Prepare()) {
    state.SkipWithError("the start-up file steps failed");
    return;
  }
  int pages = 0;
  for (auto _ : state) {
    if (!SetUp()) {
      state.SkipWithError("the calculation set-up failed");
      return;
    }
    clsReport report;
    report.ReportType(2);
    frmWait form;
    form.ReportClass(&report);
    form.DoCalcs(true);
    form.Form_Activate();
    if (!report.LastRunOK() || !report.SaveReportAsFile(Working("bench.pdf"), "pdf") || !host.messages.empty()) {
      state.SkipWithError("the report was not built and saved");
      return;
    }
    pages = richtext::TerGetPageCount(report.TerHwnd());
  }
  state.counters["pages"] = pages;
  benchapp::KeepCopy(Working("bench.pdf"));
}
BENCHMARK(BM_PartLoadReportSetUpToPdf)->Unit(benchmark::kMillisecond);

// The same report as a whole process of its own: start-up (the application, the program data,
// the per-user folders), then one BM_PartLoadReportSetUpToPdf, then exit.
benchapp::Seconds gReportProcess;

void BM_PartLoadReportProcess(benchmark::State& state) {
  benchapp::OurProcessLoop(state, "BM_PartLoadReportSetUpToPdf", gReportProcess);
}
BENCHMARK(BM_PartLoadReportProcess)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// LibreOffice converting the RTF of that report; x_report_process(_cpu): how many times the
// whole report process of ours fits into one conversion.
void BM_LibreOfficeRtfToPdf(benchmark::State& state) {
  const std::string rtf = Working("PLVReport_for_Default Plant.rtf");
  if (!Prepare() || !std::filesystem::exists(rtf)) {
    state.SkipWithError("run BM_PartLoadReportSetUpToPdf first: its RTF is converted");
    return;
  }
  benchapp::LibreOfficeLoop(state, rtf, Working("lo"), gReportProcess);
}
BENCHMARK(BM_LibreOfficeRtfToPdf)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
