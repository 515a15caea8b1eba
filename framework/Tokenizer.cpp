#include "framework/Tokenizer.h"

#include <algorithm>
#include <cwctype>

#include "platform/Codec.h"

BOOL CTokenizer::Tokenize(const wxChar* text, const wxChar* delimiters) {
  if (!text || !delimiters) return FALSE;
  m_tokens.clear();
  const wxString input(text);
  const wxString delims(delimiters);
  wxString piece;
  for (const wxUniChar ch : input) {
    if (delims.Find(ch) != wxNOT_FOUND) {
      m_tokens.push_back(piece);
      piece.clear();
    } else {
      piece += ch;
    }
  }
  piece.Trim(true);
  if (!piece.empty()) m_tokens.push_back(piece);
  return m_tokens.empty() ? FALSE : TRUE;
}

wxString CTokenizer::GetToken(size_t index) const { return index < m_tokens.size() ? m_tokens[index] : wxString(); }

namespace {

// Lower case without regard to the process locale: Latin-1 capitals by rule, the rest
// through the C library.
wxUniChar Fold(wxUniChar ch) {
  const wxUint32 c = ch.GetValue();
  if (c < 0x80) return static_cast<wxUint32>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  return static_cast<wxUint32>(std::towlower(static_cast<wint_t>(c)));
}

int CompareNoCase(const wxString& a, const wxString& b) {
  auto ia = a.begin();
  auto ib = b.begin();
  for (; ia != a.end() && ib != b.end(); ++ia, ++ib) {
    const wxUint32 ca = Fold(*ia).GetValue();
    const wxUint32 cb = Fold(*ib).GetValue();
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (ia == a.end()) return ib == b.end() ? 0 : -1;
  return 1;
}

}  // namespace

void SortStringArrayNoCase(std::vector<wxString>& strings) {
  if (strings.size() < 2) return;
  std::stable_sort(strings.begin(), strings.end(),
                   [](const wxString& a, const wxString& b) { return CompareNoCase(a, b) < 0; });
}

void CMapWordToString::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    const size_t count = map.size();
    if (count < 0xFFFF) {
      ar.WriteU16(static_cast<std::uint16_t>(count));
    } else {
      ar.WriteU16(0xFFFF);
      ar.WriteU32(static_cast<std::uint32_t>(count));
    }
    for (const auto& [key, value] : map) {
      ar.WriteString(key, !hv::FitsCp1252(key));
      ar.WriteString(value, !hv::FitsCp1252(value));
    }
    return;
  }
  std::uint32_t count = ar.ReadU16();
  if (count == 0xFFFF) count = ar.ReadU32();
  // Each entry holds at least two length bytes.
  ar.CheckCount(count, 2);
  std::map<wxString, wxString> loaded;
  for (std::uint32_t i = 0; i < count; ++i) {
    const wxString key = ar.ReadString();
    loaded[key] = ar.ReadString();
  }
  map.swap(loaded);
}
