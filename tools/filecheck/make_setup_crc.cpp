// Build-time generator of SETUP.CRC: make_setup_crc <list file> <file>...
// Writes one section per file, "[<file name>:Linux]", with its CRC, size and version, so
// that veritor can check the program folder the files lie in. Written to a temporary name
// and renamed into place.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "tools/filecheck/Version.h"
#include "tools/filecheck/crc_list.h"
#include "tools/filecheck/file_search.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: make_setup_crc <list file> <file>...\n";
    return 2;
  }
  const std::string out = argv[1];
  const std::string temp = out + ".tmp";
  std::ofstream list(temp, std::ios::binary | std::ios::trunc);
  // The count line lets the checker tell a whole list from one cut short.
  list << crclist::CountLine(static_cast<size_t>(argc - 2)) << "\n";
  for (int i = 2; i < argc; ++i) {
    const std::string path = argv[i];
    uint32_t crc = 0;
    uint64_t size = 0;
    if (const int error = filesearch::CRC32File(path, crc, size); error != 0) {
      std::cerr << "make_setup_crc: " << path << ": " << filesearch::GetSystemErrorText(error) << "\n";
      return 1;
    }
    list << "[" << std::filesystem::path(path).filename().string() << ":Linux]\n"
         << "CRC=" << filesearch::Hex(crc) << "\n"
         << "Size=" << size << "\n"
         << "VERSION=" << Version::GetFileVersionString(path) << "\n\n";
  }
  list.close();
  std::error_code ec;
  if (!list || (std::filesystem::rename(temp, out, ec), ec)) {
    std::cerr << "make_setup_crc: cannot write " << out << "\n";
    return 1;
  }
  return 0;
}
