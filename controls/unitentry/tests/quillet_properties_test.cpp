// The box's properties and their side effects, its saved properties and its layout.
#include <QLabel>
#include <QLineEdit>
#include <clocale>
#include <string>

#include "controls/unitentry/tests/quillet_fixture.h"
#include "libs/vb/tests/comma_locale.h"

namespace {

TEST_F(QuilletTest, UnitsAcceptsZeroToCountAndRejectsTheRestWithTheBox) {
  auto box = Box({{"Units", F_TO_C}});
  box->Units(units.Count());
  EXPECT_EQ(box->Units(), units.Count());
  EXPECT_TRUE(host.messages.empty());
  for (long bad : {units.Count() + 1, -1L}) {
    box->Units(bad);
    EXPECT_EQ(box->Units(), units.Count());
  }
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].text, "Invalid Unit Type.");
  EXPECT_EQ(host.messages[0].style, ui::kCritical);
  box->Units(NO_CONV);
  EXPECT_EQ(box->Units(), NO_CONV);
  EXPECT_EQ(box->Label()->text(), "");
}

TEST_F(QuilletTest, ValueIsRoundedToThePictureInIpButKeptExactlyInSi) {
  auto box = Box({{"Units", F_TO_C}, {"FormatString", "0.0"}});
  box->Value(44.123);
  EXPECT_EQ(box->Value(), 44.1);
  EXPECT_EQ(Text(*box), "44.1");
  units.CurrentUnitOfMeasure(nMETRIC);
  box->Value(44.123);
  EXPECT_EQ(box->Value(), 44.123);
  EXPECT_EQ(Text(*box), "6.7");
}

TEST_F(QuilletTest, PropertiesAreReachableByName) {
  auto box = Box({{"Units", F_TO_C}});
  EXPECT_TRUE(box->setProperty("FormatString", QString("0.0")));
  EXPECT_TRUE(box->setProperty("Max", 60.0));
  EXPECT_TRUE(box->setProperty("Value", 72.0));
  EXPECT_EQ(Text(*box), "72.0");
  EXPECT_EQ(box->property("Value").toDouble(), 72.0);
  EXPECT_EQ(box->property("Units").toInt(), F_TO_C);
  EXPECT_FALSE(box->property("Enabled").isNull());
  EXPECT_EQ(Background(*box), QColor(255, 0, 0));
}

// A Qt program takes the C locale from the environment; a decimal-comma locale must not
// change how the box writes and reads its numbers.
TEST_F(QuilletTest, ADecimalCommaLocaleChangesNoNumberText) {
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous ? previous : "C";
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr && std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr) {
    if (kestrin_test::CommaLocale::Required()) FAIL() << "no decimal-comma locale is installed";
    GTEST_SKIP() << "no decimal-comma locale installed";
  }
  auto box = Box({});
  box->Value(0.25);
  const QString shown = Text(*box);
  const double value = box->Value();
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(shown, "0.25");
  EXPECT_EQ(value, 0.25);
}

TEST_F(QuilletTest, ValueRaisesChangeOnlyWhenTheTextChanges) {
  auto box = Box({{"FormatString", "0.0"}});
  ChangeCount changes(*box);
  box->Value(5);
  EXPECT_EQ(changes(), 1);
  box->Value(5.01);  // shows 5.0 again
  EXPECT_EQ(changes(), 1);
  EXPECT_EQ(box->Value(), 5.0);
}

TEST_F(QuilletTest, BlankingClearsSilentlyAndUnblankingShowsTheValueAsInput) {
  auto box = Box({{"Units", F_TO_C}, {"FormatString", "0.0"}, {"Min", 40.0}, {"Max", 60.0}});
  box->Value(50);
  ChangeCount changes(*box);
  box->Blanked(true);
  EXPECT_EQ(Text(*box), "");
  EXPECT_EQ(changes(), 0);
  EXPECT_EQ(box->Value(), 50);
  EXPECT_FALSE(box->isEnabled());
  box->Value(55);  // stored, not shown
  EXPECT_EQ(Text(*box), "");
  EXPECT_EQ(box->Value(), 55);
  box->Blanked(false);
  EXPECT_EQ(Text(*box), "55.0");
  EXPECT_EQ(changes(), 1);
  EXPECT_TRUE(box->isEnabled());
}

TEST_F(QuilletTest, UnblankingADisabledBoxLeavesItDisabled) {
  auto box = Box({{"Blanked", true}, {"Enabled", false}});
  EXPECT_EQ(Text(*box), "");
  box->Blanked(false);
  EXPECT_EQ(Text(*box), "0");
  EXPECT_FALSE(box->TextBox()->isEnabled());
}

TEST_F(QuilletTest, LimitsRefreshTheToolTipAndValidateOnlyAnEditableBox) {
  auto box = Box({{"Units", F_TO_C}, {"FormatString", "0.0"}});
  box->Value(70);
  box->Max(60);
  EXPECT_EQ(Background(*box), QColor(255, 0, 0));
  box->Locked(true);  // a locked box turns white and stays so
  EXPECT_EQ(Background(*box), QColor(255, 255, 255));
  box->Max(65);
  EXPECT_EQ(Background(*box), QColor(255, 255, 255));
  EXPECT_EQ(ToolTip(*box), "Min = 0.0, Max = 65.0");
  EXPECT_TRUE(box->TextBox()->isReadOnly());
}

TEST_F(QuilletTest, ABoxBuiltFromItsSavedPropertiesHasThemWithoutSideEffects) {
  const QVariantMap bag{{"Value", 71.5},
                        {"Min", 40.0},
                        {"Max", 60.0},
                        {"FormatString", "0.0"},
                        {"FormatStringMetric", "0.00"},
                        {"Locked", true},
                        {"LabelSpace", 90},
                        {"LabelWidth", 600},
                        {"TextWidth", 1200},
                        {"Enabled", false},
                        {"Units", 9999}};
  csQuillet box(bag);
  ChangeCount changes(box);
  EXPECT_EQ(box.Units(), 9999);  // restored without the range check, and no box shown
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(box.Value(), 71.5);
  EXPECT_EQ(box.Min(), 40.0);
  EXPECT_EQ(box.Max(), 60.0);
  EXPECT_EQ(box.FormatString(), "0.0");
  EXPECT_EQ(box.FormatStringMetric(), "0.00");
  EXPECT_TRUE(box.Locked());
  EXPECT_FALSE(box.Enabled());
  EXPECT_EQ(box.LabelSpace(), 90);
  EXPECT_EQ(box.LabelWidth(), 600);
  EXPECT_EQ(box.TextBoxWidth(), 1200);
  EXPECT_EQ(Background(box), QColor(255, 255, 255));  // not validated although out of range
  EXPECT_EQ(Text(box), "0.00");                       // nothing shown before a converter
  EXPECT_EQ(box.Label()->text(), "(no_conv)");
  EXPECT_EQ(changes(), 0);
  QVariantMap saved;
  box.WriteProperties(saved);
  EXPECT_EQ(saved, bag);
}

TEST_F(QuilletTest, DefaultPropertiesAreNotSavedAndRestoreTheSameBox) {
  csQuillet fresh;
  QVariantMap saved;
  fresh.WriteProperties(saved);
  EXPECT_TRUE(saved.isEmpty());
  csQuillet restored(saved);
  EXPECT_EQ(restored.LabelSpace(), 60);
  EXPECT_EQ(restored.LabelWidth(), 1320);
  EXPECT_EQ(restored.TextBoxWidth(), 1000);
  EXPECT_TRUE(restored.Enabled());
  EXPECT_EQ(restored.Label()->text(), "");  // Units 0: no label at run time
  restored.TextBoxWidth(1500);
  restored.WriteProperties(saved);
  EXPECT_EQ(saved, (QVariantMap{{"TextWidth", 1500}}));
}

TEST_F(QuilletTest, WithoutAConverterSettersEndQuietly) {
  csQuillet box;
  box.Value(12);
  box.Units(F_TO_C);
  EXPECT_EQ(box.Value(), 0.0);
  EXPECT_EQ(box.Units(), NO_CONV);
  EXPECT_FALSE(box.Validate());
  EXPECT_TRUE(host.messages.empty());
  box.UnitCnv(&units);
  box.Units(F_TO_C);
  box.Value(12);
  EXPECT_EQ(box.Value(), 12.0);
  EXPECT_EQ(box.Label()->text(), "F");
}

// Layout at 15 twips per pixel (96 dpi on the offscreen platform): the default text box of
// 1000 twips is 67 px, the gap of 60 twips 4 px, the label of 1320 twips 88 px. The box sits
// in a shown window, so that resizing it reaches its resize handling as in a real window.
class QuilletLayout : public QuilletTest {
 protected:
  void SetUp() override {
    box = new csQuillet(&window);
    window.show();
    ASSERT_EQ(box->logicalDpiX(), 96);
  }
  QWidget window;
  csQuillet* box = nullptr;
};

TEST_F(QuilletLayout, TheBoxIsTextBoxGapAndLabel) {
  EXPECT_EQ(box->width(), 67 + 4 + 88);
  EXPECT_EQ(box->TextBox()->geometry(), QRect(0, 0, 67, box->height()));
  EXPECT_EQ(box->Label()->geometry(), QRect(67 + 4, 2, 88, box->height() - 2));
  EXPECT_EQ(box->sizeHint(), box->size());
  EXPECT_EQ(box->TextBoxWidth(), 1000);
  box->LabelSpace(150);
  EXPECT_EQ(box->Label()->x(), 67 + 10);
  EXPECT_EQ(box->width(), 67 + 10 + 88);
  box->LabelSpace(-30);  // ignored
  EXPECT_EQ(box->LabelSpace(), 150);
  EXPECT_EQ(box->width(), 67 + 10 + 88);
}

TEST_F(QuilletLayout, ResizingGivesTheTextBoxWhatTheLabelLeaves) {
  box->resize(300, box->height());
  EXPECT_EQ(box->TextBox()->width(), 300 - 88 - 4);
  EXPECT_EQ(box->TextBoxWidth(), (300 - 88 - 4) * 15);
  EXPECT_EQ(box->Label()->x(), 300 - 88);
  EXPECT_EQ(box->Label()->width(), 88);
}

TEST_F(QuilletLayout, ANarrowBoxKeepsASixtyTwipTextBoxAndWidensAgain) {
  box->resize(50, box->height());
  EXPECT_EQ(box->TextBox()->width(), 60 / 15);
  EXPECT_EQ(box->TextBoxWidth(), 60);
  EXPECT_EQ(box->width(), (60 + 60 + 1320) / 15);
}

TEST_F(QuilletLayout, WidthsBelowOnePixelBecomeOnePixel) {
  box->LabelWidth(0);
  EXPECT_EQ(box->LabelWidth(), 15);
  EXPECT_EQ(box->Label()->width(), 1);
  box->TextBoxWidth(-100);
  EXPECT_EQ(box->TextBoxWidth(), 15);
  EXPECT_EQ(box->TextBox()->width(), 1);
  EXPECT_EQ(box->width(), 1 + 4 + 1);
}

TEST_F(QuilletLayout, TheBoxIsNeverLowerThanItsTextBox) {
  box->resize(box->width(), 3);
  EXPECT_EQ(box->height(), box->TextBox()->minimumHeight());
  box->resize(box->width(), 40);
  EXPECT_EQ(box->TextBox()->height(), 40);
  EXPECT_EQ(box->Label()->height(), 38);
}

}  // namespace
