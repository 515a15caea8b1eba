#include "resources/Dib.h"

#include <algorithm>
#include <string>

#include "platform/Paths.h"
#include "platform/Ui.h"

namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::uint32_t kInfoHeader = 40;

std::uint32_t Le16(std::string_view b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 1])) << 8;
}
std::uint32_t Le32(std::string_view b, std::size_t at) { return Le16(b, at) | Le16(b, at + 2) << 16; }

}  // namespace

void CDib::Free() {
  m_width = m_height = m_bitCount = 0;
  m_topDown = false;
  m_colours.clear();
  m_bits.clear();
}

DibError CDib::Parse(std::string_view b) {
  Free();
  if (b.size() < kFileHeader) return DibError::Short;
  if (Le16(b, 0) != 0x4D42) return DibError::NotBmp;
  const std::uint64_t bitsOffset = Le32(b, 10);
  if (b.size() < kFileHeader + 4) return DibError::Short;
  if (Le32(b, kFileHeader) != kInfoHeader) return DibError::HeaderForm;
  if (bitsOffset < kFileHeader + kInfoHeader || b.size() < kFileHeader + kInfoHeader) return DibError::Short;

  const std::string_view info = b.substr(kFileHeader, kInfoHeader);
  const auto width = static_cast<std::int32_t>(Le32(info, 4));
  const auto height = static_cast<std::int32_t>(Le32(info, 8));
  const int bitCount = static_cast<int>(Le16(info, 14));
  const std::uint32_t headerImageSize = Le32(info, 20);
  const std::uint32_t used = Le32(info, 32);

  // INT32_MIN has no positive counterpart; the side limit rules it out as well.
  if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide)
    return DibError::BadSize;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    return DibError::BadDepth;

  std::uint32_t colours = used;
  if (colours == 0) colours = bitCount <= 8 ? 1u << bitCount : 0;
  if (colours > 256 || (bitCount <= 8 && colours > (1u << bitCount))) return DibError::BadColours;
  // The header block must hold the information header and the whole colour table.
  if (bitsOffset - kFileHeader < kInfoHeader + 4ull * colours) return DibError::BadColours;

  const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -static_cast<std::int64_t>(height) : height);
  const std::uint64_t stride = (static_cast<std::uint64_t>(bitCount) * static_cast<std::uint64_t>(width) + 31) / 32 * 4;
  const std::uint64_t needed = stride * rows;
  // A smaller image size than the rows need would leave pixels unread: take the rows'.
  const std::uint64_t imageSize = headerImageSize > needed ? headerImageSize : needed;
  if (bitsOffset > b.size() || b.size() - bitsOffset < needed) return DibError::Short;
  const std::uint64_t present = std::min<std::uint64_t>(imageSize, b.size() - bitsOffset);

  m_colours.reserve(colours);
  for (std::uint32_t i = 0; i < colours; ++i) {
    const std::size_t at = kFileHeader + kInfoHeader + 4u * i;
    const auto blue = static_cast<std::uint8_t>(b[at]);
    const auto green = static_cast<std::uint8_t>(b[at + 1]);
    const auto red = static_cast<std::uint8_t>(b[at + 2]);
    m_colours.push_back(static_cast<std::uint32_t>(red) << 16 | static_cast<std::uint32_t>(green) << 8 | blue);
  }
  const auto* first = reinterpret_cast<const std::uint8_t*>(b.data()) + bitsOffset;
  m_bits.assign(first, first + present);
  m_width = width;
  m_height = static_cast<int>(rows);
  m_topDown = height < 0;
  m_bitCount = bitCount;
  return DibError::None;
}

BOOL CDib::Read(const wxString& path) {
  Free();
  std::string bytes;
  if (!hv::ReadFileBytes(path, bytes)) return FALSE;   // no file: no picture, no message
  if (Parse(bytes) == DibError::None) return TRUE;
  hv::ShowMessage(11400, wxS("Lesefehler"));
  return FALSE;
}

DibRect FitDibRect(int clientWidth, int clientHeight, int w, int h) {
  DibRect r{1, 1, clientWidth - 2, clientHeight - 2};
  const int W = r.width, H = r.height;
  if (W <= 0 || H <= 0 || w <= 0 || h <= 0) return {};
  if (w < W && h < H) return {r.x + (W - w) / 2, r.y + (H - h) / 2, w, h};
  if (static_cast<double>(H) / h >= static_cast<double>(W) / w) {
    const int drawn = static_cast<int>(static_cast<long long>(h) * W / w);
    return {r.x, r.y + (H - drawn) / 2, W, drawn};
  }
  const int drawn = static_cast<int>(static_cast<long long>(w) * H / h);
  return {r.x + (W - drawn) / 2, r.y, drawn, H};
}
