// Lookups in the resource database and the text helpers.
#include <gtest/gtest.h>

#include <ostream>

#include "app/resources/CResource.h"
#include "app/resources/TextCatalog.h"
#include "app/resources/tests/fixture.h"
#include "app/storage/modpublic.h"

namespace {

using fixture::ProgramFolder;
using fixture::Row;

// A German installation with the rows; the units back to IP afterwards.
class LookupTest : public ::testing::Test {
 protected:
  void Install(const std::vector<Row>& rows) {
    folder_.WriteConfig(fixture::Config("1031"));
    folder_.WriteDatabase(1031, rows);
    resource_ = std::make_unique<CResource>(folder_.path());
    ASSERT_TRUE(resource_->ResourceDBOpened());
  }
  void TearDown() override {
    modpublic::gUnits.CurrentUnitOfMeasure(nENGLISH);
    textcatalog::SetEnglishTexts({});
  }

  ProgramFolder folder_;
  std::unique_ptr<CResource> resource_;
};

const std::vector<Row> kRows = {
    {"frmMain", "lblTitle", "", "CAPTION", false, 0, "Titel", 0, {}},
    {"frmMain", "lblTitle", "", "CAPTION", true, 0, "Titel SI", 0, {}},
    {"frmMain", "lblGeneral", "", "CAPTION", false, 0, "Allgemein", 0, {}},
    {"frmMain", "lblNull", "", "CAPTION", false, std::nullopt, "Nie", 0, {}},
    {"frmMain", "lblOff", "", "CAPTION", true, 1, "Aus", 0, {}},
    {"frmMain", "lblOff", "", "CAPTION", false, 0, "An", 0, {}},
    {"frmMain", "O'Brien", "", "CAPTION", false, 0, "Zitat", 0, {}},
    {"frmMain",
     "tbrMain.Buttons.Button1",
     "",
     "Object.ToolTipText",
     false,
     0,
     "\xC3\x96"
     "ffnen",
     0,
     {}},
    {"frmMain", "optUnit", "1", "CAPTION", false, 0, "SI", 0, {}},
    {"frmMain", "cboSize", "2", "DROPDOWNVALUE", false, 0, "45", TONS_TO_KW, {}},
    {"frmMain", "cboSize", "3", "DROPDOWNVALUE", false, 1, "50", TONS_TO_KW, {}},
};

struct LookupCase {
  const char* name;
  UnitOfMeasure units;
  const char* control;
  const char* property;
  const char* index;
  const char* lookup;  // LookupTranslation
  const char* seek;    // SeekTranslation
  int32_t unit;        // the unit after the seek (starts at -1)
};

// Names the case in test listings.
void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.name; }

class LookupTableTest : public LookupTest, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(LookupTableTest, FindsTheRow) {
  const LookupCase& c = GetParam();
  Install(kRows);
  modpublic::gUnits.CurrentUnitOfMeasure(c.units);
  resource_->CurrentForm("frmMain");
  EXPECT_EQ(resource_->LookupTranslation(c.control, c.property, c.index), c.lookup);
  int32_t unit = -1;
  EXPECT_EQ(resource_->SeekTranslation("frmMain", c.control, unit, c.property, c.index, false), c.seek);
  EXPECT_EQ(unit, c.unit);
}

const LookupCase kLookupCases[] = {
    {"GeneralRowUnderIP", nENGLISH, "lblTitle", "CAPTION", "", "Titel", "Titel", 0},
    {"MetricRowWinsUnderSI", nMETRIC, "lblTitle", "CAPTION", "", "Titel", "Titel SI", 0},
    {"GeneralRowWithoutMetricUnderSI", nMETRIC, "lblGeneral", "CAPTION", "", "Allgemein", "Allgemein", 0},
    {"NullDisabledCountsAsDisabled", nENGLISH, "lblNull", "CAPTION", "", "XXDised", "XXDised", -1},
    {"DisabledMetricRowUnderSI", nMETRIC, "lblOff", "CAPTION", "", "An", "XXDised", -1},
    {"KeyWithAQuote", nENGLISH, "O'Brien", "CAPTION", "", "Zitat", "Zitat", 0},
    {"KeysIgnoreCase", nENGLISH, "TBRMAIN.buttons.button1", "OBJECT.TOOLTIPTEXT", "",
     "\xC3\x96"
     "ffnen",
     "\xC3\x96"
     "ffnen",
     0},
    {"IndexedControl", nENGLISH, "optUnit", "CAPTION", "1", "SI", "SI", 0},
    {"OtherIndexMisses", nENGLISH, "optUnit", "CAPTION", "", "", "", -1},
    {"MissingRow", nENGLISH, "lblNone", "CAPTION", "", "", "", -1},
    {"SeekGivesTheUnit", nENGLISH, "cboSize", "DROPDOWNVALUE", "2", "45", "45", TONS_TO_KW},
    {"DisabledSeekKeepsTheUnit", nENGLISH, "cboSize", "DROPDOWNVALUE", "3", "XXDised", "XXDised", -1},
};

INSTANTIATE_TEST_SUITE_P(Rows, LookupTableTest, ::testing::ValuesIn(kLookupCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(LookupTest, LookupReadsTheCurrentFormOnly) {
  Install({{"frmOther", "lblTitle", "", "CAPTION", false, 0, "Anderer", 0, {}},
           {"frmMain", "lblTitle", "", "CAPTION", false, 0, "Titel", 0, {}}});
  resource_->CurrentForm("frmOther");
  EXPECT_EQ(resource_->LookupTranslation("lblTitle", "CAPTION", ""), "Anderer");
  int32_t unit = 0;
  EXPECT_EQ(resource_->SeekTranslation("frmMain", "lblTitle", unit, "CAPTION", "", false), "Titel");
}

TEST_F(LookupTest, NumberedTextsComeFromTheDatabaseWhileItIsOpen) {
  textcatalog::SetEnglishTexts({{6219, "Annual Energy Use"}, {6220, "Cash Flow"}});
  {
    Install({{"Strings", "s6219", "", "TEXT", false, 1, "J\xC3\xA4hrlicher Energieverbrauch", 0, 6219}});
    EXPECT_EQ(resource_->GetString(6219), "J\xC3\xA4hrlicher Energieverbrauch");  // Disabled is not read
    EXPECT_EQ(resource_->GetString(6220), "?????");
    EXPECT_EQ(textcatalog::GetString(6219), "J\xC3\xA4hrlicher Energieverbrauch");
    EXPECT_EQ(textcatalog::GetString(6220), "?????");
    resource_.reset();
  }
  EXPECT_EQ(textcatalog::GetString(6220), "Cash Flow");
}

TEST_F(LookupTest, NothingAnswersWhileNotReady) {
  CResource resource(folder_.path());  // no configuration, no database
  ASSERT_FALSE(resource.ResourceDBOpened());
  resource.CurrentForm("frmMain");
  EXPECT_EQ(resource.LookupTranslation("lblTitle", "CAPTION", ""), "");
  EXPECT_EQ(resource.GetString(1), "?????");
  int16_t row = 0;
  EXPECT_EQ(resource.GetResString(row), "");
  EXPECT_EQ(row, 0);
}

Row CaptionRow(const std::string& index, const std::string& text) {
  return {"frmAbout", "frmAbout", index, "CAPTION", false, 0, text, 0, {}};
}

TEST_F(LookupTest, ContinuedTextJoinsItsRows) {
  Install({CaptionRow("", "Teil eins, _"), CaptionRow("1", "Teil zwei, _"), CaptionRow("2", "Ende"),
           CaptionRow("3", "nicht mehr")});
  resource_->CurrentForm("frmAbout");
  int16_t row = 0;
  EXPECT_EQ(resource_->GetResString(row), "Teil eins, Teil zwei, Ende");
  EXPECT_EQ(row, 3);
}

TEST_F(LookupTest, ContinuedTextEndsAtAMissingRow) {
  Install({CaptionRow("", "Nur eine Zeile_")});
  resource_->CurrentForm("frmAbout");
  int16_t row = 5;
  EXPECT_EQ(resource_->GetResString(row), "Nur eine Zeile");
  EXPECT_EQ(row, 6);
}

TEST_F(LookupTest, ContinuedTextEndsAfterTheLastAllowedRow) {
  std::vector<Row> rows = {CaptionRow("", "x_")};
  for (int i = 1; i < CResource::kMaxContinuedRows + 20; ++i) {
    rows.push_back(CaptionRow(std::to_string(i), "x_"));
  }
  Install(rows);
  resource_->CurrentForm("frmAbout");
  int16_t row = 0;
  EXPECT_EQ(resource_->GetResString(row), std::string(CResource::kMaxContinuedRows, 'x'));
  EXPECT_EQ(row, CResource::kMaxContinuedRows);
}

TEST(TextHelpers, ReplaceTopicText) {
  struct Case {
    const char* text;
    const char* topic1;
    const char* topic2;
    const char* expected;
  };
  const Case cases[] = {
      {"Hilfe zu <TOPIC_TEXT> und <TOPIC_TEXT2>.", "Pumpen", "Turm", "Hilfe zu Pumpen und Turm."},
      {"<TOPIC_TEXT>/<TOPIC_TEXT>", "a", "", "a/a"},
      {"<TOPIC_TEXT> <TOPIC_TEXT2>", "a", "", "a <TOPIC_TEXT2>"},
      // A replacement that holds a placeholder is not searched again.
      {"<TOPIC_TEXT>", "x<TOPIC_TEXT>", "", "x<TOPIC_TEXT>"},
      {"<TOPIC_TEXT2>", "b", "<TOPIC_TEXT2><TOPIC_TEXT2>", "<TOPIC_TEXT2><TOPIC_TEXT2>"},
      {"<TOPIC_TEXT", "a", "b", "<TOPIC_TEXT"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CResource::ReplaceTopicText(c.text, c.topic1, c.topic2), c.expected) << c.text;
  }
}

TEST(TextHelpers, NextToken) {
  struct Case {
    const char* text;
    const char* delimiter;
    const char* head;
    const char* rest;
  };
  const Case cases[] = {
      {"a,b,c", ",", "a", "b,c"}, {"abc", ",", "abc", ""},
      {"abc", "", "abc", ""},  // an empty delimiter takes all, so a loop over it ends
      {"a::b", "::", "a", "b"},   {",a", ",", "", "a"},
      {"", ",", "", ""},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    EXPECT_EQ(CResource::NextToken(text, c.delimiter), c.head) << c.text;
    EXPECT_EQ(text, c.rest) << c.text;
  }
}

TEST(TextHelpers, ErrorSourceNamesTheProgramClassAndProcedure) {
  ProgramFolder folder;
  CResource resource(folder.path());
  EXPECT_EQ(resource.GetErrSource("LoadComboBox"), "VEXON.CResource.LoadComboBox");
}

}  // namespace
