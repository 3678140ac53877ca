// Numbers typed into the main window's entry boxes key by key, on desktops of both number
// conventions: a separator in a place where the locale writes none makes the entry bad (red,
// "Error"), and the window refuses to act on it; a number as the locale writes it is taken
// (a peak load below the plant capacity of the default project).
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "app/program/tests/main_fixture.h"
#include "controls/unitentry/csQuillet.h"
#include "controls/unitentry/tests/desktop_locale.h"

namespace {

using F = frmMain;

const QColor kRed(255, 0, 0);

// Types the text into the box key by key and leaves it, as a user does.
void TypeAndLeave(csQuillet& box, const QString& keys) {
  QLineEdit* edit = box.TextBox();
  edit->selectAll();
  for (const QChar c : keys) {
    QKeyEvent press(QEvent::KeyPress, c.unicode(), Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(edit, &press);
  }
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(edit, &out);
}

struct TypedCase {
  const char* name;
  const char* locale;
  F::Box box;
  const char* typed;
  const char* shown;
  bool valid;
};

void PrintTo(const TypedCase& c, std::ostream* os) { *os << c.name; }

class TypedNumbers : public MainTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedNumbers, ASeparatorOutOfPlaceIsABadEntry) {
  const TypedCase& c = GetParam();
  KESTRIN_USE_DESKTOP_LOCALE(desktop, c.locale);
  TestWindow& w = OpenWindow();
  csQuillet& box = *w.unitBox(c.box);
  TypeAndLeave(box, QString::fromUtf8(c.typed));
  EXPECT_EQ(box.TextBox()->text().toStdString(), c.shown);
  bool valid = !c.valid;
  w.form().ValidateFormControls(valid);
  EXPECT_EQ(valid, c.valid);
  if (!c.valid) {
    EXPECT_EQ(box.TextBox()->palette().color(QPalette::Base), kRed);
    RenderToPng(w, std::string("main_window_typed_") + c.name);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, TypedNumbers,
    ::testing::Values(TypedCase{"UsCommaInWetBulb", "en_US.UTF-8", F::uncDesignWB, "7,5", "Error", false},
                      TypedCase{"UsCommaInEvaporatorFlow", "en_US.UTF-8", F::uncEvapFlowRate, "2,4", "Error", false},
                      TypedCase{"UsGroupedPeakLoad", "en_US.UTF-8", F::uncBldgPeakLoad, "1,100.5", "1100.5", true},
                      TypedCase{"DePointInWetBulb", "de_DE.UTF-8", F::uncDesignWB, "7.5", "Error", false},
                      TypedCase{"DeGroupedPeakLoad", "de_DE.UTF-8", F::uncBldgPeakLoad, "1.100,5", "1100,5", true},
                      TypedCase{"DeCommaInWetBulb", "de_DE.UTF-8", F::uncDesignWB, "77,5", "77,5", true}),
    [](const ::testing::TestParamInfo<TypedCase>& row) { return std::string(row.param.name); });

}  // namespace
