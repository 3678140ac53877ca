// A sample report document that uses every feature of the rich-text library: fonts and
// paragraph styles, titles, headers and footers with the page number, a two-column part with
// a column break, tables with header rows, colours, shading and a kept-together table, a
// landscape section, raster and vector pictures in frames, and page breaks.
#pragma once

#include "platform/richtext/ter.h"

namespace richtext::sample {

// Builds the sample into the handle's document. `chapters` repeats the data chapter (each
// about three pages: a long table and a graph) to make larger documents.
void BuildSampleDocument(TerHwnd h, int chapters = 1);

}  // namespace richtext::sample
