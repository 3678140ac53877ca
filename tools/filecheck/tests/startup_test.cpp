// The command line and the unattended run of the veritor program itself.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <optional>
#include <regex>
#include <set>

#include "tools/filecheck/modChecker.h"
#include "tools/filecheck/tests/fixture.h"

namespace {

namespace fs = std::filesystem;

TEST(ParseCommandLine, SwitchOnlyAsItsOwnArgument) {
  struct Case {
    std::vector<std::string> args;
    bool quiet;
    const char* list;
    const char* folder;
  };
  const Case cases[] = {
      {{"/s", "/data/L.CRC"}, true, "/data/L.CRC", "/data/"},
      {{"/data/L.CRC", "/s"}, true, "/data/L.CRC", "/data/"},
      {{"/s"}, true, "/opt/k/SETUP.CRC", "/opt/k/"},
      {{"/srv/k/SETUP.CRC"}, false, "/srv/k/SETUP.CRC", "/srv/k/"},
      {{"/home/sam/SETUP.CRC"}, false, "/home/sam/SETUP.CRC", "/home/sam/"},
      {{"/S", "L.CRC"}, false, "/S L.CRC", "/"},
      {{}, false, "/opt/k/SETUP.CRC", "/opt/k/"},
      {{"  list with blanks.crc  "}, false, "list with blanks.crc", ""},
      {{"/s", "my", "list.crc"}, true, "my list.crc", ""},
  };
  for (const Case& c : cases) {
    const auto cl = modChecker::ParseCommandLine(c.args, "/opt/k");
    const std::string what = c.args.empty() ? "(none)" : c.args.front();
    EXPECT_EQ(cl.quiet, c.quiet) << what;
    EXPECT_EQ(cl.listFile, c.list) << what;
    EXPECT_EQ(cl.reportFolder, c.folder) << what;
  }
}

// Runs veritor with the arguments in the folder; returns its exit code and its stderr.
int RunVeritor(const std::string& folder, const std::string& args, std::string& err) {
  const std::string errFile = folder + "/stderr.txt";
  // A run that hangs (on a FIFO, say) ends after a minute with the exit code 124.
  const std::string command = "cd '" + folder +
                              "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 60 '" +
                              KESTRIN_PROGRAM_DIR "/veritor' " + args + " 2>'" + errFile + "'";
  const int status = std::system(command.c_str());
  err = fixture::ReadAll(errFile);
  fs::remove(errFile);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::set<std::string> Reports(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    if (std::regex_match(e.path().filename().string(), std::regex(R"(crc\d{3,}\.txt)"))) names.insert(e.path());
  return names;
}

const std::regex kTitle(R"(Tolvane 32-Bit File Integrity Verification \d\d-\d\d-\d{4}, \d\d:\d\d [AP]M\r\n)");

TEST(Unattended, FixtureInstallationReportAndExitCodes) {
  fixture::TempDir dir;
  const std::string list = fixture::MakeInstallation(dir.path());
  std::string err;

  // Failing files: exit code 1, the report beside the list.
  ASSERT_EQ(RunVeritor(dir.str(), "/s '" + list + "'", err), 1) << err;
  const fs::path report = dir.path() / "disk1" / "crc001.txt";
  const std::string text = fixture::ReadAll(report);
  std::smatch title;
  ASSERT_TRUE(std::regex_search(text, title, kTitle));
  EXPECT_EQ(title.position(0), 0);
  EXPECT_EQ(text.substr(title.length(0)), fixture::ExpectedReportBody(dir.str(), modChecker::GetOsDisplayName()));

  // Only good files, the switch after the list: exit code 0.
  fixture::WriteFile(dir.path() / "good.crc", "[good.dll]\nCRC=CBF43926\n[empty.txt]\nCRC=0\n");
  EXPECT_EQ(RunVeritor(dir.str(), "good.crc /s", err), 0) << err;
  EXPECT_TRUE(fs::exists(dir.path() / "crc001.txt"));

  // A list that cannot be read: exit code 2, the error on stderr and in the report.
  EXPECT_EQ(RunVeritor(dir.str(), "/s missing.crc", err), 2);
  EXPECT_NE(err.find("Unable to open input file missing.crc"), std::string::npos) << err;
  const std::string failed = fixture::ReadAll(dir.path() / "crc002.txt");
  EXPECT_NE(failed.find("\r\n\r\nUnable to open input file missing.crc Error: 2: No such file or directory\r\n"),
            std::string::npos)
      << failed;
}

// The exit code of an unattended run for every kind of list: only a list read whole is
// checked; one that is empty, cut short, not a list or not a regular file ends with 2 and
// says why on stderr.
TEST(Unattended, ExitCodesOfTheListsThatCannotBeReadWhole) {
  fixture::TempDir dir;
  const std::string shipped = fixture::ReadAll(fs::path(KESTRIN_PROGRAM_DIR) / "SETUP.CRC");
  ASSERT_GT(shipped.size(), 1000u);
  const size_t lastSection = shipped.rfind("\n[");
  ASSERT_NE(lastSection, std::string::npos);
  fs::create_directory(dir.path() / "folder.crc");
  ASSERT_EQ(::mkfifo((dir.path() / "fifo.crc").c_str(), 0600), 0);
  const struct {
    const char* name;
    std::optional<std::string> text;  // none: the path is there already (a folder, a FIFO)
    int code;
    const char* says;
  } cases[] = {
      // Read whole: the build's own list in a folder without its files fails them all.
      {"whole.crc", shipped, 1, ""},
      {"missing.crc", std::nullopt, 2, "No such file or directory"},
      {"empty.crc", std::string(), 2, "the list is empty"},
      {"garbage.crc",
       std::string("\x7f"
                   "ELF\x02\x01 not a list\n"),
       2, "not part of a file list"},
      {"cut100.crc", shipped.substr(0, 100), 2, "cut short"},
      {"cutsection.crc", shipped.substr(0, lastSection + 1), 2, "files where its first line says"},
      {"badcrc.crc", std::string("[a.dll]\nCRC=12G4\n"), 2, "is not a hexadecimal number"},
      {"folder.crc", std::nullopt, 2, "Is a directory"},
      {"fifo.crc", std::nullopt, 2, "not a regular file"},
  };
  for (const auto& c : cases) {
    if (c.text) fixture::WriteFile(dir.path() / c.name, *c.text);
    std::string err;
    EXPECT_EQ(RunVeritor(dir.str(), std::string("/s ") + c.name, err), c.code) << c.name << ": " << err;
    EXPECT_NE(err.find(c.says), std::string::npos) << c.name << ": " << err;
  }
}

TEST(Unattended, BuildTreeProgramFolderIsAllGood) {
  const fs::path folder = KESTRIN_PROGRAM_DIR;
  const std::set<std::string> before = Reports(folder);
  std::string err;
  const int code = RunVeritor(folder.string(), "/s " KESTRIN_PROGRAM_DIR "/SETUP.CRC", err);
  std::set<std::string> created;
  for (const auto& r : Reports(folder))
    if (before.count(r) == 0) created.insert(r);
  ASSERT_EQ(created.size(), 1u) << err;
  const std::string text = fixture::ReadAll(*created.begin());
  for (const auto& r : created) fs::remove(r);
  EXPECT_EQ(code, 0) << text;

  // Every listed row is OK, and the list names the shipped libraries and the checker itself.
  const auto lines = [&] {
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < text.size()) {
      const size_t end = text.find("\r\n", pos);
      out.push_back(text.substr(pos, end - pos));
      pos = end + 2;
    }
    return out;
  }();
  ASSERT_GT(lines.size(), 4u);
  std::set<std::string> names;
  for (size_t i = 4; i < lines.size(); ++i) {
    const std::vector<std::string> cells = [&] {
      std::vector<std::string> c;
      std::string cell;
      for (char ch : lines[i]) {
        if (ch == '\t')
          c.push_back(std::exchange(cell, ""));
        else
          cell += ch;
      }
      return c;
    }();
    ASSERT_EQ(cells.size(), 8u) << lines[i];
    EXPECT_EQ(cells[2], "OK") << lines[i];
    names.insert(cells[1]);
  }
  for (const char* shipped : {"libconvora.so.1", "libdamplo.so.1", "libpylorn.so.1", "libgrendax.so.1", "veritor"})
    EXPECT_EQ(names.count(shipped), 1u) << shipped;
}

}  // namespace
