#pragma once
// What the file-backed resources of a device (pictures, fonts, keypads, web pages)
// share: names that arrive from the clipboard, staged copies on the clipboard, the
// paste of a staged copy into a device folder, the configured editors, the templates
// of the installation, device-type files and the transfer to a Windows CE panel.
#include <wx/string.h>

#include <cstdint>
#include <vector>

#include "build/FtpTransfer.h"
#include "platform/Archive.h"
#include "platform/Types.h"

class CProjectObject;
class CPOPrjDevice;
struct FileEntry;

namespace resfiles {

// A name that may become one path component: not empty, not "." or "..", no '/' or
// '\', no ".." inside, no control character. Clipboard data are untrusted.
bool IsSafeFileName(const wxString& name);

// Stages a copy of the file and writes its path into the clipboard data. FALSE (and a
// message naming the file) when no copy could be made.
BOOL WriteStagedFile(CArchive& ar, const wxString& path);
// The staged copy named by clipboard data: only our own staged copies are taken. Empty
// (and message 10113 with the name) otherwise.
wxString ReadStagedFile(CArchive& ar, const wxString& name);

// Puts a staged copy into `folder` as `name` (created when missing). An existing file of
// that name (any case) is replaced only after the user agrees to message `askId`, and
// only once the new copy is complete beside it; the sibling of the same name (any case,
// other than `self`) then leaves `parent`. The placed path, or empty when nothing was
// placed (refusals and failures are reported).
wxString PlaceStagedFile(const wxString& staged, const wxString& folder, const wxString& name, CProjectObject* parent,
                         CProjectObject* self, UINT askId);

// Starts the editor configured under [Programs] `key` of the user's profile (the key
// itself when unset) on the file: the configured command line, then the path as one
// argument. When that program is not found the desktop's default application for the
// file opens it; when there is none either, a message names the program, the file and
// the programs page.
void LaunchEditor(const wxString& key, const wxString& path);

// "<install>/Halvora/default/<name>".
wxString TemplateFile(const wxString& name);

// Whether the file lies directly in the device's hardware folder (any case): such
// files belong to the device type and are neither deleted nor cut.
bool IsDeviceTypeFile(CPOPrjDevice* device, const wxString& path);

// The address of a panel from its device parameters: with two ';' or more the third
// field (trimmed), without any ';' the whole text (trimmed). Empty when there is none,
// and for a folder or placeholder (never an address).
wxString CeAddress(const wxString& deviceParameters);
// The device's address; empty after message 10603, which says where it is set.
wxString CeAddressOrReport(CPOPrjDevice* device);

// Whether the device reaches its keypads and other files over FTP.
bool SupportsKeypads(CPOPrjDevice* device);

// Runs the target dialog (when `caption` is not empty) and then the transfer dialog.
// TRUE only when every file was confirmed by the device. `targetPath` is in and out.
struct CeSend {
  wxString caption;       // empty: no target dialog, straight to the transfer
  wxString address;
  wxString user;
  wxString password;
  wxString source;
  wxString localBase;
  wxString targetPath;    // device path; with a caption the dialog's, else the remote folder
  unsigned mode = kFtpModeFolder;
  std::vector<wxString> files;   // not empty: only these files of the source folder
};
BOOL SendToDevice(CPOPrjDevice* device, CeSend& send);
// For panels that take files over FTP: the address (message 10603 when there is none)
// and the login of DEVICE.SET. False when the device takes no files or has no address.
bool PrepareCeSend(CPOPrjDevice* device, CeSend& send);

// What a folder list was loaded from: names, sizes and times of its files. A list
// whose folder no longer gives the same stamp is stale (files copied in or removed
// by other programs show after a refresh).
std::uint64_t ListingStamp(const std::vector<FileEntry>& files);

}  // namespace resfiles
