#include "tools/filecheck/file_search.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace filesearch {

namespace {

// Reads the file in blocks, handing each to the consumer. Returns 0 or the errno. Only a
// regular file (a link to one included) is read: a FIFO or a device would block or never end,
// a folder has no bytes; those give EINVAL or EISDIR without a read. The open does not wait
// for a FIFO's writer. A file larger than limit bytes gives EFBIG, before any read when its
// size says so, else (it grew) as soon as the bytes read pass the limit.
template <typename Consumer>
int ReadBlocks(const std::string& path, Consumer consume, uint64_t limit = UINT64_MAX) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    return error;
  }
  if (static_cast<uint64_t>(st.st_size) > limit) {
    ::close(fd);
    return EFBIG;
  }
  std::vector<unsigned char> block(1 << 16);
  int error = 0;
  uint64_t total = 0;
  for (;;) {
    const ssize_t n = ::read(fd, block.data(), block.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error = errno;
    if (n <= 0) break;
    total += static_cast<uint64_t>(n);
    if (total > limit) {
      error = EFBIG;
      break;
    }
    consume(block.data(), static_cast<size_t>(n));
  }
  ::close(fd);
  return error;
}

}  // namespace

int CRC32File(const std::string& path, uint32_t& crc, uint64_t& size) {
  crc = 0;
  size = 0;
  uLong running = crc32(0L, Z_NULL, 0);
  uint64_t total = 0;
  const int error = ReadBlocks(path, [&](const unsigned char* data, size_t n) {
    running = crc32(running, data, static_cast<uInt>(n));
    total += n;
  });
  if (error != 0) return error;
  crc = static_cast<uint32_t>(running);
  size = total;
  return 0;
}

int ReadFileText(const std::string& path, std::string& text, uint64_t limit) {
  text.clear();
  const int error = ReadBlocks(
      path, [&](const unsigned char* data, size_t n) { text.append(reinterpret_cast<const char*>(data), n); }, limit);
  if (error != 0) text.clear();
  return error;
}

std::string Hex(uint32_t crc) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(crc));
  return buf;
}

std::string GetFullPath(const std::string& path) {
  std::error_code ec;
  const fs::path full = fs::absolute(path, ec);
  if (ec) return path;
  return full.lexically_normal().string();
}

std::string GetSystemErrorText(int error) {
  if (error == ENOENT) return "File Not Found";
  std::string text = std::strerror(error);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

std::vector<std::pair<std::string, std::string>> ReadLoaderCache(const std::string& cacheFile) {
  std::vector<std::pair<std::string, std::string>> out;
  std::ifstream in(cacheFile, std::ios::binary);
  const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  static constexpr char kMagic[] = "glibc-ld.so.cache1.1";
  constexpr size_t kHeader = 48, kEntry = 24;
  if (data.size() < kHeader || data.compare(0, sizeof kMagic - 1, kMagic) != 0) return out;
  const auto u32 = [&](size_t at) {
    uint32_t v;
    std::memcpy(&v, data.data() + at, 4);
    return v;
  };
  const uint64_t count = u32(20);
  if (count > (data.size() - kHeader) / kEntry) return out;
  // String offsets count from the start of the cache file; each string ends with a NUL.
  const auto str = [&](uint32_t at) -> std::string {
    if (at >= data.size()) return "";
    const size_t end = data.find('\0', at);
    return end == std::string::npos ? "" : data.substr(at, end - at);
  };
  for (uint64_t i = 0; i < count; ++i) {
    const size_t e = kHeader + i * kEntry;
    out.emplace_back(str(u32(e + 4)), str(u32(e + 8)));
  }
  return out;
}

std::string GetLoadedModulePath(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos || name.find(".so") == std::string::npos) return "";
  const auto isFile = [](const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
  };
  if (const char* env = std::getenv("LD_LIBRARY_PATH")) {
    std::string dirs = env;
    size_t pos = 0;
    while (pos <= dirs.size()) {
      size_t end = dirs.find(':', pos);
      if (end == std::string::npos) end = dirs.size();
      const std::string dir = dirs.substr(pos, end - pos);
      if (!dir.empty() && isFile(fs::path(dir) / name)) return (fs::path(dir) / name).string();
      pos = end + 1;
    }
  }
  for (const auto& [lib, path] : ReadLoaderCache("/etc/ld.so.cache"))
    if (lib == name && isFile(path)) return path;
  for (const char* dir : {"/lib/x86_64-linux-gnu", "/usr/lib/x86_64-linux-gnu", "/lib/aarch64-linux-gnu",
                          "/usr/lib/aarch64-linux-gnu", "/lib64", "/usr/lib64", "/lib", "/usr/lib"})
    if (isFile(fs::path(dir) / name)) return (fs::path(dir) / name).string();
  return "";
}

Located LocateFile(const std::string& name, const std::string& listFile) {
  Located r;
  const size_t slash = listFile.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : listFile.substr(0, slash + 1);
  // A file is looked for where an installation puts it: beside the list and in the folders
  // around it. The folder the check is run from is not searched (unless it is the list's own):
  // it may hold other files of the listed names, a user's project or the scratch copies of the
  // data files, which would stand in for the installed ones. An absolute name is taken as given.
  const bool absolute = !name.empty() && name.front() == '/';
  const std::vector<std::string> candidates =
      absolute ? std::vector<std::string>{""}
               : std::vector<std::string>{folder, folder + "../", folder + "../../ENVIRO/",
                                          folder + "../../ENVIRO/WIZARDS/", folder + "../../"};
  for (const std::string& candidate : candidates) {
    const std::string path = GetFullPath(candidate + name);
    std::error_code stat;
    if (fs::is_regular_file(path, stat)) {
      r.found = true;
      r.path = path;
      r.error = 0;
      return r;
    }
    r.error = stat ? stat.value() : ENOENT;
  }
  const std::string library = GetLoadedModulePath(name);
  if (!library.empty()) {
    r.found = true;
    r.path = library;
    r.error = 0;
    return r;
  }
  if (name.find(".so") != std::string::npos) r.error = ENOENT;
  return r;
}

}  // namespace filesearch
