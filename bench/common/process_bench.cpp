#include "bench/common/process_bench.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace benchapp {
namespace {

double ChildrenCpu() {
  rusage u{};
  getrusage(RUSAGE_CHILDREN, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// Runs a shell command; its standard output, and whether it exited with 0. The CPU time is
// that of the finished children, the command and all it started.
bool Run(const std::string& cmd, std::string& output, Seconds& seconds) {
  const auto start = std::chrono::steady_clock::now();
  const double cpu = ChildrenCpu();
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return false;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) output.append(buf, n);
  const int status = pclose(p);
  seconds.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  seconds.cpu = ChildrenCpu() - cpu;
  return status == 0;
}

std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace

Seconds RunSelfOnce(const std::string& benchmark) {
  std::error_code ec;
  const std::string self = std::filesystem::read_symlink("/proc/self/exe", ec).string();
  if (ec) return {-1, 0};
  // A minimum time of 0 runs the benchmark's body once.
  const std::string cmd =
      Quoted(self) + " --benchmark_filter=" + Quoted("^" + benchmark + "$") + " --benchmark_min_time=0 2>&1";
  std::string out;
  Seconds seconds;
  if (!Run(cmd, out, seconds) || out.find(benchmark) == std::string::npos ||
      out.find("ERROR OCCURRED") != std::string::npos)
    return {-1, 0};
  return seconds;
}

Seconds LibreOfficeToPdf(const std::string& rtf, const std::string& outDir) {
  std::filesystem::create_directories(outDir);
  const std::string cmd = "HOME=" + Quoted(outDir) + " soffice --headless --convert-to pdf --outdir " + Quoted(outDir) +
                          " " + Quoted(rtf) + " 2>&1";
  std::string out;
  Seconds seconds;
  const std::filesystem::path pdf =
      std::filesystem::path(outDir) / std::filesystem::path(rtf).filename().replace_extension(".pdf");
  std::filesystem::remove(pdf);
  if (!Run(cmd, out, seconds) || !std::filesystem::exists(pdf)) return {-1, 0};
  return seconds;
}

namespace {

// Runs `once` per iteration; the mean timing, or false after a failed run.
template <class F>
bool TimedLoop(benchmark::State& state, Seconds& mean, const char* failure, F&& once) {
  Seconds total;
  for (auto _ : state) {
    const Seconds s = once();
    if (s.wall < 0) {
      state.SkipWithError(failure);
      return false;
    }
    total.wall += s.wall;
    total.cpu += s.cpu;
  }
  const auto n = static_cast<double>(state.iterations());
  mean = {total.wall / n, total.cpu / n};
  state.counters["cpu_ms"] = mean.cpu * 1e3;
  return true;
}

}  // namespace

void OurProcessLoop(benchmark::State& state, const std::string& benchmark, Seconds& mean) {
  TimedLoop(state, mean, "the report process failed", [&] { return RunSelfOnce(benchmark); });
}

void LibreOfficeLoop(benchmark::State& state, const std::string& rtf, const std::string& outDir, const Seconds& ours) {
  Seconds mean;
  if (!TimedLoop(state, mean, "soffice failed", [&] { return LibreOfficeToPdf(rtf, outDir); })) return;
  if (ours.wall > 0) state.counters["x_report_process"] = mean.wall / ours.wall;
  if (ours.cpu > 0) state.counters["x_report_process_cpu"] = mean.cpu / ours.cpu;
}

void KeepCopy(const std::string& file) {
  const char* dir = std::getenv("KESTRIN_BENCH_OUT");
  if (!dir || !*dir) return;
  std::error_code ec;
  std::filesystem::copy_file(file, std::filesystem::path(dir) / std::filesystem::path(file).filename(),
                             std::filesystem::copy_options::overwrite_existing, ec);
}

}  // namespace benchapp
