// The custom PLV specification: a chiller specification table with each chiller's custom
// weighting factors and condenser temperatures, and the custom PLV formulas.
#include <string>

#include "app/reports/clsReport.h"
#include "app/reports/plv/plv_values.h"
#include "app/reports/report_strings.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

using namespace richtext;
using modpublic::AddUnitLabel;
using modpublic::FormatUnitValue;

namespace {

// Widths of the 24 columns; the header's first row spans them in groups.
constexpr int32_t kWidths[24] = {600, 800, 725, 650, 550, 550, 550, 630, 630, 550, 550, 550,
                                 630, 630, 800, 550, 550, 550, 550, 550, 550, 550, 550, 575};
constexpr int32_t kTableWidth = 14370;
constexpr int32_t kTablePoints = 8;
constexpr const char* kMaker = "Tolvane";

}  // namespace

bool clsReport::RptCustomPLVSpecification0() {
  return modpublic::RunGuarded(ErrorSource("RptCustomPLVSpecification0"), "", ui::kExclamation, [&] {
    const PLVProfileData& profile = *m_PLVProfile;
    const int16_t kind = m_ReportData.nEfficiencyInput;
    TerSetSect(m_TerHwnd, 1, 0, 0, false);
    TerSetSectOrient(m_TerHwnd, m_Orientation, false);
    WriteTextLine("");
    InsertSelectedText("Chiller Specifications");
    SetTerPointSize(m_TerHwnd, 16, m_Repaint);
    SetTerCharStyle(m_TerHwnd, kStyleBold, true, m_Repaint);
    SetTerParaFmt(m_TerHwnd, kParaLeft, true, m_Repaint);
    DeselectTerText(m_TerHwnd, m_Repaint);
    WriteTextLine("");
    SetTableStart(0);

    auto cell = [&](const std::string& text, bool hdr, int pos, int32_t width, bool rowEnd, int32_t align = 0) {
      WriteCellData(text, hdr, pos, width, rowEnd, true, true, true, true, align);
    };
    const struct {
      const char* text;
      int32_t width;
    } top[] = {{"", 600},
               {"", 800},
               {"", 725},
               {"", 650},
               {"Evaporator FF", 2910},
               {"Condenser FF", 2910},
               {"Electric", 800},
               {"Custom Weighting Factors", 2200},
               {"Custom Avg Cond. Temps", 2200},
               {"", 575}};
    for (int pos = 0; pos < 10; ++pos) cell(top[pos].text, true, pos, top[pos].width, pos == 9);

    std::string flow = modpublic::gUnits.UnitStr(GPM_TO_LPS);
    if (modpublic::gUnits.CurrentUnitOfMeasure() == nENGLISH) flow = vb::UCase(flow);
    const std::string water[5] = {flow, AddUnitLabel("EWT", F_TO_C, true), AddUnitLabel("LWT", F_TO_C, true), "Pass",
                                  AddUnitLabel("WPD", FTWG_TO_KPA, true)};
    std::string second[24] = {"Mark", "Mfgr", AddUnitLabel("Clg", TONS_TO_KW, true), "Input"};
    for (int i = 0; i < 5; ++i) second[4 + i] = second[9 + i] = water[i];
    second[14] = "V/Ph/Hz";
    for (int i = 0; i < 4; ++i) second[15 + i] = second[19 + i] = reports::plv::kPointLabels[static_cast<size_t>(i)];
    second[23] = reports::ResString(reports::kResSpecRemarks);
    for (int pos = 0; pos < 24; ++pos) cell(second[pos], true, pos, kWidths[pos], pos == 23);

    const int n = reports::plv::ChillerCount(profile);
    for (int c = 1; c <= n; ++c) {
      const ChillerResultData& r = profile.ChillerResults(c);
      std::string row[24];
      row[0] = reports::plv::Clean(r.sSlotName);
      row[1] = kMaker;
      row[2] = FormatUnitValue(r.fCapacity, TONS_TO_KW, "###,###,###,##0");
      row[3] = FormatUnitValue(reports::plv::FullLoadInput(r, kind), reports::plv::InputUnitId(r.nEfficiencyKind),
                               "###,###,###,##0");
      row[6] = FormatUnitValue(r.fDesignLCHWT, F_TO_C, "0.0");
      row[10] = FormatUnitValue(r.fDesignECWT, F_TO_C, "0.0");
      for (int p = 1; p <= 4; ++p) {
        row[14 + p] = vb::Format(r.fWeightingFactor(p), "0.00");
        row[18 + p] = reports::plv::RatingPointECWT(r.fWeightingFactor(p), r.fECWT(p), "0.0");
      }
      for (int pos = 0; pos < 24; ++pos)
        cell(row[pos], false, pos, kWidths[pos], pos == 23, pos <= 1 ? 1024 : (pos >= 19 && pos <= 22) ? 2 : 0);
    }
    if (profile.nHeatRecoveryMode == 2)
      WriteCellData(reports::plv::HeatRecoveryNote(), false, 0, kTableWidth, true, false, false, false, false, 0);
    WriteTextLine("");

    // The whole table in regular text, small enough for its narrow columns.
    int32_t line = 0, col = 0;
    GetTerCursorPos(m_TerHwnd, line, col);
    SelectTerText(m_TerHwnd, GetTableStart(), 0, line, col, m_Repaint);
    SetTerPointSize(m_TerHwnd, kTablePoints, m_Repaint);
    SetTerCharStyle(m_TerHwnd, kStyleBold, false, m_Repaint);
    DeselectTerText(m_TerHwnd, m_Repaint);

    // The formulas, centred, an empty line between them.
    int32_t centre = m_ParaCenter;
    WriteTextLineWithFont(reports::plv::ElectricFormula(kind, reports::plv::EfficiencySymbol(kind)), m_FontNormal,
                          centre);
    WriteTextLine("");
    WriteTextLineWithFont(reports::plv::AbsorptionFormula(), m_FontNormal, centre);
    WriteTextLine("");
  });
}

bool clsReport::RptCustomPLVSpecification() {
  return modpublic::RunGuarded(ErrorSource("RptCustomPLVSpecification"), "", ui::kExclamation, [&] {
    m_CurrentReportID = AddReportInfo("CplvSpec.rtf", "Custom PLV Specification Report", 2, true);
    if (m_CurrentReportID == 0) return false;
    if (!RptCustomPLVSpecification0()) return false;
    return WrapUpReport();
  });
}
