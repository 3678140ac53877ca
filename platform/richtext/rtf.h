// Reading and writing the document model as RTF (rtf_writer.cpp, rtf_reader.cpp).
#pragma once

#include <ostream>
#include <string_view>

#include "platform/richtext/model.h"

namespace richtext {

// Writes the whole document as RTF 1.9 (sections, headers and footers with the PAGE field,
// tables, pictures as PNG, escaped text). Returns false when the stream fails.
bool WriteRtf(const Document& doc, std::ostream& out);

// Replaces `doc` with the document read from RTF text. Takes what WriteRtf writes and the
// common subset of other word processors (paragraphs, character formatting, tables,
// pictures); anything else is skipped. Returns false (leaving `doc` a valid, possibly partial
// document) when the text is not RTF. Never crashes or hangs on malformed input.
bool ReadRtf(std::string_view rtf, Document& doc);

}  // namespace richtext
