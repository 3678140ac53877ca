// Reading and writing the document model as RTF (rtf_writer.cpp, rtf_reader.cpp).
#pragma once

#include <memory>
#include <ostream>
#include <string_view>

#include "platform/richtext/model.h"

namespace richtext {

// Pictures as the RTF writer writes them, kept between writes of a document: each picture
// (a shared picture object of the model, which never changes once made) is encoded once, its
// vector rendering and hexadecimal text included. Entries that a write did not use are
// dropped at its end.
class RtfPictureCache {
 public:
  RtfPictureCache();
  ~RtfPictureCache();
  RtfPictureCache(const RtfPictureCache&) = delete;
  RtfPictureCache& operator=(const RtfPictureCache&) = delete;

  struct Impl;
  std::unique_ptr<Impl> impl;
};

// Writes the whole document as RTF 1.9 (sections, headers and footers with the PAGE field,
// tables, pictures as PNG, escaped text). Returns false when the stream fails. Without a
// cache every picture is encoded afresh (once per write).
bool WriteRtf(const Document& doc, std::ostream& out);
bool WriteRtf(const Document& doc, std::ostream& out, RtfPictureCache& pictures);

// Replaces `doc` with the document read from RTF text. Takes what WriteRtf writes and the
// common subset of other word processors (paragraphs, character formatting, tables,
// pictures); anything else is skipped. Returns false (leaving `doc` a valid, possibly partial
// document) when the text is not RTF. Never crashes or hangs on malformed input.
bool ReadRtf(std::string_view rtf, Document& doc);

}  // namespace richtext
