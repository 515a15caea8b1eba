#include <gtest/gtest.h>

#include "platform/Codec.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

TEST(Codec, Cp1252RoundTripsEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  std::string back;
  EXPECT_TRUE(hv::ToCp1252(hv::FromCp1252(all), back));
  EXPECT_EQ(all, back);
}

TEST(Codec, Cp1252MapsUmlautsAndEuroAndRefusesOthers) {
  std::string out;
  EXPECT_TRUE(hv::ToCp1252(S("Ärger € ß"), out));
  EXPECT_EQ(out, std::string("\xC4rger \x80 \xDF"));
  EXPECT_FALSE(hv::ToCp1252(S("Łódź"), out));
  EXPECT_FALSE(hv::FitsCp1252(S("漢字")));
  EXPECT_TRUE(hv::FitsCp1252(S("Östereich")));
}

TEST(Codec, Utf16LeWithSurrogatesRoundTrips) {
  const wxString text = S("Grüße 😀 漢");
  const std::string bytes = hv::ToUtf16LeBom(text);
  ASSERT_TRUE(hv::HasUtf16LeBom(bytes));
  wxString back;
  ASSERT_TRUE(hv::FromUtf16Le(bytes, back));
  EXPECT_EQ(text, back);
  EXPECT_FALSE(hv::FromUtf16Le(std::string("\xFF\xFE\x41", 3), back));
}

// Only Unicode scalar values are UTF-8: the rest decodes to nothing, as any other
// broken text does, so that no caller holds a character it cannot write again.
TEST(Codec, Utf8IsStrictAndEncodesWhatItDecodes) {
  for (const char* bad : {"\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xED\xA0\x80", "\xED\xBF\xBF", "\xC0\x80",
                          "\xC1\xBF", "\xE0\x80\xAF", "\xF0\x80\x80\x80", "\xF0\x8F\xBF\xBF", "a\xE2\x82", "\x80",
                          "x\xFFy"}) {
    EXPECT_FALSE(hv::IsUtf8(bad)) << bad;
    EXPECT_TRUE(hv::FromUtf8(bad).empty()) << bad;
  }
  for (const char* good : {"", "plain", "\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF",
                           "\xEE\x80\x80", "\xEF\xBF\xBD"}) {
    EXPECT_TRUE(hv::IsUtf8(good)) << good;
    EXPECT_EQ(hv::ToUtf8(hv::FromUtf8(good)), good);
  }
  EXPECT_EQ(hv::FromUtf8("\xF4\x8F\xBF\xBF")[0].GetValue(), 0x10FFFFu);
  // Longer than any buffer the decoder fills at a time.
  const std::string lengthy(1000, 'x');
  EXPECT_EQ(hv::FromUtf8(lengthy + "\xC3\xBC").length(), 1001u);
  // A lone surrogate in a text (from a wide file) is written as the replacement
  // character, and the rest stays.
  wxString lone = "a";
  lone.append(1, static_cast<wchar_t>(0xD800));
  lone += "b";
  EXPECT_EQ(hv::ToUtf8(lone), "a\xEF\xBF\xBD" "b");
}
