#include "resources/FontLangModel.h"

#include <set>

#include "model/DeviceSettings.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

wxString CFontLangModel::NoneText() { return hv::LocalString(10676, wxS("<kein>")); }

void CFontLangModel::AddRow(const wxString& title) {
  m_rows.push_back(title);
  for (const LANGUAGE& l : m_languages) m_map[CFontLangKey{static_cast<long>(l.number), title}] = wxString();
}

void CFontLangModel::Load(const wxString& deviceFolder, const std::vector<LANGUAGE>& languages,
                          WORD defaultLanguage) {
  m_map.clear();
  m_rows.clear();
  m_languages.clear();
  for (const LANGUAGE& l : languages) {
    if (l.number == defaultLanguage) m_languages.insert(m_languages.begin(), l);
    else m_languages.push_back(l);
  }
  const bool hasDefault = hv::IsFile(hv::JoinPath(deviceFolder, wxS("hardware/Default.FNT")));
  bool defaultAdded = false;
  std::set<wxString> seen;  // upper-case titles
  const struct {
    const char* folder;
    const char* pattern;
  } sources[] = {{"fonts", "*.fnt"}, {"fonts", "*.ttf"}, {"hardware", "*.ttf"}};
  const wxString defaultTitle = wxS("Default");
  for (const auto& src : sources) {
    const wxString folder = hv::ResolvePath(hv::JoinPath(deviceFolder, wxString(src.folder)));
    for (const wxString& name : hv::ListFolder(folder)) {
      if (!hv::MatchWildcard(wxString(src.pattern), name) || !hv::IsFile(hv::JoinPath(folder, name))) continue;
      const wxString title = hv::PathStem(name);
      if (!seen.insert(title.Upper()).second) continue;
      if (hasDefault && !defaultAdded && title.CmpNoCase(defaultTitle) > 0) {
        AddRow(defaultTitle);
        seen.insert(defaultTitle.Upper());
        defaultAdded = true;
      }
      AddRow(title);
    }
  }

  CDeviceSettings settings(deviceFolder);
  CMapStringToString section;
  settings.File().ReadSection(kSectionFonts, section);
  for (const auto& [key, value] : section) {
    const int dash = key.Find('-');
    if (dash == wxNOT_FOUND) continue;
    long language = 0;
    if (!key.Left(static_cast<size_t>(dash)).ToLong(&language)) continue;
    const CFontLangKey k{language, key.Mid(static_cast<size_t>(dash) + 1)};
    auto it = m_map.find(k);
    if (it == m_map.end()) continue;
    it->second = value == NoneText() ? wxString() : value;
  }
}

int CFontLangModel::FindFontRow(const wxString& title) const {
  for (size_t i = 0; i < m_rows.size(); ++i) {
    if (m_rows[i] == title) return static_cast<int>(i);
  }
  return -1;
}

wxString CFontLangModel::Value(int column, int row) const {
  if (column < 0 || column >= Columns() || row < 0 || row >= Rows()) return wxString();
  auto it = m_map.find(CFontLangKey{static_cast<long>(Language(column).number), Row(row)});
  return it == m_map.end() ? wxString() : it->second;
}

wxString CFontLangModel::ChoiceList() const {
  wxString list = NoneText() + wxS("\n");
  for (const wxString& r : m_rows) list += r + wxS("\n");
  return list;
}

bool CFontLangModel::CheckLanguageFont(int column, int row, const wxString& text) {
  const wxString language = column >= 0 && column < Columns() ? Language(column).name : wxString();
  const wxString font = row >= 0 && row < Rows() ? Row(row) : wxString();
  if (column < 0 || column >= Columns()) {
    hv::ShowMessageF(10677, wxS("Ungültige Sprache ('%s')!"), MB_OK | MB_ICONEXCLAMATION, language);
    return false;
  }
  auto it = m_map.find(CFontLangKey{static_cast<long>(Language(column).number), font});
  if (row < 0 || it == m_map.end()) {
    hv::ShowMessageF(10678, wxS("Ungültige Sprache/Schriftart (%s/%s)!"), MB_OK | MB_ICONEXCLAMATION, language,
                     font);
    return false;
  }
  const wxString value = text == NoneText() ? wxString() : text;
  if (it->second != value) it->second = value;
  return true;
}

bool CFontLangModel::Save(const wxString& deviceFolder) const {
  CMapStringToString section;
  for (const auto& [key, value] : m_map) {
    if (!value.empty()) section[wxString::Format(wxS("%ld-%s"), key.language, key.font)] = value;
  }
  CDeviceSettings settings(deviceFolder);
  return settings.WriteSettingsSection(kSectionFonts, section) != FALSE;
}
