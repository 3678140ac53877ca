// The SQLite layer: bound parameters, shared connection for nested opens, transactions
// that roll back, the cross-process lock and clear errors for bad files.
#include "platform/db/db.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class DbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kestrin_db_" + std::to_string(getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "T.MDB").string();
    auto d = db::Database::Open(path_, db::OpenMode::kCreate);
    d->Execute("CREATE TABLE Items(lID INTEGER PRIMARY KEY, sName TEXT)");
  }
  void TearDown() override { fs::remove_all(dir_); }

  static long Count(db::Database& d) {
    auto s = d.Prepare("SELECT count(*) FROM Items");
    s.Step();
    return static_cast<long>(s.Int(0));
  }

  fs::path dir_;
  std::string path_;
};

TEST_F(DbTest, BoundParametersKeepQuotesAsData) {
  auto d = db::Database::Open(path_, db::OpenMode::kReadWrite);
  const std::string tricky = "O'Neil\"; DROP TABLE Items; --";
  d->Prepare("INSERT INTO Items(lID, sName) VALUES(?1, ?2)").Bind(1, 7).Bind(2, tricky).Run();
  auto s = d->Prepare("SELECT sName FROM Items WHERE lID = ?1");
  s.Bind(1, 7);
  ASSERT_TRUE(s.Step());
  EXPECT_EQ(s.Text(0), tricky);
  EXPECT_FALSE(s.Step());
}

TEST_F(DbTest, NestedOpenSharesTheConnectionAndSeesItsWork) {
  auto outer = db::Database::Open(path_, db::OpenMode::kReadWrite);
  db::Transaction tx(*outer);
  outer->Prepare("INSERT INTO Items VALUES(1, 'a')").Run();
  {
    // A nested open inside the same process joins the connection (no lock conflict) and
    // sees the uncommitted row.
    auto inner = db::Database::Open(path_, db::OpenMode::kReadOnly);
    EXPECT_EQ(inner->handle(), outer->handle());
    EXPECT_EQ(Count(*inner), 1);
    EXPECT_THROW(inner->Execute("DELETE FROM Items"), db::Error);  // read-only handle
  }
  tx.Commit();
  EXPECT_EQ(Count(*outer), 1);
}

// A kept statement is prepared once per connection and handed out reset; a second use of the
// same text while the first is held gets a statement of its own.
TEST_F(DbTest, CachedStatementsArePreparedOnceAndComeBackClean) {
  auto d = db::Database::Open(path_, db::OpenMode::kReadWrite);
  for (int id = 1; id <= 3; ++id)
    d->Cached("INSERT INTO Items(lID, sName) VALUES(?1, ?2)").Bind(1, id).Bind(2, "n" + std::to_string(id)).Run();
  EXPECT_EQ(Count(*d), 3);
  {
    auto outer = d->Cached("SELECT sName FROM Items WHERE lID >= ?1 ORDER BY lID");
    outer.Bind(1, 2);
    ASSERT_TRUE(outer.Step());
    EXPECT_EQ(outer.Text(0), "n2");
    // The same text again while `outer` is held: its own statement, its own rows.
    auto inner = d->Cached("SELECT sName FROM Items WHERE lID >= ?1 ORDER BY lID");
    inner.Bind(1, 1);
    ASSERT_TRUE(inner.Step());
    EXPECT_EQ(inner.Text(0), "n1");
    ASSERT_TRUE(outer.Step());
    EXPECT_EQ(outer.Text(0), "n3");
  }
  // Handed back reset and without bindings: a NULL parameter matches nothing.
  auto again = d->Cached("SELECT sName FROM Items WHERE lID >= ?1 ORDER BY lID");
  EXPECT_FALSE(again.Step());
  int kept = 0;
  for (sqlite3_stmt* s = sqlite3_next_stmt(d->handle(), nullptr); s; s = sqlite3_next_stmt(d->handle(), s)) ++kept;
  EXPECT_EQ(kept, 2) << "the insert and the select, each prepared once";
  // Another handle of the connection shares the kept statements; a read-only one refuses writes.
  auto reader = db::Database::Open(path_, db::OpenMode::kReadOnly);
  EXPECT_THROW(reader->Cached("INSERT INTO Items(lID, sName) VALUES(?1, ?2)"), db::Error);
}

TEST_F(DbTest, UncommittedTransactionRollsBack) {
  auto d = db::Database::Open(path_, db::OpenMode::kReadWrite);
  d->Prepare("INSERT INTO Items VALUES(1, 'keep')").Run();
  try {
    db::Transaction tx(*d);
    d->Prepare("INSERT INTO Items VALUES(2, 'gone')").Run();
    d->Prepare("INSERT INTO Items VALUES(1, 'duplicate key')").Run();  // throws
    tx.Commit();
    FAIL() << "duplicate key accepted";
  } catch (const db::Error&) {
  }
  EXPECT_FALSE(d->InTransaction());
  EXPECT_EQ(Count(*d), 1);
}

// Opens the database in a child process; 0 when it opened, 1 when it was kept out with the
// "in use" message, 2 on any other outcome.
static int OpenInChild(const std::string& path, db::OpenMode mode) {
  const pid_t child = fork();
  if (child == 0) {
    int code = 2;
    try {
      db::Database::Open(path, mode);
      code = 0;
    } catch (const db::Error& e) {
      code = std::string(e.what()).find("in use by another program") != std::string::npos ? 1 : 2;
    }
    _exit(code);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 3;
}

TEST_F(DbTest, AWriterKeepsOtherProcessesOutAndReadersShare) {
  struct Case {
    db::OpenMode held, second;
    int expected;
  } cases[] = {
      {db::OpenMode::kReadWrite, db::OpenMode::kReadOnly, 1},
      {db::OpenMode::kReadWrite, db::OpenMode::kReadWrite, 1},
      {db::OpenMode::kReadOnly, db::OpenMode::kReadWrite, 1},
      {db::OpenMode::kReadOnly, db::OpenMode::kReadOnly, 0},
  };
  for (const Case& c : cases) {
    auto d = db::Database::Open(path_, c.held);
    EXPECT_EQ(OpenInChild(path_, c.second), c.expected)
        << static_cast<int>(c.held) << " then " << static_cast<int>(c.second);
    d->Close();
    // Once released, another process can write it.
    EXPECT_EQ(OpenInChild(path_, db::OpenMode::kReadWrite), 0);
  }
  // A reader that asks for the file alone keeps other readers out.
  auto alone = db::Database::Open(path_, db::OpenMode::kReadOnly, /*exclusive=*/true);
  EXPECT_EQ(OpenInChild(path_, db::OpenMode::kReadOnly), 1);
}

TEST_F(DbTest, BadFilesGiveErrorsNamingTheFile) {
  const std::string missing = (dir_ / "NONE.MDB").string();
  const std::string garbage = (dir_ / "JUNK.MDB").string();
  std::ofstream(garbage) << "this is not a database at all, just some text that is long enough";
  for (const auto& p : {missing, garbage}) {
    try {
      db::Database::Open(p, db::OpenMode::kReadOnly);
      ADD_FAILURE() << p;
    } catch (const db::Error& e) {
      EXPECT_NE(std::string(e.what()).find(p), std::string::npos) << e.what();
    }
  }
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_THROW(db::Database::Open(path_, db::OpenMode::kReadWrite)->Execute("SELECT * FROM Nope"), db::Error);
}

TEST_F(DbTest, ReadWriteOpenWhileOpenReadOnlyIsRefused) {
  auto ro = db::Database::Open(path_, db::OpenMode::kReadOnly);
  EXPECT_THROW(db::Database::Open(path_, db::OpenMode::kReadWrite), db::Error);
  EXPECT_THROW(db::Transaction tx(*ro), db::Error);
}

// Installed data: an immutable open takes no lock, creates nothing beside the file (even in a
// folder with "?" and "%" in its name) and reads while another process holds the writer's lock.
TEST_F(DbTest, ImmutableOpenCreatesNothingAndTakesNoLock) {
  const fs::path odd = dir_ / "a?b%20#c";
  fs::create_directories(odd);
  const std::string path = (odd / "T.MDB").string();
  fs::copy_file(path_, path);
  {
    auto w = db::Database::Open(path, db::OpenMode::kReadWrite);
    w->Prepare("INSERT INTO Items VALUES(1, 'a')").Run();
  }
  fs::remove(path + ".lock");
  const pid_t child = fork();
  if (child == 0) {
    // The child holds the file as a writer while the parent reads it.
    auto w = db::Database::Open(path, db::OpenMode::kReadWrite);
    pause();
    _exit(0);
  }
  while (!fs::exists(path + ".lock")) usleep(1000);
  usleep(20000);
  {
    auto r = db::Database::Open(path, db::OpenMode::kImmutable);
    EXPECT_TRUE(r->ReadOnly());
    EXPECT_EQ(Count(*r), 1);
    EXPECT_THROW(r->Execute("DELETE FROM Items"), db::Error);
  }
  kill(child, SIGTERM);
  int status = 0;
  waitpid(child, &status, 0);
  fs::remove(path + ".lock");
  auto r = db::Database::Open(path, db::OpenMode::kImmutable);
  EXPECT_EQ(Count(*r), 1);
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(odd)) names.push_back(e.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"T.MDB"});
}

}  // namespace
