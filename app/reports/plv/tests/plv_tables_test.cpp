// The part-load table sections written into the document from a CAL.DAT fixture: the
// values they show and store, their numbering and which rows appear; not their layout.
#include <filesystem>
#include <functional>

#include "app/calc/tests/calc_fixtures.h"
#include "app/reports/plv/plv_values.h"
#include "app/reports/plv/tests/plv_fixture.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"

namespace plvtest {
namespace {

using modDataIO::gProject;
using modpublic::AddUnitLabel;
using Strings = std::vector<std::string>;

// ---- Weighting factors and ECWTs -----------------------------------------------------

using WeightingFactors = PLVTableTest;

TEST_F(WeightingFactors, PlantMeansGoToTheProjectAndTheTable) {
  Load(*calctest::ThreeChillerProfile(), calctest::ThreeChillerSummary());
  int32_t section = 0;
  ASSERT_TRUE(report->SummaryOfMardelResults(section));
  EXPECT_EQ(section, 1);
  EXPECT_TRUE(Has("1.  SUMMARY OF RESULTS"));
  // Index 0 is the 25 % point.
  EXPECT_NEAR(gProject.WeightingFactor(0), 0.5 / 3, 1e-6);
  EXPECT_NEAR(gProject.WeightingFactor(3), 0.8 / 3, 1e-6);
  EXPECT_NEAR(gProject.ECWT(0), 78, 1e-4);
  EXPECT_NEAR(gProject.ECWT(1), 84 / 1.1, 1e-4);
  EXPECT_NEAR(gProject.ECWT(3), 85, 1e-4);
  // Rows 100 % down to 25 %: IPLV factor and ECWT, then the plant's.
  EXPECT_EQ(Row(0, 2), (Strings{"100%", "0.010", "85.0", "0.267", "85.0"}));
  EXPECT_EQ(Row(0, 3), (Strings{"75%", "0.420", "75.0", "0.200", "80.0"}));
  EXPECT_EQ(Row(0, 4), (Strings{"50%", "0.450", "65.0", "0.367", "76.4"}));
  EXPECT_EQ(Row(0, 5), (Strings{"25%", "0.120", "65.0", "0.167", "78.0"}));
  EXPECT_TRUE(Has("Note: Average ECWT's accurate to +/- 0.2 F"));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(WeightingFactors, SIShowsTheStandardECWTsAndTheNoteConverted) {
  Units(nMETRIC);
  Load(*calctest::ThreeChillerProfile(true), calctest::ThreeChillerSummary());
  int32_t section = 3;
  ASSERT_TRUE(report->SummaryOfMardelResults(section));
  EXPECT_TRUE(Has("4.  SUMMARY OF RESULTS")) << "numbers continue from the one passed in";
  EXPECT_EQ(Row(0, 2), (Strings{"100%", "0.010", "29.4", "0.267", "29.4"}));
  EXPECT_EQ(Row(0, 3)[2], "23.9");
  EXPECT_EQ(Row(0, 4)[2], "18.3");
  EXPECT_EQ(Row(0, 5), (Strings{"25%", "0.120", "18.3", "0.167", "25.6"}));
  EXPECT_NEAR(gProject.ECWT(0), 78, 1e-3) << "the project keeps deg F";
  EXPECT_TRUE(Has("Note: Average ECWT's accurate to +/- 0.1 K")) << "a temperature difference";
}

// In a report run the section shows the means the run stored in the project (what the summary
// CSV exports), not means computed again: changed between the run's store and the section,
// the stored ones are printed.
TEST_F(WeightingFactors, TheRunsSectionShowsTheMeansTheRunStored) {
  options.bSummaryReport = vb::kTrue;
  Load(*calctest::ThreeChillerProfile(), calctest::ThreeChillerSummary());
  gProject.ProjectName = "Stored Means";
  auto& sections = report->PLVSections();
  const std::function<bool()> summary = sections.SummaryReport;
  float storedByTheRun = -1;
  sections.SummaryReport = [&] {
    storedByTheRun = gProject.WeightingFactor(3);
    gProject.WeightingFactor(3) = 0.5f;
    gProject.ECWT(3) = 80;
    return summary();
  };
  ASSERT_TRUE(report->PLVAnalysisReports());
  EXPECT_NEAR(storedByTheRun, 0.8 / 3, 1e-6) << "the run stored the means before its sections";
  EXPECT_EQ(Row(0, 2), (Strings{"100%", "0.010", "85.0", "0.500", "80.0"}));
  EXPECT_EQ(gProject.WeightingFactor(3), 0.5f);
  EXPECT_TRUE(host.messages.empty());
}

// The CPLV ECWT shows only from a mean factor of 0.0001; zero chillers write zeros.
TEST_F(WeightingFactors, NotAvailableBelowTheThresholdAndNoChillers) {
  auto p = std::make_unique<PLVProfileData>();
  p->nNumChillerResults = 1;
  ChillerResultData& r = p->ChillerResults(1);
  const float wf[] = {0.0001f, 0.00009f, 0, 1};
  for (int q = 1; q <= 4; ++q) {
    r.fWeightingFactor(q) = wf[q - 1];
    r.fECWT(q) = 70;
  }
  Load(*p, PLVSummaryData{});
  int32_t section = 0;
  ASSERT_TRUE(report->SummaryOfMardelResults(section));
  EXPECT_EQ(Row(0, 5)[4], "70.0") << "25 %: exactly 0.0001";
  EXPECT_EQ(Row(0, 4)[4], "n/a") << "50 %: below";
  EXPECT_EQ(Row(0, 3)[4], "n/a");

  p->nNumChillerResults = 0;
  gProject.ECWT(2) = 55;
  Load(*p, PLVSummaryData{});
  ASSERT_TRUE(report->SummaryOfMardelResults(section));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(gProject.WeightingFactor(i), 0) << i;
    EXPECT_EQ(gProject.ECWT(i), 0) << i;
  }
  EXPECT_TRUE(host.messages.empty());
}

// A rating point that does not weigh (factor below 0.0001) has no ECWT in any section, even
// with one stored: the summary, the worksheet, the custom PLV specification, the weighting
// factors and the cooling hours statistics all read "n/a" for it.
TEST_F(WeightingFactors, AnEmptyRatingPointReadsTheSameInEverySection) {
  auto p = std::make_unique<PLVProfileData>();
  p->nNumChillerResults = 1;
  ChillerResultData& r = p->ChillerResults(1);
  r.sSlotName = "CH-1";
  const float wf[] = {0.00009f, 0.3f, 0.3f, 0.39991f}, ecwt[] = {55, 65, 75, 85};
  for (int q = 1; q <= 4; ++q) {
    r.fWeightingFactor(q) = wf[q - 1];
    r.fECWT(q) = ecwt[q - 1];
  }
  Load(*p, PLVSummaryData{}, 2);
  int32_t n = 0, table = 0;
  ASSERT_TRUE(report->SummaryOfMardelResults(n));
  ASSERT_TRUE(report->WeightingFactorsAndECWTs(n));
  ASSERT_TRUE(report->RptCustomPLVReport(table));
  ASSERT_TRUE(report->RptCustomPLVSpecification0());
  ASSERT_TRUE(report->ChillerOperatingHoursStatistics(table));
  size_t na = 0;
  for (const std::string& t : BodyTexts()) {
    EXPECT_EQ(t.find("55.0"), std::string::npos) << t;
    EXPECT_EQ(t, t == "N/A" ? "n/a" : t) << "one spelling";
    na += t == "n/a" ? 1 : 0;
  }
  EXPECT_GE(na, 4u);
  EXPECT_TRUE(Contains("65.0"));
}

TEST_F(WeightingFactors, PlantInputsAndTheEqualUnloadingNote) {
  Load(*calctest::ThreeChillerProfile(), calctest::ThreeChillerSummary());
  gProject.CityName = std::string("Chicago\0xx", 10);
  gProject.Economizer = 3;
  gProject.PlantControl = 4;
  gProject.PlantControlName = "Equal Unloading";
  gProject.SystemDifference = 4.6f;
  gProject.DesignApproach = 7;
  int32_t section = 1;
  ASSERT_TRUE(report->PlantInputDataSummary(section));
  EXPECT_TRUE(Has("2.  INPUT DATA SUMMARY"));
  EXPECT_TRUE(Has("City \tChicago"));
  EXPECT_TRUE(Has("Economizer \tNo Economizer"));
  EXPECT_TRUE(Has("Design Approach \t7.0 " + modpublic::gUnits.UnitStr(F_TO_K)));
  EXPECT_TRUE(
      Has("Note: Plants using Equal Unloading control will have 5% higher energy use for chilled water + "
          "condenser water pumps than plants using Sequenced control."));

  gProject.PlantControl = 1;
  gProject.Economizer = 2;
  ASSERT_TRUE(report->InitReportDocument(1, true));
  ASSERT_TRUE(report->PlantInputDataSummary(section));
  EXPECT_TRUE(Has("Economizer \tWaterside Economizer"));
  EXPECT_FALSE(Contains("Equal Unloading control"));
}

// ---- Custom PLV specification ----------------------------------------------------------

using CustomPLVSpec = PLVTableTest;

TEST_F(CustomPLVSpec, RowValuesInBothUnitSystems) {
  auto p = calctest::ThreeChillerProfile();
  p->ChillerResults(3).nEfficiencyKind = 2;  // gas: 12 MBH per ton
  p->ChillerResults(3).fFLEfficiency = 12;
  for (UnitOfMeasure units : {nENGLISH, nMETRIC}) {
    Units(units);
    Load(*p, calctest::ThreeChillerSummary(), 2);
    ASSERT_TRUE(report->RptCustomPLVSpecification0());
    ASSERT_EQ(RowCount(0), 5u) << "two header rows and three chillers";
    const Strings ch1 = Row(0, 2);
    ASSERT_EQ(ch1.size(), 24u);
    EXPECT_EQ(ch1[0], "CH-1");
    EXPECT_EQ(ch1[1], "Tolvane");
    EXPECT_EQ(ch1[2], units == nENGLISH ? "500" : "1,758");
    EXPECT_EQ(ch1[3], "300") << "500 tons at 0.6 kW/ton is 300 kW in both systems";
    EXPECT_EQ(ch1[6], units == nENGLISH ? "44.0" : "6.7");
    EXPECT_EQ((Strings(ch1.begin() + 15, ch1.begin() + 19)), (Strings{"0.00", "0.30", "0.30", "0.40"}));
    EXPECT_EQ(ch1[19], "n/a") << "no hours at 25 %";
    EXPECT_EQ(ch1[22], units == nENGLISH ? "85.0" : "29.4");
    EXPECT_EQ(Row(0, 4)[3], units == nENGLISH ? "2,400" : "703") << "200 tons x 12 MBH per ton";
    EXPECT_EQ(Row(0, 1)[4], units == nENGLISH ? "GPM" : "L/s");
  }
}

TEST_F(CustomPLVSpec, FormulasFollowTheEfficiencyKind) {
  for (int16_t kind : {0, 1}) {
    options.nEfficiencyInput = kind;
    auto p = std::make_unique<PLVProfileData>();  // no chillers: headers and formulas
    Load(*p, PLVSummaryData{}, 2);
    ASSERT_TRUE(report->RptCustomPLVSpecification0());
    EXPECT_EQ(RowCount(0), 2u);
    const bool product = Contains("Custom PLV (Electric Chillers) = (Wgt@100%  x  EER@100%)");
    const bool reciprocal = Contains("Custom PLV (Electric Chillers) = 1 / [(Wgt@100%  /  kW/Ton@100%)");
    EXPECT_EQ(product, kind == 1);
    EXPECT_EQ(reciprocal, kind != 1);
    EXPECT_TRUE(Contains("Custom PLV (Absorption Chillers) = (Wgt@100%  x  COP@100%)"));
  }
}

TEST_F(CustomPLVSpec, AsADocumentOfItsOwn) {
  Load(*calctest::ThreeChillerProfile(), calctest::ThreeChillerSummary(), 2);
  ASSERT_TRUE(report->RptCustomPLVSpecification());
  const clsReport::ReportInfo info = report->Reportinfo(report->CurrentReportID());
  EXPECT_EQ(info.FileName, "CplvSpec.rtf");
  EXPECT_EQ(info.Title, "Custom PLV Specification Report");
  EXPECT_TRUE(info.Saved);
  EXPECT_TRUE(std::filesystem::exists(Working("CplvSpec.rtf")));
}

// ---- Custom weighting factors summary ----------------------------------------------------

TEST_F(PLVTableTest, WeightingFactorsSummaryTrimsEachFieldBeforeJoining) {
  auto p = calctest::ThreeChillerProfile();
  p->ChillerResults(1).sSlotName = std::string("CH-1\0zz", 7);
  p->ChillerResults(2).sChillerName = "";
  Load(*p, calctest::ThreeChillerSummary());
  int32_t section = 0;
  ASSERT_TRUE(report->WeightingFactorsAndECWTs(section));
  EXPECT_TRUE(Has("1.  Summary of Custom Weighting Factors and ECWTs"));
  EXPECT_EQ(Row(0, 2),
            (Strings{"CH-1 - Centrifugal 500", "0.000", "0.300", "0.300", "0.400", "n/a", "70.0", "80.0", "85.0"}));
  EXPECT_EQ(Row(0, 3)[0], "CH-2 -");
  EXPECT_EQ(Row(0, 4), (Strings{"CH-3 - Screw 200", "0.500", "0.500", "0.000", "0.000", "78.0", "84.0", "n/a", "n/a"}));
}

// ---- Custom PLV factors report -------------------------------------------------------------

using CustomPLVFactors = PLVTableTest;

TEST_F(CustomPLVFactors, PoolTableKeyAndWorksheetsInOrder) {
  Load(*calctest::ThreeChillerProfile(), calctest::ThreeChillerSummary(), 2);
  int32_t table = 0;
  ASSERT_TRUE(report->RptCustomPLVReport(table));
  EXPECT_EQ(table, 3);
  const long conditions = IndexOf("1. CHILLER SYSTEM OPERATING CONDITIONS");
  const long pool = IndexOf("2A.  AVERAGE WEIGHTING FACTORS AND ENTERING CONDENSER TEMPERATURES (CH-1, CH-2)");
  const long key = IndexOf("KEY FOR CUSTOM PLV WORKSHEET TABLES:");
  const long ws1 = IndexOf("3A.  CUSTOM PLV WORKSHEET FOR CH-1  (CENTRIFUGAL 500)");
  const long ws3 = IndexOf("3C.  CUSTOM PLV WORKSHEET FOR CH-3  (SCREW 200)");
  ASSERT_GE(conditions, 0);
  EXPECT_LT(conditions, pool);
  EXPECT_LT(pool, key);
  EXPECT_LT(key, ws1);
  EXPECT_LT(ws1, ws3);
  const Strings texts = BodyTexts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "KEY FOR CUSTOM PLV WORKSHEET TABLES:"), 1);

  // Operating conditions: one row per bin and the totals.
  EXPECT_EQ(Row(0, 1), (Strings{"95.0", "75.0", "100", "1,100", "110,000", "100", "3", "92"}));
  EXPECT_EQ(Row(0, 4), (Strings{"Total", "-", "600", "-", "270,000", "-", "-", "-"}));
  // The pool: members, totals from the first member, factors and ECWTs.
  EXPECT_EQ(Row(1, 2), (Strings{"CH-1", "0", "0", "0", "300", "21,000", "75,000", "200", "16,000", "75,000", "100",
                                "8,500", "50,000"}));
  EXPECT_EQ(Row(1, 3)[10], "100") << "CH-2 runs only in the 100 h of bin 1";
  EXPECT_EQ(Row(1, 4), (Strings{"Totals:", "0", "0", "0", "300", "21,000", "75,000", "200", "16,000", "75,000", "200",
                                "17,000", "100,000"}));
  EXPECT_EQ(Row(1, 5), (Strings{"Cust Wgt Factor:", "0.000", "0.300", "0.300", "0.400"}));
  const Strings poolEcwt = Row(1, 6);
  EXPECT_EQ((Strings(poolEcwt.begin() + 1, poolEcwt.end())), (Strings{"n/a", "70.0", "80.0", "85.0"}));
  EXPECT_TRUE(Has("Grand Total Ton-hrs = 250,000")) << "no stray column-break character";
  EXPECT_TRUE(Contains("chillers are all identical:  CH-1, CH-2.  Over the life"));
  // Worksheets: tables 3 (key), 4, 5, 6. Pool members show no factor rows; CH-3 does.
  const size_t ws = 3;
  EXPECT_EQ(RowCount(ws), 2u + 3u + 1u);
  EXPECT_EQ(RowCount(ws + 1), 6u);
  EXPECT_EQ(RowCount(ws + 2), 8u);
  EXPECT_EQ(Row(ws, 2), (Strings{"95.0", "85.0", "100", "8,500", "50,000", "500", "100", "0", "0", "0", "0", "0", "0",
                                 "8,500", "50,000"}));
  EXPECT_EQ(Row(ws + 2, 4)[1], "n/a") << "CH-3 is off in bin 3";
  EXPECT_EQ(Row(ws + 2, 5), (Strings{"Totals", "300", "24,000", "20,000", "", "", "15,600", "10,000", "8,400", "10,000",
                                     "0", "0", "0", "0"}));
  EXPECT_EQ(Row(ws + 2, 6), (Strings{"Cust Wgt Factors:", "0.500", "0.500", "0.000", "0.000"}));
  const Strings ownEcwt = Row(ws + 2, 7);
  EXPECT_EQ((Strings(ownEcwt.begin() + 1, ownEcwt.end())), (Strings{"78.0", "84.0", "n/a", "n/a"}));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(CustomPLVFactors, WithoutPoolsTheWorksheetsAreTableTwoAndTheKeyFollows) {
  auto p = calctest::ThreeChillerProfile();
  p->ChillerResults(2).nGroup = 3;
  p->ChillerResults(1).fBinECWT(1) = -2;  // a negative temperature prints
  Load(*p, calctest::ThreeChillerSummary(), 2);
  int32_t table = 0;
  ASSERT_TRUE(report->RptCustomPLVReport(table));
  EXPECT_EQ(table, 2);
  EXPECT_LT(IndexOf("2C.  CUSTOM PLV WORKSHEET FOR CH-3  (SCREW 200)"),
            IndexOf("KEY FOR CUSTOM PLV WORKSHEET TABLES:"));
  EXPECT_FALSE(Contains("AVERAGE WEIGHTING FACTORS"));
  EXPECT_EQ(Row(1, 2)[1], "-2.0");
  EXPECT_EQ(RowCount(1), 8u) << "every chiller now has its own factors";
}

TEST_F(CustomPLVFactors, HeatRecoveryLayoutAndSIKey) {
  Units(nMETRIC);
  auto p = calctest::ThreeChillerProfile(true);
  p->nHeatRecoveryMode = 2;
  p->Bins(1).fHRCooling = 100;
  Load(*p, calctest::ThreeChillerSummary(), 2);
  int32_t table = 0;
  ASSERT_TRUE(report->SystemOperatingConditions(table));
  const Strings header = Row(0, 0);
  ASSERT_EQ(header.size(), 10u);
  EXPECT_EQ(header[5], AddUnitLabel("Remaining Building Load", TONS_TO_KW, true));
  EXPECT_EQ(Row(0, 1)[3], "4,220") << "(1,100 + 100) tons in kW";
  EXPECT_EQ(Row(0, 4)[2], "600");
  EXPECT_EQ(Row(0, 4)[6], "949,550") << "270,000 ton-hours in kWh";
  ASSERT_TRUE(report->WriteKeyDataNotes());
  EXPECT_TRUE(Contains("[Total kWh] for PLV Bin divided by [Total kWh] for the chiller."));
  // CWH stands in deg C hours in SI: 100 h at 85 F.
  table = 0;
  ASSERT_TRUE(report->CustomPLVWorksheet(table, false));
  EXPECT_EQ(Row(2, 2)[3], "2,944");
}

// ---- System PLV report -------------------------------------------------------------------------

using SystemPLV = PLVTableTest;

TEST_F(SystemPLV, FourChillersInTwoLetteredTablesAndOneProcedurePerKind) {
  auto p = calctest::ThreeChillerProfile();
  p->nNumChillerResults = 4;
  p->ChillerResults(4) = p->ChillerResults(3);
  p->ChillerResults(4).sSlotName = "CH-4";
  p->ChillerResults(4).nCondenserType = 1;  // air-cooled
  p->ChillerResults(4).bMinECWTReached = vb::kTrue;
  p->ChillerResults(2).fIPLV = reports::plv::kNoIPLV;
  Load(*p, calctest::ThreeChillerSummary());
  int32_t table = 0;
  ASSERT_TRUE(report->RptSystemPLVReport0(table));
  EXPECT_EQ(table, 5);
  EXPECT_TRUE(Has("1.  Executive Summary"));
  EXPECT_TRUE(Has("3a.  Chiller System Performance"));
  EXPECT_TRUE(Has("3b.  Chiller System Performance"));
  EXPECT_TRUE(Has("Minimum ECWT condition has been reached for chiller(s): CH-4"));
  EXPECT_TRUE(Has("4.  CPLV Worksheet"));
  const long water = IndexOf("Procedure for Calculating IPLV for Water-Cooled Electric Chillers");
  const long air = IndexOf("Procedure for Calculating IPLV for Air-Cooled Electric Chillers");
  EXPECT_GE(water, 0);
  EXPECT_LT(water, air);
  EXPECT_FALSE(Has("Procedure for Calculating IPLV for Absorption Chillers"));
  // Executive summary: the SPLV row and a chiller without a rated IPLV.
  EXPECT_EQ(Row(0, 3), (Strings{"\tCentrifugal 500", "0.500 kW/Ton"}));
  EXPECT_EQ(Row(0, 4), (Strings{"\tCentrifugal 500", "n/a"}));
  // Performance: 3 chillers in the first table (4 columns each), the fourth with the system's.
  EXPECT_EQ(Row(2, 1).size(), 1u + 12u);
  EXPECT_EQ(Row(3, 0), (Strings{"", "CH-4", "System"}));
  EXPECT_EQ(Row(3, 1).size(), 1u + 4u + 2u);
  EXPECT_EQ(Row(3, 4)[4], "n/a") << "CH-4 (a copy of CH-3) is off in bin 3";
  EXPECT_TRUE(host.messages.empty());
}

// ---- Input data summary ----------------------------------------------------------------------

using InputSummary = PLVTableTest;

TEST_F(InputSummary, PartLoadRunLoadsAndChillerTable) {
  auto p = calctest::ThreeChillerProfile();
  p->ChillerResults(2).nEfficiencyKind = 3;
  p->ChillerResults(2).fFLEfficiency = 10;
  p->ChillerResults(3).nEfficiencyKind = 0;
  PLVSummaryData s = calctest::ThreeChillerSummary();
  s.bAirEconomizer = vb::kTrue;
  s.fEconomizerLimitDB = 55;
  Load(*p, s);
  int32_t section = 0;
  ASSERT_TRUE(report->InputDataSummary(section));
  const std::string tons = AddUnitLabel("", TONS_TO_KW, false), deg = AddUnitLabel("", F_TO_C, false);
  EXPECT_TRUE(Has("1.  Input Data Summary"));
  EXPECT_TRUE(Has("Peak Building Load \t1,100" + tons + " at 95.0" + deg));
  EXPECT_TRUE(Has("Building Load #3 \t250" + tons + " at 75.0" + deg));
  EXPECT_TRUE(Has("Economizer Setpoint \t55.0" + deg));
  EXPECT_TRUE(Has("Chiller System"));
  EXPECT_TRUE(Has("Chillers in Plant \t3"));
  EXPECT_FALSE(Has("Analysis Parameters"));
  EXPECT_EQ(Row(0, 1), (Strings{"CH-1", "Centrifugal 500", "500", "0.600 kW/Ton"}));
  EXPECT_EQ(Row(0, 2)[3], "10.000 lb/(ton-hr)");
  EXPECT_EQ(Row(0, 3)[3], "") << "unknown energy source";
  EXPECT_EQ(RowCount(0), 4u) << "no heat-recovery row";
}

struct ProfileTypeCase {
  int16_t type;
  bool load2, load3, userDefined;
};

class InputSummaryLoads : public PLVTableTest, public ::testing::WithParamInterface<ProfileTypeCase> {};

TEST_P(InputSummaryLoads, ByProfileType) {
  const ProfileTypeCase& c = GetParam();
  PLVSummaryData s = calctest::ThreeChillerSummary();
  s.SetProfileKind(c.type);
  s.sLoadProfileName.clear();
  Load(*calctest::ThreeChillerProfile(), s);
  int32_t section = 0;
  ASSERT_TRUE(report->InputDataSummary(section));
  EXPECT_EQ(Contains("Building Load #2"), c.load2);
  EXPECT_EQ(Contains("Building Load #3"), c.load3);
  EXPECT_EQ(Has("User-Defined Load Profile"), c.userDefined);
  EXPECT_EQ(Contains("Outdoor Economizer Used"), !c.userDefined);
}

// A profile of the site database, named by the set-up after its building type, says so.
TEST_F(InputSummary, SiteDatabaseProfileNamesItsSource) {
  PLVSummaryData s = calctest::ThreeChillerSummary();
  s.SetProfileKind(kBinProfile);
  s.sLoadProfileName = "Hospital";
  Load(*calctest::ThreeChillerProfile(), s);
  int32_t section = 0;
  ASSERT_TRUE(report->InputDataSummary(section));
  EXPECT_TRUE(Has("Load Profile \tSite Database, Hospital"));
  EXPECT_FALSE(Contains("User-Defined"));
}

INSTANTIATE_TEST_SUITE_P(Types, InputSummaryLoads,
                         ::testing::Values(ProfileTypeCase{kTwoLoadPoints, true, false, false},
                                           ProfileTypeCase{kThreeLoadPoints, true, true, false},
                                           ProfileTypeCase{kBinProfile, false, false, true}));

TEST_F(InputSummary, HeatRecoveryRowAndNote) {
  auto p = calctest::ThreeChillerProfile();
  p->nHeatRecoveryMode = 2;
  p->Chiller.sName = "Recovery 100";
  p->Chiller.fFLCapacity = 100;
  Load(*p, calctest::ThreeChillerSummary());
  int32_t section = 0;
  ASSERT_TRUE(report->InputDataSummary(section));
  EXPECT_TRUE(Has("Chillers in Plant \t4"));
  EXPECT_EQ(Row(0, 1), (Strings{"DHRC", "Recovery 100", "100", "Excluded"}));
  EXPECT_EQ(RowCount(0), 6u);
  EXPECT_EQ(Row(0, 5)[0].rfind("Note: For this heat recovery plant", 0), 0u);
}

TEST_F(InputSummary, EconomicRunListsTheComparedSystems) {
  Load(*calctest::ThreeChillerProfile(), calctest::ThreeChillerSummary());
  EconSummaryData econ;
  econ.nNumSystems = 2;
  econ.nLifeCycleYears = 20;
  econ.SetDiscountRatePct(8);
  econ.sElecRateText = "Commercial";
  vb::Array<SystemEconData, 1, 4> systems;
  systems(1).sSystemName = "Sequenced Plant  ";
  systems(2).sSystemName = "Equal Unloading Plant";
  options.ReportType = 1;
  options.nTypeOfCostCalcs = 2;
  options.bIncludePumpEnergy = vb::kTrue;
  ASSERT_TRUE(modDataIO::bReportsWrite(options));
  ASSERT_TRUE(modDataIO::bCalcWriteEconData(calctest::ThreeChillerSummary(), econ, systems));
  ASSERT_TRUE(report->ReadRunResults());
  ASSERT_EQ(report->ReportType(), 1);
  int32_t section = 0;
  ASSERT_TRUE(report->InputDataSummary(section));
  EXPECT_TRUE(Has("Type of Analysis \tEnergy + Lifecycle Costs"));
  EXPECT_TRUE(Has("Include Pump Energy Use \tYes"));
  EXPECT_TRUE(Has("Include Heat Rejection Fan Energy Use \tNo"));
  EXPECT_TRUE(Has("(A)  Sequenced Plant"));
  EXPECT_TRUE(Has("(B)  Equal Unloading Plant"));
  EXPECT_TRUE(Has("Lifecycle Period \t20 years"));
  EXPECT_TRUE(Has("Electric Energy \tCommercial"));
  EXPECT_FALSE(Has("Chiller System"));
  EXPECT_TRUE(Tables().empty()) << "no chiller table";
}

}  // namespace
}  // namespace plvtest
