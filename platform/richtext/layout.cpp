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

namespace richtext {

namespace {

constexpr double kCellPadX = 60;      // text inset from the left and right cell edges
constexpr double kCellPadY = 15;      // text inset from the top and bottom cell edges
constexpr double kHdrFtrGap = 120;    // between a header (footer) and the body

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
  if (f.superscript) cf.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
  else if (f.subscript) cf.setVerticalAlignment(QTextCharFormat::AlignSubScript);
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
    double y = 0;        // top, relative to the paragraph's text top
    double height = 0;
    int textLine = -1;   // index in tl, or -1 for a picture line
    std::shared_ptr<const Picture> picture;
  };
  std::vector<Line> lines;
  double textHeight = 0;     // lines, or the frames' bottom when lower
  double spaceBefore = 0, spaceAfter = 0;
  double indent = 0;         // left indent
  double total() const { return spaceBefore + textHeight + spaceAfter; }
};

ParaBox MeasurePara(const Paragraph& p, double width, int pageNumber) {
  ParaBox box;
  box.para = &p;
  box.spaceBefore = std::max(0, p.fmt.spaceBefore);
  box.spaceAfter = std::max(0, p.fmt.spaceAfter);
  box.indent = p.fmt.leftIndent;

  QString text;
  QList<QTextLayout::FormatRange> formats;
  std::vector<std::shared_ptr<const Picture>> pictures;
  CharFormat markFormat;   // the paragraph mark takes the last run's format
  for (const auto& r : p.runs) {
    QString piece;
    switch (r.kind) {
      case RunKind::Text: piece = QString::fromStdString(r.text); break;
      case RunKind::LineBreak: piece = QChar(QChar::LineSeparator); break;
      case RunKind::PageField: piece = QString::number(pageNumber); break;
      case RunKind::Picture:
        if (r.picture) pictures.push_back(r.picture);
        break;
    }
    markFormat = r.fmt;
    if (piece.isEmpty()) continue;
    QTextLayout::FormatRange range;
    range.start = static_cast<int>(text.size());
    range.length = static_cast<int>(piece.size());
    range.format = ToCharFormat(r.fmt);
    formats.append(range);
    text += piece;
  }

  box.tl = std::make_shared<QTextLayout>(text, ToQFont(markFormat));
  QTextOption opt;
  switch (p.fmt.align) {
    case Align::Left: opt.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); break;
    case Align::Center: opt.setAlignment(Qt::AlignHCenter); break;
    case Align::Right: opt.setAlignment(Qt::AlignRight | Qt::AlignAbsolute); break;
    case Align::Justify: opt.setAlignment(Qt::AlignJustify); break;
  }
  opt.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  opt.setTabStopDistance(720);
  QList<QTextOption::Tab> tabs;
  for (const auto& t : p.fmt.tabs) {
    QTextOption::TabType type = QTextOption::LeftTab;
    if (t.kind == TabKind::Right) type = QTextOption::RightTab;
    else if (t.kind == TabKind::Center) type = QTextOption::CenterTab;
    else if (t.kind == TabKind::Decimal) type = QTextOption::DelimiterTab;
    tabs.append(QTextOption::Tab(t.position - p.fmt.leftIndent, type,
                                 type == QTextOption::DelimiterTab ? QChar('.') : QChar()));
  }
  opt.setTabs(tabs);
  box.tl->setTextOption(opt);
  box.tl->setFormats(formats);
  box.tl->setCacheEnabled(true);

  const double full = std::max(1.0, width - p.fmt.leftIndent - p.fmt.rightIndent);
  double y = 0;
  box.tl->beginLayout();
  for (int i = 0;; ++i) {
    QTextLine line = box.tl->createLine();
    if (!line.isValid()) break;
    const double first = i == 0 ? p.fmt.firstIndent : 0;
    line.setLineWidth(std::max(1.0, full - first));
    line.setPosition(QPointF(first, y));
    box.lines.push_back({y, line.height(), i, nullptr});
    y += line.height();
  }
  box.tl->endLayout();
  if (!pictures.empty() && text.isEmpty() && !box.lines.empty()) {
    // A paragraph of pictures only: no empty text line above them.
    y = 0;
    box.lines.clear();
  }
  for (const auto& pic : pictures) {
    box.lines.push_back({y, static_cast<double>(std::max(0, pic->height)), -1, pic});
    y += std::max(0, pic->height);
  }
  double frameBottom = 0;
  for (const auto& fr : p.frames) frameBottom = std::max(frameBottom, fr.y + FrameSize(fr).height());
  box.textHeight = std::max(y, frameBottom);
  return box;
}

// Adds the draw items of lines [from, to) of a paragraph whose text top is at `top`
// (the top of line `from` lands there) and left edge at `left`.
void EmitLines(const ParaBox& box, size_t from, size_t to, double left, double top,
               std::vector<DrawItem>& out) {
  if (from >= box.lines.size()) return;
  const double shift = top - box.lines[from].y;
  for (size_t i = from; i < to && i < box.lines.size(); ++i) {
    const auto& ln = box.lines[i];
    if (ln.textLine >= 0) {
      out.push_back(DrawText{box.tl, ln.textLine, QPointF(left + box.indent, shift)});
    } else if (ln.picture) {
      out.push_back(DrawPicture{QRectF(left + box.indent, shift + ln.y, ln.picture->width,
                                       ln.picture->height), ln.picture});
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
  EmitLines(box, 0, box.lines.size(), left, top + box.spaceBefore, out);
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
  double scale = 1.0;   // table width scale (tables wider than the column shrink)
};

RowBox MeasureRow(const Row& row, double scale) {
  RowBox rb;
  rb.row = &row;
  rb.scale = scale;
  double x = row.leftIndent * scale;
  for (const auto& c : row.cells) {
    RowBox::CellBox cb;
    cb.cell = &c;
    cb.x = x;
    cb.width = std::max(0, c.width) * scale;
    x += cb.width;
    const double inner = std::max(1.0, cb.width - 2 * std::min(kCellPadX, cb.width / 6));
    for (const auto& p : c.paragraphs) {
      cb.paras.push_back(MeasurePara(p, inner, 1));
      cb.contentHeight += cb.paras.back().total();
    }
    rb.height = std::max(rb.height, cb.contentHeight + 2 * kCellPadY);
    rb.cells.push_back(std::move(cb));
  }
  return rb;
}

void EmitRow(const RowBox& rb, double left, double top, std::vector<DrawItem>& out) {
  for (const auto& cb : rb.cells) {
    const Cell& c = *cb.cell;
    const QRectF rect(left + cb.x, top, cb.width, rb.height);
    if (c.background != kNoColor || c.shading > 0) {
      const ColorRef base = c.background == kNoColor ? Rgb(255, 255, 255) : c.background;
      const double keep = 1.0 - std::clamp(c.shading, 0, 100) / 100.0;
      const ColorRef fill = Rgb(static_cast<int>(std::lround(RedOf(base) * keep)),
                                static_cast<int>(std::lround(GreenOf(base) * keep)),
                                static_cast<int>(std::lround(BlueOf(base) * keep)));
      out.push_back(DrawFill{rect, fill});
    }
    double top2 = top + kCellPadY;
    const double slack = rb.height - 2 * kCellPadY - cb.contentHeight;
    if (c.valign == VAlign::Center) top2 += slack / 2;
    else if (c.valign == VAlign::Bottom) top2 += slack;
    const double padX = std::min(kCellPadX, cb.width / 6);
    for (const auto& pb : cb.paras) {
      EmitPara(pb, rect.left() + padX, top2, out);
      top2 += pb.total();
    }
    if (c.border[kLeft] > 0) out.push_back(DrawLine{QLineF(rect.topLeft(), rect.bottomLeft()), double(c.border[kLeft])});
    if (c.border[kRight] > 0) out.push_back(DrawLine{QLineF(rect.topRight(), rect.bottomRight()), double(c.border[kRight])});
    if (c.border[kTop] > 0) out.push_back(DrawLine{QLineF(rect.topLeft(), rect.topRight()), double(c.border[kTop])});
    if (c.border[kBottom] > 0) out.push_back(DrawLine{QLineF(rect.bottomLeft(), rect.bottomRight()), double(c.border[kBottom])});
  }
}

// One item of a section's flow.
struct Unit {
  enum Kind { Para, RowU, PageBrk, ColBrk } kind = Para;
  ParaBox para;
  RowBox row;
  const Table* table = nullptr;
  int rowIndex = 0;
  int firstLine = 0;   // API line of the paragraph, or of the row's first cell paragraph
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
  explicit Paginator(const Document& doc) : doc_(doc) {}

  Layout run() {
    int line = 0;
    for (size_t s = 0; s < doc_.sections.size(); ++s) {
      out_.sectionFirstPage.push_back(0);
      startSection(static_cast<int>(s));
      out_.sectionFirstPage.back() = static_cast<int>(out_.pages.size()) - 1;
      std::vector<Unit> units = buildUnits(doc_.sections[s], line);
      flow(units, s + 1 == doc_.sections.size());
    }
    if (out_.pages.empty()) newPage(0);
    return std::move(out_);
  }

 private:
  const Document& doc_;
  Layout out_;
  int sec_ = 0;               // section being laid out
  int pageSection_ = 0;       // section that owns the current page
  double bodyTop_ = 0, bodyBottom_ = 0;
  double regionTop_ = 0;      // top of the current column region
  double regionMax_ = 0;      // lowest point reached in the region
  double y_ = 0;
  int col_ = 0;
  bool placed_ = false;       // something placed in the current column

  const SectionFormat& fmt() const { return doc_.sections[sec_].fmt; }
  int columns() const { return std::clamp(fmt().columns, 1, 2); }
  double colWidth() const {
    const double w = fmt().textWidth() - (columns() - 1) * std::max(0, fmt().columnSpacing);
    return std::max(720.0, w / columns());
  }
  double colLeft() const {
    return fmt().marginLeft + col_ * (colWidth() + std::max(0, fmt().columnSpacing));
  }
  PageLayout& page() { return out_.pages.back(); }

  double hdrFtrHeight(const HeaderFooter& hf, double width, int pageNo, std::vector<ParaBox>* boxes) {
    double h = 0;
    for (const auto& p : hf.paragraphs) {
      ParaBox b = MeasurePara(p, width, pageNo);
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
      if (h > 0) bodyTop_ = std::max<double>(bodyTop_, f.headerDistance + h + kHdrFtrGap);
    }
    if (f.footer) {
      std::vector<ParaBox> boxes;
      const double h = hdrFtrHeight(*f.footer, width, pageNo, &boxes);
      double y = pg.height - f.footerDistance - h;
      for (const auto& b : boxes) {
        EmitPara(b, f.marginLeft, y, pg.items);
        y += b.total();
      }
      if (h > 0) bodyBottom_ = std::min<double>(bodyBottom_, pg.height - f.footerDistance - h - kHdrFtrGap);
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
        u.para = MeasurePara(*p, width, 1);
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
        for (size_t r = 0; r < t->rows.size(); ++r) {
          Unit u;
          u.kind = Unit::RowU;
          u.table = t;
          u.rowIndex = static_cast<int>(r);
          u.row = MeasureRow(t->rows[r], scale);
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

  void placeRow(const Unit& u) {
    if (placed_ && u.row.height > remaining()) {
      advance();
      // A table continued on a new page or column repeats its leading header rows.
      const auto& rows = u.table->rows;
      int leading = 0;
      while (leading < static_cast<int>(rows.size()) && rows[leading].header) ++leading;
      if (u.rowIndex >= leading && leading > 0) {
        for (int r = 0; r < leading; ++r) {
          RowBox hb = MeasureRow(rows[r], u.row.scale);
          EmitRow(hb, colLeft(), y_, page().items);
          y_ += hb.height;
        }
      }
    }
    setLines(u);
    EmitRow(u.row, colLeft(), y_, page().items);
    y_ += u.row.height;
    placed_ = true;
    regionMax_ = std::max(regionMax_, y_);
  }

  void flow(const std::vector<Unit>& units, bool lastSection) {
    size_t chainEnd = 0;   // units before this belong to a chain already decided
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
        if (j < units.size() && (units[j].kind == Unit::Para || units[j].kind == Unit::RowU))
          h += units[j].firstPart();
        chainEnd = j;
        if (placed_ && h > remaining() && h <= columnHeight()) advance();
      }
      if (lastSection && i + 1 == units.size() && u.kind == Unit::Para && u.para.para->empty() &&
          placed_ && u.height() > remaining()) {
        // The document's closing empty paragraph never opens a page of its own.
        setLines(u);
        continue;
      }
      if (u.kind == Unit::Para) placePara(u);
      else placeRow(u);
    }
  }
};

struct FaceMap {
  std::map<std::string, QString> map{
      {"arial", "Liberation Sans"},          {"helvetica", "Liberation Sans"},
      {"times new roman", "Liberation Serif"}, {"times", "Liberation Serif"},
      {"courier new", "Liberation Mono"},    {"courier", "Liberation Mono"},
  };
};

}  // namespace

QString LayoutFace(const std::string& face) {
  static const FaceMap faces;
  std::string key = face;
  std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const auto it = faces.map.find(key);
  if (it != faces.map.end()) return it->second;
  if (face.empty()) return QStringLiteral("Liberation Sans");
  return QString::fromStdString(face);
}

Layout Paginate(const Document& doc) { return Paginator(doc).run(); }

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
      pen.setWidthF(std::max(1.0, l->width));
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
        QImage img;
        if (img.loadFromData(bytes)) painter.drawImage(p->rect, img);
      }
    }
  }
  painter.restore();
}

}  // namespace richtext
