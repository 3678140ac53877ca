#include "platform/richtext/rtf_lexer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace richtext::rtf {
namespace {

// A compact spelling of a token stream: {  }  \name[N]  \'hh  \sym  "text"  bin:N
std::string describe(std::string_view input) {
  Lexer lx(input);
  std::string out;
  for (;;) {
    Token t = lx.next();
    if (!out.empty() && t.kind != TokenKind::End) out += ' ';
    switch (t.kind) {
      case TokenKind::End:
        return out;
      case TokenKind::GroupStart:
        out += '{';
        break;
      case TokenKind::GroupEnd:
        out += '}';
        break;
      case TokenKind::ControlWord:
        out += '\\';
        out += t.name;
        if (t.hasParam) out += std::to_string(t.param);
        break;
      case TokenKind::ControlSymbol:
        out += "\\";
        out += t.symbol;
        break;
      case TokenKind::HexByte: {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\'%02x", t.byte);
        out += buf;
        break;
      }
      case TokenKind::Binary:
        out += "bin:" + std::to_string(t.text.size());
        break;
      case TokenKind::Text:
        out += '"';
        out += t.text;
        out += '"';
        break;
    }
  }
}

TEST(RtfLexer, TokenStreams) {
  struct Case {
    const char* input;
    const char* tokens;
  } cases[] = {
      {"{\\rtf1\\ansi Hello}", "{ \\rtf1 \\ansi \"Hello\" }"},
      // The single space after a word is its delimiter; a second space is text.
      {"\\b  x", "\\b \" x\""},
      {"\\fs-24x", "\\fs-24 \"x\""},
      {"\\li-x", "\\li \"-x\""},
      {"a\\{b\\}c\\\\d", "\"a\" \\{ \"b\" \\} \"c\" \\\\ \"d\""},
      {"\\'e9\\'C4", "\\'e9 \\'c4"},
      // CR and LF vanish from text; a backslash before a line end is a paragraph.
      {"ab\r\ncd\\\nef", "\"ab\" \"cd\" \\par \"ef\""},
      {"{\\*\\generator x;}", "{ \\* \\generator \"x;\" }"},
      {"\\~\\-\\_", "\\~ \\- \\_"},
      // \bin data may hold braces and backslashes; a short \bin takes what is left.
      {"\\bin3 {\\}x", "bin:3 \"x\""},
      {"\\bin100 ab", "bin:2"},
      {"\\bin-5 x", "bin:0 \"x\""},
  };
  for (const auto& c : cases) EXPECT_EQ(describe(c.input), c.tokens) << c.input;
}

TEST(RtfLexer, MalformedInputEndsCleanly) {
  struct Case {
    const char* input;
    const char* tokens;
  } cases[] = {
      {"abc\\", "\"abc\""},
      {"\\'", ""},
      {"\\'4", ""},
      {"\\'zzq", "\"zzq\""},
      {"\\'4g", "\"g\""},
      // Parameters saturate at the int32 range instead of overflowing.
      {"\\fs99999999999999999999", "\\fs2147483647"},
      {"\\li-99999999999999999999", "\\li-2147483648"},
  };
  for (const auto& c : cases) EXPECT_EQ(describe(c.input), c.tokens) << c.input;
}

TEST(RtfLexer, LongControlWordIsCut) {
  std::string word(1000, 'q');
  std::string input = "\\" + word + "5 z";
  Lexer lx2(input);
  Token t = lx2.next();
  ASSERT_EQ(t.kind, TokenKind::ControlWord);
  EXPECT_EQ(t.name.size(), Lexer::kMaxWordLength);
  EXPECT_TRUE(t.hasParam);
  EXPECT_EQ(t.param, 5);
  EXPECT_EQ(lx2.next().text, "z");
}

TEST(RtfLexer, ManyBrokenEscapesNeitherRecurseNorStall) {
  // Half a million malformed escapes in a row yield no token and must not deepen the stack.
  std::string input;
  for (int i = 0; i < 500000; ++i) input += "\\'";
  input += "x";
  Lexer lx(input);
  Token t = lx.next();
  EXPECT_EQ(t.kind, TokenKind::Text);
  EXPECT_EQ(t.text, "x");
  EXPECT_EQ(lx.next().kind, TokenKind::End);
}

}  // namespace
}  // namespace richtext::rtf
