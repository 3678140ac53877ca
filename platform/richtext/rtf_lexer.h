// Splits RTF bytes into tokens: group braces, control words with their numeric parameter,
// control symbols, \'hh bytes, \bin data and runs of plain text.
//
// The input is untrusted. The lexer never reads past the end, never allocates (tokens are
// views into the input) and always makes progress, so any byte string ends in a finite
// number of tokens proportional to its length. Over-long control words are cut to
// kMaxWordLength letters and parameters saturate at the int32 range.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace richtext::rtf {

enum class TokenKind {
  End,            // no more input
  GroupStart,     // {
  GroupEnd,       // }
  ControlWord,    // \word or \wordN (name, hasParam, param)
  ControlSymbol,  // \ followed by one non-letter: \~ \- \_ \* \\ \{ \} ... (symbol)
  HexByte,        // \'hh (byte)
  Binary,         // the data of \binN (text)
  Text,           // plain bytes, CR and LF removed (text; never empty)
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::string_view name;  // ControlWord: the letters
  bool hasParam = false;  // ControlWord: a numeric parameter was given
  int32_t param = 0;      // ControlWord: the parameter, saturated to the int32 range
  char symbol = 0;        // ControlSymbol
  uint8_t byte = 0;       // HexByte
  std::string_view text;  // Text, Binary
};

class Lexer {
 public:
  static constexpr size_t kMaxWordLength = 32;

  explicit Lexer(std::string_view input) : in_(input) {}

  Token next();

  size_t position() const { return pos_; }
  bool atEnd() const { return pos_ >= in_.size(); }

 private:
  Token scan(bool& produced);
  Token controlWord();

  std::string_view in_;
  size_t pos_ = 0;
};

}  // namespace richtext::rtf
