// The desktop opener with fake launchers: $BROWSER and an xdg-open in a PATH of the test's own.
#include "platform/help/help_qt.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>

namespace {

using namespace std::chrono_literals;

// Sets an environment variable (or removes it) for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// What a fake launcher does after noting its name and arguments in the log.
enum class Fake { kNone, kHandsOff, kFails, kStaysOpen };

struct OpenCase {
  const char* name;
  Fake browser;             // $BROWSER: the fake "browser" of the test folder, or unset (kNone)
  const char* browserArgs;  // after the program in $BROWSER
  Fake xdgOpen;             // the fake "xdg-open" in PATH, or none there (kNone)
  bool shown;
  const char* log;  // the launchers run, each "<name> <args>" on a line (URL as U)
};

void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.name; }

class Opener : public ::testing::TestWithParam<OpenCase> {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  std::string Path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }

  void WriteLauncher(const std::string& name, Fake what) {
    const std::string path = Path(name);
    std::ofstream out(path);
    out << "#!/bin/sh\necho \"" << name << " $*\" >> '" << Path("log") << "'\n";
    if (what == Fake::kFails) out << "exit 3\n";
    if (what == Fake::kStaysOpen) out << "exec /bin/sleep 1\n";
    out.close();
    chmod(path.c_str(), 0755);
  }

  std::string Log() const {
    std::ifstream in(Path("log"));
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  QTemporaryDir dir_;
};

TEST_P(Opener, LauncherEndingInAnErrorIsNoSuccessAndTheNextIsTried) {
  const OpenCase& c = GetParam();
  std::optional<std::string> browser;
  if (c.browser != Fake::kNone) {
    WriteLauncher("browser", c.browser);
    browser = Path("browser") + c.browserArgs;
  }
  if (c.xdgOpen != Fake::kNone) WriteLauncher("xdg-open", c.xdgOpen);
  ScopedEnv path("PATH", dir_.path().toStdString());
  ScopedEnv env("BROWSER", browser);

  const std::string url = "file:///opt/kestrin/VEXON.html#ctx10000";
  help::QtHelpOpener opener(200ms);
  EXPECT_EQ(opener.open(url), c.shown);
  std::string log = Log();
  for (std::size_t at; (at = log.find(url)) != std::string::npos;) log.replace(at, url.size(), "U");
  EXPECT_EQ(log, c.log);
}

INSTANTIATE_TEST_SUITE_P(
    Launchers, Opener,
    ::testing::Values(
        // A desktop with xdg-open but nothing to open a page with ("no method available").
        OpenCase{"XdgOpenFails", Fake::kNone, "", Fake::kFails, false, "xdg-open U\n"},
        OpenCase{"XdgOpenHandsOff", Fake::kNone, "", Fake::kHandsOff, true, "xdg-open U\n"},
        OpenCase{"NoLauncher", Fake::kNone, "", Fake::kNone, false, ""},
        OpenCase{"BrowserFailsAndNoXdgOpen", Fake::kFails, "", Fake::kNone, false, "browser U\n"},
        OpenCase{"BrowserFailsThenXdgOpenFails", Fake::kFails, "", Fake::kFails, false, "browser U\nxdg-open U\n"},
        OpenCase{"BrowserFailsThenXdgOpenHandsOff", Fake::kFails, "", Fake::kHandsOff, true, "browser U\nxdg-open U\n"},
        OpenCase{"BrowserWithPlaceholder", Fake::kHandsOff, " --new-window %s --raise", Fake::kFails, true,
                 "browser --new-window U --raise\n"},
        // A browser that stays open shows the page: Help does not wait for it to close.
        OpenCase{"BrowserStaysOpen", Fake::kStaysOpen, "", Fake::kFails, true, "browser U\n"}),
    [](const ::testing::TestParamInfo<OpenCase>& row) { return std::string(row.param.name); });

TEST(OpenerEnvironment, BrowserThatIsNoProgramIsAFailure) {
  ScopedEnv path("PATH", "/nonexistent");
  ScopedEnv env("BROWSER", std::string("/bin/false:/nonexistent/browser"));
  EXPECT_FALSE(help::QtHelpOpener(200ms).open("file:///x/VEXON.html#ctx1"));
}

}  // namespace
