// The numbered report file and the print layout.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/ui/ui.h"
#include "tools/filecheck/FileInfo.h"
#include "tools/filecheck/modChecker.h"
#include "tools/filecheck/report_file.h"
#include "tools/filecheck/tests/fixture.h"

namespace {

namespace fs = std::filesystem;

std::tm FixedTime(int hour, int minute) {
  std::tm t{};
  t.tm_year = 2025 - 1900;
  t.tm_mon = 2;
  t.tm_mday = 7;
  t.tm_hour = hour;
  t.tm_min = minute;
  return t;
}

TEST(NextReportNumber, LargestThreeOrMoreDigitNumberPlusOne) {
  struct Case {
    std::vector<std::string> files;
    long long next;
  };
  const Case cases[] = {
      {{}, 1},
      {{"crc001.txt", "crc007.txt"}, 8},
      {{"crc001.txt", "crcABC.txt", "crc12.txt", "crc0001.txt.bak", "xcrc050.txt"}, 2},
      {{"CRC005.TXT"}, 6},
      {{"crc999.txt"}, 1000},
      {{"crc999.txt", "crc1000.txt"}, 1001},
      {{"crc1234567890123456789.txt", "crc004.txt"}, 5},  // too long a number to count
  };
  for (const Case& c : cases) {
    fixture::TempDir dir;
    for (const auto& f : c.files) fixture::WriteFile(dir.path() / f, "x");
    EXPECT_EQ(report::NextReportNumber(dir.str() + "/"), c.next) << (c.files.empty() ? "" : c.files.back());
  }
  EXPECT_EQ(report::ReportFileName(8), "crc008.txt");
  EXPECT_EQ(report::ReportFileName(1000), "crc1000.txt");
}

TEST(WriteReportFile, NeverOverwritesAReport) {
  fixture::TempDir dir;
  fixture::WriteFile(dir.path() / "crc999.txt", "old");
  const std::string folder = dir.str() + "/";
  const auto first = report::WriteReportFile(folder, "first");
  const auto second = report::WriteReportFile(folder, "second");
  ASSERT_TRUE(first.ok && second.ok);
  EXPECT_EQ(first.path, folder + "crc1000.txt");
  EXPECT_EQ(second.path, folder + "crc1001.txt");
  EXPECT_EQ(fixture::ReadAll(dir.path() / "crc999.txt"), "old");
  EXPECT_EQ(fixture::ReadAll(first.path), "first");

  const auto blocked = report::WriteReportFile(folder + "crc999.txt/", "x");
  EXPECT_FALSE(blocked.ok);
  EXPECT_NE(blocked.error.find("Not a directory"), std::string::npos);
}

TEST(ReportFileText, TitleTimesAndEmptyList) {
  EXPECT_EQ(report::TitleLine(FixedTime(0, 5)), "Tolvane 32-Bit File Integrity Verification 03-07-2025, 12:05 AM");
  EXPECT_EQ(report::TitleLine(FixedTime(12, 0)), "Tolvane 32-Bit File Integrity Verification 03-07-2025, 12:00 PM");
  EXPECT_EQ(report::TitleLine(FixedTime(23, 59)), "Tolvane 32-Bit File Integrity Verification 03-07-2025, 11:59 PM");

  checker::Grid grid(1);
  for (int c = 0; c < checker::kColumnCount; ++c) grid[0][c] = checker::kColumnHeaders[c];
  EXPECT_EQ(report::ReportFileText(grid, FixedTime(9, 30), "TestOS", "/l/SETUP.CRC", "Unable to open input file"),
            "Tolvane 32-Bit File Integrity Verification 03-07-2025, 09:30 AM\r\n"
            "Running under TestOS with file /l/SETUP.CRC\r\n"
            "\r\n"
            "Unable to open input file\r\n"
            "File #\tName\tStatus\tPath\tVersion Found\tVersion Shipped\tOriginal Size\tCurrent Size\t\r\n");
}

class MakeFileTest : public fixture::CheckerTest {
 protected:
  void SetUp() override {
    modChecker::g_crc.clear();
    modChecker::g_quiet = 0;
  }
};

TEST_F(MakeFileTest, FixtureReportByteForByte) {
  const std::string list = fixture::MakeInstallation(dir_.path());
  fixture::WriteFile(dir_.path() / "disk1" / "crc004.txt", "earlier report");
  modChecker::g_crc = dir_.str() + "/disk1/";
  FileInfo info;
  info.SetClock([] { return FixedTime(14, 5); });
  info.SetOsDisplayName("TestOS 1.0");
  ASSERT_TRUE(fixture::LoadAndVerify(info, list));
  const std::string written = info.cmdMakeFile_Click();
  EXPECT_EQ(written, dir_.str() + "/disk1/crc005.txt");
  EXPECT_EQ(fixture::ReadAll(written), "Tolvane 32-Bit File Integrity Verification 03-07-2025, 02:05 PM\r\n" +
                                           fixture::ExpectedReportBody(dir_.str(), "TestOS 1.0"));
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, "File created: \n" + written);
}

TEST_F(MakeFileTest, UnwritableFolderFallsBackOrIsReported) {
  fixture::WriteFile(dir_.path() / "plain", "a file, not a folder");
  modChecker::g_crc = dir_.str() + "/plain/";
  const char* oldData = std::getenv("XDG_DATA_HOME");
  const std::string saved = oldData != nullptr ? oldData : "";
  FileInfo info;
  info.InitGrid();

  // The per-user folder takes the report.
  setenv("XDG_DATA_HOME", (dir_.str() + "/user").c_str(), 1);
  EXPECT_EQ(info.cmdMakeFile_Click(), dir_.str() + "/user/Kestrin/crc001.txt");

  // Neither folder can take it: the failure is shown, naming each folder with its reason,
  // nothing else happens.
  setenv("XDG_DATA_HOME", (dir_.str() + "/plain/user").c_str(), 1);
  host_.messages.clear();
  EXPECT_EQ(info.cmdMakeFile_Click(), "");
  ASSERT_EQ(host_.messages.size(), 1u);
  const std::string reasons[] = {
      "Unable to create the report file " + dir_.str() + "/plain/crc001.txt: Not a directory",
      "Unable to create the per-user folder " + dir_.str() + "/plain/user/Kestrin/: Not a directory"};
  for (const std::string& reason : reasons)
    EXPECT_NE(host_.messages[0].text.find(reason), std::string::npos) << host_.messages[0].text;

  // Unattended: no box, the run ends with the list-or-report exit code, the folders tried go
  // to stderr and the verdict to stdout.
  modChecker::g_quiet = 1;
  host_.messages.clear();
  const std::string list = fixture::MakeInstallation(dir_.path());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(info.DoItQuiet(list), FileInfo::kExitListOrReportFailed);
  const std::string out = testing::internal::GetCapturedStdout();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(out,
            "5 files checked, 3 failed\n"
            "failed: changed.dat: B2288182\n"
            "failed: missing.ocx: File Not Found\n"
            "failed: locked.bin: Input/output error\n");
  for (const std::string& reason : reasons) EXPECT_NE(err.find(reason), std::string::npos) << err;
  setenv("XDG_DATA_HOME", saved.c_str(), 1);
}

// XDG_DATA_HOME names the program folder, or a folder inside it, or one that a link leads
// into it: the per-user folder is refused there, nothing is made in the program folder, and
// the report cannot be written anywhere.
TEST_F(MakeFileTest, ThePerUserFolderIsNeverInTheProgramFolder) {
  const fs::path program = dir_.path() / "program";
  fs::create_directories(program / "data");
  fs::create_directory_symlink(program, dir_.path() / "link");
  fixture::WriteFile(dir_.path() / "plain", "a file, not a folder");
  modChecker::g_crc = dir_.str() + "/plain/";
  const char* oldData = std::getenv("XDG_DATA_HOME");
  const std::string saved = oldData != nullptr ? oldData : "";
  for (const std::string& data : {program.string(), program.string() + "/data", dir_.str() + "/link/new"}) {
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    FileInfo info;
    info.SetProgramFolder(program.string());
    info.InitGrid();
    host_.messages.clear();
    EXPECT_EQ(info.cmdMakeFile_Click(), "") << data;
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_NE(
        host_.messages[0].text.find("The per-user folder " + data + "/Kestrin/ is in the program folder " +
                                    program.string() + ", which holds the program's own files: it takes no report"),
        std::string::npos)
        << host_.messages[0].text;
    std::vector<std::string> inProgram;
    for (const auto& e : fs::recursive_directory_iterator(program)) inProgram.push_back(e.path().string());
    EXPECT_EQ(inProgram, std::vector<std::string>{(program / "data").string()}) << data;
  }
  setenv("XDG_DATA_HOME", saved.c_str(), 1);
}

// Widths in twips of a monospaced font: 100 per character.
int FixedWidth(const std::string& s) { return static_cast<int>(s.size()) * 100; }

TEST(LayoutPrint, ColumnsAlignmentAndPages) {
  checker::Grid grid(1);
  for (int c = 0; c < checker::kColumnCount; ++c) grid[0][c] = checker::kColumnHeaders[c];
  for (int r = 1; r <= 3; ++r) {
    checker::GridRow row;
    row[checker::kColNumber] = std::to_string(r);
    row[checker::kColName] = "file" + std::to_string(r);
    row[checker::kColOriginalSize] = "9";
    row[checker::kColCurrentSize] = "1,000";
    row[checker::kColSection] = "a much longer section text that is never printed";
    grid.push_back(row);
  }
  const std::vector<int> widths = report::MeasurePrintColumns(grid, FixedWidth);
  EXPECT_EQ(widths[checker::kColNumber], 600 + 200);        // "File #"
  EXPECT_EQ(widths[checker::kColCurrentSize], 1200 + 200);  // "Current Size"

  // Page height such that the break comes after the second row (y = 1440, 1740; 1740 + 2000 > 3500).
  const auto items = report::LayoutPrint(grid, widths, FixedWidth, 300, 3500);
  ASSERT_EQ(items.size(), 4u * 8u);
  std::vector<int> left(8);
  int x = 0;
  for (int c = 0; c < 8; ++c) {
    left[c] = 720 + x;
    x += widths[c] + 200;
  }
  for (const auto& item : items) EXPECT_NE(item.text, grid[1][checker::kColSection]);
  const auto at = [&](int row, int col) { return items[static_cast<size_t>(row * 8 + col)]; };
  // Column 0 is right-aligned on screen but fixed, so it prints from its left edge.
  EXPECT_EQ(at(1, 0).x, left[0]);
  EXPECT_EQ(at(1, 1).x, left[1]);
  EXPECT_EQ(at(1, 6).x, left[6] + widths[6] - 100);
  EXPECT_EQ(at(1, 7).x, left[7] + widths[7] - 500);
  EXPECT_TRUE(at(0, 3).bold && at(2, 0).bold && !at(2, 1).bold);
  EXPECT_EQ(at(0, 0).y, 1440);
  EXPECT_EQ(at(1, 0).y, 1740);
  EXPECT_EQ(at(1, 0).page, 0);
  EXPECT_EQ(at(2, 0).page, 1);
  EXPECT_EQ(at(2, 0).y, 1440);
  EXPECT_EQ(at(3, 0).page, 1);
  EXPECT_EQ(at(3, 0).y, 1740);
}

}  // namespace
