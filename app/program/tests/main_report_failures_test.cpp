// The Reports command when something fails: a working folder that cannot take the report (the
// report is shown whole and saved elsewhere, one box, the summary CSV still written), a failed
// section, a cancelled run (nothing to print or save, the CSV's message says why), a Cancel at
// the last step against one after the save, and a scratch-folder failure that both
// calculations meet (one box).
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "app/calc/frmWaitDialog.h"
#include "app/program/tests/reports_command.h"
#include "app/reports/clsReport.h"
#include "app/reports/frmReport.h"
#include "app/reports/viewer/frmReportWindow.h"
#include "app/storage/modDataIO.h"
#include "libs/testsupport/read_only_folder.h"
#include "libs/testsupport/run_command.h"
#include "platform/richtext/ter.h"

namespace {

namespace fs = std::filesystem;
using modDataIO::gProject;
using modDataIO::gSettings;
using programtest::ReportsCommand;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The viewer's File menu.
QMenu* FileMenu(frmReportWindow& w) { return w.findChild<QMenuBar*>()->actions().first()->menu(); }

// Print, Save as RTF, Save as PDF and the menu entries that need a report (Save Report As,
// Print Preview, Print): each one enabled.
std::vector<bool> ReportCommands(frmReportWindow& w) {
  std::vector<bool> on;
  for (const char* name : {"cmdPrint", "cmdSaveAsRTF", "cmdSaveAsPDF"})
    on.push_back(w.findChild<QToolButton*>(QString::fromUtf8(name))->isEnabled());
  for (QAction* a : FileMenu(w)->actions())
    if (a->text() == QStringLiteral("Save Report &As...") || a->text() == QStringLiteral("Print Preview") ||
        a->text() == QStringLiteral("&Print"))
      on.push_back(a->isEnabled());
  return on;
}

double WeightSum() {
  return gProject.WeightingFactor(0) + gProject.WeightingFactor(1) + gProject.WeightingFactor(2) +
         gProject.WeightingFactor(3);
}

struct Refusal {
  const char* name;
  bool readOnlyDisk;  // else a folder under a file, which no user can make
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class UnsavedReport : public ReportsCommand, public ::testing::WithParamInterface<Refusal> {};

// The working folder cannot take the report: the one box names the folder, the viewer shows
// the whole report (no error page), its Save as PDF saves all of it elsewhere, the report file
// of the last run stays, and the CSV asked for is written.
TEST_P(UnsavedReport, IsShownWholeSavedElsewhereAndTheCsvIsWritten) {
  const std::string old = "{\\rtf1 the last good report}";
  std::string folder;
  std::unique_ptr<testsupport::ReadOnlyFolder> readOnly;
  if (GetParam().readOnlyDisk) {
    folder = Out("work");
    fs::create_directories(folder);
    std::ofstream(folder + "/PLVReport_for_Default Plant.rtf", std::ios::binary) << old;
    readOnly = std::make_unique<testsupport::ReadOnlyFolder>(folder);
    if (!readOnly->Unavailable().empty()) FAIL() << readOnly->Unavailable();
  } else {
    std::ofstream(Out("blocker")) << "a file, not a folder";
    folder = Out("blocker");
  }
  modDataIO::WorkingFolder(folder + "/");
  int subReports = 0;
  size_t boxesBeforeSave = 0;
  std::vector<bool> commands;
  std::string png;
  window->onReportViewer = [&](frmReportWindow& w, frmReport& form) {
    w.chooseSaveFile = [&](const std::string&, int& filter) {
      filter = 2;
      return Out("kept.pdf");
    };
    WhenActivated(w, [&] {
      subReports = form.Report().SubReportsCount();
      commands = ReportCommands(w);
      boxesBeforeSave = host_.messages.size();
      png = RenderToPng(w, std::string("report_viewer_unsaved_report_") + GetParam().name);
      form.cmdSaveAsPDF_Click();
      w.exitButton()->click();
    });
  };
  window->form().cmdReport_Click();
  readOnly.reset();

  // One failure, one box: the report's save, which names the folder and what to do.
  std::string boxes;
  for (const auto& m : host_.messages) boxes += m.title + ": " + m.text + "\n";
  ASSERT_EQ(host_.messages.size(), 1u) << boxes;
  EXPECT_EQ(boxesBeforeSave, 1u);
  const std::string& box = host_.messages[0].text;
  EXPECT_NE(box.find("The folder " + folder + " cannot be written to."), std::string::npos) << box;
  EXPECT_NE(box.find("File > Save As"), std::string::npos) << box;
  EXPECT_EQ(commands, std::vector<bool>(6, true));
  EXPECT_GT(subReports, 3);
  const std::string text = testsupport::RunCommand("pdftotext '" + Out("kept.pdf") + "' -");
  EXPECT_EQ(text.find("Error found in this report"), std::string::npos);
  EXPECT_NE(text.find("Summary of Concepts"), std::string::npos);
  EXPECT_NE(text.find("Input Data Summary"), std::string::npos);
  if (GetParam().readOnlyDisk) {
    EXPECT_EQ(Slurp(folder + "/PLVReport_for_Default Plant.rtf"), old);
  }
  // The weighting factors were computed: the CSV follows.
  EXPECT_TRUE(fs::exists(window->csvPath));
  EXPECT_GT(WeightSum(), 0.5);
  EXPECT_FALSE(png.empty());
}

INSTANTIATE_TEST_SUITE_P(WorkingFolder, UnsavedReport,
                         ::testing::Values(Refusal{"FolderUnderAFile", false}, Refusal{"ReadOnlyDisk", true}),
                         [](const ::testing::TestParamInfo<Refusal>& i) { return std::string(i.param.name); });

// The CSV needs the weighting factors, not a flawless report: a failed section does not keep
// it back, and the weighting factors are computed also when their report is not chosen.
TEST_F(ReportsCommand, CsvIsWrittenWhenASectionFailsOrTheWeightingFactorsReportIsNotChosen) {
  const struct {
    const char* name;
    bool allSections;
    bool failLoadProfiles;
  } cases[] = {{"failed section", true, true}, {"weighting factors report not chosen", false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove(window->csvPath);
    host_.messages.clear();
    for (int i = 0; i < 4; ++i) gProject.WeightingFactor(i) = 0;
    window->allSections = c.allSections;
    int failed = -1;
    window->onReportViewer = [&](frmReportWindow& w, frmReport& form) {
      if (c.failLoadProfiles) form.Report().PLVSections().LoadProfiles = [] { return false; };
      WhenActivated(w, [&] {
        failed = form.Report().FailedSections();
        w.exitButton()->click();
      });
    };
    window->form().cmdReport_Click();
    EXPECT_EQ(failed, c.failLoadProfiles ? 1 : 0);
    for (const auto& m : host_.messages) ADD_FAILURE() << m.title << ": " << m.text;
    EXPECT_TRUE(fs::exists(window->csvPath));
    EXPECT_GT(WeightSum(), 0.5);
  }
}

// Presses a window's Cancel as the window hides itself.
class CancelOnHide : public QObject {
 public:
  int pressed = 0;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Hide && pressed++ == 0) PressCancel(*static_cast<QWidget*>(watched));
    return false;
  }
  static void PressCancel(QWidget& window) {
    for (QPushButton* b : window.findChildren<QPushButton*>())
      if (b->text() == QStringLiteral("Cancel")) b->click();
  }
};

// The message host that presses the progress window's Cancel at the first progress step of
// the viewer's run that `at` accepts (any step unless told), while the step processes events;
// or, with asItHides, as the window hides itself once its work is over.
class CancellingHost : public ui::RecordingHost {
 public:
  bool armed = false;
  bool asItHides = false;
  CancelOnHide onHide;
  std::function<bool(const frmWaitDialog&)> at = [](const frmWaitDialog&) { return true; };
  void processEvents() override {
    ++eventPumps;
    if (!armed) return;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      auto* wait = qobject_cast<frmWaitDialog*>(top);
      if (!wait || !wait->isVisible() || !at(*wait)) continue;
      armed = false;
      if (asItHides)
        wait->installEventFilter(&onHide);
      else
        CancelOnHide::PressCancel(*wait);
    }
  }
};

// What the viewer offered once it was activated: the report commands and the reports.
struct ViewerSeen {
  std::vector<bool> commands;
  int32_t reports = -1;
};

// Arms `cancelling` as the viewer opens (so Cancel is pressed in the report run that follows),
// notes what the viewer offers once activated, and closes it.
void SeeViewerAndClose(programtest::ReportsWindow& window, CancellingHost& cancelling, ViewerSeen& seen) {
  window.onReportViewer = [&cancelling, &seen](frmReportWindow& w, frmReport& form) {
    cancelling.armed = true;
    WhenActivated(w, [&w, &form, &seen] {
      seen.commands = ReportCommands(w);
      seen.reports = form.Report().ReportsCount();
      w.exitButton()->click();
    });
  };
}

// A cancelled run leaves the viewer without a report: Print, Print Preview and the saves are
// not offered, and the CSV's message says the run was cancelled.
TEST_F(ReportsCommand, CancelledRunOffersNoPrintOrSave) {
  CancellingHost cancelling;
  ui::ScopedHost scoped(cancelling);
  std::vector<bool> commands;
  std::string png, menuPng;
  int32_t reports = -1;
  bool saveAsked = false, printAsked = false;
  richtext::SetPrintDialogHook([&](richtext::PrintDialogKind, QPrinter&, richtext::TerHwnd) {
    printAsked = true;
    return false;
  });
  window->onReportViewer = [&](frmReportWindow& w, frmReport& form) {
    cancelling.armed = true;
    w.chooseSaveFile = [&](const std::string&, int&) {
      saveAsked = true;
      return std::string();
    };
    WhenActivated(w, [&] {
      commands = ReportCommands(w);
      reports = form.Report().ReportsCount();
      png = RenderToPng(w, "report_viewer_cancelled");
      // The File menu as the user opens it: what needs a report is greyed.
      QMenu* file = FileMenu(w);
      file->popup(w.mapToGlobal(QPoint(0, 0)));
      QCoreApplication::processEvents();
      menuPng = RenderToPng(*file, "report_viewer_cancelled_file_menu");
      file->hide();
      // A click on a button not offered does nothing; the menu's Save and Print neither.
      form.cmdSaveAsRTF_Click();
      form.mnuFile_Print_Click();
      w.exitButton()->click();
    });
  };
  window->form().cmdReport_Click();
  richtext::SetPrintDialogHook({});
  EXPECT_FALSE(cancelling.armed) << "Cancel was never pressed";
  EXPECT_FALSE(saveAsked);
  EXPECT_FALSE(printAsked);
  EXPECT_EQ(reports, 0);
  EXPECT_EQ(commands, std::vector<bool>(6, false));
  ASSERT_EQ(cancelling.messages.size(), 2u);
  EXPECT_EQ(cancelling.messages[0].text, frmReport::kCancelledMessage);
  EXPECT_EQ(cancelling.messages[1].text,
            modDataIO::CsvNotWrittenMessage(window->csvPath, "the report run was cancelled"));
  EXPECT_FALSE(fs::exists(window->csvPath));
  EXPECT_FALSE(png.empty());
  EXPECT_FALSE(menuPng.empty());
}

// Cancel pressed once the report is built (at the run's step at 10 % that follows the
// sections, the last but one): the report of the last good run stays as it was, and the viewer
// has no report, so neither Print nor the saves are offered.
TEST_F(ReportsCommand, CancelOnceTheReportIsBuiltKeepsTheLastGoodReport) {
  CancellingHost cancelling;
  cancelling.at = [](const frmWaitDialog& wait) {
    return wait.actionLabel()->text() == QStringLiteral("Generating...") && wait.progressBar()->value() == 10;
  };
  ui::ScopedHost scoped(cancelling);
  const std::string file = modDataIO::WorkingFolder() + clsReport::PLVReportFileName(gProject.ProjectName);
  const std::string old = "{\\rtf1 the last good report}";
  std::ofstream(file, std::ios::binary) << old;
  ViewerSeen seen;
  SeeViewerAndClose(*window, cancelling, seen);
  window->form().cmdReport_Click();
  EXPECT_FALSE(cancelling.armed) << "Cancel was never pressed";
  EXPECT_EQ(Slurp(file), old);
  EXPECT_EQ(seen.reports, 0);
  EXPECT_EQ(seen.commands, std::vector<bool>(6, false));
  ASSERT_FALSE(cancelling.messages.empty());
  EXPECT_EQ(cancelling.messages[0].text, frmReport::kCancelledMessage);
}

// Cancel at the report run's last step (the bar full), pressed while that step processes
// events, and Cancel pressed after the save, as the window hides itself; the working folder
// holds the last good run's report, a PDF of it and the CSV. Up to the save Cancel cancels:
// all three stay as they were, the viewer has no report and says so, the CSV's message says
// why. After it the run is complete: the new report shown with Print and the saves, the CSV
// written, no message. Never a mix.
TEST_F(ReportsCommand, CancelAtTheLastStepCancelsAndCancelAfterTheSaveComesTooLate) {
  const struct {
    const char* name;
    bool asItHides;  // else while the last step processes events
    bool cancels;
  } cases[] = {{"during the last step", false, true}, {"after the save", true, false}};
  const std::string report = Out(clsReport::PLVReportFileName(gProject.ProjectName));
  const std::string pdf = Out("PLVReport_for_Default Plant.pdf");
  const std::string oldReport = "{\\rtf1 the last good report}";
  const std::string oldPdf = "%PDF-1.4 the last good report";
  const std::string oldCsv = "the last good run's summary\n";
  // The settings already name the CSV, so the options ask nothing about replacing it.
  modDataIO::gSettings.CSVFilePath = window->csvPath;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::ofstream(report, std::ios::binary) << oldReport;
    std::ofstream(pdf, std::ios::binary) << oldPdf;
    std::ofstream(window->csvPath, std::ios::binary) << oldCsv;
    const auto before = FolderDigest(TempDir());
    CancellingHost cancelling;
    cancelling.asItHides = c.asItHides;
    cancelling.at = [](const frmWaitDialog& wait) {
      return wait.actionLabel()->text() == QStringLiteral("Generating...") && wait.progressBar()->value() == 100;
    };
    ui::ScopedHost scoped(cancelling);
    ViewerSeen seen;
    SeeViewerAndClose(*window, cancelling, seen);
    window->form().cmdReport_Click();
    EXPECT_FALSE(cancelling.armed) << "the last step was never reached";
    if (c.asItHides) {
      EXPECT_EQ(cancelling.onHide.pressed, 1) << "Cancel was never pressed";
    }
    std::string boxes;
    for (const auto& m : cancelling.messages) boxes += m.text + "\n";
    if (c.cancels) {
      EXPECT_EQ(FolderDigest(TempDir()), before) << "report, PDF and CSV as they were";
      EXPECT_EQ(seen.reports, 0);
      EXPECT_EQ(seen.commands, std::vector<bool>(6, false));
      ASSERT_EQ(cancelling.messages.size(), 2u) << boxes;
      EXPECT_EQ(cancelling.messages[0].text, frmReport::kCancelledMessage);
      EXPECT_EQ(cancelling.messages[1].text,
                modDataIO::CsvNotWrittenMessage(window->csvPath, "the report run was cancelled"));
    } else {
      EXPECT_NE(Slurp(report), oldReport);
      EXPECT_EQ(Slurp(report).rfind("{\\rtf", 0), 0u);
      EXPECT_EQ(Slurp(pdf), oldPdf);
      EXPECT_NE(Slurp(window->csvPath), oldCsv);
      EXPECT_NE(Slurp(window->csvPath).find(gProject.ProjectName), std::string::npos);
      EXPECT_EQ(seen.reports, 1);
      EXPECT_EQ(seen.commands, std::vector<bool>(6, true));
      EXPECT_TRUE(cancelling.messages.empty()) << boxes;
    }
  }
}

// A scratch file that cannot be used (a folder where the calculation deletes ERR.DAT or lays
// out CAL.DAT) fails the economics calculation and then the part-load one: one box for both.
// Run again from the viewer, the calculation says it again.
TEST_F(ReportsCommand, ScratchFailureBothCalculationsMeetGivesOneBox) {
  const struct {
    const char* file;
    const char* routine;  // the title of its box
  } cases[] = {{"ERR.DAT", "bErrorDelete"}, {"CAL.DAT", "bCalcWriteHeaderData"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    host_.messages.clear();
    const std::string blocked = modDataIO::DataFolder() + c.file;
    fs::create_directories(blocked);
    size_t atViewer = 0, afterRetry = 0;
    window->onReportViewer = [&](frmReportWindow& w, frmReport& form) {
      WhenActivated(w, [&] {
        atViewer = host_.messages.size();
        form.mnuEdit_ReportOptions_Click();
        afterRetry = host_.messages.size();
        w.exitButton()->click();
      });
    };
    window->form().cmdReport_Click();
    fs::remove(blocked);
    std::string boxes;
    for (const auto& m : host_.messages) boxes += m.title + ": " + m.text + "\n";
    ASSERT_EQ(host_.messages.size(), 3u) << boxes;
    EXPECT_EQ(atViewer, 1u);
    EXPECT_EQ(afterRetry, 2u);
    for (size_t i : {0u, 1u}) {
      EXPECT_EQ(host_.messages[i].title, c.routine);
      EXPECT_NE(host_.messages[i].text.find("Not a regular file"), std::string::npos) << host_.messages[i].text;
    }
    EXPECT_EQ(host_.messages[2].text,
              modDataIO::CsvNotWrittenMessage(window->csvPath, "the part-load calculation did not finish"));
  }
}

}  // namespace
