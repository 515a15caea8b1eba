#pragma once
// The rules of the folder picker CPathDialog, without its window: when OK is enabled,
// which folder names may be created, and what OK does with a typed path.
#include <wx/string.h>

#include "framework/NameDialogRequests.h"

// OK for a folder selected in the tree: an absolute path whose folder holds
// "Project.set" (any spelling).
bool PathDialogAcceptsSelection(const wxString& path);
// OK for typed text: any text that is not empty.
inline bool PathDialogAcceptsTyped(const wxString& text) { return !text.empty(); }

// A folder name that may be created: not empty, no blank, tab or point at either end,
// none of " * / : < > ? \ |.
bool IsCreatableFolderName(const wxString& name);

// Creates the missing folders of an absolute path one level at a time. False (nothing
// more created) at the first name that breaks the rules or cannot be made.
bool CreatePathLevelByLevel(const wxString& path);

// OK with the edit field's text: a missing folder is offered for creation. Returns
// IDOK (the request's pathName set) or 0 when the dialog stays open.
int ConfirmPathDialog(PathDialogRequest& request, const wxString& typed);
