#include "platform/richtext/rtf_text.h"

#include <algorithm>

#include "libs/text/encoding.h"

namespace richtext::rtf {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

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
  const char32_t c = text::Cp1252ToUnicode(b);
  return c >= 0x80 && c <= 0x9F ? kReplacement : c;  // only the five undefined bytes map there
}

char32_t NextChar(std::string_view text, size_t& pos) {
  char32_t cp = 0;
  if (text::NextUtf8(text, pos, cp)) return cp;
  return Cp1252ToUnicode(static_cast<uint8_t>(text[pos++]));
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
  if (bytes.empty()) return;
  // Pictures run to megabytes of hex: the digits go straight into the grown buffer, with a
  // line end after every `lineBytes` bytes but the last.
  const size_t breaks = lineBytes ? (bytes.size() - 1) / lineBytes : 0;
  const size_t start = out.size();
  out.resize(start + bytes.size() * 2 + breaks);
  char* p = out.data() + start;
  size_t inLine = 0;
  for (const char c : bytes) {
    if (lineBytes && inLine == lineBytes) {
      *p++ = '\n';
      inLine = 0;
    }
    const auto b = static_cast<uint8_t>(c);
    *p++ = kDigits[b >> 4];
    *p++ = kDigits[b & 0x0F];
    ++inLine;
  }
}

void HexDecoder::feed(std::string_view digits) {
  out_.reserve(std::min(max_, out_.size() + digits.size() / 2));
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
