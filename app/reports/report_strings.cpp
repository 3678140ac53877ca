#include "app/reports/report_strings.h"

#include <mutex>

#include "app/resources/TextCatalog.h"

namespace reports {

const std::map<int32_t, std::string>& EnglishTexts() {
  static const std::map<int32_t, std::string> table = {
      {kTxtEnergyUseDetailsFor, "Energy Use Details for"},
      {kTxtNaturalGasUse, "Natural Gas Use"},
      {kTxtSteamUse, "Steam Use"},
      {kTxtCashFlowDetailsFor, "Cash Flow Details for"},
      {kTxtInvestmentCosts, "Investment Costs (Actual Value)"},
      {kTxtCoolingLoad, "Cooling Load"},
      {kResSpecRemarks, "Notes"},
  };
  return table;
}

void InstallEnglishTexts() { textcatalog::SetEnglishTexts(EnglishTexts()); }

std::string ResString(int32_t id) {
  // Sections may run before any report object installed the table (their tests do).
  static std::once_flag installed;
  std::call_once(installed, InstallEnglishTexts);
  return textcatalog::GetString(id);
}

}  // namespace reports
