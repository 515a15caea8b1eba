#include "framework/EditDateTime.h"

#include <algorithm>
#include <wx/datetime.h>

namespace {

bool IsDigit(wxUniChar c) { return c >= '0' && c <= '9'; }

// Typing into a text with separators at positions 2 and 5. `accepts` decides per
// position; the character overwrites the one at the caret when nothing is selected, so
// the text never grows past its length.
bool TypeMasked(EditState& state, wxUniChar ch, wxUniChar separator, long maxLength,
                bool (*accepts)(long pos, wxUniChar ch)) {
  wxString text = state.text;
  long len = static_cast<long>(text.length());
  long start = std::clamp(std::min(state.selStart, state.selEnd), 0L, len);
  long end = std::clamp(std::max(state.selStart, state.selEnd), start, len);

  if ((start == 2 || start == 5) && ch != separator) {
    // Jump over the separator (put it there when the text ends before it).
    if (start == len) {
      text += separator;
      ++len;
    }
    const bool caretOnly = end == start;
    ++start;
    if (caretOnly || end < start) end = start;
  }
  if (start >= maxLength || !accepts(start, ch)) return false;
  if (end == start && start < len) end = start + 1;

  text = text.Left(static_cast<size_t>(start)) + wxString(ch) + text.Mid(static_cast<size_t>(end));
  long caret = start + 1;
  if (caret == 2 || caret == 5) {
    if (caret >= static_cast<long>(text.length()) || text[static_cast<size_t>(caret)] != separator)
      text.insert(static_cast<size_t>(caret), wxString(separator));
    ++caret;
  }
  text.Trim(true);
  if (static_cast<long>(text.length()) > maxLength) text.Truncate(static_cast<size_t>(maxLength));
  caret = std::min(caret, static_cast<long>(text.length()));
  state = EditState{text, caret, caret};
  return true;
}

bool TimeAccepts(long pos, wxUniChar ch) {
  switch (pos) {
    case 0:
      return ch >= '0' && ch <= '2';
    case 3:
    case 6:
      return ch >= '0' && ch <= '5';
    case 2:
    case 5:
      return true;
    default:
      return IsDigit(ch);
  }
}

// Upper limits on the character code, so a '.' passes everywhere but at the year's start.
bool DateAccepts(long pos, wxUniChar ch) {
  switch (pos) {
    case 0:
      return ch <= '3';
    case 3:
      return ch <= '1';
    case 6:
      return ch >= '1' && ch <= '2';
    case 2:
    case 5:
      return true;
    default:
      return ch <= '9';
  }
}

// Characters that may be pasted: digits and the separator, within the length.
bool AcceptsMasked(const EditState& state, const wxString& inserted, wxUniChar separator, size_t maxLength) {
  for (wxUniChar c : inserted) {
    if (!IsDigit(c) && c != separator) return false;
  }
  return ReplaceSelection(state, inserted).length() <= maxLength;
}


}  // namespace

// ---------------------------------------------------------------- calendar

bool IsValidCalendarDate(int year, int month, int day) {
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= (month == 2 && leap ? 29 : days[month - 1]);
}

int DaysInMonth(int month, int year) {
  switch (month) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12:
      return 31;
    case 4: case 6: case 9: case 11:
      return 30;
    default:
      return IsValidCalendarDate(year, 2, 29) ? 29 : 28;
  }
}

// ---------------------------------------------------------------- time

CharResult CTimeEditRules::OnChar(EditState& state, wxUniChar ch) {
  if (ch == '\b') return CharResult::Default;
  if (ch == '+' || ch == '-') return Step(state, ch == '+' ? 1 : -1) ? CharResult::Handled : CharResult::Refused;
  if (!IsDigit(ch) && ch != ':') return CharResult::Refused;
  return TypeMasked(state, ch, ':', kLength, TimeAccepts) ? CharResult::Handled : CharResult::Refused;
}

bool CTimeEditRules::AcceptsInsertion(const EditState& state, const wxString& inserted) const {
  return AcceptsMasked(state, inserted, ':', kLength);
}

bool CTimeEditRules::Step(EditState& state, int delta) {
  const long caret = std::min(state.selStart, state.selEnd);
  if (caret < 0 || caret >= kLength) return false;
  const wxString& t = state.text;
  int field[3] = {LeadingNumber(t.Mid(0, 2)), LeadingNumber(t.Mid(3, 2)), LeadingNumber(t.Mid(6, 2))};
  const int top[3] = {23, 59, 59};
  // Seconds carry into minutes, minutes into hours; hours only wrap.
  for (int f = caret < 3 ? 0 : caret < 6 ? 1 : 2; f >= 0 && delta != 0; --f) {
    field[f] += delta;
    delta = 0;
    if (field[f] > top[f]) {
      field[f] = 0;
      delta = 1;
    } else if (field[f] < 0) {
      field[f] = top[f];
      delta = -1;
    }
  }
  state.text = wxString::Format("%02d:%02d:%02d", field[0], field[1], field[2]);
  return true;
}

wxString CTimeEditRules::Complete(const wxString& text) {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
  const int colon = text.Find(':');
  if (colon == wxNOT_FOUND) {
    hours = LeadingNumber(text.Left(2));
  } else {
    hours = LeadingNumber(text.Left(static_cast<size_t>(colon)));
    const wxString rest = text.Mid(static_cast<size_t>(colon) + 1);
    minutes = LeadingNumber(rest);
    const int next = rest.Find(':');
    if (next != wxNOT_FOUND) seconds = LeadingNumber(rest.Mid(static_cast<size_t>(next) + 1));
  }
  // Limited, not wrapped: "12:300" is 12:59, not 12:44.
  hours = std::clamp(hours, 0, 23);
  minutes = std::clamp(minutes, 0, 59);
  seconds = std::clamp(seconds, 0, 59);
  return wxString::Format("%02d:%02d:%02d", hours, minutes, seconds);
}

FocusLossResult CTimeEditRules::OnKillFocus(const wxString& text) { return {false, Complete(text)}; }

SaveResult CTimeEditRules::OnSave(const wxString& text) { return {true, Complete(text)}; }

// ---------------------------------------------------------------- date

CDateEditRules::CDateEditRules(std::function<int()> currentYear) : m_currentYear(std::move(currentYear)) {
  if (!m_currentYear) m_currentYear = [] { return wxDateTime::Now().GetYear(); };
}

CharResult CDateEditRules::OnChar(EditState& state, wxUniChar ch) {
  if (ch == '\b') return CharResult::Default;
  if (ch == '+' || ch == '-') return Step(state, ch == '+' ? 1 : -1) ? CharResult::Handled : CharResult::Refused;
  if (!IsDigit(ch) && ch != '.') return CharResult::Refused;
  return TypeMasked(state, ch, '.', kLength, DateAccepts) ? CharResult::Handled : CharResult::Refused;
}

bool CDateEditRules::AcceptsInsertion(const EditState& state, const wxString& inserted) const {
  return AcceptsMasked(state, inserted, '.', kLength);
}

bool CDateEditRules::Step(EditState& state, int delta) {
  const long caret = std::min(state.selStart, state.selEnd);
  if (caret < 0 || caret >= kLength) return false;
  const wxString& t = state.text;
  int day = LeadingNumber(t.Mid(0, 2));
  int month = std::clamp(LeadingNumber(t.Mid(3, 2)), 1, 12);
  int year = std::clamp(LeadingNumber(t.Mid(6, 4)), 0, 9999);

  auto stepYear = [&](int d) { year = std::clamp(year + d, 0, 9999); };
  auto stepMonth = [&](int d) {
    month += d;
    if (month > 12) {
      month = 1;
      stepYear(1);
    } else if (month < 1) {
      month = 12;
      stepYear(-1);
    }
  };
  if (caret < 3) {
    day += delta;
    if (day > DaysInMonth(month, year)) {
      day = 1;
      stepMonth(1);
    } else if (day < 1) {
      stepMonth(-1);
      day = DaysInMonth(month, year);
    }
  } else if (caret < 6) {
    stepMonth(delta);
    day = std::min(day, DaysInMonth(month, year));
  } else {
    stepYear(delta);
  }
  state.text = wxString::Format("%02d.%02d.%04d", day, month, year);
  return true;
}

wxString CDateEditRules::Complete(const wxString& text) const {
  int day = 0;
  int month = 1;
  int year = 0;
  const int point = text.Find('.');
  if (point == wxNOT_FOUND) {
    day = LeadingNumber(text.Left(2));
    year = m_currentYear();
  } else {
    day = LeadingNumber(text.Left(static_cast<size_t>(point)));
    const wxString rest = text.Mid(static_cast<size_t>(point) + 1);
    month = LeadingNumber(rest);
    const int next = rest.Find('.');
    year = next == wxNOT_FOUND ? m_currentYear() : LeadingNumber(rest.Mid(static_cast<size_t>(next) + 1));
  }
  // Every part within its range, so what is shown is always a date.
  month = std::clamp(month, 1, 12);
  year = std::clamp(year, 0, 9999);
  day = std::clamp(day, 1, DaysInMonth(month, year));
  return wxString::Format("%02d.%02d.%04d", day, month, year);
}

FocusLossResult CDateEditRules::OnKillFocus(const wxString& text) { return {false, Complete(text)}; }

SaveResult CDateEditRules::OnSave(const wxString& text) { return {true, Complete(text)}; }
