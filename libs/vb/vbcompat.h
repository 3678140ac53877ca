// Number and text conversions that give the program's files, reports and records their
// exact texts: Format patterns, Str$, CStr, integer rounding, fixed-width text and
// Tab-column text output. Every number is written with "." as the decimal separator and
// "," as the thousands separator, whatever the locale, so that files are the same on every
// machine. Text is UTF-8; widths and columns count characters, not bytes.
//
// Number patterns (Format): "0" a digit always shown, "#" a digit shown only when
// significant, "." the decimal point, "," between integer placeholders groups the thousands;
// any other character, a quoted "text" or a \x escape is literal text.
// Decimals are rounded half away from zero. Patterns the program uses:
//   "0", "00", "000", "0000", "#0", "###0", "0.0", "#0.0", "##0.0", "###0.0", "####0.0",
//   "#####0.0", "0.00", "0.000", "#####0.000", "0.0000", "####0.00000", "######0",
//   "#######0", "########0", "#########0", "###,###,###,##0", "###,###,###,##0.0",
//   "###,###,###,##0.000", "###,###,###,###,##0", "###,###,###,###,###".
// A negative value keeps its minus sign even when it rounds to zero ("-0.04" as "-0.0"), as
// the program's reports and files have always shown it; a zero value (0 or -0) has none.
//
// Date patterns (FormatDate): "mm/dd/yyyy", "mm-dd-yyyy", "hh:mm AMPM" and the named
// format "Medium Time" (12-hour "hh:mm AM"/"hh:mm PM").
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace vb {

// Format(value, pattern). An empty pattern gives CStr(value).
std::string Format(double value, std::string_view pattern);
// Format of a date/time (local broken-down time).
std::string FormatDate(const std::tm& t, std::string_view pattern);

// CStr of a Double: up to 15 significant digits, shortest form, no leading space
// (0.5 -> "0.5", 1e15 -> "1E+15", 1e-5 -> "1E-05").
std::string CStr(double value);
// CStr of a Single: up to 7 significant digits.
std::string CStr(float value);
// CStr of whole numbers.
std::string CStr(long long value);
inline std::string CStr(int value) { return CStr(static_cast<long long>(value)); }
inline std::string CStr(long value) { return CStr(static_cast<long long>(value)); }
inline std::string CStr(int16_t value) { return CStr(static_cast<long long>(value)); }
// CStr of a Boolean: "True" / "False".
std::string CStr(bool value);

// Str$: a leading space for non-negative numbers, no leading zero before the decimal point
// (0.5 -> " .5", -0.5 -> "-.5", 12 -> " 12").
std::string Str(double value);
std::string Str(float value);
std::string Str(long long value);
inline std::string Str(int value) { return Str(static_cast<long long>(value)); }
inline std::string Str(long value) { return Str(static_cast<long long>(value)); }
inline std::string Str(int16_t value) { return Str(static_cast<long long>(value)); }

// CInt / CLng: round half to even; a result outside Integer (16-bit) / Long (32-bit)
// range, or a non-finite value, raises error 6 (Overflow).
int16_t CInt(double value);
int32_t CLng(double value);
// CSng: raises error 6 when the value does not fit a Single.
float CSng(double value);

// True when the text reads as a number (surrounding spaces, a sign, digits with one ".",
// an optional exponent), with "." as decimal point. Thousands separators "," among the
// integer digits are accepted and skipped, so that a number formatted with grouping
// ("1,234,567", "-3,517.5") reads back as its value.
bool IsNumeric(std::string_view text);
// The number of a numeric text; raises error 13 (Type mismatch) when it is not numeric.
double CDbl(std::string_view text);

// Trim / LTrim / RTrim: remove spaces (only " ") at the ends.
std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
std::string UCase(std::string_view s);  // ASCII letters only
std::string LCase(std::string_view s);

// The number of characters of a UTF-8 text.
std::size_t Len(std::string_view s);
// The first n characters (all when shorter); Right likewise from the end.
std::string Left(std::string_view s, std::size_t n);
std::string Right(std::string_view s, std::size_t n);
// n spaces.
std::string Space(std::size_t n);
// The text cut or space-padded on the right to exactly n characters (a fixed-length String).
std::string FixedWidth(std::string_view s, std::size_t n);
// The text cut or space-padded on the left to n characters (right-aligned; a longer text
// is cut on the right).
std::string RightAligned(std::string_view s, std::size_t n);

// A line-oriented text writer with Tab columns, as Print # writes fixed-column text:
// Tab(n) moves to column n (1-based) by spaces; when the line is already past column n,
// the line is ended and the next line is padded to column n. Lines end with `eol`.
class TabWriter {
 public:
  explicit TabWriter(std::string eol = "\r\n") : eol_(std::move(eol)) {}
  TabWriter& Tab(std::size_t column);
  TabWriter& Print(std::string_view text);
  TabWriter& EndLine();
  // The current column (1-based position of the next character).
  std::size_t Column() const { return column_; }
  // The text written so far (a line in progress included).
  const std::string& Text() const { return text_; }
  std::string Take();

 private:
  std::string eol_;
  std::string text_;
  std::size_t column_ = 1;
};

}  // namespace vb
