// Whole processes for the benchmarks that compare a report of ours with LibreOffice converting
// that report's RTF: both sides are timed as processes, start-up and exit included.
#pragma once

#include <string>

namespace benchapp {

// Runs one benchmark of this program once, in a process of its own; the wall-clock seconds,
// or a negative value when the process or the benchmark failed.
double RunSelfOnce(const std::string& benchmark);

// Converts an RTF file to PDF with LibreOffice (headless, its profile in `outDir`); the
// wall-clock seconds, or a negative value when it failed.
double LibreOfficeToPdf(const std::string& rtf, const std::string& outDir);

// With KESTRIN_BENCH_OUT set, leaves a copy of a file in that folder, so that the reports of
// two builds can be compared.
void KeepCopy(const std::string& file);

}  // namespace benchapp
