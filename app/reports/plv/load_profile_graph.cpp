// The system load profile graph: each chiller's load against the building load over the
// profile points, the curves of chillers running together spread apart, and optional bands
// that trace the leading chiller through the rating-point load ranges.
#include <algorithm>
#include <iterator>
#include <memory>

#include "app/reports/clsReport.h"
#include "app/reports/plv/profile_graphs.h"
#include "app/reports/report_internal.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace reports::plv {

namespace {

constexpr const char* kBandLabels[] = {"0-37.5%", "37.5-62.5%", "62.5-87.5%", ">87.5%"};

QColor BandColour(int k, bool storedOrder) {
  static const QColor sorted[] = {QColor(234, 0, 41), QColor(246, 208, 9), QColor(97, 181, 73), QColor(24, 145, 246)};
  static const QColor stored[] = {QColor(255, 255, 0), QColor(0, 0, 180), QColor(0, 180, 0), QColor(180, 0, 0)};
  return (storedOrder ? stored : sorted)[k];
}

// The line width of the chiller curves: thinner as there are more of them.
QColor ChillerLineColour(int series) {
  // Dark to light with a wide step of grey between neighbours, each hue apart from the next:
  // the lines stay apart on a grey-scale printout and none fades into the white paper.
  // Greys (0.299 R + 0.587 G + 0.114 B) of 0, 50, 90, 136 and 170.
  static const QColor kColours[] = {QColor(0, 0, 0), QColor(0, 50, 180), QColor(230, 30, 30), QColor(60, 190, 60),
                                    QColor(255, 160, 0)};
  constexpr int kCount = static_cast<int>(std::size(kColours));
  return kColours[((series % kCount) + kCount) % kCount];
}

double ChillerLineWidth(int chillers) {
  if (chillers < 3) return 3.0;
  if (chillers < 6) return 2.0;
  if (chillers < 9) return 1.5;
  return 1.0;
}

// The profile point at sorted position p, and the chillers running there.
struct Position {
  int point;
  int on;
};
Position At(const PLVProfileData& profile, const PointIndex& binIndex, const PointIndex& chillersOn, int p,
            bool storedOrder) {
  if (!storedOrder) return {std::clamp<int>(binIndex(p), 1, kProfilePoints), chillersOn(p)};
  int on = 0;
  for (int k = 1; k <= ProfileChillers(profile); ++k)
    if (profile.ChillerResults(k).fProfileLoadPct(p) > 0) ++on;
  return {p, on};
}

}  // namespace

std::vector<std::pair<double, double>> LoadBandPoints(const PLVProfileData& profile, const PointIndex& binIndex,
                                                      const PointIndex& chillersOn, int k, bool storedOrder) {
  const double lo = kBandLimits[static_cast<size_t>(k)], hi = kBandLimits[static_cast<size_t>(k) + 1];
  const int n = ProfileChillers(profile);
  std::vector<std::pair<double, double>> out;
  // Up to three points per position; none past the series' 50.
  auto add = [&](double x, double y) {
    if (static_cast<int>(out.size()) < kProfilePoints) out.emplace_back(x, y);
  };
  double px = 0, py = 0;
  bool wasIn = false;
  for (int p = 1; p <= kProfilePoints && static_cast<int>(out.size()) <= kProfilePoints - 2; ++p) {
    const int point = At(profile, binIndex, chillersOn, p, storedOrder).point;
    int leader = 0;
    for (int c = 1; c <= n && leader == 0; ++c)
      if (profile.ChillerResults(c).fProfileLoadPct(point) > 0) leader = c;
    if (leader == 0) continue;
    const double y = profile.ChillerResults(leader).fProfileLoadPct(point);
    const double x = profile.ChillerResults(leader).fProfileBuildingPct(point);
    const bool in = y > 0 && y >= lo && y <= hi;
    if (in) {
      if (!wasIn && py > 0 && (py - y) * (px - x) > 0) {
        const double xb = px + (hi - py) * (x - px) / (y - py);
        add(xb, -1);
        add(xb, hi);
      }
      add(x, y);
    } else {
      if (wasIn && py > 0 && y > 0 && (py - y) * (px - x) > 0) {
        const double xb = px + (lo - py) * (x - px) / (y - py);
        add(xb, lo);
        add(xb, -1);
      }
      add(x, -1);
    }
    wasIn = in;
    px = x;
    py = y;
  }
  return out;
}

void FillLoadProfileChart(graph::Chart& chart, const PLVProfileData& profile, const PointIndex& binIndex,
                          const PointIndex& chillersOn, bool showBands, bool storedOrder) {
  const int n = ProfileChillers(profile);
  const int bands = showBands ? 4 : 0;
  // Plant control 3 runs the last chiller a second time: that run has a series of its own.
  const bool split = profile.nPlantControl == 3 && n > 0;
  const int firstBand = n + (split ? 1 : 0);
  chart.plot = graph::Plot::Line;
  chart.emptyValue = 0;
  chart.SetSeriesCount(firstBand + bands);
  for (int s = 0; s < n; ++s) {
    graph::Series& series = chart.series(s);
    series.legendGroup = s;
    if (storedOrder) continue;
    series.lineWidth = ChillerLineWidth(n);
    series.color = ChillerLineColour(s);
  }
  if (split) {
    // The second run looks like the first and shares its legend entry.
    chart.series(n) = chart.series(n - 1);
    chart.series(n).legendGroup = n - 1;
  }
  chart.xAxis.scale = graph::Scale::MinOnly(0);
  chart.SetPointCount(kProfilePoints);
  chart.yAxis.label = "Chiller Load (%)";
  chart.xAxis.label = "Building Load (%)";

  double ymax = 0;
  for (int c = 1; c <= n; ++c) {
    const ChillerResultData& r = profile.ChillerResults(c);
    chart.series(c - 1).label = vb::Trim(r.sSlotName);
    int counter = -1;
    int runState = 0;  // the split chiller: 0 not yet running, 1 running, 2 stopped, 3 running again
    for (int p = 1; p <= kProfilePoints; ++p) {
      const Position at = At(profile, binIndex, chillersOn, p, storedOrder);
      const double offset = at.on > 1 ? 2 * c - 1 - at.on : 0;
      const double y = r.fProfileLoadPct(at.point), x = r.fProfileBuildingPct(at.point);
      if (split && c == n) {
        if (runState == 0 && y > 0)
          runState = 1;
        else if (runState == 1 && y == 0)
          runState = 2;
        else if (runState == 2 && y > 0) {
          runState = 3;
          counter = -1;
        }
      }
      ++counter;
      const int subset = runState == 3 ? c : c - 1;
      if (y == 0) {
        chart.SetPoint(subset, counter, 0, 0);
      } else {
        chart.SetPoint(subset, counter, x, y + offset);
        ymax = std::max(ymax, y + offset);
      }
    }
  }

  for (int k = 0; k < bands; ++k) {
    const int sb = firstBand + k;
    const auto points = LoadBandPoints(profile, binIndex, chillersOn, k, storedOrder);
    for (size_t i = 0; i < points.size(); ++i)
      chart.SetPoint(sb, static_cast<int>(i), points[i].first, points[i].second);
    chart.series(sb).legendGroup = sb;
    chart.series(sb).lineWidth = 1.0;
    chart.series(sb).color = BandColour(k, storedOrder);
    chart.series(sb).label = kBandLabels[k];
  }
  chart.yAxis.scale = graph::Scale::Manual(0, ymax + 3.0);
}

}  // namespace reports::plv

using namespace reports::plv;

namespace {

constexpr const char* kLoadProfileNote =
    "Individual chiller curves in this graph have been adjusted up or down so the number of chillers operating at "
    "each point can be seen.  If the curves had not been adjusted, all curves would lie on top of each other.  "
    "Because of the adjustment each chiller load shown on the graph is only accurate to within a few percentage "
    "points plus or minus of the original calculated values.";

}  // namespace

bool clsReport::SystemLoadProfileGraph() {
  return modpublic::RunGuarded(ErrorSource("SystemLoadProfileGraph"), "", ui::kExclamation,
                               [&] { return DrawSystemLoadProfileGraph(); });
}

bool clsReport::DrawSystemLoadProfileGraph() {
  // The graph smooths its own copy of the profile, read again from the results file (whose
  // reader shows its own box when it fails).
  auto profile = std::make_unique<PLVProfileData>();
  if (!modDataIO::bCalcReadPLVData(m_PLVSummary, *profile)) return false;
  PointIndex binIndex, chillersOn;
  PreprocessVUVORedoForProfileGraph(*profile, binIndex, chillersOn);
  graph::Chart* graph = nullptr;
  if (!InitGraph(graph, 2)) return false;
  FillLoadProfileChart(*graph, *profile, binIndex, chillersOn, m_ReportData.ShowLoadBands > 0, false);
  PasteFullWidthGraph(*graph);
  WriteTextLine(kLoadProfileNote);
  WriteTextLine("");
  ResetTableStart();
  return true;
}

bool clsReport::SystemLoadProfileGraphWithFreeCooling() {
  return modpublic::RunGuarded(ErrorSource("SystemLoadProfileGraphWithFreeCooling"), "", ui::kExclamation, [&] {
    PointIndex unused;
    graph::Chart* graph = nullptr;
    if (!InitGraph(graph, 2)) return false;
    FillLoadProfileChart(*graph, *m_PLVProfile, unused, unused, m_ReportData.ShowLoadBands > 0, true);
    PasteFullWidthGraph(*graph);
    WriteTextLine(std::string("Note:  ") + kLoadProfileNote);
    WriteTextLine("");
    ResetTableStart();
    return true;
  });
}
