// The CRC list file SETUP.CRC: an initialisation file with one section per file to check.
// A section header line is "[" section text "]" with nothing before or after the brackets;
// the section text is the file name, optionally followed by ":" and an OS filter. Keys of a
// section: CRC, Size, VERSION, CLSID, CLSIDVer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace crclist {

// A reader of initialisation-file text with the lookup rules the lists were written for:
// section and key names compare case-insensitively and without surrounding blanks, the
// first section of a name and the first key of a name win, values are trimmed and lose a
// surrounding pair of quotes, and a missing key reads as empty text. Lines may end CR LF.
class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(std::string_view text);

  // The value, at most 254 characters (the length the lists were made for).
  std::string Get(const std::string& section, const std::string& key) const;

 private:
  struct Section {
    std::string name;  // upper-cased and trimmed, like the keys
    std::vector<std::pair<std::string, std::string>> values;
  };
  std::vector<Section> sections_;
};

// One section the scan takes for the running system.
struct ListedFile {
  std::string name;     // the file name, cleaned
  std::string section;  // the section text, the key under which the values are read
  size_t line = 0;      // the line of its header, counted from 1
};

// The text without the UTF-8 byte-order marks before its first line: an editor may put one
// there, and another before a file that already has one.
std::string_view SkipByteOrderMark(std::string_view text);

// The lines of the text (after the byte-order marks), each without its line end (LF or CR LF).
std::vector<std::string> SplitLines(std::string_view text);

// The sections of the list, in file order, whose OS filter admits the system osName.
std::vector<ListedFile> ScanSections(std::string_view text, const std::string& osName);

// A list is never larger than this: a file that is, is not read.
constexpr uint64_t kMaxListBytes = uint64_t{1} << 20;

// The first line with which the build starts a list it writes: "; files listed: <count>".
// A list that starts so must hold exactly that many sections.
std::string CountLine(size_t files);

// True when the text starts with a count line (byte-order marks before it do not count),
// which lets its completeness be checked.
bool HasCountLine(std::string_view text);

// Why the text cannot be taken as a whole list, or "" when it can: an empty text (blanks and
// byte-order marks alone), binary data (not a list), no section at all, fewer or more sections
// than the count line says, a file named in two sections whose texts are the same to the key
// reader (the second one's values could never be read), or a CRC value that is not a
// hexadecimal number. Lines that are neither a section header, a key=value line, a comment nor
// blank are ignored, as the scan ignores them; so is a missing line end after the last line.
std::string WholeListProblem(std::string_view text);

// A Size value read as a 64-bit count of bytes; nothing when it is not a whole number.
std::optional<int64_t> ParseSize(const std::string& text);

// A count with thousands separators ("###,###,###,###,##0"): 0 is "0".
std::string FormatSize(int64_t value);

}  // namespace crclist
