#include "build/CeDownload.h"

#include "platform/Localization.h"
#include "platform/online/DeviceAddress.h"
#include "platform/Ui.h"

void PresetDownloadTarget(DownloadWebCERequest& target, const wxString& address) {
  wxString host;
  int port = hv::kFtpPort;
  target.address = hv::SplitFtpAddress(address, host, port) ? host : address;
  target.connection.port = port;
}

bool ReadTargetPort(const wxString& field, const wxString& text, int& port, UINT& messageId, wxString& message) {
  wxString typed = text;
  typed.Trim(true).Trim(false);
  if (typed.empty()) {
    messageId = 13960;
    message = wxString::Format(
        hv::LocalString(13960, wxS("%s: Bitte geben Sie eine Portnummer von 1 bis 65535 ein (FTP-Standard: 21).")), field);
    return false;
  }
  unsigned long value = 0;
  if (!hv::IsPort(typed) || !typed.ToCULong(&value)) {
    messageId = 13961;
    message = wxString::Format(
        hv::LocalString(13961, wxS("%s: \"%s\" ist keine Portnummer. Erlaubt sind die Zahlen 1 bis 65535 (FTP-Standard: 21).")),
        field, typed);
    return false;
  }
  port = static_cast<int>(value);
  return true;
}

void ApplyDownloadTarget(const DownloadWebCERequest& target, FtpDownloadRequest& transfer) {
  // Only separators are dropped: a target typed without one keeps its first letter.
  transfer.remoteFolder = hv::RemotePath(target.targetFolder);
  transfer.user = target.user;
  transfer.password = target.password;
  transfer.connection = target.connection;
  if (!target.source.empty()) transfer.source = target.source;
  wxString host;
  int port = 0;
  if (target.connection.port > 0 && hv::SplitFtpAddress(transfer.address, host, port))
    transfer.address = hv::JoinFtpAddress(host, target.connection.port);
}

int RunFtpTransferAskingLogin(FtpDownloadRequest& transfer, UserPwdRequest& login, bool& entered) {
  entered = false;
  transfer.askLogin = true;
  bool typed = false;
  for (;;) {
    const int answer = hv::Ui().Run(transfer);
    const bool refused = !transfer.succeeded && transfer.messageId == TXT_FTP_LOGIN_REFUSED;
    if (!refused) {
      entered = typed;
      return answer;
    }
    login = UserPwdRequest{};
    login.user = transfer.user;
    if (hv::Ui().Run(login) != IDOK) {
      hv::Ui().Message(transfer.messageId, transfer.message, MB_OK | MB_ICONSTOP);
      return IDCANCEL;
    }
    transfer.user = login.user;
    transfer.password = login.password;
    typed = true;
  }
}

BOOL DownloadToCEDevice(CeDownload& job) {
  const wxString cancelled = hv::LocalString(10769, wxS("Abbruch durch den Benutzer."));
  job.message.clear();

  DownloadWebCERequest target;
  target.caption = job.caption;
  target.device = job.device;
  PresetDownloadTarget(target, job.address);
  target.targetFolder = job.targetPath;
  target.user = job.user;
  target.password = job.password;
  if (hv::Ui().Run(target) != IDOK) {
    job.message = cancelled;
    return FALSE;
  }

  FtpDownloadRequest transfer;
  transfer.address = job.address;
  transfer.source = job.source;
  transfer.localBase = job.localBase;
  transfer.mode = job.mode;
  transfer.files = job.files;
  transfer.sentRecord = job.sentRecord;
  ApplyDownloadTarget(target, transfer);
  const int answer = RunFtpTransferAskingLogin(transfer, job.login, job.loginEntered);
  if (answer != IDOK || !transfer.succeeded) {
    job.message = transfer.message.empty() ? cancelled : transfer.message;
    return FALSE;
  }
  job.targetPath = target.targetFolder;
  job.user = transfer.user;
  job.password = transfer.password;
  return TRUE;
}
