// Fuzz entry: arbitrary bytes as the text of a unit entry box. The evaluator must answer every
// text with a finite number, "Error" or a lone negative kept as typed, and the key filter
// must keep its promise for every character.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "controls/unitentry/modArithmetic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const modArithmetic::EvalResult r = modArithmetic::Evaluate(text);
  if (r.isNumber && !std::isfinite(r.number)) std::abort();
  if (!r.isNumber && !r.IsError() && (r.text.empty() || r.text[0] != '-')) std::abort();
  (void)modArithmetic::EvaluateEntry(text);
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    char16_t key = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    const char16_t typed = key;
    std::string boxText = text;
    modArithmetic::FilterKey(key, boxText);
    if (key != 0 && key != typed) std::abort();
    if (typed != u'=' && boxText != text) std::abort();
  }
  return 0;
}
