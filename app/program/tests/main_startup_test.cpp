// Start-up: the command line, the settings and the project it loads, the scratch folder it
// prepares, and what it leaves alone when the named file is not a project.
#include <QWidget>
#include <cstdlib>
#include <fstream>

#include "app/program/Module1.h"
#include "app/program/clsProgram.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "app/program/tests/main_fixture.h"
#include "controls/unitentry/csQuillet.h"
#include "kestrin_version.h"

namespace {

namespace fs = std::filesystem;
using modDataIO::gProject;
using modDataIO::gSettings;

TEST(CommandLine, ArgumentsJoinedTrimmedAndUnquoted) {
  const struct {
    std::vector<const char*> args;
    const char* text;
  } cases[] = {
      {{"vexon"}, ""},
      {{"vexon", "/p/Plant.vxn"}, "/p/Plant.vxn"},
      {{"vexon", "\"/p/My Plant.vxn\""}, "/p/My Plant.vxn"},
      {{"vexon", "/p/My", "Plant.vxn"}, "/p/My Plant.vxn"},
      {{"vexon", "  \"a\"b\"  "}, "ab"},
      {{"vexon", "\" /p/x.vxn \""}, "/p/x.vxn"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Module1::CommandLineText(static_cast<int>(c.args.size()), c.args.data()), c.text);
  }
}

class StartUp : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    home_ = fs::path(std::getenv("XDG_DATA_HOME"));
    fs::remove_all(home_ / "Kestrin");
    work_ = home_ / "startup-work";
    fs::remove_all(work_);
    fs::create_directories(work_);
  }
  fs::path Kestrin() const { return home_ / "Kestrin"; }

  ui::RecordingHost host_;
  ui::ScopedHost scoped_{host_};
  fs::path home_, work_;
};

TEST_F(StartUp, WithoutArgumentsUsesTheDefaultsAndPreparesTheScratchFolder) {
  gProject.ProjectName = "left over";
  gSettings.UnitType = 1;
  ASSERT_EQ(Module1::StartUp(""), Module1::StartResult::kReady);
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(gProject.ProjectName, "untitled");
  EXPECT_EQ(gProject.CityID, 79);
  EXPECT_EQ(gSettings.UnitType, 0);
  EXPECT_EQ(Module1::gSettingsFile, (Kestrin() / "GlobalSettings.xml").string());
  EXPECT_FALSE(fs::exists(Module1::gSettingsFile));  // written only when the window closes
  for (const char* file :
       {"CHL.DAT", "SYS.DAT", "WTH.DAT", "LOD.DAT", "TWR.DAT", "RPT.DAT", "ECO.DAT", "INX.MDB", "HW1.DAT"}) {
    EXPECT_TRUE(fs::exists(Kestrin() / "Temp" / file)) << file;
  }
  EXPECT_EQ(modDataIO::DataFolder(), (Kestrin() / "Temp").string() + "/");
  EXPECT_NE(Module1::gUnitControls, nullptr);
  EXPECT_EQ(modpublic::gUnits.CurrentUnitOfMeasure(), nENGLISH);
  EXPECT_EQ(modpublic::gDataIOErrorMsg, "The following error occurred while reading or writing data:");
}

TEST_F(StartUp, LoadsTheNamedProjectAndTheStoredSettings) {
  ProjectData project;
  modDataIO::InitProject(project);
  project.ProjectName = "Quoted Path Job";
  project.DesignWB = 76;
  const fs::path file = work_ / "my plant.vxn";
  ASSERT_TRUE(modDataIO::SaveProject(file.string(), project));
  fs::create_directories(Kestrin());
  SettingsData settings;
  modDataIO::InitSettings(settings);
  settings.UserName = "R. Engineer";
  settings.UnitType = 1;
  ASSERT_TRUE(modDataIO::SaveSettings((Kestrin() / "GlobalSettings.xml").string(), settings));

  const char* argv[] = {"vexon", "\"", file.c_str(), "\""};
  ASSERT_EQ(Module1::StartUp(Module1::CommandLineText(4, argv)), Module1::StartResult::kReady);
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(gProject.ProjectName, "Quoted Path Job");
  EXPECT_EQ(gProject.DesignWB, 76.0F);
  EXPECT_EQ(gProject.FilePath, file.string());
  EXPECT_EQ(gSettings.UserName, "R. Engineer");
  EXPECT_EQ(gSettings.UnitType, 1);
}

TEST_F(StartUp, AFileThatIsNotAProjectEndsTheProgramWithoutWritingAnything) {
  fs::create_directories(Kestrin());
  const fs::path settingsFile = Kestrin() / "GlobalSettings.xml";
  SettingsData settings;
  modDataIO::InitSettings(settings);
  settings.UserName = "as they were";
  ASSERT_TRUE(modDataIO::SaveSettings(settingsFile.string(), settings));
  const auto written = fs::last_write_time(settingsFile);
  const fs::path notProject = work_ / "readme.txt";
  std::ofstream(notProject) << "not a project";

  EXPECT_EQ(Module1::StartUp(notProject.string()), Module1::StartResult::kInvalidProject);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, "The selected file is not a valid project file: " + notProject.string());
  EXPECT_EQ(host_.messages[0].style, ui::kOkOnly);
  EXPECT_FALSE(fs::exists(Kestrin() / "Temp"));
  EXPECT_EQ(fs::last_write_time(settingsFile), written);

  host_.messages.clear();
  EXPECT_EQ(Module1::StartUp((work_ / "missing.vxn").string()), Module1::StartResult::kInvalidProject);
  EXPECT_EQ(host_.messages.size(), 1u);
}

// XDG_DATA_HOME naming the program folder, a folder inside it (made or not), or a link into
// it: the start-up refuses the data folder before anything is created, with one message naming
// both folders, and the program folder stays as it was, byte for byte.
TEST_F(StartUp, ADataFolderInTheProgramFolderEndsTheProgramWithoutWritingAnything) {
  const fs::path program = work_ / "program";
  fs::create_directories(program / "data");
  std::ofstream(program / "ECO.DAT") << "shipped";
  fs::create_directory_symlink(program, work_ / "link");
  const auto before = FolderDigest(program);
  const std::string previousApp = modpublic::gAppPath;
  const std::string previousData = std::getenv("XDG_DATA_HOME");
  modpublic::gAppPath = program.string() + "/";
  for (const fs::path& data : {program, program / "data", program / "new", work_ / "link" / "data"}) {
    SCOPED_TRACE(data);
    host_.messages.clear();
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    EXPECT_EQ(Module1::StartUp(""), Module1::StartResult::kFailed);
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].text,
              "The per-user data folder " + data.string() + "/Kestrin/ is in the program folder " + program.string() +
                  ", which holds the program's own files: nothing is written there, and the program ends.\nSet "
                  "XDG_DATA_HOME to a folder outside the program folder, or unset it to use " +
                  modDataIO::GetUserProfileFolder() + ".local/share.");
    EXPECT_EQ(FolderDigest(program), before);
  }
  QWidget owner;
  RenderMessage(host_.messages[0], owner, "data_folder_in_program_folder");
  setenv("XDG_DATA_HOME", previousData.c_str(), 1);
  modpublic::gAppPath = previousApp;
}

TEST(Program, IdentityTextsCarryTheProjectVersion) {
  const clsProgram program;
  // Shown as the major version and the minor in two digits; the developer version adds the
  // revision.
  EXPECT_EQ(program.version(), "1.00");
  EXPECT_EQ(program.version(), kestrin::kVersionText);
  EXPECT_EQ(program.Name(), "Kestrin");
  EXPECT_EQ(program.DeveloperVersion(), "1.0.0.0");
  EXPECT_NE(program.Comments().find(" v" + program.DeveloperVersion()), std::string::npos);
  EXPECT_FALSE(program.Disclaimer().empty());
  EXPECT_FALSE(program.Warning().empty());
  EXPECT_EQ(frmMain::MainCaption("untitled"), "Kestrin v" + std::string(kestrin::kVersionText) + " (untitled)");
}

TEST(Program, HelpPageHasAnAnchorForEveryContextId) {
  std::ifstream in(fs::path(KESTRIN_PROGRAM_DIR) / "VEXON.html");
  ASSERT_TRUE(in);
  const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const char* id : {"ctx10000", "ctx31010", "ctx31020"}) {
    EXPECT_NE(page.find(std::string("id=\"") + id + "\""), std::string::npos) << id;
  }
}

TEST(Program, SampleProjectIsAValidProjectOfAShippedCity) {
  const std::string sample = (fs::path(KESTRIN_PROGRAM_DIR) / "Sample.vxn").string();
  ui::RecordingHost host;
  ui::ScopedHost scoped(host);
  ASSERT_TRUE(modDataIO::IsValidProjectFile(sample));
  ProjectData p;
  ASSERT_TRUE(modDataIO::LoadProject(sample, p));
  EXPECT_EQ(p.CityName, "Chicago IAP");
  EXPECT_NE(p.ProjectName, "untitled");
}

}  // namespace
