#include "platform/db/db.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>

namespace db {

// One open SQLite connection with the process lock of its file.
class Connection {
 public:
  Connection(std::string path, bool readOnly, sqlite3* h, int lockFd)
      : path(std::move(path)), readOnly(readOnly), handle(h), lockFd(lockFd), owner(getpid()) {}
  ~Connection() {
    for (auto& [sql, kept] : cached) sqlite3_finalize(kept.stmt);
    sqlite3_close_v2(handle);
    if (lockFd >= 0) {
      flock(lockFd, LOCK_UN);
      close(lockFd);
    }
  }
  std::string path;
  bool readOnly;
  sqlite3* handle;
  int lockFd;
  pid_t owner;  // a forked child never uses its parent's connection
  struct Kept {
    sqlite3_stmt* stmt = nullptr;
    bool inUse = false;
  };
  std::map<std::string, Kept> cached;  // Database::Cached; std::map keeps `inUse` in place
};

namespace {

std::mutex& RegistryMutex() {
  static std::mutex m;
  return m;
}
std::map<std::string, std::weak_ptr<Connection>>& Registry() {
  static std::map<std::string, std::weak_ptr<Connection>> r;
  return r;
}

// The registry key of a path: its canonical form, worked out once per path text (a run
// opens the same few files many times). Called with the registry mutex held.
std::string KeyOf(const std::string& path) {
  static std::map<std::string, std::string> known;
  const auto hit = known.find(path);
  if (hit != known.end()) return hit->second;
  std::error_code ec;
  auto p = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
  std::string key = ec ? path : p.string();
  if (known.size() > 256) known.clear();  // tests open many temporary folders
  known.emplace(path, key);
  return key;
}

[[noreturn]] void Fail(int code, const std::string& message) { throw Error(code, message); }

// The SQLite URI of a read-only file that does not change while it is open: no journal,
// no locks, nothing created beside it.
std::string ImmutableUri(const std::string& path) {
  std::string uri = "file:";
  for (const char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      static const char* const kHex = "0123456789ABCDEF";
      uri += '%';
      uri += kHex[static_cast<unsigned char>(c) >> 4];
      uri += kHex[static_cast<unsigned char>(c) & 0xF];
    } else {
      uri += c;
    }
  }
  return uri + "?mode=ro&immutable=1";
}

// Takes the lock beside the file: shared for a read-only open (readers never keep each
// other out), exclusive for a writer (it keeps every other process out, readers included).
// -1 when a read-only open finds no lock file and cannot create one (a read-only folder).
int TakeLock(const std::string& path, bool readOnly, bool exclusive) {
  const std::string lockPath = path + ".lock";
  int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0 && readOnly) fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    if (readOnly && (err == EACCES || err == EROFS || err == EPERM || err == ENOENT)) return -1;
    Fail(-1, "Cannot create the lock file " + lockPath + ": " + std::strerror(err));
  }
  if (flock(fd, (readOnly && !exclusive ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
    const int err = errno;
    close(fd);
    if (err == EWOULDBLOCK) {
      Fail(SQLITE_BUSY, "The database " + path + " is in use by another program.");
    }
    Fail(-1, "Cannot lock the database " + path + ": " + std::strerror(err));
  }
  return fd;
}

}  // namespace

std::shared_ptr<Database> Database::Open(const std::string& path, OpenMode mode, bool exclusive) {
  const bool immutable = mode == OpenMode::kImmutable;
  const bool readOnly = mode == OpenMode::kReadOnly || immutable;
  std::lock_guard<std::mutex> guard(RegistryMutex());
  const std::string key = KeyOf(path);
  auto existing = Registry()[key].lock();
  if (existing && existing->owner == getpid()) {
    if (existing->readOnly && !readOnly) {
      Fail(-1, "The database " + path + " is already open read-only in this program.");
    }
    return std::shared_ptr<Database>(new Database(existing, readOnly));
  }
  std::error_code ec;
  if (mode != OpenMode::kCreate && !std::filesystem::is_regular_file(path, ec)) {
    Fail(SQLITE_CANTOPEN, "The database file " + path + " does not exist.");
  }
  const int lockFd = immutable ? -1 : TakeLock(path, readOnly, exclusive);
  sqlite3* h = nullptr;
  int flags = SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_PRIVATECACHE;
  flags |=
      readOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | (mode == OpenMode::kCreate ? SQLITE_OPEN_CREATE : 0));
  if (immutable) flags |= SQLITE_OPEN_URI;
  int rc = sqlite3_open_v2(immutable ? ImmutableUri(path).c_str() : path.c_str(), &h, flags, nullptr);
  if (rc == SQLITE_OK) {
    // A file that is not a database shows itself on the first read.
    rc = sqlite3_exec(h, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
  }
  if (rc != SQLITE_OK) {
    const std::string msg = h ? sqlite3_errmsg(h) : sqlite3_errstr(rc);
    sqlite3_close_v2(h);
    if (lockFd >= 0) {
      flock(lockFd, LOCK_UN);
      close(lockFd);
    }
    Fail(rc, "Cannot open the database " + path + ": " + msg);
  }
  sqlite3_extended_result_codes(h, 1);
  // Holding the file alone (a writer, or a reader that asked for it), SQLite may keep its own
  // file locks until the connection closes instead of taking them for every statement.
  if (lockFd >= 0 && (!readOnly || exclusive)) {
    sqlite3_exec(h, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
  }
  auto conn = std::make_shared<Connection>(path, readOnly, h, lockFd);
  Registry()[key] = conn;
  return std::shared_ptr<Database>(new Database(conn, readOnly));
}

Database::Database(std::shared_ptr<Connection> c, bool readOnly) : conn_(std::move(c)), readOnly_(readOnly) {}
Database::~Database() = default;

std::string Database::Name() const { return conn_ ? conn_->path : std::string(); }

void Database::Close() { conn_.reset(); }

sqlite3* Database::handle() const {
  if (!conn_) Fail(-1, "The database is closed.");
  return conn_->handle;
}

void Database::Execute(const std::string& sql) {
  const char* p = sql.c_str();
  const char* const end = p + sql.size();
  while (p < end) {
    sqlite3_stmt* s = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(handle(), p, static_cast<int>(end - p), &s, &tail);
    if (rc != SQLITE_OK) Fail(rc, "Database " + conn_->path + ": " + sqlite3_errmsg(conn_->handle));
    if (!s) break;  // only blanks or comments remain
    Statement st(conn_, s);
    if (readOnly_ && !sqlite3_stmt_readonly(s)) {
      Fail(SQLITE_READONLY, "Database " + conn_->path + " is open read-only.");
    }
    st.Run();
    p = tail;
  }
}

Statement Database::Prepare(const std::string& sql) {
  sqlite3_stmt* s = nullptr;
  const int rc = sqlite3_prepare_v2(handle(), sql.c_str(), static_cast<int>(sql.size()), &s, nullptr);
  if (rc != SQLITE_OK) {
    Fail(rc, "Database " + conn_->path + ": " + sqlite3_errmsg(conn_->handle));
  }
  if (readOnly_ && s && !sqlite3_stmt_readonly(s)) {
    sqlite3_finalize(s);
    Fail(SQLITE_READONLY, "Database " + conn_->path + " is open read-only.");
  }
  return Statement(conn_, s);
}

Statement Database::Cached(const std::string& sql) {
  handle();  // throws when closed
  Connection::Kept& kept = conn_->cached[sql];
  if (kept.inUse) return Prepare(sql);
  if (!kept.stmt) {
    Statement fresh = Prepare(sql);
    kept.stmt = fresh.stmt_;
    fresh.stmt_ = nullptr;
  } else if (readOnly_ && !sqlite3_stmt_readonly(kept.stmt)) {
    Fail(SQLITE_READONLY, "Database " + conn_->path + " is open read-only.");
  }
  kept.inUse = true;
  return Statement(conn_, kept.stmt, &kept.inUse);
}

int Database::Changes() const { return sqlite3_changes(handle()); }

bool Database::InTransaction() const { return sqlite3_get_autocommit(handle()) == 0; }

// ---- Statement ----------------------------------------------------------------------------

Statement::Statement(std::shared_ptr<Connection> c, sqlite3_stmt* s, bool* cachedInUse)
    : conn_(std::move(c)), stmt_(s), cachedInUse_(cachedInUse) {}

Statement::Statement(Statement&& other) noexcept
    : conn_(std::move(other.conn_)), stmt_(other.stmt_), cachedInUse_(other.cachedInUse_) {
  other.stmt_ = nullptr;
  other.cachedInUse_ = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    Release();
    conn_ = std::move(other.conn_);
    stmt_ = other.stmt_;
    cachedInUse_ = other.cachedInUse_;
    other.stmt_ = nullptr;
    other.cachedInUse_ = nullptr;
  }
  return *this;
}

Statement::~Statement() { Release(); }

// A kept statement goes back to its connection reset, with no bindings; any other is finalized.
void Statement::Release() {
  if (cachedInUse_) {
    if (stmt_) {
      sqlite3_reset(stmt_);
      sqlite3_clear_bindings(stmt_);
    }
    *cachedInUse_ = false;
    cachedInUse_ = nullptr;
  } else {
    sqlite3_finalize(stmt_);
  }
  stmt_ = nullptr;
}

void Statement::Check(int rc) const {
  if (rc != SQLITE_OK) Fail(rc, "Database " + conn_->path + ": " + sqlite3_errmsg(conn_->handle));
}

Statement& Statement::Bind(int index, std::int64_t value) {
  Check(sqlite3_bind_int64(stmt_, index, value));
  return *this;
}
Statement& Statement::Bind(int index, double value) {
  Check(sqlite3_bind_double(stmt_, index, value));
  return *this;
}
Statement& Statement::Bind(int index, const std::string& value) {
  Check(sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT));
  return *this;
}
Statement& Statement::BindNull(int index) {
  Check(sqlite3_bind_null(stmt_, index));
  return *this;
}

bool Statement::Step() {
  if (!stmt_) return false;  // an empty SQL text
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Fail(rc, "Database " + conn_->path + ": " + sqlite3_errmsg(conn_->handle));
}

void Statement::Run() {
  while (Step()) {
  }
}

void Statement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }
double Statement::Double(int column) const { return sqlite3_column_double(stmt_, column); }
std::string Statement::Text(int column) const {
  const auto* p = sqlite3_column_text(stmt_, column);
  const int n = sqlite3_column_bytes(stmt_, column);
  return p ? std::string(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n)) : std::string();
}
bool Statement::IsNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
int Statement::ColumnCount() const { return sqlite3_column_count(stmt_); }

// ---- Transaction --------------------------------------------------------------------------

Transaction::Transaction(Database& db) : db_(db) {
  if (db.ReadOnly()) Fail(SQLITE_READONLY, "Database " + db.Name() + " is open read-only.");
  db_.Execute("BEGIN IMMEDIATE");
  active_ = true;
}

Transaction::~Transaction() {
  if (active_ && !db_.Name().empty()) {
    sqlite3_exec(db_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
  }
}

void Transaction::Commit() {
  if (!active_) Fail(-1, "No transaction to commit.");
  db_.Execute("COMMIT");
  active_ = false;
}

void Transaction::Rollback() {
  if (!active_) return;
  active_ = false;
  db_.Execute("ROLLBACK");
}

}  // namespace db
