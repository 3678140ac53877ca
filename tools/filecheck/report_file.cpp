#include "tools/filecheck/report_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <regex>

namespace report {

std::string TrimCell(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string TitleLine(const std::tm& now) {
  char buf[64];
  const int hour12 = now.tm_hour % 12 == 0 ? 12 : now.tm_hour % 12;
  std::snprintf(buf, sizeof buf, "%02d-%02d-%04d, %02d:%02d %s", now.tm_mon + 1, now.tm_mday, now.tm_year + 1900,
                hour12, now.tm_min, now.tm_hour < 12 ? "AM" : "PM");
  return std::string("Tolvane 32-Bit File Integrity Verification ") + buf;
}

std::string RunningLine(const std::string& osName, const std::string& listFile) {
  return "Running under " + osName + " with file " + listFile;
}

std::string ReportFileText(const checker::Grid& grid, const std::tm& now, const std::string& osName,
                           const std::string& listFile, const std::string& listRemark) {
  std::string text = TitleLine(now) + "\r\n" + RunningLine(osName, listFile) + "\r\n\r\n";
  if (!listRemark.empty()) text += listRemark + "\r\n";
  for (const auto& row : grid) {
    for (int c = 0; c < checker::kColSection; ++c) text += TrimCell(row[c]) + "\t";
    text += "\r\n";
  }
  return text;
}

long long NextReportNumber(const std::string& folder) {
  static const std::regex kReportName(R"(^crc(\d{3,})\.txt$)", std::regex::icase);
  long long largest = 0;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::smatch m;
    const std::string name = it->path().filename().string();
    if (!std::regex_match(name, m, kReportName) || m[1].length() > 15) continue;
    largest = std::max(largest, std::stoll(m[1].str()));
  }
  return largest + 1;
}

std::string ReportFileName(long long number) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "crc%03lld.txt", number);
  return buf;
}

Written WriteReportFile(const std::string& folder, const std::string& text) {
  Written w;
  long long number = NextReportNumber(folder);
  // Another run may take the same number between the scan and the creation: try the next.
  for (int attempt = 0; attempt < 100; ++attempt, ++number) {
    const std::string path = folder + ReportFileName(number);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) {
      w.error = "Unable to create the report file " + path + ": " + std::strerror(errno);
      return w;
    }
    size_t done = 0;
    int error = 0;
    while (done < text.size()) {
      const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        error = n < 0 ? errno : EIO;
        break;
      }
      done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
      ::unlink(path.c_str());
      w.error = "Unable to write the report file " + path + ": " + std::strerror(error);
      return w;
    }
    w.ok = true;
    w.path = path;
    return w;
  }
  w.error = "Unable to create a report file in " + (folder.empty() ? std::string(".") : folder);
  return w;
}

}  // namespace report
