// The input check and the result check: error numbers at their boundaries, the exact
// ERR.DAT text, shared towers and the life-cycle checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/calc/modCalcs.h"
#include "app/calc/tests/calc_fixtures.h"
#include "app/storage/modDataIO.h"
#include "libs/units/clsUnits.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

namespace {

using calctest::ScratchFolder;

constexpr double kW = 0.499646;

SystemData OneSlot() {
  SystemData s = calctest::TwoChillerSystem();
  s.nNumChillers = 1;
  s.nChillerIDs(2) = 0;
  s.nTowerIDs(2) = 0;
  return s;
}

// A chiller whose design heat rejection is H kBtu/h (total input given).
ChillerData ChillerWithHeat(double H) {
  ChillerData ch = calctest::Chiller600();
  ch.nFLPowerType = 1;
  ch.fFLCapacity = 10;
  ch.fFLPower = static_cast<float>((H - 120.0) / 3.412);
  return ch;
}

std::multiset<int> ErrorNumbers(const std::string& text) {
  std::multiset<int> found;
  std::regex re("Error (\\d{3}):");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
    found.insert(std::stoi((*it)[1]));
  return found;
}

class InputCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(modDataIO::bChillerWrite(1, calctest::Chiller600()));
    ASSERT_TRUE(modDataIO::bTowerWrite(1, calctest::Tower600()));
  }
  std::string Run(const SystemData& s, int16_t costType = 0, int16_t years = 0) {
    modDataIO::bErrorDelete();
    ok = modCalcs::bCalcCheckInputData(s, costType, years, nonElectric, inputErrors);
    return calctest::ReadFile(scratch.File("ERR.DAT"));
  }
  // The one-slot system with its chiller and tower records changed as given.
  using Change = std::function<void(SystemData&, ChillerData&, TowerData&)>;
  std::string RunChanged(const Change& change, int16_t costType = 0, int16_t years = 0) {
    SystemData s = OneSlot();
    ChillerData ch = calctest::Chiller600();
    TowerData tw = calctest::Tower600();
    change(s, ch, tw);
    EXPECT_TRUE(modDataIO::bChillerWrite(1, ch));
    EXPECT_TRUE(modDataIO::bTowerWrite(1, tw));
    return Run(s, costType, years);
  }
  ui::RecordingHost host;
  ui::ScopedHost scopedHost{host};
  ScratchFolder scratch;
  bool ok = false, nonElectric = true, inputErrors = true;
};

TEST_F(InputCheckTest, CleanSystemWritesThreeLines) {
  EXPECT_EQ(Run(OneSlot()), "\r\nErrors in Input Data for System:  [Plant A]\r\n\tNone\r\n");
  EXPECT_TRUE(ok);
  EXPECT_FALSE(inputErrors);
  EXPECT_FALSE(nonElectric);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(InputCheckTest, OneErrorWritesSevenLines) {
  SystemData s = OneSlot();
  s.fDesignLCHWT = 42;
  EXPECT_EQ(Run(s),
            "\r\nErrors in Input Data for System:  [Plant A]\r\n"
            "\tCH-1: Error 102: Chiller and system have different full load LCHWT values.\r\n"
            "\r\n\tNote - For more information on these errors:\r\n"
            "\t\tClick the Help button at the top of this screen.\r\n"
            "\t\tThen click 'Quick Link to Calculation Error Messages'\r\n");
  EXPECT_TRUE(ok);
  EXPECT_TRUE(inputErrors);
}

TEST_F(InputCheckTest, BoundaryTable) {
  const double R0 = (600 * 12 + 0.57 * 600 * 3.412) / (kW * 1800);  // the fixture's range
  auto range = [](double R) {
    return [R](SystemData&, ChillerData& ch, TowerData& tw) {
      ch = ChillerWithHeat(R * kW * 1800);
      tw.fDesignRange = static_cast<float>(R);
    };
  };
  auto ratio = [R0](double q) {
    return [R0, q](SystemData&, ChillerData&, TowerData& tw) { tw.fDesignRange = static_cast<float>(R0 / q); };
  };
  const struct {
    const char* name;
    Change change;
    std::multiset<int> errors;
  } cases[] = {
      {"LCHWT 0.1 apart", [](SystemData&, ChillerData& ch, TowerData&) { ch.fDesignLCHWT = 44.1f; }, {}},
      {"LCHWT 0.11 apart", [](SystemData&, ChillerData& ch, TowerData&) { ch.fDesignLCHWT = 44.11f; }, {102}},
      {"flow 2.0 apart", [](SystemData&, ChillerData& ch, TowerData&) { ch.fCondWaterFlow = 1802; }, {}},
      {"flow 2.01 apart", [](SystemData&, ChillerData& ch, TowerData&) { ch.fCondWaterFlow = 1802.01f; }, {104}},
      {"range 39.99", range(39.99), {}},
      {"range 40.01", range(40.01), {106}},
      {"range 0.51", range(0.51), {}},
      {"range 0.49", range(0.49), {107}},
      {"ratio 0.701", ratio(0.701), {}},
      {"ratio 0.69", ratio(0.69), {108}},
      {"ratio 1.299", ratio(1.299), {}},
      {"ratio 1.31", ratio(1.31), {108}},
      {"no condenser flow",
       [](SystemData&, ChillerData& ch, TowerData& tw) { ch.fCondWaterFlow = tw.fCondWaterFlow = 0; },
       {106}},
      {"no design range", [](SystemData&, ChillerData&, TowerData& tw) { tw.fDesignRange = 0; }, {108}},
      {"no chiller", [](SystemData& s, ChillerData&, TowerData&) { s.nChillerIDs(1) = 0; }, {101}},
      {"no tower", [](SystemData& s, ChillerData&, TowerData&) { s.nTowerIDs(1) = 0; }, {103}},
      {"dry cooler: no range checks",
       [](SystemData&, ChillerData&, TowerData& tw) {
         tw.nEqptType = 4;
         tw.fDesignRange = 0;
       },
       {}},
      {"air-cooled: no tower checks",
       [](SystemData& s, ChillerData& ch, TowerData&) {
         ch.nType = 10;
         s.nTowerIDs(1) = 0;
       },
       {}},
      {"direct-fired: no tower checks",
       [](SystemData& s, ChillerData& ch, TowerData&) {
         ch.nType = 8;
         s.nTowerIDs(1) = 0;
       },
       {}},
      {"first-chiller basis skips the slot range",
       [](SystemData& s, ChillerData&, TowerData& tw) {
         s.bSlot1Basis = -1;
         tw.fDesignRange = 0;
       },
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ErrorNumbers(RunChanged(c.change)), c.errors);
    EXPECT_TRUE(ok);
    EXPECT_EQ(inputErrors, !c.errors.empty());
  }
  EXPECT_TRUE(host.messages.empty());
}

// Every error line exactly as ERR.DAT holds it, between the header and the closing note.
TEST_F(InputCheckTest, EachErrorLineIsExact) {
  const double R0 = (600 * 12 + 0.57 * 600 * 3.412) / (kW * 1800);
  const char* k106 = "Error 106: Condenser water flow rate is too small for cooling tower or dry cooler.";
  const char* k107 = "Error 107: Condenser water flow rate is too large for cooling tower or dry cooler.";
  const char* k108 = "Error 108: Design range for condenser and cooling tower or dry cooler do not match.";
  auto range = [](double R) {
    return [R](SystemData&, ChillerData& ch, TowerData& tw) {
      ch = ChillerWithHeat(R * kW * 1800);
      tw.fDesignRange = static_cast<float>(R);
    };
  };
  auto shared = [](SystemData& s) {
    s = calctest::TwoChillerSystem();
    s.nSingleTower = 1;
  };
  const struct {
    const char* name;
    Change change;
    std::vector<std::string> lines;
    int16_t costType = 0;
  } cases[] = {
      {"101",
       [](SystemData& s, ChillerData&, TowerData&) { s.nChillerIDs(1) = 0; },
       {"\tCH-1: Error 101: Chiller does not exist."}},
      {"103",
       [](SystemData& s, ChillerData&, TowerData&) { s.nTowerIDs(1) = 0; },
       {"\tCH-1: Error 103: Cooling tower or dry cooler does not exist."}},
      {"104",
       [](SystemData&, ChillerData& ch, TowerData&) { ch.fCondWaterFlow = 1810; },
       {"\tCH-1: Error 104: Chiller and cooling tower or dry cooler have different condenser water flow rates."}},
      {"106", range(40.01), {std::string("\tCH-1: ") + k106}},
      {"107", range(0.49), {std::string("\tCH-1: ") + k107}},
      {"108",
       [R0](SystemData&, ChillerData&, TowerData& tw) { tw.fDesignRange = static_cast<float>(R0 / 0.69); },
       {std::string("\tCH-1: ") + k108}},
      {"shared 109",
       [shared](SystemData& s, ChillerData&, TowerData&) {
         shared(s);
         s.nTowerIDs(1) = s.nTowerIDs(2) = 0;
       },
       {"\tError 109: Shared cooling tower or dry cooler does not exist."}},
      {"shared 110 and 106 without flow",
       [shared](SystemData& s, ChillerData&, TowerData& tw) {
         shared(s);
         tw.fCondWaterFlow = 0;
       },
       {"\tError 110: System and shared tower or dry cooler have different condenser flow rates.",
        std::string("\t") + k106}},
      {"shared 107 and 108",
       [shared](SystemData& s, ChillerData& ch, TowerData& tw) {
         shared(s);
         ch.fCondWaterFlow = 400000;
         tw.fCondWaterFlow = 800000;
       },
       {std::string("\tSystem: ") + k107, std::string("\tSystem: ") + k108}},
      {"201 202 203",
       [](SystemData& s, ChillerData&, TowerData&) {
         s.dLoanAmount = 1;
         s.fLoanYears = 11;
         s.dOtherInvestAmount(8) = 1;
         s.nOtherInvestFirstYear(8) = 11;
         s.nOtherInvestCount(8) = 1;
         s.dOtherMaintAmount(8) = 1;
         s.nOtherMaintFirstYear(8) = 1;
         s.nOtherMaintCount(8) = 3;
         s.nOtherMaintInterval(8) = 6;  // last year 13
       },
       {"\tSystem: Error 201: Loan payments extend beyond end of lifecycle period.",
        "\tSystem: Error 202: Other investment costs occur after end of lifecycle period.",
        "\tSystem: Error 203: Other maintenance costs occur after end of lifecycle period."},
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> expected{"", "Errors in Input Data for System:  [Plant A]"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    expected.push_back(
        "\r\n\tNote - For more information on these errors:\r\n\t\tClick the Help button at the top of this "
        "screen.\r\n\t\tThen click 'Quick Link to Calculation Error Messages'");
    EXPECT_EQ(RunChanged(c.change, c.costType, 10), calctest::Lines(expected));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(inputErrors);
  }
}

TEST_F(InputCheckTest, NonElectricFlagForHeatDrivenTypes) {
  for (int16_t type : {1, 5, 6, 7, 8, 9, 10, 12}) {
    ChillerData ch = calctest::Chiller600();
    ch.nType = type;
    ASSERT_TRUE(modDataIO::bChillerWrite(1, ch));
    Run(OneSlot());
    EXPECT_EQ(nonElectric, type >= 6 && type <= 9) << type;
  }
}

TEST_F(InputCheckTest, TwinSlotChecksBothMachinesAgainstTheirUnits) {
  SystemData s = OneSlot();
  s.nChillerIDs2(1) = 1;
  s.nTowerIDs2(1) = 1;
  s.fDesignLCHWT = 42;  // 102 only for the first machine
  // Each machine's flow (1800) against the doubled unit flow (3600): 104 for both.
  EXPECT_EQ(ErrorNumbers(Run(s)), (std::multiset<int>{102, 104, 104}));
}

TEST_F(InputCheckTest, SharedTower) {
  SystemData s = calctest::TwoChillerSystem();
  s.nSingleTower = 1;
  TowerData shared = calctest::Tower600();
  shared.fCondWaterFlow = 3600;
  ASSERT_TRUE(modDataIO::bTowerWrite(1, shared));
  EXPECT_TRUE(ErrorNumbers(Run(s)).empty());  // both chillers' heat and flow on one unit

  shared.fCondWaterFlow = 2700;  // flow disagrees, and the range (12.4) is 1.33 x the design range
  ASSERT_TRUE(modDataIO::bTowerWrite(1, shared));
  const std::string text = Run(s);
  EXPECT_EQ(ErrorNumbers(text), (std::multiset<int>{110, 108}));
  EXPECT_NE(text.find("\tError 110: System and shared tower"), std::string::npos);
  EXPECT_NE(text.find("\tSystem: Error 108: Design range"), std::string::npos);

  // First-chiller basis: the system flow and heat are slot 1's alone.
  s.bSlot1Basis = -1;
  shared.fCondWaterFlow = 1800;
  ASSERT_TRUE(modDataIO::bTowerWrite(1, shared));
  EXPECT_TRUE(ErrorNumbers(Run(s)).empty());

  s.bSlot1Basis = 0;
  s.nTowerIDs(1) = 0;
  s.nTowerIDs(2) = 0;
  EXPECT_EQ(ErrorNumbers(Run(s)), (std::multiset<int>{109}));
}

TEST_F(InputCheckTest, TwinSlotCountsBothMachinesOnASharedTower) {
  SystemData s = OneSlot();
  s.nSingleTower = 1;
  s.nChillerIDs2(1) = 1;
  TowerData shared = calctest::Tower600();
  shared.fCondWaterFlow = 3600;
  ASSERT_TRUE(modDataIO::bTowerWrite(1, shared));
  // Flow 2 x 1800 and heat of both machines: no range error.
  EXPECT_TRUE(ErrorNumbers(Run(s)).empty());
}

TEST_F(InputCheckTest, LifeCycleChecksOnlyForCostType2) {
  SystemData s = OneSlot();
  s.dLoanAmount = 1000;
  s.fLoanYears = 21;
  s.dOtherInvestAmount(1) = 500;  // 5 + (3 - 1) x 8 = 21 > 20
  s.nOtherInvestFirstYear(1) = 5;
  s.nOtherInvestCount(1) = 3;
  s.nOtherInvestInterval(1) = 8;
  s.dOtherInvestAmount(2) = 0;  // no amount: never tested
  s.nOtherInvestFirstYear(2) = 40;
  s.nOtherInvestCount(2) = 1;
  s.dOtherMaintAmount(1) = 100;  // water treatment: not tested
  s.nOtherMaintFirstYear(1) = 30;
  s.nOtherMaintCount(1) = 1;
  s.dOtherMaintAmount(3) = 100;  // 20 + 0 = 20: inside
  s.nOtherMaintFirstYear(3) = 20;
  s.nOtherMaintCount(3) = 1;
  EXPECT_EQ(ErrorNumbers(Run(s, 2, 20)), (std::multiset<int>{201, 202}));
  s.dOtherMaintAmount(4) = 100;
  s.nOtherMaintFirstYear(4) = 21;
  s.nOtherMaintCount(4) = 1;
  EXPECT_EQ(ErrorNumbers(Run(s, 2, 20)), (std::multiset<int>{201, 202, 203}));
  EXPECT_TRUE(ErrorNumbers(Run(s, 1, 20)).empty());
  s.fLoanYears = 20;
  EXPECT_EQ(ErrorNumbers(Run(s, 2, 20)), (std::multiset<int>{202, 203}));
}

// The periods of the cash flow are checked for every economic run (cost type 1 or 2), never
// for a part-load run: a loan term that rounds to no whole year or past year 50, a life cycle
// outside 0 to 50 years.
TEST_F(InputCheckTest, EconomicPeriodsAreInputErrors) {
  const std::string loan = "\tSystem: The loan term of ";
  const std::string life = "\tSystem: The life-cycle period of ";
  struct Case {
    int16_t costType, years;
    double amount;
    float loanYears;
    int16_t paymentType;
    std::string line;  // "" = no error
  } cases[] = {
      {1, 20, 1000, 0.4f, 1, loan + "0.4 years does not round to 1 to 50 whole years."},
      {2, 20, 1000, 0.5f, 3, loan + "0.5 years does not round to 1 to 50 whole years."},  // half to even: 0
      {1, 50, 1000, 50.6f, 2, loan + "50.6 years does not round to 1 to 50 whole years."},
      {1, 50, 1000, 50.5f, 2, ""},  // half to even: 50
      {1, 20, 1000, 1.5f, 1, ""},
      {1, 20, 0, 0, 1, ""},        // no loan amount: no schedule
      {1, 20, 1000, 0, 0, ""},     // no payment type: no schedule
      {0, 20, 1000, 0.4f, 1, ""},  // a part-load run has no cash flow
      {1, 51, 0, 0, 0, life + "51 years is outside 0 to 50 years."},
      {2, -1, 0, 0, 0, life + "-1 years is outside 0 to 50 years."},
      {1, 50, 0, 0, 0, ""},
  };
  for (const Case& c : cases) {
    SystemData s = OneSlot();
    s.dLoanAmount = c.amount;
    s.fLoanYears = c.loanYears;
    s.nLoanPaymentType = c.paymentType;
    const std::string text = Run(s, c.costType, c.years);
    const std::string what = std::to_string(c.costType) + "/" + std::to_string(c.years) + "/" + vb::CStr(c.loanYears);
    EXPECT_TRUE(ok) << what;
    EXPECT_EQ(inputErrors, !c.line.empty()) << what << text;
    if (!c.line.empty()) {
      EXPECT_NE(text.find(c.line + "\r\n"), std::string::npos) << what << text;
      EXPECT_NE(text.find("Errors in Input Data for System:  [" + vb::Trim(s.sName) + "]"), std::string::npos);
    }
  }
}

TEST_F(InputCheckTest, UnreadableChillerWritesNothing) {
  SystemData s = OneSlot();
  s.nChillerIDs(1) = 5;  // not in the library
  Run(s);
  EXPECT_FALSE(ok);
  EXPECT_FALSE(std::filesystem::exists(scratch.File("ERR.DAT")));
  EXPECT_EQ(host.messages.size(), 1u);  // the reader's box
}

TEST_F(InputCheckTest, MoreThanThirtyChillersIsAClearFailure) {
  SystemData s = OneSlot();
  s.nNumChillers = 31;
  Run(s);
  EXPECT_FALSE(ok);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "bCalcCheckInputData");
  EXPECT_NE(host.messages[0].text.find("at most 30"), std::string::npos);
}

class ResultCheckTest : public ::testing::Test {
 protected:
  ui::RecordingHost host;
  ui::ScopedHost scopedHost{host};
  ScratchFolder scratch;
};

TEST_F(ResultCheckTest, UnmetBinsInTonsAndKW) {
  clsUnits units;
  bool flag = false;
  float load = 1234.5f;  // kBtu/h
  ASSERT_TRUE(modCalcs::bCalcCheckResults("Plant A   ", 3, load, flag, units));
  EXPECT_TRUE(flag);
  EXPECT_EQ(load, 1234.5f);
  units.CurrentUnitOfMeasure(nMETRIC);
  ASSERT_TRUE(modCalcs::bCalcCheckResults("Plant A", 1, load, flag, units));
  const std::string note =
      "\r\n\tNote - For more information on these errors:\r\n\t\tClick the Help button at the top of this "
      "screen.\r\n\t\tThen click 'Quick Link to Calculation Error Messages' in the help screen that appears.\r\n";
  EXPECT_EQ(calctest::ReadFile(scratch.File("ERR.DAT")),
            "\r\nErrors in Calculation for System: [Plant A]\r\n"
            "\tError 301: System unable to meet the building load in one or more bins.\r\n"
            "\t\tNumber of bins =  3   Largest load = 102.9 " +
                clsUnits().UnitStr(TONS_TO_KW) + "\r\n" + note +
                "\r\nErrors in Calculation for System: [Plant A]\r\n"
                "\tError 301: System unable to meet the building load in one or more bins.\r\n"
                "\t\tNumber of bins =  1   Largest load = 361.8 " +
                units.UnitStr(TONS_TO_KW) + "\r\n" + note);
}

TEST_F(ResultCheckTest, NoUnmetBinsLeavesTheFlag) {
  clsUnits units;
  bool flag = true;
  ASSERT_TRUE(modCalcs::bCalcCheckResults("Plant A", 0, 0, flag, units));
  EXPECT_TRUE(flag);  // never cleared here
  EXPECT_EQ(calctest::ReadFile(scratch.File("ERR.DAT")),
            "\r\nErrors in Calculation for System: [Plant A]\r\n\tNone\r\n");
}

}  // namespace
