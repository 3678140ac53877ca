// The part-load report's table sections for a plant of 7 chillers and for the largest plant
// the records hold, 30 chillers, in pools of three over 24 bins, read from CAL.DAT, written
// into one document (weighting factors and ECWTs, custom PLV factors with the pool tables and
// chiller worksheets, custom PLV specification, input data summary, system PLV report) and
// saved as PDF; ms_per_page compares the two lengths.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <memory>
#include <string>

#include "app/calc/modCalcs.h"
#include "app/reports/clsReport.h"
#include "app/storage/modDataIO.h"
#include "bench/common/bench_app.h"
#include "platform/richtext/ter.h"
#include "platform/ui/ui.h"

namespace {

// 24 bins from 97.5 F down; chiller c carries a share of each bin's load by its place in the
// sequence, its ECWT falling with the bin temperature.
std::unique_ptr<PLVProfileData> Plant(int chillers) {
  auto p = std::make_unique<PLVProfileData>();
  p->sSystemName = "Campus Plant";
  p->nNumChillerResults = static_cast<int16_t>(chillers);
  p->nLastLoadBin = 24;
  for (int b = 1; b <= 24; ++b) {
    PLVBinData& bin = p->Bins(b);
    bin.fDB = 97.5f - 5.0f * static_cast<float>(b - 1);
    bin.fMCWB = bin.fDB - 10;
    bin.lHours = 100 + 10 * b;
    bin.fLoadPercent = 100.0f - 4.0f * static_cast<float>(b - 1);
    bin.fLoad = 15000 * bin.fLoadPercent / 100;
    bin.lLoadHours = static_cast<int32_t>(bin.fLoad * static_cast<float>(bin.lHours));
    bin.fInput = bin.fLoad * 0.6f;
    bin.fEfficiency = 0.6f;
    p->lTotalHours += bin.lHours;
    p->lTotalLoadHours += bin.lLoadHours;
  }
  for (int c = 1; c <= chillers; ++c) {
    ChillerResultData& r = p->ChillerResults(c);
    r.sSlotName = "CH-" + std::to_string(c);
    r.sChillerName = "Centrifugal 500";
    r.fCapacity = 500;
    r.fFLEfficiency = 0.6f;
    r.nCycleType = 1;
    r.nCondenserType = 2;
    r.nEfficiencyKind = 1;
    r.fIPLV = 0.5f;
    r.nGroup = static_cast<int16_t>((c + 2) / 3);
    for (int b = 1; b <= 24; ++b) {
      const float share = p->Bins(b).fLoad / 500.0f - static_cast<float>(c - 1);
      const float pct = share >= 1 ? 100.0f : share > 0.1f ? 100.0f * share : 0.0f;
      r.bBinOn(b) = pct > 0 ? vb::kTrue : vb::kFalse;
      r.fBinLoadPercent(b) = pct;
      r.fBinLoad(b) = 5.0f * pct;
      r.fBinECWT(b) = pct > 0 ? 85.0f - static_cast<float>(b) : 0.0f;
      r.fBinEfficiency(b) = pct > 0 ? 0.6f : 0.0f;
    }
  }
  modCalcs::bCalcCPLV(*p, false);
  return p;
}

void BM_PLVTablesToPdf(benchmark::State& state) {
  ui::RecordingHost host;
  ui::ScopedHost scoped(host);
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/";
  const std::string previousScratch = modDataIO::DataFolder();
  modDataIO::InitProject(modDataIO::gProject);
  modDataIO::InitSettings(modDataIO::gSettings);
  modDataIO::gSettings.WorkingFolder = folder;
  modDataIO::DataFolder(folder);
  ReportData options;
  options.ReportType = 2;
  if (!modDataIO::bReportsWrite(options) || !modDataIO::bCalcWriteHeaderData() ||
      !modDataIO::bCalcWritePLVData(PLVSummaryData{}, *Plant(static_cast<int>(state.range(0)))))
    state.SkipWithError("CAL.DAT not written");
  int pages = 0;
  const benchapp::Seconds start = benchapp::Now();
  for (auto _ : state) {
    clsReport report;
    int32_t n = 0, section = 0, table = 0, system = 0, summary = 0;
    const bool ok = report.ReadRunResults() && report.InitReportDocument(1, true) &&
                    report.BeginNewReport("WEIGHTING FACTORS AND ECWTs REPORT", 1, n, true) &&
                    report.RptForMardel(section) && report.BeginNewReport("CUSTOM PLV FACTORS REPORT", 2, n, true) &&
                    report.RptCustomPLVReport(table) &&
                    report.BeginNewReport("Custom PLV Specification Report", 2, n, true) &&
                    report.RptCustomPLVSpecification0() && report.BeginNewReport("Input Data Summary", 1, n, true) &&
                    report.InputDataSummary(summary) && report.BeginNewReport("SYSTEM PLV REPORT", 1, n, true) &&
                    report.RptSystemPLVReport0(system) && report.SaveReportAsFile(folder + "tables.pdf", "pdf");
    if (!ok) state.SkipWithError("tables not written");
    pages = richtext::TerGetPageCount(report.TerHwnd());
  }
  const benchapp::Seconds end = benchapp::Now();
  benchapp::PageCounters(state, pages, start, end);
  modDataIO::DataFolder(previousScratch);
}
// 7 chillers make 18 pages, 30 make 52: the cost per page must not grow with them.
BENCHMARK(BM_PLVTablesToPdf)->ArgName("chillers")->Arg(7)->Arg(30)->Unit(benchmark::kMillisecond);

}  // namespace
