// The economic summary as bar graphs in a grid of frames: six graphs in two rows of three for
// energy + life-cycle costs, otherwise the energy + fuel costs alone.
#include <algorithm>
#include <cmath>

#include "app/reports/clsReport.h"
#include "app/reports/economics/economic_graphs.h"
#include "app/reports/report_internal.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace reports::economics {

std::vector<SummaryGraph> EconomicSummaryGraphValues(const EconSummaryData& summary, const SystemEconArray& systems,
                                                     int typeOfCostCalcs) {
  const std::string currency = vb::Trim(summary.sCurrency);
  const bool dollars = currency == "$";
  const std::string suffix = dollars ? "" : " " + modpublic::Parenthesize(currency);
  // The dollar sign stands before the amount, its sign included ("$-500").
  auto money = [&](double v) { return (dollars ? "$" : "") + vb::Format(v, "###,###,###,##0"); };
  const int n = std::clamp<int>(summary.nNumSystems, 0, kMaxSystems);
  const bool lifeCycle = typeOfCostCalcs == 2;

  std::vector<SummaryGraph> out;
  auto perAlternative = [&](const std::string& title, double (*value)(const SystemEconData&)) {
    SummaryGraph g;
    g.title = title + suffix;
    for (int a = 1; a <= n; ++a) {
      const double v = value(systems(a));
      g.labels.push_back(modpublic::GetLetter(a, true));
      g.plotted.push_back(v);
      g.annotations.push_back(money(v));
      g.minimum = std::min(g.minimum, v);
      g.maximum = std::max(g.maximum, v);
    }
    out.push_back(std::move(g));
  };
  auto comparisonLabel = [&](const EconCaseData& c, const char* between) {
    return modpublic::GetLetter(c.nChallengerSystem, true) + between + modpublic::GetLetter(c.nBaseSystem, true);
  };

  if (lifeCycle) perAlternative("First Costs", [](const SystemEconData& e) { return e.dFirstCost(10); });
  perAlternative("Energy + Fuel Costs", [](const SystemEconData& e) { return e.dEnergyCost(10); });
  if (!lifeCycle) return out;
  perAlternative("Operating Costs", [](const SystemEconData& e) { return e.dOpCost(10); });
  perAlternative("Total Present Worth", [](const SystemEconData& e) { return e.dLifeCycleCost; });

  SummaryGraph npw, irr;
  npw.title = "Net Present Worth" + suffix;
  irr.title = "Internal Rate of Return";
  for (int k = 1; k < n; ++k) {
    const EconCaseData& c = summary.Cases(k);
    // A saving of 0 or less stands on the axis; its label keeps the real value.
    const double saving = c.dNPW;
    npw.labels.push_back(comparisonLabel(c, " vs "));
    npw.annotations.push_back(money(saving));
    npw.minimum = std::min(npw.minimum, saving);
    npw.maximum = std::max(npw.maximum, saving);
    npw.plotted.push_back(saving <= 0 ? 0 : saving);
    if (saving <= 0) npw.minimum = -0.0001;
    // No rate of return (-1) is drawn as 0 and labelled "n/a".
    const double rate = c.fIRR;
    const double plotted = rate == -1 ? 0 : rate;
    irr.labels.push_back(comparisonLabel(c, " vs "));
    irr.plotted.push_back(plotted);
    irr.annotations.push_back(plotted != 0 ? vb::Format(rate, "0.0") + " %" : "n/a");
    irr.maximum = std::max(irr.maximum, rate);
  }
  out.push_back(std::move(npw));
  out.push_back(std::move(irr));
  return out;
}

void FillSummaryChart(graph::Chart& chart, const SummaryGraph& values) {
  chart.plot = graph::Plot::Bars;
  chart.title = values.title;
  chart.SetSeriesCount(1);
  chart.SetPointCount(static_cast<int>(values.plotted.size()));
  chart.series(0).color = QColor(0, 0, 191);
  chart.xAxis.label.clear();
  chart.yAxis.label.clear();
  for (size_t p = 0; p < values.plotted.size(); ++p) {
    const int point = static_cast<int>(p);
    chart.SetPointLabel(point, values.labels[p]);
    chart.SetY(0, point, values.plotted[p]);
    chart.AddAnnotation(point + 1, values.plotted[p], values.annotations[p]);
  }
  const Range r = ScaleRules(values.minimum, values.maximum);
  chart.yAxis.scale = graph::Scale::Manual(r.min, 1.6 * r.max);
}

SummaryFrames SummaryFrameGrid(int32_t textWidth, int graphs, int columns, int32_t offset) {
  SummaryFrames f;
  if (graphs <= 0 || columns <= 0) return f;
  const int rows = (graphs + columns - 1) / columns;
  const auto width = static_cast<int32_t>(std::lround((textWidth - 2.0 * (offset + 10)) / columns));
  constexpr int32_t kHeight = 2160;
  for (int g = 0; g < graphs; ++g) {
    const int r = g / columns, c = g % columns;
    f.graphs.push_back({c * (width + 10) + offset, r * kHeight, width, kHeight});
  }
  f.enclosing = {0, 0, textWidth, rows * kHeight};
  return f;
}

}  // namespace reports::economics

using namespace reports::economics;

bool clsReport::CreateFramesForEconSummGraphs(std::vector<int32_t>& frames, int16_t graphs, int16_t columns,
                                              int32_t offset, int32_t& width, int32_t& height) {
  return modpublic::RunGuarded(ErrorSource("CreateFramesForEconSummGraphs"), "", ui::kExclamation, [&] {
    frames.assign(static_cast<size_t>(std::max<int16_t>(graphs, 0)) + 1, 0);
    if (graphs == 0 || columns == 0) return true;
    const SummaryFrames grid = SummaryFrameGrid(m_TextWidth, graphs, columns, offset);
    MoveToDocEnd();
    WriteTextLine("");
    for (size_t g = 0; g < grid.graphs.size(); ++g) {
      const FrameBox& f = grid.graphs[g];
      MoveToDocEnd();
      frames[g + 1] = richtext::TerInsertParaFrame(m_TerHwnd, f.x, f.y, f.width, f.height, 1);
      width = f.width;
      height = f.height;
    }
    richtext::TerInsertParaFrame(m_TerHwnd, 0, 0, grid.enclosing.width, grid.enclosing.height, 1);
    // The frames' paragraph ends here, so what follows is written below them.
    richtext::TerAppendText(m_TerHwnd, std::string(1, reports::detail::kParaEnd), 0, 0, m_Repaint);
    MoveToDocEnd();
    return true;
  });
}

bool clsReport::EconomicSummaryGraphs() {
  return modpublic::RunGuarded(ErrorSource("EconomicSummaryGraphs"), "", ui::kExclamation, [&] {
    WriteTextLine("");
    CheckEconomicComparisons(m_EconSummary);
    if (m_EconSummary.nNumSystems <= 1) return true;
    const std::vector<SummaryGraph> graphs =
        EconomicSummaryGraphValues(m_EconSummary, *m_SystemEcon, m_ReportData.nTypeOfCostCalcs);
    const bool lifeCycle = m_ReportData.nTypeOfCostCalcs == 2;
    std::vector<int32_t> frames;
    int32_t width = 0, height = 0;
    if (!CreateFramesForEconSummGraphs(frames, static_cast<int16_t>(graphs.size()), lifeCycle ? 3 : 1,
                                       lifeCycle ? 0 : 3000, width, height))
      return false;
    for (size_t g = 0; g < graphs.size(); ++g) {
      graph::Chart* graph = nullptr;
      if (!InitGraph(graph, 1)) return false;
      FillSummaryChart(*graph, graphs[g]);
      PasteGraphInFrame(*graph, frames[g + 1]);
    }
    return true;
  });
}
