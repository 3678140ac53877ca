#include "app/resources/tests/fixture.h"

#include <QApplication>

#include <unistd.h>

#include <atomic>
#include <fstream>

#include "platform/db/db.h"
#include "app/resources/CResource.h"

namespace fixture {

ProgramFolder::ProgramFolder() {
  static std::atomic<int> counter{0};
  const auto dir = std::filesystem::temp_directory_path() /
                   ("kestrin_resources_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  path_ = dir.string() + "/";
}

ProgramFolder::~ProgramFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void ProgramFolder::WriteConfig(const std::string& xml) const {
  std::ofstream(path_ + "ZeltroRESCFG.XML", std::ios::binary) << xml;
}

void ProgramFolder::WriteDatabase(int32_t localeId, const std::vector<Row>& rows) const {
  const std::string folder = path_ + std::to_string(localeId);
  std::filesystem::create_directories(folder);
  auto database = db::Database::Open(folder + "/Resource.mdb", db::OpenMode::kCreate);
  database->Execute(CResource::kTranslationsSchema);
  db::Transaction transaction(*database);
  for (const Row& r : rows) {
    db::Statement insert = database->Prepare(
        "INSERT INTO Translations (FormName, ControlName, \"Index\", PropertyName, Metric,"
        " Disabled, EnglishText, Unit, ResourceID) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
    insert.Bind(1, r.form).Bind(2, r.control).Bind(3, r.index).Bind(4, r.property);
    insert.Bind(5, r.metric ? 1 : 0);
    if (r.disabled)
      insert.Bind(6, *r.disabled);
    else
      insert.BindNull(6);
    insert.Bind(7, r.text).Bind(8, r.unit);
    if (r.resourceId)
      insert.Bind(9, *r.resourceId);
    else
      insert.BindNull(9);
    insert.Run();
  }
  transaction.Commit();
}

std::vector<std::string> ProgramFolder::MessageTexts() const {
  std::vector<std::string> texts;
  for (const auto& m : host.messages) texts.push_back(m.text);
  return texts;
}

std::string Config(const std::string& current, const std::string& germanSize) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<RESOURCES>\n"
         "  <LOCALE Current=\"" +
         current +
         "\"/>\n"
         "  <FONTS>\n"
         "    <FONT LocaleID=\"1033\" Name=\"Arial\" Size=\"9\"/>\n"
         "    <FONT LocaleID=\"1031\" Name=\"Liberation Sans\" Size=\"" +
         germanSize +
         "\"/>\n"
         "  </FONTS>\n"
         "  <LANGUAGES>\n"
         "    <LANGUAGE LocaleID=\"1033\" Name=\"English\"/>\n"
         "    <LANGUAGE LocaleID=\"1031\" Name=\"Deutsch\"/>\n"
         "    <LANGUAGE LocaleID=\"1036\" Name=\"Fran\xC3\xA7"
         "ais\"/>\n"
         "  </LANGUAGES>\n</RESOURCES>\n";
}

void EnsureApplication() {
  static int argc = 1;
  static char name[] = "resources_test";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
}

}  // namespace fixture
