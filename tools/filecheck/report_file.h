// The numbered report file crcNNN.txt and the print layout of the grid.
#pragma once

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "tools/filecheck/grid.h"

namespace report {

// The two header lines of the report and the printout.
// "Tolvane 32-Bit File Integrity Verification mm-dd-yyyy, hh:mm AM"
std::string TitleLine(const std::tm& now);
// "Running under <os> with file <list file>"
std::string RunningLine(const std::string& osName, const std::string& listFile);

// The report text, every line ended CR LF: the title line, the running line, an empty line,
// a line about the list when there is one to say (why it could not be read, or that its
// completeness could not be checked), then one line per grid row (header row first) with the
// trimmed texts of columns 0 to 7 each followed by a TAB.
std::string ReportFileText(const checker::Grid& grid, const std::tm& now, const std::string& osName,
                           const std::string& listFile, const std::string& listRemark);

// The number after the largest "crcNNN.txt" in the folder (any case, three digits or more;
// other names are skipped): 1 for a folder without reports.
long long NextReportNumber(const std::string& folder);

// "crc" + the number with at least three digits + ".txt".
std::string ReportFileName(long long number);

// Writes the text to the next free crcNNN.txt of the folder (empty folder: the current
// one). The file is created exclusively, so an existing report is never overwritten.
struct Written {
  bool ok = false;
  std::string path;   // the file written
  std::string error;  // why it could not be written
};
Written WriteReportFile(const std::string& folder, const std::string& text);

// The printout of the grid, in twips from the top left corner of the printable area.
struct PrintText {
  int page = 0;
  int x = 0;
  int y = 0;
  std::string text;
  bool bold = false;
};

// Column widths for the printout: the widest trimmed cell text of each column (header row
// included) + 200. textWidth gives a text's width in twips in the 8-point print font.
template <typename TextWidth>
std::vector<int> MeasurePrintColumns(const checker::Grid& grid, TextWidth textWidth);

// The cells of columns 0 to 7 placed on pages: data from y = 1440, columns at
// 720 + the sum of (width + 200) of the earlier columns, columns 6 and 7 right-aligned
// (the fixed columns keep left alignment), bold for row 0 and column 0. After a row, a new
// page starts when y + 2000 passes the page height; else y grows by rowStep.
template <typename TextWidth>
std::vector<PrintText> LayoutPrint(const checker::Grid& grid, const std::vector<int>& widths, TextWidth textWidth,
                                   int rowStep, int pageHeight);

std::string TrimCell(const std::string& s);

template <typename TextWidth>
std::vector<int> MeasurePrintColumns(const checker::Grid& grid, TextWidth textWidth) {
  std::vector<int> widths(checker::kColumnCount, 0);
  for (int c = 0; c < checker::kColumnCount; ++c) {
    int w = 0;
    for (const auto& row : grid) w = std::max(w, static_cast<int>(textWidth(TrimCell(row[c]))));
    widths[c] = w + 200;
  }
  return widths;
}

template <typename TextWidth>
std::vector<PrintText> LayoutPrint(const checker::Grid& grid, const std::vector<int>& widths, TextWidth textWidth,
                                   int rowStep, int pageHeight) {
  std::vector<PrintText> out;
  int page = 0;
  int y = 1440;
  for (size_t r = 0; r < grid.size(); ++r) {
    int left = 0;
    for (int c = 0; c < checker::kColumnCount - 1; ++c) {
      const std::string text = TrimCell(grid[r][c]);
      int x = 720 + left;
      if (c + 1 > checker::kFixedColumns && checker::kRightAligned[c])
        x = 720 + left + widths[c] - static_cast<int>(textWidth(text));
      out.push_back({page, x, y, text, r == 0 || c == 0});
      left += widths[c] + 200;
    }
    if (y + 2000 > pageHeight) {
      ++page;
      y = 1440;
    } else {
      y += rowStep;
    }
  }
  return out;
}

}  // namespace report
