// Settings files as the suite writes them: names ignoring case, registry fall-back,
// sections as maps, Windows-1252 on disk, and writes that never lose the old file.
#include <gtest/gtest.h>

#include "framework/SettingsFile.h"
#include "platform/Codec.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

namespace {
struct SettingsFixture : ::testing::Test {
  hvtest::TempHome home;
  wxString path = home.Sub("Project.INI");
  CSettingsFile file{path};
};
}  // namespace

TEST_F(SettingsFixture, KeysAndSectionsIgnoreCaseAndValuesAreCleaned) {
  hvtest::WriteAll(path,
                   "; comment\r\n[Config]\r\n  ProjectPath =  \"/data/Projekte\"  \r\nProjectpath=second\r\n"
                   "[programs]\r\nEditor='vi'\r\n");
  EXPECT_EQ(file.GetString("config", "Projectpath", "x"), "/data/Projekte");   // first wins
  EXPECT_EQ(file.GetString("Programs", "EDITOR", "x"), "vi");
  EXPECT_EQ(file.GetInt("Config", "Missing", 150), 150);
}

TEST_F(SettingsFixture, RegistryFallbackOnlyForNonEmptyDefaults) {
  home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"CODESYS\"=\"/opt/codesys/run\"\n@=\"unnamed\"\n");
  // A value equal to the default fetches the brand value of that name and stores it.
  EXPECT_EQ(file.GetString("Programs", "CODESYS", "CODESYS"), "/opt/codesys/run");
  EXPECT_EQ(hv::IniGetString(path, "Programs", "CODESYS", ""), "/opt/codesys/run");
  // The comparison is case-sensitive: "codesys" is not the default text.
  hv::IniWrite(path, "Programs", "Other", wxString("codesys"));
  EXPECT_EQ(file.GetString("Programs", "Other", "CODESYS"), "codesys");
  // An empty default never reads the unnamed value or writes anything.
  EXPECT_EQ(file.GetString("Programs", "Tool", ""), "");
  EXPECT_FALSE(hv::IniRead(path, "Programs", "Tool"));
}

TEST_F(SettingsFixture, ReadSectionRules) {
  hvtest::WriteAll(path, "[S]\na=1\n;comment\nb=x=y\n[Bad]\na=1\njunk\n[Dup]\nk=1\nk=2\n");
  CMapStringToString map;
  ASSERT_TRUE(file.ReadSection("s", map));
  EXPECT_EQ(map.size(), 2u);
  EXPECT_EQ(map["a"], "1");
  EXPECT_EQ(map["b"], "x=y");
  EXPECT_FALSE(file.ReadSection("Bad", map));
  EXPECT_TRUE(map.empty());
  ASSERT_TRUE(file.ReadSection("Dup", map));
  EXPECT_EQ(map["k"], "2");   // the later line wins in a section map
  EXPECT_EQ(file.GetString("Dup", "k", ""), "1");   // the profile read gives the first
  EXPECT_FALSE(file.ReadSection("Missing", map));
}

TEST_F(SettingsFixture, LargeSectionsAreReadWholeAndWrittenUpTo16384Bytes) {
  // Read: any size. Written: the pairs with their zeros stay below 16384 bytes.
  std::string text = "[Fonts]\r\n";
  CMapStringToString big;
  for (int i = 0; i < 3000; ++i) {
    big[wxString::Format("Font%04d", i)] = wxString('x', 20);
    text += wxString::Format("Font%04d=%s\r\n", i, wxString('x', 20)).ToStdString();
  }
  hvtest::WriteAll(path, text);
  CMapStringToString back;
  ASSERT_TRUE(file.ReadSection("Fonts", back));
  EXPECT_EQ(back, big);

  const std::string before = hvtest::ReadAll(path);
  EXPECT_FALSE(file.WriteSection("Fonts", big));
  EXPECT_EQ(hvtest::ReadAll(path), before);
  // 16383 bytes: 511 pairs "Fnnnn=" + 25 characters with their zeros (32 each) and 31 more.
  CMapStringToString fits;
  for (int i = 0; i < 511; ++i) fits[wxString::Format("F%04d", i)] = wxString('y', 25);
  fits["Z"] = wxString('z', 28);
  ASSERT_TRUE(file.WriteSection("Fonts", fits));
  fits["Z"] = wxString('z', 29);   // 16384: one byte too many
  EXPECT_FALSE(file.WriteSection("Fonts", fits));
  back.clear();
  ASSERT_TRUE(file.ReadSection("Fonts", back));
  EXPECT_EQ(back["Z"], wxString('z', 28));
}

TEST_F(SettingsFixture, WritesKeepOtherLinesAndEncoding) {
  const std::string original =
      "; Kopf\r\n[Config]\r\nProjectPath=\xC4nderung\r\n\r\n; vor Pane0\r\n[Pane0]\r\nWidth=150\r\n";
  hvtest::WriteAll(path, original);
  ASSERT_TRUE(file.WriteInt("pane0", "width", 222));
  ASSERT_TRUE(file.WriteInt("Pane0", "Height", 5));
  ASSERT_TRUE(file.WriteString("Neu", "Name", S("Grüße")));
  const std::string after = hvtest::ReadAll(path);
  EXPECT_EQ(after,
            "; Kopf\r\n[Config]\r\nProjectPath=\xC4nderung\r\n\r\n; vor Pane0\r\n[Pane0]\r\nWidth=222\r\nHeight=5\r\n"
            "[Neu]\r\nName=Gr\xFC\xDF" "e\r\n");
  EXPECT_EQ(file.GetString("Config", "projectpath", ""), S("Änderung"));
  // A section written as a map replaces only that section.
  CMapStringToString m{{"a", "1"}};
  ASSERT_TRUE(file.WriteSection("Config", m));
  EXPECT_EQ(file.GetString("Pane0", "Width", ""), "222");
  EXPECT_FALSE(hv::IniRead(path, "Config", "ProjectPath"));
}

TEST_F(SettingsFixture, Utf16FileStaysUtf16) {
  hvtest::WriteAll(path, hv::ToUtf16LeBom(S("[Sprachen]\r\nName=日本語\r\n")));
  EXPECT_EQ(file.GetString("Sprachen", "Name", ""), S("日本語"));
  ASSERT_TRUE(file.WriteString("Sprachen", "Zwei", S("Ελληνικά")));
  const std::string bytes = hvtest::ReadAll(path);
  ASSERT_TRUE(hv::HasUtf16LeBom(bytes));
  wxString text;
  ASSERT_TRUE(hv::FromUtf16Le(bytes, text));
  EXPECT_EQ(text, S("[Sprachen]\r\nName=日本語\r\nZwei=Ελληνικά\r\n"));
}

TEST_F(SettingsFixture, FailedWriteLeavesOldFileByteIdentical) {
  std::string original = "[Config]\r\nA=1\r\n";
  for (int i = 0; i < 200; ++i) original += "K" + std::to_string(i) + "=" + std::string(50, 'v') + "\r\n";
  hvtest::WriteAll(path, original);
  {
    hvtest::FileSizeLimit limit(original.size() / 2);
    EXPECT_FALSE(file.WriteInt("Config", "A", 2));
  }
  EXPECT_EQ(hvtest::ReadAll(path), original);
  for (const wxString& name : hv::ListFolder(home.Path())) EXPECT_FALSE(name.StartsWith(".Project.INI")) << name;
  EXPECT_EQ(file.GetString("Config", "A", ""), "1");
}

TEST_F(SettingsFixture, MalformedFileReadsWhatItCanAndKeepsTheRest) {
  std::string junk = std::string("\x00\x01\x02\xFF", 4) + "\n[Config\nno equals here\n[Config]\nGood=yes\n";
  junk += std::string(300000, 'z') + "\n=\n[ ]\n";
  hvtest::WriteAll(path, junk);
  EXPECT_EQ(file.GetString("Config", "Good", ""), "yes");
  ASSERT_TRUE(file.WriteString("Config", "New", "1"));
  const std::string after = hvtest::ReadAll(path);
  EXPECT_GE(after.size(), junk.size());
  EXPECT_NE(after.find(std::string("\x00\x01\x02\xFF", 4)), std::string::npos);
  EXPECT_NE(after.find(std::string(300000, 'z')), std::string::npos);
  EXPECT_NE(after.find("no equals here"), std::string::npos);
}

TEST_F(SettingsFixture, FileFoundWhateverItsCase) {
  hvtest::WriteAll(home.Sub("project.ini"), "[A]\nB=C\n");
  EXPECT_EQ(file.GetString("A", "B", ""), "C");
  ASSERT_TRUE(file.WriteInt("A", "D", 1));
  // No second spelling was made beside the existing file.
  int inis = 0;
  for (const wxString& name : hv::ListFolder(home.Path())) inis += name.CmpNoCase("Project.INI") == 0;
  EXPECT_EQ(inis, 1);
}
