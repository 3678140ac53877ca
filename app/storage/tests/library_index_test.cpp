// The system library: index rows and record slots kept together, the slot checks of a
// system read, link rows on write, the system list, transactions and the process lock.
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "app/storage/index_schema.h"
#include "app/storage/record_codec.h"
#include "app/storage/tests/storage_fixture.h"
#include "libs/vb/vbcompat.h"
#include "platform/db/db.h"

using namespace modDataIO;

class LibraryIndex : public StorageTest {
 protected:
  void SetUp() override {
    StorageTest::SetUp();
    auto d = db::Database::Open(dir_ + "INX.MDB", db::OpenMode::kCreate);
    d->Execute(kIndexSchemaSql);
  }

  void Exec(const std::string& sql) { db::Database::Open(dir_ + "INX.MDB", db::OpenMode::kReadWrite)->Execute(sql); }

  long Count(const std::string& sql) {
    auto d = db::Database::Open(dir_ + "INX.MDB", db::OpenMode::kReadOnly);
    auto s = d->Prepare(sql);
    s.Step();
    return static_cast<long>(s.Int(0));
  }

  // Chillers 1..4 and towers 1..3 in the index and record files; chiller 4 is a
  // heat-recovery machine.
  void AddMachines() {
    for (std::int16_t c = 1; c <= 4; ++c) {
      ChillerData ch;
      ch.sName = "Chiller " + std::to_string(c);
      ch.bHeatRecoveryChiller = c == 4 ? vb::kTrue : vb::kFalse;
      ASSERT_TRUE(bChillerWrite(c, ch, dir_));
    }
    for (std::int16_t t = 1; t <= 3; ++t) {
      TowerData tw;
      tw.sName = "Tower " + std::to_string(t);
      ASSERT_TRUE(bTowerWrite(t, tw, dir_));
    }
  }

  // A system record with the given slots {chiller, tower, chiller2, tower2}.
  static SystemData System(std::initializer_list<std::array<std::int16_t, 4>> slots, std::int16_t singleTower = 0) {
    SystemData s;
    s.sName = "Plant";
    s.nSingleTower = singleTower;
    std::int16_t i = 0;
    for (const auto& slot : slots) {
      ++i;
      s.nChillerIDs(i) = slot[0];
      s.nTowerIDs(i) = slot[1];
      s.nChillerIDs2(i) = slot[2];
      s.nTowerIDs2(i) = slot[3];
    }
    s.nNumChillers = i;
    return s;
  }

  static std::array<std::int16_t, 4> Slot(const SystemData& s, std::int16_t i) {
    return {s.nChillerIDs(i), s.nTowerIDs(i), s.nChillerIDs2(i), s.nTowerIDs2(i)};
  }
};

TEST_F(LibraryIndex, SystemReadClearsUnusableSlots) {
  AddMachines();
  // Links are written by bSystemWrite from the record; the record on disk is then replaced
  // by one naming machines the links do not cover.
  const SystemData linked = System({{1, 1, 0, 0}, {2, 2, 0, 0}, {4, 1, 0, 0}, {3, 1, 0, 0}});
  ASSERT_TRUE(bSystemWrite(1, linked, dir_));
  Exec("DELETE FROM Chillers WHERE lID = 3");  // chiller 3 linked but no longer in the index
  struct Case {
    const char* what;
    SystemData stored;
    std::vector<std::array<std::int16_t, 4>> expected;
    std::size_t boxes;  // "Index is invalid" boxes of failed chiller reads
  };
  const Case cases[] = {
      {"all usable", System({{1, 1, 0, 0}, {2, 2, 0, 0}}), {{1, 1, 0, 0}, {2, 2, 0, 0}}, 0},
      {"slot 2 chiller not linked", System({{1, 1, 0, 0}, {9, 2, 0, 0}}), {{1, 1, 0, 0}, {0, 0, 0, 0}}, 0},
      {"unreadable chiller", System({{3, 3, 0, 0}, {1, 1, 0, 0}}), {{0, 0, 0, 0}, {1, 1, 0, 0}}, 1},
      {"heat-recovery chiller", System({{4, 1, 0, 0}, {2, 2, 0, 0}}), {{0, 0, 0, 0}, {2, 2, 0, 0}}, 0},
      {"second chiller not linked", System({{1, 1, 7, 2}}), {{0, 0, 0, 0}}, 0},
      {"no second chiller clears its tower", System({{1, 1, 0, 2}}), {{1, 1, 0, 0}}, 0},
      {"tower not linked", System({{1, 2, 0, 0}, {2, 3, 0, 0}}), {{1, 2, 0, 0}, {2, 0, 0, 0}}, 0},
      {"no chiller in slot", System({{0, 1, 0, 0}, {1, 1, 0, 0}}), {{0, 0, 0, 0}, {1, 1, 0, 0}}, 0},
      {"second chiller unreadable", System({{1, 1, 3, 2}, {2, 2, 0, 0}}), {{0, 0, 0, 0}, {2, 2, 0, 0}}, 1},
      {"second tower not linked", System({{1, 1, 2, 3}}), {{1, 0, 2, 0}}, 0},
  };
  for (const auto& c : cases) {
    host_.messages.clear();
    SystemData stored = c.stored;
    std::string bytes = ReadAll(dir_ + "SYS.DAT");
    bytes.replace(1590, 1590, codec::Encode(stored));
    WriteAll(dir_ + "SYS.DAT", bytes);
    SystemData out;
    ASSERT_TRUE(bSystemRead(1, out, dir_)) << c.what;
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
      EXPECT_EQ(Slot(out, static_cast<std::int16_t>(i + 1)), c.expected[i]) << c.what << " slot " << i + 1;
    }
    EXPECT_EQ(host_.messages.size(), c.boxes) << c.what;
  }
}

TEST_F(LibraryIndex, SingleTowerAndEmptySystems) {
  AddMachines();
  ASSERT_TRUE(bSystemWrite(1, System({{1, 1, 0, 0}, {2, 1, 0, 0}}, 1), dir_));
  // The shared tower's link present: the tower ids stay (the tower itself is not read, so
  // its missing index row goes unnoticed).
  Exec("DELETE FROM Towers WHERE lID = 1");
  SystemData out;
  ASSERT_TRUE(bSystemRead(1, out, dir_));
  EXPECT_EQ(Slot(out, 2), (std::array<std::int16_t, 4>{2, 1, 0, 0}));
  // Link missing: every tower id of every slot comes back 0.
  Exec("DELETE FROM SystemTower");
  ASSERT_TRUE(bSystemRead(1, out, dir_));
  EXPECT_EQ(Slot(out, 1), (std::array<std::int16_t, 4>{1, 0, 0, 0}));
  EXPECT_EQ(Slot(out, 2), (std::array<std::int16_t, 4>{2, 0, 0, 0}));
  // The shared tower is that of the first slot still usable after the chiller pass: slot 1
  // loses its chiller to the heat-recovery check, so slot 2's tower 3 is checked (not linked).
  ASSERT_TRUE(bSystemWrite(2, System({{4, 1, 0, 0}, {2, 1, 0, 0}}, 1), dir_));
  std::string bytes = ReadAll(dir_ + "SYS.DAT");
  bytes.replace(2 * 1590, 1590, codec::Encode(System({{4, 1, 0, 0}, {2, 3, 0, 0}}, 1)));
  WriteAll(dir_ + "SYS.DAT", bytes);
  ASSERT_TRUE(bSystemRead(2, out, dir_));
  EXPECT_EQ(Slot(out, 2), (std::array<std::int16_t, 4>{2, 0, 0, 0}));
  // Likewise when slot 1 is cleared only by its unlinked second chiller: slot 2's tower is
  // the one checked, not left unverified.
  ASSERT_TRUE(bSystemWrite(4, System({{1, 1, 0, 0}, {2, 1, 0, 0}}, 1), dir_));
  bytes = ReadAll(dir_ + "SYS.DAT");
  bytes.replace(4 * 1590, 1590, codec::Encode(System({{1, 1, 9, 0}, {2, 3, 0, 0}}, 1)));
  WriteAll(dir_ + "SYS.DAT", bytes);
  ASSERT_TRUE(bSystemRead(4, out, dir_));
  EXPECT_EQ(Slot(out, 1), (std::array<std::int16_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(Slot(out, 2), (std::array<std::int16_t, 4>{2, 0, 0, 0}));
  // No chillers: no lookups, result True; heat-recovery mode is cleared.
  SystemData none = System({});
  none.nHeatRecoveryMode = 2;
  ASSERT_TRUE(bSystemWrite(3, none, dir_));
  Exec("DROP TABLE SystemChiller");
  ASSERT_TRUE(bSystemRead(3, out, dir_));
  EXPECT_EQ(out.nHeatRecoveryMode, 0);
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(LibraryIndex, WriteKeepsSelectionAndNeverDuplicatesLinks) {
  AddMachines();
  ASSERT_TRUE(bSystemWrite(1, System({{1, 1, 0, 0}, {1, 1, 0, 0}}), dir_));
  EXPECT_EQ(Count("SELECT count(*) FROM SystemChiller WHERE lSystemID = 1"), 1);
  EXPECT_EQ(Count("SELECT count(*) FROM SystemTower WHERE lSystemID = 1"), 1);
  EXPECT_EQ(Count("SELECT bSelected FROM Systems WHERE lID = 1"), 0);
  Exec("UPDATE Systems SET bSelected = -1 WHERE lID = 1");
  ASSERT_TRUE(bSystemWrite(1, System({{2, 2, 3, 3}}), dir_));
  ASSERT_TRUE(bSystemWrite(1, System({{2, 2, 3, 3}}), dir_));
  EXPECT_EQ(Count("SELECT bSelected FROM Systems WHERE lID = 1"), -1);
  EXPECT_EQ(Count("SELECT count(*) FROM Systems"), 1);
  // Only the current machines are linked: the links of the first write are gone.
  EXPECT_EQ(Count("SELECT count(*) FROM SystemChiller WHERE lSystemID = 1"), 2);
  EXPECT_EQ(Count("SELECT count(*) FROM SystemChiller WHERE lChillerID = 1"), 0);
  EXPECT_EQ(Count("SELECT count(*) FROM SystemTower WHERE lSystemID = 1"), 2);
  // Id 0: only the slot, no index rows.
  ASSERT_TRUE(bSystemWrite(0, System({{1, 1, 0, 0}}), dir_));
  ChillerData zero;
  zero.sName = "slot zero";
  ASSERT_TRUE(bChillerWrite(0, zero, dir_));
  EXPECT_EQ(Count("SELECT count(*) FROM Chillers WHERE lID = 0"), 0);
  EXPECT_EQ(Count("SELECT count(*) FROM Systems WHERE lID = 0"), 0);
  ChillerData back;
  ASSERT_TRUE(bChillerRead(0, back, dir_));
  EXPECT_EQ(back.sName.substr(0, 9), "slot zero");
}

TEST_F(LibraryIndex, KeyedSlotsExtendTheFileWithZeros) {
  ChillerData c;
  c.sName = "A";
  ASSERT_TRUE(bChillerWrite(0, c, dir_));
  ASSERT_TRUE(bChillerWrite(1, c, dir_));
  c.sName = "Fifth";
  c.fFLCapacity = 600;
  ASSERT_TRUE(bChillerWrite(5, c, dir_));
  const std::string bytes = ReadAll(dir_ + "CHL.DAT");
  ASSERT_EQ(bytes.size(), 6u * 3764u);
  EXPECT_EQ(bytes.substr(2 * 3764, 3 * 3764), std::string(3 * 3764, '\0'));
  EXPECT_EQ(Count("SELECT CAST(fFLCapacity AS INTEGER) FROM Chillers WHERE lID = 5"), 600);
  ChillerData back;
  ASSERT_TRUE(bChillerRead(5, back, dir_));
  EXPECT_EQ(back.fFLCapacity, 600.0f);
  // A chiller the index does not list.
  EXPECT_FALSE(bChillerRead(3, back, dir_));
  EXPECT_EQ(host_.messages.at(0).text, "Unable to read chiller data.  Index is invalid.");
  EXPECT_EQ(host_.messages.at(0).title, "vexon.modDataIO.bChillerRead");
  EXPECT_EQ(back.fFLCapacity, 600.0f);
}

TEST_F(LibraryIndex, SystemListIsSortedByNameIgnoringCase) {
  std::int16_t count = -1;
  std::vector<SystemListEntry> list;
  ASSERT_TRUE(bSystemListRead(count, list, dir_));
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(list.empty());
  const char* names[] = {"beta", "Alpha", "gamma", "Beta 2"};
  std::int16_t id = 0;
  for (const char* n : names) {
    SystemData s = System({});
    s.sName = n;
    s.fTotalCondWaterFlow = 100.0f * ++id;
    ASSERT_TRUE(bSystemWrite(id, s, dir_));
  }
  ASSERT_TRUE(bSystemListRead(count, list, dir_));
  ASSERT_EQ(count, 4);
  EXPECT_EQ(list[0].sName, "Alpha" + std::string(35, ' '));
  EXPECT_EQ(list[1].lID, 1);
  EXPECT_EQ(list[2].lID, 4);
  EXPECT_EQ(list[3].lID, 3);
  EXPECT_EQ(list[3].fTotalCondWaterFlow, 300.0f);
  EXPECT_FALSE(list[0].bSelected);
}

TEST_F(LibraryIndex, FailedWriteRollsBackTheIndex) {
  AddMachines();
  ASSERT_TRUE(bSystemWrite(1, System({{1, 1, 0, 0}}), dir_));
  const std::string before = ReadAll(dir_ + "INX.MDB");
  std::filesystem::remove(dir_ + "SYS.DAT");
  std::filesystem::create_directory(dir_ + "SYS.DAT");  // the record cannot be written
  SystemData s = System({{2, 2, 0, 0}});
  s.sName = "Changed";
  EXPECT_FALSE(bSystemWrite(1, s, dir_));
  EXPECT_EQ(host_.messages.at(0).title, "bSystemWrite");
  EXPECT_EQ(Count("SELECT count(*) FROM SystemChiller WHERE lSystemID = 1 AND lChillerID = 1"), 1);
  EXPECT_EQ(Count("SELECT count(*) FROM Systems WHERE sName LIKE 'Changed%'"), 0);
  EXPECT_EQ(ReadAll(dir_ + "INX.MDB"), before);
}

TEST_F(LibraryIndex, NegativeIdsAndOversizedSystemsAreRejected) {
  SystemData s;
  ChillerData c;
  TowerData t;
  EXPECT_FALSE(bSystemWrite(-1, s, dir_));
  EXPECT_FALSE(bChillerWrite(-2, c, dir_));
  EXPECT_FALSE(bTowerRead(-3, t, dir_));
  EXPECT_EQ(host_.messages.size(), 3u);
  EXPECT_NE(host_.messages[0].text.find("Invalid id -1"), std::string::npos);
  EXPECT_EQ(Count("SELECT count(*) FROM Systems"), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_ + "SYS.DAT"));
  // A stored system claiming 31 chillers is refused instead of reading past slot 30.
  SystemData big;
  big.nNumChillers = 31;
  WriteAll(dir_ + "SYS.DAT", std::string(1590, '\0') + codec::Encode(big));
  Exec("INSERT INTO Systems(lID, sName) VALUES(1, 'x')");
  host_.messages.clear();
  EXPECT_FALSE(bSystemRead(1, s, dir_));
  EXPECT_NE(TakeMessage().find("31 chillers"), std::string::npos);
}

TEST_F(LibraryIndex, UnknownSystemAndMissingOrForeignDatabase) {
  SystemData s;
  EXPECT_FALSE(bSystemRead(1, s, dir_));
  EXPECT_EQ(TakeMessage(), "Unable to read system data.  Index is invalid.");
  // Garbage in place of the index: one box naming the file.
  WriteAll(dir_ + "INX.MDB", std::string(4096, 'x'));
  std::int16_t count = 0;
  std::vector<SystemListEntry> list;
  EXPECT_FALSE(bSystemListRead(count, list, dir_));
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].title, "vexon.modDataIO.bOpenIndexDatabase");
  EXPECT_EQ(host_.messages[0].style, 48);
  const std::string text = TakeMessage();
  EXPECT_EQ(text.rfind("The following error occurred while reading or writing data:", 0), 0u);
  EXPECT_NE(text.find(dir_ + "INX.MDB"), std::string::npos);
  std::filesystem::remove(dir_ + "INX.MDB");
  EXPECT_FALSE(bSystemListRead(count, list, dir_));
  EXPECT_NE(TakeMessage().find("does not exist"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir_ + "INX.MDB"));
}

// The scratch index is this program's own file, like the record files beside it: a link to
// another database in its place is neither read nor written through, each use is refused
// with the record files' "Not a regular file" box, and the other database stays as it was.
TEST_F(LibraryIndex, ALinkedIndexIsNeitherReadNorWrittenThrough) {
  std::filesystem::create_directories(dir_ + "elsewhere");
  const std::string other = dir_ + "elsewhere/other.mdb";
  std::filesystem::rename(dir_ + "INX.MDB", other);
  std::filesystem::create_symlink(other, dir_ + "INX.MDB");
  const std::string before = ReadAll(other);
  const struct {
    const char* what;
    std::function<bool()> use;
  } cases[] = {
      {"a chiller write", [&] { return bChillerWrite(1, ChillerData{}, dir_); }},
      {"a system write",
       [&] {
         return bSystemWrite(1, System({{0, 0, 0, 0}}), dir_);
       }},
      {"a chiller read",
       [&] {
         ChillerData c;
         return bChillerRead(1, c, dir_);
       }},
      {"the system list",
       [&] {
         std::int16_t count = 0;
         std::vector<SystemListEntry> list;
         return bSystemListRead(count, list, dir_);
       }},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(c.use()) << c.what;
    ASSERT_FALSE(host_.messages.empty()) << c.what;
    EXPECT_EQ(host_.messages[0].style, 48) << c.what;
    EXPECT_NE(TakeMessage().find("Not a regular file: " + dir_ + "INX.MDB"), std::string::npos) << c.what;
    EXPECT_EQ(ReadAll(other), before) << c.what;
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ + "CHL.DAT"));
  EXPECT_FALSE(std::filesystem::exists(dir_ + "SYS.DAT"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir_ + "INX.MDB"));
}

// What `body` returns, run in a forked child that an alarm ends should the body wait (on a
// FIFO) instead of returning: "hung" then, so that a wait fails the test rather than hangs it.
std::string InChildThatCannotHang(const std::function<std::string()>& body) {
  int out[2];
  if (pipe(out) != 0) return "no pipe";
  const pid_t child = fork();
  if (child < 0) return "no child";
  if (child == 0) {
    close(out[0]);
    alarm(10);
    const std::string text = body();
    (void)!write(out[1], text.data(), text.size());
    _exit(0);
  }
  close(out[1]);
  std::string text;
  char buf[4096];
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM ? "hung" : text;
}

// SQLite opens files beside the scratch index too: its rollback journal (a hot-journal check
// opens one that exists: on a FIFO the open waited for ever), its write-ahead log and that
// log's shared memory. Anything but a regular file under one of those names is refused at
// once, as the index itself is, for a reader and for a writer; a regular one is no obstacle.
TEST_F(LibraryIndex, AnythingButAFileBesideTheIndexIsRefusedAtOnce) {
  WriteAll(dir_ + "elsewhere.txt", "elsewhere");
  const struct {
    const char* companion;
    bool fifo;
  } cases[] = {{"-journal", true}, {"-wal", true}, {"-shm", true}, {"-journal", false}};
  for (const auto& c : cases) {
    const std::string beside = dir_ + "INX.MDB" + c.companion;
    if (c.fifo) {
      ASSERT_EQ(mkfifo(beside.c_str(), 0600), 0);
    } else {
      std::filesystem::create_symlink(dir_ + "elsewhere.txt", beside);
    }
    for (const bool readOnly : {true, false}) {
      const std::string seen = InChildThatCannotHang([&] {
        std::shared_ptr<db::Database> index;
        const bool opened = bOpenIndexDatabase(index, readOnly, dir_);
        return std::string(opened ? "opened" : "refused") + ": " +
               (host_.messages.empty() ? "" : host_.messages.back().text);
      });
      EXPECT_EQ(seen.rfind("refused: ", 0), 0u) << c.companion << " " << readOnly << " " << seen;
      EXPECT_NE(seen.find("Not a regular file: " + beside), std::string::npos) << c.companion << " " << seen;
    }
    std::filesystem::remove(beside);
  }
  EXPECT_EQ(ReadAll(dir_ + "elsewhere.txt"), "elsewhere");
  WriteAll(dir_ + "INX.MDB-journal", "");
  std::shared_ptr<db::Database> index;
  EXPECT_TRUE(bOpenIndexDatabase(index, true, dir_));
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(LibraryIndex, IndexHeldByAnotherProcessFails) {
  int toParent[2], toChild[2];
  ASSERT_EQ(pipe(toParent), 0);
  ASSERT_EQ(pipe(toChild), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto d = db::Database::Open(dir_ + "INX.MDB", db::OpenMode::kReadOnly);
    char c = 'r';
    (void)!write(toParent[1], &c, 1);
    (void)!read(toChild[0], &c, 1);  // hold the index until told to go
    _exit(0);
  }
  char c;
  ASSERT_EQ(read(toParent[0], &c, 1), 1);
  std::int16_t count = 0;
  std::vector<SystemListEntry> list;
  EXPECT_FALSE(bSystemListRead(count, list, dir_));
  EXPECT_EQ(host_.messages.at(0).title, "vexon.modDataIO.bOpenIndexDatabase");
  EXPECT_NE(TakeMessage().find("in use by another program"), std::string::npos);
  (void)!write(toChild[1], &c, 1);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(bSystemListRead(count, list, dir_));
}

// A run reads the same records many times: inside a LibraryReadScope a record is read from
// the disk once, a write through this module is seen at once, a failed read is not kept,
// and nothing is kept outside a scope.
TEST_F(LibraryIndex, RecordsReadOnceInAScopeAndAgainAfterAWrite) {
  AddMachines();
  ASSERT_TRUE(bSystemWrite(1, System({{1, 1, 0, 0}}), dir_));
  // Renames the record of slot 1 in the file behind the module's back.
  auto renameOnDisk = [&](const std::string& file, std::int64_t size, auto rec, const std::string& name) {
    rec.sName = name;
    std::string bytes = ReadAll(dir_ + file);
    bytes.replace(static_cast<std::size_t>(size), static_cast<std::size_t>(size), codec::Encode(rec));
    WriteAll(dir_ + file, bytes);
  };
  auto chillerName = [&] {
    ChillerData c;
    EXPECT_TRUE(bChillerRead(1, c, dir_));
    return vb::RTrim(c.sName);
  };
  auto towerName = [&] {
    TowerData t;
    EXPECT_TRUE(bTowerRead(1, t, dir_));
    return vb::RTrim(t.sName);
  };
  auto systemName = [&] {
    SystemData s;
    EXPECT_TRUE(bSystemRead(1, s, dir_));
    return vb::RTrim(s.sName);
  };

  renameOnDisk("CHL.DAT", 3764, ChillerData{}, "Outside 1");
  EXPECT_EQ(chillerName(), "Outside 1");  // no scope: every read goes to the disk
  {
    const LibraryReadScope scope;
    EXPECT_EQ(chillerName(), "Outside 1");
    EXPECT_EQ(towerName(), "Tower 1");
    EXPECT_EQ(systemName(), "Plant");
    renameOnDisk("CHL.DAT", 3764, ChillerData{}, "Outside 2");
    renameOnDisk("TWR.DAT", 133, TowerData{}, "Outside 2");
    renameOnDisk("SYS.DAT", 1590, System({{1, 1, 0, 0}}), "Outside 2");
    EXPECT_EQ(chillerName(), "Outside 1");  // kept
    EXPECT_EQ(towerName(), "Tower 1");
    EXPECT_EQ(systemName(), "Plant");

    ChillerData written;
    written.sName = "Written";
    ASSERT_TRUE(bChillerWrite(1, written, dir_));
    EXPECT_EQ(chillerName(), "Written");
    // The write went through the index, which may change any record's check: all are read again.
    EXPECT_EQ(towerName(), "Outside 2");
    EXPECT_EQ(systemName(), "Outside 2");

    // A record the index does not list is not kept: once written, it reads.
    ChillerData missing;
    EXPECT_FALSE(bChillerRead(9, missing, dir_));
    EXPECT_EQ(TakeMessage(), "Unable to read chiller data.  Index is invalid.");
    written.sName = "Nine";
    ASSERT_TRUE(bChillerWrite(9, written, dir_));
    ASSERT_TRUE(bChillerRead(9, missing, dir_));
    EXPECT_EQ(vb::RTrim(missing.sName), "Nine");
  }
  renameOnDisk("CHL.DAT", 3764, ChillerData{}, "Outside 3");
  EXPECT_EQ(chillerName(), "Outside 3");  // the scope has ended: nothing is kept
  EXPECT_TRUE(host_.messages.empty());
}
