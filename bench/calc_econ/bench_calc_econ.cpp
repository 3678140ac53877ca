// The economic calculation of two plants of two 600-ton water-cooled chillers with their own
// cooling towers (one sequenced, one with equal unloading) over 24 temperature bins, through
// frmWait's controller with the real engine: records read, input check with the life-cycle
// checks, first cost and order, engine set-up, twelve months of bin simulation per system,
// pricing, cash flow, the life-cycle comparison, CAL.DAT and LCA.TXT written.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "app/calc/frmWait.h"
#include "app/calc/tests/calc_fixtures.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "platform/ui/ui.h"

namespace {

// The 24 bins over a year: each bin's hours spread over the months whose mean dry bulb lies
// within 25 F of the bin's (a season from 25 F in January to 78 F in July; a bin colder than
// every month goes to January), so that the calculation simulates each month's bins as it
// does for a site of the database.
WeatherData SeasonalBins24Weather() {
  WeatherData w = calctest::Bins24Weather();
  for (int m = 1; m <= 12; ++m) {
    w.lMonthHours(m) = 0;
    for (int b = 1; b <= w.nNumBins; ++b) {
      w.lMonthBinHours(m, b) = 0;
      w.fMonthBinMCWB(m, b) = w.fBinMCWB(b);
    }
  }
  for (int b = 1; b <= w.nNumBins; ++b) {
    std::array<double, 13> weight{};
    double sum = 0;
    int heaviest = 1;
    for (int m = 1; m <= 12; ++m) {
      const double mean = 51.5 - 26.5 * std::cos(2 * M_PI * (m - 1) / 12);
      weight[m] = std::max(0.0, 1 - std::fabs(w.fBinDB(b) - mean) / 25);
      sum += weight[m];
      if (weight[m] > weight[heaviest]) heaviest = m;
    }
    int32_t left = w.lBinHours(b);
    for (int m = 1; m <= 12 && sum > 0; ++m) {
      const auto h = static_cast<int32_t>(w.lBinHours(b) * weight[m] / sum);
      w.lMonthBinHours(m, b) = h;
      left -= h;
    }
    w.lMonthBinHours(heaviest, b) += left;
  }
  for (int m = 1; m <= 12; ++m)
    for (int b = 1; b <= w.nNumBins; ++b) w.lMonthHours(m) += w.lMonthBinHours(m, b);
  return w;
}

bool WriteEconomicRun(const calctest::ScratchFolder& scratch) {
  const WeatherData weather = SeasonalBins24Weather();
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
