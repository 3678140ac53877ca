// PDF output (checked with poppler's pdfinfo/pdftotext), printing through the dialog hook,
// and the API's text and formatting behaviour.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QTextLayout>

#include <set>
#include <sstream>

#include "platform/richtext/picture_image.h"

#include "platform/richtext/tests/test_support.h"

namespace richtext::test {
namespace {

using Output = DocTest;

// The value of a pdfinfo field ("Pages", "Title", "Page    2 size").
std::string Field(const std::string& info, const std::string& key) {
  const size_t k = info.find(key + ":");
  if (k == std::string::npos) return {};
  size_t i = k + key.size() + 1;
  while (i < info.size() && info[i] == ' ') ++i;
  return info.substr(i, info.find('\n', i) - i);
}

bool SavePdf(TerHwnd h, const std::string& path, const std::string& title) {
  int32_t job = 0;
  const int32_t pdf = TerPdfStart(path, job, "Jane Engineer", "", title, "2024-03-05T14:30:00", "2024-03-06T09:15:00");
  return pdf != 0 && TerPdfPrintPage(h, job, -1) != 0 && TerPdfEnd(pdf, job) != 0;
}

TEST_F(Output, PdfHasTextPageCountSizesAndMetadata) {
  line("Portrait page text");
  TerSectBreak(h, false);
  TerSetSectOrient(h, 2, false);
  line("Landscape page text \xC3\xA9t\xC3\xA9");
  ASSERT_TRUE(TerPosHdrFtrEx(h, 1, kHdrFtrFooter, 0, false));
  InsertTerText(h, "Page ", false);
  TerCommand(h, kCmdPageNumber);
  const std::string pdf = scratch("report.pdf");
  ASSERT_TRUE(SavePdf(h, pdf, "Plant Report"));

  const std::string info = RunCommand("pdfinfo -f 1 -l 2 '" + pdf + "' 2>&1");
  EXPECT_EQ(Field(info, "Pages"), "2") << info;
  EXPECT_EQ(Field(info, "Title"), "Plant Report");
  EXPECT_EQ(Field(info, "Author"), "Jane Engineer");
  EXPECT_EQ(Field(info, "CreationDate").substr(0, 24), "Tue Mar  5 14:30:00 2024");
  EXPECT_EQ(Field(info, "ModDate").substr(0, 24), "Wed Mar  6 09:15:00 2024");
  EXPECT_EQ(Field(info, "Page    1 size").substr(0, 13), "612 x 792 pts");
  EXPECT_EQ(Field(info, "Page    2 size").substr(0, 13), "792 x 612 pts") << "the landscape section";
  const std::string text = RunCommand("pdftotext -layout '" + pdf + "' - 2>&1");
  EXPECT_NE(text.find("Portrait page text"), std::string::npos) << text;
  EXPECT_NE(text.find("Landscape page text \xC3\xA9t\xC3\xA9"), std::string::npos) << text;
  EXPECT_NE(text.find("Page 2"), std::string::npos) << text;
}

TEST_F(Output, SavingPdfLeavesAnRtfBesideItAndNoTemporaryFiles) {
  const std::string rtf = scratch("PLVReport_for_X.rtf");
  {
    QFile f(QString::fromStdString(rtf));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\\rtf1 existing report}");
  }
  line("content");
  ASSERT_TRUE(SavePdf(h, scratch("PLVReport_for_X.pdf"), "t"));
  QFile f(QString::fromStdString(rtf));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("{\\rtf1 existing report}"));
  const QStringList files = QDir(dir.path()).entryList(QDir::Files);
  EXPECT_EQ(files, (QStringList{"PLVReport_for_X.pdf", "PLVReport_for_X.rtf"}));
}

TEST_F(Output, PdfFailuresReportZero) {
  int32_t job = 0;
  EXPECT_EQ(TerPdfStart("", job, "", "", "", "", ""), 0);
  const int32_t pdf = TerPdfStart(scratch("no/such/folder/x.pdf"), job, "", "", "t", "", "");
  ASSERT_NE(pdf, 0);
  EXPECT_EQ(TerPdfPrintPage(h, job, 99), 0) << "a page beyond the document";
  EXPECT_EQ(TerPdfPrintPage(h, job, -1), 1);
  EXPECT_EQ(TerPdfEnd(pdf, job), 0) << "the folder does not exist";
  EXPECT_EQ(TerPdfEnd(pdf, job), 0) << "the job is gone";
}

TEST_F(Output, PrintAndPreviewGoThroughTheDialogHookAndTurnNothingIntoAWindow) {
  line("printed");
  TerSectBreak(h, false);
  TerSetSectOrient(h, 2, false);
  line("second");
  std::vector<PrintDialogKind> asked;
  const std::string out = scratch("printed.pdf");
  SetPrintDialogHook([&](PrintDialogKind k, QPrinter& p, TerHwnd) {
    asked.push_back(k);
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(QString::fromStdString(out));
    return k != PrintDialogKind::PageSetup;
  });
  EXPECT_TRUE(TerPrint2(h, true, 0, 0, 1, 1));
  EXPECT_EQ(Field(RunCommand("pdfinfo '" + out + "'"), "Pages"), "2");
  EXPECT_TRUE(TerCommand(h, kCmdPrintPreview));
  EXPECT_FALSE(TerCommand(h, kCmdPageSetup)) << "a cancelled page setup changes nothing";
  SetPrintDialogHook({});
  EXPECT_EQ(asked, (std::vector<PrintDialogKind>{PrintDialogKind::Print, PrintDialogKind::Preview,
                                                 PrintDialogKind::PageSetup}));
}

TEST_F(Output, ControlCharactersBuildParagraphsCellsAndRows) {
  TerAppendTextEx(h, "one\x15two\r\nthree\x0f\x15", font, para, 0, 0, false);
  cell("a", true, 2000, false);
  cell("b", false, 3000, true);
  cell("c", true, 5000, true);
  line("after");
  const auto& blocks = ed().doc.sections[0].blocks;
  ASSERT_EQ(blocks.size(), 6u);
  EXPECT_EQ(std::get<Paragraph>(blocks[0]).runs[0].text, "one");
  EXPECT_EQ(std::get<Paragraph>(blocks[1]).runs[0].text, "two");
  EXPECT_EQ(std::get<Paragraph>(blocks[2]).runs[0].text, "three") << "character 15 is not shown";
  const auto& t = std::get<Table>(blocks[3]);
  ASSERT_EQ(t.rows.size(), 2u);
  EXPECT_EQ(t.rows[0].cells.size(), 2u);
  EXPECT_EQ(t.rows[1].cells.size(), 1u) << "rows of one table may differ";
  EXPECT_EQ(t.rows[0].cells[1].width, 3000);
  EXPECT_EQ(t.rows[0].cells[1].paragraphs.at(0).runs.at(0).text, "b");
  EXPECT_EQ(std::get<Paragraph>(blocks[4]).runs.at(0).text, "after");
  EXPECT_TRUE(std::get<Paragraph>(blocks[5]).empty());
}

TEST_F(Output, SelectionFormattingSplitsRunsAndKeepsResolvedFormats) {
  ASSERT_TRUE(TerPosHdrFtrEx(h, 0, kHdrFtrFooter, 0, false));
  // The footer's way: insert the whole line, then raise the three characters after the name.
  InsertTerText(h, "KestrinTM  v1.00\tPage ", false);
  int32_t line1 = 0, col = 0;
  GetTerCursorPos(h, line1, col);
  SelectTerText(h, line1, 7, line1, 10, false);
  SetTerCharStyle(h, kStyleSuperscript, true, false);
  SetTerParaFmt(h, kParaRight, true, false);
  DeselectTerText(h, false);
  const auto& p = ed().doc.sections[0].fmt.footer->paragraphs.at(0);
  ASSERT_EQ(p.runs.size(), 3u);
  EXPECT_FALSE(p.runs[0].fmt.superscript);
  EXPECT_EQ(p.runs[1].text, "TM ");
  EXPECT_TRUE(p.runs[1].fmt.superscript);
  EXPECT_EQ(p.runs[2].text, " v1.00\tPage ");
  EXPECT_FALSE(p.runs[2].fmt.superscript);
  EXPECT_EQ(p.fmt.align, Align::Right);
  // A later change of the font table does not change text already written.
  TerCreateFont(h, font, 1, "Arial", 20, 0, 0, 0, 0, 0);
  EXPECT_EQ(p.runs[0].fmt.pointSize, 9.0);
}

TEST_F(Output, CommandsToggleAndMoveThroughPages) {
  for (int i = 0; i < 200; ++i) line("l " + std::to_string(i));
  const int32_t pages = TerGetPageCount(h);
  ASSERT_GE(pages, 3);
  EXPECT_EQ(TerMenuSelect(h, kCmdReturnToBody), 0);
  TerCommand(h, kCmdReturnToBody);
  EXPECT_EQ(TerMenuSelect(h, kCmdReturnToBody), kMenuChecked);
  TerCommand(h, kCmdReturnToBody);
  EXPECT_EQ(TerMenuSelect(h, kCmdReturnToBody), 0);
  TerCommand(h, kCmdDocEnd);
  EXPECT_EQ(ed().currentPage, pages);
  TerCommand(h, kCmdPageDown);
  EXPECT_EQ(ed().currentPage, pages);
  TerCommand(h, kCmdPageUp);
  EXPECT_EQ(ed().currentPage, pages - 1);
  TerCommand(h, kCmdDocStart);
  EXPECT_EQ(ed().currentPage, 1);
  TerCommand(h, kCmdSelectAll);
  EXPECT_TRUE(ed().hasSelection);
  EXPECT_FALSE(TerCommand(h, 12345));
}

// A picture goes into the PDF losslessly: an opaque, photo-like picture (which the PDF engine
// would otherwise store as JPEG) keeps a lossless encoding, so thin graph lines and lettering
// stay sharp.
TEST_F(Output, PdfStoresPicturesLosslessly) {
  QImage img(64, 64, QImage::Format_RGB32);
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      img.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * 7 + y * 53) % 256, (x * y) % 256));
    }
  }
  ASSERT_NE(TerPastePicture(h, 2, PictureFromImage(img), 0, 0, 1), 0);
  const std::string pdf = scratch("picture.pdf");
  ASSERT_TRUE(SavePdf(h, pdf, "t"));
  const std::string list = RunCommand("pdfimages -list '" + pdf + "' 2>&1");
  EXPECT_NE(list.find(" image "), std::string::npos) << "the picture is in the file\n" << list;
  EXPECT_EQ(list.find("jpeg"), std::string::npos) << list;
}

// The same picture in every footer, and the same bytes pasted twice into the body, are one
// image object of the PDF: the file stores each distinct picture once.
TEST_F(Output, PdfStoresEachDistinctPictureOnce) {
  QImage logo(120, 24, QImage::Format_RGB32);
  logo.fill(Qt::darkGreen);
  QImage other(40, 40, QImage::Format_RGB32);
  other.fill(Qt::red);
  ASSERT_TRUE(TerPosHdrFtrEx(h, 0, kHdrFtrFooter, 0, false));
  ASSERT_NE(TerPastePicture(h, 2, PictureFromImage(logo), 0, 0, 1), 0);
  ASSERT_TRUE(TerPosBodyText(h, 0, 1, false));
  ASSERT_NE(TerPastePicture(h, 2, PictureFromImage(other), 0, 0, 1), 0);
  line("first page");
  ASSERT_TRUE(TerPageBreak(h, false));
  ASSERT_NE(TerPastePicture(h, 2, PictureFromImage(other), 0, 0, 1), 0);
  line("second page");
  ASSERT_TRUE(TerPageBreak(h, false));
  line("third page");
  const std::string pdf = scratch("pictures.pdf");
  ASSERT_TRUE(SavePdf(h, pdf, "t"));
  ASSERT_EQ(Field(RunCommand("pdfinfo '" + pdf + "'"), "Pages"), "3");
  const std::string list = RunCommand("pdfimages -list '" + pdf + "' 2>&1");
  // Five placements (a logo on each of three pages, the red square twice), two objects.
  std::set<std::string> objects;
  int placements = 0;
  std::istringstream rows(list);
  for (std::string row; std::getline(rows, row);) {
    std::istringstream cols(row);
    std::string page, num, type, w, hgt, color, comp, bpc, enc, interp, object;
    if (!(cols >> page >> num >> type >> w >> hgt >> color >> comp >> bpc >> enc >> interp >> object) ||
        type != "image")
      continue;
    ++placements;
    objects.insert(object);
  }
  EXPECT_EQ(placements, 5) << list;
  EXPECT_EQ(objects.size(), 2u) << list;
}

// A vector picture is stored in RTF as an opaque RGB PNG (no alpha channel to write), and
// painting those bytes again gives the image they were made from.
TEST_F(Output, VectorPicturesBecomeOpaquePngsOnce) {
  Picture svg;
  svg.format = Picture::Format::Svg;
  svg.data =
      "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='50'>"
      "<rect width='100' height='50' fill='white'/><line x1='0' y1='0' x2='100' y2='50' stroke='black'/></svg>";
  svg.width = 1500;
  svg.height = 750;
  const std::string png = PictureAsPng(svg);
  ASSERT_GT(png.size(), 26u);
  EXPECT_EQ(static_cast<int>(static_cast<unsigned char>(png[25])), 2) << "PNG colour type 2: RGB";
  QImage decoded;
  ASSERT_TRUE(decoded.loadFromData(QByteArray::fromStdString(png), "PNG"));
  EXPECT_EQ(decoded.size(), QSize(156, 78));  // 150 dpi of 1500 x 750 twips
  // Compressed: the raw pixels of a white picture with one line take 156 * 78 * 3 = 36,504
  // bytes; stored uncompressed, a report's graphs made its RTF 20 times larger.
  EXPECT_LT(png.size(), 4000u);
  Picture asPng;
  asPng.data = png;
  const QImage painted = PictureImage(asPng);
  EXPECT_EQ(painted.cacheKey(), PictureImage(asPng).cacheKey()) << "decoded once, then the same image";
  EXPECT_EQ(painted.convertToFormat(QImage::Format_RGB32), decoded.convertToFormat(QImage::Format_RGB32));
}

TEST_F(Output, PicturesInFramesReserveTheirSpace) {
  QImage img(200, 100, QImage::Format_RGB32);
  img.fill(Qt::blue);
  const int32_t band = TerInsertParaFrame(h, 0, 100, 10800, 1600, 0);
  const int32_t frame = TerInsertParaFrame(h, 500, 100, 0, 0, 0);
  const int32_t pic = TerPastePicture(h, 2, PictureFromImage(img), frame, 0, 1);
  ASSERT_NE(pic, 0);
  EXPECT_TRUE(TerSetPictSize(h, pic, 100, 100));
  TerAppendText(h, "\x15", 0, 0, false);
  line("below the picture");
  int32_t x = 0, y = 0, w = 0, ht = 0;
  ASSERT_TRUE(TerGetFrameSize(h, band, x, y, w, ht));
  EXPECT_EQ(ht, 1600);
  EXPECT_FALSE(TerGetFrameSize(h, 9999, x, y, w, ht));
  EXPECT_EQ(TerPastePicture(h, 2, Picture{}, frame, 0, 1), 0) << "no picture data";
  const Layout& lay = ed().layout();
  bool sawPicture = false;
  for (const auto& item : lay.pages[0].items) {
    if (const auto* p = std::get_if<DrawPicture>(&item)) {
      sawPicture = true;
      EXPECT_EQ(p->rect, QRectF(720 + 500, 720 + 100, 1500, 1500));
    }
    if (const auto* t = std::get_if<DrawText>(&item); t && t->layout->text() == "below the picture") {
      EXPECT_GE(t->origin.y() + t->layout->lineAt(0).y(), 720 + 1700);
    }
  }
  EXPECT_TRUE(sawPicture);
}

}  // namespace
}  // namespace richtext::test
