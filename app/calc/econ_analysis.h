// Steps of the economic analysis that need no engine and no file: the system count, the
// progress values, the pricing of a month, the yearly results, the savings against the base
// and the life-cycle chain of comparisons.
#pragma once

#include <cstdint>

#include "app/calc/econ_results.h"
#include "app/storage/result_records.h"
#include "app/storage/scratch_records.h"
#include "libs/vb/vbarray.h"

namespace econ {

// Yearly ton-hours, kWh, fuel input and steam input of each bin.
struct YearBins {
  vb::Array<double, 1, 24> tonHours, kWh, fuel, steam;
};

// Systems of a run: 4, or i - 1 for the first entry i = 2..4 that is 0.
int SystemCount(const vb::Array<int16_t, 1, 4>& nSysIndex);
// Progress of system s of n: 10 + 60 s / n percent.
double ProgressValue(int s, int n);
// Prices month m of a system right after its simulation: energy, demand and electric
// charges, gas and steam (uses converted to the utility's units in place, once), the month's
// average electric rate spread over the bins and the components, and the yearly sums.
void PriceMonth(int m, int nBins, const EconomicsData& economics, const SimMonthResults& month, SystemEconData& econ,
                YearBins& bins);
// Yearly kWh total, system and per-bin efficiency by nSysEffType (2 cooling over total input,
// 0 kBtu per kWh, else kWh per ton-hour; 0 under 1.0 of its divisor).
void YearResults(int nBins, int16_t nSysEffType, const YearBins& bins, SystemEconData& econ);
// Savings of systems 2..n against system 1 and the systems with the lowest annual energy
// cost, operating cost and life-cycle cost (ties keep the lower number).
void CompareWithBase(int n, vb::Array<SystemEconData, 1, 4>& systems, EconSummaryData& summary);
// Pairwise life-cycle comparisons: the winner of each (the challenger only when its net
// present worth is above 0) is the base of the next; one system compares with itself.
bool LifeCycleChain(int n, int16_t nYears, const vb::Array<SystemEconData, 1, 4>& systems, EconSummaryData& summary);

}  // namespace econ
