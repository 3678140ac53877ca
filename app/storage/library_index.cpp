// The system library: keyed record files SYS.DAT, CHL.DAT, TWR.DAT and their index INX.MDB.
#include "app/storage/data_files.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/db/db.h"

#include <map>
#include <mutex>
#include <type_traits>
#include <utility>

namespace modDataIO {

// ---- records kept for a run ------------------------------------------------------------

namespace {

struct KeptRecords {
  std::mutex mutex;
  int scopes = 0;
  std::map<std::pair<std::string, std::int64_t>, std::string> records;
};

KeptRecords& Kept() {
  static KeptRecords kept;
  return kept;
}

}  // namespace

LibraryReadScope::LibraryReadScope() {
  KeptRecords& kept = Kept();
  const std::lock_guard<std::mutex> lock(kept.mutex);
  ++kept.scopes;
}

LibraryReadScope::~LibraryReadScope() {
  KeptRecords& kept = Kept();
  const std::lock_guard<std::mutex> lock(kept.mutex);
  if (--kept.scopes == 0) kept.records.clear();
}

namespace detail {

bool FindKeptRecord(const std::string& path, std::int64_t offset, std::string& bytes) {
  KeptRecords& kept = Kept();
  const std::lock_guard<std::mutex> lock(kept.mutex);
  const auto it = kept.records.find({path, offset});
  if (it == kept.records.end()) return false;
  bytes = it->second;
  return true;
}

void KeepRecord(const std::string& path, std::int64_t offset, const std::string& bytes) {
  KeptRecords& kept = Kept();
  const std::lock_guard<std::mutex> lock(kept.mutex);
  if (kept.scopes > 0) kept.records[{path, offset}] = bytes;
}

void ForgetKeptRecords(const std::string& path) {
  KeptRecords& kept = Kept();
  const std::lock_guard<std::mutex> lock(kept.mutex);
  if (kept.records.empty()) return;  // no run holds records: nothing to forget
  if (FileName(path) == "INX.MDB") {
    kept.records.clear();
    return;
  }
  std::erase_if(kept.records, [&](const auto& entry) { return entry.first.first == path; });
}

}  // namespace detail

namespace {

// The bytes of the record at `offset` of the library file `path`: the kept ones while a
// LibraryReadScope lives, otherwise read from the file once `indexed()` (the record's index
// check, which shows its own box when it fails) has passed; false when it failed.
template <class R, class IndexCheck>
bool LibraryRecordBytes(const std::string& path, std::int64_t offset, std::string& bytes, IndexCheck indexed) {
  if (detail::FindKeptRecord(path, offset, bytes)) return true;
  if (!indexed()) return false;
  bytes = detail::ReadRecordBytesAt<R>(path, offset);
  detail::KeepRecord(path, offset, bytes);
  return true;
}

constexpr std::int64_t kSystemSize = 1590;
constexpr std::int64_t kChillerSize = 3764;
constexpr std::int64_t kTowerSize = 133;
constexpr int kMaxSlots = 30;

using DbPtr = std::shared_ptr<db::Database>;

void RejectNegativeId(std::int16_t id) {
  if (id < 0) {
    vb::Raise(vb::kSubscriptOutOfRange,
              "Invalid id " + std::to_string(id) + ": ids of the system library are 0 or above.");
  }
}

void CheckSlotCount(std::int16_t id, const SystemData& s) {
  if (s.nNumChillers > kMaxSlots) {
    vb::Raise(vb::kSubscriptOutOfRange, "SYS.DAT: system " + std::to_string(id) + " lists " +
                                            std::to_string(s.nNumChillers) + " chillers (at most 30).");
  }
}

// Opens the index (the box of bOpenIndexDatabase on failure).
DbPtr OpenIndex(bool readOnly, const std::string& folder) {
  DbPtr database;
  std::string dir = folder;
  if (!bOpenIndexDatabase(database, readOnly, dir)) return nullptr;
  return database;
}

bool RowExists(db::Database& d, const std::string& sql, std::int64_t a) {
  auto s = d.Cached(sql);
  s.Bind(1, a);
  return s.Step();
}

bool RowExists(db::Database& d, const std::string& sql, std::int64_t a, std::int64_t b) {
  auto s = d.Cached(sql);
  s.Bind(1, a).Bind(2, b);
  return s.Step();
}

bool ChillerLinked(db::Database& d, std::int16_t systemId, std::int16_t chillerId) {
  return RowExists(d, "SELECT 1 FROM SystemChiller WHERE lChillerID = ?1 AND lSystemID = ?2", chillerId, systemId);
}

bool TowerLinked(db::Database& d, std::int16_t systemId, std::int16_t towerId) {
  return RowExists(d, "SELECT 1 FROM SystemTower WHERE lTowerID = ?1 AND lSystemID = ?2", towerId, systemId);
}

// Index check and slot read shared by the chiller and tower readers.
template <class R>
bool ReadKeyed(std::int16_t id, R& rec, FolderArg& folder, const std::string& title, const char* table,
               const char* invalidMessage, const char* file, std::int64_t size) {
  return detail::RunData(title, [&] {
    RejectNegativeId(id);
    const std::string& dir = folder.Resolve();
    std::string bytes;
    const bool read = LibraryRecordBytes<R>(dir + file, id * size, bytes, [&] {
      if (id == 0) return true;
      DbPtr d = OpenIndex(true, dir);
      if (!d) return false;
      if (!RowExists(*d, std::string("SELECT lID FROM ") + table + " WHERE lID = ?1", id)) {
        modpublic::ShowError(invalidMessage, 48, title);
        return false;
      }
      return true;
    });
    if (!read) return false;
    R record;
    codec::Decode(bytes, record);
    rec = record;
    return true;
  });
}

// Writes the index rows of record `id` (writeIndex, inside a transaction) and then its
// record slot; the transaction commits only once the slot is written. Id 0 has no index row.
template <class R, class WriteIndex>
bool WriteKeyed(std::int16_t id, const R& rec, FolderArg& folder, const std::string& title, const char* file,
                std::int64_t size, WriteIndex writeIndex) {
  return detail::RunData(title, [&] {
    RejectNegativeId(id);
    if constexpr (std::is_same_v<R, SystemData>) CheckSlotCount(id, rec);
    const std::string& dir = folder.Resolve();
    DbPtr d;
    std::unique_ptr<db::Transaction> tx;
    if (id != 0) {
      d = OpenIndex(false, dir);
      if (!d) return false;
      tx = std::make_unique<db::Transaction>(*d);
      writeIndex(*d);
    }
    detail::PatchFile(dir + file, {{id * size, codec::Encode(rec)}});
    if (tx) tx->Commit();
    return true;
  });
}

}  // namespace

// A database that cannot be opened (missing, locked by another program, not a database)
// is a run-time error of this routine: the data error box under its error source, with the
// database's own message, which names the file.
//
// The index of the scratch folder is this program's alone (opened with its lock, a reader
// too); the index of any other folder is only ever read: the templates of the program
// folder, which many users read at once, opened without a lock and creating nothing there.
bool bOpenIndexDatabase(std::shared_ptr<db::Database>& database, bool readOnly, FolderArg folder) {
  database.reset();
  return detail::RunData(GetErrSource("bOpenIndexDatabase"), [&] {
    const std::string& dir = folder.Resolve();
    const std::string path = dir + "INX.MDB";
    const bool shipped = readOnly && dir != DataFolder();
    // Any other index is this program's own file, like the record files beside it: a link or
    // anything else but a regular file under its name is refused ("Not a regular file"),
    // never opened through, so no file elsewhere is read or written in its place. So are the
    // files SQLite opens beside it: the rollback journal (its hot-journal check opens one
    // that exists, which on a FIFO would wait for ever), the write-ahead log and its shared
    // memory.
    if (!shipped) {
      for (const char* companion : {"", "-journal", "-wal", "-shm"}) detail::CheckOwnFile(path + companion);
    }
    database = db::Database::Open(path,
                                  shipped    ? db::OpenMode::kImmutable
                                  : readOnly ? db::OpenMode::kReadOnly
                                             : db::OpenMode::kReadWrite,
                                  /*exclusive=*/true);
    if (!database) {
      modpublic::ShowError("OpenDatabase failed. File=" + path, 48, "");
      return false;
    }
    // The scratch index is rebuilt from the templates on every run: its writes need not reach
    // the disk. A run cut short leaves a journal that the next open rolls back, or an index
    // the next open refuses.
    if (!readOnly) database->Execute("PRAGMA synchronous=OFF");
    // A writer may change what a kept record's index check found.
    if (!readOnly) detail::ForgetKeptRecords(path);
    return true;
  });
}

void ClearChillerAssignmentFromSchedule(std::int16_t slot, SystemData& rec) {
  if (slot < 1 || slot > kMaxSlots) return;
  rec.nChillerIDs(slot) = 0;
  rec.nTowerIDs(slot) = 0;
  rec.nChillerIDs2(slot) = 0;
  rec.nTowerIDs2(slot) = 0;
}

bool bDuplicatedID(std::int16_t id, std::string& list) {
  if (id <= 0) return true;
  const std::string key = "|" + std::to_string(id) + "|";
  if (list.find(key) != std::string::npos) return true;
  list += key;
  return false;
}

bool bSystemRead(std::int16_t id, SystemData& rec, FolderArg folder) {
  return detail::RunData("bSystemRead", [&] {
    RejectNegativeId(id);
    const std::string& dir = folder.Resolve();
    DbPtr d = OpenIndex(true, dir);
    if (!d) return false;
    std::string bytes;
    const bool read = LibraryRecordBytes<SystemData>(dir + "SYS.DAT", id * kSystemSize, bytes, [&] {
      if (id == 0 || RowExists(*d, "SELECT lID FROM Systems WHERE lID = ?1", id)) return true;
      modpublic::ShowError("Unable to read system data.  Index is invalid.", 48, "bSystemRead");
      return false;
    });
    if (!read) return false;
    SystemData s;
    codec::Decode(bytes, s);
    CheckSlotCount(id, s);
    if (s.nHeatRecoveryMode > 0) s.nHeatRecoveryMode = 0;

    // Chiller pass: a slot whose chiller is not linked, cannot be read or is a heat-recovery
    // machine is cleared; so is one whose second chiller fails the same checks.
    for (std::int16_t i = 1; i <= s.nNumChillers; ++i) {
      const std::int16_t chiller = s.nChillerIDs(i);
      if (chiller > 0) {
        ChillerData c;
        if (!ChillerLinked(*d, id, chiller) || !bChillerRead(chiller, c, dir) || c.bHeatRecoveryChiller != 0) {
          ClearChillerAssignmentFromSchedule(i, s);
        }
      } else {
        ClearChillerAssignmentFromSchedule(i, s);
      }
      const std::int16_t chiller2 = s.nChillerIDs2(i);
      if (chiller2 > 0) {
        ChillerData c;
        if (!ChillerLinked(*d, id, chiller2) || !bChillerRead(chiller2, c, dir)) {
          ClearChillerAssignmentFromSchedule(i, s);
        }
      } else {
        s.nTowerIDs2(i) = 0;
      }
    }

    // Tower pass. The shared tower is that of the first slot which still holds a chiller and
    // a tower after the chiller pass.
    if (s.nSingleTower == 1) {
      std::int16_t first = 0;
      for (std::int16_t i = 1; i <= s.nNumChillers && first == 0; ++i) {
        if (s.nChillerIDs(i) > 0 && s.nTowerIDs(i) > 0) first = i;
      }
      if (first > 0 && !TowerLinked(*d, id, s.nTowerIDs(first))) {
        for (std::int16_t j = 1; j <= s.nNumChillers; ++j) {
          s.nTowerIDs(j) = 0;
          s.nTowerIDs2(j) = 0;
        }
      }
    } else {
      for (std::int16_t i = 1; i <= s.nNumChillers; ++i) {
        TowerData t;
        const std::int16_t tower = s.nTowerIDs(i);
        if (tower > 0) {
          if (!TowerLinked(*d, id, tower) || !bTowerRead(tower, t, dir)) {
            s.nTowerIDs(i) = 0;
            s.nTowerIDs2(i) = 0;
          }
        } else {
          s.nTowerIDs2(i) = 0;
        }
        const std::int16_t tower2 = s.nTowerIDs2(i);
        if (tower2 > 0 && (!TowerLinked(*d, id, tower2) || !bTowerRead(tower2, t, dir))) {
          s.nTowerIDs(i) = 0;
          s.nTowerIDs2(i) = 0;
        }
      }
    }
    rec = s;
    return true;
  });
}

bool bSystemWrite(std::int16_t id, const SystemData& rec, FolderArg folder) {
  return WriteKeyed(id, rec, folder, "bSystemWrite", "SYS.DAT", kSystemSize, [&](db::Database& d) {
    std::int64_t selected = 0;
    {
      auto s = d.Cached("SELECT bSelected FROM Systems WHERE lID = ?1");
      s.Bind(1, id);
      if (s.Step()) selected = s.Int(0) != 0 ? vb::kTrue : vb::kFalse;
    }
    d.Cached("DELETE FROM Systems WHERE lID = ?1").Bind(1, id).Run();
    d.Cached("INSERT INTO Systems(lID, sName, bSelected, fTotalCondWaterFlow) VALUES(?1, ?2, ?3, ?4)")
        .Bind(1, id)
        .Bind(2, vb::FixedWidth(rec.sName, 40))
        .Bind(3, selected)
        .Bind(4, static_cast<double>(rec.fTotalCondWaterFlow))
        .Run();
    // The links of this system are rebuilt from the record, so earlier writes leave none.
    d.Cached("DELETE FROM SystemChiller WHERE lSystemID = ?1").Bind(1, id).Run();
    d.Cached("DELETE FROM SystemTower WHERE lSystemID = ?1").Bind(1, id).Run();
    auto addChiller = d.Cached("INSERT INTO SystemChiller(lSystemID, lChillerID) VALUES(?1, ?2)");
    auto addTower = d.Cached("INSERT INTO SystemTower(lSystemID, lTowerID) VALUES(?1, ?2)");
    auto add = [&](db::Statement& s, std::int16_t other) {
      s.Reset();
      s.Bind(1, id).Bind(2, other).Run();
    };
    std::string seen = "#";
    for (std::int16_t i = 1; i <= rec.nNumChillers; ++i) {
      if (!bDuplicatedID(rec.nChillerIDs(i), seen)) add(addChiller, rec.nChillerIDs(i));
      if (!bDuplicatedID(rec.nChillerIDs2(i), seen)) add(addChiller, rec.nChillerIDs2(i));
    }
    if (rec.nSingleTower == 1) {
      for (std::int16_t t = 1; t <= rec.nNumChillers; ++t) {
        if (rec.nTowerIDs(t) > 0) {
          add(addTower, rec.nTowerIDs(t));
          break;
        }
      }
    } else {
      seen = "#";
      for (std::int16_t i = 1; i <= rec.nNumChillers; ++i) {
        if (!bDuplicatedID(rec.nTowerIDs(i), seen)) add(addTower, rec.nTowerIDs(i));
        if (!bDuplicatedID(rec.nTowerIDs2(i), seen)) add(addTower, rec.nTowerIDs2(i));
      }
    }
  });
}

bool bChillerRead(std::int16_t id, ChillerData& rec, FolderArg folder) {
  return ReadKeyed(id, rec, folder, GetErrSource("bChillerRead"), "Chillers",
                   "Unable to read chiller data.  Index is invalid.", "CHL.DAT", kChillerSize);
}

bool bTowerRead(std::int16_t id, TowerData& rec, FolderArg folder) {
  return ReadKeyed(id, rec, folder, "bTowerRead", "Towers", "Unable to read tower data.  Index is invalid.", "TWR.DAT",
                   kTowerSize);
}

bool bChillerWrite(std::int16_t id, const ChillerData& rec, FolderArg folder) {
  return WriteKeyed(id, rec, folder, GetErrSource("bChillerWrite"), "CHL.DAT", kChillerSize, [&](db::Database& d) {
    d.Cached(
         "INSERT INTO Chillers(lID, sName, nType, fFLCapacity, fFLPower, fCondWaterFlow) "
         "VALUES(?1, ?2, ?3, ?4, ?5, ?6) ON CONFLICT(lID) DO UPDATE SET sName = excluded.sName, "
         "nType = excluded.nType, fFLCapacity = excluded.fFLCapacity, fFLPower = excluded.fFLPower, "
         "fCondWaterFlow = excluded.fCondWaterFlow")
        .Bind(1, id)
        .Bind(2, vb::FixedWidth(rec.sName, 35))
        .Bind(3, rec.nType)
        .Bind(4, static_cast<double>(rec.fFLCapacity))
        .Bind(5, static_cast<double>(rec.fFLPower))
        .Bind(6, static_cast<double>(rec.fCondWaterFlow))
        .Run();
  });
}

bool bTowerWrite(std::int16_t id, const TowerData& rec, FolderArg folder) {
  return WriteKeyed(id, rec, folder, "bTowerWrite", "TWR.DAT", kTowerSize, [&](db::Database& d) {
    d.Cached(
         "INSERT INTO Towers(lID, sName, fCondWaterFlow) VALUES(?1, ?2, ?3) ON CONFLICT(lID) DO UPDATE "
         "SET sName = excluded.sName, fCondWaterFlow = excluded.fCondWaterFlow")
        .Bind(1, id)
        .Bind(2, vb::FixedWidth(rec.sName, 35))
        .Bind(3, static_cast<double>(rec.fCondWaterFlow))
        .Run();
  });
}

bool bSystemListRead(std::int16_t& count, std::vector<SystemListEntry>& list, FolderArg folder) {
  count = 0;
  return detail::RunData("bSystemListRead", [&] {
    DbPtr d = OpenIndex(true, folder.Resolve());
    if (!d) return false;
    std::vector<SystemListEntry> rows;
    auto s = d->Cached(
        "SELECT lID, sName, bSelected, fTotalCondWaterFlow FROM Systems ORDER BY sName COLLATE NOCASE ASC, lID");
    while (s.Step()) {
      if (rows.size() >= 32767) vb::Raise(vb::kOverflow, "INX.MDB lists more systems than the list can hold.");
      SystemListEntry e;
      e.lID = static_cast<std::int32_t>(s.Int(0));
      e.sName = vb::FixedWidth(s.Text(1), 40);
      e.bSelected = s.Int(2) != 0;
      e.fTotalCondWaterFlow = static_cast<float>(s.Double(3));
      rows.push_back(std::move(e));
    }
    list = std::move(rows);
    count = static_cast<std::int16_t>(list.size());
    return true;
  });
}

}  // namespace modDataIO
