#include "tests/support/OnlineTestSupport.h"

#include <filesystem>

#include "platform/Paths.h"
#include "platform/online/OnlineLibrary.h"
#include "platform/online/PluginRegistry.h"
#include "tests/support/HardwareTree.h"

namespace hvtest {

namespace fs = std::filesystem;

wxString BuiltPluginFolder(const char* kind) { return hv::JoinPath(HALVORA_BUILD_DATA, kind); }
wxString TestPluginFolder(const char* kind) { return hv::JoinPath(HV_TEST_BINARY_DIR "/plugins", kind); }

namespace {
void Link(const wxString& folder, const char* kind, const std::string& file) {
  fs::path source = fs::path(hv::ToFs(TestPluginFolder(kind))) / file;
  if (!fs::exists(source)) source = fs::path(hv::ToFs(BuiltPluginFolder(kind))) / file;
  fs::create_directories(hv::ToFs(folder));
  fs::create_symlink(source, fs::path(hv::ToFs(folder)) / file);
}
}  // namespace

PluginInstall::PluginInstall(const std::vector<std::string>& devices, const std::vector<std::string>& drivers) {
  m_folder = m_home.Sub("install");
  hv::MakeFolders(hv::JoinPath(m_folder, "device"));
  hv::MakeFolders(hv::JoinPath(m_folder, "driver"));
  for (const auto& d : devices) Link(hv::JoinPath(m_folder, "device"), "device", d);
  // The shipped definitions of the sample plug-ins' self-defined points come along.
  Link(hv::JoinPath(m_folder, "device"), "device", "datpkt.set");
  for (const auto& d : drivers) Link(hv::JoinPath(m_folder, "driver"), "driver", d);
  UseInstallFolder(m_home, m_folder);
  hv::OnlineLibrary::Get().DeInit();
  hv::PluginRegistry::Get().Reset();
}

PluginInstall::~PluginInstall() {
  hv::OnlineLibrary::Get().EscapeScan();
  while (hv::OnlineLibrary::Get().IsInitialised()) hv::OnlineLibrary::Get().DeInit();
  hv::OnlineLibrary::Get().DeInit();
  hv::PluginRegistry::Get().Reset();
}

wxString PluginInstall::Sub(const wxString& relative) const { return hv::JoinPath(m_folder, relative); }

}  // namespace hvtest
