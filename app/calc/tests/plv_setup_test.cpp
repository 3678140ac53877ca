// The first half of the part-load analysis: the run summary texts, the chiller result
// records (names, capacities, full-load efficiencies, type codes, identical-chiller groups)
// and the bin preparation, read back from CAL.DAT after a run on the scripted engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/calc/frmWait.h"
#include "app/calc/tests/calc_fixtures.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/plantengine/fake/fake_engine.h"
#include "platform/ui/ui.h"

namespace {

TEST(RunSummary, ScheduleAndPeriodTexts) {
  calctest::ScratchFolder scratch;
  // The day-type names. The program folder is not the scratch folder: saves refuse it.
  ASSERT_TRUE(modpublic::InitGlobalSettings(KESTRIN_PROGRAM_DIR));
  WeatherData w = calctest::FiveBinWeather();
  const LoadProfileData lp = calctest::FiveBinLoad();
  PLVSummaryData s;
  frmWait::FillRunSummary(w, lp, s);
  EXPECT_EQ(vb::Trim(s.sDaySchedules(0)), "0700-1800: WeekDay");
  EXPECT_EQ(vb::Trim(s.sDaySchedules(1)), "On All Day: Saturday");
  EXPECT_EQ(vb::Trim(s.sDaySchedules(2)), "Off All Day: Sunday");

  w.OperatingPeriods(1) = {1, 5, 1, 3};     // From 1/1 To 5/3
  w.OperatingPeriods(2) = {10, 12, 2, 31};  // From 10/2 To 12/31
  const struct {
    int16_t mode, count;
    int16_t expectedCount;
    const char* first;
    const char* second;
  } cases[] = {
      {0, 2, 1, "Full Year", ""},
      {1, 2, 2, "Period 1: From 1/1 To 5/3", "Period 2: From 10/2 To 12"},  // cut to 25
      {1, 3, 1, "From 1/1 To 5/3", ""},
      {1, 1, 1, "From 1/1 To 5/3", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.mode) + "/" + std::to_string(c.count));
    w.nPeriodMode = c.mode;
    w.nNumPeriods = c.count;
    PLVSummaryData t;
    frmWait::FillRunSummary(w, lp, t);
    EXPECT_EQ(t.nNumPeriods, c.expectedCount);
    EXPECT_EQ(vb::Trim(t.sPeriods(0)), c.first);
    EXPECT_EQ(vb::Trim(t.sPeriods(1)), c.second);
  }
}

class PLVSetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(modpublic::InitGlobalSettings(KESTRIN_PROGRAM_DIR));  // saves refuse it: never the scratch folder
    ASSERT_TRUE(calctest::WriteDefaultPlant());
    // Every chiller runs and carries an equal share of the load.
    form.SetEngineFactory([this] {
      auto p = std::make_unique<grendax_fake::FakeCwPlant>();
      p->SetScript([this](const grendax_fake::FakeInputs& in) {
        ++runs;
        grendax_fake::FakeRun run;
        run.ECWT = 75;
        for (int j = 0; j < 30; ++j) {
          grendax_fake::FakeChillerResult c;
          c.Load = in.CoolingLoad / 8;
          c.Power = 0.6 * c.Load / 12;
          c.ECWT = 75;
          run.Chillers.push_back(c);
          run.PairedChillers.push_back(c);
        }
        return run;
      });
      return std::unique_ptr<cCwPlant>(std::move(p));
    });
  }
  // Runs the part-load analysis of system 1 as the controller does after its input check.
  bool Analyse(int16_t nEfficiencyInput = 0) {
    SystemData system;
    if (!modDataIO::bSystemRead(1, system)) return false;
    bool calcErrors = false;
    return form.bPLVAnalysisController(system, nEfficiencyInput, calcErrors);
  }
  std::unique_ptr<PLVProfileData> Profile() {
    PLVSummaryData summary;
    auto p = std::make_unique<PLVProfileData>();
    EXPECT_TRUE(modDataIO::bCalcReadPLVData(summary, *p));
    return p;
  }

  ui::RecordingHost host;
  ui::ScopedHost scopedHost{host};
  calctest::ScratchFolder scratch;
  frmWait form;
  int runs = 0;  // CalcPlant calls
};

TEST_F(PLVSetupTest, BinPreparation) {
  WeatherData w = calctest::FiveBinWeather();
  LoadProfileData lp = calctest::FiveBinLoad();
  w.nNumBins = 7;
  const struct {
    int32_t hours;
    float load;
  } bins[] = {
      {3, 100.5f},   // 301.5 ton-hours: rounded half to even, 302
      {5, 100.5f},   // 502.5: 502
      {10, 0.005f},  // below 0.01 ton: no load, but its hours count
      {0, 200},      // no hours: prepared, not run; still the largest load
      {7, 50},       // the last bin with load and hours
      {20, 0},       // after the last loaded bin: left out
      {0, 80},       // load without hours: left out
  };
  for (int b = 1; b <= 7; ++b) {
    w.fBinDB(b) = 100.0f - 5 * b;
    w.fBinMCWB(b) = 70;
    w.lBinHours(b) = bins[b - 1].hours;
    lp.fBinLoad(b) = bins[b - 1].load;
  }
  ASSERT_TRUE(modDataIO::bWeatherWrite(w));
  ASSERT_TRUE(modDataIO::bLoadProfileWrite(lp));
  ASSERT_TRUE(Analyse()) << (host.messages.empty() ? "" : host.messages[0].text);

  const auto p = Profile();
  EXPECT_EQ(p->nLastLoadBin, 5);
  EXPECT_EQ(p->lTotalHours, 3 + 5 + 10 + 0 + 7);
  EXPECT_EQ(p->lTotalLoadHours, 302 + 502 + 0 + 0 + 350);
  const struct {
    int32_t loadHours;
    float load, percent;
  } expected[] = {{302, 100.5f, 50.25f}, {502, 100.5f, 50.25f}, {0, 0, 0}, {0, 200, 100}, {350, 50, 25}};
  for (int b = 1; b <= 5; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(p->Bins(b).lHours, bins[b - 1].hours);
    EXPECT_EQ(p->Bins(b).lLoadHours, expected[b - 1].loadHours);
    EXPECT_FLOAT_EQ(p->Bins(b).fLoad, expected[b - 1].load);
    EXPECT_FLOAT_EQ(p->Bins(b).fLoadPercent, expected[b - 1].percent);
    EXPECT_FLOAT_EQ(p->Bins(b).fDB, 100.0f - 5 * b);
  }
  for (int b = 6; b <= 7; ++b) {
    EXPECT_EQ(p->Bins(b).lHours, 0) << b;
    EXPECT_FLOAT_EQ(p->Bins(b).fDB, 0) << b;
  }
  // Only bins with hours and a load are simulated: 1, 2 and 5.
  EXPECT_EQ(runs, 3);
  EXPECT_FLOAT_EQ(p->Bins(3).fEfficiency, 0);
  EXPECT_FLOAT_EQ(p->Bins(4).fEfficiency, 0);
  EXPECT_GT(p->Bins(5).fEfficiency, 0);
}

TEST_F(PLVSetupTest, MoreThan24WeatherBinsIsAClearFailure) {
  WeatherData w = calctest::FiveBinWeather();
  w.nNumBins = 25;
  ASSERT_TRUE(modDataIO::bWeatherWrite(w));
  EXPECT_FALSE(Analyse());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "bPLVAnalysisController");
  EXPECT_NE(host.messages[0].text.find("at most 24"), std::string::npos);
}

// One library chiller record.
ChillerData Record(const char* name, int16_t type, float tons, float power, int16_t powerType = 0, int16_t fuel = 0) {
  ChillerData ch = calctest::Chiller600();
  ch.sName = name;
  ch.nType = type;
  ch.fFLCapacity = tons;
  ch.fFLPower = power;
  ch.nFLPowerType = powerType;
  ch.nFuelType = fuel;
  return ch;
}

TEST_F(PLVSetupTest, ChillerResultsByTypeAndGroups) {
  const ChillerData records[] = {
      Record("Centrifugal 600", 1, 600, 0.57f),        // 1
      Record("Screw 400", 2, 400, 0.62f),              // 2
      Record("Centrifugal total kW", 1, 600, 342, 1),  // 3: 342 kW in all
      Record("Screw total kW", 2, 400, 248, 1),        // 4: 248 kW in all
      Record("Absorber", 6, 500, 18),                  // 5
      Record("Direct-fired", 8, 500, 6000, 1),         // 6: 12 kBtu/h per ton
      Record("Engine gas", 9, 500, 0.8f, 0, 4),        // 7
      Record("Engine other", 9, 500, 0.8f, 0, 8),      // 8
      Record("Air-cooled no data", 11, 300, 0),        // 9
      Record("Unknown type", 13, 300, 0.7f),           // 10
  };
  for (int16_t id = 1; id <= 10; ++id) ASSERT_TRUE(modDataIO::bChillerWrite(id, records[id - 1]));
  SystemData s = calctest::TwoChillerSystem();
  const struct {
    int16_t id, tower, id2, tower2;
  } slots[] = {
      {1, 1, 2, 0},  // pair, mean of the per-ton inputs weighted by capacity
      {1, 1, 2, 0},  // the same pair: same group
      {1, 1, 0, 0},  // single of the same chiller and tower: never grouped with the pair
      {1, 1, 0, 0},  // same single: same group
      {3, 1, 4, 0},  // pair with total inputs: sum of power over sum of capacity
      {5, 1, 0, 0}, {6, 1, 0, 0}, {7, 1, 0, 0}, {8, 1, 0, 0}, {9, 0, 0, 0}, {10, 1, 0, 0},
  };
  s.nNumChillers = 11;
  for (int i = 1; i <= 11; ++i) {
    s.sChillerNames(i) = "CH-" + std::to_string(i);
    s.nChillerIDs(i) = slots[i - 1].id;
    s.nTowerIDs(i) = slots[i - 1].tower;
    s.nChillerIDs2(i) = slots[i - 1].id2;
    s.nTowerIDs2(i) = slots[i - 1].tower2;
  }
  ASSERT_TRUE(modDataIO::bSystemWrite(1, s));
  ASSERT_TRUE(Analyse(1)) << (host.messages.empty() ? "" : host.messages[0].text);

  const auto p = Profile();
  EXPECT_TRUE(p->bAnyHeatDriven);
  const double pairKWPerTon = (600 * 0.57 + 400 * 0.62) / 1000.0;  // 0.59
  const struct {
    const char* name;
    float capacity;
    double efficiency;
    int16_t cycle, condenser, kind, group;
    bool first;
  } expected[] = {
      {"Centrifugal 600 + Screw 400", 1000, 12 / pairKWPerTon, 1, 2, 1, 1, true},
      {"Centrifugal 600 + Screw 400", 1000, 12 / pairKWPerTon, 1, 2, 1, 1, false},
      {"Centrifugal 600", 600, 12 / 0.57, 1, 2, 1, 2, true},
      {"Centrifugal 600", 600, 12 / 0.57, 1, 2, 1, 2, false},
      {"Centrifugal total kW + Screw total", 1000,  // cut to 35 characters
       12 / pairKWPerTon, 1, 2, 1, 3, true},
      {"Absorber", 500, 18, 2, 2, 3, 4, true},      // heat-driven: no conversion
      {"Direct-fired", 500, 12, 2, 2, 2, 5, true},  // power per capacity
      {"Engine gas", 500, 0.8, 1, 2, 2, 6, true},   // engine code 4
      {"Engine other", 500, 0.8, 1, 2, 3, 7, true},
      {"Air-cooled no data", 300, 0, 1, 1, 1, 8, true},  // 0 stays 0 under 12 / x
      {"Unknown type", 300, 0, 0, 0, 0, 9, true},
  };
  for (int i = 1; i <= 11; ++i) {
    SCOPED_TRACE(i);
    const ChillerResultData& r = p->ChillerResults(i);
    const auto& e = expected[i - 1];
    EXPECT_EQ(vb::Trim(r.sChillerName), e.name);
    EXPECT_FLOAT_EQ(r.fCapacity, e.capacity);
    EXPECT_NEAR(r.fFLEfficiency, e.efficiency, 1e-4 * std::max(1.0, e.efficiency));
    EXPECT_EQ(r.nCycleType, e.cycle);
    EXPECT_EQ(r.nCondenserType, e.condenser);
    EXPECT_EQ(r.nEfficiencyKind, e.kind);
    EXPECT_EQ(r.nGroup, e.group);
    EXPECT_EQ(r.bFirstOfGroup != 0, e.first);
  }
  // Each chiller carries 1/8 of the 1,000-ton bin: a pair's percent load is taken
  // against both machines' capacity.
  EXPECT_FLOAT_EQ(p->ChillerResults(1).fBinLoadPercent(1), 125.0f * 100 / 1000);
  EXPECT_FLOAT_EQ(p->ChillerResults(3).fBinLoadPercent(1), 125.0f * 100 / 600);
}

}  // namespace
