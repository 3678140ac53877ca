// The custom PLV factors report: the plant's operating conditions per bin, the average
// weighting factors and ECWTs of each pool of identical chillers, each chiller's custom PLV
// worksheet, and the key to the worksheet columns.
//
// Borders are named as the cells take them: left, top, right, bottom. Cells that stand for
// one merged cell drop the borders between them.
#include <string>
#include <vector>

#include "app/reports/clsReport.h"
#include "app/reports/plv/plv_values.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

using namespace richtext;
using modpublic::AddUnitLabel;
using modpublic::FormatUnitValue;
using reports::plv::Clean;
using reports::plv::Numbered;
using reports::plv::TempOrNA;

namespace {

constexpr const char* kWhole = "###,###,###,##0";
constexpr int32_t kTotalsShading = 20;

std::string Whole(double value, long unitId = NO_CONV) { return FormatUnitValue(value, unitId, kWhole); }
std::string Unit(long unitId) { return modpublic::Parenthesize(modpublic::gUnits.UnitStr(unitId)); }

}  // namespace

bool clsReport::RptCustomPLVReport(int32_t& table) {
  return modpublic::RunGuarded("clsReport.RptCustomPLVReport()", "", ui::kExclamation, [&] {
    TerSetSect(m_TerHwnd, 1, 0, 0, false);
    TerSetSectOrient(m_TerHwnd, m_Orientation, false);
    bool ok = SystemOperatingConditions(table);
    if (ok) {
      const bool pooled = AvgWeightingFactors(table);
      ok = CustomPLVWorksheet(table, !pooled);
    }
    if (!ok) modpublic::ShowError("", ui::kExclamation, "clsReport.RptCustomPLVReport()");
    return ok;
  });
}

bool clsReport::SystemOperatingConditions(int32_t& table) {
  return modpublic::RunGuarded(ErrorSource("SystemOperatingConditions"), "", ui::kExclamation, [&] {
    const PLVProfileData& profile = *m_PLVProfile;
    const bool recovery = profile.nHeatRecoveryMode == 2;
    const int32_t width = recovery ? 1296 : 1440;
    SetTableStart(0);
    ++table;
    WriteSectionTitle(std::to_string(table) + ". Chiller System Operating Conditions");

    const std::string load = recovery ? std::string("Remaining ") + "Building Load" : "Building Load";
    std::vector<std::string> header = {AddUnitLabel("Bin Temp", F_TO_C, true), AddUnitLabel("Bin MCWB", F_TO_C, true),
                                       "Bin Hrs Per Year"};
    if (recovery) {
      header.push_back(AddUnitLabel("Building Load", TONS_TO_KW, true));
      header.push_back(AddUnitLabel("DHRC Cooling Effect", TONS_TO_KW, true));
    }
    const size_t hoursCol = 2, tonHoursCol = header.size() + 1;
    header.push_back(AddUnitLabel(load, TONS_TO_KW, true));
    header.push_back(AddUnitLabel(load, TONHR_TO_KWH, true));
    header.push_back(load + " (%)");
    header.push_back("Chillers On");
    header.push_back("Chiller Load (%)");
    const int last = static_cast<int>(header.size()) - 1;
    for (int pos = 0; pos <= last; ++pos)
      WriteTableColHeaderData(header[static_cast<size_t>(pos)], pos, width, pos == last, true, true, true, true, 0);

    const int nBins = reports::plv::BinCount(profile);
    for (int b = 1; b <= nBins; ++b) {
      const PLVBinData& bin = profile.Bins(b);
      std::vector<std::string> row = {FormatUnitValue(bin.fDB, F_TO_C, "0.0"),
                                      FormatUnitValue(bin.fMCWB, F_TO_C, "0.0"), std::to_string(bin.lHours)};
      if (recovery) {
        row.push_back(Whole(static_cast<double>(bin.fLoad) + bin.fHRCooling, TONS_TO_KW));
        row.push_back(FormatUnitValue(bin.fHRCooling, TONS_TO_KW));
      }
      row.push_back(FormatUnitValue(bin.fLoad, TONS_TO_KW));
      row.push_back(Whole(bin.lLoadHours, TONHR_TO_KWH));
      row.push_back(FormatUnitValue(bin.fLoadPercent, PCT_TO_PCT, "0"));
      row.push_back(FormatUnitValue(bin.nChillersOn, NO_CONV, "0"));
      row.push_back(FormatUnitValue(bin.fChillerPctLoad, PCT_TO_PCT, "0"));
      for (int pos = 0; pos <= last; ++pos)
        WriteCellData(row[static_cast<size_t>(pos)], false, pos, width, pos == last, true, true, true, true, 0);
    }
    for (int pos = 0; pos <= last; ++pos) {
      const size_t k = static_cast<size_t>(pos);
      const std::string text = pos == 0           ? std::string("Total")
                               : k == hoursCol    ? std::to_string(profile.lTotalHours)
                               : k == tonHoursCol ? Whole(profile.lTotalLoadHours, TONHR_TO_KWH)
                                                  : std::string("-");
      WriteCellData(text, false, pos, width, pos == last, true, true, true, true, 0, kTotalsShading, 0, 1, true);
    }
    KeepTableTogether(GetTableStart(), true);
    TerPageBreak(m_TerHwnd, false);
    ResetTableStart();
  });
}

bool clsReport::AvgWeightingFactors(int32_t& table) {
  return modpublic::RunGuarded(ErrorSource("AvgWeightingFactors"), "", ui::kExclamation, [&] {
    const PLVProfileData& profile = *m_PLVProfile;
    const std::vector<std::vector<int>> pools = reports::plv::Pools(profile);
    if (pools.empty()) return false;
    ++table;
    int written = 0;
    auto totals = [&](const std::string& text, int pos, int32_t width, bool rowEnd, bool right, int32_t align) {
      WriteCellData(text, false, pos, width, rowEnd, true, true, right, true, align, kTotalsShading, 0, 1, true);
    };
    auto factor = [&](const std::string& text, int pos, int32_t width, bool rowEnd, bool right, int32_t align) {
      WriteCellData(text, false, pos, width, rowEnd, true, true, right, true, align, 0, 0, 1, false, m_FontHeaderColor);
    };
    for (const std::vector<int>& members : pools) {
      if (members.size() < 2) continue;
      ++written;
      SetTableStart(0);
      const std::string list = reports::plv::TagList(profile, members);
      WriteSubSectionTitle(modpublic::TrimNull(Numbered(
          table, "Average Weighting Factors and Entering Condenser Temperatures " + modpublic::Parenthesize(list),
          modpublic::GetLetter(written, false))));
      WriteTableColHeaderData("", 0, 2380, false, true, true, true, true, 0);
      for (int p = 1; p <= 4; ++p)
        WriteTableColHeaderData(std::string(reports::plv::kPointLabels[static_cast<size_t>(p - 1)]) + " Bin", p, 3000,
                                p == 4, true, true, true, true, 0);
      WriteCellData("Chiller", true, 0, 2380, false, true, true, true, true, 1024, 0, m_ShadeColor);
      const std::string tonHours = vb::Trim(AddUnitLabel("", TONHR_TO_KWH, false));
      for (int p = 1; p <= 4; ++p) {
        const int pos = 1 + 3 * (p - 1);
        WriteCellData("Hrs", true, pos, 800, false, true, true, true, true, 0, 0, m_ShadeColor);
        WriteCellData("CWH", true, pos + 1, 1000, false, true, true, true, true, 0, 0, m_ShadeColor);
        WriteCellData(tonHours, true, pos + 2, 1200, p == 4, true, true, true, true, 0, 0, m_ShadeColor);
      }
      for (int c : members) {
        const ChillerResultData& r = profile.ChillerResults(c);
        WriteCellData(Clean(r.sSlotName), false, 0, 2380, false, true, true, true, true, 1024);
        for (int p = 1; p <= 4; ++p) {
          const int pos = 1 + 3 * (p - 1);
          WriteCellData(Whole(r.fPointHours(p)), false, pos, 800, false, true, true, true, true, 0);
          WriteCellData(Whole(r.fPointHourECWT(p)), false, pos + 1, 1000, false, true, true, true, true, 0);
          WriteCellData(Whole(r.fPointTonHours(p), TONHR_TO_KWH), false, pos + 2, 1200, p == 4, true, true, true, true,
                        0);
        }
      }
      const ChillerResultData& first = profile.ChillerResults(members.front());
      totals("Totals:", 0, 2380, false, false, 1024);
      for (int p = 1; p <= 4; ++p) {
        const int pos = 1 + 3 * (p - 1);
        totals(Whole(first.fPoolHours(p)), pos, 800, false, true, 0);
        totals(Whole(first.fPoolHourECWT(p)), pos + 1, 1000, false, true, 0);
        totals(Whole(first.fPoolTonHours(p), TONHR_TO_KWH), pos + 2, 1200, p == 4, true, 0);
      }
      factor("Cust Wgt Factor:", 0, 2380, false, true, 1024);
      for (int p = 1; p <= 4; ++p)
        factor(FormatUnitValue(first.fWeightingFactor(p), NO_CONV, "###,###,###,##0.000"), p, 3000, p == 4, true, 0);
      factor(AddUnitLabel("Cust Ent Cond Temps", F_TO_C, true) + ":", 0, 2380, false, true, 1024);
      for (int p = 1; p <= 4; ++p)
        factor(reports::plv::RatingPointECWT(first.fWeightingFactor(p), first.fECWT(p), "0.0"), p, 3000, p == 4, true,
               0);

      WriteTextLine(
          "Grand Total " + modpublic::gUnits.UnitStr(TONHR_TO_KWH) + " = " +
              Whole(reports::plv::CarriedTonHours(profile, members, reports::plv::PoolGrandTotal(first)), TONHR_TO_KWH),
          true, false);
      WriteTextLine(
          "Average weighting factors and entering condenser temperatures are calculated because the following "
          "chillers are all identical:  " +
          list +
          ".  Over the life of the chiller plant, these chillers will be rotated to operate in each of the "
          "sequencing positions.  Therefore, a lifecycle PLV must consider each chiller operating in each of "
          "these sequencing positions.");
      KeepTableTogether(GetTableStart());
      ResetTableStart();
    }
    WriteKeyDataNotes();
    TerPageBreak(m_TerHwnd, true);
    return true;
  });
}

bool clsReport::CustomPLVWorksheet(int32_t& table, bool writeKey) {
  const PLVProfileData& profile = *m_PLVProfile;
  const int n = reports::plv::ChillerCount(profile);
  const int nBins = reports::plv::BinCount(profile);
  if (n > 0) ++table;
  static constexpr int32_t kLeft[7] = {875, 1175, 800, 880, 1180, 800, 650};
  for (int c = 1; c <= n; ++c) {
    const ChillerResultData& r = profile.ChillerResults(c);
    MoveToDocEnd();
    SetTableStart(0);
    WriteSubSectionTitle(modpublic::TrimNull(Numbered(
        table, "Custom PLV Worksheet for " + Clean(r.sSlotName) + "  " + modpublic::Parenthesize(Clean(r.sChillerName)),
        modpublic::GetLetter(c, false))));
    const char* top[7] = {"Avg DB", "Cond Temp", "Total", "CWH", "Total", "Load", "Load"};
    for (int pos = 0; pos < 7; ++pos)
      WriteTableColHeaderData(top[pos], pos, kLeft[pos], false, true, true, true, false, 0);
    for (int p = 1; p <= 4; ++p)
      WriteTableColHeaderData(std::string(reports::plv::kPointLabels[static_cast<size_t>(p - 1)]) + " Bin", 6 + p, 2000,
                              p == 4, true, true, true, true, 0);
    const std::string second[7] = {Unit(F_TO_C),       Unit(F_TO_C),     "(Hrs)", "",
                                   Unit(TONHR_TO_KWH), Unit(TONS_TO_KW), "(%)"};
    for (int pos = 0; pos < 7; ++pos)
      WriteTableColHeaderData(second[pos], pos, kLeft[pos], false, true, false, true, true, 0);
    for (int p = 1; p <= 4; ++p) {
      WriteTableColHeaderData("(CWH)", 5 + 2 * p, 900, false, true, true, true, true, 0);
      WriteTableColHeaderData(Unit(TONHR_TO_KWH), 6 + 2 * p, 1100, p == 4, true, true, true, true, 0);
    }
    for (int b = 1; b <= nBins; ++b) {
      const std::string row[7] = {FormatUnitValue(profile.Bins(b).fDB, F_TO_C),
                                  TempOrNA(r.fBinECWT(b)),
                                  Whole(r.fBinHours(b)),
                                  Whole(r.fBinHourECWT(b)),
                                  Whole(r.fBinTonHours(b), TONHR_TO_KWH),
                                  Whole(r.fBinLoad(b), TONS_TO_KW),
                                  FormatUnitValue(r.fBinLoadPercent(b), PCT_TO_PCT)};
      for (int pos = 0; pos < 7; ++pos)
        WriteCellData(row[pos], false, pos, kLeft[pos], false, true, true, true, true, 0);
      for (int p = 1; p <= 4; ++p) {
        WriteCellData(Whole(r.fPointBinHourECWT(p, b)), false, 5 + 2 * p, 900, false, true, true, true, true, 0);
        WriteCellData(Whole(r.fPointBinTonHours(p, b), TONHR_TO_KWH), false, 6 + 2 * p, 1100, p == 4, true, true, true,
                      true, 0);
      }
    }
    auto totals = [&](const std::string& text, int pos, int32_t width, bool rowEnd, bool left, bool right) {
      WriteCellData(text, false, pos, width, rowEnd, left, true, right, true, 0, kTotalsShading, 0, 1, true);
    };
    totals("Totals", 0, 2050, false, true, false);
    totals(Whole(r.fTotalHours), 1, 800, false, true, true);
    totals(Whole(r.fTotalHourECWT), 2, 880, false, true, true);
    totals(Whole(reports::plv::CarriedTonHours(profile, {c}, r.fTotalTonHours), TONHR_TO_KWH), 3, 1180, false, true,
           true);
    totals("", 4, 800, false, true, true);
    totals("", 5, 650, false, true, true);
    for (int p = 1; p <= 4; ++p) {
      totals(Whole(r.fPointHourECWT(p)), 4 + 2 * p, 900, false, true, true);
      totals(Whole(r.fPointTonHours(p), TONHR_TO_KWH), 5 + 2 * p, 1100, p == 4, false, p == 4);
    }
    if (reports::plv::OwnFactors(profile, c)) {
      auto factor = [&](const std::string& text, int pos, int32_t width, bool rowEnd, bool right) {
        WriteCellData(text, false, pos, width, rowEnd, true, true, right, true, 0, 0, 0, 1, false, m_FontHeaderColor);
      };
      factor("Cust Wgt Factors:", 0, 6360, false, true);
      for (int p = 1; p <= 4; ++p)
        factor(FormatUnitValue(r.fWeightingFactor(p), NO_CONV, "0.000"), p, 2000, p == 4, true);
      factor(AddUnitLabel("Custom Entering Condenser Temperatures", F_TO_C, true) + ":", 0, 6360, false, false);
      for (int p = 1; p <= 4; ++p)
        factor(reports::plv::RatingPointECWT(r.fWeightingFactor(p), r.fECWT(p), "0.0"), p, 2000, p == 4, true);
    }
    // After the last worksheet the next sub-report starts its own page: no trailing line
    // that could spill onto a page of its own.
    KeepTableTogether(GetTableStart(), c == n && !writeKey);
    ResetTableStart();
    MoveToDocEnd();
  }
  if (writeKey) WriteKeyDataNotes();
  return true;
}

bool clsReport::WriteKeyDataNotes() {
  return modpublic::RunGuarded(ErrorSource("WriteKeyDataNotes"), "", ui::kExclamation, [&] {
    const bool si = modpublic::gUnits.CurrentUnitOfMeasure() == nMETRIC;
    SetTableStart(0);
    WriteSubSectionTitle("KEY for Custom PLV Worksheet tables:");
    const struct {
      std::string term, text;
    } rows[] = {
        {"Avg DB", "Midpoint temperature for bin."},
        {"",
         "Entering condenser temperature for bin.  Entering water temperature for water-cooled chillers.  "
         "Entering air temperature for air-cooled chillers."},
        {"Cond Temp",
         "This program models how cooling tower approach changes with operating outdoor air wet-bulb "
         "temperature and in tower range."},
        {"",
         "When tower leaving water temperature reaches minimum setpoint, the cooling tower fan speed is reduced "
         "to hold water temperature at the minimum setpoint."},
        {"Tot Hrs", "Hours of operation in bin."},
        {"CWH",
         "Condenser temperature hours.  [Tot Hrs] times [Cond Temp].  Later used to derive the four average "
         "entering condenser temperature values for the PLV calculation."},
        {"Load", "Chiller load for bin."},
        {"Load (%)", "Chiller load as a percentage of full load capacity."},
        {modpublic::BracketName(AddUnitLabel("Total", TONHR_TO_KWH, true)),
         "Chiller [Load] times [Tot Hrs].  Later used to derive the four weighting factors for the PLV calculation."},
        {"Bin (CWH)",
         "[CWH] values separated into the four PLV bins: 25%, 50%, 75% and 100% load according to "
         "chiller load for each bin."},
        {modpublic::BracketName(AddUnitLabel("Bin", TONHR_TO_KWH, true)),
         "Values separated into the four PLV bins: 25%, 50%, 75% and 100% load according to the chiller load for "
         "each bin."},
        {"Cust Wgt Factor", std::string("The four custom PLV weighting factors. ") +
                                (si ? "[Total kWh] for PLV Bin divided by [Total kWh] for the chiller."
                                    : "[Total Ton-hrs] for PLV Bin divided by [Total Ton-hrs] for the chiller.")},
        {"Cust Ent Cond Temps",
         "The four custom condenser temperature values for the PLV calculation = [Total (CWH)] "
         "for PLV bin divided by [Tot Hrs] in the PLV bin."},
    };
    int index = 0;
    for (const auto& row : rows) {
      ++index;
      // Rows 2 to 4 stand for one term cell with "Cond Temp" in its middle.
      const bool top = index != 3 && index != 4;
      const bool bottom = index != 2 && index != 3;
      WriteTableColHeaderData(row.term, 0, 2380, false, true, top, true, bottom, 1024);
      WriteCellData(row.text, false, 1, 12000, true, true, true, true, true, 1024);
    }
    KeepTableTogether(GetTableStart());
    ResetTableStart();
  });
}
