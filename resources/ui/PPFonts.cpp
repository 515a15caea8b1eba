#include "resources/ui/PPFonts.h"

#include <cerrno>
#include <cstring>
#include <wx/checkbox.h>
#include <wx/sizer.h>

#include "model/DeviceServices.h"
#include "platform/Localization.h"
#include "platform/Ui.h"
#include "resources/ui/FontsGridCtrl.h"

CPPFonts::CPPFonts(wxWindow* parent, CPOPrjDevice* device, CPOProject* project, BOOL* unicodeFlag, bool unicodeNames)
    : wxPanel(parent, IDD),
      m_device(device),
      m_project(project),
      m_unicodeFlag(unicodeFlag),
      m_unicodeNames(unicodeNames),
      m_grid(new CFontsGridCtrl) {
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  // The grid takes the place of this window when the page opens.
  sizer->Add(new wxWindow(this, IDC_GRID, wxDefaultPosition, wxSize(420, 240)), 1, wxEXPAND | wxALL, 6);
  m_unicode = new wxCheckBox(this, IDC_UNICODE, hv::LocalString(13903, wxS("Unicode Ressource")));
  sizer->Add(m_unicode, 0, wxLEFT | wxRIGHT | wxBOTTOM, 6);
  SetSizer(sizer);
}

wxString CPPFonts::Title() { return hv::LocalString(13902, wxS("Schriftart")); }

void CPPFonts::OnInitDialog() {
  if (m_initialised) return;
  m_initialised = true;
  m_grid->AttachToDialogControl(IDC_GRID, this);
  m_grid->SetSource(devsvc::DeviceFolder(m_device), devsvc::Languages(m_project), devsvc::DefaultLanguage(m_project));
  m_grid->LoadFonts();
  OnSetActive();
  Layout();
}

void CPPFonts::OnSetActive() {
  m_unicode->SetValue(m_unicodeNames && m_unicodeFlag && *m_unicodeFlag);
  m_unicode->Enable(m_unicodeNames);
}

bool CPPFonts::OnOK() {
  if (!m_initialised) return true;
  errno = 0;
  if (!m_grid->Model().Save(m_grid->DeviceFolder())) {
    const int error = errno ? errno : EIO;
    hv::Ui().Message(0, wxString(std::strerror(error)), MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  if (m_unicodeNames && m_unicodeFlag) *m_unicodeFlag = m_unicode->GetValue() ? TRUE : FALSE;
  return true;
}
