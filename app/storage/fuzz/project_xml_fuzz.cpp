// Fuzz entry: arbitrary bytes as a project file and as a settings file. Loading must never
// crash, hang or touch memory it does not own; a refused file leaves the records usable.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/storage/modDataIO.h"
#include "platform/ui/ui.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ui::RecordingHost host;
  static ui::ScopedHost scoped(host);
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("kestrin_fuzz_xml_" + std::to_string(getpid()) + ".vxn")).string();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  ProjectData project;
  modDataIO::InitProject(project);
  modDataIO::IsValidProjectFile(path);
  modDataIO::LoadProject(path, project);
  SettingsData settings;
  modDataIO::InitSettings(settings);
  modDataIO::LoadSettings(path, settings);
  host.messages.clear();
  std::filesystem::remove(path);
  return 0;
}
