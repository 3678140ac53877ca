// The version of a program or library file, read without loading it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace Version {

// The version text of an ELF file: the Kestrin version note our programs and libraries
// carry, else for a shared library the numeric ending of the real file behind the name
// (libz.so.1 -> libz.so.1.2.13 -> "1.2.13"); empty when neither exists.
std::string GetFileVersionString(const std::string& path);

// The descriptor text of the version note (owner "Kestrin", type 1) in an ELF64 file; empty
// when the file is not ELF64 or has no such note. Every offset read from the file is
// checked against its size.
std::string ReadVersionNote(const std::string& path);

// The numeric ending after ".so." of a library file name ("1.2.13"), or empty.
std::string SharedLibraryVersion(const std::string& fileName);

// The type-library registration that a list's CLSID refers to. Linux has no such registry:
// the program installs none, and a row with a CLSID is then checked like any other. Tests
// give a fake to check the registration logic. Key paths use "\\" between names.
class Registry {
 public:
  virtual ~Registry() = default;
  // The names of a key's subkeys; nothing when the key does not exist.
  virtual std::optional<std::vector<std::string>> SubKeys(const std::string& key) const = 0;
  // A key's default value; empty when it has none.
  virtual std::string DefaultValue(const std::string& key) const = 0;
};

// The subkey of key that matches the wanted version (VersionStringsMatch), else the greatest
// (in binary text order) of the subkeys that count as numbers (a non-zero leading number, or
// exactly "0"); empty when the key is missing or has none.
std::string FindTypeLibVersionKey(const Registry& registry, const std::string& key, const std::string& wanted);

// Texts of the same length that differ only where the first has "." or ",".
bool VersionStringsMatch(const std::string& a, const std::string& b);

// Whether version a is older than b, comparing the numbers between "." or "," one by one
// ("9.0" is older than "10.0"); texts that are not numbers compare as text.
bool VersionOlder(const std::string& a, const std::string& b);

}  // namespace Version
