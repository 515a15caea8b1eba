// Settings files are edited by hand and by other tools: whatever a file holds, reading
// it, every section of it and every key in those sections never crashes, and a key the
// section lists once reads back as the value listed.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
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

// How many of the section's lines name the key (blanks around it and case ignored).
int KeyLines(const std::vector<wxString>& lines, const wxString& key) {
  const wxString wanted = wxString(key).Trim(true).Trim(false);
  int n = 0;
  for (const wxString& line : lines) {
    if (line.empty() || line[0] == ';' || line.find('=') == wxString::npos) continue;
    n += line.Left(line.find('=')).Trim(true).Trim(false).CmpNoCase(wanted) == 0;
  }
  return n;
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
    const std::vector<wxString> lines = hv::IniReadSectionLines(path, section);
    CMapStringToString map;
    if (!file.ReadSection(section, map)) continue;
    for (const auto& [key, value] : map) {
      const wxString read = file.GetString(section, key, wxString());
      (void)file.GetInt(section, key, -1);
      // A key the section names once reads back as its value, blanks around it and
      // one pair of quotes taken off.
      if (KeyLines(lines, key) != 1) continue;
      wxString expected = wxString(value).Trim(true).Trim(false);
      if (expected.length() >= 2 && (expected[0] == '"' || expected[0] == '\'') && expected.Last() == expected[0])
        expected = expected.Mid(1, expected.length() - 2);
      if (read != expected) {
        std::fprintf(stderr, "[%s] %s: listed '%s', read '%s'\n", section.utf8_str().data(), key.utf8_str().data(),
                     value.utf8_str().data(), read.utf8_str().data());
        std::abort();
      }
    }
  }
  return 0;
}
