#include "app/storage/data_files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/storage/modpublic.h"
#include "libs/vb/vberror.h"
#include "platform/db/db.h"

namespace fs = std::filesystem;

namespace modDataIO::detail {

bool IsFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::exists(fs::symlink_status(path, ec));
}

std::string FileName(const std::string& path) { return fs::path(path).filename().string(); }

namespace {

[[noreturn]] void RaiseIo(long number, const std::string& what, const std::string& path, int err = 0) {
  std::string text = what + " " + path;
  if (err != 0) text += ": " + std::string(std::strerror(err));
  vb::Raise(number, text);
}

std::ifstream OpenForReading(const std::string& path) {
  std::error_code ec;
  if (!fs::exists(path, ec)) RaiseIo(vb::kFileNotFound, "File not found:", path);
  if (fs::is_directory(path, ec)) RaiseIo(vb::kPathFileAccess, "Not a file:", path);
  std::ifstream in(path, std::ios::binary);
  if (!in) RaiseIo(vb::kPathFileAccess, "Cannot open", path, errno);
  return in;
}

}  // namespace

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in = OpenForReading(path);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) RaiseIo(vb::kPathFileAccess, "Cannot read", path, errno);
  return bytes;
}

std::string ReadRange(const std::string& path, std::int64_t offset, std::size_t size) {
  std::ifstream in = OpenForReading(path);
  in.seekg(0, std::ios::end);
  const auto length = static_cast<std::int64_t>(in.tellg());
  if (offset >= length) return {};
  const std::int64_t available = length - offset;
  const auto n = (size == std::string::npos || static_cast<std::int64_t>(size) > available)
                     ? static_cast<std::size_t>(available)
                     : size;
  std::string bytes(n, '\0');
  in.seekg(offset);
  in.read(bytes.data(), static_cast<std::streamsize>(n));
  if (!in) RaiseIo(vb::kPathFileAccess, "Cannot read", path, errno);
  return bytes;
}

std::string ReadUserFile(const std::string& path, std::size_t maxBytes) {
  std::error_code ec;
  if (!fs::exists(path, ec)) RaiseIo(vb::kFileNotFound, "File not found:", path);
  // O_NONBLOCK: opening a FIFO must not wait for a writer; the type is checked on the open
  // descriptor, so the file cannot be swapped between the check and the read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) RaiseIo(vb::kPathFileAccess, "Cannot open", path, errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    RaiseIo(vb::kPathFileAccess, "Not a regular file:", path);
  }
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    vb::Raise(vb::kPathFileAccess, path + " is too large (" + std::to_string(st.st_size) + " bytes; at most " +
                                       std::to_string(maxBytes) + " are read).");
  }
  std::string bytes;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      ::close(fd);
      RaiseIo(vb::kPathFileAccess, "Cannot read", path, err);
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
    if (bytes.size() > maxBytes) {  // grew while we read it
      ::close(fd);
      vb::Raise(vb::kPathFileAccess, path + " is too large.");
    }
  }
  ::close(fd);
  return bytes;
}

namespace {

// Removes "<name>.tmp<pid>" files beside the target whose process has ended (a save that
// was killed before its rename).
void RemoveStaleTemporaries(const fs::path& target) {
  const std::string prefix = target.filename().string() + ".tmp";
  std::error_code ec;
  for (fs::directory_iterator it(target.parent_path().empty() ? fs::path(".") : target.parent_path(), ec), end;
       !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string digits = name.substr(prefix.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9) continue;
    const pid_t pid = static_cast<pid_t>(std::stol(digits));
    if (pid <= 0 || pid == ::getpid()) continue;
    if (::kill(pid, 0) != 0 && errno == ESRCH) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
}

}  // namespace

void WriteFileAtomic(const std::string& path, std::string_view bytes, bool durable) {
  fs::path target(path);
  std::error_code ec;
  // A symlink is followed, so the link stays and the file it points to gets the data.
  for (int hops = 0; hops < 40 && fs::is_symlink(target, ec); ++hops) {
    const fs::path link = fs::read_symlink(target, ec);
    if (ec) break;
    target = link.is_absolute() ? link : target.parent_path() / link;
  }
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  if (!fs::is_directory(dir, ec)) RaiseIo(vb::kPathNotFound, "Folder not found for", path);
  if (fs::is_directory(target, ec)) RaiseIo(vb::kPathFileAccess, "Not a file:", path);
  RemoveStaleTemporaries(target);
  const std::string temp = target.string() + ".tmp" + std::to_string(::getpid());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) RaiseIo(vb::kPathFileAccess, "Cannot write", path, errno);
  // The new file keeps the permission bits of the one it replaces (a new file: 0644 less
  // the umask, as created).
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode) && ::fchmod(fd, old.st_mode & 07777) != 0) {
    const int err = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    RaiseIo(vb::kPathFileAccess, "Cannot write", path, err);
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      ::unlink(temp.c_str());
      RaiseIo(vb::kPathFileAccess, "Cannot write", path, err);
    }
    done += static_cast<std::size_t>(n);
  }
  const int synced = durable ? ::fsync(fd) : 0;
  const int syncErr = errno;
  if (::close(fd) != 0 || synced != 0) {
    const int err = synced != 0 ? syncErr : errno;
    ::unlink(temp.c_str());
    RaiseIo(vb::kPathFileAccess, "Cannot write", path, err);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    RaiseIo(vb::kPathFileAccess, "Cannot replace", path, err);
  }
}

void PatchFile(const std::string& path, const std::vector<std::pair<std::int64_t, std::string>>& ranges) {
  std::string bytes = IsFile(path) ? ReadFileBytes(path) : std::string();
  for (const auto& [offset, data] : ranges) {
    if (offset < 0) vb::Raise(vb::kBadFileName, "Bad record position in " + path);
    const auto at = static_cast<std::size_t>(offset);
    if (bytes.size() < at + data.size()) bytes.resize(at + data.size(), '\0');
    bytes.replace(at, data.size(), data);
  }
  WriteFileAtomic(path, bytes);
}

void WriteInPlace(const std::string& path, const std::vector<std::pair<std::int64_t, std::string>>& ranges) {
  if (!IsFile(path)) RaiseIo(vb::kFileNotFound, "File not found:", path);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) RaiseIo(vb::kPathFileAccess, "Cannot write", path, errno);
  for (const auto& [offset, data] : ranges) {
    std::size_t done = 0;
    while (done < data.size()) {
      const ssize_t n = ::pwrite(fd, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR) continue;
        const int err = errno;
        ::close(fd);
        RaiseIo(vb::kPathFileAccess, "Cannot write", path, err);
      }
      done += static_cast<std::size_t>(n);
    }
  }
  if (::close(fd) != 0) RaiseIo(vb::kPathFileAccess, "Cannot write", path, errno);
}

bool RunData(const std::string& title, const std::function<bool()>& body) {
  return modpublic::RunGuarded(title, modpublic::gDataIOErrorMsg, 48, [&]() -> bool {
    try {
      return body();
    } catch (const db::Error& e) {
      vb::Raise(vb::kDatabaseError, e.what());
    }
  });
}

}  // namespace modDataIO::detail
