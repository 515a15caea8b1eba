#include "framework/NameDialogRequests.h"

#include "platform/Localization.h"

wxString StringExportTitle(bool import) {
  return import ? hv::LocalString(10250, wxS("Texte importieren")) : hv::LocalString(10281, wxS("Texte exportieren"));
}

wxString StringExportPath(const wxString& chosen, bool import) {
  if (import || chosen.empty()) return chosen;
  const size_t slash = chosen.find_last_of(wxS("/\\"));
  const wxString name = slash == wxString::npos ? chosen : chosen.Mid(slash + 1);
  return name.Find('.') == wxNOT_FOUND ? chosen + wxS(".txt") : chosen;
}
