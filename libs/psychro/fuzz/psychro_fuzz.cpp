// Calls one public routine of PSYCHEN32 per input with arguments made from the bytes: each
// argument is a selector byte and, for a selector of 0x80 or above, the next four bytes as the
// float's bits (NaN, infinities, subnormals and negative zero included); below 0x80 it picks a
// value from a table of interesting ones (the boiling point, the limits, impossible pressures).
// Checked, as PSYCHEN32.h documents them:
// - an error is a PsychroError numbered 5, 6 or 11, and nothing else is thrown;
// - every result and every output of a complete-state operation is finite;
// - a pressure not finite or not above zero is error 5 in every routine that uses it, and a
//   complete-state operation (or MinimumVPSH) then leaves all its arguments as they were;
// - the wet bulb of air that exists (a pressure of 1 to 100 psia, a humidity ratio of 0 to 10,
//   a dry bulb of -100 to 1000 F) is no error and lies within 0.1 F of a root of its equation.
#include <array>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "libs/psychro/PSYCHEN32.h"
#include "libs/psychro/psychro_formulas.h"

namespace {

using P = PSYCHEN32;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kValues[] = {
    0.0f,     -0.0f,   1.0f,    -1.0f,     NAN,        kInf,    -kInf,       FLT_MAX, -FLT_MAX,    FLT_MIN,  1.0e-45f,
    1.0e-30f, 14.696f, 5.0f,    20.0f,     0.3f,       0.01f,   212.420731f, 212.42f, 161.538986f, 162.25f,  250.0f,
    150.0f,   -65.0f,  -460.0f, -459.67f,  32.0f,      31.999f, 95.0f,       70.0f,   0.0141f,     0.62198f, -0.62198f,
    0.2603f,  100.0f,  40.0f,   0.000358f, 0.0885863f, 1.0e10f, 13.5f,       -2.0f,   1000.0f};

// Reads the arguments from the input; missing bytes read as zero.
class Args {
 public:
  Args(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  float Float() {
    const uint8_t selector = Byte();
    if (selector < 0x80) return kValues[selector % std::size(kValues)];
    uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(Byte()) << (8 * i);
    float f = 0;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

void Require(bool ok) {
  if (!ok) std::abort();
}

bool PressureValid(float p) { return std::isfinite(p) && p > 0.0f; }

// The residual of the wet-bulb equation at tw in double, on the library's own curve: the
// saturation humidity the psychrometric equation asks for less the one at tw; minus infinity
// where no saturated air exists at tw.
double WetBulbResidual(double p, double t, double w, double tw) {
  const double ps = damplo::OverWater(tw) ? damplo::SatPresOverWater(tw) : damplo::SatPresOverIce(tw);
  if (!(ps < p)) return -INFINITY;
  const double asked = (1093.0 * w + (0.24 + 0.444 * w) * t - (w + 0.24) * tw) / (1093.0 - 0.556 * tw);
  return asked - 0.62198 * ps / (p - ps);
}

using StateOperation = void (*)(float, float&, float&, float&, float&, float&, float&, float&, float&);

void CompleteState(StateOperation op, float p, Args& args) {
  std::array<float, 8> v{};
  for (float& x : v) x = args.Float();
  const std::array<float, 8> passed = v;
  try {
    op(p, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
  } catch (const PsychroError& e) {
    if (!PressureValid(p)) {
      Require(e.Number() == PsychroError::kInvalidProcedureCall);
      Require(std::memcmp(v.data(), passed.data(), sizeof v) == 0);
    }
    throw;
  }
  Require(PressureValid(p));
  // Outputs are finite; the inputs were limited (Psy_ALL_DB_EN keeps the caller's dry bulb).
  for (std::size_t i = 2; i < v.size(); ++i) Require(std::isfinite(v[i]));
}

void WetBulb(float p, float t, float w) {
  long error = 0;
  float tw = 0;
  try {
    tw = P::WetBulbFromDBSH(p, t, w);
  } catch (const PsychroError& e) {
    error = e.Number();
    if (!PressureValid(p)) Require(error == PsychroError::kInvalidProcedureCall);
  }
  const bool exists = p >= 1.0f && p <= 100.0f && w >= 0.0f && w <= 10.0f && t >= -100.0f && t <= 1000.0f;
  if (!exists) return;
  Require(error == 0);
  Require(WetBulbResidual(p, t, w, tw - 0.1) > 0.0);
  Require(WetBulbResidual(p, t, w, tw + 0.1) < 0.0);
}

void Call(uint8_t op, Args& a) {
  // The routines that use the pressure must refuse an invalid one with error 5.
  auto single = [](float p, bool usesPressure, auto&& routine) {
    try {
      const double r = routine();
      Require(std::isfinite(r));
      if (usesPressure) Require(PressureValid(p));
    } catch (const PsychroError& e) {
      if (usesPressure && !PressureValid(p)) Require(e.Number() == PsychroError::kInvalidProcedureCall);
      throw;
    }
  };
  const float p = a.Float();
  const float x = a.Float();
  const float y = a.Float();
  const float z = a.Float();
  switch (op % 28) {
    case 0:
      return CompleteState(&P::Psy_ALL_DB_EN, p, a);
    case 1:
      return CompleteState(&P::Psy_ALL_DB_RH, p, a);
    case 2:
      return CompleteState(&P::Psy_ALL_DB_SH, p, a);
    case 3:
      return CompleteState(&P::Psy_ALL_DB_WB, p, a);
    case 4:
      return CompleteState(&P::Psy_ALL_SH_WB, p, a);
    case 5:
      return single(p, false, [&] { return P::BaromPres(p); });
    case 6:
      return single(p, false, [&] { return P::DryBulbFromENSH(x, y); });
    case 7:
      return single(p, false, [&] { return P::DryBulbFromSHWB(x, y, z); });
    case 8:
      return single(p, true, [&] { return P::DryBulbFromSVVP(p, x, y); });
    case 9:
      return single(p, false, [&] { return P::EnthalpyFromDBSH(x, y); });
    case 10: {
      float out = x;
      try {
        single(p, true, [&] {
          const float w = P::MinimumVPSH(p, out);
          Require(std::isfinite(out));
          return w;
        });
      } catch (const PsychroError&) {
        Require(std::memcmp(&out, &x, sizeof out) == 0);
        throw;
      }
      return;
    }
    case 11:
      return single(p, false, [&] { return P::RelHumFromSHSatSH(x, y); });
    case 12:
      return single(p, false, [&] {
        const double rh = P::RelHumFromVP(x, y);
        Require(rh <= 100.0);
        return rh;
      });
    case 13:
      return single(p, true, [&] { return P::SatSpecHumFromRHSH(p, x, y); });
    case 14:
      return single(p, false, [&] { return P::SatVaporPresFromDB(x); });
    case 15:
      return single(p, false, [&] { return P::SatVaporPresFromRHVP(p, x, y); });
    case 16:
      return single(p, true, [&] { return P::SpecHumFromDBEN(p, x, y); });
    case 17:
      return single(p, true, [&] { return P::SpecHumFromDBSV(p, x, y); });
    case 18:
      return single(p, true, [&] { return P::SpecHumFromDBWB(p, x, y, z); });
    case 19:
      return single(p, true, [&] { return P::SpecHumFromRHSatSH(p, x, y); });
    case 20:
      return single(p, true, [&] { return P::SpecHumFromVP(p, x); });
    case 21:
      return single(p, true, [&] { return P::SpecVolFromDBVP(p, x, y); });
    case 22:
      return single(p, true, [&] { return P::VaporPresFromDBSV(p, x, y); });
    case 23:
      return single(p, false, [&] { return P::VaporPresFromRH(p, x, y); });
    case 24:
      return single(p, true, [&] { return P::VaporPresFromSH(p, x); });
    case 25:
      return WetBulb(p, x, y);
    case 26:
      return single(p, false, [&] { return P::DewPointFromVP(x); });
    default:
      return single(p, false, [&] { return P::DryBulbFromSatVP(x); });
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Args args(data, size);
  const uint8_t op = args.Byte();
  try {
    Call(op, args);
  } catch (const PsychroError& e) {
    const long n = e.Number();
    Require(n == PsychroError::kInvalidProcedureCall || n == PsychroError::kOverflow ||
            n == PsychroError::kDivisionByZero);
  } catch (...) {
    std::abort();
  }
  return 0;
}
