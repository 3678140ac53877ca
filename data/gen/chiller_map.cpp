#include "data/gen/chiller_map.h"

#include <algorithm>
#include <stdexcept>

#include "data/gen/text_tables.h"

namespace chillermap {
namespace {

double CapRaw(const CurveSet& curves, double lchwtC, double ecwtC) {
  return curves.capFT(curves.lchwtC.Hold(lchwtC), curves.ecwtC.Hold(ecwtC));
}

double EirRaw(const CurveSet& curves, double lchwtC, double ecwtC) {
  return curves.eirFT(curves.lchwtC.Hold(lchwtC), curves.ecwtC.Hold(ecwtC));
}

double PlrRaw(const CurveSet& curves, double plr) { return curves.eirFPLR(curves.plr.Hold(plr)); }

// Value, first and second derivative of a biquadratic in x at fixed y.
struct Taylor {
  double v, d1, d2;
};
Taylor AlongX(const Biquadratic& f, double x, double y) {
  const auto& c = f.c;
  return {f(x, y), c[1] + 2 * c[2] * x + c[5] * y, 2 * c[2]};
}

}  // namespace

CurveSet LoadCurves(const std::string& path) {
  const auto ini = texttables::IniFile::Load(path);
  CurveSet c;
  const auto cap = ini.Numbers("curves", "CapFT");
  const auto eir = ini.Numbers("curves", "EIRFT");
  const auto plr = ini.Numbers("curves", "EIRFPLR");
  if (cap.size() != 6 || eir.size() != 6 || plr.size() != 3) {
    throw std::runtime_error(path + ": CapFT and EIRFT need 6, EIRFPLR 3 coefficients");
  }
  for (int i = 0; i < 6; ++i) c.capFT.c[i] = cap[i], c.eirFT.c[i] = eir[i];
  for (int i = 0; i < 3; ++i) c.eirFPLR.c[i] = plr[i];
  const auto range = [&](const char* key) {
    const auto v = ini.Numbers("curves", key);
    if (v.size() != 2 || !(v[0] < v[1])) throw std::runtime_error(path + ": " + key + " needs min < max");
    return Range{v[0], v[1]};
  };
  c.lchwtC = range("LCHWT_Range_C");
  c.ecwtC = range("ECWT_Range_C");
  c.plr = range("PLR_Range");
  return c;
}

double FahrenheitToCelsius(double f) { return (f - 32.0) * 5.0 / 9.0; }

double CapacityRatio(const CurveSet& curves, const Design& design, double lchwtF, double ecwtF) {
  const double ref = CapRaw(curves, FahrenheitToCelsius(design.lchwtF), FahrenheitToCelsius(design.ecwtF));
  return CapRaw(curves, FahrenheitToCelsius(lchwtF), FahrenheitToCelsius(ecwtF)) / ref;
}

double EirRatio(const CurveSet& curves, const Design& design, double lchwtF, double ecwtF) {
  const double ref = EirRaw(curves, FahrenheitToCelsius(design.lchwtF), FahrenheitToCelsius(design.ecwtF));
  return EirRaw(curves, FahrenheitToCelsius(lchwtF), FahrenheitToCelsius(ecwtF)) / ref;
}

double KwPerTon(const CurveSet& curves, const Design& design, double plr, double ecwtF) {
  // kW per ton delivered: the EIR at this part-load ratio over the ratio itself.
  return design.kwPerTon * EirRatio(curves, design, design.lchwtF, ecwtF) *
         (PlrRaw(curves, plr) / PlrRaw(curves, 1.0)) / plr;
}

double RatingKwPerTon(const CurveSet& curves, const Design& design, double loadShare, double ecwtF) {
  const double plr = loadShare / CapacityRatio(curves, design, design.lchwtF, ecwtF);
  return KwPerTon(curves, design, plr, ecwtF);
}

double StandardIplv(const CurveSet& curves, const Design& design) {
  constexpr double kPoints[4][3] = {{0.01, 1.00, 85}, {0.42, 0.75, 75}, {0.45, 0.50, 65}, {0.12, 0.25, 65}};
  double sum = 0;
  for (const auto& p : kPoints) sum += p[0] / RatingKwPerTon(curves, design, p[1], p[2]);
  return 1.0 / sum;
}

Map MakeMap(const CurveSet& curves, const Design& design, const std::vector<double>& ecwtF,
            const std::vector<double>& loadPct) {
  if (ecwtF.empty() || loadPct.empty()) throw std::invalid_argument("empty chiller map axis");
  const double x0 = FahrenheitToCelsius(design.lchwtF);
  const double y0 = FahrenheitToCelsius(design.ecwtF);
  // The design point may lie on a limit that the source printed rounded (it is then held
  // there, a few thousandths of a degree away, like every other input beyond the range).
  if (!curves.lchwtC.Contains(x0, kPrintedRangeToleranceC) || !curves.ecwtC.Contains(y0, kPrintedRangeToleranceC) ||
      !curves.plr.Contains(1.0)) {
    throw std::invalid_argument("the design point lies outside the chiller curves' range");
  }
  if (CapRaw(curves, x0, y0) <= 0 || EirRaw(curves, x0, y0) <= 0 || PlrRaw(curves, 1.0) <= 0) {
    throw std::invalid_argument("chiller curves are not positive at the design point");
  }
  Map map;
  map.ecwtF = ecwtF;
  map.loadPct = loadPct;
  for (double ecwt : ecwtF) {
    const double capRatio = CapacityRatio(curves, design, design.lchwtF, ecwt);
    std::vector<double> cap, input;
    for (double pct : loadPct) {
      if (pct <= 0 || pct > 100) throw std::invalid_argument("chiller map load outside 0..100 %");
      const double plr = pct / 100.0;
      cap.push_back(design.capacityTons * capRatio * plr);
      input.push_back(KwPerTon(curves, design, plr, ecwt));
    }
    map.capacity.push_back(cap);
    map.input.push_back(input);
  }
  // Supply-temperature corrections at the design condenser temperature (inside the range),
  // per deg F: the
  // capacity curve is quadratic in the leaving temperature; the power (capacity x EIR) is
  // the product of two quadratics, kept to second order.
  const double k = 5.0 / 9.0;
  const double xd = curves.lchwtC.Hold(x0), yd = curves.ecwtC.Hold(y0);
  const Taylor cap = AlongX(curves.capFT, xd, yd);
  const Taylor eir = AlongX(curves.eirFT, xd, yd);
  const double c1 = cap.d1 / cap.v, c2 = 0.5 * cap.d2 / cap.v;
  const double e1 = eir.d1 / eir.v, e2 = 0.5 * eir.d2 / eir.v;
  map.coef[2] = c1 * k;
  map.coef[3] = c2 * k * k;
  map.coef[0] = (c1 + e1) * k;
  map.coef[1] = (c2 + e2 + c1 * e1) * k * k;
  return map;
}

}  // namespace chillermap
