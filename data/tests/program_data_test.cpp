// The files the build puts in the program folder: template record layouts and the content
// rules of the site database.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "app/storage/record_codec.h"
#include "data/gen/chiller_map.h"
#include "data/gen/site_sources.h"
#include "platform/db/db.h"

namespace fs = std::filesystem;

namespace {

const fs::path kProgram = KESTRIN_PROGRAM_DIR;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  EXPECT_TRUE(in) << p;
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

template <class R>
R Slot(const std::string& bytes, std::size_t slot) {
  const std::size_t size = modDataIO::codec::EncodedSize(R{});
  R rec;
  modDataIO::codec::Decode(std::string_view(bytes).substr(slot * size), rec);
  return rec;
}

std::shared_ptr<db::Database> Open(const char* file) {
  return db::Database::Open((kProgram / file).string(), db::OpenMode::kImmutable);
}

TEST(ProgramData, TemplateFilesHaveTheirLayoutSizesAndSlots) {
  const std::map<std::string, std::size_t> sizes = {{"CHL.DAT", 2 * 3764}, {"TWR.DAT", 2 * 133}, {"SYS.DAT", 3 * 1590},
                                                    {"WTH.DAT", 2772},     {"LOD.DAT", 2 * 259}, {"RPT.DAT", 511},
                                                    {"HW1.DAT", 0}};
  for (const auto& [file, size] : sizes) {
    ASSERT_TRUE(fs::exists(kProgram / file)) << file;
    EXPECT_EQ(fs::file_size(kProgram / file), size) << file;
  }
  for (const char* keyed : {"CHL.DAT", "TWR.DAT", "SYS.DAT"}) {
    const std::string bytes = ReadAll(kProgram / keyed);
    const std::size_t slot = bytes.size() / (std::string(keyed) == "SYS.DAT" ? 3 : 2);
    EXPECT_EQ(bytes.substr(0, slot), std::string(slot, '\0')) << keyed << ": slot 0 is empty";
  }
}

TEST(ProgramData, TemplateChillerIsAWaterCooledCentrifugalGivenPerTon) {
  const ChillerData c = Slot<ChillerData>(ReadAll(kProgram / "CHL.DAT"), 1);
  EXPECT_EQ(c.nType, 1);
  EXPECT_FLOAT_EQ(c.fFLCapacity, 600);
  EXPECT_GE(c.fFLPower, 0.55F);
  EXPECT_LE(c.fFLPower, 0.65F);
  EXPECT_EQ(c.nFLPowerType, 0);
  EXPECT_EQ(c.bHeatRecoveryChiller, 0);
  EXPECT_EQ(c.nPartLoadPoints, 0);
  ASSERT_GT(c.nNumECWTPoints, 0);
  ASSERT_LE(c.nNumECWTPoints, 14);
  ASSERT_GT(c.nNumLoadPoints, 0);
  ASSERT_LE(c.nNumLoadPoints, 28);
  int designColumn = 0;
  for (int e = 1; e <= c.nNumECWTPoints; ++e) {
    if (c.fECWTPoints(e) == 85.0F) designColumn = e;
    for (int r = 1; r <= c.nNumLoadPoints; ++r) {
      EXPECT_GT(c.fCapacityMap(e, r), 0.0F);
      EXPECT_GT(c.fPowerMap(e, r), 0.0F);
    }
  }
  ASSERT_GT(designColumn, 0) << "the ECWT axis holds the design 85 deg F";
  EXPECT_EQ(c.nLoadPoints(1), 100);
  EXPECT_NEAR(c.fCapacityMap(designColumn, 1), c.fFLCapacity, 0.01);
  EXPECT_NEAR(c.fPowerMap(designColumn, 1), c.fFLPower, 1e-6);
}

TEST(ProgramData, TemplateSystemsTowerAndReportOptions) {
  const std::string sys = ReadAll(kProgram / "SYS.DAT");
  const SystemData s1 = Slot<SystemData>(sys, 1), s2 = Slot<SystemData>(sys, 2);
  EXPECT_EQ(s1.nPlantControl, 1);
  EXPECT_EQ(s2.nPlantControl, 4);
  for (const SystemData& s : {s1, s2}) {
    EXPECT_EQ(s.nSingleTower, 0);
    EXPECT_EQ(s.bSlot1Basis, 0);
    EXPECT_EQ(s.nLCHWTResetMode, 1);
    EXPECT_EQ(s.nHeatRecoveryMode, 0);
    for (int k = 1; k <= 30; ++k) {
      EXPECT_EQ(s.nChillerIDs2(k), 0);
      EXPECT_EQ(s.nTowerIDs2(k), 0);
      EXPECT_EQ(s.nChillerIDs(k), k <= s.nNumChillers ? 1 : 0);
      EXPECT_EQ(s.nTowerIDs(k), k <= s.nNumChillers ? 1 : 0);
    }
  }
  const TowerData t = Slot<TowerData>(ReadAll(kProgram / "TWR.DAT"), 1);
  EXPECT_EQ(t.nEqptType, 2);
  EXPECT_EQ(t.nFanKWAbsolute, 0);
  EXPECT_GE(t.fDesignFanKW, 0.04F);
  EXPECT_LE(t.fDesignFanKW, 0.08F);
  const ReportData r = Slot<ReportData>(ReadAll(kProgram / "RPT.DAT"), 0);
  EXPECT_EQ(r.nEfficiencyInput, 0);
  EXPECT_NE(r.nTypeOfCostCalcs, 2);
  EXPECT_EQ(r.bIncludePumpEnergy, -1);
  for (auto flag : {r.bCustomPLVSpec, r.bCoolingDuty, r.bCondTempProfiles, r.bPerfProfiles, r.bInputSummary}) {
    EXPECT_EQ(flag, -1);
  }
}

TEST(ProgramData, IndexListsTheTemplateSystemsSelectedWithTheirLinks) {
  auto d = Open("INX.MDB");
  auto systems = d->Prepare("SELECT lID, bSelected FROM Systems ORDER BY lID");
  std::vector<std::pair<std::int64_t, std::int64_t>> rows;
  while (systems.Step()) rows.emplace_back(systems.Int(0), systems.Int(1));
  EXPECT_EQ(rows, (std::vector<std::pair<std::int64_t, std::int64_t>>{{1, -1}, {2, -1}}));
  for (const char* sql : {"SELECT COUNT(*) FROM Chillers WHERE lID = 1", "SELECT COUNT(*) FROM Towers WHERE lID = 1"}) {
    auto st = d->Prepare(sql);
    ASSERT_TRUE(st.Step());
    EXPECT_EQ(st.Int(0), 1) << sql;
  }
  for (const char* sql : {"SELECT COUNT(*) FROM SystemChiller WHERE lChillerID = 1 AND lSystemID = ?1",
                          "SELECT COUNT(*) FROM SystemTower WHERE lTowerID = 1 AND lSystemID = ?1"}) {
    for (int s : {1, 2}) {
      auto st = d->Prepare(sql);
      st.Bind(1, s);
      ASSERT_TRUE(st.Step());
      EXPECT_EQ(st.Int(0), 1) << sql << " system " << s;
    }
  }
}

// The template's stored standard IPLV is the program's own rating of its map (part-load
// ratio against the capacity available at each rating point's ECWT); computed by the same
// method straight from the curves it agrees within 0.5 %, and both give the value the data
// README documents.
TEST(ProgramData, TemplateChillerStoresTheStandardIplvOfItsCurves) {
  const ChillerData c = Slot<ChillerData>(ReadAll(kProgram / "CHL.DAT"), 1);
  const auto curves = chillermap::LoadCurves(std::string(KESTRIN_DATA_DIR) + "/templates/chiller_curves.ini");
  const chillermap::Design design{c.fFLCapacity, c.fFLPower, c.fDesignLCHWT, c.fDesignECWT};
  const double fromCurves = chillermap::StandardIplv(curves, design);
  EXPECT_NEAR(c.fIPLV, fromCurves, 0.005 * fromCurves);
  EXPECT_NEAR(c.fIPLV, 0.504, 0.0005);
}

// Yearly bins of one city and building type: [category][bin], BinNum bins.
using BinRows = std::map<int, std::vector<double>>;
BinRows ReadBins(db::Database& d, int city, int type) {
  std::string cols;
  for (int b = 1; b <= 24; ++b) cols += ", Bin" + std::to_string(b);
  auto st = d.Prepare("SELECT DataCategory, BinNum" + cols +
                      " FROM ProfilesForSPLV WHERE CityID = ?1 AND BuildingTypeID = ?2");
  st.Bind(1, city).Bind(2, type);
  BinRows rows;
  while (st.Step()) {
    std::vector<double>& row = rows[static_cast<int>(st.Int(0))];
    for (int b = 0; b < st.Int(1); ++b) row.push_back(st.Double(2 + b));
  }
  return rows;
}

// A month's bins of one city and building type: hours and wet bulbs, [bin].
struct MonthBins {
  std::vector<double> hours, wetBulb;
};
MonthBins ReadMonth(db::Database& d, int city, int type, int month) {
  auto st = d.Prepare(
      "SELECT Hours, CoincWB FROM MonthlyBins WHERE CityID = ?1 AND BuildingTypeID = ?2 "
      "AND Month = ?3 ORDER BY Bin");
  st.Bind(1, city).Bind(2, type).Bind(3, month);
  MonthBins m;
  while (st.Step()) m.hours.push_back(st.Double(0)), m.wetBulb.push_back(st.Double(1));
  return m;
}

// The monthly bins of every city and building type come from the same model run as the
// yearly ones: the twelve months of each bin add up exactly to its yearly hours, a month's
// wet bulb stays at or below the bin's dry bulb where the month has
// hours (0 where it has none), and the yearly wet bulb is the months' hour-weighted mean (to
// the stored 0.1 deg F).
TEST(ProgramData, MonthlyBinsAddUpToTheYearForEveryCityAndBuildingType) {
  auto d = Open("RIZIRure.rev");
  int pairs = 0;
  for (const auto& city : sitesources::LoadCities(KESTRIN_DATA_DIR)) {
    for (const auto& type : sitesources::LoadBuildingTypes(KESTRIN_DATA_DIR)) {
      const std::string where = city.climate.name + " / " + type.name;
      const BinRows year = ReadBins(*d, city.climate.id, type.id);
      const std::size_t n = year.at(1).size();
      std::vector<double> hours(n, 0.0), wbHours(n, 0.0);
      for (int m = 1; m <= 12; ++m) {
        const MonthBins month = ReadMonth(*d, city.climate.id, type.id, m);
        ASSERT_EQ(month.hours.size(), n) << where << " month " << m;
        for (std::size_t b = 0; b < n; ++b) {
          const double h = month.hours[b], wb = month.wetBulb[b];
          EXPECT_EQ(h, std::trunc(h)) << where;
          EXPECT_GE(h, 0.0) << where;
          if (h > 0) {
            EXPECT_LE(wb, year.at(1)[b]) << where << " month " << m << " bin " << b + 1;
          } else {
            EXPECT_EQ(wb, 0.0) << where << " month " << m << " bin " << b + 1;
          }
          hours[b] += h;
          wbHours[b] += h * wb;
        }
      }
      for (std::size_t b = 0; b < n; ++b) {
        EXPECT_EQ(hours[b], year.at(3)[b]) << where << " bin " << b + 1;
        // Each month's wet bulb is rounded to 0.1 deg F and whole hours (not the model's
        // fractional ones) weight them, which moves the mean by up to a few tenths.
        if (hours[b] >= 100) {
          EXPECT_NEAR(wbHours[b] / hours[b], year.at(2)[b], 0.3) << where << " bin " << b + 1;
        }
      }
      ++pairs;
    }
  }
  EXPECT_GE(pairs, 175);
}

// Hours of a month at or above a dry bulb (bins whose midpoint is at or above it).
double MonthHoursFrom(db::Database& d, int city, int type, int month, double dryBulb) {
  const BinRows year = ReadBins(d, city, type);
  const MonthBins rows = ReadMonth(d, city, type, month);
  double total = 0;
  for (std::size_t b = 0; b < year.at(1).size(); ++b)
    if (year.at(1)[b] >= dryBulb) total += rows.hours.at(b);
  return total;
}

// The months follow the season and the building's calendar: a Chicago office has warm hours
// in July and none in January; a school has no hours in its summer break, which falls in
// July north of the equator and in January south of it.
TEST(ProgramData, MonthlyBinsFollowTheSeasonAndTheSchoolYear) {
  auto d = Open("RIZIRure.rev");
  constexpr int kChicago = 79, kSydney = 1001, kOffice = 9, kSchool = 14;
  EXPECT_GT(MonthHoursFrom(*d, kChicago, kOffice, 7, 80), 100);
  EXPECT_EQ(MonthHoursFrom(*d, kChicago, kOffice, 1, 60), 0);
  EXPECT_GT(MonthHoursFrom(*d, kChicago, kOffice, 1, -100), 200) << "the office works in January";
  struct Case {
    int city, closed, open;
  };
  for (const Case c : {Case{kChicago, 7, 6}, Case{kSydney, 1, 3}}) {
    EXPECT_EQ(MonthHoursFrom(*d, c.city, kSchool, c.closed, -100), 0) << c.city;
    EXPECT_GT(MonthHoursFrom(*d, c.city, kSchool, c.open, -100), 100) << c.city;
  }
}

TEST(ProgramData, SiteDatabaseHoldsFourConsistentRowsPerCityAndBuildingType) {
  auto d = Open("RIZIRure.rev");
  std::vector<int> cities, types;
  for (auto [sql, out] : {std::pair{"SELECT ID FROM Cities", &cities}, {"SELECT ID FROM BuildingTypes", &types}}) {
    auto st = d->Prepare(sql);
    while (st.Step()) out->push_back(static_cast<int>(st.Int(0)));
  }
  EXPECT_GE(cities.size(), 25u);
  EXPECT_GE(types.size(), 6u);
  std::map<std::pair<int, int>, std::int32_t> operating;
  // Wet bulb at the design dry bulb within 1 deg F; 1.5 for a type on its summer break in
  // the hottest weeks, whose few hours near the design dry bulb come from its edges.
  std::map<int, double> wbTolerance;
  for (const auto& t : sitesources::LoadBuildingTypes(KESTRIN_DATA_DIR)) {
    wbTolerance[t.id] = t.breakFirstDay < 0 ? 1.0 : 1.5;
  }
  for (const auto& c : sitesources::LoadCities(KESTRIN_DATA_DIR)) {
    for (const auto& t : sitesources::LoadBuildingTypes(KESTRIN_DATA_DIR)) {
      operating[{c.climate.id, t.id}] = sitemodel::OperatingHoursOfYear(c.climate, t);
    }
  }

  std::string cols;
  for (int b = 1; b <= 24; ++b) cols += ", Bin" + std::to_string(b);
  auto st = d->Prepare("SELECT DataCategory, BinNum" + cols +
                       ", MaxBinLoad, MaxPlantLoad, MaxHourlyLoad FROM ProfilesForSPLV "
                       "WHERE CityID = ?1 AND BuildingTypeID = ?2 ORDER BY DataCategory");
  for (int city : cities) {
    auto params = d->Prepare("SELECT Summer_Design_DB, Summer_Coinc_WB FROM City_Params WHERE City_ID = ?1");
    params.Bind(1, city);
    ASSERT_TRUE(params.Step()) << "City_Params of " << city;
    const double designDB = params.Double(0), designWB = params.Double(1);
    EXPECT_LE(designWB, designDB);
    for (int type : types) {
      st.Reset();
      st.Bind(1, city).Bind(2, type);
      std::map<int, std::vector<double>> rows;
      std::set<std::int64_t> binNums;
      double maxBin = 0, maxPlant = 0, maxHourly = 0;
      while (st.Step()) {
        const int category = static_cast<int>(st.Int(0));
        binNums.insert(st.Int(1));
        std::vector<double> v;
        for (int b = 0; b < 24; ++b) v.push_back(st.Double(2 + b));
        rows[category] = v;
        if (category == 4) maxBin = st.Double(26), maxPlant = st.Double(27), maxHourly = st.Double(28);
      }
      const std::string where = "city " + std::to_string(city) + " type " + std::to_string(type);
      ASSERT_EQ(rows.size(), 4u) << where;
      ASSERT_EQ(binNums.size(), 1u) << where << ": one BinNum on all four rows";
      const int n = static_cast<int>(*binNums.begin());
      ASSERT_GE(n, 3) << where;
      ASSERT_LE(n, 24) << where;
      double hours = 0;
      for (int b = 0; b < 24; ++b) {
        if (b < n) {
          EXPECT_LE(rows[2][b], rows[1][b]) << where << " bin " << b + 1 << ": wet bulb above dry bulb";
          if (b > 0) {
            EXPECT_DOUBLE_EQ(rows[1][b - 1] - rows[1][b], 5.0) << where;
          }
          EXPECT_EQ(rows[3][b], std::trunc(rows[3][b])) << where;
          EXPECT_GE(rows[4][b], 0.0) << where;
          EXPECT_LE(rows[4][b], 100.0) << where;
          if (b > 0) {
            EXPECT_LE(rows[4][b], rows[4][b - 1]) << where << " bin " << b + 1 << ": load rises as the dry bulb falls";
            // Mean coincident wet bulb at the design dry bulb, between the two bins around it.
            const double hot = rows[1][b - 1], cool = rows[1][b];
            if (designDB <= hot && designDB > cool) {
              const double f = (designDB - cool) / (hot - cool);
              EXPECT_NEAR(rows[2][b] + f * (rows[2][b - 1] - rows[2][b]), designWB, wbTolerance.at(type))
                  << where << ": wet bulb at the design dry bulb " << designDB;
            }
          }
          hours += rows[3][b];
        } else {
          for (int c = 1; c <= 4; ++c) EXPECT_EQ(rows[c][b], 0.0) << where << " unused bin " << b + 1;
        }
      }
      EXPECT_EQ(hours, operating.at({city, type})) << where;
      EXPECT_EQ(rows[4][0], 100.0) << where << ": the hottest bin carries the peak";
      EXPECT_GT(rows[3][0], 0.0) << where << ": the peak bin has hours";
      EXPECT_GT(maxBin, 0) << where;
      EXPECT_GT(maxPlant, 0) << where;
      EXPECT_GT(maxHourly, 0) << where;
      const double q = maxBin / std::min(maxPlant, maxHourly);
      EXPECT_GE(q, 0.95) << where << ": the hottest bin reaches the peak load, the forced 100 % is a small step";
      EXPECT_LE(q, 1.0) << where;
    }
  }
}

TEST(ProgramData, SiteDatabaseHasPumpHeadsForEveryFlowControlCode) {
  auto d = Open("RIZIRure.rev");
  for (int code : {2, 3}) {
    auto st = d->Prepare("SELECT Capacity FROM PumpHead WHERE EvapFlowControl = ?1 ORDER BY Capacity");
    st.Bind(1, code);
    std::vector<double> caps;
    while (st.Step()) caps.push_back(st.Double(0));
    ASSERT_GE(caps.size(), 2u) << code;
    EXPECT_LE(caps.front(), 50) << code;
    EXPECT_GE(caps.back(), 5000) << code;
    EXPECT_EQ(std::set<double>(caps.begin(), caps.end()).size(), caps.size()) << code;
  }
}

TEST(ProgramData, DefaultsRelyOnTheirIdentifiers) {
  auto d = Open("RIZIRure.rev");
  struct Case {
    const char* sql;
    const char* name;
  };
  for (const Case c : {Case{"SELECT RefName FROM Regions WHERE ID = 1", "U.S.A."},
                       Case{"SELECT RefName FROM Locations WHERE ID = 14 AND Region_ID = 1", "Illinois"},
                       Case{"SELECT RefName FROM Cities WHERE ID = 79 AND Location_ID = 14", "Chicago IAP"},
                       Case{"SELECT sBuildingType FROM BuildingTypes WHERE ID = 9", "Large Office"}}) {
    auto st = d->Prepare(c.sql);
    ASSERT_TRUE(st.Step()) << c.sql;
    EXPECT_EQ(st.Text(0), c.name);
  }
}

// Hours of a bin table at or beyond a dry bulb: `inside` counts the bins wholly beyond it,
// `reaching` adds the bin that straddles it. Whatever the spread inside that bin, the true
// number of hours lies between the two.
struct TailHours {
  double inside = 0, reaching = 0;
};
TailHours Tail(const std::vector<double>& dryBulb, const std::vector<double>& hours, double t, bool upward) {
  TailHours r;
  for (std::size_t b = 0; b < dryBulb.size(); ++b) {
    const bool coldest = b + 1 == dryBulb.size();  // holds every colder hour too
    const double lo = coldest ? -1e9 : dryBulb[b] - 2.5, hi = dryBulb[b] + 2.5;
    const bool wholly = upward ? lo >= t : hi <= t;
    const bool touches = upward ? hi > t : lo < t;
    if (wholly) r.inside += hours[b];
    if (touches) r.reaching += hours[b];
  }
  return r;
}

// The bins of the whole year (a building type operated every hour) meet the published
// design levels of every city: about 35 hours at or above the 0.4 % cooling dry bulb and at
// or below the 99.6 % heating dry bulb. The bins are 5 deg F wide, so the test holds the
// design value between the hours of the bins beyond it and those including the bin that
// straddles it (the model's own hour counts are checked in the model's tests).
TEST(ProgramData, WholeYearBinsMeetTheDesignLevelsOfEveryCity) {
  auto d = Open("RIZIRure.rev");
  int allHoursType = 0;
  for (const auto& t : sitesources::LoadBuildingTypes(KESTRIN_DATA_DIR)) {
    if (sitemodel::OperatingHoursOfYear(sitemodel::CityClimate{}, t) == 8760) allHoursType = t.id;
  }
  ASSERT_NE(allHoursType, 0) << "a building type operated every hour";
  const double designHours = 0.004 * 8760, tolerance = 12;
  int cities = 0;
  for (const auto& city : sitesources::LoadCities(KESTRIN_DATA_DIR)) {
    const auto& c = city.climate;
    SCOPED_TRACE(c.name);
    std::map<int, std::vector<double>> rows;
    auto st = d->Prepare("SELECT DataCategory, BinNum, " + [] {
      std::string cols = "Bin1";
      for (int b = 2; b <= 24; ++b) cols += ", Bin" + std::to_string(b);
      return cols;
    }() + " FROM ProfilesForSPLV WHERE CityID = ?1 AND BuildingTypeID = ?2");
    st.Bind(1, c.id).Bind(2, allHoursType);
    while (st.Step()) {
      for (int b = 0; b < st.Int(1); ++b) rows[static_cast<int>(st.Int(0))].push_back(st.Double(2 + b));
    }
    ASSERT_EQ(rows.size(), 4u);
    const TailHours hot = Tail(rows[1], rows[3], c.summerDesignDB, true);
    EXPECT_LE(hot.inside, designHours + tolerance) << "hours above the bin of " << c.summerDesignDB;
    EXPECT_GE(hot.reaching, designHours - tolerance) << "hours from the bin of " << c.summerDesignDB;
    const TailHours cold = Tail(rows[1], rows[3], c.winterDesignDB, false);
    EXPECT_LE(cold.inside, designHours + tolerance) << "hours below the bin of " << c.winterDesignDB;
    EXPECT_GE(cold.reaching, designHours - tolerance) << "hours from the bin of " << c.winterDesignDB;
    ++cities;
  }
  EXPECT_GE(cities, 25);
}

}  // namespace
