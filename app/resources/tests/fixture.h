// Test fixtures of the language resources: a program folder in a temp directory with a
// configuration file and resource databases built from rows, a unit entry control stand-in
// and the offscreen application.
#pragma once

#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/ui.h"

namespace fixture {

// One row of table Translations. disabled: nullopt stores NULL.
struct Row {
  std::string form;
  std::string control;
  std::string index;
  std::string property;
  bool metric = false;
  std::optional<int> disabled = 0;
  std::string text;
  int32_t unit = 0;
  std::optional<int32_t> resourceId;
};

// A program folder of its own under the temp directory, removed afterwards. Installs a
// recording message host for its lifetime.
class ProgramFolder {
 public:
  ProgramFolder();
  ~ProgramFolder();
  const std::string& path() const { return path_; }
  // Writes the resource configuration file.
  void WriteConfig(const std::string& xml) const;
  // Builds <folder>/<localeId>/Resource.mdb with the rows (an empty table for none).
  void WriteDatabase(int32_t localeId, const std::vector<Row>& rows) const;
  std::vector<std::string> MessageTexts() const;

  ui::RecordingHost host;

 private:
  std::string path_;
  ui::ScopedHost scoped_{host};
};

// A configuration with current locale `current` and FONT/LANGUAGE elements for English
// (Arial 9) and German ("Liberation Sans", size `germanSize`).
std::string Config(const std::string& current, const std::string& germanSize = "9.5");

// The offscreen application the widget tests need.
void EnsureApplication();

}  // namespace fixture

// Stands in for the unit entry control: a widget with the property the language resources set.
class csQuillet : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QStringList TranslationStrings READ TranslationStrings WRITE setTranslationStrings)

 public:
  using QWidget::QWidget;
  QStringList TranslationStrings() const { return strings_; }
  void setTranslationStrings(const QStringList& strings) { strings_ = strings; }

 private:
  QStringList strings_;
};
