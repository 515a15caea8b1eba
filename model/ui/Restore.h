#pragma once
// "Wiederherstellung": the restore dialog. It only shows and forwards; the restore
// itself is RestoreController's.
#include "model/RestoreController.h"
#include "model/ui/OperationDialog.h"

class wxButton;
class wxTextCtrl;

class CRestore : public COperationDialog<RestoreController> {
 public:
  CRestore(wxWindow* parent, RestoreRequest& request);

 private:
  void UpdateView() override;
  bool StartRun() override;
  int EndCode() const override { return m_controller.RestoredPath().empty() ? wxID_CANCEL : wxID_OK; }
  void OnChooseArchive(wxCommandEvent&);
  void OnChooseTarget(wxCommandEvent&);

  wxTextCtrl* m_archive = nullptr;
  wxTextCtrl* m_target = nullptr;
  wxButton* m_chooseArchive = nullptr;
  wxButton* m_chooseTarget = nullptr;
};
