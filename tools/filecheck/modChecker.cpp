#include "tools/filecheck/modChecker.h"

#include <sys/utsname.h>

#include <algorithm>
#include <cctype>
#include <fstream>

namespace modChecker {

std::string g_crc;
int g_quiet = 0;

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string UCase(const std::string& s) {
  std::string r = s;
  std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return std::toupper(c); });
  return r;
}

namespace {

bool IsQuote(char c) { return c == '\'' || c == '"'; }

// Trimmed, leading quotes, trailing quotes, then trailing control characters removed.
std::string CleanToken(const std::string& raw) {
  std::string t = Trim(raw);
  size_t start = 0;
  while (start < t.size() && IsQuote(t[start])) ++start;
  t.erase(0, start);
  while (!t.empty() && IsQuote(t.back())) t.pop_back();
  while (!t.empty() && static_cast<unsigned char>(t.back()) < ' ') t.pop_back();
  return t;
}

// The fields of /etc/os-release are KEY=value with the value optionally quoted.
std::string OsReleaseValue(const std::string& key) {
  std::ifstream in("/etc/os-release");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key + "=", 0) != 0) continue;
    std::string v = line.substr(key.size() + 1);
    if (v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front()) v = v.substr(1, v.size() - 2);
    return v;
  }
  return "";
}

std::string JoinArgs(const std::vector<std::string>& args, size_t from, size_t to) {
  std::string r;
  for (size_t i = from; i < to; ++i) r += (i > from ? " " : "") + args[i];
  return Trim(r);
}

}  // namespace

std::pair<std::string, std::string> NextToken(const std::string& text, const std::string& delimiter) {
  const std::string scan = Trim(text);
  const std::string delim = Trim(delimiter);
  const size_t at = delim.empty() ? std::string::npos : scan.find(delim);
  if (at == std::string::npos) return {CleanToken(scan), ""};
  return {CleanToken(scan.substr(0, at)), CleanToken(scan.substr(at + delim.size()))};
}

std::string GetWindowsVersionName() { return "Linux"; }

std::string GetOsDisplayName() {
  const std::string pretty = OsReleaseValue("PRETTY_NAME");
  if (!pretty.empty()) return pretty;
  struct utsname u {};
  if (uname(&u) == 0) return std::string("Linux ") + u.release;
  return "Linux";
}

bool SectionTaken(const std::string& filter, const std::string& osName) {
  if (Trim(filter).empty()) return true;
  std::string name = osName;
  if (name == "Windows 2000" || name.rfind("Pltfrm", 0) == 0) name = "Windows NT 4.0";
  return UCase(filter).find(UCase(name)) != std::string::npos;
}

CommandLine ParseCommandLine(const std::vector<std::string>& args, const std::string& programFolder) {
  CommandLine cl;
  const auto s = std::find(args.begin(), args.end(), "/s");
  if (s != args.end()) {
    cl.quiet = true;
    const size_t at = static_cast<size_t>(s - args.begin());
    cl.listFile = JoinArgs(args, at + 1, args.size());
    if (cl.listFile.empty()) cl.listFile = JoinArgs(args, 0, at);
  } else {
    cl.listFile = JoinArgs(args, 0, args.size());
  }
  // A list named with its folder has its report beside it; without a list named (the
  // program folder's SETUP.CRC is checked) the report goes to the current folder.
  const size_t slash = cl.listFile.rfind('/');
  if (slash != std::string::npos) cl.reportFolder = Trim(cl.listFile.substr(0, slash + 1));
  if (cl.listFile.empty()) {
    std::string folder = programFolder;
    if (!folder.empty() && folder.back() != '/') folder += '/';
    cl.listFile = folder + "SETUP.CRC";
  }
  return cl;
}

}  // namespace modChecker
