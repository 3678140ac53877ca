// A report saved on a full disk: the save fails and says why, the report file that was there
// stays whole and no temporary is left beside it.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "app/reports/tests/report_fixture.h"
#include "platform/savefile/tests/disk_limit.h"

namespace reporttest {
namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

using FullDisk = ReportTest;

TEST_F(FullDisk, FailedSaveKeepsTheOldReportAndTellsTheUser) {
  int32_t n = 0;
  ASSERT_TRUE(report->BeginNewReport("Full Disk", 1, n, true));
  for (int i = 0; i < 400; ++i)
    report->WriteTextLine("Line " + std::to_string(i) + " of a report larger than the disk");
  for (const char* format : {"pdf", "rtf"}) {
    SCOPED_TRACE(format);
    host.messages.clear();
    const std::string path = Working(std::string("report.") + format);
    const std::string old(268118, 'o');
    std::ofstream(path, std::ios::binary) << old;
    const auto before = WorkingFiles();
    bool saved = true;
    {
      savefile::testing::DiskOf disk(4096);
      saved = report->SaveReportAsFile(path, format);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(WorkingFiles(), before) << "a temporary is left";
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].text.find("Error saving report as file:"), std::string::npos);
    EXPECT_NE(host.messages[0].text.find(std::strerror(EFBIG)), std::string::npos) << host.messages[0].text;
    // With room again the same save replaces the file.
    ASSERT_TRUE(report->SaveReportAsFile(path, format));
    EXPECT_NE(ReadAll(path), old);
  }
}

}  // namespace
}  // namespace reporttest
