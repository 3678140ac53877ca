// The main window's logic: load and close, the project in the controls and back, the
// coupling between inputs, change tracking, validation and the dialog commands.
#include <algorithm>
#include <cmath>
#include <string>

#include "app/program/Module1.h"
#include "app/program/clsProgram.h"
#include "app/program/frmMain.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"
#include "platform/ui/ui.h"

using modDataIO::gProject;
using modDataIO::gSettings;
using Module1::gProjectChanged;

namespace {

constexpr long kInvalidPropertyIndex = 381;

// The captions of the selection boxes, for the message that refuses an action on a project
// whose list has no entry selected.
const char* const kListNames[] = {
    "region", "location", "city", "building type", "economizer", "plant control", "evaporator flow control"};

float Single(double v) { return static_cast<float>(v); }

}  // namespace

std::string frmMain::MainCaption(const std::string& projectName) {
  return clsProgram::ProductName() + " v" + clsProgram::VersionText() + " (" + projectName + ")";
}

// ---- load and close ----------------------------------------------------------------------

void frmMain::Form_Load() {
  view_->ProgramLabels(clsProgram::ProgramTitle(), "Version " + clsProgram::VersionText());
  gProjectChanged = false;
  m_bFormReady = false;
  modpublic::InitGlobalSettings(ProgramFolder());
  LoadBuildingTypes();
  LoadPlantControlList();
  LoadEvapFlowControlList();
  LoadEconomizerList();
  SetupOtherControlsInForm();
  view_->StatusText("");
  m_bFormReady = true;
}

bool frmMain::Form_QueryUnload() {
  bool changed = true;
  ProjectDataChanged(changed);
  if (!changed) return true;
  const int answer = ui::host().messageBox("There is unsaved data in the project (" + gProject.ProjectName + ")." +
                                               " Do you really want to exit without saving the project?",
                                           ui::kYesNo | ui::kExclamation, "");
  return answer == ui::kYes;
}

void frmMain::Form_Unload() {
  modpublic::RunGuarded("frmMain.Form_Unload()", "", ui::kCritical, [&] {
    if (view_->NormalState()) {
      int left = 0, top = 0, width = 0, height = 0;
      view_->WindowRect(left, top, width, height);
      gSettings.MainLeft = left * kTwipsPerPixel;
      gSettings.MainTop = top * kTwipsPerPixel;
      gSettings.MainWidth = width * kTwipsPerPixel;
      gSettings.MainHeight = height * kTwipsPerPixel;
    }
    modDataIO::SaveSettings(Module1::gSettingsFile, gSettings);
    view_->CloseOtherWindows();
  });
}

// ---- project and controls ------------------------------------------------------------------

void frmMain::SetupOtherControlsInForm() {
  std::string step;
  modpublic::RunGuarded("frmMain.SetupOtherControlsInForm()", step, ui::kCritical, [&] {
    modpublic::gUnits.CurrentUnitOfMeasure(gSettings.UnitType == 0 ? nENGLISH : nMETRIC);
    step = "Load Units";
    view_->LoadUnits();
    step = "Load Regions";
    LoadRegions();
    LoadLocations();
    LoadCities();
    step = "ProjectDataToControls";
    ProjectDataToControls();
  });
}

void frmMain::ProjectDataToControls() {
  modpublic::RunGuarded("frmMain.ProjectDataToControls()", "", ui::kCritical, [&] {
    view_->Caption(MainCaption(gProject.ProjectName));
    const ProjectData& p = gProject;
    view_->Value(uncBldgPeakLoad, p.BuildingPeakLoad);
    view_->Value(uncPlantCapacity, p.PlantCapacity);
    view_->Min(uncPlantCapacity, p.BuildingPeakLoad);
    view_->Value(uncDesignLCHWT, p.DesignLCHWT);
    view_->Value(uncDesignECWT, p.DesignECWT);
    view_->Value(uncFlowRate, p.CondFlowRate);
    view_->Value(uncEvapFlowRate, p.EvapFlowRate);
    view_->Value(uncMinECWT, p.MinECWT);
    view_->Max(uncMinECWT, p.DesignECWT);
    view_->Value(uncDesignWB, p.DesignWB);
    view_->Value(uncDesignApproach, p.DesignApproach);
    view_->ChillerNumText(vb::CStr(p.ChillerNumber));
    modpublic::SelectItemByItemData(&view_->Combo(cboEconomizer), p.Economizer);
    modpublic::SelectItemByItemData(&view_->Combo(cboRegion), p.RegionID);
    modpublic::SelectItemByItemData(&view_->Combo(cboLocation), p.LocationID);
    modpublic::SelectItemByItemData(&view_->Combo(cboCity), p.CityID);
    modpublic::SelectItemByItemData(&view_->Combo(cboBuildingType), p.BuildingID);
    modpublic::SelectItemByItemData(&view_->Combo(cboPlantControl), p.PlantControl);
    modpublic::SelectItemByItemData(&view_->Combo(cboEvapFlowControl), p.EvapFlowControl);
  });
  ReportMissingValues();
}

std::string frmMain::MissingValuesMessage(const std::vector<MissingValue>& missing) {
  if (missing.empty()) return {};
  std::string text = "This project names values the program does not hold:\n";
  for (const MissingValue& m : missing) {
    text += "    " + std::string(kListNames[m.list]);
    if (!vb::Trim(m.name).empty()) text += " \"" + vb::Trim(m.name) + "\"";
    text += " (code " + vb::CStr(m.code) + ")\n";
  }
  text += "Choose ";
  text += missing.size() == 1 ? "one in its box" : "one in each of these boxes";
  text += ". Until then the project can not be saved and no report can be run.";
  return text;
}

// A list that holds entries but none of the project's value shows no selection; the user is
// told which values are missing, and Save and Reports refuse (ListsSelected) until chosen.
void frmMain::ReportMissingValues() {
  const ProjectData& p = gProject;
  const MissingValue values[kListCount] = {{cboRegion, p.RegionName, p.RegionID},
                                           {cboLocation, p.LocationName, p.LocationID},
                                           {cboCity, p.CityName, p.CityID},
                                           {cboBuildingType, p.BuildingType, p.BuildingID},
                                           {cboEconomizer, {}, p.Economizer},
                                           {cboPlantControl, p.PlantControlName, p.PlantControl},
                                           {cboEvapFlowControl, p.EvapFlowControlName, p.EvapFlowControl}};
  std::vector<MissingValue> missing;
  for (const MissingValue& v : values) {
    ComboBox& box = view_->Combo(v.list);
    if (box.ListCount() > 0 && box.ListIndex() < 0) missing.push_back(v);
  }
  if (!missing.empty()) ui::host().messageBox(MissingValuesMessage(missing), ui::kExclamation, "");
}

bool frmMain::ControlsToProjectData() {
  return modpublic::RunGuarded("frmMain.ControlsToProjectData()", "", ui::kCritical, [&] {
    ProjectData& p = gProject;
    p.BuildingPeakLoad = vb::CSng(view_->Value(uncBldgPeakLoad));
    p.PlantCapacity = vb::CSng(view_->Value(uncPlantCapacity));
    p.DesignLCHWT = vb::CSng(view_->Value(uncDesignLCHWT));
    p.DesignECWT = vb::CSng(view_->Value(uncDesignECWT));
    p.CondFlowRate = vb::CSng(view_->Value(uncFlowRate));
    p.EvapFlowRate = vb::CSng(view_->Value(uncEvapFlowRate));
    p.MinECWT = vb::CSng(view_->Value(uncMinECWT));
    p.DesignWB = vb::CSng(view_->Value(uncDesignWB));
    p.DesignApproach = vb::CSng(view_->Value(uncDesignApproach));
    p.ChillerNumber = vb::CInt(vb::CDbl(view_->ChillerNumText()));
    for (List list :
         {cboEconomizer, cboEvapFlowControl, cboPlantControl, cboBuildingType, cboRegion, cboLocation, cboCity}) {
      if (view_->Combo(list).ListIndex() < 0) vb::Raise(kInvalidPropertyIndex);
      StoreSelection(list);
    }
  });
}

// Copies the selected entry of one box into its project fields (nothing when none is selected).
void frmMain::StoreSelection(List list) {
  ComboBox& box = view_->Combo(list);
  const int index = box.ListIndex();
  if (index < 0) return;
  const std::string name = vb::Trim(box.Text(index));
  const auto code = static_cast<std::int16_t>(box.ItemData(index));
  ProjectData& p = gProject;
  switch (list) {
    case cboRegion:
      p.RegionName = name;
      p.RegionID = code;
      break;
    case cboLocation:
      p.LocationName = name;
      p.LocationID = code;
      break;
    case cboCity:
      p.CityName = name;
      p.CityID = code;
      break;
    case cboBuildingType:
      p.BuildingType = name;
      p.BuildingID = code;
      break;
    case cboEconomizer:
      p.Economizer = code;
      break;
    case cboPlantControl:
      p.PlantControlName = name;
      p.PlantControl = code;
      break;
    case cboEvapFlowControl:
      p.EvapFlowControlName = name;
      p.EvapFlowControl = code;
      break;
    case kListCount:
      break;
  }
}

void frmMain::ProjectDataChanged(bool& result) {
  result = true;
  if (gProjectChanged) return;
  modpublic::RunGuarded("frmMain.ProjectDataChanged()", "", ui::kCritical, [&] {
    const ProjectData& p = gProject;
    const float stored[kBoxCount] = {p.BuildingPeakLoad, p.PlantCapacity, p.DesignLCHWT,
                                     p.DesignECWT,       p.CondFlowRate,  p.EvapFlowRate,
                                     p.MinECWT,          p.DesignWB,      p.DesignApproach};
    for (int b = 0; b < kBoxCount; ++b) {
      if (vb::CSng(view_->Value(static_cast<Box>(b))) != stored[b]) return;
    }
    if (vb::CInt(vb::CDbl(view_->ChillerNumText())) != p.ChillerNumber) return;
    result = false;
  });
}

void frmMain::ValidateFormControls(bool& result) {
  txtChillerNum_LostFocus();  // a count box still empty counts as left
  result = view_->ValidateUnitControls();
  if (!result) {
    ui::host().messageBox(kInvalidInput, ui::kOkOnly, "");
    return;
  }
  result = ListsSelected();
}

// A list without a selection (its database query found nothing) would store nothing valid
// into the project: the action is refused with the list's name.
bool frmMain::ListsSelected() {
  for (int l = 0; l < kListCount; ++l) {
    if (view_->Combo(static_cast<List>(l)).ListIndex() < 0) {
      ui::host().messageBox(std::string("No ") + kListNames[l] + " is selected, the action can not be completed.",
                            ui::kOkOnly, "");
      return false;
    }
  }
  return true;
}

// ---- selection boxes -------------------------------------------------------------------------

// What every selection box does on the user's choice: its entry into the project, which now
// differs from the file. False while the window fills its controls (nothing done then).
bool frmMain::SelectionClick(List list) {
  if (!m_bFormReady) return false;
  StoreSelection(list);
  gProjectChanged = true;
  return true;
}

// After the user chose a parent entry, a child list that does not hold the project's entry
// shows its first one, which the cascade then stores: the user sees the new choice at once.
void frmMain::SelectFirstWhenNone(List list) {
  ComboBox& box = view_->Combo(list);
  if (box.ListCount() > 0 && box.ListIndex() < 0) box.ListIndex(0);
}

void frmMain::cboRegion_Click() {
  if (!SelectionClick(cboRegion)) return;
  LoadLocations();
  SelectFirstWhenNone(cboLocation);
  // The old location may not belong to the new region: the location now selected (the first
  // one then) is stored and its cities loaded, so that the project never keeps a location and
  // city of another region.
  cboLocation_Click();
}

void frmMain::cboLocation_Click() {
  if (!SelectionClick(cboLocation)) return;
  LoadCities();
  SelectFirstWhenNone(cboCity);
  cboCity_Click();
}

void frmMain::cboCity_Click() { SelectionClick(cboCity); }

void frmMain::cboBuildingType_Click() { SelectionClick(cboBuildingType); }

void frmMain::cboEconomizer_Click() { SelectionClick(cboEconomizer); }

void frmMain::cboPlantControl_Click() { SelectionClick(cboPlantControl); }

void frmMain::cboEvapFlowControl_Click() { SelectionClick(cboEvapFlowControl); }

// ---- coupling ----------------------------------------------------------------------------------

std::string frmMain::CorrectedChillerNumText(const std::string& text, int min, int max) {
  if (!vb::IsNumeric(text)) return "1";
  // Compared as a number first, so that a count beyond the 16-bit range is clamped instead of
  // overflowing.
  const double n = vb::CDbl(vb::Trim(text));
  if (!(std::nearbyint(n) >= min)) return vb::CStr(min);
  if (std::nearbyint(n) > max) return vb::CStr(max);
  return text;
}

void frmMain::txtChillerNum_Change() {
  const std::string text = view_->ChillerNumText();
  // An empty box is left alone while the user types (Backspace then a digit); it is checked
  // when the box is left.
  if (vb::Trim(text).empty()) return;
  const std::string corrected = CorrectedChillerNumText(text, kChillerNumMin, kChillerNumMax);
  if (corrected != text) view_->ChillerNumText(corrected);
}

void frmMain::txtChillerNum_LostFocus() {
  const std::string text = view_->ChillerNumText();
  const std::string corrected = CorrectedChillerNumText(text, kChillerNumMin, kChillerNumMax);
  if (corrected != text) view_->ChillerNumText(corrected);
}

void frmMain::uncBldgPeakLoad_Change() { view_->Min(uncPlantCapacity, Single(view_->Value(uncBldgPeakLoad))); }

void frmMain::uncDesignECWT_Change() { view_->Max(uncMinECWT, Single(view_->Value(uncDesignECWT))); }

// ---- dialog commands -----------------------------------------------------------------------------

void frmMain::cmdCustomer_Click() { view_->ShowCustomerInfo(); }

void frmMain::mnuEditmnuUser_Click() { view_->ShowUserInfo(); }

void frmMain::mnuEditmnuPreferences_Click() {
  modpublic::RunGuarded("frmMain.mnuEditmnuPreferences_Click()", "Error in setup preferences", ui::kCritical, [&] {
    if (!view_->ShowPreferences()) return;
    modpublic::gUnits.CurrentUnitOfMeasure(gSettings.UnitType == 0 ? nENGLISH : nMETRIC);
    view_->RefreshUnits();
    view_->Repaint();
  });
}

void frmMain::cmdHelp_Click() { modpublic::ShowHelpTopic(0, 10000); }
