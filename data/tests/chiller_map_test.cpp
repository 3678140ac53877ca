#include <gtest/gtest.h>

#include <string>

#include "data/gen/chiller_map.h"
#include "data/gen/text_tables.h"

namespace {

using namespace chillermap;

CurveSet ShippedCurves() {
  auto ini = texttables::IniFile::Load(std::string(KESTRIN_DATA_DIR) + "/templates/chiller_curves.ini");
  CurveSet c;
  auto cap = ini.Numbers("curves", "CapFT");
  auto eir = ini.Numbers("curves", "EIRFT");
  auto plr = ini.Numbers("curves", "EIRFPLR");
  EXPECT_EQ(cap.size(), 6u);
  EXPECT_EQ(eir.size(), 6u);
  EXPECT_EQ(plr.size(), 3u);
  for (int i = 0; i < 6; ++i) c.capFT.c[i] = cap.at(i), c.eirFT.c[i] = eir.at(i);
  for (int i = 0; i < 3; ++i) c.eirFPLR.c[i] = plr.at(i);
  c.capMinECWTC = ini.Number("curves", "CapFT_MinECWT_C");
  return c;
}

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

TEST(ChillerMap, ColderCondenserWaterNeverLowersCapacityAndLowersInput) {
  const Map m = MakeMap(ShippedCurves(), Design{}, kEcwt, kLoads);
  for (std::size_t e = 1; e < kEcwt.size(); ++e) {
    EXPECT_LE(m.capacity[e][0], m.capacity[e - 1][0] + 1e-9) << "ECWT " << kEcwt[e];
    for (std::size_t r = 0; r < kLoads.size(); ++r) {
      EXPECT_GT(m.input[e][r], m.input[e - 1][r]) << "ECWT " << kEcwt[e] << " load " << kLoads[r];
    }
  }
  for (const auto& row : m.input)
    for (double v : row) EXPECT_GT(v, 0.0);
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
  for (double dT : {-2.0, 2.0, 4.0}) {
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
}

}  // namespace
