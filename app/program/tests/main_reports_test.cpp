// The Reports command end to end under the offscreen platform: the shipped default project,
// the report options, the economics calculation, the part-load viewer with the combined
// report, paging, saving as RTF and PDF (checked with the PDF tools and LibreOffice), the
// summary CSV; cancel; the system difference on the shipped data.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QKeyEvent>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QToolButton>

#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

#include "app/calc/frmWait.h"
#include "app/program/frmDialogs.h"
#include "app/reports/frmReport.h"
#include "app/reports/viewer/frmReportWindow.h"
#include "app/storage/modDataIO.h"
#include "libs/testsupport/run_command.h"
#include "app/program/tests/main_fixture.h"
#include "app/program/tests/reports_command.h"
#include "platform/richtext/ter.h"
#include "platform/richtext/viewer.h"
#include "platform/ui/qt_host.h"

namespace {

namespace fs = std::filesystem;
using modDataIO::gProject;
using modDataIO::gSettings;

using testsupport::RunCommand;

int PdfPages(const std::string& pdf) {
  std::smatch m;
  const std::string info = RunCommand("pdfinfo '" + pdf + "' 2>/dev/null");
  if (!std::regex_search(info, m, std::regex("Pages:\\s+(\\d+)"))) return -1;
  return std::stoi(m[1]);
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

using programtest::ReportsCommand;
using programtest::ReportsWindow;

TEST_F(ReportsCommand, DefaultProjectToTheSavedPartLoadReport) {
  int subReports = 0, visited = 0;
  std::vector<int> pages;
  bool navigatedBack = false;
  std::string png, graphPng;
  window->onReportViewer = [&](frmReportWindow& w, frmReport& form) {
    w.chooseSaveFile = [&](const std::string& proposed, int& filter) {
      EXPECT_EQ(fs::path(proposed).filename().string(),
                filter == 2 ? "PLVReport_for_Default Plant.pdf" : "PLVReport_for_Default Plant.rtf");
      return Out(filter == 2 ? "saved.PDF" : "saved.rtf");
    };
    WhenActivated(w, [&] {
      EXPECT_EQ(w.windowTitle().toStdString(), "Reports Viewer");
      EXPECT_TRUE(w.exitButton()->isEnabled());
      subReports = form.Report().SubReportsCount();
      // First sub-report: only Next, which has the focus.
      EXPECT_FALSE(w.navButton(0)->isEnabled());
      EXPECT_EQ(w.navButton(1)->isEnabled(), subReports > 1);
      pages.push_back(w.toc()->currentPage());
      while (w.navButton(1)->isEnabled() && visited < 20) {
        w.navButton(1)->click();
        pages.push_back(w.toc()->currentPage());
        ++visited;
      }
      EXPECT_FALSE(w.navButton(1)->isEnabled());
      EXPECT_TRUE(w.navButton(0)->isEnabled() || subReports <= 1);
      w.navButton(0)->click();
      navigatedBack = w.toc()->currentPage() == pages[pages.size() - 2];
      // Back to the first sub-report for the picture.
      for (int i = 0; i < 20 && w.navButton(0)->isEnabled(); ++i) w.navButton(0)->click();
      form.cmdSaveAsRTF_Click();
      form.cmdSaveAsPDF_Click();
      png = RenderToPng(w, "report_viewer_default_project");
      // A graph page at a zoom that shows the whole page width.
      w.zoomBox()->setText(QStringLiteral("70%"));
      form.SetZoom();
      EXPECT_EQ(w.zoomBox()->text().toStdString(), "70");
      w.navButton(1)->click();
      w.navButton(1)->click();
      graphPng = RenderToPng(w, "report_viewer_load_profiles");
      w.exitButton()->click();
    });
  };
  window->findChild<QPushButton*>(QStringLiteral("cmdReport"))->click();

  EXPECT_EQ(window->optionsShown, 1);
  for (const auto& m : host_.messages) ADD_FAILURE() << m.title << ": " << m.text;
  ReportData options;
  ASSERT_TRUE(modDataIO::bReportsRead(options));
  const int selected = (options.bCoverPage != 0) + (options.bSummaryReport != 0) + (options.bLoadProfileGraph != 0) +
                       (options.bCustomPLVFactors != 0) + (options.bCustomPLVSpec != 0) + (options.bCoolingDuty != 0) +
                       (options.bCondTempProfiles != 0) + (options.bPerfProfiles != 0) + (options.bInputSummary != 0);
  EXPECT_EQ(subReports, selected);
  EXPECT_EQ(visited, selected - 1);
  // Every sub-report starts on a later page than the one before.
  for (size_t i = 1; i < pages.size(); ++i) EXPECT_GT(pages[i], pages[i - 1]) << i;
  EXPECT_TRUE(navigatedBack);

  // The saved files: the RTF and the PDF with the cover page and every selected sub-report.
  const std::string rtf = Out("saved.rtf"), pdf = Out("saved.PDF");
  ASSERT_TRUE(fs::exists(rtf));
  ASSERT_TRUE(fs::exists(pdf));
  EXPECT_EQ(Slurp(rtf).rfind("{\\rtf", 0), 0U);
  EXPECT_EQ(Slurp(pdf).rfind("%PDF", 0), 0U);
  const int pdfPages = PdfPages(pdf);
  EXPECT_GE(pdfPages, selected);
  // Header titles are letter-spaced: compare without blanks, in upper case.
  auto squeeze = [](std::string t) {
    std::string out;
    for (char c : t)
      if (!std::isspace(static_cast<unsigned char>(c)))
        out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
  };
  const std::string text = squeeze(RunCommand("pdftotext -layout '" + pdf + "' -"));
  for (const char* title : {"DEFAULT PLANT", "Summary of Concepts", "WEIGHTING FACTORS AND ECWTs REPORT",
                            "SYSTEM LOAD PROFILES", "CUSTOM PLV FACTORS REPORT", "Cooling Duty Profiles",
                            "Condenser Temperature Profiles", "System Performance Profiles", "Input Data Summary"})
    EXPECT_NE(text.find(squeeze(title)), std::string::npos) << title;
  EXPECT_EQ(text.find(squeeze("Error found in this report")), std::string::npos);
  // The graphs: the load, duty (two), condenser temperature and performance pictures, and the
  // logos, are pictures of the RTF.
  const std::string body = Slurp(rtf);
  size_t pictures = 0;
  for (size_t at = body.find("\\pict"); at != std::string::npos; at = body.find("\\pict", at + 1)) ++pictures;
  EXPECT_GE(pictures, 5U);

  // LibreOffice lays the RTF out on the same number of pages.
  const std::string lo = Out("lo");
  fs::create_directories(lo);
  RunCommand("HOME='" + lo + "' soffice --headless --convert-to pdf --outdir '" + lo + "' '" + rtf +
             "' >/dev/null 2>&1");
  EXPECT_EQ(PdfPages(lo + "/saved.pdf"), pdfPages);

  // The summary CSV after the successful run, with the run's weighting factors.
  ASSERT_TRUE(fs::exists(window->csvPath));
  EXPECT_GT(gProject.WeightingFactor(0) + gProject.WeightingFactor(1) + gProject.WeightingFactor(2) +
                gProject.WeightingFactor(3),
            0.0F);
  EXPECT_FALSE(png.empty());
  EXPECT_FALSE(graphPng.empty());
}

// The economic report of the project's two plants: the main window's economics entry opens the
// viewer for report type 1, whose run builds the combined economic report.
TEST_F(ReportsCommand, EconomicReportThroughTheViewer) {
  ASSERT_TRUE(form_.ControlsToProjectData());
  ASSERT_TRUE(frmMain::SetupCalculationData());
  int type = 0, subReports = 0;
  std::string png;
  window->onReportViewer = [&](frmReportWindow& w, frmReport& form) {
    w.chooseSaveFile = [&](const std::string&, int& filter) {
      filter = 2;
      return Out("economics.pdf");
    };
    WhenActivated(w, [&] {
      type = form.Report().ReportType();
      subReports = form.Report().SubReportsCount();
      form.cmdSaveAsPDF_Click();
      png = RenderToPng(w, "report_viewer_economics");
      w.exitButton()->click();
    });
  };
  window->form().PerformEconomicsAnalysis();
  for (const auto& m : host_.messages) ADD_FAILURE() << m.title << ": " << m.text;
  EXPECT_EQ(type, 1);
  EXPECT_GT(subReports, 1);
  const std::string pdf = Out("economics.pdf");
  ASSERT_TRUE(fs::exists(pdf));
  const std::string text = RunCommand("pdftotext '" + pdf + "' -");
  EXPECT_EQ(text.find("Error found in this report"), std::string::npos);
  EXPECT_NE(text.find("Energy Cost Details"), std::string::npos);
  EXPECT_FALSE(png.empty());
}

// Printing from the viewer on a computer without a printer: the toolbar's Print says why it
// did not print, once; File > Print to a PDF file afterwards works; a PDF that cannot be
// written is named. The dialogs open on the report's Letter paper. Enter in the zoom box
// zooms, also after Next Report had the focus.
TEST_F(ReportsCommand, ViewerPrintSaysWhyItFailedAndTheNextPrintWorks) {
  if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "this computer has a printer";
  ASSERT_TRUE(form_.ControlsToProjectData());
  ASSERT_TRUE(frmMain::SetupCalculationData());
  const std::string pdf = Out("printed.pdf");
  // A folder that cannot be made (its parent is a file) fails for every user, root included.
  std::ofstream(TempDir() / "locked") << "a file";
  const std::string lockedPdf = (TempDir() / "locked" / "printed.pdf").string();
  std::string printTo;
  std::vector<QPageSize::PageSizeId> offeredPaper;
  std::vector<richtext::PrintDialogKind> dialogs;
  richtext::SetPrintDialogHook([&](richtext::PrintDialogKind kind, QPrinter& printer, richtext::TerHwnd) {
    offeredPaper.push_back(printer.pageLayout().pageSize().id());
    dialogs.push_back(kind);
    if (kind != richtext::PrintDialogKind::Print) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);  // "Print to File (PDF)"
    printer.setOutputFileName(QString::fromStdString(printTo));
    return true;
  });
  std::vector<ui::RecordingHost::Message> afterToolbar, afterPdf, afterLocked;
  int zoomAfterEnter = 0, pageBefore = 0, pageAfter = 0;
  std::string png;
  window->onReportViewer = [&](frmReportWindow& w, frmReport& form) {
    WhenActivated(w, [&] {
      host_.messages.clear();
      w.findChild<QToolButton*>(QStringLiteral("cmdPrint"))->click();
      afterToolbar = host_.messages;
      host_.messages.clear();
      printTo = pdf;
      form.mnuFile_Print_Click();
      afterPdf = host_.messages;
      printTo = lockedPdf;
      form.mnuFile_Print_Click();
      afterLocked = host_.messages;
      form.mnuFile_PageSetup_Click();  // cancelled: nothing changes
      if (!afterToolbar.empty()) {
        auto box = ui::BuildMessageBox(afterToolbar[0].text, afterToolbar[0].style, "Kestrin", &w);
        box->show();  // lays the box out as the user sees it
        QCoreApplication::processEvents();
        png = RenderToPng(*box, "print_failed_message");
        box->hide();
      }
      // Enter in the zoom box after Next Report was pressed: zooms, does not turn the page.
      w.navButton(1)->setFocus();
      w.navButton(1)->click();
      pageBefore = w.toc()->currentPage();
      w.zoomBox()->setFocus();
      w.zoomBox()->setText(QStringLiteral("50"));
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
      QCoreApplication::sendEvent(w.zoomBox(), &enter);
      zoomAfterEnter = w.toc()->zoomPercent();
      pageAfter = w.toc()->currentPage();
      w.exitButton()->click();
    });
  };
  window->form().PerformEconomicsAnalysis();
  richtext::SetPrintDialogHook({});

  ASSERT_EQ(afterToolbar.size(), 1u);
  EXPECT_EQ(afterToolbar[0].text, frmReport::PrintFailedMessage("no printer is set up on this computer"));
  EXPECT_TRUE(afterPdf.empty());
  ASSERT_TRUE(fs::exists(pdf));
  EXPECT_GT(PdfPages(pdf), 1);
  ASSERT_EQ(afterLocked.size(), 1u);
  EXPECT_EQ(afterLocked[0].text, frmReport::PrintFailedMessage("the file " + lockedPdf + " could not be written"));
  EXPECT_FALSE(fs::exists(lockedPdf));
  EXPECT_EQ(dialogs,
            (std::vector<richtext::PrintDialogKind>{richtext::PrintDialogKind::Print, richtext::PrintDialogKind::Print,
                                                    richtext::PrintDialogKind::PageSetup}));
  ASSERT_FALSE(offeredPaper.empty());
  for (QPageSize::PageSizeId id : offeredPaper) EXPECT_EQ(id, QPageSize::Letter);
  EXPECT_EQ(zoomAfterEnter, 50);
  EXPECT_EQ(pageAfter, pageBefore);
  EXPECT_FALSE(png.empty());
}

TEST_F(ReportsCommand, CancelledOptionsWriteNothing) {
  window->optionsOK = false;
  const auto before = fs::directory_iterator(TempDir()) == fs::directory_iterator();
  int viewers = 0;
  window->onReportViewer = [&](frmReportWindow&, frmReport&) { ++viewers; };
  window->form().cmdReport_Click();
  EXPECT_EQ(window->optionsShown, 1);
  EXPECT_EQ(viewers, 0);
  EXPECT_TRUE(before);
  EXPECT_TRUE(fs::directory_iterator(TempDir()) == fs::directory_iterator());
  EXPECT_FALSE(fs::exists(modDataIO::DataFolder() + "CAL.DAT"));
}

// Equal Unloading on the shipped data: the economics calculation of both systems, then the
// difference from their pump energy, each record read by its own system index.
TEST_F(ReportsCommand, SystemDifferenceOnTheShippedData) {
  gProject.PlantControl = 4;
  window.reset();
  window = std::make_unique<ReportsWindow>(form_);
  ASSERT_TRUE(form_.ControlsToProjectData());
  ASSERT_EQ(gProject.PlantControl, 4);
  ASSERT_TRUE(frmMain::SetupCalculationData());
  gProject.SystemDifference = -1;
  int32_t type = 1;
  ASSERT_TRUE(form_.RunCalculations(type));
  form_.CalcSystemDifference();
  PLVSummaryData summary;
  EconSummaryData econ;
  auto systems = std::make_unique<vb::Array<SystemEconData, 1, 4>>();
  ASSERT_TRUE(modDataIO::bCalcReadEconData(summary, econ, *systems));
  // The records follow first-cost order: on the shipped data the first is system 2.
  ASSERT_EQ((*systems)(1).nSysIndex, 2);
  ASSERT_EQ((*systems)(2).nSysIndex, 1);
  const double t1 = (*systems)(2).dChwPumpKWh + (*systems)(2).dCwPumpKWh;
  const double t2 = (*systems)(1).dChwPumpKWh + (*systems)(1).dCwPumpKWh;
  ASSERT_GT(t1, 0);
  EXPECT_NEAR(gProject.SystemDifference, (t2 - t1) * 100 / t1, 1e-3);
  EXPECT_NE(gProject.SystemDifference, 0.0F);
  std::printf("system difference on the shipped data: %.3f %% (T1 %.0f kWh, T2 %.0f kWh)\n", gProject.SystemDifference,
              t1, t2);
  for (const auto& m : host_.messages) ADD_FAILURE() << m.title << ": " << m.text;
}

TEST(SystemDifference, PumpEnergyOfSystemTwoAgainstSystemOne) {
  auto systems = std::make_unique<vb::Array<SystemEconData, 1, 4>>();
  auto set = [&](int slot, int16_t index, double chw, double cw) {
    (*systems)(slot).nSysIndex = index;
    (*systems)(slot).dChwPumpKWh = chw;
    (*systems)(slot).dCwPumpKWh = cw;
  };
  // Records in first-cost order: record 1 holds system 2.
  set(1, 2, 66000, 44000);
  set(2, 1, 60000, 40000);
  EXPECT_FLOAT_EQ(frmMain::SystemDifference(*systems), 10.0F);
  set(2, 1, 0, 0);
  EXPECT_FLOAT_EQ(frmMain::SystemDifference(*systems), 0.0F);
  set(1, 7, 66000, 44000);  // a bad index is skipped
  set(2, 1, 60000, 40000);
  EXPECT_FLOAT_EQ(frmMain::SystemDifference(*systems), -100.0F);
  set(1, 1, 100, 0);
  set(2, 0, 500, 0);
  EXPECT_FLOAT_EQ(frmMain::SystemDifference(*systems), -100.0F);
}

TEST(SystemDifference, DefaultCsvPathIsTheWorkingFolders) {
  EXPECT_EQ(frmMain::DefaultCsvPath("", "/w/"), "/w/CPLVSummaryResults.csv");
  EXPECT_EQ(frmMain::DefaultCsvPath("/x/y.csv", "/w/"), "/x/y.csv");
}

}  // namespace
