// The one-byte character set of the stored records' fixed-length texts (Windows-1252).
// Text in memory is UTF-8. Every byte value maps to one character and back, so a stored
// text round-trips byte for byte: the five byte values that Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same number.
#pragma once

#include <string>
#include <string_view>

namespace modDataIO::cp1252 {

// The UTF-8 text of one-byte characters (NUL bytes stay NUL characters).
std::string ToUtf8(std::string_view bytes);
// The one-byte characters of a UTF-8 text; a character without a one-byte form becomes "?",
// and so does each byte of an invalid UTF-8 sequence.
std::string FromUtf8(std::string_view text);

}  // namespace modDataIO::cp1252
