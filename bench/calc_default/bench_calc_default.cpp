// The part-load calculation of the shipped default project (Chicago IAP, Large Office,
// 1,200 tons, two chillers, sequenced). Once, as the program does at start-up and before a
// report run: the per-user and scratch folders with the templates copied in, and the
// calculation set-up from the site database. Then per iteration the whole calculation
// through the progress window's controller with the real engine: records read, input
// check, engine set-up, the bin simulation, rating points, graph profiles, CAL.DAT and
// ERR.DAT written.
//
// Counters: the custom part-load value (kW/ton) of chiller 1 and its four weighting
// factors; the run's plant evaluations (CalcPlant calls), its engine floor (those
// evaluations at the CPU time per CalcPlant that BM_CalcPlant measured just before, in the
// same program run) and the run's CPU time as a multiple of that floor (x_floor; in wall-clock
// time x_floor_wall, which the load of a shared machine distorts). The scratch
// folder of the last run stays in $XDG_DATA_HOME/Kestrin/Temp/.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/calc/custom_plv.h"
#include "app/calc/frmWait.h"
#include "app/program/frmMain.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "bench/common/calc_plant_bench.h"
#include "libs/vb/vbcompat.h"
#include "platform/plantengine/grendax.h"
#include "platform/ui/ui.h"

namespace {

// Seconds per CalcPlant, from BM_CalcPlant of this program run.
benchapp::Seconds gCalcPlant;

void BM_CalcPlant(benchmark::State& state) { gCalcPlant = benchapp::CalcPlantLoop(state); }
BENCHMARK(BM_CalcPlant);

// The chiller result 1 of the last run and the record of its machine; false when missing.
bool ReadChiller1(ChillerResultData& result, ChillerData& chiller) {
  PLVSummaryData summary;
  auto profile = std::make_unique<PLVProfileData>();
  ReportData report;
  SystemData system;
  if (!modDataIO::bCalcReadPLVData(summary, *profile) || profile->nNumChillerResults < 1) return false;
  if (!modDataIO::bReportsRead(report) || !modDataIO::bSystemRead(vb::CInt(report.AnalysedSystemIndex), system))
    return false;
  result = profile->ChillerResults(1);
  return modDataIO::bChillerRead(system.nChillerIDs(1), chiller);
}

void BM_DefaultProjectPartLoad(benchmark::State& state) {
  ui::RecordingHost host;
  ui::ScopedHost scopedHost(host);
  ui::RecordingProgress progress;
  ui::ScopedProgressTarget scopedProgress(progress);

  modpublic::InitGlobalSettings(modDataIO::GetAppFolder());
  modDataIO::InitProject(modDataIO::gProject);
  modDataIO::InitSettings(modDataIO::gSettings);
  if (!frmMain::PrepareDataFiles() || !frmMain::SetupCalculationData()) {
    state.SkipWithError("the start-up file steps or the calculation set-up failed");
    return;
  }
  // A part-load run, as the Reports command launches it.
  ReportData report;
  if (!modDataIO::bReportsRead(report)) {
    state.SkipWithError("RPT.DAT could not be read");
    return;
  }
  report.ReportType = 2;
  if (!modDataIO::bReportsWrite(report)) {
    state.SkipWithError("RPT.DAT could not be written");
    return;
  }

  long long evaluations = 0;
  const benchapp::Seconds start = benchapp::Now();
  for (auto _ : state) {
    const long long before = CalcPlantRuns();
    frmWait form;
    form.CalculationOnly(true);
    form.DoCalcs(true);
    const bool ok = form.ProcessReports();
    if (!ok || !host.messages.empty()) {
      state.SkipWithError("the calculation failed");
      return;
    }
    benchmark::DoNotOptimize(ok);
    evaluations = CalcPlantRuns() - before;
  }
  const benchapp::Seconds end = benchapp::Now();

  ChillerResultData result;
  ChillerData chiller;
  float cplv = 0;
  if (!ReadChiller1(result, chiller) || !modCalcs::bCalcChillerCPLV(chiller, result, cplv)) {
    state.SkipWithError("the custom part-load value could not be computed");
    return;
  }
  state.counters["CPLV_kW_per_ton"] = cplv;
  state.counters["W25"] = result.fWeightingFactor(1);
  state.counters["W50"] = result.fWeightingFactor(2);
  state.counters["W75"] = result.fWeightingFactor(3);
  state.counters["W100"] = result.fWeightingFactor(4);
  state.counters["plant_evaluations"] = static_cast<double>(evaluations);
  if (gCalcPlant.cpu > 0 && evaluations > 0 && state.iterations() > 0) {
    const auto runs = static_cast<double>(state.iterations());
    const auto n = static_cast<double>(evaluations);
    state.counters["floor_ms"] = n * gCalcPlant.cpu * 1e3;
    state.counters["x_floor"] = (end.cpu - start.cpu) / runs / (n * gCalcPlant.cpu);
    state.counters["x_floor_wall"] = (end.wall - start.wall) / runs / (n * gCalcPlant.wall);
  }
}
BENCHMARK(BM_DefaultProjectPartLoad)->Unit(benchmark::kMillisecond);

}  // namespace
