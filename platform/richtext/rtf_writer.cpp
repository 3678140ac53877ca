// Writes the document model as RTF 1.9 that word processors open with the same sections,
// headers and footers, tables and pictures.
//
// Shape of the output: one font table (every face used, \fcharset0), one colour table (index
// 0 is "auto"), the document information, then each section: \sectd with its page size
// (swapped and \lndscpsxn when landscape), margins and columns, its header and footer, and its
// blocks. Every paragraph starts with \pard\plain and states its own properties; every run is
// a group of its own with its full character format, so runs read back one to one. Text is
// 7-bit: \ { } are escaped and everything past ASCII is \uN? (see rtf_text.h).
#include <algorithm>
#include <atomic>
#include <cmath>
#include <ostream>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/richtext/rtf.h"
#include "platform/richtext/rtf_picture.h"
#include "platform/richtext/rtf_text.h"

namespace richtext {

struct RtfPictureCache::Impl {
  struct Entry {
    std::weak_ptr<const Picture> picture;  // the entry is valid while this is that picture
    std::string rtf;                       // the whole {\pict ...} group
    uint64_t used = 0;
  };
  std::unordered_map<const Picture*, Entry> entries;
  uint64_t generation = 0;

  // The {\pict} group of a picture, encoded when it is not kept yet.
  const std::string& group(const std::shared_ptr<const Picture>& pic) {
    Entry& e = entries[pic.get()];
    if (e.picture.lock() != pic) {
      e.picture = pic;
      e.rtf = Encode(*pic);
    }
    e.used = generation;
    return e.rtf;
  }

  // Encodes, side by side, the pictures of the document that are not kept yet, so that the
  // write then finds every group ready. Rendering and PNG encoding are most of a report's
  // save; each picture is independent of the others.
  void prepare(const Document& doc) {
    std::vector<std::shared_ptr<const Picture>> missing;
    auto add = [&](const std::shared_ptr<const Picture>& pic) {
      if (!pic) return;
      const auto it = entries.find(pic.get());
      if (it != entries.end() && it->second.picture.lock() == pic) return;
      if (std::find(missing.begin(), missing.end(), pic) == missing.end()) missing.push_back(pic);
    };
    ForEachParagraph(doc, [&](const Paragraph& p) {
      for (const auto& r : p.runs)
        if (r.kind == RunKind::Picture) add(r.picture);
      for (const auto& fr : p.frames) add(fr.picture);
    });
    if (missing.size() < 2) return;
    std::vector<std::string> groups(missing.size());
    const size_t workers = std::min<size_t>(missing.size(), std::max(1u, std::thread::hardware_concurrency()));
    std::atomic<size_t> next{0};
    auto work = [&] {
      for (size_t i = next++; i < missing.size(); i = next++) groups[i] = Encode(*missing[i]);
    };
    std::vector<std::thread> threads;
    for (size_t w = 1; w < workers; ++w) threads.emplace_back(work);
    work();
    for (auto& t : threads) t.join();
    for (size_t i = 0; i < missing.size(); ++i) {
      Entry& e = entries[missing[i].get()];
      e.picture = missing[i];
      e.rtf = std::move(groups[i]);
      e.used = generation;
    }
  }

  // Drops what the write just finished did not use.
  void endWrite() {
    for (auto it = entries.begin(); it != entries.end();)
      it = it->second.used == generation ? std::next(it) : entries.erase(it);
  }

  static std::string Encode(const Picture& pic) {
    const rtf::EncodedPicture enc = rtf::EncodePicture(pic);
    if (enc.data.empty()) return {};
    std::string out = "{\\pict";
    out += enc.jpeg ? "\\jpegblip" : "\\pngblip";
    if (enc.pixelWidth > 0 && enc.pixelHeight > 0) {
      out += "\\picw" + std::to_string(enc.pixelWidth);
      out += "\\pich" + std::to_string(enc.pixelHeight);
    }
    out += "\\picwgoal" + std::to_string(enc.width);
    out += "\\pichgoal" + std::to_string(enc.height);
    out += '\n';
    rtf::AppendHex(out, enc.data);
    out += '}';
    return out;
  }
};

RtfPictureCache::RtfPictureCache() : impl(std::make_unique<Impl>()) {}
RtfPictureCache::~RtfPictureCache() = default;

namespace {

// Cell insets; the paginator uses the same (text 60 twips from the left and right cell
// edges, 15 from the top and bottom), so word processors break the same lines.
constexpr int32_t kCellPadX = 60;
constexpr int32_t kCellPadY = 15;

class Writer {
 public:
  Writer(const Document& doc, RtfPictureCache::Impl& pictures)
      : doc_(doc), pictures_(pictures), faces_(CollectFaces(doc)), colors_(CollectColors(doc)) {
    if (faces_.empty()) faces_.push_back(CharFormat{}.face);
  }

  std::string write() {
    documentHeader();
    const SectionFormat* previous = nullptr;
    bool sectionEnded = false;  // the previous section's last paragraph ended with \sect
    for (size_t i = 0; i < doc_.sections.size(); ++i) {
      const Section& sec = doc_.sections[i];
      if (i > 0 && !sectionEnded) out_ += "\\sect\n";
      sectionStart(sec.fmt, previous);
      // \sect ends a paragraph as \par does: a section's last paragraph ends with it (after
      // \par, word processors would add an empty paragraph at the section's end).
      const bool lastSection = i + 1 == doc_.sections.size();
      sectionEnded = false;
      bool breakBefore = false;
      for (size_t b = 0; b < sec.blocks.size(); ++b) {
        const Block& block = sec.blocks[b];
        if (const auto* p = std::get_if<Paragraph>(&block)) {
          sectionEnded = !lastSection && b + 1 == sec.blocks.size();
          paragraph(*p, false, sectionEnded ? "\\sect" : "\\par", std::exchange(breakBefore, false));
        } else if (const auto* t = std::get_if<Table>(&block)) {
          table(*t);
        } else if (std::holds_alternative<PageBreak>(block)) {
          // Before a paragraph the break is that paragraph's "page break before": word
          // processors lay out a break character inside a continuous section on a page of
          // the next section's size. Elsewhere the break character opens the next paragraph.
          const Paragraph* next = b + 1 < sec.blocks.size() ? std::get_if<Paragraph>(&sec.blocks[b + 1]) : nullptr;
          if (next && next->frames.empty())
            breakBefore = true;
          else
            out_ += "\\pard\\plain\\page\n";
        } else if (std::holds_alternative<ColumnBreak>(block)) {
          out_ += "\\pard\\plain\\column\n";
        }
      }
      previous = &sec.fmt;
    }
    out_ += "}\n";
    return std::move(out_);
  }

 private:
  void word(const char* w) { out_ += w; }
  void word(const char* w, int64_t n) {
    out_ += w;
    out_ += std::to_string(n);
  }

  int faceIndex(const std::string& face) const {
    for (size_t i = 0; i < faces_.size(); ++i)
      if (faces_[i] == face) return static_cast<int>(i);
    return 0;
  }
  // Colour table index; 0 is "auto" (kNoColor).
  int colorIndex(ColorRef c) const {
    if (c == kNoColor) return 0;
    for (size_t i = 0; i < colors_.size(); ++i)
      if (colors_[i] == c) return static_cast<int>(i) + 1;
    return 0;
  }

  void text(std::string_view s) { rtf::AppendEscapedText(out_, s); }

  void documentHeader() {
    out_ += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\\deftab720\n{\\fonttbl";
    for (size_t i = 0; i < faces_.size(); ++i) {
      word("{\\f", static_cast<int64_t>(i));
      word(faces_[i] == "Times New Roman" ? "\\froman" : "\\fswiss");
      out_ += "\\fcharset0 ";
      text(faces_[i]);
      out_ += ";}";
    }
    out_ += "}\n{\\colortbl;";
    for (ColorRef c : colors_) {
      word("\\red", RedOf(c));
      word("\\green", GreenOf(c));
      word("\\blue", BlueOf(c));
      out_ += ';';
    }
    out_ += "}\n{\\*\\generator Kestrin;}";
    const DocInfo& info = doc_.info;
    if (!info.title.empty() || !info.author.empty() || !info.subject.empty()) {
      out_ += "{\\info";
      infoItem("title", info.title);
      infoItem("author", info.author);
      infoItem("subject", info.subject);
      out_ += '}';
    }
    // Document-wide page settings: those of the first section.
    const SectionFormat& f = doc_.sections.front().fmt;
    out_ += '\n';
    pageAndMargins(f, false);
    if (f.orientation == Orientation::Landscape) word("\\landscape");
    out_ += "\\viewkind1\n";
  }

  // The page size as laid out and the margins: the document's defaults (\paperw, \margl, ...)
  // or a section's own (\pgwsxn, \marglsxn, ...).
  void pageAndMargins(const SectionFormat& f, bool section) {
    word(section ? "\\pgwsxn" : "\\paperw", f.pageWidth());
    word(section ? "\\pghsxn" : "\\paperh", f.pageHeight());
    const std::pair<const char*, int32_t> margins[] = {
        {"\\margl", f.marginLeft}, {"\\margr", f.marginRight}, {"\\margt", f.marginTop}, {"\\margb", f.marginBottom}};
    for (const auto& [name, value] : margins) {
      out_ += name;
      if (section) out_ += "sxn";
      out_ += std::to_string(value);
    }
  }

  void infoItem(const char* name, const std::string& value) {
    if (value.empty()) return;
    out_ += "{\\";
    out_ += name;
    out_ += ' ';
    text(value);
    out_ += '}';
  }

  void sectionStart(const SectionFormat& f, const SectionFormat* previous) {
    word("\\sectd");
    word(f.newPage ? "\\sbkpage" : "\\sbknone");
    if (f.orientation == Orientation::Landscape) word("\\lndscpsxn");
    pageAndMargins(f, true);
    word("\\headery", f.headerDistance);
    word("\\footery", f.footerDistance);
    word("\\cols", f.columns);
    word("\\colsx", f.columnSpacing);
    out_ += '\n';
    // A section without a header after one with a header gets an empty one: in RTF a
    // section keeps the header of the section before unless it states its own.
    headerFooter("headerr", f.header, previous && previous->header);
    headerFooter("footerr", f.footer, previous && previous->footer);
  }

  void headerFooter(const char* name, const std::optional<HeaderFooter>& hf, bool previousHad) {
    if (!hf && !previousHad) return;
    inHeaderFooter_ = true;
    out_ += "{\\";
    out_ += name;
    out_ += '\n';
    if (hf) {
      for (const auto& p : hf->paragraphs) paragraph(p, false, "\\par");
    } else {
      out_ += "\\pard\\plain\\par\n";
    }
    out_ += "}\n";
    inHeaderFooter_ = false;
  }

  void paraProps(const ParaFormat& f, bool inTable, bool breakBefore = false) {
    word("\\pard\\plain");
    if (inTable) word("\\intbl");
    switch (f.align) {
      case Align::Left:
        word("\\ql");
        break;
      case Align::Center:
        word("\\qc");
        break;
      case Align::Right:
        word("\\qr");
        break;
      case Align::Justify:
        word("\\qj");
        break;
    }
    if (f.leftIndent) word("\\li", f.leftIndent);
    if (f.rightIndent) word("\\ri", f.rightIndent);
    if (f.firstIndent) word("\\fi", f.firstIndent);
    word("\\sb", f.spaceBefore);
    word("\\sa", f.spaceAfter);
    if (f.keepTogether) word("\\keep");
    if (f.keepWithNext) word("\\keepn");
    if (f.pageBreakBefore || breakBefore) word("\\pagebb");
    for (const auto& t : f.tabs) {
      switch (t.kind) {
        case TabKind::Left:
          break;
        case TabKind::Center:
          word("\\tqc");
          break;
        case TabKind::Right:
          word("\\tqr");
          break;
        case TabKind::Decimal:
          word("\\tqdec");
          break;
      }
      word("\\tx", t.position);
    }
  }

  void charProps(const CharFormat& f) {
    word("\\f", faceIndex(f.face));
    word("\\fs", std::lround(f.pointSize * 2.0));
    if (f.bold) word("\\b");
    if (f.italic) word("\\i");
    if (f.underline) word("\\ul");
    if (f.superscript)
      word("\\super");
    else if (f.subscript)
      word("\\sub");
    word("\\cf", colorIndex(f.color));
    if (f.background != kNoColor) word("\\chcbpat", colorIndex(f.background));
    if (f.spacing) word("\\expndtw", f.spacing);
  }

  // The bottom of a frame below its anchor's top: its own height, or its picture's.
  static int64_t FrameBottom(const Frame& fr) {
    const int32_t h = fr.height > 0 ? fr.height : fr.picture ? fr.picture->height : 0;
    return int64_t{fr.y} + std::max(0, h);
  }

  // A frame that shows nothing (no picture, no border) only reserves room below its anchor.
  // Where another frame of the paragraph reaches as low it changes nothing and is left out:
  // word processors would stack the two frames instead of overlapping them.
  static bool Redundant(const Frame& fr, const Paragraph& p) {
    if (fr.picture || fr.border > 0) return false;
    return std::any_of(p.frames.begin(), p.frames.end(), [&](const Frame& other) {
      return &other != &fr && (other.picture || other.border > 0) && FrameBottom(other) >= FrameBottom(fr);
    });
  }

  // One paragraph ended by `end` (\par, or \cell for the last paragraph of a cell). Frames
  // anchored to it go first, as framed paragraphs positioned relative to it.
  // A frame that its picture fills, without a border: written as a picture shape.
  static bool PictureShape(const Frame& fr) {
    return fr.picture && fr.picture->width > 0 && fr.picture->height > 0 && fr.border <= 0 &&
           (fr.width <= 0 || fr.width == fr.picture->width) && (fr.height <= 0 || fr.height == fr.picture->height);
  }

  void paragraph(const Paragraph& p, bool inTable, const char* end, bool breakBefore = false) {
    for (const auto& fr : p.frames)
      if (!PictureShape(fr) && !Redundant(fr, p)) frame(fr, inTable);
    paraProps(p.fmt, inTable, breakBefore);
    out_ += '\n';
    // In a header or footer a picture goes in a paragraph of its own below its anchor: word
    // processors grow the header or footer by a paragraph, so it stays inside the margins (a
    // shape there is left out of the height and can hang off the paper's edge).
    const bool ownParagraphs = inHeaderFooter_ && !inTable;
    for (const auto& fr : p.frames)
      if (PictureShape(fr) && !ownParagraphs) pictureShape(fr);
    for (const auto& r : p.runs) run(r);
    // The paragraph mark takes the last run's format, as the paginator measures it.
    charProps(p.runs.empty() ? CharFormat{} : p.runs.back().fmt);
    out_ += end;
    out_ += '\n';
    if (ownParagraphs)
      for (const auto& fr : p.frames)
        if (PictureShape(fr)) pictureParagraph(fr);
  }

  // A framed picture as a paragraph of its own, its left edge where the frame's is.
  void pictureParagraph(const Frame& fr) {
    word("\\pard\\plain\\ql");
    if (fr.x > 0) word("\\li", fr.x);
    out_ += "\\sl0{";
    picture(fr.picture);
    out_ += "}\\par\n";
  }

  void run(const Run& r) {
    out_ += '{';
    charProps(r.fmt);
    switch (r.kind) {
      case RunKind::Text:
        out_ += ' ';
        text(r.text);
        break;
      case RunKind::LineBreak:
        word("\\line");
        break;
      case RunKind::PageField:
        out_ += "{\\field{\\*\\fldinst PAGE }{\\fldrslt 1}}";
        break;
      case RunKind::Picture:
        if (r.picture) picture(r.picture);
        break;
    }
    out_ += "}\n";
  }

  void picture(const std::shared_ptr<const Picture>& pic) { out_ += pictures_.group(pic); }

  // A picture in a shape anchored to the paragraph it is written in: left edge from the
  // column's, top from the paragraph's, text above and below it only (\shpwr1), as the
  // paginator places it. Word processors move such a shape with its paragraph to the next
  // page when it does not fit. (As framed paragraphs, LibreOffice lays out long documents
  // with tables wrongly: one of their tables splits over three pages.)
  void pictureShape(const Frame& fr) {
    const Picture& pic = *fr.picture;
    word("{\\shp{\\*\\shpinst\\shpleft", fr.x);
    word("\\shptop", fr.y);
    word("\\shpright", int64_t{fr.x} + pic.width);
    word("\\shpbottom", int64_t{fr.y} + pic.height);
    word("\\shpfhdr", inHeaderFooter_ ? 1 : 0);
    word("\\shpbxcolumn\\shpbxignore\\shpbypara\\shpbyignore\\shpwr1\\shpwrk0\\shpfblwtxt0\\shpz0");
    // A text box without margins or line that holds the picture: word processors honour the
    // shape's wrapping for it (for a picture shape they may not).
    word("{\\sp{\\sn shapeType}{\\sv 202}}{\\sp{\\sn fLine}{\\sv 0}}{\\sp{\\sn posrelh}{\\sv 2}}");
    word("{\\sp{\\sn posrelv}{\\sv 2}}{\\sp{\\sn dxTextLeft}{\\sv 0}}{\\sp{\\sn dyTextTop}{\\sv 0}}");
    word("{\\sp{\\sn dxTextRight}{\\sv 0}}{\\sp{\\sn dyTextBottom}{\\sv 0}}");
    word("{\\shptxt\\pard\\plain{\\*\\shppict");
    picture(fr.picture);
    out_ += "}\\par}}}\n";
  }

  void frame(const Frame& fr, bool inTable) {
    word("\\pard\\plain");
    if (inTable) word("\\intbl");
    // \nowrap: text keeps off the frame's sides, as the paginator places it (below).
    word("\\pvpara\\phcol\\nowrap");
    word("\\posx", fr.x);
    word("\\posy", fr.y);
    if (fr.width > 0) word("\\absw", fr.width);
    if (fr.height > 0) word("\\absh-", fr.height);  // negative: exactly this high
    if (fr.border > 0) {
      word("\\box\\brdrs\\brdrw", fr.border);
    }
    out_ += '\n';
    if (fr.picture) {
      out_ += '{';
      charProps(CharFormat{});
      picture(fr.picture);
      out_ += "}\n";
    }
    charProps(CharFormat{});
    out_ += "\\par\n";
  }

  void table(const Table& t) {
    static constexpr std::pair<int, const char*> kSides[] = {
        {kTop, "\\clbrdrt"}, {kLeft, "\\clbrdrl"}, {kBottom, "\\clbrdrb"}, {kRight, "\\clbrdrr"}};
    for (const auto& row : t.rows) {
      if (row.cells.empty()) continue;  // RTF has no row without cells
      word("\\trowd");
      word("\\trgaph", kCellPadX);
      word("\\trleft", row.leftIndent);
      if (row.header) word("\\trhdr");
      word("\\trpaddl", kCellPadX);
      word("\\trpaddr", kCellPadX);
      word("\\trpaddt", kCellPadY);
      word("\\trpaddb", kCellPadY);
      word("\\trpaddfl3\\trpaddfr3\\trpaddft3\\trpaddfb3");
      out_ += '\n';
      int64_t x = row.leftIndent;
      for (const auto& c : row.cells) {
        switch (c.valign) {
          case VAlign::Top:
            word("\\clvertalt");
            break;
          case VAlign::Center:
            word("\\clvertalc");
            break;
          case VAlign::Bottom:
            word("\\clvertalb");
            break;
        }
        for (const auto& [side, name] : kSides) {
          if (c.border[side] <= 0) continue;
          word(name);
          word("\\brdrs\\brdrw", c.border[side]);
        }
        if (c.background != kNoColor) word("\\clcbpat", colorIndex(c.background));
        if (c.shading > 0) word("\\clshdng", int64_t{c.shading} * 100);
        x += c.width;
        word("\\cellx", x);
        out_ += '\n';
      }
      for (const auto& c : row.cells) {
        if (c.paragraphs.empty()) {
          paragraph(Paragraph{}, true, "\\cell");
          continue;
        }
        for (size_t i = 0; i < c.paragraphs.size(); ++i)
          paragraph(c.paragraphs[i], true, i + 1 == c.paragraphs.size() ? "\\cell" : "\\par");
      }
      out_ += "\\row\n";
    }
  }

  const Document& doc_;
  RtfPictureCache::Impl& pictures_;
  std::vector<std::string> faces_;
  std::vector<ColorRef> colors_;
  std::string out_;
  bool inHeaderFooter_ = false;
};

}  // namespace

bool WriteRtf(const Document& doc, std::ostream& out) {
  RtfPictureCache pictures;
  return WriteRtf(doc, out, pictures);
}

bool WriteRtf(const Document& doc, std::ostream& out, RtfPictureCache& pictures) {
  if (doc.sections.empty()) return false;
  ++pictures.impl->generation;
  pictures.impl->prepare(doc);
  const std::string rtf = Writer(doc, *pictures.impl).write();
  pictures.impl->endWrite();
  out.write(rtf.data(), static_cast<std::streamsize>(rtf.size()));
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace richtext
