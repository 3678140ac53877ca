#include "libs/text/encoding.h"

#include <array>
#include <cstdint>

namespace text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Characters of the bytes 0x80..0x9F; the rest of the byte range is Latin-1.
constexpr std::array<char32_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

char32_t Cp1252ToUnicode(unsigned char b) {
  return (b >= 0x80 && b <= 0x9F) ? kHigh[b - 0x80] : static_cast<char32_t>(b);
}

char UnicodeToCp1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == c) return static_cast<char>(0x80 + i);
  }
  return '?';
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool NextUtf8(std::string_view text, std::size_t& pos, char32_t& cp) {
  const auto byteAt = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t b0 = byteAt(pos);
  if (b0 < 0x80) {
    ++pos;
    cp = b0;
    return true;
  }
  std::size_t len = 0;
  char32_t c = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, c = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, c = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, c = b0 & 0x07, min = 0x10000;
  }
  bool ok = len > 0 && pos + len <= text.size();
  for (std::size_t i = 1; ok && i < len; ++i) {
    const std::uint8_t b = byteAt(pos + i);
    if ((b & 0xC0) != 0x80) ok = false;
    c = (c << 6) | (b & 0x3F);
  }
  if (!ok || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  pos += len;
  cp = c;
  return true;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char ch : bytes) AppendUtf8(out, Cp1252ToUnicode(static_cast<unsigned char>(ch)));
  return out;
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    char32_t cp = 0;
    if (NextUtf8(text, pos, cp)) {
      out += UnicodeToCp1252(cp);
    } else {
      out += '?';
      ++pos;
    }
  }
  return out;
}

bool IsUtf8(std::string_view bytes) {
  std::size_t pos = 0;
  char32_t cp = 0;
  while (pos < bytes.size()) {
    if (!NextUtf8(bytes, pos, cp)) return false;
  }
  return true;
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char ch : bytes) AppendUtf8(out, static_cast<unsigned char>(ch));
  return out;
}

std::size_t Utf8Length(std::string_view s) {
  std::size_t n = 0;
  for (char c : s) n += IsContinuation(c) ? 0 : 1;
  return n;
}

std::size_t Utf8Offset(std::string_view s, std::size_t n) {
  std::size_t i = 0;
  for (std::size_t count = 0; i < s.size() && count < n; ++count) {
    ++i;
    while (i < s.size() && IsContinuation(s[i])) ++i;
  }
  return i;
}

}  // namespace text
