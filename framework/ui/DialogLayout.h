#pragma once
// Small helpers every dialog shares: the field that has the focus when a dialog opens,
// and sizes measured from the texts a control shows instead of fixed pixels.
#include <wx/string.h>

class wxDialog;
class wxStaticText;
class wxTextCtrl;
class wxWindow;

// The field takes the focus, its text selected, each time the dialog opens: typing
// replaces the proposal and never reaches a button. Works for other controls too.
void FocusOnOpen(wxDialog* dialog, wxWindow* field);
// A read-only field shows a value; the keyboard passes it by.
void ShowOnly(wxTextCtrl* field);

// The status line of an operation dialog: the whole text, wrapped to the line's width
// (the dialog grows when it needs more lines).
void ShowStatus(wxWindow* dialog, wxStaticText* status, const wxString& text);
// The progress to show: full once the operation has succeeded.
inline int ProgressToShow(int percent, bool succeeded) { return succeeded ? 100 : percent; }

// The width `text` needs in `window`'s font, with the control's own padding.
int TextWidth(const wxWindow* window, const wxString& text);
// Makes a button wide enough for its label (GTK buttons narrower than their label
// show nothing).
void FitButtonToLabel(wxWindow* button);
// Gives a control at least the width of `sample` in its font.
void MinWidthForText(wxWindow* control, const wxString& sample);

// Puts the keyboard order of the window's controls (and of every panel inside) into
// the order they are laid out in: top to bottom, left to right, the dialog's own
// buttons last, in their order on screen. Controls that a dialog adds after
// its base made the buttons would otherwise be reached only after them.
void OrderTabsByLayout(wxWindow* window);
// From now on every dialog of the program gets OrderTabsByLayout as it opens.
void OrderTabsWhenDialogsOpen();
