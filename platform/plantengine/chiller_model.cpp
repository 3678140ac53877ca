#include "platform/plantengine/chiller_model.h"

#include <algorithm>
#include <cmath>

namespace grendax::detail {

double Lerp(double x1, double y1, double x2, double y2, double x) {
  if (x == x1) return y1;
  if (x == x2) return y2;
  if (std::fabs(x2 - x1) < 1e-9) return y1;
  return y1 + (x - x1) * (y2 - y1) / (x2 - x1);
}

namespace {

void AddPoint(ChillerCurve::Column& col, double cap, double input) {
  if (!(cap > 0) || !(input > 0)) return;  // 0 is a missing value, a negative one unusable
  // Keep the rows in decreasing capacity; a row that does not decrease is skipped.
  if (!col.cap.empty() && !(cap < col.cap.back())) return;
  col.cap.push_back(cap);
  col.input.push_back(input);
}

// Supply-temperature correction factor 1 + a dT + b dT^2 (exactly 1 at dT = 0).
double Correction(double a, double b, double dT) {
  if (dT == 0) return 1.0;
  return 1.0 + a * dT + b * dT * dT;
}

// Input of one column at a capacity, along its rows (end segments extended).
double ColumnInput(const ChillerCurve::Column& col, double load) {
  const size_t n = col.cap.size();
  if (n == 0) return 0;
  if (n == 1) return col.cap[0] > 0 ? col.input[0] * load / col.cap[0] : 0;
  size_t r = 0;  // segment r .. r+1, capacities decreasing
  while (r + 2 < n && load < col.cap[r + 1]) ++r;
  return Lerp(col.cap[r], col.input[r], col.cap[r + 1], col.input[r + 1], load);
}

// The neighbouring columns of an ECWT and the weight of the second (0 = first only).
void Neighbours(const ChillerCurve& c, double ecwt, size_t& j, size_t& k, double& w) {
  const size_t n = c.columns.size();
  j = k = 0;
  w = 0;
  if (n == 1 || ecwt >= c.columns[0].ecwt) return;
  if (ecwt <= c.columns[n - 1].ecwt) {
    j = k = n - 1;
    return;
  }
  while (j + 1 < n && ecwt < c.columns[j + 1].ecwt) ++j;
  k = j + 1;
  if (ecwt == c.columns[k].ecwt) {  // on a column: its values alone, exactly
    j = k;
    return;
  }
  const double span = c.columns[j].ecwt - c.columns[k].ecwt;
  w = span > 1e-9 ? (c.columns[j].ecwt - ecwt) / span : 0;
}

double Blend(double a, double b, double w) { return w == 0 ? a : a + (b - a) * w; }

}  // namespace

ChillerCurve BuildCurve(const ChillerSetup& s) {
  ChillerCurve c;
  c.designCapacity = s.Capacity;
  c.minCapacity = s.MinCapacity;
  c.designLCHWT = s.DesignLCHWT;
  for (int i = 1; i <= 4; ++i) c.coef[i] = s.MapCoef[i];
  const int cols = std::clamp(s.MapECWTCount, 0, kMaxMapECWTs);
  const int rows = std::clamp(s.MapLoadCount, 0, kMaxMapLoads);
  if (cols > 0 && rows > 0) {
    for (int j = 1; j <= cols; ++j) {
      ChillerCurve::Column col;
      col.ecwt = s.MapECWT[j];
      for (int r = 1; r <= rows; ++r) AddPoint(col, s.MapCapacity[j][r], s.MapInput[j][r]);
      if (col.cap.empty()) continue;  // a column without data plays no part
      col.fullCapacity = col.cap.front();
      c.columns.push_back(std::move(col));
    }
    // Keep the axis descending even if the map was not prepared so.
    std::stable_sort(c.columns.begin(), c.columns.end(),
                     [](const ChillerCurve::Column& a, const ChillerCurve::Column& b) { return a.ecwt > b.ecwt; });
  }
  if (c.columns.empty() && s.PartLoadPointCount > 0) {
    // Part-load table: one column without ECWT dependence, points in decreasing capacity.
    std::vector<std::pair<double, double>> pts;
    for (int i = 1; i <= kMaxPartLoadPoints; ++i)
      if (s.PartLoadCapacity[i] > 0 && s.PartLoadInput[i] > 0)
        pts.emplace_back(s.PartLoadCapacity[i], s.PartLoadInput[i]);
    std::stable_sort(pts.begin(), pts.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    ChillerCurve::Column col;
    for (const auto& p : pts) AddPoint(col, p.first, p.second);
    if (!col.cap.empty()) {
      col.fullCapacity = col.cap.front();
      c.columns.push_back(std::move(col));
    }
  }
  return c;
}

double AvailableCapacity(const ChillerCurve& c, double ecwt, double supplyTemp) {
  const double k = Correction(c.coef[3], c.coef[4], supplyTemp - c.designLCHWT);
  if (c.columns.empty()) return std::max(0.0, c.designCapacity * k);
  size_t j, m;
  double w;
  Neighbours(c, ecwt, j, m, w);
  return std::max(0.0, Blend(c.columns[j].fullCapacity, c.columns[m].fullCapacity, w) * k);
}

double InputAtLoad(const ChillerCurve& c, double ecwt, double load, double supplyTemp) {
  if (c.columns.empty()) return 0;
  const double dT = supplyTemp - c.designLCHWT;
  const double kc = Correction(c.coef[3], c.coef[4], dT);
  const double ki = Correction(c.coef[1], c.coef[2], dT);
  double run = std::max(load, c.minCapacity);  // false loading below the minimum
  // The map is in uncorrected capacity: look the load up at its uncorrected equivalent.
  if (kc > 1e-9 && kc != 1.0) run /= kc;
  size_t j, m;
  double w;
  Neighbours(c, ecwt, j, m, w);
  const double in = Blend(ColumnInput(c.columns[j], run), m == j ? 0 : ColumnInput(c.columns[m], run), w);
  return std::max(0.0, in * ki);
}

bool IsHeatDriven(const ChillerSetup& s) { return s.CycleType == 2 || (s.EnergySource != 0 && s.EnergySource != 3); }

}  // namespace grendax::detail

double ChillerInputAt(const cChiller& chiller, double ecwt, double load, double supplyTemp) {
  grendax::detail::ChillerSetup s;
  s.Capacity = chiller.Capacity();
  s.MinCapacity = chiller.MinCapacity();
  s.DesignLCHWT = chiller.DesignLCHWT();
  s.MapCoef[1] = chiller.MapCoef1();
  s.MapCoef[2] = chiller.MapCoef2();
  s.MapCoef[3] = chiller.MapCoef3();
  s.MapCoef[4] = chiller.MapCoef4();
  s.MapECWTCount = std::clamp(chiller.MapECWTCount(), 0, grendax::kMaxMapECWTs);
  s.MapLoadCount = std::clamp(chiller.MapLoadCount(), 0, grendax::kMaxMapLoads);
  for (int c = 1; c <= s.MapECWTCount; ++c) {
    s.MapECWT[c] = chiller.MapECWT(c);
    for (int r = 1; r <= s.MapLoadCount; ++r) {
      s.MapCapacity[c][r] = chiller.MapCapacity(c, r);
      s.MapInput[c][r] = chiller.MapInput(c, r);
    }
  }
  s.PartLoadPointCount = chiller.PartLoadPointCount();
  for (int i = 1; i <= grendax::kMaxPartLoadPoints; ++i) {
    s.PartLoadCapacity[i] = chiller.PartLoadCapacity(i);
    s.PartLoadPct[i] = chiller.PartLoadPct(i);
    s.PartLoadInput[i] = chiller.PartLoadInput(i);
  }
  return grendax::detail::InputAtLoad(grendax::detail::BuildCurve(s), ecwt, load, supplyTemp);
}
