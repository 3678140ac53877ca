// Whole processes for the benchmarks that compare a report of ours with LibreOffice converting
// that report's RTF: both sides are timed as processes, start-up and exit included.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

#include "bench/common/bench_app.h"

namespace benchapp {

// Runs one benchmark of this program once, in a process of its own: its wall-clock seconds
// and the CPU seconds of the process and everything it started; negative wall-clock seconds
// when the process or the benchmark failed.
Seconds RunSelfOnce(const std::string& benchmark);

// Converts an RTF file to PDF with LibreOffice (headless, its profile in `outDir`), timed as
// RunSelfOnce is.
Seconds LibreOfficeToPdf(const std::string& rtf, const std::string& outDir);

// The loop of a benchmark that runs `benchmark` of this program as whole processes; `mean`
// gets the mean timing of one process.
void OurProcessLoop(benchmark::State& state, const std::string& benchmark, Seconds& mean);

// The loop of a benchmark that converts `rtf` with LibreOffice; with `ours` (the mean of
// OurProcessLoop) it sets how many times our whole process fits into one conversion, in
// wall-clock time (x_report_process) and in CPU time (x_report_process_cpu).
void LibreOfficeLoop(benchmark::State& state, const std::string& rtf, const std::string& outDir, const Seconds& ours);

// With KESTRIN_BENCH_OUT set, leaves a copy of a file in that folder, so that the reports of
// two builds can be compared.
void KeepCopy(const std::string& file);

}  // namespace benchapp
