// The report runs the progress window starts: the combined part-load report with its
// sections in order, progress and cancel, failing sections, the file name, and the frame of
// the economic run.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/calc/frmWait.h"
#include "app/reports/tests/report_fixture.h"
#include "app/storage/modDataIO.h"

namespace reporttest {
namespace {

namespace fs = std::filesystem;
using namespace richtext;

class Runs : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(WriteEmptyResults());
    modDataIO::gProject.ProjectName = "Plant X";
  }
  void WriteOptions(bool all, bool inputSummary) {
    ReportData r;
    r.ReportType = 2;
    const vb::Boolean on = all ? -1 : 0;
    r.bCoverPage = r.bSummaryReport = r.bLoadProfileGraph = r.bCustomPLVFactors = r.bCustomPLVSpec = on;
    r.bCoolingDuty = r.bCondTempProfiles = r.bPerfProfiles = on;
    r.bInputSummary = all || inputSummary ? -1 : 0;
    ASSERT_TRUE(modDataIO::bReportsWrite(r));
  }
  // Every part-load body writes one line naming itself; `failing` returns false.
  void FakeBodies(const std::string& failing = "") {
    auto& b = report->PLVSections();
    auto body = [this, failing](std::string name) {
      return [this, failing, name] {
        report->WriteTextLine(name + " body");
        return name != failing;
      };
    };
    b.SummaryReport = body("Summary");
    b.LoadProfiles = body("LoadProfiles");
    b.CustomPLVFactors = body("Factors");
    b.CustomPLVSpec = body("Spec");
    b.CoolingDuty = body("CoolingDuty");
    b.CondTempProfiles = body("CondTemp");
    b.PerfProfiles = body("Perf");
    b.InputSummary = body("InputSummary");
  }
  bool Has(const std::string& text) {
    const auto t = BodyTexts();
    return std::find(t.begin(), t.end(), text) != t.end();
  }
  std::vector<bool> Headers() {
    std::vector<bool> h;
    for (const Section& s : doc().sections) h.push_back(s.fmt.header.has_value() && s.fmt.footer.has_value());
    return h;
  }
  std::vector<int> Orientations() {
    std::vector<int> o;
    for (const Section& s : doc().sections) o.push_back(s.fmt.orientation == Orientation::Landscape ? 2 : 1);
    return o;
  }
};

TEST_F(Runs, NoSectionSelected) {
  WriteOptions(false, false);
  FakeBodies();
  ASSERT_TRUE(report->PLVAnalysisReports());
  EXPECT_EQ(progress.values, (std::vector<float>{10, 100}));
  EXPECT_EQ(WorkingFiles(), std::vector<std::string>{"PLVReport_for_Plant X.rtf"});
  EXPECT_TRUE(report->Reportinfo(1).Saved);
  EXPECT_EQ(report->CurrentReportID(), 1);
  EXPECT_EQ(report->SubReportsCount(), 0);
  EXPECT_TRUE(report->HdrFtrDefault());
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(Runs, InputSummaryOnly) {
  WriteOptions(false, true);
  FakeBodies();
  ASSERT_TRUE(report->PLVAnalysisReports());
  EXPECT_EQ(progress.values, (std::vector<float>{10, 100}));
  EXPECT_EQ(Orientations(), std::vector<int>{1});
  EXPECT_EQ(Headers(), std::vector<bool>{true});
  EXPECT_NE(HdrFtrText(0, false).find("Input Data Summary|"), std::string::npos);
  EXPECT_TRUE(Has("InputSummary body")) << "the document was loaded back from the file";
  EXPECT_EQ(report->SubReportsCount(), 1);
}

TEST_F(Runs, AllSectionsInOrderWithTheirProgress) {
  WriteOptions(true, true);
  FakeBodies();
  ASSERT_TRUE(report->PLVAnalysisReports());
  EXPECT_EQ(progress.values, (std::vector<float>{20, 30, 70, 40, 50, 80, 90, 95, 10, 100}));
  EXPECT_EQ(
      std::vector<std::string>(progress.messages.begin(), progress.messages.begin() + 3),
      (std::vector<std::string>{"Cover Page", "Weighting Factors and ECWTs Report", "System Load Profiles Report"}));
  EXPECT_EQ(Orientations(), (std::vector<int>{1, 1, 1, 2, 2, 1, 1, 1, 1}));
  EXPECT_EQ(Headers(), (std::vector<bool>{false, true, true, true, true, true, true, true, true}));
  const char* titles[] = {
      "WEIGHTING FACTORS AND ECWTs REPORT", "SYSTEM LOAD PROFILES",  "CUSTOM PLV FACTORS REPORT",
      "Custom PLV Specification Report",    "Cooling Duty Profiles", "Condenser Temperature Profiles",
      "System Performance Profiles",        "Input Data Summary"};
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(HdrFtrText(i + 1, false).rfind(titles[i], 0), 0u) << titles[i];
  EXPECT_EQ(report->SubReportsCount(), 9);
  EXPECT_TRUE(Has("Summary of Concepts")) << "the cover page is the object's own";
  EXPECT_TRUE(Has("Perf body"));
  EXPECT_TRUE(host.messages.empty());
  // Each sub-report starts on its own page; the cover takes two.
  EXPECT_EQ(report->SubReportFirstPage(0), 1);
  EXPECT_EQ(report->SubReportFirstPage(1), 3);
  EXPECT_EQ(report->SubReportFirstPage(8), 10);
  const std::string pdf = Working("PLVReport_for_Plant X.pdf");
  ASSERT_TRUE(report->SaveReportAsFile(pdf, "pdf"));
  Keep(pdf);
}

TEST_F(Runs, FailingOrMissingBodyGetsItsErrorLineAndTheRunGoesOn) {
  WriteOptions(true, true);
  FakeBodies("Spec");
  report->PLVSections().CoolingDuty = nullptr;  // not supplied
  // The report is built and kept, but a run with failed sections is no success.
  EXPECT_FALSE(report->PLVAnalysisReports());
  EXPECT_FALSE(report->LastRunOK());
  EXPECT_EQ(report->FailedSections(), 2);
  EXPECT_TRUE(Has("Summary body"));
  EXPECT_TRUE(Has("Spec body")) << "what the failing body wrote stays";
  EXPECT_TRUE(Has("Error found in this report:  Custom PLV Specification Report"));
  EXPECT_TRUE(Has("Error found in this report:  Cooling Duty Profile Report"));
  EXPECT_TRUE(Has("CondTemp body"));
  EXPECT_TRUE(Has("InputSummary body"));
  EXPECT_EQ(doc().sections.size(), 9u);
  EXPECT_TRUE(report->Reportinfo(1).Saved);
}

// A failed input summary fails the combined report: the run ends with its error page.
TEST_F(Runs, FailedCombinedReportEndsInTheRunsErrorPage) {
  WriteOptions(true, true);
  FakeBodies("InputSummary");
  EXPECT_FALSE(report->PLVAnalysisReports());
  EXPECT_EQ(progress.values, (std::vector<float>{20, 30, 70, 40, 50, 80, 90, 95, 10, 100}));
  EXPECT_FALSE(Has("Summary body")) << "the error page stands alone";
  EXPECT_TRUE(Has("Error found in this report:  PLV Analysis Combined Report"));
  EXPECT_FALSE(report->Reportinfo(1).Saved) << "an error page is never saved";
  EXPECT_TRUE(WorkingFiles().empty());
  EXPECT_EQ(HdrFtrText(0, false).rfind("Custom PLV Reports|", 0), 0u);
}

struct CancelCase {
  const char* name;
  int after;  // progress values taken before Cancel is seen (all 10: clicked during the last)
};

class RunCancel : public Runs, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(RunCancel, LeavesNoFileNoListAndNoMessage) {
  WriteOptions(true, true);
  FakeBodies();
  progress.cancelAfterUpdates = GetParam().after;
  EXPECT_FALSE(report->PLVAnalysisReports());
  EXPECT_EQ(progress.values.size(), static_cast<size_t>(GetParam().after));
  EXPECT_TRUE(WorkingFiles().empty());
  EXPECT_EQ(report->ReportsCount(), 0);
  EXPECT_EQ(doc().sections.size(), 1u);
  EXPECT_FALSE(Has("Summary body"));
  EXPECT_TRUE(host.messages.empty());
}

// A Cancel seen once the report is built, with the report of the last good run in the working
// folder: that report stays as it was (never no report), and the run leaves nothing of its own.
TEST_P(RunCancel, KeepsTheLastGoodReport) {
  const std::string file = "PLVReport_for_Plant X.rtf";
  const std::string old = "{\\rtf1 the last good report}";
  std::ofstream(Working(file), std::ios::binary) << old;
  WriteOptions(true, true);
  FakeBodies();
  progress.cancelAfterUpdates = GetParam().after;
  EXPECT_FALSE(report->PLVAnalysisReports());
  EXPECT_EQ(WorkingFiles(), std::vector<std::string>{file});
  std::ifstream in(Working(file), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), old);
  EXPECT_EQ(report->ReportsCount(), 0);
  EXPECT_EQ(doc().sections.size(), 1u);
  EXPECT_FALSE(Has("Summary body"));
  EXPECT_TRUE(host.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Cancel, RunCancel,
                         ::testing::Values(CancelCase{"DuringTheLoadProfiles", 2}, CancelCase{"AfterTheSave", 8},
                                           CancelCase{"AtTheEnd", 9}, CancelCase{"DuringTheLastStep", 10}),
                         [](const ::testing::TestParamInfo<CancelCase>& i) { return std::string(i.param.name); });

// A page view bound to the document sees no change while a run builds, and one repaint after.
class CountingView : public EditorView {
 public:
  int changes = 0;
  void documentChanged() override { ++changes; }
  void showPage(int) override {}
  void setZoomPercent(int) override {}
};

TEST_F(Runs, PaintingIsFrozenWhileTheRunBuilds) {
  WriteOptions(true, true);
  FakeBodies();
  CountingView view;
  ed().view = &view;
  int atFirstBody = -1, atLastBody = -1;
  bool detached = true;
  report->PLVSections().SummaryReport = [&] {
    atFirstBody = view.changes;
    detached = detached && ed().view == nullptr;
    return report->WriteTextLine("Summary body");
  };
  report->PLVSections().PerfProfiles = [&] {
    atLastBody = view.changes;
    detached = detached && ed().view == nullptr;
    return report->WriteTextLine("Perf body");
  };
  ASSERT_TRUE(report->PLVAnalysisReports());
  EXPECT_TRUE(detached);
  EXPECT_EQ(atLastBody, atFirstBody) << "no repaint between the sections";
  EXPECT_EQ(ed().view, &view);
  EXPECT_GT(view.changes, atLastBody);
  ed().view = nullptr;
}

// The progress window, without a window, hands the finished calculation to the report run.
TEST_F(Runs, ProgressWindowStartsThePartLoadRun) {
  WriteOptions(false, true);
  FakeBodies();
  report->ReportType(2);
  frmWait form;
  form.ReportClass(report.get());
  form.DoCalcs(false);
  form.Form_Activate();
  EXPECT_EQ(report->ReportsCount(), 1);
  EXPECT_TRUE(report->Reportinfo(1).Saved);
  EXPECT_EQ(WorkingFiles(), std::vector<std::string>{"PLVReport_for_Plant X.rtf"});
  EXPECT_EQ(progress.values, (std::vector<float>{10, 100}));
  EXPECT_TRUE(Has("InputSummary body"));
}

TEST_F(Runs, FileNameFromTheProjectName) {
  const std::pair<const char*, const char*> cases[] = {
      {"  My Plant  ", "PLVReport_for_My Plant.rtf"},
      {"Plant A", "PLVReport_for_Plant A.rtf"},
      {"A/B\\C:D*E?F\"G<H>I|J", "PLVReport_for_A_B_C_D_E_F_G_H_I_J.rtf"},
      {"../../etc/x", "PLVReport_for_.._.._etc_x.rtf"},
  };
  for (const auto& [project, file] : cases) EXPECT_EQ(clsReport::PLVReportFileName(project), file) << project;

  modDataIO::gProject.ProjectName = "../escape";
  WriteOptions(false, false);
  ASSERT_TRUE(report->PLVAnalysisReports());
  EXPECT_EQ(WorkingFiles(), std::vector<std::string>{"PLVReport_for_.._escape.rtf"});
}

// The economic run takes Cancel at its last step too: the last good report stays.
TEST_F(Runs, EconomicRunCancelledAtItsLastStepKeepsTheLastGoodReport) {
  const std::string old = "{\\rtf1 the last good economic report}";
  std::ofstream(Working("EcoCombined.rtf"), std::ios::binary) << old;
  ReportData r;
  r.ReportType = 1;
  ASSERT_TRUE(modDataIO::bReportsWrite(r));
  report->ReportType(1);
  // The run's first step, the report's two steps (start and end), then the run's last one.
  progress.cancelAfterUpdates = 3;
  EXPECT_FALSE(report->EconomicAnalysisReports());
  EXPECT_EQ(progress.values, (std::vector<float>{10, 10, 100}));
  EXPECT_EQ(WorkingFiles(), std::vector<std::string>{"EcoCombined.rtf"});
  std::ifstream in(Working("EcoCombined.rtf"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), old);
  EXPECT_EQ(report->ReportsCount(), 0);
  EXPECT_TRUE(host.messages.empty());
}

// An error page's name is the report's with "Error_" before it, within the 255 bytes of a file
// name: a long name is cut at the start of a character, and the extension stays.
TEST(ErrorPageFileName, MarksTheReportsNameAndFits) {
  const std::string longest = clsReport::PLVReportFileName(std::string(300, 'x'));
  ASSERT_EQ(longest.size(), 255u);
  const std::string x230(230, 'x');
  const std::pair<std::string, std::string> cases[] = {
      {"PLVReport_for_Plant X.rtf", "Error_PLVReport_for_Plant X.rtf"},
      {"EcoCombined.rtf", "Error_EcoCombined.rtf"},
      {"PLVReport_for_a.b.rtf", "Error_PLVReport_for_a.b.rtf"},
      {longest, "Error_PLVReport_for_" + x230 + "x.rtf"},
      // The 245 bytes left for the name end inside the first "é".
      {"PLVReport_for_" + x230 + "\u00e9\u00e9.rtf", "Error_PLVReport_for_" + x230 + ".rtf"},
  };
  for (const auto& [report, error] : cases) EXPECT_EQ(clsReport::ErrorPageFileName(report), error) << report;
}

TEST_F(Runs, EconomicRunFrame) {
  WriteOptions(false, false);
  // Without the combined economic report: its error page.
  report->EcoRptCombinedBody = nullptr;
  EXPECT_FALSE(report->EconomicAnalysisReports());
  EXPECT_EQ(progress.values, (std::vector<float>{10, 100}));
  EXPECT_TRUE(Has("Error found in this report:  Economics Analysis Combined Report"));
  // With one: built after the first progress step, saved, loaded back.
  progress.values.clear();
  report->EcoRptCombinedBody = [this] {
    report->CurrentReportID(report->AddReportInfo("EcoCombined.rtf", "Economic Reports", 1, true));
    report->WriteTextLine("economic body");
    return report->WrapUpReport();
  };
  ASSERT_TRUE(report->EconomicAnalysisReports());
  EXPECT_EQ(progress.values, (std::vector<float>{10, 100}));
  EXPECT_TRUE(Has("economic body"));
  EXPECT_EQ(report->CurrentReportID(), 1);
  EXPECT_TRUE(fs::exists(Working("EcoCombined.rtf")));
}

}  // namespace
}  // namespace reporttest
