// The set-up the end-to-end report tests share: the current project taken through the start-up
// file steps and the calculation set-up, as the Reports command takes it, with RPT.DAT asking
// for a part-load report.
#pragma once

#include <functional>

#include <gtest/gtest.h>

#include "app/calc/frmWait.h"
#include "app/program/frmMain.h"
#include "app/reports/clsReport.h"
#include "app/storage/modDataIO.h"
#include "platform/ui/ui.h"

namespace programtest {

// `options` may change the report options before they are written. A failed step names the
// first message the program showed. Call it under ASSERT_NO_FATAL_FAILURE.
inline void SetUpPartLoadReport(const ui::RecordingHost& host, const std::function<void(ReportData&)>& options = {}) {
  const auto firstMessage = [&] { return host.messages.empty() ? std::string() : host.messages[0].text; };
  ASSERT_TRUE(frmMain::PrepareDataFiles()) << firstMessage();
  ASSERT_TRUE(frmMain::SetupCalculationData()) << firstMessage();
  ReportData r;
  ASSERT_TRUE(modDataIO::bReportsRead(r)) << firstMessage();
  r.ReportType = 2;
  if (options) options(r);
  ASSERT_TRUE(modDataIO::bReportsWrite(r)) << firstMessage();
}

// The report options of a run with the table sections only (no cover page, no graphs).
inline void TableSectionsOnly(ReportData& r) {
  r.bCoverPage = r.bLoadProfileGraph = r.bCoolingDuty = r.bCondTempProfiles = r.bPerfProfiles = vb::kFalse;
  r.bSummaryReport = r.bCustomPLVFactors = r.bCustomPLVSpec = r.bInputSummary = vb::kTrue;
}

// Runs the part-load calculation and its report's table sections through the progress
// window's logic, as the viewer does; the calculation must end without input errors. Call it
// under ASSERT_NO_FATAL_FAILURE.
inline void RunPartLoadTables(clsReport& report) {
  report.ReportType(2);
  report.InstallPLVTableSections();
  frmWait form;
  form.ReportClass(&report);
  form.DoCalcs(true);
  form.Form_Activate();
  ASSERT_TRUE(form.CalcsOK());
  ASSERT_FALSE(form.InputErrors());
}

}  // namespace programtest
