#include "grid/NumberFormat.h"

#include <charconv>
#include <clocale>
#include <langinfo.h>
#include <locale.h>
#include <cmath>
#include <string>

const CGridNumberFormat& CGridNumberFormat::Fixed() {
  static const CGridNumberFormat fixed;
  return fixed;
}

namespace {
CGridNumberFormat& UserFormat() {
  static CGridNumberFormat user;
  return user;
}
}  // namespace

const CGridNumberFormat& CGridNumberFormat::User() { return UserFormat(); }

void CGridNumberFormat::SetUser(const CGridNumberFormat& format) { UserFormat() = format; }

CGridNumberFormat CGridNumberFormat::FromLocale(const char* name) {
  CGridNumberFormat format;
  // Read without switching the process's locale: number parsing elsewhere stays "C".
  locale_t loc = newlocale(LC_NUMERIC_MASK | LC_MONETARY_MASK, name, static_cast<locale_t>(nullptr));
  if (!loc) return format;
  const auto text = [&](nl_item item) { return wxString::FromUTF8(nl_langinfo_l(item, loc)); };
  if (const wxString d = text(RADIXCHAR); !d.empty()) format.decimal = d;
  format.thousands = text(THOUSEP);
  // The currency text starts with where the symbol stands ('-', '+' or '.').
  const wxString currency = text(CRNCYSTR);
  format.currency = currency.length() > 1 ? currency.Mid(1) : wxString();
  freelocale(loc);
  return format;
}

double GridParseNumber(const wxString& text, const CGridNumberFormat& format) {
  wxString t = text;
  if (!format.thousands.empty()) t.Replace(format.thousands, wxString());
  if (!format.currency.empty()) t.Replace(format.currency, wxString());
  if (!format.decimal.empty() && format.decimal != wxS(".")) t.Replace(format.decimal, wxS("."));
  const std::string s = t.ToStdString(wxConvUTF8);
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' || s[i] == '\f' || s[i] == '\v')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  // from_chars takes no sign of its own after ours; a second sign means nothing parsed.
  if (i >= s.size() || s[i] == '+' || s[i] == '-') return 0.0;
  double value = 0.0;
  const auto res = std::from_chars(s.data() + i, s.data() + s.size(), value, std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range) {
    // strtod's answers: HUGE_VAL for an overflow, 0 for an underflow.
    const std::string digits(s.data() + i, res.ptr);
    const size_t e = digits.find_first_of("eE");
    value = (e != std::string::npos && e + 1 < digits.size() && digits[e + 1] == '-') ? 0.0 : HUGE_VAL;
  } else if (res.ec != std::errc()) {
    return 0.0;
  }
  return negative ? -value : value;
}

namespace {

wxString Chars(const char* begin, const char* end) { return wxString::FromAscii(begin, end - begin); }

// Trims zeros at the end of the fraction and a point left alone; the integer part and
// an exponent are never touched.
wxString TrimFraction(const wxString& text) {
  wxString mantissa = text, exponent;
  const int e = text.Find('e');
  if (e != wxNOT_FOUND) {
    mantissa = text.Left(e);
    exponent = text.Mid(e);
  }
  if (mantissa.Find('.') != wxNOT_FOUND) {
    while (mantissa.EndsWith(wxS("0"))) mantissa.RemoveLast();
    if (mantissa.EndsWith(wxS("."))) mantissa.RemoveLast();
  }
  return mantissa + exponent;
}

}  // namespace

wxString GridShortestFixed(double value) {
  if (!std::isfinite(value)) return std::isnan(value) ? wxS("nan") : (value < 0 ? wxS("-inf") : wxS("inf"));
  char buf[400];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  wxString s = TrimFraction(Chars(buf, res.ptr));
  if (s == wxS("-0")) s = wxS("0");
  return s;
}

wxString GridFixedDecimals(double value, int decimals) {
  if (!std::isfinite(value)) return GridShortestFixed(value);
  if (decimals < 0) decimals = 0;
  if (decimals > 40) decimals = 40;
  char buf[400];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  return Chars(buf, res.ptr);
}

wxString GridSingleText(double value) {
  const float f = static_cast<float>(value);
  if (!std::isfinite(f)) return GridShortestFixed(f);
  if (f == 0.0f) return wxS("0");
  char buf[128];
  // The exponent of the value as rounded to seven significant digits.
  auto res = std::to_chars(buf, buf + sizeof buf, f, std::chars_format::scientific, 6);
  const std::string sci(buf, res.ptr);
  const int exponent = std::stoi(sci.substr(sci.find('e') + 1));
  if (exponent < -2 || exponent >= 14) return TrimFraction(Chars(buf, res.ptr));
  res = std::to_chars(buf, buf + sizeof buf, f, std::chars_format::fixed, 6 - exponent > 0 ? 6 - exponent : 0);
  return TrimFraction(Chars(buf, res.ptr));
}
