#pragma once
// A property sheet over a CSheetController: the controller decides, the dialog shows.
// Pages are panels that copy their controls to the page model before it is checked and
// from it after it was initialised. In wizard mode the pages are walked with Back, Next
// and Finish; extra buttons sit at the left of the button row and are shown as the
// controller says.
#include <vector>
#include <wx/bookctrl.h>
#include <wx/button.h>
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
  // Pages whose model refills its lists on every activation show them again.
  virtual bool ReloadOnActivate() const { return false; }
  // The validating edits' own checks, before the page's data are handed over; false
  // keeps the page (the edit has said why).
  virtual bool CheckControls() { return Validate(); }
};

class CPropertySheetDlg : public wxPropertySheetDialog, public ISheetView {
 public:
  CPropertySheetDlg(wxWindow* parent, const wxString& caption, CSheetController& controller);
  ~CPropertySheetDlg() override;
  // Pages in the controller's order.
  void AddPage(CPropertyPagePanel* page, const wxString& title);
  // A button at the left of the button row, hidden until the controller shows it; its
  // clicks go to the sheet's own handler bound by the caller.
  wxButton* AddExtraButton(int id, const wxString& label);
  // Shows the first page and runs the sheet; IDOK, IDCANCEL or ID_WIZFINISH.
  int Run();
  // A page's model changed behind the panel (a scan): show it again.
  void ReloadPage(int index);
  void ButtonsChanged() override;

 protected:
  wxBookCtrlBase* CreateBookCtrl() override;

 private:
  void OnPageChanging(wxBookCtrlEvent& event);
  void Refuse(wxBookCtrlEvent& event);
  void OnOK(wxCommandEvent& event);
  void OnWizard(wxCommandEvent& event);
  void Activate(int index);
  bool SaveActive();
  void FocusField(const PageCheck& check);
  void ShowRefusal();
  void FocusFirstField();
  void FocusFirstFieldOfActive();
  void KeepKeysOnPage();
  wxButton* AddButton(wxSizer* row, int id, const wxString& label);

  CSheetController& m_controller;
  std::vector<CPropertyPagePanel*> m_pages;
  std::vector<bool> m_loaded;
  std::vector<wxButton*> m_extras;
  wxBoxSizer* m_buttonRow = nullptr;
  wxSizer* m_extraRow = nullptr;
  bool m_turning = false;   // a page change the sheet makes itself
};
