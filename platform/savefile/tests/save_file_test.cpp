// Saving a whole file: the old file stays whole and no temporary is left when a write fails.
#include "platform/savefile/save_file.h"
#include "platform/savefile/tests/disk_limit.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;
using savefile::testing::DiskOf;

namespace {

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteRaw(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

class SaveWholeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("savefile-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  fs::path dir_;
};

TEST_F(SaveWholeTest, FullDiskKeepsTheOldFileWholeAndRemovesTheTemporary) {
  const fs::path report = dir_ / "report.pdf";
  const std::string old(268118, 'o');
  WriteRaw(report, old);
  const std::string next(300000, 'n');
  std::string error;
  bool saved = true;
  {
    DiskOf disk(4096);
    saved = savefile::SaveWhole(report.string(), next, &error);
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadAll(report), old);
  EXPECT_EQ(FilesInFolder(), 1u) << "the temporary is left";
  EXPECT_NE(error.find("report.pdf"), std::string::npos) << error;
  EXPECT_NE(error.find(std::strerror(EFBIG)), std::string::npos) << error;
}

TEST_F(SaveWholeTest, RefusesWhereNoFileCanBeWritten) {
  fs::create_directory(dir_ / "folder");
  const struct {
    const char* name;
    fs::path path;
  } cases[] = {
      {"missing folder", dir_ / "missing" / "a.rtf"},
      {"a folder at the path", dir_ / "folder"},
      {"no name", fs::path()},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(savefile::SaveWhole(c.path.string(), "text", &error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
    EXPECT_TRUE(fs::is_directory(dir_ / "folder")) << c.name;
  }
  EXPECT_EQ(FilesInFolder(), 1u);
}

TEST_F(SaveWholeTest, ReplacesTheFileThroughALinkAndKeepsItsPermissions) {
  const fs::path real = dir_ / "real.csv";
  WriteRaw(real, "old");
  ::chmod(real.c_str(), 0640);
  fs::create_symlink(real, dir_ / "link.csv");
  ASSERT_TRUE(savefile::SaveWhole((dir_ / "link.csv").string(), "new contents"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.csv"));
  EXPECT_EQ(ReadAll(real), "new contents");
  struct stat st {};
  ::stat(real.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(FilesInFolder(), 2u);
}

}  // namespace
