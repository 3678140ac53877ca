// The summary CSV of the Reports command where it must not or cannot be written: a path in
// the program folder (typed in the report options, or held by a settings file) is refused
// with one message and nothing in the folder changes; a calculation that cannot be set up
// says that the CSV asked for was not written.
#include <QCheckBox>
#include <QLineEdit>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/program/frmDialogs.h"
#include "app/program/tests/main_fixture.h"
#include "app/program/tests/reports_command.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"

namespace {

namespace fs = std::filesystem;
using modDataIO::gProject;
using modDataIO::gSettings;
using programtest::ReportsCommand;

// An installed program folder that the user may write (as a program installed in the home
// folder is): shipped files under their own names, and a link elsewhere to one of them.
class CsvInProgramFolder : public ReportsCommand {
 protected:
  void SetUp() override {
    ReportsCommand::SetUp();
    program_ = TempDir() / "program";
    fs::create_directories(program_);
    for (const char* shipped : {"ECO.DAT", "Sample.vxn"})
      fs::copy_file(fs::path(KESTRIN_PROGRAM_DIR) / shipped, program_ / shipped);
    fs::create_symlink(program_ / "ECO.DAT", TempDir() / "linked.csv");
    previous_ = modpublic::gAppPath;
    modpublic::gAppPath = program_.string() + "/";
    before_ = FolderDigest(program_);
  }
  void TearDown() override {
    modpublic::gAppPath = previous_;
    ReportsCommand::TearDown();
  }
  // A shipped file's name, a new name, and the link.
  std::vector<std::string> Paths() const {
    return {(program_ / "ECO.DAT").string(), (program_ / "new.csv").string(), (TempDir() / "linked.csv").string()};
  }
  std::string Refusal(const std::string& path) const {
    return "The summary CSV file " + path + " is in the program folder " + program_.string() +
           ", which holds the program's own files: nothing is written there.\nChoose a CSV file in another folder.";
  }

  fs::path program_;
  std::string previous_;
  std::map<std::string, std::string> before_;
};

// OK refuses the path with one message naming the file and why; the dialog stays open and the
// settings keep their CSV file.
TEST_F(CsvInProgramFolder, ReportOptionsRefuseItAndStayOpen) {
  for (const std::string& path : Paths()) {
    SCOPED_TRACE(path);
    host_.messages.clear();
    gSettings.ExportCSV = false;
    gSettings.CSVFilePath = Out("kept.csv");
    frmReportOptions dialog;
    dialog.show();
    dialog.chkExportCSV->setChecked(true);
    dialog.txtCSVFile->setText(QString::fromStdString(path));
    dialog.cmdOK_Click();
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text, Refusal(path));
    EXPECT_EQ(host_.messages[0].style, ui::kExclamation);
    EXPECT_FALSE(dialog.DialogOK());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(gSettings.CSVFilePath, Out("kept.csv"));
    EXPECT_FALSE(gSettings.ExportCSV);
    if (path == Paths().front()) RenderMessage(host_.messages[0], dialog, "report_options_csv_in_program_folder");
  }
  EXPECT_EQ(FolderDigest(program_), before_);
}

// A settings file edited by hand to hold such a path: the Reports command's options refuse it
// (one message, no run), and the export itself refuses it with the same message.
TEST_F(CsvInProgramFolder, ASettingsFileHoldingItIsRefusedAtTheOptionsAndAtTheExport) {
  for (const std::string& path : Paths()) {
    SCOPED_TRACE(path);
    SettingsData edited;
    modDataIO::InitSettings(edited);
    edited.ExportCSV = true;
    edited.CSVFilePath = path;
    const std::string file = Out("GlobalSettings.xml");
    ASSERT_TRUE(modDataIO::SaveSettings(file, edited));
    ASSERT_TRUE(modDataIO::LoadSettings(file, gSettings));
    host_.messages.clear();
    window->optionsShown = 0;
    window->csvPath = gSettings.CSVFilePath;
    window->form().cmdReport_Click();
    EXPECT_EQ(window->optionsShown, 1);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text, Refusal(path));

    gProject.ChillerNumber = 2;
    EXPECT_FALSE(modDataIO::ExportCSV(gSettings.CSVFilePath, gProject, gProject.WeightingFactor, gProject.ECWT));
    ASSERT_EQ(host_.messages.size(), 2u);
    EXPECT_EQ(host_.messages[1].text, Refusal(path));
  }
  EXPECT_EQ(FolderDigest(program_), before_);
}

// A scratch record the set-up cannot write or read (WTH.DAT, RPT.DAT) stops the command after
// its own box; a second box says that the CSV asked for was not written, and why.
TEST_F(ReportsCommand, ACalculationThatCannotBeSetUpSaysTheCsvWasNotWritten) {
  for (const char* file : {"WTH.DAT", "RPT.DAT"}) {
    SCOPED_TRACE(file);
    host_.messages.clear();
    const std::string blocked = modDataIO::DataFolder() + file;
    fs::rename(blocked, blocked + ".kept");
    fs::create_directories(blocked);
    window->form().cmdReport_Click();
    fs::remove(blocked);
    fs::rename(blocked + ".kept", blocked);
    std::string boxes;
    for (const auto& m : host_.messages) boxes += m.title + ": " + m.text + "\n";
    ASSERT_EQ(host_.messages.size(), 2u) << boxes;
    EXPECT_NE(host_.messages[0].text.find(blocked), std::string::npos) << boxes;
    EXPECT_EQ(host_.messages[1].text,
              modDataIO::CsvNotWrittenMessage(window->csvPath,
                                              "the calculation's input could not be stored in the scratch folder"));
    EXPECT_FALSE(fs::exists(window->csvPath));
  }
}

}  // namespace
