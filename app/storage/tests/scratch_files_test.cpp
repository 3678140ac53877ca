// Folders, the scratch record files and the start-up template copy.
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "app/storage/data_files.h"
#include "app/storage/record_codec.h"
#include "app/storage/tests/storage_fixture.h"
#include "libs/testsupport/read_only_folder.h"

using namespace modDataIO;

class ScratchFiles : public StorageTest {};

TEST_F(ScratchFiles, FoldersFollowTheDataHomeAndEndWithSlash) {
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_DATA_HOME", "/data/home/", 1);
  EXPECT_EQ(GetAppDataFolder(), "/data/home/Kestrin/");
  setenv("XDG_DATA_HOME", "/data/home", 1);
  EXPECT_EQ(GetAppDataFolder(), "/data/home/Kestrin/");
  EXPECT_EQ(GetTempFolder(), "/data/home/Kestrin/Temp/");
  setenv("XDG_DATA_HOME", "relative/ignored", 1);
  EXPECT_EQ(GetAppDataFolder(), GetUserProfileFolder() + ".local/share/Kestrin/");
  if (old)
    setenv("XDG_DATA_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(GetAppFolder().back(), '/');
  EXPECT_TRUE(std::filesystem::exists(GetAppFolder()));
  EXPECT_EQ(GetErrSource("bChillerRead"), "vexon.modDataIO.bChillerRead");
}

TEST_F(ScratchFiles, EmptyFolderMeansTheScratchFolderAndIsWrittenBack) {
  WeatherData w;
  w.sName = "Chicago";
  w.bDayOperated(1) = vb::kTrue;
  w.lMonthBinHours(7, 20) = 31;
  std::string folder;
  ASSERT_TRUE(bWeatherWrite(w, folder));
  EXPECT_EQ(folder, dir_);
  EXPECT_EQ(SizeOf(dir_ + "WTH.DAT"), 2772u);
  const std::string bytes = ReadAll(dir_ + "WTH.DAT");
  EXPECT_EQ(bytes.substr(88 + 2, 2), "\xFF\xFF");
  EXPECT_EQ(bytes.substr(0, 42), "Chicago" + std::string(35, ' '));
  WeatherData back;
  std::string folder2;
  ASSERT_TRUE(bWeatherRead(back, folder2));
  EXPECT_EQ(folder2, dir_);
  EXPECT_EQ(back.bDayOperated(1), vb::kTrue);
  EXPECT_EQ(back.lMonthBinHours(7, 20), 31);
  EXPECT_EQ(back.sName, "Chicago" + std::string(35, ' '));
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(ScratchFiles, SecondLoadProfileRecordAndShortFiles) {
  LoadProfileData first;
  first.sName = "Office";
  first.fBinLoad(24) = 1200.0f;
  ASSERT_TRUE(bLoadProfileWrite(first, dir_));
  EXPECT_EQ(SizeOf(dir_ + "LOD.DAT"), 259u);
  // The record at byte 260 lies beyond the end: it reads as zeros (texts of NULs).
  LoadProfileData second;
  second.fPeakLoad = 5;
  ASSERT_TRUE(bLoadProfileRead2(second, dir_));
  EXPECT_EQ(second.fPeakLoad, 0.0f);
  EXPECT_EQ(second.sName, std::string(35, '\0'));
  // A second record written by hand is read from byte 260 and survives a write of the first.
  LoadProfileData other;
  other.sName = "Second";
  other.fPeakLoad = 77;
  WriteAll(dir_ + "LOD.DAT", codec::Encode(first) + codec::Encode(other));
  first.fPeakLoad = 900;
  ASSERT_TRUE(bLoadProfileWrite(first, dir_));
  ASSERT_TRUE(bLoadProfileRead2(second, dir_));
  EXPECT_EQ(second.fPeakLoad, 77.0f);
  LoadProfileData back;
  ASSERT_TRUE(bLoadProfileRead(back, dir_));
  EXPECT_EQ(back.fPeakLoad, 900.0f);
}

TEST_F(ScratchFiles, MissingEconomicsFileReadsAsZerosAndIsNotCreated) {
  EconomicsData e;
  e.nLifeCycleYears = 20;
  ASSERT_TRUE(bEconomicsRead(e, dir_));
  EXPECT_EQ(e.nLifeCycleYears, 0);
  EXPECT_EQ(e.sCurrency, std::string(7, '\0'));
  EXPECT_FALSE(std::filesystem::exists(dir_ + "ECO.DAT"));
}

// The folder is read-only even for root (a read-only mount): a read that opened a file for
// writing, or created one, would fail there.
TEST_F(ScratchFiles, ReadsWorkInAReadOnlyFolder) {
  ReportData r;
  r.ReportType = 2;
  r.AnalysedSystemIndex = 2;
  ASSERT_TRUE(bReportsWrite(r, dir_));
  KESTRIN_REQUIRE_READ_ONLY_FOLDER();
  const std::string seen = testsupport::InReadOnlyFolder(root_.string(), [&] {
    ReportData back;
    const bool read = bReportsRead(back, dir_) && bEconomicsRead(*std::make_unique<EconomicsData>(), dir_);
    if (!read) return "not read: " + (host_.messages.empty() ? std::string() : host_.messages[0].text);
    return codec::Encode(back) == codec::Encode(r) ? std::string("read") : std::string("read other bytes");
  });
  EXPECT_EQ(seen, "read");
  EXPECT_FALSE(std::filesystem::exists(dir_ + "ECO.DAT"));
}

TEST_F(ScratchFiles, FailedReadLeavesTheRecordAndNamesTheFile) {
  std::filesystem::create_directory(dir_ + "RPT.DAT");  // a folder where the file should be
  ReportData r;
  r.ReportType = 2;
  r.sValue255 = "kept";
  EXPECT_FALSE(bReportsRead(r, dir_));
  EXPECT_EQ(r.ReportType, 2);
  EXPECT_EQ(r.sValue255, "kept");
  const auto& m = host_.messages.at(0);
  EXPECT_EQ(m.title, "bReportsRead");
  EXPECT_EQ(m.style, 48);
  EXPECT_NE(m.text.find("The following error occurred while reading or writing data:"), std::string::npos);
  EXPECT_NE(m.text.find(dir_ + "RPT.DAT"), std::string::npos);
}

TEST_F(ScratchFiles, FailedWriteKeepsTheOldFile) {
  WeatherData w;
  w.sName = "old";
  ASSERT_TRUE(bWeatherWrite(w, dir_));
  const std::string before = ReadAll(dir_ + "WTH.DAT");
  w.sName = "new";
  EXPECT_FALSE(bWeatherWrite(w, dir_ + "missing/"));
  EXPECT_NE(TakeMessage().find(dir_ + "missing/WTH.DAT"), std::string::npos);
  // A folder that cannot be written, by root neither (a read-only mount).
  KESTRIN_REQUIRE_READ_ONLY_FOLDER();
  const std::string seen = testsupport::InReadOnlyFolder(root_.string(), [&] {
    const bool written = bWeatherWrite(w, dir_);
    return (written ? "written: " : "refused: ") + (host_.messages.empty() ? std::string() : host_.messages[0].text);
  });
  EXPECT_EQ(seen.rfind("refused: ", 0), 0u) << seen;
  EXPECT_NE(seen.find(dir_ + "WTH.DAT"), std::string::npos) << seen;
  EXPECT_NE(seen.find(std::strerror(EROFS)), std::string::npos) << seen;
  EXPECT_EQ(ReadAll(dir_ + "WTH.DAT"), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root_), {}), 1);  // no temporary left
}

// Each template that cannot be copied is reported under its own step; the templates before it
// are copied, the copy stops there, and once the template is back everything is copied.
TEST_F(ScratchFiles, CopyFilesStopsAtTheFirstMissingTemplateUnderItsOwnStep) {
  const std::string src = dir_ + "program/";
  const std::string dst = dir_ + "scratch/";
  std::filesystem::create_directories(src);
  std::filesystem::create_directories(dst);
  const struct {
    const char* file;
    const char* step;
  } templates[] = {{"CHL.DAT", "Copy CHL File"}, {"SYS.DAT", "Copy SYS File"}, {"WTH.DAT", "Copy WTH File"},
                   {"LOD.DAT", "Copy LOD File"}, {"TWR.DAT", "Copy TWR File"}, {"RPT.DAT", "Copy RPT File"},
                   {"ECO.DAT", "Copy ECO File"}, {"INX.MDB", "Copy INX File"}, {"HW1.DAT", "Copy HW1 File"}};
  for (const auto& missing : templates) {
    SCOPED_TRACE(missing.file);
    for (const auto& t : templates) {
      std::filesystem::remove(src + t.file);
      if (&t != &missing) WriteAll(src + t.file, std::string("template ") + t.file);
      WriteAll(dst + t.file, "stale");
    }
    host_.messages.clear();
    EXPECT_FALSE(CopyFiles(src, dst));
    ASSERT_EQ(host_.messages.size(), 1u);
    const auto& m = host_.messages[0];
    EXPECT_EQ(m.title, "modDataIO.CopyFiles");
    EXPECT_EQ(m.style, 16);
    EXPECT_EQ(m.text.rfind(std::string(missing.step) + "\r\n", 0), 0u) << m.text;
    EXPECT_NE(m.text.find(src + missing.file), std::string::npos) << m.text;
    bool before = true;
    for (const auto& t : templates) {
      if (&t == &missing) before = false;
      EXPECT_EQ(ReadAll(dst + t.file), before ? std::string("template ") + t.file : "stale") << t.file;
    }
    WriteAll(src + missing.file, std::string("template ") + missing.file);
    host_.messages.clear();
    EXPECT_TRUE(CopyFiles(src, dst));
    for (const auto& t : templates) EXPECT_EQ(ReadAll(dst + t.file), std::string("template ") + t.file);
    EXPECT_TRUE(host_.messages.empty());
  }
}

// A FIFO put where WTH.DAT belongs must not hang the read. Should the read wait on it
// anyway, a watchdog opens the FIFO's other end after 10 s, so the test fails instead of
// hanging.
TEST_F(ScratchFiles, AFifoInPlaceOfAScratchFileFailsWithoutWaiting) {
  const std::string fifo = dir_ + "WTH.DAT";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  std::atomic<bool> fired{false};
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> lock(m);
    if (!cv.wait_for(lock, std::chrono::seconds(10), [&] { return done; })) {
      fired = true;
      const int fd = ::open(fifo.c_str(), O_WRONLY);
      if (fd >= 0) ::close(fd);
    }
  });
  WeatherData w;
  w.sName = "kept";
  const bool read = bWeatherRead(w, dir_);
  {
    std::lock_guard<std::mutex> lock(m);
    done = true;
  }
  cv.notify_one();
  watchdog.join();
  EXPECT_FALSE(fired) << "the read waited on the FIFO";
  EXPECT_FALSE(read);
  EXPECT_NE(TakeMessage().find("Not a regular file: " + fifo), std::string::npos);
  EXPECT_EQ(w.sName, "kept");
  EXPECT_FALSE(bWeatherWrite(w, dir_));
  EXPECT_NE(TakeMessage().find("Not a regular file: " + fifo), std::string::npos);
  struct stat st {};
  ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// The check of our own file under its name (before SQLite or another writer opens it) looks
// at the name alone: a regular file or none passes, a link (to a file or to nothing), a folder
// and a FIFO are refused with the scratch files' "Not a regular file" box, and nothing at the
// name is opened on the way (a FIFO then never waits, a link is never followed).
TEST_F(ScratchFiles, CheckOwnFileRefusesAnythingButARegularFileWithoutOpeningIt) {
  WriteAll(dir_ + "elsewhere.txt", "elsewhere");
  WriteAll(dir_ + "LCA.TXT", "listing");
  std::filesystem::create_symlink(dir_ + "elsewhere.txt", dir_ + "linked");
  std::filesystem::create_symlink(dir_ + "nowhere.txt", dir_ + "dangling");
  std::filesystem::create_directory(dir_ + "folder");
  ASSERT_EQ(::mkfifo((dir_ + "fifo").c_str(), 0600), 0);
  const struct {
    const char* name;
    bool refused;
  } cases[] = {{"LCA.TXT", false}, {"missing", false}, {"linked", true},
               {"dangling", true}, {"folder", true},   {"fifo", true}};
  // Every open of anything there, the link's target included, shows as an event.
  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  for (const char* name : {"elsewhere.txt", "LCA.TXT", "linked", "folder", "fifo"})
    ASSERT_GE(::inotify_add_watch(watch, (dir_ + name).c_str(), IN_OPEN | IN_DONT_FOLLOW), 0) << name;
  for (const auto& c : cases) {
    const std::string path = dir_ + c.name;
    EXPECT_EQ(detail::RunData("CheckOwnFile",
                              [&] {
                                detail::CheckOwnFile(path);
                                return true;
                              }),
              !c.refused)
        << c.name;
    if (c.refused) {
      EXPECT_NE(TakeMessage().find("Not a regular file: " + path), std::string::npos) << c.name;
    }
    char events[4096];
    EXPECT_LT(::read(watch, events, sizeof events), 0) << c.name << " was opened";
  }
  ::close(watch);
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(ScratchFiles, ALinkedScratchFileIsNeitherReadNorWrittenThrough) {
  const std::string target = root_.string() + "/elsewhere.txt";
  WriteAll(target, std::string(2000, 'u'));
  std::filesystem::create_symlink(target, dir_ + "RPT.DAT");
  ReportData r;
  r.ReportType = 2;
  EXPECT_FALSE(bReportsRead(r, dir_));
  EXPECT_NE(TakeMessage().find("Not a regular file: " + dir_ + "RPT.DAT"), std::string::npos);
  EXPECT_EQ(r.ReportType, 2);
  EXPECT_FALSE(bReportsWrite(r, dir_));
  TakeMessage();
  EXPECT_EQ(ReadAll(target), std::string(2000, 'u'));
}

TEST_F(ScratchFiles, AFileCutInsideARecordIsAnError) {
  ReportData r;
  r.ReportType = 2;
  ASSERT_TRUE(bReportsWrite(r, dir_));
  const auto size = SizeOf(dir_ + "RPT.DAT");
  std::filesystem::resize_file(dir_ + "RPT.DAT", size - 1);
  ReportData back;
  back.ReportType = 7;
  EXPECT_FALSE(bReportsRead(back, dir_));
  EXPECT_NE(TakeMessage().find("Input past end of file: " + dir_ + "RPT.DAT"), std::string::npos);
  EXPECT_EQ(back.ReportType, 7);
}
