// The economic table sections on the results of a two-plant economic calculation, run as
// the body of the economic report run on CAL.DAT: what each table shows, checked against the
// records by hand-made sums, and the pages saved as PDF to be looked at.
#include <cmath>

#include "app/reports/economics/tests/econ_fixture.h"
#include "app/storage/modpublic.h"
#include "libs/units/clsUnits.h"
#include "libs/vb/vbcompat.h"

namespace econtest {
namespace {

using reports::econ::Whole;

class TwoPlants : public EconReportTest {
 protected:
  const EconRun& run = TwoPlantRun();
  const SystemEconData& A() { return (*run.systems)(1); }
  const SystemEconData& B() { return (*run.systems)(2); }
  // The row of a table whose first cell is `label`.
  std::vector<std::string> RowOf(size_t table, const std::string& label) {
    for (const auto& r : CellTexts(table))
      if (!r.empty() && r[0] == label) return r;
    ADD_FAILURE() << "no row " << label;
    return {};
  }
};

TEST_F(TwoPlants, TheRunComparesTwoPlantsOverTwentyYears) {
  ASSERT_EQ(run.econ.nNumSystems, 2);
  EXPECT_EQ(run.econ.nLifeCycleYears, 20);
  EXPECT_EQ(vb::Trim(A().sSystemName), "Plant A");
  EXPECT_EQ(vb::Trim(B().sSystemName), "Plant B");
  // The annual energy cost is the sum of its components (no heating, no fuel here).
  for (const SystemEconData* s : {&A(), &B()})
    EXPECT_NEAR(s->dEnergyCost(10),
                s->dChillerElecCost + s->dFuelCost + s->dTowerElecCost + s->dChwPumpElecCost + s->dCwPumpElecCost,
                1e-6);
  EXPECT_GT(A().dEnergyCost(10), 0);
}

TEST_F(TwoPlants, EconomicSummary) {
  int32_t section = 0;
  ASSERT_TRUE(RunSection(run.econ, *run.systems, 2, "Chiller Economic Summary", 1,
                         [&] { return report->RptEconomicSummary0(section); }));
  EXPECT_EQ(section, 2);
  ASSERT_EQ(Tables().size(), 2u);
  const EconCaseData& c = run.econ.Cases(1);
  const int base = c.nBaseSystem, challenger = c.nChallengerSystem;
  const SystemEconData& b = (*run.systems)(base);
  const SystemEconData& ch = (*run.systems)(challenger);
  EXPECT_EQ(RowOf(0, "Base Case")[1], "(" + modpublic::GetLetter(base, true) + ") " + vb::Trim(b.sSystemName));
  EXPECT_EQ(RowOf(0, "Annual Energy Cost Savings ")[1], "$" + Whole(b.dEnergyCost(10) - ch.dEnergyCost(10)));
  EXPECT_EQ(RowOf(0, "Annual OpCost Savings ")[1], "$" + Whole(b.dOpCost(10) - ch.dOpCost(10)));
  EXPECT_EQ(RowOf(0, "Net Present Worth Savings ")[1], "$" + Whole(c.dNPW));
  EXPECT_EQ(RowOf(0, "Internal Rate of Return (%)")[1], c.fIRR == -1 ? "n/a" : vb::Format(c.fIRR, "0.0") + " %");
  // The three leading rows are the table's header rows, the body rows are not.
  EXPECT_EQ(HeaderRows(0), (std::vector<bool>{true, true, true, false, false, false, false, false, false}));

  // Details: savings = A - B, percentage of A; the total present worth is the life-cycle cost.
  const auto pw = RowOf(1, "     Total Present Worth ($)");
  EXPECT_EQ(pw[1], "$" + Whole(A().dLifeCycleCost));
  EXPECT_EQ(pw[2], "$" + Whole(B().dLifeCycleCost));
  const double s = A().dLifeCycleCost - B().dLifeCycleCost;
  EXPECT_EQ(pw[3], s >= 0 ? "$" + Whole(s) : "($" + Whole(-s) + ")");
  EXPECT_EQ(pw[4], vb::Format(s * 100 / A().dLifeCycleCost, "###,###,###,##0") + "%");
  const auto elec = RowOf(1, "     Total Electric (kWh/yr)");
  EXPECT_EQ(elec[1], Whole(A().dTotalKWh));
  const double e = A().dTotalKWh - B().dTotalKWh;
  EXPECT_EQ(elec[3], e >= 0 ? Whole(e) : "(" + Whole(-e) + ")");
  EXPECT_EQ(RowOf(1, "     Chillers (kWh/yr)")[2], Whole(B().dChillerKWh));
  // Only the alternatives' header row repeats on a new page; the group rows are bold rows.
  const auto headers = HeaderRows(1);
  ASSERT_FALSE(headers.empty());
  EXPECT_TRUE(headers[0]);
  for (size_t r = 1; r < headers.size(); ++r) EXPECT_FALSE(headers[r]) << r;
  SavePdf("EconomicSummary.pdf");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(TwoPlants, EnergyCostDetails) {
  ASSERT_TRUE(
      RunSection(run.econ, *run.systems, 2, "Energy Cost Details", 1, [&] { return report->RptEnergyCostDetails0(); }));
  ASSERT_EQ(Tables().size(), 2u);
  for (size_t t = 0; t < 2; ++t) {
    const SystemEconData& s = (*run.systems)(static_cast<int>(t) + 1);
    const auto rows = CellTexts(t);
    ASSERT_EQ(rows.size(), 14u);
    EXPECT_EQ(rows[0][1], "Electric Energy Use (kWh)");
    EXPECT_EQ(rows[0][8], "Total Energy Cost ($)");
    EXPECT_EQ(rows[7][0], "Jul");
    EXPECT_EQ(rows[7][1], Whole(s.dMonthKWh(7)));
    double kWh = 0, demandCost = 0;
    for (int m = 1; m <= 12; ++m) {
      kWh += s.dMonthKWh(m);
      demandCost += s.dMonthDemandCharge(m);
    }
    const auto& total = rows[13];
    EXPECT_EQ(total[0], "Total");
    EXPECT_EQ(total[1], Whole(kWh));
    EXPECT_EQ(total[3], "-");
    EXPECT_EQ(total[4], Whole(demandCost));
    EXPECT_EQ(total[8], Whole(s.dEnergyCost(10)));
    EXPECT_EQ(HeaderRows(t), (std::vector<bool>{true, false, false, false, false, false, false, false, false, false,
                                                false, false, false, false}));
  }
  SavePdf("EnergyCostDetails.pdf");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(TwoPlants, EnergyUseDetails) {
  ASSERT_TRUE(
      RunSection(run.econ, *run.systems, 2, "Energy Use Details", 1, [&] { return report->RptEnergyUseDetails0(); }));
  ASSERT_EQ(Tables().size(), 2u);
  const auto texts = BodyTexts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "2.  Energy Use Details for [Plant B]"), texts.end());
  for (size_t t = 0; t < 2; ++t) {
    const SystemEconData& s = (*run.systems)(static_cast<int>(t) + 1);
    const auto rows = CellTexts(t);
    ASSERT_EQ(rows.size(), 14u);
    EXPECT_EQ(rows[0][1], "Total System Cooling Load (Ton-hrs)");
    EXPECT_EQ(rows[0][7], "Natural Gas Use (therm)");
    double tonHours = 0;
    for (int m = 1; m <= 12; ++m) tonHours += s.dMonthTonHours(m);
    const auto& total = rows[13];
    EXPECT_EQ(total[0], "Total");
    EXPECT_EQ(total[1], Whole(tonHours));
    EXPECT_EQ(total[2], Whole(s.dChillerKWh));
    EXPECT_EQ(total[5], Whole(s.dTowerKWh));
    EXPECT_EQ(total[6], Whole(s.dTotalKWh));
  }
  SavePdf("EnergyUseDetails.pdf");
  EXPECT_TRUE(host.messages.empty());
}

// In SI only the cooling load changes (ton-hours to kWh); the energy columns stay kWh.
TEST_F(TwoPlants, EnergyUseDetailsInSI) {
  modpublic::gUnits.CurrentUnitOfMeasure(nMETRIC);
  const bool ok =
      RunSection(run.econ, *run.systems, 2, "Energy Use Details", 1, [&] { return report->RptEnergyUseDetails0(); });
  const auto rows = CellTexts(0);
  SavePdf("EnergyUseDetails_SI.pdf");
  modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
  ASSERT_TRUE(ok);
  ASSERT_EQ(rows.size(), 14u);
  EXPECT_EQ(rows[0][1], "Total System Cooling Load (kWh)");
  EXPECT_EQ(rows[0][2], "Chillers (kWh)");
  EXPECT_EQ(rows[1][1], Whole(A().dMonthTonHours(1) * 3.516853));
  EXPECT_EQ(rows[13][6], Whole(A().dTotalKWh));
}

TEST_F(TwoPlants, CashFlowDetails) {
  ASSERT_TRUE(
      RunSection(run.econ, *run.systems, 2, "Cash Flow Details", 2, [&] { return report->RptCashFlowDetails0(); }));
  ASSERT_EQ(Tables().size(), 2u);
  for (size_t t = 0; t < 2; ++t) {
    const SystemEconData& s = (*run.systems)(static_cast<int>(t) + 1);
    const auto rows = CellTexts(t);
    ASSERT_EQ(rows.size(), 2u + 21u + 1u);
    EXPECT_EQ(rows[0].size(), 5u);
    EXPECT_EQ(rows[1][11], "Total Present Worth ($)");
    EXPECT_EQ(rows[2][0], "0");
    EXPECT_EQ(rows[2][7], Whole(s.dOpCostByYear(0)));
    EXPECT_EQ(rows[12][1], Whole(s.dInvestPrincipal(10)));
    const auto& total = rows.back();
    EXPECT_EQ(total[0], "Total");
    // The totals are the sums of the years (checked here) as the calculation stored them.
    for (int i = 1; i <= 11; ++i) EXPECT_EQ(total[static_cast<size_t>(i)], Whole(s.CashFlowTotals(i))) << i;
    double pw = 0;
    for (int y = 0; y <= 20; ++y) pw += s.dTotalCostPW(y);
    EXPECT_NEAR(pw, s.dLifeCycleCost, 1e-6);
    // Only the two leading rows are header rows: the years are not repeated on a new page.
    std::vector<bool> expected(rows.size(), false);
    expected[0] = expected[1] = true;
    EXPECT_EQ(HeaderRows(t), expected);
  }
  // Plant A's loan: the principal repaid over ten years is the loan.
  double principal = 0;
  for (int y = 0; y <= 20; ++y) principal += A().dInvestPrincipal(y);
  EXPECT_NEAR(principal, 500000, 1e-6);
  SavePdf("CashFlowDetails.pdf");
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace econtest
