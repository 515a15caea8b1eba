#include "resources/PictureInfo.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/Paths.h"

namespace {

std::uint32_t Le16(std::string_view b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 1])) << 8;
}
std::uint32_t Le32(std::string_view b, std::size_t at) { return Le16(b, at) | Le16(b, at + 2) << 16; }
std::uint32_t Be16(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at])) << 8 | static_cast<std::uint8_t>(b[at + 1]);
}

std::uint32_t ColoursOfDepth(unsigned bits) { return bits >= 24 ? 1u << 24 : (bits == 0 ? 0 : 1u << bits); }

bool ReadBmp(std::string_view b, PictureInfo& info) {
  if (b.size() < 18) return false;
  const std::uint32_t headerSize = Le32(b, 14);
  if (headerSize == 12) {   // the old core header: 16-bit sizes
    if (b.size() < 26) return false;
    info.width = static_cast<int>(Le16(b, 18));
    info.height = static_cast<int>(Le16(b, 20));
    info.colours = ColoursOfDepth(Le16(b, 24));
    return true;
  }
  if (headerSize < 40 || b.size() < 14 + 36) return false;
  const auto width = static_cast<std::int32_t>(Le32(b, 18));
  const auto height = static_cast<std::int32_t>(Le32(b, 22));
  const unsigned bits = Le16(b, 28);
  const std::uint32_t used = Le32(b, 46);
  // Top-down pictures have a negative height; -2^31 has no size an int holds.
  if (width == INT32_MIN || height == INT32_MIN) return false;
  info.width = width < 0 ? -width : width;
  info.height = height < 0 ? -height : height;
  info.colours = used != 0 && bits <= 8 ? used : ColoursOfDepth(bits);
  return true;
}

bool ReadGif(std::string_view b, PictureInfo& info) {
  if (b.size() < 13) return false;
  info.width = static_cast<int>(Le16(b, 6));
  info.height = static_cast<int>(Le16(b, 8));
  const unsigned flags = static_cast<std::uint8_t>(b[10]);
  info.colours = (flags & 0x80) ? 1u << ((flags & 0x07) + 1) : 0;
  return true;
}

bool ReadJpeg(std::string_view b, PictureInfo& info) {
  std::size_t at = 2;
  while (at + 4 <= b.size()) {
    if (static_cast<std::uint8_t>(b[at]) != 0xFF) return false;
    const unsigned marker = static_cast<std::uint8_t>(b[at + 1]);
    if (marker == 0xFF) {   // fill byte
      ++at;
      continue;
    }
    if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
      at += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return false;   // no frame header before the data
    const std::uint32_t length = Be16(b, at + 2);
    if (length < 2) return false;
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      if (at + 10 > b.size()) return false;
      info.height = static_cast<int>(Be16(b, at + 5));
      info.width = static_cast<int>(Be16(b, at + 7));
      const unsigned components = static_cast<std::uint8_t>(b[at + 9]);
      info.colours = components >= 3 ? 1u << 24 : 256;
      return true;
    }
    at += 2 + length;
  }
  return false;
}

}  // namespace

bool ReadPictureInfo(std::string_view bytes, PictureInfo& info) {
  info = PictureInfo();
  if (bytes.size() >= 2 && bytes.substr(0, 2) == "BM") return ReadBmp(bytes, info);
  if (bytes.size() >= 6 && (bytes.substr(0, 6) == "GIF87a" || bytes.substr(0, 6) == "GIF89a")) return ReadGif(bytes, info);
  if (bytes.size() >= 3 && static_cast<std::uint8_t>(bytes[0]) == 0xFF && static_cast<std::uint8_t>(bytes[1]) == 0xD8)
    return ReadJpeg(bytes, info);
  return false;
}

bool ReadPictureFile(const wxString& path, PictureInfo& info) {
  info = PictureInfo();
  FILE* f = std::fopen(hv::ToFs(path).c_str(), "rb");
  if (!f) return false;
  // Frame headers of JPEG files can follow large embedded thumbnails.
  std::string head(256 * 1024, '\0');
  const std::size_t n = std::fread(head.data(), 1, head.size(), f);
  std::fclose(f);
  head.resize(n);
  return ReadPictureInfo(head, info);
}

wxString PictureDimensionText(const PictureInfo& info) {
  if (info.width <= 0 && info.height <= 0) return wxString();
  return wxString::Format(wxS("%d x %d"), info.width, info.height);
}

wxString PictureColoursText(const PictureInfo& info) {
  return info.colours ? wxString::Format(wxS("%u"), static_cast<unsigned>(info.colours)) : wxString();
}
