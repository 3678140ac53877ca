// A folder on a read-only disk, for tests that run as root: the folder is bound read-only
// onto itself in a mount namespace of the calling thread's own, so that no user, root
// included, can write there, and nothing outside this process sees the mount. Needs the
// right to make mount namespaces (root has it); without it Unavailable() says why.
#pragma once

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace reporttest {

class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const std::string& path) : path_(path) {
    if (::unshare(CLONE_NEWNS) != 0) {
      why_ = std::string("no mount namespace: ") + std::strerror(errno);
      return;
    }
    // Private first: the mounts below must not reach the namespace the process came from.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount(path_.c_str(), path_.c_str(), nullptr, MS_BIND, nullptr) != 0) {
      why_ = std::string("cannot bind the folder: ") + std::strerror(errno);
      return;
    }
    mounted_ = true;
    if (::mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
      why_ = std::string("cannot make the folder read-only: ") + std::strerror(errno);
  }
  ~ReadOnlyFolder() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  // Empty when the folder is read-only now.
  const std::string& Unavailable() const { return why_; }

 private:
  std::string path_;
  std::string why_;
  bool mounted_ = false;
};

}  // namespace reporttest
