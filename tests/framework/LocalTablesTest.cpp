#include <gtest/gtest.h>

#include <set>

#include "framework/LocalTables.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

TEST(LocalTables, EveryColumnTableEndsWithAnEmptyTitle) {
  std::size_t total = 0;
  for (int id = 0; id < static_cast<int>(ColumnTableId::Count); ++id) {
    const auto& table = GetColumnTable(static_cast<ColumnTableId>(id));
    ASSERT_FALSE(table.empty()) << id;
    EXPECT_TRUE(table.back().title.empty()) << id;
    EXPECT_LT(GetColumnDefsOf(static_cast<ColumnTableId>(id)).size(), table.size()) << id;
    total += table.size();
  }
  EXPECT_EQ(total, CountColumnDefinitions());
  // The texts folder: three fixed columns while its language slots are untitled.
  EXPECT_EQ(3u, GetColumnDefsOf(ColumnTableId::ResString).size());
  EXPECT_EQ(3u + kTextLanguageSlots + 1, GetColumnTable(ColumnTableId::ResString).size());
}

TEST(LocalTables, LanguagesAreUniqueAndUserLanguagesFollowTheBuiltInRows) {
  const auto& builtIn = GetBuiltInLanguages();
  EXPECT_EQ(0, builtIn.back().number);
  std::set<WORD> numbers;
  for (std::size_t i = 0; i + 1 < builtIn.size(); ++i) {
    EXPECT_FALSE(builtIn[i].name.empty());
    EXPECT_TRUE(numbers.insert(builtIn[i].number).second) << builtIn[i].number;
  }
  EXPECT_EQ(0u, numbers.count(0));

  ResetLanguageTable();
  const std::size_t rows = GetLanguageTable().size();
  EXPECT_EQ(builtIn.size() - 1, rows);
  EXPECT_TRUE(AddLanguage(32768, S("Klingonisch")));
  EXPECT_FALSE(AddLanguage(32768, S("Anders")));   // an existing row is not replaced
  EXPECT_FALSE(AddLanguage(1031, S("Deutsch neu")));
  EXPECT_FALSE(AddLanguage(65535, S("Keine")));
  EXPECT_FALSE(AddLanguage(40000, wxString()));
  ASSERT_EQ(rows + 1, GetLanguageTable().size());
  EXPECT_EQ(S("Klingonisch"), FindLanguageName(32768));
  ResetLanguageTable();
  EXPECT_EQ(rows, GetLanguageTable().size());
  EXPECT_EQ(wxString(), FindLanguageName(32768));
  EXPECT_EQ(rows + 1, GetBuiltInLanguages().size());
}

TEST(LocalTables, ObjectClassesAndTheirLookup) {
  const auto& classes = GetObjectClasses();
  const PO_CLASSES& end = classes.back();
  EXPECT_EQ(0u, end.typeCode);
  EXPECT_TRUE(end.name.empty());
  EXPECT_EQ(GetObjectClassRows().size(), classes.size());
  std::set<DWORD> codes;
  for (std::size_t i = 0; i + 1 < classes.size(); ++i)
    EXPECT_TRUE(codes.insert(classes[i].typeCode).second) << classes[i].typeCode;

  // A data point is found below its device and directly alike.
  const PO_CLASSES* dp = FindObjectClass(0x21232110);
  ASSERT_NE(nullptr, dp);
  EXPECT_EQ(dp->name, FindObjectClass(0x21231000)->name);
  EXPECT_EQ(nullptr, FindObjectClass(0x21219100));   // the palette has no row
  EXPECT_EQ(nullptr, FindObjectClass(0x21233000));   // nor has the I/O configuration
  EXPECT_EQ(classes.size(), 39u);                    // 38 kinds and the closing row
  EXPECT_EQ(nullptr, FindObjectClass(0));
}
