#pragma once
// Accessor of one INI-style settings file: the per-user profile, a project's or a
// device's settings.
#include <cstddef>
#include <map>
#include <wx/string.h>

#include "platform/Types.h"

using CMapStringToString = std::map<wxString, wxString>;

class CSettingsFile {
 public:
  CSettingsFile();
  explicit CSettingsFile(const wxString& path);

  void SetPath(const wxString& path);
  const wxString& GetPath() const { return m_path; }

  // Reads a value. When the text read equals a non-empty default, the brand's registry
  // value named by the default is taken instead and written into the file.
  wxString GetString(const wxString& section, const wxString& key, const wxString& def) const;
  // The same value without writing the registry's value into the file (for dialogs that
  // must leave the file as it was until the user confirms).
  wxString PeekString(const wxString& section, const wxString& key, const wxString& def) const;
  int GetInt(const wxString& section, const wxString& key, int def) const;
  BOOL WriteString(const wxString& section, const wxString& key, const wxString& value);
  BOOL WriteInt(const wxString& section, const wxString& key, int value);
  // Reads a section into the map (emptied first); FALSE for a missing or empty section
  // and for a section with a line without "=" (the map is then left empty).
  BOOL ReadSection(const wxString& section, CMapStringToString& map) const;
  // Replaces a whole section with the map's pairs; FALSE, writing nothing, when the
  // pairs with their terminating zeros would reach kMaxSectionBlock bytes.
  static constexpr std::size_t kMaxSectionBlock = 16384;
  BOOL WriteSection(const wxString& section, const CMapStringToString& map);

  // The path used for an empty one: the help file's folder and name with ".SET".
  static void SetDefaultBase(const wxString& helpFilePath);
  static wxString DefaultPath();

 private:
  wxString m_path;
};
