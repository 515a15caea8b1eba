#pragma once
// Names of data points: the default name of a picked address, the characters a
// CoDeSys-conforming name may hold, and the name proposed by the sheet's picker.
#include <functional>
#include <unordered_map>
#include <unordered_set>

#include <wx/string.h>

#include "platform/Types.h"

namespace dpname {

// The name made from an address (prefix mode 0: the field-bus device's name, 1: its
// node text, other: none), before it is made unique in the table.
wxString FromAddress(const wxString& address, int prefixMode, const wxString& deviceName, const wxString& node,
                     bool codesysNames);

// Whether a typed character is accepted into a name whose caret selection is
// [start, end): ASCII letters, digits except first, '_' not beside another '_',
// control characters.
bool AcceptsChar(const wxString& text, long start, long end, wxChar c);

enum : UINT {
  TXT_CODESYS_LETTERS_DIGITS = 11501,     // "Es sind nur Buchstaben und Ziffern erlaubt."
  TXT_CODESYS_FIRST_LETTER = 11502,       // "Das ersten Zeichen muß ein Buchstabe sein."
  TXT_CODESYS_DOUBLE_UNDERSCORE = 11503,  // "Es dürfen nicht zwei Unterstriche aufeinander folgen."
};

// 0 when the whole name conforms, else the number of the specific complaint
// (letters and digits only, first a letter, no double underscore).
UINT CoDeSysComplaint(const wxString& name);

// The name, or the first of name_1, name_2, ... (the name cut to leave room in 30
// characters) that `taken` does not hold; the name is right-trimmed first.
wxString FreeName(const wxString& name, const std::function<bool(const wxString&)>& taken);

// The names one command proposes: each one FreeName would give against `taken` (the
// table) and every name proposed before it. The search of a name's suffixes goes on
// where the last one of that name stopped, so that N proposals cost O(N) look-ups in
// all, also when they all start from one name.
class ProposedNames {
 public:
  explicit ProposedNames(std::function<bool(const wxString&)> taken) : m_taken(std::move(taken)) {}
  wxString Propose(const wxString& name);
  // Whether a proposal has the name (without regard to case).
  bool Holds(const wxString& name) const { return m_names.count(name.Lower()) != 0; }

 private:
  std::function<bool(const wxString&)> m_taken;
  std::unordered_set<wxString> m_names;                // lower case
  std::unordered_map<wxString, unsigned> m_nextSuffix;  // by the name cut and trimmed, lower case
};

// The name the general page proposes for a picked address when the name is empty:
// with two '|' the middle and last field joined by '_', cut to 30 characters.
wxString FromPickedAddress(const wxString& address);

}  // namespace dpname
