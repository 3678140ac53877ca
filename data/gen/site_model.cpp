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
constexpr double kSunriseHour = 5.0;
constexpr double kPeakHour = 15.0;
constexpr double kRoomWetBulb = 62.0;
constexpr double kMinVentilationSpan = 5.0;
constexpr double kDesignMoistureSpan = 10.0;

double HhmmToHours(int hhmm) { return (hhmm / 100) + (hhmm % 100) / 60.0; }

}  // namespace

double DiurnalShape(double hour) {
  double t = std::fmod(hour, 24.0);
  if (t < 0) t += 24.0;
  if (t >= kSunriseHour && t < kPeakHour) {
    return -0.5 * std::cos(kPi * (t - kSunriseHour) / (kPeakHour - kSunriseHour));
  }
  double since = t >= kPeakHour ? t - kPeakHour : t + 24.0 - kPeakHour;
  return 0.5 * std::cos(kPi * since / (24.0 - (kPeakHour - kSunriseHour)));
}

double ScatterSigma(const CityClimate& city, int month) {
  std::array<double, 12> mean{};
  for (int m = 0; m < 12; ++m) mean[m] = 0.5 * (city.tmax[m] + city.tmin[m]);
  auto [lo, hi] = std::minmax_element(mean.begin(), mean.end());
  double spread = *hi - *lo;
  double position = spread > 0 ? (mean[month] - *lo) / spread : 0.5;
  return 1.5 + 0.08 * spread * (1.25 - 0.5 * position);
}

const std::vector<std::pair<double, double>>& NormalQuadrature() {
  static const std::vector<std::pair<double, double>> rule = [] {
    std::vector<std::pair<double, double>> r;
    double total = 0;
    for (int k = 0; k <= 24; ++k) {
      double z = -3.0 + 0.25 * k;
      double w = std::exp(-0.5 * z * z);
      r.emplace_back(z, w);
      total += w;
    }
    for (auto& node : r) node.second /= total;
    return r;
  }();
  return rule;
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

std::int32_t OperatingHoursOfYear(const BuildingType& type) {
  double total = 0;
  for (int d = 0; d < 365; ++d) {
    const DaySchedule& day = type.days[DayTypeOfDay(d)];
    for (int h = 0; h < 24; ++h) total += OperatedFraction(day, h);
  }
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

double DesignMoistureWeight(const CityClimate& city, double dryBulb) {
  const double from = city.summerDesignDB - kDesignMoistureSpan;
  return std::clamp((dryBulb - from) / kDesignMoistureSpan, 0.0, 1.0);
}

BinTable MakeBins(const CityClimate& city, const BuildingType& type, const WetBulbFn& wetBulb,
                  const PressureFn& pressure) {
  const double p = pressure(city.elevationFt);
  const double designDew = DesignDewPoint(city, wetBulb, p);
  // Accumulated hours and hour-weighted wet bulb per 5 deg F band (band k = [5k, 5k+5)).
  std::map<int, double> hours;
  std::map<int, double> wbHours;

  // Operated hours per (month, day type, hour of day): the year's calendar folded once.
  std::array<std::array<std::array<double, 24>, 3>, 12> weight{};
  int dayOfYear = 0;
  for (int m = 0; m < 12; ++m) {
    for (int d = 0; d < kDaysInMonth[m]; ++d, ++dayOfYear) {
      int dt = DayTypeOfDay(dayOfYear);
      for (int h = 0; h < 24; ++h) weight[m][dt][h] += OperatedFraction(type.days[dt], h);
    }
  }

  for (int m = 0; m < 12; ++m) {
    const double mean = 0.5 * (city.tmax[m] + city.tmin[m]);
    const double range = city.tmax[m] - city.tmin[m];
    const double sigma = ScatterSigma(city, m);
    for (int h = 0; h < 24; ++h) {
      double operated = weight[m][0][h] + weight[m][1][h] + weight[m][2][h];
      if (operated <= 0) continue;
      const double base = mean + range * DiurnalShape(h + 0.5);
      for (const auto& [z, w] : NormalQuadrature()) {
        const double scatter = z * sigma;
        const double db = base + scatter;
        const double climateDew = city.tdew[m] + 0.5 * scatter;
        const double toDesign = DesignMoistureWeight(city, db);
        const double dew = std::min(climateDew + toDesign * (designDew - climateDew), db);
        const double wb = std::min(wetBulb(p, db, dew), db);
        const int band = static_cast<int>(std::floor(db / kBinWidth));
        hours[band] += operated * w;
        wbHours[band] += operated * w * wb;
      }
    }
  }

  BinTable table;
  table.operatingHours = OperatingHoursOfYear(type);
  if (hours.empty()) return table;

  int hottest = hours.rbegin()->first;
  for (auto it = hours.rbegin(); it != hours.rend(); ++it) {
    if (it->second >= 0.5) {
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
  for (const auto& [band, h] : hours) {
    int b = hottest - std::clamp(band, coldest, hottest);  // 0 = hottest
    binHours[b] += h;
    binWb[b] += wbHours[band];
  }
  // Scale the fractional hours so that they add up to the operating hours exactly before
  // rounding (the quadrature weights already sum to one; this removes rounding drift).
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
  }
  return table;
}

double LoadFraction(const CityClimate& city, const BuildingType& type, double dryBulb,
                    double wetBulb) {
  if (dryBulb <= type.balancePointDB) {
    if (type.coldSpan <= 0) return 0.0;
    return type.baseShare * std::max(0.0, 1.0 - (type.balancePointDB - dryBulb) / type.coldSpan);
  }
  const double span = city.summerDesignDB - type.balancePointDB;
  const double x = span > 0 ? (dryBulb - type.balancePointDB) / span : 1.0;
  const double y =
      std::max(0.0, (wetBulb - kRoomWetBulb) /
                        std::max(city.summerCoincWB - kRoomWetBulb, kMinVentilationSpan));
  return type.baseShare + type.envelopeShare * x + type.ventilationShare * y;
}

LoadRow MakeLoadRow(const CityClimate& city, const BuildingType& type, const BinTable& bins) {
  LoadRow row;
  std::vector<double> load;
  for (std::size_t b = 0; b < bins.dryBulb.size(); ++b) {
    load.push_back(LoadFraction(city, type, bins.dryBulb[b], bins.coincWetBulb[b]));
  }
  // A bin carries at least the load of the next colder one (bins are hottest first).
  for (std::size_t b = load.size(); b-- > 1;) load[b - 1] = std::max(load[b - 1], load[b]);
  const double design = LoadFraction(city, type, city.summerDesignDB, city.summerCoincWB);
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
