// Sample graphs of every kind the reports draw, filled the way the report sections fill them,
// with made-up plant data. Used by the graph example and the graph benchmark.
#pragma once

#include <string>
#include <vector>

#include "platform/graph/graph.h"

namespace graph::sample {

// Part-load report graphs.
void LoadProfile(Chart& chart);         // line: chiller load against building load, load bands
void CondenserTemps(Chart& chart);      // points: entering condenser water temperature
void CoolingDuty(Chart& chart);         // area: annual cooling by operating mode
void CoolingDutySummary(Chart& chart);  // bars: one group, three bars with a legend
void Performance(Chart& chart);         // bars on the left axis, line and points on the right

// Economic report graphs.
void SummaryBars(Chart& chart);         // bars: categories with data labels
void MonthlyEnergy(Chart& chart);       // line with month letters under the X axis
void NetCashFlow(Chart& chart);         // bars over the years, negative and positive
void CashFlowComponents(Chart& chart);  // three bar series per year, automatic scale
void EfficiencyVsOat(Chart& chart);     // bars on the left axis, points on the right

// One graph at the size the report draws it.
struct SampleGraph {
  std::string name;
  void (*fill)(Chart&);
  ChartType type;
  int width;  // twips
  int height;
};

// Every sample graph at its report size (text width 10800 twips).
std::vector<SampleGraph> AllGraphs();

// Twelve part-load graphs: the five of one part-load report (load, condenser and performance
// profiles, the cooling duty pair) taken in turn, at their report sizes.
std::vector<SampleGraph> PartLoadReportGraphs();

}  // namespace graph::sample
