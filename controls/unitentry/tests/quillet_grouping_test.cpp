// What the box reads from a typed or pasted text on desktops of both number conventions: a
// group separator counts only where the locale writes one (between groups of three whole-number
// digits); anywhere else the entry is no number and is shown as any other bad entry. A bad
// entry fails the same way with or without a leading minus.
#include <QKeyEvent>
#include <QLineEdit>
#include <ostream>

#include "controls/unitentry/tests/desktop_locale.h"
#include "controls/unitentry/tests/quillet_fixture.h"

namespace {

const QColor kRed(255, 0, 0);
const QColor kWhite(255, 255, 255);

enum class Entry { Typed, TypedOnKeyPad, Pasted };

struct GroupingCase {
  const char* name;
  const char* locale;
  Entry entry;
  const char* text;
  const char* shown;  // after leaving the box
  bool valid;
  double value;  // 0 for an entry that is no number
};

void PrintTo(const GroupingCase& c, std::ostream* os) { *os << c.name; }

// Types the text key by key; with the key pad, its "." and "," come from the key pad.
void Enter(csQuillet& box, const GroupingCase& c) {
  const QString text = QString::fromUtf8(c.text);
  if (c.entry == Entry::Pasted) {
    box.TextBox()->setText(text);
    return;
  }
  box.TextBox()->selectAll();
  for (const QChar ch : text) {
    const bool separator = ch == u'.' || ch == u',';
    const Qt::KeyboardModifiers modifiers =
        separator && c.entry == Entry::TypedOnKeyPad ? Qt::KeypadModifier : Qt::NoModifier;
    const int key = ch.isLetter() ? Qt::Key_A + (ch.toUpper().unicode() - 'A') : ch.unicode();
    Press(box, key, QString(ch), modifiers);
  }
}

class GroupingTable : public QuilletTest, public ::testing::WithParamInterface<GroupingCase> {};

TEST_P(GroupingTable, GroupSeparatorCountsOnlyBetweenGroupsOfThreeDigits) {
  const GroupingCase& c = GetParam();
  KESTRIN_USE_DESKTOP_LOCALE(desktop, c.locale);
  auto box = Box({{"FormatString", "0.00"}, {"Min", -1.0e7}, {"Max", 1.0e7}});
  Enter(*box, c);
  Leave(*box);
  EXPECT_EQ(Text(*box), QString::fromUtf8(c.shown));
  EXPECT_EQ(Background(*box), c.valid ? kWhite : kRed);
  EXPECT_EQ(box->Validate(), c.valid);
  EXPECT_DOUBLE_EQ(box->Value(), c.value);
  if (!c.valid) {
    EXPECT_EQ(ToolTip(*box), "Invalid input (Numeric value required)");
  }
}

constexpr const char* kUS = "en_US.UTF-8";
constexpr const char* kDE = "de_DE.UTF-8";

INSTANTIATE_TEST_SUITE_P(
    Desktops, GroupingTable,
    ::testing::Values(
        // The comma of a point desktop groups thousands, and only there.
        GroupingCase{"UsCommaInsideANumber", kUS, Entry::Typed, "7,5", "Error", false, 0.0},
        GroupingCase{"UsCommaBeforeOneDigit", kUS, Entry::Typed, "2,4", "Error", false, 0.0},
        GroupingCase{"UsCommaBeforeFourDigits", kUS, Entry::Typed, "1,2000", "Error", false, 0.0},
        GroupingCase{"UsFourDigitsBeforeAGroup", kUS, Entry::Typed, "1000,000", "Error", false, 0.0},
        GroupingCase{"UsCommaInTheFraction", kUS, Entry::Typed, "1.200,500", "Error", false, 0.0},
        GroupingCase{"UsCommaAfterAnExponent", kUS, Entry::Typed, "1e1,000", "Error", false, 0.0},
        GroupingCase{"UsCommaInArithmetic", kUS, Entry::Typed, "2,4*3", "Error", false, 0.0},
        GroupingCase{"UsGroupedNumber", kUS, Entry::Typed, "1,200.5", "1200.50", true, 1200.5},
        GroupingCase{"UsTwoGroups", kUS, Entry::Pasted, "-1,234,567", "-1234567.00", true, -1234567.0},
        GroupingCase{"UsShortMiddleGroup", kUS, Entry::Pasted, "1,23,567", "Error", false, 0.0},
        GroupingCase{"UsGroupedArithmetic", kUS, Entry::Typed, "1,200*2", "2400.00", true, 2400.0},
        GroupingCase{"UsPlainNumber", kUS, Entry::Typed, "7.5", "7.50", true, 7.5},
        // The point of a comma desktop groups thousands, and only there; the key pad's point is
        // its decimal separator.
        GroupingCase{"DePointInsideANumber", kDE, Entry::Typed, "7.5", "Error", false, 0.0},
        GroupingCase{"DePastedPointInsideANumber", kDE, Entry::Pasted, "2.4", "Error", false, 0.0},
        GroupingCase{"DePointInTheFraction", kDE, Entry::Pasted, "1,200.500", "Error", false, 0.0},
        GroupingCase{"DeGroupedNumber", kDE, Entry::Pasted, "1.200,5", "1200,50", true, 1200.5},
        GroupingCase{"DeGroupedNumberTyped", kDE, Entry::Typed, "1.200,5", "1200,50", true, 1200.5},
        GroupingCase{"DeGroupedArithmetic", kDE, Entry::Typed, "1.200*2", "2400,00", true, 2400.0},
        GroupingCase{"DePlainNumber", kDE, Entry::Typed, "7,5", "7,50", true, 7.5},
        GroupingCase{"DeKeyPadPoint", kDE, Entry::TypedOnKeyPad, "7.5", "7,50", true, 7.5},
        GroupingCase{"UsKeyPadComma", kUS, Entry::TypedOnKeyPad, "7,5", "7.50", true, 7.5},
        // A number no Double holds is an error with either sign.
        GroupingCase{"UsTooLarge", kUS, Entry::Typed, "1e400", "Error", false, 0.0},
        GroupingCase{"UsTooLargeNegative", kUS, Entry::Typed, "-1e400", "Error", false, 0.0},
        GroupingCase{"DeTooLargeNegative", kDE, Entry::Typed, "-1e400", "Error", false, 0.0},
        GroupingCase{"UsNegativeOfNoNumber", kUS, Entry::Typed, "-e", "Error", false, 0.0}),
    CaseName<GroupingCase>);

}  // namespace
