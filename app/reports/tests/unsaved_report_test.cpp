// A combined report that the working folder cannot take (a full disk, a read-only disk, a
// folder that cannot exist, the program folder): one box names the folder and the reason, the
// report file there stays as it was, the document keeps the whole report for the viewer (page
// for page the report a saved run shows), and a save elsewhere writes all of it. A run that cannot build its report
// shows an error page, which never replaces the report's file.
#include <QImage>
#include <QPainter>
#include <sys/mount.h>

#include <cerrno>
#include <ctime>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "app/reports/tests/full_disk_folder.h"
#include "app/reports/tests/report_fixture.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/testsupport/read_only_folder.h"
#include "platform/graph/graph.h"
#include "platform/richtext/layout.h"
#include "platform/savefile/tests/disk_limit.h"

namespace reporttest {
namespace {

namespace fs = std::filesystem;

constexpr const char* kReportFile = "PLVReport_for_Plant X.rtf";
constexpr int kSummaryLines = 400;

std::string ReadAll(const fs::path& path) {
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

// The working folder as the program folder, while the object lives.
class WorkingInProgramFolder {
 public:
  WorkingInProgramFolder() : old_(modpublic::gAppPath) { modpublic::gAppPath = modDataIO::WorkingFolder(); }
  ~WorkingInProgramFolder() { modpublic::gAppPath = old_; }
  WorkingInProgramFolder(const WorkingInProgramFolder&) = delete;
  WorkingInProgramFolder& operator=(const WorkingInProgramFolder&) = delete;

 private:
  std::string old_;
};

struct Refusal {
  const char* name;
  int err;  // the reason the box gives, as the system words it; 0: `reason` instead
  const char* reason;
  // What the box says keeps the report from the folder: before and after the folder's name.
  const char* problemBefore;
  const char* problemAfter;
  // Where the box sends the report (nullptr: not checked here): on a full disk another disk,
  // as any name there fails.
  const char* advice;
  // Makes the working folder refuse the report for the life of the returned guard; false
  // (with the reason) when this computer cannot.
  std::function<std::shared_ptr<void>(UnsavedReport&, std::string& why)> refuse;
  bool folderExists;
};

template <class Guard>
std::shared_ptr<void> Made(std::shared_ptr<Guard> guard, std::string& why) {
  why = guard->Unavailable();
  if (!why.empty()) return nullptr;
  return guard;
}

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
  EXPECT_NE(box.find(c.problemBefore + folder + c.problemAfter), std::string::npos) << box;
  if (c.advice != nullptr) {
    EXPECT_NE(box.find(c.advice), std::string::npos) << box;
  }
  EXPECT_NE(box.find(c.err != 0 ? std::strerror(c.err) : c.reason), std::string::npos) << box;
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
        // A disk that is full.
        Refusal{"DiskFull", ENOSPC, "", "The disk of the folder ", " is full.",
                "or save the report on another disk from the viewer with Save as RTF or Save as PDF.",
                [](UnsavedReport&, std::string& why) {
                  return Made(std::make_shared<FullDiskFolder>(modDataIO::WorkingFolder()), why);
                },
                true},
        // 8 KB left for the file: the report does not fit, an error page would.
        Refusal{"NoRoomForTheFile", EFBIG, "", "The disk of the folder ", " has no room for a file this large.",
                "or save the report on another disk from the viewer with Save as RTF or Save as PDF.",
                [](UnsavedReport&, std::string&) { return std::make_shared<savefile::testing::DiskOf>(8192); }, true},
        Refusal{"ReadOnlyDisk", EROFS, "", "The folder ", " cannot be written to.", nullptr,
                [](UnsavedReport&, std::string& why) {
                  return Made(std::make_shared<testsupport::ReadOnlyFolder>(modDataIO::WorkingFolder()), why);
                },
                true},
        // A folder under a file can never be made, by any user.
        Refusal{"FolderUnderAFile", ENOTDIR, "", "The folder ", " cannot be written to.", nullptr,
                [](UnsavedReport& fixture, std::string&) -> std::shared_ptr<void> {
                  fixture.WorkUnderAFile();
                  return std::make_shared<int>(0);
                },
                false},
        Refusal{"ProgramFolder", 0, "it is in the program folder", "The folder ", " is in the program folder ", nullptr,
                [](UnsavedReport&, std::string&) { return std::make_shared<WorkingInProgramFolder>(); }, true}),
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

// Each page of a document as it is painted, at 72 dots per inch.
std::vector<QImage> PageImages(const richtext::Document& document) {
  std::vector<QImage> pages;
  for (const richtext::PageLayout& page : richtext::Paginate(document).pages) {
    QImage image(page.width / 20, page.height / 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(1.0 / 20, 1.0 / 20);
    richtext::PaintPage(painter, page);
    painter.end();
    pages.push_back(std::move(image));
  }
  return pages;
}

// The report kept after the working folder refused it is the report a saved run shows (read
// back from its file), page for page: its footers with the logo, its graphs and tables.
TEST_F(UnsavedReport, AKeptReportHasTheSavedReportsPages) {
  ReportData options;
  ASSERT_TRUE(modDataIO::bReportsRead(options));
  options.bShowLogo = -1;  // the footers hold the logo
  ASSERT_TRUE(modDataIO::bReportsWrite(options));
  report->PLVSections().CustomPLVSpec = [this] {
    graph::Chart* g = nullptr;
    if (!report->InitGraph(g, 2)) return false;
    g->title = "Spec graph";
    for (int i = 0; i < 12; ++i) g->SetPoint(0, i, i, 10.0 + 7 * (i % 5));
    report->PasteFullWidthGraph(*g);
    return report->WriteTextLine("Spec body");
  };
  const std::string working = modDataIO::WorkingFolder();
  std::vector<QImage> saved, kept;
  // The pages' headers show the minute of the run: both runs are made within one.
  for (int tries = 0; tries < 3; ++tries) {
    modDataIO::WorkingFolder(working);
    const std::time_t minute = std::time(nullptr) / 60;
    ASSERT_TRUE(report->PLVAnalysisReports());
    saved = PageImages(doc());
    ASSERT_TRUE(report->SaveReportAsFile(Temp("saved.pdf"), "pdf"));
    WorkUnderAFile();
    EXPECT_FALSE(report->PLVAnalysisReports());
    ASSERT_TRUE(report->ReportUnsaved());
    kept = PageImages(doc());
    ASSERT_TRUE(report->SaveReportAsFile(Temp("kept.pdf"), "pdf"));
    if (std::time(nullptr) / 60 == minute) break;
  }
  Keep(Temp("saved.pdf"));
  Keep(Temp("kept.pdf"));
  ASSERT_GT(saved.size(), 3u);
  ASSERT_EQ(kept.size(), saved.size());
  for (size_t i = 0; i < saved.size(); ++i) EXPECT_TRUE(kept[i] == saved[i]) << "page " << i + 1;
  EXPECT_EQ(fs::file_size(Temp("kept.pdf")), fs::file_size(Temp("saved.pdf")));
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
