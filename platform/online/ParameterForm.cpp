#include "platform/online/ParameterForm.h"

#include <algorithm>
#include <climits>
#include <wx/tokenzr.h>

#include "platform/Codec.h"
#include "platform/online/DeviceAddress.h"
#include "platform/Localization.h"

namespace hv {

namespace {

bool ParseLong(const wxString& text, long& out) { return !text.empty() && text.ToCLong(&out); }

bool IsIpv4(const wxString& text) {
  wxStringTokenizer parts(text, ".", wxTOKEN_RET_EMPTY_ALL);
  int count = 0;
  while (parts.HasMoreTokens()) {
    const wxString p = parts.GetNextToken();
    long v = 0;
    if (p.empty() || p.length() > 3 || !p.IsNumber() || !p.ToCLong(&v) || v > 255) return false;
    ++count;
  }
  return count == 4;
}

// "a-b" with a <= b, a list "a,b,c" or one number, every number within lo..hi.
bool IsRange(const wxString& text, long lo, long hi) {
  auto inside = [&](const wxString& t) {
    long n = 0;
    return t.IsNumber() && ParseLong(t, n) && n >= lo && n <= hi;
  };
  if (text.Contains(",")) {
    wxStringTokenizer items(text, ",", wxTOKEN_RET_EMPTY_ALL);
    while (items.HasMoreTokens())
      if (!inside(items.GetNextToken())) return false;
    return true;
  }
  if (!text.Contains("-")) return inside(text);
  const wxString a = text.BeforeFirst('-'), b = text.AfterFirst('-');
  long first = 0, last = 0;
  return inside(a) && inside(b) && ParseLong(a, first) && ParseLong(b, last) && first <= last;
}

}  // namespace

std::vector<ParameterField> ParseParameterSchema(const char* schema) {
  std::vector<ParameterField> fields;
  if (!schema) return fields;
  wxStringTokenizer lines(FromUtf8(schema), "\n");
  while (lines.HasMoreTokens()) {
    wxString line = lines.GetNextToken();
    line.Trim(true).Trim(false);
    if (line.empty()) continue;
    wxStringTokenizer cols(line, "|", wxTOKEN_RET_EMPTY_ALL);
    ParameterField f;
    wxString* slots[] = {&f.key, &f.labelDe, &f.labelEn, &f.type, &f.defaultValue, &f.min, &f.max};
    for (wxString* s : slots) *s = cols.HasMoreTokens() ? cols.GetNextToken() : wxString();
    const wxString choices = cols.HasMoreTokens() ? cols.GetNextToken() : wxString();
    wxStringTokenizer c(choices, ",");
    while (c.HasMoreTokens()) f.choices.push_back(c.GetNextToken());
    if (f.key.empty() || f.key.Contains("=") || f.key.Contains(" ") || f.key.Contains("\t")) continue;
    // The parameter text holds one value per key: a repeated key's later field is dropped.
    if (std::any_of(fields.begin(), fields.end(), [&](const ParameterField& had) { return had.key == f.key; }))
      continue;
    f.value = f.defaultValue;
    fields.push_back(std::move(f));
  }
  return fields;
}

const wxString& ParameterField::Label(int language) const {
  // The interface's language wins over a caller's default.
  const bool english = language == 1033 || CurrentLanguageNumber() == 1;
  return english && !labelEn.empty() ? labelEn : labelDe;
}

wxString CheckParameterField(const ParameterField& f) {
  const wxString& v = f.value;
  wxString name = f.Label(0);
  if (name.EndsWith(":")) name.RemoveLast();
  if (v.Contains(" ") || v.Contains("\t") || v.Contains("=") || v.Contains(";"))
    return wxString::Format(LocalString(14255, wxS("%s: Leerzeichen, '=' und ';' sind nicht erlaubt")), name);
  long lo = 0, hi = 0;
  const bool hasLo = ParseLong(f.min, lo), hasHi = ParseLong(f.max, hi);
  if (f.type == "int") {
    long n = 0;
    if (!ParseLong(v, n)) return wxString::Format(LocalString(14256, wxS("%s: Es wird eine Zahl benötigt")), name);
    if (hasLo && n < lo) return wxString::Format(LocalString(14257, wxS("%s: mindestens %ld")), name, lo);
    if (hasHi && n > hi) return wxString::Format(LocalString(14258, wxS("%s: höchstens %ld")), name, hi);
  } else if (f.type == "ip") {
    if (!IsIpv4(v)) return wxString::Format(LocalString(14259, wxS("%s: Es wird eine IPv4-Adresse benötigt")), name);
  } else if (f.type == "host") {
    // The device's address may stay empty: not every connection needs one.
    if (!v.empty() && !IsDeviceAddress(v))
      return wxString::Format(
          LocalString(14262, wxS("%s: Es wird eine Adresse wie \"192.168.0.10\" oder \"192.168.0.10:2121\" benötigt")), name);
  } else if (f.type == "choice") {
    bool found = false;
    for (const wxString& c : f.choices) found = found || c == v;
    if (!found) return wxString::Format(LocalString(14260, wxS("%s: Keiner der erlaubten Werte")), name);
  } else if (f.type == "range") {
    if (!IsRange(v, hasLo ? lo : LONG_MIN, hasHi ? hi : LONG_MAX))
      return wxString::Format(
          LocalString(14261, wxS("%s: Es wird ein Bereich von %ld bis %ld wie \"1-247\" (Anfang vor Ende) oder eine Liste wie \"1,3,5\" benötigt")),
          name, hasLo ? lo : 0L, hasHi ? hi : 0L);
  }
  return {};
}

wxString ParameterValue(const wxString& param, const wxString& key) {
  wxStringTokenizer t(param, " \t");
  while (t.HasMoreTokens()) {
    const wxString item = t.GetNextToken();
    if (item.BeforeFirst('=') == key && item.Contains("=")) return item.AfterFirst('=');
  }
  return {};
}

void FillParameterFields(std::vector<ParameterField>& fields, const wxString& param, const wxString& slot) {
  for (ParameterField& f : fields) {
    if (f.key == "slot") {
      f.value = slot.empty() ? f.defaultValue : slot;
      continue;
    }
    const wxString v = ParameterValue(param, f.key);
    f.value = v.empty() ? f.defaultValue : v;
  }
}

wxString JoinParameterFields(const std::vector<ParameterField>& fields) {
  wxString out;
  for (const ParameterField& f : fields) {
    if (f.key == "slot" || f.key == "node" || f.value.empty()) continue;
    if (!out.empty()) out += ' ';
    out += f.key + "=" + f.value;
  }
  return out;
}

}  // namespace hv
