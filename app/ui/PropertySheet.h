#pragma once
// A property sheet over a CSheetController: the controller decides, the dialog shows.
// Pages are panels that copy their controls to the page model before it is checked and
// from it after it was initialised.
#include <vector>
#include <wx/bookctrl.h>
#include <wx/panel.h>
#include <wx/propdlg.h>

#include "framework/PropertySheetModel.h"

class CPropertyPagePanel : public wxPanel {
 public:
  explicit CPropertyPagePanel(wxWindow* parent) : wxPanel(parent) {}
  // The model page was initialised: show its data.
  virtual void LoadFromModel() = 0;
  // Before the page is checked or stored: hand the controls' data to the model.
  virtual void SaveToModel() = 0;
};

class CPropertySheetDlg : public wxPropertySheetDialog {
 public:
  CPropertySheetDlg(wxWindow* parent, const wxString& caption, CSheetController& controller);
  // Pages in the controller's order.
  void AddPage(CPropertyPagePanel* page, const wxString& title);
  // Shows the first page and runs the sheet; IDOK or IDCANCEL.
  int Run();

 private:
  void OnPageChanging(wxBookCtrlEvent& event);
  void OnOK(wxCommandEvent& event);
  void Activate(int index);
  void FocusField(const PageCheck& check);

  CSheetController& m_controller;
  std::vector<CPropertyPagePanel*> m_pages;
  std::vector<bool> m_loaded;
};
