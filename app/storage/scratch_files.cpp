// The scratch record files WTH.DAT, LOD.DAT, ECO.DAT and RPT.DAT, and the start-up copy
// of the template files.
#include <array>

#include "app/storage/data_files.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"

namespace modDataIO {
namespace {

constexpr std::int64_t kLoadProfileSize = 259;

// Reads into a temporary and assigns on success, so a failed read leaves `rec` as it was.
// A missing file or a record beyond its end reads as zeros; a file that ends inside the
// record, or anything there but a regular file, is an error. The file is never created.
template <class R>
bool ReadScratch(const std::string& title, const char* file, std::int64_t offset, R& rec, FolderArg& folder) {
  return detail::RunData(title, [&] {
    rec = detail::ReadOwnRecordAt<R>(folder.Resolve() + file, offset);
    return true;
  });
}

template <class R>
bool WriteScratch(const std::string& title, const char* file, std::int64_t offset, const R& rec, FolderArg& folder) {
  return detail::RunData(title, [&] {
    detail::PatchFile(folder.Resolve() + file, {{offset, codec::Encode(rec)}});
    return true;
  });
}

}  // namespace

bool bWeatherRead(WeatherData& rec, FolderArg folder) { return ReadScratch("bWeatherRead", "WTH.DAT", 0, rec, folder); }
bool bWeatherWrite(const WeatherData& rec, FolderArg folder) {
  return WriteScratch("bWeatherWrite", "WTH.DAT", 0, rec, folder);
}
bool bLoadProfileRead(LoadProfileData& rec, FolderArg folder) {
  return ReadScratch("bLoadProfileRead", "LOD.DAT", 0, rec, folder);
}
bool bLoadProfileRead2(LoadProfileData& rec, FolderArg folder) {
  return ReadScratch("bLoadProfileRead", "LOD.DAT", kLoadProfileSize, rec, folder);
}
bool bLoadProfileWrite(const LoadProfileData& rec, FolderArg folder) {
  return WriteScratch("bLoadProfileWrite", "LOD.DAT", 0, rec, folder);
}
bool bEconomicsRead(EconomicsData& rec, FolderArg folder) {
  return ReadScratch("bEconomicsRead", "ECO.DAT", 0, rec, folder);
}
bool bReportsRead(ReportData& rec, FolderArg folder) { return ReadScratch("bReportsRead", "RPT.DAT", 0, rec, folder); }
bool bReportsWrite(const ReportData& rec, FolderArg folder) {
  return WriteScratch("bReportsWrite", "RPT.DAT", 0, rec, folder);
}

bool CopyFiles(const std::string& source, const std::string& dest) {
  // Each template is copied under its own step, which a failure's message names.
  struct Step {
    const char* file;
    const char* text;
  };
  static constexpr std::array<Step, 9> kSteps = {{
      {"CHL.DAT", "Copy CHL File"},
      {"SYS.DAT", "Copy SYS File"},
      {"WTH.DAT", "Copy WTH File"},
      {"LOD.DAT", "Copy LOD File"},
      {"TWR.DAT", "Copy TWR File"},
      {"RPT.DAT", "Copy RPT File"},
      {"ECO.DAT", "Copy ECO File"},
      {"INX.MDB", "Copy INX File"},
      {"HW1.DAT", "Copy HW1 File"},
  }};
  std::string step;
  return modpublic::RunGuarded("modDataIO.CopyFiles", step, 16, [&] {
    for (const auto& s : kSteps) {
      step = s.text;
      detail::WriteOwnFileAtomic(dest + s.file, detail::ReadFileBytes(source + s.file));
    }
    return true;
  });
}

}  // namespace modDataIO
