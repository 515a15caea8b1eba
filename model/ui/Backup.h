#pragma once
// "Datensicherung": the backup dialog. It only shows and forwards; the backup itself is
// BackupController's.
#include <wx/dialog.h>
#include <wx/timer.h>

#include "model/BackupController.h"

class wxButton;
class wxCheckBox;
class wxGauge;
class wxStaticText;
class wxTextCtrl;

class CBackup : public wxDialog {
 public:
  CBackup(wxWindow* parent, BackupRequest& request);

 private:
  void UpdateView();
  void OnChooseTarget(wxCommandEvent&);
  void OnTargetText(wxCommandEvent&);
  void OnStart(wxCommandEvent&);
  void OnCancel(wxCommandEvent&);
  void OnCloseButton(wxCommandEvent&);
  void OnStartTimer(wxTimerEvent&);
  void OnPollTimer(wxTimerEvent&);
  void OnClose(wxCloseEvent& event);

  BackupController m_controller;
  wxTextCtrl* m_source = nullptr;
  wxTextCtrl* m_target = nullptr;
  wxCheckBox* m_coDeSys = nullptr;
  wxButton* m_start = nullptr;
  wxButton* m_cancel = nullptr;
  wxButton* m_close = nullptr;
  wxStaticText* m_status = nullptr;
  wxGauge* m_progress = nullptr;
  wxTimer m_startTimer;
  wxTimer m_pollTimer;
};
