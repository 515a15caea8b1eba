#include "framework/PathDialogRules.h"

#include <sys/stat.h>
#include <cerrno>

#include "platform/Paths.h"
#include "platform/Ui.h"

bool PathDialogAcceptsSelection(const wxString& path) {
  const wxString n = hv::NormalizePath(path);
  if (!n.StartsWith("/")) return false;
  return hv::IsFile(hv::ResolvePath(hv::JoinPath(n, wxS("Project.set"))));
}

bool IsCreatableFolderName(const wxString& name) {
  if (name.empty()) return false;
  const wxString ends = wxS(" \t.");
  if (ends.find(name[0]) != wxString::npos || ends.find(name.Last()) != wxString::npos) return false;
  return name.find_first_of(wxS("\"*/:<>?\\|")) == wxString::npos;
}

bool CreatePathLevelByLevel(const wxString& path) {
  // Either separator is typed; '\' must not end up inside a folder name.
  const wxString n = hv::NormalizePath(path);
  if (!n.StartsWith("/")) return false;
  wxString built;
  size_t start = 1;
  while (start <= n.length()) {
    size_t end = n.find('/', start);
    if (end == wxString::npos) end = n.length();
    const wxString name = n.Mid(start, end - start);
    start = end + 1;
    if (name.empty() && end == n.length()) break;   // one trailing separator
    if (!IsCreatableFolderName(name)) return false;
    built = hv::ResolvePath(built + "/" + name);
    if (hv::IsFolder(built)) continue;
    if (hv::PathExists(built)) return false;
    if (mkdir(hv::ToFs(built).c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return hv::IsFolder(built);
}

int ConfirmPathDialog(PathDialogRequest& request, const wxString& typed) {
  if (typed.empty()) return 0;
  const wxString resolved = hv::ResolvePath(hv::NormalizePath(typed));
  if (!hv::IsFolder(resolved)) {
    const int answer =
        hv::ShowMessageF(10646, wxS("Der Ordner:\n\n%s\n\nexistiert nicht. Soll der Ordner angelegt werden?"),
                         MB_YESNO | MB_ICONQUESTION, typed);
    if (answer != IDYES) return 0;
    if (!CreatePathLevelByLevel(typed)) {
      hv::ShowMessageF(10647, wxS("Der Ordner:\n\n%s\n\nkann nicht angelegt werden. Bitte überprüfen Sie die Eingabe."),
                       MB_OK | MB_ICONEXCLAMATION, typed);
      return 0;
    }
  }
  request.pathName = hv::StripOneTrailingSeparator(hv::ResolvePath(hv::NormalizePath(typed)));
  return IDOK;
}
