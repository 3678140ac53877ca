// The values of the part-load report's profile sections, apart from the document: the order
// and smoothing of the 50 profile points, the chiller operating hours statistics, the cooling
// duty of each bin, and the series of the four profile graphs (load, condenser temperature,
// performance, cooling duty). The report object (app/reports/plv/*.cpp) writes them.
//
// Profile points: every chiller result holds 50 points (fProfileLoadPct = its own load %,
// fProfileBuildingPct = the building load %, fProfileECWT = its ECWT in deg F,
// bProfileStaging = a point next to a change of the chillers running); a chiller that is off
// at a point has load 0 there. Bins: PLVProfileData.Bins(1..nLastLoadBin), hottest first.
// Chart fill functions take a chart in its starting state (graph::Chart::Reset) and convert
// to the unit system of modpublic::gUnits, as the report prints it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/storage/result_records.h"
#include "platform/graph/graph.h"

namespace reports::plv {

inline constexpr int kProfilePoints = 50;

// Sorted position (1..50) to profile point, and the chillers running at that position.
using PointIndex = vb::Array<int16_t, 1, 50>;

// Chillers 1..n and bins 1..n of a profile, held within the record's capacity (30, 24).
int ProfileChillers(const PLVProfileData& profile);
int ProfileBins(const PLVProfileData& profile);

// ---- profile point order ------------------------------------------------------------

// Orders the 50 points by chillers running, then building load (chiller 1's), both
// descending (exchange sort: equal points keep the order that scheme gives, so 1a, 1b, 2
// end as 2, 1b, 1a), and smooths the points next to a drop in the chillers running: a run
// of points with the same chillers running, within 2 % building load of the drop and
// reaching a staging point, gets each chiller's building and chiller load averaged over
// the run (written back into `profile`). Points where no chiller runs sort last.
void PreprocessVUVORedoForProfileGraph(PLVProfileData& profile, PointIndex& binIndex, PointIndex& chillersOn);

// Every chiller's points in descending building load (whole points move: load, building
// load, ECWT and staging mark together).
void SortSPLVStructForProfile(PLVProfileData& profile);

// ---- chiller operating hours statistics -----------------------------------------------

// The bins whose chiller load lies in low <= load < high: their hours, ton-hours and
// chiller-hours (chillers on x hours).
struct LoadRange {
  float low = 0;
  float high = 0;
  double hours = 0;
  double tonHours = 0;
  double chillerHours = 0;
};
void SumBinsInLoadRange(const PLVProfileData& profile, LoadRange& range);

// The ECWTs (deg F) of rating point 1..4 (25..100 %): the mean of the point ECWTs of the
// chillers for which the point weighs (RatingPointWeighs), and the lowest and highest bin ECWT
// of the bins that count toward the point. False (minimum 0) when the point weighs for no
// chiller; hasRange false when no bin counts toward it.
struct EcwtStatistics {
  bool ok = false;
  float average = 0;
  float minimum = 0;
  float maximum = 0;
  bool hasRange = false;
};
EcwtStatistics CalcSystemECWTStatistics(const PLVProfileData& profile, int point);

// One row of "Cooling Hours Statistics": rows 0..3 are the 100, 75, 50 and 25 % points,
// row 4 the total, their sum. The 100 % row takes every load from 87.5 % up (a plant above its
// rating included); negative loads count nowhere. Shares in % of the total (0 when it is 0).
struct HoursStatisticsRow {
  const char* point;
  const char* range;
  LoadRange sums;
  double hoursPct = 0;
  double tonHoursPct = 0;
  EcwtStatistics ecwt;  // not ok for the total row
};
std::array<HoursStatisticsRow, 5> ChillerOperatingHoursValues(const PLVProfileData& profile);

// The printed hours, shares and cooling (ton-hours or kWh, as the units stand) of the rows:
// each column rounded so that the four rows add up to the total as printed.
struct HoursStatisticsTexts {
  std::string hours, hoursPct, cooling, coolingPct;
};
std::array<HoursStatisticsTexts, 5> HoursStatisticsFigures(const std::array<HoursStatisticsRow, 5>& rows);

// ---- cooling duty ---------------------------------------------------------------------

// How a bin's load is met, with mech = load - free cooling load: mechanical when there is
// no free cooling and mech > 0, free cooling when free cooling > 0 and mech <= 0, hybrid
// otherwise (a bin with no load at all included).
enum class CoolingMode { Free = 0, Hybrid = 1, Mechanical = 2 };
CoolingMode ClassifyCoolingMode(const PLVBinData& bin);

// One bin's annual cooling by mode (ton-hours; the mode's parts only, others 0).
struct DutyBin {
  float tempF = 0;
  int32_t hours = 0;
  CoolingMode mode = CoolingMode::Mechanical;
  double total = 0;       // load x hours
  double free = 0;        // free cooling (free and hybrid bins)
  double mechanical = 0;  // mechanical cooling (mechanical and hybrid bins)
};
std::vector<DutyBin> CoolingDutyBins(const PLVProfileData& profile);  // bins 1..n in order

// Whether a chiller of the plant can free-cool (mode code 2 or 6): then the hybrid mode
// has its series, bar and columns.
bool HasFreeCoolingSystem(const PLVProfileData& profile);

// Mode changes along the bins from the last to the first, and whether a mode is entered
// more than once.
int CountCoolingModeChanges(const PLVProfileData& profile, bool& recurring);

// Annual cooling per mode (ton-hours) and the shares in % of their sum (0 when it is 0).
struct CoolingDutyTotals {
  double free = 0;
  double hybridFree = 0;
  double hybridMechanical = 0;
  double mechanical = 0;
  double hours = 0;
  double Sum() const { return free + hybridFree + hybridMechanical + mechanical; }
};
CoolingDutyTotals SumCoolingDuty(const std::vector<DutyBin>& bins);
struct CoolingShares {
  double free = 0;
  double hybrid = 0;
  double mechanical = 0;
};
CoolingShares ShareOfModes(const CoolingDutyTotals& totals);

// The colours of the duty series: mechanical, hybrid mechanical part, hybrid free part,
// free cooling.
std::array<QColor, 4> CoolingDutyColours();

// The duty profile: annual cooling of each mode against bin temperature as areas, joined
// at a point between two bins of different modes (two points when a mode recurs).
void FillCoolingDutyChart(graph::Chart& chart, const PLVProfileData& profile, bool showHybrid);
// The share bars, each labelled with its share.
void FillCoolingDutySummaryChart(graph::Chart& chart, const CoolingShares& shares, bool showHybrid);

// ---- system load profile graph --------------------------------------------------------

// The four load bands of the leading chiller's load (%), their labels and colours.
inline constexpr std::array<double, 5> kBandLimits = {0, 37.5, 62.5, 87.5, 100};

// The points of band k (0..3) along the leading chiller (the first one running) in sorted
// order: its (building %, chiller %) inside the band, (x, -1) outside, and an interpolated
// crossing of the band's upper limit on entering and of its lower limit on leaving. At most
// the 50 points of a series.
std::vector<std::pair<double, double>> LoadBandPoints(const PLVProfileData& profile, const PointIndex& binIndex,
                                                      const PointIndex& chillersOn, int k, bool storedOrder);

// Chiller load against building load, one line per chiller (the last chiller's second run
// in a series of its own for plant control 3), the lines of chillers running together
// spread 2 % apart, and the four band series when asked. storedOrder: the variant that
// takes the points as stored (binIndex and chillersOn are then ignored).
void FillLoadProfileChart(graph::Chart& chart, const PLVProfileData& profile, const PointIndex& binIndex,
                          const PointIndex& chillersOn, bool showBands, bool storedOrder);

// ---- condenser temperature and performance graphs -----------------------------------------

// Each chiller's ECWT against its own load, the points of chillers running together spread
// 1 degree apart.
void FillCondenserTempChart(graph::Chart& chart, const PLVProfileData& profile);

// The efficiency unit-conversion id of the performance graph's values, and its label.
int32_t PerformanceEfficiencyUnit(const PLVProfileData& profile);
std::string PerformanceEfficiencyLabel(const PLVProfileData& profile, int32_t efficiencyUnitKind);

// Per bin: annual cooling (bars, left axis) and system efficiency (line, right axis)
// against building load, each value as the report prints it.
void FillPerformanceChart(graph::Chart& chart, const PLVProfileData& profile, int32_t efficiencyUnitKind);

}  // namespace reports::plv
