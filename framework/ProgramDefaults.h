#pragma once
// The programs that edit each kind of object, as [Programs] of the user's profile names
// them, with the default every reader of a row uses.
#include <span>
#include <wx/string.h>

struct ProgramRow {
  const wxChar* displayName;
  const wxChar* key;          // key in [Programs]
  const wxChar* defaultProgram;
};

std::span<const ProgramRow> ProgramRows();
// A row's name in the chosen language.
wxString ProgramRowTitle(const ProgramRow& row);
// The row of a [Programs] key (ignoring case); nullptr when the page has none.
const ProgramRow* FindProgramRow(const wxString& key);
// The default of a [Programs] key (ignoring case); empty for an unknown key.
wxString ProgramDefault(const wxString& key);
// The longest program path a row holds.
constexpr std::size_t kProgramPathMax = 259;
