// Whole economic runs with the scripted engine: the systems selected and their order, the
// CAL.DAT sections and monthly blocks, engine errors, and LCA.TXT against a golden file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/calc/econ_results.h"
#include "app/calc/frmWait.h"
#include "app/calc/modCalcs.h"
#include "app/calc/tests/calc_fixtures.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "app/storage/record_codec.h"
#include "libs/vb/vbcompat.h"
#include "platform/db/db.h"
#include "platform/plantengine/fake/fake_engine.h"
#include "platform/ui/ui.h"

namespace {

using grendax_fake::FakeChillerResult;
using grendax_fake::FakeCwPlant;
using grendax_fake::FakeRun;

constexpr float kPumpKW = 10, kCondPumpKW = 5, kFanKW = 2;

struct EconResults {
  PLVSummaryData summary;
  std::unique_ptr<EconSummaryData> econ = std::make_unique<EconSummaryData>();
  std::unique_ptr<vb::Array<SystemEconData, 1, 4>> systems = std::make_unique<vb::Array<SystemEconData, 1, 4>>();
};

// The site's whole year in month 1 (months 2 to 12 empty): one month to check by hand.
WeatherData MonthOneWeather(WeatherData w = calctest::FiveBinWeather()) {
  for (int b = 1; b <= w.nNumBins; ++b) {
    w.lMonthBinHours(1, b) = w.lBinHours(b);
    w.fMonthBinMCWB(1, b) = w.fBinMCWB(b);
  }
  return w;
}

class EconRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(modpublic::InitGlobalSettings(KESTRIN_PROGRAM_DIR));  // saves refuse it: never the scratch folder
    ASSERT_TRUE(calctest::WriteDefaultPlant(MonthOneWeather(), calctest::FiveBinLoad()));
    ReportData report;
    report.ReportType = 1;
    report.nTypeOfCostCalcs = 2;
    report.bIncludePumpEnergy = vb::kTrue;
    report.bIncludeTowerEnergy = vb::kTrue;
    report.nSysEffType = 1;
    ASSERT_TRUE(modDataIO::bReportsWrite(report));
    eco.sCurrency = "$";
    eco.nLifeCycleYears = 5;
    eco.fDiscountRate = 8;
    eco.fElecRate = 0.1f;
    eco.fDemandRate = 10;
    WriteEconomics();
    form.CalculationOnly(true);
    // Each new engine (one per system) runs its chiller at 0.1 kW/ton more than the last.
    form.SetEngineFactory([this] {
      auto p = std::make_unique<FakeCwPlant>();
      const double kwPerTon = 0.5 + 0.1 * engines++;
      p->SetScript([kwPerTon](const grendax_fake::FakeInputs& in) {
        FakeRun run;
        run.PrimaryPumpKW = kPumpKW;
        run.CondPumpKW = kCondPumpKW;
        run.FanKW = kFanKW;
        run.Chillers = {FakeChillerResult{in.CoolingLoad, in.CoolingLoad / 12 * kwPerTon, 0, 80}};
        return run;
      });
      fake = p.get();
      return std::unique_ptr<cCwPlant>(std::move(p));
    });
  }

  void WriteEconomics() { std::ofstream(scratch.File("ECO.DAT"), std::ios::binary) << modDataIO::codec::Encode(eco); }
  // Writes system `id` as a copy of the fixture system with a name and a chiller first cost.
  void WriteSystem(int16_t id, const std::string& name, double cost) {
    SystemData s = calctest::TwoChillerSystem();
    s.sName = name;
    s.dChillerCostA = cost;
    ASSERT_TRUE(modDataIO::bSystemWrite(id, s));
  }
  void Select(std::initializer_list<int> ids) {
    auto d = db::Database::Open(scratch.File("INX.MDB"), db::OpenMode::kReadWrite);
    for (int id : ids) d->Prepare("UPDATE Systems SET bSelected = -1 WHERE lID = ?1").Bind(1, id).Run();
    d->Close();
  }
  EconResults Read() {
    EconResults r;
    EXPECT_TRUE(modDataIO::bCalcReadEconData(r.summary, *r.econ, *r.systems));
    return r;
  }
  bool Cost(std::initializer_list<int16_t> ids) {
    vb::Array<int16_t, 1, 4> index;
    int i = 1;
    for (int16_t id : ids) index(i++) = id;
    int16_t type = 2, eff = 1;
    bool pumps = true, tower = true;
    return form.bCostController(index, type, pumps, tower, eff, calcErrors);
  }

  ui::RecordingHost host;
  ui::ScopedHost scopedHost{host};
  ui::RecordingProgress progress;
  ui::ScopedProgressTarget scopedProgress{progress};
  calctest::ScratchFolder scratch;
  frmWait form;
  EconomicsData eco;
  FakeCwPlant* fake = nullptr;
  int engines = 0;
  bool calcErrors = false;
};

TEST_F(EconRunTest, SystemsRunInOrderOfFirstCost) {
  const double costs[] = {300, 100, 200, 400};  // list order A, B, C, D
  for (int16_t id = 1; id <= 4; ++id) WriteSystem(id, std::string("Alt ") + char('A' + id - 1), costs[id - 1]);
  Select({1, 2, 3, 4});
  ASSERT_TRUE(form.ProcessReports()) << (host.messages.empty() ? "" : host.messages[0].text);
  EXPECT_TRUE(form.CalcsOK());
  const EconResults r = Read();
  ASSERT_EQ(r.econ->nNumSystems, 4);
  const int16_t order[] = {2, 3, 1, 4};
  for (int s = 1; s <= 4; ++s) {
    EXPECT_EQ((*r.systems)(s).nSysIndex, order[s - 1]) << s;
    EXPECT_DOUBLE_EQ((*r.systems)(s).dFirstCost(10), 100.0 * s) << s;
  }
  EXPECT_EQ(progress.values, (std::vector<float>{10, 25, 40, 55, 70, 80, 100}));
}

TEST_F(EconRunTest, OfSixSelectedSystemsTheFirstFourInListOrderRun) {
  const double costs[] = {40, 30, 20, 10, 2, 1};  // the last two would be the cheapest
  for (int16_t id = 1; id <= 6; ++id) WriteSystem(id, std::string("Alt ") + char('A' + id - 1), costs[id - 1]);
  Select({1, 2, 3, 4, 5, 6});
  ASSERT_TRUE(form.ProcessReports());
  const EconResults r = Read();
  ASSERT_EQ(r.econ->nNumSystems, 4);
  const int16_t order[] = {4, 3, 2, 1};
  for (int s = 1; s <= 4; ++s) EXPECT_EQ((*r.systems)(s).nSysIndex, order[s - 1]) << s;
}

TEST_F(EconRunTest, AnInputErrorOfAnySystemStopsBeforeTheAnalysis) {
  WriteSystem(1, "Alt A", 100);
  SystemData late = calctest::TwoChillerSystem();
  late.sName = "Alt B";
  late.dLoanAmount = 1000;
  late.fLoanYears = 30;  // beyond the 5-year life cycle
  late.nLoanPaymentType = 1;
  ASSERT_TRUE(modDataIO::bSystemWrite(2, late));
  Select({1, 2});
  EXPECT_FALSE(form.ProcessReports());
  EXPECT_TRUE(form.CalcsOK());
  EXPECT_TRUE(form.InputErrors());
  EXPECT_EQ(engines, 0);
  EXPECT_NE(calctest::ReadFile(scratch.File("ERR.DAT")).find("Error 201"), std::string::npos);
}

TEST_F(EconRunTest, AnAbsorptionChillerMakesTheEfficiencyCoolingOverTotalInput) {
  ChillerData absorber = calctest::Chiller600();
  absorber.nType = 6;
  absorber.fFLPower = 1.0f;
  ASSERT_TRUE(modDataIO::bChillerWrite(2, absorber));
  SystemData s = calctest::TwoChillerSystem();
  s.nChillerIDs(2) = 2;
  ASSERT_TRUE(modDataIO::bSystemWrite(1, s));
  Select({1});
  ASSERT_TRUE(form.ProcessReports()) << (host.messages.empty() ? "" : host.messages[0].text);
  EXPECT_FALSE(form.InputErrors()) << calctest::ReadFile(scratch.File("ERR.DAT"));
  const EconResults r = Read();
  EXPECT_EQ((*r.systems)(1).nEfficiencyType, 2);
  EXPECT_EQ((*r.systems)(1).bElectricOnly, 0);
}

TEST_F(EconRunTest, CalDatHoldsTheBlocksAndSectionsThatWereComputed) {
  WriteSystem(2, "Plant B", 500);
  ASSERT_TRUE(Cost({1, 2}));
  EXPECT_FALSE(calcErrors);

  // Month 1 by hand: each bin's chiller kW at 0.5 (system 1) or 0.6 kW/ton plus the pumps
  // and fans, times the bin's hours.
  const WeatherData w = MonthOneWeather();
  const LoadProfileData lp = calctest::FiveBinLoad();
  const std::string cal = calctest::ReadFile(scratch.File("CAL.DAT"));
  const EconResults r = Read();
  for (int s = 1; s <= 2; ++s) {
    const double kwPerTon = 0.4 + 0.1 * s;
    double kWh = 0, peak = 0, tonHours = 0;
    for (int16_t m = 1; m <= 12; ++m) {
      const std::size_t at = 50000 - 1 + ((s - 1) * 12 + (m - 1)) * std::size_t{18432};
      SimMonthData stored;
      ASSERT_EQ(modDataIO::codec::Decode(std::string_view(cal).substr(at, 18432), stored), 18432u);
      SimMonthData read;
      ASSERT_TRUE(modDataIO::bCalcReadSimData(static_cast<int16_t>(s), m, read));
      EXPECT_EQ(read, stored) << s << "/" << m;
      const SimMonthResults month = UnpackSimMonth(stored);
      for (int b = 1; b <= 5; ++b) {
        const double hours = m == 1 ? w.lBinHours(b) : 0;
        const double kW = lp.fBinLoad(b) * kwPerTon + kPumpKW + kCondPumpKW + kFanKW;
        EXPECT_EQ(month.fBinHours(b), hours) << s << "/" << m << "/" << b;
        EXPECT_NEAR(month.fKWh(b), kW * hours, 0.1) << s << "/" << m << "/" << b;
        kWh += kW * hours;
        tonHours += lp.fBinLoad(b) * hours;
        if (m == 1) peak = std::max(peak, kW);
      }
    }
    const SystemEconData& e = (*r.systems)(s);
    EXPECT_EQ(e.nSysIndex, s);
    EXPECT_NEAR(e.dMonthKWh(1), kWh, 1);
    EXPECT_NEAR(e.dTotalKWh, kWh, 1);
    EXPECT_NEAR(e.dMonthPeakKW(1), peak, 1e-3);
    EXPECT_NEAR(e.dMonthTonHours(1), tonHours, 1);
    EXPECT_NEAR(e.dMonthEnergyCost(1), 0.1 * kWh + 10 * peak, 0.5);
    EXPECT_NEAR(e.dEnergyCost(10), 0.1 * kWh + 10 * peak, 0.5);
    EXPECT_NEAR(e.dSystemEfficiency, kWh / tonHours, 1e-5);
    EXPECT_EQ(e.dMonthKWh(2), 0);
  }
  // Section C: the comparison of the two.
  const SystemEconData& a = (*r.systems)(1);
  const SystemEconData& b = (*r.systems)(2);
  EXPECT_EQ(r.econ->nNumSystems, 2);
  EXPECT_EQ(r.econ->nLifeCycleYears, 5);
  EXPECT_EQ(r.econ->sElecRateText, vb::FixedWidth("0.100 $      /kWH", 25));
  EXPECT_EQ(r.econ->Cases(1).nBaseSystem, 1);
  EXPECT_EQ(r.econ->Cases(1).nChallengerSystem, 2);
  EXPECT_NEAR(r.econ->Cases(1).dNPW, a.dLifeCycleCost - b.dLifeCycleCost, 1e-6);
  EXPECT_EQ(r.econ->Cases(1).nWinnerSystem, 1) << "system 2 costs more to buy and to run";
  EXPECT_EQ(r.econ->nLowestLCCSystem, 1);
  EXPECT_EQ(vb::Trim(r.summary.sCityName), "Testville");
  EXPECT_TRUE(std::filesystem::exists(scratch.File("LCA.TXT")));
}

// The site's bins spread over the months: each month is priced with its own bins and its
// own peak demand, which only the bins with hours in that month set; a month without hours
// costs nothing, and the year is the sum of its months.
TEST_F(EconRunTest, EachMonthIsPricedWithItsOwnBinsAndItsOwnPeak) {
  WeatherData w = calctest::FiveBinWeather();
  w.lMonthBinHours.fill(0);  // the fixture keeps the year in month 1
  w.fMonthBinMCWB.fill(0);
  w.lMonthHours.fill(0);
  const int months[5][2] = {{7, 7}, {6, 7}, {5, 9}, {3, 11}, {1, 12}};  // two months per bin
  for (int b = 1; b <= w.nNumBins; ++b) {
    const int first = months[b - 1][0], second = months[b - 1][1];
    w.lMonthBinHours(first, b) += w.lBinHours(b) / 2;
    w.lMonthBinHours(second, b) += w.lBinHours(b) - w.lBinHours(b) / 2;
    w.fMonthBinMCWB(first, b) = w.fMonthBinMCWB(second, b) = w.fBinMCWB(b);
  }
  const LoadProfileData lp = calctest::FiveBinLoad();
  ASSERT_TRUE(calctest::WriteDefaultPlant(w, lp));
  ASSERT_TRUE(Cost({1}));
  const EconResults r = Read();
  const SystemEconData& e = (*r.systems)(1);
  double year = 0, demand = 0;
  for (int m = 1; m <= 12; ++m) {
    double kWh = 0, peak = 0;
    for (int b = 1; b <= w.nNumBins; ++b) {
      const double kW = lp.fBinLoad(b) * 0.5 + kPumpKW + kCondPumpKW + kFanKW;
      kWh += kW * w.lMonthBinHours(m, b);
      if (w.lMonthBinHours(m, b) > 0) peak = std::max(peak, kW);
    }
    EXPECT_NEAR(e.dMonthKWh(m), kWh, 1) << "month " << m;
    EXPECT_NEAR(e.dMonthPeakKW(m), peak, 1e-3) << "month " << m;
    EXPECT_NEAR(e.dMonthEnergyCost(m), 0.1 * kWh + 10 * peak, 0.5) << "month " << m;
    year += kWh;
    demand += 10 * peak;
  }
  EXPECT_EQ(e.dMonthKWh(2), 0);
  EXPECT_EQ(e.dMonthPeakKW(4), 0);
  EXPECT_LT(e.dMonthPeakKW(1), e.dMonthPeakKW(7)) << "January's peak is its own, not July's";
  EXPECT_NEAR(e.dTotalKWh, year, 1);
  EXPECT_NEAR(e.dEnergyCost(10), 0.1 * year + demand, 1);
}

TEST_F(EconRunTest, AnEngineErrorEndsTheRunAndKeepsTheBlocksWritten) {
  WriteSystem(2, "Plant B", 500);
  form.SetEngineFactory([this] {
    auto p = std::make_unique<FakeCwPlant>();
    if (++engines == 2) p->RaiseErrorAt("plant.CalcPlant()", 3, grendax_fake::FakeError{});
    return std::unique_ptr<cCwPlant>(std::move(p));
  });
  EXPECT_FALSE(Cost({1, 2}));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("Scripted engine error"), std::string::npos);
  SimMonthData block;
  ASSERT_TRUE(modDataIO::bCalcReadSimData(1, 1, block));
  EXPECT_EQ(UnpackSimMonth(block).fBinHours(1), 50) << "system 1 was written";
  ASSERT_TRUE(modDataIO::bCalcReadSimData(2, 1, block));
  EXPECT_EQ(UnpackSimMonth(block), SimMonthResults{}) << "system 2 ended in its first month";
  EXPECT_EQ(form.ocwPlant(), nullptr);
}

TEST_F(EconRunTest, CancelEndsTheRunAtTheNextSystem) {
  WriteSystem(2, "Plant B", 500);
  progress.cancelAfterUpdates = 1;
  EXPECT_FALSE(Cost({1, 2}));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(engines, 1);
  EXPECT_FALSE(std::filesystem::exists(scratch.File("LCA.TXT")));
  EXPECT_EQ(form.ocwPlant(), nullptr);
}

// Through the controller, a loan term of no whole year and a life cycle past 50 years stop
// at the input check, before any engine is made, naming the system and the value.
TEST_F(EconRunTest, EconomicPeriodsStopAtTheInputCheck) {
  struct Case {
    int16_t lifeCycle;
    float loanYears;
    const char* line;
  } cases[] = {
      {5, 0.3f, "The loan term of 0.3 years does not round to 1 to 50 whole years."},
      {60, 2, "The life-cycle period of 60 years is outside 0 to 50 years."},
  };
  for (const Case& c : cases) {
    eco.nLifeCycleYears = c.lifeCycle;
    WriteEconomics();
    SystemData s = calctest::TwoChillerSystem();
    s.sName = "Alt Loan";
    s.dLoanAmount = 1000;
    s.fLoanYears = c.loanYears;
    s.nLoanPaymentType = 1;
    ASSERT_TRUE(modDataIO::bSystemWrite(1, s));
    Select({1});
    frmWait run;
    run.SetEngineFactory([this] {
      ++engines;
      return std::unique_ptr<cCwPlant>();
    });
    run.CalculationOnly(true);
    EXPECT_FALSE(run.ProcessReports()) << c.line;
    EXPECT_TRUE(run.CalcsOK()) << c.line;
    EXPECT_TRUE(run.InputErrors()) << c.line;
    EXPECT_EQ(engines, 0);
    EXPECT_TRUE(host.messages.empty()) << host.messages[0].text;
    const std::string err = calctest::ReadFile(scratch.File("ERR.DAT"));
    EXPECT_NE(err.find("Errors in Input Data for System:  [Alt Loan]"), std::string::npos) << err;
    EXPECT_NE(err.find(c.line), std::string::npos) << err;
  }
}

TEST_F(EconRunTest, ALifeCycleAboveFiftyYearsIsReportedBeforeTheRun) {
  eco.nLifeCycleYears = 51;
  WriteEconomics();
  EXPECT_FALSE(Cost({1}));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "bCostController");
  EXPECT_NE(host.messages[0].text.find("51 years"), std::string::npos);
  EXPECT_EQ(engines, 0);
}

// Two plants of the fixture's two 600-ton chillers over 24 bins with the real engine: a
// sequenced plant and one with equal unloading.
TEST_F(EconRunTest, TwoPlantsThroughTheRealEngine) {
  form.SetEngineFactory([] { return CreateCwPlant(); });
  ASSERT_TRUE(calctest::WriteDefaultPlant(MonthOneWeather(calctest::Bins24Weather()), calctest::Bins24Load()));
  SystemData equal = calctest::TwoChillerSystem();
  equal.sName = "Plant B";
  equal.nPlantControl = 4;
  ASSERT_TRUE(modDataIO::bSystemWrite(2, equal));
  ASSERT_TRUE(Cost({1, 2})) << (host.messages.empty() ? "" : host.messages[0].text);
  const EconResults r = Read();
  for (int s = 1; s <= 2; ++s) {
    const SystemEconData& e = (*r.systems)(s);
    // kWh per ton-hour of the whole plant (chillers, pumps, fans) in the range of real plants.
    EXPECT_GT(e.dSystemEfficiency, 0.4) << s;
    EXPECT_LT(e.dSystemEfficiency, 1.0) << s;
    EXPECT_NEAR(e.dTotalKWh, e.dMonthKWh(1), 1e-6 * e.dTotalKWh) << s;
    EXPECT_NEAR(e.dChillerKWh + e.dTowerKWh + e.dChwPumpKWh + e.dCwPumpKWh, e.dMonthKWh(1), 1) << s;
    EXPECT_GT(e.dChillerKWh, 0.6 * e.dTotalKWh) << s;
    EXPECT_GT(e.dLifeCycleCost, 0) << s;
  }
  EXPECT_NE((*r.systems)(1).dTotalKWh, (*r.systems)(2).dTotalKWh) << "the two controls stage differently";
}

// LCA.TXT of one system with four chillers over a two-year life cycle, a single bin with
// hours in January and July: the plant, its site and its engine.
class LcaTxtTest : public EconRunTest {
 protected:
  void SetUp() override {
    EconRunTest::SetUp();
    WeatherData w;
    w.sName = "Testville";
    w.nNumBins = 1;
    w.fBinDB(1) = 92.5f;
    w.fBinMCWB(1) = 74;
    w.lBinHours(1) = 150;
    w.lMonthBinHours(1, 1) = 50;
    w.fMonthBinMCWB(1, 1) = 72;
    w.lMonthBinHours(7, 1) = 100;
    w.fMonthBinMCWB(7, 1) = 76;
    LoadProfileData lp;
    lp.sName = "Office";
    lp.fBinLoad(1) = 1500;
    ASSERT_TRUE(calctest::WriteDefaultPlant(w, lp));
    SystemData s = calctest::TwoChillerSystem();
    s.sName = "Golden plant";
    s.nNumChillers = 4;
    for (int i = 1; i <= 4; ++i) {
      s.sChillerNames(i) = "CH-" + std::to_string(i);
      s.nChillerIDs(i) = 1;
      s.nTowerIDs(i) = 1;
    }
    s.dChillerCostA = 400000;
    s.dChillerCostB = 50000;
    s.dTowerCostA = 60000;
    s.dChwPumpCostA = 20000;
    s.dCondPumpCostA = 15000;
    s.dChillerMaint = 4000;
    s.dOtherMaintAmount(1) = 1500;
    s.dLoanAmount = 300000;
    s.fLoanRate = 6;
    s.fLoanYears = 2;
    s.nLoanPaymentType = 1;
    ASSERT_TRUE(modDataIO::bSystemWrite(1, s));
    eco.nLifeCycleYears = 2;
    eco.fElecEscalation = 3;
    eco.fMaintEscalation = 2;
    WriteEconomics();
    form.SetEngineFactory([] {
      auto p = std::make_unique<FakeCwPlant>();
      p->SetScript([](const grendax_fake::FakeInputs& in) {
        FakeRun run;
        run.PrimaryPumpKW = 40;
        run.SecondaryPumpKW = 12.5;
        run.CondPumpKW = 30;
        run.FanKW = 18.25;
        run.SupplyTemp = 44;
        const double share = in.CoolingLoad / 3;  // three of the four run
        run.Chillers = {FakeChillerResult{share, share / 12 * 0.55, 0, 82.5},
                        FakeChillerResult{share, share / 12 * 0.55, 0, 82.5},
                        FakeChillerResult{share, share / 12 * 0.55, 0, 82.5}};
        return run;
      });
      return std::unique_ptr<cCwPlant>(std::move(p));
    });
  }

  static std::string Golden() {
    return calctest::ReadFile(std::string(KESTRIN_TEST_SOURCE_DIR) + "/tests/data/econ_lca_golden.txt");
  }
  // A folder of its own inside the scratch folder, for a listing written elsewhere.
  std::string OtherFolder() {
    const std::string dir = scratch.File("listing/");
    std::filesystem::create_directories(dir);
    return dir;
  }
};

TEST_F(LcaTxtTest, MatchesTheGoldenFile) {
  ASSERT_TRUE(Cost({1}));
  const std::string actual = calctest::ReadFile(scratch.File("LCA.TXT"));
  const std::string golden = Golden();
  if (actual != golden) {
    const auto kept = std::filesystem::temp_directory_path() / "econ_lca_actual.txt";
    std::ofstream(kept, std::ios::binary) << actual;
    ADD_FAILURE() << "LCA.TXT differs from the golden file; the output was left in " << kept;
  }
  EXPECT_FALSE(golden.empty());
}

// A listing sent to another folder still lists the monthly blocks of the run, which stay
// in the scratch folder's CAL.DAT.
TEST_F(LcaTxtTest, AListingInAnotherFolderReadsTheBlocksOfTheRun) {
  ASSERT_TRUE(Cost({1}));
  const EconResults r = Read();
  std::string folder = OtherFolder();
  ASSERT_TRUE(modCalcs::bWriteEconDiagnostic(*r.econ, *r.systems, folder))
      << (host.messages.empty() ? "" : host.messages[0].title + ": " + host.messages[0].text);
  EXPECT_EQ(calctest::ReadFile(folder + "LCA.TXT"), Golden());
}

// A block that cannot be read ends the listing with false after the reader's own box; what
// was listed before the detailed results stays in the file.
TEST_F(LcaTxtTest, AnUnreadableBlockEndsTheListingAndKeepsWhatWasListed) {
  ASSERT_TRUE(Cost({1}));
  const EconResults r = Read();
  std::filesystem::remove(scratch.File("CAL.DAT"));
  std::string folder = OtherFolder();
  EXPECT_FALSE(modCalcs::bWriteEconDiagnostic(*r.econ, *r.systems, folder));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].title, "bWriteEconDiagnostic") << "the reader reports its own failure";
  const std::string golden = Golden();
  const std::size_t detailed = golden.find("DETAILED SIMULATION RESULTS");
  ASSERT_NE(detailed, std::string::npos);
  EXPECT_EQ(calctest::ReadFile(folder + "LCA.TXT"), golden.substr(0, detailed));
}

// LCA.TXT of the scratch folder is the run's own file: a link in its place is refused with
// the box of the other scratch files and its target stays untouched. In a folder of the
// user's choice it is the user's file, and a link there is followed as for any file the user
// keeps.
TEST_F(LcaTxtTest, ALinkInPlaceOfTheScratchListingIsRefused) {
  ASSERT_TRUE(Cost({1}));
  const EconResults r = Read();
  const std::string target = OtherFolder() + "elsewhere.txt";
  const struct {
    const char* what;
    std::string folder;  // "": the scratch folder
    bool written;
  } cases[] = {{"the scratch folder", "", false}, {"a folder of the user's choice", OtherFolder(), true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(target, std::ios::binary) << "the user's own text";
    const std::string link = (c.folder.empty() ? scratch.File("") : c.folder) + "LCA.TXT";
    std::filesystem::remove(link);
    std::filesystem::create_symlink(target, link);
    host.messages.clear();
    std::string folder = c.folder;
    EXPECT_EQ(modCalcs::bWriteEconDiagnostic(*r.econ, *r.systems, folder), c.written);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    if (c.written) {
      EXPECT_TRUE(host.messages.empty());
      EXPECT_EQ(calctest::ReadFile(target), Golden());
    } else {
      ASSERT_EQ(host.messages.size(), 1u);
      EXPECT_EQ(host.messages[0].title, "bWriteEconDiagnostic");
      EXPECT_NE(host.messages[0].text.find("Not a regular file: " + link), std::string::npos) << host.messages[0].text;
      EXPECT_EQ(calctest::ReadFile(target), "the user's own text");
    }
  }
}

// A listing that cannot be written is the listing's failure alone: its box names LCA.TXT and
// where it was to go, and does not say that the calculations failed; the run's results are
// stored and read back whole.
TEST_F(LcaTxtTest, AListingThatCannotBeWrittenIsNamedAsTheListing) {
  const struct {
    const char* what;
    bool scratch;
  } cases[] = {{"the scratch folder, in the run", true}, {"a folder of the user's choice", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string folder = c.scratch ? std::string() : OtherFolder();
    const std::string listing = (c.scratch ? scratch.File("") : folder) + "LCA.TXT";
    std::filesystem::remove_all(listing);
    std::filesystem::create_directories(listing);  // a folder where the file belongs
    host.messages.clear();
    if (c.scratch) {
      EXPECT_FALSE(Cost({1}));
    } else {
      ASSERT_TRUE(Cost({1})) << (host.messages.empty() ? "" : host.messages[0].text);
      const EconResults run = Read();
      EXPECT_FALSE(modCalcs::bWriteEconDiagnostic(*run.econ, *run.systems, folder));
    }
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "bWriteEconDiagnostic");
    const std::string& text = host.messages[0].text;
    EXPECT_EQ(text.rfind("The economics listing LCA.TXT could not be written to " + listing + ".\r\n\r\nError ", 0), 0u)
        << text;
    EXPECT_EQ(text.find("Calculations failed"), std::string::npos) << text;
    const EconResults r = Read();
    EXPECT_EQ(r.econ->nNumSystems, 1);
    EXPECT_GT((*r.systems)(1).dChwPumpKWh, 0);
    std::filesystem::remove_all(listing);
  }
}

}  // namespace
