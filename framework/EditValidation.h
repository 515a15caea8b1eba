#pragma once
// What the validating edits check, without any window: the filter of typed and pasted
// text, the checks and formatting when an edit loses the focus, and the check when a
// dialog saves its data. The wx edits in app/ui only forward their events here.
#include <optional>
#include <wx/string.h>

#include "framework/RegExp.h"
#include "platform/Types.h"

// Text and selection of an edit; the caret is the selection's start.
struct EditState {
  wxString text;
  long selStart = 0;
  long selEnd = 0;
};

// The text with the selection replaced by `insert` (positions clamped to the text).
wxString ReplaceSelection(const EditState& state, const wxString& insert);

// A set of characters. `high` adds every character from U+0080 on: the characters
// 128-255 of the ANSI code page and everything it cannot hold.
class CharacterSet {
 public:
  CharacterSet() = default;
  CharacterSet(const wxString& chars, bool high = false) : m_chars(chars), m_high(high) {}
  CharacterSet(const char* chars) : m_chars(chars) {}

  bool Contains(wxUniChar c) const { return (m_high && c.GetValue() >= 0x80) || m_chars.Find(c) != wxNOT_FOUND; }
  bool IsEmpty() const { return m_chars.empty() && !m_high; }
  const wxString& Chars() const { return m_chars; }
  bool High() const { return m_high; }

 private:
  wxString m_chars;
  bool m_high = false;
};

// Position of the first character of the text that is in the set, or -1.
long FindCharacterIn(const wxString& text, const CharacterSet& set);

// What an edit does with a typed character.
enum class CharResult {
  Default,  // the control handles the key itself (accepted character, Backspace)
  Handled,  // the rules changed text and selection in the state
  Refused,  // dropped without a sound
};

// Focus loss: the text to show, and whether the edit keeps the focus.
struct FocusLossResult {
  bool keepFocus = false;
  wxString text;
};

// Saving a dialog's data: the text to show; `ok` false keeps the dialog open on the edit.
struct SaveResult {
  bool ok = true;
  wxString text;
};

// Rules of the validating edit: a filter of typed characters against an allowed and a
// forbidden set and a pattern for incomplete input, and at focus loss a final pattern,
// formatting, validity and range checks. Subclasses override what their edit needs.
class CEditRules {
 public:
  virtual ~CEditRules() = default;

  virtual wxString GetTempRegExp() const { return {}; }
  virtual wxString GetFinalRegExp() const { return {}; }
  virtual wxString GetFinalFormatedString(const wxString& text) const { return text; }
  virtual bool IsValid(const wxString& text) const { return true; }
  virtual CharacterSet GetForbiddenCharset() const { return m_forbidden; }
  virtual CharacterSet GetAllowedCharset() const { return {}; }
  virtual bool CheckRange(const wxString& text) const { return true; }
  // Reports a value out of range and returns the text to show instead.
  virtual wxString ReportRangeError(const wxString& text) { return text; }
  // Spin buttons, arrow keys and the wheel: the new text, or nothing.
  virtual std::optional<wxString> OnScroll(const wxString& text, int delta) { return std::nullopt; }

  virtual CharResult OnChar(EditState& state, wxUniChar ch);
  // Pasting: true when the text may go in place of the selection.
  virtual bool AcceptsInsertion(const EditState& state, const wxString& inserted) const;
  virtual FocusLossResult OnKillFocus(const wxString& text);
  virtual SaveResult OnSave(const wxString& text);

  void SetForbiddenCharset(const CharacterSet& set) { m_forbidden = set; }

 protected:
  mutable CPatternMatcher m_matcher;

 private:
  CharacterSet m_forbidden;
};

// Names and other texts without forbidden characters.
class CCharsetEditRules : public CEditRules {
 public:
  // TRUE when the text holds none of the forbidden characters; otherwise shows
  // message 10300 and gives the position of the first one to select.
  BOOL CheckForbidden(const wxString& text, long* badPos = nullptr) const;
  FocusLossResult OnKillFocus(const wxString& text) override;
};

// The check CCharsetEditRules makes, for code that checks a text the edit handed over
// (dialogs answered by scripts, pages checked on leaving): message 10300 when the text
// holds a character of the set. Returns -1, or the position of the first such character.
long CheckForbiddenText(const wxString& text, const CharacterSet& forbidden);

// Characters names may not hold: "/\:*?<>|." and every character from 128 on; the
// naming dialog also refuses the blank.
CharacterSet ForbiddenNameCharset(bool blank);

// Number of the digits at the start of a text as the C runtime's atoi reads them
// (leading blanks, a sign, digits; nothing readable is 0), kept within +-999999.
int LeadingNumber(const wxString& text);
