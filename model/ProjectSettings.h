#pragma once
// The project settings file "PROJECT.SET" in a project folder: the [Config] values that
// the project object keeps. Different steps spell the file differently; every access
// finds the existing spelling, so a project never gets two of them.
#include <wx/string.h>

#include "platform/Types.h"

namespace projectset {

// Spellings the steps use when the file does not exist yet.
inline const wxString kUpper = wxS("PROJECT.SET");
inline const wxString kMixed = wxS("Project.set");
inline const wxString kLower = wxS("project.set");

// The file in a folder: its existing spelling, else `spelling`.
wxString PathIn(const wxString& folder, const wxString& spelling = kUpper);
// True when the folder holds the file in any spelling.
bool ExistsIn(const wxString& folder);

inline const wxString kConfig = wxS("Config");
inline const wxString kLanguagesFonts = wxS("Languages/Fonts");
inline const wxString kDefLanguages = wxS("DefLanguages");
inline const wxString kPane = wxS("Pane1");

}  // namespace projectset

// The five flags that steer the CoDeSys variable lists and command files.
struct ProjectFlags {
  BOOL CoDeSysDP = 1;
  BOOL CoDeSysDPChecksum = 0;
  BOOL CoDeSysDPCreate = 1;
  BOOL CoDeSysDPCreateCOM = 1;
  BOOL CoDeSysDPByteAddr = 0;

  bool operator==(const ProjectFlags&) const = default;

  // Reads [Config] of a settings file (missing keys: the defaults above).
  static ProjectFlags Read(const wxString& file);
  // Writes them as decimal numbers; false when the file could not be written.
  bool Write(const wxString& file) const;
};
