// The viewer's report options step on the shipped default project, without a window: a
// project with an input error ends in the error report with the ERR.DAT lines; each report
// option alone gives its one sub-report with its progress step; a repeated step does not
// recalculate; a cancelled run leaves no file.
#include <filesystem>
#include <memory>

#include "app/calc/frmWait.h"
#include "app/program/tests/part_load_setup.h"
#include "app/reports/frmReport.h"
#include "app/reports/tests/report_fixture.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace reporttest {
namespace {

using namespace richtext;
namespace fs = std::filesystem;

// The viewer's window as the logic sees it: the progress window runs in place, nothing shown.
class FakeView : public frmReport::View {
 public:
  TerHwnd toc = TerCreateWindow();
  std::string caption, zoom = "100%";
  bool prev = false, next = false, exitEnabled = false, hidden = false, reportCommands = false;
  int focus = -1, waits = 0;
  std::vector<int> commands;
  ~FakeView() override { TerDestroyWindow(toc); }
  void Caption(const std::string& text) override { caption = text; }
  void NavButton(int index, const std::string&, bool enabled) override { (index == 0 ? prev : next) = enabled; }
  void FocusNavButton(int index) override { focus = index; }
  void ExitEnabled(bool enabled) override { exitEnabled = enabled; }
  void ReportCommandsEnabled(bool enabled) override { reportCommands = enabled; }
  std::string ZoomText() const override { return zoom; }
  void ZoomText(const std::string& text) override { zoom = text; }
  TerHwnd Toc1() const override { return toc; }
  void TocCommand(int command) override { commands.push_back(command); }
  void FocusToc() override {}
  void ShowWait(frmWait& wait) override {
    ++waits;
    wait.Form_Activate();
  }
  std::string ShowSaveDialog(const std::string&, const std::vector<std::string>&, int&, const std::string&) override {
    return "";
  }
  void HideWindow() override { hidden = true; }
  void ShowHelp(long) override {}
};

class ViewerRun : public ReportTest {
 protected:
  // A part-load viewer on a fake window, not yet activated.
  std::unique_ptr<frmReport> Viewer(FakeView& view) {
    auto form = std::make_unique<frmReport>();
    form->SetView(&view);
    form->ReportType(2);
    return form;
  }
  void SetUp() override {
    ReportTest::SetUp();
    modpublic::gAppPath = std::string(KESTRIN_PROGRAM_DIR) + "/";
    ASSERT_TRUE(modpublic::InitGlobalSettings(modpublic::gAppPath));
    modDataIO::gProject.ProjectName = "Viewer Plant";
    ASSERT_NO_FATAL_FAILURE(programtest::SetUpPartLoadReport(host));
  }
  void TearDown() override {
    modpublic::gAppPath.clear();
    ReportTest::TearDown();
  }
};

TEST_F(ViewerRun, InputErrorEndsInTheErrorReportWithTheErrDatLines) {
  ChillerData ch;
  ASSERT_TRUE(modDataIO::bChillerRead(1, ch));
  ch.fDesignLCHWT += 2;  // no longer the system's
  ASSERT_TRUE(modDataIO::bChillerWrite(1, ch));
  FakeView view;
  auto viewer = Viewer(view);
  frmReport& form = *viewer;
  ASSERT_TRUE(form.Form_Activate());
  EXPECT_TRUE(view.exitEnabled);
  EXPECT_FALSE(form.RunSucceeded());
  EXPECT_TRUE(form.DoCalcs());
  EXPECT_EQ(form.Report().Reportinfo(1).FileName, "PLVErr.rtf");
  EXPECT_TRUE(form.Report().Reportinfo(1).Saved);
  std::vector<std::string> lines;
  int32_t count = 0;
  ASSERT_TRUE(modDataIO::bErrorRead(lines, count));
  ASSERT_GT(count, 0);
  // The viewer's own document holds the lines.
  std::string all;
  for (const Section& sect : TerEditor(view.toc)->doc.sections)
    for (const Block& b : sect.blocks)
      if (const auto* p = std::get_if<Paragraph>(&b)) all += TextOf(*p) + "\n";
  int shown = 0;
  for (int32_t i = 0; i < count; ++i) {
    const std::string text = vb::Trim(lines[static_cast<size_t>(i)]);
    if (text.empty()) continue;
    EXPECT_NE(all.find(text), std::string::npos) << text;
    ++shown;
  }
  EXPECT_GT(shown, 2);
  EXPECT_NE(all.find("Error 102"), std::string::npos);
  EXPECT_FALSE(view.prev);
  EXPECT_FALSE(view.next);
  EXPECT_TRUE(host.messages.empty()) << host.messages[0].text;
}

TEST_F(ViewerRun, EachOptionAloneGivesItsOneSubReportAndARepeatedStepDoesNotRecalculate) {
  FakeView view;
  auto viewer = Viewer(view);
  frmReport& form = *viewer;
  // First the whole report: the calculation runs once.
  ASSERT_TRUE(form.Form_Activate());
  ASSERT_TRUE(form.RunSucceeded()) << (host.messages.empty() ? "" : host.messages[0].text);
  ASSERT_FALSE(form.DoCalcs());
  const struct {
    vb::Boolean ReportData::*option;
    float progress;  // 0: none between 10 and 100
  } cases[] = {
      {&ReportData::bCoverPage, 20},        {&ReportData::bSummaryReport, 30}, {&ReportData::bLoadProfileGraph, 70},
      {&ReportData::bCustomPLVFactors, 40}, {&ReportData::bCustomPLVSpec, 50}, {&ReportData::bCoolingDuty, 80},
      {&ReportData::bCondTempProfiles, 90}, {&ReportData::bPerfProfiles, 95},  {&ReportData::bInputSummary, 0},
  };
  for (const auto& c : cases) {
    ReportData r;
    ASSERT_TRUE(modDataIO::bReportsRead(r));
    for (const auto& other : cases) r.*other.option = vb::kFalse;
    r.*c.option = vb::kTrue;
    ASSERT_TRUE(modDataIO::bReportsWrite(r));
    progress.values.clear();
    form.mnuEdit_ReportOptions_Click();
    EXPECT_TRUE(form.RunSucceeded()) << c.progress;
    EXPECT_EQ(form.Report().SubReportsCount(), 1) << c.progress;
    std::vector<float> expected = {10, 100};
    if (c.progress > 0) expected.insert(expected.begin(), c.progress);
    EXPECT_EQ(progress.values, expected) << "no calculation progress: the results are reused";
  }
  EXPECT_EQ(view.waits, 10);
  EXPECT_TRUE(host.messages.empty()) << host.messages[0].text;
}

TEST_F(ViewerRun, CancelLateInTheReportRunLeavesNoFileAndNoSuccess) {
  FakeView view;
  auto viewer = Viewer(view);
  frmReport& form = *viewer;
  ReportData r;
  ASSERT_TRUE(modDataIO::bReportsRead(r));
  r.bCoverPage = vb::kTrue;
  ASSERT_TRUE(modDataIO::bReportsWrite(r));
  // A full run first counts the progress steps of calculation and report.
  form.Form_Activate();
  ASSERT_TRUE(form.RunSucceeded());
  EXPECT_TRUE(view.reportCommands);
  const size_t calcSteps = progress.values.size();
  ASSERT_GT(calcSteps, 2U);
  FakeView view2;
  view2.reportCommands = true;  // to see the run turn them off
  auto viewer2 = Viewer(view2);
  frmReport& again = *viewer2;
  progress.values.clear();
  // Cancel is seen at the run's step 10, after every section was built and before the save:
  // nothing is saved.
  progress.cancelAfterUpdates = static_cast<int>(calcSteps) - 2;
  fs::remove(Working("PLVReport_for_Viewer Plant.rtf"));
  host.messages.clear();
  again.Form_Activate();
  EXPECT_FALSE(again.RunSucceeded());
  // The empty viewer is explained, once.
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, frmReport::kCancelledMessage);
  EXPECT_FALSE(fs::exists(Working("PLVReport_for_Viewer Plant.rtf")));
  EXPECT_EQ(again.Report().ReportsCount(), 0);
  EXPECT_FALSE(view2.reportCommands);
}

}  // namespace
}  // namespace reporttest
