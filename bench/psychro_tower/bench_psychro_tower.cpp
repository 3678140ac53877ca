// Costs of the engineering libraries' inner calls: one complete psychrometric state, one
// cooling-tower return-water solve and one variable-speed fan-power solve at the minimum
// return temperature (which re-solves the air factor). A tower reuses its last solve when
// called again with the same inputs, so the solve benchmarks alternate between two ranges
// (every call solves); the *_Repeated ones show the cost of an unchanged call.
#include <benchmark/benchmark.h>

#include "libs/psychro/PSYCHEN32.h"
#include "libs/tower/cClgTower.h"

namespace {

void DesignTower(cClgTower& t) {
  t.EquipmentType(Cooling_Tower);
  t.BaromPressure(14.696);
  t.DesignWetBulb(78.0);
  t.DesignRange(10.0);
  t.DesignApproach(7.0);
  t.DesignFanKW(30.0);
  t.DesignFanElecEff(0.9);
  t.LowSpdAirflow(0.5);
  t.CapacityCtrl(Fan_VFD);
  t.CalcDesignFactors();
}

void BM_PsychroState(benchmark::State& state) {
  for (auto _ : state) {
    float t = 95.0f, w = 0.0141f, dp, h, rh, v, pv, tw;
    PSYCHEN32::Psy_ALL_DB_SH(14.696f, t, w, dp, h, rh, v, pv, tw);
    benchmark::DoNotOptimize(tw);
  }
}
BENCHMARK(BM_PsychroState);

void BM_CalcReturnWaterTemp(benchmark::State& state) {
  cClgTower t;
  DesignTower(t);
  t.ActualWetBulb(72.0);
  t.ActualRange(8.5);
  t.WaterFlowRatio(0.9);
  t.MinRetWaterTemp(65.0);
  const bool repeated = state.range(0) != 0;
  bool flip = false;
  for (auto _ : state) {
    if (!repeated) t.ActualRange((flip = !flip) ? 8.5 : 8.6);
    t.CalcReturnWaterTemp();
    benchmark::DoNotOptimize(t.RetWaterTemp());
  }
}
BENCHMARK(BM_CalcReturnWaterTemp)->ArgName("repeated")->Arg(0)->Arg(1);

void BM_CalcFanKW_VFD(benchmark::State& state) {
  cClgTower t;
  DesignTower(t);
  t.ActualWetBulb(50.0);
  t.ActualRange(6.0);
  t.WaterFlowRatio(0.8);
  t.MinRetWaterTemp(65.0);
  t.CalcReturnWaterTemp();  // clamped at the minimum (approach 15 deg F): the fans are throttled
  const bool repeated = state.range(0) != 0;
  bool flip = false;
  for (auto _ : state) {
    // The clamped approach does not depend on the range, so the operating state stays valid.
    if (!repeated) t.ActualRange((flip = !flip) ? 6.0 : 6.1);
    t.CalcFanKW();
    benchmark::DoNotOptimize(t.ActualFanKW());
  }
}
BENCHMARK(BM_CalcFanKW_VFD)->ArgName("repeated")->Arg(0)->Arg(1);

}  // namespace
