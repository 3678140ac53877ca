// The viewer's rules (zoom, paging buttons, save format, error-report decision), its binding
// to a page view's document, the caret and header/footer commands, and the part-load run's
// section selection.
#include <filesystem>

#include "app/reports/frmReport.h"
#include "app/reports/tests/report_fixture.h"
#include "app/storage/modDataIO.h"
#include "libs/vb/vbcompat.h"

namespace reporttest {
namespace {

using namespace richtext;

TEST(ViewerRules, ZoomTakesTheLeadingNumberClampedTo20To200) {
  const struct {
    const char* text;
    int zoom;
  } cases[] = {{"100%", 100}, {"250", 200}, {"5", 20},    {"abc", 20}, {"", 20},
               {"20", 20},    {"200", 200}, {"75 %", 75}, {" 80", 80}, {"99999999999999", 200},
               {"-50", 20}};
  for (const auto& c : cases) EXPECT_EQ(frmReport::ParseZoom(c.text), c.zoom) << c.text;
}

TEST(ViewerRules, PagingButtonsAndFocus) {
  const struct {
    int32_t s, c;
    bool prev, next;
    int focus;
  } cases[] = {
      {0, 0, false, false, -1}, {1, 0, false, false, -1}, {3, 0, false, true, 1},
      {3, 1, true, true, -1},   {3, 2, true, false, 0},
  };
  for (const auto& c : cases) {
    const auto s = frmReport::NavButtons(c.s, c.c);
    EXPECT_EQ(s.prev, c.prev) << c.s << "/" << c.c;
    EXPECT_EQ(s.next, c.next) << c.s << "/" << c.c;
    EXPECT_EQ(s.focus, c.focus) << c.s << "/" << c.c;
  }
}

TEST(ViewerRules, SaveFormatByExtensionThenFilter) {
  const struct {
    const char* path;
    int filter;
    const char* format;
  } cases[] = {
      {"/t/x.rtf", 2, "rtf"}, {"/t/x.RTF", 3, "rtf"}, {"/t/x.pdf", 1, "pdf"},
      {"/t/x.Pdf", 1, "pdf"}, {"/t/x", 1, "rtf"},     {"/t/x", 2, "pdf"},
      {"/t/x", 3, "pdf"},     {"/t.rtf/x", 3, "pdf"}, {"/t/x.txt", 1, "rtf"},
  };
  for (const auto& c : cases) EXPECT_EQ(frmReport::SaveFormat(c.path, c.filter), c.format) << c.path;
  EXPECT_EQ(frmReport::ProposedFileName("/w/PLVReport_for_A.rtf", 2), "/w/PLVReport_for_A.pdf");
  EXPECT_EQ(frmReport::ProposedFileName("/w/PLVReport_for_A.rtf", 1), "/w/PLVReport_for_A.rtf");
  EXPECT_EQ(frmReport::ProposedFileName("", 2), "");
}

TEST(ViewerRules, ErrorReportOnlyAfterAFinishedUncancelledRunWithErrors) {
  for (int bits = 0; bits < 16; ++bits) {
    const bool canceled = bits & 1, ok = bits & 2, input = bits & 4, calc = bits & 8;
    EXPECT_EQ(frmReport::NeedsErrorReport(canceled, ok, input, calc), !canceled && ok && (input || calc)) << bits;
  }
}

TEST(ViewerRules, EconomicTypeChangesTheCaption) {
  EnsureApp();
  frmReport a, b;
  a.ReportType(1);
  b.ReportType(2);
  EXPECT_EQ(a.Caption(), "Economic Analysis Reports");
  EXPECT_EQ(b.Caption(), "Reports Viewer");
  EXPECT_FALSE(a.bCancel());
}

class ViewerBinding : public ReportTest {};

TEST_F(ViewerBinding, BindsToTheViewsDocumentAndLeavesItToTheView) {
  const TerHwnd view = TerCreateWindow();
  {
    clsReport r;
    const TerHwnd own = r.TerHwnd();
    ASSERT_TRUE(r.InitializeReportForm(view));
    EXPECT_TRUE(r.Bound());
    EXPECT_EQ(r.TerHwnd(), view);
    EXPECT_EQ(TerEditor(own), nullptr);  // its own document is released
    EXPECT_EQ(TerMenuSelect(view, kCmdPageMode), kMenuChecked);
    EXPECT_TRUE(r.WriteTextLine("in the view"));
  }
  ASSERT_NE(TerEditor(view), nullptr);  // the view's document outlives the report object
  TerDestroyWindow(view);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ViewerBinding, AHandleWithoutDocumentIsRefusedWithTheBox) {
  clsReport r;
  EXPECT_FALSE(r.InitializeReportForm(987654));
  ASSERT_EQ(host.messages.size(), 1U);
  EXPECT_EQ(host.messages[0].text.rfind("Wrong control type:", 0), 0U);
  EXPECT_EQ(host.messages[0].title, "clsReport.InitializeReportForm()");
  EXPECT_FALSE(r.Bound());
  EXPECT_TRUE(r.WriteTextLine("still its own document"));
}

TEST_F(ViewerBinding, TogglesAreSetOnlyWhenTheyDiffer) {
  EXPECT_FALSE(report->IsTerCommandChecked(kCmdReturnToBody));
  EXPECT_TRUE(report->pOCMSELECT(kCmdReturnToBody, true));
  EXPECT_TRUE(report->pOCMSELECT(kCmdReturnToBody, true));  // no second toggle
  EXPECT_FALSE(report->pOCMSELECT(kCmdReturnToBody, false));
  EXPECT_FALSE(report->pOCMSELECT(kCmdReturnToBody, false));
}

TEST_F(ViewerBinding, BreaksAtTheEndAndOtherKindsOnlyMoveTheCaret) {
  ASSERT_TRUE(report->WriteTextLine("one"));
  ASSERT_TRUE(report->WriteTextLine("two"));
  SetTerCursorPos(report->TerHwnd(), 0, 0, false);
  const size_t sections = doc().sections.size();
  const size_t blocks = BodyTexts().size();
  for (int kind : {4, -1}) {
    report->InsertBreak(kind);
    int32_t line = 0, col = 0;
    GetTerCursorPos(report->TerHwnd(), line, col);
    EXPECT_GT(line, 0) << kind;  // moved to the end
    EXPECT_EQ(doc().sections.size(), sections);
    EXPECT_EQ(BodyTexts().size(), blocks);
  }
  report->InsertBreak(0);
  EXPECT_EQ(doc().sections.size(), sections + 1);
  report->InsertBreak(2);
  EXPECT_EQ(TerGetPageCount(report->TerHwnd()), 2);
}

TEST_F(ViewerBinding, HeaderEditingEndsInTheBodyWithTheToggleOff) {
  ASSERT_TRUE(report->WriteTextLine("body"));
  report->EditHeader(true, true);
  EXPECT_EQ(ed().story.section, 0);
  EXPECT_FALSE(ed().story.footer);
  report->EditHeader(false, false);
  EXPECT_EQ(ed().story.section, -1);
  EXPECT_FALSE(report->IsTerCommandChecked(kCmdReturnToBody));
  EXPECT_TRUE(report->CommonFtr());
  EXPECT_EQ(ed().story.section, -1);
  EXPECT_TRUE(host.messages.empty());
}

// The viewer's window as the paging sees it: the state of Prev and Next.
class PagingView : public frmReport::View {
 public:
  TerHwnd toc = TerCreateWindow();
  bool prev = true, next = true;
  ~PagingView() override { TerDestroyWindow(toc); }
  void Caption(const std::string&) override {}
  void NavButton(int index, const std::string&, bool enabled) override { (index == 0 ? prev : next) = enabled; }
  void FocusNavButton(int) override {}
  void ExitEnabled(bool) override {}
  void ReportCommandsEnabled(bool) override {}
  std::string ZoomText() const override { return "100"; }
  void ZoomText(const std::string&) override {}
  TerHwnd Toc1() const override { return toc; }
  void TocCommand(int) override {}
  void FocusToc() override {}
  void ShowWait(frmWait&) override {}
  std::string ShowSaveDialog(const std::string&, const std::vector<std::string>&, int&, const std::string&) override {
    return "";
  }
  void HideWindow() override {}
  void ShowHelp(long) override {}
};

class ViewerPaging : public ReportTest {};

// A part-load run of three sections, each on a page of its own. When the last one fails after
// the others were begun, the run ends in its one-page error page: Prev and Next stay off, a
// press of Next included, and the page stays. The whole report pages as before.
TEST_F(ViewerPaging, TheErrorPageOfAFailedRunOffersNoOtherSubReport) {
  ASSERT_NO_FATAL_FAILURE(WriteEmptyResults());
  modDataIO::gProject.ProjectName = "Plant X";
  ReportData options;
  options.ReportType = 2;
  options.bSummaryReport = options.bCustomPLVSpec = options.bInputSummary = -1;
  ASSERT_TRUE(modDataIO::bReportsWrite(options));
  const struct {
    const char* name;
    bool inputSummary;
    bool next;           // after the run
    bool prevAfterNext;  // after a press of Next
    int32_t pageAfterNext;
  } cases[] = {{"input summary fails", false, false, false, 1}, {"whole report", true, true, true, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PagingView view;
    frmReport form;
    form.SetView(&view);
    clsReport& r = form.Report();
    ASSERT_TRUE(r.InitializeReportForm(view.Toc1()));
    auto& b = r.PLVSections();
    b.SummaryReport = [&r] { return r.WriteTextLine("Summary body"); };
    b.CustomPLVSpec = [&r] { return r.WriteTextLine("Spec body"); };
    b.InputSummary = [&r, &c] { return r.WriteTextLine("Input summary body") && c.inputSummary; };
    EXPECT_EQ(r.PLVAnalysisReports(), c.inputSummary);
    ASSERT_EQ(r.SubReportsCount(), 3) << "the run began its three sections";
    form.EnableReportButtons();
    EXPECT_FALSE(view.prev);
    EXPECT_EQ(view.next, c.next);
    form.cmdRpt_Click(1);
    int32_t page = 0;
    TerGetPageCount(view.Toc1(), &page);
    EXPECT_EQ(page, c.pageAfterNext);
    EXPECT_EQ(view.prev, c.prevAfterNext);
    EXPECT_EQ(view.next, c.next);
  }
}

}  // namespace
}  // namespace reporttest
