// The summary CSV of a PLV report run: the project and its four rating points, once in
// inch-pound and once in SI units, each pass converted with a unit converter of its own.
// Numbers are written with "." whatever the locale; quoted texts double their quotes.
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <sstream>

#include "app/storage/data_files.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "libs/units/clsUnits.h"
#include "platform/savefile/save_file.h"

namespace modDataIO {
namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    out += c;
    if (c == '"') out += '"';
  }
  return out + "\"";
}

std::string FolderOf(const std::string& path) { return std::filesystem::path(path).parent_path().string(); }

// The message of a CSV whose write failed with error `number` and `description`: the cause
// as far as the system tells it (a folder at the path, a missing folder, a read-only disk, a
// full disk) and what to do about it.
std::string CsvWriteFailedMessage(const std::string& path, long number, const std::string& description) {
  const std::string head = "The summary CSV file " + path + " was not written: ";
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    return head + "it is a folder.\nChoose a CSV file in the report options.";
  if (number == vb::kPathNotFound)
    return head + "its folder " + FolderOf(path) +
           " does not exist.\nChoose a CSV file in an existing folder in the report options.";
  if (savefile::FailedBecause(description, EROFS))
    return head + "the folder " + FolderOf(path) +
           " is on a read-only disk.\nChoose a CSV file in another folder in the report options.";
  if (savefile::FailedBecause(description, ENOSPC) || savefile::FailedBecause(description, EDQUOT) ||
      savefile::FailedBecause(description, EFBIG))
    return head + "the disk of the folder " + FolderOf(path) +
           " is full.\nMake room on that disk and run the reports again, or choose a CSV file on another disk in "
           "the report options.";
  return head + "its folder " + FolderOf(path) +
         " cannot be written to.\nChoose a CSV file in another folder in the report options.";
}

}  // namespace

bool ExportCSV0(std::ostream& out, const ProjectData& p, const vb::Array<float, 0, 3>& weightingFactor,
                const vb::Array<float, 0, 3>& ecwt, std::int16_t pass) {
  std::string step;
  return modpublic::RunGuarded("modDataIO.ExportCSV0", step, 16, [&] {
    step = "Set Units: " + vb::CStr(static_cast<long long>(pass));
    clsUnits units;
    units.UseStandardLabels(true);
    units.CurrentUnitOfMeasure(pass);
    const char* const eol = "\r\n";
    auto unit = [&](long id) { return " " + modpublic::Parenthesize(units.UnitStr(id)); };
    auto value = [&](double v, long id, const char* format) { return vb::Format(units.CnvToDevice(v, id), format); };
    auto line = [&](const std::string& caption, double v, long id, const char* format = "0.0") {
      out << caption << "," << value(v, id, format) << "," << unit(id) << eol;
    };
    out << "Project Name:," << Quoted(p.ProjectName) << eol << eol;
    out << "Units," << vb::CStr(static_cast<long long>(pass)) << (pass == 0 ? ",IP" : ",SI") << eol;

    step = "Export Summary Table";
    out << "Chiller Load (%),Evaporator Leaving Temp" << unit(F_TO_C) << ",Evaporator Flow Rate" << unit(GPM_TO_LPS)
        << ",Condenser Entering Temp" << unit(F_TO_C) << ",Condenser Flow Rate" << unit(GPM_TO_LPS)
        << ",Weighting Factor" << eol;
    const double chillers = p.ChillerNumber;
    const double evapFlow = vb::Divide(static_cast<double>(p.EvapFlowRate) * p.PlantCapacity, chillers);
    const double condFlow = vb::Divide(static_cast<double>(p.CondFlowRate) * p.PlantCapacity, chillers);
    for (int k = 4; k >= 1; --k) {
      const int i = k - 1;
      const double evap = p.EvapFlowControl == 3 ? evapFlow : evapFlow * k / 4.0;
      out << vb::CStr(static_cast<long long>(k * 100 / 4)) << "," << value(p.DesignLCHWT, F_TO_C, "0.0") << ","
          << value(evap, GPM_TO_LPS, "0.0") << ","
          << (weightingFactor(i) >= 0.0001f ? value(ecwt(i), F_TO_C, "0.0") : std::string("n/a")) << ","
          << value(condFlow, GPM_TO_LPS, "0.0") << "," << vb::Format(weightingFactor(i), "0.000") << eol;
    }

    step = "Export Weather Input Data";
    out << "WEATHER" << eol << "City," << Quoted(p.CityName) << eol << "Location," << Quoted(p.LocationName) << eol
        << "Region," << Quoted(p.RegionName) << eol << eol;

    step = "Export Building Input Data";
    out << "BUILDING" << eol << "Building Type," << Quoted(p.BuildingType) << eol;
    line("Peak Building Load", p.BuildingPeakLoad, TONS_TO_KW);
    out << "Economizer,"
        << (p.Economizer == 2   ? "Waterside Economizer"
            : p.Economizer == 1 ? "Outdoor Air Economizer"
                                : "No Economizer")
        << eol << eol;

    step = "Export Chiller Plant Input Data";
    out << "CHILLER PLANT" << eol;
    line("Plant Capacity", p.PlantCapacity, TONS_TO_KW);
    out << "Chillers in Plant," << vb::CStr(static_cast<long long>(p.ChillerNumber)) << eol;
    out << "Plant Control," << Quoted(p.PlantControlName) << eol;
    line("Design LCHWT", p.DesignLCHWT, F_TO_C);
    line("Design ECWT", p.DesignECWT, F_TO_C);
    line("Minimum ECWT", p.MinECWT, F_TO_C);
    const char* const flowFormat = pass == 0 ? "0.00" : "0.000";
    line("Evaporator Flow Rate", p.EvapFlowRate, GPMTON_TO_LSKW, flowFormat);
    out << "Evaporator Flow Control," << Quoted(p.EvapFlowControlName) << eol;
    line("Condenser Flow Rate", p.CondFlowRate, GPMTON_TO_LSKW, flowFormat);
    out << eol;

    step = "Export Cooling Tower Input Data";
    out << "COOLING TOWER" << eol;
    line("Design Wet-Bulb", p.DesignWB, F_TO_C);
    line("Design Approach", p.DesignApproach, F_TO_K);
    out << eol;
    return true;
  });
}

std::string CsvNotWrittenMessage(const std::string& path, const std::string& reason) {
  return "The summary CSV file " + path + " was not written: " + reason + ".\nRun the reports again to write it.";
}

std::string CsvProgramFolderRefusal(const std::string& path) {
  if (!savefile::InProtectedFolder(path)) return {};
  return savefile::ProgramFolderRefusal("The summary CSV file " + path, modpublic::gAppPath) +
         ": nothing is written there.\nChoose a CSV file in another folder.";
}

bool ExportCSV(const std::string& path, const ProjectData& project, const vb::Array<float, 0, 3>& weightingFactor,
               const vb::Array<float, 0, 3>& ecwt) {
  // A plant without chillers has no per-chiller flows: nothing is written.
  if (project.ChillerNumber < 1) {
    vb::Err().Clear();
    modpublic::ShowError("The summary CSV file " + path + " was not written: the plant has " +
                             vb::CStr(static_cast<long long>(project.ChillerNumber)) + " chillers.",
                         16, "modDataIO.ExportCSV");
    return false;
  }
  // A path in the program folder (from a settings file edited by hand) is refused with its own
  // message before anything is written.
  if (const std::string refusal = CsvProgramFolderRefusal(path); !refusal.empty()) {
    vb::Err().Clear();
    modpublic::ShowError(refusal, 16, "modDataIO.ExportCSV");
    return false;
  }
  std::ostringstream out;
  if (!ExportCSV0(out, project, weightingFactor, ecwt, 0)) return false;
  if (!ExportCSV0(out, project, weightingFactor, ecwt, 1)) return false;
  return modpublic::RunGuarded(
      "modDataIO.ExportCSV", [&] { return CsvWriteFailedMessage(path, vb::Err().Number, vb::Err().Description); }, 16,
      [&] { detail::WriteFileAtomic(path, out.str(), /*durable=*/true); });
}

namespace {

std::filesystem::path FolderOfTarget(const std::filesystem::path& target) {
  return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

// The device and inode of the file at `path`, every link followed; false when there is none.
bool Identity(const std::filesystem::path& path, struct stat& id) { return ::stat(path.c_str(), &id) == 0; }

std::string OwnFileRefusal(const std::string& path, const std::string& what, const std::string& file) {
  return "The summary CSV file " + path + " is " + what + " " + file +
         ", which the program reads as its own: the CSV never replaces it.\nChoose another CSV file.";
}

}  // namespace

std::string CsvPathRefusal(const std::string& path, const std::vector<CsvOwnFile>& ownFiles) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    // The program folder (typed without its trailing slash, or a link to it) is named as the
    // folder of the file the save would write.
    const std::string refusal = CsvProgramFolderRefusal(path.ends_with('/') ? path : path + "/");
    if (!refusal.empty()) return refusal;
    return "The summary CSV file " + path + " is a folder, not a file.\nChoose a CSV file in it or in another folder.";
  }
  if (std::string refusal = CsvProgramFolderRefusal(path); !refusal.empty()) return refusal;
  const std::filesystem::path target = savefile::SaveTarget(path);
  const std::filesystem::path folder = FolderOfTarget(target);
  struct stat folderId {};
  if (!Identity(folder, folderId) || !S_ISDIR(folderId.st_mode))
    return "The summary CSV file " + path + " cannot be written: there is no folder " + folder.string() +
           ".\nChoose a CSV file in an existing folder.";

  struct stat fileId {};
  if (!Identity(target, fileId)) {
    // A new file: only a file that the run writes can be at this name by then.
    for (const CsvOwnFile& own : ownFiles) {
      if (!own.writtenByRun || own.path.empty()) continue;
      const std::filesystem::path ownPath(own.path);
      struct stat ownFolderId {};
      if (ownPath.filename() == target.filename() && Identity(FolderOfTarget(ownPath), ownFolderId) &&
          savefile::SameFile(ownFolderId, folderId))
        return OwnFileRefusal(path, own.what, own.path);
    }
    return {};
  }
  for (const CsvOwnFile& own : ownFiles) {
    struct stat ownId {};
    if (!own.path.empty() && Identity(own.path, ownId) && savefile::SameFile(ownId, fileId))
      return OwnFileRefusal(path, own.what, own.path);
  }
  for (std::filesystem::directory_iterator it(DataFolder(), ec), end; !ec && it != end; it.increment(ec)) {
    struct stat scratchId {};
    if (Identity(it->path(), scratchId) && savefile::SameFile(scratchId, fileId))
      return OwnFileRefusal(path, "the calculation's scratch file", it->path().string());
  }
  return {};
}

}  // namespace modDataIO
