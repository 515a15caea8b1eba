// Pictures in a project's bitmap folders come from anywhere: reading their headers for
// the list columns never crashes, and what is shown is a size and a count, or nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "resources/PictureInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PictureInfo info;
  if (!ReadPictureInfo(std::string_view(reinterpret_cast<const char*>(data), size), info)) return 0;
  if (info.width < 0 || info.height < 0) std::abort();
  (void)PictureDimensionText(info);
  (void)PictureColoursText(info);
  return 0;
}
