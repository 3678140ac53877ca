// Saving as RTF or PDF: the names, nothing beside a PDF touched, the PDF's title and pages,
// and failures that leave the report unsaved.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/reports/tests/report_fixture.h"

namespace reporttest {
namespace {

namespace fs = std::filesystem;
using namespace richtext;

struct NameCase {
  const char* name;
  const char* given;  // relative to the working folder; "" = blank name
  const char* format;
  const char* written;  // the file that appears in the working folder
  const char* kind;     // "{\\rtf" or "%PDF"
};

class SaveNames : public ReportTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(SaveNames, FileAndKindFromNameAndFormat) {
  const NameCase& c = GetParam();
  report->WriteTextLine("content");
  const std::string given = std::string(c.given).empty() ? "   " : Working(c.given);
  ASSERT_TRUE(report->SaveReportAsFile(given, c.format));
  EXPECT_EQ(WorkingFiles(), std::vector<std::string>{c.written});
  EXPECT_EQ(Head(Working(c.written), std::string(c.kind).size()), c.kind);
  EXPECT_TRUE(host.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Names, SaveNames,
                         ::testing::Values(NameCase{"BlankRtf", "", "rtf", "Rpt-RPT.rtf", "{\\rtf"},
                                           NameCase{"BlankPdf", "", "pdf", "Rpt-RPT.pdf", "%PDF"},
                                           NameCase{"TwoDots", "a.b.pdf", "pdf", "a.b.pdf", "%PDF"},
                                           NameCase{"NoDot", "report", "pdf", "report", "%PDF"},
                                           NameCase{"UpperCaseFormatIsRtf", "UP.PDF", "PDF", "UP.PDF", "{\\rtf"}),
                         [](const ::testing::TestParamInfo<NameCase>& i) { return std::string(i.param.name); });

using Save = ReportTest;

TEST_F(Save, PdfLeavesTheRtfBesideItAloneAndCarriesTitleAndPages) {
  std::ofstream(Working("PLVReport_for_X.rtf")) << "the combined report";
  report->ClearReportList();
  report->CurrentReportID(report->AddReportInfo("PLVReport_for_X.rtf", "Custom PLV Reports", 1, false));
  for (int i = 0; i < 120; ++i) report->WriteTextLine("line " + std::to_string(i));
  const int32_t pages = TerGetPageCount(report->TerHwnd());
  ASSERT_GE(pages, 2);
  ASSERT_TRUE(report->SaveReportAsFile(Working("PLVReport_for_X.pdf"), "pdf"));
  EXPECT_EQ(WorkingFiles(), (std::vector<std::string>{"PLVReport_for_X.pdf", "PLVReport_for_X.rtf"}));
  std::ifstream f(Working("PLVReport_for_X.rtf"));
  std::stringstream ss;
  ss << f.rdbuf();
  EXPECT_EQ(ss.str(), "the combined report");
  const std::string info = RunCommand("pdfinfo '" + Working("PLVReport_for_X.pdf") + "'");
  EXPECT_NE(info.find("Title:           Custom PLV Reports"), std::string::npos) << info;
  EXPECT_NE(info.find("Pages:           " + std::to_string(pages) + "\n"), std::string::npos) << info;
}

TEST_F(Save, FailuresShowTheMessageAndKeepTheReportUnsaved) {
  report->WriteTextLine("content");
  const std::string rtf = Working("no/such/folder/r.rtf");
  EXPECT_FALSE(report->SaveReportAsFile(rtf, "rtf"));
  const std::string pdf = Working("no/such/folder/r.pdf");
  EXPECT_FALSE(report->SaveReportAsFile(pdf, "pdf"));
  ASSERT_EQ(host.messages.size(), 2u);
  // The file, then its folder and how to choose another.
  const std::string folder = "\r\n\r\nThe folder " + Working("no/such/folder") + " cannot be written to.";
  EXPECT_EQ(host.messages[0].text.rfind("Error saving report as file:\r\n\r\n" + rtf + folder, 0), 0u)
      << host.messages[0].text;
  EXPECT_NE(host.messages[0].text.find("(File > Save As)"), std::string::npos);
  EXPECT_EQ(host.messages[0].title, "clsReport.SaveReportAsFile()");
  EXPECT_EQ(host.messages[0].style, ui::kExclamation);
  EXPECT_EQ(host.messages[1].text.rfind("Error saving report as file:\r\n\r\n" + pdf + folder, 0), 0u);
  // Last, the reason.
  EXPECT_NE(host.messages[0].text.find("\r\n\r\nCannot write " + rtf + ": No such file or directory"),
            std::string::npos)
      << host.messages[0].text;
  EXPECT_NE(host.messages[1].text.find("\r\n\r\nCannot write " + pdf + ": No such file or directory"),
            std::string::npos);
  EXPECT_TRUE(WorkingFiles().empty());

  // Through the wrap-up: the entry stays unsaved.
  report->ClearReportList();
  report->CurrentReportID(report->AddReportInfo("sub/r.rtf", "R", 1, true));
  EXPECT_FALSE(report->WrapUpReport());
  EXPECT_FALSE(report->Reportinfo(1).Saved);
}

}  // namespace
}  // namespace reporttest
