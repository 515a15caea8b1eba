#pragma once
// "Wiederherstellung": the restore dialog. It only shows and forwards; the restore
// itself is RestoreController's.
#include <wx/dialog.h>
#include <wx/timer.h>

#include "model/RestoreController.h"

class wxButton;
class wxGauge;
class wxStaticText;
class wxTextCtrl;

class CRestore : public wxDialog {
 public:
  CRestore(wxWindow* parent, RestoreRequest& request);

 private:
  void UpdateView();
  void OnChooseArchive(wxCommandEvent&);
  void OnChooseTarget(wxCommandEvent&);
  void OnStart(wxCommandEvent&);
  void OnCancel(wxCommandEvent&);
  void OnCloseButton(wxCommandEvent&);
  void OnStartTimer(wxTimerEvent&);
  void OnPollTimer(wxTimerEvent&);
  void OnClose(wxCloseEvent& event);

  RestoreController m_controller;
  wxTextCtrl* m_archive = nullptr;
  wxTextCtrl* m_target = nullptr;
  wxButton* m_chooseArchive = nullptr;
  wxButton* m_chooseTarget = nullptr;
  wxButton* m_start = nullptr;
  wxButton* m_cancel = nullptr;
  wxButton* m_close = nullptr;
  wxStaticText* m_status = nullptr;
  wxGauge* m_progress = nullptr;
  wxTimer m_startTimer;
  wxTimer m_pollTimer;
};
