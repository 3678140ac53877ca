// Folders of the program and the globals of modDataIO.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/storage/modDataIO.h"
#include "kestrin_version.h"

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

}  // namespace modDataIO
