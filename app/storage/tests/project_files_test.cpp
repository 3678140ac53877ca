// Project and settings XML files: exact default file, round trips, load semantics,
// validation, file checks and settings fall-backs.
#include <clocale>

#include "app/storage/tests/storage_fixture.h"

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
  p.ChillerNumber = 30;
  p.EvapFlowRate = 2.4f;
  p.DesignApproach = 6.25f;
  p.WeightingFactor(3) = 0.5f;  // working values are not stored
  const std::string path = dir_ + "Plant.vxn";
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = old ? old : "C";
  const bool comma = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  ASSERT_TRUE(SaveProject(path, p));
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_NE(ReadAll(path).find("<EvapFlowRate>2.4</EvapFlowRate>"), std::string::npos) << comma;
  ProjectData back = DefaultProject();
  back.WeightingFactor(3) = 0.75f;
  ASSERT_TRUE(LoadProject(path, back));
  EXPECT_EQ(back.ProjectName, "Plant <A> & \"B\" Kälte");
  EXPECT_EQ(back.PlantCapacity, 2500.5f);
  EXPECT_EQ(back.EvapFlowRate, 2.4f);
  EXPECT_EQ(back.DesignApproach, 6.25f);
  EXPECT_EQ(back.CityID, 123);
  EXPECT_EQ(back.WeightingFactor(3), 0.75f);
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
    bool ok;
    std::string box;  // expected message ("" = none)
    std::function<void(const ProjectData&)> check;
  };
  const Case cases[] = {
      {"no CustomerInfo keeps the customer fields",
       Replace(base, base.substr(base.find("<CustomerInfo>"), base.find("<LocationInfo>") - base.find("<CustomerInfo>")), ""),
       true, "", [](const ProjectData& p) { EXPECT_EQ(p.ClientName, "Previous client"); }},
      {"PlantInfo without MinECWT", Replace(base, "<MinECWT>55</MinECWT>", ""), false,
       "Load Plant Info failed. Default project will be used.",
       [](const ProjectData& p) {
         EXPECT_EQ(p.ClientName, "");
         EXPECT_EQ(p.FilePath, "");
         EXPECT_EQ(p.PlantCapacity, 1200.0f);
       }},
      {"no ProjectName", Replace(base, "<ProjectName>untitled</ProjectName>", ""), true, "",
       [](const ProjectData& p) { EXPECT_EQ(p.ProjectName, "untitled"); }},
      {"2.5 rounds to even", Replace(base, "<Economizer>0<", "<Economizer>2.5<"), true, "",
       [](const ProjectData& p) { EXPECT_EQ(p.Economizer, 2); }},
      {"3.5 rounds to even", Replace(base, "<Economizer>0<", "<Economizer>3.5<"), true, "",
       [](const ProjectData& p) { EXPECT_EQ(p.Economizer, 4); }},
      {"text in a number", Replace(base, "<CityID>79<", "<CityID>many<"), false,
       "Load Location Info failed. Default project will be used.", nullptr},
      {"Integer overflow", Replace(base, "<CityID>79<", "<CityID>40000<"), false,
       "Load Location Info failed. Default project will be used.", nullptr},
      {"no chillers", Replace(base, "<ChillerNumber>2<", "<ChillerNumber>0<"), false,
       "cannot be used", [](const ProjectData& p) { EXPECT_EQ(p.ClientName, "Previous client"); }},
      {"31 chillers", Replace(base, "<ChillerNumber>2<", "<ChillerNumber>31<"), false, "cannot be used", nullptr},
      {"zero capacity", Replace(base, "<PlantCapacity>1200<", "<PlantCapacity>0<"), false, "cannot be used", nullptr},
      {"negative flow", Replace(base, "<CondFlowRate>3<", "<CondFlowRate>-3<"), false, "cannot be used", nullptr},
      {"malformed XML", base.substr(0, base.size() / 2), false, "could not be opened",
       [](const ProjectData& p) {
         EXPECT_EQ(p.ClientName, "Previous client");
         EXPECT_EQ(p.FilePath, "previous.vxn");
       }},
      {"empty file", "", false, "could not be opened", nullptr},
  };
  for (const auto& c : cases) {
    host_.messages.clear();
    WriteAll(path, c.xml);
    ProjectData p = DefaultProject();
    p.ClientName = "Previous client";
    p.FilePath = "previous.vxn";
    EXPECT_EQ(LoadProject(path, p), c.ok) << c.what;
    if (c.box.empty()) {
      EXPECT_TRUE(host_.messages.empty()) << c.what;
    } else {
      ASSERT_EQ(host_.messages.size(), 1u) << c.what;
      EXPECT_NE(host_.messages[0].text.find(c.box), std::string::npos) << c.what << ": " << host_.messages[0].text;
      EXPECT_EQ(host_.messages[0].title, "modDataIO.LoadProject");
      EXPECT_EQ(host_.messages[0].style, 16);
    }
    if (c.ok) {
      EXPECT_EQ(p.FilePath, path) << c.what;
    }
    if (c.check) c.check(p);
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
  EXPECT_EQ(xml.rfind("<?xml version=\"1.0\"?><MardelSettings><FileIdentifier>VEXON</FileIdentifier><UserInfo>", 0), 0u);
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

  WriteAll(path, Replace(xml, "<UnitType>1<", "<UnitType>x<"));
  SettingsData bad = s;
  EXPECT_FALSE(LoadSettings(path, bad));
  EXPECT_EQ(TakeMessage().rfind("Load Preferences failed. Default project will be used.", 0), 0u);
  EXPECT_TRUE(bad.CoverPage);
  EXPECT_EQ(bad.UserName, "");
  WriteAll(path, "not xml at all");
  bad = s;
  EXPECT_FALSE(LoadSettings(path, bad));
  EXPECT_NE(TakeMessage().find(path), std::string::npos);
  EXPECT_EQ(bad, s);
}
