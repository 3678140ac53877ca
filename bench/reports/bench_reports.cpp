// The report object's own documents from start to saved file: the cover report (logo, cover
// page, summary of concepts), an error report of 40 ERR.DAT lines, and the part-load run's
// profile sections (four graphs with load bands, the duty shares and two tables) on a
// three-chiller, 24-bin results file, each saved as PDF.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>

#include "app/reports/clsReport.h"
#include "app/storage/modDataIO.h"
#include "app/storage/result_records.h"
#include "platform/ui/ui.h"

namespace {

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
  ui::RecordingHost host;
  ui::ScopedHost scoped(host);
  Folders folders;
  {
    std::ofstream err(folders.File("ERR.DAT"), std::ios::binary);
    for (int s = 1; s <= 4; ++s) {
      err << "Errors in Input Data for System:  [Plant " << s << "]\r\n";
      for (int i = 0; i < 6; ++i)
        err << "\tCH-" << i + 1 << ": Error 102: Chiller and system have different full load LCHWT values.\r\n";
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

// Three 500-ton chillers staged on load over 24 bins from 97.5 F down, the colder bins
// partly and then wholly on free cooling; 50 profile points from 100 % building load down.
std::unique_ptr<PLVProfileData> ThreeChillerProfile() {
  auto p = std::make_unique<PLVProfileData>();
  p->nNumChillerResults = 3;
  p->nLastLoadBin = 24;
  for (int c = 1; c <= 3; ++c) {
    ChillerResultData& r = p->ChillerResults(c);
    r.sSlotName = "CH-" + std::to_string(c);
    r.nFreeCoolingMode = 6;
    for (int q = 1; q <= 4; ++q) r.fECWT(q) = 60.0f + 6.0f * q;
  }
  for (int b = 1; b <= 24; ++b) {
    PLVBinData& bin = p->Bins(b);
    bin.fDB = 97.5f - 5.0f * (b - 1);
    bin.lHours = 150 + 20 * std::min(b, 25 - b);
    bin.fLoad = std::max(60.0f, 1500.0f - 60.0f * (b - 1));
    bin.fLoadPercent = bin.fLoad / 15.0f;
    bin.lLoadHours = static_cast<int32_t>(bin.fLoad * bin.lHours);
    bin.nChillersOn = static_cast<int16_t>(bin.fLoadPercent > 66 ? 3 : bin.fLoadPercent > 33 ? 2 : 1);
    bin.fChillerPctLoad = bin.fLoad / (5.0f * bin.nChillersOn);
    bin.fFreeCoolingLoad = bin.fDB < 45 ? bin.fLoad * std::min(1.0f, (45 - bin.fDB) / 20) : 0.0f;
    bin.fEfficiency = 0.55f + 0.002f * std::abs(bin.fLoadPercent - 60);
    for (int c = 1; c <= bin.nChillersOn; ++c) {
      p->ChillerResults(c).fBinECWT(b) = 55 + bin.fDB / 4;
      p->ChillerResults(c).fPointBinTonHours(std::clamp(static_cast<int>(bin.fChillerPctLoad / 25) + 1, 1, 4), b) = 1;
    }
  }
  for (int k = 1; k <= 50; ++k) {
    const float building = 100.0f - 2.0f * (k - 1);
    const int on = building > 66 ? 3 : building > 33 ? 2 : 1;
    for (int c = 1; c <= 3; ++c) {
      ChillerResultData& r = p->ChillerResults(c);
      r.fProfileBuildingPct(k) = building;
      r.fProfileLoadPct(k) = c <= on ? building * 3 / on : 0.0f;
      r.fProfileECWT(k) = c <= on ? 60 + building / 4 : 0.0f;
      r.bProfileStaging(k) = vb::ToBoolean(std::abs(building - 66) < 3 || std::abs(building - 33) < 3);
    }
  }
  return p;
}

void BM_ProfileSectionsToPdf(benchmark::State& state) {
  ui::RecordingHost host;
  ui::ScopedHost scoped(host);
  ui::RecordingProgress progress;
  ui::ScopedProgressTarget scopedProgress(progress);
  Folders folders;
  ReportData options;
  options.ReportType = 2;
  options.bLoadProfileGraph = options.bCoolingDuty = options.bCondTempProfiles = options.bPerfProfiles = -1;
  options.ShowLoadBands = 1;
  if (!modDataIO::bReportsWrite(options) || !modDataIO::bCalcWriteHeaderData() ||
      !modDataIO::bCalcWritePLVData(PLVSummaryData{}, *ThreeChillerProfile())) {
    state.SkipWithError("results file not written");
    return;
  }
  for (auto _ : state) {
    clsReport report;
    if (!report.PLVAnalysisReports() || !report.SaveReportAsFile(folders.File("profiles.pdf"), "pdf"))
      state.SkipWithError("profile sections not written");
  }
  if (!host.messages.empty()) state.SkipWithError(host.messages[0].text.c_str());
}
BENCHMARK(BM_ProfileSectionsToPdf)->Unit(benchmark::kMillisecond);

}  // namespace
