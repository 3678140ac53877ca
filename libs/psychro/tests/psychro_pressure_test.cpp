// Every operation whose result depends on the barometric pressure refuses one that is not
// finite or not above the water vapour pressure it sets against it: no moist air exists there
// (at 1e-30 psia the minimum humidity came out as -0.622, at 0.01 psia the humidity of 0.3 psia
// vapour as -0.64 and the wet bulb of 95 F air as 134 F, and at +inf the operations disagreed:
// some gave 0, some a number, some overflowed).
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "libs/psychro/PSYCHEN32.h"
#include "libs/psychro/psychro_formulas.h"

namespace {

using P = PSYCHEN32;

struct Routine {
  const char* name;
  // Calls the routine at the pressure with the arguments of a plausible state (95 F, 0.0141 lb/lb).
  std::function<void(float)> call;
  // The highest water vapour pressure (psia) the routine sets against the pressure for these
  // arguments: a pressure up to it is refused, one just above it taken.
  float vapourPres;
};

float SatPres(float t) { return static_cast<float>(P::SatVaporPresFromDB(t)); }

float MinimumVaPres() {
  float pvMin = 0;
  P::MinimumVPSH(14.696f, pvMin);
  return pvMin;
}

// A complete-state operation with its two inputs; the arguments must come back unchanged when
// the pressure is refused.
using StateOperation = void (*)(float, float&, float&, float&, float&, float&, float&, float&, float&);
std::function<void(float)> State(StateOperation psy, float in1, float in2) {
  return [=](float p) {
    std::array<float, 8> v = {in1, in2, -7, -7, -7, -7, -7, -7};
    const std::array<float, 8> before = v;
    try {
      psy(p, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
    } catch (...) {
      EXPECT_EQ(v, before) << "arguments changed";
      throw;
    }
  };
}

// Vapour pressures: saturation at the dry bulb where a limiter needs saturated air at it, or
// at the wet bulb where the saturation humidity there is taken; the state's vapour pressure
// (for the wet bulb P W / (W + 0.62198), below any pressure above zero); pv,min where the
// pressure enters only through the floor W,min or pv,min.
std::vector<Routine> Routines() {
  const float pvMin = MinimumVaPres();
  return {
      {"Psy_ALL_DB_EN", State(&P::Psy_ALL_DB_EN, 95.0f, 40.0f), SatPres(95.0f)},
      {"Psy_ALL_DB_RH", State(&P::Psy_ALL_DB_RH, 95.0f, 40.0f), P::VaporPresFromRH(14.696f, 40.0f, SatPres(95.0f))},
      {"Psy_ALL_DB_SH", State(&P::Psy_ALL_DB_SH, 95.0f, 0.0141f), SatPres(95.0f)},
      {"Psy_ALL_DB_WB", State(&P::Psy_ALL_DB_WB, 95.0f, 75.0f), SatPres(75.0f)},
      {"Psy_ALL_SH_WB", State(&P::Psy_ALL_SH_WB, 0.0141f, 75.0f), SatPres(75.0f)},
      {"DryBulbFromSVVP", [](float p) { P::DryBulbFromSVVP(p, 14.2f, 0.3f); }, 0.3f},
      {"MinimumVPSH",
       [](float p) {
         float out = -7;
         try {
           P::MinimumVPSH(p, out);
         } catch (...) {
           EXPECT_EQ(out, -7.0f) << "argument changed";
           throw;
         }
       },
       pvMin},
      {"SatSpecHumFromRHSH", [](float p) { P::SatSpecHumFromRHSH(p, 40.0f, 0.0141f); }, pvMin},
      {"SpecHumFromDBEN", [](float p) { P::SpecHumFromDBEN(p, 95.0f, 40.0f); }, pvMin},
      {"SpecHumFromDBSV", [](float p) { P::SpecHumFromDBSV(p, 95.0f, 14.2f); }, pvMin},
      {"SpecHumFromDBWB", [](float p) { P::SpecHumFromDBWB(p, 95.0f, 0.0187f, 75.0f); }, pvMin},
      {"SpecHumFromRHSatSH", [](float p) { P::SpecHumFromRHSatSH(p, 40.0f, 0.0187f); }, pvMin},
      {"SpecHumFromVP", [](float p) { P::SpecHumFromVP(p, 0.3f); }, 0.3f},
      {"SpecVolFromDBVP", [](float p) { P::SpecVolFromDBVP(p, 95.0f, 0.3f); }, 0.3f},
      {"VaporPresFromDBSV", [](float p) { P::VaporPresFromDBSV(p, 95.0f, 14.2f); }, pvMin},
      {"VaporPresFromSH", [](float p) { P::VaporPresFromSH(p, 0.0141f); }, pvMin},
      {"WetBulbFromDBSH", [](float p) { P::WetBulbFromDBSH(p, 95.0f, 0.0141f); }, 0.0f},
  };
}

// The error number of the call; 0 when it returns.
long ErrorOf(const Routine& r, float pressure) {
  try {
    r.call(pressure);
  } catch (const PsychroError& e) {
    return e.Number();
  }
  return 0;
}

TEST(PsychroPressure, EveryRoutineUsingThePressureRefusesOneNotAboveItsVapourPressure) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  const float neverAir[] = {0.0f, -0.0f, -14.696f, -1.0e-30f, -kInf, kInf, std::numeric_limits<float>::quiet_NaN()};
  const std::vector<Routine> routines = Routines();
  ASSERT_EQ(routines.size(), 17u) << "every operation whose result depends on the pressure";
  for (const Routine& r : routines) {
    SCOPED_TRACE(r.name);
    // At sea level and at 10,000 ft the arguments make a call that succeeds.
    EXPECT_EQ(ErrorOf(r, 14.696f), 0);
    EXPECT_EQ(ErrorOf(r, P::BaromPres(10000.0f)), 0);
    for (float p : neverAir) {
      EXPECT_EQ(ErrorOf(r, p), PsychroError::kInvalidProcedureCall) << "at " << p << " psia";
    }
    // A positive pressure is refused up to the vapour pressure, the boundary included, and
    // taken from the next float above it.
    for (float p : {1.0e-30f, 0.01f, 0.3f, r.vapourPres, std::nextafter(r.vapourPres, kInf)}) {
      const long expected = p <= r.vapourPres ? PsychroError::kInvalidProcedureCall : 0;
      EXPECT_EQ(ErrorOf(r, p), expected) << "at " << p << " psia, vapour pressure " << r.vapourPres;
    }
  }
}

// A pressure that is not finite or not above zero is refused before any other argument is
// looked at, however the caller made the others: a negative vapour pressure let 0 psia through
// (a humidity of -0.622, a volume of 196 ft3/lb, a dry bulb of -423 F), and the wet bulb of air
// at -460 F divided by zero in the saturation formula before its pressure was looked at.
TEST(PsychroPressure, PressureNotAboveZeroIsRefusedWhateverTheOtherArguments) {
  struct Call {
    const char* name;
    std::function<void(float)> call;
  };
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  const Call calls[] = {
      {"SpecHumFromVP", [](float p) { P::SpecHumFromVP(p, -1.0f); }},
      {"SpecVolFromDBVP", [](float p) { P::SpecVolFromDBVP(p, 70.0f, -2.0f); }},
      {"DryBulbFromSVVP", [](float p) { P::DryBulbFromSVVP(p, 13.5f, -1.0f); }},
      {"DryBulbFromSVVP, NaN vapour pressure", [](float p) { P::DryBulbFromSVVP(p, 13.5f, kNaN); }},
      {"WetBulbFromDBSH at -460 F", [](float p) { P::WetBulbFromDBSH(p, -460.0f, 0.0f); }},
      {"WetBulbFromDBSH, NaN dry bulb", [](float p) { P::WetBulbFromDBSH(p, kNaN, 0.01f); }},
  };
  constexpr float kInf = std::numeric_limits<float>::infinity();
  for (const Call& c : calls) {
    SCOPED_TRACE(c.name);
    for (float p : {0.0f, -0.0f, -1.0f, -14.696f, -kInf, kInf, kNaN}) {
      long error = 0;
      try {
        c.call(p);
      } catch (const PsychroError& e) {
        error = e.Number();
      }
      EXPECT_EQ(error, PsychroError::kInvalidProcedureCall) << "at " << p << " psia";
    }
  }
}

// Air near the boiling point has a wet bulb although the wet-bulb iteration's first trial
// (some 4 F above the dry bulb) does not exist; so has air at it or above, whose vapour
// pressure is still far below the pressure. Psy_ALL_DB_EN keeps the caller's dry bulb; at sea
// level water boils at 212.4 F on this saturation curve.
TEST(PsychroPressure, CompleteStateNearTheBoilingPointHasAWetBulbBelowItsDryBulb) {
  struct Case {
    float t, h;
  };
  const float p = 14.696f;
  for (const Case c :
       {Case{209.0f, 100.0f}, Case{211.0f, 100.0f}, Case{211.0f, 60.0f}, Case{213.0f, 100.0f}, Case{250.0f, 80.0f}}) {
    SCOPED_TRACE(testing::Message() << c.t << " F, " << c.h << " Btu/lb");
    float t = c.t, h = c.h, dp = -7, rh = -7, w = -7, v = -7, pv = -7, tw = -7;
    long error = 0;
    try {
      P::Psy_ALL_DB_EN(p, t, h, dp, rh, w, v, pv, tw);
    } catch (const PsychroError& e) {
      error = e.Number();
    }
    ASSERT_EQ(error, 0);
    EXPECT_EQ(t, c.t);
    EXPECT_EQ(h, c.h);
    EXPECT_LT(tw, t);
    EXPECT_EQ(tw, P::WetBulbFromDBSH(p, t, w));
    // The wet bulb gives back the humidity, dry bulb and enthalpy of the state.
    const float wsStar = P::SpecHumFromVP(p, SatPres(tw));
    EXPECT_NEAR(P::SpecHumFromDBWB(p, t, wsStar, tw), w, 2e-5);
    EXPECT_NEAR(P::DryBulbFromSHWB(wsStar, w, tw), t, 0.05);
    EXPECT_NEAR(P::EnthalpyFromDBSH(t, w), h, 1e-4);
  }
}

// The wet bulb refuses air only where its own vapour pressure P W / (W + 0.62198) is not
// below the pressure: a hand-made humidity ratio at or below -0.62198 (such a "state" came
// back with a wet bulb of 1457 F).
TEST(PsychroPressure, WetBulbRefusesAirWhoseOwnVapourPressureIsNotBelowThePressure) {
  for (const float w : {-1.0f, -0.7f, -0.62198f, std::numeric_limits<float>::infinity()}) {
    SCOPED_TRACE(testing::Message() << "W " << w);
    long error = 0;
    try {
      P::WetBulbFromDBSH(14.696f, 70.0f, w);
    } catch (const PsychroError& e) {
      error = e.Number();
    }
    EXPECT_EQ(error, PsychroError::kInvalidProcedureCall);
  }
}

// The pressure of these two enters no formula (their floor pv,min does not depend on it).
TEST(PsychroPressure, RoutinesThatDoNotUseThePressureTakeAny) {
  const float rh = 40.0f, pv = 0.3f, ps = SatPres(95.0f);
  const float pvAtSeaLevel = P::VaporPresFromRH(14.696f, rh, ps);
  const float psAtSeaLevel = P::SatVaporPresFromRHVP(14.696f, rh, pv);
  for (float p : {0.0f, -14.696f, 1.0e-30f, 0.01f, 0.3f, std::numeric_limits<float>::infinity(),
                  std::numeric_limits<float>::quiet_NaN()}) {
    SCOPED_TRACE(testing::Message() << p << " psia");
    float got = -7;
    EXPECT_NO_THROW(got = P::VaporPresFromRH(p, rh, ps));
    EXPECT_EQ(got, pvAtSeaLevel);
    got = -7;
    EXPECT_NO_THROW(got = P::SatVaporPresFromRHVP(p, rh, pv));
    EXPECT_EQ(got, psAtSeaLevel);
  }
}

// The unchecked saturated-air enthalpy (the cooling tower's fast path) is not finite exactly
// where the checked calls it stands for refuse, and equal to them elsewhere.
TEST(PsychroPressure, UncheckedSaturatedAirEnthalpyFailsWhereTheCheckedCallsDo) {
  struct Case {
    float p, t;
    bool exists;
  };
  const Case cases[] = {
      {14.696f, 95.0f, true},
      {P::BaromPres(10000.0f), 150.0f, true},
      {0.01f, -40.0f, true},  // above the saturation pressure over ice at -40 F
      {0.3f, 95.0f, false},
      {SatPres(95.0f), 95.0f, false},
      {1.0e-30f, -40.0f, false},
      {std::numeric_limits<float>::infinity(), 60.0f, false},
      {std::numeric_limits<float>::quiet_NaN(), 60.0f, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.p << " psia, " << c.t << " F");
    const double unchecked = damplo::SatAirEnthalpy(c.p, c.t);
    EXPECT_EQ(std::isfinite(unchecked), c.exists);
    long error = 0;
    double checked = NAN;
    try {
      checked = static_cast<float>(P::EnthalpyFromDBSH(c.t, P::SpecHumFromVP(c.p, SatPres(c.t))));
    } catch (const PsychroError& e) {
      error = e.Number();
    }
    if (c.exists) {
      EXPECT_EQ(unchecked, checked);
    } else {
      EXPECT_EQ(error, PsychroError::kInvalidProcedureCall);
    }
  }
}

// The case that was seen: at 0 psia a complete state came back with a humidity ratio of
// -0.622 and no error.
TEST(PsychroPressure, CompleteStateAtZeroPressureIsAnErrorNotANegativeHumidity) {
  float t = 70.0f, w = 0.01f, dp = -7, h = -7, rh = -7, v = -7, pv = -7, tw = -7;
  EXPECT_THROW(P::Psy_ALL_DB_SH(0.0f, t, w, dp, h, rh, v, pv, tw), PsychroError);
  EXPECT_EQ(w, 0.01f);
  EXPECT_EQ(h, -7.0f);
}

}  // namespace
