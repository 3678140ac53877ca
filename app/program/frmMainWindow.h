// The main window itself: a QMainWindow that implements frmMain::View and passes the user's
// actions to the frmMain handlers. Every control carries its program name as object name
// (cboRegion, uncBldgPeakLoad, txtChillerNum, mnuFileSave, ...).
//
// Building the window runs frmMain::Form_Load (lists, unit binding, project into the
// controls); closing it runs Form_QueryUnload, which may keep it open, and Form_Unload.
// Selection boxes report only the user's choice (QComboBox::activated), so filling a list or
// selecting the project's entry runs no handler. The dialogs and the file dialogs are virtual
// View members, so a test can answer them without a modal window.
#pragma once

#include <QComboBox>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "app/program/frmMain.h"

class QLabel;
class QLineEdit;
class QPushButton;
class csQuillet;

// A QComboBox as the logic's drop-down list.
class QtComboBox : public frmMain::ComboBox {
 public:
  explicit QtComboBox(QComboBox* box) : box_(box) {}
  int ListCount() const override { return box_->count(); }
  long ItemData(int index) const override;
  void ListIndex(int index) override { box_->setCurrentIndex(index); }
  int ListIndex() const override { return box_->currentIndex(); }
  void Clear() override { box_->clear(); }
  void AddItem(const std::string& text, long itemData) override;
  std::string Text(int index) const override { return box_->itemText(index).toStdString(); }
  QComboBox* widget() const { return box_; }

 private:
  QComboBox* box_;
};

class frmMainWindow : public QMainWindow, public frmMain::View {
  Q_OBJECT

 public:
  explicit frmMainWindow(frmMain& form, QWidget* parent = nullptr);
  ~frmMainWindow() override;

  // frmMain::View
  frmMain::ComboBox& Combo(frmMain::List list) override { return *combos_[list]; }
  double Value(frmMain::Box box) const override;
  void Value(frmMain::Box box, double value) override;
  void Min(frmMain::Box box, double value) override;
  void Max(frmMain::Box box, double value) override;
  bool ValidateUnitControls() override;
  void LoadUnits() override;
  void RefreshUnits() override;
  std::string ChillerNumText() const override;
  void ChillerNumText(const std::string& text) override;
  void Caption(const std::string& text) override;
  void ProgramLabels(const std::string& name, const std::string& version) override;
  void StatusText(const std::string& text) override;
  void Repaint() override { update(); }
  bool NormalState() const override;
  void WindowRect(int& left, int& top, int& width, int& height) const override;
  void ShowCustomerInfo() override;
  void ShowUserInfo() override;
  bool ShowPreferences() override;
  std::string ShowOpenDialog(const std::string& title, const std::string& filter, const std::string& initDir) override;
  std::string ShowSaveDialog(const std::string& title, const std::string& filter, const std::string& initDir) override;
  void CloseOtherWindows() override;
  bool ShowReportOptions() override;
  void ShowWait(frmWait& wait) override;
  frmMain::ReportRun ShowReportViewer(int16_t reportType) override;

  // Called with the report viewer window before it is shown (tests drive it from here).
  std::function<void(class frmReportWindow&, class frmReport&)> onReportViewer;

  // The controls, for the window's tests.
  csQuillet* unitBox(frmMain::Box box) const { return boxes_[box]; }
  QComboBox* comboBox(frmMain::List list) const { return combos_[list]->widget(); }
  QLineEdit* chillerNumBox() const { return txtChillerNum_; }
  frmMain& form() { return form_; }

  // A Qt file-dialog filter ("Kestrin Files (*.vxn)") from the program's "text|pattern" form.
  static QString QtFilter(const std::string& filter);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  QWidget* BuildHeader();
  QWidget* BuildInputs();
  QWidget* BuildButtons();
  // A command of the logic, run on the user's action.
  using Handler = std::function<void(frmMain&)>;
  QComboBox* NewCombo(frmMain::List list, const char* name, Handler handler);
  csQuillet* NewUnitBox(frmMain::Box box, const char* name, long units, const char* formatIP, const char* formatSI,
                        double min, double max, double value, long textWidth);
  QWidget* NewChillerNum();

  frmMain& form_;
  std::array<std::unique_ptr<QtComboBox>, frmMain::kListCount> combos_;
  std::array<csQuillet*, frmMain::kBoxCount> boxes_{};
  QLineEdit* txtChillerNum_ = nullptr;
  QLabel* lblProgramName_ = nullptr;
  QLabel* lblProgramVer_ = nullptr;
  QLabel* statusPanel_ = nullptr;
  bool unloaded_ = false;
};
