// Every operation that takes a barometric pressure refuses one that is not positive, as it
// refuses a NaN: no state of moist air exists there (at 0 psia the humidity ratio of any
// vapour pressure would come out as -0.622).
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "libs/psychro/PSYCHEN32.h"

namespace {

using P = PSYCHEN32;

struct Routine {
  const char* name;
  // Calls the routine at the pressure with the arguments of a plausible state (95 F, 0.0141 lb/lb).
  std::function<void(float)> call;
};

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

std::vector<Routine> Routines() {
  return {
      {"Psy_ALL_DB_EN", State(&P::Psy_ALL_DB_EN, 95.0f, 40.0f)},
      {"Psy_ALL_DB_RH", State(&P::Psy_ALL_DB_RH, 95.0f, 40.0f)},
      {"Psy_ALL_DB_SH", State(&P::Psy_ALL_DB_SH, 95.0f, 0.0141f)},
      {"Psy_ALL_DB_WB", State(&P::Psy_ALL_DB_WB, 95.0f, 75.0f)},
      {"Psy_ALL_SH_WB", State(&P::Psy_ALL_SH_WB, 0.0141f, 75.0f)},
      {"DryBulbFromSVVP", [](float p) { P::DryBulbFromSVVP(p, 14.2f, 0.3f); }},
      {"MinimumVPSH",
       [](float p) {
         float pvMin = -7;
         try {
           P::MinimumVPSH(p, pvMin);
         } catch (...) {
           EXPECT_EQ(pvMin, -7.0f);
           throw;
         }
       }},
      {"SatSpecHumFromRHSH", [](float p) { P::SatSpecHumFromRHSH(p, 40.0f, 0.0141f); }},
      {"SatVaporPresFromRHVP", [](float p) { P::SatVaporPresFromRHVP(p, 40.0f, 0.3f); }},
      {"SpecHumFromDBEN", [](float p) { P::SpecHumFromDBEN(p, 95.0f, 40.0f); }},
      {"SpecHumFromDBSV", [](float p) { P::SpecHumFromDBSV(p, 95.0f, 14.2f); }},
      {"SpecHumFromDBWB", [](float p) { P::SpecHumFromDBWB(p, 95.0f, 0.0187f, 75.0f); }},
      {"SpecHumFromRHSatSH", [](float p) { P::SpecHumFromRHSatSH(p, 40.0f, 0.0187f); }},
      {"SpecHumFromVP", [](float p) { P::SpecHumFromVP(p, 0.3f); }},
      {"SpecVolFromDBVP", [](float p) { P::SpecVolFromDBVP(p, 95.0f, 0.3f); }},
      {"VaporPresFromDBSV", [](float p) { P::VaporPresFromDBSV(p, 95.0f, 14.2f); }},
      {"VaporPresFromRH", [](float p) { P::VaporPresFromRH(p, 40.0f, 0.8f); }},
      {"VaporPresFromSH", [](float p) { P::VaporPresFromSH(p, 0.0141f); }},
      {"WetBulbFromDBSH", [](float p) { P::WetBulbFromDBSH(p, 95.0f, 0.0141f); }},
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

TEST(PsychroPressure, EveryRoutineTakingAPressureRefusesOneThatIsNotPositive) {
  const float refused[] = {0.0f,
                           -0.0f,
                           -14.696f,
                           -1.0e-30f,
                           -std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN()};
  const std::vector<Routine> routines = Routines();
  ASSERT_EQ(routines.size(), 19u) << "every operation with a pressure argument";
  for (const Routine& r : routines) {
    // At sea level the arguments make a call that succeeds.
    EXPECT_EQ(ErrorOf(r, 14.696f), 0) << r.name;
    for (float p : refused) {
      EXPECT_EQ(ErrorOf(r, p), PsychroError::kInvalidProcedureCall) << r.name << " at " << p << " psia";
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
