// The stored form of every record: sizes, field offsets, byte-exact round trips, the
// Variant and dynamic-array encodings and the rejection of corrupt bytes.
#include "app/storage/record_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "libs/text/encoding.h"
#include "libs/vb/vberror.h"

namespace codec = modDataIO::codec;

namespace {

template <class R>
std::map<std::string, std::size_t> Offsets(const R& rec = R{}) {
  std::map<std::string, std::size_t> m;
  for (const auto& f : codec::Layout(rec)) m[f.name] = f.offset;
  return m;
}

// Random bytes of the record's length, decoded: every byte of the stored form is given a
// value (unused map cells and template fields included).
template <class R>
std::string RandomBytes(std::size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

template <class R>
void ExpectByteExactRoundTrip(unsigned seed) {
  const std::size_t n = codec::EncodedSize(R{});
  const std::string bytes = RandomBytes<R>(n, seed);
  R rec;
  ASSERT_EQ(codec::Decode(bytes, rec), n);
  EXPECT_EQ(codec::Encode(rec), bytes) << typeid(R).name();
}

}  // namespace

TEST(RecordCodec, StoredSizes) {
  EXPECT_EQ(codec::EncodedSize(OperatingPeriod{}), 8u);
  EXPECT_EQ(codec::EncodedSize(WeatherData{}), 2772u);
  EXPECT_EQ(codec::EncodedSize(LoadProfileData{}), 259u);
  EXPECT_EQ(codec::EncodedSize(EconomicsData{}), 71u);
  EXPECT_EQ(codec::EncodedSize(ReportData{}), 511u);
  EXPECT_EQ(codec::EncodedSize(SystemData{}), 1590u);
  EXPECT_EQ(codec::EncodedSize(ChillerData{}), 3764u);
  EXPECT_EQ(codec::EncodedSize(TowerData{}), 133u);
  EXPECT_EQ(codec::EncodedSize(CalcHeaderData{}), 20u);
  EXPECT_EQ(codec::EncodedSize(PLVSummaryData{}), 261u);
  EXPECT_EQ(codec::EncodedSize(PLVBinData{}), 62u);
  EXPECT_EQ(codec::EncodedSize(EconCaseData{}), 2274u);
  EXPECT_EQ(codec::EncodedSize(EconSummaryData{}), 6963u);
  EXPECT_EQ(codec::EncodedSize(SystemEconData{}), 9344u);
  EXPECT_EQ(codec::EncodedSize(SimMonthData{}), 18432u);
  EXPECT_EQ(codec::EncodedSize(ChillerResultData{}), 2651u);
  ChillerResultData all;
  for (long b = 1; b <= 24; ++b) all.vBinValues(b) = b * 1.5;
  EXPECT_EQ(codec::EncodedSize(all), 2843u);
  // Fixed part 5,375 + header 10 + 30 empty results.
  EXPECT_EQ(codec::EncodedSize(PLVProfileData{}), 5375u + 10u + 30u * 2651u);
  EXPECT_EQ(codec::Encode(all).size(), 2843u);
}

TEST(RecordCodec, FieldOffsets) {
  struct Case {
    std::map<std::string, std::size_t> actual;
    std::map<std::string, std::size_t> expected;
  };
  const Case cases[] = {
      {Offsets<WeatherData>(),
       {{"fSummerDesignDB", 42},
        {"sDayTypeNames", 58},
        {"bDayOperated", 88},
        {"nStartTime", 94},
        {"nStopTime", 100},
        {"nNumBins", 106},
        {"fBinDB", 108},
        {"fBinMCWB", 204},
        {"fMonthBinMCWB", 300},
        {"lBinHours", 1452},
        {"lMonthBinHours", 1548},
        {"lTotalHours", 2700},
        {"lMonthHours", 2704},
        {"nPeriodMode", 2752},
        {"nNumPeriods", 2754},
        {"OperatingPeriods", 2756}}},
      {Offsets<LoadProfileData>(),
       {{"nValue35", 35},
        {"fPeakLoad", 37},
        {"bAirEconomizer", 61},
        {"fEconomizerLimitDB", 63},
        {"fBinLoad", 67},
        {"fBinLoadPercent", 163}}},
      {Offsets<EconomicsData>(),
       {{"nLifeCycleYears", 7},
        {"fDiscountRate", 9},
        {"fGasEscalation", 29},
        {"fElecRate", 33},
        {"fDemandRate", 37},
        {"sGasUnit", 41},
        {"fGasFactor", 48},
        {"fGasRate", 52},
        {"sSteamUnit", 56},
        {"fSteamFactor", 63},
        {"fSteamRate", 67}}},
      {Offsets<ReportData>(), {{"sValue405", 405},           {"ReportType", 445},          {"bCoverPage", 447},
                               {"EconSummary", 451},         {"CashFlowDetails", 471},     {"nTypeOfCostCalcs", 473},
                               {"bIncludePumpEnergy", 475},  {"bIncludeTowerEnergy", 477}, {"nSysEffType", 479},
                               {"AnalysedSystemIndex", 481}, {"bSummaryReport", 485},      {"bCustomPLVFactors", 487},
                               {"bCustomPLVSpec", 489},      {"bLoadProfileGraph", 491},   {"bCoolingDuty", 493},
                               {"bCondTempProfiles", 495},   {"nEfficiencyInput", 497},    {"bPerfProfiles", 499},
                               {"bInputSummary", 501},       {"bShowLogo", 503},           {"nValue509", 509}}},
      {Offsets<SystemData>(),
       {{"nNumChillers", 40},
        {"nPlantControl", 42},
        {"fDesignLCHWT", 44},
        {"nSingleTower", 48},
        {"fCondPumpEffValue", 56},
        {"nMinCondFlowPercent", 60},
        {"bWaterEconomizer", 66},
        {"fTotalCondWaterFlow", 74},
        {"sChillerNames", 78},
        {"nChillerIDs", 438},
        {"nTowerIDs", 498},
        {"nLCHWTResetMode", 558},
        {"nEvapFlowControl", 572},
        {"fMinChwFlowPercent", 586},
        {"bSlot1Basis", 590},
        {"dChillerCostA", 592},
        {"dChillerCostB", 632},
        {"sCostItemNames1", 672},
        {"dOtherInvestAmount", 912},
        {"nOtherInvestFirstYear", 976},
        {"nOtherInvestInterval", 1008},
        {"dLoanAmount", 1032},
        {"fLoanRate", 1040},
        {"nLoanPaymentType", 1048},
        {"sCostItemNames2", 1054},
        {"dOtherMaintAmount", 1294},
        {"nOtherMaintInterval", 1390},
        {"dChillerMaint", 1406},
        {"dOtherMaint", 1438},
        {"nHeatRecoveryMode", 1450},
        {"nChillerIDs2", 1470},
        {"nTowerIDs2", 1530}}},
      {Offsets<ChillerData>(),
       {{"nType", 35},
        {"sValue37", 37},
        {"bNoMinLoad", 292},
        {"nChillerOption", 294},
        {"fDesignLCHWT", 296},
        {"fDesignECWT", 300},
        {"fFLCapacity", 304},
        {"fFLPower", 308},
        {"nFLPowerType", 312},
        {"nFuelType", 314},
        {"fMinLoadPct", 316},
        {"fAuxKW", 320},
        {"fInputHeatFactor", 324},
        {"fMinECWT", 328},
        {"fRejectedHeatPct", 332},
        {"nFreeCoolingMode", 338},
        {"fIPLV", 340},
        {"fEvapWaterFlow", 344},
        {"fCondWaterFlow", 348},
        {"nNumECWTPoints", 364},
        {"nNumLoadPoints", 366},
        {"nPartLoadPoints", 368},
        {"fECWTPoints", 370},
        {"nLoadPoints", 426},
        {"fCapacityMap", 482},
        {"fPowerMap", 2050},
        {"fMapCoef", 3618},
        {"fPartLoadPct", 3634},
        {"fPartLoadCapacity", 3666},
        {"fPartLoadInput", 3698},
        {"bHeatRecoveryChiller", 3730},
        {"fValue3760", 3760}}},
      {Offsets<TowerData>(),
       {{"nEqptType", 35},
        {"fDesignWB", 37},
        {"fDesignRange", 49},
        {"fDesignApproach", 53},
        {"fDesignAirflow", 57},
        {"nAirflowAbsolute", 61},
        {"fDesignFanKW", 63},
        {"nFanKWAbsolute", 67},
        {"nCapacityControl", 69},
        {"nLowSpeedAirflowPct", 71},
        {"fFanElecEffPct", 73},
        {"fTowerTable", 77},
        {"fCondWaterFlow", 129}}},
      {Offsets<PLVSummaryData>(),
       {{"sDaySchedules", 41},
        {"sLoadProfileName", 116},
        {"nValue151", 151},
        {"fPeakLoad", 153},
        {"bAirEconomizer", 177},
        {"fEconomizerLimitDB", 179},
        {"nValue183", 183},
        {"nNumPeriods", 209},
        {"sPeriods", 211}}},
      {Offsets<PLVBinData>(),
       {{"nChillersOn", 24},
        {"fChillerPctLoad", 26},
        {"fECWT", 30},
        {"fInput", 42},
        {"fEfficiency", 46},
        {"fWeight", 50},
        {"fWeightedEff", 54},
        {"fHRCooling", 58}}},
      {Offsets<PLVProfileData>(),
       {{"bAnyHeatDriven", 40},
        {"nNumChillerResults", 42},
        {"fDesignLCHWT", 46},
        {"sTowerName", 52},
        {"nTowerEqptType", 87},
        {"fWellWaterTemp", 89},
        {"bWaterEconomizer", 93},
        {"nLastLoadBin", 99},
        {"lTotalHours", 101},
        {"lTotalLoadHours", 105},
        {"fWeightSum", 109},
        {"fProductSum", 113},
        {"fPLV", 117},
        {"Bins", 121},
        {"ChillerResults", 1609},
        {"nHeatRecoveryMode", 1609 + 10 + 30 * 2651},
        {"Chiller", 1609 + 10 + 30 * 2651 + 2}}},
      {Offsets<ChillerResultData>(),  // all Variants empty: V = 511 + 48
       {{"sChillerName", 12},
        {"fCapacity", 47},
        {"fFLEfficiency", 51},
        {"nChillerType", 55},
        {"nEfficiencyKind", 61},
        {"fDesignLCHWT", 63},
        {"bMinECWTReached", 71},
        {"fIPLV", 73},
        {"nFreeCoolingMode", 77},
        {"bBinOn", 79},
        {"fBinLoad", 127},
        {"fBinLoadPercent", 223},
        {"fBinFreeCoolingLoad", 319},
        {"fBinFreeCoolingPower", 415},
        {"vBinValues", 511},
        {"fBinEfficiency", 559},
        {"fBinECWT", 559 + 96},
        {"fBinHours", 559 + 192},
        {"fPointBinHourECWT", 559 + 480},
        {"fPointBinTonHours", 559 + 864},
        {"fPointHours", 559 + 1248},
        {"fPoolHours", 559 + 1296},
        {"fWeightingFactor", 559 + 1344},
        {"fECWT", 559 + 1360},
        {"fTotalHours", 559 + 1376},
        {"fTotalTonHours", 559 + 1384},
        {"nGroup", 559 + 1388},
        {"bFirstOfGroup", 559 + 1390},
        {"fProfileLoadPct", 559 + 1392},
        {"fProfileBuildingPct", 559 + 1592},
        {"fProfileECWT", 559 + 1792},
        {"bProfileStaging", 559 + 1992}}},
      {Offsets<EconSummaryData>(),
       {{"sCurrency", 2},
        {"nLifeCycleYears", 9},
        {"fValue11", 11},
        {"sGasUnit", 15},
        {"sSteamUnit", 22},
        {"sElecRateText", 29},
        {"sSteamRateText", 104},
        {"nComparisonCount", 129},
        {"nLowestEnergyCostSystem", 131},
        {"nOverallWinner", 137},
        {"Cases", 139},
        {"bHeatRecovery", 6961}}},
      {Offsets<EconCaseData>(),
       {{"dNPW", 6},
        {"fIRR", 14},
        {"fPayback", 18},
        {"dAddedFirstCost", 22},
        {"dPWCostDifference", 30},
        {"dOpCostSavingsByYear", 438},
        {"dAddedInvestment", 846},
        {"dCumOpCostSavings", 1254},
        {"dCumAddedInvestment", 1662},
        {"fSIR", 2070}}},
      {Offsets<SystemEconData>(),
       {{"sSystemName", 2},
        {"nNumChillers", 42},
        {"dFirstCost", 44},
        {"dEnergyCost", 124},
        {"dOpCost", 284},
        {"fEnergyCostSavingsPct", 364},
        {"dOpCostSavings", 380},
        {"dInvestPrincipal", 388},
        {"dTotalCostByYear", 3244},
        {"dTotalCostPW", 4468},
        {"dTotInvestPrincipal", 4876},
        {"dLifeCycleCost", 4956},
        {"dChillerElecCost", 4964},
        {"dFuelCost", 4996},
        {"dSystemEfficiency", 5004},
        {"nEfficiencyType", 5012},
        {"dAnnualTonHours", 5014},
        {"dAnnualEnergyInput", 5022},
        {"bElectricOnly", 5030},
        {"dAnnualFuelInput", 5032},
        {"dChillerKWh", 5040},
        {"dTotalKWh", 5072},
        {"dGasUse", 5080},
        {"dSteamUse", 5088},
        {"dMonthKWh", 5096},
        {"dMonthSteamUse", 6440},
        {"fBinWeather", 6536},
        {"fBinProfile", 6632},
        {"dBinEnergyCost", 6728},
        {"dBinKWh", 6920},
        {"dBinGasUse", 7112},
        {"dBinSteamUse", 7304},
        {"dBinEfficiency", 7496},
        {"dBinTonHours", 7688},
        {"dHeatingCost", 7880},
        {"ElectricBoilerEnergyUse", 7912},
        {"HeatingSystemEfficiency", 7984},
        {"CombinedSystemEfficiency", 7992},
        {"BinHeatingLoad", 8000},
        {"BinCombinedEfficiency", 8384},
        {"dMonthHeatLoad", 8576},
        {"dMonthHeatKWh", 8768},
        {"MonthlyHeatingGasCost", 9248}}},
  };
  for (const auto& c : cases) {
    for (const auto& [name, offset] : c.expected) {
      auto it = c.actual.find(name);
      ASSERT_NE(it, c.actual.end()) << name;
      EXPECT_EQ(it->second, offset) << name;
    }
  }
}

// A value written into a named field lands at the field's offset, little-endian, in the
// declared element order.
TEST(RecordCodec, SentinelsLandAtTheirOffsets) {
  auto f32At = [](const std::string& s, std::size_t off) {
    float v;
    std::memcpy(&v, s.data() + off, 4);
    return v;
  };
  auto i16At = [](const std::string& s, std::size_t off) {
    std::int16_t v;
    std::memcpy(&v, s.data() + off, 2);
    return v;
  };
  ChillerData c;
  c.fCapacityMap(2, 3) = 123.5f;  // (e, l) = (2, 3): ((3 - 1) * 14 + (2 - 1)) * 4
  c.fMapCoef(4) = -7.25f;
  c.fPartLoadInput(8) = 0.5f;
  c.bHeatRecoveryChiller = vb::kTrue;
  c.nPartLoadPoints = 6;
  c.fMinLoadPct = 10.0f;
  const std::string cb = codec::Encode(c);
  EXPECT_EQ(f32At(cb, 482 + (2 * 14 + 1) * 4), 123.5f);
  EXPECT_EQ(f32At(cb, 3618 + 12), -7.25f);
  EXPECT_EQ(f32At(cb, 3698 + 28), 0.5f);
  EXPECT_EQ(static_cast<unsigned char>(cb[3730]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(cb[3731]), 0xFF);
  EXPECT_EQ(i16At(cb, 368), 6);
  EXPECT_EQ(f32At(cb, 316), 10.0f);

  WeatherData w;
  w.fMonthBinMCWB(12, 1) = 55.5f;  // month varies fastest: (1 - 1) * 12 + 11
  w.lMonthBinHours(1, 24) = 77;
  w.OperatingPeriods(2).nToDay = 30;
  const std::string wb = codec::Encode(w);
  EXPECT_EQ(f32At(wb, 300 + 11 * 4), 55.5f);
  std::int32_t hours;
  std::memcpy(&hours, wb.data() + 1548 + (23 * 12) * 4, 4);
  EXPECT_EQ(hours, 77);
  EXPECT_EQ(i16At(wb, 2756 + 8 + 6), 30);

  ReportData r;
  r.AnalysedSystemIndex = 0x01020304;
  r.bInputSummary = vb::kTrue;
  const std::string rb = codec::Encode(r);
  EXPECT_EQ(rb.substr(481, 4), std::string("\x04\x03\x02\x01", 4));
  EXPECT_EQ(i16At(rb, 501), -1);

  SimMonthData block;
  block.Value(SimMonthData::kKWh, 5) = 9.0f;
  EXPECT_EQ(f32At(codec::Encode(block), 12 * 96 + 4 * 4), 9.0f);
}

TEST(RecordCodec, TextsArePaddedCutAndStoredAsWindows1252) {
  TowerData t;
  t.sName = "CT-1";
  std::string b = codec::Encode(t);
  EXPECT_EQ(b.substr(0, 35), "CT-1" + std::string(31, ' '));
  t.sName = std::string(40, 'x');
  b = codec::Encode(t);
  EXPECT_EQ(b.substr(0, 35), std::string(35, 'x'));
  EXPECT_EQ(static_cast<unsigned char>(b[35]), 0u);  // nEqptType untouched
  t.sName = "K\xC3\xA4lte \xE2\x82\xAC";             // "Kälte €"
  b = codec::Encode(t);
  EXPECT_EQ(b.substr(0, 7), std::string("K\xE4lte \x80"));
  TowerData back;
  codec::Decode(b, back);
  EXPECT_EQ(back.sName, "K\xC3\xA4lte \xE2\x82\xAC" + std::string(28, ' '));
  // Every byte value survives the trip through UTF-8.
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  EXPECT_EQ(text::Utf8ToCp1252(text::Cp1252ToUtf8(all)), all);
  EXPECT_EQ(text::Utf8ToCp1252("\xE4\xB8\xAD\xFF"), "??");
}

// The named-field visitor hands out the fields of one number or one text by their stored
// names, in stored order, and passes over arrays (fTowerTable; a system's arrays of names).
TEST(RecordCodec, NamedFieldVisitorHandsOutTheScalarFields) {
  TowerData t;
  std::vector<std::string> names;
  codec::VisitScalarFields(t, [&](const char* name, codec::FieldRef field) {
    names.emplace_back(name);
    if (names.back() == "sName") *std::get<std::string*>(field) = "CT-9";
    if (names.back() == "nEqptType") *std::get<std::int16_t*>(field) = 4;
    if (names.back() == "fCondWaterFlow") *std::get<float*>(field) = 1800.5f;
  });
  const std::vector<std::string> expected = {
      "sName",          "nEqptType",        "fDesignWB",           "fValue41",         "fValue45",
      "fDesignRange",   "fDesignApproach",  "fDesignAirflow",      "nAirflowAbsolute", "fDesignFanKW",
      "nFanKWAbsolute", "nCapacityControl", "nLowSpeedAirflowPct", "fFanElecEffPct",   "fCondWaterFlow"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(t.sName, "CT-9");
  EXPECT_EQ(t.nEqptType, 4);
  EXPECT_EQ(t.fCondWaterFlow, 1800.5f);

  SystemData y;
  names.clear();
  codec::VisitScalarFields(y, [&](const char* name, codec::FieldRef) { names.emplace_back(name); });
  for (const char* array : {"sChillerNames", "nChillerIDs", "nTowerIDs", "sCostItemNames1"})
    EXPECT_EQ(std::count(names.begin(), names.end(), array), 0) << array;
  EXPECT_EQ(std::count(names.begin(), names.end(), "nPlantControl"), 1);
  EXPECT_EQ(std::count(names.begin(), names.end(), "sName"), 1);
}

TEST(RecordCodec, EveryRecordRoundTripsByteForByte) {
  ExpectByteExactRoundTrip<WeatherData>(1);
  ExpectByteExactRoundTrip<LoadProfileData>(2);
  ExpectByteExactRoundTrip<EconomicsData>(3);
  ExpectByteExactRoundTrip<ReportData>(4);
  ExpectByteExactRoundTrip<SystemData>(5);
  ExpectByteExactRoundTrip<ChillerData>(6);
  ExpectByteExactRoundTrip<TowerData>(7);
  ExpectByteExactRoundTrip<CalcHeaderData>(8);
  ExpectByteExactRoundTrip<PLVSummaryData>(9);
  ExpectByteExactRoundTrip<EconSummaryData>(10);
  ExpectByteExactRoundTrip<SystemEconData>(11);
  ExpectByteExactRoundTrip<SimMonthData>(12);
}

TEST(RecordCodec, ProfileWithThirtyMixedResultsRoundTrips) {
  PLVProfileData p;
  p.sSystemName = "System 1";
  p.nNumChillerResults = 30;
  p.fPLV = 0.4567f;
  p.Bins(24).lLoadHours = 123456;
  for (long i = 1; i <= 30; ++i) {
    auto& c = p.ChillerResults(i);
    c.sSlotName = "CH-" + std::to_string(i);
    for (long b = 1; b <= 24; ++b) {
      if ((b + i) % 3 != 0) c.vBinValues(b) = i * 100.0 + b + 0.125;
    }
    c.fPointBinTonHours(4, 24) = static_cast<float>(i);
    c.bProfileStaging(50) = vb::kTrue;
  }
  p.nHeatRecoveryMode = 2;
  p.Chiller.sName = "Template chiller";
  p.Chiller.fPowerMap(14, 28) = 321.0f;
  const std::string bytes = codec::Encode(p);
  EXPECT_GT(bytes.size(), 5661u - 282u);
  PLVProfileData back;
  EXPECT_EQ(codec::Decode(bytes, back), bytes.size());
  EXPECT_EQ(codec::Encode(back), bytes);
  EXPECT_EQ(back.ChillerResults(7).vBinValues(2), p.ChillerResults(7).vBinValues(2));
  EXPECT_FALSE(back.ChillerResults(1).vBinValues(2).has_value());
  EXPECT_EQ(back.Chiller.fPowerMap(14, 28), 321.0f);
  EXPECT_EQ(back.nHeatRecoveryMode, 2);
}

TEST(RecordCodec, CorruptVariantOrArrayHeaderIsRejected) {
  PLVProfileData p;
  p.ChillerResults(1).vBinValues(1) = 1.0;
  const std::string good = codec::Encode(p);
  struct Case {
    std::size_t offset;
    std::string bytes;
    long error;
  };
  const Case cases[] = {
      {1609, std::string("\x02\x00", 2), vb::kSubscriptOutOfRange},          // 2 dimensions
      {1611, std::string("\x1F\x00\x00\x00", 4), vb::kSubscriptOutOfRange},  // 31 elements
      {1615, std::string("\x00\x00\x00\x00", 4), vb::kSubscriptOutOfRange},  // lower bound 0
      {1619 + 511, std::string("\x08\x00", 2), vb::kTypeMismatch},           // String Variant
      {1619 + 511 + 10, std::string("\x05\x00", 2), vb::kTypeMismatch},      // empty marked Double -> misread
  };
  for (const auto& c : cases) {
    std::string bad = good;
    bad.replace(c.offset, c.bytes.size(), c.bytes);
    PLVProfileData out;
    try {
      codec::Decode(bad, out);
      // A Double tag where an Empty stood shifts the rest: the decode must still fail
      // somewhere (a later tag or the end of the bytes), never read silently.
      ADD_FAILURE() << "accepted corrupt bytes at " << c.offset;
    } catch (const vb::RuntimeError& e) {
      if (c.offset != 1619 + 511 + 10) {
        EXPECT_EQ(e.number(), c.error) << c.offset;
      }
    }
  }
  PLVProfileData out;
  EXPECT_THROW(codec::Decode(std::string_view(good).substr(0, good.size() - 1), out), vb::RuntimeError);
}

// The zero-filled section B of a fresh results file: a dimension count of 0 is the empty
// array (2 bytes, no elements), so the whole section reads as an empty profile.
TEST(RecordCodec, EmptyChillerResultArrayReadsAsNoResults) {
  const std::size_t emptySize = 5375 + 2;
  const std::string zeros(emptySize, '\0');
  auto holder = std::make_unique<PLVProfileData>();
  PLVProfileData& out = *holder;
  out.ChillerResults(3).vBinValues(5) = 7.0;
  out.ChillerResults(30).sChillerName = "stale";
  out.Chiller.nType = 4;
  EXPECT_EQ(codec::Decode(zeros, out), emptySize);
  auto empty = std::make_unique<PLVProfileData>();
  EXPECT_TRUE(out.ChillerResults == empty->ChillerResults);
  EXPECT_EQ(out.Chiller.nType, 0);
  EXPECT_EQ(out.sSystemName, std::string(40, '\0'));
  // One byte short of the empty form still ends inside the record.
  EXPECT_THROW(codec::Decode(std::string_view(zeros).substr(0, emptySize - 1), out), vb::RuntimeError);
}

// Cash-flow total i is the double stored at 4876 + 8 (i - 1), through the indexed accessor;
// a number outside 1..11 is error 9.
TEST(RecordCodec, CashFlowTotalsByNumberAreTheStoredTotals) {
  auto e = std::make_unique<SystemEconData>();
  for (int i = 1; i <= 11; ++i) e->CashFlowTotals(i) = 100.0 + i;
  const std::string bytes = codec::Encode(*e);
  for (int i = 1; i <= 11; ++i) {
    double v;
    std::memcpy(&v, bytes.data() + 4876 + 8 * (i - 1), 8);
    EXPECT_EQ(v, 100.0 + i) << i;
  }
  EXPECT_EQ(e->dTotInvestPrincipal, 101.0);
  EXPECT_EQ(std::as_const(*e).CashFlowTotals(11), e->dLifeCycleCost);
  for (int bad : {0, 12, -1}) {
    try {
      (void)e->CashFlowTotals(bad);
      ADD_FAILURE() << bad;
    } catch (const vb::RuntimeError& err) {
      EXPECT_EQ(err.number(), vb::kSubscriptOutOfRange) << bad;
    }
  }
}
