// The economic report end to end: the default project's two plants (sequenced and equal
// unloading) through the set-up and a 20-year life-cycle cost calculation, then the economic
// launcher of the main window (headless: calculation and report run behind the progress
// window's controller), the combined report saved as PDF and its pages rendered.
#include <filesystem>
#include <cmath>

#include <gtest/gtest.h>

#include "app/program/frmMain.h"
#include "app/program/tests/econ_run_setup.h"
#include "app/reports/economics/tests/econ_run_fixture.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace econruntest {
namespace {

namespace fs = std::filesystem;
using namespace reports::economics;

class EconomicReport : public EconReportTest {
 protected:
  void SetUpRun() {
    ASSERT_TRUE(frmMain::PrepareDataFiles());
    ASSERT_TRUE(WriteEconomicRun(20)) << FirstMessage();
  }
};

TEST_F(EconomicReport, TwoPlantsOverTwentyYearsSavedAsPdf) {
  SetUpRun();
  std::string pdf;
  int32_t subReports = 0;
  size_t pictures = 0;
  std::vector<std::string> titles;
  int32_t failedSections = -1;
  bool runOK = false;
  ASSERT_TRUE(frmMain::PerformEconomicsAnalysis([&](clsReport& r) {
    subReports = r.SubReportsCount();
    failedSections = r.FailedSections();
    runOK = r.LastRunOK();
    for (const auto& s : r.Sections()) titles.push_back(s.Title);
    pdf = Working("EcoCombined.pdf");
    EXPECT_TRUE(r.SaveReportAsFile(pdf, "pdf"));
    for (const richtext::Section& s : richtext::TerEditor(r.TerHwnd())->doc.sections)
      for (const richtext::Block& b : s.blocks)
        if (const auto* p = std::get_if<richtext::Paragraph>(&b)) {
          for (const richtext::Run& run : p->runs) pictures += run.picture ? 1 : 0;
          for (const richtext::Frame& f : p->frames) pictures += f.picture ? 1 : 0;
        }
  }));
  Keep(pdf);
  // Every box the run showed: none but nothing at all is expected from the graphs.
  for (const auto& m : host.messages) ADD_FAILURE() << m.title << ": " << m.text;
  EXPECT_TRUE(fs::exists(Working("EcoCombined.rtf")));
  // Cover page and the nine sections with a body of a life-cycle run the shipped options ask
  // for, then the input data summary, whose two-column part adds two document sections.
  std::string all;
  for (const auto& t : titles) all += t + " | ";
  EXPECT_EQ(subReports, 11) << all;
  ASSERT_EQ(titles.size(), 13u) << all;
  EXPECT_EQ(failedSections, 0);
  EXPECT_TRUE(runOK);
  EXPECT_EQ(titles[2], "Annual System Efficiency Report");
  // Two efficiency frames, two monthly graphs, one net cash flow and one components graph
  // (one comparison), and the cover page's logo when the options show it.
  EXPECT_GE(pictures, 6u);

  // Hand checks on the results the report read: the efficiencies on the bars are the plants'
  // kWh per ton-hour (kW/ton), and the net cash flow grows with the 3 % energy escalation.
  PLVSummaryData plv;
  EconSummaryData summary;
  auto systems = std::make_unique<SystemEconArray>();
  ASSERT_TRUE(modDataIO::bCalcReadEconData(plv, summary, *systems));
  ASSERT_EQ(summary.nNumSystems, 2);
  ASSERT_EQ(summary.nLifeCycleYears, 20);
  graph::Chart bars(graph::ChartType::Bar);
  FillAnnualEfficiencyChart(bars, summary, *systems, kCooling, "");
  ASSERT_EQ(bars.annotations().size(), 2u);
  EXPECT_EQ(bars.title, "Annual Cooling System Efficiency (kW/Ton)");
  for (int a = 1; a <= 2; ++a) {
    const SystemEconData& e = (*systems)(a);
    ASSERT_GT(e.dAnnualTonHours, 0);
    EXPECT_EQ(bars.annotations()[static_cast<size_t>(a - 1)].text,
              vb::Format(e.dTotalKWh / e.dAnnualTonHours, "0.000"));
  }
  const EconCaseData& c = summary.Cases(1);
  const auto flows = NetCashFlows((*systems)(c.nBaseSystem), (*systems)(c.nChallengerSystem), 20);
  const double energySaved =
      (*systems)(c.nBaseSystem).dEnergyCost(10) - (*systems)(c.nChallengerSystem).dEnergyCost(10);
  EXPECT_GT(energySaved, 0);
  EXPECT_NEAR(flows[1].energy, energySaved * 1.03, 0.01 * energySaved);
  EXPECT_NEAR(flows[20].energy / flows[1].energy, std::pow(1.03, 19), 1e-6);
  const std::string pages = reporttest::RunCommand("pdfinfo '" + pdf + "' | grep Pages");
  EXPECT_NE(pages.find("Pages:"), std::string::npos);
  // No error page, and every unit slot filled: no empty unit in parentheses or after a "/".
  const std::string text = reporttest::RunCommand("pdftotext -layout '" + pdf + "' -");
  EXPECT_EQ(text.find("Error found in this report"), std::string::npos);
  EXPECT_EQ(text.find("()"), std::string::npos);
  EXPECT_EQ(text.find(" /\n"), std::string::npos);
  EXPECT_NE(text.find("Natural Gas Use (therm)"), std::string::npos);

  // The same results in SI units, without calculating again.
  modpublic::gUnits.CurrentUnitOfMeasure(nMETRIC);
  report->ReportType(1);
  ASSERT_TRUE(report->EconomicAnalysisReports()) << FirstMessage();
  const std::string si = Working("EcoCombined_SI.pdf");
  EXPECT_TRUE(report->SaveReportAsFile(si, "pdf"));
  Keep(si);
  EXPECT_TRUE(host.messages.empty()) << FirstMessage();
}

}  // namespace
}  // namespace econruntest
