// A full disk for tests, as the system reports it (ENOSPC).
#pragma once

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "libs/testsupport/read_only_folder.h"

namespace reporttest {

// A folder on a disk of its own that is full, for the calling thread while the object lives:
// a small tmpfs mounted over it in a private mount namespace (as ReadOnlyFolder binds one),
// holding a copy of what the folder held and a file that takes the rest of it.
class FullDiskFolder {
 public:
  explicit FullDiskFolder(std::string path) : path_(std::move(path)) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& e : std::filesystem::directory_iterator(path_)) {
      std::ifstream in(e.path(), std::ios::binary);
      files.emplace_back(e.path().string(), std::string(std::istreambuf_iterator<char>(in), {}));
    }
    why_ = testsupport::detail::PrivateMounts();
    if (!why_.empty()) return;
    if (::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=256k") != 0) {
      why_ = std::string("mount tmpfs: ") + std::strerror(errno);
      return;
    }
    mounted_ = true;
    for (const auto& [file, bytes] : files) std::ofstream(file, std::ios::binary) << bytes;
    std::ofstream fill(path_ + "/filler", std::ios::binary);
    const std::string block(4096, 'f');
    while (fill.write(block.data(), static_cast<std::streamsize>(block.size())) && fill.flush()) {
    }
  }
  ~FullDiskFolder() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  FullDiskFolder(const FullDiskFolder&) = delete;
  FullDiskFolder& operator=(const FullDiskFolder&) = delete;
  const std::string& Unavailable() const { return why_; }

 private:
  std::string path_;
  std::string why_;
  bool mounted_ = false;
};

}  // namespace reporttest
