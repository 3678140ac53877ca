// Whole part-load runs through the controller: with the real engine from fixture records,
// and with the scripted engine for heat-driven plants, unmet loads, Cancel and engine errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/calc/frmWait.h"
#include "app/calc/modCalcs.h"
#include "app/calc/tests/calc_fixtures.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/db/db.h"
#include "platform/plantengine/fake/fake_engine.h"
#include "platform/ui/ui.h"

namespace {

using calctest::ScratchFolder;

struct Results {
  PLVSummaryData summary;
  std::unique_ptr<PLVProfileData> profile = std::make_unique<PLVProfileData>();
};

class PLVRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(modpublic::InitGlobalSettings(KESTRIN_PROGRAM_DIR));  // saves refuse it: never the scratch folder
    ASSERT_TRUE(calctest::WriteDefaultPlant());
    form.CalculationOnly(true);
  }
  void TearDown() override { modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH); }

  // Runs the window's work as the first activation does.
  bool Run() { return form.ProcessReports(); }
  Results Read() {
    Results r;
    EXPECT_TRUE(modDataIO::bCalcReadPLVData(r.summary, *r.profile));
    return r;
  }
  std::string Errors() { return calctest::ReadFile(scratch.File("ERR.DAT")); }
  void UseFake(std::function<void(grendax_fake::FakeCwPlant&)> configure) {
    form.SetEngineFactory([this, configure] {
      auto p = std::make_unique<grendax_fake::FakeCwPlant>();
      fake = p.get();
      configure(*p);
      return std::unique_ptr<cCwPlant>(std::move(p));
    });
  }

  ui::RecordingHost host;
  ui::ScopedHost scopedHost{host};
  ui::RecordingProgress progress;
  ui::ScopedProgressTarget scopedProgress{progress};
  ScratchFolder scratch;
  frmWait form;
  grendax_fake::FakeCwPlant* fake = nullptr;
};

constexpr const char* kCleanErrors =
    "\r\nErrors in Input Data for System:  [Plant A]\r\n\tNone\r\n"
    "\r\nErrors in Calculation for System: [Plant A]\r\n\tNone\r\n";

// The system part-load value from the recorded bins: each bin's efficiency from the
// chillers' recorded inputs and the bin load, weighted by the bin's share of ton-hours.
double HandPLV(const PLVProfileData& p, int16_t nEfficiencyInput) {
  double ratioSum = 0, productSum = 0;
  for (int b = 1; b <= p.nLastLoadBin; ++b) {
    const PLVBinData& bin = p.Bins(b);
    const double L = bin.fLoad * 12.0;
    double kW = 0;
    for (int j = 1; j <= p.nNumChillerResults; ++j)
      if (p.ChillerResults(j).bBinOn(b)) kW += p.ChillerResults(j).vBinValues(b).value_or(0);
    const double w = static_cast<double>(bin.lLoadHours) / p.lTotalLoadHours;
    if (nEfficiencyInput == 0)
      ratioSum += w / (kW * 12.0 / L);  // kW/ton
    else
      productSum += w * (L / kW);  // output per kW
  }
  return nEfficiencyInput == 0 ? 1.0 / ratioSum : productSum;
}

TEST_F(PLVRunTest, RealEngineKWPerTon) {
  ASSERT_TRUE(Run());
  EXPECT_TRUE(form.CalcsOK());
  EXPECT_FALSE(form.InputErrors());
  EXPECT_FALSE(form.CalcErrors());
  EXPECT_FALSE(form.DoCalcs());
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(progress.values, (std::vector<float>{10, 40, 70, 100}));
  EXPECT_EQ(progress.messages.back(), "Finished");

  const Results r = Read();
  // Section A.
  EXPECT_EQ(vb::Trim(r.summary.sCityName), "Testville");
  EXPECT_EQ(vb::Trim(r.summary.sDaySchedules(0)), "0700-1800: WeekDay");
  EXPECT_EQ(vb::Trim(r.summary.sDaySchedules(1)), "On All Day: Saturday");
  EXPECT_EQ(vb::Trim(r.summary.sDaySchedules(2)), "Off All Day: Sunday");
  EXPECT_EQ(r.summary.nNumPeriods, 1);
  EXPECT_EQ(vb::Trim(r.summary.sPeriods(0)), "Full Year");
  EXPECT_EQ(vb::Trim(r.summary.sLoadProfileName), "Office");
  EXPECT_FLOAT_EQ(r.summary.fPeakLoad, 1000);

  // Section B: header and bins.
  const PLVProfileData& p = *r.profile;
  EXPECT_EQ(vb::Trim(p.sSystemName), "Plant A");
  EXPECT_EQ(p.nNumChillerResults, 2);
  EXPECT_EQ(p.nLastLoadBin, 5);
  EXPECT_EQ(p.lTotalHours, 2450);
  EXPECT_EQ(p.lTotalLoadHours, 50000 + 255000 + 390000 + 360000 + 175000);
  EXPECT_FALSE(p.bAnyHeatDriven);
  const float pct[] = {100, 85, 65, 45, 25};
  for (int b = 1; b <= 5; ++b) {
    EXPECT_FLOAT_EQ(p.Bins(b).fLoadPercent, pct[b - 1]) << b;
    EXPECT_GT(p.Bins(b).fEfficiency, 0) << b;
  }
  EXPECT_NEAR(p.fWeightSum, 1.0, 1e-6);

  // Chiller results: names, pooled group, running bins and rating-point factors.
  for (int j = 1; j <= 2; ++j) {
    const ChillerResultData& c = p.ChillerResults(j);
    EXPECT_EQ(vb::Trim(c.sSlotName), "CH-" + std::to_string(j));
    EXPECT_EQ(vb::Trim(c.sChillerName), "Centrifugal 600");
    EXPECT_FLOAT_EQ(c.fCapacity, 600);
    EXPECT_FLOAT_EQ(c.fFLEfficiency, 0.57f);
    EXPECT_EQ(c.nGroup, 1);
    EXPECT_EQ(c.bFirstOfGroup != 0, j == 1);
    float sum = 0;
    for (int q = 1; q <= 4; ++q) sum += c.fWeightingFactor(q);
    EXPECT_NEAR(sum, 1.0f, 1e-5);
  }
  EXPECT_TRUE(p.ChillerResults(1).bBinOn(1));
  EXPECT_TRUE(p.ChillerResults(2).bBinOn(1));                // 1,000 tons need both
  EXPECT_FALSE(p.ChillerResults(2).bBinOn(5));               // 250 tons: the first alone
  EXPECT_GT(p.ChillerResults(1).fProfileBuildingPct(1), 0);  // graph points written

  // The system part-load value against the recorded bins.
  EXPECT_NEAR(p.fPLV, HandPLV(p, 0), 1e-4 * p.fPLV);
  EXPECT_GT(p.fPLV, 0.3);
  EXPECT_LT(p.fPLV, 0.8);
  EXPECT_EQ(Errors(), kCleanErrors);
}

TEST_F(PLVRunTest, RealEngineOutputPerKW) {
  ReportData report = calctest::PLVReport();
  report.nEfficiencyInput = 1;
  ASSERT_TRUE(modDataIO::bReportsWrite(report));
  ASSERT_TRUE(Run());
  const Results r = Read();
  EXPECT_NEAR(r.profile->fPLV, HandPLV(*r.profile, 1), 1e-4 * r.profile->fPLV);
  EXPECT_NEAR(r.profile->ChillerResults(1).fFLEfficiency, 12 / 0.57, 1e-3);  // 12 / x
}

TEST_F(PLVRunTest, RatingPointsTheSameInIPAndSI) {
  ASSERT_TRUE(Run());
  const Results ip = Read();
  modpublic::gUnits.CurrentUnitOfMeasure(nMETRIC);
  frmWait again;
  again.CalculationOnly(true);
  ASSERT_TRUE(again.ProcessReports());
  const Results si = Read();
  for (int j = 1; j <= 2; ++j) {
    for (int q = 1; q <= 4; ++q) {
      EXPECT_NEAR(ip.profile->ChillerResults(j).fWeightingFactor(q), si.profile->ChillerResults(j).fWeightingFactor(q),
                  1e-6);
      EXPECT_NEAR(ip.profile->ChillerResults(j).fECWT(q), si.profile->ChillerResults(j).fECWT(q), 1e-3);
    }
  }
}

TEST_F(PLVRunTest, InputErrorStopsBeforeTheAnalysis) {
  SystemData s = calctest::TwoChillerSystem();
  s.fDesignLCHWT = 42;
  ASSERT_TRUE(modDataIO::bSystemWrite(1, s));
  EXPECT_FALSE(Run());
  EXPECT_TRUE(form.CalcsOK());
  EXPECT_TRUE(form.InputErrors());
  EXPECT_TRUE(form.DoCalcs());
  EXPECT_FALSE(std::filesystem::exists(scratch.File("CAL.DAT")));
  EXPECT_NE(Errors().find("Error 102"), std::string::npos);
}

TEST_F(PLVRunTest, CancelAtAProgressStepReturnsFalse) {
  progress.cancelAfterUpdates = 2;  // after "Validating Input Data" and "System Part Load Value"
  EXPECT_FALSE(Run());
  EXPECT_FALSE(form.CalcsOK());
  EXPECT_EQ(progress.values, (std::vector<float>{10, 40}));
  EXPECT_TRUE(host.messages.empty());
}

// A scripted plant: the load split evenly over the chillers that the script says run.
grendax_fake::FakeRun EvenSplit(const grendax_fake::FakeInputs& in, int running, double kWPerTon,
                                double genHeatPerTon) {
  grendax_fake::FakeRun run;
  run.ECWT = 75;
  for (int j = 0; j < 2; ++j) {
    grendax_fake::FakeChillerResult c;
    if (j < running) {
      c.Load = in.CoolingLoad / running;
      c.Power = kWPerTon * c.Load / 12;
      c.GenHeat = genHeatPerTon * c.Load / 12;
      c.ECWT = 75;
    }
    run.Chillers.push_back(c);
  }
  return run;
}

TEST_F(PLVRunTest, EngineErrorShowsOneBoxAndFailsTheRun) {
  UseFake([](grendax_fake::FakeCwPlant& p) {
    p.SetScript([](const grendax_fake::FakeInputs& in) { return EvenSplit(in, 2, 0.6, 0); });
    grendax_fake::FakeError error;
    error.number = 1001;
    error.description = "No convergence";
    p.RaiseErrorAt("plant.CalcPlant()", 2, error);
  });
  EXPECT_FALSE(Run());
  EXPECT_FALSE(form.CalcsOK());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "GRENDAX");
  EXPECT_EQ(host.messages[0].style, ui::kExclamation);
  EXPECT_EQ(host.messages[0].text,
            "Calculations failed due to the following error:\r\n\r\nError 1001 - No convergence"
            "\r\n\r\nLibrary: GRENDAX\r\nClass: cCwPlant\r\nMethod: CalcPlant");
  EXPECT_EQ(form.ocwPlant(), nullptr);  // the engine of the run is released
}

TEST_F(PLVRunTest, HeatDrivenPlantPartLoadValue) {
  ChillerData absorber = calctest::Chiller600();
  absorber.sName = "Absorber";
  absorber.nType = 6;
  absorber.fFLPower = 18;  // input per ton
  ASSERT_TRUE(modDataIO::bChillerWrite(2, absorber));
  SystemData s = calctest::TwoChillerSystem();
  s.nChillerIDs(2) = 2;
  ASSERT_TRUE(modDataIO::bSystemWrite(1, s));
  UseFake([](grendax_fake::FakeCwPlant& p) {
    p.SetScript([](const grendax_fake::FakeInputs& in) {
      auto run = EvenSplit(in, 2, 0.6, 0);
      run.Chillers[1].Power = 0.02 * run.Chillers[1].Load / 12;  // auxiliaries
      run.Chillers[1].GenHeat = 15.0 * run.Chillers[1].Load / 12;
      return run;
    });
  });
  ASSERT_TRUE(Run()) << (host.messages.empty() ? "" : host.messages[0].text);
  const Results r = Read();
  const PLVProfileData& p = *r.profile;
  EXPECT_TRUE(p.bAnyHeatDriven);
  double expected = 0;
  for (int b = 1; b <= p.nLastLoadBin; ++b) {
    const double L = p.Bins(b).fLoad * 12.0;
    const double electric = 0.6 * (L / 2) / 12 * 3.412;
    const double heat = 0.02 * (L / 2) / 12 * 3.412 + 15.0 * (L / 2) / 12;
    expected += static_cast<double>(p.Bins(b).lLoadHours) / p.lTotalLoadHours * (L / (electric + heat));
  }
  EXPECT_NEAR(p.fPLV, expected, 1e-4 * expected);
  EXPECT_EQ(p.ChillerResults(2).nEfficiencyKind, 3);
}

TEST_F(PLVRunTest, HeatDrivenChillerWithoutInputDoesNotDivideByZero) {
  ChillerData absorber = calctest::Chiller600();
  absorber.nType = 6;
  ASSERT_TRUE(modDataIO::bChillerWrite(1, absorber));
  UseFake([](grendax_fake::FakeCwPlant& p) {
    p.SetScript([](const grendax_fake::FakeInputs& in) { return EvenSplit(in, 2, 0, 0); });
  });
  ASSERT_TRUE(Run());
  const Results r = Read();
  EXPECT_FLOAT_EQ(r.profile->Bins(1).fInput, 0);
  EXPECT_FLOAT_EQ(r.profile->ChillerResults(1).fBinEfficiency(1), 0);
  EXPECT_FLOAT_EQ(r.profile->fPLV, 0);
}

TEST_F(PLVRunTest, FreeCoolingTonHoursComeOffTheBinsAndTheTotal) {
  // Bin ton-hours 50,000 / 255,000 / 390,000 / 360,000 / 175,000 (1,000..250 tons).
  UseFake([](grendax_fake::FakeCwPlant& p) {
    p.SetScript([](const grendax_fake::FakeInputs& in) {
      const double tons = in.CoolingLoad / 12;
      auto run = EvenSplit(in, tons > 600 && tons < 700 ? 0 : 2, 0.6, 0);
      run.FreeCoolingOn = tons < 900;
      if (tons > 800)
        run.FreeCoolingLoad = 1.5;  // 300 h: 37.5 ton-hours
      else if (tons > 600)
        run.FreeCoolingLoad = 120;  // no chiller runs: all of the bin
      else if (tons > 400)
        run.FreeCoolingLoad = 1200;  // 800 h: 80,000 ton-hours
      else
        run.FreeCoolingLoad = 3600;  // 700 h: 210,000, capped at 175,000
      return run;
    });
  });
  ASSERT_TRUE(Run());
  const Results r = Read();
  const PLVProfileData& p = *r.profile;
  // 255,000 - 37.5 = 254,962.5 rounds half to even; the total likewise.
  const int32_t loadHours[] = {50000, 254962, 0, 280000, 0};
  for (int b = 1; b <= 5; ++b) EXPECT_EQ(p.Bins(b).lLoadHours, loadHours[b - 1]) << b;
  EXPECT_EQ(p.lTotalLoadHours, 1230000 - 37 - 390000 - 80000 - 175000 - 1);
  EXPECT_FLOAT_EQ(p.Bins(2).fWeight, 254962.0f / 584962);
  EXPECT_FLOAT_EQ(p.Bins(3).fWeight, 0);
  EXPECT_NEAR(p.fWeightSum, 1.0, 1e-6);
}

TEST_F(PLVRunTest, UnmetBinsAreReportedAsCalculationErrors) {
  UseFake([](grendax_fake::FakeCwPlant& p) {
    p.SetScript([](const grendax_fake::FakeInputs& in) {
      auto run = EvenSplit(in, 2, 0.6, 0);
      if (in.CoolingLoad > 9000) run.LoadNotMet = 500;  // the two hottest bins
      return run;
    });
  });
  EXPECT_FALSE(Run());  // a run with calculation errors is not a finished calculation
  EXPECT_TRUE(form.CalcsOK());
  EXPECT_TRUE(form.CalcErrors());
  EXPECT_NE(Errors().find("\t\tNumber of bins =  2   Largest load = 1000.0 "), std::string::npos);
}

TEST_F(PLVRunTest, NoLoadShowsTheMessage) {
  LoadProfileData lp = calctest::FiveBinLoad();
  for (int b = 1; b <= 24; ++b) lp.fBinLoad(b) = 0.005f;
  ASSERT_TRUE(modDataIO::bLoadProfileWrite(lp));
  EXPECT_FALSE(Run());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text.rfind("The PLV analysis evaluates performance of the cooling-only chillers. ", 0),
            0u);
  EXPECT_NE(host.messages[0].text.find("Therefore the custom PLV cannot be calculated."), std::string::npos);
}

TEST_F(PLVRunTest, SharedTowerWithoutWaterCooledChillerIsAClearFailure) {
  ChillerData air = calctest::Chiller600();
  air.nType = 10;
  ASSERT_TRUE(modDataIO::bChillerWrite(1, air));
  SystemData s = calctest::TwoChillerSystem();
  s.nSingleTower = 1;
  ASSERT_TRUE(modDataIO::bSystemWrite(1, s));
  UseFake([](grendax_fake::FakeCwPlant& p) {
    p.SetScript([](const grendax_fake::FakeInputs& in) { return EvenSplit(in, 2, 1.0, 0); });
  });
  EXPECT_FALSE(Run());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "bPLVAnalysisController");
  EXPECT_NE(host.messages[0].text.find("no water-cooled chiller"), std::string::npos);
}

TEST_F(PLVRunTest, EconomicsNeedsASelectedSystemAndThenRunsTheSelectedOnes) {
  ReportData report = calctest::PLVReport();
  report.ReportType = 1;
  ASSERT_TRUE(modDataIO::bReportsWrite(report));
  EXPECT_FALSE(Run());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("No system is selected"), std::string::npos);

  db::Database::Open(scratch.File("INX.MDB"), db::OpenMode::kReadWrite)->Execute("UPDATE Systems SET bSelected = -1");
  frmWait again;
  again.CalculationOnly(true);
  EXPECT_TRUE(again.ProcessReports());
  EXPECT_TRUE(again.CalcsOK());
  EXPECT_EQ(host.messages.size(), 1u);
  PLVSummaryData summary;
  auto econ = std::make_unique<EconSummaryData>();
  auto systems = std::make_unique<vb::Array<SystemEconData, 1, 4>>();
  ASSERT_TRUE(modDataIO::bCalcReadEconData(summary, *econ, *systems));
  EXPECT_GT((*systems)(1).dMonthTonHours(1), 0.0) << "the selected system was simulated";
}

// ---- window flow without a window ----

class RecordingReport : public frmWait::ReportClassInterface {
 public:
  int16_t type = 2;
  bool canceled = false;
  int plvRuns = 0;
  int16_t ReportType() const override { return type; }
  void UserCanceled(bool v) override { canceled = v; }
  bool EconomicAnalysisReports() override { return true; }
  bool PLVAnalysisReports() override {
    ++plvRuns;
    return true;
  }
};

TEST_F(PLVRunTest, CalculationOnlyGeneratesNoReportsAndASecondActivationDoesNothing) {
  RecordingReport report;
  form.ReportClass(&report);
  auto runs = std::make_shared<int>(0);
  UseFake([runs](grendax_fake::FakeCwPlant& p) {
    p.SetScript([runs](const grendax_fake::FakeInputs& in) {
      ++*runs;
      return EvenSplit(in, 2, 0.6, 0);
    });
  });
  form.Form_Activate();
  EXPECT_TRUE(form.CalcsOK());
  EXPECT_EQ(report.plvRuns, 0);
  const int first = *runs;
  EXPECT_GT(first, 0);
  form.Form_Activate();
  EXPECT_EQ(*runs, first);

  frmWait withReports;
  withReports.ReportClass(&report);
  withReports.SetEngineFactory([] {
    auto p = std::make_unique<grendax_fake::FakeCwPlant>();
    p->SetScript([](const grendax_fake::FakeInputs& in) { return EvenSplit(in, 2, 0.6, 0); });
    return std::unique_ptr<cCwPlant>(std::move(p));
  });
  withReports.Form_Activate();
  EXPECT_TRUE(withReports.CalcsOK());
  EXPECT_EQ(report.plvRuns, 1);
  EXPECT_FALSE(withReports.DoCalcs());
}

TEST_F(PLVRunTest, CancelButtonSetsTheFlags) {
  RecordingReport report;
  form.ReportClass(&report);
  form.cmdCancel_Click();
  EXPECT_TRUE(form.UserCanceled());
  EXPECT_TRUE(report.canceled);
  EXPECT_TRUE(host.waitCursor);
  form.Form_Unload();
  EXPECT_FALSE(host.waitCursor);
}

TEST(SystemOrder, ExchangeSortByFirstCost) {
  std::vector<double> costs{300, 100, 200};
  std::vector<int16_t> ids{1, 2, 3};
  frmWait::SortSystemsByFirstCost(costs, ids);
  EXPECT_EQ(ids, (std::vector<int16_t>{2, 3, 1}));
  costs = {5, 5, 1};
  ids = {1, 2, 3};
  frmWait::SortSystemsByFirstCost(costs, ids);
  EXPECT_EQ(ids, (std::vector<int16_t>{3, 2, 1}));  // not stable: the second 5 comes first
}

TEST(SystemOrder, FirstFourSelectedInListOrder) {
  std::vector<modDataIO::SystemListEntry> list;
  for (int i = 1; i <= 8; ++i) {
    modDataIO::SystemListEntry e;
    e.lID = 10 + i;
    e.bSelected = i != 2;
    list.push_back(e);
  }
  EXPECT_EQ(frmWait::SelectSystems(list), (std::vector<int16_t>{11, 13, 14, 15}));
}

}  // namespace

namespace {

TEST_F(PLVRunTest, RealEngineTwentyFourBinsWithStagingPoints) {
  ASSERT_TRUE(calctest::WriteDefaultPlant(calctest::Bins24Weather(), calctest::Bins24Load()));
  ASSERT_TRUE(Run()) << (host.messages.empty() ? "" : host.messages[0].text);
  const Results r = Read();
  const PLVProfileData& p = *r.profile;
  EXPECT_EQ(p.nLastLoadBin, 24);
  EXPECT_NEAR(p.fPLV, HandPLV(p, 0), 1e-4 * p.fPLV);
  // The second chiller stages off between two bins: a pair of staging points at one
  // building percent appears in the first chiller's series.
  const ChillerResultData& c = p.ChillerResults(1);
  int pairs = 0;
  for (int k = 1; k < 50; ++k)
    if (c.bProfileStaging(k) && c.bProfileStaging(k + 1) && c.fProfileBuildingPct(k) == c.fProfileBuildingPct(k + 1))
      ++pairs;
  EXPECT_GE(pairs, 1);
  EXPECT_EQ(Errors(), kCleanErrors);
}

}  // namespace
