// Pagination: kept tables, repeated header rows, sections, columns, headers and footers.
#include <QImage>
#include <QTextLayout>

#include "platform/richtext/tests/test_support.h"

namespace richtext::test {
namespace {

// Pages (0-based) on which a text line containing `needle` is drawn.
std::vector<int> PagesWith(const Layout& lay, const QString& needle) {
  std::vector<int> pages;
  for (size_t p = 0; p < lay.pages.size(); ++p) {
    for (const auto& item : lay.pages[p].items) {
      const auto* t = std::get_if<DrawText>(&item);
      if (!t) continue;
      const QTextLine l = t->layout->lineAt(t->line);
      if (t->layout->text().mid(l.textStart(), l.textLength()).contains(needle)) {
        pages.push_back(static_cast<int>(p));
        break;
      }
    }
  }
  return pages;
}

using Pagination = DocTest;

TEST_F(Pagination, KeptTableMovesWholeToNextPageAndSplitsWithoutKeep) {
  for (bool keep : {false, true}) {
    TerNewDocument(h);
    font = TerCreateFont(h, -1, 1, "Arial", 10, 0, 0, 0xFFFFFF, 0, 0);
    para = TerCreateParaId(h, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kParaLeft);
    prevCell = 0;
    for (int i = 0; i < 55; ++i) line("filler " + std::to_string(i));
    const int32_t start = endLine();
    for (int r = 0; r < 12; ++r) {
      cell("row " + std::to_string(r) + " a", true, 5400, false);
      cell("row " + std::to_string(r) + " b", false, 5400, true);
    }
    if (keep)
      keepFrom(start);
    else
      line("");
    const Layout& lay = ed().layout();
    const auto first = PagesWith(lay, "row 0 a");
    const auto last = PagesWith(lay, "row 11 a");
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(PagesWith(lay, "filler 54"), std::vector<int>{0});
    if (keep) {
      EXPECT_EQ(first[0], 1) << "a kept table starts on the next page";
      EXPECT_EQ(last[0], 1);
      EXPECT_EQ(lay.linePage[start], 1) << "the block map follows the move";
    } else {
      EXPECT_EQ(first[0], 0) << "without keep the table starts right after the text";
      EXPECT_EQ(last[0], 1);
    }
  }
}

TEST_F(Pagination, KeptBlockTallerThanPageBreaksInsteadOfMovingOn) {
  line("intro");
  const int32_t start = endLine();
  for (int r = 0; r < 120; ++r) cell("tall " + std::to_string(r), true, 10800, true);
  keepFrom(start);
  const Layout& lay = ed().layout();
  EXPECT_EQ(PagesWith(lay, "tall 0"), std::vector<int>{0}) << "starts below the intro, not on page 2";
  EXPECT_GE(lay.pages.size(), 3u);
}

TEST_F(Pagination, LongTableRepeatsLeadingHeaderRowsOnEveryPage) {
  cell("Title Row", true, 10800, true, true);
  cell("Col A", true, 5400, false, true);
  cell("Col B", false, 5400, true, true);
  for (int r = 0; r < 150; ++r) {
    cell("value " + std::to_string(r), true, 5400, false);
    cell("x", false, 5400, true);
  }
  // A header-flagged row in the middle is not a leading header row: it does not repeat.
  cell("Middle Heading", true, 10800, true, true);
  for (int r = 0; r < 5; ++r) cell("tail " + std::to_string(r), true, 10800, true);
  line("");
  const Layout& lay = ed().layout();
  ASSERT_GE(lay.pages.size(), 3u);
  std::vector<int> all(lay.pages.size());
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
  EXPECT_EQ(PagesWith(lay, "Title Row"), all);
  EXPECT_EQ(PagesWith(lay, "Col A"), all);
  EXPECT_EQ(PagesWith(lay, "Middle Heading").size(), 1u);
}

TEST_F(Pagination, SectionsGiveRightPageCountCurrentPageAndOrientation) {
  line("first section");
  int32_t cur = 0;
  EXPECT_EQ(TerGetPageCount(h, &cur), 1);
  EXPECT_EQ(cur, 1);
  // A sub-report the way the report code begins one: new page, landscape.
  TerSectBreak(h, false);
  int32_t c = 0, s = 0, np = 0, o = 0;
  TerGetSectInfo(h, c, s, np, o);
  TerSetSect2(h, c, s, 1, o, -1, -1);
  TerSetSectOrient(h, 2, false);
  EXPECT_EQ(TerGetPageCount(h, &cur), 2);
  EXPECT_EQ(cur, 2) << "the caret's page right after the break";
  for (int i = 0; i < 80; ++i) line("landscape " + std::to_string(i));
  TerSectBreak(h, false);
  TerSetSect2(h, 1, 0, 1, 1, -1, -1);
  const int32_t total = TerGetPageCount(h, &cur);
  EXPECT_EQ(cur, total);
  line("third section");
  const Layout& lay = ed().layout();
  ASSERT_EQ(lay.sectionFirstPage.size(), 3u);
  EXPECT_EQ(lay.sectionFirstPage[1], 1);
  EXPECT_GE(lay.sectionFirstPage[2], 3) << "80 landscape lines take two pages";
  EXPECT_FALSE(lay.pages[0].landscape());
  EXPECT_TRUE(lay.pages[1].landscape());
  EXPECT_EQ(lay.pages[1].width, 15840);
  EXPECT_FALSE(lay.pages.back().landscape());
  // A continuous section (one column to two and back) stays on its page.
  TerSectBreak(h, false);
  TerSetSect2(h, 2, 360, 0, 1, -1, -1);
  line("continuous");
  EXPECT_EQ(PagesWith(ed().layout(), "continuous"), PagesWith(ed().layout(), "third section"));
}

TEST_F(Pagination, TwoColumnSectionWithColumnBreak) {
  line("above the columns");
  TerSectBreak(h, false);
  TerSetSect(h, 2, 360, 0, false);
  TerSetSect2(h, -1, -1, 0, -1, -1, -1);
  line("left column text");
  TerAppendTextEx(h, "\x0f", -1, -1, 0, 0, false);
  TerColBreak(h, false);
  line("right column text");
  TerSectBreak(h, false);
  TerSetSect2(h, 1, 0, 0, -1, -1, -1);
  line("below the columns");
  const Layout& lay = ed().layout();
  ASSERT_EQ(lay.pages.size(), 1u);
  auto where = [&](const QString& needle) {
    for (const auto& item : lay.pages[0].items)
      if (const auto* t = std::get_if<DrawText>(&item); t && t->layout->text().contains(needle))
        return t->origin + t->layout->lineAt(t->line).position();
    return QPointF(-1, -1);
  };
  const QPointF above = where("above"), left = where("left column"), right = where("right column"),
                below = where("below");
  EXPECT_NEAR(left.x(), 720, 1);
  EXPECT_NEAR(right.x(), 720 + (10800 - 360) / 2.0 + 360, 1);
  EXPECT_NEAR(left.y(), right.y(), 1) << "the break starts the second column at the top of the region";
  EXPECT_GT(left.y(), above.y());
  EXPECT_GT(below.y(), left.y());
  EXPECT_NEAR(below.x(), 720, 1);
}

TEST_F(Pagination, HeaderAndFooterCarryThePageNumber) {
  for (int i = 0; i < 150; ++i) line("body " + std::to_string(i));
  ASSERT_TRUE(TerPosHdrFtrEx(h, 0, kHdrFtrHeader, 1, false));
  InsertTerText(h, "Report Title\r\nProject:  P\tdate", false);
  ASSERT_TRUE(TerPosHdrFtrEx(h, 0, kHdrFtrFooter, 0, false));
  InsertTerText(h, "Kestrin v1.00\tPage ", false);
  TerCommand(h, kCmdPageNumber);
  TerPosBodyText(h, 0, 1, false);
  const Layout& lay = ed().layout();
  ASSERT_GE(lay.pages.size(), 3u);
  for (size_t p = 0; p < lay.pages.size(); ++p) {
    EXPECT_EQ(PagesWith(lay, "Report Title").size(), lay.pages.size());
    const auto pages = PagesWith(lay, "Page " + QString::number(p + 1));
    EXPECT_NE(std::find(pages.begin(), pages.end(), static_cast<int>(p)), pages.end()) << "page " << p + 1;
  }
}

// Every text line of a layout: page, top, bottom and text.
struct PlacedLine {
  int page;
  double top, bottom;
  QString text;
};
std::vector<PlacedLine> PlacedLines(const Layout& lay) {
  std::vector<PlacedLine> out;
  for (size_t p = 0; p < lay.pages.size(); ++p)
    for (const auto& item : lay.pages[p].items)
      if (const auto* t = std::get_if<DrawText>(&item)) {
        const QTextLine l = t->layout->lineAt(t->line);
        const double top = t->origin.y() + l.y();
        out.push_back(
            {static_cast<int>(p), top, top + l.height(), t->layout->text().mid(l.textStart(), l.textLength())});
      }
  return out;
}

TEST_F(Pagination, RowTallerThanPageSplitsAcrossPagesUnderRepeatedHeaders) {
  line("intro");
  cell("Head", true, 10800, true, true);
  // One row: a cell of 150 paragraphs beside a short cell.
  const int32_t tall = TerCreateCellId(h, 1, prevCell, 0, 0, 0, 7200, 0, 10, 10, 10, 10, 1, 1, 0);
  std::string text;
  for (int i = 0; i < 150; ++i) text += "tall line " + std::to_string(i) + (i + 1 < 150 ? "\x15" : "\x13");
  TerAppendTextEx(h, text, font, para, tall, -1, false);
  prevCell = tall;
  cell("side", false, 3600, true);
  cell("after", true, 10800, true);
  line("closing");

  const Layout& lay = ed().layout();
  const auto placed = PlacedLines(lay);
  ASSERT_GE(lay.pages.size(), 3u);
  const double bodyBottom = 15840 - 720;
  for (const auto& pl : placed)
    EXPECT_LE(pl.bottom, bodyBottom + 0.5) << pl.text.toStdString() << " overflows page " << pl.page;
  for (const auto& pg : lay.pages)
    for (const auto& item : pg.items)
      if (const auto* l = std::get_if<DrawLine>(&item)) {
        EXPECT_LE(std::max(l->line.y1(), l->line.y2()), bodyBottom + 0.5);
      }

  // Each line of the tall cell is drawn once, in order; the block map agrees with the drawing.
  // Lines: 0 intro, 1 Head, 2..151 the tall cell, 152 side, 153 after.
  int prevPage = 0;
  double prevTop = 0;
  for (int i = 0; i < 150; ++i) {
    const QString want = "tall line " + QString::number(i);
    std::vector<const PlacedLine*> hits;
    for (const auto& pl : placed)
      if (pl.text == want) hits.push_back(&pl);
    ASSERT_EQ(hits.size(), 1u) << want.toStdString();
    EXPECT_TRUE(hits[0]->page > prevPage || (hits[0]->page == prevPage && hits[0]->top > prevTop))
        << want.toStdString();
    EXPECT_EQ(lay.linePage.at(2 + i), hits[0]->page) << want.toStdString();
    prevPage = hits[0]->page;
    prevTop = hits[0]->top;
  }
  EXPECT_EQ(PagesWith(lay, "tall line 0"), std::vector<int>{0}) << "the row starts below the intro";
  EXPECT_EQ(PagesWith(lay, "side"), std::vector<int>{0});
  EXPECT_EQ(lay.linePage.at(152), 0);
  // Every page the row continues on shows the header row above the continued lines.
  std::vector<int> all(static_cast<size_t>(prevPage) + 1);
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
  EXPECT_EQ(PagesWith(lay, "Head"), all);
  for (int p = 1; p <= prevPage; ++p) {
    double head = 1e9, first = 1e9;
    for (const auto& pl : placed) {
      if (pl.page != p) continue;
      if (pl.text == "Head") head = pl.top;
      if (pl.text.startsWith("tall line")) first = std::min(first, pl.top);
    }
    EXPECT_LT(head, first) << "page " << p;
    // Its text 15 twips below the row's top and half the row's 10-twip border.
    EXPECT_NEAR(head, 720 + 15 + 5, 1) << "the header row opens page " << p;
  }
  // The next row follows the split row on its last page.
  EXPECT_EQ(PagesWith(lay, "after"), std::vector<int>{prevPage});
  // Laid out again, the same document gives the same pages.
  const auto again = PlacedLines(Paginate(ed().doc));
  ASSERT_EQ(again.size(), placed.size());
  for (size_t i = 0; i < placed.size(); ++i) {
    EXPECT_EQ(again[i].page, placed[i].page);
    EXPECT_EQ(again[i].top, placed[i].top);
  }
}

TEST_F(Pagination, CellPictureTallerThanPageIsPlacedOnceWithoutLooping) {
  cell("Head", true, 10800, true, true);
  cell("before the picture", true, 10800, true);
  // A framed picture taller than the 14400-twip body, anchored to that cell's paragraph.
  ASSERT_TRUE(SetTerCursorPos(h, 1, 0, false));
  const int32_t frame = TerInsertParaFrame(h, 0, 0, 4000, 20000, 0);
  QImage img(40, 40, QImage::Format_RGB32);
  img.fill(Qt::red);
  ASSERT_NE(TerPastePicture(h, 2, PictureFromImage(img), frame, 0, 1), 0);
  cell("after", true, 10800, true);
  const Layout& lay = ed().layout();
  int pictures = 0;
  for (const auto& pg : lay.pages)
    for (const auto& item : pg.items) pictures += std::holds_alternative<DrawPicture>(item) ? 1 : 0;
  EXPECT_EQ(pictures, 1);
  EXPECT_EQ(PagesWith(lay, "before the picture"), std::vector<int>{0});
  EXPECT_EQ(PagesWith(lay, "after"), std::vector<int>{1}) << "the picture overflows page 1 and nothing loops";
}

TEST_F(Pagination, HeaderRowsTallerThanHalfAPageAreNotRepeated) {
  // A header row of 40 paragraphs (over half the 14400-twip body), then 100 rows.
  const int32_t head = TerCreateCellId(h, 1, 0, 0, 0, 0, 10800, 0, 10, 10, 10, 10, 1, 1, 0);
  std::string text;
  for (int i = 0; i < 40; ++i) text += "Big head " + std::to_string(i) + (i + 1 < 40 ? "\x15" : "\x13\x12");
  TerAppendTextEx(h, text, bold, para, head, -1, false);
  TerSetHdrRow(h, head, true, false);
  prevCell = head;
  for (int r = 0; r < 100; ++r) cell("body " + std::to_string(r), true, 10800, true);
  line("");
  const Layout& lay = ed().layout();
  ASSERT_GE(lay.pages.size(), 3u);
  EXPECT_EQ(PagesWith(lay, "Big head 0"), std::vector<int>{0});
  EXPECT_EQ(PagesWith(lay, "body 99"), std::vector<int>{static_cast<int>(lay.pages.size()) - 1});
  for (const auto& pl : PlacedLines(lay)) EXPECT_LE(pl.bottom, 15840 - 720 + 0.5) << pl.text.toStdString();
}

TEST_F(Pagination, TableWiderThanColumnIsScaledToFit) {
  cell("wide a", true, 9000, false);
  cell("wide b", false, 9000, true);
  line("");
  const Layout& lay = ed().layout();
  double maxX = 0;
  for (const auto& item : lay.pages[0].items)
    if (const auto* l = std::get_if<DrawLine>(&item)) maxX = std::max({maxX, l->line.x1(), l->line.x2()});
  EXPECT_NEAR(maxX, 720 + 10800, 1);
}

}  // namespace
}  // namespace richtext::test

namespace richtext::test {
namespace {

// Everything a laid-out document draws, as text: page sizes, and per item its kind, place and
// (for text) the line's characters and size.
std::vector<std::string> DrawList(const Layout& lay) {
  std::vector<std::string> out;
  char buf[256];
  for (size_t p = 0; p < lay.pages.size(); ++p) {
    const PageLayout& pg = lay.pages[p];
    std::snprintf(buf, sizeof buf, "page %zu %d x %d", p, pg.width, pg.height);
    out.emplace_back(buf);
    for (const auto& item : pg.items) {
      if (const auto* t = std::get_if<DrawText>(&item)) {
        const QTextLine l = t->layout->lineAt(t->line);
        const QRectF r = l.naturalTextRect();  // aligned within the line's width
        std::snprintf(buf, sizeof buf, "T %.2f %.2f %.2f %.2f %.2f %.2f %d ", t->origin.x() + r.x(),
                      t->origin.y() + r.y(), r.width(), l.width(), r.height(),
                      l.cursorToX(l.textStart() + l.textLength()), t->bodyLine);
        out.push_back(buf + t->layout->text().mid(l.textStart(), l.textLength()).toStdString());
      } else if (const auto* f = std::get_if<DrawFill>(&item)) {
        std::snprintf(buf, sizeof buf, "F %.2f %.2f %.2f %.2f %u", f->rect.x(), f->rect.y(), f->rect.width(),
                      f->rect.height(), f->color);
        out.emplace_back(buf);
      } else if (const auto* d = std::get_if<DrawLine>(&item)) {
        std::snprintf(buf, sizeof buf, "L %.2f %.2f %.2f %.2f", d->line.x1(), d->line.y1(), d->line.x2(), d->line.y2());
        out.emplace_back(buf);
      } else if (const auto* pic = std::get_if<DrawPicture>(&item)) {
        std::snprintf(buf, sizeof buf, "P %.2f %.2f %.2f %.2f", pic->rect.x(), pic->rect.y(), pic->rect.width(),
                      pic->rect.height());
        out.emplace_back(buf);
      }
    }
  }
  return out;
}

// The editor keeps measured paragraphs between paginations; after each kind of edit its
// layout must be exactly the one a fresh pagination of the same document gives.
TEST_F(Pagination, RepaginationAfterEachEditEqualsAFreshLayout) {
  TerPosHdrFtrEx(h, 0, kHdrFtrFooter, 0, false);
  InsertTerText(h, "Page ", false);
  TerCommand(h, kCmdPageNumber);
  TerPosBodyText(h, 0, 1, false);
  const int32_t indented = TerCreateParaId(h, -1, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kParaLeft);
  const int32_t spaced = TerCreateParaId(h, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 200, 0, 0, kParaLeft);
  for (int i = 0; i < 70; ++i) line("same text\tin every line");  // identical paragraphs
  for (int r = 0; r < 30; ++r) {
    cell("same text", true, 2000, false);
    cell("same text", false, 4000, true);
  }
  line("");
  QImage img(40, 20, QImage::Format_RGB32);
  img.fill(Qt::red);
  line("after the table");
  SetTerCursorPos(h, 74, 0, false);  // a frame in a cell: its height is the row's
  const int32_t frame = TerInsertParaFrame(h, 0, 100, 0, 0, 0);
  const int32_t pic = TerPastePicture(h, 2, PictureFromImage(img), frame, 0, 1);
  ASSERT_GT(pic, 0);

  auto select = [&](int32_t l1, int32_t c1, int32_t l2, int32_t c2) { SelectTerText(h, l1, c1, l2, c2, false); };
  const std::vector<std::pair<const char*, std::function<void()>>> edits = {
      {"point size of a word",
       [&] {
         select(3, 0, 3, 4);
         SetTerPointSize(h, 14, false);
       }},
      {"point size of a line",
       [&] {
         select(4, 0, 4, 9999);
         SetTerPointSize(h, 14, false);
       }},
      {"bold",
       [&] {
         select(5, 0, 5, 9999);
         SetTerCharStyle(h, kStyleBold, true, false);
       }},
      {"italic",
       [&] {
         select(6, 0, 6, 9999);
         SetTerCharStyle(h, kStyleItalic, true, false);
       }},
      {"superscript",
       [&] {
         select(7, 0, 7, 9999);
         SetTerCharStyle(h, kStyleSuperscript, true, false);
       }},
      {"character spacing",
       [&] {
         select(8, 0, 8, 9999);
         TerSetCharSpace(h, 40, false);
       }},
      {"face",
       [&] {
         select(9, 0, 9, 9999);
         SetTerFont(h, "Courier New", false);
       }},
      {"centred",
       [&] {
         select(10, 0, 10, 1);
         SetTerParaFmt(h, kParaCenter, true, false);
       }},
      {"tab stops",
       [&] {
         select(11, 0, 11, 1);
         TerSetTab(h, 1, 2520, 1, false);
         select(13, 0, 13, 1);
         TerSetTab(h, 1, 5040, 1, false);
       }},
      {"centred cells",
       [&] {
         select(76, 0, 79, 1);
         SetTerParaFmt(h, kParaCenter, true, false);
       }},
      {"cell text size",
       [&] {
         select(72, 0, 72, 9999);
         SetTerPointSize(h, 20, false);
       }},
      {"picture size", [&] { TerSetPictSize(h, pic, 300, 200); }},
      {"text inserted",
       [&] {
         SetTerCursorPos(h, 12, 4, false);
         InsertTerText(h, " more", false);
       }},
      {"indented paragraph", [&] { TerAppendTextEx(h, "same text\tin every line\x15", font, indented, 0, 0, false); }},
      {"spaced paragraph", [&] { TerAppendTextEx(h, "same text\tin every line\x15", font, spaced, 0, 0, false); }},
      {"page added",
       [&] {
         for (int i = 0; i < 40; ++i) line("same text\tin every line");
       }},
  };
  ASSERT_FALSE(DrawList(ed().layout()).empty());
  for (const auto& [what, edit] : edits) {
    edit();
    DeselectTerText(h, false);
    const auto cached = DrawList(ed().layout());
    const auto fresh = DrawList(Paginate(ed().doc));
    ASSERT_EQ(cached.size(), fresh.size()) << what;
    for (size_t i = 0; i < cached.size(); ++i) ASSERT_EQ(cached[i], fresh[i]) << what;
  }
}

}  // namespace
}  // namespace richtext::test
