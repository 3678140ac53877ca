// The economics launcher of the main window, run without the report viewer window.
#include <memory>

#include "app/calc/frmWait.h"
#include "app/program/frmMain.h"
#include "app/reports/clsReport.h"
#include "app/storage/modpublic.h"
#include "platform/ui/ui.h"

bool frmMain::PerformEconomicsAnalysis(const std::function<void(clsReport&)>& show) {
  return modpublic::RunGuarded(
      "frmMain.PerformEconomicsAnalysis()", "Load Report Class for economics analysis", ui::kCritical, [&] {
        auto report = std::make_unique<clsReport>();
        report->ReportType(1);
        // What the viewer's first activation does: the calculation and
        // the economic report behind the progress window.
        frmWait wait;
        wait.ReportClass(report.get());
        wait.DoCalcs(true);
        wait.Form_Activate();
        wait.Form_Unload();
        if (!wait.UserCanceled() && wait.CalcsOK() && (wait.InputErrors() || wait.CalcErrors())) report->RptErrors();
        if (show) show(*report);
      });
}
