// Fuzz entry: arbitrary bytes as the sections of CAL.DAT. The first byte picks the reader:
// section B decoded straight from the bytes, or a whole results file (the valid header
// followed by the bytes) read by the PLV, economic and simulation-block readers.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/storage/fuzz/fuzz_folder.h"
#include "app/storage/modDataIO.h"
#include "app/storage/record_codec.h"
#include "libs/vb/vberror.h"
#include "platform/ui/ui.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ui::RecordingHost host;
  static ui::ScopedHost scoped(host);
  if (size == 0) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] % 2 == 0) {
    auto profile = std::make_unique<PLVProfileData>();
    try {
      modDataIO::codec::Decode(bytes, *profile);
    } catch (const vb::RuntimeError&) {
    }
    return 0;
  }
  static const fuzzing::FuzzFolder folder("kestrin_fuzz_cal");
  const std::string dir = folder.Dir();
  {
    const CalcHeaderData header{21, 282, 5661, 12624, 50000};
    std::ofstream out(dir + "CAL.DAT", std::ios::binary | std::ios::trunc);
    out << modDataIO::codec::Encode(header);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  PLVSummaryData summary;
  auto profile = std::make_unique<PLVProfileData>();
  modDataIO::bCalcReadPLVData(summary, *profile, dir);
  EconSummaryData econ;
  auto systems = std::make_unique<vb::Array<SystemEconData, 1, 4>>();
  modDataIO::bCalcReadEconData(summary, econ, *systems, dir);
  auto block = std::make_unique<SimMonthData>();
  modDataIO::bCalcReadSimData(static_cast<std::int16_t>(1 + data[0] % 4), 1, *block, dir);
  host.messages.clear();
  return 0;
}
