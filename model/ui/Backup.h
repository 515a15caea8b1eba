#pragma once
// "Datensicherung": the backup dialog. It only shows and forwards; the backup itself is
// BackupController's.
#include "model/BackupController.h"
#include "model/ui/OperationDialog.h"

class wxCheckBox;
class wxTextCtrl;

class CBackup : public COperationDialog<BackupController> {
 public:
  CBackup(wxWindow* parent, BackupRequest& request);

 private:
  void UpdateView() override;
  bool StartRun() override { return m_controller.Start(); }
  void OnChooseTarget(wxCommandEvent&);
  void OnTargetText(wxCommandEvent&);
  void OnStart(wxCommandEvent&);

  wxTextCtrl* m_source = nullptr;
  wxTextCtrl* m_target = nullptr;
  wxCheckBox* m_coDeSys = nullptr;
};
