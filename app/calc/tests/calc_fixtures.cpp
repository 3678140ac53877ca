#include "app/calc/tests/calc_fixtures.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "app/calc/modCalcs.h"
#include "app/storage/index_schema.h"
#include "app/storage/modDataIO.h"
#include "app/storage/record_codec.h"
#include "platform/db/db.h"

namespace calctest {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  const fs::path dir =
      fs::temp_directory_path() / ("kestrin-calc-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(dir);
  fs::create_directories(dir);
  path_ = dir.string() + "/";
  {
    auto db = db::Database::Open(path_ + "INX.MDB", db::OpenMode::kCreate);
    db->Execute(modDataIO::kIndexSchemaSql);
    db->Close();
  }
  previous_ = modDataIO::DataFolder();
  modDataIO::DataFolder(path_);
}

ScratchFolder::~ScratchFolder() {
  modDataIO::DataFolder(previous_);
  std::error_code ec;
  fs::remove_all(path_, ec);
}

ChillerData Chiller600() {
  ChillerData ch;
  ch.sName = "Centrifugal 600";
  ch.nType = 1;
  ch.fDesignLCHWT = 44;
  ch.fDesignECWT = 85;
  ch.fFLCapacity = 600;
  ch.fFLPower = 0.57f;
  ch.nFLPowerType = 0;
  ch.fMinLoadPct = 10;
  ch.fMinECWT = 60;
  ch.fEvapWaterFlow = 1440;
  ch.fCondWaterFlow = 1800;
  ch.nNumECWTPoints = 4;
  ch.nNumLoadPoints = 5;
  const float ecwt[] = {85, 75, 65, 55};
  const float fraction[] = {1.0f, 0.75f, 0.5f, 0.25f, 0.1f};
  for (int c = 1; c <= 4; ++c) {
    ch.fECWTPoints(c) = ecwt[c - 1];
    // Colder condenser water: a little more capacity and less input per ton.
    const float capFactor = 1.0f + 0.004f * (85 - ecwt[c - 1]);
    const float kwFactor = 1.0f - 0.012f * (85 - ecwt[c - 1]);
    for (int r = 1; r <= 5; ++r) {
      const float plr = fraction[r - 1];
      ch.fCapacityMap(c, r) = 600 * plr * capFactor;
      ch.fPowerMap(c, r) = 0.57f * kwFactor * (0.16f / plr + 0.84f - 0.2f * (1 - plr));
    }
  }
  return ch;
}

TowerData Tower600() {
  TowerData tw;
  tw.sName = "Tower 600";
  tw.nEqptType = 2;
  tw.fDesignWB = 78;
  tw.fDesignRange = 9.3f;
  tw.fDesignApproach = 7;
  tw.fDesignFanKW = 0.04f;  // per ton of heat rejection
  tw.nFanKWAbsolute = 0;
  tw.nCapacityControl = 3;
  tw.nLowSpeedAirflowPct = 50;
  tw.fFanElecEffPct = 90;
  tw.fCondWaterFlow = 1800;
  return tw;
}

SystemData TwoChillerSystem() {
  SystemData s;
  s.sName = "Plant A";
  s.nNumChillers = 2;
  s.nPlantControl = 1;
  s.fDesignLCHWT = 44;
  s.nCondPumpControl = 0;
  s.fCondPumpHead = 60;
  s.fCondPumpEffValue = 70;
  s.nMinCondFlowPercent = 100;
  s.fTotalCondWaterFlow = 3600;
  for (int i = 1; i <= 2; ++i) {
    s.sChillerNames(i) = "CH-" + std::to_string(i);
    s.nChillerIDs(i) = 1;
    s.nTowerIDs(i) = 1;
  }
  s.nLCHWTResetMode = 1;
  s.nEvapFlowControl = 1;
  s.fEvapPumpHead = 50;
  s.fChilledWaterPumpHead = 70;
  s.fMinChwFlowPercent = 50;
  return s;
}

WeatherData FiveBinWeather() {
  WeatherData w;
  w.sName = "Testville";
  w.fElevation = 600;
  w.sDayTypeNames(0) = "WEEKDAY";
  w.sDayTypeNames(1) = "SATURDAY";
  w.sDayTypeNames(2) = "SUNDAY";
  w.bDayOperated(0) = -1;
  w.nStartTime(0) = 700;
  w.nStopTime(0) = 1800;
  w.bDayOperated(1) = -1;
  w.nStartTime(1) = 800;
  w.nStopTime(1) = 800;
  w.bDayOperated(2) = 0;
  w.nNumBins = 5;
  const float db[] = {95, 85, 75, 65, 55};
  const float wb[] = {75, 71, 65, 58, 50};
  const int hours[] = {50, 300, 600, 800, 700};
  for (int b = 1; b <= 5; ++b) {
    w.fBinDB(b) = db[b - 1];
    w.fBinMCWB(b) = wb[b - 1];
    w.lBinHours(b) = hours[b - 1];
    w.lTotalHours += hours[b - 1];
    // The whole year also stands in month 1 (the set-up spreads a site's hours over its
    // months; one month is simpler to check by hand).
    w.fMonthBinMCWB(1, b) = wb[b - 1];
    w.lMonthBinHours(1, b) = hours[b - 1];
  }
  w.lMonthHours(1) = w.lTotalHours;
  return w;
}

LoadProfileData FiveBinLoad() {
  LoadProfileData lp;
  lp.sName = "Office";
  lp.fPeakLoad = 1000;
  const float load[] = {1000, 850, 650, 450, 250};
  for (int b = 1; b <= 5; ++b) {
    lp.fBinLoad(b) = load[b - 1];
    lp.fBinLoadPercent(b) = load[b - 1] / 10;
  }
  return lp;
}

ReportData PLVReport() {
  ReportData r;
  r.ReportType = 2;
  r.AnalysedSystemIndex = 1;
  r.nEfficiencyInput = 0;
  return r;
}

bool WriteDefaultPlant(const WeatherData& weather, const LoadProfileData& load) {
  return modDataIO::bChillerWrite(1, Chiller600()) && modDataIO::bTowerWrite(1, Tower600()) &&
         modDataIO::bSystemWrite(1, TwoChillerSystem()) && modDataIO::bWeatherWrite(weather) &&
         modDataIO::bLoadProfileWrite(load) && modDataIO::bReportsWrite(PLVReport());
}

bool WriteDefaultPlant() { return WriteDefaultPlant(FiveBinWeather(), FiveBinLoad()); }

EconomicsData TwentyYearEconomics() {
  EconomicsData eco;
  eco.sCurrency = "$";
  eco.nLifeCycleYears = 20;
  eco.fDiscountRate = 7;
  eco.fElecEscalation = 3;
  eco.fMaintEscalation = 2;
  eco.fElecRate = 0.12f;
  eco.fDemandRate = 15;
  return eco;
}

bool WriteEconomicRun(const ScratchFolder& scratch, const WeatherData& weather, const SystemData& first,
                      const SystemData& second, const EconomicsData& eco) {
  if (!WriteDefaultPlant(weather, Bins24Load())) return false;
  if (!modDataIO::bSystemWrite(1, first) || !modDataIO::bSystemWrite(2, second)) return false;
  auto index = db::Database::Open(scratch.File("INX.MDB"), db::OpenMode::kReadWrite);
  index->Execute("UPDATE Systems SET bSelected = -1");
  index->Close();
  ReportData report;
  report.ReportType = 1;
  report.nTypeOfCostCalcs = 2;
  report.bIncludePumpEnergy = vb::kTrue;
  report.bIncludeTowerEnergy = vb::kTrue;
  report.nSysEffType = 1;
  if (!modDataIO::bReportsWrite(report)) return false;
  std::ofstream(scratch.File("ECO.DAT"), std::ios::binary) << modDataIO::codec::Encode(eco);
  return true;
}

WeatherData Bins24Weather() {
  WeatherData w = FiveBinWeather();
  w.nNumBins = 24;
  w.lTotalHours = 0;
  for (int b = 1; b <= 24; ++b) {
    w.fBinDB(b) = 102.5f - 5 * b;  // 97.5 .. -17.5 F
    w.fBinMCWB(b) = std::min(76.0f, w.fBinDB(b) - 2.0f) - 0.15f * std::max(0.0f, w.fBinDB(b) - 60);
    w.lBinHours(b) = 40 + 30 * std::min(b, 25 - b);  // most hours in the middle bins
    w.lTotalHours += w.lBinHours(b);
    w.fMonthBinMCWB(1, b) = w.fBinMCWB(b);
    w.lMonthBinHours(1, b) = w.lBinHours(b);
  }
  w.lMonthHours(1) = w.lTotalHours;
  return w;
}

LoadProfileData Bins24Load() {
  LoadProfileData lp = FiveBinLoad();
  lp.fPeakLoad = 1100;
  for (int b = 1; b <= 24; ++b) {
    // A base load plus an envelope share rising with the dry bulb.
    const float db = 102.5f - 5 * b;
    lp.fBinLoad(b) = 220 + std::max(0.0f, db - 40) * 15;
    lp.fBinLoadPercent(b) = lp.fBinLoad(b) / 11;
  }
  return lp;
}

std::unique_ptr<PLVProfileData> ThreeChillerProfile(bool si) {
  auto p = std::make_unique<PLVProfileData>();
  p->sSystemName = "Test Plant";
  p->nNumChillerResults = 3;
  p->nPlantControl = 1;
  p->fDesignLCHWT = 44;
  p->nSingleTower = 0;
  p->nLastLoadBin = 3;
  struct BinRow {
    float db, mcwb;
    int32_t hours;
    float load, pct;
    int16_t on;
    float chillerPct, ecwt;
  };
  const BinRow bins[] = {{95, 75, 100, 1100, 100, 3, 91.7f, 84.9f},
                         {85, 70, 200, 425, 38.6f, 2, 70.8f, 79.5f},
                         {75, 65, 300, 250, 22.7f, 1, 50, 70}};
  for (int b = 1; b <= 3; ++b) {
    const BinRow& r = bins[b - 1];
    PLVBinData& bin = p->Bins(b);
    bin.fDB = r.db;
    bin.fMCWB = r.mcwb;
    bin.lHours = r.hours;
    bin.fLoad = r.load;
    bin.lLoadHours = static_cast<int32_t>(r.load * r.hours);
    bin.fLoadPercent = r.pct;
    bin.nChillersOn = r.on;
    bin.fChillerPctLoad = r.chillerPct;
    bin.fECWT = r.ecwt;
    bin.fInput = r.load * 0.6f;
    bin.fEfficiency = 0.6f;
    p->lTotalHours += bin.lHours;
    p->lTotalLoadHours += bin.lLoadHours;
  }
  struct ChillerRow {
    const char* tag;
    const char* name;
    float capacity, kwPerTon;
    int16_t group;
    float load[3], ecwt[3];
  };
  const ChillerRow chillers[] = {{"CH-1", "Centrifugal 500", 500, 0.6f, 1, {500, 375, 250}, {85, 80, 70}},
                                 {"CH-2", "Centrifugal 500", 500, 0.6f, 1, {500, 0, 0}, {85, 0, 0}},
                                 {"CH-3", "Screw 200", 200, 0.7f, 2, {100, 50, 0}, {84, 78, 0}}};
  for (int c = 1; c <= 3; ++c) {
    const ChillerRow& row = chillers[c - 1];
    ChillerResultData& r = p->ChillerResults(c);
    r.sSlotName = row.tag;
    r.sChillerName = row.name;
    r.fCapacity = row.capacity;
    r.fFLEfficiency = row.kwPerTon;
    r.nChillerType = 1;
    r.nCycleType = 1;
    r.nCondenserType = 2;
    r.nEfficiencyKind = 1;
    r.fDesignLCHWT = 44;
    r.fDesignECWT = 85;
    r.fIPLV = 0.5f;
    r.nGroup = row.group;
    r.bFirstOfGroup = c != 2 ? vb::kTrue : vb::kFalse;
    for (int b = 1; b <= 3; ++b) {
      const float load = row.load[b - 1];
      r.bBinOn(b) = load > 0 ? vb::kTrue : vb::kFalse;
      r.fBinLoad(b) = load;
      r.fBinLoadPercent(b) = 100 * load / row.capacity;
      r.fBinECWT(b) = row.ecwt[b - 1];
      r.fBinEfficiency(b) = load > 0 ? row.kwPerTon : 0;
      if (load > 0) r.vBinValues(b) = static_cast<double>(load) * row.kwPerTon;
    }
  }
  modCalcs::bCalcCPLV(*p, si);
  return p;
}

PLVSummaryData ThreeChillerSummary() {
  PLVSummaryData s;
  s.sCityName = "Testville";
  s.sDaySchedules(0) = "0800-1800: Weekday";
  s.sDaySchedules(1) = "Off All Day: Saturday";
  s.sDaySchedules(2) = "Off All Day: Sunday";
  s.nNumPeriods = 1;
  s.sPeriods(0) = "Full Year";
  s.SetProfileKind(kThreeLoadPoints);
  s.fPeakLoad = 1100;
  s.fPeakLoadTemp = 95;
  s.fLoad2 = 425;
  s.fLoad2Temp = 85;
  s.fLoad3 = 250;
  s.fLoad3Temp = 75;
  return s;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\r\n";
  return s;
}

}  // namespace calctest
