#include "examples/graph/sample_charts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <QPointF>

namespace graph::sample {

namespace {

constexpr int kTextWidth = 10800;

// Three equal chillers sequenced on load: chiller c runs above (c - 1) / 3 of the load.
int ChillersOn(double buildingLoad) { return buildingLoad > 66 ? 3 : buildingLoad > 33 ? 2 : 1; }

// The 50 profile points (building load 100 % down to 2 %) of the three chillers, one series a
// chiller: `point` gives (x, y) of chiller c (1-based) at a building load with `on` chillers
// running; a chiller that is off gets the point (0, 0).
template <typename PointOf>
void ChillerCurves(Chart& chart, PointOf point) {
  for (int c = 1; c <= 3; ++c) {
    chart.series(c - 1).label = "Chiller " + std::to_string(c);
    for (int p = 0; p < 50; ++p) {
      const double bl = 100 - 2 * p;
      const int on = ChillersOn(bl);
      const QPointF at = c > on ? QPointF(0, 0) : point(c, bl, on);
      chart.SetPoint(c - 1, p, at.x(), at.y());
    }
  }
}

}  // namespace

void LoadProfile(Chart& chart) {
  chart.Reset(ChartType::Xy);
  const int n = 3;
  chart.plot = Plot::Line;
  chart.emptyValue = 0;
  chart.SetSeriesCount(n + 4);
  const QColor fixed[] = {QColor(220, 223, 231), QColor(75, 87, 99)};
  for (int s = 0; s < n + 4; ++s) {
    chart.series(s).legendGroup = s;
    if (s < n) chart.series(s).lineWidth = 2.0;
    if (s < 2) chart.series(s).color = fixed[s];
  }
  chart.xAxis.scale = Scale::MinOnly(0);
  chart.SetPointCount(50);
  chart.yAxis.label = "Chiller Load (%)";
  chart.xAxis.label = "Building Load (%)";
  double ymax = 0;
  ChillerCurves(chart, [&](int c, double bl, int on) {
    const double y = bl * 3 / on + (on > 1 ? 2 * c - 1 - on : 0);
    ymax = std::max(ymax, y);
    return QPointF(bl, y);
  });
  // Load bands along the first chiller's curve: points outside the band go to Y = -1,
  // below the scale, which breaks the band's line there.
  const double limits[] = {0, 37.5, 62.5, 87.5, 100};
  const char* labels[] = {"0-37.5%", "37.5-62.5%", "62.5-87.5%", ">87.5%"};
  const QColor colors[] = {QColor(234, 0, 41), QColor(246, 208, 9), QColor(97, 181, 73), QColor(24, 145, 246)};
  for (int k = 0; k < 4; ++k) {
    const int sb = n + k;
    for (int p = 0; p < 50; ++p) {
      const double x = chart.X(0, p), y = *chart.Y(0, p);
      const bool in = y >= limits[k] && y <= limits[k + 1];
      chart.SetPoint(sb, p, x, in ? y : -1);
    }
    chart.series(sb).color = colors[k];
    chart.series(sb).label = labels[k];
  }
  chart.yAxis.scale = Scale::Manual(0, ymax + 3);
}

void CondenserTemps(Chart& chart) {
  chart.Reset(ChartType::Xy);
  const int n = 3;
  chart.plot = Plot::Points;
  chart.SetSeriesCount(n);
  chart.SetPointCount(50);
  chart.yAxis.label = "Chiller Entering Condenser Temp. (F)";
  chart.xAxis.label = "Chiller Load (%)";
  double ymin = 10000, ymax = 0, xmax = 0;
  ChillerCurves(chart, [&](int c, double bl, int on) {
    const double load = bl * 3 / on;
    const double y = 65 + 0.2 * load + (on != 1 ? (2 * c - 1 - on) * 0.5 : 0);
    ymin = std::min(ymin, y);
    ymax = std::max(ymax, y);
    xmax = std::max(xmax, load);
    return QPointF(load, y);
  });
  chart.yAxis.scale = Scale::Manual(ymin - 0.05 * ymax, ymax * 1.05);
  chart.xAxis.scale = Scale::Manual(0, xmax * 1.05);
}

void CoolingDuty(Chart& chart) {
  chart.Reset(ChartType::Xy);
  chart.emptyValue = -20;
  chart.plot = Plot::Area;
  chart.SetSeriesCount(4);
  const char* labels[] = {"Mechanical Cooling", "Hybrid - Mechanical Cooling", "Hybrid - Free Cooling", "Free Cooling"};
  const QColor colors[] = {QColor(255, 0, 0), QColor(255, 120, 120), QColor(146, 208, 80), QColor(0, 176, 80)};
  for (int s = 0; s < 4; ++s) {
    chart.series(s).label = labels[s];
    chart.series(s).color = colors[s];
  }
  // Bins from 98 F down to 38 F; mechanical above 62 F, hybrid from 50 F, free cooling below.
  const int bins = 16;
  auto temp = [](int b) { return 98.0 - 4 * b; };
  auto mode = [&](int b) { return temp(b) > 62 ? 0 : temp(b) >= 50 ? 1 : 2; };
  auto total = [&](int b) { return 40000 * std::exp(-std::pow((temp(b) - 70) / 18, 2)) + 2000; };
  auto freePart = [&](int b) { return std::clamp((62 - temp(b)) / 14, 0.0, 1.0) * total(b); };
  chart.SetPointCount(bins + 2);
  chart.yAxis.label = "Annual Cooling (ton-hr)";
  chart.xAxis.label = "Bin Temperature (F)";
  for (int s = 0; s < 4; ++s) {
    for (int p = 0; p < chart.PointCount(); ++p) chart.SetPoint(s, p, 0, *chart.emptyValue);
  }
  auto put = [&](int m, int p, double x, double tot, double free) {
    if (m == 0) chart.SetPoint(0, p, x, tot);
    if (m == 1) {
      chart.SetPoint(1, p, x, tot);
      chart.SetPoint(2, p, x, free);
    }
    if (m == 2) chart.SetPoint(3, p, x, tot);
  };
  int p = 0;
  double ymax = 0;
  for (int b = 0; b < bins; ++b) {
    if (b > 0 && mode(b) != mode(b - 1)) {
      const double x = (temp(b) + temp(b - 1)) / 2;
      const double tot = (total(b) + total(b - 1)) / 2;
      const double free = (freePart(b) + freePart(b - 1)) / 2;
      put(mode(b - 1), p, x, tot, free);
      put(mode(b), p, x, tot, free);
      ++p;
    }
    put(mode(b), p++, temp(b), total(b), freePart(b));
    ymax = std::max(ymax, total(b));
  }
  chart.yAxis.scale = Scale::Manual(0, ymax * 1.03);
}

void CoolingDutySummary(Chart& chart) {
  chart.Reset(ChartType::Bar);
  chart.title = "% ton-hr by Operating Mode";
  chart.xAxis.label = "";
  chart.yAxis.label = "% ton-hr by Operating Mode";
  chart.SetPointCount(1);
  chart.SetPointLabel(0, "");
  chart.SetSeriesCount(3);
  const double pct[] = {71.4, 17.9, 10.7};
  const char* names[] = {"Mechanical Clg. : ", "Hybrid Clg. : ", "Free Clg. : "};
  const QColor colors[] = {QColor(255, 0, 0), QColor(146, 208, 80), QColor(0, 176, 80)};
  for (int b = 0; b < 3; ++b) {
    chart.series(b).color = colors[b];
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%%", pct[b]);
    chart.series(b).label = names[b] + std::string(text);
    chart.SetY(b, 0, pct[b]);
  }
}

void Performance(Chart& chart) {
  chart.Reset(ChartType::Xy);
  chart.plot = Plot::Bars;
  chart.rightPlot = Plot::LineAndPoints;
  chart.SetSeriesCount(2);
  chart.SetPointCount(50);
  chart.series(0).label = "Cooling ton-hr";
  chart.series(0).color = QColor(0, 191, 0);
  chart.series(1).label = "Chiller System kW/ton";
  chart.series(1).marker = Marker::Square;
  chart.series(1).color = QColor(0, 0, 0);
  chart.series(1).axis = YAxis::Right;
  chart.xAxis.label = "Building Load (%)";
  chart.yAxis.label = "Cooling ton-hr Per Year";
  chart.rightAxis.label = "Chiller System  kW/ton";
  double cmax = 0, emin = 10000, emax = 0, xmax = 0;
  for (int b = 0; b < 20; ++b) {
    const double x = 5.0 * (b + 1);
    const double cooling = std::round(60000 * std::exp(-std::pow((x - 55) / 25, 2)));
    const double eff = std::round((0.55 + 0.0025 * std::pow(x - 60, 2) / 10) * 1000) / 1000;
    chart.SetPoint(0, b, x, cooling);
    chart.SetPoint(1, b, x, eff);
    cmax = std::max(cmax, cooling);
    emin = std::min(emin, eff);
    emax = std::max(emax, eff);
    xmax = std::max(xmax, x);
  }
  chart.yAxis.scale = Scale::Manual(0, cmax * 1.03);
  chart.xAxis.scale = Scale::Manual(0, xmax * 1.03);
  chart.rightAxis.scale = Scale::Manual(emin * 0.97, emax * 1.03);
}

void SummaryBars(Chart& chart) {
  chart.Reset(ChartType::Bar);
  chart.title = "First Costs";
  chart.xAxis.label = "";
  chart.yAxis.label = "";
  chart.SetSeriesCount(1);
  chart.SetPointCount(4);
  chart.series(0).color = QColor(0, 0, 191);
  const double costs[] = {1250000, 1410000, 1185000, 1622500};
  const char* money[] = {"$1,250,000", "$1,410,000", "$1,185,000", "$1,622,500"};
  double lo = 1e20, hi = -1e20;
  for (int p = 0; p < 4; ++p) {
    chart.SetPointLabel(p, std::string(1, static_cast<char>('A' + p)));
    chart.SetY(0, p, costs[p]);
    chart.AddAnnotation(p + 1, costs[p], money[p]);
    lo = std::min(lo, costs[p]);
    hi = std::max(hi, costs[p]);
  }
  if (lo >= 0) lo = -0.00001;
  chart.yAxis.scale = Scale::Manual(lo, hi * 0.6 + hi);
}

void MonthlyEnergy(Chart& chart) {
  chart.Reset(ChartType::Xy);
  chart.emptyValue = -20;
  chart.plot = Plot::Line;
  chart.SetSeriesCount(3);
  const char* names[] = {"Base Plant", "Variable Speed Chillers", "Free Cooling Retrofit"};
  const QColor colors[] = {QColor(180, 0, 0), QColor(0, 180, 0), QColor(0, 0, 180)};
  for (int s = 0; s < 3; ++s) {
    chart.series(s).label = names[s];
    chart.series(s).color = colors[s];
    chart.series(s).lineWidth = 1.5;
  }
  chart.SetPointCount(12);
  chart.yAxis.label = "Energy Cost ($ / Month)";
  chart.xAxis.label = "Month";
  double ymax = 0;
  for (int a = 0; a < 3; ++a) {
    for (int m = 1; m <= 12; ++m) {
      const double v = std::round((9000 + 7000 * std::sin((m - 4) * 3.14159 / 6)) * (1 - 0.12 * a));
      ymax = std::max(ymax, v);
      chart.SetPoint(a, m - 1, m, v);
      chart.SetPointLabel(m - 1, std::string(1, "JFMAMJJASOND"[m - 1]));
    }
  }
  chart.yAxis.scale = Scale::Manual(0, ymax * 1.03);
}

void NetCashFlow(Chart& chart) {
  chart.Reset(ChartType::Bar);
  const int years = 20;
  chart.SetSeriesCount(1);
  chart.SetPointCount(years + 1);
  chart.series(0).color = QColor(0, 191, 0);
  chart.xAxis.label = "Year";
  chart.yAxis.label = "Actual Value (Net Cash Flow $)";
  double lo = 1e20, hi = -1e20;
  for (int y = 0; y <= years; ++y) {
    const double v = y == 0 ? -160000 : y == 10 ? -25000 : 21000 + 900 * y;
    chart.SetPointLabel(y, std::to_string(y));
    chart.SetY(0, y, v);
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  chart.yAxis.scale = Scale::Manual(lo - 0.05 * hi, hi + 0.05 * hi);
}

void CashFlowComponents(Chart& chart) {
  chart.Reset(ChartType::Bar);
  const int years = 20;
  chart.SetSeriesCount(3);
  chart.SetPointCount(years + 1);
  const char* names[] = {"Additional Investment Cost", "Energy Cost Savings", "Maintenance Cost Savings"};
  const QColor colors[] = {QColor(191, 0, 191), QColor(0, 0, 191), QColor(0, 191, 191)};
  for (int s = 0; s < 3; ++s) {
    chart.series(s).label = names[s];
    chart.series(s).color = colors[s];
  }
  chart.xAxis.label = "Year";
  chart.yAxis.label = " Actual Value (Net Cash Flow $)";
  chart.yAxis.scale = Scale::Automatic();
  for (int y = 0; y <= years; ++y) {
    chart.SetPointLabel(y, std::to_string(y));
    chart.SetY(0, y, y == 0 ? -160000 : y == 10 ? -45000 : 0);
    chart.SetY(1, y, y == 0 ? 0 : 18000 + 800 * y);
    chart.SetY(2, y, y == 0 ? 0 : 3000 + 100 * y);
  }
}

void EfficiencyVsOat(Chart& chart) {
  chart.Reset(ChartType::Xy);
  chart.title = "Cooling System Efficiency vs. Outdoor Air Temperature";
  chart.plot = Plot::Bars;
  chart.rightPlot = Plot::Points;
  const int alternatives = 2, n = 14;
  chart.SetSeriesCount(1 + alternatives);
  chart.SetPointCount(chart.SeriesCount() * n);
  chart.series(0).label = "Cooling Load";
  chart.series(0).color = QColor(0, 150, 0);
  const Marker markers[] = {Marker::Square, Marker::Circle};
  const QColor colors[] = {QColor(255, 0, 0), QColor(0, 0, 255)};
  const char* names[] = {"1 - Base Plant", "2 - Variable Speed Chillers"};
  for (int a = 0; a < alternatives; ++a) {
    Series& s = chart.series(1 + a);
    s.label = names[a];
    s.marker = markers[a];
    s.color = colors[a];
    s.axis = YAxis::Right;
  }
  chart.xAxis.label = "Outdoor Air Temperature (F)";
  chart.yAxis.label = "Cooling Load (ton-hr)";
  chart.rightAxis.label = "System Efficiency (kW/ton)";
  double xmin = 1e20, xmax = -1e20, lmax = 0, emin = 1e20, emax = -1e20;
  for (int b = 0; b < n; ++b) {
    const double oat = 37 + 5 * b;
    const double load = std::round(30000 * std::exp(-std::pow((oat - 72) / 16, 2)));
    chart.SetPoint(0, b, oat, load);
    xmin = std::min(xmin, oat);
    xmax = std::max(xmax, oat);
    lmax = std::max(lmax, load);
    for (int a = 0; a < alternatives; ++a) {
      const double eff = std::round((0.45 + 0.006 * (oat - 37) + 0.08 * a) * 1000) / 1000;
      chart.SetPoint(1 + a, b, oat, eff);
      emin = std::min(emin, eff);
      emax = std::max(emax, eff);
    }
  }
  chart.xAxis.scale = Scale::Manual(xmin - 0.03 * xmin, xmax + 0.03 * xmax);
  chart.yAxis.scale = Scale::Manual(0, lmax + 0.03 * lmax);
  chart.rightAxis.scale = Scale::Manual(emin - 0.03 * emin, emax + 0.03 * emax);
}

std::vector<SampleGraph> AllGraphs() {
  const int full = kTextWidth - 400;
  const int dutyRight = kTextWidth - 7776 - 500;
  const int summaryWidth = (kTextWidth - 20) / 3;
  return {
      {"load_profile", LoadProfile, ChartType::Xy, full, 5760},
      {"condenser_temps", CondenserTemps, ChartType::Xy, full, 5760},
      {"performance", Performance, ChartType::Xy, full, 5760},
      {"cooling_duty", CoolingDuty, ChartType::Xy, 7776, 5040},
      {"cooling_duty_summary", CoolingDutySummary, ChartType::Bar, dutyRight, 5040},
      {"summary_bars", SummaryBars, ChartType::Bar, summaryWidth, 2160},
      {"monthly_energy", MonthlyEnergy, ChartType::Xy, full, 5760},
      {"net_cash_flow", NetCashFlow, ChartType::Bar, full, 5760},
      {"cash_flow_components", CashFlowComponents, ChartType::Bar, full, 5760},
      {"efficiency_vs_oat", EfficiencyVsOat, ChartType::Xy, kTextWidth - 4320 - 288 - 475 - 10, 5040 - 10},
  };
}

std::vector<SampleGraph> PartLoadReportGraphs() {
  const std::vector<SampleGraph> all = AllGraphs();
  std::vector<SampleGraph> five(all.begin(), all.begin() + 5);
  std::vector<SampleGraph> out;
  for (int i = 0; i < 12; ++i) out.push_back(five[static_cast<size_t>(i) % five.size()]);
  return out;
}

}  // namespace graph::sample
