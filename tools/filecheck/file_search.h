// Finding a listed file on disk and reading its CRC-32 and size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace filesearch {

// The CRC-32 (the standard reflected polynomial, as zlib computes it) and the size of a
// file, read in blocks. Returns 0, or the errno of the open or read that failed (then crc
// and size are left at 0). Only regular files are read: anything else gives EINVAL (EISDIR
// for a folder) without blocking.
int CRC32File(const std::string& path, uint32_t& crc, uint64_t& size);

// Reads a whole regular file of at most limit bytes into text. Returns 0, or the errno of the
// open or read that failed (EINVAL or EISDIR for what is not a regular file, EFBIG for a file
// larger than the limit, which is not read); text is empty then.
int ReadFileText(const std::string& path, std::string& text, uint64_t limit);

// The CRC as the list writes it: upper-case hexadecimal without leading zeros ("CBF43926", "0").
std::string Hex(uint32_t crc);

// The absolute, lexically normal form of a path; the path unchanged when it has none.
std::string GetFullPath(const std::string& path);

// The system's text for an error number, without a line end; ENOENT is "File Not Found".
std::string GetSystemErrorText(int error);

// Where the dynamic loader would find a library of this name, without loading it: the
// folders of LD_LIBRARY_PATH, then the loader's cache (/etc/ld.so.cache), then the default
// and multiarch folders. Empty for a name that holds a "/" or does not name a shared
// library (".so"), and when nothing is found.
std::string GetLoadedModulePath(const std::string& name);

// The library names and paths of a loader cache file (the "glibc-ld.so.cache1.1" format);
// empty when the file is missing or not in that format. Offsets are checked.
std::vector<std::pair<std::string, std::string>> ReadLoaderCache(const std::string& cacheFile);

// The search for a listed file: an absolute name as given; any other name relative to the list
// file's folder (the current folder for a list named without one), its parent,
// ../../ENVIRO/, ../../ENVIRO/WIZARDS/ and ../../, never the current folder besides; then, for
// a shared library name, the loader's search. found tells whether a regular file was found;
// path is its full path (empty when not found); error is ENOENT when not found, or the
// errno that stopped the last look-up.
struct Located {
  bool found = false;
  std::string path;
  int error = 0;
};
Located LocateFile(const std::string& name, const std::string& listFile);

}  // namespace filesearch
