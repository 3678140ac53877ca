// frmReport: the report viewer's logic. It owns the report object of the viewer (clsReport),
// binds it to the page view's document on the first activation, runs the calculation and the
// report run inside the progress window, and then offers paging between the sub-reports,
// zoom, printing, page and printer set-up, preview, saving as RTF or PDF, a repeated report
// options step, help and exit.
//
// The class holds no widget: the window (app/reports/viewer/frmReportWindow) implements View
// and passes the user's actions to the handlers below; tests drive it with a fake view.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/reports/clsReport.h"

class frmWait;

class frmReport {
 public:
  class View {
   public:
    virtual ~View() = default;
    virtual void Caption(const std::string& text) = 0;
    // cmdRpt index 0 ("Prev Report") and 1 ("Next Report").
    virtual void NavButton(int index, const std::string& caption, bool enabled) = 0;
    virtual void FocusNavButton(int index) = 0;
    virtual void ExitEnabled(bool enabled) = 0;
    // Print, Print Preview and the two saves (toolbar and menu): offered only while there is
    // a report.
    virtual void ReportCommandsEnabled(bool enabled) = 0;
    virtual std::string ZoomText() const = 0;
    virtual void ZoomText(const std::string& text) = 0;
    // The page view's document (Toc1) and its command entry point.
    virtual richtext::TerHwnd Toc1() const = 0;
    virtual void TocCommand(int command) = 0;
    virtual void FocusToc() = 0;
    // Shows the progress window modally with this window as owner; returns when it closed.
    virtual void ShowWait(frmWait& wait) = 0;
    // The save dialog: the chosen path ("" when cancelled) and in filterIndex (1-based, in:
    // the filter offered first) the filter the user chose.
    virtual std::string ShowSaveDialog(const std::string& title, const std::vector<std::string>& filters,
                                       int& filterIndex, const std::string& fileName) = 0;
    // Hides the window, which ends its modal display.
    virtual void HideWindow() = 0;
    virtual void ShowHelp(long contextId) = 0;
  };

  static constexpr const char* kCaption = "Reports Viewer";
  static constexpr const char* kEconomicCaption = "Economic Analysis Reports";
  static constexpr long kHelpContextId = 31020;
  static constexpr int kZoomMin = 20;
  static constexpr int kZoomMax = 200;

  frmReport();  // Form_Initialize and Form_Load: the report object made, nothing bound yet
  ~frmReport();
  frmReport(const frmReport&) = delete;
  frmReport& operator=(const frmReport&) = delete;

  void SetView(View* view) { m_View = view; }
  clsReport& Report() { return *m_Report; }

  // ---- properties ----
  // Type 1 also makes the caption "Economic Analysis Reports".
  void ReportType(int16_t type);
  int16_t ReportType() const { return m_ReportType; }
  bool bCancel() const { return m_bCancel; }
  std::string Caption() const { return m_Caption; }
  bool DoCalcs() const { return m_DoCalcs; }
  // Whether the last report options step ended in the run's own saved report (not cancelled,
  // no input or calculation errors, the combined report saved, no section failed).
  bool RunSucceeded() const { return m_RunSucceeded; }
  // Whether the last report options step gave the part-load weighting factors and ECWTs
  // (stored in gProject, what the summary CSV exports); when it did not, what stopped them.
  bool WeightingFactorsComputed() const { return m_WeightingFactorsMissing.empty(); }
  const std::string& WeightingFactorsMissing() const { return m_WeightingFactorsMissing; }

  // ---- events ----
  void Form_Load();
  // First activation: bind, run the report options step, enable Exit. Later ones: nothing.
  // False when the viewer could not be bound (the window must then close).
  bool Form_Activate();
  void mnuEdit_ReportOptions_Click();
  void cmdRpt_Click(int index);
  void cmdSaveAsRTF_Click() { SaveReport(1); }
  void cmdSaveAsPDF_Click() { SaveReport(2); }
  void mnuFile_SaveAs_Click() { SaveReport(1); }
  void Toolbar1_ButtonClick(const std::string& key);
  void mnuFile_Print_Click() { PrintReport(true); }
  void mnuFile_PageSetup_Click();
  void mnuFile_PrintSetup_Click();
  void mnuFile_PrintPreview_Click();
  // Keys the window sees before its controls (Qt key codes). True when handled (consumed).
  bool Form_KeyDown(int key, bool ctrl);
  void txtZoom_LostFocus() { SetZoom(); }
  void UpDown1_Change();
  void cmdHelp_Click();
  void cmdExit_Click();

  // ---- procedures ----
  // 1 RTF, 2 PDF, as offered first in the save dialog. A file in the program folder is refused
  // and the dialog shown again; an existing file (the one written, its extension added) is
  // asked about; a failed save says why, with its own message.
  void SaveReport(int format);
  void PrintReport(bool dialog);
  void SetZoom();
  void EnableReportButtons();

  // ---- rules (pure) ----
  // The leading number of the text (0 when none), clamped to 20..200.
  static int ParseZoom(const std::string& text);
  static constexpr const char* kCancelledMessage =
      "The report run was cancelled; no report was made. Choose Edit > Report Options to run it again.";
  // The message of a save that failed, with the reason (which names the file and ends with the
  // system's words): a full disk is told to make room or use another disk, anything else to
  // use another folder or name.
  static std::string SaveFailedMessage(const std::string& reason);
  // The one message of a print that failed (not of one the user cancelled), with the reason.
  static std::string PrintFailedMessage(const std::string& reason);
  struct NavState {
    bool prev = false;
    bool next = false;
    int focus = -1;  // the button index that takes the focus, -1 none
  };
  static NavState NavButtons(int32_t subReports, int32_t current);
  // "rtf" or "pdf": by the file's extension in any case, else by the filter (1 rtf, any
  // other pdf).
  static std::string SaveFormat(const std::string& path, int filterIndex);
  // The error report is built only after a finished, uncancelled calculation that found
  // input or calculation errors.
  static bool NeedsErrorReport(bool userCanceled, bool calcsOK, bool inputErrors, bool calcErrors);
  // The file name the save dialog proposes: the report's, with "pdf" for the last three
  // characters for PDF.
  static std::string ProposedFileName(const std::string& reportFile, int format);
  // The file a save writes: the chosen path, with ".rtf" or ".pdf" (the format's) added
  // when its name does not end so ("walk" saved as PDF is "walk.pdf").
  static std::string SavePath(const std::string& chosen, const std::string& format);
  // Why a report options step gave no weighting factors, for the summary CSV's message;
  // "" when it gave them (a finished, uncancelled part-load calculation whose results the
  // run read).
  static std::string WeightingFactorsMissing(bool userCanceled, bool calcsDone, bool inputErrors, bool calcErrors,
                                             bool stored);

 private:
  void TocCommand(int command);
  // Writes the report document as "pdf" or else RTF; "" when written, else why it was not.
  std::string WriteReport(const std::string& path, const std::string& format);
  // The sub-reports the document holds: those of the report list that start on a page of it.
  // The error page of a failed run has none, whatever sections the run began before it failed.
  int32_t SubReportsShown() const;
  // Whether the viewer holds a report (the run's, its error page or the error report).
  bool HasReport() const { return m_Report->ReportsCount() > 0; }

  View* m_View = nullptr;
  std::unique_ptr<clsReport> m_Report;
  int16_t m_ReportType = 0;
  std::string m_Caption = kCaption;
  bool m_DoCalcs = true;
  bool m_Activated = false;
  bool m_bCancel = false;
  bool m_RunSucceeded = false;
  std::string m_WeightingFactorsMissing = "the part-load report run did not start";
};
