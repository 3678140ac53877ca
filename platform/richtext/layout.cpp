// The paginator and the page painter.
#include "platform/richtext/layout.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/richtext/picture_image.h"

namespace richtext {

namespace {

constexpr double kCellPadX = 60;  // text inset from the left and right cell edges
constexpr double kCellPadY = 15;  // text inset from the top and bottom cell edges, inside
                                  // half the row's widest top or bottom border

QColor ToQColor(ColorRef c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

QFont ToQFont(const CharFormat& f) {
  QFont font(LayoutFace(f.face));
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(f.pointSize * 20.0))));
  font.setBold(f.bold);
  font.setItalic(f.italic);
  font.setUnderline(f.underline);
  font.setHintingPreference(QFont::PreferNoHinting);
  if (f.spacing != 0) font.setLetterSpacing(QFont::AbsoluteSpacing, f.spacing);
  return font;
}

QTextCharFormat ToCharFormat(const CharFormat& f) {
  QTextCharFormat cf;
  cf.setFont(ToQFont(f), QTextCharFormat::FontPropertiesAll);
  cf.setForeground(f.color == kNoColor ? QColor(Qt::black) : ToQColor(f.color));
  if (f.background != kNoColor) cf.setBackground(ToQColor(f.background));
  if (f.superscript)
    cf.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
  else if (f.subscript)
    cf.setVerticalAlignment(QTextCharFormat::AlignSubScript);
  return cf;
}

// The effective size of a frame: its own, or its picture's where it has none.
QSizeF FrameSize(const Frame& fr) {
  double w = fr.width, h = fr.height;
  if (fr.picture) {
    if (w <= 0) w = fr.picture->width;
    if (h <= 0) h = fr.picture->height;
  }
  return {std::max(0.0, w), std::max(0.0, h)};
}

// One paragraph measured for a width: its lines (text lines of the QTextLayout, then any
// inline pictures, each on a line of its own) and the room its frames need.
struct ParaBox {
  const Paragraph* para = nullptr;
  std::shared_ptr<QTextLayout> tl;
  struct Line {
    double y = 0;  // top, relative to the paragraph's text top
    double height = 0;
    int textLine = -1;  // index in tl, or -1 for a picture line
    std::shared_ptr<const Picture> picture;
  };
  std::vector<Line> lines;
  double textHeight = 0;  // the frames' room, then the lines
  double spaceBefore = 0, spaceAfter = 0;
  double indent = 0;  // left indent
  int apiLine = -1;   // the API line of a body or cell paragraph
  double total() const { return spaceBefore + textHeight + spaceAfter; }
};

// Qt fonts and character formats of the document's character formats, made once each.
class FormatCache {
 public:
  const QTextCharFormat& charFormat(const CharFormat& f) { return find(f).charFormat; }
  const QFont& font(const CharFormat& f) { return find(f).font; }

 private:
  struct Entry {
    CharFormat key;
    QFont font;
    QTextCharFormat charFormat;
  };
  const Entry& find(const CharFormat& f) {
    if (last_ < entries_.size() && entries_[last_].key == f) return entries_[last_];
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i].key == f) {
        last_ = i;
        return entries_[i];
      }
    }
    entries_.push_back({f, ToQFont(f), ToCharFormat(f)});
    last_ = entries_.size() - 1;
    return entries_.back();
  }
  std::vector<Entry> entries_;
  size_t last_ = 0;

 public:
  size_t size() const { return entries_.size(); }
};

ParaBox MeasurePara(const Paragraph& p, double width, int pageNumber, FormatCache& formats_) {
  ParaBox box;
  box.para = &p;
  box.spaceBefore = std::max(0, p.fmt.spaceBefore);
  box.spaceAfter = std::max(0, p.fmt.spaceAfter);
  box.indent = p.fmt.leftIndent;

  QString text;
  QList<QTextLayout::FormatRange> formats;
  std::vector<std::shared_ptr<const Picture>> pictures;
  CharFormat markFormat;  // the paragraph mark takes the last run's format
  for (const auto& r : p.runs) {
    QString piece;
    switch (r.kind) {
      case RunKind::Text:
        piece = QString::fromStdString(r.text);
        break;
      case RunKind::LineBreak:
        piece = QChar(QChar::LineSeparator);
        break;
      case RunKind::PageField:
        piece = QString::number(pageNumber);
        break;
      case RunKind::Picture:
        if (r.picture) pictures.push_back(r.picture);
        break;
    }
    markFormat = r.fmt;
    if (piece.isEmpty()) continue;
    QTextLayout::FormatRange range;
    range.start = static_cast<int>(text.size());
    range.length = static_cast<int>(piece.size());
    range.format = formats_.charFormat(r.fmt);
    formats.append(range);
    text += piece;
  }

  box.tl = std::make_shared<QTextLayout>(text, formats_.font(markFormat));
  QTextOption opt;
  switch (p.fmt.align) {
    case Align::Left:
      opt.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
      break;
    case Align::Center:
      opt.setAlignment(Qt::AlignHCenter);
      break;
    case Align::Right:
      opt.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
      break;
    case Align::Justify:
      opt.setAlignment(Qt::AlignJustify);
      break;
  }
  opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  opt.setTabStopDistance(720);
  QList<QTextOption::Tab> tabs;
  for (const auto& t : p.fmt.tabs) {
    QTextOption::TabType type = QTextOption::LeftTab;
    if (t.kind == TabKind::Right)
      type = QTextOption::RightTab;
    else if (t.kind == TabKind::Center)
      type = QTextOption::CenterTab;
    else if (t.kind == TabKind::Decimal)
      type = QTextOption::DelimiterTab;
    tabs.append(QTextOption::Tab(t.position - p.fmt.leftIndent, type,
                                 type == QTextOption::DelimiterTab ? QChar('.') : QChar()));
  }
  opt.setTabs(tabs);
  box.tl->setTextOption(opt);
  box.tl->setFormats(formats);
  box.tl->setCacheEnabled(true);

  // Frames keep text off their sides: the paragraph's own lines start below its frames, as
  // word processors place the text of a frame's anchor paragraph.
  double frameBottom = 0;
  for (const auto& fr : p.frames) frameBottom = std::max(frameBottom, fr.y + FrameSize(fr).height());
  const double full = std::max(1.0, width - p.fmt.leftIndent - p.fmt.rightIndent);
  double y = frameBottom;
  box.tl->beginLayout();
  for (int i = 0;; ++i) {
    QTextLine line = box.tl->createLine();
    if (!line.isValid()) break;
    const double first = i == 0 ? p.fmt.firstIndent : 0;
    line.setLineWidth(std::max(1.0, full - first));
    // A line is as high as the font's ascent, descent and line gap, as word processors set
    // single-spaced lines.
    line.setLeadingIncluded(true);
    line.setPosition(QPointF(first, y));
    box.lines.push_back({y, line.height(), i, nullptr});
    y += line.height();
  }
  box.tl->endLayout();
  if (!pictures.empty() && text.isEmpty() && !box.lines.empty()) {
    // A paragraph of pictures only: no empty text line above them.
    y = frameBottom;
    box.lines.clear();
  }
  for (const auto& pic : pictures) {
    box.lines.push_back({y, static_cast<double>(std::max(0, pic->height)), -1, pic});
    y += std::max(0, pic->height);
  }
  box.textHeight = std::max(y, frameBottom);
  return box;
}

// ---- measured paragraphs kept between paginations ----------------------------------------

template <class T>
void PutBytes(std::string& key, const T& v) {
  key.append(reinterpret_cast<const char*>(&v), sizeof v);
}

void PutString(std::string& key, const std::string& s) {
  PutBytes(key, s.size());
  key += s;
}

// Everything MeasurePara reads of a paragraph, with the width (and the page number when the
// paragraph shows it): two paragraphs with the same key measure the same.
std::string ParaKey(const Paragraph& p, double width, int pageNumber) {
  std::string key;
  key.reserve(96);
  PutBytes(key, width);
  const ParaFormat& f = p.fmt;
  for (int32_t v :
       {static_cast<int32_t>(f.align), f.leftIndent, f.rightIndent, f.firstIndent, f.spaceBefore, f.spaceAfter})
    PutBytes(key, v);
  PutBytes(key, f.tabs.size());
  for (const auto& t : f.tabs) {
    PutBytes(key, t.position);
    PutBytes(key, static_cast<int32_t>(t.kind));
  }
  bool pageField = false;
  PutBytes(key, p.runs.size());
  for (const auto& r : p.runs) {
    PutBytes(key, static_cast<int32_t>(r.kind));
    PutString(key, r.text);
    const CharFormat& c = r.fmt;
    PutString(key, c.face);
    PutBytes(key, c.pointSize);
    const char flags[] = {c.bold, c.italic, c.underline, c.superscript, c.subscript};
    key.append(flags, sizeof flags);
    PutBytes(key, c.color);
    PutBytes(key, c.background);
    PutBytes(key, c.spacing);
    PutBytes(key, r.picture.get());  // a picture line draws that very picture
    pageField = pageField || r.kind == RunKind::PageField;
  }
  PutBytes(key, p.frames.size());
  for (const auto& fr : p.frames) {
    PutBytes(key, fr.y);
    PutBytes(key, FrameSize(fr).height());
  }
  if (pageField) PutBytes(key, pageNumber);
  return key;
}

}  // namespace

struct LayoutCache::Impl {
  FormatCache formats;
  struct Entry {
    ParaBox box;
    uint64_t used = 0;
  };
  std::unordered_map<std::string, Entry> paras;
  uint64_t generation = 0;
  bool keep = true;  // false: every paragraph is measured afresh

  // The paragraph measured for a width: from the cache, or measured now and kept. The lines'
  // layout is shared by every paragraph with the same key.
  ParaBox measure(const Paragraph& p, double width, int pageNumber) {
    if (!keep) return MeasurePara(p, width, pageNumber, formats);
    auto [it, fresh] = paras.try_emplace(ParaKey(p, width, pageNumber));
    if (fresh) {
      it->second.box = MeasurePara(p, width, pageNumber, formats);
      it->second.box.para = nullptr;
    }
    it->second.used = generation;
    ParaBox box = it->second.box;
    box.para = &p;
    return box;
  }

  void beginPagination() {
    ++generation;
    if (formats.size() > 256) formats = FormatCache();
  }
  // Drops what the pagination just finished did not use.
  void endPagination() {
    for (auto it = paras.begin(); it != paras.end();)
      it = it->second.used == generation ? std::next(it) : paras.erase(it);
  }
};

LayoutCache::LayoutCache() : impl(std::make_unique<Impl>()) {}
LayoutCache::~LayoutCache() = default;

namespace {

// Adds the draw items of lines [from, to) of a paragraph whose text top is at `top`
// (the top of line `from` lands there) and left edge at `left`.
void EmitLines(const ParaBox& box, size_t from, size_t to, double left, double top, std::vector<DrawItem>& out) {
  if (from >= box.lines.size()) return;
  const double shift = top - box.lines[from].y;
  for (size_t i = from; i < to && i < box.lines.size(); ++i) {
    const auto& ln = box.lines[i];
    if (ln.textLine >= 0) {
      out.push_back(DrawText{box.tl, ln.textLine, QPointF(left + box.indent, shift), box.apiLine});
    } else if (ln.picture) {
      out.push_back(
          DrawPicture{QRectF(left + box.indent, shift + ln.y, ln.picture->width, ln.picture->height), ln.picture});
    }
  }
}

void EmitFrames(const Paragraph& p, double left, double top, std::vector<DrawItem>& out) {
  for (const auto& fr : p.frames) {
    const QSizeF size = FrameSize(fr);
    const QRectF rect(left + fr.x, top + fr.y, size.width(), size.height());
    if (fr.picture) {
      const double pw = fr.picture->width > 0 ? fr.picture->width : size.width();
      const double ph = fr.picture->height > 0 ? fr.picture->height : size.height();
      out.push_back(DrawPicture{QRectF(rect.topLeft(), QSizeF(pw, ph)), fr.picture});
    }
    if (fr.border > 0 && !rect.isEmpty()) {
      out.push_back(DrawLine{QLineF(rect.topLeft(), rect.topRight()), double(fr.border)});
      out.push_back(DrawLine{QLineF(rect.bottomLeft(), rect.bottomRight()), double(fr.border)});
      out.push_back(DrawLine{QLineF(rect.topLeft(), rect.bottomLeft()), double(fr.border)});
      out.push_back(DrawLine{QLineF(rect.topRight(), rect.bottomRight()), double(fr.border)});
    }
  }
}

// A whole paragraph (all lines and frames) at `top` (the top of its space before).
void EmitPara(const ParaBox& box, double left, double top, std::vector<DrawItem>& out) {
  EmitFrames(*box.para, left, top + box.spaceBefore, out);
  if (!box.lines.empty()) EmitLines(box, 0, box.lines.size(), left, top + box.spaceBefore + box.lines.front().y, out);
}

// A table row measured for a column: cell geometry and contents.
struct RowBox {
  const Row* row = nullptr;
  struct CellBox {
    const Cell* cell = nullptr;
    double x = 0, width = 0;
    std::vector<ParaBox> paras;
    double contentHeight = 0;
  };
  std::vector<CellBox> cells;
  double height = 0;
  double scale = 1.0;       // table width scale (tables wider than the column shrink)
  double padY = kCellPadY;  // text inset from the row's top and bottom edges
};

// `firstLine` is the API line of the row's first cell paragraph (-1: not a body row).
RowBox MeasureRow(LayoutCache::Impl& cache, const Row& row, double scale, int firstLine) {
  RowBox rb;
  rb.row = &row;
  rb.scale = scale;
  // Word processors make a row higher by its widest top or bottom cell border (the border
  // between two rows is drawn once): half of it goes above the text, half below.
  int32_t border = 0;
  for (const auto& c : row.cells) border = std::max({border, c.border[kTop], c.border[kBottom]});
  rb.padY = kCellPadY + border / 2.0;
  double x = row.leftIndent * scale;
  for (const auto& c : row.cells) {
    RowBox::CellBox cb;
    cb.cell = &c;
    cb.x = x;
    cb.width = std::max(0, c.width) * scale;
    x += cb.width;
    const double inner = std::max(1.0, cb.width - 2 * std::min(kCellPadX, cb.width / 6));
    for (const auto& p : c.paragraphs) {
      cb.paras.push_back(cache.measure(p, inner, 1));
      if (firstLine >= 0) cb.paras.back().apiLine = firstLine++;
      cb.contentHeight += cb.paras.back().total();
    }
    rb.height = std::max(rb.height, cb.contentHeight + 2 * rb.padY);
    rb.cells.push_back(std::move(cb));
  }
  return rb;
}

void EmitCellFill(const Cell& c, const QRectF& rect, std::vector<DrawItem>& out) {
  if (c.background == kNoColor && c.shading <= 0) return;
  const ColorRef base = c.background == kNoColor ? Rgb(255, 255, 255) : c.background;
  const double keep = 1.0 - std::clamp(c.shading, 0, 100) / 100.0;
  const ColorRef fill =
      Rgb(static_cast<int>(std::lround(RedOf(base) * keep)), static_cast<int>(std::lround(GreenOf(base) * keep)),
          static_cast<int>(std::lround(BlueOf(base) * keep)));
  out.push_back(DrawFill{rect, fill});
}

void EmitCellBorders(const Cell& c, const QRectF& rect, std::vector<DrawItem>& out) {
  if (c.border[kLeft] > 0) out.push_back(DrawLine{QLineF(rect.topLeft(), rect.bottomLeft()), double(c.border[kLeft])});
  if (c.border[kRight] > 0)
    out.push_back(DrawLine{QLineF(rect.topRight(), rect.bottomRight()), double(c.border[kRight])});
  if (c.border[kTop] > 0) out.push_back(DrawLine{QLineF(rect.topLeft(), rect.topRight()), double(c.border[kTop])});
  if (c.border[kBottom] > 0)
    out.push_back(DrawLine{QLineF(rect.bottomLeft(), rect.bottomRight()), double(c.border[kBottom])});
}

double CellPadX(const RowBox::CellBox& cb) { return std::min(kCellPadX, cb.width / 6); }

void EmitRow(const RowBox& rb, double left, double top, std::vector<DrawItem>& out) {
  for (const auto& cb : rb.cells) {
    const Cell& c = *cb.cell;
    const QRectF rect(left + cb.x, top, cb.width, rb.height);
    EmitCellFill(c, rect, out);
    double top2 = top + rb.padY;
    const double slack = rb.height - 2 * rb.padY - cb.contentHeight;
    if (c.valign == VAlign::Center)
      top2 += slack / 2;
    else if (c.valign == VAlign::Bottom)
      top2 += slack;
    for (const auto& pb : cb.paras) {
      EmitPara(pb, rect.left() + CellPadX(cb), top2, out);
      top2 += pb.total();
    }
    EmitCellBorders(c, rect, out);
  }
}

// A cell's contents as the steps a row taller than a page is split at: each line of each
// paragraph, the paragraph's space before riding on its first line and its space after (and
// any frame room below the text) on its last.
struct CellSteps {
  static constexpr size_t kWhole = static_cast<size_t>(-1);
  struct Step {
    size_t para = 0;
    size_t line = 0;  // kWhole: a paragraph without lines, placed as one piece
    double height = 0;
  };
  std::vector<Step> steps;
  size_t next = 0;  // first step not placed yet
  bool done() const { return next >= steps.size(); }
};

CellSteps StepsOf(const RowBox::CellBox& cb) {
  CellSteps cs;
  for (size_t p = 0; p < cb.paras.size(); ++p) {
    const ParaBox& pb = cb.paras[p];
    if (pb.lines.empty()) {
      cs.steps.push_back({p, CellSteps::kWhole, pb.total()});
      continue;
    }
    const double linesBottom = pb.lines.back().y + pb.lines.back().height;
    for (size_t i = 0; i < pb.lines.size(); ++i) {
      double h = pb.lines[i].height;
      if (i == 0) h += pb.spaceBefore + pb.lines.front().y;  // and the frames above the lines
      if (i + 1 == pb.lines.size()) h += pb.spaceAfter + std::max(0.0, pb.textHeight - linesBottom);
      cs.steps.push_back({p, i, h});
    }
  }
  return cs;
}

// Steps [from, to) of a cell with their first step's top at `top`.
void EmitSteps(const RowBox::CellBox& cb, const CellSteps& cs, size_t from, size_t to, double left, double top,
               std::vector<DrawItem>& out) {
  for (size_t k = from; k < to; ++k) {
    const CellSteps::Step& s = cs.steps[k];
    const ParaBox& pb = cb.paras[s.para];
    if (s.line == CellSteps::kWhole) {
      EmitPara(pb, left, top, out);
    } else {
      const double textTop = top + (s.line == 0 ? pb.spaceBefore : 0);
      if (s.line == 0) EmitFrames(*pb.para, left, textTop, out);
      EmitLines(pb, s.line, s.line + 1, left, textTop + (s.line == 0 ? pb.lines.front().y : 0), out);
    }
    top += s.height;
  }
}

// One item of a section's flow.
struct Unit {
  enum Kind { Para, RowU, PageBrk, ColBrk } kind = Para;
  ParaBox para;
  RowBox row;
  const Table* table = nullptr;
  int rowIndex = 0;
  int tableFirstLine = 0;  // API line of the table's first cell paragraph
  int firstLine = 0;       // API line of the paragraph, or of the row's first cell paragraph
  int lineCount = 0;
  bool keepWithNext = false;
  bool keepTogether = false;
  double height() const { return kind == Para ? para.total() : kind == RowU ? row.height : 0; }
  // The part that must share the page with a kept block before it.
  double firstPart() const {
    if (kind == Para && !keepTogether && para.para->frames.empty() && !para.lines.empty())
      return para.spaceBefore + para.lines.front().height;
    return height();
  }
};

int CountCellParagraphs(const Row& r) {
  int n = 0;
  for (const auto& c : r.cells) n += static_cast<int>(c.paragraphs.size());
  return n;
}

class Paginator {
 public:
  Paginator(const Document& doc, LayoutCache::Impl& cache) : doc_(doc), cache_(cache) {}

  Layout run() {
    cache_.beginPagination();
    int line = 0;
    for (size_t s = 0; s < doc_.sections.size(); ++s) {
      out_.sectionFirstPage.push_back(0);
      startSection(static_cast<int>(s));
      out_.sectionFirstPage.back() = static_cast<int>(out_.pages.size()) - 1;
      std::vector<Unit> units = buildUnits(doc_.sections[s], line);
      flow(units, s + 1 == doc_.sections.size());
    }
    if (out_.pages.empty()) newPage(0);
    cache_.endPagination();
    return std::move(out_);
  }

 private:
  const Document& doc_;
  LayoutCache::Impl& cache_;
  Layout out_;
  int sec_ = 0;          // section being laid out
  int pageSection_ = 0;  // section that owns the current page
  double bodyTop_ = 0, bodyBottom_ = 0;
  double regionTop_ = 0;  // top of the current column region
  double regionMax_ = 0;  // lowest point reached in the region
  double y_ = 0;
  int col_ = 0;
  bool placed_ = false;  // something placed in the current column

  const SectionFormat& fmt() const { return doc_.sections[sec_].fmt; }
  int columns() const { return std::clamp(fmt().columns, 1, 2); }
  double colWidth() const {
    const double w = fmt().textWidth() - (columns() - 1) * std::max(0, fmt().columnSpacing);
    return std::max(720.0, w / columns());
  }
  double colLeft() const { return fmt().marginLeft + col_ * (colWidth() + std::max(0, fmt().columnSpacing)); }
  PageLayout& page() { return out_.pages.back(); }

  double hdrFtrHeight(const HeaderFooter& hf, double width, int pageNo, std::vector<ParaBox>* boxes) {
    double h = 0;
    for (const auto& p : hf.paragraphs) {
      ParaBox b = cache_.measure(p, width, pageNo);
      h += b.total();
      if (boxes) boxes->push_back(std::move(b));
    }
    return h;
  }

  void newPage(int section) {
    const SectionFormat& f = doc_.sections[section].fmt;
    PageLayout pg;
    pg.width = f.pageWidth();
    pg.height = f.pageHeight();
    pg.section = section;
    const int pageNo = static_cast<int>(out_.pages.size()) + 1;
    const double width = std::max(720, f.textWidth());
    // A header (footer) taller than its margin pushes the body to just below (above) it, as
    // word processors do.
    bodyTop_ = f.marginTop;
    bodyBottom_ = pg.height - f.marginBottom;
    if (f.header) {
      std::vector<ParaBox> boxes;
      const double h = hdrFtrHeight(*f.header, width, pageNo, &boxes);
      double y = f.headerDistance;
      for (const auto& b : boxes) {
        EmitPara(b, f.marginLeft, y, pg.items);
        y += b.total();
      }
      if (h > 0) bodyTop_ = std::max<double>(bodyTop_, f.headerDistance + h);
    }
    if (f.footer) {
      std::vector<ParaBox> boxes;
      const double h = hdrFtrHeight(*f.footer, width, pageNo, &boxes);
      double y = pg.height - f.footerDistance - h;
      for (const auto& b : boxes) {
        EmitPara(b, f.marginLeft, y, pg.items);
        y += b.total();
      }
      if (h > 0) bodyBottom_ = std::min<double>(bodyBottom_, pg.height - f.footerDistance - h);
    }
    if (bodyBottom_ < bodyTop_ + 720) bodyBottom_ = bodyTop_ + 720;
    out_.pages.push_back(std::move(pg));
    pageSection_ = section;
    regionTop_ = regionMax_ = y_ = bodyTop_;
    col_ = 0;
    placed_ = false;
  }

  void startSection(int s) {
    const int prev = sec_;
    sec_ = s;
    const SectionFormat& f = fmt();
    bool fresh = out_.pages.empty() || f.newPage;
    if (!fresh) {
      const PageLayout& pg = page();
      if (pg.width != f.pageWidth() || pg.height != f.pageHeight()) fresh = true;
    }
    if (fresh) {
      newPage(s);
      return;
    }
    // Continuous: the new column region starts below everything of the previous one.
    (void)prev;
    regionTop_ = std::max(regionMax_, y_);
    regionMax_ = y_ = regionTop_;
    col_ = 0;
    placed_ = regionTop_ > bodyTop_;
  }

  // Next column, or a new page of the current section.
  void advance() {
    regionMax_ = std::max(regionMax_, y_);
    if (col_ + 1 < columns()) {
      ++col_;
      y_ = regionTop_;
      placed_ = false;
    } else {
      newPage(sec_);
    }
  }

  double remaining() const { return bodyBottom_ - y_; }
  double columnHeight() const { return bodyBottom_ - bodyTop_; }

  std::vector<Unit> buildUnits(const Section& sec, int& line) {
    std::vector<Unit> units;
    const double width = colWidth();
    for (const auto& b : sec.blocks) {
      if (const auto* p = std::get_if<Paragraph>(&b)) {
        Unit u;
        u.kind = Unit::Para;
        u.para = cache_.measure(*p, width, 1);
        u.para.apiLine = line;
        u.firstLine = line++;
        u.lineCount = 1;
        u.keepWithNext = p->fmt.keepWithNext;
        u.keepTogether = p->fmt.keepTogether || !p->frames.empty();
        if (p->fmt.pageBreakBefore) {
          Unit br;
          br.kind = Unit::PageBrk;
          units.push_back(std::move(br));
        }
        units.push_back(std::move(u));
      } else if (const auto* t = std::get_if<Table>(&b)) {
        double widest = 0;
        for (const auto& r : t->rows) {
          double w = r.leftIndent;
          for (const auto& c : r.cells) w += std::max(0, c.width);
          widest = std::max(widest, w);
        }
        const double scale = widest > width ? width / widest : 1.0;
        const int tableLine = line;
        for (size_t r = 0; r < t->rows.size(); ++r) {
          Unit u;
          u.kind = Unit::RowU;
          u.table = t;
          u.rowIndex = static_cast<int>(r);
          u.tableFirstLine = tableLine;
          u.row = MeasureRow(cache_, t->rows[r], scale, line);
          u.firstLine = line;
          u.lineCount = CountCellParagraphs(t->rows[r]);
          line += u.lineCount;
          for (const auto& c : t->rows[r].cells)
            for (const auto& cp : c.paragraphs) u.keepWithNext = u.keepWithNext || cp.fmt.keepWithNext;
          units.push_back(std::move(u));
        }
      } else if (std::holds_alternative<PageBreak>(b)) {
        Unit u;
        u.kind = Unit::PageBrk;
        units.push_back(std::move(u));
      } else {
        Unit u;
        u.kind = Unit::ColBrk;
        units.push_back(std::move(u));
      }
    }
    return units;
  }

  void setLines(const Unit& u) {
    const int pg = static_cast<int>(out_.pages.size()) - 1;
    if (static_cast<int>(out_.linePage.size()) < u.firstLine + u.lineCount)
      out_.linePage.resize(u.firstLine + u.lineCount, pg);
    for (int i = 0; i < u.lineCount; ++i) out_.linePage[u.firstLine + i] = pg;
  }

  void placePara(const Unit& u) {
    const ParaBox& b = u.para;
    if (u.keepTogether && placed_ && b.total() > remaining() && b.total() <= columnHeight()) advance();
    if (!b.lines.empty() && placed_ && b.spaceBefore + b.lines.front().height > remaining()) advance();
    setLines(u);
    y_ += b.spaceBefore;
    const double paraTop = y_;
    EmitFrames(*b.para, colLeft(), paraTop, page().items);
    double frameBottom = paraTop;
    for (const auto& fr : b.para->frames) frameBottom = std::max(frameBottom, paraTop + fr.y + FrameSize(fr).height());
    if (!b.lines.empty()) y_ += b.lines.front().y;  // the lines start below the frames
    for (size_t i = 0; i < b.lines.size(); ++i) {
      const auto& ln = b.lines[i];
      if (placed_ && y_ + ln.height > bodyBottom_ && !u.keepTogether) {
        advance();
      }
      EmitLines(b, i, i + 1, colLeft(), y_, page().items);
      y_ += ln.height;
      placed_ = true;
    }
    y_ = std::max(y_, frameBottom) + b.spaceAfter;
    placed_ = true;
    regionMax_ = std::max(regionMax_, y_);
  }

  // The leading header rows that a table continued at `u` repeats: none for a header row
  // itself, and none when together they would take more than half of a column.
  std::vector<RowBox> repeatedHeaders(const Unit& u) const {
    std::vector<RowBox> boxes;
    const auto& rows = u.table->rows;
    int leading = 0;
    while (leading < static_cast<int>(rows.size()) && rows[leading].header) ++leading;
    if (u.rowIndex < leading) return boxes;
    int line = u.tableFirstLine;
    double height = 0;
    for (int r = 0; r < leading; ++r) {
      boxes.push_back(MeasureRow(cache_, rows[r], u.row.scale, line));
      line += CountCellParagraphs(rows[r]);
      height += boxes.back().height;
    }
    if (height > columnHeight() / 2) boxes.clear();
    return boxes;
  }

  // The table goes on in the next column or on a new page, below its repeated header rows.
  void continueTable(const Unit& u) {
    advance();
    for (const RowBox& hb : repeatedHeaders(u)) {
      EmitRow(hb, colLeft(), y_, page().items);
      y_ += hb.height;
    }
  }

  void placeRow(const Unit& u) {
    // A row that does not fit here is split when it would not fit in a fresh column below the
    // repeated header rows either. Those take at most half a column, so only a row taller than
    // that may need splitting (which spares measuring the header rows for every row).
    if (u.row.height > remaining() && u.row.height > columnHeight() / 2) {
      double headers = 0;
      for (const RowBox& hb : repeatedHeaders(u)) headers += hb.height;
      if (u.row.height > columnHeight() - headers) {
        splitRow(u);
        return;
      }
    }
    if (placed_ && u.row.height > remaining()) continueTable(u);
    setLines(u);
    EmitRow(u.row, colLeft(), y_, page().items);
    y_ += u.row.height;
    placed_ = true;
    regionMax_ = std::max(regionMax_, y_);
  }

  // A row taller than a column: each cell is placed line by line as far as the page goes and
  // continues in the next column or page. Every piece is drawn with the cells' backgrounds
  // and borders; a piece that is followed by another reaches down to the body's bottom.
  void splitRow(const Unit& u) {
    const size_t n = u.row.cells.size();
    std::vector<CellSteps> cells;
    std::vector<int> lineBase;  // API line of each cell's first paragraph
    int line = u.firstLine;
    double firstNeed = 0;
    for (const auto& cb : u.row.cells) {
      cells.push_back(StepsOf(cb));
      lineBase.push_back(line);
      line += static_cast<int>(cb.paras.size());
      if (!cells.back().steps.empty()) firstNeed = std::max(firstNeed, cells.back().steps.front().height);
    }
    double headers = 0;
    for (const RowBox& hb : repeatedHeaders(u)) headers += hb.height;
    // Whether lines that do not fit here would fit in a fresh column below the header rows;
    // a line taller than that stays here and overflows rather than leave an empty page.
    const double pad = 2 * u.row.padY;
    auto fitsFresh = [&](double need) { return need + pad <= columnHeight() - headers; };
    // It starts here when the first line of every cell fits, otherwise in the next column.
    bool fresh = !placed_;
    if (placed_ && firstNeed + pad > remaining() && fitsFresh(firstNeed)) {
      continueTable(u);
      fresh = true;
    }
    setLines(u);
    std::vector<size_t> to(n);
    for (;;) {
      const double room = remaining() - pad;
      double tallest = 0;
      bool any = false;
      for (size_t i = 0; i < n; ++i) {
        CellSteps& cs = cells[i];
        double used = 0;
        size_t k = cs.next;
        while (k < cs.steps.size() && used + cs.steps[k].height <= room) used += cs.steps[k++].height;
        to[i] = k;
        any = any || k > cs.next;
        tallest = std::max(tallest, used);
      }
      if (!any) {
        double need = 0;
        for (const auto& cs : cells)
          if (!cs.done()) need = std::max(need, cs.steps[cs.next].height);
        if (!fresh && fitsFresh(need)) {
          continueTable(u);
          fresh = true;
          continue;
        }
        // A line taller than a whole column is placed anyway, overflowing it.
        for (size_t i = 0; i < n; ++i) {
          if (cells[i].done()) continue;
          to[i] = cells[i].next + 1;
          tallest = std::max(tallest, cells[i].steps[cells[i].next].height);
        }
      }
      bool done = true;
      for (size_t i = 0; i < n; ++i) done = done && to[i] >= cells[i].steps.size();
      const double height = done ? tallest + pad : std::max(remaining(), tallest + pad);
      const int pg = static_cast<int>(out_.pages.size()) - 1;
      for (size_t i = 0; i < n; ++i) {
        const RowBox::CellBox& cb = u.row.cells[i];
        CellSteps& cs = cells[i];
        const QRectF rect(colLeft() + cb.x, y_, cb.width, height);
        EmitCellFill(*cb.cell, rect, page().items);
        EmitSteps(cb, cs, cs.next, to[i], rect.left() + CellPadX(cb), y_ + u.row.padY, page().items);
        EmitCellBorders(*cb.cell, rect, page().items);
        for (size_t k = cs.next; k < to[i]; ++k) {
          const auto& s = cs.steps[k];
          if (s.line == 0 || s.line == CellSteps::kWhole) out_.linePage[lineBase[i] + static_cast<int>(s.para)] = pg;
        }
        cs.next = to[i];
      }
      y_ += height;
      placed_ = true;
      regionMax_ = std::max(regionMax_, y_);
      if (done) return;
      continueTable(u);
      fresh = true;
    }
  }

  void flow(const std::vector<Unit>& units, bool lastSection) {
    size_t chainEnd = 0;  // units before this belong to a chain already decided
    for (size_t i = 0; i < units.size(); ++i) {
      const Unit& u = units[i];
      if (u.kind == Unit::PageBrk) {
        newPage(sec_);
        continue;
      }
      if (u.kind == Unit::ColBrk) {
        advance();
        continue;
      }
      if (i >= chainEnd && u.keepWithNext) {
        // The chain: this unit and the following kept ones, plus the start of the first
        // unit that is not kept. It moves to the next page or column when it does not fit
        // here but fits on an empty one; taller chains break where they must.
        size_t j = i;
        double h = 0;
        while (j < units.size() && units[j].keepWithNext &&
               (units[j].kind == Unit::Para || units[j].kind == Unit::RowU)) {
          h += units[j].height();
          ++j;
        }
        if (j < units.size() && (units[j].kind == Unit::Para || units[j].kind == Unit::RowU)) h += units[j].firstPart();
        chainEnd = j;
        if (placed_ && h > remaining() && h <= columnHeight()) advance();
      }
      if (lastSection && i + 1 == units.size() && u.kind == Unit::Para && u.para.para->empty() && placed_ &&
          u.height() > remaining()) {
        // The document's closing empty paragraph never opens a page of its own.
        setLines(u);
        continue;
      }
      if (u.kind == Unit::Para)
        placePara(u);
      else
        placeRow(u);
    }
  }
};

struct FaceMap {
  std::map<std::string, QString> map{
      {"arial", "Liberation Sans"},  {"helvetica", "Liberation Sans"},   {"times new roman", "Liberation Serif"},
      {"times", "Liberation Serif"}, {"courier new", "Liberation Mono"}, {"courier", "Liberation Mono"},
  };
};

}  // namespace

QString LayoutFace(const std::string& face) {
  static const FaceMap faces;
  std::string key = face;
  std::transform(key.begin(), key.end(), key.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const auto it = faces.map.find(key);
  if (it != faces.map.end()) return it->second;
  if (face.empty()) return QStringLiteral("Liberation Sans");
  return QString::fromStdString(face);
}

Layout Paginate(const Document& doc) {
  LayoutCache cache;
  cache.impl->keep = false;
  return Paginate(doc, cache);
}

Layout Paginate(const Document& doc, LayoutCache& cache) { return Paginator(doc, *cache.impl).run(); }

void PaintPage(QPainter& painter, const PageLayout& page) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  for (const auto& item : page.items) {
    if (const auto* t = std::get_if<DrawText>(&item)) {
      t->layout->lineAt(t->line).draw(&painter, t->origin);
    } else if (const auto* f = std::get_if<DrawFill>(&item)) {
      painter.fillRect(f->rect, ToQColor(f->color));
    } else if (const auto* l = std::get_if<DrawLine>(&item)) {
      QPen pen(Qt::black);
      // At least one device pixel wide: a thin border (a graph's 10-twip frame) would otherwise
      // fade away in a view zoomed below 50 %.
      const double pixel = 1.0 / std::max(1e-9, std::sqrt(std::abs(painter.deviceTransform().determinant())));
      pen.setWidthF(std::max({1.0, l->width, pixel}));
      pen.setCapStyle(Qt::SquareCap);
      painter.setPen(pen);
      painter.drawLine(l->line);
    } else if (const auto* p = std::get_if<DrawPicture>(&item)) {
      const Picture& pic = *p->picture;
      const QByteArray bytes = QByteArray::fromRawData(pic.data.data(), static_cast<qsizetype>(pic.data.size()));
      if (pic.format == Picture::Format::Svg) {
        QSvgRenderer svg(bytes);
        if (svg.isValid()) svg.render(&painter, p->rect);
      } else {
        // The same image object for the same bytes: the PDF engine stores it once.
        const QImage img = PictureImage(pic);
        if (!img.isNull()) painter.drawImage(p->rect, img);
      }
    }
  }
  painter.restore();
}

}  // namespace richtext
