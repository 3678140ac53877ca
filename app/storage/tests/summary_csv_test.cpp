// The summary CSV: the exact file of the default project in both passes, the flow and
// "n/a" rules, quoting, and the refusals.
#include <cerrno>
#include <cstring>

#include "app/storage/tests/storage_fixture.h"
#include "libs/testsupport/read_only_folder.h"
#include "libs/vb/tests/comma_locale.h"
#include "platform/savefile/tests/disk_limit.h"

using namespace modDataIO;

namespace {

std::string Join(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\r\n";
  return s;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find("\r\n", pos);
    out.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return out;
}

}  // namespace

class SummaryCsv : public StorageTest {
 protected:
  void SetUp() override {
    StorageTest::SetUp();
    InitProject(p_);
    wf_(0) = 0.1f;
    wf_(1) = 0.2f;
    wf_(2) = 0.3f;
    wf_(3) = 0.4f;
    ecwt_(0) = 60;
    ecwt_(1) = 65;
    ecwt_(2) = 70;
    ecwt_(3) = 80;
    path_ = dir_ + "CPLVSummaryResults.csv";
  }
  ProjectData p_;
  vb::Array<float, 0, 3> wf_, ecwt_;
  std::string path_;
};

TEST_F(SummaryCsv, DefaultProjectInBothPasses) {
  WriteAll(path_, "old content that is longer than nothing");
  ASSERT_TRUE(ExportCSV(path_, p_, wf_, ecwt_));
  const std::string expected = Join({
      "Project Name:,\"untitled\"",
      "",
      "Units,0,IP",
      "Chiller Load (%),Evaporator Leaving Temp (F),Evaporator Flow Rate (gpm),Condenser Entering Temp (F),"
      "Condenser Flow Rate (gpm),Weighting Factor",
      "100,44.0,1440.0,80.0,1800.0,0.400",
      "75,44.0,1440.0,70.0,1800.0,0.300",
      "50,44.0,1440.0,65.0,1800.0,0.200",
      "25,44.0,1440.0,60.0,1800.0,0.100",
      "WEATHER",
      "City,\"Chicago IAP\"",
      "Location,\"Illinois\"",
      "Region,\"U.S.A.\"",
      "",
      "BUILDING",
      "Building Type,\"Large Office\"",
      "Peak Building Load,1200.0, (Tons)",
      "Economizer,No Economizer",
      "",
      "CHILLER PLANT",
      "Plant Capacity,1200.0, (Tons)",
      "Chillers in Plant,2",
      "Plant Control,\"Sequenced\"",
      "Design LCHWT,44.0, (F)",
      "Design ECWT,85.0, (F)",
      "Minimum ECWT,55.0, (F)",
      "Evaporator Flow Rate,2.40, (gpm/Ton)",
      "Evaporator Flow Control,\"Constant Primary Flow\"",
      "Condenser Flow Rate,3.00, (gpm/Ton)",
      "",
      "COOLING TOWER",
      "Design Wet-Bulb,78.0, (F)",
      "Design Approach,7.0, (F)",
      "",
      "Project Name:,\"untitled\"",
      "",
      "Units,1,SI",
      "Chiller Load (%),Evaporator Leaving Temp (C),Evaporator Flow Rate (L/s),Condenser Entering Temp (C),"
      "Condenser Flow Rate (L/s),Weighting Factor",
      "100,6.7,90.8,26.7,113.6,0.400",
      "75,6.7,90.8,21.1,113.6,0.300",
      "50,6.7,90.8,18.3,113.6,0.200",
      "25,6.7,90.8,15.6,113.6,0.100",
      "WEATHER",
      "City,\"Chicago IAP\"",
      "Location,\"Illinois\"",
      "Region,\"U.S.A.\"",
      "",
      "BUILDING",
      "Building Type,\"Large Office\"",
      "Peak Building Load,4220.2, (kW)",
      "Economizer,No Economizer",
      "",
      "CHILLER PLANT",
      "Plant Capacity,4220.2, (kW)",
      "Chillers in Plant,2",
      "Plant Control,\"Sequenced\"",
      "Design LCHWT,6.7, (C)",
      "Design ECWT,29.4, (C)",
      "Minimum ECWT,12.8, (C)",
      "Evaporator Flow Rate,0.043, (L/(s-kW))",
      "Evaporator Flow Control,\"Constant Primary Flow\"",
      "Condenser Flow Rate,0.054, (L/(s-kW))",
      "",
      "COOLING TOWER",
      "Design Wet-Bulb,25.6, (C)",
      "Design Approach,3.9, (K)",
      "",
  });
  const std::string actual = ReadAll(path_);
  EXPECT_EQ(Lines(actual).size(), 66u);
  EXPECT_EQ(actual, expected);
  EXPECT_TRUE(host_.messages.empty());
}

// A decimal-comma locale changes no byte of the file.
TEST_F(SummaryCsv, TheSameFileWhateverTheLocale) {
  p_.EvapFlowRate = 2.45f;
  p_.ChillerNumber = 3;
  ASSERT_TRUE(ExportCSV(path_, p_, wf_, ecwt_));
  const std::string plain = ReadAll(path_);
  KESTRIN_USE_COMMA_LOCALE(comma);
  ASSERT_TRUE(ExportCSV(path_, p_, wf_, ecwt_));
  EXPECT_EQ(ReadAll(path_), plain);
  EXPECT_NE(plain.find("Evaporator Flow Rate,2.45, (gpm/Ton)"), std::string::npos) << plain;
}

TEST_F(SummaryCsv, VariableFlowAndTheNotAvailableBoundary) {
  p_.EvapFlowControl = 2;
  wf_(3) = 0.0001f;   // exactly the limit: the ECWT is shown
  wf_(2) = 0.00009f;  // below: "n/a"
  wf_(0) = 0;
  ASSERT_TRUE(ExportCSV(path_, p_, wf_, ecwt_));
  const auto lines = Lines(ReadAll(path_));
  EXPECT_EQ(lines[4], "100,44.0,1440.0,80.0,1800.0,0.000");
  EXPECT_EQ(lines[5], "75,44.0,1080.0,n/a,1800.0,0.000");
  EXPECT_EQ(lines[6], "50,44.0,720.0,65.0,1800.0,0.200");
  EXPECT_EQ(lines[7], "25,44.0,360.0,n/a,1800.0,0.000");
}

TEST_F(SummaryCsv, QuotesAreDoubledAndEconomizersNamed) {
  p_.ProjectName = "The \"Big\" Plant, Phase 2";
  p_.Economizer = 1;
  ASSERT_TRUE(ExportCSV(path_, p_, wf_, ecwt_));
  auto lines = Lines(ReadAll(path_));
  EXPECT_EQ(lines[0], "Project Name:,\"The \"\"Big\"\" Plant, Phase 2\"");
  EXPECT_EQ(lines[16], "Economizer,Outdoor Air Economizer");
  p_.Economizer = 2;
  ASSERT_TRUE(ExportCSV(path_, p_, wf_, ecwt_));
  EXPECT_EQ(Lines(ReadAll(path_))[16], "Economizer,Waterside Economizer");
  p_.Economizer = 4;  // tolerated: no economizer
  ASSERT_TRUE(ExportCSV(path_, p_, wf_, ecwt_));
  EXPECT_EQ(Lines(ReadAll(path_))[16], "Economizer,No Economizer");
}

TEST_F(SummaryCsv, RefusalsWriteNothing) {
  WriteAll(path_, "previous export");
  p_.ChillerNumber = 0;
  EXPECT_FALSE(ExportCSV(path_, p_, wf_, ecwt_));
  EXPECT_NE(TakeMessage().find("0 chillers"), std::string::npos);
  EXPECT_EQ(ReadAll(path_), "previous export");
  p_.ChillerNumber = 2;
  // A path that cannot take the file names why (a folder that does not exist, a folder at the
  // path) and how to choose another; nothing is made there.
  std::filesystem::create_directory(dir_ + "folder");
  const struct {
    std::string path, message;
  } unreachable[] = {
      {dir_ + "missing/x.csv", "The summary CSV file " + dir_ + "missing/x.csv was not written: its folder " + dir_ +
                                   "missing does not exist.\nChoose a CSV file in an existing folder in the report "
                                   "options."},
      {dir_ + "folder", "The summary CSV file " + dir_ +
                            "folder was not written: it is a folder.\nChoose a CSV file in the report options."},
  };
  for (const auto& row : unreachable) {
    SCOPED_TRACE(row.path);
    host_.messages.clear();
    EXPECT_FALSE(ExportCSV(row.path, p_, wf_, ecwt_));
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(host_.messages[0].title, "modDataIO.ExportCSV");
    EXPECT_EQ(host_.messages[0].text.rfind(row.message, 0), 0u) << host_.messages[0].text;
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ + "missing"));
  EXPECT_TRUE(std::filesystem::is_empty(dir_ + "folder"));
}

// A CSV that the run did not get to (the scratch folder refused the run, the run was
// cancelled) says that cause alone and to run the reports again, not a folder to change.
TEST_F(SummaryCsv, ACsvTheRunDidNotGetToNamesOnlyThatCause) {
  for (const char* reason :
       {"the calculation's input could not be stored in the scratch folder", "the report run was cancelled"}) {
    EXPECT_EQ(CsvNotWrittenMessage(path_, reason), "The summary CSV file " + path_ + " was not written: " + reason +
                                                       ".\nRun the reports again to write it.");
  }
}

// A write that fails names its cause and what to do about it, not a folder that cannot be
// written to: a full disk, a read-only disk. The old file stays.
TEST_F(SummaryCsv, AFailedWriteNamesItsCause) {
  WriteAll(path_, "previous export");
  {
    savefile::testing::DiskOf disk(64);
    EXPECT_FALSE(ExportCSV(path_, p_, wf_, ecwt_));
  }
  std::string full = TakeMessage();
  EXPECT_EQ(full.rfind("The summary CSV file " + path_ + " was not written: the disk of the folder " + root_.string() +
                           " is full.\nMake room on that disk",
                       0),
            0u)
      << full;
  EXPECT_EQ(full.find("cannot be written to"), std::string::npos) << full;
  EXPECT_EQ(ReadAll(path_), "previous export");

  const std::string readOnly = testsupport::InReadOnlyFolder(root_.string(), [&] {
    host_.messages.clear();
    const bool written = ExportCSV(path_, p_, wf_, ecwt_);
    return (written ? "written: " : "refused: ") + (host_.messages.empty() ? std::string() : host_.messages[0].text);
  });
  EXPECT_EQ(readOnly.rfind("refused: The summary CSV file " + path_ + " was not written: the folder " + root_.string() +
                               " is on a read-only disk.\nChoose a CSV file in another folder",
                           0),
            0u)
      << readOnly;
  EXPECT_NE(readOnly.find(std::strerror(EROFS)), std::string::npos) << readOnly;
  EXPECT_EQ(ReadAll(path_), "previous export");
}

// A CSV path in the program folder (a settings file edited by hand holds one) is refused
// before anything is written, with one message naming the file and why: a shipped file's
// name, a new name, and a link elsewhere to a shipped file.
TEST_F(SummaryCsv, APathInTheProgramFolderIsRefusedAndNothingIsWritten) {
  const std::string program = dir_ + "program/";
  std::filesystem::create_directories(program);
  WriteAll(program + "ECO.DAT", "shipped economics");
  std::filesystem::create_symlink(program + "ECO.DAT", dir_ + "linked.csv");
  const std::string previous = modpublic::gAppPath;
  modpublic::gAppPath = program;
  for (const std::string& path : {program + "ECO.DAT", program + "new.csv", dir_ + "linked.csv"}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(ExportCSV(path, p_, wf_, ecwt_));
    const std::string message = TakeMessage();
    EXPECT_EQ(message, "The summary CSV file " + path + " is in the program folder " + dir_ +
                           "program, which holds the program's own files: nothing is written there.\nChoose a CSV "
                           "file in another folder.");
  }
  modpublic::gAppPath = previous;
  EXPECT_EQ(ReadAll(program + "ECO.DAT"), "shipped economics");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program), {}), 1);
}

// The program folder mounted a second time is the program folder under another name: a CSV
// path through that mount is refused as well, and the folder's files stay as they were.
TEST_F(SummaryCsv, APathThroughASecondMountOfTheProgramFolderIsRefused) {
  const std::string program = dir_ + "program/";
  std::filesystem::create_directories(program);
  WriteAll(program + "ECO.DAT", "shipped economics");
  const std::string at = dir_ + "at";
  std::filesystem::create_directories(at);
  const std::string previous = modpublic::gAppPath;
  modpublic::gAppPath = program;
  KESTRIN_REQUIRE_BOUND_FOLDER();
  const std::string seen = testsupport::InBoundFolder(program, at, [&] {
    std::string faults;
    for (const std::string& path : {at + "/ECO.DAT", at + "/new.csv"}) {
      host_.messages.clear();
      if (ExportCSV(path, p_, wf_, ecwt_)) faults += "written: " + path + "\n";
      const std::string expected = "The summary CSV file " + path + " is in the program folder " + dir_ +
                                   "program, which holds the program's own files: nothing is written there.\nChoose "
                                   "a CSV file in another folder.";
      if (host_.messages.size() != 1 || host_.messages[0].text != expected)
        faults += "not the refusal for " + path + "\n";
    }
    return faults;
  });
  modpublic::gAppPath = previous;
  EXPECT_EQ(seen, "");
  EXPECT_EQ(ReadAll(program + "ECO.DAT"), "shipped economics");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(program), {}), 1);
}
