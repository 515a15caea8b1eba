// A hardware type's "hardware.set" comes with the hardware type, from anywhere.
#include "tests/fuzz/HardwareConfigCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return hvfuzz::CheckHardwareConfig(
      [](std::string_view text, hv::ConfigSections& sections) { return hv::ParseHardwareIni(text, sections); }, data, size);
}
