#include "app/calc/custom_plv.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/calc/modCalcs.h"
#include "app/storage/modpublic.h"
#include "app/storage/vbcompat.h"
#include "platform/ui/ui.h"

namespace modCalcs {

namespace {

// One ECWT column of a prepared map: its usable rows in decreasing capacity (kBtu/h) with
// their input (kW).
struct MapColumn {
  double ecwt = 0;
  std::vector<double> cap, input;
};

// The columns of a prepared map in descending ECWT. As in the plant engine, a row is used
// when its capacity is above 0, its input not negative and its capacity below the previous
// used row's; a column without such rows is left out.
std::vector<MapColumn> ColumnsOf(const ChillerData& prepared) {
  std::vector<MapColumn> columns;
  for (int c = 1; c <= prepared.nNumECWTPoints; ++c) {
    MapColumn col;
    col.ecwt = prepared.fECWTPoints(c);
    for (int r = 1; r <= prepared.nNumLoadPoints; ++r) {
      const double cap = prepared.fCapacityMap(c, r), in = prepared.fPowerMap(c, r);
      if (!(cap > 0) || !(in >= 0)) continue;
      if (!col.cap.empty() && !(cap < col.cap.back())) continue;
      col.cap.push_back(cap);
      col.input.push_back(in);
    }
    if (!col.cap.empty()) columns.push_back(std::move(col));
  }
  std::stable_sort(columns.begin(), columns.end(),
                   [](const MapColumn& a, const MapColumn& b) { return a.ecwt > b.ecwt; });
  return columns;
}

double Lerp(double x1, double y1, double x2, double y2, double x) {
  if (x == x1) return y1;
  if (x == x2) return y2;
  return x2 - x1 == 0 ? y1 : y1 + (x - x1) * (y2 - y1) / (x2 - x1);
}

// Input of one column at a capacity, along its rows; the end segments are extended.
double ColumnInput(const MapColumn& col, double load) {
  const std::size_t n = col.cap.size();
  if (n == 1) return col.input[0] * load / col.cap[0];
  std::size_t r = 0;
  while (r + 2 < n && load < col.cap[r + 1]) ++r;
  return Lerp(col.cap[r], col.input[r], col.cap[r + 1], col.input[r + 1], load);
}

// Input between the two columns around the ECWT (the end column outside the axis).
double MapInput(const std::vector<MapColumn>& columns, double ecwt, double load) {
  if (ecwt >= columns.front().ecwt) return ColumnInput(columns.front(), load);
  if (ecwt <= columns.back().ecwt) return ColumnInput(columns.back(), load);
  std::size_t j = 0;
  while (ecwt < columns[j + 1].ecwt) ++j;
  const MapColumn &hot = columns[j], &cold = columns[j + 1];
  return Lerp(hot.ecwt, ColumnInput(hot, load), cold.ecwt, ColumnInput(cold, load), ecwt);
}

bool IsElectric(const ChillerData& chiller) {
  return (chiller.nType >= 1 && chiller.nType <= 5) || (chiller.nType >= 10 && chiller.nType <= 12);
}

// The chiller's map prepared for rating. Raises for a chiller that cannot be rated in
// kW/ton; false when the preparation failed (its box has been shown).
bool PrepareForRating(const ChillerData& chiller, ChillerData& prepared) {
  const std::string name = vb::Trim(chiller.sName);
  if (!IsElectric(chiller))
    vb::Raise(vb::kInvalidProcedureCall, "Chiller \"" + name + "\" (type " + std::to_string(chiller.nType) +
                                             ") is not an electric chiller; its part-load value is not rated "
                                             "in kW/ton.");
  if (!(chiller.fFLCapacity > 0))
    vb::Raise(vb::kDivisionByZero, "Chiller \"" + name + "\" has no full-load capacity.");
  prepared = chiller;
  if (!bSetupChillerMap(prepared)) return false;
  if (ColumnsOf(prepared).empty())
    vb::Raise(vb::kInvalidProcedureCall, "Chiller \"" + name + "\" has no performance map to rate it from.");
  return true;
}

// kW/ton of a prepared chiller at a load (percent of full-load capacity) and ECWT.
double KWPerTon(const ChillerData& prepared, float fLoadPercent, float fECWT) {
  if (!(fLoadPercent > 0))
    vb::Raise(vb::kInvalidProcedureCall,
              "A chiller load of " + std::to_string(fLoadPercent) + " % cannot be rated.");
  const double capacity = prepared.fFLCapacity * 12.0;  // kBtu/h
  const double load = fLoadPercent * 0.01 * capacity;
  const double minimum = prepared.bNoMinLoad == 0 ? prepared.fMinLoadPct * 0.01 * capacity : 0.0;
  const double input = std::max(0.0, MapInput(ColumnsOf(prepared), fECWT, std::max(load, minimum)));
  return vb::CheckFinite(input / (load / 12.0));
}

}  // namespace

float RatingPointPercent(int p) {
  vb::CheckIndex(p, 1, 4);
  return 25.0f * static_cast<float>(p);
}

bool bCalcChillerKWPerTon(const ChillerData& chiller, float fLoadPercent, float fECWT, double& dKWPerTon) {
  return modpublic::RunGuarded("bCalcChillerKWPerTon", kCalcErrorPrefix, ui::kExclamation, [&] {
    ChillerData prepared;
    if (!PrepareForRating(chiller, prepared)) return false;
    dKWPerTon = KWPerTon(prepared, fLoadPercent, fECWT);
    return true;
  });
}

bool bCalcPLVFromRatingPoints(const vb::Array<float, 1, 4>& fWeightingFactor,
                              const vb::Array<double, 1, 4>& dKWPerTon, double& dPLV) {
  return modpublic::RunGuarded("bCalcPLVFromRatingPoints", kCalcErrorPrefix, ui::kExclamation, [&] {
    double sum = 0;
    bool weighted = false;
    for (int p = 1; p <= 4; ++p) {
      const double w = fWeightingFactor(p);
      if (!(w > 0)) continue;
      if (!(dKWPerTon(p) > 0))
        vb::Raise(vb::kDivisionByZero, "The " + std::to_string(static_cast<int>(RatingPointPercent(p))) +
                                           " % rating point carries weight but has no efficiency.");
      sum += w / dKWPerTon(p);
      weighted = true;
    }
    if (!weighted) vb::Raise(vb::kDivisionByZero, "No rating point carries a weighting factor.");
    dPLV = vb::CheckFinite(1.0 / sum);
  });
}

bool bCalcChillerCPLV(const ChillerData& chiller, const ChillerResultData& result, float& fCPLV) {
  vb::Array<double, 1, 4> efficiency;
  const bool rated = modpublic::RunGuarded("bCalcChillerCPLV", kCalcErrorPrefix, ui::kExclamation, [&] {
    ChillerData prepared;
    if (!PrepareForRating(chiller, prepared)) return false;
    for (int p = 1; p <= 4; ++p)
      if (result.fWeightingFactor(p) > 0) efficiency(p) = KWPerTon(prepared, RatingPointPercent(p), result.fECWT(p));
    return true;
  });
  double plv = 0;
  if (!rated || !bCalcPLVFromRatingPoints(result.fWeightingFactor, efficiency, plv)) return false;
  fCPLV = static_cast<float>(plv);
  return true;
}

}  // namespace modCalcs
