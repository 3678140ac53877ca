#include "app/storage/modpublic.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/help/help.h"
#include "platform/ui/ui.h"

namespace {

using namespace modpublic;

// Every test starts with the names set and the shared converter in inch-pound units, with
// a recording host so that no message box can open.
class ModPublic : public testing::Test {
 protected:
  void SetUp() override {
    vb::Err().Clear();
    ASSERT_TRUE(InitGlobalSettings("/opt/kestrin"));
    gUnits.CurrentUnitOfMeasure(nENGLISH);
    gUnits.UseStandardLabels(true);
  }
  void TearDown() override {
    gUnits.CurrentUnitOfMeasure(nENGLISH);
    vb::Err().Clear();
  }
  ui::RecordingHost host;
  ui::ScopedHost scope{host};
};

TEST_F(ModPublic, NameTablesHoldTheProgramTexts) {
  EXPECT_EQ(gAppPath, "/opt/kestrin/");
  EXPECT_EQ(gHelpFile, "/opt/kestrin/VEXON.html");
  EXPECT_EQ(gMaxText + gMinText + gYrText + gYrsText, "MaxMinyryrs");
  const std::vector<std::string> months(gMonthNames.begin() + 1, gMonthNames.end());
  EXPECT_EQ(months, (std::vector<std::string>{"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct",
                                              "Nov", "Dec"}));
  EXPECT_EQ(gDataIOErrorMsg, "The following error occurred while reading or writing data:");
  EXPECT_EQ(gFileFilterNames[1], "All Files");
  EXPECT_EQ(gFileFilterNames[2], "Chiller Library Files");
  EXPECT_EQ(gFileFilterNames[3], "Report Files");
  EXPECT_EQ(gFileFilterNames[4], "Weather Files");
  EXPECT_EQ(gFileFilterNames[5], "Chiller Data Files");
  const char* types[12] = {"W/C Centrifugal",
                           "W/C Rotary Screw",
                           "W/C Packaged Screw",
                           "W/C Packaged Reciprocating",
                           "W/C Packaged Scroll",
                           "W/C Single-Effect Absorption",
                           "W/C Double-Effect Absorption",
                           "W/C Direct-Fired Absorption",
                           "W/C Engine Chiller",
                           "A/C Packaged Screw",
                           "A/C Packaged Reciprocating",
                           "A/C Packaged Scroll"};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(gChillerTypes[i].Name, types[i]) << i;
  EXPECT_EQ(gPaymentTypes[1], "Equal payments");
  EXPECT_EQ(gPaymentTypes[2], "Interest only payments");
  EXPECT_EQ(gPaymentTypes[3], "Equal principal payments");
  EXPECT_EQ(gPlantControls[1], "Sequenced");
  EXPECT_EQ(gPlantControls[2], "Part Load Chiller: Low Loads");
  EXPECT_EQ(gPlantControls[3], "Part Load Chiller: High + Low Loads");
  EXPECT_EQ(gPlantControls[4], "Equal Unloading to 0%");
  EXPECT_EQ(gDayTypes[1], "WeekDay");
  EXPECT_EQ(gDayTypes[2], "Saturday");
  EXPECT_EQ(gDayTypes[3], "Sunday");
  EXPECT_EQ(gHeatRecoveryOption, 0);
  EXPECT_EQ(gSystemEfficiencyUnitID, NO_CONV);
  EXPECT_EQ(gEfficiencyUnitID, NO_CONV);
  EXPECT_TRUE(host.messages.empty());

  std::vector<std::string> names{"x"};
  GetMonthNames(names);
  ASSERT_EQ(names.size(), 13u);
  EXPECT_EQ(names[1], "Jan");
  EXPECT_EQ(names[12], "Dec");
}

struct FormatCase {
  double value;
  long id;
  UnitOfMeasure system;
  const char* format;
  const char* expected;
};

TEST_F(ModPublic, FormatUnitValueByIdAndSystem) {
  const FormatCase cases[] = {
      {1234567, TONS_TO_KW, nENGLISH, "", "1,234,567"},
      {1000, TONS_TO_KW, nMETRIC, "", "3,517"},
      {1234.4, TONHR_TO_KWH, nENGLISH, "", "1,234"},
      {1000, TONHR_TO_KWH, nMETRIC, "", "3,517"},
      {44.96, F_TO_C, nENGLISH, "", "45.0"},
      {212, F_TO_C, nMETRIC, "", "100.0"},
      {10, F_TO_K, nENGLISH, "", "10.0"},
      {10, F_TO_K, nMETRIC, "", "5.6"},
      {0.5, NO_CONV, nENGLISH, "", "0.500"},
      {0.5, NO_CONV, nMETRIC, "", "0.500"},
      {0.6, KWTON_TO_IKWKW, nENGLISH, "", "0.600"},
      {0.6, KWTON_TO_IKWKW, nMETRIC, "", "0.171"},
      {87.5, PCT_TO_PCT, nENGLISH, "", "88"},
      {87.5, PCT_TO_PCT, nMETRIC, "", "88"},
      {2.4, GPMTON_TO_LSKW, nENGLISH, "", "2.40"},
      {2.4, GPMTON_TO_LSKW, nMETRIC, "", "0.043"},
      {100, GPM_TO_LPS, nENGLISH, "", "100"},  // no pattern: plain number text
      {100, GPM_TO_LPS, nMETRIC, "", "6.30902"},
      {12.25, FT_TO_M, nENGLISH, "", "12.25"},
      {1234567, TONS_TO_KW, nENGLISH, "0.0", "1234567.0"},  // an explicit format wins
      {100, GPM_TO_LPS, nMETRIC, " 0.0 ", " 6.3 "},         // spaces in a format are literal
      {0.5, NO_CONV, nENGLISH, "  ", "0.500"},              // a blank format chooses by id
      {5, 1000, nMETRIC, "", "5"},                          // unknown id: unconverted
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " id " << c.id << " system " << c.system << " format '" << c.format
                                    << "'");
    gUnits.CurrentUnitOfMeasure(c.system);
    EXPECT_EQ(FormatUnitValue(c.value, c.id, c.format), c.expected);
  }
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ModPublic, FormatUnitValueOfText) {
  EXPECT_EQ(FormatUnitValue("  n/a ", TONS_TO_KW), "n/a");
  EXPECT_EQ(FormatUnitValue("", TONS_TO_KW), "");
  EXPECT_EQ(FormatUnitValue(" 1234567 ", TONS_TO_KW), "1,234,567");
  gUnits.CurrentUnitOfMeasure(nMETRIC);
  EXPECT_EQ(FormatUnitValue(std::string("212"), F_TO_C), "100.0");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ModPublic, FormatUnitValueFailureShowsTheBoxAndGivesEmptyText) {
  const long zero = gUnits.AddUnit(0, "x", "y", "ZERO_TEST");
  ASSERT_GT(zero, 63);
  gUnits.CurrentUnitOfMeasure(nMETRIC);
  // A factor-0 row converts to SI fine, and the display path never converts back.
  EXPECT_EQ(FormatUnitValue(5, zero, "0.0"), "0.0");
  EXPECT_TRUE(host.messages.empty());
  const long huge = gUnits.AddUnit(1e308, "x", "y", "HUGE_TEST");
  EXPECT_EQ(FormatUnitValue(10, huge), "");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "Error 6 - Overflow");
  EXPECT_EQ(host.messages[0].style, 16);
  EXPECT_EQ(host.messages[0].title, "modPublic.FormatUnitValue()");
}

TEST_F(ModPublic, AddUnitLabel) {
  EXPECT_EQ(AddUnitLabel("  Capacity ", TONS_TO_KW, false), "Capacity Tons");
  EXPECT_EQ(AddUnitLabel("Capacity", TONS_TO_KW, true), "Capacity (Tons)");
  EXPECT_EQ(AddUnitLabel("", TONS_TO_KW, false), " Tons");
  EXPECT_EQ(AddUnitLabel(" Efficiency ", NO_CONV, true), "Efficiency");
  EXPECT_EQ(AddUnitLabel("Efficiency ", gUnits.Count() + 1, true), "Efficiency");
  EXPECT_EQ(AddUnitLabel("Efficiency", -1, false), "Efficiency");
  gUnits.CurrentUnitOfMeasure(nMETRIC);
  EXPECT_EQ(AddUnitLabel("ECWT", F_TO_C, true), "ECWT (C)");
  gUnits.UseStandardLabels(false);
  EXPECT_EQ(AddUnitLabel("ECWT", F_TO_C, true), "ECWT (°C)");
  gUnits.UseStandardLabels(true);
}

// ShowError: text composition from message, current error, platform error and suffix.
struct ShowErrorCase {
  const char* message;
  long errNumber;
  const char* errDescription;
  long lastDllError;
  const char* suffix;
  const char* title;
  const char* expectedText;  // nullptr: nothing shown
  const char* expectedTitle;
};

TEST_F(ModPublic, ShowErrorComposition) {
  const std::string enoent = GetSystemErrorText(ENOENT);
  ASSERT_FALSE(enoent.empty());
  const ShowErrorCase cases[] = {
      {"Calculations failed due to the following error:", 11, "Division by zero", 0, "", "bCalcController",
       "Calculations failed due to the following error:\r\n\r\nError 11 - Division by zero", "bCalcController"},
      {"", 9, "Subscript out of range", 0, "", "modPublic.FileExists()", "Error 9 - Subscript out of range",
       "modPublic.FileExists()"},
      {"Message only", 0, "", 0, "", "T", "Message only", "T"},
      {"Msg", 53, "File not found", 0, " (suffix)", "T", "Msg\r\n\r\nError 53 - File not found (suffix)", "T"},
      {"", 0, "", 0, "tail", "T", "tail", "T"},
      {"Msg", 0, "", 0, "", "", "Msg", "Kestrin"},  // empty title: the application's title
      {"", 0, "", 0, "", "T", nullptr, nullptr},    // nothing to say: nothing shown
      // No run-time error, but a platform error: with a description, that form with the
      // platform number; without, the system's text for the number.
      {"Msg", 0, "Access denied", 13, "", "T", "Msg\r\n\r\nError 13 - Access denied", "T"},
  };
  for (const ShowErrorCase& c : cases) {
    SCOPED_TRACE(c.message + std::string("|") + c.suffix);
    host.messages.clear();
    vb::ErrObject& err = vb::Err();
    err.Number = c.errNumber;
    err.Description = c.errDescription;
    err.LastDllError = c.lastDllError;
    ShowError(c.message, 48, c.title, c.suffix);
    if (c.expectedText == nullptr) {
      EXPECT_TRUE(host.messages.empty());
      EXPECT_EQ(err.Number, c.errNumber);  // the error state is left as it was
    } else {
      ASSERT_EQ(host.messages.size(), 1u);
      EXPECT_EQ(host.messages[0].text, c.expectedText);
      EXPECT_EQ(host.messages[0].title, c.expectedTitle);
      EXPECT_EQ(host.messages[0].style, 48);
      EXPECT_EQ(err.Number, 0);  // cleared once shown
      EXPECT_EQ(err.LastDllError, 0);
    }
  }

  host.messages.clear();
  vb::Err().LastDllError = ENOENT;
  ShowError("Cannot open", 16, "T");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "Cannot open\r\n\r\n" + enoent);
  EXPECT_EQ(host.messages[0].text.find("Error 2  -  "), 15u);
}

TEST_F(ModPublic, ShowErrorRestoresTheCursor) {
  host.setWaitCursor(true);
  ShowError("", 16, "T");  // nothing to show: the cursor is restored all the same
  EXPECT_FALSE(host.waitCursor);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(ModPublic, SystemErrorText) {
  EXPECT_EQ(GetSystemErrorText(0), "");
  EXPECT_EQ(GetSystemErrorText(987654), "");
  const std::string t = GetSystemErrorText(ENOENT);
  EXPECT_EQ(t.rfind("Error " + std::to_string(ENOENT) + "  -  ", 0), 0u);
  EXPECT_GT(t.size(), 12u);
}

TEST_F(ModPublic, RunGuardedKeepsConverterErrorNumbers) {
  const bool ok = RunGuarded("caller()", "", 48, [] { gUnits.ConvertUnitValue(1, 9999, nMETRIC); });
  EXPECT_FALSE(ok);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "Error 9 - Subscript out of range");
}

TEST_F(ModPublic, RunGuardedKeepsTheNumberOfAnyLibrarysError) {
  // A library's own error type (the psychrometric library's, say) derives from NumberedError.
  struct LibraryError : NumberedError {
    using NumberedError::NumberedError;
  };
  EXPECT_FALSE(RunGuarded("caller()", "", 48, [] { throw LibraryError(11, "Division by zero"); }));
  EXPECT_FALSE(RunGuarded("caller()", "", 48, [] { throw std::runtime_error("plain"); }));
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0].text, "Error 11 - Division by zero");
  EXPECT_EQ(host.messages[1].text, "Error 5 - plain");
}

TEST_F(ModPublic, RunGuardedBuildsTheMessageFromTheStepThatFailed) {
  std::string step = "Opening";
  const bool ok = RunGuarded(
      "caller()", [&] { return step + " failed"; }, 16,
      [&] {
        step = "Reading";
        vb::Raise(vb::kFileNotFound, "File not found");
      });
  EXPECT_FALSE(ok);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "Reading failed\r\n\r\nError 53 - File not found");
}

TEST_F(ModPublic, UpdateProgress) {
  ui::RecordingProgress progress;
  {
    ui::ScopedProgressTarget target(progress);
    EXPECT_TRUE(UpdateProgress(kProgressCalculating, 12.5, "Bin 1"));
    EXPECT_EQ(progress.action, "Calculating...");
    EXPECT_TRUE(UpdateProgress(kProgressGenerating, 50, "Report"));
    EXPECT_EQ(progress.action, "Generating...");
    EXPECT_TRUE(UpdateProgress(7, 60, "Other"));  // another mode leaves the caption
    EXPECT_EQ(progress.action, "Generating...");
    EXPECT_EQ(progress.values, (std::vector<float>{12.5f, 50.f, 60.f}));
    EXPECT_EQ(progress.messages, (std::vector<std::string>{"Bin 1", "Report", "Other"}));
    EXPECT_EQ(host.eventPumps, 3);

    // After Cancel: False, and neither the bar, the captions nor the events are touched.
    progress.canceled = true;
    EXPECT_FALSE(UpdateProgress(kProgressCalculating, 99, "late"));
    EXPECT_EQ(progress.values.size(), 3u);
    EXPECT_EQ(progress.action, "Generating...");
    EXPECT_EQ(progress.message, "Other");
    EXPECT_EQ(host.eventPumps, 3);
  }
  // No progress window: nothing to do, and no window is created.
  EXPECT_TRUE(UpdateProgress(kProgressCalculating, 1, "x"));
  EXPECT_EQ(host.eventPumps, 3);
}

TEST_F(ModPublic, PlantControlAndDayTypes) {
  std::string name = "unchanged";
  for (long index : {0L, 5L, -1L}) {
    EXPECT_TRUE(GetPlantControl(index, name)) << index;  // True out of range, on purpose
    EXPECT_EQ(name, "unchanged");
  }
  EXPECT_TRUE(GetPlantControl(3, name));
  EXPECT_EQ(name, "Part Load Chiller: High + Low Loads");

  const struct {
    const char* key;
    const char* name;
  } days[] = {{" saturday ", "Saturday"},
              {"WEEKDAY", "WeekDay"},
              {"Sunday", "Sunday"},
              {"", ""},
              {"Holiday", ""},
              {"week day", ""}};
  for (const auto& d : days) EXPECT_EQ(GetDayTypeName(d.key), d.name) << d.key;
}

TEST_F(ModPublic, OperatingPeriod) {
  EXPECT_EQ(GetOpPeriodString(5, 9, 1, 30), "From 5/1 To 9/30");
  EXPECT_EQ(GetOpPeriodString(10, 3, 15, 1), "From 10/15 To 3/1");
}

TEST_F(ModPublic, StringHelpers) {
  const struct {
    std::string (*fn)(const std::string&);
    std::string in;
    std::string out;
  } cases[] = {
      {AddBackslash, "  /data/x ", "/data/x/"},
      {AddBackslash, "/data/x/", "/data/x/"},
      {AddBackslash, "   ", ""},
      {QuoteString, " abc ", "'abc'"},
      {QuoteString, "'abc'", "'abc'"},
      {QuoteString, "'abc", "'abc'"},
      {QuoteString, "abc'", "'abc'"},
      {QuoteString, "", ""},
      {TrimNull, std::string("  ab  \0junk  ", 13), "ab  "},  // spaces before the NUL stay
      {TrimNull, " plain ", "plain"},
      {TrimNull, std::string("\0x", 2), ""},
      {BracketName, "Sys 1", "[Sys 1]"},
      {Parenthesize, "", "()"},
      {Parenthesize, "Tons", "(Tons)"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.fn(c.in), c.out) << "'" << c.in << "'";

  EXPECT_EQ(GetLetter(1, true), "A");
  EXPECT_EQ(GetLetter(26, false), "z");
  EXPECT_EQ(GetLetter(3, false), "c");
  EXPECT_EQ(GetLetter(0, true), "");
  EXPECT_EQ(GetLetter(27, true), "");
}

TEST_F(ModPublic, FileExists) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kestrin_fileexists";
  std::filesystem::create_directories(dir);
  const std::filesystem::path file = dir / "a b.txt";
  std::ofstream(file) << "x";
  EXPECT_TRUE(FileExists(file.string()));
  EXPECT_TRUE(FileExists("  " + file.string() + "  "));
  EXPECT_TRUE(FileExists(dir.string()));  // folders count
  EXPECT_FALSE(FileExists((dir / "missing.txt").string()));
  EXPECT_FALSE(FileExists((dir / "a*.txt").string()));
  EXPECT_FALSE(FileExists((dir / "a b.tx?").string()));
  EXPECT_FALSE(FileExists("   "));
  EXPECT_FALSE(FileExists((file / "below").string()));
  EXPECT_TRUE(host.messages.empty());
  std::filesystem::remove_all(dir);
}

struct FakeList : ListControl {
  std::vector<long> data;
  int selected = -1;
  int ListCount() const override { return static_cast<int>(data.size()); }
  long ItemData(int i) const override { return data.at(static_cast<std::size_t>(i)); }
  void ListIndex(int i) override { selected = i; }
};

TEST_F(ModPublic, SelectItemByItemData) {
  FakeList list;
  list.data = {10, 20, 30, 20};
  EXPECT_EQ(SelectItemByItemData(&list, 20), 1);  // the first match
  EXPECT_EQ(list.selected, 1);
  EXPECT_EQ(SelectItemByItemData(&list, 10), 0);
  EXPECT_EQ(list.selected, 0);
  list.selected = 3;
  EXPECT_EQ(SelectItemByItemData(&list, 99), -1);  // no match: nothing selected, not the first
  EXPECT_EQ(list.selected, -1);

  FakeList empty;
  empty.selected = 7;  // an empty list is left alone
  EXPECT_EQ(SelectItemByItemData(&empty, 1), -1);
  EXPECT_EQ(empty.selected, 7);
  EXPECT_EQ(SelectItemByItemData(nullptr, 1), -1);
}

struct RecordingOpener : help::Opener {
  std::vector<std::string> urls;
  bool open(const std::string& url) override {
    urls.push_back(url);
    return true;
  }
};

TEST_F(ModPublic, ShowHelpTopicOpensOnlyAnExistingHelpFile) {
  RecordingOpener opener;
  help::setOpener(&opener);
  ShowHelpTopic(0, 10000);  // /opt/kestrin/VEXON.html does not exist
  EXPECT_TRUE(opener.urls.empty());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "The help file " + gHelpFile + " was not found.");
  host.messages.clear();

  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "kestrin_help";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "VEXON.html") << "<html></html>";
  ASSERT_TRUE(InitGlobalSettings(dir.string()));
  ShowHelpTopic(0, 31010);
  help::setOpener(nullptr);
  ASSERT_EQ(opener.urls.size(), 1u);
  EXPECT_EQ(opener.urls[0], "file://" + (dir / "VEXON.html").string() + "#ctx31010");
  EXPECT_TRUE(host.messages.empty());

  // A desktop without a browser: the user is told, with the help file's path.
  struct NoBrowser : help::Opener {
    bool open(const std::string&) override { return false; }
  } none;
  help::setOpener(&none);
  ShowHelpTopic(0, 31020);
  help::setOpener(nullptr);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "No web browser could be started to show the help.\nThe help is the file " +
                                       (dir / "VEXON.html").string() + "; open it in a web browser.");
  std::filesystem::remove_all(dir);
}

struct FakeForm {
  int* closes;
  bool failClose = false;
  void close() {
    ++*closes;
    if (failClose) throw std::runtime_error("already gone");
  }
};

TEST_F(ModPublic, UnloadFormClosesAndClearsTheReference) {
  int closes = 0;
  auto form = std::make_unique<FakeForm>(FakeForm{&closes, true});
  const long ignored = vb::IgnoredErrorCount();
  UnloadForm(form);  // the error of close is ignored, and noted
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(vb::IgnoredErrorCount(), ignored + 1);
  EXPECT_EQ(form, nullptr);
  UnloadForm(form);  // no window: nothing to close
  EXPECT_EQ(closes, 1);
}

struct FakeTextBox {
  std::string value;
  int start = -1, length = -1;
  const std::string& text() const { return value; }
  void setSelection(int s, int n) {
    start = s;
    length = n;
  }
};

TEST_F(ModPublic, SelectAllTextSelectsTheWholeText) {
  FakeTextBox box{"12.5", 2, 1};
  SelectAllText(box);
  EXPECT_EQ(box.start, 0);
  EXPECT_EQ(box.length, 4);
  box.value.clear();
  SelectAllText(box);
  EXPECT_EQ(box.length, 0);
}

struct FakeDb {
  std::string name = "INX.MDB";
  bool closed = false;
  bool throwOnName = false;
  void Close() {
    closed = true;
    throw std::runtime_error("already closed");
  }
  std::string Name() const {
    if (throwOnName) throw std::runtime_error("closed");
    return name;
  }
};

TEST_F(ModPublic, DatabaseObjectHelpers) {
  auto db = std::make_unique<FakeDb>();
  FakeDb* raw = db.get();
  EXPECT_TRUE(IsDatabaseOpen(db));
  raw->throwOnName = true;
  EXPECT_FALSE(IsDatabaseOpen(db));  // any error counts as closed
  raw->throwOnName = false;
  raw->name.clear();
  EXPECT_FALSE(IsRecordsetOpen(db));
  CloseDatabase(db);  // the error of Close is ignored; the reference is cleared
  EXPECT_EQ(db, nullptr);
  CloseRecordset(db);  // an empty reference is fine
  EXPECT_FALSE(IsDatabaseOpen(db));
}

}  // namespace
