// Setting the document up: the page from the printer's answers, orientation, the fonts and
// paragraph styles, and pictures from the program folder.
#include "app/reports/page_geometry.h"
#include "app/reports/tests/report_fixture.h"

namespace reporttest {
namespace {

using namespace richtext;
using reports::ComputePageGeometry;
using reports::PageGeometry;
using reports::PrinterCaps;

struct GeometryCase {
  const char* name;
  PrinterCaps caps;
  PageGeometry expected;
};

// A 600 dpi Letter printer (2.4 twips per pixel): borders given in pixels.
PrinterCaps Letter600(int left, int top, int right, int bottom, bool landscape = false) {
  PrinterCaps c;
  c.twipsPerPixelX = c.twipsPerPixelY = 2.4;
  c.pageWidth = landscape ? 15840 : 12240;
  c.pageHeight = landscape ? 12240 : 15840;
  c.physicalWidth = landscape ? 6600 : 5100;
  c.physicalHeight = landscape ? 5100 : 6600;
  c.offsetX = left;
  c.offsetY = top;
  c.horzRes = c.physicalWidth - left - right;
  c.vertRes = c.physicalHeight - top - bottom;
  return c;
}

class Geometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(Geometry, MarginsAndTextArea) { EXPECT_EQ(ComputePageGeometry(GetParam().caps), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Printers, Geometry,
    ::testing::Values(
        // 0.25-inch borders everywhere: half-inch margins.
        GeometryCase{"Portrait", Letter600(150, 150, 150, 150), {12240, 15840, {720, 720, 720, 720}, 10800, 14400}},
        // A border of 0.6 inch (864 twips = 360 px) on the left gives that margin.
        GeometryCase{
            "WideLeftBorder", Letter600(360, 150, 150, 150), {12240, 15840, {864, 720, 720, 720}, 10656, 14400}},
        // The printer holds the sheet in landscape: a portrait page, the borders turned with
        // it (left takes the bottom, bottom the right, right the top, top the left).
        GeometryCase{"LandscapeRotated",
                     Letter600(100, 200, 150, 400, true),
                     {12240, 15840, {960, 720, 720, 720}, 12240 - 960 - 720, 15840 - 1440}},
        GeometryCase{"NoPrinter", reports::NoPrinterCaps(), {12240, 15840, {720, 720, 720, 720}, 10800, 14400}}),
    [](const ::testing::TestParamInfo<GeometryCase>& i) { return std::string(i.param.name); });

using Document = ReportTest;

TEST_F(Document, PrinterPageReachesTheDocument) {
  report->SetPrinterCapsSource([] { return Letter600(360, 150, 150, 150); });
  ASSERT_TRUE(report->SetPageDimensions());
  EXPECT_EQ(report->TextWidth(), 10656);
  EXPECT_EQ(doc().sections[0].fmt.marginLeft, 864);
  EXPECT_EQ(doc().sections[0].fmt.marginRight, 720);
}

TEST_F(Document, OrientationOutsideOneAndTwoIsPortrait) {
  for (int32_t given : {0, 3, -1, 1}) {
    int32_t o = given;
    report->SetPageOrientation(o);
    EXPECT_EQ(o, 1) << given;
    EXPECT_EQ(report->TextWidth(), 10800);
  }
  int32_t o = 2;
  report->SetPageOrientation(o);
  EXPECT_EQ(o, 2);
  EXPECT_EQ(report->TextWidth(), 14400) << "landscape has the longer side across";
  EXPECT_EQ(report->TextHeight(), 10800);
}

// The fonts and styles the writers use, by what they write.
TEST_F(Document, FontsAndParagraphStylesAfterSetUp) {
  ASSERT_TRUE(report->InitReportDocument(1, true));
  EXPECT_GE(doc().fonts.size(), 16u) << "fifteen fonts besides the default";
  EXPECT_GE(doc().paraStyles.size(), 8u);
  report->WriteTextLine("plain");
  report->WriteTableColHeaderData("head", 0, 2000, true, true, true, true, true, 1);
  int32_t para = 6;  // the indented style of the cover page
  report->WriteTextLineWithFont("indented", 0, para);
  const auto& blocks = doc().sections[0].blocks;
  const auto& plain = std::get<Paragraph>(blocks.at(0));
  EXPECT_EQ(plain.runs.at(0).fmt.face, "Arial");
  EXPECT_EQ(plain.runs.at(0).fmt.pointSize, 9);
  EXPECT_FALSE(plain.runs.at(0).fmt.bold);
  EXPECT_EQ(plain.runs.at(0).fmt.background, kNoColor);
  const auto& head = std::get<Table>(blocks.at(1)).rows.at(0).cells.at(0).paragraphs.at(0).runs.at(0).fmt;
  EXPECT_EQ(head.color, Rgb(255, 255, 255));
  EXPECT_TRUE(head.bold);
}

TEST_F(Document, PicturesFromTheProgramFolder) {
  EXPECT_FALSE(report->PutGraphicsInReport("No-Such-Logo.bmp", false));
  EXPECT_FALSE(report->PutGraphicsInReport("No-Such-Logo.bmp", true));
  EXPECT_TRUE(host.messages.empty()) << "a missing picture is no error";
  EXPECT_FALSE(report->PastePicture(0, 0, 100, false, 0, 2, Picture{})) << "no width";
  ASSERT_TRUE(report->PutGraphicsInReport("Footer-Logo.bmp", true));
  int frames = 0;
  for (const Block& b : doc().sections[0].blocks)
    if (const auto* p = std::get_if<Paragraph>(&b))
      for (const Frame& f : p->frames) {
        ++frames;
        EXPECT_EQ(f.y, 200);
        EXPECT_EQ(f.x, (report->TextWidth() - f.width) / 2);
        ASSERT_TRUE(f.picture);
        EXPECT_EQ(f.picture->pixelWidth, 120);
      }
  EXPECT_EQ(frames, 1);
}

// With the logo switch on, every sub-report's footer carries the footer logo.
TEST_F(Document, FooterLogoOnCombinedReportPages) {
  report->Options().bShowLogo = -1;
  int32_t n = 0;
  ASSERT_TRUE(report->BeginNewReport("With Logo", 1, n, true));
  report->WriteTextLine("body");
  const auto& footer = doc().sections[0].fmt.footer;
  ASSERT_TRUE(footer.has_value());
  int pictures = 0;
  for (const Paragraph& p : footer->paragraphs)
    for (const Frame& f : p.frames) pictures += f.picture ? 1 : 0;
  EXPECT_EQ(pictures, 1);
  const std::string pdf = Working("FooterLogo.pdf");
  ASSERT_TRUE(report->SaveReportAsFile(pdf, "pdf"));
  Keep(pdf);
  EXPECT_NE(RunCommand("pdfinfo '" + pdf + "'").find("Pages:           1\n"), std::string::npos);
}

}  // namespace
}  // namespace reporttest
