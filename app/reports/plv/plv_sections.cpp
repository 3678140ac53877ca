// The part-load run's results for the table sections, and their place in the combined run.
#include "app/reports/clsReport.h"
#include "app/storage/modDataIO.h"

bool clsReport::ReadRunResults() {
  // Results read here have no means stored yet: the summary section stores them.
  m_RatingMeansStored = false;
  if (!modDataIO::bReportsRead(m_ReportData)) return false;
  m_ReportType = m_ReportData.ReportType;
  if (m_ReportType == 1) return modDataIO::bCalcReadEconData(m_PLVSummary, m_EconSummary, *m_SystemEcon);
  return modDataIO::bCalcReadPLVData(m_PLVSummary, *m_PLVProfile);
}

void clsReport::InstallPLVTableSections() {
  m_PLVSections.SummaryReport = [this] {
    int32_t section = 0;
    return RptForMardel(section);
  };
  m_PLVSections.CustomPLVFactors = [this] {
    int32_t table = 0;
    return RptCustomPLVReport(table);
  };
  m_PLVSections.CustomPLVSpec = [this] { return RptCustomPLVSpecification0(); };
  m_PLVSections.InputSummary = [this] {
    int32_t section = 0;
    return InputDataSummary(section);
  };
}
