#pragma once
// Folders in stored texts (device parameters, table rows, settings) are kept as macros,
// so that a project can move: "$$$DEVICEPATH$$$", "$$$SYMBOLDATEIPATH$$$" and
// "$$$PROJECTPATH$$$".
#include <wx/string.h>

inline const wxString kMacroDevicePath = wxS("$$$DEVICEPATH$$$");
inline const wxString kMacroSymbolPath = wxS("$$$SYMBOLDATEIPATH$$$");
inline const wxString kMacroProjectPath = wxS("$$$PROJECTPATH$$$");

// The folders that stand behind the macros; an empty folder is neither collapsed nor
// expanded (its macro stays in the text).
struct PathMacroFolders {
  wxString device;
  wxString symbol;
  wxString project;
};

// Replaces the folder by the macro wherever it stands as a whole path: case ignored,
// '\' and '/' alike, followed by a separator, ';' or the end of the text, and not
// preceded by a path character ("/p/Geraet1" inside "/p/Geraet10" or "/x/p/Geraet1"
// stays). The rest of the text keeps its spelling.
wxString CollapseFolder(const wxString& text, const wxString& folder, const wxString& macro);

// The device folder, then the symbol folder, then the project folder collapsed.
wxString CollapsePathMacros(const wxString& text, const PathMacroFolders& folders);
// The macros replaced by their folders and trailing blanks removed.
wxString ExpandPathMacros(const wxString& text, const PathMacroFolders& folders);
