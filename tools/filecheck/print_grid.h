// The printout of the results grid through Qt: landscape, a monospaced 8-point font, the two
// header lines on every page, positions in twips mapped to the device by its resolution.
#pragma once

#include <ctime>
#include <string>

#include "tools/filecheck/grid.h"

class QPrinter;

namespace report {

// Prints the grid on the printer (already set to a device or a PDF file). Returns false with
// an error text when the device cannot be opened or a page cannot be started.
bool PrintGrid(QPrinter& printer, const checker::Grid& grid, const std::tm& now, const std::string& osName,
               const std::string& listFile, std::string& error);

}  // namespace report
