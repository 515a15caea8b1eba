#pragma once
// Copy, cut and paste of project objects through the clipboard, for the project tree
// and the list view. The views call these from their command and update handlers
// ("&Kopieren" 57634, "&Ausschneiden" 57635, "E&infügen" 57637); everything else
// (the block format, the type checks, the grouping folders made on the way, the
// clipboard copy flag) lives here.
//
// The objects travel as one block (app/ClipboardBlock.h) under the clipboard format
// name of the last object written ("POCT%08lX", data points "POCT%08lX/%08lX").
//
// The clipboard copy flag is program-wide: TRUE at start and after a copy, FALSE after a
// cut in the tree and from the start of a paste in the list. A paste empties the
// clipboard afterwards when the flag is FALSE or the block holds cut objects, so cut
// objects are pasted once; cut objects of which none arrived stay on the clipboard.
#include <memory>
#include <span>
#include <wx/string.h>

#include "framework/CmdTarget.h"
#include "framework/CommandIds.h"
#include "model/LiveObjects.h"
#include "platform/Types.h"

class CProjectObject;

BOOL GetClipboardCopyFlag();
void SetClipboardCopyFlag(BOOL copy);

// --- the project tree: source and target are the tree's last selected object ---

// Update handler of "&Kopieren" and "&Ausschneiden": enabled when the selected
// object's class has clipboard data of its own (a project folder never is copied).
BOOL TreeCanCopy(const ObjectRef& selected);
// A project folder is never copied or cut; the clipboard then stays as it was.
void TreeCopy(const ObjectRef& selected);
// Removes the object when its Cut succeeds (from its parent, or from the document's
// roots); the block goes to the clipboard either way. Nothing happens when the
// clipboard cannot be written.
void TreeCut(const ObjectRef& selected);
// Update handler of "E&infügen" (disable when FALSE); only formats of classes with
// clipboard data of their own fit. `format` receives the clipboard
// format that fits, empty when files from the file manager fit. While the tree's
// empty-area menu is open (`emptyAreaMenu`) only a project folder fits, without a
// target.
BOOL TreeCanPaste(const ObjectRef& target, bool emptyAreaMenu, wxString* format = nullptr);
// Pastes under the target, making missing grouping folders (one or two levels) on the
// way; from the empty-area menu a project folder is pasted at the top level.
void TreePaste(const ObjectRef& target, bool emptyAreaMenu);

// --- the list view: the source is the selected rows, the target the listed object ---

// Update handler of copy and cut in the list: every selected row can be transferred.
BOOL ListCanCopy(std::span<const ObjectRef> selectedRows);
void ListCopy(std::span<const ObjectRef> selectedRows);
void ListCut(std::span<const ObjectRef> selectedRows);
// Only direct children of the listed object fit.
BOOL ListCanPaste(const ObjectRef& listed, wxString* format = nullptr);
// Pastes into the listed object, or into the first selected row when that row is a
// folder of the pasted kind or of the listed object's kind.
void ListPaste(const ObjectRef& listed, const ObjectRef& firstSelectedRow);

// --- program end ---

// TRUE when objects we cut are still on the clipboard, unpasted: their staged copies
// go at program end.
BOOL ClipboardHoldsUnpastedCut();
// Asks whether to close anyway when ClipboardHoldsUnpastedCut; TRUE: close.
BOOL ConfirmCloseWithUnpastedCut();
