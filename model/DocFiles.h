#pragma once
// File helpers shared by the documentation node and its documents.
#include <wx/string.h>

namespace docfiles {

// The last component of a path split at '/' only (a '\' may belong to a name here).
wxString BaseName(const wxString& path);
// A name that may be created in a folder: not empty, not "." or "..", no '/', '\' or
// control character.
bool IsPlainFileName(const wxString& name);
// The entry of the folder whose name equals `name` ignoring case (exact match first);
// empty when there is none.
wxString ExistingName(const wxString& folder, const wxString& name);
// Whether two paths name the same existing file (links resolved).
bool IsSameFile(const wxString& a, const wxString& b);
// The path with its links resolved; the path itself when they cannot be.
wxString FollowLinks(const wxString& path);
// Sends a file to the recycle bin, deleting it for good where the file system has
// none. A file already gone counts as deleted. Reports a failure (10984).
bool TrashFile(const wxString& path);

}  // namespace docfiles
