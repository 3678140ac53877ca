// convora: the unit table and the conversion between inch-pound (IP) and SI values.
//
// All values inside the program are inch-pound. A clsUnits object turns an IP value into
// the SI value shown to the user and back, and gives the unit label of either system.
// Every object holds its own copy of the table (63 fixed rows, ids = UnitCnv values);
// AddUnit appends further rows at run time.
//
// Errors:
//  - ConvertUnitValue throws clsUnitsError for an id outside the table (number 9,
//    "Subscript out of range"), for a factor-0 row converted towards IP (number 11,
//    "Division by zero") and for a result that is not finite (number 6, "Overflow").
//    CnvToDevice / CnvFromDevice pass these on; they never reach an id outside 1..Count.
//  - Failures that the class handles itself (a row that cannot be stored, a label table
//    that cannot be loaded) are reported to the OnError listener with the error number,
//    description, library "CONVORA", class "clsUnits" and method; the call then returns
//    normally. Without a listener they are silent. The library never shows messages.
#pragma once

#include "libs/numbered_error.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "convora_export.h"

enum UnitOfMeasure : int32_t { nENGLISH = 0, nMETRIC = 1 };

enum UnitCnv : int32_t {
  NO_CONV = 0,
  SQFT_TO_SQM = 1,
  SQFTTON_TO_SQMKW = 2,
  EER_TO_COP = 3,
  KBTU_TO_MJ = 4,
  KWH_TO_MJ = 5,
  TONHR_TO_KWH = 6,
  KBTUSQFT_TO_MJSQM = 7,
  BTUSQFT_TO_KJSQM = 8,
  BTUCUFT_TO_KCALM3 = 9,
  BTUGAL_TO_KCALL = 10,
  CFM_TO_M3S = 11,
  CFM_TO_M3H = 12,
  CFM_TO_LPS = 13,
  GPM_TO_LPS = 14,
  CFMSQFT_TO_LSSQM = 15,
  CFMTON_TO_LSKW = 16,
  GPMTON_TO_LSKW = 17,
  INCH_TO_MM = 18,
  FT_TO_M = 19,
  LB_TO_KG = 20,
  LBSQFT_TO_KGSQM = 21,
  LBTONHR_TO_KGKWH = 22,
  LBCUFT_TO_KGM3 = 23,
  TONS_TO_KW = 24,
  BHP_TO_KW = 25,
  HP_TO_KW = 26,
  BTUHR_TO_W = 27,
  MBH_TO_KW = 28,
  KW_TO_KW = 29,
  WSQFT_TO_WSQM = 30,
  BTUHRSQFT_TO_WSQM = 31,
  MBHTON_TO_IKWKW = 32,
  KWTON_TO_IKWKW = 33,
  FTWG_TO_KPA = 34,
  INWG_TO_KPA = 35,
  PSI_TO_KPA = 36,
  BTULBF_TO_KJKGK = 37,
  F_TO_C = 38,
  R_TO_K = 39,
  F_TO_K = 40,
  BTUHRFTF_TO_WMK = 41,
  HRSQFTFBTU_TO_SQMKW = 42,
  HRSQFTFBTU_TO_SQMKKW = 43,
  BTUHRSQFTF_TO_WSQMK = 44,
  FTS_TO_MS = 45,
  FPM_TO_MS = 46,
  LBFTHR_TO_PAS = 47,
  CUFT_TO_M3 = 48,
  GAL_TO_L = 49,
  CFH_TO_M3H = 50,
  GPH_TO_LH = 51,
  PSIG_TO_KPA = 52,
  BTULB_TO_KJKG = 53,
  BHP_TO_BHP = 54,
  INWG_TO_PA = 55,
  KBTU_TO_KWH = 56,
  KWH_TO_KWH = 57,
  PSIA_TO_KPA = 58,
  KWHLB_TO_KWHKG = 59,
  KBTULB_TO_KWHKG = 60,
  PCT_TO_PCT = 61,
  LBHR_TO_KGS = 62,
  HPTON_TO_KWKW = 63,
  FIRST_CNV = 1,
  LAST_CNV = 63,
};

// One row of the table. SI value = IP value x Constant (-1 and unused in the two rows
// that convert with an offset, F_TO_C and BTULB_TO_KJKG). Labels are UTF-8.
struct UnitEntry {
  double Constant = 0.0;
  std::string EnglishText;
  std::string MetricText;
  std::string Reference;  // the row's UnitCnv name
};

// A conversion that cannot be done; number() is the run-time error number.
class CONVORA_EXPORT clsUnitsError : public NumberedError {
 public:
  using NumberedError::NumberedError;
};

class CONVORA_EXPORT clsUnits {
 public:
  // Error number, description, library, class, method.
  using ErrorListener =
      std::function<void(long, const std::string&, const std::string&, const std::string&, const std::string&)>;

  // A new table of 63 rows with standard labels, unit system nENGLISH.
  explicit clsUnits(ErrorListener onError = {});

  void OnError(ErrorListener listener) { onError_ = std::move(listener); }

  // The unit system of CnvToDevice / CnvFromDevice / UnitStr. Only 0 and 1 are stored;
  // any other value is ignored.
  UnitOfMeasure CurrentUnitOfMeasure() const { return unitOfMeasure_; }
  void CurrentUnitOfMeasure(long value);

  // True: standard labels ("F", "sqft"); False: extended labels ("°F", "ft²") in the
  // 22 rows that have them. Setting it reloads the labels; added rows stay.
  bool UseStandardLabels() const { return useStandardLabels_; }
  void UseStandardLabels(bool value);

  // The number of rows, which is also the highest valid id.
  long Count() const { return count_; }

  // Converts one value towards nConvertUnitTo (nENGLISH or nMETRIC). Id 0 returns the
  // value; a target other than 0 or 1 gives 0. Throws clsUnitsError (see above).
  double ConvertUnitValue(double fValue, long nUnitType, long nConvertUnitTo) const;

  // The row's label in the given system; empty for an id outside 1..Count or a system
  // other than 0 or 1.
  std::string UnitLabel(long nUnitType, long nUnitName) const;

  // IP value to the value shown: converted only in nMETRIC and for 1 <= id <= Count.
  double CnvToDevice(double fEnglishValue, long nvUnitType) const;
  // Value shown to IP: converted only in nMETRIC and for 1 <= id <= Count.
  double CnvFromDevice(double fValue, long nvUnitType) const;

  // The row's label in the current system; empty outside 1..Count.
  std::string UnitStr(long nvUnitType) const;

  // Appends a row at id Count + 1; returns the new id, or 0 when the row could not be stored.
  long AddUnit(double dConstant, const std::string& sEnglishText, const std::string& sMetricText,
               const std::string& sReference);

  // The row of an id in 1..Count (read-only view, for callers that list the table).
  const UnitEntry& Entry(long id) const;

 private:
  long SetUnit(long nUnitID, double dConstant, const std::string& sEnglishText, const std::string& sMetricText,
               const std::string& sReference);
  bool LoadStandardLabels();
  bool LoadExtendedLabels();
  void InitUnitArray(long lower, long upper);
  void Report(long number, const std::string& description, const std::string& method) const;

  std::vector<UnitEntry> m_Units;  // m_Units[id - 1] is row id
  long count_ = 0;
  UnitOfMeasure unitOfMeasure_ = nENGLISH;
  bool useStandardLabels_ = true;
  ErrorListener onError_;
};
