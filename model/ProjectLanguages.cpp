// The languages of a project: [Languages/Fonts] (the project languages), [DefLanguages]
// (user-defined languages) and [Config] DefaultLanguage of "PROJECT.SET".
#include <cerrno>
#include <cstring>

#include "framework/LocalTables.h"
#include "model/DeviceServices.h"
#include "model/Project.h"
#include "model/ProjectOperations.h"
#include "platform/Localization.h"
#include "platform/Ui.h"

namespace {

bool IsBuiltIn(WORD id) {
  for (const LANGUAGE& l : GetBuiltInLanguages()) {
    if (l.number == 0) break;
    if (l.number == id) return true;
  }
  return false;
}

// Keys of a section as language numbers; keys that are no number of 16 bits are left out.
LanguageMap ToLanguageMap(const CMapStringToString& section) {
  LanguageMap map;
  for (const auto& [key, value] : section) {
    unsigned long n = 0;
    wxString k = key;
    k.Trim(true).Trim(false);
    if (k.empty() || k.find_first_not_of(wxS("0123456789")) != wxString::npos || !k.ToULong(&n) || n > 65535)
      continue;
    map.emplace(static_cast<WORD>(n), value);
  }
  return map;
}

// [Languages/Fonts] with the default added and primary numbers moved to their first
// sub-language (7 becomes 1031).
BOOL ReadFonts(CPOProject& project, LanguageMap& map) {
  CMapStringToString section;
  const BOOL read = project.GetSettings().ReadSection(projectset::kLanguagesFonts, section);
  LanguageMap raw = ToLanguageMap(section);
  map.clear();
  for (const auto& [id, value] : raw) {
    WORD n = id;
    if ((n & 0xFC00) == 0) n = static_cast<WORD>((n & 0x3FF) | 0x400);
    if (!map.count(n) || n == id) map[n] = value;
  }
  if (!map.count(project.GetDefaultLanguageId())) map[project.GetDefaultLanguageId()] = wxString();
  return read;
}

}  // namespace

BOOL CPOProject::ReadLanguageFonts(LanguageMap& map) {
  const BOOL read = ReadFonts(*this, map);
  for (auto it = map.begin(); it != map.end();) {
    if (it->first < 32768 && !IsBuiltIn(it->first)) it = map.erase(it);
    else ++it;
  }
  return read;
}

BOOL CPOProject::ReadUserLanguages(LanguageMap& map) {
  CMapStringToString section;
  const BOOL read = GetSettings().ReadSection(projectset::kDefLanguages, section);
  map.clear();
  for (const auto& [id, name] : ToLanguageMap(section))
    if (id >= 32768 && id <= 65534) map[id] = name;
  return read;
}

BOOL CPOProject::WriteUserLanguages(const LanguageMap& map) {
  CMapStringToString section;
  for (const auto& [id, name] : map) section[wxString::Format("%d", static_cast<int>(id))] = name;
  return GetSettings().WriteSection(projectset::kDefLanguages, section);
}

void CPOProject::GetLanguages(LanguageMap& names) {
  names.clear();
  LanguageMap users;
  ReadUserLanguages(users);
  LanguageMap fonts;
  ReadFonts(*this, fonts);
  bool usersChanged = false;
  for (const auto& [id, value] : fonts) {
    if (id < 32768) {
      const wxString name = FindLanguageName(id);
      if (!name.empty() && IsBuiltIn(id)) names[id] = name;
    } else if (id <= 65534) {
      if (!users.count(id)) {
        wxString name = FindLanguageName(id);
        if (name.empty()) name = wxString::Format(hv::LocalString(10686, wxS("Unbekannte %d")), static_cast<int>(id));
        users[id] = name;
        usersChanged = true;
      }
      names[id] = users[id];
    }
  }
  if (usersChanged) WriteUserLanguages(users);
}

void CPOProject::SetDefaultLanguage(WORD language) {
  m_defaultLanguage = language;
  CSettingsFile lower(projectset::PathIn(m_folder, projectset::kLower));
  lower.WriteInt(projectset::kConfig, wxS("DefaultLanguage"), language);
  LanguageMap fonts;
  ReadLanguageFonts(fonts);
  CMapStringToString section;
  for (const auto& [id, value] : fonts) section[wxString::Format("%d", static_cast<int>(id))] = value;
  errno = 0;
  if (!GetSettings().WriteSection(projectset::kLanguagesFonts, section)) {
    const int error = errno ? errno : EIO;
    hv::Ui().Message(0, wxString(std::strerror(error)), MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  hv::ShowMessage(10687,
                  wxS("Eine Änderung der Standardsprache wird erst nach einem Neustart des Programms wirksam!"),
                  MB_OK | MB_ICONINFORMATION);
}

WORD CPrjProjectServices::GetDefaultLanguage(CPOProject& project) { return project.GetDefaultLanguageId(); }

std::vector<LANGUAGE> CPrjProjectServices::GetLanguages(CPOProject& project) {
  LanguageMap names;
  project.GetLanguages(names);
  std::vector<LANGUAGE> languages;
  for (const auto& [number, name] : names) languages.push_back({number, name});
  return languages;
}

wxString CPrjProjectServices::GetProjectFolder(CProjectObject& object) {
  auto* project = dynamic_cast<CPOProject*>(&object);
  return project ? project->GetFolder() : wxString();
}
