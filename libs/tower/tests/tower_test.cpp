// Cooling tower (Merkel model), dry cooler and tower collection.
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "libs/psychro/PSYCHEN32.h"
#include "libs/tower/cClgTower.h"
#include "libs/tower/cClgTowers.h"

// Reaches the private steps of cClgTower.
struct cClgTowerProbe {
  static double Merkel(cClgTower& t, double lg, double wb, double range, double approach) {
    const cClgTower::Saturation sat{static_cast<float>(t.BaromPressure())};
    return t.CalcMerkelBasis(sat, sat(wb), lg, wb, range, approach);
  }
  static double Approach(cClgTower& t, double air, double h2o, double wb, double range) {
    return t.CalcApproach(air, h2o, wb, range);
  }
  // The design search itself, as CalcDesignFactors runs it when it has not solved the design before.
  static double DesignSearch(cClgTower& t, double& reached) {
    return t.CalcAIRFactor(t.DesignWetBulb(), t.DesignRange(), t.DesignApproach(), 10.0 / t.DesignRange(), &reached);
  }
  // Puts a rejector at its minimum return temperature with a given air-flow ratio, as the
  // operating method leaves it before CalcFanKW.
  static void AtMinimum(cClgTower& t, double airFactor) {
    t.DesignAIRFactor_ = 1.0;
    t.ActualAIRFactor_ = airFactor;
    t.MinRetWaterTemp_ = 65.0;
    t.RetWaterTemp_ = 65.0;
  }
};

namespace {

struct ErrorEvent {
  long number;
  std::string description, library, className, method;
};

// A tower whose OnError events are recorded.
struct RecordedTower {
  cClgTower tower;
  std::vector<ErrorEvent> events;
  RecordedTower() {
    tower.SetOnError(
        [this](long n, const std::string& d, const std::string& l, const std::string& c, const std::string& m) {
          events.push_back({n, d, l, c, m});
        });
  }
};

// Design point used throughout: 78 deg F wet bulb, 10 deg F range, 7 deg F approach.
void DesignTower(cClgTower& t, int16_t control = Fan_VFD) {
  t.EquipmentType(Cooling_Tower);
  t.BaromPressure(14.696);
  t.DesignWetBulb(78.0);
  t.DesignRange(10.0);
  t.DesignApproach(7.0);
  t.DesignFanKW(30.0);
  t.DesignFanElecEff(0.9);
  t.LowSpdAirflow(0.5);
  t.CapacityCtrl(control);
  t.CalcDesignFactors();
}

void Operate(cClgTower& t, double wb, double range, double wfr, double minRet) {
  t.ActualWetBulb(wb);
  t.ActualRange(range);
  t.WaterFlowRatio(wfr);
  t.MinRetWaterTemp(minRet);
  t.CalcReturnWaterTemp();
}

double SatEnthalpy(double t) {
  const float ps = static_cast<float>(PSYCHEN32::SatVaporPresFromDB(static_cast<float>(t)));
  return PSYCHEN32::EnthalpyFromDBSH(static_cast<float>(t), PSYCHEN32::SpecHumFromVP(14.696f, ps));
}

// The Merkel integral of dT / (hsat(T) - ha(T)) from the cold to the hot water temperature,
// with the air enthalpy rising linearly from hsat(wb) by range * L/G; composite Simpson rule.
double MerkelBySimpson(double lg, double wb, double range, double approach) {
  const double hIn = SatEnthalpy(wb);
  const double cold = wb + approach;
  const int n = 2000;
  const double step = range / n;
  double sum = 0.0;
  for (int i = 0; i <= n; ++i) {
    const double t = cold + i * step;
    const double ha = hIn + lg * (t - cold);
    const double weight = (i == 0 || i == n) ? 1.0 : (i % 2 ? 4.0 : 2.0);
    sum += weight / (SatEnthalpy(t) - ha);
  }
  return sum * step / 3.0;
}

}  // namespace

// ---- the object -----------------------------------------------------------------------

TEST(TowerObject, NewObjectIsAllZero) {
  const cClgTower t;
  for (double v :
       {t.ActualAIRFactor(),     t.ActualApproach(),   t.ActualDryBulb(), t.ActualEntWaterTemp(), t.ActualFanKW(),
        t.ActualH2OFactor(),     t.ActualRange(),      t.ActualWetBulb(), t.BaromPressure(),      t.DesignAIRFactor(),
        t.DesignAirFlow(),       t.DesignApproach(),   t.DesignCair(),    t.DesignCwater(),       t.DesignDryBulb(),
        t.DesignEffectiveness(), t.DesignFanElecEff(), t.DesignFanKW(),   t.DesignH2OFactor(),    t.DesignRange(),
        t.DesignWaterFlow(),     t.DesignWetBulb(),    t.LowSpdAirflow(), t.MinRetWaterTemp(),    t.RetWaterTemp(),
        t.WaterFlowRatio()}) {
    EXPECT_EQ(v, 0.0);
  }
  EXPECT_EQ(t.CapacityCtrl(), Fan_Cycling);
  EXPECT_EQ(t.EquipmentType(), 0);
}

TEST(TowerObject, BaromPressureIsHeldAsFloat) {
  cClgTower t;
  t.BaromPressure(14.696);
  EXPECT_EQ(t.BaromPressure(), 14.696000099182129);
}

TEST(TowerObject, SettingPropertiesComputesNothing) {
  cClgTower t;
  DesignTower(t);
  const double air = t.DesignAIRFactor();
  t.DesignApproach(12.0);
  t.DesignRange(4.0);
  t.ActualWetBulb(50.0);
  t.WaterFlowRatio(0.5);
  EXPECT_EQ(t.DesignAIRFactor(), air);
  EXPECT_EQ(t.DesignH2OFactor(), 1.0);
  EXPECT_EQ(t.RetWaterTemp(), 0.0);
  EXPECT_EQ(t.ActualApproach(), 0.0);
}

TEST(TowerObject, CalculationsWithoutListenerReturnNormally) {
  cClgTower t;
  EXPECT_NO_THROW(t.CalcDesignFactors());
  EXPECT_NO_THROW(t.CalcReturnWaterTemp());
  EXPECT_NO_THROW(t.CalcFanKW());
  EXPECT_NO_THROW(t.CalcDesignFactors_DryCooler());
  EXPECT_NO_THROW(t.CalcReturnWaterTemp_DryCooler());
}

// Each failure raises exactly one OnError with the failing method and returns normally,
// leaving the members it had not yet written.
TEST(TowerObject, FailuresRaiseOneEventAndReturn) {
  struct Case {
    const char* name;
    void (*arrange)(cClgTower&);
    void (*act)(cClgTower&);
    long number;
    const char* method;
  };
  const Case cases[] = {
      {"zero design range",
       [](cClgTower& t) {
         DesignTower(t);
         t.DesignRange(0.0);
       },
       [](cClgTower& t) { t.CalcDesignFactors(); }, cClgTower::kErrDivisionByZero, "CalcDesignFactors"},
      {"no barometric pressure",
       [](cClgTower& t) {
         DesignTower(t);
         t.BaromPressure(0.0);
       },
       [](cClgTower& t) { t.CalcDesignFactors(); }, cClgTower::kErrBaromPressure, "CalcDesignFactors"},
      {"design range too small for the air factor limits",
       [](cClgTower& t) {
         DesignTower(t);
         t.DesignRange(1.0);
         t.DesignApproach(0.5);
       },
       [](cClgTower& t) { t.CalcDesignFactors(); }, cClgTower::kErrDesignNotMet, "CalcDesignFactors"},
      {"idle tower", [](cClgTower& t) { DesignTower(t); }, [](cClgTower& t) { Operate(t, 70.0, 10.0, 0.0, 60.0); },
       cClgTower::kErrDivisionByZero, "CalcReturnWaterTemp"},
      {"fan power before any design",
       [](cClgTower& t) {
         t.EquipmentType(Dry_Cooler);
         t.MinRetWaterTemp(65.0);
       },
       [](cClgTower& t) { t.CalcFanKW(); }, cClgTower::kErrDivisionByZero, "CalcFanKW"},
      {"saturation enthalpy fails in the Merkel integral", [](cClgTower& t) { DesignTower(t); },
       [](cClgTower& t) { Operate(t, -470.0, 10.0, 1.0, -1000.0); }, cClgTower::kErrOverflow, "CalcMerkelBasis"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordedTower r;
    c.arrange(r.tower);
    r.events.clear();
    const double retBefore = r.tower.RetWaterTemp();
    c.act(r.tower);
    ASSERT_EQ(r.events.size(), 1u);
    EXPECT_EQ(r.events[0].number, c.number);
    EXPECT_FALSE(r.events[0].description.empty());
    EXPECT_EQ(r.events[0].library, "PYLORN");
    EXPECT_EQ(r.events[0].className, "cClgTower");
    EXPECT_EQ(r.events[0].method, c.method);
    EXPECT_EQ(r.tower.RetWaterTemp(), retBefore);
  }
}

TEST(TowerObject, ThrowingListenerDoesNotFailTheCall) {
  cClgTower t;
  int calls = 0;
  t.SetOnError([&](long, const std::string&, const std::string&, const std::string&, const std::string&) {
    ++calls;
    throw std::runtime_error("listener failed");
  });
  EXPECT_NO_THROW(t.CalcDesignFactors());
  EXPECT_EQ(calls, 1);
}

TEST(TowerObject, DesignNotMetStillWritesTheSolvedFactors) {
  RecordedTower r;
  DesignTower(r.tower);
  r.tower.DesignRange(1.0);
  r.tower.DesignApproach(0.5);
  r.events.clear();
  r.tower.CalcDesignFactors();
  ASSERT_EQ(r.events.size(), 1u);
  EXPECT_EQ(r.tower.DesignH2OFactor(), 10.0);
  EXPECT_NEAR(r.tower.DesignAIRFactor(), 10.0, 1e-3);  // the upper limit of the search
}

// ---- Merkel model ---------------------------------------------------------------------

TEST(TowerMerkel, HandCheckAndInvalidApproach) {
  cClgTower t;
  t.BaromPressure(14.696);
  EXPECT_NEAR(cClgTowerProbe::Merkel(t, 1.0, 78.0, 10.0, 7.0), 1.004, 0.002);
  EXPECT_EQ(cClgTowerProbe::Merkel(t, 1.0, 78.0, 10.0, -3.0), cClgTower::kInvalidMerkel);
  // Air leaving warmer than the water: the driving force turns negative near the hot end.
  EXPECT_EQ(cClgTowerProbe::Merkel(t, 3.0, 78.0, 10.0, 2.0), cClgTower::kInvalidMerkel);
}

TEST(TowerMerkel, ChebyshevRuleAgreesWithNumericalIntegration) {
  cClgTower t;
  t.BaromPressure(14.696);
  struct Case {
    double lg, wb, range, approach;
  };
  for (const Case c : {Case{1.0, 78.0, 10.0, 7.0}, Case{1.3, 65.0, 12.0, 10.0}, Case{0.8, 50.0, 8.0, 15.0}}) {
    const double merkel = cClgTowerProbe::Merkel(t, c.lg, c.wb, c.range, c.approach) / 0.9354603;
    const double simpson = MerkelBySimpson(c.lg, c.wb, c.range, c.approach);
    EXPECT_NEAR(merkel, simpson, 0.001 * simpson) << c.lg << " " << c.wb << " " << c.range << " " << c.approach;
  }
}

// Every run sets its towers up again and a design already solved in the process is not
// searched again: whatever the order, each design must get its own search's air factor,
// including designs that differ only in pressure and more designs than are kept.
TEST(TowerMerkel, DesignSolvesAreThoseOfTheirOwnSearch) {
  struct Design {
    double pressure, wb, range, approach;
  };
  std::vector<Design> designs = {{14.696, 78, 10, 7}, {12.0, 78, 10, 7}, {14.696, 76, 10, 7},
                                 {14.696, 78, 12, 7}, {14.696, 78, 10, 9}};
  for (int i = 0; i < 16; ++i) designs.push_back({14.696, 60.0 + i, 10, 7});
  designs.push_back(designs[0]);
  designs.push_back(designs[1]);
  for (const Design& d : designs) {
    RecordedTower r;
    DesignTower(r.tower);
    r.tower.BaromPressure(d.pressure);
    r.tower.DesignWetBulb(d.wb);
    r.tower.DesignRange(d.range);
    r.tower.DesignApproach(d.approach);
    r.tower.CalcDesignFactors();
    double reached = 0;
    const double searched = cClgTowerProbe::DesignSearch(r.tower, reached);
    EXPECT_EQ(r.tower.DesignAIRFactor(), searched) << d.pressure << " " << d.wb << " " << d.range << " " << d.approach;
    EXPECT_TRUE(r.events.empty());
  }
}

TEST(TowerMerkel, DesignThenOperateReturnsDesignApproach) {
  for (double approach : {5.0, 7.0, 12.0}) {
    RecordedTower r;
    r.tower.DesignApproach(approach);
    DesignTower(r.tower);
    r.tower.DesignApproach(approach);
    r.tower.CalcDesignFactors();
    Operate(r.tower, 78.0, 10.0, 1.0, 40.0);
    EXPECT_TRUE(r.events.empty());
    EXPECT_NEAR(r.tower.ActualApproach(), approach, 0.01);
    EXPECT_NEAR(r.tower.RetWaterTemp(), 78.0 + approach, 0.01);
    EXPECT_EQ(r.tower.ActualH2OFactor(), r.tower.DesignH2OFactor());
    EXPECT_EQ(r.tower.ActualAIRFactor(), r.tower.DesignAIRFactor());
    // The characteristic is met at the approach found.
    const double lg = r.tower.DesignH2OFactor() / r.tower.DesignAIRFactor();
    EXPECT_NEAR(cClgTowerProbe::Merkel(r.tower, lg, 78.0, 10.0, r.tower.ActualApproach()),
                r.tower.DesignAIRFactor() / r.tower.DesignH2OFactor(), 1e-5);
  }
}

TEST(TowerMerkel, ApproachFollowsFlowAirAndWetBulb) {
  cClgTower t;
  DesignTower(t);
  double previous = 0.0;
  for (double wfr : {0.4, 0.7, 1.0, 1.3}) {
    Operate(t, 78.0, 10.0, wfr, 40.0);
    EXPECT_GT(t.ActualApproach(), previous) << "water flow ratio " << wfr;
    previous = t.ActualApproach();
  }
  previous = 1e9;
  for (double air : {0.5, 1.0, 2.0, 4.0}) {
    const double a = cClgTowerProbe::Approach(t, air, 1.0, 78.0, 10.0);
    EXPECT_LT(a, previous) << "air factor " << air;
    previous = a;
  }
  Operate(t, 60.0, 10.0, 1.0, 40.0);
  const double at60 = t.ActualApproach();
  Operate(t, 78.0, 10.0, 1.0, 40.0);
  EXPECT_GT(at60, t.ActualApproach());
}

TEST(TowerMerkel, MinimumReturnClamp) {
  cClgTower t;
  DesignTower(t);
  Operate(t, 50.0, 5.0, 0.8, 65.0);
  EXPECT_EQ(t.RetWaterTemp(), 65.0);
  EXPECT_EQ(t.ActualApproach(), 15.0);
  // Above the minimum the tower's own approach stands.
  Operate(t, 70.0, 10.0, 1.0, 65.0);
  EXPECT_GT(t.RetWaterTemp(), 65.0);
  EXPECT_NEAR(t.RetWaterTemp(), 70.0 + t.ActualApproach(), 1e-12);
}

// A tower reuses its last solve for unchanged inputs: one that has served other points (and
// another pressure) must give exactly what a fresh tower gives.
TEST(TowerMerkel, ResultsDoNotDependOnEarlierPoints) {
  struct Point {
    double pressure, wb, range, wfr;
  };
  const Point points[] = {{14.696, 50.0, 6.0, 0.8}, {12.2, 50.0, 6.0, 0.8},   {12.2, 50.0, 6.0, 0.8},
                          {14.696, 72.0, 9.0, 1.0}, {14.696, 72.0, 9.0, 0.9}, {14.696, 50.0, 6.1, 0.8},
                          {14.696, 50.0, 6.0, 0.8}};
  cClgTower used;
  DesignTower(used, Fan_VFD);
  for (const Point& p : points) {
    SCOPED_TRACE(testing::Message() << p.pressure << " psia, wet bulb " << p.wb << ", range " << p.range);
    cClgTower fresh;
    DesignTower(fresh, Fan_VFD);
    for (cClgTower* t : {&used, &fresh}) {
      t->BaromPressure(p.pressure);
      Operate(*t, p.wb, p.range, p.wfr, 65.0);
      t->CalcFanKW();
    }
    EXPECT_EQ(used.ActualApproach(), fresh.ActualApproach());
    EXPECT_EQ(used.RetWaterTemp(), fresh.RetWaterTemp());
    EXPECT_EQ(used.ActualAIRFactor(), fresh.ActualAIRFactor());
    EXPECT_EQ(used.ActualFanKW(), fresh.ActualFanKW());
  }
}

// ---- fan power ------------------------------------------------------------------------

// Fan power with the air-flow ratio given (design 30 kW, efficiency 0.9, low speed 0.5), at
// full, low and minimum air flow, for every capacity control. Reference values from the fan
// law with the motor and drive part-load terms worked by hand.
TEST(TowerFanPower, TablePerCapacityControl) {
  struct Case {
    int16_t control;
    double r, kw;
  };
  const Case cases[] = {
      {Fan_Cycling, 1.0, 30.0},      {Fan_Cycling, 0.5, 15.0},      {Fan_Cycling, 0.1, 3.0},
      {Water_Bypass, 1.0, 30.0},     {Water_Bypass, 0.5, 30.0},     {Water_Bypass, 0.1, 30.0},
      {Fan_VFD, 1.0, 30.0},          {Fan_VFD, 0.5, 6.0936711},     {Fan_VFD, 0.25, 4.532190},
      {Fan_VFD, 0.1, 1.812876},      {Fan_2_Speed, 1.0, 30.0},      {Fan_2_Speed, 0.75, 17.7693792},
      {Fan_2_Speed, 0.5, 5.5387585}, {Fan_2_Speed, 0.1, 1.1077517},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "control " << c.control << " r " << c.r);
    cClgTower t;
    t.EquipmentType(Dry_Cooler);  // the air factor is taken as given
    t.DesignFanKW(30.0);
    t.DesignFanElecEff(0.9);
    t.LowSpdAirflow(0.5);
    t.CapacityCtrl(c.control);
    cClgTowerProbe::AtMinimum(t, c.r);
    t.CalcFanKW();
    EXPECT_NEAR(t.ActualFanKW(), c.kw, 2e-5 * c.kw);
    EXPECT_EQ(t.ActualAIRFactor(), c.control == Water_Bypass ? 1.0 : c.r);
  }
}

TEST(TowerFanPower, AboveMinimumRunsAtDesignPower) {
  for (int16_t control : {Fan_Cycling, Water_Bypass, Fan_2_Speed, Fan_VFD}) {
    cClgTower t;
    DesignTower(t, control);
    Operate(t, 50.0, 10.0, 1.0, 40.0);
    const double air = t.ActualAIRFactor();
    t.CalcFanKW();
    EXPECT_EQ(t.ActualFanKW(), 30.0);
    EXPECT_EQ(t.ActualAIRFactor(), air);
  }
}

TEST(TowerFanPower, VariableSpeedCurveIsContinuousAtQuarterFlow) {
  for (double eff : {0.5, 0.9, 1.0}) {
    auto kwAt = [eff](double r) {
      cClgTower t;
      t.EquipmentType(Dry_Cooler);
      t.DesignFanKW(30.0);
      t.DesignFanElecEff(eff);
      t.CapacityCtrl(Fan_VFD);
      cClgTowerProbe::AtMinimum(t, r);
      t.CalcFanKW();
      return t.ActualFanKW();
    };
    EXPECT_NEAR(kwAt(0.25), 30.0 * 0.151073, 5e-5);
    EXPECT_NEAR(kwAt(0.25 - 1e-9), kwAt(0.25), 5e-5);
    EXPECT_NEAR(kwAt(1.0), 30.0, 1e-4);
  }
}

// A tower held at the minimum re-solves its air factor: the reduced air just reaches the
// clamped approach, and the fan power follows the control's curve at that ratio.
TEST(TowerFanPower, TowerAtMinimumSolvesReducedAirFlow) {
  for (int16_t control : {Fan_Cycling, Fan_VFD}) {
    RecordedTower r;
    DesignTower(r.tower, control);
    Operate(r.tower, 50.0, 6.0, 0.8, 65.0);
    r.tower.CalcFanKW();
    EXPECT_TRUE(r.events.empty());
    const double ratio = r.tower.ActualAIRFactor() / r.tower.DesignAIRFactor();
    EXPECT_GT(ratio, 0.05);
    EXPECT_LT(ratio, 1.0);
    EXPECT_NEAR(cClgTowerProbe::Approach(r.tower, r.tower.ActualAIRFactor(), r.tower.ActualH2OFactor(), 50.0, 6.0),
                15.0, 0.001);
    EXPECT_LT(r.tower.ActualFanKW(), 30.0);
    if (control == Fan_Cycling) {
      EXPECT_NEAR(r.tower.ActualFanKW(), ratio * 30.0, 1e-9);
    }
  }
}

// ---- dry cooler -----------------------------------------------------------------------

namespace {

void DesignDryCooler(cClgTower& t, double cfm, int16_t control = Fan_Cycling) {
  t.EquipmentType(Dry_Cooler);
  t.BaromPressure(14.696);
  t.DesignDryBulb(95.0);
  t.DesignRange(10.0);
  t.DesignApproach(15.0);
  t.DesignWaterFlow(100.0);
  t.DesignAirFlow(cfm);
  t.DesignFanKW(10.0);
  t.DesignFanElecEff(1.0);
  t.LowSpdAirflow(1.0);
  t.CapacityCtrl(control);
  t.CalcDesignFactors_DryCooler();
}

void OperateDryCooler(cClgTower& t, double entering, double dryBulb, double minRet) {
  t.ActualEntWaterTemp(entering);
  t.ActualDryBulb(dryBulb);
  t.MinRetWaterTemp(minRet);
  t.CalcReturnWaterTemp_DryCooler();
  t.CalcFanKW();
}

}  // namespace

TEST(DryCooler, DesignCapacityRatesAndEffectiveness) {
  RecordedTower r;
  r.tower.BaromPressure(14.696);
  r.tower.DesignWaterFlow(100.0);
  r.tower.DesignAirFlow(1000.0);
  r.tower.DesignRange(10.0);
  r.tower.DesignApproach(15.0);
  r.tower.CalcDesignFactors_DryCooler();
  EXPECT_NEAR(r.tower.DesignCair(), 1.08, 1e-8);
  EXPECT_NEAR(r.tower.DesignCwater(), 50.0448, 1e-9);
  // Air is the minimum stream: 10 * 50.0448 / (25 * 1.08) > 1, which no exchanger reaches.
  EXPECT_NEAR(r.tower.DesignEffectiveness(), 10.0 * 50.0448 / (25.0 * 1.08), 1e-6);
  EXPECT_EQ(r.tower.DesignAIRFactor(), 1.0);
  ASSERT_EQ(r.events.size(), 1u);
  EXPECT_EQ(r.events[0].number, cClgTower::kErrDesignNotMet);
  EXPECT_EQ(r.events[0].method, "CalcDesignFactors_DryCooler");

  struct Case {
    double cfm, cair, effectiveness;
  };
  for (const Case c : {Case{60000.0, 64.8, 0.4}, Case{40000.0, 43.2, 10.0 * 50.0448 / (25.0 * 43.2)}}) {
    RecordedTower ok;
    DesignDryCooler(ok.tower, c.cfm);
    EXPECT_TRUE(ok.events.empty());
    EXPECT_NEAR(ok.tower.DesignCair(), c.cair, 1e-6);
    EXPECT_NEAR(ok.tower.DesignEffectiveness(), c.effectiveness, 1e-6);
  }
  double a = 2.5, b = 2.5;
  EXPECT_EQ(r.tower.CalcCmin(a, b), 2.5);
}

TEST(DryCooler, DesignPointReproducesDesignLeavingTemperature) {
  for (double cfm : {40000.0, 60000.0}) {
    cClgTower t;
    DesignDryCooler(t, cfm);
    OperateDryCooler(t, 120.0, 95.0, 60.0);
    EXPECT_NEAR(t.RetWaterTemp(), 110.0, 1e-9);
    EXPECT_EQ(t.ActualAIRFactor(), 1.0);
    EXPECT_EQ(t.ActualFanKW(), 10.0);
  }
  // No temperature difference, no heat rejected.
  cClgTower t;
  DesignDryCooler(t, 60000.0);
  OperateDryCooler(t, 80.0, 80.0, 60.0);
  EXPECT_EQ(t.RetWaterTemp(), 80.0);
}

TEST(DryCooler, FanCyclingFractionAndBypass) {
  // Effectiveness 0.4: at 80 deg F entering and 40 deg F air the full-flow leaving
  // temperature is 64; holding 70 needs (80 - 70) / (80 - 64) of full heat rejection.
  cClgTower cycling;
  DesignDryCooler(cycling, 60000.0, Fan_Cycling);
  OperateDryCooler(cycling, 80.0, 40.0, 70.0);
  EXPECT_EQ(cycling.RetWaterTemp(), 70.0);
  EXPECT_NEAR(cycling.ActualAIRFactor(), 10.0 / 16.0, 1e-12);
  EXPECT_NEAR(cycling.ActualFanKW(), 10.0 * 10.0 / 16.0, 1e-9);

  // Full-flow drop of 0.001 deg F or less: no fan.
  OperateDryCooler(cycling, 40.002, 40.0, 70.0);
  EXPECT_EQ(cycling.ActualAIRFactor(), 0.0);
  EXPECT_EQ(cycling.RetWaterTemp(), 70.0);
  EXPECT_EQ(cycling.ActualFanKW(), 0.0);

  cClgTower bypass;
  DesignDryCooler(bypass, 60000.0, Water_Bypass);
  OperateDryCooler(bypass, 80.0, 40.0, 70.0);
  EXPECT_EQ(bypass.RetWaterTemp(), 70.0);
  EXPECT_EQ(bypass.ActualAIRFactor(), 1.0);
  EXPECT_EQ(bypass.ActualFanKW(), 10.0);
}

// Two-speed and variable-speed fans below the minimum hold the minimum with the fraction of
// heat rejection the fan-cycling rule gives, and keep nothing from the previous point.
TEST(DryCooler, FanSpeedControlsBelowMinimumHoldTheMinimum) {
  for (int16_t control : {Fan_2_Speed, Fan_VFD}) {
    cClgTower t;
    DesignDryCooler(t, 60000.0, control);
    OperateDryCooler(t, 100.0, 90.0, 60.0);  // above the minimum first
    EXPECT_NEAR(t.RetWaterTemp(), 96.0, 1e-9);
    OperateDryCooler(t, 80.0, 40.0, 70.0);
    EXPECT_EQ(t.RetWaterTemp(), 70.0);
    EXPECT_NEAR(t.ActualAIRFactor(), 10.0 / 16.0, 1e-12);
    EXPECT_LT(t.ActualFanKW(), 10.0);
    EXPECT_GT(t.ActualFanKW(), 0.0);
  }
}

TEST(DryCooler, ZeroWaterCapacityRaisesOnError) {
  RecordedTower r;
  r.tower.CalcReturnWaterTemp_DryCooler();
  ASSERT_EQ(r.events.size(), 1u);
  EXPECT_EQ(r.events[0].method, "CalcReturnWaterTemp_DryCooler");
  EXPECT_EQ(r.events[0].number, cClgTower::kErrDivisionByZero);
}

// ---- collection -----------------------------------------------------------------------

TEST(TowerCollection, BuildReplacesAllItems) {
  cClgTowers c;
  EXPECT_EQ(c.Count(), 0);
  c.BuildCollection(3);
  ASSERT_EQ(c.Count(), 3);
  const auto first = c.Item(1);
  EXPECT_NE(c.Item(1), c.Item(2));
  EXPECT_NE(c.Item(2), c.Item(3));
  EXPECT_EQ(c.Item(3)->DesignRange(), 0.0);

  c.BuildCollection(2);
  ASSERT_EQ(c.Count(), 2);
  EXPECT_NE(c.Item(1), first);
  EXPECT_NE(c.Item(2), first);
  DesignTower(*first);  // a holder keeps a usable tower
  EXPECT_GT(first->DesignAIRFactor(), 0.0);

  for (long n : {0L, -4L}) {
    c.BuildCollection(n);
    EXPECT_EQ(c.Count(), 0);
  }
}

TEST(TowerCollection, ItemOutOfRangeFailsWithoutEvent) {
  cClgTowers c;
  int events = 0;
  c.SetOnError([&](long, const std::string&, const std::string&, const std::string&, const std::string&) { ++events; });
  c.BuildCollection(2);
  EXPECT_THROW(c.Item(0), std::out_of_range);
  EXPECT_THROW(c.Item(3), std::out_of_range);
  EXPECT_NO_THROW(c.Item(2));
  EXPECT_EQ(events, 0);
}

TEST(TowerCollection, EnumerationFollowsPositions) {
  cClgTowers c;
  c.BuildCollection(4);
  long position = 0;
  for (const auto& tower : c) {
    ++position;
    EXPECT_EQ(tower, c.Item(position));
  }
  EXPECT_EQ(position, 4);
  EXPECT_EQ(&c.ClgTowers(), &c.ClgTowers());
  c.ClgTowers().pop_back();  // the inner collection is live
  EXPECT_EQ(c.Count(), 3);
}

// The towers of a collection share their recent approach solves: each tower must still get
// the return temperature of a tower of its own design at its own conditions, whichever
// tower solved last and whatever of design, wet bulb, range or flow differs between them.
TEST(TowerCollection, SharedSolvesGiveEachTowerItsOwnResult) {
  cClgTowers c;
  c.BuildCollection(3);
  const double approaches[3] = {7.0, 7.0, 9.0};  // towers 1 and 2 alike, tower 3 another design
  std::vector<std::unique_ptr<cClgTower>> alone;
  for (long i = 1; i <= 3; ++i) {
    DesignTower(*c.Item(i));
    c.Item(i)->DesignApproach(approaches[i - 1]);
    c.Item(i)->CalcDesignFactors();
    alone.push_back(std::make_unique<cClgTower>());
    DesignTower(*alone.back());
    alone.back()->DesignApproach(approaches[i - 1]);
    alone.back()->CalcDesignFactors();
  }
  struct Condition {
    double wb, range, wfr;
  };
  const Condition conditions[] = {{70, 8, 1.0}, {70, 8, 0.8}, {70, 6, 0.8}, {66, 6, 0.8}, {70, 8, 1.0}};
  for (const Condition& k : conditions) {
    for (long i : {1, 2, 3, 2, 1}) {
      cClgTower& shared = *c.Item(i);
      cClgTower& own = *alone[static_cast<std::size_t>(i - 1)];
      Operate(shared, k.wb, k.range, k.wfr, 40.0);
      Operate(own, k.wb, k.range, k.wfr, 40.0);
      EXPECT_EQ(shared.RetWaterTemp(), own.RetWaterTemp()) << "tower " << i << " at " << k.wb << " " << k.range;
      EXPECT_EQ(shared.ActualApproach(), own.ActualApproach()) << "tower " << i;
    }
  }
}
