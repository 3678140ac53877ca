// The order of the 50 profile points for the system load profile graph, and the smoothing of
// the points next to a change of the chillers running.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "app/reports/plv/profile_graphs.h"

namespace reports::plv {

int ProfileChillers(const PLVProfileData& profile) {
  return std::clamp<int>(profile.nNumChillerResults, 0, static_cast<int>(decltype(profile.ChillerResults)::UBound()));
}

int ProfileBins(const PLVProfileData& profile) {
  return std::clamp<int>(profile.nLastLoadBin, 0, static_cast<int>(decltype(profile.Bins)::UBound()));
}

namespace {

// Each chiller's building and chiller load averaged over the points at sorted positions
// from..to, written back into every one of them.
void AverageRun(PLVProfileData& profile, const PointIndex& binIndex, int from, int to) {
  const int n = ProfileChillers(profile);
  const double count = to - from + 1;
  for (int k = 1; k <= n; ++k) {
    ChillerResultData& r = profile.ChillerResults(k);
    double building = 0, load = 0;
    for (int m = from; m <= to; ++m) {
      building += r.fProfileBuildingPct(binIndex(m));
      load += r.fProfileLoadPct(binIndex(m));
    }
    for (int m = from; m <= to; ++m) {
      r.fProfileBuildingPct(binIndex(m)) = static_cast<float>(building / count);
      r.fProfileLoadPct(binIndex(m)) = static_cast<float>(load / count);
    }
  }
}

}  // namespace

void PreprocessVUVORedoForProfileGraph(PLVProfileData& profile, PointIndex& binIndex, PointIndex& chillersOn) {
  const int n = ProfileChillers(profile);
  vb::Array<float, 1, kProfilePoints> load;
  vb::Array<bool, 1, kProfilePoints> flag;
  for (int b = 1; b <= kProfilePoints; ++b) {
    binIndex(b) = static_cast<int16_t>(b);
    int16_t on = 0;
    for (int k = 1; k <= n; ++k)
      if (profile.ChillerResults(k).fProfileLoadPct(b) > 0) ++on;
    chillersOn(b) = on;
    load(b) = n > 0 ? profile.ChillerResults(1).fProfileBuildingPct(b) : 0.0f;
    flag(b) = n > 0 && profile.ChillerResults(1).bProfileStaging(b) != 0;
  }

  // Descending by chillers running, then by building load. Compared as a pair, so that a
  // building load of 100 % or more cannot pass a point with more chillers running.
  auto before = [&](int j, int i) {
    return chillersOn(j) > chillersOn(i) || (chillersOn(j) == chillersOn(i) && load(j) > load(i));
  };
  for (int i = 1; i <= kProfilePoints; ++i)
    for (int j = i + 1; j <= kProfilePoints; ++j)
      if (before(j, i)) {
        std::swap(load(i), load(j));
        std::swap(flag(i), flag(j));
        std::swap(binIndex(i), binIndex(j));
        std::swap(chillersOn(i), chillersOn(j));
      }

  // Smoothing at each drop of the chillers running (the groups of equal counts).
  std::vector<int> groupStart{1};
  int current = chillersOn(1);
  for (int i = 1; i <= kProfilePoints; ++i) {
    if (!(chillersOn(i) > 0 && chillersOn(i) < current)) continue;
    groupStart.push_back(i);
    const int previousStart = groupStart[groupStart.size() - 2];

    // Down: the points before the drop with the earlier count, near its building load.
    int marked = 0;
    for (int j = i - 1; j > previousStart && chillersOn(j) == current && std::fabs(load(j) - load(i - 1)) < 2.0; --j)
      if (flag(j)) marked = j;
    if (marked > 0 && i - marked > 1) AverageRun(profile, binIndex, marked, i - 1);

    // Up: the points from the drop on with the new count, near its building load.
    marked = 0;
    for (int j = i; j < kProfilePoints && chillersOn(j) == chillersOn(i) && std::fabs(load(j) - load(i)) < 2.0; ++j)
      if (flag(j)) marked = j;
    if (marked > 0 && marked - i > 0) AverageRun(profile, binIndex, i, marked);

    current = chillersOn(i);
  }
}

void SortSPLVStructForProfile(PLVProfileData& profile) {
  const int n = ProfileChillers(profile);
  for (int k = 1; k <= n; ++k) {
    ChillerResultData& r = profile.ChillerResults(k);
    for (int i = 1; i <= kProfilePoints; ++i)
      for (int j = i + 1; j <= kProfilePoints; ++j)
        if (r.fProfileBuildingPct(j) > r.fProfileBuildingPct(i)) {
          std::swap(r.fProfileBuildingPct(i), r.fProfileBuildingPct(j));
          std::swap(r.fProfileLoadPct(i), r.fProfileLoadPct(j));
          std::swap(r.fProfileECWT(i), r.fProfileECWT(j));
          std::swap(r.bProfileStaging(i), r.bProfileStaging(j));
        }
  }
}

}  // namespace reports::plv
