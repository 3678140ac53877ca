// The report object: creation, properties, error source, and the helpers of its files.
#include "app/reports/clsReport.h"

#include <algorithm>
#include <filesystem>

#include "app/reports/report_internal.h"
#include "app/reports/report_strings.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "kestrin_version.h"
#include "libs/vb/vbcompat.h"
#include "libs/vb/vberror.h"

using namespace richtext;

clsReport::PaintingFrozen::PaintingFrozen(richtext::TerHwnd h) : h_(h), editor_(TerEditor(h)) {
  if (editor_) {
    view_ = editor_->view;
    editor_->view = nullptr;
  }
}

clsReport::PaintingFrozen::~PaintingFrozen() {
  if (editor_ && TerEditor(h_) == editor_) {
    editor_->view = view_;
    if (view_) view_->documentChanged();
  }
}

clsReport::clsReport()
    : m_TerHwnd(TerCreateWindow()),
      m_PrinterCaps([] { return reports::DefaultPrinterCaps(); }),
      m_PLVProfile(std::make_unique<PLVProfileData>()),
      m_SystemEcon(std::make_unique<vb::Array<SystemEconData, 1, 4>>()),
      // Report pages are printed on white paper: black text, white cells.
      m_TextColor(Rgb(0, 0, 0)),
      m_CellColor(Rgb(255, 255, 255)),
      m_TitleColor(Rgb(21, 44, 115)),
      m_HeaderColor(Rgb(24, 145, 246)),
      m_ShadeColor(Rgb(221, 236, 254)) {
  // Numbered texts answer in English until a translation is installed.
  reports::InstallEnglishTexts();
  m_PLVSections.Cover = [this] {
    std::string folder;
    return RptCoverPage0(folder);
  };
  InstallPLVTableSections();
  InstallPLVGraphSections();
  InstallEconomicSections();
  ClearReportList();
  // The document starts as the viewer binding leaves it: prepared, on the printer's page.
  InitReportDocument(1, true);
  SetPageDimensions();
}

clsReport::~clsReport() {
  if (m_OwnsDocument) {
    TerDestroyWindow(m_TerHwnd);
  } else {
    // The viewer keeps its document: only the caret goes home.
    SetTerCursorPos(m_TerHwnd, 0, 0, m_Repaint);
  }
}

std::string clsReport::ErrorSource(const std::string& procedure) const {
  const std::string name = vb::Trim(procedure);
  std::string s = std::string(kestrin::kProgramName) + ".clsReport";
  if (!name.empty()) s += "." + name;
  return s;
}

richtext::Editor& clsReport::Doc() const {
  Editor* e = TerEditor(m_TerHwnd);
  if (!e) vb::Raise(vb::kObjectRequired);
  return *e;
}

std::string clsReport::WorkingPath(const std::string& fileName) {
  return (std::filesystem::path(modDataIO::WorkingFolder()) / fileName).string();
}

std::string clsReport::ReportFileName() const {
  if (m_CurrentReportID < 1 || m_CurrentReportID >= static_cast<int32_t>(m_Reportinfo.size())) return "";
  const std::string& name = m_Reportinfo[static_cast<size_t>(m_CurrentReportID)].FileName;
  return name.empty() ? "" : WorkingPath(name);
}

clsReport::ReportInfo clsReport::Reportinfo(int32_t id) const {
  if (id < 1 || id >= static_cast<int32_t>(m_Reportinfo.size())) return {};
  return m_Reportinfo[static_cast<size_t>(id)];
}

namespace {

// prefix + name + extension, the name cut so that the whole fits the 255 bytes of a file name
// at the start of a UTF-8 character (never inside one).
std::string FitFileName(const std::string& prefix, std::string name, const std::string& extension) {
  std::size_t cut = std::min(name.size(), std::size_t{255} - prefix.size() - extension.size());
  while (cut > 0 && cut < name.size() && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  name.resize(cut);
  return prefix + name + extension;
}

}  // namespace

std::string clsReport::PLVReportFileName(const std::string& projectName) {
  std::string name = vb::Trim(projectName);
  for (char& c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
        c == '|')
      c = '_';
  }
  // A longer project name is cut, and the extension stays.
  return FitFileName("PLVReport_for_", name, ".rtf");
}

std::string clsReport::ErrorPageFileName(const std::string& reportFile) {
  const std::filesystem::path file(reportFile);
  return FitFileName("Error_", file.stem().string(), file.has_extension() ? file.extension().string() : ".rtf");
}

int32_t clsReport::CaretLine() {
  int32_t line = 0, col = -1;
  GetTerCursorPos(m_TerHwnd, line, col);
  return line;
}
