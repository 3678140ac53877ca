#include "tools/filecheck/crc_list.h"

#include <charconv>
#include <set>

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

// The value of a key=value line: the text after "=", trimmed, without a surrounding pair of quotes.
std::string ValueAfter(std::string_view line, size_t eq) {
  std::string value = TrimBlanks(line.substr(eq + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

// A section header as the scan takes it: "[" first and "]" last, no blanks around.
bool IsSectionHeader(const std::string& line) { return line.size() >= 2 && line.front() == '[' && line.back() == ']'; }

// A text list holds no NUL and no control characters but the tab, line ends and page breaks.
bool IsBinary(std::string_view text) {
  for (const unsigned char c : text)
    if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f') || c == 0x7F) return true;
  return false;
}

}  // namespace

std::string_view SkipByteOrderMark(std::string_view text) {
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  while (text.substr(0, kMark.size()) == kMark) text.remove_prefix(kMark.size());
  return text;
}

std::vector<std::string> SplitLines(std::string_view text) {
  text = SkipByteOrderMark(text);
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
    std::string value = ValueAfter(line, eq);
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
  const std::vector<std::string> lines = SplitLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (!IsSectionHeader(line)) continue;
    const std::string section = line.substr(1, line.size() - 2);
    auto [name, filter] = modChecker::NextToken(section, ":");
    if (modChecker::SectionTaken(filter, osName)) files.push_back({std::move(name), section, i + 1});
  }
  return files;
}

namespace {

constexpr std::string_view kCountPrefix = "; files listed: ";

// The first line without its line end and surrounding blanks.
std::string FirstLine(std::string_view text) {
  text = SkipByteOrderMark(text);
  std::string_view line = text.substr(0, text.find('\n'));
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return TrimBlanks(line);
}

}  // namespace

std::string CountLine(size_t files) { return std::string(kCountPrefix) + std::to_string(files); }

bool HasCountLine(std::string_view text) { return FirstLine(text).rfind(kCountPrefix, 0) == 0; }

std::string WholeListProblem(std::string_view text) {
  if (SkipByteOrderMark(text).find_first_not_of(" \t\r\n") == std::string_view::npos) return "the list is empty";
  if (IsBinary(text)) return "it is not a list (it holds binary data)";
  size_t sections = 0;
  std::set<std::string> keys;  // the section texts as the key reader compares them
  std::string twice;           // the first file named in two sections
  std::string badCrc;          // the first section whose CRC is not a hexadecimal number
  std::string section;         // the header of the section the key reader is in, "" outside
  for (const std::string& raw : SplitLines(text)) {
    const std::string line = TrimBlanks(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      // The key reader starts a section here, or ends the last one on a header without "]".
      const size_t close = line.rfind(']');
      section = close == std::string::npos ? "" : line;
      if (!section.empty() && !keys.insert(Key(std::string_view(line).substr(1, close - 1))).second && twice.empty())
        twice = modChecker::NextToken(line.substr(1, close - 1), ":").first;
      if (IsSectionHeader(raw)) ++sections;
      continue;
    }
    const size_t eq = line.find('=');
    if (section.empty() || eq == std::string::npos || eq == 0) continue;
    if (Key(std::string_view(line).substr(0, eq)) != "CRC") continue;
    const std::string value = ValueAfter(line, eq);
    const bool hex =
        !value.empty() && value.size() <= 8 && value.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    if (!hex && badCrc.empty()) badCrc = section;
  }
  if (sections == 0) return "the list names no file";
  if (HasCountLine(text)) {
    const std::string said = FirstLine(text).substr(kCountPrefix.size());
    const auto count = ParseSize(said);
    if (!count || *count != static_cast<int64_t>(sections))
      return "it names " + std::to_string(sections) + " files where its first line says " + said;
  }
  if (!twice.empty()) return "it names " + twice + " in two sections";
  if (!badCrc.empty()) return "the CRC of " + badCrc + " is not a hexadecimal number";
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
