// The arithmetic entry evaluator and the key filter.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "controls/unitentry/modArithmetic.h"
#include "controls/unitentry/tests/quillet_fixture.h"
#include "libs/vb/vbcompat.h"

namespace {

struct EvalCase {
  const char* name;
  const char* input;
  const char* expected;  // the result text
  bool isNumber;
};

class Evaluate : public ::testing::TestWithParam<EvalCase> {};

TEST_P(Evaluate, GivesTheResultText) {
  const EvalCase& c = GetParam();
  const modArithmetic::EvalResult r = modArithmetic::Evaluate(c.input);
  EXPECT_EQ(r.Text(), c.expected);
  EXPECT_EQ(r.isNumber, c.isNumber);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Evaluate,
    ::testing::Values(
        EvalCase{"Product", "12*3", "36", true}, EvalCase{"BlanksAtEveryLevel", "  7 +  3 ", "10", true},
        EvalCase{"TypedEntry", "12*100", "1200", true}, EvalCase{"LoneNegativeKeepsItsText", " -5.50 ", "-5.50", false},
        EvalCase{"LoneNegativeOfText", "-abc", "-abc", false},
        EvalCase{"LoneNegativeAsLeftOperand", "-5-3", "-8", true}, EvalCase{"LeadingMinusThenPlus", "-5+3", "-2", true},
        EvalCase{"LeadingMinusBindsLoosestOverPower", "-2^2", "-4", true},
        EvalCase{"LeadingMinusBindsLoosestOverProduct", "-2*3+1", "-5", true},
        EvalCase{"SubtractionIsLeftAssociative", "8-2-1", "5", true},
        EvalCase{"DivisionIsLeftAssociative", "8/2*4", "16", true},
        EvalCase{"PowerIsLeftAssociative", "2^3^2", "64", true},
        EvalCase{"PrecedenceLowToHigh", "1+2*3^2-4/2", "17", true}, EvalCase{"Exponent", "2e2", "200", true},
        EvalCase{"ThousandsSeparator", "1,000/4", "250", true},
        // "," is never a decimal separator here: it groups digits, as everywhere in the program.
        EvalCase{"CommaGroupsDigits", "1,5*2", "30", true}, EvalCase{"FifteenDigits", "2/3", "0.666666666666667", true},
        EvalCase{"PlainNumberRewritten", "1.50", "1.5", true}, EvalCase{"DivisionByZero", "10/0", "Error", false},
        EvalCase{"ZeroDividedByZero", "0/0", "Error", false}, EvalCase{"Empty", "", "Error", false},
        EvalCase{"Blank", "   ", "Error", false}, EvalCase{"EmptyOperand", "5+", "Error", false},
        EvalCase{"SignAfterOperator", "5*-3", "Error", false}, EvalCase{"SignsAfterOperators", "-5*-3", "Error", false},
        EvalCase{"LeadingPlus", "+5", "Error", false}, EvalCase{"SignedExponent", "1e-3", "Error", false},
        EvalCase{"NotANumber", "12*abc", "Error", false},
        EvalCase{"SpaceAfterLoneMinusOperand", "- 5-1", "Error", false},
        EvalCase{"Overflow", "1e300*1e300", "Error", false}, EvalCase{"NumberTooLarge", "1e400+1", "Error", false},
        EvalCase{"PowerOverflow", "10^400", "Error", false}, EvalCase{"PowerOfZeroToNothing", "0^0", "1", true},
        EvalCase{"DoubleMinus", "3--5", "Error", false}),
    CaseName<EvalCase>);

// The evaluation as first described: split at the last operator of the lowest precedence
// present, evaluate both sides the same way. Used on short texts as the reference the one-pass
// evaluator must agree with.
modArithmetic::EvalResult Described(std::string s) {
  using modArithmetic::EvalResult;
  const EvalResult error{false, 0.0, modArithmetic::kError};
  s = vb::Trim(s);
  long pMul = modArithmetic::LastPos(s, '*'), pDiv = modArithmetic::LastPos(s, '/');
  long pAdd = modArithmetic::LastPos(s, '+'), pSub = modArithmetic::LastPos(s, '-');
  long pPow = modArithmetic::LastPos(s, '^');
  if (pSub == 1) {
    if (pMul == 0 && pDiv == 0 && pAdd == 0 && pPow == 0) return {false, 0.0, s};
    s = "0" + s;
    pMul = modArithmetic::LastPos(s, '*'), pDiv = modArithmetic::LastPos(s, '/');
    pAdd = modArithmetic::LastPos(s, '+'), pSub = modArithmetic::LastPos(s, '-');
    pPow = modArithmetic::LastPos(s, '^');
  }
  long at = 0;
  if (pSub || pAdd)
    at = std::max(pSub, pAdd);
  else if (pDiv || pMul)
    at = std::max(pDiv, pMul);
  else
    at = pPow;
  auto value = [](const EvalResult& r, double& v) {
    if (r.isNumber) {
      v = r.number;
      return true;
    }
    if (!vb::IsNumeric(r.text)) return false;
    try {
      v = vb::CDbl(r.text);
    } catch (...) {
      return false;
    }
    return true;
  };
  if (at == 0) {
    double v = 0.0;
    return value({false, 0.0, s}, v) ? EvalResult{true, v, {}} : error;
  }
  const char op = s[static_cast<std::size_t>(at - 1)];
  double l = 0.0, r = 0.0;
  const EvalResult left = Described(s.substr(0, static_cast<std::size_t>(at - 1)));
  const EvalResult right = Described(s.substr(static_cast<std::size_t>(at)));
  if (left.IsError() || right.IsError() || !value(left, l) || !value(right, r)) return error;
  double v = 0.0;
  switch (op) {
    case '+':
      v = l + r;
      break;
    case '-':
      v = l - r;
      break;
    case '*':
      v = l * r;
      break;
    case '/':
      if (r == 0.0) return error;
      v = l / r;
      break;
    default:
      v = std::pow(l, r);
      break;
  }
  return std::isfinite(v) ? EvalResult{true, v, {}} : error;
}

TEST(EvaluateOnePass, AgreesWithTheSplittingAtTheLastOperatorOnEveryShortText) {
  const std::string alphabet = "12-+*/^ e0";
  const std::size_t k = alphabet.size();
  int compared = 0;
  for (int len = 0; len <= 5; ++len) {
    std::size_t total = 1;
    for (int i = 0; i < len; ++i) total *= k;
    for (std::size_t n = 0; n < total; ++n) {
      std::string s;
      for (std::size_t m = n, i = 0; i < static_cast<std::size_t>(len); ++i, m /= k) s += alphabet[m % k];
      const modArithmetic::EvalResult got = modArithmetic::Evaluate(s);
      const modArithmetic::EvalResult want = Described(s);
      ASSERT_EQ(got.Text(), want.Text()) << "input \"" << s << "\"";
      ASSERT_EQ(got.isNumber, want.isNumber) << "input \"" << s << "\"";
      ++compared;
    }
  }
  EXPECT_EQ(compared, 111111);
}

TEST(EvaluateOnePass, ReadsAVeryLongPastedTextWithoutRecursion) {
  std::string s = "1";
  for (int i = 0; i < 200000; ++i) s += "+1";
  EXPECT_EQ(modArithmetic::Evaluate(s).Text(), "200001");
  std::string minus(100000, '-');
  EXPECT_EQ(modArithmetic::Evaluate(minus + "5").Text(), "Error");
}

TEST(LastPos, FindsTheLastOccurrenceOneBased) {
  EXPECT_EQ(modArithmetic::LastPos("8-2-1", '-'), 4);
  EXPECT_EQ(modArithmetic::LastPos("-5", '-'), 1);
  EXPECT_EQ(modArithmetic::LastPos("12", '-'), 0);
  EXPECT_EQ(modArithmetic::LastPos("", '-'), 0);
}

TEST(EvaluateEntry, KeepsANumberWithASignedExponentAndEvaluatesAnythingElse) {
  EXPECT_EQ(modArithmetic::EvaluateEntry("1E-05"), "1E-05");
  EXPECT_EQ(modArithmetic::EvaluateEntry("-5"), "-5");
  EXPECT_EQ(modArithmetic::EvaluateEntry("12*3"), "36");
  EXPECT_EQ(modArithmetic::EvaluateEntry("5*-3"), "Error");
  EXPECT_EQ(modArithmetic::EvaluateEntry("1e400"), "Error");   // a number no Double holds
  EXPECT_EQ(modArithmetic::EvaluateEntry("-1e400"), "Error");  // with either sign
  EXPECT_EQ(modArithmetic::EvaluateEntry("-abc"), "Error");
}

struct KeyCase {
  const char* name;
  char16_t key;
  char16_t expected;  // 0: swallowed
};

class FilterKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(FilterKey, PassesOrSwallowsTheKey) {
  char16_t key = GetParam().key;
  std::string text = "12*3";
  modArithmetic::FilterKey(key, text);
  EXPECT_EQ(key, GetParam().expected);
  EXPECT_EQ(text, "12*3");
}

INSTANTIATE_TEST_SUITE_P(Keys, FilterKey,
                         ::testing::Values(KeyCase{"Digit", u'7', u'7'}, KeyCase{"Times", u'*', u'*'},
                                           KeyCase{"Plus", u'+', u'+'}, KeyCase{"Comma", u',', u','},
                                           KeyCase{"Minus", u'-', u'-'}, KeyCase{"PointStaysPoint", u'.', u'.'},
                                           KeyCase{"Slash", u'/', u'/'}, KeyCase{"Power", u'^', u'^'},
                                           KeyCase{"SmallE", u'e', u'e'}, KeyCase{"CapitalE", u'E', u'E'},
                                           KeyCase{"Backspace", 8, 8}, KeyCase{"Letter", u'a', 0},
                                           KeyCase{"Blank", u' ', 0}, KeyCase{"Parenthesis", u'(', 0},
                                           KeyCase{"Enter", 13, 0}, KeyCase{"Escape", 27, 0}, KeyCase{"Tab", 9, 0},
                                           KeyCase{"CtrlC", 3, 0}, KeyCase{"CtrlV", 22, 0}, KeyCase{"CtrlX", 24, 0},
                                           KeyCase{"NonAscii", u'\u00b0', 0}),
                         CaseName<KeyCase>);

TEST(FilterKeyEquals, IsSwallowedAndReplacesTheTextByItsValue) {
  char16_t key = u'=';
  std::string text = "12*100";
  modArithmetic::FilterKey(key, text);
  EXPECT_EQ(key, 0);
  EXPECT_EQ(text, "1200");
  key = u'=';
  text = "10/0";
  modArithmetic::FilterKey(key, text);
  EXPECT_EQ(text, "Error");
}

TEST(DecimalSeparator, IsThePointOfTheProgramsNumbers) { EXPECT_EQ(modArithmetic::DecimalSeparator(), '.'); }

}  // namespace
