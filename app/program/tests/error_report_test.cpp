// The error report: ERR.DAT lines into a one-section document, its name and title by report
// type, and the whole road headless: a project whose records carry input errors, the
// progress window's controller, ERR.DAT, the error report, saved as PDF and RTF.
#include <filesystem>
#include <fstream>

#include "kestrin_version.h"
#include "app/calc/frmWait.h"
#include "app/program/frmMain.h"
#include "app/reports/tests/report_fixture.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace reporttest {
namespace {

namespace fs = std::filesystem;
using namespace richtext;

// Runs of blanks and tabs as one blank: text extracted from a PDF keeps words, not spacing.
std::string Squeeze(const std::string& s) {
  std::string out;
  for (char c : s) {
    const bool blank = c == ' ' || c == '\t';
    if (blank && (out.empty() || out.back() == ' ' || out.back() == '\n')) continue;
    out += blank ? ' ' : c;
  }
  return out;
}

using ErrorReport = ReportTest;

TEST_F(ErrorReport, LinesTrimmedOfSpacesKeepTheirTabAndBlankLinesGo) {
  WriteErrDat({"Errors in Input Data for System:  [Plant A]", "\tError 101: Chiller does not exist.", "", "     ",
               "  \tNone  ", "Note - For more information on these errors:"});
  report->ReportType(2);
  ASSERT_TRUE(report->RptErrors());
  const auto texts = BodyTexts();
  ASSERT_GE(texts.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 5),
            (std::vector<std::string>{"", "Errors in Input Data for System:  [Plant A]",
                                      "\tError 101: Chiller does not exist.", "\tNone",
                                      "Note - For more information on these errors:"}));
  for (size_t i = 5; i < texts.size(); ++i) EXPECT_EQ(texts[i], "") << i;
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ErrorReport, OnlyBlankLinesStillMakeAReport) {
  WriteErrDat({"", "   ", ""});
  report->ReportType(2);
  EXPECT_TRUE(report->RptErrors());
  for (const auto& t : BodyTexts()) EXPECT_EQ(t, "");
  EXPECT_TRUE(fs::exists(Working("PLVErr.rtf")));
}

struct TypeCase {
  int16_t type;
  const char* file;
  const char* title;
};

class ErrorReportType : public ReportTest, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(ErrorReportType, NameTitlePortraitHeaderAndFooter) {
  const TypeCase& c = GetParam();
  modDataIO::gProject.ProjectName = "Plant {A}";
  modDataIO::gSettings.UserName = "J. Engineer";
  WriteErrDat({"Errors in Calculation for System: [Plant A]", "\tNone"});
  report->ReportType(c.type);
  ASSERT_TRUE(report->RptErrors());
  EXPECT_EQ(report->ReportsCount(), 1);
  EXPECT_EQ(report->CurrentReportID(), 1);
  EXPECT_EQ(report->Reportinfo(1).FileName, c.file);
  EXPECT_EQ(report->Reportinfo(1).Title, c.title);
  EXPECT_TRUE(report->Reportinfo(1).Saved);
  EXPECT_EQ(report->ReportFileName(), Working(c.file));
  EXPECT_TRUE(fs::exists(Working(c.file)));
  ASSERT_EQ(doc().sections.size(), 1u);
  EXPECT_EQ(doc().sections[0].fmt.orientation, Orientation::Portrait);
  const std::string header = HdrFtrText(0, false);
  EXPECT_EQ(header.substr(0, header.find("|Project:")), c.title);
  EXPECT_NE(header.find("|Project:  Plant {A}\t"), std::string::npos) << header;
  EXPECT_NE(header.find("|Prepared By:  J. Engineer\t"), std::string::npos) << header;
  EXPECT_EQ(HdrFtrText(0, true), std::string("Kestrin v") + kestrin::kVersionText + "\tPage  #");
  EXPECT_TRUE(ed().readOnly);
}

INSTANTIATE_TEST_SUITE_P(Types, ErrorReportType,
                         ::testing::Values(TypeCase{1, "EconErr.rtf", "Economic Analysis Error Report"},
                                           TypeCase{2, "PLVErr.rtf", "PLV Analysis Error Report"}));

TEST_F(ErrorReport, EmptyOrMissingFileGivesNoReport) {
  WriteErrDat({});
  report->ReportType(2);
  EXPECT_FALSE(report->RptErrors());
  EXPECT_TRUE(host.messages.empty()) << "an empty file is no error";
  EXPECT_EQ(report->ReportsCount(), 0);
  fs::remove(scratch + "ERR.DAT");
  EXPECT_FALSE(report->RptErrors());
  EXPECT_EQ(host.messages.size(), 1u) << "the reader's box";
  EXPECT_TRUE(WorkingFiles().empty());
}

// The save inside the wrap-up fails: the report stays in the document, unsaved, and the
// result says so.
TEST_F(ErrorReport, FailedSaveIsReportedAndLeavesTheEntryUnsaved) {
  WriteErrDat({"\tError 101: Chiller does not exist."});
  modDataIO::gSettings.WorkingFolder = working + "missing/folder/";
  report->ReportType(2);
  EXPECT_FALSE(report->RptErrors());
  EXPECT_FALSE(report->Reportinfo(1).Saved);
  ASSERT_FALSE(host.messages.empty());
  EXPECT_EQ(host.messages[0].title, "clsReport.SaveReportAsFile()");
  EXPECT_NE(host.messages[0].text.find("Error saving report as file:\r\n\r\n"), std::string::npos);
  EXPECT_NE(host.messages[0].text.find("PLVErr.rtf"), std::string::npos);
  EXPECT_NE(std::find(BodyTexts().begin(), BodyTexts().end(), "\tError 101: Chiller does not exist."),
            BodyTexts().end());
}

// The road of a project with input errors, without any window.
TEST_F(ErrorReport, ProjectWithInputErrorsEndsInTheSavedErrorReport) {
  modpublic::gAppPath = std::string(KESTRIN_PROGRAM_DIR) + "/";
  ASSERT_TRUE(modpublic::InitGlobalSettings(modpublic::gAppPath));
  modDataIO::gProject.ProjectName = "Error Plant";
  ASSERT_TRUE(frmMain::PrepareDataFiles());
  ASSERT_TRUE(frmMain::SetupCalculationData());
  // The chiller's design leaving water no longer matches the system's.
  ChillerData ch;
  ASSERT_TRUE(modDataIO::bChillerRead(1, ch));
  ch.fDesignLCHWT += 2;
  ASSERT_TRUE(modDataIO::bChillerWrite(1, ch));

  report->ReportType(2);
  frmWait form;
  form.ReportClass(report.get());
  form.DoCalcs(true);
  form.Form_Activate();
  ASSERT_TRUE(form.CalcsOK());
  ASSERT_TRUE(form.InputErrors());
  ASSERT_FALSE(form.UserCanceled());
  EXPECT_EQ(report->ReportsCount(), 0) << "no analysis reports after input errors";

  ASSERT_TRUE(report->RptErrors());
  EXPECT_TRUE(host.messages.empty()) << host.messages[0].text;
  const std::string pdf = Working("PLVErr.pdf");
  const std::string rtf = Working("PLVErr-copy.rtf");
  ASSERT_TRUE(report->SaveReportAsFile(pdf, "pdf"));
  ASSERT_TRUE(report->SaveReportAsFile(rtf, "rtf"));
  Keep(pdf);
  Keep(rtf);

  std::vector<std::string> errLines;
  int32_t count = 0;
  ASSERT_TRUE(modDataIO::bErrorRead(errLines, count));
  const std::string text = Squeeze(RunCommand("pdftotext -layout '" + pdf + "' -"));
  int shown = 0;
  for (int32_t i = 0; i < count; ++i) {
    const std::string words = Squeeze(errLines[static_cast<size_t>(i)]);
    if (words.empty()) continue;
    EXPECT_NE(text.find(words), std::string::npos) << words;
    ++shown;
  }
  EXPECT_GT(shown, 3);
  EXPECT_NE(text.find("Error 102: Chiller and system have different full load LCHWT values."), std::string::npos);
  EXPECT_NE(text.find("PLV Analysis Error Report"), std::string::npos);
  EXPECT_NE(text.find("Project: Error Plant"), std::string::npos);
  EXPECT_NE(text.find(std::string("Kestrin v") + kestrin::kVersionText), std::string::npos);

  // The RTF opens in LibreOffice where it is installed: it converts to a PDF with the lines.
  if (RunCommand("command -v soffice").empty()) GTEST_SKIP() << "LibreOffice is not installed";
  const std::string out = working + "lo/";
  fs::create_directories(out);
  RunCommand("HOME='" + working + "' soffice --headless --convert-to pdf --outdir '" + out + "' '" + rtf +
             "' >/dev/null 2>&1");
  const std::string loPdf = out + "PLVErr-copy.pdf";
  ASSERT_TRUE(fs::exists(loPdf));
  const std::string loText = Squeeze(RunCommand("pdftotext -layout '" + loPdf + "' -"));
  EXPECT_NE(loText.find("Error 102: Chiller and system have different full load LCHWT values."), std::string::npos);
  EXPECT_NE(loText.find("PLV Analysis Error Report"), std::string::npos);
}

}  // namespace
}  // namespace reporttest
