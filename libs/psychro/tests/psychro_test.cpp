// Moist-air properties checked against the ASHRAE Handbook of Fundamentals (IP): the
// Hyland-Wexler saturation pressure, the humidity ratio, enthalpy, specific volume,
// psychrometric (wet-bulb) and dew-point equations, computed here independently.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "libs/psychro/PSYCHEN32.h"
#include "libs/psychro/psychro_formulas.h"

namespace {

constexpr float kSeaLevel = 14.696f;

// Saturation pressure of water vapour (psia) by the Hyland-Wexler equations, t in deg F.
double HandbookSatPres(double t) {
  const double T = t + 459.67;
  if (t < 32.0) {
    return std::exp(-1.0214165e4 / T - 4.8932428 - 5.3765794e-3 * T + 1.9202377e-7 * T * T + 3.5575832e-10 * T * T * T -
                    9.0344688e-14 * T * T * T * T + 4.1635019 * std::log(T));
  }
  return std::exp(-1.0440397e4 / T - 1.1294650e1 - 2.7022355e-2 * T + 1.2890360e-5 * T * T - 2.4780681e-9 * T * T * T +
                  6.5459673 * std::log(T));
}

double HandbookHumRatio(double pw, double p) { return 0.621945 * pw / (p - pw); }

// Wet bulb solving the Handbook psychrometric equation by bisection.
double HandbookWetBulb(double t, double w, double p) {
  double lo = -60.0, hi = t;
  for (int i = 0; i < 200; ++i) {
    const double tw = (lo + hi) / 2.0;
    const double wsStar = HandbookHumRatio(HandbookSatPres(tw), p);
    const double wCalc = ((1093.0 - 0.556 * tw) * wsStar - 0.240 * (t - tw)) / (1093.0 + 0.444 * t - tw);
    (wCalc > w ? hi : lo) = tw;
  }
  return (lo + hi) / 2.0;
}

// The library's own saturation curve in double (psia, t in deg F).
double OwnSatPres(double t) { return damplo::OverWater(t) ? damplo::SatPresOverWater(t) : damplo::SatPresOverIce(t); }

// The boiling point at pressure p on that curve: the lowest temperature whose saturation
// pressure reaches p (on the rising part of the fitted curve, below 396.6 F).
double OwnBoilingPoint(double p) {
  double lo = 32.0, hi = 396.6;
  for (int i = 0; i < 200; ++i) {
    const double t = (lo + hi) / 2.0;
    (OwnSatPres(t) >= p ? hi : lo) = t;
  }
  return hi;
}

// The exact root of the wet-bulb equation WetBulbFromDBSH solves: the saturation humidity the
// psychrometric equation asks for at wet bulb tw, (1093 W + (0.24 + 0.444 W) t - (W + 0.24) tw)
// / (1093 - 0.556 tw), equals the saturation humidity at tw. Bisection in double between
// absolute zero and the boiling point, where the saturation humidity grows without bound.
double ExactWetBulb(double p, double t, double w) {
  double lo = -459.67, hi = OwnBoilingPoint(p);
  for (int i = 0; i < 200; ++i) {
    const double tw = (lo + hi) / 2.0;
    const double ps = OwnSatPres(tw);
    const double asked = (1093.0 * w + (0.24 + 0.444 * w) * t - (w + 0.24) * tw) / (1093.0 - 0.556 * tw);
    (ps >= p || asked <= 0.62198 * ps / (p - ps) ? hi : lo) = tw;
  }
  return (lo + hi) / 2.0;
}

double RelErr(double value, double reference) { return std::fabs(value / reference - 1.0); }

}  // namespace

TEST(PsychroFormulas, SpecialValues) {
  EXPECT_NEAR(PSYCHEN32::BaromPres(0.0f), 14.696, 1e-6);
  EXPECT_NEAR(PSYCHEN32::BaromPres(5000.0f), 12.2278, 5e-4);
  EXPECT_NEAR(PSYCHEN32::SatVaporPresFromDB(32.0f), 0.0885864, 1e-7);    // over water
  EXPECT_NEAR(PSYCHEN32::SatVaporPresFromDB(31.999f), 0.0885789, 1e-7);  // over ice
  EXPECT_NEAR(PSYCHEN32::SatVaporPresFromDB(212.0f), 14.576, 1e-3);

  float pvMin = 0.0f;
  const float wMin = PSYCHEN32::MinimumVPSH(kSeaLevel, pvMin);
  EXPECT_NEAR(pvMin, 0.000358, 1e-6);
  EXPECT_FLOAT_EQ(pvMin, static_cast<float>(PSYCHEN32::SatVaporPresFromDB(-65.0f)));
  EXPECT_NEAR(wMin, 0.0000152, 1e-7);
}

TEST(PsychroFormulas, SaturationCurveFitAgainstHandbook) {
  for (double t = 32.0; t <= 150.0; t += 2.0) {
    const double ps = PSYCHEN32::SatVaporPresFromDB(static_cast<float>(t));
    EXPECT_LT(RelErr(ps, HandbookSatPres(t)), 0.002) << "over water at " << t;
    const double ws = PSYCHEN32::SpecHumFromVP(kSeaLevel, static_cast<float>(ps));
    EXPECT_LT(RelErr(ws, HandbookHumRatio(HandbookSatPres(t), kSeaLevel)), 0.002) << "saturation humidity at " << t;
  }
  for (double t = -50.0; t < 32.0; t += 3.0) {
    EXPECT_LT(RelErr(PSYCHEN32::SatVaporPresFromDB(static_cast<float>(t)), HandbookSatPres(t)), 0.02)
        << "over ice at " << t;
  }
}

TEST(PsychroFormulas, TextbookFormsOfEnthalpyVolumeAndHumidity) {
  struct State {
    float t, w;
  };
  for (const State s : {State{40.0f, 0.003f}, State{75.0f, 0.01f}, State{95.0f, 0.0141f}, State{130.0f, 0.05f}}) {
    const double t = s.t, w = s.w;
    EXPECT_NEAR(PSYCHEN32::EnthalpyFromDBSH(s.t, s.w), 0.240 * t + w * (1061.0 + 0.444 * t), 1e-4);
    const float pv = PSYCHEN32::VaporPresFromSH(kSeaLevel, s.w);
    // Handbook: v = 0.370486 (t + 459.67)(1 + 1.607858 W) / p.
    EXPECT_LT(
        RelErr(PSYCHEN32::SpecVolFromDBVP(kSeaLevel, s.t, pv), 0.370486 * (t + 459.67) * (1 + 1.607858 * w) / 14.696),
        1e-4);
    EXPECT_LT(RelErr(PSYCHEN32::SpecHumFromVP(kSeaLevel, pv), w), 1e-5);
    // Inverse forms return the state they started from.
    const float h = static_cast<float>(PSYCHEN32::EnthalpyFromDBSH(s.t, s.w));
    EXPECT_NEAR(PSYCHEN32::DryBulbFromENSH(h, s.w), t, 1e-3);
    EXPECT_NEAR(PSYCHEN32::SpecHumFromDBEN(kSeaLevel, s.t, h), w, 1e-6);
    const float v = PSYCHEN32::SpecVolFromDBVP(kSeaLevel, s.t, pv);
    EXPECT_NEAR(PSYCHEN32::DryBulbFromSVVP(kSeaLevel, v, pv), t, 1e-2);
    EXPECT_NEAR(PSYCHEN32::SpecHumFromDBSV(kSeaLevel, s.t, v), w, 1e-5);
    EXPECT_NEAR(PSYCHEN32::VaporPresFromDBSV(kSeaLevel, s.t, v), pv, 1e-5);
    const float ps = static_cast<float>(PSYCHEN32::SatVaporPresFromDB(s.t));
    const float rh = static_cast<float>(PSYCHEN32::RelHumFromVP(pv, ps));
    EXPECT_NEAR(PSYCHEN32::VaporPresFromRH(kSeaLevel, rh, ps), pv, 1e-6);
    EXPECT_NEAR(PSYCHEN32::SatVaporPresFromRHVP(kSeaLevel, rh, pv), ps, 1e-5);
    // Relative humidity as a ratio of vapour pressures, and the degree of saturation.
    const float ws = PSYCHEN32::SpecHumFromVP(kSeaLevel, ps);
    EXPECT_NEAR(PSYCHEN32::SpecHumFromRHSatSH(kSeaLevel, rh, ws), w, 1e-6);
    EXPECT_NEAR(PSYCHEN32::SatSpecHumFromRHSH(kSeaLevel, rh, s.w), ws, 1e-6);
    EXPECT_NEAR(PSYCHEN32::RelHumFromSHSatSH(s.w, ws), 100.0 * w / ws, 1e-4);
  }
}

TEST(PsychroFormulas, FloorsAndRelativeHumidityCap) {
  float pvMin = 0.0f;
  const float wMin = PSYCHEN32::MinimumVPSH(kSeaLevel, pvMin);
  EXPECT_EQ(PSYCHEN32::SpecHumFromVP(kSeaLevel, 0.0f), 0.0f);  // no floor here
  EXPECT_EQ(PSYCHEN32::VaporPresFromSH(kSeaLevel, 0.0f), pvMin);
  EXPECT_EQ(PSYCHEN32::VaporPresFromRH(kSeaLevel, 0.0f, 0.5f), pvMin);
  EXPECT_EQ(PSYCHEN32::SpecHumFromDBEN(kSeaLevel, 80.0f, 0.0f), wMin);
  EXPECT_EQ(PSYCHEN32::RelHumFromVP(0.6f, 0.5f), 100.0);
  EXPECT_DOUBLE_EQ(PSYCHEN32::RelHumFromVP(0.25f, 0.5f), 50.0);
}

TEST(PsychroWetBulb, CheckPointsAndHandbookEquation) {
  EXPECT_NEAR(PSYCHEN32::WetBulbFromDBSH(kSeaLevel, 95.0f, 0.0141f), 75.05, 0.01);
  const float ws80 = PSYCHEN32::SpecHumFromVP(kSeaLevel, static_cast<float>(PSYCHEN32::SatVaporPresFromDB(80.0f)));
  EXPECT_NEAR(PSYCHEN32::WetBulbFromDBSH(kSeaLevel, 80.0f, ws80), 80.0, 0.01);

  struct State {
    float p, t, w;
  };
  for (const State s : {State{14.696f, 95.0f, 0.0141f}, State{14.696f, 60.0f, 0.005f}, State{14.696f, 110.0f, 0.002f},
                        State{12.228f, 85.0f, 0.012f}, State{14.696f, 35.0f, 0.001f}, State{10.108f, 95.0f, 0.0141f},
                        State{10.108f, 40.0f, 0.002f}, State{14.696f, 209.0f, 0.043f}, State{14.696f, 211.0f, 0.01f},
                        State{10.108f, 190.0f, 0.02f}}) {
    EXPECT_NEAR(PSYCHEN32::WetBulbFromDBSH(s.p, s.t, s.w), HandbookWetBulb(s.t, s.w, s.p), 0.1)
        << s.p << " psia, " << s.t << " F, W " << s.w;
  }
}

// Near and above the boiling point the secant's trials leave moist air: the wet bulb is still
// the root of its equation. Just below boiling the pulled-back trial's huge residual stopped
// the iteration at its second start trial (208.35 F where the root is 87.62 F); at and above
// it hot air was refused although its vapour pressure is far below the pressure.
// Psy_ALL_DB_EN keeps the caller's dry bulb and gives the same wet bulb.
TEST(PsychroWetBulb, NearAndAboveTheBoilingPointIsTheRootOfItsEquation) {
  struct State {
    float p, t, w;
  };
  for (const State s :
       {State{14.696f, 212.420731f, 0.0f}, State{14.696f, 212.420731f, 0.62198f}, State{5.0f, 161.538986f, 0.2603f},
        State{14.696f, 250.0f, 0.0f}, State{5.0f, 162.25f, 0.0f}, State{14.696f, 400.0f, 0.05f}}) {
    SCOPED_TRACE(testing::Message() << s.p << " psia, " << s.t << " F, W " << s.w);
    float tw = NAN;
    ASSERT_NO_THROW(tw = PSYCHEN32::WetBulbFromDBSH(s.p, s.t, s.w));
    EXPECT_NEAR(tw, ExactWetBulb(s.p, s.t, s.w), 0.05);

    float t = s.t, h = static_cast<float>(PSYCHEN32::EnthalpyFromDBSH(s.t, s.w));
    float dp = -7, rh = -7, w = -7, v = -7, pv = -7, twState = -7;
    ASSERT_NO_THROW(PSYCHEN32::Psy_ALL_DB_EN(s.p, t, h, dp, rh, w, v, pv, twState));
    EXPECT_EQ(t, s.t);
    EXPECT_NEAR(twState, ExactWetBulb(s.p, s.t, w), 0.05);
  }
}

// The last degree below the boiling point and half a degree above it, at pressures across the
// range, dry to saturated (or to much water above boiling): every state has a wet bulb, within
// 0.05 F of the root of its equation.
TEST(PsychroWetBulb, AroundTheBoilingPointEveryStateHasItsRoot) {
  int states = 0;
  for (const double p : {5.0, 8.0, 11.0, 14.696, 17.0, 20.0}) {
    const double boiling = OwnBoilingPoint(p);
    for (int i = 0; i <= 75; ++i) {
      const float t = static_cast<float>(boiling - 1.0 + i * 0.02);
      const double ps = OwnSatPres(t);
      const double wSat = ps < p ? 0.62198 * ps / (p - ps) : INFINITY;
      for (const float w : {0.0f, 0.001f, 0.01f, 0.1f, 0.62198f, 3.0f, 30.0f}) {
        if (w > wSat) continue;
        SCOPED_TRACE(testing::Message() << p << " psia, " << t << " F, W " << w);
        ++states;
        float tw = NAN;
        ASSERT_NO_THROW(tw = PSYCHEN32::WetBulbFromDBSH(static_cast<float>(p), t, w));
        EXPECT_NEAR(tw, ExactWetBulb(p, t, w), 0.05);
      }
    }
  }
  EXPECT_GT(states, 2000);
}

// Past the top of the fitted water curve (396.6 F) its pressure falls below the pressure
// again, so a trial there looked like moist air and the secant could settle on a residual of
// zero far above the boiling point (655.6 F for air at 656 F, 1014 F for supersaturated air at
// -36.8 F). Such a trial is pulled back like any above the boiling point.
TEST(PsychroWetBulb, NoRootPastTheTopOfTheWaterCurve) {
  struct State {
    float p, t, w;
  };
  for (const State s : {State{17.7f, 656.0f, 0.00018f}, State{5.7f, 680.0f, 0.0887f}, State{9.26f, -36.8f, 4.05f}}) {
    SCOPED_TRACE(testing::Message() << s.p << " psia, " << s.t << " F, W " << s.w);
    float tw = NAN;
    ASSERT_NO_THROW(tw = PSYCHEN32::WetBulbFromDBSH(s.p, s.t, s.w));
    EXPECT_NEAR(tw, ExactWetBulb(s.p, s.t, s.w), 0.05);
  }
}

TEST(PsychroWetBulb, SpecHumAndDryBulbInvertTheWetBulb) {
  const float tw = PSYCHEN32::WetBulbFromDBSH(kSeaLevel, 95.0f, 0.0141f);
  const float wsStar = PSYCHEN32::SpecHumFromVP(kSeaLevel, static_cast<float>(PSYCHEN32::SatVaporPresFromDB(tw)));
  EXPECT_NEAR(PSYCHEN32::SpecHumFromDBWB(kSeaLevel, 95.0f, wsStar, tw), 0.0141, 2e-5);
  EXPECT_NEAR(PSYCHEN32::DryBulbFromSHWB(wsStar, 0.0141f, tw), 95.0, 0.05);
}

TEST(PsychroDewPoint, InverseOfSaturationCurve) {
  for (float t = 32.0f; t <= 150.0f; t += 7.0f) {
    const double ps = PSYCHEN32::SatVaporPresFromDB(t);
    EXPECT_NEAR(PSYCHEN32::DewPointFromVP(static_cast<float>(ps)), t, 0.01) << t;
    EXPECT_NEAR(PSYCHEN32::DryBulbFromSatVP(static_cast<float>(ps)), t, 0.01) << t;
  }
  for (float t = -40.0f; t < 32.0f; t += 9.0f) {
    const float ps = static_cast<float>(PSYCHEN32::SatVaporPresFromDB(t));
    EXPECT_NEAR(PSYCHEN32::DewPointFromVP(ps), t, 0.01) << t;
    EXPECT_NEAR(PSYCHEN32::DryBulbFromSatVP(ps), t, 0.01) << t;
  }
  float pvMin = 0.0f;
  PSYCHEN32::MinimumVPSH(kSeaLevel, pvMin);
  EXPECT_EQ(PSYCHEN32::DewPointFromVP(pvMin), -50.0f);  // the ice formula alone would give -65
}

TEST(PsychroDewPoint, AgainstHandbookDewPointEquation) {
  // Handbook, 32 to 200 deg F: td = 100.45 + 33.193 a + 2.319 a^2 + 0.17074 a^3 + 1.2063 pw^0.1984, a = ln pw.
  for (double pw : {0.1, 0.2, 0.5, 1.0, 2.0, 3.5}) {
    const double a = std::log(pw);
    const double td = 100.45 + 33.193 * a + 2.319 * a * a + 0.17074 * a * a * a + 1.2063 * std::pow(pw, 0.1984);
    EXPECT_NEAR(PSYCHEN32::DewPointFromVP(pw), td, 0.15) << pw;
  }
}

TEST(PsychroStates, LimitersWriteBackLimitedInputs) {
  float t = 200.0f, rh = 120.0f, dp = -1, h = -1, w = -1, v = -1, pv = -1, tw = -1;
  PSYCHEN32::Psy_ALL_DB_RH(kSeaLevel, t, rh, dp, h, w, v, pv, tw);
  EXPECT_EQ(t, 150.0f);
  EXPECT_EQ(rh, 100.0f);
  EXPECT_NEAR(tw, 150.0, 0.05);
  EXPECT_NEAR(dp, 150.0, 0.05);

  // The enthalpy is limited with the dry bulb at 150, the dry bulb itself is kept.
  t = 200.0f;
  h = 1000.0f;
  float phi = -1;
  PSYCHEN32::Psy_ALL_DB_EN(kSeaLevel, t, h, dp, phi, w, v, pv, tw);
  EXPECT_EQ(t, 200.0f);
  const float ws150 = PSYCHEN32::SpecHumFromVP(kSeaLevel, static_cast<float>(PSYCHEN32::SatVaporPresFromDB(150.0f)));
  EXPECT_FLOAT_EQ(h, static_cast<float>(PSYCHEN32::EnthalpyFromDBSH(150.0f, ws150)));
  EXPECT_NEAR(w, PSYCHEN32::SpecHumFromDBEN(kSeaLevel, 200.0f, h), 1e-7);

  // A wet bulb above the dry bulb becomes the dry bulb: saturated air.
  t = 80.0f;
  tw = 90.0f;
  PSYCHEN32::Psy_ALL_DB_WB(kSeaLevel, t, tw, dp, h, phi, w, v, pv);
  EXPECT_EQ(tw, 80.0f);
  const float ws80 = PSYCHEN32::SpecHumFromVP(kSeaLevel, static_cast<float>(PSYCHEN32::SatVaporPresFromDB(80.0f)));
  EXPECT_NEAR(w, ws80, 1e-6);
  EXPECT_NEAR(phi, 100.0, 0.01);

  // Humidity above saturation and below the minimum.
  t = 70.0f;
  w = 0.5f;
  PSYCHEN32::Psy_ALL_DB_SH(kSeaLevel, t, w, dp, h, phi, v, pv, tw);
  EXPECT_FLOAT_EQ(w, PSYCHEN32::SpecHumFromVP(kSeaLevel, static_cast<float>(PSYCHEN32::SatVaporPresFromDB(70.0f))));
  t = -80.0f;
  w = 0.0f;
  PSYCHEN32::Psy_ALL_DB_SH(kSeaLevel, t, w, dp, h, phi, v, pv, tw);
  float pvMin = 0;
  EXPECT_EQ(t, -65.0f);
  EXPECT_EQ(w, PSYCHEN32::MinimumVPSH(kSeaLevel, pvMin));
}

// The humidity / wet-bulb limiter: above the wet bulb of the driest air at 150 deg F the
// humidity lies between the air at 150 deg F dry bulb with that wet bulb and saturation; below
// it, between the minimum state and saturation. Temperatures are cut to -65 ... 150 first.
TEST(PsychroStates, HumidityWetBulbLimiterBounds) {
  float pvMin = 0.0f;
  const float wMin = PSYCHEN32::MinimumVPSH(kSeaLevel, pvMin);
  auto wSat = [](float t) {
    return PSYCHEN32::SpecHumFromVP(kSeaLevel, static_cast<float>(PSYCHEN32::SatVaporPresFromDB(t)));
  };
  const float twMin150 = PSYCHEN32::WetBulbFromDBSH(kSeaLevel, 150.0f, wMin);
  ASSERT_GT(twMin150, 60.0f);
  ASSERT_LT(twMin150, 80.0f);
  struct Case {
    float w, tw;          // inputs
    float wantW, wantTw;  // limited inputs written back
    float wantDryBulb;    // the dry bulb of the limited state
  };
  const Case cases[] = {
      // Driest air that can have an 80 deg F wet bulb: the 150 deg F dry-bulb state.
      {0.0f, 80.0f, PSYCHEN32::SpecHumFromDBWB(kSeaLevel, 150.0f, wSat(80.0f), 80.0f), 80.0f, 150.0f},
      {0.5f, 200.0f, wSat(150.0f), 150.0f, 150.0f},  // wet bulb cut to 150, then saturation
      {0.01f, 40.0f, wSat(40.0f), 40.0f, 40.0f},     // too humid: saturated at the wet bulb
      {0.0f, 60.0f, wMin, 60.0f, -999.0f},           // below the 150 deg F edge: the minimum state
      {0.5f, -80.0f, wSat(-65.0f), -65.0f, -65.0f},  // wet bulb cut to -65
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "W " << c.w << ", wet bulb " << c.tw);
    float w = c.w, tw = c.tw, dp, t, h, rh, v, pv;
    PSYCHEN32::Psy_ALL_SH_WB(kSeaLevel, w, tw, dp, t, h, rh, v, pv);
    EXPECT_FLOAT_EQ(w, c.wantW);
    EXPECT_EQ(tw, c.wantTw);
    if (c.wantDryBulb > -999.0f) {
      EXPECT_NEAR(t, c.wantDryBulb, 0.05);
    }
  }

  // The dry-bulb / wet-bulb limiter raises a wet bulb below that of the driest air.
  float t = 100.0f, tw = 20.0f, dp, h, rh, w, v, pv;
  PSYCHEN32::Psy_ALL_DB_WB(kSeaLevel, t, tw, dp, h, rh, w, v, pv);
  EXPECT_EQ(tw, PSYCHEN32::WetBulbFromDBSH(kSeaLevel, 100.0f, wMin));
  EXPECT_NEAR(w, wMin, 2e-6);
}

TEST(PsychroStates, CompleteStatesAgree) {
  // The 95/75 state reached from each pair of properties.
  float t = 95.0f, w = 0.0141f, dp, h, rh, v, pv, tw;
  PSYCHEN32::Psy_ALL_DB_SH(kSeaLevel, t, w, dp, h, rh, v, pv, tw);
  EXPECT_NEAR(tw, 75.05, 0.01);

  float t2 = 95.0f, tw2 = tw, dp2, h2, rh2, w2, v2, pv2;
  PSYCHEN32::Psy_ALL_DB_WB(kSeaLevel, t2, tw2, dp2, h2, rh2, w2, v2, pv2);
  EXPECT_NEAR(w2, w, 2e-5);
  EXPECT_NEAR(h2, h, 0.03);

  float w3 = w, tw3 = tw, dp3, t3, h3, rh3, v3, pv3;
  PSYCHEN32::Psy_ALL_SH_WB(kSeaLevel, w3, tw3, dp3, t3, h3, rh3, v3, pv3);
  EXPECT_NEAR(t3, 95.0, 0.05);
  EXPECT_NEAR(dp3, dp, 1e-4);

  float t4 = 95.0f, h4 = h, dp4, rh4, w4, v4, pv4, tw4;
  PSYCHEN32::Psy_ALL_DB_EN(kSeaLevel, t4, h4, dp4, rh4, w4, v4, pv4, tw4);
  EXPECT_NEAR(w4, w, 1e-6);
  EXPECT_NEAR(rh4, rh, 0.01);

  float t5 = 95.0f, rh5 = rh, dp5, h5, w5, v5, pv5, tw5;
  PSYCHEN32::Psy_ALL_DB_RH(kSeaLevel, t5, rh5, dp5, h5, w5, v5, pv5, tw5);
  EXPECT_NEAR(w5, w, 1e-6);
  EXPECT_NEAR(v5, v, 1e-4);
}

TEST(PsychroErrors, ArithmeticFailuresAreCheckedErrors) {
  auto number = [](auto&& call) {
    try {
      call();
    } catch (const PsychroError& e) {
      return e.Number();
    }
    return 0L;
  };
  EXPECT_EQ(number([] { PSYCHEN32::BaromPres(150000.0f); }), PsychroError::kInvalidProcedureCall);
  EXPECT_EQ(number([] { PSYCHEN32::DewPointFromVP(0.0); }), PsychroError::kInvalidProcedureCall);
  EXPECT_EQ(number([] { PSYCHEN32::DewPointFromVP(-1.0); }), PsychroError::kInvalidProcedureCall);
  EXPECT_EQ(number([] { PSYCHEN32::DryBulbFromSatVP(0.0f); }), PsychroError::kInvalidProcedureCall);
  EXPECT_EQ(number([] { PSYCHEN32::SpecHumFromDBWB(kSeaLevel, 0.0f, 0.01f, 1093.0f); }), PsychroError::kDivisionByZero);
  EXPECT_EQ(number([] { PSYCHEN32::SatVaporPresFromDB(-460.0f); }), PsychroError::kDivisionByZero);
  EXPECT_EQ(number([] { PSYCHEN32::RelHumFromSHSatSH(0.01f, 0.0f); }), PsychroError::kDivisionByZero);
  EXPECT_EQ(number([] { PSYCHEN32::SatVaporPresFromDB(std::numeric_limits<float>::quiet_NaN()); }),
            PsychroError::kInvalidProcedureCall);
  EXPECT_EQ(number([] { PSYCHEN32::SatVaporPresFromDB(-470.0f); }), PsychroError::kOverflow);

  // A failing step of a complete state keeps the outputs stored before it: Psy_ALL_DB_EN goes
  // on with the caller's dry bulb, and the saturation pressure at -460 deg F, taken after the
  // humidity, vapour pressure and dew point are stored, divides by zero.
  float t = -460.0f, h = 10.0f, dp = -7, rh = -7, w = -7, v = -7, pv = -7, tw = -7;
  EXPECT_EQ(number([&] { PSYCHEN32::Psy_ALL_DB_EN(kSeaLevel, t, h, dp, rh, w, v, pv, tw); }),
            PsychroError::kDivisionByZero);
  EXPECT_EQ(t, -460.0f);
  EXPECT_EQ(w, PSYCHEN32::SpecHumFromDBEN(kSeaLevel, -460.0f, h));
  EXPECT_EQ(pv, PSYCHEN32::VaporPresFromSH(kSeaLevel, w));
  EXPECT_EQ(dp, PSYCHEN32::DewPointFromVP(pv));
  EXPECT_EQ(rh, -7.0f);
  EXPECT_EQ(tw, -7.0f);
  EXPECT_EQ(v, -7.0f);
}

TEST(PsychroIterations, VanishingSecantDivisorFindsTheRootWithoutDividingByZero) {
  // With an enormous humidity ratio both start values W -/+ 0.001 round to the same float,
  // so the two start residuals are equal: the secant would divide by zero, and its current
  // point (the dry bulb) is no root. The root of such air lies at the boiling point.
  float tw = 0.0f;
  EXPECT_NO_THROW(tw = PSYCHEN32::WetBulbFromDBSH(kSeaLevel, 70.0f, 1.0e10f));
  EXPECT_NEAR(tw, ExactWetBulb(kSeaLevel, 70.0, 1.0e10f), 0.05);
}

TEST(PsychroIterations, VanishingNewtonSlopeReturnsCurrentPoint) {
  // Far above the boiling point the fitted water curve underflows to 0 at the Newton start,
  // so its slope vanishes: the iteration returns its start point instead of dividing by zero.
  const double pv = 1.0e7;
  const float start = static_cast<float>(-9548.0 / std::log(pv / 24074000.0) - 460.0);
  float t = 0.0f;
  EXPECT_NO_THROW(t = PSYCHEN32::DewPointFromVP(pv));
  EXPECT_EQ(t, start);
}
