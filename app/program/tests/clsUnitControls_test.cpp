// The unit controls binder on windows of unit entry boxes: binding to the program's converter
// and switching the unit system without touching a value.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <memory>
#include <ostream>
#include <vector>

#include "app/program/clsUnitControls.h"
#include "app/storage/modpublic.h"
#include "controls/unitentry/csQuillet.h"
#include "platform/ui/ui.h"

// fontconfig keeps its configuration cache for the life of the process; that is not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

namespace {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "app_clsUnitControls_test";
  static char* argv[] = {name, nullptr};
  // Never destroyed: the application lives until the process ends.
  if (!QCoreApplication::instance()) new QApplication(argc, argv);
}

// What a box shows and holds. (Its tooltip after a refresh is the limits, also where a
// validation had put an error there.)
struct Shown {
  QString text, label;
  QColor background;
  double value;
  bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& s, std::ostream* os) {
  *os << '"' << s.text.toStdString() << "\" \"" << s.label.toStdString() << "\" " << s.background.name().toStdString()
      << ' ' << s.value;
}

Shown Look(const csQuillet& b) {
  return {b.TextBox()->text(), b.Label()->text(), b.TextBox()->palette().color(QPalette::Base), b.Value()};
}

// A window whose boxes sit at two depths: values with more digits than their pictures show,
// SI-only pictures, limits (one box over its maximum), a blanked and a locked box.
class Window : public QWidget {
 public:
  Window() {
    auto* layout = new QVBoxLayout(this);
    auto* group = new QWidget(this);
    auto* inner = new QVBoxLayout(group);
    layout->addWidget(group);
    const QVariantMap bags[] = {
        {{"Units", F_TO_C}, {"FormatString", "0.0"}, {"Min", 40.0}, {"Max", 50.0}},
        {{"Units", GPM_TO_LPS}, {"FormatString", "0"}, {"FormatStringMetric", "0.00"}},
        {{"Units", TONS_TO_KW}, {"FormatString", "###,###,###,##0"}, {"Max", 1000.0}},
        {{"Units", KWTON_TO_IKWKW}},
        {{"Units", FTWG_TO_KPA}, {"FormatString", "0.0"}, {"Blanked", true}},
        {{"Units", PCT_TO_PCT}, {"FormatString", "0"}, {"Locked", true}},
    };
    int i = 0;
    for (const QVariantMap& bag : bags) {
      auto* box = new csQuillet(bag, i < 3 ? group : this);
      (i < 3 ? inner : layout)->addWidget(box);
      boxes.push_back(box);
      ++i;
    }
  }
  std::vector<csQuillet*> boxes;
};

class UnitControls : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
    modpublic::gUnits.UseStandardLabels(true);
  }
  ui::RecordingHost host;
  ui::ScopedHost scoped{host};
  clsUnitControls binder;
};

TEST_F(UnitControls, SettingUpPutsTheSharedConverterToIpWithStandardLabels) {
  modpublic::gUnits.CurrentUnitOfMeasure(nMETRIC);
  modpublic::gUnits.UseStandardLabels(false);
  clsUnitControls another;
  EXPECT_EQ(modpublic::gUnits.CurrentUnitOfMeasure(), nENGLISH);
  EXPECT_TRUE(modpublic::gUnits.UseStandardLabels());
  EXPECT_EQ(modpublic::gUnits.UnitStr(F_TO_C), "F");
}

TEST_F(UnitControls, LoadUnitsBindsEveryBoxOfTheWindowToTheSharedConverter) {
  Window w;
  binder.LoadUnits(w);
  for (csQuillet* b : w.boxes) EXPECT_EQ(b->UnitCnv(), &modpublic::gUnits);
  EXPECT_EQ(w.boxes[0]->Label()->text(), "F");
  EXPECT_EQ(w.boxes[0]->TextBox()->text(), "0.0");
  EXPECT_EQ(w.boxes[4]->TextBox()->text(), "");  // blanked
}

// Both directions: values set in IP are rounded to their pictures, values set in SI are kept
// exactly (44.04 F shows as 44.0 in IP); no switch may turn a shown text into a stored value.
TEST_F(UnitControls, SwitchingUnitSystemsAndBackKeepsEveryValueAndEmitsNoChange) {
  const double values[] = {44.04, 1234.5678, 1499.6, 0.5763, 75.0, 87.0};
  for (UnitOfMeasure start : {nENGLISH, nMETRIC}) {
    const UnitOfMeasure other = start == nENGLISH ? nMETRIC : nENGLISH;
    modpublic::gUnits.CurrentUnitOfMeasure(start);
    Window w;
    binder.LoadUnits(w);
    for (std::size_t i = 0; i < w.boxes.size(); ++i) w.boxes[i]->Value(values[i]);
    int changes = 0;
    for (csQuillet* b : w.boxes) QObject::connect(b, &csQuillet::Change, &w, [&changes] { ++changes; });
    std::vector<Shown> before;
    for (csQuillet* b : w.boxes) before.push_back(Look(*b));

    modpublic::gUnits.CurrentUnitOfMeasure(other);
    binder.RefreshUnits();
    for (std::size_t i = 0; i < w.boxes.size(); ++i) EXPECT_EQ(w.boxes[i]->Value(), before[i].value);
    if (other == nMETRIC) {
      EXPECT_EQ(w.boxes[0]->TextBox()->text(), "6.7");
      EXPECT_EQ(w.boxes[0]->Label()->text(), "C");
      EXPECT_EQ(w.boxes[0]->TextBox()->toolTip(), "Min = 4.4, Max = 10.0");
      EXPECT_EQ(w.boxes[1]->TextBox()->text(), "77.92");  // 1235 gpm, as IP stored it
      EXPECT_EQ(w.boxes[2]->TextBox()->text(), "5,275");  // 1500 tons, over its maximum: red
      EXPECT_EQ(w.boxes[2]->TextBox()->palette().color(QPalette::Base), QColor(255, 0, 0));
    } else {
      EXPECT_EQ(w.boxes[0]->TextBox()->text(), "44.0");
      EXPECT_EQ(w.boxes[0]->Value(), 44.04);
      EXPECT_EQ(w.boxes[1]->TextBox()->text(), "1235");
      EXPECT_EQ(w.boxes[3]->TextBox()->text(), "0.5763");
    }
    EXPECT_EQ(w.boxes[4]->TextBox()->text(), "");

    modpublic::gUnits.CurrentUnitOfMeasure(start);
    binder.RefreshUnits();
    for (std::size_t i = 0; i < w.boxes.size(); ++i)
      EXPECT_EQ(Look(*w.boxes[i]), before[i]) << "box " << i << " starting in " << start;
    EXPECT_EQ(changes, 0);
  }
}

TEST_F(UnitControls, RefreshUnitsWithoutAWindowReachesEveryTopLevelWindow) {
  Window first, second;
  QWidget withoutBoxes;
  binder.LoadUnits(first);
  binder.LoadUnits(second);
  binder.LoadUnits(withoutBoxes);
  modpublic::gUnits.CurrentUnitOfMeasure(nMETRIC);
  binder.RefreshUnits(&first);
  EXPECT_EQ(first.boxes[0]->Label()->text(), "C");
  EXPECT_EQ(second.boxes[0]->Label()->text(), "F");
  binder.RefreshUnits();
  EXPECT_EQ(second.boxes[0]->Label()->text(), "C");
  EXPECT_EQ(second.boxes[3]->Label()->text(), "ikW/kW");
}

TEST_F(UnitControls, ValidateUnitCtlCountsABlankedBoxAsValid) {
  Window w;
  binder.LoadUnits(w);
  w.boxes[0]->Value(60);  // over 50
  EXPECT_FALSE(binder.ValidateUnitCtl(*w.boxes[0]));
  w.boxes[0]->Value(45);
  EXPECT_TRUE(binder.ValidateUnitCtl(*w.boxes[0]));
  EXPECT_FALSE(w.boxes[4]->Validate());
  EXPECT_TRUE(binder.ValidateUnitCtl(*w.boxes[4]));
}

}  // namespace
