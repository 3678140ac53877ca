// The input check of a system before simulation and the result check after it: both add
// one list of error lines to ERR.DAT and set the flag that makes the driver show the error
// report.
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/calc/modCalcs.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "libs/units/clsUnits.h"
#include "platform/ui/ui.h"

namespace modCalcs {

namespace {

constexpr const char* kErr101 = "Error 101: Chiller does not exist.";
constexpr const char* kErr102 = "Error 102: Chiller and system have different full load LCHWT values.";
constexpr const char* kErr103 = "Error 103: Cooling tower or dry cooler does not exist.";
constexpr const char* kErr104 =
    "Error 104: Chiller and cooling tower or dry cooler have different condenser water flow rates.";
constexpr const char* kErr106 = "Error 106: Condenser water flow rate is too small for cooling tower or dry cooler.";
constexpr const char* kErr107 = "Error 107: Condenser water flow rate is too large for cooling tower or dry cooler.";
constexpr const char* kErr108 = "Error 108: Design range for condenser and cooling tower or dry cooler do not match.";
constexpr const char* kErr109 = "Error 109: Shared cooling tower or dry cooler does not exist.";
constexpr const char* kErr110 = "Error 110: System and shared tower or dry cooler have different condenser flow rates.";
constexpr const char* kErr201 = "System: Error 201: Loan payments extend beyond end of lifecycle period.";
constexpr const char* kErr202 = "System: Error 202: Other investment costs occur after end of lifecycle period.";
constexpr const char* kErr203 = "System: Error 203: Other maintenance costs occur after end of lifecycle period.";
constexpr const char* kErr301 = "Error 301: System unable to meet the building load in one or more bins.";

constexpr const char* kSystemPrefix = "System: ";
constexpr const char* kNote =
    "\r\n\tNote - For more information on these errors:\r\n\t\tClick the Help button at the top of this "
    "screen.\r\n\t\tThen click 'Quick Link to Calculation Error Messages'";

// The last year of the economic cash flow.
constexpr int kMaxEconomicYear = 50;

// The water constant of the condenser range check: kBtu/h per gpm and deg F.
constexpr double kRangeWaterFactor = 0.499646;

// Design heat rejection of one chiller (kBtu/h); 0 for air-cooled and unknown types.
float HeatRejection(const ChillerData& ch) {
  const double C = ch.fFLCapacity;
  const double P = ch.fFLPower;
  const bool total = ch.nFLPowerType != 0;
  const double aux = static_cast<double>(ch.fAuxKW) * 3.412;
  switch (ch.nType) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
      return static_cast<float>(C * 12 + (total ? P * 3.412 : P * C * 3.412));
    case 6:
    case 7:
      return static_cast<float>(C * 12 + aux +
                                (total ? ch.fInputHeatFactor * P * 0.001 : P * C * ch.fInputHeatFactor * 0.001));
    case 8:
      return static_cast<float>(C * 12 + aux + (total ? P : P * C));
    case 9:
      return static_cast<float>(C * 12 + aux +
                                (total ? ch.fRejectedHeatPct * P * 0.01 : P * C * ch.fRejectedHeatPct * 0.01));
    default:
      return 0.0f;
  }
}

// The range checks of a unit: 106 for too little flow (also for no flow at all, where the
// range cannot be formed), 107 for too much, 108 when the range does not match the unit's
// design range (also for a design range of 0 or less).
struct RangeFindings {
  bool tooSmall = false, tooLarge = false, mismatch = false;
};

RangeFindings CheckRange(double heat, double flow, double designRange) {
  RangeFindings f;
  if (flow <= 0) {
    f.tooSmall = true;
    return f;
  }
  const double R = heat / (kRangeWaterFactor * flow);
  if (R > 40)
    f.tooSmall = true;
  else if (R < 0.5)
    f.tooLarge = true;
  if (designRange <= 0) {
    f.mismatch = true;
  } else {
    const double ratio = R / designRange;
    if (ratio < 0.7 || ratio > 1.3) f.mismatch = true;
  }
  return f;
}

// Raised when a record read fails: the reader has already shown its box.
struct ReadFailed {};

class InputCheck {
 public:
  InputCheck(const SystemData& sys, const std::string& folder) : sys_(sys), folder_(folder) {}

  std::vector<std::string> Run(int16_t nTypeOfCostCalcs, int16_t nLifeCycleYears, bool& bNonElectric,
                               bool& bInputErrors) {
    lines_ = {"", "Errors in Input Data for System:  [" + vb::Trim(sys_.sName) + "]"};
    const int n = sys_.nNumChillers;
    if (n < 0 || n > 30)
      vb::Raise(vb::kSubscriptOutOfRange, "The system \"" + vb::Trim(sys_.sName) + "\" has " + std::to_string(n) +
                                              " chillers; at most 30 are allowed.");
    h_ = sys_.nHeatRecoveryMode == 2 ? 1 : 0;
    for (int i = 1; i <= n; ++i) CheckSlot(i);
    if (shared_ > 0 && sys_.nSingleTower == 1) CheckSharedTower();
    if (nTypeOfCostCalcs != 0) CheckEconomicPeriods(nLifeCycleYears);
    if (nTypeOfCostCalcs == 2) CheckLifeCycle(nLifeCycleYears);
    if (errors_ == 0)
      lines_.push_back("\tNone");
    else
      lines_.push_back(kNote);
    bNonElectric = nonElectric_;
    bInputErrors = errors_ > 0;
    return lines_;
  }

 private:
  void Add(const std::string& line) {
    lines_.push_back(line);
    ++errors_;
  }

  ChillerData ReadChiller(int16_t id) {
    ChillerData ch;
    if (!modDataIO::bChillerRead(id, ch, folder_)) throw ReadFailed{};
    return ch;
  }
  TowerData ReadTower(int16_t id) {
    TowerData tw;
    if (!modDataIO::bTowerRead(id, tw, folder_)) throw ReadFailed{};
    return tw;
  }

  void CheckSlot(int i) {
    const bool twin = sys_.nChillerIDs2(i) >= 1;
    const std::string prefix = "\t" + vb::Trim(sys_.sChillerNames(i)) + ": ";
    for (int p = 1; p <= (twin ? 2 : 1); ++p) {
      const int16_t chillerId = p == 1 ? sys_.nChillerIDs(i) : sys_.nChillerIDs2(i);
      const int16_t towerId = p == 1 ? sys_.nTowerIDs(i) : sys_.nTowerIDs2(i);
      if (chillerId < 1) {
        Add(prefix + kErr101);
        continue;
      }
      const ChillerData ch = ReadChiller(chillerId);
      if (p == 1 && std::fabs(ch.fDesignLCHWT - sys_.fDesignLCHWT) > 0.1) Add(prefix + kErr102);
      const int type = ch.nType;
      if (type < 1 || type > 9) continue;  // air-cooled and unknown types: nothing more here

      heat_[i][p] = HeatRejection(ch);
      if (type >= 6) nonElectric_ = true;
      if (shared_ == 0 && i > h_) shared_ = i;
      if (sys_.bSlot1Basis != 0) {
        if (i == 1 && p == 1) flow_ = ch.fCondWaterFlow;
      } else if (type >= 6 || i > h_) {
        flow_ += ch.fCondWaterFlow;
      }

      if (sys_.nSingleTower != 0 || type == 8) continue;
      if (towerId < 1) {
        if (p == 1 && i > h_) Add(prefix + kErr103);
        continue;
      }
      const TowerData tw = ReadTower(towerId);
      const double W = static_cast<double>(tw.fCondWaterFlow) * (twin && sys_.nTowerIDs2(i) >= 1 ? 2 : 1);
      if (std::fabs(ch.fCondWaterFlow - W) > 2.0) Add(prefix + kErr104);
      if (tw.nEqptType != 2 || sys_.bSlot1Basis != 0) continue;
      const double H = static_cast<double>(heat_[i][p]) * (twin ? 2 : 1);
      const RangeFindings f = CheckRange(H, W, tw.fDesignRange);
      if (f.tooSmall) Add(prefix + kErr106);
      if (f.tooLarge) Add(prefix + kErr107);
      if (f.mismatch) Add(prefix + kErr108);
    }
  }

  void CheckSharedTower() {
    const int16_t towerId = sys_.nTowerIDs(shared_);
    if (towerId <= 0) {
      Add(std::string("\t") + kErr109);
      return;
    }
    const TowerData tw = ReadTower(towerId);
    if (std::fabs(flow_ - tw.fCondWaterFlow) > 2.0) Add(std::string("\t") + kErr110);
    if (tw.nEqptType != 2) return;
    double H = 0;
    if (sys_.bSlot1Basis != 0) {
      H = heat_[1][1];
    } else {
      // Both machines of a twin slot count, as both count in the system flow.
      for (int i = h_ + 1; i <= sys_.nNumChillers; ++i) H += static_cast<double>(heat_[i][1]) + heat_[i][2];
    }
    const RangeFindings f = CheckRange(H, tw.fCondWaterFlow, tw.fDesignRange);
    if (f.tooSmall) Add(std::string("\t") + kErr106);
    if (f.tooLarge) Add(std::string("\t") + kSystemPrefix + kErr107);
    if (f.mismatch) Add(std::string("\t") + kSystemPrefix + kErr108);
  }

  // The periods every economic run lays its yearly cash flow out over (years 0 to 50), found
  // here before any simulation rather than after the whole monthly run.
  void CheckEconomicPeriods(int L) {
    if (L < 0 || L > kMaxEconomicYear) {
      Add(std::string("\t") + kSystemPrefix + "The life-cycle period of " + vb::CStr(static_cast<long long>(L)) +
          " years is outside 0 to 50 years.");
    }
    const int type = sys_.nLoanPaymentType;
    if (sys_.dLoanAmount > 0 && type >= 1 && type <= 3) {
      const double years = std::nearbyint(static_cast<double>(sys_.fLoanYears));
      if (!(years >= 1 && years <= kMaxEconomicYear)) {
        Add(std::string("\t") + kSystemPrefix + "The loan term of " + vb::CStr(sys_.fLoanYears) +
            " years does not round to 1 to 50 whole years.");
      }
    }
  }

  void CheckLifeCycle(int L) {
    if (sys_.dLoanAmount > 0 && sys_.fLoanYears > L) Add(std::string("\t") + kErr201);
    auto lastYear = [](int first, int count, int interval) { return (count - 1) * interval + first; };
    for (int k = 1; k <= 8; ++k) {
      if (sys_.dOtherInvestAmount(k) > 0 &&
          lastYear(sys_.nOtherInvestFirstYear(k), sys_.nOtherInvestCount(k), sys_.nOtherInvestInterval(k)) > L)
        Add(std::string("\t") + kErr202);
    }
    // Entry 1 is the yearly water treatment, not a dated cost.
    for (int k = 2; k <= 8; ++k) {
      if (sys_.dOtherMaintAmount(k) > 0 &&
          lastYear(sys_.nOtherMaintFirstYear(k), sys_.nOtherMaintCount(k), sys_.nOtherMaintInterval(k)) > L)
        Add(std::string("\t") + kErr203);
    }
  }

  const SystemData& sys_;
  std::string folder_;
  std::vector<std::string> lines_;
  int errors_ = 0;
  int h_ = 0;
  int shared_ = 0;   // the shared-tower slot: the first water-cooled slot after h
  double flow_ = 0;  // system condenser flow F
  bool nonElectric_ = false;
  // Design heat rejection per slot and machine (kBtu/h).
  std::array<std::array<float, 3>, 31> heat_{};
};

}  // namespace

bool bCalcCheckInputData(const SystemData& system, int16_t nTypeOfCostCalcs, int16_t nLifeCycleYears,
                         bool& bNonElectric, bool& bInputErrors, const std::string& folder) {
  bNonElectric = false;
  bInputErrors = false;
  std::vector<std::string> lines;
  bool readOk = true;
  const bool ran = modpublic::RunGuarded("bCalcCheckInputData", kCalcErrorPrefix, ui::kExclamation, [&] {
    try {
      lines = InputCheck(system, folder).Run(nTypeOfCostCalcs, nLifeCycleYears, bNonElectric, bInputErrors);
    } catch (const ReadFailed&) {
      readOk = false;
    }
  });
  if (!ran || !readOk) return false;
  return modDataIO::bErrorWrite(lines, folder);
}

bool bCalcCheckResults(const std::string& sSystemName, int16_t nUnmetBins, float fLargestUnmetLoad, bool& bCalcErrors,
                       const clsUnits& units, const std::string& folder) {
  std::vector<std::string> lines;
  const bool ran = modpublic::RunGuarded("bCalcCheckResults", kCalcErrorPrefix, ui::kExclamation, [&] {
    lines = {"", "Errors in Calculation for System: [" + vb::Trim(sSystemName) + "]"};
    if (nUnmetBins > 0) {
      const bool si = units.CurrentUnitOfMeasure() == nMETRIC;
      const float load = static_cast<float>(si ? fLargestUnmetLoad * 0.2930711 : fLargestUnmetLoad / 12.0);
      lines.push_back(std::string("\t") + kErr301);
      lines.push_back("\t\tNumber of bins = " + vb::Str(static_cast<long long>(nUnmetBins)) + "   " +
                      "Largest load = " + vb::Format(load, "0.0") + " " + units.UnitStr(TONS_TO_KW));
      lines.push_back(std::string(kNote) + " in the help screen that appears.");
    } else {
      lines.push_back("\tNone");
    }
  });
  if (!ran) return false;
  if (nUnmetBins > 0) bCalcErrors = true;
  return modDataIO::bErrorWrite(lines, folder);
}

bool bCalcCheckResults(const std::string& sSystemName, int16_t nUnmetBins, float fLargestUnmetLoad, bool& bCalcErrors,
                       const std::string& folder) {
  return bCalcCheckResults(sSystemName, nUnmetBins, fLargestUnmetLoad, bCalcErrors, modpublic::gUnits, folder);
}

}  // namespace modCalcs
