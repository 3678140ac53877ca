// The calculation set-up and the start-up file steps of the main window: they work from
// gProject and gSettings alone and never need the window to be shown.
//
// Every set-up step returns whether its scratch record was written. A failing step shows
// its message and the whole set-up stops there, so that no calculation ever runs on the
// templates or on the previous run's records.
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/program/frmMain.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/db/db.h"
#include "platform/ui/ui.h"

std::string gDataDBPath;

SystemData frmMain::m_System;
ChillerData frmMain::m_Chiller;
TowerData frmMain::m_Tower;
WeatherData frmMain::m_Weather;
LoadProfileData frmMain::m_LoadProfile;
ReportData frmMain::gReportData;

namespace {

using modDataIO::gProject;
using modDataIO::gSettings;

constexpr int kMaxChillers = 30;
constexpr int kMaxBins = 24;
constexpr std::size_t kWeatherNameWidth = 42;
constexpr std::size_t kLoadNameWidth = 35;
constexpr std::size_t kChillerNameWidth = 12;
constexpr float kWatersideCutoffDB = 50.0F;
const char* const kNoRecordSet = "No Record Set Found. szSQL =";
constexpr long kInvalidUseOfNull = 94;

// Runs a step body; on an exception the error becomes the current error and the box shows
// the step text as it stood when the error happened, with the critical icon.
template <class F>
bool RunStep(const std::string& location, const std::string& step, F&& body) {
  return modpublic::RunGuarded(location, step, ui::kCritical, std::forward<F>(body));
}

// A template file must exist in the program folder; reading never creates it.
void RequireTemplate(const std::string& folder, const std::string& file) {
  if (!std::filesystem::is_regular_file(folder + file)) {
    vb::Raise(vb::kFileNotFound, "Template file not found: " + folder + file);
  }
}

// The chiller count as an index into the 30 slots; 0 would divide by zero below.
int CheckedChillerNumber() {
  const int n = gProject.ChillerNumber;
  if (n < 1) vb::Raise(vb::kDivisionByZero, "The number of chillers must be at least 1.");
  vb::CheckIndex(n, 1, kMaxChillers);
  return n;
}

std::string Cut(const std::string& text, std::size_t width) {
  return text.size() > width ? text.substr(0, width) : text;
}

std::string PadRight(std::string text, std::size_t width) {
  text = Cut(text, width);
  text.resize(width, ' ');
  return text;
}

std::shared_ptr<db::Database> OpenSiteDatabase() {
  // Installed data, read by every user at once: no lock, nothing created beside it.
  return db::Database::Open(frmMain::SiteDatabasePath(), db::OpenMode::kImmutable);
}

std::string BinColumns() {
  std::string cols;
  for (int b = 1; b <= kMaxBins; ++b) cols += ", Bin" + std::to_string(b);
  return cols;
}

void NoRecordSet(const std::string& query) { ui::host().messageBox(kNoRecordSet + query, ui::kExclamation, ""); }

// A database value the set-up uses. NULL is no number: assigning it to a numeric field is
// the run-time error "Invalid use of Null" rather than a silent zero.
struct Value {
  double number = 0;
  bool isNull = true;
  double Number() const {
    if (isNull) vb::Raise(kInvalidUseOfNull, "Invalid use of Null");
    return number;
  }
  float Single() const { return vb::CSng(Number()); }
};

Value Column(const db::Statement& st, int column) { return {st.Double(column), st.IsNull(column)}; }

// One row of ProfilesForSPLV as the set-up reads it; a value is checked when it is used.
struct ProfileRow {
  int category = 0;
  Value binNum;
  std::array<Value, kMaxBins> bin{};
  Value maxBinLoad, maxPlantLoad, maxHourlyLoad;
};

std::vector<ProfileRow> ReadProfileRows(db::Database& database, const std::string& where, int cityId, int buildingId) {
  auto st = database.Prepare("SELECT DataCategory, BinNum" + BinColumns() +
                             ", MaxBinLoad, MaxPlantLoad, MaxHourlyLoad FROM ProfilesForSPLV WHERE " + where +
                             " ORDER BY DataCategory");
  st.Bind(1, cityId).Bind(2, buildingId);
  std::vector<ProfileRow> rows;
  while (st.Step()) {
    ProfileRow r;
    r.category = static_cast<int>(std::trunc(Column(st, 0).Number()));
    r.binNum = Column(st, 1);
    for (int b = 0; b < kMaxBins; ++b) r.bin[b] = Column(st, 2 + b);
    r.maxBinLoad = Column(st, 2 + kMaxBins);
    r.maxPlantLoad = Column(st, 3 + kMaxBins);
    r.maxHourlyLoad = Column(st, 4 + kMaxBins);
    rows.push_back(r);
  }
  return rows;
}

// Whole bin hours of a database value: at most a leap year's hours.
std::int32_t BinHours(const Value& v) {
  const double hours = std::trunc(v.Number());
  if (!(hours >= 0 && hours <= 8784)) vb::Raise(vb::kOverflow, "Bin hours outside 0 to 8784.");
  return static_cast<std::int32_t>(hours);
}

// The site's bins month by month (MonthlyBins) into the weather record's monthly tables,
// which the set-up has cleared. The months of a bin must add up to its yearly hours: the
// economic calculation prices the months, the part-load calculation the year, and both must
// see the same hours. False (with the database's no-record message) when the site has no
// monthly rows.
bool ReadMonthlyBins(db::Database& database, int cityId, int buildingId, WeatherData& w) {
  auto st =
      database.Prepare("SELECT Month, Bin, Hours, CoincWB FROM MonthlyBins WHERE CityID = ?1 AND BuildingTypeID = ?2");
  st.Bind(1, cityId).Bind(2, buildingId);
  bool any = false;
  while (st.Step()) {
    any = true;
    const int m = vb::CInt(Column(st, 0).Number());
    const int b = vb::CInt(Column(st, 1).Number());
    vb::CheckIndex(m, 1, 12);
    vb::CheckIndex(b, 1, w.nNumBins);
    w.lMonthBinHours(m, b) = BinHours(Column(st, 2));
    w.fMonthBinMCWB(m, b) = Column(st, 3).Single();
    w.lMonthHours(m) += w.lMonthBinHours(m, b);
  }
  if (!any) {
    NoRecordSet("SELECT * FROM MonthlyBins WHERE CityID = " + std::to_string(cityId) +
                " And BuildingTypeID = " + std::to_string(buildingId));
    return false;
  }
  for (int b = 1; b <= w.nNumBins; ++b) {
    std::int64_t sum = 0;
    for (int m = 1; m <= 12; ++m) sum += w.lMonthBinHours(m, b);
    if (sum != w.lBinHours(b)) {
      vb::Raise(vb::kInvalidProcedureCall, "The monthly hours of bin " + std::to_string(b) + " (" +
                                               std::to_string(sum) + ") do not add up to its yearly hours (" +
                                               std::to_string(w.lBinHours(b)) + ").");
    }
  }
  return true;
}

// The building type's weekly schedule becomes the weather record's schedule texts, so that
// the summary shows the hours the bins were counted over. A database without the schedule
// columns keeps the template's texts.
void CopySchedule(db::Database& database, int buildingId, WeatherData& w) {
  std::optional<db::Statement> st;
  try {
    st.emplace(
        database.Prepare("SELECT WeekdayOn, WeekdayStart, WeekdayStop, SaturdayOn, SaturdayStart, SaturdayStop, "
                         "SundayOn, SundayStart, SundayStop FROM BuildingTypes WHERE ID = ?1"));
  } catch (const db::Error&) {
    return;  // no schedule columns in this database
  }
  st->Bind(1, buildingId);
  if (!st->Step()) return;
  const char* const names[3] = {"Weekday", "Saturday", "Sunday"};
  for (int d = 0; d < 3; ++d) {
    w.sDayTypeNames(d) = names[d];
    w.bDayOperated(d) = vb::ToBoolean(st->Int(3 * d) != 0);
    w.nStartTime(d) = static_cast<std::int16_t>(st->Int(3 * d + 1));
    w.nStopTime(d) = static_cast<std::int16_t>(st->Int(3 * d + 2));
  }
}

}  // namespace

// ---- folders ---------------------------------------------------------------------------

std::string frmMain::ProgramFolder() {
  std::string folder = modpublic::gAppPath.empty() ? modDataIO::GetAppFolder() : modpublic::gAppPath;
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string frmMain::SiteDatabasePath() { return gDataDBPath.empty() ? ProgramFolder() + "RIZIRure.rev" : gDataDBPath; }

bool frmMain::PrepareDataFiles() {
  std::string step = "Set fso = New FileSystemObject ";
  return modpublic::RunGuarded(
      "Module1.Main()", [&] { return step + " failed"; }, ui::kCritical,
      [&] {
        modDataIO::DataFolder(modDataIO::GetTempFolder());
        std::filesystem::create_directories(modDataIO::GetAppDataFolder());
        std::filesystem::create_directories(modDataIO::GetTempFolder());
        // The scratch folder is this program's until it ends; a second program on the same
        // folder stops here with its box and touches nothing.
        if (!modDataIO::bLockDataFolder(modDataIO::GetTempFolder())) return false;
        step = "CopyFiles ";
        // CopyFiles shows its own box naming the file that could not be copied.
        if (!modDataIO::CopyFiles(ProgramFolder(), modDataIO::GetTempFolder())) return false;
        gDataDBPath = ProgramFolder() + "RIZIRure.rev";
        return true;
      });
}

// ---- the whole set-up ------------------------------------------------------------------

bool frmMain::SetupCalculationData() {
  // The set-up rewrites the scratch records: the scratch folder must be this program's.
  if (!modDataIO::bLockDataFolder()) return false;
  // The scratch index stays open for the whole set-up, so the statements of its record
  // writes are prepared once.
  std::shared_ptr<db::Database> index;
  if (!modDataIO::bOpenIndexDatabase(index, false)) return false;
  return SetupSystem() && SetupChiller() && SetupCoolingTower() && SetupWeatherData() && SetupLoadProfile() &&
         SetupReportOptions();
}

// ---- systems -----------------------------------------------------------------------------

bool frmMain::SetupSystem() {
  float evapHead = 0, chwHead = 0, condHead = 0;
  bool headsFound = false;
  GetPumpHeads(gProject.PlantCapacity, evapHead, chwHead, condHead, headsFound);

  std::string step;
  for (std::int16_t s = 1; s <= 2; ++s) {
    step = "Setup System: " + std::to_string(s);
    const bool ok = RunStep("frmMain.SetupSystem()", step, [&] {
      const std::string folder = ProgramFolder();
      RequireTemplate(folder, "SYS.DAT");
      SystemData rec;
      if (!modDataIO::bSystemRead(s, rec, folder)) return false;
      const int n = CheckedChillerNumber();
      rec.fDesignLCHWT = gProject.DesignLCHWT;
      rec.nNumChillers = static_cast<std::int16_t>(n);
      rec.fTotalCondWaterFlow = gProject.CondFlowRate * gProject.PlantCapacity;
      rec.nEvapFlowControl = gProject.EvapFlowControl;
      const bool waterside = gProject.Economizer == 2;
      rec.bWaterEconomizer = vb::ToBoolean(waterside);
      rec.nEconomizerType = static_cast<std::int16_t>(waterside ? 2 : 0);
      if (headsFound) {
        rec.fCondPumpHead = condHead;
        rec.fEvapPumpHead = evapHead;
        rec.fChilledWaterPumpHead = chwHead;
      }
      rec.nChillerIDs.fill(0);
      rec.nTowerIDs.fill(0);
      for (int k = 1; k <= n; ++k) {
        rec.sChillerNames(k) = PadRight("CH-" + std::to_string(k), kChillerNameWidth);
        rec.nChillerIDs(k) = 1;
        rec.nTowerIDs(k) = 1;
      }
      if (!modDataIO::bSystemWrite(s, rec)) return false;
      m_System = rec;
      return true;
    });
    if (!ok) return false;
  }
  return true;
}

bool frmMain::InterpolatePumpHeads(const PumpHeadTable& t, float c, float& evap, float& chw, float& cond) {
  const int count = t.count;
  if (count < 2 || t.Capacity.size() < static_cast<std::size_t>(count) ||
      t.EvapPumpHead.size() < static_cast<std::size_t>(count) ||
      t.ChilledWaterPumpHead.size() < static_cast<std::size_t>(count) ||
      t.CondPumpHead.size() < static_cast<std::size_t>(count)) {
    return false;
  }
  for (int k = 1; k < count; ++k) {
    if (!(t.Capacity[k] > t.Capacity[k - 1])) {
      vb::Raise(vb::kDivisionByZero, "Two pump-head rows have the same capacity.");
    }
  }
  // First row (0-based here) whose capacity exceeds c; count when there is none.
  int i = 0;
  while (i < count && !(t.Capacity[i] > c)) ++i;
  if (c <= t.Capacity[0] || i == 0) {
    evap = t.EvapPumpHead[0];
    chw = t.ChilledWaterPumpHead[0];
    cond = t.CondPumpHead[0];
  } else if (c < t.Capacity[count - 1]) {
    const float f = (c - t.Capacity[i - 1]) / (t.Capacity[i] - t.Capacity[i - 1]);
    evap = (t.EvapPumpHead[i] - t.EvapPumpHead[i - 1]) * f + t.EvapPumpHead[i - 1];
    chw = (t.ChilledWaterPumpHead[i] - t.ChilledWaterPumpHead[i - 1]) * f + t.ChilledWaterPumpHead[i - 1];
    cond = (t.CondPumpHead[i] - t.CondPumpHead[i - 1]) * f + t.CondPumpHead[i - 1];
  } else {
    evap = t.EvapPumpHead[count - 1];
    chw = t.ChilledWaterPumpHead[count - 1];
    cond = t.CondPumpHead[count - 1];
  }
  return true;
}

void frmMain::GetPumpHeads(float capacity, float& evap, float& chw, float& cond, bool& result) {
  result = false;
  PumpHeadTable table;
  if (!LoadPumpHeadDataTable(table) || table.count < 2) return;
  float e = evap, w = chw, k = cond;
  result = RunStep("frmMain.GetPumpHeads()", "The pump-head table of the site database is invalid.",
                   [&] { return InterpolatePumpHeads(table, capacity, e, w, k); });
  if (result) {
    evap = e;
    chw = w;
    cond = k;
  }
}

bool frmMain::LoadPumpHeadDataTable(PumpHeadTable& table) {
  std::string step;
  return RunStep("frmMain.LoadPumpHeadDataTable()", step, [&] {
    auto database = OpenSiteDatabase();
    step = "OpenRecordset";
    auto st = database->Prepare(
        "SELECT Capacity, EvapPumpHead, ChilledWaterPumpHead, CondPumpHead FROM PumpHead "
        "WHERE EvapFlowControl = ?1 ORDER BY Capacity");
    st.Bind(1, static_cast<int>(gProject.EvapFlowControl));
    step = "ReDim pumpHead";
    PumpHeadTable t;
    step = "With pumpHead";
    while (st.Step()) {
      step = "Do While nCount = " + std::to_string(t.Capacity.size() + 1);
      t.Capacity.push_back(Column(st, 0).Single());
      t.EvapPumpHead.push_back(Column(st, 1).Single());
      t.ChilledWaterPumpHead.push_back(Column(st, 2).Single());
      t.CondPumpHead.push_back(Column(st, 3).Single());
      if (t.Capacity.size() > 32767) vb::Raise(vb::kOverflow);
    }
    t.count = static_cast<std::int16_t>(t.Capacity.size());
    table = std::move(t);
    return true;
  });
}

// ---- chiller and tower -----------------------------------------------------------------

bool frmMain::SetupChiller() {
  std::string step = "Error in read chiller";
  return RunStep("frmMain.SetupChiller()", step, [&] {
    const std::string folder = ProgramFolder();
    RequireTemplate(folder, "CHL.DAT");
    ChillerData rec;
    if (!modDataIO::bChillerRead(1, rec, folder)) return false;
    const int n = CheckedChillerNumber();
    if (!(rec.fFLCapacity > 0)) {
      vb::Raise(vb::kDivisionByZero, "The template chiller has no full-load capacity.");
    }
    const double capacity = static_cast<double>(gProject.PlantCapacity) / n;
    const double ratio = capacity / rec.fFLCapacity;
    rec.fFLCapacity = static_cast<float>(capacity);
    rec.fDesignLCHWT = gProject.DesignLCHWT;
    rec.fDesignECWT = gProject.DesignECWT;
    rec.fMinECWT = gProject.MinECWT;
    rec.fCondWaterFlow = gProject.CondFlowRate * rec.fFLCapacity;
    rec.fEvapWaterFlow = gProject.EvapFlowRate * rec.fFLCapacity;
    step = "error in set performance map";
    for (int r = 1; r <= rec.nNumLoadPoints; ++r) {
      for (int e = 1; e <= rec.nNumECWTPoints; ++e) {
        rec.fCapacityMap(e, r) = static_cast<float>(rec.fCapacityMap(e, r) * ratio);
      }
    }
    if (!modDataIO::bChillerWrite(1, rec)) return false;
    m_Chiller = rec;
    return true;
  });
}

bool frmMain::SetupCoolingTower() {
  return RunStep("frmMain.SetupCoolingTower()", "Error in SetupCoolingTower", [&] {
    const std::string folder = ProgramFolder();
    RequireTemplate(folder, "TWR.DAT");
    TowerData rec;
    if (!modDataIO::bTowerRead(1, rec, folder)) return false;
    const int n = CheckedChillerNumber();
    rec.fDesignApproach = gProject.DesignApproach;
    rec.fDesignWB = gProject.DesignWB;
    rec.fCondWaterFlow = gProject.PlantCapacity * gProject.CondFlowRate / static_cast<float>(n);
    // Heat rejected per ton (12 kBtu/h plus the chiller input at 3.412 kBtu/h per kW, with
    // fFLPower in kW per ton) over 0.499696 kBtu/h per gpm and deg F and the flow per ton.
    rec.fDesignRange =
        static_cast<float>(vb::Divide(vb::Divide(m_Chiller.fFLPower * 3.412 + 12.0, 0.499696), gProject.CondFlowRate));
    if (!modDataIO::bTowerWrite(1, rec)) return false;
    m_Tower = rec;
    return true;
  });
}

// ---- weather and load profile ----------------------------------------------------------

bool frmMain::SetupWeatherData() {
  return RunStep("frmMain.SetupWeatherData()", "Error in SetupWeatherData", [&] {
    const std::string folder = ProgramFolder();
    RequireTemplate(folder, "WTH.DAT");
    WeatherData w;
    if (!modDataIO::bWeatherRead(w, folder)) return false;
    auto database = OpenSiteDatabase();
    const int city = gProject.CityID;
    const int building = gProject.BuildingID;

    const std::string paramsQuery = "SELECT * FROM City_Params WHERE City_ID = " + std::to_string(city);
    auto params = database->Prepare(
        "SELECT Elevation, Summer_Design_DB, Summer_Coinc_WB, Winter_Design_DB FROM City_Params "
        "WHERE City_ID = ?1");
    params.Bind(1, city);
    if (!params.Step()) {
      NoRecordSet(paramsQuery);
      return false;
    }
    w.fElevation = Column(params, 0).Single();
    w.fSummerDesignDB = Column(params, 1).Single();
    w.fSummerCoincWB = Column(params, 2).Single();
    w.fWinterDesignDB = Column(params, 3).Single();

    const std::string profileQuery = "SELECT * FROM ProfilesForSPLV WHERE CityID = " + std::to_string(city) +
                                     " And BuildingTypeID = " + std::to_string(building);
    const auto rows = ReadProfileRows(*database, "CityID = ?1 AND BuildingTypeID = ?2", city, building);
    if (rows.size() < 3) {
      NoRecordSet(profileQuery);
      return false;
    }

    w.nNumBins = 0;
    w.fBinDB.fill(0);
    w.fBinMCWB.fill(0);
    w.lBinHours.fill(0);
    w.fMonthBinMCWB.fill(0);
    w.lMonthBinHours.fill(0);
    w.lMonthHours.fill(0);
    w.lTotalHours = 0;
    for (const auto& row : rows) {
      w.nNumBins = vb::CInt(row.binNum.Number());
      vb::CheckIndex(w.nNumBins, 0, kMaxBins);
      for (int b = 1; b <= w.nNumBins; ++b) {
        const Value& v = row.bin[b - 1];
        switch (row.category) {
          case 1:
            w.fBinDB(b) = v.Single();
            break;
          case 2:
            w.fBinMCWB(b) = v.Single();
            break;
          case 3:
            w.lBinHours(b) = BinHours(v);
            w.lTotalHours += w.lBinHours(b);
            break;
          default:
            break;
        }
      }
    }
    if (!ReadMonthlyBins(*database, city, building, w)) return false;
    w.sName = Cut(gProject.CityName, kWeatherNameWidth);
    CopySchedule(*database, building, w);
    if (!modDataIO::bWeatherWrite(w)) return false;
    m_Weather = w;
    return true;
  });
}

bool frmMain::SetupLoadProfile() {
  return RunStep("frmMain.SetupLoadProfile()", "Error in SetupLoadProfile", [&] {
    const std::string folder = ProgramFolder();
    RequireTemplate(folder, "LOD.DAT");
    LoadProfileData l;
    if (!modDataIO::bLoadProfileRead(l, folder)) return false;
    l.bAirEconomizer = vb::ToBoolean(gProject.Economizer == 1);
    l.fPeakLoad = gProject.BuildingPeakLoad;
    l.sName = Cut(gProject.BuildingType, kLoadNameWidth);

    auto database = OpenSiteDatabase();
    const int city = gProject.CityID;
    const int building = gProject.BuildingID;
    const auto rows =
        ReadProfileRows(*database, "DataCategory = 4 AND CityID = ?1 AND BuildingTypeID = ?2", city, building);
    if (rows.empty()) {
      NoRecordSet("SELECT * FROM ProfilesForSPLV WHERE DataCategory = 4 And CityID = " + std::to_string(city) +
                  " And BuildingTypeID = " + std::to_string(building));
      return false;
    }
    const ProfileRow& row = rows.front();
    const float maxBin = row.maxBinLoad.Single();
    const float maxPlant = row.maxPlantLoad.Single();
    const float maxHourly = row.maxHourlyLoad.Single();
    const float divisor = maxPlant < maxHourly ? maxPlant : maxHourly;
    if (!(divisor > 0)) {
      vb::Raise(vb::kDivisionByZero, "The site database has no maximum plant or hourly load for this site.");
    }
    const float q = maxBin / divisor;

    float highest = 0;
    int highestBin = 1;
    for (int b = 1; b <= kMaxBins; ++b) {
      float pct = vb::CSng(q * row.bin[b - 1].Number());
      if (pct > 100.0F) pct = 100.0F;
      l.fBinLoadPercent(b) = pct;
      if (pct > highest) {
        highest = pct;
        highestBin = b;
      }
    }
    if (highest < 100.0F) l.fBinLoadPercent(highestBin) = 100.0F;

    for (int b = 1; b <= kMaxBins; ++b) {
      if (gProject.Economizer == 1 && m_Weather.fBinDB(b) <= l.fEconomizerLimitDB) l.fBinLoadPercent(b) = 0;
      if (gProject.Economizer == 2 && m_Weather.fBinDB(b) <= kWatersideCutoffDB) l.fBinLoadPercent(b) = 0;
      l.fBinLoad(b) = l.fPeakLoad * l.fBinLoadPercent(b) / 100.0F;
    }
    if (!modDataIO::bLoadProfileWrite(l)) return false;
    m_LoadProfile = l;
    return true;
  });
}

// ---- report options --------------------------------------------------------------------

bool frmMain::SetupReportOptions() {
  ReportData r;
  if (!modDataIO::bReportsRead(r)) return false;
  r.bCoverPage = vb::ToBoolean(gSettings.CoverPage);
  r.bShowLogo = vb::ToBoolean(gSettings.ShowLogo);
  r.bSummaryReport = vb::ToBoolean(gSettings.SummaryReport);
  r.bCustomPLVFactors = vb::ToBoolean(gSettings.CustomPLVFactors);
  r.bLoadProfileGraph = vb::ToBoolean(gSettings.LoadProfileGraph);
  r.AnalysedSystemIndex = gProject.PlantControl == 1 ? 1 : 2;
  if (!modDataIO::bReportsWrite(r)) return false;
  gReportData = r;
  return true;
}
