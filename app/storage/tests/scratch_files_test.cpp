// Folders, the scratch record files and the start-up template copy.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <cstdlib>
#include <mutex>
#include <thread>

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

TEST_F(ScratchFiles, CopyFilesStopsAtTheFirstMissingTemplate) {
  const std::string src = dir_ + "program/";
  const std::string dst = dir_ + "scratch/";
  std::filesystem::create_directories(src);
  std::filesystem::create_directories(dst);
  const char* names[] = {"CHL.DAT", "SYS.DAT", "WTH.DAT", "LOD.DAT", "TWR.DAT", "RPT.DAT", "ECO.DAT", "INX.MDB"};
  for (const char* n : names) WriteAll(src + n, std::string("template ") + n);
  WriteAll(dst + "CHL.DAT", "stale");
  EXPECT_FALSE(CopyFiles(src, dst));
  const auto& m = host_.messages.at(0);
  EXPECT_EQ(m.title, "modDataIO.CopyFiles");
  EXPECT_EQ(m.style, 16);
  EXPECT_EQ(m.text.rfind("Copy INX File", 0), 0u);
  EXPECT_NE(m.text.find("HW1.DAT"), std::string::npos);
  for (const char* n : names) EXPECT_EQ(ReadAll(dst + n), std::string("template ") + n);
  WriteAll(src + "HW1.DAT", "hw");
  host_.messages.clear();
  EXPECT_TRUE(CopyFiles(src, dst));
  EXPECT_EQ(ReadAll(dst + "HW1.DAT"), "hw");
  EXPECT_TRUE(host_.messages.empty());
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
