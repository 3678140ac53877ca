// A small installation for the checker's tests, in a fresh temporary folder:
//   good.dll     "123456789", listed with its CRC            -> OK
//   changed.dat  "123456780", listed with good.dll's CRC     -> the computed CRC
//   missing.ocx  not there, listed with a 3 GB size          -> File Not Found, no current size
//   locked.bin   a link to /proc/self/mem, which cannot be read from its start (even by root)
//   empty.txt    empty, CRC 0                                -> OK with sizes 0
// The list disk1/SETUP.CRC (CR LF line ends) names them from a sub-folder, so every file is
// found through "../"; it also has a section for another system, which is not taken.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ui/ui.h"
#include "tools/filecheck/FileInfo.h"

namespace fixture {

namespace fs = std::filesystem;

inline void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

inline const char kList[] =
    "; files of the fixture installation\r\n"
    "[good.dll]\r\n"
    "CRC=CBF43926\r\n"
    "Size=9\r\n"
    "VERSION=1.0.0\r\n"
    "\r\n"
    "[changed.dat:Linux]\r\n"
    "CRC=CBF43926\r\n"
    "Size=9\r\n"
    "\r\n"
    "[\"missing.ocx\" : linux]\r\n"
    "CRC=1234\r\n"
    "Size=3221225472\r\n"
    "\r\n"
    "[winonly.dll:Windows 95, Windows NT 4.0]\r\n"
    "CRC=1\r\n"
    "\r\n"
    "[locked.bin]\r\n"
    "CRC=0\r\n"
    "Size=0\r\n"
    "\r\n"
    "[empty.txt]\r\n"
    "crc=0\r\n"
    "SIZE=0\r\n";

// A temporary folder that is removed again.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "veritor-XXXXXX").string();
    path_ = mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const fs::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

 private:
  fs::path path_;
};

// A test with the recording message host installed and a fresh temporary folder.
class CheckerTest : public ::testing::Test {
 protected:
  ui::RecordingHost host_;
  ui::ScopedHost scoped_{host_};
  TempDir dir_;
};

// Sets up the grid, reads the list and checks every file; false when the list was not read.
inline bool LoadAndVerify(FileInfo& info, const std::string& list) {
  info.InitGrid();
  const bool read = info.LoadCrcFile(list);
  info.VerifyFiles(list);
  return read;
}

// Builds the installation in dir and returns the list file's path.
inline std::string MakeInstallation(const fs::path& dir) {
  WriteFile(dir / "good.dll", "123456789");
  WriteFile(dir / "changed.dat", "123456780");
  WriteFile(dir / "empty.txt", "");
  fs::create_symlink("/proc/self/mem", dir / "locked.bin");
  WriteFile(dir / "disk1" / "SETUP.CRC", kList);
  return (dir / "disk1" / "SETUP.CRC").string();
}

// The report lines after the title line for the installation in dir, with the OS name shown.
// The list has no count line, which the report notes.
inline std::string ExpectedReportBody(const std::string& dir, const std::string& osName) {
  return "Running under " + osName + " with file " + dir +
         "/disk1/SETUP.CRC\r\n"
         "\r\n"
         "The list has no count line: whether it is complete could not be checked.\r\n"
         "File #\tName\tStatus\tPath\tVersion Found\tVersion Shipped\tOriginal Size\tCurrent Size\t\r\n"
         "1\tgood.dll\tOK\t" +
         dir +
         "/good.dll \u00A9\t\t1.0.0\t9\t9\t\r\n"
         "2\tchanged.dat\tB2288182\t" +
         dir +
         "/changed.dat \u00A9\t\t\t9\t9\t\r\n"
         "3\tmissing.ocx\tFile Not Found\tNot found\t\t\t3,221,225,472\t\t\r\n"
         "4\tlocked.bin\tInput/output error\t" +
         dir +
         "/locked.bin \u00A9\t\t\t0\t\t\r\n"
         "5\tempty.txt\tOK\t" +
         dir + "/empty.txt \u00A9\t\t\t0\t0\t\r\n";
}

inline std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace fixture
