#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "platform/Db4.h"
#include "platform/HardwareConfigFile.h"

using hv::Db4Status;

namespace {

struct Conv {
  const char* text;
  DWORD type;
  Db4Status status;
  const char* back;   // db4toa of the result
};

void CheckConversions() {
  const Conv cases[] = {
      // Byte
      {"-128", hv::kDpByte, Db4Status::Ok, "-128"},
      {"127", hv::kDpByte, Db4Status::Ok, "127"},
      {"+5", hv::kDpByte, Db4Status::Ok, "5"},
      {" 42 ", hv::kDpByte, Db4Status::Ok, "42"},
      {"128", hv::kDpByte, Db4Status::OutOfRange, "127"},
      {"-129", hv::kDpByte, Db4Status::OutOfRange, "-128"},
      {"1.5", hv::kDpByte, Db4Status::Syntax, "0"},
      {"abc", hv::kDpByte, Db4Status::Syntax, "0"},
      {"", hv::kDpByte, Db4Status::Empty, "0"},
      {"-", hv::kDpByte, Db4Status::Syntax, "0"},
      // Byte pos., Bit
      {"0", hv::kDpBytePos, Db4Status::Ok, "0"},
      {"255", hv::kDpBytePos, Db4Status::Ok, "255"},
      {"256", hv::kDpBytePos, Db4Status::OutOfRange, "255"},
      {"-1", hv::kDpBytePos, Db4Status::OutOfRange, "0"},
      {"-0", hv::kDpBytePos, Db4Status::Ok, "0"},
      {"1", hv::kDpBit, Db4Status::Ok, "1"},
      {"2", hv::kDpBit, Db4Status::OutOfRange, "1"},
      // Wort, Wort pos.
      {"-32768", hv::kDpWord, Db4Status::Ok, "-32768"},
      {"32768", hv::kDpWord, Db4Status::OutOfRange, "32767"},
      {"65535", hv::kDpWordPos, Db4Status::Ok, "65535"},
      {"65536", hv::kDpWordPos, Db4Status::OutOfRange, "65535"},
      // Doppelwort, Doppelwort pos.
      {"-2147483648", hv::kDpDword, Db4Status::Ok, "-2147483648"},
      {"2147483647", hv::kDpDword, Db4Status::Ok, "2147483647"},
      {"2147483648", hv::kDpDword, Db4Status::OutOfRange, "2147483647"},
      {"99999999999999999999999", hv::kDpDword, Db4Status::OutOfRange, "2147483647"},
      {"-99999999999999999999999", hv::kDpDword, Db4Status::OutOfRange, "-2147483648"},
      {"4294967295", hv::kDpDwordPos, Db4Status::Ok, "4294967295"},
      {"4294967296", hv::kDpDwordPos, Db4Status::OutOfRange, "4294967295"},
      // Gleitkomma
      {"1.5", hv::kDpFloat, Db4Status::Ok, "1.5"},
      {"-2.25", hv::kDpFloat, Db4Status::Ok, "-2.25"},
      {"0.1", hv::kDpFloat, Db4Status::Ok, "0.1"},
      {"1e3", hv::kDpFloat, Db4Status::Ok, "1000"},
      {".5", hv::kDpFloat, Db4Status::Ok, "0.5"},
      {"123.456789", hv::kDpFloat, Db4Status::Ok, "123.4568"},
      {"3.4e38", hv::kDpFloat, Db4Status::Ok, "3.4e+38"},
      {"3.5e38", hv::kDpFloat, Db4Status::OutOfRange, "3.402823e+38"},
      {"1e400", hv::kDpFloat, Db4Status::OutOfRange, "3.402823e+38"},
      {"-1e400", hv::kDpFloat, Db4Status::OutOfRange, "-3.402823e+38"},
      {"1e-400", hv::kDpFloat, Db4Status::Ok, "0"},
      {"1,5", hv::kDpFloat, Db4Status::Syntax, "0"},
      {"inf", hv::kDpFloat, Db4Status::Syntax, "0"},
      {"nan", hv::kDpFloat, Db4Status::Syntax, "0"},
      {"0x10", hv::kDpFloat, Db4Status::Syntax, "0"},
      // Zeit
      {"00:00:00", hv::kDpTime, Db4Status::Ok, "00:00:00"},
      {"23:59:59", hv::kDpTime, Db4Status::Ok, "23:59:59"},
      {"7:05", hv::kDpTime, Db4Status::Ok, "07:05:00"},
      {"24:00:00", hv::kDpTime, Db4Status::OutOfRange, "23:59:59"},
      {"12:60:00", hv::kDpTime, Db4Status::OutOfRange, "23:59:59"},
      {"12-00-00", hv::kDpTime, Db4Status::Syntax, "00:00:00"},
      {"123:00:00", hv::kDpTime, Db4Status::Syntax, "00:00:00"},
      // Datum
      {"01.01.1900", hv::kDpDate, Db4Status::Ok, "01.01.1900"},
      {"29.02.2000", hv::kDpDate, Db4Status::Ok, "29.02.2000"},
      {"31.12.9999", hv::kDpDate, Db4Status::Ok, "31.12.9999"},
      {"1.3.2024", hv::kDpDate, Db4Status::Ok, "01.03.2024"},
      {"29.02.1900", hv::kDpDate, Db4Status::Syntax, "01.01.1900"},
      {"31.04.2024", hv::kDpDate, Db4Status::Syntax, "01.01.1900"},
      {"31.12.1899", hv::kDpDate, Db4Status::OutOfRange, "01.01.1900"},
      {"2024-03-01", hv::kDpDate, Db4Status::Syntax, "01.01.1900"},
      {"1.3.24", hv::kDpDate, Db4Status::Syntax, "01.01.1900"},
      // Texts have no number form.
      {"Hallo", hv::kDpText, Db4Status::Ok, ""},
      {"Hallo", hv::kDpVarText + 10, Db4Status::Ok, ""},
  };
  for (const Conv& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " type " + std::to_string(c.type));
    Db4Status st = Db4Status::Ok;
    const DWORD v = hv::atodb4(c.text, c.type, &st);
    EXPECT_EQ(st, c.status);
    const wxString back = hv::db4toa(v, c.type);
    EXPECT_EQ(back, c.back);
    EXPECT_LE(back.length(), 15u);
    // What db4toa writes reads back to a value written the same way.
    Db4Status again = Db4Status::Ok;
    EXPECT_EQ(hv::db4toa(hv::atodb4(back, c.type, &again), c.type), back);
    if (c.status == Db4Status::Ok && !back.empty()) {
      EXPECT_EQ(again, Db4Status::Ok);
    }
  }
}

}  // namespace

TEST(Db4, ConversionsPerType) { CheckConversions(); }

TEST(Db4, DateCountsDaysFrom1900) {
  EXPECT_EQ(hv::atodb4("01.01.1900", hv::kDpDate), 0u);
  EXPECT_EQ(hv::atodb4("01.03.1900", hv::kDpDate), 59u);   // 1900 is no leap year
  EXPECT_EQ(hv::atodb4("01.01.2000", hv::kDpDate), 36524u);
  EXPECT_EQ(hv::atodb4("01:00:00", hv::kDpTime), 3600u);
}

TEST(Db4, CompareByTheTypesOrder) {
  auto cmp = [](const char* a, const char* b, DWORD type) {
    return hv::db4cmp(hv::atodb4(a, type), hv::atodb4(b, type), type);
  };
  EXPECT_GT(cmp("4294967295", "0", hv::kDpDwordPos), 0);   // unsigned, not -1 < 0
  EXPECT_LT(cmp("-1", "0", hv::kDpDword), 0);                // signed, not 0xFFFFFFFF > 0
  EXPECT_LT(cmp("-128", "127", hv::kDpByte), 0);
  EXPECT_LT(cmp("-1.5", "1e3", hv::kDpFloat), 0);
  EXPECT_GT(cmp("-1.5", "-2", hv::kDpFloat), 0);             // not by the bit patterns
  EXPECT_EQ(cmp("0", "-0", hv::kDpFloat), 0);
  EXPECT_LT(cmp("23:59:58", "23:59:59", hv::kDpTime), 0);
  EXPECT_GT(cmp("01.01.2000", "31.12.1999", hv::kDpDate), 0);
  EXPECT_EQ(cmp("a", "b", hv::kDpText), 0);
  // A value that is no number sorts after numbers and equals itself.
  const DWORD nan = 0x7FC00000;
  EXPECT_GT(hv::db4cmp(nan, hv::atodb4("1", hv::kDpFloat), hv::kDpFloat), 0);
  EXPECT_EQ(hv::db4cmp(nan, nan, hv::kDpFloat), 0);
}

TEST(Db4, GermanNumberLocaleChangesNothing) {
  struct LocaleGuard {
    std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    ~LocaleGuard() { std::setlocale(LC_NUMERIC, saved.c_str()); }
  } guard;
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
    FAIL() << "no German locale on this machine (tools/install-deps.sh generates de_DE.UTF-8)";
  CheckConversions();
  int h = 0;
  EXPECT_TRUE(hv::ParseVersionHundredths("2.05", h));
  EXPECT_EQ(h, 205);
  EXPECT_FALSE(hv::ParseVersionHundredths("2,05", h));
}
