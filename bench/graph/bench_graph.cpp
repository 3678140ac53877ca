// The report graphs: filling a chart and exporting it as the document's picture.
#include <benchmark/benchmark.h>

#include "examples/graph/sample_charts.h"
#include "platform/richtext/model.h"

namespace {

// Twelve part-load graphs filled and exported as SVG pictures at their report sizes.
void BM_PartLoadReportGraphs(benchmark::State& state) {
  const auto graphs = graph::sample::PartLoadReportGraphs();
  graph::Chart xy(graph::ChartType::Xy), bar(graph::ChartType::Bar);
  size_t bytes = 0;
  for (auto _ : state) {
    for (const auto& g : graphs) {
      graph::Chart& chart = g.type == graph::ChartType::Bar ? bar : xy;
      g.fill(chart);
      const auto pic = graph::ExportPicture(chart, g.width, g.height);
      bytes += pic->data.size();
      benchmark::DoNotOptimize(pic);
    }
  }
  state.counters["graphs"] = static_cast<double>(graphs.size());
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_PartLoadReportGraphs)->Unit(benchmark::kMillisecond);

// The same, with each picture also turned into the PNG the RTF file carries.
void BM_PartLoadReportGraphsWithPng(benchmark::State& state) {
  const auto graphs = graph::sample::PartLoadReportGraphs();
  graph::Chart xy(graph::ChartType::Xy), bar(graph::ChartType::Bar);
  for (auto _ : state) {
    for (const auto& g : graphs) {
      graph::Chart& chart = g.type == graph::ChartType::Bar ? bar : xy;
      g.fill(chart);
      benchmark::DoNotOptimize(richtext::PictureAsPng(*graph::ExportPicture(chart, g.width, g.height)));
    }
  }
}
BENCHMARK(BM_PartLoadReportGraphsWithPng)->Unit(benchmark::kMillisecond);

// One graph of each kind.
void BM_OneGraph(benchmark::State& state) {
  const auto g = graph::sample::AllGraphs().at(static_cast<size_t>(state.range(0)));
  state.SetLabel(g.name);
  graph::Chart chart(g.type);
  for (auto _ : state) {
    g.fill(chart);
    benchmark::DoNotOptimize(graph::ExportPicture(chart, g.width, g.height));
  }
}
BENCHMARK(BM_OneGraph)->DenseRange(0, 9)->Unit(benchmark::kMillisecond);

}  // namespace
