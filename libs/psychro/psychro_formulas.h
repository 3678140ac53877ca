// The saturation curve, humidity ratio and enthalpy formulas of damplo as plain inline
// functions, without the checks of PSYCHEN32 (they may return infinities or NaN). PSYCHEN32
// evaluates exactly these expressions with its checks around them, so a caller that computes
// with them directly (the cooling tower's saturated-air enthalpy, evaluated thousands of times
// per operating point) gets bit-identical results and can fall back to PSYCHEN32 to raise the
// error when a result is not finite.
#pragma once

#include <cmath>

namespace damplo {

// Exponent of the saturation curve over water (t in deg F) and its derivative.
inline double WaterExponent(double t) {
  return -3.81551 + 0.046827 * t - 0.000110796 * t * t + 2.12812e-7 * t * t * t - 2.37881e-10 * t * t * t * t;
}
inline double WaterExponentSlope(double t) {
  return 0.046827 - 0.000221592 * t + 6.38436e-7 * t * t - 9.51524e-10 * t * t * t;
}

// Saturation vapour pressure (psia): over water at 32 deg F and above, over ice below.
inline bool OverWater(double t) { return t >= 32.0; }
inline double SatPresOverWater(double t) { return std::exp(WaterExponent(t)); }
inline double IceExponent(double t) { return -11040.0 / (t + 460.0); }
inline double SatPresOverIce(double t) { return 4.926e8 * std::exp(IceExponent(t)); }

// Moist air at pressure p whose water has vapour pressure pw exists only when p is finite,
// above zero and above pw: otherwise the humidity ratio pw / (p - pw) is negative, infinite or
// zero for any water at all. The pressure itself is tested first, so a hand-made pw at or below
// zero lets no pressure of zero or below through. The one test of a barometric pressure; a NaN
// pw fails it too.
inline bool PressureAbove(double p, double pw) { return std::isfinite(p) && p > 0.0 && p > pw; }

// Humidity ratio from pressure and vapour pressure.
inline double HumidityRatio(double p, double pv) { return 0.62198 * pv / (p - pv); }

// Enthalpy (Btu per lb dry air) from dry bulb and humidity ratio.
inline double Enthalpy(double t, double w) { return 0.24 * t + w * (1061.0 + 0.444 * t); }

// Enthalpy of saturated air at temperature t and pressure p, each step rounded to float as
// PSYCHEN32::SatVaporPresFromDB, SpecHumFromVP and EnthalpyFromDBSH round it; not finite
// when any of those calls would fail.
inline double SatAirEnthalpy(float p, float t) {
  if (!OverWater(t) && static_cast<double>(t) + 460.0 == 0.0) return NAN;
  const float ps = static_cast<float>(OverWater(t) ? SatPresOverWater(t) : SatPresOverIce(t));
  if (!PressureAbove(p, ps)) return NAN;
  const float ws = static_cast<float>(HumidityRatio(p, ps));
  return static_cast<float>(Enthalpy(t, ws));
}

}  // namespace damplo
