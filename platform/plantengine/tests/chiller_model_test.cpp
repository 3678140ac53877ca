// The chiller performance model: map lookup, correction, false loading.
#include <gtest/gtest.h>

#include "platform/plantengine/chiller_model.h"

namespace grendax::detail {
namespace {

// A 2 x 2 map: ECWT 85 and 65; rows 1000/500 kBtu/h at 85, 1200/600 at 65.
ChillerSetup TwoByTwo() {
  ChillerSetup s;
  s.Capacity = 1000;
  s.DesignLCHWT = 44;
  s.MapECWTCount = 2;
  s.MapLoadCount = 2;
  s.MapECWT[1] = 85;
  s.MapECWT[2] = 65;
  s.MapCapacity[1][1] = 1000, s.MapInput[1][1] = 60;
  s.MapCapacity[1][2] = 500, s.MapInput[1][2] = 40;
  s.MapCapacity[2][1] = 1200, s.MapInput[2][1] = 50;
  s.MapCapacity[2][2] = 600, s.MapInput[2][2] = 30;
  return s;
}

TEST(ChillerModel, TwoByTwoMapInterpolatesAlongEcwtThenLoad) {
  const ChillerCurve c = BuildCurve(TwoByTwo());
  // Capacity: row 1 between the columns, clamped outside the axis.
  EXPECT_DOUBLE_EQ(AvailableCapacity(c, 75, 44), 1100);
  EXPECT_DOUBLE_EQ(AvailableCapacity(c, 95, 44), 1000);
  EXPECT_DOUBLE_EQ(AvailableCapacity(c, 50, 44), 1200);
  // Input at 750 kBtu/h and 75 F: column 85 gives 50 (halfway 500..1000), column 65 gives
  // 30 + 150/600*20 = 35; halfway between the columns: 42.5.
  EXPECT_DOUBLE_EQ(InputAtLoad(c, 75, 750, 44), 42.5);
  // Below the last row the end segment is extended: column 85 at 250 -> 30.
  EXPECT_DOUBLE_EQ(InputAtLoad(c, 85, 250, 44), 30);
}

TEST(ChillerModel, GridPointsGiveTheMapValuesExactly) {
  ChillerSetup s = TwoByTwo();
  // Awkward values that interpolation would disturb.
  s.MapInput[1][1] = 61.123456789, s.MapInput[1][2] = 39.987654321;
  s.MapInput[2][1] = 50.000000001, s.MapInput[2][2] = 29.1;
  s.MapCoef[1] = 0.02, s.MapCoef[3] = -0.01;  // no effect at the design supply temperature
  const ChillerCurve c = BuildCurve(s);
  for (int j = 1; j <= 2; ++j)
    for (int r = 1; r <= 2; ++r) EXPECT_EQ(InputAtLoad(c, s.MapECWT[j], s.MapCapacity[j][r], 44), s.MapInput[j][r]);
  EXPECT_EQ(AvailableCapacity(c, 85, 44), 1000);
}

TEST(ChillerModel, GridPointsOnAnInnerColumnGiveTheMapValuesExactly) {
  // Column inputs chosen so that blending 14.302 fully toward 84.896 rounds off 84.896.
  ChillerSetup s = TwoByTwo();
  s.MapECWTCount = 3;
  s.MapECWT[1] = 85, s.MapECWT[2] = 75, s.MapECWT[3] = 65;
  for (int j = 1; j <= 3; ++j) s.MapCapacity[j][1] = 1000, s.MapCapacity[j][2] = 500;
  s.MapInput[1][1] = 14.302, s.MapInput[1][2] = 10;
  s.MapInput[2][1] = 84.896, s.MapInput[2][2] = 40.7;
  s.MapInput[3][1] = 50, s.MapInput[3][2] = 30;
  const ChillerCurve c = BuildCurve(s);
  for (int j = 1; j <= 3; ++j)
    for (int r = 1; r <= 2; ++r)
      EXPECT_EQ(InputAtLoad(c, s.MapECWT[j], s.MapCapacity[j][r], 44), s.MapInput[j][r]) << j << "," << r;
}

TEST(ChillerModel, AvailableCapacityNeverRisesWithEcwt) {
  const ChillerCurve c = BuildCurve(TwoByTwo());
  double last = AvailableCapacity(c, 40, 44);
  for (double e = 40; e <= 100; e += 0.25) {
    const double a = AvailableCapacity(c, e, 44);
    EXPECT_LE(a, last) << e;
    last = a;
  }
}

TEST(ChillerModel, SupplyTemperatureCorrectionUsesTheFourCoefficients) {
  ChillerSetup s = TwoByTwo();
  s.MapCoef[1] = 0.01, s.MapCoef[2] = 0.001, s.MapCoef[3] = 0.02, s.MapCoef[4] = 0.002;
  const ChillerCurve c = BuildCurve(s);
  // dT = 2: capacity x (1 + 0.04 + 0.008), input x (1 + 0.02 + 0.004).
  EXPECT_NEAR(AvailableCapacity(c, 85, 46), 1000 * 1.048, 1e-9);
  // A corrected load of 1.048 x 500 sits on row 2 of the uncorrected map.
  EXPECT_NEAR(InputAtLoad(c, 85, 500 * 1.048, 46), 40 * 1.024, 1e-9);
}

TEST(ChillerModel, BelowMinimumCapacityTheChillerIsFalseLoaded) {
  ChillerSetup s = TwoByTwo();
  s.MinCapacity = 500;
  const ChillerCurve c = BuildCurve(s);
  EXPECT_DOUBLE_EQ(InputAtLoad(c, 85, 100, 44), 40);
  EXPECT_DOUBLE_EQ(InputAtLoad(c, 85, 500, 44), 40);
  EXPECT_DOUBLE_EQ(InputAtLoad(c, 85, 750, 44), 50);
}

TEST(ChillerModel, MissingCellsAreSkipped) {
  ChillerSetup s = TwoByTwo();
  s.MapLoadCount = 3;
  s.MapCapacity[1][2] = 0;  // missing: column 85 interpolates rows 1 and 3
  s.MapCapacity[1][3] = 250, s.MapInput[1][3] = 20;
  s.MapCapacity[2][3] = 300, s.MapInput[2][3] = 15;
  const ChillerCurve c = BuildCurve(s);
  EXPECT_DOUBLE_EQ(InputAtLoad(c, 85, 625, 44), 40);
  // A capacity whose input is missing (0) is no point either: at 500 the input lies on the
  // line from (1000, 60) to (250, 20), not at 0.
  s.MapCapacity[1][2] = 500, s.MapInput[1][2] = 0;
  EXPECT_DOUBLE_EQ(InputAtLoad(BuildCurve(s), 85, 500, 44), 100.0 / 3.0);
}

TEST(ChillerModel, PartLoadTableServesAChillerWithoutMap) {
  ChillerSetup s;
  s.Capacity = 1000;
  s.PartLoadPointCount = 3;
  s.PartLoadCapacity[1] = 1000, s.PartLoadInput[1] = 60;
  s.PartLoadCapacity[2] = 1000, s.PartLoadInput[2] = 60;  // right-aligned repeat of the largest
  s.PartLoadCapacity[3] = 500, s.PartLoadInput[3] = 35;
  const ChillerCurve c = BuildCurve(s);
  EXPECT_DOUBLE_EQ(AvailableCapacity(c, 70, 44), 1000);
  EXPECT_DOUBLE_EQ(InputAtLoad(c, 70, 750, 44), 47.5);
}

TEST(ChillerModel, WithoutDataTheDesignCapacityHasNoInput) {
  ChillerSetup s;
  s.Capacity = 900;
  const ChillerCurve c = BuildCurve(s);
  EXPECT_DOUBLE_EQ(AvailableCapacity(c, 70, 44), 900);
  EXPECT_DOUBLE_EQ(InputAtLoad(c, 70, 500, 44), 0);
}

TEST(ChillerModel, HeatDrivenByCycleOrEnergySource) {
  ChillerSetup s;
  s.CycleType = 1, s.EnergySource = 3;
  EXPECT_FALSE(IsHeatDriven(s));
  s.EnergySource = 0;
  EXPECT_FALSE(IsHeatDriven(s));
  s.EnergySource = 4;
  EXPECT_TRUE(IsHeatDriven(s));
  s.EnergySource = 0, s.CycleType = 2;
  EXPECT_TRUE(IsHeatDriven(s));
}

}  // namespace
}  // namespace grendax::detail
