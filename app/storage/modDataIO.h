// modDataIO: every file of the program that is not code. Folders, the scratch record files,
// the system library (record files + INX.MDB index), the results file CAL.DAT and the
// error-line file ERR.DAT, the project and settings XML files and the summary CSV.
//
// Every data routine returns true on success. On failure it has already shown its own
// error box (through platform/ui) and returns false; a failed read leaves the caller's
// record unchanged, and a failed write never leaves a half-written file in place of a good
// one where the file is written whole.
//
// File names keep their exact upper-case spelling (WTH.DAT, INX.MDB, ...). Folders end with
// "/"; a folder argument and the file name are joined directly.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "app/storage/project_records.h"
#include "app/storage/result_records.h"
#include "app/storage/scratch_records.h"
#include "libs/vb/vbarray.h"

namespace pugi {
class xml_node;
}
namespace db {
class Database;
}

namespace modDataIO {

// ---------------------------------------------------------------------------------------
// The folder argument of the data routines. Pass a std::string variable to have an empty
// value replaced by DataFolder() and written back into it (as the routines always did);
// pass a literal or temporary when the resolved folder is not wanted back.
class FolderArg {
 public:
  FolderArg(std::string& folder) : ref_(&folder), value_(folder) {}     // NOLINT(runtime/explicit)
  FolderArg(const std::string& folder) : value_(folder) {}              // NOLINT
  FolderArg(const char* folder = "") : value_(folder ? folder : "") {}  // NOLINT
  // The folder to use: DataFolder() when empty; the resolved value is written back.
  const std::string& Resolve();

 private:
  std::string* ref_ = nullptr;
  std::string value_;
};

// ---------------------------------------------------------------------------------------
// Globals of the project and settings files.
extern ProjectData gProject;
extern SettingsData gSettings;
inline const std::string gDefaultProjectName = "untitled";

// ---------------------------------------------------------------------------------------
// Folders. Every result ends with "/".
std::string GetAppFolder();          // the folder of the running executable
std::string GetAppDataFolder();      // $XDG_DATA_HOME/Kestrin/ (default ~/.local/share/Kestrin/)
std::string GetUserProfileFolder();  // $HOME/
std::string GetTempFolder();         // GetAppDataFolder() + "Temp/": the scratch folder
std::string DataFolder();            // the scratch folder in use (gScratchPath)
void DataFolder(const std::string& folder);
std::string WorkingFolder();  // gSettings.WorkingFolder
void WorkingFolder(const std::string& folder);
// Holds the scratch folder for the rest of this process's life, so that no second program
// rewrites its scratch files while this one sets up or calculates: an advisory lock
// (flock) on the file "Kestrin.lock" in the folder, released by the system when the
// process ends, however it ends. Taking a folder this process already holds is a no-op.
// When another process holds it, the box "The data folder <folder> is in use by another
// Kestrin program. ..." is shown, nothing in the folder is changed, and the result is false. The program's start-up
// calls it once for the scratch folder (frmMain::PrepareDataFiles does); the calculation controllers call it for the
// folder they work in. The folder must exist.
bool bLockDataFolder(FolderArg folder = {});
// Error-source text of a procedure: "<program>.modDataIO.<procedure>".
std::string GetErrSource(const std::string& procedure);

// ---------------------------------------------------------------------------------------
// Scratch record files (WTH.DAT, LOD.DAT, ECO.DAT, RPT.DAT).
// Reads open the file read-only and never create it. A missing file, or the part of a record
// beyond the end of a short one, reads as zero bytes; a path that is there but cannot be read as a file is an error.
bool bWeatherRead(WeatherData& rec, FolderArg folder = {});
bool bWeatherWrite(const WeatherData& rec, FolderArg folder = {});
bool bLoadProfileRead(LoadProfileData& rec, FolderArg folder = {});   // record at byte 1
bool bLoadProfileRead2(LoadProfileData& rec, FolderArg folder = {});  // record at byte 260
bool bLoadProfileWrite(const LoadProfileData& rec, FolderArg folder = {});
bool bEconomicsRead(EconomicsData& rec, FolderArg folder = {});
bool bReportsRead(ReportData& rec, FolderArg folder = {});
bool bReportsWrite(const ReportData& rec, FolderArg folder = {});

// Copies CHL.DAT, SYS.DAT, WTH.DAT, LOD.DAT, TWR.DAT, RPT.DAT, INX.MDB and HW1.DAT from
// `source` to `dest`, replacing existing files; stops at the first failure (box with the
// step text, "Copy XXX File") and returns false.
bool CopyFiles(const std::string& source, const std::string& dest);

// ---------------------------------------------------------------------------------------
// System library: SYS.DAT, CHL.DAT, TWR.DAT (slot n at n x record size) and the index
// INX.MDB. Ids below 0 are rejected.
struct SystemListEntry {
  std::int32_t lID = 0;
  std::string sName;  // 40 characters, space-padded
  bool bSelected = false;
  float fTotalCondWaterFlow = 0;
  bool operator==(const SystemListEntry&) const = default;
};

bool bOpenIndexDatabase(std::shared_ptr<db::Database>& database, bool readOnly, FolderArg folder = {});
// While an object of this class lives, a record of the system library that has been read
// once (SYS.DAT, CHL.DAT or TWR.DAT, with its index check) is read again from memory. A
// calculation run holds one: it reads the same few records many times while its scratch
// folder is locked to it. Every write of this module, a read-write open of an index and the
// end of the last scope forget the kept records.
class LibraryReadScope {
 public:
  LibraryReadScope();
  ~LibraryReadScope();
  LibraryReadScope(const LibraryReadScope&) = delete;
  LibraryReadScope& operator=(const LibraryReadScope&) = delete;
};
bool bSystemRead(std::int16_t id, SystemData& rec, FolderArg folder = {});
bool bSystemWrite(std::int16_t id, const SystemData& rec, FolderArg folder = {});
bool bChillerRead(std::int16_t id, ChillerData& rec, FolderArg folder = {});
bool bChillerWrite(std::int16_t id, const ChillerData& rec, FolderArg folder = {});
bool bTowerRead(std::int16_t id, TowerData& rec, FolderArg folder = {});
bool bTowerWrite(std::int16_t id, const TowerData& rec, FolderArg folder = {});
// All systems in ascending order of name (case-insensitive); list[i] is entry i + 1.
bool bSystemListRead(std::int16_t& count, std::vector<SystemListEntry>& list, FolderArg folder = {});
// Clears the four ids of slot `slot` (1..30).
void ClearChillerAssignmentFromSchedule(std::int16_t slot, SystemData& rec);
// True when `id` is already in the duplicate list ("#|3||5|"); otherwise adds it.
bool bDuplicatedID(std::int16_t id, std::string& list);

// ---------------------------------------------------------------------------------------
// Results file CAL.DAT and error-line file ERR.DAT.
inline constexpr std::int64_t kCalFileLength = 934735;  // header + all sections and blocks

bool bCalcWriteHeaderData(FolderArg folder = {});
bool bCalcWritePLVData(const PLVSummaryData& summary, const PLVProfileData& profile, FolderArg folder = {});
bool bCalcReadPLVData(PLVSummaryData& summary, PLVProfileData& profile, FolderArg folder = {});
bool bCalcWriteEconData(const PLVSummaryData& summary, const EconSummaryData& econ,
                        const vb::Array<SystemEconData, 1, 4>& systems, FolderArg folder = {});
bool bCalcReadEconData(PLVSummaryData& summary, EconSummaryData& econ, vb::Array<SystemEconData, 1, 4>& systems,
                       FolderArg folder = {});
bool bCalcWriteSimData(std::int16_t system, std::int16_t month, const SimMonthData& block, FolderArg folder = {});
bool bCalcReadSimData(std::int16_t system, std::int16_t month, SimMonthData& block, FolderArg folder = {});

// Appends every line, each ended by CR LF.
bool bErrorWrite(const std::vector<std::string>& lines, FolderArg folder = {});
// Reads every line (without its line end): lines[i] is line i + 1 and count the number of
// lines; an empty file gives count 0 and one empty entry. A missing file is an error.
bool bErrorRead(std::vector<std::string>& lines, std::int32_t& count, FolderArg folder = {});
bool bErrorDelete(FolderArg folder = {});

// ---------------------------------------------------------------------------------------
// Project and settings files.
void InitProject(ProjectData& project);
void InitSettings(SettingsData& settings);
// Writes to a temporary file renamed into place; sets project.FilePath only on success.
bool SaveProject(const std::string& path, ProjectData& project);
bool SaveSettings(const std::string& path, const SettingsData& settings);
// True for a readable regular file (at most 1 MiB) whose root element is MardelData with the
// FileIdentifier "VEXON".
bool IsValidProjectFile(const std::string& path);
// On any failure the record is left untouched and a box names the cause: a file that is
// not a project (root element and identifier checked), a present section with a missing or
// unreadable value (named), a value outside the limits of its entry box in the main window
// (named, with the limits). Only regular files of at most 1 MiB are read.
bool LoadProject(const std::string& path, ProjectData& project);
// Starts from the defaults; a setting that is missing from its present section or cannot
// be read (UnitType must be 0 or 1) keeps its default alone, and one box (style 48) lists
// them; the result is then false. A file that cannot be read, or whose root is not
// MardelSettings, changes nothing.
bool LoadSettings(const std::string& path, SettingsData& settings);
// Appends <name>value</name> (value trimmed of spaces) as the last child of `parent`.
void CreateNodeValue(pugi::xml_node parent, const std::string& name, const std::string& value);

// ---------------------------------------------------------------------------------------
// Summary CSV: two passes (0 inch-pound, 1 SI), CR LF lines, overwritten.
// The message of a CSV that was asked for and not written because the run did not get to it:
// the file, why, and to run the reports again.
std::string CsvNotWrittenMessage(const std::string& path, const std::string& reason);
// Why a CSV may not go to `path`, as the message that says so: the file, with every link
// followed, lies in the program folder. "" when it may.
std::string CsvProgramFolderRefusal(const std::string& path);
// A file the program reads as its own, which a CSV never replaces: what it is, as a message
// names it ("the open project's file"), its path, and whether the coming run writes it (a
// report), which makes it count also while it does not exist yet.
struct CsvOwnFile {
  std::string what;
  std::string path;
  bool writtenByRun = false;
};
// Why the summary CSV may not be written to `path`, as the message that says so; "" when it
// may. Refused are a folder at the path (the program folder, or one in it, with
// CsvProgramFolderRefusal's message), a path in the program folder, a path whose folder does
// not exist, and a file that is one of `ownFiles` or a file in the scratch folder. Files are
// compared by identity (device and inode, which also sees links and second mounts); a path
// that does not exist yet can only be a file the run writes, compared by its folder's
// identity and its name.
std::string CsvPathRefusal(const std::string& path, const std::vector<CsvOwnFile>& ownFiles);
// A CSV in the program folder is refused with CsvProgramFolderRefusal's message, before
// anything is written; a write that fails names its cause (a folder at the path, a missing
// folder, a read-only disk, a full disk) where the system tells it.
bool ExportCSV(const std::string& path, const ProjectData& project, const vb::Array<float, 0, 3>& weightingFactor,
               const vb::Array<float, 0, 3>& ecwt);
bool ExportCSV0(std::ostream& out, const ProjectData& project, const vb::Array<float, 0, 3>& weightingFactor,
                const vb::Array<float, 0, 3>& ecwt, std::int16_t pass);

}  // namespace modDataIO
