#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include "data/gen/site_model.h"
#include "data/gen/site_sources.h"

namespace {

using namespace sitemodel;

// The shipped model constants.
const ModelParameters& Params() {
  static const ModelParameters p = sitesources::LoadModelParameters(KESTRIN_DATA_DIR);
  return p;
}

// Wet bulb stand-in for model tests that do not look at humidity: the dew point itself.
const WetBulbFn kDewAsWetBulb = [](double, double, double dew) { return dew; };
const PressureFn kSeaLevel = [](double) { return 14.696; };

CityClimate FlatCity(double mean, double range, double dew) {
  CityClimate c;
  c.summerDesignDB = mean + range;
  c.summerCoincWB = dew + 5;
  c.winterDesignDB = mean - range;
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
  EXPECT_DOUBLE_EQ(DiurnalShape(Params(), Params().sunriseHour), -0.5);
  EXPECT_DOUBLE_EQ(DiurnalShape(Params(), Params().peakHour), 0.5);
  for (double t = 0; t < 24; t += 0.25) {
    EXPECT_GE(DiurnalShape(Params(), t), -0.5);
    EXPECT_LE(DiurnalShape(Params(), t), 0.5);
    EXPECT_NEAR(DiurnalShape(Params(), t), DiurnalShape(Params(), t + 1e-6), 1e-4) << "continuous at " << t;
  }
  EXPECT_NEAR(DiurnalShape(Params(), 0.0), DiurnalShape(Params(), 24.0), 1e-12);
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
    EXPECT_EQ(OperatingHoursOfYear(CityClimate{}, b), c.hours);
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
  const BinTable t = MakeBins(city, office, Params(), FitScatter(city, Params()), kDewAsWetBulb, kSeaLevel);
  ASSERT_GE(t.dryBulb.size(), 3u);
  ASSERT_LE(t.dryBulb.size(), 24u);
  EXPECT_EQ(t.operatingHours, OperatingHoursOfYear(city, office));
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
  const BinTable t = MakeBins(city, AllHours(), Params(), FitScatter(city, Params()), kDewAsWetBulb, kSeaLevel);
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
  const BinTable t = MakeBins(city, AllHours(), Params(), FitScatter(city, Params()), recordPressure,
                              [](double z) { return 14.696 - z / 2000; });
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

TEST(SiteModel, DesignMoistureTakesOverBelowTheDesignDryBulb) {
  CityClimate city;
  city.summerDesignDB = 95;
  const double span = Params().designMoistureSpan;
  const std::pair<double, double> cases[] = {{95 - 2.5 * span, 0.0}, {95 - span, 0.0}, {95 - 0.75 * span, 0.25},
                                             {95 - 0.5 * span, 0.5}, {95, 1.0},        {105, 1.0}};
  for (const auto& [db, w] : cases) EXPECT_DOUBLE_EQ(DesignMoistureWeight(city, Params(), db), w) << db;
}

TEST(SiteModel, HottestBinsTakeTheDesignCoincidentMoistureWhateverTheMonthlyDewPoint) {
  // Months of 70..90 deg F and a design point of 95 / 60 deg F: the hours at or above the
  // design dry bulb carry the design wet bulb, the hours about the monthly mean the month's
  // own moisture. With a wet bulb that rises with the dry bulb at a fixed dew point (the
  // second case, as the real one does), the bins above the design dry bulb still keep the
  // design wet bulb: their hotter hours are drier.
  const WetBulbFn halfway = [](double, double db, double dew) { return 0.5 * (db + dew); };
  for (const WetBulbFn& wetBulb : {kDewAsWetBulb, halfway}) {
    for (double monthlyDew : {66.0, 50.0}) {
      CityClimate city = FlatCity(80, 20, monthlyDew);
      city.summerDesignDB = 95;
      city.summerCoincWB = 60;
      city.winterDesignDB = 64;
      const BinTable t = MakeBins(city, AllHours(), Params(), FitScatter(city, Params()), wetBulb, kSeaLevel);
      ASSERT_GE(t.dryBulb.size(), 3u);
      ASSERT_GE(t.dryBulb.front(), 97.5);
      int checked = 0;
      for (std::size_t b = 0; b < t.dryBulb.size(); ++b) {
        if (t.dryBulb[b] >= 97.5) {
          EXPECT_NEAR(t.coincWetBulb[b], 60.0, 1e-9) << "monthly dew point " << monthlyDew << " bin " << t.dryBulb[b];
          ++checked;
        }
        if (t.dryBulb[b] == 77.5) {
          EXPECT_NEAR(t.coincWetBulb[b], wetBulb(14.696, 77.5, monthlyDew), 1.0) << "monthly dew point " << monthlyDew;
          ++checked;
        }
      }
      EXPECT_GE(checked, 2);
    }
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
  ASSERT_GT(LoadFraction(city, hospital, Params(), 97.5, 79), LoadFraction(city, hospital, Params(), 102.5, 70));
  const LoadRow row = MakeLoadRow(city, hospital, Params(), FitScatter(city, Params()), t);
  ASSERT_EQ(row.percent.size(), 5u);
  EXPECT_DOUBLE_EQ(row.percent[0], 100.0);
  EXPECT_DOUBLE_EQ(row.percent[1], 100.0) << "the hottest bin carries the humid bin's load";
  for (std::size_t b = 1; b < row.percent.size(); ++b) EXPECT_LE(row.percent[b], row.percent[b - 1]) << b;
  EXPECT_NEAR(
      row.percent[4],
      100.0 * LoadFraction(city, hospital, Params(), 52.5, 45) / LoadFraction(city, hospital, Params(), 97.5, 79),
      1e-9);
}

TEST(SiteModel, LoadRowPeaksAtOneHundredInTheHottestBinAndIsZeroWhereNoCoolingIsNeeded) {
  const CityClimate city = FlatCity(70, 20, 55);
  BuildingType school = AllHours();
  school.baseShare = 0;
  school.balancePointDB = 60;
  const Scatter scatter = FitScatter(city, Params());
  const BinTable t = MakeBins(city, school, Params(), scatter, kDewAsWetBulb, kSeaLevel);
  const LoadRow row = MakeLoadRow(city, school, Params(), scatter, t);
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
  EXPECT_NEAR(LoadFraction(city, b, Params(), 95, 75), 1.0, 1e-12);
  EXPECT_NEAR(LoadFraction(city, b, Params(), b.balancePointDB, 50), b.baseShare, 1e-12);
  EXPECT_NEAR(LoadFraction(city, b, Params(), b.balancePointDB - b.coldSpan, 40), 0.0, 1e-12);
}

// A continental city: cold winters, warm summers (monthly means -5 .. 75 deg F).
CityClimate Continental() {
  CityClimate c;
  for (int m = 0; m < 12; ++m) {
    const double mean = 50 - 27 * std::cos(2 * 3.14159265358979 * (m - 0.5) / 12);
    c.tmax[m] = mean + 10;
    c.tmin[m] = mean - 10;
    c.tdew[m] = mean - 12;
  }
  c.summerDesignDB = 93;
  c.summerCoincWB = 74;
  c.winterDesignDB = -5;
  return c;
}

TEST(SiteModel, FittedScatterGivesTheYearItsDesignHoursAtBothEnds) {
  struct Case {
    const char* name;
    CityClimate city;
  };
  CityClimate tropical = FlatCity(81, 12, 74);
  for (int m = 0; m < 12; ++m) tropical.tmax[m] += 1.5 * std::sin(m), tropical.tmin[m] += 1.5 * std::sin(m);
  tropical.summerDesignDB = 93;
  tropical.winterDesignDB = 71;
  const Case cases[] = {{"continental", Continental()}, {"tropical", tropical}};
  const double target = 0.004 * 8760;
  for (const auto& c : cases) {
    const Scatter s = FitScatter(c.city, Params());
    EXPECT_NEAR(YearHoursAtOrAbove(c.city, Params(), s, c.city.summerDesignDB), target, 0.5) << c.name;
    EXPECT_NEAR(YearHoursAtOrBelow(c.city, Params(), s, c.city.winterDesignDB), target, 0.5) << c.name;
    EXPECT_GT(s.cold, Params().sigmaMin) << c.name;
    EXPECT_LT(s.hot, Params().sigmaMax) << c.name;
  }
  // A continental winter scatters more than its summer.
  const Scatter s = FitScatter(Continental(), Params());
  EXPECT_GT(s.cold, s.hot);
}

TEST(SiteModel, SummerBreakFollowsTheHemisphere) {
  BuildingType school = AllHours();
  school.breakFirstDay = 170;  // 20 Jun
  school.breakLastDay = 242;   // 31 Aug
  CityClimate north, south;
  south.southern = true;
  EXPECT_FALSE(OperatedOnDay(north, school, 200));
  EXPECT_TRUE(OperatedOnDay(north, school, 10));
  EXPECT_TRUE(OperatedOnDay(south, school, 200));
  EXPECT_FALSE(OperatedOnDay(south, school, 10)) << "10 Jan lies in the southern summer break";
  EXPECT_TRUE(OperatedOnDay(south, school, 100));
  EXPECT_EQ(OperatingHoursOfYear(north, school), 24 * (365 - 73));
  EXPECT_EQ(OperatingHoursOfYear(south, school), 24 * (365 - 73));
}

TEST(SiteModel, ATypeOnBreakInTheHotMonthsTakesItsOwnDesignHourAndReachesItsPeak) {
  const CityClimate city = Continental();
  BuildingType school = AllHours();
  school.baseShare = 0.15;
  school.envelopeShare = 0.4;
  school.ventilationShare = 0.45;
  school.balancePointDB = 60;
  school.breakFirstDay = 151;  // June to August off
  school.breakLastDay = 242;
  const Scatter s = FitScatter(city, Params());
  const BinTable t = MakeBins(city, school, Params(), s, kDewAsWetBulb, kSeaLevel);
  const DesignHour own = TypeDesignHour(city, school, Params(), s, t);
  EXPECT_LT(own.dryBulb, city.summerDesignDB - 2);
  const DesignHour site = TypeDesignHour(city, AllHours(), Params(), s, t);
  EXPECT_EQ(site.dryBulb, city.summerDesignDB);
  EXPECT_EQ(site.wetBulb, city.summerCoincWB);
  const LoadRow row = MakeLoadRow(city, school, Params(), s, t);
  ASSERT_GT(t.hours.front(), 0) << "the hottest bin has hours";
  EXPECT_GE(row.maxBinLoad / row.maxPlantLoad, 0.95) << "the hottest bin reaches the type's own peak";
}

// A monsoon coast: the design heat comes in the dry months before and after the monsoon; the
// monsoon months (June to September) stay well below it and keep their own, higher dew
// point, so the bins of a building operated only in the monsoon carry the monsoon's moisture.
TEST(SiteModel, MonsoonMonthsKeepTheirOwnDewPoint) {
  CityClimate coast;
  coast.summerDesignDB = 95;
  coast.summerCoincWB = 75;
  coast.winterDesignDB = 58;
  coast.tmax = {88.0, 89.1, 91.6, 92.5, 92.7, 90.1, 87.1, 86.2, 87.8, 91.9, 92.8, 90.5};
  coast.tmin = {63.7, 65.3, 70.2, 75.0, 79.3, 79.0, 77.4, 76.8, 76.3, 75.2, 71.1, 66.2};
  coast.tdew = {59, 61, 66, 70, 75, 77, 76, 76, 75, 72, 66, 61};
  const Scatter s = FitScatter(coast, Params());
  const auto c = DesignMonthWeights(coast, Params(), s);
  for (int m : {6, 7}) EXPECT_LT(c[m], 0.1) << "month " << m + 1;
  EXPECT_DOUBLE_EQ(*std::max_element(c.begin(), c.end()), 1.0);

  BuildingType monsoon = AllHours();
  monsoon.breakFirstDay = 243;  // operated in July and August only
  monsoon.breakLastDay = 180;
  const BinTable t = MakeBins(coast, monsoon, Params(), s, kDewAsWetBulb, kSeaLevel);
  int checked = 0;
  for (std::size_t b = 0; b < t.dryBulb.size(); ++b) {
    if (t.dryBulb[b] > coast.summerDesignDB - Params().designMoistureSpan && t.hours[b] > 10) {
      EXPECT_GT(t.coincWetBulb[b], std::min(coast.tdew[6], coast.tdew[7]) - 1.5) << "bin " << t.dryBulb[b];
      ++checked;
    }
  }
  EXPECT_GT(checked, 0);
}

}  // namespace

namespace {

// The bins month by month: every bin's whole hours are split over the months and add up to
// it exactly; a month holds about its own operated hours; a school's break months are empty;
// the hottest bin's hours lie in summer, none in January; a month without hours in a bin
// has no wet bulb there, one with hours a wet bulb at or below the bin's dry bulb.
TEST(SiteModel, MonthlyBinsSplitEachBinOverItsMonthsAndAddUpToTheYear) {
  const CityClimate city = Continental();
  BuildingType school = AllHours();
  school.breakFirstDay = 151;  // 1 June to 31 August
  school.breakLastDay = 242;
  const BinTable t = MakeBins(city, school, Params(), FitScatter(city, Params()), kDewAsWetBulb, kSeaLevel);
  ASSERT_EQ(t.monthHours.size(), t.hours.size());
  ASSERT_EQ(t.monthWetBulb.size(), t.hours.size());
  const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  std::array<std::int32_t, 12> month{};
  for (std::size_t b = 0; b < t.hours.size(); ++b) {
    EXPECT_EQ(std::accumulate(t.monthHours[b].begin(), t.monthHours[b].end(), 0), t.hours[b]) << "bin " << b;
    for (int m = 0; m < 12; ++m) {
      month[m] += t.monthHours[b][m];
      if (t.monthHours[b][m] > 0) {
        EXPECT_LE(t.monthWetBulb[b][m], t.dryBulb[b]) << "bin " << b << " month " << m + 1;
      } else {
        EXPECT_EQ(t.monthWetBulb[b][m], 0.0) << "bin " << b << " month " << m + 1;
      }
    }
  }
  for (int m = 0; m < 12; ++m) {
    const bool onBreak = m >= 5 && m <= 7;
    // Rounding each bin's split moves a month by less than an hour per bin.
    EXPECT_NEAR(month[m], onBreak ? 0 : 24 * days[m], static_cast<double>(t.hours.size())) << "month " << m + 1;
  }
  EXPECT_EQ(t.monthHours.front()[0], 0) << "no January hour in the hottest bin";
  EXPECT_GT(t.monthHours.front()[4] + t.monthHours.front()[8], 0) << "May and September make it";
  EXPECT_GT(t.monthHours.back()[0], 0) << "January fills the coldest bin";
}

}  // namespace
