// The part-load calculation of a plant of two 600-ton water-cooled chillers with their own
// cooling towers over 24 temperature bins, through frmWait's controller with the real
// engine: records read, input check, engine set-up, the bin simulation, rating points, the
// graph profiles with the staging-change search, CAL.DAT and ERR.DAT written.
#include <benchmark/benchmark.h>

#include "app/calc/frmWait.h"
#include "app/calc/tests/calc_fixtures.h"
#include "app/storage/modpublic.h"
#include "platform/ui/ui.h"

namespace {

void BM_PartLoadCalculation(benchmark::State& state) {
  ui::RecordingHost host;
  ui::ScopedHost scopedHost(host);
  ui::RecordingProgress progress;
  ui::ScopedProgressTarget scopedProgress(progress);
  calctest::ScratchFolder scratch;
  modpublic::InitGlobalSettings(scratch.path());
  if (!calctest::WriteDefaultPlant(calctest::Bins24Weather(), calctest::Bins24Load())) {
    state.SkipWithError("could not write the plant records");
    return;
  }
  for (auto _ : state) {
    frmWait form;
    form.CalculationOnly(true);
    const bool ok = form.ProcessReports();
    if (!ok || !host.messages.empty()) {
      state.SkipWithError("the calculation failed");
      return;
    }
    benchmark::DoNotOptimize(ok);
  }
}
BENCHMARK(BM_PartLoadCalculation)->Unit(benchmark::kMillisecond);

}  // namespace
