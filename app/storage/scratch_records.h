// The input records that the main window prepares and the calculation reads: the scratch
// record files WTH.DAT, LOD.DAT, ECO.DAT, RPT.DAT, SYS.DAT, CHL.DAT and TWR.DAT.
//
// In memory: numbers as stored (Integer = int16_t, Long = int32_t, Single = float,
// Double = double), Booleans as vb::Boolean (16-bit, True = -1), fixed-length texts as
// UTF-8 std::string (their width on disk is given in the comment and in the record's field
// list, record_codec.cpp). Arrays keep their declared bounds (vb::Array).
//
// The comment of each field gives its byte offset inside the stored record. Fields named
// fValueNNN / nValueNNN / sValueNNN / dValueNNN are template values that nothing in the
// program interprets; they are carried and stored byte for byte. Some template fields are
// read by the calculation or the reports under a name of their own; those carry that name
// and the note "template field" with the offset they occupy.
#pragma once

#include <cstdint>
#include <string>

#include "libs/vb/vbarray.h"

// A period of plant operation: four Integers (8 bytes).
struct OperatingPeriod {
  std::int16_t nFromMonth = 0;  // @0
  std::int16_t nToMonth = 0;    // @2
  std::int16_t nFromDay = 0;    // @4
  std::int16_t nToDay = 0;      // @6
  bool operator==(const OperatingPeriod&) const = default;
};

// WTH.DAT, one record of 2,772 bytes at byte 1.
struct WeatherData {
  std::string sName;                                      // @0    String*42
  float fSummerDesignDB = 0;                              // @42
  float fSummerCoincWB = 0;                               // @46
  float fWinterDesignDB = 0;                              // @50
  float fElevation = 0;                                   // @54
  vb::Array<std::string, 0, 2> sDayTypeNames;             // @58   String*10 (0 To 2)
  vb::Array<vb::Boolean, 0, 2> bDayOperated;              // @88
  vb::Array<std::int16_t, 0, 2> nStartTime;               // @94   HHMM
  vb::Array<std::int16_t, 0, 2> nStopTime;                // @100  HHMM
  std::int16_t nNumBins = 0;                              // @106  at most 24
  vb::Array<float, 1, 24> fBinDB;                         // @108
  vb::Array<float, 1, 24> fBinMCWB;                       // @204
  vb::Array2<float, 1, 12, 1, 24> fMonthBinMCWB;          // @300  (month, bin)
  vb::Array<std::int32_t, 1, 24> lBinHours;               // @1452
  vb::Array2<std::int32_t, 1, 12, 1, 24> lMonthBinHours;  // @1548 (month, bin)
  std::int32_t lTotalHours = 0;                           // @2700
  vb::Array<std::int32_t, 1, 12> lMonthHours;             // @2704
  std::int16_t nPeriodMode = 0;                           // @2752
  std::int16_t nNumPeriods = 0;                           // @2754
  vb::Array<OperatingPeriod, 1, 2> OperatingPeriods;      // @2756
  bool operator==(const WeatherData&) const = default;
};

// How a load profile is given: by a load line through two or three (load, temperature) points,
// or by its bins (a profile of the site database, or one the user defined).
enum LoadProfileKind : std::int16_t { kTwoLoadPoints = 0, kThreeLoadPoints = 1, kBinProfile = 2 };

// LOD.DAT, two records of 259 bytes at bytes 1 and 260.
struct LoadProfileData {
  std::string sName;                        // @0   String*35
  std::int16_t nValue35 = 0;                // @35
  float fPeakLoad = 0;                      // @37  tons
  float fValue41 = 0;                       // @41
  float fValue45 = 0;                       // @45
  float fValue49 = 0;                       // @49
  float fValue53 = 0;                       // @53
  float fValue57 = 0;                       // @57
  vb::Boolean bAirEconomizer = 0;           // @61
  float fEconomizerLimitDB = 0;             // @63
  vb::Array<float, 1, 24> fBinLoad;         // @67  tons
  vb::Array<float, 1, 24> fBinLoadPercent;  // @163

  // What the offset-named fields hold: the kind of profile (LoadProfileKind), the outdoor
  // temperature of the peak load, and the load line's second and third points (tons at F).
  std::int16_t ProfileKind() const { return nValue35; }
  float PeakLoadTemp() const { return fValue41; }
  float Load2() const { return fValue45; }
  float Load2Temp() const { return fValue49; }
  float Load3() const { return fValue53; }
  float Load3Temp() const { return fValue57; }

  bool operator==(const LoadProfileData&) const = default;
};

// ECO.DAT, one record of 71 bytes at byte 1.
struct EconomicsData {
  std::string sCurrency;             // @0   String*7
  std::int16_t nLifeCycleYears = 0;  // @7   at most 50
  float fDiscountRate = 0;           // @9
  float fOtherInvestEscalation = 0;  // @13
  float fMaintEscalation = 0;        // @17
  float fElecEscalation = 0;         // @21
  float fSteamEscalation = 0;        // @25
  float fGasEscalation = 0;          // @29
  float fElecRate = 0;               // @33
  float fDemandRate = 0;             // @37
  std::string sGasUnit;              // @41  String*7
  float fGasFactor = 0;              // @48
  float fGasRate = 0;                // @52
  std::string sSteamUnit;            // @56  String*7
  float fSteamFactor = 0;            // @63
  float fSteamRate = 0;              // @67
  bool operator==(const EconomicsData&) const = default;
};

// RPT.DAT, one record of 511 bytes at byte 1.
struct ReportData {
  std::string LeadText;         // @0   String*255 (template field; offset name sValue0)
  std::string sValue255;        // @255 String*40
  std::string sValue295;        // @295 String*30
  std::string sValue325;        // @325 String*30
  std::string sValue355;        // @355 String*50
  std::string sValue405;        // @405 String*40
  std::int16_t ReportType = 0;  // @445 1 economic, 2 PLV
  vb::Boolean bCoverPage = 0;   // @447
  std::int16_t nValue449 = 0;   // @449
  // The eleven section switches of the economic report (template fields @451..@471).
  vb::Boolean EconSummary = 0;             // @451
  vb::Boolean AnnualCostComparison = 0;    // @453
  vb::Boolean AnnualSystemEfficiency = 0;  // @455
  vb::Boolean EnergyCostsGraph = 0;        // @457
  vb::Boolean EnergyUseGraph = 0;          // @459
  vb::Boolean NetCashFlowGraph = 0;        // @461
  vb::Boolean NetCashFlowCompGraph = 0;    // @463
  vb::Boolean EnergyCostDetails = 0;       // @465
  vb::Boolean EnergyUseDetails = 0;        // @467
  vb::Boolean IncrCostDetails = 0;         // @469
  vb::Boolean CashFlowDetails = 0;         // @471
  std::int16_t nTypeOfCostCalcs = 0;       // @473
  vb::Boolean bIncludePumpEnergy = 0;      // @475
  vb::Boolean bIncludeTowerEnergy = 0;     // @477
  std::int16_t nSysEffType = 0;            // @479
  std::int32_t AnalysedSystemIndex = 0;    // @481 the record's only Long
  vb::Boolean bSummaryReport = 0;          // @485
  vb::Boolean bCustomPLVFactors = 0;       // @487
  vb::Boolean bCustomPLVSpec = 0;          // @489 template field (offset name nValue489)
  vb::Boolean bLoadProfileGraph = 0;       // @491 (the reports' "load profiles" switch)
  vb::Boolean bCoolingDuty = 0;            // @493 template field (nValue493)
  vb::Boolean bCondTempProfiles = 0;       // @495 template field (nValue495)
  // 1: full-load efficiencies of electric chillers are output per kW (converted by 12 / x);
  // also the efficiency kind / efficiency unit kind that the reports read.
  std::int16_t nEfficiencyInput = 0;  // @497
  vb::Boolean bPerfProfiles = 0;      // @499 template field (nValue499)
  vb::Boolean bInputSummary = 0;      // @501 template field (nValue501)
  vb::Boolean bShowLogo = 0;          // @503
  std::int16_t ShowLoadBands = 0;     // @505 template field (nValue505)
  vb::Boolean UseCoverFile = 0;       // @507 template field (nValue507)
  std::int16_t nValue509 = 0;         // @509
  bool operator==(const ReportData&) const = default;
};

// SYS.DAT, records of 1,590 bytes; system id n at byte n x 1590 + 1.
struct SystemData {
  std::string sName;                                    // @0    String*40
  std::int16_t nNumChillers = 0;                        // @40   at most 30
  std::int16_t nPlantControl = 0;                       // @42   1..4
  float fDesignLCHWT = 0;                               // @44
  std::int16_t nSingleTower = 0;                        // @48
  std::int16_t nCondPumpControl = 0;                    // @50
  float fCondPumpHead = 0;                              // @52
  float fCondPumpEffValue = 0;                          // @56
  std::int16_t nMinCondFlowPercent = 0;                 // @60
  float fCondPumpControlValue = 0;                      // @62
  vb::Boolean bWaterEconomizer = 0;                     // @66
  std::int16_t nEconomizerType = 0;                     // @68
  float fEconomizerValue = 0;                           // @70
  float fTotalCondWaterFlow = 0;                        // @74
  vb::Array<std::string, 1, 30> sChillerNames;          // @78   String*12 (1 To 30)
  vb::Array<std::int16_t, 1, 30> nChillerIDs;           // @438
  vb::Array<std::int16_t, 1, 30> nTowerIDs;             // @498
  std::int16_t nLCHWTResetMode = 0;                     // @558  1 none, 2 linear, 3 fixed
  float fResetLCHWT = 0;                                // @560
  float fResetPointA = 0;                               // @564
  float fResetPointB = 0;                               // @568
  std::int16_t nEvapFlowControl = 0;                    // @572
  float fEvapPumpHead = 0;                              // @574
  float fChilledWaterPumpHead = 0;                      // @578
  float fChwPumpControlValue = 0;                       // @582
  float fMinChwFlowPercent = 0;                         // @586
  vb::Boolean bSlot1Basis = 0;                          // @590
  double dChillerCostA = 0;                             // @592
  double dChwPumpCostA = 0;                             // @600
  double dTowerCostA = 0;                               // @608
  double dCondPumpCostA = 0;                            // @616
  double dOtherCostA = 0;                               // @624
  double dChillerCostB = 0;                             // @632
  double dChwPumpCostB = 0;                             // @640
  double dTowerCostB = 0;                               // @648
  double dCondPumpCostB = 0;                            // @656
  double dOtherCostB = 0;                               // @664
  vb::Array<std::string, 1, 8> sCostItemNames1;         // @672  String*30 (1 To 8)
  vb::Array<double, 1, 8> dOtherInvestAmount;           // @912
  vb::Array<std::int16_t, 1, 8> nOtherInvestFirstYear;  // @976
  vb::Array<std::int16_t, 1, 8> nOtherInvestCount;      // @992
  vb::Array<std::int16_t, 1, 8> nOtherInvestInterval;   // @1008
  double dValue1024 = 0;                                // @1024
  double dLoanAmount = 0;                               // @1032
  float fLoanRate = 0;                                  // @1040
  float fLoanYears = 0;                                 // @1044
  std::int16_t nLoanPaymentType = 0;                    // @1048 1..3
  float fValue1050 = 0;                                 // @1050
  vb::Array<std::string, 1, 8> sCostItemNames2;         // @1054 String*30 (1 To 8)
  vb::Array<double, 1, 8> dOtherMaintAmount;            // @1294
  vb::Array<std::int16_t, 1, 8> nOtherMaintFirstYear;   // @1358
  vb::Array<std::int16_t, 1, 8> nOtherMaintCount;       // @1374
  vb::Array<std::int16_t, 1, 8> nOtherMaintInterval;    // @1390
  double dChillerMaint = 0;                             // @1406
  double dTowerMaint = 0;                               // @1414
  double dChwPumpMaint = 0;                             // @1422
  double dCondPumpMaint = 0;                            // @1430
  double dOtherMaint = 0;                               // @1438
  float fValue1446 = 0;                                 // @1446
  std::int16_t nHeatRecoveryMode = 0;                   // @1450
  std::int16_t nValue1452 = 0;                          // @1452
  double dValue1454 = 0;                                // @1454
  double dValue1462 = 0;                                // @1462
  vb::Array<std::int16_t, 1, 30> nChillerIDs2;          // @1470
  vb::Array<std::int16_t, 1, 30> nTowerIDs2;            // @1530
  bool operator==(const SystemData&) const = default;
};

// CHL.DAT, records of 3,764 bytes; chiller id n at byte n x 3764 + 1.
// Map entries (e, l): ECWT point e (1..14) varies fastest.
struct ChillerData {
  std::string sName;                  // @0    String*35
  std::int16_t nType = 0;             // @35   1..12
  std::string sValue37;               // @37   String*255
  std::int16_t bNoMinLoad = 0;        // @292  template field (nValue292): non-zero = minimum capacity 0
  std::int16_t nChillerOption = 0;    // @294  template field (nValue294): passed to the engine
  float fDesignLCHWT = 0;             // @296
  float fDesignECWT = 0;              // @300
  float fFLCapacity = 0;              // @304  tons
  float fFLPower = 0;                 // @308
  std::int16_t nFLPowerType = 0;      // @312  0: fFLPower is the efficiency
  std::int16_t nFuelType = 0;         // @314  the 16-bit field after nFLPowerType: energy source
                                      //       (engine code) of types 8 (4, 5, 6) and 9 (4 gas, 8 steam)
  float fMinLoadPct = 0;              // @316  template field (fValue316): minimum load, % of capacity
  float fAuxKW = 0;                   // @320  template field (fValue320): auxiliary kW
  float fInputHeatFactor = 0;         // @324  template field (fValue324): Btu per unit of input
  float fMinECWT = 0;                 // @328
  float fRejectedHeatPct = 0;         // @332  template field (fValue332): % of input rejected
  std::int16_t nValue336 = 0;         // @336
  std::int16_t nFreeCoolingMode = 0;  // @338
  float fIPLV = 0;           // @340  standard IPLV, kW/ton (offset name fValue340; copied into ChillerResultData.fIPLV)
  float fEvapWaterFlow = 0;  // @344
  float fCondWaterFlow = 0;  // @348
  float fValue352 = 0;       // @352
  float fValue356 = 0;       // @356
  float fValue360 = 0;       // @360
  std::int16_t nNumECWTPoints = 0;               // @364  at most 14
  std::int16_t nNumLoadPoints = 0;               // @366  at most 28
  std::int16_t nPartLoadPoints = 0;              // @368  template field (nValue368): 0 = no part-load table
  vb::Array<float, 1, 14> fECWTPoints;           // @370
  vb::Array<std::int16_t, 1, 28> nLoadPoints;    // @426
  vb::Array2<float, 1, 14, 1, 28> fCapacityMap;  // @482  (ECWT point, load point)
  vb::Array2<float, 1, 14, 1, 28> fPowerMap;     // @2050 (ECWT point, load point)
  vb::Array<float, 1, 4> fMapCoef;               // @3618 template field (fValue3618..fValue3630)
  vb::Array<float, 1, 8> fPartLoadPct;           // @3634 template field (fValue3634)
  vb::Array<float, 1, 8> fPartLoadCapacity;      // @3666 template field (fValue3666)
  vb::Array<float, 1, 8> fPartLoadInput;         // @3698 template field (fValue3698)
  vb::Boolean bHeatRecoveryChiller = 0;          // @3730
  float fValue3732 = 0;                          // @3732
  float fValue3736 = 0;                          // @3736
  float fValue3740 = 0;                          // @3740
  float fValue3744 = 0;                          // @3744
  float fValue3748 = 0;                          // @3748
  std::int16_t nValue3752 = 0;                   // @3752
  std::int16_t nValue3754 = 0;                   // @3754
  float fValue3756 = 0;                          // @3756
  float fValue3760 = 0;                          // @3760
  bool operator==(const ChillerData&) const = default;
};

// TWR.DAT, records of 133 bytes; tower id n at byte n x 133 + 1.
struct TowerData {
  std::string sName;                     // @0   String*35
  std::int16_t nEqptType = 0;            // @35  2 tower, 3 well water, 4 dry cooler
  float fDesignWB = 0;                   // @37
  float fValue41 = 0;                    // @41
  float fValue45 = 0;                    // @45
  float fDesignRange = 0;                // @49
  float fDesignApproach = 0;             // @53
  float fDesignAirflow = 0;              // @57
  std::int16_t nAirflowAbsolute = 0;     // @61
  float fDesignFanKW = 0;                // @63
  std::int16_t nFanKWAbsolute = 0;       // @67
  std::int16_t nCapacityControl = 0;     // @69  0 cycling, 1 bypass, 2 two-speed, 3 VSD
  std::int16_t nLowSpeedAirflowPct = 0;  // @71
  float fFanElecEffPct = 0;              // @73
  vb::Array<float, 1, 13> fTowerTable;   // @77  entry 13: well-water temperature
  float fCondWaterFlow = 0;              // @129
  bool operator==(const TowerData&) const = default;
};
