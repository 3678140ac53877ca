#include "libs/units/clsUnits.h"

#include <cmath>
#include <exception>
#include <new>

namespace {

constexpr const char* kLibrary = "CONVORA";
constexpr const char* kClass = "clsUnits";
constexpr long kStandardRows = 63;

// Run-time error numbers the class reports.
constexpr long kErrOverflow = 6;
constexpr long kErrOutOfMemory = 7;
constexpr long kErrSubscript = 9;
constexpr long kErrDivisionByZero = 11;

struct StandardRow {
  double factor;
  const char* english;
  const char* metric;
  const char* name;
};

// Rows 1..63 in id order: factor (IP -> SI), IP label, SI label, UnitCnv name.
constexpr StandardRow kStandard[kStandardRows] = {
    {0.09290304, "sqft", "sqm", "SQFT_TO_SQM"},
    {0.0264165, "sqft/Ton", "sqm/kW", "SQFTTON_TO_SQMKW"},
    {0.2930711, "EER", "COP", "EER_TO_COP"},
    {1.055056, "kBTU", "MJ", "KBTU_TO_MJ"},
    {3.6, "kWh", "MJ", "KWH_TO_MJ"},
    {3.516853, "Ton-hrs", "kWh", "TONHR_TO_KWH"},
    {11.35653, "kBTU/sqft", "MJ/sqm", "KBTUSQFT_TO_MJSQM"},
    {11.356533, "BTU/sqft", "kJ/sqm", "BTUSQFT_TO_KJSQM"},
    {8.898305, "BTU/cuft", "kCal/m3", "BTUCUFT_TO_KCALM3"},
    {0.066571, "BTU/gal", "kCal/L", "BTUGAL_TO_KCALL"},
    {0.0004719, "CFM", "m3/s", "CFM_TO_M3S"},
    {1.699, "CFM", "m3/h", "CFM_TO_M3H"},
    {0.4719474, "CFM", "L/s", "CFM_TO_LPS"},
    {0.0630902, "gpm", "L/s", "GPM_TO_LPS"},
    {5.079999, "CFM/sqft", "L/(s-sqm)", "CFMSQFT_TO_LSSQM"},
    {0.1341959, "CFM/Ton", "L/(s-kW)", "CFMTON_TO_LSKW"},
    {0.01793933, "gpm/Ton", "L/(s-kW)", "GPMTON_TO_LSKW"},
    {25.4, "in", "mm", "INCH_TO_MM"},
    {0.3048, "ft", "m", "FT_TO_M"},
    {0.4535924, "lb", "kg", "LB_TO_KG"},
    {4.882428, "lb/sqft", "kg/sqm", "LBSQFT_TO_KGSQM"},
    {0.1289775, "lb/(ton-hr)", "kg/kWh", "LBTONHR_TO_KGKWH"},
    {16.01846, "lb/cuft", "kg/m3", "LBCUFT_TO_KGM3"},
    {3.516853, "Tons", "kW", "TONS_TO_KW"},
    {0.7457, "BHP", "kW", "BHP_TO_KW"},
    {0.7457, "hp", "kW", "HP_TO_KW"},
    {0.2930711, "BTU/hr", "W", "BTUHR_TO_W"},
    {0.2930711, "MBH", "kW", "MBH_TO_KW"},
    {1, "kW", "kW", "KW_TO_KW"},
    {10.76391, "W/sqft", "W/sqm", "WSQFT_TO_WSQM"},
    {3.154591, "BTU/(hr-sqft)", "W/sqm", "BTUHRSQFT_TO_WSQM"},
    {0.0833333, "MBH/Ton", "ikW/kW", "MBHTON_TO_IKWKW"},
    {0.2843451, "kW/Ton", "ikW/kW", "KWTON_TO_IKWKW"},
    {2.98294, "ft wg", "kPa", "FTWG_TO_KPA"},
    {0.2485784, "in wg", "kPa", "INWG_TO_KPA"},
    {6.894757, "psi", "kPa", "PSI_TO_KPA"},
    {4.1868, "BTU / (lb - F)", "kJ / (kg - K)", "BTULBF_TO_KJKGK"},
    {-1, "F", "C", "F_TO_C"},
    {0.5555556, "R", "K", "R_TO_K"},
    {0.555556, "F", "K", "F_TO_K"},
    {1.730735, "BTU/(hr-ft-F)", "W/(m-K)", "BTUHRFTF_TO_WMK"},
    {0.1761102, "(hr-sqft-F)/BTU", "(sqm-K)/W", "HRSQFTFBTU_TO_SQMKW"},
    {176.1102, "(hr-sqft-F)/BTU", "(sqm-K)/kW", "HRSQFTFBTU_TO_SQMKKW"},
    {5.678263, "BTU/(hr-sqft-F)", "W/(sqm-K)", "BTUHRSQFTF_TO_WSQMK"},
    {0.3048, "ft/s", "m/s", "FTS_TO_MS"},
    {0.00508, "fpm", "m/s", "FPM_TO_MS"},
    {0.0004133789, "lb/(ft-hr)", "Pa-s", "LBFTHR_TO_PAS"},
    {0.02832, "cuft", "m3", "CUFT_TO_M3"},
    {3.785412, "gal", "L", "GAL_TO_L"},
    {0.02832, "CFH", "m3/h", "CFH_TO_M3H"},
    {3.785412, "GPH", "L/h", "GPH_TO_LH"},
    {6.894757, "psig", "kPa", "PSIG_TO_KPA"},
    {-1, "BTU/lb", "kJ/kg", "BTULB_TO_KJKG"},
    {1, "BHP", "BHP", "BHP_TO_BHP"},
    {248.5784, "in wg", "Pa", "INWG_TO_PA"},
    {0.2930711, "kBTU", "kWh", "KBTU_TO_KWH"},
    {1, "kWh", "kWh", "KWH_TO_KWH"},
    {6.894757, "psia", "kPa", "PSIA_TO_KPA"},
    {2.204671, "kWh/lb", "kWh/kg", "KWHLB_TO_KWHKG"},
    {0.6461254, "kBTU/lb", "kWh/kg", "KBTULB_TO_KWHKG"},
    {1, "%", "%", "PCT_TO_PCT"},
    {0.000125997, "lb/hr", "kg/s", "LBHR_TO_KGS"},
    {0.2120374, "hp/Ton", "kW/kW", "HPTON_TO_KWKW"},
};

struct ExtendedRow {
  long id;
  const char* english;
  const char* metric;
};

// The 22 rows whose labels change while UseStandardLabels is False.
constexpr ExtendedRow kExtended[] = {
    {SQFT_TO_SQM, "ft²", "m²"},
    {SQFTTON_TO_SQMKW, "ft²/Ton", "m²/kW"},
    {KBTUSQFT_TO_MJSQM, "kBTU/ft²", "MJ/m²"},
    {BTUSQFT_TO_KJSQM, "BTU/ft²", "kJ/m²"},
    {BTUCUFT_TO_KCALM3, "BTU/ft³", "kCal/m³"},
    {CFM_TO_M3S, "CFM", "m³/s"},
    {CFM_TO_M3H, "CFM", "m³/h"},
    {CFMSQFT_TO_LSSQM, "CFM/ft²", "L/(s-m²)"},
    {LBSQFT_TO_KGSQM, "lb/ft²", "kg/m²"},
    {LBCUFT_TO_KGM3, "lb/ft³", "kg/m³"},
    {WSQFT_TO_WSQM, "W/ft²", "W/m²"},
    {BTUHRSQFT_TO_WSQM, "BTU/(hr-ft²)", "W/m²"},
    {BTULBF_TO_KJKGK, "BTU / (lb - °F)", "kJ / (kg - °K)"},
    {F_TO_C, "°F", "°C"},
    {R_TO_K, "°R", "°K"},
    {F_TO_K, "°F", "°K"},
    {BTUHRFTF_TO_WMK, "BTU/(hr-ft-°F)", "W/(m-°K)"},
    {HRSQFTFBTU_TO_SQMKW, "(hr-ft²-°F)/BTU", "(m²-°K)/W"},
    {HRSQFTFBTU_TO_SQMKKW, "(hr-ft²-°F)/BTU", "(m²-°K)/kW"},
    {BTUHRSQFTF_TO_WSQMK, "BTU/(hr-ft²-°F)", "W/(m²-°K)"},
    {CUFT_TO_M3, "ft³", "m³"},
    {CFH_TO_M3H, "CFH", "m³/h"},
};
static_assert(sizeof kExtended / sizeof kExtended[0] == 22);

[[noreturn]] void Fail(long number, const char* description) { throw clsUnitsError(number, description); }

double Finite(double value) {
  if (!std::isfinite(value)) Fail(kErrOverflow, "Overflow");
  return value;
}

}  // namespace

clsUnits::clsUnits(ErrorListener onError) : onError_(std::move(onError)) {
  InitUnitArray(1, kStandardRows);
  count_ = kStandardRows;
  useStandardLabels_ = true;
  unitOfMeasure_ = nENGLISH;
  if (!LoadStandardLabels()) Report(0, "Could not load unit conversions.", "Class_Initialize");
}

void clsUnits::CurrentUnitOfMeasure(long value) {
  if (value == nENGLISH || value == nMETRIC) unitOfMeasure_ = static_cast<UnitOfMeasure>(value);
}

void clsUnits::UseStandardLabels(bool value) {
  useStandardLabels_ = value;
  if (value) {
    if (!LoadStandardLabels()) Report(0, "Error loading standard unit conversion labels.", "UseStandardLabels");
  } else {
    if (!LoadExtendedLabels()) Report(0, "Error loading extended unit converison labels.", "UseStandardLabels");
  }
}

double clsUnits::ConvertUnitValue(double fValue, long nUnitType, long nConvertUnitTo) const {
  if (nUnitType == NO_CONV) return fValue;
  if (nConvertUnitTo != nENGLISH && nConvertUnitTo != nMETRIC) return 0.0;
  const bool toMetric = nConvertUnitTo == nMETRIC;

  // The two offset conversions do not use the table.
  if (nUnitType == F_TO_C) return toMetric ? (fValue - 32.0) * 5.0 / 9.0 : fValue * 9.0 / 5.0 + 32.0;
  if (nUnitType == BTULB_TO_KJKG) return toMetric ? (fValue - 7.687) * 2.326 : fValue / 2.326 + 7.687;

  if (nUnitType < 1 || nUnitType > count_) Fail(kErrSubscript, "Subscript out of range");
  const double factor = m_Units[static_cast<std::size_t>(nUnitType - 1)].Constant;
  if (toMetric) return Finite(fValue * factor);
  if (factor == 0.0) Fail(kErrDivisionByZero, "Division by zero");
  return Finite(fValue / factor);
}

std::string clsUnits::UnitLabel(long nUnitType, long nUnitName) const {
  if (nUnitType < 1 || nUnitType > count_) return {};
  const UnitEntry& e = m_Units[static_cast<std::size_t>(nUnitType - 1)];
  if (nUnitName == nENGLISH) return e.EnglishText;
  if (nUnitName == nMETRIC) return e.MetricText;
  return {};
}

double clsUnits::CnvToDevice(double fEnglishValue, long nvUnitType) const {
  if (nvUnitType < 1 || nvUnitType > count_ || unitOfMeasure_ != nMETRIC) return fEnglishValue;
  return ConvertUnitValue(fEnglishValue, nvUnitType, nMETRIC);
}

double clsUnits::CnvFromDevice(double fValue, long nvUnitType) const {
  if (nvUnitType < 1 || nvUnitType > count_ || unitOfMeasure_ != nMETRIC) return fValue;
  return ConvertUnitValue(fValue, nvUnitType, nENGLISH);
}

std::string clsUnits::UnitStr(long nvUnitType) const {
  return UnitLabel(nvUnitType, unitOfMeasure_ == nMETRIC ? nMETRIC : nENGLISH);
}

long clsUnits::AddUnit(double dConstant, const std::string& sEnglishText, const std::string& sMetricText,
                       const std::string& sReference) {
  return SetUnit(count_ + 1, dConstant, sEnglishText, sMetricText, sReference);
}

const UnitEntry& clsUnits::Entry(long id) const {
  if (id < 1 || id > count_) Fail(kErrSubscript, "Subscript out of range");
  return m_Units[static_cast<std::size_t>(id - 1)];
}

long clsUnits::SetUnit(long nUnitID, double dConstant, const std::string& sEnglishText, const std::string& sMetricText,
                       const std::string& sReference) {
  if (nUnitID < 1) return 0;
  try {
    if (nUnitID > count_) {
      m_Units.resize(static_cast<std::size_t>(nUnitID));
      count_ = nUnitID;
    }
    UnitEntry& e = m_Units[static_cast<std::size_t>(nUnitID - 1)];
    e.Constant = dConstant;
    e.EnglishText = sEnglishText;
    e.MetricText = sMetricText;
    e.Reference = sReference;
    return nUnitID;
  } catch (const std::bad_alloc&) {
    Report(kErrOutOfMemory, "Error 7  Out of memory", "SetUnit");
  } catch (const std::exception& ex) {
    Report(5, std::string("Error 5  ") + ex.what(), "SetUnit");
  }
  return 0;
}

bool clsUnits::LoadStandardLabels() {
  try {
    for (long id = 1; id <= kStandardRows; ++id) {
      const StandardRow& r = kStandard[id - 1];
      SetUnit(id, r.factor, r.english, r.metric, r.name);
    }
    return true;
  } catch (...) {
    return false;
  }
}

bool clsUnits::LoadExtendedLabels() {
  try {
    for (const ExtendedRow& r : kExtended) {
      if (r.id > count_) return false;
      UnitEntry& e = m_Units[static_cast<std::size_t>(r.id - 1)];
      e.EnglishText = r.english;
      e.MetricText = r.metric;
    }
    return true;
  } catch (...) {
    return false;
  }
}

void clsUnits::InitUnitArray(long lower, long upper) {
  m_Units.assign(upper >= lower ? static_cast<std::size_t>(upper - lower + 1) : 0, UnitEntry{});
}

void clsUnits::Report(long number, const std::string& description, const std::string& method) const {
  if (onError_) onError_(number, description, kLibrary, kClass, method);
}
