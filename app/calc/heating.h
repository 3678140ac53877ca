// Inputs of the heat-recovery and heating routines of the economics path.
//
// A system can run its first chiller as a dedicated heat-recovery machine (nHeatRecoveryMode
// 2) and serve the rest of the building's heating with electric heat or a fuel-fired plant.
// The stored records have no fields for these values yet: the system reader sets the mode to
// 0 and nothing fills the heating loads, so in this program the heat-recovery machine never
// runs and every heating quantity stays 0. The routines are frmWait members
// (CalcDHRCPerformanceData, CalcDHRCcoolingPriorityPerformanceData, GetFreeCoolingCapPerBin,
// CalcHeatingEnergyUsePerBinInMonth).
#pragma once

#include "libs/vb/vbarray.h"

// Heat-recovery data of the heat-recovery chiller.
struct HeatRecoveryChillerData {
  float fHRHeatFull = 0;   // heating output at full load, kBtu/h
  float fHRHeatMin = 0;    // heating output at minimum load, kBtu/h
  float fHRPowerFull = 0;  // kW, or heat-to-power ratio when bHRPowerTotal is 0
  float fHRPowerMin = 0;
  vb::Boolean bHRPowerTotal = 0;
};

// Heating side of a system and its building.
struct HeatingSystemData {
  vb::Boolean bElectricHeat = 0;         // the heating left to serve is electric
  double dHeatingEff = 0;                // efficiency of that heating, percent
  double dRecoveryPumpKW = 0;            // heat-recovery loop pump at full flow
  vb::Array<float, 1, 24> fBinHeatLoad;  // heating load of each bin, kBtu/h
};

// An operating point of the heat-recovery machine.
struct HeatRecoveryPoint {
  double dCooling = 0;  // kBtu/h
  double dPower = 0;    // kW
  double dHeating = 0;  // kBtu/h
  double dPartLoadRatio = 1.0;
};

inline constexpr double kBtuhPerWatt = 3.412141633;
inline constexpr double kWattsPerBtuhPct = 29.3071;  // 100 / 3.412141633: kW per kBtu/h at 100 %
