// The deterministic climate and load model from which the site database's bin tables are
// built: hours per 5 deg F dry-bulb bin over a building type's operating schedule, the
// bins' mean coincident wet bulb, and a per-bin cooling load share. Every constant the
// model is calibrated with is data (climate/site_model.ini, read into ModelParameters).
//
// Hourly dry bulb of a day of month m:  T = Tmean(m) + d + a * R(m) * S(hour)
//   Tmean, R   mean of the monthly mean maximum and minimum, and their difference (the
//              monthly mean daily range), constant through the month;
//   a          the range of the hourly cycle as a share of R: 1, except where the source
//              gives the 2 % cooling level, whose 175 hours fix it. The daily maxima fall
//              at different hours on different days, so the hourly means peak below the
//              mean daily maximum (a < 1); a > 1 where the hot tail is steeper than the
//              scatter's normal shape gives;
//   S          the diurnal shape, -1/2 at sunrise, +1/2 mid-afternoon: a rising half
//              cosine between the two and a falling one over the rest of the day; each
//              hour is evaluated at its midpoint;
//   d          the day-to-day scatter of the daily mean, a two-piece normal of mean zero
//              (its mode moved to keep the mean): standard deviation
//                below the mode (cold spells)  cold + (c - cold) * s(m),
//                above it (warm spells)        hot + (c - hot) * (1 - s(m)),
//              c = min(cold, hot), s(m) = (Tmean(m) - min) / A the month's place within the
//              spread A of the twelve monthly means. Cold spells reach furthest in the
//              coldest month, warm spells in the warmest; in between the larger spread
//              fades to the smaller, so a winter of cold fronts is skewed cold and a summer
//              of desert heat waves skewed warm. `cold` and `hot` are fitted per city so
//              that the whole year (every hour) has the
//              published share of hours at or above the summer design dry bulb (0.4 %:
//              35 hours) and at or below the winter design dry bulb (99.6 %: 35 hours).
//              The distribution is integrated exactly per 5 deg F band; no random numbers
//              are drawn.
// Dew point of an hour: the climate's dew point, the monthly mean dew point + k * d
// (warmer days are moister), drawn towards the design dew point over the hottest hours of
// the months that make the design condition:
//   dew = dew_climate + c(m) * w * (dew_design - dew_climate),
//   w = clamp((T - (Tdes - span)) / span, 0, 1),
//   c(m) = min(1, H(m) / (f * largest H)), H(m) the hours of month m at or above Tdes,
//          f the share that makes a month one of the design months,
// never above the hour's dry bulb. dew_design is the dew point of the summer design dry
// bulb Tdes at its mean coincident wet bulb. The monthly mean dew point describes the
// typical day, not its hottest afternoons: those are drier than the mean where hot spells
// come with inland or desert air, and moister in continental summers, where the hottest
// days bring tropical air. A wet season whose days stay well below the design dry bulb
// (a monsoon) makes almost none of the design hours, so c(m) leaves it its own dew point.
// Wet bulb from dry bulb and dew point through the psychrometric library at the site's
// standard barometric pressure, evaluated at the mean dry bulb of each band; above Tdes at
// Tdes itself (the band's dew point taken there), so that the hours hotter than the design
// keep its wet bulb instead of one that rises with the dry bulb.
//
// The year is a 365-day year beginning on a Monday; Monday to Friday are weekdays. An hour
// counts with the part of it that lies inside the day type's start-stop window (HHMM) and
// outside the type's summer break (if it has one).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace sitemodel {

// The model's constants (climate/site_model.ini).
struct ModelParameters {
  double sunriseHour = 0;                     // hour of the diurnal minimum
  double peakHour = 0;                        // hour of the diurnal maximum
  double coolingDesignShare = 0;              // share of the year at or above the summer design dry bulb
  double heatingDesignShare = 0;              // share of the year at or below the winter design dry bulb
  double sigmaMin = 0, sigmaMax = 0;          // range searched for the scatter, deg F
  double amplitudeMin = 0, amplitudeMax = 0;  // diurnal amplitudes searched (share of the daily range)
  double dewScatterFactor = 0;                // dew point change per deg F of daily-mean scatter
  double designMoistureSpan = 0;              // deg F below Tdes over which the design moisture takes over
  double designMonthShare = 0;                // share of the leading month's design hours that makes a
                                              // month one of the design months
  double roomWetBulb = 0;                     // wet bulb of the room air (no ventilation load at or below)
  double minVentilationSpan = 0;              // smallest wet-bulb span of the ventilation load, deg F
  double typeDesignShare = 0;                 // share of a type's operated hours at or above its design hour
};

struct CityClimate {
  int id = 0;
  std::string name;
  double elevationFt = 0;
  double summerDesignDB = 0;              // 0.4 % dry bulb, deg F
  double summerCoincWB = 0;               // its mean coincident wet bulb, deg F
  double winterDesignDB = 0;              // 99.6 % dry bulb, deg F
  std::optional<double> summerDesignDB1;  // 1 % dry bulb where the source gives it, deg F
  std::optional<double> summerDesignDB2;  // 2 % dry bulb where the source gives it, deg F
  bool southern = false;                  // southern hemisphere (summer from December to February)
  std::array<double, 12> tmax{};          // monthly mean daily maximum, deg F
  std::array<double, 12> tmin{};          // monthly mean daily minimum, deg F
  std::array<double, 12> tdew{};          // monthly mean dew point, deg F
};

// One day type's operation: a start and stop time as HHMM (stop 2400 = midnight).
struct DaySchedule {
  bool operated = false;
  int start = 0;
  int stop = 0;
};

// A building type: its weekly schedule (weekday, Saturday, Sunday), an optional summer
// break and its load model.
//   above the balance point:  L = base + envelope * x + ventilation * y
//       x = (DB - balance) / (design DB - balance)
//       y = max(0, (WB - room WB) / max(design WB - room WB, min span))
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
  // Summer break as day of year (0..364, first and last day closed) of the northern
  // hemisphere; shifted by half a year where the summer is southern. -1: none.
  int breakFirstDay = -1;
  int breakLastDay = -1;
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
  // The same bins month by month, from the same hours: per bin the whole hours of each month
  // (January first), adding up to the bin's hours exactly, and the mean coincident wet bulb
  // of the month's hours in the bin (0 in a month without hours there).
  std::vector<std::array<std::int32_t, 12>> monthHours;
  std::vector<std::array<double, 12>> monthWetBulb;
};

inline constexpr int kMaxBins = 24;
inline constexpr int kMinBins = 3;
inline constexpr double kBinWidth = 5.0;

// The fitted day-to-day scatter of a city: its standard deviation (deg F) in the coldest
// and in the warmest month.
struct Scatter {
  double cold = 0;
  double hot = 0;
  double amplitude = 1;  // range of the mean hourly cycle over the mean daily range
};

// Dew point (deg F) at which the summer design dry bulb has its mean coincident wet bulb.
double DesignDewPoint(const CityClimate& city, const WetBulbFn& wetBulb, double pressure);
// Weight w (0..1) of the design dew point in an hour of dry bulb `dryBulb` (deg F).
double DesignMoistureWeight(const CityClimate& city, const ModelParameters& params, double dryBulb);

// Diurnal shape S(t), t in hours after midnight (0..24).
double DiurnalShape(const ModelParameters& params, double hour);
// Standard deviations (deg F) of the daily mean's day-to-day scatter below and above its
// mode in month m (0..11).
struct MonthScatter {
  double below = 0;
  double above = 0;
};
MonthScatter ScatterOfMonth(const CityClimate& city, const Scatter& scatter, int month);
// The scatter that gives the whole year its design shares of hours (model above).
Scatter FitScatter(const CityClimate& city, const ModelParameters& params);
// Hours of the whole year (every hour operated) at or above / at or below a dry bulb.
double YearHoursAtOrAbove(const CityClimate& city, const ModelParameters& params, const Scatter& scatter,
                          double dryBulb);
double YearHoursAtOrBelow(const CityClimate& city, const ModelParameters& params, const Scatter& scatter,
                          double dryBulb);
// Share c(m) (0..1) of month m in the design condition's moisture (model above).
std::array<double, 12> DesignMonthWeights(const CityClimate& city, const ModelParameters& params,
                                          const Scatter& scatter);
// Whether the type operates on day of year d (0..364) of a city, its summer break aside.
bool OperatedOnDay(const CityClimate& city, const BuildingType& type, int dayOfYear);
// Hours of hour-of-day h (0..23) inside the schedule window of a day type (0..1).
double OperatedFraction(const DaySchedule& day, int hour);
// Day type (0 weekday, 1 Saturday, 2 Sunday) of day-of-year d (0..364).
int DayTypeOfDay(int dayOfYear);
// Operating hours of the year in a city, rounded to whole hours.
std::int32_t OperatingHoursOfYear(const CityClimate& city, const BuildingType& type);

// Builds the bins with the city's fitted scatter, for the whole year and per month. The
// hours colder than the 24 bins kept count in the coldest kept bin, the hours of bands above
// the hottest kept one in the hottest; the bins span the hottest band from which up at
// least one hour lies to the coldest band holding at least half an hour, at least kMinBins
// of them. A bin's whole hours are split over the months in proportion to the months'
// share of its hours (largest remainder), so the months add up to the year exactly.
BinTable MakeBins(const CityClimate& city, const BuildingType& type, const ModelParameters& params,
                  const Scatter& scatter, const WetBulbFn& wetBulb, const PressureFn& pressure);

// Load per bin as a fraction of the design-condition load (model above).
double LoadFraction(const CityClimate& city, const BuildingType& type, const ModelParameters& params, double dryBulb,
                    double wetBulb);

// The design hour of a building type in a city: the summer design condition, or for a type
// whose operation misses the hottest part of the year (a school on its summer break) the
// dry bulb that its own operated hours reach or exceed in their design share, with the
// bins' wet bulb there.
struct DesignHour {
  double dryBulb = 0;
  double wetBulb = 0;
};
DesignHour TypeDesignHour(const CityClimate& city, const BuildingType& type, const ModelParameters& params,
                          const Scatter& scatter, const BinTable& bins);

// The category-4 row: bin loads as percent of the largest bin load (0..100, the largest
// exactly 100), and the three maxima (percent of the design-condition load of a building
// of unit shares): maxBinLoad = largest bin load, maxPlantLoad = maxHourlyLoad = the
// larger of the design-hour load and the largest bin load, so that
// q = maxBinLoad / min(maxPlantLoad, maxHourlyLoad) lies in (0, 1]. When no bin has a
// load, every percent is 0 and maxBinLoad is the design load.
struct LoadRow {
  std::vector<double> percent;
  double maxBinLoad = 0;
  double maxPlantLoad = 0;
  double maxHourlyLoad = 0;
};
LoadRow MakeLoadRow(const CityClimate& city, const BuildingType& type, const ModelParameters& params,
                    const Scatter& scatter, const BinTable& bins);

// Whole numbers adding up to round(sum of values) by the largest-remainder rule (ties to
// the earlier entry).
std::vector<std::int32_t> RoundPreservingSum(const std::vector<double>& values);

}  // namespace sitemodel
