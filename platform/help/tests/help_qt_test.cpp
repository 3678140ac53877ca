// The desktop opener with fake launchers: $BROWSER and an xdg-open in a PATH of the test's own.
//
// The tests wait for the opener's outcome without a deadline: a fake launcher is a shell script,
// and on a loaded machine starting one can take far longer than any short wait a test could
// choose (a wait of 200 ms failed runs with one CPU kept busy). A launcher that never ends
// makes the test run into ctest's timeout instead.
#include "platform/help/help_qt.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>

namespace {

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

// What a fake launcher does after noting its name and arguments in the log. A held one then
// waits until the test releases it (a browser showing the page until the user closes it).
enum class Fake { kNone, kHandsOff, kFails, kHeldThenHandsOff, kHeldThenFails };

bool Held(Fake f) { return f == Fake::kHeldThenHandsOff || f == Fake::kHeldThenFails; }

struct OpenCase {
  const char* name;
  Fake browser;             // $BROWSER: the fake "browser" of the test folder, or unset (kNone)
  const char* browserArgs;  // after the program in $BROWSER
  Fake xdgOpen;             // the fake "xdg-open" in PATH, or none there (kNone)
  bool shown;
  const char* log;  // the launchers run, each "<name> <args>" on a line (URL as U)
};

void PrintTo(const OpenCase& c, std::ostream* os) { *os << c.name; }

const char* const kUrl = "file:///opt/kestrin/VEXON.html#ctx10000";

class OpenerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "ui_help_qt_test";
    static char* argv[] = {name, nullptr};
    // The opener watches its launchers from the event loop. Never destroyed: the application
    // lives until the process ends.
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
  }
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  // A held fake that a test left waiting (it stopped early) is let go.
  void TearDown() override {
    for (const char* name : {"browser", "xdg-open"}) {
      const int fd = ::open(Path(std::string(name) + ".release").c_str(), O_WRONLY | O_NONBLOCK);
      if (fd < 0) continue;
      (void)!::write(fd, "go\n", 3);
      ::close(fd);
    }
  }

  std::string Path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }

  void WriteLauncher(const std::string& name, Fake what) {
    const std::string path = Path(name);
    std::ofstream out(path);
    out << "#!/bin/sh\necho \"" << name << " $*\" >> '" << Path("log") << "'\n";
    if (Held(what)) {
      mkfifo(Path(name + ".release").c_str(), 0600);
      out << "read line < '" << Path(name + ".release") << "'\n";
    }
    if (what == Fake::kFails || what == Fake::kHeldThenFails) out << "exit 3\n";
    out.close();
    chmod(path.c_str(), 0755);
  }

  // Sets up $BROWSER and PATH for the case's fakes (for the life of the test).
  void Install(const OpenCase& c) {
    std::optional<std::string> browser;
    if (c.browser != Fake::kNone) {
      WriteLauncher("browser", c.browser);
      browser = Path("browser") + c.browserArgs;
    }
    if (c.xdgOpen != Fake::kNone) WriteLauncher("xdg-open", c.xdgOpen);
    path_.emplace("PATH", dir_.path().toStdString());
    browserEnv_.emplace("BROWSER", browser);
  }

  // Lets the held fake end. Opening the pipe waits until the fake reads it: the fake is running.
  void Release(const std::string& name) { std::ofstream(Path(name + ".release")) << "go\n"; }

  // The outcome the opener reports from the event loop (no deadline: see the top of the file).
  bool WaitForOutcome() {
    while (!outcome_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return *outcome_;
  }

  std::string Log() const {
    std::ifstream in(Path("log"));
    std::stringstream s;
    s << in.rdbuf();
    std::string log = s.str();
    for (std::size_t at; (at = log.find(kUrl)) != std::string::npos;) log.replace(at, std::string(kUrl).size(), "U");
    return log;
  }

  QTemporaryDir dir_;
  std::optional<ScopedEnv> path_, browserEnv_;
  std::optional<bool> outcome_;
  int outcomes_ = 0;
  help::QtHelpOpener opener_{[this](bool shown) {
    outcome_ = shown;
    ++outcomes_;
  }};
};

class Opener : public OpenerTest, public ::testing::WithParamInterface<OpenCase> {};

// Launchers that end at once: started, the outcome follows from the event loop; none started,
// open() says so itself and no outcome follows.
TEST_P(Opener, LauncherEndingInAnErrorIsNoSuccessAndTheNextIsTried) {
  const OpenCase& c = GetParam();
  Install(c);
  const bool started = opener_.open(kUrl);
  EXPECT_EQ(started ? WaitForOutcome() : false, c.shown);
  EXPECT_EQ(outcomes_, started ? 1 : 0);
  EXPECT_EQ(Log(), c.log);
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
                 "browser --new-window U --raise\n"}),
    [](const ::testing::TestParamInfo<OpenCase>& row) { return std::string(row.param.name); });

class HeldOpener : public Opener {};

// A launcher that runs on (a browser in the foreground): open() has returned while it runs, and
// nothing is decided until it ends, however late; failing then, the next launcher is tried.
TEST_P(HeldOpener, OpenReturnsWhileTheLauncherRunsAndItsEndDecides) {
  const OpenCase& c = GetParam();
  Install(c);
  const std::string held = Held(c.browser) ? "browser" : "xdg-open";
  ASSERT_TRUE(opener_.open(kUrl));
  // The launcher has not ended: it waits for the release below.
  QCoreApplication::processEvents();
  EXPECT_FALSE(outcome_.has_value());
  Release(held);
  EXPECT_EQ(WaitForOutcome(), c.shown);
  EXPECT_EQ(outcomes_, 1);
  EXPECT_EQ(Log(), c.log);
}

INSTANTIATE_TEST_SUITE_P(
    Launchers, HeldOpener,
    ::testing::Values(
        // xdg-open without a desktop environment runs the browser itself until it is closed.
        OpenCase{"XdgOpenRunsTheBrowser", Fake::kNone, "", Fake::kHeldThenHandsOff, true, "xdg-open U\n"},
        OpenCase{"BrowserShowsThePage", Fake::kHeldThenHandsOff, "", Fake::kFails, true, "browser U\n"},
        OpenCase{"BrowserFailsLateThenXdgOpenHandsOff", Fake::kHeldThenFails, "", Fake::kHandsOff, true,
                 "browser U\nxdg-open U\n"},
        OpenCase{"BrowserFailsLateAndNoXdgOpen", Fake::kHeldThenFails, "", Fake::kNone, false, "browser U\n"}),
    [](const ::testing::TestParamInfo<OpenCase>& row) { return std::string(row.param.name); });

TEST_F(OpenerTest, BrowserThatIsNoProgramIsAFailure) {
  ScopedEnv path("PATH", "/nonexistent");
  ScopedEnv nothing("BROWSER", std::string("/nonexistent/browser"));
  EXPECT_FALSE(opener_.open("file:///x/VEXON.html#ctx1"));  // known at once: no outcome follows
  ScopedEnv env("BROWSER", std::string("/bin/false:/nonexistent/browser"));
  ASSERT_TRUE(opener_.open("file:///x/VEXON.html#ctx1"));
  EXPECT_FALSE(WaitForOutcome());
  EXPECT_EQ(outcomes_, 1);
}

// Help pressed again and again, each launcher failing late: the page-not-shown message comes
// once for the burst, never one box inside another's event loop; a press after that message
// gets its own.
TEST_F(OpenerTest, ABurstOfOpensThatFailLateIsReportedOnce) {
  {
    std::ofstream out(Path("browser"));
    out << "#!/bin/sh\necho $$ >> '" << Path("pids") << "'\nwhile [ ! -e '" << Path("release")
        << "' ]; do sleep 0.02; done\nexit 3\n";
  }
  chmod(Path("browser").c_str(), 0755);
  ScopedEnv path("PATH", dir_.path().toStdString());
  ScopedEnv browser("BROWSER", Path("browser"));
  // Until every launcher started (`count` of them) has ended and been waited for by the opener.
  const auto waitForLaunchers = [this](int count) {
    const auto done = [&] {
      std::ifstream in(Path("pids"));
      int seen = 0;
      for (pid_t pid = 0; in >> pid; ++seen) {
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0) return false;
      }
      return seen == count;
    };
    while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  };
  int boxes = 0, open = 0, deepest = 0, expectedLaunchers = 20;
  help::QtHelpOpener opener([&](bool shown) {
    if (shown) return;
    ++boxes;
    deepest = std::max(deepest, ++open);
    waitForLaunchers(expectedLaunchers);  // the message's own event loop, until all have ended
    --open;
  });
  for (int i = 0; i < expectedLaunchers; ++i) ASSERT_TRUE(opener.open(kUrl));
  std::ofstream(Path("release")) << "";
  waitForLaunchers(expectedLaunchers);
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(deepest, 1);
  expectedLaunchers = 21;
  ASSERT_TRUE(opener.open(kUrl));
  waitForLaunchers(expectedLaunchers);
  EXPECT_EQ(boxes, 2);
}

}  // namespace
