// Settings files are edited by hand and by other tools: whatever a file holds, reading
// it, every section of it and every key in those sections never crashes, and a key the
// section lists reads back as a value.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "framework/SettingsFile.h"
#include "platform/IniFile.h"

namespace {

// One file per process, removed when the run ends.
struct FuzzFile {
  wxString path = wxString::Format(wxS("/tmp/hv_settings_fuzz_%ld.set"), static_cast<long>(getpid()));
  ~FuzzFile() { std::remove(path.utf8_str()); }
};

const wxString& FilePath() {
  static const FuzzFile file;
  return file.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const wxString& path = FilePath();
  FILE* f = std::fopen(path.utf8_str(), "wb");
  if (!f) return 0;
  if (size && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
  hv::IniFlushCache();

  const CSettingsFile file(path);
  for (const wxString& section : hv::IniSectionNames(path)) {
    (void)hv::IniReadSectionLines(path, section);
    CMapStringToString map;
    if (!file.ReadSection(section, map)) continue;
    for (const auto& [key, value] : map) {
      (void)value;
      (void)file.GetString(section, key, wxString());
      (void)file.GetInt(section, key, -1);
    }
  }
  return 0;
}
