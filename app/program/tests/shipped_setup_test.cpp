// The set-up from the shipped program data: the default project and a hot-humid site with
// another building type come out of the set-up ready for the calculation and pass its input
// check; then, end to end, the part-load calculation on those records with the real engine
// gives a credible custom part-load value.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <algorithm>
#include <array>
#include <numeric>
#include <string>
#include <vector>

#include "app/calc/custom_plv.h"
#include "app/calc/frmWait.h"
#include "app/calc/modCalcs.h"
#include "app/program/frmMain.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "app/storage/record_codec.h"
#include "app/program/tests/shipped_projects.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

namespace {

using modDataIO::gProject;

class ShippedSetup : public ::testing::Test {
 protected:
  void SetUp() override {
    modpublic::gAppPath = std::string(KESTRIN_PROGRAM_DIR) + "/";
    modDataIO::InitProject(gProject);
    modDataIO::InitSettings(modDataIO::gSettings);
    ASSERT_TRUE(frmMain::PrepareDataFiles());
  }
  void TearDown() override {
    modpublic::gAppPath.clear();
    gDataDBPath.clear();
  }
  std::string FirstMessage() const { return host_.messages.empty() ? "" : host_.messages[0].text; }

  void ExpectReadyForTheCalculation() {
    ASSERT_TRUE(frmMain::SetupCalculationData()) << FirstMessage();
    EXPECT_TRUE(host_.messages.empty()) << FirstMessage();
    ASSERT_TRUE(modDataIO::bErrorDelete());
    for (std::int16_t s = 1; s <= 2; ++s) {
      SystemData sys;
      ASSERT_TRUE(modDataIO::bSystemRead(s, sys));
      bool nonElectric = true, inputErrors = true;
      ASSERT_TRUE(modCalcs::bCalcCheckInputData(sys, 0, 0, nonElectric, inputErrors)) << s;
      EXPECT_FALSE(inputErrors) << "system " << s;
      EXPECT_FALSE(nonElectric) << "system " << s;
    }
    WeatherData w;
    ASSERT_TRUE(modDataIO::bWeatherRead(w));
    ASSERT_GE(w.nNumBins, 3);
    EXPECT_GT(w.lTotalHours, 0);
    EXPECT_EQ(w.sName.substr(0, gProject.CityName.size()), gProject.CityName);
    LoadProfileData l;
    ASSERT_TRUE(modDataIO::bLoadProfileRead(l));
    EXPECT_FLOAT_EQ(l.fBinLoadPercent(1), 100) << "the hottest bin carries the peak";
    for (int b = 2; b <= w.nNumBins; ++b) EXPECT_LE(l.fBinLoadPercent(b), l.fBinLoadPercent(b - 1));
  }

  static void UseHotHumidHospital() { shipped_projects::UseHotHumidHospital(); }

  // The part-load calculation as the Reports command launches it (report type 2 in RPT.DAT,
  // the progress window's work, calculation only, the real engine), then its results.
  struct PartLoadRun {
    bool ok = false, inputErrors = true, calcErrors = true;
    std::string errors;  // ERR.DAT
    std::unique_ptr<PLVProfileData> profile = std::make_unique<PLVProfileData>();
    SystemData system;  // the analysed system
  };
  // `afterSetup` may change the scratch records the set-up wrote before the calculation.
  void RunPartLoadCalculation(PartLoadRun& run, const std::function<void()>& afterSetup = {}) {
    ASSERT_TRUE(frmMain::SetupCalculationData()) << FirstMessage();
    if (afterSetup) afterSetup();
    ReportData report;
    ASSERT_TRUE(modDataIO::bReportsRead(report));
    report.ReportType = 2;
    ASSERT_TRUE(modDataIO::bReportsWrite(report));
    ASSERT_TRUE(modDataIO::bSystemRead(vb::CInt(report.AnalysedSystemIndex), run.system));

    frmWait form;
    form.CalculationOnly(true);
    form.DoCalcs(true);
    run.ok = form.ProcessReports();
    run.inputErrors = form.InputErrors();
    run.calcErrors = form.CalcErrors();
    ASSERT_TRUE(form.CalcsOK()) << FirstMessage();
    EXPECT_TRUE(host_.messages.empty()) << FirstMessage();

    std::vector<std::string> lines;
    std::int32_t count = 0;
    ASSERT_TRUE(modDataIO::bErrorRead(lines, count));
    for (const auto& line : lines) run.errors += line + "\n";
    PLVSummaryData summary;
    ASSERT_TRUE(modDataIO::bCalcReadPLVData(summary, *run.profile));
  }

  // What every run from the shipped data must show: a clean input check, and for every
  // chiller weighting factors that add up to 1 and a custom part-load value of a real plant.
  // With `ecwtsNeverRise` also rating-point ECWTs that never rise from the 100 % point down
  // to the 25 % point. That holds for the default project and the Miami hospital, not in
  // general: under sequenced control the lead chiller runs near full load in mild weather,
  // so a lower rating point can collect warmer bins than the one above it.
  // The chiller's kW/ton read off its map at each simulated bin's load and ECWT is the
  // efficiency the engine simulated there, so the value rates the machine the plant ran.
  void ExpectCredibleRating(const PartLoadRun& run, bool ecwtsNeverRise = true) {
    EXPECT_FALSE(run.inputErrors);
    const std::string clean = "Errors in Input Data for System:  [" + vb::Trim(run.system.sName) + "]\n\tNone\n";
    EXPECT_NE(run.errors.find(clean), std::string::npos) << run.errors;

    const PLVProfileData& p = *run.profile;
    ASSERT_EQ(p.nNumChillerResults, gProject.ChillerNumber);
    ASSERT_GT(p.nLastLoadBin, 0);
    for (int c = 1; c <= p.nNumChillerResults; ++c) {
      SCOPED_TRACE("chiller " + std::to_string(c));
      const ChillerResultData& r = p.ChillerResults(c);
      ChillerData chiller;
      ASSERT_TRUE(modDataIO::bChillerRead(run.system.nChillerIDs(c), chiller));

      float sum = 0;
      for (int q = 1; q <= 4; ++q) sum += r.fWeightingFactor(q);
      EXPECT_NEAR(sum, 1.0f, 1e-5f);
      int upper = 0;  // the next weighted point above
      for (int q = 4; q >= 1; --q) {
        if (!(r.fWeightingFactor(q) > 0)) continue;
        if (upper && ecwtsNeverRise) {
          EXPECT_LE(r.fECWT(q), r.fECWT(upper)) << "the " << 25 * q << " % point";
        }
        upper = q;
      }

      for (int b = 1; b <= p.nLastLoadBin; ++b) {
        if (!r.bBinOn(b)) continue;
        double kw = 0;
        ASSERT_TRUE(modCalcs::bCalcChillerKWPerTon(chiller, r.fBinLoadPercent(b), r.fBinECWT(b), kw)) << b;
        EXPECT_NEAR(kw, r.fBinEfficiency(b), 1e-4 * kw) << "bin " << b;
      }

      float cplv = 0;
      ASSERT_TRUE(modCalcs::bCalcChillerCPLV(chiller, r, cplv));
      EXPECT_GE(cplv, 0.35f);
      EXPECT_LE(cplv, 0.60f);
      std::string points;  // 25, 50, 75, 100 %: weighting factor @ ECWT
      for (int q = 1; q <= 4; ++q)
        points += vb::Format(r.fWeightingFactor(q), "0.0000") + "@" + vb::Format(r.fECWT(q), "0.00") + " ";
      RecordProperty("chiller" + std::to_string(c), "CPLV " + vb::Format(cplv, "0.0000") + ", points " + points);
    }
  }

  // The rating of each chiller of a run: custom part-load value, weighting factors and ECWTs.
  struct Rating {
    float cplv = 0;
    std::array<float, 4> weight{}, ecwt{};
    bool operator==(const Rating&) const = default;
  };
  static std::vector<Rating> Ratings(const PartLoadRun& run) {
    std::vector<Rating> out;
    for (int c = 1; c <= run.profile->nNumChillerResults; ++c) {
      const ChillerResultData& r = run.profile->ChillerResults(c);
      ChillerData chiller;
      EXPECT_TRUE(modDataIO::bChillerRead(run.system.nChillerIDs(c), chiller));
      Rating rating;
      EXPECT_TRUE(modCalcs::bCalcChillerCPLV(chiller, r, rating.cplv));
      for (int q = 1; q <= 4; ++q) rating.weight[q - 1] = r.fWeightingFactor(q), rating.ecwt[q - 1] = r.fECWT(q);
      out.push_back(rating);
    }
    return out;
  }

  // Rewrites the scratch weather record the set-up wrote.
  static void ChangeWeather(const std::function<void(WeatherData&)>& change) {
    WeatherData w;
    ASSERT_TRUE(modDataIO::bWeatherRead(w));
    change(w);
    ASSERT_TRUE(modDataIO::bWeatherWrite(w));
  }

  // Bins in which the chillers delivered less than the building load.
  static std::vector<int> UnmetBins(const PLVProfileData& p) {
    std::vector<int> bins;
    for (int b = 1; b <= p.nLastLoadBin; ++b) {
      float delivered = 0;
      for (int c = 1; c <= p.nNumChillerResults; ++c) delivered += p.ChillerResults(c).fBinLoad(b);
      if (delivered < p.Bins(b).fLoad - 0.1f) bins.push_back(b);
    }
    return bins;
  }

  ui::RecordingHost host_;
  ui::ScopedHost scoped_{host_};
};

TEST_F(ShippedSetup, DefaultProjectIsReadyForTheCalculation) {
  ExpectReadyForTheCalculation();
  ChillerData c;
  ASSERT_TRUE(modDataIO::bChillerRead(1, c));
  EXPECT_FLOAT_EQ(c.fFLCapacity, 600);
  TowerData t;
  ASSERT_TRUE(modDataIO::bTowerRead(1, t));
  EXPECT_NEAR(t.fDesignRange, (c.fFLPower * 3.412 + 12.0) / 0.499696 / 3.0, 1e-4);
}

TEST_F(ShippedSetup, HotHumidHospitalIsReadyForTheCalculation) {
  UseHotHumidHospital();
  ExpectReadyForTheCalculation();
  WeatherData w;
  ASSERT_TRUE(modDataIO::bWeatherRead(w));
  EXPECT_EQ(w.lTotalHours, 8760);
}

TEST_F(ShippedSetup, DefaultProjectRatesEndToEnd) {
  PartLoadRun run;
  RunPartLoadCalculation(run);
  EXPECT_EQ(vb::Trim(run.system.sName), "Sequenced Plant");
  ExpectCredibleRating(run);
  // The plant carries the Chicago load in every bin.
  EXPECT_TRUE(run.ok);
  EXPECT_FALSE(run.calcErrors);
  EXPECT_TRUE(UnmetBins(*run.profile).empty());
}

TEST_F(ShippedSetup, HotHumidHospitalRatesEndToEnd) {
  UseHotHumidHospital();
  PartLoadRun run;
  RunPartLoadCalculation(run);
  ExpectCredibleRating(run);
  // A tower designed for the project's wet bulb holds the chillers' rated ECWT up to that
  // wet bulb: only a bin more humid than the design may go short (and is reported).
  const std::vector<int> unmet = UnmetBins(*run.profile);
  for (int b : unmet) EXPECT_GT(run.profile->Bins(b).fMCWB, gProject.DesignWB) << "bin " << b;
  EXPECT_EQ(run.calcErrors, !unmet.empty());
  EXPECT_EQ(run.errors.find("Error 301") != std::string::npos, !unmet.empty()) << run.errors;
}

// The default building type in five climates: cold, hot-humid, hot-dry, mild marine and
// equatorial. Each run must rate credibly; the values are recorded as test properties.
TEST_F(ShippedSetup, LargeOfficeRatesEndToEndInFiveClimates) {
  struct Site {
    int city, location;
    const char* name;
  };
  for (const Site& s : {Site{79, 14, "Chicago IAP"}, Site{102, 10, "Miami"}, Site{118, 3, "Phoenix"},
                        Site{128, 48, "Seattle"}, Site{901, 701, "Singapore"}}) {
    SCOPED_TRACE(s.name);
    modDataIO::InitProject(gProject);
    gProject.CityID = s.city;
    gProject.LocationID = s.location;
    gProject.CityName = s.name;
    PartLoadRun run;
    RunPartLoadCalculation(run);
    ExpectCredibleRating(run, false);
    const ChillerResultData& r = run.profile->ChillerResults(1);
    std::string points;
    for (int q = 1; q <= 4; ++q)
      points += vb::Format(r.fWeightingFactor(q), "0.0000") + "@" + vb::Format(r.fECWT(q), "0.00") + " ";
    ChillerData chiller;
    ASSERT_TRUE(modDataIO::bChillerRead(run.system.nChillerIDs(1), chiller));
    float cplv = 0;
    ASSERT_TRUE(modCalcs::bCalcChillerCPLV(chiller, r, cplv));
    std::printf("%s: CPLV %s, points %s\n", s.name, vb::Format(cplv, "0.0000").c_str(), points.c_str());
  }
}

// Two sites that differ only in their wet bulbs: the default site, and the same bins with
// every wet bulb 6 deg F lower. The tower makes colder condenser water at the drier site,
// and the chiller is credited for it: the drier site rates lower.
TEST_F(ShippedSetup, TheDrierOfTwoOtherwiseEqualSitesRatesLower) {
  PartLoadRun humid, dry;
  RunPartLoadCalculation(humid);
  RunPartLoadCalculation(dry, [] {
    ChangeWeather([](WeatherData& w) {
      for (int b = 1; b <= w.nNumBins; ++b) {
        w.fBinMCWB(b) -= 6;
        for (int m = 1; m <= 12; ++m) w.fMonthBinMCWB(m, b) -= 6;
      }
    });
  });
  const Rating h = Ratings(humid).at(0), d = Ratings(dry).at(0);
  EXPECT_LT(d.cplv, h.cplv - 0.005f);
  for (int q = 1; q < 4; ++q) {
    if (h.weight[q] > 0) {
      EXPECT_LT(d.ecwt[q], h.ecwt[q]) << "the " << 25 * (q + 1) << " % point";
    }
  }
}

// The part-load calculation rates the year: the monthly tables the set-up now fills leave
// every chiller's custom part-load value, weighting factors and ECWTs exactly as they were
// with the whole year in month 1, for sites of every kind.
TEST_F(ShippedSetup, MonthlyBinsLeaveThePartLoadRatingUnchanged) {
  struct Site {
    int city, location, building;
    const char* name;
  };
  for (const Site& s : {Site{79, 14, 9, "Chicago IAP"}, Site{102, 10, 4, "Miami"}, Site{302, 102, 14, "Montreal"},
                        Site{1001, 801, 14, "Sydney"}}) {
    SCOPED_TRACE(s.name);
    modDataIO::InitProject(gProject);
    gProject.CityID = s.city;
    gProject.LocationID = s.location;
    gProject.CityName = s.name;
    gProject.BuildingID = s.building;
    PartLoadRun monthly, yearInJanuary;
    RunPartLoadCalculation(monthly, [] {
      ChangeWeather([](WeatherData& w) {
        std::int32_t year = 0;
        int months = 0;
        for (int m = 1; m <= 12; ++m) year += w.lMonthHours(m), months += w.lMonthHours(m) > 0 ? 1 : 0;
        EXPECT_EQ(year, w.lTotalHours);
        EXPECT_GE(months, 10) << "the set-up fills the months (a school's break empties up to two)";
      });
    });
    RunPartLoadCalculation(yearInJanuary, [] {
      ChangeWeather([](WeatherData& w) {
        w.fMonthBinMCWB.fill(0);
        w.lMonthBinHours.fill(0);
        w.lMonthHours.fill(0);
        for (int b = 1; b <= w.nNumBins; ++b) {
          w.fMonthBinMCWB(1, b) = w.fBinMCWB(b);
          w.lMonthBinHours(1, b) = w.lBinHours(b);
        }
        w.lMonthHours(1) = w.lTotalHours;
      });
    });
    const std::vector<Rating> a = Ratings(monthly), b = Ratings(yearInJanuary);
    ASSERT_FALSE(a.empty());
    EXPECT_TRUE(a == b);
  }
}

// The economic calculation of the sample project (the default Chicago office) and of a
// Chicago school on the shipped data with the real engine: each month is priced with its
// own bins, so the energy follows the season, the school's summer break shows, the months
// add up to the year, and the demand charge is billed on twelve monthly peaks.
TEST_F(ShippedSetup, EconomicsPricesEachMonthWithItsOwnBins) {
  struct Case {
    int building;
    const char* name;
  };
  for (const Case c : {Case{9, "Large Office"}, Case{14, "School"}}) {
    SCOPED_TRACE(c.name);
    modDataIO::InitProject(gProject);
    gProject.BuildingID = static_cast<std::int16_t>(c.building);
    gProject.BuildingType = c.name;
    ASSERT_TRUE(frmMain::SetupCalculationData()) << FirstMessage();
    ReportData report;
    ASSERT_TRUE(modDataIO::bReportsRead(report));
    report.ReportType = 1;
    report.nTypeOfCostCalcs = 1;
    ASSERT_TRUE(modDataIO::bReportsWrite(report));
    EconomicsData eco;
    eco.sCurrency = "$";
    eco.nLifeCycleYears = 1;
    eco.fElecRate = 0.12f;
    eco.fDemandRate = 15;
    std::ofstream(modDataIO::DataFolder() + "ECO.DAT", std::ios::binary) << modDataIO::codec::Encode(eco);

    frmWait form;
    form.CalculationOnly(true);
    form.DoCalcs(true);
    ASSERT_TRUE(form.ProcessReports()) << FirstMessage();
    ASSERT_TRUE(form.CalcsOK()) << FirstMessage();
    PLVSummaryData plv;
    EconSummaryData summary;
    auto systems = std::make_unique<vb::Array<SystemEconData, 1, 4>>();
    ASSERT_TRUE(modDataIO::bCalcReadEconData(plv, summary, *systems));
    ASSERT_EQ(summary.nNumSystems, 2);
    for (int s = 1; s <= 2; ++s) {
      const SystemEconData& e = (*systems)(s);
      double kWh = 0, demand = 0;
      int monthsWithEnergy = 0;
      for (int m = 1; m <= 12; ++m) {
        kWh += e.dMonthKWh(m);
        demand += e.dMonthDemandCharge(m);
        EXPECT_NEAR(e.dMonthDemandCharge(m), 15.0 * e.dMonthPeakKW(m), 1e-6) << "month " << m;
        monthsWithEnergy += e.dMonthKWh(m) > 0 ? 1 : 0;
      }
      // The months sum single-precision bin results, the year its components: the same
      // whole kWh.
      EXPECT_NEAR(kWh, e.dTotalKWh, 0.5) << s;
      EXPECT_GT(e.dMonthKWh(6), e.dMonthKWh(1)) << s;
      EXPECT_GT(e.dMonthPeakKW(6), e.dMonthPeakKW(1)) << s;
      if (c.building == 9) {
        EXPECT_EQ(monthsWithEnergy, 12) << s;
        EXPECT_GT(e.dMonthKWh(7), 2 * e.dMonthKWh(1)) << s;
        // Twelve monthly peaks, each at most the year's: more than one peak's charge, less
        // than twelve of the largest.
        double peak = 0;
        for (int m = 1; m <= 12; ++m) peak = std::max(peak, e.dMonthPeakKW(m));
        EXPECT_GT(demand, 6 * 15.0 * peak) << s;
        EXPECT_LT(demand, 12 * 15.0 * peak) << s;
      } else {
        EXPECT_EQ(e.dMonthKWh(7), 0) << s << ": July lies in the summer break";
        EXPECT_EQ(e.dMonthPeakKW(7), 0) << s;
        EXPECT_GT(e.dMonthKWh(9), e.dMonthKWh(7)) << s;
      }
    }
  }
}

}  // namespace
