#include "platform/savefile/save_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <mutex>
#include <random>
#include <string_view>
#include <utility>

namespace savefile {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSuffixLength = 6;
constexpr std::size_t kPidDigits = 10;  // any pid_t, zero-padded
// The temporary's name, ".kestrin-<pid>-<suffix>.tmp", is 30 bytes long whatever the file's
// name, so every file name the system takes can be saved.
constexpr std::string_view kTempPrefix = ".kestrin-";
constexpr std::string_view kTempEnd = ".tmp";
constexpr std::size_t kTempLength = kTempPrefix.size() + kPidDigits + 1 + kSuffixLength + kTempEnd.size();

SaveResult Failed(Failure failure, const std::string& what, const std::string& path, int err) {
  std::string text = what + " " + path;
  if (err != 0) text += ": " + std::string(std::strerror(err));
  return {failure, std::move(text)};
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// The characters of a temporary's suffix (kChars of CreateTemporary).
bool IsSuffixChar(char c) { return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The process that made `name` as a temporary of a save in this folder: a temporary of
// today's form (it names no file: any save's), or one of the file `file` as saves of earlier
// versions named them, ".<file>.tmp<pid>.<suffix>" or "<file>.tmp<pid>". 0 for any other name.
pid_t TemporaryOwner(std::string_view name, const std::string& file) {
  if (name.size() == kTempLength && name.starts_with(kTempPrefix) && name.ends_with(kTempEnd)) {
    const std::string_view pid = name.substr(kTempPrefix.size(), kPidDigits);
    const std::string_view suffix = name.substr(kTempPrefix.size() + kPidDigits + 1, kSuffixLength);
    if (!std::all_of(pid.begin(), pid.end(), IsDigit) || name[kTempPrefix.size() + kPidDigits] != '-' ||
        !std::all_of(suffix.begin(), suffix.end(), IsSuffixChar))
      return 0;
    const long long owner = std::stoll(std::string(pid));
    return owner <= std::numeric_limits<pid_t>::max() ? static_cast<pid_t>(owner) : 0;
  }
  for (const bool hidden : {true, false}) {
    const std::string prefix = (hidden ? "." : "") + file + ".tmp";
    if (name.size() <= prefix.size() || !name.starts_with(prefix)) continue;
    const std::size_t end = std::min(name.find_first_not_of("0123456789", prefix.size()), name.size());
    const std::size_t digits = end - prefix.size();
    const std::size_t rest = name.size() - end;
    const bool restFits = hidden ? rest == 1 + kSuffixLength && name[end] == '.' : rest == 0;
    if (digits == 0 || digits > 9 || !restFits) continue;
    return static_cast<pid_t>(std::stol(std::string(name.substr(prefix.size(), digits))));
  }
  return 0;
}

// Removes the temporaries in `dir` whose process has ended (a save that was killed before
// its rename): those of today's form whatever file they were for, and those of `file` named
// as earlier versions named them. Those of live processes, this one included, may be saves
// under way.
void RemoveStaleTemporaries(const fs::path& dir, const std::string& file) {
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const pid_t pid = TemporaryOwner(it->path().filename().native(), file);
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(pid, 0) != 0 && errno == ESRCH) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
}

// Creates a temporary in `dir` (its path in `temp`) with the bits `mode` less the umask.
// O_EXCL: a name that is taken, by a file or by a link planted there, is never opened;
// another name is tried. -1 with errno set when none could be created.
int CreateTemporary(const fs::path& dir, mode_t mode, std::string& temp) {
  static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::minstd_rand random(std::random_device{}());
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
  std::string pid = std::to_string(::getpid());
  pid.insert(0, kPidDigits - std::min(kPidDigits, pid.size()), '0');
  const std::string stem = (dir / (std::string(kTempPrefix) + pid + "-")).string();
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = stem;
    for (std::size_t i = 0; i < kSuffixLength; ++i) temp += kChars[pick(random)];
    temp += kTempEnd;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

std::mutex& ProtectedMutex() {
  static std::mutex mutex;
  return mutex;
}

std::function<std::string()>& ProtectedFolderName() {
  static std::function<std::string()> folder;
  return folder;
}

// The file a save of `path` writes: the path with the links at its end followed (when the
// save follows them), as far as 40 hops.
fs::path SaveTarget(const std::string& path, bool followLinks) {
  fs::path target(path);
  std::error_code ec;
  for (int hops = 0; followLinks && hops < 40 && fs::is_symlink(target, ec); ++hops) {
    const fs::path link = fs::read_symlink(target, ec);
    if (ec) break;
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
  return target;
}

fs::path FolderOf(const fs::path& target) { return target.has_parent_path() ? target.parent_path() : fs::path("."); }

// A folder with every link and "." or ".." resolved as far as it exists.
fs::path RealFolder(const fs::path& folder) {
  std::error_code ec;
  fs::path real = fs::weakly_canonical(fs::absolute(folder, ec), ec);
  if (ec) real = fs::absolute(folder, ec).lexically_normal();
  return real;
}

// The protected folder (real path) when the file `target` (its links already followed) lies in
// it or below it; empty otherwise.
fs::path ProtectingFolder(const fs::path& target) {
  std::string protectedName;
  {
    const std::lock_guard lock(ProtectedMutex());
    if (ProtectedFolderName()) protectedName = ProtectedFolderName()();
  }
  if (protectedName.empty()) return {};
  const fs::path guarded = RealFolder(protectedName);
  if (guarded == guarded.root_path()) return {};  // a folder of "/" would refuse every save
  const fs::path folder = RealFolder(FolderOf(target));
  auto g = guarded.begin();
  auto f = folder.begin();
  for (; g != guarded.end(); ++g, ++f) {
    if (g->empty()) continue;  // the trailing "/" of a folder name
    if (f == folder.end() || *f != *g) return {};
  }
  return guarded;
}

}  // namespace

void SetProtectedFolder(std::function<std::string()> folder) {
  const std::lock_guard lock(ProtectedMutex());
  ProtectedFolderName() = std::move(folder);
}

bool InProtectedFolder(const std::string& path) {
  return !path.empty() && !ProtectingFolder(SaveTarget(path, true)).empty();
}

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
  const fs::path target = SaveTarget(path, options.followLinks);
  const fs::path dir = FolderOf(target);
  // Nothing is written into the program folder, not even a temporary.
  if (const fs::path guarded = ProtectingFolder(target); !guarded.empty())
    return {Failure::kProtected, "Cannot write " + path + ": it lies in the program folder " + guarded.string() +
                                     ", which holds the program's own files"};
  const std::string file = target.filename().string();
  // What is at the path now: a regular file (its bits are kept), nothing, or a link that is
  // not followed (replaced). Anything else is refused.
  struct stat old {};
  const bool exists = ::lstat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode) && !S_ISLNK(old.st_mode))
    return Failed(Failure::kNotAFile, "Not a file:", path, 0);
  RemoveStaleTemporaries(dir, file);

  std::string temp;
  const int fd = CreateTemporary(dir, options.newFileMode, temp);
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
