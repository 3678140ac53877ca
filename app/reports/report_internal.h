// Helpers shared by the report object's source files (not part of its interface).
#pragma once

#include <string>

#include "app/reports/clsReport.h"
#include "platform/ui/ui.h"

namespace reports::detail {

inline constexpr char kParaEnd = '\x15';     // ends a paragraph
inline constexpr char kCellEnd = '\x13';     // ends a table cell
inline constexpr char kRowEnd = '\x12';      // ends a table row
inline constexpr char kColumnMark = '\x0f';  // stands before a column break
inline constexpr const char* kCrLf = "\r\n";

}  // namespace reports::detail

// Freezes the painting of the viewer bound to the document for its lifetime (the document
// is built without a repaint per call) and repaints it once at the end.
class clsReport::PaintingFrozen {
 public:
  explicit PaintingFrozen(richtext::TerHwnd h);
  ~PaintingFrozen();
  PaintingFrozen(const PaintingFrozen&) = delete;
  PaintingFrozen& operator=(const PaintingFrozen&) = delete;

 private:
  richtext::TerHwnd h_;
  richtext::Editor* editor_ = nullptr;
  richtext::EditorView* view_ = nullptr;
};
