#pragma once
// Folder and file operations used all over the program. Paths may use either separator
// and are found regardless of case. Links are never followed into: a link is copied
// or deleted as a link.
#include <cstddef>
#include <functional>
#include <wx/string.h>

#include "platform/Types.h"

// Creates every missing folder along the path; TRUE when the whole path exists as a
// folder afterwards. An empty path, or one made only of separators, is only tested.
BOOL CreateDirectoryPath(const wxString& path);

// Deletes a folder (or file, or link) with everything in it, for good. TRUE when it is
// gone afterwards. Refused (FALSE, nothing changed) for an empty or relative path, "/",
// the home folder, the user folder and any folder holding one of them.
BOOL DeleteDirectory(const wxString& path);

// Copies a folder tree file by file. The source is a folder, optionally followed by a
// mask ("/*.*"); a destination ending in "*.*" loses it. The destination is created when
// missing; existing files are replaced unless failIfExists. Without recurse only the
// files of the top folder are copied. FALSE for a missing source, a destination equal to
// or inside the source, and at the first file that cannot be copied.
BOOL CopyDirectory(const wxString& source, const wxString& destination, BOOL failIfExists, BOOL recurse = TRUE);
// Called after each file copied (any thread); false stops the copy, which then fails.
using CopyStep = std::function<bool(const wxString& copied)>;
BOOL CopyDirectory(const wxString& source, const wxString& destination, BOOL failIfExists, BOOL recurse,
                   const CopyStep& step);
// How many files (and links) copying the source (a folder, optionally with a mask) takes.
std::size_t CountFilesToCopy(const wxString& source);

// Copies what the source names (a mask "folder/*.*", a file or a folder) into the
// destination folder, with sub-folders, replacing existing files. TRUE when all of it
// was copied.
BOOL ShellCopyFiles(const wxString& source, const wxString& destination);

// Deletes a file or folder, or the entries a mask in the last component matches, to the
// recycle bin (for good where the file system has none). With filesOnly, folders that a
// mask matches are left alone. TRUE when nothing of it remains; the same refusals as
// DeleteDirectory apply to every entry, and one refused entry refuses the whole call.
// The title is for a progress display; the operation is quick and shows none.
BOOL DeleteFiles(const wxString& progressTitle, BOOL filesOnly, const wxString& pattern);

// TRUE when the path exists; a last component with '*' or '?' is a mask.
BOOL FileExists(const wxString& path);

// There are no short names here: the path unchanged. Command lines must quote instead.
wxString GetShortPath(const wxString& path);

// Whether deleting this path would remove "/", the home folder or the user folder.
// Exposed for callers that want to check before asking the user.
bool IsProtectedPath(const wxString& path);
