#include "grid/TavDateTime.h"

#include <cmath>

#include "framework/EditDateTime.h"

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date.
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

const long kSerialZero = DaysFromCivil(1899, 12, 30);

// Reads an unsigned number of 1 to `maxDigits` digits at `pos`.
bool ReadNumber(const wxString& s, size_t& pos, int maxDigits, int& out) {
  int digits = 0;
  out = 0;
  while (pos < s.length() && digits < maxDigits && s[pos] >= '0' && s[pos] <= '9') {
    out = out * 10 + static_cast<int>(s[pos].GetValue() - '0');
    ++pos;
    ++digits;
  }
  return digits > 0;
}

bool ReadTime(const wxString& s, size_t& pos, int& h, int& mi, int& se) {
  se = 0;
  if (!ReadNumber(s, pos, 2, h) || pos >= s.length() || s[pos] != ':') return false;
  ++pos;
  if (!ReadNumber(s, pos, 2, mi)) return false;
  if (pos < s.length() && s[pos] == ':') {
    ++pos;
    if (!ReadNumber(s, pos, 2, se)) return false;
  }
  return h <= 23 && mi <= 59 && se <= 59;
}

}  // namespace

CTavDateTime::CTavDateTime(int year, int month, int day, int hour, int minute, int second) {
  if (!IsValidCalendarDate(year, month, day) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59) {
    m_status = invalid;
    return;
  }
  const double days = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kSerialZero);
  const double time = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
  // Before day 0 the fraction still counts forward from midnight.
  m_date = days >= 0 ? days + time : days - time;
}

CTavDateTime CTavDateTime::FromDate(double serial) {
  CTavDateTime t;
  if (!std::isfinite(serial) || serial < -657434.0 || serial >= 2958466.0) {
    t.m_status = invalid;
  } else {
    t.m_date = serial;
  }
  return t;
}

bool CTavDateTime::GetParts(int& year, int& month, int& day, int& hour, int& minute, int& second) const {
  if (m_status != valid) return false;
  double whole = std::trunc(m_date);
  double frac = std::fabs(m_date - whole);
  long seconds = std::lround(frac * 86400.0);
  if (seconds >= 86400) {
    seconds -= 86400;
    whole += m_date >= 0 ? 1 : -1;
  }
  CivilFromDays(static_cast<long>(whole) + kSerialZero, year, month, day);
  hour = static_cast<int>(seconds / 3600);
  minute = static_cast<int>(seconds / 60 % 60);
  second = static_cast<int>(seconds % 60);
  return true;
}

wxString CTavDateTime::Format(unsigned flags) const {
  int y, mo, d, h, mi, s;
  if (!GetParts(y, mo, d, h, mi, s)) return wxString();
  const wxString date = wxString::Format(wxS("%02d.%02d.%04d"), d, mo, y);
  if ((flags & kDateValueOnly) || (h == 0 && mi == 0 && s == 0)) return date;
  return date + wxString::Format(wxS(" %02d:%02d:%02d"), h, mi, s);
}

bool CTavDateTime::ParseDateTime(const wxString& text, unsigned flags) {
  wxString s = text;
  s.Trim(true).Trim(false);
  size_t pos = 0;
  int d = 0, mo = 0, y = 0, h = 0, mi = 0, se = 0;
  m_status = invalid;
  m_date = 0.0;
  const int colon = s.Find(':');
  const int dot = s.Find('.');
  if (colon != wxNOT_FOUND && (dot == wxNOT_FOUND || colon < dot)) {
    if (!ReadTime(s, pos, h, mi, se) || pos != s.length()) return false;
    *this = CTavDateTime(1899, 12, 30, (flags & kDateValueOnly) ? 0 : h, (flags & kDateValueOnly) ? 0 : mi,
                         (flags & kDateValueOnly) ? 0 : se);
    return IsValid();
  }
  if (!ReadNumber(s, pos, 2, d) || pos >= s.length() || s[pos] != '.') return false;
  ++pos;
  if (!ReadNumber(s, pos, 2, mo) || pos >= s.length() || s[pos] != '.') return false;
  ++pos;
  if (!ReadNumber(s, pos, 4, y)) return false;
  if (pos < s.length()) {
    if (s[pos] != ' ') return false;
    while (pos < s.length() && s[pos] == ' ') ++pos;
    if (!ReadTime(s, pos, h, mi, se) || pos != s.length()) return false;
  }
  if (flags & kDateValueOnly) h = mi = se = 0;
  *this = CTavDateTime(y, mo, d, h, mi, se);
  return IsValid();
}
