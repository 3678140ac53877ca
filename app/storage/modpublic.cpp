#include "app/storage/modpublic.h"

#include <filesystem>
#include <system_error>

#include "kestrin_version.h"
#include "libs/vb/vbcompat.h"
#include "platform/help/help.h"
#include "platform/savefile/save_file.h"
#include "platform/ui/ui.h"

namespace modpublic {

clsUnits gUnits;

std::string gHelpFile;
std::string gAppPath;
std::string gMaxText;
std::string gMinText;
std::string gYrText;
std::string gYrsText;
std::array<std::string, 13> gMonthNames;
std::string gDataIOErrorMsg;
std::array<std::string, 6> gFileFilterNames;
std::array<ChillerTypeEntry, 12> gChillerTypes;
std::array<std::string, 4> gPaymentTypes;
std::array<std::string, 5> gPlantControls;
std::array<std::string, 4> gDayTypes;
int16_t gHeatRecoveryOption = 0;
int32_t gSystemEfficiencyUnitID = NO_CONV;
int32_t gEfficiencyUnitID = NO_CONV;

namespace {
// The help page in the program folder; topics are anchors "ctx<context id>".
constexpr const char* kHelpFileName = "VEXON.html";

// Every save of the program (projects, settings, reports, the CSV, scratch files) is refused
// inside the program folder, wherever gAppPath points at the time of the save.
[[maybe_unused]] const bool kProgramFolderProtected = [] {
  savefile::SetProtectedFolder([] { return gAppPath; });
  return true;
}();
}  // namespace

bool InitGlobalSettings(const std::string& appFolder) {
  return RunGuarded("modMain.InitGlobalSettings()", "", ui::kCritical, [&] {
    gHelpFile = AddBackslash(appFolder) + kHelpFileName;
    gAppPath = AddBackslash(appFolder);
    gMaxText = "Max";
    gMinText = "Min";
    gYrText = "yr";
    gYrsText = "yrs";
    gMonthNames = {"", "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    gDataIOErrorMsg = "The following error occurred while reading or writing data:";
    gFileFilterNames = {
        "", "All Files", "Chiller Library Files", "Report Files", "Weather Files", "Chiller Data Files"};
    gChillerTypes = {{{"W/C Centrifugal"},
                      {"W/C Rotary Screw"},
                      {"W/C Packaged Screw"},
                      {"W/C Packaged Reciprocating"},
                      {"W/C Packaged Scroll"},
                      {"W/C Single-Effect Absorption"},
                      {"W/C Double-Effect Absorption"},
                      {"W/C Direct-Fired Absorption"},
                      {"W/C Engine Chiller"},
                      {"A/C Packaged Screw"},
                      {"A/C Packaged Reciprocating"},
                      {"A/C Packaged Scroll"}}};
    gPaymentTypes = {"", "Equal payments", "Interest only payments", "Equal principal payments"};
    gPlantControls = {"", "Sequenced", "Part Load Chiller: Low Loads", "Part Load Chiller: High + Low Loads",
                      "Equal Unloading to 0%"};
    gDayTypes = {"", "WeekDay", "Saturday", "Sunday"};
    gHeatRecoveryOption = 0;
  });
}

bool UpdateProgress(long mode, double value, const std::string& message) {
  ui::ProgressTarget* target = ui::progressTarget();
  if (target == nullptr) return true;
  if (target->userCanceled()) return false;
  target->setValue(static_cast<float>(value));
  if (mode == kProgressCalculating)
    target->setAction("Calculating...");
  else if (mode == kProgressGenerating)
    target->setAction("Generating...");
  target->setMessage(message);
  ui::host().processEvents();
  return true;
}

std::string FormatUnitValue(double value, long unitId, const std::string& format) {
  std::string result;
  RunGuarded("modPublic.FormatUnitValue()", "", ui::kCritical, [&] {
    const double shown = gUnits.CnvToDevice(value, unitId);
    if (!vb::Trim(format).empty()) {
      result = vb::Format(shown, format);
      return;
    }
    // The pattern by id, tested in this order (the efficiency ids are program-wide names).
    const char* pattern = nullptr;
    if (unitId == F_TO_K || unitId == F_TO_C)
      pattern = "0.0";
    else if (unitId == TONS_TO_KW || unitId == TONHR_TO_KWH)
      pattern = "###,###,###,##0";
    else if (unitId == KWTON_TO_IKWKW)
      pattern = "0.000";
    else if (unitId == gSystemEfficiencyUnitID)
      pattern = "0.000";
    else if (unitId == gEfficiencyUnitID)
      pattern = "0.00";
    else if (unitId == PCT_TO_PCT)
      pattern = "0";
    else if (unitId == GPMTON_TO_LSKW)
      pattern = gUnits.CurrentUnitOfMeasure() == nENGLISH ? "0.00" : "0.000";
    // No pattern: the full-precision text, as a unit entry box without a picture shows it.
    result = vb::Format(shown, pattern ? pattern : "");
  });
  return result;
}

std::string FormatUnitValue(const std::string& value, long unitId, const std::string& format) {
  if (!vb::IsNumeric(value)) return vb::Trim(value);
  double number = 0.0;
  const bool ok = RunGuarded("modPublic.FormatUnitValue()", "", ui::kCritical, [&] { number = vb::CDbl(value); });
  return ok ? FormatUnitValue(number, unitId, format) : std::string();
}

std::string AddUnitLabel(const std::string& caption, long unitId, bool parenthesize) {
  std::string result = vb::Trim(caption);
  if (unitId >= 1 && unitId <= gUnits.Count()) {
    const std::string label = gUnits.UnitStr(unitId);
    result += " " + (parenthesize ? Parenthesize(label) : label);
  }
  return result;
}

bool GetPlantControl(long index, std::string& name) {
  return RunGuarded("modPublic.GetPlantControl()", "", ui::kExclamation, [&] {
    if (index >= 1 && index < static_cast<long>(gPlantControls.size()))
      name = gPlantControls[static_cast<std::size_t>(index)];
  });
}

std::string GetDayTypeName(const std::string& key) {
  const std::string k = vb::UCase(vb::Trim(key));
  if (k == "WEEKDAY") return gDayTypes[1];
  if (k == "SATURDAY") return gDayTypes[2];
  if (k == "SUNDAY") return gDayTypes[3];
  return {};
}

std::string GetOpPeriodString(int16_t fromMonth, int16_t toMonth, int16_t fromDay, int16_t toDay) {
  std::string result;
  RunGuarded(std::string(kestrin::kProgramName) + ".modPublic." + "GetOpPeriodString",
             "Unable to get string for operating period string", ui::kCritical, [&] {
               result = "From " + vb::CStr(fromMonth) + "/" + vb::CStr(fromDay) + " To " + vb::CStr(toMonth) + "/" +
                        vb::CStr(toDay);
             });
  return result;
}

void GetMonthNames(std::vector<std::string>& names) { names.assign(gMonthNames.begin(), gMonthNames.end()); }

void ShowHelpTopic(std::uintptr_t /*window*/, long contextId) {
  if (!FileExists(gHelpFile)) {
    ui::host().messageBox("The help file " + gHelpFile + " was not found.", ui::kExclamation, "");
    return;
  }
  if (help::ShowTopic(gHelpFile, contextId)) return;
  ui::host().messageBox(HelpNotShownMessage(gHelpFile), ui::kExclamation, "");
}

std::string HelpNotShownMessage(const std::string& helpFile) {
  return "No web browser could be started to show the help.\nThe help is the file " + helpFile +
         "; open it in a web browser.";
}

bool ReplaceConfirmed(const std::string& path) {
  return ui::host().messageBox(path + " already exists. Do you want to replace it?", ui::kYesNo | ui::kExclamation,
                               "") == ui::kYes;
}

std::string ProgramFolderRefusal(const std::string& path, const std::string& what) {
  return savefile::ProgramFolderRefusal(path, gAppPath) + ". The " + what +
         " was not saved; save it in another folder.";
}

bool FileExists(const std::string& path) {
  bool exists = false;
  RunGuarded("modPublic.FileExists()", "", ui::kCritical, [&] {
    const std::string p = vb::Trim(path);
    if (p.empty() || p.find_first_of("?*") != std::string::npos) return;
    // A path that cannot be examined (no permission, a name too long) is not found.
    std::error_code ec;
    exists = std::filesystem::exists(std::filesystem::path(p), ec) && !ec;
  });
  return exists;
}

std::string AddBackslash(const std::string& path) {
  std::string p = vb::Trim(path);
  if (!p.empty() && p.back() != '/') p += '/';
  return p;
}

std::string QuoteString(const std::string& s) {
  std::string r = vb::Trim(s);
  if (r.empty()) return r;
  if (r.front() != '\'') r.insert(0, "'");
  if (r.back() != '\'') r += '\'';
  return r;
}

std::string TrimNull(const std::string& s) {
  const std::string r = vb::Trim(s);
  const std::size_t nul = r.find('\0');
  return nul == std::string::npos ? r : r.substr(0, nul);
}

std::string BracketName(const std::string& s) { return "[" + s + "]"; }

std::string Parenthesize(const std::string& s) { return "(" + s + ")"; }

std::string GetLetter(long n, bool upper) {
  if (n < 1 || n > 26) return {};
  return std::string(1, static_cast<char>((upper ? 'A' : 'a') + (n - 1)));
}

int SelectItemByItemData(ListControl* control, long value) {
  if (control == nullptr) return -1;
  int found = -1;
  try {
    const int count = control->ListCount();
    if (count <= 0) return -1;
    for (int i = 0; i < count; ++i) {
      if (control->ItemData(i) == value) {
        found = i;
        break;
      }
    }
    control->ListIndex(found);
  } catch (const std::exception& e) {
    vb::NoteIgnoredError("modpublic::SelectItemByItemData", e);
  }
  return found;
}

}  // namespace modpublic
