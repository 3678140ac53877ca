// The property storage of the engine's classes, shared by the real engine and the fake.
//
// Every let goes through a hook (Let / Called) that the real engine leaves empty and the
// fake uses to record the call. Results are plain fields that the engine (or the fake's
// script) writes after a run.
#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/plantengine/grendax.h"
#include "grendax_export.h"

namespace grendax::detail {

using LetValue = std::variant<double, int, bool>;

// Throws std::out_of_range unless lo <= i <= hi.
GRENDAX_EXPORT void CheckIndex(int i, int lo, int hi, const char* what);

// Receives the lets and calls of one object (the fake records them).
class GRENDAX_EXPORT Hooks {
 public:
  virtual ~Hooks() = default;
  virtual void Let(std::string_view member, std::initializer_list<int> index, LetValue v) {}
  virtual void Called(std::string_view member) {}
  virtual void Built(std::string_view collection, int n) {}  // BuildCollection(n) of a plant collection
};

struct ChillerSetup {
  double Capacity = 0, DesignChwFlow = 0, MinChwFlow = 0, DesignLCHWT = 0, MinCapacity = 0, MinECWT = 0, AuxKW = 0,
         DesignCondFlow = 0, InputRejectFraction = 0;
  int ChillerOption = 0, CycleType = 0, CondenserType = 0, EnergySource = 0;
  double MapCoef[5] = {0, 0, 0, 0, 0};  // 1..4
  int MapLoadCount = 0, MapECWTCount = 0;
  std::array<double, kMaxMapECWTs + 1> MapECWT{};
  std::array<std::array<double, kMaxMapLoads + 1>, kMaxMapECWTs + 1> MapCapacity{}, MapInput{};
  int PartLoadPointCount = 0;
  std::array<double, kMaxPartLoadPoints + 1> PartLoadCapacity{}, PartLoadPct{}, PartLoadInput{};
  bool Paired = false, PairedTower = false;
};

struct ChillerResults {
  double Load = 0, Power = 0, GenHeat = 0, ECWT = 0, FreeCoolingLoad = 0, FreeCoolingPower = 0;
};

class GRENDAX_EXPORT StoredChiller : public cChiller, protected Hooks {
 public:
  ChillerSetup set;
  ChillerResults res;

  double Capacity() const override { return set.Capacity; }
  void Capacity(double v) override {
    set.Capacity = v;
    Let("Capacity", {}, v);
  }
  double DesignChwFlow() const override { return set.DesignChwFlow; }
  void DesignChwFlow(double v) override {
    set.DesignChwFlow = v;
    Let("DesignChwFlow", {}, v);
  }
  double MinChwFlow() const override { return set.MinChwFlow; }
  void MinChwFlow(double v) override {
    set.MinChwFlow = v;
    Let("MinChwFlow", {}, v);
  }
  double DesignLCHWT() const override { return set.DesignLCHWT; }
  void DesignLCHWT(double v) override {
    set.DesignLCHWT = v;
    Let("DesignLCHWT", {}, v);
  }
  int ChillerOption() const override { return set.ChillerOption; }
  void ChillerOption(int v) override {
    set.ChillerOption = v;
    Let("ChillerOption", {}, v);
  }
  double MinCapacity() const override { return set.MinCapacity; }
  void MinCapacity(double v) override {
    set.MinCapacity = v;
    Let("MinCapacity", {}, v);
  }
  double MinECWT() const override { return set.MinECWT; }
  void MinECWT(double v) override {
    set.MinECWT = v;
    Let("MinECWT", {}, v);
  }
  double AuxKW() const override { return set.AuxKW; }
  void AuxKW(double v) override {
    set.AuxKW = v;
    Let("AuxKW", {}, v);
  }
  double DesignCondFlow() const override { return set.DesignCondFlow; }
  void DesignCondFlow(double v) override {
    set.DesignCondFlow = v;
    Let("DesignCondFlow", {}, v);
  }
  int CycleType() const override { return set.CycleType; }
  void CycleType(int v) override {
    set.CycleType = v;
    Let("CycleType", {}, v);
  }
  int CondenserType() const override { return set.CondenserType; }
  void CondenserType(int v) override {
    set.CondenserType = v;
    Let("CondenserType", {}, v);
  }
  int EnergySource() const override { return set.EnergySource; }
  void EnergySource(int v) override {
    set.EnergySource = v;
    Let("EnergySource", {}, v);
  }
  double InputRejectFraction() const override { return set.InputRejectFraction; }
  void InputRejectFraction(double v) override {
    set.InputRejectFraction = v;
    Let("InputRejectFraction", {}, v);
  }

  double MapCoef1() const override { return set.MapCoef[1]; }
  void MapCoef1(double v) override {
    set.MapCoef[1] = v;
    Let("MapCoef1", {}, v);
  }
  double MapCoef2() const override { return set.MapCoef[2]; }
  void MapCoef2(double v) override {
    set.MapCoef[2] = v;
    Let("MapCoef2", {}, v);
  }
  double MapCoef3() const override { return set.MapCoef[3]; }
  void MapCoef3(double v) override {
    set.MapCoef[3] = v;
    Let("MapCoef3", {}, v);
  }
  double MapCoef4() const override { return set.MapCoef[4]; }
  void MapCoef4(double v) override {
    set.MapCoef[4] = v;
    Let("MapCoef4", {}, v);
  }

  int MapLoadCount() const override { return set.MapLoadCount; }
  void MapLoadCount(int v) override {
    set.MapLoadCount = v;
    Let("MapLoadCount", {}, v);
  }
  int MapECWTCount() const override { return set.MapECWTCount; }
  void MapECWTCount(int v) override {
    set.MapECWTCount = v;
    Let("MapECWTCount", {}, v);
  }
  double MapECWT(int c) const override;
  void MapECWT(int c, double v) override;
  double MapCapacity(int c, int r) const override;
  void MapCapacity(int c, int r, double v) override;
  double MapInput(int c, int r) const override;
  void MapInput(int c, int r, double v) override;

  int PartLoadPointCount() const override { return set.PartLoadPointCount; }
  void PartLoadPointCount(int v) override {
    set.PartLoadPointCount = v;
    Let("PartLoadPointCount", {}, v);
  }
  double PartLoadCapacity(int i) const override;
  void PartLoadCapacity(int i, double v) override;
  double PartLoadPct(int i) const override;
  void PartLoadPct(int i, double v) override;
  double PartLoadInput(int i) const override;
  void PartLoadInput(int i, double v) override;

  bool Paired() const override { return set.Paired; }
  void Paired(bool v) override {
    set.Paired = v;
    Let("Paired", {}, v);
  }
  bool PairedTower() const override { return set.PairedTower; }
  void PairedTower(bool v) override {
    set.PairedTower = v;
    Let("PairedTower", {}, v);
  }

  double Load() const override { return res.Load; }
  double Power() const override { return res.Power; }
  double GenHeat() const override { return res.GenHeat; }
  double ECWT() const override { return res.ECWT; }
  double FreeCoolingLoad() const override { return res.FreeCoolingLoad; }
  double FreeCoolingPower() const override { return res.FreeCoolingPower; }
};

struct PumpSetup {
  double Flow = 0, Head = 0, PumpEfficiency = 0, MotorEfficiency = 0, MinFlow = 0, ControlValue = 0, Power = 0;
};

// kW of a pump at its design point; false when an efficiency is not positive.
GRENDAX_EXPORT bool DesignPumpKW(const PumpSetup& p, double& kw);

class GRENDAX_EXPORT StoredPump : public cPump, protected Hooks {
 public:
  PumpSetup set;

  double Flow() const override { return set.Flow; }
  void Flow(double v) override {
    set.Flow = v;
    Let("Flow", {}, v);
  }
  double Head() const override { return set.Head; }
  void Head(double v) override {
    set.Head = v;
    Let("Head", {}, v);
  }
  double PumpEfficiency() const override { return set.PumpEfficiency; }
  void PumpEfficiency(double v) override {
    set.PumpEfficiency = v;
    Let("PumpEfficiency", {}, v);
  }
  double MotorEfficiency() const override { return set.MotorEfficiency; }
  void MotorEfficiency(double v) override {
    set.MotorEfficiency = v;
    Let("MotorEfficiency", {}, v);
  }
  double MinFlow() const override { return set.MinFlow; }
  void MinFlow(double v) override {
    set.MinFlow = v;
    Let("MinFlow", {}, v);
  }
  double ControlValue() const override { return set.ControlValue; }
  void ControlValue(double v) override {
    set.ControlValue = v;
    Let("ControlValue", {}, v);
  }
  double Power() const override { return set.Power; }
  void Power(double v) override {
    set.Power = v;
    Let("Power", {}, v);
  }
  // Sizes the pump from its lets; a non-positive efficiency raises OnError.
  void Calculate() override;

  // Raises this pump's OnError (when someone listens).
  void RaiseError(long number, const std::string& description, const std::string& method);
};

// A 1-based collection of stored items, made by a factory.
template <class Iface, class Impl>
class StoredCollection : public Iface {
 public:
  using Factory = std::function<std::unique_ptr<Impl>(int index)>;
  using BuildHook = std::function<void(int n)>;

  explicit StoredCollection(Factory factory, BuildHook onBuild = {})
      : factory_(std::move(factory)), onBuild_(std::move(onBuild)) {}

  void BuildCollection(int n) override {
    if (onBuild_) onBuild_(n);
    items_.clear();
    for (int i = 1; i <= n; ++i) items_.push_back(factory_(i));
  }
  int Count() const override { return static_cast<int>(items_.size()); }
  Impl& Item(int i) override {
    CheckIndex(i, 1, Count(), "Item");
    return *items_[static_cast<size_t>(i - 1)];
  }
  const Impl& At(int i) const {
    CheckIndex(i, 1, Count(), "Item");
    return *items_[static_cast<size_t>(i - 1)];
  }

 private:
  Factory factory_;
  BuildHook onBuild_;
  std::vector<std::unique_ptr<Impl>> items_;
};

using StoredChillers = StoredCollection<cChillers, StoredChiller>;
using StoredPumps = StoredCollection<cPumps, StoredPump>;

struct PlantSetup {
  int NumChillers = 0, EvapFlowControl = 0, CondPumpControl = 0, LCHWTResetMode = 0, EconomizerMode = 0, NumStages = 0;
  double InitialValue332 = 0, InitialValue340 = 0, InitialValue364 = 0, WaterHeatFactor = 0, MinCondFlowFraction = 0,
         DesignLCHWT = 0, ResetLCHWT = 0, ResetPointA = 0, ResetPointB = 0, ResetSlope = 0, ResetIntercept = 0,
         EconomizerValue = 0, CondDesignRange = 0, ChwDesignRange = 0, DesignReturnTemp = 0;
  bool HasWaterCooledChillers = false, HasAirCooledChillers = false, SharedTower = false;
  std::array<std::array<double, kMaxChillers + 1>, kMaxStages + 1> StageChiller{};
  std::array<int, kMaxUnits + 1> HeatRejectionMode{};
};

struct PlantInputs {
  double OutdoorDryBulb = 0, OutdoorWetBulb = 0, CoolingLoad = 0;
  std::array<double, kMaxUnits + 1> WellWaterTemp{};
};

struct PlantResults {
  double LoadNotMet = 0, BuildingLoad = 0, ECWT = 0, FreeCoolingLoad = 0, BinDryBulb = 0, BinWetBulb = 0, BinLoad = 0,
         SupplyTemp = 0, PrimaryPumpKW = 0, SecondaryPumpKW = 0, CondPumpKW = 0, FanKW = 0;
  bool FreeCoolingOn = false;
  int ChillersOn = 0;
};

// The plant's storage; CalcPlant and the item factories belong to the derived class.
class GRENDAX_EXPORT StoredPlant : public cCwPlant, protected Hooks {
 public:
  PlantSetup set;
  PlantInputs in;
  PlantResults res;

  StoredPlant(StoredChillers::Factory chillers, StoredChillers::Factory paired, StoredPumps::Factory condPumps,
              StoredPumps::Factory primaryPumps, std::unique_ptr<StoredPump> systemPump);

  int NumChillers() const override { return set.NumChillers; }
  void NumChillers(int v) override {
    set.NumChillers = v;
    Let("NumChillers", {}, v);
  }
  int EvapFlowControl() const override { return set.EvapFlowControl; }
  void EvapFlowControl(int v) override {
    set.EvapFlowControl = v;
    Let("EvapFlowControl", {}, v);
  }
  double InitialValue332() const override { return set.InitialValue332; }
  void InitialValue332(double v) override {
    set.InitialValue332 = v;
    Let("InitialValue332", {}, v);
  }
  double InitialValue340() const override { return set.InitialValue340; }
  void InitialValue340(double v) override {
    set.InitialValue340 = v;
    Let("InitialValue340", {}, v);
  }
  double InitialValue364() const override { return set.InitialValue364; }
  void InitialValue364(double v) override {
    set.InitialValue364 = v;
    Let("InitialValue364", {}, v);
  }
  double WaterHeatFactor() const override { return set.WaterHeatFactor; }
  void WaterHeatFactor(double v) override {
    set.WaterHeatFactor = v;
    Let("WaterHeatFactor", {}, v);
  }
  int CondPumpControl() const override { return set.CondPumpControl; }
  void CondPumpControl(int v) override {
    set.CondPumpControl = v;
    Let("CondPumpControl", {}, v);
  }
  double MinCondFlowFraction() const override { return set.MinCondFlowFraction; }
  void MinCondFlowFraction(double v) override {
    set.MinCondFlowFraction = v;
    Let("MinCondFlowFraction", {}, v);
  }
  double DesignLCHWT() const override { return set.DesignLCHWT; }
  void DesignLCHWT(double v) override {
    set.DesignLCHWT = v;
    Let("DesignLCHWT", {}, v);
  }

  int LCHWTResetMode() const override { return set.LCHWTResetMode; }
  void LCHWTResetMode(int v) override {
    set.LCHWTResetMode = v;
    Let("LCHWTResetMode", {}, v);
  }
  double ResetLCHWT() const override { return set.ResetLCHWT; }
  void ResetLCHWT(double v) override {
    set.ResetLCHWT = v;
    Let("ResetLCHWT", {}, v);
  }
  double ResetPointA() const override { return set.ResetPointA; }
  void ResetPointA(double v) override {
    set.ResetPointA = v;
    Let("ResetPointA", {}, v);
  }
  double ResetPointB() const override { return set.ResetPointB; }
  void ResetPointB(double v) override {
    set.ResetPointB = v;
    Let("ResetPointB", {}, v);
  }
  double ResetSlope() const override { return set.ResetSlope; }
  void ResetSlope(double v) override {
    set.ResetSlope = v;
    Let("ResetSlope", {}, v);
  }
  double ResetIntercept() const override { return set.ResetIntercept; }
  void ResetIntercept(double v) override {
    set.ResetIntercept = v;
    Let("ResetIntercept", {}, v);
  }

  int EconomizerMode() const override { return set.EconomizerMode; }
  void EconomizerMode(int v) override {
    set.EconomizerMode = v;
    Let("EconomizerMode", {}, v);
  }
  double EconomizerValue() const override { return set.EconomizerValue; }
  void EconomizerValue(double v) override {
    set.EconomizerValue = v;
    Let("EconomizerValue", {}, v);
  }
  int NumStages() const override { return set.NumStages; }
  void NumStages(int v) override {
    set.NumStages = v;
    Let("NumStages", {}, v);
  }
  double StageChiller(int s, int c) const override;
  void StageChiller(int s, int c, double v) override;

  cChillers& Chillers() override { return chillers_; }
  cChillers& PairedChillers() override { return paired_; }
  bool HasWaterCooledChillers() const override { return set.HasWaterCooledChillers; }
  void HasWaterCooledChillers(bool v) override {
    set.HasWaterCooledChillers = v;
    Let("HasWaterCooledChillers", {}, v);
  }
  bool HasAirCooledChillers() const override { return set.HasAirCooledChillers; }
  void HasAirCooledChillers(bool v) override {
    set.HasAirCooledChillers = v;
    Let("HasAirCooledChillers", {}, v);
  }
  bool HasCondenserSide() const override;
  bool SharedTower() const override { return set.SharedTower; }
  void SharedTower(bool v) override {
    set.SharedTower = v;
    Let("SharedTower", {}, v);
  }
  cClgTowers& ClgTowers() override { return towers_; }
  cPumps& CondenserPumps() override { return condPumps_; }
  cPumps& PrimaryPumps() override { return primaryPumps_; }
  cPump& SystemPump() override { return *systemPump_; }
  int HeatRejectionMode(int u) const override;
  void HeatRejectionMode(int u, int v) override;
  double CondDesignRange() const override { return set.CondDesignRange; }
  void CondDesignRange(double v) override {
    set.CondDesignRange = v;
    Let("CondDesignRange", {}, v);
  }
  double ChwDesignRange() const override { return set.ChwDesignRange; }
  void ChwDesignRange(double v) override {
    set.ChwDesignRange = v;
    Let("ChwDesignRange", {}, v);
  }
  double DesignReturnTemp() const override { return set.DesignReturnTemp; }
  void DesignReturnTemp(double v) override {
    set.DesignReturnTemp = v;
    Let("DesignReturnTemp", {}, v);
  }

  double OutdoorDryBulb() const override { return in.OutdoorDryBulb; }
  void OutdoorDryBulb(double v) override {
    in.OutdoorDryBulb = v;
    Let("OutdoorDryBulb", {}, v);
  }
  double OutdoorWetBulb() const override { return in.OutdoorWetBulb; }
  void OutdoorWetBulb(double v) override {
    in.OutdoorWetBulb = v;
    Let("OutdoorWetBulb", {}, v);
  }
  double CoolingLoad() const override { return in.CoolingLoad; }
  void CoolingLoad(double v) override {
    in.CoolingLoad = v;
    Let("CoolingLoad", {}, v);
  }
  double WellWaterTemp(int u) const override;
  void WellWaterTemp(int u, double v) override;

  double LoadNotMet() const override { return res.LoadNotMet; }
  double BuildingLoad() const override { return res.BuildingLoad; }
  double ECWT() const override { return res.ECWT; }
  bool FreeCoolingOn() const override { return res.FreeCoolingOn; }
  double FreeCoolingLoad() const override { return res.FreeCoolingLoad; }
  int ChillersOn() const override { return res.ChillersOn; }
  double BinDryBulb() const override { return res.BinDryBulb; }
  double BinWetBulb() const override { return res.BinWetBulb; }
  double BinLoad() const override { return res.BinLoad; }
  double SupplyTemp() const override { return res.SupplyTemp; }
  double PrimaryPumpKW() const override { return res.PrimaryPumpKW; }
  double SecondaryPumpKW() const override { return res.SecondaryPumpKW; }
  double CondPumpKW() const override { return res.CondPumpKW; }
  double FanKW() const override { return res.FanKW; }

  // Raises the plant's OnError (when someone listens).
  void RaiseError(long number, const std::string& description, const std::string& library, const std::string& className,
                  const std::string& method) const;

 protected:
  // Typed access for the derived classes.
  StoredChillers chillers_, paired_;
  StoredPumps condPumps_, primaryPumps_;
  std::unique_ptr<StoredPump> systemPump_;
  cClgTowers towers_;
};

}  // namespace grendax::detail
