// The writing primitives: titles, text lines, label/value lines, the four kinds of table
// cells, tables kept on one page, caret moves and column breaks.
#include "app/reports/clsReport.h"
#include "app/reports/report_internal.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

using namespace richtext;
using reports::detail::kCellEnd;
using reports::detail::kColumnMark;
using reports::detail::kParaEnd;
using reports::detail::kRowEnd;

namespace {
constexpr int32_t kBorder = 10;  // twips, the width of every cell border
constexpr int32_t kVertCentre = 4096;
}  // namespace

bool clsReport::WriteTitle(const std::string& text, int32_t font, int32_t para, const char* procedure) {
  return modpublic::RunGuarded(ErrorSource(procedure), "", ui::kExclamation, [&] {
    Doc();
    m_CurFont = font;
    m_CurPara = para;
    TerAppendTextEx(m_TerHwnd, vb::UCase(text) + kParaEnd, m_CurFont, m_CurPara, 0, 0, m_Repaint);
    MoveToDocEnd();
  });
}

bool clsReport::WriteSectionTitle(const std::string& text) {
  return WriteTitle(text, m_FontSectionTitle, m_ParaSectionTitle, "WriteSectionTitle");
}

bool clsReport::WriteSubSectionTitle(const std::string& text) {
  return WriteTitle(text, m_FontSubSectionTitle, m_ParaSubSectionTitle, "WriteSubSectionTitle");
}

bool clsReport::WriteTextLine(const std::string& text, bool bold, bool italic) {
  return modpublic::RunGuarded(ErrorSource("WriteTextLine"), "", ui::kExclamation, [&] {
    Doc();
    m_CurFont = bold && italic ? m_FontBoldItalic : bold ? m_FontBold : italic ? m_FontItalic : m_FontNormal;
    m_CurPara = m_ParaLeft;
    TerAppendTextEx(m_TerHwnd, text + kParaEnd, m_CurFont, m_CurPara, 0, 0, m_Repaint);
    MoveToDocEnd();
  });
}

bool clsReport::WriteTextLineWithFont(const std::string& text, int32_t fontId, int32_t& paraId) {
  return modpublic::RunGuarded(ErrorSource("WriteTextLineWithFont"), "", ui::kExclamation, [&] {
    Doc();
    if (paraId <= 0) paraId = m_ParaLeft;
    TerAppendTextEx(m_TerHwnd, text + kParaEnd, fontId, paraId, 0, 0, m_Repaint);
    MoveToDocEnd();
  });
}

bool clsReport::WriteLabelValuePair(const std::string& label, int32_t labelFont, const std::string& value,
                                    int32_t valueFont, int32_t& paraId, bool paraEnd) {
  return modpublic::RunGuarded(ErrorSource("WriteLabelValuePair"), "", ui::kExclamation, [&] {
    Doc();
    if (paraId < 1) paraId = m_ParaLeft;
    TerAppendTextEx(m_TerHwnd, label, labelFont, paraId, 0, 0, m_Repaint);
    TerAppendTextEx(m_TerHwnd, value, valueFont, paraId, 0, 0, m_Repaint);
    if (paraEnd) TerAppendTextEx(m_TerHwnd, std::string(1, kParaEnd), valueFont, paraId, 0, 0, m_Repaint);
    MoveToDocEnd();
  });
}

int32_t clsReport::ParaOfAlignment(int32_t align) const {
  if (align == 1024) return m_ParaLeft;
  if (align == 2) return m_ParaRight;
  return m_ParaCenter;
}

// Creates the next cell (a new row when pos is 0) with its borders and background; it
// becomes m_CurCellId.
bool clsReport::AppendCell(int32_t pos, int32_t width, int32_t valueA, int32_t valueC, int32_t valueD, int32_t valueB,
                           bool left, bool top, bool right, bool bottom, richtext::ColorRef background) {
  Doc();
  const int32_t newRow = pos == 0 ? 1 : 0;
  auto b = [](bool on) { return on ? kBorder : 0; };
  m_CurCellId = TerCreateCellId(m_TerHwnd, newRow, m_PrevCellId, 0, valueD, valueC, width, valueA, b(left), b(right),
                                b(top), b(bottom), 1, valueB, 0);
  TerSetCellInfo2(m_TerHwnd, m_CurCellId, background, 50, 0);
  return true;
}

bool clsReport::WriteCellData(const std::string& text, bool hdr, int32_t pos, int32_t width, bool rowEnd, bool left,
                              bool top, bool right, bool bottom, int32_t align, int32_t valueA,
                              richtext::ColorRef colour, int32_t valueB, bool bold, int32_t font) {
  return modpublic::RunGuarded(ErrorSource("WriteCellData"), "", ui::kExclamation, [&] {
    AppendCell(pos, width, valueA, 0, 0, valueB, left, top, right, bottom, colour > 0 ? colour : m_CellColor);
    int32_t f = hdr || bold ? m_FontBold : m_FontNormal;
    if (font > 0) f = font;
    TerAppendTextEx(m_TerHwnd, text + kCellEnd, f, ParaOfAlignment(align), m_CurCellId, -1, m_Repaint);
    m_PrevCellId = m_CurCellId;
    if (rowEnd) TerAppendTextEx(m_TerHwnd, std::string(1, kRowEnd), f, -1, m_CurCellId, -1, false);
    if (hdr) TerSetHdrRow(m_TerHwnd, m_CurCellId, true, m_Repaint);
  });
}

bool clsReport::WriteTableColHeaderData(const std::string& text, int32_t pos, int32_t width, bool rowEnd, bool left,
                                        bool top, bool right, bool bottom, int32_t align, int32_t valueA,
                                        richtext::ColorRef, int32_t valueC, int32_t valueD) {
  return modpublic::RunGuarded(ErrorSource("WriteTableColHeaderData"), "", ui::kExclamation, [&] {
    AppendCell(pos, width, valueA, valueC, valueD, 1, left, top, right, bottom, m_HeaderColor);
    TerAppendTextEx(m_TerHwnd, text + kCellEnd, m_FontColHeader, ParaOfAlignment(align), m_CurCellId, -1, m_Repaint);
    TerCellVertAlign(m_TerHwnd, 1, kVertCentre);
    m_PrevCellId = m_CurCellId;
    if (rowEnd) TerAppendTextEx(m_TerHwnd, std::string(1, kRowEnd), m_FontColHeader, -1, m_CurCellId, -1, false);
    TerSetHdrRow(m_TerHwnd, m_CurCellId, true, m_Repaint);
  });
}

bool clsReport::WriteCellDataWithMixedFonts(const std::string& text1, int32_t font1, const std::string& text2,
                                            int32_t font2, int32_t pos, int32_t width, bool rowEnd, bool left, bool top,
                                            bool right, bool bottom, int32_t align, int32_t valueA,
                                            richtext::ColorRef colour, int32_t valueC, int32_t valueD) {
  return modpublic::RunGuarded(ErrorSource("WriteCellDataWithMixedFonts"), "", ui::kExclamation, [&] {
    AppendCell(pos, width, valueA, valueC, valueD, 1, left, top, right, bottom, colour > 0 ? colour : m_CellColor);
    const int32_t para = ParaOfAlignment(align);
    TerAppendTextEx(m_TerHwnd, text1, font1, para, m_CurCellId, -1, m_Repaint);
    TerAppendTextEx(m_TerHwnd, text2 + kCellEnd, font2, para, m_CurCellId, -1, m_Repaint);
    m_PrevCellId = m_CurCellId;
    if (rowEnd) TerAppendTextEx(m_TerHwnd, std::string(1, kRowEnd), font2, -1, m_CurCellId, -1, false);
  });
}

bool clsReport::WriteCellDataWithThreeDifferentFonts(const std::string& text1, int32_t font1, const std::string& text2,
                                                     int32_t font2, const std::string& text3, int32_t font3,
                                                     int32_t pos, int32_t width, bool rowEnd, bool left, bool top,
                                                     bool right, bool bottom, int32_t align, int32_t valueA,
                                                     richtext::ColorRef colour, int32_t valueC, int32_t valueD) {
  return modpublic::RunGuarded(ErrorSource("WriteCellDataWithThreeDifferentFonts"), "", ui::kExclamation, [&] {
    AppendCell(pos, width, valueA, valueC, valueD, 1, left, top, right, bottom, colour > 0 ? colour : m_CellColor);
    const int32_t para = ParaOfAlignment(align);
    TerAppendTextEx(m_TerHwnd, text1, font1, para, m_CurCellId, -1, m_Repaint);
    TerAppendTextEx(m_TerHwnd, text2, font2, para, m_CurCellId, -1, m_Repaint);
    TerAppendTextEx(m_TerHwnd, text3 + kCellEnd, font3, para, m_CurCellId, -1, m_Repaint);
    m_PrevCellId = m_CurCellId;
    if (rowEnd) TerAppendTextEx(m_TerHwnd, std::string(1, kRowEnd), font3, -1, m_CurCellId, -1, false);
  });
}

bool clsReport::KeepTableTogether(int32_t startLine, bool noTrailing) {
  WriteTextLine("");
  if (TerEditor(m_TerHwnd) == nullptr) return true;
  if (startLine <= 0) startLine = CaretLine();
  SelectTerText(m_TerHwnd, startLine, 0, kLineEnd, 0, m_Repaint);
  SetTerParaFmt(m_TerHwnd, kParaKeepTogether | kParaKeepWithNext, true, m_Repaint);
  DeselectTerText(m_TerHwnd, m_Repaint);
  if (!noTrailing) TerAppendTextEx(m_TerHwnd, std::string(1, kParaEnd), m_CurFont, m_CurPara, 0, 0, m_Repaint);
  MoveToDocEnd();
  return true;
}

int32_t clsReport::GetTableStart() {
  if (m_TableStart == 0) {
    MoveToDocEnd();
    m_TableStart = CaretLine();
  }
  return m_TableStart;
}

void clsReport::SetTableStart(int32_t line) {
  if (line <= 0) {
    MoveToDocEnd();
    line = CaretLine();
  }
  m_TableStart = line;
}

void clsReport::MoveToDocEnd() { SetTerCursorPos(m_TerHwnd, kLineEnd, 9999, m_Repaint); }

void clsReport::MoveToDocStart() { SetTerCursorPos(m_TerHwnd, 0, 0, m_Repaint); }

void clsReport::WriteColumnBreak() {
  TerAppendTextEx(m_TerHwnd, std::string(1, kColumnMark), -1, -1, 0, 0, false);
  MoveToDocEnd();
  TerColBreak(m_TerHwnd, m_Repaint);
}
