// The values of the economic report's graphs, apart from the document: the monthly energy
// cost and use of every alternative, the net cash flow of each comparison and its three
// components, the annual system efficiency bars and the efficiency-versus-outdoor-temperature
// profiles, with the rules that choose their axis ranges. The report object
// (app/reports/economics/*.cpp) puts the charts into the document.
//
// Inputs are the economic results of CAL.DAT as the report object holds them: EconSummaryData
// (alternatives 1..nNumSystems, at most 4; years 0..nLifeCycleYears, at most 50; comparisons
// 1..nNumSystems - 1 of a challenger against its base) and SystemEconData 1..4. Those counts
// and indices come from a file: CheckEconomicResults refuses any outside its range before a
// graph reads an array with them. Values are stored in inch-pound units; every chart shows
// them in the unit system of modpublic::gUnits, each value as the report prints it.
// Chart fill functions take a chart in its starting state (graph::Chart::Reset).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/storage/result_records.h"
#include "libs/vb/vbarray.h"
#include "platform/graph/graph.h"

namespace reports::economics {

using SystemEconArray = vb::Array<SystemEconData, 1, 4>;

inline constexpr int kMaxSystems = 4;
inline constexpr int kMaxYears = 50;
inline constexpr int kBins = 24;

// Raises a run-time error (caught by the caller's guard) when the alternative count lies
// outside 0..4 or the life-cycle years outside 0..50.
void CheckEconomicResults(const EconSummaryData& summary);
// The same, and a comparison names an alternative outside 1..the count: for the graphs that
// draw the comparisons (an analysis without life-cycle costs makes none).
void CheckEconomicComparisons(const EconSummaryData& summary);

// The value rounded half away from zero to `decimals` places, as Format prints it.
double AsPrinted(double value, int decimals);

// A frame's place and size in twips.
struct FrameBox {
  int32_t x = 0, y = 0, width = 0, height = 0;
  bool operator==(const FrameBox&) const = default;
};

// An axis range.
struct Range {
  double min = 0;
  double max = 0;
  bool operator==(const Range&) const = default;
};

// The three rules of the bar and efficiency scales, in this order: a minimum not below 0
// becomes -0.00001, a maximum not above 0 becomes 1, a minimum above the maximum becomes
// maximum - 0.00001.
Range ScaleRules(double minimum, double maximum);

// Pads a data range outward by `fraction` of its larger magnitude, so that every value lies
// inside even when all are negative; a minimum of exactly 0 stays (bars stand on the axis);
// a range of zeros becomes 0..1.
Range PadRange(double minimum, double maximum, double fraction);

// ---- economic summary graphs --------------------------------------------------------------

// One bar graph of the economic summary: a bar per alternative (or per comparison), each with
// its data label; the plotted value may differ from the labelled one (see the list below).
struct SummaryGraph {
  std::string title;
  std::vector<std::string> labels;       // under the bars
  std::vector<double> plotted;           // bar heights
  std::vector<std::string> annotations;  // data labels
  double minimum = 1.0E+20;
  double maximum = -1.0E+20;
};
// For energy + life-cycle costs (type 2): first costs, energy + fuel costs, operating costs,
// total present worth (per alternative A..D), net present worth savings (per comparison
// "B vs A"; a saving of 0 or less is drawn as 0 with its real value as label) and internal
// rate of return ("n/a" for none); otherwise the energy + fuel costs alone. Money titles end
// with the currency in parentheses unless it is "$", which stands in the labels instead.
std::vector<SummaryGraph> EconomicSummaryGraphValues(const EconSummaryData& summary, const SystemEconArray& systems,
                                                     int typeOfCostCalcs);
// The bars of one summary graph, blue, on the Y range [minimum, 1.6 x maximum] after ScaleRules.
void FillSummaryChart(graph::Chart& chart, const SummaryGraph& values);
// The frames of the summary graphs: `columns` a row, each 2160 twips high and as wide as the
// text width less twice (offset + 10) allows, 10 twips apart; then one frame around them all.
struct SummaryFrames {
  std::vector<FrameBox> graphs;
  FrameBox enclosing;
};
SummaryFrames SummaryFrameGrid(int32_t textWidth, int graphs, int columns, int32_t offset);

// ---- monthly energy graphs ----------------------------------------------------------------

// Kind 1: each alternative's monthly energy cost; kind 2: its monthly electric energy use
// (kWh; with heat recovery on, the heating side's electric energy added). One line per
// alternative, months 1..12 labelled J..D, values rounded to whole numbers. The Y axis runs
// from 0 (or below, for credits) to 3 % above the largest value of all alternatives.
void FillEnergyChart(graph::Chart& chart, const EconSummaryData& summary, const SystemEconArray& systems, int kind,
                     const std::string& monthLabel);

// ---- net cash flow graphs ------------------------------------------------------------------

// One year of a comparison, base minus challenger (positive: the challenger saves).
struct CashFlowYear {
  double investment = 0;
  double energy = 0;
  double maintenance = 0;
  double net = 0;  // investment + energy + maintenance, in that order
};
std::vector<CashFlowYear> NetCashFlows(const SystemEconData& base, const SystemEconData& challenger, int years);

// "Challenger: <challenger> vs Base: <base>", names trimmed.
std::string ComparisonHeading(const SystemEconData& base, const SystemEconData& challenger);

// The net cash flow bars (one green series, years labelled 0..N), the range padded by 5 %.
void FillNetCashFlowChart(graph::Chart& chart, const std::vector<CashFlowYear>& years, const std::string& currency,
                          const std::string& yearLabel);
// The three component series side by side, on the range of all their values padded by 5 %.
void FillNetCashFlowCompChart(graph::Chart& chart, const std::vector<CashFlowYear>& years, const std::string& currency,
                              const std::string& yearLabel);

// ---- annual system efficiency graphs -----------------------------------------------------

// Kinds of the efficiency graphs and tables.
enum EfficiencyKind : int16_t { kCooling = 0, kHeating = 1, kCombined = 2 };

// The efficiency unit id of a graph of `kind`: alternative 1's efficiency type for cooling,
// the system efficiency id for heating and combined.
int32_t EfficiencyUnitOf(const SystemEconArray& systems, int kind);

// The highest bin (24 down to 1) whose outdoor temperature in alternative 1 is not 0; 0 when
// every one is 0.
int BinCount(const SystemEconData& first);

// The candidates of the three Y scales with ScaleRules applied.
Range AnnualEfficiencyScale(const EconSummaryData& summary, const SystemEconArray& systems, int kind);
Range BinLoadScale(const SystemEconArray& systems, int kind, int bins);
Range BinEfficiencyScale(const EconSummaryData& summary, const SystemEconArray& systems, int kind, int32_t unitId,
                         int bins);

// The annual efficiency of `kind` per alternative as bars labelled prefix & number, each with
// its printed value as data label; Y from the scale minimum to 1.6 x its maximum.
void FillAnnualEfficiencyChart(graph::Chart& chart, const EconSummaryData& summary, const SystemEconArray& systems,
                               int kind, const std::string& prefix);
// The annual energy + fuel cost per alternative, with money data labels.
void FillAnnualEnergyCostChart(graph::Chart& chart, const EconSummaryData& summary, const SystemEconArray& systems,
                               const std::string& prefix);
// Alternative 1's bin loads as bars on the left axis (cooling; for kind 2 also heating) and
// every alternative's bin efficiency as points on the right axis, against the bins' outdoor
// temperature.
void FillEfficiencyProfilesChart(graph::Chart& chart, const EconSummaryData& summary, const SystemEconArray& systems,
                                 int kind, const std::string& prefix);

// The frames of the efficiency graphs for a text width (twips): frame 1 the efficiency bars
// in a 4320-twip column on the left (below frame 3, the energy cost bars, for kind 2), frame
// 2 the profiles graph filling the rest of the width on the right.
struct EfficiencyFrames {
  FrameBox efficiency;  // frame 1
  FrameBox profiles;    // frame 2
  FrameBox energyCost;  // frame 3 (width and height 0 unless there are three frames)
};
EfficiencyFrames EfficiencyFrameLayout(int32_t textWidth, int frameCount);

// The formula under an annual efficiency table of `kind` for an efficiency unit id.
std::string AnnualEfficiencyFootnote(int32_t unitId, int kind);

// The gas boiler's share of the heating energy (kBtu): the heating energy less the heat
// recovery chiller's (kWh to kBtu); 0 when the efficiency is not shown (N/A), when the
// heating energy is 0, or when the share is below 1 % of it.
double GasBoilerEnergy(const SystemEconData& system, bool efficiencyShown);
// Whether an efficiency is shown as a number (|value| above 0.01) rather than "N/A".
bool EfficiencyShown(double efficiency);

}  // namespace reports::economics
