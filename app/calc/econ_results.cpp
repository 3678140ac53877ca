// Results of one simulated bin on the economics path: the transfer of the engine's results
// into the month's record, the completion of the bin and its monthly and per-bin sums, and
// the month's place in the CAL.DAT block.
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "app/calc/econ_results.h"
#include "app/calc/frmWait.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

namespace {

constexpr std::size_t kBlockBytes = 18432;
static_assert(sizeof(SimMonthResults) == kBlockBytes, "the month's fields fill its block exactly");

// Calls f on every field of the month in stored order.
template <class Rec, class F>
void ForEachField(Rec& r, F&& f) {
  f(r.fBinDB);
  f(r.fBinWB);
  f(r.fBinHours);
  f(r.fBldgLoad);
  f(r.fFreeCooling);
  f(r.nChillersOn);
  f(r.nLoadPct);
  f(r.fPriChWPump);
  f(r.fSecChWPump);
  f(r.fCondPump);
  f(r.fHeatRejFans);
  f(r.fTotalKW);
  f(r.fTonHrs);
  f(r.fKWh);
  f(r.fGas);
  f(r.fSteam);
  f(r.bChillerOn);
  f(r.fChillerLoad);
  f(r.fChillerPower);
  f(r.fChillerGenHeat);
  f(r.fChillerECT);
  f(r.fChillerLCHWT);
  f(r.fHeatLoad);
  f(r.fRecoveryCooling);
  f(r.fRecoveredHeat);
  f(r.fRecoveryKW);
  f(r.fRecoveryPumpKW);
  f(r.fElecHeatKW);
  f(r.fHeatFuel);
  f(r.fHeatKW);
  f(r.fHeatLoadHrs);
  f(r.fHeatKWh);
  f(r.fHeatFuelHrs);
  f(r.fExtraPumpKW);
}

template <class A>
constexpr std::size_t Bytes(const A& a) {
  return a.size() * sizeof(typename A::value_type);
}

}  // namespace

SimMonthData PackSimMonth(const SimMonthResults& r) {
  SimMonthData block;
  auto* out = reinterpret_cast<unsigned char*>(block.fValues.begin());
  std::size_t at = 0;
  ForEachField(r, [&](const auto& a) {
    if (at + Bytes(a) > kBlockBytes) vb::Raise(vb::kSubscriptOutOfRange);
    std::memcpy(out + at, a.begin(), Bytes(a));
    at += Bytes(a);
  });
  return block;
}

SimMonthResults UnpackSimMonth(const SimMonthData& block) {
  SimMonthResults r;
  const auto* in = reinterpret_cast<const unsigned char*>(block.fValues.begin());
  std::size_t at = 0;
  ForEachField(r, [&](auto& a) {
    if (at + Bytes(a) > kBlockBytes) vb::Raise(vb::kSubscriptOutOfRange);
    std::memcpy(a.begin(), in + at, Bytes(a));
    at += Bytes(a);
  });
  return r;
}

bool frmWait::TransferCoolingSimulationResultsToBrimlowStructure(int16_t b, int16_t m, bool bIncludePumpEnergy,
                                                                 bool bIncludeTowerEnergy,
                                                                 const std::vector<ChillerData>& chillers,
                                                                 const SystemData& system, const WeatherData& weather,
                                                                 SimMonthResults& r) {
  return modpublic::RunGuarded("TransferCoolingSimulationResultsToBrimlowStructure", m_sErrorPrefix, ui::kExclamation,
                               [&] {
                                 if (!m_Plant) vb::Raise(vb::kObjectRequired, "No plant engine has simulated the bin.");
                                 cCwPlant& plant = *m_Plant;
                                 // With a heat-recovery machine in slot 1 the cooling slots are the engine's
                                 // chillers 2...
                                 const int offset = system.nHeatRecoveryMode == 2 ? 1 : 0;
                                 const int n = system.nNumChillers - offset;

                                 r.fBinDB(b) = static_cast<float>(plant.BinDryBulb());
                                 r.fBinWB(b) = static_cast<float>(plant.BinWetBulb());
                                 r.fBinHours(b) = static_cast<float>(weather.lMonthBinHours(m, b));
                                 r.fBldgLoad(b) = static_cast<float>(plant.BinLoad());
                                 if (plant.FreeCoolingOn())
                                   r.fFreeCooling(b) = static_cast<float>(plant.FreeCoolingLoad());
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
                                     case 1:
                                     case 2:
                                     case 3:
                                     case 4:
                                     case 5:
                                     case 10:
                                     case 11:
                                     case 12:
                                       r.fChillerPower(i, b) = power;
                                       break;
                                     case 6:
                                     case 7:
                                     case 8:
                                       r.fChillerPower(i, b) = power;
                                       r.fChillerGenHeat(i, b) = heat;
                                       (rec.nType == 8 ? r.fGas(b) : r.fSteam(b)) += heat;
                                       break;
                                     case 9:
                                       r.fChillerPower(i, b) = power;
                                       if (rec.nFuelType == 4)
                                         r.fGas(b) += heat;
                                       else if (rec.nFuelType == 8)
                                         r.fSteam(b) += heat;
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
    r.fTotalKW(b) =
        r.fTotalKW(b) + r.fPriChWPump(b) + r.fSecChWPump(b) + r.fCondPump(b) + r.fHeatRejFans(b) + extraPump;
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
