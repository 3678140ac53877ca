// Life-cycle economics: first cost, loans, cash flow, net present worth, internal rate of
// return and payback, against values computed by hand.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "app/calc/modCalcs.h"
#include "platform/ui/ui.h"

namespace {

using Years = vb::Array<double, 0, 50>;

class Lifecycle : public ::testing::Test {
 protected:
  ui::RecordingHost host;
  ui::ScopedHost scoped{host};
};

double Sum(const Years& a, int from, int to) {
  double s = 0;
  for (int y = from; y <= to; ++y) s += a(y);
  return s;
}

// A test name from a case's name.
template <class C>
std::string CaseName(const ::testing::TestParamInfo<C>& info) {
  std::string n = info.param.name;
  for (char& ch : n)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
}

EconomicsData Economics(int years) {
  EconomicsData e;
  e.nLifeCycleYears = static_cast<int16_t>(years);
  return e;
}

SystemData WithFirstCost(double cost) {
  SystemData s;
  s.dChillerCostA = cost;
  return s;
}

TEST_F(Lifecycle, FirstCostMapsComponentsAndYearZeroInvestments) {
  SystemData s;
  s.dChillerCostA = 100;
  s.dChillerCostB = 1;
  s.dChwPumpCostA = 30;
  s.dChwPumpCostB = 3;
  s.dTowerCostA = 20;
  s.dTowerCostB = 2;
  s.dCondPumpCostA = 40;
  s.dCondPumpCostB = 4;
  s.dOtherCostA = 50;
  s.dOtherCostB = 5;
  s.dOtherInvestAmount(1) = 7;  // at purchase: part of the first cost
  s.nOtherInvestFirstYear(1) = 0;
  s.dOtherInvestAmount(2) = 900;  // later: not
  s.nOtherInvestFirstYear(2) = 3;
  s.dOtherInvestAmount(3) = -8;  // no amount
  s.nOtherInvestFirstYear(3) = 0;
  vb::Array<double, 1, 10> c;
  c(9) = 123;  // whatever the caller had there
  ASSERT_TRUE(modCalcs::bCalcSysFirstCost(s, c));
  EXPECT_EQ(c(1), 101);
  EXPECT_EQ(c(2), 22);  // towers
  EXPECT_EQ(c(3), 33);  // chilled-water pumps
  EXPECT_EQ(c(4), 44);
  EXPECT_EQ(c(5), 0);
  EXPECT_EQ(c(6), 62);
  EXPECT_EQ(c(9), 0);
  EXPECT_EQ(c(10), 101 + 22 + 33 + 44 + 62);
}

struct LoanCase {
  const char* name;
  int16_t type;
  float rate, years;
  int paidYears;
  double payment1;    // principal + interest of year 1
  double principal1;  // principal of year 1
  double interestSum;
};

class Loans : public Lifecycle, public ::testing::WithParamInterface<LoanCase> {};

TEST_P(Loans, RepayThePrincipalExactlyOnceOverTheRoundedTerm) {
  const LoanCase& c = GetParam();
  SystemData s = WithFirstCost(1500);
  s.dLoanAmount = 1000;
  s.fLoanRate = c.rate;
  s.fLoanYears = c.years;
  s.nLoanPaymentType = c.type;
  SystemEconData e;
  ASSERT_TRUE(modCalcs::bCalcCashFlow(s, Economics(10), e)) << c.name;
  EXPECT_NEAR(e.dInvestOther(0), 500, 1e-9) << "year 0 carries the first cost less the loan";
  EXPECT_NEAR(Sum(e.dInvestPrincipal, 0, 50), 1000, 1e-9) << c.name;
  EXPECT_NEAR(e.dInvestPrincipal(1) + e.dInvestInterest(1), c.payment1, 0.005) << c.name;
  EXPECT_NEAR(e.dInvestPrincipal(1), c.principal1, 0.005) << c.name;
  EXPECT_NEAR(Sum(e.dInvestInterest, 0, 50), c.interestSum, 0.005) << c.name;
  EXPECT_GT(e.dInvestPrincipal(c.paidYears), 0) << c.name;
  EXPECT_EQ(e.dInvestPrincipal(c.paidYears + 1) + e.dInvestInterest(c.paidYears + 1), 0) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, Loans,
                         ::testing::Values(
                             // 1000 at 10 % over 3 years: 402.11 a year, interest 100 + 69.79 + 36.56.
                             LoanCase{"equal payments", 1, 10, 3, 3, 402.11, 302.11, 206.34},
                             LoanCase{"equal payments at 0 %", 1, 0, 4, 4, 250, 250, 0},
                             // 2.5 years rounds to 2 (half to even): 576.19 a year over two years.
                             LoanCase{"equal payments 2.5 years", 1, 10, 2.5f, 2, 576.19, 476.19, 152.38},
                             LoanCase{"interest only 2.5 years", 2, 10, 2.5f, 2, 100, 0, 200},
                             LoanCase{"equal principal 2.5 years", 3, 10, 2.5f, 2, 600, 500, 150},
                             // 3.5 years rounds to 4.
                             LoanCase{"equal principal 3.5 years", 3, 10, 3.5f, 4, 350, 250, 250}),
                         CaseName<LoanCase>);

TEST_F(Lifecycle, ALoanTermOfNoWholeYearIsAnInputError) {
  for (float years : {0.0f, 0.4f, 0.5f, 50.6f}) {
    host.messages.clear();
    SystemData s = WithFirstCost(1500);
    s.dLoanAmount = 1000;
    s.fLoanRate = 5;
    s.fLoanYears = years;
    s.nLoanPaymentType = 1;
    SystemEconData e;
    EXPECT_FALSE(modCalcs::bCalcCashFlow(s, Economics(10), e)) << years;
    ASSERT_EQ(host.messages.size(), 1u) << years;
    EXPECT_EQ(host.messages[0].title, "bCalcCashFlow");
    EXPECT_NE(host.messages[0].text.find("loan term"), std::string::npos) << host.messages[0].text;
  }
}

TEST_F(Lifecycle, PeriodsAndOccurrencesOutsideTheYearArraysAreInputErrors) {
  SystemEconData e;
  EXPECT_FALSE(modCalcs::bCalcCashFlow(WithFirstCost(10), Economics(51), e));
  SystemData s = WithFirstCost(10);
  s.dOtherMaintAmount(3) = 5;
  s.nOtherMaintFirstYear(3) = 41;
  s.nOtherMaintCount(3) = 3;
  s.nOtherMaintInterval(3) = 5;  // years 41, 46, 51
  EXPECT_FALSE(modCalcs::bCalcCashFlow(s, Economics(20), e));
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_NE(host.messages[1].text.find("year 51"), std::string::npos) << host.messages[1].text;
  EXPECT_TRUE(modCalcs::bCalcCashFlow(WithFirstCost(10), Economics(50), e));
}

// Three years with escalation and discounting, computed by hand:
//   first cost 1000 (year 0), electricity 1000/yr at +5 %, gas 100 units at 2 at +10 %,
//   maintenance 100 + water treatment 50 at +3 %, an investment of 200 in year 2 at +4 %,
//   discount rate 10 %.
TEST_F(Lifecycle, ThreeYearCashFlowByHand) {
  SystemData s = WithFirstCost(1000);
  s.dChillerMaint = 100;
  s.dOtherMaintAmount(1) = 50;
  s.dOtherInvestAmount(1) = 200;
  s.nOtherInvestFirstYear(1) = 2;
  s.nOtherInvestCount(1) = 1;
  EconomicsData eco = Economics(3);
  eco.fElecEscalation = 5;
  eco.fGasEscalation = 10;
  eco.fMaintEscalation = 3;
  eco.fOtherInvestEscalation = 4;
  eco.fDiscountRate = 10;
  eco.fGasRate = 2;
  eco.fGasFactor = 100;  // the 100 units are utility units
  SystemEconData e;
  e.dChillerElecCost = 600;
  e.dTowerElecCost = 100;
  e.dChwPumpElecCost = 200;
  e.dCwPumpElecCost = 100;
  e.dFuelCost = 200;
  e.dGasUse = 100;
  ASSERT_TRUE(modCalcs::bCalcCashFlow(s, eco, e));

  EXPECT_DOUBLE_EQ(e.dEnergyCost(1), 800);
  EXPECT_DOUBLE_EQ(e.dEnergyCost(10), 1200);
  EXPECT_DOUBLE_EQ(e.dMaintCost(5), 50);
  EXPECT_DOUBLE_EQ(e.dMaintCost(10), 150);
  EXPECT_DOUBLE_EQ(e.dOpCost(10), 1350);

  const double energy[] = {0, 1270, 1344.5, 1423.825};
  const double maint[] = {0, 154.5, 159.135, 163.90905};
  const double invest[] = {1000, 0, 216.32, 0};
  const double totalPW[] = {1000, 1295, 1719.955 / 1.21, 1587.73405 / 1.331};
  for (int y = 0; y <= 3; ++y) {
    EXPECT_NEAR(e.dEnergyByYear(y), energy[y], 1e-9) << y;
    EXPECT_NEAR(e.dMaintByYear(y), maint[y], 1e-9) << y;
    EXPECT_NEAR(e.dInvestTotal(y), invest[y], 1e-9) << y;
    EXPECT_NEAR(e.dTotalCostByYear(y), energy[y] + maint[y] + invest[y], 1e-9) << y;
    EXPECT_NEAR(e.dTotalCostPW(y), totalPW[y], 1e-9) << y;
  }
  EXPECT_NEAR(e.dLifeCycleCost, 1000 + 1295 + 1719.955 / 1.21 + 1587.73405 / 1.331, 1e-9);
  EXPECT_NEAR(e.dTotTotalCostByYear, 1000 + 1424.5 + 1719.955 + 1587.73405, 1e-9);
  EXPECT_NEAR(e.dTotInvestOther, 1216.32, 1e-9);
}

TEST_F(Lifecycle, AYearlyMaintenanceItemIsCountedOnceAndDatedItemsInTheirYears) {
  SystemData s = WithFirstCost(0);
  s.dOtherMaintAmount(2) = 10;  // every year of the period: a yearly cost (component 6)
  s.nOtherMaintFirstYear(2) = 1;
  s.nOtherMaintCount(2) = 4;
  s.nOtherMaintInterval(2) = 1;
  s.dOtherMaintAmount(3) = 100;  // years 0 and 2
  s.nOtherMaintFirstYear(3) = 0;
  s.nOtherMaintCount(3) = 2;
  s.nOtherMaintInterval(3) = 2;
  EconomicsData eco = Economics(4);
  eco.fMaintEscalation = 10;
  SystemEconData e;
  ASSERT_TRUE(modCalcs::bCalcCashFlow(s, eco, e));
  EXPECT_DOUBLE_EQ(e.dMaintCost(6), 10);
  EXPECT_NEAR(e.dMaintByYear(0), 100, 1e-9);
  EXPECT_NEAR(e.dMaintByYear(1), 11, 1e-9);
  EXPECT_NEAR(e.dMaintByYear(2), 12.1 + 121, 1e-9);
  EXPECT_NEAR(e.dMaintByYear(4), 14.641, 1e-9);
}

// Gas and steam enter the yearly energy cost only with a conversion factor above 0, as in
// the monthly charges: with a factor of 0 the stored uses are raw fuel inputs (kBtu), and
// pricing them at the utility rate would multiply the cost.
TEST_F(Lifecycle, GasAndSteamArePricedOnlyWithAConversionFactor) {
  struct Case {
    float gasFactor, steamFactor;
    double energy;  // year 1, no escalation
  };
  const Case cases[] = {{100, 1000, 50 + 2 * 400 + 3 * 20}, {0, 1000, 50 + 3 * 20}, {100, 0, 50 + 2 * 400}, {0, 0, 50}};
  for (const Case& c : cases) {
    EconomicsData eco = Economics(2);
    eco.fGasRate = 2;
    eco.fSteamRate = 3;
    eco.fGasFactor = c.gasFactor;
    eco.fSteamFactor = c.steamFactor;
    SystemEconData e;
    e.dChillerElecCost = 50;
    e.dGasUse = 400;
    e.dSteamUse = 20;
    ASSERT_TRUE(modCalcs::bCalcCashFlow(WithFirstCost(0), eco, e));
    EXPECT_DOUBLE_EQ(e.dEnergyByYear(1), c.energy) << c.gasFactor << "/" << c.steamFactor;
    EXPECT_DOUBLE_EQ(e.dEnergyByYear(2), c.energy) << c.gasFactor << "/" << c.steamFactor;
  }
}

struct IrrCase {
  const char* name;
  std::vector<double> difference;  // base - challenger, years 0..
  float irr;                       // percent, -1 none
  float tolerance;                 // percent
};

class Irr : public Lifecycle, public ::testing::WithParamInterface<IrrCase> {};

TEST_P(Irr, Table) {
  const IrrCase& c = GetParam();
  Years base, challenger;
  for (std::size_t y = 0; y < c.difference.size(); ++y) challenger(static_cast<long>(y)) = -c.difference[y];
  float irr = 12345;
  ASSERT_TRUE(modCalcs::bCalcIRR(base, challenger, static_cast<int16_t>(c.difference.size() - 1), irr));
  if (c.irr < 0)
    EXPECT_EQ(irr, -1) << c.name;
  else
    EXPECT_NEAR(irr, c.irr, c.tolerance) << c.name;
  EXPECT_TRUE(host.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, Irr,
    // -1000 then +300 for five years: 15.2382 %, whatever the scale of the amounts (a worth
    // under 1 currency unit alone would stop small flows early, at 15.72 % for -10, +3).
    ::testing::Values(IrrCase{"annuity", {-1000, 300, 300, 300, 300, 300}, 15.2382f, 0.0005f},
                      IrrCase{"annuity in hundreds", {-10, 3, 3, 3, 3, 3}, 15.2382f, 0.0005f},
                      IrrCase{"annuity in cents", {-0.1, 0.03, 0.03, 0.03, 0.03, 0.03}, 15.2382f, 0.0005f},
                      IrrCase{"annuity in billions", {-1e12, 3e11, 3e11, 3e11, 3e11, 3e11}, 15.2382f, 0.0005f},
                      // A zero in year 0 counts as negative: one change, at 100 %.
                      IrrCase{"zero first year counts negative", {0, -10000, 20000}, 100, 0.05f},
                      IrrCase{"above 100 percent", {-1000, 10000}, 900, 1},
                      IrrCase{"zeros keep the sign", {-500, 0, 300, 0, 300}, 6.3326f, 0.1f},
                      IrrCase{"no sign change", {100, 300, 300}, -1, 0},
                      IrrCase{"two sign changes", {-1000, 3000, -2100}, -1, 0},
                      IrrCase{"negative worth already at 0 percent", {-1000, 100, 100, 100}, -1, 0}),
    CaseName<IrrCase>);

TEST_F(Lifecycle, NetPresentWorthDiscountsTheDifferences) {
  Years base, challenger;
  base(0) = 100;
  base(1) = 110;
  base(2) = 121;
  double npw = 0;
  ASSERT_TRUE(modCalcs::bCalcNetPW(base, challenger, 0.1f, 2, npw));
  EXPECT_NEAR(npw, 300, 1e-4);
  EXPECT_FALSE(modCalcs::bCalcNetPW(base, challenger, 0.1f, 51, npw));
  EXPECT_EQ(host.messages.at(0).title, "bCalcNetPW");
}

struct PaybackCase {
  const char* name;
  double added0;   // challenger's extra investment in year 0
  double savings;  // yearly operating-cost saving from year 1
  float payback;
};

class Payback : public Lifecycle, public ::testing::WithParamInterface<PaybackCase> {};

TEST_P(Payback, Table) {
  const PaybackCase& c = GetParam();
  SystemEconData base, challenger;
  challenger.dInvestTotal(0) = c.added0;
  for (int y = 1; y <= 5; ++y) base.dOpCostByYear(y) = c.savings;
  EconCaseData cmp;
  ASSERT_TRUE(modCalcs::bCalcPayback(base, challenger, 5, cmp));
  EXPECT_NEAR(cmp.fPayback, c.payback, 1e-4) << c.name;
  EXPECT_DOUBLE_EQ(cmp.dCumOpCostSavings(3), 3 * c.savings);
  EXPECT_DOUBLE_EQ(cmp.dCumAddedInvestment(3), c.added0);
}

INSTANTIATE_TEST_SUITE_P(Table, Payback,
                         ::testing::Values(
                             // SIR 0.4, 0.8, 1.2: crosses 1 half-way through year 3.
                             PaybackCase{"interpolated", 250, 100, 2.5f},
                             // No added investment: SIR 999.999 from year 1, reached from 0.
                             PaybackCase{"no added investment", 0, 100, 1.0f / 999.999f},
                             PaybackCase{"never", 1000, 100, -1}, PaybackCase{"no savings", 0, 0, -1}),
                         CaseName<PaybackCase>);

// A year whose ratio already reached 1 while the running savings were not yet positive:
// the payback falls in the following year at y - 0.9.
TEST_F(Lifecycle, PaybackAfterARatioAboveOneWithoutSavings) {
  SystemEconData base, challenger;
  base.dInvestTotal(0) = 100;         // the challenger is 100 cheaper to buy
  challenger.dOpCostByYear(1) = 200;  // and 200 dearer to run in year 1: SIR(1) = -200 / -100
  base.dOpCostByYear(2) = 500;        // then 500 cheaper to run,
  challenger.dInvestTotal(2) = 200;   // after an added investment of 200: SIR(2) = 300 / 100
  EconCaseData cmp;
  ASSERT_TRUE(modCalcs::bCalcPayback(base, challenger, 3, cmp));
  EXPECT_FLOAT_EQ(cmp.fSIR(1), 2);
  EXPECT_FLOAT_EQ(cmp.fSIR(2), 3);
  EXPECT_NEAR(cmp.fPayback, 1.1, 1e-6);
}

}  // namespace
