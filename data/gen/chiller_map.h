// The template chiller's performance map, tabulated from a generic curve set of the form
// used by building energy programs:
//   available capacity = Qref * CAPFT(tchw, tcond)
//   power              = Qref * CAPFT * EIRref * EIRFT(tchw, tcond) * EIRFPLR(plr)
// with biquadratic CAPFT and EIRFT in deg C and a quadratic EIRFPLR of the part-load ratio.
// Both temperature curves are normalised to 1 at the design point (44 deg F leaving
// chilled water, 85 deg F entering condenser water), so the map passes exactly through the
// design capacity and the design kW per ton. Every curve is evaluated inside the range its
// source publishes: an input beyond it is held at the limit, as building simulation
// programs do, so no map point rests on extrapolation.
#pragma once

#include <array>
#include <string>
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

// A closed interval of a curve input.
struct Range {
  double min = 0, max = 0;
  double Hold(double v) const { return v < min ? min : (v > max ? max : v); }
  bool Contains(double v, double tolerance = 0) const { return v >= min - tolerance && v <= max + tolerance; }
};

// Published ranges are printed to 0.01 deg C: a limit given as 29.44 is 85 deg F.
inline constexpr double kPrintedRangeToleranceC = 0.005;

struct CurveSet {
  Biquadratic capFT;
  Biquadratic eirFT;
  Quadratic eirFPLR;
  // The published ranges of the inputs: leaving chilled water and entering condenser water
  // (deg C) of both temperature curves, part-load ratio of the part-load curve.
  Range lchwtC, ecwtC, plr;
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

// Reads a curve set from its INI source ([curves] CapFT, EIRFT, EIRFPLR and the three
// ranges). Throws std::runtime_error on a missing or malformed value.
CurveSet LoadCurves(const std::string& path);

double FahrenheitToCelsius(double f);

// Capacity and power ratios against the design point at a leaving chilled-water and an
// entering condenser-water temperature (deg F), the inputs held inside the curves' range.
double CapacityRatio(const CurveSet& curves, const Design& design, double lchwtF, double ecwtF);
double EirRatio(const CurveSet& curves, const Design& design, double lchwtF, double ecwtF);

// kW per ton at a part-load ratio and a condenser temperature (deg F), design leaving
// chilled water: what the map tabulates.
double KwPerTon(const CurveSet& curves, const Design& design, double plr, double ecwtF);

// kW per ton at a load given as a share of the design capacity (the rating's percent load)
// and a condenser temperature (deg F), design leaving chilled water: the part-load ratio is
// taken against the capacity available at that ECWT, as the plant calculation rates a
// chiller from its map.
double RatingKwPerTon(const CurveSet& curves, const Design& design, double loadShare, double ecwtF);

// The standard IPLV (kW/ton) straight from the curves: 1 / sum(w / kW per ton) over the
// rating points 100, 75, 50 and 25 % load at 85, 75, 65 and 65 deg F entering condenser
// water, weights 1, 42, 45 and 12 %, each point rated by RatingKwPerTon.
double StandardIplv(const CurveSet& curves, const Design& design);

// Tabulates the map. Throws std::invalid_argument for an empty axis, a load outside
// (0, 100], a design point outside the curves' range or a curve that is not positive there.
Map MakeMap(const CurveSet& curves, const Design& design, const std::vector<double>& ecwtF,
            const std::vector<double>& loadPct);

}  // namespace chillermap
