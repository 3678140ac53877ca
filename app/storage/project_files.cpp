// The project file (".vxn", root MardelData) and the settings file (GlobalSettings.xml,
// root MardelSettings): XML with a version declaration, no whitespace between elements,
// leaves named like the record's fields. Numbers are written with "." and read with "."
// or ",". Every element is looked up by name anywhere in the document ("//Name").
#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <vector>

#include "libs/text/encoding.h"
#include "app/storage/data_files.h"
#include "app/storage/modDataIO.h"
#include "app/storage/modpublic.h"
#include "libs/vb/vbcompat.h"

namespace modDataIO {
namespace {

const char* const kFileIdentifier = "VEXON";
const char* const kProjectRoot = "MardelData";
const char* const kSettingsRoot = "MardelSettings";
// A project or settings file is a few kilobytes; anything much larger is not one of ours.
constexpr std::size_t kMaxXmlFileBytes = 1 << 20;
// The longest text a name, contact or address field holds (the reports and file names are
// made from them), and the longest folder or file path.
constexpr std::size_t kMaxTextChars = 255;
constexpr std::size_t kMaxPathChars = 4096;

// ---- Leaf text -----------------------------------------------------------------------------

std::string Text(float v) { return vb::CStr(v); }
std::string Text(std::int16_t v) { return vb::CStr(static_cast<long long>(v)); }
std::string Text(std::int32_t v) { return vb::CStr(static_cast<long long>(v)); }
std::string Text(bool v) { return vb::CStr(v); }

// A number as written by any locale: "," is taken as the decimal point.
double Number(const std::string& text) {
  std::string t = text;
  for (auto& c : t) {
    if (c == ',') c = '.';
  }
  return vb::CDbl(t);
}

// A count or an id: "2.5" is no chiller count, and rounding it would open another project.
double WholeNumber(const std::string& text) {
  const double d = Number(text);
  if (d != std::floor(d)) vb::Raise(vb::kTypeMismatch, "not a whole number");
  return d;
}

bool Boolean(const std::string& text) {
  const std::string t = vb::LCase(vb::Trim(text));
  if (t == "true") return true;
  if (t == "false") return false;
  return Number(text) != 0.0;
}

// ---- Document building -------------------------------------------------------------------

pugi::xml_node NewDocument(pugi::xml_document& doc, const char* root) {
  auto decl = doc.append_child(pugi::node_declaration);
  decl.append_attribute("version") = "1.0";
  return doc.append_child(root);
}

void SaveDocument(const pugi::xml_document& doc, const std::string& path) {
  std::ostringstream out;
  doc.save(out, "", pugi::format_raw | pugi::format_no_empty_element_tags, pugi::encoding_utf8);
  detail::WriteFileAtomic(path, out.str(), /*durable=*/true);
}

// ---- Document reading --------------------------------------------------------------------

// Parses a file; raises with the file name and the parser's complaint when it is not XML.
// Only a regular file of a sane size is read (never a FIFO or a device).
// Texts are held and written as UTF-8: a file declared ISO-8859-1 (or Windows-1252) is
// converted on reading, and is saved back as UTF-8; a file in any other encoding, or one whose
// bytes are not the UTF-8 its declaration promises, is refused rather than saved back mangled.
void LoadDocument(pugi::xml_document& doc, const std::string& path) {
  std::string bytes = detail::ReadUserFile(path, kMaxXmlFileBytes);
  auto parse = [&] {
    const pugi::xml_parse_result r =
        doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_declaration, pugi::encoding_utf8);
    if (!r) {
      vb::Raise(vb::kTypeMismatch,
                path + " is not a valid XML file (" + r.description() + " at byte " + std::to_string(r.offset) + ").");
    }
  };
  parse();
  const pugi::xml_node decl = doc.first_child();
  const std::string encoding =
      decl.type() == pugi::node_declaration ? vb::LCase(vb::Trim(decl.attribute("encoding").value())) : "";
  if (encoding == "iso-8859-1" || encoding == "latin1" || encoding == "latin-1") {
    bytes = text::Latin1ToUtf8(bytes);
    parse();
  } else if (encoding == "windows-1252" || encoding == "cp1252") {
    bytes = text::Cp1252ToUtf8(bytes);
    parse();
  } else if (!encoding.empty() && encoding != "utf-8" && encoding != "utf8") {
    vb::Raise(vb::kTypeMismatch,
              path + " is written in the encoding " + encoding + "; only UTF-8 and ISO-8859-1 are read.");
  } else if (!text::IsUtf8(bytes)) {
    vb::Raise(vb::kTypeMismatch, path + " is not UTF-8 text (declare its encoding as ISO-8859-1 if it is Latin-1).");
  }
}

// True when the document is one of ours: the root element has the expected name and its
// first child FileIdentifier holds exactly the identifier.
bool HasRootAndIdentifier(const pugi::xml_document& doc, const char* root) {
  const pugi::xml_node r = doc.document_element();
  return std::string(r.name()) == root && std::string(r.child("FileIdentifier").text().get()) == kFileIdentifier;
}

class LeafReader {
 public:
  explicit LeafReader(const pugi::xml_document& doc) : doc_(doc) {}
  bool Has(const std::string& name) const { return static_cast<bool>(Find(name)); }
  // The trimmed text of the first element of that name; a missing element is an error.
  std::string Get(const std::string& name) const {
    const pugi::xml_node n = Find(name);
    if (!n) vb::Raise(vb::kObjectRequired, "The element " + name + " is missing.");
    return vb::Trim(n.text().get());
  }
  // A text longer than its field holds is an error naming the element.
  void Read(const std::string& name, std::string& v) const {
    std::string text = Get(name);
    const bool path = name == "CSVFilePath" || name == "WorkingFolder";
    const std::size_t max = path ? kMaxPathChars : kMaxTextChars;
    if (text::Utf8Length(text) > max) {
      vb::Raise(vb::kTypeMismatch, name + " is " + std::to_string(text::Utf8Length(text)) +
                                       " characters long (at most " + std::to_string(max) + ").");
    }
    v = std::move(text);
  }
  void Read(const std::string& name, float& v) const {
    Convert(name, v, [](const std::string& t) { return vb::CSng(Number(t)); });
  }
  void Read(const std::string& name, std::int16_t& v) const {
    Convert(name, v, [](const std::string& t) { return vb::CInt(WholeNumber(t)); });
  }
  void Read(const std::string& name, std::int32_t& v) const {
    Convert(name, v, [](const std::string& t) { return vb::CLng(WholeNumber(t)); });
  }
  void Read(const std::string& name, bool& v) const { Convert(name, v, Boolean); }

 private:
  // A text that does not convert is an error naming the element and its text.
  template <class T, class F>
  void Convert(const std::string& name, T& v, F convert) const {
    const std::string text = Get(name);
    try {
      v = convert(text);
    } catch (const vb::RuntimeError& e) {
      vb::Raise(e.number(), name + " \"" + vb::Left(text, 40) + "\" is not a valid value (" + e.what() + ").");
    }
  }
  pugi::xml_node Find(const std::string& name) const { return doc_.select_node(("//" + name).c_str()).node(); }
  const pugi::xml_document& doc_;
};

// Leaves of a section as (name, field) pairs, through one visitor for saving and loading.
template <class Visit>
void Leaves(Visit&& v, ProjectData& p, int section) {
  switch (section) {
    case 0:
      v("ClientName", p.ClientName);
      v("ContactName", p.ContactName);
      v("ContactEmail", p.ContactEmail);
      v("ContactPhone", p.ContactPhone);
      v("ContactAddress", p.ContactAddress);
      break;
    case 1:
      v("CityName", p.CityName);
      v("LocationName", p.LocationName);
      v("RegionName", p.RegionName);
      v("CityID", p.CityID);
      v("LocationID", p.LocationID);
      v("RegionID", p.RegionID);
      break;
    case 2:
      v("BuildingID", p.BuildingID);
      v("BuildingType", p.BuildingType);
      v("BuildingPeakLoad", p.BuildingPeakLoad);
      v("Economizer", p.Economizer);
      break;
    case 3:
      v("PlantCapacity", p.PlantCapacity);
      v("ChillerNumber", p.ChillerNumber);
      v("PlantControl", p.PlantControl);
      v("PlantControlName", p.PlantControlName);
      v("DesignLCHWT", p.DesignLCHWT);
      v("DesignECWT", p.DesignECWT);
      v("MinECWT", p.MinECWT);
      v("CondFlowRate", p.CondFlowRate);
      v("EvapFlowRate", p.EvapFlowRate);
      v("EvapFlowControl", p.EvapFlowControl);
      v("EvapFlowControlName", p.EvapFlowControlName);
      break;
    default:
      v("DesignWB", p.DesignWB);
      v("DesignApproach", p.DesignApproach);
      break;
  }
}

template <class Visit>
void Leaves(Visit&& v, SettingsData& s, int section) {
  switch (section) {
    case 0:
      v("UserName", s.UserName);
      v("UserEmail", s.UserEmail);
      v("OfficeName", s.OfficeName);
      v("UserPhone", s.UserPhone);
      break;
    case 1:
      v("UnitType", s.UnitType);
      break;
    case 2:
      v("CoverPage", s.CoverPage);
      v("ShowLogo", s.ShowLogo);
      v("SummaryReport", s.SummaryReport);
      v("LoadProfileGraph", s.LoadProfileGraph);
      v("CustomPLVFactors", s.CustomPLVFactors);
      v("ExportCSV", s.ExportCSV);
      v("CSVFilePath", s.CSVFilePath);
      break;
    default:
      v("WorkingFolder", s.WorkingFolder);
      v("MainLeft", s.MainLeft);
      v("MainTop", s.MainTop);
      v("MainWidth", s.MainWidth);
      v("MainHeight", s.MainHeight);
      break;
  }
}

struct SectionName {
  const char* element;
  const char* saveStep;
  const char* loadStep;
};

constexpr SectionName kProjectSections[] = {
    {"CustomerInfo", "Save Customer Info", "Load Customer Info"},
    {"LocationInfo", "Save Location Info", "Load Location Info"},
    {"BuildingInfo", "Save Building Info", "Load Building Info"},
    {"PlantInfo", "Save Plant data", "Load Plant Info"},
    {"CoolingTowerInfo", "Save Cooling Tower info", "Load Cooling Tower Info"},
};

constexpr SectionName kSettingsSections[] = {
    {"UserInfo", "Save User Info", "Load User Info"},
    {"Preference", "Save User Info", "Load Preferences"},
    {"ReportOptions", "Save Report Options", "Load Report Options"},
    {"OtherSettings", "Save Other Settings", "Load Other Settings"},
};

template <class Rec, std::size_t N>
void WriteSections(pugi::xml_node root, Rec& rec, const SectionName (&sections)[N], std::string& step) {
  for (std::size_t i = 0; i < N; ++i) {
    step = sections[i].saveStep;
    pugi::xml_node section = root.append_child(sections[i].element);
    Leaves(
        [&](const char* name, const auto& field) {
          if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::string>) {
            CreateNodeValue(section, name, field);
          } else {
            CreateNodeValue(section, name, Text(field));
          }
        },
        rec, static_cast<int>(i));
  }
}

// Reads the present sections into `rec`; `step` names the section being read.
template <class Rec, std::size_t N>
void ReadSections(const pugi::xml_document& doc, Rec& rec, const SectionName (&sections)[N], std::string& step) {
  LeafReader leaves(doc);
  for (std::size_t i = 0; i < N; ++i) {
    step = sections[i].loadStep;
    if (!leaves.Has(sections[i].element)) continue;
    Leaves([&](const char* name, auto& field) { leaves.Read(name, field); }, rec, static_cast<int>(i));
  }
}

// The limits of the main window's entry boxes (inch-pound units), which every value of a
// project the program can rate lies within; the plant is at least the building's peak load
// and the minimum ECWT at most the design ECWT, as the window couples them.
struct Limit {
  const char* name;
  float ProjectData::*field;
  float min, max;
};
constexpr Limit kProjectLimits[] = {
    {"BuildingPeakLoad", &ProjectData::BuildingPeakLoad, 3, 4000},
    {"PlantCapacity", &ProjectData::PlantCapacity, 3, 4000},
    {"DesignLCHWT", &ProjectData::DesignLCHWT, 35, 75},
    {"DesignECWT", &ProjectData::DesignECWT, 40, 110},
    {"MinECWT", &ProjectData::MinECWT, 40, 110},
    {"CondFlowRate", &ProjectData::CondFlowRate, 0.5f, 8},
    {"EvapFlowRate", &ProjectData::EvapFlowRate, 0.5f, 8},
    {"DesignWB", &ProjectData::DesignWB, 55, 90},
    {"DesignApproach", &ProjectData::DesignApproach, 6, 20},
};

std::string OneOf(std::int16_t v, std::initializer_list<std::int16_t> allowed, const char* name, const char* which) {
  for (const std::int16_t a : allowed)
    if (v == a) return {};
  return std::string(name) + " is " + Text(v) + " (must be " + which + ")";
}

// The first value of the project that the program cannot use, as "<name> is <value> (must
// be ...)"; empty when every value is usable.
std::string ProjectValueProblem(const ProjectData& p) {
  for (const Limit& l : kProjectLimits) {
    const float v = p.*(l.field);
    if (!(v >= l.min && v <= l.max)) {
      return std::string(l.name) + " is " + Text(v) + " (must be " + Text(l.min) + " to " + Text(l.max) + ")";
    }
  }
  if (p.PlantCapacity < p.BuildingPeakLoad) {
    return "PlantCapacity is " + Text(p.PlantCapacity) + " (must be at least the BuildingPeakLoad, " +
           Text(p.BuildingPeakLoad) + ")";
  }
  if (p.MinECWT > p.DesignECWT) {
    return "MinECWT is " + Text(p.MinECWT) + " (must be at most the DesignECWT, " + Text(p.DesignECWT) + ")";
  }
  if (p.ChillerNumber < 1 || p.ChillerNumber > 10) {
    return "ChillerNumber is " + Text(p.ChillerNumber) + " (must be 1 to 10)";
  }
  std::string problem = OneOf(p.Economizer, {0, 1, 2}, "Economizer", "0, 1 or 2");
  if (problem.empty()) problem = OneOf(p.PlantControl, {1, 2, 3, 4}, "PlantControl", "1 to 4");
  if (problem.empty()) problem = OneOf(p.EvapFlowControl, {2, 3}, "EvapFlowControl", "2 or 3");
  return problem;
}

bool FolderExists(const std::string& folder) {
  std::error_code ec;
  return !folder.empty() && std::filesystem::is_directory(folder, ec);
}

}  // namespace

void CreateNodeValue(pugi::xml_node parent, const std::string& name, const std::string& value) {
  modpublic::RunGuarded("CreateNodeValue", modpublic::gDataIOErrorMsg, 48, [&] {
    pugi::xml_node n = parent.append_child(name.c_str());
    if (!n) vb::Raise(vb::kObjectRequired, "Cannot create the element " + name + ".");
    const std::string text = vb::Trim(value);
    if (!text.empty()) n.text().set(text.c_str());
  });
}

void InitProject(ProjectData& p) {
  p.ProjectName = gDefaultProjectName;
  p.FilePath.clear();
  p.ClientName.clear();
  p.ContactName.clear();
  p.ContactEmail.clear();
  p.ContactPhone.clear();
  p.ContactAddress.clear();
  p.CityName = "Chicago IAP";
  p.LocationName = "Illinois";
  p.RegionName = "U.S.A.";
  p.CityID = 79;
  p.LocationID = 14;
  p.RegionID = 1;
  p.BuildingID = 9;
  p.BuildingType = "Large Office";
  p.BuildingPeakLoad = 1200;
  p.Economizer = 0;
  p.PlantCapacity = 1200;
  p.ChillerNumber = 2;
  p.PlantControl = 1;
  p.PlantControlName = "Sequenced";
  p.DesignLCHWT = 44;
  p.DesignECWT = 85;
  p.MinECWT = 55;
  p.CondFlowRate = 3;
  p.EvapFlowRate = 2.4f;
  p.EvapFlowControl = 3;
  p.EvapFlowControlName = "Constant Primary Flow";
  p.DesignWB = 78;
  p.DesignApproach = 7;
}

void InitSettings(SettingsData& s) {
  s = SettingsData{};
  s.UnitType = 0;
  s.CoverPage = true;
  s.SummaryReport = true;
  s.WorkingFolder = GetUserProfileFolder();
}

bool SaveProject(const std::string& path, ProjectData& project) {
  std::string step;
  return modpublic::RunGuarded("modDataIO.SaveProject", step, 16, [&] {
    pugi::xml_document doc;
    step = " Creating Root Node";
    pugi::xml_node root = NewDocument(doc, "MardelData");
    CreateNodeValue(root, "FileIdentifier", kFileIdentifier);
    CreateNodeValue(root, "ProjectName", project.ProjectName);
    CreateNodeValue(root, "FilePath", path);
    WriteSections(root, project, kProjectSections, step);
    step = "The project could not be saved as " + path + ".";
    SaveDocument(doc, path);
    project.FilePath = path;
    return true;
  });
}

bool SaveSettings(const std::string& path, const SettingsData& settings) {
  std::string step;
  return modpublic::RunGuarded("modDataIO.SaveSettings", step, 16, [&] {
    pugi::xml_document doc;
    step = " Creating Root Node";
    pugi::xml_node root = NewDocument(doc, "MardelSettings");
    CreateNodeValue(root, "FileIdentifier", kFileIdentifier);
    SettingsData copy = settings;
    WriteSections(root, copy, kSettingsSections, step);
    step = "The settings could not be saved as " + path + ".";
    SaveDocument(doc, path);
    return true;
  });
}

bool IsValidProjectFile(const std::string& path) {
  if (vb::Trim(path).empty() || !detail::IsFile(path)) return false;
  return modpublic::RunGuarded("", "Failed in modDataIO.IsValidProjectFile", 48, [&] {
    try {
      pugi::xml_document doc;
      LoadDocument(doc, path);
      return HasRootAndIdentifier(doc, kProjectRoot);
    } catch (const vb::RuntimeError&) {
      return false;  // not readable as one of our XML files: not a project file
    }
  });
}

// Every failure leaves the open project as it was: a file that is not a project, a file with
// none of the project's sections, a present section with a missing or unreadable value (a
// count that is not a whole number, a text longer than its field), or a value outside the
// limits of its entry box. A loaded project starts from the default project, never from the
// open one: a section the file lacks takes the default values, and a message names it.
bool LoadProject(const std::string& path, ProjectData& project) {
  const char* const title = "modDataIO.LoadProject";
  pugi::xml_document doc;
  if (!modpublic::RunGuarded(title, "The project file could not be opened.", 16, [&] { LoadDocument(doc, path); })) {
    return false;
  }
  if (!HasRootAndIdentifier(doc, kProjectRoot)) {
    vb::Err().Clear();
    modpublic::ShowError("The file " + path + " is not a project file. The project was not opened.", 16, title);
    return false;
  }
  std::vector<std::string> missing;
  {
    const LeafReader leaves(doc);
    for (const SectionName& s : kProjectSections)
      if (!leaves.Has(s.element)) missing.emplace_back(s.element);
  }
  if (missing.size() == std::size(kProjectSections)) {
    vb::Err().Clear();
    modpublic::ShowError("The file " + path + " holds none of the sections of a project. The project was not opened.",
                         16, title);
    return false;
  }
  ProjectData p;
  InitProject(p);
  std::string step;
  const auto failure = [&] { return step + " failed. The project was not opened."; };
  const bool read = modpublic::RunGuarded(title, failure, 16, [&] {
    LeafReader leaves(doc);
    if (leaves.Has("ProjectName")) leaves.Read("ProjectName", p.ProjectName);
    ReadSections(doc, p, kProjectSections, step);
  });
  if (!read) return false;
  const std::string problem = ProjectValueProblem(p);
  if (!problem.empty()) {
    vb::Err().Clear();
    modpublic::ShowError("The project file " + path + " cannot be used: " + problem + ".", 16, title);
    return false;
  }
  p.FilePath = path;
  project = std::move(p);
  if (!missing.empty()) {
    std::string names;
    for (const std::string& m : missing) names += (names.empty() ? "" : ", ") + m;
    vb::Err().Clear();
    modpublic::ShowError("The project file " + path + " has no " + names +
                             (missing.size() == 1 ? " section; it takes" : " sections; they take") +
                             " the values of the default project.",
                         48, title);
  }
  return true;
}

// A setting that is missing from its present section or cannot be read keeps its default
// alone; one box lists them all. The result is false then, and the record holds every
// setting that was read.
bool LoadSettings(const std::string& path, SettingsData& settings) {
  const char* const title = "modDataIO.LoadSettings";
  pugi::xml_document doc;
  if (!modpublic::RunGuarded(title, "The settings file could not be opened.", 16, [&] { LoadDocument(doc, path); })) {
    return false;
  }
  if (std::string(doc.document_element().name()) != kSettingsRoot) {
    vb::Err().Clear();
    modpublic::ShowError("The file " + path + " is not a settings file. The settings were not read.", 16, title);
    return false;
  }
  SettingsData s;
  InitSettings(s);
  const SettingsData defaults = s;
  std::vector<std::string> bad;
  LeafReader leaves(doc);
  for (std::size_t i = 0; i < std::size(kSettingsSections); ++i) {
    if (!leaves.Has(kSettingsSections[i].element)) continue;
    Leaves(
        [&](const char* name, auto& field) {
          try {
            leaves.Read(name, field);
          } catch (const vb::RuntimeError& e) {
            bad.push_back(e.what());
          }
        },
        s, static_cast<int>(i));
  }
  if (s.UnitType != 0 && s.UnitType != 1) {
    bad.push_back("UnitType is " + Text(s.UnitType) + " (must be 0 or 1)");
    s.UnitType = defaults.UnitType;
  }
  if (!FolderExists(s.WorkingFolder)) s.WorkingFolder = GetUserProfileFolder();
  settings = std::move(s);
  if (bad.empty()) return true;
  std::string list;
  for (const std::string& b : bad) list += "\r\n" + b;
  vb::Err().Clear();
  modpublic::ShowError("Some settings in " + path + " could not be read; they take their default values:" + list, 48,
                       title);
  return false;
}

}  // namespace modDataIO
