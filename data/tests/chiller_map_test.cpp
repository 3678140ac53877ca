#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "data/gen/chiller_map.h"

namespace {

using namespace chillermap;

CurveSet ShippedCurves() { return LoadCurves(std::string(KESTRIN_DATA_DIR) + "/templates/chiller_curves.ini"); }

const std::vector<double> kEcwt = {55, 60, 65, 70, 75, 80, 85, 90, 95};
const std::vector<double> kLoads = {100, 90, 80, 70, 60, 50, 40, 30, 20, 10};

TEST(ChillerMap, PassesThroughTheDesignPoint) {
  const Design d{600, 0.57, 44, 85};
  const Map m = MakeMap(ShippedCurves(), d, kEcwt, kLoads);
  ASSERT_EQ(m.capacity.size(), kEcwt.size());
  EXPECT_NEAR(m.capacity[6][0], 600.0, 1e-9);
  EXPECT_NEAR(m.input[6][0], 0.57, 1e-12);
  EXPECT_NEAR(m.capacity[6][5], 300.0, 1e-9);
}

TEST(ChillerMap, ColderCondenserWaterNeverLowersCapacityOrRaisesInput) {
  const CurveSet c = ShippedCurves();
  const Map m = MakeMap(c, Design{}, kEcwt, kLoads);
  for (std::size_t e = 1; e < kEcwt.size(); ++e) {
    EXPECT_LE(m.capacity[e][0], m.capacity[e - 1][0] + 1e-9) << "ECWT " << kEcwt[e];
    for (std::size_t r = 0; r < kLoads.size(); ++r) {
      EXPECT_GE(m.input[e][r], m.input[e - 1][r]) << "ECWT " << kEcwt[e] << " load " << kLoads[r];
      // from a column inside the curves' range, warmer water costs power
      const double colder = FahrenheitToCelsius(kEcwt[e - 1]);
      if (colder >= c.ecwtC.min && colder < c.ecwtC.max) {
        EXPECT_GT(m.input[e][r], m.input[e - 1][r]) << "ECWT " << kEcwt[e] << " load " << kLoads[r];
      }
    }
  }
  for (const auto& row : m.input)
    for (double v : row) EXPECT_GT(v, 0.0);
}

// Every map point comes from the curves evaluated inside their published range: a point
// whose ECWT lies outside it equals the point at the range's limit, and the points inside
// it are the curves themselves.
TEST(ChillerMap, EveryPointLiesInsideTheCurvesRangeOrIsHeldAtIt) {
  const CurveSet c = ShippedCurves();
  const Design d{};
  // The published range holds the standard rating's condenser temperatures and reaches
  // 55 deg F (12.78 deg C, the limit as printed).
  for (double ecwt : {65.0, 75.0}) EXPECT_TRUE(c.ecwtC.Contains(FahrenheitToCelsius(ecwt))) << ecwt;
  EXPECT_TRUE(c.ecwtC.Contains(FahrenheitToCelsius(85), kPrintedRangeToleranceC));
  EXPECT_TRUE(c.ecwtC.Contains(FahrenheitToCelsius(55), kPrintedRangeToleranceC));
  EXPECT_TRUE(c.lchwtC.Contains(FahrenheitToCelsius(d.lchwtF)));
  const Map m = MakeMap(c, d, kEcwt, kLoads);
  const double lowF = c.ecwtC.min * 9 / 5 + 32, highF = c.ecwtC.max * 9 / 5 + 32;
  const Map limits = MakeMap(c, d, {lowF, highF}, kLoads);
  int inside = 0;
  for (std::size_t e = 0; e < kEcwt.size(); ++e) {
    const double t = FahrenheitToCelsius(kEcwt[e]);
    for (std::size_t r = 0; r < kLoads.size(); ++r) {
      const double plr = kLoads[r] / 100;
      ASSERT_TRUE(c.plr.Contains(plr)) << kLoads[r];
      if (t < c.ecwtC.min || t > c.ecwtC.max) {
        const std::size_t side = t < c.ecwtC.min ? 0 : 1;
        EXPECT_NEAR(m.input[e][r], limits.input[side][r], 1e-12) << "ECWT " << kEcwt[e];
        EXPECT_NEAR(m.capacity[e][r], limits.capacity[side][r], 1e-9) << "ECWT " << kEcwt[e];
      } else {
        ++inside;
        const double x = FahrenheitToCelsius(d.lchwtF), y0 = c.ecwtC.Hold(FahrenheitToCelsius(d.ecwtF));
        const double kw = d.kwPerTon * c.eirFT(x, t) / c.eirFT(x, y0) * c.eirFPLR(plr) / c.eirFPLR(1.0) / plr;
        EXPECT_NEAR(m.input[e][r], kw, 1e-12) << "ECWT " << kEcwt[e];
        EXPECT_NEAR(m.capacity[e][r], d.capacityTons * plr * c.capFT(x, t) / c.capFT(x, y0), 1e-9);
      }
    }
  }
  // 60 to 80 deg F; 55 and 85 deg F lie a few thousandths of a degree beyond the printed limits.
  EXPECT_EQ(inside, 5 * static_cast<int>(kLoads.size()));
}

// kW/ton at a rating load (a share of the design capacity) straight from the coefficients:
// the part-load ratio against the capacity available at the ECWT, every input inside the
// range or held at its limit.
double RatedFromCoefficients(const CurveSet& c, double share, double ecwtF) {
  const double x = FahrenheitToCelsius(44), y = c.ecwtC.Hold(FahrenheitToCelsius(ecwtF));
  const double y0 = c.ecwtC.Hold(FahrenheitToCelsius(85));
  const double plr = share / (c.capFT(x, y) / c.capFT(x, y0));
  return 0.57 * c.eirFT(x, y) / c.eirFT(x, y0) * c.eirFPLR(c.plr.Hold(plr)) / c.eirFPLR(1.0) / plr;
}

// The standard IPLV of the template chiller: weights 1, 42, 45, 12 % at 100, 75, 50, 25 %
// load and 85, 75, 65, 65 deg F entering condenser water, 1 / sum(w / kW per ton), each
// point's part-load ratio taken against the capacity available there.
TEST(ChillerMap, TemplateChillerHasItsDocumentedStandardIplv) {
  const CurveSet c = ShippedCurves();
  const double points[4][3] = {{0.01, 1.00, 85}, {0.42, 0.75, 75}, {0.45, 0.50, 65}, {0.12, 0.25, 65}};
  double sum = 0;
  for (const auto& p : points) sum += p[0] / RatedFromCoefficients(c, p[1], p[2]);
  EXPECT_NEAR(StandardIplv(c, Design{}), 1 / sum, 1e-12);
  // The documented value is the program's rating of the map (0.504); straight from the
  // curves the same method gives it within 0.5 %.
  EXPECT_NEAR(StandardIplv(c, Design{}), 0.504, 0.005 * 0.504);
  // Rated at the same percent of each ECWT's own capacity instead, the value differs: the
  // two methods are not interchangeable.
  double sumOwn = 0;
  for (const auto& p : points) sumOwn += p[0] / KwPerTon(c, Design{}, p[1], p[2]);
  EXPECT_GT(std::abs(1 / sumOwn - 1 / sum), 0.002);
}

// Colder condenser water is credited at every load: from 85 down to 65 deg F the template
// uses less power per ton at each step, and below 65 deg F never more.
TEST(ChillerMap, KwPerTonFallsAsTheCondenserWaterCoolsAtEveryLoad) {
  const CurveSet c = ShippedCurves();
  for (int pct = 25; pct <= 100; pct += 5) {
    double warmer = RatingKwPerTon(c, Design{}, pct / 100.0, 85);
    for (int ecwt = 84; ecwt >= 55; --ecwt) {
      const double kw = RatingKwPerTon(c, Design{}, pct / 100.0, ecwt);
      if (ecwt >= 65) {
        EXPECT_LT(kw, warmer) << pct << " % at " << ecwt << " deg F";
      } else {
        EXPECT_LE(kw, warmer) << pct << " % at " << ecwt << " deg F";
      }
      warmer = kw;
    }
  }
}

TEST(ChillerMap, PartLoadInputPerTonRisesAtLowLoadAsTheCurveSays) {
  const CurveSet c = ShippedCurves();
  const Map m = MakeMap(c, Design{}, kEcwt, kLoads);
  // kW/ton at 50 % = design kW/ton x EIRFPLR(0.5) / EIRFPLR(1) / 0.5 at the design ECWT
  EXPECT_NEAR(m.input[6][5], 0.57 * c.eirFPLR(0.5) / c.eirFPLR(1.0) / 0.5, 1e-12);
  EXPECT_GT(m.input[6][9], m.input[6][0]);
}

TEST(ChillerMap, SupplyTemperatureCoefficientsMatchTheCurvesNearTheDesignPoint) {
  const CurveSet c = ShippedCurves();
  const Design d{};
  const Map m = MakeMap(c, d, kEcwt, kLoads);
  for (double dT : {-1.0, 2.0, 4.0}) {  // 43 to 48 deg F: inside the curves' 42-48 deg F
    const double capExact = CapacityRatio(c, d, 44 + dT, 85);
    const double powExact = capExact * EirRatio(c, d, 44 + dT, 85);
    EXPECT_NEAR(1 + m.coef[2] * dT + m.coef[3] * dT * dT, capExact, 1e-9);
    // second order in dT: the product's third-order term stays out
    EXPECT_NEAR(1 + m.coef[0] * dT + m.coef[1] * dT * dT, powExact, 2e-3);
  }
  EXPECT_GT(m.coef[2], 0.0) << "warmer chilled water gives more capacity";
}

TEST(ChillerMap, RejectsEmptyAxesAndLoadsOutsideTheRange) {
  EXPECT_THROW(MakeMap(ShippedCurves(), Design{}, {}, kLoads), std::invalid_argument);
  EXPECT_THROW(MakeMap(ShippedCurves(), Design{}, kEcwt, {}), std::invalid_argument);
  EXPECT_THROW(MakeMap(ShippedCurves(), Design{}, kEcwt, {100, 0}), std::invalid_argument);
  EXPECT_THROW(MakeMap(CurveSet{}, Design{}, kEcwt, kLoads), std::invalid_argument);
  CurveSet narrow = ShippedCurves();
  narrow.ecwtC = {12.78, 28.0};  // the design 85 deg F (29.4 deg C) outside
  EXPECT_THROW(MakeMap(narrow, Design{}, kEcwt, kLoads), std::invalid_argument);
}

}  // namespace
