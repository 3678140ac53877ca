#include "app/reports/report_strings.h"

#include <map>
#include <mutex>

#include "app/resources/TextCatalog.h"

namespace reports {
namespace {

std::map<int32_t, std::string> English() {
  return {
      {kResSpecRemarks, "Notes"},
  };
}

}  // namespace

std::string ResString(int32_t id) {
  static std::once_flag registered;
  std::call_once(registered, [] { textcatalog::SetEnglishTexts(English()); });
  return textcatalog::GetString(id);
}

}  // namespace reports
