// The cover page: a logo, the project name, the customer and preparer blocks, then the
// summary of concepts on the next page; or the user's own cover file.
#include <filesystem>

#include "app/reports/clsReport.h"
#include "app/reports/report_internal.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

using namespace richtext;

namespace {

// The logo and the spacer that follows it, by the options' logo switch.
struct CoverLogo {
  const char* file;
  int spacerLines;
};
CoverLogo LogoOf(bool showLogo) {
  return showLogo ? CoverLogo{"Tolvane-Logo.bmp", 8} : CoverLogo{"Tolvane-Blue.bmp", 12};
}

}  // namespace

bool clsReport::RptCoverPage0(std::string& folder) {
  return modpublic::RunGuarded(ErrorSource("RptCoverPage0"), "", ui::kExclamation, [&] {
    if (folder.empty()) folder = modDataIO::DataFolder();
    const std::string path = (std::filesystem::path(folder) / "CVG.RTF").string();
    // No section begun from here on gets a header or footer until the run sets it again.
    m_HdrFtrDefault = false;
    bool ok = false;
    // A cover file that is missing or cannot be read gives the standard page.
    if (m_ReportData.UseCoverFile != 0 && ReadTerFile(m_TerHwnd, path) == 1) {
      TerSetReadOnly(m_TerHwnd, true);
      TerRepaginate(m_TerHwnd, m_Repaint);
      TerRepaint(m_TerHwnd, true);
      SetPageDimensions();
      ok = InitReportDocument(1, false);
      m_HdrFtrDefault = false;
      if (ok) WriteTextLine("");
    } else {
      ok = StdRptCoverPage();
    }
    if (ok) MoveToDocEnd();
    return ok;
  });
}

bool clsReport::StdRptCoverPage() {
  return modpublic::RunGuarded(ErrorSource("StdRptCoverPage"), "", ui::kExclamation, [&] {
    Doc();
    const ColorRef white = Rgb(255, 255, 255);
    const int32_t titleFont = TerCreateFont(m_TerHwnd, -1, 1, "Arial", 22, kStyleBold, m_HeaderColor, white, 0, 0);
    TerSetFontSpace(m_TerHwnd, titleFont, 20, 0);
    const int32_t labelFont = TerCreateFont(m_TerHwnd, -1, 1, "Arial", 12, kStyleBold, m_TitleColor, white, 0, 0);
    TerSetFontSpace(m_TerHwnd, labelFont, 16, 0);
    const int32_t valueFont = TerCreateFont(m_TerHwnd, -1, 1, "Arial", 12, 0, 0, white, 0, 0);
    TerSetFontSpace(m_TerHwnd, valueFont, 16, 0);

    const CoverLogo logo = LogoOf(m_ReportData.bShowLogo != 0);
    PutGraphicsInReport(logo.file, false);
    auto spacer = [&] {
      for (int i = 0; i < logo.spacerLines; ++i) WriteTextLine("");
    };
    spacer();

    int32_t para = m_ParaIndented;
    WriteTextLineWithFont(vb::UCase(modDataIO::gProject.ProjectName), titleFont, para);
    WriteTextLine("");

    const ProjectData& p = modDataIO::gProject;
    const std::pair<const char*, const std::string*> customer[] = {{"Prepared For: ", &p.ClientName},
                                                                   {"Address: ", &p.ContactAddress},
                                                                   {"Contact Name: ", &p.ContactName},
                                                                   {"Email: ", &p.ContactEmail},
                                                                   {"Phone: ", &p.ContactPhone}};
    for (const auto& [label, value] : customer) WriteLabelValuePair(label, labelFont, *value, valueFont, para, true);
    spacer();

    const SettingsData& s = modDataIO::gSettings;
    const std::pair<const char*, const std::string*> preparer[] = {{"Prepared By: ", &s.UserName},
                                                                   {"Representing: ", &s.OfficeName},
                                                                   {"Email: ", &s.UserEmail},
                                                                   {"Phone: ", &s.UserPhone}};
    for (const auto& [label, value] : preparer) {
      WriteTableColHeaderData("", 0, 200, false, false, false, false, false, 1024, 0, 0, 400, 300);
      WriteCellDataWithMixedFonts(vb::Space(6) + label, labelFont, vb::Trim(*value), valueFont, 1, 10000, true, false,
                                  false, false, false, 1024, 0, 0, 400, 300);
    }
    WriteTextLine("");
    TerPageBreak(m_TerHwnd, m_Repaint);
    GenerateSummaryOfConceptsTable();
    return true;
  });
}

bool clsReport::RptCoverPage() {
  return modpublic::RunGuarded(ErrorSource("RptCoverPage"), "", ui::kExclamation, [&] {
    m_CurrentReportID = AddReportInfo("CoverPg.rtf", "", 1, false);
    if (m_CurrentReportID == 0) return false;
    std::string folder;
    return RptCoverPage0(folder) && WrapUpReport();
  });
}
