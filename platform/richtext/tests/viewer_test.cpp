// The page view: navigation, zoom and scrolling, read-only, select all, the command and
// empty-document entry points, and pixels drawn where the layout put the text.
#include <QKeyEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QTextLayout>
#include <QWheelEvent>

#include <functional>
#include <map>

#include "platform/richtext/tests/test_support.h"
#include "platform/richtext/viewer.h"

namespace richtext::test {
namespace {

// A document test whose editor is the one of a page view (900 x 700 pixels).
class Viewer : public DocTest {
 protected:
  void SetUp() override {
    DocTest::SetUp();
    TerDestroyWindow(h);
    view = std::make_unique<TocViewer>();
    view->resize(900, 700);
    view->show();  // offscreen platform: no window appears
    h = view->hWnd();
    Editor& e = ed();
    e.paper = {12240, 15840};
    for (auto& s : e.doc.sections) {
      s.fmt.paperWidth = 12240;
      s.fmt.paperHeight = 15840;
    }
    font = TerCreateFont(h, -1, 1, "Arial", 10, 0, 0, 0xFFFFFF, 0, 0);
    bold = TerCreateFont(h, -1, 1, "Arial", 10, kStyleBold, 0, 0xFFFFFF, 0, 0);
    para = TerCreateParaId(h, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kParaLeft);
  }
  void TearDown() override {
    SetPrintDialogHook({});
    view.reset();
  }

  void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent ev(QEvent::KeyPress, k, mods, text);
    QCoreApplication::sendEvent(view.get(), &ev);
  }
  void wheel(int dy) {
    const QPointF at(100, 100);
    QWheelEvent ev(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, dy), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view->viewport(), &ev);
  }
  QImage shot() { return view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
  int caretPage() {
    int32_t cur = 0;
    TerGetPageCount(h, &cur);
    return cur;
  }
  // Body lines "l 0" .. "l n-1"; returns the page count.
  int lines(int n) {
    for (int i = 0; i < n; ++i) line("l " + std::to_string(i));
    TerRepaginate(h, true);
    return view->pageCount();
  }

  std::unique_ptr<TocViewer> view;
};

// Where the layout puts each text line of the page shown, mapped into viewport pixels.
struct TextBox {
  QString text;
  QRectF rect;
};
std::vector<TextBox> LaidOutText(TocViewer& v, Editor& e) {
  const PageLayout& page = e.layout().pages.at(static_cast<size_t>(v.currentPage() - 1));
  const QRectF paper = v.pageRect();
  const double s = paper.width() / page.width;
  std::vector<TextBox> out;
  for (const auto& item : page.items) {
    const auto* t = std::get_if<DrawText>(&item);
    if (!t) continue;
    const QTextLine l = t->layout->lineAt(t->line);
    const QRectF r = l.naturalTextRect().translated(t->origin);
    out.push_back({t->layout->text().mid(l.textStart(), l.textLength()),
                   QRectF(paper.left() + r.left() * s, paper.top() + r.top() * s, r.width() * s, r.height() * s)});
  }
  return out;
}

bool Dark(QRgb c) { return qGray(c) < 140; }

// The page count pdfinfo reports for a file (-1 when it cannot tell).
int PdfPages(const std::string& file) {
  const std::string info = RunCommand("pdfinfo '" + file + "' 2>/dev/null");
  const size_t at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

// Checks a grabbed view against the layout: the paper is white inside the page rectangle and
// grey just outside it; every laid-out text line has ink inside its box; and no ink lies on
// the paper outside the boxes.
void ExpectTextWhereLaidOut(const QImage& img, TocViewer& v, Editor& e) {
  const QRectF paper = v.pageRect();
  const auto boxes = LaidOutText(v, e);
  ASSERT_FALSE(boxes.empty());
  const QRect visible = paper.toAlignedRect().adjusted(1, 1, -1, -1).intersected(img.rect());
  ASSERT_FALSE(visible.isEmpty());
  // The paper's edges, where they are in view.
  auto pixel = [&](double x, double y) { return img.pixel(static_cast<int>(x), static_cast<int>(y)); };
  if (paper.left() > 1) {
    EXPECT_EQ(pixel(paper.left() + 2, visible.center().y()), qRgb(255, 255, 255));
    EXPECT_NE(pixel(paper.left() - 2, visible.center().y()), qRgb(255, 255, 255));
  }
  if (paper.top() > 1) {
    EXPECT_EQ(pixel(visible.center().x(), paper.top() + 2), qRgb(255, 255, 255));
    EXPECT_NE(pixel(visible.center().x(), paper.top() - 2), qRgb(255, 255, 255));
  }
  int checked = 0;
  for (const auto& b : boxes) {
    const QRect r = b.rect.adjusted(-1, -1, 1, 1).toAlignedRect().intersected(visible);
    if (r.isEmpty() || b.text.trimmed().isEmpty()) continue;
    ++checked;
    int ink = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) ink += Dark(img.pixel(x, y)) ? 1 : 0;
    EXPECT_GT(ink, 0) << "no ink where \"" << b.text.toStdString() << "\" is laid out";
  }
  EXPECT_GT(checked, 0) << "no laid-out text is in view";
  int stray = 0;
  for (int y = visible.top(); y <= visible.bottom(); ++y)
    for (int x = visible.left(); x <= visible.right(); ++x) {
      if (!Dark(img.pixel(x, y))) continue;
      const QPointF p(x + 0.5, y + 0.5);
      const bool inBox = std::any_of(boxes.begin(), boxes.end(),
                                     [&](const TextBox& b) { return b.rect.adjusted(-2, -2, 2, 2).contains(p); });
      stray += inBox ? 0 : 1;
    }
  EXPECT_EQ(stray, 0) << "ink on the paper where the layout put no text";
}

TEST_F(Viewer, PaintsTheShownPageWithTextWhereTheLayoutPutIt) {
  const int32_t centre = TerCreateParaId(h, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kParaCenter);
  const int32_t right = TerCreateParaId(h, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kParaRight);
  line("Left aligned text");
  TerAppendTextEx(h, "Centred heading\x15", bold, centre, 0, 0, false);
  TerAppendTextEx(h, "Right aligned 123\x15", font, right, 0, 0, false);
  TerPageBreak(h, false);
  for (int i = 0; i < 5; ++i) line("second page line " + std::to_string(i));
  ASSERT_TRUE(TerPosHdrFtrEx(h, 0, kHdrFtrFooter, 0, false));
  InsertTerText(h, "Footer page ", false);
  TerCommand(h, kCmdPageNumber);
  TerPosBodyText(h, 0, 1, false);
  TerRepaginate(h, true);
  ASSERT_EQ(view->pageCount(), 2);
  view->resize(900, 1150);  // the whole page at 100 %

  ExpectTextWhereLaidOut(shot(), *view, ed());
  view->setCommand(kCmdPageDown);
  ASSERT_EQ(view->currentPage(), 2);
  ExpectTextWhereLaidOut(shot(), *view, ed());

  // At 200 % the page is larger than the view: scrolled to its bottom, the footer shows
  // where the layout put it.
  ASSERT_TRUE(TerSetZoom(h, 200));
  view->horizontalScrollBar()->setValue(0);
  view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
  const QImage zoomed = shot();
  ExpectTextWhereLaidOut(zoomed, *view, ed());
  bool footerInView = false;
  for (const auto& b : LaidOutText(*view, ed()))
    if (b.text == "Footer page 2") footerInView = zoomed.rect().contains(b.rect.toAlignedRect());
  EXPECT_TRUE(footerInView);
}

// A frame's thin border (10 twips) stays a visible line at every zoom of the view: the ink it
// adds (how much darker than white its pixels are, summed) is that of a line at least one pixel
// wide, however an antialiased line falls on the pixels.
TEST_F(Viewer, FrameBordersStayVisibleAtLowZoom) {
  auto ink = [this] {
    const QImage image = shot();
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) sum += (255 - qGray(image.pixel(x, y))) / 255.0;
    return sum;
  };
  const int zooms[] = {100, 50, 40, 20};
  std::map<int, double> without;
  for (int pct : zooms) {
    ASSERT_TRUE(TerSetZoom(h, pct));
    without[pct] = ink();
  }
  ASSERT_GT(TerInsertParaFrame(h, 720, 0, 5760, 2880, 1), 0);
  TerRepaginate(h, false);
  for (int pct : zooms) {
    ASSERT_TRUE(TerSetZoom(h, pct));
    // The outline is 2 * (4 + 2) inches long, at 96 pixels per inch of the view at 100 %.
    const double outline = 12 * 96 * pct / 100.0;
    EXPECT_GT(ink() - without[pct], 0.8 * outline) << pct << " %";
  }
}

TEST_F(Viewer, PageNavigationByKeysCommandsAndGoToPage) {
  const int pages = lines(230);
  ASSERT_GE(pages, 4);
  struct Step {
    const char* what;
    std::function<void()> act;
    int page;
  };
  const std::vector<Step> steps = {
      {"Page Down", [&] { key(Qt::Key_PageDown); }, 2},
      {"Page Down", [&] { key(Qt::Key_PageDown); }, 3},
      {"Page Up", [&] { key(Qt::Key_PageUp); }, 2},
      {"End without Ctrl", [&] { key(Qt::Key_End); }, 2},
      {"Ctrl+Shift+End", [&] { key(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier); }, pages},
      {"Page Down on the last page", [&] { key(Qt::Key_PageDown); }, pages},
      {"Home without Ctrl", [&] { key(Qt::Key_Home); }, pages},
      {"Ctrl+Home", [&] { key(Qt::Key_Home, Qt::ControlModifier); }, 1},
      {"Page Up on the first page", [&] { key(Qt::Key_PageUp); }, 1},
      {"command 601", [&] { view->setCommand(kCmdPageDown); }, 2},
      {"command 613", [&] { view->setCommand(kCmdDocEnd); }, pages},
      {"command 600", [&] { view->setCommand(kCmdPageUp); }, pages - 1},
      {"command 612", [&] { view->setCommand(kCmdDocStart); }, 1},
      {"go to page 3", [&] { TerPosPage(h, 3); }, 3},
      {"go to page 99", [&] { TerPosPage(h, 99); }, pages},
      {"go to page 0", [&] { TerPosPage(h, 0); }, 1},
  };
  for (const auto& s : steps) {
    s.act();
    EXPECT_EQ(view->currentPage(), s.page) << s.what;
    EXPECT_EQ(caretPage(), s.page) << s.what << ": the caret goes with the page";
  }
  // Ctrl+End leaves the caret at the very end, ready for appended text.
  key(Qt::Key_End, Qt::ControlModifier);
  int32_t l = 0, c = 0;
  GetTerCursorPos(h, l, c);
  EXPECT_EQ(ed().layout().linePage.at(static_cast<size_t>(l)), pages - 1);
}

TEST_F(Viewer, ZoomScalesThePageAndAPageLargerThanTheViewScrolls) {
  lines(120);
  const QRectF base = view->pageRect();
  EXPECT_NEAR(base.width() / base.height(), 12240.0 / 15840.0, 0.005);
  for (int pct : {50, 20, 150, 200}) {
    ASSERT_TRUE(TerSetZoom(h, pct));
    EXPECT_EQ(view->zoomPercent(), pct);
    EXPECT_NEAR(view->pageRect().width(), base.width() * pct / 100.0, 0.5) << pct;
    EXPECT_NEAR(view->pageRect().height(), base.height() * pct / 100.0, 0.5) << pct;
  }
  EXPECT_FALSE(TerSetZoom(h, 0));
  EXPECT_EQ(view->zoomPercent(), 200);

  // At 200 % every edge of the page can be scrolled into view.
  QScrollBar* vs = view->verticalScrollBar();
  QScrollBar* hs = view->horizontalScrollBar();
  const QRect room = view->viewport()->rect();
  EXPECT_GT(vs->maximum(), 0);
  EXPECT_GT(hs->maximum(), 0);
  EXPECT_GE(view->pageRect().top(), 0);
  vs->setValue(vs->maximum());
  hs->setValue(hs->maximum());
  EXPECT_LE(view->pageRect().bottom(), room.bottom() + 1);
  EXPECT_LE(view->pageRect().right(), room.right() + 1);
  EXPECT_GT(view->pageRect().bottom(), room.bottom() - 40);

  // The wheel scrolls the page, then turns to the next one at its bottom; back up at the top
  // of a page it turns to the previous page, shown from its end.
  vs->setValue(0);
  wheel(-120);
  EXPECT_EQ(view->currentPage(), 1);
  EXPECT_GT(vs->value(), 0);
  vs->setValue(vs->maximum());
  wheel(-120);
  EXPECT_EQ(view->currentPage(), 2);
  EXPECT_EQ(vs->value(), 0) << "a new page is shown from its top";
  wheel(120);
  EXPECT_EQ(view->currentPage(), 1);
  EXPECT_EQ(vs->value(), vs->maximum());

  // Back at 100 % a page that fits is centred.
  ASSERT_TRUE(TerSetZoom(h, 50));
  EXPECT_NEAR(view->pageRect().center().x(), room.center().x() + 0.5, 1);
}

TEST_F(Viewer, ReadOnlyViewStillTakesAppendedTextButNoTyping) {
  line("before");
  ASSERT_TRUE(TerSetReadOnly(h, true));
  EXPECT_TRUE(view->isReadOnly());
  TerFields f;
  GetTerFields(h, f);
  EXPECT_EQ(f.ReadOnly, 1);
  // The report code goes on writing (body text, footer with the page number) when read-only.
  line("after");
  ASSERT_TRUE(TerPosHdrFtrEx(h, 0, kHdrFtrFooter, 0, false));
  InsertTerText(h, "Page ", false);
  EXPECT_TRUE(TerCommand(h, kCmdPageNumber));
  TerPosBodyText(h, 0, 1, false);
  const auto& blocks = ed().doc.sections[0].blocks;
  ASSERT_GE(blocks.size(), 2u);
  EXPECT_EQ(std::get<Paragraph>(blocks[1]).runs.at(0).text, "after");
  ASSERT_EQ(ed().doc.sections[0].fmt.footer->paragraphs.at(0).runs.size(), 2u);
  // Keys typed at the view change nothing.
  const Document before = ed().doc;
  for (const auto& [k, t] : std::vector<std::pair<int, QString>>{
           {Qt::Key_X, "x"}, {Qt::Key_Return, "\r"}, {Qt::Key_Backspace, "\b"}, {Qt::Key_Delete, {}}})
    key(k, Qt::NoModifier, t);
  EXPECT_EQ(ed().doc, before);
  ASSERT_TRUE(TerSetReadOnly(h, false));
  EXPECT_FALSE(view->isReadOnly());
}

TEST_F(Viewer, SelectAllHighlightsTheBodyLinesOnly) {
  ASSERT_TRUE(TerPosHdrFtrEx(h, 0, kHdrFtrHeader, 0, false));
  InsertTerText(h, "Header line", false);
  TerPosBodyText(h, 0, 1, false);
  line("first body line");
  cell("cell text", true, 5400, true);
  line("last body line");
  view->resize(900, 1150);
  const QImage plain = shot();

  key(Qt::Key_A, Qt::ControlModifier);
  Editor& e = ed();
  ASSERT_TRUE(e.hasSelection);
  int32_t l = 0, c = 0;
  SetTerCursorPos(h, kLineEnd, 9999, false);
  GetTerCursorPos(h, l, c);
  EXPECT_EQ(std::min(e.selLine1, e.selLine2), 0);
  EXPECT_EQ(std::max(e.selLine1, e.selLine2), l);

  const QImage selected = shot();
  std::map<QString, int> changed;  // changed pixels inside each laid-out line
  int outside = 0;
  const auto boxes = LaidOutText(*view, e);
  for (int y = 0; y < plain.height(); ++y)
    for (int x = 0; x < plain.width(); ++x) {
      if (plain.pixel(x, y) == selected.pixel(x, y)) continue;
      const QPointF p(x + 0.5, y + 0.5);
      bool in = false;
      for (const auto& b : boxes)
        if (b.rect.adjusted(-1, -1, 1, 1).contains(p)) {
          ++changed[b.text];
          in = true;
        }
      outside += in ? 0 : 1;
    }
  EXPECT_EQ(outside, 0);
  EXPECT_GT(changed["first body line"], 0);
  EXPECT_GT(changed["cell text"], 0);
  EXPECT_GT(changed["last body line"], 0);
  EXPECT_EQ(changed["Header line"], 0) << "the header is not part of the body's selection";

  // The report window's print step deselects first: the view is back to plain.
  DeselectTerText(h, false);
  EXPECT_EQ(shot(), plain);
}

TEST_F(Viewer, CommandsAsTheReportWindowSendsThem) {
  const int pages = lines(200);
  ASSERT_GE(pages, 3);
  std::vector<std::pair<PrintDialogKind, TerHwnd>> asked;
  bool accept = true;
  QPageSize sheet(QPageSize::Letter);
  const std::string pdf = scratch("preview.pdf");
  SetPrintDialogHook([&](PrintDialogKind k, QPrinter& p, TerHwnd hw) {
    asked.emplace_back(k, hw);
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(QString::fromStdString(pdf));
    if (k == PrintDialogKind::PageSetup) p.setPageSize(sheet);
    return accept;
  });

  // After binding: the page-by-page mode is switched on.
  view->setCommand(kCmdPageMode);
  EXPECT_EQ(TerMenuSelect(h, kCmdPageMode), kMenuChecked);

  // Print setup and preview go through the dialog hook; the preview paints every page.
  view->setCommand(kCmdPrintSetup);
  view->setCommand(kCmdPrintPreview);
  EXPECT_EQ(PdfPages(pdf), pages);

  // A cancelled page setup leaves the page alone; an accepted one lays the view out anew.
  const QRectF letter = view->pageRect();
  accept = false;
  sheet = QPageSize(QPageSize::A4);
  view->setCommand(kCmdPageSetup);
  EXPECT_EQ(view->pageRect(), letter);
  accept = true;
  view->setCommand(kCmdPageSetup);
  EXPECT_NEAR(view->pageRect().height() / view->pageRect().width(), 297.0 / 210.0, 0.005);

  // On the last page, a longer sheet makes fewer pages: the view shows the new last page and
  // Page Up goes to the one before it.
  sheet = QPageSize(QPageSize::Letter);
  view->setCommand(kCmdPageSetup);
  view->setCommand(kCmdDocEnd);
  ASSERT_EQ(view->currentPage(), pages);
  sheet = QPageSize(QPageSize::Legal);
  view->setCommand(kCmdPageSetup);
  const int fewer = view->pageCount();
  ASSERT_LT(fewer, pages);
  EXPECT_EQ(view->currentPage(), fewer);
  key(Qt::Key_PageUp);
  EXPECT_EQ(view->currentPage(), fewer - 1);

  // The window's print step: deselect, then print with the dialog.
  view->setCommand(kCmdSelectAll);
  DeselectTerText(h, false);
  EXPECT_TRUE(TerPrint2(h, true, 0, 0, 1, 1));
  EXPECT_FALSE(ed().hasSelection);

  const std::vector<PrintDialogKind> kinds = {
      PrintDialogKind::PrintSetup, PrintDialogKind::Preview,   PrintDialogKind::PageSetup, PrintDialogKind::PageSetup,
      PrintDialogKind::PageSetup,  PrintDialogKind::PageSetup, PrintDialogKind::Print};
  ASSERT_EQ(asked.size(), kinds.size());
  for (size_t i = 0; i < kinds.size(); ++i) {
    EXPECT_EQ(asked[i].first, kinds[i]) << i;
    EXPECT_EQ(asked[i].second, h) << "the dialogs are asked for the view's own editor";
  }
  EXPECT_FALSE(TerCommand(h, 12345)) << "an unknown command does nothing";
}

TEST_F(Viewer, EmptyDocumentEntryPointStartsAnewTheWayTheReportSetUpDoes) {
  lines(200);
  TerPosPage(h, 3);
  view->setCommand(kCmdSelectAll);
  TerSetZoom(h, 150);
  TerSetReadOnly(h, true);

  // The report document set-up: deselect, empty the view, caret to the body, default font.
  DeselectTerText(h, false);
  view->setText(QString());
  TerPosBodyText(h, 0, 0, false);
  SetTerDefaultFont(h, "Arial", 9, 0, 0, false);
  EXPECT_EQ(view->pageCount(), 1);
  EXPECT_EQ(view->currentPage(), 1);
  EXPECT_EQ(caretPage(), 1);
  EXPECT_FALSE(ed().hasSelection);
  ASSERT_EQ(ed().doc.sections.size(), 1u);
  ASSERT_EQ(ed().doc.sections[0].blocks.size(), 1u);
  EXPECT_TRUE(std::get<Paragraph>(ed().doc.sections[0].blocks[0]).empty());
  EXPECT_EQ(view->zoomPercent(), 150) << "the zoom belongs to the view, not to the document";
  const QImage blank = shot();
  const QRect paper = view->pageRect().toAlignedRect().adjusted(1, 1, -1, -1).intersected(blank.rect());
  int ink = 0;
  for (int y = paper.top(); y <= paper.bottom(); ++y)
    for (int x = paper.left(); x <= paper.right(); ++x) ink += Dark(blank.pixel(x, y)) ? 1 : 0;
  EXPECT_EQ(ink, 0) << "the new document is blank";

  // The new document takes text again, and a non-empty text is its only paragraph.
  line("fresh report");
  TerRepaint(h, true);
  ExpectTextWhereLaidOut(shot(), *view, ed());
  view->setText("Only paragraph");
  const auto& blocks = ed().doc.sections[0].blocks;
  ASSERT_FALSE(blocks.empty());
  EXPECT_EQ(std::get<Paragraph>(blocks[0]).runs.at(0).text, "Only paragraph");
  for (size_t i = 1; i < blocks.size(); ++i) EXPECT_TRUE(std::get<Paragraph>(blocks[i]).empty());
  ExpectTextWhereLaidOut(shot(), *view, ed());
}

}  // namespace
}  // namespace richtext::test
