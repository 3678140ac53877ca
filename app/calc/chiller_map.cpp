#include "app/calc/chiller_map.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "app/calc/modCalcs.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"
#include "libs/vb/vberror.h"

namespace modCalcs {

namespace {

bool Present(float v) { return v > 0.0f; }

// Linear estimate through (x1, y1) and (x2, y2); false when bInterpolate failed.
bool Estimate(float x1, float x2, float x, float y1, float y2, float& y) { return bInterpolate(x1, x2, x, y1, y2, y); }

// Neighbours of cell k along one axis of length n: which of k-1, k-2, k+1, k+2 hold data.
struct Neighbours {
  bool left1 = false, leftPair = false, right1 = false, rightPair = false;
};

template <class Get>
Neighbours Classify(int k, int n, Get value) {
  Neighbours nb;
  nb.left1 = k - 1 >= 1 && Present(value(k - 1));
  nb.leftPair = nb.left1 && k - 2 >= 1 && Present(value(k - 2));
  nb.right1 = k + 1 <= n && Present(value(k + 1));
  nb.rightPair = nb.right1 && k + 2 <= n && Present(value(k + 2));
  return nb;
}

// The estimate of a missing cell k from its neighbours along one axis: both sides
// interpolate, a pair on one side extrapolates. `formed` tells whether one was computed.
template <class Get, class X>
bool EstimateAlong(int k, const Neighbours& nb, Get value, X x, float& y, bool& formed) {
  formed = true;
  if (nb.left1 && nb.right1) return Estimate(x(k - 1), x(k + 1), x(k), value(k - 1), value(k + 1), y);
  if (nb.leftPair) return Estimate(x(k - 2), x(k - 1), x(k), value(k - 2), value(k - 1), y);
  if (nb.rightPair) return Estimate(x(k + 2), x(k + 1), x(k), value(k + 2), value(k + 1), y);
  formed = false;
  return true;
}

void SortECWTDescending(ChillerMapWork& m) {
  for (int i = 1; i <= m.nECWT; ++i) {
    for (int j = i + 1; j <= m.nECWT; ++j) {
      if (m.ecwt[i] < m.ecwt[j]) {
        std::swap(m.ecwt[i], m.ecwt[j]);
        for (int r = 1; r <= m.nLoad; ++r) {
          std::swap(m.cap[i][r], m.cap[j][r]);
          std::swap(m.input[i][r], m.input[j][r]);
        }
      }
    }
  }
}

void SortPartLoadDescending(ChillerMapWork& m) {
  for (int i = 1; i <= kMaxPartLoadPoints; ++i) {
    for (int j = i + 1; j <= kMaxPartLoadPoints; ++j) {
      if (m.plPct[i] < m.plPct[j]) {
        std::swap(m.plPct[i], m.plPct[j]);
        std::swap(m.plCap[i], m.plCap[j]);
        std::swap(m.plInput[i], m.plInput[j]);
      }
    }
  }
}

void ScaleMap(ChillerMapWork& m) {
  for (int c = 1; c <= m.nECWT; ++c) {
    for (int r = 1; r <= m.nLoad; ++r) {
      float& in = m.input[c][r];
      float& cp = m.cap[c][r];
      if (!m.bFLPowerTotal) in = in * cp;  // per-ton input becomes total input
      if (m.nType == 6 || m.nType == 7) in = static_cast<float>(static_cast<double>(in) * m.fInputHeatFactor * 0.001);
      cp = cp * 12.0f;  // tons to kBtu/h
    }
  }
}

// Missing capacities along the ECWT axis, row by row.
bool FillCapacitiesAlongECWT(ChillerMapWork& m) {
  for (int r = 1; r <= m.nLoad; ++r) {
    auto value = [&](int c) { return m.cap[c][r]; };
    auto x = [&](int c) { return m.ecwt[c]; };
    for (int pass = 1; pass <= 6; ++pass) {
      for (int c = 1; c <= m.nECWT; ++c) {
        if (m.cap[c][r] != 0.0f) continue;
        const Neighbours nb = Classify(c, m.nECWT, value);
        float y = 0.0f;
        bool formed = false;
        if (!EstimateAlong(c, nb, value, x, y, formed)) return false;
        if (!formed) {
          if (nb.left1)
            y = value(c - 1);
          else if (nb.right1)
            y = value(c + 1);
        }
        if (y > 0.0f) m.cap[c][r] = y;
      }
      bool missing = false;
      for (int c = 1; c <= m.nECWT; ++c) missing = missing || m.cap[c][r] == 0.0f;
      if (!missing) break;
    }
  }
  return true;
}

// Rows whose first-column capacity is still missing, filled linearly in the row number
// from two rows with data.
bool FillEmptyRows(ChillerMapWork& m, const std::string& chillerName) {
  if (m.nECWT < 1) return true;  // no columns, nothing to fill
  auto hasData = [&](int r) { return Present(m.cap[1][r]); };
  for (int r = 1; r <= m.nLoad; ++r) {
    if (m.cap[1][r] != 0.0f) continue;
    int a = 0, b = 0;
    if (r == 1) {
      for (int k = 2; k <= m.nLoad && b == 0; ++k) {
        if (!hasData(k)) continue;
        if (a == 0)
          a = k;
        else
          b = k;
      }
    } else if (r == m.nLoad) {
      for (int k = r - 1; k >= 1 && b == 0; --k) {
        if (!hasData(k)) continue;
        if (a == 0)
          a = k;
        else
          b = k;
      }
    } else {
      for (int k = r + 1; k <= m.nLoad && a == 0; ++k)
        if (hasData(k)) a = k;
      for (int k = r - 1; k >= 1 && b == 0; --k)
        if (hasData(k)) b = k;
    }
    if (a == 0 || b == 0) {
      vb::Raise(vb::kInvalidProcedureCall,
                "The performance map of chiller \"" + chillerName + "\" has an empty load row (row " +
                    std::to_string(r) +
                    ") that cannot be filled: it needs load rows with data on both sides, or two "
                    "rows with data for the first and the last row.");
    }
    for (int c = 1; c <= m.nECWT; ++c) {
      float y = 0.0f;
      if (!Estimate(static_cast<float>(a), static_cast<float>(b), static_cast<float>(r), m.cap[c][a], m.cap[c][b], y))
        return false;
      if (y > 0.0f) m.cap[c][r] = y;
    }
  }
  return true;
}

// Missing inputs, from a row estimate (capacity as x) and a column estimate (ECWT as x).
bool FillInputs(ChillerMapWork& m) {
  for (int pass = 1; pass <= kMaxMapLoads; ++pass) {
    bool missing = false;
    for (int c = 1; c <= m.nECWT; ++c) {
      for (int r = 1; r <= m.nLoad; ++r) {
        if (m.input[c][r] != 0.0f) continue;
        auto rowValue = [&](int k) { return m.input[c][k]; };
        auto rowX = [&](int k) { return m.cap[c][k]; };
        auto colValue = [&](int k) { return m.input[k][r]; };
        auto colX = [&](int k) { return m.ecwt[k]; };
        const Neighbours rowNb = Classify(r, m.nLoad, rowValue);
        const Neighbours colNb = Classify(c, m.nECWT, colValue);
        float rowEst = 0.0f, colEst = 0.0f;
        bool rowFormed = false, colFormed = false;
        if (!EstimateAlong(r, rowNb, rowValue, rowX, rowEst, rowFormed)) return false;
        if (!EstimateAlong(c, colNb, colValue, colX, colEst, colFormed)) return false;
        if (!rowFormed && !colFormed) {
          if (rowNb.left1)
            rowEst = rowValue(r - 1);
          else if (rowNb.right1)
            rowEst = rowValue(r + 1);
          if (colNb.left1)
            colEst = colValue(c - 1);
          else if (colNb.right1)
            colEst = colValue(c + 1);
        }
        if (rowEst > 0.0f && colEst > 0.0f)
          m.input[c][r] = (rowEst + colEst) / 2.0f;
        else if (rowEst > 0.0f)
          m.input[c][r] = rowEst;
        else if (colEst > 0.0f)
          m.input[c][r] = colEst;
        else
          missing = true;
      }
    }
    if (!missing) break;
  }
  return true;
}

}  // namespace

bool PrepareChillerMap(ChillerMapWork& m, const std::string& chillerName) {
  auto checkCount = [&](int n, int max, const char* what) {
    if (n < 0 || n > max)
      vb::Raise(vb::kSubscriptOutOfRange, "The performance map of chiller \"" + chillerName + "\" has " +
                                              std::to_string(n) + " " + what + "; 0 to " + std::to_string(max) +
                                              " are allowed.");
  };
  checkCount(m.nECWT, kMaxMapECWTs, "ECWT points");
  checkCount(m.nLoad, kMaxMapLoads, "load points");
  // A part-load count of 0 or less means no table.
  if (m.nPartLoadPoints > kMaxPartLoadPoints)
    vb::Raise(vb::kSubscriptOutOfRange, "The performance map of chiller \"" + chillerName + "\" has " +
                                            std::to_string(m.nPartLoadPoints) + " part-load points; at most " +
                                            std::to_string(kMaxPartLoadPoints) + " are allowed.");

  SortECWTDescending(m);
  if (m.nPartLoadPoints > 0) SortPartLoadDescending(m);
  ScaleMap(m);
  if (!FillCapacitiesAlongECWT(m)) return false;
  if (!FillEmptyRows(m, chillerName)) return false;
  return FillInputs(m);
}

}  // namespace modCalcs

namespace modCalcs {

bool bInterpolate(float x1, float x2, float x, float y1, float y2, float& y) {
  return modpublic::RunGuarded("bInterpolate", kCalcErrorPrefix, ui::kExclamation, [&] {
    // The difference is taken in single precision and compared with 0.0001 in double.
    const float dx = x1 - x2;
    if (std::fabs(dx) < 0.0001) {
      y = y1;
      return;
    }
    const double v = static_cast<double>(y1) +
                     (static_cast<double>(x) - x1) * (static_cast<double>(y2) - y1) / (static_cast<double>(x2) - x1);
    y = vb::CSng(vb::CheckFinite(v));
  });
}

}  // namespace modCalcs

namespace modCalcs {

namespace {

ChillerMapWork MapOf(const ChillerData& ch) {
  ChillerMapWork m;
  m.nType = ch.nType;
  m.bFLPowerTotal = ch.nFLPowerType != 0;
  m.fInputHeatFactor = ch.fInputHeatFactor;
  m.nECWT = ch.nNumECWTPoints;
  m.nLoad = ch.nNumLoadPoints;
  m.nPartLoadPoints = ch.nPartLoadPoints;
  const int nE = std::min<int>(std::max<int>(m.nECWT, 0), kMaxMapECWTs);
  const int nL = std::min<int>(std::max<int>(m.nLoad, 0), kMaxMapLoads);
  for (int c = 1; c <= nE; ++c) {
    m.ecwt[c] = ch.fECWTPoints(c);
    for (int r = 1; r <= nL; ++r) {
      m.cap[c][r] = ch.fCapacityMap(c, r);
      m.input[c][r] = ch.fPowerMap(c, r);
    }
  }
  for (int i = 1; i <= kMaxPartLoadPoints; ++i) {
    m.plPct[i] = ch.fPartLoadPct(i);
    m.plCap[i] = ch.fPartLoadCapacity(i);
    m.plInput[i] = ch.fPartLoadInput(i);
  }
  return m;
}

// Writes the prepared cells back; cells outside the used rectangle keep their values.
void StoreMap(const ChillerMapWork& m, ChillerData& ch) {
  for (int c = 1; c <= m.nECWT; ++c) {
    ch.fECWTPoints(c) = m.ecwt[c];
    for (int r = 1; r <= m.nLoad; ++r) {
      ch.fCapacityMap(c, r) = m.cap[c][r];
      ch.fPowerMap(c, r) = m.input[c][r];
    }
  }
  for (int i = 1; i <= kMaxPartLoadPoints; ++i) {
    ch.fPartLoadPct(i) = m.plPct[i];
    ch.fPartLoadCapacity(i) = m.plCap[i];
    ch.fPartLoadInput(i) = m.plInput[i];
  }
}

}  // namespace

bool bSetupChillerMap(ChillerData& chiller) {
  bool ok = false;
  const bool ran = modpublic::RunGuarded("bSetupChillerMap", kCalcErrorPrefix, ui::kExclamation, [&] {
    ChillerMapWork m = MapOf(chiller);
    ok = PrepareChillerMap(m, vb::Trim(chiller.sName));
    // A failed interpolation leaves the record as it was.
    if (ok) StoreMap(m, chiller);
  });
  return ran && ok;
}

}  // namespace modCalcs
