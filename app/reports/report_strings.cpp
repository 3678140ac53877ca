#include "app/reports/report_strings.h"

#include <map>
#include <utility>

namespace reports {
namespace {

std::function<bool(int32_t, std::string&)>& Source() {
  static std::function<bool(int32_t, std::string&)> source;
  return source;
}

const std::map<int32_t, std::string>& English() {
  static const std::map<int32_t, std::string> table = {
      {kResSpecRemarks, "Notes"},
  };
  return table;
}

}  // namespace

std::string ResString(int32_t id) {
  std::string text;
  if (Source() && Source()(id, text)) return text;
  const auto& table = English();
  const auto it = table.find(id);
  return it == table.end() ? std::string() : it->second;
}

void SetResStringSource(std::function<bool(int32_t, std::string&)> source) { Source() = std::move(source); }

}  // namespace reports
