#include "grid/GridInputMask.h"

#include <wx/defs.h>
#include <wx/wxcrt.h>

#include "grid/GridTypes.h"

namespace {
const wxString kMaskChars = wxS("09#L?Aa&C");

bool IsLetter(wxUniChar c) { return wxIsalpha(c.GetValue()) != 0; }
bool IsDigit(wxUniChar c) { return c >= '0' && c <= '9'; }
bool IsPrintable(wxUniChar c) { return c.GetValue() >= 32 && c.GetValue() != 127; }
}  // namespace

void CGridInputMask::Set(const wxString& mask) {
  m_codes.clear();
  m_literals.clear();
  for (size_t i = 0; i < mask.length(); ++i) {
    wxUniChar c = mask[i];
    if (c == '\\' && i + 1 < mask.length()) {
      m_codes += kLiteral;
      m_literals += mask[++i];
    } else if (kMaskChars.Find(c) != wxNOT_FOUND) {
      m_codes += c;
      m_literals += kLiteral;
    } else {
      m_codes += kLiteral;
      m_literals += c;
    }
  }
}

bool CGridInputMask::Accepts(wxChar code, wxUniChar ch) {
  switch (code) {
    case '0': return IsDigit(ch);
    case '9': return IsDigit(ch) || ch == ' ';
    case '#': return IsDigit(ch) || ch == ' ' || ch == '+' || ch == '-';
    case 'L': return IsLetter(ch);
    case '?': return IsLetter(ch) || ch == ' ';
    case 'A': return IsLetter(ch) || IsDigit(ch);
    case 'a': return IsLetter(ch) || IsDigit(ch) || ch == ' ';
    case '&':
    case 'C': return IsPrintable(ch);
    default: return true;
  }
}

bool CGridInputMask::TypeChar(wxString& text, int& caret, int from, int to, wxUniChar ch) const {
  // Control characters (Backspace and the like) are the edit control's own business.
  if (!IsPrintable(ch)) return true;
  if (!Active()) {
    text = text.Left(static_cast<size_t>(from)) + ch + text.Mid(static_cast<size_t>(to));
    caret = from + 1;
    return true;
  }
  wxString t = text.Left(static_cast<size_t>(from)) + text.Mid(static_cast<size_t>(to));
  int p = from;
  if (p >= Positions() || static_cast<int>(t.length()) >= Positions()) return false;
  // Literals due here go in first, by themselves.
  while (p < Positions() && m_literals[static_cast<size_t>(p)] != kLiteral) {
    t.insert(static_cast<size_t>(p), 1, m_literals[static_cast<size_t>(p)]);
    ++p;
  }
  if (p >= Positions() || !Accepts(static_cast<wxChar>(m_codes[static_cast<size_t>(p)].GetValue()), ch)) return false;
  t.insert(static_cast<size_t>(p), 1, ch);
  if (static_cast<int>(t.length()) > Positions()) t.Truncate(static_cast<size_t>(Positions()));
  text = t;
  caret = p + 1;
  return true;
}

wxString CGridInputMask::Reformat(const wxString& text) const {
  if (!Active() || text.empty()) return text;
  wxString out;
  size_t t = 0;
  for (int p = 0; p < Positions() && t < text.length(); ++p) {
    const wxUniChar lit = m_literals[static_cast<size_t>(p)];
    if (lit != kLiteral) {
      out += lit;
      if (text[t] == lit) ++t;
      continue;
    }
    while (t < text.length() && !Accepts(static_cast<wxChar>(m_codes[static_cast<size_t>(p)].GetValue()), text[t])) ++t;
    if (t >= text.length()) break;
    out += text[t++];
  }
  return out;
}

GridEditorKeyResult GridEditorKey(int key, int modifiers, int column, int row, int caret, int selFrom, int selTo,
                                  int textLength, bool multiLine) {
  GridEditorKeyResult r;
  r.nextColumn = column;
  r.nextRow = row;
  const bool shift = (modifiers & kMkShift) != 0, ctrl = (modifiers & kMkControl) != 0;
  const bool noSelection = selFrom == selTo;
  const auto go = [&](int dc, int dr) {
    r.end = r.move = true;
    r.nextColumn = column + dc;
    r.nextRow = row + dr;
  };
  switch (key) {
    case WXK_TAB: go(shift ? -1 : 1, 0); break;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
      if (!(ctrl && multiLine)) go(0, 1);
      break;
    case WXK_DOWN: go(0, 1); break;
    case WXK_UP: go(0, -1); break;
    case WXK_LEFT:
      if (caret == 0 && noSelection) go(-1, 0);
      break;
    case WXK_RIGHT:
      if ((caret >= textLength && noSelection) || (selFrom == 0 && selTo >= textLength && textLength > 0)) go(1, 0);
      break;
    case WXK_ESCAPE:
      r.end = r.cancel = true;
      break;
    case WXK_DELETE: r.verifyAsDelete = true; break;
    default: break;
  }
  return r;
}
