#pragma once
// Headers of small pictures for the folder tests: just what a reader of sizes needs.
#include <cstdint>
#include <string>

namespace hvtest {

inline void PutLe(std::string& s, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A BMP with the 40-byte information header (height negative: stored top-down).
inline std::string BmpBytes(std::int32_t width, std::int32_t height, int bits, std::uint32_t used = 0) {
  std::string s = "BM";
  PutLe(s, 0, 4);
  PutLe(s, 0, 4);
  PutLe(s, 54, 4);
  PutLe(s, 40, 4);
  PutLe(s, static_cast<std::uint32_t>(width), 4);
  PutLe(s, static_cast<std::uint32_t>(height), 4);
  PutLe(s, 1, 2);
  PutLe(s, static_cast<std::uint32_t>(bits), 2);
  PutLe(s, 0, 4);
  PutLe(s, 0, 4);
  PutLe(s, 0, 4);
  PutLe(s, 0, 4);
  PutLe(s, used, 4);
  PutLe(s, 0, 4);
  return s;
}

inline std::string GifBytes(int width, int height, int tableBits /* 0: no colour table */) {
  std::string s = "GIF89a";
  PutLe(s, static_cast<std::uint32_t>(width), 2);
  PutLe(s, static_cast<std::uint32_t>(height), 2);
  s.push_back(static_cast<char>(tableBits ? 0x80 | ((tableBits - 1) & 7) : 0));
  s.push_back(0);
  s.push_back(0);
  return s;
}

// A JPEG whose frame header follows an application segment.
inline std::string JpegBytes(int width, int height, int components, std::size_t appBytes = 16) {
  std::string s = "\xFF\xD8";
  s += "\xFF\xE1";
  s.push_back(static_cast<char>(((appBytes + 2) >> 8) & 0xFF));
  s.push_back(static_cast<char>((appBytes + 2) & 0xFF));
  s.append(appBytes, 'x');
  s += "\xFF\xC0";
  s.push_back(0);
  s.push_back(static_cast<char>(8 + 3 * components));
  s.push_back(8);
  s.push_back(static_cast<char>(height >> 8));
  s.push_back(static_cast<char>(height & 0xFF));
  s.push_back(static_cast<char>(width >> 8));
  s.push_back(static_cast<char>(width & 0xFF));
  s.push_back(static_cast<char>(components));
  s.append(static_cast<std::size_t>(3 * components), '\1');
  return s;
}

}  // namespace hvtest
