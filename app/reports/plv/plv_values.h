// The values the part-load report tables compute from the part-load results, apart from
// the document: plant means of the rating points, pools of identical chillers, the input
// and power texts, the custom PLV formulas, the system load and the IPLV procedure tables.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/storage/result_records.h"
#include "platform/richtext/ter.h"

namespace reports::plv {

// The rating points' loads in the tables' order of the stored arrays (index 1..4).
inline constexpr std::array<const char*, 4> kPointLabels = {"25%", "50%", "75%", "100%"};

// The standard rating of water-cooled electric chillers, by rating point 1..4 (25..100 %).
inline constexpr std::array<double, 4> kIPLVWeights = {0.12, 0.45, 0.42, 0.01};
inline constexpr std::array<double, 4> kIPLVECWT = {65, 65, 75, 85};

// The plant's means at each rating point (index 0..3 = 25..100 %): the mean weighting
// factor over all chillers, and the chillers' ECWTs weighted by their weighting factors
// (0 when no chiller weighs at the point). No chillers: all 0.
struct RatingMeans {
  std::array<float, 4> weightingFactor{};
  std::array<float, 4> ecwt{};
};
RatingMeans PlantRatingMeans(const PLVProfileData& profile);

// The CPLV ECWT of a rating point is shown only when its mean weighting factor reaches this.
inline constexpr float kMinShownWeight = 0.0001f;

// A numbered title: "n.  title" (a letter after the number when given).
std::string Numbered(int32_t n, const std::string& title, const std::string& letter = {});

// The label/value blocks in two columns: every paragraph from the line to the document end
// gets one left tab stop where the values start in their column (bold labels need more room).
// The stop is at least kValueTab (kBoldLabelValueTab) and clear of the widest label.
inline constexpr int32_t kValueTab = 2160;
inline constexpr int32_t kBoldLabelValueTab = 2520;
// Lines fromLine to toLine (the document end by default) get the stop.
void SetValueTab(richtext::TerHwnd h, int32_t fromLine, int32_t position, int32_t toLine = richtext::kLineEnd);

// Where the values of a label/value block start (twips from the column's left): `minimum`, or
// further so that the widest label, written in Arial of `points` size (bold or not), keeps
// kLabelGap clear of its value.
inline constexpr int32_t kLabelGap = 180;
int32_t ValueTabFor(const std::vector<std::string>& labels, double points, bool bold, int32_t minimum);

// "Note: " and the note under the tables of a plant with a dedicated heat-recovery chiller.
std::string HeatRecoveryNote();

// Chillers 1..n of the profile (n held within 0..30).
int ChillerCount(const PLVProfileData& profile);
int BinCount(const PLVProfileData& profile);

// A chiller's factors are its own when no other chiller shares its pool.
bool OwnFactors(const PLVProfileData& profile, int chiller);
// The pools of identical chillers: entry g-1 lists the members (1-based chiller indexes, in
// chiller order) of pool g, for g = 1 to the largest pool id among chillers without own
// factors (none: an empty list).
std::vector<std::vector<int>> Pools(const PLVProfileData& profile);
// The ton-hours of a pool over the four rating points, from its first member.
double PoolGrandTotal(const ChillerResultData& first);
// The annual ton-hours the chillers `members` (1-based) carried, given their own sum `own`:
// when in every bin they carried the whole load the calculation stored for it (within the
// rounding of the bin's whole ton-hours), that is the plant's total, and the plant's total is
// returned, so that one quantity prints one figure in every table; else `own`.
double CarriedTonHours(const PLVProfileData& profile, const std::vector<int>& members, double own);

// A temperature (deg F) converted and formatted, or "n/a" when it is exactly 0 (no hours).
std::string TempOrNA(double value, const std::string& format = {});

// Whether a rating point has an ECWT to print: it weighs (weighting factor at least
// kMinShownWeight) and has hours (ECWT not 0). Every section prints a rating point's ECWT by
// this one rule.
bool RatingPointWeighs(double weight, double ecwt);
// The ECWT (deg F) of a rating point of the given weighting factor, converted and formatted,
// or "n/a" when the point does not weigh.
std::string RatingPointECWT(double weight, double ecwt, const std::string& format = {});

// Trimmed text cut at its first NUL.
std::string Clean(const std::string& s);
// The members' trimmed tags joined by ", ".
std::string TagList(const PLVProfileData& profile, const std::vector<int>& members);

// The unit of a chiller's full-load input by energy source (1 electric, 2 gas, 3 steam).
long InputUnitId(int16_t energySource);
// A chiller's full-load input (kW, MBH or lb/h): per-ton efficiency times capacity; for an
// electric chiller whose efficiency is stored as output per input (efficiency kind 1), the
// input per ton is 12 over it.
double FullLoadInput(const ChillerResultData& r, int16_t efficiencyKind);

// The full-load power column of the chiller table by energy source: electric in the
// efficiency unit of the efficiency kind, gas in MBH per ton, steam in lb per ton-hour
// (three decimals, converted, with the unit label); any other source an empty text.
std::string FullLoadPowerText(const ChillerResultData& r, int16_t efficiencyKind);

// The symbol of an electric chiller's efficiency in the formulas: the efficiency unit's
// label, or "EER" where that unit has none (output per input, kind 1).
std::string EfficiencySymbol(int16_t efficiencyKind);
// The symbol of heat-driven and system efficiencies: the system-efficiency unit's label, or
// "COP" where that unit has none.
std::string SystemEfficiencySymbol();
// A chiller's standard IPLV or NPLV as the executive summary shows it: "n/a" for -999; a
// heat-driven chiller's in the system-efficiency unit; an electric chiller's as output per
// input (12 over kW per ton) for efficiency kind 1, else in kW per ton; with its unit.
std::string IPLVText(const ChillerResultData& r, int16_t efficiencyKind);
inline constexpr float kNoIPLV = -999;

// The custom PLV formulas: electric in the product form for kind 1, else the reciprocal
// form; absorption always in the product form with COP.
std::string ElectricFormula(int16_t efficiencyKind, const std::string& symbol);
std::string AbsorptionFormula();

// The system's cooling load in a bin: input x efficiency / 12 when the efficiency is output
// per input (kind 1), else input / (input per ton); 0 for an efficiency of 0 or less.
double SystemLoad(const PLVBinData& bin, int16_t efficiencyKind);

// Kind of a chiller for the IPLV procedure: 1 water-cooled electric, 2 air-cooled electric,
// 3 absorption (heat-driven).
int ChillerKind(const ChillerResultData& r);
// The IPLV procedure rows of a kind, 100 % first.
struct IPLVExampleRow {
  double load;      // percent
  double lchwt;     // deg F
  double condTemp;  // deg F
  double weight;
  const char* letter;
};
std::array<IPLVExampleRow, 4> IPLVExampleRows(int kind);

}  // namespace reports::plv
