#include "platform/plantengine/stored.h"

#include <stdexcept>

namespace grendax::detail {

void CheckIndex(int i, int lo, int hi, const char* what) {
  if (i < lo || i > hi)
    throw std::out_of_range(std::string(what) + ": index " + std::to_string(i) + " outside " + std::to_string(lo) +
                            ".." + std::to_string(hi));
}

double StoredChiller::MapECWT(int c) const {
  CheckIndex(c, 1, kMaxMapECWTs, "MapECWT");
  return set.MapECWT[c];
}
void StoredChiller::MapECWT(int c, double v) {
  CheckIndex(c, 1, kMaxMapECWTs, "MapECWT");
  set.MapECWT[c] = v;
  Let("MapECWT", {c}, v);
}
double StoredChiller::MapCapacity(int c, int r) const {
  CheckIndex(c, 1, kMaxMapECWTs, "MapCapacity");
  CheckIndex(r, 1, kMaxMapLoads, "MapCapacity");
  return set.MapCapacity[c][r];
}
void StoredChiller::MapCapacity(int c, int r, double v) {
  CheckIndex(c, 1, kMaxMapECWTs, "MapCapacity");
  CheckIndex(r, 1, kMaxMapLoads, "MapCapacity");
  set.MapCapacity[c][r] = v;
  Let("MapCapacity", {c, r}, v);
}
double StoredChiller::MapInput(int c, int r) const {
  CheckIndex(c, 1, kMaxMapECWTs, "MapInput");
  CheckIndex(r, 1, kMaxMapLoads, "MapInput");
  return set.MapInput[c][r];
}
void StoredChiller::MapInput(int c, int r, double v) {
  CheckIndex(c, 1, kMaxMapECWTs, "MapInput");
  CheckIndex(r, 1, kMaxMapLoads, "MapInput");
  set.MapInput[c][r] = v;
  Let("MapInput", {c, r}, v);
}
double StoredChiller::PartLoadCapacity(int i) const {
  CheckIndex(i, 1, kMaxPartLoadPoints, "PartLoadCapacity");
  return set.PartLoadCapacity[i];
}
void StoredChiller::PartLoadCapacity(int i, double v) {
  CheckIndex(i, 1, kMaxPartLoadPoints, "PartLoadCapacity");
  set.PartLoadCapacity[i] = v;
  Let("PartLoadCapacity", {i}, v);
}
double StoredChiller::PartLoadPct(int i) const {
  CheckIndex(i, 1, kMaxPartLoadPoints, "PartLoadPct");
  return set.PartLoadPct[i];
}
void StoredChiller::PartLoadPct(int i, double v) {
  CheckIndex(i, 1, kMaxPartLoadPoints, "PartLoadPct");
  set.PartLoadPct[i] = v;
  Let("PartLoadPct", {i}, v);
}
double StoredChiller::PartLoadInput(int i) const {
  CheckIndex(i, 1, kMaxPartLoadPoints, "PartLoadInput");
  return set.PartLoadInput[i];
}
void StoredChiller::PartLoadInput(int i, double v) {
  CheckIndex(i, 1, kMaxPartLoadPoints, "PartLoadInput");
  set.PartLoadInput[i] = v;
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
  CheckIndex(s, 1, kMaxStages, "StageChiller");
  CheckIndex(c, 1, kMaxChillers, "StageChiller");
  return set.StageChiller[s][c];
}
void StoredPlant::StageChiller(int s, int c, double v) {
  CheckIndex(s, 1, kMaxStages, "StageChiller");
  CheckIndex(c, 1, kMaxChillers, "StageChiller");
  set.StageChiller[s][c] = v;
  Let("StageChiller", {s, c}, v);
}

int StoredPlant::HeatRejectionMode(int u) const {
  CheckIndex(u, 1, kMaxUnits, "HeatRejectionMode");
  return set.HeatRejectionMode[u];
}
void StoredPlant::HeatRejectionMode(int u, int v) {
  CheckIndex(u, 1, kMaxUnits, "HeatRejectionMode");
  set.HeatRejectionMode[u] = v;
  Let("HeatRejectionMode", {u}, v);
}

double StoredPlant::WellWaterTemp(int u) const {
  CheckIndex(u, 1, kMaxUnits, "WellWaterTemp");
  return in.WellWaterTemp[u];
}
void StoredPlant::WellWaterTemp(int u, double v) {
  CheckIndex(u, 1, kMaxUnits, "WellWaterTemp");
  in.WellWaterTemp[u] = v;
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
