#include "platform/richtext/rtf_text.h"

#include <array>

namespace richtext::rtf {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 bytes 0x80..0x9F; the rest of the upper half equals Latin-1.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, kReplacement, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, kReplacement, 0x017D, kReplacement,
    kReplacement, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, kReplacement, 0x017E, 0x0178};

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void appendUnit(std::string& out, uint16_t unit) {
  // RTF takes \u with a signed 16-bit parameter.
  out += "\\u";
  out += std::to_string(static_cast<int16_t>(unit));
  out += '?';
}

}  // namespace

char32_t Cp1252ToUnicode(uint8_t b) {
  if (b >= 0x80 && b <= 0x9F) return kCp1252High[b - 0x80];
  return b;
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

char32_t NextChar(std::string_view text, size_t& pos) {
  const auto byteAt = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t b0 = byteAt(pos);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  size_t len = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  }
  bool ok = len > 0 && pos + len <= text.size();
  for (size_t i = 1; ok && i < len; ++i) {
    const uint8_t b = byteAt(pos + i);
    if ((b & 0xC0) != 0x80) ok = false;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (ok && cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF)) {
    pos += len;
    return cp;
  }
  ++pos;
  return Cp1252ToUnicode(b0);
}

void AppendEscapedText(std::string& out, std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    const char32_t cp = NextChar(text, pos);
    if (cp == '\\' || cp == '{' || cp == '}') {
      out += '\\';
      out += static_cast<char>(cp);
    } else if (cp == '\t') {
      out += "\\tab ";
    } else if (cp == '\n') {
      out += "\\line ";
    } else if (cp < 0x20 || cp == 0x7F) {
      // Other control characters have no text meaning in a document.
    } else if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x10000) {
      appendUnit(out, static_cast<uint16_t>(cp));
    } else {
      const char32_t v = cp - 0x10000;
      appendUnit(out, static_cast<uint16_t>(0xD800 + (v >> 10)));
      appendUnit(out, static_cast<uint16_t>(0xDC00 + (v & 0x3FF)));
    }
  }
}

void AppendHex(std::string& out, std::string_view bytes, size_t lineBytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out.reserve(out.size() + bytes.size() * 2 + bytes.size() / (lineBytes ? lineBytes : 1) + 1);
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (lineBytes && i > 0 && i % lineBytes == 0) out += '\n';
    const auto b = static_cast<uint8_t>(bytes[i]);
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
  }
}

void HexDecoder::feed(std::string_view digits) {
  for (char c : digits) {
    const int v = hexValue(c);
    if (v < 0) continue;
    if (pending_ < 0) {
      pending_ = v;
      continue;
    }
    if (out_.size() >= max_) {
      overflow_ = true;
      return;
    }
    out_ += static_cast<char>(pending_ * 16 + v);
    pending_ = -1;
  }
}

void HexDecoder::feedBinary(std::string_view bytes) {
  const size_t room = max_ - out_.size();
  if (bytes.size() > room) overflow_ = true;
  out_.append(bytes.substr(0, room));
}

}  // namespace richtext::rtf
