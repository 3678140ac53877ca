// How long the language resources take: LoadResStrings on a form of 200 labels (one query per
// caption and tool tip) against a database of 20,000 rows, and GetString by number.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QLabel>
#include <QWidget>

#include <filesystem>
#include <string>

#include "app/resources/CResource.h"
#include "platform/db/db.h"
#include "platform/ui/ui.h"

namespace {

namespace fs = std::filesystem;

constexpr int kForms = 100;
constexpr int kControls = 200;

// A program folder with an English database: kForms forms of kControls labels, each with a
// caption and a tool tip row, the captions also numbered.
fs::path BuildProgramFolder() {
  std::string tmpl = (fs::temp_directory_path() / "kestrin-resources-bench-XXXXXX").string();
  const fs::path dir = mkdtemp(tmpl.data());
  fs::create_directories(dir / "1033");
  auto database = db::Database::Open((dir / "1033" / "Resource.mdb").string(), db::OpenMode::kCreate);
  database->Execute(CResource::kTranslationsSchema);
  db::Transaction transaction(*database);
  db::Statement insert = database->Prepare(
      "INSERT INTO Translations (FormName, ControlName, \"Index\", PropertyName, EnglishText,"
      " ResourceID) VALUES (?1, ?2, '', ?3, ?4, ?5)");
  int id = 0;
  for (int f = 0; f < kForms; ++f) {
    for (int c = 0; c < kControls; ++c) {
      const std::string form = "frm" + std::to_string(f);
      const std::string control = "lbl" + std::to_string(c);
      insert.Bind(1, form).Bind(2, control).Bind(3, std::string("CAPTION"));
      insert.Bind(4, "Caption " + control).Bind(5, ++id);
      insert.Run();
      insert.Reset();
      insert.Bind(1, form).Bind(2, control).Bind(3, std::string("TOOLTIPTEXT"));
      insert.Bind(4, "Tip " + control).BindNull(5);
      insert.Run();
      insert.Reset();
    }
  }
  transaction.Commit();
  return dir;
}

struct Setup {
  ui::RecordingHost host;
  ui::ScopedHost scoped{host};
  fs::path folder = BuildProgramFolder();
  std::unique_ptr<CResource> resource = std::make_unique<CResource>(folder.string());
  ~Setup() {
    resource.reset();
    fs::remove_all(folder);
  }
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

void BM_LoadResStrings(benchmark::State& state) {
  QWidget form;
  form.setObjectName("frm50");
  for (int c = 0; c < kControls; ++c) {
    auto* label = new QLabel("English", &form);
    label->setObjectName(QString("lbl%1").arg(c));
    label->setToolTip("English tip");
  }
  CResource& resource = *Shared().resource;
  for (auto _ : state) resource.LoadResStrings(&form);
  state.SetItemsProcessed(state.iterations() * kControls * 2);  // properties translated
}
BENCHMARK(BM_LoadResStrings)->Unit(benchmark::kMillisecond);

void BM_GetString(benchmark::State& state) {
  CResource& resource = *Shared().resource;
  int32_t id = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(resource.GetString(id % (kForms * kControls) + 1));
    ++id;
  }
}
BENCHMARK(BM_GetString)->Unit(benchmark::kMicrosecond);

}  // namespace
