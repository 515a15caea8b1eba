#pragma once
// Whether a device's resource file still matches what it is made from.
#include <wx/string.h>

// The sources of "resource/resource.res" in a device folder: the screen, text, language,
// bitmap and font tables, the folders of bitmaps, fonts, keypads and menus (with their
// files) and the device's settings "DEVICE.SET".
// 1: the resource file is newer than every source; 0: some source is newer (stale);
// -1: there is no resource file, so it must be made.
int ResourceFreshness(const wxString& deviceFolder);
