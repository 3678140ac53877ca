// clsUnitControls: the binder between the program's one unit converter, modpublic::gUnits, and
// the unit entry boxes (csQuillet) on its windows. There is one instance for the whole run,
// created at start-up before any window is filled; values are never converted in place: every
// box keeps its inch-pound Value and only its display follows the unit system.
//
// How the windows use it:
//   - A window that holds csQuillet boxes calls LoadUnits(*this) once after it built them and
//     before it fills or reads them: every box (at any depth of children) is bound to gUnits
//     and shown in the current unit system.
//   - Switching the unit system: gUnits.CurrentUnitOfMeasure(nENGLISH or nMETRIC), then
//     RefreshUnits() with no window: every box of every top-level window re-displays its
//     unchanged value, label and limits tooltip; no Change is emitted, no value rounded.
//   - ValidateUnitCtl(box) is the verdict of one box, a blanked box counting as valid.
#pragma once

class QWidget;
class csQuillet;

class clsUnitControls {
 public:
  // Sets gUnits to inch-pound with the standard unit labels.
  clsUnitControls();

  // Binds every csQuillet of the window to gUnits, then refreshes the window.
  void LoadUnits(QWidget& form);
  // Re-displays the boxes of one window, or of every top-level window when form is null,
  // and repaints the window. Errors are ignored.
  void RefreshUnits(QWidget* form = nullptr);
  // True for a blanked box, else the box's own Validate.
  bool ValidateUnitCtl(csQuillet& control);

 private:
  void RefreshFormUnits(QWidget& form);
};
