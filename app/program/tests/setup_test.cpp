// The calculation set-up on a small site database fixture and a copy of the shipped
// templates as the program folder; the scratch folder lies in the process's own data home.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/program/frmMain.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "app/storage/record_codec.h"
#include "data/gen/sql_script.h"
#include "platform/db/db.h"
#include "platform/ui/ui.h"

namespace fs = std::filesystem;
using modDataIO::gProject;
using modDataIO::gSettings;

namespace {

const char* const kTemplates[] = {"CHL.DAT", "SYS.DAT", "WTH.DAT", "LOD.DAT", "TWR.DAT",
                                  "RPT.DAT", "ECO.DAT", "INX.MDB", "HW1.DAT"};

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Profile {
  int city, building, category, binNum;
  std::vector<double> bins;
  double maxBin = 0, maxPlant = 0, maxHourly = 0;
};

void AddProfile(db::Database& d, const Profile& p) {
  std::string sql = "INSERT INTO ProfilesForSPLV (CityID, BuildingTypeID, DataCategory, BinNum";
  for (std::size_t b = 1; b <= p.bins.size(); ++b) sql += ", Bin" + std::to_string(b);
  sql += ", MaxBinLoad, MaxPlantLoad, MaxHourlyLoad) VALUES (?1, ?2, ?3, ?4";
  for (std::size_t i = 0; i < p.bins.size() + 3; ++i) sql += ", ?" + std::to_string(5 + i);
  sql += ")";
  auto st = d.Prepare(sql);
  st.Bind(1, p.city).Bind(2, p.building).Bind(3, p.category).Bind(4, p.binNum);
  int k = 5;
  for (double v : p.bins) st.Bind(k++, v);
  st.Bind(k, p.maxBin).Bind(k + 1, p.maxPlant).Bind(k + 2, p.maxHourly);
  st.Run();
}

// Four bins (hottest first): dry bulbs 95, 85, 55, 45 deg F.
const std::vector<double> kDryBulbs = {95, 85, 55, 45};
const std::vector<double> kWetBulbs = {75, 70, 50, 40};
const std::vector<double> kHours = {100.7, 200, 300, 400};

// The same four bins month by month (January first): each bin's months add up to its
// yearly whole hours (100, 200, 300, 400).
const int kMonthHours[4][12] = {{0, 0, 0, 0, 0, 30, 50, 20, 0, 0, 0, 0},
                                {0, 0, 0, 0, 20, 50, 60, 50, 20, 0, 0, 0},
                                {0, 0, 40, 60, 40, 0, 0, 0, 0, 80, 80, 0},
                                {100, 100, 60, 0, 0, 0, 0, 0, 0, 0, 40, 100}};
// A month's wet bulb of a bin: the year's plus a month's offset where the month has hours.
float MonthWetBulb(int m, int b) {
  return kMonthHours[b - 1][m - 1] > 0 ? static_cast<float>(kWetBulbs[b - 1] + 0.5 * (m % 3)) : 0.0f;
}

void AddMonths(db::Database& d, int city, int building, int hourShift = 0) {
  auto st = d.Prepare("INSERT INTO MonthlyBins VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
  for (int m = 1; m <= 12; ++m) {
    for (int b = 1; b <= 4; ++b) {
      st.Reset();
      st.Bind(1, city).Bind(2, building).Bind(3, m).Bind(4, b);
      st.Bind(5, kMonthHours[b - 1][m - 1] + (m == 7 ? hourShift : 0)).Bind(6, static_cast<double>(MonthWetBulb(m, b)));
      st.Run();
    }
  }
}

void AddSite(db::Database& d, int city, int building, const std::vector<double>& loads, double maxBin, double maxPlant,
             double maxHourly, bool withLoadRow = true) {
  AddProfile(d, {city, building, 1, 4, kDryBulbs});
  AddProfile(d, {city, building, 2, 4, kWetBulbs});
  AddProfile(d, {city, building, 3, 4, kHours});
  if (withLoadRow) AddProfile(d, {city, building, 4, 4, loads, maxBin, maxPlant, maxHourly});
  AddMonths(d, city, building);
}

class Setup : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("kestrin_setup_" + std::to_string(::getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    program_ = root_ / "program";
    fs::create_directories(program_);
    for (const char* f : kTemplates) fs::copy_file(fs::path(KESTRIN_PROGRAM_DIR) / f, program_ / f);
    modpublic::gAppPath = program_.string() + "/";
    MakeSiteDatabase();
    gDataDBPath = (root_ / "site.db").string();
    modDataIO::InitProject(gProject);
    modDataIO::InitSettings(gSettings);
    ASSERT_TRUE(frmMain::PrepareDataFiles());
    gDataDBPath = (root_ / "site.db").string();  // the fixture, not the program folder's
    scratch_ = modDataIO::GetTempFolder();
    host_.messages.clear();
  }
  void TearDown() override {
    modpublic::gAppPath.clear();
    gDataDBPath.clear();
    fs::remove_all(root_);
  }

  void MakeSiteDatabase() {
    auto d = db::Database::Open((root_ / "site.db").string(), db::OpenMode::kCreate);
    sqlscript::Run(*d, (fs::path(KESTRIN_DATA_DIR) / "sql" / "site_schema.sql").string());
    d->Execute("INSERT INTO BuildingTypes VALUES (9, 'Large Office', 1, 1, 700, 1800, 1, 800, 1200, 0, 0, 0)");
    d->Execute("INSERT INTO City_Params VALUES (79, 650, 91, 74, -4)");
    d->Execute("INSERT INTO City_Params VALUES (500, 10, 90, 75, 30)");
    d->Execute("INSERT INTO City_Params VALUES (600, 10, 90, 75, 30)");
    d->Execute("INSERT INTO City_Params VALUES (700, 10, 90, 75, 30)");
    d->Execute("INSERT INTO City_Params VALUES (501, 10, 90, 75, 30)");
    d->Execute("INSERT INTO City_Params VALUES (502, 10, 90, 75, 30)");
    AddSite(*d, 79, 9, {80, 60, 30, 10}, 100, 120, 100);   // q = 1: highest bin raised to 100
    AddSite(*d, 79, 10, {80, 60, 30, 10}, 150, 100, 120);  // q = 1.5: 120 capped at 100
    AddProfile(*d, {79, 9, 5, 4, {-1, -1, -1, -1}});       // an unknown category is skipped
    AddProfile(*d, {500, 9, 1, 4, kDryBulbs});             // two rows only
    AddProfile(*d, {500, 9, 2, 4, kWetBulbs});
    AddSite(*d, 600, 9, {}, 0, 0, 0, /*withLoadRow=*/false);
    AddSite(*d, 700, 9, {80, 60, 30, 10}, 100, 0, 100);  // no maximum plant load
    for (int city : {501, 502}) {
      AddProfile(*d, {city, 9, 1, 4, kDryBulbs});
      AddProfile(*d, {city, 9, 2, 4, kWetBulbs});
      AddProfile(*d, {city, 9, 3, 4, kHours});
    }
    AddMonths(*d, 502, 9, 1);  // 501: no monthly rows; 502: July one hour too many
    for (auto [code, cap, evap, chw, cond] : {std::tuple{3, 100.0, 20.0, 40.0, 30.0},
                                              {3, 500.0, 28.0, 70.0, 50.0},
                                              {3, 1000.0, 30.0, 80.0, 60.0},
                                              {2, 400.0, 33.0, 75.0, 55.0}}) {
      d->Prepare("INSERT INTO PumpHead VALUES (?1, ?2, ?3, ?4, ?5)")
          .Bind(1, code)
          .Bind(2, cap)
          .Bind(3, evap)
          .Bind(4, chw)
          .Bind(5, cond)
          .Run();
    }
  }

  std::string Scratch(const char* file) const { return ReadAll(fs::path(scratch_) / file); }

  ui::RecordingHost host_;
  ui::ScopedHost scoped_{host_};
  fs::path root_, program_;
  std::string scratch_;
};

// ---- start-up file steps -----------------------------------------------------------------

TEST_F(Setup, StartUpCopiesEveryTemplateIntoTheScratchFolder) {
  for (const char* f : kTemplates) {
    EXPECT_EQ(Scratch(f), ReadAll(program_ / f)) << f;
  }
  EXPECT_EQ(modDataIO::DataFolder(), modDataIO::GetTempFolder());
}

TEST_F(Setup, StartUpFailsWhenATemplateIsMissing) {
  fs::remove(program_ / "HW1.DAT");
  EXPECT_FALSE(frmMain::PrepareDataFiles());
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text.rfind("Copy HW1 File", 0), 0u) << host_.messages[0].text;
}

// ---- pump heads --------------------------------------------------------------------------

TEST(PumpHeads, InterpolatesBetweenRowsAndHoldsTheEnds) {
  frmMain::PumpHeadTable t;
  t.count = 3;
  t.Capacity = {100, 500, 1000};
  t.EvapPumpHead = {20, 28, 30};
  t.ChilledWaterPumpHead = {40, 70, 80};
  t.CondPumpHead = {30, 50, 60};
  struct Case {
    float capacity, evap, chw, cond;
  };
  const Case cases[] = {
      {50, 20, 40, 30},    // below the first row
      {100, 20, 40, 30},   // on the first row
      {300, 24, 55, 40},   // halfway between rows 1 and 2
      {500, 28, 70, 50},   // on an inner row
      {750, 29, 75, 55},   // between rows 2 and 3
      {1000, 30, 80, 60},  // on the last row
      {4000, 30, 80, 60},  // above the last row
  };
  for (const auto& c : cases) {
    float e = -1, w = -1, k = -1;
    ASSERT_TRUE(frmMain::InterpolatePumpHeads(t, c.capacity, e, w, k)) << c.capacity;
    EXPECT_FLOAT_EQ(e, c.evap) << c.capacity;
    EXPECT_FLOAT_EQ(w, c.chw) << c.capacity;
    EXPECT_FLOAT_EQ(k, c.cond) << c.capacity;
  }
}

TEST(PumpHeads, EqualCapacitiesAndShortTablesAreRejected) {
  frmMain::PumpHeadTable t;
  t.count = 3;
  t.Capacity = {100, 500, 500};
  t.EvapPumpHead = t.ChilledWaterPumpHead = t.CondPumpHead = {1, 2, 3};
  float e = -1, w = -1, k = -1;
  EXPECT_THROW(frmMain::InterpolatePumpHeads(t, 300, e, w, k), vb::RuntimeError);
  t.count = 1;
  EXPECT_FALSE(frmMain::InterpolatePumpHeads(t, 300, e, w, k));
  EXPECT_EQ(e, -1);
}

TEST_F(Setup, PumpHeadLookupUsesTheProjectsFlowControlCode) {
  float e = -1, w = -1, k = -1;
  bool ok = false;
  gProject.EvapFlowControl = 3;
  frmMain::GetPumpHeads(750, e, w, k, ok);
  EXPECT_TRUE(ok);
  EXPECT_FLOAT_EQ(w, 75);
  gProject.EvapFlowControl = 2;  // a single row: no interpolation possible
  e = w = k = -1;
  frmMain::GetPumpHeads(750, e, w, k, ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(w, -1);
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(Setup, EqualPumpHeadCapacitiesAreADataErrorAndTheTemplateHeadsStay) {
  {
    auto d = db::Database::Open((root_ / "site.db").string(), db::OpenMode::kReadWrite);
    d->Execute("DROP TABLE PumpHead");
    d->Execute(
        "CREATE TABLE PumpHead (EvapFlowControl INTEGER, Capacity REAL, EvapPumpHead REAL, "
        "ChilledWaterPumpHead REAL, CondPumpHead REAL)");
    d->Execute("INSERT INTO PumpHead VALUES (3, 100, 20, 40, 30), (3, 500, 28, 70, 50), (3, 500, 29, 71, 51)");
  }
  float e = -1, w = -1, k = -1;
  bool ok = true;
  frmMain::GetPumpHeads(300, e, w, k, ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(w, -1);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].title, "frmMain.GetPumpHeads()");
  EXPECT_NE(host_.messages[0].text.find("same capacity"), std::string::npos) << host_.messages[0].text;

  SystemData templ;
  ASSERT_TRUE(modDataIO::bSystemRead(1, templ, program_.string() + "/"));
  ASSERT_TRUE(frmMain::SetupSystem());
  EXPECT_FLOAT_EQ(frmMain::m_System.fChilledWaterPumpHead, templ.fChilledWaterPumpHead);
  EXPECT_FLOAT_EQ(frmMain::m_System.fCondPumpHead, templ.fCondPumpHead);
}

// ---- systems -----------------------------------------------------------------------------

TEST_F(Setup, SystemSlotsNamesFlowsAndEconomizer) {
  gProject.ChillerNumber = 10;
  gProject.PlantCapacity = 2000;
  gProject.CondFlowRate = 3;
  gProject.Economizer = 2;
  gProject.EvapFlowControl = 3;
  ASSERT_TRUE(frmMain::SetupSystem()) << (host_.messages.empty() ? "" : host_.messages[0].text);
  for (std::int16_t s = 1; s <= 2; ++s) {
    SystemData template_, sys;
    ASSERT_TRUE(modDataIO::bSystemRead(s, template_, program_.string() + "/"));
    ASSERT_TRUE(modDataIO::bSystemRead(s, sys));
    EXPECT_EQ(sys.nNumChillers, 10);
    EXPECT_FLOAT_EQ(sys.fTotalCondWaterFlow, 6000);
    EXPECT_EQ(sys.bWaterEconomizer, vb::kTrue);
    EXPECT_EQ(sys.nEconomizerType, 2);
    EXPECT_EQ(sys.nPlantControl, template_.nPlantControl) << "the set-up never changes plant control";
    EXPECT_EQ(sys.sName, template_.sName);
    EXPECT_FLOAT_EQ(sys.fChilledWaterPumpHead, 80);  // 2000 tons is above the last row (1000)
    for (int k = 1; k <= 10; ++k) {
      const std::string name = "CH-" + std::to_string(k);
      EXPECT_EQ(sys.sChillerNames(k), name + std::string(12 - name.size(), ' '));
      EXPECT_EQ(sys.nChillerIDs(k), 1);
      EXPECT_EQ(sys.nTowerIDs(k), 1);
    }
    for (int k = 11; k <= 30; ++k) {
      EXPECT_EQ(sys.nChillerIDs(k), 0);
      EXPECT_EQ(sys.nTowerIDs(k), 0);
      EXPECT_EQ(sys.sChillerNames(k), template_.sChillerNames(k));
    }
  }
  gProject.Economizer = 1;
  ASSERT_TRUE(frmMain::SetupSystem());
  EXPECT_EQ(frmMain::m_System.bWaterEconomizer, vb::kFalse);
  EXPECT_EQ(frmMain::m_System.nEconomizerType, 0);
}

TEST_F(Setup, ChillerNumberOutsideTheSlotsFailsWithAMessage) {
  for (std::int16_t n : {0, 31}) {
    host_.messages.clear();
    gProject.ChillerNumber = n;
    EXPECT_FALSE(frmMain::SetupSystem()) << n;
    ASSERT_EQ(host_.messages.size(), 1u) << n;
    EXPECT_EQ(host_.messages[0].title, "frmMain.SetupSystem()");
    EXPECT_EQ(host_.messages[0].text.rfind("Setup System: 1", 0), 0u);
  }
}

// ---- chiller and tower -------------------------------------------------------------------

TEST_F(Setup, ChillerMapIsScaledToTheChillerSizeOnly) {
  ChillerData t;
  ASSERT_TRUE(modDataIO::bChillerRead(1, t, program_.string() + "/"));
  ASSERT_FLOAT_EQ(t.fFLCapacity, 600);
  struct Case {
    std::int16_t n;
    double ratio;
  };
  for (const Case c : {Case{2, 1.0}, Case{3, 400.0 / 600.0}}) {
    gProject.ChillerNumber = c.n;
    ASSERT_TRUE(frmMain::SetupChiller());
    ChillerData s;
    ASSERT_TRUE(modDataIO::bChillerRead(1, s));
    EXPECT_FLOAT_EQ(s.fFLCapacity, 1200.0F / c.n);
    EXPECT_FLOAT_EQ(s.fCondWaterFlow, 3.0F * s.fFLCapacity);
    EXPECT_FLOAT_EQ(s.fEvapWaterFlow, 2.4F * s.fFLCapacity);
    EXPECT_EQ(s.fPowerMap, t.fPowerMap);
    EXPECT_EQ(s.fECWTPoints, t.fECWTPoints);
    for (int e = 1; e <= 14; ++e) {
      for (int r = 1; r <= 28; ++r) {
        const bool inside = e <= t.nNumECWTPoints && r <= t.nNumLoadPoints;
        EXPECT_FLOAT_EQ(s.fCapacityMap(e, r),
                        inside ? static_cast<float>(t.fCapacityMap(e, r) * c.ratio) : t.fCapacityMap(e, r));
      }
    }
  }
}

TEST_F(Setup, TemplateChillerWithoutCapacityIsADataError) {
  ChillerData t;
  ASSERT_TRUE(modDataIO::bChillerRead(1, t, program_.string() + "/"));
  t.fFLCapacity = 0;
  std::string bytes = ReadAll(program_ / "CHL.DAT");
  bytes.replace(3764, 3764, modDataIO::codec::Encode(t));
  std::ofstream(program_ / "CHL.DAT", std::ios::binary | std::ios::trunc) << bytes;
  const std::string before = Scratch("CHL.DAT");
  EXPECT_FALSE(frmMain::SetupChiller());
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].title, "frmMain.SetupChiller()");
  EXPECT_EQ(Scratch("CHL.DAT"), before);
}

TEST_F(Setup, MissingTemplateIsAnError) {
  fs::remove(program_ / "TWR.DAT");
  EXPECT_FALSE(frmMain::SetupCoolingTower());
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_NE(host_.messages[0].text.find("TWR.DAT"), std::string::npos);
  EXPECT_FALSE(fs::exists(program_ / "TWR.DAT")) << "a read never creates the template";
}

TEST_F(Setup, TowerDesignRangeFollowsTheChillerInput) {
  frmMain::m_Chiller.fFLPower = 0.6F;  // kW per ton
  gProject.CondFlowRate = 3;
  gProject.ChillerNumber = 2;
  gProject.DesignWB = 76;
  gProject.DesignApproach = 8;
  ASSERT_TRUE(frmMain::SetupCoolingTower());
  TowerData t;
  ASSERT_TRUE(modDataIO::bTowerRead(1, t));
  EXPECT_NEAR(t.fDesignRange, (0.6 * 3.412 + 12.0) / 0.499696 / 3.0, 1e-4);
  EXPECT_NEAR(t.fDesignRange, 9.37, 0.01);
  EXPECT_FLOAT_EQ(t.fCondWaterFlow, 1800);
  EXPECT_FLOAT_EQ(t.fDesignWB, 76);
  EXPECT_FLOAT_EQ(t.fDesignApproach, 8);
}

// ---- weather -----------------------------------------------------------------------------

TEST_F(Setup, WeatherBinsFillEveryMonthWithTheProjectsCityAndSchedule) {
  gProject.CityName = "Somewhere With A Very Long Name That Does Not Fit In The Field";
  ASSERT_TRUE(frmMain::SetupWeatherData());
  WeatherData w;
  ASSERT_TRUE(modDataIO::bWeatherRead(w));
  EXPECT_EQ(w.nNumBins, 4);
  EXPECT_FLOAT_EQ(w.fElevation, 650);
  EXPECT_FLOAT_EQ(w.fSummerDesignDB, 91);
  EXPECT_FLOAT_EQ(w.fSummerCoincWB, 74);
  EXPECT_FLOAT_EQ(w.fWinterDesignDB, -4);
  std::int32_t total = 0;
  for (int b = 1; b <= 4; ++b) {
    EXPECT_FLOAT_EQ(w.fBinDB(b), kDryBulbs[b - 1]);
    EXPECT_FLOAT_EQ(w.fBinMCWB(b), kWetBulbs[b - 1]);
    EXPECT_EQ(w.lBinHours(b), static_cast<std::int32_t>(std::trunc(kHours[b - 1])));
    total += w.lBinHours(b);
    for (int m = 1; m <= 12; ++m) {
      EXPECT_EQ(w.lMonthBinHours(m, b), kMonthHours[b - 1][m - 1]) << "month " << m << " bin " << b;
      EXPECT_FLOAT_EQ(w.fMonthBinMCWB(m, b), MonthWetBulb(m, b)) << "month " << m << " bin " << b;
    }
  }
  for (int b = 5; b <= 24; ++b) {
    EXPECT_EQ(w.fBinDB(b), 0);
    for (int m = 1; m <= 12; ++m) EXPECT_EQ(w.lMonthBinHours(m, b), 0);
  }
  EXPECT_EQ(w.lTotalHours, 1000);
  EXPECT_EQ(total, 1000);
  const std::int32_t monthTotals[12] = {100, 100, 100, 60, 60, 80, 110, 70, 20, 80, 120, 100};
  for (int m = 1; m <= 12; ++m) EXPECT_EQ(w.lMonthHours(m), monthTotals[m - 1]) << "month " << m;
  EXPECT_EQ(w.sName, gProject.CityName.substr(0, 42));
  EXPECT_EQ(w.nStartTime(0), 700);
  EXPECT_EQ(w.nStopTime(1), 1200);
  EXPECT_EQ(w.bDayOperated(2), vb::kFalse);
}

TEST_F(Setup, WeatherWithoutEnoughRowsWritesNothing) {
  struct Case {
    std::int16_t city;
    const char* query;
  };
  const Case cases[] = {
      {500, "SELECT * FROM ProfilesForSPLV WHERE CityID = 500 And BuildingTypeID = 9"},
      {999, "SELECT * FROM City_Params WHERE City_ID = 999"},
      {501, "SELECT * FROM MonthlyBins WHERE CityID = 501 And BuildingTypeID = 9"},
  };
  for (const auto& c : cases) {
    host_.messages.clear();
    const std::string before = Scratch("WTH.DAT");
    gProject.CityID = c.city;
    EXPECT_FALSE(frmMain::SetupWeatherData()) << c.city;
    ASSERT_EQ(host_.messages.size(), 1u) << c.city;
    EXPECT_EQ(host_.messages[0].text, std::string("No Record Set Found. szSQL =") + c.query);
    EXPECT_EQ(host_.messages[0].style, ui::kExclamation);
    EXPECT_EQ(Scratch("WTH.DAT"), before) << c.city;
  }
}

TEST_F(Setup, MonthlyHoursThatMissTheYearAreAnErrorAndWriteNothing) {
  gProject.CityID = 502;
  const std::string before = Scratch("WTH.DAT");
  EXPECT_FALSE(frmMain::SetupWeatherData());
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].title, "frmMain.SetupWeatherData()");
  EXPECT_NE(host_.messages[0].text.find("monthly hours of bin 1 (101) do not add up to its yearly hours (100)"),
            std::string::npos)
      << host_.messages[0].text;
  EXPECT_EQ(Scratch("WTH.DAT"), before);
}

TEST_F(Setup, ANullInTheSiteDatabaseIsAnErrorNotAZero) {
  {
    // The shipped schema forbids NULLs; a database built elsewhere may hold them.
    auto d = db::Database::Open((root_ / "site.db").string(), db::OpenMode::kReadWrite);
    for (const char* table : {"City_Params", "ProfilesForSPLV"}) {
      d->Execute(std::string("CREATE TABLE Unchecked AS SELECT * FROM ") + table);
      d->Execute(std::string("DROP TABLE ") + table);
      d->Execute(std::string("ALTER TABLE Unchecked RENAME TO ") + table);
    }
    d->Execute("INSERT INTO City_Params VALUES (800, NULL, 90, 75, 30)");
    AddSite(*d, 800, 9, {80, 60, 30, 10}, 100, 100, 100);
    d->Execute("INSERT INTO City_Params VALUES (801, 10, 90, 75, 30)");
    AddSite(*d, 801, 9, {80, 60, 30, 10}, 100, 100, 100);
    d->Execute("UPDATE ProfilesForSPLV SET Bin2 = NULL WHERE CityID = 801 AND DataCategory IN (3, 4)");
  }
  struct Case {
    std::int16_t city;
    bool (*step)();
    const char* file;
    const char* message;
    const char* title;
  };
  const Case cases[] = {
      {800, frmMain::SetupWeatherData, "WTH.DAT", "Error in SetupWeatherData", "frmMain.SetupWeatherData()"},
      {801, frmMain::SetupWeatherData, "WTH.DAT", "Error in SetupWeatherData", "frmMain.SetupWeatherData()"},
      {801, frmMain::SetupLoadProfile, "LOD.DAT", "Error in SetupLoadProfile", "frmMain.SetupLoadProfile()"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.title) + " city " + std::to_string(c.city));
    host_.messages.clear();
    gProject.CityID = c.city;
    const std::string before = Scratch(c.file);
    EXPECT_FALSE(c.step());
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].title, c.title);
    EXPECT_EQ(host_.messages[0].text.rfind(c.message, 0), 0u) << host_.messages[0].text;
    EXPECT_NE(host_.messages[0].text.find("Invalid use of Null"), std::string::npos) << host_.messages[0].text;
    EXPECT_EQ(Scratch(c.file), before);
  }
}

// ---- load profile ------------------------------------------------------------------------

TEST_F(Setup, LoadProfileScalesCapsAndCutsOffEconomizerBins) {
  ASSERT_TRUE(frmMain::SetupWeatherData());
  struct Case {
    std::int16_t building;
    std::int16_t economizer;
    std::vector<float> pct;
  };
  // Template economizer limit 55 deg F; waterside cut-off 50 deg F.
  const Case cases[] = {
      {9, 0, {100, 60, 30, 10}},   // q = 1, highest bin raised to 100
      {10, 0, {100, 90, 45, 15}},  // q = 150 / min(100, 120) = 1.5: 120 capped at 100
      {9, 1, {100, 60, 0, 0}},     // outdoor air: bins at or below 55
      {9, 2, {100, 60, 30, 0}},    // waterside: bins at or below 50
  };
  for (const auto& c : cases) {
    gProject.BuildingID = c.building;
    gProject.Economizer = c.economizer;
    gProject.BuildingPeakLoad = 1000;
    gProject.BuildingType = "Test Building";
    ASSERT_TRUE(frmMain::SetupLoadProfile()) << c.building << "/" << c.economizer;
    LoadProfileData l;
    ASSERT_TRUE(modDataIO::bLoadProfileRead(l));
    EXPECT_EQ(l.sName, "Test Building" + std::string(35 - 13, ' ')) << "fixed text of 35 characters";
    EXPECT_EQ(l.bAirEconomizer, vb::ToBoolean(c.economizer == 1));
    EXPECT_FLOAT_EQ(l.fPeakLoad, 1000);
    for (int b = 1; b <= 4; ++b) {
      EXPECT_FLOAT_EQ(l.fBinLoadPercent(b), c.pct[b - 1])
          << "bin " << b << " case " << c.building << "/" << c.economizer;
      EXPECT_FLOAT_EQ(l.fBinLoad(b), 10.0F * c.pct[b - 1]);
    }
  }
}

TEST_F(Setup, LoadProfileWithoutALoadRowOrMaximumIsAnError) {
  for (std::int16_t city : {600, 700}) {
    host_.messages.clear();
    gProject.CityID = city;
    const std::string before = Scratch("LOD.DAT");
    EXPECT_FALSE(frmMain::SetupLoadProfile()) << city;
    EXPECT_EQ(host_.messages.size(), 1u) << city;
    EXPECT_EQ(Scratch("LOD.DAT"), before) << city;
  }
}

// ---- report options and the whole set-up ------------------------------------------------

TEST_F(Setup, ReportOptionsComeFromTheSettingsAndThePlantControl) {
  gSettings.CoverPage = false;
  gSettings.ShowLogo = true;
  gSettings.SummaryReport = false;
  gSettings.CustomPLVFactors = true;
  gSettings.LoadProfileGraph = true;
  for (std::int16_t control : {1, 3}) {
    gProject.PlantControl = control;
    ASSERT_TRUE(frmMain::SetupReportOptions());
    ReportData r;
    ASSERT_TRUE(modDataIO::bReportsRead(r));
    EXPECT_EQ(r.bCoverPage, vb::kFalse);
    EXPECT_EQ(r.bShowLogo, vb::kTrue);
    EXPECT_EQ(r.bSummaryReport, vb::kFalse);
    EXPECT_EQ(r.bCustomPLVFactors, vb::kTrue);
    EXPECT_EQ(r.bLoadProfileGraph, vb::kTrue);
    EXPECT_EQ(r.AnalysedSystemIndex, control == 1 ? 1 : 2);
    EXPECT_EQ(r.bInputSummary, vb::kTrue) << "template-only switches stay";
  }
}

TEST_F(Setup, TheWholeSetUpStopsAtTheFirstFailingStep) {
  ASSERT_TRUE(frmMain::SetupCalculationData()) << (host_.messages.empty() ? "" : host_.messages[0].text);
  gProject.CityID = 999;  // no City_Params row: the weather step fails
  gProject.BuildingPeakLoad = 777;
  const std::string lod = Scratch("LOD.DAT");
  const std::string rpt = Scratch("RPT.DAT");
  EXPECT_FALSE(frmMain::SetupCalculationData());
  EXPECT_EQ(Scratch("LOD.DAT"), lod) << "the load step did not run";
  EXPECT_EQ(Scratch("RPT.DAT"), rpt);
}

}  // namespace
