#include "controls/unitentry/modArithmetic.h"

#include <cmath>
#include <vector>

#include "libs/vb/vbcompat.h"

namespace modArithmetic {
namespace {

// A text cut at its operators: pieces[0] ops[0] pieces[1] ops[1] ... pieces[n].
struct Split {
  std::vector<std::string_view> pieces;
  std::vector<char> ops;
};

Split SplitAt(std::string_view s, std::string_view operators) {
  Split out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (operators.find(s[i]) != std::string_view::npos) {
      out.pieces.push_back(s.substr(start, i - start));
      out.ops.push_back(s[i]);
      start = i + 1;
    }
  }
  out.pieces.push_back(s.substr(start));
  return out;
}

// A number text (blanks around it allowed); false when it is not one or does not fit a Double.
bool ReadNumber(std::string_view text, double& value) {
  if (!vb::IsNumeric(text)) return false;
  try {
    value = vb::CDbl(text);
  } catch (...) {
    return false;
  }
  return std::isfinite(value);
}

// a op b; false where the arithmetic has no finite real result.
bool Apply(char op, double a, double b, double& r) {
  switch (op) {
    case '+':
      r = a + b;
      break;
    case '-':
      r = a - b;
      break;
    case '*':
      r = a * b;
      break;
    case '/':
      if (b == 0.0) return false;
      r = a / b;
      break;
    default:  // '^'
      r = std::pow(a, b);
      break;
  }
  return std::isfinite(r);
}

// Operands joined by '^', left to right.
bool EvalPower(std::string_view s, double& v) {
  const Split p = SplitAt(s, "^");
  if (!ReadNumber(p.pieces[0], v)) return false;
  for (std::size_t i = 0; i < p.ops.size(); ++i) {
    double r = 0.0;
    if (!ReadNumber(p.pieces[i + 1], r) || !Apply('^', v, r, v)) return false;
  }
  return true;
}

// Powers joined by '*' and '/', left to right.
bool EvalProduct(std::string_view s, double& v) {
  const Split p = SplitAt(s, "*/");
  if (!EvalPower(p.pieces[0], v)) return false;
  for (std::size_t i = 0; i < p.ops.size(); ++i) {
    double r = 0.0;
    if (!EvalPower(p.pieces[i + 1], r) || !Apply(p.ops[i], v, r, v)) return false;
  }
  return true;
}

bool HasAny(std::string_view s, std::string_view chars) { return s.find_first_of(chars) != std::string_view::npos; }

EvalResult Number(double v) { return {true, v, {}}; }
EvalResult Text(std::string t) { return {false, 0.0, std::move(t)}; }

}  // namespace

std::string EvalResult::Text() const { return isNumber ? vb::CStr(number) : text; }

long LastPos(std::string_view s, char c) {
  const std::size_t p = s.rfind(c);
  return p == std::string_view::npos ? 0 : static_cast<long>(p) + 1;
}

EvalResult Evaluate(std::string_view input) {
  std::string s = vb::Trim(input);
  // A leading minus and no other: a lone negative, or "0" - the rest.
  if (LastPos(s, '-') == 1) {
    if (!HasAny(s, "*/+^")) return Text(s);
    s.insert(0, "0");
  }
  const Split sum = SplitAt(s, "+-");
  const std::size_t n = sum.ops.size();
  double v = 0.0;
  std::size_t next = 1;  // the first piece still to add or subtract
  if (n > 0 && sum.ops[0] == '-' && vb::Trim(sum.pieces[0]).empty()) {
    // The text starts with "-" and has a later "-" too. Splitting at the last "+" or "-"
    // level by level leaves "-" piece1 alone at the bottom when the next operator is "-":
    // there it is a lone negative (the number as written), unless piece1 holds "*", "/" or
    // "^", when it reads as 0 - piece1 as at a "+".
    const std::string_view first = sum.pieces[1];
    if (sum.ops[1] == '-' && !HasAny(first, "*/^")) {
      if (!ReadNumber(vb::RTrim(std::string("-").append(first)), v)) return Text(kError);
    } else {
      double r = 0.0;
      if (!EvalProduct(first, r)) return Text(kError);
      v = 0.0 - r;
    }
    next = 2;
  } else if (!EvalProduct(sum.pieces[0], v)) {
    return Text(kError);
  }
  for (std::size_t i = next; i <= n; ++i) {
    double r = 0.0;
    if (!EvalProduct(sum.pieces[i], r) || !Apply(sum.ops[i - 1], v, r, v)) return Text(kError);
  }
  return Number(v);
}

std::string EvaluateEntry(const std::string& text) {
  double number = 0.0;
  if (ReadNumber(text, number)) return text;
  // A lone negative Evaluate keeps as text is no number here ("-1e400", "-abc"): the entry is
  // as bad as the same text without its sign.
  const EvalResult result = Evaluate(text);
  return result.isNumber ? result.Text() : std::string(kError);
}

char DecimalSeparator() { return vb::CStr(2.3)[1]; }

void FilterKey(char16_t& key, std::string& text) {
  const bool passes = (key >= u'*' && key <= u'9') || key == 8 || key == u'^' || key == u'e' || key == u'E';
  if (key == u'=') {
    key = 0;
    text = EvaluateEntry(text);
  } else if (!passes) {
    key = 0;
  }
  if (key == u'.' && DecimalSeparator() == ',') key = u',';
}

}  // namespace modArithmetic
