#include <unistd.h>
#include <wx/arrstr.h>

#include "framework/PathDialogRules.h"
#include "model/ProjectList.h"
#include "model/ProjectRequests.h"
#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/Ui.h"

UINT CheckProjectName(const wxString& name, const wxString& unchanged, long* badPos) {
  const long pos = CheckForbiddenText(name, ProjectNameForbiddenCharset());
  if (badPos) *badPos = pos;
  if (pos >= 0) return 10300;
  if (name.empty()) {
    hv::ShowMessage(10523, wxS("Es muß ein Name eingegeben werden!"), MB_OK | MB_ICONEXCLAMATION);
    return 10523;
  }
  if (static_cast<int>(name.length()) > projectlist::kMaxName) {
    hv::ShowMessage(10941, wxS("Der Name enthält Zeichen, die nicht gespeichert werden können!"),
                    MB_OK | MB_ICONEXCLAMATION);
    return 10941;
  }
  // Projects and folders share the list, and rows are found by name.
  if ((unchanged.empty() || name.CmpNoCase(unchanged) != 0) && projectlist::NameExists(name)) {
    hv::ShowMessage(10942, wxS("Dieses Projekt existiert bereits!"), MB_OK | MB_ICONINFORMATION);
    return 10942;
  }
  return 0;
}

bool IsValidProjectFolder(const wxString& folder) {
  const wxString n = hv::StripOneTrailingSeparator(hv::NormalizePath(folder));
  if (!n.StartsWith("/") || n == "/" || !hv::FitsCp1252(n)) return false;
  if (static_cast<int>(n.length()) > projectlist::kMaxPath) return false;
  for (const wxString& name : wxSplit(n.Mid(1), '/', '\0'))
    if (!IsCreatableFolderName(name)) return false;
  // The nearest existing folder must take new folders.
  wxString existing = hv::ResolvePath(n);
  while (!hv::PathExists(existing)) existing = hv::PathFolder(existing);
  return hv::IsFolder(existing) && access(hv::ToFs(existing).c_str(), W_OK | X_OK) == 0;
}

UINT CheckNewProject(const NewProjectRequest& request) {
  if (const UINT refused = CheckProjectName(request.name)) return refused;
  const int total = static_cast<int>(request.name.length() + request.folder.length());
  if (total > kMaxProjectPathChars) {
    hv::ShowMessageF(10750, wxS("Der Projektpfad ist zu lang - %d\n Die maximale Länge ist:%d"),
                     MB_OK | MB_ICONINFORMATION, total, kMaxProjectPathChars);
    return 10750;
  }
  if (!IsValidProjectFolder(request.folder)) {
    hv::ShowMessage(10301, wxS("Keine gültige Pfadangabe!"), MB_OK | MB_ICONINFORMATION);
    return 10301;
  }
  if (hv::PathExists(hv::ResolvePath(hv::NormalizePath(request.folder)))) {
    hv::ShowMessage(10330, wxS("Das angegebene Verzeichnis ist bereits vorhanden!"), MB_OK | MB_ICONINFORMATION);
    return 10330;
  }
  return 0;
}

wxString FolderFollowingName(const wxString& folder, const wxString& oldName, const wxString& newName) {
  const size_t cut = folder.find_last_of(wxS("/\\"));
  const wxString last = cut == wxString::npos ? folder : folder.Mid(cut + 1);
  if (last != oldName) return folder;
  return (cut == wxString::npos ? wxString() : folder.Left(cut + 1)) + newName;
}
