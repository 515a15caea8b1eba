#pragma once
// Small helpers every dialog shares: the field that has the focus when a dialog opens,
// and sizes measured from the texts a control shows instead of fixed pixels.
#include <wx/string.h>

class wxDialog;
class wxTextCtrl;
class wxWindow;

// The field takes the focus, its text selected, each time the dialog opens: typing
// replaces the proposal and never reaches a button.
void FocusOnOpen(wxDialog* dialog, wxTextCtrl* field);

// The width `text` needs in `window`'s font, with the control's own padding.
int TextWidth(const wxWindow* window, const wxString& text);
// Makes a button wide enough for its label (GTK buttons narrower than their label
// show nothing).
void FitButtonToLabel(wxWindow* button);
// Gives a control at least the width of `sample` in its font.
void MinWidthForText(wxWindow* control, const wxString& sample);
