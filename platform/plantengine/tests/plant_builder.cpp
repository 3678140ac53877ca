#include "platform/plantengine/tests/plant_builder.h"

#include <stdexcept>
#include <string>

#include "libs/psychro/PSYCHEN32.h"

namespace plant_builder {

namespace {

// Runs a tower's design method; a fixture whose unit cannot exist fails at once.
void Design(cClgTower& t, void (cClgTower::*method)()) {
  std::string failure;
  t.SetOnError([&failure](long n, const std::string& d, const std::string&, const std::string&, const std::string& m) {
    failure = m + " (" + std::to_string(n) + "): " + d;
  });
  (t.*method)();
  t.SetOnError({});
  if (!failure.empty()) throw std::logic_error("impossible fixture unit: " + failure);
}

}  // namespace

Map CentrifugalMap(double capacity) {
  Map m;
  const double tons = capacity / 12.0;
  for (double e : {85.0, 75.0, 65.0, 55.0}) {
    m.ecwt.push_back(e);
    const double full = capacity * (1 + 0.004 * (85 - e));
    std::vector<double> cap, in;
    for (double plr : {1.0, 0.75, 0.5, 0.25, 0.1}) {
      cap.push_back(full * plr);
      in.push_back(tons * 0.576 * (0.15 + 0.85 * plr) * (1 - 0.012 * (85 - e)));
    }
    m.cap.push_back(cap);
    m.input.push_back(in);
  }
  return m;
}

Map FlatMap(double capacity, const std::vector<double>& ecwt, const std::vector<std::vector<double>>& input) {
  Map m;
  m.ecwt = ecwt;
  m.input = input;
  for (size_t j = 0; j < ecwt.size(); ++j)
    m.cap.push_back({capacity, capacity * 0.75, capacity * 0.5, capacity * 0.25});
  return m;
}

void LetMap(cChiller& c, const Map& m) {
  c.MapECWTCount(static_cast<int>(m.ecwt.size()));
  c.MapLoadCount(static_cast<int>(m.cap.empty() ? 0 : m.cap[0].size()));
  for (size_t j = 0; j < m.ecwt.size(); ++j) {
    c.MapECWT(static_cast<int>(j + 1), m.ecwt[j]);
    for (size_t r = 0; r < m.cap[j].size(); ++r) {
      c.MapCapacity(static_cast<int>(j + 1), static_cast<int>(r + 1), m.cap[j][r]);
      c.MapInput(static_cast<int>(j + 1), static_cast<int>(r + 1), m.input[j][r]);
    }
  }
}

void LetChiller(cChiller& c, const ChillerSpec& s, const Map& m) {
  c.Capacity(s.capacity);
  c.DesignChwFlow(s.chwFlow);
  c.MinChwFlow(s.chwFlow * 0.5);
  c.DesignLCHWT(s.designLCHWT);
  c.MinCapacity(s.minCapacity);
  c.MinECWT(s.minECWT);
  c.AuxKW(s.auxKW);
  LetMap(c, m);
  c.CycleType(s.heatDriven ? 2 : 1);
  c.CondenserType(s.waterCooled ? 2 : 1);
  c.DesignCondFlow(s.waterCooled ? s.condFlow : 0);
  c.EnergySource(s.heatDriven ? 8 : 3);
  if (s.waterCooled) c.InputRejectFraction(1.0);
}

void LetStages(cCwPlant& p, const std::vector<std::vector<int>>& stages) {
  p.NumStages(static_cast<int>(stages.size()));
  for (size_t s = 0; s < stages.size(); ++s)
    for (int c : stages[s]) p.StageChiller(static_cast<int>(s + 1), c, 1.0);
}

void LetTower(cClgTower& t, double heatRejection, int capacityCtrl, double minRet) {
  t.EquipmentType(Cooling_Tower);
  t.BaromPressure(PSYCHEN32::BaromPres(0.0f));
  t.DesignWetBulb(78);
  t.DesignRange(10);
  t.DesignApproach(7);
  t.DesignFanKW(0.05 * heatRejection / 12.0);
  t.DesignFanElecEff(0.9);
  t.LowSpdAirflow(0.5);
  t.CapacityCtrl(static_cast<int16_t>(capacityCtrl));
  Design(t, &cClgTower::CalcDesignFactors);
  t.MinRetWaterTemp(minRet);
}

std::unique_ptr<cCwPlant> MakePlant(const PlantSpec& s) {
  auto p = CreateCwPlant();
  const int n = s.chillers;
  p->NumChillers(n);
  p->EvapFlowControl(s.evapFlowControl);
  p->WaterHeatFactor(0.49969584);
  p->CondPumpControl(s.condPumpControl);
  p->MinCondFlowFraction(s.condPumpControl == 0 ? 1.0 : 0.5);
  p->DesignLCHWT(44);
  p->LCHWTResetMode(1);
  p->ResetLCHWT(44);
  p->EconomizerMode(0);
  p->EconomizerValue(0);
  if (s.stages.empty()) {
    std::vector<std::vector<int>> seq;
    for (int k = 1; k <= n; ++k) {
      seq.emplace_back();
      for (int c = 1; c <= k; ++c) seq.back().push_back(c);
    }
    LetStages(*p, seq);
  } else {
    LetStages(*p, s.stages);
  }
  p->Chillers().BuildCollection(n);
  p->PairedChillers().BuildCollection(n);
  const Map map = CentrifugalMap(s.chiller.capacity);
  for (int c = 1; c <= n; ++c) LetChiller(p->Chillers().Item(c), s.chiller, map);
  p->HasWaterCooledChillers(s.chiller.waterCooled);
  if (p->HasCondenserSide()) {
    p->SharedTower(s.shared);
    const int units = s.shared ? 1 : n;
    p->ClgTowers().BuildCollection(units);
    p->CondenserPumps().BuildCollection(units);
    const double heat = s.chiller.capacity * 1.25 * (s.shared ? n : 1);
    for (int u = 1; u <= units; ++u) {
      cClgTower& t = *p->ClgTowers().Item(u);
      p->HeatRejectionMode(u, s.heatRejectionMode);
      if (s.heatRejectionMode == 0) {
        LetTower(t, heat, s.capacityCtrl, s.minRet);
      } else if (s.heatRejectionMode == 2) {
        t.EquipmentType(Dry_Cooler);
        t.BaromPressure(PSYCHEN32::BaromPres(0.0f));
        t.DesignDryBulb(95);
        t.DesignRange(10);
        t.DesignApproach(10);
        t.DesignWaterFlow(s.chiller.condFlow * (s.shared ? n : 1));
        // 60 cfm per kBtu/h: the air carries 0.65 x the water's heat capacity, so the design
        // 10 F range at a 10 F approach needs an effectiveness of 0.77.
        t.DesignAirFlow(60 * heat);
        t.DesignFanKW(0.1 * heat / 12.0);
        t.DesignFanElecEff(1.0);
        t.LowSpdAirflow(1.0);
        t.CapacityCtrl(static_cast<int16_t>(Fan_Cycling));
        Design(t, &cClgTower::CalcDesignFactors_DryCooler);
        t.MinRetWaterTemp(s.minRet);
      } else {
        t.EquipmentType(Well_Water);
      }
      cPump& pump = p->CondenserPumps().Item(u);
      pump.Flow(s.chiller.condFlow * (s.shared ? n : 1));
      pump.Head(60);
      pump.PumpEfficiency(0.8);
      pump.MotorEfficiency(0.9);
      pump.MinFlow(0.5 * pump.Flow());
      pump.ControlValue(0);
      pump.Calculate();
    }
    p->CondDesignRange(10);
  }
  const int primaries = s.evapFlowControl == 2 ? 1 : n;
  p->PrimaryPumps().BuildCollection(primaries);
  const double total = s.chiller.chwFlow * n;
  for (int k = 1; k <= primaries; ++k) {
    cPump& pump = p->PrimaryPumps().Item(k);
    pump.Flow(s.evapFlowControl == 2 ? total : s.chiller.chwFlow);
    pump.Head(40);
    pump.Power(0);
    pump.PumpEfficiency(0.8);
    pump.MotorEfficiency(0.9);
    pump.MinFlow(s.evapFlowControl == 1 ? pump.Flow() : 0.5 * pump.Flow());
    pump.ControlValue(0);
    pump.Calculate();
  }
  if (s.evapFlowControl == 2 || s.evapFlowControl == 3) {
    cPump& sp = p->SystemPump();
    sp.Flow(total);
    sp.Head(60);
    sp.PumpEfficiency(0.8);
    sp.MotorEfficiency(0.9);
    sp.MinFlow(0.5 * total);
    sp.ControlValue(0);
    sp.Calculate();
  }
  p->ChwDesignRange(s.chiller.capacity * n / (0.49969584 * total));
  return p;
}

void RunBin(cCwPlant& p, double dryBulb, double wetBulb, double load) {
  p.OutdoorDryBulb(dryBulb);
  p.OutdoorWetBulb(wetBulb);
  p.CoolingLoad(load);
  p.CalcPlant();
}

}  // namespace plant_builder
