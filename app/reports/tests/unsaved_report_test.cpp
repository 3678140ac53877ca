// A combined report that the working folder cannot take (a full disk, a read-only disk, a
// folder that cannot exist): one box names the folder and the reason, the report file there
// stays as it was, the document keeps the whole report for the viewer, and a save elsewhere
// writes all of it. A run that cannot build its report shows an error page, which never
// replaces the report's file.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "app/reports/tests/report_fixture.h"
#include "app/storage/modDataIO.h"
#include "libs/testsupport/read_only_folder.h"
#include "platform/savefile/tests/disk_limit.h"

namespace reporttest {
namespace {

namespace fs = std::filesystem;

constexpr const char* kReportFile = "PLVReport_for_Plant X.rtf";
constexpr int kSummaryLines = 400;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class UnsavedReport : public ReportTest {
 public:
  // A path in the test's own temporary folder, outside the working folder.
  std::string Temp(const std::string& name) const { return dir.filePath(QString::fromStdString(name)).toStdString(); }
  // Makes the working folder one that can never be made: a folder under a file.
  void WorkUnderAFile() const {
    std::ofstream(Temp("blocker")) << "a file";
    modDataIO::WorkingFolder(Temp("blocker") + "/reports/");
  }

 protected:
  void SetUp() override {
    ReportTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(WriteEmptyResults());
    modDataIO::gProject.ProjectName = "Plant X";
    ReportData r;
    r.ReportType = 2;
    r.bSummaryReport = r.bCustomPLVSpec = r.bInputSummary = -1;
    ASSERT_TRUE(modDataIO::bReportsWrite(r));
    // A report of some 30 KB: more than the full disk below has room for, where the run's
    // error page (about 1 KB) fits.
    auto& b = report->PLVSections();
    b.SummaryReport = [this] {
      for (int i = 1; i <= kSummaryLines; ++i) report->WriteTextLine("Summary line " + std::to_string(i));
      return true;
    };
    b.CustomPLVSpec = [this] { return report->WriteTextLine("Spec body"); };
    b.InputSummary = [this] { return report->WriteTextLine("Input summary body"); };
  }
  std::string DocumentText() {
    std::string all;
    for (const std::string& t : BodyTexts()) all += t + "\n";
    return all;
  }
};

struct Refusal {
  const char* name;
  int err;  // the reason the box gives
  // Makes the working folder refuse the report for the life of the returned guard; false
  // (with the reason) when this computer cannot.
  std::function<std::shared_ptr<void>(UnsavedReport&, std::string& why)> refuse;
  bool folderExists;
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

class UnsavedReportRefused : public UnsavedReport, public ::testing::WithParamInterface<Refusal> {};

TEST_P(UnsavedReportRefused, OneBoxTheOldFileStaysAndTheWholeReportIsShownAndSavedElsewhere) {
  const Refusal& c = GetParam();
  const std::string old = "{\\rtf1 the last good report " + std::string(60000, 'o') + "}";
  if (c.folderExists) std::ofstream(Working(kReportFile), std::ios::binary) << old;
  std::string why;
  {
    const std::shared_ptr<void> refused = c.refuse(*this, why);
    if (!refused) FAIL() << why;
    EXPECT_FALSE(report->PLVAnalysisReports());
  }
  // One failure, one box: the save's, naming the folder and the reason.
  ASSERT_EQ(host.messages.size(), 1u);
  const std::string& box = host.messages[0].text;
  EXPECT_NE(box.find("Error saving report as file:"), std::string::npos) << box;
  const std::string folder = fs::path(modDataIO::WorkingFolder()).parent_path().string();
  EXPECT_NE(box.find("The folder " + folder + " cannot be written to."), std::string::npos) << box;
  EXPECT_NE(box.find(std::strerror(c.err)), std::string::npos) << box;
  // The last good report stays, and nothing else is left there.
  if (c.folderExists) {
    EXPECT_EQ(ReadAll(Working(kReportFile)), old);
    EXPECT_EQ(WorkingFiles(), std::vector<std::string>{kReportFile});
  }
  // The viewer's document is the whole report, not an error page.
  const std::string shown = DocumentText();
  EXPECT_EQ(Count(shown, "Error found in this report"), 0u) << shown.substr(0, 400);
  EXPECT_NE(shown.find("Summary line " + std::to_string(kSummaryLines)), std::string::npos);
  EXPECT_NE(shown.find("Input summary body"), std::string::npos);
  EXPECT_EQ(report->SubReportsCount(), 3);
  EXPECT_EQ(report->CurrentReportID(), 1);
  EXPECT_FALSE(report->Reportinfo(1).Saved);
  // Saved elsewhere, as RTF and as PDF, it is the whole report.
  const std::string elsewhere = Temp("elsewhere");
  fs::create_directories(elsewhere);
  ASSERT_TRUE(report->SaveReportAsFile(elsewhere + "/kept.rtf", "rtf"));
  const std::string rtf = ReadAll(elsewhere + "/kept.rtf");
  EXPECT_NE(rtf.find("Summary line " + std::to_string(kSummaryLines)), std::string::npos);
  EXPECT_EQ(rtf.find("Error found in this report"), std::string::npos);
  ASSERT_TRUE(report->SaveReportAsFile(elsewhere + "/kept.pdf", "pdf"));
  const std::string pdfText = RunCommand("pdftotext '" + elsewhere + "/kept.pdf' -");
  EXPECT_NE(pdfText.find("Summary line " + std::to_string(kSummaryLines)), std::string::npos);
  EXPECT_NE(pdfText.find("Input summary body"), std::string::npos);
  EXPECT_EQ(host.messages.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Working, UnsavedReportRefused,
    ::testing::Values(
        // 8 KB left: the report does not fit, an error page would.
        Refusal{"FullDisk", EFBIG,
                [](UnsavedReport&, std::string&) { return std::make_shared<savefile::testing::DiskOf>(8192); }, true},
        Refusal{"ReadOnlyDisk", EROFS,
                [](UnsavedReport&, std::string& why) -> std::shared_ptr<void> {
                  auto ro = std::make_shared<testsupport::ReadOnlyFolder>(modDataIO::WorkingFolder());
                  why = ro->Unavailable();
                  if (!why.empty()) return nullptr;
                  return ro;
                },
                true},
        // A folder under a file can never be made, by any user.
        Refusal{"FolderUnderAFile", ENOTDIR,
                [](UnsavedReport& fixture, std::string&) -> std::shared_ptr<void> {
                  fixture.WorkUnderAFile();
                  return std::make_shared<int>(0);
                },
                false}),
    [](const ::testing::TestParamInfo<Refusal>& i) { return std::string(i.param.name); });

// A run that cannot build its report (here its input data summary fails) shows the error page;
// the report file of the last good run stays as it was.
TEST_F(UnsavedReport, ErrorPageNeverReplacesTheReportFile) {
  const std::string old = "{\\rtf1 the last good report}";
  std::ofstream(Working(kReportFile), std::ios::binary) << old;
  report->PLVSections().InputSummary = [] { return false; };
  EXPECT_FALSE(report->PLVAnalysisReports());
  EXPECT_EQ(ReadAll(Working(kReportFile)), old);
  EXPECT_EQ(WorkingFiles(), std::vector<std::string>{kReportFile});
  const std::string shown = DocumentText();
  EXPECT_NE(shown.find("Error found in this report:  PLV Analysis Combined Report"), std::string::npos);
  EXPECT_EQ(shown.find("Summary line 1\n"), std::string::npos) << "the error page stands alone";
  // The page is the viewer's report, to print or to save where the user chooses.
  EXPECT_EQ(report->ReportsCount(), 1);
  EXPECT_FALSE(report->Reportinfo(1).Saved);
  EXPECT_TRUE(host.messages.empty());
}

// The economic run meets a folder that refuses its report: one box, not three (the save's,
// the run's "could not be saved" and a second save of an error page).
TEST_F(UnsavedReport, EconomicReportThatCannotBeSavedGivesOneBox) {
  ReportData r;
  r.ReportType = 1;
  ASSERT_TRUE(modDataIO::bReportsWrite(r));
  WorkUnderAFile();
  report->ReportType(1);
  EXPECT_FALSE(report->EconomicAnalysisReports());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("Error saving report as file:"), std::string::npos);
  EXPECT_EQ(DocumentText().find("Error found in this report"), std::string::npos);
  EXPECT_EQ(report->Reportinfo(1).FileName, "EcoCombined.rtf");
}

}  // namespace
}  // namespace reporttest
