#include "platform/online/ParameterForm.h"

#include <wx/tokenzr.h>

#include "platform/Codec.h"

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
    if (f.key.empty() || f.key.Contains("=") || f.key.Contains(" ")) continue;
    f.value = f.defaultValue;
    fields.push_back(std::move(f));
  }
  return fields;
}

wxString CheckParameterField(const ParameterField& f) {
  const wxString& v = f.value;
  if (v.Contains(" ") || v.Contains("\t") || v.Contains("=") || v.Contains(";"))
    return wxString::Format("%s: blanks, '=' and ';' are not allowed", f.key);
  if (f.type == "int") {
    long n = 0, lo = 0, hi = 0;
    if (!ParseLong(v, n)) return wxString::Format("%s: a number is needed", f.key);
    if (ParseLong(f.min, lo) && n < lo) return wxString::Format("%s: at least %ld", f.key, lo);
    if (ParseLong(f.max, hi) && n > hi) return wxString::Format("%s: at most %ld", f.key, hi);
  } else if (f.type == "ip") {
    if (!IsIpv4(v)) return wxString::Format("%s: an IPv4 address is needed", f.key);
  } else if (f.type == "choice") {
    bool found = false;
    for (const wxString& c : f.choices) found = found || c == v;
    if (!found) return wxString::Format("%s: not one of the choices", f.key);
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
