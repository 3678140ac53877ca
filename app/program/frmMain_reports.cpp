// The main window's Reports command: options, set-up, the economics calculation, the system
// difference, the part-load viewer and the summary CSV.
#include <filesystem>

#include "app/calc/frmWait.h"
#include "app/program/Module1.h"
#include "app/program/frmMain.h"
#include "app/reports/clsReport.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "platform/ui/ui.h"

using modDataIO::gProject;
using modDataIO::gSettings;

namespace {
constexpr const char* kCsvFileName = "CPLVSummaryResults.csv";
constexpr int16_t kEqualUnloading = 4;

// The report type into the scratch report-options record (and gReportData).
bool StoreReportType(int32_t type) {
  ReportData r;
  if (!modDataIO::bReportsRead(r)) return false;
  r.ReportType = static_cast<int16_t>(type);
  if (!modDataIO::bReportsWrite(r)) return false;
  frmMain::gReportData = r;
  return true;
}
}  // namespace

std::string frmMain::DefaultCsvPath(const std::string& csvPath, const std::string& workingFolder) {
  if (!csvPath.empty()) return csvPath;
  return (std::filesystem::path(workingFolder) / kCsvFileName).string();
}

std::string frmMain::CsvRefusal(const std::string& csvPath) {
  const std::filesystem::path working(modDataIO::WorkingFolder());
  return modDataIO::CsvPathRefusal(
      csvPath,
      {{"the open project's file", gProject.FilePath},
       {"the program's settings file", Module1::gSettingsFile},
       {"the report file that the run writes", (working / clsReport::PLVReportFileName(gProject.ProjectName)).string(),
        true},
       // The error report the part-load run saves when the calculation found errors.
       {"the report file that the run writes", (working / clsReport::ErrorReportFileName(false)).string(), true}});
}

void frmMain::cmdReport_Click() {
  modpublic::RunGuarded("frmMain.cmdReport_Click()", "", ui::kCritical, [&] {
    if (!view_) return;
    bool valid = false;
    ValidateFormControls(valid);
    if (!valid) return;
    gSettings.CSVFilePath = DefaultCsvPath(gSettings.CSVFilePath, modDataIO::WorkingFolder());
    if (!view_->ShowReportOptions()) return;
    if (!ControlsToProjectData()) return;
    // The options refuse such a path; one that slips past them (the project renamed from the
    // options, so the report takes the CSV's name) stops the run before anything is written.
    if (gSettings.ExportCSV) {
      if (const std::string refusal = CsvRefusal(gSettings.CSVFilePath); !refusal.empty()) {
        ui::host().messageBox(refusal, ui::kExclamation, "");
        return;
      }
    }
    // A CSV asked for and not written is never passed over in silence.
    const auto csvNotWritten = [](const std::string& reason) {
      if (gSettings.ExportCSV)
        ui::host().messageBox(modDataIO::CsvNotWrittenMessage(gSettings.CSVFilePath, reason), ui::kExclamation, "");
    };
    // Without every scratch record the calculation would read the previous run's.
    if (!SetupCalculationData()) {
      csvNotWritten("the calculation's input could not be stored in the scratch folder");
      return;
    }
    // Both calculations read and write the same scratch files.
    const frmWait::SharedFailures oneBoxPerFailure;
    int32_t type = 1;
    const bool economicsOK = RunCalculations(type);
    if (economicsOK && gProject.PlantControl == kEqualUnloading) CalcSystemDifference();
    type = 2;
    const ReportRun run = GenerateReports(type);
    // The CSV needs the weighting factors only: a failed section or report file does not
    // keep it back.
    if (!run.weightingFactors)
      csvNotWritten(run.failure);
    else if (gSettings.ExportCSV)
      modDataIO::ExportCSV(gSettings.CSVFilePath, gProject, gProject.WeightingFactor, gProject.ECWT);
  });
}

bool frmMain::RunCalculations(int32_t& type) {
  clsReport report;
  report.ReportType(static_cast<int16_t>(type));
  if (!StoreReportType(type)) return false;
  frmWait wait;
  wait.ReportClass(&report);
  // The calculation reads the report type from the scratch record; no report run follows.
  wait.CalculationOnly(true);
  wait.DoCalcs(true);
  view_->ShowWait(wait);
  const bool ok = wait.CalcsOK() && !wait.InputErrors() && !wait.CalcErrors() && !wait.UserCanceled();
  wait.Form_Unload();
  return ok;
}

float frmMain::SystemDifference(const vb::Array<SystemEconData, 1, 4>& systems) {
  double total[3] = {0, 0, 0};
  for (int i = 1; i <= 2; ++i) {
    const SystemEconData& s = systems(i);
    if (s.nSysIndex < 1 || s.nSysIndex > 2) continue;
    total[s.nSysIndex] = s.dChwPumpKWh + s.dCwPumpKWh;
  }
  if (!(total[1] > 0)) return 0;
  return static_cast<float>((total[2] - total[1]) * 100.0 / total[1]);
}

void frmMain::CalcSystemDifference() {
  PLVSummaryData summary;
  EconSummaryData econ;
  auto systems = std::make_unique<vb::Array<SystemEconData, 1, 4>>();
  gProject.SystemDifference = 0;
  if (modDataIO::bCalcReadEconData(summary, econ, *systems)) gProject.SystemDifference = SystemDifference(*systems);
}

frmMain::ReportRun frmMain::GenerateReports(int32_t& type) {
  ReportRun run{false, "the report options could not be stored for the part-load report run"};
  std::string step = "Create report class";
  modpublic::RunGuarded("frmMain.GenerateReports()", step, ui::kCritical, [&] {
    if (!StoreReportType(type)) return;
    step.clear();
    run = view_->ShowReportViewer(static_cast<int16_t>(type));
  });
  return run;
}

void frmMain::PerformEconomicsAnalysis() {
  // The viewer's calculation reads the report type from RPT.DAT, so it is stored first.
  int32_t type = 1;
  GenerateReports(type);
}
