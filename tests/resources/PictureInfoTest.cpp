#include <gtest/gtest.h>

#include "resources/PictureInfo.h"
#include "tests/resources/PictureBytes.h"

using namespace hvtest;

TEST(PictureInfo, SizesAndColoursOfTheThreeKinds) {
  struct Case {
    const char* what;
    std::string bytes;
    const char* dimension;
    const char* colours;
  };
  const Case cases[] = {
      {"bmp 8 bit", BmpBytes(40, 30, 8), "40 x 30", "256"},
      {"bmp 4 bit, 5 colours used", BmpBytes(16, 16, 4, 5), "16 x 16", "5"},
      {"bmp top-down 24 bit", BmpBytes(640, -480, 24), "640 x 480", "16777216"},
      {"bmp 1 bit", BmpBytes(8, 1, 1), "8 x 1", "2"},
      {"gif with table", GifBytes(100, 50, 8), "100 x 50", "256"},
      {"gif without table", GifBytes(3, 4, 0), "3 x 4", ""},
      {"jpeg colour after a large segment", JpegBytes(1024, 768, 3, 60000), "1024 x 768", "16777216"},
      {"jpeg grey", JpegBytes(20, 10, 1), "20 x 10", "256"},
  };
  for (const Case& c : cases) {
    PictureInfo info;
    ASSERT_TRUE(ReadPictureInfo(c.bytes, info)) << c.what;
    EXPECT_EQ(wxString::FromUTF8(c.dimension), PictureDimensionText(info)) << c.what;
    EXPECT_EQ(wxString::FromUTF8(c.colours), PictureColoursText(info)) << c.what;
  }
}

TEST(PictureInfo, RefusesWhatItCannotRead) {
  const std::string jpeg = JpegBytes(20, 10, 3);
  const std::string cases[] = {
      "",
      "BM",
      BmpBytes(4, 4, 8).substr(0, 30),               // information header cut short
      "GIF89a\x01",
      jpeg.substr(0, 24),                            // ends inside the segments
      std::string("\xFF\xD8\xFF\xDA\x00\x02", 6),    // data before any frame header
      std::string("\xFF\xD8\xFF\xE1\x00\x00", 6),    // a segment length below 2
      "PNG not read here",
      BmpBytes(INT32_MIN, 4, 8),                     // no size an int holds
      BmpBytes(4, INT32_MIN, 24),
  };
  for (const std::string& bytes : cases) {
    PictureInfo info;
    EXPECT_FALSE(ReadPictureInfo(bytes, info)) << bytes.size();
  }
  PictureInfo info;
  EXPECT_FALSE(ReadPictureFile(wxS("/nonexistent/x.bmp"), info));
  EXPECT_EQ(wxString(), PictureDimensionText(info));
}
