#pragma once
// Small text helpers the dialogs and pages share: a tokenizer, a sort of string lists
// that ignores case, and a string map with one extra string.
#include <map>
#include <vector>
#include <wx/string.h>

#include "platform/Archive.h"
#include "platform/Types.h"

class CTokenizer {
 public:
  // Cuts `text` at every character that is one of `delimiters`: each piece before a
  // delimiter is a token (also an empty one); the rest after the last delimiter is
  // right-trimmed and a token when not empty. FALSE, with the tokens unchanged, when
  // either argument is null; otherwise the old tokens go first. TRUE when at least one
  // token was found.
  BOOL Tokenize(const wxChar* text, const wxChar* delimiters);
  // The token, or an empty text past the last one.
  wxString GetToken(size_t index) const;
  size_t GetSize() const { return m_tokens.size(); }

 private:
  std::vector<wxString> m_tokens;
};

// Sorts ascending ignoring case ("ä" and "Ä" alike); equal entries keep their order.
void SortStringArrayNoCase(std::vector<wxString>& strings);

// A string map with one string of its own; the map is archived, the string is not.
class CMapWordToString {
 public:
  std::map<wxString, wxString> map;
  wxString text;

  // A count (16 bits, or 0xFFFF and 32 bits), then key and value per entry.
  void Serialize(CArchive& ar);
};
