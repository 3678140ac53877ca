// Shared fixtures of the rich-text tests: the Qt application, a fresh editor handle, a
// scratch folder and report-style writers built only from the public API.
#pragma once

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "libs/testsupport/run_command.h"
#include "platform/richtext/ter.h"

// fontconfig keeps its configuration cache for the life of the process; that is not ours.
// (Each test program has one source file including this header.)
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace richtext::test {

inline void EnsureApp() {
  static int argc = 1;
  static char name[] = "richtext_test";
  static char* argv[] = {name, nullptr};
  // Never destroyed: the application lives until the process ends.
  if (!QCoreApplication::instance()) new QApplication(argc, argv);
}

// A document on US Letter with half-inch margins, like a machine without printers.
class DocTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    h = TerCreateWindow();
    Editor* e = TerEditor(h);
    e->paper = {12240, 15840};
    for (auto& s : e->doc.sections) {
      s.fmt.paperWidth = 12240;
      s.fmt.paperHeight = 15840;
    }
    font = TerCreateFont(h, -1, 1, "Arial", 10, 0, 0, 0xFFFFFF, 0, 0);
    bold = TerCreateFont(h, -1, 1, "Arial", 10, kStyleBold, 0, 0xFFFFFF, 0, 0);
    para = TerCreateParaId(h, -1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, kParaLeft);
  }
  void TearDown() override { TerDestroyWindow(h); }

  Editor& ed() { return *TerEditor(h); }
  void line(const std::string& text) { TerAppendTextEx(h, text + "\x15", font, para, 0, 0, false); }
  int32_t endLine() {
    int32_t l = 0, c = 0;
    SetTerCursorPos(h, kLineEnd, 9999, false);
    GetTerCursorPos(h, l, c);
    return l;
  }
  // One table cell the way the report writers make it.
  int32_t cell(const std::string& text, bool newRow, int32_t width, bool rowEnd, bool header = false) {
    const int32_t id = TerCreateCellId(h, newRow ? 1 : 0, prevCell, 0, 0, 0, width, 0, 10, 10, 10, 10, 1, 1, 0);
    TerSetCellInfo2(h, id, Rgb(255, 255, 255), 50, 0);
    TerAppendTextEx(h, text + "\x13", header ? bold : font, para, id, -1, false);
    if (rowEnd) TerAppendTextEx(h, "\x12", font, -1, id, -1, false);
    if (header) TerSetHdrRow(h, id, true, false);
    prevCell = id;
    return id;
  }
  // Keeps everything from `start` to the end on one page, then an empty line.
  void keepFrom(int32_t start) {
    line("");
    SelectTerText(h, start, 0, kLineEnd, 0, false);
    SetTerParaFmt(h, kParaKeepTogether | kParaKeepWithNext, true, false);
    DeselectTerText(h, false);
    line("");
  }
  std::string scratch(const std::string& name) { return dir.filePath(QString::fromStdString(name)).toStdString(); }

  TerHwnd h = 0;
  int32_t font = 0, bold = 0, para = 0, prevCell = 0;
  QTemporaryDir dir;
};

// Output of a command (poppler tools).
using testsupport::RunCommand;

}  // namespace richtext::test
