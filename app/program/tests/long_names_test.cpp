// The longest names the program takes, end to end: a project named with 255 characters, in
// one-byte and in two-byte characters, is saved under the longest file name the system takes
// and read back, and the part-load report run writes its report, named after the project, and
// the summary CSV into the working folder.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/program/tests/part_load_setup.h"
#include "app/reports/plv/tests/plv_fixture.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/text/encoding.h"
#include "libs/vb/vbcompat.h"

namespace plvtest {
namespace {

namespace fs = std::filesystem;
using modDataIO::gProject;

constexpr std::size_t kLongestFileName = 255;  // bytes

std::string Times(std::size_t n, const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) out += s;
  return out;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A report's name keeps its extension and is cut to the 255 bytes of a file name before a
// character, never inside one: 237 bytes are left for the project's name.
TEST(ReportFileName, ALongProjectNameIsCutAtACharacterBoundary) {
  const std::string ue = "\u00fc", euro = "\u20ac";
  const struct {
    std::string project;
    std::string name;  // the project's part of the file name
  } cases[] = {
      {std::string(255, 'a'), std::string(237, 'a')},
      {std::string(237, 'a'), std::string(237, 'a')},
      {Times(255, ue), Times(118, ue)},
      {"ab" + Times(253, ue), "ab" + Times(117, ue)},
      {Times(85, euro), Times(79, euro)},
      {"a" + Times(85, euro), "a" + Times(78, euro)},
      {"  " + std::string(240, 'b') + "  ", std::string(237, 'b')},
  };
  for (const auto& c : cases) {
    const std::string file = clsReport::PLVReportFileName(c.project);
    EXPECT_EQ(file, "PLVReport_for_" + c.name + ".rtf") << c.project;
    EXPECT_LE(file.size(), kLongestFileName);
    EXPECT_TRUE(text::IsUtf8(file)) << file;
  }
}

class LongNames : public PLVTableTest {
 protected:
  void TearDown() override {
    modpublic::gAppPath.clear();
    PLVTableTest::TearDown();
  }
};

TEST_F(LongNames, AProjectNamedWith255CharactersIsSavedAndReported) {
  modpublic::gAppPath = std::string(KESTRIN_PROGRAM_DIR) + "/";
  ASSERT_TRUE(modpublic::InitGlobalSettings(modpublic::gAppPath));
  const struct {
    const char* what;
    std::string name;      // 255 characters
    std::string fileName;  // the longest project file name of those characters
  } cases[] = {
      {"one-byte characters", std::string(255, 'P'), std::string(251, 'P') + ".vxn"},
      {"two-byte characters", Times(255, "\u00fc"), Times(125, "\u00fc") + ".vxn"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(text::Utf8Length(c.name), 255u);
    ASSERT_GE(c.fileName.size(), kLongestFileName - 1);
    for (const auto& e : fs::directory_iterator(working)) fs::remove_all(e.path());
    host.messages.clear();

    gProject.ProjectName = c.name;
    const std::string projectFile = Working(c.fileName);
    ASSERT_TRUE(modDataIO::SaveProject(projectFile, gProject)) << host.messages.at(0).text;
    ProjectData back;
    ASSERT_TRUE(modDataIO::LoadProject(projectFile, back)) << host.messages.at(0).text;
    EXPECT_EQ(back.ProjectName, c.name);

    ASSERT_NO_FATAL_FAILURE(programtest::SetUpPartLoadReport(host, [](ReportData& r) {
      programtest::TableSectionsOnly(r);
      r.bCustomPLVFactors = r.bCustomPLVSpec = vb::kFalse;
    }));
    ASSERT_NO_FATAL_FAILURE(programtest::RunPartLoadTables(*report));
    EXPECT_TRUE(report->Reportinfo(1).Saved);
    EXPECT_TRUE(host.messages.empty()) << host.messages.at(0).title << ": " << host.messages.at(0).text;
    const std::string reportFile = clsReport::PLVReportFileName(c.name);
    EXPECT_EQ(report->Reportinfo(1).FileName, reportFile);
    EXPECT_GT(fs::file_size(Working(reportFile)), 1000u);

    const std::string csv = Working("CPLVSummaryResults.csv");
    ASSERT_TRUE(modDataIO::ExportCSV(csv, gProject, gProject.WeightingFactor, gProject.ECWT));
    EXPECT_NE(ReadAll(csv).find("Project Name:,\"" + c.name + "\""), std::string::npos);

    std::vector<std::string> files = WorkingFiles();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"CPLVSummaryResults.csv", reportFile, c.fileName}));
  }
}

}  // namespace
}  // namespace plvtest
