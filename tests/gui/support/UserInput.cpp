#include "tests/gui/support/UserInput.h"

#include <wx/bitmap.h>
#include <wx/choice.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>
#include <wx/imagpng.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "platform/Paths.h"
#include "tests/gui/support/WindowFixture.h"

namespace hvtest {

using namespace std::chrono_literals;

void ClickOn(wxWindow* window) {
  if (!window) return;
  wxUIActionSimulator sim;
  const wxPoint centre = window->GetScreenRect().GetPosition() + window->GetSize() / 2;
  sim.MouseMove(centre);
  PumpUntil([&] { return wxGetMousePosition() == centre; }, 2s);
  sim.MouseClick();
  Pump(100ms);
}

void PressKey(int keyCode, int modifiers) {
  wxUIActionSimulator sim;
  sim.Char(keyCode, modifiers);
  Pump(50ms);
}

bool TypeInto(wxTextCtrl* field, const wxString& text) {
  if (!field) return false;
  ClickOn(field);
  PumpUntil([&] { return wxWindow::FindFocus() == field; }, 2s);
  PressKey('a', wxMOD_CONTROL);
  wxUIActionSimulator sim;
  sim.Text(text.utf8_str());
  return PumpUntil([&] { return field->GetValue() == text; }, 3s);
}

bool ChooseEntry(wxChoice* choice, int index) {
  if (!choice) return false;
  ClickOn(choice);           // opens the list
  PressKey(WXK_ESCAPE);      // closes it; the focus stays on the control
  PumpUntil([&] { return wxWindow::FindFocus() == choice; }, 2s);
  PressKey(WXK_HOME);
  for (int i = 0; i < index; ++i) PressKey(WXK_DOWN);
  return PumpUntil([&] { return choice->GetSelection() == index; }, 2s);
}

wxString SaveScreenshot(wxWindow* window, const wxString& name) {
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
  Pump(100ms);
  const wxRect rect = window->GetScreenRect();
  wxBitmap bitmap(rect.GetSize(), 24);
  {
    wxScreenDC screen;
    wxMemoryDC memory(bitmap);
    memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
  }
  const wxString folder = hv::JoinPath(wxS(HV_TEST_BINARY_DIR), "../artifacts");
  hv::MakeFolders(folder);
  const wxString file = hv::JoinPath(folder, name + ".png");
  bitmap.ConvertToImage().SaveFile(file, wxBITMAP_TYPE_PNG);
  return file;
}

int DialogScripts::Enter(wxDialog* dialog) {
  if (m_scripts.empty()) {
    ++unexpected;
    return wxID_CANCEL;
  }
  auto script = std::move(m_scripts.front());
  m_scripts.pop_front();
  dialog->CallAfter([dialog, script] {
    PumpUntil([&] { return dialog->IsShownOnScreen(); }, 3s);
    Pump(100ms);
    script(dialog);
  });
  return wxID_NONE;
}

}  // namespace hvtest
