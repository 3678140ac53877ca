// The page view widget.
#include "platform/richtext/viewer.h"

#include <QKeyEvent>
#include <QPainter>
#include <QTextLayout>
#include <QWheelEvent>

namespace richtext {

namespace {
constexpr int kPageGap = 12;   // pixels of grey around the page
}

TocViewer::TocViewer(QWidget* parent) : QWidget(parent), handle_(TerCreateWindow()) {
  setFocusPolicy(Qt::StrongFocus);
  setAutoFillBackground(false);
  if (Editor* e = editor()) e->view = this;
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
  update();
}

int TocViewer::currentPage() const {
  const Editor* e = editor();
  return e ? e->currentPage : 1;
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

void TocViewer::documentChanged() { update(); }

void TocViewer::showPage(int) { update(); }

void TocViewer::setZoomPercent(int) {
  updateGeometry();
  update();
}

double TocViewer::scale() const { return zoomPercent() / 100.0 * logicalDpiX() / 1440.0; }

QSize TocViewer::sizeHint() const { return {850, 1100}; }

void TocViewer::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(128, 128, 128));
  Editor* e = editor();
  if (!e) return;
  const Layout& lay = e->layout();
  if (lay.pages.empty()) return;
  const int index = std::clamp(e->currentPage, 1, static_cast<int>(lay.pages.size())) - 1;
  const PageLayout& page = lay.pages[index];
  const double s = scale();
  const QSizeF size(page.width * s, page.height * s);
  const double left = std::max<double>(kPageGap, (width() - size.width()) / 2);
  const QRectF paper(QPointF(left, kPageGap), size);
  painter.fillRect(paper.translated(4, 4), QColor(64, 64, 64));
  painter.fillRect(paper, Qt::white);
  painter.translate(paper.topLeft());
  painter.scale(s, s);
  PaintPage(painter, page);
  if (e->hasSelection && e->story.section < 0) {
    // Selected body text is shown with a translucent highlight over its lines.
    const auto& lines = lay.linePage;
    const int l1 = std::min(e->selLine1, e->selLine2), l2 = std::max(e->selLine1, e->selLine2);
    const bool pageSelected = l1 < static_cast<int>(lines.size()) && l2 < static_cast<int>(lines.size()) &&
                              lines[l1] <= index && lines[l2] >= index;
    if (pageSelected) {
      QColor hl = palette().highlight().color();
      hl.setAlpha(70);
      for (const auto& item : page.items)
        if (const auto* t = std::get_if<DrawText>(&item))
          painter.fillRect(t->layout->lineAt(t->line).naturalTextRect().translated(t->origin), hl);
    }
  }
}

void TocViewer::keyPressEvent(QKeyEvent* event) {
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_PageUp: setCommand(kCmdPageUp); break;
    case Qt::Key_PageDown: setCommand(kCmdPageDown); break;
    case Qt::Key_Home:
      if (!ctrl) return QWidget::keyPressEvent(event);
      setCommand(kCmdDocStart);
      break;
    case Qt::Key_End:
      if (!ctrl) return QWidget::keyPressEvent(event);
      setCommand(kCmdDocEnd);
      break;
    case Qt::Key_A:
      if (!ctrl) return QWidget::keyPressEvent(event);
      setCommand(kCmdSelectAll);
      break;
    default:
      return QWidget::keyPressEvent(event);
  }
  event->accept();
  update();
}

void TocViewer::wheelEvent(QWheelEvent* event) {
  const int dy = event->angleDelta().y();
  if (dy < 0) setCommand(kCmdPageDown);
  else if (dy > 0) setCommand(kCmdPageUp);
  event->accept();
  update();
}

}  // namespace richtext
