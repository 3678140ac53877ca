#include "app/program/frmDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <filesystem>

#include "app/program/Module1.h"
#include "app/program/frmMain.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "libs/vb/vberror.h"
#include "platform/ui/ui.h"

using modDataIO::gProject;
using modDataIO::gSettings;

namespace {

// The longest name, contact or address text a project or settings file takes back.
constexpr int kMaxTextChars = 255;

std::string Trimmed(const QLineEdit* box) { return vb::Trim(box->text().toStdString()); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

QGroupBox* NewGroup(QDialog* dialog, const char* name, const char* title) {
  auto* group = new QGroupBox(QString::fromUtf8(title), dialog);
  group->setObjectName(QString::fromUtf8(name));
  new QGridLayout(group);
  dialog->layout()->addWidget(group);
  return group;
}

}  // namespace

// ---- shared -----------------------------------------------------------------------------------

frmDialogBase::frmDialogBase(QWidget* parent) : QDialog(parent) {
  setModal(true);
  new QVBoxLayout(this);
}

QLineEdit* frmDialogBase::AddTextRow(QWidget* group, const char* name, const char* caption) {
  auto* grid = static_cast<QGridLayout*>(group->layout());
  auto* box = new QLineEdit(group);
  box->setObjectName(QString::fromUtf8(name));
  box->setMinimumWidth(260);
  box->setMaxLength(kMaxTextChars);
  auto* label = new QLabel(QString::fromUtf8(caption), group);
  label->setBuddy(box);
  const int row = grid->rowCount();
  grid->addWidget(label, row, 0);
  grid->addWidget(box, row, 1);
  return box;
}

void frmDialogBase::AddOkCancel(const char* okText) {
  auto* buttons = new QDialogButtonBox(this);
  cmdOK = buttons->addButton(QString::fromUtf8(okText), QDialogButtonBox::AcceptRole);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  cmdCancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
  connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
  layout()->addWidget(buttons);
}

// ---- user info ----------------------------------------------------------------------------------

frmUserInfo::frmUserInfo(QWidget* parent) : frmDialogBase(parent) {
  setObjectName(QStringLiteral("frmUserInfo"));
  setWindowTitle(QStringLiteral("Sales Engineer Contact Information"));
  QGroupBox* group = NewGroup(this, "fraContact", "Contact Information");
  txtUserName = AddTextRow(group, "txtUserName", "Sales Engineer:");
  txtOfficeName = AddTextRow(group, "txtOfficeName", "Representing:");
  txtEmail = AddTextRow(group, "txtEmail", "Email:");
  txtPhone = AddTextRow(group, "txtPhone", "Phone:");
  AddOkCancel();
  Form_Load();
}

void frmUserInfo::Form_Load() {
  txtUserName->setText(Q(gSettings.UserName));
  txtOfficeName->setText(Q(gSettings.OfficeName));
  txtEmail->setText(Q(gSettings.UserEmail));
  txtPhone->setText(Q(gSettings.UserPhone));
}

// A confirmed dialog's settings go to the settings file at once, so that a crash later in the
// session does not lose them (they are written again at exit).
static void StoreSettings() { modDataIO::SaveSettings(Module1::gSettingsFile, gSettings); }

void frmUserInfo::cmdOK_Click() {
  gSettings.UserName = Trimmed(txtUserName);
  gSettings.OfficeName = Trimmed(txtOfficeName);
  gSettings.UserEmail = Trimmed(txtEmail);
  gSettings.UserPhone = Trimmed(txtPhone);
  StoreSettings();
  accept();
}

// ---- customer info --------------------------------------------------------------------------------

frmCustomerInfo::frmCustomerInfo(QWidget* parent) : frmDialogBase(parent) {
  setObjectName(QStringLiteral("frmCustomerInfo"));
  setWindowTitle(QStringLiteral("Customer Detailed Information"));
  QGroupBox* group = NewGroup(this, "fraCustomer", "Customer Information");
  txtProjectName = AddTextRow(group, "txtProjectName", "Project Name:");
  txtCustomerName = AddTextRow(group, "txtCustomerName", "Customer Name:");
  txtContactName = AddTextRow(group, "txtContactName", "Contact Name:");
  txtAddress = AddTextRow(group, "txtAddress", "Address:");
  txtEmail = AddTextRow(group, "txtEmail", "Email:");
  txtPhone = AddTextRow(group, "txtPhone", "Phone:");
  AddOkCancel();
  Form_Load();
}

void frmCustomerInfo::Form_Load() {
  txtProjectName->setText(Q(gProject.ProjectName));
  txtCustomerName->setText(Q(gProject.ClientName));
  txtContactName->setText(Q(gProject.ContactName));
  txtAddress->setText(Q(gProject.ContactAddress));
  txtEmail->setText(Q(gProject.ContactEmail));
  txtPhone->setText(Q(gProject.ContactPhone));
}

void frmCustomerInfo::cmdOK_Click() {
  gProject.ClientName = Trimmed(txtCustomerName);
  gProject.ContactName = Trimmed(txtContactName);
  gProject.ContactAddress = Trimmed(txtAddress);
  gProject.ContactEmail = Trimmed(txtEmail);
  gProject.ContactPhone = Trimmed(txtPhone);
  gProject.ProjectName = Trimmed(txtProjectName);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == QLatin1String("frmMain")) w->setWindowTitle(Q(frmMain::MainCaption(gProject.ProjectName)));
  }
  Module1::gProjectChanged = true;
  accept();
}

// ---- preferences ------------------------------------------------------------------------------------

frmPreferences::frmPreferences(QWidget* parent) : frmDialogBase(parent) {
  setObjectName(QStringLiteral("frmPreferences"));
  setWindowTitle(QStringLiteral("Preferences"));
  auto* group = new QGroupBox(QStringLiteral("Measurement Units"), this);
  group->setObjectName(QStringLiteral("fraUnits"));
  auto* column = new QVBoxLayout(group);
  optEnglish = new QRadioButton(QStringLiteral("English"), group);
  optEnglish->setObjectName(QStringLiteral("optEnglish"));
  optMetric = new QRadioButton(QStringLiteral("Metric"), group);
  optMetric->setObjectName(QStringLiteral("optMetric"));
  column->addWidget(optEnglish);
  column->addWidget(optMetric);
  layout()->addWidget(group);
  AddOkCancel();
  setMinimumWidth(260);
  Form_Load();
}

void frmPreferences::Form_Load() {
  m_DialogOK = false;
  (gSettings.UnitType == 0 ? optEnglish : optMetric)->setChecked(true);
}

void frmPreferences::cmdOK_Click() {
  gSettings.UnitType = optEnglish->isChecked() ? 0 : 1;
  StoreSettings();
  m_DialogOK = true;
  accept();
}

// ---- report options ------------------------------------------------------------------------------------

frmReportOptions::frmReportOptions(QWidget* parent) : frmDialogBase(parent) {
  setObjectName(QStringLiteral("frmReportOptions"));
  setWindowTitle(QStringLiteral("Calculation Reports"));
  auto* group = new QGroupBox(QStringLiteral("Reports"), this);
  group->setObjectName(QStringLiteral("fraReports"));
  auto* column = new QVBoxLayout(group);
  auto check = [&](const char* name, const char* text, int indent = 0) {
    auto* box = new QCheckBox(QString::fromUtf8(text), group);
    box->setObjectName(QString::fromUtf8(name));
    if (indent > 0) {
      auto* row = new QHBoxLayout();
      row->addSpacing(indent);
      row->addWidget(box);
      column->addLayout(row);
    } else {
      column->addWidget(box);
    }
    return box;
  };
  chkCoverPage = check("chkCoverPage", "Cover Page");
  chkLogo = check("chkLogo", "With Tolvane Logo", 24);
  chkSummary = check("chkSummary", "Summary of Weighting Factors and ECWTs");
  chkCustomPlvFactors = check("chkCustomPlvFactors", "Custom PLV Factors");
  chkLoadProfileGraph = check("chkLoadProfileGraph", "System Load Profiles Graph");
  layout()->addWidget(group);

  auto* exportGroup = new QGroupBox(QStringLiteral("Summary Results"), this);
  exportGroup->setObjectName(QStringLiteral("fraExport"));
  auto* exportColumn = new QVBoxLayout(exportGroup);
  chkExportCSV = new QCheckBox(QStringLiteral("Export summary results to a CSV file"), exportGroup);
  chkExportCSV->setObjectName(QStringLiteral("chkExportCSV"));
  auto* fileRow = new QHBoxLayout();
  txtCSVFile = new QLineEdit(exportGroup);
  txtCSVFile->setObjectName(QStringLiteral("txtCSVFile"));
  txtCSVFile->setMinimumWidth(320);
  cmdBrowse = new QPushButton(QStringLiteral("Browse..."), exportGroup);
  cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
  fileRow->addWidget(txtCSVFile, 1);
  fileRow->addWidget(cmdBrowse);
  exportColumn->addWidget(chkExportCSV);
  exportColumn->addLayout(fileRow);
  layout()->addWidget(exportGroup);

  auto* buttons = new QHBoxLayout();
  cmdHelp = new QPushButton(QStringLiteral("Help"), this);
  cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
  buttons->addWidget(cmdHelp);
  buttons->addStretch(1);
  static_cast<QVBoxLayout*>(layout())->addLayout(buttons);
  AddOkCancel("Generate Report");
  // Help sits on the same row as Generate Report and Cancel.
  QWidget* box = cmdOK->parentWidget();
  layout()->removeWidget(box);
  buttons->addWidget(box);

  connect(chkCoverPage, &QCheckBox::clicked, this, [this] { chkCoverPage_Click(); });
  connect(chkExportCSV, &QCheckBox::clicked, this, [this] { chkExportCSV_Click(); });
  connect(cmdBrowse, &QPushButton::clicked, this, [this] { cmdBrowse_Click(); });
  connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });

  showCustomerInfo = [](QWidget* parentForm) {
    frmCustomerInfo dialog(parentForm);
    dialog.ParentForm(parentForm);
    dialog.exec();
  };
  chooseCsvFile = [](QWidget* parentForm) {
    return QFileDialog::getSaveFileName(parentForm, QStringLiteral("Export Summary Results ..."), QString(),
                                        QStringLiteral("CSV Files (*.csv)"))
        .toStdString();
  };
  Form_Load();
}

void frmReportOptions::Form_Load() {
  m_DialogOK = false;
  txtCSVFile->setText(Q(gSettings.CSVFilePath));
  chkSummary->setChecked(gSettings.SummaryReport);
  chkCoverPage->setChecked(gSettings.CoverPage);
  chkLogo->setChecked(gSettings.ShowLogo);
  chkCustomPlvFactors->setChecked(gSettings.CustomPLVFactors);
  chkLoadProfileGraph->setChecked(gSettings.LoadProfileGraph);
  chkExportCSV->setChecked(gSettings.ExportCSV);
  chkLogo->setEnabled(gSettings.CoverPage);
  cmdBrowse->setEnabled(gSettings.ExportCSV);
}

void frmReportOptions::chkCoverPage_Click() { chkLogo->setEnabled(chkCoverPage->isChecked()); }

void frmReportOptions::chkExportCSV_Click() { cmdBrowse->setEnabled(chkExportCSV->isChecked()); }

void frmReportOptions::cmdBrowse_Click() {
  const std::string chosen = chooseCsvFile(this);
  if (!chosen.empty()) {
    txtCSVFile->setText(Q(chosen));
    m_BrowsedCsvFile = chosen;  // the save dialog has asked about replacing it
  }
}

void frmReportOptions::cmdHelp_Click() {
  try {
    modpublic::ShowHelpTopic(0, kHelpContextId);
  } catch (const std::exception& e) {
    vb::NoteIgnoredError("frmReportOptions::cmdHelp_Click", e);  // no help is no reason to fail
  }
}

bool frmReportOptions::NeedsCsvFile(bool exportChecked, const std::string& csvPath) {
  return exportChecked && vb::Trim(csvPath).empty();
}

bool frmReportOptions::NeedsProjectName(bool coverPageChecked, const std::string& projectName) {
  const std::string name = vb::Trim(projectName);
  return coverPageChecked && (name.empty() || vb::LCase(name) == modDataIO::gDefaultProjectName);
}

void frmReportOptions::cmdOK_Click() {
  if (NeedsCsvFile(chkExportCSV->isChecked(), txtCSVFile->text().toStdString())) {
    ui::host().messageBox(kCsvWarning, ui::kExclamation, "");
    return;
  }
  // A path the CSV may not take (the program folder, a folder, the program's own files) is
  // said here, while another file can still be chosen; a typed name of an existing file is
  // asked about as the save dialog asks.
  if (chkExportCSV->isChecked()) {
    const std::string path = txtCSVFile->text().toStdString();
    const std::string refusal = frmMain::CsvRefusal(path);
    if (!refusal.empty()) {
      ui::host().messageBox(refusal, ui::kExclamation, "");
      return;
    }
    std::error_code ec;
    if (path != gSettings.CSVFilePath && path != m_BrowsedCsvFile && std::filesystem::exists(path, ec) &&
        !modpublic::ReplaceConfirmed(path))
      return;
  }
  if (NeedsProjectName(chkCoverPage->isChecked(), gProject.ProjectName)) {
    if (ui::host().messageBox(kUntitledQuestion, ui::kYesNo | ui::kExclamation, "") == ui::kYes) {
      showCustomerInfo(this);
    }
  }
  m_DialogOK = true;
  gSettings.CSVFilePath = txtCSVFile->text().toStdString();
  gSettings.SummaryReport = chkSummary->isChecked();
  gSettings.CoverPage = chkCoverPage->isChecked();
  gSettings.ShowLogo = chkLogo->isChecked();
  gSettings.CustomPLVFactors = chkCustomPlvFactors->isChecked();
  gSettings.LoadProfileGraph = chkLoadProfileGraph->isChecked();
  gSettings.ExportCSV = chkExportCSV->isChecked();
  StoreSettings();
  accept();
}
