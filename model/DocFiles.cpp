#include "model/DocFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "platform/Paths.h"
#include "platform/RecycleBin.h"
#include "platform/Ui.h"

namespace docfiles {

wxString BaseName(const wxString& path) {
  const size_t slash = path.find_last_of('/');
  return slash == wxString::npos ? path : path.Mid(slash + 1);
}

bool IsPlainFileName(const wxString& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const wxUniChar c : name)
    if (c == '/' || c == '\\' || c.GetValue() < 0x20 || c.GetValue() == 0x7F) return false;
  return true;
}

wxString ExistingName(const wxString& folder, const wxString& name) {
  wxString found;
  for (const wxString& entry : hv::ListFolder(folder)) {
    if (entry == name) return entry;
    if (found.empty() && entry.CmpNoCase(name) == 0) found = entry;
  }
  return found;
}

bool IsSameFile(const wxString& a, const wxString& b) {
  struct stat sa, sb;
  if (stat(hv::ToFs(a).c_str(), &sa) != 0 || stat(hv::ToFs(b).c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

wxString FollowLinks(const wxString& path) {
  char buf[PATH_MAX];
  return realpath(hv::ToFs(path).c_str(), buf) ? hv::FromFs(buf) : path;
}

bool TrashFile(const wxString& path) {
  wxString error;
  switch (hv::MoveToTrash(path, &error)) {
    case hv::TrashResult::Trashed:
    case hv::TrashResult::NotFound:
      return true;
    case hv::TrashResult::NotSupported:
      if (unlink(hv::ToFs(path).c_str()) == 0) return true;
      break;
    case hv::TrashResult::Failed:
      break;
  }
  hv::ShowMessageF(10984, wxS("Die Datei %s konnte nicht in den Papierkorb verschoben werden!"),
                   MB_OK | MB_ICONEXCLAMATION, BaseName(path));
  return false;
}

}  // namespace docfiles
