// Build, paginate and write as PDF, and write as RTF, a document of about 30 pages of tables
// and graphs (the size of a full part-load report); build and paginate at 100 and 400 pages.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "bench/common/bench_app.h"
#include "examples/richtext/sample_document.h"

namespace {

void BM_BuildPaginateWritePdf(benchmark::State& state) {
  QTemporaryDir dir;
  const std::string pdf = dir.filePath("bench.pdf").toStdString();
  int pages = 0;
  for (auto _ : state) {
    const richtext::TerHwnd h = richtext::TerCreateWindow();
    richtext::sample::BuildSampleDocument(h, 14);
    pages = richtext::TerGetPageCount(h);
    int32_t job = 0;
    const int32_t handle = richtext::TerPdfStart(pdf, job, "bench", "", "bench", "", "");
    if (handle == 0 || richtext::TerPdfPrintPage(h, job, -1) == 0 || richtext::TerPdfEnd(handle, job) == 0)
      state.SkipWithError("PDF not written");
    richtext::TerDestroyWindow(h);
  }
  state.counters["pages"] = pages;
}
BENCHMARK(BM_BuildPaginateWritePdf)->Unit(benchmark::kMillisecond);

// Building and paginating the sample with `chapters` data chapters (33: about 100 pages,
// 133: about 400); ms_per_page must not grow with the length of the document.
void BM_BuildPaginate(benchmark::State& state) {
  const int chapters = static_cast<int>(state.range(0));
  int pages = 0;
  const benchapp::Seconds start = benchapp::Now();
  for (auto _ : state) {
    const richtext::TerHwnd h = richtext::TerCreateWindow();
    richtext::sample::BuildSampleDocument(h, chapters);
    pages = richtext::TerGetPageCount(h);
    richtext::TerDestroyWindow(h);
  }
  const benchapp::Seconds end = benchapp::Now();
  benchapp::PageCounters(state, pages, start, end);
}
BENCHMARK(BM_BuildPaginate)->ArgName("chapters")->Arg(33)->Arg(133)->Unit(benchmark::kMillisecond);

// Saving the built document as an RTF file (the document is built once, outside the loop).
void BM_WriteRtf(benchmark::State& state) {
  QTemporaryDir dir;
  const std::string rtf = dir.filePath("bench.rtf").toStdString();
  const richtext::TerHwnd h = richtext::TerCreateWindow();
  richtext::sample::BuildSampleDocument(h, 14);
  for (auto _ : state) {
    if (richtext::SaveTerFile(h, rtf) != 1) state.SkipWithError("RTF not written");
  }
  state.counters["pages"] = richtext::TerGetPageCount(h);
  richtext::TerDestroyWindow(h);
}
BENCHMARK(BM_WriteRtf)->Unit(benchmark::kMillisecond);

}  // namespace
