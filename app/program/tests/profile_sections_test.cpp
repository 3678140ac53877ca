// The profile sections in the document: built from the shipped default project's calculation
// by the part-load run (headless) and saved as PDF; the operating hours table's texts on a
// small results file; Chicago against Miami condenser temperatures; the bodies' table
// counter and their one error box; the stand-alone reports.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numeric>

#include "app/calc/frmWait.h"
#include "app/program/tests/part_load_setup.h"
#include "app/reports/plv/profile_graphs.h"
#include "app/reports/tests/report_fixture.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace reporttest {
namespace {

namespace fs = std::filesystem;
using namespace richtext;

class ProfileSections : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    // A private copy of the program data: the set-up opens the program folder's databases
    // exclusively, and other test programs use the build's folder at the same time.
    const std::string program = dir.filePath("program").toStdString() + "/";
    fs::create_directories(program);
    for (const auto& e : fs::directory_iterator(KESTRIN_PROGRAM_DIR)) {
      const std::string ext = e.path().extension().string();
      if (e.is_regular_file() && (ext == ".DAT" || ext == ".MDB" || ext == ".rev" || ext == ".bmp"))
        fs::copy_file(e.path(), program + e.path().filename().string());
    }
    modpublic::gAppPath = program;
    ASSERT_TRUE(modpublic::InitGlobalSettings(modpublic::gAppPath));
  }
  void TearDown() override {
    modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
    modpublic::gAppPath.clear();
    gDataDBPath.clear();
    ReportTest::TearDown();
  }
  std::string FirstMessage() const { return host.messages.empty() ? "" : host.messages[0].text; }

  // The part-load calculation of the project as the Reports command starts it, calculation
  // only: CAL.DAT and RPT.DAT in the scratch folder.
  void Calculate() {
    ASSERT_NO_FATAL_FAILURE(programtest::SetUpPartLoadReport(host));
    frmWait form;
    form.CalculationOnly(true);
    form.DoCalcs(true);
    form.ProcessReports();
    ASSERT_TRUE(form.CalcsOK()) << FirstMessage();
    ASSERT_FALSE(form.InputErrors());
  }

  // Only the profile sections selected, then the part-load report run.
  void Build(int16_t bands) {
    ReportData options;
    ASSERT_TRUE(modDataIO::bReportsRead(options));
    options.bCoverPage = options.bSummaryReport = options.bCustomPLVFactors = options.bCustomPLVSpec = 0;
    options.bInputSummary = 0;
    options.bLoadProfileGraph = options.bCoolingDuty = options.bCondTempProfiles = options.bPerfProfiles = vb::kTrue;
    options.ShowLoadBands = bands;
    ASSERT_TRUE(modDataIO::bReportsWrite(options));
    ASSERT_TRUE(report->PLVAnalysisReports()) << FirstMessage();
    EXPECT_TRUE(host.messages.empty()) << FirstMessage();
  }

  std::unique_ptr<PLVProfileData> Results() {
    auto profile = std::make_unique<PLVProfileData>();
    PLVSummaryData summary;
    EXPECT_TRUE(modDataIO::bCalcReadPLVData(summary, *profile));
    return profile;
  }

  std::string SavePdf(const std::string& name) {
    const std::string pdf = Working(name);
    EXPECT_TRUE(report->SaveReportAsFile(pdf, "pdf"));
    Keep(pdf);
    return pdf;
  }

  std::vector<std::pair<int32_t, int32_t>> PictureSizes() {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (const Section& s : doc().sections)
      for (const Block& b : s.blocks)
        if (const auto* p = std::get_if<Paragraph>(&b))
          for (const Frame& f : p->frames)
            if (f.picture) out.emplace_back(f.picture->width, f.picture->height);
    return out;
  }

  bool HasText(const std::string& text) {
    const auto texts = BodyTexts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }
};

// The four sections of the default project, in IP without load bands and in SI with them.
TEST_F(ProfileSections, DefaultProjectSectionsSavedAsPdf) {
  Calculate();
  for (const bool si : {false, true}) {
    SCOPED_TRACE(si ? "SI" : "IP");
    modpublic::gUnits.CurrentUnitOfMeasure(si ? nMETRIC : nENGLISH);
    Build(si ? 1 : 0);
    EXPECT_FALSE(HasText("Error found in this report:  System Load Profiles Report"));
    for (const char* title : {"1.  COOLING HOURS STATISTICS", "1. Cooling Statistics", "100%", "Total"})
      EXPECT_TRUE(HasText(title)) << title;
    EXPECT_TRUE(HasText(si ? "Total Cooling kWh per Year" : "Total Cooling Ton-Hours per Year"));
    // Load profile, condenser temperatures, duty profile and shares, performance.
    EXPECT_EQ(PictureSizes(), (std::vector<std::pair<int32_t, int32_t>>{
                                  {10400, 5760}, {7766, 5030}, {2514, 5030}, {10400, 5760}, {10400, 5760}}));
    const std::string pdf = SavePdf(si ? "ProfileSections-SI.pdf" : "ProfileSections-IP.pdf");
    const std::string text = RunCommand("pdftotext -layout '" + pdf + "' -");
    EXPECT_NE(text.find("SYSTEM LOAD PROFILES"), std::string::npos);
    EXPECT_NE(text.find("Individual chiller curves in this graph"), std::string::npos);
    EXPECT_NE(text.find("Note: Individual chiller points in this graph"), std::string::npos);
    EXPECT_EQ(text.find("Error found"), std::string::npos);
  }
}

// A plant whose chillers can free-cool, from a small results file: mechanical bins, two
// hybrid bins and two free cooling bins. With the hybrid display the table has six columns
// across the text; without a free-cooling chiller four, the hybrid cooling in no column.
TEST_F(ProfileSections, CoolingDutyWithAndWithoutHybridColumns) {
  auto profile = std::make_unique<PLVProfileData>();
  profile->nNumChillerResults = 1;
  profile->ChillerResults(1).sSlotName = "CH-1";
  struct Bin {
    float db, load, free;
    int32_t hours;
  };
  const Bin bins[] = {{95, 500, 0, 100},   {85, 450, 0, 300},   {75, 400, 0, 500},   {65, 300, 0, 600},
                      {55, 250, 100, 500}, {45, 200, 150, 400}, {35, 150, 150, 300}, {25, 100, 120, 200}};
  profile->nLastLoadBin = 8;
  for (int b = 1; b <= 8; ++b) {
    const Bin& in = bins[b - 1];
    PLVBinData& bin = profile->Bins(b);
    bin.fDB = in.db;
    bin.fLoad = in.load;
    bin.fFreeCoolingLoad = in.free;
    bin.lHours = in.hours;
    // What the chillers carried, as the calculation stores it.
    bin.lLoadHours = static_cast<int32_t>(std::max(0.0f, in.load - in.free) * in.hours);
  }
  ReportData options;
  options.ReportType = 2;
  options.bCoolingDuty = vb::kTrue;
  ASSERT_TRUE(modDataIO::bReportsWrite(options));
  ASSERT_TRUE(modDataIO::bCalcWriteHeaderData());

  struct Case {
    int16_t mode;
    size_t columns;
    std::vector<std::string> totals, percent;
    std::vector<int32_t> percentWidths;
  };
  // Mechanical 565,000, hybrid 110,000 free + 95,000 mechanical, free 69,000 ton-hours.
  const Case cases[] = {
      {6,
       6,
       {"Totals", "2,900", "69,000", "110,000", "95,000", "565,000"},
       {"Percent", "", "8.2 %", "24.4 %", "67.3 %"},
       {1400, 1400, 2000, 4000, 2000}},
      {0, 4, {"Totals", "2,900", "69,000", "565,000"}, {"Percent", "", "8.2 %", "67.3 %"}, {1400, 1400, 2000, 2000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    profile->ChillerResults(1).nFreeCoolingMode = c.mode;
    ASSERT_TRUE(modDataIO::bCalcWritePLVData(PLVSummaryData{}, *profile));
    ASSERT_TRUE(report->PLVAnalysisReports()) << FirstMessage();
    EXPECT_TRUE(host.messages.empty()) << FirstMessage();
    const auto tables = Tables();
    ASSERT_EQ(tables.size(), 1u);
    const Table& t = *tables[0];
    ASSERT_EQ(t.rows.size(), 3u + 8u + 2u);
    auto row = [&](size_t r) {
      std::vector<std::string> out;
      for (const Cell& cell : t.rows[r].cells) out.push_back(TextOf(cell.paragraphs.at(0)));
      return out;
    };
    ASSERT_EQ(t.rows[0].cells.size(), c.columns);
    EXPECT_EQ(row(11), c.totals);
    EXPECT_EQ(row(12), c.percent);
    std::vector<int32_t> widths;
    for (const Cell& cell : t.rows[12].cells) widths.push_back(cell.width);
    EXPECT_EQ(widths, c.percentWidths);
    if (c.mode == 6) {
      EXPECT_EQ(row(0)[3] + row(0)[4], "Hybrid Mode");
      EXPECT_EQ(row(7), (std::vector<std::string>{"55.0", "500", "", "50,000", "75,000", ""}));
    }
    SavePdf(c.mode == 6 ? "CoolingDuty-Hybrid.pdf" : "CoolingDuty-NoHybrid.pdf");
  }
}

// A plant without any cooling: shares of 0, and the section still has both graphs and its table.
TEST_F(ProfileSections, CoolingDutyWithoutCoolingIsWrittenWhole) {
  auto profile = std::make_unique<PLVProfileData>();
  profile->nNumChillerResults = 1;
  profile->ChillerResults(1).nFreeCoolingMode = 2;
  profile->nLastLoadBin = 2;
  profile->Bins(1).fDB = 80;
  profile->Bins(1).lHours = 100;
  profile->Bins(2).fDB = 70;
  profile->Bins(2).lHours = 200;
  ReportData options;
  options.ReportType = 2;
  options.bCoolingDuty = vb::kTrue;
  ASSERT_TRUE(modDataIO::bReportsWrite(options));
  ASSERT_TRUE(modDataIO::bCalcWriteHeaderData());
  ASSERT_TRUE(modDataIO::bCalcWritePLVData(PLVSummaryData{}, *profile));
  ASSERT_TRUE(report->PLVAnalysisReports()) << FirstMessage();
  EXPECT_TRUE(host.messages.empty()) << FirstMessage();
  EXPECT_EQ(PictureSizes().size(), 2u);
  const auto tables = Tables();
  ASSERT_EQ(tables.size(), 1u);
  std::vector<std::string> percent;
  for (const Cell& cell : tables[0]->rows.back().cells) percent.push_back(TextOf(cell.paragraphs.at(0)));
  EXPECT_EQ(percent, (std::vector<std::string>{"Percent", "", "0.0 %", "0.0 %", "0.0 %"}));
}

// A small results file: two chillers and three bins, shown in the operating hours table.
TEST_F(ProfileSections, OperatingHoursTableTexts) {
  auto profile = std::make_unique<PLVProfileData>();
  profile->nNumChillerResults = 2;
  profile->nLastLoadBin = 3;
  const float loads[] = {95, 70, 20};
  const int32_t hours[] = {100, 300, 600};
  for (int b = 1; b <= 3; ++b) {
    profile->Bins(b).fChillerPctLoad = loads[b - 1];
    profile->Bins(b).lHours = hours[b - 1];
    profile->Bins(b).lLoadHours = hours[b - 1] * 10;
  }
  ChillerResultData& c1 = profile->ChillerResults(1);
  c1.sSlotName = "CH-1";
  profile->ChillerResults(2).sSlotName = "CH-2";
  c1.fECWT(4) = 85;
  c1.fECWT(3) = 75;
  profile->ChillerResults(2).fECWT(3) = 73;
  c1.fWeightingFactor(4) = 0.1f;
  c1.fWeightingFactor(3) = profile->ChillerResults(2).fWeightingFactor(3) = 0.3f;
  c1.fBinECWT(1) = 84;
  c1.fBinECWT(2) = 80;
  c1.fPointBinTonHours(4, 1) = 1000;
  c1.fPointBinTonHours(4, 2) = 10;
  ASSERT_TRUE(modDataIO::bCalcWriteHeaderData());
  ASSERT_TRUE(modDataIO::bCalcWritePLVData(PLVSummaryData{}, *profile));
  ReportData options;
  options.ReportType = 2;
  options.bLoadProfileGraph = vb::kTrue;
  ASSERT_TRUE(modDataIO::bReportsWrite(options));

  struct Case {
    bool si;
    std::vector<std::string> row100, row75, row50, total;
  };
  const Case cases[] = {
      {false,
       {"100%", "87.5 - 100%", "100", "10.0", "1,000", "10.0", "85.0", "80.0 - 84.0"},
       {"75%", "62.5 - 87.5%", "300", "30.0", "3,000", "30.0", "74.0", "n/a"},
       {"50%", "37.5 - 62.5%", "0", "0.0", "0", "0.0", "n/a", "n/a"},
       {"Total", "", "1,000", "100.0", "10,000", "100.0", "", ""}},
      {true,
       {"100%", "87.5 - 100%", "100", "10.0", "3,517", "10.0", "29.4", "26.7 - 28.9"},
       {"75%", "62.5 - 87.5%", "300", "30.0", "10,551", "30.0", "23.3", "n/a"},
       {"50%", "37.5 - 62.5%", "0", "0.0", "0", "0.0", "n/a", "n/a"},
       {"Total", "", "1,000", "100.0", "35,169", "100.0", "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.si ? "SI" : "IP");
    modpublic::gUnits.CurrentUnitOfMeasure(c.si ? nMETRIC : nENGLISH);
    ASSERT_TRUE(report->PLVAnalysisReports()) << FirstMessage();
    const auto tables = Tables();
    ASSERT_EQ(tables.size(), 1u);
    const Table& t = *tables[0];
    ASSERT_EQ(t.rows.size(), 6u);
    auto row = [&](size_t r) {
      std::vector<std::string> out;
      for (const Cell& cell : t.rows[r].cells) out.push_back(TextOf(cell.paragraphs.at(0)));
      return out;
    };
    EXPECT_EQ(row(0)[4], c.si ? "Total Cooling kWh per Year" : "Total Cooling Ton-Hours per Year");
    EXPECT_EQ(row(0)[6], c.si ? "Average ECWT (C)" : "Average ECWT (F)");
    EXPECT_EQ(row(1), c.row100);
    EXPECT_EQ(row(2), c.row75);
    EXPECT_EQ(row(3), c.row50);
    EXPECT_EQ(row(5), c.total);
    EXPECT_TRUE(host.messages.empty()) << FirstMessage();
  }
}

// The same plant in Chicago and in Miami: the condenser temperature profiles differ, Miami's
// warmer.
TEST_F(ProfileSections, ChicagoAndMiamiCondenserProfilesDiffer) {
  auto series = [&]() {
    Calculate();
    auto profile = Results();
    graph::Chart chart;
    reports::plv::FillCondenserTempChart(chart, *profile);
    std::vector<double> ys;
    for (int s = 0; s < chart.SeriesCount(); ++s)
      for (int p = 0; p < chart.PointCount(); ++p)
        if (chart.X(s, p) > 0) ys.push_back(*chart.Y(s, p));
    return ys;
  };
  const std::vector<double> chicago = series();
  modDataIO::gProject.CityID = 102;
  modDataIO::gProject.CityName = "Miami";
  modDataIO::gProject.LocationID = 10;
  const std::vector<double> miami = series();
  ASSERT_GT(chicago.size(), 5u);
  ASSERT_GT(miami.size(), 5u);
  EXPECT_NE(chicago, miami);
  auto mean = [](const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0) / v.size(); };
  EXPECT_GT(mean(miami), mean(chicago) + 1.0) << "Miami's towers see warmer, wetter air";
}

// The bodies on the default project: only the load profiles advance the table counter; a
// failed graph shows one box, with the section's failure text.
TEST_F(ProfileSections, BodiesCountTablesAndFailWithOneBox) {
  Calculate();
  Build(0);
  report->InitReportDocument(1, true);
  int32_t table = 0;
  ASSERT_TRUE(report->RptSystemLoadProfiles0(table));
  EXPECT_EQ(table, 1);
  ASSERT_TRUE(report->RptCondenserTempProfiles0(table));
  ASSERT_TRUE(report->RptSystemPerformanceProfile0(table));
  EXPECT_EQ(table, 1);
  EXPECT_TRUE(host.messages.empty()) << FirstMessage();

  // A page too narrow for any graph.
  report->SetPrinterCapsSource([] {
    reports::PrinterCaps caps;
    caps.pageWidth = 1800;
    caps.physicalWidth = caps.horzRes = 750;
    caps.physicalHeight = caps.vertRes = 6600;
    return caps;
  });
  report->SetPageDimensions();
  ASSERT_LT(report->TextWidth(), 400);
  struct Case {
    bool (clsReport::*body)(int32_t&);
    const char* procedure;
    const char* failure;
  };
  const Case cases[] = {
      {&clsReport::RptSystemLoadProfiles0, "RptSystemLoadProfiles0", "Error creating system load profile graph."},
      {&clsReport::RptCondenserTempProfiles0, "RptCondenserTempProfiles0",
       "Error creating Condenser Temperature Profiles Graph."},
      {&clsReport::RptSystemPerformanceProfile0, "RptSystemPerformanceProfile0",
       "Error creating System Performance Profile Graph."},
  };
  for (const Case& c : cases) {
    host.messages.clear();
    EXPECT_FALSE((report.get()->*c.body)(table));
    ASSERT_EQ(host.messages.size(), 1u) << c.procedure;
    EXPECT_EQ(host.messages[0].title, std::string("vexon.clsReport.") + c.procedure);
    EXPECT_EQ(host.messages[0].text.rfind(c.failure, 0), 0u) << host.messages[0].text;
  }
  EXPECT_EQ(table, 1) << "a failed section counts no table";
}

// The stand-alone reports: their own file after the input data summary; without one, the
// summary's failure text (with a period for the two graph-only reports).
TEST_F(ProfileSections, StandAloneReports) {
  Calculate();
  Build(0);
  struct Case {
    bool (clsReport::*starter)();
    const char* procedure;
    const char* file;
    const char* title;
    const char* failure;
  };
  const Case cases[] = {
      {&clsReport::RptSystemLoadProfiles, "RptSystemLoadProfiles", "Load-grf.rtf", "System Load Profiles",
       "Error creating Input Data Summary"},
      {&clsReport::RptCondenserTempProfiles, "RptCondenserTempProfiles", "Temp-grf.rtf",
       "Condenser Temperature Profiles", "Error creating Input Data Summary."},
      {&clsReport::RptSystemPerformanceProfile, "RptSystemPerformanceProfile", "Perf-grf.rtf",
       "System Performance Profile", "Error creating Input Data Summary."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.procedure);
    host.messages.clear();
    report->PLVSections().InputSummary = nullptr;
    report->InitReportDocument(1, true);
    report->ClearReportList();
    EXPECT_FALSE((report.get()->*c.starter)());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, std::string("vexon.clsReport.") + c.procedure);
    EXPECT_EQ(host.messages[0].text.rfind(std::string(c.failure) + "\r\n", 0), 0u) << host.messages[0].text;
    EXPECT_FALSE(fs::exists(Working(c.file)));

    host.messages.clear();
    report->PLVSections().InputSummary = [this] { return report->WriteTextLine("Input data summary"); };
    report->InitReportDocument(1, true);
    report->ClearReportList();
    ASSERT_TRUE((report.get()->*c.starter)());
    EXPECT_TRUE(host.messages.empty()) << FirstMessage();
    EXPECT_TRUE(fs::exists(Working(c.file)));
    EXPECT_EQ(report->Reportinfo(report->CurrentReportID()).Title, c.title);
    EXPECT_TRUE(report->Reportinfo(report->CurrentReportID()).Saved);
  }
}

}  // namespace
}  // namespace reporttest
