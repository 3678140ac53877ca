// The viewer's Save as RTF and Save as PDF with the name the user typed: a bare name gets the
// extension of the type it is saved as, and a file under the completed name is asked about; an
// error page is offered under a name of its own.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <tuple>

#include "app/reports/frmReport.h"
#include "app/reports/tests/report_fixture.h"
#include "app/storage/modDataIO.h"

namespace reporttest {
namespace {

namespace fs = std::filesystem;

// The viewer's window as the save sees it: the dialog answers with a typed name and a filter.
class SaveDialogView : public frmReport::View {
 public:
  richtext::TerHwnd toc = richtext::TerCreateWindow();
  std::string typed;
  int filter = 1;
  ~SaveDialogView() override { richtext::TerDestroyWindow(toc); }
  void Caption(const std::string&) override {}
  void NavButton(int, const std::string&, bool) override {}
  void FocusNavButton(int) override {}
  void ExitEnabled(bool) override {}
  std::string ZoomText() const override { return "100"; }
  void ZoomText(const std::string&) override {}
  richtext::TerHwnd Toc1() const override { return toc; }
  void TocCommand(int) override {}
  void FocusToc() override {}
  void ShowWait(frmWait&) override {}
  std::string proposed;  // the name the last dialog proposed
  std::string ShowSaveDialog(const std::string&, const std::vector<std::string>&, int& filterIndex,
                             const std::string& fileName) override {
    proposed = fileName;
    filterIndex = filter;
    return typed;
  }
  void HideWindow() override {}
  void ShowHelp(long) override {}
};

class ViewerSave : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    view = std::make_unique<SaveDialogView>();
    form = std::make_unique<frmReport>();
    form->SetView(view.get());
    clsReport& r = form->Report();
    r.CurrentReportID(r.AddReportInfo("PLVReport_for_Walk.rtf", "Custom PLV Reports", 1, false));
    r.WriteTextLine("The report to save");
  }
  void TearDown() override {
    form.reset();
    view.reset();
    ReportTest::TearDown();
  }
  std::vector<std::string> FilesIn(const std::string& folder) const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  std::unique_ptr<SaveDialogView> view;
  std::unique_ptr<frmReport> form;
};

TEST_F(ViewerSave, ATypedNameGetsTheExtensionOfTheTypeItIsSavedAs) {
  const struct {
    const char* button;  // "rtf": Save as RTF, "pdf": Save as PDF
    const char* typed;
    int filter;  // 1 RTF, 2 PDF, 3 All Files
    const char* saved;
    const char* start;  // of the file written
  } cases[] = {
      {"rtf", "walk", 1, "walk.rtf", "{\\rtf"},     {"pdf", "walk", 2, "walk.pdf", "%PDF"},
      {"rtf", "walk", 3, "walk.pdf", "%PDF"},       {"pdf", "walk", 1, "walk.rtf", "{\\rtf"},
      {"rtf", "walk.RTF", 1, "walk.RTF", "{\\rtf"}, {"rtf", "walk.pdf", 1, "walk.pdf", "%PDF"},
      {"pdf", "walk.v2", 2, "walk.v2.pdf", "%PDF"}, {"rtf", "my walk.draft", 1, "my walk.draft.rtf", "{\\rtf"},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + " filter " + std::to_string(c.filter));
    const std::string folder = Working("case" + std::to_string(++n));
    fs::create_directories(folder);
    view->typed = folder + "/" + c.typed;
    view->filter = c.filter;
    if (std::string(c.button) == "rtf")
      form->cmdSaveAsRTF_Click();
    else
      form->cmdSaveAsPDF_Click();
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{c.saved});
    EXPECT_EQ(Head(folder + "/" + c.saved, 5).substr(0, std::string(c.start).size()), c.start);
  }
  EXPECT_TRUE(host.messages.empty());
}

// The dialog asked about "walk"; "walk.pdf", which the save would replace, is asked about.
TEST_F(ViewerSave, AFileUnderTheCompletedNameIsAskedAbout) {
  const std::string existing = Working("walk.pdf");
  std::ofstream(existing) << "kept";
  view->typed = Working("walk");
  view->filter = 2;
  host.answers = {ui::kNo};
  form->cmdSaveAsPDF_Click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, existing + " already exists. Do you want to replace it?");
  EXPECT_EQ(Head(existing, 10), "kept");
  EXPECT_FALSE(fs::exists(Working("walk")));
  host.answers = {ui::kYes};
  form->cmdSaveAsPDF_Click();
  EXPECT_EQ(Head(existing, 4), "%PDF");
  EXPECT_FALSE(fs::exists(Working("walk")));
}

// After a run that could not build its report, the viewer shows the error page: the saves
// propose a name of the page's own, so that accepting it never replaces the report's files.
TEST_F(ViewerSave, AnErrorPageIsNeverOfferedTheReportsName) {
  ASSERT_NO_FATAL_FAILURE(WriteEmptyResults());
  modDataIO::gProject.ProjectName = "Plant X";
  ReportData options;
  options.ReportType = 2;
  options.bInputSummary = -1;
  ASSERT_TRUE(modDataIO::bReportsWrite(options));
  clsReport& r = form->Report();
  r.PLVSections().InputSummary = [] { return false; };
  const std::string good = "the last good report";
  for (const char* ext : {".rtf", ".pdf"}) std::ofstream(Working(std::string("PLVReport_for_Plant X") + ext)) << good;
  ASSERT_FALSE(r.PLVAnalysisReports());
  for (const auto& [button, ext, start] : {std::tuple{&frmReport::cmdSaveAsRTF_Click, ".rtf", "{\\rtf"},
                                           {&frmReport::cmdSaveAsPDF_Click, ".pdf", "%PDF"}}) {
    SCOPED_TRACE(ext);
    view->typed = "";
    view->filter = ext == std::string(".rtf") ? 1 : 2;
    (form.get()->*button)();
    const std::string offered = Working(std::string("Error_PLVReport_for_Plant X") + ext);
    EXPECT_EQ(view->proposed, offered);
    // Accepted, the page is written under that name.
    view->typed = view->proposed;
    (form.get()->*button)();
    EXPECT_EQ(Head(offered, std::string(start).size()), start);
    EXPECT_EQ(Head(Working(std::string("PLVReport_for_Plant X") + ext), 100), good);
  }
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace reporttest
