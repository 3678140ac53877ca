// Reads RTF into the document model: everything the writer writes, and the common subset of
// other word processors' files (paragraphs, character formatting, tables, pictures, sections,
// headers and footers, frames, and the pictures of drawing shapes). Everything else is skipped.
//
// The input is untrusted. The reader keeps its group states on an explicit stack (never
// recursion) of bounded depth; groups nested deeper are skipped whole. Every number is clamped
// to a sane range before it reaches the model, pictures and texts have size caps, and the
// number of model elements made (runs, paragraphs, cells, rows, sections) is capped, so that no
// input can exhaust memory or hand the paginator a page it cannot lay out.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/richtext/rtf.h"
#include "platform/richtext/rtf_lexer.h"
#include "platform/richtext/rtf_picture.h"
#include "platform/richtext/rtf_text.h"

namespace richtext {

namespace {

using rtf::Lexer;
using rtf::Token;
using rtf::TokenKind;

constexpr size_t kMaxDepth = 200;         // group nesting kept; deeper groups are skipped
constexpr size_t kMaxElements = 500'000;  // runs + paragraphs + cells + rows + sections
constexpr size_t kMaxPictureBytes = size_t{64} << 20;
constexpr size_t kMaxShortText = 4096;     // font names, info texts, field instructions
constexpr size_t kMaxTableEntries = 4096;  // fonts, colours
constexpr size_t kMaxCellsPerRow = 64;
constexpr size_t kMaxTabs = 64;
constexpr size_t kMaxPendingFrames = 64;
constexpr size_t kMaxShapeDepth = 16;  // shapes inside shape groups
constexpr int32_t kMaxTwips = 31680;   // 22 inches, the largest page of word processors
constexpr int32_t kTwipsPerPixel = 15;

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return std::clamp(v, lo, hi); }
int32_t Twips(int32_t v) { return Clamp(v, -kMaxTwips, kMaxTwips); }
int32_t PositiveTwips(int32_t v) { return Clamp(v, 0, kMaxTwips); }

enum class Dest {
  Body,  // document text (of the current flow: body, header or footer)
  Skip,  // ignored to the end of the group
  FontTable,
  ColorTable,
  Info,  // \info: only its title, author and subject are read
  InfoText,
  Picture,
  FieldInst,
  PageResult,    // the shown result of a PAGE field: replaced by the field itself
  Shape,         // a shape's instructions (\shpinst): its position, properties and text
  ShapeName,     // the name of a shape property (\sn)
  ShapeContent,  // where a shape may hold a picture: its text box or its picture property
};

struct FrameProps {
  bool set = false;
  int32_t x = 0, y = 0, width = 0, height = 0, border = 0;
};

// What a group carries and a closing brace restores.
struct GroupState {
  Dest dest = Dest::Body;
  CharFormat chr;
  ParaFormat para;
  bool inTable = false;
  FrameProps frame;
  int uc = 1;  // fallback characters after \uN
  std::string* infoTarget = nullptr;
  bool starred = false;  // \* seen: the next word names an ignorable destination
};

struct CellDef {
  int32_t width = 1440;
  std::array<int32_t, 4> border{0, 0, 0, 0};
  ColorRef background = kNoColor;
  int32_t shading = 0;
  VAlign valign = VAlign::Top;
};

struct RowDef {
  int32_t left = 0;
  int32_t lastRight = 0;  // the previous \cellx, from which the next width counts
  bool header = false;
  std::vector<CellDef> cells;
};

// A story being read: the body of the document, or a header or footer.
struct Flow {
  enum Kind { Body, Header, Footer } kind = Body;
  size_t depth = 0;                  // group depth that opened it
  std::vector<Block> own;            // blocks of a header or footer (the body writes to its section)
  Paragraph para;                    // the paragraph being read
  bool runBreak = true;              // the next text starts a new run
  bool paraStated = false;           // \pard since the last paragraph end: \sect ends that paragraph
  std::vector<Paragraph> cellParas;  // paragraphs of the cell being read
  std::vector<std::vector<Paragraph>> rowCells;
  bool tableOpen = false;  // the last block is a table that the next row continues
  RowDef def;
  CellDef pendingCell;
  std::vector<Frame> pendingFrames;  // frames waiting for their anchor paragraph
};

struct FieldCtx {
  size_t depth = 0;
  std::string inst;
  CharFormat fmt;  // the format at the field's start
  bool emitted = false;
  bool isPage() const {
    size_t b = inst.find_first_not_of(" \t");
    if (b == std::string::npos) return false;
    size_t e = inst.find_first_of(" \t\\", b);
    std::string w = inst.substr(b, e == std::string::npos ? std::string::npos : e - b);
    std::transform(w.begin(), w.end(), w.begin(), [](unsigned char c) { return std::toupper(c); });
    return w == "PAGE";
  }
};

// A drawing shape (\shp) or shape group (\shpgrp). Word processors keep pictures in them;
// the reader keeps each picture as a frame at the outermost shape's place.
struct ShapeCtx {
  size_t depth = 0;                                  // group depth of the \shp or \shpgrp group
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // \shpleft ... relative to the anchor
  std::string propName;                              // the property whose value is being read
  std::vector<std::shared_ptr<const Picture>> pictures;
};

struct PictCtx {
  size_t depth = 0;
  Picture::Format format = Picture::Format::Png;
  bool supported = false;
  int32_t picw = 0, pich = 0, goalw = 0, goalh = 0;
  int32_t scalex = 100, scaley = 100;
  rtf::HexDecoder data{kMaxPictureBytes};
  CharFormat fmt;
  bool ofShape = false;  // a picture of the innermost open shape
};

// Raw page size of a section as the file states it, before normalising to the model's
// portrait sheet plus orientation.
struct PageRaw {
  int32_t width = 12240, height = 15840;
  bool landscape = false;
};

enum class Word {
  Unknown,
  // destinations
  FontTable,
  ColorTable,
  Info,
  Title,
  Author,
  Subject,
  Pict,
  ShpPict,
  Field,
  FldInst,
  FldRslt,
  Header,
  Footer,
  SkipDest,
  Shp,
  ShpInst,
  ShpTxt,
  ShpRslt,
  Sp,
  Sn,
  Sv,
  // characters and breaks
  Par,
  Line,
  Tab,
  Page,
  Column,
  Sect,
  U,
  Uc,
  Char,
  // character format
  Plain,
  F,
  Fs,
  B,
  I,
  Ul,
  UlNone,
  Super,
  Sub,
  NoSuperSub,
  Cf,
  CharBack,
  Expndtw,
  Expnd,
  // paragraph format
  Pard,
  Ql,
  Qc,
  Qr,
  Qj,
  Li,
  Ri,
  Fi,
  Sb,
  Sa,
  Keep,
  Keepn,
  Pagebb,
  Tx,
  Tqr,
  Tqc,
  Tqdec,
  Tb,
  Intbl,
  Itap,
  Posx,
  Posy,
  Absw,
  Absh,
  FramePos,
  Box,
  ParaBorder,
  // borders
  Brdrw,
  BrdrNone,
  // tables
  Trowd,
  Trleft,
  Trhdr,
  Cellx,
  Clcbpat,
  Clshdng,
  Clvertalt,
  Clvertalc,
  Clvertalb,
  ClbrdrT,
  ClbrdrL,
  ClbrdrB,
  ClbrdrR,
  RowBorder,
  Cell,
  Row,
  NestCell,
  NestRow,
  // sections and document
  Sectd,
  Sbknone,
  Sbkpage,
  Lndscpsxn,
  Pgwsxn,
  Pghsxn,
  Marglsxn,
  Margrsxn,
  Margtsxn,
  Margbsxn,
  Headery,
  Footery,
  Cols,
  Colsx,
  Paperw,
  Paperh,
  Margl,
  Margr,
  Margt,
  Margb,
  Landscape,
  Deff,
  // shapes
  ShpLeft,
  ShpTop,
  ShpRight,
  ShpBottom,
  // pictures
  Pngblip,
  Jpegblip,
  OtherBlip,
  Picw,
  Pich,
  Picwgoal,
  Pichgoal,
  Picscalex,
  Picscaley,
  // colour table
  Red,
  Green,
  Blue,
};

struct WordInfo {
  Word word;
  char32_t ch = 0;  // Word::Char: the character
};

const std::unordered_map<std::string_view, WordInfo>& WordTable() {
  static const std::unordered_map<std::string_view, WordInfo> table = [] {
    std::unordered_map<std::string_view, WordInfo> t;
    auto add = [&](std::string_view n, Word w) { t.emplace(n, WordInfo{w}); };
    auto chr = [&](std::string_view n, char32_t c) { t.emplace(n, WordInfo{Word::Char, c}); };
    add("fonttbl", Word::FontTable);
    add("colortbl", Word::ColorTable);
    add("info", Word::Info);
    add("title", Word::Title);
    add("author", Word::Author);
    add("subject", Word::Subject);
    add("pict", Word::Pict);
    add("shppict", Word::ShpPict);
    add("field", Word::Field);
    add("fldinst", Word::FldInst);
    add("fldrslt", Word::FldRslt);
    add("shp", Word::Shp);
    add("shpgrp", Word::Shp);
    add("shpinst", Word::ShpInst);
    add("shptxt", Word::ShpTxt);
    add("shprslt", Word::ShpRslt);
    add("sp", Word::Sp);
    add("sn", Word::Sn);
    add("sv", Word::Sv);
    add("shpleft", Word::ShpLeft);
    add("shptop", Word::ShpTop);
    add("shpright", Word::ShpRight);
    add("shpbottom", Word::ShpBottom);
    add("header", Word::Header);
    add("headerr", Word::Header);
    add("footer", Word::Footer);
    add("footerr", Word::Footer);
    // Destinations whose text is not document text.
    for (std::string_view n : {"headerl",
                               "headerf",
                               "footerl",
                               "footerf",
                               "stylesheet",
                               "footnote",
                               "annotation",
                               "atnid",
                               "atnauthor",
                               "comment",
                               "doccomm",
                               "operator",
                               "keywords",
                               "category",
                               "company",
                               "manager",
                               "hlinkbase",
                               "buptim",
                               "creatim",
                               "printim",
                               "revtim",
                               "object",
                               "objdata",
                               "xe",
                               "tc",
                               "txe",
                               "rxe",
                               "pn",
                               "pnseclvl",
                               "pntxta",
                               "pntxtb",
                               "ftnsep",
                               "ftnsepc",
                               "ftncn",
                               "aftnsep",
                               "aftnsepc",
                               "aftncn",
                               "filetbl",
                               "revtbl",
                               "listtable",
                               "listoverridetable",
                               "rsidtbl",
                               "generator",
                               "template",
                               "nonshppict",
                               "bkmkstart",
                               "bkmkend",
                               "datafield",
                               "fontemb",
                               "fontfile",
                               "falt",
                               "panose",
                               "blipuid",
                               "picprop",
                               "nesttableprops",
                               "background",
                               "userprops",
                               "docvar",
                               "latentstyles",
                               "themedata",
                               "colorschememapping",
                               "datastore",
                               "xmlnstbl",
                               "pgdsctbl",
                               "mmathPr",
                               "wgrffmtfilter",
                               "private",
                               "fchars",
                               "lchars",
                               "pxe",
                               "password",
                               "version",
                               "vern",
                               "edmins",
                               "nofpages",
                               "nofwords",
                               "nofchars",
                               "nofcharsws",
                               "id",
                               "hlinkbase"})
      add(n, Word::SkipDest);
    add("par", Word::Par);
    add("line", Word::Line);
    add("tab", Word::Tab);
    add("page", Word::Page);
    add("column", Word::Column);
    add("sect", Word::Sect);
    add("u", Word::U);
    add("uc", Word::Uc);
    chr("emdash", 0x2014);
    chr("endash", 0x2013);
    chr("bullet", 0x2022);
    chr("lquote", 0x2018);
    chr("rquote", 0x2019);
    chr("ldblquote", 0x201C);
    chr("rdblquote", 0x201D);
    chr("emspace", 0x2003);
    chr("enspace", 0x2002);
    chr("qmspace", 0x2005);
    add("plain", Word::Plain);
    add("f", Word::F);
    add("fs", Word::Fs);
    add("b", Word::B);
    add("i", Word::I);
    for (std::string_view n :
         {"ul", "uld", "uldb", "ulth", "ulw", "uldash", "uldashd", "uldashdd", "ulwave", "ulhwave", "ulldash", "ulthd"})
      add(n, Word::Ul);
    add("ulnone", Word::UlNone);
    add("super", Word::Super);
    add("sub", Word::Sub);
    add("nosupersub", Word::NoSuperSub);
    add("cf", Word::Cf);
    add("chcbpat", Word::CharBack);
    add("cb", Word::CharBack);
    add("highlight", Word::CharBack);
    add("expndtw", Word::Expndtw);
    add("expnd", Word::Expnd);
    add("pard", Word::Pard);
    add("ql", Word::Ql);
    add("qc", Word::Qc);
    add("qr", Word::Qr);
    add("qj", Word::Qj);
    add("qd", Word::Qj);
    add("li", Word::Li);
    add("lin", Word::Li);
    add("ri", Word::Ri);
    add("rin", Word::Ri);
    add("fi", Word::Fi);
    add("sb", Word::Sb);
    add("sa", Word::Sa);
    add("keep", Word::Keep);
    add("keepn", Word::Keepn);
    add("pagebb", Word::Pagebb);
    add("tx", Word::Tx);
    add("tqr", Word::Tqr);
    add("tqc", Word::Tqc);
    add("tqdec", Word::Tqdec);
    add("tb", Word::Tb);
    add("intbl", Word::Intbl);
    add("itap", Word::Itap);
    add("posx", Word::Posx);
    add("posy", Word::Posy);
    add("absw", Word::Absw);
    add("absh", Word::Absh);
    for (std::string_view n :
         {"posxc", "posxi", "posxo", "posxl", "posxr", "posyc", "posyt", "posyb", "posyin", "posyout", "posyil"})
      add(n, Word::FramePos);
    add("box", Word::Box);
    for (std::string_view n : {"brdrt", "brdrb", "brdrl", "brdrr", "brsp", "chbrdr"}) add(n, Word::ParaBorder);
    add("brdrw", Word::Brdrw);
    add("brdrnone", Word::BrdrNone);
    add("brdrnil", Word::BrdrNone);
    add("trowd", Word::Trowd);
    add("trleft", Word::Trleft);
    add("trhdr", Word::Trhdr);
    add("cellx", Word::Cellx);
    add("clcbpat", Word::Clcbpat);
    add("clshdng", Word::Clshdng);
    add("clvertalt", Word::Clvertalt);
    add("clvertalc", Word::Clvertalc);
    add("clvertalb", Word::Clvertalb);
    add("clbrdrt", Word::ClbrdrT);
    add("clbrdrl", Word::ClbrdrL);
    add("clbrdrb", Word::ClbrdrB);
    add("clbrdrr", Word::ClbrdrR);
    for (std::string_view n : {"trbrdrt", "trbrdrl", "trbrdrb", "trbrdrr", "trbrdrh", "trbrdrv"})
      add(n, Word::RowBorder);
    add("cell", Word::Cell);
    add("row", Word::Row);
    add("nestcell", Word::NestCell);
    add("nestrow", Word::NestRow);
    add("sectd", Word::Sectd);
    add("sbknone", Word::Sbknone);
    add("sbkpage", Word::Sbkpage);
    add("sbkcol", Word::Sbkpage);
    add("sbkeven", Word::Sbkpage);
    add("sbkodd", Word::Sbkpage);
    add("lndscpsxn", Word::Lndscpsxn);
    add("pgwsxn", Word::Pgwsxn);
    add("pghsxn", Word::Pghsxn);
    add("marglsxn", Word::Marglsxn);
    add("margrsxn", Word::Margrsxn);
    add("margtsxn", Word::Margtsxn);
    add("margbsxn", Word::Margbsxn);
    add("headery", Word::Headery);
    add("footery", Word::Footery);
    add("cols", Word::Cols);
    add("colsx", Word::Colsx);
    add("paperw", Word::Paperw);
    add("paperh", Word::Paperh);
    add("margl", Word::Margl);
    add("margr", Word::Margr);
    add("margt", Word::Margt);
    add("margb", Word::Margb);
    add("landscape", Word::Landscape);
    add("deff", Word::Deff);
    add("pngblip", Word::Pngblip);
    add("jpegblip", Word::Jpegblip);
    for (std::string_view n : {"emfblip", "wmetafile", "macpict", "pmmetafile", "dibitmap", "wbitmap"})
      add(n, Word::OtherBlip);
    add("picw", Word::Picw);
    add("pich", Word::Pich);
    add("picwgoal", Word::Picwgoal);
    add("pichgoal", Word::Pichgoal);
    add("picscalex", Word::Picscalex);
    add("picscaley", Word::Picscaley);
    add("red", Word::Red);
    add("green", Word::Green);
    add("blue", Word::Blue);
    return t;
  }();
  return table;
}

bool IsDestination(Word w) {
  switch (w) {
    case Word::FontTable:
    case Word::ColorTable:
    case Word::Info:
    case Word::Title:
    case Word::Author:
    case Word::Subject:
    case Word::Pict:
    case Word::ShpPict:
    case Word::Field:
    case Word::FldInst:
    case Word::FldRslt:
    case Word::Header:
    case Word::Footer:
    case Word::SkipDest:
    case Word::Shp:
    case Word::ShpInst:
    case Word::ShpTxt:
    case Word::ShpRslt:
    case Word::Sp:
    case Word::Sn:
    case Word::Sv:
      return true;
    default:
      return false;
  }
}

class Reader {
 public:
  Reader(std::string_view input, Document& doc) : lex_(input), doc_(doc) {}

  bool read() {
    doc_ = Document{};
    // The defaults RTF gives a section that states nothing.
    docDefault_.marginLeft = docDefault_.marginRight = 1800;
    docDefault_.marginTop = docDefault_.marginBottom = 1440;
    docDefault_.headerDistance = docDefault_.footerDistance = 720;
    docDefault_.columnSpacing = 720;
    doc_.sections.front().fmt = docDefault_;
    flows_.emplace_back();
    Token t = lex_.next();
    if (t.kind != TokenKind::GroupStart) return false;
    stack_.push_back(initialState());
    while (!stack_.empty() && !stopped_) {
      t = lex_.next();
      if (t.kind == TokenKind::End) break;
      token(t);
    }
    if (!stack_.empty()) finishAll();  // a file cut short
    return !stopped_;
  }

 private:
  // ---- state ------------------------------------------------------------------------------

  GroupState& top() { return stack_.back(); }
  Flow& flow() { return flows_.back(); }
  std::vector<Block>& blocksOf(Flow& f) { return f.kind == Flow::Body ? doc_.sections.back().blocks : f.own; }
  SectionFormat& sectionFormat() { return doc_.sections.back().fmt; }

  CharFormat plainChar() const {
    CharFormat c;
    const auto it = fonts_.find(deff_);
    if (it != fonts_.end()) c.face = it->second;
    c.pointSize = 12.0;
    c.color = kNoColor;
    return c;
  }

  GroupState initialState() const {
    GroupState s;
    s.chr = plainChar();
    return s;
  }

  // Counts model elements; past the cap reading stops.
  bool spend(size_t n = 1) {
    elements_ += n;
    if (elements_ > kMaxElements) stopped_ = true;
    return !stopped_;
  }

  ColorRef color(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= colors_.size()) return kNoColor;
    return colors_[static_cast<size_t>(index)];
  }

  // ---- tokens -----------------------------------------------------------------------------

  void token(const Token& t) {
    if (overflow_ > 0) {
      // Inside a group nested past the depth limit: only count its braces.
      if (t.kind == TokenKind::GroupStart) ++overflow_;
      if (t.kind == TokenKind::GroupEnd) --overflow_;
      return;
    }
    switch (t.kind) {
      case TokenKind::GroupStart:
        ucSkip_ = 0;
        flushSurrogate();
        if (stack_.size() >= kMaxDepth) {
          overflow_ = 1;
          return;
        }
        {
          GroupState inner = top();
          inner.starred = false;
          stack_.push_back(std::move(inner));
        }
        flow().runBreak = true;
        return;
      case TokenKind::GroupEnd:
        ucSkip_ = 0;
        flushSurrogate();
        groupEnd();
        return;
      default:
        break;
    }
    const bool starred = top().starred;
    top().starred = false;
    if (starred && t.kind != TokenKind::ControlWord) top().dest = Dest::Skip;  // malformed \*
    if (top().dest == Dest::Skip) return;

    if (ucSkip_ > 0 && t.kind != TokenKind::Text) {
      --ucSkip_;  // a fallback character of \uN
      return;
    }
    switch (t.kind) {
      case TokenKind::ControlWord:
        controlWord(t, starred);
        break;
      case TokenKind::ControlSymbol:
        controlSymbol(t.symbol);
        break;
      case TokenKind::HexByte:
        flushSurrogate();
        character(rtf::Cp1252ToUnicode(t.byte), static_cast<char>(t.byte));
        break;
      case TokenKind::Binary:
        if (top().dest == Dest::Picture && pict_) pict_->data.feedBinary(t.text);
        break;
      case TokenKind::Text:
        text(t.text);
        break;
      default:
        break;
    }
  }

  void groupEnd() {
    const size_t depth = stack_.size();
    if (depth == 1) {
      // The document's outer group closes: whatever follows it is not part of the document.
      finishAll();
      stack_.clear();
      return;
    }
    if (pict_ && pict_->depth == depth) finishPicture();
    if (!shapes_.empty() && shapes_.back().depth == depth) finishShape();
    if (!fields_.empty() && fields_.back().depth == depth) finishField();
    if (flows_.size() > 1 && flows_.back().depth == depth) finishFlow();
    if (top().dest == Dest::FontTable) commitFont();
    if (top().dest == Dest::ColorTable && colorPending_) commitColor();
    stack_.pop_back();
    if (!stack_.empty()) flow().runBreak = true;
  }

  void text(std::string_view s) {
    if (ucSkip_ > 0) {
      const size_t n = std::min<size_t>(ucSkip_, s.size());
      ucSkip_ -= static_cast<int>(n);
      s.remove_prefix(n);
      if (s.empty()) return;
    }
    flushSurrogate();
    if (top().dest == Dest::Picture) {
      if (pict_) pict_->data.feed(s);
      return;
    }
    if (top().dest == Dest::Body) {
      // The common case: a plain run of bytes goes in as one piece.
      std::string utf8;
      utf8.reserve(s.size());
      for (char c : s) {
        const auto b = static_cast<uint8_t>(c);
        if (b == '\t' || b >= 0x20) rtf::AppendUtf8(utf8, rtf::Cp1252ToUnicode(b));
      }
      addText(utf8);
      return;
    }
    for (char c : s) character(rtf::Cp1252ToUnicode(static_cast<uint8_t>(c)), c);
  }

  // One character of text; `raw` is its byte in the file (for the ';' separators of tables).
  void character(char32_t cp, char raw = 0) {
    switch (top().dest) {
      case Dest::Body: {
        if (cp < 0x20 && cp != '\t') return;
        std::string s;
        rtf::AppendUtf8(s, cp);
        addText(s);
        return;
      }
      case Dest::FontTable:
        if (raw == ';') {
          commitFont();
        } else if (fontName_.size() < kMaxShortText) {
          rtf::AppendUtf8(fontName_, cp);
        }
        return;
      case Dest::ColorTable:
        if (raw == ';') commitColor();
        return;
      case Dest::InfoText:
        if (top().infoTarget && top().infoTarget->size() < kMaxShortText && cp >= 0x20)
          rtf::AppendUtf8(*top().infoTarget, cp);
        return;
      case Dest::FieldInst:
        if (!fields_.empty() && fields_.back().inst.size() < kMaxShortText) rtf::AppendUtf8(fields_.back().inst, cp);
        return;
      case Dest::PageResult:
        emitPageField();
        return;
      case Dest::ShapeName:
        if (!shapes_.empty() && shapes_.back().propName.size() < 64) rtf::AppendUtf8(shapes_.back().propName, cp);
        return;
      default:
        return;
    }
  }

  void unicode(int32_t n) {
    // \u takes a signed 16-bit value; negative values stand for units past 0x7FFF.
    int64_t v = n;
    if (v < 0) v += 65536;
    char32_t cp = (v < 0 || v > 0xFFFF) ? 0xFFFD : static_cast<char32_t>(v);
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      flushSurrogate();
      highSurrogate_ = cp;
    } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
      if (highSurrogate_) {
        cp = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (cp - 0xDC00);
        highSurrogate_ = 0;
      } else {
        cp = 0xFFFD;
      }
      character(cp);
    } else {
      flushSurrogate();
      character(cp);
    }
    ucSkip_ = top().uc;
  }

  // A high surrogate not followed by its low half.
  void flushSurrogate() {
    if (!highSurrogate_) return;
    highSurrogate_ = 0;
    character(0xFFFD);
  }

  void controlSymbol(char c) {
    switch (c) {
      case '\\':
      case '{':
      case '}':
        character(static_cast<char32_t>(static_cast<uint8_t>(c)), c);
        break;
      case '~':
        character(0x00A0);
        break;
      case '_':
        character(0x2011);
        break;
      case '*':
        top().starred = true;
        break;
      default:
        break;  // \- optional hyphen, \: index subentry, ...
    }
  }

  // ---- control words ----------------------------------------------------------------------

  // What a control word's handler works on: the group's state and the word's parameter.
  struct WordCall {
    Reader& r;
    GroupState& s;
    CharFormat& c;
    ParaFormat& pf;
    int32_t p;
    bool hasParam;
    bool on;      // a toggle: no parameter or a non-zero one
    char32_t ch;  // Word::Char: the character
  };
  using WordHandler = void (*)(WordCall&);
  using WordHandlers = std::array<WordHandler, static_cast<size_t>(Word::Blue) + 1>;

  void controlWord(const Token& t, bool starred) {
    const auto& table = WordTable();
    const auto it = table.find(t.name);
    const Word w = it == table.end() ? Word::Unknown : it->second.word;
    if (starred && !IsDestination(w)) {
      top().dest = Dest::Skip;  // an ignorable destination we do not know
      return;
    }
    if (w != Word::U) flushSurrogate();
    GroupState& s = top();
    WordCall call{*this,
                  s,
                  s.chr,
                  s.para,
                  t.param,
                  t.hasParam,
                  !t.hasParam || t.param != 0,
                  it == table.end() ? 0 : it->second.ch};
    if (startDestination(w, s)) return;
    if (destinationWord(w, call)) return;
    if (const WordHandler h = BodyHandlers()[static_cast<size_t>(w)]) h(call);
  }

  // A word that starts a destination sets the group's destination; true when it was one.
  bool startDestination(Word w, GroupState& s) {
    switch (w) {
      case Word::FontTable:
        s.dest = Dest::FontTable;
        return true;
      case Word::ColorTable:
        s.dest = Dest::ColorTable;
        colorPending_ = false;
        return true;
      case Word::Info:
        s.dest = Dest::Info;
        return true;
      case Word::Title:
      case Word::Author:
      case Word::Subject:
        if (s.dest != Dest::Info) {
          s.dest = Dest::Skip;
          return true;
        }
        s.dest = Dest::InfoText;
        s.infoTarget = w == Word::Title ? &doc_.info.title : w == Word::Author ? &doc_.info.author : &doc_.info.subject;
        s.infoTarget->clear();
        return true;
      case Word::Pict:
        if ((s.dest != Dest::Body && s.dest != Dest::ShapeContent) || pict_) {
          s.dest = Dest::Skip;
          return true;
        }
        pict_ = std::make_unique<PictCtx>();
        pict_->depth = stack_.size();
        pict_->fmt = s.chr;
        pict_->ofShape = s.dest == Dest::ShapeContent;
        s.dest = Dest::Picture;
        return true;
      case Word::ShpPict:
        return true;  // its \pict is the picture itself
      case Word::Field:
        if (s.dest != Dest::Body || fields_.size() >= kMaxDepth) {
          s.dest = Dest::Skip;
          return true;
        }
        fields_.push_back(FieldCtx{stack_.size(), {}, s.chr, false});
        return true;
      case Word::FldInst:
        s.dest = fields_.empty() ? Dest::Skip : Dest::FieldInst;
        return true;
      case Word::FldRslt:
        if (!fields_.empty() && fields_.back().isPage()) s.dest = Dest::PageResult;
        return true;
      case Word::Header:
      case Word::Footer:
        if (s.dest != Dest::Body || flows_.size() > 1) {
          s.dest = Dest::Skip;
          return true;
        }
        flows_.emplace_back();
        flow().kind = w == Word::Header ? Flow::Header : Flow::Footer;
        flow().depth = stack_.size();
        return true;
      case Word::SkipDest:
        s.dest = Dest::Skip;
        return true;
      case Word::Shp:
      case Word::ShpInst:
      case Word::ShpTxt:
      case Word::ShpRslt:
      case Word::Sp:
      case Word::Sn:
      case Word::Sv:
        shapeGroup(w);
        return true;
      default:
        return false;
    }
  }

  // A word inside a destination other than the body; true when the destination took it.
  // Info texts and field instructions take only the words of characters.
  bool destinationWord(Word w, WordCall& call) {
    const int32_t p = call.p;
    switch (call.s.dest) {
      case Dest::FontTable:
        if (w == Word::F) {
          commitFont();
          fontIndex_ = p;
        }
        return true;
      case Dest::ColorTable: {
        const int v = Clamp(p, 0, 255);
        if (w == Word::Red)
          colorRgb_ = (colorRgb_ & 0xFFFF00u) | static_cast<ColorRef>(v);
        else if (w == Word::Green)
          colorRgb_ = (colorRgb_ & 0xFF00FFu) | (static_cast<ColorRef>(v) << 8);
        else if (w == Word::Blue)
          colorRgb_ = (colorRgb_ & 0x00FFFFu) | (static_cast<ColorRef>(v) << 16);
        else
          return true;
        colorPending_ = true;
        return true;
      }
      case Dest::Picture:
        pictureWord(w, p);
        return true;
      case Dest::Shape:
      case Dest::ShapeName:
      case Dest::ShapeContent:
        shapeWord(w, p);
        return true;
      case Dest::Info:
      case Dest::InfoText:
      case Dest::FieldInst:
        if (w == Word::U || w == Word::Uc || w == Word::Char) BodyHandlers()[static_cast<size_t>(w)](call);
        return true;
      default:
        return false;
    }
  }

  // The handlers of the words of the body text, by word; words without one are ignored.
  static const WordHandlers& BodyHandlers() {
    static const WordHandlers table = [] {
      WordHandlers t{};
      auto on = [&](std::initializer_list<Word> words, WordHandler h) {
        for (Word w : words) t[static_cast<size_t>(w)] = h;
      };
      // Characters and breaks.
      on({Word::Par, Word::NestCell, Word::NestRow}, [](WordCall& k) { k.r.endParagraph(false); });
      on({Word::Line}, [](WordCall& k) { k.r.addRun(RunKind::LineBreak); });
      on({Word::Tab}, [](WordCall& k) { k.r.character('\t'); });
      on({Word::Char}, [](WordCall& k) { k.r.character(k.ch); });
      on({Word::U}, [](WordCall& k) { k.r.unicode(k.p); });
      on({Word::Uc}, [](WordCall& k) { k.s.uc = Clamp(k.p, 0, 10); });
      on({Word::Page}, [](WordCall& k) { k.r.blockBreak(PageBreak{}); });
      on({Word::Column}, [](WordCall& k) { k.r.blockBreak(ColumnBreak{}); });
      on({Word::Sect}, [](WordCall& k) { k.r.sectionBreak(); });

      // Character format.
      on({Word::Plain}, [](WordCall& k) { k.c = k.r.plainChar(); });
      on({Word::F}, [](WordCall& k) {
        const auto f = k.r.fonts_.find(k.p);
        if (f != k.r.fonts_.end()) k.c.face = f->second;
      });
      on({Word::Fs}, [](WordCall& k) { k.c.pointSize = Clamp(k.hasParam ? k.p : 24, 2, 3276) / 2.0; });
      on({Word::B}, [](WordCall& k) { k.c.bold = k.on; });
      on({Word::I}, [](WordCall& k) { k.c.italic = k.on; });
      on({Word::Ul}, [](WordCall& k) { k.c.underline = k.on; });
      on({Word::UlNone}, [](WordCall& k) { k.c.underline = false; });
      on({Word::Super}, [](WordCall& k) {
        k.c.superscript = true;
        k.c.subscript = false;
      });
      on({Word::Sub}, [](WordCall& k) {
        k.c.subscript = true;
        k.c.superscript = false;
      });
      on({Word::NoSuperSub}, [](WordCall& k) { k.c.superscript = k.c.subscript = false; });
      on({Word::Cf}, [](WordCall& k) { k.c.color = k.r.color(k.p); });
      on({Word::CharBack}, [](WordCall& k) { k.c.background = k.r.color(k.p); });
      on({Word::Expndtw}, [](WordCall& k) { k.c.spacing = Clamp(k.p, -2000, 2000); });
      on({Word::Expnd}, [](WordCall& k) { k.c.spacing = Clamp(k.p, -400, 400) * 5; });  // quarter points

      // Paragraph format.
      on({Word::Pard}, [](WordCall& k) {
        if (k.s.dest == Dest::Body) k.r.flow().paraStated = true;
        k.pf = ParaFormat{};
        k.s.inTable = false;
        k.s.frame = FrameProps{};
      });
      on({Word::Ql}, [](WordCall& k) { k.pf.align = Align::Left; });
      on({Word::Qc}, [](WordCall& k) { k.pf.align = Align::Center; });
      on({Word::Qr}, [](WordCall& k) { k.pf.align = Align::Right; });
      on({Word::Qj}, [](WordCall& k) { k.pf.align = Align::Justify; });
      on({Word::Li}, [](WordCall& k) { k.pf.leftIndent = Twips(k.p); });
      on({Word::Ri}, [](WordCall& k) { k.pf.rightIndent = Twips(k.p); });
      on({Word::Fi}, [](WordCall& k) { k.pf.firstIndent = Twips(k.p); });
      on({Word::Sb}, [](WordCall& k) { k.pf.spaceBefore = PositiveTwips(k.p); });
      on({Word::Sa}, [](WordCall& k) { k.pf.spaceAfter = PositiveTwips(k.p); });
      on({Word::Keep}, [](WordCall& k) { k.pf.keepTogether = k.on; });
      on({Word::Keepn}, [](WordCall& k) { k.pf.keepWithNext = k.on; });
      on({Word::Pagebb}, [](WordCall& k) { k.pf.pageBreakBefore = k.on; });
      on({Word::Tqr}, [](WordCall& k) { k.r.tabKind_ = TabKind::Right; });
      on({Word::Tqc}, [](WordCall& k) { k.r.tabKind_ = TabKind::Center; });
      on({Word::Tqdec}, [](WordCall& k) { k.r.tabKind_ = TabKind::Decimal; });
      on({Word::Tx}, [](WordCall& k) {
        if (k.pf.tabs.size() < kMaxTabs) k.pf.tabs.push_back(TabStop{PositiveTwips(k.p), k.r.tabKind_});
        k.r.tabKind_ = TabKind::Left;
      });
      on({Word::Tb}, [](WordCall& k) { k.r.tabKind_ = TabKind::Left; });  // bar tabs are not kept
      on({Word::Intbl}, [](WordCall& k) { k.s.inTable = true; });
      on({Word::Itap}, [](WordCall& k) { k.s.inTable = k.p > 0; });
      on({Word::Posx}, [](WordCall& k) { k.s.frame.set = true, k.s.frame.x = Twips(k.p); });
      on({Word::Posy}, [](WordCall& k) { k.s.frame.set = true, k.s.frame.y = Twips(k.p); });
      on({Word::Absw}, [](WordCall& k) { k.s.frame.set = true, k.s.frame.width = PositiveTwips(k.p); });
      on({Word::Absh}, [](WordCall& k) {
        k.s.frame.set = true;
        k.s.frame.height = PositiveTwips(k.p == INT32_MIN ? INT32_MAX : std::abs(k.p));
      });
      on({Word::FramePos}, [](WordCall& k) { k.s.frame.set = true; });
      on({Word::Box}, [](WordCall& k) {
        k.s.frame.border = 10;
        k.r.border_ = BorderTarget::Frame;
      });
      on({Word::ParaBorder, Word::RowBorder}, [](WordCall& k) { k.r.border_ = BorderTarget::None; });
      on({Word::Brdrw}, [](WordCall& k) { k.r.setBorder(Clamp(k.p, 0, 255)); });
      on({Word::BrdrNone}, [](WordCall& k) { k.r.setBorder(0); });

      // Tables.
      on({Word::Trowd}, [](WordCall& k) {
        k.r.flow().def = RowDef{};
        k.r.flow().pendingCell = CellDef{};
        k.r.border_ = BorderTarget::None;
      });
      on({Word::Trleft}, [](WordCall& k) {
        RowDef& d = k.r.flow().def;
        d.left = Twips(k.p);
        if (d.cells.empty()) d.lastRight = d.left;
      });
      on({Word::Trhdr}, [](WordCall& k) { k.r.flow().def.header = true; });
      on({Word::Cellx}, [](WordCall& k) {
        RowDef& d = k.r.flow().def;
        CellDef cell = k.r.flow().pendingCell;
        const int64_t width = int64_t{Twips(k.p)} - d.lastRight;
        cell.width = static_cast<int32_t>(std::clamp<int64_t>(width, 1, kMaxTwips));
        d.lastRight = Twips(k.p);
        if (d.cells.size() < kMaxCellsPerRow) d.cells.push_back(cell);
        k.r.flow().pendingCell = CellDef{};
        k.r.border_ = BorderTarget::None;
      });
      on({Word::Clcbpat}, [](WordCall& k) { k.r.flow().pendingCell.background = k.r.color(k.p); });
      on({Word::Clshdng}, [](WordCall& k) { k.r.flow().pendingCell.shading = Clamp(k.p, 0, 10000) / 100; });
      on({Word::Clvertalt}, [](WordCall& k) { k.r.flow().pendingCell.valign = VAlign::Top; });
      on({Word::Clvertalc}, [](WordCall& k) { k.r.flow().pendingCell.valign = VAlign::Center; });
      on({Word::Clvertalb}, [](WordCall& k) { k.r.flow().pendingCell.valign = VAlign::Bottom; });
      on({Word::ClbrdrT}, [](WordCall& k) { k.r.cellBorder(kTop); });
      on({Word::ClbrdrL}, [](WordCall& k) { k.r.cellBorder(kLeft); });
      on({Word::ClbrdrB}, [](WordCall& k) { k.r.cellBorder(kBottom); });
      on({Word::ClbrdrR}, [](WordCall& k) { k.r.cellBorder(kRight); });
      on({Word::Cell}, [](WordCall& k) { k.r.endCell(); });
      on({Word::Row}, [](WordCall& k) { k.r.endRow(); });

      // Sections and the document's page.
      on({Word::Sectd}, [](WordCall& k) { k.r.sectionDefaults(); });
      on({Word::Sbknone}, [](WordCall& k) { k.r.sectionFormat().newPage = false; });
      on({Word::Sbkpage}, [](WordCall& k) { k.r.sectionFormat().newPage = true; });
      on({Word::Lndscpsxn}, [](WordCall& k) { k.r.setPage(k.r.pageRaw_, std::nullopt, std::nullopt, true); });
      on({Word::Pgwsxn}, [](WordCall& k) { k.r.setPage(k.r.pageRaw_, k.p, std::nullopt, false); });
      on({Word::Pghsxn}, [](WordCall& k) { k.r.setPage(k.r.pageRaw_, std::nullopt, k.p, false); });
      on({Word::Marglsxn}, [](WordCall& k) { k.r.sectionFormat().marginLeft = PositiveTwips(k.p); });
      on({Word::Margrsxn}, [](WordCall& k) { k.r.sectionFormat().marginRight = PositiveTwips(k.p); });
      on({Word::Margtsxn}, [](WordCall& k) { k.r.sectionFormat().marginTop = PositiveTwips(k.p); });
      on({Word::Margbsxn}, [](WordCall& k) { k.r.sectionFormat().marginBottom = PositiveTwips(k.p); });
      on({Word::Headery}, [](WordCall& k) { k.r.sectionFormat().headerDistance = PositiveTwips(k.p); });
      on({Word::Footery}, [](WordCall& k) { k.r.sectionFormat().footerDistance = PositiveTwips(k.p); });
      on({Word::Cols}, [](WordCall& k) { k.r.sectionFormat().columns = Clamp(k.p, 1, 2); });
      on({Word::Colsx}, [](WordCall& k) { k.r.sectionFormat().columnSpacing = PositiveTwips(k.p); });
      on({Word::Paperw}, [](WordCall& k) { k.r.docPage(k.p, std::nullopt, false); });
      on({Word::Paperh}, [](WordCall& k) { k.r.docPage(std::nullopt, k.p, false); });
      on({Word::Landscape}, [](WordCall& k) { k.r.docPage(std::nullopt, std::nullopt, true); });
      on({Word::Margl}, [](WordCall& k) { k.r.docMargin(&SectionFormat::marginLeft, k.p); });
      on({Word::Margr}, [](WordCall& k) { k.r.docMargin(&SectionFormat::marginRight, k.p); });
      on({Word::Margt}, [](WordCall& k) { k.r.docMargin(&SectionFormat::marginTop, k.p); });
      on({Word::Margb}, [](WordCall& k) { k.r.docMargin(&SectionFormat::marginBottom, k.p); });
      on({Word::Deff}, [](WordCall& k) { k.r.deff_ = k.p; });
      return t;
    }();
    return table;
  }

  // ---- tables of the header ---------------------------------------------------------------

  void commitFont() {
    std::string name = std::move(fontName_);
    fontName_.clear();
    const size_t b = name.find_first_not_of(' ');
    const size_t e = name.find_last_not_of(' ');
    if (b == std::string::npos) return;
    name = name.substr(b, e - b + 1);
    if (fonts_.size() < kMaxTableEntries || fonts_.count(fontIndex_)) fonts_[fontIndex_] = name;
    // The default font may have been named before the table was read.
    if (fontIndex_ == deff_) {
      for (auto& st : stack_) st.chr.face = name;
    }
  }

  void commitColor() {
    if (colors_.size() < kMaxTableEntries) colors_.push_back(colorPending_ ? colorRgb_ : kNoColor);
    colorRgb_ = 0;
    colorPending_ = false;
  }

  // ---- shapes ------------------------------------------------------------------------------
  //
  // {\shp {\*\shpinst \shpleft.. {\sp{\sn name}{\sv value}} {\shptxt text box}} {\shprslt ...}}
  // A shape group (\shpgrp) holds its shapes inside its own \shpinst. Pictures are read from
  // a shape's text box and from its "pib" property; the shape's text and other properties
  // are skipped. \shprslt is what the shape looks like to readers without shapes: skipped
  // when the shape gave its pictures, read otherwise.

  void shapeGroup(Word w) {
    GroupState& s = top();
    const bool inShape = !shapes_.empty();
    const size_t depth = stack_.size();
    switch (w) {
      case Word::Shp:
        // A shape in the text, or one shape of a group.
        if ((s.dest != Dest::Body && s.dest != Dest::Shape) || shapes_.size() >= kMaxShapeDepth) {
          s.dest = Dest::Skip;
          return;
        }
        shapes_.push_back(ShapeCtx{depth, 0, 0, 0, 0, {}, {}});
        return;
      case Word::ShpInst:
        // The instructions directly inside the shape's group.
        s.dest = inShape && shapes_.back().depth + 1 == depth ? Dest::Shape : Dest::Skip;
        return;
      case Word::ShpTxt:
        s.dest = inShape && s.dest == Dest::Shape ? Dest::ShapeContent : Dest::Skip;
        return;
      case Word::Sp:
        if (!inShape || s.dest != Dest::Shape) {
          s.dest = Dest::Skip;
          return;
        }
        shapes_.back().propName.clear();
        return;
      case Word::Sn:
        s.dest = inShape && s.dest == Dest::Shape ? Dest::ShapeName : Dest::Skip;
        return;
      case Word::Sv:
        // Only the picture property's value is read: it holds the picture of a picture shape.
        s.dest = inShape && s.dest == Dest::Shape && shapes_.back().propName == "pib" ? Dest::ShapeContent : Dest::Skip;
        return;
      case Word::ShpRslt:
        if (inShape && (shapes_.back().depth + 1 != depth || !shapes_.back().pictures.empty())) s.dest = Dest::Skip;
        return;
      default:
        return;
    }
  }

  void shapeWord(Word w, int32_t p) {
    if (top().dest != Dest::Shape || shapes_.empty()) return;
    ShapeCtx& sh = shapes_.back();
    switch (w) {
      case Word::ShpLeft:
        sh.left = Twips(p);
        break;
      case Word::ShpTop:
        sh.top = Twips(p);
        break;
      case Word::ShpRight:
        sh.right = Twips(p);
        break;
      case Word::ShpBottom:
        sh.bottom = Twips(p);
        break;
      default:
        break;
    }
  }

  // The shape's group closes. The pictures of a shape inside a group go to the group; those
  // of an outermost shape become frames anchored to the paragraph the shape is in.
  void finishShape() {
    ShapeCtx sh = std::move(shapes_.back());
    shapes_.pop_back();
    if (!shapes_.empty()) {
      auto& parent = shapes_.back().pictures;
      for (auto& pic : sh.pictures)
        if (parent.size() < kMaxPendingFrames) parent.push_back(std::move(pic));
      return;
    }
    Flow& f = flow();
    const int32_t width = PositiveTwips(sh.right - sh.left);
    const int32_t height = PositiveTwips(sh.bottom - sh.top);
    for (auto& pic : sh.pictures) {
      if (f.pendingFrames.size() >= kMaxPendingFrames || !spend()) break;
      Frame fr;
      fr.x = sh.left;
      fr.y = sh.top;
      if (sh.pictures.size() == 1 && width > 0 && height > 0 && (pic->width != width || pic->height != height)) {
        // A shape's one picture fills it: the shape's size is the picture's (exact, where
        // the picture's own size may be rounded through a scale in percent).
        Picture sized = *pic;
        sized.width = width;
        sized.height = height;
        pic = std::make_shared<const Picture>(std::move(sized));
      }
      if (sh.pictures.size() > 1) {
        fr.width = width;
        fr.height = height;
      }
      // A frame of one picture is sized by it (width and height 0), as the editor makes it.
      fr.picture = std::move(pic);
      f.pendingFrames.push_back(std::move(fr));
    }
  }

  // ---- pictures and fields ----------------------------------------------------------------

  void pictureWord(Word w, int32_t p) {
    PictCtx& pc = *pict_;
    switch (w) {
      case Word::Pngblip:
        pc.format = Picture::Format::Png;
        pc.supported = true;
        break;
      case Word::Jpegblip:
        pc.format = Picture::Format::Jpeg;
        pc.supported = true;
        break;
      case Word::OtherBlip:
        pc.supported = false;
        break;
      case Word::Picw:
        pc.picw = Clamp(p, 0, 1 << 20);
        break;
      case Word::Pich:
        pc.pich = Clamp(p, 0, 1 << 20);
        break;
      case Word::Picwgoal:
        pc.goalw = PositiveTwips(p);
        break;
      case Word::Pichgoal:
        pc.goalh = PositiveTwips(p);
        break;
      case Word::Picscalex:
        pc.scalex = Clamp(p, 1, 1000);
        break;
      case Word::Picscaley:
        pc.scaley = Clamp(p, 1, 1000);
        break;
      default:
        break;
    }
  }

  void finishPicture() {
    std::unique_ptr<PictCtx> pc = std::move(pict_);
    if (!pc->supported || pc->data.overflowed() || pc->data.bytes().empty()) return;
    Picture pic;
    pic.format = pc->format;
    pic.data = pc->data.take();
    // Only data that starts like a PNG or JPEG image is kept.
    const rtf::PixelSize px = rtf::ImagePixelSize(pic.data);
    if (px.width <= 0 || px.height <= 0) return;
    pic.pixelWidth = px.width;
    pic.pixelHeight = px.height;
    auto size = [](int32_t goal, int32_t pixels, int32_t scale) {
      int64_t v = goal > 0 ? goal : int64_t{pixels} * kTwipsPerPixel;
      if (v <= 0) v = 1440;
      return static_cast<int32_t>(std::clamp<int64_t>(v * scale / 100, 1, kMaxTwips));
    };
    pic.width = size(pc->goalw, pic.pixelWidth, pc->scalex);
    pic.height = size(pc->goalh, pic.pixelHeight, pc->scaley);
    if (pc->ofShape && !shapes_.empty()) {
      // A picture of a shape: it becomes a frame when the shape closes.
      if (shapes_.back().pictures.size() < kMaxPendingFrames)
        shapes_.back().pictures.push_back(std::make_shared<const Picture>(std::move(pic)));
      return;
    }
    if (!spend()) return;
    Run r;
    r.kind = RunKind::Picture;
    r.fmt = pc->fmt;
    r.picture = std::make_shared<const Picture>(std::move(pic));
    flow().para.runs.push_back(std::move(r));
    flow().runBreak = true;
  }

  void emitPageField() {
    if (fields_.empty() || fields_.back().emitted) return;
    fields_.back().emitted = true;
    fields_.back().fmt = top().chr;  // the format of the shown page number
  }

  void finishField() {
    FieldCtx f = std::move(fields_.back());
    fields_.pop_back();
    if (!f.isPage()) return;
    if (!spend()) return;
    Run r;
    r.kind = RunKind::PageField;
    r.fmt = f.fmt;
    flow().para.runs.push_back(std::move(r));
    flow().runBreak = true;
  }

  // ---- runs and paragraphs ----------------------------------------------------------------

  void addText(const std::string& utf8) {
    if (utf8.empty()) return;
    Flow& f = flow();
    auto& runs = f.para.runs;
    if (!f.runBreak && !runs.empty() && runs.back().kind == RunKind::Text && runs.back().fmt == top().chr) {
      runs.back().text += utf8;
      return;
    }
    if (!spend()) return;
    Run r;
    r.kind = RunKind::Text;
    r.text = utf8;
    r.fmt = top().chr;
    runs.push_back(std::move(r));
    f.runBreak = false;
  }

  void addRun(RunKind kind) {
    if (!spend()) return;
    Run r;
    r.kind = kind;
    r.fmt = top().chr;
    flow().para.runs.push_back(std::move(r));
    flow().runBreak = true;
  }

  static bool HasContent(const std::vector<Run>& runs) {
    return std::any_of(runs.begin(), runs.end(),
                       [](const Run& r) { return r.kind != RunKind::Text || !r.text.empty(); });
  }

  // Ends the paragraph being read (\par; \cell with cellEnd).
  void endParagraph(bool cellEnd) {
    Flow& f = flow();
    const GroupState& s = top();
    Paragraph p = std::move(f.para);
    f.para = Paragraph{};
    f.runBreak = true;
    f.paraStated = false;
    p.fmt = s.para;
    std::stable_sort(p.fmt.tabs.begin(), p.fmt.tabs.end(),
                     [](const TabStop& a, const TabStop& b) { return a.position < b.position; });
    p.fmt.tabs.erase(std::unique(p.fmt.tabs.begin(), p.fmt.tabs.end(),
                                 [](const TabStop& a, const TabStop& b) { return a.position == b.position; }),
                     p.fmt.tabs.end());
    if (!spend()) return;

    const bool hasText = std::any_of(p.runs.begin(), p.runs.end(), [](const Run& r) {
      return r.kind != RunKind::Picture && (r.kind != RunKind::Text || !r.text.empty());
    });
    if (s.frame.set && !cellEnd && !hasText) {
      // A framed paragraph of a picture (or nothing): a frame anchored to the next paragraph.
      // Framed text stays in the flow as an ordinary paragraph.
      Frame fr;
      fr.x = s.frame.x;
      fr.y = s.frame.y;
      fr.width = s.frame.width;
      fr.height = s.frame.height;
      fr.border = s.frame.border;
      if (!p.runs.empty()) fr.picture = p.runs.front().picture;
      if (f.pendingFrames.size() < kMaxPendingFrames) f.pendingFrames.push_back(std::move(fr));
      return;
    }
    place(std::move(p), s.inTable || cellEnd);
  }

  // Puts a finished paragraph into the cell being read or into the flow; frames waiting for
  // an anchor are anchored to it.
  void place(Paragraph p, bool inCell) {
    Flow& f = flow();
    p.frames = std::move(f.pendingFrames);
    f.pendingFrames.clear();
    if (inCell) {
      f.cellParas.push_back(std::move(p));
      return;
    }
    if (!f.cellParas.empty() || !f.rowCells.empty()) endRow();
    f.tableOpen = false;
    if (p.fmt.pageBreakBefore && f.kind == Flow::Body) {
      // A page break before a body paragraph is the document's page break, as the editor
      // makes it (and as the writer writes a break before a paragraph).
      p.fmt.pageBreakBefore = false;
      if (spend()) blocksOf(f).push_back(PageBreak{});
    }
    blocksOf(f).push_back(std::move(p));
  }

  // Ends the current paragraph only if it holds anything (before a break or at the end).
  // Frames with no paragraph after them get an empty one as their anchor.
  void flushParagraph() {
    Flow& f = flow();
    if (HasContent(f.para.runs)) endParagraph(false);
    if (!f.pendingFrames.empty() && spend()) place(Paragraph{}, top().inTable);
  }

  void endCell() {
    endParagraph(true);
    Flow& f = flow();
    if (stopped_) return;
    f.rowCells.push_back(std::move(f.cellParas));
    f.cellParas.clear();
  }

  void endRow() {
    Flow& f = flow();
    if (!f.cellParas.empty() || HasContent(f.para.runs)) {
      endParagraph(true);
      f.rowCells.push_back(std::move(f.cellParas));
      f.cellParas.clear();
    }
    if (f.rowCells.empty() || !spend(f.rowCells.size())) {
      f.rowCells.clear();
      return;
    }
    Row row;
    row.header = f.def.header;
    row.leftIndent = f.def.left;
    for (size_t i = 0; i < f.rowCells.size() && i < kMaxCellsPerRow; ++i) {
      Cell cell;
      if (i < f.def.cells.size()) {
        const CellDef& d = f.def.cells[i];
        cell.width = d.width;
        cell.border = d.border;
        cell.background = d.background;
        cell.shading = d.shading;
        cell.valign = d.valign;
      } else if (!f.def.cells.empty()) {
        cell.width = f.def.cells.back().width;
      }
      cell.paragraphs = std::move(f.rowCells[i]);
      row.cells.push_back(std::move(cell));
    }
    f.rowCells.clear();
    auto& blocks = blocksOf(f);
    if (f.tableOpen && !blocks.empty() && std::holds_alternative<Table>(blocks.back())) {
      std::get<Table>(blocks.back()).rows.push_back(std::move(row));
    } else {
      Table t;
      t.rows.push_back(std::move(row));
      blocks.push_back(std::move(t));
      f.tableOpen = true;
    }
  }

  // Finishes any row left open and the paragraph being read.
  void closeFlowContent() {
    Flow& f = flow();
    if (!f.cellParas.empty() || !f.rowCells.empty()) endRow();
    flushParagraph();
    if (!f.cellParas.empty() || !f.rowCells.empty()) endRow();
  }

  template <class Break>
  void blockBreak(Break b) {
    Flow& f = flow();
    if (f.kind != Flow::Body || top().inTable) return;
    flushParagraph();
    if (!f.cellParas.empty() || !f.rowCells.empty()) endRow();
    if (!spend()) return;
    f.tableOpen = false;
    blocksOf(f).push_back(b);
  }

  void cellBorder(int side) {
    flow().pendingCell.border[side] = 10;
    border_ = static_cast<BorderTarget>(side);
  }

  void setBorder(int32_t width) {
    if (border_ == BorderTarget::Frame)
      top().frame.border = width;
    else if (border_ != BorderTarget::None)
      flow().pendingCell.border[static_cast<int>(border_)] = width;
  }

  // ---- headers and footers ----------------------------------------------------------------

  void finishFlow() {
    closeFlowContent();
    Flow f = std::move(flows_.back());
    flows_.pop_back();
    HeaderFooter hf;
    for (auto& b : f.own) {
      if (auto* p = std::get_if<Paragraph>(&b)) {
        hf.paragraphs.push_back(std::move(*p));
      } else if (auto* t = std::get_if<Table>(&b)) {
        // Headers and footers hold paragraphs only: a table gives its cells' paragraphs.
        for (auto& r : t->rows)
          for (auto& c : r.cells)
            for (auto& p2 : c.paragraphs) hf.paragraphs.push_back(std::move(p2));
      }
    }
    // A lone empty paragraph is how a section says it has no header (or footer).
    std::optional<HeaderFooter> value;
    const bool none = hf.paragraphs.empty() ||
                      (hf.paragraphs.size() == 1 && hf.paragraphs[0].empty() && hf.paragraphs[0].fmt == ParaFormat{});
    if (!none) value = std::move(hf);
    (f.kind == Flow::Header ? sectionFormat().header : sectionFormat().footer) = std::move(value);
  }

  // ---- sections ---------------------------------------------------------------------------

  void sectionBreak() {
    if (flow().kind != Flow::Body || top().inTable) return;
    // \sect ends the paragraph it closes, even an empty one whose format was stated.
    if (flow().paraStated && flow().cellParas.empty() && flow().rowCells.empty()) endParagraph(false);
    closeFlowContent();
    if (!spend()) return;
    flow().tableOpen = false;
    Section next;
    next.fmt = sectionFormat();  // a section keeps the settings and headers of the one before
    doc_.sections.push_back(std::move(next));
  }

  void sectionDefaults() {
    SectionFormat& f = sectionFormat();
    auto header = std::move(f.header);
    auto footer = std::move(f.footer);
    f = docDefault_;
    f.header = std::move(header);
    f.footer = std::move(footer);
    pageRaw_ = docPageRaw_;
    pageRaw_.landscape = false;  // a section is landscape by its own \lndscpsxn or its size
    sectdSeen_ = true;
  }

  // Applies a page size (either side, or the landscape flag) to the raw size and the format.
  static void ApplyPage(PageRaw& raw, SectionFormat& f, std::optional<int32_t> w, std::optional<int32_t> h,
                        bool landscape) {
    if (w) raw.width = Clamp(*w, 1440, kMaxTwips);
    if (h) raw.height = Clamp(*h, 1440, kMaxTwips);
    if (landscape) raw.landscape = true;
    f.paperWidth = std::min(raw.width, raw.height);
    f.paperHeight = std::max(raw.width, raw.height);
    f.orientation = raw.landscape || raw.width > raw.height ? Orientation::Landscape : Orientation::Portrait;
  }

  void setPage(PageRaw& raw, std::optional<int32_t> w, std::optional<int32_t> h, bool landscape) {
    ApplyPage(raw, sectionFormat(), w, h, landscape);
  }

  // Document-wide settings are the defaults of every section, and apply to the first section
  // until it states its own.
  void docPage(std::optional<int32_t> w, std::optional<int32_t> h, bool landscape) {
    ApplyPage(docPageRaw_, docDefault_, w, h, landscape);
    if (!sectdSeen_ && doc_.sections.size() == 1) ApplyPage(pageRaw_, sectionFormat(), w, h, landscape);
  }

  void docMargin(int32_t SectionFormat::*field, int32_t v) {
    docDefault_.*field = PositiveTwips(v);
    if (!sectdSeen_ && doc_.sections.size() == 1) sectionFormat().*field = PositiveTwips(v);
  }

  // Keeps every section within what a page can lay out: room for text in both directions,
  // header and footer within the page, column spacing within the text width.
  static void Sanitize(SectionFormat& f) {
    auto fit = [](int32_t& a, int32_t& b, int32_t room) {
      const int64_t sum = int64_t{a} + b;
      if (sum <= room) return;
      a = static_cast<int32_t>(int64_t{a} * room / sum);
      b = static_cast<int32_t>(int64_t{b} * room / sum);
    };
    const int32_t minText = 720;
    fit(f.marginLeft, f.marginRight, f.pageWidth() - minText);
    fit(f.marginTop, f.marginBottom, f.pageHeight() - minText);
    f.headerDistance = std::min(f.headerDistance, f.pageHeight() / 2);
    f.footerDistance = std::min(f.footerDistance, f.pageHeight() / 2);
    f.columns = Clamp(f.columns, 1, 2);
    f.columnSpacing = std::min(f.columnSpacing, f.textWidth() / 2);
  }

  void finishAll() {
    // Anything left open by a truncated file.
    while (flows_.size() > 1) finishFlow();
    pict_.reset();
    shapes_.clear();
    while (!fields_.empty()) finishField();
    closeFlowContent();
    // A trailing section break with nothing after it adds no section.
    auto& secs = doc_.sections;
    if (secs.size() > 1 && secs.back().blocks.empty() && secs.back().fmt == secs[secs.size() - 2].fmt) secs.pop_back();
    for (auto& s : secs) Sanitize(s.fmt);
  }

  enum class BorderTarget { Left = kLeft, Right = kRight, Top = kTop, Bottom = kBottom, Frame, None };

  Lexer lex_;
  Document& doc_;
  std::vector<GroupState> stack_;
  std::vector<Flow> flows_;
  std::vector<FieldCtx> fields_;
  std::unique_ptr<PictCtx> pict_;
  std::vector<ShapeCtx> shapes_;
  size_t overflow_ = 0;
  size_t elements_ = 0;
  bool stopped_ = false;
  int ucSkip_ = 0;
  char32_t highSurrogate_ = 0;

  std::map<int32_t, std::string> fonts_;
  int32_t fontIndex_ = 0;
  std::string fontName_;
  int32_t deff_ = 0;
  std::vector<ColorRef> colors_;
  ColorRef colorRgb_ = 0;
  bool colorPending_ = false;
  TabKind tabKind_ = TabKind::Left;
  BorderTarget border_ = BorderTarget::None;

  SectionFormat docDefault_;
  PageRaw docPageRaw_;
  PageRaw pageRaw_;
  bool sectdSeen_ = false;
};

}  // namespace

bool ReadRtf(std::string_view rtf, Document& doc) {
  // Leading white space and a UTF-8 byte order mark are tolerated before "{\rtf".
  size_t start = 0;
  if (rtf.substr(0, 3) == "\xEF\xBB\xBF") start = 3;
  while (start < rtf.size() && (rtf[start] == ' ' || rtf[start] == '\t' || rtf[start] == '\r' || rtf[start] == '\n'))
    ++start;
  rtf.remove_prefix(start);
  if (rtf.substr(0, 5) != "{\\rtf") {
    doc = Document{};
    return false;
  }
  return Reader(rtf, doc).read();
}

}  // namespace richtext
