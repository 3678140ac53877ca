#include "app/storage/data_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/storage/modpublic.h"
#include "libs/vb/vberror.h"
#include "platform/db/db.h"
#include "platform/savefile/save_file.h"

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

}  // namespace

std::string ReadFileBytes(const std::string& path) { return ReadRange(path, 0, std::string::npos); }

std::string ReadRange(const std::string& path, std::int64_t offset, std::size_t size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    if (err == ENOENT) RaiseIo(vb::kFileNotFound, "File not found:", path);
    RaiseIo(vb::kPathFileAccess, "Cannot open", path, err);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    RaiseIo(vb::kPathFileAccess, "Not a file:", path);
  }
  const std::int64_t length = st.st_size;
  if (offset >= length) {
    ::close(fd);
    return {};
  }
  const std::int64_t available = length - offset;
  const auto n = (size == std::string::npos || static_cast<std::int64_t>(size) > available)
                     ? static_cast<std::size_t>(available)
                     : size;
  std::string bytes(n, '\0');
  std::size_t done = 0;
  while (done < n) {
    const ssize_t got = ::pread(fd, bytes.data() + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      const int err = got < 0 ? errno : EIO;
      ::close(fd);
      RaiseIo(vb::kPathFileAccess, "Cannot read", path, err);
    }
    done += static_cast<std::size_t>(got);
  }
  ::close(fd);
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

int OpenOwnFile(const std::string& path, int flags, std::int64_t* length) {
  // O_NONBLOCK: opening a FIFO must not wait for its other end; the type is checked on the
  // open descriptor, so nothing can be swapped in between. On the regular file that remains
  // O_NONBLOCK changes nothing, so it stays set.
  const int fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
  if (fd < 0) {
    const int err = errno;
    if (err == ENOENT) return -1;
    if (err == ELOOP || err == ENXIO || err == EISDIR) RaiseIo(vb::kPathFileAccess, "Not a regular file:", path);
    RaiseIo(vb::kPathFileAccess, "Cannot open", path, err);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    RaiseIo(vb::kPathFileAccess, "Not a regular file:", path);
  }
  if (length) *length = st.st_size;
  return fd;
}

namespace {

// Reads exactly n bytes at offset into out; on failure closes the file and raises.
void ReadAllAt(int fd, char* out, std::size_t n, std::int64_t offset, const std::string& path) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t got = ::pread(fd, out + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      const int err = got < 0 ? errno : 0;
      ::close(fd);
      if (err == 0) vb::Raise(vb::kInputPastEnd, "Input past end of file: " + path);
      RaiseIo(vb::kPathFileAccess, "Cannot read", path, err);
    }
    done += static_cast<std::size_t>(got);
  }
}

}  // namespace

std::string ReadOwnRange(const std::string& path, std::int64_t offset, std::size_t size, bool whole,
                         std::int64_t* fileLength) {
  std::int64_t length = -1;
  const int fd = OpenOwnFile(path, O_RDONLY, &length);
  if (fileLength) *fileLength = length;
  if (fd < 0) return {};
  if (offset >= length) {
    ::close(fd);
    return {};
  }
  const std::int64_t available = length - offset;
  std::size_t n = size;
  if (size == std::string::npos || static_cast<std::int64_t>(size) > available) {
    if (whole && size != std::string::npos) {
      ::close(fd);
      vb::Raise(vb::kInputPastEnd, "Input past end of file: " + path + " ends " + std::to_string(length) +
                                       " bytes in, inside the record at byte " + std::to_string(offset + 1) + ".");
    }
    n = static_cast<std::size_t>(available);
  }
  std::string bytes(n, '\0');
  ReadAllAt(fd, bytes.data(), n, offset, path);
  ::close(fd);
  return bytes;
}

std::string ReadOwnFile(const std::string& path) {
  if (OwnFileLength(path) < 0) RaiseIo(vb::kFileNotFound, "File not found:", path);
  return ReadOwnRange(path, 0, std::string::npos, false);
}

std::int64_t OwnFileLength(const std::string& path) {
  std::int64_t length = -1;
  const int fd = OpenOwnFile(path, O_RDONLY, &length);
  if (fd >= 0) ::close(fd);
  return fd >= 0 ? length : -1;
}

void CheckOwnFile(const std::string& path) {
  // The name itself is looked at (lstat), nothing is opened: a FIFO is never waited on, and
  // a link is refused, not followed.
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    const int err = errno;
    if (err == ENOENT) return;
    RaiseIo(vb::kPathFileAccess, "Cannot open", path, err);
  }
  if (!S_ISREG(st.st_mode)) RaiseIo(vb::kPathFileAccess, "Not a regular file:", path);
}

namespace {

// Writes the bytes at the offset, all of them; on failure closes the file and raises.
void WriteAllAt(int fd, std::string_view bytes, std::int64_t offset, const std::string& path) {
  if (const int err = savefile::WriteAllAt(fd, bytes, offset)) {
    ::close(fd);
    RaiseIo(vb::kPathFileAccess, "Cannot write", path, err);
  }
}

// Saves the file through savefile::SaveLaidOut (see WriteFileAtomic) and raises its failure:
// 76 for a missing folder, 75 with its text for anything else (for a file in the program
// folder with what to do instead). Our own files are created 0644, as AppendToFile creates
// them.
void ReplaceFile(const std::string& path, std::int64_t length, const savefile::Ranges& ranges, bool durable,
                 bool followLinks) {
  ForgetKeptRecords(path);
  const savefile::SaveResult saved =
      savefile::SaveLaidOut(path, length, ranges, {.sync = durable, .followLinks = followLinks, .newFileMode = 0644});
  if (saved.failure == savefile::Failure::kNoFolder) RaiseIo(vb::kPathNotFound, "Folder not found for", path);
  // The program folder is refused before anything is written: said with what to do instead.
  if (saved.failure == savefile::Failure::kProtected)
    vb::Raise(vb::kPathFileAccess, saved.error + ". Nothing is written there: save the file in another folder.");
  if (!saved) vb::Raise(vb::kPathFileAccess, saved.error);
}

}  // namespace

void WriteFileAtomic(const std::string& path, std::string_view bytes, bool durable) {
  ReplaceFile(path, static_cast<std::int64_t>(bytes.size()), {{0, bytes}}, durable, /*followLinks=*/true);
}

void WriteOwnFileAtomic(const std::string& path, std::string_view bytes) {
  ReplaceFile(path, static_cast<std::int64_t>(bytes.size()), {{0, bytes}}, /*durable=*/false, /*followLinks=*/false);
}

void WriteLaidOutFileAtomic(const std::string& path, std::int64_t length,
                            const std::vector<std::pair<std::int64_t, std::string>>& ranges) {
  savefile::Ranges views;
  for (const auto& [offset, bytes] : ranges) {
    if (offset < 0 || offset + static_cast<std::int64_t>(bytes.size()) > length) {
      vb::Raise(vb::kBadFileName, "Bad record position in " + path);
    }
    views.emplace_back(offset, bytes);
  }
  ReplaceFile(path, length, views, /*durable=*/false, /*followLinks=*/false);
}

void PatchFile(const std::string& path, const std::vector<std::pair<std::int64_t, std::string>>& ranges) {
  std::string bytes = ReadOwnRange(path, 0, std::string::npos, false);
  for (const auto& [offset, data] : ranges) {
    if (offset < 0) vb::Raise(vb::kBadFileName, "Bad record position in " + path);
    const auto at = static_cast<std::size_t>(offset);
    if (bytes.size() < at + data.size()) bytes.resize(at + data.size(), '\0');
    bytes.replace(at, data.size(), data);
  }
  WriteOwnFileAtomic(path, bytes);
}

bool RelayOutInPlace(const std::string& path, std::int64_t length, std::string_view header) {
  ForgetKeptRecords(path);
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < length) {
    ::close(fd);
    return false;
  }
  const std::string zeros(65536, '\0');
  auto zero = [&](std::int64_t from, std::int64_t to) {
    while (from < to) {
      const std::int64_t n = std::min<std::int64_t>(to - from, static_cast<std::int64_t>(zeros.size()));
      WriteAllAt(fd, std::string_view(zeros.data(), static_cast<std::size_t>(n)), from, path);
      from += n;
    }
  };
  const auto headerEnd = static_cast<std::int64_t>(header.size());
  zero(0, headerEnd);
  // The data extents after the header (a filesystem without holes reports one extent).
  std::int64_t at = headerEnd;
  while (at < length) {
    const off_t data = ::lseek(fd, static_cast<off_t>(at), SEEK_DATA);
    if (data < 0 || data >= length) break;
    off_t hole = ::lseek(fd, data, SEEK_HOLE);
    if (hole < 0 || hole > length) hole = static_cast<off_t>(length);
    zero(data, hole);
    at = hole;
  }
  WriteAllAt(fd, header, 0, path);
  if (::close(fd) != 0) RaiseIo(vb::kPathFileAccess, "Cannot write", path, errno);
  return true;
}

void AppendToFile(const std::string& path, std::string_view bytes) {
  ForgetKeptRecords(path);
  const int fd = OpenOwnFile(path, O_WRONLY | O_APPEND | O_CREAT);
  if (fd < 0) RaiseIo(vb::kPathFileAccess, "Cannot write", path, errno);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      ::close(fd);
      RaiseIo(vb::kPathFileAccess, "Cannot write", path, err);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) RaiseIo(vb::kPathFileAccess, "Cannot write", path, errno);
}

void WriteInPlace(const std::string& path, const std::vector<std::pair<std::int64_t, std::string>>& ranges) {
  ForgetKeptRecords(path);
  const int fd = OpenOwnFile(path, O_WRONLY);
  if (fd < 0) RaiseIo(vb::kFileNotFound, "File not found:", path);
  for (const auto& [offset, data] : ranges) WriteAllAt(fd, data, offset, path);
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
