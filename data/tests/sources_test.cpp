#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>

#include "data/gen/site_sources.h"
#include "data/gen/text_tables.h"

namespace {

const std::string kDir = KESTRIN_DATA_DIR;

TEST(DataSources, CitiesCoverEveryRegionAndClimate) {
  const auto cities = sitesources::LoadCities(kDir);
  const auto locations = sitesources::LoadLocations(kDir);
  const auto regions = sitesources::LoadRegions(kDir);
  EXPECT_GE(cities.size(), 25u);
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

// The source codes that data/README.md defines: the backticked codes in the first cell of
// each row of its source table.
std::set<std::string> DocumentedSourceCodes() {
  std::ifstream in(kDir + "/README.md");
  std::set<std::string> codes;
  const std::regex code("`([A-Z][A-Z0-9]*(-[A-Z0-9]+)+)`");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("| `", 0) != 0) continue;
    const std::string firstCell = line.substr(0, line.find('|', 1));
    for (std::sregex_iterator it(firstCell.begin(), firstCell.end(), code), end; it != end; ++it)
      codes.insert((*it)[1]);
  }
  return codes;
}

// Every value of every city was transcribed from a retrieved table: each code in the Source
// column of the city and monthly tables is one the data README defines, and no row is an
// estimate.
TEST(DataSources, EveryCityValueNamesADocumentedRetrievedSource) {
  const std::set<std::string> documented = DocumentedSourceCodes();
  ASSERT_GT(documented.size(), 5u);
  const std::regex code("[A-Z][A-Z0-9]*(-[A-Z0-9]+)+");
  for (const char* file : {"/climate/cities.csv", "/climate/monthly.csv"}) {
    const auto table = texttables::CsvTable::Load(kDir + file);
    for (std::size_t r = 0; r < table.rows(); ++r) {
      const std::string& source = table.Text(r, "Source");
      SCOPED_TRACE(std::string(file) + " row " + std::to_string(r + 1) + ": " + source);
      EXPECT_TRUE(source.find("EST(") == std::string::npos) << "an estimate";
      int named = 0;
      for (std::sregex_iterator it(source.begin(), source.end(), code), end; it != end; ++it, ++named)
        EXPECT_TRUE(documented.count(it->str())) << it->str() << " is not in the README's source table";
      EXPECT_GT(named, 0);
    }
  }
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

}  // namespace
