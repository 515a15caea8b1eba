#pragma once
// The online download dialog "Ressourcendatei downloaden": starts at once, shows the
// bytes sent in a bar, Cancel stops it; it ends by itself (OK after a complete
// download). The work is OnlineDownloadController's.
#include "build/OnlineDownload.h"
#include "model/ui/OperationDialog.h"

class wxButton;
class wxGauge;
class wxStaticText;

class CDlgDownload : public COperationDialog<OnlineDownloadController> {
 public:
  CDlgDownload(wxWindow* parent, OnlineDownloadRequest& request);

 private:
  void UpdateView() override;
  bool StartRun() override { return m_controller.Start(); }
  int EndCode() const override { return m_controller.Succeeded() ? wxID_OK : wxID_CANCEL; }
  void End();

  wxStaticText* m_status = nullptr;
  wxGauge* m_progress = nullptr;
  wxButton* m_cancel = nullptr;
  bool m_ended = false;
};
