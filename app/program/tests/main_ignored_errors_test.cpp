// A normal session passes over no error: the start (window load, unit binding, project into
// the controls), a Reports run through the viewer and the exit record nothing through
// vb::NoteIgnoredError.
#include <QPushButton>

#include "app/program/frmDialogs.h"
#include "app/program/tests/main_fixture.h"
#include "app/reports/frmReport.h"
#include "app/reports/viewer/frmReportWindow.h"
#include "app/storage/modDataIO.h"
#include "libs/vb/vberror.h"

namespace {

// The report options confirmed as the settings have them.
class OptionsWindow : public TestWindow {
 public:
  using TestWindow::TestWindow;
  int optionsShown = 0;
  bool ShowReportOptions() override {
    ++optionsShown;
    frmReportOptions dialog;
    dialog.ParentForm(this);
    dialog.cmdOK_Click();
    return dialog.DialogOK();
  }
};

class IgnoredErrors : public MainTest {};

TEST_F(IgnoredErrors, StartReportsRunAndExitPassOverNoError) {
  modDataIO::gProject.ProjectName = "Quiet Plant";  // a named project: the options ask nothing
  const long before = vb::IgnoredErrorCount();
  OptionsWindow window(form_);
  EXPECT_EQ(vb::IgnoredErrorCount(), before) << "on start";

  bool viewed = false;
  window.onReportViewer = [&](frmReportWindow& w, frmReport&) {
    WhenActivated(w, [&w, &viewed] {
      viewed = true;
      w.exitButton()->click();
    });
  };
  window.findChild<QPushButton*>(QStringLiteral("cmdReport"))->click();
  EXPECT_EQ(window.optionsShown, 1);
  EXPECT_TRUE(viewed);
  for (const auto& m : host_.messages) ADD_FAILURE() << m.title << ": " << m.text;
  EXPECT_EQ(vb::IgnoredErrorCount(), before) << "after Reports";

  EXPECT_TRUE(window.close());
  EXPECT_EQ(vb::IgnoredErrorCount(), before) << "on exit";
}

}  // namespace
