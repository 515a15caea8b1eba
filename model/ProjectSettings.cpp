#include "model/ProjectSettings.h"

#include "framework/SettingsFile.h"
#include "platform/Paths.h"

namespace projectset {

wxString PathIn(const wxString& folder, const wxString& spelling) {
  return hv::ResolvePath(hv::JoinPath(hv::NormalizePath(folder), spelling));
}

bool ExistsIn(const wxString& folder) { return !folder.empty() && hv::IsFile(PathIn(folder)); }

}  // namespace projectset

namespace {
const wxString kKeys[] = {wxS("CoDeSysDP"), wxS("CoDeSysDPChecksum"), wxS("CoDeSysDPCreate"),
                          wxS("CoDeSysDPCreateCOM"), wxS("CoDeSysDPByteAddr")};
}

ProjectFlags ProjectFlags::Read(const wxString& file) {
  const CSettingsFile s(file);
  ProjectFlags f;
  BOOL* fields[] = {&f.CoDeSysDP, &f.CoDeSysDPChecksum, &f.CoDeSysDPCreate, &f.CoDeSysDPCreateCOM,
                    &f.CoDeSysDPByteAddr};
  for (int i = 0; i < 5; ++i) *fields[i] = s.GetInt(projectset::kConfig, kKeys[i], *fields[i]);
  return f;
}

bool ProjectFlags::Write(const wxString& file) const {
  CSettingsFile s(file);
  const BOOL values[] = {CoDeSysDP, CoDeSysDPChecksum, CoDeSysDPCreate, CoDeSysDPCreateCOM, CoDeSysDPByteAddr};
  bool ok = true;
  for (int i = 0; i < 5; ++i) ok = s.WriteInt(projectset::kConfig, kKeys[i], values[i]) && ok;
  return ok;
}
