// Picture data as RTF carries it: PNG (\pngblip) or JPEG (\jpegblip) bytes with the image's
// pixel size (\picw, \pich) and its display size in twips (\picwgoal, \pichgoal).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/richtext/model.h"

namespace richtext::rtf {

struct PixelSize {
  int32_t width = 0;
  int32_t height = 0;
};

// The pixel size stated in a PNG (IHDR) or JPEG (start-of-frame) header; 0 x 0 when the
// bytes are neither or the header is cut short. Reads only within `data`.
PixelSize ImagePixelSize(std::string_view data);

struct EncodedPicture {
  std::string data;  // PNG or JPEG bytes; empty when the picture cannot be encoded
  bool jpeg = false;
  int32_t pixelWidth = 0;
  int32_t pixelHeight = 0;
  int32_t width = 0;  // display size, twips
  int32_t height = 0;
};

// The bytes to write for a picture: PNG and JPEG as they are, vector pictures rendered to PNG.
EncodedPicture EncodePicture(const Picture& pic);

}  // namespace richtext::rtf
