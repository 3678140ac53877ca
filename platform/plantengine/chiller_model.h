// The chiller performance model of the engine: available capacity and input from the
// prepared map (or the part-load table), with the supply-temperature correction and false
// loading below the minimum capacity. Pure functions of a chiller's set-up.
#pragma once

#include <array>
#include <vector>

#include "platform/plantengine/stored.h"
#include "grendax_export.h"

namespace grendax::detail {

// The usable points of a chiller's performance data, built once from its set-up.
struct ChillerCurve {
  struct Column {
    double ecwt = 0;
    double fullCapacity = 0;         // row 1 (0 when the column has no capacity in row 1)
    std::vector<double> cap, input;  // usable rows (capacity > 0, input > 0), decreasing capacity
  };
  std::vector<Column> columns;  // descending ECWT; empty: constant design capacity, no input
  double designCapacity = 0;
  double minCapacity = 0;
  double designLCHWT = 0;
  double coef[5] = {0, 0, 0, 0, 0};
};

GRENDAX_EXPORT ChillerCurve BuildCurve(const ChillerSetup& s);

// Capacity (kBtu/h) the chiller can deliver at this entering condenser temperature and
// supply temperature.
GRENDAX_EXPORT double AvailableCapacity(const ChillerCurve& c, double ecwt, double supplyTemp);

// Input (kW or kBtu/h of heat, as the map) at a load; a load below the minimum capacity
// takes the input of the minimum capacity. Never negative.
GRENDAX_EXPORT double InputAtLoad(const ChillerCurve& c, double ecwt, double load, double supplyTemp);

// Heat-driven machines report their input as GenHeat (kBtu/h) and AuxKW as power.
GRENDAX_EXPORT bool IsHeatDriven(const ChillerSetup& s);

// Linear interpolation through (x1, y1), (x2, y2) at x; exact at both ends; y1 when the
// two x values are closer than 1e-9.
GRENDAX_EXPORT double Lerp(double x1, double y1, double x2, double y2, double x);

}  // namespace grendax::detail
