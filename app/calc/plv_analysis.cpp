// The part-load (PLV) analysis of one system: set-up and bin preparation, the bin-by-bin
// simulation, the bin weights and the system part-load value, then the rating points, the
// graph profiles, CAL.DAT sections A and B and the result check.
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/calc/frmWait.h"
#include "app/calc/modCalcs.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

namespace {

constexpr const char* kNoLoadMessage =
    "The PLV analysis evaluates performance of the cooling-only chillers. "
    "In this plant the DHRC machine supplies all of the cooling. "
    "The cooling-only chillers never turn on. "
    "Therefore the custom PLV cannot be calculated.";

std::string ScheduleText(const WeatherData& w, int d) {
  std::string text;
  if (w.bDayOperated(d) == 0)
    text = "Off All Day:";
  else if (w.nStartTime(d) == w.nStopTime(d))
    text = "On All Day:";
  else
    text = vb::Format(w.nStartTime(d), "0000") + "-" + vb::Format(w.nStopTime(d), "0000") + ":";
  return vb::Left(text + " " + modpublic::GetDayTypeName(w.sDayTypeNames(d)), 25);
}

std::string PeriodText(const OperatingPeriod& p) {
  return modpublic::GetOpPeriodString(p.nFromMonth, p.nToMonth, p.nFromDay, p.nToDay);
}

// Full-load efficiency of one machine: the stored value, or power per capacity.
double DirectEfficiency(const ChillerData& ch) {
  if (ch.nFLPowerType == 0) return ch.fFLPower;
  return vb::Divide(ch.fFLPower, ch.fFLCapacity);
}

// kW/ton to output per kW when the report asks for it.
float Converted(double x, int16_t nEfficiencyInput) {
  if (nEfficiencyInput != 1) return static_cast<float>(x);
  return static_cast<float>(x) > 0.001f ? static_cast<float>(12.0 / x) : 0.0f;
}

// Result record i from slot i: names, capacity, efficiency and the type codes.
void FillChillerResult(const SystemData& sys, int i, const ChillerData& ch, const ChillerData* second,
                       int16_t nEfficiencyInput, ChillerResultData& r) {
  r.sSlotName = sys.sChillerNames(i);
  r.sChillerName = ch.sName;
  r.fCapacity = ch.fFLCapacity;
  if (second) {
    r.sChillerName = vb::Left(vb::Trim(ch.sName) + " + " + vb::Trim(second->sName), 35);
    r.fCapacity = ch.fFLCapacity + second->fFLCapacity;
  }
  r.nChillerType = ch.nType;
  const int type = ch.nType;
  if (type >= 1 && type <= 5) {
    double eff = 0;
    if (second) {
      const double c1 = ch.fFLCapacity, c2 = second->fFLCapacity;
      eff = ch.nFLPowerType == 0 ? vb::Divide(c1 * ch.fFLPower + c2 * second->fFLPower, c1 + c2)
                                 : vb::Divide(static_cast<double>(ch.fFLPower) + second->fFLPower, c1 + c2);
    } else {
      eff = DirectEfficiency(ch);
    }
    r.fFLEfficiency = Converted(eff, nEfficiencyInput);
    r.nCycleType = 1;
    r.nCondenserType = 2;
    r.nEfficiencyKind = 1;
  } else if (type >= 6 && type <= 9) {
    r.fFLEfficiency = static_cast<float>(DirectEfficiency(ch));
    r.nCycleType = type == 9 ? 1 : 2;
    r.nCondenserType = 2;
    if (type == 8) r.nEfficiencyKind = 2;
    // An engine-driven chiller burning gas (engine code 4) is rated like a direct-fired one.
    else if (type == 9)
      r.nEfficiencyKind = ch.nFuelType == 4 ? 2 : 3;
    else
      r.nEfficiencyKind = 3;
  } else if (type >= 10 && type <= 12) {
    r.fFLEfficiency = Converted(DirectEfficiency(ch), nEfficiencyInput);
    r.nCycleType = 1;
    r.nCondenserType = 1;
    r.nEfficiencyKind = 1;
  }
  r.fDesignLCHWT = ch.fDesignLCHWT;
  r.fDesignECWT = ch.fDesignECWT;
  r.fIPLV = ch.fIPLV;
  r.nFreeCoolingMode = ch.nFreeCoolingMode;
}

// Identical chillers share a group: pairs with equal four ids, singles with equal chiller
// and tower ids. The first member of each group is flagged.
void NumberGroups(const SystemData& sys, PLVProfileData& profile, int n) {
  int16_t group = 0;
  for (int a = 1; a <= n; ++a) {
    ChillerResultData& ra = profile.ChillerResults(a);
    if (ra.nGroup != 0) continue;
    ++group;
    ra.nGroup = group;
    ra.bFirstOfGroup = vb::kTrue;
    for (int b = a + 1; b <= n; ++b) {
      ChillerResultData& rb = profile.ChillerResults(b);
      if (rb.nGroup != 0) continue;
      const bool bothPairs = sys.nChillerIDs2(a) > 0 && sys.nChillerIDs2(b) > 0 &&
                             sys.nChillerIDs(a) == sys.nChillerIDs(b) && sys.nTowerIDs(a) == sys.nTowerIDs(b) &&
                             sys.nChillerIDs2(a) == sys.nChillerIDs2(b) && sys.nTowerIDs2(a) == sys.nTowerIDs2(b);
      const bool bothSingles = sys.nChillerIDs2(a) == 0 && sys.nChillerIDs2(b) == 0 &&
                               sys.nChillerIDs(a) == sys.nChillerIDs(b) && sys.nTowerIDs(a) == sys.nTowerIDs(b);
      if (bothPairs || bothSingles) {
        rb.nGroup = group;
        rb.bFirstOfGroup = vb::kFalse;
      }
    }
  }
}

// Checked 32-bit sum.
int32_t AddLong(int32_t a, int32_t b) { return vb::CLng(static_cast<double>(a) + b); }

}  // namespace

// The run summary's site, schedule, period and load-profile texts (both analyses).
void frmWait::FillRunSummary(const WeatherData& w, const LoadProfileData& lp, PLVSummaryData& s) {
  s.sCityName = vb::Left(w.sName, 41);
  for (int d = 0; d <= 2; ++d) s.sDaySchedules(d) = ScheduleText(w, d);
  s.nNumPeriods = 1;
  if (w.nPeriodMode == 0) {
    s.sPeriods(0) = "Full Year";
  } else if (w.nNumPeriods == 2) {
    s.nNumPeriods = 2;
    s.sPeriods(0) = vb::Left("Period 1: " + PeriodText(w.OperatingPeriods(1)), 25);
    s.sPeriods(1) = vb::Left("Period 2: " + PeriodText(w.OperatingPeriods(2)), 25);
  } else {
    s.sPeriods(0) = vb::Left(PeriodText(w.OperatingPeriods(1)), 25);
  }
  s.sLoadProfileName = lp.sName;
  s.SetProfileKind(lp.ProfileKind());
  s.fPeakLoad = lp.fPeakLoad;
  s.fPeakLoadTemp = lp.PeakLoadTemp();
  s.fLoad2 = lp.Load2();
  s.fLoad2Temp = lp.Load2Temp();
  s.fLoad3 = lp.Load3();
  s.fLoad3Temp = lp.Load3Temp();
  s.bAirEconomizer = lp.bAirEconomizer;
  s.fEconomizerLimitDB = lp.fEconomizerLimitDB;
}

bool frmWait::bPLVAnalysisController(SystemData& system, int16_t& nEfficiencyInput, bool& bCalcErrors) {
  bool result = false;
  modpublic::RunGuarded("bPLVAnalysisController", m_sErrorPrefix, ui::kExclamation,
                        [&] { result = PLVAnalysis(system, nEfficiencyInput, bCalcErrors); });
  ReleasePlant();  // the engine of this run ends on every way out
  return result;
}

bool frmWait::PLVAnalysis(SystemData& system, int16_t nEfficiencyInput, bool& bCalcErrors) {
  if (!modDataIO::bLockDataFolder()) return false;
  m_bEngineError = false;
  if (!modpublic::UpdateProgress(modpublic::kProgressCalculating, 40, "System Part Load Value")) return false;
  CreatePlant();
  WeatherData weather;
  LoadProfileData load;
  if (!modDataIO::bWeatherRead(weather)) return false;
  if (!modDataIO::bLoadProfileRead(load)) return false;

  const int n = system.nNumChillers;
  if (n < 0 || n > 30)
    vb::Raise(vb::kSubscriptOutOfRange, "The system \"" + vb::Trim(system.sName) + "\" has " + std::to_string(n) +
                                            " chillers; at most 30 are allowed.");
  if (weather.nNumBins < 0 || weather.nNumBins > 24)
    vb::Raise(vb::kSubscriptOutOfRange, "The weather data has " + std::to_string(weather.nNumBins) +
                                            " temperature bins; at most 24 are allowed.");

  // The part-load value leaves the chilled-water pumps out.
  system.fEvapPumpHead = 0;
  system.fChilledWaterPumpHead = 0;
  system.fChwPumpControlValue = 0;

  std::vector<ChillerData> chillers;
  std::vector<TowerData> towers;
  std::vector<float> firstECWT, lastECWT;
  auto wellTable = std::make_unique<WellWaterTable>();
  if (!bSimEngineSetup(system, chillers, towers, weather, firstECWT, lastECWT, *wellTable)) return false;
  if (!modDataIO::bCalcWriteHeaderData()) return false;

  PLVSummaryData summary;
  FillRunSummary(weather, load, summary);

  auto profilePtr = std::make_unique<PLVProfileData>();
  PLVProfileData& profile = *profilePtr;
  profile.sSystemName = system.sName;
  profile.nNumChillerResults = static_cast<int16_t>(n);
  profile.nPlantControl = system.nPlantControl;
  profile.fDesignLCHWT = system.fDesignLCHWT;
  profile.nSingleTower = system.nSingleTower;
  profile.bWaterEconomizer = system.bWaterEconomizer;
  profile.nEconomizerType = system.nEconomizerType;
  profile.nHeatRecoveryMode = system.nHeatRecoveryMode;

  int sharedSlot = 0;
  for (int i = 1; i <= n; ++i) {
    const ChillerData& ch = chillers[i - 1];
    std::unique_ptr<ChillerData> second;
    if (ocwPlant()->Chillers().Item(i).Paired()) {
      second = std::make_unique<ChillerData>();
      // The pair's name, capacity and efficiency need its second machine.
      if (!modDataIO::bChillerRead(system.nChillerIDs2(i), *second)) return false;
    }
    ChillerResultData& r = profile.ChillerResults(i);
    FillChillerResult(system, i, ch, second.get(), nEfficiencyInput, r);
    if (ch.nType >= 6 && ch.nType <= 9) profile.bAnyHeatDriven = vb::kTrue;
    if (sharedSlot == 0 && ch.nType >= 1 && ch.nType <= 9) sharedSlot = i;
    if (ch.nFreeCoolingMode != 0) profile.bAnyFreeCooling = vb::kTrue;
  }

  if (system.nSingleTower == 1) {
    if (sharedSlot == 0)
      vb::Raise(vb::kInvalidProcedureCall, "The system \"" + vb::Trim(system.sName) +
                                               "\" shares one cooling tower or dry cooler but has no "
                                               "water-cooled chiller to serve.");
    const TowerData& tw = towers[sharedSlot - 1];
    profile.sTowerName = tw.sName;
    profile.nTowerEqptType = tw.nEqptType;
    if (tw.nEqptType == Well_Water)
      profile.fWellWaterTemp = tw.fTowerTable(13);
    else if (tw.nEqptType == Cooling_Tower || tw.nEqptType == Dry_Cooler)
      profile.fWellWaterTemp = 0;
  }
  NumberGroups(system, profile, n);

  // Bins.
  int16_t last = 0;
  for (int b = 1; b <= weather.nNumBins; ++b)
    if (load.fBinLoad(b) > 0 && weather.lBinHours(b) > 0) last = static_cast<int16_t>(b);
  profile.nLastLoadBin = last;
  double largest = 0;
  for (int b = 1; b <= last; ++b) {
    PLVBinData& bin = profile.Bins(b);
    bin.fDB = weather.fBinDB(b);
    bin.fMCWB = weather.fBinMCWB(b);
    bin.lHours = weather.lBinHours(b);
    bin.fHRCooling = 0;
    bin.fLoad = load.fBinLoad(b) - bin.fHRCooling;
    if (std::fabs(bin.fLoad) < 0.01f) bin.fLoad = 0;
    if (static_cast<float>(largest) < bin.fLoad) largest = bin.fLoad;
    bin.lLoadHours = vb::CLng(static_cast<double>(bin.fLoad) * bin.lHours);
    profile.lTotalHours = AddLong(profile.lTotalHours, bin.lHours);
    profile.lTotalLoadHours = AddLong(profile.lTotalLoadHours, bin.lLoadHours);
  }
  if (std::fabs(largest) < 0.01) {
    ui::host().messageBox(kNoLoadMessage, ui::kExclamation, "");
    return false;
  }
  for (int b = 1; b <= last; ++b)
    profile.Bins(b).fLoadPercent = static_cast<float>(profile.Bins(b).fLoad * 100.0 / largest);

  return SimulateBins(system, chillers, *wellTable, nEfficiencyInput, summary, profile, bCalcErrors);
}

bool frmWait::SimulateBins(const SystemData& system, const std::vector<ChillerData>& chillers,
                           const WellWaterTable& wellTable, int16_t nEfficiencyInput, PLVSummaryData& summary,
                           PLVProfileData& profile, bool& bCalcErrors) {
  cCwPlant& plant = *m_Plant;
  const int n = profile.nNumChillerResults;
  const bool heatDriven = profile.bAnyHeatDriven != 0;
  int16_t unmetBins = 0;
  float largestUnmet = 0;

  for (int b = 1; b <= profile.nLastLoadBin; ++b) {
    PLVBinData& bin = profile.Bins(b);
    if (bin.lHours <= 0) continue;
    plant.OutdoorDryBulb(bin.fDB);
    plant.OutdoorWetBulb(bin.fMCWB);
    plant.CoolingLoad(bin.fLoad * 12.0);
    for (int j = 1; j <= n; ++j)
      if (plant.HeatRejectionMode(j) == 1) plant.WellWaterTemp(j, wellTable(j, 13));
    if (!(plant.CoolingLoad() > 0.001)) continue;
    plant.CalcPlant();
    if (m_bEngineError) return false;

    if (plant.LoadNotMet() > 0) {
      ++unmetBins;
      if (static_cast<float>(plant.CoolingLoad()) > largestUnmet)
        largestUnmet = static_cast<float>(plant.CoolingLoad());
    }
    bin.nChillersOn = static_cast<int16_t>(plant.ChillersOn());
    bin.fECWT = static_cast<float>(plant.ECWT());

    if (plant.FreeCoolingOn()) {
      double fcTonHours = bin.lHours * plant.FreeCoolingLoad() / 12.0;
      if (fcTonHours > bin.lLoadHours || plant.ChillersOn() == 0) fcTonHours = bin.lLoadHours;
      profile.lTotalLoadHours = vb::CLng(profile.lTotalLoadHours - fcTonHours);
      bin.lLoadHours = vb::CLng(bin.lLoadHours - fcTonHours);
    }

    for (int j = 1; j <= n; ++j) {
      cChiller& ch = plant.Chillers().Item(j);
      ChillerResultData& r = profile.ChillerResults(j);
      const double load = ch.Load();
      const bool on = load > 0.001;
      r.bBinOn(b) = vb::ToBoolean(on);
      r.fBinLoad(b) = static_cast<float>(load / 12.0);
      double capacity = ch.Capacity();
      if (ch.Paired()) capacity += plant.PairedChillers().Item(j).Capacity();
      // A percent load only for a running chiller with a capacity to divide by.
      r.fBinLoadPercent(b) = on && capacity > 0 ? static_cast<float>(load * 100.0 / capacity) : 0.0f;
      if (on) bin.fChillerPctLoad = r.fBinLoadPercent(b);
      r.fBinFreeCoolingLoad(b) = static_cast<float>(ch.FreeCoolingLoad() / 12.0);
      r.vBinValues(b) = ch.Power();

      const bool electric = r.nEfficiencyKind == 1;
      if (on) {
        if (electric) {
          if (nEfficiencyInput == 0)
            r.fBinEfficiency(b) = static_cast<float>(ch.Power() / (load / 12.0));
          else
            r.fBinEfficiency(b) = ch.Power() > 0.001 ? static_cast<float>(load / ch.Power()) : 0.0f;
          r.fBinFreeCoolingPower(b) = static_cast<float>(ch.FreeCoolingPower());
        } else if (ch.GenHeat() > 0 || ch.Power() > 0) {
          r.fBinEfficiency(b) = static_cast<float>(vb::Divide(load, ch.Power() * 3.412 + ch.GenHeat()));
        }
      }
      r.fBinECWT(b) = static_cast<float>(ch.ECWT());
      if (r.nCondenserType == 2 && r.fBinECWT(b) == chillers[j - 1].fMinECWT) r.bMinECWTReached = vb::kTrue;

      if (on) {
        if (heatDriven) {
          if (plant.CoolingLoad() > 0.001) {
            // A heat-driven machine adds its load over its efficiency; one without an
            // efficiency (no input reported) adds its input directly instead of dividing by 0.
            if (electric) {
              if (ch.Power() > 0) bin.fInput += static_cast<float>(ch.Power() * 3.412);
            } else if (r.fBinEfficiency(b) != 0) {
              bin.fInput += static_cast<float>(r.fBinLoad(b) * 12.0 / r.fBinEfficiency(b));
            } else {
              bin.fInput += static_cast<float>(ch.Power() * 3.412 + ch.GenHeat());
            }
          }
        } else {
          bin.fInput += static_cast<float>(ch.Power());
        }
        bin.fFreeCoolingLoad += static_cast<float>(ch.FreeCoolingLoad() / 12.0);
        bin.fFreeCoolingPower += static_cast<float>(ch.FreeCoolingPower());
      }
    }

    const double L = plant.CoolingLoad();
    if (heatDriven) {
      bin.fEfficiency = bin.fInput > 0.001 ? static_cast<float>(L / bin.fInput) : 0.0f;
    } else if (L > 0.001) {
      if (nEfficiencyInput == 0)
        bin.fEfficiency = static_cast<float>(bin.fInput * 12.0 / L);
      else if (bin.fInput > 0.001)
        bin.fEfficiency = static_cast<float>(L / bin.fInput);
    }
  }

  // Bin weights: each bin's share of the ton-hours.
  profile.fWeightSum = 0;
  if (profile.lTotalLoadHours > 0) {
    for (int b = 1; b <= profile.nLastLoadBin; ++b) {
      PLVBinData& bin = profile.Bins(b);
      bin.fWeight = static_cast<float>(static_cast<double>(bin.lLoadHours) / profile.lTotalLoadHours);
      profile.fWeightSum += bin.fWeight;
    }
  }

  // System part-load value: weighted sum of output/input efficiencies, or for kW/ton the
  // reciprocal of the weighted sum of reciprocals.
  profile.fProductSum = 0;
  const bool product = heatDriven || nEfficiencyInput != 0;
  for (int b = 1; b <= profile.nLastLoadBin; ++b) {
    PLVBinData& bin = profile.Bins(b);
    if (product) {
      bin.fWeightedEff = bin.fEfficiency * bin.fWeight;
      profile.fProductSum += bin.fWeightedEff;
      profile.fPLV = profile.fProductSum;
    } else {
      if (bin.fEfficiency > 0) bin.fWeightedEff = bin.fWeight / bin.fEfficiency;
      profile.fProductSum += bin.fWeightedEff;
    }
  }
  if (!product && profile.fProductSum != 0) profile.fPLV = 1.0f / profile.fProductSum;

  if (!modpublic::UpdateProgress(modpublic::kProgressCalculating, 70, "Custom PLV Factors")) return false;
  if (!modCalcs::bCalcCPLV(profile)) return false;
  if (!modpublic::UpdateProgress(modpublic::kProgressCalculating, 100, "Finished")) return false;
  bool profilesOk = false;
  if (!bCalcGraphProfiles(profile, wellTable, profilesOk) || !profilesOk) return false;
  if (!modDataIO::bCalcWritePLVData(summary, profile)) return false;
  return modCalcs::bCalcCheckResults(system.sName, unmetBins, largestUnmet, bCalcErrors);
}
