// The results window under the offscreen platform: it runs the check on its first showing,
// fills the grid and saves and prints; the pictures are written for looking at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <algorithm>
#include <memory>

#include "platform/ui/ui.h"
#include "tools/filecheck/FileInfoWindow.h"
#include "tools/filecheck/modChecker.h"
#include "tools/filecheck/print_grid.h"
#include "tools/filecheck/tests/fixture.h"

namespace {

// The application lives from before the first test to after the last one, and is gone
// before the program's exit handlers run (Qt's input devices must not outlive it).
class AppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char arg0_[12] = "window_test";
  char* argv_[2] = {arg0_, nullptr};
  std::unique_ptr<QApplication> app_;
};
[[maybe_unused]] auto* const kAppEnvironment = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

class WindowTest : public fixture::CheckerTest {
 protected:
  void SetUp() override {
    modChecker::g_quiet = 0;
    list_ = fixture::MakeInstallation(dir_.path());
    modChecker::g_crc = dir_.str() + "/disk1/";
  }
  // Lets events run until the condition holds (at most five seconds).
  template <typename Condition>
  bool RunUntil(Condition done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
  }

  std::string list_;
};

TEST_F(WindowTest, FirstShowingChecksAndFillsTheGrid) {
  FileInfo logic;
  logic.SetOsDisplayName("TestOS 1.0");
  FileInfoWindow window(logic, list_);
  window.show();
  ASSERT_TRUE(RunUntil([&] { return window.saveButton()->isEnabled() && window.grid()->rowCount() == 5; }));
  EXPECT_EQ(window.windowTitle().toStdString(),
            "File Integrity Verification (TestOS 1.0)- Using Config File '" + list_ + "'");
  QTableWidget* grid = window.grid();
  ASSERT_EQ(grid->columnCount(), 9);
  EXPECT_EQ(grid->horizontalHeaderItem(6)->text(), "Original Size");
  EXPECT_EQ(grid->item(1, 2)->text(), "B2288182");
  EXPECT_EQ(grid->item(2, 7)->text(), "");
  EXPECT_TRUE(grid->item(0, 6)->textAlignment() & Qt::AlignRight);
  EXPECT_TRUE(grid->item(0, 1)->textAlignment() & Qt::AlignLeft);
  // Each column at least as wide as its header.
  const QFontMetrics metrics(grid->horizontalHeader()->font());
  for (int c = 0; c < 9; ++c)
    EXPECT_GE(grid->columnWidth(c), metrics.horizontalAdvance(grid->horizontalHeaderItem(c)->text())) << c;
  EXPECT_TRUE(window.printButton()->isEnabled());
  EXPECT_TRUE(window.grab().save(VERITOR_SHOT_DIR "/veritor_grid.png"));

  // Showing it again does not run the check a second time.
  const int pumps = host_.eventPumps;
  window.hide();
  window.show();
  RunUntil([] { return false; });
  EXPECT_EQ(host_.eventPumps, pumps);

  window.saveButton()->click();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, "File created: \n" + dir_.str() + "/disk1/crc001.txt");
}

TEST_F(WindowTest, ProgramFolderOfTheBuildShowsItsVersions) {
  FileInfo logic;
  const std::string list = KESTRIN_PROGRAM_DIR "/SETUP.CRC";
  FileInfoWindow window(logic, list);
  window.show();
  ASSERT_TRUE(RunUntil([&] { return window.saveButton()->isEnabled() && logic.ListFile() == list; }));
  ASSERT_GT(window.grid()->rowCount(), 5);
  for (int r = 0; r < window.grid()->rowCount(); ++r) {
    EXPECT_EQ(window.grid()->item(r, 2)->text(), "OK ") << r;
    EXPECT_EQ(window.grid()->item(r, 4)->text(), window.grid()->item(r, 5)->text()) << r;
  }
  // The finished grid opens at its first row and first column, not where the check ended.
  EXPECT_EQ(window.grid()->verticalScrollBar()->value(), 0);
  EXPECT_EQ(window.grid()->horizontalScrollBar()->value(), 0);
  EXPECT_GT(window.grid()->verticalScrollBar()->maximum(), 0);  // the list is longer than the window
  // As wide as its columns need, as far as the screen allows.
  int columns = 0;
  for (int c = 0; c < window.grid()->columnCount(); ++c) columns += window.grid()->columnWidth(c);
  EXPECT_GE(window.width(), std::min(columns, window.screen()->availableGeometry().width()));
  EXPECT_TRUE(window.grab().save(VERITOR_SHOT_DIR "/veritor_grid_program.png"));
}

TEST_F(WindowTest, UnreadableListIsShownAndTheButtonsStillWork) {
  FileInfo logic;
  FileInfoWindow window(logic, dir_.str() + "/none.crc");
  window.show();
  ASSERT_TRUE(RunUntil([&] { return !host_.messages.empty() && window.saveButton()->isEnabled(); }));
  EXPECT_EQ(window.grid()->rowCount(), 0);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text.rfind("Unable to open input file " + dir_.str() + "/none.crc", 0), 0u);
}

TEST_F(WindowTest, PrintoutToPdf) {
  FileInfo logic;
  logic.SetOsDisplayName("TestOS 1.0");
  ASSERT_TRUE(fixture::LoadAndVerify(logic, list_));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const std::string pdf = VERITOR_SHOT_DIR "/veritor_print.pdf";
  printer.setOutputFileName(QString::fromStdString(pdf));
  std::tm now{};
  now.tm_year = 125;
  now.tm_mon = 2;
  now.tm_mday = 7;
  now.tm_hour = 14;
  now.tm_min = 5;
  std::string error;
  ASSERT_TRUE(report::PrintGrid(printer, logic.Grid1(), now, "TestOS 1.0", list_, error)) << error;
  const std::string bytes = fixture::ReadAll(pdf);
  EXPECT_EQ(bytes.rfind("%PDF", 0), 0u);
  EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);

  // A printer that cannot be opened is reported, not a crash.
  QPrinter broken(QPrinter::HighResolution);
  broken.setOutputFormat(QPrinter::PdfFormat);
  broken.setOutputFileName(QString::fromStdString(dir_.str() + "/no/such/folder/out.pdf"));
  EXPECT_FALSE(report::PrintGrid(broken, logic.Grid1(), now, "TestOS 1.0", list_, error));
  EXPECT_FALSE(error.empty());
}

TEST_F(WindowTest, SplashShowsTheWindowAfterThreeSeconds) {
  QWidget next;
  SplashWindow splash(&next);
  splash.show();
  EXPECT_TRUE(splash.grab().save(VERITOR_SHOT_DIR "/veritor_splash.png"));
  EXPECT_FALSE(next.isVisible());
  ASSERT_TRUE(RunUntil([&] { return next.isVisible(); }));
  EXPECT_FALSE(splash.isVisible());
}

}  // namespace
