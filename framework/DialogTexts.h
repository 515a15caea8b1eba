#pragma once
// Labels, titles and buttons of the program's dialogs are written in German in the
// dialogs; each has its number in the catalogues.
#include <utility>
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"

// The label in the language in use; a text without a number stays as it is.
wxString DlgText(const wxString& german);
// Every dialog text with its number.
std::vector<std::pair<UINT, wxString>> DialogTexts();
