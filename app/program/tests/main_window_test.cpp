// The main window on the shipped site database: the project in the controls in both unit
// systems, the region/location/city cascade, the coupling of inputs, change tracking,
// validation, closing and the window rectangle.
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "app/program/Module1.h"
#include "app/storage/modDataIO.h"
#include "app/program/tests/main_fixture.h"
#include "controls/unitentry/csQuillet.h"
#include "platform/help/help.h"

namespace {

using F = frmMain;
using modDataIO::gProject;
using modDataIO::gSettings;
using Module1::gProjectChanged;

std::string Selected(TestWindow& w, F::List list) { return w.comboBox(list)->currentText().toStdString(); }

// Chooses the entry as the user does (the handler runs as for a click).
void Choose(TestWindow& w, F::List list, const std::string& text) {
  QComboBox* box = w.comboBox(list);
  const int index = box->findText(QString::fromStdString(text));
  ASSERT_GE(index, 0) << text;
  box->setCurrentIndex(index);
  emit box->activated(index);
}

class MainWindow : public MainTest {};

TEST_F(MainWindow, LoadsTheDefaultProjectInInchPound) {
  TestWindow& w = OpenWindow();
  EXPECT_EQ(w.windowTitle().toStdString(), F::MainCaption("untitled"));
  EXPECT_EQ(w.findChild<QLabel*>("lblProgramName")->text(), "Tolvane Kestrin");
  EXPECT_EQ(Selected(w, F::cboRegion), "U.S.A.");
  EXPECT_EQ(Selected(w, F::cboLocation), "Illinois");
  EXPECT_EQ(Selected(w, F::cboCity), "Chicago IAP");
  EXPECT_EQ(Selected(w, F::cboBuildingType), "Large Office");
  EXPECT_EQ(Selected(w, F::cboPlantControl), "Sequenced");
  EXPECT_EQ(Selected(w, F::cboEconomizer), "No Economizer");
  EXPECT_EQ(Selected(w, F::cboEvapFlowControl), "Constant Primary Flow");
  EXPECT_EQ(Shown(F::uncBldgPeakLoad), "1200.0");
  EXPECT_EQ(w.unitBox(F::uncBldgPeakLoad)->Label()->text(), "Tons");
  EXPECT_EQ(Shown(F::uncFlowRate), "3.00");
  EXPECT_EQ(Shown(F::uncDesignApproach), "7.0");
  EXPECT_EQ(w.chillerNumBox()->text(), "2");
  EXPECT_TRUE(w.form().FormReady());
  EXPECT_FALSE(gProjectChanged);
  bool changed = true;
  w.form().ProjectDataChanged(changed);
  EXPECT_FALSE(changed);
  EXPECT_TRUE(w.findChild<QPushButton*>("cmdReport")->isEnabled());
  EXPECT_TRUE(host_.messages.empty()) << host_.messages.front().text;
  RenderToPng(w, "main_window_ip");
}

TEST_F(MainWindow, ShowsSiUnitsFromTheSettingsAndSwitchesBackWithoutTouchingValues) {
  gSettings.UnitType = 1;
  TestWindow& w = OpenWindow();
  EXPECT_EQ(Shown(F::uncBldgPeakLoad), "4220.2");  // 1200 tons
  EXPECT_EQ(w.unitBox(F::uncBldgPeakLoad)->Label()->text(), "kW");
  EXPECT_EQ(Shown(F::uncDesignLCHWT), "6.7");  // 44 F
  EXPECT_EQ(Shown(F::uncFlowRate), "0.054");   // 3 gpm/ton
  RenderToPng(w, "main_window_si");

  gSettings.UnitType = 0;
  w.preferencesOK = true;
  w.form().mnuEditmnuPreferences_Click();
  EXPECT_EQ(w.preferencesShown, 1);
  EXPECT_EQ(Shown(F::uncBldgPeakLoad), "1200.0");
  EXPECT_EQ(Shown(F::uncDesignLCHWT), "44.0");
  EXPECT_FLOAT_EQ(static_cast<float>(w.unitBox(F::uncEvapFlowRate)->Value()), 2.4F);
  bool changed = true;
  w.form().ProjectDataChanged(changed);
  EXPECT_FALSE(changed);
}

TEST_F(MainWindow, PreferencesCancelledChangeNothing) {
  TestWindow& w = OpenWindow();
  gSettings.UnitType = 1;  // what a dialog would have stored had it been confirmed
  w.preferencesOK = false;
  w.form().mnuEditmnuPreferences_Click();
  EXPECT_EQ(Shown(F::uncBldgPeakLoad), "1200.0");
}

// The cascade on the shipped database: a new region whose list does not hold the old location
// takes its first location and that location's first city, into the controls and the project.
TEST_F(MainWindow, RegionChangeCascadesToTheFirstLocationAndCity) {
  TestWindow& w = OpenWindow();
  Choose(w, F::cboRegion, "Canada");
  QComboBox* locations = w.comboBox(F::cboLocation);
  ASSERT_GT(locations->count(), 0);
  EXPECT_EQ(locations->currentIndex(), 0);
  EXPECT_EQ(gProject.RegionName, "Canada");
  EXPECT_EQ(gProject.LocationName, locations->itemText(0).toStdString());
  EXPECT_EQ(gProject.LocationID, locations->itemData(0).toInt());
  QComboBox* cities = w.comboBox(F::cboCity);
  ASSERT_GT(cities->count(), 0);
  EXPECT_EQ(cities->currentIndex(), 0);
  EXPECT_EQ(gProject.CityName, cities->itemText(0).toStdString());
  EXPECT_EQ(gProject.CityID, cities->itemData(0).toInt());
  EXPECT_TRUE(gProjectChanged);
  EXPECT_TRUE(host_.messages.empty());

  // Back to the U.S.A. and on to a location of several cities: the lists follow each choice.
  Choose(w, F::cboRegion, "U.S.A.");
  Choose(w, F::cboLocation, "Texas");
  EXPECT_EQ(gProject.LocationName, "Texas");
  EXPECT_EQ(gProject.RegionID, 1);
  for (int i = 1; i < cities->count(); ++i) {
    EXPECT_LT(cities->itemText(i - 1).toLower(), cities->itemText(i).toLower());
  }
  EXPECT_EQ(gProject.CityName, cities->itemText(0).toStdString());
  Choose(w, F::cboCity, cities->itemText(cities->count() - 1).toStdString());
  EXPECT_EQ(gProject.CityName, cities->itemText(cities->count() - 1).toStdString());
}

TEST_F(MainWindow, FillingTheListsChangesNothingInTheProject) {
  gProject.CityName = "kept";  // the handlers would overwrite it with the list's text
  TestWindow& w = OpenWindow();
  w.form().SetupOtherControlsInForm();
  EXPECT_EQ(gProject.CityName, "kept");
  EXPECT_FALSE(gProjectChanged);
}

TEST_F(MainWindow, FixedListChoicesReachTheProject) {
  TestWindow& w = OpenWindow();
  Choose(w, F::cboPlantControl, "Equal Unloading");
  Choose(w, F::cboEconomizer, "Waterside Economizer");
  Choose(w, F::cboEvapFlowControl, "Variable Primary Flow");
  EXPECT_EQ(gProject.PlantControl, 4);
  EXPECT_EQ(gProject.PlantControlName, "Equal Unloading");
  EXPECT_EQ(gProject.Economizer, 2);
  EXPECT_EQ(gProject.EvapFlowControl, 2);
  EXPECT_EQ(gProject.EvapFlowControlName, "Variable Primary Flow");
}

TEST_F(MainWindow, HelpOpensTheMainWindowsTopic) {
  struct Recorder : help::Opener {
    std::vector<std::string> urls;
    bool open(const std::string& url) override {
      urls.push_back(url);
      return true;
    }
  } recorder;
  help::setOpener(&recorder);
  TestWindow& w = OpenWindow();
  w.findChild<QPushButton*>("cmdHelp")->click();
  help::setOpener(nullptr);
  ASSERT_EQ(recorder.urls.size(), 1u);
  EXPECT_TRUE(recorder.urls[0].ends_with("/VEXON.html#ctx10000")) << recorder.urls[0];
}

TEST(ChillerNumber, CorrectedText) {
  const struct {
    const char* typed;
    const char* shown;
  } cases[] = {{"abc", "1"},    {"", "1"},     {"12", "10"}, {"0", "1"},    {"-3", "1"},
               {"40000", "10"}, {"1e9", "10"}, {"7", "7"},   {" 4 ", " 4 "}};
  for (const auto& c : cases) {
    EXPECT_EQ(frmMain::CorrectedChillerNumText(c.typed, 1, 10), c.shown) << '"' << c.typed << '"';
  }
}

TEST_F(MainWindow, ChillerNumberBoxCorrectsTypedTextAndSpinsWithinItsRange) {
  TestWindow& w = OpenWindow();
  QLineEdit* box = w.chillerNumBox();
  box->setText("abc");
  EXPECT_EQ(box->text(), "1");
  box->setText("40000");
  EXPECT_EQ(box->text(), "10");
  const auto buttons = w.findChild<QWidget*>("udChillerNum")->findChildren<QToolButton*>();
  ASSERT_EQ(buttons.size(), 2);
  buttons[0]->click();  // up, at the maximum
  EXPECT_EQ(box->text(), "10");
  buttons[1]->click();
  EXPECT_EQ(box->text(), "9");
  w.form().ControlsToProjectData();
  EXPECT_EQ(gProject.ChillerNumber, 9);
}

// Typing a new count over the old one with Backspace: the box may be empty while typing and
// is checked once left (or before Save and Reports read it).
TEST_F(MainWindow, ChillerNumberMayBeEmptyWhileTypingAndIsCheckedOnLeaving) {
  TestWindow& w = OpenWindow();
  QLineEdit* box = w.chillerNumBox();
  box->setFocus();
  box->end(false);
  QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
  QCoreApplication::sendEvent(box, &backspace);
  EXPECT_EQ(box->text(), "");
  QKeyEvent three(QEvent::KeyPress, Qt::Key_3, Qt::NoModifier, QStringLiteral("3"));
  QCoreApplication::sendEvent(box, &three);
  EXPECT_EQ(box->text(), "3");
  // Left empty: corrected when the editing ends.
  box->clear();
  emit box->editingFinished();
  EXPECT_EQ(box->text(), "1");
  // Still empty when Reports or Save validate: corrected first, never read as empty.
  box->clear();
  bool valid = false;
  w.form().ValidateFormControls(valid);
  EXPECT_TRUE(valid);
  EXPECT_EQ(box->text(), "1");
  EXPECT_TRUE(host_.messages.empty());
}

// Tab walks the Chiller Plant boxes top to bottom.
TEST_F(MainWindow, TabOrderFollowsTheChillerPlantBoxesTopToBottom) {
  TestWindow& w = OpenWindow();
  auto next = [&w](QWidget* from) {
    QWidget* n = from->nextInFocusChain();
    while (n != from && (!(n->focusPolicy() & Qt::TabFocus) || !n->isVisibleTo(&w) || !n->isEnabled()))
      n = n->nextInFocusChain();
    return n;
  };
  const std::vector<QWidget*> expected = {w.comboBox(F::cboPlantControl),
                                          w.comboBox(F::cboEvapFlowControl),
                                          w.chillerNumBox(),
                                          w.unitBox(F::uncPlantCapacity)->TextBox(),
                                          w.unitBox(F::uncDesignLCHWT)->TextBox(),
                                          w.unitBox(F::uncDesignECWT)->TextBox(),
                                          w.unitBox(F::uncMinECWT)->TextBox(),
                                          w.unitBox(F::uncFlowRate)->TextBox(),
                                          w.unitBox(F::uncEvapFlowRate)->TextBox()};
  for (std::size_t i = 1; i < expected.size(); ++i)
    EXPECT_EQ(next(expected[i - 1]), expected[i])
        << "after box " << i - 1 << ": " << next(expected[i - 1])->objectName().toStdString();
}

TEST_F(MainWindow, PeakLoadAbovePlantCapacityIsRefused) {
  TestWindow& w = OpenWindow();
  Type(F::uncBldgPeakLoad, "1500");
  EXPECT_DOUBLE_EQ(w.unitBox(F::uncPlantCapacity)->Min(), 1500);
  bool valid = true;
  w.form().ValidateFormControls(valid);
  EXPECT_FALSE(valid);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, frmMain::kInvalidInput);
  // Save and Save As stop there too: no dialog, no file.
  w.form().mnuFileSaveAs_Click();
  w.form().mnuFileSave_Click();
  EXPECT_EQ(host_.messages.size(), 3u);
  EXPECT_TRUE(std::filesystem::is_empty(TempDir()));

  Type(F::uncPlantCapacity, "1500");
  host_.messages.clear();
  w.form().ValidateFormControls(valid);
  EXPECT_TRUE(valid);
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(MainWindow, MinimumEcwtFollowsTheDesignEcwt) {
  TestWindow& w = OpenWindow();
  Type(F::uncDesignECWT, "50");
  EXPECT_DOUBLE_EQ(w.unitBox(F::uncMinECWT)->Max(), 50);
  Type(F::uncMinECWT, "60");
  bool valid = true;
  w.form().ValidateFormControls(valid);
  EXPECT_FALSE(valid);
}

TEST_F(MainWindow, BlankedOrHiddenBoxesAreNotValidated) {
  TestWindow& w = OpenWindow();
  Type(F::uncDesignWB, "200");
  w.unitBox(F::uncDesignWB)->Blanked(true);
  Type(F::uncDesignApproach, "99");
  w.unitBox(F::uncDesignApproach)->hide();
  bool valid = false;
  w.form().ValidateFormControls(valid);
  EXPECT_TRUE(valid);
}

TEST_F(MainWindow, TypedAndRestoredValueCountsAsUnchanged) {
  TestWindow& w = OpenWindow();
  bool changed = false;
  Type(F::uncDesignLCHWT, "42");
  w.form().ProjectDataChanged(changed);
  EXPECT_TRUE(changed);
  Type(F::uncDesignLCHWT, "44");
  w.form().ProjectDataChanged(changed);
  EXPECT_FALSE(changed);
  w.chillerNumBox()->setText("3");
  w.form().ProjectDataChanged(changed);
  EXPECT_TRUE(changed);
}

TEST_F(MainWindow, CloseAsksOnlyWithUnsavedDataAndNoKeepsTheWindow) {
  TestWindow& w = OpenWindow();
  w.show();
  EXPECT_TRUE(w.close());  // nothing changed: no question
  EXPECT_TRUE(host_.messages.empty());

  TestWindow& w2 = OpenWindow();
  w2.show();
  Type(F::uncDesignWB, "80");
  host_.answers = {ui::kNo};
  EXPECT_FALSE(w2.close());
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text,
            "There is unsaved data in the project (untitled). Do you really want to exit without saving the "
            "project?");
  EXPECT_EQ(host_.messages[0].style, ui::kYesNo | ui::kExclamation);
  EXPECT_TRUE(w2.isVisible());
  EXPECT_EQ(Shown(F::uncDesignWB), "80");
  host_.answers = {ui::kYes};
  EXPECT_TRUE(w2.close());
  EXPECT_FALSE(std::filesystem::exists(gProject.FilePath));  // closing never saves
}

TEST_F(MainWindow, ClosingStoresTheRectangleOnlyInTheNormalStateAndSavesTheSettings) {
  gSettings.MainLeft = 11;
  gSettings.MainTop = 22;
  gSettings.MainWidth = 33;
  gSettings.MainHeight = 44;
  {
    TestWindow& w = OpenWindow();
    w.showMaximized();
    w.close();
  }
  EXPECT_EQ(gSettings.MainLeft, 11);
  EXPECT_EQ(gSettings.MainWidth, 33);
  ASSERT_TRUE(std::filesystem::exists(Module1::gSettingsFile));

  TestWindow& w = OpenWindow();
  w.setGeometry(100, 80, 900, 640);
  w.show();
  const QRect frame = w.frameGeometry();
  w.close();
  EXPECT_EQ(gSettings.MainLeft, frame.x() * 15);
  EXPECT_EQ(gSettings.MainTop, frame.y() * 15);
  EXPECT_EQ(gSettings.MainWidth, frame.width() * 15);
  EXPECT_EQ(gSettings.MainHeight, frame.height() * 15);
  SettingsData stored;
  ASSERT_TRUE(modDataIO::LoadSettings(Module1::gSettingsFile, stored));
  EXPECT_EQ(stored.MainWidth, frame.width() * 15);
}

}  // namespace
