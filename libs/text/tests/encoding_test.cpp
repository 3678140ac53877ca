#include "libs/text/encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Encoding, EveryCp1252ByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(text::Utf8ToCp1252(text::Cp1252ToUtf8(all)), all);
}

TEST(Encoding, Cp1252HighRangeAndUndefinedBytes) {
  EXPECT_EQ(text::Cp1252ToUnicode(0x80), U'\u20AC');
  EXPECT_EQ(text::Cp1252ToUnicode(0x9F), U'\u0178');
  EXPECT_EQ(text::Cp1252ToUnicode(0x81), U'\u0081');  // undefined: the control character
  EXPECT_EQ(text::Cp1252ToUnicode(0xE9), U'\u00E9');
  EXPECT_EQ(text::Cp1252ToUtf8("Caf\xE9 \x80"), "Caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(Encoding, Utf8ToCp1252MarksWhatHasNoByte) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"\xE4\xB8\xAD\xFF", "??"},    // a CJK character; a byte that starts nothing
      {"\xF0\x9F\x98\x80", "?"},     // one character outside the BMP
      {"\xE2\x82", "??"},            // a sequence cut by the end
      {"\xC0\xAF", "??"},            // an overlong form
      {"\xED\xA0\x80", "???"},       // a surrogate
      {"\xE2\x80\x93 x", "\x96 x"},  // en dash
  };
  for (const auto& c : cases) EXPECT_EQ(text::Utf8ToCp1252(c.in), c.out) << c.in;
}

TEST(Encoding, NextUtf8LeavesAnInvalidByteToTheCaller) {
  const std::string s = "A\xC3\xA9\xE2\x82";
  std::size_t pos = 0;
  char32_t cp = 0;
  ASSERT_TRUE(text::NextUtf8(s, pos, cp));
  EXPECT_EQ(cp, U'A');
  ASSERT_TRUE(text::NextUtf8(s, pos, cp));
  EXPECT_EQ(cp, U'\u00E9');
  EXPECT_EQ(pos, 3u);
  EXPECT_FALSE(text::NextUtf8(s, pos, cp));
  EXPECT_EQ(pos, 3u);
}

TEST(Encoding, AppendUtf8ReplacesSurrogatesAndOutOfRange) {
  std::string out;
  text::AppendUtf8(out, 0xD800);
  text::AppendUtf8(out, 0x110000);
  text::AppendUtf8(out, 0x1F600);
  EXPECT_EQ(out, "\xEF\xBF\xBD\xEF\xBF\xBD\xF0\x9F\x98\x80");
}

TEST(Encoding, WalkCountsCharactersNotBytes) {
  const std::string s =
      "a\xC3\xA9\xE2\x82\xAC"
      "b";  // a, e acute, euro, b
  EXPECT_EQ(text::Utf8Length(s), 4u);
  EXPECT_EQ(text::Utf8Offset(s, 0), 0u);
  EXPECT_EQ(text::Utf8Offset(s, 1), 1u);
  EXPECT_EQ(text::Utf8Offset(s, 2), 3u);
  EXPECT_EQ(text::Utf8Offset(s, 3), 6u);
  EXPECT_EQ(text::Utf8Offset(s, 4), s.size());
  EXPECT_EQ(text::Utf8Offset(s, 9), s.size());
  EXPECT_EQ(text::Utf8Length(""), 0u);
}

TEST(Encoding, IsUtf8AcceptsOnlyWellFormedText) {
  const struct {
    std::string bytes;
    bool utf8;
  } cases[] = {
      {"", true},
      {"plain", true},
      {"caf\xC3\xA9 \xF0\x9F\x98\x80", true},
      {"caf\xE9", false},           // a Latin-1 byte
      {"\xC3", false},              // cut short
      {"\xC0\xAF", false},          // overlong
      {"\xED\xA0\x80", false},      // a surrogate
      {"\xF4\x90\x80\x80", false},  // past U+10FFFF
  };
  for (const auto& c : cases) EXPECT_EQ(text::IsUtf8(c.bytes), c.utf8) << c.bytes;
}

TEST(Encoding, Latin1BytesBecomeTheirCharacters) {
  EXPECT_EQ(text::Latin1ToUtf8("M\xFCller \xA9"), "M\xC3\xBCller \xC2\xA9");
  EXPECT_EQ(text::Latin1ToUtf8("\x80"), "\xC2\x80");  // no Windows-1252 euro in ISO-8859-1
}

}  // namespace
