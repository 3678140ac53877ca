// The economic calculation of two plants of two 600-ton water-cooled chillers with their own
// cooling towers (one sequenced, one with equal unloading) over 24 temperature bins, through
// frmWait's controller with the real engine: records read, input check with the life-cycle
// checks, first cost and order, engine set-up, twelve months of bin simulation per system,
// pricing, cash flow, the life-cycle comparison, CAL.DAT and LCA.TXT written.
#include <benchmark/benchmark.h>

#include "app/calc/frmWait.h"
#include "app/calc/tests/calc_fixtures.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "platform/ui/ui.h"

namespace {

bool WriteEconomicRun(const calctest::ScratchFolder& scratch) {
  WeatherData weather = calctest::Bins24Weather();
  for (int b = 1; b <= weather.nNumBins; ++b) {  // the site's hours sit in month 1
    weather.lMonthBinHours(1, b) = weather.lBinHours(b);
    weather.fMonthBinMCWB(1, b) = weather.fBinMCWB(b);
  }
  SystemData second = calctest::TwoChillerSystem();
  second.sName = "Plant B";
  second.nPlantControl = 4;
  second.dChillerCostA = 900000;
  SystemData first = calctest::TwoChillerSystem();
  first.dChillerCostA = 800000;
  return calctest::WriteEconomicRun(scratch, weather, first, second, calctest::TwentyYearEconomics());
}

void BM_EconomicCalculation(benchmark::State& state) {
  ui::RecordingHost host;
  ui::ScopedHost scopedHost(host);
  ui::RecordingProgress progress;
  ui::ScopedProgressTarget scopedProgress(progress);
  calctest::ScratchFolder scratch;
  modpublic::InitGlobalSettings(scratch.path());
  if (!WriteEconomicRun(scratch)) {
    state.SkipWithError("could not write the plant records");
    return;
  }
  for (auto _ : state) {
    frmWait form;
    form.CalculationOnly(true);
    const bool ok = form.ProcessReports();
    if (!ok || !host.messages.empty() || form.InputErrors()) {
      state.SkipWithError("the calculation failed");
      return;
    }
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_EconomicCalculation)->Unit(benchmark::kMillisecond);

}  // namespace
