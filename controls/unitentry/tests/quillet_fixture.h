// What the tests of the unit entry box share: one QApplication on the offscreen platform, the
// recording message host, a converter of their own, boxes built from a property bag and
// bound to it, and helpers that type, press and leave like a user.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QString>
#include <QVariantMap>
#include <memory>
#include <ostream>
#include <string>

#include "controls/unitentry/csQuillet.h"
#include "libs/units/clsUnits.h"
#include "platform/ui/ui.h"

// Texts in failure messages as text.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

QApplication& QuilletApp();

// The name of a row of a case table (its `name`).
template <class Case>
std::string CaseName(const ::testing::TestParamInfo<Case>& row) {
  return row.param.name;
}

// Counts the Change signals of a box.
class ChangeCount {
 public:
  explicit ChangeCount(csQuillet& box);
  int operator()() const { return *count_; }

 private:
  std::shared_ptr<int> count_ = std::make_shared<int>(0);
};

class QuilletTest : public ::testing::Test {
 protected:
  QuilletTest() { QuilletApp(); }

  // A box built from the bag and bound to `units`.
  std::unique_ptr<csQuillet> Box(const QVariantMap& bag);

  ui::RecordingHost host;
  ui::ScopedHost scoped{host};
  clsUnits units;
};

// The background colour of the box's text.
QColor Background(const csQuillet& box);
QString Text(const csQuillet& box);
QString ToolTip(const csQuillet& box);

// Replaces the whole text as a user typing it key by key would (through the key filter).
void Type(csQuillet& box, const QString& keys);
// One key press on the text box.
void Press(csQuillet& box, int key, const QString& text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Focus leaving the box for another control.
void Leave(csQuillet& box);
