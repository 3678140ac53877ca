// Life-cycle economics of a plant system: first cost, yearly cash flow with loan, other
// investments, escalated energy and maintenance and present worth, and the comparison of a
// challenger with a base system by net present worth, internal rate of return and payback.
#include <cmath>
#include <string>

#include "app/calc/modCalcs.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

namespace modCalcs {
namespace {

constexpr int kMaxYear = 50;
// The internal rate of return is found to this step of the rate (a fraction: 1e-9 is
// 1e-7 percent, far below the single precision it is stored in).
constexpr double kIrrRateTolerance = 1e-9;
using YearArray = vb::Array<double, 0, 50>;

[[noreturn]] void InputError(const std::string& text) { vb::Raise(vb::kInvalidProcedureCall, text); }

// The year of occurrence j (1-based) of a dated cost, checked against the yearly arrays.
int OccurrenceYear(const char* what, int k, int first, int interval, int j) {
  const long year = static_cast<long>(interval) * (j - 1) + first;
  if (year < 0 || year > kMaxYear)
    InputError(std::string(what) + " " + std::to_string(k) + " occurs in year " + std::to_string(year) +
               "; costs can only occur in years 0 to 50.");
  return static_cast<int>(year);
}

// Factor of an escalation or discount rate in percent.
double Factor(float percent) { return 1.0 + percent / 100.0; }

// A maintenance item k (2..8) that starts in year 1 and occurs every year of the life cycle
// counts as a yearly cost.
bool IsYearlyMaint(const SystemData& s, int k, int L) {
  return s.nOtherMaintFirstYear(k) == 1 && s.nOtherMaintCount(k) == L;
}

// Loan schedule into the principal and interest arrays. The term is rounded to whole years
// (half to even) and the payments are computed for that same term, so the principal is
// repaid exactly once.
void LoanSchedule(const SystemData& s, SystemEconData& e) {
  const double P = s.dLoanAmount;
  const int type = s.nLoanPaymentType;
  if (type < 1 || type > 3 || !(P > 0)) return;  // no loan: nothing to repay
  const double i = s.fLoanRate / 100.0;
  const double rounded = std::nearbyint(static_cast<double>(s.fLoanYears));
  if (!(rounded >= 1)) InputError("The loan term of " + vb::CStr(s.fLoanYears) + " years is shorter than one year.");
  if (rounded > kMaxYear) InputError("The loan term of " + vb::CStr(s.fLoanYears) + " years ends after year 50.");
  const int n = static_cast<int>(rounded);
  double balance = P;
  switch (type) {
    case 1: {  // equal payments
      double A = P / n;
      if (i > 0) {
        const double g = std::pow(1.0 + i, n);
        A = P * i * g / (g - 1.0);
      }
      for (int y = 1; y <= n; ++y) {
        e.dInvestInterest(y) = balance * i;
        e.dInvestPrincipal(y) = A - e.dInvestInterest(y);
        balance -= e.dInvestPrincipal(y);
      }
      break;
    }
    case 2:  // interest only, the principal at the end
      for (int y = 1; y <= n; ++y) e.dInvestInterest(y) = P * i;
      e.dInvestPrincipal(n) = P;
      break;
    case 3:  // equal principal
      for (int y = 1; y <= n; ++y) {
        e.dInvestInterest(y) = balance * i;
        e.dInvestPrincipal(y) = P / n;
        balance -= P / n;
      }
      break;
  }
}

void CashFlow(const SystemData& s, const EconomicsData& eco, SystemEconData& e) {
  const int L = eco.nLifeCycleYears;
  CheckLifeCycleYears(L);

  for (YearArray* a :
       {&e.dInvestPrincipal, &e.dInvestInterest, &e.dInvestOther, &e.dInvestTotal, &e.dEnergyByYear, &e.dMaintByYear,
        &e.dOpCostByYear, &e.dTotalCostByYear, &e.dInvestTotalPW, &e.dOpCostTotalPW, &e.dTotalCostPW})
    a->fill(0);

  // First-year energy and maintenance by component.
  e.dEnergyCost(1) = e.dFuelCost + e.dChillerElecCost;
  e.dEnergyCost(2) = e.dTowerElecCost;
  e.dEnergyCost(3) = e.dChwPumpElecCost;
  e.dEnergyCost(4) = e.dCwPumpElecCost;
  e.dEnergyCost(5) = 0;
  e.dEnergyCost(6) = 0;
  e.dEnergyCost(7) = e.dHeatingCost(3);
  e.dEnergyCost(8) = e.dHeatingCost(4) + e.dHeatingCost(1);
  e.dEnergyCost(9) = e.dHeatingCost(2);

  e.dMaintCost(1) = s.dChillerMaint;
  e.dMaintCost(2) = s.dTowerMaint;
  e.dMaintCost(3) = s.dChwPumpMaint;
  e.dMaintCost(4) = s.dCondPumpMaint;
  e.dMaintCost(5) = s.dOtherMaintAmount(1);  // water treatment
  e.dMaintCost(6) = s.dOtherMaint;
  for (int k = 2; k <= 8; ++k)
    if (IsYearlyMaint(s, k, L)) e.dMaintCost(6) += s.dOtherMaintAmount(k);
  for (int c = 7; c <= 9; ++c) e.dMaintCost(c) = 0;

  e.dEnergyCost(10) = 0;
  e.dMaintCost(10) = 0;
  for (int c = 1; c <= 9; ++c) {
    e.dEnergyCost(10) += e.dEnergyCost(c);
    e.dMaintCost(10) += e.dMaintCost(c);
  }
  for (int c = 1; c <= 10; ++c) e.dOpCost(c) = e.dEnergyCost(c) + e.dMaintCost(c);

  // Year 0: the first cost, less a loan's principal, which the schedule repays.
  if (s.dLoanAmount <= 0) {
    e.dInvestOther(0) = e.dFirstCost(10);
  } else {
    e.dInvestOther(0) = e.dFirstCost(10) - s.dLoanAmount;
    LoanSchedule(s, e);
  }

  const double eInvest = Factor(eco.fOtherInvestEscalation);
  for (int k = 1; k <= 8; ++k) {
    if (!(s.dOtherInvestAmount(k) > 0)) continue;
    for (int j = 1; j <= s.nOtherInvestCount(k); ++j) {
      const int year = OccurrenceYear("Other investment", k, s.nOtherInvestFirstYear(k), s.nOtherInvestInterval(k), j);
      if (year > 0) e.dInvestOther(year) += s.dOtherInvestAmount(k) * std::pow(eInvest, year);
    }
  }

  double E = e.dChillerElecCost + e.dTowerElecCost + e.dChwPumpElecCost + e.dCwPumpElecCost;
  // Gas and steam are priced only with a conversion factor above 0, as the monthly
  // charges are: with a factor of 0 the uses are unconverted fuel inputs, not utility units.
  double G = eco.fGasFactor > 0 ? static_cast<double>(eco.fGasRate) * e.dGasUse : 0.0;
  const double S = eco.fSteamFactor > 0 ? static_cast<double>(eco.fSteamRate) * e.dSteamUse : 0.0;
  if (modpublic::gHeatRecoveryOption == 1) {
    E += e.dHeatingCost(1) + e.dHeatingCost(2) + e.dHeatingCost(3);
    G += e.dHeatingCost(4);
  }
  const double eElec = Factor(eco.fElecEscalation), eGas = Factor(eco.fGasEscalation),
               eSteam = Factor(eco.fSteamEscalation), eMaint = Factor(eco.fMaintEscalation);
  for (int y = 1; y <= L; ++y) {
    e.dEnergyByYear(y) = std::pow(eElec, y) * E + std::pow(eGas, y) * G + std::pow(eSteam, y) * S;
    e.dMaintByYear(y) = std::pow(eMaint, y) * e.dMaintCost(10);
  }
  for (int k = 2; k <= 8; ++k) {
    if (!(s.dOtherMaintAmount(k) > 0) || IsYearlyMaint(s, k, L)) continue;
    for (int j = 1; j <= s.nOtherMaintCount(k); ++j) {
      const int year = OccurrenceYear("Maintenance item", k, s.nOtherMaintFirstYear(k), s.nOtherMaintInterval(k), j);
      e.dMaintByYear(year) += s.dOtherMaintAmount(k) * std::pow(eMaint, year);
    }
  }

  e.dTotInvestPrincipal = e.dTotInvestInterest = e.dTotInvestOther = e.dTotInvestTotal = 0;
  e.dTotEnergyByYear = e.dTotMaintByYear = e.dTotOpCostByYear = e.dTotTotalCostByYear = 0;
  e.dTotInvestTotalPW = e.dTotOpCostTotalPW = e.dLifeCycleCost = 0;
  const double disc = Factor(eco.fDiscountRate);
  for (int y = 0; y <= L; ++y) {
    const double d = std::pow(disc, y);
    e.dInvestTotal(y) = e.dInvestOther(y) + e.dInvestPrincipal(y) + e.dInvestInterest(y);
    e.dOpCostByYear(y) = e.dMaintByYear(y) + e.dEnergyByYear(y);
    e.dTotalCostByYear(y) = e.dOpCostByYear(y) + e.dInvestTotal(y);
    e.dInvestTotalPW(y) = vb::Divide(e.dInvestTotal(y), d);
    e.dOpCostTotalPW(y) = vb::Divide(e.dOpCostByYear(y), d);
    e.dTotalCostPW(y) = e.dOpCostTotalPW(y) + e.dInvestTotalPW(y);
    e.dTotInvestPrincipal += e.dInvestPrincipal(y);
    e.dTotInvestInterest += e.dInvestInterest(y);
    e.dTotInvestOther += e.dInvestOther(y);
    e.dTotInvestTotal += e.dInvestTotal(y);
    e.dTotEnergyByYear += e.dEnergyByYear(y);
    e.dTotMaintByYear += e.dMaintByYear(y);
    e.dTotOpCostByYear += e.dOpCostByYear(y);
    e.dTotTotalCostByYear += e.dTotalCostByYear(y);
    e.dTotInvestTotalPW += e.dInvestTotalPW(y);
    e.dTotOpCostTotalPW += e.dOpCostTotalPW(y);
    e.dLifeCycleCost += e.dTotalCostPW(y);
  }
}

double NetPW(const YearArray& base, const YearArray& challenger, double rate, int nYears) {
  double sum = 0;
  const double f = 1.0 + rate;
  for (int y = 0; y <= nYears; ++y) sum += vb::Divide(base(y) - challenger(y), std::pow(f, y));
  return sum;
}

}  // namespace

void CheckLifeCycleYears(int nYears) {
  if (nYears < 0 || nYears > kMaxYear)
    InputError("The life-cycle period of " + std::to_string(nYears) + " years is outside 0 to 50 years.");
}

bool bCalcSysFirstCost(const SystemData& s, vb::Array<double, 1, 10>& c) {
  return modpublic::RunGuarded("bCalcSysFirstCost", kCalcErrorPrefix, ui::kExclamation, [&] {
    c(1) = s.dChillerCostA + s.dChillerCostB;
    c(2) = s.dTowerCostA + s.dTowerCostB;
    c(3) = s.dChwPumpCostA + s.dChwPumpCostB;
    c(4) = s.dCondPumpCostA + s.dCondPumpCostB;
    c(5) = 0;
    c(6) = s.dOtherCostA + s.dOtherCostB;
    c(7) = c(8) = c(9) = 0;
    for (int k = 1; k <= 8; ++k)
      if (s.dOtherInvestAmount(k) > 0 && s.nOtherInvestFirstYear(k) == 0) c(6) += s.dOtherInvestAmount(k);
    c(10) = 0;
    for (int i = 1; i <= 9; ++i) c(10) += c(i);
  });
}

bool bCalcCashFlow(const SystemData& system, const EconomicsData& economics, SystemEconData& econ) {
  if (!bCalcSysFirstCost(system, econ.dFirstCost)) return false;
  return modpublic::RunGuarded("bCalcCashFlow", kCalcErrorPrefix, ui::kExclamation,
                               [&] { CashFlow(system, economics, econ); });
}

bool bCalcNetPW(const vb::Array<double, 0, 50>& base, const vb::Array<double, 0, 50>& challenger, float rate,
                int16_t nYears, double& dNPW) {
  return modpublic::RunGuarded("bCalcNetPW", kCalcErrorPrefix, ui::kExclamation, [&] {
    CheckLifeCycleYears(nYears);
    dNPW = NetPW(base, challenger, rate, nYears);
  });
}

bool bCalcIRR(const vb::Array<double, 0, 50>& base, const vb::Array<double, 0, 50>& challenger, int16_t nYears,
              float& fIRR) {
  return modpublic::RunGuarded("bCalcIRR", kCalcErrorPrefix, ui::kExclamation, [&] {
    CheckLifeCycleYears(nYears);
    fIRR = -1;
    // Sign changes of the yearly differences; a zero keeps the sign before it (negative in year 0).
    bool positive = base(0) - challenger(0) > 0;
    int changes = 0;
    for (int y = 1; y <= nYears; ++y) {
      const double d = base(y) - challenger(y);
      if (d == 0) continue;
      if ((d > 0) != positive) ++changes;
      positive = d > 0;
    }
    if (changes != 1) return;

    // Coarse scan in steps of 10 %: the first rate with a negative net present worth.
    auto npw = [&](double r) { return NetPW(base, challenger, static_cast<float>(r), nYears); };
    int k = 0;
    double w1 = 0;
    for (; k <= 1000; ++k) {
      w1 = npw(k / 10.0);
      if (w1 < 0) break;
    }
    if (k == 0 || k > 1000) return;

    // Secant steps kept inside the bracket [r - 0.1, r] (Illinois rule): the worth is >= 0
    // at the low end and < 0 at the high end, so no step divides by zero or leaves it.
    // The search ends when the worth is within 1 currency unit of 0 and the rate has
    // settled as well: small cash flows reach a worth under 1 long before the rate is
    // right. A bracket shrunk to nothing also ends it (huge flows never get under 1).
    double r0 = (k - 1) / 10.0, w0 = npw(r0);
    double r1 = k / 10.0;
    double previous = r0;
    int side = 0;
    for (int step = 0; step < 200; ++step) {
      const double r2 = r0 - w0 * (r1 - r0) / (w1 - w0);
      const double w2 = npw(r2);
      const bool settled = std::fabs(r2 - previous) <= kIrrRateTolerance;
      if ((std::fabs(w2) < 1 && settled) || w2 == 0 || r1 - r0 <= kIrrRateTolerance) {
        fIRR = static_cast<float>(r2 * 100.0);
        return;
      }
      previous = r2;
      if ((w2 < 0) == (w1 < 0)) {
        r1 = r2;
        w1 = w2;
        if (side == -1) w0 /= 2;
        side = -1;
      } else {
        r0 = r2;
        w0 = w2;
        if (side == 1) w1 /= 2;
        side = 1;
      }
    }
  });
}

bool bCalcPayback(const SystemEconData& base, const SystemEconData& challenger, int16_t nYears, EconCaseData& c) {
  return modpublic::RunGuarded("bCalcPayback", kCalcErrorPrefix, ui::kExclamation, [&] {
    CheckLifeCycleYears(nYears);
    double cumSavings = 0, cumAdded = 0;
    for (int y = 0; y <= nYears; ++y) {
      c.dOpCostSavingsByYear(y) = base.dOpCostByYear(y) - challenger.dOpCostByYear(y);
      c.dAddedInvestment(y) = challenger.dInvestTotal(y) - base.dInvestTotal(y);
      cumSavings += c.dOpCostSavingsByYear(y);
      cumAdded += c.dAddedInvestment(y);
      c.dCumOpCostSavings(y) = cumSavings;
      c.dCumAddedInvestment(y) = cumAdded;
    }
    for (int y = 1; y <= nYears; ++y) {
      if (std::fabs(c.dCumAddedInvestment(y)) <= 0.00001)
        c.fSIR(y) = c.dCumOpCostSavings(y) > 0 ? 999.999f : 0.0f;
      else
        c.fSIR(y) = static_cast<float>(c.dCumOpCostSavings(y) / c.dCumAddedInvestment(y));
    }
    c.fPayback = -1;
    for (int y = 1; y <= nYears; ++y) {
      if (!(c.fSIR(y) >= 1 && c.dCumOpCostSavings(y) > 0)) continue;
      if (c.fSIR(y - 1) >= 1) {
        c.fPayback = static_cast<float>(y - 0.9);
      } else {
        const double s = static_cast<double>(c.fSIR(y)) - c.fSIR(y - 1);
        c.fPayback =
            std::fabs(s) <= 0.0001 ? static_cast<float>(y - 0.5) : static_cast<float>((y * s + 1 - c.fSIR(y)) / s);
      }
      break;
    }
  });
}

}  // namespace modCalcs
