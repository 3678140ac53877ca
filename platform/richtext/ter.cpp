// The editing API: handles, text, tables, caret and selection, formatting, sections, frames,
// pictures and editor commands.
#include "platform/richtext/ter.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QSvgGenerator>
#include <QSvgRenderer>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "libs/text/encoding.h"
#include "platform/richtext/ter_internal.h"

namespace richtext {

namespace {

constexpr int32_t kMaxFramePos = 31680;  // 22 inches, the largest page

std::map<TerHwnd, std::array<uint8_t, 920>>& FieldStore();

std::map<TerHwnd, std::unique_ptr<Editor>>& Registry() {
  static std::map<TerHwnd, std::unique_ptr<Editor>> editors;
  return editors;
}

// ---- text helpers ---------------------------------------------------------------------

int32_t CodePoints(const std::string& s) { return static_cast<int32_t>(text::Utf8Length(s)); }

// Byte offset of code point `cp` in s (clamped to the end).
size_t ByteOffset(const std::string& s, int32_t cp) {
  return cp < 0 ? s.size() : text::Utf8Offset(s, static_cast<size_t>(cp));
}

int32_t RunLength(const Run& r) { return r.kind == RunKind::Text ? CodePoints(r.text) : 1; }

int32_t ParaLength(const Paragraph& p) {
  int32_t n = 0;
  for (const auto& r : p.runs) n += RunLength(r);
  return n;
}

// Splits the run at character `col` so that a run starts there; returns that run's index.
size_t SplitAt(Paragraph& p, int32_t col) {
  int32_t pos = 0;
  for (size_t i = 0; i < p.runs.size(); ++i) {
    const int32_t len = RunLength(p.runs[i]);
    if (col <= pos) return i;
    if (col < pos + len) {
      Run tail = p.runs[i];
      const size_t cut = ByteOffset(p.runs[i].text, col - pos);
      tail.text = p.runs[i].text.substr(cut);
      p.runs[i].text.resize(cut);
      p.runs.insert(p.runs.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
      return i + 1;
    }
    pos += len;
  }
  return p.runs.size();
}

void MergeRuns(Paragraph& p) {
  std::vector<Run> out;
  for (auto& r : p.runs) {
    if (r.kind == RunKind::Text && r.text.empty()) continue;
    if (!out.empty() && r.kind == RunKind::Text && out.back().kind == RunKind::Text && out.back().fmt == r.fmt) {
      out.back().text += r.text;
    } else {
      out.push_back(std::move(r));
    }
  }
  p.runs = std::move(out);
}

void AppendRunText(Paragraph& p, const std::string& text, const CharFormat& fmt) {
  if (text.empty()) return;
  if (!p.runs.empty() && p.runs.back().kind == RunKind::Text && p.runs.back().fmt == fmt) {
    p.runs.back().text += text;
  } else {
    Run r;
    r.text = text;
    r.fmt = fmt;
    p.runs.push_back(std::move(r));
  }
}

// ---- story paragraphs ------------------------------------------------------------------

// A paragraph of the current story with the container it lives in.
struct ParaRef {
  Paragraph* p = nullptr;
  int section = 0;
  std::vector<Block>* blocks = nullptr;    // body paragraph: (*blocks)[index]
  std::vector<Paragraph>* list = nullptr;  // cell, header or footer paragraph: (*list)[index]
  size_t index = 0;
  double width = 0;  // the text width it is laid out in (tab limit)
  size_t block = 0;  // body and cell paragraphs: the block in the section
};

}  // namespace

// The paragraphs of the story, kept between calls: building and paginating a long document
// asks for them after every edit, and listing them all each time made that quadratic.
struct Editor::StoryIndex {
  std::vector<ParaRef> body;          // the body's paragraphs in document order
  std::vector<ParaRef> hdrFtr;        // the header or footer being edited (listed on each call)
  const Section* sections = nullptr;  // doc.sections.data() and size when listed
  size_t sectionCount = 0;
  std::vector<const Block*> blocks;  // each section's blocks.data() when listed
};

namespace {

// Appends the paragraphs of block b of section s: the paragraph, or a table's cell paragraphs.
void AddBlockParas(std::vector<ParaRef>& refs, Section& sec, int s, size_t b) {
  auto& blocks = sec.blocks;
  if (auto* p = std::get_if<Paragraph>(&blocks[b])) {
    const double width = sec.fmt.textWidth() / std::clamp(sec.fmt.columns, 1, 2);
    refs.push_back({p, s, &blocks, nullptr, b, width, b});
  } else if (auto* t = std::get_if<Table>(&blocks[b])) {
    for (auto& row : t->rows)
      for (auto& cell : row.cells)
        for (size_t k = 0; k < cell.paragraphs.size(); ++k)
          refs.push_back({&cell.paragraphs[k], s, nullptr, &cell.paragraphs, k, double(cell.width), b});
  }
}

#ifndef NDEBUG
std::vector<ParaRef> ListBody(Document& doc) {
  std::vector<ParaRef> refs;
  for (size_t s = 0; s < doc.sections.size(); ++s)
    for (size_t b = 0; b < doc.sections[s].blocks.size(); ++b)
      AddBlockParas(refs, doc.sections[s], static_cast<int>(s), b);
  return refs;
}
#endif

// The paragraphs of the current story in order. The body's list is kept in the editor and
// listed again only from the first block an edit may have changed (Editor::changedFrom);
// Editor::changed lists it again whole. The reference stays valid until the next call.
const std::vector<ParaRef>& StoryParas(Editor& e) {
  if (!e.storyIndex) e.storyIndex = std::make_shared<Editor::StoryIndex>();
  Editor::StoryIndex& x = *e.storyIndex;
  auto& secs = e.doc.sections;
  if (e.story.section >= 0 && e.story.section < static_cast<int>(secs.size())) {
    x.hdrFtr.clear();
    auto& f = secs[e.story.section].fmt;
    auto& hf = e.story.footer ? f.footer : f.header;
    if (!hf) return x.hdrFtr;
    for (size_t i = 0; i < hf->paragraphs.size(); ++i)
      x.hdrFtr.push_back({&hf->paragraphs[i], e.story.section, nullptr, &hf->paragraphs, i, double(f.textWidth())});
    return x.hdrFtr;
  }
  Editor::StoryMark keep = e.storyKept;
  // Fewer sections than listed: listed afresh (sections are only ever added at the end
  // otherwise, and changedFrom names the first new one).
  if (secs.size() < x.sectionCount) keep = {};
  if (secs.size() > x.sectionCount) keep = std::min(keep, Editor::StoryMark{static_cast<int>(x.sectionCount), 0});
  size_t n = x.body.size();
  while (n > 0 && !(Editor::StoryMark{x.body[n - 1].section, x.body[n - 1].block} < keep)) --n;
  x.body.resize(n);
  // A section whose blocks moved in memory (its list grew): its kept paragraphs are found
  // again where they are now. Cell paragraphs live in their cells and do not move.
  x.blocks.resize(secs.size(), nullptr);
  bool moved = x.sections != secs.data();  // the sections moved: their block lists with them
  for (size_t s = 0; s < secs.size(); ++s) moved = moved || x.blocks[s] != secs[s].blocks.data();
  if (moved) {
    for (auto& r : x.body) {
      if (!r.blocks) continue;
      r.blocks = &secs[static_cast<size_t>(r.section)].blocks;
      r.p = &std::get<Paragraph>((*r.blocks)[r.index]);
    }
  }
  const size_t first = std::min(static_cast<size_t>(std::max(keep.section, 0)), secs.size());
  for (size_t s = first; s < secs.size(); ++s)
    for (size_t b = s == first ? keep.block : 0; b < secs[s].blocks.size(); ++b)
      AddBlockParas(x.body, secs[s], static_cast<int>(s), b);
  x.sections = secs.data();
  x.sectionCount = secs.size();
  for (size_t s = 0; s < secs.size(); ++s) x.blocks[s] = secs[s].blocks.data();
  e.storyKept = {INT_MAX, 0};
#ifndef NDEBUG
  // Debug builds (the tests) check the kept list against a fresh one after every call.
  const std::vector<ParaRef> fresh = ListBody(e.doc);
  bool same = fresh.size() == x.body.size();
  for (size_t i = 0; same && i < fresh.size(); ++i)
    same = fresh[i].p == x.body[i].p && fresh[i].section == x.body[i].section && fresh[i].index == x.body[i].index &&
           fresh[i].block == x.body[i].block && fresh[i].width == x.body[i].width;
  if (!same) {
    std::fprintf(stderr, "richtext: the kept paragraph list is stale\n");
    std::abort();
  }
#endif
  return x.body;
}

// Marks an edit of the paragraph `ref` of the current story (and of what follows it).
void ChangedAt(Editor& e, const ParaRef& ref) {
  if (e.story.section >= 0)
    e.changedInside();  // a header or footer: the body is as it was
  else
    e.changedFrom(ref.section, ref.block);
}

// Inserts a paragraph after `ref` in its container.
void InsertParagraphAfter(const ParaRef& ref, Paragraph p) {
  if (ref.blocks)
    ref.blocks->insert(ref.blocks->begin() + static_cast<std::ptrdiff_t>(ref.index) + 1, std::move(p));
  else
    ref.list->insert(ref.list->begin() + static_cast<std::ptrdiff_t>(ref.index) + 1, std::move(p));
}

void ClampCaret(Editor& e, const std::vector<ParaRef>& refs) {
  if (refs.empty()) {
    e.caretLine = e.caretCol = 0;
    return;
  }
  e.caretLine = std::clamp<int32_t>(e.caretLine, 0, static_cast<int32_t>(refs.size()) - 1);
  e.caretCol = std::clamp<int32_t>(e.caretCol, 0, ParaLength(*refs[e.caretLine].p));
}

void CaretToEnd(Editor& e) {
  const auto& refs = StoryParas(e);
  e.caretLine = refs.empty() ? 0 : static_cast<int32_t>(refs.size()) - 1;
  e.caretCol = refs.empty() ? 0 : ParaLength(*refs.back().p);
}

// The selection as ordered positions.
struct Range {
  int32_t l1, c1, l2, c2;
};
Range Ordered(const Editor& e) {
  Range r{e.selLine1, e.selCol1, e.selLine2, e.selCol2};
  if (r.l2 < r.l1 || (r.l2 == r.l1 && r.c2 < r.c1)) {
    std::swap(r.l1, r.l2);
    std::swap(r.c1, r.c2);
  }
  return r;
}

// Applies a character change to the selection, or to the typing format without one.
template <class F>
void ForSelectedRuns(Editor& e, F&& change) {
  if (!e.hasSelection) {
    change(e.typing);
    return;
  }
  const auto& refs = StoryParas(e);
  if (refs.empty()) return;
  const Range r = Ordered(e);
  const int32_t last = static_cast<int32_t>(refs.size()) - 1;
  for (int32_t l = std::max(0, r.l1); l <= std::min(r.l2, last); ++l) {
    Paragraph& p = *refs[l].p;
    const int32_t from = l == r.l1 ? r.c1 : 0;
    const int32_t to = l == r.l2 ? std::min(r.c2, ParaLength(p)) : ParaLength(p);
    if (to <= from) continue;
    const size_t a = SplitAt(p, from);
    const size_t b = SplitAt(p, to);
    for (size_t i = a; i < b; ++i) change(p.runs[i].fmt);
    MergeRuns(p);
  }
  e.changedInside();  // runs split, formatted and merged within their paragraphs
}

// Applies a paragraph change to the paragraphs the selection touches, or the caret's one.
template <class F>
void ForSelectedParas(Editor& e, F&& change) {
  const auto& refs = StoryParas(e);
  if (refs.empty()) return;
  const int32_t last = static_cast<int32_t>(refs.size()) - 1;
  int32_t l1 = e.caretLine, l2 = e.caretLine;
  if (e.hasSelection) {
    const Range r = Ordered(e);
    l1 = r.l1;
    l2 = r.l2;
    if (l2 > l1 && r.c2 == 0) --l2;  // a selection ending at a line's start leaves it out
  }
  for (int32_t l = std::max(0, l1); l <= std::min(l2, last); ++l) change(*refs[l].p, refs[l]);
  e.changedInside();  // paragraph formats only
}

void ApplyParaFlags(ParaFormat& f, uint32_t flags, bool on) {
  if (flags & kParaCenter) f.align = on ? Align::Center : Align::Left;
  if (flags & kParaRight) f.align = on ? Align::Right : Align::Left;
  if (flags & kParaLeft) f.align = Align::Left;
  if (flags & kParaKeepTogether) f.keepTogether = on;
  if (flags & kParaKeepWithNext) f.keepWithNext = on;
}

void ApplyStyle(CharFormat& f, int32_t style, bool on) {
  if (style & kStyleItalic) f.italic = on;
  if (style & kStyleBold) f.bold = on;
  if (style & kStyleUnderline) f.underline = on;
  if (style & kStyleSuperscript) {
    f.superscript = on;
    if (on) f.subscript = false;
  }
  if (style & kStyleSubscript) {
    f.subscript = on;
    if (on) f.superscript = false;
  }
}

// ---- body structure --------------------------------------------------------------------

std::vector<Block>& BodyTail(Document& doc) { return doc.sections.back().blocks; }

bool IsOpenParagraph(const Block& b) {
  const auto* p = std::get_if<Paragraph>(&b);
  return p && p->empty();
}

int CaretSection(Editor& e) {
  if (e.story.section >= 0) return std::min<int>(e.story.section, static_cast<int>(e.doc.sections.size()) - 1);
  const auto& refs = StoryParas(e);
  if (refs.empty() || e.caretLine >= static_cast<int32_t>(refs.size()) || e.caretLine < 0)
    return static_cast<int>(e.doc.sections.size()) - 1;
  return refs[e.caretLine].section;
}

struct CellLoc {
  Table* table = nullptr;
  Row* row = nullptr;
  Cell* cell = nullptr;
  int section = 0;
  size_t block = 0;
};

CellLoc FindCell(Editor& e, int32_t id) {
  if (id <= 0) return {};
  auto& secs = e.doc.sections;
  for (size_t s = secs.size(); s-- > 0;) {
    auto& blocks = secs[s].blocks;
    for (size_t b = blocks.size(); b-- > 0;) {
      auto* t = std::get_if<Table>(&blocks[b]);
      if (!t) continue;
      // From the last row: the cell looked for is as a rule the one just made.
      for (auto row = t->rows.rbegin(); row != t->rows.rend(); ++row)
        for (auto& cell : row->cells)
          if (cell.id == id) return {t, &*row, &cell, static_cast<int>(s), b};
    }
  }
  return {};
}

Frame* FindFrame(Editor& e, int32_t id) {
  if (id <= 0) return nullptr;
  auto inParas = [&](std::vector<Paragraph>& paras) -> Frame* {
    for (auto& p : paras)
      for (auto& f : p.frames)
        if (f.id == id) return &f;
    return nullptr;
  };
  // From the end: the frame looked for is as a rule the one just made, and searching from the
  // start made building a long document quadratic.
  for (auto sec = e.doc.sections.rbegin(); sec != e.doc.sections.rend(); ++sec) {
    for (auto b = sec->blocks.rbegin(); b != sec->blocks.rend(); ++b) {
      if (auto* p = std::get_if<Paragraph>(&*b)) {
        for (auto& f : p->frames)
          if (f.id == id) return &f;
      } else if (auto* t = std::get_if<Table>(&*b)) {
        for (auto& row : t->rows)
          for (auto& cell : row.cells)
            if (Frame* f = inParas(cell.paragraphs)) return f;
      }
    }
    if (sec->fmt.header)
      if (Frame* f = inParas(sec->fmt.header->paragraphs)) return f;
    if (sec->fmt.footer)
      if (Frame* f = inParas(sec->fmt.footer->paragraphs)) return f;
  }
  return nullptr;
}

std::map<std::pair<TerHwnd, int32_t>, int32_t>& PictureFrames() {
  static std::map<std::pair<TerHwnd, int32_t>, int32_t> frames;  // (handle, picture) -> frame
  return frames;
}

// Appends text to a paragraph list (a cell, or the body through `blocks`), handling the
// control characters.
template <class NewPara>
void AppendControlled(Paragraph* target, const std::string& text, const CharFormat& cf, NewPara&& newParagraph) {
  std::string buf;
  auto flush = [&] {
    AppendRunText(*target, buf, cf);
    buf.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    switch (c) {
      case 21:
      case '\n':
        flush();
        target = newParagraph(target->fmt);
        break;
      case '\r':
        flush();
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        target = newParagraph(target->fmt);
        break;
      case 19:
      case 18:
      case 15:
        flush();
        break;
      case '\t':
        buf += c;
        break;
      default:
        if (static_cast<unsigned char>(c) >= 32) buf += c;
        break;
    }
  }
  flush();
}

}  // namespace

// ---- Editor ------------------------------------------------------------------------------

Editor::Editor() : paper(DefaultPaperSize()) {
  doc.sections.front().fmt.paperWidth = paper.width;
  doc.sections.front().fmt.paperHeight = paper.height;
  doc.sections.front().blocks.push_back(Paragraph{});
  typing = doc.fonts.front();
  lastAppend = typing;
}

const Layout& Editor::layout() {
  if (layoutRevision_ != revision_) {
    layout_ = Paginate(doc, *layoutCache_);
    layoutRevision_ = revision_;
  }
  return layout_;
}

void detail::EnsureOpenParagraph(Document& doc) {
  if (doc.sections.empty()) doc.sections.emplace_back();
  auto& blocks = BodyTail(doc);
  if (blocks.empty() || !std::holds_alternative<Paragraph>(blocks.back())) blocks.push_back(Paragraph{});
}

TerHwnd TerCreateWindow() {
  static TerHwnd next = 0x1000;
  const TerHwnd h = ++next;
  Registry()[h] = std::make_unique<Editor>();
  return h;
}

void TerDestroyWindow(TerHwnd h) {
  detail::ReleasePrinter(h);
  FieldStore().erase(h);
  auto& pics = PictureFrames();
  for (auto it = pics.begin(); it != pics.end();) it = it->first.first == h ? pics.erase(it) : std::next(it);
  Registry().erase(h);
}

Editor* TerEditor(TerHwnd h) {
  auto it = Registry().find(h);
  return it == Registry().end() ? nullptr : it->second.get();
}

static void Notify(Editor& e) {
  if (e.view) e.view->documentChanged();
}

bool TerNewDocument(TerHwnd h) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  EditorView* view = e->view;
  const int zoom = e->zoom;
  const bool ro = e->readOnly;
  *e = Editor();
  e->view = view;
  e->zoom = zoom;
  e->readOnly = ro;
  e->changed();
  Notify(*e);
  return true;
}

// ---- fonts and paragraph styles ------------------------------------------------------------

int32_t TerCreateFont(TerHwnd h, int32_t reuseId, int32_t, const std::string& face, int32_t pointSize, int32_t style,
                      ColorRef textColor, ColorRef backColor, int32_t, int32_t) {
  Editor* e = TerEditor(h);
  if (!e) return 0;
  CharFormat f;
  f.face = face.empty() ? e->doc.fonts.front().face : face;
  f.pointSize = pointSize > 0 ? pointSize : e->doc.fonts.front().pointSize;
  ApplyStyle(f, style, true);
  f.color = textColor & 0xFFFFFF;
  // Black and white backgrounds both mean the paper: the report code passes either for "none".
  const ColorRef back = backColor & 0xFFFFFF;
  f.background = back == 0 || back == 0xFFFFFF ? kNoColor : back;
  if (reuseId > 0 && reuseId < static_cast<int32_t>(e->doc.fonts.size())) {
    e->doc.fonts[reuseId] = f;
    return reuseId;
  }
  e->doc.fonts.push_back(f);
  return static_cast<int32_t>(e->doc.fonts.size()) - 1;
}

bool TerSetFontSpace(TerHwnd h, int32_t fontId, int32_t spacing, int32_t) {
  Editor* e = TerEditor(h);
  if (!e || fontId < 0 || fontId >= static_cast<int32_t>(e->doc.fonts.size())) return false;
  e->doc.fonts[fontId].spacing = spacing;
  return true;
}

int32_t TerCreateParaId(TerHwnd h, int32_t reuseId, int32_t, int32_t leftIndent, int32_t rightIndent,
                        int32_t firstIndent, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t spaceBefore,
                        int32_t spaceAfter, int32_t, uint32_t flags) {
  Editor* e = TerEditor(h);
  if (!e) return 0;
  ParaFormat f;
  f.leftIndent = leftIndent;
  f.rightIndent = rightIndent;
  f.firstIndent = firstIndent;
  f.spaceBefore = std::max(0, spaceBefore);
  f.spaceAfter = std::max(0, spaceAfter);
  ApplyParaFlags(f, flags, true);
  if (reuseId > 0 && reuseId < static_cast<int32_t>(e->doc.paraStyles.size())) {
    e->doc.paraStyles[reuseId] = f;
    return reuseId;
  }
  e->doc.paraStyles.push_back(f);
  return static_cast<int32_t>(e->doc.paraStyles.size()) - 1;
}

bool SetTerDefaultFont(TerHwnd h, const std::string& face, int32_t pointSize, int32_t style, ColorRef color, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  CharFormat f;
  if (!face.empty()) f.face = face;
  if (pointSize > 0) f.pointSize = pointSize;
  ApplyStyle(f, style, true);
  f.color = color & 0xFFFFFF;
  e->doc.fonts.front() = f;
  e->typing = f;
  return true;
}

bool SetTerFont(TerHwnd h, const std::string& face, bool) {
  Editor* e = TerEditor(h);
  if (!e || face.empty()) return false;
  ForSelectedRuns(*e, [&](CharFormat& f) { f.face = face; });
  return true;
}

// ---- text ------------------------------------------------------------------------------------

bool TerAppendText(TerHwnd h, const std::string& text, int32_t fontId, int32_t paraId, bool repaint) {
  return TerAppendTextEx(h, text, fontId, paraId, 0, 0, repaint);
}

bool TerAppendTextEx(TerHwnd h, const std::string& text, int32_t fontId, int32_t paraId, int32_t cellId, int32_t,
                     bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  Document& doc = e->doc;
  CharFormat cf = doc.fonts.front();
  if (fontId >= 0 && fontId < static_cast<int32_t>(doc.fonts.size()))
    cf = doc.fonts[fontId];
  else if (fontId < 0)
    cf = e->lastAppend;
  e->lastAppend = cf;
  const ParaFormat* pf = nullptr;
  if (paraId >= 0 && paraId < static_cast<int32_t>(doc.paraStyles.size())) pf = &doc.paraStyles[paraId];

  if (cellId != 0) {
    CellLoc loc = FindCell(*e, cellId);
    if (!loc.cell) return false;
    auto& paras = loc.cell->paragraphs;
    if (paras.empty()) paras.emplace_back();
    if (pf) paras.back().fmt = *pf;
    AppendControlled(&paras.back(), text, cf, [&](ParaFormat f) {
      paras.emplace_back();
      paras.back().fmt = f;
      return &paras.back();
    });
    // A cell ending with a paragraph mark keeps no empty paragraph after its text.
    if (paras.size() > 1 && paras.back().empty() && !text.empty() && text.back() == 19) {
      const auto& prev = paras[paras.size() - 2];
      if (!prev.empty()) paras.pop_back();
    }
    e->lastCell = cellId;
    e->changedFrom(loc.section, loc.block);
  } else {
    const size_t before = doc.sections.empty() ? 0 : BodyTail(doc).size();
    detail::EnsureOpenParagraph(doc);
    auto& blocks = BodyTail(doc);
    auto* target = &std::get<Paragraph>(blocks.back());
    if (pf) target->fmt = *pf;
    AppendControlled(target, text, cf, [&](ParaFormat f) {
      Paragraph p;
      p.fmt = f;
      blocks.push_back(std::move(p));
      return &std::get<Paragraph>(blocks.back());
    });
    // Text went into the last paragraph of the last section, and paragraphs after it.
    e->changedFrom(static_cast<int>(doc.sections.size()) - 1, before >= 1 ? before - 1 : 0);
  }
  return true;
}

bool InsertTerText(TerHwnd h, const std::string& text, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  const auto& refs = StoryParas(*e);
  if (refs.empty()) return false;
  ClampCaret(*e, refs);
  const ParaRef start = refs[e->caretLine];
  size_t i = 0;
  while (i <= text.size()) {
    size_t j = i;
    while (j < text.size() && text[j] != '\r' && text[j] != '\n' && text[j] != 21) ++j;
    std::string piece;
    for (size_t k = i; k < j; ++k)
      if (static_cast<unsigned char>(text[k]) >= 32 || text[k] == '\t') piece += text[k];
    Paragraph& p = *refs[e->caretLine].p;
    const size_t at = SplitAt(p, e->caretCol);
    CharFormat fmt = e->typing;
    if (at > 0)
      fmt = p.runs[at - 1].fmt;
    else if (at < p.runs.size())
      fmt = p.runs[at].fmt;
    if (!piece.empty()) {
      Run r;
      r.text = piece;
      r.fmt = fmt;
      p.runs.insert(p.runs.begin() + static_cast<std::ptrdiff_t>(at), std::move(r));
      e->caretCol += CodePoints(piece);
    }
    MergeRuns(p);
    if (j >= text.size()) break;
    // A paragraph break: the rest of the paragraph moves into a new one after it.
    if (text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n') ++j;
    const size_t cut = SplitAt(p, e->caretCol);
    Paragraph rest;
    rest.fmt = p.fmt;
    rest.runs.assign(p.runs.begin() + static_cast<std::ptrdiff_t>(cut), p.runs.end());
    p.runs.resize(cut);
    const ParaRef here = refs[e->caretLine];
    InsertParagraphAfter(here, std::move(rest));
    ChangedAt(*e, here);
    StoryParas(*e);  // refs lists the new paragraph
    ++e->caretLine;
    e->caretCol = 0;
    i = j + 1;
  }
  ChangedAt(*e, start);
  return true;
}

// ---- tables ------------------------------------------------------------------------------------

int32_t TerCreateCellId(TerHwnd h, int32_t newRow, int32_t prevCell, int32_t, int32_t, int32_t, int32_t width,
                        int32_t shading, int32_t borderLeft, int32_t borderRight, int32_t borderTop,
                        int32_t borderBottom, int32_t, int32_t, int32_t) {
  Editor* e = TerEditor(h);
  if (!e) return 0;
  const size_t before = e->doc.sections.empty() ? 0 : BodyTail(e->doc).size();
  detail::EnsureOpenParagraph(e->doc);
  auto& blocks = BodyTail(e->doc);
  // The table being built is the body's last block, or the one right before the open
  // paragraph; a cell that follows any other content starts a new table.
  Table* current = nullptr;
  if (!blocks.empty()) {
    if (auto* t = std::get_if<Table>(&blocks.back()))
      current = t;
    else if (blocks.size() >= 2 && IsOpenParagraph(blocks.back()))
      current = std::get_if<Table>(&blocks[blocks.size() - 2]);
  }
  CellLoc prev = FindCell(*e, prevCell);
  Row* row = nullptr;
  if (current && prev.table == current) {
    if (newRow) {
      current->rows.emplace_back();
      row = &current->rows.back();
    } else {
      row = prev.row;
    }
  } else {
    Table t;
    t.rows.emplace_back();
    if (IsOpenParagraph(blocks.back())) {
      blocks.insert(blocks.end() - 1, std::move(t));
      current = &std::get<Table>(blocks[blocks.size() - 2]);
    } else {
      blocks.push_back(std::move(t));
      current = &std::get<Table>(blocks.back());
      blocks.push_back(Paragraph{});
      current = &std::get<Table>(blocks[blocks.size() - 2]);
    }
    row = &current->rows.back();
  }
  Cell c;
  c.width = std::max(0, width);
  c.shading = std::clamp(shading, 0, 100);
  c.border = {std::max(0, borderLeft), std::max(0, borderRight), std::max(0, borderTop), std::max(0, borderBottom)};
  c.paragraphs.emplace_back();
  c.id = e->nextId();
  row->cells.push_back(std::move(c));
  // Only the last two blocks of the last section (the table and the open paragraph) change.
  e->changedFrom(static_cast<int>(e->doc.sections.size()) - 1, before >= 2 ? before - 2 : 0);
  return row->cells.back().id;
}

bool TerSetCellInfo2(TerHwnd h, int32_t cellId, ColorRef background, int32_t, int32_t) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  CellLoc loc = FindCell(*e, cellId);
  if (!loc.cell) return false;
  loc.cell->background = background & 0xFFFFFF;
  e->changedInside();
  return true;
}

bool TerCellVertAlign(TerHwnd h, int32_t, int32_t align) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  CellLoc loc = FindCell(*e, e->lastCell);
  if (!loc.cell) return false;
  loc.cell->valign = align == 4096 ? VAlign::Center : align == 8192 ? VAlign::Bottom : VAlign::Top;
  e->changedInside();
  return true;
}

bool TerSetHdrRow(TerHwnd h, int32_t cellId, bool header, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  CellLoc loc = FindCell(*e, cellId);
  if (!loc.row) return false;
  loc.row->header = header;
  e->changedInside();
  return true;
}

// ---- caret and selection ---------------------------------------------------------------------

bool SetTerCursorPos(TerHwnd h, int32_t line, int32_t col, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  e->caretLine = line;
  e->caretCol = col;
  ClampCaret(*e, StoryParas(*e));
  return true;
}

bool GetTerCursorPos(TerHwnd h, int32_t& line, int32_t& col) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  ClampCaret(*e, StoryParas(*e));
  line = e->caretLine;
  col = e->caretCol;
  return true;
}

bool TerSetCaretPos(TerHwnd h, int32_t pos) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  const auto& refs = StoryParas(*e);
  if (pos == kCaretEnd || refs.empty()) {
    CaretToEnd(*e);
    return true;
  }
  int32_t left = std::max(0, pos);
  for (size_t l = 0; l < refs.size(); ++l) {
    const int32_t len = ParaLength(*refs[l].p);
    if (left <= len) {
      e->caretLine = static_cast<int32_t>(l);
      e->caretCol = left;
      return true;
    }
    left -= len + 1;  // the paragraph mark counts as one character
  }
  CaretToEnd(*e);
  return true;
}

bool SelectTerText(TerHwnd h, int32_t line1, int32_t col1, int32_t line2, int32_t col2, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  const auto& refs = StoryParas(*e);
  if (refs.empty()) return false;
  const int32_t last = static_cast<int32_t>(refs.size()) - 1;
  auto clampPos = [&](int32_t& l, int32_t& c) {
    l = std::clamp(l, 0, last);
    c = std::clamp(c, 0, ParaLength(*refs[l].p));
  };
  clampPos(line1, col1);
  clampPos(line2, col2);
  if (!e->hasSelection) {
    e->caretBeforeSelection = {e->caretLine, e->caretCol};
  }
  e->hasSelection = true;
  e->selLine1 = line1;
  e->selCol1 = col1;
  e->selLine2 = line2;
  e->selCol2 = col2;
  e->caretLine = line2;
  e->caretCol = col2;
  Notify(*e);
  return true;
}

bool DeselectTerText(TerHwnd h, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  // The caret goes back to where it was when the text was selected, unless it was moved since:
  // text inserted and selected leaves it after the text, and formatting a part of a line (the
  // raised mark in a footer) leaves it at the end, where the page number goes next.
  if (e->hasSelection && e->caretLine == e->selLine2 && e->caretCol == e->selCol2) {
    e->caretLine = e->caretBeforeSelection.first;
    e->caretCol = e->caretBeforeSelection.second;
  }
  e->hasSelection = false;
  Notify(*e);
  return true;
}

// ---- formatting --------------------------------------------------------------------------------

bool SetTerParaFmt(TerHwnd h, uint32_t flags, bool on, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  ForSelectedParas(*e, [&](Paragraph& p, const ParaRef&) { ApplyParaFlags(p.fmt, flags, on); });
  return true;
}

bool SetTerCharStyle(TerHwnd h, int32_t style, bool on, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  ForSelectedRuns(*e, [&](CharFormat& f) { ApplyStyle(f, style, on); });
  return true;
}

bool SetTerPointSize(TerHwnd h, int32_t points, bool) {
  Editor* e = TerEditor(h);
  if (!e || points <= 0) return false;
  ForSelectedRuns(*e, [&](CharFormat& f) { f.pointSize = points; });
  return true;
}

bool SetTerColor(TerHwnd h, ColorRef color, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  ForSelectedRuns(*e, [&](CharFormat& f) { f.color = color & 0xFFFFFF; });
  return true;
}

bool TerSetCharSpace(TerHwnd h, int32_t spacing, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  ForSelectedRuns(*e, [&](CharFormat& f) { f.spacing = spacing; });
  return true;
}

bool TerSetTab(TerHwnd h, int32_t type, int32_t position, int32_t, bool) {
  Editor* e = TerEditor(h);
  if (!e || position < 0) return false;
  ForSelectedParas(*e, [&](Paragraph& p, const ParaRef& ref) {
    TabStop t;
    t.position = position;
    t.kind = type == 2 ? TabKind::Right : type == 3 ? TabKind::Center : type == 4 ? TabKind::Decimal : TabKind::Left;
    const auto edge = static_cast<int32_t>(ref.width) - p.fmt.rightIndent;
    if (edge > 0 && position > edge) {
      t.position = edge;
      t.kind = TabKind::Right;
    }
    auto& tabs = p.fmt.tabs;
    tabs.erase(std::remove_if(tabs.begin(), tabs.end(), [&](const TabStop& x) { return x.position == t.position; }),
               tabs.end());
    tabs.push_back(t);
    std::sort(tabs.begin(), tabs.end(), [](const TabStop& a, const TabStop& b) { return a.position < b.position; });
  });
  return true;
}

namespace {
std::map<TerHwnd, std::array<uint8_t, 920>>& FieldStore() {
  static std::map<TerHwnd, std::array<uint8_t, 920>> stored;
  return stored;
}
}  // namespace

bool GetTerFields(TerHwnd h, TerFields& fields) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  const auto it = FieldStore().find(h);
  fields.raw = it == FieldStore().end() ? std::array<uint8_t, 920>{} : it->second;
  ClampCaret(*e, StoryParas(*e));
  fields.CurSect = CaretSection(*e);
  fields.CurLine = e->caretLine;
  fields.CurCol = e->caretCol;
  fields.TotalPages = TerGetPageCount(h, &fields.CurPage);
  fields.ReadOnly = e->readOnly ? 1 : 0;
  return true;
}

// Only the settings bytes are kept; the caret's place and the page count are read-only.
bool SetTerFields(TerHwnd h, const TerFields& fields) {
  if (!TerEditor(h)) return false;
  FieldStore()[h] = fields.raw;
  return true;
}

// ---- sections ----------------------------------------------------------------------------------

bool TerSetMarginEx(TerHwnd h, int32_t section, int32_t left, int32_t right, int32_t, int32_t, int32_t top,
                    int32_t bottom, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  auto apply = [&](SectionFormat& f) {
    if (left >= 0) f.marginLeft = left;
    if (right >= 0) f.marginRight = right;
    if (top >= 0) f.marginTop = top;
    if (bottom >= 0) f.marginBottom = bottom;
  };
  auto& secs = e->doc.sections;
  if (section == -1) {
    for (auto& s : secs) apply(s.fmt);
  } else if (section == -2) {
    apply(secs[CaretSection(*e)].fmt);
  } else if (section >= 0 && section < static_cast<int32_t>(secs.size())) {
    apply(secs[section].fmt);
  } else {
    return false;
  }
  e->changed();
  return true;
}

bool TerSectBreak(TerHwnd h, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  auto& secs = e->doc.sections;
  auto& blocks = secs.back().blocks;
  if (blocks.size() > 1 && IsOpenParagraph(blocks.back())) blocks.pop_back();
  const size_t keptBlocks = blocks.size();  // the section before keeps these, unchanged
  // The new section continues the one before: its page layout, columns, header and footer;
  // it goes on on the same page until TerSetSect2 asks for a new one (or its page differs).
  Section next;
  next.fmt = secs.back().fmt;
  next.fmt.newPage = false;
  next.blocks.push_back(Paragraph{});
  secs.push_back(std::move(next));
  const int added = static_cast<int>(secs.size()) - 1;
  if (secs.back().fmt.header) e->inheritedHdrFtr.insert({added, false});
  if (secs.back().fmt.footer) e->inheritedHdrFtr.insert({added, true});
  e->changedFrom(added - 1, keptBlocks);
  e->story = {};
  e->hasSelection = false;
  CaretToEnd(*e);
  return true;
}

namespace {
bool InsertBreakBlock(TerHwnd h, Block brk) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  const size_t before = e->doc.sections.empty() ? 0 : BodyTail(e->doc).size();
  detail::EnsureOpenParagraph(e->doc);
  auto& blocks = BodyTail(e->doc);
  if (IsOpenParagraph(blocks.back())) {
    blocks.insert(blocks.end() - 1, std::move(brk));
  } else {
    blocks.push_back(std::move(brk));
    blocks.push_back(Paragraph{});
  }
  e->changedFrom(static_cast<int>(e->doc.sections.size()) - 1, before >= 1 ? before - 1 : 0);
  e->story = {};
  CaretToEnd(*e);
  return true;
}
}  // namespace

bool TerColBreak(TerHwnd h, bool) { return InsertBreakBlock(h, ColumnBreak{}); }
bool TerPageBreak(TerHwnd h, bool) { return InsertBreakBlock(h, PageBreak{}); }

bool TerSetSect(TerHwnd h, int32_t columns, int32_t spacing, int32_t, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  const int sec = CaretSection(*e);
  auto& f = e->doc.sections[sec].fmt;
  if (columns > 0) f.columns = std::clamp(columns, 1, 2);
  if (spacing >= 0) f.columnSpacing = spacing;
  e->changedFrom(sec, 0);  // the widths of its paragraphs
  return true;
}

bool TerGetSectInfo(TerHwnd h, int32_t& columns, int32_t& spacing, int32_t& newPage, int32_t& orientation) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  const auto& f = e->doc.sections[CaretSection(*e)].fmt;
  columns = f.columns;
  spacing = f.columnSpacing;
  newPage = f.newPage ? 1 : 0;
  orientation = static_cast<int32_t>(f.orientation);
  return true;
}

bool TerSetSect2(TerHwnd h, int32_t columns, int32_t spacing, int32_t newPage, int32_t orientation, int32_t, int32_t) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  const int sec = CaretSection(*e);
  auto& f = e->doc.sections[sec].fmt;
  if (columns > 0) f.columns = std::clamp(columns, 1, 2);
  if (spacing >= 0) f.columnSpacing = spacing;
  if (newPage >= 0) f.newPage = newPage != 0;
  if (orientation == 1 || orientation == 2) f.orientation = static_cast<Orientation>(orientation);
  e->changedFrom(sec, 0);  // the widths of its paragraphs
  return true;
}

bool TerSetSectOrient(TerHwnd h, int32_t orientation, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  const int sec = CaretSection(*e);
  e->doc.sections[sec].fmt.orientation = orientation == 2 ? Orientation::Landscape : Orientation::Portrait;
  e->changedFrom(sec, 0);  // the widths of its paragraphs
  return true;
}

int32_t TerGetSeqSect(TerHwnd h, int32_t section) {
  Editor* e = TerEditor(h);
  if (!e) return 0;
  return std::clamp<int32_t>(section, 0, static_cast<int32_t>(e->doc.sections.size()) - 1);
}

bool TerPosHdrFtrEx(TerHwnd h, int32_t section, int32_t kind, int32_t, bool) {
  Editor* e = TerEditor(h);
  if (!e || (kind != kHdrFtrHeader && kind != kHdrFtrFooter)) return false;
  if (section < 0 || section >= static_cast<int32_t>(e->doc.sections.size())) return false;
  auto& f = e->doc.sections[section].fmt;
  auto& hf = kind == kHdrFtrFooter ? f.footer : f.header;
  // A header or footer taken over from the section before is replaced by one of the
  // section's own, which the caller then writes.
  if (e->inheritedHdrFtr.erase({section, kind == kHdrFtrFooter})) hf.reset();
  if (!hf) {
    hf.emplace();
    hf->paragraphs.emplace_back();
    e->changed();
  }
  e->story = {section, kind == kHdrFtrFooter};
  e->hasSelection = false;
  CaretToEnd(*e);
  return true;
}

bool TerPosBodyText(TerHwnd h, int32_t section, int32_t where, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  e->story = {};
  e->hasSelection = false;
  const auto& refs = StoryParas(*e);
  const int sec = std::clamp<int>(section, 0, static_cast<int>(e->doc.sections.size()) - 1);
  // The list is in section order.
  const auto lo = std::partition_point(refs.begin(), refs.end(), [&](const ParaRef& r) { return r.section < sec; });
  const auto hi = std::partition_point(lo, refs.end(), [&](const ParaRef& r) { return r.section <= sec; });
  const int32_t first = lo == hi ? -1 : static_cast<int32_t>(lo - refs.begin());
  const int32_t last = lo == hi ? -1 : static_cast<int32_t>(hi - refs.begin()) - 1;
  if (first < 0) {
    CaretToEnd(*e);
    return true;
  }
  e->caretLine = where == 0 ? first : last;
  e->caretCol = where == 0 ? 0 : ParaLength(*refs[last].p);
  return true;
}

bool TerPosPage(TerHwnd h, int32_t page) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  const Layout& lay = e->layout();
  const int count = static_cast<int>(lay.pages.size());
  page = std::clamp(page, 1, std::max(1, count));
  e->currentPage = page;
  e->story = {};
  for (size_t l = 0; l < lay.linePage.size(); ++l) {
    if (lay.linePage[l] >= page - 1) {
      e->caretLine = static_cast<int32_t>(l);
      e->caretCol = 0;
      break;
    }
  }
  if (e->view) e->view->showPage(page);
  return true;
}

int32_t TerGetPageCount(TerHwnd h, int32_t* curPage) {
  Editor* e = TerEditor(h);
  if (!e) return 0;
  const Layout& lay = e->layout();
  const auto count = static_cast<int32_t>(lay.pages.size());
  if (curPage) {
    int page = count;
    if (e->story.section >= 0) {
      const auto& first = lay.sectionFirstPage;
      if (e->story.section < static_cast<int>(first.size())) page = first[e->story.section] + 1;
    } else if (e->caretLine >= 0 && e->caretLine < static_cast<int32_t>(lay.linePage.size())) {
      page = lay.linePage[e->caretLine] + 1;
    }
    *curPage = page;
  }
  return count;
}

bool TerRepaginate(TerHwnd h, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  e->layout();
  e->currentPage = std::clamp(e->currentPage, 1, std::max<int>(1, static_cast<int>(e->layout().pages.size())));
  Notify(*e);
  return true;
}

bool TerRepaint(TerHwnd h, bool) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  Notify(*e);
  return true;
}

bool TerSetReadOnly(TerHwnd h, bool readOnly) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  e->readOnly = readOnly;
  Notify(*e);
  return true;
}

bool TerSetZoom(TerHwnd h, int32_t percent) {
  Editor* e = TerEditor(h);
  if (!e || percent <= 0) return false;
  e->zoom = std::clamp(percent, 10, 400);
  if (e->view) e->view->setZoomPercent(e->zoom);
  return true;
}

// ---- frames and pictures -------------------------------------------------------------------

int32_t TerInsertParaFrame(TerHwnd h, int32_t x, int32_t y, int32_t width, int32_t height, int32_t border) {
  Editor* e = TerEditor(h);
  if (!e) return 0;
  const auto& refs = StoryParas(*e);
  if (refs.empty()) return 0;
  ClampCaret(*e, refs);
  Frame f;
  f.id = e->nextId();
  // x may be negative: a picture wider than the column, centred on it, starts left of it.
  f.x = std::clamp(x, -kMaxFramePos, kMaxFramePos);
  f.y = std::clamp(y, 0, kMaxFramePos);
  f.width = std::max(0, width);
  f.height = std::max(0, height);
  f.border = border > 0 ? 10 : 0;
  refs[e->caretLine].p->frames.push_back(f);
  e->changedInside();  // frames are no paragraphs of the story
  return f.id;
}

bool TerGetFrameSize(TerHwnd h, int32_t frameId, int32_t& x, int32_t& y, int32_t& width, int32_t& height) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  const Frame* f = FindFrame(*e, frameId);
  if (!f) return false;
  x = f->x;
  y = f->y;
  width = f->width;
  height = f->height;
  return true;
}

int32_t TerPastePicture(TerHwnd h, int32_t, const Picture& picture, int32_t frameId, int32_t, int32_t) {
  Editor* e = TerEditor(h);
  if (!e || picture.data.empty()) return 0;
  if (frameId == 0) frameId = TerInsertParaFrame(h, 0, 0, 0, 0, 0);
  Frame* f = FindFrame(*e, frameId);
  if (!f) return 0;
  Picture pic = picture;
  if (pic.width <= 0) pic.width = f->width > 0 ? f->width : pic.pixelWidth * kTwipsPerPixel;
  if (pic.height <= 0) pic.height = f->height > 0 ? f->height : pic.pixelHeight * kTwipsPerPixel;
  f->picture = std::make_shared<const Picture>(std::move(pic));
  const int32_t id = e->nextId();
  PictureFrames()[{h, id}] = frameId;
  e->changed();
  return id;
}

bool TerSetPictSize(TerHwnd h, int32_t pictureId, int32_t widthPixels, int32_t heightPixels) {
  Editor* e = TerEditor(h);
  if (!e || widthPixels <= 0 || heightPixels <= 0) return false;
  const auto it = PictureFrames().find({h, pictureId});
  if (it == PictureFrames().end()) return false;
  Frame* f = FindFrame(*e, it->second);
  if (!f || !f->picture) return false;
  Picture pic = *f->picture;
  pic.width = widthPixels * kTwipsPerPixel;
  pic.height = heightPixels * kTwipsPerPixel;
  f->picture = std::make_shared<const Picture>(std::move(pic));
  e->changed();
  return true;
}

Picture PictureFromImage(const QImage& image) {
  Picture pic;
  QByteArray bytes;
  QBuffer buf(&bytes);
  buf.open(QIODevice::WriteOnly);
  image.save(&buf, "PNG");
  pic.format = Picture::Format::Png;
  pic.data.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
  pic.pixelWidth = image.width();
  pic.pixelHeight = image.height();
  pic.width = image.width() * kTwipsPerPixel;
  pic.height = image.height() * kTwipsPerPixel;
  return pic;
}

Picture PictureFromQPicture(const QPicture& picture) {
  const QRect box = picture.boundingRect();
  QByteArray bytes;
  QBuffer buf(&bytes);
  QSvgGenerator gen;
  gen.setOutputDevice(&buf);
  gen.setSize(box.size());
  gen.setViewBox(box);
  gen.setResolution(96);
  {
    QPainter painter(&gen);
    painter.drawPicture(0, 0, picture);
  }
  Picture pic;
  pic.format = Picture::Format::Svg;
  pic.data.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
  pic.pixelWidth = box.width();
  pic.pixelHeight = box.height();
  pic.width = box.width() * kTwipsPerPixel;
  pic.height = box.height() * kTwipsPerPixel;
  return pic;
}

Picture PictureFromSvg(const std::string& svg) {
  Picture pic;
  pic.format = Picture::Format::Svg;
  pic.data = svg;
  QSvgRenderer r(QByteArray::fromStdString(svg));
  if (r.isValid()) {
    pic.pixelWidth = r.defaultSize().width();
    pic.pixelHeight = r.defaultSize().height();
    pic.width = pic.pixelWidth * kTwipsPerPixel;
    pic.height = pic.pixelHeight * kTwipsPerPixel;
  }
  return pic;
}

// ---- commands ----------------------------------------------------------------------------------

int32_t TerMenuSelect(TerHwnd h, int32_t command) {
  Editor* e = TerEditor(h);
  if (!e) return 0;
  return e->checkedCommands.count(command) ? kMenuChecked : 0;
}

bool TerCommand(TerHwnd h, int32_t command) {
  Editor* e = TerEditor(h);
  if (!e) return false;
  // The page count and the page shown (as the view clamps it when the document got shorter
  // since it was set), for the commands that move through pages: only those lay the document
  // out, so that editing commands sent while a report is built do not repaginate it.
  auto pages = [&] { return std::max<int>(1, static_cast<int>(e->layout().pages.size())); };
  auto shown = [&] { return std::clamp(e->currentPage, 1, pages()); };
  switch (command) {
    case kCmdPageUp:
      return TerPosPage(h, std::max(1, shown() - 1));
    case kCmdPageDown:
      return TerPosPage(h, std::min(pages(), shown() + 1));
    case kCmdDocStart:
      TerPosPage(h, 1);
      e->caretLine = e->caretCol = 0;
      return true;
    case kCmdDocEnd:
      TerPosPage(h, pages());
      e->story = {};
      CaretToEnd(*e);
      return true;
    case kCmdSelectAll: {
      e->story = {};
      const auto& refs = StoryParas(*e);
      if (refs.empty()) return false;
      return SelectTerText(h, 0, 0, static_cast<int32_t>(refs.size()) - 1, ParaLength(*refs.back().p), false);
    }
    case kCmdPageNumber: {
      const auto& refs = StoryParas(*e);
      if (refs.empty()) return false;
      ClampCaret(*e, refs);
      Paragraph& p = *refs[e->caretLine].p;
      const size_t at = SplitAt(p, e->caretCol);
      Run r;
      r.kind = RunKind::PageField;
      r.fmt = at > 0 ? p.runs[at - 1].fmt : e->typing;
      p.runs.insert(p.runs.begin() + static_cast<std::ptrdiff_t>(at), std::move(r));
      ++e->caretCol;
      e->changedInside();
      return true;
    }
    case kCmdReturnToBody:
    case kCmdPageMode:
      if (!e->checkedCommands.erase(command)) e->checkedCommands.insert(command);
      Notify(*e);
      return true;
    case kCmdPageSetup:
    case kCmdPrintSetup:
    case kCmdPrintPreview:
      return detail::RunPrintCommand(h, *e, command);
    default:
      return false;
  }
}

}  // namespace richtext
