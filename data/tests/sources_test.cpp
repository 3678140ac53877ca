#include <gtest/gtest.h>

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

}  // namespace
