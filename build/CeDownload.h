#pragma once
// The transfer to a Windows CE panel: the target dialog (`CDlgDownloadWebCE`), which
// confirms the folder on the device and the login, followed by the FTP transfer dialog.
#include <wx/string.h>

#include "build/FtpTransfer.h"
#include "framework/NameDialogRequests.h"
#include "platform/Types.h"

// What the caller presets in the target dialog and reads back after IDOK.
struct DownloadWebCERequest {
  wxString caption;
  wxString device;         // the device's name, shown
  wxString address;        // the device's host, shown; the address's port is in `connection`
  wxString source;         // shown and editable when not empty
  wxString targetFolder;   // device path ("\Flashdisk\TavDesign"); the confirmed one after IDOK
  wxString user;
  wxString password;
  FtpConnection connection;   // port: the address's, else 21; the confirmed ones after IDOK
};

// Presets the target dialog for a device address ("host", "host:port", "[IPv6]:port"):
// the host to show and the address's port, else 21. An address that does not read is
// shown whole (the transfer then says why it fails).
void PresetDownloadTarget(DownloadWebCERequest& target, const wxString& address);

// The port typed in the target dialog's field `field` (its label, without the colon):
// digits for 1..65535, blanks around them allowed. Otherwise false with the message that
// names the field and what it takes; an empty field is refused rather than read as 21,
// as the field may have shown another port (the address's) before it was cleared.
bool ReadTargetPort(const wxString& field, const wxString& text, int& port, UINT& messageId, wxString& message);

// Takes a confirmed target into a transfer: the target folder without its leading
// separator becomes the remote folder; user, password, connection values and (when the
// dialog showed one) the source are taken over. The confirmed port replaces the one in
// the transfer's address, so the transfer shows where it goes.
void ApplyDownloadTarget(const DownloadWebCERequest& target, FtpDownloadRequest& transfer);

// One transfer to a CE device, as the resource and project downloads start it.
struct CeDownload {
  wxString caption;        // of the target dialog
  wxString device;
  wxString address;
  wxString source;         // file or folder
  wxString localBase;      // see FtpDownloadRequest
  unsigned mode = kFtpModeSingleFile;
  std::vector<wxString> files;   // see FtpDownloadRequest
  // In and out: the dialog may change them.
  wxString targetPath;     // "\Flashdisk\TavDesign"
  wxString user;
  wxString password;
  wxString sentRecord;     // see FtpDownloadRequest
  // Out: why it did not happen (the transfer's message, or the cancel text).
  wxString message;
  // Out: the device refused the login and took one the user entered (`login`), which
  // the caller saves to the device (UserPwdRequest::SaveToDevice).
  bool loginEntered = false;
  UserPwdRequest login;
};

// Runs the transfer dialog. While the device refuses the login, the login dialog
// (`CUserPwdDlg`) asks for another, proposed with the user tried, and the transfer runs
// again with it; Cancel there ends the transfer with the refusal's message. `entered`
// tells whether the device took a login from that dialog (then in `login`).
int RunFtpTransferAskingLogin(FtpDownloadRequest& transfer, UserPwdRequest& login, bool& entered);

// Runs the target dialog, then the transfer dialog. TRUE only when the transfer ended
// with every file confirmed by the device; the confirmed target path, user and password
// are then written back. Cancel in either dialog gives FALSE.
BOOL DownloadToCEDevice(CeDownload& job);
