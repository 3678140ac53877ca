#include "data/gen/chiller_map.h"

#include <algorithm>
#include <stdexcept>

namespace chillermap {
namespace {

double CapRaw(const CurveSet& curves, double lchwtC, double ecwtC) {
  return curves.capFT(lchwtC, std::max(ecwtC, curves.capMinECWTC));
}

// Value, first and second derivative of a biquadratic in x at fixed y.
struct Taylor {
  double v, d1, d2;
};
Taylor AlongX(const Biquadratic& f, double x, double y) {
  const auto& c = f.c;
  return {f(x, y), c[1] + 2 * c[2] * x + c[5] * y, 2 * c[2]};
}

}  // namespace

double FahrenheitToCelsius(double f) { return (f - 32.0) * 5.0 / 9.0; }

double CapacityRatio(const CurveSet& curves, const Design& design, double lchwtF, double ecwtF) {
  const double ref = CapRaw(curves, FahrenheitToCelsius(design.lchwtF), FahrenheitToCelsius(design.ecwtF));
  return CapRaw(curves, FahrenheitToCelsius(lchwtF), FahrenheitToCelsius(ecwtF)) / ref;
}

double EirRatio(const CurveSet& curves, const Design& design, double lchwtF, double ecwtF) {
  const double ref =
      curves.eirFT(FahrenheitToCelsius(design.lchwtF), FahrenheitToCelsius(design.ecwtF));
  return curves.eirFT(FahrenheitToCelsius(lchwtF), FahrenheitToCelsius(ecwtF)) / ref;
}

Map MakeMap(const CurveSet& curves, const Design& design, const std::vector<double>& ecwtF,
            const std::vector<double>& loadPct) {
  if (ecwtF.empty() || loadPct.empty()) throw std::invalid_argument("empty chiller map axis");
  const double x0 = FahrenheitToCelsius(design.lchwtF);
  const double y0 = FahrenheitToCelsius(design.ecwtF);
  const double plrFull = curves.eirFPLR(1.0);
  if (CapRaw(curves, x0, y0) <= 0 || curves.eirFT(x0, y0) <= 0 || plrFull <= 0) {
    throw std::invalid_argument("chiller curves are not positive at the design point");
  }
  Map map;
  map.ecwtF = ecwtF;
  map.loadPct = loadPct;
  for (double ecwt : ecwtF) {
    const double capRatio = CapacityRatio(curves, design, design.lchwtF, ecwt);
    const double eirRatio = EirRatio(curves, design, design.lchwtF, ecwt);
    std::vector<double> cap, input;
    for (double pct : loadPct) {
      if (pct <= 0 || pct > 100) throw std::invalid_argument("chiller map load outside 0..100 %");
      const double plr = pct / 100.0;
      cap.push_back(design.capacityTons * capRatio * plr);
      // kW per ton delivered: EIR at this plr over the plr itself.
      input.push_back(design.kwPerTon * eirRatio * (curves.eirFPLR(plr) / plrFull) / plr);
    }
    map.capacity.push_back(cap);
    map.input.push_back(input);
  }
  // Supply-temperature corrections at the design condenser temperature, per deg F: the
  // capacity curve is quadratic in the leaving temperature; the power (capacity x EIR) is
  // the product of two quadratics, kept to second order.
  const double k = 5.0 / 9.0;
  const Taylor cap = AlongX(curves.capFT, x0, std::max(y0, curves.capMinECWTC));
  const Taylor eir = AlongX(curves.eirFT, x0, y0);
  const double c1 = cap.d1 / cap.v, c2 = 0.5 * cap.d2 / cap.v;
  const double e1 = eir.d1 / eir.v, e2 = 0.5 * eir.d2 / eir.v;
  map.coef[2] = c1 * k;
  map.coef[3] = c2 * k * k;
  map.coef[0] = (c1 + e1) * k;
  map.coef[1] = (c2 + e2 + c1 * e1) * k * k;
  return map;
}

}  // namespace chillermap
