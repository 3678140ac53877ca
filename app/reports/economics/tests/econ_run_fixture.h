// Fixtures of the economic report tests: economic results small enough to check by hand, and
// the default project's two plants through the economic calculation.
#pragma once

#include <memory>

#include "app/reports/economics/economic_graphs.h"
#include "app/reports/tests/report_fixture.h"

namespace econruntest {

using reports::economics::SystemEconArray;

// Two alternatives over two years (values in the records' own units):
//   A "Plant A": investment 1000 / 0 / 0, energy 0 / 300 / 300, maintenance 0 / 50 / 50;
//                months: energy cost 1234.4 in January, 100 x m otherwise; kWh 1000 x m;
//                annual energy cost 12,000, cooling system efficiency 0.650;
//   B "Plant B": investment 1500 / 0 / 0, energy 0 / 200 / 200, maintenance 0 / 60 / 60;
//                months: energy cost 1234.6 in January, 90 x m otherwise; kWh 900 x m;
//                annual energy cost 10,000, cooling system efficiency 0.550.
// Comparison 1: B (challenger) against A (base). Bins 1..20 at 100 F down in 5 F steps (21..24
// empty), loads 100 x b ton-hours, bin efficiencies the annual one - 0.1 + b / 100.
struct Results {
  EconSummaryData summary;
  std::unique_ptr<SystemEconArray> systems = std::make_unique<SystemEconArray>();
};
Results HandResults();

// Writes the results as CAL.DAT and the options as RPT.DAT into the scratch folder.
void WriteResults(const Results& results, const ReportData& options);

// Report options of an economic run: the given switches on, everything else off.
ReportData Options(int16_t typeOfCostCalcs);

class EconReportTest : public reporttest::ReportTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  bool Has(const std::string& text);
  // The titles of the document's sections as their headers show them.
  std::vector<std::string> SectionTitles();
  // Pictures in the body (inline and in frames): their sizes in twips.
  std::vector<std::pair<int32_t, int32_t>> Pictures();
  std::string FirstMessage() const { return host.messages.empty() ? "" : host.messages[0].text; }
};

}  // namespace econruntest
