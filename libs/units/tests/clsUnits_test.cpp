#include "libs/units/clsUnits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct Row {
  long id;
  const char* name;
  double factor;
  const char* ip;
  const char* si;
  const char* ipExt;  // nullptr: no extended labels
  const char* siExt;
};

// The table as it must be, written out independently of the library's own table.
const std::vector<Row> kTable = {
    {1, "SQFT_TO_SQM", 0.09290304, "sqft", "sqm", "ft²", "m²"},
    {2, "SQFTTON_TO_SQMKW", 0.0264165, "sqft/Ton", "sqm/kW", "ft²/Ton", "m²/kW"},
    {3, "EER_TO_COP", 0.2930711, "EER", "COP", nullptr, nullptr},
    {4, "KBTU_TO_MJ", 1.055056, "kBTU", "MJ", nullptr, nullptr},
    {5, "KWH_TO_MJ", 3.6, "kWh", "MJ", nullptr, nullptr},
    {6, "TONHR_TO_KWH", 3.516853, "Ton-hrs", "kWh", nullptr, nullptr},
    {7, "KBTUSQFT_TO_MJSQM", 11.35653, "kBTU/sqft", "MJ/sqm", "kBTU/ft²", "MJ/m²"},
    {8, "BTUSQFT_TO_KJSQM", 11.356533, "BTU/sqft", "kJ/sqm", "BTU/ft²", "kJ/m²"},
    {9, "BTUCUFT_TO_KCALM3", 8.898305, "BTU/cuft", "kCal/m3", "BTU/ft³", "kCal/m³"},
    {10, "BTUGAL_TO_KCALL", 0.066571, "BTU/gal", "kCal/L", nullptr, nullptr},
    {11, "CFM_TO_M3S", 0.0004719, "CFM", "m3/s", "CFM", "m³/s"},
    {12, "CFM_TO_M3H", 1.699, "CFM", "m3/h", "CFM", "m³/h"},
    {13, "CFM_TO_LPS", 0.4719474, "CFM", "L/s", nullptr, nullptr},
    {14, "GPM_TO_LPS", 0.0630902, "gpm", "L/s", nullptr, nullptr},
    {15, "CFMSQFT_TO_LSSQM", 5.079999, "CFM/sqft", "L/(s-sqm)", "CFM/ft²", "L/(s-m²)"},
    {16, "CFMTON_TO_LSKW", 0.1341959, "CFM/Ton", "L/(s-kW)", nullptr, nullptr},
    {17, "GPMTON_TO_LSKW", 0.01793933, "gpm/Ton", "L/(s-kW)", nullptr, nullptr},
    {18, "INCH_TO_MM", 25.4, "in", "mm", nullptr, nullptr},
    {19, "FT_TO_M", 0.3048, "ft", "m", nullptr, nullptr},
    {20, "LB_TO_KG", 0.4535924, "lb", "kg", nullptr, nullptr},
    {21, "LBSQFT_TO_KGSQM", 4.882428, "lb/sqft", "kg/sqm", "lb/ft²", "kg/m²"},
    {22, "LBTONHR_TO_KGKWH", 0.1289775, "lb/(ton-hr)", "kg/kWh", nullptr, nullptr},
    {23, "LBCUFT_TO_KGM3", 16.01846, "lb/cuft", "kg/m3", "lb/ft³", "kg/m³"},
    {24, "TONS_TO_KW", 3.516853, "Tons", "kW", nullptr, nullptr},
    {25, "BHP_TO_KW", 0.7457, "BHP", "kW", nullptr, nullptr},
    {26, "HP_TO_KW", 0.7457, "hp", "kW", nullptr, nullptr},
    {27, "BTUHR_TO_W", 0.2930711, "BTU/hr", "W", nullptr, nullptr},
    {28, "MBH_TO_KW", 0.2930711, "MBH", "kW", nullptr, nullptr},
    {29, "KW_TO_KW", 1, "kW", "kW", nullptr, nullptr},
    {30, "WSQFT_TO_WSQM", 10.76391, "W/sqft", "W/sqm", "W/ft²", "W/m²"},
    {31, "BTUHRSQFT_TO_WSQM", 3.154591, "BTU/(hr-sqft)", "W/sqm", "BTU/(hr-ft²)", "W/m²"},
    {32, "MBHTON_TO_IKWKW", 0.0833333, "MBH/Ton", "ikW/kW", nullptr, nullptr},
    {33, "KWTON_TO_IKWKW", 0.2843451, "kW/Ton", "ikW/kW", nullptr, nullptr},
    {34, "FTWG_TO_KPA", 2.98294, "ft wg", "kPa", nullptr, nullptr},
    {35, "INWG_TO_KPA", 0.2485784, "in wg", "kPa", nullptr, nullptr},
    {36, "PSI_TO_KPA", 6.894757, "psi", "kPa", nullptr, nullptr},
    {37, "BTULBF_TO_KJKGK", 4.1868, "BTU / (lb - F)", "kJ / (kg - K)", "BTU / (lb - °F)", "kJ / (kg - °K)"},
    {38, "F_TO_C", -1, "F", "C", "°F", "°C"},
    {39, "R_TO_K", 0.5555556, "R", "K", "°R", "°K"},
    {40, "F_TO_K", 0.555556, "F", "K", "°F", "°K"},
    {41, "BTUHRFTF_TO_WMK", 1.730735, "BTU/(hr-ft-F)", "W/(m-K)", "BTU/(hr-ft-°F)", "W/(m-°K)"},
    {42, "HRSQFTFBTU_TO_SQMKW", 0.1761102, "(hr-sqft-F)/BTU", "(sqm-K)/W", "(hr-ft²-°F)/BTU", "(m²-°K)/W"},
    {43, "HRSQFTFBTU_TO_SQMKKW", 176.1102, "(hr-sqft-F)/BTU", "(sqm-K)/kW", "(hr-ft²-°F)/BTU", "(m²-°K)/kW"},
    {44, "BTUHRSQFTF_TO_WSQMK", 5.678263, "BTU/(hr-sqft-F)", "W/(sqm-K)", "BTU/(hr-ft²-°F)", "W/(m²-°K)"},
    {45, "FTS_TO_MS", 0.3048, "ft/s", "m/s", nullptr, nullptr},
    {46, "FPM_TO_MS", 0.00508, "fpm", "m/s", nullptr, nullptr},
    {47, "LBFTHR_TO_PAS", 0.0004133789, "lb/(ft-hr)", "Pa-s", nullptr, nullptr},
    {48, "CUFT_TO_M3", 0.02832, "cuft", "m3", "ft³", "m³"},
    {49, "GAL_TO_L", 3.785412, "gal", "L", nullptr, nullptr},
    {50, "CFH_TO_M3H", 0.02832, "CFH", "m3/h", "CFH", "m³/h"},
    {51, "GPH_TO_LH", 3.785412, "GPH", "L/h", nullptr, nullptr},
    {52, "PSIG_TO_KPA", 6.894757, "psig", "kPa", nullptr, nullptr},
    {53, "BTULB_TO_KJKG", -1, "BTU/lb", "kJ/kg", nullptr, nullptr},
    {54, "BHP_TO_BHP", 1, "BHP", "BHP", nullptr, nullptr},
    {55, "INWG_TO_PA", 248.5784, "in wg", "Pa", nullptr, nullptr},
    {56, "KBTU_TO_KWH", 0.2930711, "kBTU", "kWh", nullptr, nullptr},
    {57, "KWH_TO_KWH", 1, "kWh", "kWh", nullptr, nullptr},
    {58, "PSIA_TO_KPA", 6.894757, "psia", "kPa", nullptr, nullptr},
    {59, "KWHLB_TO_KWHKG", 2.204671, "kWh/lb", "kWh/kg", nullptr, nullptr},
    {60, "KBTULB_TO_KWHKG", 0.6461254, "kBTU/lb", "kWh/kg", nullptr, nullptr},
    {61, "PCT_TO_PCT", 1, "%", "%", nullptr, nullptr},
    {62, "LBHR_TO_KGS", 0.000125997, "lb/hr", "kg/s", nullptr, nullptr},
    {63, "HPTON_TO_KWKW", 0.2120374, "hp/Ton", "kW/kW", nullptr, nullptr},
};

bool isOffsetRow(long id) { return id == F_TO_C || id == BTULB_TO_KJKG; }

TEST(clsUnits, NewObjectState) {
  clsUnits u;
  EXPECT_EQ(u.Count(), 63);
  EXPECT_EQ(u.CurrentUnitOfMeasure(), nENGLISH);
  EXPECT_TRUE(u.UseStandardLabels());
  EXPECT_EQ(u.UnitStr(SQFT_TO_SQM), "sqft");
  EXPECT_EQ(LAST_CNV, HPTON_TO_KWKW);
  EXPECT_EQ(FIRST_CNV, SQFT_TO_SQM);
}

TEST(clsUnits, TableIsExact) {
  ASSERT_EQ(kTable.size(), 63u);
  clsUnits u;
  int extended = 0;
  for (const Row& r : kTable) {
    SCOPED_TRACE(r.name);
    const UnitEntry& e = u.Entry(r.id);
    EXPECT_EQ(e.Constant, r.factor);  // the stored decimal, bit for bit
    EXPECT_EQ(e.EnglishText, r.ip);
    EXPECT_EQ(e.MetricText, r.si);
    EXPECT_EQ(e.Reference, r.name);
    EXPECT_EQ(u.UnitLabel(r.id, nENGLISH), r.ip);
    EXPECT_EQ(u.UnitLabel(r.id, nMETRIC), r.si);
    if (!isOffsetRow(r.id)) {
      EXPECT_EQ(u.ConvertUnitValue(1.0, r.id, nMETRIC), r.factor);
    }
    if (r.ipExt) ++extended;
  }
  EXPECT_EQ(extended, 22);
}

TEST(clsUnits, ExtendedLabelsToggle) {
  clsUnits u;
  u.UseStandardLabels(false);
  EXPECT_FALSE(u.UseStandardLabels());
  for (const Row& r : kTable) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(u.UnitLabel(r.id, nENGLISH), r.ipExt ? r.ipExt : r.ip);
    EXPECT_EQ(u.UnitLabel(r.id, nMETRIC), r.siExt ? r.siExt : r.si);
    EXPECT_EQ(u.Entry(r.id).Constant, r.factor);
    EXPECT_EQ(u.Entry(r.id).Reference, r.name);
  }
  EXPECT_EQ(u.UnitStr(F_TO_C), "°F");
  EXPECT_EQ(u.UnitStr(GPM_TO_LPS), "gpm");
  u.CurrentUnitOfMeasure(nMETRIC);
  EXPECT_EQ(u.UnitStr(F_TO_C), "°C");
  u.UseStandardLabels(true);
  EXPECT_EQ(u.UnitStr(F_TO_C), "C");
  u.CurrentUnitOfMeasure(nENGLISH);
  EXPECT_EQ(u.UnitStr(F_TO_C), "F");
}

TEST(clsUnits, RoundTripEveryId) {
  clsUnits u;
  for (long id = FIRST_CNV; id <= LAST_CNV; ++id) {
    for (double v : {-40.0, 0.0, 1.0, 57.3, 12345.678}) {
      SCOPED_TRACE(testing::Message() << "id " << id << " value " << v);
      const double si = u.ConvertUnitValue(v, id, nMETRIC);
      const double back = u.ConvertUnitValue(si, id, nENGLISH);
      EXPECT_NEAR(back, v, 1e-9 * std::max(1.0, std::fabs(v)));
      if (!isOffsetRow(id) && v != 0.0) {
        EXPECT_NE(si, 0.0);
      }
    }
  }
}

struct ConvCase {
  long id;
  double value;
  long target;
  double expected;
};

TEST(clsUnits, ConversionCases) {
  const ConvCase cases[] = {
      {F_TO_C, 212, nMETRIC, 100},
      {F_TO_C, 100, nENGLISH, 212},
      {F_TO_C, 32, nMETRIC, 0},
      {F_TO_C, -40, nMETRIC, -40},
      {F_TO_K, 10, nMETRIC, 5.55556},  // a difference: no offset
      {R_TO_K, 10, nMETRIC, 5.555556},
      {BTULB_TO_KJKG, 7.687, nMETRIC, 0},  // enthalpy datum shift
      {BTULB_TO_KJKG, 0, nENGLISH, 7.687},
      {BTULB_TO_KJKG, 17.687, nMETRIC, 23.26},
      {TONS_TO_KW, 100, nMETRIC, 351.6853},
      {TONS_TO_KW, 351.6853, nENGLISH, 100},
      {NO_CONV, 5, 7, 5},  // id 0 ignores the target
      {NO_CONV, 5, nMETRIC, 5},
      {TONS_TO_KW, 5, 7, 0},  // any other id: bad target gives 0
      {F_TO_C, 5, -1, 0},
      {BTULB_TO_KJKG, 5, 2, 0},
      {1000, 5, 7, 0},  // target tested before the row
  };
  clsUnits u;
  for (const ConvCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "id " << c.id << " value " << c.value << " to " << c.target);
    EXPECT_NEAR(u.ConvertUnitValue(c.value, c.id, c.target), c.expected, 1e-9);
  }
}

TEST(clsUnits, DeviceConversionGating) {
  clsUnits u;
  EXPECT_EQ(u.CnvToDevice(100, TONS_TO_KW), 100);
  EXPECT_EQ(u.CnvFromDevice(100, TONS_TO_KW), 100);
  u.CurrentUnitOfMeasure(2);  // ignored
  EXPECT_EQ(u.CurrentUnitOfMeasure(), nENGLISH);
  u.CurrentUnitOfMeasure(nMETRIC);
  EXPECT_NEAR(u.CnvToDevice(100, TONS_TO_KW), 351.6853, 1e-9);
  EXPECT_NEAR(u.CnvFromDevice(351.6853, TONS_TO_KW), 100, 1e-9);
  EXPECT_NEAR(u.CnvToDevice(212, F_TO_C), 100, 1e-12);
  u.CurrentUnitOfMeasure(-1);  // ignored
  EXPECT_EQ(u.CurrentUnitOfMeasure(), nMETRIC);
  for (UnitOfMeasure m : {nENGLISH, nMETRIC}) {
    u.CurrentUnitOfMeasure(m);
    for (long id : {0L, -1L, 64L, 100000L}) {
      SCOPED_TRACE(testing::Message() << "system " << m << " id " << id);
      EXPECT_EQ(u.CnvToDevice(42.5, id), 42.5);
      EXPECT_EQ(u.CnvFromDevice(42.5, id), 42.5);
    }
  }
}

TEST(clsUnits, LabelsOutOfRange) {
  clsUnits u;
  EXPECT_EQ(u.UnitLabel(FT_TO_M, nMETRIC), "m");
  EXPECT_EQ(u.UnitLabel(FT_TO_M, 2), "");
  EXPECT_EQ(u.UnitLabel(NO_CONV, nENGLISH), "");
  EXPECT_EQ(u.UnitStr(64), "");
  EXPECT_EQ(u.UnitStr(-3), "");
}

TEST(clsUnits, AddUnitGrowsAndSurvivesReload) {
  clsUnits u;
  EXPECT_EQ(u.AddUnit(2, "a", "b", "A_TO_B"), 64);
  EXPECT_EQ(u.Count(), 64);
  EXPECT_EQ(u.ConvertUnitValue(3, 64, nMETRIC), 6);
  EXPECT_EQ(u.ConvertUnitValue(3, 64, nENGLISH), 1.5);
  EXPECT_EQ(u.AddUnit(4, "c", "d", "C_TO_D"), 65);
  u.UseStandardLabels(false);
  u.UseStandardLabels(true);
  EXPECT_EQ(u.Count(), 65);
  EXPECT_EQ(u.UnitLabel(64, nENGLISH), "a");
  EXPECT_EQ(u.UnitLabel(65, nMETRIC), "d");
  u.CurrentUnitOfMeasure(nMETRIC);
  EXPECT_EQ(u.CnvToDevice(3, 65), 12);
  EXPECT_EQ(u.UnitStr(65), "d");
  // Objects keep their own tables.
  clsUnits other;
  EXPECT_EQ(other.Count(), 63);
}

TEST(clsUnits, ErrorsAreReportedNotIndexed) {
  clsUnits u;
  for (long id : {-1L, 64L, 1000000L}) {
    SCOPED_TRACE(id);
    try {
      u.ConvertUnitValue(1, id, nMETRIC);
      ADD_FAILURE() << "no error";
    } catch (const clsUnitsError& e) {
      EXPECT_EQ(e.number(), 9);
    }
    EXPECT_THROW(u.ConvertUnitValue(1, id, nENGLISH), clsUnitsError);
  }
  // The offset rows need no table row; a bad target gives 0 before any lookup.
  EXPECT_NO_THROW(u.ConvertUnitValue(1, 64, 5));

  const long zero = u.AddUnit(0, "x", "y", "ZERO");
  EXPECT_EQ(u.ConvertUnitValue(5, zero, nMETRIC), 0);
  try {
    u.ConvertUnitValue(5, zero, nENGLISH);
    ADD_FAILURE() << "no error";
  } catch (const clsUnitsError& e) {
    EXPECT_EQ(e.number(), 11);
  }
  u.CurrentUnitOfMeasure(nMETRIC);
  EXPECT_THROW(u.CnvFromDevice(5, zero), clsUnitsError);

  const long huge = u.AddUnit(1e300, "x", "y", "HUGE");
  try {
    u.ConvertUnitValue(1e300, huge, nMETRIC);
    ADD_FAILURE() << "no error";
  } catch (const clsUnitsError& e) {
    EXPECT_EQ(e.number(), 6);
  }
}

}  // namespace
