#include "app/program/tests/main_fixture.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "app/program/Module1.h"
#include "app/reports/viewer/frmReportWindow.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "controls/unitentry/csQuillet.h"
#include "platform/ui/qt_host.h"

// fontconfig keeps its configuration cache for the life of the process; that is not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

void EnsureApp() {
  static int argc = 1;
  static char name[] = "app_main_test";
  static char* argv[] = {name, nullptr};
  // Never destroyed: the application lives until the process ends.
  if (!QCoreApplication::instance()) new QApplication(argc, argv);
}

void WhenActivated(frmReportWindow& window, std::function<void()> then) {
  auto* poll = new QTimer(&window);
  poll->setInterval(20);
  QObject::connect(poll, &QTimer::timeout, &window, [&window, poll, then = std::move(then)] {
    if (!window.activated()) return;
    poll->stop();
    then();
  });
  poll->start();
}

std::string RenderToPng(QWidget& widget, const std::string& name) {
  const std::filesystem::path folder = std::filesystem::path(KESTRIN_PROGRAM_DIR).parent_path() / "renders";
  std::filesystem::create_directories(folder);
  const std::string path = (folder / (name + ".png")).string();
  widget.adjustSize();
  const QPixmap picture = widget.grab();
  EXPECT_TRUE(picture.save(QString::fromStdString(path)));
  return path;
}

void RenderMessage(const ui::RecordingHost::Message& message, QWidget& owner, const std::string& name) {
  auto box = ui::BuildMessageBox(message.text, message.style, "Kestrin", &owner);
  box->show();
  QCoreApplication::processEvents();
  RenderToPng(*box, name);
  box->hide();
}

std::map<std::string, std::string> FolderDigest(const std::filesystem::path& folder) {
  std::map<std::string, std::string> digest;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    std::string& value = digest[entry.path().string()];
    if (entry.is_symlink()) {
      value = "link to " + std::filesystem::read_symlink(entry.path()).string();
    } else if (entry.is_directory()) {
      value = "folder";
    } else {
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(in), {}};
      value =
          QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256).toHex().toStdString();
    }
  }
  return digest;
}

void MainTest::SetUp() {
  EnsureApp();
  scoped_ = std::make_unique<ui::ScopedHost>(host_);
  const char* home = std::getenv("XDG_DATA_HOME");
  ASSERT_NE(home, nullptr);
  std::filesystem::remove_all(std::filesystem::path(home) / "Kestrin");
  temp_ = std::filesystem::path(home) /
          ("work-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  std::filesystem::remove_all(temp_);
  std::filesystem::create_directories(temp_);
  ASSERT_EQ(Module1::StartUp(""), Module1::StartResult::kReady);
  modDataIO::gSettings.WorkingFolder = temp_.string() + "/";
}

void MainTest::TearDown() {
  window_.reset();
  scoped_.reset();
}

TestWindow& MainTest::OpenWindow() {
  window_.reset();
  window_ = std::make_unique<TestWindow>(form_);
  return *window_;
}

std::string MainTest::Shown(frmMain::Box box) const { return window_->unitBox(box)->TextBox()->text().toStdString(); }

void MainTest::Type(frmMain::Box box, const std::string& text) {
  QLineEdit* edit = window_->unitBox(box)->TextBox();
  edit->selectAll();
  edit->insert(QString::fromStdString(text));
}
