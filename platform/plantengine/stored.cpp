#include "platform/plantengine/stored.h"

#include <stdexcept>

namespace grendax::detail {

void CheckIndex(int i, int lo, int hi, const char* what) {
  if (i < lo || i > hi)
    throw std::out_of_range(std::string(what) + ": index " + std::to_string(i) + " outside " + std::to_string(lo) +
                            ".." + std::to_string(hi));
}

namespace {

// Element i (1..hi) of a 1-based array; std::out_of_range outside.
template <class Array>
auto& Cell(Array& a, int i, int hi, const char* what) {
  CheckIndex(i, 1, hi, what);
  return a[static_cast<size_t>(i)];
}

template <class Array>
auto& Cell(Array& a, int c, int r, int hiC, int hiR, const char* what) {
  return Cell(Cell(a, c, hiC, what), r, hiR, what);
}

}  // namespace

double StoredChiller::MapECWT(int c) const { return Cell(set.MapECWT, c, kMaxMapECWTs, "MapECWT"); }
void StoredChiller::MapECWT(int c, double v) {
  Cell(set.MapECWT, c, kMaxMapECWTs, "MapECWT") = v;
  Let("MapECWT", {c}, v);
}
double StoredChiller::MapCapacity(int c, int r) const {
  return Cell(set.MapCapacity, c, r, kMaxMapECWTs, kMaxMapLoads, "MapCapacity");
}
void StoredChiller::MapCapacity(int c, int r, double v) {
  Cell(set.MapCapacity, c, r, kMaxMapECWTs, kMaxMapLoads, "MapCapacity") = v;
  Let("MapCapacity", {c, r}, v);
}
double StoredChiller::MapInput(int c, int r) const {
  return Cell(set.MapInput, c, r, kMaxMapECWTs, kMaxMapLoads, "MapInput");
}
void StoredChiller::MapInput(int c, int r, double v) {
  Cell(set.MapInput, c, r, kMaxMapECWTs, kMaxMapLoads, "MapInput") = v;
  Let("MapInput", {c, r}, v);
}
double StoredChiller::PartLoadCapacity(int i) const {
  return Cell(set.PartLoadCapacity, i, kMaxPartLoadPoints, "PartLoadCapacity");
}
void StoredChiller::PartLoadCapacity(int i, double v) {
  Cell(set.PartLoadCapacity, i, kMaxPartLoadPoints, "PartLoadCapacity") = v;
  Let("PartLoadCapacity", {i}, v);
}
double StoredChiller::PartLoadPct(int i) const { return Cell(set.PartLoadPct, i, kMaxPartLoadPoints, "PartLoadPct"); }
void StoredChiller::PartLoadPct(int i, double v) {
  Cell(set.PartLoadPct, i, kMaxPartLoadPoints, "PartLoadPct") = v;
  Let("PartLoadPct", {i}, v);
}
double StoredChiller::PartLoadInput(int i) const {
  return Cell(set.PartLoadInput, i, kMaxPartLoadPoints, "PartLoadInput");
}
void StoredChiller::PartLoadInput(int i, double v) {
  Cell(set.PartLoadInput, i, kMaxPartLoadPoints, "PartLoadInput") = v;
  Let("PartLoadInput", {i}, v);
}

bool DesignPumpKW(const PumpSetup& p, double& kw) {
  if (!(p.PumpEfficiency > 0) || !(p.MotorEfficiency > 0)) return false;
  kw = p.Flow * p.Head / (3960.0 * p.PumpEfficiency) * 0.746 / p.MotorEfficiency;
  return true;
}

void StoredPump::Calculate() {
  Called("Calculate");
  double kw = 0;
  if (!DesignPumpKW(set, kw)) {
    set.Power = 0;
    RaiseError(kErrDivisionByZero, "Division by zero: pump or motor efficiency is not above 0", "Calculate");
    return;
  }
  set.Power = kw;
}

void StoredPump::RaiseError(long number, const std::string& description, const std::string& method) {
  if (onError_) onError_(number, description, kLibraryName, "cPump", method);
}

StoredPlant::StoredPlant(StoredChillers::Factory chillers, StoredChillers::Factory paired,
                         StoredPumps::Factory condPumps, StoredPumps::Factory primaryPumps,
                         std::unique_ptr<StoredPump> systemPump)
    : chillers_(std::move(chillers), [this](int n) { Built("Chillers", n); }),
      paired_(std::move(paired), [this](int n) { Built("PairedChillers", n); }),
      condPumps_(std::move(condPumps), [this](int n) { Built("CondenserPumps", n); }),
      primaryPumps_(std::move(primaryPumps), [this](int n) { Built("PrimaryPumps", n); }),
      systemPump_(std::move(systemPump)) {}

double StoredPlant::StageChiller(int s, int c) const {
  return Cell(set.StageChiller, s, c, kMaxStages, kMaxChillers, "StageChiller");
}
void StoredPlant::StageChiller(int s, int c, double v) {
  Cell(set.StageChiller, s, c, kMaxStages, kMaxChillers, "StageChiller") = v;
  Let("StageChiller", {s, c}, v);
}

int StoredPlant::HeatRejectionMode(int u) const {
  return Cell(set.HeatRejectionMode, u, kMaxUnits, "HeatRejectionMode");
}
void StoredPlant::HeatRejectionMode(int u, int v) {
  Cell(set.HeatRejectionMode, u, kMaxUnits, "HeatRejectionMode") = v;
  Let("HeatRejectionMode", {u}, v);
}

double StoredPlant::WellWaterTemp(int u) const { return Cell(in.WellWaterTemp, u, kMaxUnits, "WellWaterTemp"); }
void StoredPlant::WellWaterTemp(int u, double v) {
  Cell(in.WellWaterTemp, u, kMaxUnits, "WellWaterTemp") = v;
  Let("WellWaterTemp", {u}, v);
}

bool StoredPlant::HasCondenserSide() const {
  if (set.HasWaterCooledChillers) return true;
  for (const StoredChillers* list : {&chillers_, &paired_})
    for (int i = 1; i <= list->Count(); ++i)
      if (list->At(i).set.CondenserType == 2) return true;
  return false;
}

void StoredPlant::RaiseError(long number, const std::string& description, const std::string& library,
                             const std::string& className, const std::string& method) const {
  if (onError_) onError_(number, description, library, className, method);
}

}  // namespace grendax::detail
