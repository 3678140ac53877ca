#include "data/gen/site_model.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <stdexcept>

namespace sitemodel {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
constexpr int kDaysInYear = 365;
constexpr int kHalfYear = 182;

double HhmmToHours(int hhmm) { return (hhmm / 100) + (hhmm % 100) / 60.0; }

double NormalCdf(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }
double NormalPdf(double z) { return std::exp(-0.5 * z * z) / std::sqrt(2.0 * kPi); }

// The scatter of one month: a two-piece normal, standard deviation `below` under its mode
// and `above` over it, the mode placed so that the mean is zero.
struct TwoPiece {
  double below, above, mode;
  TwoPiece(double b, double a) : below(b), above(a), mode(-std::sqrt(2.0 / kPi) * (a - b)) {}
  // Probability of a scatter below x.
  double Cdf(double x) const {
    const double wBelow = 2 * below / (below + above), wAbove = 2 * above / (below + above);
    if (x < mode) return wBelow * NormalCdf((x - mode) / below);
    return 0.5 * wBelow + wAbove * (NormalCdf((x - mode) / above) - 0.5);
  }
  // Integral of x times the density over [a, b].
  double PartialMean(double a, double b) const {
    double total = 0;
    const auto piece = [&](double lo, double hi, double s, double w) {
      if (hi <= lo) return;
      const double za = (lo - mode) / s, zb = (hi - mode) / s;
      total += w * (mode * (NormalCdf(zb) - NormalCdf(za)) + s * (NormalPdf(za) - NormalPdf(zb)));
    };
    piece(a, std::min(b, mode), below, 2 * below / (below + above));
    piece(std::max(a, mode), b, above, 2 * above / (below + above));
    return total;
  }
};

// Operated hours per (month, hour of day): the year's calendar folded once.
using HourWeights = std::array<std::array<double, 24>, 12>;

HourWeights Weights(const CityClimate& city, const BuildingType& type) {
  HourWeights weight{};
  int dayOfYear = 0;
  for (int m = 0; m < 12; ++m) {
    for (int d = 0; d < kDaysInMonth[m]; ++d, ++dayOfYear) {
      if (!OperatedOnDay(city, type, dayOfYear)) continue;
      const DaySchedule& day = type.days[DayTypeOfDay(dayOfYear)];
      for (int h = 0; h < 24; ++h) weight[m][h] += OperatedFraction(day, h);
    }
  }
  return weight;
}

HourWeights EveryHour() {
  HourWeights weight{};
  for (int m = 0; m < 12; ++m) weight[m].fill(kDaysInMonth[m]);
  return weight;
}

double MonthlyMean(const CityClimate& city, int m) { return 0.5 * (city.tmax[m] + city.tmin[m]); }

double HourBase(const CityClimate& city, const ModelParameters& params, const Scatter& scatter, int m, int h) {
  return MonthlyMean(city, m) + scatter.amplitude * (city.tmax[m] - city.tmin[m]) * DiurnalShape(params, h + 0.5);
}

// Hours at or above `dryBulb` (upward = true) or at or below it, from the given operated
// hours (onlyMonth >= 0: that month's alone).
double HoursBeyond(const CityClimate& city, const ModelParameters& params, const Scatter& scatter,
                   const HourWeights& weight, double dryBulb, bool upward, int onlyMonth = -1) {
  double total = 0;
  for (int m = 0; m < 12; ++m) {
    if (onlyMonth >= 0 && m != onlyMonth) continue;
    const MonthScatter ms = ScatterOfMonth(city, scatter, m);
    const TwoPiece d(ms.below, ms.above);
    for (int h = 0; h < 24; ++h) {
      if (weight[m][h] <= 0) continue;
      const double below = d.Cdf(dryBulb - HourBase(city, params, scatter, m, h));
      total += weight[m][h] * (upward ? 1.0 - below : below);
    }
  }
  return total;
}

// The value in [lo, hi] at which an increasing function reaches `target` (bisection); the
// nearer end when the target lies outside.
template <class F>
double Solve(F f, double lo, double hi, double target) {
  if (f(lo) >= target) return lo;
  if (f(hi) <= target) return hi;
  for (int k = 0; k < 30; ++k) {
    const double mid = 0.5 * (lo + hi);
    (f(mid) < target ? lo : hi) = mid;
  }
  return 0.5 * (lo + hi);
}

// A bin's whole hours over the months in proportion to the months' fractional hours, by
// the largest-remainder rule: the twelve add up to `whole` exactly.
std::array<std::int32_t, 12> SplitOverMonths(const std::array<double, 12>& fractional, std::int32_t whole) {
  const double total = std::accumulate(fractional.begin(), fractional.end(), 0.0);
  std::array<std::int32_t, 12> out{};
  if (whole == 0) return out;
  if (!(total > 0)) throw std::logic_error("a bin with hours has no month holding them");
  std::vector<double> scaled;
  for (double h : fractional) scaled.push_back(h * whole / total);
  const std::vector<std::int32_t> rounded = RoundPreservingSum(scaled);
  std::copy(rounded.begin(), rounded.end(), out.begin());
  return out;
}

}  // namespace

double DiurnalShape(const ModelParameters& params, double hour) {
  double t = std::fmod(hour, 24.0);
  if (t < 0) t += 24.0;
  const double rise = params.peakHour - params.sunriseHour;
  if (t >= params.sunriseHour && t < params.peakHour) {
    return -0.5 * std::cos(kPi * (t - params.sunriseHour) / rise);
  }
  const double since = t >= params.peakHour ? t - params.peakHour : t + 24.0 - params.peakHour;
  return 0.5 * std::cos(kPi * since / (24.0 - rise));
}

MonthScatter ScatterOfMonth(const CityClimate& city, const Scatter& scatter, int month) {
  std::array<double, 12> mean{};
  for (int m = 0; m < 12; ++m) mean[m] = MonthlyMean(city, m);
  auto [lo, hi] = std::minmax_element(mean.begin(), mean.end());
  const double spread = *hi - *lo;
  const double position = spread > 0 ? (mean[month] - *lo) / spread : 0.5;
  const double common = std::min(scatter.hot, scatter.cold);
  return {scatter.cold + (common - scatter.cold) * position, scatter.hot + (common - scatter.hot) * (1 - position)};
}

double YearHoursAtOrAbove(const CityClimate& city, const ModelParameters& params, const Scatter& scatter,
                          double dryBulb) {
  return HoursBeyond(city, params, scatter, EveryHour(), dryBulb, true);
}

double YearHoursAtOrBelow(const CityClimate& city, const ModelParameters& params, const Scatter& scatter,
                          double dryBulb) {
  return HoursBeyond(city, params, scatter, EveryHour(), dryBulb, false);
}

namespace {

// The two spreads that meet the 0.4 % and 99.6 % levels at a given diurnal amplitude.
Scatter FitSpreads(const CityClimate& city, const ModelParameters& params, double amplitude) {
  const double hoursOfYear = 24.0 * kDaysInYear;
  const double hotTarget = params.coolingDesignShare * hoursOfYear;
  const double coldTarget = params.heatingDesignShare * hoursOfYear;
  const double start = 0.5 * (params.sigmaMin + params.sigmaMax);
  Scatter s{start, start, amplitude};
  // Each tail depends mostly on its own end of the year: solve them in turn until both
  // settle (a few rounds suffice; the coupling runs only through the middle months).
  for (int round = 0; round < 8; ++round) {
    const Scatter before = s;
    s.hot = Solve(
        [&](double v) {
          return YearHoursAtOrAbove(city, params, {s.cold, v, amplitude}, city.summerDesignDB);
        },
        params.sigmaMin, params.sigmaMax, hotTarget);
    s.cold = Solve(
        [&](double v) {
          return YearHoursAtOrBelow(city, params, {v, s.hot, amplitude}, city.winterDesignDB);
        },
        params.sigmaMin, params.sigmaMax, coldTarget);
    if (std::abs(s.hot - before.hot) < 1e-4 && std::abs(s.cold - before.cold) < 1e-4) break;
  }
  return s;
}

}  // namespace

Scatter FitScatter(const CityClimate& city, const ModelParameters& params) {
  if (!city.summerDesignDB2) return FitSpreads(city, params, 1.0);
  // The 2 % level fixes the amplitude: a smaller one puts fewer hours just below the
  // 0.4 % dry bulb for the same 35 hours above it (the spreads refitted each time).
  const double target2 = 0.02 * 24.0 * kDaysInYear;
  const auto hours2 = [&](double a) {
    return YearHoursAtOrAbove(city, params, FitSpreads(city, params, a), *city.summerDesignDB2);
  };
  const double a = Solve(hours2, params.amplitudeMin, params.amplitudeMax, target2);
  return FitSpreads(city, params, a);
}

std::array<double, 12> DesignMonthWeights(const CityClimate& city, const ModelParameters& params,
                                          const Scatter& scatter) {
  std::array<double, 12> hours{};
  const HourWeights every = EveryHour();
  for (int m = 0; m < 12; ++m) hours[m] = HoursBeyond(city, params, scatter, every, city.summerDesignDB, true, m);
  const double most = *std::max_element(hours.begin(), hours.end());
  std::array<double, 12> c{};
  for (int m = 0; m < 12; ++m) {
    c[m] = most > 0 ? std::min(1.0, hours[m] / (params.designMonthShare * most)) : 0.0;
  }
  return c;
}

bool OperatedOnDay(const CityClimate& city, const BuildingType& type, int dayOfYear) {
  if (type.breakFirstDay < 0 || type.breakLastDay < 0) return true;
  int first = type.breakFirstDay, last = type.breakLastDay;
  if (city.southern) {
    first = (first + kHalfYear) % kDaysInYear;
    last = (last + kHalfYear) % kDaysInYear;
  }
  const bool inBreak =
      first <= last ? (dayOfYear >= first && dayOfYear <= last) : (dayOfYear >= first || dayOfYear <= last);
  return !inBreak;
}

double OperatedFraction(const DaySchedule& day, int hour) {
  if (!day.operated) return 0.0;
  double start = HhmmToHours(day.start);
  double stop = HhmmToHours(day.stop);
  double overlap = std::min<double>(hour + 1, stop) - std::max<double>(hour, start);
  return std::clamp(overlap, 0.0, 1.0);
}

int DayTypeOfDay(int dayOfYear) {
  int weekday = dayOfYear % 7;  // 0 = Monday
  if (weekday == 5) return 1;
  if (weekday == 6) return 2;
  return 0;
}

std::int32_t OperatingHoursOfYear(const CityClimate& city, const BuildingType& type) {
  double total = 0;
  for (const auto& month : Weights(city, type))
    for (double h : month) total += h;
  return static_cast<std::int32_t>(std::lround(total));
}

std::vector<std::int32_t> RoundPreservingSum(const std::vector<double>& values) {
  double sum = std::accumulate(values.begin(), values.end(), 0.0);
  auto target = static_cast<std::int64_t>(std::llround(sum));
  std::vector<std::int32_t> out(values.size());
  std::vector<std::size_t> order(values.size());
  std::int64_t assigned = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    out[i] = static_cast<std::int32_t>(std::floor(values[i]));
    assigned += out[i];
    order[i] = i;
  }
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return values[a] - std::floor(values[a]) > values[b] - std::floor(values[b]);
  });
  for (std::size_t k = 0; assigned < target && k < order.size(); ++k, ++assigned) {
    ++out[order[k]];
  }
  return out;
}

double DesignDewPoint(const CityClimate& city, const WetBulbFn& wetBulb, double pressure) {
  const double db = city.summerDesignDB;
  const double target = std::min(city.summerCoincWB, db);
  // The wet bulb rises with the dew point at a fixed dry bulb: bisect on [db - 150, db].
  double lo = db - 150.0, hi = db;
  if (wetBulb(pressure, db, lo) >= target) return lo;
  for (int k = 0; k < 60; ++k) {
    const double mid = 0.5 * (lo + hi);
    (wetBulb(pressure, db, mid) < target ? lo : hi) = mid;
  }
  return 0.5 * (lo + hi);
}

double DesignMoistureWeight(const CityClimate& city, const ModelParameters& params, double dryBulb) {
  const double from = city.summerDesignDB - params.designMoistureSpan;
  return std::clamp((dryBulb - from) / params.designMoistureSpan, 0.0, 1.0);
}

BinTable MakeBins(const CityClimate& city, const BuildingType& type, const ModelParameters& params,
                  const Scatter& scatter, const WetBulbFn& wetBulb, const PressureFn& pressure) {
  const double p = pressure(city.elevationFt);
  const double designDew = DesignDewPoint(city, wetBulb, p);
  const std::array<double, 12> designMonth = DesignMonthWeights(city, params, scatter);
  const HourWeights weight = Weights(city, type);
  // Accumulated hours and hour-weighted wet bulb per 5 deg F band (band k = [5k, 5k+5)),
  // for the whole year and per month.
  std::map<int, double> hours;
  std::map<int, double> wbHours;
  std::map<int, std::array<double, 12>> monthHours;
  std::map<int, std::array<double, 12>> monthWbHours;

  for (int m = 0; m < 12; ++m) {
    const MonthScatter ms = ScatterOfMonth(city, scatter, m);
    const TwoPiece d(ms.below, ms.above);
    for (int h = 0; h < 24; ++h) {
      const double operated = weight[m][h];
      if (operated <= 0) continue;
      const double base = HourBase(city, params, scatter, m, h);
      // Every band within 8 standard deviations: the mass beyond is below 1e-15.
      const int first = static_cast<int>(std::floor((base + d.mode - 8 * d.below) / kBinWidth));
      const int last = static_cast<int>(std::floor((base + d.mode + 8 * d.above) / kBinWidth));
      for (int band = first; band <= last; ++band) {
        const double a = band * kBinWidth - base;
        const double b = (band + 1) * kBinWidth - base;
        const double mass = d.Cdf(b) - d.Cdf(a);
        if (mass <= 1e-15) continue;
        // The band's mean scatter and dry bulb; its wet bulb is taken there.
        const double scatterMean = d.PartialMean(a, b) / mass;
        const double db = std::clamp(base + scatterMean, band * kBinWidth, (band + 1) * kBinWidth);
        const double climateDew = city.tdew[m] + params.dewScatterFactor * (db - base);
        const double toDesign = designMonth[m] * DesignMoistureWeight(city, params, db);
        // Above the design dry bulb the wet bulb stays at its value there: the hotter hours of
        // the tail are drier, as the published mean coincident wet bulbs of the 0.4, 1 and 2 %
        // levels, nearly equal, show. Holding the dew point instead would raise the wet bulb
        // of those hours with the dry bulb.
        const double moistAt = std::min(db, city.summerDesignDB);
        const double dew = std::min(climateDew + toDesign * (designDew - climateDew), moistAt);
        const double wb = std::min(wetBulb(p, moistAt, dew), db);
        hours[band] += operated * mass;
        wbHours[band] += operated * mass * wb;
        monthHours[band][m] += operated * mass;
        monthWbHours[band][m] += operated * mass * wb;
      }
    }
  }

  BinTable table;
  table.operatingHours = OperatingHoursOfYear(city, type);
  if (hours.empty()) return table;

  // The hottest bin is the band from which up at least one hour lies, so that it keeps a
  // whole hour after rounding.
  int hottest = hours.rbegin()->first;
  double fromTop = 0;
  for (auto it = hours.rbegin(); it != hours.rend(); ++it) {
    fromTop += it->second;
    if (fromTop >= 1.0) {
      hottest = it->first;
      break;
    }
  }
  int coldest = hottest;
  for (const auto& [band, h] : hours) {
    if (h >= 0.5) {
      coldest = band;
      break;
    }
  }
  coldest = std::max(coldest, hottest - (kMaxBins - 1));
  coldest = std::min(coldest, hottest - (kMinBins - 1));

  const int count = hottest - coldest + 1;
  std::vector<double> binHours(count, 0.0);
  std::vector<double> binWb(count, 0.0);
  std::vector<std::array<double, 12>> binMonthHours(count, std::array<double, 12>{});
  std::vector<std::array<double, 12>> binMonthWb(count, std::array<double, 12>{});
  for (const auto& [band, h] : hours) {
    int b = hottest - std::clamp(band, coldest, hottest);  // 0 = hottest
    binHours[b] += h;
    binWb[b] += wbHours[band];
    for (int m = 0; m < 12; ++m) {
      binMonthHours[b][m] += monthHours[band][m];
      binMonthWb[b][m] += monthWbHours[band][m];
    }
  }
  // Scale the fractional hours so that they add up to the operating hours exactly before
  // rounding (the bands already hold them; this removes the summation's drift).
  const double total = std::accumulate(binHours.begin(), binHours.end(), 0.0);
  std::vector<double> scaled(count);
  for (int b = 0; b < count; ++b) {
    scaled[b] = total > 0 ? binHours[b] * table.operatingHours / total : 0.0;
  }
  table.hours = RoundPreservingSum(scaled);
  for (int b = 0; b < count; ++b) {
    const double mid = (hottest - b) * kBinWidth + kBinWidth / 2;
    table.dryBulb.push_back(mid);
    double wb = binHours[b] > 0 ? binWb[b] / binHours[b] : mid;
    table.coincWetBulb.push_back(std::min(wb, mid));
    table.monthHours.push_back(SplitOverMonths(binMonthHours[b], table.hours[b]));
    std::array<double, 12> monthWb{};
    for (int m = 0; m < 12; ++m) {
      if (table.monthHours[b][m] > 0) monthWb[m] = std::min(binMonthWb[b][m] / binMonthHours[b][m], mid);
    }
    table.monthWetBulb.push_back(monthWb);
  }
  return table;
}

double LoadFraction(const CityClimate& city, const BuildingType& type, const ModelParameters& params, double dryBulb,
                    double wetBulb) {
  if (dryBulb <= type.balancePointDB) {
    if (type.coldSpan <= 0) return 0.0;
    return type.baseShare * std::max(0.0, 1.0 - (type.balancePointDB - dryBulb) / type.coldSpan);
  }
  const double span = city.summerDesignDB - type.balancePointDB;
  const double x = span > 0 ? (dryBulb - type.balancePointDB) / span : 1.0;
  const double y = std::max(0.0, (wetBulb - params.roomWetBulb) /
                                     std::max(city.summerCoincWB - params.roomWetBulb, params.minVentilationSpan));
  return type.baseShare + type.envelopeShare * x + type.ventilationShare * y;
}

DesignHour TypeDesignHour(const CityClimate& city, const BuildingType& type, const ModelParameters& params,
                          const Scatter& scatter, const BinTable& bins) {
  const DesignHour site{city.summerDesignDB, city.summerCoincWB};
  if (bins.dryBulb.empty()) return site;
  const HourWeights weight = Weights(city, type);
  const double operated = OperatingHoursOfYear(city, type);
  const double target = params.typeDesignShare * operated;
  // Within a hundredth of the target: the fit's own tolerance.
  if (HoursBeyond(city, params, scatter, weight, city.summerDesignDB, true) >= 0.99 * target) return site;
  // The dry bulb its own hours reach in their design share (hours fall as it rises).
  const double db = Solve([&](double t) { return -HoursBeyond(city, params, scatter, weight, t, true); },
                          bins.dryBulb.back() - kBinWidth, city.summerDesignDB, -target);
  // The bins' wet bulb there, linear between the midpoints around it.
  double wb = bins.coincWetBulb.front();
  for (std::size_t b = 1; b < bins.dryBulb.size(); ++b) {
    if (db >= bins.dryBulb[b]) {
      const double f = (db - bins.dryBulb[b]) / (bins.dryBulb[b - 1] - bins.dryBulb[b]);
      wb = bins.coincWetBulb[b] + std::min(f, 1.0) * (bins.coincWetBulb[b - 1] - bins.coincWetBulb[b]);
      break;
    }
    wb = bins.coincWetBulb[b];
  }
  return {db, wb};
}

LoadRow MakeLoadRow(const CityClimate& city, const BuildingType& type, const ModelParameters& params,
                    const Scatter& scatter, const BinTable& bins) {
  LoadRow row;
  std::vector<double> load;
  for (std::size_t b = 0; b < bins.dryBulb.size(); ++b) {
    load.push_back(LoadFraction(city, type, params, bins.dryBulb[b], bins.coincWetBulb[b]));
  }
  // A bin carries at least the load of the next colder one (bins are hottest first).
  for (std::size_t b = load.size(); b-- > 1;) load[b - 1] = std::max(load[b - 1], load[b]);
  const DesignHour hour = TypeDesignHour(city, type, params, scatter, bins);
  const double design = LoadFraction(city, type, params, hour.dryBulb, hour.wetBulb);
  const double largest = load.empty() ? 0.0 : *std::max_element(load.begin(), load.end());
  // The plant is sized for the larger of the design-hour load and the hottest bin's load
  // (the bin means can lie above the design hour where the monthly humidity is higher than
  // the design's coincident humidity).
  row.maxPlantLoad = 100.0 * std::max(design, largest);
  row.maxHourlyLoad = row.maxPlantLoad;
  row.maxBinLoad = largest > 0 ? 100.0 * largest : row.maxHourlyLoad;
  for (double l : load) row.percent.push_back(largest > 0 ? 100.0 * l / largest : 0.0);
  return row;
}

}  // namespace sitemodel
