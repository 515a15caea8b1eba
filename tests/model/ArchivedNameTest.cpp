#include <gtest/gtest.h>

#include "model/ObjectFactory.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using hv::ArchiveException;
using hvtest::FakeObject;
using hvtest::S;

namespace {

std::string Store(FakeObject& o) {
  CArchive ar;
  o.Serialize(ar);
  return ar.Bytes();
}

wxString LoadInto(bool unicode, const std::string& bytes) {
  FakeObject o;
  o.unicode = unicode;
  CArchive ar(bytes);
  o.Serialize(ar);
  EXPECT_EQ(0u, ar.Remaining());
  return o.GetName();
}

}  // namespace

TEST(ArchivedName, NarrowAndWideFormsRoundTrip) {
  const struct {
    const char* name;
    bool unicode;
  } cases[] = {
      {"Kühlhaus Nord", false}, {"Straße 5", false}, {"", false},
      {"Kühlhaus Nord", true},  {"Тестовый экран", true}, {"画面一", true}, {"🎛 Pult", true},
  };
  for (const auto& c : cases) {
    FakeObject o(TypeCode::Mask, "CPOMask", S(c.name));
    o.unicode = c.unicode;
    const std::string bytes = Store(o);
    // The stored form follows the class: wide texts start with the marker.
    EXPECT_EQ(c.unicode, bytes.size() >= 3 && bytes.compare(0, 3, "\xFF\xFE\xFF") == 0) << c.name;
    EXPECT_EQ(S(c.name), LoadInto(c.unicode, bytes)) << c.name;
  }
}

TEST(ArchivedName, EitherFormIsReadByEitherKindOfClass) {
  FakeObject wide(TypeCode::Mask, "CPOMask", S("Öltank"));
  wide.unicode = true;
  EXPECT_EQ(S("Öltank"), LoadInto(false, Store(wide)));
  FakeObject narrow(TypeCode::Bitmap, "CPOBitmap", S("Öltank"));
  EXPECT_EQ(S("Öltank"), LoadInto(true, Store(narrow)));
}

TEST(ArchivedName, ANarrowClassNeverManglesANameItCannotStoreNarrow) {
  FakeObject o(TypeCode::Bitmap, "CPOBitmap", S("Экран"));
  const std::string bytes = Store(o);
  EXPECT_EQ(0, bytes.compare(0, 3, "\xFF\xFE\xFF"));
  EXPECT_EQ(S("Экран"), LoadInto(false, bytes));
}

TEST(ArchivedName, LongNamesAtTheLengthBoundaries) {
  for (std::size_t length : {254u, 255u, 0xFFFEu, 0xFFFFu}) {
    FakeObject o(TypeCode::Mask, "CPOMask", wxString(wxS('ä'), length));
    for (bool unicode : {false, true}) {
      o.unicode = unicode;
      EXPECT_EQ(o.GetName(), LoadInto(unicode, Store(o))) << length;
    }
  }
}

TEST(ArchivedName, TruncatedOrOversizeNamesAreErrors) {
  FakeObject o(TypeCode::Mask, "CPOMask", S("Pumpe"));
  o.unicode = true;
  const std::string whole = Store(o);
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    FakeObject target;
    CArchive ar(whole.substr(0, cut));
    EXPECT_THROW(target.Serialize(ar), ArchiveException) << cut;
  }
  FakeObject target;
  CArchive huge(std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF" "abc", 10));
  EXPECT_THROW(target.Serialize(huge), ArchiveException);
}

TEST(ArchivedName, ArchivedObjectsCarryTheirClass) {
  hvtest::FakeClasses classes;
  FakeObject mask(TypeCode::Mask, "CPOMask", S("Übersicht"));
  CArchive out;
  WriteArchivedObject(out, mask);
  {
    CArchive in(out.Bytes());
    auto read = ReadArchivedObject(in);
    ASSERT_NE(nullptr, read);
    EXPECT_STREQ("CPOMask", read->ClassName());
    EXPECT_EQ(TypeCode::Mask, read->GetTypeCode());
    EXPECT_EQ(S("Übersicht"), read->GetName());
  }
  // A class nobody registered: nothing made.
  FakeObject odd(TypeCode::Mask, "CPOUnbekannt", S("x"));
  CArchive unknownOut;
  WriteArchivedObject(unknownOut, odd);
  CArchive unknownIn(unknownOut.Bytes());
  EXPECT_EQ(nullptr, ReadArchivedObject(unknownIn));
  // Another schema, or a class name that is no name.
  std::string other = out.Bytes();
  other[8] = 2;   // after the length byte and "CPOMask"
  CArchive schemaIn(other);
  EXPECT_THROW(ReadArchivedObject(schemaIn), ArchiveException);
  CArchive empty(std::string("\x00\x01\x00", 3));
  EXPECT_THROW(ReadArchivedObject(empty), ArchiveException);
}
