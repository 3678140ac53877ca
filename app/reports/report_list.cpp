// The list of report files a run produced, loading one back into the document, moving
// between sub-reports, and the error line or page of what failed.
#include <algorithm>

#include "app/reports/clsReport.h"
#include "app/reports/report_internal.h"
#include "app/storage/modpublic.h"

using namespace richtext;
using reports::detail::kCrLf;

int32_t clsReport::AddReportInfo(const std::string& fileName, const std::string& title, int32_t orientation,
                                 bool hdrFtr) {
  const int32_t n = m_ReportsCount + 1;
  m_Reportinfo.resize(static_cast<size_t>(n) + 1);
  SetPageOrientation(orientation);
  m_Reportinfo[static_cast<size_t>(n)] = ReportInfo{fileName, title, static_cast<int16_t>(orientation), false};
  // The report's first section is the last one of the document.
  if (TerEditor(m_TerHwnd)) SyncSectionList();
  if (!m_Sections.empty()) m_Sections.back() = SectionInfo{orientation, title, hdrFtr};
  m_ReportsCount = n;
  return n;
}

void clsReport::ClearReportList() {
  m_ReportsCount = 0;
  m_SubReportsCount = 0;
  m_Reportinfo.assign(2, ReportInfo{});
}

bool clsReport::LoadReportFile(int32_t reportID) {
  if (reportID < 1 || reportID > m_ReportsCount || !m_Reportinfo[static_cast<size_t>(reportID)].Saved) return false;
  const std::string path = WorkingPath(m_Reportinfo[static_cast<size_t>(reportID)].FileName);
  // The file is read before anything is reset, so a file that cannot be read leaves the
  // document as it was.
  if (ReadTerFile(m_TerHwnd, path) != 1) {
    m_CurrentReportID = 0;
    modpublic::ShowError(std::string("Error loading report file:") + kCrLf + kCrLf + path, ui::kExclamation,
                         ErrorSource("LoadReportFile"));
    return false;
  }
  if (!InitReportDocument(1, false)) return false;
  m_CurrentReportID = reportID;
  ShowLoadedReport();
  return true;
}

void clsReport::ShowLoadedReport() {
  TerSetReadOnly(m_TerHwnd, true);
  TerRepaginate(m_TerHwnd, m_Repaint);
  TerRepaint(m_TerHwnd, true);
  m_CurrentSubReportID = 0;
  GoToSubReport(0);
}

void clsReport::LoadPrevReport() {
  m_CurrentSubReportID = std::max(0, m_CurrentSubReportID - 1);
  GoToSubReport(m_CurrentSubReportID);
}

void clsReport::LoadNextReport() {
  m_CurrentSubReportID = std::clamp(m_CurrentSubReportID + 1, 0, std::max(0, m_SubReportsCount - 1));
  GoToSubReport(m_CurrentSubReportID);
}

int32_t clsReport::SubReportFirstPage(int32_t index) {
  Editor* e = TerEditor(m_TerHwnd);
  if (!e || index < 0 || index >= m_SubReportsCount || index >= static_cast<int32_t>(m_SubRptFirstSect.size()))
    return 0;
  const auto& first = e->layout().sectionFirstPage;
  const auto sect = static_cast<size_t>(m_SubRptFirstSect[static_cast<size_t>(index)]);
  return sect < first.size() ? first[sect] + 1 : 0;
}

void clsReport::GoToSubReport(int32_t index) {
  const int32_t page = SubReportFirstPage(index);
  if (page > 0) TerPosPage(m_TerHwnd, page);
}

bool clsReport::RptSectionError(const std::string& title, bool) {
  ++m_FailedSections;
  WriteTextLine("");
  return WriteTextLine("Error found in this report:  " + title, true, false);
}

bool clsReport::RptErrorPage(const std::string& title, bool hdrFtr) {
  InitReportDocument(m_Orientation, true);
  m_HdrFtrDefault = hdrFtr;
  const ReportInfo current = Reportinfo(m_CurrentReportID);
  m_Sections.front() = SectionInfo{m_Orientation, current.Title, hdrFtr};
  RptSectionError(title, hdrFtr);
  const bool finished = WrapUpReport0();
  // The page stands in the list for the viewer, unsaved, under a name of its own: saved from
  // the viewer, it is never offered the report's file.
  RegisterUnnamedReport();
  ReportInfo& entry = m_Reportinfo[static_cast<size_t>(m_CurrentReportID)];
  entry.FileName = ErrorPageFileName(entry.FileName);
  entry.Saved = false;
  return finished;
}
