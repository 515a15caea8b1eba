#pragma once
// The device folder: laid out for a new device (tables, own row, "DEVICE.SET",
// hardware files, resource folders) all or nothing, and the hardware files recopied
// when the hardware type changes or a newer configuration is taken over.
#include <wx/string.h>

#include "framework/EditValidation.h"
#include "platform/Types.h"

class CPOPrjDevice;

// The first "Geraet<n>" (n from 1) that names nothing in the project folder.
wxString ProposeDeviceName(const wxString& projectFolder);
// A device name as stored: trailing blanks removed, at most 30 characters.
wxString NormalizeDeviceName(const wxString& name);
// Whether a name can be a device folder's name: not empty, ASCII without control
// characters and without "/\:*?<>|.".
bool IsValidDeviceName(const wxString& name);
// Checks a (normalised) device name; 0 when it may be used, else the number of the
// message shown. A name that differs from `unchanged` must not name anything in the
// project folder yet. `badPos` gets the position of a refused character, else -1.
UINT CheckDeviceName(const wxString& name, const wxString& projectFolder, const wxString& unchanged,
                     long* badPos = nullptr);
// What the device name field refuses.
CharacterSet DeviceNameForbiddenCharset();

// Lays out the folder of a new device (its device folder set, the folder not yet
// existing): folder, table set, own row (the device number is taken from it),
// "DEVICE.SET" with the resource offsets and the data version, "Hardware" with the
// installed files of the type, and the folders its display calls for. On a failure the
// step's message is shown and the folder is removed again: FALSE leaves nothing behind.
BOOL CreateDeviceFolder(CPOPrjDevice& device);

enum class HardwareCopy { Done, NotCreated, NotCopied, NotRemoved };

// Replaces the device folder's "Hardware" by the installed files of the type (its top
// level only) with, for a remote panel type, that panel's palette. The files are
// gathered beside the old folder and swapped in when complete, so any failure leaves
// the old folder as it was.
HardwareCopy ReplaceHardwareFiles(const wxString& deviceFolder, const wxString& type, const wxString& remoteType);
// Shows the message of a failed replacement (10313, 10282 or 10661).
void ReportHardwareCopy(HardwareCopy result);

// "Fonts" with the default fonts (but "System.fnt"), "Resource", "Bitmaps", "Menus".
// FALSE after message 10251 or 10222 when the fonts cannot be made.
BOOL MakeDisplayResourceFolders(const wxString& deviceFolder);
// Empty "Fonts", "Resource", "Menus" for a display without resources of its own.
void MakePlainDisplayFolders(const wxString& deviceFolder);
// "Keypads"; message 10704 when it cannot be made.
BOOL MakeKeypadFolder(const wxString& deviceFolder);

// After a change of the remote panel type: "Hardware/Palette.pal" becomes the new
// panel's palette, or with no remote panel the type's own (removed when the type has
// none). FALSE after a message when the palette cannot be copied; the device's copy is
// then removed.
BOOL ApplyRemotePalette(const wxString& deviceFolder, const wxString& type, const wxString& remoteType);

// Copies a file over another through a temporary file beside the target.
bool CopyFileReplacing(const wxString& source, const wxString& target);
