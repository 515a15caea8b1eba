#pragma once
// Rules of the in-cell editors that need no window: the input mask, and where the
// ending keys send the current cell.
#include <wx/string.h>

class CGridInputMask {
 public:
  static constexpr wxChar kLiteral = 8;

  // An empty mask switches masking off.
  void Set(const wxString& mask);
  bool Active() const { return !m_codes.empty(); }
  // Number of positions: the most characters the text may hold.
  int Positions() const { return static_cast<int>(m_codes.length()); }
  const wxString& Codes() const { return m_codes; }
  const wxString& Literals() const { return m_literals; }
  // Whether the mask character (or a literal position) takes the character.
  static bool Accepts(wxChar code, wxUniChar ch);
  // Types `ch` at the caret after the selection [from, to) is removed. Literals due at
  // the caret are inserted first. False when the character is refused (text unchanged).
  bool TypeChar(wxString& text, int& caret, int from, int to, wxUniChar ch) const;
  // The text walked along the mask: literals put in, unacceptable characters dropped.
  wxString Reformat(const wxString& text) const;

 private:
  wxString m_codes, m_literals;
};

// What an ending key does in an editor.
struct GridEditorKeyResult {
  bool end = false;      // editing ends (the text is offered for storing)
  bool cancel = false;   // ... without storing
  bool move = false;     // then the current cell moves to next column/row
  int nextColumn = 0, nextRow = 0;
  bool verifyAsDelete = false;  // Delete goes through the character check as 127
};
GridEditorKeyResult GridEditorKey(int key, int modifiers, int column, int row, int caret, int selFrom, int selTo,
                                  int textLength, bool multiLine);
