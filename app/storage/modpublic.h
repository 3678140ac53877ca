// Program-wide routines and names: the error box (modpublic_errors.h, included here),
// progress and cancel, unit-aware value formatting through the shared converter gUnits,
// small text, list, file and database helpers, context help and the start-up name tables.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/storage/modpublic_errors.h"
#include "libs/units/clsUnits.h"

namespace modpublic {

// ---- Program-wide names -------------------------------------------------------------
// The arrays keep the program's index ranges: entries outside them (index 0 of a 1-based
// table) stay empty. InitGlobalSettings fills them; until then they are empty.

// The program's one shared unit converter. Every unit-aware display goes through it; the
// unit-controls binder sets its unit system. (The summary CSV export uses its own.)
extern clsUnits gUnits;

extern std::string gHelpFile;                        // the help page: program folder & "VEXON.html"
extern std::string gAppPath;                         // the program folder, ending with "/"
extern std::string gMaxText;                         // "Max"
extern std::string gMinText;                         // "Min"
extern std::string gYrText;                          // "yr"
extern std::string gYrsText;                         // "yrs"
extern std::array<std::string, 13> gMonthNames;      // 1..12: "Jan" .. "Dec"
extern std::string gDataIOErrorMsg;                  // heading of every data error box
extern std::array<std::string, 6> gFileFilterNames;  // 1..5: "All Files", ...

struct ChillerTypeEntry {
  std::string Name;
};
extern std::array<ChillerTypeEntry, 12> gChillerTypes;  // 0..11; chiller type code = index + 1
extern std::array<std::string, 4> gPaymentTypes;        // 1..3
extern std::array<std::string, 5> gPlantControls;       // 1..4
extern std::array<std::string, 4> gDayTypes;            // 1..3: "WeekDay", "Saturday", "Sunday"
extern int16_t gHeatRecoveryOption;                     // 0 for the whole run

// Unit-conversion ids of system and chiller efficiency values: NO_CONV (0) for the whole
// run, so efficiencies are shown unconverted with three decimals and no unit label.
extern int32_t gSystemEfficiencyUnitID;
extern int32_t gEfficiencyUnitID;

// Sets the names above in table order; appFolder is the program folder
// (modDataIO::GetAppFolder). True on success; on failure the error box
// "modMain.InitGlobalSettings()" and False (names set so far stay set).
bool InitGlobalSettings(const std::string& appFolder);

// ---- Progress --------------------------------------------------------------------------

enum ProgressMode : long { kProgressCalculating = 1, kProgressGenerating = 2 };

// Reports progress to the running progress window (ui::progressTarget()). False when the
// user pressed Cancel (nothing else is done then). Otherwise sets the bar to the value,
// the action caption ("Calculating..." for mode 1, "Generating..." for mode 2, unchanged
// for other modes) and the message, lets pending events run, and returns True. With no
// progress window installed it does nothing and returns True. Errors reach the caller.
bool UpdateProgress(long mode, double value, const std::string& message);

// ---- Unit-aware formatting ------------------------------------------------------------

// The IP value converted to the current unit system of gUnits (CnvToDevice) and formatted:
// with `format` when it is not blank, else by the id: F_TO_K/F_TO_C "0.0",
// TONS_TO_KW/TONHR_TO_KWH "###,###,###,##0", KWTON_TO_IKWKW "0.000",
// gSystemEfficiencyUnitID "0.000", gEfficiencyUnitID "0.00", PCT_TO_PCT "0",
// GPMTON_TO_LSKW "0.00" (IP) / "0.000" (SI); any other id the plain number text (CStr).
// On failure: the error box "modPublic.FormatUnitValue()" and an empty text.
std::string FormatUnitValue(double value, long unitId, const std::string& format = {});
// A numeric text is formatted as its number; any other text comes back trimmed ("n/a").
std::string FormatUnitValue(const std::string& value, long unitId, const std::string& format = {});
inline std::string FormatUnitValue(const char* value, long unitId, const std::string& format = {}) {
  return FormatUnitValue(std::string(value), unitId, format);
}

// The trimmed caption, then for 1 <= id <= gUnits.Count() a space and the unit label of the
// current unit system (in parentheses when asked). Any other id: the trimmed caption.
std::string AddUnitLabel(const std::string& caption, long unitId, bool parenthesize);

// ---- Name lookups ----------------------------------------------------------------------

// For 1 <= index <= 4 sets name to the plant-control name. An index outside leaves the
// name unchanged; the result is True in both cases (callers rely on it). False only when
// the lookup itself failed (error box "modPublic.GetPlantControl()").
bool GetPlantControl(long index, std::string& name);

// "WEEKDAY"/"SATURDAY"/"SUNDAY" (trimmed, any case) to the day-type name; else "".
std::string GetDayTypeName(const std::string& key);

// "From <from-month>/<from-day> To <to-month>/<to-day>" ("From 5/1 To 9/30").
std::string GetOpPeriodString(int16_t fromMonth, int16_t toMonth, int16_t fromDay, int16_t toDay);

// A fresh 1..12 array of the month names (index 0 empty).
void GetMonthNames(std::vector<std::string>& names);

// ---- Help ------------------------------------------------------------------------------

// Opens the help page at the topic of the context id. A missing help page, or a desktop
// where no browser can be started, is said in a message naming the help file. The window
// is the caller's (unused: the page opens in the browser).
void ShowHelpTopic(std::uintptr_t window, long contextId);
std::string HelpNotShownMessage(const std::string& helpFile);

// ---- Text and file helpers ---------------------------------------------------------------

// Asks whether the existing file `path` may be replaced, as every save that would replace a
// file the user chose asks; true on Yes.
bool ReplaceConfirmed(const std::string& path);

// The message of a save refused because the file (with every link followed) lies in the
// program folder; `what` is what was not saved ("project", "report").
std::string ProgramFolderRefusal(const std::string& path, const std::string& what);

// True when the trimmed path is not empty, holds neither "?" nor "*", and names an
// existing file or folder. A failed check shows the box "modPublic.FileExists()", False.
bool FileExists(const std::string& path);

// The trimmed path with "/" appended unless it already ends with "/"; "" stays "".
std::string AddBackslash(const std::string& path);
// The trimmed text with "'" added at the start and end where missing; "" stays "".
std::string QuoteString(const std::string& s);
// The trimmed text cut before its first NUL (spaces before the NUL stay).
std::string TrimNull(const std::string& s);
std::string BracketName(const std::string& s);   // "[" & s & "]"
std::string Parenthesize(const std::string& s);  // "(" & s & ")"
// Letter n (1..26) of the alphabet, "A".."Z" or "a".."z"; "" outside 1..26.
std::string GetLetter(long n, bool upper);

// ---- Lists -----------------------------------------------------------------------------

// What SelectItemByItemData needs of a list box or drop-down list; the windows adapt their
// widgets to it (entries 0..ListCount()-1, each with its item data).
class ListControl {
 public:
  virtual ~ListControl() = default;
  virtual int ListCount() const = 0;
  virtual long ItemData(int index) const = 0;
  virtual void ListIndex(int index) = 0;  // selects the entry (raises the selection event)
};

// Selects the first entry whose item data equals value and returns its index. When no
// entry matches, nothing is selected (ListIndex(-1)) and -1 is returned: a value the list
// does not hold must never silently become another entry. No control, or an empty list:
// returns -1 and changes nothing. Errors are ignored.
int SelectItemByItemData(ListControl* control, long value);

// ---- Windows and text boxes ----------------------------------------------------------------
// For any window held by an owning pointer (std::unique_ptr<QDialog>, ...) and any text box with
// text() and setSelection(start, length) (QLineEdit, ...).

namespace detail {
// Runs close(object) when there is an object, ignoring any error, then clears the reference.
template <class Holder, class Close>
void CloseAndClear(Holder& object, Close close) {
  if (object) {
    try {
      close(*object);
    } catch (const std::exception& e) {
      vb::NoteIgnoredError("modpublic: closing a window or database", e);
    }
  }
  object = nullptr;
}
}  // namespace detail

// Closes the window when there is one, ignoring any error, and clears the reference in every case.
template <class Holder>
void UnloadForm(Holder& form) {
  detail::CloseAndClear(form, [](auto& f) { f.close(); });
}

// Selects the whole text of the box: selection start 0, length the length of its text.
template <class TextBox>
void SelectAllText(TextBox& box) {
  try {
    box.setSelection(0, static_cast<int>(box.text().length()));
  } catch (const std::exception& e) {
    vb::NoteIgnoredError("modpublic::SelectAllText", e);
  }
}

// ---- Database objects --------------------------------------------------------------------
// For any database or recordset object with Close() and Name() (platform/db).

// Closes the object, ignoring any error, and clears the reference.
template <class Holder>
void CloseRecordset(Holder& recordset) {
  detail::CloseAndClear(recordset, [](auto& r) { r.Close(); });
}
template <class Holder>
void CloseDatabase(Holder& database) {
  detail::CloseAndClear(database, [](auto& d) { d.Close(); });
}
// True when there is an object and its Name() is not empty; any error counts as closed.
template <class Holder>
bool IsDatabaseOpen(const Holder& database) {
  try {
    return database && !database->Name().empty();
  } catch (...) {
    return false;
  }
}
template <class Holder>
bool IsRecordsetOpen(const Holder& recordset) {
  return IsDatabaseOpen(recordset);
}

}  // namespace modpublic
