// Fixtures of the economic table tests: the results of a two-plant economic calculation
// (computed once per test program by the real calculation), hand-made result records, and
// a report test that runs one section as the economic run's body on CAL.DAT.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/reports/economics/econ_tables.h"
#include "app/reports/tests/report_fixture.h"
#include "app/storage/result_records.h"

namespace econtest {

using Systems = vb::Array<SystemEconData, 1, 4>;

struct EconRun {
  PLVSummaryData summary;
  EconSummaryData econ;
  std::unique_ptr<Systems> systems = std::make_unique<Systems>();
};

// Two plants of two 600-ton chillers with their own towers (A with equal unloading and a
// loan, B sequenced, dearer, with more maintenance) over 24 bins spread across the year, 20 years at
// 7 %, $, electricity 0.12 $/kWh and 15 $/kW, as the economic calculation leaves them in
// CAL.DAT. Computed on first use.
const EconRun& TwoPlantRun();

// A report test whose sections run as the body of the economic report run on CAL.DAT.
class EconReportTest : public reporttest::ReportTest {
 protected:
  void SetUp() override;
  // Writes RPT.DAT (economic, cost calculation type, lead text) and CAL.DAT of the records
  // into the scratch folder, then runs the economic report run with `body` inside one
  // sub-report of that title and orientation; a failed body is followed by its error line,
  // as in the combined run. The result is the body's.
  bool RunSection(const EconSummaryData& econ, const Systems& systems, int16_t costType, const std::string& title,
                  int32_t orientation, const std::function<bool()>& body, const std::string& leadText = "");
  // Saves the document as PDF in the working folder (kept when REPORTS_KEEP_OUTPUT is set)
  // and returns its path.
  std::string SavePdf(const std::string& name);
  // The cell texts of table t of the document, row by row.
  std::vector<std::vector<std::string>> CellTexts(size_t t);
  // Row flags of table t: header rows, as the document holds them.
  std::vector<bool> HeaderRows(size_t t);
  bool ran = false;
};

// The texts of a grid, row by row.
std::vector<std::vector<std::string>> Texts(const reports::econ::Grid& grid);

}  // namespace econtest
