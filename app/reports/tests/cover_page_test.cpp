// The cover page: logo and spacer by the logo switch, the project name, the customer and
// preparer blocks, the user's cover file, and the summary of concepts table.
#include <QImage>

#include <filesystem>
#include <fstream>

#include "app/reports/tests/report_fixture.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"

namespace reporttest {
namespace {

namespace fs = std::filesystem;
using namespace richtext;
using modDataIO::gProject;
using modDataIO::gSettings;

using CoverPage = ReportTest;

// The pictures of the first paragraphs of the body, with the number of empty paragraphs
// that follow the first picture's paragraph before the next text.
struct CoverStart {
  int32_t logoPixelWidth = 0;
  int32_t logoX = 0;
  int spacerLines = 0;
};

CoverStart ReadCoverStart(const Document& d) {
  CoverStart c;
  bool afterLogo = false;
  for (const Block& b : d.sections.at(0).blocks) {
    const auto* p = std::get_if<Paragraph>(&b);
    if (!p) break;
    for (const Frame& f : p->frames)
      if (f.picture) {
        c.logoPixelWidth = f.picture->pixelWidth;
        c.logoX = f.x;
        afterLogo = true;
      }
    if (afterLogo && p->frames.empty()) {
      if (!TextOf(*p).empty()) break;
      ++c.spacerLines;
    }
  }
  return c;
}

struct LogoCase {
  bool showLogo;
  const char* file;
  int spacer;
};

class CoverLogo : public ReportTest, public ::testing::WithParamInterface<LogoCase> {};

TEST_P(CoverLogo, LogoAndSpacerFollowTheLogoSwitch) {
  const LogoCase& c = GetParam();
  report->Options().bShowLogo = c.showLogo ? -1 : 0;
  ASSERT_TRUE(report->StdRptCoverPage());
  const QImage logo(QString::fromStdString(std::string(KESTRIN_PROGRAM_DIR) + "/" + c.file));
  ASSERT_FALSE(logo.isNull());
  const CoverStart s = ReadCoverStart(doc());
  EXPECT_EQ(s.logoPixelWidth, logo.width());
  // Centred on the text: (text width - picture width) / 2, the width from its resolution.
  const int32_t widthTwips = static_cast<int32_t>(std::lround(logo.width() * 100000.0 / logo.dotsPerMeterX() / 1.7639));
  EXPECT_EQ(s.logoX, (report->TextWidth() - widthTwips) / 2);
  EXPECT_EQ(s.spacerLines, c.spacer);
}

INSTANTIATE_TEST_SUITE_P(Logos, CoverLogo,
                         ::testing::Values(LogoCase{true, "Tolvane-Logo.bmp", 8},
                                           LogoCase{false, "Tolvane-Blue.bmp", 12}));

TEST_F(CoverPage, CustomerValuesAsStoredPreparerValuesTrimmed) {
  gProject.ProjectName = "untitled";
  gProject.ClientName = "";
  gProject.ContactAddress = "  12 Main St  ";
  gProject.ContactName = "Ann";
  gProject.ContactEmail = "ann@example.com";
  gProject.ContactPhone = "555";
  gSettings.UserName = "  J. Engineer ";
  gSettings.OfficeName = "Office";
  gSettings.UserEmail = " je@example.com";
  gSettings.UserPhone = "556 ";
  ASSERT_TRUE(report->StdRptCoverPage());
  const auto texts = BodyTexts();
  auto has = [&](const std::string& t) { return std::find(texts.begin(), texts.end(), t) != texts.end(); };
  EXPECT_TRUE(has("UNTITLED"));
  EXPECT_TRUE(has("Prepared For: "));
  EXPECT_TRUE(has("Address:   12 Main St  "));
  EXPECT_TRUE(has("Contact Name: Ann"));
  EXPECT_TRUE(has("      Prepared By: J. Engineer"));
  EXPECT_TRUE(has("      Representing: Office"));
  EXPECT_TRUE(has("      Email: je@example.com"));
  EXPECT_TRUE(has("      Phone: 556"));
  EXPECT_TRUE(host.messages.empty());
  // The summary of concepts starts on the next page.
  bool pageBreak = false;
  for (const Block& b : doc().sections[0].blocks) pageBreak = pageBreak || std::holds_alternative<PageBreak>(b);
  EXPECT_TRUE(pageBreak);
}

TEST_F(CoverPage, SummaryOfConceptsRows) {
  report->WriteTextLine("the end of the cover page");  // where the table starts
  ASSERT_TRUE(report->GenerateSummaryOfConceptsTable());
  const auto tables = Tables();
  ASSERT_EQ(tables.size(), 1u);
  const Table& t = *tables[0];
  ASSERT_EQ(t.rows.size(), 21u);
  for (size_t r = 0; r < t.rows.size(); ++r) {
    const bool header = r == 0 || r == 1 || r == 3 || r == 5 || r == 7 || r == 9;
    EXPECT_EQ(t.rows[r].header, header) << "row " << r + 1;
    ASSERT_EQ(t.rows[r].cells.size(), 1u);
    EXPECT_EQ(t.rows[r].cells[0].width, 10800);
  }
  EXPECT_EQ(t.rows[0].cells[0].background, Rgb(24, 145, 246));
  EXPECT_EQ(t.rows[1].cells[0].background, Rgb(221, 236, 254));
  const auto& row3 = t.rows[2].cells[0].paragraphs.at(0).runs;
  ASSERT_EQ(row3.size(), 3u);
  EXPECT_EQ(row3[0].text, "Kestrin");
  EXPECT_EQ(row3[1].text, "TM");
  EXPECT_TRUE(row3[1].fmt.superscript);
  EXPECT_FALSE(row3[2].fmt.superscript);
  EXPECT_EQ(row3[2].fmt.pointSize, 10);
  const auto& row9 = t.rows[8].cells[0].paragraphs;
  ASSERT_EQ(row9.size(), 3u) << "the formula stands on a line of its own";
  EXPECT_EQ(TextOf(row9[0]), "A CPLV is calculated with the same formula as an IPLV:");
  EXPECT_EQ(TextOf(row9[1]), "          CPLV = 1 / [ (W100/A) + (W75/B) + (W50/C) + (W25/D) ]");
  EXPECT_EQ(TextOf(row9[2]).substr(0, 22), "where A, B, C, D are t");
  EXPECT_EQ(TextOf(t.rows[20].cells[0].paragraphs.at(0)).back(), 's') << "item 11 has no full stop";
  // Kept on one page.
  for (const Row& r : t.rows) EXPECT_TRUE(r.cells[0].paragraphs.at(0).fmt.keepWithNext);
}

TEST_F(CoverPage, CoverFileReadInWhenAskedAndThereElseTheStandardPage) {
  report->Options().UseCoverFile = -1;
  std::string folder = scratch;
  // Absent: the standard page, no message.
  ASSERT_TRUE(report->RptCoverPage0(folder));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(Tables().size(), 2u) << "the preparer rows and the summary of concepts";
  // Present: its text instead, and the report fonts exist for what follows.
  std::ofstream(scratch + "CVG.RTF") << "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs40 Our own cover\\par}";
  report->InitReportDocument(1, true);
  ASSERT_TRUE(report->RptCoverPage0(folder));
  const auto texts = BodyTexts();
  EXPECT_EQ(texts.at(0), "Our own cover");
  EXPECT_TRUE(Tables().empty());
  EXPECT_FALSE(report->HdrFtrDefault()) << "until the run sets it again";
  ASSERT_TRUE(report->WriteTextLine("after the cover", true));
  EXPECT_EQ(BodyTexts().back().empty() ? BodyTexts()[BodyTexts().size() - 2] : BodyTexts().back(), "after the cover");
  // An empty folder means the data folder, handed back.
  std::string empty;
  ASSERT_TRUE(report->RptCoverPage0(empty));
  EXPECT_EQ(empty, scratch);
}

// The cover page alone as its own report, saved and rendered in both unit systems.
TEST_F(CoverPage, CoverReportSavedAsPdfInBothUnitSystems) {
  gProject.ProjectName = "Riverside Medical Center";
  gProject.ClientName = "Riverside Health";
  gProject.ContactAddress = "100 River Road, Springfield";
  gProject.ContactName = "Dana Lee";
  gProject.ContactEmail = "dana.lee@example.com";
  gProject.ContactPhone = "555-0100";
  gSettings.UserName = "J. Engineer";
  gSettings.OfficeName = "Central Office";
  gSettings.UserEmail = "je@example.com";
  gSettings.UserPhone = "555-0199";
  // Inch-pound with the logo, SI with the blue banner.
  for (const auto& [units, name] : {std::pair{nENGLISH, "CoverIP"}, std::pair{nMETRIC, "CoverSI"}}) {
    modpublic::gUnits.CurrentUnitOfMeasure(units);
    gSettings.UnitType = units == nMETRIC ? 1 : 0;
    report->Options().bShowLogo = units == nENGLISH ? -1 : 0;
    report->InitReportDocument(1, true);
    report->ClearReportList();
    report->HdrFtrDefault(true);
    ASSERT_TRUE(report->RptCoverPage());
    EXPECT_EQ(report->Reportinfo(report->CurrentReportID()).FileName, "CoverPg.rtf");
    EXPECT_TRUE(fs::exists(Working("CoverPg.rtf")));
    for (const Section& s : doc().sections) {
      EXPECT_FALSE(s.fmt.header.has_value());
      EXPECT_FALSE(s.fmt.footer.has_value());
    }
    const std::string pdf = Working(std::string(name) + ".pdf");
    ASSERT_TRUE(report->SaveReportAsFile(pdf, "pdf"));
    Keep(pdf);
    const std::string info = RunCommand("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
    const std::string text = RunCommand("pdftotext '" + pdf + "' -");
    EXPECT_NE(text.find("RIVERSIDE MEDICAL CENTER"), std::string::npos);
    EXPECT_NE(text.find("Summary of Concepts"), std::string::npos);
    EXPECT_NE(text.find("Key Program Calculations and Assumptions"), std::string::npos);
  }
  modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace reporttest
