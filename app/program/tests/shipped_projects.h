// Projects the tests run on the shipped program data.
#pragma once

#include "app/storage/modDataIO.h"

namespace shipped_projects {

// The hot-humid case: a hospital in Miami, three chillers, variable primary flow (the rest
// of the project as it stands).
inline void UseHotHumidHospital() {
  ProjectData& p = modDataIO::gProject;
  p.CityID = 102;
  p.CityName = "Miami";
  p.LocationID = 10;
  p.BuildingID = 4;
  p.BuildingType = "Hospital";
  p.ChillerNumber = 3;
  p.EvapFlowControl = 2;
}

}  // namespace shipped_projects
