#include "framework/VersionInfo.h"

#include <climits>
#include <cstdlib>

#include "platform/Codec.h"
#include "platform/Paths.h"

namespace {

// German, Windows-1252: what the program's own resource always declared.
constexpr DWORD kOwnTranslation = 0x040704E4;

wxString Query(DWORD translation, const wxString& name) {
  // Value names are found regardless of case, as the system's query does.
  return wxString::Format("\\StringFileInfo\\%08lx\\%s", static_cast<unsigned long>(translation), name).Lower();
}

bool IsOwnProgram(const wxString& path) {
  if (path.empty()) return true;
  char mine[PATH_MAX], given[PATH_MAX];
  if (!realpath("/proc/self/exe", mine)) return false;
  if (!realpath(hv::ToFs(hv::ResolvePath(path)).c_str(), given)) return false;
  return std::string(mine) == given;
}

}  // namespace

BOOL CVersionInfo::Load(const wxString& modulePath) {
  Free();
  if (!IsOwnProgram(modulePath)) return FALSE;
  m_translation = kOwnTranslation;
  const wxString version = wxString::FromAscii(HALVORA_VERSION);
  const std::pair<const char*, wxString> values[] = {
      {"CompanyName", "Quintor"},
      {"FileDescription", "Halvora"},
      {"FileVersion", version},
      {"InternalName", "Halvora"},
      {"LegalCopyright", wxS("Copyright © Quintor")},
      {"OriginalFilename", "halvora"},
      {"ProductName", "Halvora"},
      {"ProductVersion", version},
  };
  for (const auto& [name, value] : values) m_values[Query(m_translation, name)] = value;
  return TRUE;
}

wxString CVersionInfo::GetString(const wxString& name) const {
  if (m_values.empty()) return wxString();
  auto it = m_values.find(Query(m_translation, name));
  return it == m_values.end() ? wxString() : it->second;
}

void CVersionInfo::Free() {
  m_values.clear();
  m_translation = 0;
}
