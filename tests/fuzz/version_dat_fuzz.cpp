// A folder offered for import may hold any "version.dat": whatever its bytes, the reader
// gives a version within the nine digits it takes and never fails.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/ProjectCopy.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  long version = -1;
  wxString name;
  ParseVersionFile(bytes, version, name);
  if (version < 0 || version > 999999999) std::abort();
  if (name.find_first_of(wxS("\r\n")) != wxString::npos) std::abort();
  return 0;
}
