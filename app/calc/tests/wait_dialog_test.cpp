// The progress window's dialog, shown without a modal loop on the offscreen platform: the
// work starts once it is shown, the dialog is the progress target while it runs, and the
// Cancel button reaches the controller.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "app/calc/frmWait.h"
#include "app/calc/frmWaitDialog.h"
#include "app/storage/modpublic.h"
#include "platform/ui/ui.h"

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "calc_wait_dialog_test";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

class Report : public frmWait::ReportClassInterface {
 public:
  int16_t ReportType() const override { return 2; }
  void UserCanceled(bool v) override { canceled = v; }
  bool EconomicAnalysisReports() override { return true; }
  bool PLVAnalysisReports() override {
    // What a report run sees while the dialog works.
    duringRun = ui::progressTarget();
    modpublic::UpdateProgress(modpublic::kProgressGenerating, 55, "Cover page");
    return true;
  }
  bool canceled = false;
  ui::ProgressTarget* duringRun = nullptr;
};

TEST(WaitDialog, RunsAfterShowingAndHidesItselfWhenDone) {
  App();
  ui::RecordingHost host;
  ui::ScopedHost scoped(host);
  Report report;
  frmWait form;
  form.ReportClass(&report);
  form.DoCalcs(false);  // reports only
  frmWaitDialog dialog(form);
  dialog.show();
  QElapsedTimer timer;
  timer.start();
  while (dialog.isVisible() && timer.elapsed() < 5000) QApplication::processEvents();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(report.duringRun, &dialog);
  EXPECT_EQ(ui::progressTarget(), nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Generating PLV Analysis Reports");
  EXPECT_EQ(dialog.messageLabel()->text(), "Cover page");
  EXPECT_EQ(dialog.actionLabel()->text(), "");  // cleared after "Generating..."
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(host.messages.empty());
}

TEST(WaitDialog, CancelButtonReachesTheController) {
  App();
  ui::RecordingHost host;
  ui::ScopedHost scoped(host);
  Report report;
  frmWait form;
  form.ReportClass(&report);
  frmWaitDialog dialog(form);
  dialog.cancelButton()->click();
  EXPECT_TRUE(form.UserCanceled());
  EXPECT_TRUE(report.canceled);
  EXPECT_TRUE(dialog.userCanceled());
  EXPECT_FALSE(dialog.cancelButton()->isEnabled());
}

}  // namespace
