// A hardware type's "hardware.xml" comes with the hardware type, from anywhere.
#include "tests/fuzz/HardwareConfigCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return hvfuzz::CheckHardwareConfig(
      [](std::string_view text, hv::ConfigSections& sections) { return hv::ParseHardwareXml(text, sections); }, data, size);
}
