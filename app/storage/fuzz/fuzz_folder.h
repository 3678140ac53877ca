// The working folder of a fuzz harness: one per process under the temporary folder, made
// on first use and removed with everything in it when the process ends normally, so that
// neither a fuzzing session nor the replay tests leave folders behind.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

namespace fuzzing {

class FuzzFolder {
 public:
  explicit FuzzFolder(const std::string& name)
      : path_(std::filesystem::temp_directory_path() / (name + "_" + std::to_string(getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~FuzzFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  FuzzFolder(const FuzzFolder&) = delete;
  FuzzFolder& operator=(const FuzzFolder&) = delete;
  // The folder, ending with "/".
  std::string Dir() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

}  // namespace fuzzing
