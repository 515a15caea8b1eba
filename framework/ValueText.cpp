#include "framework/ValueText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/Localization.h"

namespace {

bool IsDigit(wxUniChar c) { return c >= '0' && c <= '9'; }
int Digit(wxUniChar c) { return static_cast<int>(c.GetValue() - '0'); }

bool TwoDigits(const wxString& t, size_t at, int& value) {
  if (!IsDigit(t[at]) || !IsDigit(t[at + 1])) return false;
  value = Digit(t[at]) * 10 + Digit(t[at + 1]);
  return true;
}

int DaysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[month - 1];
}

// Digits after the point: the first always, the rest up to the last non-zero one.
std::string Fraction(const std::string& digits) {
  if (digits.empty()) return "0";
  size_t end = digits.find_last_not_of('0');
  end = end == std::string::npos || end == 0 ? 1 : end + 1;
  return digits.substr(0, end);
}

}  // namespace

BOOL IsNumberString(const wxString& text, BOOL integerOnly, wxUniChar separator) {
  if (text.empty()) return FALSE;
  if (integerOnly && text.length() >= 2 && text[0] == '0') return FALSE;
  size_t i = 0;
  if (text[0] == '+' || text[0] == '-') {
    if (text.length() == 1) return FALSE;
    i = 1;
  }
  int digits = 0;
  bool separatorSeen = false;
  for (; i < text.length(); ++i) {
    const wxUniChar c = text[i];
    if (IsDigit(c)) ++digits;
    else if (!integerOnly && c == separator && !separatorSeen) separatorSeen = true;
    else return FALSE;
  }
  // "," or "+," hold no number at all.
  return digits > 0 ? TRUE : FALSE;
}

BOOL IsDateString(const wxString& text) {
  if (text.length() != 10 || text[2] != '.' || text[5] != '.') return FALSE;
  int day = 0, month = 0, hi = 0, lo = 0;
  if (!TwoDigits(text, 0, day) || !TwoDigits(text, 3, month) || !TwoDigits(text, 6, hi) || !TwoDigits(text, 8, lo))
    return FALSE;
  const int year = hi * 100 + lo;
  if (day < 1 || day > 31 || month < 1 || month > 12 || year < 100) return FALSE;
  return day <= DaysInMonth(year, month) ? TRUE : FALSE;
}

BOOL IsTimeString(const wxString& text) {
  if (text.length() != 8 || text[2] != ':' || text[5] != ':') return FALSE;
  int hour = 0, minute = 0, second = 0;
  if (!TwoDigits(text, 0, hour) || !TwoDigits(text, 3, minute) || !TwoDigits(text, 6, second)) return FALSE;
  // Hours 00 to 24, each with any minutes and seconds (24:59:59 is taken).
  return hour <= 24 && minute <= 59 && second <= 59 ? TRUE : FALSE;
}

wxString FormatFloatText(float value, BOOL allowExponent) {
  const double v = value;
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
  if (v == 0) return "0.0";
  const double magnitude = std::fabs(v);

  // Seven significant digits as a whole number, rounded half away from zero. log10 may
  // be one off at powers of ten, and rounding may carry into an eighth digit: both move
  // the exponent.
  int e = static_cast<int>(std::floor(std::log10(magnitude)));
  long long m = 0;
  for (int tries = 0; tries < 4; ++tries) {
    m = std::llround(magnitude * std::pow(10.0, 6 - e));
    if (m == 10000000) {
      m = 1000000;
      ++e;
      break;
    }
    if (m > 10000000) ++e;
    else if (m < 1000000) --e;
    else break;
  }
  std::string digits = std::to_string(m);
  // Enough digits for every place before the point; the rest are zeros.
  const size_t wanted = std::max<size_t>(15, e >= 0 ? static_cast<size_t>(e) + 2 : 0);
  digits.resize(std::max(digits.size(), wanted), '0');

  std::string out = v < 0 ? "-" : "";
  if (allowExponent && (e < -2 || e >= 14)) {
    out += digits[0];
    out += '.';
    out += Fraction(digits.substr(1));
    out += 'e';
    if (e < 0) out += '-';
    out += std::to_string(std::abs(e));
  } else if (e < 0) {
    out += "0.";
    out += Fraction(std::string(static_cast<size_t>(-e - 1), '0') + digits);
  } else {
    const size_t whole = static_cast<size_t>(e) + 1;
    out += digits.substr(0, whole);
    out += '.';
    out += Fraction(digits.substr(whole));
  }
  return wxString::FromAscii(out.c_str());
}

wxString GetDataTypeName(DWORD dataType) {
  if (dataType >= 0x2000) return hv::LocalString(10675, wxS("Variabler Text"));
  switch (dataType) {
    case 1: return hv::LocalString(10028, wxS("Byte"));
    case 2: return hv::LocalString(10145, wxS("Byte pos."));
    case 4: return hv::LocalString(10159, wxS("Bit"));
    case 8: return hv::LocalString(10176, wxS("Wort"));
    case 16: return hv::LocalString(10196, wxS("Wort pos."));
    case 32: return hv::LocalString(10220, wxS("Doppelwort"));
    case 64: return hv::LocalString(10249, wxS("Doppelwort pos."));
    case 128: return hv::LocalString(10280, wxS("Gleitkomma"));
    case 256: return hv::LocalString(10311, wxS("Text"));
    case 512: return hv::LocalString(10000, wxS("Zeit"));
    case 1024: return hv::LocalString(10341, wxS("Datum"));
    default: return hv::LocalString(10132, wxS("Unbekannt"));
  }
}
