#include "app/program/clsUnitControls.h"

#include <QApplication>
#include <QWidget>

#include "app/storage/modpublic.h"
#include "controls/unitentry/csQuillet.h"
#include "libs/vb/vberror.h"

clsUnitControls::clsUnitControls() {
  modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
  modpublic::gUnits.UseStandardLabels(true);
}

void clsUnitControls::LoadUnits(QWidget& form) {
  for (csQuillet* box : form.findChildren<csQuillet*>()) box->UnitCnv(&modpublic::gUnits);
  RefreshUnits(&form);
}

void clsUnitControls::RefreshUnits(QWidget* form) {
  const QWidgetList forms = form ? QWidgetList{form} : QApplication::topLevelWidgets();
  for (QWidget* f : forms) {
    try {
      RefreshFormUnits(*f);
      f->update();
    } catch (const std::exception& e) {
      vb::NoteIgnoredError("clsUnitControls::RefreshUnits", e);  // the other windows still refresh
    }
  }
}

void clsUnitControls::RefreshFormUnits(QWidget& form) {
  for (csQuillet* box : form.findChildren<csQuillet*>()) box->Refresh();
}

bool clsUnitControls::ValidateUnitCtl(csQuillet& control) {
  if (control.Blanked()) return true;
  return control.Validate();
}
