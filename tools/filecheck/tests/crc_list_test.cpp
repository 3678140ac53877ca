// The CRC list: section texts, OS filters, the key reader and the grid rows of a list.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "platform/ui/ui.h"
#include "tools/filecheck/FileInfo.h"
#include "tools/filecheck/modChecker.h"
#include "tools/filecheck/crc_list.h"
#include "tools/filecheck/file_search.h"
#include "tools/filecheck/tests/fixture.h"

namespace {

TEST(NextToken, CleansNameAndFilter) {
  struct Case {
    const char* text;
    const char* name;
    const char* filter;
  };
  const Case cases[] = {
      {"file.dll", "file.dll", ""},
      {"file.dll:Linux", "file.dll", "Linux"},
      {"  file.dll : Linux  ", "file.dll", "Linux"},
      {"\"file name.dll\":'Linux'", "file name.dll", "Linux"},
      {"'\"odd.dll\"'", "odd.dll", ""},
      {"a:b:c", "a", "b:c"},
      {"tab.dll\t", "tab.dll", ""},
      {"x.dll:Linux\x01\x02", "x.dll", "Linux"},
      {"", "", ""},
      {":Linux", "", "Linux"},
  };
  for (const Case& c : cases) {
    const auto [name, filter] = modChecker::NextToken(c.text, ":");
    EXPECT_EQ(name, c.name) << c.text;
    EXPECT_EQ(filter, c.filter) << c.text;
  }
  // Without a delimiter the whole text is the token.
  EXPECT_EQ(modChecker::NextToken("a:b", "").first, "a:b");
}

TEST(SectionTaken, FilterContainsTheSystemName) {
  struct Case {
    const char* filter;
    const char* os;
    bool taken;
  };
  const Case cases[] = {
      {"", "Linux", true},
      {"   ", "Linux", true},
      {"linux", "Linux", true},
      {"Windows NT 4.0, Linux", "Linux", true},
      {"Windows 95", "Linux", false},
      {"Windows NT 4.0", "Windows 2000", true},
      {"windows nt 4.0", "Pltfrm 2 Version 6.1 Build 7601", true},
      {"Windows 2000", "Windows 2000", false},
  };
  for (const Case& c : cases) EXPECT_EQ(modChecker::SectionTaken(c.filter, c.os), c.taken) << c.filter << " / " << c.os;
}

TEST(ScanSections, HeadersFiltersAndLineEnds) {
  const std::string text =
      "[first.so]\r\n"
      " [blank-before.so]\r\n"
      "[blank-after.so] \r\n"
      "[\"quoted name.so\":LINUX]\n"
      "[win.dll:Windows 98]\r\n"
      "CRC=1\r\n"
      "[last.so:linux]";
  const auto files = crclist::ScanSections(text, "Linux");
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].name, "first.so");
  EXPECT_EQ(files[1].name, "quoted name.so");
  EXPECT_EQ(files[1].section, "\"quoted name.so\":LINUX");
  EXPECT_EQ(files[2].name, "last.so");
  EXPECT_TRUE(crclist::ScanSections("CRC=1\r\n; no sections\r\n", "Linux").empty());
}

TEST(IniFile, KeysAsTheListsWereWritten) {
  const crclist::IniFile ini(
      "[A.so:Linux]\r\n"
      "crc = 1F \r\n"
      "Version=\"1.2.3\"\r\n"
      "Size=10\r\n"
      "Size=20\r\n"
      "[b.so]\n"
      "CRC=2\n"
      "[a.so:linux]\n"
      "CLSID={later}\n"
      "[ empty ]\n"
      "[c.so]\n"
      "CRC=" +
      std::string(300, '7') + "\n");
  EXPECT_EQ(ini.Get("a.so:LINUX", "CRC"), "1F");
  EXPECT_EQ(ini.Get("A.so:Linux", "version"), "1.2.3");
  EXPECT_EQ(ini.Get("A.so:Linux", "Size"), "10");    // the first key wins
  EXPECT_EQ(ini.Get("A.so:Linux", "CLSID"), "");     // only the first section of a name counts
  EXPECT_EQ(ini.Get("A.so:Linux", "CLSIDVer"), "");  // missing key
  EXPECT_EQ(ini.Get("nowhere", "CRC"), "");          // missing section
  EXPECT_EQ(ini.Get("empty", "CRC"), "");
  EXPECT_EQ(ini.Get("b.so", "CRC"), "2");
  EXPECT_EQ(ini.Get("c.so", "CRC").size(), 254u);
}

TEST(IniGetSize, SixtyFourBitsAndUnreadableValues) {
  struct Case {
    const char* value;
    const char* shown;
  };
  const Case cases[] = {
      {"0", "0"},
      {"999", "999"},
      {"1000", "1,000"},
      {"3221225472", "3,221,225,472"},
      {"123456789012345", "123,456,789,012,345"},
      {"12 KB", ""},
      {"", ""},
      {"0x10", ""},
      {"99999999999999999999", ""},
  };
  fixture::TempDir dir;
  for (const Case& c : cases) {
    const std::string list = dir.str() + "/size.crc";
    fixture::WriteFile(list, std::string("[f]\r\nSize=") + c.value + "\r\n");
    FileInfo info;  // a new reader per case: the list file is cached by name
    EXPECT_EQ(info.IniGetSize("f", list), c.shown) << c.value;
  }
}

using LoadCrcFileTest = fixture::CheckerTest;

TEST_F(LoadCrcFileTest, OneNumberedRowPerTakenSection) {
  const std::string list = fixture::MakeInstallation(dir_.path());
  FileInfo info;
  info.InitGrid();
  ASSERT_TRUE(info.LoadCrcFile(list));
  const checker::Grid& grid = info.Grid1();
  ASSERT_EQ(grid.size(), 6u);
  EXPECT_EQ(grid[0][checker::kColName], "Name");
  const char* names[] = {"good.dll", "changed.dat", "missing.ocx", "locked.bin", "empty.txt"};
  for (size_t r = 1; r < grid.size(); ++r) {
    EXPECT_EQ(grid[r][checker::kColNumber], std::to_string(r));
    EXPECT_EQ(grid[r][checker::kColName], names[r - 1]);
  }
  EXPECT_EQ(grid[3][checker::kColSection], "\"missing.ocx\" : linux");
  EXPECT_EQ(grid[1][checker::kColVersionShipped], "1.0.0");
  EXPECT_TRUE(host_.messages.empty());
}

// A list that names no file checks nothing: it is refused, with a box, and the grid keeps its
// header row alone.
TEST_F(LoadCrcFileTest, ListWithoutSectionsIsRefusedAndLeavesTheHeaderRow) {
  const std::string list = dir_.str() + "/empty.crc";
  fixture::WriteFile(list, "; nothing listed\r\n");
  FileInfo info;
  info.InitGrid();
  ASSERT_FALSE(info.LoadCrcFile(list));
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_NE(host_.messages[0].text.find("the list names no file"), std::string::npos) << host_.messages[0].text;
  ASSERT_EQ(info.Grid1().size(), 1u);
  EXPECT_EQ(info.Grid1()[0][checker::kColNumber], "File #");
}

TEST_F(LoadCrcFileTest, UnreadableListShowsTheErrorAndAddsNoRows) {
  FileInfo info;
  info.InitGrid();
  EXPECT_FALSE(info.LoadCrcFile(dir_.str() + "/nothing.crc"));
  EXPECT_EQ(info.Grid1().size(), 1u);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text.rfind("Unable to open input file " + dir_.str() + "/nothing.crc", 0), 0u);
  EXPECT_NE(host_.messages[0].text.find("No such file or directory"), std::string::npos);
  // A folder opens but cannot be read as a list.
  EXPECT_FALSE(info.LoadCrcFile(dir_.str()));
  EXPECT_NE(info.ListError().find("Is a directory"), std::string::npos);
}

// A file far larger than any list is refused from its size, without reading it: the sparse
// 2 GiB file here holds no bytes on disk, and reading it would take gigabytes of memory.
TEST_F(LoadCrcFileTest, FileLargerThanAnyListIsNotRead) {
  const std::string list = dir_.str() + "/huge.crc";
  fixture::WriteFile(list, "; files listed: 1\n[good.dll]\nCRC=CBF43926\n");
  std::filesystem::resize_file(list, uint64_t{2} << 30);
  FileInfo info;
  info.InitGrid();
  EXPECT_FALSE(info.LoadCrcFile(list));
  EXPECT_EQ(info.Grid1().size(), 1u);
  EXPECT_EQ(info.ListError(),
            "Unable to read the whole input file " + list + ": it is larger than 1 MB, far larger than any list");
  std::string text = "left over";
  EXPECT_EQ(filesearch::ReadFileText(list, text, crclist::kMaxListBytes), EFBIG);
  EXPECT_TRUE(text.empty());
}

}  // namespace
