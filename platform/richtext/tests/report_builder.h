// The report builder's calls as a test fixture: sub-reports begun with a section break, page
// headers and footers written by insert-select-format while the document is read-only for the
// viewer, tables kept together from a remembered line. Used by the tests of those calls and
// by the comparison with another word processor's layout.
#pragma once

#include <string>
#include <vector>

#include "platform/richtext/tests/test_support.h"

namespace richtext::test {

// The report builder's calls, written as it makes them (handle first, repaint flag last).
class ReportCalls : public DocTest {
 protected:
  int32_t caretLine() {
    int32_t l = 0, c = -1;
    GetTerCursorPos(h, l, c);
    return l;
  }
  void moveToDocEnd() { SetTerCursorPos(h, kLineEnd, 9999, false); }
  // Inserts text at the caret and leaves it selected.
  bool insertSelected(const std::string& text) {
    int32_t l1 = 0, c1 = 0, l2 = 0, c2 = 0;
    GetTerCursorPos(h, l1, c1);
    if (text.empty()) return false;
    InsertTerText(h, text, false);
    GetTerCursorPos(h, l2, c2);
    SelectTerText(h, l1, c1, l2, c2, false);
    return true;
  }
  // Sets a toggle command to the wanted state; answers the state read back.
  bool select676(bool wanted) {
    if ((TerMenuSelect(h, kCmdReturnToBody) == kMenuChecked) != wanted) TerCommand(h, kCmdReturnToBody);
    return TerMenuSelect(h, kCmdReturnToBody) == kMenuChecked;
  }
  void makeHdrFtr0(const std::string& title, int orientation, int32_t s) {
    DeselectTerText(h, false);
    TerSetReadOnly(h, false);
    TerSetSectOrient(h, orientation, false);
    TerSetMarginEx(h, s, 720, 720, -1, -1, 720, 720, false);
    ASSERT_TRUE(TerPosHdrFtrEx(h, s, kHdrFtrHeader, 1, false));
    insertSelected(title + "\r\n");
    SetTerFont(h, "Arial", false);
    SetTerColor(h, 16711680, false);
    TerSetCharSpace(h, 36, false);
    SetTerPointSize(h, 11, false);
    SetTerCharStyle(h, kStyleBold, true, false);
    SetTerParaFmt(h, kParaCenter, true, false);
    DeselectTerText(h, false);
    TerSetCharSpace(h, 0, false);
    insertSelected("Project:  Plant {A}\t03/05/2024\r\n");
    SetTerPointSize(h, 9, false);
    SetTerCharStyle(h, kStyleBold, false, false);
    SetTerParaFmt(h, 1024, true, false);
    TerSetTab(h, 1, 12240, 0, false);
    DeselectTerText(h, false);
    insertSelected("Prepared By:  J. Engineer\t02:30 PM");
    SetTerPointSize(h, 9, false);
    SetTerParaFmt(h, 1056, true, false);
    TerSetTab(h, 1, 12240, 0, false);
    DeselectTerText(h, false);

    ASSERT_TRUE(TerPosHdrFtrEx(h, s, kHdrFtrFooter, 0, false));
    int32_t l = 0, c = 0;
    GetTerCursorPos(h, l, c);
    insertSelected("KestrinTM  v1.00\tPage ");
    SetTerPointSize(h, 9, false);
    TerSetTab(h, 1, 12240, 0, false);
    SetTerParaFmt(h, 1040, true, false);
    SelectTerText(h, l, c + 7, l, c + 10, false);
    SetTerCharStyle(h, kStyleSuperscript, true, false);
    DeselectTerText(h, false);
    TerCommand(h, kCmdPageNumber);
    GetTerCursorPos(h, l, c);
    SelectTerText(h, l, c - 1, l, c, false);
    SetTerPointSize(h, 9, false);
    DeselectTerText(h, false);

    EXPECT_TRUE(select676(true));
    TerPosBodyText(h, s, 1, false);
    TerSetCaretPos(h, kCaretEnd);
    EXPECT_FALSE(select676(false));
    TerSetReadOnly(h, true);
    TerRepaginate(h, false);
  }
  // Begins sub-report n; answers its first page as the page count gives it mid-build.
  int32_t beginNewReport(const std::string& title, int orientation, int n, bool hdrFtr) {
    moveToDocEnd();
    TerAppendTextEx(h, "\x15", font, para, 0, 0, false);
    moveToDocEnd();
    if (n >= 1) TerSectBreak(h, false);
    int32_t cols = 0, spacing = 0, third = 0, orient = 0;
    TerGetSectInfo(h, cols, spacing, third, orient);
    TerSetSect2(h, cols, spacing, 1, orient, -1, -1);
    TerSetMarginEx(h, -2, 720, 720, -1, -1, 720, 720, false);
    TerSetSectOrient(h, orientation, false);
    TerRepaginate(h, false);
    TerSetCaretPos(h, kCaretEnd);
    TerFields f;
    GetTerFields(h, f);
    const int32_t seq = TerGetSeqSect(h, f.CurSect);
    if (hdrFtr) makeHdrFtr0(title, orientation, seq);
    int32_t page = 0;
    TerGetPageCount(h, &page);
    return page;
  }
  // A section break at the end with a new column layout, inside a sub-report.
  void beginNewSection(int32_t columns, int32_t spacing, int32_t third) {
    moveToDocEnd();
    TerAppendTextEx(h, "\x15", font, para, 0, 0, false);
    moveToDocEnd();
    TerSectBreak(h, false);
    TerSetSect(h, columns, spacing, third, false);
    TerSetSectOrient(h, 1, false);
  }
  void writeColumnBreak() {
    TerAppendTextEx(h, "\x0f", -1, -1, 0, 0, false);
    moveToDocEnd();
    TerColBreak(h, false);
  }
  void keepTableTogether(int32_t start) {
    line("");
    if (start <= 0) start = caretLine();
    SelectTerText(h, start, 0, kLineEnd, 0, false);
    SetTerParaFmt(h, 49152, true, false);
    DeselectTerText(h, false);
    line("");
    moveToDocEnd();
  }

  // A sub-report of the test document: its title, orientation (1 portrait, 2 landscape),
  // whether it has a page header and footer, and its number of text lines before its table.
  struct Sub {
    const char* title;
    int orientation;
    bool hdrFtr;
    int lines;
  };
  static std::vector<Sub> TestSubReports() {
    return {{"Cover", 1, false, 5},
            {"Input Data Summary", 1, true, 130},
            {"Custom PLV Worksheet", 2, true, 10},
            {"Operating Hours", 1, true, 20}};
  }
  struct Built {
    std::vector<int32_t> firstPage;  // 1-based first page of each sub-report, taken mid-build
    std::vector<int32_t> firstLine;  // API line of each sub-report's first text line
    std::vector<int> subOfSection;   // the sub-report each section belongs to
  };
  // Builds the sub-reports the way the builder does: each begun with a section break, a
  // two-column part in the second, text lines and a kept-together table with a header row.
  Built buildReport(const std::vector<Sub>& subs) {
    Built b;
    for (size_t n = 0; n < subs.size(); ++n) {
      b.firstPage.push_back(beginNewReport(subs[n].title, subs[n].orientation, static_cast<int>(n), subs[n].hdrFtr));
      b.subOfSection.push_back(static_cast<int>(n));
      if (n == 1) {
        // A two-column part and back to one column, as the input data summary writes it.
        beginNewSection(2, 360, 0);
        b.subOfSection.push_back(static_cast<int>(n));
        line("Summary left");
        writeColumnBreak();
        line("Summary right");
        beginNewSection(1, 0, 0);
        b.subOfSection.push_back(static_cast<int>(n));
      }
      moveToDocEnd();
      b.firstLine.push_back(caretLine());
      // The document is read-only for the viewer from the first header on; appends still work.
      for (int i = 0; i < subs[n].lines; ++i) line(std::string(subs[n].title) + " line " + std::to_string(i));
      // The table's start is remembered at the caret, which appends leave where it was.
      moveToDocEnd();
      const int32_t start = caretLine();
      for (int r = 0; r < 8; ++r) {
        cell(std::string(subs[n].title) + " row " + std::to_string(r), true, 5000, false, r == 0);
        cell("value", false, 5000, true, r == 0);
      }
      keepTableTogether(start);
    }
    return b;
  }
};

}  // namespace richtext::test
