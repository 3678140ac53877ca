// Loads the readable sources of the site database (data/climate, data/buildings,
// data/sites, data/plant) into the model's structures.
#pragma once

#include <string>
#include <vector>

#include "data/gen/site_model.h"

namespace sitesources {

struct City {
  sitemodel::CityClimate climate;
  int locationId = 0;
  std::string climateClass;  // hot-humid, hot-dry, temperate, cold
};

struct NamedRow {
  int id = 0;
  std::string name;
  bool select = true;
  int parentId = 0;  // region of a location; 0 for a region
};

struct PumpHeadRow {
  int evapFlowControl = 0;
  double capacity = 0, evapHead = 0, chilledWaterHead = 0, condHead = 0;
};

// `dataDir` is the data/ folder of the source tree. Throws std::runtime_error on a missing
// file, a malformed value or a city without its three monthly rows.
std::vector<City> LoadCities(const std::string& dataDir);
std::vector<sitemodel::BuildingType> LoadBuildingTypes(const std::string& dataDir);
// The site model's constants (climate/site_model.ini).
sitemodel::ModelParameters LoadModelParameters(const std::string& dataDir);
std::vector<NamedRow> LoadRegions(const std::string& dataDir);
std::vector<NamedRow> LoadLocations(const std::string& dataDir);
std::vector<PumpHeadRow> LoadPumpHeads(const std::string& dataDir);

}  // namespace sitesources
