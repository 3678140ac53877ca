// The English wording of the numbered texts the report sections take by number
// (textcatalog::GetString). One table for every report section: add a section's numbers
// here. A translation catalog, once installed, answers instead of this table.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace reports {

// Numbers of the texts of the part-load tables.
inline constexpr int32_t kResSpecRemarks = 1860;  // last column of the chiller specification table

// Numbers of the texts of the economic detail tables.
inline constexpr int32_t kTxtEnergyUseDetailsFor = 1089;  // title of each energy use table
inline constexpr int32_t kTxtNaturalGasUse = 1096;        // monthly natural gas use column
inline constexpr int32_t kTxtSteamUse = 1097;             // monthly steam use column
inline constexpr int32_t kTxtCashFlowDetailsFor = 1100;   // title of each cash flow table
inline constexpr int32_t kTxtInvestmentCosts = 1101;      // investment group over the cash flow

// Numbers of the texts of the economic graphs.
inline constexpr int32_t kTxtCoolingLoad = 1864;  // legend of the cooling load series

// The English table (number -> text).
const std::map<int32_t, std::string>& EnglishTexts();

// Makes the English table the one textcatalog answers from (it replaces any other). The
// report object installs it when it is made.
void InstallEnglishTexts();

// The text of number id from the text catalog (installing the English table on first use).
std::string ResString(int32_t id);

}  // namespace reports
