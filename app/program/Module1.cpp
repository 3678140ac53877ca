#include "app/program/Module1.h"

#include <QApplication>
#include <clocale>
#include <filesystem>

#include "app/program/clsProgram.h"
#include "app/program/clsUnitControls.h"
#include "app/program/frmMain.h"
#include "app/program/frmMainWindow.h"
#include "app/program/frmSplash.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/help/help_qt.h"
#include "platform/savefile/save_file.h"
#include "platform/ui/qt_host.h"
#include "platform/ui/ui.h"

namespace Module1 {

std::string gSettingsFile;
bool gProjectChanged = false;
std::unique_ptr<clsUnitControls> gUnitControls;

using modDataIO::gProject;
using modDataIO::gSettings;

std::string CommandLineText(int argc, const char* const* argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  line = vb::Trim(line);
  std::erase(line, '"');
  return vb::Trim(line);
}

StartResult StartUp(const std::string& commandLine) {
  std::string step;
  StartResult result = StartResult::kFailed;
  modpublic::RunGuarded(
      "Module1.Main()", [&] { return step + " failed"; }, ui::kCritical,
      [&] {
        // The program never writes into its program folder, whatever XDG_DATA_HOME names:
        // a per-user data folder in it is refused before anything is read or created.
        const std::string dataFolder = modDataIO::GetAppDataFolder();
        const std::string programFolder = frmMain::ProgramFolder();
        if (savefile::FolderWithin(dataFolder, programFolder)) {
          ui::host().messageBox(
              savefile::ProgramFolderRefusal("The per-user data folder " + dataFolder, programFolder) +
                  ": nothing is written there, and the program ends.\nSet XDG_DATA_HOME to a "
                  "folder outside the program folder, or unset it to use " +
                  modDataIO::GetUserProfileFolder() + ".local/share.",
              ui::kCritical, "");
          return;
        }
        gSettingsFile = dataFolder + "GlobalSettings.xml";
        gProjectChanged = false;
        const std::string projectPath = commandLine;

        // The settings: the file overlays the defaults; a file that cannot be read leaves them.
        if (!modpublic::FileExists(gSettingsFile) || !modDataIO::LoadSettings(gSettingsFile, gSettings)) {
          modDataIO::InitSettings(gSettings);
        }

        step = "Load Project";
        modDataIO::InitProject(gProject);
        if (!projectPath.empty()) {
          if (!modDataIO::IsValidProjectFile(projectPath)) {
            // Nothing has been written: the scratch folder and the settings file stay as they are.
            ui::host().messageBox(std::string(frmMain::kNotAProjectFile) + ": " + projectPath, ui::kOkOnly, "");
            result = StartResult::kInvalidProject;
            return;
          }
          // Kept with its full path, so that Save writes back to the same file whatever the
          // working directory is later. A file that fails to load leaves the default project.
          std::error_code ec;
          const std::filesystem::path absolute = std::filesystem::absolute(projectPath, ec);
          modDataIO::LoadProject(ec ? projectPath : absolute.string(), gProject);
        }
        modpublic::gDataIOErrorMsg = "The following error occurred while reading or writing data:";

        // Folders, fresh template copies and the site database path (each failure says so).
        if (!frmMain::PrepareDataFiles()) return;

        gUnitControls = std::make_unique<clsUnitControls>();
        result = StartResult::kReady;
      });
  return result;
}

void HelpOutcome(bool shown) {
  if (!shown) ui::host().messageBox(modpublic::HelpNotShownMessage(modpublic::gHelpFile), ui::kExclamation, "");
}

int Main(int argc, char** argv) {
  QApplication app(argc, argv);
  // QApplication takes the C library's locale from the environment; numbers in the program's
  // texts and files are always written with a point, so the C numeric locale is restored.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName(QString::fromStdString(clsProgram::ProductName()));
  ui::QtHost host;
  ui::ScopedHost scopedHost(host);
  help::QtHelpOpener opener(HelpOutcome);
  help::setOpener(&opener);

  // QApplication has taken its own options out of argv.
  const StartResult started = StartUp(CommandLineText(argc, argv));
  int exitCode = 1;
  if (started == StartResult::kReady) {
    {
      frmSplash splash;
      splash.exec();
    }
    frmMain form;
    frmMainWindow window(form);
    window.show();
    exitCode = app.exec();
  }
  help::setOpener(nullptr);
  gUnitControls.reset();
  return exitCode;
}

}  // namespace Module1
