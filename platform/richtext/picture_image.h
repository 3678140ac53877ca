// Pictures as images: the pixels a picture is painted from and the PNG bytes it is stored as,
// each made once.
//
// A vector picture is rendered once to an opaque image and stored as PNG (RGB, fast zlib
// level). The image stays in a bounded process-wide list, keyed by its encoded bytes, so that
// painting the same bytes again (a report read back from the RTF it was saved as, a logo in
// every footer) uses that image instead of decoding it: the PDF engine, which stores an image
// once per image object, then stores each distinct picture once.
#pragma once

#include <QImage>

#include <string>

#include "platform/richtext/model.h"

namespace richtext {

// The image a picture is painted from: a raster picture decoded (once for the same bytes), a
// vector picture rendered at 150 dpi of its display size on white. Null when it cannot be
// decoded or rendered.
QImage PictureImage(const Picture& pic);

}  // namespace richtext
