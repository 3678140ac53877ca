// The numbered texts of the reports: the English wording of every text the report sections
// take by number. The reports ask the program's text catalog (app/resources/TextCatalog.h), so a
// loaded translation answers first; this table is the catalog's English table.
#pragma once

#include <cstdint>
#include <string>

namespace reports {

// Text numbers the report sections use.
inline constexpr int32_t kResSpecRemarks = 1860;  // last column of the chiller specification table

// The text of number id from the text catalog, with this table as its English texts; the
// catalog's missing-text mark for a number nobody holds.
std::string ResString(int32_t id);

}  // namespace reports
