// The type-library registration check, with a fake registry (Linux has none).
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "platform/ui/ui.h"
#include "tools/filecheck/FileInfo.h"
#include "tools/filecheck/Version.h"
#include "tools/filecheck/tests/fixture.h"

namespace {

// Keys by their full path; the subkeys of a key are the keys one level below it.
class FakeRegistry : public Version::Registry {
 public:
  std::map<std::string, std::string> keys;  // path -> default value

  std::optional<std::vector<std::string>> SubKeys(const std::string& key) const override {
    if (keys.count(key) == 0) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& [path, value] : keys) {
      if (path.size() <= key.size() + 1 || path.compare(0, key.size() + 1, key + "\\") != 0) continue;
      const std::string rest = path.substr(key.size() + 1);
      if (rest.find('\\') == std::string::npos) names.push_back(rest);
    }
    return names;
  }
  std::string DefaultValue(const std::string& key) const override {
    const auto it = keys.find(key);
    return it == keys.end() ? "" : it->second;
  }
};

TEST(VersionStringsMatch, PointsAndCommasOfTheFirstTextAreSkipped) {
  struct Case {
    const char* a;
    const char* b;
    bool match;
  };
  const Case cases[] = {{"1.0", "1,0", true}, {"1.0", "1.00", false}, {"1,0", "1.0", true}, {"1.0", "1x0", true},
                        {"10", "1.", false},  {"2.0", "1.0", false},  {"", "", true}};
  for (const Case& c : cases) EXPECT_EQ(Version::VersionStringsMatch(c.a, c.b), c.match) << c.a << " " << c.b;
}

TEST(VersionOlder, ByNumberWhereBothAreNumbers) {
  EXPECT_TRUE(Version::VersionOlder("9.0", "10.0"));
  EXPECT_FALSE(Version::VersionOlder("10.0", "9.0"));
  EXPECT_TRUE(Version::VersionOlder("1.0", "1.0.1"));
  EXPECT_FALSE(Version::VersionOlder("1,2", "1.2"));
  EXPECT_TRUE(Version::VersionOlder("a", "b"));
}

TEST(FindTypeLibVersionKey, MatchElseGreatestCountingSubkey) {
  FakeRegistry reg;
  for (const char* k : {"T", "T\\1.0", "T\\2.0", "T\\abc", "T\\0", "T\\0.0", "L", "L\\409", "N", "N\\x"})
    reg.keys[k] = "";
  struct Case {
    const char* key;
    const char* wanted;
    const char* result;
  };
  const Case cases[] = {
      {"T", "1,0", "1.0"},                     // a match wins over the greatest
      {"T", "3.0", "2.0"},                     // greatest of 0, 1.0, 2.0 ("abc" and "0.0" do not count)
      {"L", "0", "409"},      {"N", "0", ""},  // no counting subkey
      {"missing", "1.0", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Version::FindTypeLibVersionKey(reg, c.key, c.wanted), c.result) << c.key << " " << c.wanted;
}

using RegistrationTest = fixture::CheckerTest;

TEST_F(RegistrationTest, MarksAndPathsOfEachRegistrationState) {
  const std::string d = dir_.str();
  fixture::WriteFile(dir_.path() / "lib.dll", "123456789");
  fixture::WriteFile(dir_.path() / "reg" / "new.dll", "123456789");
  fixture::WriteFile(dir_.path() / "reg" / "old.dll", "123456789");
  fixture::WriteFile(dir_.path() / "reg" / "res.DLL", "123456789");
  FakeRegistry reg;
  // A type library registered in one version and language, with its Win32 path.
  const auto add = [&](const std::string& clsid, const std::string& version, const std::string& language,
                       const std::optional<std::string>& path) {
    const std::string key = "TypeLib\\" + clsid;
    reg.keys[key] = "";
    reg.keys[key + "\\" + version] = "";
    if (language.empty()) return;
    reg.keys[key + "\\" + version + "\\" + language] = "";
    if (path) reg.keys[key + "\\" + version + "\\" + language + "\\Win32"] = *path;
  };
  add("{NEW}", "2.0", "0", d + "/reg/new.dll");     // newer than shipped (1.0): proper
  add("{OLD}", "1.0", "0", d + "/reg/old.dll");     // only older than shipped (9.0): not proper
  add("{TEN}", "10.0", "409", d + "/reg/new.dll");  // 10.0 is newer than 9.0
  add("{RES}", "1.0", "0", d + "/reg/res.DLL\\3");  // a resource number after the name
  add("{NOLANG}", "1.0", "", std::nullopt);         // no language key
  const std::string list = d + "/SETUP.CRC";
  fixture::WriteFile(list,
                     "[lib.dll]\nCRC=CBF43926\n"
                     "[new.dll]\nCLSID={NEW}\nCLSIDVer=1.0\nCRC=CBF43926\n"
                     "[old.dll]\nCLSID={OLD}\nCLSIDVer=9.0\nCRC=CBF43926\n"
                     "[ten.dll]\nCLSID={TEN}\nCLSIDVer=9.0\n"
                     "[res.dll]\nCLSID={RES}\nCLSIDVer=1.0\nCRC=CBF43926\n"
                     "[nolang.dll]\nCLSID={NOLANG}\nCLSIDVer=1.0\n"
                     "[nofile.dll]\nCLSID={GONE}\nCLSIDVer=1.0\n"
                     "[]\nCLSID={GONE}\n");
  FileInfo info;
  info.SetRegistry(&reg);
  info.InitGrid();
  // The section without a file name is refused; its row stays, unchecked.
  EXPECT_FALSE(info.LoadCrcFile(list));
  EXPECT_EQ(info.ListError(),
            "Unable to read the whole input file " + list + ": the section [] on line 24 names no file");
  ASSERT_EQ(info.Grid1().size(), 9u);
  info.VerifyFiles(list);
  const auto& g = info.Grid1();
  struct Expect {
    const char* name;
    std::string path;
    const char* status;
  };
  const Expect expected[] = {
      {"lib.dll", d + "/lib.dll \u00A9", "OK "},
      {"new.dll", d + "/reg/new.dll \u00AE", "OK "},
      {"old.dll", d + "/reg/old.dll 1.0", "OK "},
      {"ten.dll", d + "/reg/new.dll \u00AE", "CBF43926"},
      {"res.dll", d + "/reg/res.DLL \u00AE", "OK "},
      {"nolang.dll", "Not registered properly", "File Not Found"},
      {"nofile.dll", "Registry subkey not found", "File Not Found"},
  };
  for (size_t r = 1; r <= 7; ++r) {
    const Expect& e = expected[r - 1];
    EXPECT_EQ(g[r][checker::kColName], e.name);
    EXPECT_EQ(g[r][checker::kColPath], e.path) << e.name;
    EXPECT_EQ(g[r][checker::kColStatus], e.status) << e.name;
  }
  EXPECT_EQ(g[8][checker::kColPath], "");  // a row without a name is not checked
}

TEST_F(RegistrationTest, FoundByNameWithABadRegistration) {
  const std::string d = dir_.str();
  fixture::WriteFile(dir_.path() / "lib.dll", "x");
  FakeRegistry reg;
  for (const char* k : {"TypeLib\\{NOLANG}", "TypeLib\\{NOLANG}\\1.0", "TypeLib\\{EMPTY}", "TypeLib\\{EMPTY}\\1.0",
                        "TypeLib\\{EMPTY}\\1.0\\0", "TypeLib\\{EMPTY}\\1.0\\0\\Win32"})
    reg.keys[k] = "";
  const std::string list = d + "/SETUP.CRC";
  fixture::WriteFile(list,
                     "[lib.dll]\nCLSID={GONE}\n[lib.dll:linux]\nCLSID={NOLANG}\nCLSIDVer=1.0\n"
                     "[lib.dll: Linux ]\nCLSID={EMPTY}\nCLSIDVer=1.0\n");
  FileInfo info;
  info.InitGrid();
  ASSERT_TRUE(info.LoadCrcFile(list));

  // Without a registry (Linux) a CLSID does not apply.
  info.VerifyFiles(list);
  for (size_t r = 1; r <= 3; ++r) EXPECT_EQ(info.Grid1()[r][checker::kColPath], d + "/lib.dll \u00A9");

  info.SetRegistry(&reg);
  info.VerifyFiles(list);
  EXPECT_EQ(info.Grid1()[1][checker::kColPath], d + "/lib.dll !\u00AE");   // key missing
  EXPECT_EQ(info.Grid1()[2][checker::kColPath], d + "/lib.dll !\u00AE!");  // no language key
  // An empty registered path is not searched for (it would find the list's folder).
  EXPECT_EQ(info.Grid1()[3][checker::kColPath], d + "/lib.dll !\u00AE!");
}

}  // namespace
