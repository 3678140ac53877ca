// A full disk for tests, without a mount: while a DiskOf lives, the kernel refuses every
// write that would make a file larger than the given size (RLIMIT_FSIZE, with SIGXFSZ
// ignored so the write fails with EFBIG instead of ending the process), the way a
// filesystem with that much room left refuses them.
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace savefile::testing {

class DiskOf {
 public:
  explicit DiskOf(rlim_t bytes) {
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit lim = old_;
    lim.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lim);
  }
  ~DiskOf() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }
  DiskOf(const DiskOf&) = delete;
  DiskOf& operator=(const DiskOf&) = delete;

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

}  // namespace savefile::testing
