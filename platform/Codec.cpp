#include "platform/Codec.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace hv {
namespace {

// Unicode code points of bytes 0x80-0x9F; the unassigned ones keep their C1 value.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int EncodeChar(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == c) return static_cast<int>(0x80 + i);
  return -1;
}

}  // namespace

void AssignCp1252(std::string_view bytes, wxString& out) {
  // Through a buffer on the stack: the string keeps its storage when it is reused.
  wchar_t buffer[256];
  out.clear();
  while (!bytes.empty()) {
    const std::size_t n = std::min(bytes.size(), std::size(buffer));
    for (std::size_t i = 0; i < n; ++i) {
      const auto b = static_cast<unsigned char>(bytes[i]);
      buffer[i] = static_cast<wchar_t>(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b);
    }
    out.append(buffer, n);
    bytes.remove_prefix(n);
  }
}

wxString FromCp1252(std::string_view bytes) {
  wxString out;
  AssignCp1252(bytes, out);
  return out;
}

bool ToCp1252(const wxString& text, std::string& out) {
  out.clear();
  out.reserve(text.length());
  bool ok = true;
  for (wxString::const_iterator it = text.begin(); it != text.end(); ++it) {
    const int b = EncodeChar(static_cast<char32_t>((*it).GetValue()));
    if (b < 0) {
      ok = false;
      out.push_back('?');
    } else {
      out.push_back(static_cast<char>(b));
    }
  }
  return ok;
}

std::string ToCp1252Lossy(const wxString& text) {
  std::string out;
  ToCp1252(text, out);
  return out;
}

bool FitsCp1252(const wxString& text) {
  for (wxString::const_iterator it = text.begin(); it != text.end(); ++it)
    if (EncodeChar(static_cast<char32_t>((*it).GetValue())) < 0) return false;
  return true;
}

std::string ToUtf16LeBom(const wxString& text) {
  std::string out = "\xFF\xFE";
  for (wxString::const_iterator it = text.begin(); it != text.end(); ++it) {
    char32_t c = static_cast<char32_t>((*it).GetValue());
    auto put = [&out](char16_t u) {
      out.push_back(static_cast<char>(u & 0xFF));
      out.push_back(static_cast<char>(u >> 8));
    };
    if (c >= 0x10000) {
      c -= 0x10000;
      put(static_cast<char16_t>(0xD800 + (c >> 10)));
      put(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      put(static_cast<char16_t>(c));
    }
  }
  return out;
}

bool HasUtf16LeBom(std::string_view bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
         static_cast<unsigned char>(bytes[1]) == 0xFE;
}

bool FromUtf16Le(std::string_view bytes, wxString& out) {
  out.clear();
  if (HasUtf16LeBom(bytes)) bytes.remove_prefix(2);
  if (bytes.size() % 2 != 0) return false;
  for (size_t i = 0; i < bytes.size(); i += 2) {
    char32_t u = static_cast<unsigned char>(bytes[i]) |
                 (static_cast<unsigned char>(bytes[i + 1]) << 8);
    if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
      const char32_t lo = static_cast<unsigned char>(bytes[i + 2]) |
                          (static_cast<unsigned char>(bytes[i + 3]) << 8);
      if (lo >= 0xDC00 && lo < 0xE000) {
        u = 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00);
        i += 2;
      }
    }
    out.append(1, static_cast<wxUniChar>(u));
  }
  return true;
}

}  // namespace hv

namespace hv {
namespace {

// Length of the UTF-8 sequence at s[i] and its code point; 0 when it is not one.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& cp) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  std::size_t len;
  if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    cp = c & 0x07;
  } else {
    return 0;
  }
  if (s.size() - i < len) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto d = static_cast<unsigned char>(s[i + k]);
    if ((d & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (d & 0x3F);
  }
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return len;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
  char32_t cp;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t n = DecodeUtf8(bytes, i, cp);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

wxString FromUtf8(std::string_view bytes) {
  wxString out;
  wchar_t buffer[256];
  std::size_t used = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    char32_t cp;
    const std::size_t n = DecodeUtf8(bytes, i, cp);
    if (n == 0) return wxString();
    i += n;
    buffer[used++] = static_cast<wchar_t>(cp);
    if (used == std::size(buffer)) {
      out.append(buffer, used);
      used = 0;
    }
  }
  out.append(buffer, used);
  return out;
}

std::string ToUtf8(const wxString& text) {
  std::string out;
  out.reserve(text.length());
  for (wxUniChar ch : text) {
    char32_t c = ch.GetValue();
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

}  // namespace hv
