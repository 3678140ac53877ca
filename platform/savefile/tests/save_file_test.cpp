// Saving a whole file: the old file stays whole and no temporary is left when a write fails.
#include "platform/savefile/save_file.h"
#include "platform/savefile/tests/disk_limit.h"
#include "libs/testsupport/read_only_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sched.h>
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

// A pid whose process has certainly ended.
pid_t EndedPid() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  int status = 0;
  waitpid(child, &status, 0);
  return child;
}

std::string Padded(std::string pid) { return std::string(10 - pid.size(), '0') + pid; }

// The name a save of process `pid` gives its temporary.
std::string TemporaryName(pid_t pid, const std::string& suffix) {
  return ".kestrin-" + Padded(std::to_string(pid)) + "-" + suffix + ".tmp";
}

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

// Temporaries of today's form that no save holds (a save killed before its rename) go,
// whatever file they were for and whatever pid they are named for: a save killed as the first
// process of a pid namespace of its own is named for pid 1 (or 2 under a sandbox helper), and
// one may be named for this very process. Names of any other shape stay, the names earlier
// versions gave their temporaries included: such a name may be a user's.
TEST_F(SaveWholeTest, TemporariesNoSaveHoldsGoOthersStay) {
  const std::string dead = std::to_string(EndedPid());
  const std::string self = std::to_string(::getpid());
  const struct {
    std::string name;
    bool removed;
  } cases[] = {
      {".kestrin-" + Padded(dead) + "-AbC123.tmp", true},
      {".kestrin-" + Padded(self) + "-AbC123.tmp", true},
      {".kestrin-" + Padded("1") + "-AbC123.tmp", true},
      {".kestrin-" + Padded("2") + "-AbC123.tmp", true},
      {".kestrin-" + Padded(dead) + "-AbC12.tmp", false},
      {".kestrin-" + Padded(dead) + "-AbC1-3.tmp", false},
      {".kestrin-" + dead + "-AbC123.tmp", false},
      {".kestrin-" + Padded(dead) + "-AbC123.tmpx", false},
      {".r.csv.tmp" + dead + ".AbC123", false},  // as earlier versions named them
      {"r.csv.tmp" + dead, false},
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

// A save in another pid namespace (a sandboxed instance, a container) is named for a pid that
// does not exist here, or for one that belongs to another process here (pid 1, this one's).
// The lock it holds on its temporary keeps the temporary through the saves beside it; once
// nothing holds it, the next save removes it.
TEST_F(SaveWholeTest, ATemporaryASaveStillHoldsStays) {
  const fs::path held[] = {dir_ / TemporaryName(EndedPid(), "Held01"), dir_ / TemporaryName(1, "Held02"),
                           dir_ / TemporaryName(::getpid(), "Held03")};
  int ready[2], go[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(go), 0);
  const pid_t holder = fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    ::close(go[1]);  // so that the test's end ends the wait too
    // As a save holds its temporary: created, then locked by its open file until it ends.
    char c = 'y';
    for (const fs::path& temp : held) {
      const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
      struct flock lock {};
      lock.l_type = F_WRLCK;
      lock.l_whence = SEEK_SET;
      if (fd < 0 || ::write(fd, "partial", 7) != 7 || ::fcntl(fd, F_OFD_SETLK, &lock) != 0) c = 'n';
    }
    (void)!::write(ready[1], &c, 1);
    (void)!::read(go[0], &c, 1);
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y') << "the holder could not lock its temporaries";
  for (const char* contents : {"first", "second"}) {
    EXPECT_TRUE(savefile::SaveWhole((dir_ / "r.csv").string(), contents));
    for (const fs::path& temp : held)
      EXPECT_EQ(ReadAll(temp), "partial") << "a save removed a temporary that another save holds: " << temp;
  }
  (void)!::write(go[1], &c, 1);
  int status = 0;
  ASSERT_EQ(waitpid(holder, &status, 0), holder);
  for (const int fd : {ready[0], ready[1], go[0], go[1]}) ::close(fd);
  EXPECT_TRUE(savefile::SaveWhole((dir_ / "r.csv").string(), "third"));
  for (const fs::path& temp : held)
    EXPECT_FALSE(fs::exists(fs::symlink_status(temp))) << "the temporary of an ended save stays: " << temp;
  EXPECT_EQ(FilesInFolder(), 1u);
}

// Names a user may give a file of their own stay beside the saved file, those like the names
// earlier versions gave their temporaries included (more of them above); so does anything
// that is not a regular file under the exact name of a temporary of an ended save (a folder,
// a link, a FIFO).
TEST_F(SaveWholeTest, NamesAUserMayChooseStay) {
  const pid_t dead = EndedPid();
  const std::string ended = std::to_string(dead);
  WriteRaw(dir_ / "kept.txt", "the user's");
  enum Kind { kFile, kFolder, kLink, kFifo };
  const struct {
    std::string saved;
    std::string beside;
    Kind kind;
  } cases[] = {
      {"Plant.vxn", "Plant.vxn.tmp2024", kFile},
      {"summary.csv", "summary.csv.tmp31000", kFile},
      {"PLVReport_for_Plant.rtf", "PLVReport_for_Plant.rtf.tmp" + ended, kFile},
      {"r.csv", TemporaryName(dead, "AbC123"), kFolder},
      {"r.csv", TemporaryName(dead, "Link01"), kLink},
      {"r.csv", TemporaryName(dead, "Fifo01"), kFifo},
  };
  for (const auto& c : cases) {
    const fs::path beside = dir_ / c.beside;
    switch (c.kind) {
      case kFile:
        WriteRaw(beside, "user data");
        break;
      case kFolder:
        fs::create_directory(beside);
        break;
      case kLink:
        fs::create_symlink(dir_ / "kept.txt", beside);
        break;
      case kFifo:
        ASSERT_EQ(::mkfifo(beside.c_str(), 0600), 0);
        break;
    }
    ASSERT_TRUE(savefile::SaveWhole((dir_ / c.saved).string(), "saved")) << c.beside;
    const fs::file_status status = fs::symlink_status(beside);
    const fs::file_type type[] = {fs::file_type::regular, fs::file_type::directory, fs::file_type::symlink,
                                  fs::file_type::fifo};
    EXPECT_EQ(status.type(), type[c.kind]) << c.beside;
    if (c.kind == kFile) {
      EXPECT_EQ(ReadAll(beside), "user data") << c.beside;
    }
    fs::remove(beside);
  }
  EXPECT_EQ(ReadAll(dir_ / "kept.txt"), "the user's");
}

// Saves in two pid namespaces share a folder: the one inside the new namespace sees the pid
// of the one outside as ended. Every save of both goes through and nothing is left behind.
TEST_F(SaveWholeTest, SavesInAnotherPidNamespaceKeepTheirTemporaries) {
  int done[2];
  ASSERT_EQ(::pipe(done), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The first child of a new pid namespace is its pid 1; this process stays outside it. An
    // ordinary user makes it inside a user namespace of its own.
    if (const std::string why = testsupport::detail::OwnNamespaces(CLONE_NEWPID, "a pid namespace"); !why.empty()) {
      (void)!::write(done[1], why.data(), why.size());
      _exit(2);
    }
    const pid_t inside = fork();
    if (inside == 0) {
      int failed = 0;
      for (int i = 0; i < 300; ++i)
        failed += !savefile::SaveLaidOut((dir_ / "inside.csv").string(), 5, {{0, "saved"}}, {.sync = false});
      _exit(failed == 0 ? 0 : 1);
    }
    int status = 0;
    if (inside < 0 || waitpid(inside, &status, 0) != inside) _exit(2);
    (void)!::write(done[1], "x", 1);
    _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 3);
  }
  ::close(done[1]);
  // Saves on this side for as long as the other side saves (its end closes the pipe).
  int saves = 0, failed = 0;
  std::string firstError;
  for (pollfd p{done[0], POLLIN, 0}; ::poll(&p, 1, 0) == 0 || saves == 0; ++saves) {
    std::string error;
    if (!savefile::SaveWhole((dir_ / "outside.csv").string(), "saved", &error) && failed++ == 0) firstError = error;
  }
  std::string said;
  char buf[512];
  for (ssize_t n; (n = ::read(done[0], buf, sizeof buf)) > 0;) said.append(buf, static_cast<std::size_t>(n));
  ::close(done[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_NE(WEXITSTATUS(status), 2) << "no pid namespace could be made: " << said;
  EXPECT_EQ(WEXITSTATUS(status), 0) << "saves in the other namespace failed";
  EXPECT_EQ(failed, 0) << "of " << saves << " saves; the first: " << firstError;
  EXPECT_EQ(FilesInFolder(), 2u);
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

// The protected folder mounted a second time (by an administrator, or a container's volume)
// is the same folder under a name that no link leads to: nothing is saved into it through
// that name either, nor through a second mount of a folder above it. A folder beside it in
// that mount takes saves.
TEST_F(SaveWholeTest, ASecondMountOfTheProtectedFolderIsTheProtectedFolder) {
  const fs::path tree = dir_ / "tree";
  const fs::path program = tree / "program";
  fs::create_directories(program / "data");
  fs::create_directories(tree / "beside");
  WriteRaw(program / "ECO.DAT", "shipped");
  const fs::path at = dir_ / "at";
  fs::create_directory(at);
  savefile::SetProtectedFolder([&] { return program.string() + "/"; });
  const struct {
    fs::path mounted;
    fs::path program;  // the program folder through the second mount
  } mounts[] = {{program, at}, {tree, at / "program"}};
  KESTRIN_REQUIRE_BOUND_FOLDER();
  for (const auto& m : mounts) {
    const std::string seen = testsupport::InBoundFolder(m.mounted.string(), at.string(), [&] {
      std::string faults;
      for (const fs::path& path : {m.program / "ECO.DAT", m.program / "new.csv", m.program / "data" / "new.csv"}) {
        const savefile::SaveResult saved =
            savefile::SaveLaidOut(path.string(), 3, {{0, "new"}}, {.followLinks = false});
        if (saved.failure != savefile::Failure::kProtected) faults += "saved: " + path.string() + "; ";
        if (!savefile::InProtectedFolder(path.string())) faults += "not protected: " + path.string() + "; ";
      }
      if (!savefile::FolderWithin((m.program / "report" / "new").string(), program.string()))
        faults += "a folder to be made inside it is not within it; ";
      if (m.program != at && !savefile::SaveWhole((at / "beside" / "x.csv").string(), "saved"))
        faults += "the folder beside it took no save; ";
      return faults;
    });
    EXPECT_EQ(seen, "") << m.mounted;
  }
  savefile::SetProtectedFolder({});
  EXPECT_EQ(ReadAll(program / "ECO.DAT"), "shipped");
  std::size_t inProgram = 0;
  for ([[maybe_unused]] const auto& entry : fs::recursive_directory_iterator(program)) ++inProgram;
  EXPECT_EQ(inProgram, 2u);
  EXPECT_EQ(ReadAll(tree / "beside" / "x.csv"), "saved");
}

}  // namespace
