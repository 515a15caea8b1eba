// A device picture comes from a type folder or a project copied from elsewhere: no input
// may crash the reader, and an accepted picture must hold all the pixel rows it claims.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "resources/Dib.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CDib dib;
  if (dib.Parse(std::string_view(reinterpret_cast<const char*>(data), size)) != DibError::None) {
    if (dib.HasPicture()) std::abort();
    return 0;
  }
  const std::uint64_t stride = (static_cast<std::uint64_t>(dib.BitCount()) * dib.Width() + 31) / 32 * 4;
  if (dib.Bits().size() < stride * static_cast<std::uint64_t>(dib.Height())) std::abort();
  if (dib.BitCount() <= 8 && dib.ColourCount() > (1u << dib.BitCount())) std::abort();
  const DibRect r = FitDibRect(200, 150, dib.Width(), dib.Height());
  if (r.width < 0 || r.height < 0 || r.width > 198 || r.height > 148) std::abort();
  return 0;
}
