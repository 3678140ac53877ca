// The four modal dialogs of the main window: user info and preferences (settings), customer
// info (project) and report options (settings, and the gate of the report run).
//
// Each dialog fills its controls from the record when it is built (Form_Load), writes back
// only in cmdOK_Click and closes on either button; the title-bar close counts as Cancel. The
// opener sets ParentForm, runs exec() and, for frmPreferences and frmReportOptions, reads
// DialogOK afterwards. Tests call the handlers directly instead of exec().
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// What the dialogs share: the parent form reference, and a labelled group of line edits.
class frmDialogBase : public QDialog {
  Q_OBJECT

 public:
  explicit frmDialogBase(QWidget* parent);
  void ParentForm(QWidget* form) { m_ParentForm = form; }
  QWidget* ParentForm() const { return m_ParentForm; }
  virtual void cmdOK_Click() = 0;
  void cmdCancel_Click() { reject(); }

 protected:
  // A line edit named `name` with its caption in the grid of `group`.
  QLineEdit* AddTextRow(QWidget* group, const char* name, const char* caption);
  // OK and Cancel at the bottom right of the dialog's layout.
  void AddOkCancel(const char* okText = "OK");

  QPushButton* cmdOK = nullptr;
  QPushButton* cmdCancel = nullptr;

 private:
  QWidget* m_ParentForm = nullptr;
};

class frmUserInfo : public frmDialogBase {
  Q_OBJECT

 public:
  explicit frmUserInfo(QWidget* parent = nullptr);
  void Form_Load();
  // The trimmed texts into the settings' user fields.
  void cmdOK_Click() override;

  QLineEdit *txtUserName, *txtOfficeName, *txtEmail, *txtPhone;
};

class frmCustomerInfo : public frmDialogBase {
  Q_OBJECT

 public:
  explicit frmCustomerInfo(QWidget* parent = nullptr);
  void Form_Load();
  // The trimmed texts into the project; the main window's caption follows the project name and
  // the project counts as changed (also when nothing was edited).
  void cmdOK_Click() override;

  QLineEdit *txtProjectName, *txtCustomerName, *txtContactName, *txtAddress, *txtEmail, *txtPhone;
};

class frmPreferences : public frmDialogBase {
  Q_OBJECT

 public:
  explicit frmPreferences(QWidget* parent = nullptr);
  // English for unit type 0, Metric for any other value.
  void Form_Load();
  // Unit type 0 for English, 1 for Metric.
  void cmdOK_Click() override;
  bool DialogOK() const { return m_DialogOK; }

  QRadioButton *optEnglish, *optMetric;

 private:
  bool m_DialogOK = false;
};

class frmReportOptions : public frmDialogBase {
  Q_OBJECT

 public:
  static constexpr const char* kCsvWarning =
      "You selected export CSV, but did not specify a CSV file for the export. Please specify a "
      "file for export";
  static constexpr const char* kUntitledQuestion =
      "The project name is set to 'untitled'. Do you want to change the project name before "
      "proceeding?";
  static constexpr long kHelpContextId = 31010;

  explicit frmReportOptions(QWidget* parent = nullptr);
  void Form_Load();
  void chkCoverPage_Click();
  void chkExportCSV_Click();
  void cmdBrowse_Click();
  void cmdHelp_Click();
  // Warns and stays open when export is asked without a file or with a path the CSV may not
  // take (frmMain::CsvRefusal); asks before a typed path that the settings did not hold
  // replaces an existing file (No stays open); asks about an unnamed project when a cover
  // page is asked; then stores the options and closes with DialogOK.
  void cmdOK_Click() override;
  bool DialogOK() const { return m_DialogOK; }

  // The rules of Generate Report.
  static bool NeedsCsvFile(bool exportChecked, const std::string& csvPath);
  static bool NeedsProjectName(bool coverPageChecked, const std::string& projectName);

  // How the dialog opens the customer dialog and the CSV save dialog; tests replace them.
  std::function<void(QWidget* parent)> showCustomerInfo;
  std::function<std::string(QWidget* parent)> chooseCsvFile;

  QCheckBox *chkCoverPage, *chkLogo, *chkSummary, *chkCustomPlvFactors, *chkLoadProfileGraph, *chkExportCSV;
  QLineEdit* txtCSVFile;
  QPushButton *cmdBrowse, *cmdHelp;

 private:
  bool m_DialogOK = false;
  // The file last chosen with Browse..., whose save dialog asked before replacing it.
  std::string m_BrowsedCsvFile;
};
