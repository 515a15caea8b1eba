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
