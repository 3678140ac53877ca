// The template chiller's performance map, tabulated from a generic curve set of the form
// used by building energy programs:
//   available capacity = Qref * CAPFT(tchw, tcond)
//   power              = Qref * CAPFT * EIRref * EIRFT(tchw, tcond) * EIRFPLR(plr)
// with biquadratic CAPFT and EIRFT in deg C and a quadratic EIRFPLR of the part-load ratio.
// Both temperature curves are normalised to 1 at the design point (44 deg F leaving
// chilled water, 85 deg F entering condenser water), so the map passes exactly through the
// design capacity and the design kW per ton.
#pragma once

#include <array>
#include <vector>

namespace chillermap {

struct Biquadratic {
  std::array<double, 6> c{};
  double operator()(double x, double y) const {
    return c[0] + c[1] * x + c[2] * x * x + c[3] * y + c[4] * y * y + c[5] * x * y;
  }
};

struct Quadratic {
  std::array<double, 3> c{};
  double operator()(double p) const { return c[0] + c[1] * p + c[2] * p * p; }
};

struct CurveSet {
  Biquadratic capFT;
  Biquadratic eirFT;
  Quadratic eirFPLR;
  double capMinECWTC = -1e9;  // the capacity curve is held below this condenser temperature
};

struct Design {
  double capacityTons = 600;
  double kwPerTon = 0.57;
  double lchwtF = 44;
  double ecwtF = 85;
};

// cap(e, r) in tons and input(e, r) in kW per ton, e over the ECWT axis and r over the
// load rows (percent of the available capacity at that ECWT).
struct Map {
  std::vector<double> ecwtF;
  std::vector<double> loadPct;
  std::vector<std::vector<double>> capacity;  // [e][r]
  std::vector<std::vector<double>> input;     // [e][r]
  // Supply-temperature corrections, dT = supply - design leaving temperature (deg F):
  // capacity x (1 + coef[2] dT + coef[3] dT^2), power x (1 + coef[0] dT + coef[1] dT^2).
  std::array<double, 4> coef{};
};

double FahrenheitToCelsius(double f);

// Capacity and power ratios against the design point at a leaving chilled-water and an
// entering condenser-water temperature (deg F).
double CapacityRatio(const CurveSet& curves, const Design& design, double lchwtF, double ecwtF);
double EirRatio(const CurveSet& curves, const Design& design, double lchwtF, double ecwtF);

// Tabulates the map. Throws std::invalid_argument for an empty axis, a load outside
// (0, 100] or a curve that is not positive at the design point.
Map MakeMap(const CurveSet& curves, const Design& design, const std::vector<double>& ecwtF,
            const std::vector<double>& loadPct);

}  // namespace chillermap
