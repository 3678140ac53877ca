// Document-wide helpers of the model: face and colour lists, picture conversion, paper size.
#include "platform/richtext/model.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPrinterInfo>
#include <QSvgRenderer>

#include <algorithm>
#include <list>
#include <mutex>

#include "platform/richtext/picture_image.h"

namespace richtext {

namespace {

template <class T>
void AddUnique(std::vector<T>& list, const T& v) {
  if (std::find(list.begin(), list.end(), v) == list.end()) list.push_back(v);
}

}  // namespace

std::vector<std::string> CollectFaces(const Document& doc) {
  std::vector<std::string> faces;
  for (const auto& f : doc.fonts) AddUnique(faces, f.face);
  ForEachParagraph(doc, [&](const Paragraph& p) {
    for (const auto& r : p.runs) AddUnique(faces, r.fmt.face);
  });
  return faces;
}

std::vector<ColorRef> CollectColors(const Document& doc) {
  std::vector<ColorRef> colors;
  auto add = [&](ColorRef c) {
    if (c != kNoColor) AddUnique(colors, c);
  };
  for (const auto& sec : doc.sections) {
    for (const auto& b : sec.blocks) {
      if (const auto* t = std::get_if<Table>(&b)) {
        for (const auto& r : t->rows)
          for (const auto& c : r.cells) add(c.background);
      }
    }
  }
  ForEachParagraph(doc, [&](const Paragraph& p) {
    for (const auto& r : p.runs) {
      add(r.fmt.color);
      add(r.fmt.background);
    }
  });
  return colors;
}

namespace {

// Decoded pictures by their encoded bytes, most recently used first. Bounded by the size of
// the pixels kept; shared by every thread that paints or encodes.
class DecodedPictures {
 public:
  QImage find(const std::string& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->bytes.size() == bytes.size() && it->bytes == bytes) {
        entries_.splice(entries_.begin(), entries_, it);
        return entries_.front().image;
      }
    }
    return {};
  }

  void add(const std::string& bytes, const QImage& image) {
    if (bytes.empty() || image.isNull()) return;
    const auto size = static_cast<size_t>(image.sizeInBytes());
    if (size > kMaxBytes) return;
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& e : entries_)
      if (e.bytes == bytes) return;
    entries_.push_front({bytes, image});
    bytes_ += size;
    while (bytes_ > kMaxBytes && !entries_.empty()) {
      bytes_ -= static_cast<size_t>(entries_.back().image.sizeInBytes());
      entries_.pop_back();
    }
  }

 private:
  static constexpr size_t kMaxBytes = size_t{192} << 20;
  struct Entry {
    std::string bytes;
    QImage image;
  };
  std::mutex mutex_;
  std::list<Entry> entries_;
  size_t bytes_ = 0;
};

DecodedPictures& Decoded() {
  static DecodedPictures* cache = new DecodedPictures;  // lives to the end of the process
  return *cache;
}

// A vector picture rendered opaque on white at 150 dpi of its display size (its natural size
// when it has none).
QImage RenderSvg(const Picture& pic) {
  const QByteArray bytes = QByteArray::fromRawData(pic.data.data(), static_cast<qsizetype>(pic.data.size()));
  QSvgRenderer svg(bytes);
  if (!svg.isValid()) return {};
  int w = pic.width > 0 ? pic.width * 150 / 1440 : svg.defaultSize().width();
  int h = pic.height > 0 ? pic.height * 150 / 1440 : svg.defaultSize().height();
  w = std::clamp(w, 1, 4000);
  h = std::clamp(h, 1, 4000);
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter painter(&img);
  svg.render(&painter, QRectF(0, 0, w, h));
  return img;
}

// PNG bytes of an image. An opaque image is written as RGB; zlib level 1 makes files a little
// larger than the default level at a fraction of the time. Qt takes the compression on a scale
// of 0 to 100 and maps it to zlib's levels as value * 9 / 91: 11 is level 1 (1 would be level
// 0, pixels stored uncompressed).
std::string EncodePng(const QImage& img) {
  QByteArray out;
  QBuffer buf(&out);
  buf.open(QIODevice::WriteOnly);
  QImageWriter writer(&buf, "PNG");
  writer.setCompression(11);
  if (!writer.write(img)) return {};
  return std::string(out.constData(), static_cast<size_t>(out.size()));
}

}  // namespace

QImage PictureImage(const Picture& pic) {
  if (pic.format == Picture::Format::Svg) return RenderSvg(pic);
  QImage img = Decoded().find(pic.data);
  if (!img.isNull()) return img;
  const QByteArray bytes = QByteArray::fromRawData(pic.data.data(), static_cast<qsizetype>(pic.data.size()));
  if (!img.loadFromData(bytes, pic.format == Picture::Format::Jpeg ? "JPEG" : "PNG")) return {};
  Decoded().add(pic.data, img);
  return img;
}

std::string PictureAsPng(const Picture& pic) {
  if (pic.format == Picture::Format::Png) return pic.data;
  const QImage img = PictureImage(pic);
  if (img.isNull()) return {};
  std::string png = EncodePng(img);
  // Whoever paints these bytes later gets the image they were made from.
  Decoded().add(png, img);
  return png;
}

PaperSize DefaultPaperSize() {
  PaperSize size;
  const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
  if (!printer.isNull()) {
    const QSizeF pts = printer.defaultPageSize().size(QPageSize::Point);
    if (pts.width() > 0 && pts.height() > 0) {
      const auto w = static_cast<int32_t>(std::lround(pts.width() * 20.0));
      const auto h = static_cast<int32_t>(std::lround(pts.height() * 20.0));
      size.width = std::min(w, h);
      size.height = std::max(w, h);
    }
  }
  return size;
}

}  // namespace richtext
