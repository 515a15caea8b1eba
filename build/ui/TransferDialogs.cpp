#include "build/ui/TransferDialogs.h"

#include "build/ui/DlgDownload.h"
#include "build/ui/DownloadWebCE.h"
#include "build/ui/FtpDownload.h"
#include "model/ui/DialogParent.h"
#include "platform/Ui.h"

void RegisterTransferDialogs() {
  hv::Ui().Register<FtpDownloadRequest>([](FtpDownloadRequest& request) {
    CDlgFtpDownload dlg(DialogParent(), request);
    dlg.ShowModal();
    return static_cast<int>(request.succeeded ? IDOK : IDCANCEL);
  });
  hv::Ui().Register<OnlineDownloadRequest>([](OnlineDownloadRequest& request) {
    CDlgDownload dlg(DialogParent(), request);
    dlg.ShowModal();
    return static_cast<int>(request.succeeded ? IDOK : IDCANCEL);
  });
  hv::Ui().Register<DownloadWebCERequest>([](DownloadWebCERequest& request) {
    CDlgDownloadWebCE dlg(DialogParent(), request);
    return static_cast<int>(dlg.ShowModal() == wxID_OK ? IDOK : IDCANCEL);
  });
}
