// Shared fixture of the part-load table tests: the report fixture with a part-load result
// written to CAL.DAT and read by the report object, a document ready for sections, and
// readers of the tables the sections wrote.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/reports/tests/report_fixture.h"
#include "app/storage/result_records.h"
#include "app/storage/scratch_records.h"
#include "libs/units/clsUnits.h"

namespace plvtest {

class PLVTableTest : public reporttest::ReportTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Writes RPT.DAT and CAL.DAT sections A and B and reads them into the report object, with
  // a fresh document in the orientation given.
  void Load(const PLVProfileData& profile, const PLVSummaryData& summary, int32_t orientation = 1);
  void Units(UnitOfMeasure units);
  // The cell texts of row r of table t (0-based, in document order).
  std::vector<std::string> Row(size_t t, size_t r);
  size_t RowCount(size_t t);
  // Whether some body paragraph or cell reads exactly / contains the text.
  bool Has(const std::string& text);
  bool Contains(const std::string& part);
  // Index of the first body text that reads exactly text (-1 when none).
  long IndexOf(const std::string& text);

  ReportData options;
};

}  // namespace plvtest
