#include "bench/common/process_bench.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace benchapp {
namespace {

// Runs a shell command; its standard output, and whether it exited with 0.
bool Run(const std::string& cmd, std::string& output, double& seconds) {
  const auto start = std::chrono::steady_clock::now();
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return false;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) output.append(buf, n);
  const int status = pclose(p);
  seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return status == 0;
}

std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace

double RunSelfOnce(const std::string& benchmark) {
  std::error_code ec;
  const std::string self = std::filesystem::read_symlink("/proc/self/exe", ec).string();
  if (ec) return -1;
  // A minimum time of 0 runs the benchmark's body once.
  const std::string cmd = Quoted(self) + " --benchmark_filter=" + Quoted("^" + benchmark + "$") +
                          " --benchmark_min_time=0 2>&1";
  std::string out;
  double seconds = 0;
  if (!Run(cmd, out, seconds) || out.find(benchmark) == std::string::npos ||
      out.find("ERROR OCCURRED") != std::string::npos)
    return -1;
  return seconds;
}

double LibreOfficeToPdf(const std::string& rtf, const std::string& outDir) {
  std::filesystem::create_directories(outDir);
  const std::string cmd = "HOME=" + Quoted(outDir) + " soffice --headless --convert-to pdf --outdir " +
                          Quoted(outDir) + " " + Quoted(rtf) + " 2>&1";
  std::string out;
  double seconds = 0;
  const std::filesystem::path pdf =
      std::filesystem::path(outDir) / std::filesystem::path(rtf).filename().replace_extension(".pdf");
  std::filesystem::remove(pdf);
  if (!Run(cmd, out, seconds) || !std::filesystem::exists(pdf)) return -1;
  return seconds;
}

void KeepCopy(const std::string& file) {
  const char* dir = std::getenv("KESTRIN_BENCH_OUT");
  if (!dir || !*dir) return;
  std::error_code ec;
  std::filesystem::copy_file(file, std::filesystem::path(dir) / std::filesystem::path(file).filename(),
                             std::filesystem::copy_options::overwrite_existing, ec);
}

}  // namespace benchapp
