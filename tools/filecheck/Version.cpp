#include "tools/filecheck/Version.h"

#include "tools/filecheck/modChecker.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace Version {

namespace {

constexpr uint32_t kShtNote = 7;
constexpr uint32_t kNoteTypeVersion = 1;
constexpr uint64_t kMaxNoteSection = 1 << 20;

template <typename T>
T ReadLE(const unsigned char* p) {
  T v = 0;
  for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<T>(static_cast<T>(p[i]) << (8 * i));
  return v;
}

bool ReadAt(std::ifstream& in, uint64_t offset, uint64_t fileSize, unsigned char* buf, uint64_t n) {
  if (offset > fileSize || n > fileSize - offset) return false;
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(reinterpret_cast<char*>(buf), static_cast<std::streamsize>(n));
  return static_cast<uint64_t>(in.gcount()) == n;
}

// The version text of the first Kestrin note in a note section's bytes.
std::string FindNote(const std::vector<unsigned char>& notes) {
  size_t pos = 0;
  const auto align4 = [](uint64_t n) { return (n + 3) & ~uint64_t{3}; };
  while (notes.size() - pos >= 12) {
    const uint64_t namesz = ReadLE<uint32_t>(&notes[pos]);
    const uint64_t descsz = ReadLE<uint32_t>(&notes[pos + 4]);
    const uint32_t type = ReadLE<uint32_t>(&notes[pos + 8]);
    const uint64_t nameAt = pos + 12;
    const uint64_t descAt = nameAt + align4(namesz);
    if (descAt > notes.size() || align4(descsz) > notes.size() - descAt) return "";
    if (type == kNoteTypeVersion && namesz == 8 && std::memcmp(&notes[nameAt], "Kestrin", 8) == 0) {
      std::string text(reinterpret_cast<const char*>(&notes[descAt]), descsz);
      return text.substr(0, text.find('\0'));
    }
    pos = descAt + align4(descsz);
  }
  return "";
}

}  // namespace

std::string ReadVersionNote(const std::string& path) {
  std::error_code ec;
  const uint64_t fileSize = std::filesystem::file_size(path, ec);
  if (ec) return "";
  std::ifstream in(path, std::ios::binary);
  unsigned char eh[64];
  if (!in || !ReadAt(in, 0, fileSize, eh, sizeof eh)) return "";
  // ELF64, little-endian.
  if (std::memcmp(eh,
                  "\x7f"
                  "ELF",
                  4) != 0 ||
      eh[4] != 2 || eh[5] != 1)
    return "";
  const uint64_t shoff = ReadLE<uint64_t>(eh + 0x28);
  const uint16_t shentsize = ReadLE<uint16_t>(eh + 0x3A);
  const uint16_t shnum = ReadLE<uint16_t>(eh + 0x3C);
  if (shentsize < 64) return "";
  for (uint16_t i = 0; i < shnum; ++i) {
    unsigned char sh[64];
    if (!ReadAt(in, shoff + uint64_t{i} * shentsize, fileSize, sh, sizeof sh)) return "";
    if (ReadLE<uint32_t>(sh + 4) != kShtNote) continue;
    const uint64_t offset = ReadLE<uint64_t>(sh + 0x18);
    const uint64_t size = ReadLE<uint64_t>(sh + 0x20);
    if (size > kMaxNoteSection) continue;
    std::vector<unsigned char> notes(size);
    if (!ReadAt(in, offset, fileSize, notes.data(), size)) continue;
    std::string version = FindNote(notes);
    if (!version.empty()) return version;
  }
  return "";
}

std::string SharedLibraryVersion(const std::string& fileName) {
  const size_t at = fileName.rfind(".so.");
  if (at == std::string::npos) return "";
  const std::string suffix = fileName.substr(at + 4);
  if (suffix.empty() || suffix.find_first_not_of("0123456789.") != std::string::npos) return "";
  return suffix;
}

std::string GetFileVersionString(const std::string& path) {
  if (path.empty()) return "";
  std::string version = ReadVersionNote(path);
  if (!version.empty()) return version;
  std::error_code ec;
  const auto real = std::filesystem::canonical(path, ec);
  if (ec) return "";
  return SharedLibraryVersion(real.filename().string());
}

namespace {

std::string TrimUpper(const std::string& s) { return modChecker::UCase(modChecker::Trim(s)); }

// The leading number of a text, as a language's Val() reads it; 0 when there is none.
double LeadingNumber(const std::string& s) {
  const char* begin = s.c_str();
  while (*begin == ' ') ++begin;
  if (!std::isdigit(static_cast<unsigned char>(*begin)) && *begin != '.' && *begin != '-' && *begin != '+') return 0;
  return std::strtod(begin, nullptr);
}

// The numbers of a version text; nothing when a part is not a whole number.
std::optional<std::vector<long long>> VersionParts(const std::string& s) {
  std::vector<long long> parts;
  std::string part;
  for (size_t i = 0; i <= s.size(); ++i) {
    if (i == s.size() || s[i] == '.' || s[i] == ',') {
      if (part.empty() || part.size() > 15) return std::nullopt;
      parts.push_back(std::stoll(part));
      part.clear();
    } else if (std::isdigit(static_cast<unsigned char>(s[i]))) {
      part += s[i];
    } else {
      return std::nullopt;
    }
  }
  return parts;
}

}  // namespace

bool VersionStringsMatch(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] == '.' || a[i] == ',') continue;
    if (a[i] != b[i]) return false;
  }
  return true;
}

bool VersionOlder(const std::string& a, const std::string& b) {
  const auto pa = VersionParts(a);
  const auto pb = VersionParts(b);
  if (pa && pb) return *pa < *pb;
  return a < b;
}

std::string FindTypeLibVersionKey(const Registry& registry, const std::string& key, const std::string& wanted) {
  const auto subkeys = registry.SubKeys(key);
  if (!subkeys) return "";
  std::string result;
  std::string greatest;
  for (const std::string& subkey : *subkeys) {
    if (LeadingNumber(subkey) == 0 && subkey != "0") continue;
    if (VersionStringsMatch(TrimUpper(subkey), TrimUpper(wanted))) return subkey;
    const std::string trimmed = modChecker::Trim(subkey);
    if (trimmed >= greatest) {
      greatest = trimmed;
      result = subkey;
    }
  }
  return result;
}

}  // namespace Version
