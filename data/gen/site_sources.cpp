#include "data/gen/site_sources.h"

#include <map>
#include <stdexcept>

#include "data/gen/text_tables.h"

namespace sitesources {
namespace {

const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::vector<NamedRow> LoadNamed(const std::string& path, const std::string& parentColumn) {
  auto t = texttables::CsvTable::Load(path);
  std::vector<NamedRow> out;
  for (std::size_t r = 0; r < t.rows(); ++r) {
    NamedRow row;
    row.id = t.Integer(r, "ID");
    row.name = t.Text(r, "RefName");
    row.select = t.Integer(r, "bSelect") != 0;
    if (!parentColumn.empty()) row.parentId = t.Integer(r, parentColumn);
    out.push_back(row);
  }
  return out;
}

int Hhmm(const texttables::CsvTable& t, std::size_t r, const std::string& column) {
  const int v = t.Integer(r, column);
  if (v < 0 || v > 2400 || v % 100 >= 60) throw std::runtime_error("bad time in " + column);
  return v;
}

// A day of the year (0..364) from a month-day number MMDD; -1 for 0 (no date).
int DayOfYear(const texttables::CsvTable& t, std::size_t r, const std::string& column) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int v = t.Integer(r, column);
  if (v == 0) return -1;
  const int month = v / 100, day = v % 100;
  if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) {
    throw std::runtime_error("bad month-day in " + column);
  }
  int doy = day - 1;
  for (int m = 0; m < month - 1; ++m) doy += kDays[m];
  return doy;
}

}  // namespace

std::vector<City> LoadCities(const std::string& dataDir) {
  auto t = texttables::CsvTable::Load(dataDir + "/climate/cities.csv");
  auto m = texttables::CsvTable::Load(dataDir + "/climate/monthly.csv");
  std::map<int, std::map<std::string, std::array<double, 12>>> monthly;
  for (std::size_t r = 0; r < m.rows(); ++r) {
    std::array<double, 12> v{};
    for (int k = 0; k < 12; ++k) v[k] = m.Number(r, kMonths[k]);
    monthly[m.Integer(r, "CityID")][m.Text(r, "Element")] = v;
  }
  std::vector<City> out;
  for (std::size_t r = 0; r < t.rows(); ++r) {
    City c;
    auto& cl = c.climate;
    cl.id = t.Integer(r, "ID");
    cl.name = t.Text(r, "RefName");
    cl.elevationFt = t.Number(r, "Elevation");
    cl.summerDesignDB = t.Number(r, "Summer_Design_DB");
    cl.summerCoincWB = t.Number(r, "Summer_Coinc_WB");
    cl.winterDesignDB = t.Number(r, "Winter_Design_DB");
    for (auto [column, field] :
         {std::pair{"Summer_DB_1pct", &cl.summerDesignDB1}, std::pair{"Summer_DB_2pct", &cl.summerDesignDB2}}) {
      const std::string& text = t.Text(r, column);
      if (!text.empty()) *field = texttables::ParseNumber(text, std::string("cities.csv ") + column);
    }
    const std::string hemisphere = t.Text(r, "Hemisphere");
    if (hemisphere != "N" && hemisphere != "S") throw std::runtime_error("cities.csv: Hemisphere is N or S");
    cl.southern = hemisphere == "S";
    c.locationId = t.Integer(r, "Location_ID");
    c.climateClass = t.Text(r, "Climate");
    const auto& rows = monthly[cl.id];
    for (const char* element : {"TMAX", "TMIN", "TDEW"}) {
      if (!rows.count(element)) {
        throw std::runtime_error("monthly.csv: city " + std::to_string(cl.id) + " lacks " + element);
      }
    }
    cl.tmax = rows.at("TMAX");
    cl.tmin = rows.at("TMIN");
    cl.tdew = rows.at("TDEW");
    out.push_back(c);
  }
  return out;
}

std::vector<sitemodel::BuildingType> LoadBuildingTypes(const std::string& dataDir) {
  auto t = texttables::CsvTable::Load(dataDir + "/buildings/building_types.csv");
  std::vector<sitemodel::BuildingType> out;
  const char* const dayNames[3] = {"Weekday", "Saturday", "Sunday"};
  for (std::size_t r = 0; r < t.rows(); ++r) {
    sitemodel::BuildingType b;
    b.id = t.Integer(r, "ID");
    b.name = t.Text(r, "sBuildingType");
    for (int d = 0; d < 3; ++d) {
      const std::string n = dayNames[d];
      b.days[d].operated = t.Integer(r, n + "On") != 0;
      b.days[d].start = Hhmm(t, r, n + "Start");
      b.days[d].stop = Hhmm(t, r, n + "Stop");
    }
    b.breakFirstDay = DayOfYear(t, r, "BreakFirst");
    b.breakLastDay = DayOfYear(t, r, "BreakLast");
    if ((b.breakFirstDay < 0) != (b.breakLastDay < 0)) {
      throw std::runtime_error("building_types.csv: a break needs its first and last day");
    }
    b.baseShare = t.Number(r, "BaseShare");
    b.balancePointDB = t.Number(r, "BalancePointDB");
    b.coldSpan = t.Number(r, "ColdSpan");
    b.envelopeShare = t.Number(r, "EnvelopeShare");
    b.ventilationShare = t.Number(r, "VentilationShare");
    out.push_back(b);
  }
  return out;
}

sitemodel::ModelParameters LoadModelParameters(const std::string& dataDir) {
  const auto ini = texttables::IniFile::Load(dataDir + "/climate/site_model.ini");
  sitemodel::ModelParameters p;
  p.sunriseHour = ini.Number("diurnal", "SunriseHour");
  p.peakHour = ini.Number("diurnal", "PeakHour");
  p.coolingDesignShare = ini.Number("design levels", "CoolingShare") / 100.0;
  p.heatingDesignShare = ini.Number("design levels", "HeatingShare") / 100.0;
  p.sigmaMin = ini.Number("scatter", "SigmaMin");
  p.sigmaMax = ini.Number("scatter", "SigmaMax");
  p.amplitudeMin = ini.Number("diurnal", "AmplitudeMin");
  p.amplitudeMax = ini.Number("diurnal", "AmplitudeMax");
  p.dewScatterFactor = ini.Number("moisture", "DewPerScatter");
  p.designMoistureSpan = ini.Number("moisture", "DesignMoistureSpan");
  p.designMonthShare = ini.Number("moisture", "DesignMonthShare") / 100.0;
  p.roomWetBulb = ini.Number("loads", "RoomWetBulb");
  p.minVentilationSpan = ini.Number("loads", "MinVentilationSpan");
  p.typeDesignShare = ini.Number("loads", "TypeDesignShare") / 100.0;
  if (!(p.sunriseHour >= 0 && p.sunriseHour < p.peakHour && p.peakHour < 24) ||
      !(p.sigmaMin > 0 && p.sigmaMin < p.sigmaMax) ||
      !(p.amplitudeMin > 0 && p.amplitudeMin < 1 && p.amplitudeMax > 1) || !(p.designMoistureSpan > 0) ||
      !(p.designMonthShare > 0) || !(p.minVentilationSpan > 0)) {
    throw std::runtime_error("site_model.ini: a value outside its range");
  }
  return p;
}

std::vector<NamedRow> LoadRegions(const std::string& dataDir) { return LoadNamed(dataDir + "/sites/regions.csv", ""); }

std::vector<NamedRow> LoadLocations(const std::string& dataDir) {
  return LoadNamed(dataDir + "/sites/locations.csv", "Region_ID");
}

std::vector<PumpHeadRow> LoadPumpHeads(const std::string& dataDir) {
  auto t = texttables::CsvTable::Load(dataDir + "/plant/pump_heads.csv");
  std::vector<PumpHeadRow> out;
  for (std::size_t r = 0; r < t.rows(); ++r) {
    out.push_back({t.Integer(r, "EvapFlowControl"), t.Number(r, "Capacity"), t.Number(r, "EvapPumpHead"),
                   t.Number(r, "ChilledWaterPumpHead"), t.Number(r, "CondPumpHead")});
  }
  return out;
}

}  // namespace sitesources
