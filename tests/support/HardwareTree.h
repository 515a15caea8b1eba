#pragma once
// Install trees for tests of device types: the shipped sample tree of the source folder,
// or a private one, made the install folder through the registry's "PATH".
#include <string>
#include <wx/string.h>

namespace hvtest {

class TempHome;

// The source tree's data folder (the shipped install tree).
wxString SourceDataFolder();
// Makes the folder the install folder ("PATH" in the system layer of the registry).
void UseInstallFolder(TempHome& home, const wxString& folder);
// Copies the files at the top of an installed type's folder into the device folder's
// "hardware" folder, as a new device gets them.
void CopyTypeToDevice(const wxString& typeFolder, const wxString& deviceFolder);

}  // namespace hvtest
