#include "platform/Environment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/Codec.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

namespace hv {

static wxString EnvVar(const char* name) {
  const char* v = std::getenv(name);
  return v && *v ? FromUtf8(v) : wxString();
}

static wxString HomeFolder() {
  wxString home = EnvVar("HOME");
  return home.empty() ? wxString("/tmp") : home;
}

wxString UserFolder() {
  const wxString hh = EnvVar("HALVORA_HOME");
  if (!hh.empty()) return StripOneTrailingSeparator(NormalizePath(hh));
  wxString data = EnvVar("XDG_DATA_HOME");
  if (data.empty()) data = JoinPath(HomeFolder(), ".local/share");
  return JoinPath(data, "Halvora");
}

bool UserFolderNameUnreadable() {
  const char* v = std::getenv("HALVORA_HOME");
  return v && *v && FromUtf8(v).empty();
}

wxString TempFolder() {
  const wxString hh = EnvVar("HALVORA_HOME");
  wxString folder;
  if (!hh.empty()) {
    folder = JoinPath(hh, "tmp");
  } else {
    wxString base = EnvVar("TMPDIR");
    if (base.empty()) base = "/tmp";
    folder = JoinPath(base, wxString::Format("halvora-%u", static_cast<unsigned>(getuid())));
  }
  if (!IsFolder(folder)) {
    MakeFolders(PathFolder(folder));
    mkdir(ToFs(folder).c_str(), 0700);
  }
  // Refuse a folder someone else made for us.
  struct stat st;
  if (lstat(ToFs(folder).c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
    return UserFolder();
  return folder;
}

wxString DefaultDataFolder() {
  if (auto p = RegistryStore::Get().GetString(kKeyBrand, "PATH"); p && !p->empty())
    return StripOneTrailingSeparator(NormalizePath(*p));
  const wxString installed = FromUtf8(HALVORA_INSTALL_DATA);
  if (IsFolder(JoinPath(installed, "Halvora/default/hardware")) || IsFolder(JoinPath(installed, "lang")))
    return installed;
  return FromUtf8(HALVORA_SOURCE_DATA);
}

wxString SystemRegistryFile() {
  const wxString hh = EnvVar("HALVORA_HOME");
  if (!hh.empty()) return JoinPath(hh, "system-registry.ini");
  const wxString installed = JoinPath(FromUtf8(HALVORA_INSTALL_DATA), "registry.ini");
  if (IsFile(installed)) return installed;
  return JoinPath(FromUtf8(HALVORA_SOURCE_DATA), "registry.ini");
}

wxString UserRegistryFile() {
  const wxString hh = EnvVar("HALVORA_HOME");
  if (!hh.empty()) return JoinPath(hh, "registry.ini");
  wxString cfg = EnvVar("XDG_CONFIG_HOME");
  if (cfg.empty()) cfg = JoinPath(HomeFolder(), ".config");
  return JoinPath(cfg, "Halvora/registry.ini");
}

void InitRegistryStore() { RegistryStore::Get().InitFiles(SystemRegistryFile(), UserRegistryFile()); }

}  // namespace hv
