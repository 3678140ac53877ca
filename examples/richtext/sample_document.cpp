#include "examples/richtext/sample_document.h"

#include <QImage>
#include <QPainter>
#include <QPicture>

#include <cmath>
#include <string>

namespace richtext::sample {

namespace {

struct Ids {
  int32_t normal, bold, title, colHeader, superscript, big;
  int32_t left, right, center, sectionTitle;
  int32_t prevCell = 0;
};

Ids MakeStyles(TerHwnd h) {
  Ids ids{};
  SetTerDefaultFont(h, "Arial", 9, 0, 0, false);
  ids.normal = TerCreateFont(h, -1, 1, "Arial", 9, 0, 0, 0xFFFFFF, 0, 0);
  ids.bold = TerCreateFont(h, -1, 1, "Arial", 9, kStyleBold, 0, 0xFFFFFF, 0, 0);
  ids.title = TerCreateFont(h, -1, 1, "Arial", 10, kStyleBold, 0, 0xFFFFFF, 0, 0);
  TerSetFontSpace(h, ids.title, 16, 0);
  ids.colHeader = TerCreateFont(h, -1, 1, "Arial", 9, kStyleBold, 0xFFFFFF, 0, 0, 0);
  ids.superscript = TerCreateFont(h, -1, 1, "Arial", 9, kStyleSuperscript, 0, 0, 0, 0);
  ids.big = TerCreateFont(h, -1, 1, "Arial", 22, kStyleBold, Rgb(24, 145, 246), 0xFFFFFF, 0, 0);
  ids.left = TerCreateParaId(h, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kParaLeft);
  ids.right = TerCreateParaId(h, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kParaRight);
  ids.center = TerCreateParaId(h, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kParaCenter);
  ids.sectionTitle = TerCreateParaId(h, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 100, 60, 0, kParaLeft);
  return ids;
}

void Line(TerHwnd h, const Ids& ids, const std::string& text, int32_t font = -1, int32_t para = -1) {
  TerAppendTextEx(h, text + "\x15", font < 0 ? ids.normal : font, para < 0 ? ids.left : para, 0, 0, false);
}

int32_t EndLine(TerHwnd h) {
  int32_t line = 0, col = 0;
  SetTerCursorPos(h, kLineEnd, 9999, false);
  GetTerCursorPos(h, line, col);
  return line;
}

void Cell(TerHwnd h, Ids& ids, const std::string& text, bool newRow, int32_t width, bool rowEnd, bool header,
          ColorRef colour = 0, int32_t shading = 0, int32_t align = kParaCenter) {
  const int32_t id = TerCreateCellId(h, newRow ? 1 : 0, ids.prevCell, 0, 0, 0, width, shading, 10, 10, 10, 10, 1, 1, 0);
  TerSetCellInfo2(h, id, header ? Rgb(24, 145, 246) : colour ? colour : Rgb(255, 255, 255), 50, 0);
  const int32_t para = align == kParaLeft ? ids.left : align == kParaRight ? ids.right : ids.center;
  TerAppendTextEx(h, text + "\x13", header ? ids.colHeader : ids.normal, para, id, -1, false);
  if (header) TerCellVertAlign(h, 1, 4096);
  if (rowEnd) TerAppendTextEx(h, "\x12", header ? ids.colHeader : ids.normal, -1, id, -1, false);
  if (header) TerSetHdrRow(h, id, true, false);
  ids.prevCell = id;
}

void KeepFrom(TerHwnd h, const Ids& ids, int32_t start) {
  Line(h, ids, "");
  SelectTerText(h, start, 0, kLineEnd, 0, false);
  SetTerParaFmt(h, kParaKeepTogether | kParaKeepWithNext, true, false);
  DeselectTerText(h, false);
  Line(h, ids, "");
}

// Header (title, project and date line) and footer (product, raised mark, page number).
void HeaderFooter(TerHwnd h, int32_t section, const std::string& title) {
  TerPosHdrFtrEx(h, section, kHdrFtrHeader, 1, false);
  int32_t l1 = 0, c1 = 0, l2 = 0, c2 = 0;
  GetTerCursorPos(h, l1, c1);
  InsertTerText(h, title + "\r\n", false);
  GetTerCursorPos(h, l2, c2);
  SelectTerText(h, l1, c1, l2, c2, false);
  SetTerColor(h, 16711680, false);
  SetTerPointSize(h, 11, false);
  SetTerCharStyle(h, kStyleBold, true, false);
  SetTerParaFmt(h, kParaCenter, true, false);
  DeselectTerText(h, false);
  GetTerCursorPos(h, l1, c1);
  InsertTerText(h, "Project:  Sample Plant {\\ \xC3\xA9}\t03/05/2024", false);
  GetTerCursorPos(h, l2, c2);
  SelectTerText(h, l1, c1, l2, c2, false);
  SetTerParaFmt(h, kParaLeft, true, false);
  TerSetTab(h, 1, 12240, 0, false);
  DeselectTerText(h, false);

  TerPosHdrFtrEx(h, section, kHdrFtrFooter, 0, false);
  GetTerCursorPos(h, l1, c1);
  InsertTerText(h, "KestrinTM  v1.00\tPage ", false);
  GetTerCursorPos(h, l2, c2);
  SelectTerText(h, l1, c1, l2, c2, false);
  TerSetTab(h, 1, 12240, 0, false);
  DeselectTerText(h, false);
  SelectTerText(h, l1, c1 + 7, l1, c1 + 10, false);
  SetTerCharStyle(h, kStyleSuperscript, true, false);
  DeselectTerText(h, false);
  TerSetCaretPos(h, kCaretEnd);
  TerCommand(h, kCmdPageNumber);

  if (TerMenuSelect(h, kCmdReturnToBody) != kMenuChecked) TerCommand(h, kCmdReturnToBody);
  TerPosBodyText(h, section, 1, false);
  TerSetCaretPos(h, kCaretEnd);
  if (TerMenuSelect(h, kCmdReturnToBody) == kMenuChecked) TerCommand(h, kCmdReturnToBody);
}

int32_t BeginReport(TerHwnd h, const Ids& ids, const std::string& title, int orientation, bool first) {
  Line(h, ids, "");
  if (!first) TerSectBreak(h, false);
  int32_t cols = 0, spacing = 0, newPage = 0, orient = 0;
  TerGetSectInfo(h, cols, spacing, newPage, orient);
  TerSetSect2(h, cols, spacing, 1, orient, -1, -1);
  TerSetSectOrient(h, orientation, false);
  TerSetCaretPos(h, kCaretEnd);
  TerFields f;
  GetTerFields(h, f);
  const int32_t section = TerGetSeqSect(h, f.CurSect);
  HeaderFooter(h, section, title);
  return section;
}

QImage Logo() {
  QImage img(240, 80, QImage::Format_RGB32);
  img.fill(QColor(21, 44, 115));
  QPainter p(&img);
  p.fillRect(QRect(10, 10, 60, 60), QColor(24, 145, 246));
  p.setPen(Qt::white);
  p.drawText(QRect(80, 0, 160, 80), Qt::AlignCenter, QStringLiteral("LOGO"));
  return img;
}

QPicture Graph(int seed) {
  QPicture pic;
  QPainter p(&pic);
  p.setPen(QPen(Qt::black, 2));
  p.drawRect(0, 0, 600, 300);
  QPolygonF curve;
  for (int i = 0; i <= 60; ++i) curve << QPointF(i * 10, 150 + 100 * std::sin((i + seed) / 6.0));
  p.setPen(QPen(QColor(0, 176, 80), 3));
  p.drawPolyline(curve);
  p.end();
  return pic;
}

void PastePicture(TerHwnd h, const Ids& ids, const Picture& pic, int32_t x, int32_t width, int32_t height, bool band) {
  Line(h, ids, "");
  SetTerCursorPos(h, kLineEnd, 9999, false);
  if (band) TerInsertParaFrame(h, 0, 0, 10800, height, 0);
  const int32_t frame = TerInsertParaFrame(h, x, 0, 0, 0, 0);
  const int32_t id = TerPastePicture(h, band ? 3 : 2, pic, frame, 0, 1);
  TerSetPictSize(h, id, width / kTwipsPerPixel, height / kTwipsPerPixel);
  TerAppendText(h, "\x15", 0, 0, false);
}

// A chapter of the data sub-report; each after the first starts on a new page. (None ends
// with a page break: the sub-report after the last starts a new page of its own, and a page
// break just before it would leave an empty page.)
void DataChapter(TerHwnd h, Ids& ids, int chapter) {
  if (chapter > 1) TerPageBreak(h, false);
  Line(h, ids, "SECTION " + std::to_string(chapter) + ".  OPERATING HOURS", ids.title, ids.sectionTitle);
  const int32_t widths[] = {1600, 1800, 1800, 1800, 1800, 2000};
  Cell(h, ids, "Bin Temperatures", true, 10800, true, true);
  const char* heads[] = {"Bin (F)", "Hours", "Load (%)", "Chillers", "ECWT (F)", "kW/Ton"};
  for (int c = 0; c < 6; ++c) Cell(h, ids, heads[c], c == 0, widths[c], c == 5, true);
  for (int r = 0; r < 90; ++r) {
    for (int c = 0; c < 6; ++c) {
      const std::string v = c == 0 ? std::to_string(100 - r) : std::to_string((r * 37 + c * 11 + chapter) % 900);
      Cell(h, ids, v, c == 0, widths[c], c == 5, false, 0, 0, c == 0 ? kParaLeft : kParaRight);
    }
  }
  Cell(h, ids, "Totals", true, 3400, false, false, Rgb(255, 255, 255), 20, kParaLeft);
  Cell(h, ids, "8,760", false, 7400, true, false, Rgb(255, 255, 255), 20, kParaRight);
  Line(h, ids, "");
  PastePicture(h, ids, PictureFromQPicture(Graph(chapter)), 1200, 8400, 4200, true);
}

}  // namespace

void BuildSampleDocument(TerHwnd h, int chapters) {
  Ids ids = MakeStyles(h);
  Editor* e = TerEditor(h);
  e->doc.info.title = "Sample Part-Load Report";
  e->doc.info.author = "Kestrin";
  TerSetMarginEx(h, -1, 720, 720, -1, -1, 720, 720, false);

  // Cover page: no header or footer, a logo, a big title, label/value lines.
  PastePicture(h, ids, PictureFromImage(Logo()), 3600, 3600, 1200, false);
  Line(h, ids, "SAMPLE PLANT \xE2\x80\x94 \"{quoted}\" \\ path", ids.big, ids.center);
  TerAppendTextEx(h, "Prepared For: ", ids.bold, ids.left, 0, 0, false);
  TerAppendTextEx(h, "Acme Facilities\x15", ids.normal, ids.left, 0, 0, false);
  TerAppendTextEx(h, "Kestrin", ids.normal, ids.left, 0, 0, false);
  TerAppendTextEx(h, "TM", ids.superscript, ids.left, 0, 0, false);
  TerAppendTextEx(h, " rates chilled-water plants at part load.\x15", ids.normal, ids.left, 0, 0, false);
  const int32_t start = EndLine(h);
  Cell(h, ids, "Summary of Concepts", true, 10800, true, true);
  Cell(h, ids, "Introduction", true, 10800, true, true, Rgb(221, 236, 254));
  Cell(h, ids,
       "A CPLV is calculated with the same formula as an IPLV:\r\n          CPLV = 1 / [ (W100/A) + (W75/B) + (W50/C) "
       "+ (W25/D) ]",
       true, 10800, true, false, 0, 0, kParaLeft);
  KeepFrom(h, ids, start);

  // Sub-report 1: portrait, a two-column summary with a column break, then a table.
  BeginReport(h, ids, "Input Data Summary", 1, false);
  Line(h, ids, "");
  TerSectBreak(h, false);
  TerSetSect(h, 2, 360, 0, false);
  TerSetSect2(h, -1, -1, 0, -1, -1, -1);
  const int32_t colStart = EndLine(h);
  Line(h, ids, "1.  Input Data Summary", ids.bold);
  Line(h, ids, "City \tSpringfield");
  Line(h, ids, "Peak Building Load \t1,200 tons at 95 F");
  TerAppendTextEx(h, "\x0f", -1, -1, 0, 0, false);
  TerColBreak(h, false);
  Line(h, ids, "Chillers in Plant \t3");
  Line(h, ids, "Plant Control \tSequenced on load");
  SelectTerText(h, colStart, 0, kLineEnd, 9999, false);
  TerSetTab(h, 1, 2520, 1, false);
  DeselectTerText(h, false);
  TerSectBreak(h, false);
  TerSetSect2(h, 1, 0, 0, -1, -1, -1);
  for (int c = 1; c <= chapters; ++c) DataChapter(h, ids, c);

  // Sub-report 2: landscape, a wide table with rows of different cell layouts.
  BeginReport(h, ids, "Custom PLV Worksheet", 2, false);
  Cell(h, ids, "", true, 4320, false, true);
  Cell(h, ids, "Custom Weighting Factors", false, 5040, false, true);
  Cell(h, ids, "Custom ECWT", false, 5040, true, true);
  const char* points[] = {"Chiller", "25%", "50%", "75%", "100%", "25%", "50%", "75%", "100%"};
  for (int c = 0; c < 9; ++c) Cell(h, ids, points[c], c == 0, c == 0 ? 4320 : 1260, c == 8, true);
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 9; ++c)
      Cell(h, ids, c == 0 ? "Chiller " + std::to_string(r + 1) : std::to_string(c * 7 + r), c == 0,
           c == 0 ? 4320 : 1260, c == 8, false);
  Line(h, ids, "");
  Line(h, ids, "End of report.");
  TerSetReadOnly(h, true);
  TerRepaginate(h, false);
}

}  // namespace richtext::sample
