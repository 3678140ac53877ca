// Help on a desktop whose launcher cannot show the page: the program's opener, reporting to the
// program's Help outcome, with a fake xdg-open that ends in an error, as xdg-open does where no
// browser is set up ("no method available"), or a $BROWSER that fails, at once or long after the
// click. Help then says where the help file is.
//
// The opener reports from the window's event loop once a launcher has ended; the tests wait for
// that without a deadline: on a loaded machine a fake launcher (a shell script) can take far
// longer to run than any short wait a test could choose. A report that never comes makes the test
// run into ctest's timeout instead.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QPushButton>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "app/program/Module1.h"
#include "app/program/tests/main_fixture.h"
#include "app/storage/modpublic.h"
#include "platform/help/help_qt.h"

namespace {

namespace fs = std::filesystem;

class HelpDesktop : public MainTest {
 protected:
  void SetUp() override {
    MainTest::SetUp();
    for (const char* name : {"PATH", "BROWSER"}) {
      const char* v = std::getenv(name);
      saved_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
    }
    help::setOpener(&opener_);
    fs::create_directories(Bin());
    setenv("PATH", Bin().c_str(), 1);
  }
  void TearDown() override {
    // A fake browser that a test left waiting (it stopped early) is let go.
    const int fd = ::open((TempDir() / "release").c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) {
      (void)!::write(fd, "go\n", 3);
      ::close(fd);
    }
    help::setOpener(nullptr);
    for (const auto& [name, value] : saved_) value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    MainTest::TearDown();
  }
  // The PATH of the test: only the fakes written there.
  fs::path Bin() const { return TempDir() / "bin"; }
  void WriteLauncher(const std::string& name, const std::string& script) {
    const fs::path path = Bin() / name;
    std::ofstream(path) << "#!/bin/sh\n" << script;
    chmod(path.c_str(), 0755);
  }
  // An xdg-open in PATH that ends with `status`.
  void FakeXdgOpen(int status) { WriteLauncher("xdg-open", "exit " + std::to_string(status) + "\n"); }
  void ClickHelp() { OpenWindow().findChild<QPushButton*>(QStringLiteral("cmdHelp"))->click(); }
  // Runs the window's event loop until the opener has reported the click's outcome.
  void WaitForHelp() {
    while (reports_ == 0) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }

  int reports_ = 0;
  help::QtHelpOpener opener_{[this](bool shown) {
    ++reports_;
    Module1::HelpOutcome(shown);
  }};
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST_F(HelpDesktop, LauncherWithoutABrowserShowsWhereTheHelpFileIs) {
  FakeXdgOpen(3);
  unsetenv("BROWSER");
  ClickHelp();
  WaitForHelp();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, modpublic::HelpNotShownMessage(modpublic::gHelpFile));
  EXPECT_NE(host_.messages[0].text.find("/VEXON.html"), std::string::npos);
}

TEST_F(HelpDesktop, FailingBrowserShowsWhereTheHelpFileIs) {
  FakeXdgOpen(3);
  setenv("BROWSER", "/bin/false", 1);
  ClickHelp();
  WaitForHelp();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, modpublic::HelpNotShownMessage(modpublic::gHelpFile));
}

TEST_F(HelpDesktop, LauncherThatHandsThePageOnSaysNothing) {
  FakeXdgOpen(0);
  unsetenv("BROWSER");
  ClickHelp();
  WaitForHelp();
  EXPECT_TRUE(host_.messages.empty());
}

// A browser that runs on (in the foreground) holds nothing up: the click has returned to the
// event loop while it runs, and when it fails, however late, the message comes all the same.
// This test waits for the browser's own end, not for the opener's report (which is what it
// checks), then lets the window's event loop take what is ready.
TEST_F(HelpDesktop, BrowserFailingLateShowsWhereTheHelpFileIs) {
  const fs::path release = TempDir() / "release", pidFile = TempDir() / "browser.pid";
  ASSERT_EQ(mkfifo(release.c_str(), 0600), 0);
  WriteLauncher("browser", "echo $$ > '" + pidFile.string() + "'\nread line < '" + release.string() + "'\nexit 3\n");
  setenv("BROWSER", (Bin() / "browser").c_str(), 1);  // and no xdg-open after it

  ClickHelp();
  // The click has returned. Opening the pipe waits until the browser reads it: it is running.
  std::ofstream go(release);
  pid_t pid = 0;
  std::ifstream(pidFile) >> pid;
  const int browser = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  ASSERT_GE(browser, 0) << pid;
  pollfd ended{browser, POLLIN, 0};
  EXPECT_EQ(poll(&ended, 1, 0), 0);  // still running
  QCoreApplication::processEvents();
  EXPECT_TRUE(host_.messages.empty());

  go << "fail\n";
  go.close();
  EXPECT_EQ(poll(&ended, 1, -1), 1);  // the browser's end, without a deadline
  close(browser);
  QCoreApplication::processEvents();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, modpublic::HelpNotShownMessage(modpublic::gHelpFile));
}

}  // namespace
