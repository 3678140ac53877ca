#include "platform/savefile/save_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
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

// Whether `name` is that of a temporary of today's form, the only form a save ever removes:
// ".kestrin-<pid, 10 digits>-<6 suffix characters>.tmp". A name of another shape, earlier
// forms of temporaries included, may be a user's own file.
bool IsTemporaryName(std::string_view name) {
  if (name.size() != kTempLength || !name.starts_with(kTempPrefix) || !name.ends_with(kTempEnd)) return false;
  const std::string_view pid = name.substr(kTempPrefix.size(), kPidDigits);
  const std::string_view suffix = name.substr(kTempPrefix.size() + kPidDigits + 1, kSuffixLength);
  return std::all_of(pid.begin(), pid.end(), IsDigit) && name[kTempPrefix.size() + kPidDigits] == '-' &&
         std::all_of(suffix.begin(), suffix.end(), IsSuffixChar);
}

// An open file description's lock on the whole file (F_OFD_SETLK, never waiting): `type` is
// F_WRLCK (a save on its temporary) or F_RDLCK (the clean-up, which may only read). Such a
// lock belongs to the open file, not to the process: another open of the file in this process
// conflicts with it and closing that other open does not release it. It holds across pid
// namespaces, and across computers only where the share hands locks to its server (see
// SaveLaidOut). 0, or the errno of the refusal.
int LockWhole(int fd, short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0 ? 0 : errno;
}

// Removes `path` when it is the temporary of a save that was killed before its rename: a
// regular file (a link or anything else stays) that no save holds any more, proved by taking
// its lock, and the same file as the one locked when it is removed. Every save holds the lock
// on its temporary from just after creating it until after its rename or removal.
void RemoveWhenAbandoned(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return;  // a link (ELOOP), gone, or not ours to read: it stays
  struct stat opened {};
  struct stat named {};
  if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && LockWhole(fd, F_RDLCK) == 0 &&
      ::lstat(path.c_str(), &named) == 0 && SameFile(opened, named))
    ::unlink(path.c_str());  // before the lock goes with the close: see CreateTemporary
  ::close(fd);
}

// Removes the temporaries in `dir` of saves that were killed before their rename. Only names
// of today's form are looked at, and the lock alone decides: every save holds it on its
// temporary. The pid in the name proves nothing either way: a save in a pid namespace of its
// own (a container's first process, a sandboxed instance) may be named for pid 1 or 2, which
// are always alive here, or for this very process.
void RemoveStaleTemporaries(const fs::path& dir) {
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!IsTemporaryName(it->path().filename().native()) ||
        it->symlink_status(typeError).type() != fs::file_type::regular)
      continue;
    RemoveWhenAbandoned(it->path().string());
  }
}

// Creates a temporary in `dir` (its path in `temp`) with the bits `mode` less the umask, and
// locks it before anything else is done with it. O_EXCL: a name that is taken, by a file or by
// a link planted there, is never opened; another name is tried. -1 with errno set when none
// could be created.
//
// A clean-up elsewhere may take the lock of a temporary that was just created here but is not
// locked yet, and remove it. It removes the file while it holds the lock, so this save either
// finds the lock taken (the file is going: another name is tried) or, once the lock is its
// own, finds that the name no longer leads to its file (another name is tried); from then on
// no clean-up can take the lock. That closes the race without guessing at a file's age.
// Where the file system refuses locks altogether, the save goes on without one: the clean-up
// cannot lock the file either, so it removes nothing there.
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
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return fd;
    // EAGAIN or EACCES: a clean-up holds the lock, and removes the file.
    const int err = LockWhole(fd, F_WRLCK);
    struct stat opened {};
    struct stat named {};
    if (err != EAGAIN && err != EACCES && ::fstat(fd, &opened) == 0 && ::lstat(temp.c_str(), &named) == 0 &&
        SameFile(opened, named))
      return fd;
    ::close(fd);
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

fs::path FolderOf(const fs::path& target) { return target.has_parent_path() ? target.parent_path() : fs::path("."); }

// A folder with every link and "." or ".." resolved as far as it exists.
fs::path RealFolder(const fs::path& folder) {
  std::error_code ec;
  fs::path real = fs::weakly_canonical(fs::absolute(folder, ec), ec);
  if (ec) real = fs::absolute(folder, ec).lexically_normal();
  return real;
}

// The protected folder's name when the file `target` (its links already followed) lies in it
// or below it; empty otherwise.
std::string ProtectingFolder(const fs::path& target) {
  std::string protectedName;
  {
    const std::lock_guard lock(ProtectedMutex());
    if (ProtectedFolderName()) protectedName = ProtectedFolderName()();
  }
  if (protectedName.empty() || !FolderWithin(FolderOf(target).string(), protectedName)) return {};
  return RealFolder(protectedName).string();
}

}  // namespace

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

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

bool FolderWithin(const std::string& folder, const std::string& guarded) {
  struct stat outer {};
  struct stat root {};
  if (::stat(guarded.c_str(), &outer) != 0 || !S_ISDIR(outer.st_mode)) return false;
  if (::stat("/", &root) == 0 && SameFile(outer, root)) return false;  // "/" would hold every folder
  // The folder and each of its parents, as far as they exist, by device and inode: a second
  // mount of the guarded folder (or of a folder above it) leads to the same folder under
  // another name. The real path has no links or "..", so its parents are the folder's own.
  for (fs::path inner = RealFolder(folder);; inner = inner.parent_path()) {
    struct stat at {};
    if (::stat(inner.c_str(), &at) == 0 && SameFile(at, outer)) return true;
    if (inner == inner.root_path() || !inner.has_parent_path()) return false;
  }
}

std::string ProgramFolderRefusal(const std::string& subject, const std::string& programFolder) {
  std::string folder = programFolder;
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return subject + " is in the program folder " + folder + ", which holds the program's own files";
}

void SetProtectedFolder(std::function<std::string()> folder) {
  const std::lock_guard lock(ProtectedMutex());
  ProtectedFolderName() = std::move(folder);
}

bool InProtectedFolder(const std::string& path) {
  return !path.empty() && !ProtectingFolder(SaveTarget(path, true)).empty();
}

bool FailedBecause(const std::string& error, int err) {
  return error.ends_with(std::string(": ") + std::strerror(err));
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
  if (const std::string guarded = ProtectingFolder(target); !guarded.empty())
    return {Failure::kProtected, "Cannot write " + path + ": " + ProgramFolderRefusal("it", guarded)};
  // What is at the path now: a regular file (its bits are kept), nothing, or a link that is
  // not followed (replaced). Anything else is refused.
  struct stat old {};
  const bool exists = ::lstat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode) && !S_ISLNK(old.st_mode))
    return Failed(Failure::kNotAFile, "Not a file:", path, 0);
  RemoveStaleTemporaries(dir);

  std::string temp;
  const int fd = CreateTemporary(dir, options.newFileMode, temp);
  if (fd < 0) {
    const int err = errno;
    return Failed(err == ENOENT || err == ENOTDIR ? Failure::kNoFolder : Failure::kWrite, "Cannot write", path, err);
  }
  // The temporary's lock belongs to its open file: a second descriptor of it keeps the lock
  // after `fd` is closed (checked, as a network file system reports late write errors
  // there), until the temporary is renamed or removed and this function returns.
  const int held = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (held < 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    ::close(fd);
    return Failed(Failure::kWrite, "Cannot write", path, err);
  }
  const struct Release {
    int fd;
    ~Release() { ::close(fd); }
  } release{held};
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
