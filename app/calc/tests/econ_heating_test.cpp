// Heat recovery and heating of a bin: operating points of the heat-recovery machine, its
// cooling priority on a small map, the free cooling it supplies and the heating energy.
#include <gtest/gtest.h>

#include "app/calc/frmWait.h"
#include "platform/ui/ui.h"

namespace {

class Heating : public ::testing::Test {
 protected:
  Heating() {
    hr.fHRHeatFull = 1000;
    hr.fHRPowerFull = 50;  // kW
    hr.fHRHeatMin = 400;
    hr.fHRPowerMin = 30;
    hr.bHRPowerTotal = vb::kTrue;
    system.nHeatRecoveryMode = 2;
    system.fDesignLCHWT = 44;
    chiller.fDesignLCHWT = 44;
    chiller.fDesignECWT = 85;
    chiller.fFLCapacity = 100;  // tons
    // A 2 x 2 map, ECWT descending: 95 and 75, two load rows.
    chiller.nNumECWTPoints = 2;
    chiller.nNumLoadPoints = 2;
    chiller.fECWTPoints(1) = 95;
    chiller.fECWTPoints(2) = 75;
    chiller.fCapacityMap(1, 1) = 1100;
    chiller.fCapacityMap(2, 1) = 1300;
    chiller.fCapacityMap(1, 2) = 500;
    chiller.fCapacityMap(2, 2) = 700;
    chiller.fPowerMap(1, 1) = 80;
    chiller.fPowerMap(2, 1) = 60;
    chiller.fPowerMap(1, 2) = 40;
    chiller.fPowerMap(2, 2) = 30;
  }
  ui::RecordingHost host;
  ui::ScopedHost scoped{host};
  HeatRecoveryChillerData hr;
  ChillerData chiller;
  SystemData system;
};

constexpr double k = kBtuhPerWatt;

TEST_F(Heating, OperatingPointBranches) {
  struct Case {
    const char* name;
    double heat, coolingTons;
    double cooling, power, heating, ratio;
  };
  const double Cf = 1000 - 50 * k;  // cooling at full load
  const Case cases[] = {
      {"both demands above full", 2000, 200, Cf, 50, 1000, 1},
      {"heating limits", 700, 200, 700 - 40 * k, 40, 700, 1},  // power half-way 30..50
      {"below the minimum: cycles", 200, 200, (400 - 30 * k) * 0.5, 15, 200, 0.5},
  };
  for (const Case& c : cases) {
    HeatRecoveryPoint p;
    ASSERT_TRUE(frmWait::CalcDHRCPerformanceData(c.heat, c.coolingTons, hr, chiller, system, p)) << c.name;
    EXPECT_NEAR(p.dCooling, c.cooling, 1e-9) << c.name;
    EXPECT_NEAR(p.dPower, c.power, 1e-9) << c.name;
    EXPECT_NEAR(p.dHeating, c.heating, 1e-9) << c.name;
    EXPECT_NEAR(p.dPartLoadRatio, c.ratio, 1e-12) << c.name;
  }
  // Power above the heat it makes: no cooling at full load.
  hr.fHRPowerFull = 400;
  HeatRecoveryPoint p;
  ASSERT_TRUE(frmWait::CalcDHRCPerformanceData(2000, 200, hr, chiller, system, p));
  EXPECT_EQ(p.dCooling, 0);
  EXPECT_EQ(p.dHeating, 1000);
}

TEST_F(Heating, CoolingPriorityInterpolatesTheMapAtTheDesignECWT) {
  // Column 2 (75) is the first below 85: half-way between the columns, rows
  // (1200 kBtu/h, 70 kW) and (600, 35). A cooling demand of 62.5 tons = 750 kBtu/h, below
  // the full-load cooling, lies a quarter of the way from row 2 to row 1.
  HeatRecoveryPoint p;
  ASSERT_TRUE(frmWait::CalcDHRCPerformanceData(2000, 62.5, hr, chiller, system, p));
  EXPECT_NEAR(p.dCooling, 750, 1e-6);
  EXPECT_NEAR(p.dPower, 43.75, 1e-6);
  EXPECT_NEAR(p.dHeating, 43.75 * k + 750, 1e-6);
}

TEST_F(Heating, FreeCoolingOnlyWithTheMachineAndAtMostTheLoad) {
  HeatingSystemData heating;
  heating.fBinHeatLoad(2) = 2000;
  double plr = 0;
  EXPECT_FLOAT_EQ(frmWait::GetFreeCoolingCapPerBin(2, 200, hr, chiller, system, heating, 40, plr),
                  static_cast<float>(1000 - 50 * k));
  EXPECT_FLOAT_EQ(frmWait::GetFreeCoolingCapPerBin(2, 5, hr, chiller, system, heating, 40, plr), 60.0f)
      << "capped at the bin's load";
  system.nHeatRecoveryMode = 0;
  EXPECT_EQ(frmWait::GetFreeCoolingCapPerBin(2, 200, hr, chiller, system, heating, 40, plr), 0);
}

TEST_F(Heating, HeatingWithoutAnEfficiencyAddsNothingInsteadOfFailing) {
  system.nHeatRecoveryMode = 0;
  HeatingSystemData heating;
  heating.fBinHeatLoad(1) = 100;
  heating.bElectricHeat = vb::kTrue;
  WeatherData weather;
  weather.lMonthBinHours(3, 1) = 10;
  SimMonthResults month;
  SystemEconData econ;
  double plr = 0;
  frmWait::CalcHeatingEnergyUsePerBinInMonth(1, 3, 50, hr, chiller, system, heating, weather, month, econ, plr);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(month.fElecHeatKW(1), 0);
  EXPECT_EQ(month.fHeatLoadHrs(1), 1000);
  EXPECT_EQ(econ.dMonthHeatKWh(3), 0);

  heating.dHeatingEff = 80;  // 100 kBtu/h electric at 80 %
  frmWait::CalcHeatingEnergyUsePerBinInMonth(1, 3, 50, hr, chiller, system, heating, weather, month, econ, plr);
  EXPECT_NEAR(month.fElecHeatKW(1), 100 * 29.3071 / 80, 1e-4);
  EXPECT_NEAR(econ.dMonthElecHeatKWh(3), 10 * 100 * 29.3071 / 80, 1e-3);
  EXPECT_EQ(econ.dMonthPeakKW(3), 0) << "heating alone sets no cooling demand";
  EXPECT_EQ(month.fRecoveryCooling(1), 0);
}

}  // namespace
