// The viewer's Save as RTF and Save as PDF with the name the user typed: a bare name gets the
// extension of the type it is saved as, and a file under the completed name is asked about; an
// error page is offered under a name of its own.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <tuple>
#include <type_traits>

#include <QCryptographicHash>
#include <QFile>

#include "app/reports/frmReport.h"
#include "app/reports/tests/full_disk_folder.h"
#include "app/reports/tests/report_fixture.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/testsupport/read_only_folder.h"
#include "platform/savefile/tests/disk_limit.h"

namespace reporttest {
namespace {

namespace fs = std::filesystem;

// The viewer's window as the save sees it, but for Print and the saves: the dialog answers
// with the typed names in turn (then Cancel) and a filter. A view that leaves Print and the
// saves out cannot be made, so no view can forget to disable them.
class ViewWithoutReportCommands : public frmReport::View {
 public:
  richtext::TerHwnd toc = richtext::TerCreateWindow();
  std::vector<std::string> typed;
  int filter = 1;
  size_t dialogs = 0;  // how often the save dialog was shown
  ~ViewWithoutReportCommands() override { richtext::TerDestroyWindow(toc); }
  void Caption(const std::string&) override {}
  void NavButton(int, const std::string&, bool) override {}
  void FocusNavButton(int) override {}
  void ExitEnabled(bool) override {}
  std::string ZoomText() const override { return "100"; }
  void ZoomText(const std::string&) override {}
  richtext::TerHwnd Toc1() const override { return toc; }
  void TocCommand(int) override {}
  void FocusToc() override {}
  void ShowWait(frmWait&) override {}
  std::string proposed;  // the name the last dialog proposed
  std::string ShowSaveDialog(const std::string&, const std::vector<std::string>&, int& filterIndex,
                             const std::string& fileName) override {
    proposed = fileName;
    filterIndex = filter;
    const size_t i = dialogs++;
    return i < typed.size() ? typed[i] : std::string();
  }
  void HideWindow() override {}
  void ShowHelp(long) override {}
};
static_assert(std::is_abstract_v<ViewWithoutReportCommands>, "a view must say whether Print and the saves are offered");

class SaveDialogView : public ViewWithoutReportCommands {
 public:
  void ReportCommandsEnabled(bool) override {}
};

class ViewerSave : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    view = std::make_unique<SaveDialogView>();
    form = std::make_unique<frmReport>();
    form->SetView(view.get());
    clsReport& r = form->Report();
    r.CurrentReportID(r.AddReportInfo("PLVReport_for_Walk.rtf", "Custom PLV Reports", 1, false));
    r.WriteTextLine("The report to save");
  }
  void TearDown() override {
    form.reset();
    view.reset();
    ReportTest::TearDown();
  }
  // The save dialog shown once from the button of the type of `filter` (1 RTF, 2 PDF), answered
  // with `typed` and that filter.
  void SaveThroughDialog(const std::string& typed, int filter) {
    view->typed = {typed};
    view->filter = filter;
    view->dialogs = 0;
    if (filter == 1)
      form->cmdSaveAsRTF_Click();
    else
      form->cmdSaveAsPDF_Click();
  }
  std::vector<std::string> FilesIn(const std::string& folder) const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  std::unique_ptr<SaveDialogView> view;
  std::unique_ptr<frmReport> form;
};

TEST_F(ViewerSave, ATypedNameGetsTheExtensionOfTheTypeItIsSavedAs) {
  const struct {
    const char* button;  // "rtf": Save as RTF, "pdf": Save as PDF
    const char* typed;
    int filter;  // 1 RTF, 2 PDF, 3 All Files
    const char* saved;
    const char* start;  // of the file written
  } cases[] = {
      {"rtf", "walk", 1, "walk.rtf", "{\\rtf"},     {"pdf", "walk", 2, "walk.pdf", "%PDF"},
      {"rtf", "walk", 3, "walk.pdf", "%PDF"},       {"pdf", "walk", 1, "walk.rtf", "{\\rtf"},
      {"rtf", "walk.RTF", 1, "walk.RTF", "{\\rtf"}, {"rtf", "walk.pdf", 1, "walk.pdf", "%PDF"},
      {"pdf", "walk.v2", 2, "walk.v2.pdf", "%PDF"}, {"rtf", "my walk.draft", 1, "my walk.draft.rtf", "{\\rtf"},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + " filter " + std::to_string(c.filter));
    const std::string folder = Working("case" + std::to_string(++n));
    fs::create_directories(folder);
    view->typed = {folder + "/" + c.typed};
    view->dialogs = 0;
    view->filter = c.filter;
    if (std::string(c.button) == "rtf")
      form->cmdSaveAsRTF_Click();
    else
      form->cmdSaveAsPDF_Click();
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{c.saved});
    EXPECT_EQ(Head(folder + "/" + c.saved, 5).substr(0, std::string(c.start).size()), c.start);
  }
  EXPECT_TRUE(host.messages.empty());
}

// The dialog asked about "walk"; "walk.pdf", which the save would replace, is asked about.
TEST_F(ViewerSave, AFileUnderTheCompletedNameIsAskedAbout) {
  const std::string existing = Working("walk.pdf");
  std::ofstream(existing) << "kept";
  view->typed = {Working("walk")};
  view->filter = 2;
  host.answers = {ui::kNo};
  form->cmdSaveAsPDF_Click();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, existing + " already exists. Do you want to replace it?");
  EXPECT_EQ(Head(existing, 10), "kept");
  EXPECT_FALSE(fs::exists(Working("walk")));
  host.answers = {ui::kYes};
  view->dialogs = 0;
  form->cmdSaveAsPDF_Click();
  EXPECT_EQ(Head(existing, 4), "%PDF");
  EXPECT_FALSE(fs::exists(Working("walk")));
}

// The program folder holds the program's own files: a save into it, under a shipped file's
// name or a new one, directly or through a link, writes nothing there, says why naming the
// file, and shows the dialog again.
TEST_F(ViewerSave, TheProgramFolderIsRefusedAndAnotherPlaceAskedFor) {
  const fs::path program = fs::path(Working("program"));
  fs::create_directories(program);
  std::ofstream(program / "ECO.DAT", std::ios::binary) << "shipped data";
  std::ofstream(program / "Guide.pdf", std::ios::binary) << "%PDF shipped guide";
  fs::create_directory_symlink(program, Working("linked folder"));
  fs::create_symlink(program / "Guide.pdf", Working("guide link.pdf"));
  const std::string savedAppPath = modpublic::gAppPath;
  modpublic::gAppPath = program.string() + "/";
  // Each file of the folder with the SHA-256 of its bytes.
  const auto listing = [&] {
    std::map<std::string, QByteArray> files;
    for (const auto& e : fs::directory_iterator(program)) {
      QFile f(QString::fromStdString(e.path().string()));
      EXPECT_TRUE(f.open(QIODevice::ReadOnly));
      files[e.path().filename().string()] = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    }
    return files;
  };
  const auto before = listing();
  const struct {
    const char* typed;
    int filter;
    std::string written;  // the file the save would write
  } cases[] = {
      {"program/Guide.pdf", 2, (program / "Guide.pdf").string()},
      {"program/ECO.DAT", 1, (program / "ECO.DAT.rtf").string()},
      {"program/new report", 2, (program / "new report.pdf").string()},
      {"linked folder/new report.rtf", 1, Working("linked folder/new report.rtf")},
      {"guide link.pdf", 2, Working("guide link.pdf")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    host.messages.clear();
    SaveThroughDialog(Working(c.typed), c.filter);
    EXPECT_EQ(view->dialogs, 2u) << "the dialog is shown again";
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(
        host.messages[0].text.rfind(
            c.written + " is in the program folder " + program.string() + ", which holds the program's own files.", 0),
        0u)
        << host.messages[0].text;
    EXPECT_NE(host.messages[0].text.find("another folder"), std::string::npos) << host.messages[0].text;
    EXPECT_EQ(listing(), before);
  }
  EXPECT_EQ(Head(Working("guide link.pdf"), 100), "%PDF shipped guide");
  modpublic::gAppPath = savedAppPath;
}

// The program folder mounted a second time is the program folder under another name: a PDF
// or RTF saved through that mount is refused in the same words and the dialog shown again;
// the folder's files stay as they were.
TEST_F(ViewerSave, ASecondMountOfTheProgramFolderIsRefused) {
  const fs::path program = fs::path(Working("program"));
  fs::create_directories(program);
  std::ofstream(program / "Guide.pdf", std::ios::binary) << "%PDF shipped guide";
  const fs::path at = fs::path(Working("mounted"));
  fs::create_directories(at);
  const std::string savedAppPath = modpublic::gAppPath;
  modpublic::gAppPath = program.string() + "/";
  KESTRIN_REQUIRE_BOUND_FOLDER();
  const std::string seen = testsupport::InBoundFolder(program.string(), at.string(), [&] {
    std::string faults;
    for (const int filter : {2, 1}) {
      host.messages.clear();
      SaveThroughDialog((at / (filter == 1 ? "new report" : "Guide.pdf")).string(), filter);
      const std::string written = (at / (filter == 1 ? "new report.rtf" : "Guide.pdf")).string();
      const std::string refusal =
          written + " is in the program folder " + program.string() + ", which holds the program's own files.";
      if (view->dialogs != 2u) faults += "the dialog was not shown again; ";
      if (host.messages.size() != 1 || host.messages[0].text.rfind(refusal, 0) != 0)
        faults += "not the refusal for " + written + ": " + (host.messages.empty() ? "" : host.messages[0].text) + "; ";
    }
    return faults;
  });
  modpublic::gAppPath = savedAppPath;
  EXPECT_EQ(seen, "");
  EXPECT_EQ(Head((program / "Guide.pdf").string(), 100), "%PDF shipped guide");
  EXPECT_EQ(std::distance(fs::directory_iterator(program), fs::directory_iterator()), 1);
}

// The replace question is about the file the save writes: "CHL.DAT" saved as RTF writes
// CHL.DAT.rtf, so an existing CHL.DAT is not asked about, and an existing CHL.DAT.rtf is.
TEST_F(ViewerSave, TheReplaceQuestionNamesTheFileWritten) {
  const struct {
    const char* typed;
    std::vector<std::string> existing;
    const char* asked;  // the file asked about, "" none
  } cases[] = {
      {"CHL.DAT", {"CHL.DAT"}, ""},
      {"CHL.DAT", {"CHL.DAT", "CHL.DAT.rtf"}, "CHL.DAT.rtf"},
      {"walk.rtf", {"walk.rtf"}, "walk.rtf"},
      {"walk.RTF", {}, ""},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed + std::string(" with ") + std::to_string(c.existing.size()) + " files");
    const std::string folder = Working("case" + std::to_string(++n)) + "/";
    fs::create_directories(folder);
    for (const auto& e : c.existing) std::ofstream(folder + e) << "kept";
    host.messages.clear();
    host.answers = {ui::kNo};
    view->typed = {folder + c.typed};
    view->dialogs = 0;
    form->cmdSaveAsRTF_Click();
    const std::string asked = c.asked;
    if (asked.empty()) {
      EXPECT_TRUE(host.messages.empty()) << host.messages[0].text;
      EXPECT_EQ(FilesIn(folder).size(), c.existing.size() + 1) << "saved";
    } else {
      ASSERT_EQ(host.messages.size(), 1u);
      EXPECT_EQ(host.messages[0].text, folder + asked + " already exists. Do you want to replace it?");
      EXPECT_EQ(FilesIn(folder).size(), c.existing.size()) << "No: nothing saved";
    }
    for (const auto& e : c.existing) EXPECT_EQ(Head(folder + e, 10), "kept") << e;
  }
}

// A save that fails names what failed and says what to do from where the user is: another
// folder or another name (not the viewer's Save buttons, which they just pressed).
TEST_F(ViewerSave, AFailedSaveNamesTheFileAndAdvisesAnotherFolderOrName) {
  std::ofstream(Working("blocker")) << "a file, not a folder";
  for (const int filter : {1, 2}) {
    SCOPED_TRACE(filter);
    host.messages.clear();
    const std::string target = Working(filter == 1 ? "blocker/walk.rtf" : "blocker/walk.pdf");
    SaveThroughDialog(target, filter);
    ASSERT_EQ(host.messages.size(), 1u);
    const std::string& box = host.messages[0].text;
    EXPECT_EQ(box.rfind("The report was not saved: ", 0), 0u) << box;
    EXPECT_NE(box.find(target), std::string::npos) << box;
    EXPECT_NE(box.find("Save it in another folder or under another name."), std::string::npos) << box;
    EXPECT_EQ(box.find("Save as"), std::string::npos) << box;
    EXPECT_EQ(box.find("viewer"), std::string::npos) << box;
    EXPECT_EQ(view->dialogs, 1u);
  }
}

// A save that fails on a full disk fails under every name there: the box says so and advises
// room on that disk or another disk, not another name. The file there stays as it was.
TEST_F(ViewerSave, AFailedSaveOnAFullDiskAdvisesAnotherDisk) {
  const std::string folder = Working("full");
  fs::create_directories(folder);
  const struct {
    const char* name;
    int err;  // the system's reason, as the box gives it
    std::function<std::shared_ptr<void>(std::string& why)> fill;
  } cases[] = {
      {"no room left", ENOSPC,
       [&folder](std::string& why) -> std::shared_ptr<void> {
         auto full = std::make_shared<FullDiskFolder>(folder);
         why = full->Unavailable();
         return full;
       }},
      {"no room for a file this large", EFBIG,
       [](std::string&) { return std::make_shared<savefile::testing::DiskOf>(4096); }},
  };
  for (const auto& c : cases) {
    for (const int filter : {1, 2}) {
      SCOPED_TRACE(std::string(c.name) + (filter == 1 ? " rtf" : " pdf"));
      // A report larger than the room left.
      for (int i = 0; i < 300; ++i) form->Report().WriteTextLine("A line of a report larger than the disk");
      host.messages.clear();
      const std::string target = folder + (filter == 1 ? "/walk.rtf" : "/walk.pdf");
      {
        std::string why;
        const std::shared_ptr<void> full = c.fill(why);
        if (!why.empty()) FAIL() << why;
        SaveThroughDialog(target, filter);
      }
      ASSERT_EQ(host.messages.size(), 1u);
      const std::string& box = host.messages[0].text;
      EXPECT_EQ(box.rfind("The report was not saved: ", 0), 0u) << box;
      EXPECT_NE(box.find(target), std::string::npos) << box;
      EXPECT_NE(box.find(std::strerror(c.err)), std::string::npos) << box;
      EXPECT_NE(box.find("make room there, or save it in a folder on another disk."), std::string::npos) << box;
      EXPECT_EQ(box.find("another name"), std::string::npos) << box;
      EXPECT_FALSE(fs::exists(target));
    }
  }
}

// After a run that could not build its report, the viewer shows the error page: the saves
// propose a name of the page's own, so that accepting it never replaces the report's files.
TEST_F(ViewerSave, AnErrorPageIsNeverOfferedTheReportsName) {
  ASSERT_NO_FATAL_FAILURE(WriteEmptyResults());
  modDataIO::gProject.ProjectName = "Plant X";
  ReportData options;
  options.ReportType = 2;
  options.bInputSummary = -1;
  ASSERT_TRUE(modDataIO::bReportsWrite(options));
  clsReport& r = form->Report();
  r.PLVSections().InputSummary = [] { return false; };
  const std::string good = "the last good report";
  for (const char* ext : {".rtf", ".pdf"}) std::ofstream(Working(std::string("PLVReport_for_Plant X") + ext)) << good;
  ASSERT_FALSE(r.PLVAnalysisReports());
  for (const auto& [button, ext, start] : {std::tuple{&frmReport::cmdSaveAsRTF_Click, ".rtf", "{\\rtf"},
                                           {&frmReport::cmdSaveAsPDF_Click, ".pdf", "%PDF"}}) {
    SCOPED_TRACE(ext);
    view->typed = {};
    view->dialogs = 0;
    view->filter = ext == std::string(".rtf") ? 1 : 2;
    (form.get()->*button)();
    const std::string offered = Working(std::string("Error_PLVReport_for_Plant X") + ext);
    EXPECT_EQ(view->proposed, offered);
    // Accepted, the page is written under that name.
    view->typed = {view->proposed};
    view->dialogs = 0;
    (form.get()->*button)();
    EXPECT_EQ(Head(offered, std::string(start).size()), start);
    EXPECT_EQ(Head(Working(std::string("PLVReport_for_Plant X") + ext), 100), good);
  }
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace reporttest
