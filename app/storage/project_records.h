// The in-memory project and settings records, stored as the XML project file (".vxn") and
// the settings file "GlobalSettings.xml" (project_files.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "libs/vb/vbarray.h"

struct ProjectData {
  std::string ProjectName;
  std::string FilePath;  // path of the file last saved or loaded
  std::string ClientName;
  std::string ContactName;
  std::string ContactEmail;
  std::string ContactPhone;
  std::string ContactAddress;
  std::string CityName;
  std::string LocationName;
  std::string RegionName;
  std::int16_t CityID = 0;
  std::int16_t LocationID = 0;
  std::int16_t RegionID = 0;
  std::int16_t BuildingID = 0;
  std::string BuildingType;
  float BuildingPeakLoad = 0;   // tons
  std::int16_t Economizer = 0;  // 0 none, 1 outdoor air, 2 waterside
  float PlantCapacity = 0;      // tons
  std::int16_t ChillerNumber = 0;
  std::int16_t PlantControl = 0;  // 1..4
  std::string PlantControlName;
  float DesignLCHWT = 0;             // deg F
  float DesignECWT = 0;              // deg F
  float MinECWT = 0;                 // deg F
  float CondFlowRate = 0;            // gpm per ton
  float EvapFlowRate = 0;            // gpm per ton
  std::int16_t EvapFlowControl = 0;  // 3 constant primary, 2 variable primary
  std::string EvapFlowControlName;
  float DesignWB = 0;        // deg F
  float DesignApproach = 0;  // deg F difference
  // Working values, never stored in the file and left alone by InitProject:
  // rating points 0..3 = 25, 50, 75, 100 % load.
  vb::Array<float, 0, 3> WeightingFactor;
  vb::Array<float, 0, 3> ECWT;  // deg F
  float SystemDifference = 0;   // percent
  bool operator==(const ProjectData&) const = default;
};

struct SettingsData {
  std::string UserName;
  std::string UserEmail;
  std::string OfficeName;
  std::string UserPhone;
  std::int16_t UnitType = 0;  // 0 inch-pound, 1 SI
  bool CoverPage = false;
  bool ShowLogo = false;
  bool SummaryReport = false;
  bool CustomPLVFactors = false;
  bool LoadProfileGraph = false;
  bool ExportCSV = false;
  std::string CSVFilePath;
  std::string WorkingFolder;  // ends with "/"
  std::int32_t MainLeft = 0;
  std::int32_t MainTop = 0;
  std::int32_t MainWidth = 0;
  std::int32_t MainHeight = 0;
  bool operator==(const SettingsData&) const = default;
};
