// Preparation of a chiller's performance map for the plant engine, on a plain working copy
// of the map so that the arithmetic does not depend on the record layout.
//
// Layout: columns c = 1..nECWT are the entering condenser-water temperatures, rows
// r = 1..nLoad the load points; cap[c][r] and input[c][r] are the capacity and input at
// (column, row). Index 0 is unused. A cell is "missing" when it holds exactly 0 and
// "present" when it is above 0; a negative cell is neither filled nor used. Cells outside
// the used rectangle (c > nECWT or r > nLoad) are never read or written.
#pragma once

#include <array>
#include <string>

namespace modCalcs {

constexpr int kMaxMapECWTs = 14;
constexpr int kMaxMapLoads = 28;
constexpr int kMaxPartLoadPoints = 8;

struct ChillerMapWork {
  int nType = 0;
  bool bFLPowerTotal = false;     // the input map holds totals (else values per ton)
  float fInputHeatFactor = 0.0f;  // Btu of heat per unit of input (absorption types 6, 7)
  int nECWT = 0;
  int nLoad = 0;
  int nPartLoadPoints = 0;
  std::array<float, kMaxMapECWTs + 1> ecwt{};
  std::array<std::array<float, kMaxMapLoads + 1>, kMaxMapECWTs + 1> cap{};
  std::array<std::array<float, kMaxMapLoads + 1>, kMaxMapECWTs + 1> input{};
  std::array<float, kMaxPartLoadPoints + 1> plPct{};
  std::array<float, kMaxPartLoadPoints + 1> plCap{};
  std::array<float, kMaxPartLoadPoints + 1> plInput{};
};

// Sorts, scales and fills the map in place. Throws vb::RuntimeError for map counts outside
// 0..14 / 0..28, a part-load count above 8 (0 or less: no table) and for an empty row that
// cannot be filled (fewer than two rows with data); returns false when an interpolation
// failed (it has shown its own box).
bool PrepareChillerMap(ChillerMapWork& m, const std::string& chillerName = {});

}  // namespace modCalcs
