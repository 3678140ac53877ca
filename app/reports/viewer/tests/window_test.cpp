// The viewer window's save dialog: it asks nothing about a file that exists, since the file
// the viewer writes may carry an added extension; the viewer asks about that file itself.
#include <QApplication>
#include <QFileDialog>

#include <string>
#include <vector>

#include "app/reports/frmReport.h"
#include "app/reports/tests/report_fixture.h"
#include "app/reports/viewer/frmReportWindow.h"

namespace {

class ViewerWindow : public reporttest::ReportTest {
 protected:
  void SetUp() override {
    // The window needs the widgets application, made before the fixture's own.
    static int argc = 1;
    static char name[] = "viewer_window_test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QApplication(argc, argv);
    ReportTest::SetUp();
  }
};

TEST_F(ViewerWindow, TheSaveDialogLeavesTheReplaceQuestionToTheViewer) {
  frmReport form;
  frmReportWindow window(form);
  const std::vector<std::string> filters = {"Report Files (*.rtf)", "Report Files (*.pdf)", "All Files (*.*)"};
  for (int filter : {1, 2}) {
    const auto dialog = window.SaveDialog("Save Report", filters, filter, Working("CHL.DAT"));
    EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite)) << filter;
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->selectedNameFilter().toStdString(), filters[static_cast<size_t>(filter - 1)]);
    EXPECT_FALSE(dialog->isVisible());
  }
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
