#include "model/ui/BackupDialogs.h"

#include "model/ui/Backup.h"
#include "model/ui/DialogParent.h"
#include "model/ui/Restore.h"
#include "model/ui/RestorePathExists.h"
#include "platform/Ui.h"

void RegisterBackupDialogs() {
  hv::Ui().Register<BackupRequest>([](BackupRequest& request) {
    CBackup dlg(DialogParent(), request);
    dlg.ShowModal();
    return static_cast<int>(request.succeeded ? IDOK : IDCANCEL);
  });
  hv::Ui().Register<RestoreRequest>([](RestoreRequest& request) {
    CRestore dlg(DialogParent(), request);
    dlg.ShowModal();
    return static_cast<int>(request.restoredPath.empty() ? IDCANCEL : IDOK);
  });
  hv::Ui().Register<RestorePathExistsRequest>([](RestorePathExistsRequest& request) {
    CDlgRestorePathExists dlg(DialogParent(), request);
    return static_cast<int>(dlg.ShowModal() == wxID_OK ? IDOK : IDCANCEL);
  });
}
