#include "framework/MessageWrap.h"

namespace {

bool IsBreakAfter(wxUniChar c) { return c == '/' || c == '\\' || c == ':' || c == ';' || c == ','; }

void WrapLine(const wxString& line, std::size_t width, wxString& out) {
  wxString rest = line;
  while (rest.length() > width) {
    std::size_t cut = wxString::npos;
    // The last blank that keeps the line within the width.
    for (std::size_t i = width + 1; i-- > 0;)
      if (i < rest.length() && rest[i] == ' ') {
        cut = i;
        break;
      }
    if (cut != wxString::npos && cut > 0) {
      out += rest.Left(cut) + wxS("\n");
      rest = rest.Mid(cut + 1);
      continue;
    }
    // One long word: after a separator within it, else hard at the width.
    std::size_t at = width;
    for (std::size_t i = width; i > width / 2; --i)
      if (IsBreakAfter(rest[i - 1])) {
        at = i;
        break;
      }
    out += rest.Left(at) + wxS("\n");
    rest = rest.Mid(at);
  }
  out += rest;
}

}  // namespace

wxString WrapMessageText(const wxString& text, std::size_t width) {
  if (width == 0) return text;
  wxString out;
  const wxString separator = wxS("\n");
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('\n', start);
    WrapLine(text.Mid(start, end == wxString::npos ? wxString::npos : end - start), width, out);
    if (end == wxString::npos) break;
    out += separator;
    start = end + 1;
  }
  return out;
}
