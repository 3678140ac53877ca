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
// time x_floor_wall, which the load of a shared machine distorts). The run's evaluations are
// not those of BM_CalcPlant's sweep: BM_DefaultProjectEngineWork repeats exactly the run's
// own (its bins and its staging searches, on an engine set up from the same records, nothing
// read or written around them), and x_engine_work is the run's CPU time as a multiple of
// that. The scratch folder of the last run stays in $XDG_DATA_HOME/Kestrin/Temp/.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

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

// Seconds per repetition of the default project's engine work, from
// BM_DefaultProjectEngineWork of this program run.
benchapp::Seconds gEngineWork;

// The start-up file steps and the calculation set-up of the default project, with RPT.DAT
// asking for a part-load run, as the Reports command launches it; false after a failure.
bool SetUpPartLoadRun(benchmark::State& state) {
  modpublic::InitGlobalSettings(modDataIO::GetAppFolder());
  modDataIO::InitProject(modDataIO::gProject);
  modDataIO::InitSettings(modDataIO::gSettings);
  if (!frmMain::PrepareDataFiles() || !frmMain::SetupCalculationData()) {
    state.SkipWithError("the start-up file steps or the calculation set-up failed");
    return false;
  }
  ReportData report;
  if (!modDataIO::bReportsRead(report)) {
    state.SkipWithError("RPT.DAT could not be read");
    return false;
  }
  report.ReportType = 2;
  if (!modDataIO::bReportsWrite(report)) {
    state.SkipWithError("RPT.DAT could not be written");
    return false;
  }
  return true;
}

// One part-load calculation through the progress window's controller; false after a failure.
bool RunPartLoad(const ui::RecordingHost& host) {
  frmWait form;
  form.CalculationOnly(true);
  form.DoCalcs(true);
  return form.ProcessReports() && host.messages.empty();
}

// The plant evaluations of one part-load run and nothing else: per load bin with hours the
// bin's conditions and one CalcPlant (as the bin simulation sets them), then the staging
// searches of the graph profiles, on an engine set up once from the default project's
// records, with the bins and the chiller states of a run before.
void BM_DefaultProjectEngineWork(benchmark::State& state) {
  ui::RecordingHost host;
  ui::ScopedHost scopedHost(host);
  ui::RecordingProgress progress;
  ui::ScopedProgressTarget scopedProgress(progress);
  if (!SetUpPartLoadRun(state)) return;
  if (!RunPartLoad(host)) {
    state.SkipWithError("the calculation failed");
    return;
  }
  PLVSummaryData summary;
  auto profile = std::make_unique<PLVProfileData>();
  ReportData report;
  SystemData system;
  WeatherData weather;
  if (!modDataIO::bCalcReadPLVData(summary, *profile) || !modDataIO::bReportsRead(report) ||
      !modDataIO::bSystemRead(vb::CInt(report.AnalysedSystemIndex), system) || !modDataIO::bWeatherRead(weather)) {
    state.SkipWithError("the run's records could not be read");
    return;
  }
  // As the part-load analysis sets the system up: without the chilled-water pumps.
  system.fEvapPumpHead = 0;
  system.fChilledWaterPumpHead = 0;
  system.fChwPumpControlValue = 0;
  frmWait form;
  cCwPlant& plant = form.CreatePlant();
  std::vector<ChillerData> chillers;
  std::vector<TowerData> towers;
  std::vector<float> firstECWT, lastECWT;
  auto well = std::make_unique<frmWait::WellWaterTable>();
  if (!form.bSimEngineSetup(system, chillers, towers, weather, firstECWT, lastECWT, *well)) {
    state.SkipWithError("the engine could not be set up");
    return;
  }

  long long evaluations = 0;
  const benchapp::Seconds start = benchapp::Now();
  for (auto _ : state) {
    const long long before = CalcPlantRuns();
    for (int b = 1; b <= profile->nLastLoadBin; ++b) {
      const PLVBinData& bin = profile->Bins(b);
      if (bin.lHours <= 0) continue;
      plant.OutdoorDryBulb(bin.fDB);
      plant.OutdoorWetBulb(bin.fMCWB);
      plant.CoolingLoad(bin.fLoad * 12.0);
      for (int j = 1; j <= profile->nNumChillerResults; ++j)
        if (plant.HeatRejectionMode(j) == 1) plant.WellWaterTemp(j, (*well)(j, 13));
      if (plant.CoolingLoad() > 0.001) plant.CalcPlant();
    }
    bool profiled = false;
    if (!form.bCalcGraphProfiles(*profile, *well, profiled) || !profiled || form.EngineError()) {
      state.SkipWithError("the engine failed");
      return;
    }
    evaluations = CalcPlantRuns() - before;
  }
  const benchapp::Seconds end = benchapp::Now();
  if (state.iterations() == 0) return;
  const auto runs = static_cast<double>(state.iterations());
  gEngineWork = {(end.wall - start.wall) / runs, (end.cpu - start.cpu) / runs};
  state.counters["plant_evaluations"] = static_cast<double>(evaluations);
}
BENCHMARK(BM_DefaultProjectEngineWork)->Unit(benchmark::kMillisecond);

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

  if (!SetUpPartLoadRun(state)) return;

  long long evaluations = 0;
  const benchapp::Seconds start = benchapp::Now();
  for (auto _ : state) {
    const long long before = CalcPlantRuns();
    if (!RunPartLoad(host)) {
      state.SkipWithError("the calculation failed");
      return;
    }
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
  if (gEngineWork.cpu > 0 && state.iterations() > 0) {
    const auto runs = static_cast<double>(state.iterations());
    state.counters["engine_work_ms"] = gEngineWork.cpu * 1e3;
    state.counters["x_engine_work"] = (end.cpu - start.cpu) / runs / gEngineWork.cpu;
  }
}
BENCHMARK(BM_DefaultProjectPartLoad)->Unit(benchmark::kMillisecond);

}  // namespace
