#pragma once
// Sending a device's web pages to the panel by FTP, and the choice between the panel's
// file system ("vfs") and its CompactFlash card ("cf0").
#include <wx/string.h>

#include "platform/Types.h"

class CPOPrjDevice;

namespace web {

// Where the pages go: address, login and the remote folder. Runs the target dialog for
// panels that take files over FTP into "\Flashdisk\wwwpub". FALSE when there is no
// address (reported) or the dialog was cancelled.
struct Target {
  wxString address;
  wxString user;
  wxString password;
  wxString remoteFolder;   // "vfs", "cf0" or the confirmed device path
  wxString targetPath;     // the target dialog's path, when it ran
  bool askTarget = false;  // the target dialog runs with the transfer
};
bool MakeTarget(CPOPrjDevice* device, Target& target);

// Sends one file or folder (local base: the device folder). After a transfer into
// "vfs" and when `finish` holds, the empty "save.bin" follows. TRUE when everything
// arrived.
BOOL SendPages(CPOPrjDevice* device, const wxString& source, bool finish);
// The device type "KOLM_IT1" gets its pages packed by the web archiver and sent with
// the resource file and "start.bin". A failing archiver is reported; nothing is sent.
BOOL SendArchive(CPOPrjDevice* device);
bool UsesArchive(CPOPrjDevice* device);

// "Download auf CompactFlash": offered for devices with a card that take no files over
// FTP; checked while the card is used. Toggle writes the opposite state.
bool CardChoiceOffered(CPOPrjDevice* device);
bool CardChosen(CPOPrjDevice* device);
BOOL ToggleCard(CPOPrjDevice* device);

}  // namespace web
