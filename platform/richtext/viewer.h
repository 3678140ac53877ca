// The page view: shows an editor's paginated document one page at a time, with zoom and the
// viewer's command and empty-document entry points. It owns its editor handle.
//
// A page larger than the view (a high zoom, a small window) scrolls; the wheel scrolls the
// page and, at its top or bottom, turns to the page before or after.
#pragma once

#include <QAbstractScrollArea>

#include "platform/richtext/ter.h"

namespace richtext {

class TocViewer : public QAbstractScrollArea, public EditorView {
 public:
  explicit TocViewer(QWidget* parent = nullptr);
  ~TocViewer() override;

  // The editor handle that every library call for this view's document passes first.
  TerHwnd hWnd() const { return handle_; }
  // The command entry point: runs an editor command (page up/down, start, end, select all,
  // page setup, print setup, print preview, ...).
  void setCommand(int command);
  // The empty-document entry point: an empty text starts a new, empty document; any other
  // text becomes the new document's only paragraph.
  void setText(const QString& text);

  // The page shown (1-based), always within the document's pages.
  int currentPage() const;
  int pageCount() const;
  int zoomPercent() const;
  bool isReadOnly() const;
  // The shown page's paper in viewport pixels.
  QRectF pageRect() const;

  // EditorView
  void documentChanged() override;
  void showPage(int page) override;
  void setZoomPercent(int pct) override;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  Editor* editor() const;
  double scale() const;  // device-independent pixels per twip at the current zoom
  const PageLayout* shownPage() const;
  QSizeF paperSize() const;  // the shown page in pixels
  void updateScrollBars();

  TerHwnd handle_ = 0;
};

}  // namespace richtext
