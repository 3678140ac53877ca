// Putting the report document into a known state: page geometry from the printer, the
// fifteen fonts and seven paragraph styles every writer draws from, the orientation and the
// section table.
#include <utility>

#include "app/reports/clsReport.h"
#include "app/reports/report_internal.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

using namespace richtext;

bool clsReport::InitReportDocument(int32_t orientation, bool clear) {
  return modpublic::RunGuarded(ErrorSource("InitReportDocument"), "", ui::kExclamation, [&] {
    Doc();
    m_ReportError = false;
    m_HdrFtrDefault = true;
    m_DefaultFontName = "Arial";
    m_DefaultFontSize = 9.0;
    m_StartLine = 0;
    m_TableStart = 0;
    m_PrevCellId = 0;
    m_CurCellId = 0;
    DeselectTerText(m_TerHwnd, false);
    if (clear) TerNewDocument(m_TerHwnd);
    TerPosBodyText(m_TerHwnd, 0, 0, m_Repaint);
    SetTerDefaultFont(m_TerHwnd, m_DefaultFontName, static_cast<int32_t>(m_DefaultFontSize), 0, 0, m_Repaint);
    SetTerFont(m_TerHwnd, m_DefaultFontName, m_Repaint);
    if (!CreateNewFonts() || !CreateNewParaStyles()) return false;
    // The settings record of the document library is left as it is: the layer in its place
    // has none of the settings the record's unnamed fields held.
    int32_t col = -1;
    GetTerCursorPos(m_TerHwnd, m_StartLine, col);
    SetPageOrientation(orientation);
    if (clear) {
      m_Sections.assign(1, SectionInfo{m_Orientation, "", m_HdrFtrDefault});
      m_SubRptFirstSect.clear();
    } else {
      SyncSectionList();
    }
    TerSetMarginEx(m_TerHwnd, -1, m_Margins.left, m_Margins.right, -1, -1, m_Margins.top, m_Margins.bottom, m_Repaint);
    return true;
  });
}

void clsReport::SyncSectionList() {
  const size_t n = Doc().doc.sections.size();
  while (m_Sections.size() < n) {
    const auto& fmt = Doc().doc.sections[m_Sections.size()].fmt;
    m_Sections.push_back(SectionInfo{fmt.orientation == Orientation::Landscape ? 2 : 1, "", fmt.header.has_value()});
  }
  m_Sections.resize(n);
}

bool clsReport::CreateNewFonts() {
  return modpublic::RunGuarded(ErrorSource("CreateNewFonts"), "", ui::kExclamation, [&] {
    Doc();
    struct FontRow {
      int32_t* id;
      int32_t size;
      int32_t style;
      int32_t shared;
      ColorRef text;
      ColorRef back;
      int32_t spacing;  // 0: none set
    };
    const ColorRef white = 0xFFFFFF;
    const FontRow rows[] = {
        {&m_FontNormal, 9, 0, 1, 0, white, 0},
        {&m_FontBold, 9, kStyleBold, 1, 0, white, 0},
        {&m_FontItalic, 9, kStyleItalic, -1, 0, white, 0},
        {&m_FontBoldItalic, 9, kStyleBold | kStyleItalic, -1, 0, white, 0},
        {&m_FontUnderline, 9, kStyleUnderline, -1, 0, white, 0},
        {&m_FontSectionTitle, 10, kStyleBold, 1, 0, white, 16},
        {&m_FontSubSectionTitle, 9, kStyleBold, 1, 0, white, 8},
        {&m_FontColHeader, 9, kStyleBold, 1, white, 0, 0},
        {&m_FontHeaderColor, 9, kStyleBold, 1, m_HeaderColor, 0, 0},
        {&m_FontHeaderColor10, 10, kStyleBold, 1, m_HeaderColor, 0, 0},
        {&m_FontHeaderColor11, 11, kStyleBold, 1, m_HeaderColor, 0, 0},
        {&m_FontWhite12, 12, kStyleBold, 1, white, 0, 0},
        {&m_FontBold12, 12, kStyleBold, 1, 0, 0, 0},
        {&m_FontNormal10, 10, 0, 1, 0, 0, 0},
        {&m_FontSuperscript, 9, kStyleSuperscript, 1, 0, 0, 0},
    };
    for (const FontRow& r : rows) {
      *r.id = TerCreateFont(m_TerHwnd, -1, r.shared, "Arial", r.size, r.style, r.text, r.back, 0, 0);
      if (r.spacing != 0) TerSetFontSpace(m_TerHwnd, *r.id, r.spacing, 0);
    }
    m_CurFont = m_FontNormal;
  });
}

bool clsReport::CreateNewParaStyles() {
  return modpublic::RunGuarded(ErrorSource("CreateNewParaStyles"), "", ui::kExclamation, [&] {
    Doc();
    struct ParaRow {
      int32_t* id;
      int32_t leftIndent;
      int32_t before;
      int32_t after;
      uint32_t flags;
    };
    const ParaRow rows[] = {
        {&m_ParaLeft, 0, 0, 0, kParaLeft},
        {&m_ParaRight, 0, 0, 0, kParaRight},
        {&m_ParaCenter, 0, 0, 0, kParaCenter},
        {&m_ParaSectionTitle, 0, 100, 60, kParaLeft},
        {&m_ParaSubSectionTitle, 0, 60, 30, kParaLeft},
        {&m_ParaIndented, 300, 60, 30, kParaLeft},
        {&m_ParaGroupHeading, 0, 0, 30, kParaLeft | 0x20},
    };
    for (const ParaRow& r : rows)
      *r.id = TerCreateParaId(m_TerHwnd, -1, 0, r.leftIndent, 0, 0, 0, 0, 0, 0, 0, r.before, r.after, 0, r.flags);
    m_CurPara = m_ParaLeft;
  });
}

bool clsReport::SetPageDimensions() {
  return modpublic::RunGuarded(ErrorSource("SetPageDimensions"), "", ui::kExclamation, [&] {
    // Without a printer the page is US Letter with 0.25-inch borders, so graphs and logos
    // still have a text width to be placed on.
    const std::optional<reports::PrinterCaps> caps = m_PrinterCaps ? m_PrinterCaps() : std::nullopt;
    const reports::PageGeometry g = reports::ComputePageGeometry(caps.value_or(reports::NoPrinterCaps()));
    m_PageWidth = g.pageWidth;
    m_PageHeight = g.pageHeight;
    m_Margins = g.margins;
    m_TextWidth = g.textWidth;
    m_TextHeight = g.textHeight;
    Editor& e = Doc();
    e.paper = {m_PageWidth, m_PageHeight};
    for (auto& s : e.doc.sections) {
      s.fmt.paperWidth = m_PageWidth;
      s.fmt.paperHeight = m_PageHeight;
    }
    e.changed();
    TerSetMarginEx(m_TerHwnd, -1, m_Margins.left, m_Margins.right, -1, -1, m_Margins.top, m_Margins.bottom, m_Repaint);
    // The text area as stored follows the orientation in force.
    int32_t o = m_Orientation;
    SetPageOrientation(o);
  });
}

void clsReport::SetPageOrientation(int32_t& orientation) {
  if (orientation != 1 && orientation != 2) orientation = 1;
  m_Orientation = orientation;
  if ((orientation == 2 && m_TextWidth < m_TextHeight) || (orientation == 1 && m_TextHeight < m_TextWidth))
    std::swap(m_TextWidth, m_TextHeight);
}

bool clsReport::InsertSelectedText(const std::string& text) {
  return modpublic::RunGuarded(ErrorSource("InsertSelectedText"), "", ui::kExclamation, [&] {
    Doc();
    int32_t l1 = 0, c1 = 0, l2 = 0, c2 = 0;
    GetTerCursorPos(m_TerHwnd, l1, c1);
    if (text.empty()) return false;
    InsertTerText(m_TerHwnd, text, m_Repaint);
    GetTerCursorPos(m_TerHwnd, l2, c2);
    SelectTerText(m_TerHwnd, l1, c1, l2, c2, m_Repaint);
    return true;
  });
}
