// Reads arbitrary bytes as a CRC list: the check that the list is whole, the section scan,
// and every key of every section the scan takes, through the same reader the checker uses. Nothing may crash, hang or
// trip a sanitizer, and a value never exceeds its 254 characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tools/filecheck/crc_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // A list taken as whole names at least one file.
  if (crclist::WholeListProblem(input).empty() && crclist::ScanSections(input, "").empty() &&
      crclist::ScanSections(input, "Linux").empty() && input.find('[') == std::string_view::npos)
    std::abort();
  const crclist::IniFile ini(input);
  for (const auto& listed : crclist::ScanSections(input, "Linux")) {
    for (const char* key : {"CRC", "Size", "VERSION", "CLSID", "CLSIDVer"})
      if (ini.Get(listed.section, key).size() > 254) std::abort();
    if (const auto size = crclist::ParseSize(ini.Get(listed.section, "Size")))
      if (crclist::FormatSize(*size).empty()) std::abort();
  }
  return 0;
}
