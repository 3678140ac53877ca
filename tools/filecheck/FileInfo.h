// FileInfo: the checker's results window without its widgets. It reads the CRC list into the
// grid, checks every listed file, writes the numbered report file and runs the unattended
// check. What it shows goes to a View (FileInfoWindow implements it); messages, event pumping
// and the wait cursor go through ui::host(), so tests run it with ui::RecordingHost.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "tools/filecheck/Version.h"
#include "tools/filecheck/crc_list.h"
#include "tools/filecheck/grid.h"

class FileInfo {
 public:
  class View {
   public:
    virtual ~View() = default;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetButtonsEnabled(bool enabled) = 0;
    virtual void GridReset() = 0;          // rows or headers were replaced
    virtual void RowUpdated(int row) = 0;  // one row's cells were written: keep it in view
  };

  // Exit codes of the unattended run.
  static constexpr int kExitAllGood = 0;
  static constexpr int kExitFileFailed = 1;
  static constexpr int kExitListOrReportFailed = 2;

  void SetView(View* view) { view_ = view; }
  // The clock of the report header and the OS name shown; the system's unless replaced.
  void SetClock(std::function<std::tm()> clock) { clock_ = std::move(clock); }
  void SetOsDisplayName(std::string name) { osDisplayName_ = std::move(name); }
  // The type-library registration to check a listed CLSID against; none on Linux, where a
  // CLSID does not apply (not owned).
  void SetRegistry(const Version::Registry* registry) { registry_ = registry; }
  // The program's own folder: a report for which no folder was named goes to the current
  // folder, but never into this one.
  void SetProgramFolder(std::string folder) { programFolder_ = std::move(folder); }

  const checker::Grid& Grid1() const { return grid_; }
  const std::string& ListFile() const { return listFile_; }
  // Why the last list could not be read ("" when it was read).
  const std::string& ListError() const { return listError_; }
  // What the report says of a list read without its count line ("" for a counted list).
  const std::string& ListNote() const { return listNote_; }
  std::string OsDisplayName() const;
  std::tm Now() const;

  // Header row only, with the column headers.
  void InitGrid();
  // Reads the list: one row per section taken for this system. A list that cannot be read
  // whole (see crclist::WholeListProblem; one over crclist::kMaxListBytes is not read at all)
  // adds no rows; the error is shown in a box, or in the unattended run written to stderr,
  // and kept for the report. A list read without its count line gets the note that its
  // completeness could not be checked, kept for the report (and on stderr when unattended).
  // A list that names no file for this system (its sections all for other systems or without
  // a file name) is refused the same way after its rows are read: a check of no file fails.
  // So is one with a section for this system without a file name among named ones, which is
  // named by its header and line; the named files are still checked.
  bool LoadCrcFile(const std::string& file);
  // Locates every listed file and fills Status, Path, Version Found and both sizes.
  void VerifyFiles(const std::string& file);

  std::string IniGetCRC(const std::string& section, const std::string& file);
  std::string IniGetSize(const std::string& section, const std::string& file);
  std::string IniGetVersion(const std::string& section, const std::string& file);
  std::string IniGetCLSID(const std::string& section, const std::string& file);
  std::string IniGetCLSIDVer(const std::string& section, const std::string& file);

  // "Save to File": writes crcNNN.txt into modChecker::g_crc (empty: the current folder),
  // or, when that folder cannot take it, into the per-user folder; never into the program
  // folder or a folder inside it. Shows "File created: " (not in the unattended run) or the
  // failure, naming every folder tried with why it could not take the report. Returns the
  // file written, empty on failure.
  std::string cmdMakeFile_Click();

  // First activation of the window: caption, list, checks, buttons. Later calls do nothing.
  void Form_Activate(const std::string& listFile);
  // The unattended run: list, checks, report file, whose path goes to stdout (when no report
  // could be written: the number of files checked and the failed ones); returns the exit code.
  int DoItQuiet(const std::string& sFile);

  // 0 when every listed file was found with its CRC, 1 when one was not.
  int CheckResult() const;
  // The rows checked (those with a name) and the ones of them that failed.
  struct Verdict {
    size_t checked = 0;
    std::vector<size_t> failed;
  };
  Verdict Result() const;

 private:
  const crclist::IniFile& Ini(const std::string& file);
  // The registration of a row's CLSID: the registered path (empty when none) and the flags.
  struct Registration {
    std::string registeredPath;
    std::string version;  // the registered version when it differs from the shipped one
    bool notProper = false;
    bool keyMissing = false;
  };
  Registration CheckRegistration(const std::string& clsid, const std::string& shippedVersion) const;
  void ReportProblem(const std::string& text);
  // True when the folder is the program folder or lies inside it (savefile::FolderWithin).
  bool InProgramFolder(const std::string& folder) const;

  View* view_ = nullptr;
  const Version::Registry* registry_ = nullptr;
  checker::Grid grid_;
  std::string listFile_;
  std::string listError_;
  std::string listNote_;
  std::string programFolder_;
  std::string iniFile_;
  crclist::IniFile ini_;
  bool activated_ = false;
  bool reportFailed_ = false;
  std::function<std::tm()> clock_;
  std::string osDisplayName_;
};
