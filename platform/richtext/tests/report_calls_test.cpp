// The library driven the way the report builder drives it: sub-reports begun with a section
// break, page headers and footers written by insert-select-format while the document is
// read-only for the viewer, tables kept together from a remembered line, the first page of
// each sub-report taken from the page count during the build, and the saved report read back.
#include <QFile>
#include <QImage>
#include <QTextLayout>

#include <algorithm>

#include "platform/richtext/tests/test_support.h"

namespace richtext::test {
namespace {

// The report builder's calls, written as it makes them (handle first, repaint flag last).
class ReportCalls : public DocTest {
 protected:
  int32_t caretLine() {
    int32_t l = 0, c = -1;
    GetTerCursorPos(h, l, c);
    return l;
  }
  void moveToDocEnd() { SetTerCursorPos(h, kLineEnd, 9999, false); }
  // Inserts text at the caret and leaves it selected.
  bool insertSelected(const std::string& text) {
    int32_t l1 = 0, c1 = 0, l2 = 0, c2 = 0;
    GetTerCursorPos(h, l1, c1);
    if (text.empty()) return false;
    InsertTerText(h, text, false);
    GetTerCursorPos(h, l2, c2);
    SelectTerText(h, l1, c1, l2, c2, false);
    return true;
  }
  // Sets a toggle command to the wanted state; answers the state read back.
  bool select676(bool wanted) {
    if ((TerMenuSelect(h, kCmdReturnToBody) == kMenuChecked) != wanted) TerCommand(h, kCmdReturnToBody);
    return TerMenuSelect(h, kCmdReturnToBody) == kMenuChecked;
  }
  void makeHdrFtr0(const std::string& title, int orientation, int32_t s) {
    DeselectTerText(h, false);
    TerSetReadOnly(h, false);
    TerSetSectOrient(h, orientation, false);
    TerSetMarginEx(h, s, 720, 720, -1, -1, 720, 720, false);
    ASSERT_TRUE(TerPosHdrFtrEx(h, s, kHdrFtrHeader, 1, false));
    insertSelected(title + "\r\n");
    SetTerFont(h, "Arial", false);
    SetTerColor(h, 16711680, false);
    TerSetCharSpace(h, 36, false);
    SetTerPointSize(h, 11, false);
    SetTerCharStyle(h, kStyleBold, true, false);
    SetTerParaFmt(h, kParaCenter, true, false);
    DeselectTerText(h, false);
    TerSetCharSpace(h, 0, false);
    insertSelected("Project:  Plant {A}\t03/05/2024\r\n");
    SetTerPointSize(h, 9, false);
    SetTerCharStyle(h, kStyleBold, false, false);
    SetTerParaFmt(h, 1024, true, false);
    TerSetTab(h, 1, 12240, 0, false);
    DeselectTerText(h, false);
    insertSelected("Prepared By:  J. Engineer\t02:30 PM");
    SetTerPointSize(h, 9, false);
    SetTerParaFmt(h, 1056, true, false);
    TerSetTab(h, 1, 12240, 0, false);
    DeselectTerText(h, false);

    ASSERT_TRUE(TerPosHdrFtrEx(h, s, kHdrFtrFooter, 0, false));
    int32_t l = 0, c = 0;
    GetTerCursorPos(h, l, c);
    insertSelected("KestrinTM  v1.00\tPage ");
    SetTerPointSize(h, 9, false);
    TerSetTab(h, 1, 12240, 0, false);
    SetTerParaFmt(h, 1040, true, false);
    SelectTerText(h, l, c + 7, l, c + 10, false);
    SetTerCharStyle(h, kStyleSuperscript, true, false);
    DeselectTerText(h, false);
    TerCommand(h, kCmdPageNumber);
    GetTerCursorPos(h, l, c);
    SelectTerText(h, l, c - 1, l, c, false);
    SetTerPointSize(h, 9, false);
    DeselectTerText(h, false);

    EXPECT_TRUE(select676(true));
    TerPosBodyText(h, s, 1, false);
    TerSetCaretPos(h, kCaretEnd);
    EXPECT_FALSE(select676(false));
    TerSetReadOnly(h, true);
    TerRepaginate(h, false);
  }
  // Begins sub-report n; answers its first page as the page count gives it mid-build.
  int32_t beginNewReport(const std::string& title, int orientation, int n, bool hdrFtr) {
    moveToDocEnd();
    TerAppendTextEx(h, "\x15", font, para, 0, 0, false);
    moveToDocEnd();
    if (n >= 1) TerSectBreak(h, false);
    int32_t cols = 0, spacing = 0, third = 0, orient = 0;
    TerGetSectInfo(h, cols, spacing, third, orient);
    TerSetSect2(h, cols, spacing, 1, orient, -1, -1);
    TerSetMarginEx(h, -2, 720, 720, -1, -1, 720, 720, false);
    TerSetSectOrient(h, orientation, false);
    TerRepaginate(h, false);
    TerSetCaretPos(h, kCaretEnd);
    TerFields f;
    GetTerFields(h, f);
    const int32_t seq = TerGetSeqSect(h, f.CurSect);
    if (hdrFtr) makeHdrFtr0(title, orientation, seq);
    int32_t page = 0;
    TerGetPageCount(h, &page);
    return page;
  }
  // A section break at the end with a new column layout, inside a sub-report.
  void beginNewSection(int32_t columns, int32_t spacing, int32_t third) {
    moveToDocEnd();
    TerAppendTextEx(h, "\x15", font, para, 0, 0, false);
    moveToDocEnd();
    TerSectBreak(h, false);
    TerSetSect(h, columns, spacing, third, false);
    TerSetSectOrient(h, 1, false);
  }
  void writeColumnBreak() {
    TerAppendTextEx(h, "\x0f", -1, -1, 0, 0, false);
    moveToDocEnd();
    TerColBreak(h, false);
  }
  void keepTableTogether(int32_t start) {
    line("");
    if (start <= 0) start = caretLine();
    SelectTerText(h, start, 0, kLineEnd, 0, false);
    SetTerParaFmt(h, 49152, true, false);
    DeselectTerText(h, false);
    line("");
    moveToDocEnd();
  }
};

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
  struct Sub {
    const char* title;
    int orientation;
    bool hdrFtr;
    int lines;
  };
  const std::vector<Sub> subs = {{"Cover", 1, false, 5}, {"Input Data Summary", 1, true, 130},
                                 {"Custom PLV Worksheet", 2, true, 10}, {"Operating Hours", 1, true, 20}};
  std::vector<int32_t> firstPage;
  std::vector<int32_t> firstLine;
  std::vector<int> subOfSection;   // the sub-report each section belongs to
  for (size_t n = 0; n < subs.size(); ++n) {
    firstPage.push_back(beginNewReport(subs[n].title, subs[n].orientation, static_cast<int>(n), subs[n].hdrFtr));
    subOfSection.push_back(static_cast<int>(n));
    if (n == 1) {
      // A two-column part and back to one column, as the input data summary writes it.
      beginNewSection(2, 360, 0);
      subOfSection.push_back(static_cast<int>(n));
      line("Summary left");
      writeColumnBreak();
      line("Summary right");
      beginNewSection(1, 0, 0);
      subOfSection.push_back(static_cast<int>(n));
    }
    moveToDocEnd();
    firstLine.push_back(caretLine());
    // The document is read-only for the viewer from the first header on; appends still work.
    for (int i = 0; i < subs[n].lines; ++i) line(std::string(subs[n].title) + " line " + std::to_string(i));
    const int32_t start = caretLine();
    for (int r = 0; r < 8; ++r) {
      cell(std::string(subs[n].title) + " row " + std::to_string(r), true, 5000, false, r == 0);
      cell("value", false, 5000, true, r == 0);
    }
    keepTableTogether(start);
  }
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
    const auto section = static_cast<size_t>(std::find(subOfSection.begin(), subOfSection.end(), n) - subOfSection.begin());
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
  TerAppendTextEx(h, "\x0f", -1, -1, 0, 0, false);   // the column-break writer's way
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
  const int32_t x = (textWidth - width) / 2;   // -600
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
