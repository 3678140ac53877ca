// The engine's floor: one CalcPlant of a two-chiller plant (2 x 600 tons, one tower each,
// variable-speed fans) over a sweep of loads and wet bulbs.
#pragma once

#include <benchmark/benchmark.h>

#include "bench/common/bench_app.h"

namespace benchapp {

// The benchmark loop of BM_CalcPlant; returns the seconds per CalcPlant.
Seconds CalcPlantLoop(benchmark::State& state);

}  // namespace benchapp
