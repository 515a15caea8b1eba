#pragma once
// A device-independent bitmap read from a BMP file. The file may come from anywhere (a
// device type's "device.bmp", a project from elsewhere), so every size in its header is
// checked against the file before anything is allocated or read.
#include <cstdint>
#include <string_view>
#include <vector>
#include <wx/string.h>

#include "platform/Types.h"

enum class DibError {
  None,
  Short,        // shorter than its headers or its announced pixel bits
  NotBmp,       // no "BM"
  HeaderForm,   // not the 40-byte information header (core, V4 and V5 are refused)
  BadSize,      // zero, negative width or a picture beyond the size limit
  BadDepth,     // bit count other than 1, 4, 8, 16, 24, 32
  BadColours,   // more colours than the depth or the colour table can hold
};

class CDib {
 public:
  // Pictures larger than this on either side are refused (device pictures are small).
  static constexpr int kMaxSide = 16384;

  // Releases what the object holds, then reads the picture. A missing file gives FALSE
  // quietly; a bad one shows "Lesefehler". Either way no picture is left.
  BOOL Read(const wxString& path);
  // The same over bytes in memory, without a message.
  DibError Parse(std::string_view bytes);
  void Free();

  bool HasPicture() const { return m_width > 0; }
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  bool TopDown() const { return m_topDown; }
  int BitCount() const { return m_bitCount; }
  std::uint32_t ColourCount() const { return static_cast<std::uint32_t>(m_colours.size()); }
  std::uint32_t ImageSize() const { return static_cast<std::uint32_t>(m_bits.size()); }
  // Colour table entries as 0x00RRGGBB.
  const std::vector<std::uint32_t>& Colours() const { return m_colours; }
  // A palette exists exactly when there is a colour table.
  bool HasPalette() const { return !m_colours.empty(); }
  const std::vector<std::uint8_t>& Bits() const { return m_bits; }

 private:
  int m_width = 0;
  int m_height = 0;
  bool m_topDown = false;
  int m_bitCount = 0;
  std::vector<std::uint32_t> m_colours;
  std::vector<std::uint8_t> m_bits;
};

struct DibRect {
  int x = 0, y = 0, width = 0, height = 0;
};

// Where a picture of w x h goes inside a client area: the area less one pixel on every
// side, natural size centred when both sides are strictly smaller, else scaled keeping
// the aspect ratio. Empty for an empty area or picture.
DibRect FitDibRect(int clientWidth, int clientHeight, int w, int h);
