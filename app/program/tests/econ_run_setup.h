// The scratch records of an economic run of the default project's two plants (sequenced and
// equal unloading), shared by the end-to-end test and the benchmark.
#pragma once

#include <cstdint>

namespace econruntest {

// The set-up of the scratch records (frmMain::SetupCalculationData), report options for an
// economic run with life-cycle costs (every section the template selects), and ECO.DAT, which
// has no template: dollars, `years` of life cycle, 7 % discount rate, 3 % energy and 2 %
// maintenance escalation, 0.12 $/kWh and 15 $/kW. The data folder must be prepared
// (frmMain::PrepareDataFiles). False when a record could not be written (its box was shown).
bool WriteEconomicRun(int16_t years);

}  // namespace econruntest
