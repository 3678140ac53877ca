#include "platform/richtext/rtf_picture.h"

namespace richtext::rtf {

namespace {

constexpr int32_t kTwipsPerPixel = 15;  // 96 dpi
constexpr int32_t kMaxPixels = 1 << 20;

uint32_t be16(std::string_view d, size_t i) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(d[i])) << 8) | static_cast<uint8_t>(d[i + 1]);
}
uint32_t be32(std::string_view d, size_t i) { return (be16(d, i) << 16) | be16(d, i + 2); }

PixelSize checked(uint32_t w, uint32_t h) {
  if (w == 0 || h == 0 || w > kMaxPixels || h > kMaxPixels) return {};
  return {static_cast<int32_t>(w), static_cast<int32_t>(h)};
}

}  // namespace

PixelSize ImagePixelSize(std::string_view d) {
  if (d.size() >= 24 && d.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8) && d.substr(12, 4) == "IHDR")
    return checked(be32(d, 16), be32(d, 20));

  if (d.size() >= 4 && static_cast<uint8_t>(d[0]) == 0xFF && static_cast<uint8_t>(d[1]) == 0xD8) {
    size_t i = 2;
    while (i + 4 <= d.size()) {
      if (static_cast<uint8_t>(d[i]) != 0xFF) return {};
      const uint8_t m = static_cast<uint8_t>(d[i + 1]);
      if (m == 0xFF) {  // fill byte
        ++i;
        continue;
      }
      if (m == 0x01 || (m >= 0xD0 && m <= 0xD9)) {  // markers without a length
        i += 2;
        continue;
      }
      const uint32_t len = be16(d, i + 2);
      if (len < 2) return {};
      const bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
      if (sof) {
        if (i + 9 > d.size()) return {};
        return checked(be16(d, i + 7), be16(d, i + 5));
      }
      i += 2 + len;
    }
  }
  return {};
}

EncodedPicture EncodePicture(const Picture& pic) {
  EncodedPicture enc;
  PixelSize px;
  switch (pic.format) {
    case Picture::Format::Png:
    case Picture::Format::Jpeg:
      enc.data = pic.data;
      enc.jpeg = pic.format == Picture::Format::Jpeg;
      px = pic.pixelWidth > 0 && pic.pixelHeight > 0 ? PixelSize{pic.pixelWidth, pic.pixelHeight}
                                                     : ImagePixelSize(pic.data);
      break;
    case Picture::Format::Svg:
      // Word processors take raster pictures; the vector picture goes as its PNG rendering.
      enc.data = PictureAsPng(pic);
      px = ImagePixelSize(enc.data);
      break;
  }
  enc.pixelWidth = px.width;
  enc.pixelHeight = px.height;
  enc.width = pic.width > 0 ? pic.width : px.width * kTwipsPerPixel;
  enc.height = pic.height > 0 ? pic.height : px.height * kTwipsPerPixel;
  if (enc.width <= 0) enc.width = 1440;
  if (enc.height <= 0) enc.height = 1440;
  return enc;
}

}  // namespace richtext::rtf
