// The system performance profile graph: per bin, the annual cooling (bars) and the chiller
// system's efficiency (line, second axis) against the building load.
#include <algorithm>
#include <vector>

#include "app/reports/clsReport.h"
#include "app/reports/plv/profile_graphs.h"
#include "app/reports/report_internal.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace reports::plv {

int32_t PerformanceEfficiencyUnit(const PLVProfileData& profile) {
  return profile.bAnyHeatDriven != 0 ? static_cast<int32_t>(NO_CONV) : static_cast<int32_t>(KWTON_TO_IKWKW);
}

std::string PerformanceEfficiencyLabel(const PLVProfileData& profile, int32_t efficiencyUnitKind) {
  const int32_t id = profile.bAnyHeatDriven != 0 ? modpublic::gSystemEfficiencyUnitID
                                                 : clsReport::GetPLVUnitConvID(efficiencyUnitKind);
  return modpublic::gUnits.UnitStr(id);
}

namespace {

// Half the width the graph gives the bars of one bar series of an x-value chart: a bar is 80 %
// of the closest distance between two bar positions (a quarter of the axis at most); 0 for
// fewer than two positions.
double BarHalfWidth(const graph::Chart& chart, int series) {
  std::vector<double> xs;
  for (int p = 0; p < chart.PointCount(); ++p)
    if (chart.HasValue(series, p)) xs.push_back(chart.X(series, p));
  std::sort(xs.begin(), xs.end());
  double closest = 0;
  for (size_t i = 1; i < xs.size(); ++i)
    if (xs[i] > xs[i - 1] && (closest == 0 || xs[i] - xs[i - 1] < closest)) closest = xs[i] - xs[i - 1];
  return 0.4 * closest;
}

}  // namespace

void FillPerformanceChart(graph::Chart& chart, const PLVProfileData& profile, int32_t efficiencyUnitKind) {
  const std::string efficiencyUnit = PerformanceEfficiencyLabel(profile, efficiencyUnitKind);
  const std::string coolingUnit = modpublic::gUnits.UnitStr(TONHR_TO_KWH);
  chart.plot = graph::Plot::Bars;
  chart.rightPlot = graph::Plot::LineAndPoints;
  chart.SetSeriesCount(2);
  chart.SetPointCount(kProfilePoints);
  graph::Series& cooling = chart.series(0);
  cooling.legendGroup = 0;
  cooling.label = "Cooling " + coolingUnit;
  cooling.color = QColor(0, 191, 0);
  graph::Series& efficiency = chart.series(1);
  efficiency.legendGroup = 1;
  efficiency.label = "Chiller System " + efficiencyUnit;
  efficiency.lineWidth = 1.0;
  efficiency.marker = graph::Marker::Square;
  efficiency.color = QColor(0, 0, 0);
  efficiency.axis = graph::YAxis::Right;
  chart.xAxis.label = "Building Load (%)";
  chart.yAxis.label = "Cooling " + coolingUnit + " Per Year";
  chart.rightAxis.label = "Chiller System  " + efficiencyUnit;
  chart.rightAxis.scale = graph::Scale::Manual(0, 110);
  chart.xAxis.scale = graph::Scale::MinOnly(0);

  const int32_t efficiencyId = PerformanceEfficiencyUnit(profile);
  double coolingMax = 0, efficiencyMin = 10000.0, efficiencyMax = 0, xmax = 0, xmin = 0;
  const int bins = ProfileBins(profile);
  for (int b = 1; b <= bins; ++b) {
    const PLVBinData& bin = profile.Bins(b);
    const int p = b - 1;
    // Each value as the report prints it (converted and rounded), read back.
    if (bin.lLoadHours != 0) {
      const double y = vb::CDbl(modpublic::FormatUnitValue(bin.lLoadHours, TONHR_TO_KWH, "###,###,###,##0"));
      chart.SetPoint(0, p, bin.fLoadPercent, y);
      coolingMax = std::max(coolingMax, y);
      xmax = std::max(xmax, static_cast<double>(bin.fLoadPercent));
      xmin = std::min(xmin, static_cast<double>(bin.fLoadPercent));
    } else {
      chart.SetPoint(0, p, 0, 0);
    }
    if (bin.fEfficiency != 0) {
      const double y = vb::CDbl(modpublic::FormatUnitValue(bin.fEfficiency, efficiencyId, "0.000"));
      chart.SetPoint(1, p, bin.fLoadPercent, y);
      efficiencyMin = std::min(efficiencyMin, y);
      efficiencyMax = std::max(efficiencyMax, y);
      if (bin.fLoadPercent != 0) xmax = std::max(xmax, static_cast<double>(bin.fLoadPercent));
    } else {
      chart.SetPoint(1, p, 0, 0);
    }
  }
  // Without values an axis keeps its starting range.
  if (coolingMax > 0) chart.yAxis.scale = graph::Scale::Manual(0, coolingMax * 1.03);
  // The load axis runs to 3 % above the largest load, further when a bar there is wider: every
  // bar lies whole inside the plot.
  if (xmax > 0) {
    const double half = BarHalfWidth(chart, 0);
    // A single bar is a fifth of the axis wide.
    const double top = half > 0 ? xmax + half : xmax / 0.9;
    const double bottom = std::min(0.0, xmin - half);
    chart.xAxis.scale = graph::Scale::Manual(bottom, std::max(xmax * 1.03, top));
  }
  if (efficiencyMax > 0) chart.rightAxis.scale = graph::Scale::Manual(efficiencyMin * 0.97, efficiencyMax * 1.03);
}

}  // namespace reports::plv

using namespace reports::plv;

bool clsReport::SystemPerformanceProfileGraph() {
  return modpublic::RunGuarded(ErrorSource("SystemPerformanceProfileGraph"), "", ui::kExclamation,
                               [&] { return DrawSystemPerformanceProfileGraph(); });
}

bool clsReport::DrawSystemPerformanceProfileGraph() {
  graph::Chart* graph = nullptr;
  if (!InitGraph(graph, 2)) return false;
  FillPerformanceChart(*graph, *m_PLVProfile, m_ReportData.nEfficiencyInput);
  PasteFullWidthGraph(*graph);
  ResetTableStart();
  return true;
}
