// The reference lists on a small site database of their own: the selectable filter, the order,
// the selection by id, and lists that come back empty.
#include <QComboBox>

#include "app/program/Module1.h"
#include "app/storage/modDataIO.h"
#include "app/program/tests/main_fixture.h"
#include "platform/db/db.h"

extern std::string gDataDBPath;

namespace {

using F = frmMain;
using modDataIO::gProject;

QStringList Entries(QComboBox* box) {
  QStringList texts;
  for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
  return texts;
}

class Lists : public MainTest {
 protected:
  void SetUp() override {
    MainTest::SetUp();
    savedPath_ = gDataDBPath;
    gDataDBPath = (TempDir() / "sites.rev").string();
    auto db = db::Database::Open(gDataDBPath, db::OpenMode::kCreate);
    db->Execute(R"(
      CREATE TABLE Regions (ID INTEGER PRIMARY KEY, RefName TEXT COLLATE NOCASE, bSelect INTEGER);
      CREATE TABLE Locations (ID INTEGER PRIMARY KEY, RefName TEXT COLLATE NOCASE, bSelect INTEGER,
                              Region_ID INTEGER);
      CREATE TABLE Cities (ID INTEGER PRIMARY KEY, RefName TEXT COLLATE NOCASE, bSelect INTEGER,
                           Location_ID INTEGER);
      CREATE TABLE BuildingTypes (ID INTEGER, sBuildingType TEXT, bSelect INTEGER);
      INSERT INTO Regions VALUES (1, 'beta', 1), (2, 'Alpha', 1), (3, 'gamma', 0), (4, 'Empty', 1);
      INSERT INTO Locations VALUES (10, 'zed', 1, 1), (11, 'Ann', 1, 1), (12, 'hidden', 0, 1),
                                   (20, 'Lonely', 1, 2);
      INSERT INTO Cities VALUES (100, 'c2', 1, 10), (101, 'C1', 1, 10), (102, 'x', 1, 11),
                                (103, 'off', 0, 10);
      INSERT INTO BuildingTypes VALUES (9, 'Office', 1), (3, 'Hotel', 1), (5, 'Closed', 0),
                                       (1, 'Arena', 1);
    )");
    db->Close();
    gProject.RegionID = 1;
    gProject.LocationID = 10;
    gProject.CityID = 101;
    gProject.BuildingID = 3;
  }
  void TearDown() override {
    MainTest::TearDown();
    gDataDBPath = savedPath_;
  }
  std::string savedPath_;
};

TEST_F(Lists, SelectableEntriesInNameOrderWithTheProjectsEntrySelected) {
  TestWindow& w = OpenWindow();
  EXPECT_EQ(Entries(w.comboBox(F::cboRegion)), QStringList({"Alpha", "beta", "Empty"}));
  EXPECT_EQ(w.comboBox(F::cboRegion)->currentText(), "beta");
  EXPECT_EQ(Entries(w.comboBox(F::cboLocation)), QStringList({"Ann", "zed"}));
  EXPECT_EQ(w.comboBox(F::cboLocation)->currentText(), "zed");
  EXPECT_EQ(Entries(w.comboBox(F::cboCity)), QStringList({"C1", "c2"}));
  EXPECT_EQ(w.comboBox(F::cboCity)->currentText(), "C1");
  // Building types keep the database's order.
  EXPECT_EQ(Entries(w.comboBox(F::cboBuildingType)), QStringList({"Office", "Hotel", "Arena"}));
  EXPECT_EQ(w.comboBox(F::cboBuildingType)->currentText(), "Hotel");
  EXPECT_EQ(w.comboBox(F::cboBuildingType)->currentData().toInt(), 3);
  EXPECT_EQ(Entries(w.comboBox(F::cboPlantControl)), QStringList({"Sequenced", "Equal Unloading"}));
  EXPECT_EQ(Entries(w.comboBox(F::cboEconomizer)),
            QStringList({"No Economizer", "Outdoor Air Economizer", "Waterside Economizer"}));
  EXPECT_EQ(Entries(w.comboBox(F::cboEvapFlowControl)),
            QStringList({"Constant Primary Flow", "Variable Primary Flow"}));
  EXPECT_TRUE(host_.messages.empty());
}

// A value the lists do not hold is never replaced by another entry: its box shows no
// selection, one message names every such value, and Save refuses until one is chosen.
TEST_F(Lists, AnIdNoLongerInTheListSelectsNothingAndIsNamed) {
  gProject.CityID = 999;
  gProject.CityName = "Gone City";
  gProject.PlantControl = 2;
  gProject.PlantControlName = "Part Load Chiller: Low Loads";
  TestWindow& w = OpenWindow();
  EXPECT_EQ(w.comboBox(F::cboCity)->currentIndex(), -1);
  EXPECT_EQ(w.comboBox(F::cboCity)->currentText(), "");
  EXPECT_EQ(w.comboBox(F::cboPlantControl)->currentIndex(), -1);
  EXPECT_EQ(w.comboBox(F::cboLocation)->currentText(), "zed");  // the others as stored
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text,
            "This project names values the program does not hold:\n"
            "    city \"Gone City\" (code 999)\n"
            "    plant control \"Part Load Chiller: Low Loads\" (code 2)\n"
            "Choose one in each of these boxes. Until then the project can not be saved and no "
            "report can be run.");
  EXPECT_EQ(host_.messages[0].style, ui::kExclamation);
  EXPECT_EQ(gProject.CityID, 999);  // nothing stored for a value the user did not pick

  host_.messages.clear();
  bool valid = true;
  w.form().ValidateFormControls(valid);
  EXPECT_FALSE(valid);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, "No city is selected, the action can not be completed.");
}

// A missing region leaves the dependent lists empty without further error boxes.
TEST_F(Lists, AMissingRegionIsNamedOnceAndItsListsStayEmpty) {
  gProject.RegionID = 77;
  TestWindow& w = OpenWindow();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_NE(host_.messages[0].text.find("    region \""), std::string::npos) << host_.messages[0].text;
  EXPECT_NE(host_.messages[0].text.find("(code 77)\nChoose one in its box."), std::string::npos);
  EXPECT_EQ(w.comboBox(F::cboRegion)->currentIndex(), -1);
  EXPECT_EQ(w.comboBox(F::cboLocation)->count(), 0);
  EXPECT_EQ(w.comboBox(F::cboCity)->count(), 0);
}

TEST_F(Lists, ARegionWithoutLocationsReportsAndLeavesTheDependentListsEmpty) {
  TestWindow& w = OpenWindow();
  QComboBox* regions = w.comboBox(F::cboRegion);
  regions->setCurrentIndex(regions->findText("Empty"));
  emit regions->activated(regions->currentIndex());
  // One box for the empty query; the cities have no location to be listed for.
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text.rfind("Error in Load Locations", 0), 0u) << host_.messages[0].text;
  EXPECT_EQ(host_.messages[0].title, "frmMain.LoadLocations()");
  EXPECT_EQ(host_.messages[0].style, ui::kCritical);
  EXPECT_EQ(w.comboBox(F::cboLocation)->count(), 0);
  EXPECT_EQ(w.comboBox(F::cboCity)->count(), 0);
  EXPECT_EQ(gProject.RegionID, 4);
  // The project cannot be saved with these lists.
  host_.messages.clear();
  bool valid = true;
  w.form().ValidateFormControls(valid);
  EXPECT_FALSE(valid);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, "No location is selected, the action can not be completed.");
}

TEST_F(Lists, AMissingDatabaseIsReportedOncePerList) {
  gDataDBPath = (TempDir() / "nowhere.rev").string();
  OpenWindow();
  ASSERT_FALSE(host_.messages.empty());
  EXPECT_EQ(host_.messages[0].text, "OpenDatabase failed. File=" + gDataDBPath);
  EXPECT_EQ(host_.messages[0].style, ui::kExclamation);
}

}  // namespace
