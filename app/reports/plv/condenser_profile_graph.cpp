// The condenser temperature profile graph: every chiller's entering condenser water
// temperature against its own load over the profile points.
#include <algorithm>

#include "app/reports/clsReport.h"
#include "app/reports/plv/profile_graphs.h"
#include "app/reports/report_internal.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace reports::plv {

void FillCondenserTempChart(graph::Chart& chart, const PLVProfileData& profile) {
  const clsUnits& units = modpublic::gUnits;
  const int n = ProfileChillers(profile);
  chart.plot = graph::Plot::Points;
  chart.SetSeriesCount(n);
  chart.SetPointCount(kProfilePoints);
  for (int s = 0; s < n; ++s) {
    chart.series(s).legendGroup = s;
    chart.series(s).label = vb::Trim(profile.ChillerResults(s + 1).sSlotName);
  }
  chart.yAxis.label = "Chiller Entering Condenser Temp. " + modpublic::Parenthesize(units.UnitStr(F_TO_C));
  chart.xAxis.label = "Chiller Load (%)";
  chart.xAxis.scale = graph::Scale::Manual(0, 103);

  double ymin = 10000.0, ymax = 0, xmax = 0;
  bool any = false;
  for (int c = 1; c <= n; ++c) {
    const ChillerResultData& r = profile.ChillerResults(c);
    for (int p = 1; p <= chart.PointCount(); ++p) {
      int on = 0;
      for (int k = 1; k <= n; ++k)
        if (profile.ChillerResults(k).fProfileLoadPct(p) > 0) ++on;
      const double offset = on != 1 ? (2 * c - 1 - on) * 0.5 : 0.0;
      // A point without a temperature is (0, 0); the stored deg F value decides, so that
      // 0 deg C is a temperature like any other.
      const float stored = r.fProfileECWT(p);
      if (stored == 0) {
        chart.SetPoint(c - 1, p - 1, 0, 0);
        continue;
      }
      const double y = static_cast<float>(units.CnvToDevice(stored, F_TO_C) + offset);
      const double x = r.fProfileLoadPct(p);
      chart.SetPoint(c - 1, p - 1, x, y);
      any = true;
      ymin = std::min(ymin, y);
      ymax = std::max(ymax, y);
      if (x != 0) xmax = std::max(xmax, x);
    }
  }
  // Without a temperature the axes keep their starting ranges.
  if (any) chart.yAxis.scale = graph::Scale::Manual(ymin - 0.05 * ymax, ymax * 1.05);
  if (xmax > 0) chart.xAxis.scale = graph::Scale::Manual(0, xmax * 1.05);
}

}  // namespace reports::plv

using namespace reports::plv;

bool clsReport::CondenserTempProfilesGraph() {
  return modpublic::RunGuarded(ErrorSource("CondenserTempProfilesGraph"), "", ui::kExclamation,
                               [&] { return DrawCondenserTempProfilesGraph(); });
}

bool clsReport::DrawCondenserTempProfilesGraph() {
  graph::Chart* graph = nullptr;
  if (!InitGraph(graph, 2)) return false;
  FillCondenserTempChart(*graph, *m_PLVProfile);
  PasteFullWidthGraph(*graph);
  WriteTextLine(
      "Note:  Individual chiller points in this graph have been adjusted up or down so the number of chillers "
      "operating at each point can be seen.  If the points had not been adjusted, many points would lie on top of "
      "each other.  Because of the adjustment each chiller condenser temperature shown on the graph is only "
      "accurate to within a few percent plus or minus of the original calculated values.");
  WriteTextLine("");
  ResetTableStart();
  return true;
}
