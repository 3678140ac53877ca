// LCA.TXT: the fixed-column listing of an economics run for people (monthly totals, cash
// flow, annual costs, comparisons and the bin results of every month). Nothing reads it back.
#include <algorithm>
#include <string>

#include "app/calc/econ_results.h"
#include "app/calc/modCalcs.h"
#include "libs/text/encoding.h"
#include "app/storage/data_files.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

namespace modCalcs {
namespace {

constexpr const char* kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
// Labels of the annual cost rows 1..10; the heating rows 7..9 have none.
constexpr const char* kCostLabels[] = {"Chillers", "Towers  ", "CW Pumps", "CN Pumps", "Water Tr",
                                       "Other   ", "",         "",         "",         "Total   "};

class Listing {
 public:
  Listing& Text(const std::string& s) {
    w_.Print(s);
    return *this;
  }
  Listing& At(std::size_t column, double value, const char* pattern) {
    w_.Tab(column).Print(vb::Format(value, pattern));
    return *this;
  }
  Listing& At(std::size_t column, const std::string& s) {
    w_.Tab(column).Print(s);
    return *this;
  }
  Listing& End() {
    w_.EndLine();
    return *this;
  }
  Listing& Line(const std::string& s) { return Text(s).End(); }
  Listing& Rule(std::size_t n) { return Line(std::string(n, '-')); }
  std::string Take() { return w_.Take(); }

 private:
  vb::TabWriter w_{"\r\n"};
};

std::string Name(const SystemEconData& e) { return "[" + vb::FixedWidth(vb::UCase(e.sSystemName), 40) + "]"; }

std::string Month(int m) { return std::string(kMonths + 3 * (m - 1), 3); }

void MonthlyTotals(Listing& f, const SystemEconData& e) {
  f.Line("MONTHLY SIMULATION TOTALS #1 FOR" + Name(e)).Rule(105);
  f.Line("    Electric Energy   Demand   Demand   Tot Elec Gas      Gas      Steam    Steam    Total ");
  f.Line("Mon kWh      Charge   kW       Charge   Charge   Use      Charge   Use      Charge   EnCost  ");
  f.Rule(105);
  for (int m = 1; m <= 12; ++m) {
    f.Text(Month(m)).At(5, e.dMonthKWh(m), "#######0").At(14, e.dMonthEnergyCharge(m), "#######0");
    f.At(23, e.dMonthPeakKW(m), "#####0.0").At(32, e.dMonthDemandCharge(m), "#######0");
    f.At(41, e.dMonthElecCharge(m), "#######0").At(50, e.dMonthGasUse(m), "#######0");
    f.At(59, e.dMonthGasCharge(m), "#######0").At(68, e.dMonthSteamUse(m), "#######0");
    f.At(77, e.dMonthSteamCharge(m), "#######0").At(86, e.dMonthEnergyCost(m), "#######0").End();
  }
  f.Rule(105);
  f.At(5, e.dTotalKWh, "#######0").At(50, e.dGasUse, "#######0").At(68, e.dSteamUse, "#######0");
  f.At(86, e.dEnergyCost(10), "#######0").End();
  f.Rule(105).End();

  f.Line("MONTHLY SIMULATION TOTALS #2 FOR" + Name(e)).Rule(105);
  f.Line("    Cooling  Chiller  ChW Pump Con Pump Clg Twr  Total   ");
  f.Line("Mon Ton-Hrs  kWh      kWh      kWh      kWh      kWh     ");
  f.Rule(105);
  for (int m = 1; m <= 12; ++m) {
    f.Text(Month(m)).At(5, e.dMonthTonHours(m), "#######0").At(14, e.dMonthChillerKWh(m), "#######0");
    f.At(23, e.dMonthChwPumpKWh(m), "#####0.0").At(32, e.dMonthCwPumpKWh(m), "#######0");
    f.At(41, e.dMonthTowerKWh(m), "#######0").At(50, e.dMonthKWh(m), "#######0").End();
  }
  f.Rule(105);
  f.At(14, e.dChillerKWh, "#######0").At(23, e.dChwPumpKWh, "#######0").At(32, e.dCwPumpKWh, "#######0");
  f.At(41, e.dTowerKWh, "#######0").At(50, e.dTotalKWh, "#######0").End();
  f.Rule(105).End();
}

void CashFlow(Listing& f, const SystemEconData& e, int L) {
  f.Line("CASH FLOW DATA FOR" + Name(e)).Rule(105);
  f.Line("     Invest   Invest   Invest   Invest                              Total    Invest   Opcost   Total");
  f.Line("     Princ    Interest Other    Total    Energy   Maint    OpCost   Cost     Total    Total    Cost");
  f.Line("Year (AV)     (AV)     (AV)     (AV)     (AV)     (AV)     (AV)     (AV)     (PW)     (PW)     (PW)");
  f.Rule(105);
  const vb::Array<double, 0, 50>* columns[] = {
      &e.dInvestPrincipal, &e.dInvestInterest,  &e.dInvestOther,   &e.dInvestTotal,   &e.dEnergyByYear, &e.dMaintByYear,
      &e.dOpCostByYear,    &e.dTotalCostByYear, &e.dInvestTotalPW, &e.dOpCostTotalPW, &e.dTotalCostPW};
  for (int y = 0; y <= L; ++y) {
    f.Text(vb::Format(y, "#0"));
    for (int k = 0; k < 11; ++k) f.At(6 + 9 * static_cast<std::size_t>(k), (*columns[k])(y), "#######0");
    f.End();
  }
  f.Rule(105);
  const double sums[] = {e.dTotInvestPrincipal, e.dTotInvestInterest, e.dTotInvestOther,  e.dTotInvestTotal,
                         e.dTotEnergyByYear,    e.dTotMaintByYear,    e.dTotOpCostByYear, e.dTotTotalCostByYear,
                         e.dTotInvestTotalPW,   e.dTotOpCostTotalPW,  e.dLifeCycleCost};
  for (int k = 0; k < 11; ++k) f.At(6 + 9 * static_cast<std::size_t>(k), sums[k], "#######0");
  f.End().Rule(105).End();
}

void AnnualCosts(Listing& f, const SystemEconData& e) {
  f.Line("ANNUAL COSTS FOR" + Name(e)).Rule(50);
  f.Line("Component 1st Cost  Energy    Maint     OpCost").Rule(50);
  for (int c = 1; c <= 10; ++c) {
    f.Text(kCostLabels[c - 1]).At(11, e.dFirstCost(c), "########0").At(21, e.dEnergyCost(c), "########0");
    f.At(31, e.dMaintCost(c), "########0").At(41, e.dOpCost(c), "########0").End();
  }
  f.Rule(50).End();
}

void Comparison(Listing& f, const EconCaseData& c, int L) {
  f.Line("COMPARATIVE COST DATA").Rule(71);
  f.Line("Base Item       = " + vb::Format(c.nBaseSystem, "#0"));
  f.Line("Challenger Item = " + vb::Format(c.nChallengerSystem, "#0"));
  f.Line("Winner Item     = " + vb::Format(c.nWinnerSystem, "#0"));
  f.Line("NPW             = " + vb::Format(c.dNPW, "########0"));
  f.Line("IRR             = " + vb::Format(c.fIRR, "####0.00000"));
  f.Line("Payback         = " + vb::Format(c.fPayback, "#0.0"));
  f.Rule(71);
  f.Line("                Cum.                  Cum.");
  f.Line("     OpCost     OpCost     Additional Additional");
  f.Line("Year Savings    Savings    Investment Investment SIR");
  f.Rule(71);
  for (int y = 0; y <= L; ++y) {
    f.Text(vb::Format(y, "#0")).At(6, c.dOpCostSavingsByYear(y), "#########0");
    f.At(17, c.dCumOpCostSavings(y), "#########0").At(28, c.dAddedInvestment(y), "#########0");
    f.At(39, c.dCumAddedInvestment(y), "#########0").At(50, c.fSIR(y), "#####0.000").End();
  }
  f.Rule(71).End();
}

void SystemLevel(Listing& f, const SystemEconData& e, int m, const SimMonthResults& r) {
  f.Line("DETAILED SIMULATION RESULTS - SYSTEM LEVEL DATA - MONTH " + vb::Format(m, "#0") + " - " + Name(e));
  f.Rule(130);
  f.Line(
      "Bin   Bin   Bin  Bldg    Free       Load  Primary Second  Condnsr HeatRej Total    Total   Total   "
      "Total   Total  ");
  f.Line(
      "DB    WB    Hrs  Load    Clg     ON Pct   ChW Pmp ChW Pmp Pump    Fans    kW       Ton-Hrs kWh     "
      "Gas     Steam  ");
  f.Rule(130);
  for (int b = 1; b <= 24; ++b) {
    if (!(r.fBldgLoad(b) > 0)) continue;
    f.At(1, r.fBinDB(b), "##0.0").At(7, r.fBinWB(b), "##0.0").At(13, r.fBinHours(b), "###0");
    f.At(18, r.fBldgLoad(b), "####0.0").At(26, r.fFreeCooling(b), "####0.0").At(34, r.nChillersOn(b), "#0");
    f.At(37, r.nLoadPct(b), "##0.0").At(43, r.fPriChWPump(b), "####0.0").At(51, r.fSecChWPump(b), "####0.0");
    f.At(59, r.fCondPump(b), "####0.0").At(67, r.fHeatRejFans(b), "####0.0").At(75, r.fTotalKW(b), "####0.0");
    f.At(84, r.fTonHrs(b), "######0").At(92, r.fKWh(b), "######0").At(100, r.fGas(b), "######0");
    f.At(108, r.fSteam(b), "######0").End();
  }
  f.Rule(130).End();
}

void ChillerLevel(Listing& f, const SystemEconData& e, int m, const SimMonthResults& r) {
  const int n = std::clamp<int>(e.nNumChillers, 0, 30);
  for (int first = 1; first <= n; first += 3) {
    f.Line("DETAILED SIMULATION RESULTS - CHILLER DATA - MONTH " + vb::Format(m, "#0") + " - " + Name(e));
    f.Rule(130);
    f.Text("Bin  ");
    for (int j = 0; j < 3; ++j) f.Text(" -------------- CH-" + vb::Format(first + j, "00") + " ---------------  ");
    f.End();
    f.Text("DB   ");
    for (int j = 0; j < 3; ++j) f.Text(" ON Load   Power  GenHeat ECT   LCHWT  ");
    f.End().Rule(130);
    for (int b = 1; b <= 24; ++b) {
      if (!(r.fBldgLoad(b) > 0)) continue;
      f.At(1, r.fBinDB(b), "##0.0");
      for (int j = 0; j < 3 && first + j <= n; ++j) {
        const int i = first + j;
        const std::size_t x = 39 * static_cast<std::size_t>(j);
        f.At(7 + x, r.bChillerOn(i, b), "#0").At(10 + x, r.fChillerLoad(i, b), "###0.0");
        f.At(17 + x, r.fChillerPower(i, b), "###0.0").At(24 + x, r.fChillerGenHeat(i, b), "####0.0");
        f.At(32 + x, r.fChillerECT(i, b), "##0.0").At(38 + x, r.fChillerLCHWT(i, b), "##0.0");
      }
      f.End();
    }
    f.Rule(130).End();
  }
}

}  // namespace

bool bWriteEconDiagnostic(const EconSummaryData& summary, const vb::Array<SystemEconData, 1, 4>& systems,
                          std::string& folder) {
  std::string message = kCalcErrorPrefix;
  return modpublic::RunGuarded("bWriteEconDiagnostic", message, ui::kExclamation, [&]() -> bool {
    modDataIO::FolderArg folderArg(folder);
    const std::string dir = folderArg.Resolve();
    const std::string path = dir + "LCA.TXT";
    const int S = summary.nNumSystems, L = summary.nLifeCycleYears;
    if (S < 1 || S > 4)
      vb::Raise(vb::kSubscriptOutOfRange, "The run has " + std::to_string(S) + " systems; 1 to 4 are listed.");
    CheckLifeCycleYears(L);

    // In the scratch folder the listing is one of the run's own files: made again on every run
    // (not synced), and a link or anything else but a regular file under its name is refused,
    // never written through. In a folder of the user's choice it is the user's file.
    const bool scratch = dir == modDataIO::DataFolder();
    Listing f;
    // What was listed stays in the file when a monthly block cannot be read back.
    auto save = [&] {
      // The results are calculated by now: a failure here is the listing's alone.
      message = "The economics listing LCA.TXT could not be written to " + path + ".";
      const std::string bytes = text::Utf8ToCp1252(f.Take());
      if (!scratch) return modDataIO::detail::WriteFileAtomic(path, bytes, /*durable=*/true);
      modDataIO::detail::CheckOwnFile(path);
      modDataIO::detail::WriteOwnFileAtomic(path, bytes);
    };
    for (int s = 1; s <= S; ++s) {
      MonthlyTotals(f, systems(s));
      CashFlow(f, systems(s), L);
      AnnualCosts(f, systems(s));
    }
    for (int k = 1; k <= std::max(1, S - 1); ++k) Comparison(f, summary.Cases(k), L);
    for (int s = 1; s <= S; ++s) {
      for (int16_t m = 1; m <= 12; ++m) {
        SimMonthData block;
        // The blocks are those of the run in the scratch folder, wherever the listing goes.
        if (!modDataIO::bCalcReadSimData(static_cast<int16_t>(s), m, block)) {
          save();
          return false;
        }
        const SimMonthResults r = UnpackSimMonth(block);
        SystemLevel(f, systems(s), m, r);
        ChillerLevel(f, systems(s), m, r);
      }
    }
    save();
    return true;
  });
}

}  // namespace modCalcs
