// The combined economic report run on hand-made results: its sections in their fixed order
// with their orientation and progress, failing sections, cancel, no sections, and the graph
// sections' contents in the document.
#include <filesystem>

#include <gtest/gtest.h>

#include "app/reports/economics/tests/econ_run_fixture.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "kestrin_version.h"

namespace econruntest {
namespace {

namespace fs = std::filesystem;
using namespace richtext;

ReportData AllSections(int16_t type) {
  ReportData o = Options(type);
  for (auto field : {&ReportData::EconSummary, &ReportData::AnnualCostComparison, &ReportData::AnnualSystemEfficiency,
                     &ReportData::EnergyCostsGraph, &ReportData::EnergyUseGraph, &ReportData::NetCashFlowGraph,
                     &ReportData::NetCashFlowCompGraph, &ReportData::EnergyCostDetails, &ReportData::EnergyUseDetails,
                     &ReportData::IncrCostDetails, &ReportData::CashFlowDetails})
    o.*field = vb::kTrue;
  return o;
}

class EconomicRun : public EconReportTest {
 protected:
  int PageBreaks() {
    int n = 0;
    for (const Section& s : doc().sections)
      for (const Block& b : s.blocks) n += std::holds_alternative<PageBreak>(b) ? 1 : 0;
    return n;
  }
  const Paragraph* ParagraphWith(const std::string& text) {
    for (const Section& s : doc().sections)
      for (const Block& b : s.blocks)
        if (const auto* p = std::get_if<Paragraph>(&b); p && reporttest::TextOf(*p) == text) return p;
    return nullptr;
  }
};

TEST_F(EconomicRun, SectionsInTheirOrder) {
  const struct {
    int16_t type;
    std::vector<std::string> titles;
    std::vector<int32_t> orientations;
    std::vector<float> progress;
  } cases[] = {
      {2,
       {"Chiller Economic Summary", "Annual Cost Comparison Report", "Annual System Efficiency Report",
        "Energy Costs by Month", "Electrical Energy Use by Month", "Net Cash Flow", "Net Cash Flow Components",
        "Energy Cost Details", "Energy Use Details", "Incremental Cost Analysis Details", "Cash Flow Details"},
       {1, 2, 2, 1, 1, 1, 1, 1, 1, 1, 2},
       {10, 10, 20, 25, 27, 30, 40, 50, 60, 70, 80, 90, 95, 100, 100}},
      // Energy costs only: no annual cost comparison, net cash flow, incremental cost or cash flow.
      {1,
       {"Chiller Economic Summary", "Annual System Efficiency Report", "Energy Costs by Month",
        "Electrical Energy Use by Month", "Energy Cost Details", "Energy Use Details"},
       {1, 2, 1, 1, 1, 1},
       {10, 10, 20, 27, 30, 40, 70, 80, 100, 100}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    progress.values.clear();
    WriteResults(HandResults(), AllSections(c.type));
    // The annual cost comparison and the incremental cost details have no body: asked for,
    // they fail, and the run with them is no success.
    const int failed = c.type == 2 ? 2 : 0;
    EXPECT_EQ(report->EconomicAnalysisReports(), failed == 0) << FirstMessage();
    EXPECT_EQ(report->FailedSections(), failed);
    EXPECT_EQ(report->LastRunOK(), failed == 0);
    EXPECT_EQ(SectionTitles(), c.titles);
    std::vector<int32_t> orientations;
    for (const auto& s : report->Sections()) {
      orientations.push_back(s.Orientation);
      EXPECT_TRUE(s.HdrFtr);
    }
    EXPECT_EQ(orientations, c.orientations);
    EXPECT_EQ(progress.values, c.progress);
    EXPECT_EQ(report->SubReportsCount(), static_cast<int32_t>(c.titles.size()));
    EXPECT_EQ(report->Reportinfo(1).FileName, "EcoCombined.rtf");
    EXPECT_EQ(report->Reportinfo(1).Title, "Chiller Economics Reports");
  }
}

TEST_F(EconomicRun, FailedSectionsGetTheirErrorLineAndTheRestStays) {
  // Without their bodies the table sections fail, each in its own sub-report. Rows 2 and 10
  // have no body at all.
  report->EconomicTables() = {};
  WriteResults(HandResults(), AllSections(2));
  EXPECT_FALSE(report->EconomicAnalysisReports()) << "failed sections are no success";
  EXPECT_EQ(report->FailedSections(), 6);
  for (const char* title : {"Chiller Economic Summary Report", "Annual Cost Comparison Report", "Energy Cost Details",
                            "Energy Use Details", "Incremental Cost Analysis Details", "Cash Flow Details"})
    EXPECT_TRUE(Has(std::string("Error found in this report:  ") + title)) << title;
  // The graph sections between them are all there: two efficiency frames, two monthly graphs,
  // the net cash flow and its components.
  EXPECT_EQ(Pictures().size(), 6u);
  EXPECT_FALSE(Has("Error found in this report:  Annual System Efficiency Report"));
  EXPECT_TRUE(host.messages.empty()) << FirstMessage();
  EXPECT_EQ(WorkingFiles(), std::vector<std::string>{"EcoCombined.rtf"});
  EXPECT_TRUE(report->Reportinfo(1).Saved);
}

TEST_F(EconomicRun, TableSectionsAreCalledWithAFreshSectionNumber) {
  std::vector<int32_t> numbers;
  int calls = 0;
  auto& tables = report->EconomicTables();
  tables.RptEconomicSummary0 = [&](int32_t& n) {
    numbers.push_back(n);
    ++n;
    return report->WriteTextLine("summary body");
  };
  tables.RptEnergyCostDetails0 = [&] { return ++calls, report->WriteTextLine("cost body"); };
  tables.RptEnergyUseDetails0 = [&] { return ++calls, report->WriteTextLine("use body"); };
  tables.RptCashFlowDetails0 = [&] { return ++calls, report->WriteTextLine("cash flow body"); };
  ReportData o = AllSections(2);
  o.AnnualCostComparison = o.IncrCostDetails = 0;
  WriteResults(HandResults(), o);
  ASSERT_TRUE(report->EconomicAnalysisReports()) << FirstMessage();
  EXPECT_EQ(numbers, std::vector<int32_t>{0});
  EXPECT_EQ(calls, 3);
  for (const char* body : {"summary body", "cost body", "use body", "cash flow body"}) EXPECT_TRUE(Has(body)) << body;
  for (const std::string& t : BodyTexts()) EXPECT_EQ(t.find("Error found"), std::string::npos) << t;
}

TEST_F(EconomicRun, CancelStopsBeforeTheSectionAndSavesNothing) {
  bool summaryRan = false;
  report->EconomicTables().RptEconomicSummary0 = [&](int32_t&) { return summaryRan = true; };
  WriteResults(HandResults(), AllSections(2));
  // 10 (run), 10 (report), then Cancel at the economic summary's step.
  progress.cancelAfterUpdates = 2;
  EXPECT_FALSE(report->EconomicAnalysisReports());
  EXPECT_FALSE(summaryRan);
  EXPECT_TRUE(WorkingFiles().empty());
  EXPECT_TRUE(host.messages.empty()) << FirstMessage();
  EXPECT_EQ(report->ReportsCount(), 0);
}

TEST_F(EconomicRun, NoSectionsStillSavesTheReport) {
  WriteResults(HandResults(), Options(2));
  ASSERT_TRUE(report->EconomicAnalysisReports()) << FirstMessage();
  EXPECT_EQ(progress.values, (std::vector<float>{10, 10, 100, 100}));
  EXPECT_EQ(WorkingFiles(), std::vector<std::string>{"EcoCombined.rtf"});
  EXPECT_EQ(report->SubReportsCount(), 0);
}

TEST_F(EconomicRun, InputSummaryFailureKeepsTheSections) {
  ReportData o = Options(2);
  o.EnergyCostsGraph = o.bInputSummary = vb::kTrue;
  report->PLVSections().InputSummary = nullptr;
  WriteResults(HandResults(), o);
  EXPECT_FALSE(report->EconomicAnalysisReports()) << "a failed section is no success";
  EXPECT_EQ(report->FailedSections(), 1);
  EXPECT_TRUE(Has("Error found in this report:  Input Data Summary Report"));
  EXPECT_EQ(Pictures().size(), 1u);
  EXPECT_EQ(SectionTitles().back(), "Input Data Summary Report");
  EXPECT_TRUE(report->Reportinfo(1).Saved);
}

TEST_F(EconomicRun, AGraphThatFailsShowsItsMessageAndItsErrorLine) {
  Results r = HandResults();
  r.summary.nNumSystems = 5;  // more alternatives than the results hold
  ReportData o = Options(2);
  o.EnergyCostsGraph = o.EnergyUseGraph = vb::kTrue;
  WriteResults(r, o);
  EXPECT_FALSE(report->EconomicAnalysisReports()) << "a failed section is no success";
  ASSERT_EQ(host.messages.size(), 4u);
  EXPECT_EQ(host.messages[0].title, std::string(kestrin::kProgramName) + ".clsReport.EnergyGraph");
  EXPECT_EQ(host.messages[1].text, "Error creating graph - Energy Costs by Month.");
  EXPECT_EQ(host.messages[1].title, std::string(kestrin::kProgramName) + ".clsReport.RptEnergyCostsGraph0");
  EXPECT_EQ(host.messages[3].text, "Error creating graph - Electrical Energy Use by Month.");
  EXPECT_TRUE(Has("Error found in this report:  Energy Costs Graph"));
  EXPECT_TRUE(Has("Error found in this report:  Energy Use Graph"));
  EXPECT_TRUE(Pictures().empty());
}

TEST_F(EconomicRun, NetCashFlowGraphPerComparison) {
  // Four alternatives: three comparisons against A, each on its own page.
  Results r = HandResults();
  r.summary.nNumSystems = 4;
  for (int a = 3; a <= 4; ++a) {
    (*r.systems)(a) = (*r.systems)(2);
    (*r.systems)(a).sSystemName = "Plant " + std::string(1, static_cast<char>('A' + a - 1));
    r.summary.Cases(a - 1).nBaseSystem = 1;
    r.summary.Cases(a - 1).nChallengerSystem = static_cast<int16_t>(a);
  }
  ReportData o = Options(2);
  o.NetCashFlowGraph = vb::kTrue;
  WriteResults(r, o);
  ASSERT_TRUE(report->EconomicAnalysisReports()) << FirstMessage();
  EXPECT_EQ(Pictures().size(), 3u);
  EXPECT_EQ(PageBreaks(), 2);
  const Paragraph* heading = ParagraphWith("Challenger: Plant D vs Base: Plant A");
  ASSERT_NE(heading, nullptr);
  EXPECT_EQ(heading->fmt.align, Align::Center);
  EXPECT_TRUE(heading->runs.front().fmt.bold);

  // One alternative: the notice alone.
  r = HandResults();
  r.summary.nNumSystems = 1;
  WriteResults(r, o);
  ASSERT_TRUE(report->EconomicAnalysisReports()) << FirstMessage();
  EXPECT_TRUE(Pictures().empty());
  const Paragraph* notice = ParagraphWith("No comparative cost data is available for this analysis.");
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(notice->runs.front().fmt.bold);
}

TEST_F(EconomicRun, AnnualSystemEfficiencySection) {
  ReportData o = Options(2);
  o.AnnualSystemEfficiency = vb::kTrue;
  WriteResults(HandResults(), o);
  ASSERT_TRUE(report->EconomicAnalysisReports()) << FirstMessage();
  // The efficiency bars and the profiles side by side, each at its frame's size less 10.
  EXPECT_EQ(Pictures(), (std::vector<std::pair<int32_t, int32_t>>{{4310, 5029}, {9307, 5030}}));
  EXPECT_TRUE(host.messages.empty()) << FirstMessage();
  EXPECT_FALSE(Has("Error found in this report:  Annual System Efficiency Report"));

  // With heat recovery: the combined group with its table, the cooling graphs, the heating
  // group with its table.
  modpublic::gHeatRecoveryOption = 1;
  Results r = HandResults();
  SystemEconData& a = (*r.systems)(1);
  a.HeatingSystemEfficiency = 0.9;
  a.HeatingEnergyUse = 1000;
  a.DHRCChillerEnergyForHeating = 100;
  a.HeatingLoad = 900;
  (*r.systems)(2).HeatingSystemEfficiency = 0.8;  // with no heating energy: no division
  WriteResults(r, o);
  ASSERT_TRUE(report->EconomicAnalysisReports()) << FirstMessage();
  EXPECT_TRUE(host.messages.empty()) << FirstMessage();
  EXPECT_TRUE(Has("1.  Annual Combined System Efficiency"));
  EXPECT_TRUE(Has("2.  Annual Heating System Efficiency"));
  EXPECT_EQ(Pictures().size(), 3u + 2u + 2u);
  EXPECT_EQ(PageBreaks(), 2);
  EXPECT_TRUE(Has("1 - Plant A"));
  EXPECT_TRUE(Has("659"));  // A's gas boiler: 1000 - 100 x 3.412 kBtu
  EXPECT_TRUE(Has("N/A"));  // the combined efficiency of 0
}

TEST_F(EconomicRun, EconomicSummaryGraphsInTheirFrames) {
  // Nothing calls the summary graphs: here the summary section's hook draws them.
  report->EconomicTables().RptEconomicSummary0 = [this](int32_t&) { return report->EconomicSummaryGraphs(); };
  ReportData o = Options(2);
  o.EconSummary = vb::kTrue;
  WriteResults(HandResults(), o);
  ASSERT_TRUE(report->EconomicAnalysisReports()) << FirstMessage();
  EXPECT_TRUE(host.messages.empty()) << FirstMessage();
  const auto pictures = Pictures();
  ASSERT_EQ(pictures.size(), 6u);
  EXPECT_EQ(pictures[0], (std::pair<int32_t, int32_t>{3593 - 10, 2150}));
  const std::string pdf = Working("EcoSummaryGraphs.pdf");
  EXPECT_TRUE(report->SaveReportAsFile(pdf, "pdf"));
  Keep(pdf);
}

TEST_F(EconomicRun, SingleSectionReports) {
  WriteResults(HandResults(), Options(2));
  ASSERT_TRUE(report->EconomicAnalysisReports()) << FirstMessage();  // the results are read
  int summaries = 0;
  report->PLVSections().InputSummary = [&] { return ++summaries, report->WriteTextLine("Input Data Summary"); };
  report->EconomicTables() = {};  // the table reports fail without their bodies
  const struct {
    bool (clsReport::*starter)();
    const char* file;  // "" when the report fails (no body here)
  } cases[] = {{&clsReport::RptEnergyCostsGraph, "Cost-grf.rtf"},
               {&clsReport::RptEnergyUseGraph, "Use-grf.rtf"},
               {&clsReport::RptNetCashFlowGraph, "NCF-grf.rtf"},
               {&clsReport::RptNetCashFlowCompGraph, "NCFC-grf.rtf"},
               {&clsReport::RptAnnualSystemEfficiency, "SEff-rpt.rtf"},
               {&clsReport::RptAnnualCostComparison, ""},
               {&clsReport::RptIncrCostDetails, ""},
               {&clsReport::RptEnergyCostDetails, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    report->InitReportDocument(1, true);
    report->ClearReportList();
    const bool expected = *c.file != 0;
    EXPECT_EQ((report.get()->*c.starter)(), expected);
    if (expected) {
      EXPECT_TRUE(fs::exists(Working(c.file)));
    }
    EXPECT_TRUE(host.messages.empty()) << FirstMessage();
  }
  EXPECT_EQ(summaries, 4);  // the four graph reports
  EXPECT_EQ(report->SystemLabelPrefix, "ALT");
  // The combined run labels the alternatives by number alone again.
  ASSERT_TRUE(report->EconomicAnalysisReports()) << FirstMessage();
  EXPECT_EQ(report->SystemLabelPrefix, "");
}

}  // namespace
}  // namespace econruntest
