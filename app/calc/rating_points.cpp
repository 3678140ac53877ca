// Rating-point grouping: each chiller's simulated bins summed into the 25, 50, 75 and
// 100 % rating points, pooled over groups of identical chillers, with the custom
// weighting factors (ton-hour shares) and ECWTs (hour-weighted means).
#include <string>
#include <vector>

#include "app/calc/modCalcs.h"
#include "app/storage/modpublic.h"
#include "platform/ui/ui.h"

namespace modCalcs {

int RatingPoint(float fPercentLoad) {
  if (fPercentLoad >= 87.5f) return 4;
  if (fPercentLoad >= 62.5f) return 3;
  if (fPercentLoad >= 37.5f) return 2;
  return 1;
}

namespace {

void ClearSums(ChillerResultData& r) {
  r.fBinHours.fill(0);
  r.fBinHourECWT.fill(0);
  r.fBinTonHours.fill(0);
  r.fPointBinHourECWT.fill(0);
  r.fPointBinTonHours.fill(0);
  r.fPointHours.fill(0);
  r.fPointHourECWT.fill(0);
  r.fPointTonHours.fill(0);
  r.fPoolHours.fill(0);
  r.fPoolHourECWT.fill(0);
  r.fPoolTonHours.fill(0);
  r.fWeightingFactor.fill(0);
  r.fECWT.fill(0);
  r.fTotalHours = 0;
  r.fTotalHourECWT = 0;
  r.fTotalTonHours = 0;
}

// Pass 1: one chiller's bins into its totals and rating points.
void SumBins(const PLVProfileData& profile, int nBins, bool bSI, ChillerResultData& r) {
  for (int b = 1; b <= nBins; ++b) {
    if (r.bBinOn(b) != 0) {
      r.fBinHours(b) = static_cast<float>(profile.Bins(b).lHours);
    } else {
      r.fBinHours(b) = 0;
      r.fBinECWT(b) = 0;
    }
    const double hours = r.fBinHours(b);
    const double ecwt = bSI ? (r.fBinECWT(b) - 32.0) / 1.8 : r.fBinECWT(b);
    r.fBinHourECWT(b) = static_cast<float>(ecwt * hours);
    r.fBinTonHours(b) = static_cast<float>(hours * r.fBinLoad(b));
    r.fTotalHours += r.fBinHours(b);
    r.fTotalHourECWT += r.fBinHourECWT(b);
    r.fTotalTonHours += r.fBinTonHours(b);

    const int p = RatingPoint(r.fBinLoadPercent(b));
    r.fPointBinHourECWT(p, b) = r.fBinHourECWT(b);
    r.fPointBinTonHours(p, b) = r.fBinTonHours(b);
    r.fPointHours(p) += r.fBinHours(b);
    r.fPointHourECWT(p) += r.fPointBinHourECWT(p, b);
    r.fPointTonHours(p) += r.fPointBinTonHours(p, b);
  }
}

// Pass 2: chillers of one group (nGroup 1 or more) share the sums of the whole group.
// A chiller without a group (0) keeps its own.
void PoolGroups(PLVProfileData& profile, int nChillers) {
  std::vector<bool> done(static_cast<std::size_t>(nChillers) + 1, false);
  for (int i = 1; i <= nChillers; ++i) {
    if (done[i]) continue;
    ChillerResultData& first = profile.ChillerResults(i);
    first.fPoolHours = first.fPointHours;
    first.fPoolHourECWT = first.fPointHourECWT;
    first.fPoolTonHours = first.fPointTonHours;
    std::vector<int> members;
    if (first.nGroup >= 1) {
      for (int j = i + 1; j <= nChillers; ++j)
        if (!done[j] && profile.ChillerResults(j).nGroup == first.nGroup) members.push_back(j);
    }
    for (int j : members) {
      const ChillerResultData& other = profile.ChillerResults(j);
      for (int p = 1; p <= 4; ++p) {
        first.fPoolHours(p) += other.fPointHours(p);
        first.fPoolHourECWT(p) += other.fPointHourECWT(p);
        first.fPoolTonHours(p) += other.fPointTonHours(p);
      }
    }
    for (int j : members) {
      ChillerResultData& other = profile.ChillerResults(j);
      other.fPoolHours = first.fPoolHours;
      other.fPoolHourECWT = first.fPoolHourECWT;
      other.fPoolTonHours = first.fPoolTonHours;
      done[j] = true;
    }
    done[i] = true;
  }
}

// Pass 3: weighting factors and ECWTs (deg F) from the pooled sums.
void DeriveFactors(bool bSI, ChillerResultData& r) {
  double total = 0;
  for (int p = 1; p <= 4; ++p) total += r.fPoolTonHours(p);
  for (int p = 1; p <= 4; ++p)
    r.fWeightingFactor(p) = total > 0 ? static_cast<float>(r.fPoolTonHours(p) / total) : 0.0f;
  for (int p = 1; p <= 4; ++p) {
    if (r.fPoolHours(p) <= 0) {
      r.fECWT(p) = 0;
      continue;
    }
    double ecwt = static_cast<double>(r.fPoolHourECWT(p)) / r.fPoolHours(p);
    if (bSI) ecwt = ecwt * 1.8 + 32.0;
    r.fECWT(p) = static_cast<float>(ecwt);
  }
}

}  // namespace

bool bCalcCPLV(PLVProfileData& profile, bool bSI) {
  return modpublic::RunGuarded("bCalcCPLV", kCalcErrorPrefix, ui::kExclamation, [&] {
    const int nChillers = profile.nNumChillerResults;
    const int nBins = profile.nLastLoadBin;
    if (nChillers < 0 || nChillers > 30)
      vb::Raise(vb::kSubscriptOutOfRange,
                "The profile holds " + std::to_string(nChillers) + " chiller results; at most 30 are allowed.");
    if (nBins < 0 || nBins > 24)
      vb::Raise(vb::kSubscriptOutOfRange,
                "The profile holds " + std::to_string(nBins) + " bins; at most 24 are allowed.");

    for (int i = 1; i <= nChillers; ++i) {
      ChillerResultData& r = profile.ChillerResults(i);
      ClearSums(r);
      SumBins(profile, nBins, bSI, r);
    }
    PoolGroups(profile, nChillers);
    for (int i = 1; i <= nChillers; ++i) DeriveFactors(bSI, profile.ChillerResults(i));
  });
}

bool bCalcCPLV(PLVProfileData& profile) {
  return bCalcCPLV(profile, modpublic::gUnits.CurrentUnitOfMeasure() == nMETRIC);
}

}  // namespace modCalcs
