// Internals shared by the API's source files.
#pragma once

#include "platform/richtext/ter.h"

namespace richtext::detail {

// Print commands of an editor (page setup, print setup, preview); false when not run.
bool RunPrintCommand(TerHwnd h, Editor& e, int command);
// Forgets the printer settings kept for a handle.
void ReleasePrinter(TerHwnd h);
// Makes sure the body ends with a paragraph that new text goes into.
void EnsureOpenParagraph(Document& doc);

}  // namespace richtext::detail
