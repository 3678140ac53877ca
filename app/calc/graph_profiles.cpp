// The point series of the report graphs (building % against chiller %, chiller % against
// ECWT), one point per bin with a running chiller, and a pair of points at each staging
// change that the engine finds between two neighbouring bins.
#include <algorithm>
#include <cmath>
#include <vector>

#include "app/calc/frmWait.h"
#include "app/storage/modpublic.h"
#include "platform/ui/ui.h"

namespace {

constexpr int kMaxPoints = 50;
constexpr int kSubSteps = 40;  // the search visits sub-steps 1..39 between two bins

struct Held {
  bool running = false;
  float pct = 0;
  float ecwt = 0;
};

// Writes point k of one chiller; points beyond the 50 of the layout are not kept.
void SetPoint(ChillerResultData& r, int k, float buildingPct, float loadPct, float ecwt, bool staging) {
  if (k < 1 || k > kMaxPoints) return;
  r.fProfileBuildingPct(k) = buildingPct;
  r.fProfileLoadPct(k) = loadPct;
  r.fProfileECWT(k) = ecwt;
  r.bProfileStaging(k) = vb::ToBoolean(staging);
}

void ClearStaging(ChillerResultData& r, int k) {
  if (k >= 1 && k <= kMaxPoints) r.bProfileStaging(k) = vb::kFalse;
}

// A chiller's percent load in the engine's current run (0 without capacity).
float PercentLoad(cCwPlant& plant, int j) {
  cChiller& ch = plant.Chillers().Item(j);
  double capacity = ch.Capacity();
  if (ch.Paired()) capacity += plant.PairedChillers().Item(j).Capacity();
  return capacity > 0 ? static_cast<float>(ch.Load() * 100.0 / capacity) : 0.0f;
}

}  // namespace

bool frmWait::bCalcGraphProfiles(PLVProfileData& profile, const WellWaterTable& wellTable, bool& bResult) {
  bResult = false;
  modpublic::RunGuarded("bCalcGraphProfiles", m_sErrorPrefix, ui::kExclamation,
                        [&] { bResult = GraphProfiles(profile, wellTable); });
  return bResult;
}

bool frmWait::GraphProfiles(PLVProfileData& profile, const WellWaterTable& wellTable) {
  const int n = profile.nNumChillerResults;
  const int last = profile.nLastLoadBin;
  auto runs = [&](int j, int b) { return profile.ChillerResults(j).bBinOn(b) != 0; };
  auto anyRuns = [&](int b) {
    for (int j = 1; j <= n; ++j)
      if (runs(j, b)) return true;
    return false;
  };

  float largest = 0;
  for (int b = 1; b <= last; ++b) largest = std::max(largest, profile.Bins(b).fLoad);

  int first = 0;
  for (int b = 1; b <= last && first == 0; ++b)
    if (anyRuns(b)) first = b;
  if (first == 0) return true;  // no chiller runs: no points

  int point = 1;
  for (int j = 1; j <= n; ++j) {
    ChillerResultData& r = profile.ChillerResults(j);
    if (runs(j, first))
      SetPoint(r, point, profile.Bins(first).fLoadPercent, r.fBinLoadPercent(first), r.fBinECWT(first), false);
  }

  int p = first;
  std::vector<Held> held(n + 1);
  for (int b = first + 1; b <= last; ++b) {
    if (point >= kMaxPoints) break;  // the layout holds 50 points
    if (!anyRuns(b)) continue;
    const PLVBinData& binP = profile.Bins(p);
    const PLVBinData& binB = profile.Bins(b);
    bool differs = false;
    for (int j = 1; j <= n; ++j) differs = differs || runs(j, p) != runs(j, b);
    const double dDB = static_cast<double>(binB.fDB) - binP.fDB;

    // Staging search between two bins of different dry bulb, stepping from bin p toward b.
    if (differs && dDB != 0) {
      cCwPlant& plant = *m_Plant;
      const double loadSlope = (static_cast<double>(binB.fLoad) - binP.fLoad) / dDB;
      const double loadIntercept = binB.fLoad - loadSlope * binB.fDB;
      const double wbSlope = (static_cast<double>(binB.fMCWB) - binP.fMCWB) / dDB;
      const double wbIntercept = binB.fMCWB - wbSlope * binB.fDB;
      for (int j = 1; j <= n; ++j) {
        const ChillerResultData& r = profile.ChillerResults(j);
        held[j].running = runs(j, p);
        held[j].pct = held[j].running ? r.fBinLoadPercent(p) : 0.0f;
        held[j].ecwt = held[j].running ? r.fBinECWT(p) : 0.0f;
      }
      plant.OutdoorDryBulb(binP.fDB);
      const double step = std::fabs(dDB) / kSubSteps * (dDB > 0 ? 1.0 : -1.0);
      bool found = false;
      for (int k = 1; k < kSubSteps; ++k) {
        const double db = plant.OutdoorDryBulb() + step;
        plant.OutdoorDryBulb(db);
        plant.OutdoorWetBulb(wbSlope * db + wbIntercept);
        plant.CoolingLoad((loadSlope * db + loadIntercept) * 12.0);
        for (int u = 1; u <= plant.NumChillers(); ++u)
          if (plant.HeatRejectionMode(u) == 1) plant.WellWaterTemp(u, wellTable(u, 13));
        plant.CalcPlant();
        if (m_bEngineError) return false;
        if (plant.LoadNotMet() > 0) return true;  // an unmet load ends the profiles here
        for (int j = 1; j <= n && !found; ++j) found = (plant.Chillers().Item(j).Load() > 0.001) != held[j].running;
        if (found) break;
        for (int j = 1; j <= n; ++j) {
          held[j].running = plant.Chillers().Item(j).Load() > 0.001;
          held[j].pct = held[j].running ? PercentLoad(plant, j) : 0.0f;
          held[j].ecwt = held[j].running ? static_cast<float>(plant.Chillers().Item(j).ECWT()) : 0.0f;
        }
      }

      if (found) {
        const float buildingPct =
            largest > 0 ? static_cast<float>(plant.CoolingLoad() * 100.0 / (largest * 12.0)) : 0.0f;
        point += 2;
        for (int j = 1; j <= n; ++j) {
          ChillerResultData& r = profile.ChillerResults(j);
          cChiller& ch = plant.Chillers().Item(j);
          if (ch.Load() > 0.001)
            SetPoint(r, point, buildingPct, PercentLoad(plant, j), static_cast<float>(ch.ECWT()), true);
          if (held[j].running)
            SetPoint(r, point - 1, buildingPct, held[j].pct, held[j].ecwt, true);
          else
            ClearStaging(r, point - 1);
        }
      } else {
        point += 1;
        for (int j = 1; j <= n; ++j) {
          ChillerResultData& r = profile.ChillerResults(j);
          if (held[j].running)
            SetPoint(r, point, binB.fLoadPercent, held[j].pct, held[j].ecwt, false);
          else
            ClearStaging(r, point);
        }
      }
    }

    point += 1;
    for (int j = 1; j <= n; ++j) {
      ChillerResultData& r = profile.ChillerResults(j);
      if (runs(j, b)) SetPoint(r, point, binB.fLoadPercent, r.fBinLoadPercent(b), r.fBinECWT(b), false);
    }
    p = b;
  }
  return true;
}
