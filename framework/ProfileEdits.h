#pragma once
// The keys a settings dialog writes, collected while it confirms and written together:
// every key of every page shown, in one write of the profile.
#include <vector>
#include <wx/string.h>

#include "framework/SettingsFile.h"
#include "platform/IniFile.h"

class ProfileEdits {
 public:
  explicit ProfileEdits(const wxString& path) : m_profile(path) {}
  const CSettingsFile& Profile() const { return m_profile; }
  void Set(const wxString& section, const wxString& key, const wxString& value) {
    m_pending.push_back(hv::IniEntry{section, key, value});
  }
  const std::vector<hv::IniEntry>& Pending() const { return m_pending; }
  void Clear() { m_pending.clear(); }
  // One write of everything queued; false when it failed (the file is then as it was).
  bool Commit() {
    const bool ok = m_pending.empty() || hv::IniWriteMany(m_profile.GetPath(), m_pending);
    m_pending.clear();
    return ok;
  }

 private:
  CSettingsFile m_profile;
  std::vector<hv::IniEntry> m_pending;
};
