#include "libs/vb/vbcompat.h"

#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <vector>

#include "libs/text/encoding.h"
#include "libs/vb/vberror.h"

namespace vb {
namespace {

// ---- Number patterns ----------------------------------------------------------------

// One element of a pattern: a digit placeholder ('0' or '#'), the decimal point, or literal text.
struct PatternItem {
  enum Kind { kDigit, kPoint, kLiteral } kind;
  char placeholder = 0;  // '0' or '#' for kDigit
  std::string text;      // for kLiteral
};

struct Pattern {
  std::vector<PatternItem> items;
  bool grouping = false;
  int intPlaceholders = 0;
  int intMinDigits = 0;  // placeholders from the leftmost integer '0' to the point
  int decPlaceholders = 0;
  int decMinDigits = 0;  // decimals up to the last '0' after the point
};

Pattern ParsePattern(std::string_view p) {
  Pattern pat;
  bool afterPoint = false;
  bool seenZero = false;
  int decIndex = 0;
  auto literal = [&pat](std::string text) {
    if (!pat.items.empty() && pat.items.back().kind == PatternItem::kLiteral)
      pat.items.back().text += text;
    else
      pat.items.push_back({PatternItem::kLiteral, 0, std::move(text)});
  };
  for (std::size_t i = 0; i < p.size(); ++i) {
    const char c = p[i];
    if (c == '0' || c == '#') {
      pat.items.push_back({PatternItem::kDigit, c, {}});
      if (afterPoint) {
        ++decIndex;
        ++pat.decPlaceholders;
        if (c == '0') pat.decMinDigits = decIndex;
      } else {
        ++pat.intPlaceholders;
        if (c == '0') seenZero = true;
        if (seenZero) ++pat.intMinDigits;
      }
    } else if (c == '.' && !afterPoint) {
      afterPoint = true;
      pat.items.push_back({PatternItem::kPoint, 0, {}});
    } else if (c == ',' && !afterPoint) {
      pat.grouping = true;  // a comma among the integer placeholders groups thousands
    } else if (c == '"') {
      const std::size_t end = p.find('"', i + 1);
      const std::size_t stop = end == std::string_view::npos ? p.size() : end;
      literal(std::string(p.substr(i + 1, stop - i - 1)));
      i = stop;
    } else if (c == '\\' && i + 1 < p.size()) {
      literal(std::string(1, p[++i]));
    } else {
      literal(std::string(1, c));
    }
  }
  return pat;
}

// The decimal digits of |value| rounded half away from zero to `decimals` places, split
// into integer digits (no leading zeros; empty for 0) and exactly `decimals` fraction
// digits. The rounding works on the value's 15 significant digits, so that 2.675 shows as
// 2.68, as a person reading the number expects.
void RoundedDigits(double value, int decimals, std::string& intDigits, std::string& fracDigits) {
  intDigits.clear();
  fracDigits.assign(static_cast<std::size_t>(decimals), '0');
  const double a = std::fabs(value);
  if (a == 0.0) return;
  char buf[64];
  // d.dddddddddddddde[+-]xx, with "." whatever the C library's locale.
  const auto done = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 14);
  const std::string_view text(buf, static_cast<std::size_t>(done.ptr - buf));
  std::string mantissa;
  std::size_t p = 0;
  for (; p < text.size() && text[p] != 'e'; ++p)
    if (text[p] >= '0' && text[p] <= '9') mantissa += text[p];
  int exponent = 0;
  if (p < text.size()) {
    std::size_t e = p + 1;
    if (e < text.size() && text[e] == '+') ++e;  // from_chars takes no "+"
    std::from_chars(text.data() + e, text.data() + text.size(), exponent);
  }
  // digits[k] has the weight 10^(pointPos - 1 - k).
  int pointPos = exponent + 1;
  std::string digits = mantissa;
  if (pointPos <= 0) {
    digits.insert(0, static_cast<std::size_t>(1 - pointPos), '0');
    pointPos = 1;
  }
  const int keep = pointPos + decimals;  // digits to keep
  if (static_cast<int>(digits.size()) < keep)
    digits.append(static_cast<std::size_t>(keep - static_cast<int>(digits.size())), '0');
  const bool roundUp = static_cast<int>(digits.size()) > keep && digits[keep] >= '5';
  digits.resize(static_cast<std::size_t>(keep));
  if (roundUp) {
    int k = keep - 1;
    for (; k >= 0; --k) {
      if (digits[k] == '9') {
        digits[k] = '0';
      } else {
        ++digits[k];
        break;
      }
    }
    if (k < 0) {
      digits.insert(digits.begin(), '1');
      ++pointPos;
    }
  }
  intDigits = digits.substr(0, static_cast<std::size_t>(pointPos));
  fracDigits = digits.substr(static_cast<std::size_t>(pointPos));
  const std::size_t nz = intDigits.find_first_not_of('0');
  intDigits = nz == std::string::npos ? std::string() : intDigits.substr(nz);
}

std::string FormatWithPattern(double value, const Pattern& pat) {
  std::string intDigits, fracDigits;
  RoundedDigits(value, pat.decPlaceholders, intDigits, fracDigits);
  if (static_cast<int>(intDigits.size()) < pat.intMinDigits)
    intDigits.insert(0, static_cast<std::size_t>(pat.intMinDigits) - intDigits.size(), '0');
  // Decimals beyond the last '0' placeholder are dropped when they are trailing zeros.
  int fracShown = pat.decPlaceholders;
  while (fracShown > pat.decMinDigits && fracDigits[static_cast<std::size_t>(fracShown) - 1] == '0') --fracShown;

  // Integer part: walk the items before the point right to left; the leftmost digit
  // placeholder takes all remaining digits.
  std::size_t pointItem = pat.items.size();
  for (std::size_t i = 0; i < pat.items.size(); ++i)
    if (pat.items[i].kind == PatternItem::kPoint) {
      pointItem = i;
      break;
    }
  std::size_t firstDigit = pointItem;
  for (std::size_t i = 0; i < pointItem; ++i)
    if (pat.items[i].kind == PatternItem::kDigit) {
      firstDigit = i;
      break;
    }

  std::string intOut;  // built reversed
  int remaining = static_cast<int>(intDigits.size());
  int emitted = 0;
  auto emitDigit = [&](char d) {
    if (pat.grouping && emitted > 0 && emitted % 3 == 0) intOut += ',';
    intOut += d;
    ++emitted;
  };
  for (std::size_t i = pointItem; i-- > 0;) {
    const PatternItem& it = pat.items[i];
    if (it.kind == PatternItem::kLiteral) {
      intOut.append(it.text.rbegin(), it.text.rend());
    } else if (it.kind == PatternItem::kDigit) {
      if (i == firstDigit) {
        while (remaining > 0) emitDigit(intDigits[static_cast<std::size_t>(--remaining)]);
      } else if (remaining > 0) {
        emitDigit(intDigits[static_cast<std::size_t>(--remaining)]);
      }
    }
  }
  std::string out(intOut.rbegin(), intOut.rend());

  // Decimal point and fraction, left to right.
  int fracIndex = 0;
  for (std::size_t i = pointItem; i < pat.items.size(); ++i) {
    const PatternItem& it = pat.items[i];
    if (it.kind == PatternItem::kPoint) {
      out += '.';
    } else if (it.kind == PatternItem::kLiteral) {
      out += it.text;
    } else {
      if (fracIndex < fracShown) out += fracDigits[static_cast<std::size_t>(fracIndex)];
      ++fracIndex;
    }
  }

  // The sign follows the value, not its rounded digits: -0.04 with "0.0" is "-0.0".
  if (value < 0) {
    // The sign goes in front of the first digit placeholder's output (after a literal prefix).
    std::size_t prefix = 0;
    if (firstDigit < pat.items.size() && firstDigit > 0 && pat.items[0].kind == PatternItem::kLiteral)
      prefix = pat.items[0].text.size();
    out.insert(prefix, "-");
  }
  return out;
}

// Shortest %G text with up to `digits` significant digits ("0.5", "1E+15", "1E-05"), written
// by to_chars so that the C library's locale (a decimal comma) never reaches a file.
std::string GeneralNumber(double value, int digits) {
  if (value == 0.0) return "0";
  if (!std::isfinite(value)) return std::isnan(value) ? "NaN" : (value > 0 ? "Inf" : "-Inf");
  char buf[64];
  const auto done = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
  std::string s(buf, done.ptr);
  for (char& c : s)
    if (c == 'e') c = 'E';
  return s;
}

std::string StrOf(std::string s) {
  if (s.rfind("0.", 0) == 0)
    s.erase(0, 1);
  else if (s.rfind("-0.", 0) == 0)
    s.erase(1, 1);
  if (s.empty() || s[0] != '-') s.insert(0, " ");
  return s;
}

std::string TwoDigits(int v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

}  // namespace

std::string Format(double value, std::string_view pattern) {
  // No pattern, or a value with no digits to place (a NaN or infinity read from a damaged
  // record): the plain number text.
  if (pattern.empty() || !std::isfinite(value)) return CStr(value);
  return FormatWithPattern(value, ParsePattern(pattern));
}

std::string FormatDate(const std::tm& t, std::string_view pattern) {
  if (pattern == "Medium Time") pattern = "hh:mm AMPM";
  const bool twelveHour = pattern.find("AMPM") != std::string_view::npos ||
                          pattern.find("AM/PM") != std::string_view::npos ||
                          pattern.find("am/pm") != std::string_view::npos;
  int hour = t.tm_hour;
  if (twelveHour) {
    hour %= 12;
    if (hour == 0) hour = 12;
  }
  std::string out;
  bool afterHour = false;  // "mm" right after an hour means minutes
  std::size_t i = 0;
  auto starts = [&](std::string_view tok) { return pattern.substr(i, tok.size()) == tok; };
  while (i < pattern.size()) {
    if (starts("yyyy")) {
      out += std::to_string(t.tm_year + 1900);
      i += 4;
    } else if (starts("yy")) {
      out += TwoDigits((t.tm_year + 1900) % 100);
      i += 2;
    } else if (starts("mm")) {
      out += afterHour ? TwoDigits(t.tm_min) : TwoDigits(t.tm_mon + 1);
      afterHour = false;
      i += 2;
    } else if (starts("nn")) {
      out += TwoDigits(t.tm_min);
      i += 2;
    } else if (starts("dd")) {
      out += TwoDigits(t.tm_mday);
      i += 2;
    } else if (starts("hh")) {
      out += TwoDigits(hour);
      afterHour = true;
      i += 2;
    } else if (starts("ss")) {
      out += TwoDigits(t.tm_sec);
      i += 2;
    } else if (starts("AMPM") || starts("AM/PM")) {
      out += t.tm_hour < 12 ? "AM" : "PM";
      i += starts("AMPM") ? 4 : 5;
    } else if (starts("am/pm")) {
      out += t.tm_hour < 12 ? "am" : "pm";
      i += 5;
    } else {
      out += pattern[i++];
    }
  }
  return out;
}

std::string CStr(double value) { return GeneralNumber(value, 15); }
std::string CStr(float value) { return GeneralNumber(static_cast<double>(value), 7); }
std::string CStr(long long value) { return std::to_string(value); }
std::string CStr(bool value) { return value ? "True" : "False"; }

std::string Str(double value) { return StrOf(CStr(value)); }
std::string Str(float value) { return StrOf(CStr(value)); }
std::string Str(long long value) { return StrOf(CStr(value)); }

int16_t CInt(double value) {
  const double r = std::nearbyint(value);
  if (!std::isfinite(r) || r < -32768.0 || r > 32767.0) Raise(kOverflow);
  return static_cast<int16_t>(r);
}

int32_t CLng(double value) {
  const double r = std::nearbyint(value);
  if (!std::isfinite(r) || r < -2147483648.0 || r > 2147483647.0) Raise(kOverflow);
  return static_cast<int32_t>(r);
}

float CSng(double value) {
  if (std::isnan(value) || std::fabs(value) > static_cast<double>(FLT_MAX)) Raise(kOverflow);
  return static_cast<float>(value);
}

bool IsNumeric(std::string_view text) {
  const std::string t = Trim(text);
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t digits = 0;
  bool point = false;
  for (; i < t.size(); ++i) {
    if (t[i] >= '0' && t[i] <= '9') {
      ++digits;
    } else if (t[i] == '.' && !point) {
      point = true;
    } else if (t[i] == ',' && !point && digits > 0) {
      // a thousands separator among the integer digits
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t expDigits = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) ++expDigits;
    if (expDigits == 0) return false;
  }
  return i == t.size();
}

double CDbl(std::string_view text) {
  if (!IsNumeric(text)) Raise(kTypeMismatch);
  std::string t;
  for (char c : Trim(text))
    if (c != ',') t += c;  // thousands separators (IsNumeric allows them only there)
  if (!t.empty() && t[0] == '+') t.erase(0, 1);
  double v = 0.0;
  const auto res = std::from_chars(t.data(), t.data() + t.size(), v);
  if (res.ec == std::errc::result_out_of_range) Raise(kOverflow);
  if (res.ec != std::errc()) Raise(kTypeMismatch);
  return v;
}

std::string LTrim(std::string_view s) {
  const std::size_t b = s.find_first_not_of(' ');
  return b == std::string_view::npos ? std::string() : std::string(s.substr(b));
}

std::string RTrim(std::string_view s) {
  const std::size_t e = s.find_last_not_of(' ');
  return e == std::string_view::npos ? std::string() : std::string(s.substr(0, e + 1));
}

std::string Trim(std::string_view s) { return LTrim(RTrim(s)); }

std::string UCase(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

std::string LCase(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

std::size_t Len(std::string_view s) { return text::Utf8Length(s); }

std::string Left(std::string_view s, std::size_t n) { return std::string(s.substr(0, text::Utf8Offset(s, n))); }

std::string Right(std::string_view s, std::size_t n) {
  const std::size_t len = Len(s);
  return n >= len ? std::string(s) : std::string(s.substr(text::Utf8Offset(s, len - n)));
}

std::string Space(std::size_t n) { return std::string(n, ' '); }

std::string FixedWidth(std::string_view s, std::size_t n) {
  std::string r = Left(s, n);
  const std::size_t len = Len(r);
  if (len < n) r.append(n - len, ' ');
  return r;
}

std::string RightAligned(std::string_view s, std::size_t n) {
  std::string r = Left(s, n);
  const std::size_t len = Len(r);
  if (len < n) r.insert(0, n - len, ' ');
  return r;
}

TabWriter& TabWriter::Tab(std::size_t column) {
  if (column < 1) column = 1;
  if (column_ > column) EndLine();
  text_.append(column - column_, ' ');
  column_ = column;
  return *this;
}

TabWriter& TabWriter::Print(std::string_view text) {
  text_ += text;
  column_ += Len(text);
  return *this;
}

TabWriter& TabWriter::EndLine() {
  text_ += eol_;
  column_ = 1;
  return *this;
}

std::string TabWriter::Take() {
  std::string r = std::move(text_);
  text_.clear();
  column_ = 1;
  return r;
}

}  // namespace vb
