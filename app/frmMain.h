// The main window. For now it holds the routines that run without the window being shown:
// the start-up file steps and the calculation set-up, which turns gProject into the scratch
// records the calculation reads (frmMain_setup.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/storage/scratch_records.h"

class clsReport;

// The site and building database: the program folder followed by "RIZIRure.rev" (set by
// frmMain::PrepareDataFiles). Empty means that default.
extern std::string gDataDBPath;

class frmMain {
 public:
  // ---- start-up file steps -------------------------------------------------------------
  // Points modDataIO::DataFolder at the scratch folder, creates the per-user and scratch
  // folders when missing, holds the scratch folder for the rest of the program's life
  // (modDataIO::bLockDataFolder: when another program holds it, its box and false), copies the templates from the program folder into the scratch
  // folder and sets gDataDBPath. On failure a box names the step ("Set fso = New
  // FileSystemObject  failed", "CopyFiles  failed" or CopyFiles' own step) and the result is
  // false: the program must not go on with the previous run's scratch files.
  static bool PrepareDataFiles();

  // ---- calculation set-up ----------------------------------------------------------------
  // Holds the scratch folder (modDataIO::bLockDataFolder; when another program holds it,
  // its box and false, nothing written), then runs System, Chiller, CoolingTower,
  // WeatherData, LoadProfile and ReportOptions in this order and stops at the first step that fails (that step has shown its message); true
  // when every scratch record was written. The caller copies the window's controls into
  // gProject beforehand.
  static bool SetupCalculationData();
  static bool SetupSystem();
  static bool SetupChiller();
  static bool SetupCoolingTower();
  static bool SetupWeatherData();
  static bool SetupLoadProfile();
  static bool SetupReportOptions();

  // The pump-head table of one evaporator flow-control code, in ascending capacity.
  struct PumpHeadTable {
    std::int16_t count = 0;
    std::vector<float> Capacity;
    std::vector<float> EvapPumpHead;
    std::vector<float> ChilledWaterPumpHead;
    std::vector<float> CondPumpHead;
  };
  // Reads the PumpHead rows of gProject.EvapFlowControl; true when all rows were read.
  static bool LoadPumpHeadDataTable(PumpHeadTable& table);
  // Pump heads at a plant capacity (tons): the first row's heads at or below its capacity,
  // the last row's at or above the last capacity, linear interpolation between rows.
  // `result` is false (heads untouched) when the table has fewer than two rows or cannot be
  // read; two rows with the same capacity are a data error with a message.
  static void GetPumpHeads(float capacity, float& evapPumpHead, float& chilledWaterPumpHead,
                           float& condPumpHead, bool& result);
  // The same interpolation on a table already read.
  static bool InterpolatePumpHeads(const PumpHeadTable& table, float capacity, float& evapPumpHead,
                                   float& chilledWaterPumpHead, float& condPumpHead);

  // ---- economics launcher (frmMain_economics.cpp) ------------------------------------------
  // The economic analysis with its reports, for report type 1; no command of the program
  // calls it. Without the report viewer window it does what the viewer's first activation
  // does: a report object of type 1 runs the calculation of the scratch records and then the
  // economic report run behind the progress window's controller (headless), or builds the
  // error report when the calculation found input or calculation errors; `show` (the viewer)
  // then gets the report object. False after the error box "frmMain.PerformEconomicsAnalysis()".
  static bool PerformEconomicsAnalysis(const std::function<void(clsReport&)>& show = {});

  // The working records of the set-up, as the last run of each step left them.
  static SystemData m_System;
  static ChillerData m_Chiller;
  static TowerData m_Tower;
  static WeatherData m_Weather;
  static LoadProfileData m_LoadProfile;
  static ReportData gReportData;

  // The program folder the templates and the site database are read from: modpublic::gAppPath
  // when set, otherwise modDataIO::GetAppFolder().
  static std::string ProgramFolder();
  static std::string SiteDatabasePath();
};
