#include "framework/ImageListModel.h"

int CImageList::AddFile(const wxString& path) {
  Image image;
  image.file = path;
  m_added.push_back(std::move(image));
  return GetImageCount() - 1;
}

int CImageList::AddPixels(int width, int height, std::vector<unsigned char> rgba) {
  if (width <= 0 || height <= 0 || rgba.size() != static_cast<size_t>(width) * static_cast<size_t>(height) * 4)
    return -1;
  Image image;
  image.width = width;
  image.height = height;
  image.rgba = std::move(rgba);
  m_added.push_back(std::move(image));
  return GetImageCount() - 1;
}

const CImageList::Image* CImageList::GetAdded(int index) const {
  const int i = index - IMG_STRIP_COUNT;
  if (i < 0 || i >= static_cast<int>(m_added.size())) return nullptr;
  return &m_added[static_cast<size_t>(i)];
}
