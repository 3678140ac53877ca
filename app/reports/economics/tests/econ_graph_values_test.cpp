// The economic graphs' values against hand-computed numbers: rounding as printed, the range
// rules, the monthly energy series, the net cash flow and its components, the efficiency
// profiles in IP and SI, the frame layout, the footnote and the gas boiler share.
#include <gtest/gtest.h>

#include "app/reports/clsReport.h"
#include "app/reports/economics/tests/econ_run_fixture.h"
#include "app/storage/modpublic.h"

namespace econruntest {
namespace {

using namespace reports::economics;

struct Units : ::testing::Test {
  void TearDown() override {
    modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
    modpublic::gHeatRecoveryOption = 0;
    modpublic::gSystemEfficiencyUnitID = 0;
  }
};

TEST(EconomicValues, PrintedRoundingIsHalfAwayFromZero) {
  const struct {
    double value;
    int decimals;
    double printed;
  } cases[] = {{1234.4, 0, 1234}, {1234.6, 0, 1235},  {2.5, 0, 3},       {-2.5, 0, -3},
               {-0.4, 0, 0},      {0.6505, 3, 0.651}, {-15.04, 1, -15.0}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(AsPrinted(c.value, c.decimals), c.printed) << c.value;
  EXPECT_FALSE(std::signbit(AsPrinted(-0.4, 0)));
}

TEST(EconomicValues, ScaleRules) {
  const struct {
    const char* name;
    double min, max;
    Range expected;
  } cases[] = {{"positive values", 5, 10, {-0.00001, 10}},
               {"negative only", -3, -1, {-3, 1}},
               {"all zero", 0, 0, {-0.00001, 1}},
               {"no candidates", 1e20, -1e20, {-0.00001, 1}},
               {"both signs", -2, 5, {-2, 5}}};
  for (const auto& c : cases) EXPECT_EQ(ScaleRules(c.min, c.max), c.expected) << c.name;
}

TEST(EconomicValues, PaddedRangesHoldTheirData) {
  const struct {
    const char* name;
    double min, max;
    Range expected;
  } cases[] = {{"positive", 100, 1000, {50, 1050}},
               {"every value negative", -1000, -100, {-1050, -50}},
               {"all zero", 0, 0, {0, 1}},
               {"from zero", 0, 1000, {0, 1050}},
               {"both signs", -500, 90, {-525, 115}}};
  for (const auto& c : cases) {
    const Range r = PadRange(c.min, c.max, 0.05);
    EXPECT_DOUBLE_EQ(r.min, c.expected.min) << c.name;
    EXPECT_DOUBLE_EQ(r.max, c.expected.max) << c.name;
    EXPECT_LE(r.min, c.min) << c.name;
    EXPECT_GE(r.max, c.max) << c.name;
  }
}

TEST(EconomicValues, ResultsOutsideTheirRangesAreRefused) {
  Results r = HandResults();
  EXPECT_NO_THROW(CheckEconomicResults(r.summary));
  r.summary.nNumSystems = 5;
  EXPECT_ANY_THROW(CheckEconomicResults(r.summary));
  r = HandResults();
  r.summary.nLifeCycleYears = 51;
  EXPECT_ANY_THROW(CheckEconomicResults(r.summary));
  r = HandResults();
  r.summary.Cases(1).nChallengerSystem = 3;          // only two alternatives
  EXPECT_NO_THROW(CheckEconomicResults(r.summary));  // graphs that draw no comparison
  EXPECT_ANY_THROW(CheckEconomicComparisons(r.summary));
  r = HandResults();
  r.summary.nNumSystems = 1;  // no comparison is drawn: its indices are not read
  r.summary.Cases(1).nBaseSystem = 0;
  EXPECT_NO_THROW(CheckEconomicComparisons(r.summary));
}

TEST_F(Units, MonthlyEnergyCostAndUse) {
  const Results r = HandResults();
  graph::Chart cost(graph::ChartType::Xy);
  cost.Reset(graph::ChartType::Xy);
  FillEnergyChart(cost, r.summary, *r.systems, 1, "Month");
  ASSERT_EQ(cost.SeriesCount(), 2);
  EXPECT_EQ(cost.series(0).label, "Plant A");
  EXPECT_EQ(cost.series(1).color, QColor(0, 180, 0));
  EXPECT_EQ(cost.Y(0, 0), 1234);  // 1234.4
  EXPECT_EQ(cost.Y(1, 0), 1235);  // 1234.6
  EXPECT_EQ(cost.X(1, 11), 12);
  EXPECT_EQ(cost.PointLabel(0), "J");
  EXPECT_EQ(cost.PointLabel(11), "D");
  // 3 % above the largest month of either alternative (B's January), from 0.
  EXPECT_EQ(cost.yAxis.scale, graph::Scale::Manual(0, 1235 * 1.03));
  EXPECT_EQ(cost.yAxis.label, "Energy Cost ($ / Month)");
  EXPECT_EQ(cost.xAxis.label, "Month");

  for (const bool heatRecovery : {false, true}) {
    modpublic::gHeatRecoveryOption = heatRecovery ? 1 : 0;
    Results withHeating = HandResults();
    (*withHeating.systems)(1).dMonthHeatKWh(12) = 10;
    graph::Chart use(graph::ChartType::Xy);
    FillEnergyChart(use, withHeating.summary, *withHeating.systems, 2, "Month");
    const double december = heatRecovery ? 12010 : 12000;
    EXPECT_EQ(use.Y(0, 11), december);
    EXPECT_DOUBLE_EQ(use.yAxis.scale.max, december * 1.03);
    EXPECT_EQ(use.yAxis.label, "Energy Use (kWh / Month)");
  }
}

TEST(EconomicValues, MonthlyGraphWithoutEnergyOrWithCredits) {
  Results r = HandResults();
  for (int a = 1; a <= 2; ++a)
    for (int m = 1; m <= 12; ++m) (*r.systems)(a).dMonthEnergyCost(m) = 0;
  graph::Chart chart(graph::ChartType::Xy);
  FillEnergyChart(chart, r.summary, *r.systems, 1, "Month");
  EXPECT_EQ(chart.yAxis.scale, graph::Scale::Manual(0, 1));  // never a range of zero height
  (*r.systems)(2).dMonthEnergyCost(6) = -200;                // a credit
  (*r.systems)(2).dMonthEnergyCost(7) = 400;
  FillEnergyChart(chart, r.summary, *r.systems, 1, "Month");
  EXPECT_DOUBLE_EQ(chart.yAxis.scale.min, -200 - 0.03 * 400);
  EXPECT_DOUBLE_EQ(chart.yAxis.scale.max, 400 * 1.03);
}

TEST(EconomicValues, NetCashFlowIsBaseMinusChallenger) {
  const Results r = HandResults();
  const auto years = NetCashFlows((*r.systems)(1), (*r.systems)(2), r.summary.nLifeCycleYears);
  ASSERT_EQ(years.size(), 3u);
  // Year 0: B costs 500 more to build; years 1 and 2: it saves 100 of energy, costs 10 more upkeep.
  EXPECT_DOUBLE_EQ(years[0].investment, -500);
  EXPECT_DOUBLE_EQ(years[0].net, -500);
  EXPECT_DOUBLE_EQ(years[1].energy, 100);
  EXPECT_DOUBLE_EQ(years[1].maintenance, -10);
  EXPECT_DOUBLE_EQ(years[2].net, 90);
  EXPECT_EQ(ComparisonHeading((*r.systems)(1), (*r.systems)(2)), "Challenger: Plant B vs Base: Plant A");

  graph::Chart net(graph::ChartType::Bar);
  FillNetCashFlowChart(net, years, "$", "Year");
  EXPECT_EQ(net.SeriesCount(), 1);
  EXPECT_EQ(net.PointLabel(2), "2");
  EXPECT_EQ(net.Y(0, 0), -500);
  EXPECT_EQ(net.yAxis.scale, graph::Scale::Manual(-525, 115));
  EXPECT_EQ(net.yAxis.label, "Actual Value (Net Cash Flow $)");

  graph::Chart parts(graph::ChartType::Bar);
  FillNetCashFlowCompChart(parts, years, "EUR", "Year");
  ASSERT_EQ(parts.SeriesCount(), 3);
  EXPECT_EQ(parts.series(2).label, "Maintenance Cost Savings");
  EXPECT_EQ(parts.Y(1, 1), 100);
  // The components' own range, not the starting 0..103.
  EXPECT_EQ(parts.yAxis.scale, graph::Scale::Manual(-525, 125));
  EXPECT_EQ(parts.yAxis.label, " Actual Value (Net Cash Flow EUR)");
}

TEST(EconomicValues, NoYearsGiveOnePoint) {
  const Results r = HandResults();
  const auto years = NetCashFlows((*r.systems)(1), (*r.systems)(2), 0);
  graph::Chart net(graph::ChartType::Bar);
  FillNetCashFlowChart(net, years, "$", "Year");
  EXPECT_EQ(net.PointCount(), 1);
  EXPECT_EQ(net.PointLabel(0), "0");
}

TEST(EconomicValues, BinCountEndsAtTheLastTemperature) {
  Results r = HandResults();
  SystemEconData& first = (*r.systems)(1);
  EXPECT_EQ(BinCount(first), 20);
  first.fBinWeather(5) = 0;  // a 0 inside the range is still a bin
  EXPECT_EQ(BinCount(first), 20);
  for (int b = 1; b <= 24; ++b) first.fBinWeather(b) = 0;
  EXPECT_EQ(BinCount(first), 0);
}

TEST_F(Units, ProfilesGraphInIpAndSi) {
  const Results r = HandResults();
  for (const bool si : {false, true}) {
    SCOPED_TRACE(si ? "SI" : "IP");
    modpublic::gUnits.CurrentUnitOfMeasure(si ? nMETRIC : nENGLISH);
    graph::Chart chart(graph::ChartType::Xy);
    FillEfficiencyProfilesChart(chart, r.summary, *r.systems, kCooling, "");
    ASSERT_EQ(chart.SeriesCount(), 3);  // the load and two alternatives
    EXPECT_EQ(chart.PointCount(), 20);
    EXPECT_EQ(chart.series(0).label, "Cooling Load");
    EXPECT_EQ(chart.series(2).label, "2 - Plant B");
    EXPECT_EQ(chart.series(2).axis, graph::YAxis::Right);
    // Bin 1: 100 F and 100 ton-hours; bin 20: 5 F and 2,000 ton-hours (1 ton-hr = 3.51685 kWh).
    EXPECT_DOUBLE_EQ(chart.X(0, 0), si ? 37.8 : 100);
    EXPECT_DOUBLE_EQ(chart.X(0, 19), si ? -15.0 : 5);
    EXPECT_DOUBLE_EQ(*chart.Y(0, 0), si ? 352 : 100);
    EXPECT_DOUBLE_EQ(*chart.Y(0, 19), si ? 7034 : 2000);
    EXPECT_DOUBLE_EQ(*chart.Y(1, 0), 0.56);  // A's bin 1 efficiency, unconverted (no unit)
    // The X range holds the coldest bin even below zero.
    EXPECT_LT(chart.xAxis.scale.min, chart.X(0, 19));
    EXPECT_GT(chart.xAxis.scale.max, chart.X(0, 0));
    EXPECT_DOUBLE_EQ(chart.yAxis.scale.max, (si ? 7034 : 2000) * 1.03);
    EXPECT_EQ(chart.yAxis.label, si ? "Cooling Load (kWh)" : "Cooling Load (Ton-hrs)");
    EXPECT_GE(chart.rightAxis.scale.max, 0.75);  // B's bin 20
  }
  // Combined: the cooling load through kBtu (1 ton-hr = 12 kBtu = 3.51685 kWh), a heating series.
  modpublic::gUnits.CurrentUnitOfMeasure(nMETRIC);
  graph::Chart combined(graph::ChartType::Xy);
  FillEfficiencyProfilesChart(combined, r.summary, *r.systems, kCombined, "ALT");
  ASSERT_EQ(combined.SeriesCount(), 4);
  EXPECT_EQ(combined.series(1).label, "Heating Load");
  EXPECT_DOUBLE_EQ(*combined.Y(0, 0), 352);
  EXPECT_EQ(combined.series(2).label, "ALT1 - Plant A");
}

TEST(EconomicValues, NoBinsKeepAnAutomaticTemperatureAxis) {
  Results r = HandResults();
  for (int a = 1; a <= 2; ++a)
    for (int b = 1; b <= 24; ++b) (*r.systems)(a).fBinWeather(b) = 0;
  graph::Chart chart(graph::ChartType::Xy);
  FillEfficiencyProfilesChart(chart, r.summary, *r.systems, kCooling, "");
  EXPECT_EQ(chart.PointCount(), 0);
  EXPECT_EQ(chart.xAxis.scale.mode, graph::ScaleMode::Automatic);
  EXPECT_EQ(chart.yAxis.scale, graph::Scale::Manual(0, 1.03));
}

TEST_F(Units, AnnualEfficiencyBarsArePlottedAsLabelled) {
  Results r = HandResults();
  graph::Chart chart(graph::ChartType::Bar);
  FillAnnualEfficiencyChart(chart, r.summary, *r.systems, kCooling, "");
  // Efficiencies without a unit: no empty parentheses in the title.
  EXPECT_EQ(chart.title, "Annual Cooling System Efficiency");
  EXPECT_EQ(chart.PointLabel(1), "2");
  ASSERT_EQ(chart.annotations().size(), 2u);
  EXPECT_EQ(chart.annotations()[0].text, "0.650");
  EXPECT_EQ(chart.yAxis.scale, graph::Scale::Manual(-0.00001, 1.6 * 0.65));

  // In kW/ton, in SI: the bar and its label both in ikW/kW.
  (*r.systems)(1).nEfficiencyType = 1;
  modpublic::gUnits.CurrentUnitOfMeasure(nMETRIC);
  graph::Chart si(graph::ChartType::Bar);
  FillAnnualEfficiencyChart(si, r.summary, *r.systems, kCooling, "ALT");
  EXPECT_EQ(si.title, "Annual Cooling System Efficiency (ikW/kW)");
  EXPECT_EQ(si.PointLabel(0), "ALT1");
  EXPECT_NEAR(*si.Y(0, 0), 0.65 * 0.2843451, 1e-9);
  EXPECT_EQ(si.annotations()[0].text, "0.185");
  EXPECT_NEAR(si.yAxis.scale.max, 1.6 * 0.65 * 0.2843451, 1e-9);
}

TEST(EconomicValues, AnnualEnergyCostBars) {
  Results r = HandResults();
  graph::Chart chart(graph::ChartType::Bar);
  FillAnnualEnergyCostChart(chart, r.summary, *r.systems, "");
  EXPECT_EQ(chart.title, "Annual Energy + Fuel Costs");
  EXPECT_EQ(chart.annotations()[1].text, "$10,000");
  EXPECT_DOUBLE_EQ(chart.yAxis.scale.max, 1.6 * 12000);
  r.summary.sCurrency = "EUR";
  (*r.systems)(1).dEnergyCost(10) = (*r.systems)(2).dEnergyCost(10) = 0;
  FillAnnualEnergyCostChart(chart, r.summary, *r.systems, "");
  EXPECT_EQ(chart.title, "Annual Energy + Fuel Costs (EUR)");
  EXPECT_EQ(chart.annotations().back().text, "0");
  EXPECT_DOUBLE_EQ(chart.yAxis.scale.max, 1.6);  // all 0: not a range of zero height
}

TEST(EconomicValues, FrameLayout) {
  const EfficiencyFrames two = EfficiencyFrameLayout(14400, 2);
  EXPECT_EQ(two.efficiency, (FrameBox{0, 1, 4320, 5039}));
  EXPECT_EQ(two.profiles, (FrameBox{4883, 1, 9317, 5040}));
  EXPECT_EQ(two.energyCost, FrameBox{});
  const EfficiencyFrames three = EfficiencyFrameLayout(14400, 3);
  EXPECT_EQ(three.energyCost, (FrameBox{0, 1, 4320, 2347}));
  EXPECT_EQ(three.efficiency, (FrameBox{0, 2692, 4320, 2347}));
  EXPECT_EQ(three.profiles, two.profiles);
  // The profiles frame starts 563 twips right of the left column and ends 200 short of the text.
  EXPECT_EQ(two.profiles.x - 4320, 563);
  EXPECT_EQ(two.profiles.x + two.profiles.width, 14400 - 200);
}

TEST_F(Units, Footnotes) {
  const struct {
    const char* name;
    int32_t unit;
    int kind;
    bool si;
    int32_t systemUnit;
    const char* note;
  } cases[] = {
      {"no unit, IP", 0, kCooling, false, 0,
       "Annual Cooling System Efficiency in  = (Cooling System Load in Ton-hrs x 12) / (Total Cooling Energy Use in "
       "kWh)"},
      {"no unit, SI", 0, kHeating, true, 0,
       "Annual Heating System Efficiency in  = (Heating System Load in kWh) / (Total Heating Energy Use in kWh)"},
      {"kW/ton", 33, kCooling, false, 0,
       "Annual Cooling System Efficiency in kW/Ton = (Total Cooling Energy Use in kWh) / (Cooling System Load in "
       "Ton-hrs)"},
      {"system unit, heating", 57, kHeating, false, 57,
       "Annual Heating System Efficiency in kWh = (Heating System Load in kBTU) / (Total Heating Energy Use in kBTU)"},
      {"system unit, cooling IP", 57, kCooling, false, 57,
       "Annual Cooling System Efficiency in kWh = (Cooling System Load in Ton-hrs x 12) / (Total Cooling Energy Use "
       "in kBTU)"},
      {"no match", 57, kCombined, false, 0, ""},
  };
  for (const auto& c : cases) {
    modpublic::gUnits.CurrentUnitOfMeasure(c.si ? nMETRIC : nENGLISH);
    modpublic::gSystemEfficiencyUnitID = c.systemUnit;
    EXPECT_EQ(AnnualEfficiencyFootnote(c.unit, c.kind), c.note) << c.name;
  }
}

TEST(EconomicValues, GasBoilerShareOfTheHeatingEnergy) {
  const struct {
    const char* name;
    double heating, recoveryKWh;
    bool shown;
    double share;
  } cases[] = {{"normal", 1000, 100, true, 1000 - 341.2141633},
               {"just above 1 %", 1000, 290, true, 1000 - 290 * 3.412141633},
               {"below 1 %", 1000, 291, true, 0},
               {"efficiency N/A", 1000, 100, false, 0},
               {"no heating energy", 0, 100, true, 0}};
  for (const auto& c : cases) {
    SystemEconData e;
    e.HeatingEnergyUse = c.heating;
    e.DHRCChillerEnergyForHeating = c.recoveryKWh;
    EXPECT_NEAR(GasBoilerEnergy(e, c.shown), c.share, 1e-9) << c.name;
  }
  EXPECT_FALSE(EfficiencyShown(0.01));
  EXPECT_FALSE(EfficiencyShown(-0.01));
  EXPECT_TRUE(EfficiencyShown(0.0101));
  EXPECT_EQ(clsReport::GetEfficiencyUnitConvID(1), KWTON_TO_IKWKW);
  EXPECT_EQ(clsReport::GetEfficiencyUnitConvID(7), NO_CONV);
}

}  // namespace
}  // namespace econruntest

namespace econruntest {
namespace {

using namespace reports::economics;

TEST(SummaryGraphs, FrameGrid) {
  // Two rows of three across the text, or one graph 3000 twips from the left.
  const SummaryFrames six = SummaryFrameGrid(10800, 6, 3, 0);
  ASSERT_EQ(six.graphs.size(), 6u);
  EXPECT_EQ(six.graphs[0], (FrameBox{0, 0, 3593, 2160}));  // (10800 - 20) / 3
  EXPECT_EQ(six.graphs[2], (FrameBox{2 * 3603, 0, 3593, 2160}));
  EXPECT_EQ(six.graphs[4], (FrameBox{3603, 2160, 3593, 2160}));
  EXPECT_EQ(six.enclosing, (FrameBox{0, 0, 10800, 4320}));
  const SummaryFrames one = SummaryFrameGrid(10800, 1, 1, 3000);
  ASSERT_EQ(one.graphs.size(), 1u);
  EXPECT_EQ(one.graphs[0], (FrameBox{3000, 0, 10800 - 6020, 2160}));
  EXPECT_TRUE(SummaryFrameGrid(10800, 0, 3, 0).graphs.empty());
}

TEST(SummaryGraphs, SixGraphsOfTwoAlternatives) {
  Results r = HandResults();
  EconCaseData& c = r.summary.Cases(1);
  c.dNPW = -500;
  c.fIRR = -1;
  const auto graphs = EconomicSummaryGraphValues(r.summary, *r.systems, 2);
  ASSERT_EQ(graphs.size(), 6u);
  EXPECT_EQ(graphs[1].title, "Energy + Fuel Costs");
  EXPECT_EQ(graphs[1].labels, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(graphs[1].annotations[0], "$12,000");
  // A net present worth saving of -500: a bar of 0, labelled with the saving.
  const SummaryGraph& npw = graphs[4];
  EXPECT_EQ(npw.labels, std::vector<std::string>{"B vs A"});
  EXPECT_EQ(npw.plotted, std::vector<double>{0});
  EXPECT_EQ(npw.annotations[0], "$-500");
  EXPECT_EQ(npw.minimum, -0.0001);
  EXPECT_EQ(graphs[5].annotations[0], "n/a");
  EXPECT_EQ(graphs[5].plotted, std::vector<double>{0});

  graph::Chart chart(graph::ChartType::Bar);
  FillSummaryChart(chart, graphs[1]);
  EXPECT_EQ(chart.yAxis.scale, graph::Scale::Manual(-0.00001, 1.6 * 12000));  // all positive
  c.fIRR = 12.34f;
  r.summary.sCurrency = "EUR";
  const auto euros = EconomicSummaryGraphValues(r.summary, *r.systems, 2);
  EXPECT_EQ(euros[0].title, "First Costs (EUR)");
  EXPECT_EQ(euros[5].title, "Internal Rate of Return");
  EXPECT_EQ(euros[5].annotations[0], "12.3 %");
  // Energy costs only: the one graph.
  EXPECT_EQ(EconomicSummaryGraphValues(r.summary, *r.systems, 1).size(), 1u);
}

}  // namespace
}  // namespace econruntest
