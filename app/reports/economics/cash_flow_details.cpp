// Cash flow details: per alternative the years of the study period with the investment,
// operating, actual-value and present-worth costs, and the column totals (landscape).
#include "app/reports/clsReport.h"
#include "app/reports/economics/econ_tables.h"
#include "app/reports/report_strings.h"
#include "app/resources/TextCatalog.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

namespace reports::econ {

Grid CashFlowGrid(const SystemEconData& s, const std::string& currency, int nYears) {
  if (nYears > 50)
    vb::Raise(vb::kSubscriptOutOfRange,
              "The study period of " + std::to_string(nYears) + " years is longer than 50 years.");
  const std::string unit = " " + modpublic::Parenthesize(vb::Trim(modpublic::TrimNull(currency)));
  constexpr int32_t kYearWidth = 600, kValueWidth = 1250;
  using Years = vb::Array<double, 0, 50>;
  const Years* columns[] = {&s.dInvestPrincipal, &s.dInvestInterest, &s.dInvestOther,  &s.dInvestTotal,
                            &s.dEnergyByYear,    &s.dMaintByYear,    &s.dOpCostByYear, &s.dTotalCostByYear,
                            &s.dInvestTotalPW,   &s.dOpCostTotalPW,  &s.dTotalCostPW};
  const char* labels[] = {"Loan Principal",        "Loan Interest",        "Other Investment",     "Total Investment",
                          "Energy + Fuel",         "Maintenance",          "Total Operating Cost", "Actual Value",
                          "Total Investment Cost", "Total Operating Cost", "Total Present Worth"};
  Grid g;
  // The groups above the columns: investment 1-4, operating 5-7, total 8, present worth 9-11.
  g.push_back({{"", kYearWidth, kCentre, true},
               {textcatalog::GetString(kTxtInvestmentCosts), 4 * kValueWidth, kCentre, true},
               {"Operating Costs (Actual Value)", 3 * kValueWidth, kCentre, true},
               {"Total", kValueWidth, kCentre, true},
               {"Present Worth Costs", 3 * kValueWidth, kCentre, true}});
  Row head{{"Year", kYearWidth, kLeft, true}};
  for (const char* label : labels) head.push_back({label + unit, kValueWidth, kCentre, true});
  g.push_back(std::move(head));
  for (int y = 0; y <= nYears; ++y) {
    Row r{{std::to_string(y), kYearWidth, kCentre, false, true}};
    for (const Years* column : columns) r.push_back({Whole((*column)(y)), kValueWidth, kCentre});
    g.push_back(std::move(r));
  }
  Row total{{"Total", kYearWidth, kCentre, false, true}};
  for (int i = 1; i <= 11; ++i) total.push_back({Whole(s.CashFlowTotals(i)), kValueWidth, kRight, false, true});
  g.push_back(std::move(total));
  return g;
}

}  // namespace reports::econ

using namespace reports::econ;

bool clsReport::RptCashFlowDetails0() {
  return modpublic::RunGuarded(ErrorSource("RptCashFlowDetails0"), "", ui::kExclamation, [&] {
    const int n = CheckedSystemCount(m_EconSummary.nNumSystems);
    const int nYears = m_EconSummary.nLifeCycleYears;
    // Every table is checked before the first is written.
    std::vector<Grid> grids;
    for (int i = 1; i <= n; ++i) grids.push_back(CashFlowGrid((*m_SystemEcon)(i), m_EconSummary.sCurrency, nYears));
    if (!WriteLeadText(*this) || !WriteTextLine("")) return false;
    for (int i = 1; i <= n; ++i) {
      const std::string name = vb::Trim(modpublic::TrimNull((*m_SystemEcon)(i).sSystemName));
      // The first table may run over several pages; the later ones are kept on one.
      if (!WriteDetailTable(*this, i, textcatalog::GetString(reports::kTxtCashFlowDetailsFor), name,
                            grids[static_cast<size_t>(i - 1)], false, i > 1))
        return false;
    }
    return true;
  });
}
