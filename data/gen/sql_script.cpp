#include "data/gen/sql_script.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/db/db.h"

namespace sqlscript {

void Run(db::Database& database, const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::string line, sql;
  while (std::getline(in, line)) {
    const auto first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line.compare(first, 2, "--") == 0) continue;
    sql += line + "\n";
  }
  std::size_t start = 0;
  for (std::size_t end; (end = sql.find(';', start)) != std::string::npos; start = end + 1) {
    const std::string statement = sql.substr(start, end - start);
    if (statement.find_first_not_of(" \t\r\n") != std::string::npos) database.Execute(statement);
  }
}

}  // namespace sqlscript
