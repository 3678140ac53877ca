// Module1: the program's start (Main) and the program-wide names it sets.
//
// Main builds the application, installs the Qt message host and the help opener, runs the
// start-up steps (StartUp), shows the splash window modally and then the main window, and
// returns when the main window has closed. StartUp holds every start-up step that needs no
// window, so tests run it alone and further steps (such as locking the per-user data folder)
// are one call inside it.
#pragma once

#include <memory>
#include <string>

class clsUnitControls;

namespace Module1 {

inline const std::string gProjectExt = ".vxn";
// The per-user data folder followed by "GlobalSettings.xml" (set by StartUp).
extern std::string gSettingsFile;
// True when the project changed since it was loaded, created or saved.
extern bool gProjectChanged;
// The one unit controls binder (created by StartUp; it sets up modpublic::gUnits).
extern std::unique_ptr<clsUnitControls> gUnitControls;

// The project path of the command line: the arguments joined with blanks, trimmed, every
// double quote removed, trimmed again.
std::string CommandLineText(int argc, const char* const* argv);

enum class StartResult {
  kReady,           // settings, project, scratch folder and unit controls are ready
  kInvalidProject,  // the named file is not a project file: the program ends, nothing written
  kFailed,          // a step failed and said so
};

// Start-up without windows, in this order: names, settings (the file when it exists, else
// the defaults), the project (the named file or the default project), the per-user and
// scratch folders with fresh template copies, the unit controls and the site database path.
StartResult StartUp(const std::string& commandLine);

// The outcome of a Help request that the help opener reports once the desktop's launchers are
// done, after Help returned: a page no launcher showed gets the message saying where the help
// file is, as when no launcher could be started at all.
void HelpOutcome(bool shown);

// The program: returns its exit code (0 after a normal close, 1 when start-up ended it).
int Main(int argc, char** argv);

}  // namespace Module1
