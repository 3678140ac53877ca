// The RTF reader on files we did not write: a user's cover page in the style of other word
// processors, and malformed input, which must never crash, hang or blow up.
#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>

#include "platform/richtext/rtf.h"

namespace richtext {
namespace {

// A 2 x 2 PNG.
const char* const kPngHex =
    "89504e470d0a1a0a0000000d4948445200000002000000020802000000fdd49a730000001049444154789c"
    "639098f80d881820140029fa067d99065d0d0000000049454e44ae426082";

std::string CoverPage() {
  return std::string(
             R"({\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fswiss\fcharset0 Arial;}{\f1\froman\fcharset0{\*\panose 02020603050405020304}Times New Roman;}}
{\colortbl ;\red24\green145\blue246;\red21\green44\blue115;}
{\*\generator Hand written 1.0;}{\info{\title Cover}{\author Someone}{\creatim\yr2024\mo1\dy2}}
{\stylesheet{\s0 Normal;}{\s1\b Heading 1;}}
\paperw12240\paperh15840\margl1080\margr1080\margt720\margb720
\viewkind4\uc1\pard\qc\sb240\sa120\f0\fs44\b\cf1\expndtw20 ACME PLANT \u8211? NORTH\b0\cf0\fs24\expndtw0\par
\pard\ql\tx5040 Prepared For:\tab Caf\'e9 Owners \{Ltd\}\par
{\*\shppict{\pict\pngblip\picw2\pich2\picwgoal1440\pichgoal720 )") +
         kPngHex + R"(}}{\nonshppict{\pict\wmetafile8\picw2\pich2 0100}}\par
\trowd\trgaph108\trleft-108\clbrdrt\brdrs\brdrw10\clbrdrb\brdrs\brdrw10\clcbpat2\clshdng2000\cellx2000\cellx6000
\pard\intbl{\b Name}\cell\pard\intbl J. Smith\cell\row
\trowd\trgaph108\trleft-108\cellx2000\cellx6000\pard\intbl Phone\cell\pard\intbl\i 555-0100\i0\cell\row
\pard{\field{\*\fldinst { HYPERLINK "http://example.com" }}{\fldrslt {\ul\cf1 example.com}}}\par
{\footnote this is skipped}{\*\bkmkstart x}{\*\unknowndest also skipped {nested}}\par
}
trailing text after the document)";
}

const Paragraph& ParaAt(const Document& d, size_t i) { return std::get<Paragraph>(d.sections.at(0).blocks.at(i)); }

TEST(RtfReader, ReadsAUsersCoverPage) {
  Document doc;
  ASSERT_TRUE(ReadRtf(CoverPage(), doc));
  EXPECT_EQ(doc.info.title, "Cover");
  EXPECT_EQ(doc.info.author, "Someone");
  ASSERT_EQ(doc.sections.size(), 1u);
  const SectionFormat& f = doc.sections[0].fmt;
  EXPECT_EQ(f.pageWidth(), 12240);
  EXPECT_EQ(f.pageHeight(), 15840);
  EXPECT_EQ(f.marginLeft, 1080);
  EXPECT_EQ(f.marginTop, 720);
  const auto& blocks = doc.sections[0].blocks;
  ASSERT_EQ(blocks.size(), 6u);

  const Paragraph& title = ParaAt(doc, 0);
  EXPECT_EQ(title.fmt.align, Align::Center);
  EXPECT_EQ(title.fmt.spaceBefore, 240);
  EXPECT_EQ(title.fmt.spaceAfter, 120);
  ASSERT_EQ(title.runs.size(), 1u);
  EXPECT_EQ(title.runs[0].text, "ACME PLANT \xE2\x80\x93 NORTH");
  EXPECT_EQ(title.runs[0].fmt.face, "Arial");
  EXPECT_EQ(title.runs[0].fmt.pointSize, 22.0);
  EXPECT_TRUE(title.runs[0].fmt.bold);
  EXPECT_EQ(title.runs[0].fmt.color, Rgb(24, 145, 246));
  EXPECT_EQ(title.runs[0].fmt.spacing, 20);

  const Paragraph& label = ParaAt(doc, 1);
  ASSERT_EQ(label.fmt.tabs.size(), 1u);
  EXPECT_EQ(label.fmt.tabs[0].position, 5040);
  ASSERT_EQ(label.runs.size(), 1u);
  EXPECT_EQ(label.runs[0].text, "Prepared For:\tCaf\xC3\xA9 Owners {Ltd}");
  EXPECT_FALSE(label.runs[0].fmt.bold);
  EXPECT_EQ(label.runs[0].fmt.pointSize, 12.0);
  EXPECT_EQ(label.runs[0].fmt.color, kNoColor);

  // The picture of \shppict; its \nonshppict stand-in is skipped.
  const Paragraph& pic = ParaAt(doc, 2);
  ASSERT_EQ(pic.runs.size(), 1u);
  ASSERT_EQ(pic.runs[0].kind, RunKind::Picture);
  EXPECT_EQ(pic.runs[0].picture->format, Picture::Format::Png);
  EXPECT_EQ(pic.runs[0].picture->width, 1440);
  EXPECT_EQ(pic.runs[0].picture->height, 720);
  EXPECT_EQ(pic.runs[0].picture->pixelWidth, 2);
  EXPECT_EQ(pic.runs[0].picture->data.size(), std::string(kPngHex).size() / 2);

  const Table& table = std::get<Table>(blocks.at(3));
  ASSERT_EQ(table.rows.size(), 2u);
  const Row& r0 = table.rows[0];
  EXPECT_EQ(r0.leftIndent, -108);
  ASSERT_EQ(r0.cells.size(), 2u);
  EXPECT_EQ(r0.cells[0].width, 2108);  // from the row's left edge at -108
  EXPECT_EQ(r0.cells[1].width, 4000);
  EXPECT_EQ(r0.cells[0].border, (std::array<int32_t, 4>{0, 0, 10, 10}));
  EXPECT_EQ(r0.cells[0].background, Rgb(21, 44, 115));
  EXPECT_EQ(r0.cells[0].shading, 20);
  EXPECT_EQ(r0.cells[1].background, kNoColor);
  ASSERT_EQ(r0.cells[0].paragraphs.size(), 1u);
  EXPECT_EQ(r0.cells[0].paragraphs[0].runs.at(0).text, "Name");
  EXPECT_TRUE(r0.cells[0].paragraphs[0].runs.at(0).fmt.bold);
  EXPECT_EQ(r0.cells[1].paragraphs[0].runs.at(0).text, "J. Smith");
  const richtext::Run& phone = table.rows[1].cells.at(1).paragraphs.at(0).runs.at(0);
  EXPECT_EQ(phone.text, "555-0100");
  EXPECT_TRUE(phone.fmt.italic);

  // Other fields show their result; footnotes and unknown destinations are skipped.
  const Paragraph& link = ParaAt(doc, 4);
  ASSERT_EQ(link.runs.size(), 1u);
  EXPECT_EQ(link.runs[0].text, "example.com");
  EXPECT_TRUE(link.runs[0].fmt.underline);
  EXPECT_TRUE(ParaAt(doc, 5).runs.empty());
}

TEST(RtfReader, SectionsHeadersAndInheritance) {
  // A header stated once holds for the sections after it until one states its own.
  const std::string rtf = R"({\rtf1{\fonttbl{\f0 Arial;}}\paperw15840\paperh12240\landscape
\sectd\lndscpsxn\pgwsxn15840\pghsxn12240{\headerr\pard\qr Head {\field{\*\fldinst PAGE \\* MERGEFORMAT}{\fldrslt {\b 1}}}\par}
\pard A\par\sect
\sectd\sbknone\cols2\colsx500 \pard B\column C\par\sect
\sectd{\headerr\pard\plain\par}\pard D\par\sect
})";
  Document doc;
  ASSERT_TRUE(ReadRtf(rtf, doc));
  ASSERT_EQ(doc.sections.size(), 3u);  // the trailing break adds no empty section
  const auto& s = doc.sections;
  EXPECT_EQ(s[0].fmt.orientation, Orientation::Landscape);
  EXPECT_EQ(s[0].fmt.pageWidth(), 15840);
  // \sectd returns to the document's defaults: landscape there too.
  EXPECT_EQ(s[1].fmt.orientation, Orientation::Landscape);
  EXPECT_FALSE(s[1].fmt.newPage);
  EXPECT_EQ(s[1].fmt.columns, 2);
  EXPECT_EQ(s[1].fmt.columnSpacing, 500);
  ASSERT_TRUE(s[0].fmt.header);
  EXPECT_TRUE(s[1].fmt.header == s[0].fmt.header);
  EXPECT_FALSE(s[2].fmt.header);  // an empty header ends it

  const Paragraph& head = s[0].fmt.header->paragraphs.at(0);
  EXPECT_EQ(head.fmt.align, Align::Right);
  ASSERT_EQ(head.runs.size(), 2u);
  EXPECT_EQ(head.runs[0].text, "Head ");
  EXPECT_EQ(head.runs[1].kind, RunKind::PageField);
  EXPECT_TRUE(head.runs[1].fmt.bold);  // the format of the shown result
  ASSERT_EQ(s[1].blocks.size(), 3u);
  EXPECT_TRUE(std::holds_alternative<ColumnBreak>(s[1].blocks[1]));
}

TEST(RtfReader, FramesAnchorToTheNextParagraph) {
  const std::string png = kPngHex;
  const std::string rtf =
      "{\\rtf1\\pard\\pvpara\\posx720\\posy-100\\absw2880\\absh-720\\box\\brdrs\\brdrw15{\\pict\\pngblip " + png +
      "}\\par\\pard\\posx100 boxed text\\par\\pard After\\par" +
      "\\pard\\posyc\\absw500{\\pict\\jpegblip ffd8}{\\pict\\pngblip " + png + "}\\par}";
  Document doc;
  ASSERT_TRUE(ReadRtf(rtf, doc));
  const auto& blocks = doc.sections[0].blocks;
  ASSERT_EQ(blocks.size(), 3u);
  // Framed text stays in the flow as a paragraph, and anchors the frame before it.
  const Paragraph& boxed = ParaAt(doc, 0);
  EXPECT_EQ(boxed.runs.at(0).text, "boxed text");
  ASSERT_EQ(boxed.frames.size(), 1u);
  const Frame& f = boxed.frames[0];
  EXPECT_EQ(f.x, 720);
  EXPECT_EQ(f.y, -100);
  EXPECT_EQ(f.width, 2880);
  EXPECT_EQ(f.height, 720);
  EXPECT_EQ(f.border, 15);
  ASSERT_TRUE(f.picture);
  EXPECT_EQ(f.picture->pixelWidth, 2);
  EXPECT_EQ(ParaAt(doc, 1).runs.at(0).text, "After");
  EXPECT_TRUE(ParaAt(doc, 1).frames.empty());
  // A frame at the very end gets an empty paragraph of its own; the broken JPEG is dropped.
  const Paragraph& last = ParaAt(doc, 2);
  EXPECT_TRUE(last.runs.empty());
  ASSERT_EQ(last.frames.size(), 1u);
  EXPECT_EQ(last.frames[0].width, 500);
  ASSERT_TRUE(last.frames[0].picture);
  EXPECT_EQ(last.frames[0].picture->format, Picture::Format::Png);
}

// Pictures in drawing shapes, as word processors save them: a text box holding a picture, a
// group of picture shapes with a stand-in for readers without shapes, and a shape without a
// picture whose stand-in is the picture.
TEST(RtfReader, ShapesKeepTheirPicturesAndSizes) {
  const std::string png = kPngHex;
  const std::string props = "{\\sp{\\sn shapeType}{\\sv 202}}{\\sp{\\sn fLine}{\\sv 0}}";
  const std::string rtf =
      "{\\rtf1\\pard Logo{\\shp{\\*\\shpinst\\shpwr1\\shpbypara\\shptop60\\shpbottom1260\\shpleft3600\\shpright7200" +
      props +
      "{\\shptxt\\pard\\ql{\\*\\shppict{\\pict\\picscalex64\\picscaley64\\picwgoal5625\\pichgoal1875\\pngblip " + png +
      "}}{\\nonshppict{\\pict\\wmetafile8 0100}}\\par\\pard}}}\\par" +
      "\\pard{\\shpgrp{\\*\\shpinst\\shpleft0\\shptop0\\shpright9000\\shpbottom3000" +
      "{\\shp{\\*\\shpinst\\shpleft0\\shptop0\\shpright100\\shpbottom100{\\sp{\\sn pib}{\\sv "
      "{\\pict\\pngblip\\picwgoal1440\\pichgoal720 " +
      png + "}}}}}" +
      "{\\shp{\\*\\shpinst\\shpleft100\\shptop0\\shpright200\\shpbottom100{\\sp{\\sn pib}{\\sv "
      "{\\pict\\pngblip\\picwgoal2880\\pichgoal720 " +
      png + "}}}}}}" + "{\\shprslt{\\pict\\pngblip " + png + "}}}Group\\par" + "\\pard{\\shp{\\*\\shpinst" + props +
      "{\\shptxt only text}}{\\shprslt{\\pict\\pngblip\\picwgoal720\\pichgoal360 " + png + "}}}Fallback\\par}";
  Document doc;
  ASSERT_TRUE(ReadRtf(rtf, doc));
  ASSERT_EQ(doc.sections[0].blocks.size(), 3u);

  // The text box's picture is a frame at the shape's place, as large as the shape (its own
  // size through a scale in percent would be 3600 x 1200 only roughly).
  const Paragraph& logo = ParaAt(doc, 0);
  ASSERT_EQ(logo.runs.size(), 1u);
  EXPECT_EQ(logo.runs[0].text, "Logo") << "the shape's properties and text box are not text";
  ASSERT_EQ(logo.frames.size(), 1u);
  EXPECT_EQ(logo.frames[0].x, 3600);
  EXPECT_EQ(logo.frames[0].y, 60);
  ASSERT_TRUE(logo.frames[0].picture);
  EXPECT_EQ(logo.frames[0].picture->width, 3600);
  EXPECT_EQ(logo.frames[0].picture->height, 1200);
  EXPECT_EQ(logo.frames[0].picture->pixelWidth, 2);

  // The group's two pictures keep their own sizes at the group's place; the stand-in is not
  // read as well.
  const Paragraph& group = ParaAt(doc, 1);
  EXPECT_EQ(group.runs.at(0).text, "Group");
  EXPECT_EQ(group.runs.size(), 1u);
  ASSERT_EQ(group.frames.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    ASSERT_TRUE(group.frames[i].picture);
    EXPECT_EQ(group.frames[i].picture->width, i == 0 ? 1440 : 2880);
    EXPECT_EQ(group.frames[i].picture->height, 720);
    EXPECT_EQ(group.frames[i].width, 9000);
    EXPECT_EQ(group.frames[i].height, 3000);
  }

  // Without a picture of its own the shape's stand-in gives it.
  const Paragraph& fallback = ParaAt(doc, 2);
  EXPECT_TRUE(fallback.frames.empty());
  ASSERT_EQ(fallback.runs.size(), 2u);
  ASSERT_TRUE(fallback.runs[0].picture);
  EXPECT_EQ(fallback.runs[0].picture->width, 720);
  EXPECT_EQ(fallback.runs[1].text, "Fallback");
}

TEST(RtfReader, UnicodeAndFallbacks) {
  struct Case {
    const char* rtf;
    const char* text;
  } cases[] = {
      {R"({\rtf1 A\u937?B})",
       "A\xCE\xA9"
       "B"},
      {R"({\rtf1\uc2 A\u937XXB})",
       "A\xCE\xA9"
       "B"},
      {R"({\rtf1\uc0 \u233\'e9})", "\xC3\xA9\xC3\xA9"},
      {R"({\rtf1 \u-10179?\u-8704?})", "\xF0\x9F\x98\x80"},
      {R"({\rtf1 \u-10179?x})", "\xEF\xBF\xBDx"},  // a lone high surrogate
      {R"({\rtf1 \u-8704?})", "\xEF\xBF\xBD"},     // a lone low surrogate
      {R"({\rtf1 \u99999999?})", "\xEF\xBF\xBD"},
      {R"({\rtf1 \'80\'93\'9f\~\_\emdash\bullet})",
       "\xE2\x82\xAC\xE2\x80\x9C\xC5\xB8\xC2\xA0\xE2\x80\x91\xE2\x80\x94\xE2\x80\xA2"},
      {R"({\rtf1 a\-b})", "ab"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rtf);
    Document doc;
    ASSERT_TRUE(ReadRtf(c.rtf, doc));
    std::string all;
    for (const auto& b : doc.sections[0].blocks)
      for (const auto& r : std::get<Paragraph>(b).runs) all += r.text + (r.kind == RunKind::Text ? "" : "|");
    EXPECT_EQ(all, c.text);
  }
}

std::string Repeat(const std::string& s, size_t n) {
  std::string out;
  out.reserve(s.size() * n);
  for (size_t i = 0; i < n; ++i) out += s;
  return out;
}

// Text of all body paragraphs, one line each.
std::string BodyText(const Document& doc) {
  std::string out;
  for (const auto& sec : doc.sections)
    for (const auto& b : sec.blocks)
      if (const auto* p = std::get_if<Paragraph>(&b)) {
        for (const auto& r : p->runs) out += r.text;
        out += '\n';
      }
  return out;
}

TEST(RtfReader, MalformedInputIsSafe) {
  struct Case {
    std::string name;
    std::string rtf;
    bool ok;
    std::string text;  // body paragraphs, one per line
  } cases[] = {
      {"not rtf", "hello {\\b world}", false, ""},
      {"empty", "", false, ""},
      {"bom and blanks", "\xEF\xBB\xBF \r\n{\\rtf1 x\\par}", true, "x\n"},
      {"unbalanced close", "{\\rtf1\\ansi x}}}}{\\b y", true, "x\n"},
      {"unbalanced open", "{\\rtf1 a\\par{{{\\b b", true, "a\nb\n"},
      {"truncated word", "{\\rtf1 a\\par\\", true, "a\n"},
      {"truncated hex escape", "{\\rtf1 a\\'4", true, "a\n"},
      {"truncated picture", std::string("{\\rtf1 a\\par{\\pict\\pngblip ") + kPngHex, true, "a\n"},
      {"odd hex picture", "{\\rtf1{\\pict\\pngblip 89504}x\\par}", true, "x\n"},
      {"not an image", "{\\rtf1{\\pict\\pngblip 0102030405060708090a0b0c0d0e0f101112131415161718}x\\par}", true, "x\n"},
      {"garbage picture", "{\\rtf1{\\pict\\jpegblip zzzz}x\\par}", true, "x\n"},
      {"huge bin", "{\\rtf1 a{\\pict\\pngblip\\bin99999999999 abc}}", true, "a\n"},
      {"negative bin", "{\\rtf1 a\\bin-5 b}", true, "ab\n"},
      {"cell outside a table", "{\\rtf1 a\\cell b\\row c\\par}", true, "c\n"},
      {"row without cells", "{\\rtf1\\trowd\\cellx100\\row\\row a\\par}", true, "a\n"},
      {"header in a header", "{\\rtf1{\\header a{\\footer b}\\par} c\\par}", true, " c\n"},
      {"field without result", "{\\rtf1{\\field{\\*\\fldinst PAGE}}\\par}", true, "\n"},
      {"nested fields", "{\\rtf1{\\field{\\*\\fldinst X}{\\fldrslt{\\field{\\*\\fldinst Y}{\\fldrslt in}}}}\\par}",
       true, "in\n"},
      {"star before text", "{\\rtf1{\\* skipped}a\\par}", true, "a\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Document doc;
    EXPECT_EQ(ReadRtf(c.rtf, doc), c.ok);
    EXPECT_FALSE(doc.sections.empty());
    EXPECT_EQ(BodyText(doc), c.text);
    std::ostringstream out;
    EXPECT_TRUE(WriteRtf(doc, out));  // what was read can always be written
  }
}

TEST(RtfReader, HugeNumbersAreClamped) {
  const std::string rtf =
      "{\\rtf1{\\colortbl;\\red999\\green-5\\blue99999999999;}"
      "\\sectd\\pgwsxn99999999999\\pghsxn-5\\marglsxn99999999\\margrsxn99999999\\cols9\\colsx-4"
      "\\pard\\li-99999999999\\sb99999999999\\tx-5\\fs99999999999\\cf1\\expndtw-99999999 x\\par"
      "\\trowd\\trleft99999999999\\cellx-99999999999\\cellx99999999999\\clshdng999999\\cellx5"
      "\\pard\\intbl a\\cell b\\cell c\\cell\\row"
      "\\pard{\\pict\\pngblip\\picwgoal99999999999\\pichgoal-7\\picscalex999999 " +
      std::string(kPngHex) + "}\\par}";
  Document doc;
  ASSERT_TRUE(ReadRtf(rtf, doc));
  const SectionFormat& f = doc.sections[0].fmt;
  EXPECT_EQ(f.paperHeight, 31680);
  EXPECT_EQ(f.paperWidth, 1440);
  EXPECT_GE(f.textWidth(), 720);  // margins wider than the page are shrunk to leave room
  EXPECT_EQ(f.columns, 2);
  EXPECT_GE(f.columnSpacing, 0);
  const Paragraph& p = ParaAt(doc, 0);
  EXPECT_EQ(p.fmt.leftIndent, -31680);
  EXPECT_EQ(p.fmt.spaceBefore, 31680);
  EXPECT_EQ(p.fmt.tabs.at(0).position, 0);
  EXPECT_EQ(p.runs.at(0).fmt.pointSize, 1638.0);
  EXPECT_EQ(p.runs.at(0).fmt.color, Rgb(255, 0, 255));
  EXPECT_EQ(p.runs.at(0).fmt.spacing, -2000);
  const Row& row = std::get<Table>(doc.sections[0].blocks.at(1)).rows.at(0);
  ASSERT_EQ(row.cells.size(), 3u);
  for (const auto& c : row.cells) {
    EXPECT_GE(c.width, 1);
    EXPECT_LE(c.width, 31680);
  }
  EXPECT_EQ(row.cells[2].shading, 100);
  const Picture& pic = *ParaAt(doc, 2).runs.at(0).picture;
  EXPECT_EQ(pic.width, 31680);
  EXPECT_GE(pic.height, 1);
}

TEST(RtfReader, DeepNestingNeitherRecursesNorLosesTheRest) {
  // Groups nested past the reader's depth are skipped whole; the text after them is read.
  const std::string rtf = "{\\rtf1 a\\par" + Repeat("{\\b", 200000) + "deep" + Repeat("}", 200000) + " z\\par}";
  Document doc;
  ASSERT_TRUE(ReadRtf(rtf, doc));
  EXPECT_EQ(BodyText(doc), "a\n z\n");

  // Moderate nesting is read normally.
  Document shallow;
  ASSERT_TRUE(ReadRtf("{\\rtf1" + Repeat("{", 50) + "\\b x" + Repeat("}", 50) + "\\par}", shallow));
  EXPECT_TRUE(ParaAt(shallow, 0).runs.at(0).fmt.bold);
}

TEST(RtfReader, ManyElementsStopAtTheCap) {
  // 600 000 rows of one cell each: reading stops at the element cap and says so,
  // leaving a usable partial document.
  const std::string rtf = "{\\rtf1\\trowd\\cellx1000" + Repeat("\\cell\\row", 600000) + "}";
  Document doc;
  EXPECT_FALSE(ReadRtf(rtf, doc));
  ASSERT_EQ(doc.sections.size(), 1u);
  ASSERT_FALSE(doc.sections[0].blocks.empty());
  const auto& rows = std::get<Table>(doc.sections[0].blocks.at(0)).rows;
  EXPECT_GT(rows.size(), 100000u);
  EXPECT_LT(rows.size(), 600000u);
}

}  // namespace
}  // namespace richtext
