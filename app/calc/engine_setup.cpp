// The plant-engine set-up: one system's records into a configured engine (plant values,
// staging, chillers with their prepared maps, heat-rejection units, pumps, design ranges).
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/calc/frmWait.h"
#include "app/calc/modCalcs.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "libs/psychro/PSYCHEN32.h"
#include "libs/tower/cClgTowers.h"
#include "platform/ui/ui.h"

namespace {

constexpr double kWaterHeatFactor = 0.49969584;  // kBtu/h per gpm and deg F

// Set-up stops here; the box has been shown (or the failing routine showed its own).
struct SetupStopped {};

// A collection that could not be built: the box with the collection's description.
[[noreturn]] void CollectionFailed(const std::string& description) {
  vb::Err().Clear();
  modpublic::ShowError(std::string(frmWait::kErrorPrefix) + "\r\n\r\n" + description, ui::kExclamation,
                       "bSimEngineSetup");
  throw SetupStopped{};
}

// Stage table of a plant control for n chillers.
void SetStages(cCwPlant& plant, int control, int n) {
  switch (control) {
    case 1:  // sequenced: stage s = chillers 1..s
      plant.NumStages(n);
      for (int s = 1; s <= n; ++s)
        for (int c = 1; c <= s; ++c) plant.StageChiller(s, c, 1.0);
      break;
    case 2:  // part-load chiller at low loads: stage 1 = chiller n, then 1..s-1
    case 3:  // the same with a last stage of all chillers
      plant.NumStages(control == 2 ? n : n + 1);
      if (n >= 1) plant.StageChiller(1, n, 1.0);
      for (int s = 2; s <= (control == 2 ? n : n + 1); ++s)
        for (int c = 1; c <= s - 1; ++c) plant.StageChiller(s, c, 1.0);
      break;
    case 4:  // equal unloading: every stage runs all chillers
      plant.NumStages(n);
      for (int s = 1; s <= n; ++s)
        for (int c = 1; c <= n; ++c) plant.StageChiller(s, c, 1.0);
      break;
    default:
      break;
  }
}

// The chiller's design values: capacity, chilled-water flows, leaving temperature, option,
// minimum capacity, map coefficients and sizes, auxiliary power.
void SetChillerDesign(const SystemData& system, cCwPlant& plant, const ChillerData& chiller, cChiller& e) {
  e.Capacity(chiller.fFLCapacity * 12.0);
  e.DesignChwFlow(chiller.fEvapWaterFlow);
  if (plant.EvapFlowControl() == 1)
    e.MinChwFlow(system.nPlantControl != 4 ? e.DesignChwFlow() * 0.5 : e.DesignChwFlow());
  else
    e.MinChwFlow(system.fMinChwFlowPercent * e.DesignChwFlow() * 0.01);
  e.DesignLCHWT(chiller.fDesignLCHWT);
  e.ChillerOption(chiller.nChillerOption);
  e.MinCapacity(chiller.bNoMinLoad == 0 ? chiller.fMinLoadPct * e.Capacity() * 0.01 : 0.0);
  e.MapCoef1(chiller.fMapCoef(1));
  e.MapCoef2(chiller.fMapCoef(2));
  e.MapCoef3(chiller.fMapCoef(3));
  e.MapCoef4(chiller.fMapCoef(4));
  e.MapLoadCount(chiller.nNumLoadPoints);
  e.MapECWTCount(chiller.nNumECWTPoints);
  e.AuxKW(chiller.fAuxKW);
}

// The part-load table, right-aligned: while the last row is empty, every row moves one
// down (row 1 keeps its values).
void SetPartLoadTable(ChillerData& chiller, cChiller& e) {
  const int points = chiller.nPartLoadPoints;
  e.PartLoadPointCount(points == 4 || points == 5 ? 3 : (points > 0 ? points : 0));
  if (points <= 0) return;
  for (int pass = 1; pass <= 8; ++pass) {
    if (chiller.fPartLoadPct(8) != 0) break;
    for (int k = 8; k >= 2; --k) {
      chiller.fPartLoadPct(k) = chiller.fPartLoadPct(k - 1);
      chiller.fPartLoadCapacity(k) = chiller.fPartLoadCapacity(k - 1);
      chiller.fPartLoadInput(k) = chiller.fPartLoadInput(k - 1);
    }
  }
  for (int i = 1; i <= 8; ++i) {
    e.PartLoadCapacity(i, chiller.fPartLoadCapacity(i) * 12.0);
    e.PartLoadPct(i, chiller.fPartLoadPct(i));
    e.PartLoadInput(i, chiller.fPartLoadInput(i));
  }
}

// The capacity and input map, ECWT by load row.
void SetPerformanceMap(const ChillerData& chiller, cChiller& e) {
  for (int c = 1; c <= chiller.nNumECWTPoints; ++c) {
    e.MapECWT(c, chiller.fECWTPoints(c));
    for (int r = 1; r <= chiller.nNumLoadPoints; ++r) {
      e.MapCapacity(c, r, chiller.fCapacityMap(c, r));
      e.MapInput(c, r, chiller.fPowerMap(c, r));
    }
  }
}

// Per type: cycle, condenser, condenser flow, plant flag, energy source, reject fraction,
// then the minimum ECWT and the design heat rejection (kBtu/h) for the tower design.
void SetChillerType(cCwPlant& plant, const ChillerData& chiller, cChiller& e, double& dMinECWT,
                    double& dHeatRejection) {
  const double C = e.Capacity();
  const double P = chiller.fFLPower;
  const double A = chiller.fAuxKW * 3.412;
  const bool total = chiller.nFLPowerType != 0;
  const int type = chiller.nType;
  auto waterCooled = [&](int cycle) {
    e.CycleType(cycle);
    e.CondenserType(2);
    e.DesignCondFlow(chiller.fCondWaterFlow);
    plant.HasWaterCooledChillers(true);
  };
  if (type >= 1 && type <= 5) {
    waterCooled(1);
    e.EnergySource(3);
    e.InputRejectFraction(1.0);
    // 0.28433 is 3.412 / 12 rounded to five places, the factor the results are computed with.
    dHeatRejection = total ? P * 3.412 + C : (P * 0.28433 + 1) * C;
  } else if (type == 6 || type == 7) {
    const double HF = chiller.fInputHeatFactor;
    waterCooled(2);
    e.EnergySource(8);
    e.InputRejectFraction(1.0);
    dHeatRejection = total ? HF * P / 1000.0 + C + A : (HF * P / 12000.0 + 1) * C + A;
  } else if (type == 8) {
    waterCooled(2);
    if (chiller.nFuelType == 4 || chiller.nFuelType == 5 || chiller.nFuelType == 6) e.EnergySource(chiller.nFuelType);
    e.InputRejectFraction(1.0);
    dHeatRejection = total ? P + C + A : (P / 12.0 + 1) * C + A;
  } else if (type == 9) {
    const double rej = chiller.fRejectedHeatPct * 0.01;
    waterCooled(1);
    if (chiller.nFuelType == 4 || chiller.nFuelType == 8) e.EnergySource(chiller.nFuelType);
    e.InputRejectFraction(rej);
    dHeatRejection = total ? rej * P + C + A : (rej * P / 12.0 + 1) * C + A;
  } else if (type >= 10 && type <= 12) {
    e.CycleType(1);
    e.CondenserType(1);
    e.DesignCondFlow(0);
    plant.HasAirCooledChillers(true);
    e.EnergySource(3);
    dMinECWT = 0;
    dHeatRejection = 0;
  }
  if (type >= 1 && type <= 9) {
    // The engine floors the chiller's ECWT at exactly this value.
    e.MinECWT(chiller.fMinECWT);
    dMinECWT = chiller.fMinECWT;
  }
}

// What the chiller transfers give the heat-rejection and pump set-up: per slot c (index c,
// from 1) the chiller's minimum ECWT and design heat rejection (kBtu/h), and the plant's
// design chilled-water flow and capacity.
struct ChillerTotals {
  std::vector<double> dMinECWT, dHeatRejection;
  double chwFlowTotal = 0, capacityTotal = 0;
};

grendax::ErrorListener PumpErrors(frmWait& form) {
  return [&form](long number, const std::string& description, const std::string& library, const std::string& className,
                 const std::string& method) { form.oPump_OnError(number, description, library, className, method); };
}

// 1. Records. A paired machine or unit that cannot be read ends the set-up like a main one.
bool ReadRecords(const SystemData& system, std::vector<ChillerData>& chillers, std::vector<TowerData>& towers,
                 std::vector<ChillerData>& pairedChillers) {
  const int n = system.nNumChillers;
  for (int c = 1; c <= n; ++c) {
    if (system.nChillerIDs2(c) > 0 && !modDataIO::bChillerRead(system.nChillerIDs2(c), pairedChillers[c - 1]))
      return false;
    if (!modDataIO::bChillerRead(system.nChillerIDs(c), chillers[c - 1])) return false;
    if (system.nTowerIDs(c) > 0) {
      TowerData pairedTower;
      if (system.nTowerIDs2(c) > 0 && !modDataIO::bTowerRead(system.nTowerIDs2(c), pairedTower)) return false;
      if (!modDataIO::bTowerRead(system.nTowerIDs(c), towers[c - 1])) return false;
    }
  }
  return true;
}

// The leaving chilled-water reset of the plant.
void SetLCHWTReset(const SystemData& system, cCwPlant& plant) {
  plant.LCHWTResetMode(system.nLCHWTResetMode);
  switch (plant.LCHWTResetMode()) {
    case 1:
      plant.ResetLCHWT(system.fDesignLCHWT);
      break;
    case 2: {
      plant.ResetLCHWT(system.fResetLCHWT);
      plant.ResetPointA(system.fResetPointA);
      plant.ResetPointB(system.fResetPointB);
      const double d = plant.ResetPointA() - plant.ResetPointB();
      if (std::fabs(d) > 0.001) {
        const double slope = (plant.ResetLCHWT() - plant.DesignLCHWT()) / d;
        plant.ResetSlope(slope);
        plant.ResetIntercept(plant.DesignLCHWT() - slope * plant.ResetPointB());
      } else {
        plant.ResetSlope(0);
        plant.ResetIntercept(plant.DesignLCHWT());
      }
      break;
    }
    case 3:
      plant.ResetLCHWT(system.fResetLCHWT);
      break;
    default:
      break;
  }
}

// 2. Plant values and staging. Returns the plant control the staging used: a local copy;
// the chiller transfers see the system record's own control.
int16_t SetPlantValues(const SystemData& system, cCwPlant& plant) {
  int16_t plantControl = system.nPlantControl;
  plant.NumChillers(system.nNumChillers);
  if (plant.NumChillers() == 1) plantControl = 4;
  plant.EvapFlowControl(system.nEvapFlowControl);
  plant.InitialValue332(0);
  plant.WaterHeatFactor(kWaterHeatFactor);
  plant.CondPumpControl(system.nCondPumpControl);
  plant.MinCondFlowFraction(plant.CondPumpControl() == 0 ? 1.0 : system.nMinCondFlowPercent / 100.0);
  plant.DesignLCHWT(system.fDesignLCHWT);
  SetLCHWTReset(system, plant);
  if (system.bWaterEconomizer != 0) {
    if (system.nEconomizerType == 1 || system.nEconomizerType == 2) {
      plant.EconomizerMode(system.nEconomizerType == 1 ? 2 : 3);
      plant.EconomizerValue(system.fEconomizerValue);
    }
  } else {
    plant.EconomizerMode(0);
    plant.EconomizerValue(0);
  }
  if (system.bSlot1Basis != 0) plantControl = 2;
  SetStages(plant, plantControl, plant.NumChillers());
  return plantControl;
}

// 3. Chiller collections.
void BuildChillerCollections(cCwPlant& plant, int n) {
  plant.Chillers().BuildCollection(n);
  plant.PairedChillers().BuildCollection(n);
  if (plant.Chillers().Count() < 1 || plant.PairedChillers().Count() < 1)
    CollectionFailed("Unable to build chillers collection");
}

// 4. Chillers: each slot's machine (and its paired machine) into the engine, with the
// plant's design flow and capacity and each map's first and last ECWT.
bool TransferChillers(const SystemData& system, cCwPlant& plant, int plantControl, std::vector<ChillerData>& chillers,
                      std::vector<ChillerData>& pairedChillers, std::vector<float>& firstECWT,
                      std::vector<float>& lastECWT, ChillerTotals& totals) {
  const int n = system.nNumChillers;
  const bool slot1 = system.bSlot1Basis != 0;
  totals.dMinECWT.assign(n + 1, 0.0);
  totals.dHeatRejection.assign(n + 1, 0.0);
  for (int c = 1; c <= n; ++c) {
    cChiller& main = plant.Chillers().Item(c);
    cChiller& second = plant.PairedChillers().Item(c);
    if (!frmWait::TransferChillerDataFromBrimlowToEngine(system, plant, chillers[c - 1], main, totals.dMinECWT[c],
                                                         totals.dHeatRejection[c]))
      return false;
    const bool paired = system.nChillerIDs2(c) > 0;
    if (paired) {
      const bool pairedTower = system.nTowerIDs2(c) > 0;
      main.Paired(true);
      second.Paired(true);
      main.PairedTower(pairedTower);
      second.PairedTower(pairedTower);
      double minECWT2 = 0, heat2 = 0;
      if (!frmWait::TransferChillerDataFromBrimlowToEngine(system, plant, pairedChillers[c - 1], second, minECWT2,
                                                           heat2))
        return false;
      totals.dMinECWT[c] = std::max(totals.dMinECWT[c], minECWT2);
      // A pair on one unit loads that unit with both machines' heat; with a unit of its own
      // the second machine's heat goes to the second unit (counted in the totals below).
      if (!main.PairedTower()) totals.dHeatRejection[c] += heat2;
    } else {
      main.Paired(false);
      main.PairedTower(false);
      second.Paired(false);
      second.PairedTower(false);
    }

    if (slot1) {
      if (c == 1) {
        totals.chwFlowTotal = main.DesignChwFlow();
        totals.capacityTotal = main.Capacity();
      }
    } else if (plantControl == 2 && c == n) {
      // The part-load chiller counts only when it is the largest.
      if (main.DesignChwFlow() > totals.chwFlowTotal) {
        totals.chwFlowTotal = main.DesignChwFlow();
        totals.capacityTotal = main.Capacity();
      }
    } else {
      totals.chwFlowTotal += main.DesignChwFlow();
      totals.capacityTotal += main.Capacity();
      if (paired) totals.capacityTotal += second.Capacity();
    }
    const int nECWT = main.MapECWTCount();
    firstECWT[c - 1] = nECWT >= 1 ? static_cast<float>(main.MapECWT(1)) : 0.0f;
    lastECWT[c - 1] = nECWT >= 1 ? static_cast<float>(main.MapECWT(nECWT)) : 0.0f;
  }
  return true;
}

// The design heat rejection (kBtu/h) that heat-rejection unit u is sized on.
double UnitHeatRejection(const SystemData& system, cCwPlant& plant, const ChillerTotals& totals, int u) {
  const int n = system.nNumChillers;
  const bool slot1 = system.bSlot1Basis != 0;
  double X = 0;
  if (system.nSingleTower != 0) {
    if (slot1)
      X = totals.dHeatRejection[1];
    else
      for (int c = 1; c <= n; ++c) X += totals.dHeatRejection[c];
  } else if (slot1) {
    X = totals.dHeatRejection[1];
    if (u > 1 &&
        std::fabs(plant.Chillers().Item(1).DesignCondFlow() - plant.Chillers().Item(2).DesignCondFlow()) > 10.0)
      X = totals.dHeatRejection[1] / 2.0;
  } else {
    X = totals.dHeatRejection[u];
  }
  return X;
}

// Heat-rejection unit u from its record, sized on X kBtu/h: a cooling tower, a dry cooler
// or well water (the well-water table of the record).
bool SetUpHeatRejectionUnit(frmWait& form, cCwPlant& plant, const TowerData& r, int u, double X, float barometric,
                            const ChillerTotals& totals, frmWait::WellWaterTable& wellTable) {
  cClgTower& tw = *plant.ClgTowers().Item(u);
  tw.SetOnError(
      [&form](long number, const std::string& description, const std::string& library, const std::string& className,
              const std::string& method) { form.oClgTwr_OnError(number, description, library, className, method); });
  const double fanKW = r.nFanKWAbsolute == 1 ? r.fDesignFanKW : r.fDesignFanKW * X / 12.0;
  if (r.nEqptType == Cooling_Tower) {
    tw.EquipmentType(r.nEqptType);
    plant.HeatRejectionMode(u, 0);
    tw.BaromPressure(barometric);
    tw.DesignWetBulb(r.fDesignWB);
    tw.DesignRange(r.fDesignRange);
    tw.DesignApproach(r.fDesignApproach);
    tw.DesignFanKW(fanKW);
    tw.DesignFanElecEff(r.fFanElecEffPct * 0.01);
    tw.LowSpdAirflow(r.nLowSpeedAirflowPct * 0.01);
    tw.CapacityCtrl(r.nCapacityControl);
    tw.CalcDesignFactors();
    if (form.EngineError()) return false;
  } else if (r.nEqptType == Dry_Cooler) {
    tw.EquipmentType(r.nEqptType);
    plant.HeatRejectionMode(u, 2);
    tw.BaromPressure(barometric);
    tw.DesignDryBulb(r.fDesignWB);
    tw.DesignRange(r.fDesignRange);
    tw.DesignApproach(r.fDesignApproach);
    tw.DesignWaterFlow(r.fCondWaterFlow);
    tw.DesignAirFlow(r.nAirflowAbsolute == 1 ? r.fDesignAirflow : r.fDesignAirflow * X / 12.0);
    tw.DesignFanKW(fanKW);
    tw.DesignFanElecEff(1.0);
    tw.LowSpdAirflow(1.0);
    tw.CapacityCtrl(r.nCapacityControl);
    tw.CalcDesignFactors_DryCooler();
    if (form.EngineError()) return false;
  } else {
    tw.EquipmentType(r.nEqptType);
    plant.HeatRejectionMode(u, 1);
    for (int k = 1; k <= 13; ++k) wellTable(u, k) = r.fTowerTable(k);
  }
  // The lowest minimum ECWT of the water-cooled chillers; air-cooled ones report 0.
  tw.MinRetWaterTemp(9999.0);
  for (std::size_t c = 1; c < totals.dMinECWT.size(); ++c)
    if (totals.dMinECWT[c] > 0 && totals.dMinECWT[c] < tw.MinRetWaterTemp()) tw.MinRetWaterTemp(totals.dMinECWT[c]);
  return true;
}

// The condenser pump of unit u.
bool SetUpCondenserPump(frmWait& form, const SystemData& system, cCwPlant& plant, const TowerData& r, int u) {
  cPump& pump = plant.CondenserPumps().Item(u);
  pump.SetOnError(PumpErrors(form));
  pump.Flow(r.fCondWaterFlow);
  pump.Head(system.fCondPumpHead);
  pump.PumpEfficiency(system.fCondPumpEffValue / 90.0);
  pump.MotorEfficiency(0.9);
  pump.MinFlow(system.nMinCondFlowPercent * pump.Flow() * 0.01);
  pump.ControlValue(system.fCondPumpControlValue);
  pump.Calculate();
  return !form.EngineError();
}

// 5.-8. Heat-rejection units and condenser pumps, and the condenser design range.
bool SetUpHeatRejection(frmWait& form, const SystemData& system, cCwPlant& plant, const std::vector<TowerData>& towers,
                        const WeatherData& weather, const ChillerTotals& totals, frmWait::WellWaterTable& wellTable) {
  if (!plant.HasCondenserSide()) return true;
  const int n = system.nNumChillers;
  const bool slot1 = system.bSlot1Basis != 0;
  const bool shared = system.nSingleTower != 0;
  plant.SharedTower(shared);
  const int units = shared ? 1 : n;
  int sharedSlot = 0;
  if (shared)
    for (int c = 1; c <= n && sharedSlot == 0; ++c)
      if (system.nTowerIDs(c) > 0) sharedSlot = c;
  plant.ClgTowers().BuildCollection(units);
  if (plant.ClgTowers().Count() < 1) CollectionFailed("Unable to build cooling tower collection");
  plant.CondenserPumps().BuildCollection(units);
  if (plant.CondenserPumps().Count() < 1) CollectionFailed("Unable to build condenser pump collection");

  const float barometric = PSYCHEN32::BaromPres(weather.fElevation);
  double heatTotal = 0, condFlowTotal = 0;
  for (int u = 1; u <= units; ++u) {
    const int slot = shared ? sharedSlot : (system.nTowerIDs(u) > 0 ? u : 0);
    if (slot == 0) continue;  // no unit: the engine leaves the empty tower alone
    const TowerData& r = towers[slot - 1];
    const double X = UnitHeatRejection(system, plant, totals, u);
    if (!SetUpHeatRejectionUnit(form, plant, r, u, X, barometric, totals, wellTable)) return false;
    if (!SetUpCondenserPump(form, system, plant, r, u)) return false;

    if (slot1) {
      heatTotal = totals.dHeatRejection[1];
      condFlowTotal = plant.CondenserPumps().Item(1).Flow();
    } else {
      const double flow = plant.CondenserPumps().Item(u).Flow();
      heatTotal += X;
      condFlowTotal += flow;
      if (plant.Chillers().Item(u).PairedTower()) {
        heatTotal += totals.dHeatRejection[u];
        condFlowTotal += flow;
      }
    }
  }
  plant.CondDesignRange(condFlowTotal > 0.001 ? heatTotal / (plant.WaterHeatFactor() * condFlowTotal) : 10.0);
  return true;
}

// 9. Primary pumps.
bool SetUpPrimaryPumps(frmWait& form, const SystemData& system, cCwPlant& plant, double chwFlowTotal) {
  const int n = system.nNumChillers;
  plant.InitialValue364(0);
  const int evap = plant.EvapFlowControl();
  int primaryCount = 0;
  if (evap == 1 || evap == 3)
    primaryCount = n;
  else if (evap == 2)
    primaryCount = 1;
  if (evap >= 1 && evap <= 3) plant.InitialValue340(0);
  plant.PrimaryPumps().BuildCollection(primaryCount);
  if (plant.PrimaryPumps().Count() < 1) CollectionFailed("Unable to build primary pump collection");
  for (int p = 1; p <= plant.PrimaryPumps().Count(); ++p) {
    cPump& pump = plant.PrimaryPumps().Item(p);
    pump.SetOnError(PumpErrors(form));
    const double flow = evap == 2 ? chwFlowTotal : plant.Chillers().Item(p).DesignChwFlow();
    pump.Flow(flow);
    pump.Head(system.fEvapPumpHead);
    pump.Power(0);
    pump.PumpEfficiency(0.8);
    pump.MotorEfficiency(0.9);
    pump.MinFlow(evap == 1 ? flow : system.fMinChwFlowPercent * 0.01 * flow);
    pump.ControlValue(evap == 2 ? system.fChwPumpControlValue : 0.0);
    pump.Calculate();
    if (form.EngineError()) return false;
  }
  return true;
}

// 10. System (secondary) pump.
bool SetUpSystemPump(frmWait& form, const SystemData& system, cCwPlant& plant, double chwFlowTotal) {
  const int evap = plant.EvapFlowControl();
  cPump& sysPump = plant.SystemPump();
  if (evap == 2 || evap == 3) {
    sysPump.SetOnError(PumpErrors(form));
    sysPump.Flow(chwFlowTotal);
    sysPump.Head(system.fChilledWaterPumpHead);
    sysPump.PumpEfficiency(0.8);
    sysPump.MotorEfficiency(0.9);
    sysPump.MinFlow(system.fMinChwFlowPercent * 0.01 * chwFlowTotal);
    sysPump.ControlValue(system.fChwPumpControlValue);
    sysPump.Calculate();
    if (form.EngineError()) return false;
  } else {
    sysPump.Flow(0);
    sysPump.Head(0);
    sysPump.PumpEfficiency(0);
    sysPump.MotorEfficiency(0);
    sysPump.MinFlow(0);
    sysPump.ControlValue(0);
  }
  return true;
}

// 11. Chilled-water design range and return temperature.
void SetChilledWaterDesign(cCwPlant& plant, const ChillerTotals& totals) {
  const int evap = plant.EvapFlowControl();
  const double chwFlowTotal = totals.chwFlowTotal;
  cPump& sysPump = plant.SystemPump();
  plant.ChwDesignRange(chwFlowTotal > 0.001 ? totals.capacityTotal / (plant.WaterHeatFactor() * chwFlowTotal) : 10.0);
  double heat = 0, divisor = plant.WaterHeatFactor() * chwFlowTotal;
  if (evap == 2 || evap == 3) {
    heat = sysPump.Power() * 3.412 * sysPump.MotorEfficiency();
    divisor = plant.WaterHeatFactor() * sysPump.Flow();
  }
  plant.DesignReturnTemp(divisor > 0.001 ? heat / divisor + plant.DesignLCHWT() + plant.ChwDesignRange()
                                         : plant.DesignLCHWT() + plant.ChwDesignRange());
}

}  // namespace

bool frmWait::bSimEngineSetup(SystemData& system, std::vector<ChillerData>& chillers, std::vector<TowerData>& towers,
                              const WeatherData& weather, std::vector<float>& firstECWT, std::vector<float>& lastECWT,
                              WellWaterTable& wellTable) {
  bool result = false;
  modpublic::RunGuarded("bSimEngineSetup", m_sErrorPrefix, ui::kExclamation, [&] {
    try {
      result = EngineSetup(system, chillers, towers, weather, firstECWT, lastECWT, wellTable);
    } catch (const SetupStopped&) {
      result = false;
    }
  });
  return result;
}

bool frmWait::EngineSetup(SystemData& system, std::vector<ChillerData>& chillers, std::vector<TowerData>& towers,
                          const WeatherData& weather, std::vector<float>& firstECWT, std::vector<float>& lastECWT,
                          WellWaterTable& wellTable) {
  if (!m_Plant) vb::Raise(vb::kObjectRequired, "No plant engine to set up.");
  cCwPlant& plant = *m_Plant;
  const int n = system.nNumChillers;
  if (n < 0 || n > 30)
    vb::Raise(vb::kSubscriptOutOfRange, "The system \"" + vb::Trim(system.sName) + "\" has " + std::to_string(n) +
                                            " chillers; at most 30 are allowed.");
  chillers.assign(n, ChillerData{});
  towers.assign(n, TowerData{});
  firstECWT.assign(n, 0.0f);
  lastECWT.assign(n, 0.0f);
  std::vector<ChillerData> pairedChillers(n);
  if (!ReadRecords(system, chillers, towers, pairedChillers)) return false;
  const int16_t plantControl = SetPlantValues(system, plant);
  BuildChillerCollections(plant, n);
  ChillerTotals totals;
  if (!TransferChillers(system, plant, plantControl, chillers, pairedChillers, firstECWT, lastECWT, totals))
    return false;
  if (!SetUpHeatRejection(*this, system, plant, towers, weather, totals, wellTable)) return false;
  if (!SetUpPrimaryPumps(*this, system, plant, totals.chwFlowTotal)) return false;
  if (!SetUpSystemPump(*this, system, plant, totals.chwFlowTotal)) return false;
  SetChilledWaterDesign(plant, totals);
  return true;
}

bool frmWait::TransferChillerDataFromBrimlowToEngine(const SystemData& system, cCwPlant& plant, ChillerData& chiller,
                                                     cChiller& engineChiller, double& dMinECWT,
                                                     double& dHeatRejection) {
  bool result = false;
  modpublic::RunGuarded("TransferChillerDataFromBrimlowToEngine", "", ui::kExclamation, [&] {
    SetChillerDesign(system, plant, chiller, engineChiller);
    if (!modCalcs::bSetupChillerMap(chiller)) {
      modpublic::ShowError("", ui::kExclamation, "TransferChillerDataFromBrimlowToEngine");
      return;
    }
    SetPartLoadTable(chiller, engineChiller);
    SetPerformanceMap(chiller, engineChiller);
    SetChillerType(plant, chiller, engineChiller, dMinECWT, dHeatRejection);
    result = true;
  });
  return result;
}
