#include "tests/support/HardwareTree.h"

#include <filesystem>

#include "platform/Codec.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

namespace hvtest {

namespace fs = std::filesystem;

wxString SourceDataFolder() { return hv::NormalizePath(hv::FromUtf8(HV_TEST_SOURCE_DIR "/../data")); }

void UseInstallFolder(TempHome& home, const wxString& folder) {
  home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"PATH\"=\"" + hv::ToUtf8(folder) + "\"\n");
}

void CopyTypeToDevice(const wxString& typeFolder, const wxString& deviceFolder) {
  const fs::path target = fs::path(hv::ToFs(deviceFolder)) / "Hardware";
  fs::create_directories(target);
  for (const auto& e : fs::directory_iterator(hv::ToFs(typeFolder)))
    if (e.is_regular_file()) fs::copy_file(e.path(), target / e.path().filename(), fs::copy_options::overwrite_existing);
}

}  // namespace hvtest
