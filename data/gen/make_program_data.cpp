// Builds the program data from the readable sources in data/:
//   RIZIRure.rev  the site and building database (SQLite)
//   CHL.DAT, SYS.DAT, TWR.DAT, WTH.DAT, LOD.DAT, RPT.DAT, ECO.DAT   the template records
//   INX.MDB       the system library index of the templates (SQLite)
//   HW1.DAT       an empty file the start-up copy expects
//
// Usage: make_program_data <data source folder> <program folder>
//
// Everything is written under temporary names in the program folder and renamed into
// place at the end, so an interrupted build never leaves a half-written file behind.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iostream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "app/calc/custom_plv.h"
#include "app/storage/record_codec.h"
#include "app/storage/scratch_records.h"
#include "data/gen/chiller_map.h"
#include "data/gen/site_model.h"
#include "data/gen/site_sources.h"
#include "data/gen/sql_script.h"
#include "data/gen/text_tables.h"
#include "libs/psychro/PSYCHEN32.h"
#include "platform/db/db.h"

namespace fs = std::filesystem;
using texttables::IniFile;

namespace {

constexpr int kDefaultCityId = 79;
constexpr int kDefaultBuildingTypeId = 9;

struct Output {
  fs::path dir;
  std::vector<std::pair<fs::path, fs::path>> staged;  // temporary -> final

  fs::path Stage(const std::string& name) {
    fs::path tmp = dir / (name + ".building");
    fs::remove(tmp);
    staged.emplace_back(tmp, dir / name);
    return tmp;
  }
  void Commit() {
    for (const auto& [tmp, final] : staged) {
      fs::rename(tmp, final);
      // the database layer's process lock beside a database built under the temporary name
      fs::remove(fs::path(tmp.string() + ".lock"));
    }
  }
};

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// A keyed record file: slot n at n x record size, slot 0 and any gap all zero bytes.
template <class R>
std::string KeyedFile(const std::map<int, R>& records) {
  const std::size_t size = modDataIO::codec::EncodedSize(R{});
  const int last = records.empty() ? 0 : records.rbegin()->first;
  std::string bytes((last + 1) * size, '\0');
  for (const auto& [id, rec] : records) bytes.replace(id * size, size, modDataIO::codec::Encode(rec));
  return bytes;
}

double WetBulb(double pressure, double dryBulb, double dewPoint) {
  const float pv = static_cast<float>(PSYCHEN32::SatVaporPresFromDB(static_cast<float>(dewPoint)));
  const float w = PSYCHEN32::SpecHumFromVP(static_cast<float>(pressure), pv);
  return PSYCHEN32::WetBulbFromDBSH(static_cast<float>(pressure), static_cast<float>(dryBulb), w);
}

double Pressure(double elevationFt) { return PSYCHEN32::BaromPres(static_cast<float>(elevationFt)); }

double Round1(double v) { return std::round(v * 10.0) / 10.0; }

struct SiteProfile {
  sitemodel::BinTable bins;
  sitemodel::LoadRow load;
};

SiteProfile MakeProfile(const sitesources::City& city, const sitemodel::BuildingType& type,
                        const sitemodel::ModelParameters& params, const sitemodel::Scatter& scatter) {
  SiteProfile p;
  p.bins = sitemodel::MakeBins(city.climate, type, params, scatter, WetBulb, Pressure);
  // The load model sees the wet bulbs as stored (to 0.1 deg F).
  for (double& wb : p.bins.coincWetBulb) wb = Round1(wb);
  for (auto& month : p.bins.monthWetBulb)
    for (double& wb : month) wb = Round1(wb);
  p.load = sitemodel::MakeLoadRow(city.climate, type, params, scatter, p.bins);
  return p;
}

SiteProfile MakeProfile(const sitesources::City& city, const sitemodel::BuildingType& type,
                        const sitemodel::ModelParameters& params) {
  return MakeProfile(city, type, params, sitemodel::FitScatter(city.climate, params));
}

// ---- site database -------------------------------------------------------------------

void InsertProfileRow(db::Statement& ins, int city, int type, int category, const std::vector<double>& bins,
                      double maxBin, double maxPlant, double maxHourly) {
  ins.Reset();
  ins.Bind(1, city).Bind(2, type).Bind(3, category).Bind(4, static_cast<int>(bins.size()));
  for (int b = 0; b < sitemodel::kMaxBins; ++b) {
    ins.Bind(5 + b, b < static_cast<int>(bins.size()) ? bins[b] : 0.0);
  }
  ins.Bind(29, maxBin).Bind(30, maxPlant).Bind(31, maxHourly);
  ins.Run();
}

// Every bin of every month of a city and building type: hours and mean coincident wet bulb.
void InsertMonthRows(db::Statement& ins, int city, int type, const sitemodel::BinTable& bins) {
  for (int m = 0; m < 12; ++m) {
    for (std::size_t b = 0; b < bins.dryBulb.size(); ++b) {
      ins.Reset();
      ins.Bind(1, city).Bind(2, type).Bind(3, m + 1).Bind(4, static_cast<int>(b + 1));
      ins.Bind(5, static_cast<double>(bins.monthHours[b][m])).Bind(6, bins.monthWetBulb[b][m]);
      ins.Run();
    }
  }
}

void BuildSiteDatabase(const fs::path& path, const std::string& dataDir, const std::vector<sitesources::City>& cities,
                       const std::vector<sitemodel::BuildingType>& types, const sitemodel::ModelParameters& params) {
  auto database = db::Database::Open(path.string(), db::OpenMode::kCreate);
  sqlscript::Run(*database, (fs::path(dataDir) / "sql" / "site_schema.sql").string());
  db::Transaction tx(*database);

  auto named = [&](const std::string& table, const std::string& parent,
                   const std::vector<sitesources::NamedRow>& rows) {
    std::string sql = "INSERT INTO " + table + " (ID, RefName, bSelect" +
                      (parent.empty() ? ") VALUES (?1, ?2, ?3)" : ", " + parent + ") VALUES (?1, ?2, ?3, ?4)");
    auto ins = database->Prepare(sql);
    for (const auto& r : rows) {
      ins.Reset();
      ins.Bind(1, r.id).Bind(2, r.name).Bind(3, r.select ? 1 : 0);
      if (!parent.empty()) ins.Bind(4, r.parentId);
      ins.Run();
    }
  };
  named("Regions", "", sitesources::LoadRegions(dataDir));
  named("Locations", "Region_ID", sitesources::LoadLocations(dataDir));
  std::vector<sitesources::NamedRow> cityRows;
  for (const auto& c : cities) cityRows.push_back({c.climate.id, c.climate.name, true, c.locationId});
  named("Cities", "Location_ID", cityRows);

  auto bt = database->Prepare(
      "INSERT INTO BuildingTypes (ID, sBuildingType, bSelect, WeekdayOn, WeekdayStart, WeekdayStop, "
      "SaturdayOn, SaturdayStart, SaturdayStop, SundayOn, SundayStart, SundayStop) "
      "VALUES (?1, ?2, 1, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
  for (const auto& t : types) {
    bt.Reset();
    bt.Bind(1, t.id).Bind(2, t.name);
    for (int d = 0; d < 3; ++d) {
      bt.Bind(3 + 3 * d, t.days[d].operated ? 1 : 0).Bind(4 + 3 * d, t.days[d].start).Bind(5 + 3 * d, t.days[d].stop);
    }
    bt.Run();
  }

  auto cp = database->Prepare(
      "INSERT INTO City_Params (City_ID, Elevation, Summer_Design_DB, Summer_Coinc_WB, Winter_Design_DB) "
      "VALUES (?1, ?2, ?3, ?4, ?5)");
  for (const auto& c : cities) {
    cp.Reset();
    cp.Bind(1, c.climate.id)
        .Bind(2, c.climate.elevationFt)
        .Bind(3, c.climate.summerDesignDB)
        .Bind(4, c.climate.summerCoincWB)
        .Bind(5, c.climate.winterDesignDB);
    cp.Run();
  }

  std::string sql = "INSERT INTO ProfilesForSPLV (CityID, BuildingTypeID, DataCategory, BinNum";
  for (int b = 1; b <= sitemodel::kMaxBins; ++b) sql += ", Bin" + std::to_string(b);
  sql += ", MaxBinLoad, MaxPlantLoad, MaxHourlyLoad) VALUES (?1";
  for (int i = 2; i <= 31; ++i) sql += ", ?" + std::to_string(i);
  sql += ")";
  auto ins = database->Prepare(sql);
  auto monthIns = database->Prepare(
      "INSERT INTO MonthlyBins (CityID, BuildingTypeID, Month, Bin, Hours, CoincWB) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
  for (const auto& c : cities) {
    const sitemodel::Scatter scatter = sitemodel::FitScatter(c.climate, params);
    for (const auto& t : types) {
      const SiteProfile p = MakeProfile(c, t, params, scatter);
      std::vector<double> hours(p.bins.hours.begin(), p.bins.hours.end());
      std::vector<double> pct;
      for (double v : p.load.percent) pct.push_back(Round1(v));
      InsertProfileRow(ins, c.climate.id, t.id, 1, p.bins.dryBulb, 0, 0, 0);
      InsertProfileRow(ins, c.climate.id, t.id, 2, p.bins.coincWetBulb, 0, 0, 0);
      InsertProfileRow(ins, c.climate.id, t.id, 3, hours, 0, 0, 0);
      InsertProfileRow(ins, c.climate.id, t.id, 4, pct, Round1(p.load.maxBinLoad), Round1(p.load.maxPlantLoad),
                       Round1(p.load.maxHourlyLoad));
      InsertMonthRows(monthIns, c.climate.id, t.id, p.bins);
    }
  }

  auto ph = database->Prepare(
      "INSERT INTO PumpHead (EvapFlowControl, Capacity, EvapPumpHead, ChilledWaterPumpHead, CondPumpHead) "
      "VALUES (?1, ?2, ?3, ?4, ?5)");
  for (const auto& r : sitesources::LoadPumpHeads(dataDir)) {
    ph.Reset();
    ph.Bind(1, r.evapFlowControl)
        .Bind(2, r.capacity)
        .Bind(3, r.evapHead)
        .Bind(4, r.chilledWaterHead)
        .Bind(5, r.condHead);
    ph.Run();
  }
  tx.Commit();
}

// ---- template records ------------------------------------------------------------------

// Sets the fields of `rec` that the keys of an INI section name, through the codec's list of
// the record's fields: a whole-number field takes a whole number, a text field the text.
// A key that names no number or text field of the record is an error, unless it is one of
// `otherKeys` (values the builder reads itself).
template <class R>
void ReadFields(const IniFile& ini, const std::string& section, R& rec,
                std::initializer_list<std::string_view> otherKeys = {}) {
  std::set<std::string> unknown;
  for (const std::string& key : ini.Keys(section)) {
    if (std::find(otherKeys.begin(), otherKeys.end(), key) == otherKeys.end()) unknown.insert(key);
  }
  modDataIO::codec::VisitScalarFields(rec, [&](const char* name, modDataIO::codec::FieldRef field) {
    if (!ini.Has(section, name)) return;
    unknown.erase(name);
    std::visit(
        [&](auto* member) {
          using T = std::remove_pointer_t<decltype(member)>;
          if constexpr (std::is_same_v<T, std::string>) {
            *member = ini.Text(section, name);
          } else if constexpr (std::is_integral_v<T>) {
            *member = static_cast<T>(ini.Integer(section, name));
          } else {
            *member = static_cast<T>(ini.Number(section, name));
          }
        },
        field);
  });
  if (!unknown.empty())
    throw std::runtime_error("[" + section + "] " + *unknown.begin() + " names no field of the record");
}

const sitesources::City& FindCity(const std::vector<sitesources::City>& cities, int id) {
  for (const auto& c : cities)
    if (c.climate.id == id) return c;
  throw std::runtime_error("no city " + std::to_string(id));
}

const sitemodel::BuildingType& FindType(const std::vector<sitemodel::BuildingType>& types, int id) {
  for (const auto& t : types)
    if (t.id == id) return t;
  throw std::runtime_error("no building type " + std::to_string(id));
}

WeatherData MakeWeatherTemplate(const IniFile& ini, const sitesources::City& city, const sitemodel::BuildingType& type,
                                const sitemodel::ModelParameters& params) {
  WeatherData w;
  w.sName = city.climate.name;
  w.fSummerDesignDB = static_cast<float>(city.climate.summerDesignDB);
  w.fSummerCoincWB = static_cast<float>(city.climate.summerCoincWB);
  w.fWinterDesignDB = static_cast<float>(city.climate.winterDesignDB);
  w.fElevation = static_cast<float>(city.climate.elevationFt);
  const char* const names[3] = {"Weekday", "Saturday", "Sunday"};
  for (int d = 0; d < 3; ++d) {
    w.sDayTypeNames(d) = names[d];
    w.bDayOperated(d) = vb::ToBoolean(type.days[d].operated);
    w.nStartTime(d) = static_cast<std::int16_t>(type.days[d].start);
    w.nStopTime(d) = static_cast<std::int16_t>(type.days[d].stop);
  }
  const SiteProfile p = MakeProfile(city, type, params);
  w.nNumBins = static_cast<std::int16_t>(p.bins.dryBulb.size());
  for (int b = 1; b <= w.nNumBins; ++b) {
    w.fBinDB(b) = static_cast<float>(p.bins.dryBulb[b - 1]);
    w.fBinMCWB(b) = static_cast<float>(p.bins.coincWetBulb[b - 1]);
    w.lBinHours(b) = p.bins.hours[b - 1];
    w.lTotalHours += w.lBinHours(b);
    for (int m = 1; m <= 12; ++m) {
      w.fMonthBinMCWB(m, b) = static_cast<float>(p.bins.monthWetBulb[b - 1][m - 1]);
      w.lMonthBinHours(m, b) = p.bins.monthHours[b - 1][m - 1];
      w.lMonthHours(m) += w.lMonthBinHours(m, b);
    }
  }
  ReadFields(ini, "weather", w, {"CityID", "BuildingTypeID", "Period1"});
  const auto period = ini.Numbers("weather", "Period1");
  if (period.size() != 4) throw std::runtime_error("WTH.ini: Period1 needs four values");
  w.OperatingPeriods(1) = {static_cast<std::int16_t>(period[0]), static_cast<std::int16_t>(period[1]),
                           static_cast<std::int16_t>(period[2]), static_cast<std::int16_t>(period[3])};
  return w;
}

LoadProfileData MakeLoadTemplate(const IniFile& ini, const sitesources::City& city, const sitemodel::BuildingType& type,
                                 const sitemodel::ModelParameters& params) {
  LoadProfileData l;
  l.sName = type.name;
  ReadFields(ini, "load", l, {"CityID", "BuildingTypeID"});
  const SiteProfile p = MakeProfile(city, type, params);
  const double q = p.load.maxBinLoad / p.load.maxHourlyLoad;
  for (std::size_t b = 0; b < p.load.percent.size(); ++b) {
    const double pct = std::min(100.0, q * Round1(p.load.percent[b]));
    l.fBinLoadPercent(static_cast<long>(b + 1)) = static_cast<float>(pct);
    l.fBinLoad(static_cast<long>(b + 1)) = static_cast<float>(l.fPeakLoad * pct / 100.0);
  }
  return l;
}

ChillerData MakeChillerTemplate(const IniFile& ini, const std::string& curvesPath) {
  ChillerData c;
  ReadFields(ini, "chiller", c);

  const auto ecwt = ini.Numbers("map", "ECWT");
  const auto loads = ini.Numbers("map", "Loads");
  if (ecwt.size() > 14 || loads.size() > 28) throw std::runtime_error("CHL.ini: map larger than 14 x 28");
  const chillermap::Design design{c.fFLCapacity, c.fFLPower, c.fDesignLCHWT, c.fDesignECWT};
  const chillermap::Map map = chillermap::MakeMap(chillermap::LoadCurves(curvesPath), design, ecwt, loads);
  c.nNumECWTPoints = static_cast<std::int16_t>(ecwt.size());
  c.nNumLoadPoints = static_cast<std::int16_t>(loads.size());
  for (std::size_t e = 0; e < ecwt.size(); ++e) {
    c.fECWTPoints(static_cast<long>(e + 1)) = static_cast<float>(ecwt[e]);
    for (std::size_t r = 0; r < loads.size(); ++r) {
      c.fCapacityMap(static_cast<long>(e + 1), static_cast<long>(r + 1)) = static_cast<float>(map.capacity[e][r]);
      c.fPowerMap(static_cast<long>(e + 1), static_cast<long>(r + 1)) = static_cast<float>(map.input[e][r]);
    }
  }
  for (std::size_t r = 0; r < loads.size(); ++r) {
    c.nLoadPoints(static_cast<long>(r + 1)) = static_cast<std::int16_t>(std::lround(loads[r]));
  }
  for (int i = 0; i < 4; ++i) c.fMapCoef(i + 1) = static_cast<float>(map.coef[i]);
  return c;
}

// The chiller's standard IPLV (kW/ton): its own map rated by the calculation at 100, 75, 50
// and 25 % load with 85, 75, 65 and 65 deg F entering condenser water, weighted 1, 42, 45
// and 12 %.
double StandardIPLV(const ChillerData& chiller) {
  const float ecwt[] = {65, 65, 75, 85};  // rating points 25, 50, 75, 100 %
  vb::Array<float, 1, 4> weights;
  vb::Array<double, 1, 4> kwPerTon;
  const float w[] = {0.12f, 0.45f, 0.42f, 0.01f};
  for (int p = 1; p <= 4; ++p) {
    weights(p) = w[p - 1];
    if (!modCalcs::bCalcChillerKWPerTon(chiller, modCalcs::RatingPointPercent(p), ecwt[p - 1], kwPerTon(p)))
      throw std::runtime_error("CHL.ini: the chiller cannot be rated at " +
                               std::to_string(static_cast<int>(modCalcs::RatingPointPercent(p))) + " %");
  }
  double iplv = 0;
  if (!modCalcs::bCalcPLVFromRatingPoints(weights, kwPerTon, iplv)) throw std::runtime_error("CHL.ini: no IPLV");
  return iplv;
}

EconomicsData MakeEconomicsTemplate(const IniFile& ini) {
  EconomicsData e;
  ReadFields(ini, "economics", e);
  return e;
}

TowerData MakeTowerTemplate(const IniFile& ini) {
  TowerData t;
  ReadFields(ini, "tower", t);
  return t;
}

SystemData MakeSystemTemplate(const IniFile& ini, const std::string& section) {
  SystemData y;
  ReadFields(ini, "common", y);
  ReadFields(ini, section, y);
  if (y.nNumChillers < 0 || y.nNumChillers > 30) throw std::runtime_error("SYS.ini: nNumChillers outside 0..30");
  for (int k = 1; k <= y.nNumChillers; ++k) {
    y.sChillerNames(k) = "CH-" + std::to_string(k);
    y.nChillerIDs(k) = 1;
    y.nTowerIDs(k) = 1;
  }
  return y;
}

ReportData MakeReportTemplate(const IniFile& ini) {
  ReportData r;
  ReadFields(ini, "report", r);
  return r;
}

void BuildIndex(const fs::path& path, const std::string& dataDir, const ChillerData& chiller, const TowerData& tower,
                const std::map<int, SystemData>& systems) {
  auto database = db::Database::Open(path.string(), db::OpenMode::kCreate);
  sqlscript::Run(*database, (fs::path(dataDir) / "sql" / "index_schema.sql").string());
  db::Transaction tx(*database);
  database
      ->Prepare(
          "INSERT INTO Chillers (lID, sName, nType, fFLCapacity, fFLPower, fCondWaterFlow) "
          "VALUES (1, ?1, ?2, ?3, ?4, ?5)")
      .Bind(1, chiller.sName)
      .Bind(2, static_cast<int>(chiller.nType))
      .Bind(3, static_cast<double>(chiller.fFLCapacity))
      .Bind(4, static_cast<double>(chiller.fFLPower))
      .Bind(5, static_cast<double>(chiller.fCondWaterFlow))
      .Run();
  database->Prepare("INSERT INTO Towers (lID, sName, fCondWaterFlow) VALUES (1, ?1, ?2)")
      .Bind(1, tower.sName)
      .Bind(2, static_cast<double>(tower.fCondWaterFlow))
      .Run();
  for (const auto& [id, sys] : systems) {
    // Both template systems are selected: the economics run takes the selected systems.
    database->Prepare("INSERT INTO Systems (lID, sName, bSelected, fTotalCondWaterFlow) VALUES (?1, ?2, -1, ?3)")
        .Bind(1, id)
        .Bind(2, sys.sName)
        .Bind(3, static_cast<double>(sys.fTotalCondWaterFlow))
        .Run();
    database->Prepare("INSERT INTO SystemChiller (lSystemID, lChillerID) VALUES (?1, 1)").Bind(1, id).Run();
    database->Prepare("INSERT INTO SystemTower (lSystemID, lTowerID) VALUES (?1, 1)").Bind(1, id).Run();
  }
  tx.Commit();
}

void Build(const std::string& dataDir, const fs::path& programDir) {
  fs::create_directories(programDir);
  Output out{programDir, {}};
  const auto cities = sitesources::LoadCities(dataDir);
  const auto types = sitesources::LoadBuildingTypes(dataDir);
  const auto params = sitesources::LoadModelParameters(dataDir);
  const fs::path templates = fs::path(dataDir) / "templates";

  BuildSiteDatabase(out.Stage("RIZIRure.rev"), dataDir, cities, types, params);

  const auto& city = FindCity(cities, IniFile::Load((templates / "WTH.ini").string()).Integer("weather", "CityID"));
  const auto& type =
      FindType(types, IniFile::Load((templates / "WTH.ini").string()).Integer("weather", "BuildingTypeID"));
  WriteBytes(out.Stage("WTH.DAT"), modDataIO::codec::Encode(MakeWeatherTemplate(
                                       IniFile::Load((templates / "WTH.ini").string()), city, type, params)));

  const IniFile lodIni = IniFile::Load((templates / "LOD.ini").string());
  const LoadProfileData load1 = MakeLoadTemplate(lodIni, FindCity(cities, lodIni.Integer("load", "CityID")),
                                                 FindType(types, lodIni.Integer("load", "BuildingTypeID")), params);
  WriteBytes(out.Stage("LOD.DAT"), modDataIO::codec::Encode(load1) + modDataIO::codec::Encode(LoadProfileData{}));

  WriteBytes(out.Stage("RPT.DAT"),
             modDataIO::codec::Encode(MakeReportTemplate(IniFile::Load((templates / "RPT.ini").string()))));
  WriteBytes(out.Stage("ECO.DAT"),
             modDataIO::codec::Encode(MakeEconomicsTemplate(IniFile::Load((templates / "ECO.ini").string()))));

  ChillerData chiller =
      MakeChillerTemplate(IniFile::Load((templates / "CHL.ini").string()), (templates / "chiller_curves.ini").string());
  chiller.fIPLV = static_cast<float>(StandardIPLV(chiller));
  const TowerData tower = MakeTowerTemplate(IniFile::Load((templates / "TWR.ini").string()));
  const IniFile sysIni = IniFile::Load((templates / "SYS.ini").string());
  const std::map<int, SystemData> systems = {{1, MakeSystemTemplate(sysIni, "system1")},
                                             {2, MakeSystemTemplate(sysIni, "system2")}};
  WriteBytes(out.Stage("CHL.DAT"), KeyedFile<ChillerData>({{1, chiller}}));
  WriteBytes(out.Stage("TWR.DAT"), KeyedFile<TowerData>({{1, tower}}));
  WriteBytes(out.Stage("SYS.DAT"), KeyedFile(systems));
  BuildIndex(out.Stage("INX.MDB"), dataDir, chiller, tower, systems);
  WriteBytes(out.Stage("HW1.DAT"), "");
  out.Commit();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_program_data <data source folder> <program folder>\n";
    return 2;
  }
  try {
    Build(argv[1], argv[2]);
  } catch (const std::exception& e) {
    std::cerr << "make_program_data: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
