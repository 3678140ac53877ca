// The Reports command's tests: the main window with the report options dialog answered (every
// section the dialog offers ticked, or as asked; the CSV exported to the test's folder; OK or
// Cancel), on a fresh start-up with the project "Default Plant".
#pragma once

#include <QCheckBox>
#include <QLineEdit>

#include <filesystem>
#include <memory>
#include <string>

#include "app/program/frmDialogs.h"
#include "app/program/tests/main_fixture.h"
#include "app/storage/modDataIO.h"

namespace programtest {

class ReportsWindow : public TestWindow {
 public:
  using TestWindow::TestWindow;
  bool optionsOK = true;
  bool allSections = true;
  std::string csvPath;
  int optionsShown = 0;
  bool ShowReportOptions() override {
    ++optionsShown;
    frmReportOptions dialog;
    dialog.ParentForm(this);
    for (QCheckBox* c : {dialog.chkCoverPage, dialog.chkLogo, dialog.chkSummary, dialog.chkCustomPlvFactors,
                         dialog.chkLoadProfileGraph})
      c->setChecked(allSections);
    dialog.chkExportCSV->setChecked(true);
    dialog.txtCSVFile->setText(QString::fromStdString(csvPath));
    if (optionsOK)
      dialog.cmdOK_Click();
    else
      dialog.cmdCancel_Click();
    return dialog.DialogOK();
  }
};

class ReportsCommand : public MainTest {
 protected:
  void SetUp() override {
    MainTest::SetUp();
    modDataIO::gProject.ProjectName = "Default Plant";
    window = std::make_unique<ReportsWindow>(form_);
    window->csvPath = (TempDir() / "summary.csv").string();
  }
  void TearDown() override {
    window.reset();
    MainTest::TearDown();
  }
  std::string Out(const std::string& name) const { return (TempDir() / name).string(); }
  std::unique_ptr<ReportsWindow> window;
};

}  // namespace programtest
