#include "app/reports/report_strings.h"

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

std::string ResString(int32_t id) { return textcatalog::GetString(id); }

}  // namespace reports
