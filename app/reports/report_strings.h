// The numbered texts of the reports: the English wording of every text the report sections
// take by number. A translation, once loaded, takes precedence over this table.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace reports {

// Text numbers the report sections use.
inline constexpr int32_t kResSpecRemarks = 1860;  // last column of the chiller specification table

// The text of number id: the installed translation's when it has one, else the English
// wording; "" for a number the table does not hold.
std::string ResString(int32_t id);

// Where a translation plugs in: a lookup that returns true and sets the text when it holds
// the number. An empty function removes it.
void SetResStringSource(std::function<bool(int32_t, std::string&)> source);

}  // namespace reports
