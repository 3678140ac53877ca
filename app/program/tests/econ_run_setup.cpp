#include "app/program/tests/econ_run_setup.h"

#include <fstream>

#include "app/program/frmMain.h"
#include "app/storage/modDataIO.h"
#include "app/storage/record_codec.h"

namespace econruntest {

bool WriteEconomicRun(int16_t years) {
  if (!frmMain::SetupCalculationData()) return false;
  ReportData options;
  if (!modDataIO::bReportsRead(options)) return false;
  options.ReportType = 1;
  options.nTypeOfCostCalcs = 2;
  if (!modDataIO::bReportsWrite(options)) return false;
  // The shipped template's prices and units, with the run's own terms.
  EconomicsData eco;
  if (!modDataIO::bEconomicsRead(eco)) return false;
  eco.sCurrency = "$";
  eco.nLifeCycleYears = years;
  eco.fDiscountRate = 7;
  eco.fElecEscalation = 3;
  eco.fMaintEscalation = 2;
  eco.fElecRate = 0.12f;
  eco.fDemandRate = 15;
  std::ofstream file(modDataIO::DataFolder() + "ECO.DAT", std::ios::binary);
  file << modDataIO::codec::Encode(eco);
  return static_cast<bool>(file);
}

}  // namespace econruntest
