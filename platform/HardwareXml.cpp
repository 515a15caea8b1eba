// The XML form of a hardware configuration. A small strict reader: elements,
// attributes, comments, processing instructions and CDATA; no document type
// declarations (so no entity expansion), no external anything.
#include <cctype>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

#include "platform/Codec.h"
#include "platform/HardwareConfigFile.h"

namespace hv {

namespace {

constexpr size_t kMaxDepth = 64;

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

// Encoding named in the declaration, lower case; empty without one.
std::string DeclaredEncoding(std::string_view bytes) {
  if (!StartsWithNoCase(bytes, "<?xml")) return std::string();
  const size_t end = bytes.find("?>");
  if (end == std::string_view::npos) return std::string();
  std::string decl(bytes.substr(0, end));
  for (char& c : decl) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const size_t at = decl.find("encoding");
  if (at == std::string::npos) return std::string();
  const size_t q = decl.find_first_of("\"'", at);
  if (q == std::string::npos) return std::string();
  const size_t q2 = decl.find(decl[q], q + 1);
  if (q2 == std::string::npos) return std::string();
  return decl.substr(q + 1, q2 - q - 1);
}

bool Decode(std::string_view bytes, std::wstring& out) {
  wxString text;
  if (HasUtf16LeBom(bytes)) {
    if (!FromUtf16Le(bytes.substr(0, bytes.size() & ~size_t(1)), text)) return false;
  } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    text = FromUtf8(bytes.substr(3));
    if (text.empty() && bytes.size() > 3) return false;
  } else {
    const std::string enc = DeclaredEncoding(bytes);
    if (enc == "windows-1252" || enc == "cp1252" || enc == "iso-8859-1" || enc == "iso-8859-15" ||
        enc == "latin1" || enc == "latin-1") {
      text = FromCp1252(bytes);
    } else {
      text = FromUtf8(bytes);
      if (text.empty() && !bytes.empty()) return false;   // not UTF-8
    }
  }
  out = text.ToStdWstring();
  return true;
}

bool IsNameChar(wchar_t c) {
  return std::iswalnum(static_cast<wint_t>(c)) || c == '_' || c == '-' || c == '.' || c == ':' || c > 0x7F;
}

class Reader {
 public:
  explicit Reader(const std::wstring& s) : m_s(s) {}

  bool Parse(ConfigSections& out) {
    std::vector<std::wstring> open;
    bool sawRoot = false;
    long section = -1;   // index into out of the section being read, -1 outside
    while (m_p < m_s.size()) {
      if (m_s[m_p] != '<') {
        if (open.empty() && !std::iswspace(static_cast<wint_t>(m_s[m_p]))) return false;
        ++m_p;
        continue;
      }
      if (Ahead(L"<!--")) {
        if (!SkipPast(L"-->")) return false;
        continue;
      }
      if (Ahead(L"<?")) {
        if (!SkipPast(L"?>")) return false;
        continue;
      }
      if (Ahead(L"<![CDATA[")) {
        if (open.empty() || !SkipPast(L"]]>")) return false;
        continue;
      }
      if (Ahead(L"<!")) return false;   // document type declarations are not accepted
      if (Ahead(L"</")) {
        m_p += 2;
        std::wstring name;
        if (!ReadName(name)) return false;
        SkipSpace();
        if (!Take('>') || open.empty() || open.back() != name) return false;
        open.pop_back();
        if (open.size() < 2) section = -1;
        continue;
      }
      ++m_p;
      std::wstring name;
      if (!ReadName(name)) return false;
      std::vector<std::pair<std::wstring, std::wstring>> attrs;
      bool selfClosing = false;
      for (;;) {
        const bool spaced = SkipSpace();
        if (Take('>')) break;
        if (Ahead(L"/>")) {
          m_p += 2;
          selfClosing = true;
          break;
        }
        std::wstring an, av;
        if (!spaced || !ReadName(an)) return false;
        SkipSpace();
        if (!Take('=')) return false;
        SkipSpace();
        if (!ReadValue(av)) return false;
        for (const auto& a : attrs)
          if (a.first == an) return false;
        attrs.emplace_back(std::move(an), std::move(av));
      }
      auto attr = [&](const wchar_t* n) -> const std::wstring* {
        for (const auto& a : attrs)
          if (wxString(a.first).CmpNoCase(n) == 0) return &a.second;
        return nullptr;
      };
      const size_t depth = open.size();
      if (depth == 0) {
        if (sawRoot || wxString(name).CmpNoCase("hardware") != 0) return false;
        sawRoot = true;
      } else if (depth == 1 && wxString(name).CmpNoCase("section") == 0) {
        const std::wstring* sn = attr(L"name");
        wxString sectionName = sn ? wxString(*sn) : wxString();
        sectionName.Trim(true).Trim(false);
        section = -1;
        if (!sectionName.empty() && !FindSection(out, sectionName)) {
          out.push_back(ConfigSection{sectionName, {}});
          section = static_cast<long>(out.size()) - 1;
        }
      } else if (depth == 2 && section >= 0 && wxString(name).CmpNoCase("entry") == 0) {
        const std::wstring* k = attr(L"key");
        const std::wstring* v = attr(L"value");
        wxString key = k ? wxString(*k) : wxString();
        key.Trim(true).Trim(false);
        ConfigSection& s = out[static_cast<size_t>(section)];
        if (!key.empty() && !s.Find(key)) s.entries.emplace_back(key, v ? wxString(*v) : wxString());
      }
      if (!selfClosing) {
        if (open.size() >= kMaxDepth) return false;
        open.push_back(std::move(name));
      } else if (depth == 1) {
        section = -1;
      }
    }
    return sawRoot && open.empty();
  }

 private:
  bool Ahead(const wchar_t* t) const { return m_s.compare(m_p, std::wcslen(t), t) == 0; }
  bool Take(wchar_t c) {
    if (m_p < m_s.size() && m_s[m_p] == c) {
      ++m_p;
      return true;
    }
    return false;
  }
  bool SkipSpace() {
    const size_t from = m_p;
    while (m_p < m_s.size() && std::iswspace(static_cast<wint_t>(m_s[m_p]))) ++m_p;
    return m_p > from;
  }
  bool SkipPast(const wchar_t* t) {
    const size_t at = m_s.find(t, m_p + 1);
    if (at == std::wstring::npos) return false;
    m_p = at + std::wcslen(t);
    return true;
  }
  bool ReadName(std::wstring& name) {
    const size_t from = m_p;
    while (m_p < m_s.size() && IsNameChar(m_s[m_p])) ++m_p;
    name = m_s.substr(from, m_p - from);
    return !name.empty();
  }
  bool ReadValue(std::wstring& value) {
    if (m_p >= m_s.size() || (m_s[m_p] != '"' && m_s[m_p] != '\'')) return false;
    const wchar_t quote = m_s[m_p++];
    value.clear();
    while (m_p < m_s.size() && m_s[m_p] != quote) {
      const wchar_t c = m_s[m_p];
      if (c == '<') return false;
      if (c != '&') {
        value.push_back(c);
        ++m_p;
        continue;
      }
      const size_t semi = m_s.find(';', m_p);
      if (semi == std::wstring::npos || semi - m_p > 12) return false;
      const std::wstring ent = m_s.substr(m_p + 1, semi - m_p - 1);
      m_p = semi + 1;
      if (ent == L"amp") value.push_back('&');
      else if (ent == L"lt") value.push_back('<');
      else if (ent == L"gt") value.push_back('>');
      else if (ent == L"quot") value.push_back('"');
      else if (ent == L"apos") value.push_back('\'');
      else if (!AppendCharRef(ent, value)) return false;
    }
    return Take(quote);
  }
  static bool AppendCharRef(const std::wstring& ent, std::wstring& value) {
    if (ent.size() < 2 || ent[0] != '#') return false;
    const bool hex = ent[1] == 'x' || ent[1] == 'X';
    const std::wstring digits = ent.substr(hex ? 2 : 1);
    if (digits.empty()) return false;
    unsigned long code = 0;
    for (wchar_t c : digits) {
      int d;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
      else return false;
      code = code * (hex ? 16 : 10) + static_cast<unsigned long>(d);
      if (code > 0x10FFFF) return false;
    }
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) return false;
    value.push_back(static_cast<wchar_t>(code));
    return true;
  }

  const std::wstring& m_s;
  size_t m_p = 0;
};

}  // namespace

bool ParseHardwareXml(std::string_view bytes, ConfigSections& out) {
  out.clear();
  std::wstring text;
  if (!Decode(bytes, text)) return false;
  Reader reader(text);
  if (!reader.Parse(out)) {
    out.clear();
    return false;
  }
  return true;
}

}  // namespace hv
