#include "app/resources/TextCatalog.h"

#include <utility>

namespace textcatalog {
namespace {

std::map<int32_t, std::string>& EnglishTexts() {
  static std::map<int32_t, std::string> texts;
  return texts;
}

const TextCatalog*& InstalledCatalog() {
  static const TextCatalog* catalog = nullptr;
  return catalog;
}

}  // namespace

void SetEnglishTexts(std::map<int32_t, std::string> texts) { EnglishTexts() = std::move(texts); }

void AddEnglishTexts(const std::map<int32_t, std::string>& texts) { EnglishTexts().insert(texts.begin(), texts.end()); }

void Install(const TextCatalog* catalog) { InstalledCatalog() = catalog; }

void Uninstall(const TextCatalog* catalog) {
  if (InstalledCatalog() == catalog) InstalledCatalog() = nullptr;
}

const TextCatalog* Installed() { return InstalledCatalog(); }

std::string GetString(int32_t id) {
  if (const TextCatalog* catalog = InstalledCatalog()) return catalog->GetString(id);
  const auto& texts = EnglishTexts();
  const auto it = texts.find(id);
  return it == texts.end() ? std::string(kMissingText) : it->second;
}

}  // namespace textcatalog
