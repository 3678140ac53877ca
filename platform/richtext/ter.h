// The handle-based editing API the report code calls: one handle names one document with its
// caret, selection and view state (and the page-view widget bound to it, if any).
//
// Positions: a "line" is a paragraph of the current story, counted from 0 in document order
// (body: every section's paragraphs, table cell paragraphs row by row included; or the
// paragraphs of the header or footer the caret is in); a "column" is a character offset in it.
// Characters in appended and inserted text: 21 ends a paragraph, 19 ends a table cell, 18 ends
// a table row, 15 marks the place of a column break (the break itself is TerColBreak; the
// character is not shown); CR LF (or a lone CR or LF) ends a paragraph as well.
#pragma once

#include <algorithm>
#include <array>
#include <compare>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <string>

#include "platform/richtext/layout.h"
#include "platform/richtext/model.h"
#include "platform/richtext/rtf.h"

class QImage;
class QPicture;
class QPrinter;

namespace richtext {

using TerHwnd = int32_t;

// Character style bits (TerCreateFont, SetTerCharStyle).
enum : int {
  kStyleItalic = 1,
  kStyleBold = 2,
  kStyleUnderline = 4,
  kStyleSuperscript = 16,
  kStyleSubscript = 32,
};

// Paragraph flags (TerCreateParaId, SetTerParaFmt). 0x10 and 0x20 (footer and header line
// markers of the report code) carry no layout meaning and are accepted without effect.
enum : uint32_t {
  kParaCenter = 1,
  kParaRight = 2,
  kParaLeft = 0x400,
  kParaKeepTogether = 0x4000,
  kParaKeepWithNext = 0x8000,
};

// Editor commands (TerCommand and the viewer's command entry point).
enum : int {
  kCmdPageUp = 600,
  kCmdPageDown = 601,
  kCmdDocStart = 612,
  kCmdDocEnd = 613,
  kCmdSelectAll = 625,
  kCmdPageSetup = 644,
  kCmdPrintSetup = 645,
  kCmdReturnToBody = 676,  // a toggle: on while the caret goes from a header/footer to the body
  kCmdPrintPreview = 717,
  kCmdPageNumber = 719,  // inserts the PAGE field at the caret
  kCmdPageMode = 744,    // a toggle: page-by-page view (switched on after binding)
};

inline constexpr int32_t kCaretEnd = 2147483647;  // TerSetCaretPos: end of the text
inline constexpr int32_t kLineEnd = 2147483646;   // SetTerCursorPos/SelectTerText: last line
inline constexpr int kHdrFtrHeader = 17;
inline constexpr int kHdrFtrFooter = 16;
inline constexpr int kMenuChecked = 8;         // TerMenuSelect: the toggle is on
inline constexpr int32_t kTwipsPerPixel = 15;  // the pixel unit of TerSetPictSize (96 dpi)

// What a page-view widget bound to an editor does for the editor's view commands.
class EditorView {
 public:
  virtual ~EditorView() = default;
  virtual void documentChanged() = 0;   // layout or contents changed: repaint
  virtual void showPage(int page) = 0;  // 1-based
  virtual void setZoomPercent(int pct) = 0;
};

// The settings record of GetTerFields/SetTerFields: the caret's place and page count are
// filled by GetTerFields; `raw` is kept as the caller last stored it.
struct TerFields {
  int32_t CurSect = 0;  // section of the caret (0-based)
  int32_t CurLine = 0;
  int32_t CurCol = 0;
  int32_t CurPage = 1;  // 1-based
  int32_t TotalPages = 1;
  int32_t ReadOnly = 0;
  std::array<uint8_t, 920> raw{};
};

// One document with its editing state. The API functions below work on the editor a handle
// names; the class is public so that the page view, printing and tests can reach the model.
class Editor {
 public:
  Editor();

  Document doc;
  PaperSize paper;  // the sheet of new sections

  // Where the caret is: the body (section -1) or a header/footer of a section.
  struct Story {
    int section = -1;
    bool footer = false;
    bool operator==(const Story&) const = default;
  };
  Story story;
  int32_t caretLine = 0;
  int32_t caretCol = 0;
  bool hasSelection = false;
  int32_t selLine1 = 0, selCol1 = 0, selLine2 = 0, selCol2 = 0;
  // SelectTerText puts the caret at the selection's end; DeselectTerText puts it back here
  // (where it was before the selection) unless it was moved meanwhile.
  std::pair<int32_t, int32_t> caretBeforeSelection{0, 0};

  CharFormat typing;      // format of text typed or inserted where nothing else applies
  CharFormat lastAppend;  // the format of font id -1 in appended text
  bool readOnly = false;
  int zoom = 100;
  int currentPage = 1;  // the page the view shows (1-based)
  std::set<int> checkedCommands;
  // Headers (false) and footers (true) of sections that TerSectBreak copied from the section
  // before and that nobody has positioned into since.
  std::set<std::pair<int, bool>> inheritedHdrFtr;
  int32_t lastCell = 0;  // the cell text was last appended to

  EditorView* view = nullptr;  // the bound page view, or none

  // The layout of the current contents (recomputed when the document changed).
  const Layout& layout();
  // The document's pictures as saved to RTF, so that saving again encodes none of them anew.
  RtfPictureCache& rtfPictures() { return *rtfPictures_; }
  // The document changed: its layout, and the list of the story's paragraphs (StoryParas in
  // ter.cpp), are worked out again.
  void changed() {
    ++revision_;
    storyKept = {};
  }
  // The document changed from block `block` of section `section` on: before it, text and
  // formats may have changed, but no paragraph or block was added, removed or moved. The
  // list of the body's paragraphs is worked out again from there only.
  void changedFrom(int section, size_t block) {
    ++revision_;
    storyKept = std::min(storyKept, StoryMark{section, block});
  }
  // Text or formats inside paragraphs changed; no paragraph was added, removed or moved.
  void changedInside() { ++revision_; }

  // The list of the body's paragraphs kept between calls (ter.cpp): the entries of blocks
  // before `storyKept` are still right.
  struct StoryMark {
    int section = 0;
    size_t block = 0;
    auto operator<=>(const StoryMark&) const = default;
  };
  struct StoryIndex;
  StoryMark storyKept;
  std::shared_ptr<StoryIndex> storyIndex;

  int32_t nextId() { return ++lastId_; }

 private:
  uint64_t revision_ = 1;
  uint64_t layoutRevision_ = 0;
  Layout layout_;
  std::shared_ptr<LayoutCache> layoutCache_ = std::make_shared<LayoutCache>();
  std::shared_ptr<RtfPictureCache> rtfPictures_ = std::make_shared<RtfPictureCache>();
  int32_t lastId_ = 0;
};

// Handles. TerCreateWindow makes a new empty document; TerDestroyWindow releases it.
TerHwnd TerCreateWindow();
void TerDestroyWindow(TerHwnd h);
Editor* TerEditor(TerHwnd h);  // nullptr for an unknown handle
// Starts a new, empty document on the handle (the viewer's empty-document entry point).
bool TerNewDocument(TerHwnd h);

// Fonts and paragraph styles (ids are indexes into the document's tables; 0 = default).
int32_t TerCreateFont(TerHwnd h, int32_t reuseId, int32_t shared, const std::string& face, int32_t pointSize,
                      int32_t style, ColorRef textColor, ColorRef backColor, int32_t reserved1, int32_t reserved2);
bool TerSetFontSpace(TerHwnd h, int32_t fontId, int32_t spacing, int32_t reserved);
int32_t TerCreateParaId(TerHwnd h, int32_t reuseId, int32_t shared, int32_t leftIndent, int32_t rightIndent,
                        int32_t firstIndent, int32_t reserved1, int32_t reserved2, int32_t reserved3, int32_t reserved4,
                        int32_t reserved5, int32_t spaceBefore, int32_t spaceAfter, int32_t lineSpacing,
                        uint32_t flags);
bool SetTerDefaultFont(TerHwnd h, const std::string& face, int32_t pointSize, int32_t style, ColorRef color,
                       bool repaint);
bool SetTerFont(TerHwnd h, const std::string& face, bool repaint);

// Text. Font id -1 keeps the format of the previous append; paragraph id -1 keeps the
// paragraph's format. cellId 0 appends to the body's end, otherwise into that cell.
bool TerAppendText(TerHwnd h, const std::string& text, int32_t fontId, int32_t paraId, bool repaint);
bool TerAppendTextEx(TerHwnd h, const std::string& text, int32_t fontId, int32_t paraId, int32_t cellId,
                     int32_t rowFlag, bool repaint);
bool InsertTerText(TerHwnd h, const std::string& text, bool repaint);

// Tables. A new row starts with newRow = 1; otherwise the cell joins the row of prevCell.
// valueC/valueD/valueB and the reserved values are accepted without effect; borders are
// widths in twips (0 = none) in the order left, right, top, bottom; shading is a percent.
int32_t TerCreateCellId(TerHwnd h, int32_t newRow, int32_t prevCell, int32_t reserved1, int32_t valueD, int32_t valueC,
                        int32_t width, int32_t shading, int32_t borderLeft, int32_t borderRight, int32_t borderTop,
                        int32_t borderBottom, int32_t reserved2, int32_t valueB, int32_t reserved3);
bool TerSetCellInfo2(TerHwnd h, int32_t cellId, ColorRef background, int32_t reserved1, int32_t reserved2);
// Vertical alignment of the cell text was last appended to: 4096 centre, 8192 bottom,
// anything else top.
bool TerCellVertAlign(TerHwnd h, int32_t scope, int32_t align);
bool TerSetHdrRow(TerHwnd h, int32_t cellId, bool header, bool repaint);

// Caret and selection.
bool SetTerCursorPos(TerHwnd h, int32_t line, int32_t col, bool repaint);
bool GetTerCursorPos(TerHwnd h, int32_t& line, int32_t& col);
bool TerSetCaretPos(TerHwnd h, int32_t pos);  // character offset in the story; kCaretEnd = end
bool SelectTerText(TerHwnd h, int32_t line1, int32_t col1, int32_t line2, int32_t col2, bool repaint);
// Ends the selection; the caret goes back to where it was before SelectTerText unless it was
// moved since.
bool DeselectTerText(TerHwnd h, bool repaint);

// Formatting of the selection (or, without one, of the caret's paragraph / the typing format).
bool SetTerParaFmt(TerHwnd h, uint32_t flags, bool on, bool repaint);
bool SetTerCharStyle(TerHwnd h, int32_t style, bool on, bool repaint);
bool SetTerPointSize(TerHwnd h, int32_t points, bool repaint);
bool SetTerColor(TerHwnd h, ColorRef color, bool repaint);
bool TerSetCharSpace(TerHwnd h, int32_t spacing, bool repaint);
// Tab stop: type 2 right, 3 centre, 4 decimal, anything else left. A stop beyond the right
// edge of the text becomes a right-aligned stop at that edge.
bool TerSetTab(TerHwnd h, int32_t type, int32_t position, int32_t flag, bool repaint);

bool GetTerFields(TerHwnd h, TerFields& fields);
bool SetTerFields(TerHwnd h, const TerFields& fields);

// Sections. `section` -1 = every section, -2 = the caret's section, else that section.
bool TerSetMarginEx(TerHwnd h, int32_t section, int32_t left, int32_t right, int32_t reserved1, int32_t reserved2,
                    int32_t top, int32_t bottom, bool repaint);
// A new section at the end of the body with the layout, columns, header and footer of the
// last one; it continues on the same page (unless its page size or orientation differs) until
// TerSetSect2 asks for a new page. Positioning into the header or footer it took over
// (TerPosHdrFtrEx) gives the section an empty one of its own.
bool TerSectBreak(TerHwnd h, bool repaint);
bool TerColBreak(TerHwnd h, bool repaint);
bool TerPageBreak(TerHwnd h, bool repaint);
// Columns (1 or 2) and their spacing of the caret's section; `reserved` has no effect.
bool TerSetSect(TerHwnd h, int32_t columns, int32_t spacing, int32_t reserved, bool repaint);
// The four section values: columns, column spacing, new page (1) or continuous (0),
// orientation (1 portrait, 2 landscape). Negative values leave a setting unchanged.
bool TerGetSectInfo(TerHwnd h, int32_t& columns, int32_t& spacing, int32_t& newPage, int32_t& orientation);
bool TerSetSect2(TerHwnd h, int32_t columns, int32_t spacing, int32_t newPage, int32_t orientation, int32_t reserved1,
                 int32_t reserved2);
bool TerSetSectOrient(TerHwnd h, int32_t orientation, bool repaint);
int32_t TerGetSeqSect(TerHwnd h, int32_t section);
// Caret into the header (kind 17) or footer (16) of a section, created when missing.
bool TerPosHdrFtrEx(TerHwnd h, int32_t section, int32_t kind, int32_t atStart, bool repaint);
// Caret back to the body: the start (where 0) or end (otherwise) of the section.
bool TerPosBodyText(TerHwnd h, int32_t section, int32_t where, bool repaint);
// The view goes to a page (1-based; 0 and below mean the first) and the caret to its start.
bool TerPosPage(TerHwnd h, int32_t page);

// Pages: the count, and in `curPage` the caret's page (1-based), laid out as of now.
int32_t TerGetPageCount(TerHwnd h, int32_t* curPage = nullptr);
bool TerRepaginate(TerHwnd h, bool repaint);
bool TerRepaint(TerHwnd h, bool flag);
bool TerSetReadOnly(TerHwnd h, bool readOnly);
bool TerSetZoom(TerHwnd h, int32_t percent);

// Frames and pictures (sizes in twips; TerSetPictSize takes pixels of kTwipsPerPixel).
// A frame is anchored to the caret's paragraph at (x, y) from the column's left edge and the
// paragraph's top (x may be negative: a picture wider than the column, centred on it, starts
// left of it); width or height 0 takes the size of the picture put into it.
int32_t TerInsertParaFrame(TerHwnd h, int32_t x, int32_t y, int32_t width, int32_t height, int32_t border);
bool TerGetFrameSize(TerHwnd h, int32_t frameId, int32_t& x, int32_t& y, int32_t& width, int32_t& height);
// Puts a picture into a frame (frame 0: a new frame at the caret's paragraph); `format` (2
// bitmap, 3 vector) is informative. Returns the picture id, 0 on failure.
int32_t TerPastePicture(TerHwnd h, int32_t format, const Picture& picture, int32_t frameId, int32_t reserved1,
                        int32_t reserved2);
bool TerSetPictSize(TerHwnd h, int32_t pictureId, int32_t widthPixels, int32_t heightPixels);

// Picture helpers: an image as PNG, a QPicture as SVG (vector), at their natural size.
Picture PictureFromImage(const QImage& image);
Picture PictureFromQPicture(const QPicture& picture);
Picture PictureFromSvg(const std::string& svg);

// Files. 1 on success, 0 on failure. Saving writes to a temporary name, checks every write
// and renames it over the old file only when all of it was written (savefile::SaveWhole); a
// failed save leaves the old file as it was. TerLastSaveError says why the last save of
// SaveTerFile or TerPdfEnd failed (empty after a successful one).
int32_t ReadTerFile(TerHwnd h, const std::string& path);
int32_t SaveTerFile(TerHwnd h, const std::string& path);
std::string TerLastSaveError();
// Replaces the document with what its RTF (as SaveTerFile writes it) reads back as: the
// document that saving it and reading the file with ReadTerFile gives, without a file.
// 0 (document untouched) when it cannot be written or read.
int32_t TerReloadAsRtf(TerHwnd h);

// PDF, written directly from the paginated document. TerPdfStart opens a job for a file with
// its metadata (dates as ISO 8601 or "MM/dd/yyyy hh:mm:ss AP" text; empty = now) and returns
// a PDF handle; TerPdfPrintPage adds the editor's pages (-1 all, else the 1-based page);
// TerPdfEnd writes the file (temporary name, then renamed). 0 means failure.
int32_t TerPdfSetDllName(const std::string& name);
int32_t TerPdfStart(const std::string& pdfFile, int32_t& job, const std::string& author, const std::string& subject,
                    const std::string& title, const std::string& created, const std::string& modified);
int32_t TerPdfPrintPage(TerHwnd h, int32_t job, int32_t page);
int32_t TerPdfEnd(int32_t pdfHandle, int32_t job);

// Printing. With the dialog, the print dialog is shown first (through the dialog hook).
// Pages go to the printer in their own orientation when it supports per-page layout,
// otherwise landscape pages are turned onto portrait paper.
// The dialogs open on the document's paper. False when cancelled or failed; after a failure
// TerLastPrintError says why ("" after success or cancel) and the next attempt starts with a
// fresh printer, so one failure never blocks the next print.
bool TerPrint2(TerHwnd h, bool dialog, int32_t reserved1, int32_t reserved2, int32_t reserved3, int32_t reserved4);
std::string TerLastPrintError(TerHwnd h);

// Commands: TerMenuSelect answers kMenuChecked for a toggle that is on, else 0.
int32_t TerMenuSelect(TerHwnd h, int32_t command);
bool TerCommand(TerHwnd h, int32_t command);

// Dialogs of the print commands (print, page setup, print setup, print preview). Tests
// install a hook so that no window opens; the hook answers whether the user accepted.
enum class PrintDialogKind { Print, PageSetup, PrintSetup, Preview };
using PrintDialogHook = std::function<bool(PrintDialogKind, QPrinter&, TerHwnd)>;
void SetPrintDialogHook(PrintDialogHook hook);  // empty: the Qt dialogs

}  // namespace richtext
