// The paginator: lays a document out on pages (twips) and paints a laid-out page. The same
// layout drives the page view, printing and PDF, so the three agree page for page.
//
// Rules: Liberation Sans stands in for Arial (same metrics); lines are broken with
// QTextLayout; tables are laid out from their cells' widths (scaled down when wider than the
// column); leading header rows repeat at the top of each page or column a table continues on
// (unless together they take more than half of it); a row taller than the page splits line by
// line, its cells continuing on the next page below the repeated header rows;
// keep-with-next chains and keep-together paragraphs move to the next page unless they are
// taller than a page; each section has its own page size, orientation, margins, one or two
// columns, header and footer; the PAGE field shows the page number.
#pragma once

#include <QLineF>
#include <QRectF>

#include <memory>
#include <variant>
#include <vector>

#include "platform/richtext/model.h"

class QPainter;
class QTextLayout;

namespace richtext {

struct DrawText {  // one line of a laid-out paragraph
  std::shared_ptr<QTextLayout> layout;
  int line = 0;
  QPointF origin;     // where the layout's origin goes on the page
  int bodyLine = -1;  // the API line of its body paragraph; -1 in headers and footers
};
struct DrawFill {
  QRectF rect;
  ColorRef color = 0;
};
struct DrawLine {
  QLineF line;
  double width = 10;
};
struct DrawPicture {
  QRectF rect;
  std::shared_ptr<const Picture> picture;
};
using DrawItem = std::variant<DrawText, DrawFill, DrawLine, DrawPicture>;

struct PageLayout {
  int32_t width = 12240;  // twips, as the page is shown (landscape: width > height)
  int32_t height = 15840;
  int section = 0;  // the section whose page this is (header, footer, orientation)
  std::vector<DrawItem> items;
  bool landscape() const { return width > height; }
};

struct Layout {
  std::vector<PageLayout> pages;
  // 0-based page of every body paragraph, in the API's line order (cell paragraphs included).
  std::vector<int> linePage;
  // 0-based first page of every section.
  std::vector<int> sectionFirstPage;
};

// Paragraphs measured by earlier paginations of a document, kept so that repaginating a
// document that changed a little (the editor repaginates while a report is being built) lays
// out only the paragraphs that are new. A paragraph is looked up by its whole contents and the
// width it is laid out in, so a hit gives exactly the lines a fresh measurement would.
// Entries that a pagination did not use are dropped at its end.
class LayoutCache {
 public:
  LayoutCache();
  ~LayoutCache();
  LayoutCache(const LayoutCache&) = delete;
  LayoutCache& operator=(const LayoutCache&) = delete;

  struct Impl;
  std::unique_ptr<Impl> impl;
};

// Without a cache every paragraph is measured afresh; with one, paragraphs measured before
// (by this or an earlier pagination) are taken from it.
Layout Paginate(const Document& doc);
Layout Paginate(const Document& doc, LayoutCache& cache);

// Paints a page with the painter's coordinates in twips (origin at the page's top left).
void PaintPage(QPainter& painter, const PageLayout& page);

// The installed face used for a document face ("Arial" -> "Liberation Sans", ...).
QString LayoutFace(const std::string& face);

}  // namespace richtext
