// Test support: the standard output of a shell command (the PDF tools, LibreOffice) as text.
#pragma once

#include <cstdio>
#include <string>

namespace testsupport {

// Runs the command through the shell and returns everything it wrote to standard output;
// empty when it could not be started.
inline std::string RunCommand(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  pclose(pipe);
  return out;
}

}  // namespace testsupport
