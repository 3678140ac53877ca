// The summary CSV of the Reports command where it must not or cannot be written: a path in
// the program folder, a folder, or one of the program's own files (typed in the report
// options, or held by a settings file) is refused with one message and nothing changes; a
// typed name of an existing file is asked about; a calculation that cannot be set up says
// that the CSV asked for was not written.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/program/Module1.h"
#include "app/program/frmDialogs.h"
#include "app/program/tests/main_fixture.h"
#include "app/program/tests/reports_command.h"
#include "app/reports/viewer/frmReportWindow.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"

namespace {

namespace fs = std::filesystem;
using modDataIO::gProject;
using modDataIO::gSettings;
using programtest::ReportsCommand;

// The report options shown with the CSV export ticked and `typed` as its file, then OK.
void TypeCsvPathAndOK(frmReportOptions& dialog, const std::string& typed) {
  dialog.show();
  dialog.chkExportCSV->setChecked(true);
  dialog.txtCSVFile->setText(QString::fromStdString(typed));
  dialog.cmdOK_Click();
}

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
    TypeCsvPathAndOK(dialog, path);
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

// A folder typed as the CSV path is refused on OK, named as a folder: the program folder
// (without its trailing slash, or through a link) with the program-folder message; a path
// whose folder does not exist names that folder as missing.
TEST_F(CsvInProgramFolder, ReportOptionsRefuseAFolderOnOK) {
  fs::create_directory_symlink(program_, TempDir() / "program-link");
  fs::create_directory(TempDir() / "reports");
  const std::string link = (TempDir() / "program-link").string(), reports = (TempDir() / "reports").string(),
                    missing = (TempDir() / "missing").string();
  const struct {
    std::string typed, message;
  } rows[] = {
      {program_.string(), Refusal(program_.string() + "/")},
      {link, Refusal(link + "/")},
      {reports, "The summary CSV file " + reports +
                    " is a folder, not a file.\nChoose a CSV file in it or in another "
                    "folder."},
      {missing + "/sub", "The summary CSV file " + missing + "/sub cannot be written: there is no folder " + missing +
                             ".\nChoose a CSV file in an existing folder."},
      {missing + "/sub/x.csv", "The summary CSV file " + missing + "/sub/x.csv cannot be written: there is no folder " +
                                   missing + "/sub.\nChoose a CSV file in an existing folder."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.typed);
    host_.messages.clear();
    gSettings.CSVFilePath = Out("kept.csv");
    frmReportOptions dialog;
    TypeCsvPathAndOK(dialog, row.typed);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text, row.message);
    EXPECT_FALSE(dialog.DialogOK());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(gSettings.CSVFilePath, Out("kept.csv"));
    if (row.typed == reports) RenderMessage(host_.messages[0], dialog, "report_options_csv_is_a_folder");
  }
  EXPECT_EQ(FolderDigest(program_), before_);
  EXPECT_TRUE(fs::is_empty(TempDir() / "reports"));
  EXPECT_FALSE(fs::exists(missing));
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

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The Reports command on a project saved as Plant.vxn in the working folder, with a settings
// file in the data folder.
class CsvOverOwnFiles : public ReportsCommand {
 protected:
  void SetUp() override {
    ReportsCommand::SetUp();
    project_ = Out("Plant.vxn");
    ASSERT_TRUE(modDataIO::SaveProject(project_, gProject));
    ASSERT_TRUE(modDataIO::SaveSettings(Module1::gSettingsFile, gSettings));
    projectBytes_ = Slurp(project_);
    // The run leaves the viewer as soon as it has shown its reports.
    window->onReportViewer = [](frmReportWindow& w, frmReport&) {
      WhenActivated(w, [&w] { w.exitButton()->click(); });
    };
  }
  static std::string Refusal(const std::string& typed, const std::string& what, const std::string& file) {
    return "The summary CSV file " + typed + " is " + what + " " + file +
           ", which the program reads as its own: the CSV never replaces it.\nChoose another CSV file.";
  }
  std::string ReportFile(const std::string& projectName) const {
    return gSettings.WorkingFolder + "PLVReport_for_" + projectName + ".rtf";
  }

  std::string project_, projectBytes_;
};

// OK refuses every file the program reads as its own, by any name, with one message naming
// the file, whatever the answer to a question would be; the dialog stays open and nothing
// changes. The report the run is about to write counts before it exists.
TEST_F(CsvOverOwnFiles, ReportOptionsRefuseTheProgramsOwnFiles) {
  const fs::path data = modDataIO::GetAppDataFolder();
  fs::create_symlink(project_, Out("project-link.csv"));
  fs::create_directory_symlink(data, Out("data-link"));
  fs::create_directory_symlink(TempDir(), Out("work-link"));
  fs::create_hard_link(modDataIO::DataFolder() + "WTH.DAT", Out("weather.csv"));
  const std::string scratch = (fs::path(modDataIO::DataFolder()) / "WTH.DAT").string();
  const struct {
    std::string typed, what, file;
  } rows[] = {
      {project_, "the open project's file", project_},
      {Out("project-link.csv"), "the open project's file", project_},
      {Out("data-link") + "/GlobalSettings.xml", "the program's settings file", Module1::gSettingsFile},
      {Out("weather.csv"), "the calculation's scratch file", scratch},
      {Out("work-link") + "/PLVReport_for_Default Plant.rtf", "the report file that the run writes",
       ReportFile("Default Plant")},
  };
  const auto before = FolderDigest(TempDir());
  const auto dataBefore = FolderDigest(data);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.typed);
    host_.messages.clear();
    host_.answers = {ui::kYes};
    gSettings.CSVFilePath = Out("kept.csv");
    frmReportOptions dialog;
    TypeCsvPathAndOK(dialog, row.typed);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text, Refusal(row.typed, row.what, row.file));
    EXPECT_EQ(host_.messages[0].style, ui::kExclamation);
    EXPECT_FALSE(dialog.DialogOK());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(gSettings.CSVFilePath, Out("kept.csv"));
    if (row.typed == project_) RenderMessage(host_.messages[0], dialog, "report_options_csv_is_the_project");
  }
  EXPECT_EQ(FolderDigest(TempDir()), before);
  EXPECT_EQ(FolderDigest(data), dataBefore);
}

// The open project as the CSV path, typed or held by a settings file edited by hand: the
// Reports command shows one message and runs nothing; the project keeps its bytes and no
// report or CSV is written.
TEST_F(CsvOverOwnFiles, TheReportsCommandLeavesTheOpenProjectAlone) {
  for (const bool byHand : {false, true}) {
    SCOPED_TRACE(byHand ? "settings edited by hand" : "typed");
    host_.messages.clear();
    if (byHand) {
      SettingsData edited;
      modDataIO::InitSettings(edited);
      edited.WorkingFolder = gSettings.WorkingFolder;
      edited.ExportCSV = true;
      edited.CSVFilePath = project_;
      ASSERT_TRUE(modDataIO::SaveSettings(Module1::gSettingsFile, edited));
      ASSERT_TRUE(modDataIO::LoadSettings(Module1::gSettingsFile, gSettings));
    }
    window->csvPath = project_;
    window->form().cmdReport_Click();
    std::string boxes;
    for (const auto& m : host_.messages) boxes += m.title + ": " + m.text + "\n";
    ASSERT_EQ(host_.messages.size(), 1u) << boxes;
    EXPECT_EQ(host_.messages[0].text, Refusal(project_, "the open project's file", project_));
    EXPECT_EQ(Slurp(project_), projectBytes_);
    EXPECT_FALSE(fs::exists(ReportFile("Default Plant")));
  }
}

// A project renamed from the report options (the unnamed-project question) so that the report
// the run writes takes the CSV's name: the run stops before it writes anything.
TEST_F(CsvOverOwnFiles, TheRunRefusesACsvThatBecameTheReportBeforeWritingAnything) {
  class RenamingWindow : public programtest::ReportsWindow {
   public:
    using ReportsWindow::ReportsWindow;
    bool ShowReportOptions() override {
      frmReportOptions dialog;
      dialog.chkCoverPage->setChecked(true);
      dialog.chkExportCSV->setChecked(true);
      dialog.txtCSVFile->setText(QString::fromStdString(csvPath));
      dialog.showCustomerInfo = [](QWidget*) { gProject.ProjectName = "Renamed"; };
      dialog.cmdOK_Click();
      return dialog.DialogOK();
    }
  };
  window.reset();
  window = std::make_unique<RenamingWindow>(form_);
  window->onReportViewer = [](frmReportWindow& w, frmReport&) { WhenActivated(w, [&w] { w.exitButton()->click(); }); };
  gProject.ProjectName = "untitled";
  window->csvPath = ReportFile("Renamed");
  host_.answers = {ui::kYes};
  const auto before = FolderDigest(TempDir());
  window->form().cmdReport_Click();
  std::string boxes;
  for (const auto& m : host_.messages) boxes += m.title + ": " + m.text + "\n";
  ASSERT_EQ(host_.messages.size(), 2u) << boxes;
  EXPECT_EQ(host_.messages[0].text, frmReportOptions::kUntitledQuestion);
  EXPECT_EQ(host_.messages[1].text,
            Refusal(ReportFile("Renamed"), "the report file that the run writes", ReportFile("Renamed")));
  EXPECT_EQ(FolderDigest(TempDir()), before);
}

// A typed name of an existing file that the settings did not hold is asked about as the save
// dialog asks: No keeps the dialog open and the file and settings as they were, Yes goes on.
// The settings' own file, a file chosen with Browse... (its dialog asked) and a new name are
// not asked about.
TEST_F(ReportsCommand, ReportOptionsAskBeforeATypedPathReplacesAFile) {
  const std::string existing = Out("existing.csv"), held = Out("held.csv"), browsed = Out("browsed.csv");
  for (const std::string& file : {existing, held, browsed}) std::ofstream(file) << "kept";
  const struct {
    const char* name;
    std::string typed;
    bool browse;
    int answer;
    bool asked, ok;
  } rows[] = {
      {"existing file, No", existing, false, ui::kNo, true, false},
      {"existing file, Yes", existing, false, ui::kYes, true, true},
      {"the settings' file", held, false, ui::kNo, false, true},
      {"chosen with Browse", browsed, true, ui::kNo, false, true},
      {"a new file", Out("new.csv"), false, ui::kNo, false, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    host_.messages.clear();
    host_.answers = {row.answer};
    gSettings.CSVFilePath = held;
    frmReportOptions dialog;
    dialog.show();
    dialog.chkExportCSV->setChecked(true);
    if (row.browse) {
      dialog.chooseCsvFile = [&](QWidget*) { return row.typed; };
      dialog.cmdBrowse_Click();
    } else {
      dialog.txtCSVFile->setText(QString::fromStdString(row.typed));
    }
    dialog.cmdOK_Click();
    if (row.asked) {
      ASSERT_EQ(host_.messages.size(), 1u);
      EXPECT_EQ(host_.messages[0].text, row.typed + " already exists. Do you want to replace it?");
      EXPECT_EQ(host_.messages[0].style, ui::kYesNo | ui::kExclamation);
      if (!row.ok) RenderMessage(host_.messages[0], dialog, "report_options_csv_replace_question");
    } else {
      EXPECT_TRUE(host_.messages.empty()) << host_.messages[0].text;
    }
    EXPECT_EQ(dialog.DialogOK(), row.ok);
    EXPECT_EQ(dialog.isVisible(), !row.ok);
    EXPECT_EQ(gSettings.CSVFilePath, row.ok ? row.typed : held);
  }
  for (const std::string& file : {existing, held, browsed}) EXPECT_EQ(Slurp(file), "kept");
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
