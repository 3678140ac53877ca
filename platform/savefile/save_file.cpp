#include "platform/savefile/save_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <utility>

namespace savefile {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSuffixLength = 6;

SaveResult Failed(Failure failure, const std::string& what, const std::string& path, int err) {
  std::string text = what + " " + path;
  if (err != 0) text += ": " + std::string(std::strerror(err));
  return {failure, std::move(text)};
}

// The process that made `name` as a temporary of the file `file`: ".<file>.tmp<pid>.<suffix>",
// or "<file>.tmp<pid>" as saves of earlier versions named them. 0 for any other name.
pid_t TemporaryOwner(const std::string& name, const std::string& file) {
  for (const bool hidden : {true, false}) {
    const std::string prefix = (hidden ? "." : "") + file + ".tmp";
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::size_t end = std::min(name.find_first_not_of("0123456789", prefix.size()), name.size());
    const std::size_t digits = end - prefix.size();
    const std::size_t rest = name.size() - end;
    const bool restFits = hidden ? rest == 1 + kSuffixLength && name[end] == '.' : rest == 0;
    if (digits == 0 || digits > 9 || !restFits) continue;
    return static_cast<pid_t>(std::stol(name.substr(prefix.size(), digits)));
  }
  return 0;
}

// Removes the temporaries of `file` in `dir` whose process has ended (a save that was killed
// before its rename). Those of live processes, this one included, may be saves under way.
void RemoveStaleTemporaries(const fs::path& dir, const std::string& file) {
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const pid_t pid = TemporaryOwner(it->path().filename().string(), file);
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(pid, 0) != 0 && errno == ESRCH) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
}

// Creates the temporary of `file` in `dir` (its name in `temp`) with the bits `mode` less the
// umask. O_EXCL: a name that is taken, by a file or by a link planted there, is never opened;
// another name is tried. -1 with errno set when none could be created.
int CreateTemporary(const fs::path& dir, const std::string& file, mode_t mode, std::string& temp) {
  static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::minstd_rand random(std::random_device{}());
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
  const std::string stem = (dir / ("." + file + ".tmp" + std::to_string(::getpid()) + ".")).string();
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = stem;
    for (std::size_t i = 0; i < kSuffixLength; ++i) temp += kChars[pick(random)];
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

int WriteAllAt(int fd, std::string_view bytes, std::int64_t offset) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    // A write that stores nothing without an error would loop for ever: treat it as full.
    if (n <= 0) return n < 0 ? errno : ENOSPC;
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

SaveResult SaveLaidOut(const std::string& path, std::int64_t length, const Ranges& ranges, const SaveOptions& options) {
  if (path.empty()) return Failed(Failure::kWrite, "Cannot write", "(no file name)", ENOENT);
  fs::path target(path);
  std::error_code ec;
  for (int hops = 0; options.followLinks && hops < 40 && fs::is_symlink(target, ec); ++hops) {
    const fs::path link = fs::read_symlink(target, ec);
    if (ec) break;
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const std::string file = target.filename().string();
  // What is at the path now: a regular file (its bits are kept), nothing, or a link that is
  // not followed (replaced). Anything else is refused.
  struct stat old {};
  const bool exists = ::lstat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode) && !S_ISLNK(old.st_mode))
    return Failed(Failure::kNotAFile, "Not a file:", path, 0);
  RemoveStaleTemporaries(dir, file);

  std::string temp;
  const int fd = CreateTemporary(dir, file, options.newFileMode, temp);
  if (fd < 0) {
    const int err = errno;
    return Failed(err == ENOENT || err == ENOTDIR ? Failure::kNoFolder : Failure::kWrite, "Cannot write", path, err);
  }
  auto failAndRemove = [&](int err) {
    ::close(fd);
    ::unlink(temp.c_str());
    return Failed(Failure::kWrite, "Cannot write", path, err);
  };
  if (exists && S_ISREG(old.st_mode) && ::fchmod(fd, old.st_mode & 07777) != 0) return failAndRemove(errno);
  // The length first: the parts no range covers read as zeros without being written.
  if (::ftruncate(fd, static_cast<off_t>(length)) != 0) return failAndRemove(errno);
  for (const auto& [offset, bytes] : ranges) {
    if (const int err = WriteAllAt(fd, bytes, offset)) return failAndRemove(err);
  }
  // A filesystem may only find out at the sync that the blocks do not fit.
  if (options.sync && ::fsync(fd) != 0) return failAndRemove(errno);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Failed(Failure::kWrite, "Cannot write", path, err);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return Failed(Failure::kReplace, "Cannot replace", path, err);
  }
  if (options.sync) {
    // The rename itself reaches the disk with the folder.
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
      ::fsync(dfd);
      ::close(dfd);
    }
  }
  return {};
}

bool SaveWhole(const std::string& path, std::string_view bytes, std::string* error) {
  SaveResult saved = SaveLaidOut(path, static_cast<std::int64_t>(bytes.size()), {{0, bytes}});
  if (!saved && error) *error = std::move(saved.error);
  return static_cast<bool>(saved);
}

}  // namespace savefile
