// The deterministic climate and load model from which the site database's bin tables are
// built: hours per 5 deg F dry-bulb bin over a building type's operating schedule, the
// bins' mean coincident wet bulb, and a per-bin cooling load share.
//
// Hourly dry bulb of a day of month m:  T = Tmean(m) + d + R(m) * S(hour)
//   Tmean, R   mean of the monthly mean maximum and minimum, and their difference (the
//              monthly mean daily range), constant through the month;
//   S          the diurnal shape, -1/2 at 05:00 (near sunrise), +1/2 at 15:00: a rising
//              half cosine over the ten hours 05-15 and a falling one over the fourteen
//              hours 15-05; each hour is evaluated at its midpoint;
//   d          the day-to-day scatter of the daily mean, normal with standard deviation
//              sigma(m) = 1.5 + 0.08 * A * (1.25 - 0.5 * s(m)) deg F, where A is the
//              spread of the twelve monthly means and s(m) = (Tmean(m) - min) / A puts
//              the month within it (continental winters scatter most, the tropics least).
//              The normal is integrated by a fixed 25-point rule on -3..+3 sigma (steps
//              of sigma/4, weights proportional to the normal density, summing to one);
//              no random numbers are drawn.
// Dew point of an hour: the climate's dew point, the monthly mean dew point + 0.5 * d
// (warmer days are moister), drawn towards the design dew point over the hottest hours:
//   dew = dew_climate + w * (dew_design - dew_climate),  w = clamp((T - (Tdes - 10)) / 10, 0, 1)
// never above the hour's dry bulb. dew_design is the dew point of the summer design dry
// bulb Tdes at its mean coincident wet bulb. The monthly mean dew point describes the
// typical day, not its hottest afternoons: those are drier than the mean where hot spells
// come with inland or desert air and the afternoon mixes moisture upwards (hot-dry and
// coastal-desert sites), and moister in continental summers, where the hottest days
// bring tropical air. Without the blend the bins' wet bulbs near the design dry bulb missed
// the published mean coincident wet bulb by -2 to +9 deg F; with it the model meets that
// value at the design dry bulb and follows it above. Wet bulb from dry bulb and dew point
// through the psychrometric library at the site's standard barometric pressure.
//
// The year is a 365-day year beginning on a Monday; Monday to Friday are weekdays. An hour
// counts with the part of it that lies inside the day type's start-stop window (HHMM).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sitemodel {

struct CityClimate {
  int id = 0;
  std::string name;
  double elevationFt = 0;
  double summerDesignDB = 0;   // 0.4 % dry bulb, deg F
  double summerCoincWB = 0;    // its mean coincident wet bulb, deg F
  double winterDesignDB = 0;   // 99.6 % dry bulb, deg F
  std::array<double, 12> tmax{};  // monthly mean daily maximum, deg F
  std::array<double, 12> tmin{};  // monthly mean daily minimum, deg F
  std::array<double, 12> tdew{};  // monthly mean dew point, deg F
};

// One day type's operation: a start and stop time as HHMM (stop 2400 = midnight).
struct DaySchedule {
  bool operated = false;
  int start = 0;
  int stop = 0;
};

// A building type: its weekly schedule (weekday, Saturday, Sunday) and its load model.
//   above the balance point:  L = base + envelope * x + ventilation * y
//       x = (DB - balance) / (design DB - balance)
//       y = max(0, (WB - 62) / max(design WB - 62, 5))   (62 deg F: wet bulb of the room air)
//   at or below it:           L = base * max(0, 1 - (balance - DB) / coldSpan)
// L is the load as a fraction of the load at the design condition for a building whose
// shares add up to one there.
// The bin row is a dry-bulb load line: where a humid bin below the hottest ones has the
// larger ventilation load (monsoon and coastal-desert sites, whose hottest hours are dry),
// the hotter bins carry that load too, so the load never falls as the dry bulb rises and
// the hottest bin carries the peak.
struct BuildingType {
  int id = 0;
  std::string name;
  std::array<DaySchedule, 3> days{};
  double baseShare = 0;
  double balancePointDB = 0;
  double coldSpan = 1;
  double envelopeShare = 0;
  double ventilationShare = 0;
};

// Wet bulb (deg F) of air at a dry bulb and a dew point (deg F) and a pressure (psia).
using WetBulbFn = std::function<double(double pressure, double dryBulb, double dewPoint)>;
// Standard barometric pressure (psia) at an elevation (ft).
using PressureFn = std::function<double(double elevationFt)>;

// The bins of one site and building type, hottest first.
struct BinTable {
  std::vector<double> dryBulb;       // bin midpoints, deg F (bin [5k, 5k+5) has 5k + 2.5)
  std::vector<double> coincWetBulb;  // mean coincident wet bulb, deg F (never above the midpoint)
  std::vector<std::int32_t> hours;   // whole hours, adding up to operatingHours
  std::int32_t operatingHours = 0;
};

inline constexpr int kMaxBins = 24;
inline constexpr int kMinBins = 3;
inline constexpr double kBinWidth = 5.0;

// Dew point (deg F) at which the summer design dry bulb has its mean coincident wet bulb.
double DesignDewPoint(const CityClimate& city, const WetBulbFn& wetBulb, double pressure);
// Weight w (0..1) of the design dew point in an hour of dry bulb `dryBulb` (deg F).
double DesignMoistureWeight(const CityClimate& city, double dryBulb);

// Diurnal shape S(t), t in hours after midnight (0..24).
double DiurnalShape(double hour);
// Standard deviation (deg F) of the daily mean's day-to-day scatter in month m (0..11).
double ScatterSigma(const CityClimate& city, int month);
// The fixed quadrature of the standard normal: nodes (in sigma) and weights (sum 1).
const std::vector<std::pair<double, double>>& NormalQuadrature();
// Hours of hour-of-day h (0..23) inside the schedule window of a day type (0..1).
double OperatedFraction(const DaySchedule& day, int hour);
// Day type (0 weekday, 1 Saturday, 2 Sunday) of day-of-year d (0..364).
int DayTypeOfDay(int dayOfYear);
// Operating hours of the year, rounded to whole hours.
std::int32_t OperatingHoursOfYear(const BuildingType& type);

// Builds the bins. The hours outside the 24 bins kept (the coldest ones) count in the
// coldest kept bin; the bins span the hottest to the coldest 5 deg F band holding at least
// half an hour, at least kMinBins of them.
BinTable MakeBins(const CityClimate& city, const BuildingType& type, const WetBulbFn& wetBulb,
                  const PressureFn& pressure);

// Load per bin as a fraction of the design-condition load (model above).
double LoadFraction(const CityClimate& city, const BuildingType& type, double dryBulb,
                    double wetBulb);

// The category-4 row: bin loads as percent of the largest bin load (0..100, the largest
// exactly 100), and the three maxima (percent of the design-condition load of a building
// of unit shares): maxBinLoad = largest bin load, maxPlantLoad = maxHourlyLoad = the
// larger of the design-condition load and the largest bin load, so that
// q = maxBinLoad / min(maxPlantLoad, maxHourlyLoad) lies in (0, 1]. When no bin has a
// load, every percent is 0 and maxBinLoad is the design load.
struct LoadRow {
  std::vector<double> percent;
  double maxBinLoad = 0;
  double maxPlantLoad = 0;
  double maxHourlyLoad = 0;
};
LoadRow MakeLoadRow(const CityClimate& city, const BuildingType& type, const BinTable& bins);

// Whole numbers adding up to round(sum of values) by the largest-remainder rule (ties to
// the earlier entry).
std::vector<std::int32_t> RoundPreservingSum(const std::vector<double>& values);

}  // namespace sitemodel
