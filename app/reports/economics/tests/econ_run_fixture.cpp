#include "app/reports/economics/tests/econ_run_fixture.h"

#include <algorithm>

#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"

namespace econruntest {

Results HandResults() {
  Results r;
  EconSummaryData& s = r.summary;
  s.nNumSystems = 2;
  s.sCurrency = "$";
  s.nLifeCycleYears = 2;
  s.Cases(1).nBaseSystem = 1;
  s.Cases(1).nChallengerSystem = 2;
  s.Cases(1).nWinnerSystem = 2;
  struct Plant {
    const char* name;
    double investment, energy, maintenance, january, perMonth, kWhPerMonth, annualCost, efficiency;
  } plants[] = {{"Plant A", 1000, 300, 50, 1234.4, 100, 1000, 12000, 0.65},
                {"Plant B", 1500, 200, 60, 1234.6, 90, 900, 10000, 0.55}};
  for (int a = 1; a <= 2; ++a) {
    const Plant& p = plants[a - 1];
    SystemEconData& e = (*r.systems)(a);
    e.nSysIndex = static_cast<int16_t>(a);
    e.sSystemName = p.name;
    e.dInvestTotal(0) = p.investment;
    for (int y = 1; y <= 2; ++y) {
      e.dEnergyByYear(y) = p.energy;
      e.dMaintByYear(y) = p.maintenance;
    }
    for (int m = 1; m <= 12; ++m) {
      e.dMonthEnergyCost(m) = m == 1 ? p.january : p.perMonth * m;
      e.dMonthKWh(m) = p.kWhPerMonth * m;
    }
    e.dEnergyCost(10) = p.annualCost;
    e.dSystemEfficiency = p.efficiency;
    for (int b = 1; b <= 20; ++b) {
      e.fBinWeather(b) = static_cast<float>(100 - 5 * (b - 1));
      e.dBinTonHours(b) = 100.0 * b;
      e.dBinEfficiency(b) = p.efficiency - 0.1 + b / 100.0;
    }
  }
  return r;
}

void WriteResults(const Results& results, const ReportData& options) {
  ASSERT_TRUE(modDataIO::bCalcWriteHeaderData());
  ASSERT_TRUE(modDataIO::bCalcWriteEconData(PLVSummaryData{}, results.summary, *results.systems));
  ASSERT_TRUE(modDataIO::bReportsWrite(options));
}

ReportData Options(int16_t typeOfCostCalcs) {
  ReportData o;
  o.ReportType = 1;
  o.nTypeOfCostCalcs = typeOfCostCalcs;
  return o;
}

void EconReportTest::SetUp() {
  ReportTest::SetUp();
  modpublic::gAppPath = std::string(KESTRIN_PROGRAM_DIR) + "/";
  ASSERT_TRUE(modpublic::InitGlobalSettings(modpublic::gAppPath));
}

void EconReportTest::TearDown() {
  modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
  modpublic::gHeatRecoveryOption = 0;
  ReportTest::TearDown();
}

bool EconReportTest::Has(const std::string& text) {
  const auto texts = BodyTexts();
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::vector<std::string> EconReportTest::SectionTitles() {
  std::vector<std::string> out;
  for (const auto& s : report->Sections()) out.push_back(s.Title);
  return out;
}

std::vector<std::pair<int32_t, int32_t>> EconReportTest::Pictures() {
  std::vector<std::pair<int32_t, int32_t>> out;
  for (const richtext::Section& s : doc().sections)
    for (const richtext::Block& b : s.blocks)
      if (const auto* p = std::get_if<richtext::Paragraph>(&b)) {
        for (const richtext::Run& r : p->runs)
          if (r.picture) out.emplace_back(r.picture->width, r.picture->height);
        for (const richtext::Frame& f : p->frames)
          if (f.picture) out.emplace_back(f.picture->width, f.picture->height);
      }
  return out;
}

}  // namespace econruntest
