#pragma once
// The fonts page of the device property sheet: the font-per-language grid and the
// "Unicode Ressource" check box. The sheet adds it as a page; OnOK writes [Fonts].
#include <wx/panel.h>

#include "platform/Types.h"

class CFontsGridCtrl;
class CPOPrjDevice;
class CPOProject;
class wxCheckBox;

class CPPFonts : public wxPanel {
 public:
  enum { IDD = 155, IDC_GRID = 1226, IDC_UNICODE = 1002 };

  // `device` is the sheet's copy of the device; `unicodeFlag` the sheet's device flag,
  // offered only when the device's names may be Unicode.
  CPPFonts(wxWindow* parent, CPOPrjDevice* device, CPOProject* project, BOOL* unicodeFlag, bool unicodeNames);
  static wxString Title();

  // What the page does when the sheet shows it first: the grid attached and filled.
  void OnInitDialog();
  void OnSetActive();
  // Replaces [Fonts] of "DEVICE.SET" with the assignments in one write; false (the
  // user told) when the file cannot be written.
  bool OnOK();

  CFontsGridCtrl& Grid() { return *m_grid; }
  wxCheckBox* UnicodeBox() const { return m_unicode; }

 private:
  CPOPrjDevice* m_device;
  CPOProject* m_project;
  BOOL* m_unicodeFlag;
  bool m_unicodeNames;
  CFontsGridCtrl* m_grid;
  wxCheckBox* m_unicode = nullptr;
  bool m_initialised = false;
};
