#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "framework/ValueText.h"
#include "platform/Codec.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

TEST(ValueText, TimeStrings) {
  for (const char* ok : {"00:00:00", "23:59:59", "24:00:00", "24:00:01", "24:59:59", "12:30:05"})
    EXPECT_TRUE(IsTimeString(ok)) << ok;
  for (const char* bad : {"24:60:00", "24:00:60", "25:00:00", "30:00:00", "12:60:00", "12:00:60", "1:00:00",
                          "12:00:00 ", "12-00-00", "ab:cd:ef", "", "12:0a:00"})
    EXPECT_FALSE(IsTimeString(bad)) << bad;
}

TEST(ValueText, DateStrings) {
  for (const char* ok : {"29.02.2024", "31.12.9999", "01.01.0100", "29.02.2000", "31.01.2023"})
    EXPECT_TRUE(IsDateString(ok)) << ok;
  for (const char* bad : {"29.02.2023", "31.04.2024", "15.13.2024", "1.1.2024", "00.01.2024", "01.00.2024",
                          "29.02.1900", "01.01.0099", "01/01/2024", "01.01.20245", "aa.bb.cccc"})
    EXPECT_FALSE(IsDateString(bad)) << bad;
}

TEST(ValueText, NumberStrings) {
  struct Case {
    const char* text;
    BOOL integerOnly;
    BOOL expected;
  };
  const Case cases[] = {
      {"0", TRUE, TRUE},      {"123", TRUE, TRUE},   {"-5", TRUE, TRUE},     {"+5", TRUE, TRUE},
      {"012", TRUE, FALSE},   {"+", TRUE, FALSE},    {"-", FALSE, FALSE},    {"1,5", TRUE, FALSE},
      {"", TRUE, FALSE},      {"-012", TRUE, TRUE},  // the leading-zero rule looks at the first character only
      {"-1,5", FALSE, TRUE},  {"1,5,2", FALSE, FALSE}, {"012,5", FALSE, TRUE}, {"1.5", FALSE, FALSE},
      {",", FALSE, FALSE},    {"+,", FALSE, FALSE},  {",5", FALSE, TRUE},    {"1 ", TRUE, FALSE},
  };
  for (const Case& c : cases) EXPECT_EQ(IsNumberString(c.text, c.integerOnly, ','), c.expected) << c.text;
}

TEST(ValueText, FloatTexts) {
  struct Case {
    float value;
    BOOL exponent;
    const char* text;
  };
  const Case cases[] = {
      {0.0f, FALSE, "0.0"},
      {-0.0f, TRUE, "0.0"},
      {-2.5f, FALSE, "-2.5"},
      {123.0f, FALSE, "123.0"},
      {100.0f, TRUE, "100.0"},
      {0.000015f, TRUE, "1.5e-5"},
      {0.000015f, FALSE, "0.000015"},
      {0.5f, TRUE, "0.5"},
      {0.05f, TRUE, "0.05"},
      {0.00125f, TRUE, "1.25e-3"},   // e = -3: the first exponent form
      {0.00125f, FALSE, "0.00125"},
      {0.0125f, TRUE, "0.0125"},     // e = -2 stays fixed
      {1e14f, TRUE, "1.0e14"},       // e = 14: the first large exponent form
      {1e14f, FALSE, "100000000000000.0"},
      {1e13f, TRUE, "10000000000000.0"},
      {1234567.0f, FALSE, "1234567.0"},
      {12345678.0f, FALSE, "12345680.0"},   // seven significant digits, rounded
      {0.1f, FALSE, "0.1"},
      {1.0f / 3.0f, FALSE, "0.3333333"},
      {-1.0f / 3.0f, TRUE, "-0.3333333"},
      {9.999999f, FALSE, "9.999999"},
      {FLT_MAX, FALSE, "340282300000000000000000000000000000000.0"},
      {FLT_MAX, TRUE, "3.402823e38"},
      {FLT_MIN, TRUE, "1.175494e-38"},
      {std::numeric_limits<float>::denorm_min(), TRUE, "1.401298e-45"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(hv::ToUtf8(FormatFloatText(c.value, c.exponent)), c.text) << c.value << " exp " << c.exponent;
  EXPECT_EQ(FormatFloatText(std::nanf(""), TRUE), "nan");
  EXPECT_EQ(FormatFloatText(std::numeric_limits<float>::infinity(), FALSE), "inf");
  EXPECT_EQ(FormatFloatText(-std::numeric_limits<float>::infinity(), TRUE), "-inf");
}

// The names are a table; here only what is computed: unknown codes and the text flag.
TEST(ValueText, DataTypeNames) {
  for (unsigned code : {0u, 3u, 0x1000u}) EXPECT_EQ(GetDataTypeName(code), "Unbekannt") << code;
  EXPECT_EQ(GetDataTypeName(0x2010), GetDataTypeName(0x2000));
}
