// Document-wide helpers of the model: face and colour lists, picture conversion, paper size.
#include "platform/richtext/model.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPrinterInfo>
#include <QSvgRenderer>

#include <algorithm>

namespace richtext {

namespace {

// Calls `f` for every paragraph of the document: body, cells, headers and footers.
template <class F>
void ForEachParagraph(const Document& doc, F&& f) {
  auto story = [&](const std::vector<Paragraph>& paras) {
    for (const auto& p : paras) f(p);
  };
  for (const auto& sec : doc.sections) {
    if (sec.fmt.header) story(sec.fmt.header->paragraphs);
    if (sec.fmt.footer) story(sec.fmt.footer->paragraphs);
    for (const auto& b : sec.blocks) {
      if (const auto* p = std::get_if<Paragraph>(&b)) {
        f(*p);
      } else if (const auto* t = std::get_if<Table>(&b)) {
        for (const auto& r : t->rows)
          for (const auto& c : r.cells) story(c.paragraphs);
      }
    }
  }
}

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

std::string PictureAsPng(const Picture& pic) {
  if (pic.format == Picture::Format::Png) return pic.data;
  QImage img;
  const QByteArray bytes = QByteArray::fromRawData(pic.data.data(), static_cast<qsizetype>(pic.data.size()));
  if (pic.format == Picture::Format::Jpeg) {
    if (!img.loadFromData(bytes, "JPEG")) return {};
  } else {
    QSvgRenderer svg(bytes);
    if (!svg.isValid()) return {};
    // 150 dpi of the display size; the natural size when no display size is set.
    int w = pic.width > 0 ? pic.width * 150 / 1440 : svg.defaultSize().width();
    int h = pic.height > 0 ? pic.height * 150 / 1440 : svg.defaultSize().height();
    w = std::clamp(w, 1, 4000);
    h = std::clamp(h, 1, 4000);
    img = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter painter(&img);
    svg.render(&painter, QRectF(0, 0, w, h));
  }
  QByteArray out;
  QBuffer buf(&out);
  buf.open(QIODevice::WriteOnly);
  if (!img.save(&buf, "PNG")) return {};
  return std::string(out.constData(), static_cast<size_t>(out.size()));
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
