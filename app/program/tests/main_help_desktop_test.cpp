// Help on a desktop whose launcher cannot show the page: the program's opener with a fake
// xdg-open that ends in an error, as xdg-open does where no browser is set up ("no method
// available"), or a $BROWSER that fails. Help then says where the help file is.
#include <sys/stat.h>

#include <QPushButton>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "app/program/tests/main_fixture.h"
#include "app/storage/modpublic.h"
#include "platform/help/help_qt.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class HelpDesktop : public MainTest {
 protected:
  void SetUp() override {
    MainTest::SetUp();
    for (const char* name : {"PATH", "BROWSER"}) {
      const char* v = std::getenv(name);
      saved_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
    }
    help::setOpener(&opener_);
  }
  void TearDown() override {
    help::setOpener(nullptr);
    for (const auto& [name, value] : saved_) value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    MainTest::TearDown();
  }
  // A PATH of its own holding only an xdg-open that ends with `status`.
  void FakeXdgOpen(int status) {
    const fs::path bin = TempDir() / "bin";
    fs::create_directories(bin);
    const fs::path xdg = bin / "xdg-open";
    std::ofstream(xdg) << "#!/bin/sh\nexit " << status << "\n";
    chmod(xdg.c_str(), 0755);
    setenv("PATH", bin.c_str(), 1);
  }
  void ClickHelp() { OpenWindow().findChild<QPushButton*>(QStringLiteral("cmdHelp"))->click(); }

  help::QtHelpOpener opener_{200ms};
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST_F(HelpDesktop, LauncherWithoutABrowserShowsWhereTheHelpFileIs) {
  FakeXdgOpen(3);
  unsetenv("BROWSER");
  ClickHelp();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, modpublic::HelpNotShownMessage(modpublic::gHelpFile));
  EXPECT_NE(host_.messages[0].text.find("/VEXON.html"), std::string::npos);
}

TEST_F(HelpDesktop, FailingBrowserShowsWhereTheHelpFileIs) {
  FakeXdgOpen(3);
  setenv("BROWSER", "/bin/false", 1);
  ClickHelp();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, modpublic::HelpNotShownMessage(modpublic::gHelpFile));
}

TEST_F(HelpDesktop, LauncherThatHandsThePageOnSaysNothing) {
  FakeXdgOpen(0);
  unsetenv("BROWSER");
  ClickHelp();
  EXPECT_TRUE(host_.messages.empty());
}

}  // namespace
