// The page a report is laid out on, from what the default printer reports: its sheet, the
// unprintable borders and the printable area. Margins are at least half an inch and at least
// the border of their side; the text area is the printable area less what the margins take
// beyond the borders.
#pragma once

#include <cstdint>
#include <optional>

namespace reports {

// What a printer reports. Sheet in twips; the rest in device pixels of the given size.
struct PrinterCaps {
  int32_t pageWidth = 12240;  // twips, as the printer holds the sheet
  int32_t pageHeight = 15840;
  double twipsPerPixelX = 2.4;
  double twipsPerPixelY = 2.4;
  int32_t offsetX = 0;  // physical offset of the printable area, pixels
  int32_t offsetY = 0;
  int32_t physicalWidth = 0;  // whole sheet, pixels
  int32_t physicalHeight = 0;
  int32_t horzRes = 0;  // printable area, pixels
  int32_t vertRes = 0;
};

struct Margins {
  int32_t left = 720;
  int32_t right = 720;
  int32_t top = 720;
  int32_t bottom = 720;
  bool operator==(const Margins&) const = default;
};

struct PageGeometry {
  int32_t pageWidth = 12240;  // twips, portrait (width <= height)
  int32_t pageHeight = 15840;
  Margins margins;
  int32_t textWidth = 10800;
  int32_t textHeight = 14400;
  bool operator==(const PageGeometry&) const = default;
};

// The machine without a printer: US Letter with 0.25-inch unprintable borders, so margins of
// half an inch and a text area of 10800 x 14400 twips.
PrinterCaps NoPrinterCaps();

// The geometry from a printer's answers; a printer that holds the sheet in landscape gives a
// portrait page with the borders turned with it.
PageGeometry ComputePageGeometry(const PrinterCaps& caps);

// The default printer's answers; none when there is no printer.
std::optional<PrinterCaps> DefaultPrinterCaps();

}  // namespace reports
