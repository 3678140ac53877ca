// Project and settings XML files: exact default file, round trips, load semantics,
// validation, file checks and settings fall-backs.
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/storage/tests/storage_fixture.h"
#include "libs/vb/tests/comma_locale.h"
#include "platform/savefile/tests/disk_limit.h"

using namespace modDataIO;

namespace {

ProjectData DefaultProject() {
  ProjectData p;
  InitProject(p);
  return p;
}

const char* const kDefaultXml =
    "<?xml version=\"1.0\"?><MardelData><FileIdentifier>VEXON</FileIdentifier>"
    "<ProjectName>untitled</ProjectName><FilePath>@PATH@</FilePath>"
    "<CustomerInfo><ClientName></ClientName><ContactName></ContactName><ContactEmail></ContactEmail>"
    "<ContactPhone></ContactPhone><ContactAddress></ContactAddress></CustomerInfo>"
    "<LocationInfo><CityName>Chicago IAP</CityName><LocationName>Illinois</LocationName>"
    "<RegionName>U.S.A.</RegionName><CityID>79</CityID><LocationID>14</LocationID><RegionID>1</RegionID>"
    "</LocationInfo><BuildingInfo><BuildingID>9</BuildingID><BuildingType>Large Office</BuildingType>"
    "<BuildingPeakLoad>1200</BuildingPeakLoad><Economizer>0</Economizer></BuildingInfo>"
    "<PlantInfo><PlantCapacity>1200</PlantCapacity><ChillerNumber>2</ChillerNumber>"
    "<PlantControl>1</PlantControl><PlantControlName>Sequenced</PlantControlName>"
    "<DesignLCHWT>44</DesignLCHWT><DesignECWT>85</DesignECWT><MinECWT>55</MinECWT>"
    "<CondFlowRate>3</CondFlowRate><EvapFlowRate>2.4</EvapFlowRate><EvapFlowControl>3</EvapFlowControl>"
    "<EvapFlowControlName>Constant Primary Flow</EvapFlowControlName></PlantInfo>"
    "<CoolingTowerInfo><DesignWB>78</DesignWB><DesignApproach>7</DesignApproach></CoolingTowerInfo>"
    "</MardelData>";

// The project open when a file is loaded: values that differ from the default project's, its
// working results included, so that anything of it that survives a load shows.
ProjectData OpenProject() {
  ProjectData p = DefaultProject();
  p.ProjectName = "Previous";
  p.FilePath = "previous.vxn";
  p.ClientName = "Previous client";
  p.ChillerNumber = 5;
  p.PlantCapacity = 3000;
  p.DesignLCHWT = 42;
  p.DesignWB = 80;
  p.WeightingFactor(0) = 0.5f;
  p.SystemDifference = 3;
  return p;
}

std::string Repeat(const std::string& s, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) out += s;
  return out;
}

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  const auto at = s.find(from);
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

}  // namespace

class ProjectFiles : public StorageTest {};

TEST_F(ProjectFiles, DefaultProjectFileIsExact) {
  ProjectData p = DefaultProject();
  const std::string path = dir_ + "Default.vxn";
  ASSERT_TRUE(SaveProject(path, p));
  EXPECT_EQ(ReadAll(path), Replace(kDefaultXml, "@PATH@", path));
  EXPECT_EQ(p.FilePath, path);
}

TEST_F(ProjectFiles, NonDefaultProjectRoundTripsWhateverTheLocale) {
  ProjectData p = DefaultProject();
  p.ProjectName = "  Plant <A> & \"B\" Kälte  ";
  p.ClientName = "ACME";
  p.CityID = 123;
  p.Economizer = 2;
  p.PlantCapacity = 2500.5f;
  p.ChillerNumber = 10;
  p.EvapFlowRate = 2.4f;
  p.DesignApproach = 6.25f;
  p.WeightingFactor(3) = 0.5f;  // working values are not stored
  const std::string path = dir_ + "Plant.vxn";
  KESTRIN_USE_COMMA_LOCALE(comma);
  ASSERT_TRUE(SaveProject(path, p));
  EXPECT_NE(ReadAll(path).find("<EvapFlowRate>2.4</EvapFlowRate>"), std::string::npos);
  EXPECT_NE(ReadAll(path).find("<DesignApproach>6.25</DesignApproach>"), std::string::npos);
  ProjectData back = DefaultProject();
  back.WeightingFactor(3) = 0.75f;
  ASSERT_TRUE(LoadProject(path, back));
  EXPECT_EQ(back.ProjectName, "Plant <A> & \"B\" Kälte");
  EXPECT_EQ(back.PlantCapacity, 2500.5f);
  EXPECT_EQ(back.EvapFlowRate, 2.4f);
  EXPECT_EQ(back.DesignApproach, 6.25f);
  EXPECT_EQ(back.CityID, 123);
  // Working values are not stored, and those of the project open before do not survive a load.
  EXPECT_EQ(back.WeightingFactor(3), 0.0f);
  EXPECT_EQ(back.FilePath, path);
  // A file written with a decimal comma reads the same.
  WriteAll(path, Replace(ReadAll(path), "<EvapFlowRate>2.4<", "<EvapFlowRate>2,4<"));
  ASSERT_TRUE(LoadProject(path, back));
  EXPECT_EQ(back.EvapFlowRate, 2.4f);
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(ProjectFiles, LoadSemantics) {
  const std::string path = dir_ + "case.vxn";
  const std::string base = Replace(kDefaultXml, "@PATH@", "/elsewhere/x.vxn");
  struct Case {
    const char* what;
    std::string xml;
    std::function<void(const ProjectData&)> check;
  };
  const Case cases[] = {
      {"no ProjectName", Replace(base, "<ProjectName>untitled</ProjectName>", ""),
       [](const ProjectData& p) { EXPECT_EQ(p.ProjectName, "untitled"); }},
      {"a whole number written with a point", Replace(base, "<ChillerNumber>2<", "<ChillerNumber>3.0<"),
       [](const ProjectData& p) { EXPECT_EQ(p.ChillerNumber, 3); }},
      {"255 characters fit a name (counted as characters, not bytes)",
       Replace(base, "<ProjectName>untitled<", "<ProjectName>" + Repeat("\u00e9", 255) + "<"),
       [](const ProjectData& p) { EXPECT_EQ(p.ProjectName, Repeat("\u00e9", 255)); }},
      {"values at the limits of their entry boxes",
       Replace(Replace(Replace(Replace(base, "<DesignLCHWT>44<", "<DesignLCHWT>75<"), "<CondFlowRate>3<",
                               "<CondFlowRate>0.5<"),
                       "<ChillerNumber>2<", "<ChillerNumber>10<"),
               "<DesignApproach>7<", "<DesignApproach>20<"),
       [](const ProjectData& p) {
         EXPECT_EQ(p.DesignLCHWT, 75.0f);
         EXPECT_EQ(p.CondFlowRate, 0.5f);
         EXPECT_EQ(p.ChillerNumber, 10);
         EXPECT_EQ(p.DesignApproach, 20.0f);
       }},
  };
  for (const auto& c : cases) {
    host_.messages.clear();
    WriteAll(path, c.xml);
    ProjectData p = DefaultProject();
    p.ClientName = "Previous client";
    p.FilePath = "previous.vxn";
    EXPECT_TRUE(LoadProject(path, p)) << c.what;
    EXPECT_TRUE(host_.messages.empty()) << c.what;
    EXPECT_EQ(p.FilePath, path) << c.what;
    c.check(p);
  }
}

// Every file the program cannot use is refused with one box naming the cause; the open
// project and the file stay exactly as they were.
TEST_F(ProjectFiles, BadProjectFilesLeaveTheOpenProjectAndTheFile) {
  const std::string path = dir_ + "bad.vxn";
  const std::string base = Replace(kDefaultXml, "@PATH@", "/elsewhere/x.vxn");
  struct Case {
    const char* what;
    std::string xml;
    std::string box;  // a part of the expected message
  };
  const auto value = [&](const std::string& from, const std::string& to) { return Replace(base, from, to); };
  const Case cases[] = {
      // Not a project at all.
      {"another XML file", "<?xml version=\"1.0\"?><html><body>hello</body></html>", "is not a project file"},
      {"settings file",
       "<?xml version=\"1.0\"?><MardelSettings><FileIdentifier>VEXON</FileIdentifier></MardelSettings>",
       "is not a project file"},
      {"project root without identifier", value("<FileIdentifier>VEXON</FileIdentifier>", ""), "is not a project file"},
      {"foreign identifier", value(">VEXON<", ">OTHER<"), "is not a project file"},
      {"identifier nested elsewhere",
       "<?xml version=\"1.0\"?><Other><MardelData><FileIdentifier>VEXON"
       "</FileIdentifier></MardelData></Other>",
       "is not a project file"},
      {"malformed XML", base.substr(0, base.size() / 2), "could not be opened"},
      {"empty file", "", "could not be opened"},
      // Present sections with a value that cannot be read: named.
      {"PlantInfo without MinECWT", value("<MinECWT>55</MinECWT>", ""),
       "Load Plant Info failed. The project was not opened."},
      {"PlantInfo without MinECWT names it", value("<MinECWT>55</MinECWT>", ""), "MinECWT"},
      {"text in a number", value("<CityID>79<", "<CityID>many<"), "CityID \"many\" is not a valid value"},
      {"Integer overflow", value("<CityID>79<", "<CityID>40000<"), "CityID \"40000\""},
      {"Single overflow", value("<EvapFlowRate>2.4<", "<EvapFlowRate>1e300<"), "EvapFlowRate \"1e300\""},
      // Values outside the limits of their entry boxes: named with the limits.
      {"DesignLCHWT 200", value("<DesignLCHWT>44<", "<DesignLCHWT>200<"), "DesignLCHWT is 200 (must be 35 to 75)"},
      {"DesignLCHWT -1e30", value("<DesignLCHWT>44<", "<DesignLCHWT>-1e30<"), "DesignLCHWT is -1E+30"},
      {"EvapFlowRate 1e30", value("<EvapFlowRate>2.4<", "<EvapFlowRate>1e30<"),
       "EvapFlowRate is 1E+30 (must be 0.5 to 8)"},
      {"CondFlowRate 0.4", value("<CondFlowRate>3<", "<CondFlowRate>0.4<"), "CondFlowRate is 0.4"},
      {"DesignApproach 0", value("<DesignApproach>7<", "<DesignApproach>0<"), "DesignApproach is 0 (must be 6 to 20)"},
      {"DesignWB 91", value("<DesignWB>78<", "<DesignWB>91<"), "DesignWB is 91"},
      {"BuildingPeakLoad 2", value("<BuildingPeakLoad>1200<", "<BuildingPeakLoad>2<"), "BuildingPeakLoad is 2"},
      {"zero capacity", value("<PlantCapacity>1200<", "<PlantCapacity>0<"), "PlantCapacity is 0"},
      {"plant below the peak load", value("<PlantCapacity>1200<", "<PlantCapacity>1000<"),
       "PlantCapacity is 1000 (must be at least the BuildingPeakLoad, 1200)"},
      {"MinECWT above the design ECWT", value("<MinECWT>55<", "<MinECWT>90<"),
       "MinECWT is 90 (must be at most the DesignECWT, 85)"},
      {"DesignECWT 111", value("<DesignECWT>85<", "<DesignECWT>111<"), "DesignECWT is 111"},
      {"no chillers", value("<ChillerNumber>2<", "<ChillerNumber>0<"), "ChillerNumber is 0 (must be 1 to 10)"},
      {"11 chillers", value("<ChillerNumber>2<", "<ChillerNumber>11<"), "ChillerNumber is 11"},
      {"Economizer 9", value("<Economizer>0<", "<Economizer>9<"), "Economizer is 9 (must be 0, 1 or 2)"},
      {"PlantControl -3", value("<PlantControl>1<", "<PlantControl>-3<"), "PlantControl is -3 (must be 1 to 4)"},
      {"EvapFlowControl 1", value("<EvapFlowControl>3<", "<EvapFlowControl>1<"),
       "EvapFlowControl is 1 (must be 2 or 3)"},
      {"NaN", value("<DesignWB>78<", "<DesignWB>NaN<"), "DesignWB \"NaN\""},
      // A count or an id that is not a whole number, a text longer than its field.
      {"2.5 chillers", value("<ChillerNumber>2<", "<ChillerNumber>2.5<"),
       "ChillerNumber \"2.5\" is not a valid value (not a whole number)"},
      {"city 78.5", value("<CityID>79<", "<CityID>78,5<"), "CityID \"78,5\""},
      {"a 900 KB project name", value("<ProjectName>untitled<", "<ProjectName>" + std::string(900 * 1024, 'n') + "<"),
       "ProjectName is 921600 characters long (at most 255)"},
      {"a 256-character client name", value("<ClientName><", "<ClientName>" + std::string(256, 'c') + "<"),
       "ClientName is 256 characters long"},
      // Only one encoding is held: bytes that are not what the file declares are refused.
      {"Latin-1 bytes without a declaration", value("<ProjectName>untitled<", "<ProjectName>K\xE4lte<"),
       "is not UTF-8 text"},
      {"an encoding that is not read",
       value("<?xml version=\"1.0\"?>", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>"), "encoding shift_jis"},
      // A file of the project's root and identifier alone.
      {"no section at all",
       "<?xml "
       "version=\"1.0\"?><MardelData><FileIdentifier>VEXON</FileIdentifier><ProjectName>x</ProjectName></MardelData>",
       "holds none of the sections of a project. The project was not opened."},
  };
  for (const auto& c : cases) {
    host_.messages.clear();
    WriteAll(path, c.xml);
    ProjectData p = OpenProject();
    const ProjectData before = p;
    EXPECT_FALSE(LoadProject(path, p)) << c.what;
    ASSERT_EQ(host_.messages.size(), 1u) << c.what;
    EXPECT_NE(host_.messages[0].text.find(c.box), std::string::npos) << c.what << ": " << host_.messages[0].text;
    EXPECT_EQ(host_.messages[0].title, "modDataIO.LoadProject");
    EXPECT_EQ(host_.messages[0].style, 16);
    EXPECT_TRUE(p == before) << c.what;
    EXPECT_EQ(ReadAll(path), c.xml) << c.what;
    if (c.box == "is not a project file") {
      EXPECT_FALSE(IsValidProjectFile(path)) << c.what;
    }
  }
}

// A project is read over the default project, never over the open one: the sections a file
// lacks take the default values, one box names them, and the next save writes the default
// values, not the previous project's.
TEST_F(ProjectFiles, MissingSectionsTakeTheDefaultProject) {
  const std::string path = dir_ + "partial.vxn";
  const std::string base = Replace(kDefaultXml, "@PATH@", "/elsewhere/x.vxn");
  const auto without = [](std::string xml, std::initializer_list<const char*> sections) {
    for (const std::string s : sections) {
      const auto from = xml.find("<" + s + ">");
      const auto to = xml.find("</" + s + ">") + s.size() + 3;
      xml.erase(from, to - from);
    }
    return xml;
  };
  struct Case {
    const char* what;
    std::string xml;
    const char* name;  // the project name the file holds
    const char* box;
  };
  const Case cases[] = {
      {"no CustomerInfo", without(base, {"CustomerInfo"}), "untitled", "has no CustomerInfo section; it takes"},
      {"plant and tower missing",
       without(Replace(base, "<ProjectName>untitled<", "<ProjectName>Partial<"), {"PlantInfo", "CoolingTowerInfo"}),
       "Partial", "has no PlantInfo, CoolingTowerInfo sections; they take the values of the default project."},
  };
  for (const auto& c : cases) {
    host_.messages.clear();
    WriteAll(path, c.xml);
    ProjectData p = OpenProject();
    ASSERT_TRUE(LoadProject(path, p)) << c.what;
    ASSERT_EQ(host_.messages.size(), 1u) << c.what;
    EXPECT_NE(host_.messages[0].text.find(c.box), std::string::npos) << host_.messages[0].text;
    EXPECT_EQ(host_.messages[0].style, 48);
    ProjectData expected = DefaultProject();
    expected.ProjectName = c.name;
    expected.FilePath = path;
    EXPECT_TRUE(p == expected) << c.what << ": " << p.ClientName << " " << p.ChillerNumber << " " << p.DesignWB;
    // The next save writes the default values for them.
    ASSERT_TRUE(SaveProject(path, p));
    ProjectData reread = DefaultProject();
    reread.ChillerNumber = 7;
    ASSERT_TRUE(LoadProject(path, reread));
    EXPECT_TRUE(reread == p) << c.what;
  }
}

// A file declared ISO-8859-1 is read into the UTF-8 texts the program holds and saved back
// as UTF-8, which reads back the same.
TEST_F(ProjectFiles, Latin1ProjectIsReadAndSavedAsUtf8) {
  const std::string path = dir_ + "latin1.vxn";
  const std::string base = Replace(kDefaultXml, "@PATH@", "/elsewhere/x.vxn");
  WriteAll(path, Replace(Replace(base, "<?xml version=\"1.0\"?>", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"),
                         "<ProjectName>untitled<", "<ProjectName>K\xE4lteanlage M\xFCller<"));
  ProjectData p = DefaultProject();
  ASSERT_TRUE(LoadProject(path, p)) << (host_.messages.empty() ? "" : host_.messages[0].text);
  EXPECT_EQ(p.ProjectName, "K\u00e4lteanlage M\u00fcller");
  ASSERT_TRUE(SaveProject(path, p));
  const std::string saved = ReadAll(path);
  EXPECT_NE(saved.find("<ProjectName>K\u00e4lteanlage M\u00fcller</ProjectName>"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("ISO-8859-1"), std::string::npos);
  ProjectData again = DefaultProject();
  ASSERT_TRUE(LoadProject(path, again));
  EXPECT_TRUE(again == p);
  EXPECT_TRUE(host_.messages.empty());
}

// Only regular files of a sane size are read: a FIFO does not block, a huge file is not
// read, a folder is refused.
TEST_F(ProjectFiles, OnlyRegularFilesOfASaneSizeAreRead) {
  const std::string fifo = dir_ + "fifo.vxn";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string huge = dir_ + "huge.vxn";
  {
    std::ofstream out(huge, std::ios::binary);
    out << Replace(kDefaultXml, "@PATH@", "x").substr(0, 60);
    out.seekp((2 << 20) - 1);  // a sparse 2 MiB file
    out.put(' ');
  }
  const std::string folder = dir_ + "folder.vxn";
  std::filesystem::create_directories(folder);
  for (const std::string& path : {fifo, huge, folder}) {
    host_.messages.clear();
    ProjectData p = DefaultProject();
    p.ClientName = "Previous client";
    const ProjectData before = p;
    EXPECT_FALSE(IsValidProjectFile(path)) << path;
    EXPECT_FALSE(LoadProject(path, p)) << path;
    EXPECT_TRUE(p == before) << path;
    ASSERT_EQ(host_.messages.size(), 1u) << path;
    EXPECT_NE(host_.messages[0].text.find(path), std::string::npos) << host_.messages[0].text;
    SettingsData s;
    InitSettings(s);
    s.UserName = "Ann";
    EXPECT_FALSE(LoadSettings(path, s)) << path;
    EXPECT_EQ(s.UserName, "Ann");
  }
}

TEST_F(ProjectFiles, ValidProjectFileChecks) {
  const std::string good = dir_ + "good.vxn";
  ProjectData p = DefaultProject();
  ASSERT_TRUE(SaveProject(good, p));
  const std::string xml = ReadAll(good);
  struct Case {
    const char* what;
    std::string content;  // "-" = no file
    bool valid;
  };
  const Case cases[] = {
      {"saved project", xml, true},
      {"lower-case identifier", Replace(xml, ">VEXON<", ">vexon<"), false},
      {"padded identifier", Replace(xml, ">VEXON<", "> VEXON<"), false},
      {"no identifier", Replace(xml, "<FileIdentifier>VEXON</FileIdentifier>", ""), false},
      {"malformed", xml.substr(0, 60), false},
      {"missing file", "-", false},
  };
  for (const auto& c : cases) {
    const std::string path = dir_ + "check.vxn";
    std::filesystem::remove(path);
    if (std::string(c.content) != "-") WriteAll(path, c.content);
    EXPECT_EQ(IsValidProjectFile(path), c.valid) << c.what;
  }
  EXPECT_FALSE(IsValidProjectFile(""));
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(ProjectFiles, FailedSaveKeepsFilePathAndFile) {
  ProjectData p = DefaultProject();
  p.FilePath = "old.vxn";
  EXPECT_FALSE(SaveProject(dir_ + "no/such/folder/x.vxn", p));
  EXPECT_EQ(p.FilePath, "old.vxn");
  EXPECT_EQ(host_.messages.at(0).title, "modDataIO.SaveProject");
  EXPECT_EQ(host_.messages.at(0).style, 16);
}

TEST_F(ProjectFiles, SettingsRoundTripAndFallBacks) {
  SettingsData s;
  InitSettings(s);
  EXPECT_TRUE(s.CoverPage);
  EXPECT_TRUE(s.SummaryReport);
  EXPECT_FALSE(s.ExportCSV);
  EXPECT_EQ(s.WorkingFolder, GetUserProfileFolder());
  s.UserName = "Ann";
  s.UnitType = 1;
  s.LoadProfileGraph = true;
  s.CustomPLVFactors = false;
  s.ExportCSV = true;
  s.CSVFilePath = dir_ + "out.csv";
  s.WorkingFolder = dir_;
  s.MainLeft = -120;
  s.MainHeight = 9000;
  const std::string path = dir_ + "GlobalSettings.xml";
  ASSERT_TRUE(SaveSettings(path, s));
  const std::string xml = ReadAll(path);
  EXPECT_EQ(xml.rfind("<?xml version=\"1.0\"?><MardelSettings><FileIdentifier>VEXON</FileIdentifier><UserInfo>", 0),
            0u);
  EXPECT_LT(xml.find("<LoadProfileGraph>True</LoadProfileGraph>"), xml.find("<CustomPLVFactors>False<"));
  SettingsData back;
  ASSERT_TRUE(LoadSettings(path, back));
  EXPECT_EQ(back, s);

  // A partial file starts from the defaults; numbers are accepted as Booleans; a working
  // folder that does not exist falls back to the profile folder.
  WriteAll(path,
           "<?xml version=\"1.0\"?><MardelSettings><ReportOptions><CoverPage>0</CoverPage><ShowLogo>1</ShowLogo>"
           "<SummaryReport>True</SummaryReport><LoadProfileGraph>true</LoadProfileGraph>"
           "<CustomPLVFactors>False</CustomPLVFactors><ExportCSV>False</ExportCSV><CSVFilePath></CSVFilePath>"
           "</ReportOptions><OtherSettings><WorkingFolder>/no/such/folder/</WorkingFolder><MainLeft>1</MainLeft>"
           "<MainTop>2</MainTop><MainWidth>3</MainWidth><MainHeight>4</MainHeight></OtherSettings></MardelSettings>");
  SettingsData partial;
  partial.UserName = "stale";
  ASSERT_TRUE(LoadSettings(path, partial));
  EXPECT_EQ(partial.UserName, "");
  EXPECT_FALSE(partial.CoverPage);
  EXPECT_TRUE(partial.ShowLogo);
  EXPECT_TRUE(partial.LoadProfileGraph);
  EXPECT_FALSE(partial.CustomPLVFactors);
  EXPECT_EQ(partial.WorkingFolder, GetUserProfileFolder());
  EXPECT_EQ(partial.MainHeight, 4);

  WriteAll(path, "not xml at all");
  SettingsData bad = s;
  EXPECT_FALSE(LoadSettings(path, bad));
  EXPECT_NE(TakeMessage().find(path), std::string::npos);
  EXPECT_EQ(bad, s);
}

// A bad setting takes its default alone: every other setting of the file is read, and one
// box about the settings names each bad one.
TEST_F(ProjectFiles, BadSettingsTakeTheirDefaultAlone) {
  SettingsData s;
  InitSettings(s);
  s.UserName = "Ann";
  s.UnitType = 1;
  s.ShowLogo = true;
  s.CoverPage = false;
  s.WorkingFolder = dir_;
  s.MainLeft = 40;
  s.MainWidth = 9000;
  const std::string path = dir_ + "GlobalSettings.xml";
  ASSERT_TRUE(SaveSettings(path, s));
  const std::string xml = ReadAll(path);
  SettingsData defaults;
  InitSettings(defaults);
  struct Case {
    const char* what;
    std::string xml;
    std::vector<std::string> names;                    // named in the box
    std::function<void(SettingsData&)> expectDefault;  // the bad fields at their defaults
  };
  const Case cases[] = {
      {"UnitType text",
       Replace(xml, "<UnitType>1<", "<UnitType>x<"),
       {"UnitType \"x\""},
       [&](SettingsData& e) { e.UnitType = defaults.UnitType; }},
      {"UnitType 7",
       Replace(xml, "<UnitType>1<", "<UnitType>7<"),
       {"UnitType is 7 (must be 0 or 1)"},
       [&](SettingsData& e) { e.UnitType = defaults.UnitType; }},
      {"Boolean text",
       Replace(xml, "<ShowLogo>True<", "<ShowLogo>maybe<"),
       {"ShowLogo \"maybe\""},
       [&](SettingsData& e) { e.ShowLogo = defaults.ShowLogo; }},
      {"Long overflow and a missing leaf",
       Replace(Replace(xml, "<MainLeft>40<", "<MainLeft>9999999999<"), "<CoverPage>False</CoverPage>", ""),
       {"MainLeft \"9999999999\"", "CoverPage is missing"},
       [&](SettingsData& e) {
         e.MainLeft = defaults.MainLeft;
         e.CoverPage = defaults.CoverPage;
       }},
  };
  for (const Case& c : cases) {
    host_.messages.clear();
    WriteAll(path, c.xml);
    SettingsData loaded;
    loaded.UserName = "stale";
    EXPECT_FALSE(LoadSettings(path, loaded)) << c.what;
    SettingsData expected = s;
    c.expectDefault(expected);
    EXPECT_EQ(loaded, expected) << c.what;
    ASSERT_EQ(host_.messages.size(), 1u) << c.what;
    const auto& box = host_.messages[0];
    EXPECT_EQ(box.title, "modDataIO.LoadSettings");
    EXPECT_EQ(box.style, 48);
    EXPECT_NE(box.text.find("Some settings in " + path), std::string::npos) << box.text;
    EXPECT_EQ(box.text.find("Default project"), std::string::npos) << box.text;
    for (const std::string& n : c.names) EXPECT_NE(box.text.find(n), std::string::npos) << c.what << ": " << box.text;
    EXPECT_EQ(ReadAll(path), c.xml) << c.what;
  }
  // A file whose root is not the settings root changes nothing.
  host_.messages.clear();
  WriteAll(path, "<?xml version=\"1.0\"?><MardelData><FileIdentifier>VEXON</FileIdentifier></MardelData>");
  SettingsData kept = s;
  EXPECT_FALSE(LoadSettings(path, kept));
  EXPECT_NE(TakeMessage().find("is not a settings file"), std::string::npos);
  EXPECT_EQ(kept, s);
}

// Saving keeps what the user set up around the file: its permissions, a symlink to it, files
// of their own named like temporaries of earlier versions, but no temporary of a save that was
// killed; a failed save leaves the old file whole.
TEST_F(ProjectFiles, SaveFaults) {
  namespace fs = std::filesystem;
  const ProjectData p0 = DefaultProject();
  struct Case {
    const char* what;
    std::function<std::string()> prepare;  // the path to save to
    std::function<void(const std::string&)> check;
  };
  const std::string oldXml = "<?xml version=\"1.0\"?><MardelData>old</MardelData>";
  std::string dead;  // the pid of an ended process
  const Case cases[] = {
      {"a 0600 file stays 0600",
       [&] {
         WriteAll(dir_ + "private.vxn", oldXml);
         fs::permissions(dir_ + "private.vxn", fs::perms::owner_read | fs::perms::owner_write);
         return dir_ + "private.vxn";
       },
       [&](const std::string& path) {
         EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
       }},
      {"a symlink is followed",
       [&] {
         fs::create_directories(dir_ + "real");
         WriteAll(dir_ + "real/target.vxn", oldXml);
         fs::create_symlink("real/target.vxn", dir_ + "link.vxn");
         return dir_ + "link.vxn";
       },
       [&](const std::string& path) {
         EXPECT_TRUE(fs::is_symlink(path));
         EXPECT_TRUE(IsValidProjectFile(dir_ + "real/target.vxn"));
         EXPECT_EQ(std::distance(fs::directory_iterator(dir_ + "real"), fs::directory_iterator()), 1)
             << "a temporary is left beside the target";
       }},
      {"a killed save's temporary goes, names a user may choose stay",
       [&] {
         const pid_t child = fork();
         if (child == 0) _exit(0);
         int status = 0;
         waitpid(child, &status, 0);  // a pid that has certainly ended
         dead = std::to_string(child);
         WriteAll(dir_ + ".kestrin-" + std::string(10 - dead.size(), '0') + dead + "-AbC123.tmp", "killed save");
         WriteAll(dir_ + "p.vxn.tmp" + dead, "the user's");
         WriteAll(dir_ + "p.vxn.tmp1", "the user's");
         WriteAll(dir_ + "other.vxn.tmp" + dead, "the user's");
         return dir_ + "p.vxn";
       },
       [&](const std::string&) {
         std::vector<std::string> names;
         for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
         std::sort(names.begin(), names.end());
         std::vector<std::string> expected = {"other.vxn.tmp" + dead, "p.vxn", "p.vxn.tmp" + dead, "p.vxn.tmp1"};
         std::sort(expected.begin(), expected.end());
         EXPECT_EQ(names, expected);
       }},
  };
  for (const Case& c : cases) {
    fs::remove_all(root_);
    fs::create_directories(root_);
    ProjectData p = p0;
    const std::string path = c.prepare();
    EXPECT_TRUE(SaveProject(path, p)) << c.what;
    EXPECT_TRUE(IsValidProjectFile(path)) << c.what;
    c.check(path);
  }
  // A failed save (the target is a folder) leaves no temporary file behind.
  fs::remove_all(root_);
  fs::create_directories(root_ / "dir.vxn");
  ProjectData p = p0;
  EXPECT_FALSE(SaveProject(dir_ + "dir.vxn", p));
  EXPECT_NE(TakeMessage().find("Not a file"), std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 1);
}

// On a full disk the project and settings saves fail with their box; the old files stay whole
// and no temporary is left beside them.
TEST_F(ProjectFiles, FullDiskKeepsTheOldFiles) {
  namespace fs = std::filesystem;
  const std::string project = dir_ + "full.vxn";
  const std::string settings = dir_ + "GlobalSettings.xml";
  const std::string old(8192, 'o');
  WriteAll(project, old);
  WriteAll(settings, old);
  ProjectData p = DefaultProject();
  p.FilePath = "kept.vxn";
  SettingsData s;
  InitSettings(s);
  bool projectSaved = true, settingsSaved = true;
  {
    savefile::testing::DiskOf disk(512);
    projectSaved = SaveProject(project, p);
    settingsSaved = SaveSettings(settings, s);
  }
  EXPECT_FALSE(projectSaved);
  EXPECT_FALSE(settingsSaved);
  EXPECT_EQ(p.FilePath, "kept.vxn");
  EXPECT_EQ(ReadAll(project), old);
  EXPECT_EQ(ReadAll(settings), old);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
  ASSERT_EQ(host_.messages.size(), 2u);
  EXPECT_NE(host_.messages[0].text.find(std::strerror(EFBIG)), std::string::npos) << host_.messages[0].text;
}

// A project or settings file in the program folder, named directly or through a link, is
// refused before anything is written there: one box each, naming the file, the folder and
// what to do instead.
TEST_F(ProjectFiles, SavesIntoTheProgramFolderAreRefused) {
  namespace fs = std::filesystem;
  const std::string program = dir_ + "program/";
  fs::create_directories(program);
  WriteAll(program + "Sample.vxn", "shipped sample");
  fs::create_symlink(program + "Sample.vxn", dir_ + "linked.vxn");
  const std::string previous = modpublic::gAppPath;
  modpublic::gAppPath = program;
  ProjectData p = DefaultProject();
  SettingsData s;
  InitSettings(s);
  const struct {
    std::string path;
    bool project;
  } cases[] = {{program + "Sample.vxn", true},
               {dir_ + "linked.vxn", true},
               {program + "new.vxn", true},
               {program + "GlobalSettings.xml", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_FALSE(c.project ? SaveProject(c.path, p) : SaveSettings(c.path, s));
    const std::string message = TakeMessage();
    EXPECT_EQ(
        message.rfind(std::string(c.project ? "The project" : "The settings") + " could not be saved as " + c.path +
                          ".\r\n\r\nError 75 - Cannot write " + c.path + ": it is in the program folder ",
                      0),
        0u)
        << message;
    EXPECT_NE(message.find("Nothing is written there: save the file in another folder."), std::string::npos) << message;
  }
  modpublic::gAppPath = previous;
  EXPECT_EQ(ReadAll(program + "Sample.vxn"), "shipped sample");
  EXPECT_EQ(std::distance(fs::directory_iterator(program), fs::directory_iterator()), 1);
}
