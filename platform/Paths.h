#pragma once
// Local paths: '/' inside the program, either separator accepted on input, and every
// existing file or folder found regardless of the case of its name.
#include <string>
#include <vector>
#include <wx/string.h>

namespace hv {

// '\' becomes '/'; doubled separators collapse (a leading "//" too).
wxString NormalizePath(const wxString& path);
// Joins with exactly one '/' between the two parts.
wxString JoinPath(const wxString& a, const wxString& b);
// Removes one trailing separator, but never turns "/" into "".
wxString StripOneTrailingSeparator(const wxString& path);
// Folder part and name part of a path (either separator).
wxString PathFolder(const wxString& path);
wxString PathName(const wxString& path);
// Name without its last extension, and the extension without the dot.
wxString PathStem(const wxString& path);
wxString PathExtension(const wxString& path);

// Finds the existing spelling of every component, ignoring case; components that do not
// exist keep the given spelling. An exact match wins over a case-folded one, and among
// several case-folded matches the first in sorted order.
wxString ResolvePath(const wxString& path);

bool PathExists(const wxString& path);   // file or folder, any case
bool IsFile(const wxString& path);
bool IsFolder(const wxString& path);

// Reads a whole file. Returns false when it cannot be opened or read.
bool ReadFileBytes(const wxString& path, std::string& bytes);
// Writes through a temporary file in the same folder, flushed and renamed over the
// target, so a failure leaves the old file as it was. Returns an error text on failure.
bool WriteFileAtomic(const wxString& path, std::string_view bytes, wxString* error = nullptr);

// The permission bits a plain create gives a new file under the process's umask.
unsigned NewFileMode();
// The permission bits a plain mkdir gives a new folder under the process's umask.
unsigned NewFolderMode();

// Copies everything readable from one open file to another; false on a read or
// write error.
bool CopyFileDescriptor(int in, int out);

// Case-insensitive Windows wildcard match ('*', '?'); "*.*" matches every name and
// "*." a name without a dot.
bool MatchWildcard(const wxString& mask, const wxString& name);

// Names in a folder (files and sub-folders, no "." or ".."), sorted ignoring case.
// Names that are not UTF-8 are left out (see UnreadableNames).
std::vector<wxString> ListFolder(const wxString& folder);
// The names in a folder that are not UTF-8, as bytes: the program leaves them alone.
std::vector<std::string> UnreadableNames(const wxString& folder);
// The order of ListFolder: ignoring case, then exact.
bool NameOrder(const wxString& x, const wxString& y);
// The kind of an entry as a folder listing gave it (its d_type), as stat type bits:
// S_IFREG, S_IFDIR, or S_IFLNK for anything else (links, devices, FIFOs, sockets). Only
// where the file system gives none is the entry at `path` looked at; 0 when that fails.
unsigned ListedKind(unsigned char type, const std::string& path);

// Creates a folder with its missing parents (existing spellings reused); true when
// the whole path exists as a folder afterwards.
bool MakeFolders(const wxString& path);

// Native byte path for POSIX calls.
std::string ToFs(const wxString& path);
wxString FromFs(const std::string& path);

}  // namespace hv
