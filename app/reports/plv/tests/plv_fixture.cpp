#include "app/reports/plv/tests/plv_fixture.h"

#include <algorithm>

#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"

namespace plvtest {

void PLVTableTest::SetUp() {
  ReportTest::SetUp();
  options.ReportType = 2;
  options.nEfficiencyInput = 0;
  modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
}

void PLVTableTest::TearDown() {
  modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
  ReportTest::TearDown();
}

void PLVTableTest::Units(UnitOfMeasure units) { modpublic::gUnits.CurrentUnitOfMeasure(units); }

void PLVTableTest::Load(const PLVProfileData& profile, const PLVSummaryData& summary, int32_t orientation) {
  ASSERT_TRUE(modDataIO::bReportsWrite(options));
  ASSERT_TRUE(modDataIO::bCalcWriteHeaderData());
  ASSERT_TRUE(modDataIO::bCalcWritePLVData(summary, profile));
  ASSERT_TRUE(report->ReadRunResults());
  ASSERT_TRUE(report->InitReportDocument(orientation, true));
  int32_t n = 0;
  ASSERT_TRUE(report->BeginNewReport("TEST", orientation, n, true));
}

std::vector<std::string> PLVTableTest::Row(size_t t, size_t r) {
  std::vector<std::string> out;
  const auto tables = Tables();
  if (t >= tables.size() || r >= tables[t]->rows.size()) return out;
  for (const richtext::Cell& c : tables[t]->rows[r].cells) {
    std::string s;
    for (size_t i = 0; i < c.paragraphs.size(); ++i) s += (i ? "\n" : "") + reporttest::TextOf(c.paragraphs[i]);
    out.push_back(s);
  }
  return out;
}

size_t PLVTableTest::RowCount(size_t t) {
  const auto tables = Tables();
  return t < tables.size() ? tables[t]->rows.size() : 0;
}

bool PLVTableTest::Has(const std::string& text) { return IndexOf(text) >= 0; }

bool PLVTableTest::Contains(const std::string& part) {
  for (const auto& s : BodyTexts())
    if (s.find(part) != std::string::npos) return true;
  return false;
}

long PLVTableTest::IndexOf(const std::string& text) {
  const auto texts = BodyTexts();
  const auto it = std::find(texts.begin(), texts.end(), text);
  return it == texts.end() ? -1 : static_cast<long>(it - texts.begin());
}

}  // namespace plvtest
