// The scan result file comes from a driver or from a project copied from elsewhere: no
// input may crash the parser or give an entry without a type or with over five details.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/online/ScanFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (auto names : {hv::ScanTypeNames::AsWritten, hv::ScanTypeNames::Renamed}) {
    for (const hv::ScanEntry& e : hv::ParseScanText(text, names)) {
      if (e.type.empty() || e.details.size() > hv::kScanDetailLines) std::abort();
      (void)e.DetailText();
      (void)e.Ip();
      (void)e.Firmware();
      (void)e.DetailLine(2);
    }
  }
  return 0;
}
