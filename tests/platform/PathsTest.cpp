#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Localization.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

TEST(Paths, SeparatorsAndParts) {
  struct Row {
    const char* in;
    const char* normal;
    const char* folder;
    const char* name;
  } rows[] = {
      {"C:\\Projekte\\Anlage\\", "C:/Projekte/Anlage/", "C:/Projekte/Anlage", ""},
      {"/a//b\\\\c.DBF", "/a/b/c.DBF", "/a/b", "c.DBF"},
      {"name", "name", "", "name"},
      {"/top", "/top", "/", "top"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(hv::NormalizePath(r.in), r.normal) << r.in;
    EXPECT_EQ(hv::PathFolder(hv::NormalizePath(r.in)), r.folder) << r.in;
    EXPECT_EQ(hv::PathName(r.in), r.name) << r.in;
  }
  EXPECT_EQ(hv::StripOneTrailingSeparator("/"), "/");
  EXPECT_EQ(hv::StripOneTrailingSeparator("C:\\a\\\\"), "C:\\a\\");
  EXPECT_EQ(hv::PathStem("x/archive.tar.gz"), "archive.tar");
  EXPECT_EQ(hv::PathExtension(".hidden"), "");
}

TEST(Paths, ResolveFindsExistingSpellingsIgnoringCase) {
  hvtest::TempDir dir;
  hvtest::WriteAll(dir.Sub(S("Projekte/Anlage Süd/DEVICE.SET")), "x");
  EXPECT_EQ(hv::ResolvePath(dir.Sub(S("PROJEKTE/anlage süd/device.set"))), dir.Sub(S("Projekte/Anlage Süd/DEVICE.SET")));
  // Missing components keep the given spelling after the last existing one.
  EXPECT_EQ(hv::ResolvePath(dir.Sub("projekte/Neu/File.txt")), dir.Sub("Projekte/Neu/File.txt"));
  EXPECT_TRUE(hv::IsFile(dir.Sub(S("projekte\\ANLAGE SÜD\\Device.Set"))));
  EXPECT_TRUE(hv::IsFolder(dir.Sub("PROJEKTE")));
  // An exact match wins over a case-folded one.
  std::filesystem::create_directories(hv::ToFs(dir.Sub("projekte")));
  hvtest::WriteAll(dir.Sub("projekte/x"), "y");
  EXPECT_EQ(hv::ResolvePath(dir.Sub("projekte/x")), dir.Sub("projekte/x"));
  EXPECT_TRUE(hv::MakeFolders(dir.Sub(S("PROJEKTE/anlage süd/Neu/Tief"))));
  EXPECT_TRUE(hv::IsFolder(dir.Sub(S("Projekte/Anlage Süd/Neu/Tief"))));
  EXPECT_FALSE(hv::MakeFolders(dir.Sub(S("Projekte/Anlage Süd/DEVICE.SET/unter"))));   // a file in the way
}

TEST(Paths, WindowsMasks) {
  struct Row {
    const char* mask;
    const char* name;
    bool match;
  } rows[] = {
      {"*.*", "anything", true},     {"*.", "noext", true},         {"*.", "has.ext", false},
      {"TAV*.TMP", "tav12.tmp", true}, {"TAV*.TMP", "TAV.TMP.bak", false}, {"*.SYM", "prog.sym", true},
      {"a?c", "abc", true},           {"a?c", "ac", false},           {"*.pro", "x.pro.bak", false},
  };
  for (const Row& r : rows) EXPECT_EQ(hv::MatchWildcard(r.mask, r.name), r.match) << r.mask << " " << r.name;
}

TEST(Localization, CatalogueLinesAndLookups) {
  const auto texts = hv::ParseCatalogue("10357\tCould not initialise Vostrel!\r\nbad line\n\tno id\n12x\tbad\n"
                                        "10156\tTwo\\nlines\\tand tab\n");
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts.at(10357), "Could not initialise Vostrel!");
  EXPECT_EQ(texts.at(10156), "Two\nlines\tand tab");
  hv::ResetLanguage();
  EXPECT_EQ(hv::LocalString(10357, wxS("Konnte Vostrel nicht initialisieren!")), "Konnte Vostrel nicht initialisieren!");
  EXPECT_EQ(hv::GetLanguageCode(1), "ENG");
  EXPECT_EQ(hv::GetLanguageCode(7), "");
  wxString help = "C:\\Suite\\dorn2.hlp";
  ASSERT_TRUE(hv::GetHelpFile(help, 0));
  EXPECT_EQ(help, "C:\\Suite\\dorn2_DEU.hlp");
}
