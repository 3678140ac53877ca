// The report list, loading a saved report back, moving between sub-reports, and the error
// line of a failed section.
#include <filesystem>

#include "app/reports/tests/report_fixture.h"

namespace reporttest {
namespace {

namespace fs = std::filesystem;
using namespace richtext;

using ReportList = ReportTest;

TEST_F(ReportList, IdsCountFromOneAfterAClear) {
  report->AddReportInfo("old.rtf", "Old", 1, true);
  report->ClearReportList();
  EXPECT_EQ(report->ReportsCount(), 0);
  EXPECT_EQ(report->AddReportInfo("a.rtf", "A", 1, true), 1);
  EXPECT_EQ(report->AddReportInfo("b.rtf", "B", 2, true), 2);
  EXPECT_EQ(report->AddReportInfo("c.rtf", "C", 7, false), 3);
  EXPECT_EQ(report->Reportinfo(2).Orientation, 2);
  EXPECT_EQ(report->Reportinfo(3).Orientation, 1) << "an orientation other than 1 or 2 is portrait";
  EXPECT_FALSE(report->Reportinfo(3).Saved);
  report->CurrentReportID(2);
  EXPECT_EQ(report->ReportFileName(), Working("b.rtf"));
  for (int32_t id : {0, 4, -1}) {
    report->CurrentReportID(id);
    EXPECT_EQ(report->ReportFileName(), "") << id;
  }
}

TEST_F(ReportList, PrevAndNextStayWithinTheSubReports) {
  // No sub-reports: nowhere to go, and the index stays 0.
  report->LoadNextReport();
  EXPECT_EQ(report->CurrentSubReportID(), 0);
  report->LoadPrevReport();
  EXPECT_EQ(report->CurrentSubReportID(), 0);

  int32_t n = 0;
  for (const char* title : {"One", "Two", "Three"}) {
    ASSERT_TRUE(report->BeginNewReport(title, 1, n, true));
    for (int i = 0; i < 70; ++i) report->WriteTextLine(std::string(title) + " line " + std::to_string(i));
  }
  const int32_t first[] = {report->SubReportFirstPage(0), report->SubReportFirstPage(1), report->SubReportFirstPage(2)};
  EXPECT_EQ(first[0], 1);
  EXPECT_EQ(first[1], 3) << "the first sub-report takes two pages";
  EXPECT_EQ(first[2], 5);
  struct Step {
    void (clsReport::*move)();
    int32_t id;
  };
  const Step steps[] = {{&clsReport::LoadPrevReport, 0}, {&clsReport::LoadNextReport, 1},
                        {&clsReport::LoadNextReport, 2}, {&clsReport::LoadNextReport, 2},
                        {&clsReport::LoadPrevReport, 1}, {&clsReport::LoadPrevReport, 0}};
  for (const Step& s : steps) {
    (report.get()->*s.move)();
    EXPECT_EQ(report->CurrentSubReportID(), s.id);
    EXPECT_EQ(ed().currentPage, first[s.id]);
  }
  report->GoToSubReport(2);
  report->GoToSubReport(-1);
  report->GoToSubReport(3);
  EXPECT_EQ(ed().currentPage, first[2]) << "an index outside leaves the view where it is";
}

TEST_F(ReportList, LoadingTakesOnlySavedReportsAndFailsOnAnUnreadableFile) {
  report->ClearReportList();
  report->CurrentReportID(report->AddReportInfo("saved.rtf", "Saved Report", 1, true));
  report->WriteTextLine("the saved text");
  ASSERT_TRUE(report->WrapUpReport());
  report->AddReportInfo("never.rtf", "Never Saved", 1, true);

  report->InitReportDocument(1, true);
  report->WriteTextLine("shown now");
  const Document before = doc();
  EXPECT_FALSE(report->LoadReportFile(2)) << "unsaved";
  EXPECT_FALSE(report->LoadReportFile(0));
  EXPECT_FALSE(report->LoadReportFile(3));
  EXPECT_EQ(doc(), before);
  EXPECT_TRUE(host.messages.empty());

  ASSERT_TRUE(report->LoadReportFile(1));
  EXPECT_EQ(report->CurrentReportID(), 1);
  EXPECT_EQ(BodyTexts().at(0), "the saved text");
  EXPECT_TRUE(ed().readOnly);

  report->WriteTextLine("more");
  const Document loaded = doc();
  fs::remove(Working("saved.rtf"));
  EXPECT_FALSE(report->LoadReportFile(1));
  EXPECT_EQ(report->CurrentReportID(), 0);
  EXPECT_EQ(doc(), loaded) << "the document stays as it was";
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "Error loading report file:\r\n\r\n" + Working("saved.rtf"));
}

TEST_F(ReportList, SectionErrorKeepsTheEarlierSections) {
  int32_t n = 0;
  ASSERT_TRUE(report->BeginNewReport("Weighting", 1, n, true));
  report->WriteTextLine("weighting body");
  ASSERT_TRUE(report->BeginNewReport("Cooling Duty Profiles", 1, n, true));
  ASSERT_TRUE(report->RptSectionError("Cooling Duty Profiles", true));
  const auto texts = BodyTexts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "weighting body"), texts.end());
  const auto it = std::find(texts.begin(), texts.end(), "Error found in this report:  Cooling Duty Profiles");
  ASSERT_NE(it, texts.end());
  EXPECT_EQ(*(it - 1), "") << "after an empty line";
  EXPECT_EQ(doc().sections.size(), 2u);
  const auto& blocks = doc().sections[1].blocks;
  bool bold = false;
  for (const Block& b : blocks)
    if (const auto* p = std::get_if<Paragraph>(&b))
      if (TextOf(*p).rfind("Error found", 0) == 0) bold = p->runs.at(0).fmt.bold;
  EXPECT_TRUE(bold);
}

}  // namespace
}  // namespace reporttest
