// grendax: the chilled-water plant simulation engine.
//
// The calculation creates one plant (CreateCwPlant), lets its set-up values, builds its
// collections, and then runs it once per weather bin: it lets OutdoorDryBulb,
// OutdoorWetBulb, CoolingLoad and WellWaterTemp(u), calls CalcPlant and reads the results.
// The classes below are abstract so that the calculation can be tested against a
// scriptable fake (platform/plantengine/fake/fake_engine.h) with the same interface.
//
// Units throughout: deg F, kBtu/h, gpm, kW, ft of water.
// Properties are getter/setter overload pairs; a value let is read back unchanged.
// Indexed properties take 1-based indices; an index outside the documented range, like
// Item(0), fails the call with std::out_of_range (a failed call, not an engine error).
// Failures inside the engine never throw: they reach the OnError listener of the plant
// (or of a pump for its own Calculate) and the call returns normally. The engine drives the
// towers of ClgTowers during CalcPlant and from then on holds their OnError subscription,
// forwarding their errors to the plant's listener (the set-up's own tower listeners only
// matter for the design calls before the first run).
//
// ---------------------------------------------------------------------------------------
// The model of one CalcPlant
// ---------------------------------------------------------------------------------------
// 1. Supply temperature (SupplyTemp) by LCHWTResetMode:
//      1  DesignLCHWT (no reset);
//      2  linear reset on the outdoor dry bulb: ResetSlope * OutdoorDryBulb + ResetIntercept,
//         limited to the band between DesignLCHWT and ResetLCHWT;
//      3  ResetLCHWT (fixed reset);
//      any other code: DesignLCHWT.
// 2. Chilled-water flow and return temperature (return = SupplyTemp + load /
//    (WaterHeatFactor * flow)). EvapFlowControl 1 (a constant primary pump per chiller):
//    the design flow, the sum of the chillers' DesignChwFlow. 2 and 3 (a variable system
//    pump): the flow follows the load at ChwDesignRange (10 F when not set), between the sum
//    of MinChwFlow and the design flow (the system pump's Flow when let).
// 3. Waterside economizer (EconomizerMode 2 or 3; EconomizerValue = approach of the heat
//    exchanger, deg F). Units that can serve the exchanger: unit 1 under SharedTower,
//    otherwise every unit whose condenser pump has a flow (and a tower or well water). A unit
//    serving it runs at its pump's design flow and takes a share of the exchanger's heat Qfc
//    in proportion to that flow; the exchanger delivers T + approach, T the flow-weighted
//    water of its units. While they serve it the units' capacity control holds their water
//    at SupplyTemp - approach (never below 35 F): their MinRetWaterTemp is lowered for the
//    run and put back afterwards; chillers on such a unit still get no colder condenser
//    water than the unit's MinRetWaterTemp as let (their water is tempered).
//      2  non-integrated: every such unit takes its share of the whole load alone; when that
//         gives T + approach <= SupplyTemp the exchanger carries the load and the chillers
//         are off. Otherwise the economizer stays off.
//      3  integrated: the exchanger pre-cools the return water (return = SupplyTemp + load /
//         (WaterHeatFactor x flow)), Qfc = WaterHeatFactor x flow x (return - max(SupplyTemp,
//         T + approach)), and the chillers carry the rest. A unit that serves both the
//         exchanger and running chillers is solved once with their combined heat: Qfc, the
//         chillers' split and every unit's water are solved together in each pass of the
//         condenser fixed point (6.), Qfc as the largest root of that balance (a unit
//         carrying chiller heat cools as the exchanger unloads the chillers, so the balance
//         need not rise with Qfc; the root is bracketed by stepping down from the whole load,
//         then found by regula falsi). Like a plant's own controls the engine runs it only
//         when it lowers the plant's total power: it solves the bin without the exchanger,
//         with it on the units of each stage's running chillers, with it on the other units
//         alone, and with it on all of them (under SharedTower, or with one unit: without and
//         on that unit), and keeps the way with the lowest total power (chillers' electric
//         input, heat input at its kW equivalent, fans and all pumps); a tie keeps the
//         economizer off. So it never starts an idle unit for a load that saves less than the
//         unit costs, and never uses more power than the plant without it.
//      0 or any other code: no waterside free cooling.
//    FreeCoolingOn / FreeCoolingLoad report the exchanger. Its power is the part of each
//    serving unit's fan and condenser pump power that its share of the unit's heat gives
//    (all of it for a unit that serves the exchanger alone). Load and power are split over
//    the running chillers (main and paired items) in proportion to their Capacity
//    (cChiller.FreeCoolingLoad / FreeCoolingPower); a chiller that is off stays off. When the
//    exchanger carries the whole load (no chiller runs), every chiller takes a share and
//    reports the exchanger's water temperature as its ECWT (air-cooled: the dry bulb), and so
//    does the plant's ECWT. A chiller's Load and Power are those of the chiller assembly and
//    include its share. FanKW and CondPumpKW do not. Chilled water keeps circulating while
//    the exchanger runs (7.).
// 4. Staging. Stage s runs the chillers c with StageChiller(s, c) != 0 (NumStages stages,
//    chillers 1..NumChillers). The engine takes the lowest stage whose available capacity,
//    at the condenser temperatures the stage itself produces, covers the load left after
//    free cooling. When no stage does, the last stage runs at full available capacity and
//    LoadNotMet = the shortfall (kBtu/h); otherwise LoadNotMet = 0. Without stages nothing
//    runs. The load splits over the running chillers in equal fractions of their available
//    capacity. A paired slot (Chillers.Item(c).Paired) is one chiller for staging: its main
//    and paired machine (PairedChillers.Item(c)) share the slot's load in proportion to
//    their available capacities. ChillersOn counts the slots with mechanical load. The
//    set-up's four plant controls are expressed by the stage table: sequenced (stage s =
//    chillers 1..s), part-load chiller at low loads (stage 1 = chiller n, then 1..s-1),
//    part-load chiller at high and low loads (n + 1 stages, the last one all chillers) and
//    equal unloading (every stage runs all chillers).
// 5. Chiller performance. The prepared map holds MapECWTCount columns (MapECWT, descending)
//    of MapLoadCount rows (MapCapacity kBtu/h, MapInput in input units, decreasing load).
//    Available capacity at an ECWT = row 1 interpolated linearly between the neighbouring
//    columns, clamped to the end columns outside the axis. The input at a load is
//    interpolated along the rows (capacity as x) in the two neighbouring columns, then
//    between the columns; beyond the rows the end segment is extended (never below 0). On
//    a grid point (ECWT on the axis, load on a row, design supply temperature) the input is
//    the map value exactly. Cells that are 0 (missing) are skipped. Supply-temperature
//    correction with dT = SupplyTemp - DesignLCHWT (of the chiller): capacity x (1 +
//    MapCoef3 dT + MapCoef4 dT^2), input x (1 + MapCoef1 dT + MapCoef2 dT^2). Below
//    MinCapacity the chiller is false-loaded: it delivers the load with the input of
//    MinCapacity. Without a map (MapECWTCount or MapLoadCount 0) the part-load table is
//    used (the points of PartLoadCapacity / PartLoadInput, without ECWT dependence); with
//    neither the chiller has its design Capacity and no input.
//    A machine is heat-driven when CycleType is 2 or EnergySource is neither 0 nor 3: it
//    reports the map input as GenHeat (kBtu/h) and AuxKW as Power while running. Other
//    machines report the input as Power (kW). ChillerOption is kept, not used.
//    Condenser temperature: CondenserType 1 (air-cooled) takes the outdoor dry bulb;
//    water-cooled chillers take the water their heat-rejection unit returns. Chillers that
//    are off report ECWT 0; the plant's ECWT is the load-weighted mean of the running
//    chillers' ECWT (their common value when they agree; 0 when none runs).
// 6. Condenser loop (water-cooled chillers). Heat rejected = load + input as heat:
//    electric Power x 3.412; heat-driven GenHeat x InputRejectFraction + AuxKW x 3.412.
//    Units: with SharedTower, unit 1 serves all running water-cooled chillers; otherwise
//    unit c serves slot c (main and paired machine). When the slot's second machine has a
//    tower of its own (PairedTower), unit c stands for two identical towers, each with a
//    pump like condenser pump c, on one condenser header: twice the design flow, and twice
//    the fan and pump power. HeatRejectionMode(u): 0 cooling tower,
//    1 well water, 2 dry cooler. Condenser flow: CondPumpControl 0 runs the unit's pump at
//    its design Flow (a shared unit at the share sum(DesignCondFlow of the running
//    chillers) / sum(DesignCondFlow of all water-cooled chillers)); otherwise the flow
//    follows the heat at CondDesignRange, between MinCondFlowFraction and 1 x design.
//    Tower: ActualWetBulb, ActualDryBulb, ActualRange = Q / (WaterHeatFactor x flow),
//    WaterFlowRatio = flow / design flow, ActualEntWaterTemp, CalcReturnWaterTemp; ECWT =
//    RetWaterTemp (the tower holds it at MinRetWaterTemp). Dry cooler: it removes
//    k (Ent - dry bulb) with k = DesignEffectiveness x Cmin / DesignCwater, so it is called
//    with ActualEntWaterTemp = dry bulb + range / k (again at MinRetWaterTemp + range when
//    it holds its minimum). Well water: ECWT = WellWaterTemp(u).
//    A chiller's ECWT is floored at its own MinECWT (when let above 0) and then equals that
//    value exactly. Chiller power and ECWT are iterated to a fixed point (|dECWT| < 0.01 F,
//    at most 50 passes, under-relaxed by half after 10), starting from the previous run's
//    unit temperatures; a run that does not converge raises OnError (1001). CalcFanKW is
//    called once per unit after convergence. A tower call whose inputs equal the unit's last
//    call, and which the tower still holds, is skipped. Units that do not run (of chillers
//    that are off, and not serving the exchanger) draw no fan or pump power; a tower that a
//    trial stage or way of running called, but that does not run in the run's result, is
//    left as it was before the run, and the towers that run hold the result's operation.
// 7. Pumps. Primary pumps: EvapFlowControl 1 and 3, pump p runs with chiller p at its design
//    Power; under 1 the exchanger takes the design flow of all primary pumps, so while it
//    runs (with or without chillers) they all run; 2, the one primary pump runs whenever a
//    chiller runs and follows the chilled-water flow. The system pump (EvapFlowControl 2 and
//    3) runs whenever there is load and follows the chilled-water flow. Condenser pumps run
//    with their units: constant under CondPumpControl 0 (design Power, times the share of a
//    shared unit), else following the condenser flow; a unit that serves the exchanger runs
//    its pump at the design flow. A pump following a flow ratio r is variable unless
//    MinFlow >= Flow: r is bounded to [MinFlow / Flow, 1] and kW = Power x r x (c + (1 - c)
//    r^2), with c = ControlValue clamped to [0, 1], the fraction of the design head held by
//    the pressure control (c = 0 is the cube law). Pumps with no Power (head 0) draw nothing.
//    PrimaryPumpKW, SecondaryPumpKW, CondPumpKW and FanKW report the run.
// 8. Errors: every failure reaches the plant's OnError with number, description, library,
//    class and method: tower errors unchanged ("PYLORN", "cClgTower", step); a running pump
//    whose efficiencies are not positive ("GRENDAX", "cPump", "Calculate"); a water-cooled
//    chiller without unit or condenser flow, and a loop that does not converge ("GRENDAX",
//    "cCwPlant", "CalcPlant"). The run still completes with what it has.
// Set-up members not named above (InitialValue332/340/364, ResetPointA/B, CondDesignRange
// for constant flow, DesignReturnTemp, HasAirCooledChillers) are stored and read back only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "libs/tower/cClgTowers.h"
#include "grendax_export.h"

namespace grendax {

// Receives an engine error: number, description, library, class, method.
using ErrorListener = std::function<void(long number, const std::string& description, const std::string& library,
                                         const std::string& className, const std::string& method)>;

inline constexpr const char* kLibraryName = "GRENDAX";

// Error numbers the engine raises.
inline constexpr long kErrInvalidCall = 5;
inline constexpr long kErrOverflow = 6;
inline constexpr long kErrDivisionByZero = 11;
inline constexpr long kErrNoConvergence = 1001;

// Sizes of the indexed properties.
inline constexpr int kMaxChillers = 30;       // StageChiller chiller index, collections
inline constexpr int kMaxStages = 31;         // StageChiller stage index
inline constexpr int kMaxUnits = 30;          // HeatRejectionMode, WellWaterTemp
inline constexpr int kMaxMapECWTs = 14;       // MapECWT, MapCapacity/MapInput column
inline constexpr int kMaxMapLoads = 28;       // MapCapacity/MapInput row
inline constexpr int kMaxPartLoadPoints = 8;  // PartLoadCapacity/Pct/Input

}  // namespace grendax

// One pump. Let Flow (gpm), Head (ft), PumpEfficiency and MotorEfficiency (fractions),
// MinFlow (gpm), ControlValue (see the model, 7.), then Calculate, which sets Power (kW) =
// Flow * Head / (3960 * PumpEfficiency) * 0.746 / MotorEfficiency. A non-positive
// efficiency raises OnError ("cPump", "Calculate") and leaves Power at 0.
class GRENDAX_EXPORT cPump {
 public:
  virtual ~cPump() = default;
  virtual double Flow() const = 0;
  virtual void Flow(double v) = 0;
  virtual double Head() const = 0;
  virtual void Head(double v) = 0;
  virtual double PumpEfficiency() const = 0;
  virtual void PumpEfficiency(double v) = 0;
  virtual double MotorEfficiency() const = 0;
  virtual void MotorEfficiency(double v) = 0;
  virtual double MinFlow() const = 0;
  virtual void MinFlow(double v) = 0;
  virtual double ControlValue() const = 0;
  virtual void ControlValue(double v) = 0;
  virtual double Power() const = 0;
  virtual void Power(double v) = 0;
  virtual void Calculate() = 0;

  // The OnError event (errors of Calculate): one listener; an empty function unsubscribes.
  void SetOnError(grendax::ErrorListener listener) { onError_ = std::move(listener); }

 protected:
  grendax::ErrorListener onError_;
};

class GRENDAX_EXPORT cPumps {
 public:
  virtual ~cPumps() = default;
  // Replaces all items by n new pumps (n <= 0 leaves the collection empty).
  virtual void BuildCollection(int n) = 0;
  virtual int Count() const = 0;
  virtual cPump& Item(int i) = 0;  // 1..Count
};

// One chiller (an item of cCwPlant::Chillers or cCwPlant::PairedChillers).
class GRENDAX_EXPORT cChiller {
 public:
  virtual ~cChiller() = default;

  // Design values.
  virtual double Capacity() const = 0;  // kBtu/h at design; never changed by a run
  virtual void Capacity(double v) = 0;
  virtual double DesignChwFlow() const = 0;  // gpm
  virtual void DesignChwFlow(double v) = 0;
  virtual double MinChwFlow() const = 0;  // gpm
  virtual void MinChwFlow(double v) = 0;
  virtual double DesignLCHWT() const = 0;  // deg F, basis of the map coefficients
  virtual void DesignLCHWT(double v) = 0;
  virtual int ChillerOption() const = 0;  // kept, not used by the model
  virtual void ChillerOption(int v) = 0;
  virtual double MinCapacity() const = 0;  // kBtu/h; below it the chiller is false-loaded
  virtual void MinCapacity(double v) = 0;
  virtual double MinECWT() const = 0;  // deg F; 0 = no floor of its own
  virtual void MinECWT(double v) = 0;
  virtual double AuxKW() const = 0;  // auxiliary kW of heat-driven machines
  virtual void AuxKW(double v) = 0;
  virtual double DesignCondFlow() const = 0;  // gpm
  virtual void DesignCondFlow(double v) = 0;
  virtual int CycleType() const = 0;  // 1 vapour compression, 2 absorption
  virtual void CycleType(int v) = 0;
  virtual int CondenserType() const = 0;  // 1 air-cooled, 2 water-cooled
  virtual void CondenserType(int v) = 0;
  virtual int EnergySource() const = 0;  // 3 electric; 4, 5, 6, 8 fuels and steam
  virtual void EnergySource(int v) = 0;
  virtual double InputRejectFraction() const = 0;  // share of heat input rejected
  virtual void InputRejectFraction(double v) = 0;

  // Map-correction coefficients (input: 1, 2; capacity: 3, 4).
  virtual double MapCoef1() const = 0;
  virtual void MapCoef1(double v) = 0;
  virtual double MapCoef2() const = 0;
  virtual void MapCoef2(double v) = 0;
  virtual double MapCoef3() const = 0;
  virtual void MapCoef3(double v) = 0;
  virtual double MapCoef4() const = 0;
  virtual void MapCoef4(double v) = 0;

  // Performance map (columns 1..14, rows 1..28), ECWT axis descending.
  virtual int MapLoadCount() const = 0;
  virtual void MapLoadCount(int v) = 0;
  virtual int MapECWTCount() const = 0;
  virtual void MapECWTCount(int v) = 0;
  virtual double MapECWT(int c) const = 0;
  virtual void MapECWT(int c, double v) = 0;
  virtual double MapCapacity(int c, int r) const = 0;  // kBtu/h
  virtual void MapCapacity(int c, int r, double v) = 0;
  virtual double MapInput(int c, int r) const = 0;  // kW or kBtu/h of heat
  virtual void MapInput(int c, int r, double v) = 0;

  // Part-load table (points 1..8), used when the chiller has no map.
  virtual int PartLoadPointCount() const = 0;
  virtual void PartLoadPointCount(int v) = 0;
  virtual double PartLoadCapacity(int i) const = 0;  // kBtu/h
  virtual void PartLoadCapacity(int i, double v) = 0;
  virtual double PartLoadPct(int i) const = 0;
  virtual void PartLoadPct(int i, double v) = 0;
  virtual double PartLoadInput(int i) const = 0;
  virtual void PartLoadInput(int i, double v) = 0;

  // Pairing.
  virtual bool Paired() const = 0;
  virtual void Paired(bool v) = 0;
  virtual bool PairedTower() const = 0;
  virtual void PairedTower(bool v) = 0;

  // Results of the last CalcPlant.
  virtual double Load() const = 0;              // kBtu/h, assembly load incl. free cooling; > 0.001 = on
  virtual double Power() const = 0;             // kW (electric input; heat-driven: auxiliaries)
  virtual double GenHeat() const = 0;           // kBtu/h heat input of heat-driven machines
  virtual double ECWT() const = 0;              // deg F entering condenser temperature
  virtual double FreeCoolingLoad() const = 0;   // kBtu/h share of the economizer load
  virtual double FreeCoolingPower() const = 0;  // kW share of the economizer power
};

class GRENDAX_EXPORT cChillers {
 public:
  virtual ~cChillers() = default;
  // Replaces all items by n new chillers (n <= 0 leaves the collection empty).
  virtual void BuildCollection(int n) = 0;
  virtual int Count() const = 0;
  virtual cChiller& Item(int i) = 0;  // 1..Count
};

class GRENDAX_EXPORT cCwPlant {
 public:
  virtual ~cCwPlant() = default;

  // ---- set-up: staging and chilled water ----
  virtual int NumChillers() const = 0;
  virtual void NumChillers(int v) = 0;
  virtual int EvapFlowControl() const = 0;  // 1 primary per chiller, 2 variable primary + system, 3 primary + system
  virtual void EvapFlowControl(int v) = 0;
  virtual double InitialValue332() const = 0;  // accepted and ignored
  virtual void InitialValue332(double v) = 0;
  virtual double InitialValue340() const = 0;  // accepted and ignored
  virtual void InitialValue340(double v) = 0;
  virtual double InitialValue364() const = 0;  // accepted and ignored
  virtual void InitialValue364(double v) = 0;
  virtual double WaterHeatFactor() const = 0;  // kBtu/h per gpm.F (0.49969584)
  virtual void WaterHeatFactor(double v) = 0;
  virtual int CondPumpControl() const = 0;  // 0 constant condenser flow, else variable
  virtual void CondPumpControl(int v) = 0;
  virtual double MinCondFlowFraction() const = 0;
  virtual void MinCondFlowFraction(double v) = 0;
  virtual double DesignLCHWT() const = 0;
  virtual void DesignLCHWT(double v) = 0;

  // ---- set-up: chilled-water reset ----
  virtual int LCHWTResetMode() const = 0;  // 1 none, 2 linear on dry bulb, 3 fixed
  virtual void LCHWTResetMode(int v) = 0;
  virtual double ResetLCHWT() const = 0;
  virtual void ResetLCHWT(double v) = 0;
  virtual double ResetPointA() const = 0;
  virtual void ResetPointA(double v) = 0;
  virtual double ResetPointB() const = 0;
  virtual void ResetPointB(double v) = 0;
  virtual double ResetSlope() const = 0;
  virtual void ResetSlope(double v) = 0;
  virtual double ResetIntercept() const = 0;
  virtual void ResetIntercept(double v) = 0;

  // ---- set-up: economizer and stages ----
  virtual int EconomizerMode() const = 0;  // 0 none, 2 non-integrated, 3 integrated
  virtual void EconomizerMode(int v) = 0;
  virtual double EconomizerValue() const = 0;  // heat-exchanger approach, deg F
  virtual void EconomizerValue(double v) = 0;
  virtual int NumStages() const = 0;
  virtual void NumStages(int v) = 0;
  virtual double StageChiller(int s, int c) const = 0;  // s 1..31, c 1..30; default 0
  virtual void StageChiller(int s, int c, double v) = 0;

  // ---- set-up: collections and heat rejection ----
  virtual cChillers& Chillers() = 0;
  virtual cChillers& PairedChillers() = 0;
  virtual bool HasWaterCooledChillers() const = 0;
  virtual void HasWaterCooledChillers(bool v) = 0;
  virtual bool HasAirCooledChillers() const = 0;
  virtual void HasAirCooledChillers(bool v) = 0;
  // True when some chiller is water-cooled (HasWaterCooledChillers or a chiller item with
  // CondenserType 2).
  virtual bool HasCondenserSide() const = 0;
  virtual bool SharedTower() const = 0;
  virtual void SharedTower(bool v) = 0;
  virtual cClgTowers& ClgTowers() = 0;
  virtual cPumps& CondenserPumps() = 0;
  virtual cPumps& PrimaryPumps() = 0;
  virtual cPump& SystemPump() = 0;
  virtual int HeatRejectionMode(int u) const = 0;  // u 1..30: 0 tower, 1 well, 2 dry cooler
  virtual void HeatRejectionMode(int u, int v) = 0;
  virtual double CondDesignRange() const = 0;
  virtual void CondDesignRange(double v) = 0;
  virtual double ChwDesignRange() const = 0;
  virtual void ChwDesignRange(double v) = 0;
  virtual double DesignReturnTemp() const = 0;
  virtual void DesignReturnTemp(double v) = 0;

  // ---- per bin: inputs ----
  virtual double OutdoorDryBulb() const = 0;
  virtual void OutdoorDryBulb(double v) = 0;
  virtual double OutdoorWetBulb() const = 0;
  virtual void OutdoorWetBulb(double v) = 0;
  virtual double CoolingLoad() const = 0;  // kBtu/h
  virtual void CoolingLoad(double v) = 0;
  virtual double WellWaterTemp(int u) const = 0;  // u 1..30
  virtual void WellWaterTemp(int u, double v) = 0;

  virtual void CalcPlant() = 0;

  // ---- results of the last CalcPlant ----
  virtual double LoadNotMet() const = 0;    // kBtu/h short, 0 when met
  virtual double BuildingLoad() const = 0;  // kBtu/h, the load of the run
  virtual double ECWT() const = 0;          // deg F, load-weighted over the running chillers
  virtual bool FreeCoolingOn() const = 0;
  virtual double FreeCoolingLoad() const = 0;  // kBtu/h
  virtual int ChillersOn() const = 0;          // chillers with mechanical load
  virtual double BinDryBulb() const = 0;
  virtual double BinWetBulb() const = 0;
  virtual double BinLoad() const = 0;  // kBtu/h
  virtual double SupplyTemp() const = 0;
  virtual double PrimaryPumpKW() const = 0;
  virtual double SecondaryPumpKW() const = 0;
  virtual double CondPumpKW() const = 0;
  virtual double FanKW() const = 0;

  // The OnError event: one listener; an empty function unsubscribes.
  void SetOnError(grendax::ErrorListener listener) { onError_ = std::move(listener); }

 protected:
  grendax::ErrorListener onError_;
};

// The real engine.
GRENDAX_EXPORT std::unique_ptr<cCwPlant> CreateCwPlant();

// How many CalcPlant runs the real engine has made in this process, over all plants; the
// benchmarks compare a calculation with the cost of its plant runs.
GRENDAX_EXPORT long long CalcPlantRuns();

// The input of a chiller (kW, or kBtu/h of heat as its map) at an entering condenser
// temperature (deg F), a load (kBtu/h) and a supply temperature (deg F), from the
// performance data let on it: the model CalcPlant uses, with false loading and the
// supply-temperature correction. 0 when the chiller has no usable performance data. For
// rating a chiller at stated conditions without running a plant.
GRENDAX_EXPORT double ChillerInputAt(const cChiller& chiller, double ecwt, double load, double supplyTemp);
