#include "app/reports/tests/report_fixture.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"

// fontconfig keeps its configuration cache for the life of the process; that is not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace fs = std::filesystem;
using namespace richtext;

namespace reporttest {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "reports_test";
  static char* argv[] = {name, nullptr};
  // Never destroyed: the application lives until the process ends.
  if (!QCoreApplication::instance()) new QGuiApplication(argc, argv);
}

void ReportTest::SetUp() {
  EnsureApp();
  ASSERT_TRUE(dir.isValid());
  working = dir.filePath("work").toStdString() + "/";
  scratch = dir.filePath("scratch").toStdString() + "/";
  fs::create_directories(working);
  fs::create_directories(scratch);
  scopedHost = std::make_unique<ui::ScopedHost>(host);
  scopedProgress = std::make_unique<ui::ScopedProgressTarget>(progress);
  modDataIO::InitProject(modDataIO::gProject);
  modDataIO::InitSettings(modDataIO::gSettings);
  modDataIO::gSettings.WorkingFolder = working;
  previousScratch = modDataIO::DataFolder();
  modDataIO::DataFolder(scratch);
  report = std::make_unique<clsReport>();
  // The page of a machine without a printer, wherever the tests run.
  report->SetPrinterCapsSource([] { return std::nullopt; });
  report->SetPageDimensions();
}

void ReportTest::TearDown() {
  report.reset();
  modDataIO::DataFolder(previousScratch);
  scopedProgress.reset();
  scopedHost.reset();
}

std::string TextOf(const Paragraph& p) {
  std::string s;
  for (const Run& r : p.runs) {
    if (r.kind == RunKind::Text)
      s += r.text;
    else if (r.kind == RunKind::PageField)
      s += "#";
    else if (r.kind == RunKind::LineBreak)
      s += "\n";
  }
  return s;
}

std::vector<std::string> ReportTest::BodyTexts() {
  std::vector<std::string> out;
  for (const Section& s : doc().sections)
    for (const Block& b : s.blocks) {
      if (const auto* p = std::get_if<Paragraph>(&b)) out.push_back(TextOf(*p));
      if (const auto* t = std::get_if<Table>(&b))
        for (const Row& r : t->rows)
          for (const Cell& c : r.cells)
            for (const Paragraph& p : c.paragraphs) out.push_back(TextOf(p));
    }
  return out;
}

std::string ReportTest::HdrFtrText(size_t section, bool footer) {
  const auto& fmt = doc().sections.at(section).fmt;
  const auto& hf = footer ? fmt.footer : fmt.header;
  if (!hf) return "";
  std::string s;
  for (size_t i = 0; i < hf->paragraphs.size(); ++i) s += (i ? "|" : "") + TextOf(hf->paragraphs[i]);
  return s;
}

std::vector<const Table*> ReportTest::Tables() {
  std::vector<const Table*> out;
  for (const Section& s : doc().sections)
    for (const Block& b : s.blocks)
      if (const auto* t = std::get_if<Table>(&b)) out.push_back(t);
  return out;
}

std::vector<std::string> ReportTest::WorkingFiles() const {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(working)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

void ReportTest::Keep(const std::string& path) {
  const char* keep = std::getenv("REPORTS_KEEP_OUTPUT");
  if (!keep || !*keep) return;
  std::error_code ec;
  fs::create_directories(keep, ec);
  fs::copy_file(path, fs::path(keep) / fs::path(path).filename(), fs::copy_options::overwrite_existing, ec);
}

void ReportTest::WriteEmptyResults() {
  ASSERT_TRUE(modDataIO::bCalcWriteHeaderData());
  PLVSummaryData summary;
  auto profile = std::make_unique<PLVProfileData>();
  ASSERT_TRUE(modDataIO::bCalcWritePLVData(summary, *profile));
  EconSummaryData econ;
  auto systems = std::make_unique<vb::Array<SystemEconData, 1, 4>>();
  ASSERT_TRUE(modDataIO::bCalcWriteEconData(summary, econ, *systems));
}

std::string Head(const std::string& path, size_t n) {
  std::ifstream f(path, std::ios::binary);
  std::string s(n, '\0');
  f.read(s.data(), static_cast<std::streamsize>(n));
  s.resize(static_cast<size_t>(f.gcount()));
  return s;
}

void ReportTest::WriteErrDat(const std::vector<std::string>& lines) const {
  std::ofstream f(scratch + "ERR.DAT", std::ios::binary);
  for (const auto& l : lines) f << l << "\r\n";
}

}  // namespace reporttest
