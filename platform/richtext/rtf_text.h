// Text and data encodings of RTF files: escaping document text for writing (ASCII as is,
// backslash and braces escaped, everything else as \uN? with the signed 16-bit UTF-16 unit),
// Windows-1252 bytes (\'hh) to Unicode, UTF-8 assembly, and picture data as hex digits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "libs/text/encoding.h"

namespace richtext::rtf {

// The Unicode character of a Windows-1252 byte. The five bytes that code page leaves
// undefined map to U+FFFD.
char32_t Cp1252ToUnicode(uint8_t b);

// Appends the UTF-8 form of a code point; surrogates and values past U+10FFFF become U+FFFD.
using text::AppendUtf8;

// Reads one character from UTF-8 text at pos and advances pos. A byte that does not start a
// valid UTF-8 sequence is taken as a Windows-1252 character, so text that arrives in the
// ANSI code page still comes out right.
char32_t NextChar(std::string_view text, size_t& pos);

// Appends text (UTF-8) as RTF body text: printable ASCII as is, \ { } escaped, tab as \tab,
// a line feed as \line, other control characters dropped, and every other character as
// \uN? (two such for characters outside the Basic Multilingual Plane). The writer declares
// \uc1, so readers without Unicode support show the '?' fallback.
void AppendEscapedText(std::string& out, std::string_view text);

// Bytes as lowercase hex digits, with a line break after every lineBytes bytes.
void AppendHex(std::string& out, std::string_view bytes, size_t lineBytes = 64);

// Collects the hex digits of picture data that may arrive in several pieces. Anything that is
// not a hex digit is skipped; an odd last digit is dropped; collection stops at maxBytes
// (overflowed() then tells the data was cut).
class HexDecoder {
 public:
  explicit HexDecoder(size_t maxBytes) : max_(maxBytes) {}
  void feed(std::string_view digits);
  // Appends raw bytes (the \bin form of picture data).
  void feedBinary(std::string_view bytes);
  const std::string& bytes() const { return out_; }
  std::string take() { return std::move(out_); }
  bool overflowed() const { return overflow_; }

 private:
  std::string out_;
  size_t max_;
  int pending_ = -1;
  bool overflow_ = false;
};

}  // namespace richtext::rtf
