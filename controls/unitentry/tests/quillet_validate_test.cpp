// How the box judges its entry, in IP and SI: colours, tooltips and the value kept.
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStringList>

#include "controls/unitentry/tests/quillet_fixture.h"

namespace {

const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);

struct ValidateCase {
  const char* name;
  UnitOfMeasure system;
  double min, max;  // IP (F)
  const char* typed;
  bool valid;
  const char* toolTip;
  const char* textAfter;
  double valueAfter;  // IP
};

class ValidateTable : public QuilletTest, public ::testing::WithParamInterface<ValidateCase> {};

// A temperature box with one decimal in both systems, limits in F.
TEST_P(ValidateTable, JudgesTheTypedEntry) {
  const ValidateCase& c = GetParam();
  units.CurrentUnitOfMeasure(c.system);
  auto box = Box({{"Units", F_TO_C}, {"FormatString", "0.0"}, {"Min", c.min}, {"Max", c.max}});
  Type(*box, c.typed);
  EXPECT_EQ(box->Validate(), c.valid);
  EXPECT_EQ(Background(*box), c.valid ? kWhite : kRed);
  EXPECT_EQ(ToolTip(*box), c.toolTip);
  EXPECT_EQ(Text(*box), c.textAfter);
  EXPECT_NEAR(box->Value(), c.valueAfter, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValidateTable,
    ::testing::Values(
        ValidateCase{"IpNoLimits", nENGLISH, 0, 0, "55", true, "No Limits", "55.0", 55},
        ValidateCase{"IpInside", nENGLISH, 40, 60, "45.04", true, "Min = 40.0, Max = 60.0", "45.0", 45},
        ValidateCase{"IpAbove", nENGLISH, 40, 60, "61", false, "Value too high: Max = 60.0", "61.0", 61},
        ValidateCase{"IpBelow", nENGLISH, 40, 60, "39.9", false, "Value too low: Min = 40.0", "39.9", 39.9},
        ValidateCase{"IpOnTheUpperLimit", nENGLISH, 40, 60, "60", true, "Min = 40.0, Max = 60.0", "60.0", 60},
        ValidateCase{"IpOnTheLowerLimit", nENGLISH, 40, 60, "40.0", true, "Min = 40.0, Max = 60.0", "40.0", 40},
        ValidateCase{"IpRoundedOntoTheLimit", nENGLISH, 40, 60, "60.04", true, "Min = 40.0, Max = 60.0", "60.0", 60},
        ValidateCase{"IpMinWithoutMaxLimitsAboveZero", nENGLISH, 5, 0, "7", false, "Value too high: Max = 0.0", "7.0",
                     7},
        ValidateCase{"IpNotANumber", nENGLISH, 40, 60, "e", false, "Invalid input (Numeric value required)", "e", 0},
        ValidateCase{"IpExpressionNotYetEvaluated", nENGLISH, 0, 0, "12*3", false,
                     "Invalid input (Numeric value required)", "12*3", 0},
        ValidateCase{"SiNoLimits", nMETRIC, 0, 0, "12.8", true, "No Limits", "12.8", 55.04},
        ValidateCase{"SiInside", nMETRIC, 40, 60, "10", true, "Min = 4.4, Max = 15.6", "10.0", 50},
        ValidateCase{"SiAbove", nMETRIC, 40, 60, "16", false, "Value too high: Max = 15.6", "16.0", 60.8},
        ValidateCase{"SiBelow", nMETRIC, 40, 60, "4.3", false, "Value too low: Min = 4.4", "4.3", 39.74},
        // Typed as the shown limit: on the limit, and stored as the limit itself.
        ValidateCase{"SiShownLowerLimitAgainstIpMin", nMETRIC, 40, 60, "4.4", true, "Min = 4.4, Max = 15.6", "4.4", 40},
        ValidateCase{"SiShownUpperLimitAgainstIpMax", nMETRIC, 40, 60, "15.6", true, "Min = 4.4, Max = 15.6", "15.6",
                     60},
        ValidateCase{"SiNotANumber", nMETRIC, 40, 60, "1e", false, "Invalid input (Numeric value required)", "1e", 0}),
    CaseName<ValidateCase>);

// A value one binary digit above its limit, kept exactly because SI stores what it is given.
TEST_F(QuilletTest, AValueWhoseFifteenDigitTextIsTheLimitsIsOnTheLimit) {
  units.CurrentUnitOfMeasure(nMETRIC);
  auto box = Box({{"Min", 0.1}, {"Max", 0.3}});
  box->Value(0.1 + 0.2);
  EXPECT_GT(box->Value(), 0.3);
  EXPECT_EQ(Text(*box), "0.3");
  EXPECT_TRUE(box->Validate());
  EXPECT_EQ(Background(*box), kWhite);
  box->Value(0.3000001);
  EXPECT_FALSE(box->Validate());
  EXPECT_EQ(ToolTip(*box), "Value too high: Max = 0.3");
}

TEST_F(QuilletTest, ADisabledLockedOrBlankedBoxKeepsItsColourButGivesTheVerdict) {
  auto disabled = Box({{"Units", F_TO_C}, {"Min", 40.0}, {"Max", 60.0}, {"Enabled", false}});
  auto locked = Box({{"Units", F_TO_C}, {"Min", 40.0}, {"Max", 60.0}, {"Locked", true}});
  auto blanked = Box({{"Units", F_TO_C}, {"Min", 40.0}, {"Max", 60.0}, {"Blanked", true}});
  for (csQuillet* box : {disabled.get(), locked.get()}) {
    box->TextBox()->setText("99");
    EXPECT_FALSE(box->Validate());
    EXPECT_EQ(Background(*box), kWhite);
  }
  EXPECT_FALSE(blanked->Validate());
  EXPECT_EQ(Background(*blanked), blanked->palette().color(QPalette::Button));
}

TEST_F(QuilletTest, AnInvalidBoxTurnsWhiteAgainOnceCorrected) {
  auto box = Box({{"Units", F_TO_C}, {"FormatString", "0.0"}, {"Min", 40.0}, {"Max", 60.0}});
  box->Value(70);
  EXPECT_EQ(Background(*box), kRed);
  box->Value(50);
  EXPECT_EQ(Background(*box), kWhite);
  EXPECT_EQ(ToolTip(*box), "Min = 40.0, Max = 60.0");
}

TEST_F(QuilletTest, TypingTextThatIsNotANumberGivesValueZeroAndOneChange) {
  auto box = Box({{"Units", GPM_TO_LPS}, {"Value", 120.0}});
  box->Value(120);
  ChangeCount changes(*box);
  box->TextBox()->setText("12a");
  EXPECT_EQ(box->Value(), 0.0);
  EXPECT_EQ(changes(), 1);
  EXPECT_EQ(Background(*box), kWhite);  // no validation while typing
}

TEST_F(QuilletTest, TypedSiTextIsStoredInIpAtOnce) {
  units.CurrentUnitOfMeasure(nMETRIC);
  auto box = Box({{"Units", F_TO_C}});
  ChangeCount changes(*box);
  box->TextBox()->setText("100");
  EXPECT_NEAR(box->Value(), 212.0, 1e-9);
  EXPECT_EQ(changes(), 1);
}

TEST_F(QuilletTest, EnterEvaluatesValidatesRewritesAndSelectsAll) {
  auto box = Box({{"Units", TONS_TO_KW}, {"FormatString", "###,###,###,##0"}, {"Max", 5000.0}});
  Type(*box, "12*100");
  EXPECT_EQ(Text(*box), "12*100");
  Press(*box, Qt::Key_Return, "\r");
  EXPECT_EQ(Text(*box), "1,200");
  EXPECT_EQ(box->Value(), 1200);
  EXPECT_EQ(box->TextBox()->selectedText(), "1,200");
  EXPECT_EQ(Background(*box), kWhite);
  Type(*box, "10/0");
  Press(*box, Qt::Key_Enter, "\r");
  EXPECT_EQ(Text(*box), "Error");
  EXPECT_EQ(Background(*box), kRed);
  EXPECT_EQ(ToolTip(*box), "Invalid input (Numeric value required)");
}

TEST_F(QuilletTest, EqualsEvaluatesWithoutValidating) {
  auto box = Box({{"Units", TONS_TO_KW}, {"FormatString", "0"}, {"Max", 100.0}});
  ChangeCount changes(*box);
  Type(*box, "12*100=");
  EXPECT_EQ(Text(*box), "1200");
  EXPECT_EQ(box->Value(), 1200);
  EXPECT_EQ(Background(*box), kWhite);
  EXPECT_GE(changes(), 1);
}

TEST_F(QuilletTest, TheKeyFilterDecidesWhatReachesTheText) {
  auto box = Box({});
  Type(*box, "1a2b e(3)");
  EXPECT_EQ(Text(*box), "12e3");
  Press(*box, Qt::Key_C, QString(QChar(3)), Qt::ControlModifier);
  Press(*box, Qt::Key_Escape, QString(QChar(27)));
  EXPECT_EQ(Text(*box), "12e3");
  // Keys without text move the cursor; Delete and Backspace edit.
  Press(*box, Qt::Key_Home);
  Press(*box, Qt::Key_Delete);
  EXPECT_EQ(Text(*box), "2e3");
  Press(*box, Qt::Key_End);
  Press(*box, Qt::Key_Backspace, QString(QChar(8)));
  EXPECT_EQ(Text(*box), "2e");
}

TEST_F(QuilletTest, LeavingTheBoxRewritesAValidEntryAndEvaluatesAnInvalidOne) {
  auto box = Box({{"Units", F_TO_C}, {"FormatString", "0.0"}, {"Min", 40.0}, {"Max", 60.0}});
  Type(*box, "45.04");
  Leave(*box);
  EXPECT_EQ(Text(*box), "45.0");
  EXPECT_EQ(box->Value(), 45.0);
  Type(*box, "5*10");
  Leave(*box);
  EXPECT_EQ(Text(*box), "50.0");
  EXPECT_EQ(Background(*box), kWhite);
  Type(*box, "5*100");
  Leave(*box);
  EXPECT_EQ(Text(*box), "500.0");  // evaluated and rewritten, but still too high: red
  EXPECT_EQ(Background(*box), kRed);
  EXPECT_EQ(ToolTip(*box), "Value too high: Max = 60.0");
  Type(*box, "ee");
  Leave(*box);
  EXPECT_EQ(Text(*box), "Error");
  EXPECT_EQ(ToolTip(*box), "Invalid input (Numeric value required)");
}

// The full-precision display writes small values with a signed exponent; leaving or Enter
// must not read that sign as an operator.
TEST_F(QuilletTest, AFullPrecisionNumberWithASignedExponentSurvivesEnterAndLeaving) {
  auto box = Box({{"Min", 0.001}, {"Max", 1.0}});
  box->Value(0.00001);
  EXPECT_EQ(Text(*box), "1E-05");
  Press(*box, Qt::Key_Return, "\r");
  EXPECT_EQ(Text(*box), "1E-05");
  Leave(*box);
  EXPECT_EQ(Text(*box), "1E-05");
  EXPECT_EQ(ToolTip(*box), "Value too low: Min = 0.001");
  EXPECT_EQ(box->Value(), 0.00001);
}

TEST_F(QuilletTest, RefreshEmitsNothingAndKeepsTheValue) {
  auto box = Box({{"Units", GPM_TO_LPS}, {"FormatString", "0"}, {"FormatStringMetric", "0.0"}});
  units.CurrentUnitOfMeasure(nMETRIC);
  box->Value(1234.5678 / 0.0630902);  // exactly kept in SI
  const double value = box->Value();
  ChangeCount changes(*box);
  units.CurrentUnitOfMeasure(nENGLISH);
  box->Refresh();
  EXPECT_EQ(Text(*box), "19568");
  EXPECT_EQ(box->Label()->text(), "gpm");
  units.CurrentUnitOfMeasure(nMETRIC);
  box->Refresh();
  EXPECT_EQ(Text(*box), "1234.6");
  EXPECT_EQ(box->Label()->text(), "L/s");
  EXPECT_EQ(changes(), 0);
  EXPECT_EQ(box->Value(), value);
}

TEST_F(QuilletTest, SettingAPictureRedisplaysAsInput) {
  auto box = Box({{"Value", 2.345}});
  box->Value(2.345);
  ChangeCount changes(*box);
  box->FormatString("0.0");
  EXPECT_EQ(Text(*box), "2.3");
  EXPECT_EQ(changes(), 1);
  EXPECT_EQ(box->Value(), 2.3);
  box->FormatStringMetric("0.000");  // IP display: the same text, no change
  EXPECT_EQ(changes(), 1);
}

TEST_F(QuilletTest, TranslationStringsReplaceTheTextsFromTheFirstOn) {
  auto box = Box({{"Min", 1.0}, {"Max", 2.0}});
  box->TranslationStrings({"Höchst = ", "Mindest = ", "Keine Grenzen", "Zu hoch: Höchst = ", "Zu niedrig: Mindest = "});
  EXPECT_EQ(box->Texts()[csQuillet::kNoLimits], "Keine Grenzen");
  EXPECT_EQ(box->Texts()[csQuillet::kInvalidInput], "Invalid input (Numeric value required)");
  EXPECT_EQ(ToolTip(*box), "Min = 1, Max = 2");  // a short list leaves the tooltip
  box->Value(5);
  EXPECT_EQ(ToolTip(*box), "Zu hoch: Höchst = 2");
  // The translation resources set the texts by name.
  ASSERT_TRUE(QMetaObject::invokeMethod(box.get(), "TranslationStrings",
                                        Q_ARG(QStringList, QStringList({"A ", "B ", "C", "D ", "E ", "F"}))));
  EXPECT_EQ(ToolTip(*box), "B 1, A 2");  // a full list refreshes it
  box->TextBox()->setText("x");
  box->Validate();
  EXPECT_EQ(ToolTip(*box), "F");
}

}  // namespace

namespace {

// A box and a second control in a shown, active window, so that focus really moves.
class QuilletFocus : public QuilletTest {
 protected:
  void SetUp() override {
    box = Box({{"Units", F_TO_C}, {"FormatString", "0.0"}, {"Min", 40.0}, {"Max", 60.0}}).release();
    box->setParent(&window);
    other = new QLineEdit(&window);
    other->move(0, 40);
    window.show();
    QApplication::setActiveWindow(&window);
    box->Value(45);
  }
  QWidget window;
  csQuillet* box = nullptr;
  QLineEdit* other = nullptr;
};

TEST_F(QuilletFocus, TabbingInSelectsAllAndTheFirstMouseMoveSelectsAgain) {
  other->setFocus(Qt::TabFocusReason);
  box->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(box->TextBox()->hasFocus());
  EXPECT_EQ(box->TextBox()->selectedText(), "45.0");
  box->TextBox()->deselect();  // as a click into the text would
  QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(box->TextBox(), &move);
  EXPECT_EQ(box->TextBox()->selectedText(), "45.0");
  box->TextBox()->deselect();
  QCoreApplication::sendEvent(box->TextBox(), &move);
  EXPECT_EQ(box->TextBox()->selectedText(), "");
}

TEST_F(QuilletFocus, FocusMovingOnEvaluatesAndAPopupDoesNot) {
  other->setFocus(Qt::TabFocusReason);
  box->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(box->TextBox()->hasFocus());
  Type(*box, "5*10");
  QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
  QCoreApplication::sendEvent(box->TextBox(), &popup);
  EXPECT_EQ(Text(*box), "5*10");
  other->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(Text(*box), "50.0");
  EXPECT_EQ(box->Value(), 50.0);
}

// The focused text box loses its focus as the box is destroyed; that must not run the box's
// handlers on a half-destroyed box (the sanitizers see it).
TEST_F(QuilletFocus, DestroyingAFocusedBoxIsSafe) {
  other->setFocus(Qt::TabFocusReason);
  box->setFocus(Qt::TabFocusReason);
  ASSERT_TRUE(box->TextBox()->hasFocus());
  delete box;
  EXPECT_EQ(window.findChildren<csQuillet*>().size(), 0);
}

}  // namespace

namespace {

// A value typed as the shown SI minimum stays valid when the display switches to IP.
TEST_F(QuilletTest, TheShownSiMinimumStaysValidInIp) {
  units.CurrentUnitOfMeasure(nMETRIC);
  auto box = Box({{"Units", F_TO_K}, {"FormatString", "#0.0"}, {"Min", 6.0}, {"Max", 20.0}});
  Type(*box, "3.3");  // 6 F is 3.33 K, shown as 3.3
  Leave(*box);
  EXPECT_TRUE(box->Validate());
  units.CurrentUnitOfMeasure(nENGLISH);
  box->Refresh();
  EXPECT_TRUE(box->Validate());
  EXPECT_EQ(Text(*box), "6.0");
  EXPECT_EQ(Background(*box), kWhite);
  units.CurrentUnitOfMeasure(nMETRIC);
  box->Refresh();
  EXPECT_EQ(Text(*box), "3.3");
}

}  // namespace
