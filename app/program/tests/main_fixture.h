// Shared set-up of the program's window tests: one QApplication on the offscreen platform, the
// recording message host, a fresh start-up (settings, project, scratch folder, unit controls)
// and a main window whose dialogs and file dialogs are answered by the test.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/program/frmMain.h"
#include "app/program/frmMainWindow.h"
#include "platform/ui/ui.h"

class QWidget;
class frmReportWindow;

void EnsureApp();

// Runs `then` once the viewer's first activation (the calculation and the report run) is
// over. The viewer is shown modally: a test acts on it from its event loop, through this.
void WhenActivated(frmReportWindow& window, std::function<void()> then);

// Saves a picture of the widget as <build>/renders/<name>.png and returns the path.
std::string RenderToPng(QWidget& widget, const std::string& name);

// The message box as the user sees it, saved as a PNG.
void RenderMessage(const ui::RecordingHost::Message& message, QWidget& owner, const std::string& name);

// Every entry of a folder and below (links not followed) with the SHA-256 of a file's bytes,
// a link's target or "folder": two calls compare equal only when nothing in it changed.
std::map<std::string, std::string> FolderDigest(const std::filesystem::path& folder);

// The main window with its modal parts replaced: file dialogs answer from queues, the dialog
// commands only count their calls.
class TestWindow : public frmMainWindow {
 public:
  using frmMainWindow::frmMainWindow;
  std::deque<std::string> openAnswers, saveAnswers;
  int customerShown = 0, userShown = 0, preferencesShown = 0;
  bool preferencesOK = false;
  std::string lastSaveInitDir;

  void ShowCustomerInfo() override { ++customerShown; }
  void ShowUserInfo() override { ++userShown; }
  bool ShowPreferences() override {
    ++preferencesShown;
    return preferencesOK;
  }
  std::string ShowOpenDialog(const std::string&, const std::string&, const std::string&) override {
    return Next(openAnswers);
  }
  std::string ShowSaveDialog(const std::string&, const std::string&, const std::string& initDir) override {
    lastSaveInitDir = initDir;
    return Next(saveAnswers);
  }

 private:
  static std::string Next(std::deque<std::string>& q) {
    if (q.empty()) return {};
    std::string s = q.front();
    q.pop_front();
    return s;
  }
};

// Runs the start-up with an empty command line into a fresh per-user folder.
class MainTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A fresh window on the current gProject / gSettings.
  TestWindow& OpenWindow();
  // A folder of this test's own, empty at the start.
  std::filesystem::path TempDir() const { return temp_; }
  // The text a unit box shows.
  std::string Shown(frmMain::Box box) const;
  // Types text into a unit box as the user does (replacing its text).
  void Type(frmMain::Box box, const std::string& text);

  ui::RecordingHost host_;
  std::unique_ptr<ui::ScopedHost> scoped_;
  frmMain form_;
  std::unique_ptr<TestWindow> window_;
  std::filesystem::path temp_;
};
