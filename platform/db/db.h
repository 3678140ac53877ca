// A thin layer over SQLite for the program's database files (the system library index
// INX.MDB, the site database, the resource database).
//
// - RAII: a Database handle keeps its connection open; a Statement finalizes itself; a
//   Transaction rolls back unless committed.
// - Parameters are always bound (Bind); SQL text never carries values.
// - One connection per database file per process: opening a file that this process already
//   has open joins the open connection, so a routine may open the database again while its
//   caller holds it. The connection closes when its last handle goes.
// - While the connection is open the process holds a lock on "<file>.lock" beside the
//   database: a writer holds it exclusively, so no second process can use the file at the
//   same time (its open fails with a clear message); readers share it, so several
//   processes may read one database while none writes it (unless the reader asks for the
//   file alone). A read-only open in a folder
//   where the lock file cannot be created (a read-only program folder) goes without it;
//   an immutable open (OpenMode::kImmutable) never takes one.
// - Errors are thrown as db::Error with the SQLite result code and a message that names
//   the file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

class Error : public std::runtime_error {
 public:
  Error(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int code() const { return code_; }  // SQLite result code, or -1 for errors of this layer

 private:
  int code_;
};

enum class OpenMode {
  kReadOnly,   // the file must exist; nothing can be changed through this handle
  kReadWrite,  // the file must exist
  kCreate,     // read-write, creating an empty database when the file does not exist
  // Read-only for a file that nothing changes while it is open (the program's installed
  // data): no lock is taken and nothing is created beside the file, so a read-only folder
  // works and any number of processes read it at once.
  kImmutable,
};

class Connection;
class Statement;

class Database {
 public:
  // Opens the database file or joins this process's open connection to it. A read-write
  // open while the process has the file open read-only throws. `exclusive` makes a
  // read-only open keep other processes out too (as a writer always does): for files that
  // one program owns while it works on them, such as the scratch system index.
  static std::shared_ptr<Database> Open(const std::string& path, OpenMode mode, bool exclusive = false);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // The file's path; empty once closed.
  std::string Name() const;
  bool ReadOnly() const { return readOnly_; }
  // Releases this handle (the connection closes when no other handle uses it).
  void Close();

  // Runs SQL without results, one statement after another (schema, PRAGMA). On a read-only
  // handle only statements that do not write are accepted.
  void Execute(const std::string& sql);
  Statement Prepare(const std::string& sql);
  // The statement of `sql` prepared once per connection and kept until the connection
  // closes: each use gets it with its bindings cleared and hands it back, reset, when the
  // Statement object goes. For statements a run repeats for every record. A second use of
  // the same text while the first is still held gets a statement of its own.
  Statement Cached(const std::string& sql);

  // Number of rows changed by the last INSERT/UPDATE/DELETE on the connection.
  int Changes() const;
  bool InTransaction() const;

  sqlite3* handle() const;

 private:
  Database(std::shared_ptr<Connection> c, bool readOnly);
  std::shared_ptr<Connection> conn_;
  bool readOnly_;
  friend class Statement;
};

class Statement {
 public:
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;
  ~Statement();

  // Parameters are 1-based, as in the SQL text ("?1", "?").
  Statement& Bind(int index, std::int64_t value);
  Statement& Bind(int index, int value) { return Bind(index, static_cast<std::int64_t>(value)); }
  Statement& Bind(int index, double value);
  Statement& Bind(int index, const std::string& value);
  Statement& BindNull(int index);

  // Advances to the next row: true while a row is available, false when done.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();
  void Reset();

  // Columns are 0-based. A NULL reads as 0 / 0.0 / "".
  std::int64_t Int(int column) const;
  double Double(int column) const;
  std::string Text(int column) const;
  bool IsNull(int column) const;
  int ColumnCount() const;

 private:
  Statement(std::shared_ptr<Connection> c, sqlite3_stmt* s, bool* cachedInUse = nullptr);
  void Check(int rc) const;
  void Release();
  std::shared_ptr<Connection> conn_;
  sqlite3_stmt* stmt_ = nullptr;
  bool* cachedInUse_ = nullptr;  // a kept statement of the connection: reset, not finalized
  friend class Database;
};

// BEGIN ... COMMIT; the destructor rolls back a transaction that was not committed.
class Transaction {
 public:
  explicit Transaction(Database& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void Commit();
  void Rollback();

 private:
  Database& db_;
  bool active_ = false;
};

}  // namespace db
