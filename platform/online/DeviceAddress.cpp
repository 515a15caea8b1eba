#include "platform/online/DeviceAddress.h"

#include <vector>
#include <wx/tokenzr.h>

namespace hv {

namespace {

std::vector<wxString> Fields(const wxString& param) {
  std::vector<wxString> fields;
  wxStringTokenizer t(param, ";", wxTOKEN_RET_EMPTY_ALL);
  while (t.HasMoreTokens()) fields.push_back(t.GetNextToken());
  return fields;
}

wxString Trimmed(wxString text) { return text.Trim(true).Trim(false); }

bool AllDigits(const wxString& text) {
  for (const wxUniChar c : text)
    if (c < '0' || c > '9') return false;
  return !text.empty();
}

bool IsIpv4(const wxString& host) {
  wxStringTokenizer parts(host, ".", wxTOKEN_RET_EMPTY_ALL);
  int count = 0;
  while (parts.HasMoreTokens()) {
    const wxString p = parts.GetNextToken();
    unsigned long v = 0;
    if (p.length() > 3 || !AllDigits(p) || !p.ToCULong(&v) || v > 255) return false;
    ++count;
  }
  return count == 4;
}

bool IsHostName(const wxString& host) {
  if (host.empty() || host.length() > 253 || host.StartsWith(".") || host.EndsWith(".")) return false;
  bool letter = false;
  for (const wxUniChar c : host) {
    const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' || c == '_';
    if (!alpha && !(c >= '0' && c <= '9') && c != '.') return false;
    letter = letter || alpha;
  }
  // Digits and dots only make an IPv4 address, whole or not at all ("10.0.0" is none).
  return letter ? !host.Contains("..") : IsIpv4(host);
}

bool IsIpv6(const wxString& host) {
  if (host.empty() || !host.Contains(":")) return false;
  for (const wxUniChar c : host)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.'))
      return false;
  return true;
}

}  // namespace

bool IsPort(const wxString& text) {
  unsigned long port = 0;
  return text.length() <= 5 && AllDigits(text) && text.ToCULong(&port) && port >= 1 && port <= 65535;
}

wxString ParameterAddress(const wxString& param) {
  const std::vector<wxString> fields = Fields(param);
  return fields.size() >= 3 ? Trimmed(fields[2]) : wxString();
}

wxString WithParameterAddress(const wxString& param, const wxString& address) {
  const wxString wanted = Trimmed(address);
  if (wanted == ParameterAddress(param)) return param;
  std::vector<wxString> fields = Fields(param);
  if (fields.size() < 3) fields.resize(3);
  fields[2] = wanted;
  wxString out;
  for (size_t i = 0; i < fields.size(); ++i) out += (i ? ";" : "") + fields[i];
  // A cleared address at the end leaves no empty field behind.
  if (wanted.empty() && fields.size() == 3) out.RemoveLast();
  return out;
}

bool IsDeviceAddress(const wxString& text) {
  if (text.empty() || text != Trimmed(text)) return false;
  wxString host = text, port;
  if (text.StartsWith("[")) {
    const int close = text.Find(']');
    if (close == wxNOT_FOUND) return false;
    host = text.Mid(1, static_cast<size_t>(close) - 1);
    const wxString rest = text.Mid(static_cast<size_t>(close) + 1);
    if (!rest.empty() && (!rest.StartsWith(":") || !IsPort(rest.Mid(1)))) return false;
    return IsIpv6(host);
  }
  if (text.Freq(':') == 1) {
    host = text.BeforeFirst(':');
    port = text.AfterFirst(':');
    if (!IsPort(port)) return false;
  } else if (text.Contains(":")) {
    return false;   // an IPv6 address needs its brackets
  }
  return IsHostName(host);
}

bool IsPathOrPlaceholder(const wxString& text) {
  if (text.Contains("/") || text.Contains("\\")) return true;
  const int open = text.Find(wxS("$$$"));
  return open != wxNOT_FOUND && text.Mid(static_cast<size_t>(open) + 3).Contains(wxS("$$$"));
}

wxString TransferAddress(const wxString& param) {
  const size_t separators = param.Freq(';');
  wxString address;
  if (separators >= 2)
    address = ParameterAddress(param);
  else if (separators == 0)
    address = Trimmed(param);
  // What the address field would refuse (a damaged or foreign project file) is no
  // address either: the transfer then says where the address is set.
  return IsDeviceAddress(address) ? address : wxString();
}

}  // namespace hv

namespace hv {

wxString AddressHost(const wxString& address) {
  if (address.StartsWith(wxS("["))) {
    const int close = address.Find(']');
    return close == wxNOT_FOUND ? address : address.Mid(1, static_cast<size_t>(close) - 1);
  }
  // One colon separates a port; more belong to a bare IPv6 address.
  return address.Freq(':') == 1 ? address.BeforeFirst(':') : address;
}

}  // namespace hv
