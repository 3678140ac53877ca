// Fuzz entry: arbitrary bytes as the resource configuration file. Reading must never crash,
// hang or touch memory it does not own; an unusable number is refused with a run-time error
// and nothing else may escape.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/resources/ResourceConfig.h"
#include "libs/vb/vberror.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const int32_t localeId : {0, 1033, 1031}) {
    std::string languageName, fontName;
    double fontSize = 0.0;
    try {
      const int32_t found = resourceconfig::ReadLanguageSettings(reinterpret_cast<const char*>(data), size, localeId,
                                                                 languageName, fontName, fontSize);
      // A configured locale always comes with a usable font size.
      if (found != 0 && !(fontSize > 0.0)) __builtin_trap();
    } catch (const vb::RuntimeError&) {
    }
  }
  return 0;
}
