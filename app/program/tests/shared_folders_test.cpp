// Programs side by side: two programs on one per-user data folder (the second is refused
// with one clear message, changes nothing, and neither rates the other's project), and two
// users with their own data folders reading one read-only program folder at the same time.
// Each program is a forked child process that runs the start-up file steps, the set-up and
// the part-load calculation of the shipped data, as the Reports command does.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/calc/frmWait.h"
#include "app/program/frmMain.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "app/program/tests/shipped_projects.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

namespace fs = std::filesystem;

namespace {

using modDataIO::gProject;

// The two projects: A the default (Chicago, two chillers), B a hospital in Miami with three.
void UseProject(char which) {
  modDataIO::InitProject(gProject);
  if (which == 'B') shipped_projects::UseHotHumidHospital();
}

// One program as a child process, driven step by step through pipes: the parent sends a
// byte to let it go on, the child answers each step with a line of text.
class Program {
 public:
  template <class Body>
  explicit Program(Body body) {
    int toChild[2], toParent[2];
    if (pipe(toChild) != 0 || pipe(toParent) != 0) std::abort();
    pid_ = fork();
    if (pid_ == 0) {
      close(toChild[1]);
      close(toParent[0]);
      in_ = toChild[0];
      out_ = toParent[1];
      int code = 0;
      try {
        body(*this);
      } catch (...) {
        code = 2;
      }
      _exit(code);
    }
    close(toChild[0]);
    close(toParent[1]);
    in_ = toParent[0];
    out_ = toChild[1];
  }
  ~Program() {
    close(in_);
    close(out_);
    if (pid_ > 0) {
      int status = 0;
      waitpid(pid_, &status, 0);
    }
  }
  // Parent side.
  void Go() { (void)!write(out_, "g", 1); }
  std::string Answer() {
    std::string line;
    char c = 0;
    while (read(in_, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }
  // Child side.
  void WaitForGo() {
    char c = 0;
    (void)!read(in_, &c, 1);
  }
  void Tell(std::string text) {
    for (char& c : text)
      if (c == '\n' || c == '\r') c = ' ';
    text += '\n';
    (void)!write(out_, text.data(), text.size());
  }

 private:
  pid_t pid_ = -1;
  int in_ = -1, out_ = -1;
};

// The calculation through the progress window's controller; "ok" or the first message.
std::string Calculate(ui::RecordingHost& host) {
  frmWait form;
  form.CalculationOnly(true);
  form.DoCalcs(true);
  const bool ok = form.ProcessReports();
  if (!host.messages.empty()) return host.messages[0].text;
  // A run whose plant leaves a bin short still rates the project (its ERR.DAT says so).
  (void)ok;
  return form.CalcsOK() && !form.InputErrors() ? "ok" : "failed without a message";
}

// The part-load calculation on the scratch records as the Reports command launches it.
std::string RunPartLoad(ui::RecordingHost& host) {
  ReportData report;
  if (!modDataIO::bReportsRead(report)) return "RPT.DAT unreadable";
  report.ReportType = 2;
  if (!modDataIO::bReportsWrite(report)) return "RPT.DAT not written";
  return Calculate(host);
}

// What a finished run rated: the site of the weather record and the chillers of the results.
std::string WhatWasRated() {
  WeatherData w;
  PLVSummaryData summary;
  auto profile = std::make_unique<PLVProfileData>();
  if (!modDataIO::bWeatherRead(w) || !modDataIO::bCalcReadPLVData(summary, *profile)) return "unreadable";
  return vb::Trim(w.sName).substr(0, gProject.CityName.size()) + " x" + std::to_string(profile->nNumChillerResults);
}

std::string Expected(char which) {
  UseProject(which);
  return gProject.CityName + " x" + std::to_string(gProject.ChillerNumber);
}

// Every file of a folder with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::directory_iterator(folder)) {
    std::ifstream in(e.path(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    files[e.path().filename().string()] = ss.str();
  }
  return files;
}

class SharedFolders : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("kestrin_shared_" + std::to_string(getpid()));
    fs::remove_all(root_);
    fs::create_directories(root_);
    modpublic::gAppPath = std::string(KESTRIN_PROGRAM_DIR) + "/";
    modDataIO::InitSettings(modDataIO::gSettings);
  }
  void TearDown() override {
    modpublic::gAppPath.clear();
    gDataDBPath.clear();
    fs::remove_all(root_);
  }
  fs::path root_;
  ui::RecordingHost host_;
  ui::ScopedHost scoped_{host_};
};

// Two programs start on one data folder at the same moment. Whichever takes the folder
// first keeps it; the other gets one clear message at start-up and again when it tries to
// calculate, and changes nothing there. The first then rates its own project.
TEST_F(SharedFolders, TwoProgramsOnOneDataFolder) {
  setenv("XDG_DATA_HOME", (root_ / "home").c_str(), 1);
  const fs::path scratch = root_ / "home" / "Kestrin" / "Temp";
  auto program = [this](char which) {
    return [this, which](Program& self) {
      UseProject(which);
      self.WaitForGo();
      const bool held = frmMain::PrepareDataFiles();
      self.Tell(held ? "held" : "refused: " + (host_.messages.empty() ? "" : host_.messages[0].text));
      self.WaitForGo();
      if (held) {
        host_.messages.clear();
        const bool set = frmMain::SetupCalculationData();
        const std::string run = set ? RunPartLoad(host_) : "set-up failed";
        self.Tell(run + " | " + WhatWasRated());
      } else {
        // It tries the set-up and the calculation anyway: both are refused.
        host_.messages.clear();
        modDataIO::DataFolder(modDataIO::GetTempFolder());
        const bool set = frmMain::SetupCalculationData();
        const std::string setup = host_.messages.empty() ? "no message" : host_.messages[0].text;
        host_.messages.clear();
        self.Tell((set ? "set up | " : "refused | ") + setup + " | " + Calculate(host_));
      }
    };
  };
  std::map<char, std::unique_ptr<Program>> programs;
  programs['A'] = std::make_unique<Program>(program('A'));
  programs['B'] = std::make_unique<Program>(program('B'));
  programs['A']->Go();
  programs['B']->Go();
  std::map<char, std::string> start;
  for (auto& [which, p] : programs) start[which] = p->Answer();
  ASSERT_TRUE((start['A'] == "held") != (start['B'] == "held")) << start['A'] << " / " << start['B'];
  const char winner = start['A'] == "held" ? 'A' : 'B';
  const char loser = winner == 'A' ? 'B' : 'A';
  EXPECT_EQ(start[loser], "refused: The data folder " + scratch.string() +
                              "/ is in use by another Kestrin program. Only one program at a time can work in it: "
                              "close the other one and try again. Nothing was changed.");

  // The refused program's calculation is refused too and changes nothing in the folder.
  const auto before = Snapshot(scratch);
  programs[loser]->Go();
  const std::string loserRun = programs[loser]->Answer();
  EXPECT_EQ(loserRun.rfind("refused | The data folder " + scratch.string() + "/ is in use", 0), 0u) << loserRun;
  EXPECT_NE(loserRun.find(" | The data folder " + scratch.string() + "/ is in use", 20), std::string::npos) << loserRun;
  EXPECT_TRUE(Snapshot(scratch) == before);

  programs[winner]->Go();
  EXPECT_EQ(programs[winner]->Answer(), "ok | " + Expected(winner));
}

// Two users, each with a data folder of their own, set up and rate at the same time from one
// program folder that neither may write to; nothing appears in the program folder.
TEST_F(SharedFolders, TwoDataFoldersShareAReadOnlyProgramFolder) {
  const fs::path program = root_ / "program";
  fs::create_directories(program);
  for (const char* f : {"CHL.DAT", "SYS.DAT", "WTH.DAT", "LOD.DAT", "TWR.DAT", "RPT.DAT", "ECO.DAT", "INX.MDB",
                        "HW1.DAT", "RIZIRure.rev"}) {
    fs::copy_file(fs::path(KESTRIN_PROGRAM_DIR) / f, program / f);
    fs::permissions(program / f, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  }
  fs::permissions(program, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                               fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
  const auto installed = Snapshot(program);
  fs::permissions(root_, fs::perms::all);
  modpublic::gAppPath = program.string() + "/";

  constexpr int kRounds = 3;
  for (int round = 0; round < kRounds; ++round) {
    std::map<char, std::unique_ptr<Program>> users;
    for (char which : {'A', 'B'}) {
      const fs::path home = root_ / ("home" + std::string(1, which) + std::to_string(round));
      fs::create_directories(home);
      fs::permissions(home, fs::perms::all);
      users[which] = std::make_unique<Program>([this, which, home](Program& self) {
        // As root the folder's permissions would not stop a write: run as an ordinary user.
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) std::abort();
        setenv("XDG_DATA_HOME", home.c_str(), 1);
        UseProject(which);
        self.WaitForGo();
        if (!frmMain::PrepareDataFiles() || !frmMain::SetupCalculationData()) {
          self.Tell("set-up failed: " + (host_.messages.empty() ? "" : host_.messages[0].text));
          return;
        }
        const std::string run = RunPartLoad(host_);
        self.Tell(run + " | " + WhatWasRated());
      });
    }
    for (auto& [which, u] : users) u->Go();
    for (auto& [which, u] : users) EXPECT_EQ(u->Answer(), "ok | " + Expected(which)) << "round " << round;
  }
  EXPECT_TRUE(Snapshot(program) == installed);
  fs::permissions(program, fs::perms::owner_all);
}

}  // namespace
