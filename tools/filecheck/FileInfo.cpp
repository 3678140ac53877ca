#include "tools/filecheck/FileInfo.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "platform/savefile/save_file.h"
#include "platform/ui/ui.h"
#include "tools/filecheck/modChecker.h"
#include "tools/filecheck/Version.h"
#include "tools/filecheck/crc_list.h"
#include "tools/filecheck/file_search.h"
#include "tools/filecheck/report_file.h"

using namespace checker;

namespace {

// The per-user folder that takes the report when the list's folder cannot (an installed
// program folder is read-only).
std::string UserReportFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (data != nullptr && data[0] == '/') {
    base = data;
  } else if (const char* home = std::getenv("HOME")) {
    base = std::string(home) + "/.local/share";
  } else {
    return "";
  }
  return base + "/Kestrin/";
}

}  // namespace

std::string FileInfo::OsDisplayName() const {
  return osDisplayName_.empty() ? modChecker::GetOsDisplayName() : osDisplayName_;
}

std::tm FileInfo::Now() const {
  if (clock_) return clock_();
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return local;
}

void FileInfo::ReportProblem(const std::string& text) {
  if (modChecker::g_quiet == 1)
    std::cerr << "veritor: " << text << "\n";
  else
    ui::host().messageBox(text, ui::kOkOnly, "");
}

void FileInfo::InitGrid() {
  grid_.assign(1, GridRow{});
  for (int c = 0; c < kColumnCount; ++c) grid_[0][c] = kColumnHeaders[c];
  if (view_ != nullptr) view_->GridReset();
}

const crclist::IniFile& FileInfo::Ini(const std::string& file) {
  if (file != iniFile_) {
    std::string text;
    filesearch::ReadFileText(file, text, crclist::kMaxListBytes);
    ini_ = crclist::IniFile(text);
    iniFile_ = file;
  }
  return ini_;
}

bool FileInfo::LoadCrcFile(const std::string& file) {
  listFile_ = file;
  listError_.clear();
  listNote_.clear();
  // The reason goes to stderr in the unattended run, else to a message box, and into the report.
  auto refuse = [&](const std::string& reason, const std::string& boxText) {
    listError_ = reason;
    if (modChecker::g_quiet == 1)
      std::cerr << "veritor: " << listError_ << "\n";
    else
      ui::host().messageBox(boxText, ui::kOkOnly, "");
    return false;
  };
  std::string text;
  const int error = filesearch::ReadFileText(file, text, crclist::kMaxListBytes);
  if (error == EFBIG) {
    const std::string reason =
        "Unable to read the whole input file " + file + ": it is larger than 1 MB, far larger than any list";
    return refuse(reason, reason);
  }
  if (error != 0) {
    // Only a regular file is read: a FIFO or a device given as the list would block.
    const std::string why =
        std::to_string(error) + ": " + (error == EINVAL ? "not a regular file" : std::strerror(error));
    return refuse("Unable to open input file " + file + " Error: " + why,
                  "Unable to open input file " + file + "\n\n Error: " + why);
  }
  // A list cut short, naming a file twice or not a list at all would check only part of the
  // files, or none, and pass: such a list is refused like one that cannot be opened.
  if (const std::string problem = crclist::WholeListProblem(text); !problem.empty()) {
    const std::string reason = "Unable to read the whole input file " + file + ": " + problem;
    return refuse(reason, reason);
  }
  if (!crclist::HasCountLine(text)) {
    listNote_ = "The list has no count line: whether it is complete could not be checked.";
    if (modChecker::g_quiet == 1) std::cerr << "veritor: " << listNote_ << "\n";
  }
  ini_ = crclist::IniFile(text);
  iniFile_ = file;
  if (grid_.empty()) grid_.emplace_back();
  grid_.resize(1);
  const std::vector<crclist::ListedFile> taken = crclist::ScanSections(text, modChecker::GetWindowsVersionName());
  for (const auto& listed : taken) {
    GridRow row;
    row[kColNumber] = std::to_string(grid_.size());
    row[kColName] = listed.name;
    row[kColSection] = listed.section;
    row[kColVersionShipped] = IniGetVersion(listed.section, file);
    grid_.push_back(std::move(row));
  }
  if (view_ != nullptr) view_->GridReset();
  // Sections only for other systems, or only without a file name, leave nothing to check: a
  // check of no file must not pass as one whose files are all good.
  if (std::none_of(grid_.begin() + 1, grid_.end(),
                   [](const GridRow& row) { return !modChecker::Trim(row[kColName]).empty(); })) {
    const std::string reason = "No file was checked: the input file " + file + " names no file for this system";
    return refuse(reason, reason);
  }
  // A section that has lost its file name stands for a file that is never checked: the list
  // cannot be read whole. Its row stays, and the named files are still checked.
  const auto nameless = std::find_if(taken.begin(), taken.end(),
                                     [](const crclist::ListedFile& f) { return modChecker::Trim(f.name).empty(); });
  if (nameless != taken.end()) {
    const std::string reason = "Unable to read the whole input file " + file + ": the section [" + nameless->section +
                               "] on line " + std::to_string(nameless->line) + " names no file";
    return refuse(reason, reason);
  }
  return true;
}

std::string FileInfo::IniGetCRC(const std::string& section, const std::string& file) {
  return Ini(file).Get(section, "CRC");
}
std::string FileInfo::IniGetVersion(const std::string& section, const std::string& file) {
  return Ini(file).Get(section, "VERSION");
}
std::string FileInfo::IniGetCLSID(const std::string& section, const std::string& file) {
  return Ini(file).Get(section, "CLSID");
}
std::string FileInfo::IniGetCLSIDVer(const std::string& section, const std::string& file) {
  return Ini(file).Get(section, "CLSIDVer");
}
std::string FileInfo::IniGetSize(const std::string& section, const std::string& file) {
  const auto size = crclist::ParseSize(Ini(file).Get(section, "Size"));
  return size ? crclist::FormatSize(*size) : "";
}

FileInfo::Registration FileInfo::CheckRegistration(const std::string& clsid, const std::string& shippedVersion) const {
  Registration reg;
  reg.version = shippedVersion;
  const std::string typeLib = "TypeLib\\" + clsid;
  const std::string found = Version::FindTypeLibVersionKey(*registry_, typeLib, shippedVersion);
  if (found.empty()) {
    reg.keyMissing = true;
    return reg;
  }
  if (found != shippedVersion) {
    // Registered only in an older version than shipped: not proper. Compared by number, so
    // that 10.0 counts as newer than 9.0.
    if (Version::VersionOlder(modChecker::Trim(found), modChecker::Trim(shippedVersion))) reg.notProper = true;
    reg.version = found;
  }
  const std::string language = Version::FindTypeLibVersionKey(*registry_, typeLib + "\\" + reg.version, "0");
  if (language.empty()) {
    reg.notProper = true;
    return reg;
  }
  reg.registeredPath = registry_->DefaultValue(typeLib + "\\" + reg.version + "\\" + language + "\\Win32");
  // An empty registered path names no file: searching for it would find the list's folder.
  if (reg.registeredPath.empty()) reg.notProper = true;
  return reg;
}

void FileInfo::VerifyFiles(const std::string& file) {
  ui::host().setWaitCursor(true);
  for (size_t r = 1; r < grid_.size(); ++r) {
    GridRow& row = grid_[r];
    std::string name = modChecker::Trim(row[kColName]);
    if (name.empty()) continue;
    const std::string& section = row[kColSection];
    // Without a registry (Linux) a CLSID does not apply: the row is checked like any other.
    const std::string clsid = registry_ != nullptr ? IniGetCLSID(section, file) : "";
    Registration reg;
    if (!clsid.empty()) {
      reg = CheckRegistration(clsid, IniGetCLSIDVer(section, file));
      if (!reg.registeredPath.empty()) {
        // A resource number after the library's name ("x.dll\\2") is not part of the file.
        const size_t dll = modChecker::UCase(reg.registeredPath).find(".DLL");
        const size_t cut = dll == std::string::npos ? std::string::npos : reg.registeredPath.find('\\', dll);
        if (cut != std::string::npos) reg.registeredPath.resize(cut);
        name = reg.registeredPath;
      }
    }
    const filesearch::Located located = filesearch::LocateFile(name, file);
    row[kColStatus] = located.found ? "" : filesearch::GetSystemErrorText(located.error ? located.error : ENOENT);
    if (!reg.registeredPath.empty())
      row[kColPath] = reg.registeredPath + (reg.notProper ? " " + reg.version : " \u00AE");
    else if (located.found)
      row[kColPath] = located.path + (reg.keyMissing ? " !\u00AE" : !clsid.empty() ? " !\u00AE!" : " \u00A9");
    else
      row[kColPath] = reg.keyMissing  ? "Registry subkey not found"
                      : reg.notProper ? "Not registered properly"
                                      : "Not found";
    row[kColVersionFound] = modChecker::Trim(Version::GetFileVersionString(located.path));
    ui::host().processEvents();

    std::string currentSize;
    if (located.found) {
      uint32_t crc = 0;
      uint64_t size = 0;
      const int error = filesearch::CRC32File(located.path, crc, size);
      if (error != 0) {
        row[kColStatus] = filesearch::GetSystemErrorText(error);
      } else {
        row[kColStatus] = IniGetCRC(section, file) == filesearch::Hex(crc) ? "OK " : filesearch::Hex(crc);
        currentSize = crclist::FormatSize(static_cast<int64_t>(size));
      }
    }
    row[kColOriginalSize] = IniGetSize(section, file);
    row[kColCurrentSize] = currentSize;
    if (view_ != nullptr) view_->RowUpdated(static_cast<int>(r));
  }
  ui::host().setWaitCursor(false);
}

bool FileInfo::InProgramFolder(const std::string& folder) const {
  return !programFolder_.empty() && savefile::FolderWithin(folder, programFolder_);
}

std::string FileInfo::cmdMakeFile_Click() {
  const std::string text =
      report::ReportFileText(grid_, Now(), OsDisplayName(), listFile_, listError_.empty() ? listNote_ : listError_);
  // The report goes beside a named list, or into the current folder; when that cannot take it,
  // into the per-user folder. Never into the program folder, which holds only what SETUP.CRC
  // lists, whatever the environment names. Each folder that could not take it is kept with why.
  std::vector<std::string> refusals;
  std::string written;
  std::error_code ec;
  std::string folder = modChecker::g_crc;
  if (folder.empty()) {
    folder = std::filesystem::current_path(ec).string();
    if (!folder.empty() && folder.back() != '/') folder += '/';
  }
  // One folder: the report written into it, or why it could not take it.
  const auto writeInto = [&](const std::string& what, const std::string& into, bool create) {
    if (InProgramFolder(into)) {
      refusals.push_back(savefile::ProgramFolderRefusal("The " + what + " " + into, programFolder_) +
                         ": it takes no report");
    } else if (create && (std::filesystem::create_directories(into, ec), ec)) {
      refusals.push_back("Unable to create the " + what + " " + into + ": " + ec.message());
    } else if (const report::Written w = report::WriteReportFile(into, text); w.ok) {
      written = w.path;
    } else {
      refusals.push_back(w.error);
    }
  };
  writeInto("report folder", folder, false);
  if (written.empty()) {
    const std::string fallback = UserReportFolder();
    if (fallback.empty())
      refusals.push_back("There is no per-user folder: neither XDG_DATA_HOME nor HOME is set");
    else
      writeInto("per-user folder", fallback, true);
  }
  std::string why;
  // One sentence a line, one line a folder.
  for (const std::string& r : refusals) why += (why.empty() ? "" : "\n") + r + ".";
  reportFailed_ = written.empty();
  if (reportFailed_) {
    ReportProblem("No report file could be written.\n" + why);
    return "";
  }
  if (modChecker::g_quiet == 1 && !why.empty())
    std::cerr << "veritor: " << why << "\nveritor: written to " << written << "\n";
  if (modChecker::g_quiet != 1) ui::host().messageBox("File created: \n" + written, ui::kOkOnly, "");
  return written;
}

FileInfo::Verdict FileInfo::Result() const {
  Verdict v;
  for (size_t r = 1; r < grid_.size(); ++r) {
    if (modChecker::Trim(grid_[r][kColName]).empty()) continue;
    ++v.checked;
    if (grid_[r][kColStatus].rfind("OK", 0) != 0) v.failed.push_back(r);
  }
  return v;
}

int FileInfo::CheckResult() const { return Result().failed.empty() ? kExitAllGood : kExitFileFailed; }

void FileInfo::Form_Activate(const std::string& listFile) {
  if (activated_) return;
  activated_ = true;
  if (view_ != nullptr) {
    view_->SetButtonsEnabled(false);
    view_->SetCaption("File Integrity Verification (" + OsDisplayName() + ")- Using Config File '" + listFile + "'");
  }
  ui::host().processEvents();
  InitGrid();
  LoadCrcFile(listFile);
  VerifyFiles(listFile);
  ui::host().processEvents();
  if (view_ != nullptr) view_->SetButtonsEnabled(true);
}

int FileInfo::DoItQuiet(const std::string& sFile) {
  InitGrid();
  const bool listRead = LoadCrcFile(sFile);
  VerifyFiles(sFile);
  if (const std::string report = cmdMakeFile_Click(); !report.empty()) {
    std::cout << filesearch::GetFullPath(report) << "\n";
  } else {
    // Without a report the verdict goes to stdout: what was checked and what failed.
    const Verdict v = Result();
    std::cout << v.checked << " files checked, " << v.failed.size() << " failed\n";
    for (const size_t r : v.failed)
      std::cout << "failed: " << grid_[r][kColName] << ": " << grid_[r][kColStatus] << "\n";
  }
  if (!listRead || reportFailed_) return kExitListOrReportFailed;
  return CheckResult();
}
