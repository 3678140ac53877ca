// clsReport: the report object. Every report run writes its document through it.
//
// The object owns one rich-text document (a platform/richtext handle, m_TerHwnd); the report
// viewer shows that document, and without a viewer everything runs headless the same way.
//
// Life of a report run (the part-load run; the economic run has the same frame):
//   1. The progress window (frmWait) calls PLVAnalysisReports once the calculation is done.
//   2. The run reads the report options (RPT.DAT) and the results (CAL.DAT) into its copies,
//      puts the document into a known state (InitReportDocument: fonts, paragraph styles,
//      margins, orientation), empties the report list and freezes the viewer's painting.
//   3. PLVRptCombined registers "PLVReport_for_<project>.rtf" as report 1 and writes each
//      selected section as a sub-report: BeginNewReport starts a document section with its
//      orientation, margins and page header/footer, the progress window is told (where
//      Cancel is noticed), and the section body writes through the primitives.
//      A body that fails gets one bold error line in place of its contents; the run goes on.
//   4. After the run's last progress step and one more look at Cancel (for a click while that
//      step processed events) the whole document is saved as RTF in the working folder,
//      marked saved, and loaded back into the viewer as report 1; from the save on the run is
//      complete, a later Cancel changes nothing. Prev/Next then move between the sub-reports'
//      first pages. A report that cannot be saved there stays whole in the viewer, unsaved,
//      read back through RTF in memory as a saved one is read from its file, with one box
//      naming the folder and the reason; a run that could not build its report shows an error
//      page, which is never saved over a report file and is offered under a name of its own
//      ("Error_<report file>").
//   Cancel at a progress step leaves an empty document, an empty report list and the report
//   file of the last good run as it was.
//
// Writing primitives (all append at the end of the document and leave the caret there):
//   text      WriteSectionTitle, WriteSubSectionTitle, WriteTextLine, WriteTextLineWithFont,
//             WriteLabelValuePair, InsertSelectedText (insert at the caret and select)
//   tables    WriteCellData, WriteTableColHeaderData, WriteCellDataWithMixedFonts,
//             WriteCellDataWithThreeDifferentFonts; a table is kept on one page by
//             ResetTableStart, GetTableStart, the cells, KeepTableTogether(start)
//   layout    BeginNewReport (sub-report), BeginNewSection (columns), WriteColumnBreak,
//             MoveToDocEnd
//   pictures  PutGraphicsInReport (a bitmap of the program folder), PastePicture,
//             PastePictureInFrame (pictures are handed over directly, never by clipboard)
//   finish    WrapUpReport (single documents: headers, footers, save), SaveReportAsFile
//
// Units: lengths in twips (1/1440 inch). Colours are COLORREF (0x00BBGGRR). Fonts and
// paragraph styles are ids of the document's tables, created by InitReportDocument.
// Errors: a routine that fails shows the one error box (modpublic::ShowError through
// modpublic::RunGuarded) titled with ErrorSource(<routine>) and returns false.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/calc/frmWait.h"
#include "kestrin_version.h"
#include "app/reports/economics/economic_graphs.h"
#include "app/reports/page_geometry.h"
#include "app/storage/result_records.h"
#include "app/storage/scratch_records.h"
#include "libs/vb/vbarray.h"
#include "platform/graph/graph.h"
#include "platform/richtext/ter.h"

namespace reports::plv {
struct RatingMeans;
}

class clsReport : public frmWait::ReportClassInterface {
 public:
  // One entry of the report list: a report file in the working folder.
  struct ReportInfo {
    std::string FileName;  // without folder
    std::string Title;
    int16_t Orientation = 1;  // 1 portrait, 2 landscape
    bool Saved = false;       // true once the file was written
  };

  // Per document section: what a page header and footer written for it show.
  struct SectionInfo {
    int32_t Orientation = 1;
    std::string Title;
    bool HdrFtr = true;
  };

  // The section bodies of the combined part-load report that the part-load report code
  // supplies (the cover page is this object's own). An empty body counts as a failed
  // section: its sub-report shows the error line.
  struct PLVSectionBodies {
    std::function<bool()> Cover;          // RptCoverPage0 with an empty folder
    std::function<bool()> SummaryReport;  // weighting factors and ECWTs
    std::function<bool()> LoadProfiles;   // system load profiles
    std::function<bool()> CustomPLVFactors;
    std::function<bool()> CustomPLVSpec;
    std::function<bool()> CoolingDuty;
    std::function<bool()> CondTempProfiles;
    std::function<bool()> PerfProfiles;
    std::function<bool()> InputSummary;  // its failure ends the run (no file)
  };

  static constexpr const char* kProductName = "Kestrin";
  // The program's version as it shows it, generated from the project's (kestrin_version.h).
  static constexpr const char* kProductVersion = kestrin::kVersionText;

  // A new report object with its own empty portrait document on the default printer's page
  // (US Letter with half-inch margins when there is no printer).
  clsReport();
  ~clsReport() override;
  clsReport(const clsReport&) = delete;
  clsReport& operator=(const clsReport&) = delete;

  // ---- properties ----
  richtext::TerHwnd TerHwnd() const { return m_TerHwnd; }
  bool ReportError() const { return m_ReportError; }
  int16_t ReportType() const override { return m_ReportType; }
  void ReportType(int16_t type) { m_ReportType = type; }
  void UserCanceled(bool value) override { m_UserCanceled = value; }
  int32_t ReportsCount() const { return m_ReportsCount; }
  int32_t SubReportsCount() const { return m_SubReportsCount; }
  int32_t CurrentReportID() const { return m_CurrentReportID; }
  // The report being built: a run makes the id AddReportInfo returned current.
  void CurrentReportID(int32_t id) { m_CurrentReportID = id; }
  int32_t CurrentSubReportID() const { return m_CurrentSubReportID; }
  // The working folder joined with the current report's file name; "" when the current id
  // lies outside the list or the entry has no file name.
  std::string ReportFileName() const;
  // Entry id of the report list (1-based); an empty entry outside the list.
  ReportInfo Reportinfo(int32_t id) const;
  // The section table (index = document section).
  const std::vector<SectionInfo>& Sections() const { return m_Sections; }
  // Page geometry in force (twips).
  int32_t TextWidth() const { return m_TextWidth; }
  int32_t TextHeight() const { return m_TextHeight; }
  int32_t Orientation() const { return m_Orientation; }
  bool HdrFtrDefault() const { return m_HdrFtrDefault; }
  void HdrFtrDefault(bool value) { m_HdrFtrDefault = value; }
  // The records a run reads (RPT.DAT; CAL.DAT sections A to D).
  ReportData& Options() { return m_ReportData; }
  const PLVSummaryData& PLVSummary() const { return m_PLVSummary; }
  const PLVProfileData& PLVProfile() const { return *m_PLVProfile; }
  const EconSummaryData& EconSummary() const { return m_EconSummary; }
  const vb::Array<SystemEconData, 1, 4>& SystemEcon() const { return *m_SystemEcon; }

  // The unit-conversion id of part-load efficiencies: the program's efficiency id for kind 1,
  // kW/ton to ikW/kW for any other kind.
  static int32_t GetPLVUnitConvID(int32_t efficiencyKind);

  // Where SetPageDimensions asks for the printer's page (the default printer unless
  // replaced; tests give fixed answers).
  void SetPrinterCapsSource(std::function<std::optional<reports::PrinterCaps>()> source) {
    m_PrinterCaps = std::move(source);
  }

  // ---- report runs ----
  bool PLVAnalysisReports() override;
  bool PLVRptCombined();
  // Whether the last report run (part-load or economic) built and saved its own report.
  // A run is OK only when it built and saved its report and no section of it failed.
  bool LastRunOK() const { return m_LastRunOK; }
  // The sections of the last run written as an error line instead of their body.
  int32_t FailedSections() const { return m_FailedSections; }
  // Whether the last run built its combined report but could not save it into the working
  // folder: the document holds the whole report, shown and saved from the viewer.
  bool ReportUnsaved() const { return m_ReportUnsaved; }
  // Whether the last part-load run read the calculation's results and stored the plant's
  // weighting factors and ECWTs in gProject (what the summary CSV exports).
  bool RatingMeansStored() const { return m_RatingMeansStored; }
  bool EconomicAnalysisReports() override;
  PLVSectionBodies& PLVSections() { return m_PLVSections; }
  // The body of the combined economic report ("EcoCombined.rtf"), supplied by the economic
  // report code; without it the economic run ends in its error page.
  std::function<bool()> EcoRptCombinedBody;
  // The file name of the combined part-load report for a project name: trimmed, made safe as
  // a file name (separators and characters other systems refuse become "_") and cut to fit
  // the 255 bytes of a file name at a character boundary.
  static std::string PLVReportFileName(const std::string& projectName);
  // The file name an error page standing for a report is offered under: "Error_" before the
  // report's name ("Error_EcoCombined.rtf"), which no report's name starts with, cut to fit the
  // 255 bytes of a file name as PLVReportFileName cuts.
  static std::string ErrorPageFileName(const std::string& reportFile);
  // The file name of the error report (RptErrors) of a part-load or an economic run.
  static constexpr const char* ErrorReportFileName(bool economic) { return economic ? "EconErr.rtf" : "PLVErr.rtf"; }

  // ---- document set-up ----
  bool InitReportDocument(int32_t orientation, bool clear);
  bool CreateNewFonts();
  bool CreateNewParaStyles();
  bool SetPageDimensions();
  // 1 portrait, 2 landscape; any other value becomes 1 (written back).
  void SetPageOrientation(int32_t& orientation);
  bool InsertSelectedText(const std::string& text);

  // ---- writing primitives ----
  bool WriteSectionTitle(const std::string& text);
  bool WriteSubSectionTitle(const std::string& text);
  bool WriteTextLine(const std::string& text, bool bold = false, bool italic = false);
  // paraId <= 0 means m_ParaLeft (written back).
  bool WriteTextLineWithFont(const std::string& text, int32_t fontId, int32_t& paraId);
  bool WriteLabelValuePair(const std::string& label, int32_t labelFont, const std::string& value, int32_t valueFont,
                           int32_t& paraId, bool paraEnd);
  // One table cell. pos 0 starts a new row; borders left, top, right, bottom (10 twips each);
  // align 1024 left, 2 right, anything else centred; shading percent A; colour > 0 replaces
  // the default cell colour; font > 0 replaces the plain/bold font.
  bool WriteCellData(const std::string& text, bool hdr, int32_t pos, int32_t width, bool rowEnd, bool left, bool top,
                     bool right, bool bottom, int32_t align, int32_t valueA = 0, richtext::ColorRef colour = 0,
                     int32_t valueB = 1, bool bold = false, int32_t font = 0);
  // A column-header cell: white bold text on the header colour, centred vertically, and
  // its row a header row. The colour argument is not used.
  bool WriteTableColHeaderData(const std::string& text, int32_t pos, int32_t width, bool rowEnd, bool left, bool top,
                               bool right, bool bottom, int32_t align, int32_t valueA = 0,
                               richtext::ColorRef colour = 0, int32_t valueC = 0, int32_t valueD = 0);
  bool WriteCellDataWithMixedFonts(const std::string& text1, int32_t font1, const std::string& text2, int32_t font2,
                                   int32_t pos, int32_t width, bool rowEnd, bool left, bool top, bool right,
                                   bool bottom, int32_t align, int32_t valueA = 0, richtext::ColorRef colour = 0,
                                   int32_t valueC = 0, int32_t valueD = 0);
  bool WriteCellDataWithThreeDifferentFonts(const std::string& text1, int32_t font1, const std::string& text2,
                                            int32_t font2, const std::string& text3, int32_t font3, int32_t pos,
                                            int32_t width, bool rowEnd, bool left, bool top, bool right, bool bottom,
                                            int32_t align, int32_t valueA = 0, richtext::ColorRef colour = 0,
                                            int32_t valueC = 0, int32_t valueD = 0);
  // Keeps everything from the start line to the end on one page (start <= 0: only the
  // empty line written here), then an empty line unless noTrailing.
  bool KeepTableTogether(int32_t startLine, bool noTrailing = false);
  void ResetTableStart() { m_TableStart = 0; }
  int32_t GetTableStart();
  void SetTableStart(int32_t line);
  void MoveToDocEnd();
  void MoveToDocStart();
  void WriteColumnBreak();

  // ---- sections, headers and footers ----
  // A section break at the end with `cols` text columns, inside the current sub-report.
  bool BeginNewSection(int32_t cols, int32_t spacing, int32_t v3);
  // Starts sub-report n (counted up on success): a new section except for the first, with
  // its orientation, margins and, when hdrFtr, page header and footer.
  bool BeginNewReport(const std::string& title, int32_t orientation, int32_t& n, bool hdrFtr);
  // Header and footer of one sub-report's section (combined reports).
  bool MakeHdrFtr0(const std::string& title, int32_t orientation, int32_t section);
  // Headers and footers of every section of a document finished as a whole.
  bool MakeHdrFtr();
  bool WrapUpReport0();
  // Finishes a single document and saves it as RTF under the current report's file name
  // ("Rpt-RPT.rtf" titled "Unknown Report" when none is registered). True when saved.
  bool WrapUpReport();

  // ---- report list and navigation ----
  int32_t AddReportInfo(const std::string& fileName, const std::string& title, int32_t orientation, bool hdrFtr);
  void ClearReportList();
  // Reads a saved report into the document. False (document untouched) for an id outside
  // the list or an unsaved entry; False with a message when the file cannot be read.
  bool LoadReportFile(int32_t reportID);
  void LoadPrevReport();
  void LoadNextReport();
  void GoToSubReport(int32_t index);
  // The first page (1-based) of a sub-report as the document is laid out now; 0 outside.
  int32_t SubReportFirstPage(int32_t index);
  // The error line of a failed section, written in place: an empty line, then bold
  // "Error found in this report:  <title>". Earlier sections stay.
  bool RptSectionError(const std::string& title, bool hdrFtr);
  // The error page of a whole run that failed: a new document holding only the error line,
  // wrapped up for the viewer. It is never saved by the run, and its entry is renamed
  // (ErrorPageFileName): under the report's file name it would replace the last good report.
  bool RptErrorPage(const std::string& title, bool hdrFtr);

  // ---- saving ----
  // Writes the document as "pdf" (exactly that text) or else as RTF. A blank name becomes
  // "Rpt-RPT.<format>" in the working folder. False with the error box on failure.
  bool SaveReportAsFile(const std::string& fileName, const std::string& format);
  // How writing the document to a file ended: written, the file not written (TerLastSaveError
  // says why), or the PDF's pages not made.
  enum class DocumentWrite { kWritten, kFileFailed, kPdfFailed };
  // Writes the document to `target` as "pdf" (exactly that text) or else as RTF, without a
  // message: the run's save and the viewer's saves each say what failed in their own words.
  DocumentWrite WriteDocumentFile(const std::string& target, const std::string& format);

  // ---- pictures ----
  // A bitmap of the program folder, centred on the text width, inline or in a new frame.
  // False without a message when the file does not exist.
  bool PutGraphicsInReport(const std::string& fileName, bool inFrame);
  bool PastePicture(int32_t x, int32_t width, int32_t height, bool withoutBand, int32_t y, int32_t format,
                    const richtext::Picture& picture);
  bool PastePictureInFrame(int32_t frameId, int32_t format, const richtext::Picture& picture);
  // Sets an editor toggle command to the wanted state; returns the state afterwards.
  bool pOCMSELECT(int32_t command, bool wanted);

  // ---- the viewer (report_viewer.cpp) ----
  // Binds the object to a page view's document (its editor handle): page mode on, a new
  // portrait document on the printer's page. From then on the report is written into the
  // view's document; the object's own document is released. False with the error box
  // ("Wrong control type: ..." when the handle names no document).
  bool InitializeReportForm(richtext::TerHwnd viewer);
  bool Bound() const { return !m_OwnsDocument; }
  // Caret to the end of the text, then 0/1 a section break taking the settings of the section
  // before, 2 a page break, 3 a column break; any other kind only moves the caret.
  void InsertBreak(int32_t kind);
  // Into (edit) or out of the header (17) or footer (16) of the current section; leaving
  // puts the caret at the end of the body text.
  void EditHeader(bool edit, bool fromBody);
  void EditFooter(bool edit, bool fromBody);
  void EditHdrFtr(int16_t kind, bool edit, bool fromBody);
  bool CommonHdr();
  bool CommonFtr();
  void CommonHdrHook() {}
  void CommonFtrHook() {}
  void GoToBodyStart();
  bool IsTerCommandChecked(int32_t command);

  // ---- graphs ----
  // The report keeps two graphs, drawn one after the other: the bar graph Pego1 (type 1) and
  // the scientific XY graph Pesgo1 (type 2). A section starts each graph with InitGraph, sets
  // its series, points, labels and scales (platform/graph/graph.h), then pastes it.
  //
  // InitGraph: type 1 or 2 selects that graph and returns it in `graph`; any other type keeps
  // the chart passed in. The chart is put into its starting state (graph::Chart::Reset: one
  // series of 50 empty points, Y manual 0 to 103, no titles; other types keep their plot
  // kinds). False with the error box when there is no chart.
  bool InitGraph(graph::Chart*& graph, int32_t type);
  graph::Chart& Pego1() { return m_Pego1; }
  graph::Chart& Pesgo1() { return m_Pesgo1; }
  // A full-width graph: drawn at text width - 400 by 5760 twips and pasted 200 twips in, in a
  // band of its own. In a frame: drawn at the frame's size less 10 twips (room for its
  // border). Both raise a run-time error when the picture cannot be made or placed: call
  // them inside a procedure's guard, which shows the one error box.
  void PasteFullWidthGraph(const graph::Chart& chart);
  void PasteGraphInFrame(const graph::Chart& chart, int32_t frameId);

  // ---- cover page and summary of concepts ----
  // The cover page body: the user's CVG.RTF from `folder` (empty: the data folder, written
  // back) when the options ask for it and it can be read, else the standard page.
  bool RptCoverPage0(std::string& folder);
  bool StdRptCoverPage();
  bool RptCoverPage();  // the cover page alone as "CoverPg.rtf"
  bool GenerateSummaryOfConceptsTable();

  // ---- error report ----
  // The error report of the report type from the ERR.DAT lines; True when it was written and
  // saved ("PLVErr.rtf" or "EconErr.rtf").
  bool RptErrors();

  // ---- sections of the part-load report (app/reports/plv) ----
  // Each writes at the document end and returns true when every step ran; on an error it
  // shows the error box and returns false (what was written stays). Section and table
  // numbers are counted up by the routines that write a numbered title.
  //
  // Reads the report options (RPT.DAT) and, by their report type, the results the run reads
  // (CAL.DAT sections A and B for a part-load run, A, C and D for an economic one) into the
  // run's copies, as a report run does first; the report type becomes the object's.
  bool ReadRunResults();
  // Gives the combined part-load run the table sections' bodies (weighting factors and
  // ECWTs, custom PLV factors, custom PLV specification, input data summary).
  void InstallPLVTableSections();
  void EmptyInputSummaryHook() {}
  // Input data summary (both runs; the part-load run adds the chiller table).
  bool InputDataSummary(int32_t& section);
  // Weighting factors and ECWTs report: the summary of results (stores the plant's means in
  // gProject.WeightingFactor / ECWT for the summary CSV) and the plant's input data.
  bool RptForMardel(int32_t& section);
  bool SummaryOfMardelResults(int32_t& section);
  // The plant's means of the weighting factors and ECWTs of the run's results into
  // gProject.WeightingFactor / ECWT; returns them.
  reports::plv::RatingMeans StoreRatingMeans();
  bool PlantInputDataSummary(int32_t& section);
  // Custom PLV specification: the chiller table and the custom PLV formulas; the second
  // makes it a document of its own ("CplvSpec.rtf").
  bool RptCustomPLVSpecification0();
  bool RptCustomPLVSpecification();
  // Summary of custom weighting factors and ECWTs, one row per chiller.
  bool WeightingFactorsAndECWTs(int32_t& section);
  // Custom PLV factors report: operating conditions, pool tables and key, worksheets.
  bool RptCustomPLVReport(int32_t& table);
  bool SystemOperatingConditions(int32_t& table);
  // False (nothing written) when no chiller shares its pool.
  bool AvgWeightingFactors(int32_t& table);
  bool CustomPLVWorksheet(int32_t& table, bool writeKey);
  bool WriteKeyDataNotes();
  // System PLV report: executive summary, operating conditions, performance per bin, the
  // system CPLV worksheet and the IPLV procedure per chiller kind present.
  bool RptSystemPLVReport0(int32_t& table);
  bool ExecutiveSummaryPLV(int32_t& table);
  bool ChillerSystemPerf(int32_t& table);
  bool ChillerSystemPerfWithFreeCoolingData(int32_t& table);
  bool WriteSystemTotalsTable();
  bool SPLVWorksheet(int32_t& table);
  bool IPLVExample(int32_t& table);
  // kind 1 water-cooled electric, 2 air-cooled electric, 3 absorption.
  bool BuildIPLVExampleTable(int32_t kind);

  // ---- part-load profile sections and graphs (app/reports/plv: profile_sections.cpp, ...) ----
  // Every procedure writes at the document end and returns true when every step ran; on an
  // error it shows one error box titled with its name and returns false (what was written
  // stays). Table counters count up before each numbered table.
  //
  // Gives the combined part-load run the bodies of the load, condenser temperature,
  // performance and cooling duty profile sections (called by the constructor).
  void InstallPLVGraphSections();
  // Section bodies of the combined run: the system load profile graph and "Cooling Hours
  // Statistics"; the condenser temperature profile graph; the system performance profile
  // graph. A failed step shows one box with the section's failure text.
  bool RptSystemLoadProfiles0(int32_t& table);
  bool RptCondenserTempProfiles0(int32_t& table);
  bool RptSystemPerformanceProfile0(int32_t& table);
  // The same sections as reports of their own ("Load-grf.rtf", "Temp-grf.rtf",
  // "Perf-grf.rtf"): the body, the input data summary (PLVSections().InputSummary), saved
  // into the working folder by WrapUpReport. False without a message when the report list
  // gives no entry.
  bool RptSystemLoadProfiles();
  bool RptCondenserTempProfiles();
  bool RptSystemPerformanceProfile();
  // The graphs and the table on their own, each under its own error box. The load profile
  // graph reads CAL.DAT again and smooths its own copy of the profile; the variant "with free
  // cooling" draws the report's copy in stored order.
  bool SystemLoadProfileGraph();
  bool SystemLoadProfileGraphWithFreeCooling();
  bool CondenserTempProfilesGraph();
  bool SystemPerformanceProfileGraph();
  bool ChillerOperatingHoursStatistics(int32_t& table);
  // Cooling duty profiles: the duty graph and the share bars side by side in two frames, then
  // "1. Cooling Statistics".
  bool CoolingDutyProfilesReport();
  bool CreateFramesForCoolingDutyReport(std::array<int32_t, 2>& frames, int32_t& width1, int32_t& height1,
                                        int32_t& width2, int32_t& height2);
  bool CoolingDutySummaryGraph(double freePct, double hybridPct, double mechanicalPct, graph::Chart*& graph,
                               bool showHybrid);
  bool CoolingDutyProfileTable(const std::array<QColor, 4>& colours, bool colourCells, bool showHybrid);
  // ---- end of the part-load profile sections ----

  // ---- sections of the economic report (app/reports/economics) ----
  // economic_run.cpp: the combined economic report "EcoCombined.rtf" ("Chiller Economics
  // Reports"): the cover page and the sections the options select, in a fixed order, each a
  // sub-report of its own orientation with a page header and footer. A section whose body
  // fails gets the bold error line in its own sub-report and the run goes on; ok is true once
  // the document is whole, which the run then saves into the working folder. ok is false on a
  // cancel at a progress step (no message) and after the one error box when a sub-report
  // cannot be begun.
  void EcoRptCombined(bool& ok);
  // Gives the economic report run its combined report (called by the constructor).
  void InstallEconomicSections();
  // Put before an alternative's number in the annual system efficiency graphs and tables:
  // empty on the combined run (which resets it), "ALT" for a stand-alone efficiency report.
  std::string SystemLabelPrefix;
  // The graph sections' bodies: the section number is not used (the graphs have no numbered
  // heading). A failed graph shows its own box with the section's failure text.
  bool RptEnergyCostsGraph0(int32_t& section);
  bool RptEnergyUseGraph0(int32_t& section);
  bool RptNetCashFlowGraph0(int32_t& section);
  bool RptNetCashFlowCompGraph0(int32_t& section);
  // The annual cost comparison and the incremental cost details have no body: false.
  bool RptAnnualCostComparison0();
  // The sections as reports of their own (nothing in the program calls them): the body, for
  // some the input data summary (PLVSections().InputSummary) numbered on from the body, then
  // WrapUpReport saves the file into the working folder ("Summ-rpt.rtf", "Cost-rpt.rtf",
  // "Use-rpt.rtf", "Cash-rpt.rtf", "Annu-rpt.rtf", "SEff-rpt.rtf", "Cost-grf.rtf",
  // "Use-grf.rtf", "Icc-rpt.rtf", "NCF-grf.rtf", "NCFC-grf.rtf"). False after the box of the
  // step that failed; false without a message when the report list gives no entry.
  bool RptEconomicSummary();
  bool RptEnergyCostDetails();
  bool RptEnergyUseDetails();
  bool RptCashFlowDetails();
  bool RptAnnualCostComparison();
  bool RptAnnualSystemEfficiency();  // its alternatives labelled "ALT1", "ALT2", ...
  bool RptEnergyCostsGraph();
  bool RptEnergyUseGraph();
  bool RptIncrCostDetails();
  bool RptNetCashFlowGraph();
  bool RptNetCashFlowCompGraph();

  // summary_graphs.cpp: the economic summary as bar graphs in a grid of frames (nothing in
  // the program calls it): six graphs, three a row, for energy + life-cycle costs, else the
  // energy + fuel costs alone 3000 twips from the left; only a blank line for one alternative.
  bool EconomicSummaryGraphs();
  // Frames 1..graphs (frames[0] unused) of width x height twips, then one around them all.
  bool CreateFramesForEconSummGraphs(std::vector<int32_t>& frames, int16_t graphs, int16_t columns, int32_t offset,
                                     int32_t& width, int32_t& height);

  // monthly_energy_graphs.cpp: one XY graph of every alternative's twelve months, kind 1 the
  // energy cost, kind 2 the electric energy use, full width.
  void EnergyGraph(int16_t kind, bool& ok);
  // net_cash_flow_graphs.cpp: per comparison a centred heading and a bar graph of the net cash
  // flow (base minus challenger) by year, or of its three components; a page break between
  // comparisons. One alternative: a bold notice instead.
  void NetCashFlowGraph(bool& ok);
  void NetCashFlowCompGraph(bool& ok);

  // annual_efficiency.cpp: the "Annual System Efficiency Report" body (graphs of kind 0, or
  // with heat recovery the combined, cooling and heating groups), its graphs in frames (kind
  // 0 cooling, 1 heating, 2 combined), the heating and combined tables and their footnote.
  bool RptAnnualSystemEfficiency0(int32_t& section);
  // The place of the cooling efficiency table, which has no builder: nothing to write, true.
  bool EmptyCheck(int32_t& section);
  bool CreateAnnualSystemEfficiencyGraphs(int16_t kind);
  // Frames 1..F (F = 3 for kind 2, else 2) at the document end: frame 1 the efficiency bars,
  // frame 2 the profiles graph, frame 3 the energy cost bars; frames[0] is not used.
  bool CreateFramesForSysEffReport(std::vector<int32_t>& frames, int16_t count);
  void AnnualSystemEfficiencyGraph(graph::Chart*& graph, int16_t kind, bool& ok);
  void AnnualSystemEnergyCostGraph(graph::Chart*& graph, bool& ok);
  void AnnualSystemEfficiencyProfilesGraph(graph::Chart*& graph, int16_t kind, bool& ok);
  bool GetAnnSysEfficiencyYScaleValuess(int16_t kind, double& minimum, double& maximum);
  bool GetBinLoadYScaleValues(int16_t kind, int16_t bins, double& minimum, double& maximum);
  bool GetBinEfficiencyYScaleValues(int16_t kind, int32_t unitId, int16_t bins, double& minimum, double& maximum);
  // 0: the program's efficiency id, 1: kW/ton (KWTON_TO_IKWKW), 2: the system efficiency id,
  // any other selector 0.
  static int32_t GetEfficiencyUnitConvID(int32_t selector);
  std::string GetFootNoteForAnnualEfficiencyTable(int32_t unitId, int16_t kind);
  bool AnnualHSystemEfficiencyTable(int32_t& table);
  bool AnnualCombinedSystemEfficiencyTable(int32_t& table);

  // ---- economic table sections (app/reports/economics: economic summary and savings,
  // energy cost details, energy use details, cash flow details) ----
  // The combined run and the single-section reports call the table bodies (declared below)
  // through EconomicTables(), which InstallEconomicSections binds to them; a body left empty
  // fails its section, whose sub-report then shows the error line.
  struct EconomicTableBodies {
    std::function<bool(int32_t&)> RptEconomicSummary0;  // takes the section number
    std::function<bool()> RptEnergyCostDetails0;
    std::function<bool()> RptEnergyUseDetails0;
    std::function<bool()> RptCashFlowDetails0;
  };
  EconomicTableBodies& EconomicTables() { return m_EconomicTables; }
  // ---- end of the economic table sections ----

  // -- economic tables: summary, energy cost, energy use and cash flow details --
  // Each body writes at the document end of the current sub-report from the run's copies
  // of the economic results (EconSummary, SystemEcon) and report options, and returns true
  // when every table was written. A count or alternative number that the records cannot
  // hold (more than 4 alternatives, a comparison naming an alternative outside the run, a
  // study period beyond year 50) fails the body with the error box before its tables.
  // Tables numbered by `section` count it up for each numbered heading.
  //
  // Economic summary: the lead text, "Comparative Data" (cost calculation type 2) and "Cost
  // and Energy Use Details" (savings and percentage savings when two alternatives).
  bool RptEconomicSummary0(int32_t& section);
  bool SystemComparativeData(int32_t& section);
  bool CostAndEnergyUseDetails(int32_t& section);
  // Energy cost details, energy use details (portrait) and cash flow details (landscape):
  // one table per alternative.
  bool RptEnergyCostDetails0();
  bool RptEnergyUseDetails0();
  bool RptCashFlowDetails0();
  // Savings a - b (also into `savings`): prefix & amount, or "(" & prefix & |amount| & ")".
  static std::string CalculateAndFormatSavings(double a, double b, double& savings, const std::string& prefix);
  // Savings as a whole percentage of the base value ("-12%"); "n/a" for a base of 0 with
  // savings, "0%" without.
  static std::string CalculateSavings(double base, double savings);
  // Where heating tables of the energy use details would go: writes nothing, ok false,
  // returns false.
  bool EmptyEnergyUseHook(int16_t& alternative, int32_t& monthWidth, int32_t& valueWidth,
                          std::vector<std::string>& months, bool& ok);
  // -- end of the economic tables --

 private:
  class PaintingFrozen;
  struct RunRow;

  std::string ErrorSource(const std::string& procedure) const;
  // The editor of the document; raises error 424 when there is none.
  richtext::Editor& Doc() const;
  // The working folder joined with a file name.
  static std::string WorkingPath(const std::string& fileName);
  int32_t CaretLine();
  int32_t ParaOfAlignment(int32_t align) const;
  bool WriteTitle(const std::string& text, int32_t font, int32_t para, const char* procedure);
  bool AppendCell(int32_t newRowPos, int32_t width, int32_t valueA, int32_t valueC, int32_t valueD, int32_t valueB,
                  bool left, bool top, bool right, bool bottom, richtext::ColorRef background);
  void SyncSectionList();
  void CancelRun();
  // Saves the run's combined report into the working folder as RTF; one that cannot be saved
  // stays whole in the document (ReportUnsaved), and the save's one box says why.
  bool SaveCombinedReport();
  // Shows a report kept in the document as a loaded one is shown: read back through RTF in
  // memory (the document a saved report's file gives), read-only, at its first sub-report.
  void ShowUnsavedReport();
  // The document just loaded shown read-only, laid out, at its first sub-report.
  void ShowLoadedReport();
  // Registers a document that no report of the list stands for as "Rpt-RPT.rtf".
  void RegisterUnnamedReport();
  int32_t HdrFtrTab() const;
  void WriteHeaderLines(const std::string& title, bool combined);
  void WriteFooterLine(bool combined);
  // Pictures placed without a guard of their own (the callers' guard shows the box).
  bool PlacePicture(int32_t x, int32_t width, int32_t height, bool withoutBand, int32_t y, int32_t format,
                    const richtext::Picture& picture);
  bool PlacePictureInFrame(int32_t frameId, int32_t format, const richtext::Picture& picture);

  // ---- part-load profile sections: the unguarded steps of the section bodies ----
  struct ProfileReport {
    const char* fileName;
    const char* title;
    const char* procedure;
    const char* inputSummaryFailure;
    bool (clsReport::*body)(int32_t&);
  };
  bool StandAloneProfileReport(const ProfileReport& report);
  bool DrawSystemLoadProfileGraph();
  bool DrawCondenserTempProfilesGraph();
  bool DrawSystemPerformanceProfileGraph();
  bool WriteOperatingHoursStatistics(int32_t& table);
  // ---- end of the part-load profile sections ----

  // ---- economic graph sections: the unguarded steps ----
  struct EcoStarter;
  bool EconomicStarter(const EcoStarter& starter);
  bool CashFlowGraphs(void (*fill)(graph::Chart&, const std::vector<reports::economics::CashFlowYear>&,
                                   const std::string&, const std::string&));

  bool AnalysisRun(const std::string& errorTitle, const char* failurePage, bool progressFirst,
                   const std::function<bool()>& readResults, const std::function<bool()>& combined);

  richtext::TerHwnd m_TerHwnd = 0;
  bool m_OwnsDocument = true;  // false once bound to a viewer's document
  bool m_LastRunOK = false;
  int32_t m_FailedSections = 0;
  bool m_ReportUnsaved = false;
  bool m_RatingMeansStored = false;
  std::function<std::optional<reports::PrinterCaps>()> m_PrinterCaps;

  // Copies of the records a run reads.
  ReportData m_ReportData;
  PLVSummaryData m_PLVSummary;
  std::unique_ptr<PLVProfileData> m_PLVProfile;
  EconSummaryData m_EconSummary;
  std::unique_ptr<vb::Array<SystemEconData, 1, 4>> m_SystemEcon;

  // Report list.
  std::vector<ReportInfo> m_Reportinfo;  // [0] unused: ids are 1-based
  int32_t m_ReportsCount = 0;
  int32_t m_CurrentReportID = 0;
  int32_t m_SubReportsCount = 0;
  int32_t m_CurrentSubReportID = 0;
  std::vector<int32_t> m_SubRptFirstSect;  // per sub-report: its first document section
  int16_t m_ReportType = 0;

  bool m_UserCanceled = false;
  bool m_ReportError = false;
  bool m_HdrFtrDefault = true;
  bool m_Repaint = false;
  PLVSectionBodies m_PLVSections;
  EconomicTableBodies m_EconomicTables;

  // The two report graphs.
  graph::Chart m_Pego1{graph::ChartType::Bar};
  graph::Chart m_Pesgo1{graph::ChartType::Xy};

  // Colours and default font.
  std::string m_DefaultFontName = "Arial";
  double m_DefaultFontSize = 9.0;
  double m_DefaultFontSize2 = 9.0;
  richtext::ColorRef m_TextColor;
  richtext::ColorRef m_CellColor;
  richtext::ColorRef m_TitleColor;
  richtext::ColorRef m_HeaderColor;
  richtext::ColorRef m_ShadeColor;
  std::string m_YearLabel = "Year";
  std::string m_MonthLabel = "Month";
  std::string m_CPLVLabel = "CPLV";

  // Page geometry (twips).
  int32_t m_PageWidth = 12240;
  int32_t m_PageHeight = 15840;
  int32_t m_TextWidth = 10800;
  int32_t m_TextHeight = 14400;
  reports::Margins m_Margins;
  int32_t m_Orientation = 1;

  // Fonts (document font ids).
  int32_t m_FontNormal = 0, m_FontBold = 0, m_FontItalic = 0, m_FontBoldItalic = 0;
  int32_t m_FontUnderline = 0, m_FontSectionTitle = 0, m_FontSubSectionTitle = 0;
  int32_t m_FontColHeader = 0, m_FontHeaderColor = 0, m_FontHeaderColor10 = 0;
  int32_t m_FontHeaderColor11 = 0, m_FontWhite12 = 0, m_FontBold12 = 0, m_FontNormal10 = 0;
  int32_t m_FontSuperscript = 0;
  // Paragraph styles (document paragraph ids).
  int32_t m_ParaLeft = 0, m_ParaRight = 0, m_ParaCenter = 0, m_ParaSectionTitle = 0;
  int32_t m_ParaSubSectionTitle = 0, m_ParaIndented = 0, m_ParaGroupHeading = 0;

  // Writing state.
  int32_t m_CurFont = 0;
  int32_t m_CurPara = 0;
  int32_t m_PrevCellId = 0;
  int32_t m_CurCellId = 0;
  int32_t m_TableStart = 0;
  int32_t m_StartLine = 0;

  // Sections: one entry per document section.
  std::vector<SectionInfo> m_Sections;
  int32_t m_SeqSect = 0;
};
