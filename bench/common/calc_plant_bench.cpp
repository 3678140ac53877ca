#include "bench/common/calc_plant_bench.h"

#include <chrono>
#include <vector>

#include "platform/plantengine/tests/plant_builder.h"

namespace benchapp {
namespace {

struct Point {
  double db, wb, load;
};

// Loads from 5 to 100 % of the plant at wet bulbs from 40 to 78 F.
std::vector<Point> Sweep() {
  std::vector<Point> pts;
  for (double wb = 40; wb <= 78; wb += 2)
    for (double f = 0.05; f <= 1.0001; f += 0.05) pts.push_back({wb + 12, wb, 14400 * f});
  return pts;
}

}  // namespace

Seconds CalcPlantLoop(benchmark::State& state) {
  plant_builder::PlantSpec s;
  auto p = plant_builder::MakePlant(s);
  const std::vector<Point> pts = Sweep();
  size_t i = 0;
  const Seconds start = Now();
  for (auto _ : state) {
    const Point& pt = pts[i];
    plant_builder::RunBin(*p, pt.db, pt.wb, pt.load);
    benchmark::DoNotOptimize(p->ECWT());
    i = (i + 1) % pts.size();
  }
  const Seconds end = Now();
  state.SetItemsProcessed(state.iterations());
  if (state.iterations() == 0) return {};
  const auto n = static_cast<double>(state.iterations());
  return {(end.wall - start.wall) / n, (end.cpu - start.cpu) / n};
}

}  // namespace benchapp
