#include "framework/ProjectsFolder.h"

#include "framework/SettingsFile.h"
#include "platform/Environment.h"
#include "platform/Paths.h"

wxString DefaultProjectsFolder() { return hv::JoinPath(hv::UserFolder(), wxS("Projects")); }

wxString ConfiguredProjectsFolder(const CSettingsFile& profile) {
  return hv::StripOneTrailingSeparator(
      hv::NormalizePath(profile.GetString(wxS("Config"), wxS("Projectpath"), DefaultProjectsFolder())));
}

wxString ConfiguredProjectsFolder() {
  return ConfiguredProjectsFolder(CSettingsFile(hv::JoinPath(hv::UserFolder(), wxS("Project.INI"))));
}
