// The library driven the way the report builder drives it: sub-reports begun with a section
// break, page headers and footers written by insert-select-format while the document is
// read-only for the viewer, tables kept together from a remembered line, the first page of
// each sub-report taken from the page count during the build, and the saved report read back.
#include <QFile>
#include <QImage>
#include <QTextLayout>

#include <algorithm>

#include "platform/richtext/tests/report_builder.h"

namespace richtext::test {
namespace {

// The lines drawn on a page, top to bottom, as text.
std::vector<std::string> TextOf(const PageLayout& page) {
  std::vector<std::string> out;
  for (const auto& item : page.items)
    if (const auto* t = std::get_if<DrawText>(&item)) {
      const QTextLine l = t->layout->lineAt(t->line);
      out.push_back(t->layout->text().mid(l.textStart(), l.textLength()).toStdString());
    }
  return out;
}

bool Contains(const std::vector<std::string>& lines, const std::string& s) {
  for (const auto& l : lines)
    if (l.find(s) != std::string::npos) return true;
  return false;
}

TEST_F(ReportCalls, SubReportsHeadersFootersAndFirstPagesAsTheBuilderMakesThem) {
  const std::vector<Sub> subs = TestSubReports();
  const Built built = buildReport(subs);
  const std::vector<int32_t>& firstPage = built.firstPage;
  const std::vector<int32_t>& firstLine = built.firstLine;
  const std::vector<int>& subOfSection = built.subOfSection;
  EXPECT_TRUE(ed().readOnly);
  // Wrapped up: caret to the start, repaginated.
  SetTerCursorPos(h, 0, 0, false);
  TerRepaginate(h, false);
  const Layout& lay = ed().layout();
  ASSERT_EQ(lay.sectionFirstPage.size(), subOfSection.size()) << "the first sub-report has no section break";
  // The two-column part and what follows it stay on the sub-report's first page.
  EXPECT_EQ(lay.sectionFirstPage[2], firstPage[1] - 1);
  EXPECT_EQ(lay.sectionFirstPage[3], firstPage[1] - 1);
  EXPECT_TRUE(Contains(TextOf(lay.pages.at(static_cast<size_t>(firstPage[1] - 1))), "Summary right"));
  for (size_t n = 0; n < subs.size(); ++n) {
    // The page the builder took mid-build is where the sub-report is in the final layout.
    const auto section =
        static_cast<size_t>(std::find(subOfSection.begin(), subOfSection.end(), n) - subOfSection.begin());
    EXPECT_EQ(firstPage[n], lay.sectionFirstPage.at(section) + 1) << subs[n].title;
    EXPECT_EQ(lay.linePage.at(static_cast<size_t>(firstLine[n])), firstPage[n] - 1) << subs[n].title;
    const PageLayout& page = lay.pages.at(static_cast<size_t>(firstPage[n] - 1));
    EXPECT_EQ(page.landscape(), subs[n].orientation == 2) << subs[n].title;
    const auto text = TextOf(page);
    EXPECT_EQ(Contains(text, subs[n].title + std::string(" line 0")), true) << subs[n].title;
    EXPECT_EQ(Contains(text, "Prepared By:  J. Engineer"), subs[n].hdrFtr) << subs[n].title;
    EXPECT_EQ(Contains(text, "Page " + std::to_string(firstPage[n])), subs[n].hdrFtr) << subs[n].title;
  }
  // Every page of a sub-report with a footer carries its own number and the sub-report's
  // header, its two-column part and the sections after it included.
  for (size_t p = 0; p < lay.pages.size(); ++p) {
    const Sub& sub = subs[static_cast<size_t>(subOfSection.at(static_cast<size_t>(lay.pages[p].section)))];
    const auto text = TextOf(lay.pages[p]);
    EXPECT_EQ(Contains(text, "Page " + std::to_string(p + 1)), sub.hdrFtr) << "page " << p + 1;
    EXPECT_EQ(Contains(text, sub.title), true) << "page " << p + 1;
    for (const Sub& other : subs)
      if (&other != &sub) {
        EXPECT_FALSE(Contains(text, other.title)) << "page " << p + 1;
      }
  }
  // Each sub-report's header has its own three lines, none taken over from the one before.
  for (size_t sec = 0; sec < subOfSection.size(); ++sec) {
    const auto& header = ed().doc.sections[sec].fmt.header;
    ASSERT_EQ(header.has_value(), subs[static_cast<size_t>(subOfSection[sec])].hdrFtr) << sec;
    if (header) {
      EXPECT_EQ(header->paragraphs.size(), 3u) << sec;
    }
  }
  // The header's title is centred, raised "TM" in the footer, the toggle is off again.
  const auto& fmt = ed().doc.sections[1].fmt;
  ASSERT_TRUE(fmt.header && fmt.footer);
  EXPECT_EQ(fmt.header->paragraphs.at(0).fmt.align, Align::Center);
  EXPECT_TRUE(fmt.header->paragraphs.at(0).runs.at(0).fmt.bold);
  EXPECT_EQ(fmt.header->paragraphs.at(0).runs.at(0).fmt.spacing, 36);
  EXPECT_EQ(fmt.header->paragraphs.at(1).fmt.align, Align::Left);
  const auto& footer = fmt.footer->paragraphs.at(0);
  ASSERT_GE(footer.runs.size(), 4u);
  EXPECT_EQ(footer.runs[1].text, "TM ");
  EXPECT_TRUE(footer.runs[1].fmt.superscript);
  EXPECT_EQ(footer.runs.back().kind, RunKind::PageField);
  EXPECT_EQ(TerMenuSelect(h, kCmdReturnToBody), 0);
  // Going to a sub-report shows its first page.
  for (size_t n = 0; n < subs.size(); ++n) {
    ASSERT_TRUE(TerPosPage(h, firstPage[n]));
    EXPECT_EQ(ed().currentPage, firstPage[n]);
  }

  // Saved as RTF (1 = success) and loaded back: the same pages.
  const std::string rtf = scratch("PLVReport.rtf");
  ASSERT_EQ(SaveTerFile(h, rtf), 1);
  EXPECT_EQ(SaveTerFile(h, scratch("no/such/folder/x.rtf")), 0);
  const TerHwnd again = TerCreateWindow();
  TerEditor(again)->paper = {12240, 15840};
  ASSERT_EQ(ReadTerFile(again, rtf), 1);
  TerSetReadOnly(again, true);
  TerRepaginate(again, false);
  TerRepaint(again, true);
  EXPECT_EQ(TerGetPageCount(again), static_cast<int32_t>(lay.pages.size()));
  EXPECT_EQ(ReadTerFile(again, scratch("CVG.RTF")), 0) << "a missing file";
  EXPECT_EQ(TerGetPageCount(again), static_cast<int32_t>(lay.pages.size())) << "and the document stays";
  TerDestroyWindow(again);
}

TEST_F(ReportCalls, BreaksOfTheViewerEditingCommands) {
  line("first");
  // Kind 0: a section break whose new section takes the settings of the one before: here two
  // columns, continuing on the same page.
  TerSetSect(h, 2, 360, 0, false);
  TerSetCaretPos(h, kCaretEnd);
  TerSectBreak(h, false);
  int32_t cols = 0, spacing = 0, third = 0, orient = 0;
  TerGetSectInfo(h, cols, spacing, third, orient);
  TerSetSect2(h, cols, spacing, third, orient, -1, -1);
  EXPECT_EQ(ed().doc.sections.size(), 2u);
  EXPECT_EQ(ed().doc.sections[1].fmt.columns, 2);
  EXPECT_EQ(ed().doc.sections[1].fmt.columnSpacing, 360);
  line("left column");
  TerAppendTextEx(h, "\x0f", -1, -1, 0, 0, false);  // the column-break writer's way
  moveToDocEnd();
  TerColBreak(h, false);
  line("right column");
  TerSetCaretPos(h, kCaretEnd);
  TerPageBreak(h, false);
  line("next page");
  const Layout& lay = ed().layout();
  ASSERT_EQ(lay.pages.size(), 2u);
  EXPECT_EQ(lay.sectionFirstPage, (std::vector<int>{0, 0}));
  double leftX = -1, rightX = -1;
  for (const auto& item : lay.pages[0].items)
    if (const auto* t = std::get_if<DrawText>(&item)) {
      if (t->layout->text() == "left column") leftX = t->origin.x();
      if (t->layout->text() == "right column") rightX = t->origin.x();
    }
  EXPECT_EQ(leftX, 720);
  EXPECT_NEAR(rightX, 720 + (10800 - 360) / 2.0 + 360, 0.5);
  EXPECT_TRUE(Contains(TextOf(lay.pages[1]), "next page"));
}

// A logo wider than the text is centred on the text: its frame starts left of the margin.
TEST_F(ReportCalls, PictureWiderThanTheTextKeepsItsCentre) {
  QImage img(800, 100, QImage::Format_RGB32);
  img.fill(Qt::blue);
  const int32_t width = 12000, height = 1500;
  const int32_t textWidth = 10800;
  const int32_t x = (textWidth - width) / 2;  // -600
  line("");
  moveToDocEnd();
  const int32_t frame = TerInsertParaFrame(h, x, 200, width, height, 0);
  int32_t fx = 0, fy = 0, fw = 0, fh = 0;
  ASSERT_TRUE(TerGetFrameSize(h, frame, fx, fy, fw, fh));
  EXPECT_EQ(fx, x);
  EXPECT_EQ(fy, 200);
  const int32_t pic = TerPastePicture(h, 2, PictureFromImage(img), frame, 0, 1);
  ASSERT_NE(pic, 0);
  ASSERT_TRUE(TerSetPictSize(h, pic, fw / kTwipsPerPixel, fh / kTwipsPerPixel));
  const Layout& lay = ed().layout();
  int pictures = 0;
  for (const auto& item : lay.pages[0].items)
    if (const auto* p = std::get_if<DrawPicture>(&item)) {
      ++pictures;
      EXPECT_DOUBLE_EQ(p->rect.center().x(), 720 + textWidth / 2.0);
      EXPECT_EQ(p->rect.width(), width);
    }
  EXPECT_EQ(pictures, 1);
  // The RTF keeps the frame where it is.
  const std::string rtf = scratch("logo.rtf");
  ASSERT_EQ(SaveTerFile(h, rtf), 1);
  const TerHwnd again = TerCreateWindow();
  ASSERT_EQ(ReadTerFile(again, rtf), 1);
  bool found = false;
  for (const auto& b : TerEditor(again)->doc.sections[0].blocks)
    if (const auto* p = std::get_if<Paragraph>(&b))
      for (const auto& f : p->frames) {
        found = true;
        EXPECT_EQ(f.x, x);
      }
  EXPECT_TRUE(found);
  TerDestroyWindow(again);
}

}  // namespace
}  // namespace richtext::test
