// The set-up from the shipped program data: the default project and a hot-humid site with
// another building type come out of the set-up ready for the calculation and pass its input
// check. (The calculation itself is run on these records by the end-to-end tests.)
#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <string>

#include "app/calc/modCalcs.h"
#include "app/frmMain.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
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
  gProject.CityID = 102;
  gProject.CityName = "Miami";
  gProject.LocationID = 10;
  gProject.BuildingID = 4;
  gProject.BuildingType = "Hospital";
  gProject.ChillerNumber = 3;
  gProject.EvapFlowControl = 2;
  ExpectReadyForTheCalculation();
  WeatherData w;
  ASSERT_TRUE(modDataIO::bWeatherRead(w));
  EXPECT_EQ(w.lTotalHours, 8760);
}

}  // namespace
