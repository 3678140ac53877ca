// The main window's logic: the project inputs and their coupling, the reference lists, the File
// commands, the dialog commands, load and close (frmMain.cpp, frmMain_lists.cpp,
// frmMain_file.cpp), plus the routines that run without the window being shown: the start-up
// file steps and the calculation set-up, which turns gProject into the scratch records the
// calculation reads (frmMain_setup.cpp, all static).
//
// The class holds no widget. What it shows and reads goes through a View (the QMainWindow of
// frmMainWindow.h implements it); messages go to ui::host(). The window calls the handlers
// below for the user's actions: selection boxes only for the user's own choice (filling a
// list never runs a handler), entry boxes and the chiller count for every change of text.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/storage/modpublic.h"
#include "app/storage/result_records.h"
#include "app/storage/scratch_records.h"
#include "libs/vb/vbarray.h"

class frmWait;

class clsReport;

// The site and building database: the program folder followed by "RIZIRure.rev" (set by
// frmMain::PrepareDataFiles). Empty means that default.
extern std::string gDataDBPath;

class frmMain {
 public:
  // The nine unit entry boxes, in the order the project compares and copies them.
  enum Box {
    uncBldgPeakLoad,
    uncPlantCapacity,
    uncDesignLCHWT,
    uncDesignECWT,
    uncFlowRate,
    uncEvapFlowRate,
    uncMinECWT,
    uncDesignWB,
    uncDesignApproach,
    kBoxCount
  };
  // The seven selection boxes.
  enum List {
    cboRegion,
    cboLocation,
    cboCity,
    cboBuildingType,
    cboEconomizer,
    cboPlantControl,
    cboEvapFlowControl,
    kListCount
  };

  // A drop-down list as the logic uses it: entries with their item data. Selecting an entry
  // (ListIndex) never runs a handler.
  class ComboBox : public modpublic::ListControl {
   public:
    virtual void Clear() = 0;
    virtual void AddItem(const std::string& text, long itemData) = 0;
    virtual int ListIndex() const = 0;  // -1: nothing selected
    using modpublic::ListControl::ListIndex;
    virtual std::string Text(int index) const = 0;
  };

  // What a report viewer's run leaves for the summary CSV: the part-load weighting factors
  // and ECWTs (stored in gProject), or what stopped them, as the CSV's message says it.
  struct ReportRun {
    bool weightingFactors = false;
    std::string failure;
  };

  // The window as the logic uses it.
  class View {
   public:
    virtual ~View() = default;
    virtual ComboBox& Combo(List list) = 0;
    // Unit entry boxes: values and limits in inch-pound units.
    virtual double Value(Box box) const = 0;
    virtual void Value(Box box, double value) = 0;
    virtual void Min(Box box, double value) = 0;
    virtual void Max(Box box, double value) = 0;
    // Validate on every visible, not blanked unit entry box in the window's order, stopping
    // at the first invalid one; true when none failed.
    virtual bool ValidateUnitControls() = 0;
    // gUnitControls.LoadUnits / RefreshUnits (every window) on this window.
    virtual void LoadUnits() = 0;
    virtual void RefreshUnits() = 0;
    virtual std::string ChillerNumText() const = 0;
    virtual void ChillerNumText(const std::string& text) = 0;
    virtual void Caption(const std::string& text) = 0;
    virtual void ProgramLabels(const std::string& name, const std::string& version) = 0;
    virtual void StatusText(const std::string& text) = 0;
    virtual void Repaint() = 0;
    // The window's outer rectangle in pixels, and whether it is in the normal state (neither
    // minimised, maximised nor full screen).
    virtual bool NormalState() const = 0;
    virtual void WindowRect(int& left, int& top, int& width, int& height) const = 0;
    // Modal dialogs. ShowPreferences returns the dialog's DialogOK.
    virtual void ShowCustomerInfo() = 0;
    virtual void ShowUserInfo() = 0;
    virtual bool ShowPreferences() = 0;
    // File dialogs: the chosen path, "" when cancelled. The save dialog creates new files and
    // asks before overwriting one.
    virtual std::string ShowOpenDialog(const std::string& title, const std::string& filter,
                                       const std::string& initDir) = 0;
    virtual std::string ShowSaveDialog(const std::string& title, const std::string& filter,
                                       const std::string& initDir) = 0;
    // Closes every other window of the program, the most recently opened first.
    virtual void CloseOtherWindows() = 0;
    // The Reports command's modal windows: the report options dialog (its DialogOK), the
    // progress window with the main window as owner, and the report viewer for a report type
    // (what its last run left for the summary CSV).
    virtual bool ShowReportOptions() = 0;
    virtual void ShowWait(frmWait& wait) = 0;
    virtual ReportRun ShowReportViewer(int16_t reportType) = 0;
  };

  static constexpr const char* kInvalidInput =
      "Invalid input data exists in red areas, the action can not be completed. ";
  static constexpr const char* kNotAProjectFile = "The selected file is not a valid project file";
  static constexpr int kTwipsPerPixel = 15;
  static constexpr int kChillerNumMin = 1;
  static constexpr int kChillerNumMax = 10;

  frmMain() = default;
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;
  void SetView(View* view) { view_ = view; }
  bool FormReady() const { return m_bFormReady; }

  // ---- load and close ----
  void Form_Load();
  // True when the close may go on (asks the unsaved-data question when there are changes).
  bool Form_QueryUnload();
  void Form_Unload();

  // ---- project and controls ----
  void SetupOtherControlsInForm();
  void ProjectDataToControls();
  // False when a control could not be read (the error box has been shown).
  bool ControlsToProjectData();
  // True when gProjectChanged is set or a box's value or the chiller count differs from the
  // project (the lists mark the project changed themselves).
  void ProjectDataChanged(bool& result);
  // False, after one message, when an entry box is invalid or a list has no entry selected:
  // Save, Save As and Reports then do nothing.
  void ValidateFormControls(bool& result);
  // "Kestrin v<version> (<ProjectName>)".
  static std::string MainCaption(const std::string& projectName);
  // A project value that no entry of its list holds: the list, the project's name and code.
  struct MissingValue {
    List list;
    std::string name;
    long code;
  };
  // The message naming the missing values, and that each must be chosen ("" for none).
  static std::string MissingValuesMessage(const std::vector<MissingValue>& missing);

  // ---- handlers ----
  // A user's choice goes into the project at once and marks it changed. A new region reloads
  // the locations, a new location the cities; the entry then selected (the first one when the
  // project's is not in the new list) is stored and cascaded in turn.
  void cboRegion_Click();
  void cboLocation_Click();
  void cboCity_Click();
  void cboBuildingType_Click();
  void cboEconomizer_Click();
  void cboPlantControl_Click();
  void cboEvapFlowControl_Click();
  void txtChillerNum_Change();
  void txtChillerNum_LostFocus();
  void uncBldgPeakLoad_Change();
  void uncDesignECWT_Change();
  void cmdCustomer_Click();
  void mnuEditmnuUser_Click();
  void mnuEditmnuPreferences_Click();
  void cmdHelp_Click();

  // ---- the Reports command (frmMain_reports.cpp) ----
  // Validates, asks for the options (cancel: nothing written), writes the scratch records,
  // runs the economics calculation, derives the system difference (Equal Unloading, only
  // after a successful calculation), shows the part-load viewer and exports the summary CSV
  // when asked and the part-load run gave the weighting factors (else says what stopped
  // them). A failure both calculations meet is shown once.
  void cmdReport_Click();
  // The calculation of a type behind the progress window, calculation only; true when it
  // ran to its end without input or calculation errors and was not cancelled.
  bool RunCalculations(int32_t& type);
  void CalcSystemDifference();
  // Shows the viewer for a report type; what its last run left for the summary CSV.
  ReportRun GenerateReports(int32_t& type);
  void PerformEconomicsAnalysis();
  // The percent difference of system 2 against system 1 in annual chilled-water plus
  // condenser pump energy, from the first two records indexed by their nSysIndex (records
  // with another index are skipped); 0 when system 1's total is not above 0.
  static float SystemDifference(const vb::Array<SystemEconData, 1, 4>& systems);
  // The CSV path the options dialog opens with: the settings' own, else the working folder's
  // "CPLVSummaryResults.csv".
  static std::string DefaultCsvPath(const std::string& csvPath, const std::string& workingFolder);
  // Why the Reports command may not write the summary CSV to `csvPath`, as the message that
  // says so; "" when it may (modDataIO::CsvPathRefusal with the files the program reads as
  // its own: the open project's file, the settings file and the reports the run writes).
  static std::string CsvRefusal(const std::string& csvPath);

  // The text the chiller-count box must show instead of `text` ("1" for a text that is not a
  // number, the nearest limit for a count outside min..max), or `text` itself when it holds
  // an acceptable count.
  static std::string CorrectedChillerNumText(const std::string& text, int min, int max);

  // ---- reference lists ----
  void LoadRegions();
  void LoadLocations();
  void LoadCities();
  void LoadBuildingTypes();
  void LoadPlantControlList();
  void LoadEconomizerList();
  void LoadEvapFlowControlList();

  // ---- File commands ----
  void mnuFileNew_Click();
  void mnuFileOpen_Click();
  void mnuFileSave_Click();
  void mnuFileSaveAs_Click();
  // "Kestrin Files (*.vxn)|*.vxn".
  static std::string ProjectFileFilter();
  // What Save As makes of the chosen path: the path to write (with the project extension
  // when the file title has none, compared without regard to case), the new working folder,
  // and the project name (the title of the path to write without its extension when the
  // current name is empty or "untitled" in any case; else the current name).
  struct SaveAsTarget {
    std::string path;
    std::string workingFolder;
    std::string projectName;
  };
  static SaveAsTarget SaveAsNaming(const std::string& chosenPath, const std::string& projectName);
  // Whether Save must ask for a file name (Save As) instead of writing to FilePath: an unnamed
  // project, a missing file, or a file in the program folder (the shipped sample), which the
  // program never writes.
  static bool SaveNeedsName(const std::string& projectName, const std::string& filePath);
  // Whether the file a save of `path` writes (every link followed) lies in the program folder
  // or below it, compared by real path, as the save itself checks it.
  static bool InProgramFolder(const std::string& path);

  // ---- start-up file steps -------------------------------------------------------------
  // Points modDataIO::DataFolder at the scratch folder, creates the per-user and scratch
  // folders when missing, holds the scratch folder for the rest of the program's life
  // (modDataIO::bLockDataFolder: when another program holds it, its box and false), copies the templates from the
  // program folder into the scratch folder and sets gDataDBPath. On failure a box names the step ("Set fso = New
  // FileSystemObject  failed", "CopyFiles  failed" or CopyFiles' own step) and the result is
  // false: the program must not go on with the previous run's scratch files.
  static bool PrepareDataFiles();

  // ---- calculation set-up ----------------------------------------------------------------
  // Holds the scratch folder (modDataIO::bLockDataFolder; when another program holds it,
  // its box and false, nothing written), then runs System, Chiller, CoolingTower,
  // WeatherData, LoadProfile and ReportOptions in this order and stops at the first step that fails (that step has
  // shown its message); true when every scratch record was written. The caller copies the window's controls into
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
  static void GetPumpHeads(float capacity, float& evapPumpHead, float& chilledWaterPumpHead, float& condPumpHead,
                           bool& result);
  // The same interpolation on a table already read.
  static bool InterpolatePumpHeads(const PumpHeadTable& table, float capacity, float& evapPumpHead,
                                   float& chilledWaterPumpHead, float& condPumpHead);

  // ---- economics launcher (frmMain_economics.cpp) ------------------------------------------
  // The economic analysis with its reports, for report type 1; no command of the program
  // calls it. Without the report viewer window it does what the viewer's first activation
  // does: a report object of type 1 runs the calculation of the scratch records and then the
  // economic report run behind the progress window's controller (headless), or builds the
  // error report when the calculation found input or calculation errors; `show` (the viewer)
  // then gets the report object (the member of the same name opens the viewer instead). False
  // after the error box "frmMain.PerformEconomicsAnalysis()".
  static bool PerformEconomicsAnalysis(const std::function<void(clsReport&)>& show);

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

 private:
  bool UnsavedDataQuestion(const std::string& action);
  void StoreSelection(List list);
  bool SelectionClick(List list);
  bool ListsSelected();
  void ReportMissingValues();
  void SelectFirstWhenNone(List list);
  bool SaveTo(const std::string& path);

  View* view_ = nullptr;
  bool m_bFormReady = false;
};
