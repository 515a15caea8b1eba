#include "model/PathMacros.h"

#include <wx/wxcrt.h>

namespace {

bool IsSeparator(wxUniChar c) { return c == '/' || c == '\\'; }

bool IsPathChar(wxUniChar c) {
  return IsSeparator(c) || wxIsalnum(c) || c == '.' || c == '_' || c == '-' || c == '~' || c == ':';
}

bool SameChar(wxUniChar a, wxUniChar b) {
  if (IsSeparator(a) && IsSeparator(b)) return true;
  return a == b || wxTolower(a) == wxTolower(b);
}

wxString WithoutTrailingSeparators(const wxString& folder) {
  wxString f = folder;
  while (!f.empty() && IsSeparator(f.Last())) f.RemoveLast();
  return f;
}

wxString Replace(const wxString& text, const wxString& macro, const wxString& folder) {
  if (folder.empty()) return text;
  wxString out = text;
  out.Replace(macro, folder);
  return out;
}

}  // namespace

wxString CollapseFolder(const wxString& text, const wxString& folder, const wxString& macro) {
  const wxString f = WithoutTrailingSeparators(folder);
  if (f.empty()) return text;   // also "/" alone: it would match every separator
  const size_t n = f.length();
  wxString out;
  size_t i = 0;
  while (i < text.length()) {
    bool match = i + n <= text.length() && (i == 0 || !IsPathChar(text[i - 1]));
    for (size_t k = 0; match && k < n; ++k) match = SameChar(text[i + k], f[k]);
    if (match && i + n < text.length()) {
      const wxUniChar next = text[i + n];
      match = IsSeparator(next) || next == ';';
    }
    if (match) {
      out += macro;
      i += n;
    } else {
      out += text[i];
      ++i;
    }
  }
  return out;
}

wxString CollapsePathMacros(const wxString& text, const PathMacroFolders& folders) {
  wxString out = CollapseFolder(text, folders.device, kMacroDevicePath);
  out = CollapseFolder(out, folders.symbol, kMacroSymbolPath);
  return CollapseFolder(out, folders.project, kMacroProjectPath);
}

wxString ExpandPathMacros(const wxString& text, const PathMacroFolders& folders) {
  wxString out = Replace(text, kMacroDevicePath, WithoutTrailingSeparators(folders.device));
  out = Replace(out, kMacroSymbolPath, WithoutTrailingSeparators(folders.symbol));
  out = Replace(out, kMacroProjectPath, WithoutTrailingSeparators(folders.project));
  return out.Trim(true);
}
