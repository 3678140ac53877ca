// The error report: the lines the calculation left in ERR.DAT, as a one-section document.
#include "app/reports/clsReport.h"
#include "app/reports/report_internal.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

bool clsReport::RptErrors() {
  return modpublic::RunGuarded(ErrorSource("RptErrors"), "", ui::kExclamation, [&] {
    InitReportDocument(1, true);
    ClearReportList();
    PaintingFrozen frozen(m_TerHwnd);
    std::vector<std::string> lines;
    int32_t count = 0;
    if (!modDataIO::bErrorRead(lines, count) || count == 0) return false;
    const bool economic = m_ReportType == 1;
    m_CurrentReportID =
        AddReportInfo(ErrorReportFileName(economic),
                      economic ? "Economic Analysis Error Report" : "PLV Analysis Error Report", 1, true);
    if (m_CurrentReportID == 0) return false;
    WriteTextLine("");
    for (int32_t i = 0; i < count && i < static_cast<int32_t>(lines.size()); ++i) {
      // Spaces go, a leading tab stays: the message lines keep their indent.
      const std::string text = vb::Trim(lines[static_cast<size_t>(i)]);
      if (!text.empty()) WriteTextLine(text);
    }
    // The document stays in the viewer either way; the result says whether it was saved.
    return WrapUpReport();
  });
}
