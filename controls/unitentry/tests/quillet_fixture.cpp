#include "controls/unitentry/tests/quillet_fixture.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

// fontconfig keeps its configuration cache for the life of the process; that is not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

// Kept to the end of the process and never destroyed: Qt's input devices, made by the key
// events of the tests, must not outlive it at exit.
QApplication& QuilletApp() {
  static int argc = 1;
  static char name[] = "quillet_test";
  static char* argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) new QApplication(argc, argv);
  return *qApp;
}

ChangeCount::ChangeCount(csQuillet& box) {
  QObject::connect(&box, &csQuillet::Change, &box, [count = count_] { ++*count; });
}

std::unique_ptr<csQuillet> QuilletTest::Box(const QVariantMap& bag) {
  auto box = std::make_unique<csQuillet>(bag);
  box->UnitCnv(&units);
  return box;
}

QColor Background(const csQuillet& box) { return box.TextBox()->palette().color(QPalette::Base); }
QString Text(const csQuillet& box) { return box.TextBox()->text(); }
QString ToolTip(const csQuillet& box) { return box.TextBox()->toolTip(); }

void Press(csQuillet& box, int key, const QString& text, Qt::KeyboardModifiers modifiers) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QCoreApplication::sendEvent(box.TextBox(), &press);
}

void Type(csQuillet& box, const QString& keys) {
  box.TextBox()->selectAll();
  for (const QChar c : keys) {
    const int key = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.unicode();
    Press(box, key, QString(c));
  }
}

void Leave(csQuillet& box) {
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QCoreApplication::sendEvent(box.TextBox(), &out);
}
