// modCalcs: the calculation routines that need no window and no plant engine: the input
// and result checks that write ERR.DAT, the rating-point grouping of the part-load
// results, and the preparation of a chiller's performance map.
//
// Every routine returns true on success; on failure it has already shown its own error box
// ("Calculations failed due to the following error:", exclamation, the routine's name as
// title) and returns false.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/storage/result_records.h"
#include "app/storage/scratch_records.h"

class clsUnits;

namespace modCalcs {

// The message of every calculation error box.
inline constexpr const char* kCalcErrorPrefix = "Calculations failed due to the following error:";

// ---- Input and result checks ----------------------------------------------------------

// Checks one system before it is simulated and appends its input-error list to ERR.DAT in
// `folder` (empty: the scratch folder). nTypeOfCostCalcs 2 adds the life-cycle checks
// against nLifeCycleYears. bNonElectric comes back True when a slot holds a chiller of type
// 6 to 9; bInputErrors True when the list holds an error. False when a chiller or tower
// record cannot be read (nothing is written) or ERR.DAT cannot be written.
bool bCalcCheckInputData(const SystemData& system, int16_t nTypeOfCostCalcs, int16_t nLifeCycleYears,
                         bool& bNonElectric, bool& bInputErrors, const std::string& folder = {});

// Appends the calculation-error list of a system to ERR.DAT: Error 301 with the number of
// unmet-load bins and the largest unmet load (kBtu/h, shown in tons or, when `units` is
// in SI, in kW), or "None". Sets bCalcErrors True when there were unmet bins (never clears
// it). The caller's load is not changed.
bool bCalcCheckResults(const std::string& sSystemName, int16_t nUnmetBins, float fLargestUnmetLoad, bool& bCalcErrors,
                       const clsUnits& units, const std::string& folder = {});
// The same with the shared converter modpublic::gUnits.
bool bCalcCheckResults(const std::string& sSystemName, int16_t nUnmetBins, float fLargestUnmetLoad, bool& bCalcErrors,
                       const std::string& folder = {});

// ---- Rating-point grouping ------------------------------------------------------------

// Rating point of a chiller percent load: 4 (100 %) from 87.5, 3 (75 %) from 62.5,
// 2 (50 %) from 37.5, else 1 (25 %).
int RatingPoint(float fPercentLoad);

// Groups every chiller's simulated bins (1..nLastLoadBin) into the four rating points,
// pools chillers of one group (equal nGroup of 1 or more) and derives each chiller's
// weighting factors and ECWTs. bSI: the hour-weighted ECWT sums are kept in deg C (the
// display unit system is SI); the weighting factors and ECWTs (deg F) do not depend on it.
// Sums start from zero on every call.
bool bCalcCPLV(PLVProfileData& profile, bool bSI);
// The same with the unit system of the shared converter modpublic::gUnits.
bool bCalcCPLV(PLVProfileData& profile);

// ---- Performance map --------------------------------------------------------------------

// y on the straight line through (x1, y1) and (x2, y2) at x; y1 when x1 and x2 are closer
// than 0.0001.
bool bInterpolate(float x1, float x2, float x, float y1, float y2, float& y);

// Prepares the chiller's map in place for the engine: ECWT axis descending with its
// columns, part-load table descending, per-ton input made total, absorption input made
// kBtu/h of heat, capacity made kBtu/h, and missing capacities and inputs filled.
bool bSetupChillerMap(ChillerData& chiller);

// ---- Life-cycle economics ---------------------------------------------------------------
// Years run 0..50; rates are entered in percent.

// Raises error 5 with a message naming the period when it is outside 0..50 years.
void CheckLifeCycleYears(int nYears);

// First cost by component: 1 chillers, 2 towers, 3 chilled-water pumps, 4 condenser pumps,
// 5 water treatment (0), 6 other (with the other investments of year 0), 7..9 heating (0),
// 10 the total.
bool bCalcSysFirstCost(const SystemData& system, vb::Array<double, 1, 10>& dFirstCost);
// The system's first cost, first-year energy, maintenance and operating costs by component
// and its yearly cash flow (loan, other investments, escalated energy and maintenance,
// present worth) with the column totals; dLifeCycleCost is the total present worth.
// Reads the yearly energy results the economic analysis left in `econ`. A life-cycle period,
// loan term or occurrence year outside 0..50, or a loan whose term rounds to no year, is
// reported in the error box (title "bCalcCashFlow") and gives false.
bool bCalcCashFlow(const SystemData& system, const EconomicsData& economics, SystemEconData& econ);
// Net present worth of (base - challenger) over years 0..nYears at `rate` (a fraction).
bool bCalcNetPW(const vb::Array<double, 0, 50>& base, const vb::Array<double, 0, 50>& challenger, float rate,
                int16_t nYears, double& dNPW);
// Internal rate of return (percent) of base - challenger; -1 unless the yearly differences
// change sign exactly once and a rate between 0 and 10,000 % is found.
bool bCalcIRR(const vb::Array<double, 0, 50>& base, const vb::Array<double, 0, 50>& challenger, int16_t nYears,
              float& fIRR);
// Operating-cost savings, added investment, their running sums, the savings-to-investment
// ratio by year and the payback year of the challenger (-1 when it never pays back).
bool bCalcPayback(const SystemEconData& base, const SystemEconData& challenger, int16_t nYears,
                  EconCaseData& comparison);

// ---- Life-cycle detail file ---------------------------------------------------------------

// Writes LCA.TXT into `folder` (empty: the scratch folder, written back): the monthly
// totals, cash flow and annual costs of each system, the comparisons, and the bin results
// of every month read back from CAL.DAT of the scratch folder. A block that cannot be read
// ends the listing with false (the reader has shown its box); what was listed stays. In the
// scratch folder a link or anything else but a regular file named LCA.TXT is refused (box,
// false) and left as it is.
bool bWriteEconDiagnostic(const EconSummaryData& summary, const vb::Array<SystemEconData, 1, 4>& systems,
                          std::string& folder);

}  // namespace modCalcs
