#include <gtest/gtest.h>

#include <string>

#include "platform/Archive.h"
#include "tests/support/TestEnv.h"

using hv::Archive;
using hv::ArchiveException;
using hvtest::S;

namespace {

std::string Stored(const wxString& text, bool wide) {
  Archive ar;
  ar.WriteString(text, wide);
  return ar.Bytes();
}

wxString Loaded(const std::string& bytes, bool* wide = nullptr) {
  Archive ar(bytes);
  wxString text = ar.ReadString(wide);
  EXPECT_EQ(0u, ar.Remaining());
  return text;
}

}  // namespace

TEST(Archive, NumbersAreLittleEndian) {
  Archive ar;
  ar.WriteU8(0x01);
  ar.WriteU16(0x0302);
  ar.WriteU32(0x07060504);
  ar.WriteI32(-2);
  ar.WriteU64(0x0F0E0D0C0B0A0908ull);
  EXPECT_EQ(std::string("\x01\x02\x03\x04\x05\x06\x07\xFE\xFF\xFF\xFF\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F", 19), ar.Bytes());
  Archive in(ar.Bytes());
  EXPECT_EQ(0x01, in.ReadU8());
  EXPECT_EQ(0x0302, in.ReadU16());
  EXPECT_EQ(0x07060504u, in.ReadU32());
  EXPECT_EQ(-2, in.ReadI32());
  EXPECT_EQ(0x0F0E0D0C0B0A0908ull, in.ReadU64());
  EXPECT_THROW(in.ReadU8(), ArchiveException);
}

TEST(Archive, TextPrefixesAtEveryLengthBoundary) {
  // Narrow text is Windows-1252 after a one-byte length.
  EXPECT_EQ(std::string("\x06M\xFCller", 7), Stored(S("Müller"), false));
  // Wide text: marker FF FE FF, the length in UTF-16 units, then the units.
  EXPECT_EQ(std::string("\xFF\xFE\xFF\x02\xE5\x65\x2C\x67", 8), Stored(S("日本"), true));
  EXPECT_EQ(std::string(1, '\0'), Stored(wxString(), false));

  const struct {
    std::size_t length;
    std::string prefix;
  } cases[] = {
      {254, std::string("\xFE", 1)},
      {255, std::string("\xFF\xFF\x00", 3)},
      {0xFFFD, std::string("\xFF\xFD\xFF", 3)},
      {0xFFFE, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
      {0xFFFF, std::string("\xFF\xFF\xFF\xFF\xFF\x00\x00", 7)},
  };
  for (const auto& c : cases) {
    const wxString text(wxS('a'), c.length);
    const std::string narrow = Stored(text, false);
    EXPECT_EQ(c.prefix, narrow.substr(0, c.prefix.size())) << c.length;
    EXPECT_EQ(c.prefix.size() + c.length, narrow.size());
    EXPECT_EQ(text, Loaded(narrow));

    const std::string wide = Stored(text, true);
    EXPECT_EQ(std::string("\xFF\xFE\xFF", 3) + c.prefix, wide.substr(0, 3 + c.prefix.size())) << c.length;
    bool wasWide = false;
    EXPECT_EQ(text, Loaded(wide, &wasWide));
    EXPECT_TRUE(wasWide);
  }
}

TEST(Archive, TextRoundTrips) {
  const wxString texts[] = {S("Ölpumpe Süd"), S("Grüße €"), S("\xEF\xBB\xBF" "BOM vorn"), S("Ελληνικά"),
                            S("𝄞 Noten"), wxString(wxS("a\0b"), 3)};
  for (const wxString& t : texts) {
    bool wide = false;
    EXPECT_EQ(t, Loaded(Stored(t, true), &wide));
    EXPECT_TRUE(wide);
  }
  EXPECT_EQ(S("Grüße €"), Loaded(Stored(S("Grüße €"), false)));
  // Narrow text cannot carry what Windows-1252 lacks.
  Archive ar;
  EXPECT_THROW(ar.WriteString(S("Ελληνικά"), false), ArchiveException);
}

TEST(Archive, ShortOrGarbledTextIsAnError) {
  const std::string bad[] = {
      std::string(),                                            // nothing at all
      std::string("\x05" "abc", 4),                             // shorter than its length
      std::string("\xFF\x10", 2),                               // cut inside the length
      std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7),           // 4 GiB claimed, nothing there
      std::string("\xFF\xFE\xFF\x02\x41\x00", 6),               // two units claimed, one there
      std::string("\xFF\xFE\xFF\xFF\xFE\xFF", 6),               // marker twice
      std::string("\xFF\xFE\xFF\x01\x00\xD8", 6),               // lone high surrogate
      std::string("\xFF\xFE\xFF\x01\x00\xDC", 6),               // lone low surrogate
      std::string("\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 10),  // 2^31 units
  };
  for (const std::string& bytes : bad) {
    Archive ar(bytes);
    EXPECT_THROW(ar.ReadString(), ArchiveException) << testing::PrintToString(bytes);
  }
}

TEST(Archive, CountsAreBoundedByTheData) {
  Archive ar(std::string(8, '\0'));
  EXPECT_NO_THROW(ar.CheckCount(2, 4));
  EXPECT_THROW(ar.CheckCount(3, 4), ArchiveException);
  EXPECT_THROW(ar.CheckCount(0x80000000u, 4), ArchiveException);
  EXPECT_THROW(ar.ReadBytes(9), ArchiveException);
  EXPECT_EQ(8u, ar.ReadBytes(8).size());
}

TEST(Archive, DirectionIsEnforced) {
  Archive storing;
  EXPECT_THROW(storing.ReadU8(), ArchiveException);
  Archive loading(std::string("x"));
  EXPECT_THROW(loading.WriteU8(1), ArchiveException);
}
