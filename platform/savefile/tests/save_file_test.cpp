// Saving a whole file: the old file stays whole and no temporary is left when a write fails.
#include "platform/savefile/save_file.h"
#include "platform/savefile/tests/disk_limit.h"
#include "libs/testsupport/read_only_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;
using savefile::testing::DiskOf;

namespace {

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteRaw(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

class SaveWholeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("savefile-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  fs::path dir_;
};

TEST_F(SaveWholeTest, FullDiskKeepsTheOldFileWholeAndRemovesTheTemporary) {
  const fs::path report = dir_ / "report.pdf";
  const std::string old(268118, 'o');
  WriteRaw(report, old);
  const std::string next(300000, 'n');
  std::string error;
  bool saved = true;
  {
    DiskOf disk(4096);
    saved = savefile::SaveWhole(report.string(), next, &error);
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadAll(report), old);
  EXPECT_EQ(FilesInFolder(), 1u) << "the temporary is left";
  EXPECT_NE(error.find("report.pdf"), std::string::npos) << error;
  EXPECT_NE(error.find(std::strerror(EFBIG)), std::string::npos) << error;
}

TEST_F(SaveWholeTest, RefusesWhereNoFileCanBeWritten) {
  fs::create_directory(dir_ / "folder");
  const struct {
    const char* name;
    fs::path path;
  } cases[] = {
      {"missing folder", dir_ / "missing" / "a.rtf"},
      {"a folder at the path", dir_ / "folder"},
      {"no name", fs::path()},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(savefile::SaveWhole(c.path.string(), "text", &error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
    EXPECT_TRUE(fs::is_directory(dir_ / "folder")) << c.name;
  }
  EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(SaveWholeTest, ReplacesTheFileThroughALinkAndKeepsItsPermissions) {
  const fs::path real = dir_ / "real.csv";
  WriteRaw(real, "old");
  ::chmod(real.c_str(), 0640);
  fs::create_symlink(real, dir_ / "link.csv");
  ASSERT_TRUE(savefile::SaveWhole((dir_ / "link.csv").string(), "new contents"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.csv"));
  EXPECT_EQ(ReadAll(real), "new contents");
  struct stat st {};
  ::stat(real.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(FilesInFolder(), 2u);
}

// A save without sync (files made again on every run) and with ranges laid out is as atomic
// as a whole one: on a full disk the old file stays whole and no temporary is left.
TEST_F(SaveWholeTest, AnUnsyncedLaidOutSaveKeepsTheOldFileOnAFullDisk) {
  const fs::path file = dir_ / "CAL.DAT";
  const std::string old(6000, 'o');
  WriteRaw(file, old);
  const savefile::SaveOptions scratch{.sync = false, .followLinks = false};
  savefile::SaveResult saved;
  {
    DiskOf disk(4096);
    saved = savefile::SaveLaidOut(file.string(), 300000, {{0, "head"}, {299996, "tail"}}, scratch);
  }
  EXPECT_EQ(saved.failure, savefile::Failure::kWrite);
  EXPECT_NE(saved.error.find(std::strerror(EFBIG)), std::string::npos) << saved.error;
  EXPECT_EQ(ReadAll(file), old);
  EXPECT_EQ(FilesInFolder(), 1u) << "the temporary is left";

  ASSERT_TRUE(savefile::SaveLaidOut(file.string(), 300000, {{0, "head"}, {299996, "tail"}}, scratch));
  EXPECT_EQ(ReadAll(file), "head" + std::string(299992, '\0') + "tail");
  EXPECT_EQ(FilesInFolder(), 1u);
}

// The failures are told apart, so a caller can answer a missing folder differently from
// anything else; nothing is left behind by any of them.
TEST_F(SaveWholeTest, FailuresSayWhatStoppedTheSave) {
  fs::create_directory(dir_ / "folder");
  WriteRaw(dir_ / "plain", "a file");
  ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
  const struct {
    fs::path path;
    savefile::Failure failure;
  } cases[] = {
      {dir_ / "missing" / "a.csv", savefile::Failure::kNoFolder},
      {dir_ / "plain" / "a.csv", savefile::Failure::kNoFolder},
      {dir_ / "folder", savefile::Failure::kNotAFile},
      {dir_ / "fifo", savefile::Failure::kNotAFile},
  };
  for (const auto& c : cases) {
    for (const bool followLinks : {true, false}) {
      const savefile::SaveResult saved =
          savefile::SaveLaidOut(c.path.string(), 4, {{0, "text"}}, {.followLinks = followLinks});
      EXPECT_EQ(saved.failure, c.failure) << c.path << " " << saved.error;
      EXPECT_NE(saved.error.find(c.path.string()), std::string::npos) << saved.error;
    }
  }
  EXPECT_EQ(FilesInFolder(), 3u);
  EXPECT_EQ(ReadAll(dir_ / "plain"), "a file");
}

// A new file gets the bits asked for less the umask; the umask is the process's own, read by
// the kernel as the file is created.
TEST_F(SaveWholeTest, ANewFileGetsItsModeLessTheUmask) {
  const mode_t oldMask = ::umask(002);
  const struct {
    const char* name;
    mode_t asked;
    mode_t expected;
  } cases[] = {{"document.csv", 0666, 0664}, {"own.dat", 0644, 0644}, {"private.key", 0600, 0600}};
  for (const auto& c : cases) {
    const fs::path file = dir_ / c.name;
    EXPECT_TRUE(savefile::SaveLaidOut(file.string(), 1, {{0, "x"}}, {.newFileMode = c.asked})) << c.name;
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0) << c.name;
    EXPECT_EQ(st.st_mode & 07777, c.expected) << c.name;
  }
  ::umask(oldMask);
}

// Temporaries whose process has ended (a save killed before its rename) go: those of today's
// form, which name no file, and those of this file as earlier versions named them. Those of
// live processes, of other files in an earlier form and names of another shape stay.
TEST_F(SaveWholeTest, TemporariesOfEndedSavesGoOthersStay) {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  int status = 0;
  waitpid(child, &status, 0);  // a pid that has certainly ended
  const std::string dead = std::to_string(child);
  const std::string self = std::to_string(::getpid());
  const auto padded = [](std::string pid) { return std::string(10 - pid.size(), '0') + pid; };
  const struct {
    std::string name;
    bool removed;
  } cases[] = {
      {".kestrin-" + padded(dead) + "-AbC123.tmp", true},
      {".kestrin-" + padded(self) + "-AbC123.tmp", false},
      {".kestrin-" + padded("1") + "-AbC123.tmp", false},
      {".kestrin-" + padded(dead) + "-AbC12.tmp", false},
      {".kestrin-" + padded(dead) + "-AbC1-3.tmp", false},
      {".kestrin-" + dead + "-AbC123.tmp", false},
      {".kestrin-" + padded(dead) + "-AbC123.tmpx", false},
      {".r.csv.tmp" + dead + ".AbC123", true},  // as earlier versions named them
      {"r.csv.tmp" + dead, true},
      {".r.csv.tmp1.AbC123", false},
      {".r.csv.tmp" + self + ".AbC123", false},
      {".other.csv.tmp" + dead + ".AbC123", false},
      {".r.csv.tmp" + dead + ".AbC", false},
      {"r.csv.tmp" + dead + "x", false},
      {"r.csv.tmp", false},
  };
  for (const auto& c : cases) WriteRaw(dir_ / c.name, "left over");
  ASSERT_TRUE(savefile::SaveWhole((dir_ / "r.csv").string(), "saved"));
  EXPECT_EQ(ReadAll(dir_ / "r.csv"), "saved");
  for (const auto& c : cases) EXPECT_EQ(fs::exists(dir_ / c.name), !c.removed) << c.name;
}

// The temporary's name does not grow with the file's: every name the system takes, up to
// its 255 bytes in one- and in multi-byte characters, is saved and saved over, and nothing
// else is left in the folder.
TEST_F(SaveWholeTest, EveryNameTheSystemTakesCanBeSaved) {
  std::string twoByte, threeByte;
  for (int i = 0; i < 127; ++i) twoByte += "\u00fc";
  for (int i = 0; i < 85; ++i) threeByte += "\u20ac";
  const std::string names[] = {std::string(239, 'a') + ".csv", std::string(251, 'b') + ".vxn", twoByte + "x",
                               threeByte};
  for (const std::string& name : names) {
    ASSERT_LE(name.size(), 255u);
    const fs::path file = dir_ / name;
    for (const char* contents : {"first", "second"}) {
      std::string error;
      EXPECT_TRUE(savefile::SaveWhole(file.string(), contents, &error)) << name.size() << " bytes: " << error;
      EXPECT_EQ(ReadAll(file), contents) << name.size() << " bytes";
      EXPECT_EQ(FilesInFolder(), 1u) << name.size() << " bytes";
    }
    fs::remove(file);
  }
}

// A folder that cannot be written, also by root: the save fails, the old file stays whole
// and nothing is left beside it.
TEST_F(SaveWholeTest, AReadOnlyFolderKeepsTheOldFile) {
  const fs::path file = dir_ / "settings.xml";
  WriteRaw(file, "old");
  KESTRIN_REQUIRE_READ_ONLY_FOLDER();
  for (const bool sync : {true, false}) {
    const std::string seen = testsupport::InReadOnlyFolder(dir_.string(), [&] {
      const savefile::SaveResult saved = savefile::SaveLaidOut(file.string(), 3, {{0, "new"}}, {.sync = sync});
      return std::to_string(static_cast<int>(saved.failure)) + " " + saved.error;
    });
    EXPECT_EQ(seen, std::to_string(static_cast<int>(savefile::Failure::kWrite)) + " Cannot write " + file.string() +
                        ": " + std::strerror(EROFS));
    EXPECT_EQ(ReadAll(file), "old");
    EXPECT_EQ(FilesInFolder(), 1u);
  }
}

// Nothing is saved into the protected folder, however the path reaches it: directly, through
// a link to a file in it, through a link to the folder or with ".." in the path, and as a
// link that a save replaces. Its listing and bytes stay; saves beside it still go through.
TEST_F(SaveWholeTest, NothingIsSavedIntoTheProtectedFolder) {
  const fs::path program = dir_ / "program";
  fs::create_directories(program / "data");
  WriteRaw(program / "ECO.DAT", "shipped");
  fs::create_directory(dir_ / "work");
  fs::create_symlink(program / "ECO.DAT", dir_ / "work" / "linked.csv");
  fs::create_symlink(program, dir_ / "work" / "folder");
  fs::create_symlink(program / "new.csv", dir_ / "work" / "dangling.csv");
  savefile::SetProtectedFolder([&] { return program.string() + "/"; });
  const struct {
    fs::path path;
    bool followLinks;
  } cases[] = {
      {program / "ECO.DAT", true},
      {program / "new.csv", true},
      {program / "data" / "new.csv", false},
      {dir_ / "work" / "linked.csv", true},
      {dir_ / "work" / "dangling.csv", true},
      {dir_ / "work" / "folder" / "ECO.DAT", false},
      {dir_ / "work" / ".." / "program" / "x.rtf", true},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(savefile::InProtectedFolder(c.path.string())) << c.path;
    const savefile::SaveResult saved =
        savefile::SaveLaidOut(c.path.string(), 3, {{0, "new"}}, {.followLinks = c.followLinks});
    EXPECT_EQ(saved.failure, savefile::Failure::kProtected) << c.path << " " << saved.error;
    EXPECT_NE(saved.error.find(c.path.string()), std::string::npos) << saved.error;
    EXPECT_NE(saved.error.find("program folder"), std::string::npos) << saved.error;
  }
  EXPECT_EQ(ReadAll(program / "ECO.DAT"), "shipped");
  std::size_t inProgram = 0;
  for ([[maybe_unused]] const auto& entry : fs::recursive_directory_iterator(program)) ++inProgram;
  EXPECT_EQ(inProgram, 2u);

  // A folder whose name only begins like the protected folder's is not in it.
  fs::create_directory(dir_ / "program2");
  const fs::path beside = dir_ / "program2" / "x.csv";
  EXPECT_FALSE(savefile::InProtectedFolder(beside.string()));
  EXPECT_TRUE(savefile::SaveWhole(beside.string(), "saved"));
  savefile::SetProtectedFolder({});
  EXPECT_FALSE(savefile::InProtectedFolder((program / "ECO.DAT").string()));
}

}  // namespace
