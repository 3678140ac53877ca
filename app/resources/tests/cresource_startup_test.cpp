// Start-up of the language resources: which language, font and database the service ends up
// with for each configuration and set of installed databases, and what the user is told.
#include <gtest/gtest.h>

#include <ostream>

#include <clocale>
#include <locale>

#include "app/resources/CResource.h"
#include "app/resources/TextCatalog.h"
#include "app/resources/tests/fixture.h"
#include "libs/vb/tests/comma_locale.h"
#include "platform/db/db.h"

namespace {

using fixture::ProgramFolder;
using fixture::Row;

const char kUndetermined[] =
    "The current language could not be determined.  The program will resort to the default "
    "language: English";
const char kUnsupportedGerman[] =
    "You have chosen to run Tolvane software using the following language:  Deutsch.  Brimlow "
    "does not currently support that language.  Therefore the program will be run using the "
    "following language instead:  English.";
const char kStartupFailedEnglish[] =
    "The language database for the following language could not be opened:  English.  Due to "
    "this problem, program startup has failed.  Please contact Pellacor for assistance.";

enum class Databases { kGermanAndEnglish, kEnglishOnly, kNone };

struct StartupCase {
  const char* name;
  const char* config;  // nullptr: no configuration file
  Databases databases;
  int32_t localeId;
  const char* languageName;
  const char* fontName;
  double fontSize;
  bool ready;
  std::vector<std::string> messages;
};

// Names the case in test listings.
void PrintTo(const StartupCase& c, std::ostream* os) { *os << c.name; }

std::string ConfigText(const char* config) {
  const std::string c = config;
  if (c == "german") return fixture::Config("1031");
  if (c == "not numeric") return fixture::Config("abc");
  if (c == "language without font") return fixture::Config("1036");
  return c;
}

class StartupTest : public ::testing::TestWithParam<StartupCase> {};

TEST_P(StartupTest, SettlesOnLanguageFontAndDatabase) {
  const StartupCase& c = GetParam();
  ProgramFolder folder;
  if (c.config) folder.WriteConfig(ConfigText(c.config));
  const std::vector<Row> rows = {{"frmMain", "frmMain", "", "CAPTION", false, 0, "Main", 0, {}}};
  if (c.databases == Databases::kGermanAndEnglish) folder.WriteDatabase(1031, rows);
  if (c.databases != Databases::kNone) folder.WriteDatabase(1033, rows);

  CResource resource(folder.path());

  EXPECT_EQ(resource.LocaleID(), c.localeId);
  EXPECT_EQ(resource.LanguageName(), c.languageName);
  EXPECT_EQ(resource.FontName(), c.fontName);
  EXPECT_DOUBLE_EQ(resource.FontSize(), c.fontSize);
  EXPECT_EQ(resource.ResourceDBOpened(), c.ready);
  EXPECT_EQ(resource.OpenedLocaleID(), c.ready ? c.localeId : 0);
  EXPECT_EQ(folder.MessageTexts(), c.messages);
  for (const auto& m : folder.host.messages) EXPECT_EQ(m.style, ui::kExclamation) << m.text;
}

const StartupCase kStartupCases[] = {
    {"MissingConfigWithDatabases",
     nullptr,
     Databases::kGermanAndEnglish,
     1033,
     "English",
     "Arial",
     9.0,
     true,
     {kUndetermined}},
    {"MissingConfigEnglishOnly",
     nullptr,
     Databases::kEnglishOnly,
     1033,
     "English",
     "Arial",
     9.0,
     true,
     {kUndetermined}},
    // The English settings are read twice, so the first message comes twice.
    {"MissingConfigNoDatabase",
     nullptr,
     Databases::kNone,
     1033,
     "English",
     "Arial",
     9.0,
     false,
     {kUndetermined, kUndetermined, kStartupFailedEnglish}},
    {"CurrentNotNumeric", "not numeric", Databases::kGermanAndEnglish, 1033, "English", "Arial", 9.0, true, {}},
    {"CurrentNotNumericNoDatabase",
     "not numeric",
     Databases::kNone,
     1033,
     "English",
     "Arial",
     9.0,
     false,
     {kStartupFailedEnglish}},
    {"LanguageWithoutFont",
     "language without font",
     Databases::kGermanAndEnglish,
     1033,
     "English",
     "Arial",
     9.0,
     true,
     {}},
    {"LanguageWithoutFontNoDatabase",
     "language without font",
     Databases::kNone,
     1033,
     "English",
     "Arial",
     9.0,
     false,
     {kStartupFailedEnglish}},
    {"German", "german", Databases::kGermanAndEnglish, 1031, "Deutsch", "Liberation Sans", 9.5, true, {}},
    {"GermanWithEnglishDatabaseOnly",
     "german",
     Databases::kEnglishOnly,
     1033,
     "English",
     "Arial",
     9.0,
     true,
     {kUnsupportedGerman}},
    {"GermanNoDatabase",
     "german",
     Databases::kNone,
     1033,
     "English",
     "Arial",
     9.0,
     false,
     {kUnsupportedGerman, kStartupFailedEnglish}},
};

INSTANTIATE_TEST_SUITE_P(Configurations, StartupTest, ::testing::ValuesIn(kStartupCases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(Startup, EmptyTableOpensButIsNotReady) {
  ProgramFolder folder;
  folder.WriteConfig(fixture::Config("1031"));
  folder.WriteDatabase(1031, {});
  CResource resource(folder.path());
  EXPECT_FALSE(resource.ResourceDBOpened());
  EXPECT_EQ(resource.LocaleID(), 1031);
  EXPECT_TRUE(folder.host.messages.empty());
  EXPECT_EQ(textcatalog::Installed(), nullptr);
}

TEST(Startup, DatabaseWithoutTranslationsTableReportsTheErrorAndIsNotReady) {
  ProgramFolder folder;
  folder.WriteConfig(fixture::Config("1033"));
  folder.WriteDatabase(1033, {});
  {
    auto database = db::Database::Open(folder.path() + "1033/Resource.mdb", db::OpenMode::kReadWrite);
    database->Execute("DROP TABLE Translations");
  }
  CResource resource(folder.path());
  EXPECT_FALSE(resource.ResourceDBOpened());
  ASSERT_EQ(folder.host.messages.size(), 1u);
  EXPECT_EQ(folder.host.messages[0].title, "VEXON.CResource.OpenResources");
  EXPECT_NE(folder.host.messages[0].text.find("Translations"), std::string::npos);
}

TEST(Startup, UnreadableFontSizeFallsBackToEnglishAfterAnErrorBox) {
  ProgramFolder folder;
  folder.WriteConfig(fixture::Config("1031", "neun"));
  folder.WriteDatabase(1031, {{"f", "c", "", "CAPTION", false, 0, "x", 0, {}}});
  folder.WriteDatabase(1033, {{"f", "c", "", "CAPTION", false, 0, "x", 0, {}}});
  CResource resource(folder.path());
  EXPECT_EQ(resource.LocaleID(), 1033);
  EXPECT_EQ(resource.FontName(), "Arial");
  EXPECT_TRUE(resource.ResourceDBOpened());
  ASSERT_EQ(folder.host.messages.size(), 1u);
  EXPECT_EQ(folder.host.messages[0].title, "VEXON.CResource.GetLanguageSettings");
  EXPECT_EQ(folder.host.messages[0].style, ui::kExclamation);
}

TEST(Startup, FontSizeReadsTheSameUnderACommaLocale) {
  const std::string savedC = std::setlocale(LC_ALL, nullptr);
  const std::locale savedCpp;
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
    if (kestrin_test::CommaLocale::Required()) FAIL() << "the locale de_DE.UTF-8 is missing";
    GTEST_SKIP() << "no German locale installed";
  }
  std::locale::global(std::locale("de_DE.UTF-8"));
  double size = 0.0;
  {
    ProgramFolder folder;
    folder.WriteConfig(fixture::Config("1031", "9.5"));
    folder.WriteDatabase(1031, {{"f", "c", "", "CAPTION", false, 0, "x", 0, {}}});
    CResource resource(folder.path());
    size = resource.FontSize();
    EXPECT_TRUE(folder.host.messages.empty());
  }
  std::locale::global(savedCpp);
  std::setlocale(LC_ALL, savedC.c_str());
  EXPECT_DOUBLE_EQ(size, 9.5);
}

TEST(Startup, NamesKeepTheirValueWhenSetEmpty) {
  ProgramFolder folder;
  CResource resource(folder.path());
  resource.CurrentForm("frmMain");
  resource.CurrentForm("");
  EXPECT_EQ(resource.CurrentForm(), "frmMain");
  resource.Language("Deutsch");
  resource.Language("");
  EXPECT_EQ(resource.Language(), "Deutsch");
}

}  // namespace
