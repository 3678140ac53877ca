// The RTF writer: a document using every feature reads back the same, and names with RTF's
// special characters stay text. (libreoffice_test.cpp compares another word processor's layout.)
#include <QBuffer>
#include <QImage>

#include <sstream>

#include "platform/richtext/rtf.h"
#include "platform/richtext/tests/test_support.h"

namespace richtext {
namespace {

std::shared_ptr<const Picture> MakePicture(int w, int h, const char* format, QRgb fill) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(fill);
  img.setPixel(0, 0, qRgb(255, 0, 0));
  QByteArray bytes;
  QBuffer buf(&bytes);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, format);
  auto pic = std::make_shared<Picture>();
  pic->format = std::string_view(format) == "PNG" ? Picture::Format::Png : Picture::Format::Jpeg;
  pic->data.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
  pic->pixelWidth = w;
  pic->pixelHeight = h;
  pic->width = w * 15;
  pic->height = h * 15;
  return pic;
}

CharFormat Font(double pt, bool bold = false) {
  CharFormat f;
  f.pointSize = pt;
  f.bold = bold;
  return f;
}

Run TextRun(const std::string& text, const CharFormat& f) {
  Run r;
  r.text = text;
  r.fmt = f;
  return r;
}

Run KindRun(RunKind kind, const CharFormat& f, std::shared_ptr<const Picture> pic = nullptr) {
  Run r;
  r.kind = kind;
  r.fmt = f;
  r.picture = std::move(pic);
  return r;
}

Paragraph Para(std::vector<Run> runs, ParaFormat fmt = {}) {
  Paragraph p;
  p.fmt = std::move(fmt);
  p.runs = std::move(runs);
  return p;
}

Cell MakeCell(int32_t width, const std::string& text, const CharFormat& f) {
  Cell c;
  c.width = width;
  c.paragraphs.push_back(Para({TextRun(text, f)}));
  return c;
}

HeaderFooter TitleHeader(const std::string& title, const CharFormat& f, int32_t pageWidth) {
  ParaFormat pf;
  pf.tabs = {{pageWidth, TabKind::Right}};
  pf.spaceAfter = 60;
  HeaderFooter hf;
  hf.paragraphs.push_back(Para({TextRun(title + "\tPage ", f), KindRun(RunKind::PageField, f)}, pf));
  return hf;
}

// A document with every feature the writer knows, the way reports use them. `project` goes
// into the title, a header and a table cell.
Document FullDocument(const std::string& project, int tableRows = 6) {
  Document doc;
  doc.info = {"Part-load report: " + project, "J. D\xC3\xBCrr", "Chilled water"};
  Section& s1 = doc.sections.front();
  s1.fmt.marginLeft = s1.fmt.marginRight = s1.fmt.marginTop = s1.fmt.marginBottom = 720;

  CharFormat body = Font(10);
  CharFormat title = Font(22, true);
  title.color = Rgb(24, 145, 246);
  title.spacing = 20;
  title.background = Rgb(255, 255, 255);
  CharFormat label = Font(12, true);
  label.color = Rgb(21, 44, 115);
  label.spacing = 16;
  CharFormat small = Font(8.5);
  small.italic = true;
  small.underline = true;
  small.color = kNoColor;
  CharFormat sup = body;
  sup.superscript = true;
  CharFormat sub = body;
  sub.subscript = true;
  CharFormat other = body;
  other.face = "Times New Roman";

  s1.fmt.header = TitleHeader(project, label, 10800);
  Paragraph footer = Para({TextRun("Footer of " + project, small)});
  Frame logo;
  logo.x = 9000;
  logo.y = -60;
  logo.width = 1440;
  logo.height = 480;
  logo.border = 10;
  logo.picture = MakePicture(32, 12, "PNG", qRgb(21, 44, 115));
  footer.frames.push_back(logo);
  s1.fmt.footer = HeaderFooter{{footer}};

  ParaFormat centered;
  centered.align = Align::Center;
  centered.spaceBefore = 100;
  centered.spaceAfter = 60;
  s1.blocks.push_back(Para({TextRun(project, title)}, centered));

  ParaFormat tabbed;
  tabbed.tabs = {{5040, TabKind::Left}, {7200, TabKind::Center}, {9000, TabKind::Decimal}};
  tabbed.leftIndent = 360;
  tabbed.rightIndent = 180;
  tabbed.firstIndent = -180;
  tabbed.keepTogether = true;
  tabbed.keepWithNext = true;
  s1.blocks.push_back(
      Para({TextRun("Capacity:", label), TextRun("\t1200\ttons", body), TextRun("2", sup), TextRun("x", sub),
            KindRun(RunKind::LineBreak, body), TextRun("second line in Times", other), TextRun(" small", small)},
           tabbed));
  ParaFormat right;
  right.align = Align::Right;
  ParaFormat justify;
  justify.align = Align::Justify;
  s1.blocks.push_back(PageBreak{});  // written as the next paragraph's break before
  s1.blocks.push_back(Para({TextRun("Right aligned", body)}, right));
  Paragraph justified = Para({TextRun("Justified text ", body)}, justify);
  Frame graph;  // a picture that fills its frame: written as a shape
  graph.x = 200;
  graph.y = 40;
  graph.picture = MakePicture(20, 10, "PNG", qRgb(0, 0, 255));
  justified.frames.push_back(graph);
  s1.blocks.push_back(justified);
  s1.blocks.push_back(Para({KindRun(RunKind::Picture, body, MakePicture(40, 20, "PNG", qRgb(0, 128, 0)))}));

  // A table: a header row, rows of different cell layouts, borders, colours and shading.
  Table t;
  Row head;
  head.header = true;
  for (const char* h : {"Month", "Load", "kW/ton"}) {
    Cell c = MakeCell(2400, h, label);
    c.border = {10, 10, 10, 10};
    c.background = Rgb(200, 220, 255);
    c.valign = VAlign::Center;
    head.cells.push_back(c);
  }
  head.cells[2].valign = VAlign::Bottom;
  t.rows.push_back(head);
  for (int i = 0; i < tableRows; ++i) {
    Row r;
    r.leftIndent = 120;
    r.cells.push_back(MakeCell(2400, "Month " + std::to_string(i + 1), body));
    r.cells.push_back(MakeCell(2400, std::to_string(50 + i) + "%", body));
    r.cells.push_back(MakeCell(2400, "0.6" + std::to_string(i), body));
    r.cells[0].border = {10, 0, 0, 10};
    if (i % 2) {
      r.cells[1].shading = 20;
      r.cells[1].background = Rgb(255, 255, 255);
    }
    t.rows.push_back(r);
  }
  Row wide;  // one cell over the width of two
  wide.cells.push_back(MakeCell(4800, "Total for " + project, label));
  wide.cells.push_back(MakeCell(2400, "0.62", body));
  wide.cells[0].paragraphs.push_back(Para({TextRun("(second paragraph of a cell)", small)}));
  Frame cellFrame;
  cellFrame.x = 100;
  cellFrame.width = 600;
  cellFrame.height = 300;
  wide.cells[1].paragraphs[0].frames.push_back(cellFrame);
  t.rows.push_back(wide);
  s1.blocks.push_back(t);
  s1.blocks.push_back(Para({}));
  s1.blocks.push_back(PageBreak{});
  s1.blocks.push_back(Para({TextRun("After the page break", body)}));

  // Landscape, two columns, its own header, no footer.
  const SectionFormat first = s1.fmt;  // s1 is gone once sections grow
  Section s2;
  s2.fmt = first;
  s2.fmt.orientation = Orientation::Landscape;
  s2.fmt.columns = 2;
  s2.fmt.columnSpacing = 360;
  s2.fmt.headerDistance = 300;
  s2.fmt.footerDistance = 400;
  s2.fmt.header = TitleHeader("Landscape pages of " + project, label, 14400);
  s2.fmt.footer.reset();
  s2.blocks.push_back(Para({TextRun("Left column", body)}));
  s2.blocks.push_back(ColumnBreak{});
  s2.blocks.push_back(Para(
      {TextRun("Right column", body), KindRun(RunKind::Picture, body, MakePicture(30, 30, "JPEG", qRgb(200, 0, 0)))}));
  doc.sections.push_back(s2);

  // Portrait again, continuing without a new page, with neither header nor footer.
  Section s3;
  s3.fmt = first;
  s3.fmt.newPage = false;
  s3.fmt.header.reset();
  s3.fmt.footer.reset();
  s3.fmt.marginLeft = 1080;
  s3.blocks.push_back(Para({TextRun("Last section", body)}));
  doc.sections.push_back(s3);
  return doc;
}

std::string Write(const Document& doc) {
  std::ostringstream out;
  EXPECT_TRUE(WriteRtf(doc, out));
  return out.str();
}

// Compares block by block, so that a failure names the place.
void ExpectSameDocument(const Document& a, const Document& b) {
  EXPECT_EQ(a.info, b.info);
  ASSERT_EQ(a.sections.size(), b.sections.size());
  for (size_t s = 0; s < a.sections.size(); ++s) {
    SCOPED_TRACE("section " + std::to_string(s));
    const Section& x = a.sections[s];
    const Section& y = b.sections[s];
    EXPECT_EQ(x.fmt.orientation, y.fmt.orientation);
    EXPECT_EQ(x.fmt.pageWidth(), y.fmt.pageWidth());
    EXPECT_EQ(x.fmt.pageHeight(), y.fmt.pageHeight());
    EXPECT_EQ(x.fmt.header.has_value(), y.fmt.header.has_value());
    EXPECT_EQ(x.fmt.footer.has_value(), y.fmt.footer.has_value());
    EXPECT_TRUE(x.fmt.header == y.fmt.header) << "header";
    EXPECT_TRUE(x.fmt.footer == y.fmt.footer) << "footer";
    EXPECT_TRUE(x.fmt == y.fmt) << "section format";
    ASSERT_EQ(x.blocks.size(), y.blocks.size());
    for (size_t i = 0; i < x.blocks.size(); ++i) {
      SCOPED_TRACE("block " + std::to_string(i));
      ASSERT_EQ(x.blocks[i].index(), y.blocks[i].index());
      if (const auto* p = std::get_if<Paragraph>(&x.blocks[i])) {
        const auto& q = std::get<Paragraph>(y.blocks[i]);
        EXPECT_TRUE(p->fmt == q.fmt) << "paragraph format";
        ASSERT_EQ(p->runs.size(), q.runs.size());
        for (size_t r = 0; r < p->runs.size(); ++r) {
          EXPECT_EQ(p->runs[r].text, q.runs[r].text) << "run " << r;
          EXPECT_TRUE(p->runs[r] == q.runs[r]) << "run " << r;
        }
        EXPECT_TRUE(p->frames == q.frames) << "frames";
      } else if (const auto* t = std::get_if<Table>(&x.blocks[i])) {
        const auto& u = std::get<Table>(y.blocks[i]);
        ASSERT_EQ(t->rows.size(), u.rows.size());
        for (size_t r = 0; r < t->rows.size(); ++r) EXPECT_TRUE(t->rows[r] == u.rows[r]) << "row " << r;
      }
    }
  }
}

class RtfWriter : public ::testing::Test {
 protected:
  void SetUp() override { test::EnsureApp(); }
};

TEST_F(RtfWriter, RoundTripKeepsEveryFeature) {
  const Document doc = FullDocument("North Plant");
  const std::string rtf = Write(doc);
  Document back;
  ASSERT_TRUE(ReadRtf(rtf, back));
  ExpectSameDocument(doc, back);

  // The file states what other word processors need.
  for (const char* word : {"\\ansicpg1252",
                           "\\fcharset0 Arial;",
                           "\\lndscpsxn\\pgwsxn15840\\pghsxn12240",
                           "\\cols2\\colsx360",
                           "\\headerr",
                           "\\footerr",
                           "\\trhdr",
                           "\\clvertalc",
                           "\\clbrdrt\\brdrs\\brdrw10",
                           "\\clshdng2000",
                           "\\keep\\keepn",
                           "\\pngblip",
                           "\\jpegblip",
                           "\\picwgoal",
                           "\\posx9000\\posy-60\\absw1440\\absh-480",
                           "\\sbknone",
                           "\\column",
                           "\\qr\\sb0\\sa0\\pagebb",
                           "{\\field{\\*\\fldinst PAGE }",
                           "{\\shp{\\*\\shpinst\\shpleft200\\shptop40\\shpright500\\shpbottom190",
                           "\\shpwr1"})
    EXPECT_NE(rtf.find(word), std::string::npos) << word;
  // Cell edges are cumulative from the row's left edge.
  EXPECT_NE(rtf.find("\\trleft120"), std::string::npos);
  EXPECT_NE(rtf.find("\\cellx2520"), std::string::npos);
  EXPECT_NE(rtf.find("\\cellx7320"), std::string::npos);
  // A section's last paragraph ends with \sect (after \par, an empty paragraph would follow).
  EXPECT_EQ(rtf.find("\\par\n\\sect"), std::string::npos);
  const size_t last = rtf.find("After the page break}");
  ASSERT_NE(last, std::string::npos);
  EXPECT_LT(rtf.find("\\sect", last), rtf.find("\\par", last));
  // Section 2 has no footer after section 1 had one: it states an empty one.
  const size_t s2 = rtf.find("\\lndscpsxn");
  EXPECT_NE(rtf.find("{\\footerr\n\\pard\\plain\\par", s2), std::string::npos);
}

// A picture in a footer goes in a paragraph of its own below its anchor, where word
// processors count it in the footer's height (a shape there may hang off the paper), left
// edge where its frame's is; in the body it stays a shape.
TEST_F(RtfWriter, HeaderAndFooterPicturesAreParagraphsOfTheirOwn) {
  Document doc;
  Section s;
  CharFormat small;
  small.pointSize = 8;
  Paragraph footer = Para({TextRun("Footer line", small)});
  Frame logo;
  logo.x = 4500;
  logo.y = 200;
  logo.picture = MakePicture(40, 12, "PNG", qRgb(21, 44, 115));
  footer.frames.push_back(logo);
  s.fmt.footer = HeaderFooter{{footer}};
  s.fmt.orientation = Orientation::Landscape;
  Paragraph body = Para({TextRun("Body", small)});
  body.frames.push_back(logo);
  s.blocks.push_back(body);
  doc.sections.push_back(s);
  const std::string rtf = Write(doc);
  const size_t start = rtf.find("{\\footerr");
  ASSERT_NE(start, std::string::npos);
  const size_t picture = rtf.find("\\pard\\plain\\ql\\li4500\\sl0{", start);
  ASSERT_NE(picture, std::string::npos);
  EXPECT_LT(rtf.find("Footer line", start), picture) << "below its anchor";
  const size_t shape = rtf.find("{\\shp{");
  ASSERT_NE(shape, std::string::npos) << "the body's picture stays a shape";
  EXPECT_GT(shape, picture);
  EXPECT_EQ(rtf.find("\\shpfhdr1"), std::string::npos);
}

TEST_F(RtfWriter, SpecialCharactersInNamesStayText) {
  struct Case {
    const char* name;
    const char* escaped;  // how the name appears in the file
  } cases[] = {
      {"Plant {A}\\B", "Plant \\{A\\}\\\\B"},
      {"}{\\rtf1 \\par {\\*\\x}", "\\}\\{\\\\rtf1 \\\\par \\{\\\\*\\\\x\\}"},
      {"Z\xC3\xBCrich \xE2\x80\x93 \xE6\xB1\x89 \xF0\x9F\x98\x80",
       "Z\\u252?rich \\u8211? \\u27721? \\u-10179?\\u-8704?"},
      {"Caf\xE9 (ANSI)", "Caf\\u233? (ANSI)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Document doc = FullDocument(c.name, 1);
    const std::string rtf = Write(doc);
    EXPECT_NE(rtf.find(c.escaped), std::string::npos);
    // 7-bit output: no byte of the name reaches the file unescaped.
    EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](char ch) { return static_cast<uint8_t>(ch) < 0x80; }));
    Document back;
    ASSERT_TRUE(ReadRtf(rtf, back));
    // The same structure, and the name comes back as UTF-8 (ANSI input is read as cp1252).
    ExpectSameDocument(FullDocument(std::string(c.name) == "Caf\xE9 (ANSI)" ? "Caf\xC3\xA9 (ANSI)" : c.name, 1), back);
  }
}

TEST_F(RtfWriter, VectorPicturesGoAsPng) {
  Document doc;
  auto svg = std::make_shared<Picture>();
  svg->format = Picture::Format::Svg;
  svg->data =
      "<svg xmlns='http://www.w3.org/2000/svg' width='96' height='48'><rect width='96' height='48' fill='blue'/></svg>";
  svg->width = 1440;
  svg->height = 720;
  doc.sections[0].blocks.push_back(Para({KindRun(RunKind::Picture, Font(9), svg)}));
  Document back;
  ASSERT_TRUE(ReadRtf(Write(doc), back));
  const auto& p = std::get<Paragraph>(back.sections[0].blocks.at(0));
  ASSERT_EQ(p.runs.size(), 1u);
  ASSERT_TRUE(p.runs[0].picture);
  const Picture& pic = *p.runs[0].picture;
  EXPECT_EQ(pic.format, Picture::Format::Png);
  EXPECT_EQ(pic.width, 1440);
  EXPECT_EQ(pic.height, 720);
  QImage img;
  ASSERT_TRUE(img.loadFromData(QByteArray::fromStdString(pic.data), "PNG"));
  EXPECT_EQ(img.width(), pic.pixelWidth);
  EXPECT_EQ(img.pixelColor(img.width() / 2, img.height() / 2), QColor(Qt::blue));
}

TEST_F(RtfWriter, FailedStreamIsReported) {
  std::ostringstream out;
  out.setstate(std::ios::badbit);
  EXPECT_FALSE(WriteRtf(FullDocument("x", 1), out));
}

}  // namespace
}  // namespace richtext
