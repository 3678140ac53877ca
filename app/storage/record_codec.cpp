#include "app/storage/record_codec.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <type_traits>

#include "libs/text/encoding.h"
#include "libs/vb/vberror.h"

namespace modDataIO::codec {
namespace {

static_assert(std::endian::native == std::endian::little, "the codec assumes a little-endian host");

template <class T>
struct IsVbArray : std::false_type {};
template <class T, long Lo, long Hi>
struct IsVbArray<vb::Array<T, Lo, Hi>> : std::true_type {};
template <class T, long Lo1, long Hi1, long Lo2, long Hi2>
struct IsVbArray<vb::Array2<T, Lo1, Hi1, Lo2, Hi2>> : std::true_type {};

constexpr std::int16_t kVarEmpty = 0;
constexpr std::int16_t kVarDouble = 5;
constexpr std::int32_t kChillerResultCount = 30;
constexpr std::int32_t kChillerResultLower = 1;

// ---- Visitors ---------------------------------------------------------------------------
// A visitor sees every field: Begin(name) at the start of each top-level field, then the
// primitive values in stored order; Enter and Leave around each array and nested record.

struct Sizer {
  std::size_t n = 0;
  int depth = 0;
  void Begin(const char*) {}
  void Enter() { ++depth; }
  void Leave() { --depth; }
  template <class T>
  void Prim(const T&) {
    n += sizeof(T);
  }
  void Str(const std::string&, std::size_t width) { n += width; }
  void Var(const std::optional<double>& v) { n += v ? 10 : 2; }
  bool DynHeader() {
    n += 10;
    return true;
  }
};

struct Layouter : Sizer {
  std::vector<FieldPos> fields;
  void Begin(const char* name) {
    if (depth != 0) return;
    if (!fields.empty()) fields.back().width = n - fields.back().offset;
    fields.push_back({name, n, 0});
  }
  void Finish() {
    if (!fields.empty()) fields.back().width = n - fields.back().offset;
  }
};

struct Writer {
  std::string out;
  void Begin(const char*) {}
  void Enter() {}
  void Leave() {}
  template <class T>
  void Prim(const T& v) {
    char b[sizeof(T)];
    std::memcpy(b, &v, sizeof(T));
    out.append(b, sizeof(T));
  }
  void Str(const std::string& s, std::size_t width) {
    std::string bytes = text::Utf8ToCp1252(s);
    bytes.resize(width, ' ');
    out += bytes;
  }
  void Var(const std::optional<double>& v) {
    Prim(v ? kVarDouble : kVarEmpty);
    if (v) Prim(*v);
  }
  bool DynHeader() {
    Prim(std::int16_t{1});
    Prim(kChillerResultCount);
    Prim(kChillerResultLower);
    return true;
  }
};

struct Reader {
  std::string_view in;
  std::size_t pos = 0;
  const char* field = "";
  void Begin(const char* name) { field = name; }
  void Enter() {}
  void Leave() {}
  void Need(std::size_t k) {
    if (in.size() - pos < k) {
      vb::Raise(vb::kInputPastEnd, "the record ends at byte " + std::to_string(in.size()) + ", inside field " + field);
    }
  }
  template <class T>
  void Prim(T& v) {
    Need(sizeof(T));
    std::memcpy(&v, in.data() + pos, sizeof(T));
    pos += sizeof(T);
  }
  void Str(std::string& s, std::size_t width) {
    Need(width);
    s = text::Cp1252ToUtf8(in.substr(pos, width));
    pos += width;
  }
  void Var(std::optional<double>& v) {
    const std::size_t at = pos;
    std::int16_t type = 0;
    Prim(type);
    if (type == kVarEmpty) {
      v.reset();
    } else if (type == kVarDouble) {
      double d = 0;
      Prim(d);
      v = d;
    } else {
      vb::Raise(vb::kTypeMismatch, "invalid Variant type " + std::to_string(type) + " at byte offset " +
                                       std::to_string(at) + " in field " + field);
    }
  }
  // False for the empty array: a dimension count of 0 and nothing after it, the form that
  // the zero-filled layout of a fresh results file holds.
  bool DynHeader() {
    const std::size_t at = pos;
    std::int16_t dims = 0;
    std::int32_t count = 0, lower = 0;
    Prim(dims);
    if (dims == 0) return false;
    Prim(count);
    Prim(lower);
    if (dims != 1 || count != kChillerResultCount || lower != kChillerResultLower) {
      vb::Raise(vb::kSubscriptOutOfRange, "invalid array header at byte offset " + std::to_string(at) + " in field " +
                                              field + " (dimensions " + std::to_string(dims) + ", elements " +
                                              std::to_string(count) + ", lower bound " + std::to_string(lower) + ")");
    }
    return true;
  }
};

// Hands each top-level field of one number or one text to a FieldVisitor.
struct Named {
  const FieldVisitor& visit;
  const char* field = "";
  int depth = 0;
  void Begin(const char* name) { field = name; }
  void Enter() { ++depth; }
  void Leave() { --depth; }
  template <class T>
  void Prim(T& v) {
    if (depth == 0) visit(field, &v);
  }
  void Str(std::string& s, std::size_t) {
    if (depth == 0) visit(field, &s);
  }
  void Var(std::optional<double>&) {}
  bool DynHeader() { return true; }
};

// ---- Generic field walk ------------------------------------------------------------------

template <class V, class R>
void Fields(V& v, R& r);

template <class V, class T>
void Item(V& v, T& f) {
  using U = std::remove_const_t<T>;
  if constexpr (std::is_arithmetic_v<U>) {
    v.Prim(f);
  } else if constexpr (std::is_same_v<U, std::optional<double>>) {
    v.Var(f);
  } else if constexpr (IsVbArray<U>::value) {
    v.Enter();
    for (auto& e : f) Item(v, e);
    v.Leave();
  } else {
    v.Enter();
    Fields(v, f);
    v.Leave();
  }
}

template <class V, class T>
void F(V& v, const char* name, T& f) {
  v.Begin(name);
  Item(v, f);
}

// A fixed-length text field, or an array of them.
template <class V, class T>
void S(V& v, const char* name, T& f, std::size_t width) {
  v.Begin(name);
  if constexpr (std::is_same_v<std::remove_const_t<T>, std::string>) {
    v.Str(f, width);
  } else {
    v.Enter();
    for (auto& s : f) v.Str(s, width);
    v.Leave();
  }
}

template <class R, class T>
constexpr bool kIs = std::is_same_v<std::remove_const_t<R>, T>;

// ---- The field lists ----------------------------------------------------------------------

template <class V, class R>
void Fields(V& v, R& r) {
  if constexpr (kIs<R, OperatingPeriod>) {
    F(v, "nFromMonth", r.nFromMonth);
    F(v, "nToMonth", r.nToMonth);
    F(v, "nFromDay", r.nFromDay);
    F(v, "nToDay", r.nToDay);
  } else if constexpr (kIs<R, WeatherData>) {
    S(v, "sName", r.sName, 42);
    F(v, "fSummerDesignDB", r.fSummerDesignDB);
    F(v, "fSummerCoincWB", r.fSummerCoincWB);
    F(v, "fWinterDesignDB", r.fWinterDesignDB);
    F(v, "fElevation", r.fElevation);
    S(v, "sDayTypeNames", r.sDayTypeNames, 10);
    F(v, "bDayOperated", r.bDayOperated);
    F(v, "nStartTime", r.nStartTime);
    F(v, "nStopTime", r.nStopTime);
    F(v, "nNumBins", r.nNumBins);
    F(v, "fBinDB", r.fBinDB);
    F(v, "fBinMCWB", r.fBinMCWB);
    F(v, "fMonthBinMCWB", r.fMonthBinMCWB);
    F(v, "lBinHours", r.lBinHours);
    F(v, "lMonthBinHours", r.lMonthBinHours);
    F(v, "lTotalHours", r.lTotalHours);
    F(v, "lMonthHours", r.lMonthHours);
    F(v, "nPeriodMode", r.nPeriodMode);
    F(v, "nNumPeriods", r.nNumPeriods);
    F(v, "OperatingPeriods", r.OperatingPeriods);
  } else if constexpr (kIs<R, LoadProfileData>) {
    S(v, "sName", r.sName, 35);
    F(v, "nValue35", r.nValue35);
    F(v, "fPeakLoad", r.fPeakLoad);
    F(v, "fValue41", r.fValue41);
    F(v, "fValue45", r.fValue45);
    F(v, "fValue49", r.fValue49);
    F(v, "fValue53", r.fValue53);
    F(v, "fValue57", r.fValue57);
    F(v, "bAirEconomizer", r.bAirEconomizer);
    F(v, "fEconomizerLimitDB", r.fEconomizerLimitDB);
    F(v, "fBinLoad", r.fBinLoad);
    F(v, "fBinLoadPercent", r.fBinLoadPercent);
  } else if constexpr (kIs<R, EconomicsData>) {
    S(v, "sCurrency", r.sCurrency, 7);
    F(v, "nLifeCycleYears", r.nLifeCycleYears);
    F(v, "fDiscountRate", r.fDiscountRate);
    F(v, "fOtherInvestEscalation", r.fOtherInvestEscalation);
    F(v, "fMaintEscalation", r.fMaintEscalation);
    F(v, "fElecEscalation", r.fElecEscalation);
    F(v, "fSteamEscalation", r.fSteamEscalation);
    F(v, "fGasEscalation", r.fGasEscalation);
    F(v, "fElecRate", r.fElecRate);
    F(v, "fDemandRate", r.fDemandRate);
    S(v, "sGasUnit", r.sGasUnit, 7);
    F(v, "fGasFactor", r.fGasFactor);
    F(v, "fGasRate", r.fGasRate);
    S(v, "sSteamUnit", r.sSteamUnit, 7);
    F(v, "fSteamFactor", r.fSteamFactor);
    F(v, "fSteamRate", r.fSteamRate);
  } else if constexpr (kIs<R, ReportData>) {
    S(v, "LeadText", r.LeadText, 255);
    S(v, "sValue255", r.sValue255, 40);
    S(v, "sValue295", r.sValue295, 30);
    S(v, "sValue325", r.sValue325, 30);
    S(v, "sValue355", r.sValue355, 50);
    S(v, "sValue405", r.sValue405, 40);
    F(v, "ReportType", r.ReportType);
    F(v, "bCoverPage", r.bCoverPage);
    F(v, "nValue449", r.nValue449);
    F(v, "EconSummary", r.EconSummary);
    F(v, "AnnualCostComparison", r.AnnualCostComparison);
    F(v, "AnnualSystemEfficiency", r.AnnualSystemEfficiency);
    F(v, "EnergyCostsGraph", r.EnergyCostsGraph);
    F(v, "EnergyUseGraph", r.EnergyUseGraph);
    F(v, "NetCashFlowGraph", r.NetCashFlowGraph);
    F(v, "NetCashFlowCompGraph", r.NetCashFlowCompGraph);
    F(v, "EnergyCostDetails", r.EnergyCostDetails);
    F(v, "EnergyUseDetails", r.EnergyUseDetails);
    F(v, "IncrCostDetails", r.IncrCostDetails);
    F(v, "CashFlowDetails", r.CashFlowDetails);
    F(v, "nTypeOfCostCalcs", r.nTypeOfCostCalcs);
    F(v, "bIncludePumpEnergy", r.bIncludePumpEnergy);
    F(v, "bIncludeTowerEnergy", r.bIncludeTowerEnergy);
    F(v, "nSysEffType", r.nSysEffType);
    F(v, "AnalysedSystemIndex", r.AnalysedSystemIndex);
    F(v, "bSummaryReport", r.bSummaryReport);
    F(v, "bCustomPLVFactors", r.bCustomPLVFactors);
    F(v, "bCustomPLVSpec", r.bCustomPLVSpec);
    F(v, "bLoadProfileGraph", r.bLoadProfileGraph);
    F(v, "bCoolingDuty", r.bCoolingDuty);
    F(v, "bCondTempProfiles", r.bCondTempProfiles);
    F(v, "nEfficiencyInput", r.nEfficiencyInput);
    F(v, "bPerfProfiles", r.bPerfProfiles);
    F(v, "bInputSummary", r.bInputSummary);
    F(v, "bShowLogo", r.bShowLogo);
    F(v, "ShowLoadBands", r.ShowLoadBands);
    F(v, "UseCoverFile", r.UseCoverFile);
    F(v, "nValue509", r.nValue509);
  } else if constexpr (kIs<R, SystemData>) {
    S(v, "sName", r.sName, 40);
    F(v, "nNumChillers", r.nNumChillers);
    F(v, "nPlantControl", r.nPlantControl);
    F(v, "fDesignLCHWT", r.fDesignLCHWT);
    F(v, "nSingleTower", r.nSingleTower);
    F(v, "nCondPumpControl", r.nCondPumpControl);
    F(v, "fCondPumpHead", r.fCondPumpHead);
    F(v, "fCondPumpEffValue", r.fCondPumpEffValue);
    F(v, "nMinCondFlowPercent", r.nMinCondFlowPercent);
    F(v, "fCondPumpControlValue", r.fCondPumpControlValue);
    F(v, "bWaterEconomizer", r.bWaterEconomizer);
    F(v, "nEconomizerType", r.nEconomizerType);
    F(v, "fEconomizerValue", r.fEconomizerValue);
    F(v, "fTotalCondWaterFlow", r.fTotalCondWaterFlow);
    S(v, "sChillerNames", r.sChillerNames, 12);
    F(v, "nChillerIDs", r.nChillerIDs);
    F(v, "nTowerIDs", r.nTowerIDs);
    F(v, "nLCHWTResetMode", r.nLCHWTResetMode);
    F(v, "fResetLCHWT", r.fResetLCHWT);
    F(v, "fResetPointA", r.fResetPointA);
    F(v, "fResetPointB", r.fResetPointB);
    F(v, "nEvapFlowControl", r.nEvapFlowControl);
    F(v, "fEvapPumpHead", r.fEvapPumpHead);
    F(v, "fChilledWaterPumpHead", r.fChilledWaterPumpHead);
    F(v, "fChwPumpControlValue", r.fChwPumpControlValue);
    F(v, "fMinChwFlowPercent", r.fMinChwFlowPercent);
    F(v, "bSlot1Basis", r.bSlot1Basis);
    F(v, "dChillerCostA", r.dChillerCostA);
    F(v, "dChwPumpCostA", r.dChwPumpCostA);
    F(v, "dTowerCostA", r.dTowerCostA);
    F(v, "dCondPumpCostA", r.dCondPumpCostA);
    F(v, "dOtherCostA", r.dOtherCostA);
    F(v, "dChillerCostB", r.dChillerCostB);
    F(v, "dChwPumpCostB", r.dChwPumpCostB);
    F(v, "dTowerCostB", r.dTowerCostB);
    F(v, "dCondPumpCostB", r.dCondPumpCostB);
    F(v, "dOtherCostB", r.dOtherCostB);
    S(v, "sCostItemNames1", r.sCostItemNames1, 30);
    F(v, "dOtherInvestAmount", r.dOtherInvestAmount);
    F(v, "nOtherInvestFirstYear", r.nOtherInvestFirstYear);
    F(v, "nOtherInvestCount", r.nOtherInvestCount);
    F(v, "nOtherInvestInterval", r.nOtherInvestInterval);
    F(v, "dValue1024", r.dValue1024);
    F(v, "dLoanAmount", r.dLoanAmount);
    F(v, "fLoanRate", r.fLoanRate);
    F(v, "fLoanYears", r.fLoanYears);
    F(v, "nLoanPaymentType", r.nLoanPaymentType);
    F(v, "fValue1050", r.fValue1050);
    S(v, "sCostItemNames2", r.sCostItemNames2, 30);
    F(v, "dOtherMaintAmount", r.dOtherMaintAmount);
    F(v, "nOtherMaintFirstYear", r.nOtherMaintFirstYear);
    F(v, "nOtherMaintCount", r.nOtherMaintCount);
    F(v, "nOtherMaintInterval", r.nOtherMaintInterval);
    F(v, "dChillerMaint", r.dChillerMaint);
    F(v, "dTowerMaint", r.dTowerMaint);
    F(v, "dChwPumpMaint", r.dChwPumpMaint);
    F(v, "dCondPumpMaint", r.dCondPumpMaint);
    F(v, "dOtherMaint", r.dOtherMaint);
    F(v, "fValue1446", r.fValue1446);
    F(v, "nHeatRecoveryMode", r.nHeatRecoveryMode);
    F(v, "nValue1452", r.nValue1452);
    F(v, "dValue1454", r.dValue1454);
    F(v, "dValue1462", r.dValue1462);
    F(v, "nChillerIDs2", r.nChillerIDs2);
    F(v, "nTowerIDs2", r.nTowerIDs2);
  } else if constexpr (kIs<R, ChillerData>) {
    S(v, "sName", r.sName, 35);
    F(v, "nType", r.nType);
    S(v, "sValue37", r.sValue37, 255);
    F(v, "bNoMinLoad", r.bNoMinLoad);
    F(v, "nChillerOption", r.nChillerOption);
    F(v, "fDesignLCHWT", r.fDesignLCHWT);
    F(v, "fDesignECWT", r.fDesignECWT);
    F(v, "fFLCapacity", r.fFLCapacity);
    F(v, "fFLPower", r.fFLPower);
    F(v, "nFLPowerType", r.nFLPowerType);
    F(v, "nFuelType", r.nFuelType);
    F(v, "fMinLoadPct", r.fMinLoadPct);
    F(v, "fAuxKW", r.fAuxKW);
    F(v, "fInputHeatFactor", r.fInputHeatFactor);
    F(v, "fMinECWT", r.fMinECWT);
    F(v, "fRejectedHeatPct", r.fRejectedHeatPct);
    F(v, "nValue336", r.nValue336);
    F(v, "nFreeCoolingMode", r.nFreeCoolingMode);
    F(v, "fIPLV", r.fIPLV);
    F(v, "fEvapWaterFlow", r.fEvapWaterFlow);
    F(v, "fCondWaterFlow", r.fCondWaterFlow);
    F(v, "fValue352", r.fValue352);
    F(v, "fValue356", r.fValue356);
    F(v, "fValue360", r.fValue360);
    F(v, "nNumECWTPoints", r.nNumECWTPoints);
    F(v, "nNumLoadPoints", r.nNumLoadPoints);
    F(v, "nPartLoadPoints", r.nPartLoadPoints);
    F(v, "fECWTPoints", r.fECWTPoints);
    F(v, "nLoadPoints", r.nLoadPoints);
    F(v, "fCapacityMap", r.fCapacityMap);
    F(v, "fPowerMap", r.fPowerMap);
    F(v, "fMapCoef", r.fMapCoef);
    F(v, "fPartLoadPct", r.fPartLoadPct);
    F(v, "fPartLoadCapacity", r.fPartLoadCapacity);
    F(v, "fPartLoadInput", r.fPartLoadInput);
    F(v, "bHeatRecoveryChiller", r.bHeatRecoveryChiller);
    F(v, "fValue3732", r.fValue3732);
    F(v, "fValue3736", r.fValue3736);
    F(v, "fValue3740", r.fValue3740);
    F(v, "fValue3744", r.fValue3744);
    F(v, "fValue3748", r.fValue3748);
    F(v, "nValue3752", r.nValue3752);
    F(v, "nValue3754", r.nValue3754);
    F(v, "fValue3756", r.fValue3756);
    F(v, "fValue3760", r.fValue3760);
  } else if constexpr (kIs<R, TowerData>) {
    S(v, "sName", r.sName, 35);
    F(v, "nEqptType", r.nEqptType);
    F(v, "fDesignWB", r.fDesignWB);
    F(v, "fValue41", r.fValue41);
    F(v, "fValue45", r.fValue45);
    F(v, "fDesignRange", r.fDesignRange);
    F(v, "fDesignApproach", r.fDesignApproach);
    F(v, "fDesignAirflow", r.fDesignAirflow);
    F(v, "nAirflowAbsolute", r.nAirflowAbsolute);
    F(v, "fDesignFanKW", r.fDesignFanKW);
    F(v, "nFanKWAbsolute", r.nFanKWAbsolute);
    F(v, "nCapacityControl", r.nCapacityControl);
    F(v, "nLowSpeedAirflowPct", r.nLowSpeedAirflowPct);
    F(v, "fFanElecEffPct", r.fFanElecEffPct);
    F(v, "fTowerTable", r.fTowerTable);
    F(v, "fCondWaterFlow", r.fCondWaterFlow);
  } else if constexpr (kIs<R, CalcHeaderData>) {
    F(v, "fPosSummary", r.fPosSummary);
    F(v, "fPosProfile", r.fPosProfile);
    F(v, "fPosEconSummary", r.fPosEconSummary);
    F(v, "fPosSystemEcon", r.fPosSystemEcon);
    F(v, "fPosSimData", r.fPosSimData);
  } else if constexpr (kIs<R, PLVSummaryData>) {
    S(v, "sCityName", r.sCityName, 41);
    S(v, "sDaySchedules", r.sDaySchedules, 25);
    S(v, "sLoadProfileName", r.sLoadProfileName, 35);
    F(v, "nValue151", r.nValue151);
    F(v, "fPeakLoad", r.fPeakLoad);
    F(v, "fPeakLoadTemp", r.fPeakLoadTemp);
    F(v, "fLoad2", r.fLoad2);
    F(v, "fLoad2Temp", r.fLoad2Temp);
    F(v, "fLoad3", r.fLoad3);
    F(v, "fLoad3Temp", r.fLoad3Temp);
    F(v, "bAirEconomizer", r.bAirEconomizer);
    F(v, "fEconomizerLimitDB", r.fEconomizerLimitDB);
    F(v, "nValue183", r.nValue183);
    F(v, "fValue185", r.fValue185);
    F(v, "fValue189", r.fValue189);
    F(v, "fValue193", r.fValue193);
    F(v, "fValue197", r.fValue197);
    F(v, "fValue201", r.fValue201);
    F(v, "fValue205", r.fValue205);
    F(v, "nNumPeriods", r.nNumPeriods);
    S(v, "sPeriods", r.sPeriods, 25);
  } else if constexpr (kIs<R, PLVBinData>) {
    F(v, "fDB", r.fDB);
    F(v, "fMCWB", r.fMCWB);
    F(v, "lHours", r.lHours);
    F(v, "lLoadHours", r.lLoadHours);
    F(v, "fLoad", r.fLoad);
    F(v, "fLoadPercent", r.fLoadPercent);
    F(v, "nChillersOn", r.nChillersOn);
    F(v, "fChillerPctLoad", r.fChillerPctLoad);
    F(v, "fECWT", r.fECWT);
    F(v, "fFreeCoolingLoad", r.fFreeCoolingLoad);
    F(v, "fFreeCoolingPower", r.fFreeCoolingPower);
    F(v, "fInput", r.fInput);
    F(v, "fEfficiency", r.fEfficiency);
    F(v, "fWeight", r.fWeight);
    F(v, "fWeightedEff", r.fWeightedEff);
    F(v, "fHRCooling", r.fHRCooling);
  } else if constexpr (kIs<R, ChillerResultData>) {
    S(v, "sSlotName", r.sSlotName, 12);
    S(v, "sChillerName", r.sChillerName, 35);
    F(v, "fCapacity", r.fCapacity);
    F(v, "fFLEfficiency", r.fFLEfficiency);
    F(v, "nChillerType", r.nChillerType);
    F(v, "nCycleType", r.nCycleType);
    F(v, "nCondenserType", r.nCondenserType);
    F(v, "nEfficiencyKind", r.nEfficiencyKind);
    F(v, "fDesignLCHWT", r.fDesignLCHWT);
    F(v, "fDesignECWT", r.fDesignECWT);
    F(v, "bMinECWTReached", r.bMinECWTReached);
    F(v, "fIPLV", r.fIPLV);
    F(v, "nFreeCoolingMode", r.nFreeCoolingMode);
    F(v, "bBinOn", r.bBinOn);
    F(v, "fBinLoad", r.fBinLoad);
    F(v, "fBinLoadPercent", r.fBinLoadPercent);
    F(v, "fBinFreeCoolingLoad", r.fBinFreeCoolingLoad);
    F(v, "fBinFreeCoolingPower", r.fBinFreeCoolingPower);
    F(v, "vBinValues", r.vBinValues);
    F(v, "fBinEfficiency", r.fBinEfficiency);
    F(v, "fBinECWT", r.fBinECWT);
    F(v, "fBinHours", r.fBinHours);
    F(v, "fBinHourECWT", r.fBinHourECWT);
    F(v, "fBinTonHours", r.fBinTonHours);
    F(v, "fPointBinHourECWT", r.fPointBinHourECWT);
    F(v, "fPointBinTonHours", r.fPointBinTonHours);
    F(v, "fPointHours", r.fPointHours);
    F(v, "fPointHourECWT", r.fPointHourECWT);
    F(v, "fPointTonHours", r.fPointTonHours);
    F(v, "fPoolHours", r.fPoolHours);
    F(v, "fPoolHourECWT", r.fPoolHourECWT);
    F(v, "fPoolTonHours", r.fPoolTonHours);
    F(v, "fWeightingFactor", r.fWeightingFactor);
    F(v, "fECWT", r.fECWT);
    F(v, "fTotalHours", r.fTotalHours);
    F(v, "fTotalHourECWT", r.fTotalHourECWT);
    F(v, "fTotalTonHours", r.fTotalTonHours);
    F(v, "nGroup", r.nGroup);
    F(v, "bFirstOfGroup", r.bFirstOfGroup);
    F(v, "fProfileLoadPct", r.fProfileLoadPct);
    F(v, "fProfileBuildingPct", r.fProfileBuildingPct);
    F(v, "fProfileECWT", r.fProfileECWT);
    F(v, "bProfileStaging", r.bProfileStaging);
  } else if constexpr (kIs<R, PLVProfileData>) {
    S(v, "sSystemName", r.sSystemName, 40);
    F(v, "bAnyHeatDriven", r.bAnyHeatDriven);
    F(v, "nNumChillerResults", r.nNumChillerResults);
    F(v, "nPlantControl", r.nPlantControl);
    F(v, "fDesignLCHWT", r.fDesignLCHWT);
    F(v, "nSingleTower", r.nSingleTower);
    S(v, "sTowerName", r.sTowerName, 35);
    F(v, "nTowerEqptType", r.nTowerEqptType);
    F(v, "fWellWaterTemp", r.fWellWaterTemp);
    F(v, "bWaterEconomizer", r.bWaterEconomizer);
    F(v, "nEconomizerType", r.nEconomizerType);
    F(v, "bAnyFreeCooling", r.bAnyFreeCooling);
    F(v, "nLastLoadBin", r.nLastLoadBin);
    F(v, "lTotalHours", r.lTotalHours);
    F(v, "lTotalLoadHours", r.lTotalLoadHours);
    F(v, "fWeightSum", r.fWeightSum);
    F(v, "fProductSum", r.fProductSum);
    F(v, "fPLV", r.fPLV);
    F(v, "Bins", r.Bins);
    v.Begin("ChillerResults");
    if (v.DynHeader()) {
      Item(v, r.ChillerResults);
    } else if constexpr (!std::is_const_v<R>) {
      r.ChillerResults = {};  // an empty array: no results
    }
    F(v, "nHeatRecoveryMode", r.nHeatRecoveryMode);
    F(v, "Chiller", r.Chiller);
  } else if constexpr (kIs<R, EconCaseData>) {
    F(v, "nBaseSystem", r.nBaseSystem);
    F(v, "nChallengerSystem", r.nChallengerSystem);
    F(v, "nWinnerSystem", r.nWinnerSystem);
    F(v, "dNPW", r.dNPW);
    F(v, "fIRR", r.fIRR);
    F(v, "fPayback", r.fPayback);
    F(v, "dAddedFirstCost", r.dAddedFirstCost);
    F(v, "dPWCostDifference", r.dPWCostDifference);
    F(v, "dOpCostSavingsByYear", r.dOpCostSavingsByYear);
    F(v, "dAddedInvestment", r.dAddedInvestment);
    F(v, "dCumOpCostSavings", r.dCumOpCostSavings);
    F(v, "dCumAddedInvestment", r.dCumAddedInvestment);
    F(v, "fSIR", r.fSIR);
  } else if constexpr (kIs<R, EconSummaryData>) {
    F(v, "nNumSystems", r.nNumSystems);
    S(v, "sCurrency", r.sCurrency, 7);
    F(v, "nLifeCycleYears", r.nLifeCycleYears);
    F(v, "fValue11", r.fValue11);
    S(v, "sGasUnit", r.sGasUnit, 7);
    S(v, "sSteamUnit", r.sSteamUnit, 7);
    S(v, "sElecRateText", r.sElecRateText, 25);
    S(v, "sDemandRateText", r.sDemandRateText, 25);
    S(v, "sGasRateText", r.sGasRateText, 25);
    S(v, "sSteamRateText", r.sSteamRateText, 25);
    F(v, "nComparisonCount", r.nComparisonCount);
    F(v, "nLowestEnergyCostSystem", r.nLowestEnergyCostSystem);
    F(v, "nLowestOpCostSystem", r.nLowestOpCostSystem);
    F(v, "nLowestLCCSystem", r.nLowestLCCSystem);
    F(v, "nOverallWinner", r.nOverallWinner);
    F(v, "Cases", r.Cases);
    F(v, "bHeatRecovery", r.bHeatRecovery);
  } else if constexpr (kIs<R, SystemEconData>) {
    F(v, "nSysIndex", r.nSysIndex);
    S(v, "sSystemName", r.sSystemName, 40);
    F(v, "nNumChillers", r.nNumChillers);
    F(v, "dFirstCost", r.dFirstCost);
    F(v, "dEnergyCost", r.dEnergyCost);
    F(v, "dMaintCost", r.dMaintCost);
    F(v, "dOpCost", r.dOpCost);
    F(v, "fEnergyCostSavingsPct", r.fEnergyCostSavingsPct);
    F(v, "fElecUseSavingsPct", r.fElecUseSavingsPct);
    F(v, "fGasUseSavingsPct", r.fGasUseSavingsPct);
    F(v, "fSteamUseSavingsPct", r.fSteamUseSavingsPct);
    F(v, "dOpCostSavings", r.dOpCostSavings);
    F(v, "dInvestPrincipal", r.dInvestPrincipal);
    F(v, "dInvestInterest", r.dInvestInterest);
    F(v, "dInvestOther", r.dInvestOther);
    F(v, "dInvestTotal", r.dInvestTotal);
    F(v, "dEnergyByYear", r.dEnergyByYear);
    F(v, "dMaintByYear", r.dMaintByYear);
    F(v, "dOpCostByYear", r.dOpCostByYear);
    F(v, "dTotalCostByYear", r.dTotalCostByYear);
    F(v, "dInvestTotalPW", r.dInvestTotalPW);
    F(v, "dOpCostTotalPW", r.dOpCostTotalPW);
    F(v, "dTotalCostPW", r.dTotalCostPW);
    F(v, "dTotInvestPrincipal", r.dTotInvestPrincipal);
    F(v, "dTotInvestInterest", r.dTotInvestInterest);
    F(v, "dTotInvestOther", r.dTotInvestOther);
    F(v, "dTotInvestTotal", r.dTotInvestTotal);
    F(v, "dTotEnergyByYear", r.dTotEnergyByYear);
    F(v, "dTotMaintByYear", r.dTotMaintByYear);
    F(v, "dTotOpCostByYear", r.dTotOpCostByYear);
    F(v, "dTotTotalCostByYear", r.dTotTotalCostByYear);
    F(v, "dTotInvestTotalPW", r.dTotInvestTotalPW);
    F(v, "dTotOpCostTotalPW", r.dTotOpCostTotalPW);
    F(v, "dLifeCycleCost", r.dLifeCycleCost);
    F(v, "dChillerElecCost", r.dChillerElecCost);
    F(v, "dTowerElecCost", r.dTowerElecCost);
    F(v, "dChwPumpElecCost", r.dChwPumpElecCost);
    F(v, "dCwPumpElecCost", r.dCwPumpElecCost);
    F(v, "dFuelCost", r.dFuelCost);
    F(v, "dSystemEfficiency", r.dSystemEfficiency);
    F(v, "nEfficiencyType", r.nEfficiencyType);
    F(v, "dAnnualTonHours", r.dAnnualTonHours);
    F(v, "dAnnualEnergyInput", r.dAnnualEnergyInput);
    F(v, "bElectricOnly", r.bElectricOnly);
    F(v, "dAnnualFuelInput", r.dAnnualFuelInput);
    F(v, "dChillerKWh", r.dChillerKWh);
    F(v, "dTowerKWh", r.dTowerKWh);
    F(v, "dChwPumpKWh", r.dChwPumpKWh);
    F(v, "dCwPumpKWh", r.dCwPumpKWh);
    F(v, "dTotalKWh", r.dTotalKWh);
    F(v, "dGasUse", r.dGasUse);
    F(v, "dSteamUse", r.dSteamUse);
    F(v, "dMonthKWh", r.dMonthKWh);
    F(v, "dMonthPeakKW", r.dMonthPeakKW);
    F(v, "dMonthEnergyCharge", r.dMonthEnergyCharge);
    F(v, "dMonthDemandCharge", r.dMonthDemandCharge);
    F(v, "dMonthElecCharge", r.dMonthElecCharge);
    F(v, "dMonthGasCharge", r.dMonthGasCharge);
    F(v, "dMonthSteamCharge", r.dMonthSteamCharge);
    F(v, "dMonthEnergyCost", r.dMonthEnergyCost);
    F(v, "dMonthTonHours", r.dMonthTonHours);
    F(v, "dMonthChillerKWh", r.dMonthChillerKWh);
    F(v, "dMonthTowerKWh", r.dMonthTowerKWh);
    F(v, "dMonthChwPumpKWh", r.dMonthChwPumpKWh);
    F(v, "dMonthCwPumpKWh", r.dMonthCwPumpKWh);
    F(v, "dMonthGasUse", r.dMonthGasUse);
    F(v, "dMonthSteamUse", r.dMonthSteamUse);
    F(v, "fBinWeather", r.fBinWeather);
    F(v, "fBinProfile", r.fBinProfile);
    F(v, "dBinEnergyCost", r.dBinEnergyCost);
    F(v, "dBinKWh", r.dBinKWh);
    F(v, "dBinGasUse", r.dBinGasUse);
    F(v, "dBinSteamUse", r.dBinSteamUse);
    F(v, "dBinEfficiency", r.dBinEfficiency);
    F(v, "dBinTonHours", r.dBinTonHours);
    F(v, "dHeatingCost", r.dHeatingCost);
    F(v, "ElectricBoilerEnergyUse", r.ElectricBoilerEnergyUse);
    F(v, "DHRCPumpEnergyUse", r.DHRCPumpEnergyUse);
    F(v, "DHRCChillerEnergyUse", r.DHRCChillerEnergyUse);
    F(v, "GasBoilerUse", r.GasBoilerUse);
    F(v, "DHRCChillerEnergyForHeating", r.DHRCChillerEnergyForHeating);
    F(v, "HeatingEnergyUse", r.HeatingEnergyUse);
    F(v, "HeatingLoad", r.HeatingLoad);
    F(v, "dValue7968", r.dValue7968);
    F(v, "dValue7976", r.dValue7976);
    F(v, "HeatingSystemEfficiency", r.HeatingSystemEfficiency);
    F(v, "CombinedSystemEfficiency", r.CombinedSystemEfficiency);
    F(v, "BinHeatingLoad", r.BinHeatingLoad);
    F(v, "BinHeatingEfficiency", r.BinHeatingEfficiency);
    F(v, "BinCombinedEfficiency", r.BinCombinedEfficiency);
    F(v, "dMonthHeatLoad", r.dMonthHeatLoad);
    F(v, "dMonthRecoveredHeat", r.dMonthRecoveredHeat);
    F(v, "dMonthHeatKWh", r.dMonthHeatKWh);
    F(v, "dMonthElecHeatKWh", r.dMonthElecHeatKWh);
    F(v, "dMonthRecoveryPumpKWh", r.dMonthRecoveryPumpKWh);
    F(v, "dMonthRecoveryKWh", r.dMonthRecoveryKWh);
    F(v, "dMonthHeatFuel", r.dMonthHeatFuel);
    F(v, "MonthlyHeatingGasCost", r.MonthlyHeatingGasCost);
  } else if constexpr (kIs<R, SimMonthData>) {
    F(v, "fValues", r.fValues);
  } else {
    static_assert(!sizeof(R), "no field list for this record type");
  }
}

}  // namespace

template <class R>
std::string Encode(const R& rec) {
  Writer w;
  Fields(w, rec);
  return std::move(w.out);
}

template <class R>
std::size_t Decode(std::string_view bytes, R& rec) {
  Reader r{bytes};
  Fields(r, rec);
  return r.pos;
}

template <class R>
std::size_t EncodedSize(const R& rec) {
  Sizer s;
  Fields(s, rec);
  return s.n;
}

template <class R>
std::vector<FieldPos> Layout(const R& rec) {
  Layouter l;
  Fields(l, rec);
  l.Finish();
  return std::move(l.fields);
}

template <class R>
void VisitScalarFields(R& rec, const FieldVisitor& visit) {
  Named n{visit};
  Fields(n, rec);
}

#define KESTRIN_CODEC_INSTANTIATE(R)                    \
  template std::string Encode<R>(const R&);             \
  template std::size_t Decode<R>(std::string_view, R&); \
  template std::size_t EncodedSize<R>(const R&);        \
  template std::vector<FieldPos> Layout<R>(const R&);   \
  template void VisitScalarFields<R>(R&, const FieldVisitor&);

KESTRIN_CODEC_INSTANTIATE(OperatingPeriod)
KESTRIN_CODEC_INSTANTIATE(WeatherData)
KESTRIN_CODEC_INSTANTIATE(LoadProfileData)
KESTRIN_CODEC_INSTANTIATE(EconomicsData)
KESTRIN_CODEC_INSTANTIATE(ReportData)
KESTRIN_CODEC_INSTANTIATE(SystemData)
KESTRIN_CODEC_INSTANTIATE(ChillerData)
KESTRIN_CODEC_INSTANTIATE(TowerData)
KESTRIN_CODEC_INSTANTIATE(CalcHeaderData)
KESTRIN_CODEC_INSTANTIATE(PLVSummaryData)
KESTRIN_CODEC_INSTANTIATE(PLVBinData)
KESTRIN_CODEC_INSTANTIATE(ChillerResultData)
KESTRIN_CODEC_INSTANTIATE(PLVProfileData)
KESTRIN_CODEC_INSTANTIATE(EconCaseData)
KESTRIN_CODEC_INSTANTIATE(EconSummaryData)
KESTRIN_CODEC_INSTANTIATE(SystemEconData)
KESTRIN_CODEC_INSTANTIATE(SimMonthData)

#undef KESTRIN_CODEC_INSTANTIATE

}  // namespace modDataIO::codec
