// The dialogs driven through their handlers (no modal loop): what OK stores, what Cancel
// leaves, the report options' rules, and the splash window. Each is also rendered to a PNG.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/program/Module1.h"
#include "app/program/frmDialogs.h"
#include "app/program/frmSplash.h"
#include "app/storage/modDataIO.h"
#include "app/program/tests/main_fixture.h"
#include "kestrin_version.h"

namespace {

using modDataIO::gProject;
using modDataIO::gSettings;
using Module1::gProjectChanged;

class Dialogs : public MainTest {};

TEST_F(Dialogs, UserInfoOkStoresTrimmedTextsAndCancelNothing) {
  gSettings.UserName = "Old Name";
  {
    frmUserInfo dialog;
    EXPECT_EQ(dialog.windowTitle(), "Sales Engineer Contact Information");
    EXPECT_EQ(dialog.txtUserName->text(), "Old Name");
    dialog.txtUserName->setText("  New Name ");
    dialog.txtOfficeName->setText("");
    dialog.txtEmail->setText(" a@b.example ");
    dialog.txtPhone->setText("555 0100");
    RenderToPng(dialog, "dialog_user_info");
    dialog.findChild<QPushButton*>("cmdOK")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
  EXPECT_EQ(gSettings.UserName, "New Name");
  EXPECT_EQ(gSettings.OfficeName, "");
  EXPECT_EQ(gSettings.UserEmail, "a@b.example");
  EXPECT_EQ(gSettings.UserPhone, "555 0100");

  frmUserInfo cancelled;
  cancelled.txtUserName->setText("Other");
  cancelled.findChild<QPushButton*>("cmdCancel")->click();
  EXPECT_EQ(cancelled.result(), QDialog::Rejected);
  EXPECT_EQ(gSettings.UserName, "New Name");
}

TEST_F(Dialogs, CustomerInfoOkMarksTheProjectChangedEvenWithoutEditsAndRenamesTheWindow) {
  TestWindow& w = OpenWindow();
  w.show();
  {
    frmCustomerInfo dialog(&w);
    EXPECT_EQ(dialog.txtProjectName->text(), "untitled");
    RenderToPng(dialog, "dialog_customer_info");
    dialog.cmdOK_Click();
  }
  EXPECT_TRUE(gProjectChanged);
  gProjectChanged = false;
  {
    frmCustomerInfo dialog(&w);
    dialog.txtProjectName->setText(" Riverside Tower ");
    dialog.txtCustomerName->setText(" Riverside LLC");
    dialog.txtAddress->setText("1 River Rd ");
    dialog.cmdOK_Click();
  }
  EXPECT_EQ(gProject.ProjectName, "Riverside Tower");
  EXPECT_EQ(gProject.ClientName, "Riverside LLC");
  EXPECT_EQ(gProject.ContactAddress, "1 River Rd");
  EXPECT_EQ(w.windowTitle().toStdString(), frmMain::MainCaption("Riverside Tower"));
  EXPECT_TRUE(gProjectChanged);

  gProjectChanged = false;
  frmCustomerInfo cancelled(&w);
  cancelled.txtProjectName->setText("Other");
  cancelled.cmdCancel_Click();
  EXPECT_EQ(gProject.ProjectName, "Riverside Tower");
  EXPECT_FALSE(gProjectChanged);

  // A pasted 900 KB name is cut to what the project file takes back.
  frmCustomerInfo pasted(&w);
  pasted.txtProjectName->setText(QString(900 * 1024, QChar('n')));
  pasted.cmdOK_Click();
  EXPECT_EQ(gProject.ProjectName, std::string(255, 'n'));
}

TEST_F(Dialogs, PreferencesShowAnyNonZeroUnitTypeAsMetricAndStoreZeroOrOne) {
  gSettings.UnitType = 5;
  {
    frmPreferences dialog;
    EXPECT_TRUE(dialog.optMetric->isChecked());
    EXPECT_FALSE(dialog.DialogOK());
    RenderToPng(dialog, "dialog_preferences");
    dialog.cmdOK_Click();
    EXPECT_TRUE(dialog.DialogOK());
  }
  EXPECT_EQ(gSettings.UnitType, 1);
  {
    frmPreferences dialog;
    dialog.optEnglish->setChecked(true);
    dialog.cmdOK_Click();
  }
  EXPECT_EQ(gSettings.UnitType, 0);
  frmPreferences cancelled;
  cancelled.optMetric->setChecked(true);
  cancelled.cmdCancel_Click();
  EXPECT_FALSE(cancelled.DialogOK());
  EXPECT_EQ(gSettings.UnitType, 0);
}

// What was confirmed in User Info or Preferences is in the settings file before the program
// ends; Cancel writes nothing.
TEST_F(Dialogs, ConfirmedUserInfoAndPreferencesAreSavedAtOnce) {
  auto stored = [] {
    SettingsData s;
    EXPECT_TRUE(modDataIO::LoadSettings(Module1::gSettingsFile, s));
    return s;
  };
  std::filesystem::remove(Module1::gSettingsFile);
  {
    frmUserInfo dialog;
    dialog.txtUserName->setText("Cancelled Name");
    dialog.cmdCancel_Click();
  }
  EXPECT_FALSE(std::filesystem::exists(Module1::gSettingsFile));
  {
    frmUserInfo dialog;
    dialog.txtUserName->setText(" Saved Name ");
    dialog.cmdOK_Click();
  }
  EXPECT_EQ(stored().UserName, "Saved Name");
  {
    frmPreferences dialog;
    dialog.optMetric->setChecked(true);
    dialog.cmdOK_Click();
  }
  const SettingsData s = stored();
  EXPECT_EQ(s.UnitType, 1);
  EXPECT_EQ(s.UserName, "Saved Name");
  EXPECT_TRUE(host_.messages.empty());
}

TEST(ReportOptionRules, CsvFileAndProjectNameTables) {
  EXPECT_TRUE(frmReportOptions::NeedsCsvFile(true, ""));
  EXPECT_TRUE(frmReportOptions::NeedsCsvFile(true, "   "));
  EXPECT_FALSE(frmReportOptions::NeedsCsvFile(true, " out.csv"));
  EXPECT_FALSE(frmReportOptions::NeedsCsvFile(false, ""));
  for (const char* unnamed : {"untitled", "UnTitled", "  untitled ", "", "   "}) {
    EXPECT_TRUE(frmReportOptions::NeedsProjectName(true, unnamed)) << '"' << unnamed << '"';
    EXPECT_FALSE(frmReportOptions::NeedsProjectName(false, unnamed));
  }
  EXPECT_FALSE(frmReportOptions::NeedsProjectName(true, "untitled 2"));
}

TEST_F(Dialogs, ReportOptionsLoadTheSettingsAndCoupleTheirControls) {
  gSettings.CoverPage = false;
  gSettings.ShowLogo = true;
  gSettings.ExportCSV = false;
  gSettings.CSVFilePath = "/w/CPLVSummaryResults.csv";
  frmReportOptions dialog;
  EXPECT_FALSE(dialog.chkLogo->isEnabled());
  EXPECT_TRUE(dialog.chkLogo->isChecked());
  EXPECT_FALSE(dialog.cmdBrowse->isEnabled());
  EXPECT_TRUE(dialog.txtCSVFile->isEnabled());
  dialog.chkCoverPage->click();
  EXPECT_TRUE(dialog.chkLogo->isEnabled());
  dialog.chkExportCSV->click();
  EXPECT_TRUE(dialog.cmdBrowse->isEnabled());
  dialog.chooseCsvFile = [](QWidget*) { return std::string("/w/chosen.csv"); };
  dialog.cmdBrowse->click();
  EXPECT_EQ(dialog.txtCSVFile->text(), "/w/chosen.csv");
  RenderToPng(dialog, "dialog_report_options");
}

TEST_F(Dialogs, ReportOptionsWarnAboutAMissingCsvFileAndStayOpen) {
  gSettings.ExportCSV = true;
  gSettings.CSVFilePath = "old.csv";
  frmReportOptions dialog;
  dialog.show();
  dialog.txtCSVFile->setText("   ");
  dialog.cmdOK_Click();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, frmReportOptions::kCsvWarning);
  EXPECT_EQ(host_.messages[0].style, ui::kExclamation);
  EXPECT_FALSE(dialog.DialogOK());
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(gSettings.CSVFilePath, "old.csv");
}

TEST_F(Dialogs, ReportOptionsAskAboutAnUnnamedProjectAndStoreTheOptions) {
  gSettings.CoverPage = true;
  gSettings.ExportCSV = false;
  gProject.ProjectName = "Untitled";
  frmReportOptions dialog;
  int customerShown = 0;
  dialog.showCustomerInfo = [&](QWidget* parent) {
    EXPECT_EQ(parent, &dialog);
    ++customerShown;
  };
  dialog.chkCoverPage->click();  // off: the logo box keeps its state
  dialog.chkCoverPage->click();  // on again
  dialog.chkSummary->setChecked(false);
  dialog.chkCustomPlvFactors->setChecked(true);
  dialog.txtCSVFile->setText(" spaced.csv ");
  host_.answers = {ui::kYes};
  dialog.cmdOK_Click();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, frmReportOptions::kUntitledQuestion);
  EXPECT_EQ(customerShown, 1);
  EXPECT_TRUE(dialog.DialogOK());
  EXPECT_EQ(gSettings.CSVFilePath, " spaced.csv ");  // stored as typed
  EXPECT_FALSE(gSettings.SummaryReport);
  EXPECT_TRUE(gSettings.CustomPLVFactors);
  EXPECT_TRUE(gSettings.CoverPage);

  // Answered No: goes on without the customer dialog.
  frmReportOptions again;
  again.showCustomerInfo = [&](QWidget*) { ++customerShown; };
  host_.answers = {ui::kNo};
  again.cmdOK_Click();
  EXPECT_EQ(customerShown, 1);
  EXPECT_TRUE(again.DialogOK());
}

TEST_F(Dialogs, ReportOptionsCancelStoresNothing) {
  gSettings.SummaryReport = true;
  gSettings.CSVFilePath = "kept.csv";
  frmReportOptions dialog;
  dialog.chkSummary->setChecked(false);
  dialog.txtCSVFile->setText("other.csv");
  dialog.cmdCancel_Click();
  EXPECT_FALSE(dialog.DialogOK());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_TRUE(gSettings.SummaryReport);
  EXPECT_EQ(gSettings.CSVFilePath, "kept.csv");
}

TEST_F(Dialogs, SplashShowsTitleVersionAndTextsAndClosesOnlyThroughOk) {
  frmSplash splash;
  splash.show();
  EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(splash.findChild<QLabel*>("lblProgramName")->text(), "Tolvane Kestrin");
  EXPECT_EQ(splash.findChild<QLabel*>("lblProgramVer")->text(), "Version " + QString(kestrin::kVersionText));
  EXPECT_FALSE(splash.findChild<QLabel*>("lblDisclaimer")->text().isEmpty());
  EXPECT_FALSE(splash.findChild<QLabel*>("lblWarning")->text().isEmpty());
  RenderToPng(splash, "splash");
  splash.reject();  // Escape
  EXPECT_FALSE(splash.close());
  EXPECT_TRUE(splash.isVisible());
  splash.findChild<QPushButton*>("cmdOK")->click();
  EXPECT_FALSE(splash.isVisible());
  EXPECT_EQ(splash.result(), QDialog::Accepted);
}

}  // namespace
