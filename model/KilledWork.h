#pragma once
// What a killed program leaves behind: temporary restore folders (a journalled swap is
// finished or undone first), staged device folders, half-written archives (".part-*"),
// copies of settings being edited (".edit-*") and temporary files of atomic writes.
// Only what no running program claims is removed.
#include <vector>
#include <wx/string.h>

// Clears the leftovers in the given project folders (and their device folders) and in
// the other folders (where backups and restores go).
void CleanUpKilledWork(const std::vector<wxString>& projectFolders, const std::vector<wxString>& otherFolders);
// The same for every listed project, its parent folder, the start folder of projects,
// the new projects' folder and the last backup and restore folders, and the program's
// temporaries in the user folder, the registry store's folder and the temporary folder.
// Run at start-up.
void CleanUpKilledWork(const wxString& startFolder);
