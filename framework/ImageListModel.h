#pragma once
// The views' image lists as data. The first images are the program's own strip (the
// indices below, drawn by the window toolkit); an object with an icon of its own
// appends it through AddImageToList and gets its index back.
#include <string>
#include <vector>
#include <wx/string.h>

// Indices of the image strip.
enum ImageIndex : int {
  IMG_OBJECT = 0,
  IMG_DOCUMENT = 1,
  IMG_DEVICE = 2,
  IMG_NETWORK = 3,
  IMG_FOLDER = 4,
  IMG_FOLDER_OPEN = 5,
  IMG_PLACEHOLDER = 6,
  IMG_MASK = 7,
  IMG_BITMAP = 8,
  IMG_FONT = 9,
  IMG_TEXT = 10,
  IMG_DATAPOINT = 11,
  IMG_SIMULATION = 12,
  IMG_GRAPH_PROGRAM = 13,
  IMG_PROGRAM = 14,
  IMG_SIMULATION_SOURCE = 15,
  IMG_ELEM_PICTURE = 16,
  IMG_ELEM_TEXT = 17,
  IMG_ELEM_EDIT = 18,
  IMG_ELEM_BUTTON = 19,
  IMG_ELEM_BARGRAPH = 20,
  IMG_DATALOGGER = 21,
  IMG_ELEM_COMBOBOX = 22,
  IMG_RECIPE_DEF = 23,
  IMG_RECIPE = 24,
  IMG_CODESYS = 25,
  IMG_RESERVED_26 = 26,
  IMG_RESERVED_27 = 27,
  IMG_RESERVED_28 = 28,
  IMG_RESERVED_29 = 29,
  IMG_ELEM_TOUCHKEY = 30,
  IMG_MENU = 31,
  IMG_ALARM = 32,
  IMG_ELEM_LIST = 33,
  IMG_PROGRIPS = 34,
  IMG_PALETTE = 35,
  IMG_ELEM_RECTANGLE = 36,
  IMG_ELEM_LINE = 37,
  IMG_HTML = 38,
  IMG_ELEM_LISTBOX = 39,
  IMG_KEYPAD = 40,
  IMG_KEYPAD_XML = 41,
  IMG_TRUETYPE_FONT = 42,
  IMG_FONT_FOLDER = 43,
  IMG_PROJECT = 44,
  IMG_STRIP_COUNT = 45,
};

// Which list an object adds its icon to (the size argument of AddImageToList).
enum ImageListKind : int {
  IMAGELIST_TREE = 1,
  IMAGELIST_SMALL = 2,
  IMAGELIST_LARGE = 3,
};

class CImageList {
 public:
  // An image an object added: a picture file, or pixels (RGBA, row by row).
  struct Image {
    wxString file;
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
  };

  explicit CImageList(int pixelSize = 16) : m_pixelSize(pixelSize) {}

  int GetPixelSize() const { return m_pixelSize; }
  int GetImageCount() const { return IMG_STRIP_COUNT + static_cast<int>(m_added.size()); }

  // Append an image; the result is its index.
  int AddFile(const wxString& path);
  // -1 when the pixel data do not match the size.
  int AddPixels(int width, int height, std::vector<unsigned char> rgba);

  // An added image; nullptr for the strip's images and for indices out of range.
  const Image* GetAdded(int index) const;

  // Drops the added images (the strip stays).
  void Reset() { m_added.clear(); }

 private:
  int m_pixelSize;
  std::vector<Image> m_added;
};
