#pragma once
// Changes to the user's profile collected while a settings dialog is open and written
// together when it is confirmed: a key is written only when its value was changed, so
// rows the user never touched keep their readers' defaults.
#include <vector>
#include <wx/string.h>

#include "framework/SettingsFile.h"
#include "platform/IniFile.h"

class ProfileEdits {
 public:
  explicit ProfileEdits(const wxString& path) : m_profile(path) {}
  const CSettingsFile& Profile() const { return m_profile; }
  // Queues the key when the value differs from the one shown at the start.
  void Set(const wxString& section, const wxString& key, const wxString& shown, const wxString& value) {
    if (value != shown) m_pending.push_back(hv::IniEntry{section, key, value});
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
