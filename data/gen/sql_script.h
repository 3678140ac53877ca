// Runs a schema script (data/sql/*.sql) statement by statement on a database.
#pragma once

#include <string>

namespace db {
class Database;
}

namespace sqlscript {

// Lines starting with "--" are comments; statements end with ';'. Throws std::runtime_error
// when the file cannot be read and db::Error when a statement fails.
void Run(db::Database& database, const std::string& path);

}  // namespace sqlscript
