// The two report runs the progress window starts after a calculation, and the combined
// part-load report with its sections in their fixed order.
#include <stdexcept>

#include "app/reports/clsReport.h"
#include "app/reports/plv/plv_values.h"
#include "app/reports/report_internal.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "libs/vb/vberror.h"
#include "platform/ui/ui.h"

// One section of the combined part-load report.
struct clsReport::RunRow {
  vb::Boolean ReportData::*option;
  const char* pageTitle;      // the sub-report's header title
  const char* progressTitle;  // the progress message and the error line's title
  int32_t orientation;
  bool hdrFtr;
  int progress;  // 0: no progress step
  std::function<bool()> PLVSectionBodies::*body;
};

namespace {
using Bodies = clsReport::PLVSectionBodies;

// Whether Cancel has been clicked, asked as a progress step asks but without a step: no value
// shown and no events processed, so that no click can come between the answer and what follows.
bool CancelClicked() {
  const ui::ProgressTarget* target = ui::progressTarget();
  return target != nullptr && target->userCanceled();
}
}  // namespace

bool clsReport::PLVRptCombined() {
  static const RunRow rows[] = {
      {&ReportData::bCoverPage, "", "Cover Page", 1, false, 20, &Bodies::Cover},
      {&ReportData::bSummaryReport, "WEIGHTING FACTORS AND ECWTs REPORT", "Weighting Factors and ECWTs Report", 1, true,
       30, &Bodies::SummaryReport},
      {&ReportData::bLoadProfileGraph, "SYSTEM LOAD PROFILES", "System Load Profiles Report", 1, true, 70,
       &Bodies::LoadProfiles},
      {&ReportData::bCustomPLVFactors, "CUSTOM PLV FACTORS REPORT", "Custom PLV Factors Report", 2, true, 40,
       &Bodies::CustomPLVFactors},
      {&ReportData::bCustomPLVSpec, "Custom PLV Specification Report", "Custom PLV Specification Report", 2, true, 50,
       &Bodies::CustomPLVSpec},
      {&ReportData::bCoolingDuty, "Cooling Duty Profiles", "Cooling Duty Profile Report", 1, true, 80,
       &Bodies::CoolingDuty},
      {&ReportData::bCondTempProfiles, "Condenser Temperature Profiles", "Condenser Temperature Profiles Report", 1,
       true, 90, &Bodies::CondTempProfiles},
      {&ReportData::bPerfProfiles, "System Performance Profiles", "System Performance Profile Report", 1, true, 95,
       &Bodies::PerfProfiles},
      {&ReportData::bInputSummary, "Input Data Summary", "", 1, true, 0, &Bodies::InputSummary},
  };
  return modpublic::RunGuarded(ErrorSource("PLVRptCombined"), "", ui::kExclamation, [&] {
    const std::string fileName = PLVReportFileName(modDataIO::gProject.ProjectName);
    m_CurrentReportID = AddReportInfo(fileName, "Custom PLV Reports", 1, false);
    if (m_CurrentReportID == 0) return false;
    int32_t n = 0;
    for (const RunRow& row : rows) {
      if (m_ReportData.*row.option == 0) {
        if (row.body == &Bodies::Cover) m_HdrFtrDefault = true;
        continue;
      }
      if (!BeginNewReport(row.pageTitle, row.orientation, n, row.hdrFtr)) return false;
      if (row.progress > 0 &&
          !modpublic::UpdateProgress(modpublic::kProgressGenerating, row.progress, row.progressTitle))
        return false;
      const std::function<bool()>& body = m_PLVSections.*row.body;
      const bool ok = body && body();
      if (row.body == &Bodies::InputSummary) {
        if (!ok) return false;
      } else {
        if (!ok) RptSectionError(row.progressTitle, row.hdrFtr);
        if (row.body == &Bodies::Cover) m_HdrFtrDefault = true;
      }
    }
    // Saved by the run after its last look at Cancel.
    return true;
  });
}

bool clsReport::SaveCombinedReport() {
  RegisterUnnamedReport();  // a body that built its report without registering it
  ReportInfo& entry = m_Reportinfo[static_cast<size_t>(m_CurrentReportID)];
  entry.Saved = SaveReportAsFile(WorkingPath(entry.FileName), "rtf");
  m_ReportUnsaved = !entry.Saved;
  return entry.Saved;
}

void clsReport::ShowUnsavedReport() {
  // Through RTF as a saved report is read back from its file, so that the report shown,
  // printed and saved from the viewer is page for page the one a saved run shows. Where that
  // cannot be done, the document as built is shown rather than nothing.
  if (richtext::TerReloadAsRtf(m_TerHwnd) == 1)
    InitReportDocument(1, false);
  else
    vb::NoteIgnoredError("clsReport.ShowUnsavedReport()",
                         std::runtime_error("the report could not be read back as RTF"));
  ShowLoadedReport();
}

// Cancel at a progress step: an empty document and an empty list. The combined report is
// saved only after the run's last look at Cancel, so the report file of the last good run
// stays.
void clsReport::CancelRun() {
  InitReportDocument(1, true);
  ClearReportList();
  m_ReportUnsaved = false;
}

bool clsReport::AnalysisRun(const std::string& errorTitle, const char* failurePage, bool progressFirst,
                            const std::function<bool()>& readResults, const std::function<bool()>& combined) {
  m_UserCanceled = false;
  m_LastRunOK = false;
  m_FailedSections = 0;
  m_ReportUnsaved = false;
  m_RatingMeansStored = false;
  const bool ran = modpublic::RunGuarded(errorTitle, "", ui::kExclamation, [&] {
    if (!modDataIO::bReportsRead(m_ReportData)) return false;
    if (!readResults()) return false;
    if (!InitReportDocument(1, true)) return false;
    ClearReportList();
    PaintingFrozen frozen(m_TerHwnd);
    bool built = false;
    if (progressFirst) {
      if (!modpublic::UpdateProgress(modpublic::kProgressGenerating, 10, "")) {
        CancelRun();
        return false;
      }
      built = combined && combined();
    } else {
      built = combined && combined();
      if (!modpublic::UpdateProgress(modpublic::kProgressGenerating, 10, "")) {
        CancelRun();
        return false;
      }
    }
    if (!built) RptErrorPage(failurePage, true);
    if (!modpublic::UpdateProgress(modpublic::kProgressGenerating, 100, "")) {
      CancelRun();
      return false;
    }
    // That step let the window process its events, and a Cancel clicked then is not seen by
    // it: the run looks once more, and this is where it is decided. Up to here Cancel cancels;
    // from here on the run is complete (the progress window ignores a later click), and a
    // cancelled run never replaces the last good report.
    if (CancelClicked()) {
      CancelRun();
      return false;
    }
    // A report built whole but not saved is shown as it is: an error page in its place would
    // hide it, and a second box would repeat the save's.
    if (built && !SaveCombinedReport()) {
      ShowUnsavedReport();
      return false;
    }
    if (Reportinfo(1).Saved && !LoadReportFile(1)) return false;
    // True only when the combined report itself was built and saved.
    return built;
  });
  // A section written as an error line (one without a body included) is no success, though
  // the report with the other sections is kept and shown.
  return m_LastRunOK = ran && m_FailedSections == 0;
}

bool clsReport::PLVAnalysisReports() {
  return AnalysisRun(
      ErrorSource("PLVAnalysisReports"), "PLV Analysis Combined Report", false,
      [this] {
        if (!modDataIO::bCalcReadPLVData(m_PLVSummary, *m_PLVProfile)) return false;
        // The weighting factors are the calculation's: stored whichever sections are chosen.
        StoreRatingMeans();
        return m_RatingMeansStored = true;
      },
      [this] { return PLVRptCombined(); });
}

bool clsReport::EconomicAnalysisReports() {
  return AnalysisRun(
      "clsReport.EconomicAnalysisReports()", "Economics Analysis Combined Report", true,
      [this] { return modDataIO::bCalcReadEconData(m_PLVSummary, m_EconSummary, *m_SystemEcon); },
      [this] { return EcoRptCombinedBody && EcoRptCombinedBody(); });
}
