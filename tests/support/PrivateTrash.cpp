#include "tests/support/PrivateTrash.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "platform/Codec.h"

namespace hvtest {

const wxString& UsePrivateTrash() {
  static wxString folder;
  static std::once_flag once;
  std::call_once(once, [] {
    std::string tmpl = (std::filesystem::temp_directory_path() / "hvtrash-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return;
    setenv("XDG_DATA_HOME", tmpl.c_str(), 1);
    folder = hv::FromUtf8(tmpl);
    // Removed when the test process ends.
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(hv::ToUtf8(folder), ec);
    });
  });
  return folder;
}

}  // namespace hvtest
