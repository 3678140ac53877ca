// The checker's windows: the results window FileInfoWindow (buttons "Print" and "Save to
// File" above the grid) over the logic of FileInfo, and the splash window shown for three
// seconds before it.
#pragma once

#include <QTimer>
#include <QWidget>
#include <string>

#include "tools/filecheck/FileInfo.h"

class QLabel;
class QPushButton;
class QTableWidget;

class FileInfoWindow : public QWidget, public FileInfo::View {
 public:
  FileInfoWindow(FileInfo& logic, std::string listFile, QWidget* parent = nullptr);

  QTableWidget* grid() const { return Grid1; }
  QPushButton* printButton() const { return cmdPrint; }
  QPushButton* saveButton() const { return cmdMakeFile; }

  // FileInfo::View
  void SetCaption(const std::string& text) override;
  void SetButtonsEnabled(bool enabled) override;
  void GridReset() override;
  void RowUpdated(int row) override;

  void cmdPrint_Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FillRow(int row);
  void FitWidthToColumns();

  FileInfo& logic_;
  std::string listFile_;
  bool activationQueued_ = false;
  QPushButton* cmdPrint;
  QPushButton* cmdMakeFile;
  QTableWidget* Grid1;
};

// A frameless, centred window with the program notice; after three seconds it shows the
// results window and closes.
class SplashWindow : public QWidget {
 public:
  explicit SplashWindow(QWidget* next, QWidget* parent = nullptr);

 private:
  void Timer1_Timer();

  QWidget* next_;
  QTimer Timer1;
};

// Centres a window on its screen.
void CenterForm(QWidget& form);
