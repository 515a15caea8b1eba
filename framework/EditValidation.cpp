#include "framework/EditValidation.h"

#include <algorithm>

#include "platform/Ui.h"

wxString ReplaceSelection(const EditState& state, const wxString& insert) {
  const long len = static_cast<long>(state.text.length());
  const long start = std::clamp(std::min(state.selStart, state.selEnd), 0L, len);
  const long end = std::clamp(std::max(state.selStart, state.selEnd), start, len);
  return state.text.Left(static_cast<size_t>(start)) + insert + state.text.Mid(static_cast<size_t>(end));
}

long FindCharacterIn(const wxString& text, const CharacterSet& set) {
  long pos = 0;
  for (wxString::const_iterator it = text.begin(); it != text.end(); ++it, ++pos) {
    if (set.Contains(*it)) return pos;
  }
  return -1;
}

int LeadingNumber(const wxString& text) {
  size_t i = 0;
  const size_t n = text.length();
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long value = 0;
  for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min(value * 10 + (text[i].GetValue() - '0'), 999999L);
  }
  return static_cast<int>(negative ? -value : value);
}

CharResult CEditRules::OnChar(EditState& state, wxUniChar ch) {
  if (ch.GetValue() < 0x20 || ch.GetValue() == 0x7F) return CharResult::Default;  // Backspace, Tab, Enter
  return AcceptsInsertion(state, wxString(ch)) ? CharResult::Default : CharResult::Refused;
}

bool CEditRules::AcceptsInsertion(const EditState& state, const wxString& inserted) const {
  const CharacterSet forbidden = GetForbiddenCharset();
  const CharacterSet allowed = GetAllowedCharset();
  for (wxUniChar c : inserted) {
    if (forbidden.Contains(c)) return false;
    if (!allowed.IsEmpty() && !allowed.Contains(c)) return false;
  }
  const wxString wouldBe = ReplaceSelection(state, inserted);
  const wxString temp = GetTempRegExp();
  if (!temp.empty() && (!m_matcher.Compile(temp) || m_matcher.Find(wouldBe) < 0)) return false;
  return IsValid(wouldBe);
}

FocusLossResult CEditRules::OnKillFocus(const wxString& text) {
  const wxString final = GetFinalRegExp();
  if (!final.empty() && (!m_matcher.Compile(final) || m_matcher.Find(text) < 0)) return {true, text};
  const wxString formatted = GetFinalFormatedString(text);
  if (!IsValid(formatted)) return {true, text};
  if (!CheckRange(formatted)) return {false, ReportRangeError(formatted)};
  return {false, formatted};
}

SaveResult CEditRules::OnSave(const wxString& text) { return {true, text}; }

BOOL CCharsetEditRules::CheckForbidden(const wxString& text, long* badPos) const {
  const long pos = FindCharacterIn(text, GetForbiddenCharset());
  if (badPos) *badPos = pos;
  if (pos < 0) return TRUE;
  hv::ShowMessage(10300, wxS("Es wurde ein ungültiges Zeichen eingegeben!"), MB_OK | MB_ICONINFORMATION);
  return FALSE;
}

long CheckForbiddenText(const wxString& text, const CharacterSet& forbidden) {
  CCharsetEditRules rules;
  rules.SetForbiddenCharset(forbidden);
  long pos = -1;
  rules.CheckForbidden(text, &pos);
  return pos;
}

CharacterSet ForbiddenNameCharset(bool blank) {
  return CharacterSet(blank ? wxS("/\\:*?<>|. ") : wxS("/\\:*?<>|."), true);
}

FocusLossResult CCharsetEditRules::OnKillFocus(const wxString& text) {
  const wxString formatted = GetFinalFormatedString(text);
  const wxString final = GetFinalRegExp();
  if (!final.empty() && CountMatches(final, m_matcher, formatted) == 0) return {true, text};
  return CEditRules::OnKillFocus(formatted);
}
