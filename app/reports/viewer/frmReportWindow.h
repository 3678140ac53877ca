// The report viewer window: a QDialog that implements frmReport::View around the page view
// (richtext::TocViewer, Toc1). Toolbar with print and save buttons, Prev/Next Report, zoom box
// with its up-down buttons, Help and Exit, and the File, Edit and View menus.
//
// exec() shows it modally; once on screen a zero-delay timer runs the first activation (the
// calculation and the report run in the progress window). Exit hides the window.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/reports/frmReport.h"

class QAction;
class QFileDialog;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QSpinBox;
class QToolBar;
namespace richtext {
class TocViewer;
}

class frmReportWindow : public QDialog, public frmReport::View {
  Q_OBJECT

 public:
  explicit frmReportWindow(frmReport& form, QWidget* parent = nullptr);
  ~frmReportWindow() override;

  // frmReport::View
  void Caption(const std::string& text) override;
  void NavButton(int index, const std::string& caption, bool enabled) override;
  void FocusNavButton(int index) override;
  void ExitEnabled(bool enabled) override;
  void ReportCommandsEnabled(bool enabled) override;
  std::string ZoomText() const override;
  void ZoomText(const std::string& text) override;
  richtext::TerHwnd Toc1() const override;
  void TocCommand(int command) override;
  void FocusToc() override;
  void ShowWait(frmWait& wait) override;
  std::string ShowSaveDialog(const std::string& title, const std::vector<std::string>& filters, int& filterIndex,
                             const std::string& fileName) override;
  void HideWindow() override;
  void ShowHelp(long contextId) override;

  // The save dialog ShowSaveDialog shows (filterIndex 1-based). It asks nothing about a file
  // that exists: the viewer asks about the file it writes, which may carry an added extension.
  std::unique_ptr<QFileDialog> SaveDialog(const std::string& title, const std::vector<std::string>& filters,
                                          int filterIndex, const std::string& fileName);
  // How the save dialog is answered; tests replace it (path, filter index in and out).
  std::function<std::string(const std::string& proposed, int& filterIndex)> chooseSaveFile;

  // The controls, for the window's tests.
  richtext::TocViewer* toc() const { return toc_; }
  QPushButton* navButton(int index) const { return index == 0 ? cmdPrev_ : cmdNext_; }
  QPushButton* exitButton() const { return cmdExit_; }
  QLineEdit* zoomBox() const { return txtZoom_; }
  bool activated() const { return activated_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;  // Escape and the close box act as Exit

 private:
  frmReport& form_;
  richtext::TocViewer* toc_ = nullptr;
  QPushButton* cmdPrev_ = nullptr;
  QPushButton* cmdNext_ = nullptr;
  QPushButton* cmdHelp_ = nullptr;
  QPushButton* cmdExit_ = nullptr;
  QLineEdit* txtZoom_ = nullptr;
  // Print, Save as RTF, Save as PDF and the menu's Save Report As, Print Preview and Print.
  std::vector<QWidget*> reportButtons_;
  std::vector<QAction*> reportActions_;
  bool started_ = false;
  bool activated_ = false;
};
