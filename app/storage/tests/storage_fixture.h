// Shared set-up of the storage tests: a fresh folder per test (ending with "/"), the
// recording message host, the data error heading, and small file helpers.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "platform/ui/ui.h"

class StorageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = std::filesystem::temp_directory_path() /
            ("kestrin_storage_" + std::to_string(getpid()) + "_" + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    dir_ = root_.string() + "/";
    modpublic::gDataIOErrorMsg = "The following error occurred while reading or writing data:";
    modDataIO::DataFolder(dir_);
  }
  void TearDown() override {
    modDataIO::DataFolder("");
    std::filesystem::remove_all(root_);
  }

  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  static void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::uintmax_t SizeOf(const std::string& path) { return std::filesystem::file_size(path); }

  // The one message shown since the last call, and clears the record.
  std::string TakeMessage() {
    EXPECT_EQ(host_.messages.size(), 1u);
    std::string text = host_.messages.empty() ? "" : host_.messages.back().text;
    host_.messages.clear();
    return text;
  }

  ui::RecordingHost host_;
  ui::ScopedHost scoped_{host_};
  std::filesystem::path root_;
  std::string dir_;
};
