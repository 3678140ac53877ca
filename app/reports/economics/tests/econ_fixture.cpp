#include "app/reports/economics/tests/econ_fixture.h"

#include <cmath>

#include "app/calc/frmWait.h"
#include "app/calc/tests/calc_fixtures.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "platform/ui/ui.h"

namespace econtest {
namespace {

// The 24-bin site with each bin's hours spread over the months by how near the bin lies to
// the month's mean dry bulb (55 F +- 25 F, warmest in July).
WeatherData SeasonalWeather() {
  WeatherData w = calctest::Bins24Weather();
  for (int m = 1; m <= 12; ++m) w.lMonthHours(m) = 0;
  for (int b = 1; b <= w.nNumBins; ++b) {
    double share[13] = {};
    double total = 0;
    for (int m = 1; m <= 12; ++m) {
      const double mean = 55 + 25 * std::cos(2 * M_PI * (m - 7) / 12.0);
      share[m] = std::exp(-std::pow((w.fBinDB(b) - mean) / 15.0, 2));
      total += share[m];
    }
    int32_t left = w.lBinHours(b);
    for (int m = 1; m <= 12; ++m) {
      const int32_t h = m == 12 ? left : static_cast<int32_t>(w.lBinHours(b) * share[m] / total);
      w.lMonthBinHours(m, b) = h;
      w.fMonthBinMCWB(m, b) = w.fBinMCWB(b);
      w.lMonthHours(m) += h;
      left -= h;
    }
  }
  return w;
}

bool WriteTwoPlantProject(const calctest::ScratchFolder& scratch) {
  SystemData a = calctest::TwoChillerSystem();
  a.sName = "Plant A";
  a.nPlantControl = 4;
  a.dChillerCostA = 800000;
  a.dChillerMaint = 12000;
  a.dLoanAmount = 500000;
  a.fLoanRate = 6;
  a.fLoanYears = 10;
  a.nLoanPaymentType = 1;
  SystemData b = calctest::TwoChillerSystem();
  b.sName = "Plant B";
  b.dChillerCostA = 900000;
  b.dChillerMaint = 15000;
  EconomicsData eco = calctest::TwentyYearEconomics();
  eco.sGasUnit = "therm";
  eco.sSteamUnit = "Mlb";
  return calctest::WriteEconomicRun(scratch, SeasonalWeather(), a, b, eco);
}

EconRun Compute() {
  EconRun run;
  ui::RecordingHost host;
  ui::ScopedHost scopedHost(host);
  ui::RecordingProgress progress;
  ui::ScopedProgressTarget scopedProgress(progress);
  calctest::ScratchFolder scratch;
  EXPECT_TRUE(WriteTwoPlantProject(scratch));
  frmWait form;
  form.CalculationOnly(true);
  EXPECT_TRUE(form.ProcessReports());
  EXPECT_TRUE(host.messages.empty()) << (host.messages.empty() ? "" : host.messages[0].text);
  EXPECT_TRUE(modDataIO::bCalcReadEconData(run.summary, run.econ, *run.systems));
  return run;
}

}  // namespace

const EconRun& TwoPlantRun() {
  static const EconRun run = Compute();
  return run;
}

void EconReportTest::SetUp() {
  ReportTest::SetUp();
  ASSERT_TRUE(modpublic::InitGlobalSettings(modDataIO::GetAppFolder()));
  modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
}

bool EconReportTest::RunSection(const EconSummaryData& econ, const Systems& systems, int16_t costType,
                                const std::string& title, int32_t orientation, const std::function<bool()>& body,
                                const std::string& leadText) {
  EXPECT_TRUE(modDataIO::bCalcWriteHeaderData());
  EXPECT_TRUE(modDataIO::bCalcWriteEconData(PLVSummaryData{}, econ, systems));
  ReportData r;
  r.ReportType = 1;
  r.nTypeOfCostCalcs = costType;
  r.LeadText = leadText;
  EXPECT_TRUE(modDataIO::bReportsWrite(r));
  ran = false;
  report->EcoRptCombinedBody = [&] {
    int32_t n = 0;
    if (!report->BeginNewReport(title, orientation, n, true)) return false;
    // As the combined run does: a failed section gets its error line, the run goes on.
    ran = body();
    if (!ran) report->RptSectionError(title, true);
    return true;
  };
  report->EconomicAnalysisReports();
  return ran;
}

std::string EconReportTest::SavePdf(const std::string& name) {
  const std::string path = Working(name);
  EXPECT_TRUE(report->SaveReportAsFile(path, "pdf"));
  Keep(path);
  return path;
}

std::vector<std::vector<std::string>> EconReportTest::CellTexts(size_t t) {
  std::vector<std::vector<std::string>> out;
  const auto tables = Tables();
  if (t >= tables.size()) return out;
  for (const richtext::Row& row : tables[t]->rows) {
    std::vector<std::string> texts;
    for (const richtext::Cell& c : row.cells) {
      std::string s;
      for (size_t i = 0; i < c.paragraphs.size(); ++i) s += (i ? "\n" : "") + reporttest::TextOf(c.paragraphs[i]);
      texts.push_back(s);
    }
    out.push_back(texts);
  }
  return out;
}

std::vector<bool> EconReportTest::HeaderRows(size_t t) {
  std::vector<bool> out;
  const auto tables = Tables();
  if (t < tables.size())
    for (const richtext::Row& row : tables[t]->rows) out.push_back(row.header);
  return out;
}

std::vector<std::vector<std::string>> Texts(const reports::econ::Grid& grid) {
  std::vector<std::vector<std::string>> out;
  for (const auto& row : grid) {
    std::vector<std::string> texts;
    for (const auto& c : row) texts.push_back(c.text);
    out.push_back(texts);
  }
  return out;
}

}  // namespace econtest
