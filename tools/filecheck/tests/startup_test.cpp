// The command line and the unattended run of the veritor program itself.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <optional>
#include <random>
#include <regex>
#include <set>

#include "tools/filecheck/crc_list.h"
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
      {{"/s"}, true, "/opt/k/SETUP.CRC", ""},
      {{"/srv/k/SETUP.CRC"}, false, "/srv/k/SETUP.CRC", "/srv/k/"},
      {{"/home/sam/SETUP.CRC"}, false, "/home/sam/SETUP.CRC", "/home/sam/"},
      {{"/S", "L.CRC"}, false, "/S L.CRC", "/"},
      {{}, false, "/opt/k/SETUP.CRC", ""},
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

// What a run of veritor left: its exit code, its stdout and its stderr.
struct Outcome {
  int code = -1;
  std::string out;
  std::string err;
};

// Runs veritor with the arguments in the folder, with the environment settings env
// ("NAME=value ...") added.
Outcome RunVeritor(const std::string& folder, const std::string& args, const std::string& env = "") {
  fixture::TempDir streams;
  const std::string outFile = streams.str() + "/stdout.txt";
  const std::string errFile = streams.str() + "/stderr.txt";
  // A run that hangs (on a FIFO, say) ends after a minute with the exit code 124.
  const std::string command = "cd '" + folder + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + env +
                              " timeout 60 '" + KESTRIN_PROGRAM_DIR "/veritor' " + args + " >'" + outFile + "' 2>'" +
                              errFile + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, fixture::ReadAll(outFile), fixture::ReadAll(errFile)};
}

std::set<std::string> Reports(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    if (std::regex_match(e.path().filename().string(), std::regex(R"(crc\d{3,}\.txt)"))) names.insert(e.path());
  return names;
}

const std::string kByteOrderMark = "\xEF\xBB\xBF";

const std::regex kTitle(R"(Tolvane 32-Bit File Integrity Verification \d\d-\d\d-\d{4}, \d\d:\d\d [AP]M\r\n)");

TEST(Unattended, FixtureInstallationReportAndExitCodes) {
  fixture::TempDir dir;
  const std::string list = fixture::MakeInstallation(dir.path());

  // Failing files: exit code 1, the report beside the list, its path on stdout.
  Outcome run = RunVeritor(dir.str(), "/s '" + list + "'");
  ASSERT_EQ(run.code, 1) << run.err;
  const fs::path report = dir.path() / "disk1" / "crc001.txt";
  EXPECT_EQ(run.out, report.string() + "\n");
  const std::string text = fixture::ReadAll(report);
  std::smatch title;
  ASSERT_TRUE(std::regex_search(text, title, kTitle));
  EXPECT_EQ(title.position(0), 0);
  EXPECT_EQ(text.substr(title.length(0)), fixture::ExpectedReportBody(dir.str(), modChecker::GetOsDisplayName()));

  // Only good files, the switch after the list: exit code 0.
  fixture::WriteFile(dir.path() / "good.crc", "[good.dll]\nCRC=CBF43926\n[empty.txt]\nCRC=0\n");
  run = RunVeritor(dir.str(), "good.crc /s");
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_TRUE(fs::exists(dir.path() / "crc001.txt"));

  // A list that cannot be read: exit code 2, the error on stderr and in the report.
  run = RunVeritor(dir.str(), "/s missing.crc");
  EXPECT_EQ(run.code, 2);
  EXPECT_NE(run.err.find("Unable to open input file missing.crc"), std::string::npos) << run.err;
  const std::string failed = fixture::ReadAll(dir.path() / "crc002.txt");
  EXPECT_NE(failed.find("\r\n\r\nUnable to open input file missing.crc Error: 2: No such file or directory\r\n"),
            std::string::npos)
      << failed;
}

// The unattended run for every kind of list, in a folder holding good.dll and empty.txt of the
// fixture: the exit code, what stderr says, and whether the report (whose path is the one line
// on stdout, beside the list) says that the list's completeness could not be checked. A list
// is whole when its count line (the first line the build writes) matches its sections; without
// that line it is read as it stands, lines that are not sections, keys or comments ignored.
TEST(Unattended, ExitCodesOfTheLists) {
  fixture::TempDir dir;
  fixture::MakeInstallation(dir.path());
  const std::string shipped = fixture::ReadAll(fs::path(KESTRIN_PROGRAM_DIR) / "SETUP.CRC");
  ASSERT_GT(shipped.size(), 1000u);
  const size_t lastSection = shipped.rfind("\n[");
  ASSERT_NE(lastSection, std::string::npos);
  fs::create_directory(dir.path() / "folder.crc");
  ASSERT_EQ(::mkfifo((dir.path() / "fifo.crc").c_str(), 0600), 0);
  const std::string good = "[good.dll]\nCRC=CBF43926\nSize=9\n\n[empty.txt]\nCRC=0\n";
  const std::string counted = crclist::CountLine(2) + "\n" + good;
  std::string random(4096, '\0');
  std::mt19937 bits(41);
  for (char& c : random) c = static_cast<char>(bits() & 0xFF);
  std::string large = counted;
  while (large.size() <= (1u << 20)) large += "; a comment line that only makes the list longer\n";
  const struct {
    const char* name;
    std::optional<std::string> text;  // none: the path is there already (a folder, a FIFO)
    int code;
    const char* says;  // on stderr
    bool unchecked;    // the report says the list's completeness could not be checked
  } cases[] = {
      // The build's own list in a folder without its files: read whole, every file fails.
      {"whole.crc", shipped, 1, "", false},
      {"counted.crc", counted, 0, "", false},
      {"noend.crc", counted.substr(0, counted.size() - 1), 0, "", false},
      {"freetext.crc",
       crclist::CountLine(2) +
           "\nThe files of the fixture\n[good.dll]\nCRC=CBF43926\nchecked everywhere\n[empty.txt]\nCRC=0\n",
       0, "", false},
      {"uncounted.crc", good, 0, "could not be checked", true},
      {"lostsection.crc", "[good.dll]\nCRC=CBF43926\n", 0, "could not be checked", true},
      {"countmore.crc", crclist::CountLine(3) + "\n" + good, 2, "it names 2 files where its first line says 3", false},
      {"cutsection.crc", shipped.substr(0, lastSection + 1), 2, "files where its first line says", false},
      {"cut100.crc", shipped.substr(0, 100), 2, "files where its first line says", false},
      {"twice.crc", crclist::CountLine(3) + "\n" + good + "[good.dll]\nCRC=00000000\n", 2,
       "it names good.dll in two sections", false},
      {"samekey.crc", crclist::CountLine(2) + "\n[good.dll:Linux]\nCRC=CBF43926\n[GOOD.DLL:linux]\nCRC=0\n", 2,
       "it names GOOD.DLL in two sections", false},
      // Sections of their own, each read with its own values: both rows are checked.
      {"twosections.crc", crclist::CountLine(2) + "\n[good.dll]\nCRC=CBF43926\n[good.dll:Linux]\nCRC=0\n", 1, "",
       false},
      {"othersystem.crc", crclist::CountLine(2) + "\n[good.dll:Windows 95]\nCRC=1\n[good.dll:Linux]\nCRC=CBF43926\n", 0,
       "", false},
      {"missing.crc", std::nullopt, 2, "No such file or directory", false},
      {"empty.crc", std::string(), 2, "the list is empty", false},
      {"garbage.crc",
       std::string("\x7f"
                   "ELF\x02\x01 not a list\n"),
       2, "it is not a list", false},
      {"random.crc", random, 2, "it is not a list", false},
      {"large.crc", large, 2, "larger than 1 MB", false},
      {"badcrc.crc", std::string("[a.dll]\nCRC=12G4\n"), 2, "is not a hexadecimal number", false},
      // A byte-order mark before the count line hides neither the line nor a cut.
      {"bom.crc", kByteOrderMark + counted, 0, "", false},
      {"bomcut.crc", kByteOrderMark + shipped.substr(0, lastSection + 1), 2, "files where its first line says", false},
      {"bomfirst.crc", kByteOrderMark + "[changed.dat]\nCRC=CBF43926\n" + good, 1, "could not be checked", true},
      // Nor do two marks, as an editor leaves that adds its mark to a list that has one.
      {"bomonly.crc", kByteOrderMark + kByteOrderMark + "\r\n", 2, "the list is empty", false},
      {"bom2.crc", kByteOrderMark + kByteOrderMark + counted, 0, "", false},
      {"bom2cut.crc", kByteOrderMark + kByteOrderMark + shipped.substr(0, lastSection + 1), 2,
       "files where its first line says", false},
      {"bom2first.crc", kByteOrderMark + kByteOrderMark + "[changed.dat]\nCRC=CBF43926\n" + good, 1,
       "could not be checked", true},
      // Nothing left to check on this system: no file checked is no pass.
      {"othersystemonly.crc", crclist::CountLine(2) + "\n[good.dll:Windows 95]\nCRC=1\n[empty.txt:Windows NT 4.0]\n", 2,
       "No file was checked", false},
      // A section that has lost its file name among named ones: the file it stood for is never
      // checked, so the list cannot be read whole.
      {"nameless.crc",
       crclist::CountLine(3) +
           "\n[good.dll]\nCRC=CBF43926\n[:Linux]\nCRC=CBF43926\nSize=9\nVERSION=1.0.0\n[empty.txt]\nCRC=0\n",
       2, "Unable to read the whole input file nameless.crc: the section [:Linux] on line 4 names no file", false},
      {"nonames.crc", crclist::CountLine(2) + "\n[ ]\nCRC=0\n[\"\":Linux]\nCRC=0\n", 2, "No file was checked", false},
      {"folder.crc", std::nullopt, 2, "Is a directory", false},
      {"fifo.crc", std::nullopt, 2, "not a regular file", false},
  };
  for (const auto& c : cases) {
    if (c.text) fixture::WriteFile(dir.path() / c.name, *c.text);
    const Outcome run = RunVeritor(dir.str(), std::string("/s ") + c.name);
    EXPECT_EQ(run.code, c.code) << c.name << ": " << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << c.name << ": " << run.err;
    if (run.out.size() < 2 || run.out.back() != '\n') {
      ADD_FAILURE() << c.name << ": no report path on stdout: " << run.out;
      continue;
    }
    const fs::path report = run.out.substr(0, run.out.size() - 1);
    EXPECT_EQ(report.parent_path(), dir.path()) << c.name;
    const std::string text = fixture::ReadAll(report);
    // A list refused says why in its report as well.
    if (c.code == 2) {
      EXPECT_NE(text.find(c.says), std::string::npos) << c.name << ": " << text.substr(0, 300);
    }
    EXPECT_EQ(text.find("\r\n\r\nThe list has no count line: whether it is complete could not be checked.\r\n") !=
                  std::string::npos,
              c.unchecked)
        << c.name << ": " << text.substr(0, 300);
  }
}

// With no list named, the program folder's SETUP.CRC is checked and the report goes into the
// current folder; when that is the program folder itself, into the per-user folder. Either
// way the program folder gets no report.
TEST(Unattended, NoListNamedLeavesTheProgramFolderAlone) {
  const fs::path folder = KESTRIN_PROGRAM_DIR;
  const std::set<std::string> before = Reports(folder);
  fixture::TempDir dir;
  const std::string env = "XDG_DATA_HOME='" + dir.str() + "/data'";

  const Outcome elsewhere = RunVeritor(dir.str(), "/s", env);
  const Outcome inside = RunVeritor(folder.string(), "/s", env);
  // The per-user folder named inside the program folder takes no report either (nor a folder
  // made for it): the run fails and says where it tried.
  ASSERT_FALSE(fs::exists(folder / "Kestrin"));
  const Outcome userInside = RunVeritor(folder.string(), "/s", "XDG_DATA_HOME='" + folder.string() + "'");
  const bool madeUserFolder = fs::exists(folder / "Kestrin");
  fs::remove_all(folder / "Kestrin");
  std::set<std::string> created;
  for (const auto& r : Reports(folder))
    if (before.count(r) == 0) created.insert(r);
  for (const auto& r : created) fs::remove(r);
  EXPECT_TRUE(created.empty()) << *created.begin();
  EXPECT_FALSE(madeUserFolder);
  EXPECT_EQ(userInside.code, 2) << userInside.out;
  EXPECT_TRUE(std::regex_match(userInside.out, std::regex(R"(\d+ files checked, 0 failed\n)"))) << userInside.out;
  EXPECT_NE(userInside.err.find("The report folder " + folder.string() + "/ is in the program folder"),
            std::string::npos)
      << userInside.err;
  EXPECT_NE(userInside.err.find("The per-user folder " + folder.string() + "/Kestrin/ is in the program folder"),
            std::string::npos)
      << userInside.err;

  EXPECT_EQ(elsewhere.code, 0) << elsewhere.err;
  EXPECT_EQ(elsewhere.out, dir.str() + "/crc001.txt\n");
  EXPECT_NE(fixture::ReadAll(dir.path() / "crc001.txt").find("with file " + folder.string() + "/SETUP.CRC\r\n"),
            std::string::npos);
  EXPECT_EQ(inside.code, 0) << inside.err;
  EXPECT_EQ(inside.out, dir.str() + "/data/Kestrin/crc001.txt\n");
  EXPECT_TRUE(fs::exists(dir.path() / "data" / "Kestrin" / "crc001.txt"));
}

TEST(Unattended, BuildTreeProgramFolderIsAllGood) {
  const fs::path folder = KESTRIN_PROGRAM_DIR;
  const std::set<std::string> before = Reports(folder);
  fixture::TempDir dir;
  // The list is named in the program folder, which takes no report: it goes to the per-user
  // folder instead.
  const Outcome run =
      RunVeritor(folder.string(), "/s " KESTRIN_PROGRAM_DIR "/SETUP.CRC", "XDG_DATA_HOME='" + dir.str() + "/data'");
  const int code = run.code;
  std::set<std::string> created;
  for (const auto& r : Reports(folder))
    if (before.count(r) == 0) created.insert(r);
  for (const auto& r : created) fs::remove(r);
  EXPECT_TRUE(created.empty()) << *created.begin();
  ASSERT_EQ(run.out, dir.str() + "/data/Kestrin/crc001.txt\n") << run.err;
  const std::string text = fixture::ReadAll(dir.path() / "data" / "Kestrin" / "crc001.txt");
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
