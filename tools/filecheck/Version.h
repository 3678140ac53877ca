// The version of a program or library file, read without loading it.
#pragma once

#include <string>

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

}  // namespace Version
