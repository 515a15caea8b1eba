#pragma once
// The one folder new projects go to: the profile's [Config] "Projectpath", else the
// user folder's "Projects". Start-up, the settings sheet, new projects, imports and
// restores all ask here, so no second default folder is ever made.
#include <wx/string.h>

class CSettingsFile;

wxString DefaultProjectsFolder();
// One trailing separator removed.
wxString ConfiguredProjectsFolder(const CSettingsFile& profile);
// The same through the user's profile file.
wxString ConfiguredProjectsFolder();
