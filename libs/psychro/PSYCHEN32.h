// damplo: properties of moist air in inch-pound units (class PSYCHEN32).
//
// Units: pressure psia, temperature deg F, humidity ratio lb water per lb dry air,
// enthalpy Btu per lb dry air, specific volume ft3 per lb dry air, relative humidity percent.
//
// The class keeps no state; every operation is a static function, so an object is only a
// convenient handle (`PSYCHEN32 psy; psy.BaromPres(z)`). Arguments and results are float;
// the arithmetic is done in double and rounded to float where a result is single. Four
// operations return double (DryBulbFromSHWB, EnthalpyFromDBSH, RelHumFromVP,
// SatVaporPresFromDB) and DewPointFromVP takes a double.
//
// The five complete-state operations Psy_ALL_* take the pressure by value and the other
// arguments by reference: the first two after the pressure are the inputs, which are
// limited to the valid range and written back (temperatures -65 to 150 deg F, relative
// humidity 0 to 100 %, humidity between the minimum state and saturation; Psy_ALL_DB_EN
// limits the enthalpy with a limited dry bulb but keeps the caller's dry bulb), the rest are
// outputs, each stored as soon as it is computed.
//
// Single-property operations that floor their result do so at the minimum state: vapour
// pressure pv,min = SatVaporPresFromDB(-65) (about 0.000358 psia) and humidity ratio
// W,min = SpecHumFromVP(P, pv,min).
//
// Errors: an arithmetic step that would divide by zero, overflow, take the logarithm of a
// non-positive value or raise a non-positive base to a fractional power throws PsychroError
// (number 11 "Division by zero", 6 "Overflow", 5 "Invalid procedure call or argument").
// A barometric pressure is an invalid argument (error 5) unless it is finite, above zero and
// above the water vapour pressure the operation sets against it (the P - pv of its formulas: the
// given vapour pressure, saturation at the wet bulb or dry bulb, the state's own vapour pressure
// P W / (W + 0.62198) for the wet bulb, or pv,min where the pressure enters only through a
// floor); at or below it no such moist air exists. Every operation whose result depends on the
// pressure refuses one before anything else (one not finite or not above zero whatever the
// other arguments are, a negative vapour pressure included), and a complete-state operation
// also where a step of its own or of its limiter refuses it: it then puts back all its
// arguments as they were passed. VaporPresFromRH and SatVaporPresFromRHVP do not use the
// pressure and take any. On any other error, in a complete-state operation the outputs stored
// before the failing step keep their new values.
//
// Iterations: the dew point and the dry bulb from saturation pressure never fail for lack of
// convergence: they return their last point after their step limit, and they also stop at
// their current point when a Newton slope vanishes. The wet bulb returns the secant's point
// where its residual meets the tolerance (a trial above the boiling point, past the top of the
// fitted water curve at 396.6 F or at the ice curve's pole is pulled back toward the dry
// bulb); where the secant goes flat, runs out of steps or cannot be pulled back into moist air
// (a dry bulb at or above the boiling point), the root of the same equation is bisected
// between absolute zero and the top of the water curve instead. So all air whose vapour
// pressure is below the pressure has a wet bulb, hot air above the boiling point included,
// and the result is always a root of the wet-bulb equation, never a trial that is not one;
// air with no root there (a dry bulb below absolute zero) is error 5.
#pragma once

#include <string>

#include "libs/numbered_error.h"
#include "damplo_export.h"

// The error thrown by PSYCHEN32: a run-time error number and its description.
class DAMPLO_EXPORT PsychroError : public NumberedError {
 public:
  static constexpr long kInvalidProcedureCall = 5;
  static constexpr long kOverflow = 6;
  static constexpr long kDivisionByZero = 11;

  using NumberedError::NumberedError;
  long Number() const { return number(); }
  std::string Description() const { return what(); }
};

class DAMPLO_EXPORT PSYCHEN32 {
 public:
  // Complete state points.
  static void Psy_ALL_DB_EN(float fBaPres, float& fDryBulb, float& fEnth, float& fDewPt, float& fRelHum,
                            float& fSpecHum, float& fSpecVol, float& fVaPres, float& fWetBulb);
  static void Psy_ALL_DB_RH(float fBaPres, float& fDryBulb, float& fRelHum, float& fDewPt, float& fEnth,
                            float& fSpecHum, float& fSpecVol, float& fVaPres, float& fWetBulb);
  static void Psy_ALL_DB_SH(float fBaPres, float& fDryBulb, float& fSpecHum, float& fDewPt, float& fEnth,
                            float& fRelHum, float& fSpecVol, float& fVaPres, float& fWetBulb);
  static void Psy_ALL_DB_WB(float fBaPres, float& fDryBulb, float& fWetBulb, float& fDewPt, float& fEnth,
                            float& fRelHum, float& fSpecHum, float& fSpecVol, float& fVaPres);
  static void Psy_ALL_SH_WB(float fBaPres, float& fSpecHum, float& fWetBulb, float& fDewPt, float& fDryBulb,
                            float& fEnth, float& fRelHum, float& fSpecVol, float& fVaPres);

  // Single properties.
  static float BaromPres(float fAlt);
  static float DryBulbFromENSH(float fEnth, float fSpecHum);
  static double DryBulbFromSHWB(float fSASpecHum, float fSpecHum, float fWetBulb);
  static float DryBulbFromSVVP(float fBaPres, float fSpecVol, float fVaPres);
  static double EnthalpyFromDBSH(float fDryBulb, float fSpecHum);
  static float MinimumVPSH(float fBaPres, float& fMinimumVaPres);
  static float RelHumFromSHSatSH(float fSpecHum, float fSASpecHum);
  // Percent; exactly 100 when the vapour pressure exceeds the saturation pressure.
  static double RelHumFromVP(float fVaPres, float fSatVaPres);
  static float SatSpecHumFromRHSH(float fBaPres, float fRelHum, float fSpecHum);
  static double SatVaporPresFromDB(float fTemp);
  static float SatVaporPresFromRHVP(float fBaPres, float fRelHum, float fVaPres);
  static float SpecHumFromDBEN(float fBaPres, float fDryBulb, float fEnth);
  static float SpecHumFromDBSV(float fBaPres, float fDryBulb, float fSpecVol);
  static float SpecHumFromDBWB(float fBaPres, float fDryBulb, float fSASpecHum, float fWetBulb);
  static float SpecHumFromRHSatSH(float fBaPres, float fRelHum, float fSASpecHum);
  // No floor: a vapour pressure of 0 gives 0.
  static float SpecHumFromVP(float fBaPres, float fVaPres);
  static float SpecVolFromDBVP(float fBaPres, float fDryBulb, float fVaPres);
  static float VaporPresFromDBSV(float fBaPres, float fDryBulb, float fSpecVol);
  static float VaporPresFromRH(float fBaPres, float fRelHum, float fSatVaPres);
  static float VaporPresFromSH(float fBaPres, float fSpecHum);
  static float WetBulbFromDBSH(float fBaPres, float fDryBulb, float fSpecHum);
  static float DewPointFromVP(double fVaPres);
  static float DryBulbFromSatVP(float fSatVaPres);

 private:
  // Input limiters of the complete-state operations; they write the limited values back.
  static void LimitDBEN(float fBaPres, float fDryBulb, float& fEnth);
  static void LimitDBRH(float& fDryBulb, float& fRelHum);
  static void LimitDBSH(float fBaPres, float& fDryBulb, float& fSpecHum);
  static void LimitDBWB(float fBaPres, float& fDryBulb, float& fWetBulb);
  static void LimitSHWB(float fBaPres, float& fSpecHum, float& fWetBulb);
};
