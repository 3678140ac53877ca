// The File commands: Save As naming, when Save asks for a name, saving, a failed save, New
// and Open with their unsaved-data question.
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <unistd.h>

#include <fstream>
#include <vector>

#include "app/program/Module1.h"
#include "app/program/frmDialogs.h"
#include "app/program/tests/main_fixture.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "controls/unitentry/csQuillet.h"
#include "controls/unitentry/tests/desktop_locale.h"
#include "libs/testsupport/read_only_folder.h"
#include "platform/ui/qt_host.h"

namespace {

using F = frmMain;
using modDataIO::gProject;
using Module1::gProjectChanged;

TEST(SaveAsNaming, ExtensionAndProjectNameTable) {
  const struct {
    const char* chosen;
    const char* name;
    const char* path;
    const char* newName;
  } cases[] = {
      {"/w/Plant.vxn", "untitled", "/w/Plant.vxn", "Plant"},
      {"/w/Plant.vxn", "Untitled", "/w/Plant.vxn", "Plant"},
      {"/w/Plant.vxn", "  ", "/w/Plant.vxn", "Plant"},
      {"/w/Plant.vxn", "Tower Job", "/w/Plant.vxn", "Tower Job"},
      {"/w/Plant", "untitled", "/w/Plant.vxn", "Plant"},  // extension added: the same name
      {"/w/Plant", "Untitled", "/w/Plant.vxn", "Plant"},
      {"/w/Plant", "Tower Job", "/w/Plant.vxn", "Tower Job"},
      {"/w/PLANT.VXN", "untitled", "/w/PLANT.VXN", "PLANT"},  // any case counts as the extension
      {"/w/a.b/Plant", "untitled", "/w/a.b/Plant.vxn", "Plant"},
      {"/w/Plant.v", "untitled", "/w/Plant.v.vxn", "Plant.v"},
  };
  for (const auto& c : cases) {
    const F::SaveAsTarget t = F::SaveAsNaming(c.chosen, c.name);
    EXPECT_EQ(t.path, c.path) << c.chosen << " / " << c.name;
    EXPECT_EQ(t.projectName, c.newName) << c.chosen << " / " << c.name;
    EXPECT_EQ(t.workingFolder, std::string(c.path).substr(0, std::string(c.path).rfind('/') + 1));
  }
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class FileCommands : public MainTest {
 protected:
  std::string Existing() {
    const std::string path = (TempDir() / "existing.vxn").string();
    std::ofstream(path) << "x";
    return path;
  }
  // A project saved in a folder of its own ("mounted", which the test mounts read-only), with
  // the window open and an entry changed, so that File > Save has something to save.
  struct Mounted {
    std::filesystem::path folder;
    std::string path;
    std::string before;  // the file's bytes
    TestWindow* window;
  };
  Mounted MountedProject() {
    Mounted m;
    m.folder = TempDir() / "mounted";
    std::filesystem::create_directories(m.folder);
    gProject.ProjectName = "Mounted Job";
    m.path = (m.folder / "mounted.vxn").string();
    EXPECT_TRUE(modDataIO::SaveProject(m.path, gProject));
    m.before = Slurp(m.path);
    m.window = &OpenWindow();
    Type(F::uncDesignWB, "80");
    return m;
  }
};

TEST_F(FileCommands, SaveAsksForANameOnlyForAnUnnamedOrMissingFile) {
  const std::string existing = Existing();
  EXPECT_TRUE(F::SaveNeedsName("untitled", existing));
  EXPECT_TRUE(F::SaveNeedsName("", existing));
  EXPECT_TRUE(F::SaveNeedsName("Plant", ""));
  EXPECT_TRUE(F::SaveNeedsName("Plant", (TempDir() / "deleted.vxn").string()));
  EXPECT_FALSE(F::SaveNeedsName("Untitled", existing));  // only the exact default name is unnamed
  EXPECT_FALSE(F::SaveNeedsName("Plant", existing));
}

TEST_F(FileCommands, SaveOfANewProjectSavesAsAndTheProjectTakesTheFileName) {
  TestWindow& w = OpenWindow();
  Type(F::uncDesignWB, "80");
  const std::string chosen = (TempDir() / "Chicago Plant.vxn").string();
  w.saveAnswers = {chosen};
  w.form().mnuFileSave_Click();
  EXPECT_EQ(w.lastSaveInitDir, TempDir().string() + "/");
  ASSERT_TRUE(std::filesystem::exists(chosen));
  EXPECT_EQ(gProject.FilePath, chosen);
  EXPECT_EQ(gProject.ProjectName, "Chicago Plant");
  EXPECT_EQ(w.windowTitle().toStdString(), F::MainCaption("Chicago Plant"));
  EXPECT_FALSE(gProjectChanged);
  bool changed = true;
  w.form().ProjectDataChanged(changed);
  EXPECT_FALSE(changed);
  ProjectData loaded;
  ASSERT_TRUE(modDataIO::LoadProject(chosen, loaded));
  EXPECT_EQ(loaded.DesignWB, 80.0F);

  // The next Save writes to the same file without a dialog.
  Type(F::uncDesignWB, "81");
  w.form().mnuFileSave_Click();
  ASSERT_TRUE(modDataIO::LoadProject(chosen, loaded));
  EXPECT_EQ(loaded.DesignWB, 81.0F);
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(FileCommands, CancelledSaveAsChangesNothing) {
  TestWindow& w = OpenWindow();
  Type(F::uncDesignWB, "80");
  w.form().mnuFileSaveAs_Click();  // no answer queued: cancelled
  EXPECT_TRUE(gProject.FilePath.empty());
  EXPECT_EQ(gProject.DesignWB, 78.0F);
  bool changed = false;
  w.form().ProjectDataChanged(changed);
  EXPECT_TRUE(changed);
}

TEST_F(FileCommands, AddedExtensionOverAnExistingFileAsksBeforeReplacingIt) {
  TestWindow& w = OpenWindow();
  const std::string existing = Existing();
  w.saveAnswers = {(TempDir() / "existing").string()};
  host_.answers = {ui::kNo};
  w.form().mnuFileSaveAs_Click();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, existing + " already exists. Do you want to replace it?");
  std::ifstream in(existing);
  std::string content;
  in >> content;
  EXPECT_EQ(content, "x");
  EXPECT_TRUE(gProject.FilePath.empty());
}

TEST_F(FileCommands, FailedSaveKeepsTheProjectMarkedChanged) {
  TestWindow& w = OpenWindow();
  w.saveAnswers = {(TempDir() / "no-such-folder" / "Plant.vxn").string()};
  w.form().mnuFileSaveAs_Click();
  ASSERT_FALSE(host_.messages.empty());  // the writer's own error box
  EXPECT_TRUE(gProject.FilePath.empty());
  EXPECT_TRUE(gProjectChanged);
  host_.messages.clear();
  host_.answers = {ui::kNo};
  EXPECT_FALSE(w.form().Form_QueryUnload());
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_NE(host_.messages[0].text.find("unsaved data"), std::string::npos);
}

// Save As into a folder that cannot be made: the message says the project was not saved, and
// neither the project's name and file nor the working folder move there.
TEST_F(FileCommands, FailedSaveAsChangesNeitherTheProjectNorTheWorkingFolder) {
  TestWindow& w = OpenWindow();
  const std::string folder = modDataIO::WorkingFolder();
  const QString caption = w.windowTitle();
  std::ofstream(TempDir() / "blocker") << "a file, not a folder";
  const std::string target = (TempDir() / "blocker" / "Plant.vxn").string();
  w.saveAnswers = {target};
  w.form().mnuFileSaveAs_Click();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text.rfind("The project could not be saved as " + target + ".", 0), 0u)
      << host_.messages[0].text;
  EXPECT_EQ(modDataIO::WorkingFolder(), folder);
  EXPECT_EQ(gProject.ProjectName, "untitled");
  EXPECT_TRUE(gProject.FilePath.empty());
  EXPECT_EQ(w.windowTitle(), caption);
  EXPECT_TRUE(gProjectChanged);
  EXPECT_EQ(w.lastSaveInitDir, folder);
  // The next Save As starts where the last good one would have.
  w.saveAnswers = {(TempDir() / "Plant.vxn").string()};
  host_.messages.clear();
  w.form().mnuFileSaveAs_Click();
  EXPECT_EQ(w.lastSaveInitDir, folder);
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(gProject.ProjectName, "Plant");
}

TEST_F(FileCommands, NewAsksAboutUnsavedDataAndNoKeepsEverything) {
  TestWindow& w = OpenWindow();
  Type(F::uncDesignWB, "80");
  host_.answers = {ui::kNo};
  w.form().mnuFileNew_Click();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text,
            "There are unsaved data in the current project (untitled). Do you really want to create a new project "
            "without saving the current project?");
  EXPECT_EQ(Shown(F::uncDesignWB), "80");

  host_.answers = {ui::kYes};
  w.form().mnuFileNew_Click();
  EXPECT_EQ(Shown(F::uncDesignWB), "78.0");
  EXPECT_FALSE(gProjectChanged);
  EXPECT_TRUE(w.form().FormReady());
}

TEST_F(FileCommands, OpenLoadsAProjectAndMakesItsFolderTheWorkingFolder) {
  ProjectData other;
  modDataIO::InitProject(other);
  other.ProjectName = "Houston Job";
  other.LocationID = 44;
  other.CityID = 90;
  other.ChillerNumber = 4;
  std::filesystem::create_directories(TempDir() / "jobs");
  const std::string path = (TempDir() / "jobs" / "houston.vxn").string();
  ASSERT_TRUE(modDataIO::SaveProject(path, other));

  TestWindow& w = OpenWindow();
  w.openAnswers = {path};
  w.form().mnuFileOpen_Click();
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(w.comboBox(F::cboCity)->currentText(), "Houston");
  EXPECT_EQ(w.comboBox(F::cboLocation)->currentText(), "Texas");
  EXPECT_EQ(w.chillerNumBox()->text(), "4");
  EXPECT_EQ(w.windowTitle().toStdString(), F::MainCaption("Houston Job"));
  EXPECT_EQ(modDataIO::WorkingFolder(), (TempDir() / "jobs").string() + "/");
  EXPECT_FALSE(gProjectChanged);
  EXPECT_TRUE(w.form().FormReady());
}

// A project naming a city the site database does not hold opens with no city selected and
// says so; Save and Reports refuse until the user has chosen one.
TEST_F(FileCommands, OpenOfAProjectWithAMissingCityNamesItAndRefusesSaveAndReports) {
  ProjectData other;
  modDataIO::InitProject(other);
  other.ProjectName = "Removed City";
  other.CityID = 9999;
  other.CityName = "Dallas-Fort Worth";
  const std::string path = (TempDir() / "removed.vxn").string();
  ASSERT_TRUE(modDataIO::SaveProject(path, other));

  TestWindow& w = OpenWindow();
  const std::string shownLocation = w.comboBox(F::cboLocation)->currentText().toStdString();
  w.openAnswers = {path};
  w.form().mnuFileOpen_Click();
  ASSERT_EQ(host_.messages.size(), 1u);
  const std::string message = host_.messages[0].text;
  EXPECT_EQ(message,
            "This project names values the program does not hold:\n"
            "    city \"Dallas-Fort Worth\" (code 9999)\n"
            "Choose one in its box. Until then the project can not be saved and no report can be run.");
  EXPECT_EQ(w.comboBox(F::cboCity)->currentIndex(), -1);
  EXPECT_GT(w.comboBox(F::cboCity)->count(), 0);
  EXPECT_EQ(w.comboBox(F::cboLocation)->currentText().toStdString(), shownLocation);
  auto box = ui::BuildMessageBox(message, host_.messages[0].style, "Kestrin", &w);
  box->show();  // lays the box out as the user sees it
  QCoreApplication::processEvents();
  RenderToPng(*box, "missing_city_message");
  box->hide();

  // Save As and Reports both refuse with the city named; nothing is written.
  host_.messages.clear();
  w.saveAnswers = {(TempDir() / "again.vxn").string()};
  w.form().mnuFileSaveAs_Click();
  w.form().cmdReport_Click();
  ASSERT_EQ(host_.messages.size(), 2u);
  for (const auto& m : host_.messages) EXPECT_EQ(m.text, "No city is selected, the action can not be completed.");
  EXPECT_FALSE(std::filesystem::exists(TempDir() / "again.vxn"));
  EXPECT_EQ(w.saveAnswers.size(), 1u);  // the dialog was never shown

  // Once chosen, the city goes into the project and the project saves.
  host_.messages.clear();
  QComboBox* cities = w.comboBox(F::cboCity);
  cities->setCurrentIndex(0);
  emit cities->activated(0);
  EXPECT_EQ(gProject.CityID, cities->itemData(0).toInt());
  w.form().mnuFileSaveAs_Click();
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_TRUE(std::filesystem::exists(TempDir() / "again.vxn"));
}

// A project typed on a decimal-comma desktop is stored locale-independently: reopened on a
// decimal-point desktop it holds the same values.
TEST_F(FileCommands, ProjectTypedWithCommasUnderGermanReopensUnderEnglishWithTheSameValues) {
  const std::string path = (TempDir() / "comma.vxn").string();
  const struct {
    F::Box box;
    const char* typedDe;
    const char* shownEn;
    double value;
  } cases[] = {{F::uncBldgPeakLoad, "1000,5", "1000.5", 1000.5},
               {F::uncPlantCapacity, "1.234,5", "1234.5", 1234.5},  // with the German grouping
               {F::uncDesignLCHWT, "42,5", "42.5", 42.5},
               {F::uncFlowRate, "2,75", "2.75", 2.75},
               {F::uncEvapFlowRate, "2,4", "2.40", 2.4},
               {F::uncDesignApproach, "6*1,5", "9.0", 9.0}};  // arithmetic with the comma
  {
    KESTRIN_USE_DESKTOP_LOCALE(german, "de_DE.UTF-8");
    TestWindow& w = OpenWindow();
    for (const auto& c : cases) {
      Type(c.box, c.typedDe);
      w.unitBox(c.box)->TextBox()->setFocus();
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
      QCoreApplication::sendEvent(w.unitBox(c.box)->TextBox(), &enter);
      EXPECT_DOUBLE_EQ(w.unitBox(c.box)->Value(), c.value) << c.typedDe;
    }
    EXPECT_EQ(Shown(F::uncEvapFlowRate), "2,40");
    w.saveAnswers = {path};
    w.form().mnuFileSaveAs_Click();
    ASSERT_TRUE(host_.messages.empty()) << host_.messages[0].text;
    window_.reset();
  }
  // The file itself carries "." numbers whatever the desktop.
  std::ifstream in(path);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find(">2.75<"), std::string::npos);
  EXPECT_EQ(text.find(">2,75<"), std::string::npos);

  KESTRIN_USE_DESKTOP_LOCALE(english, "en_US.UTF-8");
  modDataIO::InitProject(gProject);
  TestWindow& w = OpenWindow();
  w.openAnswers = {path};
  w.form().mnuFileOpen_Click();
  EXPECT_TRUE(host_.messages.empty());
  for (const auto& c : cases) {
    EXPECT_EQ(Shown(c.box), c.shownEn);
    EXPECT_DOUBLE_EQ(w.unitBox(c.box)->Value(), c.value) << c.shownEn;
  }
}

TEST_F(FileCommands, OpenRefusesAFileThatIsNotAProject) {
  TestWindow& w = OpenWindow();
  const std::string path = (TempDir() / "notes.vxn").string();
  std::ofstream(path) << "<notes/>";
  w.openAnswers = {path};
  w.form().mnuFileOpen_Click();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, "The selected file is not a valid project file");
  EXPECT_EQ(gProject.ProjectName, "untitled");
  EXPECT_EQ(modDataIO::WorkingFolder(), TempDir().string() + "/");
}

TEST_F(FileCommands, SaveIsRefusedWhileAListHasNoSelection) {
  TestWindow& w = OpenWindow();
  w.comboBox(F::cboCity)->clear();  // what a location without cities leaves
  w.saveAnswers = {(TempDir() / "Plant.vxn").string()};
  w.form().mnuFileSaveAs_Click();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, "No city is selected, the action can not be completed.");
  EXPECT_FALSE(std::filesystem::exists(TempDir() / "Plant.vxn"));
}

// A name typed with or without the extension names the file and the project alike: the caption
// and the report options' question about an unnamed project follow the file's name.
TEST_F(FileCommands, SaveAsNamesTheProjectTheSameWithOrWithoutTheTypedExtension) {
  for (const char* typed : {"cancel", "cancel.vxn"}) {
    SCOPED_TRACE(typed);
    modDataIO::InitProject(gProject);
    TestWindow& w = OpenWindow();
    const std::string saved = (TempDir() / "cancel.vxn").string();
    std::filesystem::remove(saved);
    w.saveAnswers = {(TempDir() / typed).string()};
    w.form().mnuFileSaveAs_Click();
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_TRUE(std::filesystem::exists(saved));
    EXPECT_EQ(gProject.FilePath, saved);
    EXPECT_EQ(gProject.ProjectName, "cancel");
    EXPECT_EQ(w.windowTitle().toStdString(), F::MainCaption("cancel"));
    EXPECT_FALSE(frmReportOptions::NeedsProjectName(true, gProject.ProjectName));
    ProjectData loaded;
    ASSERT_TRUE(modDataIO::LoadProject(saved, loaded));
    EXPECT_EQ(loaded.ProjectName, "cancel");
  }
}

// A file that passes the quick check but cannot be loaded (a value no entry box takes) is
// refused by the loader with its box; the open project, the controls, their unsaved change and
// the working folder stay as they were, so the next report does not land beside that file.
TEST_F(FileCommands, RefusedOpenChangesNothing) {
  ProjectData bad;
  modDataIO::InitProject(bad);
  bad.ProjectName = "Too Many Chillers";
  std::filesystem::create_directories(TempDir() / "elsewhere");
  const std::string path = (TempDir() / "elsewhere" / "bad.vxn").string();
  ASSERT_TRUE(modDataIO::SaveProject(path, bad));
  std::string text = Slurp(path);
  const std::size_t at = text.find("<ChillerNumber>2<");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 17, "<ChillerNumber>40<");
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  ASSERT_TRUE(modDataIO::IsValidProjectFile(path));

  TestWindow& w = OpenWindow();
  const std::string folder = modDataIO::WorkingFolder();
  const QString caption = w.windowTitle();
  Type(F::uncDesignWB, "80");
  host_.answers = {ui::kYes};  // open without saving
  w.openAnswers = {path};
  w.form().mnuFileOpen_Click();
  ASSERT_EQ(host_.messages.size(), 2u);
  EXPECT_NE(host_.messages[1].text.find("ChillerNumber is 40"), std::string::npos) << host_.messages[1].text;
  EXPECT_EQ(modDataIO::WorkingFolder(), folder);
  EXPECT_EQ(gProject.ProjectName, "untitled");
  EXPECT_TRUE(gProject.FilePath.empty());
  EXPECT_EQ(Shown(F::uncDesignWB), "80");
  EXPECT_EQ(w.windowTitle(), caption);
  bool changed = false;
  w.form().ProjectDataChanged(changed);
  EXPECT_TRUE(changed);
  EXPECT_TRUE(w.form().FormReady());
}

// A project file without a write bit is the user's "do not change": Save says so and offers
// Save As instead of replacing it (as root too, whom the mode bits do not stop).
TEST_F(FileCommands, SaveOfAWriteProtectedFileOffersSaveAsAndLeavesTheFile) {
  for (const std::filesystem::perms mode :
       {std::filesystem::perms::owner_read | std::filesystem::perms::group_read | std::filesystem::perms::others_read,
        std::filesystem::perms::owner_read}) {
    SCOPED_TRACE(static_cast<int>(mode));
    modDataIO::InitProject(gProject);
    gProject.ProjectName = "Locked Job";
    const std::string locked = (TempDir() / "locked.vxn").string();
    std::filesystem::remove(locked);
    ASSERT_TRUE(modDataIO::SaveProject(locked, gProject));
    std::filesystem::permissions(locked, mode);
    const std::string before = Slurp(locked);

    TestWindow& w = OpenWindow();
    host_.messages.clear();
    Type(F::uncDesignWB, "80");
    w.lastSaveInitDir.clear();
    w.form().mnuFileSave_Click();  // the offered Save As is cancelled
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text,
              locked + " is write-protected. The project was not saved; save it under another name.");
    if (mode == std::filesystem::perms::owner_read) RenderMessage(host_.messages[0], w, "write_protected_message");
    EXPECT_EQ(w.lastSaveInitDir, modDataIO::WorkingFolder());
    EXPECT_EQ(Slurp(locked), before);
    bool changed = false;
    w.form().ProjectDataChanged(changed);
    EXPECT_TRUE(changed);

    // The offered Save As writes under the new name; the write-protected file stays.
    host_.messages.clear();
    const std::string copy = (TempDir() / "unlocked.vxn").string();
    w.saveAnswers = {copy};
    w.form().mnuFileSave_Click();
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_TRUE(host_.messages.front().text.find("write-protected") != std::string::npos);
    EXPECT_EQ(gProject.FilePath, copy);
    EXPECT_EQ(Slurp(locked), before);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::remove(copy);
  }
}

// A project file on a read-only mount (mounted in a private mount namespace of a child
// process, so that it holds for root too) is not write-protected (its mode lets it be
// written): Save names the read-only disk, where no other name helps, and offers Save As.
TEST_F(FileCommands, SaveOfAFileOnAReadOnlyMountNamesTheDiskAndOffersSaveAs) {
  const auto [folder, path, before, window] = MountedProject();
  TestWindow& w = *window;
  const std::string expected =
      path + " is on a read-only disk. The project was not saved; save it in a folder on another disk.";
  const std::string dir = folder.string();
  RenderMessage({expected, ui::kExclamation, ""}, w, "read_only_disk_message");

  KESTRIN_REQUIRE_READ_ONLY_FOLDER();
  const std::string seen = testsupport::InReadOnlyFolder(dir, [&] {
    host_.messages.clear();
    w.lastSaveInitDir.clear();
    w.form().mnuFileSave_Click();
    std::string faults;
    if (host_.messages.size() != 1 || host_.messages[0].text != expected)
      faults += "not the read-only disk message: " + (host_.messages.empty() ? "" : host_.messages[0].text) + "; ";
    if (w.lastSaveInitDir != modDataIO::WorkingFolder()) faults += "Save As was not offered in the working folder";
    return faults;
  });
  EXPECT_EQ(seen, "");
  EXPECT_EQ(Slurp(path), before);
}

// Save As on a read-only mount (where Save offers it) is refused like one in the program
// folder, a new name there as much as the project's own file, and the dialog comes again: the
// next name, in a folder that can be written, is saved.
TEST_F(FileCommands, SaveAsIntoAReadOnlyFolderIsRefusedAndAskedAgain) {
  const auto [folder, path, before, window] = MountedProject();
  TestWindow& w = *window;
  const std::string other = (folder / "other.vxn").string();
  const std::string elsewhere = (TempDir() / "elsewhere.vxn").string();
  const std::string readOnly =
      " is on a read-only disk. The project was not saved; save it in a folder on another disk.";
  const std::string expected = path + readOnly + "\n" + other + readOnly + "\nsaved as " + elsewhere + ", 0 names left";

  KESTRIN_REQUIRE_READ_ONLY_FOLDER();
  const std::string seen = testsupport::InReadOnlyFolder(folder.string(), [&] {
    host_.messages.clear();
    w.saveAnswers = {other, elsewhere};
    w.form().mnuFileSave_Click();
    std::string result;
    for (const auto& m : host_.messages) result += m.text + "\n";
    return result + "saved as " + gProject.FilePath + ", " + std::to_string(w.saveAnswers.size()) + " names left";
  });
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(Slurp(path), before);
  EXPECT_FALSE(std::filesystem::exists(other));
}

// The shipped sample in the program folder (here a copy of the test's own): Save never writes
// there but offers Save As in the working folder, opening it leaves the working folder, and
// Save As into the program folder is refused and asked again.
class ProgramFolderSample : public FileCommands {
 protected:
  void SetUp() override {
    FileCommands::SetUp();
    program_ = TempDir() / "program";
    std::filesystem::create_directories(program_);
    sample_ = (program_ / "Sample.vxn").string();
    std::filesystem::copy_file(std::filesystem::path(KESTRIN_PROGRAM_DIR) / "Sample.vxn", sample_);
    work_ = (TempDir() / "work").string() + "/";
    std::filesystem::create_directories(work_);
    previous_ = modpublic::gAppPath;
    UseProgramCopy();
  }
  void TearDown() override {
    modpublic::gAppPath = previous_;
    FileCommands::TearDown();
  }
  void UseProgramCopy() {
    modpublic::gAppPath = program_.string() + "/";
    modDataIO::WorkingFolder(work_);
  }
  // The start-up with the sample on the command line, as scripts/run.sh starts the program;
  // the templates come from the build's program folder, which the start-up only reads.
  void StartWithSample() {
    modpublic::gAppPath = previous_;
    ASSERT_EQ(Module1::StartUp(sample_), Module1::StartResult::kReady);
    UseProgramCopy();
  }

  std::filesystem::path program_;
  std::string sample_, work_, previous_;
};

TEST_F(ProgramFolderSample, SaveOffersSaveAsInTheWorkingFolderAndNeverWritesTheSample) {
  const std::string original = Slurp(sample_);
  for (const bool atStart : {true, false}) {
    SCOPED_TRACE(atStart ? "opened at start" : "opened with File > Open");
    modDataIO::InitProject(gProject);
    if (atStart) {
      StartWithSample();
      OpenWindow();
    } else {
      TestWindow& w = OpenWindow();
      w.openAnswers = {sample_};
      w.form().mnuFileOpen_Click();
    }
    TestWindow& w = *window_;
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(gProject.FilePath, sample_);
    EXPECT_EQ(modDataIO::WorkingFolder(), work_);
    const std::string name = gProject.ProjectName;

    Type(F::uncDesignWB, "80");
    w.lastSaveInitDir.clear();
    w.form().mnuFileSave_Click();  // the dialog is cancelled
    EXPECT_EQ(w.lastSaveInitDir, work_);
    EXPECT_EQ(Slurp(sample_), original);
    EXPECT_TRUE(host_.messages.empty());

    // Save As onto the sample is refused and the dialog comes again; the next answer is saved.
    const std::string copy = work_ + "Sample.vxn";
    std::filesystem::remove(copy);
    w.saveAnswers = {sample_, copy};
    w.form().mnuFileSave_Click();
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text, sample_ + " is in the program folder " + program_.string() +
                                          ", which holds the program's own files. The "
                                          "project was not saved; save it in another folder.");
    EXPECT_TRUE(w.saveAnswers.empty());
    if (atStart) RenderMessage(host_.messages[0], w, "program_folder_message");
    EXPECT_EQ(Slurp(sample_), original);
    EXPECT_EQ(gProject.FilePath, copy);
    EXPECT_EQ(gProject.ProjectName, name);
    ProjectData loaded;
    ASSERT_TRUE(modDataIO::LoadProject(copy, loaded));
    EXPECT_EQ(loaded.DesignWB, 80.0F);
    host_.messages.clear();
  }
}

// A project opened through a link to the shipped sample is the sample: Save offers Save As, and
// Save As onto the link, or into the program folder through a link to it, is refused and asked
// again, one message each. Nothing in the program folder changes, byte for byte.
TEST_F(ProgramFolderSample, ALinkToTheSampleIsTheSample) {
  std::filesystem::copy_file(std::filesystem::path(KESTRIN_PROGRAM_DIR) / "ECO.DAT", program_ / "ECO.DAT");
  const std::string link = work_ + "linked.vxn";
  std::filesystem::create_symlink(sample_, link);
  const std::filesystem::path folderLink = TempDir() / "program-link";
  std::filesystem::create_directory_symlink(program_, folderLink);
  const auto before = FolderDigest(program_);

  TestWindow& w = OpenWindow();
  w.openAnswers = {link};
  w.form().mnuFileOpen_Click();
  EXPECT_TRUE(host_.messages.empty());
  ASSERT_EQ(gProject.FilePath, link);
  Type(F::uncDesignWB, "80");
  const std::vector<std::string> refused = {link, (folderLink / "Sample.vxn").string(),
                                            (folderLink / "new.vxn").string()};
  w.saveAnswers = {refused.begin(), refused.end()};
  w.form().mnuFileSave_Click();  // Save As, every name refused, then cancelled
  ASSERT_EQ(host_.messages.size(), refused.size());
  for (std::size_t i = 0; i < refused.size(); ++i) {
    EXPECT_EQ(host_.messages[i].text, refused[i] + " is in the program folder " + program_.string() +
                                          ", which holds the program's own files. The "
                                          "project was not saved; save it in another folder.");
  }
  EXPECT_TRUE(w.saveAnswers.empty());
  bool changed = false;
  w.form().ProjectDataChanged(changed);
  EXPECT_TRUE(changed);
  EXPECT_EQ(FolderDigest(program_), before);
}

// The program folder mounted a second time (as an administrator may mount an installed
// folder): the sample opened through that mount is the sample. Save offers Save As in the
// working folder, and Save As into the mount is refused and asked again; nothing in the
// program folder changes, byte for byte.
TEST_F(ProgramFolderSample, TheSampleThroughASecondMountIsTheSample) {
  const std::filesystem::path at = TempDir() / "mounted";
  std::filesystem::create_directories(at);
  const auto before = FolderDigest(program_);
  TestWindow& w = OpenWindow();
  KESTRIN_REQUIRE_BOUND_FOLDER();
  const std::string seen = testsupport::InBoundFolder(program_.string(), at.string(), [&] {
    const std::string sample = (at / "Sample.vxn").string();
    const std::string fresh = (at / "new.vxn").string();
    std::string faults;
    w.openAnswers = {sample};
    w.form().mnuFileOpen_Click();
    if (gProject.FilePath != sample) faults += "not opened: " + gProject.FilePath + "\n";
    Type(F::uncDesignWB, "80");
    host_.messages.clear();
    w.saveAnswers = {sample, fresh};
    w.form().mnuFileSave_Click();  // Save As, both names refused, then cancelled
    for (const auto& m : host_.messages) faults += m.text + "\n";
    return faults;
  });
  const std::string refusal = " is in the program folder " + program_.string() +
                              ", which holds the program's own files. The project was not saved; save it in "
                              "another folder.\n";
  EXPECT_EQ(seen, (at / "Sample.vxn").string() + refusal + (at / "new.vxn").string() + refusal);
  EXPECT_EQ(FolderDigest(program_), before);
}

}  // namespace
