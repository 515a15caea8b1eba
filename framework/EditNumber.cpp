#include "framework/EditNumber.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

#include "platform/Ui.h"

namespace {

const char kNumberPattern[] = "^([+-]?[0-9]*([.][0-9]*)?)?$";
const char kDigitsPattern[] = "[+-]?([0-9]*)([.]([0-9]*))?";

locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

}  // namespace

double ScanNumber(const wxString& text, bool* ok) {
  const std::string s = text.utf8_string();
  const char* begin = s.c_str();
  char* end = nullptr;
  const double v = strtod_l(begin, &end, CLocale());
  const bool read = end != begin;
  if (ok) *ok = read;
  return read ? v : 0.0;
}

wxString PrintFixed(double value, int decimals) {
  decimals = std::clamp(decimals, 0, 100);
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buf[512];
  std::string s;
  // An exact half at the last place has no more than decimals+1 binary fraction digits.
  const double scaled = std::ldexp(std::fabs(value), decimals + 1);
  if (std::isfinite(scaled) && scaled == std::floor(scaled) && std::fmod(scaled, 2.0) == 1.0) {
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals + 1);
    s.assign(buf, r.ptr);
    s.pop_back();  // the '5'
    if (s.back() == '.') s.pop_back();
    int i = static_cast<int>(s.size()) - 1;
    for (; i >= 0; --i) {
      if (s[i] == '.') continue;
      if (s[i] == '-') break;
      if (s[i] == '9') {
        s[i] = '0';
        continue;
      }
      ++s[i];
      break;
    }
    if (i < 0)
      s.insert(0, "1");
    else if (s[i] == '-')
      s.insert(static_cast<size_t>(i) + 1, "1");
  } else {
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    s.assign(buf, r.ptr);
  }
  if (!s.empty() && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return wxString::FromAscii(s.c_str());
}

wxString CLongDoubleEditRules::Attach(double value, double minimum, double maximum, int integerDigits) {
  integerDigits = std::clamp(integerDigits, 0, 400);
  if (minimum == 0.0 && maximum == 0.0) {
    const double bound = ScanNumber(wxString('9', static_cast<size_t>(integerDigits)) + ".0");
    m_min = -bound;
    m_max = bound;
  } else {
    m_min = minimum;
    m_max = maximum;
  }
  SetDigits(integerDigits, 0);
  return SetValue(value);
}

void CLongDoubleEditRules::SetDigits(int integerDigits, int fractionDigits) {
  integerDigits = std::max(integerDigits, 0);
  fractionDigits = std::clamp(fractionDigits, 0, 100);
  if (m_maxLength == m_intDigits + m_fracDigits) m_maxLength = integerDigits + fractionDigits;
  m_intDigits = integerDigits;
  m_fracDigits = fractionDigits;
}

double CLongDoubleEditRules::GetValue(const wxString& text) const { return ScanNumber(text.empty() ? "0.0" : text); }

wxString CLongDoubleEditRules::SetValue(double value) const { return GetFinalFormatedString(PrintFixed(value, 6)); }

wxString CLongDoubleEditRules::GetTempRegExp() const { return kNumberPattern; }

wxString CLongDoubleEditRules::GetFinalRegExp() const { return kNumberPattern; }

wxString CLongDoubleEditRules::GetFinalFormatedString(const wxString& text) const {
  // ".", "-." and "+." pass the typing pattern but read as nothing: they count as 0.0.
  const wxString source = (text.empty() || text == "-" || text == "+") ? wxString("0.0") : text;
  const double value = ScanNumber(source);
  wxString r = (m_intDigits != 0 || m_fracDigits != 0) ? PrintFixed(value, m_fracDigits) : PrintFixed(value, 6);
  if (r.Find('.') != wxNOT_FOUND) {
    while (r.EndsWith("0")) r.RemoveLast();
    if (r.EndsWith(".")) r.RemoveLast();
  }
  if (m_maxLength <= 0 || static_cast<int>(r.length()) <= m_maxLength) return r;

  // Too many digits: keep the leading ones; further integer digits become "0" so the
  // magnitude stays, further fraction digits are dropped.
  wxString out;
  int count = 0;
  bool point = false;
  for (wxUniChar c : r) {
    if (c == '-') {
      out += c;
    } else if (c == '.') {
      if (count >= m_maxLength) break;
      out += c;
      point = true;
    } else if (c >= '0' && c <= '9') {
      if (count < m_maxLength) {
        out += c;
        ++count;
      } else if (point) {
        break;
      } else {
        out += '0';
      }
    } else {
      out += c;
    }
  }
  return out;
}

bool CLongDoubleEditRules::IsValid(const wxString& text) const {
  if (m_intDigits == 0 && m_fracDigits == 0) return true;
  wxString integer = "\\1";
  wxString fraction = "\\3";
  MatchAndReplace(m_matcher, text, kDigitsPattern, integer);
  MatchAndReplace(m_matcher, text, kDigitsPattern, fraction);
  if (static_cast<int>(integer.length()) > m_intDigits) return false;
  if (!fraction.empty() && static_cast<int>(fraction.length()) > m_fracDigits) return false;
  return true;
}

CharacterSet CLongDoubleEditRules::GetAllowedCharset() const {
  wxString set = "0123456789";
  if ((m_intDigits == 0 && m_fracDigits == 0) || (m_intDigits != 0 && m_fracDigits >= 1)) set += '.';
  if (m_min < 0 || m_max < 0) set += '-';
  if (m_min > 0 || m_max > 0) set += '+';
  return CharacterSet(set);
}

bool CLongDoubleEditRules::CheckRange(const wxString& text) const {
  const double value = ScanNumber(text);
  return m_min <= value && value <= m_max;
}

wxString CLongDoubleEditRules::PrintForMessage(double value) const {
  // Without digit limits the full "%f" precision, so the message never shows a
  // rounded value that would look valid.
  return GetFinalFormatedString(PrintFixed(value, (m_intDigits != 0 || m_fracDigits != 0) ? m_fracDigits : 6));
}

wxString CLongDoubleEditRules::ReportRangeError(const wxString& text) {
  const wxString message =
      wxString::Format(hv::LocalString(10211, wxS("'%s' ist kein gültiger Wert.\nEs sind nur Werte von %s bis %s erlaubt!\n")),
                       PrintForMessage(ScanNumber(text)), PrintForMessage(m_min), PrintForMessage(m_max));
  hv::Ui().Message(10211, message, MB_OK | MB_ICONINFORMATION, hv::LocalString(10237, wxS("Falscheingabe")));
  return SetValue(GetValue(text) >= m_min ? m_max : m_min);
}

std::optional<wxString> CLongDoubleEditRules::OnScroll(const wxString& text, int delta) {
  const double value = GetValue(text) + delta;
  const wxString stepped = GetFinalFormatedString(PrintFixed(value, 6));
  if (IsValid(stepped) && CheckRange(stepped)) return stepped;
  return SetValue(value >= m_min ? m_max : m_min);
}

SaveResult CLongDoubleEditRules::OnSave(const wxString& text) {
  const wxString formatted = GetFinalFormatedString(text);
  if (CheckRange(formatted)) return {true, formatted};
  ReportRangeError(formatted);
  return {false, SetValue(GetValue(formatted) > m_max ? m_max : m_min)};
}
