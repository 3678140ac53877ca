// The monthly energy graphs of the economic report: energy cost (kind 1) and electric energy
// use (kind 2) of every alternative by month.
#include <algorithm>
#include <array>

#include "app/reports/clsReport.h"
#include "app/reports/economics/economic_graphs.h"
#include "app/reports/report_internal.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace reports::economics {

void FillEnergyChart(graph::Chart& chart, const EconSummaryData& summary, const SystemEconArray& systems, int kind,
                     const std::string& monthLabel) {
  static const std::array<QColor, 5> kColours = {QColor(180, 0, 0), QColor(0, 180, 0), QColor(0, 0, 180),
                                                 QColor(226, 126, 0), QColor(120, 200, 255)};
  static const char kMonthLetters[] = "JFMAMJJASOND";
  const int count = std::clamp<int>(summary.nNumSystems, 0, kMaxSystems);
  chart.plot = graph::Plot::Line;
  chart.emptyValue = -20;
  chart.SetSeriesCount(count);
  chart.SetPointCount(12);
  for (int s = 0; s < count; ++s) {
    graph::Series& series = chart.series(s);
    series.lineWidth = 1.0;
    series.legendGroup = s;
    series.label = vb::Trim(modpublic::TrimNull(systems(s + 1).sSystemName));
    series.color = kColours[static_cast<size_t>(s)];
  }
  const std::string unit = kind == 1 ? vb::Trim(summary.sCurrency) : modpublic::gUnits.UnitStr(KWH_TO_KWH);
  chart.yAxis.label =
      std::string(kind == 1 ? "Energy Cost" : "Energy Use") + " " + modpublic::Parenthesize(unit + " / " + monthLabel);
  chart.xAxis.label = monthLabel;

  double maximum = 0, minimum = 0;
  for (int a = 1; a <= count; ++a) {
    const SystemEconData& e = systems(a);
    for (int m = 1; m <= 12; ++m) {
      double value = kind == 1 ? e.dMonthEnergyCost(m) : e.dMonthKWh(m);
      if (kind != 1 && modpublic::gHeatRecoveryOption == 1) value += e.dMonthHeatKWh(m);
      // Plotted as printed: a whole number.
      value = AsPrinted(value, 0);
      maximum = std::max(maximum, value);
      minimum = std::min(minimum, value);
      chart.SetPoint(a - 1, m - 1, m, value);
    }
  }
  for (int m = 0; m < 12; ++m) chart.SetPointLabel(m, std::string(1, kMonthLetters[m]));
  // From 0 (lower for credits) to 3 % above the largest month of all alternatives.
  const Range range = PadRange(minimum, maximum, 0.03);
  chart.yAxis.scale = graph::Scale::Manual(range.min, range.max);
  chart.xAxis.scale = graph::Scale::Manual(0.5, 12.5);
}

}  // namespace reports::economics

using namespace reports::economics;

void clsReport::EnergyGraph(int16_t kind, bool& ok) {
  ok = false;
  graph::Chart* graph = nullptr;
  if (!InitGraph(graph, 2)) return;  // InitGraph has shown its box
  ok = modpublic::RunGuarded(ErrorSource("EnergyGraph"), "", ui::kExclamation, [&] {
    CheckEconomicResults(m_EconSummary);
    FillEnergyChart(*graph, m_EconSummary, *m_SystemEcon, kind, m_MonthLabel);
    PasteFullWidthGraph(*graph);
    WriteTextLine("");
    ResetTableStart();
  });
}
