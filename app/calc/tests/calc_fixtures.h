// Shared fixtures of the calculation tests: a scratch folder with an empty system library,
// and a small plant (two 600-ton water-cooled chillers, each with a cooling tower) with a
// five-bin site, written through the storage layer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/storage/result_records.h"
#include "app/storage/scratch_records.h"

namespace calctest {

// A fresh scratch folder (with an empty INX.MDB) made the program's data folder for the
// object's lifetime.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }  // ends with "/"
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
  std::string previous_;
};

// 600-ton centrifugal chiller, 44 F leaving water, per-ton input map over ECWT 85/75/65/55
// and loads 100/75/50/25/10 %, minimum ECWT 60 F, 1800 gpm condenser water.
ChillerData Chiller600();
// Cooling tower for it: design wet bulb 78, approach 7, range 9.3, 1800 gpm.
TowerData Tower600();
// Two slots "CH-1", "CH-2" of chiller 1 and tower 1, sequenced, 44 F.
SystemData TwoChillerSystem();
// Five bins 95..55 F with their hours, and a load profile peaking at 1,000 tons.
WeatherData FiveBinWeather();
LoadProfileData FiveBinLoad();
// A PLV run of system 1 in kW/ton.
ReportData PLVReport();

// 24 bins from 97.5 F down to -17.5 F in 5 F steps, and a load profile peaking at
// 1,032.5 tons (base load plus an envelope share above 40 F).
WeatherData Bins24Weather();
LoadProfileData Bins24Load();

// Writes the plant, the site (five bins unless given) and the report records into the
// scratch folder; false when a write failed (its box has been shown).
bool WriteDefaultPlant();
bool WriteDefaultPlant(const WeatherData& weather, const LoadProfileData& load);

// A part-load result small enough to compute by hand: three bins (95, 85, 75 F; 100, 200
// and 300 hours) and three chillers, CH-1 and CH-2 (500 tons, 0.6 kW/ton) identical and
// pooled, CH-3 (200 tons, 0.7 kW/ton) on its own. Per bin (load tons @ percent, ECWT):
//   CH-1  500 @ 100 %, 85 F | 375 @ 75 %, 80 F | 250 @ 50 %, 70 F
//   CH-2  500 @ 100 %, 85 F | off              | off
//   CH-3  100 @ 50 %, 84 F  | 50 @ 25 %, 78 F  | off
// The rating points are grouped by the calculation (deg C hours in SI): the pool's weighting
// factors are 0, 0.3, 0.3, 0.4 and ECWTs 0, 70, 80, 85 F at 25..100 %; CH-3's 0.5, 0.5, 0, 0
// and 78, 84, 0, 0 F.
std::unique_ptr<PLVProfileData> ThreeChillerProfile(bool si = false);
PLVSummaryData ThreeChillerSummary();

// The bytes of a file ("" when missing).
std::string ReadFile(const std::string& path);
// ERR.DAT lines joined as they are on disk.
std::string Lines(const std::vector<std::string>& lines);

}  // namespace calctest
