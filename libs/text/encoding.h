// Text encodings: the program keeps text as UTF-8; the stored records' fixed-length texts
// and the \'hh bytes of RTF files are Windows-1252. This unit converts between the two and
// walks UTF-8 text by characters (widths, columns and caret positions count characters).
//
// Every Windows-1252 byte maps to one character and back, so a stored text round-trips byte
// for byte: the five byte values the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the control characters of the same number.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

// The Unicode character of a Windows-1252 byte.
char32_t Cp1252ToUnicode(unsigned char b);

// The Windows-1252 byte of a character, or '?' for a character without a one-byte form.
char UnicodeToCp1252(char32_t c);

// Appends the UTF-8 form of a code point; surrogates and values past U+10FFFF become U+FFFD.
void AppendUtf8(std::string& out, char32_t cp);

// Decodes the UTF-8 sequence at `pos` into `cp` and moves `pos` past it. False, with `pos`
// left alone, when no valid sequence starts there: a stray continuation byte, a sequence cut
// short by the end or by a byte that does not continue it, an overlong form, a surrogate or
// a value past U+10FFFF. The caller chooses what such a byte stands for.
bool NextUtf8(std::string_view text, std::size_t& pos, char32_t& cp);

// The UTF-8 text of Windows-1252 bytes (NUL bytes stay NUL characters).
std::string Cp1252ToUtf8(std::string_view bytes);

// The Windows-1252 bytes of a UTF-8 text; a character without a one-byte form becomes "?",
// and so does each byte that starts no valid UTF-8 sequence.
std::string Utf8ToCp1252(std::string_view text);

// True when the bytes are well-formed UTF-8 (every sequence one that NextUtf8 accepts).
bool IsUtf8(std::string_view bytes);

// The UTF-8 text of ISO-8859-1 bytes: every byte is the character of the same number.
std::string Latin1ToUtf8(std::string_view bytes);

// The number of characters of a UTF-8 text: its bytes that are not continuation bytes.
std::size_t Utf8Length(std::string_view s);

// The byte offset at which character `n` (from 0) of a UTF-8 text starts, a character being
// a byte and the continuation bytes after it (character 0 starts at 0); the text's size when
// it has n characters or fewer.
std::size_t Utf8Offset(std::string_view s, std::size_t n);

}  // namespace text
