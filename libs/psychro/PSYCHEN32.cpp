// Moist-air properties (inch-pound units). See PSYCHEN32.h for the conventions.
#include "libs/psychro/PSYCHEN32.h"

#include <array>
#include <cmath>
#include <cstddef>

#include "libs/psychro/checked_math.h"
#include "libs/psychro/psychro_formulas.h"
#include "libs/vector_state.h"

namespace {

using damplo::WaterExponent;
using damplo::WaterExponentSlope;
using damplo::checked::CheckPressure;
using damplo::checked::Div;
using damplo::checked::Exp;
using damplo::checked::Finite;
using damplo::checked::Log;
using damplo::checked::Pow;
using damplo::checked::PressureRefused;
using damplo::checked::Raise;
using damplo::checked::Single;

// Minimum vapour pressure: the saturation pressure at -65 deg F (over ice), as a float.
float MinimumVaPres() {
  static const float pvMin = static_cast<float>(PSYCHEN32::SatVaporPresFromDB(-65.0f));
  return pvMin;
}

float MinimumSpecHum(float fBaPres) {
  float pvMin = 0;
  return PSYCHEN32::MinimumVPSH(fBaPres, pvMin);
}

inline float FloorVaPres(double pv) {
  const float v = Single(pv);
  const float pvMin = MinimumVaPres();
  return v < pvMin ? pvMin : v;
}

inline float FloorSpecHum(float fBaPres, double w) {
  const float v = Single(w);
  const float wMin = MinimumSpecHum(fBaPres);
  return v < wMin ? wMin : v;
}

// Humidity ratio of saturated air at temperature t.
inline float SatSpecHum(float fBaPres, float t) {
  return PSYCHEN32::SpecHumFromVP(fBaPres, static_cast<float>(PSYCHEN32::SatVaporPresFromDB(t)));
}

inline void Clamp(float& v, float lo, float hi) {
  if (v > hi) v = hi;
  if (v < lo) v = lo;
}

// Runs the steps of an input limiter. An arithmetic error stops the limiting and is passed
// over (the complete-state operation goes on and reports any error its own steps meet); a
// refused pressure is not: a saturation state the limiter needs does not exist at it.
template <class Steps>
void Limiting(Steps&& steps) {
  try {
    steps();
  } catch (const PressureRefused&) {
    throw;
  } catch (const PsychroError&) {
  }
}

// Runs the steps of a complete-state operation on the caller's arguments. A pressure not above
// pv,min (every complete state sets at least that vapour pressure against it) is refused before
// anything else. When a later step refuses the pressure (a limiter's or an iteration's trial
// state included), every argument is put back as the caller passed it before the error goes
// on; any other error keeps the outputs stored before it.
template <class Steps>
void CompleteState(float fBaPres, const std::array<float*, 8>& args, Steps&& steps) {
  CheckPressure(fBaPres, MinimumVaPres());
  std::array<float, 8> passed{};
  for (std::size_t i = 0; i < args.size(); ++i) passed[i] = *args[i];
  try {
    kestrin::ClearUpperVectorState();
    steps();
  } catch (const PressureRefused&) {
    for (std::size_t i = 0; i < args.size(); ++i) *args[i] = passed[i];
    throw;
  }
}

constexpr float kTempMin = -65.0f;
constexpr float kTempMax = 150.0f;

// Newton iteration on the saturation curve for the temperature at saturation pressure pv,
// started from t0. With waterOnly the over-water curve is used throughout; otherwise the
// curve follows the current temperature. Stops when the relative change is at most 2e-5,
// after maxSteps steps, or when the slope vanishes (returning the current point).
float SaturationNewton(double pv, float t0, bool waterOnly, int maxSteps) {
  float t = t0;
  for (int step = 0; step < maxSteps; ++step) {
    double p = 0;
    double slope = 0;
    if (waterOnly || t >= 32.0f) {
      p = static_cast<float>(Exp(WaterExponent(t)));
      slope = p * WaterExponentSlope(t);
    } else {
      const double tk = static_cast<double>(t) + 460.0;
      p = 4.926e8 * Exp(Div(-11040.0, tk));
      slope = Div(11040.0 * p, tk * tk);
    }
    if (slope == 0.0) return t;
    const float tNew = Single(t - (p - pv) / slope);
    if (tNew == 0.0f) return tNew;
    const float change = static_cast<float>((static_cast<double>(tNew) - t) / tNew);
    t = tNew;
    if (std::fabs(change) <= 0.00002f) break;
  }
  return t;
}

// Newton start: the Clausius-Clapeyron form fitted to the water curve.
inline float SaturationStart(double pv) { return Single(Div(-9548.0, Log(pv / 24074000.0)) - 460.0); }

// The wet bulb as the root of the psychrometric equation in the wet bulb tw itself: the
// saturation humidity x(tw) the equation asks for at dry bulb t and humidity w, less the
// saturation humidity at tw (its pressure taken as single, as in the secant). The residual
// falls as tw rises, and without bound toward the boiling point, above which no saturated air
// exists. Bisected over the float wet bulbs from absolute zero, where saturated air holds no
// water and the residual is positive, to the top of the fitted water curve (396.6 F, about
// 112 psia), above the boiling point at every pressure up to that: the result is the highest
// float below the root. Air that has no root there (colder than absolute zero) is an invalid
// argument.
constexpr float kWaterCurveTop = 396.6f;

float WetBulbBisection(double p, double t, double w) {
  // True when tw is at or above the root: no saturated air at tw, or a residual not above 0.
  auto atOrAbove = [&](float tw) {
    const double ps = static_cast<float>(PSYCHEN32::SatVaporPresFromDB(tw));
    if (!damplo::PressureAbove(p, ps)) return true;
    const double x = (1093.0 * w + (0.24 + 0.444 * w) * t - tw * (w + 0.24)) / (1093.0 - 0.556 * tw);
    return !(x - 0.62198 * ps / (p - ps) > 0.0);
  };
  float lo = -459.67f;
  float hi = kWaterCurveTop;
  if (atOrAbove(lo) || !atOrAbove(hi)) Raise(PsychroError::kInvalidProcedureCall);
  for (;;) {
    const float mid = static_cast<float>((static_cast<double>(lo) + hi) / 2.0);
    if (mid == lo || mid == hi) return lo;
    (atOrAbove(mid) ? hi : lo) = mid;
  }
}

}  // namespace

// ---- single properties ----------------------------------------------------------------
//
// An operation whose result depends on the pressure refuses one that is not above the vapour
// pressure it sets against it, before anything else. Where the pressure enters only through
// the floor W,min (or, for VaporPresFromSH and VaporPresFromDBSV, whose formulas give a vapour
// pressure below the pressure for any humidity and any positive volume, through the floor
// pv,min), that vapour pressure is pv,min. VaporPresFromRH and SatVaporPresFromRHVP do not use
// the pressure and take any.

float PSYCHEN32::BaromPres(float fAlt) { return Single(14.696 * Pow(1.0 - 6.87535e-6 * fAlt, 5.2561)); }

float PSYCHEN32::DryBulbFromENSH(float fEnth, float fSpecHum) {
  return Single(Div(fEnth - 1061.0 * fSpecHum, 0.444 * fSpecHum + 0.24));
}

double PSYCHEN32::DryBulbFromSHWB(float fSASpecHum, float fSpecHum, float fWetBulb) {
  const double ws = fSASpecHum, w = fSpecHum, tw = fWetBulb;
  return Div((1093.0 - 0.556 * tw) * ws + 0.24 * tw + w * tw - 1093.0 * w, 0.444 * w + 0.24);
}

float PSYCHEN32::DryBulbFromSVVP(float fBaPres, float fSpecVol, float fVaPres) {
  CheckPressure(fBaPres, fVaPres);
  return Single((static_cast<double>(fBaPres) - fVaPres) * (144.0 / 53.352 * fSpecVol) - 459.67);
}

double PSYCHEN32::EnthalpyFromDBSH(float fDryBulb, float fSpecHum) {
  return Finite(damplo::Enthalpy(fDryBulb, fSpecHum));
}

float PSYCHEN32::MinimumVPSH(float fBaPres, float& fMinimumVaPres) {
  const float pvMin = MinimumVaPres();
  const float wMin = SpecHumFromVP(fBaPres, pvMin);  // a refused pressure leaves the output as it was
  fMinimumVaPres = pvMin;
  return wMin;
}

float PSYCHEN32::RelHumFromSHSatSH(float fSpecHum, float fSASpecHum) {
  return Single(Div(fSpecHum, fSASpecHum) * 100.0);
}

double PSYCHEN32::RelHumFromVP(float fVaPres, float fSatVaPres) {
  const double rh = Div(fVaPres, fSatVaPres) * 100.0;
  if (rh > 100.0) return 100.0;
  return Single(rh);
}

float PSYCHEN32::SatSpecHumFromRHSH(float fBaPres, float fRelHum, float fSpecHum) {
  CheckPressure(fBaPres, MinimumVaPres());
  const double w = fSpecHum, rh = fRelHum;
  return FloorSpecHum(fBaPres, Div(0.62198 * w, 0.0062198 * rh - w + 0.01 * rh * w));
}

double PSYCHEN32::SatVaporPresFromDB(float fTemp) {
  const double t = fTemp;
  if (damplo::OverWater(t)) return Exp(WaterExponent(t));
  if (t + 460.0 == 0.0) Raise(PsychroError::kDivisionByZero);
  return Finite(4.926e8 * Exp(Finite(damplo::IceExponent(t))));
}

float PSYCHEN32::SatVaporPresFromRHVP(float /*fBaPres*/, float fRelHum, float fVaPres) {
  return FloorVaPres(Div(fVaPres, fRelHum) * 100.0);
}

float PSYCHEN32::SpecHumFromDBEN(float fBaPres, float fDryBulb, float fEnth) {
  CheckPressure(fBaPres, MinimumVaPres());
  const double t = fDryBulb;
  return FloorSpecHum(fBaPres, Div(fEnth - 0.24 * t, 0.444 * t + 1061.0));
}

float PSYCHEN32::SpecHumFromDBSV(float fBaPres, float fDryBulb, float fSpecVol) {
  CheckPressure(fBaPres, MinimumVaPres());
  const double tr = static_cast<double>(fDryBulb) + 459.67;
  return FloorSpecHum(fBaPres, Div(144.0 * fBaPres * fSpecVol - 53.352 * tr, 85.7793456 * tr));
}

float PSYCHEN32::SpecHumFromDBWB(float fBaPres, float fDryBulb, float fSASpecHum, float fWetBulb) {
  CheckPressure(fBaPres, MinimumVaPres());
  const double t = fDryBulb, tw = fWetBulb;
  return FloorSpecHum(fBaPres, Div((1093.0 - 0.556 * tw) * fSASpecHum - 0.24 * (t - tw), 0.444 * t + 1093.0 - tw));
}

float PSYCHEN32::SpecHumFromRHSatSH(float fBaPres, float fRelHum, float fSASpecHum) {
  CheckPressure(fBaPres, MinimumVaPres());
  const double a = 0.01 * fRelHum * fSASpecHum;
  return FloorSpecHum(fBaPres, Div(0.62198 * a, fSASpecHum + 0.62198 - a));
}

float PSYCHEN32::SpecHumFromVP(float fBaPres, float fVaPres) {
  CheckPressure(fBaPres, fVaPres);
  return Single(damplo::HumidityRatio(fBaPres, fVaPres));
}

float PSYCHEN32::SpecVolFromDBVP(float fBaPres, float fDryBulb, float fVaPres) {
  CheckPressure(fBaPres, fVaPres);
  return Single(
      Div(53.352 * (static_cast<double>(fDryBulb) + 459.67), 144.0 * (static_cast<double>(fBaPres) - fVaPres)));
}

float PSYCHEN32::VaporPresFromDBSV(float fBaPres, float fDryBulb, float fSpecVol) {
  CheckPressure(fBaPres, MinimumVaPres());
  return FloorVaPres(fBaPres - Div(53.352 * (static_cast<double>(fDryBulb) + 459.67), 144.0 * fSpecVol));
}

float PSYCHEN32::VaporPresFromRH(float /*fBaPres*/, float fRelHum, float fSatVaPres) {
  return FloorVaPres(static_cast<double>(fRelHum) * fSatVaPres / 100.0);
}

float PSYCHEN32::VaporPresFromSH(float fBaPres, float fSpecHum) {
  CheckPressure(fBaPres, MinimumVaPres());
  return FloorVaPres(Div(static_cast<double>(fBaPres) * fSpecHum, fSpecHum + 0.62198));
}

// Secant iteration on the saturation humidity x at the wet bulb: the psychrometric equation
// gives the wet bulb t*(x), and the residual is x minus the saturation humidity at t*(x). The
// lower x, the higher t*(x), which is the dry bulb at x = W; the first trial lies above it. A
// trial whose saturation pressure is not below the pressure is no state of moist air (its
// humidity would be negative or infinite and the iteration would run off), nor is one at or
// below -460 F (the pole of the ice curve) or above the top of the fitted water curve (where
// the fit falls again below the pressure, past the boiling point): it is pulled back halfway
// toward x = W until it is one. The secant's point is the result only where its
// residual meets the tolerance. Where it does not (the secant goes flat, its 21 steps run out,
// or the dry bulb itself is at or above the boiling point so that no trial can be pulled
// back), the root is bracketed and bisected instead (WetBulbBisection): air below the boiling
// point close to it, where the pulled-back trials' residuals are huge, and hot air above it.
// Air is refused only where its own vapour pressure P W / (W + 0.62198) is not below the
// pressure.
float PSYCHEN32::WetBulbFromDBSH(float fBaPres, float fDryBulb, float fSpecHum) {
  const double t = fDryBulb, w = fSpecHum, p = fBaPres;
  CheckPressure(fBaPres, p * w / (w + 0.62198));
  kestrin::ClearUpperVectorState();
  auto wetBulb = [&](double x) { return Single(Div(1093.0 * (x - w) - (0.24 + 0.444 * w) * t, 0.556 * x - w - 0.24)); };
  // Sets tw to the wet bulb of trial x, pulled back as needed, and fx to its residual; false
  // when the trial cannot be pulled back into moist air.
  auto f = [&](float& x, float& tw, float& fx) {
    for (;;) {
      tw = wetBulb(x);
      if (tw > -460.0f && tw <= kWaterCurveTop) {
        const double ps = static_cast<float>(SatVaporPresFromDB(tw));
        if (damplo::PressureAbove(p, ps)) {
          fx = Single(x - Div(0.62198 * ps, p - ps));
          return true;
        }
      }
      if (x == fSpecHum) return false;  // the wet bulb is the dry bulb here
      const float pulled = static_cast<float>((x + w) / 2.0);
      x = pulled == x ? fSpecHum : pulled;
    }
  };
  // x1, x2: the two latest trial humidities; f1, f2 their residuals.
  float x1 = static_cast<float>(w - 0.001);
  float x2 = static_cast<float>(w + 0.001);
  float tw1 = 0;
  float f1 = 0;
  float tw = 0;
  float f2 = 0;
  if (f(x1, tw1, f1) && f(x2, tw, f2)) {
    for (int step = 0; step < 21; ++step) {
      const double df = static_cast<double>(f1) - f2;
      if (df == 0.0) break;  // the secant is flat
      float x = Single(x2 - f2 * (static_cast<double>(x1) - x2) / df);
      float fx = 0;
      if (!f(x, tw, fx)) break;
      if (std::fabs(fx) < 0.00001f) return tw;
      x1 = x2;
      f1 = f2;
      x2 = x;
      f2 = fx;
    }
  }
  return WetBulbBisection(p, t, w);
}

float PSYCHEN32::DewPointFromVP(double fVaPres) {
  kestrin::ClearUpperVectorState();
  if (fVaPres < 0.0885863) {
    const float t = Single(Div(-11040.0, Log(fVaPres / 4.926e8)) - 460.0);
    return t < -50.0f ? -50.0f : t;
  }
  return SaturationNewton(fVaPres, SaturationStart(fVaPres), true, 15);
}

float PSYCHEN32::DryBulbFromSatVP(float fSatVaPres) {
  kestrin::ClearUpperVectorState();
  return SaturationNewton(fSatVaPres, SaturationStart(fSatVaPres), false, 16);
}

// ---- input limiters -------------------------------------------------------------------

void PSYCHEN32::LimitDBRH(float& fDryBulb, float& fRelHum) {
  Clamp(fDryBulb, kTempMin, kTempMax);
  Clamp(fRelHum, 0.0f, 100.0f);
}

void PSYCHEN32::LimitDBSH(float fBaPres, float& fDryBulb, float& fSpecHum) {
  Limiting([&] {
    Clamp(fDryBulb, kTempMin, kTempMax);
    const float wMin = MinimumSpecHum(fBaPres);
    if (fSpecHum < wMin) fSpecHum = wMin;
    const float wSat = SatSpecHum(fBaPres, fDryBulb);
    if (fSpecHum > wSat) fSpecHum = wSat;
  });
}

void PSYCHEN32::LimitDBEN(float fBaPres, float fDryBulb, float& fEnth) {
  Limiting([&] {
    Clamp(fDryBulb, kTempMin, kTempMax);
    const double t = fDryBulb;
    const float hMin = Single(0.24 * t + MinimumSpecHum(fBaPres) * (1061.0 + 0.444 * t));
    if (fEnth < hMin) fEnth = hMin;
    const float hSat = Single(EnthalpyFromDBSH(fDryBulb, SatSpecHum(fBaPres, fDryBulb)));
    if (fEnth > hSat) fEnth = hSat;
  });
}

void PSYCHEN32::LimitDBWB(float fBaPres, float& fDryBulb, float& fWetBulb) {
  Limiting([&] {
    Clamp(fDryBulb, kTempMin, kTempMax);
    if (fWetBulb > fDryBulb) fWetBulb = fDryBulb;
    const float twMin = WetBulbFromDBSH(fBaPres, fDryBulb, MinimumSpecHum(fBaPres));
    if (fWetBulb < twMin) fWetBulb = twMin;
  });
}

void PSYCHEN32::LimitSHWB(float fBaPres, float& fSpecHum, float& fWetBulb) {
  Limiting([&] {
    const float wMin = MinimumSpecHum(fBaPres);
    const float twMin = WetBulbFromDBSH(fBaPres, kTempMax, wMin);
    float upper = 0;
    float lower = 0;
    if (fWetBulb > twMin) {
      if (fWetBulb > kTempMax) fWetBulb = kTempMax;
      upper = SatSpecHum(fBaPres, fWetBulb);
      // The driest air with this wet bulb is at the highest dry bulb.
      lower = SpecHumFromDBWB(fBaPres, kTempMax, upper, fWetBulb);
    } else {
      if (fWetBulb < kTempMin) fWetBulb = kTempMin;
      upper = SatSpecHum(fBaPres, fWetBulb);
      lower = wMin;
    }
    if (fSpecHum > upper) fSpecHum = upper;
    if (fSpecHum < lower) fSpecHum = lower;
  });
}

// ---- complete state points ------------------------------------------------------------

namespace {

// The rest of a state known by dry bulb and humidity ratio, each output stored as computed:
// vapour pressure, dew point, relative humidity, enthalpy, specific volume.
void CompleteFromDBSH(float fBaPres, float fDryBulb, float fSpecHum, float& fVaPres, float& fDewPt, float& fRelHum,
                      float& fEnth, float& fSpecVol) {
  fVaPres = PSYCHEN32::VaporPresFromSH(fBaPres, fSpecHum);
  fDewPt = PSYCHEN32::DewPointFromVP(fVaPres);
  fRelHum = Single(PSYCHEN32::RelHumFromVP(fVaPres, Single(PSYCHEN32::SatVaporPresFromDB(fDryBulb))));
  fEnth = Single(PSYCHEN32::EnthalpyFromDBSH(fDryBulb, fSpecHum));
  fSpecVol = PSYCHEN32::SpecVolFromDBVP(fBaPres, fDryBulb, fVaPres);
}

}  // namespace

// Each runs as CompleteState: a pressure not above pv,min is refused before anything else, and
// the arguments are put back when a later step refuses the pressure.

void PSYCHEN32::Psy_ALL_DB_EN(float fBaPres, float& fDryBulb, float& fEnth, float& fDewPt, float& fRelHum,
                              float& fSpecHum, float& fSpecVol, float& fVaPres, float& fWetBulb) {
  CompleteState(fBaPres, {&fDryBulb, &fEnth, &fDewPt, &fRelHum, &fSpecHum, &fSpecVol, &fVaPres, &fWetBulb}, [&] {
    LimitDBEN(fBaPres, fDryBulb, fEnth);
    fSpecHum = SpecHumFromDBEN(fBaPres, fDryBulb, fEnth);
    fVaPres = VaporPresFromSH(fBaPres, fSpecHum);
    fDewPt = DewPointFromVP(fVaPres);
    fRelHum = Single(RelHumFromVP(fVaPres, Single(SatVaporPresFromDB(fDryBulb))));
    fWetBulb = WetBulbFromDBSH(fBaPres, fDryBulb, fSpecHum);
    fSpecVol = SpecVolFromDBVP(fBaPres, fDryBulb, fVaPres);
  });
}

void PSYCHEN32::Psy_ALL_DB_RH(float fBaPres, float& fDryBulb, float& fRelHum, float& fDewPt, float& fEnth,
                              float& fSpecHum, float& fSpecVol, float& fVaPres, float& fWetBulb) {
  CompleteState(fBaPres, {&fDryBulb, &fRelHum, &fDewPt, &fEnth, &fSpecHum, &fSpecVol, &fVaPres, &fWetBulb}, [&] {
    LimitDBRH(fDryBulb, fRelHum);
    fVaPres = VaporPresFromRH(fBaPres, fRelHum, Single(SatVaporPresFromDB(fDryBulb)));
    fDewPt = DewPointFromVP(fVaPres);
    fSpecHum = SpecHumFromVP(fBaPres, fVaPres);
    fWetBulb = WetBulbFromDBSH(fBaPres, fDryBulb, fSpecHum);
    fEnth = Single(EnthalpyFromDBSH(fDryBulb, fSpecHum));
    fSpecVol = SpecVolFromDBVP(fBaPres, fDryBulb, fVaPres);
  });
}

void PSYCHEN32::Psy_ALL_DB_SH(float fBaPres, float& fDryBulb, float& fSpecHum, float& fDewPt, float& fEnth,
                              float& fRelHum, float& fSpecVol, float& fVaPres, float& fWetBulb) {
  CompleteState(fBaPres, {&fDryBulb, &fSpecHum, &fDewPt, &fEnth, &fRelHum, &fSpecVol, &fVaPres, &fWetBulb}, [&] {
    LimitDBSH(fBaPres, fDryBulb, fSpecHum);
    fVaPres = VaporPresFromSH(fBaPres, fSpecHum);
    fDewPt = DewPointFromVP(fVaPres);
    fRelHum = Single(RelHumFromVP(fVaPres, Single(SatVaporPresFromDB(fDryBulb))));
    fWetBulb = WetBulbFromDBSH(fBaPres, fDryBulb, fSpecHum);
    fEnth = Single(EnthalpyFromDBSH(fDryBulb, fSpecHum));
    fSpecVol = SpecVolFromDBVP(fBaPres, fDryBulb, fVaPres);
  });
}

void PSYCHEN32::Psy_ALL_DB_WB(float fBaPres, float& fDryBulb, float& fWetBulb, float& fDewPt, float& fEnth,
                              float& fRelHum, float& fSpecHum, float& fSpecVol, float& fVaPres) {
  CompleteState(fBaPres, {&fDryBulb, &fWetBulb, &fDewPt, &fEnth, &fRelHum, &fSpecHum, &fSpecVol, &fVaPres}, [&] {
    LimitDBWB(fBaPres, fDryBulb, fWetBulb);
    fSpecHum = SpecHumFromDBWB(fBaPres, fDryBulb, SatSpecHum(fBaPres, fWetBulb), fWetBulb);
    CompleteFromDBSH(fBaPres, fDryBulb, fSpecHum, fVaPres, fDewPt, fRelHum, fEnth, fSpecVol);
  });
}

void PSYCHEN32::Psy_ALL_SH_WB(float fBaPres, float& fSpecHum, float& fWetBulb, float& fDewPt, float& fDryBulb,
                              float& fEnth, float& fRelHum, float& fSpecVol, float& fVaPres) {
  CompleteState(fBaPres, {&fSpecHum, &fWetBulb, &fDewPt, &fDryBulb, &fEnth, &fRelHum, &fSpecVol, &fVaPres}, [&] {
    LimitSHWB(fBaPres, fSpecHum, fWetBulb);
    fDryBulb = Single(DryBulbFromSHWB(SatSpecHum(fBaPres, fWetBulb), fSpecHum, fWetBulb));
    CompleteFromDBSH(fBaPres, fDryBulb, fSpecHum, fVaPres, fDewPt, fRelHum, fEnth, fSpecVol);
  });
}
