// The language resources service: one object that, when created, finds the installation's
// language, opens that language's resource database read-only and from then on translates
// the forms (captions, texts, tool tips, tags, combo-box entries, fonts, the texts of the unit
// entry controls) and answers numbered texts.
//
// Places: the configuration file ZeltroRESCFG.XML lies in the program folder, the database
// of a language at <program folder>/<LocaleID>/Resource.mdb (an SQLite file, opened
// read-only). When it cannot be opened the object is not ready: every lookup answers ""
// and the forms keep their design-time texts.
//
// Forms are Qt widgets: a form's name is the top-level widget's objectName, a control's
// name its objectName (widgets and QActions; unnamed and "qt_" objects are Qt's own parts),
// a control-array index the dynamic property "index", a Tag the dynamic property "tag".
// Composite names: "<tabs>.Tabs.Tab<i>", "<toolbar>.Buttons.Button<i>",
// "<statusbar>.Panels.Panel<i>" (i from 1; a status bar's panels are its labels) and
// "<view>.ColumnHeader" with Index i (the header columns of a table or tree view, from 1).
// The unit entry controls (class names beginning with "csQuillet" or "csTarrow") get their
// six texts through the Qt property "TranslationStrings" (a QStringList).
//
// While ready, the object answers textcatalog::GetString (it installs itself as the text
// catalog and removes itself when destroyed).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/resources/TextCatalog.h"

class QComboBox;
class QWidget;

namespace db {
class Database;
}

class CResource : public textcatalog::TextCatalog {
 public:
  // The table that holds the texts, as the resource databases carry it. Text keys compare
  // without regard to case; "Index" is '' for a control that is not part of an array;
  // Metric marks the SI variant of an item; Disabled (or NULL) switches a row off.
  static constexpr const char* kTranslationsSchema =
      "CREATE TABLE Translations ("
      " FormName TEXT NOT NULL COLLATE NOCASE,"
      " ControlName TEXT NOT NULL COLLATE NOCASE,"
      " \"Index\" TEXT NOT NULL DEFAULT '' COLLATE NOCASE,"
      " PropertyName TEXT NOT NULL COLLATE NOCASE,"
      " Metric INTEGER NOT NULL DEFAULT 0,"
      " Disabled INTEGER DEFAULT 0,"
      " EnglishText TEXT,"
      " Unit INTEGER NOT NULL DEFAULT 0,"
      " ResourceID INTEGER,"
      " PRIMARY KEY (FormName, ControlName, \"Index\", PropertyName, Metric));"
      "CREATE INDEX ResourceID ON Translations (ResourceID);";

  static constexpr const char* kDisabledMarker = "XXDised";
  static constexpr const char* kDatabaseFileName = "Resource.mdb";
  // Defaults when no configuration applies.
  static constexpr int32_t kEnglishLocaleID = 1033;

  // Reads the language settings and opens the resource database. programFolder: where the
  // configuration and the language folders lie; empty means the program folder
  // (modpublic::gAppPath, else the running executable's folder).
  explicit CResource(std::string programFolder = {});
  ~CResource() override;
  CResource(const CResource&) = delete;
  CResource& operator=(const CResource&) = delete;

  // ---- State ------------------------------------------------------------------------------
  bool ResourceDBOpened() const { return resourceDBOpened_; }
  const std::shared_ptr<db::Database>& ResourceDb() const { return resourceDb_; }
  void ResourceDb(std::shared_ptr<db::Database> database);
  // The form whose rows the lookups read. Setting "" keeps the previous name.
  const std::string& CurrentForm() const { return currentForm_; }
  void CurrentForm(const std::string& name);
  // A language name callers may set (start-up does not). Setting "" keeps the previous one.
  const std::string& Language() const { return language_; }
  void Language(const std::string& name);
  int32_t LocaleID() const { return localeID_; }
  int32_t OpenedLocaleID() const { return openedLocaleID_; }
  const std::string& LanguageName() const { return languageName_; }
  const std::string& FontName() const { return fontName_; }
  double FontSize() const { return fontSize_; }

  // Title of the class's error boxes: "<PROGRAM>.CResource.<procedure>".
  std::string GetErrSource(const std::string& procedure) const;
  // Whether the code runs inside a development environment: never in this program.
  static bool InIDE() { return false; }

  // ---- Lookups ----------------------------------------------------------------------------
  // The text of the row (CurrentForm, control, index, property), whatever its metric key;
  // kDisabledMarker for a disabled row; "" when there is none or the database is not open.
  std::string LookupTranslation(const std::string& controlName, const std::string& propertyName,
                                const std::string& index) const;
  // The text of the row (form, control, index, property, metric): with metric set (or SI
  // units in gUnits) the SI row first, then the general row. A found row sets unit to its
  // Unit id; a disabled one gives kDisabledMarker and leaves unit unchanged.
  std::string SeekTranslation(const std::string& formName, const std::string& controlName, int32_t& unit,
                              const std::string& propertyName, const std::string& index, bool metric) const;
  // The numbered text, or "?????" (also when the database is not open).
  std::string GetString(int32_t id) const override;
  // The current form's own caption row, continued while a text ends in "_": the "_" is
  // dropped and the next row (Index "1", "2", ...) appended. Stops at a text without "_", a
  // missing or disabled row, or after kMaxContinuedRows rows. row counts every row read.
  std::string GetResString(int16_t& row) const;
  static constexpr int kMaxContinuedRows = 100;

  // ---- Forms --------------------------------------------------------------------------------
  // Translates the form's caption and its controls' captions, texts, tool tips and tags.
  // A missing or disabled row leaves the design-time text. Sets CurrentForm.
  void LoadResStrings(QWidget* form);
  // Fills the combo box from its drop-down rows, entries first..last (each entry's number as
  // its item data, Qt::UserRole). False after an error (entries added so far stay).
  bool LoadComboBox(QComboBox* combo, int32_t first, int32_t last);
  // Switches the form and its captioned controls to the language's font.
  void ChangeFonts(QWidget* form);
  // Hands the six texts of the form's unit labels (lblMax ... lblInvalidInput) to its unit
  // entry controls, or the last complete set when the form lacks them.
  void LoadUnitToolTipText(QWidget* form);
  // LoadResStrings on every open window.
  void LoadAllForms();

  // ---- Text helpers -------------------------------------------------------------------------
  // Every "<TOPIC_TEXT>" replaced by topic1 and, when topic2 is not empty, every
  // "<TOPIC_TEXT2>" by topic2, in one pass (replacement texts are not searched again).
  static std::string ReplaceTopicText(const std::string& text, const std::string& topic1, const std::string& topic2);
  // The text before the first delimiter; text keeps what follows it. Without the delimiter
  // (or with an empty one) the whole text is returned and text becomes empty.
  static std::string NextToken(std::string& text, const std::string& delimiter);

 private:
  int32_t OpenResources();
  int32_t GetLanguageSettings(int32_t localeId, std::string& languageName, std::string& fontName, double& fontSize);
  bool OpenResourceDatabase(int32_t localeId);
  void ApplySettings(int32_t found, const std::string& languageName, const std::string& fontName, double fontSize);
  void SetUnitControlStrings(QWidget* form, const std::array<std::string, 6>& texts);
  bool SeekRow(const std::string& formName, const std::string& controlName, const std::string& propertyName,
               const std::string& index, bool metric, std::string& text, int32_t& unit) const;

  std::string programFolder_;
  std::shared_ptr<db::Database> resourceDb_;
  std::string currentForm_;
  std::string language_;
  int32_t openedLocaleID_ = 0;
  int32_t localeID_ = kEnglishLocaleID;
  std::string languageName_ = "English";
  std::string fontName_ = "Arial";
  double fontSize_ = 9.0;
  std::array<std::string, 6> unitTipTexts_;
  bool resourceDBOpened_ = false;
};
