// What the economic graphs share: the check of the counts read from CAL.DAT, values as
// printed, and the axis range rules.
#include <algorithm>
#include <cmath>

#include "app/reports/economics/economic_graphs.h"
#include "libs/vb/vberror.h"

namespace reports::economics {

void CheckEconomicResults(const EconSummaryData& summary) {
  const int systems = summary.nNumSystems;
  if (systems < 0 || systems > kMaxSystems)
    vb::Raise(vb::kSubscriptOutOfRange, "The results hold " + std::to_string(systems) + " alternatives (at most 4).");
  if (summary.nLifeCycleYears < 0 || summary.nLifeCycleYears > kMaxYears)
    vb::Raise(vb::kSubscriptOutOfRange,
              "The results hold a life cycle of " + std::to_string(summary.nLifeCycleYears) + " years (0 to 50).");
}

void CheckEconomicComparisons(const EconSummaryData& summary) {
  CheckEconomicResults(summary);
  const int systems = summary.nNumSystems;
  for (int k = 1; k < systems; ++k) {
    const EconCaseData& c = summary.Cases(k);
    for (int alternative : {static_cast<int>(c.nBaseSystem), static_cast<int>(c.nChallengerSystem)})
      if (alternative < 1 || alternative > systems)
        vb::Raise(vb::kSubscriptOutOfRange, "Comparison " + std::to_string(k) + " names alternative " +
                                                std::to_string(alternative) + " of " + std::to_string(systems) + ".");
  }
}

double AsPrinted(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  const double r = std::round(value * scale) / scale;
  return r == 0 ? 0.0 : r;  // never -0
}

Range ScaleRules(double minimum, double maximum) {
  if (minimum >= 0) minimum = -0.00001;
  if (maximum <= 0) maximum = 1.0;
  if (minimum > maximum) minimum = maximum - 0.00001;
  return {minimum, maximum};
}

Range PadRange(double minimum, double maximum, double fraction) {
  const double magnitude = std::max(std::abs(minimum), std::abs(maximum));
  if (magnitude == 0) return {0.0, 1.0};
  const double pad = fraction * magnitude;
  return {minimum == 0 ? 0.0 : minimum - pad, maximum + pad};
}

}  // namespace reports::economics
