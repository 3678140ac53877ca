// frmWait: window state, the run of the first activation, Cancel, the engine error
// handlers and the calculation controller that validates and dispatches.
#include "app/calc/frmWait.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/calc/modCalcs.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/db/db.h"
#include "platform/ui/ui.h"

namespace {

// Runs `body` on every way out of a scope.
template <class F>
class OnExit {
 public:
  explicit OnExit(F f) : f_(std::move(f)) {}
  ~OnExit() { f_(); }
  OnExit(const OnExit&) = delete;
  OnExit& operator=(const OnExit&) = delete;

 private:
  F f_;
};

frmWait::SharedFailures* gSharedFailures = nullptr;

}  // namespace

frmWait::SharedFailures::SharedFailures() : outer_(gSharedFailures) { gSharedFailures = this; }

frmWait::SharedFailures::~SharedFailures() { gSharedFailures = outer_; }

// Installed while one calculation runs: passes every box on to the host it replaces, except
// one the calculation before showed; what it shows becomes the list of the next calculation.
class frmWait::SharedFailures::Filter : public ui::Host {
 public:
  explicit Filter(SharedFailures& shared) : shared_(shared), inner_(ui::host()), scope_(*this) {}
  ~Filter() override { shared_.shownBefore_ = std::move(shown_); }
  Filter(const Filter&) = delete;
  Filter& operator=(const Filter&) = delete;

  int messageBox(const std::string& text, int style, const std::string& title) override {
    const Box box{text, style, title};
    const auto& before = shared_.shownBefore_;
    if (ui::buttonsOf(style) == ui::kOkOnly && std::find(before.begin(), before.end(), box) != before.end())
      return ui::kOk;
    shown_.push_back(box);
    return inner_.messageBox(text, style, title);
  }
  void processEvents() override { inner_.processEvents(); }
  void setWaitCursor(bool busy) override { inner_.setWaitCursor(busy); }
  std::string applicationTitle() const override { return inner_.applicationTitle(); }

 private:
  SharedFailures& shared_;
  ui::Host& inner_;
  std::vector<Box> shown_;
  ui::ScopedHost scope_;
};

frmWait::frmWait() : m_EngineFactory([] { return CreateCwPlant(); }) {}

frmWait::~frmWait() = default;

void frmWait::FormCaption(const std::string& caption) { m_sFormCaption = vb::Trim(caption); }

void frmWait::InitProgressBar(double dMin, double dMax, double dValue) {
  modpublic::RunGuarded("frmWait.InitProgressBar()", "", ui::kExclamation, [&] {
    if (m_View) m_View->InitProgressBar(dMin, dMax, dValue);
  });
}

void frmWait::SetAction(const std::string& text) {
  if (m_View) m_View->SetAction(text);
}

void frmWait::HideWindow() {
  if (m_View) m_View->HideWindow();
}

void frmWait::Form_Activate() {
  modpublic::RunGuarded("frmWait.Form_Activate()", "", ui::kExclamation, [&] {
    if (m_bActivated) return;
    m_bActivated = true;
    InitProgressBar(0, 100, 0);
    m_nReportType = m_Report ? m_Report->ReportType() : 0;
    if (m_View) {
      m_View->SetCancelEnabled(true);
      m_View->SetAction("");
      m_View->SetMessage("");
      if (!m_sFormCaption.empty())
        m_View->SetCaption(m_sFormCaption);
      else if (m_nReportType == 1)
        m_View->SetCaption("Generating Economic Analysis Reports");
      else if (m_nReportType == 2)
        m_View->SetCaption("Generating PLV Analysis Reports");
    }
    ui::host().processEvents();  // let the window paint before the work starts
    if (!m_bProcessing) ProcessReports();
  });
}

bool frmWait::ProcessReports() {
  bool result = false;
  OnExit hide([this] { HideWindow(); });  // the window hides itself in every case
  modpublic::RunGuarded("frmWait.ProcessReports()", "", ui::kExclamation, [&] {
    m_bProcessing = true;
    InitProgressBar(0, 100, 0);
    const bool calcsAsked = m_bDoCalcs;
    const bool calcsDone = calcsAsked ? RunCalculations() : true;
    if (!calcsAsked || calcsDone) {
      if (m_bCalculationOnly) {
        result = true;
      } else {
        InitProgressBar(0, 100, 0);
        result = GenerateReports();
      }
    }
  });
  return result;
}

bool frmWait::RunCalculations() {
  bool result = false;
  std::optional<SharedFailures::Filter> repeated;
  if (gSharedFailures) repeated.emplace(*gSharedFailures);
  modpublic::RunGuarded("frmWait.RunCalculations()", "", ui::kExclamation, [&] {
    m_nState = 1;
    SetAction("Calculating...");
    m_bCalcsOK = bCalcController(m_bInputErrors, m_bCalcErrors);
    if (m_bCalcsOK && !m_bInputErrors && !m_bCalcErrors) {
      m_bDoCalcs = false;
      result = true;
    }
    m_nState = 0;
    SetAction("");
  });
  return result;
}

bool frmWait::GenerateReports() {
  return modpublic::RunGuarded("frmWait.GenerateReports()", "", ui::kExclamation, [&] {
    m_nState = 2;
    SetAction("Generating...");
    if (m_Report) {
      if (m_nReportType == 1)
        m_Report->EconomicAnalysisReports();
      else if (m_nReportType == 2)
        m_Report->PLVAnalysisReports();
      // The run took its last look at Cancel before its save: what it did stands.
      m_bReportRunEnded = true;
    }
    SetAction("");
    m_nState = 0;
    m_bDoCalcs = false;
  });
}

void frmWait::cmdCancel_Click() {
  // Too late once the report run has ended: the run is complete, not cancelled.
  if (m_bReportRunEnded) return;
  modpublic::RunGuarded("frmWait.cmdCancel_Click()", "", ui::kExclamation, [&] {
    if (m_Report) m_Report->UserCanceled(true);
    m_bUserCanceled = true;
    ui::host().setWaitCursor(true);
    if (m_View) m_View->SetCancelEnabled(false);
    ui::host().processEvents();
    HideWindow();
  });
}

void frmWait::Form_Unload() {
  m_Report = nullptr;
  ui::host().setWaitCursor(false);
}

// ---- engine errors ----------------------------------------------------------------------

void frmWait::OnEngineError(long number, const std::string& description, const std::string& library,
                            const std::string& className, const std::string& method) {
  m_bEngineError = true;
  vb::Err().Number = number;
  vb::Err().Description = description;
  modpublic::ShowError(m_sErrorPrefix, ui::kExclamation, library,
                       "\r\n\r\nLibrary: " + library + "\r\nClass: " + className + "\r\nMethod: " + method);
}

void frmWait::oCwPlant_OnError(long number, const std::string& description, const std::string& library,
                               const std::string& className, const std::string& method) {
  OnEngineError(number, description, library, className, method);
}

void frmWait::oClgTwr_OnError(long number, const std::string& description, const std::string& library,
                              const std::string& className, const std::string& method) {
  OnEngineError(number, description, library, className, method);
}

void frmWait::oPump_OnError(long number, const std::string& description, const std::string& library,
                            const std::string& className, const std::string& method) {
  OnEngineError(number, description, library, className, method);
}

cCwPlant& frmWait::CreatePlant() {
  m_Plant = m_EngineFactory();
  if (!m_Plant) vb::Raise(vb::kObjectRequired, "The plant engine could not be created.");
  m_Plant->SetOnError(
      [this](long number, const std::string& description, const std::string& library, const std::string& className,
             const std::string& method) { oCwPlant_OnError(number, description, library, className, method); });
  return *m_Plant;
}

void frmWait::ReleasePlant() { m_Plant.reset(); }

// ---- controller -------------------------------------------------------------------------

bool frmWait::bCalcController(bool& bInputErrors, bool& bCalcErrors) {
  bool result = false;
  modpublic::RunGuarded("bCalcController", m_sErrorPrefix, ui::kExclamation,
                        [&] { result = CalcController(bInputErrors, bCalcErrors); });
  return result;
}

bool frmWait::CalcController(bool& bInputErrors, bool& bCalcErrors) {
  // The run reads and writes the scratch folder: it must be this program's alone.
  if (!modDataIO::bLockDataFolder()) return false;
  // The system library index is opened once for the run: every record read joins it, and
  // each record is read from the disk once.
  std::shared_ptr<db::Database> index;
  if (!modDataIO::bOpenIndexDatabase(index, true)) return false;
  const modDataIO::LibraryReadScope keepRecords;
  if (!modpublic::UpdateProgress(modpublic::kProgressCalculating, 10, "Validating Input Data")) return false;
  ReportData report;
  EconomicsData economics;
  if (!modDataIO::bReportsRead(report)) return false;
  if (!modDataIO::bEconomicsRead(economics)) return false;
  if (!modDataIO::bErrorDelete()) return false;

  if (report.ReportType != 2) return EconomicsController(bInputErrors, bCalcErrors);

  SystemData system;
  const int16_t id = vb::CInt(report.AnalysedSystemIndex);
  if (!modDataIO::bSystemRead(id, system)) return false;
  bool bNonElectric = false;
  if (!modCalcs::bCalcCheckInputData(system, 0, 0, bNonElectric, bInputErrors)) return false;
  if (bInputErrors) return true;
  int16_t nEfficiencyInput = report.nEfficiencyInput;
  return bPLVAnalysisController(system, nEfficiencyInput, bCalcErrors);
}

bool frmWait::EconomicsController(bool& bInputErrors, bool& bCalcErrors) {
  std::int16_t count = 0;
  std::vector<modDataIO::SystemListEntry> list;
  if (!modDataIO::bSystemListRead(count, list)) return false;
  const std::vector<int16_t> ids = SelectSystems(list);
  if (ids.empty()) {
    ui::host().messageBox(
        "No system is selected for the economic analysis. Select at least one system and run it again.",
        ui::kExclamation, "bCalcController");
    return false;
  }
  return bEconomicsController(ids, bInputErrors, bCalcErrors);
}

std::vector<int16_t> frmWait::SelectSystems(const std::vector<modDataIO::SystemListEntry>& list) {
  std::vector<int16_t> ids;
  for (const auto& entry : list) {
    if (!entry.bSelected) continue;
    ids.push_back(vb::CInt(entry.lID));
    if (ids.size() == 4) break;
  }
  return ids;
}

void frmWait::SortSystemsByFirstCost(std::vector<double>& costs, std::vector<int16_t>& ids) {
  const std::size_t n = std::min(costs.size(), ids.size());
  for (std::size_t i = 0; i + 1 < n; ++i) {
    for (std::size_t j = i + 1; j < n; ++j) {
      if (costs[j] < costs[i]) {
        std::swap(costs[i], costs[j]);
        std::swap(ids[i], ids[j]);
      }
    }
  }
}
