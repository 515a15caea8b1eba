#pragma once
// The unpacking half of the project restore, run on the restore's worker thread: the
// project folder of an archive is extracted into a fresh temporary folder beside the
// target, so that nothing in the target changes until every entry was written and
// checked. The UI thread then moves the result into place.
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"
#include "platform/WorkClaims.h"

class ZipProgress;

struct RestoreExtraction {
  // In.
  wxString archive;
  wxString folderName;     // the project folder in the archive
  wxString finalName;      // the name it gets (folderName unless the user chose another)
  wxString targetFolder;   // the temporary folder is made in here
  // Out.
  wxString temporaryFolder;  // after success it holds finalName; else it is gone
  std::vector<wxString> errors;
  std::vector<wxString> skipped;   // entries outside the project folder
  bool cancelled = false;
  bool ok = false;
  // Keeps the temporary folder from a start-up's clean-up while this program works.
  hv::WorkClaim claim;
};

// Extracts; every failed or refused entry fails the whole job, and a cancel ends it.
void ExtractProjectArchive(RestoreExtraction& job, ZipProgress& progress);

// The restore's target folder: absolute, not "/" and no network path; its components
// must be plain names.
bool IsValidRestoreTarget(const wxString& folder);
// A name typed for the restored project folder: one plain folder name without the
// characters a project name may not hold, storable in Windows-1252. 0 when it is
// fine, else the number of the message to show.
UINT CheckRestoreFolderName(const wxString& name);
// "<name>_<n>" for the first n = 1, 2, ... that names nothing in the folder (any case).
wxString ProposeRestoreName(const wxString& targetFolder, const wxString& folderName);

// Moves a folder to a path where nothing may exist; never replaces anything.
bool MoveFolderNoReplace(const wxString& from, const wxString& to, wxString* error);
// Removes a folder tree (links are removed, never followed).
bool RemoveFolderTree(const wxString& folder);

// Swaps two folders in one step, so that a kill leaves one or the other at `target`.
// Where the file system cannot swap, the two moves are written into a journal in
// `workFolder` first, and RecoverRestoreLeftovers completes or undoes them.
bool ExchangeFolders(const wxString& fresh, const wxString& target, const wxString& workFolder, wxString* error);

// Temporary restore folders (".halvora-restore-*") in `folder` that no running program
// claims: a journalled swap is finished or undone, then the folder is removed.
void RecoverRestoreLeftovers(const wxString& folder);
