// The page view: shows an editor's paginated document one page at a time, with zoom and the
// viewer's command and empty-document entry points. It owns its editor handle.
#pragma once

#include <QWidget>

#include "platform/richtext/ter.h"

namespace richtext {

class TocViewer : public QWidget, public EditorView {
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

  int currentPage() const;
  int pageCount() const;
  int zoomPercent() const;
  bool isReadOnly() const;

  // EditorView
  void documentChanged() override;
  void showPage(int page) override;
  void setZoomPercent(int pct) override;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  Editor* editor() const;
  double scale() const;   // device pixels per twip at the current zoom

  TerHwnd handle_ = 0;
};

}  // namespace richtext
