// Shared fixture of the report tests: the Qt application the document layout needs, the
// recording message host and progress window, a temporary working folder and scratch folder
// for the run, and readers of what the document holds.
#pragma once

#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/reports/clsReport.h"
#include "libs/testsupport/run_command.h"
#include "platform/ui/ui.h"

namespace reporttest {

void EnsureApp();

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  richtext::Editor& ed() { return *richtext::TerEditor(report->TerHwnd()); }
  richtext::Document& doc() { return ed().doc; }
  // The text of every body paragraph in document order (cells included), one entry each.
  std::vector<std::string> BodyTexts();
  // The text of a header or footer of a section ("" when it has none).
  std::string HdrFtrText(size_t section, bool footer);
  // The tables of the body in document order.
  std::vector<const richtext::Table*> Tables();
  std::string Working(const std::string& name) const { return working + name; }
  std::vector<std::string> WorkingFiles() const;
  // Copies a file into the folder named by REPORTS_KEEP_OUTPUT, when set, so that a person
  // can look at the pages a test made.
  static void Keep(const std::string& path);
  // Writes ERR.DAT into the scratch folder from lines (CR LF ends each).
  void WriteErrDat(const std::vector<std::string>& lines) const;
  // Lays CAL.DAT out in the scratch folder with empty part-load and economic results, for a
  // report run to read.
  static void WriteEmptyResults();

  ui::RecordingHost host;
  ui::RecordingProgress progress;
  std::unique_ptr<ui::ScopedHost> scopedHost;
  std::unique_ptr<ui::ScopedProgressTarget> scopedProgress;
  QTemporaryDir dir;
  std::string working;  // ends with "/"
  std::string scratch;  // ends with "/"
  std::string previousScratch;
  std::unique_ptr<clsReport> report;
};

// Text of a paragraph's runs (page fields as "#").
std::string TextOf(const richtext::Paragraph& p);
// The first n bytes of a file (fewer when it is shorter).
std::string Head(const std::string& path, size_t n);
// Output of a shell command.
using testsupport::RunCommand;

}  // namespace reporttest
