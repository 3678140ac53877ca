// Folders of the program, the lock of the scratch folder and the globals of modDataIO.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>

#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "kestrin_version.h"
#include "libs/vb/vberror.h"

namespace modDataIO {

ProjectData gProject;
SettingsData gSettings;

namespace {

std::string gScratchPath;

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string EnvOrEmpty(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

}  // namespace

const std::string& FolderArg::Resolve() {
  if (value_.empty()) value_ = DataFolder();
  if (ref_) *ref_ = value_;
  return value_;
}

std::string GetAppFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return WithSlash(std::filesystem::current_path(ec).string());
  return WithSlash(exe.parent_path().string());
}

std::string GetUserProfileFolder() {
  std::string home = EnvOrEmpty("HOME");
  if (home.empty()) home = "/";
  return WithSlash(home);
}

std::string GetAppDataFolder() {
  // XDG: a relative XDG_DATA_HOME is invalid and ignored.
  std::string base = EnvOrEmpty("XDG_DATA_HOME");
  if (base.empty() || base.front() != '/') base = GetUserProfileFolder() + ".local/share";
  return WithSlash(base) + "Kestrin/";
}

std::string GetTempFolder() { return GetAppDataFolder() + "Temp/"; }

std::string DataFolder() { return gScratchPath.empty() ? GetTempFolder() : gScratchPath; }

void DataFolder(const std::string& folder) { gScratchPath = folder; }

std::string WorkingFolder() { return gSettings.WorkingFolder; }

void WorkingFolder(const std::string& folder) { gSettings.WorkingFolder = folder; }

std::string GetErrSource(const std::string& procedure) {
  return std::string(kestrin::kProgramName) + ".modDataIO." + procedure;
}

namespace {

// The folders this process holds: canonical folder -> the open lock file. The descriptors
// stay open until the process ends, which is what keeps the locks.
struct HeldLock {
  int fd;
  pid_t owner;  // a forked child holds nothing of its parent's
};
std::mutex gHeldMutex;
std::map<std::string, HeldLock> gHeld;

}  // namespace

bool bLockDataFolder(FolderArg folder) {
  const char* const title = "modDataIO.bLockDataFolder";
  std::string dir;
  return modpublic::RunGuarded(title, "The data folder could not be locked.", 16, [&]() -> bool {
    dir = folder.Resolve();
    std::lock_guard<std::mutex> guard(gHeldMutex);
    // The folder text as given is tried first: the calculation asks for every run.
    auto held = gHeld.find(dir);
    if (held != gHeld.end() && held->second.owner == ::getpid()) return true;
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) {
      vb::Raise(vb::kPathNotFound, "The data folder " + dir + " does not exist.");
    }
    const std::string key = WithSlash(std::filesystem::canonical(dir).string());
    held = gHeld.find(key);
    if (held != gHeld.end()) {
      if (held->second.owner == ::getpid()) return true;
      // Inherited through fork: the lock belongs to the parent, which still holds it.
      ::close(held->second.fd);
      gHeld.erase(held);
    }
    const std::string path = key + "Kestrin.lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
      vb::Raise(vb::kPathFileAccess, "Cannot open " + path + ": " + std::strerror(errno));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int err = errno;
      ::close(fd);
      if (err != EWOULDBLOCK) vb::Raise(vb::kPathFileAccess, "Cannot lock " + path + ": " + std::strerror(err));
      vb::Err().Clear();
      modpublic::ShowError("The data folder " + dir +
                               " is in use by another Kestrin program. Only one program at a time can work "
                               "in it: close the other one and try again. Nothing was changed.",
                           16, title);
      return false;
    }
    gHeld[key] = {fd, ::getpid()};
    if (dir != key) gHeld[dir] = {-1, ::getpid()};  // the same lock, under the text given
    return true;
  });
}

}  // namespace modDataIO
