// What reaches the settings file before the program ends: confirmed report options, and the
// working folder when Open or Save As moves it. A program that dies later keeps them.
#include <QCheckBox>
#include <QLineEdit>
#include <filesystem>
#include <string>

#include "app/program/Module1.h"
#include "app/program/frmDialogs.h"
#include "app/program/tests/main_fixture.h"
#include "app/storage/modDataIO.h"

namespace {

namespace fs = std::filesystem;
using modDataIO::gProject;
using modDataIO::gSettings;

class SettingsAtOnce : public MainTest {
 protected:
  static SettingsData Stored() {
    SettingsData s;
    EXPECT_TRUE(modDataIO::LoadSettings(Module1::gSettingsFile, s));
    return s;
  }
};

TEST_F(SettingsAtOnce, ConfirmedReportOptionsAreSavedAndCancelledOnesAreNot) {
  gSettings.CoverPage = true;
  gSettings.ExportCSV = false;
  gSettings.SummaryReport = true;
  gProject.ProjectName = "Named Job";  // no question about an unnamed project
  fs::remove(Module1::gSettingsFile);
  {
    frmReportOptions dialog;
    dialog.chkSummary->setChecked(false);
    dialog.cmdCancel_Click();
  }
  EXPECT_FALSE(fs::exists(Module1::gSettingsFile));

  const std::string csv = (TempDir() / "summary.csv").string();
  {
    frmReportOptions dialog;
    dialog.chkCoverPage->setChecked(false);
    dialog.chkSummary->setChecked(false);
    dialog.chkCustomPlvFactors->setChecked(true);
    dialog.chkLoadProfileGraph->setChecked(true);
    dialog.chkExportCSV->setChecked(true);
    dialog.txtCSVFile->setText(QString::fromStdString(csv));
    dialog.cmdOK_Click();
    ASSERT_TRUE(dialog.DialogOK());
  }
  ASSERT_TRUE(fs::exists(Module1::gSettingsFile));
  const SettingsData s = Stored();
  EXPECT_FALSE(s.CoverPage);
  EXPECT_FALSE(s.SummaryReport);
  EXPECT_TRUE(s.CustomPLVFactors);
  EXPECT_TRUE(s.LoadProfileGraph);
  EXPECT_TRUE(s.ExportCSV);
  EXPECT_EQ(s.CSVFilePath, csv);
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(SettingsAtOnce, WorkingFolderMovedByOpenOrSaveAsIsSaved) {
  const fs::path jobs = TempDir() / "jobs";
  const fs::path archive = TempDir() / "archive";
  fs::create_directories(jobs);
  fs::create_directories(archive);
  ProjectData other;
  modDataIO::InitProject(other);
  other.ProjectName = "Houston Job";
  const std::string opened = (jobs / "houston.vxn").string();
  ASSERT_TRUE(modDataIO::SaveProject(opened, other));
  fs::remove(Module1::gSettingsFile);

  TestWindow& w = OpenWindow();
  w.openAnswers = {opened};
  w.form().mnuFileOpen_Click();
  ASSERT_EQ(modDataIO::WorkingFolder(), jobs.string() + "/");
  ASSERT_TRUE(fs::exists(Module1::gSettingsFile));
  EXPECT_EQ(Stored().WorkingFolder, jobs.string() + "/");

  w.saveAnswers = {(archive / "houston.vxn").string()};
  w.form().mnuFileSaveAs_Click();
  ASSERT_EQ(modDataIO::WorkingFolder(), archive.string() + "/");
  EXPECT_EQ(Stored().WorkingFolder, archive.string() + "/");

  // Saved again in the same folder: the settings file is not rewritten.
  fs::remove(Module1::gSettingsFile);
  w.saveAnswers = {(archive / "second.vxn").string()};
  w.form().mnuFileSaveAs_Click();
  EXPECT_FALSE(fs::exists(Module1::gSettingsFile));
  EXPECT_TRUE(host_.messages.empty());
}

}  // namespace
