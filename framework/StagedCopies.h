#pragma once
// Temporary copies of files that travel on the clipboard. A file-backed object copies
// its file to a new "TAV*.TMP" file in the private temporary folder and writes that
// path into its clipboard data; the paste copies it into place. The copies of the
// contents we put on the clipboard are removed once those contents are replaced or
// emptied; whatever is left goes at program end.
#include <wx/string.h>

#include "platform/Archive.h"

namespace staging {

// A new staged copy of a regular file; empty when it cannot be made.
wxString StageCopy(const wxString& source);
// Whether the path names a staged copy: a regular file "TAV*.TMP" directly in the
// private temporary folder (links resolved before comparing). Paths read from the
// clipboard are used only when this holds.
bool IsStagedCopy(const wxString& path);

// The staged path in an object's clipboard data: the path and "\n" as one archived
// text. Reading gives the path without the line end; raises hv::ArchiveException for
// garbled data.
void WriteStagedPath(hv::Archive& ar, const wxString& path);
wxString ReadStagedPath(hv::Archive& ar);

// Bookkeeping of the copies behind our clipboard contents: copies staged after
// BeginContents belong to the contents being built; CommitContents makes them the
// current ones (the previous ones are removed), AbandonContents removes them, and
// ReleaseContents removes the current ones (the clipboard was emptied).
void BeginContents();
void CommitContents();
void AbandonContents();
void ReleaseContents();
// A staged folder ("TAVD*" in the private temporary folder, holding a cut folder) made
// for the contents being built, kept and removed as the staged copies are.
void NoteStagedFolder(const wxString& holder);
// Removes every staged copy and folder in the private temporary folder: at program end,
// and at start for those a killed run left.
void RemoveAllStaged();

enum class CopyResult { Copied, Exists, Failed };
// Whose permission bits a copy gets: the source's, or those of a plain create under
// the umask (a new object made from a shipped template). A staged copy is private to
// us, so what is pasted from one always gets the latter.
enum class CopyMode { KeepSource, AsNewFile };
// Copies a regular file (links are not followed), keeping its modification time; a
// copy `AsNewFile` takes the time it was made and the mode of new files.
// Without `overwrite` an existing destination is left alone (Exists). With it the
// copy is written to a temporary file beside the destination and renamed over it, so
// a failure midway leaves the old file intact. On Failed, `error` (when given) holds the
// system's error number of the step that failed.
CopyResult CopyRegularFile(const wxString& source, const wxString& destination, bool overwrite,
                           CopyMode mode = CopyMode::KeepSource, int* error = nullptr);
// Copies a regular file to a new hidden temporary file in the destination's folder,
// ready to be renamed over the destination; empty when it cannot be made.
wxString CopyBeside(const wxString& source, const wxString& destination);

}  // namespace staging
