// The box on desktops of different number conventions: typed text read with the desktop
// locale's separators, values shown with them, arithmetic with them, and paste.
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

#include "controls/unitentry/tests/desktop_locale.h"
#include "controls/unitentry/tests/quillet_fixture.h"

namespace {

const QColor kRed(255, 0, 0);

struct LocaleCase {
  const char* name;
  const char* locale;
  const char* typed;  // key by key, through the key filter
  const char* shown;  // after leaving the box
  double value;
};

class LocaleTable : public QuilletTest, public ::testing::WithParamInterface<LocaleCase> {};

TEST_P(LocaleTable, TypedTextIsReadAndShownWithTheDesktopSeparators) {
  const LocaleCase& c = GetParam();
  KESTRIN_USE_DESKTOP_LOCALE(desktop, c.locale);
  auto box = Box({{"FormatString", "0.00"}});
  Type(*box, QString::fromUtf8(c.typed));
  Leave(*box);  // evaluates arithmetic, rewrites in the picture
  EXPECT_EQ(Text(*box), QString::fromUtf8(c.shown));
  EXPECT_DOUBLE_EQ(box->Value(), c.value) << "typed " << c.typed;
}

INSTANTIATE_TEST_SUITE_P(Desktops, LocaleTable,
                         ::testing::Values(LocaleCase{"CommaDecimal", "de_DE.UTF-8", "2,4", "2,40", 2.4},
                                           LocaleCase{"CommaArithmetic", "de_DE.UTF-8", "2,4*3", "7,20", 7.2},
                                           LocaleCase{"PointDecimal", "en_US.UTF-8", "2.4", "2.40", 2.4},
                                           LocaleCase{"PointArithmetic", "en_US.UTF-8", "1.5+1.5", "3.00", 3.0}),
                         CaseName<LocaleCase>);

TEST_F(QuilletTest, ValuesLimitsAndGroupedPicturesUseTheDesktopSeparators) {
  KESTRIN_USE_DESKTOP_LOCALE(desktop, "de_DE.UTF-8");
  auto box = Box({{"FormatString", "###,##0.0"}, {"Min", 1.0}, {"Max", 5000.5}});
  box->Value(1234.56);
  EXPECT_EQ(Text(*box), "1.234,6");
  EXPECT_DOUBLE_EQ(box->Value(), 1234.6);  // IP display stores the number it shows
  EXPECT_EQ(ToolTip(*box), "Min = 1,0, Max = 5.000,5");
  // Pasted text with the desktop's grouping is read as it means.
  box->TextBox()->setText(QStringLiteral("4.321,5"));
  EXPECT_DOUBLE_EQ(box->Value(), 4321.5);
  box->TextBox()->setText(QStringLiteral("6.000"));
  EXPECT_FALSE(box->Validate());
  EXPECT_EQ(ToolTip(*box), "Value too high: Max = 5.000,5");
}

// The context menu offers Paste with Ctrl+V: the key does what the menu says.
TEST_F(QuilletTest, CtrlVPastesAndThePasteIsTakenAsInput) {
  auto box = Box({{"FormatString", "0.0"}});
  ChangeCount changes(*box);
  QGuiApplication::clipboard()->setText(QStringLiteral("12.5"));
  box->TextBox()->selectAll();
  Press(*box, Qt::Key_V, QString(QChar(22)), Qt::ControlModifier);
  EXPECT_EQ(Text(*box), "12.5");
  EXPECT_EQ(box->Value(), 12.5);
  EXPECT_GE(changes(), 1);
}

TEST_F(QuilletTest, ANumberTooLargeForADoubleBecomesErrorOnLeaving) {
  auto box = Box({{"FormatString", "0.0"}});
  Type(*box, "1e400");
  Leave(*box);
  EXPECT_EQ(Text(*box), "Error");
  EXPECT_EQ(Background(*box), kRed);
}

}  // namespace
