#include "platform/Db4.h"

#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "platform/Codec.h"

namespace hv {

namespace {

enum class Kind { Signed, Unsigned, Float, Time, Date, None };

Kind KindOf(DWORD type) {
  if (type >= kDpVarText || type == kDpText) return Kind::None;
  switch (type) {
    case kDpByte:
    case kDpWord:
    case kDpDword: return Kind::Signed;
    case kDpBytePos:
    case kDpBit:
    case kDpWordPos:
    case kDpDwordPos: return Kind::Unsigned;
    case kDpFloat: return Kind::Float;
    case kDpTime: return Kind::Time;
    case kDpDate: return Kind::Date;
    default: return Kind::Signed;
  }
}

void Range(DWORD type, long long& lo, long long& hi) {
  switch (type) {
    case kDpByte: lo = -128; hi = 127; return;
    case kDpWord: lo = -32768; hi = 32767; return;
    case kDpBytePos: lo = 0; hi = 255; return;
    case kDpBit: lo = 0; hi = 1; return;
    case kDpWordPos: lo = 0; hi = 65535; return;
    case kDpDwordPos: lo = 0; hi = 0xFFFFFFFFLL; return;
    default: lo = std::numeric_limits<std::int32_t>::min(); hi = std::numeric_limits<std::int32_t>::max(); return;
  }
}

DWORD FromFloat(float f) {
  DWORD d;
  std::memcpy(&d, &f, sizeof d);
  return d;
}

float ToFloat(DWORD d) {
  float f;
  std::memcpy(&f, &d, sizeof f);
  return f;
}

// Days from 1 March of year 0 style civil dates (proleptic Gregorian), after
// H. Hinnant's public-domain algorithms.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

const long long kDay0 = DaysFromCivil(1900, 1, 1);

unsigned DaysInMonth(long long y, unsigned m) {
  static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : days[m - 1];
}

// Splits "a<sep>b<sep>c" into unsigned numbers of the given digit counts.
bool SplitNumbers(const std::string& s, char sep, int parts, const int* maxDigits, long long* out) {
  size_t p = 0;
  for (int i = 0; i < parts; ++i) {
    if (i > 0) {
      if (p >= s.size() || s[p] != sep) return false;
      ++p;
    }
    const size_t from = p;
    while (p < s.size() && s[p] >= '0' && s[p] <= '9') ++p;
    if (p == from || static_cast<int>(p - from) > maxDigits[i]) return false;
    std::from_chars(s.data() + from, s.data() + p, out[i]);
  }
  return p == s.size();
}

Db4Status ParseInteger(const std::string& s, DWORD type, DWORD& value) {
  long long lo, hi;
  Range(type, lo, hi);
  const char* b = s.data();
  const char* e = b + s.size();
  bool neg = false;
  if (b < e && (*b == '+' || *b == '-')) neg = *b++ == '-';
  if (b == e || *b < '0' || *b > '9') return Db4Status::Syntax;
  unsigned long long mag = 0;
  const auto r = std::from_chars(b, e, mag);
  if (r.ptr != e) return Db4Status::Syntax;
  const unsigned long long limit = static_cast<unsigned long long>(neg ? -lo : hi);
  if (r.ec == std::errc::result_out_of_range || mag > limit) {
    value = static_cast<DWORD>(neg ? lo : hi);
    return Db4Status::OutOfRange;
  }
  value = static_cast<DWORD>(neg ? -static_cast<long long>(mag) : static_cast<long long>(mag));
  return Db4Status::Ok;
}

Db4Status ParseFloat(const std::string& s, DWORD& value) {
  const char* b = s.data();
  const char* e = b + s.size();
  bool neg = false;
  if (b < e && (*b == '+' || *b == '-')) neg = *b++ == '-';
  // Digits or a point first: no "inf", "nan" or hexadecimal forms.
  if (b == e || !((*b >= '0' && *b <= '9') || *b == '.')) return Db4Status::Syntax;
  double v = 0;
  const auto r = std::from_chars(b, e, v, std::chars_format::general);
  if (r.ptr != e || r.ptr == b) return Db4Status::Syntax;
  if (r.ec == std::errc::result_out_of_range) {
    const std::string rest(b, e);
    const size_t exp = rest.find_first_of("eE");
    if (exp != std::string::npos && exp + 1 < rest.size() && rest[exp + 1] == '-') {
      value = FromFloat(neg ? -0.0f : 0.0f);   // too small: zero
      return Db4Status::Ok;
    }
    value = FromFloat(neg ? -FLT_MAX : FLT_MAX);
    return Db4Status::OutOfRange;
  }
  if (neg) v = -v;
  if (!std::isfinite(v)) return Db4Status::Syntax;
  if (std::fabs(v) > FLT_MAX) {
    value = FromFloat(v < 0 ? -FLT_MAX : FLT_MAX);
    return Db4Status::OutOfRange;
  }
  value = FromFloat(static_cast<float>(v));
  return Db4Status::Ok;
}

Db4Status ParseTime(const std::string& s, DWORD& value) {
  static const int digits[] = {2, 2, 2};
  long long n[3] = {0, 0, 0};
  if (!SplitNumbers(s, ':', 3, digits, n) && !SplitNumbers(s, ':', 2, digits, n)) return Db4Status::Syntax;
  if (n[0] > 23 || n[1] > 59 || n[2] > 59) {
    value = 86399;
    return Db4Status::OutOfRange;
  }
  value = static_cast<DWORD>(n[0] * 3600 + n[1] * 60 + n[2]);
  return Db4Status::Ok;
}

Db4Status ParseDate(const std::string& s, DWORD& value) {
  static const int digits[] = {2, 2, 4};
  long long n[3] = {0, 0, 0};
  if (!SplitNumbers(s, '.', 3, digits, n) || s.size() - s.rfind('.') != 5) return Db4Status::Syntax;
  const long long d = n[0], m = n[1], y = n[2];
  if (m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, static_cast<unsigned>(m))) return Db4Status::Syntax;
  if (y < 1900) {
    value = 0;
    return Db4Status::OutOfRange;
  }
  value = static_cast<DWORD>(DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) - kDay0);
  return Db4Status::Ok;
}

}  // namespace

DWORD atodb4(const wxString& input, DWORD type, Db4Status* status) {
  wxString t = input;
  t.Trim(true).Trim(false);
  DWORD value = 0;
  Db4Status st = Db4Status::Ok;
  const Kind kind = KindOf(type);
  if (kind == Kind::None) {
    st = Db4Status::Ok;
  } else if (t.empty()) {
    st = Db4Status::Empty;
  } else {
    const std::string s = ToUtf8(t);
    switch (kind) {
      case Kind::Signed:
      case Kind::Unsigned: st = ParseInteger(s, type, value); break;
      case Kind::Float: st = ParseFloat(s, value); break;
      case Kind::Time: st = ParseTime(s, value); break;
      case Kind::Date: st = ParseDate(s, value); break;
      case Kind::None: break;
    }
    if (st == Db4Status::Syntax) value = 0;
  }
  if (status) *status = st;
  return value;
}

wxString db4toa(DWORD value, DWORD type) {
  switch (KindOf(type)) {
    case Kind::Signed: return wxString::Format("%d", static_cast<int>(static_cast<std::int32_t>(value)));
    case Kind::Unsigned: return wxString::Format("%u", static_cast<unsigned>(value));
    case Kind::Float: {
      char buf[32];
      const auto r = std::to_chars(buf, buf + sizeof buf, ToFloat(value), std::chars_format::general, 7);
      return wxString::FromAscii(buf, static_cast<size_t>(r.ptr - buf));
    }
    case Kind::Time:
      return wxString::Format("%02u:%02u:%02u", static_cast<unsigned>(value / 3600),
                              static_cast<unsigned>(value / 60 % 60), static_cast<unsigned>(value % 60));
    case Kind::Date: {
      long long y;
      unsigned m, d;
      CivilFromDays(kDay0 + static_cast<long long>(value), y, m, d);
      return wxString::Format("%02u.%02u.%04lld", d, m, y);
    }
    case Kind::None: break;
  }
  return wxString();
}

int db4cmp(DWORD a, DWORD b, DWORD type) {
  switch (KindOf(type)) {
    case Kind::Signed: {
      const auto x = static_cast<std::int32_t>(a), y = static_cast<std::int32_t>(b);
      return x < y ? -1 : x > y ? 1 : 0;
    }
    case Kind::Unsigned:
    case Kind::Time:
    case Kind::Date: return a < b ? -1 : a > b ? 1 : 0;
    case Kind::Float: {
      const float x = ToFloat(a), y = ToFloat(b);
      // A value that is no number sorts after every number.
      if (std::isnan(x) || std::isnan(y)) return std::isnan(x) == std::isnan(y) ? 0 : std::isnan(x) ? 1 : -1;
      return x < y ? -1 : x > y ? 1 : 0;
    }
    case Kind::None: break;
  }
  return 0;
}

}  // namespace hv
