// veritor: checks an installation's files against its CRC list. "veritor [list]" shows the
// results window; "veritor /s [list]" checks without a display, writes the report file beside
// the list (no list named: into the current folder), prints the report's path and ends with 0
// (every file good), 1 (a file failed) or 2 (list or report failed).
#include <QApplication>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui/qt_host.h"
#include "tools/filecheck/FileInfo.h"
#include "tools/filecheck/FileInfoWindow.h"
#include "tools/filecheck/modChecker.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::error_code ec;
  const std::string programFolder = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string();
  const modChecker::CommandLine cl = modChecker::ParseCommandLine(args, programFolder);
  modChecker::g_crc = cl.reportFolder;
  modChecker::g_quiet = cl.quiet ? 1 : 0;

  if (cl.quiet) {
    FileInfo fileInfo;
    fileInfo.SetProgramFolder(programFolder);
    return fileInfo.DoItQuiet(cl.listFile);
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName("veritor");
  ui::QtHost host;
  ui::ScopedHost scopedHost(host);
  FileInfo logic;
  logic.SetProgramFolder(programFolder);
  FileInfoWindow window(logic, cl.listFile);
  SplashWindow splash(&window);
  splash.show();
  return QApplication::exec();
}
