// Axis ranges and tick values.
#include <algorithm>
#include <cmath>

#include "libs/vb/vbcompat.h"
#include "platform/graph/scene.h"

namespace graph {

namespace {

// The smallest step of 1, 2, 2.5 or 5 times a power of ten that divides `span` into at most
// about `target` parts.
double NiceStep(double span, int target) {
  const double raw = span / std::max(1, target);
  const double mag = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
    if (m * mag >= raw * (1 - 1e-9)) return m * mag;
  }
  return 10 * mag;
}

// A range of a positive span around a degenerate one (lo >= hi).
void Widen(double& lo, double& hi) {
  if (hi > lo) return;
  const double d = lo == 0 ? 1.0 : std::abs(lo) * 0.1;
  hi = lo + d;
}

bool Usable(double v) { return std::isfinite(v) && std::abs(v) < 1e15; }

}  // namespace

AxisRange ResolveScale(const Scale& scale, bool hasData, double lo, double hi, bool includeZero, int target) {
  if (!hasData || !Usable(lo) || !Usable(hi)) {
    lo = 0;
    hi = includeZero ? 1 : 0;
  }
  if (includeZero) {
    lo = std::min(lo, 0.0);
    hi = std::max(hi, 0.0);
  }
  // An automatic range around a constant value: 0 to 1 for 0, otherwise 10 % each way.
  if (hi <= lo) {
    const double d = lo == 0 ? 0.0 : std::abs(lo) * 0.1;
    if (d == 0) {
      hi = 1;
    } else {
      lo -= d;
      hi += d;
    }
  }
  const bool manualMin = (scale.mode == ScaleMode::Manual || scale.mode == ScaleMode::MinOnly) && Usable(scale.min);
  const bool manualMax = (scale.mode == ScaleMode::Manual || scale.mode == ScaleMode::MaxOnly) && Usable(scale.max);

  AxisRange r;
  if (manualMin && manualMax) {
    r.min = scale.min;
    r.max = scale.max;
    Widen(r.min, r.max);
  } else if (manualMin) {
    r.min = scale.min;
    double top = hi;
    if (top <= r.min) top = r.min + (r.min == 0 ? 1.0 : std::abs(r.min) * 0.1);
    const double step = NiceStep(top - r.min, target);
    r.max = std::ceil(top / step - 1e-9) * step;
  } else if (manualMax) {
    r.max = scale.max;
    double bottom = lo;
    if (bottom >= r.max) bottom = r.max - (r.max == 0 ? 1.0 : std::abs(r.max) * 0.1);
    const double step = NiceStep(r.max - bottom, target);
    r.min = std::floor(bottom / step + 1e-9) * step;
  } else {
    const double step = NiceStep(hi - lo, target);
    r.min = std::floor(lo / step + 1e-9) * step;
    r.max = std::ceil(hi / step - 1e-9) * step;
    Widen(r.min, r.max);
  }

  r.step = NiceStep(r.max - r.min, target);
  const double first = std::ceil(r.min / r.step - 1e-9) * r.step;
  for (int i = 0; i < 100; ++i) {
    double t = first + i * r.step;
    if (t > r.max + r.step * 1e-9) break;
    if (std::abs(t) < r.step * 1e-9) t = 0;  // no "-0"
    r.ticks.push_back(t);
  }
  return r;
}

std::string TickText(double value, double step) {
  int decimals = 0;
  while (decimals < 6) {
    const double scaled = step * std::pow(10.0, decimals);
    if (std::abs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, scaled)) break;
    ++decimals;
  }
  std::string pattern = "#,##0";
  if (decimals > 0) pattern += "." + std::string(static_cast<size_t>(decimals), '0');
  return vb::Format(value, pattern);
}

}  // namespace graph
