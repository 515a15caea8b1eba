#include "resources/Dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/TestEnv.h"

namespace {

void Put(std::string& s, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

struct Bmp {
  std::int32_t width = 4, height = 2;
  int bits = 24;
  std::uint32_t used = 0;
  std::uint32_t headerSize = 40;
  std::uint32_t imageSize = 0;
  int tableEntries = -1;     // -1: as many as the depth needs
  long pixelBytes = -1;      // -1: as many as the rows need
  long offsetDelta = 0;      // added to the honest bits offset

  std::string Bytes() const {
    const int entries = tableEntries >= 0 ? tableEntries : (used ? static_cast<int>(used) : (bits <= 8 ? 1 << bits : 0));
    const long stride = (static_cast<long>(bits) * width + 31) / 32 * 4;
    const long rows = height < 0 ? -static_cast<long>(height) : height;
    std::string s = "BM";
    Put(s, 0, 4);
    Put(s, 0, 4);
    Put(s, static_cast<std::uint32_t>(54 + 4 * entries + offsetDelta), 4);
    Put(s, headerSize, 4);
    Put(s, static_cast<std::uint32_t>(width), 4);
    Put(s, static_cast<std::uint32_t>(height), 4);
    Put(s, 1, 2);
    Put(s, static_cast<std::uint32_t>(bits), 2);
    Put(s, 0, 4);
    Put(s, imageSize, 4);
    Put(s, 0, 4);
    Put(s, 0, 4);
    Put(s, used, 4);
    Put(s, 0, 4);
    for (int i = 0; i < entries; ++i) Put(s, 0x00102030u + static_cast<std::uint32_t>(i), 4);
    s.append(static_cast<std::size_t>(pixelBytes >= 0 ? pixelBytes : stride * rows), '\x7f');
    return s;
  }
};

TEST(Dib, GoodPicturesGiveSizesColoursAndBits) {
  CDib dib;
  Bmp b8;
  b8.bits = 8;
  b8.width = 3;
  ASSERT_EQ(dib.Parse(b8.Bytes()), DibError::None);
  EXPECT_EQ(dib.ColourCount(), 256u);   // colours used 0 on 8 bits: the full table
  EXPECT_TRUE(dib.HasPalette());
  EXPECT_EQ(dib.Colours()[1], 0x102031u & 0xFFFFFFu);
  EXPECT_EQ(dib.ImageSize(), 8u);        // 3 bytes padded to 4, two rows

  Bmp b24;
  b24.height = -5;   // stored top-down
  ASSERT_EQ(dib.Parse(b24.Bytes()), DibError::None);
  EXPECT_FALSE(dib.HasPalette());
  EXPECT_TRUE(dib.TopDown());
  EXPECT_EQ(dib.Height(), 5);
  EXPECT_EQ(dib.ImageSize(), 12u * 5);

  Bmp b1;
  b1.bits = 1;
  b1.used = 2;
  ASSERT_EQ(dib.Parse(b1.Bytes()), DibError::None);
  EXPECT_EQ(dib.ColourCount(), 2u);
}

TEST(Dib, BadHeadersAreRefusedAndLeaveNoPicture) {
  struct Case {
    const char* what;
    Bmp bmp;
    DibError error;
  };
  auto with = [](auto change) {
    Bmp b;
    change(b);
    return b;
  };
  const Case cases[] = {
      {"core header", with([](Bmp& b) { b.headerSize = 12; }), DibError::HeaderForm},
      {"V4 header", with([](Bmp& b) { b.headerSize = 108; }), DibError::HeaderForm},
      {"V5 header", with([](Bmp& b) { b.headerSize = 124; }), DibError::HeaderForm},
      {"zero width", with([](Bmp& b) { b.width = 0; }), DibError::BadSize},
      {"zero height", with([](Bmp& b) { b.height = 0; }), DibError::BadSize},
      {"negative width", with([](Bmp& b) { b.width = -4; b.pixelBytes = 0; }), DibError::BadSize},
      {"most negative height", with([](Bmp& b) { b.height = INT32_MIN; b.pixelBytes = 0; }), DibError::BadSize},
      {"huge width", with([](Bmp& b) { b.width = 0x7FFFFFFF; b.pixelBytes = 0; }), DibError::BadSize},
      {"depth 7", with([](Bmp& b) { b.bits = 7; }), DibError::BadDepth},
      {"colours beyond depth", with([](Bmp& b) { b.bits = 4; b.used = 17; }), DibError::BadColours},
      {"colours unbounded", with([](Bmp& b) { b.bits = 8; b.used = 0xFFFFFFFF; b.tableEntries = 0; }), DibError::BadColours},
      {"table outside the header block", with([](Bmp& b) { b.bits = 8; b.offsetDelta = -1024; }), DibError::BadColours},
      {"bits offset inside the header", with([](Bmp& b) { b.offsetDelta = -20; }), DibError::Short},
      {"bits offset past the end", with([](Bmp& b) { b.offsetDelta = 100000; }), DibError::Short},
      {"pixel rows cut short", with([](Bmp& b) { b.pixelBytes = 10; }), DibError::Short},
  };
  for (const Case& c : cases) {
    CDib dib;
    ASSERT_EQ(dib.Parse(Bmp{}.Bytes()), DibError::None);
    EXPECT_EQ(dib.Parse(c.bmp.Bytes()), c.error) << c.what;
    EXPECT_FALSE(dib.HasPicture()) << c.what;
    EXPECT_TRUE(dib.Bits().empty()) << c.what;
  }
  CDib dib;
  for (std::size_t n = 0; n < 54; ++n) EXPECT_NE(dib.Parse(Bmp{}.Bytes().substr(0, n)), DibError::None) << n;
  EXPECT_EQ(dib.Parse("GIF89a" + std::string(60, '\0')), DibError::NotBmp);
}

TEST(Dib, ReadShowsLesefehlerOnlyForABadFile) {
  hvtest::TempDir dir;
  hvtest::ScriptedUi ui;
  CDib dib;
  EXPECT_FALSE(dib.Read(dir.Sub(wxS("missing.bmp"))));   // no message for a missing file
  hvtest::WriteAll(dir.Sub(wxS("bad.bmp")), "BM" + std::string(20, '\0'));
  ui.ExpectMessage(11400);
  EXPECT_FALSE(dib.Read(dir.Sub(wxS("bad.bmp"))));
  hvtest::WriteAll(dir.Sub(wxS("Device.BMP")), Bmp{}.Bytes());
  EXPECT_TRUE(dib.Read(dir.Sub(wxS("device.bmp"))));   // any spelling of the name
  EXPECT_EQ(dib.Width(), 4);
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST(Dib, FitKeepsNaturalSizeOnlyWhenStrictlySmaller) {
  // Client 102 x 52: drawing area 100 x 50 at (1, 1).
  auto eq = [](DibRect r, int x, int y, int w, int h) {
    return r.x == x && r.y == y && r.width == w && r.height == h;
  };
  EXPECT_TRUE(eq(FitDibRect(102, 52, 40, 20), 31, 16, 40, 20));
  EXPECT_TRUE(eq(FitDibRect(102, 52, 100, 20), 1, 16, 100, 20));   // as wide as the area: scaled
  EXPECT_TRUE(eq(FitDibRect(102, 52, 200, 200), 26, 1, 50, 50));   // fills the height
  EXPECT_TRUE(eq(FitDibRect(102, 52, 400, 100), 1, 13, 100, 25));  // fills the width
  EXPECT_TRUE(eq(FitDibRect(102, 52, 0, 10), 0, 0, 0, 0));
  EXPECT_TRUE(eq(FitDibRect(2, 2, 10, 10), 0, 0, 0, 0));
}

}  // namespace
