#pragma once
// What every reader of a hardware type's configuration must give, whatever the bytes:
// parsing and applying the firmware overlays never crashes, and section names and every
// section's keys stay unique.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/HardwareConfigFile.h"

namespace hvfuzz {

inline void CheckSections(const hv::ConfigSections& sections) {
  for (const hv::ConfigSection& section : sections) {
    for (std::size_t i = 0; i < section.entries.size(); ++i) {
      for (std::size_t j = i + 1; j < section.entries.size(); ++j)
        if (section.entries[i].first.IsSameAs(section.entries[j].first, false)) std::abort();
      int hundredths = 0;
      (void)hv::ParseVersionHundredths(section.entries[i].second, hundredths);
      (void)hv::ParseConfigInteger(section.entries[i].second);
    }
  }
}

template <class Parse>
int CheckHardwareConfig(Parse parse, const std::uint8_t* data, std::size_t size) {
  hv::ConfigSections sections;
  if (!parse(std::string_view(reinterpret_cast<const char*>(data), size), sections)) return 0;
  CheckSections(sections);
  const int firmware = size ? static_cast<int>(data[0]) * 129 : 0;
  hv::ApplyFirmwareOverlays(sections, firmware);
  CheckSections(sections);
  // Overlays merge into their base sections: names stay unique.
  for (std::size_t i = 0; i < sections.size(); ++i)
    for (std::size_t j = i + 1; j < sections.size(); ++j)
      if (sections[i].name.IsSameAs(sections[j].name, false)) std::abort();
  return 0;
}

}  // namespace hvfuzz
