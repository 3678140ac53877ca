// modArithmetic: the arithmetic a user may type into a unit entry box instead of a number, and the
// filter of the keys that reach the box. Widget-free: text in, text out.
//
// Evaluate reads the text as a chain of numbers joined by operators, lowest precedence first:
//   + and -   then   * and /   then   ^        (no parentheses)
// and every level associates to the left: 8-2-1 = 5, 8/2*4 = 16, 2^3^2 = 64. Operands are
// numbers as the program reads them everywhere (vb::CDbl: "." is the decimal point, "," groups
// thousands, e/E with unsigned digits is an exponent) with blanks around them.
//
// A minus sign is an operator, never part of a number, with one exception: when the text
// starts with "-" and holds no other "-":
//   - with no other operator, the result is the trimmed text itself ("-5", also "-abc");
//   - with other operators it reads as "0" followed by the text, so the leading minus binds
//     loosest: -2^2 = -4, -2*3+1 = -5.
// So a sign after an operator ("5*-3"), a leading "+" and a signed exponent ("1e-3") all give
// "Error", as do an empty operand, text that is not a number, division by zero, a result too
// large for a Double and a power that is not a real number ((-8)^(1/3), 0^-1).
//
// The text is read in one pass over its operators (no recursion), so any length is safe.
#pragma once

#include <string>
#include <string_view>

#include "quillet_export.h"

namespace modArithmetic {

// The text Evaluate gives for anything it cannot compute.
inline constexpr const char* kError = "Error";

// What Evaluate gives: a number, or a text ("Error", or a lone negative kept as typed).
struct QUILLET_EXPORT EvalResult {
  bool isNumber = false;
  double number = 0.0;
  std::string text;

  // The text a box shows: a number with up to 15 significant digits (vb::CStr), else the text.
  std::string Text() const;
  bool IsError() const { return !isNumber && text == kError; }
};

// Evaluates the arithmetic of the text (see above).
QUILLET_EXPORT EvalResult Evaluate(std::string_view s);

// The 1-based position of the last c in s; 0 when there is none.
QUILLET_EXPORT long LastPos(std::string_view s, char c);

// The text a unit entry box shows after evaluating its entry (on Enter, on "=" and when the
// box is left invalid). A text that already reads as a number a Double holds stays as it is,
// so a value that the full-precision display writes with a signed exponent ("1E-05") is not
// split at its sign into "Error"; any other text becomes Evaluate's result, a number, or
// "Error" for anything else ("1e400", "-1e400" and "-abc" alike).
QUILLET_EXPORT std::string EvaluateEntry(const std::string& text);

// The decimal separator of the program's number texts (the second character of 2.3 as text).
QUILLET_EXPORT char DecimalSeparator();

// Filters one typed character of a unit entry box whose text is `text`. The key is left as it
// is when it may reach the box: "*", "+", ",", "-", ".", "/", the digits, backspace (8), "^",
// "e" and "E". "=" is swallowed (key set to 0) and the text replaced by EvaluateEntry(text).
// Every other character is swallowed: Enter, Escape, Tab and control characters (Ctrl+C/V/X)
// included. A "." becomes the decimal separator (DecimalSeparator).
QUILLET_EXPORT void FilterKey(char16_t& key, std::string& text);

}  // namespace modArithmetic
