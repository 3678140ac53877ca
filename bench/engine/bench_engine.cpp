// CalcPlant of a two-chiller plant (2 x 600 tons, one tower each, variable-speed fans), alone
// and in a part-load run.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/common/calc_plant_bench.h"
#include "platform/plantengine/tests/plant_builder.h"

namespace {

using namespace plant_builder;

struct Point {
  double db, wb, load;
};

void BM_CalcPlant(benchmark::State& state) { benchapp::CalcPlantLoop(state); }
BENCHMARK(BM_CalcPlant);

// A part-load run as the rating makes it: 24 bins from hot to cold, and between two bins
// whose running chillers differ a 39-step search for the staging change. The argument is
// the economizer mode (0 none, 3 integrated with a 3 F approach, which tries several ways
// of running in every bin cold enough for it).
void BM_PartLoadRun(benchmark::State& state) {
  PlantSpec s;
  auto p = MakePlant(s);
  p->EconomizerMode(static_cast<int>(state.range(0)));
  p->EconomizerValue(3);
  bool failed = false;
  p->SetOnError([&failed](long, const std::string&, const std::string&, const std::string&, const std::string&) {
    failed = true;
  });
  std::vector<Point> bins;
  for (int b = 0; b < 24; ++b) {
    const double db = 102.5 - 4 * b;
    const double wb = db > 60 ? 0.55 * db + 21 : db - 4;
    const double load = std::max(0.04, (db - 45) / 57.5) * 12000;
    bins.push_back({db, wb, load});
  }
  int calls = 0;
  for (auto _ : state) {
    calls = 0;
    int lastOn = -1;
    for (size_t b = 0; b < bins.size(); ++b) {
      RunBin(*p, bins[b].db, bins[b].wb, bins[b].load);
      ++calls;
      const int on = p->ChillersOn();
      if (lastOn >= 0 && on != lastOn) {
        const Point& a = bins[b - 1];
        for (int k = 1; k <= 39; ++k) {
          const double t = k / 40.0;
          RunBin(*p, a.db + t * (bins[b].db - a.db), a.wb + t * (bins[b].wb - a.wb),
                 a.load + t * (bins[b].load - a.load));
          ++calls;
          if (p->ChillersOn() != lastOn) break;
        }
      }
      lastOn = on;
    }
    benchmark::DoNotOptimize(p->ECWT());
  }
  if (failed) state.SkipWithError("the engine raised an error");
  state.counters["calls_per_run"] = calls;
}
BENCHMARK(BM_PartLoadRun)->Arg(0)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace
