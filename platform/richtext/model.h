// The rich-text document model: plain data that the editing API (ter.h) builds, the paginator
// lays out, the PDF/print painter draws and the RTF writer and reader exchange with files.
//
// Units: every length is in twips (1/1440 inch). Colours are COLORREF values as the report
// code passes them: red in the low byte (0x00BBGGRR), so RGB(r, g, b) = r | g << 8 | b << 16.
// Text is UTF-8.
//
// Shape of a document:
//   Document
//     fonts / paraStyles      the id tables the API hands out (id = index); runs and paragraphs
//                             store resolved copies, so later range formatting overrides them
//     sections[]              each: SectionFormat (page, margins, columns, break kind,
//                             header and footer) and its body blocks
//       Block = Paragraph | Table | PageBreak | ColumnBreak
//         Paragraph: ParaFormat, runs (text, line break, PAGE field, inline picture),
//                    frames anchored to it (a frame may hold a picture)
//         Table: rows; each row its own cells (rows may differ in cell count and widths);
//                a cell holds paragraphs
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace richtext {

using ColorRef = uint32_t;
// "No colour": automatic text colour, no background, no highlight.
inline constexpr ColorRef kNoColor = 0xFFFFFFFFu;

inline constexpr ColorRef Rgb(int r, int g, int b) {
  return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline constexpr int RedOf(ColorRef c) { return static_cast<int>(c & 0xFF); }
inline constexpr int GreenOf(ColorRef c) { return static_cast<int>((c >> 8) & 0xFF); }
inline constexpr int BlueOf(ColorRef c) { return static_cast<int>((c >> 16) & 0xFF); }

// Character attributes. Runs carry a full copy (resolved), never a reference to a font id.
struct CharFormat {
  std::string face = "Arial";
  double pointSize = 9.0;  // points; written to RTF as half-points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool superscript = false;
  bool subscript = false;
  ColorRef color = 0;              // text colour; kNoColor = automatic
  ColorRef background = kNoColor;  // character shading; kNoColor = none
  int32_t spacing = 0;             // extra space between characters, twips (RTF \expndtw)

  bool operator==(const CharFormat&) const = default;
};

enum class Align { Left, Center, Right, Justify };

enum class TabKind { Left, Center, Right, Decimal };

struct TabStop {
  int32_t position = 0;  // twips from the paragraph's left edge (the column or cell text edge)
  TabKind kind = TabKind::Left;
  bool operator==(const TabStop&) const = default;
};

struct ParaFormat {
  Align align = Align::Left;
  int32_t leftIndent = 0;
  int32_t rightIndent = 0;
  int32_t firstIndent = 0;  // first line, relative to leftIndent (may be negative)
  int32_t spaceBefore = 0;
  int32_t spaceAfter = 0;
  bool keepTogether = false;     // do not split the paragraph's lines over two pages (RTF \keep)
  bool keepWithNext = false;     // same page as the start of the next block (RTF \keepn)
  bool pageBreakBefore = false;  // RTF \pagebb (the reader may set it; the API uses PageBreak)
  std::vector<TabStop> tabs;     // sorted by position

  bool operator==(const ParaFormat&) const = default;
};

// A picture: raster bytes (PNG or JPEG) or a vector picture (SVG), shown at a size in twips.
struct Picture {
  enum class Format { Png, Jpeg, Svg };
  Format format = Format::Png;
  std::string data;   // the encoded bytes
  int32_t width = 0;  // display size, twips
  int32_t height = 0;
  int32_t pixelWidth = 0;  // natural size of the image (SVG: its view box at 96 dpi); 0 = unknown
  int32_t pixelHeight = 0;

  bool operator==(const Picture&) const = default;
};

// PNG bytes of any picture: PNG data as is, JPEG re-encoded, SVG rendered at 150 dpi of its
// display size. Empty when the picture cannot be decoded. (Implemented with Qt Gui.)
std::string PictureAsPng(const Picture& pic);

enum class RunKind {
  Text,       // text (tabs are '\t' inside the text)
  LineBreak,  // a line break inside the paragraph (RTF \line)
  PageField,  // the current page number (RTF {\field{\*\fldinst PAGE}{\fldrslt n}})
  Picture,    // an inline picture (RTF \pict inside the paragraph)
};

struct Run {
  RunKind kind = RunKind::Text;
  std::string text;  // Text only
  CharFormat fmt;
  std::shared_ptr<const Picture> picture;  // Picture only

  bool operator==(const Run& o) const {
    return kind == o.kind && text == o.text && fmt == o.fmt &&
           ((!picture && !o.picture) || (picture && o.picture && *picture == *o.picture));
  }
};

// A frame anchored to a paragraph: x from the left edge of the text column, y from the top of
// the anchor paragraph. The paragraph reserves room down to the lowest frame bottom, so text
// after it starts below the frame. A frame may hold a picture, which fills it.
struct Frame {
  int32_t id = 0;  // the id the API handed out (not written to files)
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t border = 0;  // border width in twips; 0 = none
  std::shared_ptr<const Picture> picture;

  bool operator==(const Frame& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height && border == o.border &&
           ((!picture && !o.picture) || (picture && o.picture && *picture == *o.picture));
  }
};

struct Paragraph {
  ParaFormat fmt;
  std::vector<Run> runs;
  std::vector<Frame> frames;

  bool empty() const { return runs.empty() && frames.empty(); }
  bool operator==(const Paragraph&) const = default;
};

enum class VAlign { Top, Center, Bottom };

// Side order of borders everywhere: left, right, top, bottom.
enum BorderSide { kLeft = 0, kRight = 1, kTop = 2, kBottom = 3 };

struct Cell {
  int32_t width = 1440;                       // twips
  std::array<int32_t, 4> border{0, 0, 0, 0};  // widths in twips, 0 = no border (see BorderSide)
  ColorRef background = kNoColor;             // cell colour (RTF \clcbpat)
  int32_t shading = 0;                        // percent 0..100 of black over the background (\clshdng)
  VAlign valign = VAlign::Top;
  std::vector<Paragraph> paragraphs;  // at least one when written by the API
  int32_t id = 0;                     // the API's cell id (not written to files)

  bool operator==(const Cell& o) const {
    return width == o.width && border == o.border && background == o.background && shading == o.shading &&
           valign == o.valign && paragraphs == o.paragraphs;
  }
};

struct Row {
  std::vector<Cell> cells;  // left to right; a cell's right edge is the sum of widths so far
  bool header = false;      // leading header rows repeat at the top of each page (RTF \trhdr)
  int32_t leftIndent = 0;   // row's left edge relative to the text column (RTF \trleft)

  bool operator==(const Row&) const = default;
};

struct Table {
  std::vector<Row> rows;
  bool operator==(const Table&) const = default;
};

// Following content starts on a new page (RTF \page).
struct PageBreak {
  bool operator==(const PageBreak&) const = default;
};
// Following content starts in the next column, or on a new page from the last column
// (RTF \column).
struct ColumnBreak {
  bool operator==(const ColumnBreak&) const = default;
};

using Block = std::variant<Paragraph, Table, PageBreak, ColumnBreak>;

// A page header or footer: paragraphs (with runs, PAGE fields and frames).
struct HeaderFooter {
  std::vector<Paragraph> paragraphs;
  bool operator==(const HeaderFooter&) const = default;
};

enum class Orientation { Portrait = 1, Landscape = 2 };

struct SectionFormat {
  Orientation orientation = Orientation::Portrait;
  // Sheet size as held in portrait (width <= height); a landscape section swaps the two on its
  // pages (RTF \pgwsxn/\pghsxn carry the swapped values and \lndscpsxn).
  int32_t paperWidth = 12240;
  int32_t paperHeight = 15840;
  int32_t marginLeft = 720;
  int32_t marginRight = 720;
  int32_t marginTop = 720;
  int32_t marginBottom = 720;
  int32_t headerDistance = 360;  // from the top edge to the header (\headery)
  int32_t footerDistance = 360;  // from the bottom edge to the footer (\footery)
  int columns = 1;               // 1 or 2 (\colsN)
  int32_t columnSpacing = 360;   // \colsx
  // True: the section starts on a new page (\sbkpage). False: it continues on the page of
  // the section before (\sbknone) unless the orientation or page size changes.
  bool newPage = true;
  // A section without a header (or footer) has none: it does NOT inherit the previous one.
  // The RTF writer therefore writes an empty header for such a section after one that has one.
  std::optional<HeaderFooter> header;
  std::optional<HeaderFooter> footer;

  // The page size as laid out: swapped for landscape.
  int32_t pageWidth() const {
    return orientation == Orientation::Landscape ? std::max(paperWidth, paperHeight)
                                                 : std::min(paperWidth, paperHeight);
  }
  int32_t pageHeight() const {
    return orientation == Orientation::Landscape ? std::min(paperWidth, paperHeight)
                                                 : std::max(paperWidth, paperHeight);
  }
  int32_t textWidth() const { return pageWidth() - marginLeft - marginRight; }

  bool operator==(const SectionFormat&) const = default;
};

struct Section {
  SectionFormat fmt;
  std::vector<Block> blocks;
  bool operator==(const Section&) const = default;
};

// Document properties (RTF \info; PDF metadata).
struct DocInfo {
  std::string title;
  std::string author;
  std::string subject;
  bool operator==(const DocInfo&) const = default;
};

struct Document {
  DocInfo info;
  // The API's id tables: font id n is fonts[n], paragraph id n is paraStyles[n]; index 0 is the
  // document default. Files carry resolved formats, so a reader may leave these at one entry.
  std::vector<CharFormat> fonts{CharFormat{}};
  std::vector<ParaFormat> paraStyles{ParaFormat{}};
  std::vector<Section> sections{Section{}};  // never empty

  bool operator==(const Document&) const = default;
};

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

// Helpers for writers: every distinct face and every distinct colour used anywhere in the
// document (runs, cells, headers and footers), in order of first use. The colour list
// leaves out kNoColor.
std::vector<std::string> CollectFaces(const Document& doc);
std::vector<ColorRef> CollectColors(const Document& doc);

// The default page (the default printer's, otherwise US Letter), in portrait twips.
struct PaperSize {
  int32_t width = 12240;
  int32_t height = 15840;
};
PaperSize DefaultPaperSize();

}  // namespace richtext
