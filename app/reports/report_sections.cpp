// Sub-reports and column sections of a document, their page headers and footers, and the
// wrap-up of a document finished as a whole.
#include <algorithm>
#include <ctime>

#include "app/reports/clsReport.h"
#include "app/reports/report_internal.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

using namespace richtext;
using reports::detail::kCrLf;
using reports::detail::kParaEnd;

namespace {

constexpr ColorRef kHeaderTitleBlue = 16711680;  // 0x00FF0000: blue
constexpr int32_t kHeaderLineFlags = 1056;       // left, marked as a header line
constexpr int32_t kFooterLineFlags = 1040;       // left, marked as a footer line

}  // namespace

// The tab of header and footer lines: the page's right edge, beyond the text, which the
// document turns into a right-aligned stop at the text's edge (on landscape pages too).
int32_t clsReport::HdrFtrTab() const { return m_Orientation == 2 ? std::max(m_PageWidth, m_PageHeight) : m_PageWidth; }

namespace {

std::tm Now() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

}  // namespace

bool clsReport::BeginNewSection(int32_t cols, int32_t spacing, int32_t v3) {
  return modpublic::RunGuarded(ErrorSource("BeginNewSection"), "", ui::kExclamation, [&] {
    Doc();
    MoveToDocEnd();
    TerAppendTextEx(m_TerHwnd, std::string(1, kParaEnd), m_CurFont, m_CurPara, 0, 0, m_Repaint);
    MoveToDocEnd();
    TerSectBreak(m_TerHwnd, m_Repaint);
    // The new section belongs to the sub-report it continues.
    SyncSectionList();
    if (m_Sections.size() >= 2) {
      SectionInfo& added = m_Sections.back();
      added = m_Sections[m_Sections.size() - 2];
      added.HdrFtr = m_HdrFtrDefault;
    }
    TerSetSect(m_TerHwnd, cols, spacing, v3, m_Repaint);
    TerSetSectOrient(m_TerHwnd, m_Orientation, m_Repaint);
  });
}

bool clsReport::BeginNewReport(const std::string& title, int32_t orientation, int32_t& n, bool hdrFtr) {
  return modpublic::RunGuarded(ErrorSource("BeginNewReport"), "", ui::kExclamation, [&] {
    Editor& e = Doc();
    MoveToDocEnd();
    TerAppendTextEx(m_TerHwnd, std::string(1, kParaEnd), m_CurFont, m_CurPara, 0, 0, m_Repaint);
    MoveToDocEnd();
    if (n >= 1) TerSectBreak(m_TerHwnd, m_Repaint);
    int32_t cols = 0, spacing = 0, newPage = 0, orient = 0;
    TerGetSectInfo(m_TerHwnd, cols, spacing, newPage, orient);
    TerSetSect2(m_TerHwnd, cols, spacing, 1, orient, -1, -1);
    TerSetMarginEx(m_TerHwnd, -2, m_Margins.left, m_Margins.right, -1, -1, m_Margins.top, m_Margins.bottom, m_Repaint);
    TerSetSectOrient(m_TerHwnd, orientation, m_Repaint);
    SetPageOrientation(orientation);
    TerRepaginate(m_TerHwnd, m_Repaint);
    TerSetCaretPos(m_TerHwnd, kCaretEnd);
    TerFields fields;
    GetTerFields(m_TerHwnd, fields);
    m_SeqSect = TerGetSeqSect(m_TerHwnd, fields.CurSect);

    SyncSectionList();
    m_Sections.at(static_cast<size_t>(m_SeqSect)) = SectionInfo{orientation, title, hdrFtr};
    if (hdrFtr) {
      if (!MakeHdrFtr0(title, orientation, m_SeqSect)) return false;
    } else {
      // A sub-report without header and footer shows none, even after one that has them.
      auto& fmt = e.doc.sections.at(static_cast<size_t>(m_SeqSect)).fmt;
      fmt.header.reset();
      fmt.footer.reset();
      e.inheritedHdrFtr.erase({m_SeqSect, false});
      e.inheritedHdrFtr.erase({m_SeqSect, true});
      e.changed();
    }
    if (static_cast<int32_t>(m_SubRptFirstSect.size()) <= n) m_SubRptFirstSect.resize(static_cast<size_t>(n) + 1);
    m_SubRptFirstSect[static_cast<size_t>(n)] = m_SeqSect;
    n = n + 1;
    m_SubReportsCount = n;
    return true;
  });
}

// The three header lines: the title, the project with today's date, the preparer with the
// time; the date and time stand at a right tab at the page edge.
void clsReport::WriteHeaderLines(const std::string& title, bool combined) {
  const std::tm now = Now();
  InsertSelectedText(title + kCrLf);
  if (combined) {
    SetTerFont(m_TerHwnd, "Arial", m_Repaint);
    SetTerColor(m_TerHwnd, kHeaderTitleBlue, m_Repaint);
    TerSetCharSpace(m_TerHwnd, 36, m_Repaint);
    SetTerPointSize(m_TerHwnd, 11, m_Repaint);
  } else {
    SetTerPointSize(m_TerHwnd, static_cast<int32_t>(m_DefaultFontSize2), m_Repaint);
  }
  SetTerCharStyle(m_TerHwnd, kStyleBold, true, m_Repaint);
  SetTerParaFmt(m_TerHwnd, kParaCenter, true, m_Repaint);
  DeselectTerText(m_TerHwnd, m_Repaint);
  if (combined) TerSetCharSpace(m_TerHwnd, 0, m_Repaint);

  InsertSelectedText("Project:  " + modDataIO::gProject.ProjectName + "\t" + vb::FormatDate(now, "mm/dd/yyyy") + kCrLf);
  if (combined) SetTerColor(m_TerHwnd, 0, m_Repaint);
  SetTerPointSize(m_TerHwnd, static_cast<int32_t>(m_DefaultFontSize), m_Repaint);
  SetTerCharStyle(m_TerHwnd, kStyleBold, false, m_Repaint);
  SetTerParaFmt(m_TerHwnd, kParaLeft, true, m_Repaint);
  TerSetTab(m_TerHwnd, 1, HdrFtrTab(), 0, m_Repaint);
  DeselectTerText(m_TerHwnd, m_Repaint);

  InsertSelectedText("Prepared By:  " + modDataIO::gSettings.UserName + "\t" + vb::FormatDate(now, "hh:mm AMPM"));
  SetTerPointSize(m_TerHwnd, static_cast<int32_t>(m_DefaultFontSize), m_Repaint);
  SetTerCharStyle(m_TerHwnd, kStyleBold, false, m_Repaint);
  SetTerParaFmt(m_TerHwnd, kHeaderLineFlags, true, m_Repaint);
  TerSetTab(m_TerHwnd, 1, HdrFtrTab(), 0, m_Repaint);
  DeselectTerText(m_TerHwnd, m_Repaint);
}

// "Kestrin" + raised "TM " + " v1.00" (combined reports) or "Kestrin v1.00", a tab, "Page"
// and the page number.
void clsReport::WriteFooterLine(bool combined) {
  const std::string product = kProductName;
  int32_t line = 0, col = 0;
  GetTerCursorPos(m_TerHwnd, line, col);
  const std::string text =
      combined ? product + "TM " + " v" + kProductVersion + "\tPage " : product + " v" + kProductVersion + "\tPage  ";
  InsertSelectedText(text);
  SetTerPointSize(m_TerHwnd, static_cast<int32_t>(m_DefaultFontSize), m_Repaint);
  TerSetTab(m_TerHwnd, 1, HdrFtrTab(), 0, m_Repaint);
  SetTerParaFmt(m_TerHwnd, kFooterLineFlags, true, m_Repaint);
  if (combined) {
    const auto at = col + static_cast<int32_t>(product.size());
    SelectTerText(m_TerHwnd, line, at, line, at + 3, m_Repaint);
    SetTerCharStyle(m_TerHwnd, kStyleSuperscript, true, m_Repaint);
  }
  DeselectTerText(m_TerHwnd, m_Repaint);
  TerCommand(m_TerHwnd, kCmdPageNumber);
  GetTerCursorPos(m_TerHwnd, line, col);
  SelectTerText(m_TerHwnd, line, col - 1, line, col, m_Repaint);
  SetTerPointSize(m_TerHwnd, static_cast<int32_t>(m_DefaultFontSize), m_Repaint);
  DeselectTerText(m_TerHwnd, m_Repaint);
}

bool clsReport::MakeHdrFtr0(const std::string& title, int32_t orientation, int32_t section) {
  return modpublic::RunGuarded(ErrorSource("MakeHdrFtr0"), "", ui::kExclamation, [&] {
    Doc();
    DeselectTerText(m_TerHwnd, m_Repaint);
    TerSetReadOnly(m_TerHwnd, false);
    TerSetSectOrient(m_TerHwnd, orientation, m_Repaint);
    SetPageOrientation(orientation);
    TerSetMarginEx(m_TerHwnd, section, m_Margins.left, m_Margins.right, -1, -1, m_Margins.top, m_Margins.bottom,
                   m_Repaint);
    if (!TerPosHdrFtrEx(m_TerHwnd, section, kHdrFtrHeader, 1, m_Repaint)) return false;
    WriteHeaderLines(title, true);
    if (!TerPosHdrFtrEx(m_TerHwnd, section, kHdrFtrFooter, 0, m_Repaint)) return false;
    WriteFooterLine(true);
    if (m_ReportData.bShowLogo != 0) PutGraphicsInReport("Footer-Logo.bmp", true);
    pOCMSELECT(kCmdReturnToBody, true);
    TerPosBodyText(m_TerHwnd, section, 1, m_Repaint);
    TerSetCaretPos(m_TerHwnd, kCaretEnd);
    pOCMSELECT(kCmdReturnToBody, false);
    TerSetReadOnly(m_TerHwnd, true);
    TerRepaginate(m_TerHwnd, m_Repaint);
    return true;
  });
}

bool clsReport::MakeHdrFtr() {
  return modpublic::RunGuarded(ErrorSource("MakeHdrFtr"), "", ui::kExclamation, [&] {
    Doc();
    if (m_CurrentReportID < 1 || m_CurrentReportID > m_ReportsCount) return false;
    SyncSectionList();
    for (size_t i = 0; i < m_Sections.size(); ++i) {
      const auto s = static_cast<int32_t>(i);
      SectionInfo info = m_Sections[i];
      TerPosBodyText(m_TerHwnd, s, 0, m_Repaint);
      TerSetSectOrient(m_TerHwnd, info.Orientation, m_Repaint);
      SetPageOrientation(info.Orientation);
      TerSetMarginEx(m_TerHwnd, -2, m_Margins.left, m_Margins.right, -1, -1, m_Margins.top, m_Margins.bottom,
                     m_Repaint);
      if (!info.HdrFtr) continue;
      TerPosHdrFtrEx(m_TerHwnd, s, kHdrFtrHeader, 0, m_Repaint);
      WriteHeaderLines(info.Title, false);
      TerPosHdrFtrEx(m_TerHwnd, s, kHdrFtrFooter, 0, m_Repaint);
      WriteFooterLine(false);
    }
    TerPosBodyText(m_TerHwnd, 0, 0, m_Repaint);
    return true;
  });
}

bool clsReport::WrapUpReport0() {
  return modpublic::RunGuarded(ErrorSource("WrapUpReport0"), "", ui::kExclamation, [&] {
    Doc();
    DeselectTerText(m_TerHwnd, m_Repaint);
    TerSetReadOnly(m_TerHwnd, false);
    MakeHdrFtr();
    TerSetReadOnly(m_TerHwnd, true);
    SetTerCursorPos(m_TerHwnd, 0, 0, m_Repaint);
    TerRepaginate(m_TerHwnd, m_Repaint);
  });
}

bool clsReport::WrapUpReport() {
  return modpublic::RunGuarded(ErrorSource("WrapUpReport"), "", ui::kExclamation, [&] {
    if (!WrapUpReport0()) return false;
    // A document that no report of the list stands for is saved under a name of its own.
    RegisterUnnamedReport();
    ReportInfo& entry = m_Reportinfo[static_cast<size_t>(m_CurrentReportID)];
    entry.Saved = SaveReportAsFile(WorkingPath(entry.FileName), "rtf");
    return entry.Saved;
  });
}

void clsReport::RegisterUnnamedReport() {
  if (m_CurrentReportID < 1 || m_CurrentReportID > m_ReportsCount)
    m_CurrentReportID = AddReportInfo("Rpt-RPT.rtf", "Unknown Report", 1, true);
}

bool clsReport::pOCMSELECT(int32_t command, bool wanted) {
  const bool checked = TerMenuSelect(m_TerHwnd, command) == kMenuChecked;
  if (checked != wanted) TerCommand(m_TerHwnd, command);
  return TerMenuSelect(m_TerHwnd, command) == kMenuChecked;
}
