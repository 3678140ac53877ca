// Internals shared by the API's source files.
#pragma once

#include <string>
#include <string_view>

#include "platform/richtext/ter.h"

namespace richtext::detail {

// Print commands of an editor (page setup, print setup, preview); false when not run.
bool RunPrintCommand(TerHwnd h, Editor& e, int command);
// Forgets the printer settings kept for a handle.
void ReleasePrinter(TerHwnd h);
// Makes sure the body ends with a paragraph that new text goes into.
void EnsureOpenParagraph(Document& doc);
// Saves a file the document was written to (RTF, PDF) whole or not at all; the reason of a
// failure is kept for TerLastSaveError.
bool SaveFileBytes(const std::string& path, std::string_view bytes);
std::string& LastSaveError();

}  // namespace richtext::detail
