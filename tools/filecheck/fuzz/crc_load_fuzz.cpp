// Writes arbitrary bytes as a list file in a temporary folder and reads it whole through
// FileInfo::LoadCrcFile, with every refusal the reader makes. Nothing may crash, hang or trip a
// sanitizer. A list taken has a numbered row with a file name for every section taken here and
// says whether its completeness could be checked; a list refused says why, once, and the same
// in its box as for the report. A byte-order mark put before the bytes changes nothing.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/ui/ui.h"
#include "tools/filecheck/FileInfo.h"
#include "tools/filecheck/crc_list.h"
#include "tools/filecheck/modChecker.h"

namespace {

// The temporary folder the list is written into, removed again at exit.
class ListFolder {
 public:
  ListFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "veritor-load-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) std::abort();
    path_ = tmpl;
  }
  ~ListFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ListFolder(const ListFolder&) = delete;
  ListFolder& operator=(const ListFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const std::string& ListFolderPath() {
  static const ListFolder folder;
  return folder.path();
}

// What reading one list left behind.
struct Read {
  bool taken = false;
  std::string error;
  std::string note;
  checker::Grid grid;
};

Read LoadList(std::string_view bytes) {
  const std::string list = ListFolderPath() + "/SETUP.CRC";
  {
    std::ofstream out(list, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) std::abort();
  }
  ui::RecordingHost host;
  ui::ScopedHost scoped(host);
  FileInfo info;
  info.InitGrid();
  Read read;
  read.taken = info.LoadCrcFile(list);
  read.error = info.ListError();
  read.note = info.ListNote();
  read.grid = info.Grid1();
  if (read.taken) {
    if (!read.error.empty() || !host.messages.empty() || read.grid.size() < 2) std::abort();
    if (read.grid.size() - 1 != crclist::ScanSections(bytes, modChecker::GetWindowsVersionName()).size()) std::abort();
    for (size_t r = 1; r < read.grid.size(); ++r) {
      if (read.grid[r][checker::kColNumber] != std::to_string(r)) std::abort();
      if (modChecker::Trim(read.grid[r][checker::kColName]).empty()) std::abort();
    }
    if (read.note.empty() == !crclist::HasCountLine(bytes)) std::abort();
  } else {
    if (read.error.empty() || host.messages.size() != 1 || host.messages[0].text != read.error) std::abort();
  }
  return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const Read plain = LoadList(input);
  if (size + 3 > crclist::kMaxListBytes) return 0;
  const Read marked = LoadList("\xEF\xBB\xBF" + std::string(input));
  if (marked.taken != plain.taken || marked.error != plain.error || marked.note != plain.note ||
      marked.grid != plain.grid)
    std::abort();
  return 0;
}
