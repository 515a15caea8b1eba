#include <gtest/gtest.h>

#include <set>

#include "app/LocalTables.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

TEST(LocalTables, EveryColumnTableEndsWithAnEmptyTitleAndCountsAsBuilt) {
  // Entries per table including the end entry.
  const std::pair<ColumnTableId, std::size_t> sizes[] = {
      {ColumnTableId::Default, 2},     {ColumnTableId::PrjFolder, 3},    {ColumnTableId::Project, 4},
      {ColumnTableId::Network, 6},     {ColumnTableId::Device, 6},       {ColumnTableId::PrjDataPoint, 7},
      {ColumnTableId::Documents, 4},   {ColumnTableId::ResBitmap, 8},    {ColumnTableId::ResKeypad, 8},
      {ColumnTableId::ResFont, 6},     {ColumnTableId::ResMenu, 5},      {ColumnTableId::ResMask, 7},
      {ColumnTableId::Mask, 6},        {ColumnTableId::ResString, 67},   {ColumnTableId::ADefFolder, 5},
      {ColumnTableId::TavSim, 3},      {ColumnTableId::PrgCoDeSys, 3},   {ColumnTableId::PrgProGRIPS, 3},
      {ColumnTableId::HtmlFolder, 3},
  };
  std::size_t total = 0;
  for (const auto& [id, size] : sizes) {
    const auto& table = GetColumnTable(id);
    ASSERT_EQ(size, table.size()) << static_cast<int>(id);
    EXPECT_TRUE(table.back().title.empty());
    total += size;
  }
  EXPECT_EQ(total, CountColumnDefinitions());
  EXPECT_EQ(156u, total);
}

TEST(LocalTables, ColumnsInUseStopAtTheFirstUntitledEntry) {
  // A class without a table of its own shows exactly one column "Name", 120 wide.
  auto def = GetColumnDefsOf(ColumnTableId::Default);
  ASSERT_EQ(1u, def.size());
  EXPECT_EQ(S("Name"), def[0].title);
  EXPECT_EQ(120, def[0].width);

  // The texts folder before its languages are titled: Text, ID, Log. ID.
  auto texts = GetColumnDefsOf(ColumnTableId::ResString);
  ASSERT_EQ(3u, texts.size());
  EXPECT_EQ(S("Log. ID"), texts[2].title);
  const auto& slots = GetColumnTable(ColumnTableId::ResString);
  EXPECT_EQ(3, slots[3].subItem);
  EXPECT_EQ(65, slots[65].subItem);
  EXPECT_EQ(200, slots[65].width);
}

TEST(LocalTables, LanguagesAreUniqueAndEndWithZero) {
  const auto& builtIn = GetBuiltInLanguages();
  ASSERT_EQ(77u, builtIn.size());
  EXPECT_EQ(0, builtIn.back().number);
  std::set<WORD> numbers;
  for (std::size_t i = 0; i + 1 < builtIn.size(); ++i) {
    EXPECT_NE(0, builtIn[i].number);
    EXPECT_FALSE(builtIn[i].name.empty());
    numbers.insert(builtIn[i].number);
  }
  EXPECT_EQ(76u, numbers.size());
  EXPECT_EQ(S("Deutsch (Östereich)"), FindLanguageName(3079));
  EXPECT_EQ(S("Chinesisch (Singapor)"), FindLanguageName(4100));
  EXPECT_EQ(S("Lätisch"), FindLanguageName(1062));
  EXPECT_EQ(S("Türkisch"), FindLanguageName(1055));
  EXPECT_EQ(1078, builtIn.front().number);
}

TEST(LocalTables, UserLanguagesFollowTheBuiltInRowsAndResetDropsThem) {
  ResetLanguageTable();
  EXPECT_EQ(76u, GetLanguageTable().size());
  EXPECT_TRUE(AddLanguage(32768, S("Klingonisch")));
  EXPECT_FALSE(AddLanguage(32768, S("Anders")));   // an existing row is not replaced
  EXPECT_FALSE(AddLanguage(1031, S("Deutsch neu")));
  EXPECT_FALSE(AddLanguage(65535, S("Keine")));
  EXPECT_FALSE(AddLanguage(40000, wxString()));
  ASSERT_EQ(77u, GetLanguageTable().size());
  EXPECT_EQ(S("Klingonisch"), GetLanguageTable().back().name);
  EXPECT_EQ(S("Klingonisch"), FindLanguageName(32768));
  ResetLanguageTable();
  EXPECT_EQ(76u, GetLanguageTable().size());
  EXPECT_EQ(77u, GetBuiltInLanguages().size());
}

TEST(LocalTables, ObjectClassesAndTheirLookup) {
  const auto& classes = GetObjectClasses();
  ASSERT_EQ(39u, classes.size());
  const PO_CLASSES& end = classes.back();
  EXPECT_EQ(0u, end.typeCode);
  EXPECT_EQ(0u, end.image);
  EXPECT_EQ(0u, end.container);
  EXPECT_TRUE(end.name.empty());
  EXPECT_EQ(GetObjectClassRows().size(), classes.size());

  std::set<DWORD> codes;
  int containers = 0;
  for (std::size_t i = 0; i + 1 < classes.size(); ++i) {
    codes.insert(classes[i].typeCode);
    containers += classes[i].container;
  }
  EXPECT_EQ(38u, codes.size());
  EXPECT_EQ(15, containers);

  const PO_CLASSES* dp = FindObjectClass(0x21232110);
  ASSERT_NE(nullptr, dp);
  EXPECT_EQ(S("Datenpunkt"), dp->name);
  EXPECT_EQ(dp->name, FindObjectClass(0x21231000)->name);
  EXPECT_EQ(nullptr, FindObjectClass(0x21219100));   // the palette has no row
  EXPECT_EQ(nullptr, FindObjectClass(0));
  EXPECT_TRUE(FindObjectClass(0x2121A000)->name.empty());
  EXPECT_EQ(S("Projektiertes Gerät"), FindObjectClass(0x21200000)->name);
  EXPECT_EQ(5u, FindObjectClass(0x20000000)->selectedImage);
}
