// The custom part-load value (CPLV) of a chiller: its efficiency at the four rating points
// (25, 50, 75 and 100 % of its full-load capacity, each at the custom ECWT of that point)
// combined with the custom weighting factors in the form of the IPLV:
//
//     CPLV = 1 / (W100 / A + W75 / B + W50 / C + W25 / D)        (kW/ton)
//
// with A..D the chiller's kW/ton at the 100, 75, 50 and 25 % points. In output per input
// (for example Btu/h per W, 12 / kW/ton) the same value is the weighted sum W100 x A' + ...,
// so 12 / CPLV is the CPLV in those units.
//
// The weighting factors and ECWTs are those of the rating-point grouping (bCalcCPLV) that
// the part-load analysis writes to CAL.DAT; the efficiencies are read off the chiller's
// performance map as CHL.DAT holds it. No window is involved: failures show the usual
// calculation error box and return false.
#pragma once

#include "app/storage/result_records.h"
#include "app/storage/scratch_records.h"
#include "libs/vb/vbarray.h"

namespace modCalcs {

// Load of rating point p (1..4), percent of full-load capacity: 25, 50, 75, 100.
float RatingPointPercent(int p);

// kW per ton of an electric chiller (types 1 to 5 and 10 to 12) delivering fLoadPercent of
// its full-load capacity at an entering condenser temperature fECWT (deg F) and its design
// leaving chilled-water temperature. The record goes into an engine chiller as for a
// simulation, and the plant engine's own performance model rates it (ChillerInputAt), so
// the rating reads the map exactly as the simulation did; below the minimum load the
// chiller is false-loaded (it draws the input of its minimum load). False, after the error
// box, for a heat-driven chiller, a chiller without capacity or map, or a load of 0 % or
// less.
bool bCalcChillerKWPerTon(const ChillerData& chiller, float fLoadPercent, float fECWT, double& dKWPerTon);

// 1 / sum(W(p) / E(p)) over the points with a weighting factor above 0 (p = 1..4 for 25,
// 50, 75, 100 %). False, after the error box, when no point has a weight or a weighted
// point has no efficiency above 0.
bool bCalcPLVFromRatingPoints(const vb::Array<float, 1, 4>& fWeightingFactor, const vb::Array<double, 1, 4>& dKWPerTon,
                              double& dPLV);

// The CPLV (kW/ton) of one chiller result of the part-load analysis: its custom weighting
// factors and ECWTs with `chiller`, the record of the machine it was simulated with.
// Points without weight are not evaluated.
bool bCalcChillerCPLV(const ChillerData& chiller, const ChillerResultData& result, float& fCPLV);

}  // namespace modCalcs
