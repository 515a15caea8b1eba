// The desktop's user-dirs.dirs is another program's file: whatever it holds, the
// documents folder read from it is empty or absolute.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/DocumentsFolder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string folder = hv::DocumentsFromUserDirs(bytes, "/home/user");
  if (!folder.empty() && folder[0] != '/') std::abort();
  if (folder.find('\n') != std::string::npos) std::abort();
  return 0;
}
