#include "platform/richtext/rtf_lexer.h"

#include <algorithm>
#include <limits>

namespace richtext::rtf {

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Token Lexer::next() {
  // Loops (never recurses) past input that yields no token, so no input can deepen the stack.
  for (;;) {
    bool produced = false;
    Token t = scan(produced);
    if (produced) return t;
  }
}

Token Lexer::scan(bool& produced) {
  Token t;
  produced = true;
  // CR and LF outside control words carry no meaning in RTF.
  while (pos_ < in_.size() && (in_[pos_] == '\r' || in_[pos_] == '\n')) ++pos_;
  if (pos_ >= in_.size()) return t;

  const char c = in_[pos_];
  if (c == '{') {
    ++pos_;
    t.kind = TokenKind::GroupStart;
    return t;
  }
  if (c == '}') {
    ++pos_;
    t.kind = TokenKind::GroupEnd;
    return t;
  }
  if (c == '\\') {
    ++pos_;
    if (pos_ >= in_.size()) return t;  // a lone backslash at the very end
    const char d = in_[pos_];
    if (isLetter(d)) return controlWord();
    ++pos_;
    if (d == '\'') {
      // \'hh: two hex digits. A malformed or truncated escape yields nothing.
      int hi = pos_ < in_.size() ? hexValue(in_[pos_]) : -1;
      int lo = pos_ + 1 < in_.size() ? hexValue(in_[pos_ + 1]) : -1;
      if (hi < 0 || lo < 0) {
        if (hi >= 0) ++pos_;
        produced = false;
        return t;
      }
      pos_ += 2;
      t.kind = TokenKind::HexByte;
      t.byte = static_cast<uint8_t>(hi * 16 + lo);
      return t;
    }
    if (d == '\r' || d == '\n') {
      // A backslash before a line end is an old spelling of \par.
      t.kind = TokenKind::ControlWord;
      t.name = "par";
      return t;
    }
    t.kind = TokenKind::ControlSymbol;
    t.symbol = d;
    return t;
  }

  // Plain text up to the next special byte.
  size_t start = pos_;
  while (pos_ < in_.size()) {
    char e = in_[pos_];
    if (e == '{' || e == '}' || e == '\\' || e == '\r' || e == '\n') break;
    ++pos_;
  }
  t.kind = TokenKind::Text;
  t.text = in_.substr(start, pos_ - start);
  return t;
}

Token Lexer::controlWord() {
  Token t;
  t.kind = TokenKind::ControlWord;
  size_t start = pos_;
  while (pos_ < in_.size() && isLetter(in_[pos_])) ++pos_;
  t.name = in_.substr(start, std::min(pos_ - start, kMaxWordLength));

  bool negative = false;
  if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1])) {
    negative = true;
    ++pos_;
  }
  if (pos_ < in_.size() && isDigit(in_[pos_])) {
    t.hasParam = true;
    int64_t v = 0;
    constexpr int64_t kCap = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    while (pos_ < in_.size() && isDigit(in_[pos_])) {
      if (v < kCap) v = v * 10 + (in_[pos_] - '0');
      ++pos_;
    }
    v = std::min(v, kCap);
    if (negative) v = -v;
    t.param = static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  }
  // One space after a control word is its delimiter, not text.
  if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;

  if (t.name == "bin") {
    // \binN: N raw bytes follow, which may contain braces and backslashes.
    size_t n = t.hasParam && t.param > 0 ? static_cast<size_t>(t.param) : 0;
    n = std::min(n, in_.size() - pos_);
    Token b;
    b.kind = TokenKind::Binary;
    b.text = in_.substr(pos_, n);
    pos_ += n;
    return b;
  }
  return t;
}

}  // namespace richtext::rtf
