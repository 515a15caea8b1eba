#pragma once
// Size and colour count of a picture file, read from its header (BMP, GIF, JPEG), for
// the columns of the bitmaps list. No picture library: the model stays free of the GUI.
#include <cstdint>
#include <string_view>
#include <wx/string.h>

struct PictureInfo {
  int width = 0;
  int height = 0;
  std::uint32_t colours = 0;   // 0 when unknown
};

// False when the bytes are no picture of a known kind or are cut short.
bool ReadPictureInfo(std::string_view bytes, PictureInfo& info);
// Reads the head of a file; false when it cannot be read or is no known picture.
bool ReadPictureFile(const wxString& path, PictureInfo& info);

// Column texts: "%d x %d", and the colour count in decimal; empty when unknown.
wxString PictureDimensionText(const PictureInfo& info);
wxString PictureColoursText(const PictureInfo& info);
