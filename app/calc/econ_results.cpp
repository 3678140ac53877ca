// Results of one simulated bin on the economics path: the transfer of the engine's results
// into the month's record, the completion of the bin and its monthly and per-bin sums, and
// the month's place in the CAL.DAT block.
#include <cstring>
#include <string>
#include <vector>

#include "app/calc/econ_results.h"
#include "app/calc/frmWait.h"
#include "app/storage/modpublic.h"
#include "app/storage/vbcompat.h"
#include "platform/ui/ui.h"

namespace {

constexpr std::size_t kBlockBytes = 18432;

// Moves every field of the month between the record and the block's bytes in stored order.
template <class Bytes, class Rec>
void Walk(Bytes* bytes, Rec& r, bool toBytes) {
  std::size_t at = 0;
  auto field = [&](auto& array) {
    using T = typename std::remove_reference_t<decltype(array)>::value_type;
    const std::size_t n = array.size() * sizeof(T);
    if (toBytes) std::memcpy(bytes + at, array.begin(), n);
    else std::memcpy(const_cast<T*>(array.begin()), bytes + at, n);
    at += n;
  };
  field(r.fBinDB);
  field(r.fBinWB);
  field(r.fBinHours);
  field(r.fBldgLoad);
  field(r.fFreeCooling);
  field(r.nChillersOn);
  field(r.nLoadPct);
  field(r.fPriChWPump);
  field(r.fSecChWPump);
  field(r.fCondPump);
  field(r.fHeatRejFans);
  field(r.fTotalKW);
  field(r.fTonHrs);
  field(r.fKWh);
  field(r.fGas);
  field(r.fSteam);
  field(r.bChillerOn);
  field(r.fChillerLoad);
  field(r.fChillerPower);
  field(r.fChillerGenHeat);
  field(r.fChillerECT);
  field(r.fChillerLCHWT);
  field(r.fHeatLoad);
  field(r.fRecoveryCooling);
  field(r.fRecoveredHeat);
  field(r.fRecoveryKW);
  field(r.fRecoveryPumpKW);
  field(r.fElecHeatKW);
  field(r.fHeatFuel);
  field(r.fHeatKW);
  field(r.fHeatLoadHrs);
  field(r.fHeatKWh);
  field(r.fHeatFuelHrs);
  field(r.fExtraPumpKW);
  if (at != kBlockBytes) vb::Raise(vb::kInvalidProcedureCall, "The monthly results do not fill their block.");
}

}  // namespace

static_assert(sizeof(float) * 24 * 192 == kBlockBytes);

SimMonthData PackSimMonth(const SimMonthResults& r) {
  std::vector<unsigned char> bytes(kBlockBytes);
  Walk(bytes.data(), const_cast<SimMonthResults&>(r), true);
  SimMonthData block;
  std::memcpy(block.fValues.begin(), bytes.data(), kBlockBytes);
  return block;
}

SimMonthResults UnpackSimMonth(const SimMonthData& block) {
  std::vector<unsigned char> bytes(kBlockBytes);
  std::memcpy(bytes.data(), block.fValues.begin(), kBlockBytes);
  SimMonthResults r;
  Walk(bytes.data(), r, false);
  return r;
}

bool frmWait::TransferCoolingSimulationResultsToBrimlowStructure(int16_t b, int16_t m, bool bIncludePumpEnergy,
                                                                 bool bIncludeTowerEnergy,
                                                                 const std::vector<ChillerData>& chillers,
                                                                 const SystemData& system, const WeatherData& weather,
                                                                 SimMonthResults& r) {
  return modpublic::RunGuarded("TransferCoolingSimulationResultsToBrimlowStructure", m_sErrorPrefix,
                               ui::kExclamation, [&] {
    if (!plant_) vb::Raise(vb::kObjectRequired, "No plant engine has simulated the bin.");
    cCwPlant& plant = *plant_;
    // With a heat-recovery machine in slot 1 the cooling slots are the engine's chillers 2...
    const int offset = system.nHeatRecoveryMode == 2 ? 1 : 0;
    const int n = system.nNumChillers - offset;

    r.fBinDB(b) = static_cast<float>(plant.BinDryBulb());
    r.fBinWB(b) = static_cast<float>(plant.BinWetBulb());
    r.fBinHours(b) = static_cast<float>(weather.lMonthBinHours(m, b));
    r.fBldgLoad(b) = static_cast<float>(plant.BinLoad());
    if (plant.FreeCoolingOn()) r.fFreeCooling(b) = static_cast<float>(plant.FreeCoolingLoad());
    r.nChillersOn(b) = vb::CInt(plant.ChillersOn());

    for (int i = 1; i <= n; ++i) {
      const int e = i + offset;
      cChiller& ch = plant.Chillers().Item(e);
      const double load = ch.Load();
      if (!(load > 0.001)) {
        r.bChillerOn(i, b) = vb::kFalse;
        continue;
      }
      r.bChillerOn(i, b) = vb::kTrue;
      r.fChillerLoad(i, b) = static_cast<float>(load);
      double capacity = ch.Capacity();
      if (ch.Paired()) capacity += plant.PairedChillers().Item(e).Capacity();
      if (capacity > 0) r.nLoadPct(b) = vb::CInt(load * 100.0 / capacity);

      const ChillerData& rec = chillers.at(static_cast<std::size_t>(e - 1));
      const float power = static_cast<float>(ch.Power());
      const float heat = static_cast<float>(ch.GenHeat());
      switch (rec.nType) {
        case 1: case 2: case 3: case 4: case 5: case 10: case 11: case 12:
          r.fChillerPower(i, b) = power;
          break;
        case 6: case 7: case 8:
          r.fChillerPower(i, b) = power;
          r.fChillerGenHeat(i, b) = heat;
          (rec.nType == 8 ? r.fGas(b) : r.fSteam(b)) += heat;
          break;
        case 9:
          r.fChillerPower(i, b) = power;
          if (rec.nFuelType == 4) r.fGas(b) += heat;
          else if (rec.nFuelType == 8) r.fSteam(b) += heat;
          break;
        default:
          break;
      }
      r.fChillerECT(i, b) = static_cast<float>(ch.ECWT());
      r.fChillerLCHWT(i, b) = static_cast<float>(plant.SupplyTemp());
      r.fTotalKW(b) += r.fChillerPower(i, b);
    }

    if (bIncludePumpEnergy) {
      r.fPriChWPump(b) = static_cast<float>(plant.PrimaryPumpKW());
      r.fSecChWPump(b) = static_cast<float>(plant.SecondaryPumpKW());
      r.fCondPump(b) = static_cast<float>(plant.CondPumpKW());
    }
    if (bIncludeTowerEnergy) r.fHeatRejFans(b) = static_cast<float>(plant.FanKW());
  });
}

bool frmWait::GatherResults(int16_t b, int16_t m, int nChillerSlots, const SystemData& system,
                            const EconomicsData& economics, const WeatherData& weather, const LoadProfileData& load,
                            SimMonthResults& r, SystemEconData& e, float fExtraPumpFactor) {
  return modpublic::RunGuarded("GatherResults", kErrorPrefix, ui::kExclamation, [&] {
    const float H = r.fBinHours(b);
    const float extraPump = r.fExtraPumpKW(b) * fExtraPumpFactor;
    r.fTotalKW(b) = r.fTotalKW(b) + r.fPriChWPump(b) + r.fSecChWPump(b) + r.fCondPump(b) + r.fHeatRejFans(b) +
                    extraPump;
    if (system.nHeatRecoveryMode == 2) r.fBldgLoad(b) += r.fRecoveryCooling(b);
    r.fTonHrs(b) = r.fBldgLoad(b) * H / 12.0f;
    r.fKWh(b) = r.fTotalKW(b) * H;
    r.fGas(b) = r.fGas(b) * H;
    r.fSteam(b) = r.fSteam(b) * H;

    e.dMonthKWh(m) += r.fKWh(b);
    double demand = r.fTotalKW(b);
    if (modpublic::gHeatRecoveryOption == 1) demand += r.fRecoveryKW(b);
    if (demand > e.dMonthPeakKW(m)) e.dMonthPeakKW(m) = demand;

    double chillerKW = 0;
    for (int i = 1; i <= nChillerSlots; ++i) chillerKW += r.fChillerPower(i, b);
    e.dMonthTonHours(m) += r.fTonHrs(b);
    e.dMonthChillerKWh(m) += H * chillerKW;
    e.dMonthTowerKWh(m) += r.fHeatRejFans(b) * H;
    e.dMonthChwPumpKWh(m) += (r.fPriChWPump(b) + r.fSecChWPump(b) + extraPump) * H;
    e.dMonthCwPumpKWh(m) += r.fCondPump(b) * H;
    e.dMonthGasUse(m) += r.fGas(b);
    e.dMonthSteamUse(m) += r.fSteam(b);

    e.dBinKWh(b) += r.fKWh(b);
    if (economics.fGasFactor > 0) e.dBinGasUse(b) += r.fGas(b) / economics.fGasFactor;
    if (economics.fSteamFactor > 0) e.dBinSteamUse(b) += r.fSteam(b) / economics.fSteamFactor;
    e.fBinWeather(b) = weather.fBinDB(b);
    e.fBinProfile(b) = load.fBinLoad(b);
  });
}
