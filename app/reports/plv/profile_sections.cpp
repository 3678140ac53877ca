// The part-load report's profile sections (system load profiles, condenser temperature
// profiles, system performance profile, cooling duty profiles): their bodies in the combined
// run, and the three stand-alone single-section reports.
#include "app/reports/clsReport.h"
#include "app/reports/report_internal.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vberror.h"

namespace {

// A step that failed without an error of its own (its box was not shown) becomes one.
void Check(bool ok, const char* what) {
  if (!ok) vb::Raise(vb::kInvalidProcedureCall, what);
}

}  // namespace

void clsReport::InstallPLVGraphSections() {
  m_PLVSections.LoadProfiles = [this] {
    int32_t table = 0;
    return RptSystemLoadProfiles0(table);
  };
  m_PLVSections.CondTempProfiles = [this] {
    int32_t table = 0;
    return RptCondenserTempProfiles0(table);
  };
  m_PLVSections.PerfProfiles = [this] {
    int32_t table = 0;
    return RptSystemPerformanceProfile0(table);
  };
  m_PLVSections.CoolingDuty = [this] { return CoolingDutyProfilesReport(); };
}

// A body runs its steps unguarded under its own error box: a failed step shows exactly one
// box, with the body's failure text. A graph whose set-up failed has shown the set-up's box
// and returns false; the body then shows none.
bool clsReport::RptSystemLoadProfiles0(int32_t& table) {
  std::string failure;
  return modpublic::RunGuarded(ErrorSource("RptSystemLoadProfiles0"), failure, ui::kExclamation, [&] {
    failure = "Error creating system load profile graph.";
    if (!DrawSystemLoadProfileGraph()) return false;
    failure = "Error generating chiller operating hours statistics table.";
    return WriteOperatingHoursStatistics(table);
  });
}

bool clsReport::RptCondenserTempProfiles0(int32_t&) {
  return modpublic::RunGuarded(ErrorSource("RptCondenserTempProfiles0"),
                               "Error creating Condenser Temperature Profiles Graph.", ui::kExclamation,
                               [&] { return DrawCondenserTempProfilesGraph(); });
}

bool clsReport::RptSystemPerformanceProfile0(int32_t&) {
  return modpublic::RunGuarded(ErrorSource("RptSystemPerformanceProfile0"),
                               "Error creating System Performance Profile Graph.", ui::kExclamation,
                               [&] { return DrawSystemPerformanceProfileGraph(); });
}

bool clsReport::StandAloneProfileReport(const ProfileReport& r) {
  const int32_t id = AddReportInfo(r.fileName, r.title, 1, true);
  if (id == 0) return false;
  m_CurrentReportID = id;
  std::string failure;
  return modpublic::RunGuarded(ErrorSource(r.procedure), failure, ui::kExclamation, [&] {
    int32_t table = 0;
    // A failed body has shown its own box: the starter adds none.
    if (!(this->*r.body)(table)) return false;
    failure = r.inputSummaryFailure;
    Check(m_PLVSections.InputSummary && m_PLVSections.InputSummary(), "The input data summary was not written.");
    failure.clear();
    return WrapUpReport();
  });
}

bool clsReport::RptSystemLoadProfiles() {
  return StandAloneProfileReport({"Load-grf.rtf", "System Load Profiles", "RptSystemLoadProfiles",
                                  "Error creating Input Data Summary", &clsReport::RptSystemLoadProfiles0});
}

bool clsReport::RptCondenserTempProfiles() {
  return StandAloneProfileReport({"Temp-grf.rtf", "Condenser Temperature Profiles", "RptCondenserTempProfiles",
                                  "Error creating Input Data Summary.", &clsReport::RptCondenserTempProfiles0});
}

bool clsReport::RptSystemPerformanceProfile() {
  return StandAloneProfileReport({"Perf-grf.rtf", "System Performance Profile", "RptSystemPerformanceProfile",
                                  "Error creating Input Data Summary.", &clsReport::RptSystemPerformanceProfile0});
}
