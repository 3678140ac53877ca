// Finding, reading and checking the listed files.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "kestrin_version.h"
#include "platform/ui/ui.h"
#include "tools/filecheck/FileInfo.h"
#include "tools/filecheck/Version.h"
#include "tools/filecheck/file_search.h"
#include "tools/filecheck/tests/fixture.h"

namespace {

using checker::Grid;
namespace fs = std::filesystem;

TEST(CRC32File, KnownValuesAndHexForm) {
  fixture::TempDir dir;
  struct Case {
    std::string bytes;
    const char* hex;
  };
  const Case cases[] = {
      {"123456789", "CBF43926"},
      {"", "0"},
      {std::string(200000, 'x'), nullptr},  // several blocks: checked against one zlib call below
  };
  for (const Case& c : cases) {
    const std::string path = dir.str() + "/f";
    fixture::WriteFile(path, c.bytes);
    uint32_t crc = 1;
    uint64_t size = 1;
    ASSERT_EQ(filesearch::CRC32File(path, crc, size), 0);
    EXPECT_EQ(size, c.bytes.size());
    if (c.hex != nullptr)
      EXPECT_EQ(filesearch::Hex(crc), c.hex);
    else
      EXPECT_EQ(crc, 0x51BF0272u);  // zlib crc32 of 200000 'x' in one piece
  }
  EXPECT_EQ(filesearch::Hex(0x1F), "1F");
  EXPECT_EQ(filesearch::Hex(0x0000ABCD), "ABCD");
  EXPECT_EQ(filesearch::Hex(0xFFFFFFFF), "FFFFFFFF");
}

TEST(CRC32File, ReadErrorsAreReportedNotCounted) {
  uint32_t crc = 7;
  uint64_t size = 7;
  EXPECT_EQ(filesearch::CRC32File("/no/such/file", crc, size), ENOENT);
  EXPECT_EQ(size, 0u);
  fixture::TempDir dir;
  EXPECT_EQ(filesearch::CRC32File(dir.str(), crc, size), EISDIR);
  EXPECT_EQ(filesearch::CRC32File("/proc/self/mem", crc, size), EIO);
}

TEST(GetSystemErrorText, NoLineEndAndNotFoundText) {
  EXPECT_EQ(filesearch::GetSystemErrorText(ENOENT), "File Not Found");
  EXPECT_EQ(filesearch::GetSystemErrorText(EACCES), "Permission denied");
  for (int e = 1; e < 140; ++e) {
    const std::string text = filesearch::GetSystemErrorText(e);
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << e;
  }
}

using VerifyFilesTest = fixture::CheckerTest;

TEST_F(VerifyFilesTest, StatusPathAndSizesOfEachRow) {
  const std::string list = fixture::MakeInstallation(dir_.path());
  FileInfo info;
  ASSERT_TRUE(fixture::LoadAndVerify(info, list));
  const Grid& g = info.Grid1();
  ASSERT_EQ(g.size(), 6u);
  const std::string d = dir_.str();
  struct Expect {
    const char* status;
    std::string path;
    const char* original;
    const char* current;
  };
  const Expect expected[] = {
      {"OK ", d + "/good.dll \u00A9", "9", "9"},
      {"B2288182", d + "/changed.dat \u00A9", "9", "9"},
      {"File Not Found", "Not found", "3,221,225,472", ""},  // no size left over from the row before
      {"Input/output error", d + "/locked.bin \u00A9", "0", ""},
      {"OK ", d + "/empty.txt \u00A9", "0", "0"},
  };
  for (size_t r = 1; r < g.size(); ++r) {
    const Expect& e = expected[r - 1];
    EXPECT_EQ(g[r][checker::kColStatus], e.status) << r;
    EXPECT_EQ(g[r][checker::kColPath], e.path) << r;
    EXPECT_EQ(g[r][checker::kColOriginalSize], e.original) << r;
    EXPECT_EQ(g[r][checker::kColCurrentSize], e.current) << r;
  }
  EXPECT_EQ(info.CheckResult(), FileInfo::kExitFileFailed);
  EXPECT_EQ(host_.cursorChanges, (std::vector<bool>{true, false}));
  EXPECT_GE(host_.eventPumps, 5);
}

TEST_F(VerifyFilesTest, SearchOrderAndSkippedRows) {
  // The list in a/b/; files beside it, one level up, in ../../ENVIRO/ and absolute.
  const fs::path d = dir_.path();
  fixture::WriteFile(d / "a/b/here.bin", "1");
  fixture::WriteFile(d / "a/up.bin", "2");
  fixture::WriteFile(d / "ENVIRO/env.bin", "3");
  fixture::WriteFile(d / "ENVIRO/WIZARDS/wiz.bin", "4");
  fixture::WriteFile(d / "top.bin", "5");
  fs::create_directories(d / "a/b/folder.bin");  // a folder never counts as the file
  const std::string list = (d / "a/b/SETUP.CRC").string();
  fixture::WriteFile(list, "[here.bin]\n[up.bin]\n[env.bin]\n[wiz.bin]\n[top.bin]\n[" + (d / "top.bin").string() +
                               "]\n[   ]\n[folder.bin]\n[\"\"]\n");
  FileInfo info;
  // The sections without a file name make the list one that cannot be read whole; the named
  // files are checked all the same.
  EXPECT_FALSE(fixture::LoadAndVerify(info, list));
  EXPECT_EQ(info.ListError(),
            "Unable to read the whole input file " + list + ": the section [   ] on line 7 names no file");
  const Grid& g = info.Grid1();
  ASSERT_EQ(g.size(), 10u);
  const std::string found[] = {(d / "a/b/here.bin").string(),   (d / "a/up.bin").string(),
                               (d / "ENVIRO/env.bin").string(), (d / "ENVIRO/WIZARDS/wiz.bin").string(),
                               (d / "top.bin").string(),        (d / "top.bin").string()};
  for (int r = 1; r <= 6; ++r) EXPECT_EQ(g[r][checker::kColPath], found[r - 1] + " \u00A9") << r;
  // Rows without a name are left as the list gave them.
  EXPECT_EQ(g[7][checker::kColStatus], "");
  EXPECT_EQ(g[7][checker::kColPath], "");
  EXPECT_EQ(g[9][checker::kColPath], "");
  EXPECT_EQ(g[8][checker::kColStatus], "File Not Found");
  EXPECT_EQ(g[8][checker::kColPath], "Not found");
}

// The folder the check is run from holds files of the listed names: a list named with its
// folder is checked against that folder only, never against those; a list named without a
// folder is in the current folder, whose files are the ones it lists.
TEST_F(VerifyFilesTest, TheCurrentFolderStandsInForNoListedFile) {
  const fs::path d = dir_.path();
  fixture::WriteFile(d / "install/good.dll", "123456789");
  const std::string list = (d / "install/SETUP.CRC").string();
  fixture::WriteFile(list, "[good.dll]\nCRC=CBF43926\n[gone.dat]\nCRC=CBF43926\n");
  fixture::WriteFile(d / "work/good.dll", "a user's own file of that name");
  fixture::WriteFile(d / "work/gone.dat", "123456789");
  fixture::WriteFile(d / "work/SETUP.CRC", fixture::ReadAll(list));
  const fs::path before = fs::current_path();
  fs::current_path(d / "work");
  const filesearch::Located named[] = {filesearch::LocateFile("good.dll", list),
                                       filesearch::LocateFile("gone.dat", list)};
  const filesearch::Located bare = filesearch::LocateFile("gone.dat", "SETUP.CRC");
  fs::current_path(before);
  EXPECT_EQ(named[0].path, (d / "install/good.dll").string());
  EXPECT_FALSE(named[1].found) << named[1].path;
  EXPECT_EQ(named[1].error, ENOENT);
  EXPECT_EQ(bare.path, (d / "work/gone.dat").string());
}

// Whether a library of that file name is mapped into this process.
bool Mapped(const std::string& name) {
  return fixture::ReadAll("/proc/self/maps").find("/" + name) != std::string::npos;
}

TEST(GetLoadedModulePath, FindsLibrariesWithoutLoadingThem) {
  // The database library is installed for the build but not used by this test program.
  ASSERT_FALSE(Mapped("libsqlite3.so.0"));
  const std::string sqlite = filesearch::GetLoadedModulePath("libsqlite3.so.0");
  EXPECT_FALSE(sqlite.empty());
  EXPECT_TRUE(fs::is_regular_file(sqlite));
  EXPECT_FALSE(Mapped("libsqlite3.so.0"));

  const std::string z = filesearch::GetLoadedModulePath("libz.so.1");
  ASSERT_FALSE(z.empty());
  EXPECT_FALSE(Version::GetFileVersionString(z).empty());

  EXPECT_EQ(filesearch::GetLoadedModulePath("libnothing-here.so.9"), "");
  EXPECT_EQ(filesearch::GetLoadedModulePath("ls"), "");              // not a library name
  EXPECT_EQ(filesearch::GetLoadedModulePath("/lib/libz.so.1"), "");  // not a bare name
}

TEST(GetLoadedModulePath, LibraryPathComesFirst) {
  fixture::TempDir dir;
  fixture::WriteFile(dir.path() / "libdemo.so.2", "not really a library");
  const char* old = std::getenv("LD_LIBRARY_PATH");
  const std::string saved = old != nullptr ? old : "";
  setenv("LD_LIBRARY_PATH", ("/nonexistent::" + dir.str()).c_str(), 1);
  EXPECT_EQ(filesearch::GetLoadedModulePath("libdemo.so.2"), dir.str() + "/libdemo.so.2");
  // The checker's search falls back to it for a library name it finds nowhere else.
  const auto located = filesearch::LocateFile("libdemo.so.2", "/nonexistent/SETUP.CRC");
  EXPECT_TRUE(located.found);
  EXPECT_EQ(located.path, dir.str() + "/libdemo.so.2");
  if (old != nullptr)
    setenv("LD_LIBRARY_PATH", saved.c_str(), 1);
  else
    unsetenv("LD_LIBRARY_PATH");
}

TEST(ReadLoaderCache, RejectsDamagedCaches) {
  fixture::TempDir dir;
  const std::string file = dir.str() + "/ld.so.cache";
  // A header claiming far more entries than the file holds, and a string offset past its end.
  std::string bytes = "glibc-ld.so.cache1.1";
  bytes.resize(48, '\0');
  bytes[20] = '\x7f';
  fixture::WriteFile(file, bytes);
  EXPECT_TRUE(filesearch::ReadLoaderCache(file).empty());
  bytes[20] = 1;
  std::string entry(24, '\0');
  entry[4] = '\xff';
  entry[5] = '\xff';
  fixture::WriteFile(file, bytes + entry);
  const auto entries = filesearch::ReadLoaderCache(file);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].first, "");
  EXPECT_TRUE(filesearch::ReadLoaderCache(dir.str() + "/none").empty());
  EXPECT_FALSE(filesearch::ReadLoaderCache("/etc/ld.so.cache").empty());
}

TEST(GetFileVersionString, NoteOrLibraryNameOrNothing) {
  // Our own program carries the version note; a shared library is found through its SONAME
  // link and the note of the real file.
  EXPECT_EQ(Version::GetFileVersionString(KESTRIN_PROGRAM_DIR "/veritor"), kestrin::kVersion);
  EXPECT_EQ(Version::GetFileVersionString(KESTRIN_PROGRAM_DIR "/libconvora.so.1"), kestrin::kVersion);
  EXPECT_EQ(Version::ReadVersionNote(KESTRIN_PROGRAM_DIR "/libconvora.so.1"), kestrin::kVersion);

  fixture::TempDir dir;
  fixture::WriteFile(dir.path() / "libdemo.so.2.5.1", "no ELF here");
  fs::create_symlink("libdemo.so.2.5.1", dir.path() / "libdemo.so.2");
  fixture::WriteFile(dir.path() / "plain.bin", "no ELF here");
  EXPECT_EQ(Version::GetFileVersionString(dir.str() + "/libdemo.so.2"), "2.5.1");
  EXPECT_EQ(Version::GetFileVersionString(dir.str() + "/plain.bin"), "");
  EXPECT_EQ(Version::GetFileVersionString(""), "");

  struct Case {
    const char* name;
    const char* version;
  };
  const Case names[] = {{"libz.so.1.2.13", "1.2.13"}, {"libz.so", ""}, {"libz.so.1a", ""}, {"libz.so.", ""}};
  for (const Case& c : names) EXPECT_EQ(Version::SharedLibraryVersion(c.name), c.version) << c.name;
}

TEST(ReadVersionNote, DamagedElfFilesGiveNothing) {
  fixture::TempDir dir;
  const std::string good = fixture::ReadAll(KESTRIN_PROGRAM_DIR "/libdamplo.so.1");
  ASSERT_GT(good.size(), 64u);
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::string farSections = good;
  farSections[0x28 + 7] = '\x7f';  // section headers far past the end
  // The note's descriptor size pointing past its section.
  std::string longNote = good;
  const size_t owner = longNote.find(std::string("Kestrin\0", 8));
  ASSERT_NE(owner, std::string::npos);
  longNote.replace(owner - 8, 4, "\x00\xff\xff\x7f", 4);
  const Case cases[] = {
      {"truncated header", good.substr(0, 40)},
      {"32-bit class", std::string("\x7f"
                                   "ELF\x01\x01",
                                   6) +
                           std::string(58, '\0')},
      {"section table past the end", farSections},
      {"note longer than its section", longNote},
      {"cut before the sections", good.substr(0, good.size() / 2)},
  };
  for (const Case& c : cases) {
    const std::string path = dir.str() + "/lib.so";
    fixture::WriteFile(path, c.bytes);
    EXPECT_EQ(Version::ReadVersionNote(path), "") << c.what;
  }
}

}  // namespace
