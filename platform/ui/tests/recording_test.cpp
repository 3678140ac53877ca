#include <gtest/gtest.h>

#include "platform/ui/ui.h"

TEST(UiHost, DefaultHostIsHeadlessAndAnswersByButtons) {
  ui::setHost(nullptr);
  EXPECT_EQ(ui::host().messageBox("text", ui::kExclamation, "t"), ui::kOk);
  EXPECT_EQ(ui::host().messageBox("text", ui::kYesNo | ui::kQuestion, "t"), ui::kYes);
  EXPECT_EQ(ui::progressTarget(), nullptr);
}

TEST(UiHost, ScopedHostRecordsAndRestores) {
  ui::RecordingHost rec;
  {
    ui::ScopedHost scope(rec);
    rec.answers.push_back(ui::kNo);
    EXPECT_EQ(ui::host().messageBox("Save?", ui::kYesNo, "Title"), ui::kNo);
    EXPECT_EQ(ui::host().messageBox("Again", ui::kYesNo, ""), ui::kYes);
  }
  ASSERT_EQ(rec.messages.size(), 2u);
  EXPECT_EQ(rec.messages[0].text, "Save?");
  EXPECT_EQ(rec.messages[0].title, "Title");
  EXPECT_NE(&ui::host(), &rec);
}

TEST(UiProgress, CancelAfterUpdates) {
  ui::RecordingProgress p;
  p.cancelAfterUpdates = 2;
  ui::ScopedProgressTarget scope(p);
  EXPECT_FALSE(ui::progressTarget()->userCanceled());
  p.setValue(10);
  EXPECT_FALSE(p.userCanceled());
  p.setValue(20);
  EXPECT_TRUE(p.userCanceled());
}
