// Numbered texts (report headings and legends taken by number) without any widget.
//
// The program asks textcatalog::GetString(id). When a translation catalog is installed
// (CResource installs itself once its resource database is open), it answers every id,
// "?????" for one it does not hold. Otherwise the built-in English table answers, and an id
// missing there gives "?????" as well.
//
// The English table is supplied by its owner through SetEnglishTexts; this header only
// holds the mechanism, so that the reports need neither Qt Widgets nor a database.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace textcatalog {

// The answer for an id that has no text.
inline constexpr const char kMissingText[] = "?????";

// A source of numbered texts.
class TextCatalog {
 public:
  virtual ~TextCatalog() = default;
  // The text with that number, or kMissingText.
  virtual std::string GetString(int32_t id) const = 0;
};

// Replaces the built-in English table (id -> text).
void SetEnglishTexts(std::map<int32_t, std::string> texts);
// Adds texts to the English table; an id the table already holds keeps its text.
void AddEnglishTexts(const std::map<int32_t, std::string>& texts);

// Installs a catalog (not owned) that answers instead of the English table; nullptr
// returns to the English table. Uninstall(c) does that only when c is the installed one.
void Install(const TextCatalog* catalog);
void Uninstall(const TextCatalog* catalog);
const TextCatalog* Installed();

// The numbered text: from the installed catalog when there is one, else from the English
// table; kMissingText when the id has no text.
std::string GetString(int32_t id);

}  // namespace textcatalog
