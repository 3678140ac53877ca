#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>

#include "data/gen/site_sources.h"

namespace {

const std::string kDir = KESTRIN_DATA_DIR;

TEST(DataSources, CitiesCoverEveryInhabitedContinentAndClimate) {
  const auto cities = sitesources::LoadCities(kDir);
  const auto locations = sitesources::LoadLocations(kDir);
  const auto regions = sitesources::LoadRegions(kDir);
  EXPECT_GE(cities.size(), 40u);
  std::set<int> regionIds, usedRegions, cityIds;
  std::map<int, int> regionOfLocation;
  for (const auto& r : regions) regionIds.insert(r.id);
  for (const auto& l : locations) {
    EXPECT_TRUE(regionIds.count(l.parentId)) << l.name;
    regionOfLocation[l.id] = l.parentId;
  }
  std::set<std::string> climates;
  std::set<int> locationsWithCity;
  for (const auto& c : cities) {
    const auto& cl = c.climate;
    EXPECT_TRUE(cityIds.insert(cl.id).second) << "duplicate id " << cl.id;
    EXPECT_LE(cl.id, 32767);
    ASSERT_TRUE(regionOfLocation.count(c.locationId)) << cl.name;
    usedRegions.insert(regionOfLocation[c.locationId]);
    locationsWithCity.insert(c.locationId);
    climates.insert(c.climateClass);
    EXPECT_GE(cl.summerDesignDB, 70) << cl.name;
    EXPECT_LE(cl.summerDesignDB, 120) << cl.name;
    EXPECT_LE(cl.summerCoincWB, cl.summerDesignDB) << cl.name;
    EXPECT_GE(cl.winterDesignDB, -40) << cl.name;
    EXPECT_LT(cl.winterDesignDB, cl.summerDesignDB) << cl.name;
    for (int m = 0; m < 12; ++m) {
      EXPECT_LT(cl.tmin[m], cl.tmax[m]) << cl.name << " month " << m + 1;
      EXPECT_LE(cl.tdew[m], cl.tmax[m]) << cl.name << " month " << m + 1;
      // the design dry bulb lies above every monthly mean maximum
      EXPECT_GT(cl.summerDesignDB, cl.tmax[m]) << cl.name << " month " << m + 1;
    }
  }
  EXPECT_EQ(usedRegions, regionIds) << "every region has a city";
  for (const auto& l : locations) EXPECT_TRUE(locationsWithCity.count(l.id)) << l.name;
  EXPECT_EQ(climates, (std::set<std::string>{"cold", "hot-dry", "hot-humid", "temperate"}));
}

TEST(DataSources, DefaultSiteAndBuildingTypeKeepTheirIdentifiers) {
  const auto regions = sitesources::LoadRegions(kDir);
  const auto locations = sitesources::LoadLocations(kDir);
  const auto cities = sitesources::LoadCities(kDir);
  const auto types = sitesources::LoadBuildingTypes(kDir);
  auto find = [](const auto& rows, int id) {
    for (const auto& r : rows)
      if (r.id == id) return r;
    ADD_FAILURE() << "no id " << id;
    return rows.front();
  };
  EXPECT_EQ(find(regions, 1).name, "U.S.A.");
  EXPECT_EQ(find(locations, 14).name, "Illinois");
  EXPECT_EQ(find(locations, 14).parentId, 1);
  bool chicago = false;
  for (const auto& c : cities) {
    if (c.climate.id == 79) {
      chicago = true;
      EXPECT_EQ(c.climate.name, "Chicago IAP");
      EXPECT_EQ(c.locationId, 14);
    }
  }
  EXPECT_TRUE(chicago);
  EXPECT_EQ(find(types, 9).name, "Large Office");
  EXPECT_GE(types.size(), 6u);
  for (const auto& t : types) {
    EXPECT_NEAR(t.baseShare + t.envelopeShare + t.ventilationShare, 1.0, 1e-9) << t.name;
    EXPECT_GT(t.coldSpan, 0) << t.name;
  }
}

TEST(DataSources, PumpHeadsAscendPerFlowControlCode) {
  const auto rows = sitesources::LoadPumpHeads(kDir);
  for (int code : {2, 3}) {
    double last = -1, first = -1;
    int n = 0;
    for (const auto& r : rows) {
      if (r.evapFlowControl != code) continue;
      if (first < 0) first = r.capacity;
      EXPECT_GT(r.capacity, last) << "code " << code;
      last = r.capacity;
      ++n;
    }
    EXPECT_GE(n, 2);
    EXPECT_LE(first, 50);
    EXPECT_GE(last, 5000);
  }
}


// The site model, fitted to every shipped city, gives the whole year the published number
// of hours at each design level: 0.4 % (35 hours) and, where the source gives them, 1 %
// (88) and 2 % (175) at or above the cooling dry bulbs, and 0.4 % at or below the 99.6 %
// heating dry bulb; within a third, the tolerance of the fitted level.
TEST(DataSources, SiteModelMeetsTheDesignLevelsOfEveryCity) {
  const auto params = sitesources::LoadModelParameters(kDir);
  int withFinerLevels = 0;
  for (const auto& city : sitesources::LoadCities(kDir)) {
    const auto& c = city.climate;
    SCOPED_TRACE(c.name);
    const sitemodel::Scatter s = sitemodel::FitScatter(c, params);
    struct Level {
      std::optional<double> dryBulb;
      double hours;
      bool cooling;
    };
    for (const Level& l : {Level{c.summerDesignDB, 35.04, true}, Level{c.summerDesignDB1, 87.6, true},
                           Level{c.summerDesignDB2, 175.2, true}, Level{c.winterDesignDB, 35.04, false}}) {
      if (!l.dryBulb) continue;
      const double got = l.cooling ? sitemodel::YearHoursAtOrAbove(c, params, s, *l.dryBulb)
                                   : sitemodel::YearHoursAtOrBelow(c, params, s, *l.dryBulb);
      // Where the 2 % level lies 6 deg F or more below the 0.4 % level (New York JFK, San
      // Francisco: hot spells on land winds at sea-breeze sites) the hot tail is longer than
      // the scatter's normal shape can follow at both levels; the model puts about 250 hours
      // above the 2 % level instead of 175, within a half.
      const bool longHotTail = c.summerDesignDB2 && c.summerDesignDB - *c.summerDesignDB2 >= 6 && l.hours > 100;
      EXPECT_NEAR(got, l.hours, longHotTail ? l.hours / 2 : l.hours / 3)
          << (l.cooling ? "cooling " : "heating ") << *l.dryBulb;
    }
    if (c.summerDesignDB1) ++withFinerLevels;
    // the fit did not end on the edge of its range
    EXPECT_GT(s.cold, params.sigmaMin);
    EXPECT_GT(s.hot, params.sigmaMin);
    EXPECT_LT(s.cold, params.sigmaMax);
    EXPECT_LT(s.hot, params.sigmaMax);
  }
  EXPECT_GT(withFinerLevels, 0);
}

// Mumbai's design heat comes in the dry months before and after the monsoon; the monsoon
// months (June to September) stay well below it and keep their own, higher dew point: the
// bins of a building operated only in the monsoon carry the monsoon's moisture.
TEST(DataSources, MonsoonMonthsKeepTheirOwnDewPoint) {
  const auto params = sitesources::LoadModelParameters(kDir);
  sitemodel::CityClimate mumbai;
  for (const auto& c : sitesources::LoadCities(kDir)) {
    if (c.climate.name == "Mumbai") mumbai = c.climate;
  }
  ASSERT_EQ(mumbai.name, "Mumbai");
  const sitemodel::Scatter s = sitemodel::FitScatter(mumbai, params);
  const auto c = sitemodel::DesignMonthWeights(mumbai, params, s);
  for (int m : {6, 7}) EXPECT_LT(c[m], 0.1) << "month " << m + 1;
  EXPECT_DOUBLE_EQ(*std::max_element(c.begin(), c.end()), 1.0);

  sitemodel::BuildingType monsoon;
  for (auto& d : monsoon.days) d = {true, 0, 2400};
  monsoon.breakFirstDay = 243;  // operated in July and August only
  monsoon.breakLastDay = 180;
  const auto dewAsWetBulb = [](double, double, double dew) { return dew; };
  const sitemodel::BinTable t =
      sitemodel::MakeBins(mumbai, monsoon, params, s, dewAsWetBulb, [](double) { return 14.696; });
  int checked = 0;
  for (std::size_t b = 0; b < t.dryBulb.size(); ++b) {
    if (t.dryBulb[b] > mumbai.summerDesignDB - params.designMoistureSpan && t.hours[b] > 10) {
      EXPECT_GT(t.coincWetBulb[b], std::min(mumbai.tdew[6], mumbai.tdew[7]) - 1.5) << "bin " << t.dryBulb[b];
      ++checked;
    }
  }
  EXPECT_GT(checked, 0);
}

}  // namespace
