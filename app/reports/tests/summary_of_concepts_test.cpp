// The summary of concepts' load profile item counts the site database's cities and building
// types; a database that cannot be read leaves the counts out and is recorded as an error
// passed over, never silently.
#include <filesystem>
#include <fstream>

#include "app/reports/tests/report_fixture.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vberror.h"
#include "platform/db/db.h"

namespace reporttest {
namespace {

namespace fs = std::filesystem;

class SummaryOfConcepts : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    savedAppPath_ = modpublic::gAppPath;
  }
  void TearDown() override {
    modpublic::gAppPath = savedAppPath_;
    ReportTest::TearDown();
  }
  // The text of the table's row 12, the load profile item.
  std::string LoadProfileRow() {
    EXPECT_TRUE(report->GenerateSummaryOfConceptsTable());
    const auto tables = Tables();
    if (tables.size() != 1u || tables[0]->rows.size() != 21u) {
      ADD_FAILURE() << "no summary table";
      return {};
    }
    return TextOf(tables[0]->rows[11].cells[0].paragraphs.at(0));
  }
  std::string savedAppPath_;
};

// The counts are the shipped database's own: the cities and building types the program
// offers, and the combinations of them that have a load profile, which is every one.
TEST_F(SummaryOfConcepts, CountsComeFromTheShippedSiteDatabase) {
  modpublic::gAppPath = std::string(KESTRIN_PROGRAM_DIR) + "/";
  const auto database = db::Database::Open(modpublic::gAppPath + "RIZIRure.rev", db::OpenMode::kImmutable);
  ASSERT_TRUE(database);
  const auto count = [&](const std::string& sql) {
    auto st = database->Prepare(sql);
    EXPECT_TRUE(st.Step()) << sql;
    return st.Int(0);
  };
  const int64_t cities = count("SELECT COUNT(*) FROM Cities WHERE bSelect <> 0");
  const int64_t types = count("SELECT COUNT(*) FROM BuildingTypes WHERE bSelect <> 0");
  const int64_t profiled = count(
      "SELECT COUNT(*) FROM (SELECT DISTINCT p.CityID, p.BuildingTypeID FROM ProfilesForSPLV p "
      "JOIN Cities c ON c.ID = p.CityID JOIN BuildingTypes b ON b.ID = p.BuildingTypeID "
      "WHERE c.bSelect <> 0 AND b.bSelect <> 0)");
  ASSERT_GT(cities, 1);
  ASSERT_GT(types, 1);
  EXPECT_EQ(profiled, cities * types) << "a load profile for each combination";
  const long ignored = vb::IgnoredErrorCount();
  const std::string row = LoadProfileRow();
  EXPECT_EQ(row.rfind(" 2. A building cooling load profile", 0), 0u) << row;
  EXPECT_NE(
      row.find("Kestrin's site database holds " + std::to_string(cities) + " cities and " + std::to_string(types) +
               " building types, and one load profile for each of the " + std::to_string(profiled) + " combinations,"),
      std::string::npos)
      << row;
  EXPECT_EQ(vb::IgnoredErrorCount(), ignored);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(SummaryOfConcepts, UnreadableSiteDatabaseIsRecordedAndTheTextGoesOnWithoutCounts) {
  const fs::path folder = fs::path(dir.path().toStdString()) / "program";
  fs::create_directories(folder);
  std::ofstream(folder / "RIZIRure.rev") << "this is no database";
  modpublic::gAppPath = folder.string() + "/";
  const long ignored = vb::IgnoredErrorCount();
  const std::string row = LoadProfileRow();
  EXPECT_EQ(vb::IgnoredErrorCount(), ignored + 1);
  EXPECT_NE(row.find("one load profile for each combination of city and building type"), std::string::npos) << row;
  EXPECT_EQ(row.find(" cities and "), std::string::npos) << row;
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace reporttest
