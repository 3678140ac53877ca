// The main window's File commands: New, Open, Save and Save As.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "app/program/Module1.h"
#include "app/program/clsProgram.h"
#include "app/program/frmMain.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/savefile/save_file.h"
#include "platform/ui/ui.h"

using modDataIO::gDefaultProjectName;
using modDataIO::gProject;
using modDataIO::gSettings;
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

// A file the user has write-protected: it has no write bit for anyone (which also root, whom
// the bits do not stop, must respect), or this user may not write it (its mode or its owner).
// A file that does not exist protects nothing.
bool WriteProtected(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0;
}

// The folder the save of `path` writes in (links followed) when it exists; "" otherwise.
std::string SaveFolder(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path folder =
      std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec).parent_path();
  if (ec || !std::filesystem::is_directory(folder, ec)) return {};
  return folder.string();
}

// The folder the save of `path` writes in when this user may not make a file there (its mode,
// its owner); "" otherwise.
std::string UnwritableFolder(const std::string& path) {
  const std::string folder = SaveFolder(path);
  return !folder.empty() && ::access(folder.c_str(), W_OK) != 0 ? folder : std::string();
}

// Whether the save of `path` would write on a read-only disk: the file, or the folder it would
// be made in when there is none, cannot be written because its file system is mounted
// read-only. Every other name on that disk fails alike, whatever the file's own mode.
bool OnReadOnlyDisk(const std::string& path) {
  struct stat st {};
  const std::string target = ::stat(path.c_str(), &st) == 0 ? path : SaveFolder(path);
  return !target.empty() && ::access(target.c_str(), W_OK) != 0 && errno == EROFS;
}

// Why the project must not be written to `path`, as the message that says so; "" when it may.
std::string SaveRefusal(const std::string& path) {
  if (frmMain::InProgramFolder(path)) return modpublic::ProgramFolderRefusal(path, "project");
  if (OnReadOnlyDisk(path))
    return path + " is on a read-only disk. The project was not saved; save it in a folder on another disk.";
  if (WriteProtected(path)) return path + " is write-protected. The project was not saved; save it under another name.";
  if (const std::string folder = UnwritableFolder(path); !folder.empty()) {
    return path + " is in the folder " + folder +
           ", which cannot be written to. The project was not saved; save it in another folder.";
  }
  return {};
}

// A new working folder goes to the settings file at once, so that it is not lost when the
// program ends without closing its window.
void MoveWorkingFolder(const std::string& folder) {
  if (folder == modDataIO::WorkingFolder()) return;
  modDataIO::WorkingFolder(folder);
  modDataIO::SaveSettings(Module1::gSettingsFile, gSettings);
}

}  // namespace

std::string frmMain::ProjectFileFilter() {
  return clsProgram::ProductName() + " Files (*" + gProjectExt + ")|*" + gProjectExt;
}

frmMain::SaveAsTarget frmMain::SaveAsNaming(const std::string& chosenPath, const std::string& projectName) {
  SaveAsTarget target{chosenPath, {}, projectName};
  // 1-based position of the last extension in a title, 0 when absent; any case counts, so
  // "PLANT.VXN" is not saved as "PLANT.VXN.vxn".
  const auto extensionAt = [](const std::string& title) {
    const std::size_t found = vb::LCase(title).rfind(vb::LCase(gProjectExt));
    return found == std::string::npos ? std::size_t{0} : found + 1;
  };
  if (extensionAt(FileTitleOf(chosenPath)) < 1) target.path += gProjectExt;
  // The name comes from the title the file gets, so that "Plant" and "Plant.vxn" name the
  // project alike.
  const std::string title = FileTitleOf(target.path);
  const std::size_t p = extensionAt(title);
  target.workingFolder = FolderOf(target.path);
  const std::string name = vb::Trim(projectName);
  if ((name.empty() || vb::LCase(name) == gDefaultProjectName) && p >= 2) {
    target.projectName = title.substr(0, p - 1);
  }
  return target;
}

bool frmMain::SaveNeedsName(const std::string& projectName, const std::string& filePath) {
  return projectName == gDefaultProjectName || projectName.empty() || filePath.empty() ||
         !modpublic::FileExists(filePath) || InProgramFolder(filePath);
}

bool frmMain::InProgramFolder(const std::string& path) { return savefile::InProtectedFolder(path); }

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
  // A file the loader refuses (its box says why) changes nothing: not the project, not the
  // controls with their unsaved changes, not the working folder.
  if (!modDataIO::LoadProject(path, gProject)) return;
  // The program folder never becomes the working folder: reports and the next Save As go
  // where the user's own files are.
  if (!InProgramFolder(path)) MoveWorkingFolder(FolderOf(path));
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
  // A file that must not or cannot be written (write-protected, on a read-only disk): said
  // why, and Save As offered.
  const std::string refusal = SaveRefusal(gProject.FilePath);
  if (!refusal.empty()) {
    ui::host().messageBox(refusal, ui::kExclamation, "");
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
    std::string chosen;
    SaveAsTarget target;
    // A name in the program folder, on a read-only disk, of a write-protected file or in a
    // folder that cannot be written to is refused and asked again.
    for (;;) {
      chosen = view_->ShowSaveDialog("Save Project As...", ProjectFileFilter(), modDataIO::WorkingFolder());
      if (chosen.empty()) return;
      target = SaveAsNaming(chosen, gProject.ProjectName);
      const std::string refusal = SaveRefusal(target.path);
      if (refusal.empty()) break;
      ui::host().messageBox(refusal, ui::kExclamation, "");
    }
    // The dialog asked about the name the user chose; a file under the name with the extension
    // added is asked about here.
    if (target.path != chosen && std::filesystem::exists(target.path) && !modpublic::ReplaceConfirmed(target.path))
      return;
    // The file carries the new name; only a written file moves the project and the working
    // folder there, so a failed save leaves both as they were for the next save or report.
    const std::string previousName = gProject.ProjectName;
    gProject.ProjectName = target.projectName;
    if (!SaveTo(target.path)) {
      gProject.ProjectName = previousName;
      return;
    }
    MoveWorkingFolder(target.workingFolder);
    view_->Caption(MainCaption(gProject.ProjectName));
  });
}
