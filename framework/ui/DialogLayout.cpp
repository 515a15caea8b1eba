#include "framework/ui/DialogLayout.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/eventfilter.h>
#include <wx/toplevel.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <vector>

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

namespace {

bool IsDialogButton(wxWindow* w, wxWindow* defaultItem) {
  if (!dynamic_cast<wxButton*>(w)) return false;
  switch (w->GetId()) {
    case wxID_OK:
    case wxID_CANCEL:
    case wxID_YES:
    case wxID_NO:
    case wxID_APPLY:
    case wxID_CLOSE:
    case wxID_HELP:
      return true;
    default:
      return w == defaultItem;
  }
}

// Rows first: a control whose middle lies within the first control of a row belongs
// to that row; within a row, left to right.
std::vector<wxWindow*> InLayoutOrder(std::vector<wxWindow*> windows) {
  std::stable_sort(windows.begin(), windows.end(),
                   [](wxWindow* a, wxWindow* b) { return a->GetPosition().y < b->GetPosition().y; });
  std::vector<wxWindow*> out;
  std::size_t i = 0;
  while (i < windows.size()) {
    const wxRect first = windows[i]->GetRect();
    std::size_t end = i + 1;
    while (end < windows.size()) {
      const wxRect r = windows[end]->GetRect();
      if (r.y + r.height / 2 >= first.y + std::max(first.height, 1)) break;
      ++end;
    }
    std::stable_sort(windows.begin() + static_cast<std::ptrdiff_t>(i), windows.begin() + static_cast<std::ptrdiff_t>(end),
                     [](wxWindow* a, wxWindow* b) { return a->GetPosition().x < b->GetPosition().x; });
    out.insert(out.end(), windows.begin() + static_cast<std::ptrdiff_t>(i), windows.begin() + static_cast<std::ptrdiff_t>(end));
    i = end;
  }
  return out;
}

wxWindow* DefaultItemOf(wxWindow* window) {
  for (wxWindow* w = window; w; w = w->GetParent()) {
    if (auto* tlw = dynamic_cast<wxTopLevelWindow*>(w)) return tlw->GetDefaultItem();
  }
  return nullptr;
}

bool HoldsKeyboardStop(wxWindow* container) {
  for (wxWindow* child : container->GetChildren())
    if (!child->IsTopLevel() && (child->AcceptsFocusFromKeyboard() || HoldsKeyboardStop(child))) return true;
  return false;
}

void OrderLevel(wxWindow* container, wxWindow* defaultItem) {
  // Texts and pictures alone (a group of facts) have nothing for the keyboard to walk:
  // they keep the order they were made in.
  if (!HoldsKeyboardStop(container)) return;
  std::vector<wxWindow*> controls;
  std::vector<wxWindow*> buttons;
  for (wxWindow* child : container->GetChildren()) {
    if (child->IsTopLevel()) continue;
    if (IsDialogButton(child, defaultItem)) buttons.push_back(child);
    else controls.push_back(child);
  }
  // The buttons as they stand: a sheet's "OK" left of "Abbrechen" comes first.
  std::vector<wxWindow*> order = InLayoutOrder(std::move(controls));
  for (wxWindow* b : InLayoutOrder(std::move(buttons))) order.push_back(b);
  for (std::size_t i = 1; i < order.size(); ++i) order[i]->MoveAfterInTabOrder(order[i - 1]);
  for (wxWindow* child : order)
    if (!child->GetChildren().empty()) OrderLevel(child, defaultItem);
}

class TabOrderFilter : public wxEventFilter {
 public:
  int FilterEvent(wxEvent& event) override {
    if (event.GetEventType() == wxEVT_INIT_DIALOG)
      if (auto* window = dynamic_cast<wxWindow*>(event.GetEventObject()); window && window->IsTopLevel())
        OrderTabsByLayout(window);
    return Event_Skip;
  }
};

}  // namespace

void OrderTabsByLayout(wxWindow* window) {
  if (!window) return;
  window->Layout();
  OrderLevel(window, DefaultItemOf(window));
}

void OrderTabsWhenDialogsOpen() {
  static TabOrderFilter* filter = nullptr;
  if (filter) return;
  filter = new TabOrderFilter;
  wxEvtHandler::AddFilter(filter);
}
