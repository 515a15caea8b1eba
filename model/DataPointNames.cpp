#include "model/DataPointNames.h"

#include <string>

#include "platform/online/ModbusMap.h"

namespace dpname {

namespace {

bool IsAsciiLetter(wxChar c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(wxChar c) { return c >= '0' && c <= '9'; }

wxString RightTrimmed(wxString s) {
  s.Trim(true);
  return s;
}

}  // namespace

wxString FromAddress(const wxString& address, int prefixMode, const wxString& deviceName, const wxString& node,
                     bool codesysNames) {
  wxString a = address;
  const wxChar kind = a.empty() ? wxChar(0) : a[0];
  const bool selfDefined = kind == '7' || kind == '8' || kind == '1';
  // A Modbus table address keeps its table: "HR|0" and "CO|0" name different points.
  const bool table = hv::modbus::IsTableAddress(std::string(address.ToStdString(wxConvISO8859_1)));
  if (!table && a.Find('|') != wxNOT_FOUND) {
    a = a.AfterFirst('|');
    if (selfDefined && a.Find('|') != wxNOT_FOUND) a = a.BeforeFirst('|');
  }
  wxString prefix;
  if (prefixMode == 0)
    prefix = RightTrimmed(deviceName.Left(10)) + wxS("|");
  else if (prefixMode == 1)
    prefix = RightTrimmed(node) + wxS("|");
  wxString name;
  const int last = a.Find('|', true);
  if (last > 0) {
    name = RightTrimmed(prefix + a.Left(static_cast<size_t>(last))).Left(27) + wxS("_") + a.Mid(static_cast<size_t>(last) + 1);
  } else {
    name = prefix + a;
  }
  if (selfDefined) name.Replace(wxS("|"), wxS("_"));
  if (codesysNames) {
    wxString id;
    for (wxChar c : name) {
      if (c == '|' || c == ' ' || c == '.') c = '_';
      if (IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_') id += c;
    }
    if (!id.empty() && IsAsciiDigit(id[0])) id.Prepend(wxS("_"));
    while (id.Replace(wxS("__"), wxS("_")) > 0) {
    }
    name = id;
  }
  return name.Left(30);
}

bool AcceptsChar(const wxString& text, long start, long end, wxChar c) {
  if (c < 0x20 || c == 0x7F) return true;
  if (IsAsciiLetter(c)) return true;
  if (IsAsciiDigit(c)) return start > 0;
  if (c != '_') return false;
  const bool before = start > 0 && static_cast<size_t>(start) <= text.size() && text[static_cast<size_t>(start) - 1] == '_';
  const bool after = end >= 0 && static_cast<size_t>(end) < text.size() && text[static_cast<size_t>(end)] == '_';
  return !before && !after;
}

UINT CoDeSysComplaint(const wxString& name) {
  for (wxChar c : name)
    if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '_') return TXT_CODESYS_LETTERS_DIGITS;
  if (!name.empty() && IsAsciiDigit(name[0])) return TXT_CODESYS_FIRST_LETTER;
  if (name.Find(wxS("__")) != wxNOT_FOUND) return TXT_CODESYS_DOUBLE_UNDERSCORE;
  return 0;
}

namespace {

constexpr std::size_t kNameWidth = 30;

// Candidate `n` of a name cut and trimmed: the name itself, then name_1, name_2, ...
wxString Candidate(const wxString& whole, unsigned n) {
  if (n == 0) return whole;
  const wxString suffix = wxString::Format(wxS("_%u"), n);
  return RightTrimmed(whole.Left(kNameWidth - suffix.length())) + suffix;
}

}  // namespace

wxString FreeName(const wxString& name, const std::function<bool(const wxString&)>& taken) {
  const wxString whole = RightTrimmed(name.Left(kNameWidth));
  for (unsigned n = 0;; ++n) {
    const wxString candidate = Candidate(whole, n);
    if (!taken(candidate)) return candidate;
  }
}

wxString ProposedNames::Propose(const wxString& name) {
  const wxString whole = RightTrimmed(name.Left(kNameWidth));
  // The candidates before `next` are taken already; names are only ever added meanwhile.
  unsigned& next = m_nextSuffix[whole.Lower()];
  wxString candidate = Candidate(whole, next);
  while (Holds(candidate) || m_taken(candidate)) candidate = Candidate(whole, ++next);
  ++next;
  m_names.insert(candidate.Lower());
  return candidate;
}

wxString FromPickedAddress(const wxString& address) {
  wxString name = address;
  if (address.Freq('|') >= 2) {
    const wxString rest = address.AfterFirst('|').Left(30);
    name = RightTrimmed(rest.BeforeFirst('|')) + wxS("_") + rest.AfterFirst('|');
  }
  name = name.BeforeFirst('|');
  name.Trim(true);
  // An address without two fields would otherwise give a name past the field's width.
  return name.Left(30);
}

}  // namespace dpname
