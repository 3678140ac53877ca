// The results file CAL.DAT and the error-line file ERR.DAT.
//
// CAL.DAT is laid out whole by the header write at the start of every run (a new file under
// a temporary name and renamed; an existing one cleared in place, header first); the
// sections and blocks of the run are then written into it in place. ERR.DAT grows by
// appending.
//
// CAL.DAT layout (0-based offsets): header 0..19; A at 20; B directly after A at 281 (it
// runs on over the places of C, D and the first blocks, since a PLV run and an economic run
// never share a file); C at 5660; D record n at 12623 + (n - 1) x 9344; block (s, m) at
// 49999 + ((s - 1) x 12 + m - 1) x 18432; 934,735 bytes in all.
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/storage/data_files.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace modDataIO {
namespace {

constexpr float kPosSummary = 21;
constexpr float kPosProfile = 282;
constexpr float kPosEconSummary = 5661;
constexpr float kPosSystemEcon = 12624;
constexpr float kPosSimData = 50000;
constexpr std::int64_t kSystemEconSize = 9344;
constexpr std::int64_t kSimBlockSize = 18432;
constexpr std::int64_t kHeaderSize = 20;
constexpr std::int64_t kSummarySize = 261;
constexpr long kBadFileFormat = 321;

const char* const kCalFile = "CAL.DAT";
const char* const kErrFile = "ERR.DAT";

CalcHeaderData StandardHeader() { return {kPosSummary, kPosProfile, kPosEconSummary, kPosSystemEcon, kPosSimData}; }

// The header of an existing results file; anything but the standard positions means the
// file was not made by the header write (or is damaged), and nothing is read or written.
void CheckHeader(const std::string& path) {
  std::int64_t length = -1;
  std::string bytes = detail::ReadOwnRange(path, 0, kHeaderSize, /*whole=*/true, &length);
  bytes.resize(static_cast<std::size_t>(kHeaderSize), '\0');
  CalcHeaderData h;
  codec::Decode(bytes, h);
  if (!(h == StandardHeader())) {
    vb::Raise(kBadFileFormat, path + " has no valid header (section positions " + vb::CStr(h.fPosSummary) + ", " +
                                  vb::CStr(h.fPosProfile) + ", ...); run the calculation again.");
  }
  // The header write lays the whole file out: a shorter file was cut, and its sections must
  // not read as zeros.
  if (length < kCalFileLength) {
    vb::Raise(kBadFileFormat, path + " is cut short (" + std::to_string(length) + " of " +
                                  std::to_string(kCalFileLength) + " bytes); run the calculation again.");
  }
}

std::int64_t SimBlockOffset(std::int16_t system, std::int16_t month) {
  if (system < 1 || system > 4 || month < 1 || month > 12) {
    vb::Raise(vb::kSubscriptOutOfRange, "Simulation block (" + std::to_string(system) + ", " + std::to_string(month) +
                                            ") does not exist (systems 1-4, months 1-12).");
  }
  return static_cast<std::int64_t>(kPosSimData) - 1 + ((system - 1) * 12 + (month - 1)) * kSimBlockSize;
}

}  // namespace

bool bCalcWriteHeaderData(FolderArg folder) {
  return detail::RunData("bCalcWriteHeaderData", [&] {
    const std::string path = folder.Resolve() + kCalFile;
    const std::string header = codec::Encode(StandardHeader());
    // A results file of a previous run is cleared where it holds data: no new file, no rename.
    if (detail::RelayOutInPlace(path, kCalFileLength, header)) return true;
    // Bytes beyond the layout stay: the file is never shortened. Only they are read.
    std::string tail = detail::ReadOwnRange(path, kCalFileLength, std::string::npos, false);
    const auto length = kCalFileLength + static_cast<std::int64_t>(tail.size());
    detail::WriteLaidOutFileAtomic(path, length, {{0, header}, {kCalFileLength, std::move(tail)}});
    return true;
  });
}

bool bCalcWritePLVData(const PLVSummaryData& summary, const PLVProfileData& profile, FolderArg folder) {
  return detail::RunData("bCalcWritePLVData", [&] {
    const std::string path = folder.Resolve() + kCalFile;
    CheckHeader(path);
    const std::int64_t a = static_cast<std::int64_t>(kPosSummary) - 1;
    detail::WriteInPlace(path, {{a, codec::Encode(summary)}, {a + kSummarySize, codec::Encode(profile)}});
    return true;
  });
}

bool bCalcReadPLVData(PLVSummaryData& summary, PLVProfileData& profile, FolderArg folder) {
  return detail::RunData("bCalcReadPLVData", [&] {
    const std::string path = folder.Resolve() + kCalFile;
    CheckHeader(path);
    const std::int64_t a = static_cast<std::int64_t>(kPosSummary) - 1;
    const PLVSummaryData s = detail::ReadOwnRecordAt<PLVSummaryData>(path, a);
    // Section B is read in sequence, its Variant tags and array header checked; a file that
    // ends inside it is an error, not zeros.
    const std::string rest = detail::ReadOwnRange(path, a + kSummarySize, std::string::npos, false);
    auto p = std::make_unique<PLVProfileData>();
    try {
      codec::Decode(rest, *p);
    } catch (const vb::RuntimeError& e) {
      vb::Raise(e.number(), path + ", section B: " + e.what());
    }
    summary = s;
    profile = std::move(*p);
    return true;
  });
}

bool bCalcWriteEconData(const PLVSummaryData& summary, const EconSummaryData& econ,
                        const vb::Array<SystemEconData, 1, 4>& systems, FolderArg folder) {
  return detail::RunData("bCalcWriteEconData", [&] {
    const std::string path = folder.Resolve() + kCalFile;
    CheckHeader(path);
    std::string d;
    for (const auto& s : systems) d += codec::Encode(s);
    detail::WriteInPlace(path, {{static_cast<std::int64_t>(kPosSummary) - 1, codec::Encode(summary)},
                                {static_cast<std::int64_t>(kPosEconSummary) - 1, codec::Encode(econ)},
                                {static_cast<std::int64_t>(kPosSystemEcon) - 1, d}});
    return true;
  });
}

bool bCalcReadEconData(PLVSummaryData& summary, EconSummaryData& econ, vb::Array<SystemEconData, 1, 4>& systems,
                       FolderArg folder) {
  return detail::RunData("bCalcReadEconData", [&] {
    const std::string path = folder.Resolve() + kCalFile;
    CheckHeader(path);
    const PLVSummaryData s = detail::ReadOwnRecordAt<PLVSummaryData>(path, static_cast<std::int64_t>(kPosSummary) - 1);
    const EconSummaryData c =
        detail::ReadOwnRecordAt<EconSummaryData>(path, static_cast<std::int64_t>(kPosEconSummary) - 1);
    auto d = std::make_unique<vb::Array<SystemEconData, 1, 4>>();
    for (long n = 1; n <= 4; ++n) {
      (*d)(n) = detail::ReadOwnRecordAt<SystemEconData>(
          path, static_cast<std::int64_t>(kPosSystemEcon) - 1 + (n - 1) * kSystemEconSize);
    }
    summary = s;
    econ = c;
    systems = std::move(*d);
    return true;
  });
}

bool bCalcWriteSimData(std::int16_t system, std::int16_t month, const SimMonthData& block, FolderArg folder) {
  return detail::RunData("bCalcWriteSimData", [&] {
    const std::string path = folder.Resolve() + kCalFile;
    CheckHeader(path);
    detail::WriteInPlace(path, {{SimBlockOffset(system, month), codec::Encode(block)}});
    return true;
  });
}

bool bCalcReadSimData(std::int16_t system, std::int16_t month, SimMonthData& block, FolderArg folder) {
  return detail::RunData("bCalcReadSimData", [&] {
    const std::string path = folder.Resolve() + kCalFile;
    CheckHeader(path);
    block = detail::ReadOwnRecordAt<SimMonthData>(path, SimBlockOffset(system, month));
    return true;
  });
}

// ---- ERR.DAT ------------------------------------------------------------------------------

bool bErrorWrite(const std::vector<std::string>& lines, FolderArg folder) {
  return detail::RunData("bErrorWrite", [&] {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    detail::AppendToFile(folder.Resolve() + kErrFile, text);
    return true;
  });
}

bool bErrorRead(std::vector<std::string>& lines, std::int32_t& count, FolderArg folder) {
  return detail::RunData("bErrorRead", [&] {
    const std::string text = detail::ReadOwnFile(folder.Resolve() + kErrFile);
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
      std::size_t end = text.find('\n', pos);
      if (end == std::string::npos) end = text.size();
      std::string line = text.substr(pos, end - pos);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      out.push_back(std::move(line));
      pos = end + 1;
    }
    if (out.size() > static_cast<std::size_t>(INT32_MAX)) vb::Raise(vb::kOverflow);
    count = static_cast<std::int32_t>(out.size());
    if (out.empty()) out.emplace_back();
    lines = std::move(out);
    return true;
  });
}

bool bErrorDelete(FolderArg folder) {
  return detail::RunData("bErrorDelete", [&] {
    const std::string path = folder.Resolve() + kErrFile;
    // Only our own file goes: anything else under its name (a folder, a link, a FIFO) stays
    // and is reported.
    if (detail::OwnFileLength(path) < 0) return true;
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
      vb::Raise(vb::kPathFileAccess, "Cannot delete " + path + ": " + std::strerror(errno));
    }
    return true;
  });
}

}  // namespace modDataIO
