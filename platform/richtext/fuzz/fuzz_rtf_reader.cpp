// Reads arbitrary bytes as RTF, then writes the result and reads that again: neither step may
// crash, hang or trip a sanitizer, and what the reader made must be writable.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string_view>

#include "platform/richtext/rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  richtext::Document doc;
  richtext::ReadRtf(input, doc);
  std::ostringstream out;
  richtext::WriteRtf(doc, out);
  richtext::Document again;
  richtext::ReadRtf(out.str(), again);
  return 0;
}
