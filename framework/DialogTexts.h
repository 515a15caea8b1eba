#pragma once
// Labels, titles and buttons of the program's dialogs are written in German in the
// dialogs; each has its number in the catalogues.
#include <span>
#include <utility>
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"

// A text written in German in the code, with its number in the catalogues.
struct NumberedText {
  UINT number;
  const wxChar* german;
};

// The text of the table's row with this German text, in the language in use; a text
// the table does not hold stays as it is.
wxString LocalTextOf(std::span<const NumberedText> table, const wxString& german);
// The table's rows as number and German text.
std::vector<std::pair<UINT, wxString>> TextsOf(std::span<const NumberedText> table);

// The label in the language in use; a text without a number stays as it is.
wxString DlgText(const wxString& german);
// Every dialog text with its number.
std::vector<std::pair<UINT, wxString>> DialogTexts();
