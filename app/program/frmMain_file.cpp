// The main window's File commands: New, Open, Save and Save As.
#include <filesystem>
#include <string>

#include "app/program/Module1.h"
#include "app/program/clsProgram.h"
#include "app/program/frmMain.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

using modDataIO::gDefaultProjectName;
using modDataIO::gProject;
using Module1::gProjectChanged;
using Module1::gProjectExt;

namespace {

// The folder part of a path, up to and including its last "/".
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileTitleOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string frmMain::ProjectFileFilter() {
  return clsProgram::ProductName() + " Files (*" + gProjectExt + ")|*" + gProjectExt;
}

frmMain::SaveAsTarget frmMain::SaveAsNaming(const std::string& chosenPath, const std::string& projectName) {
  SaveAsTarget target{chosenPath, {}, projectName};
  const std::string title = FileTitleOf(chosenPath);
  // 1-based position of the last extension in the title, 0 when absent; any case counts, so
  // "PLANT.VXN" is not saved as "PLANT.VXN.vxn".
  const std::size_t found = vb::LCase(title).rfind(vb::LCase(gProjectExt));
  const std::size_t p = found == std::string::npos ? 0 : found + 1;
  if (p < 1) target.path += gProjectExt;
  target.workingFolder = FolderOf(target.path);
  const std::string name = vb::Trim(projectName);
  if ((name.empty() || vb::LCase(name) == gDefaultProjectName) && p >= 2) {
    target.projectName = title.substr(0, p - 1);
  }
  return target;
}

bool frmMain::SaveNeedsName(const std::string& projectName, const std::string& filePath) {
  return projectName == gDefaultProjectName || projectName.empty() || filePath.empty() ||
         !modpublic::FileExists(filePath);
}

bool frmMain::UnsavedDataQuestion(const std::string& action) {
  bool changed = true;
  ProjectDataChanged(changed);
  if (!changed) return true;
  const int answer =
      ui::host().messageBox("There are unsaved data in the current project (" + gProject.ProjectName + ")." +
                                " Do you really want to " + action + " without saving the current project?",
                            ui::kYesNo | ui::kExclamation, "");
  return answer == ui::kYes;
}

void frmMain::mnuFileNew_Click() {
  if (!UnsavedDataQuestion("create a new project")) return;
  modDataIO::InitProject(gProject);
  m_bFormReady = false;
  gProjectChanged = false;
  SetupOtherControlsInForm();
  m_bFormReady = true;
}

void frmMain::mnuFileOpen_Click() {
  if (!UnsavedDataQuestion("open an existing project")) return;
  const std::string path = view_->ShowOpenDialog("Open", ProjectFileFilter(), modDataIO::WorkingFolder());
  if (path.empty()) return;
  if (!modDataIO::IsValidProjectFile(path)) {
    ui::host().messageBox(kNotAProjectFile, ui::kOkOnly, "");
    return;
  }
  modDataIO::WorkingFolder(FolderOf(path));
  modDataIO::LoadProject(path, gProject);
  m_bFormReady = false;
  SetupOtherControlsInForm();
  m_bFormReady = true;
  gProjectChanged = false;
}

// Writes the controls into the project and the project to the file. The project counts as
// saved only when the file was written: after a failure it stays marked changed, so the close
// question still protects it.
bool frmMain::SaveTo(const std::string& path) {
  const bool saved = ControlsToProjectData() && modDataIO::SaveProject(path, gProject);
  gProjectChanged = !saved;
  return saved;
}

void frmMain::mnuFileSave_Click() {
  bool valid = false;
  ValidateFormControls(valid);
  if (!valid) return;
  if (SaveNeedsName(gProject.ProjectName, gProject.FilePath)) {
    mnuFileSaveAs_Click();
    return;
  }
  SaveTo(gProject.FilePath);
}

void frmMain::mnuFileSaveAs_Click() {
  bool valid = false;
  ValidateFormControls(valid);
  if (!valid) return;
  modpublic::RunGuarded("frmMain.mnuFileSaveAs_Click()", "Error in SaveAs", ui::kCritical, [&] {
    const std::string chosen =
        view_->ShowSaveDialog("Save Project As...", ProjectFileFilter(), modDataIO::WorkingFolder());
    if (chosen.empty()) return;
    const SaveAsTarget target = SaveAsNaming(chosen, gProject.ProjectName);
    // The dialog asked about the name the user chose; a file under the name with the extension
    // added is asked about here.
    if (target.path != chosen && std::filesystem::exists(target.path)) {
      const int answer = ui::host().messageBox(target.path + " already exists. Do you want to replace it?",
                                               ui::kYesNo | ui::kExclamation, "");
      if (answer != ui::kYes) return;
    }
    // The file carries the new name; only a written file moves the project and the working
    // folder there, so a failed save leaves both as they were for the next save or report.
    const std::string previousName = gProject.ProjectName;
    gProject.ProjectName = target.projectName;
    if (!SaveTo(target.path)) {
      gProject.ProjectName = previousName;
      return;
    }
    modDataIO::WorkingFolder(target.workingFolder);
    view_->Caption(MainCaption(gProject.ProjectName));
  });
}
