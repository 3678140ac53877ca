#include "platform/savefile/save_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace savefile {
namespace {

namespace fs = std::filesystem;

bool Fail(std::string* error, const std::string& what, const std::string& path, int err) {
  if (error) *error = what + " " + path + ": " + std::strerror(err);
  return false;
}

}  // namespace

bool SaveWhole(const std::string& path, std::string_view bytes, std::string* error) {
  if (path.empty()) return Fail(error, "Cannot write", "(no file name)", ENOENT);
  std::error_code ec;
  fs::path target(path);
  if (fs::is_symlink(target, ec)) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string temp = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return Fail(error, "Cannot write", path, errno);
  auto failAndRemove = [&](const char* what, int err) {
    ::close(fd);
    ::unlink(temp.c_str());
    return Fail(error, what, path, err);
  };
  // mkostemp creates the file 0600: give it the old file's bits, or those of a new file.
  struct stat old {};
  mode_t mode = 0;
  if (::stat(target.c_str(), &old) == 0) {
    if (!S_ISREG(old.st_mode)) return failAndRemove("Not a file:", EISDIR);
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(fd, mode) != 0) return failAndRemove("Cannot write", errno);

  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    // A write that stores nothing without an error would loop for ever: treat it as full.
    if (n <= 0) return failAndRemove("Cannot write", n < 0 ? errno : ENOSPC);
    done += static_cast<std::size_t>(n);
  }
  // A filesystem may only find out at the sync that the blocks do not fit.
  if (::fsync(fd) != 0) return failAndRemove("Cannot write", errno);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Fail(error, "Cannot write", path, err);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Fail(error, "Cannot replace", path, err);
  }
  // The rename itself reaches the disk with the folder.
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

}  // namespace savefile
