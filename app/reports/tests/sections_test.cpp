// Sub-reports and column sections, their page headers and footers, and the wrap-up of a
// document finished as a whole.
#include <filesystem>
#include <regex>

#include "kestrin_version.h"
#include "app/reports/tests/report_fixture.h"
#include "app/storage/modDataIO.h"

namespace reporttest {
namespace {

namespace fs = std::filesystem;
using namespace richtext;

using Sections = ReportTest;

// One page of text, a two-column section begun with the header flag off, then one column
// again with it on.
void WriteThreeSections(clsReport& r) {
  r.WriteTextLine("page text");
  r.HdrFtrDefault(false);
  r.BeginNewSection(2, 360, 0);
  r.WriteTextLine("columns");
  r.HdrFtrDefault(true);
  r.BeginNewSection(1, 0, 0);
  r.WriteTextLine("back to one column");
}

TEST_F(Sections, SubReportsBreakBeforeAllButTheFirst) {
  int32_t n = 0;
  ASSERT_TRUE(report->BeginNewReport("First", 1, n, true));
  EXPECT_EQ(n, 1);
  EXPECT_EQ(doc().sections.size(), 1u) << "the first sub-report stays in the first section";
  report->WriteTextLine("first body");
  ASSERT_TRUE(report->BeginNewReport("Second", 2, n, true));
  report->WriteTextLine("second body");
  ASSERT_TRUE(report->BeginNewReport("Third", 1, n, false));
  report->WriteTextLine("third body");
  EXPECT_EQ(n, 3);
  EXPECT_EQ(report->SubReportsCount(), 3);
  ASSERT_EQ(doc().sections.size(), 3u);
  EXPECT_EQ(doc().sections[1].fmt.orientation, Orientation::Landscape);
  EXPECT_TRUE(doc().sections[1].fmt.newPage);
  // Each sub-report starts a page of its own.
  const Layout& lay = ed().layout();
  EXPECT_EQ(lay.sectionFirstPage, (std::vector<int>{0, 1, 2}));
  EXPECT_TRUE(lay.pages.at(1).landscape());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(report->SubReportFirstPage(i), i + 1);
  // The third sub-report has no header or footer, though the one before had them.
  EXPECT_FALSE(doc().sections[2].fmt.header.has_value());
  EXPECT_FALSE(doc().sections[2].fmt.footer.has_value());
  ASSERT_EQ(report->Sections().size(), 3u);
  EXPECT_EQ(report->Sections()[2].Title, "Third");
  EXPECT_FALSE(report->Sections()[2].HdrFtr);
  EXPECT_EQ(report->Sections()[1].Orientation, 2);
  // The date and the page number stand at the right edge of portrait and landscape pages.
  EXPECT_EQ(doc().sections[0].fmt.header->paragraphs.at(1).fmt.tabs.at(0).position, 10800);
  EXPECT_EQ(doc().sections[1].fmt.header->paragraphs.at(1).fmt.tabs.at(0).position, 14400);
  EXPECT_EQ(doc().sections[1].fmt.footer->paragraphs.at(0).fmt.tabs.at(0).position, 14400);
}

TEST_F(Sections, CombinedHeaderAndFooterLines) {
  modDataIO::gProject.ProjectName = "Plant {A}";
  modDataIO::gSettings.UserName = "J. Engineer";
  int32_t n = 0;
  ASSERT_TRUE(report->BeginNewReport("WEIGHTING FACTORS AND ECWTs REPORT", 1, n, true));
  const std::string header = HdrFtrText(0, false);
  EXPECT_TRUE(std::regex_match(header, std::regex("WEIGHTING FACTORS AND ECWTs REPORT\\|Project:  Plant \\{A\\}\\t"
                                                  "\\d\\d/\\d\\d/\\d{4}\\|Prepared By:  J\\. Engineer\\t"
                                                  "\\d\\d:\\d\\d [AP]M")))
      << header;
  const auto& title = doc().sections[0].fmt.header->paragraphs.at(0);
  EXPECT_EQ(title.fmt.align, Align::Center);
  EXPECT_TRUE(title.runs.at(0).fmt.bold);
  EXPECT_EQ(title.runs.at(0).fmt.pointSize, 11);
  EXPECT_EQ(title.runs.at(0).fmt.color, Rgb(0, 0, 255));
  EXPECT_EQ(title.runs.at(0).fmt.spacing, 36);
  EXPECT_EQ(doc().sections[0].fmt.header->paragraphs.at(1).runs.at(0).fmt.color, 0u);

  EXPECT_EQ(HdrFtrText(0, true), std::string("KestrinTM  v") + kestrin::kVersionText + "\tPage #");
  const auto& footer = doc().sections[0].fmt.footer->paragraphs.at(0).runs;
  ASSERT_EQ(footer.size(), 4u);
  EXPECT_EQ(footer[0].text, "Kestrin");
  EXPECT_EQ(footer[1].text, "TM ");
  EXPECT_TRUE(footer[1].fmt.superscript);
  EXPECT_FALSE(footer[2].fmt.superscript);
  EXPECT_EQ(footer[3].kind, RunKind::PageField);
  EXPECT_EQ(footer[3].fmt.pointSize, 9);
  // Read-only for the viewer, writable for the report code.
  EXPECT_TRUE(ed().readOnly);
  EXPECT_EQ(TerMenuSelect(report->TerHwnd(), kCmdReturnToBody), 0);
  ASSERT_TRUE(report->WriteTextLine("body after the header"));
  EXPECT_EQ(BodyTexts().at(BodyTexts().size() - 2), "body after the header");
}

TEST_F(Sections, ColumnSectionsKeepTheSubReportsOrientation) {
  int32_t n = 0;
  ASSERT_TRUE(report->BeginNewReport("Wide", 2, n, true));
  report->WriteTextLine("one column");
  ASSERT_TRUE(report->BeginNewSection(2, 360, 0));
  report->WriteTextLine("left");
  report->WriteColumnBreak();
  report->WriteTextLine("right");
  ASSERT_TRUE(report->BeginNewSection(1, 0, 0));
  report->WriteTextLine("one column again");
  ASSERT_EQ(doc().sections.size(), 3u);
  EXPECT_EQ(doc().sections[1].fmt.columns, 2);
  EXPECT_EQ(doc().sections[1].fmt.columnSpacing, 360);
  EXPECT_EQ(doc().sections[2].fmt.columns, 1);
  for (const Section& s : doc().sections) EXPECT_EQ(s.fmt.orientation, Orientation::Landscape);
  for (const auto& info : report->Sections()) {
    EXPECT_EQ(info.Title, "Wide");
    EXPECT_EQ(info.Orientation, 2);
  }
  // All on the sub-report's one page, under its header.
  const Layout& lay = ed().layout();
  ASSERT_EQ(lay.pages.size(), 1u);
  EXPECT_TRUE(lay.pages[0].landscape());
  EXPECT_EQ(HdrFtrText(1, false), HdrFtrText(0, false));
}

TEST_F(Sections, UnregisteredDocumentIsSavedAsUnknownReportWithoutHeaders) {
  report->AddReportInfo("single.rtf", "Single Document", 1, true);
  WriteThreeSections(*report);
  // No current report: the document is registered on the way and saved under its own name.
  ASSERT_TRUE(report->WrapUpReport());
  EXPECT_EQ(report->Reportinfo(report->CurrentReportID()).FileName, "Rpt-RPT.rtf");
  EXPECT_EQ(report->Reportinfo(report->CurrentReportID()).Title, "Unknown Report");
  EXPECT_TRUE(fs::exists(Working("Rpt-RPT.rtf")));
  for (const Section& s : doc().sections) EXPECT_FALSE(s.fmt.header.has_value()) << "never registered: none";
}

// A document finished as a whole: each section gets a header and footer when its own entry
// asks for them.
TEST_F(Sections, SingleDocumentHeaderAndFooter) {
  modDataIO::gProject.ProjectName = "Plant B";
  report->ClearReportList();
  const int32_t id = report->AddReportInfo("single.rtf", "Single Document", 1, true);
  WriteThreeSections(*report);
  report->CurrentReportID(id);
  ASSERT_TRUE(report->WrapUpReport());
  EXPECT_TRUE(fs::exists(Working("single.rtf")));
  EXPECT_TRUE(report->Reportinfo(id).Saved);
  ASSERT_EQ(doc().sections.size(), 3u);
  EXPECT_EQ(HdrFtrText(0, true), std::string("Kestrin v") + kestrin::kVersionText + "\tPage  #");
  EXPECT_EQ(HdrFtrText(0, false).substr(0, 16), "Single Document|");
  EXPECT_FALSE(doc().sections[1].fmt.header.has_value());
  EXPECT_EQ(HdrFtrText(2, false).substr(0, 16), "Single Document|");
}

}  // namespace
}  // namespace reporttest
