// The part-load report's figures on every city of the shipped site database: the default
// project's plant calculated for each city, then what the sections print from its results.
// The figures change with the data; what must hold on every site is checked, not the figures.
#include <QSizeF>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/calc/frmWait.h"
#include "app/program/frmMain.h"
#include "app/program/tests/part_load_setup.h"
#include "app/reports/plv/plv_values.h"
#include "app/reports/plv/profile_graphs.h"
#include "app/reports/plv/tests/plv_fixture.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "platform/db/db.h"
#include "platform/graph/scene.h"

namespace plvtest {
namespace {

using modDataIO::gProject;

struct City {
  int64_t id, location;
  std::string name;
};

struct Results {
  PLVSummaryData summary;
  std::unique_ptr<PLVProfileData> profile = std::make_unique<PLVProfileData>();
};

class EveryCity : public PLVTableTest {
 protected:
  void SetUp() override {
    PLVTableTest::SetUp();
    modpublic::gAppPath = std::string(KESTRIN_PROGRAM_DIR) + "/";
    ASSERT_TRUE(modpublic::InitGlobalSettings(modpublic::gAppPath));
  }
  void TearDown() override {
    modpublic::gAppPath.clear();
    PLVTableTest::TearDown();
  }

  // The cities the program offers, from the shipped site database.
  static std::vector<City> Cities() {
    std::vector<City> out;
    auto database = db::Database::Open(frmMain::SiteDatabasePath(), db::OpenMode::kImmutable);
    auto st = database->Prepare("SELECT ID, Location_ID, RefName FROM Cities WHERE bSelect = True ORDER BY ID");
    while (st.Step()) out.push_back({st.Int(0), st.Int(1), st.Text(2)});
    return out;
  }

  // The default project moved to the city, calculated as the Reports command does.
  void Calculate(const City& city, Results& out) {
    modDataIO::InitProject(gProject);
    gProject.CityID = static_cast<decltype(gProject.CityID)>(city.id);
    gProject.LocationID = static_cast<decltype(gProject.LocationID)>(city.location);
    gProject.CityName = city.name;
    ASSERT_NO_FATAL_FAILURE(programtest::SetUpPartLoadReport(host));
    frmWait form;
    form.CalculationOnly(true);
    form.DoCalcs(true);
    form.ProcessReports();
    ASSERT_TRUE(form.CalcsOK());
    ASSERT_TRUE(modDataIO::bCalcReadPLVData(out.summary, *out.profile));
    ASSERT_GT(out.profile->lTotalLoadHours, 0);
  }

  template <class Check>
  void ForEveryCity(Check&& check) {
    const std::vector<City> cities = Cities();
    ASSERT_GE(cities.size(), 10u) << "the shipped database's cities";
    for (const City& city : cities) {
      SCOPED_TRACE(city.name);
      Results results;
      Calculate(city, results);
      if (HasFatalFailure()) return;
      check(results);
      host.messages.clear();
    }
  }
};

// A printed figure read back ("1,516,038" is 1516038).
double Figure(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), ','), text.end());
  return std::stod(text);
}

std::string Whole(double tonHours) { return modpublic::FormatUnitValue(tonHours, TONHR_TO_KWH, "###,###,###,##0"); }

// Cooling Hours Statistics: every bin of the total is in one row, so the rows add up to the
// total in hours, ton-hours and percent; the total is the plant's annual cooling.
// The same annual cooling prints one figure in every table that shows it, in IP and SI.
TEST_F(EveryCity, RowsAddUpAndTheAnnualCoolingPrintsOneFigure) {
  ForEveryCity([&](const Results& r) {
    const PLVProfileData& p = *r.profile;
    const auto rows = reports::plv::ChillerOperatingHoursValues(p);
    double hours = 0, tonHours = 0, hoursPct = 0, tonHoursPct = 0;
    for (size_t i = 0; i < 4; ++i) {
      hours += rows[i].sums.hours;
      tonHours += rows[i].sums.tonHours;
      hoursPct += rows[i].hoursPct;
      tonHoursPct += rows[i].tonHoursPct;
    }
    double binHours = 0;
    for (int b = 1; b <= p.nLastLoadBin; ++b)
      if (p.Bins(b).fChillerPctLoad >= 0) binHours += p.Bins(b).lHours;
    EXPECT_EQ(hours, rows[4].sums.hours);
    EXPECT_EQ(rows[4].sums.hours, binHours) << "no bin left out";
    EXPECT_EQ(tonHours, rows[4].sums.tonHours);
    EXPECT_NEAR(hoursPct, 100, 1e-9);
    EXPECT_NEAR(tonHoursPct, 100, 1e-9);

    const std::vector<reports::plv::DutyBin> duty = reports::plv::CoolingDutyBins(p);
    const reports::plv::CoolingDutyTotals modes = reports::plv::SumCoolingDuty(duty);
    std::vector<int> plant;
    for (int c = 1; c <= p.nNumChillerResults; ++c) plant.push_back(c);
    double chillersOwn = 0;
    for (int c : plant) chillersOwn += p.ChillerResults(c).fTotalTonHours;
    for (UnitOfMeasure units : {nENGLISH, nMETRIC}) {
      Units(units);
      // The printed rows add up to the printed total, column by column.
      const auto printed = reports::plv::HoursStatisticsFigures(rows);
      double sums[4] = {};
      for (size_t i = 0; i < 4; ++i) {
        sums[0] += Figure(printed[i].hours);
        sums[1] += Figure(printed[i].hoursPct);
        sums[2] += Figure(printed[i].cooling);
        sums[3] += Figure(printed[i].coolingPct);
      }
      EXPECT_DOUBLE_EQ(sums[0], Figure(printed[4].hours));
      EXPECT_NEAR(sums[1], Figure(printed[4].hoursPct), 1e-9);
      EXPECT_DOUBLE_EQ(sums[2], Figure(printed[4].cooling));
      EXPECT_NEAR(sums[3], Figure(printed[4].coolingPct), 1e-9);
      EXPECT_EQ(printed[4].hoursPct, "100.0");
      EXPECT_EQ(printed[4].coolingPct, "100.0");

      const std::string total = Whole(p.lTotalLoadHours);  // operating conditions, CPLV worksheet
      EXPECT_EQ(printed[4].cooling, total) << "cooling hours statistics";
      if (modes.free == 0 && modes.hybridFree == 0 && modes.hybridMechanical == 0) {
        EXPECT_EQ(Whole(modes.mechanical), total) << "cooling duty";
      }
      // A plant whose chillers carried every bin's load: the chillers' (and a pool's) total is
      // the same annual cooling.
      const double carried = reports::plv::CarriedTonHours(p, plant, chillersOwn);
      if (std::abs(chillersOwn - p.lTotalLoadHours) < 0.5 * p.nLastLoadBin + 1) {
        EXPECT_EQ(Whole(carried), total) << "the chillers carried the plant's load";
      }
    }
    Units(nENGLISH);
  });
}

// One rule for a rating point's ECWT: where a chiller's weighting factor is the plant's mean
// (identical chillers), the summary of results and the chiller's row of the weighting factors
// print the same ECWT text at every point, "n/a" or a temperature.
TEST_F(EveryCity, EmptyRatingPointsPrintAlikeInEverySection) {
  ForEveryCity([&](const Results& r) {
    const PLVProfileData& p = *r.profile;
    Load(p, r.summary);
    int32_t n = 0;
    ASSERT_TRUE(report->SummaryOfMardelResults(n));
    ASSERT_TRUE(report->WeightingFactorsAndECWTs(n));
    const reports::plv::RatingMeans means = reports::plv::PlantRatingMeans(p);
    int compared = 0;
    for (int c = 1; c <= p.nNumChillerResults; ++c) {
      const std::vector<std::string> chiller = Row(1, static_cast<size_t>(1 + c));
      ASSERT_EQ(chiller.size(), 9u);
      for (int q = 1; q <= 4; ++q) {
        if (std::abs(means.weightingFactor[static_cast<size_t>(q - 1)] - p.ChillerResults(c).fWeightingFactor(q)) >
            1e-6f)
          continue;
        ++compared;
        // Summary rows 2..5 are the 100 % down to the 25 % point; the chiller's ECWTs are
        // columns 5..8 for 25 % up to 100 %.
        EXPECT_EQ(Row(0, static_cast<size_t>(6 - q)).at(4), chiller[static_cast<size_t>(4 + q)])
            << "chiller " << c << " point " << q;
      }
    }
    EXPECT_GT(compared, 0);
  });
}

// The performance graph's load axis holds every bar whole on every site.
TEST_F(EveryCity, PerformanceBarsLieInsideThePlot) {
  ForEveryCity([&](const Results& r) {
    graph::Chart chart(graph::ChartType::Xy);
    reports::plv::FillPerformanceChart(chart, *r.profile, 0);
    const graph::Scene scene = graph::BuildScene(chart, QSizeF(10080, 6480));
    int drawn = 0;
    for (const graph::SceneBar& bar : scene.bars) {
      if (bar.rect.height() <= 0) continue;
      ++drawn;
      EXPECT_GE(bar.rect.left(), scene.plot.left() - 1e-6) << "bar " << bar.point;
      EXPECT_LE(bar.rect.right(), scene.plot.right() + 1e-6) << "bar " << bar.point;
    }
    EXPECT_GT(drawn, 2);
  });
}

}  // namespace
}  // namespace plvtest
