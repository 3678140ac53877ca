// The results of one system and month of the economic simulation, by field name, and their
// place in the 18,432-byte monthly block of CAL.DAT.
//
// The block is 192 arrays of 24 four-byte entries (array k at byte k x 96). Its fields, in
// stored order, with the arrays they occupy:
//   0 fBinDB, 1 fBinWB, 2 fBinHours, 3 fBldgLoad, 4 fFreeCooling          Single (bin)
//   5 nChillersOn (bytes 0..47), nLoadPct (bytes 48..95)                   Integer (bin)
//   6 fPriChWPump, 7 fSecChWPump, 8 fCondPump, 9 fHeatRejFans,
//  10 fTotalKW, 11 fTonHrs, 12 fKWh, 13 fGas, 14 fSteam                    Single (bin)
//  15..29 bChillerOn                                                       Integer (slot, bin)
//  30..59 fChillerLoad, 60..89 fChillerPower, 90..119 fChillerGenHeat,
// 120..149 fChillerECT, 150..179 fChillerLCHWT                             Single (slot, bin)
// 180..191 the heating fields fHeatLoad .. fHeatFuelHrs and fExtraPumpKW   Single (bin)
// Per-slot arrays hold 30 slots x 24 bins with the slot index running fastest.
#pragma once

#include "app/storage/result_records.h"
#include "libs/vb/vbarray.h"

struct SimMonthResults {
  vb::Array<float, 1, 24> fBinDB;
  vb::Array<float, 1, 24> fBinWB;
  vb::Array<float, 1, 24> fBinHours;
  vb::Array<float, 1, 24> fBldgLoad;     // kBtu/h
  vb::Array<float, 1, 24> fFreeCooling;  // kBtu/h
  vb::Array<std::int16_t, 1, 24> nChillersOn;
  vb::Array<std::int16_t, 1, 24> nLoadPct;  // percent load of the last running slot
  vb::Array<float, 1, 24> fPriChWPump;      // kW
  vb::Array<float, 1, 24> fSecChWPump;
  vb::Array<float, 1, 24> fCondPump;
  vb::Array<float, 1, 24> fHeatRejFans;
  vb::Array<float, 1, 24> fTotalKW;
  vb::Array<float, 1, 24> fTonHrs;
  vb::Array<float, 1, 24> fKWh;
  vb::Array<float, 1, 24> fGas;  // fuel input: per hour until gathered, then x hours
  vb::Array<float, 1, 24> fSteam;
  vb::Array2<vb::Boolean, 1, 30, 1, 24> bChillerOn;  // (slot, bin)
  vb::Array2<float, 1, 30, 1, 24> fChillerLoad;      // kBtu/h
  vb::Array2<float, 1, 30, 1, 24> fChillerPower;     // kW
  vb::Array2<float, 1, 30, 1, 24> fChillerGenHeat;   // kBtu/h heat input
  vb::Array2<float, 1, 30, 1, 24> fChillerECT;       // deg F
  vb::Array2<float, 1, 30, 1, 24> fChillerLCHWT;     // deg F
  // Heating and heat recovery of the bin; zero while heat recovery is off.
  vb::Array<float, 1, 24> fHeatLoad;
  vb::Array<float, 1, 24> fRecoveryCooling;
  vb::Array<float, 1, 24> fRecoveredHeat;
  vb::Array<float, 1, 24> fRecoveryKW;
  vb::Array<float, 1, 24> fRecoveryPumpKW;
  vb::Array<float, 1, 24> fElecHeatKW;
  vb::Array<float, 1, 24> fHeatFuel;
  vb::Array<float, 1, 24> fHeatKW;
  vb::Array<float, 1, 24> fHeatLoadHrs;
  vb::Array<float, 1, 24> fHeatKWh;
  vb::Array<float, 1, 24> fHeatFuelHrs;
  vb::Array<float, 1, 24> fExtraPumpKW;  // further pump power of the bin (times the caller's factor)

  bool operator==(const SimMonthResults&) const = default;
};

// The stored block of the results and back. The two are byte-for-byte the same data.
SimMonthData PackSimMonth(const SimMonthResults& r);
SimMonthResults UnpackSimMonth(const SimMonthData& block);
