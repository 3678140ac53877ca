#include "libs/vb/vbcompat.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "libs/vb/tests/comma_locale.h"
#include "libs/vb/vberror.h"

namespace {

struct FormatCase {
  double value;
  const char* pattern;
  const char* expected;
};

TEST(VbFormat, Patterns) {
  const FormatCase cases[] = {
      // Fixed decimals, half away from zero.
      {0.5, "0.000", "0.500"},
      {2.675, "0.00", "2.68"},  // rounded on its decimal digits, not its binary value
      {1.005, "0.00", "1.01"},
      {0.5, "0", "1"},
      {1.5, "0", "2"},
      {2.5, "0", "3"},
      {-2.5, "0", "-3"},
      {0.45, "0.0", "0.5"},
      {-0.45, "0.0", "-0.5"},
      {99.95, "0.0", "100.0"},
      {9.9996, "0.000", "10.000"},
      {12.34, "0.0000", "12.3400"},
      {0.12345678, "####0.00000", "0.12346"},
      {-1.5, "####0.00000", "-1.50000"},
      // Optional integer digits.
      {1234.6, "#######0", "1235"},
      {0, "#######0", "0"},
      {12.34, "#####0.0", "12.3"},
      {0.04, "#0.0", "0.0"},
      {-1, "#0", "-1"},
      {7, "#0", "7"},
      {123, "#0", "123"},
      {123456, "###0", "123456"},
      {85.25, "##0.0", "85.3"},
      {3.14159, "#####0.000", "3.142"},
      // Leading zeros.
      {800, "0000", "0800"},
      {1730, "0000", "1730"},
      {5, "000", "005"},
      {3, "00", "03"},
      {12345, "00", "12345"},
      // Thousands grouping.
      {1234567, "###,###,###,##0", "1,234,567"},
      {1234567.5, "###,###,###,##0", "1,234,568"},
      {-1234567, "###,###,###,##0", "-1,234,567"},
      {999.5, "###,###,###,##0", "1,000"},
      {0, "###,###,###,##0", "0"},
      {12, "###,###,###,##0", "12"},
      {1234.56, "###,###,###,##0.0", "1,234.6"},
      {1234.5678, "###,###,###,##0.000", "1,234.568"},
      {1234567890123.0, "###,###,###,###,##0", "1,234,567,890,123"},
      {123456789012.0, "###,###,###,##0", "123,456,789,012"},
      {1234567, "###,###,###,###,###", "1,234,567"},
      {0, "###,###,###,###,###", ""},  // no digit shown for zero
      // A negative value keeps its sign when it rounds to zero; zero itself has none.
      {-0.04, "0.0", "-0.0"},
      {-0.4, "0", "-0"},
      {-0.4, "###,###,###,##0", "-0"},
      {-0.004, "#.##", "-."},
      {-0.0, "0.0", "0.0"},
      // Literal text.
      {12.5, "0.0 ft", "12.5 ft"},
      {-12.5, "\"T=\"0.0", "T=-12.5"},
      {7, "0\\%", "7%"},
      // Optional decimals.
      {1.5, "0.##", "1.5"},
      {0.5, "#.00", ".50"},
      // Empty pattern: the plain number text; likewise for a value without digits.
      {0.1, "", "0.1"},
      {std::numeric_limits<double>::quiet_NaN(), "0.0", "NaN"},
      {-std::numeric_limits<double>::infinity(), "###,###,###,##0", "-Inf"},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " with \"" << c.pattern << "\"");
    EXPECT_EQ(vb::Format(c.value, c.pattern), c.expected);
  }
}

TEST(VbFormat, IgnoresTheLocale) {
  // A locale with a decimal comma must not change the files the program writes nor the
  // numbers it reads back.
  KESTRIN_USE_COMMA_LOCALE(comma);
  EXPECT_EQ(vb::Format(1234.5, "###,###,###,##0.0"), "1,234.5");
  EXPECT_EQ(vb::Format(2.675, "0.00"), "2.68");
  EXPECT_EQ(vb::CStr(0.25), "0.25");
  EXPECT_EQ(vb::CStr(2.4f), "2.4");
  EXPECT_EQ(vb::CStr(1e-5), "1E-05");
  EXPECT_EQ(vb::Str(0.5), " .5");
  EXPECT_EQ(vb::Str(-1.25f), "-1.25");
  EXPECT_TRUE(vb::IsNumeric("1.5"));
  EXPECT_EQ(vb::CDbl("2.5"), 2.5);
  EXPECT_EQ(vb::CDbl("-3,517.5"), -3517.5);
}

TEST(VbFormat, Dates) {
  std::tm t{};
  t.tm_year = 2024 - 1900;
  t.tm_mon = 2;  // March
  t.tm_mday = 7;
  t.tm_hour = 15;
  t.tm_min = 4;
  EXPECT_EQ(vb::FormatDate(t, "mm/dd/yyyy"), "03/07/2024");
  EXPECT_EQ(vb::FormatDate(t, "mm-dd-yyyy"), "03-07-2024");
  EXPECT_EQ(vb::FormatDate(t, "hh:mm AMPM"), "03:04 PM");
  EXPECT_EQ(vb::FormatDate(t, "Medium Time"), "03:04 PM");
  t.tm_hour = 0;
  EXPECT_EQ(vb::FormatDate(t, "hh:mm AMPM"), "12:04 AM");
  t.tm_hour = 12;
  EXPECT_EQ(vb::FormatDate(t, "Medium Time"), "12:04 PM");
}

struct TextCase {
  double value;
  const char* cstr;
  const char* str;
};

TEST(VbNumberText, CStrAndStr) {
  const TextCase cases[] = {
      {0, "0", " 0"},
      {12, "12", " 12"},
      {-12, "-12", "-12"},
      {0.5, "0.5", " .5"},
      {-0.5, "-0.5", "-.5"},
      {0.1 + 0.2, "0.3", " .3"},  // 15 significant digits
      {123.456, "123.456", " 123.456"},
      {1e15, "1E+15", " 1E+15"},
      {123456789012345.0, "123456789012345", " 123456789012345"},
      {1e-5, "1E-05", " 1E-05"},
      {0.0001, "0.0001", " .0001"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(vb::CStr(c.value), c.cstr);
    EXPECT_EQ(vb::Str(c.value), c.str);
  }
  EXPECT_EQ(vb::CStr(0.1f), "0.1");  // a Single shows its 7 digits
  EXPECT_EQ(vb::Str(0.1f), " .1");
  EXPECT_EQ(vb::Str(-7), "-7");
  EXPECT_EQ(vb::Str(static_cast<int16_t>(5)), " 5");
  EXPECT_EQ(vb::CStr(true), "True");
  EXPECT_EQ(vb::CStr(false), "False");
}

TEST(VbConversions, IntegerRoundingIsHalfToEven) {
  const struct {
    double in;
    int32_t out;
  } cases[] = {{0.5, 0},   {1.5, 2},    {2.5, 2},    {3.5, 4},         {-0.5, 0},         {-1.5, -2},
               {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {32767.4, 32767}, {-32768.4, -32768}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(vb::CInt(c.in), c.out);
    EXPECT_EQ(vb::CLng(c.in), c.out);
  }
  EXPECT_EQ(vb::CLng(2147483647.4), 2147483647);
  EXPECT_EQ(vb::CLng(-2147483648.0), -2147483647 - 1);
}

TEST(VbConversions, OverflowRaisesError6) {
  for (double v : {32767.5, 32768.0, -32768.6, 1e10, std::numeric_limits<double>::infinity(),
                   std::numeric_limits<double>::quiet_NaN()}) {
    SCOPED_TRACE(v);
    try {
      vb::CInt(v);
      ADD_FAILURE() << "no overflow";
    } catch (const vb::RuntimeError& e) {
      EXPECT_EQ(e.number(), vb::kOverflow);
    }
  }
  EXPECT_THROW(vb::CLng(2147483647.5), vb::RuntimeError);
  EXPECT_THROW(vb::CLng(-2147483649.0), vb::RuntimeError);
  EXPECT_THROW(vb::CSng(1e39), vb::RuntimeError);
  EXPECT_FLOAT_EQ(vb::CSng(0.1), 0.1f);
}

TEST(VbErrors, AnIgnoredErrorIsCountedAndNamedWithItsPlace) {
  const long before = vb::IgnoredErrorCount();
  testing::internal::CaptureStderr();
  try {
    vb::Raise(vb::kDivisionByZero);
  } catch (const std::exception& e) {
    vb::NoteIgnoredError("Caller::Step", e);
  }
  const std::string logged = testing::internal::GetCapturedStderr();
  EXPECT_EQ(vb::IgnoredErrorCount(), before + 1);
  EXPECT_EQ(logged, "Caller::Step: ignored error: Division by zero\n");
  EXPECT_EQ(vb::Err().Number, 0);  // noting an error does not make it the current one
}

TEST(VbConversions, NumericText) {
  const struct {
    const char* text;
    bool numeric;
    double value;
  } cases[] = {{"12", true, 12},
               {" 12.5 ", true, 12.5},
               {"-3", true, -3},
               {"+4.", true, 4},
               {".5", true, 0.5},
               {"1e3", true, 1000},
               {"2.5E-1", true, 0.25},
               {"n/a", false, 0},
               {"", false, 0},
               {"   ", false, 0},
               {"1.2.3", false, 0},
               {"12abc", false, 0},
               {"e5", false, 0},
               {"1e", false, 0},
               {"-", false, 0},
               // Grouped integer digits read back as the number Format wrote.
               {"1,234,567", true, 1234567},
               {" -3,517.5 ", true, -3517.5},
               {",5", false, 0},
               {"1.5,3", false, 0},
               {"1e3,5", false, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(vb::IsNumeric(c.text), c.numeric);
    if (c.numeric) {
      EXPECT_DOUBLE_EQ(vb::CDbl(c.text), c.value);
    } else {
      try {
        vb::CDbl(c.text);
        ADD_FAILURE() << "no error";
      } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.number(), vb::kTypeMismatch);
      }
    }
  }
}

TEST(VbText, TrimAndCase) {
  EXPECT_EQ(vb::Trim("  a b  "), "a b");
  EXPECT_EQ(vb::Trim("\ta\t"), "\ta\t");  // only spaces are trimmed
  EXPECT_EQ(vb::LTrim("  a "), "a ");
  EXPECT_EQ(vb::RTrim("  a "), "  a");
  EXPECT_EQ(vb::Trim("    "), "");
  EXPECT_EQ(vb::UCase(" saturday "), " SATURDAY ");
  EXPECT_EQ(vb::LCase("AbC°"), "abc°");
}

TEST(VbText, FixedWidthCountsCharacters) {
  const struct {
    const char* in;
    std::size_t n;
    const char* left;
    const char* right;
  } cases[] = {{"CH-1", 6, "CH-1  ", "  CH-1"}, {"Chiller One", 7, "Chiller", "Chiller"},
               {"", 3, "   ", "   "},           {"abc", 0, "", ""},
               {"°F²", 4, "°F² ", " °F²"},  // multi-byte characters count once
               {"m²/kW", 2, "m²", "m²"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(vb::FixedWidth(c.in, c.n), c.left);
    EXPECT_EQ(vb::RightAligned(c.in, c.n), c.right);
  }
  EXPECT_EQ(vb::Len("ft²"), 3u);
  EXPECT_EQ(vb::Left("ft²x", 3), "ft²");
  EXPECT_EQ(vb::Right("ft²x", 2), "²x");
  EXPECT_EQ(vb::Right("ab", 5), "ab");
  EXPECT_EQ(vb::Space(3), "   ");
}

TEST(VbTabWriter, ColumnsAndOverflowToNextLine) {
  vb::TabWriter w;
  w.Tab(1).Print("Jan").Tab(5).Print("1235").Tab(14).Print("12.3");
  w.EndLine();
  EXPECT_EQ(w.Take(), "Jan 1235     12.3\r\n");

  // A value running past the next column pushes the next value to a new line at its column.
  w.Tab(1).Print("0").Tab(6).Print("123456789012").Tab(15).Print("7");
  w.EndLine();
  EXPECT_EQ(w.Take(), "0    123456789012\r\n              7\r\n");

  // Exactly at the column: no move; Tab(0) counts as column 1.
  w.Print("abcd").Tab(5).Print("e").Tab(0).Print("f");
  EXPECT_EQ(w.Column(), 2u);
  EXPECT_EQ(w.Text(), "abcde\r\nf");

  // Columns count characters, not bytes.
  vb::TabWriter u("\n");
  u.Print("°F").Tab(4).Print("x").EndLine();
  EXPECT_EQ(u.Text(), "°F x\n");
}

}  // namespace
