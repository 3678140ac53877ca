#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "data/gen/site_model.h"

namespace {

using namespace sitemodel;

// Wet bulb stand-in for model tests that do not look at humidity: the dew point itself.
const WetBulbFn kDewAsWetBulb = [](double, double, double dew) { return dew; };
const PressureFn kSeaLevel = [](double) { return 14.696; };

CityClimate FlatCity(double mean, double range, double dew) {
  CityClimate c;
  c.summerDesignDB = mean + range;
  c.summerCoincWB = dew + 5;
  for (int m = 0; m < 12; ++m) {
    c.tmax[m] = mean + range / 2;
    c.tmin[m] = mean - range / 2;
    c.tdew[m] = dew;
  }
  return c;
}

BuildingType AllHours() {
  BuildingType b;
  for (auto& d : b.days) d = {true, 0, 2400};
  b.baseShare = 0.3;
  b.balancePointDB = 55;
  b.coldSpan = 20;
  b.envelopeShare = 0.4;
  b.ventilationShare = 0.3;
  return b;
}

TEST(SiteModel, DiurnalShapeHasItsMinimumAtSunriseAndMaximumMidAfternoon) {
  EXPECT_DOUBLE_EQ(DiurnalShape(5.0), -0.5);
  EXPECT_DOUBLE_EQ(DiurnalShape(15.0), 0.5);
  for (double t = 0; t < 24; t += 0.25) {
    EXPECT_GE(DiurnalShape(t), -0.5);
    EXPECT_LE(DiurnalShape(t), 0.5);
    EXPECT_NEAR(DiurnalShape(t), DiurnalShape(t + 1e-6), 1e-4) << "continuous at " << t;
  }
  EXPECT_NEAR(DiurnalShape(0.0), DiurnalShape(24.0), 1e-12);
}

TEST(SiteModel, QuadratureIsANormalisedStandardNormal) {
  double w = 0, mean = 0, var = 0;
  for (const auto& [z, weight] : NormalQuadrature()) {
    w += weight;
    mean += weight * z;
    var += weight * z * z;
  }
  EXPECT_NEAR(w, 1.0, 1e-12);
  EXPECT_NEAR(mean, 0.0, 1e-12);
  EXPECT_NEAR(var, 1.0, 0.02);
}

TEST(SiteModel, OperatingHoursFollowTheWeeklySchedule) {
  struct Case {
    std::array<DaySchedule, 3> days;
    std::int32_t hours;
  };
  // 365-day year from a Monday: 261 weekdays, 52 Saturdays, 52 Sundays.
  const Case cases[] = {
      {{{{true, 0, 2400}, {true, 0, 2400}, {true, 0, 2400}}}, 8760},
      {{{{true, 600, 1900}, {true, 700, 1300}, {false, 0, 0}}}, 261 * 13 + 52 * 6},
      {{{{true, 830, 1000}, {false, 0, 0}, {false, 0, 0}}}, static_cast<std::int32_t>(std::lround(261 * 1.5))},
      {{{{false, 0, 2400}, {false, 0, 2400}, {true, 1000, 1900}}}, 52 * 9},
  };
  for (const auto& c : cases) {
    BuildingType b;
    b.days = c.days;
    EXPECT_EQ(OperatingHoursOfYear(b), c.hours);
  }
}

TEST(SiteModel, RoundingKeepsTheSum) {
  const std::vector<std::vector<double>> cases = {
      {0.5, 0.5, 0.5, 0.5}, {10.2, 3.3, 0.5}, {0.0, 0.0}, {1.49, 2.51, 3.0}, {99.9}};
  for (const auto& v : cases) {
    auto r = RoundPreservingSum(v);
    const double sum = std::accumulate(v.begin(), v.end(), 0.0);
    EXPECT_EQ(std::accumulate(r.begin(), r.end(), 0LL), std::llround(sum));
    for (std::size_t i = 0; i < v.size(); ++i) EXPECT_LE(std::abs(r[i] - v[i]), 1.0);
  }
}

TEST(SiteModel, BinsAreHottestFirstInFiveDegreeStepsAndAddUpToTheOperatingHours) {
  const CityClimate city = FlatCity(50, 20, 40);
  BuildingType office = AllHours();
  office.days = {{{true, 600, 1900}, {true, 700, 1300}, {false, 0, 0}}};
  const BinTable t = MakeBins(city, office, kDewAsWetBulb, kSeaLevel);
  ASSERT_GE(t.dryBulb.size(), 3u);
  ASSERT_LE(t.dryBulb.size(), 24u);
  EXPECT_EQ(t.operatingHours, OperatingHoursOfYear(office));
  EXPECT_EQ(std::accumulate(t.hours.begin(), t.hours.end(), 0), t.operatingHours);
  for (std::size_t b = 0; b < t.dryBulb.size(); ++b) {
    EXPECT_DOUBLE_EQ(std::fmod(t.dryBulb[b] - 2.5, 5.0), 0.0);
    if (b > 0) {
      EXPECT_DOUBLE_EQ(t.dryBulb[b - 1] - t.dryBulb[b], 5.0);
    }
    EXPECT_LE(t.coincWetBulb[b], t.dryBulb[b]);
    EXPECT_GE(t.hours[b], 0);
  }
  // Daytime hours of a day with a 20 deg F range about 50: the hours lie around 50 to 60.
  const auto peak = std::max_element(t.hours.begin(), t.hours.end()) - t.hours.begin();
  EXPECT_GT(t.dryBulb[peak], 45.0);
  EXPECT_LT(t.dryBulb[peak], 65.0);
}

TEST(SiteModel, WideClimateIsCutToTwentyFourBinsWithTheColdHoursInTheLastOne) {
  CityClimate city = FlatCity(50, 10, 20);
  for (int m = 0; m < 12; ++m) {  // -40 .. +110 deg F over the year
    const double mean = -30 + 130.0 * m / 11;
    city.tmax[m] = mean + 10;
    city.tmin[m] = mean - 10;
  }
  const BinTable t = MakeBins(city, AllHours(), kDewAsWetBulb, kSeaLevel);
  EXPECT_EQ(t.dryBulb.size(), 24u);
  EXPECT_EQ(std::accumulate(t.hours.begin(), t.hours.end(), 0), 8760);
  EXPECT_GT(t.hours.back(), t.hours[t.hours.size() - 2]) << "cold tail folded into the last bin";
}

TEST(SiteModel, WetBulbUsesTheSitePressureAndDryDaysStayDry) {
  CityClimate city = FlatCity(80, 20, 50);
  city.elevationFt = 5000;
  double seenPressure = 0;
  const WetBulbFn recordPressure = [&](double p, double db, double dew) {
    seenPressure = p;
    return 0.5 * (db + dew);
  };
  const BinTable t = MakeBins(city, AllHours(), recordPressure, [](double z) { return 14.696 - z / 2000; });
  EXPECT_DOUBLE_EQ(seenPressure, 14.696 - 2.5);
  for (std::size_t b = 0; b < t.dryBulb.size(); ++b) {
    // wet bulb halfway between dry bulb and a dew point well below it
    EXPECT_LT(t.coincWetBulb[b], t.dryBulb[b]);
  }
}

TEST(SiteModel, DesignDewPointGivesTheDesignWetBulbAtTheDesignDryBulb) {
  CityClimate city = FlatCity(70, 20, 55);
  city.summerDesignDB = 92;
  city.summerCoincWB = 75;
  struct Case {
    const char* name;
    WetBulbFn wetBulb;
    double dew;
  };
  const Case cases[] = {
      {"wet bulb = dew point", kDewAsWetBulb, 75.0},
      {"wet bulb halfway", [](double, double db, double dew) { return 0.5 * (db + dew); }, 2 * 75.0 - 92.0},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(DesignDewPoint(city, c.wetBulb, 14.696), c.dew, 1e-9) << c.name;
  }
}

TEST(SiteModel, DesignMoistureTakesOverOverTheTenDegreesBelowTheDesignDryBulb) {
  CityClimate city;
  city.summerDesignDB = 95;
  const std::pair<double, double> cases[] = {{70, 0.0}, {85, 0.0}, {87.5, 0.25}, {90, 0.5}, {95, 1.0}, {105, 1.0}};
  for (const auto& [db, w] : cases) EXPECT_DOUBLE_EQ(DesignMoistureWeight(city, db), w) << db;
}

TEST(SiteModel, HottestBinsTakeTheDesignCoincidentMoistureWhateverTheMonthlyDewPoint) {
  // Months of 70..90 deg F and a design point of 90 / 60 deg F: the hours at or above the
  // design dry bulb carry the design moisture, the cool hours the month's own.
  for (double monthlyDew : {66.0, 50.0}) {
    CityClimate city = FlatCity(80, 20, monthlyDew);
    city.summerDesignDB = 90;
    city.summerCoincWB = 60;
    const BinTable t = MakeBins(city, AllHours(), kDewAsWetBulb, kSeaLevel);
    ASSERT_GE(t.dryBulb.size(), 3u);
    ASSERT_EQ(t.dryBulb.front(), 92.5) << "the band [90, 95) is the hottest";
    EXPECT_NEAR(t.coincWetBulb.front(), 60.0, 1e-9) << "monthly dew point " << monthlyDew;
    EXPECT_EQ(t.dryBulb.back(), 67.5);
    EXPECT_NEAR(t.coincWetBulb.back(), monthlyDew, 1.5) << "monthly dew point " << monthlyDew;
  }
}

TEST(SiteModel, LoadNeverFallsAsTheDryBulbRises) {
  // A coastal-desert pattern: the hottest bin is dry, a cooler one humid, so that the
  // cooler bin's own load is the larger one.
  CityClimate city = FlatCity(80, 20, 60);
  city.summerDesignDB = 100;
  city.summerCoincWB = 72;
  BuildingType hospital = AllHours();
  hospital.envelopeShare = 0.25;
  hospital.ventilationShare = 0.45;
  BinTable t;
  t.dryBulb = {102.5, 97.5, 92.5, 87.5, 52.5};
  t.coincWetBulb = {70, 79, 76, 72, 45};
  t.hours = {5, 50, 200, 400, 100};
  ASSERT_GT(LoadFraction(city, hospital, 97.5, 79), LoadFraction(city, hospital, 102.5, 70));
  const LoadRow row = MakeLoadRow(city, hospital, t);
  ASSERT_EQ(row.percent.size(), 5u);
  EXPECT_DOUBLE_EQ(row.percent[0], 100.0);
  EXPECT_DOUBLE_EQ(row.percent[1], 100.0) << "the hottest bin carries the humid bin's load";
  for (std::size_t b = 1; b < row.percent.size(); ++b) EXPECT_LE(row.percent[b], row.percent[b - 1]) << b;
  EXPECT_NEAR(row.percent[4], 100.0 * LoadFraction(city, hospital, 52.5, 45) / LoadFraction(city, hospital, 97.5, 79),
              1e-9);
}

TEST(SiteModel, LoadRowPeaksAtOneHundredInTheHottestBinAndIsZeroWhereNoCoolingIsNeeded) {
  const CityClimate city = FlatCity(70, 20, 55);
  BuildingType school = AllHours();
  school.baseShare = 0;
  school.balancePointDB = 60;
  const BinTable t = MakeBins(city, school, kDewAsWetBulb, kSeaLevel);
  const LoadRow row = MakeLoadRow(city, school, t);
  ASSERT_EQ(row.percent.size(), t.dryBulb.size());
  EXPECT_DOUBLE_EQ(row.percent.front(), 100.0);
  for (std::size_t b = 0; b < t.dryBulb.size(); ++b) {
    EXPECT_GE(row.percent[b], 0.0);
    EXPECT_LE(row.percent[b], 100.0);
    if (t.dryBulb[b] <= school.balancePointDB) {
      EXPECT_EQ(row.percent[b], 0.0);
    }
    if (b > 0) {
      EXPECT_LE(row.percent[b], row.percent[b - 1]);
    }
  }
  EXPECT_GT(row.maxBinLoad, 0.0);
  EXPECT_GT(row.maxPlantLoad, 0.0);
  EXPECT_DOUBLE_EQ(row.maxPlantLoad, row.maxHourlyLoad);
  EXPECT_LE(row.maxBinLoad, row.maxPlantLoad);
}

TEST(SiteModel, DesignConditionOfAUnitShareBuildingIsTheFullLoad) {
  CityClimate city = FlatCity(70, 20, 55);
  city.summerDesignDB = 95;
  city.summerCoincWB = 75;
  BuildingType b = AllHours();
  EXPECT_NEAR(LoadFraction(city, b, 95, 75), 1.0, 1e-12);
  EXPECT_NEAR(LoadFraction(city, b, b.balancePointDB, 50), b.baseShare, 1e-12);
  EXPECT_NEAR(LoadFraction(city, b, b.balancePointDB - b.coldSpan, 40), 0.0, 1e-12);
}

}  // namespace
