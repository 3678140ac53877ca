// The keyboard walk through the main window and its dialogs: Tab visits every box and button
// once, in reading order, and comes back to the first; Shift+Tab walks the same way back.
// Driven with real Tab key presses on the shown windows (offscreen).
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <string>
#include <vector>

#include "app/program/frmDialogs.h"
#include "app/program/tests/main_fixture.h"
#include "app/storage/modDataIO.h"
#include "controls/unitentry/csQuillet.h"

namespace {

using modDataIO::gSettings;

// The program name of the control that has the focus: an entry box's text box and the spin
// buttons of the chiller count answer with the name of the control they belong to.
std::string FocusName() {
  QWidget* w = QApplication::focusWidget();
  if (w == nullptr) return "(none)";
  for (QWidget* p = w; p != nullptr; p = p->parentWidget()) {
    if (qobject_cast<csQuillet*>(p) != nullptr || p->objectName() == QLatin1String("udChillerNum"))
      return p->objectName().toStdString();
  }
  return w->objectName().isEmpty() ? std::string("(unnamed ") + w->metaObject()->className() + ")"
                                   : w->objectName().toStdString();
}

// Shows the window with the focus on `first`, then presses Tab (or Shift+Tab) `presses` times
// and records where the focus stands: the first entry and one after each press.
std::vector<std::string> TabWalk(QWidget& window, QWidget* first, std::size_t presses, bool back = false) {
  window.show();
  window.activateWindow();
  QApplication::processEvents();
  first->setFocus(Qt::OtherFocusReason);
  QApplication::processEvents();
  std::vector<std::string> walk{FocusName()};
  for (std::size_t i = 0; i < presses; ++i) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) break;
    QKeyEvent press(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, back ? Qt::Key_Backtab : Qt::Key_Tab,
                      back ? Qt::ShiftModifier : Qt::NoModifier);
    QApplication::sendEvent(target, &release);
    QApplication::processEvents();
    walk.push_back(FocusName());
  }
  return walk;
}

// The full round: the stops once each and the first again.
std::vector<std::string> Round(std::vector<std::string> stops) {
  stops.push_back(stops.front());
  return stops;
}

std::vector<std::string> Reversed(std::vector<std::string> v) { return {v.rbegin(), v.rend()}; }

class TabOrder : public MainTest {};

// Left column (Location, Building, Cooling Tower), then the Chiller Plant column, then the
// buttons; the chiller count with its spin buttons is one stop.
const std::vector<std::string> kMainStops = {
    "cboRegion",       "cboLocation",      "cboCity",           "cboBuildingType", "cboEconomizer",
    "uncBldgPeakLoad", "uncDesignWB",      "uncDesignApproach", "cboPlantControl", "cboEvapFlowControl",
    "txtChillerNum",   "uncPlantCapacity", "uncDesignLCHWT",    "uncDesignECWT",   "uncMinECWT",
    "uncFlowRate",     "uncEvapFlowRate",  "cmdCustomer",       "cmdReport",       "cmdHelp",
    "cmdExit"};

TEST_F(TabOrder, MainWindowTabVisitsEveryControlOnceInReadingOrderAndComesBack) {
  TestWindow& w = OpenWindow();
  const auto expected = Round(kMainStops);
  EXPECT_EQ(TabWalk(w, w.comboBox(frmMain::cboRegion), kMainStops.size()), expected);
  EXPECT_EQ(TabWalk(w, w.comboBox(frmMain::cboRegion), kMainStops.size(), true), Reversed(expected));
  RenderToPng(w, "main_window_tab_order");
  w.hide();
}

// Each dialog as it opens: its fields top to bottom, then its buttons left to right.
TEST_F(TabOrder, DialogsTabVisitsEveryControlOnceInReadingOrderAndComesBack) {
  {
    frmUserInfo d;
    const std::vector<std::string> stops = {"txtUserName", "txtOfficeName", "txtEmail",
                                            "txtPhone",    "cmdOK",         "cmdCancel"};
    EXPECT_EQ(TabWalk(d, d.txtUserName, stops.size()), Round(stops));
    EXPECT_EQ(TabWalk(d, d.txtUserName, stops.size(), true), Reversed(Round(stops)));
    d.hide();
  }
  {
    frmCustomerInfo d;
    const std::vector<std::string> stops = {"txtProjectName", "txtCustomerName", "txtContactName", "txtAddress",
                                            "txtEmail",       "txtPhone",        "cmdOK",          "cmdCancel"};
    EXPECT_EQ(TabWalk(d, d.txtProjectName, stops.size()), Round(stops));
    d.hide();
  }
  {
    gSettings.UnitType = 0;
    frmPreferences d;
    // The two options are one stop: the arrow keys choose between them.
    const std::vector<std::string> stops = {"optEnglish", "cmdOK", "cmdCancel"};
    EXPECT_EQ(TabWalk(d, d.optEnglish, stops.size()), Round(stops));
    d.hide();
  }
  {
    gSettings.CoverPage = true;
    gSettings.ExportCSV = true;
    frmReportOptions d;
    const std::vector<std::string> stops = {"chkCoverPage",
                                            "chkLogo",
                                            "chkSummary",
                                            "chkCustomPlvFactors",
                                            "chkLoadProfileGraph",
                                            "chkExportCSV",
                                            "txtCSVFile",
                                            "cmdBrowse",
                                            "cmdHelp",
                                            "cmdOK",
                                            "cmdCancel"};
    EXPECT_EQ(TabWalk(d, d.chkCoverPage, stops.size()), Round(stops));
    EXPECT_EQ(TabWalk(d, d.chkCoverPage, stops.size(), true), Reversed(Round(stops)));
    d.hide();
  }
}

}  // namespace
