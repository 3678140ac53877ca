// The plant engine: one CalcPlant as documented in grendax.h.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <vector>

#include "libs/tower/cClgTowers.h"
#include "libs/vector_state.h"
#include "platform/plantengine/chiller_model.h"
#include "platform/plantengine/grendax.h"
#include "platform/plantengine/stored.h"

namespace grendax::detail {
namespace {

constexpr double kKWToKBtu = 3.412;      // kW to kBtu/h
constexpr double kOnLoad = 0.001;        // kBtu/h: a chiller with more load is running
constexpr double kEcwtTolerance = 0.01;  // deg F, condenser fixed point
constexpr int kMaxPasses = 50;
constexpr int kRelaxFromPass = 10;     // passes after which the fixed point is under-relaxed
constexpr double kFreezeFloor = 35.0;  // deg F, lowest free-cooling water temperature
constexpr int kBracketSteps = 4;       // steps of the exchanger-load bracket search
constexpr const char* kPlantClass = "cCwPlant";

std::atomic<long long> gCalcPlantRuns{0};

// A chiller of the engine: its performance curve is rebuilt only after a let.
class EngineChiller : public StoredChiller {
 public:
  const ChillerCurve& Curve() {
    if (builtVersion_ != version_) {
      curve_ = BuildCurve(set);
      builtVersion_ = version_;
    }
    return curve_;
  }

 private:
  void Let(std::string_view, std::initializer_list<int>, LetValue) override { ++version_; }
  unsigned version_ = 1, builtVersion_ = 0;
  ChillerCurve curve_;
};

// The last call made on one tower, to skip a repeat with identical inputs.
struct TowerMemo {
  const cClgTower* tower = nullptr;
  bool valid = false, fanValid = false;
  int kind = -1;
  double wb = 0, db = 0, range = 0, wfr = 0, ent = 0, minRet = 0, designAir = 0, designH2O = 0, designFan = 0;
  int ctrl = 0;
  double ret = 0, fan = 0;
};

// The towers of the plant and the engine's memo of their last calls, as they stood at one
// moment (items of towers missing from the collection are not kept).
struct TowerState {
  std::vector<cClgTower> towers;
  std::array<TowerMemo, kMaxUnits + 1> memo{};
};

struct Machine {
  EngineChiller* ch = nullptr;
  const ChillerCurve* curve = nullptr;
  int slot = 0;
  int unit = 0;  // heat-rejection unit (0: air-cooled or none)
  bool heatDriven = false;
  double ecwt = 0, avail = 0, load = 0, input = 0;
  double Heat() const {
    if (load <= 0) return 0;
    if (heatDriven) return load + input * ch->set.InputRejectFraction + ch->set.AuxKW * kKWToKBtu;
    return load + input * kKWToKBtu;
  }
};

struct Unit {
  bool active = false;
  bool exchanger = false;  // serves the waterside economizer's heat exchanger
  int mode = 0;
  double heat = 0, fcHeat = 0, flow = 0, designFlow = 0, ecwt = 0, fan = 0, pumpKW = 0;
  double chillerFloor = 0;  // condenser water floor of its chillers while it runs colder for the exchanger
};

// The units that serve the exchanger in one way of running the plant.
// kRunningUnits: the units of the stage's chillers (they carry both heats); kIdleUnits: the
// other units (the exchanger's own); kAllUnits: every unit that can serve it.
enum class Exchanger { kOff, kRunningUnits, kIdleUnits, kAllUnits };

// One way of running the plant in a bin, with what it draws.
struct Run {
  std::vector<Machine> ms;
  std::vector<Unit> units = std::vector<Unit>(kMaxUnits + 1);
  double fc = 0, fcWater = 0, loadNotMet = 0;
  bool converged = true;
  double fanKW = 0, condPumpKW = 0, fcKW = 0, primaryKW = 0, secondaryKW = 0;
  double Total() const;  // the plant's power, heat input counted at its kW equivalent
};

double Run::Total() const {
  double kw = fanKW + condPumpKW + fcKW + primaryKW + secondaryKW;
  for (const Machine& m : ms)
    if (m.load > 0) kw += m.heatDriven ? m.ch->set.AuxKW + m.input / kKWToKBtu : m.input;
  return kw;
}

class CwPlant final : public StoredPlant {
 public:
  CwPlant()
      : StoredPlant([](int) { return std::make_unique<EngineChiller>(); },
                    [](int) { return std::make_unique<EngineChiller>(); },
                    [](int) { return std::make_unique<StoredPump>(); },
                    [](int) { return std::make_unique<StoredPump>(); }, std::make_unique<StoredPump>()) {}
  // A tower may outlive the plant in a client's hands: it must not call back into it.
  ~CwPlant() override {
    for (const auto& t : subscribed_)
      if (t) t->SetOnError({});
  }

  void CalcPlant() override;

 private:
  // ---- set-up derived per run ----
  int SlotCount() const;
  EngineChiller* Main(int c) { return static_cast<EngineChiller*>(&chillers_.Item(c)); }
  EngineChiller* Paired(int c);
  double SupplyTemperature() const;
  void SubscribeTowers();
  std::shared_ptr<cClgTower> Tower(int u) const;
  StoredPump* CondPump(int u) { return u >= 1 && u <= condPumps_.Count() ? &condPumps_.Item(u) : nullptr; }
  int UnitOf(int slot) const { return set.SharedTower ? 1 : slot; }
  // Towers (with a pump each) that unit u stands for: 2 for the unit of a paired slot whose
  // second machine has a tower of its own, a twin of the first; else 1.
  int TowerCount(int u);
  double UnitDesignFlow(int u) {
    const StoredPump* p = CondPump(u);
    return p ? p->set.Flow * TowerCount(u) : 0;
  }

  // ---- heat rejection ----
  double UnitReturn(int u, double heat, double flow, double designFlow, double previous);
  double CallTower(int u, cClgTower& t, int kind, double range, double wfr, double ent);
  double UnitFanKW(int u);
  double SourceTemperature(int u) const;

  // ---- chillers ----
  std::vector<Machine> Machines(const std::vector<int>& slots);
  double MachineECWT(const Machine& m, const std::vector<Unit>& units) const;
  double Split(std::vector<Machine>& ms, double load, double supply);
  bool SolveStage(const std::vector<int>& slots, double load, double supply, const std::vector<int>& exchanger,
                  std::vector<Machine>& ms, std::vector<Unit>& units, double& fc);
  void CapacityBounds(const std::vector<int>& slots, double supply, double& lo, double& hi);

  // ---- one way of running the plant ----
  Run Simulate(double load, double supply, Exchanger how, const std::vector<int>& candidates);
  Run NonIntegrated(double load, double supply, const std::vector<int>& candidates);
  void Account(Run& r, double load);
  void Publish(const Run& r, double load);

  // ---- economizer and pumps ----
  double ChwFlow(double load) const;
  double ChwDesignFlow() const;
  std::vector<int> ExchangerUnits();
  double MaxFreeCooling(double load, double supply, const std::vector<int>& units) const;
  double PumpKW(StoredPump& p, double ratio, bool variable);
  // Holds the units' towers at the exchanger's floor (supply - approach, no colder than the
  // freeze floor), keeping the floor as let in setupFloor_; RestoreFloors puts it back.
  void LowerFloors(const std::vector<int>& units, double supply);
  TowerState SaveTowers() const;
  // Puts back the towers of the units that run in r as `ran` holds them and every other
  // tower as `before` holds it.
  void RestoreTowers(const TowerState& before, const TowerState& ran, const Run& r);
  void RestoreFloors(const std::vector<int>& units);

  void Error(long number, const std::string& text) { Report(number, text, kLibraryName, kPlantClass, "CalcPlant"); }
  // Raises an error on the plant's listener once per run: a failure met again while the run
  // tries further stages or passes is the same failure.
  void Report(long number, const std::string& description, const std::string& library, const std::string& className,
              const std::string& method);

  std::vector<std::shared_ptr<cClgTower>> subscribed_;
  std::array<TowerMemo, kMaxUnits + 1> memo_{};
  std::array<double, kMaxUnits + 1> warm_{};
  std::array<bool, kMaxUnits + 1> warmValid_{};
  bool towerError_ = false;
  std::array<bool, kMaxUnits + 1> towerFailed_{};   // units whose tower reported an error this run
  std::vector<std::string> reported_;               // the errors raised this run
  std::array<double, kMaxUnits + 1> setupFloor_{};  // MinRetWaterTemp as let, while lowered for the exchanger
};

int CwPlant::SlotCount() const {
  const int count = std::min(chillers_.Count(), kMaxChillers);
  return set.NumChillers > 0 ? std::min(set.NumChillers, count) : count;
}

EngineChiller* CwPlant::Paired(int c) {
  if (!Main(c)->set.Paired || c > paired_.Count()) return nullptr;
  return static_cast<EngineChiller*>(&paired_.Item(c));
}

int CwPlant::TowerCount(int u) {
  if (set.SharedTower || u < 1 || u > SlotCount() || !Main(u)->set.PairedTower) return 1;
  const EngineChiller* second = Paired(u);
  return second && second->set.CondenserType != 1 ? 2 : 1;
}

double CwPlant::SupplyTemperature() const {
  switch (set.LCHWTResetMode) {
    case 2: {
      const double lo = std::min(set.DesignLCHWT, set.ResetLCHWT), hi = std::max(set.DesignLCHWT, set.ResetLCHWT);
      return std::clamp(set.ResetSlope * in.OutdoorDryBulb + set.ResetIntercept, lo, hi);
    }
    case 3:
      return set.ResetLCHWT;
    default:
      return set.DesignLCHWT;
  }
}

void CwPlant::Report(long number, const std::string& description, const std::string& library,
                     const std::string& className, const std::string& method) {
  std::string key = std::to_string(number) + '\n' + description + '\n' + library + '\n' + className + '\n' + method;
  if (std::find(reported_.begin(), reported_.end(), key) != reported_.end()) return;
  reported_.push_back(std::move(key));
  RaiseError(number, description, library, className, method);
}

void CwPlant::SubscribeTowers() {
  const auto& items = towers_.ClgTowers();
  if (subscribed_ == items) return;
  for (const auto& t : subscribed_)
    if (t && std::find(items.begin(), items.end(), t) == items.end()) t->SetOnError({});
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i])
      items[i]->SetOnError([this, u = static_cast<int>(i + 1)](long n, const std::string& d, const std::string& l,
                                                               const std::string& c, const std::string& m) {
        towerError_ = true;
        if (u <= kMaxUnits) towerFailed_[static_cast<size_t>(u)] = true;
        Report(n, d, l, c, m);
      });
  subscribed_ = items;
  memo_ = {};
}

std::shared_ptr<cClgTower> CwPlant::Tower(int u) const {
  if (u < 1 || u > towers_.Count()) return nullptr;
  return towers_.ClgTowers()[static_cast<size_t>(u - 1)];
}

// ---------------------------------------------------------------------------------------
// Heat rejection
// ---------------------------------------------------------------------------------------

double CwPlant::CallTower(int u, cClgTower& t, int kind, double range, double wfr, double ent) {
  TowerMemo& m = memo_[static_cast<size_t>(u)];
  const double wb = in.OutdoorWetBulb, db = in.OutdoorDryBulb, minRet = t.MinRetWaterTemp();
  if (m.valid && m.tower == &t && m.kind == kind && m.wb == wb && m.db == db && m.range == range && m.wfr == wfr &&
      m.ent == ent && m.minRet == minRet && m.designAir == t.DesignAIRFactor() && m.designH2O == t.DesignH2OFactor() &&
      m.designFan == t.DesignFanKW() && m.ctrl == t.CapacityCtrl() && t.RetWaterTemp() == m.ret &&
      t.ActualWetBulb() == wb && t.ActualDryBulb() == db && t.ActualRange() == range && t.WaterFlowRatio() == wfr &&
      t.ActualEntWaterTemp() == ent)
    return m.ret;
  t.ActualWetBulb(wb);
  t.ActualDryBulb(db);
  t.ActualRange(range);
  t.WaterFlowRatio(wfr);
  t.ActualEntWaterTemp(ent);
  if (kind == 2)
    t.CalcReturnWaterTemp_DryCooler();
  else
    t.CalcReturnWaterTemp();
  m = {&t,
       true,
       false,
       kind,
       wb,
       db,
       range,
       wfr,
       ent,
       minRet,
       t.DesignAIRFactor(),
       t.DesignH2OFactor(),
       t.DesignFanKW(),
       t.CapacityCtrl(),
       t.RetWaterTemp(),
       0};
  if (towerFailed_[static_cast<size_t>(u)]) m.valid = false;  // a failed call is made again next time
  return m.ret;
}

double CwPlant::UnitFanKW(int u) {
  TowerMemo& m = memo_[static_cast<size_t>(u)];
  std::shared_ptr<cClgTower> t = Tower(u);
  // A tower that failed in this run is not asked again.
  if (!t || !m.valid || m.tower != t.get() || towerFailed_[static_cast<size_t>(u)]) return 0;
  if (!m.fanValid) {
    t->CalcFanKW();
    m.fan = std::isfinite(t->ActualFanKW()) ? t->ActualFanKW() : 0;
    m.fanValid = true;
  }
  return m.fan;
}

// The lowest temperature a unit could make (no heat): wet bulb, dry bulb or well water.
double CwPlant::SourceTemperature(int u) const {
  const int mode = set.HeatRejectionMode[static_cast<size_t>(u)];
  if (mode == 1) return in.WellWaterTemp[static_cast<size_t>(u)];
  return mode == 2 ? in.OutdoorDryBulb : in.OutdoorWetBulb;
}

double CwPlant::UnitReturn(int u, double heat, double flow, double designFlow, double previous) {
  const int mode = set.HeatRejectionMode[static_cast<size_t>(u)];
  if (mode == 1) return in.WellWaterTemp[static_cast<size_t>(u)];
  std::shared_ptr<cClgTower> t = Tower(u);
  if (!t) {
    Error(kErrInvalidCall, "No heat-rejection unit " + std::to_string(u) + " for a water-cooled chiller");
    return previous;
  }
  if (!(flow > 0) || !(designFlow > 0) || !(set.WaterHeatFactor > 0)) {
    Error(kErrDivisionByZero, "Division by zero: no condenser water flow at unit " + std::to_string(u));
    return previous;
  }
  const double range = heat / (set.WaterHeatFactor * flow), wfr = flow / designFlow;
  double ret;
  if (mode == 2) {
    // Dry cooler: the water leaves at Ent - range, and the cooler removes
    // k (Ent - dry bulb) with k = effectiveness * Cmin / Cwater; solve for Ent.
    const double cw = t->DesignCwater(), cmin = std::min(t->DesignCwater(), t->DesignCair());
    const double k = cw > 0 ? t->DesignEffectiveness() * cmin / cw : 0;
    if (!(k > 1e-9) || !std::isfinite(k)) {
      Error(kErrDivisionByZero, "Division by zero: dry cooler " + std::to_string(u) + " has no design effectiveness");
      return previous;
    }
    ret = CallTower(u, *t, 2, range, wfr, in.OutdoorDryBulb + range / k);
    if (ret > in.OutdoorDryBulb + range / k - range + 1e-9)  // held at its minimum: enters at minimum + range
      ret = CallTower(u, *t, 2, range, wfr, ret + range);
  } else {
    ret = CallTower(u, *t, 0, range, wfr, previous + range);
  }
  return std::isfinite(ret) ? ret : previous;
}

// ---------------------------------------------------------------------------------------
// Chillers
// ---------------------------------------------------------------------------------------

std::vector<Machine> CwPlant::Machines(const std::vector<int>& slots) {
  std::vector<Machine> ms;
  for (int c : slots) {
    for (EngineChiller* ch : {Main(c), Paired(c)}) {
      if (!ch) continue;
      Machine m;
      m.ch = ch;
      m.curve = &ch->Curve();
      m.slot = c;
      m.unit = ch->set.CondenserType == 1 ? 0 : UnitOf(c);
      m.heatDriven = IsHeatDriven(ch->set);
      ms.push_back(m);
    }
  }
  return ms;
}

double CwPlant::MachineECWT(const Machine& m, const std::vector<Unit>& units) const {
  if (m.unit == 0) return in.OutdoorDryBulb;
  const Unit& u = units[static_cast<size_t>(m.unit)];
  double e = u.ecwt;
  // A unit that runs colder for the exchanger still gives its chillers no colder water than
  // its own floor (their condenser water is tempered), and a chiller's own minimum holds.
  if (u.chillerFloor > 0 && e < u.chillerFloor) e = u.chillerFloor;
  const double own = m.ch->set.MinECWT;
  if (own > 0 && e <= own) e = own;  // held at the chiller's own minimum, reported exactly
  return e;
}

// Splits the load over the machines at their current ECWT; returns their total capacity.
double CwPlant::Split(std::vector<Machine>& ms, double load, double supply) {
  double total = 0;
  for (Machine& m : ms) total += m.avail = AvailableCapacity(*m.curve, m.ecwt, supply);
  const double serve = std::min(load, total);
  for (Machine& m : ms) {
    m.load = total > 0 ? serve * (m.avail / total) : 0;
    m.input = m.load > 0 ? InputAtLoad(*m.curve, m.ecwt, m.load, supply) : 0;
  }
  return total;
}

// Runs one stage: the condenser fixed point, with the exchanger (when units serve it) solved
// inside every pass together with the chillers' heat on the same units. fc gets the
// exchanger's load. Returns false when it did not converge.
bool CwPlant::SolveStage(const std::vector<int>& slots, double load, double supply, const std::vector<int>& exchanger,
                         std::vector<Machine>& ms, std::vector<Unit>& units, double& fc) {
  ms = Machines(slots);
  units.assign(kMaxUnits + 1, Unit{});
  fc = 0;
  double allCondFlow = 0, runCondFlow = 0;
  for (int c = 1; c <= SlotCount(); ++c)
    for (EngineChiller* ch : {Main(c), Paired(c)})
      if (ch && ch->set.CondenserType != 1) allCondFlow += ch->set.DesignCondFlow;
  for (Machine& m : ms) {
    if (m.unit == 0) continue;
    units[static_cast<size_t>(m.unit)].active = true;
    runCondFlow += m.ch->set.DesignCondFlow;
  }
  for (int u : exchanger) {
    units[static_cast<size_t>(u)].active = true;
    units[static_cast<size_t>(u)].exchanger = true;
    units[static_cast<size_t>(u)].chillerFloor = setupFloor_[static_cast<size_t>(u)];
  }
  double exchangerFlow = 0;
  for (int i = 1; i <= kMaxUnits; ++i) {
    Unit& u = units[static_cast<size_t>(i)];
    if (!u.active) continue;
    u.mode = set.HeatRejectionMode[static_cast<size_t>(i)];
    u.designFlow = UnitDesignFlow(i);
    if (u.exchanger) exchangerFlow += u.designFlow;
    if (warmValid_[static_cast<size_t>(i)]) {
      u.ecwt = warm_[static_cast<size_t>(i)];
    } else {
      std::shared_ptr<cClgTower> t = Tower(i);
      u.ecwt = SourceTemperature(i) + (t && u.mode != 1 ? t->DesignApproach() : 0);
      if (t && u.mode != 1) u.ecwt = std::max(u.ecwt, t->MinRetWaterTemp());
    }
  }
  // Share of a shared unit's design flow that the running chillers' pumps move.
  const double sharedShare =
      set.SharedTower && allCondFlow > 0 && runCondFlow > 0 ? std::min(1.0, runCondFlow / allCondFlow) : 1.0;
  const double chwFlow = ChwFlow(load);
  const bool withExchanger = exchangerFlow > 0 && chwFlow > 0 && set.WaterHeatFactor > 0;
  const double ret = withExchanger ? supply + load / (set.WaterHeatFactor * chwFlow) : supply;
  if (!withExchanger)
    for (int u : exchanger) units[static_cast<size_t>(u)].exchanger = false;

  // The chillers carry what the exchanger leaves; each unit takes its chillers' heat and its
  // share of the exchanger's heat (by design flow).
  auto loadUnits = [&](double q) {
    double rest = load - q;
    if (rest < kOnLoad) rest = 0;
    Split(ms, rest, supply);
    for (Unit& u : units) u.heat = u.fcHeat = 0;
    for (const Machine& m : ms)
      if (m.unit) units[static_cast<size_t>(m.unit)].heat += m.Heat();
    for (int i = 1; i <= kMaxUnits; ++i) {
      Unit& u = units[static_cast<size_t>(i)];
      if (!u.active) continue;
      if (u.exchanger) {
        u.fcHeat = q * u.designFlow / exchangerFlow;
        u.heat += u.fcHeat;
        u.flow = u.designFlow;  // the exchanger takes the pump's design flow
      } else if (set.CondPumpControl == 0) {
        u.flow = u.designFlow * sharedShare;
      } else {
        const double range = set.CondDesignRange > 0 ? set.CondDesignRange : 10.0;
        const double want = set.WaterHeatFactor > 0 ? u.heat / (set.WaterHeatFactor * range) : u.designFlow;
        u.flow = std::clamp(want, std::clamp(set.MinCondFlowFraction, 0.0, 1.0) * u.designFlow, u.designFlow);
      }
    }
  };
  std::array<double, kMaxUnits + 1> next{};
  // The water of the exchanger's units at their present heat (flow-weighted), deg F.
  auto exchangerWater = [&]() {
    double sum = 0;
    for (int i : exchanger) {
      Unit& u = units[static_cast<size_t>(i)];
      double w = SourceTemperature(i);  // no heat: the unit's water stands at its source, or its floor
      if (u.heat > 0)
        w = UnitReturn(i, u.heat, u.flow, u.designFlow, u.ecwt);
      else if (const auto t = Tower(i); t && u.mode != 1)
        w = std::max(w, t->MinRetWaterTemp());
      next[static_cast<size_t>(i)] = w;
      sum += u.designFlow * next[static_cast<size_t>(i)];
    }
    return sum / exchangerFlow;
  };
  // Exchanger balance: its load less what it can take from the return water at q.
  const double approach = set.EconomizerValue;
  auto balance = [&](double q) {
    loadUnits(q);
    return q - set.WaterHeatFactor * chwFlow * (ret - std::max(supply, exchangerWater() + approach));
  };

  bool converged = false;
  for (int pass = 1; pass <= kMaxPasses && !converged; ++pass) {
    for (Machine& m : ms) m.ecwt = MachineECWT(m, units);
    double q = 0;
    if (withExchanger) {
      // The exchanger's load is the largest q with balance(q) = 0. balance(load) >= 0 always;
      // balance rises with q unless a unit that also carries chiller heat cools faster than
      // the exchanger loads it, so the root is bracketed by stepping down from the full load,
      // then found by Illinois regula falsi.
      double b = load, gb = balance(load), a = b, ga = gb;
      for (int k = 1; k <= kBracketSteps && gb > 1e-6 * load; ++k) {
        a = load * (kBracketSteps - k) / kBracketSteps;
        ga = balance(a);
        if (ga < 0) break;
        b = a, gb = ga;
      }
      if (gb <= 1e-6 * load) {
        q = b;  // the full load (b = load), or a root the steps met
      } else if (ga >= 0) {
        q = 0;  // nothing to gain
      } else {
        q = b;
        int side = 0;
        for (int it = 0; it < 40; ++it) {
          q = (a * gb - b * ga) / (gb - ga);
          const double gq = balance(q);
          if (std::fabs(gq) < 1e-5 * load || b - a < 1e-6 * load) break;
          if (gq > 0) {
            b = q, gb = gq;
            if (side == 1) ga *= 0.5;
            side = 1;
          } else {
            a = q, ga = gq;
            if (side == -1) gb *= 0.5;
            side = -1;
          }
        }
        q = std::clamp(q, 0.0, load);
      }
      balance(q);  // leave the units at the final point
    } else {
      loadUnits(0);
    }
    fc = q;
    double change = 0;
    for (int i = 1; i <= kMaxUnits; ++i) {
      Unit& u = units[static_cast<size_t>(i)];
      if (!u.active) continue;
      if (!u.exchanger) {
        if (u.heat <= 0) continue;  // nothing rejected: the unit keeps its temperature
        next[static_cast<size_t>(i)] = UnitReturn(i, u.heat, u.flow, u.designFlow, u.ecwt);
      }
      double n = next[static_cast<size_t>(i)];
      // Under-relax late passes, except at the unit's floor, which must stay exact.
      const std::shared_ptr<cClgTower> t = Tower(i);
      if (pass > kRelaxFromPass && !(t && u.mode != 1 && n <= t->MinRetWaterTemp())) n = 0.5 * (n + u.ecwt);
      change = std::max(change, std::fabs(n - u.ecwt));
      u.ecwt = n;
    }
    converged = change < kEcwtTolerance || towerError_;
  }
  // The chillers at the converged condenser water; the units keep the heat and flow of their
  // last solve.
  for (Machine& m : ms) m.ecwt = MachineECWT(m, units);
  Split(ms, load - fc < kOnLoad ? 0 : load - fc, supply);
  return converged;
}

// Bounds of a stage's available capacity over every condenser temperature it may see.
void CwPlant::CapacityBounds(const std::vector<int>& slots, double supply, double& lo, double& hi) {
  lo = hi = 0;
  for (Machine& m : Machines(slots)) {
    if (m.unit == 0 || set.HeatRejectionMode[static_cast<size_t>(m.unit)] == 1) {
      std::vector<Unit> units(kMaxUnits + 1);
      if (m.unit) units[static_cast<size_t>(m.unit)].ecwt = in.WellWaterTemp[static_cast<size_t>(m.unit)];
      const double a = AvailableCapacity(*m.curve, MachineECWT(m, units), supply);
      lo += a;
      hi += a;
      continue;
    }
    const ChillerCurve& c = *m.curve;
    if (c.columns.empty()) {
      const double a = AvailableCapacity(c, 0, supply);
      lo += a;
      hi += a;
      continue;
    }
    double mn = std::numeric_limits<double>::max(), mx = 0;
    for (const auto& col : c.columns) {
      const double a = AvailableCapacity(c, col.ecwt, supply);
      mn = std::min(mn, a);
      mx = std::max(mx, a);
    }
    lo += mn;
    hi += mx;
  }
}

// ---------------------------------------------------------------------------------------
// Chilled water, economizer, pumps
// ---------------------------------------------------------------------------------------

double CwPlant::ChwDesignFlow() const {
  double f = 0;
  for (int c = 1; c <= SlotCount(); ++c) f += chillers_.At(c).set.DesignChwFlow;
  if (set.EvapFlowControl != 1 && systemPump_->set.Flow > 0) f = systemPump_->set.Flow;
  return f;
}

// System chilled-water flow at a load (gpm).
double CwPlant::ChwFlow(double load) const {
  const double design = ChwDesignFlow();
  if (set.EvapFlowControl == 1 || !(set.WaterHeatFactor > 0)) return design;
  double minFlow = 0;
  for (int c = 1; c <= SlotCount(); ++c) minFlow += chillers_.At(c).set.MinChwFlow;
  const double range = set.ChwDesignRange > 0 ? set.ChwDesignRange : 10.0;
  return std::clamp(load / (set.WaterHeatFactor * range), std::min(minFlow, design), design);
}

// The units that can serve the exchanger: unit 1 under SharedTower, else every unit with a
// condenser pump flow and a source of cold water.
std::vector<int> CwPlant::ExchangerUnits() {
  std::vector<int> units;
  for (int u = 1; u <= std::min(kMaxUnits, std::max(static_cast<int>(towers_.Count()), condPumps_.Count())); ++u) {
    StoredPump* p = CondPump(u);
    const bool source = set.HeatRejectionMode[static_cast<size_t>(u)] == 1 || Tower(u) != nullptr;
    if (p && p->set.Flow > 0 && source) units.push_back(u);
    if (set.SharedTower) break;
  }
  return units;
}

// The most the exchanger could take: its units' water no colder than their source.
double CwPlant::MaxFreeCooling(double load, double supply, const std::vector<int>& units) const {
  const double flow = ChwFlow(load);
  if (units.empty() || !(flow > 0) || !(set.WaterHeatFactor > 0)) return 0;
  double coldest = std::numeric_limits<double>::max();
  for (int u : units) coldest = std::min(coldest, SourceTemperature(u));
  const double ret = supply + load / (set.WaterHeatFactor * flow);
  return std::clamp(set.WaterHeatFactor * flow * (ret - std::max(supply, coldest + set.EconomizerValue)), 0.0, load);
}

void CwPlant::LowerFloors(const std::vector<int>& units, double supply) {
  const double floor = std::max(supply - set.EconomizerValue, kFreezeFloor);
  for (int u : units) {
    setupFloor_[static_cast<size_t>(u)] = 0;
    if (auto t = Tower(u); t && set.HeatRejectionMode[static_cast<size_t>(u)] != 1) {
      setupFloor_[static_cast<size_t>(u)] = t->MinRetWaterTemp();
      t->MinRetWaterTemp(floor);
    }
  }
}

void CwPlant::RestoreFloors(const std::vector<int>& units) {
  for (int u : units)
    if (auto t = Tower(u); t && set.HeatRejectionMode[static_cast<size_t>(u)] != 1)
      t->MinRetWaterTemp(setupFloor_[static_cast<size_t>(u)]);
}

TowerState CwPlant::SaveTowers() const {
  TowerState state;
  for (const auto& t : towers_.ClgTowers()) state.towers.push_back(t ? *t : cClgTower{});
  state.memo = memo_;
  return state;
}

void CwPlant::RestoreTowers(const TowerState& before, const TowerState& ran, const Run& r) {
  const auto& items = towers_.ClgTowers();
  for (size_t i = 0; i < items.size() && i < before.towers.size() && i < ran.towers.size(); ++i) {
    if (!items[i]) continue;
    const size_t u = i + 1;
    const bool runs = u <= kMaxUnits && r.units[u].active && r.units[u].heat > 0;
    *items[i] = runs ? ran.towers[i] : before.towers[i];
    if (u <= kMaxUnits) memo_[u] = runs ? ran.memo[u] : before.memo[u];
  }
}

double CwPlant::PumpKW(StoredPump& p, double ratio, bool variable) {
  double design = 0;
  if (p.set.Flow > 0 && p.set.Head > 0 && !DesignPumpKW(p.set, design)) {
    Report(kErrDivisionByZero, "Division by zero: pump or motor efficiency is not above 0", kLibraryName, "cPump",
           "Calculate");
    return 0;
  }
  if (!(p.set.Power > 0)) return 0;
  if (!variable || !(p.set.Flow > 0) || p.set.MinFlow >= p.set.Flow) return p.set.Power;
  const double r = std::clamp(ratio, std::max(0.0, p.set.MinFlow / p.set.Flow), 1.0);
  const double c = std::clamp(p.set.ControlValue, 0.0, 1.0);
  return p.set.Power * r * (c + (1.0 - c) * r * r);
}

// ---------------------------------------------------------------------------------------
// One way of running the plant
// ---------------------------------------------------------------------------------------

// Stages the chillers for the load, with the exchanger on the units `how` names (of the
// candidates). The towers that serve the exchanger are held at its floor meanwhile.
Run CwPlant::Simulate(double load, double supply, Exchanger how, const std::vector<int>& candidates) {
  Run r;
  if (load <= kOnLoad) return r;
  const std::vector<int> none;
  std::vector<int> lowered;  // the units whose towers serve the exchanger in the stage solved last
  const double most = how == Exchanger::kOff ? 0 : MaxFreeCooling(load, supply, candidates);
  const int stages = std::clamp(set.NumStages, 0, kMaxStages);
  bool chosen = false;
  for (int s = 1; s <= stages && !chosen; ++s) {
    std::vector<int> slots;
    for (int c = 1; c <= SlotCount(); ++c)
      if (set.StageChiller[static_cast<size_t>(s)][static_cast<size_t>(c)] != 0) slots.push_back(c);
    std::vector<int> exchanger;
    for (int u : how == Exchanger::kOff ? none : candidates) {
      bool stageUnit = false;
      for (int c : slots)
        stageUnit =
            stageUnit ||
            (UnitOf(c) == u && (Main(c)->set.CondenserType != 1 || (Paired(c) && Paired(c)->set.CondenserType != 1)));
      if (how == Exchanger::kAllUnits || (how == Exchanger::kRunningUnits) == stageUnit) exchanger.push_back(u);
    }
    double lo, hi;
    CapacityBounds(slots, supply, lo, hi);
    const bool last = s == stages;
    if (hi < load - most && !last) continue;  // short at any condenser temperature
    RestoreFloors(lowered);
    lowered = exchanger;
    LowerFloors(lowered, supply);
    r.converged = SolveStage(slots, load, supply, exchanger, r.ms, r.units, r.fc);
    double rest = load - r.fc;
    if (rest < kOnLoad) rest = 0;
    double avail = 0;
    for (const Machine& m : r.ms) avail += m.avail;
    if (avail >= rest * (1 - 1e-12) || last) {
      chosen = true;
      if (avail < rest) r.loadNotMet = rest - avail;
    }
  }
  if (!chosen) r.loadNotMet = load;  // no stage at all
  if (r.fc <= kOnLoad) r.fc = 0;
  double flow = 0, water = 0;
  for (const Unit& u : r.units)
    if (u.exchanger) flow += u.designFlow, water += u.designFlow * u.ecwt;
  r.fcWater = flow > 0 ? water / flow : 0;
  Account(r, load);
  RestoreFloors(lowered);
  return r;
}

// The non-integrated economizer: all candidate units carry the whole load, or it stays off.
Run CwPlant::NonIntegrated(double load, double supply, const std::vector<int>& candidates) {
  Run r;
  double coldest = std::numeric_limits<double>::max();
  for (int u : candidates) coldest = std::min(coldest, SourceTemperature(u));
  if (candidates.empty() || coldest + set.EconomizerValue >= supply) return r;
  LowerFloors(candidates, supply);
  double total = 0, water = 0;
  for (int u : candidates) total += UnitDesignFlow(u);
  for (int u : candidates) {
    Unit& un = r.units[static_cast<size_t>(u)];
    un.active = un.exchanger = true;
    un.mode = set.HeatRejectionMode[static_cast<size_t>(u)];
    un.flow = un.designFlow = UnitDesignFlow(u);
    un.heat = un.fcHeat = load * un.designFlow / total;
    un.ecwt = UnitReturn(u, un.heat, un.flow, un.designFlow, SourceTemperature(u));
    water += un.designFlow * un.ecwt;
  }
  r.fcWater = water / total;
  if (r.fcWater + set.EconomizerValue <= supply + 1e-9) {
    r.fc = load;
    Account(r, load);
  }
  RestoreFloors(candidates);
  return r;
}

// The power a way of running draws: fans and condenser pumps of the units that run (the
// exchanger's share of a unit by its share of the unit's heat), chilled-water pumps.
void CwPlant::Account(Run& r, double load) {
  for (int u = 1; u <= kMaxUnits; ++u) {
    Unit& un = r.units[static_cast<size_t>(u)];
    if (!un.active || un.heat <= 0) continue;
    const int towers = TowerCount(u);
    un.fan = un.mode != 1 ? UnitFanKW(u) * towers : 0;
    un.pumpKW = 0;
    if (StoredPump* p = CondPump(u)) {
      const double ratio = un.designFlow > 0 ? un.flow / un.designFlow : 0;
      un.pumpKW = (set.CondPumpControl == 0 ? PumpKW(*p, 1.0, false) * ratio : PumpKW(*p, ratio, true)) * towers;
    }
    const double share = un.exchanger ? un.fcHeat / un.heat : 0;
    r.fcKW += (un.fan + un.pumpKW) * share;
    r.fanKW += un.fan * (1 - share);
    r.condPumpKW += un.pumpKW * (1 - share);
  }
  // Chilled-water pumps. With constant primary pumps the exchanger takes the design flow of
  // all of them: while it runs they all run.
  const int n = SlotCount();
  std::array<bool, kMaxChillers + 1> slotOn{};
  bool anyOn = false;
  for (const Machine& m : r.ms)
    if (m.load > kOnLoad) slotOn[static_cast<size_t>(m.slot)] = anyOn = true;
  const bool allPrimaries = r.fc > 0 && set.EvapFlowControl == 1;
  const double design = ChwDesignFlow();
  const double ratio = design > 0 ? ChwFlow(load) / design : 0;
  if (set.EvapFlowControl == 1 || set.EvapFlowControl == 3) {
    for (int p = 1; p <= std::min(n, primaryPumps_.Count()); ++p)
      if (slotOn[static_cast<size_t>(p)] || allPrimaries) r.primaryKW += PumpKW(primaryPumps_.Item(p), 1.0, false);
  } else if (set.EvapFlowControl == 2 && anyOn && primaryPumps_.Count() >= 1) {
    r.primaryKW += PumpKW(primaryPumps_.Item(1), ratio, true);
  }
  if ((set.EvapFlowControl == 2 || set.EvapFlowControl == 3) && load > kOnLoad)
    r.secondaryKW = PumpKW(*systemPump_, ratio, true);
}

// Writes a way of running into the plant's and the chillers' results.
void CwPlant::Publish(const Run& r, double load) {
  const int n = SlotCount();
  res.LoadNotMet = r.loadNotMet;
  res.FreeCoolingOn = r.fc > 0;
  res.FreeCoolingLoad = r.fc;
  if (!r.converged && !towerError_)
    Error(kErrNoConvergence,
          "The condenser water loop did not converge within " + std::to_string(kMaxPasses) + " passes");

  // Chiller results.
  double ecwtSum = 0, ecwtWeight = 0, firstEcwt = 0;
  bool sameEcwt = true, anyRunning = false;
  std::array<bool, kMaxChillers + 1> slotOn{};
  for (const Machine& m : r.ms) {
    if (m.load <= kOnLoad) continue;
    m.ch->res.Load = m.load;
    m.ch->res.ECWT = m.ecwt;
    if (m.heatDriven) {
      m.ch->res.GenHeat = m.input;
      m.ch->res.Power = m.ch->set.AuxKW;
    } else {
      m.ch->res.Power = m.input;
    }
    slotOn[static_cast<size_t>(m.slot)] = true;
    if (!anyRunning) firstEcwt = m.ecwt;
    sameEcwt = sameEcwt && m.ecwt == firstEcwt;
    anyRunning = true;
    ecwtSum += m.load * m.ecwt;
    ecwtWeight += m.load;
  }
  for (int c = 1; c <= n; ++c) res.ChillersOn += slotOn[static_cast<size_t>(c)] ? 1 : 0;
  res.ECWT = !anyRunning ? 0 : sameEcwt ? firstEcwt : ecwtSum / ecwtWeight;

  for (int u = 1; u <= kMaxUnits; ++u) {
    const Unit& un = r.units[static_cast<size_t>(u)];
    if (!un.active || un.heat <= 0) continue;
    warm_[static_cast<size_t>(u)] = un.ecwt;
    warmValid_[static_cast<size_t>(u)] = true;
  }
  res.FanKW = r.fanKW;
  res.CondPumpKW = r.condPumpKW;
  res.PrimaryPumpKW = r.primaryKW;
  res.SecondaryPumpKW = r.secondaryKW;

  // The exchanger's load and power go to the chillers that run; a chiller that is off stays
  // off. When the exchanger carries the whole load, every chiller takes a share and reports
  // the exchanger's water as its condenser water (air-cooled ones the dry bulb).
  if (r.fc > 0) {
    const bool mechanical = res.ChillersOn > 0;
    auto shares = [&](const EngineChiller* ch) { return ch && (!mechanical || ch->res.Load > kOnLoad); };
    double capSum = 0;
    for (int c = 1; c <= n; ++c)
      for (EngineChiller* ch : {Main(c), Paired(c)})
        if (shares(ch)) capSum += std::max(0.0, ch->set.Capacity);
    for (int c = 1; c <= n && capSum > 0; ++c)
      for (EngineChiller* ch : {Main(c), Paired(c)}) {
        if (!shares(ch)) continue;
        const double share = std::max(0.0, ch->set.Capacity) / capSum;
        ch->res.FreeCoolingLoad = r.fc * share;
        ch->res.FreeCoolingPower = r.fcKW * share;
        ch->res.Load += ch->res.FreeCoolingLoad;
        ch->res.Power += ch->res.FreeCoolingPower;
        if (!mechanical) ch->res.ECWT = ch->set.CondenserType == 1 ? in.OutdoorDryBulb : r.fcWater;
      }
    if (!mechanical) res.ECWT = r.fcWater;
  }
}

// ---------------------------------------------------------------------------------------
// One run
// ---------------------------------------------------------------------------------------

void CwPlant::CalcPlant() {
  kestrin::ClearUpperVectorState();
  gCalcPlantRuns.fetch_add(1, std::memory_order_relaxed);
  towerError_ = false;
  towerFailed_ = {};
  reported_.clear();
  SubscribeTowers();
  for (StoredChillers* list : {&chillers_, &paired_})
    for (int i = 1; i <= list->Count(); ++i) list->Item(i).res = {};
  res = {};
  res.BinDryBulb = in.OutdoorDryBulb;
  res.BinWetBulb = in.OutdoorWetBulb;
  res.BinLoad = in.CoolingLoad;
  res.BuildingLoad = in.CoolingLoad;
  const double supply = res.SupplyTemp = SupplyTemperature();
  const double load = std::max(0.0, in.CoolingLoad);

  const int mode = set.EconomizerMode;
  std::vector<int> candidates;
  if ((mode == 2 || mode == 3) && load > kOnLoad) candidates = ExchangerUnits();
  const bool possible = MaxFreeCooling(load, supply, candidates) > kOnLoad;

  // Every way of running that is tried calls towers; the one chosen leaves its units as it
  // solved them, and the units it does not run as they were before the run.
  const TowerState before = SaveTowers();
  Run chosen;
  TowerState chosenTowers;
  bool done = false;
  if (mode == 2 && possible) {
    chosen = NonIntegrated(load, supply, candidates);
    done = chosen.fc > 0;
    if (done) chosenTowers = SaveTowers();
  }
  if (mode == 3 && possible) {
    // Like a plant's own controls, the integrated economizer runs only when it lowers the
    // plant's power: the plant without it and with it on each choice of units are compared,
    // and the lowest wins (ties: without).
    chosen = Simulate(load, supply, Exchanger::kOff, candidates);
    chosenTowers = SaveTowers();
    std::vector<Exchanger> ways{Exchanger::kAllUnits};
    if (candidates.size() > 1) ways = {Exchanger::kRunningUnits, Exchanger::kIdleUnits, Exchanger::kAllUnits};
    for (Exchanger way : ways) {
      Run r = Simulate(load, supply, way, candidates);
      if (r.fc > 0 && r.Total() < chosen.Total()) {
        chosen = std::move(r);
        chosenTowers = SaveTowers();
      }
    }
    done = true;
  }
  if (!done) {
    chosen = Simulate(load, supply, Exchanger::kOff, candidates);
    chosenTowers = SaveTowers();
  }
  RestoreTowers(before, chosenTowers, chosen);
  Publish(chosen, load);
}

}  // namespace
}  // namespace grendax::detail

std::unique_ptr<cCwPlant> CreateCwPlant() { return std::make_unique<grendax::detail::CwPlant>(); }

long long CalcPlantRuns() { return grendax::detail::gCalcPlantRuns.load(std::memory_order_relaxed); }
