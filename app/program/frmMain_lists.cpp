// The main window's reference lists: regions, locations, cities and building types from the
// site database, and the three fixed lists. Each entry carries its record's id as item data;
// the project's id is selected after filling (modpublic::SelectItemByItemData).
#include <memory>
#include <string>

#include "app/program/frmMain.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vberror.h"
#include "platform/db/db.h"
#include "platform/ui/ui.h"

using modDataIO::gProject;

namespace {

struct DatabaseList {
  frmMain::List list;
  const char* sql;  // the id of the selected parent entry is bound as ?1 where used
  const char* message;
  const char* location;
};

// The entry text and the id of every selectable record; the names sort without regard to
// case (the columns are declared so), building types keep the database's order.
const DatabaseList kRegions{frmMain::cboRegion,
                            "SELECT RefName, ID FROM Regions WHERE bSelect = True ORDER BY RefName ",
                            "Error in Load Regions", "frmMain.LoadRegions()"};
const DatabaseList kLocations{
    frmMain::cboLocation, "SELECT RefName, ID FROM Locations WHERE bSelect = True and Region_ID = ?1 ORDER BY RefName ",
    "Error in Load Locations", "frmMain.LoadLocations()"};
const DatabaseList kCities{frmMain::cboCity,
                           "SELECT RefName, ID FROM Cities WHERE bSelect = True and Location_ID = ?1 ORDER BY RefName ",
                           "Error in Load Cities", "frmMain.LoadCities()"};
const DatabaseList kBuildingTypes{frmMain::cboBuildingType,
                                  "SELECT sBuildingType, ID FROM BuildingTypes WHERE bSelect = True ORDER BY rowid ",
                                  "Error in Load Building Types", "frmMain.LoadBuildingTypes()"};

// Fills the box from the query and selects `selectId`. `parent` is the box whose selected
// entry's id the query needs, or null.
void LoadDatabaseList(frmMain::View& view, const DatabaseList& source, const frmMain::ComboBox* parent, long selectId) {
  const std::string path = frmMain::SiteDatabasePath();
  std::shared_ptr<db::Database> database;
  try {
    database = db::Database::Open(path, db::OpenMode::kImmutable);
  } catch (...) {
    database.reset();
  }
  if (!database) {
    ui::host().messageBox("OpenDatabase failed. File=" + path, ui::kExclamation, "");
    return;
  }
  modpublic::RunGuarded(source.location, source.message, ui::kCritical, [&] {
    // Cleared first: a query that finds nothing leaves the box empty rather than showing the
    // entries of the previous parent.
    frmMain::ComboBox& box = view.Combo(source.list);
    box.Clear();
    auto st = database->Prepare(source.sql);
    if (parent) {
      // No parent entry chosen (the project's is missing, or its list is empty): nothing can
      // be listed until one is; the parent's own message has said why.
      const int index = parent->ListIndex();
      if (index < 0) return;
      st.Bind(1, static_cast<std::int64_t>(parent->ItemData(index)));
    }
    // An empty result is an error, as moving to the first record of none is.
    if (!st.Step()) vb::Raise(vb::kNoCurrentRecord);
    do {
      box.AddItem(st.Text(0), static_cast<long>(st.Int(1)));
    } while (st.Step());
    modpublic::SelectItemByItemData(&box, selectId);
  });
  modpublic::CloseDatabase(database);
}

struct FixedEntry {
  const char* text;
  long code;
};

template <std::size_t N>
void LoadFixedList(frmMain::View& view, frmMain::List list, const FixedEntry (&entries)[N], long selectCode,
                   const char* location) {
  modpublic::RunGuarded(location, "", ui::kCritical, [&] {
    frmMain::ComboBox& box = view.Combo(list);
    box.Clear();
    for (const FixedEntry& e : entries) box.AddItem(e.text, e.code);
    modpublic::SelectItemByItemData(&box, selectCode);
  });
}

}  // namespace

void frmMain::LoadRegions() { LoadDatabaseList(*view_, kRegions, nullptr, gProject.RegionID); }

void frmMain::LoadLocations() { LoadDatabaseList(*view_, kLocations, &view_->Combo(cboRegion), gProject.LocationID); }

void frmMain::LoadCities() { LoadDatabaseList(*view_, kCities, &view_->Combo(cboLocation), gProject.CityID); }

void frmMain::LoadBuildingTypes() { LoadDatabaseList(*view_, kBuildingTypes, nullptr, gProject.BuildingID); }

void frmMain::LoadPlantControlList() {
  static const FixedEntry entries[] = {{"Sequenced", 1}, {"Equal Unloading", 4}};
  LoadFixedList(*view_, cboPlantControl, entries, gProject.PlantControl, "frmMain.LoadPlantControlList()");
}

void frmMain::LoadEconomizerList() {
  static const FixedEntry entries[] = {
      {"No Economizer", 0}, {"Outdoor Air Economizer", 1}, {"Waterside Economizer", 2}};
  LoadFixedList(*view_, cboEconomizer, entries, gProject.Economizer, "frmMain.LoadEconomizerList()");
}

void frmMain::LoadEvapFlowControlList() {
  static const FixedEntry entries[] = {{"Constant Primary Flow", 3}, {"Variable Primary Flow", 2}};
  LoadFixedList(*view_, cboEvapFlowControl, entries, gProject.EvapFlowControl, "LoadEvapFlowControlList");
}
