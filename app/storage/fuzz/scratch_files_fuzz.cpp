// Fuzz entry: arbitrary bytes as one of the files a user or another program can hand the
// calculation in the scratch folder. The first byte picks the file, the rest is its content;
// every other file of the folder is valid (a system library of three systems, chillers and
// towers, all linked), so the reader of the picked file runs its whole way:
//   0 WTH.DAT, 1 LOD.DAT, 2 ECO.DAT, 3 RPT.DAT, 4 SYS.DAT, 5 CHL.DAT, 6 TWR.DAT,
//   7 INX.MDB (the bytes as the database), 8 ERR.DAT, 9 CAL.DAT with its header.
// Reading must never crash, hang or touch memory it does not own; a refused file only
// shows its box.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/storage/fuzz/fuzz_folder.h"
#include "app/storage/index_schema.h"
#include "app/storage/modDataIO.h"
#include "platform/db/db.h"
#include "platform/ui/ui.h"

namespace {

const char* const kFiles[] = {"WTH.DAT", "LOD.DAT", "ECO.DAT", "RPT.DAT", "SYS.DAT",
                              "CHL.DAT", "TWR.DAT", "INX.MDB", "ERR.DAT", "CAL.DAT"};

// The valid index, built once: ids 1 to 3 of every family, each system linked to all.
std::string ValidIndex(const std::string& dir) {
  const std::string path = dir + "INX.valid";
  auto d = db::Database::Open(path, db::OpenMode::kCreate);
  d->Execute(modDataIO::kIndexSchemaSql);
  for (int id = 1; id <= 3; ++id) {
    d->Prepare("INSERT INTO Systems(lID, sName) VALUES(?1, 'S')").Bind(1, id).Run();
    d->Prepare("INSERT INTO Chillers(lID, sName) VALUES(?1, 'C')").Bind(1, id).Run();
    d->Prepare("INSERT INTO Towers(lID, sName) VALUES(?1, 'T')").Bind(1, id).Run();
    for (int other = 1; other <= 3; ++other) {
      d->Prepare("INSERT INTO SystemChiller VALUES(?1, ?2)").Bind(1, id).Bind(2, other).Run();
      d->Prepare("INSERT INTO SystemTower VALUES(?1, ?2)").Bind(1, id).Bind(2, other).Run();
    }
  }
  d->Close();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ui::RecordingHost host;
  static ui::ScopedHost scoped(host);
  static const fuzzing::FuzzFolder folder("kestrin_fuzz_scratch");
  static const std::string dir = folder.Dir();
  static const std::string validIndex = ValidIndex(dir);
  if (size == 0) return 0;
  const int which = data[0] % 10;
  const std::int16_t id = static_cast<std::int16_t>(size > 1 ? data[1] % 5 : 1);  // 0 to 4: 4 is not indexed

  for (const char* f : kFiles) std::filesystem::remove(dir + f);
  std::filesystem::copy_file(validIndex, dir + "INX.MDB");
  {
    std::ofstream out(dir + kFiles[which], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data) + 1, static_cast<std::streamsize>(size - 1));
  }
  modDataIO::DataFolder(dir);
  switch (which) {
    case 0: {
      auto w = std::make_unique<WeatherData>();
      modDataIO::bWeatherRead(*w);
      break;
    }
    case 1: {
      LoadProfileData l;
      modDataIO::bLoadProfileRead(l);
      modDataIO::bLoadProfileRead2(l);
      break;
    }
    case 2: {
      EconomicsData e;
      modDataIO::bEconomicsRead(e);
      break;
    }
    case 3: {
      ReportData r;
      modDataIO::bReportsRead(r);
      break;
    }
    case 4:
    case 5:
    case 6:
    case 7: {
      SystemData s;
      modDataIO::bSystemRead(id, s);
      ChillerData c;
      modDataIO::bChillerRead(id, c);
      TowerData t;
      modDataIO::bTowerRead(id, t);
      std::int16_t count = 0;
      std::vector<modDataIO::SystemListEntry> list;
      modDataIO::bSystemListRead(count, list);
      break;
    }
    case 8: {
      std::vector<std::string> lines;
      std::int32_t count = 0;
      modDataIO::bErrorRead(lines, count);
      break;
    }
    default: {
      PLVSummaryData summary;
      auto profile = std::make_unique<PLVProfileData>();
      modDataIO::bCalcReadPLVData(summary, *profile);
      EconSummaryData econ;
      auto systems = std::make_unique<vb::Array<SystemEconData, 1, 4>>();
      modDataIO::bCalcReadEconData(summary, econ, *systems);
      auto block = std::make_unique<SimMonthData>();
      modDataIO::bCalcReadSimData(static_cast<std::int16_t>(1 + id % 4), 12, *block);
      break;
    }
  }
  modDataIO::DataFolder("");
  host.messages.clear();
  return 0;
}
