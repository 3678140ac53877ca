// The records of the calculation results file CAL.DAT: the header, section A (run
// summary), section B (PLV profile with its bins and chiller results), section C
// (economics summary), section D (system economics) and the monthly simulation blocks.
// Conventions as in scratch_records.h: numbers as stored, Booleans as vb::Boolean,
// fixed texts as UTF-8 std::string, arrays with their declared bounds, offsets in the
// comments. Fields set by an analysis without a name of their own keep their offset name
// (fValueNNN); those that the analyses and reports use under a name carry that name and
// the note "offset name ..." with the offset they occupy.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/storage/scratch_records.h"
#include "libs/vb/vbarray.h"

// CAL.DAT header: five Singles holding the 1-based byte positions of the sections.
struct CalcHeaderData {
  float fPosSummary = 0;      // @0   21
  float fPosProfile = 0;      // @4   282
  float fPosEconSummary = 0;  // @8   5661
  float fPosSystemEcon = 0;   // @12  12624
  float fPosSimData = 0;      // @16  50000
  bool operator==(const CalcHeaderData&) const = default;
};

// Section A (261 bytes).
struct PLVSummaryData {
  std::string sCityName;                       // @0   String*41
  vb::Array<std::string, 0, 2> sDaySchedules;  // @41  String*25 (0 To 2)
  std::string sLoadProfileName;                // @116 String*35
  std::int16_t nValue151 = 0;             // @151 copy of LoadProfileData.nValue35: the profile kind (LoadProfileKind)
  float fPeakLoad = 0;                    // @153
  float fPeakLoadTemp = 0;                // @157 copy of LoadProfileData.fValue41
  float fLoad2 = 0;                       // @161 copy of LoadProfileData.fValue45
  float fLoad2Temp = 0;                   // @165 copy of LoadProfileData.fValue49
  float fLoad3 = 0;                       // @169 copy of LoadProfileData.fValue53
  float fLoad3Temp = 0;                   // @173 copy of LoadProfileData.fValue57
  vb::Boolean bAirEconomizer = 0;         // @177
  float fEconomizerLimitDB = 0;           // @179
  std::int16_t nValue183 = 0;             // @183 always 0
  float fValue185 = 0;                    // @185 always 0
  float fValue189 = 0;                    // @189 always 0
  float fValue193 = 0;                    // @193 always 0
  float fValue197 = 0;                    // @197 always 0
  float fValue201 = 0;                    // @201 always 0
  float fValue205 = 0;                    // @205 always 0
  std::int16_t nNumPeriods = 0;           // @209
  vb::Array<std::string, 0, 1> sPeriods;  // @211 String*25 (0 To 1)

  // The kind of load profile the run used (LoadProfileKind).
  std::int16_t ProfileKind() const { return nValue151; }
  void SetProfileKind(std::int16_t kind) { nValue151 = kind; }

  bool operator==(const PLVSummaryData&) const = default;
};

// One temperature bin of section B (62 bytes).
struct PLVBinData {
  float fDB = 0;                 // @0
  float fMCWB = 0;               // @4
  std::int32_t lHours = 0;       // @8
  std::int32_t lLoadHours = 0;   // @12
  float fLoad = 0;               // @16 tons
  float fLoadPercent = 0;        // @20
  std::int16_t nChillersOn = 0;  // @24
  float fChillerPctLoad = 0;     // @26
  float fECWT = 0;               // @30
  float fFreeCoolingLoad = 0;    // @34
  float fFreeCoolingPower = 0;   // @38
  float fInput = 0;              // @42
  float fEfficiency = 0;         // @46
  float fWeight = 0;             // @50
  float fWeightedEff = 0;        // @54
  float fHRCooling = 0;          // @58
  bool operator==(const PLVBinData&) const = default;
};

// One chiller's PLV results: 2,603 fixed bytes plus 24 Variants of 2 (Empty) or
// 10 (Double) bytes, so 2,651 to 2,843 bytes. V = the end of vBinValues.
// Rating points p = 1..4 stand for 25, 50, 75 and 100 % load.
struct ChillerResultData {
  std::string sSlotName;                               // @0    String*12
  std::string sChillerName;                            // @12   String*35
  float fCapacity = 0;                                 // @47
  float fFLEfficiency = 0;                             // @51
  std::int16_t nChillerType = 0;                       // @55
  std::int16_t nCycleType = 0;                         // @57
  std::int16_t nCondenserType = 0;                     // @59
  std::int16_t nEfficiencyKind = 0;                    // @61
  float fDesignLCHWT = 0;                              // @63
  float fDesignECWT = 0;                               // @67
  vb::Boolean bMinECWTReached = 0;                     // @71
  float fIPLV = 0;                                     // @73  offset name fValue73 (copy of ChillerData.fIPLV)
  std::int16_t nFreeCoolingMode = 0;                   // @77
  vb::Array<vb::Boolean, 1, 24> bBinOn;                // @79
  vb::Array<float, 1, 24> fBinLoad;                    // @127
  vb::Array<float, 1, 24> fBinLoadPercent;             // @223
  vb::Array<float, 1, 24> fBinFreeCoolingLoad;         // @319
  vb::Array<float, 1, 24> fBinFreeCoolingPower;        // @415
  vb::Array<std::optional<double>, 1, 24> vBinValues;  // @511  Variant: Empty or Double (kW)
  vb::Array<float, 1, 24> fBinEfficiency;              // @V+0
  vb::Array<float, 1, 24> fBinECWT;                    // @V+96
  vb::Array<float, 1, 24> fBinHours;                   // @V+192  offset name fValue703
  vb::Array<float, 1, 24> fBinHourECWT;                // @V+288  offset name fValue799
  vb::Array<float, 1, 24> fBinTonHours;                // @V+384  offset name fValue895
  vb::Array2<float, 1, 4, 1, 24> fPointBinHourECWT;    // @V+480  offset name fValue991 (point, bin)
  vb::Array2<float, 1, 4, 1, 24> fPointBinTonHours;    // @V+864  offset name fValue1375 (point, bin)
  vb::Array<float, 1, 4> fPointHours;                  // @V+1248 offset name fValue1759
  vb::Array<float, 1, 4> fPointHourECWT;               // @V+1264 offset name fValue1775
  vb::Array<float, 1, 4> fPointTonHours;               // @V+1280 offset name fValue1791
  vb::Array<float, 1, 4> fPoolHours;                   // @V+1296 offset name fValue1807
  vb::Array<float, 1, 4> fPoolHourECWT;                // @V+1312 offset name fValue1823
  vb::Array<float, 1, 4> fPoolTonHours;                // @V+1328 offset name fValue1839
  vb::Array<float, 1, 4> fWeightingFactor;             // @V+1344 offset name fValue1855
  vb::Array<float, 1, 4> fECWT;                        // @V+1360 offset name fValue1871
  float fTotalHours = 0;                               // @V+1376 offset name fValue1887
  float fTotalHourECWT = 0;                            // @V+1380 offset name fValue1891
  float fTotalTonHours = 0;                            // @V+1384 offset name fValue1895
  std::int16_t nGroup = 0;                             // @V+1388 identical-chiller group (pool)
  vb::Boolean bFirstOfGroup = 0;                       // @V+1390
  vb::Array<float, 1, 50> fProfileLoadPct;             // @V+1392
  vb::Array<float, 1, 50> fProfileBuildingPct;         // @V+1592
  vb::Array<float, 1, 50> fProfileECWT;                // @V+1792
  vb::Array<vb::Boolean, 1, 50> bProfileStaging;       // @V+1992 (ends at V+2092)
  bool operator==(const ChillerResultData&) const = default;
};

// Section B. 5,375 fixed bytes plus the chiller-result array (a 10-byte dimension header:
// Integer dimension count 1, Long element count 30, Long lower bound 1; then all 30
// elements). E = the end of that array.
struct PLVProfileData {
  std::string sSystemName;                             // @0   String*40
  vb::Boolean bAnyHeatDriven = 0;                      // @40
  std::int16_t nNumChillerResults = 0;                 // @42  entries of ChillerResults in use
  std::int16_t nPlantControl = 0;                      // @44
  float fDesignLCHWT = 0;                              // @46
  std::int16_t nSingleTower = 0;                       // @50
  std::string sTowerName;                              // @52  String*35
  std::int16_t nTowerEqptType = 0;                     // @87
  float fWellWaterTemp = 0;                            // @89
  vb::Boolean bWaterEconomizer = 0;                    // @93
  std::int16_t nEconomizerType = 0;                    // @95
  vb::Boolean bAnyFreeCooling = 0;                     // @97
  std::int16_t nLastLoadBin = 0;                       // @99
  std::int32_t lTotalHours = 0;                        // @101
  std::int32_t lTotalLoadHours = 0;                    // @105
  float fWeightSum = 0;                                // @109
  float fProductSum = 0;                               // @113
  float fPLV = 0;                                      // @117
  vb::Array<PLVBinData, 1, 24> Bins;                   // @121
  vb::Array<ChillerResultData, 1, 30> ChillerResults;  // @1609 (dynamic array, always 30 stored)
  std::int16_t nHeatRecoveryMode = 0;                  // @E+0
  ChillerData Chiller;                                 // @E+2
  bool operator==(const PLVProfileData&) const = default;
};

// One comparison of a challenger against the base (2,274 bytes).
struct EconCaseData {
  std::int16_t nBaseSystem = 0;                   // @0
  std::int16_t nChallengerSystem = 0;             // @2
  std::int16_t nWinnerSystem = 0;                 // @4
  double dNPW = 0;                                // @6
  float fIRR = 0;                                 // @14  -1 none
  float fPayback = 0;                             // @18  -1 none
  double dAddedFirstCost = 0;                     // @22
  vb::Array<double, 0, 50> dPWCostDifference;     // @30
  vb::Array<double, 0, 50> dOpCostSavingsByYear;  // @438
  vb::Array<double, 0, 50> dAddedInvestment;      // @846
  vb::Array<double, 0, 50> dCumOpCostSavings;     // @1254
  vb::Array<double, 0, 50> dCumAddedInvestment;   // @1662
  vb::Array<float, 0, 50> fSIR;                   // @2070
  bool operator==(const EconCaseData&) const = default;
};

// Section C (6,963 bytes).
struct EconSummaryData {
  std::int16_t nNumSystems = 0;              // @0
  std::string sCurrency;                     // @2    String*7
  std::int16_t nLifeCycleYears = 0;          // @9
  float fValue11 = 0;                        // @11   the discount rate of the run
  std::string sGasUnit;                      // @15   String*7
  std::string sSteamUnit;                    // @22   String*7
  std::string sElecRateText;                 // @29   String*25
  std::string sDemandRateText;               // @54   String*25
  std::string sGasRateText;                  // @79   String*25
  std::string sSteamRateText;                // @104  String*25
  std::int16_t nComparisonCount = 0;         // @129
  std::int16_t nLowestEnergyCostSystem = 0;  // @131
  std::int16_t nLowestOpCostSystem = 0;      // @133
  std::int16_t nLowestLCCSystem = 0;         // @135
  std::int16_t nOverallWinner = 0;           // @137
  vb::Array<EconCaseData, 1, 3> Cases;       // @139
  vb::Boolean bHeatRecovery = 0;             // @6961

  // The run's discount rate (the minimum attractive rate of return), in percent.
  float DiscountRatePct() const { return fValue11; }
  void SetDiscountRatePct(float pct) { fValue11 = pct; }

  bool operator==(const EconSummaryData&) const = default;
};

// Section D, one per compared system (9,344 bytes).
struct SystemEconData {
  std::int16_t nSysIndex = 0;                   // @0
  std::string sSystemName;                      // @2    String*40
  std::int16_t nNumChillers = 0;                // @42
  vb::Array<double, 1, 10> dFirstCost;          // @44   entry 10 = total
  vb::Array<double, 1, 10> dEnergyCost;         // @124
  vb::Array<double, 1, 10> dMaintCost;          // @204
  vb::Array<double, 1, 10> dOpCost;             // @284
  float fEnergyCostSavingsPct = 0;              // @364
  float fElecUseSavingsPct = 0;                 // @368
  float fGasUseSavingsPct = 0;                  // @372
  float fSteamUseSavingsPct = 0;                // @376
  double dOpCostSavings = 0;                    // @380
  vb::Array<double, 0, 50> dInvestPrincipal;    // @388
  vb::Array<double, 0, 50> dInvestInterest;     // @796
  vb::Array<double, 0, 50> dInvestOther;        // @1204
  vb::Array<double, 0, 50> dInvestTotal;        // @1612
  vb::Array<double, 0, 50> dEnergyByYear;       // @2020
  vb::Array<double, 0, 50> dMaintByYear;        // @2428
  vb::Array<double, 0, 50> dOpCostByYear;       // @2836
  vb::Array<double, 0, 50> dTotalCostByYear;    // @3244
  vb::Array<double, 0, 50> dInvestTotalPW;      // @3652
  vb::Array<double, 0, 50> dOpCostTotalPW;      // @4060
  vb::Array<double, 0, 50> dTotalCostPW;        // @4468
  double dTotInvestPrincipal = 0;               // @4876
  double dTotInvestInterest = 0;                // @4884
  double dTotInvestOther = 0;                   // @4892
  double dTotInvestTotal = 0;                   // @4900
  double dTotEnergyByYear = 0;                  // @4908
  double dTotMaintByYear = 0;                   // @4916
  double dTotOpCostByYear = 0;                  // @4924
  double dTotTotalCostByYear = 0;               // @4932
  double dTotInvestTotalPW = 0;                 // @4940
  double dTotOpCostTotalPW = 0;                 // @4948
  double dLifeCycleCost = 0;                    // @4956
  double dChillerElecCost = 0;                  // @4964
  double dTowerElecCost = 0;                    // @4972
  double dChwPumpElecCost = 0;                  // @4980
  double dCwPumpElecCost = 0;                   // @4988
  double dFuelCost = 0;                         // @4996
  double dSystemEfficiency = 0;                 // @5004
  std::int16_t nEfficiencyType = 0;             // @5012
  double dAnnualTonHours = 0;                   // @5014
  double dAnnualEnergyInput = 0;                // @5022
  vb::Boolean bElectricOnly = 0;                // @5030
  double dAnnualFuelInput = 0;                  // @5032
  double dChillerKWh = 0;                       // @5040
  double dTowerKWh = 0;                         // @5048
  double dChwPumpKWh = 0;                       // @5056
  double dCwPumpKWh = 0;                        // @5064
  double dTotalKWh = 0;                         // @5072
  double dGasUse = 0;                           // @5080
  double dSteamUse = 0;                         // @5088
  vb::Array<double, 1, 12> dMonthKWh;           // @5096
  vb::Array<double, 1, 12> dMonthPeakKW;        // @5192
  vb::Array<double, 1, 12> dMonthEnergyCharge;  // @5288
  vb::Array<double, 1, 12> dMonthDemandCharge;  // @5384
  vb::Array<double, 1, 12> dMonthElecCharge;    // @5480
  vb::Array<double, 1, 12> dMonthGasCharge;     // @5576
  vb::Array<double, 1, 12> dMonthSteamCharge;   // @5672
  vb::Array<double, 1, 12> dMonthEnergyCost;    // @5768
  vb::Array<double, 1, 12> dMonthTonHours;      // @5864
  vb::Array<double, 1, 12> dMonthChillerKWh;    // @5960
  vb::Array<double, 1, 12> dMonthTowerKWh;      // @6056
  vb::Array<double, 1, 12> dMonthChwPumpKWh;    // @6152
  vb::Array<double, 1, 12> dMonthCwPumpKWh;     // @6248
  vb::Array<double, 1, 12> dMonthGasUse;        // @6344
  vb::Array<double, 1, 12> dMonthSteamUse;      // @6440
  vb::Array<float, 1, 24> fBinWeather;          // @6536 offset name fValue6536 (bin dry bulb)
  vb::Array<float, 1, 24> fBinProfile;          // @6632 offset name fValue6632 (bin load profile entry)
  vb::Array<double, 1, 24> dBinEnergyCost;      // @6728
  vb::Array<double, 1, 24> dBinKWh;             // @6920
  vb::Array<double, 1, 24> dBinGasUse;          // @7112 offset name dValue7112
  vb::Array<double, 1, 24> dBinSteamUse;        // @7304 offset name dValue7304
  vb::Array<double, 1, 24> dBinEfficiency;      // @7496
  vb::Array<double, 1, 24> dBinTonHours;        // @7688
  // Heating and heat-recovery results; they stay 0 while heat recovery is off.
  vb::Array<double, 1, 4> dHeatingCost;            // @7880 offset names dValue7880..dValue7904
  double ElectricBoilerEnergyUse = 0;              // @7912 offset name dValue7912
  double DHRCPumpEnergyUse = 0;                    // @7920 offset name dValue7920
  double DHRCChillerEnergyUse = 0;                 // @7928 offset name dValue7928
  double GasBoilerUse = 0;                         // @7936 offset name dValue7936
  double DHRCChillerEnergyForHeating = 0;          // @7944 offset name dValue7944
  double HeatingEnergyUse = 0;                     // @7952 offset name dValue7952
  double HeatingLoad = 0;                          // @7960 offset name dValue7960
  double dValue7968 = 0;                           // @7968
  double dValue7976 = 0;                           // @7976
  double HeatingSystemEfficiency = 0;              // @7984 offset name dValue7984
  double CombinedSystemEfficiency = 0;             // @7992 offset name dValue7992
  vb::Array<double, 1, 24> BinHeatingLoad;         // @8000 offset name dValue8000
  vb::Array<double, 1, 24> BinHeatingEfficiency;   // @8192 offset name dValue8192
  vb::Array<double, 1, 24> BinCombinedEfficiency;  // @8384 offset name dValue8384
  vb::Array<double, 1, 12> dMonthHeatLoad;         // @8576 offset name dValue8576
  vb::Array<double, 1, 12> dMonthRecoveredHeat;    // @8672 offset name dValue8672
  vb::Array<double, 1, 12> dMonthHeatKWh;          // @8768 offset name dValue8768
  vb::Array<double, 1, 12> dMonthElecHeatKWh;      // @8864 offset name dValue8864
  vb::Array<double, 1, 12> dMonthRecoveryPumpKWh;  // @8960 offset name dValue8960
  vb::Array<double, 1, 12> dMonthRecoveryKWh;      // @9056 offset name dValue9056
  vb::Array<double, 1, 12> dMonthHeatFuel;         // @9152 offset name dValue9152
  vb::Array<double, 1, 12> MonthlyHeatingGasCost;  // @9248 offset name dValue9248

  // The eleven cash-flow column totals (@4876..4956) by number, 1..11 in the order of the
  // yearly arrays: principal, interest, other, investment, energy, maintenance, operating
  // cost, actual value, investment PW, operating cost PW, life-cycle cost (total PW).
  // A number outside 1..11 raises error 9.
  double& CashFlowTotals(int i);
  double CashFlowTotals(int i) const { return const_cast<SystemEconData*>(this)->CashFlowTotals(i); }
  bool operator==(const SystemEconData&) const = default;
};

inline double& SystemEconData::CashFlowTotals(int i) {
  static constexpr double SystemEconData::*kTotals[] = {
      &SystemEconData::dTotInvestPrincipal, &SystemEconData::dTotInvestInterest,  &SystemEconData::dTotInvestOther,
      &SystemEconData::dTotInvestTotal,     &SystemEconData::dTotEnergyByYear,    &SystemEconData::dTotMaintByYear,
      &SystemEconData::dTotOpCostByYear,    &SystemEconData::dTotTotalCostByYear, &SystemEconData::dTotInvestTotalPW,
      &SystemEconData::dTotOpCostTotalPW,   &SystemEconData::dLifeCycleCost};
  if (i < 1 || i > 11) vb::Raise(vb::kSubscriptOutOfRange, "Cash-flow total " + std::to_string(i) + " does not exist.");
  return this->*kTotals[i - 1];
}

// One monthly simulation block (18,432 bytes): 192 Single arrays of 24 bins, array k
// (0..191) at offset k x 96, entry b (1..24) at 4 x (b - 1) within it.
struct SimMonthData {
  // Arrays with a fixed meaning (see the economic analysis for the others).
  static constexpr int kBinHours = 2;
  static constexpr int kBuildingLoad = 3;
  static constexpr int kPriChWPumpKW = 6;
  static constexpr int kSecChWPumpKW = 7;
  static constexpr int kCondPumpKW = 8;
  static constexpr int kHeatRejFanKW = 9;
  static constexpr int kTotalKW = 10;  // the chillers' kW, completed to the total kW
  static constexpr int kTonHours = 11;
  static constexpr int kKWh = 12;
  static constexpr int kFuel = 13;
  static constexpr int kSteam = 14;

  vb::Array2<float, 1, 24, 0, 191> fValues;  // (bin b, array k): bin fastest, as stored

  // Entry b of array k.
  float& Value(int k, int b) { return fValues(b, k); }
  float Value(int k, int b) const { return fValues(b, k); }
  bool operator==(const SimMonthData&) const = default;
};
