#pragma once
// Version information of a program file. ELF files carry no version resource: our own
// program answers the values it was built with, every other file has none.
#include <map>
#include <wx/string.h>

#include "platform/Types.h"

class CVersionInfo {
 public:
  // Loads the version information of a program file; an empty path means our own.
  // FALSE when the file has none.
  BOOL Load(const wxString& modulePath = wxString());
  // A value by name ("ProductVersion", "FileVersion", "LegalCopyright", ...), looked up
  // as "\StringFileInfo\<translation>\<name>"; empty when nothing is loaded or the
  // value is missing.
  wxString GetString(const wxString& name) const;
  wxString GetFileVersion() const { return GetString("FileVersion"); }
  wxString GetLegalCopyright() const { return GetString("LegalCopyright"); }
  wxString GetProductVersion() const { return GetString("ProductVersion"); }
  // Language in the upper 16 bits, code page in the lower; 0 when nothing is loaded.
  DWORD GetTranslation() const { return m_translation; }
  void Free();

 private:
  std::map<wxString, wxString> m_values;   // full query path -> value
  DWORD m_translation = 0;
};
