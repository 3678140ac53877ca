// CResource: start-up (configuration, database), lookups and the text helpers. The form
// operations are in CResource_forms.cpp.
#include "app/resources/CResource.h"

#include <fstream>
#include <iterator>
#include <utility>

#include "app/resources/ResourceConfig.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "kestrin_version.h"
#include "libs/vb/vbcompat.h"
#include "libs/vb/vberror.h"
#include "platform/db/db.h"
#include "platform/ui/ui.h"

namespace {

constexpr char kBoxTitle[] = "Brimlow";
constexpr char kDefaultLanguageName[] = "English";
constexpr char kDefaultFontName[] = "Arial";
constexpr double kDefaultFontSize = 9.0;

bool Metric() { return modpublic::gUnits.CurrentUnitOfMeasure() != nENGLISH; }

// A Disabled value of NULL counts as disabled, like any value but 0.
bool IsDisabled(const db::Statement& row, int column) { return row.IsNull(column) || row.Int(column) != 0; }

std::string StartupFailedText(const std::string& languageName) {
  return "The language database for the following language could not be opened:  " + languageName +
         ".  Due to this problem, program startup has failed.  " + "Please contact Pellacor for assistance.";
}

// The four text keys of a row, matched without regard to case; an Index stored as NULL
// counts as ''.
constexpr char kKeyCondition[] =
    " WHERE FormName = ?1 COLLATE NOCASE AND ControlName = ?2 COLLATE NOCASE"
    " AND IFNULL(\"Index\", '') = ?3 COLLATE NOCASE AND PropertyName = ?4 COLLATE NOCASE";

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) vb::Raise(vb::kPathFileAccess, "Cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

CResource::CResource(std::string programFolder) : programFolder_(std::move(programFolder)) {
  if (programFolder_.empty()) {
    programFolder_ = modpublic::gAppPath.empty() ? modDataIO::GetAppFolder() : modpublic::gAppPath;
  }
  resourceDBOpened_ = OpenResources() != 0;
  if (resourceDBOpened_) textcatalog::Install(this);
}

CResource::~CResource() {
  textcatalog::Uninstall(this);
  modpublic::CloseDatabase(resourceDb_);
}

void CResource::ResourceDb(std::shared_ptr<db::Database> database) { resourceDb_ = std::move(database); }

void CResource::CurrentForm(const std::string& name) {
  if (!name.empty()) currentForm_ = name;
}

void CResource::Language(const std::string& name) {
  if (!name.empty()) language_ = name;
}

std::string CResource::GetErrSource(const std::string& procedure) const {
  return vb::UCase(kestrin::kProgramName) + ".CResource." + procedure;
}

// ---- Start-up ---------------------------------------------------------------------------------

void CResource::ApplySettings(int32_t found, const std::string& languageName, const std::string& fontName,
                              double fontSize) {
  if (found > 0) {
    localeID_ = found;
    languageName_ = languageName;
    fontName_ = fontName;
    fontSize_ = fontSize;
  } else {
    localeID_ = kEnglishLocaleID;
    languageName_ = kDefaultLanguageName;
    fontName_ = kDefaultFontName;
    fontSize_ = kDefaultFontSize;
  }
}

int32_t CResource::OpenResources() {
  int32_t rows = 0;
  modpublic::RunGuarded(GetErrSource("OpenResources"), "", ui::kExclamation, [&] {
    std::string name, font;
    double size = 0.0;
    int32_t found = GetLanguageSettings(0, name, font, size);
    if (found == 0) found = GetLanguageSettings(kEnglishLocaleID, name, font, size);
    ApplySettings(found, name, font, size);

    if (!OpenResourceDatabase(localeID_)) {
      if (localeID_ != kEnglishLocaleID) {
        ui::host().messageBox(
            "You have chosen to run Tolvane software using the following language:  " + languageName_ +
                ".  Brimlow does not currently support that language.  " +
                "Therefore the program will be run using the following language instead:  " + kDefaultLanguageName +
                ".",
            ui::kExclamation, kBoxTitle);
      }
      found = GetLanguageSettings(kEnglishLocaleID, name, font, size);
      ApplySettings(found, name, font, size);
      if (!OpenResourceDatabase(localeID_)) {
        ui::host().messageBox(StartupFailedText(languageName_), ui::kExclamation, kBoxTitle);
        return;
      }
    }
    if (!modpublic::IsDatabaseOpen(resourceDb_)) {
      ui::host().messageBox(StartupFailedText(languageName_), ui::kExclamation, kBoxTitle);
      return;
    }
    db::Statement count = resourceDb_->Prepare("SELECT COUNT(*) FROM Translations");
    openedLocaleID_ = localeID_;
    if (count.Step()) rows = static_cast<int32_t>(count.Int(0));
  });
  return rows;
}

int32_t CResource::GetLanguageSettings(int32_t localeId, std::string& languageName, std::string& fontName,
                                       double& fontSize) {
  languageName.clear();
  fontName.clear();
  fontSize = 0.0;
  int32_t result = 0;
  modpublic::RunGuarded(GetErrSource("GetLanguageSettings"), "", ui::kExclamation, [&] {
    const std::string path = modpublic::AddBackslash(programFolder_) + resourceconfig::kConfigFileName;
    if (!modpublic::FileExists(path)) {
      ui::host().messageBox(std::string("The current language could not be determined.  The program will resort "
                                        "to the default language: ") +
                                kDefaultLanguageName,
                            ui::kExclamation, GetErrSource("GetLanguageSettings"));
      languageName = kDefaultLanguageName;
      fontName = kDefaultFontName;
      fontSize = kDefaultFontSize;
      result = kEnglishLocaleID;
      return;
    }
    const std::string xml = ReadWholeFile(path);
    result = resourceconfig::ReadLanguageSettings(xml.data(), xml.size(), localeId, languageName, fontName, fontSize);
  });
  return result;
}

bool CResource::OpenResourceDatabase(int32_t localeId) {
  bool opened = false;
  modpublic::RunGuarded(GetErrSource("OpenResourceDatabase"), "", ui::kCritical, [&] {
    if (localeId > 0) {
      const std::string path =
          modpublic::AddBackslash(modpublic::AddBackslash(programFolder_) + vb::CStr(localeId)) + kDatabaseFileName;
      if (modpublic::FileExists(path)) {
        resourceDb_ = db::Database::Open(path, db::OpenMode::kReadOnly);
      }
    }
    opened = modpublic::IsDatabaseOpen(resourceDb_);
  });
  return opened;
}

// ---- Lookups ------------------------------------------------------------------------------------

std::string CResource::LookupTranslation(const std::string& controlName, const std::string& propertyName,
                                         const std::string& index) const {
  if (!modpublic::IsDatabaseOpen(resourceDb_)) return {};
  try {
    // The general row before its SI variant, so that the answer does not depend on the
    // order the rows were stored in.
    db::Statement row = resourceDb_->Prepare(std::string("SELECT Disabled, EnglishText FROM Translations") +
                                             kKeyCondition + " ORDER BY (Metric <> 0) LIMIT 1");
    row.Bind(1, currentForm_).Bind(2, controlName).Bind(3, index).Bind(4, propertyName);
    if (!row.Step()) return {};
    return IsDisabled(row, 0) ? std::string(kDisabledMarker) : row.Text(1);
  } catch (const std::exception& e) {
    vb::NoteIgnoredError("CResource::LookupTranslation", e);
    return {};
  }
}

bool CResource::SeekRow(const std::string& formName, const std::string& controlName, const std::string& propertyName,
                        const std::string& index, bool metric, std::string& text, int32_t& unit) const {
  db::Statement row = resourceDb_->Prepare(std::string("SELECT Disabled, EnglishText, Unit FROM Translations") +
                                           kKeyCondition + " AND (IFNULL(Metric, 0) <> 0) = ?5 LIMIT 1");
  row.Bind(1, formName).Bind(2, controlName).Bind(3, index).Bind(4, propertyName);
  row.Bind(5, metric ? 1 : 0);
  if (!row.Step()) return false;
  if (IsDisabled(row, 0)) {
    text = kDisabledMarker;
  } else {
    text = row.Text(1);
    unit = static_cast<int32_t>(row.Int(2));
  }
  return true;
}

std::string CResource::SeekTranslation(const std::string& formName, const std::string& controlName, int32_t& unit,
                                       const std::string& propertyName, const std::string& index, bool metric) const {
  if (!modpublic::IsDatabaseOpen(resourceDb_)) return {};
  try {
    metric = metric || Metric();
    std::string text;
    if (SeekRow(formName, controlName, propertyName, index, metric, text, unit)) return text;
    if (metric && SeekRow(formName, controlName, propertyName, index, false, text, unit)) {
      return text;
    }
  } catch (const std::exception& e) {
    vb::NoteIgnoredError("CResource::SeekTranslation", e);
  }
  return {};
}

std::string CResource::GetString(int32_t id) const {
  if (modpublic::IsDatabaseOpen(resourceDb_)) {
    try {
      db::Statement row = resourceDb_->Prepare("SELECT EnglishText FROM Translations WHERE ResourceID = ?1 LIMIT 1");
      row.Bind(1, id);
      if (row.Step()) return row.Text(0);
    } catch (const std::exception& e) {
      vb::NoteIgnoredError("CResource::GetString", e);
    }
  }
  return textcatalog::kMissingText;
}

std::string CResource::GetResString(int16_t& row) const {
  std::string result;
  for (int n = 0; n < kMaxContinuedRows; ++n) {
    const std::string text = LookupTranslation(currentForm_, "CAPTION", n == 0 ? std::string() : vb::CStr(n));
    if (text.empty() || text == kDisabledMarker) break;
    if (row < INT16_MAX) ++row;
    if (text.back() != '_') {
      result += text;
      break;
    }
    result.append(text, 0, text.size() - 1);
  }
  return result;
}

// ---- Text helpers -------------------------------------------------------------------------------

std::string CResource::ReplaceTopicText(const std::string& text, const std::string& topic1, const std::string& topic2) {
  static const std::string kTopic1 = "<TOPIC_TEXT>";
  static const std::string kTopic2 = "<TOPIC_TEXT2>";
  std::string result;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, kTopic1.size(), kTopic1) == 0) {
      result += topic1;
      i += kTopic1.size();
    } else if (!topic2.empty() && text.compare(i, kTopic2.size(), kTopic2) == 0) {
      result += topic2;
      i += kTopic2.size();
    } else {
      result += text[i++];
    }
  }
  return result;
}

std::string CResource::NextToken(std::string& text, const std::string& delimiter) {
  const std::size_t p = delimiter.empty() ? std::string::npos : text.find(delimiter);
  if (p == std::string::npos) return std::exchange(text, std::string());
  std::string head = text.substr(0, p);
  text.erase(0, p + delimiter.size());
  return head;
}
