// The table sections from the shipped default project's calculation, headless: the set-up,
// the part-load calculation through the progress window's controller, the combined report
// with the table sections, saved as PDF in both unit systems; and the summary CSV carrying
// the plant means the weighting factors report stored.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/calc/custom_plv.h"
#include "app/program/tests/part_load_setup.h"
#include "app/reports/plv/plv_values.h"
#include "app/reports/plv/tests/plv_fixture.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace plvtest {
namespace {

namespace fs = std::filesystem;
using modDataIO::gProject;

class DefaultProject : public PLVTableTest {
 protected:
  // Set-up, report options with the table sections only (or every section and the footer
  // logo), the calculation and the run.
  void Run(const std::string& name, bool everySection = false) {
    modpublic::gAppPath = std::string(KESTRIN_PROGRAM_DIR) + "/";
    ASSERT_TRUE(modpublic::InitGlobalSettings(modpublic::gAppPath));
    gProject.ProjectName = name;
    ASSERT_NO_FATAL_FAILURE(programtest::SetUpPartLoadReport(host, [&](ReportData& r) {
      if (everySection) {
        r.bCoverPage = r.bLoadProfileGraph = r.bCoolingDuty = r.bCondTempProfiles = r.bPerfProfiles = vb::kTrue;
        r.bSummaryReport = r.bCustomPLVFactors = r.bCustomPLVSpec = r.bInputSummary = r.bShowLogo = vb::kTrue;
      } else {
        programtest::TableSectionsOnly(r);
      }
    }));
    ASSERT_NO_FATAL_FAILURE(programtest::RunPartLoadTables(*report));
    ASSERT_TRUE(report->Reportinfo(1).Saved) << (host.messages.empty() ? "" : host.messages[0].text);
    EXPECT_TRUE(host.messages.empty()) << host.messages[0].title << ": " << host.messages[0].text;
    EXPECT_FALSE(Contains("Error found in this report"));
    EXPECT_EQ(report->FailedSections(), 0);
    EXPECT_TRUE(report->LastRunOK());
  }

  std::string SavePdf(const std::string& name) {
    const std::string pdf = Working(name);
    EXPECT_TRUE(report->SaveReportAsFile(pdf, "pdf"));
    Keep(pdf);
    return pdf;
  }

  // The sections no run calls, on the same results.
  void UnusedSections(const std::string& units) {
    ASSERT_TRUE(report->ReadRunResults());
    ASSERT_TRUE(report->InitReportDocument(1, true));
    int32_t n = 0, section = 0;
    ASSERT_TRUE(report->BeginNewReport("CUSTOM WEIGHTING FACTORS", 1, n, true));
    ASSERT_TRUE(report->WeightingFactorsAndECWTs(section));
    SavePdf("plv_weighting_factors_" + units + ".pdf");

    ASSERT_TRUE(report->InitReportDocument(1, true));
    n = 0;
    int32_t table = 0;
    ASSERT_TRUE(report->BeginNewReport("SYSTEM PLV REPORT", 1, n, true));
    ASSERT_TRUE(report->RptSystemPLVReport0(table));
    SavePdf("plv_system_" + units + ".pdf");
    EXPECT_TRUE(host.messages.empty());
  }

  void TearDown() override {
    modpublic::gAppPath.clear();
    PLVTableTest::TearDown();
  }
};

TEST_F(DefaultProject, TableSectionsInInchPoundAndTheCSV) {
  Run("Default IP");
  EXPECT_TRUE(Has("1.  SUMMARY OF RESULTS"));
  EXPECT_TRUE(Has("2.  INPUT DATA SUMMARY"));
  EXPECT_TRUE(Has("1. CHILLER SYSTEM OPERATING CONDITIONS"));
  EXPECT_TRUE(Contains("CUSTOM PLV WORKSHEET FOR"));
  EXPECT_TRUE(Has("1.  Input Data Summary"));
  EXPECT_TRUE(Has("Load Profile \tSite Database, Large Office")) << "the template's profile is the site database's";
  EXPECT_TRUE(Contains("Custom PLV (Electric Chillers) ="));
  SavePdf("plv_tables_ip.pdf");

  // The means stored for the CSV are those of the calculation's results.
  PLVSummaryData s;
  auto profile = std::make_unique<PLVProfileData>();
  ASSERT_TRUE(modDataIO::bCalcReadPLVData(s, *profile));
  const reports::plv::RatingMeans means = reports::plv::PlantRatingMeans(*profile);
  // The template chiller carries its standard IPLV, rated off its own map at the standard
  // points, into the results the system PLV report prints.
  ChillerData chiller;
  ASSERT_TRUE(modDataIO::bChillerRead(1, chiller));
  vb::Array<float, 1, 4> weights;
  vb::Array<double, 1, 4> kwPerTon;
  const float standard[][2] = {{0.12f, 65}, {0.45f, 65}, {0.42f, 75}, {0.01f, 85}};
  for (int q = 1; q <= 4; ++q) {
    weights(q) = standard[q - 1][0];
    ASSERT_TRUE(modCalcs::bCalcChillerKWPerTon(chiller, 25.0f * q, standard[q - 1][1], kwPerTon(q)));
  }
  double iplv = 0;
  ASSERT_TRUE(modCalcs::bCalcPLVFromRatingPoints(weights, kwPerTon, iplv));
  EXPECT_GT(iplv, 0.35);
  EXPECT_LT(iplv, 0.57) << "better than its full-load 0.57 kW/ton";
  EXPECT_NEAR(profile->ChillerResults(1).fIPLV, iplv, 1e-4);
  ASSERT_GT(means.weightingFactor[3] + means.weightingFactor[2], 0);
  const std::string csv = Working("summary.csv");
  ASSERT_TRUE(modDataIO::ExportCSV(csv, gProject, gProject.WeightingFactor, gProject.ECWT));
  std::ifstream in(csv);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (int i = 0; i < 4; ++i) {
    const size_t k = static_cast<size_t>(i);
    const std::string ecwt = means.weightingFactor[k] >= 0.0001f ? vb::Format(means.ecwt[k], "0.0") : "n/a";
    const std::string tail = "," + ecwt + ",";
    const std::string wf = "," + vb::Format(means.weightingFactor[k], "0.000") + "\r\n";
    const std::string row = std::to_string((i + 1) * 25) + ",";
    const size_t at = text.find("\r\n" + row);
    ASSERT_NE(at, std::string::npos) << row;
    const std::string line = text.substr(at + 2, text.find("\r\n", at + 2) - at);
    EXPECT_NE(line.find(tail), std::string::npos) << line;
    EXPECT_NE(line.find(wf), std::string::npos) << line;
  }

  UnusedSections("ip");
}

// The whole report, every section and the footer logo, in both unit systems: saved as PDF and
// RTF (kept for looking at with REPORTS_KEEP_OUTPUT).
TEST_F(DefaultProject, WholeReportInBothUnits) {
  for (UnitOfMeasure units : {nENGLISH, nMETRIC}) {
    const std::string tag = units == nENGLISH ? "ip" : "si";
    SCOPED_TRACE(tag);
    Units(units);
    Run("Default " + tag, true);
    EXPECT_TRUE(Contains("COOLING HOURS STATISTICS"));
    EXPECT_TRUE(Contains("site database holds")) << "what the database holds";
    EXPECT_FALSE(Contains("thousands"));
    SavePdf("plv_report_" + tag + ".pdf");
    const std::string rtf = Working("plv_report_" + tag + ".rtf");
    EXPECT_TRUE(report->SaveReportAsFile(rtf, "rtf"));
    Keep(rtf);
  }
}

TEST_F(DefaultProject, TableSectionsInSI) {
  Units(nMETRIC);
  Run("Default SI");
  EXPECT_TRUE(Has("[Total kWh] for PLV Bin divided by [Total kWh] for the chiller.") ||
              Contains("[Total kWh] for PLV Bin divided by [Total kWh] for the chiller."));
  SavePdf("plv_tables_si.pdf");
  UnusedSections("si");
}

}  // namespace
}  // namespace plvtest
