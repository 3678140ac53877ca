#include "app/storage/data_files.h"

#include <fcntl.h>
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

void WriteFileAtomic(const std::string& path, std::string_view bytes) {
  const fs::path target(path);
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) RaiseIo(vb::kPathNotFound, "Folder not found for", path);
  if (fs::is_directory(target, ec)) RaiseIo(vb::kPathFileAccess, "Not a file:", path);
  const std::string temp = path + ".tmp" + std::to_string(::getpid());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) RaiseIo(vb::kPathFileAccess, "Cannot write", path, errno);
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
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    RaiseIo(vb::kPathFileAccess, "Cannot write", path, err);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
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
