// Cooling tower (Merkel model) and dry cooler (constant effectiveness) of cClgTower.
#include "libs/tower/cClgTower.h"

#include <array>
#include <cmath>
#include <exception>
#include <memory>
#include <mutex>
#include <new>

#include "libs/psychro/PSYCHEN32.h"
#include "libs/psychro/checked_math.h"
#include "libs/vector_state.h"

namespace {

const char* const kLibrary = "PYLORN";
const char* const kClass = "cClgTower";

// Chebyshev points of the Merkel integral (fractions of the range), each weighted 0.25.
constexpr double kChebyshev[4] = {0.1, 0.4, 0.6, 0.9};
constexpr double kMerkelFactor = 0.9354603;

using damplo::checked::Div;
using damplo::checked::Finite;
using damplo::checked::Raise;

// Fan motor part-load term for a shaft-power fraction x; m(1) = 0.9417583.
inline double MotorTerm(double x) { return (1.0 - std::exp(-9.04 * x)) * 0.94187; }
// Fan drive part-load term for an air-flow ratio r; d(1) = 0.9551.
inline double DriveTerm(double r) { return 0.5087 + 1.283 * r - 1.42 * r * r + 0.5834 * r * r * r; }
// Efficiencies used as divisors never go below 0.0001.
inline double Divisor(double e) { return e <= 0.0001 ? 0.0001 : e; }

// Straight line through (x0, y0) and (x1, y1) evaluated at x.
inline double Line(double x0, double y0, double x1, double y1, double x) {
  double dx = x1 - x0;
  if (std::fabs(dx) <= 0.0001) dx = 0.0001;
  const double slope = (y1 - y0) / dx;
  return slope * x + (y0 - slope * x0);
}

// The design solves of this process, by their inputs. Every calculation run sets its towers
// up again, often several of one design, and the air-factor search is a pure function of the
// pressure, wet bulb, range and approach: a solve found here is the solve the search gives.
class DesignSolves {
 public:
  struct Solve {
    float pressure;
    double wb, range, approach;
    double air, reached;
    bool kept;
  };
  bool Find(Solve& solve) {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const Solve& s : solves_) {
      if (s.kept && s.pressure == solve.pressure && s.wb == solve.wb && s.range == solve.range &&
          s.approach == solve.approach) {
        solve.air = s.air;
        solve.reached = s.reached;
        return true;
      }
    }
    return false;
  }
  // Keeps the solve in place of the oldest one.
  void Keep(Solve solve) {
    const std::lock_guard<std::mutex> lock(mutex_);
    solve.kept = true;
    solves_[next_] = solve;
    next_ = (next_ + 1) % solves_.size();
  }

 private:
  std::mutex mutex_;
  std::array<Solve, 16> solves_{};
  std::size_t next_ = 0;
};

DesignSolves& KnownDesignSolves() {
  static DesignSolves solves;
  return solves;
}

}  // namespace

// ---- error reporting ------------------------------------------------------------------

void cClgTower::Fail(const char* method, long number, const std::string& description) {
  if (onError_) {
    try {
      onError_(number, description, kLibrary, kClass, method);
    } catch (...) {
      // The event is a notification: a throwing listener must not turn a reported failure
      // into a failed call.
    }
  }
  throw Reported{};
}

void cClgTower::FailFromCurrentException(const char* method) {
  try {
    throw;
  } catch (const Reported&) {
    throw;
  } catch (const PsychroError& e) {
    Fail(method, e.Number(), e.Description());
  } catch (const std::bad_alloc&) {
    Fail(method, 7, "Out of memory");
  } catch (const std::exception& e) {
    Fail(method, kErrInvalidProcedureCall, e.what());
  }
}

// Runs the body of a public method: a failure is reported once (by the step where it
// happened) and the method returns normally.
template <class Body>
void cClgTower::Guarded(const char* method, Body&& body) {
  kestrin::ClearUpperVectorState();
  try {
    try {
      body();
    } catch (...) {
      FailFromCurrentException(method);
    }
  } catch (const Reported&) {
  }
}

// ---- Merkel model ---------------------------------------------------------------------

// Merkel number of the tower for water-to-air ratio dLG at wet bulb dWB, range dRange and
// approach dApproach, by the four-point Chebyshev rule; kInvalidMerkel when the water
// enthalpy does not exceed the air enthalpy at some point. hIn = hsat(dWB) is passed in, as
// the searches evaluate many approaches at one wet bulb.
double cClgTower::CalcMerkelBasis(const Saturation& sat, double hIn, double dLG, double dWB, double dRange,
                                  double dApproach) {
  try {
    const double hOut = hIn + dRange * dLG;
    const double tCold = dWB + dApproach;
    // The four water enthalpies are independent: evaluate them together, then walk the points
    // in order, so an invalid point still ends the integral before a later point can fail.
    double hw[4];
    for (int i = 0; i < 4; ++i) hw[i] = sat.Unchecked(tCold + kChebyshev[i] * dRange);
    double sum = 0.0;
    for (int i = 0; i < 4; ++i) {
      const double c = kChebyshev[i];
      const double h = std::isfinite(hw[i]) ? hw[i] : sat.Checked(tCold + c * dRange);
      const double ha = hIn + (hOut - hIn) * c;
      if (!(h > ha)) return kInvalidMerkel;
      sum += 0.25 / (h - ha);
    }
    return Finite(1.0 * dRange * sum * kMerkelFactor);
  } catch (...) {
    FailFromCurrentException("CalcMerkelBasis");
  }
}

// Bisection towards the edge of the valid region between a valid approach dValid and an
// invalid approach dInvalid. Ends at the eighth valid midpoint or after 101 midpoints;
// dInvalid receives the last midpoint and the result is its Merkel number.
double cClgTower::FindValidApproach(const Saturation& sat, double hIn, double dLG, double dWB, double dRange,
                                    double dValid, double& dInvalid) {
  try {
    const bool validAbove = dValid > dInvalid;
    double a = dValid;
    double b = dInvalid;
    if (b < a) std::swap(a, b);
    double mid = 0.0;
    double merkel = 0.0;
    int hits = 0;
    for (int n = 1;; ++n) {
      mid = (b + a) / 2.0;
      merkel = CalcMerkelBasis(sat, hIn, dLG, dWB, dRange, mid);
      if (merkel == kInvalidMerkel) {
        (validAbove ? a : b) = mid;
      } else {
        if (++hits > 7) break;
        (validAbove ? b : a) = mid;
      }
      if (n > 100) break;
    }
    dInvalid = mid;
    return merkel;
  } catch (...) {
    FailFromCurrentException("FindValidApproach");
  }
}

// The approach at which a tower of air factor dAIR and water factor dH2O reaches its
// characteristic dAIR / dH2O at wet bulb dWB and range dRange. A larger approach gives a
// smaller Merkel number; an invalid approach counts as one whose Merkel number is too small.
double cClgTower::CalcApproach(double dAIR, double dH2O, double dWB, double dRange, SaturationCache* cache) {
  try {
    const double target = Div(dAIR, dH2O);
    const double lg = Div(dH2O, dAIR);
    const Saturation sat{BaromPressure_, cache};
    // The entering-air enthalpy of every Merkel integral below; a failure belongs to the integral.
    const double hIn = [&] {
      try {
        return sat(dWB);
      } catch (...) {
        FailFromCurrentException("CalcMerkelBasis");
      }
    }();
    auto merkelAt = [&](double approach) { return CalcMerkelBasis(sat, hIn, lg, dWB, dRange, approach); };

    // First valid approach on the coarse grid 1, 11, 21, ...
    double a = 1.0;
    double merkel = kInvalidMerkel;
    for (int i = 0; i < 101; ++i) {
      merkel = merkelAt(a);
      if (merkel != kInvalidMerkel) break;
      a += 10.0;
    }

    // Step by 10 until the target is bracketed; an invalid step is pulled back to the edge
    // of the valid region.
    double lo = 0.0;
    double hi = 0.0;
    if (target >= merkel) {
      hi = a;
      bool bracketed = false;
      for (int i = 0; i < 101 && !bracketed; ++i) {
        a -= 10.0;
        merkel = merkelAt(a);
        if (merkel == kInvalidMerkel) {
          merkel = FindValidApproach(sat, hIn, lg, dWB, dRange, a + 10.0, a);
          bracketed = true;
        } else if (target <= merkel) {
          bracketed = true;
        }
      }
      lo = a;
    } else {
      lo = a;
      bool bracketed = false;
      for (int i = 0; i < 101 && !bracketed; ++i) {
        a += 10.0;
        merkel = merkelAt(a);
        if (merkel == kInvalidMerkel) {
          merkel = FindValidApproach(sat, hIn, lg, dWB, dRange, a - 10.0, a);
          bracketed = true;
        } else if (target > merkel) {
          bracketed = true;
        }
      }
      hi = a;
    }

    for (int i = 0; i < 101; ++i) {
      a = (hi + lo) / 2.0;
      merkel = merkelAt(a);
      if (std::fabs(target - merkel) < 1e-6) break;
      if (target >= merkel) {
        hi = a;
      } else {
        lo = a;
      }
    }
    return a;
  } catch (...) {
    FailFromCurrentException("CalcApproach");
  }
}

// The air factor between 0.05 and 10 at which the tower reaches the approach
// dTargetApproach (bisection, at most 51 midpoints, tolerance 0.001 deg F). The approach of
// the last midpoint goes to *pFinalApproach.
double cClgTower::CalcAIRFactor(double dWB, double dRange, double dTargetApproach, double dH2O,
                                double* pFinalApproach) {
  try {
    auto cache = std::make_unique<SaturationCache>();
    double lo = 0.05;
    double hi = 10.0;
    double air = 0.0;
    double approach = 0.0;
    for (int n = 1;; ++n) {
      air = (hi + lo) / 2.0;
      approach = CalcApproach(air, dH2O, dWB, dRange, cache.get());
      if (approach >= dTargetApproach) {
        lo = air;  // more air needed
      } else {
        hi = air;
      }
      if (std::fabs(approach - dTargetApproach) < 0.001 || n > 50) break;
    }
    if (pFinalApproach) *pFinalApproach = approach;
    return air;
  } catch (...) {
    FailFromCurrentException("CalcAIRFactor");
  }
}

// ---- public methods -------------------------------------------------------------------

double cClgTower::CalcCmin(double& dCvalue1, double& dCvalue2) { return dCvalue1 < dCvalue2 ? dCvalue1 : dCvalue2; }

void cClgTower::CalcDesignFactors() {
  const char* method = "CalcDesignFactors";
  Guarded(method, [&] {
    DesignH2OFactor_ = Div(10.0, DesignRange_);
    if (!(BaromPressure_ > 0.0f)) {
      Fail(method, kErrBaromPressure, "The barometric pressure must be above 0 psia.");
    }
    DesignSolves::Solve solve{BaromPressure_, DesignWetBulb_, DesignRange_, DesignApproach_, 0.0, 0.0, false};
    if (!KnownDesignSolves().Find(solve)) {
      solve.air = CalcAIRFactor(DesignWetBulb_, DesignRange_, DesignApproach_, DesignH2OFactor_, &solve.reached);
      KnownDesignSolves().Keep(solve);
    }
    DesignAIRFactor_ = solve.air;
    const double reached = solve.reached;
    if (!(std::fabs(reached - DesignApproach_) < 0.001)) {
      Fail(method, kErrDesignNotMet,
           "The design approach cannot be met: the tower reaches " + std::to_string(reached) + " deg F instead of " +
               std::to_string(DesignApproach_) + " deg F.");
    }
  });
}

void cClgTower::CalcReturnWaterTemp() {
  const char* method = "CalcReturnWaterTemp";
  Guarded(method, [&] {
    if (WaterFlowRatio_ == 0.0) Raise(kErrDivisionByZero);  // an idle tower has no water factor
    ActualH2OFactor_ = WaterFlowRatio_ * DesignH2OFactor_;
    ActualAIRFactor_ = DesignAIRFactor_;
    ApproachSolve& last = lastApproach_;
    if (!(last.valid && last.pressure == BaromPressure_ && last.air == ActualAIRFactor_ &&
          last.h2o == ActualH2OFactor_ && last.wb == ActualWetBulb_ && last.range == ActualRange_)) {
      last.valid = false;
      const ApproachSolve* recent =
          recentApproaches_ ? recentApproaches_->Find(BaromPressure_, ActualAIRFactor_, ActualH2OFactor_,
                                                      ActualWetBulb_, ActualRange_)
                            : nullptr;
      const double approach =
          recent ? recent->approach : CalcApproach(ActualAIRFactor_, ActualH2OFactor_, ActualWetBulb_, ActualRange_);
      last = {true, BaromPressure_, ActualAIRFactor_, ActualH2OFactor_, ActualWetBulb_, ActualRange_, approach};
      if (recentApproaches_ && !recent) recentApproaches_->Keep(last);
    }
    ActualApproach_ = last.approach;
    RetWaterTemp_ = ActualWetBulb_ + ActualApproach_;
    if (RetWaterTemp_ < MinRetWaterTemp_) {
      RetWaterTemp_ = MinRetWaterTemp_;
      ActualApproach_ = MinRetWaterTemp_ - ActualWetBulb_;
    }
  });
}

void cClgTower::CalcFanKW() {
  Guarded("CalcFanKW", [&] {
    if (RetWaterTemp_ > MinRetWaterTemp_) {
      ActualFanKW_ = DesignFanKW_;
      return;
    }
    if (CapacityCtrl_ == Water_Bypass) {
      ActualAIRFactor_ = DesignAIRFactor_;
      ActualFanKW_ = DesignFanKW_;
      return;
    }
    if (EquipmentType_ == Cooling_Tower) {
      // The air factor that just holds the return water at the minimum.
      AirSolve& last = lastAir_;
      if (!(last.valid && last.pressure == BaromPressure_ && last.wb == ActualWetBulb_ && last.range == ActualRange_ &&
            last.target == ActualApproach_ && last.h2o == ActualH2OFactor_)) {
        last.valid = false;
        const double air = CalcAIRFactor(ActualWetBulb_, ActualRange_, ActualApproach_, ActualH2OFactor_);
        last = {true, BaromPressure_, ActualWetBulb_, ActualRange_, ActualApproach_, ActualH2OFactor_, air};
      }
      ActualAIRFactor_ = last.air;
    }
    const double r = Div(ActualAIRFactor_, DesignAIRFactor_);
    const double hpDesign = DesignFanKW_ * DesignFanElecEff_ / 0.746;
    switch (CapacityCtrl_) {
      case Fan_Cycling:
        ActualFanKW_ = r * DesignFanKW_;
        break;
      case Fan_VFD:
        if (r < 0.25) {
          ActualFanKW_ = r * (DesignFanKW_ * 0.151073) / 0.25;
        } else {
          const double r3 = r * r * r;
          const double e = Divisor(MotorTerm(r3) / 0.9417583 * DesignFanElecEff_ * (DriveTerm(r) / 0.9551));
          ActualFanKW_ = Finite(hpDesign * r3 * 0.746 / e);
        }
        break;
      case Fan_2_Speed: {
        const double s = LowSpdAirflow_;
        const double s3 = s * s * s;
        const double eLow = Divisor(MotorTerm(s3) * DesignFanElecEff_ / 0.9417583);
        const double kwLow = hpDesign * s3 * 0.746 / eLow;
        ActualFanKW_ = Finite(r > s ? Line(s, kwLow, 1.0, DesignFanKW_, r) : Line(0.0, 0.0, s, kwLow, r));
        break;
      }
      default:
        break;
    }
  });
}

void cClgTower::CalcDesignFactors_DryCooler() {
  const char* method = "CalcDesignFactors_DryCooler";
  Guarded(method, [&] {
    if (!(BaromPressure_ > 0.0f)) {
      Fail(method, kErrBaromPressure, "The barometric pressure must be above 0 psia.");
    }
    DesignCwater_ = DesignWaterFlow_ * 0.5004479999999999;
    const double density = static_cast<double>(BaromPressure_) / 14.696 * 0.075;
    DesignCair_ = density * 0.24 * 0.06 * DesignAirFlow_;
    const double cmin = CalcCmin(DesignCwater_, DesignCair_);
    const double heat = DesignRange_ * DesignCwater_;
    const double leaving = DesignApproach_ + DesignDryBulb_;
    const double entering = leaving + DesignRange_;
    DesignEffectiveness_ = Div(heat, (entering - DesignDryBulb_) * cmin);
    DesignAIRFactor_ = 1.0;
    if (DesignEffectiveness_ > 1.0) {
      Fail(method, kErrDesignNotMet,
           "The design approach cannot be met: the dry cooler would need an effectiveness of " +
               std::to_string(DesignEffectiveness_) + ".");
    }
  });
}

void cClgTower::CalcReturnWaterTemp_DryCooler() {
  Guarded("CalcReturnWaterTemp_DryCooler", [&] {
    const double cmin = CalcCmin(DesignCwater_, DesignCair_);
    const double heat = (ActualEntWaterTemp_ - ActualDryBulb_) * (cmin * DesignEffectiveness_);
    const double leaving = ActualEntWaterTemp_ - Div(heat, DesignCwater_);
    if (leaving >= MinRetWaterTemp_) {
      ActualAIRFactor_ = 1.0;
      RetWaterTemp_ = leaving;
      return;
    }
    if (CapacityCtrl_ == Water_Bypass) {
      // Fans at full flow, part of the water bypassed.
      ActualAIRFactor_ = 1.0;
    } else {
      // Fan control: the fraction of full heat rejection that holds the water at the minimum;
      // CalcFanKW turns it into fan power by the fan's own curve.
      const double drop = ActualEntWaterTemp_ - leaving;
      ActualAIRFactor_ = drop > 0.001 ? (ActualEntWaterTemp_ - MinRetWaterTemp_) / drop : 0.0;
    }
    RetWaterTemp_ = MinRetWaterTemp_;
  });
}
