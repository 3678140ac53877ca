// Checked arithmetic of the engineering libraries: a step that would divide by zero,
// overflow or be invalid (a NaN, the logarithm of a non-positive value, a fractional power of
// a non-positive base) throws PsychroError with the run-time error number and description
// (5 "Invalid procedure call or argument", 6 "Overflow", 11 "Division by zero") instead of
// letting an infinity or a NaN through.
#pragma once

#include <cfloat>
#include <cmath>

#include "libs/psychro/PSYCHEN32.h"
#include "libs/psychro/psychro_formulas.h"

namespace damplo::checked {

inline constexpr char kInvalidDescription[] = "Invalid procedure call or argument";

[[noreturn]] inline void Raise(long number) {
  switch (number) {
    case PsychroError::kDivisionByZero:
      throw PsychroError(number, "Division by zero");
    case PsychroError::kOverflow:
      throw PsychroError(number, "Overflow");
    default:
      throw PsychroError(PsychroError::kInvalidProcedureCall, kInvalidDescription);
  }
}

// A refused barometric pressure: error 5 like any invalid argument, told apart so that a
// complete-state operation puts its arguments back and an input limiter does not pass over it.
class PressureRefused : public PsychroError {
 public:
  PressureRefused() : PsychroError(PsychroError::kInvalidProcedureCall, kInvalidDescription) {}
};

// A barometric pressure for air whose water has vapour pressure pw (psia): refused unless it is
// finite, above zero and above pw.
inline void CheckPressure(float fBaPres, double pw) {
  if (!PressureAbove(fBaPres, pw)) throw PressureRefused();
}

inline double Finite(double x) {
  if (std::isnan(x)) Raise(PsychroError::kInvalidProcedureCall);
  if (std::isinf(x)) Raise(PsychroError::kOverflow);
  return x;
}

inline double Div(double num, double den) {
  if (den == 0.0) Raise(PsychroError::kDivisionByZero);
  return Finite(num / den);
}

inline double Exp(double x) { return Finite(std::exp(Finite(x))); }

inline double Log(double x) {
  if (!(x > 0.0)) Raise(PsychroError::kInvalidProcedureCall);
  return Finite(std::log(x));
}

inline double Pow(double base, double exponent) {
  if (!(base > 0.0)) Raise(PsychroError::kInvalidProcedureCall);
  return Finite(std::pow(base, exponent));
}

// Rounds a double result to single precision; a value beyond the float range overflows.
inline float Single(double x) {
  Finite(x);
  if (std::fabs(x) > static_cast<double>(FLT_MAX)) Raise(PsychroError::kOverflow);
  return static_cast<float>(x);
}

}  // namespace damplo::checked
