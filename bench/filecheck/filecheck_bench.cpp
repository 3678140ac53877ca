// How fast the checker reads files: CRC32File over a 64 MiB file (bytes per second), and
// VerifyFiles over a list of 200 small files in one folder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ui/ui.h"
#include "tools/filecheck/FileInfo.h"
#include "tools/filecheck/file_search.h"

namespace {

namespace fs = std::filesystem;

fs::path BenchFolder() {
  std::string tmpl = (fs::temp_directory_path() / "veritor-bench-XXXXXX").string();
  return mkdtemp(tmpl.data());
}

void BM_CRC32File(benchmark::State& state) {
  const fs::path dir = BenchFolder();
  const fs::path file = dir / "big.bin";
  {
    std::ofstream out(file, std::ios::binary);
    const std::string block(1 << 20, 'k');
    for (int i = 0; i < 64; ++i) out << block;
  }
  uint32_t crc = 0;
  uint64_t size = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(filesearch::CRC32File(file.string(), crc, size));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
  fs::remove_all(dir);
}
BENCHMARK(BM_CRC32File)->Unit(benchmark::kMillisecond);

void BM_VerifyFiles(benchmark::State& state) {
  const fs::path dir = BenchFolder();
  std::ofstream list(dir / "SETUP.CRC", std::ios::binary);
  for (int i = 0; i < 200; ++i) {
    const std::string name = "file" + std::to_string(i) + ".dat";
    std::ofstream(dir / name, std::ios::binary) << std::string(4096, static_cast<char>('a' + i % 26));
    list << "[" << name << ":Linux]\r\nCRC=0\r\nSize=4096\r\nVERSION=1.0\r\n";
  }
  list.close();
  ui::RecordingHost host;
  ui::ScopedHost scoped(host);
  const std::string listFile = (dir / "SETUP.CRC").string();
  for (auto _ : state) {
    FileInfo info;
    info.InitGrid();
    info.LoadCrcFile(listFile);
    info.VerifyFiles(listFile);
    benchmark::DoNotOptimize(info.Grid1().size());
  }
  fs::remove_all(dir);
}
BENCHMARK(BM_VerifyFiles)->Unit(benchmark::kMillisecond);

}  // namespace
