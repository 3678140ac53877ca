// frmWait: the progress window through which every calculation runs, and its calculation
// controllers (input check and dispatch, plant-engine set-up, part-load analysis, graph
// profiles).
//
// This class holds the window's state and procedures but no widget: what it shows goes to
// a View (the QDialog of frmWaitDialog.h implements it), messages go to ui::host() and
// progress to ui::progressTarget() through modpublic::UpdateProgress. Tests drive it with
// the recording host and progress of platform/ui and with a fake or the real engine.
//
// Calling contract of the opener: create the window, set ReportClass, DoCalcs and where
// wanted CalculationOnly and FormCaption, show it (the dialog calls Form_Activate once it
// is visible), then read CalcsOK, InputErrors, CalcErrors, UserCanceled and DoCalcs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/storage/result_records.h"
#include "app/storage/scratch_records.h"
#include "libs/vb/vbarray.h"
#include "app/calc/econ_results.h"
#include "app/calc/heating.h"
#include "platform/plantengine/grendax.h"

namespace modDataIO {
struct SystemListEntry;
}

class frmWait {
 public:
  // What the window uses of the report object of the run (clsReport implements it).
  class ReportClassInterface {
   public:
    virtual ~ReportClassInterface() = default;
    virtual int16_t ReportType() const = 0;  // 1 economic analysis, 2 PLV analysis
    virtual void UserCanceled(bool value) = 0;
    virtual bool EconomicAnalysisReports() = 0;
    virtual bool PLVAnalysisReports() = 0;
  };

  // The controls of the window. Without a view nothing is shown.
  class View {
   public:
    virtual ~View() = default;
    virtual void InitProgressBar(double dMin, double dMax, double dValue) = 0;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetAction(const std::string& text) = 0;   // lblAction
    virtual void SetMessage(const std::string& text) = 0;  // lblMsg
    virtual void SetCancelEnabled(bool enabled) = 0;
    virtual void HideWindow() = 0;  // ends the modal show once the work has unwound
  };

  // A command that runs one calculation after another over the same scratch files (the
  // Reports command: the economics calculation, then the part-load one in the viewer). A
  // failure of those files is met by each calculation in turn and is one failure for the
  // user: while a SharedFailures lives, a calculation does not show again a box that the
  // calculation just before it showed. A calculation after that one (the user runs it again)
  // shows it again.
  class SharedFailures {
   public:
    SharedFailures();
    ~SharedFailures();
    SharedFailures(const SharedFailures&) = delete;
    SharedFailures& operator=(const SharedFailures&) = delete;

   private:
    friend class frmWait;
    class Filter;
    struct Box {
      std::string text;
      int style;
      std::string title;
      bool operator==(const Box&) const = default;
    };
    std::vector<Box> shownBefore_;  // by the calculation before the running one
    SharedFailures* outer_;
  };

  using EngineFactory = std::function<std::unique_ptr<cCwPlant>()>;
  // Per heat-rejection unit (1..30), the thirteen values of a well-water unit's table;
  // column 13 is its well-water temperature.
  using WellWaterTable = vb::Array2<double, 1, 30, 1, 13>;

  static constexpr const char* kErrorPrefix = "Calculations failed due to the following error:";

  frmWait();  // the state after Form_Load
  ~frmWait();
  frmWait(const frmWait&) = delete;
  frmWait& operator=(const frmWait&) = delete;

  // ---- properties ----
  void ReportClass(ReportClassInterface* report) { m_Report = report; }
  void FormCaption(const std::string& caption);
  bool DoCalcs() const { return m_bDoCalcs; }
  void DoCalcs(bool value) { m_bDoCalcs = value; }
  void CalculationOnly(bool value) { m_bCalculationOnly = value; }
  bool CalcsOK() const { return m_bCalcsOK; }
  bool InputErrors() const { return m_bInputErrors; }
  bool CalcErrors() const { return m_bCalcErrors; }
  bool UserCanceled() const { return m_bUserCanceled; }

  // ---- wiring ----
  void SetView(View* view) { m_View = view; }
  // The plant engine each analysis creates; the real engine unless replaced.
  void SetEngineFactory(EngineFactory factory) { m_EngineFactory = std::move(factory); }
  // The engine of the running analysis (null between analyses).
  cCwPlant* ocwPlant() const { return m_Plant.get(); }
  // Creates a new engine into ocwPlant and subscribes to its errors (each analysis does this
  // first; the engine set-up and the graph profiles work on it).
  cCwPlant& CreatePlant();
  bool EngineError() const { return m_bEngineError; }

  // ---- window events ----
  // First activation: captions, then the calculation (and the reports unless
  // CalculationOnly). Later activations do nothing.
  void Form_Activate();
  // Sets the cancel flags and hides the window; the work stops at its next look at Cancel.
  // Ignored once the report run has ended (it looked at Cancel for the last time before its
  // save), so that a late click never makes a finished run read as cancelled.
  void cmdCancel_Click();
  void Form_Unload();

  // ---- procedures ----
  bool ProcessReports();
  // Validates the input data and runs the analysis of the report type in RPT.DAT.
  // True when the analysis ran to its end, or when the input check found errors (then
  // bInputErrors is True and nothing was analysed). Like every calculation entry point
  // (bEconomicsController, bPLVAnalysisController) it first holds the scratch folder
  // (modDataIO::bLockDataFolder): another program's folder is refused with its box.
  bool bCalcController(bool& bInputErrors, bool& bCalcErrors);
  // The part-load analysis of one system: engine set-up, bins, rating points, graph
  // profiles, CAL.DAT sections A and B and the result check into ERR.DAT.
  bool bPLVAnalysisController(SystemData& system, int16_t& nEfficiencyInput, bool& bCalcErrors);
  // Configures ocwPlant from the system's records. chillers, towers, the first and last
  // ECWT of each chiller's map and the well-water table are filled (index c - 1 for slot c).
  bool bSimEngineSetup(SystemData& system, std::vector<ChillerData>& chillers, std::vector<TowerData>& towers,
                       const WeatherData& weather, std::vector<float>& firstECWT, std::vector<float>& lastECWT,
                       WellWaterTable& wellTable);
  // Copies one chiller record (its map prepared on the way) into an engine chiller; returns
  // the chiller's minimum ECWT and design heat rejection (kBtu/h) for the tower design.
  static bool TransferChillerDataFromBrimlowToEngine(const SystemData& system, cCwPlant& plant, ChillerData& chiller,
                                                     cChiller& engineChiller, double& dMinECWT, double& dHeatRejection);
  // The graph points of every chiller, with the staging-change search between bins.
  bool bCalcGraphProfiles(PLVProfileData& profile, const WellWaterTable& wellTable, bool& bResult);

  // ---- economic analysis (econ_analysis.cpp, econ_results.cpp, heating.cpp) ----
  // The economic comparison of the selected systems (list order, at most four): input
  // check with the life-cycle checks, first cost, order by first cost, bCostController.
  bool bEconomicsController(const std::vector<int16_t>& selected, bool& bInputErrors, bool& bCalcErrors);
  // Simulates the systems of nSysIndex (base first; the run ends at the first 0 of entries
  // 2..4) month by month, prices them, compares them over their life cycle and writes
  // CAL.DAT sections A, C, D, the monthly blocks and LCA.TXT.
  bool bCostController(vb::Array<int16_t, 1, 4>& nSysIndex, int16_t& nTypeOfCostCalcs, bool& bIncludePumpEnergy,
                       bool& bIncludeTowerEnergy, int16_t& nSysEffType, bool& bCalcErrors);
  // Copies the results of the bin just simulated by ocwPlant into entry b of the month.
  bool TransferCoolingSimulationResultsToBrimlowStructure(int16_t b, int16_t m, bool bIncludePumpEnergy,
                                                          bool bIncludeTowerEnergy,
                                                          const std::vector<ChillerData>& chillers,
                                                          const SystemData& system, const WeatherData& weather,
                                                          SimMonthResults& month);
  // Completes bin b of the month (total kW, ton-hours, kWh, gas, steam) and adds it to the
  // system's monthly and per-bin sums.
  static bool GatherResults(int16_t b, int16_t m, int nChillerSlots, const SystemData& system,
                            const EconomicsData& economics, const WeatherData& weather, const LoadProfileData& load,
                            SimMonthResults& month, SystemEconData& econ, float fExtraPumpFactor);
  // Heat recovery and heating (inactive while the system's nHeatRecoveryMode is not 2 and
  // no heating loads are given).
  static bool CalcDHRCPerformanceData(double dHeatDemand, double dCoolingTons, const HeatRecoveryChillerData& hr,
                                      const ChillerData& chiller, const SystemData& system, HeatRecoveryPoint& point);
  static bool CalcDHRCcoolingPriorityPerformanceData(double dHeatDemand, double dCoolingTons,
                                                     const ChillerData& chiller, const SystemData& system,
                                                     HeatRecoveryPoint& point);
  static float GetFreeCoolingCapPerBin(int16_t b, double dCoolingTons, const HeatRecoveryChillerData& hr,
                                       const ChillerData& chiller, const SystemData& system,
                                       const HeatingSystemData& heating, int32_t lBinHours, double& dPartLoadRatio);
  static float CalcHeatingEnergyUsePerBinInMonth(int16_t b, int16_t m, double dCoolingTons,
                                                 const HeatRecoveryChillerData& hr, const ChillerData& chiller,
                                                 const SystemData& system, const HeatingSystemData& heating,
                                                 const WeatherData& weather, SimMonthResults& month,
                                                 SystemEconData& econ, double& dPartLoadRatio);

  // ---- engine error events (identical handlers) ----
  void oCwPlant_OnError(long number, const std::string& description, const std::string& library,
                        const std::string& className, const std::string& method);
  void oClgTwr_OnError(long number, const std::string& description, const std::string& library,
                       const std::string& className, const std::string& method);
  void oPump_OnError(long number, const std::string& description, const std::string& library,
                     const std::string& className, const std::string& method);

  // ---- helpers of the economic comparison (pure) ----
  // The identifiers of the first four selected systems, in list order.
  static std::vector<int16_t> SelectSystems(const std::vector<modDataIO::SystemListEntry>& list);
  // Orders the systems by ascending first cost with the window's exchange sort (not stable:
  // equal costs may change order); only the two arrays move.
  static void SortSystemsByFirstCost(std::vector<double>& costs, std::vector<int16_t>& ids);
  // The run summary (CAL.DAT section A) of the site and the load profile.
  static void FillRunSummary(const WeatherData& weather, const LoadProfileData& load, PLVSummaryData& summary);

 private:
  void InitProgressBar(double dMin, double dMax, double dValue);
  bool RunCalculations();
  bool GenerateReports();
  void HideWindow();
  void SetAction(const std::string& text);

  bool CalcController(bool& bInputErrors, bool& bCalcErrors);
  bool EconomicsController(bool& bInputErrors, bool& bCalcErrors);
  bool PLVAnalysis(SystemData& system, int16_t nEfficiencyInput, bool& bCalcErrors);
  bool SimulateBins(const SystemData& system, const std::vector<ChillerData>& chillers, const WellWaterTable& wellTable,
                    int16_t nEfficiencyInput, PLVSummaryData& summary, PLVProfileData& profile, bool& bCalcErrors);
  bool EngineSetup(SystemData& system, std::vector<ChillerData>& chillers, std::vector<TowerData>& towers,
                   const WeatherData& weather, std::vector<float>& firstECWT, std::vector<float>& lastECWT,
                   WellWaterTable& wellTable);
  bool GraphProfiles(PLVProfileData& profile, const WellWaterTable& wellTable);
  void OnEngineError(long number, const std::string& description, const std::string& library,
                     const std::string& className, const std::string& method);
  void ReleasePlant();
  bool CostAnalysis(const vb::Array<int16_t, 1, 4>& nSysIndex, int16_t nTypeOfCostCalcs, bool bIncludePumpEnergy,
                    bool bIncludeTowerEnergy, int16_t nSysEffType, bool& bCalcErrors);

  ReportClassInterface* m_Report = nullptr;
  View* m_View = nullptr;
  EngineFactory m_EngineFactory;
  std::unique_ptr<cCwPlant> m_Plant;

  int32_t m_nReportType = 0;
  std::string m_sFormCaption;
  bool m_bDoCalcs = true;
  bool m_bCalculationOnly = false;
  bool m_bCalcsOK = false;
  bool m_bInputErrors = false;
  bool m_bCalcErrors = false;
  bool m_bUserCanceled = false;
  bool m_bActivated = false;
  bool m_bProcessing = false;
  bool m_bReportRunEnded = false;  // the report run has returned: Cancel is too late
  int16_t m_nState = 0;            // 0 idle, 1 calculating, 2 generating reports
  bool m_bEngineError = false;
  std::string m_sErrorPrefix = kErrorPrefix;
};
