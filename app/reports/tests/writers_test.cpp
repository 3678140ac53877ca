// The writing primitives on the document: the four cell kinds, rows, table starts, kept
// tables, text lines and titles.
#include <functional>

#include "app/reports/tests/report_fixture.h"

namespace reporttest {
namespace {

using namespace richtext;

constexpr ColorRef kWhite = Rgb(255, 255, 255);
constexpr ColorRef kHeaderBlue = Rgb(24, 145, 246);

struct CellCase {
  const char* name;
  std::function<void(clsReport&, int32_t font14)> write;
  std::vector<std::string> runs;  // text of each run
  bool bold;                      // of the first run
  double pointSize;               // of the first run
  ColorRef textColor;             // of the first run
  ColorRef background;
  Align align;
  bool headerRow;
  VAlign valign;
  std::array<int32_t, 4> border;  // left, right, top, bottom
};

class CellKinds : public ReportTest, public ::testing::WithParamInterface<CellCase> {};

TEST_P(CellKinds, FontBackgroundAlignmentAndHeaderFlag) {
  const CellCase& c = GetParam();
  const int32_t font14 = TerCreateFont(report->TerHwnd(), -1, 1, "Arial", 14, kStyleItalic, Rgb(200, 0, 0), 0, 0, 0);
  c.write(*report, font14);
  const auto tables = Tables();
  ASSERT_EQ(tables.size(), 1u);
  ASSERT_EQ(tables[0]->rows.size(), 1u);
  const Row& row = tables[0]->rows[0];
  ASSERT_EQ(row.cells.size(), 1u);
  const Cell& cell = row.cells[0];
  EXPECT_EQ(row.header, c.headerRow);
  EXPECT_EQ(cell.background, c.background);
  EXPECT_EQ(cell.valign, c.valign);
  EXPECT_EQ(cell.border, c.border);
  EXPECT_EQ(cell.width, 3000);
  ASSERT_FALSE(cell.paragraphs.empty());
  const Paragraph& p = cell.paragraphs[0];
  EXPECT_EQ(p.fmt.align, c.align);
  std::vector<std::string> runs;
  for (const richtext::Run& r : p.runs) runs.push_back(r.text);
  EXPECT_EQ(runs, c.runs);
  ASSERT_FALSE(p.runs.empty());
  EXPECT_EQ(p.runs[0].fmt.bold, c.bold);
  EXPECT_EQ(p.runs[0].fmt.pointSize, c.pointSize);
  EXPECT_EQ(p.runs[0].fmt.color, c.textColor);
  EXPECT_TRUE(host.messages.empty());
}

const std::array<int32_t, 4> kAll{10, 10, 10, 10};

INSTANTIATE_TEST_SUITE_P(
    Cells, CellKinds,
    ::testing::Values(
        CellCase{
            "PlainLeft",
            [](clsReport& r, int32_t) { r.WriteCellData("a", false, 0, 3000, true, true, true, true, true, 1024); },
            {"a"},
            false,
            9,
            0,
            kWhite,
            Align::Left,
            false,
            VAlign::Top,
            kAll},
        CellCase{"BoldRight",
                 [](clsReport& r, int32_t) {
                   r.WriteCellData("b", false, 0, 3000, true, true, true, true, true, 2, 0, 0, 1, true);
                 },
                 {"b"},
                 true,
                 9,
                 0,
                 kWhite,
                 Align::Right,
                 false,
                 VAlign::Top,
                 kAll},
        CellCase{"HeaderRowOwnColourCentred",
                 [](clsReport& r, int32_t) {
                   r.WriteCellData("h", true, 0, 3000, true, true, true, true, true, 1, 0, Rgb(1, 2, 3));
                 },
                 {"h"},
                 true,
                 9,
                 0,
                 Rgb(1, 2, 3),
                 Align::Center,
                 true,
                 VAlign::Top,
                 kAll},
        CellCase{"AlignmentZeroCentred",
                 [](clsReport& r, int32_t) { r.WriteCellData("z", false, 0, 3000, true, true, true, true, true, 0); },
                 {"z"},
                 false,
                 9,
                 0,
                 kWhite,
                 Align::Center,
                 false,
                 VAlign::Top,
                 kAll},
        CellCase{"FontOverridesBold",
                 [](clsReport& r, int32_t f) {
                   r.WriteCellData("f", true, 0, 3000, true, true, true, true, true, 1024, 0, 0, 1, true, f);
                 },
                 {"f"},
                 false,
                 14,
                 Rgb(200, 0, 0),
                 kWhite,
                 Align::Left,
                 true,
                 VAlign::Top,
                 kAll},
        CellCase{
            "BordersLeftAndTopOnly",
            [](clsReport& r, int32_t) { r.WriteCellData("t", false, 0, 3000, true, true, true, false, false, 1024); },
            {"t"},
            false,
            9,
            0,
            kWhite,
            Align::Left,
            false,
            VAlign::Top,
            {10, 0, 10, 0}},
        CellCase{"ColumnHeaderAlwaysHeaderColour",
                 [](clsReport& r, int32_t) {
                   r.WriteTableColHeaderData("Load", 0, 3000, true, true, true, true, true, 1, 0, Rgb(9, 9, 9));
                 },
                 {"Load"},
                 true,
                 9,
                 Rgb(255, 255, 255),
                 kHeaderBlue,
                 Align::Center,
                 true,
                 VAlign::Center,
                 kAll},
        CellCase{"TwoFonts",
                 [](clsReport& r, int32_t f) {
                   r.WriteCellDataWithMixedFonts("Label: ", f, "value", 0, 0, 3000, true, false, false, false, false,
                                                 1024);
                 },
                 {"Label: ", "value"},
                 false,
                 14,
                 Rgb(200, 0, 0),
                 kWhite,
                 Align::Left,
                 false,
                 VAlign::Top,
                 {0, 0, 0, 0}},
        CellCase{"ThreeFonts",
                 [](clsReport& r, int32_t f) {
                   r.WriteCellDataWithThreeDifferentFonts("x", f, "y", 0, "z", f, 0, 3000, true, true, true, true, true,
                                                          2, 0, Rgb(7, 7, 7));
                 },
                 {"x", "y", "z"},
                 false,
                 14,
                 Rgb(200, 0, 0),
                 Rgb(7, 7, 7),
                 Align::Right,
                 false,
                 VAlign::Top,
                 kAll}),
    [](const ::testing::TestParamInfo<CellCase>& i) { return std::string(i.param.name); });

using Writers = ReportTest;

TEST_F(Writers, PositionZeroStartsARowAndRowEndClosesIt) {
  auto cell = [&](const char* t, int32_t pos, bool end) {
    ASSERT_TRUE(report->WriteCellData(t, false, pos, 2000, end, true, true, true, true, 1024));
  };
  cell("a", 0, false);
  cell("b", 1, true);
  cell("c", 0, false);
  cell("d", 1, false);
  cell("e", 0, true);  // a new row in the middle of one
  const auto tables = Tables();
  ASSERT_EQ(tables.size(), 1u);
  std::vector<std::vector<std::string>> rows;
  for (const Row& r : tables[0]->rows) {
    rows.emplace_back();
    for (const Cell& c : r.cells) rows.back().push_back(TextOf(c.paragraphs.at(0)));
  }
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{{"a", "b"}, {"c", "d"}, {"e"}}));
}

TEST_F(Writers, TableStartIsKeptUntilReset) {
  report->WriteTextLine("one");
  report->ResetTableStart();
  const int32_t first = report->GetTableStart();
  report->WriteTextLine("two");
  report->WriteTextLine("three");
  EXPECT_EQ(report->GetTableStart(), first);
  report->ResetTableStart();
  EXPECT_EQ(report->GetTableStart(), first + 2);
  report->SetTableStart(1);
  EXPECT_EQ(report->GetTableStart(), 1);
  report->SetTableStart(0);  // from the caret
  EXPECT_EQ(report->GetTableStart(), first + 2);
}

// The paragraphs from the kept start on carry the keep flags; those before do not.
TEST_F(Writers, KeepTableTogetherFromItsStart) {
  report->WriteTextLine("before");
  report->ResetTableStart();
  const int32_t start = report->GetTableStart();
  for (int r = 0; r < 3; ++r) {
    report->WriteCellData("row" + std::to_string(r), false, 0, 3000, false, true, true, true, true, 1024);
    report->WriteCellData("v", false, 1, 3000, true, true, true, true, true, 1024);
  }
  ASSERT_TRUE(report->KeepTableTogether(start));
  const auto& blocks = doc().sections.back().blocks;
  bool sawTable = false;
  for (const Block& b : blocks) {
    if (const auto* p = std::get_if<Paragraph>(&b)) {
      if (TextOf(*p) == "before") {
        EXPECT_FALSE(p->fmt.keepWithNext);
      }
    }
    if (const auto* t = std::get_if<Table>(&b)) {
      sawTable = true;
      for (const Row& r : t->rows)
        for (const Cell& c : r.cells) EXPECT_TRUE(c.paragraphs.at(0).fmt.keepWithNext);
    }
  }
  EXPECT_TRUE(sawTable);
}

TEST_F(Writers, KeepWithStartZeroKeepsOnlyItsOwnEmptyLine) {
  report->WriteTextLine("first");
  report->WriteTextLine("second");
  ASSERT_TRUE(report->KeepTableTogether(0, true));
  int kept = 0;
  for (const Block& b : doc().sections.back().blocks)
    if (const auto* p = std::get_if<Paragraph>(&b)) {
      if (p->fmt.keepWithNext) {
        ++kept;
        EXPECT_EQ(TextOf(*p), "");
      }
    }
  EXPECT_GE(kept, 1);
  EXPECT_LE(kept, 2);
}

TEST_F(Writers, TitlesAreUpperCasedAndEmptyLinesStayParagraphs) {
  ASSERT_TRUE(report->WriteSectionTitle("Weighting factors"));
  ASSERT_TRUE(report->WriteSubSectionTitle("by bin"));
  ASSERT_TRUE(report->WriteTextLine(""));
  ASSERT_TRUE(report->WriteTextLine("bold italic", true, true));
  int32_t para = 0;
  ASSERT_TRUE(report->WriteTextLineWithFont("own", 1, para));
  EXPECT_GT(para, 0) << "paragraph 0 means the left paragraph, handed back";
  const auto texts = BodyTexts();
  ASSERT_GE(texts.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 5),
            (std::vector<std::string>{"WEIGHTING FACTORS", "BY BIN", "", "bold italic", "own"}));
  const auto& blocks = doc().sections[0].blocks;
  const auto& title = std::get<Paragraph>(blocks[0]);
  EXPECT_EQ(title.runs.at(0).fmt.pointSize, 10);
  EXPECT_TRUE(title.runs.at(0).fmt.bold);
  EXPECT_EQ(title.fmt.spaceBefore, 100);
  EXPECT_EQ(title.fmt.spaceAfter, 60);
  const auto& bi = std::get<Paragraph>(blocks[3]);
  EXPECT_TRUE(bi.runs.at(0).fmt.bold);
  EXPECT_TRUE(bi.runs.at(0).fmt.italic);
}

}  // namespace
}  // namespace reporttest
