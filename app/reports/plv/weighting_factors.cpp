// The weighting factors and ECWTs report (the plant's custom weighting factors and ECWTs
// beside the standard rating, and the plant's input data), and the per-chiller summary of
// custom weighting factors and ECWTs.
#include <string>

#include "app/reports/clsReport.h"
#include "app/reports/plv/plv_values.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

using namespace richtext;
using modDataIO::gProject;
using modpublic::AddUnitLabel;
using modpublic::FormatUnitValue;
using reports::plv::Clean;
using reports::plv::Numbered;

bool clsReport::RptForMardel(int32_t& section) {
  if (SummaryOfMardelResults(section) && PlantInputDataSummary(section)) return true;
  modpublic::ShowError("", ui::kExclamation, ErrorSource("RptForMardel"));
  return false;
}

reports::plv::RatingMeans clsReport::StoreRatingMeans() {
  const reports::plv::RatingMeans means = reports::plv::PlantRatingMeans(*m_PLVProfile);
  for (int i = 0; i < 4; ++i) {
    gProject.WeightingFactor(i) = means.weightingFactor[static_cast<size_t>(i)];
    gProject.ECWT(i) = means.ecwt[static_cast<size_t>(i)];
  }
  return means;
}

namespace {

// The plant's means as stored in the project.
reports::plv::RatingMeans ProjectRatingMeans() {
  reports::plv::RatingMeans means;
  for (int i = 0; i < 4; ++i) {
    means.weightingFactor[static_cast<size_t>(i)] = gProject.WeightingFactor(i);
    means.ecwt[static_cast<size_t>(i)] = gProject.ECWT(i);
  }
  return means;
}

}  // namespace

bool clsReport::SummaryOfMardelResults(int32_t& section) {
  return modpublic::RunGuarded(ErrorSource("SummaryOfMardelResults"), "", ui::kExclamation, [&] {
    // The table shows what the summary CSV exports: the means the run stored in the project
    // when it read the results; results read otherwise have their means stored here first.
    const reports::plv::RatingMeans means = m_RatingMeansStored ? ProjectRatingMeans() : StoreRatingMeans();
    SetTableStart(0);
    ++section;
    WriteSectionTitle(Numbered(section, "Summary of Results"));

    WriteTableColHeaderData("", 0, 2160, false, true, true, true, true, 0);
    WriteTableColHeaderData("IPLV", 1, 4320, false, true, true, true, false, 0);
    WriteTableColHeaderData("CPLV", 2, 4320, true, true, true, true, false, 0);
    const std::string ecwtCaption = AddUnitLabel("ECWT", F_TO_C, true);
    const char* captions[] = {"Chiller Load", "Weighting Factor", nullptr, "Weighting Factor", nullptr};
    for (int pos = 0; pos < 5; ++pos)
      WriteCellData(captions[pos] ? captions[pos] : ecwtCaption, true, pos, 2160, pos == 4, true, true, true, true, 0,
                    0, m_ShadeColor);
    for (int i = 4; i >= 1; --i) {
      const size_t k = static_cast<size_t>(i - 1);
      const std::string cells[] = {reports::plv::kPointLabels[k],
                                   FormatUnitValue(reports::plv::kIPLVWeights[k], NO_CONV, "0.000"),
                                   FormatUnitValue(reports::plv::kIPLVECWT[k], F_TO_C),
                                   FormatUnitValue(means.weightingFactor[k], NO_CONV, "0.000"),
                                   reports::plv::RatingPointECWT(means.weightingFactor[k], means.ecwt[k])};
      for (int pos = 0; pos < 5; ++pos)
        WriteCellData(cells[pos], false, pos, 2160, pos == 4, true, true, true, true, 0);
    }
    int32_t para = 0;
    WriteTextLineWithFont("Note: Average ECWT's accurate to +/- " + FormatUnitValue(0.2, F_TO_K) + " " +
                              modpublic::gUnits.UnitStr(F_TO_K),
                          m_FontUnderline, para);
    KeepTableTogether(GetTableStart());
    ResetTableStart();
  });
}

bool clsReport::PlantInputDataSummary(int32_t& section) {
  return modpublic::RunGuarded(ErrorSource("InputDataSummary"), "", ui::kExclamation, [&] {
    if (!BeginNewSection(2, 360, 0)) return false;
    SetTableStart(0);
    ++section;
    WriteSectionTitle(Numbered(section, "Input Data Summary"));

    auto group = [&](const std::string& heading) {
      WriteTextLine("");
      int32_t para = m_ParaGroupHeading;
      WriteTextLineWithFont(heading, m_FontHeaderColor10, para);
    };
    std::vector<std::string> labels;
    auto row = [&](const std::string& label, const std::string& value) {
      labels.push_back(label);
      int32_t para = 0;
      WriteLabelValuePair(label, m_FontBold, "\t" + value, m_FontNormal, para, true);
    };
    auto number = [](double value, long unitId) {
      return FormatUnitValue(value, unitId) + AddUnitLabel("", unitId, false);
    };
    group("Weather");
    row("City ", Clean(gProject.CityName));
    row("Location ", Clean(gProject.LocationName));
    row("Region ", Clean(gProject.RegionName));
    group("Building");
    row("Building ", Clean(gProject.BuildingType));
    row("Peak Building Load ", number(gProject.BuildingPeakLoad, TONS_TO_KW));
    row("Economizer ", gProject.Economizer == 2   ? "Waterside Economizer"
                       : gProject.Economizer == 1 ? "Outdoor Air Economizer"
                                                  : "No Economizer");
    // The plant's groups fill the second column.
    WriteColumnBreak();
    group("Chiller Plant");
    row("Plant Capacity ", number(gProject.PlantCapacity, TONS_TO_KW));
    row("Chillers in Plant ", vb::Format(gProject.ChillerNumber, "0"));
    row("Plant Control ", gProject.PlantControlName);
    row("Design LCHWT ", number(gProject.DesignLCHWT, F_TO_C));
    row("Design ECWT ", number(gProject.DesignECWT, F_TO_C));
    row("Minimum ECWT ", number(gProject.MinECWT, F_TO_C));
    row("Evaporator Flow Rate ", number(gProject.EvapFlowRate, GPMTON_TO_LSKW));
    row("Evaporator Flow Control ", gProject.EvapFlowControlName);
    row("Condenser Flow Rate ", number(gProject.CondFlowRate, GPMTON_TO_LSKW));
    group("Cooling Tower");
    row("Design Wet Bulb ", number(gProject.DesignWB, F_TO_C));
    row("Design Approach ", number(gProject.DesignApproach, F_TO_K));
    WriteTextLine("");
    KeepTableTogether(GetTableStart());
    reports::plv::SetValueTab(
        m_TerHwnd, GetTableStart(),
        reports::plv::ValueTabFor(labels, m_DefaultFontSize, true, reports::plv::kBoldLabelValueTab));
    ResetTableStart();
    if (!BeginNewSection(1, 0, 0)) return false;
    if (gProject.PlantControl == 4) {
      int32_t para = 0;
      WriteTextLineWithFont(
          "Note: Plants using Equal Unloading control will have " + vb::Format(gProject.SystemDifference, "0") +
              "% higher energy use for chilled water + " + "condenser water pumps than plants using Sequenced control.",
          m_FontUnderline, para);
    }
    return true;
  });
}

bool clsReport::WeightingFactorsAndECWTs(int32_t& section) {
  return modpublic::RunGuarded(ErrorSource("WeightingFactorsAndECWTs"), "", ui::kExclamation, [&] {
    const PLVProfileData& profile = *m_PLVProfile;
    SetTableStart(0);
    ++section;
    WriteTextLine(Numbered(section, "Summary of Custom Weighting Factors and ECWTs"), true, false);
    WriteCellData("", true, 0, 4320, false, true, true, true, true, 0);
    WriteCellData("Custom Weighting Factors", true, 1, 2880, false, true, true, true, true, 0);
    WriteCellData(AddUnitLabel("Custom Entering Condenser Temperatures", F_TO_C, true), true, 2, 2880, true, true, true,
                  true, true, 0);
    WriteCellData("Chiller", true, 0, 4320, false, true, true, true, true, 1024);
    for (int pos = 1; pos <= 8; ++pos)
      WriteCellData(reports::plv::kPointLabels[static_cast<size_t>((pos - 1) % 4)], true, pos, 720, pos == 8, true,
                    true, true, true, 0);
    const int n = reports::plv::ChillerCount(profile);
    for (int c = 1; c <= n; ++c) {
      const ChillerResultData& r = profile.ChillerResults(c);
      // Each field trimmed on its own, so a NUL in the tag does not drop the name.
      WriteCellData(vb::Trim(Clean(r.sSlotName) + " - " + Clean(r.sChillerName)), false, 0, 4320, false, true, true,
                    true, true, 0);
      for (int p = 1; p <= 4; ++p)
        WriteCellData(FormatUnitValue(r.fWeightingFactor(p), NO_CONV, "0.000"), false, p, 720, false, true, true, true,
                      true, 0);
      for (int p = 1; p <= 4; ++p)
        WriteCellData(reports::plv::RatingPointECWT(r.fWeightingFactor(p), r.fECWT(p)), false, p + 4, 720, p == 4, true,
                      true, true, true, 2);
    }
    if (profile.nHeatRecoveryMode == 2)
      WriteCellData(reports::plv::HeatRecoveryNote(), false, 0, 10080, true, false, false, false, false, 0);
    KeepTableTogether(GetTableStart());
    ResetTableStart();
  });
}
