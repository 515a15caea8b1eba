#include "framework/SettingsFile.h"

#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/SuiteHelper.h"

namespace {
wxString g_helpFilePath;
}

void CSettingsFile::SetDefaultBase(const wxString& helpFilePath) { g_helpFilePath = helpFilePath; }

wxString CSettingsFile::DefaultPath() {
  const wxString folder = hv::PathFolder(g_helpFilePath);
  const wxString stem = hv::PathStem(g_helpFilePath);
  return folder.empty() ? stem + ".SET" : folder + "/" + stem + ".SET";
}

CSettingsFile::CSettingsFile() : m_path(DefaultPath()) {}

CSettingsFile::CSettingsFile(const wxString& path) { SetPath(path); }

void CSettingsFile::SetPath(const wxString& path) { m_path = path.empty() ? DefaultPath() : hv::NormalizePath(path); }

wxString CSettingsFile::GetString(const wxString& section, const wxString& key, const wxString& def) const {
  const wxString read = hv::IniGetString(m_path, section, key, def);
  // An empty default would name the brand key's unnamed value: no fallback then.
  if (read == def && !def.empty()) {
    wxString fromRegistry;
    if (hv::GetRegistryQuintorString(def, fromRegistry)) {
      hv::IniWrite(m_path, section, key, fromRegistry);
      return fromRegistry;
    }
  }
  return read;
}

wxString CSettingsFile::PeekString(const wxString& section, const wxString& key, const wxString& def) const {
  const wxString read = hv::IniGetString(m_path, section, key, def);
  wxString fromRegistry;
  if (read == def && !def.empty() && hv::GetRegistryQuintorString(def, fromRegistry)) return fromRegistry;
  return read;
}

int CSettingsFile::GetInt(const wxString& section, const wxString& key, int def) const {
  return hv::IniGetInt(m_path, section, key, def);
}

BOOL CSettingsFile::WriteString(const wxString& section, const wxString& key, const wxString& value) {
  return hv::IniWrite(m_path, section, key, value) ? TRUE : FALSE;
}

BOOL CSettingsFile::WriteInt(const wxString& section, const wxString& key, int value) {
  return hv::IniWrite(m_path, section, key, wxString::Format("%d", value)) ? TRUE : FALSE;
}

BOOL CSettingsFile::ReadSection(const wxString& section, CMapStringToString& map) const {
  map.clear();
  const std::vector<wxString> lines = hv::IniReadSectionLines(m_path, section);
  if (lines.empty()) return FALSE;
  for (const wxString& line : lines) {
    if (line.length() < 2) break;
    if (line[0] == ';') continue;
    const size_t eq = line.find('=');
    if (eq == wxString::npos) {
      map.clear();
      return FALSE;
    }
    map[line.Left(eq)] = line.Mid(eq + 1);
  }
  return TRUE;
}

BOOL CSettingsFile::WriteSection(const wxString& section, const CMapStringToString& map) {
  std::vector<wxString> lines;
  lines.reserve(map.size());
  // The section is built as one block of "key=value" texts, each with its terminating
  // zero; one that would reach 16384 bytes is not written at all.
  std::size_t block = 0;
  for (const auto& [key, value] : map) {
    lines.push_back(key + "=" + value);
    block += lines.back().length() + 1;
    if (block >= kMaxSectionBlock) return FALSE;
  }
  return hv::IniWriteSectionLines(m_path, section, lines) ? TRUE : FALSE;
}
