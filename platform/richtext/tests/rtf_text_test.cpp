#include "platform/richtext/rtf_text.h"

#include <gtest/gtest.h>

#include <string>

namespace richtext::rtf {
namespace {

std::string escaped(std::string_view s) {
  std::string out;
  AppendEscapedText(out, s);
  return out;
}

TEST(RtfText, EscapesTextForTheBody) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"Plant {A}\\B", "Plant \\{A\\}\\\\B"},
      {"a\tb\nc", "a\\tab b\\line c"},
      {"x\x15y\x7f", "xy"},
      // é U+00E9, € U+20AC, Ω U+2126 and a character past 0xFFFF as a surrogate pair.
      {"Caf\xC3\xA9", "Caf\\u233?"},
      {"\xE2\x82\xAC", "\\u8364?"},
      // Units past 0x7FFF are written as negative signed 16-bit numbers.
      {"\xEF\xBC\xA1", "\\u-223?"},
      {"\xF0\x9F\x98\x80", "\\u-10179?\\u-8704?"},
      // A byte that is not UTF-8 is read as Windows-1252: 0xE9 é, 0x80 €.
      {"Caf\xE9 \x80", "Caf\\u233? \\u8364?"},
  };
  for (const auto& c : cases) EXPECT_EQ(escaped(c.in), c.out) << c.in;
}

TEST(RtfText, NextCharRejectsOverlongAndSurrogateForms) {
  // Overlong "/" (C0 AF) and an encoded surrogate (ED A0 80) fall back byte by byte.
  std::string s = "\xC0\xAF\xED\xA0\x80";
  size_t pos = 0;
  EXPECT_EQ(NextChar(s, pos), U'\u00C0');
  EXPECT_EQ(pos, 1u);
  EXPECT_EQ(NextChar(s, pos), U'\u00AF');
  EXPECT_EQ(NextChar(s, pos), U'\u00ED');
  // Truncated sequence at the end.
  std::string t = "\xE2\x82";
  pos = 0;
  EXPECT_EQ(NextChar(t, pos), U'\u00E2');
  EXPECT_EQ(pos, 1u);
}

TEST(RtfText, Cp1252AndUtf8) {
  EXPECT_EQ(Cp1252ToUnicode('A'), U'A');
  EXPECT_EQ(Cp1252ToUnicode(0x80), U'\u20AC');
  EXPECT_EQ(Cp1252ToUnicode(0x84), U'\u201E');
  EXPECT_EQ(Cp1252ToUnicode(0x85), U'\u2026');
  EXPECT_EQ(Cp1252ToUnicode(0x9F), U'\u0178');
  EXPECT_EQ(Cp1252ToUnicode(0x81), U'\uFFFD');
  EXPECT_EQ(Cp1252ToUnicode(0xE9), U'\u00E9');

  std::string out;
  for (char32_t cp : {U'A', U'\u00E9', U'\u20AC', U'\U0001F600'}) AppendUtf8(out, cp);
  EXPECT_EQ(out, "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  out.clear();
  AppendUtf8(out, 0xD800);
  AppendUtf8(out, 0x110000);
  EXPECT_EQ(out, "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(RtfText, HexRoundTripAcrossPiecesAndLimits) {
  std::string data;
  for (int i = 0; i < 300; ++i) data += static_cast<char>(i * 7);
  std::string hex;
  AppendHex(hex, data, 64);
  EXPECT_EQ(hex.substr(0, 6), "00070e");
  EXPECT_EQ(hex[128], '\n');

  // Fed in odd-sized pieces with line breaks in between, as a reader receives it.
  HexDecoder dec(1000);
  for (size_t i = 0; i < hex.size(); i += 37) dec.feed(std::string_view(hex).substr(i, 37));
  EXPECT_FALSE(dec.overflowed());
  EXPECT_EQ(dec.bytes(), data);

  HexDecoder odd(10);
  odd.feed("4a 4");  // a truncated last digit is dropped
  EXPECT_EQ(odd.bytes(), "J");

  HexDecoder small(2);
  small.feed("010203");
  EXPECT_TRUE(small.overflowed());
  EXPECT_EQ(small.bytes(), std::string("\x01\x02", 2));
  HexDecoder bin(3);
  bin.feedBinary("abcdef");
  EXPECT_TRUE(bin.overflowed());
  EXPECT_EQ(bin.take(), "abc");
}

}  // namespace
}  // namespace richtext::rtf
