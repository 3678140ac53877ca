// What the economic table sections share: a table as a grid of cell texts built from the
// result records first (plain values, testable without a document), then written cell by
// cell; the lead text; the detail-table pattern of the energy cost, energy use and cash
// flow sections; the number texts and the range checks of what CAL.DAT holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/storage/result_records.h"

class clsReport;

namespace reports::econ {

// Alignment codes of clsReport::WriteCellData.
inline constexpr int32_t kLeft = 1024;
inline constexpr int32_t kRight = 2;
inline constexpr int32_t kCentre = 0;
// Whole numbers with digit groups: money (no unit conversion) and energy.
inline constexpr const char* kWhole = "###,###,###,##0";

// One cell: its text, width in twips and alignment code. `header` marks its row as a table
// header row, repeated at the top of every page the table continues on: only the leading
// rows of a table carry it. `bold` writes the text bold without that (group and total rows).
struct Cell {
  std::string text;
  int32_t width = 0;
  int32_t align = kCentre;
  bool header = false;
  bool bold = false;
  bool operator==(const Cell&) const = default;
};
using Row = std::vector<Cell>;
using Grid = std::vector<Row>;

// A money amount or energy value, rounded to whole units, with digit groups ("-1,234").
std::string Whole(double value);

// The alternatives of the run, 0..4; any other count raises error 9.
int CheckedSystemCount(int16_t nNumSystems);
// An alternative number of a comparison, 1..nNumSystems; anything else raises error 9.
int CheckedSystem(int16_t index, int nSystems, const char* what);

// Writes the rows of a grid, every cell with its four borders; the last cell of each row
// ends it. False when a cell could not be written (its box has been shown).
bool WriteGrid(clsReport& report, const Grid& grid);

// The lead text of the report options (trimmed, cut at a NUL) as a centred paragraph of its
// own at the document end; nothing for an empty text.
bool WriteLeadText(clsReport& report);

// A numbered table: the section number counted up, the bold heading "n.  heading", the
// grid kept on one page (or, for an empty grid, the plain line `emptyNotice`), then the
// plain line `after`.
bool WriteNumberedTable(clsReport& report, int32_t& section, const std::string& heading, const Grid& grid,
                        const std::string& emptyNotice, const std::string& after);

// One alternative's detail table: `spacerFirst` writes the spacer line before the table
// start (energy tables: the line of character 15; the cash flow: an empty line after the
// table start), then the bold title "i.  <lead words> [name]", the rows, and the table kept
// on one page unless `keep` is false (an empty line follows instead).
bool WriteDetailTable(clsReport& report, int alternative, const std::string& leadWords, const std::string& systemName,
                      const Grid& grid, bool spacerFirst, bool keep);

// ---- the grids of the sections (pure: from the records and the unit system in force) ----

// The money prefix: "$" when the trimmed currency is "$", else "" (the unit then stands
// only in the labels).
std::string MoneyPrefix(const std::string& currency);
// "(A) name" for alternative i.
std::string SystemHeader(int i, const std::string& systemName);

// Comparative data of the comparisons 1..n-1 (n >= 2): base, challenger and winner rows
// (header rows), then the savings, rate of return and payback rows.
Grid ComparativeDataGrid(const EconSummaryData& summary, const vb::Array<SystemEconData, 1, 4>& systems);
// Cost and energy use details: a column per alternative, with savings and percentage
// savings when there are exactly two; the life-cycle rows for cost calculation type 2; the
// heat-recovery rows when `heatRecovery`.
Grid CostAndEnergyUseGrid(const EconSummaryData& summary, const vb::Array<SystemEconData, 1, 4>& systems,
                          int16_t typeOfCostCalcs, bool heatRecovery);
// The twelve months of one alternative's energy costs with their totals.
Grid EnergyCostGrid(const SystemEconData& system, const std::string& currency);
// The twelve months of one alternative's cooling load and energy use with their totals.
Grid EnergyUseGrid(const SystemEconData& system, const std::string& gasUnit, const std::string& steamUnit);
// Years 0..nYears of one alternative's cash flow with their totals (nYears above 50 raises
// error 9; a negative count gives no year rows).
Grid CashFlowGrid(const SystemEconData& system, const std::string& currency, int nYears);

}  // namespace reports::econ
