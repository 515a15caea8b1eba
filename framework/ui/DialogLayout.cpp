#include "framework/ui/DialogLayout.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

void FocusAndSelect(wxWindow* field) {
  field->SetFocus();
  if (auto* text = dynamic_cast<wxTextCtrl*>(field)) text->SelectAll();
}

}  // namespace

void FocusOnOpen(wxDialog* dialog, wxWindow* field) {
  // The toolkit gives the focus to the default button as the window appears, after
  // the dialog's own initialisation: the field takes it back once the window is up.
  dialog->Bind(wxEVT_INIT_DIALOG, [field](wxInitDialogEvent& event) {
    event.Skip();
    FocusAndSelect(field);
  });
  dialog->Bind(wxEVT_SHOW, [dialog, field](wxShowEvent& event) {
    event.Skip();
    if (event.IsShown()) dialog->CallAfter([field] { FocusAndSelect(field); });
  });
}

int TextWidth(const wxWindow* window, const wxString& text) {
  int width = 0;
  for (const wxString& line : wxSplit(text, '\n')) width = std::max(width, window->GetTextExtent(line).GetWidth());
  return width;
}

void FitButtonToLabel(wxWindow* button) {
  const wxSize best = button->GetBestSize();
  const int padding = button->GetCharWidth() * 3;
  const int needed = TextWidth(button, button->GetLabel()) + padding;
  button->SetMinSize(wxSize(std::max(best.GetWidth(), needed), best.GetHeight()));
}

void MinWidthForText(wxWindow* control, const wxString& sample) {
  const wxSize min = control->GetMinSize();
  const int padding = control->GetCharWidth() * 2;
  control->SetMinSize(wxSize(std::max(min.GetWidth(), TextWidth(control, sample) + padding), min.GetHeight()));
}

void ShowOnly(wxTextCtrl* field) {
  field->SetEditable(false);
  field->DisableFocusFromKeyboard();
}

void ShowStatus(wxWindow* dialog, wxStaticText* status, const wxString& text) {
  if (status->GetLabel() == text) return;
  const int width = status->GetSize().GetWidth();
  status->SetLabel(text);
  if (width > 0) status->Wrap(width);
  status->SetMinSize(wxSize(width > 0 ? width : -1, status->GetBestSize().GetHeight()));
  if (wxSizer* sizer = dialog->GetSizer()) {
    const wxSize need = sizer->GetMinSize();
    const wxSize have = dialog->GetClientSize();
    if (need.GetHeight() > have.GetHeight()) dialog->SetClientSize(have.GetWidth(), need.GetHeight());
  }
  dialog->Layout();
}
