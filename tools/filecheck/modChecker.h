// modChecker: the file integrity checker's program-wide state, the section-text tokenizer,
// the operating-system names and the command line.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace modChecker {

// The folder the report file goes to, ending with "/", or empty for the current folder.
extern std::string g_crc;
// 1 in the unattended run ("/s"), else 0: no message box is shown then.
extern int g_quiet;

// Splits a section text at the first occurrence of the delimiter into the file name and the
// OS filter. Each part is trimmed, then loses leading and then trailing quotes (' and "),
// then trailing control characters. An empty delimiter, or one not found, leaves the whole
// text as the name and an empty filter.
std::pair<std::string, std::string> NextToken(const std::string& text, const std::string& delimiter);

// The name of the running system that a list's OS filter matches ("Linux").
std::string GetWindowsVersionName();

// The name shown in the window caption, the report file and the printout: the distribution's
// name when /etc/os-release gives one, else "Linux " and the kernel release.
std::string GetOsDisplayName();

// True when a section with this OS filter is checked on the system of this name: the filter
// is blank, or its upper-cased text contains the upper-cased name. "Windows 2000" and the
// "Pltfrm ..." names count as "Windows NT 4.0".
bool SectionTaken(const std::string& filter, const std::string& osName);

// What the command line asks for.
struct CommandLine {
  bool quiet = false;        // "/s" given as an argument of its own
  std::string listFile;      // the CRC list file to check
  std::string reportFolder;  // g_crc: the named list file's folder with "/", or empty
};

// Reads the arguments (without the program name). "/s" counts only as a whole argument and
// only in lower case. Unattended: the list file is the text after "/s", else the text before
// it. Interactive: the whole text. The arguments of a part are joined by blanks and
// trimmed; an empty list file name means SETUP.CRC in the program folder, with the report
// folder empty (the current folder).
CommandLine ParseCommandLine(const std::vector<std::string>& args, const std::string& programFolder);

// Text helpers shared by the checker.
std::string Trim(const std::string& s);
std::string UCase(const std::string& s);

}  // namespace modChecker
