// Heat recovery and heating on the economics path: the operating point of a dedicated
// heat-recovery chiller, the cooling it supplies in a bin, and the heating energy of a bin.
// Inactive in this program (see heating.h): the heat-recovery machine never runs and the
// heating loads are 0, so every quantity here stays 0.
#include <algorithm>
#include <cmath>

#include "app/calc/frmWait.h"
#include "app/storage/modpublic.h"
#include "platform/ui/ui.h"

namespace {

// Power of a heat-recovery point: kW, or heat / ratio when the power is given as a ratio.
double PointPower(const HeatRecoveryChillerData& hr, double heat, float power) {
  if (hr.bHRPowerTotal != 0) return power;
  return vb::Divide(heat, power);
}

// Capacity and input of map row r in column c, or interpolated in ECWT between c - 1 and c.
void MapRow(const ChillerData& ch, int c, int r, double ecwt, double& cap, double& inp) {
  cap = ch.fCapacityMap(c, r);
  inp = ch.fPowerMap(c, r);
  if (c <= 1) return;
  const double x0 = ch.fECWTPoints(c - 1), x1 = ch.fECWTPoints(c);
  if (std::fabs(x1 - x0) < 0.0001) return;
  const double f = (ecwt - x0) / (x1 - x0);
  cap = ch.fCapacityMap(c - 1, r) + f * (ch.fCapacityMap(c, r) - ch.fCapacityMap(c - 1, r));
  inp = ch.fPowerMap(c - 1, r) + f * (ch.fPowerMap(c, r) - ch.fPowerMap(c - 1, r));
}

}  // namespace

bool frmWait::CalcDHRCPerformanceData(double Qh, double Qc, const HeatRecoveryChillerData& hr,
                                      const ChillerData& chiller, const SystemData& system, HeatRecoveryPoint& p) {
  return modpublic::RunGuarded("CalcDHRCPerformanceData", kErrorPrefix, ui::kExclamation, [&]() -> bool {
    p = HeatRecoveryPoint{};
    const double Hf = hr.fHRHeatFull;
    const double Pf = PointPower(hr, Hf, hr.fHRPowerFull);
    const double Cf = std::max(0.0, Hf - Pf * kBtuhPerWatt);
    if (Hf <= Qh && Qc * 12 >= Cf) {
      p.dHeating = Hf;
      p.dPower = Pf;
      p.dCooling = Cf;
      return true;
    }
    if (Qc * 12 < Cf) return CalcDHRCcoolingPriorityPerformanceData(Qh, Qc, chiller, system, p);
    const double Hm = hr.fHRHeatMin;
    const double Pm = PointPower(hr, Hm, hr.fHRPowerMin);
    if (Hm <= Qh) {
      p.dHeating = Qh;
      p.dPower = Pm + (Qh - Hm) * vb::Divide(Pf - Pm, Hf - Hm);
      p.dCooling = Qh - p.dPower * kBtuhPerWatt;
    } else {
      p.dPartLoadRatio = vb::Divide(Qh, Hm);
      p.dHeating = Qh;
      p.dPower = Pm * p.dPartLoadRatio;
      p.dCooling = (Hm - Pm * kBtuhPerWatt) * p.dPartLoadRatio;
    }
    if (p.dCooling < 0) p.dCooling = 0;
    return true;
  });
}

bool frmWait::CalcDHRCcoolingPriorityPerformanceData(double Qh, double Qc, const ChillerData& ch,
                                                     const SystemData& system, HeatRecoveryPoint& p) {
  return modpublic::RunGuarded("CalcDHRCcoolingPriorityPerformanceData", kErrorPrefix, ui::kExclamation, [&] {
    p = HeatRecoveryPoint{};
    const double dT = static_cast<double>(system.fDesignLCHWT) - ch.fDesignLCHWT;
    const double kc = 1 + ch.fMapCoef(3) * dT + ch.fMapCoef(4) * dT * dT;
    const double kp = 1 + ch.fMapCoef(1) * dT + ch.fMapCoef(2) * dT * dT;
    const int nE = ch.nNumECWTPoints, nL = ch.nNumLoadPoints;
    if (nE < 1 || nE > 14 || nL < 1 || nL > 28)
      vb::Raise(vb::kSubscriptOutOfRange, "The heat-recovery chiller has no performance map.");

    int col = nE;
    for (int c = 1; c <= nE; ++c) {
      if (ch.fECWTPoints(c) < ch.fDesignECWT) {
        col = c;
        break;
      }
    }
    vb::Array<double, 1, 28> CAP, INP, HEAT;
    for (int r = 1; r <= nL; ++r) {
      double cap = 0, inp = 0;
      MapRow(ch, col, r, ch.fDesignECWT, cap, inp);
      CAP(r) = cap * kc;
      INP(r) = inp * kp;
      HEAT(r) = INP(r) * kBtuhPerWatt + CAP(r);
    }
    const bool byHeat = Qc >= ch.fFLCapacity;
    int row = 0;
    for (int r = 1; r <= nL && row == 0; ++r)
      if (byHeat ? HEAT(r) < Qh : CAP(r) < Qc * 12) row = r;
    if (row == 0 || row == 1) {
      const int r = row == 0 ? nL : 1;
      p.dCooling = CAP(r);
      p.dPower = INP(r);
      p.dHeating = HEAT(r);
      return;
    }
    const double f = byHeat ? vb::Divide(Qh - HEAT(row - 1), HEAT(row) - HEAT(row - 1))
                            : vb::Divide(Qc * 12 - CAP(row - 1), CAP(row) - CAP(row - 1));
    p.dPower = INP(row - 1) + f * (INP(row) - INP(row - 1));
    p.dCooling = CAP(row - 1) + f * (CAP(row) - CAP(row - 1));
    p.dHeating = p.dPower * kBtuhPerWatt + p.dCooling;
  });
}

float frmWait::GetFreeCoolingCapPerBin(int16_t b, double Qc, const HeatRecoveryChillerData& hr,
                                       const ChillerData& chiller, const SystemData& system,
                                       const HeatingSystemData& heating, int32_t lBinHours, double& dPartLoadRatio) {
  float supplied = 0;
  dPartLoadRatio = 1.0;
  const bool ok = modpublic::RunGuarded("GetFreeCoolingCapPerBin", kErrorPrefix, ui::kExclamation, [&]() -> bool {
    const double Qh = heating.fBinHeatLoad(b);
    if (lBinHours > 0 && Qh > 0 && Qc > 0 && system.nHeatRecoveryMode == 2) {
      HeatRecoveryPoint p;
      if (!CalcDHRCPerformanceData(Qh, Qc, hr, chiller, system, p)) return false;
      supplied = static_cast<float>(p.dCooling);
      dPartLoadRatio = p.dPartLoadRatio;
    }
    supplied = std::min(supplied, static_cast<float>(Qc * 12));
    return true;
  });
  return ok ? supplied : 0.0f;
}

float frmWait::CalcHeatingEnergyUsePerBinInMonth(int16_t b, int16_t m, double Qc, const HeatRecoveryChillerData& hr,
                                                 const ChillerData& chiller, const SystemData& system,
                                                 const HeatingSystemData& heating, const WeatherData& weather,
                                                 SimMonthResults& r, SystemEconData& e, double& dPartLoadRatio) {
  dPartLoadRatio = 1.0;
  const bool ok =
      modpublic::RunGuarded("CalcHeatingEnergyUsePerBinInMonth", kErrorPrefix, ui::kExclamation, [&]() -> bool {
        const float H = static_cast<float>(weather.lMonthBinHours(m, b));
        r.fHeatLoad(b) = heating.fBinHeatLoad(b);
        r.fBinHours(b) = H;
        r.fRecoveredHeat(b) = 0;
        r.fRecoveryPumpKW(b) = 0;
        e.fBinWeather(b) = weather.fBinDB(b);

        const bool machineRuns = H > 0 && r.fHeatLoad(b) > 0 && Qc > 0 && system.nHeatRecoveryMode == 2;
        if (machineRuns) {
          HeatRecoveryPoint p;
          if (!CalcDHRCPerformanceData(r.fHeatLoad(b), Qc, hr, chiller, system, p)) return false;
          dPartLoadRatio = p.dPartLoadRatio;
          r.fRecoveryCooling(b) = static_cast<float>(p.dCooling);
          r.fRecoveredHeat(b) = static_cast<float>(p.dHeating);
          r.fRecoveryKW(b) = static_cast<float>(p.dPower);
          if (r.fRecoveryKW(b) > 0) {
            r.fRecoveryPumpKW(b) = static_cast<float>(heating.dRecoveryPumpKW * p.dPartLoadRatio);
            r.fExtraPumpKW(b) = r.fRecoveryPumpKW(b);
          } else {
            r.fExtraPumpKW(b) = 0;
          }
        }

        // The heating the machine leaves to the heating plant; nothing to serve, or a plant
        // without an efficiency, adds no heating energy.
        const double R = std::max(0.0, static_cast<double>(r.fHeatLoad(b)) - r.fRecoveredHeat(b));
        r.fElecHeatKW(b) = 0;
        r.fHeatFuel(b) = 0;
        if (R > 0 && heating.dHeatingEff > 0) {
          if (heating.bElectricHeat != 0)
            r.fElecHeatKW(b) = static_cast<float>(R * kWattsPerBtuhPct / heating.dHeatingEff);
          else
            r.fHeatFuel(b) = static_cast<float>(R * 100 / heating.dHeatingEff);
        }
        r.fHeatKW(b) = r.fRecoveryPumpKW(b) + r.fElecHeatKW(b);
        if (machineRuns) r.fHeatKW(b) += r.fRecoveryKW(b);
        r.fHeatLoadHrs(b) = H * r.fHeatLoad(b);
        r.fHeatKWh(b) = r.fHeatKW(b) * H;
        r.fHeatFuelHrs(b) = r.fHeatFuel(b) * H;

        e.dMonthHeatKWh(m) += r.fHeatKWh(b);
        // Heating power alone is not the cooling plant's demand: it counts only while heat
        // recovery is part of the run.
        if (modpublic::gHeatRecoveryOption != 0 && r.fHeatKW(b) > e.dMonthPeakKW(m)) e.dMonthPeakKW(m) = r.fHeatKW(b);
        e.dMonthHeatLoad(m) += r.fHeatLoadHrs(b);
        e.dMonthRecoveredHeat(m) += static_cast<double>(r.fRecoveredHeat(b)) * H;
        e.dMonthElecHeatKWh(m) += static_cast<double>(r.fElecHeatKW(b)) * H;
        e.dMonthRecoveryPumpKWh(m) += static_cast<double>(r.fRecoveryPumpKW(b)) * H;
        e.dMonthRecoveryKWh(m) += static_cast<double>(r.fRecoveryKW(b)) * H;
        e.dMonthHeatFuel(m) += r.fHeatFuelHrs(b);
        return true;
      });
  return ok ? r.fRecoveryCooling(b) : 0.0f;
}
