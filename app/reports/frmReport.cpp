// The report viewer's logic: first activation, the report options step, paging, zoom,
// printing, saving.
#include "app/reports/frmReport.h"

#include <QtCore/qnamespace.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "app/calc/frmWait.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/savefile/save_file.h"
#include "platform/ui/ui.h"

using namespace richtext;

frmReport::frmReport() : m_Report(std::make_unique<clsReport>()) {}

frmReport::~frmReport() = default;

void frmReport::ReportType(int16_t type) {
  m_ReportType = type;
  if (type == 1) m_Caption = kEconomicCaption;
  if (m_View) m_View->Caption(m_Caption);
}

void frmReport::Form_Load() {
  modpublic::RunGuarded("frmReport.Form_Load()", "", ui::kExclamation, [&] {
    if (!m_View) return;
    m_View->Caption(m_Caption);
    m_View->NavButton(0, "&Prev Report", false);
    m_View->NavButton(1, "&Next Report", false);
    m_View->ExitEnabled(false);
    m_View->ReportCommandsEnabled(false);
  });
}

bool frmReport::Form_Activate() {
  if (m_Activated) return true;
  bool bound = false;
  modpublic::RunGuarded("frmReport.Form_Activate()", "", ui::kExclamation, [&] {
    m_Activated = true;
    m_Report->ReportType(m_ReportType);
    if (m_View) {
      m_View->NavButton(1, "Next Report", false);
      m_View->NavButton(0, "Prev Report", false);
    }
    bound = m_View && m_Report->InitializeReportForm(m_View->Toc1());
    if (!bound) return;
    mnuEdit_ReportOptions_Click();
    m_View->ExitEnabled(true);
  });
  if (!bound) {
    if (m_View) m_View->HideWindow();
    modpublic::ShowError("Could not Initialize Report Viewer.", ui::kExclamation, "frmReport.Form_Activate()");
  }
  return bound;
}

void frmReport::mnuEdit_ReportOptions_Click() {
  modpublic::RunGuarded("frmReport.mnuEdit_ReportOptions_Click()", "", ui::kExclamation, [&] {
    frmWait wait;
    wait.ReportClass(m_Report.get());
    wait.DoCalcs(m_DoCalcs);
    if (m_View)
      m_View->ShowWait(wait);
    else
      wait.Form_Activate();
    m_DoCalcs = wait.DoCalcs();
    const bool calcsOK = wait.CalcsOK();
    const bool inputErrors = wait.InputErrors();
    const bool calcErrors = wait.CalcErrors();
    // Cancel pressed in the progress window, or reported by whatever shows the progress.
    const ui::ProgressTarget* progress = ui::progressTarget();
    const bool canceled = wait.UserCanceled() || (progress != nullptr && progress->userCanceled());
    wait.Form_Unload();
    // DoCalcs stays set while no calculation has succeeded; the report run says whether it
    // built and saved its own report.
    m_RunSucceeded = !canceled && !m_DoCalcs && !inputErrors && !calcErrors && m_Report->LastRunOK();
    m_WeightingFactorsMissing =
        WeightingFactorsMissing(canceled, !m_DoCalcs, inputErrors, calcErrors, m_Report->RatingMeansStored());
    if (NeedsErrorReport(canceled, calcsOK, inputErrors, calcErrors)) {
      m_RunSucceeded = false;
      m_Report->RptErrors();
    }
    // A cancelled run leaves the viewer empty: the user is told why.
    if (canceled) ui::host().messageBox(kCancelledMessage, ui::kInformation, "");
  });
  EnableReportButtons();
}

void frmReport::cmdRpt_Click(int index) {
  if (index == 0)
    m_Report->LoadPrevReport();
  else if (index == 1)
    m_Report->LoadNextReport();
  EnableReportButtons();
}

void frmReport::Toolbar1_ButtonClick(const std::string& key) {
  if (key == "cmdPrint") PrintReport(false);
}

void frmReport::TocCommand(int command) {
  if (m_View)
    m_View->TocCommand(command);
  else
    TerCommand(m_Report->TerHwnd(), command);
}

void frmReport::mnuFile_PageSetup_Click() {
  modpublic::RunGuarded("frmReport.mnuFile_PageSetup_Click()", "", ui::kExclamation,
                        [&] { TocCommand(kCmdPageSetup); });
}

void frmReport::mnuFile_PrintSetup_Click() {
  modpublic::RunGuarded("frmReport.mnuFile_PrintSetup_Click()", "", ui::kExclamation,
                        [&] { TocCommand(kCmdPrintSetup); });
}

void frmReport::mnuFile_PrintPreview_Click() {
  modpublic::RunGuarded("frmReport.mnuFile_PrintPreview_Click()", "", ui::kExclamation,
                        [&] { TocCommand(kCmdPrintPreview); });
}

bool frmReport::Form_KeyDown(int key, bool ctrl) {
  const TerHwnd h = m_Report->TerHwnd();
  if (key == Qt::Key_F5) {
    TerRepaginate(h, false);
    TerRepaint(h, true);
  } else if (key == Qt::Key_PageUp) {
    TocCommand(kCmdPageUp);
  } else if (key == Qt::Key_PageDown) {
    TocCommand(kCmdPageDown);
  } else if (ctrl && key == Qt::Key_Home) {
    TocCommand(kCmdDocStart);
  } else if (ctrl && key == Qt::Key_End) {
    TocCommand(kCmdDocEnd);
  } else if (ctrl && key == Qt::Key_A) {
    TocCommand(kCmdSelectAll);
  } else {
    return false;
  }
  if (m_View) m_View->FocusToc();
  return true;
}

void frmReport::UpDown1_Change() {
  SetZoom();
  if (m_View) m_View->FocusToc();
}

void frmReport::cmdHelp_Click() {
  if (m_View) m_View->ShowHelp(kHelpContextId);
}

void frmReport::cmdExit_Click() {
  if (m_View) m_View->HideWindow();
}

// ---- procedures -----------------------------------------------------------------------

void frmReport::SaveReport(int format) {
  if (!m_View || !HasReport()) return;
  const std::string name = modpublic::gFileFilterNames[3].empty() ? "Report Files" : modpublic::gFileFilterNames[3];
  const std::string all = modpublic::gFileFilterNames[1].empty() ? "All Files" : modpublic::gFileFilterNames[1];
  const std::vector<std::string> filters = {name + " (*.rtf)", name + " (*.pdf)", all + " (*.*)"};
  const std::string proposed = ProposedFileName(m_Report->ReportFileName(), format);
  int filterIndex = format;
  std::string target, saveFormat;
  // A file in the program folder is refused before anything is written, and another one asked for.
  for (;;) {
    const std::string path = m_View->ShowSaveDialog("Save Report", filters, filterIndex, proposed);
    if (vb::Trim(path).empty()) return;
    saveFormat = SaveFormat(path, filterIndex);
    target = SavePath(path, saveFormat);
    if (!savefile::InProtectedFolder(target)) break;
    ui::host().messageBox(modpublic::ProgramFolderRefusal(target, "report"), ui::kExclamation, "");
  }
  // The dialog asks nothing: the name typed may not be the file written ("CHL.DAT" saved as
  // "CHL.DAT.rtf"), so the file the save replaces is asked about here.
  std::error_code ec;
  if (std::filesystem::exists(target, ec) && !modpublic::ReplaceConfirmed(target)) return;
  const std::string why = WriteReport(target, saveFormat);
  if (!why.empty()) ui::host().messageBox(SaveFailedMessage(why), ui::kExclamation, "");
}

std::string frmReport::WriteReport(const std::string& path, const std::string& format) {
  switch (m_Report->WriteDocumentFile(path, format)) {
    case clsReport::DocumentWrite::kWritten:
      return {};
    case clsReport::DocumentWrite::kPdfFailed:
      return "the pages of " + path + " could not be laid out as PDF";
    case clsReport::DocumentWrite::kFileFailed:
      break;
  }
  const std::string why = TerLastSaveError();
  return why.empty() ? path + " could not be written" : why;
}

void frmReport::PrintReport(bool dialog) {
  modpublic::RunGuarded("frmReport.PrintReport()", "", ui::kExclamation, [&] {
    if (!HasReport()) return;
    const TerHwnd h = m_Report->TerHwnd();
    DeselectTerText(h, false);
    const bool printed = dialog ? TerPrint2(h, true, 0, 0, 1, 1) : TerPrint2(h, false, -1, 0, 1, 1);
    TerRepaginate(h, false);
    const std::string why = printed ? std::string() : TerLastPrintError(h);
    if (!why.empty()) ui::host().messageBox(PrintFailedMessage(why), ui::kExclamation, "");
  });
}

void frmReport::SetZoom() {
  modpublic::RunGuarded("frmReport.SetZoom()", "", ui::kExclamation, [&] {
    if (!m_View) return;
    const int zoom = ParseZoom(m_View->ZoomText());
    m_View->ZoomText(vb::CStr(static_cast<long>(zoom)));
    TerSetZoom(m_Report->TerHwnd(), zoom);
  });
}

void frmReport::EnableReportButtons() {
  modpublic::RunGuarded("frmReport.EnableReportButtons()", "", ui::kExclamation, [&] {
    if (!m_View) return;
    const NavState s = NavButtons(SubReportsShown(), m_Report->CurrentSubReportID());
    m_View->NavButton(0, "Prev Report", s.prev);
    m_View->NavButton(1, "Next Report", s.next);
    if (s.focus >= 0) m_View->FocusNavButton(s.focus);
    m_View->ReportCommandsEnabled(HasReport());
  });
}

int32_t frmReport::SubReportsShown() const {
  int32_t shown = 0;
  for (int32_t i = 0; i < m_Report->SubReportsCount(); ++i)
    if (m_Report->SubReportFirstPage(i) > 0) ++shown;
  return shown;
}

// ---- rules ----------------------------------------------------------------------------

std::string frmReport::SaveFailedMessage(const std::string& reason) {
  // A disk with no room left fails every name on it: only another disk helps.
  const auto because = [&reason](int err) { return savefile::FailedBecause(reason, err); };
  if (because(ENOSPC) || because(EDQUOT) || because(EFBIG))
    return "The report was not saved: " + reason +
           ".\nThat disk has no room for it: make room there, or save it in a folder on another disk.";
  return "The report was not saved: " + reason + ".\nSave it in another folder or under another name.";
}

std::string frmReport::PrintFailedMessage(const std::string& reason) {
  return "The report was not printed: " + reason +
         ".\nSet up a printer, or choose File > Print and \"Print to File (PDF)\" with a file in a "
         "folder you can write to.";
}

int frmReport::ParseZoom(const std::string& text) {
  const std::string t = vb::Trim(text);
  size_t i = 0;
  long value = 0;
  while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])) && value <= kZoomMax) {
    value = value * 10 + (t[i] - '0');
    ++i;
  }
  return static_cast<int>(std::clamp<long>(value, kZoomMin, kZoomMax));
}

frmReport::NavState frmReport::NavButtons(int32_t subReports, int32_t current) {
  NavState s;
  if (subReports > 0) {
    s.next = current < subReports - 1;
    s.prev = current >= 1;
  }
  if (s.next != s.prev) s.focus = s.next ? 1 : 0;
  return s;
}

std::string frmReport::SaveFormat(const std::string& path, int filterIndex) {
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of('/');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == "rtf" || ext == "pdf") return ext;
  }
  return filterIndex == 1 ? "rtf" : "pdf";
}

bool frmReport::NeedsErrorReport(bool userCanceled, bool calcsOK, bool inputErrors, bool calcErrors) {
  return !userCanceled && calcsOK && (inputErrors || calcErrors);
}

std::string frmReport::SavePath(const std::string& chosen, const std::string& format) {
  const std::string ending = "." + format;
  const std::string name = std::filesystem::path(chosen).filename().string();
  if (name.size() > ending.size() && vb::LCase(name.substr(name.size() - ending.size())) == ending) return chosen;
  return chosen + ending;
}

std::string frmReport::WeightingFactorsMissing(bool userCanceled, bool calcsDone, bool inputErrors, bool calcErrors,
                                               bool stored) {
  if (userCanceled) return "the report run was cancelled";
  if (inputErrors || calcErrors) return "the part-load calculation found errors (see the error report)";
  if (!calcsDone) return "the part-load calculation did not finish";
  if (!stored) return "the part-load results could not be read";
  return "";
}

std::string frmReport::ProposedFileName(const std::string& reportFile, int format) {
  if (format != 2 || reportFile.size() < 3) return reportFile;
  return reportFile.substr(0, reportFile.size() - 3) + "pdf";
}
