// The page view widget.
#include "platform/richtext/viewer.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace richtext {

namespace {
constexpr int kPageGap = 12;  // pixels of grey around the page
constexpr int kShadow = 4;    // the page's shadow offset
}  // namespace

TocViewer::TocViewer(QWidget* parent) : QAbstractScrollArea(parent), handle_(TerCreateWindow()) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAutoFillBackground(false);
  horizontalScrollBar()->setSingleStep(20);
  verticalScrollBar()->setSingleStep(20);
  if (Editor* e = editor()) e->view = this;
  updateScrollBars();
}

TocViewer::~TocViewer() {
  if (Editor* e = editor()) e->view = nullptr;
  TerDestroyWindow(handle_);
}

Editor* TocViewer::editor() const { return TerEditor(handle_); }

void TocViewer::setCommand(int command) { TerCommand(handle_, command); }

void TocViewer::setText(const QString& text) {
  TerNewDocument(handle_);
  if (!text.isEmpty()) TerAppendText(handle_, text.toStdString(), 0, 0, false);
  documentChanged();
}

int TocViewer::currentPage() const {
  const Editor* e = editor();
  return e ? std::clamp(e->currentPage, 1, std::max(1, pageCount())) : 1;
}

int TocViewer::pageCount() const { return TerGetPageCount(handle_); }

int TocViewer::zoomPercent() const {
  const Editor* e = editor();
  return e ? e->zoom : 100;
}

bool TocViewer::isReadOnly() const {
  const Editor* e = editor();
  return e && e->readOnly;
}

const PageLayout* TocViewer::shownPage() const {
  Editor* e = editor();
  if (!e) return nullptr;
  const Layout& lay = e->layout();
  if (lay.pages.empty()) return nullptr;
  return &lay.pages[static_cast<size_t>(currentPage() - 1)];
}

double TocViewer::scale() const { return zoomPercent() / 100.0 * logicalDpiX() / 1440.0; }

QSizeF TocViewer::paperSize() const {
  const PageLayout* page = shownPage();
  if (!page) return {};
  return {page->width * scale(), page->height * scale()};
}

QRectF TocViewer::pageRect() const {
  const QSizeF size = paperSize();
  const double room = viewport()->width();
  const double left =
      size.width() + 2 * kPageGap <= room ? (room - size.width()) / 2 : kPageGap - horizontalScrollBar()->value();
  return {QPointF(left, kPageGap - verticalScrollBar()->value()), size};
}

void TocViewer::updateScrollBars() {
  const QSizeF size = paperSize();
  const QSize room = viewport()->size();
  const int width = static_cast<int>(std::ceil(size.width())) + 2 * kPageGap + kShadow;
  const int height = static_cast<int>(std::ceil(size.height())) + 2 * kPageGap + kShadow;
  horizontalScrollBar()->setPageStep(room.width());
  horizontalScrollBar()->setRange(0, std::max(0, width - room.width()));
  verticalScrollBar()->setPageStep(room.height());
  verticalScrollBar()->setRange(0, std::max(0, height - room.height()));
}

void TocViewer::documentChanged() {
  updateScrollBars();
  viewport()->update();
}

// A page is shown from its top.
void TocViewer::showPage(int) {
  updateScrollBars();
  verticalScrollBar()->setValue(0);
  viewport()->update();
}

void TocViewer::setZoomPercent(int) {
  updateScrollBars();
  viewport()->update();
}

QSize TocViewer::sizeHint() const { return {850, 1100}; }

void TocViewer::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollBars();
}

void TocViewer::scrollContentsBy(int, int) { viewport()->update(); }

void TocViewer::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), QColor(128, 128, 128));
  Editor* e = editor();
  const PageLayout* page = shownPage();
  if (!e || !page) return;
  const QRectF paper = pageRect();
  painter.fillRect(paper.translated(kShadow, kShadow), QColor(64, 64, 64));
  painter.fillRect(paper, Qt::white);
  painter.translate(paper.topLeft());
  const double s = scale();
  painter.scale(s, s);
  PaintPage(painter, *page);
  if (e->hasSelection && e->story.section < 0) {
    // Selected body lines are shown with a translucent highlight (whole lines; a selection
    // ending at the start of a line leaves that line out).
    int l1 = e->selLine1, c1 = e->selCol1, l2 = e->selLine2, c2 = e->selCol2;
    if (l2 < l1 || (l2 == l1 && c2 < c1)) {
      std::swap(l1, l2);
      std::swap(c1, c2);
    }
    if (l2 > l1 && c2 == 0) --l2;
    QColor hl = palette().highlight().color();
    hl.setAlpha(70);
    for (const auto& item : page->items)
      if (const auto* t = std::get_if<DrawText>(&item); t && t->bodyLine >= l1 && t->bodyLine <= l2)
        painter.fillRect(t->layout->lineAt(t->line).naturalTextRect().translated(t->origin), hl);
  }
}

void TocViewer::keyPressEvent(QKeyEvent* event) {
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_PageUp:
      setCommand(kCmdPageUp);
      break;
    case Qt::Key_PageDown:
      setCommand(kCmdPageDown);
      break;
    case Qt::Key_Home:
      if (!ctrl) return QAbstractScrollArea::keyPressEvent(event);
      setCommand(kCmdDocStart);
      break;
    case Qt::Key_End:
      if (!ctrl) return QAbstractScrollArea::keyPressEvent(event);
      setCommand(kCmdDocEnd);
      break;
    case Qt::Key_A:
      if (!ctrl) return QAbstractScrollArea::keyPressEvent(event);
      setCommand(kCmdSelectAll);
      break;
    default:
      return QAbstractScrollArea::keyPressEvent(event);
  }
  event->accept();
  viewport()->update();
}

void TocViewer::wheelEvent(QWheelEvent* event) {
  const int dy = event->angleDelta().y();
  QScrollBar* bar = verticalScrollBar();
  if (dy == 0 || (dy < 0 && bar->value() < bar->maximum()) || (dy > 0 && bar->value() > bar->minimum())) {
    QAbstractScrollArea::wheelEvent(event);
    return;
  }
  if (dy < 0 && currentPage() < pageCount()) {
    setCommand(kCmdPageDown);
  } else if (dy > 0 && currentPage() > 1) {
    setCommand(kCmdPageUp);
    bar->setValue(bar->maximum());  // coming back up, the page before is shown from its end
  }
  event->accept();
}

}  // namespace richtext
