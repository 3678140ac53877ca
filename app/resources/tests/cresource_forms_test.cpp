// Translating forms: captions and the composite controls, combo-box lists, fonts, the unit
// entry texts, and a whole German installation.
#include <gtest/gtest.h>

#include <ostream>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <filesystem>
#include <memory>

#include "app/resources/CResource.h"
#include "app/resources/TextCatalog.h"
#include "app/resources/tests/fixture.h"
#include "app/storage/modpublic.h"

namespace {

using fixture::ProgramFolder;
using fixture::Row;

const char kUml[] = "\xC3\xA4";  // ä

// The main window of the tests: a menu, a tool bar, a status bar, tabs, a combo box, a
// list view, labels, an option array and a unit entry control.
struct MainForm {
  QMainWindow window;
  QMenu* mnuFile = nullptr;
  QAction* mnuFileOpen = nullptr;
  QAction* mnuFileSep = nullptr;
  QToolBar* tbrMain = nullptr;
  QAction* buttonOpen = nullptr;
  QAction* buttonSave = nullptr;
  QStatusBar* sbMain = nullptr;
  QLabel* panelState = nullptr;
  QTabWidget* tabMain = nullptr;
  QComboBox* cboFluid = nullptr;
  QTableWidget* lvResults = nullptr;
  QLabel* lblTitle = nullptr;
  QLabel* lblMissing = nullptr;
  QLabel* lblDisabled = nullptr;
  QLineEdit* txtValue = nullptr;
  QRadioButton* optUnit0 = nullptr;
  QRadioButton* optUnit1 = nullptr;
  QGroupBox* fraUnits = nullptr;
  csQuillet* qtyLoad = nullptr;

  MainForm() {
    window.setObjectName("frmMain");
    window.setWindowTitle("Chiller Plant");
    mnuFile = window.menuBar()->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    mnuFileOpen = mnuFile->addAction("&Open...");
    mnuFileOpen->setObjectName("mnuFileOpen");
    mnuFileSep = mnuFile->addAction("-");
    mnuFileSep->setObjectName("mnuFileSep");
    tbrMain = window.addToolBar("Main");
    tbrMain->setObjectName("tbrMain");
    buttonOpen = tbrMain->addAction("Open");
    buttonOpen->setToolTip("Open a project");
    tbrMain->addSeparator();
    buttonSave = tbrMain->addAction("Save");
    buttonSave->setToolTip("Save the project");
    sbMain = window.statusBar();
    sbMain->setObjectName("sbMain");
    panelState = new QLabel("Ready");
    panelState->setObjectName("lblState");
    sbMain->addWidget(panelState);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    lblTitle = Label(layout, "lblTitle", "Plant");
    lblTitle->setToolTip("The plant being rated");
    lblTitle->setProperty("tag", "title");
    lblMissing = Label(layout, "lblMissing", "Untranslated");
    lblDisabled = Label(layout, "lblDisabled", "Design text");
    txtValue = new QLineEdit("42");
    txtValue->setObjectName("txtValue");
    layout->addWidget(txtValue);
    fraUnits = new QGroupBox("Units");
    fraUnits->setObjectName("fraUnits");
    auto* units = new QVBoxLayout(fraUnits);
    optUnit0 = new QRadioButton("IP");
    optUnit1 = new QRadioButton("SI");
    for (auto* opt : {optUnit0, optUnit1}) {
      opt->setObjectName("optUnit");
      units->addWidget(opt);
    }
    optUnit0->setProperty("index", 0);
    optUnit1->setProperty("index", 1);
    layout->addWidget(fraUnits);
    tabMain = new QTabWidget;
    tabMain->setObjectName("tabMain");
    tabMain->addTab(new QWidget, "Input");
    tabMain->addTab(new QWidget, "Results");
    tabMain->setTabToolTip(1, "The results");
    layout->addWidget(tabMain);
    cboFluid = new QComboBox;
    cboFluid->setObjectName("cboFluid");
    cboFluid->setEditable(true);
    cboFluid->addItems({"Water", "Glycol"});
    cboFluid->setCurrentIndex(-1);
    cboFluid->setEditText("Choose a fluid");
    cboFluid->setToolTip("Fluid");
    layout->addWidget(cboFluid);
    lvResults = new QTableWidget(2, 2);
    lvResults->setObjectName("lvResults");
    lvResults->setHorizontalHeaderLabels({"Name", "Value"});
    layout->addWidget(lvResults);
    qtyLoad = new csQuillet;
    qtyLoad->setObjectName("qtyLoad");
    layout->addWidget(qtyLoad);
    window.setCentralWidget(central);
  }

  static QLabel* Label(QVBoxLayout* layout, const char* name, const char* text) {
    auto* label = new QLabel(text);
    label->setObjectName(name);
    layout->addWidget(label);
    return label;
  }
};

Row R(const std::string& control, const std::string& property, const std::string& text, const std::string& index = {},
      std::optional<int> disabled = 0) {
  return {"frmMain", control, index, property, false, disabled, text, 0, {}};
}

const std::vector<Row> kMainRows = {
    R("frmMain", "CAPTION", "K\xC3\xA4ltezentrale"),
    R("mnuFile", "CAPTION", "&Datei"),
    R("mnuFileOpen", "CAPTION",
      "\xC3\x96"
      "&ffnen..."),
    R("mnuFileSep", "CAPTION", "Trenner"),
    R("tbrMain.Buttons.Button1", "Object.ToolTipText",
      "Projekt \xC3\xB6"
      "ffnen"),
    R("sbMain.Panels.Panel1", "CAPTION", "Bereit"),
    R("sbMain.Panels.Panel1", "Object.ToolTipText", "Zustand"),
    R("tabMain.Tabs.Tab2", "CAPTION", "Ergebnisse"),
    R("tabMain.Tabs.Tab2", "OBJECT.TOOLTIPTEXT", "Die Ergebnisse"),
    R("tabMain.Tabs.Tab1", "OBJECT.TOOLTIPTEXT", "never read: the tab has no tool tip"),
    R("cboFluid", "TEXT", "Sole"),
    R("cboFluid", "TOOLTIPTEXT", "Fl\xC3\xBCssigkeit"),
    R("lvResults.ColumnHeader", "TEXT", "Wert", "2"),
    R("lblTitle", "CAPTION", "Anlage"),
    R("lblTitle", "TOOLTIPTEXT", "Die bewertete Anlage"),
    R("lblTitle", "TAG", "titel"),
    R("lblDisabled", "CAPTION", "Abgeschaltet", "", 1),
    R("txtValue", "CAPTION", "a text box has no caption"),
    R("fraUnits", "CAPTION", "Einheiten"),
    R("optUnit", "CAPTION", "SI-Einheiten", "1"),
};

class FormsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { fixture::EnsureApplication(); }
  void Install(const std::vector<Row>& rows) {
    folder_.WriteConfig(fixture::Config("1031"));
    folder_.WriteDatabase(1031, rows);
    resource_ = std::make_unique<CResource>(folder_.path());
    ASSERT_TRUE(resource_->ResourceDBOpened());
  }
  void TearDown() override { modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH); }

  ProgramFolder folder_;
  std::unique_ptr<CResource> resource_;
};

TEST_F(FormsTest, LoadResStringsTranslatesEveryKindOfControl) {
  Install(kMainRows);
  MainForm f;
  resource_->LoadResStrings(&f.window);

  EXPECT_EQ(resource_->CurrentForm(), "frmMain");
  EXPECT_EQ(f.window.windowTitle().toStdString(), "K\xC3\xA4ltezentrale");
  EXPECT_EQ(f.mnuFile->title().toStdString(), "&Datei");
  EXPECT_EQ(f.mnuFileOpen->text().toStdString(),
            "\xC3\x96"
            "&ffnen...");
  EXPECT_EQ(f.mnuFileSep->text().toStdString(), "-");  // separators stay
  EXPECT_EQ(f.buttonOpen->toolTip().toStdString(),
            "Projekt \xC3\xB6"
            "ffnen");
  EXPECT_EQ(f.buttonOpen->property("tag").toString().toStdString(),
            "Projekt \xC3\xB6"
            "ffnen");
  EXPECT_EQ(f.buttonSave->toolTip().toStdString(), "Save the project");
  EXPECT_FALSE(f.buttonSave->property("tag").isValid());
  EXPECT_EQ(f.panelState->text().toStdString(), "Bereit");
  EXPECT_EQ(f.panelState->toolTip().toStdString(), "");  // empty: never looked up
  EXPECT_EQ(f.tabMain->tabText(0).toStdString(), "Input");
  EXPECT_EQ(f.tabMain->tabText(1).toStdString(), "Ergebnisse");
  EXPECT_EQ(f.tabMain->tabToolTip(0).toStdString(), "");
  EXPECT_EQ(f.tabMain->tabToolTip(1).toStdString(), "Die Ergebnisse");
  EXPECT_EQ(f.cboFluid->currentText().toStdString(), "Sole");
  EXPECT_EQ(f.cboFluid->currentIndex(), -1);
  EXPECT_EQ(f.cboFluid->toolTip().toStdString(), "Fl\xC3\xBCssigkeit");
  EXPECT_EQ(f.lvResults->horizontalHeaderItem(0)->text().toStdString(), "Name");
  EXPECT_EQ(f.lvResults->horizontalHeaderItem(1)->text().toStdString(), "Wert");
  EXPECT_EQ(f.lblTitle->text().toStdString(), "Anlage");
  EXPECT_EQ(f.lblTitle->toolTip().toStdString(), "Die bewertete Anlage");
  EXPECT_EQ(f.lblTitle->property("tag").toString().toStdString(), "titel");
  EXPECT_EQ(f.lblMissing->text().toStdString(), "Untranslated");  // no row
  EXPECT_EQ(f.lblDisabled->text().toStdString(), "Design text");  // disabled row
  EXPECT_EQ(f.txtValue->text().toStdString(), "42");
  EXPECT_EQ(f.fraUnits->title().toStdString(), "Einheiten");
  EXPECT_EQ(f.optUnit0->text().toStdString(), "IP");
  EXPECT_EQ(f.optUnit1->text().toStdString(), "SI-Einheiten");
}

TEST_F(FormsTest, ControlsOfAChildWindowBelongToThatWindow) {
  Install(kMainRows);
  MainForm f;
  QDialog* dialog = new QDialog(&f.window);
  dialog->setObjectName("frmOptions");
  auto* label = new QLabel("Plant", dialog);
  label->setObjectName("lblTitle");
  resource_->LoadResStrings(&f.window);
  EXPECT_EQ(f.lblTitle->text().toStdString(), "Anlage");
  EXPECT_EQ(label->text().toStdString(), "Plant");
}

TEST_F(FormsTest, ComboBoxKeepsItsSelectedEntry) {
  Install(kMainRows);
  MainForm f;
  f.cboFluid->setCurrentIndex(1);
  resource_->LoadResStrings(&f.window);
  EXPECT_EQ(f.cboFluid->currentIndex(), 1);
  EXPECT_EQ(f.cboFluid->currentText().toStdString(), "Glycol");
  EXPECT_EQ(f.cboFluid->toolTip().toStdString(), "Fl\xC3\xBCssigkeit");
}

TEST_F(FormsTest, WithoutDatabaseFormsKeepTheirTexts) {
  CResource resource(folder_.path());
  ASSERT_FALSE(resource.ResourceDBOpened());
  MainForm f;
  resource.LoadResStrings(&f.window);
  EXPECT_EQ(resource.CurrentForm(), "frmMain");
  EXPECT_EQ(f.window.windowTitle().toStdString(), "Chiller Plant");
  EXPECT_EQ(f.lblTitle->text().toStdString(), "Plant");
}

// ---- Combo boxes ----------------------------------------------------------------------------

// Drop-down rows of one combo box on form frmInput: entry 1 small (100 tons), entry 2
// disabled, entry 3 large (300 tons, 1000 kW as its SI row), entry 4 only a value, then the end.
std::vector<Row> ComboRows(const std::string& combo, const std::string& layout) {
  auto row = [&](const std::string& index, const std::string& property, const std::string& text, int32_t unit = 0,
                 bool metric = false, int disabled = 0) {
    return Row{"frmInput", combo, index, property, metric, disabled, text, unit, {}};
  };
  std::vector<Row> rows = {
      row("1", "DROPDOWNTEXT", "Klein"),
      row("1", "DROPDOWNVALUE", "100", TONS_TO_KW),
      row("2", "DROPDOWNTEXT", "Mittel", 0, false, 1),
      row("2", "DROPDOWNVALUE", "200", TONS_TO_KW),
      row("3", "DROPDOWNTEXT", std::string("Gro\xC3\x9F")),
      row("3", "DROPDOWNVALUE", "300", TONS_TO_KW),
      row("3", "DROPDOWNVALUE", "1000", NO_CONV, true),
      row("4", "DROPDOWNVALUE", "7"),
      row("6", "DROPDOWNTEXT", "after the end"),
  };
  if (!layout.empty()) rows.push_back(row("0", "DROPDOWNFORMAT", layout));
  return rows;
}

struct ComboCase {
  const char* name;
  const char* layout;  // "" : no format row
  UnitOfMeasure units;
  std::vector<std::string> entries;
};

// Names the case in test listings.
void PrintTo(const ComboCase& c, std::ostream* os) { *os << c.name; }

// Form frmInput with combo box cboSize, which holds a design-time entry.
struct ComboForm {
  QWidget form;
  QComboBox* combo = new QComboBox(&form);
  ComboForm() {
    form.setObjectName("frmInput");
    combo->setObjectName("cboSize");
    combo->addItem("design-time entry");
  }
};

class ComboTest : public FormsTest, public ::testing::WithParamInterface<ComboCase> {};

TEST_P(ComboTest, ListsTheEntriesInTheLayout) {
  const ComboCase& c = GetParam();
  Install(ComboRows("cboSize", c.layout));
  modpublic::gUnits.CurrentUnitOfMeasure(c.units);
  ComboForm f;
  QComboBox* combo = f.combo;
  resource_->CurrentForm("frmInput");

  EXPECT_TRUE(resource_->LoadComboBox(combo, 1, 10));

  std::vector<std::string> entries;
  std::vector<int> itemData;
  for (int i = 0; i < combo->count(); ++i) {
    entries.push_back(combo->itemText(i).toStdString());
    itemData.push_back(combo->itemData(i).toInt());
  }
  EXPECT_EQ(entries, c.entries);
  EXPECT_EQ(itemData, (std::vector<int>{1, 3, 4}));  // entry 2 left out, numbers kept
}

const std::string kLarge = "Gro\xC3\x9F";
const ComboCase kComboCases[] = {
    {"TextValue", "TEXT VALUE", nENGLISH, {"Klein 100 Tons", kLarge + " 300 Tons", " 7 "}},
    {"Text", "TEXT", nENGLISH, {"Klein", kLarge, ""}},
    {"ValueText", "VALUE TEXT", nENGLISH, {"100 Tons Klein", "300 Tons " + kLarge, "7  "}},
    {"Value", "value", nENGLISH, {"100 Tons", "300 Tons", "7 "}},
    {"OtherLayout", "LIST", nENGLISH, {"Klein", kLarge, "7"}},
    {"NoFormatRow", "", nENGLISH, {"Klein", kLarge, "7"}},
    // SI: the values converted and labelled; the SI row of entry 3 carries no unit.
    {"TextValueSI", "TEXT VALUE", nMETRIC, {"Klein 351.6853 kW", kLarge + " 1000 ", " 7 "}},
};

INSTANTIATE_TEST_SUITE_P(Layouts, ComboTest, ::testing::ValuesIn(kComboCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(FormsTest, ComboBoxWithEmptyRangeStaysEmpty) {
  Install(ComboRows("cboSize", "TEXT"));
  ComboForm f;
  resource_->CurrentForm("frmInput");
  EXPECT_TRUE(resource_->LoadComboBox(f.combo, 3, 2));
  EXPECT_EQ(f.combo->count(), 0);
}

// ---- Fonts --------------------------------------------------------------------------------

struct FontForm {
  QWidget form;
  QLabel* label = new QLabel("Bold caption", &form);
  QLineEdit* edit = new QLineEdit("text", &form);
  explicit FontForm(const char* name) {
    form.setObjectName(name);
    form.setFont(QFont("DejaVu Sans", 12));
    label->setObjectName("lblBold");
    QFont bold("DejaVu Sans", 14);
    bold.setBold(true);
    label->setFont(bold);
    edit->setObjectName("txtEdit");
  }
};

TEST_F(FormsTest, ChangeFontsSwitchesFormAndCaptionedControls) {
  Install(kMainRows);
  FontForm f("frmMain");
  resource_->ChangeFonts(&f.form);
  EXPECT_EQ(f.form.font().family().toStdString(), "Liberation Sans");
  EXPECT_DOUBLE_EQ(f.form.font().pointSizeF(), 9.5);
  EXPECT_EQ(f.label->font().family().toStdString(), "Liberation Sans");
  EXPECT_DOUBLE_EQ(f.label->font().pointSizeF(), 9.5);
  EXPECT_FALSE(f.label->font().bold());
}

TEST_F(FormsTest, ChangeFontsOnTheSplashChangesOnlyTheFamily) {
  Install(kMainRows);
  FontForm f("frmSplash");
  resource_->ChangeFonts(&f.form);
  EXPECT_EQ(f.form.font().family().toStdString(), "Liberation Sans");
  EXPECT_DOUBLE_EQ(f.form.font().pointSizeF(), 12.0);
  EXPECT_DOUBLE_EQ(f.label->font().pointSizeF(), 14.0);
  EXPECT_TRUE(f.label->font().bold());
}

TEST_F(FormsTest, ChangeFontsLeavesAFormInTheLanguageFontAlone) {
  Install(kMainRows);
  FontForm f("frmMain");
  QFont same("Liberation Sans", 12);
  f.form.setFont(same);
  resource_->ChangeFonts(&f.form);
  EXPECT_DOUBLE_EQ(f.form.font().pointSizeF(), 12.0);
  EXPECT_TRUE(f.label->font().bold());
}

// ---- Unit entry texts ---------------------------------------------------------------------------

struct UnitForm {
  QWidget form;
  csQuillet* quillet = new csQuillet(&form);
  UnitForm(const char* name, const std::vector<std::pair<const char*, const char*>>& labels) {
    form.setObjectName(name);
    quillet->setObjectName("qtyFlow");
    for (const auto& [labelName, text] : labels) {
      auto* label = new QLabel(text, &form);
      label->setObjectName(labelName);
    }
  }
};

const std::vector<std::pair<const char*, const char*>> kGermanUnitLabels = {
    {"lblMax", "Max. ="},
    {"lblMin", "Min. ="},
    {"lblNoLimits", "Keine Grenzen"},
    {"lblValTooHigh", "Wert zu hoch: Max. ="},
    {"lblValTooLow", "Wert zu niedrig: Min. ="},
    {"lblInvalidInput", "Ung\xC3\xBCltige Eingabe"},
};

std::vector<std::string> Strings(const csQuillet* q) {
  std::vector<std::string> out;
  for (const QString& s : q->TranslationStrings()) out.push_back(s.toStdString());
  return out;
}

const std::vector<std::string> kGermanUnitTexts = {"Max. = ",
                                                   "Min. = ",
                                                   "Keine Grenzen",
                                                   "Wert zu hoch: Max. = ",
                                                   "Wert zu niedrig: Min. = ",
                                                   "Ung\xC3\xBCltige Eingabe"};

TEST_F(FormsTest, UnitTextsAreHandedOnAndRemembered) {
  Install(kMainRows);
  UnitForm bare("frmBare", {});
  resource_->LoadUnitToolTipText(&bare.form);  // nothing remembered yet
  EXPECT_TRUE(Strings(bare.quillet).empty());

  UnitForm labelled("frmLabelled", kGermanUnitLabels);
  resource_->LoadUnitToolTipText(&labelled.form);
  EXPECT_EQ(Strings(labelled.quillet), kGermanUnitTexts);

  auto incompleteLabels = kGermanUnitLabels;
  incompleteLabels.back().second = "";
  incompleteLabels.front().second = "Höchstens";
  UnitForm incomplete("frmIncomplete", incompleteLabels);
  resource_->LoadUnitToolTipText(&incomplete.form);
  EXPECT_EQ(Strings(incomplete.quillet), kGermanUnitTexts);  // the remembered set

  resource_->LoadUnitToolTipText(&bare.form);
  EXPECT_EQ(Strings(bare.quillet), kGermanUnitTexts);
}

// ---- Open windows and the whole installation ------------------------------------------------------

TEST_F(FormsTest, LoadAllFormsTranslatesEveryOpenWindow) {
  Install({{"frmOne", "frmOne", "", "CAPTION", false, 0, "Eins", 0, {}},
           {"frmTwo", "frmTwo", "", "CAPTION", false, 0, "Zwei", 0, {}}});
  QWidget one;
  one.setObjectName("frmOne");
  one.setWindowTitle("One");
  QWidget two;
  two.setObjectName("frmTwo");
  two.setWindowTitle("Two");
  resource_->LoadAllForms();
  EXPECT_EQ(one.windowTitle().toStdString(), "Eins");
  EXPECT_EQ(two.windowTitle().toStdString(), "Zwei");
  EXPECT_TRUE(folder_.host.messages.empty());
}

// A German installation as a form loads it: captions, a combo box, the unit entry texts and a
// numbered report text.
TEST_F(FormsTest, GermanInstallationTranslatesAForm) {
  textcatalog::SetEnglishTexts({{6223, "Annual System Efficiency"}});
  std::vector<Row> rows = kMainRows;
  for (const auto& [label, text] : kGermanUnitLabels) rows.push_back(R(label, "CAPTION", text));
  for (Row r : ComboRows("cboTonnage", "TEXT VALUE")) {
    r.form = "frmMain";
    rows.push_back(r);
  }
  rows.push_back(
      {"Strings", "s6223", "", "TEXT", false, 0, std::string("J") + kUml + "hrlicher Systemwirkungsgrad", 0, 6223});
  Install(rows);
  modpublic::gUnits.CurrentUnitOfMeasure(nMETRIC);

  MainForm f;
  auto* unitLayout = static_cast<QVBoxLayout*>(f.window.centralWidget()->layout());
  for (const auto& [label, text] : kGermanUnitLabels) {
    MainForm::Label(unitLayout, label, "English")->hide();
  }
  auto* cboTonnage = new QComboBox;
  cboTonnage->setObjectName("cboTonnage");
  unitLayout->addWidget(cboTonnage);

  resource_->LoadResStrings(&f.window);
  resource_->ChangeFonts(&f.window);
  ASSERT_TRUE(resource_->LoadComboBox(cboTonnage, 1, 20));
  resource_->LoadUnitToolTipText(&f.window);

  EXPECT_EQ(f.window.windowTitle().toStdString(), "K\xC3\xA4ltezentrale");
  EXPECT_EQ(f.lblTitle->text().toStdString(), "Anlage");
  EXPECT_EQ(cboTonnage->itemText(0).toStdString(), "Klein 351.6853 kW");
  EXPECT_EQ(Strings(f.qtyLoad), kGermanUnitTexts);
  EXPECT_EQ(textcatalog::GetString(6223), std::string("J") + kUml + "hrlicher Systemwirkungsgrad");
  EXPECT_TRUE(folder_.host.messages.empty());

  f.window.resize(420, 560);
  const std::string shots = RESOURCES_SHOT_DIR;
  std::filesystem::create_directories(shots);
  EXPECT_TRUE(f.window.grab().save(QString::fromStdString(shots + "/frmMain_german.png")));
}

}  // namespace
