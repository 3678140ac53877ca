#include "platform/ui/qt_host.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "qt_host_test";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

class QtHostTest : public testing::Test {
 protected:
  void SetUp() override { App(); }
};

TEST_F(QtHostTest, StyleSelectsIconButtonsAndDefault) {
  using SB = QMessageBox::StandardButton;
  const struct {
    int style;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    SB defaultButton;
  } cases[] = {
      {16, QMessageBox::Critical, SB::Ok, SB::Ok},
      {48, QMessageBox::Warning, SB::Ok, SB::Ok},
      {64, QMessageBox::Information, SB::Ok, SB::Ok},
      {0, QMessageBox::NoIcon, SB::Ok, SB::Ok},
      {4 + 32, QMessageBox::Question, SB::Yes | SB::No, SB::Yes},
      {3 + 48, QMessageBox::Warning, SB::Yes | SB::No | SB::Cancel, SB::Yes},
      {1 + 64, QMessageBox::Information, SB::Ok | SB::Cancel, SB::Ok},
      {4 + 16, QMessageBox::Critical, SB::Yes | SB::No, SB::Yes},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    auto box = ui::BuildMessageBox("Text\r\n\r\nError 5 - x", c.style, "Title");
    EXPECT_EQ(box->icon(), c.icon);
    EXPECT_EQ(box->standardButtons(), c.buttons);
    ASSERT_NE(box->defaultButton(), nullptr);
    EXPECT_EQ(box->standardButton(box->defaultButton()), c.defaultButton);
    EXPECT_EQ(box->text().toStdString(), "Text\r\n\r\nError 5 - x");
    EXPECT_EQ(box->windowTitle().toStdString(), "Title");
    EXPECT_FALSE(box->isVisible());
  }
}

TEST_F(QtHostTest, ButtonsMapToAnswers) {
  EXPECT_EQ(ui::AnswerOf(QMessageBox::Ok), ui::kOk);
  EXPECT_EQ(ui::AnswerOf(QMessageBox::Cancel), ui::kCancel);
  EXPECT_EQ(ui::AnswerOf(QMessageBox::Yes), ui::kYes);
  EXPECT_EQ(ui::AnswerOf(QMessageBox::No), ui::kNo);
  EXPECT_EQ(ui::AnswerOf(QMessageBox::NoButton), ui::kCancel);  // closed without a button
}

TEST_F(QtHostTest, ProcessEventsDeliversPendingEvents) {
  ui::QtHost host;
  bool fired = false;
  QTimer::singleShot(0, [&fired] { fired = true; });
  host.processEvents();
  EXPECT_TRUE(fired);
}

TEST_F(QtHostTest, WaitCursorDoesNotStack) {
  ui::QtHost host;
  ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
  host.setWaitCursor(true);
  host.setWaitCursor(true);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  host.setWaitCursor(false);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  host.setWaitCursor(false);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(QtHostTest, ApplicationTitle) {
  ui::QtHost host;
  QGuiApplication::setApplicationDisplayName("Chiller Plant");
  EXPECT_EQ(host.applicationTitle(), "Chiller Plant");
  QGuiApplication::setApplicationDisplayName("");
  EXPECT_EQ(host.applicationTitle(), "Kestrin");  // no name: the default title
}

}  // namespace
