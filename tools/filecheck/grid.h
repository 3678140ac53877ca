// The result grid of the checker as plain data: row 0 holds the column headers, the data
// rows follow. The window, the report file and the printout all read it.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace checker {

enum Column : int {
  kColNumber = 0,
  kColName = 1,
  kColStatus = 2,
  kColPath = 3,
  kColVersionFound = 4,
  kColVersionShipped = 5,
  kColOriginalSize = 6,
  kColCurrentSize = 7,
  kColSection = 8,
};
inline constexpr int kColumnCount = 9;
// The first three columns are fixed (they stay in view); right alignment applies on paper
// only to columns that are not fixed.
inline constexpr int kFixedColumns = 3;

inline constexpr std::array<const char*, kColumnCount> kColumnHeaders = {
    "File #",        "Name",         "Status",          "Path", "Version Found", "Version Shipped",
    "Original Size", "Current Size", "CRC File Section"};
inline constexpr std::array<bool, kColumnCount> kRightAligned = {true,  false, false, false, false,
                                                                 false, true,  true,  false};

using GridRow = std::array<std::string, kColumnCount>;
using Grid = std::vector<GridRow>;

}  // namespace checker
