// The net cash flow graphs of the economic report: for each comparison of a challenger with
// its base, the yearly net cash flow, or its three components, as bars.
#include <algorithm>

#include "app/reports/clsReport.h"
#include "app/reports/economics/economic_graphs.h"
#include "app/reports/report_internal.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace reports::economics {

std::vector<CashFlowYear> NetCashFlows(const SystemEconData& base, const SystemEconData& challenger, int years) {
  years = std::clamp(years, 0, kMaxYears);
  std::vector<CashFlowYear> out(static_cast<size_t>(years) + 1);
  for (int y = 0; y <= years; ++y) {
    CashFlowYear& f = out[static_cast<size_t>(y)];
    f.investment = base.dInvestTotal(y) - challenger.dInvestTotal(y);
    f.energy = base.dEnergyByYear(y) - challenger.dEnergyByYear(y);
    f.maintenance = base.dMaintByYear(y) - challenger.dMaintByYear(y);
    f.net = f.investment + f.energy + f.maintenance;
  }
  return out;
}

std::string ComparisonHeading(const SystemEconData& base, const SystemEconData& challenger) {
  return "Challenger: " + vb::Trim(modpublic::TrimNull(challenger.sSystemName)) +
         " vs Base: " + vb::Trim(modpublic::TrimNull(base.sSystemName));
}

namespace {

void YearBars(graph::Chart& chart, int series, size_t years, const std::string& currency, const std::string& yearLabel,
              const char* yLabel) {
  chart.plot = graph::Plot::Bars;
  chart.SetSeriesCount(series);
  chart.SetPointCount(static_cast<int>(years));
  for (size_t y = 0; y < years; ++y) chart.SetPointLabel(static_cast<int>(y), std::to_string(y));
  chart.xAxis.label = yearLabel;
  chart.yAxis.label = std::string(yLabel) + " " + modpublic::Parenthesize("Net Cash Flow " + vb::Trim(currency));
}

}  // namespace

void FillNetCashFlowChart(graph::Chart& chart, const std::vector<CashFlowYear>& years, const std::string& currency,
                          const std::string& yearLabel) {
  YearBars(chart, 1, years.size(), currency, yearLabel, "Actual Value");
  chart.series(0).color = QColor(0, 191, 0);
  double minimum = 0, maximum = 0;
  for (size_t y = 0; y < years.size(); ++y) {
    const double v = years[y].net;
    if (y == 0 || v < minimum) minimum = v;
    if (y == 0 || v > maximum) maximum = v;
    chart.SetY(0, static_cast<int>(y), v);
  }
  // 5 % of the larger magnitude beyond both ends, so that an all-negative flow stays inside.
  const Range range = PadRange(minimum, maximum, 0.05);
  chart.yAxis.scale = graph::Scale::Manual(range.min, range.max);
}

void FillNetCashFlowCompChart(graph::Chart& chart, const std::vector<CashFlowYear>& years, const std::string& currency,
                              const std::string& yearLabel) {
  YearBars(chart, 3, years.size(), currency, yearLabel, " Actual Value");
  const struct {
    const char* label;
    QColor colour;
    double CashFlowYear::*value;
  } series[] = {{"Additional Investment Cost", QColor(191, 0, 191), &CashFlowYear::investment},
                {"Energy Cost Savings", QColor(0, 0, 191), &CashFlowYear::energy},
                {"Maintenance Cost Savings", QColor(0, 191, 191), &CashFlowYear::maintenance}};
  double minimum = 0, maximum = 0;
  for (int s = 0; s < 3; ++s) {
    chart.series(s).label = series[s].label;
    chart.series(s).color = series[s].colour;
    chart.series(s).legendGroup = s;
    for (size_t y = 0; y < years.size(); ++y) {
      const double v = years[y].*series[s].value;
      minimum = std::min(minimum, v);
      maximum = std::max(maximum, v);
      chart.SetY(s, static_cast<int>(y), v);
    }
  }
  // The money values' own range (bars rise from 0, so 0 is always inside).
  const Range range = PadRange(minimum, maximum, 0.05);
  chart.yAxis.scale = graph::Scale::Manual(range.min, range.max);
}

}  // namespace reports::economics

using namespace reports::economics;

// Both graphs: per comparison a centred bold heading and the graph, kept together, with a page
// break between comparisons; one alternative gets a notice instead.
bool clsReport::CashFlowGraphs(void (*fill)(graph::Chart&, const std::vector<CashFlowYear>&, const std::string&,
                                            const std::string&)) {
  CheckEconomicComparisons(m_EconSummary);
  const int systemsCount = m_EconSummary.nNumSystems;
  if (systemsCount <= 1) {
    WriteTextLine("No comparative cost data is available for this analysis." + std::string(reports::detail::kCrLf),
                  true, false);
    return true;
  }
  for (int k = 1; k < systemsCount; ++k) {
    const EconCaseData& c = m_EconSummary.Cases(k);
    const SystemEconData& base = (*m_SystemEcon)(c.nBaseSystem);
    const SystemEconData& challenger = (*m_SystemEcon)(c.nChallengerSystem);
    SetTableStart(0);
    graph::Chart* graph = nullptr;
    if (!InitGraph(graph, 1)) return false;
    int32_t para = m_ParaCenter;
    WriteTextLineWithFont(ComparisonHeading(base, challenger), m_FontBold, para);
    fill(*graph, NetCashFlows(base, challenger, m_EconSummary.nLifeCycleYears), m_EconSummary.sCurrency, m_YearLabel);
    PasteFullWidthGraph(*graph);
    KeepTableTogether(GetTableStart(), true);
    ResetTableStart();
    if (k < systemsCount - 1) richtext::TerPageBreak(m_TerHwnd, m_Repaint);
  }
  return true;
}

void clsReport::NetCashFlowGraph(bool& ok) {
  ok = modpublic::RunGuarded(ErrorSource("NetCashFlowGraph"), "", ui::kExclamation,
                             [&] { return CashFlowGraphs(&FillNetCashFlowChart); });
}

void clsReport::NetCashFlowCompGraph(bool& ok) {
  ok = modpublic::RunGuarded(ErrorSource("NetCashFlowCompGraph"), "", ui::kExclamation,
                             [&] { return CashFlowGraphs(&FillNetCashFlowCompChart); });
}
