// The combined economic report: its sections in their fixed order, each a sub-report, and
// the thin bodies of the graph sections.
#include "app/reports/clsReport.h"
#include "app/reports/report_internal.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vberror.h"

namespace {

// One section of the combined economic report.
struct EcoRunRow {
  vb::Boolean ReportData::*option;
  bool lifeCycleOnly;        // only for energy + life-cycle cost calculations (type 2)
  const char* title;         // the sub-report's header title
  int32_t orientation;       // 1 portrait, 2 landscape
  int percent;               // progress
  const char* progressText;  // the progress message and the error line's title
  bool (*body)(clsReport&, int32_t& section);
};

// A body left empty fails its section.
template <class F, class... A>
bool Call(const F& hook, A&... args) {
  return hook && hook(args...);
}

const EcoRunRow kRows[] = {
    {&ReportData::EconSummary, false, "Chiller Economic Summary", 1, 20, "Chiller Economic Summary Report",
     [](clsReport& r, int32_t& n) { return Call(r.EconomicTables().RptEconomicSummary0, n); }},
    {&ReportData::AnnualCostComparison, true, "Annual Cost Comparison Report", 2, 25, "Annual Cost Comparison Report",
     [](clsReport& r, int32_t&) { return r.RptAnnualCostComparison0(); }},
    {&ReportData::AnnualSystemEfficiency, false, "Annual System Efficiency Report", 2, 27,
     "Annual System Efficiency Report", [](clsReport& r, int32_t& n) { return r.RptAnnualSystemEfficiency0(n); }},
    {&ReportData::EnergyCostsGraph, false, "Energy Costs by Month", 1, 30, "Energy Costs Graph",
     [](clsReport& r, int32_t& n) { return r.RptEnergyCostsGraph0(n); }},
    {&ReportData::EnergyUseGraph, false, "Electrical Energy Use by Month", 1, 40, "Energy Use Graph",
     [](clsReport& r, int32_t& n) { return r.RptEnergyUseGraph0(n); }},
    {&ReportData::NetCashFlowGraph, true, "Net Cash Flow", 1, 50, "Net Cash Flow Graph",
     [](clsReport& r, int32_t& n) { return r.RptNetCashFlowGraph0(n); }},
    {&ReportData::NetCashFlowCompGraph, true, "Net Cash Flow Components", 1, 60, "Net Cash Flow Components Graph",
     [](clsReport& r, int32_t& n) { return r.RptNetCashFlowCompGraph0(n); }},
    {&ReportData::EnergyCostDetails, false, "Energy Cost Details", 1, 70, "Energy Cost Details",
     [](clsReport& r, int32_t&) { return Call(r.EconomicTables().RptEnergyCostDetails0); }},
    {&ReportData::EnergyUseDetails, false, "Energy Use Details", 1, 80, "Energy Use Details",
     [](clsReport& r, int32_t&) { return Call(r.EconomicTables().RptEnergyUseDetails0); }},
    {&ReportData::IncrCostDetails, true, "Incremental Cost Analysis Details", 1, 90,
     "Incremental Cost Analysis Details", [](clsReport& r, int32_t&) { return r.RptAnnualCostComparison0(); }},
    {&ReportData::CashFlowDetails, true, "Cash Flow Details", 2, 95, "Cash Flow Details",
     [](clsReport& r, int32_t&) { return Call(r.EconomicTables().RptCashFlowDetails0); }},
};

constexpr const char* kInputSummaryTitle = "Input Data Summary Report";

// A step that failed without an error of its own becomes one, so that the guard shows the box.
void Check(bool ok, const char* what) {
  if (!ok) vb::Raise(vb::kInvalidProcedureCall, what);
}

}  // namespace

void clsReport::InstallEconomicSections() {
  m_EconomicTables.RptEconomicSummary0 = [this](int32_t& section) { return RptEconomicSummary0(section); };
  m_EconomicTables.RptEnergyCostDetails0 = [this] { return RptEnergyCostDetails0(); };
  m_EconomicTables.RptEnergyUseDetails0 = [this] { return RptEnergyUseDetails0(); };
  m_EconomicTables.RptCashFlowDetails0 = [this] { return RptCashFlowDetails0(); };
  EcoRptCombinedBody = [this] {
    bool ok = false;
    EcoRptCombined(ok);
    return ok;
  };
}

void clsReport::EcoRptCombined(bool& ok) {
  ok = false;
  ok = modpublic::RunGuarded(ErrorSource("EcoRptCombined"), "", ui::kExclamation, [&] {
    m_UserCanceled = false;
    // A stand-alone efficiency report may have left its prefix.
    SystemLabelPrefix.clear();
    if (!modpublic::UpdateProgress(modpublic::kProgressGenerating, 10, "")) return false;
    m_CurrentReportID = AddReportInfo("EcoCombined.rtf", "Chiller Economics Reports", 1, false);
    if (m_CurrentReportID == 0) return false;
    int32_t n = 0;
    if (m_ReportData.bCoverPage != 0) {
      Check(BeginNewReport("", 1, n, false), "The cover page could not be begun.");
      if (!modpublic::UpdateProgress(modpublic::kProgressGenerating, 15, "Cover Page")) return false;
      std::string folder;
      if (!RptCoverPage0(folder)) RptSectionError("Cover Page", false);
    }
    m_HdrFtrDefault = true;

    const bool lifeCycle = m_ReportData.nTypeOfCostCalcs == 2;
    for (const EcoRunRow& row : kRows) {
      if (m_ReportData.*row.option == 0 || (row.lifeCycleOnly && !lifeCycle)) continue;
      Check(BeginNewReport(row.title, row.orientation, n, true), "A sub-report could not be begun.");
      if (!modpublic::UpdateProgress(modpublic::kProgressGenerating, row.percent, row.progressText)) return false;
      // Every body numbers its headings from 1.
      int32_t section = 0;
      if (!row.body(*this, section)) RptSectionError(row.progressText, true);
    }

    // A failed input data summary costs only its own sub-report: the sections stay and the
    // report is saved.
    if (m_ReportData.bInputSummary != 0) {
      Check(BeginNewReport(kInputSummaryTitle, 1, n, true), "The input data summary could not be begun.");
      if (!Call(m_PLVSections.InputSummary)) RptSectionError(kInputSummaryTitle, true);
    }
    if (!modpublic::UpdateProgress(modpublic::kProgressGenerating, 100, "")) return false;

    // Error lines are written in place, so the document is whole: the run saves it as it
    // stands after its last progress step (or, when the folder refuses it, keeps it for the
    // viewer after the save's one box).
    return true;
  });
}

namespace {

// A graph body: the graph, and on its failure the section's own box.
template <class Draw>
bool GraphBody(const std::string& title, const char* failure, Draw&& draw) {
  bool ok = false;
  if (!modpublic::RunGuarded(title, "", ui::kExclamation, [&] { draw(ok); })) return false;
  if (!ok) modpublic::ShowError(failure, ui::kExclamation, title);
  return ok;
}

}  // namespace

bool clsReport::RptEnergyCostsGraph0(int32_t&) {
  return GraphBody(ErrorSource("RptEnergyCostsGraph0"), "Error creating graph - Energy Costs by Month.",
                   [&](bool& ok) { EnergyGraph(1, ok); });
}

bool clsReport::RptEnergyUseGraph0(int32_t&) {
  return GraphBody(ErrorSource("RptEnergyUseGraph0"), "Error creating graph - Electrical Energy Use by Month.",
                   [&](bool& ok) { EnergyGraph(2, ok); });
}

bool clsReport::RptNetCashFlowGraph0(int32_t&) {
  return GraphBody("clsReport.RptNetCashFlowGraph()", "Error creating Net Cash Flow Graph.",
                   [&](bool& ok) { NetCashFlowGraph(ok); });
}

bool clsReport::RptNetCashFlowCompGraph0(int32_t&) {
  return GraphBody(ErrorSource("RptNetCashFlowCompGraph0"), "Error creating Net Cash Flow Components Graph.",
                   [&](bool& ok) { NetCashFlowCompGraph(ok); });
}

bool clsReport::RptAnnualCostComparison0() { return false; }

// One single-section economic report.
struct clsReport::EcoStarter {
  const char* procedure;  // names the error box
  const char* fileName;
  const char* title;
  int32_t orientation;
  bool (*body)(clsReport&, int32_t& section);
  enum { kNoSummary, kInputSummary, kEmptyCheck } summaryStep;
  const char* summaryFailure;  // the box's message when the summary step fails
  bool fixedTitle;             // the procedure text is the box title as it stands
};

bool clsReport::EconomicStarter(const EcoStarter& s) {
  const int32_t id = AddReportInfo(s.fileName, s.title, s.orientation, true);
  if (id == 0) return false;
  m_CurrentReportID = id;
  const std::string title = s.fixedTitle ? std::string(s.procedure) : ErrorSource(s.procedure);
  std::string failure;
  return modpublic::RunGuarded(title, failure, ui::kExclamation, [&] {
    int32_t section = 0;
    // A failed body has shown its own box.
    if (!s.body(*this, section)) return false;
    if (s.summaryStep != EcoStarter::kNoSummary) {
      const bool ok = s.summaryStep == EcoStarter::kEmptyCheck ? EmptyCheck(section) : Call(m_PLVSections.InputSummary);
      failure = s.summaryFailure;
      Check(ok, "The input data summary was not written.");
      failure.clear();
    }
    return WrapUpReport();
  });
}

namespace {

bool EconomicSummaryBody(clsReport& r, int32_t& n) { return Call(r.EconomicTables().RptEconomicSummary0, n); }
bool CostDetailsBody(clsReport& r, int32_t&) { return Call(r.EconomicTables().RptEnergyCostDetails0); }
bool UseDetailsBody(clsReport& r, int32_t&) { return Call(r.EconomicTables().RptEnergyUseDetails0); }
bool CashFlowBody(clsReport& r, int32_t&) { return Call(r.EconomicTables().RptCashFlowDetails0); }
bool NoBody(clsReport& r, int32_t&) { return r.RptAnnualCostComparison0(); }

}  // namespace

bool clsReport::RptEconomicSummary() {
  return EconomicStarter({"RptEconomicSummary", "Summ-rpt.rtf", "Chiller Economic Summary", 1, &EconomicSummaryBody,
                          EcoStarter::kInputSummary, "", false});
}

bool clsReport::RptEnergyCostDetails() {
  return EconomicStarter({"RptEnergyCostDetails", "Cost-rpt.rtf", "Energy Cost Details", 1, &CostDetailsBody,
                          EcoStarter::kNoSummary, "", false});
}

bool clsReport::RptEnergyUseDetails() {
  return EconomicStarter({"RptEnergyUseDetails", "Use-rpt.rtf", "Energy Use Details", 1, &UseDetailsBody,
                          EcoStarter::kNoSummary, "", false});
}

bool clsReport::RptCashFlowDetails() {
  return EconomicStarter(
      {"RptCashFlowDetails", "Cash-rpt.rtf", "Cash Flow Details", 2, &CashFlowBody, EcoStarter::kNoSummary, "", false});
}

bool clsReport::RptAnnualCostComparison() {
  return EconomicStarter({"RptAnnualCostComparison", "Annu-rpt.rtf", "Annual Cost Comparison Report", 2, &NoBody,
                          EcoStarter::kNoSummary, "", false});
}

bool clsReport::RptAnnualSystemEfficiency() {
  SystemLabelPrefix = "ALT";
  return EconomicStarter({"RptAnnualSystemEfficiency", "SEff-rpt.rtf", "Annual System Efficiency Report", 2,
                          [](clsReport& r, int32_t& n) { return r.RptAnnualSystemEfficiency0(n); },
                          EcoStarter::kEmptyCheck, "Error creating section - Input Data Summary", false});
}

bool clsReport::RptEnergyCostsGraph() {
  return EconomicStarter({"RptEnergyCostsGraph", "Cost-grf.rtf", "Energy Costs by Month", 1,
                          [](clsReport& r, int32_t& n) { return r.RptEnergyCostsGraph0(n); }, EcoStarter::kInputSummary,
                          "Error creating section - Input Data Summary", false});
}

bool clsReport::RptEnergyUseGraph() {
  return EconomicStarter({"RptEnergyUseGraph", "Use-grf.rtf", "Electrical Energy Use by Month", 1,
                          [](clsReport& r, int32_t& n) { return r.RptEnergyUseGraph0(n); }, EcoStarter::kInputSummary,
                          "Error creating section - Input Data Summary", false});
}

bool clsReport::RptIncrCostDetails() {
  return EconomicStarter({"RptIncrCostDetails", "Icc-rpt.rtf", "Incremental Cost Analysis Details", 1, &NoBody,
                          EcoStarter::kNoSummary, "", false});
}

bool clsReport::RptNetCashFlowGraph() {
  return EconomicStarter({"clsReport.RptNetCashFlowGraph()", "NCF-grf.rtf", "Net Cash Flow", 1,
                          [](clsReport& r, int32_t& n) { return r.RptNetCashFlowGraph0(n); }, EcoStarter::kInputSummary,
                          "Error creating Input Data Summary.", true});
}

bool clsReport::RptNetCashFlowCompGraph() {
  return EconomicStarter({"RptNetCashFlowCompGraph", "NCFC-grf.rtf", "Net Cash Flow Components", 1,
                          [](clsReport& r, int32_t& n) { return r.RptNetCashFlowCompGraph0(n); },
                          EcoStarter::kInputSummary, "Error creating Input Data Summary.", false});
}
