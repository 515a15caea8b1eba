#pragma once
// The shell's folder and file choices, as requests through the UI facade.
#include <wx/string.h>

// A folder of the file system, starting at `start`; `chosen` is filled on IDOK.
struct ChooseFolderRequest {
  wxString start;
  wxString chosen;
};

// An existing file to open; `filter` is "text|patterns|..." as the program's filter
// strings are written. `chosen` is filled on IDOK.
struct ChooseFileRequest {
  wxString initial;
  wxString filter;
  wxString chosen;
};
