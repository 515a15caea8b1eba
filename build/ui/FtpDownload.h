#pragma once
// Dialog 152, the FTP transfer: starts at once, shows what is sent with an animation and
// a bar, and ends by itself (OK after a complete transfer). The work is
// FtpDownloadController's.
#include "build/FtpDownloadController.h"
#include "model/ui/OperationDialog.h"

class wxActivityIndicator;
class wxButton;
class wxGauge;
class wxStaticText;

class CDlgFtpDownload : public COperationDialog<FtpDownloadController> {
 public:
  CDlgFtpDownload(wxWindow* parent, FtpDownloadRequest& request);

 private:
  void UpdateView() override;
  bool StartRun() override { return m_controller.Start(); }
  int EndCode() const override { return m_controller.Succeeded() ? wxID_OK : wxID_CANCEL; }
  // Ends a modal run with its code; shown without a modal loop it hides with the code set.
  void End();

  wxActivityIndicator* m_animation = nullptr;
  wxStaticText* m_status = nullptr;
  wxGauge* m_progress = nullptr;
  wxButton* m_cancel = nullptr;
  bool m_ended = false;
};
