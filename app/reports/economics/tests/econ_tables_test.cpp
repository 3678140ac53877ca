// The economic tables on hand-made result records: the savings texts, the cell grids of
// each table (labels, values, sums, units in IP and SI, numbered texts), and the section
// bodies' handling of counts and numbers that the records cannot hold.
#include <algorithm>

#include "app/reports/economics/tests/econ_fixture.h"
#include "app/reports/report_strings.h"
#include "app/resources/TextCatalog.h"
#include "app/storage/modpublic.h"
#include "libs/units/clsUnits.h"
#include "libs/vb/vbcompat.h"
#include "platform/richtext/ter.h"

namespace econtest {
namespace {

using namespace reports::econ;
using Texts2D = std::vector<std::vector<std::string>>;

// ---- savings texts ------------------------------------------------------------------------

struct SavingsCase {
  const char* name;
  double a, b;
  const char* prefix;
  const char* savings;  // CalculateAndFormatSavings
  const char* percent;  // CalculateSavings(a, a - b)
};

class Savings : public ::testing::TestWithParam<SavingsCase> {};

TEST_P(Savings, Table) {
  const SavingsCase& c = GetParam();
  double s = -999;
  EXPECT_EQ(clsReport::CalculateAndFormatSavings(c.a, c.b, s, c.prefix), c.savings) << c.name;
  EXPECT_EQ(s, c.a - c.b) << c.name;
  EXPECT_EQ(clsReport::CalculateSavings(c.a, s), c.percent) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Table, Savings,
                         ::testing::Values(SavingsCase{"dollars_saved", 5000, 3766, "$", "$1,234", "25%"},
                                           SavingsCase{"dollars_lost", 10000, 11234, "$", "($1,234)", "-12%"},
                                           SavingsCase{"other_unit_lost", 10000, 11234, "", "(1,234)", "-12%"},
                                           SavingsCase{"half_percent_rounds_away_from_zero", 1000, 875, "", "125",
                                                       "13%"},
                                           SavingsCase{"nothing_to_compare_with", 0, 500, "$", "($500)", "n/a"},
                                           SavingsCase{"both_zero", 0, 0, "$", "$0", "0%"},
                                           SavingsCase{"millions", 12345678.4, 0, "$", "$12,345,678", "100%"}),
                         [](const auto& test) { return std::string(test.param.name); });

// ---- records ------------------------------------------------------------------------------

class Grids : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(modpublic::InitGlobalSettings("/nonexistent/"));
    modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
    reports::InstallEnglishTexts();
    econ.nNumSystems = 2;
    econ.sCurrency = "$";
    econ.sGasUnit = "therm";
    econ.sSteamUnit = "lb";
    econ.nLifeCycleYears = 3;
    econ.Cases(1).nBaseSystem = 1;
    econ.Cases(1).nChallengerSystem = 2;
    econ.Cases(1).nWinnerSystem = 2;
    econ.Cases(1).dNPW = 1500;
    econ.Cases(1).fIRR = 12.34f;
    econ.Cases(1).fPayback = 2.25f;
    econ.Cases(1).dAddedFirstCost = -1234;
    const char* names[] = {"North", "South", "East", "West"};
    for (int i = 1; i <= 4; ++i) {
      SystemEconData& s = (*systems)(i);
      s.sSystemName = std::string(names[i - 1]) + "  ";
      s.dFirstCost(10) = 1000.0 * i;
      s.dEnergyCost(10) = 400.0 * i;
      s.dOpCost(10) = 500.0 * i;
      s.CashFlowTotals(11) = 9000.0 * i;
      s.dChillerElecCost = 300.0 * i;
      s.dFuelCost = 10.0 * i;
      s.dTowerElecCost = 20.0 * i;
      s.dChwPumpElecCost = 30.0 * i;
      s.dCwPumpElecCost = 40.0 * i;
      s.dChillerKWh = 3000.0 * i;
      s.dTowerKWh = 200.0 * i;
      s.dChwPumpKWh = 300.0 * i;
      s.dCwPumpKWh = 400.0 * i;
      s.dTotalKWh = 3900.0 * i;
      s.DHRCChillerEnergyForHeating = 5;  // in the total electric whatever the switch
      s.dGasUse = 70.0 * i;
      s.GasBoilerUse = 7;  // in the total gas whatever the switch
      s.dSteamUse = 80.0 * i;
    }
  }
  // The row of a grid whose first cell is `label`.
  static std::vector<std::string> RowOf(const Grid& g, const std::string& label) {
    for (const auto& r : Texts(g))
      if (!r.empty() && r[0] == label) return r;
    ADD_FAILURE() << "no row " << label;
    return {};
  }
  static std::vector<std::string> Column(const Grid& g, size_t c) {
    std::vector<std::string> out;
    for (const auto& r : Texts(g)) out.push_back(c < r.size() ? r[c] : "<none>");
    return out;
  }

  EconSummaryData econ;
  std::unique_ptr<Systems> systems = std::make_unique<Systems>();
};

// ---- economic summary -------------------------------------------------------------------

TEST_F(Grids, TwoAlternativesWithLifeCycleCosts) {
  const Grid g = CostAndEnergyUseGrid(econ, *systems, 2, false);
  EXPECT_EQ(Texts(g)[0], (std::vector<std::string>{"", "(A) North", "(B) South", "Savings", "Percentage Savings"}));
  EXPECT_EQ(Column(g, 0), (std::vector<std::string>{"",
                                                    "Lifecycle Cost Results",
                                                    "     First Cost ($)",
                                                    "     Annual Energy Cost ($)",
                                                    "     Annual Operating Cost ($)",
                                                    "     Total Present Worth ($)",
                                                    "Annual Energy Cost Details",
                                                    "     Chiller Electric Cost ($)",
                                                    "     Chiller Fuel Cost ($)",
                                                    "     Heat Rejection Fans ($)",
                                                    "     Chilled Water Pump ($)",
                                                    "     Condenser Water Pump ($)",
                                                    "     Total Energy Cost ($)",
                                                    "Annual Energy Use Details",
                                                    "     Chillers (kWh/yr)",
                                                    "     Heat Rejection Fans (kWh/yr)",
                                                    "     Chiller Water Pumps (kWh/yr)",
                                                    "     Condenser Water Pumps (kWh/yr)",
                                                    "     Total Electric (kWh/yr)",
                                                    "     Total Natural Gas Use (therm)",
                                                    "     Total Steam Use (lb)"}));
  EXPECT_EQ(RowOf(g, "     First Cost ($)"),
            (std::vector<std::string>{"     First Cost ($)", "$1,000", "$2,000", "($1,000)", "-100%"}));
  EXPECT_EQ(RowOf(g, "     Total Present Worth ($)")[2], "$18,000");
  // Sums: 3900 + 5 and 7800 + 5; 70 + 7 and 140 + 7. Energy rows carry no money prefix.
  EXPECT_EQ(RowOf(g, "     Total Electric (kWh/yr)"),
            (std::vector<std::string>{"     Total Electric (kWh/yr)", "3,905", "7,805", "(3,900)", "-100%"}));
  EXPECT_EQ(RowOf(g, "     Total Natural Gas Use (therm)"),
            (std::vector<std::string>{"     Total Natural Gas Use (therm)", "77", "147", "(70)", "-91%"}));
  // Every row has its five cells; only the first is a header row; group rows are bold.
  for (const Row& r : g) EXPECT_EQ(r.size(), 5u);
  for (size_t i = 0; i < g.size(); ++i) EXPECT_EQ(g[i][0].header, i == 0) << i;
  EXPECT_TRUE(g[1][0].bold);
  EXPECT_EQ(g[2][0].align, kCentre);  // life-cycle labels centred
  EXPECT_EQ(g[7][0].align, kLeft);
  EXPECT_EQ(g[7][3].align, kRight);  // savings and percentage right-aligned
}

TEST_F(Grids, ThreeAlternativesWithoutLifeCycleCostsInAnotherCurrency) {
  econ.nNumSystems = 3;
  econ.sCurrency = "EUR";
  const Grid g = CostAndEnergyUseGrid(econ, *systems, 1, false);
  EXPECT_EQ(Texts(g)[0], (std::vector<std::string>{"", "(A) North", "(B) South", "(C) East"}));
  EXPECT_EQ(Texts(g)[1][0], "Annual Energy Cost Details");
  EXPECT_EQ(RowOf(g, "     Total Energy Cost (EUR)"),
            (std::vector<std::string>{"     Total Energy Cost (EUR)", "400", "800", "1,200"}));
  for (const Row& r : g) EXPECT_EQ(r.size(), 4u);
}

TEST_F(Grids, HeatRecoveryRowsWhenTheSwitchIsOn) {
  for (int i = 1; i <= 2; ++i) {
    // Electric boiler, booster pump, DHRC chiller, gas boiler.
    for (int k = 1; k <= 4; ++k) (*systems)(i).dHeatingCost(k) = k;
    (*systems)(i).GasBoilerUse = 7;
  }
  const Grid g = CostAndEnergyUseGrid(econ, *systems, 1, true);
  EXPECT_EQ(RowOf(g, "     DHRC Chiller Cost ($)")[1], "$3");
  EXPECT_EQ(RowOf(g, "     Boiler Heating Cost ($)")[1], "$5");
  EXPECT_EQ(RowOf(g, "     DHRC Booster Pump ($)")[1], "$2");
  EXPECT_EQ(RowOf(g, "     Natural Gas Boiler (therm)")[1], "7");
  EXPECT_EQ(RowOf(g, "     Chiller Gas Use (therm)")[1], "70");
  EXPECT_EQ(CostAndEnergyUseGrid(econ, *systems, 1, false).size() + 8, g.size());
}

TEST_F(Grids, ComparativeData) {
  Grid g = ComparativeDataGrid(econ, *systems);
  EXPECT_EQ(Texts(g), (Texts2D{{"Base Case", "(A) North"},
                               {"Challenger Case", "(B) South"},
                               {"Winner", "(B)"},
                               {"Additional First Cost ", "$-1,234"},
                               {"Annual Energy Cost Savings ", "$-400"},
                               {"Annual OpCost Savings ", "$-500"},
                               {"Net Present Worth Savings ", "$1,500"},
                               {"Internal Rate of Return (%)", "12.3 %"},
                               {"Payback (yrs)", "2.3 yrs"}}));
  for (size_t r = 0; r < g.size(); ++r) EXPECT_EQ(g[r][1].header, r < 3) << r;

  econ.Cases(1).fIRR = -1;
  econ.Cases(1).fPayback = -1;
  g = ComparativeDataGrid(econ, *systems);
  EXPECT_EQ(Texts(g)[7][1], "n/a");
  EXPECT_EQ(Texts(g)[8][1], "None");
  econ.Cases(1).fIRR = -3.5f;  // only exactly -1 means "not defined"
  EXPECT_EQ(Texts(ComparativeDataGrid(econ, *systems))[7][1], "-3.5 %");

  econ.nNumSystems = 1;
  EXPECT_TRUE(ComparativeDataGrid(econ, *systems).empty());
}

struct BadRecordCase {
  const char* name;
  int16_t numSystems, base, challenger;
};

class BadRecords : public Grids, public ::testing::WithParamInterface<BadRecordCase> {};

// Counts and alternative numbers from CAL.DAT outside what the run holds are error 9.
TEST_P(BadRecords, RaiseSubscriptOutOfRange) {
  const BadRecordCase& c = GetParam();
  econ.nNumSystems = c.numSystems;
  econ.Cases(1).nBaseSystem = c.base;
  econ.Cases(1).nChallengerSystem = c.challenger;
  try {
    ComparativeDataGrid(econ, *systems);
    ADD_FAILURE() << c.name;
  } catch (const vb::RuntimeError& e) {
    EXPECT_EQ(e.number(), vb::kSubscriptOutOfRange) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, BadRecords,
                         ::testing::Values(BadRecordCase{"five_alternatives", 5, 1, 2},
                                           BadRecordCase{"negative_count", -1, 1, 2},
                                           BadRecordCase{"base_zero", 2, 0, 2},
                                           BadRecordCase{"challenger_beyond_the_run", 2, 1, 3}),
                         [](const auto& test) { return std::string(test.param.name); });

// ---- energy cost details ------------------------------------------------------------------

TEST_F(Grids, EnergyCostMonthsAndTotals) {
  SystemEconData& s = (*systems)(1);
  for (int m = 1; m <= 12; ++m) {
    s.dMonthKWh(m) = 1000.4;
    s.dMonthHeatKWh(m) = 0.2;  // heating-side energy is added whatever the switch
    s.dMonthPeakKW(m) = 10.25 * m;
    s.dMonthEnergyCharge(m) = 100.4;
    s.dMonthDemandCharge(m) = 50;
    s.dMonthElecCharge(m) = 150.4;
    s.dMonthGasCharge(m) = 20;
    s.MonthlyHeatingGasCost(m) = 1;
    s.dMonthSteamCharge(m) = 3;
    s.dMonthEnergyCost(m) = 174.4;
  }
  s.dEnergyCost(10) = 9999;  // the stored annual cost, not the column's sum
  const Grid g = EnergyCostGrid(s, "$");
  EXPECT_EQ(Texts(g)[0],
            (std::vector<std::string>{"Month", "Electric Energy Use (kWh)", "Electrical Energy Cost ($)",
                                      "Electric Demand (kW)", "Electric Demand Cost ($)", "Total Electric Cost ($)",
                                      "Natural Gas Costs ($)", "Steam Costs ($)", "Total Energy Cost ($)"}));
  EXPECT_EQ(Texts(g)[3], (std::vector<std::string>{"Mar", "1,001", "100", "30.8", "50", "150", "21", "3", "174"}));
  // Sums of the unrounded months: 12 x 1000.6, 12 x 100.4, ...
  EXPECT_EQ(Texts(g)[13],
            (std::vector<std::string>{"Total", "12,007", "1,205", "-", "600", "1,805", "252", "36", "9,999"}));
  EXPECT_TRUE(g[13][0].bold);
  EXPECT_FALSE(g[13][0].header);
  EXPECT_EQ(g[13][5].align, kRight);
  int32_t width = 0;
  for (const Cell& c : g[0]) width += c.width;
  EXPECT_EQ(width, 10800);

  // In SI the kWh and kW columns and their headings are the same.
  modpublic::gUnits.CurrentUnitOfMeasure(nMETRIC);
  const Grid si = EnergyCostGrid(s, "$");
  modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
  EXPECT_EQ(Texts(si), Texts(g));
}

// ---- energy use details -------------------------------------------------------------------

TEST_F(Grids, EnergyUseTotalsAreTheStoredAnnualsAndOnlyTheLoadConverts) {
  SystemEconData& s = (*systems)(1);
  for (int m = 1; m <= 12; ++m) {
    s.dMonthTonHours(m) = 1000;
    s.dMonthChillerKWh(m) = 500;
    s.dMonthChwPumpKWh(m) = 60;
    s.dMonthCwPumpKWh(m) = 70;
    s.dMonthTowerKWh(m) = 30;
    s.dMonthKWh(m) = 660;
    s.dMonthGasUse(m) = 2;
    s.dMonthSteamUse(m) = 3;
  }
  const Grid ip = EnergyUseGrid(s, "therm ", "lb");
  EXPECT_EQ(Texts(ip)[0], (std::vector<std::string>{"Month", "Total System Cooling Load (Ton-hrs)", "Chillers (kWh)",
                                                    "Chilled Water Pumps (kWh)", "Condenser Water Pumps (kWh)",
                                                    "Heat Rejection Fans (kWh)", "Total Cooling Electric Energy (kWh)",
                                                    "Natural Gas Use (therm)", "Steam Use (lb)"}));
  EXPECT_EQ(Texts(ip)[1], (std::vector<std::string>{"Jan", "1,000", "500", "60", "70", "30", "660", "2", "3"}));
  // The load is summed (12,000); the others are the annual values stored (3000, 300, ...).
  EXPECT_EQ(Texts(ip)[13],
            (std::vector<std::string>{"Total", "12,000", "3,000", "300", "400", "200", "3,900", "70", "80"}));

  modpublic::gUnits.CurrentUnitOfMeasure(nMETRIC);
  const Grid si = EnergyUseGrid(s, "therm", "lb");
  modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
  // 1 ton-hour = 3.51685 kWh, an outside figure: 1000 -> 3,517 and 12,000 -> 42,202.
  EXPECT_EQ(Texts(si)[0][1], "Total System Cooling Load (kWh)");
  EXPECT_EQ(Texts(si)[1][1], "3,517");
  EXPECT_EQ(Texts(si)[13][1], "42,202");
  for (size_t c = 2; c < 9; ++c) {
    EXPECT_EQ(Texts(si)[1][c], Texts(ip)[1][c]) << c;
    EXPECT_EQ(Texts(si)[13][c], Texts(ip)[13][c]) << c;
  }
}

// The gas and steam headings are numbered texts: a translation answers them.
TEST_F(Grids, NumberedHeadingsComeFromTheCatalog) {
  struct Catalog : textcatalog::TextCatalog {
    std::string GetString(int32_t id) const override { return "T" + std::to_string(id); }
  } catalog;
  textcatalog::Install(&catalog);
  const Grid use = EnergyUseGrid((*systems)(1), "therm", "lb");
  const Grid cash = CashFlowGrid((*systems)(1), "$", 0);
  textcatalog::Uninstall(&catalog);
  EXPECT_EQ(Texts(use)[0][7], "T1096 (therm)");
  EXPECT_EQ(Texts(use)[0][8], "T1097 (lb)");
  EXPECT_EQ(Texts(cash)[0][1], "T1101");
  EXPECT_EQ(textcatalog::GetString(reports::kTxtCashFlowDetailsFor), "Cash Flow Details for");
}

// ---- cash flow details --------------------------------------------------------------------

TEST_F(Grids, CashFlowYearsAndTotals) {
  SystemEconData& s = (*systems)(1);
  s.dInvestOther(0) = 1000;
  s.dEnergyByYear(1) = 200.5;
  s.dTotalCostPW(1) = 190;
  for (int i = 1; i <= 11; ++i) s.CashFlowTotals(i) = 10000 + i;  // not the sums of the years
  const Grid g = CashFlowGrid(s, "$", 3);
  ASSERT_EQ(g.size(), 2u + 4u + 1u);
  EXPECT_EQ(Texts(g)[0], (std::vector<std::string>{"", "Investment Costs (Actual Value)",
                                                   "Operating Costs (Actual Value)", "Total", "Present Worth Costs"}));
  std::vector<int32_t> widths;
  for (const Cell& c : g[0]) widths.push_back(c.width);
  EXPECT_EQ(widths, (std::vector<int32_t>{600, 5000, 3750, 1250, 3750}));
  EXPECT_EQ(Texts(g)[1][5], "Energy + Fuel ($)");
  EXPECT_EQ(Texts(g)[1][7], Texts(g)[1][10]);  // "Total Operating Cost ($)" twice
  EXPECT_EQ(Texts(g)[2][3], "1,000");
  EXPECT_EQ(Texts(g)[3][5], "201");
  EXPECT_EQ(Texts(g)[3][11], "190");
  EXPECT_EQ(Texts(g)[6], (std::vector<std::string>{"Total", "10,001", "10,002", "10,003", "10,004", "10,005", "10,006",
                                                   "10,007", "10,008", "10,009", "10,010", "10,011"}));
  // Header rows are the two leading ones; year and total rows are bold rows.
  for (size_t r = 0; r < g.size(); ++r) EXPECT_EQ(g[r][0].header, r < 2) << r;
  EXPECT_TRUE(g[3][0].bold);
  EXPECT_FALSE(g[3][1].bold);
  EXPECT_EQ(g[6][4].align, kRight);

  EXPECT_EQ(CashFlowGrid(s, "$", 0).size(), 2u + 1u + 1u);
  EXPECT_EQ(CashFlowGrid(s, "$", -2).size(), 2u + 1u);  // no year rows
  EXPECT_EQ(CashFlowGrid(s, "$", 50).size(), 2u + 51u + 1u);
  EXPECT_THROW(CashFlowGrid(s, "$", 51), vb::RuntimeError);
}

// ---- section bodies -----------------------------------------------------------------------

class Sections : public EconReportTest {
 protected:
  void SetUp() override {
    EconReportTest::SetUp();
    econ.nNumSystems = 2;
    econ.sCurrency = "$";
    econ.nLifeCycleYears = 2;
    econ.Cases(1).nBaseSystem = 1;
    econ.Cases(1).nChallengerSystem = 2;
    econ.Cases(1).nWinnerSystem = 1;
    (*systems)(1).sSystemName = "Left";
    (*systems)(2).sSystemName = "Right";
  }
  bool Has(const std::string& text) {
    const auto t = BodyTexts();
    return std::find(t.begin(), t.end(), text) != t.end();
  }
  EconSummaryData econ;
  std::unique_ptr<Systems> systems = std::make_unique<Systems>();
};

TEST_F(Sections, WithoutLifeCycleCostsTheDetailsAreTable1) {
  int32_t section = 0;
  ASSERT_TRUE(RunSection(econ, *systems, 1, "Chiller Economic Summary", 1,
                         [&] { return report->RptEconomicSummary0(section); }));
  EXPECT_EQ(section, 1);
  EXPECT_TRUE(Has("1.  Cost and Energy Use Details"));
  EXPECT_FALSE(Has("1.  Comparative Data"));
  EXPECT_EQ(Tables().size(), 1u);
}

TEST_F(Sections, OneAlternativeHasNoComparativeData) {
  econ.nNumSystems = 1;
  int32_t section = 0;
  ASSERT_TRUE(RunSection(econ, *systems, 2, "Chiller Economic Summary", 1,
                         [&] { return report->RptEconomicSummary0(section); }));
  EXPECT_TRUE(Has("1.  Comparative Data"));
  EXPECT_TRUE(Has("(There is no comparative data for this analysis.)"));
  EXPECT_TRUE(Has("2.  Cost and Energy Use Details"));
  ASSERT_EQ(Tables().size(), 1u);
  EXPECT_EQ(CellTexts(0)[0], (std::vector<std::string>{"", "(A) Left"}));
}

// A comparison naming an alternative outside the run: the box, false, and no table written.
TEST_F(Sections, ABadAlternativeNumberFailsTheSummary) {
  econ.Cases(1).nChallengerSystem = 3;
  int32_t section = 0;
  EXPECT_FALSE(RunSection(econ, *systems, 2, "Chiller Economic Summary", 1,
                          [&] { return report->RptEconomicSummary0(section); }));
  ASSERT_FALSE(host.messages.empty());
  EXPECT_EQ(host.messages[0].title, "vexon.clsReport.SystemComparativeData");
  EXPECT_NE(host.messages[0].text.find("Error 9"), std::string::npos) << host.messages[0].text;
  EXPECT_TRUE(Tables().empty());
}

struct BodyCase {
  const char* name;
  int16_t numSystems, years;
  bool ok;
  size_t tables;
  const char* errorTitle;
};

class Bodies : public Sections, public ::testing::WithParamInterface<BodyCase> {};

// The three detail bodies with no alternative, two, five (more than the records hold) and a
// study period past year 50: the count is checked before any table is written.
TEST_P(Bodies, CountsAreCheckedBeforeWriting) {
  const BodyCase& c = GetParam();
  econ.nNumSystems = c.numSystems;
  econ.nLifeCycleYears = c.years;
  struct Body {
    const char* procedure;
    bool (clsReport::*body)();
  };
  const Body bodies[] = {{"RptEnergyCostDetails0", &clsReport::RptEnergyCostDetails0},
                         {"RptEnergyUseDetails0", &clsReport::RptEnergyUseDetails0},
                         {"RptCashFlowDetails0", &clsReport::RptCashFlowDetails0}};
  for (const Body& b : bodies) {
    host.messages.clear();
    const bool ok = RunSection(econ, *systems, 2, "Details", 2, [&] { return (report.get()->*b.body)(); });
    const bool yearsMatter = std::string(b.procedure) == "RptCashFlowDetails0";
    const bool expectOk = c.ok || (!yearsMatter && c.numSystems <= 4);
    EXPECT_EQ(ok, expectOk) << c.name << " " << b.procedure;
    EXPECT_EQ(Tables().size(), expectOk ? c.tables : 0u) << c.name << " " << b.procedure;
    if (!expectOk) {
      ASSERT_FALSE(host.messages.empty()) << c.name;
      EXPECT_EQ(host.messages[0].title, std::string("vexon.clsReport.") + b.procedure);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Table, Bodies,
                         ::testing::Values(BodyCase{"none", 0, 2, true, 0, ""}, BodyCase{"two", 2, 2, true, 2, ""},
                                           BodyCase{"five", 5, 2, false, 0, ""},
                                           BodyCase{"fifty_one_years", 2, 51, false, 2, ""}),
                         [](const auto& test) { return std::string(test.param.name); });

// With the heat-recovery switch on, the energy use details end after the first table.
TEST_F(Sections, HeatRecoveryEndsTheEnergyUseDetailsAfterTheFirstTable) {
  modpublic::gHeatRecoveryOption = 1;
  const bool ok =
      RunSection(econ, *systems, 2, "Energy Use Details", 1, [&] { return report->RptEnergyUseDetails0(); });
  modpublic::gHeatRecoveryOption = 0;
  EXPECT_FALSE(ok);
  EXPECT_EQ(Tables().size(), 1u);
  ASSERT_FALSE(host.messages.empty());
  EXPECT_EQ(host.messages[0].title, "vexon.clsReport.RptEnergyUseDetails0");
}

// The lead text is a centred paragraph of its own; the first title follows it.
TEST_F(Sections, TheLeadTextStandsAlone) {
  ASSERT_TRUE(RunSection(
      econ, *systems, 2, "Energy Cost Details", 1, [&] { return report->RptEnergyCostDetails0(); },
      "Prepared for the board"));
  const auto texts = BodyTexts();
  const auto lead = std::find(texts.begin(), texts.end(), "Prepared for the board");
  ASSERT_NE(lead, texts.end());
  EXPECT_TRUE(Has("1.  Energy Cost Details for [Left]"));
  bool centred = false;
  for (const richtext::Section& s : doc().sections)
    for (const richtext::Block& b : s.blocks)
      if (const auto* p = std::get_if<richtext::Paragraph>(&b))
        if (reporttest::TextOf(*p) == "Prepared for the board") centred = p->fmt.align == richtext::Align::Center;
  EXPECT_TRUE(centred);
}

}  // namespace
}  // namespace econtest
