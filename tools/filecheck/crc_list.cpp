#include "tools/filecheck/crc_list.h"

#include <charconv>

#include "tools/filecheck/modChecker.h"

namespace crclist {

namespace {

constexpr size_t kMaxValueLength = 254;

std::string TrimBlanks(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return "";
  return std::string(s.substr(first, s.find_last_not_of(" \t") - first + 1));
}

std::string Key(std::string_view s) { return modChecker::UCase(TrimBlanks(s)); }

}  // namespace

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(pos, end - pos));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    pos = end + 1;
  }
  return lines;
}

IniFile::IniFile(std::string_view text) {
  Section* current = nullptr;
  for (const std::string& raw : SplitLines(text)) {
    const std::string line = TrimBlanks(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      const size_t close = line.rfind(']');
      current = nullptr;
      if (close != std::string::npos)
        current = &sections_.emplace_back(Section{Key(std::string_view(line).substr(1, close - 1)), {}});
      continue;
    }
    const size_t eq = line.find('=');
    if (current == nullptr || eq == std::string::npos) continue;
    std::string value = TrimBlanks(std::string_view(line).substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    if (value.size() > kMaxValueLength) value.resize(kMaxValueLength);
    current->values.emplace_back(Key(std::string_view(line).substr(0, eq)), std::move(value));
  }
}

std::string IniFile::Get(const std::string& section, const std::string& key) const {
  const std::string s = Key(section);
  const std::string k = Key(key);
  for (const Section& sec : sections_) {
    if (sec.name != s) continue;
    for (const auto& [name, value] : sec.values)
      if (name == k) return value;
    return "";  // only the first section of a name counts
  }
  return "";
}

std::vector<ListedFile> ScanSections(std::string_view text, const std::string& osName) {
  std::vector<ListedFile> files;
  for (const std::string& line : SplitLines(text)) {
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') continue;
    const std::string section = line.substr(1, line.size() - 2);
    auto [name, filter] = modChecker::NextToken(section, ":");
    if (modChecker::SectionTaken(filter, osName)) files.push_back({std::move(name), section});
  }
  return files;
}

namespace {
constexpr std::string_view kCountPrefix = "; files listed: ";
}  // namespace

std::string CountLine(size_t files) { return std::string(kCountPrefix) + std::to_string(files); }

std::string WholeListProblem(std::string_view text) {
  if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) return "the list is empty";
  if (text.back() != '\n') return "the list is cut short (its last line has no line end)";
  const std::vector<std::string> lines = SplitLines(text);
  std::vector<std::string> sections;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string line = TrimBlanks(lines[i]);
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
      sections.push_back(line);
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0 || sections.empty())
      return "line " + std::to_string(i + 1) + " is not part of a file list";
    if (Key(std::string_view(line).substr(0, eq)) != "CRC") continue;
    std::string value = TrimBlanks(std::string_view(line).substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    const bool hex =
        !value.empty() && value.size() <= 8 && value.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    if (!hex) return "the CRC of " + sections.back() + " is not a hexadecimal number";
  }
  if (sections.empty()) return "the list names no file";
  const std::string first = TrimBlanks(lines.front());
  if (first.rfind(kCountPrefix, 0) == 0) {
    const auto count = ParseSize(first.substr(kCountPrefix.size()));
    if (!count || *count != static_cast<int64_t>(sections.size()))
      return "it names " + std::to_string(sections.size()) + " files where its first line says " +
             first.substr(kCountPrefix.size());
  }
  return "";
}

std::optional<int64_t> ParseSize(const std::string& text) {
  const std::string t = TrimBlanks(text);
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return value;
}

std::string FormatSize(int64_t value) {
  const bool negative = value < 0;
  std::string digits = std::to_string(value);
  if (negative) digits.erase(0, 1);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return negative ? "-" + out : out;
}

}  // namespace crclist
