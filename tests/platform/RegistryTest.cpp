#include <gtest/gtest.h>

#include "platform/Paths.h"
#include "platform/Registry.h"
#include "tests/support/TestEnv.h"

using hv::RegistryStore;
using hvtest::S;

TEST(Registry, UserLayerOverridesSystemAndNamesIgnoreCase) {
  hvtest::TempHome home;
  home.WriteSystemRegistry(
      "[SOFTWARE\\Quintor]\n\"PATH\"=\"C:\\\\Suite\\\\\"\n"
      "[SOFTWARE\\Quintor\\TavGraph]\n\"Language\"=hex:01\n\"Count\"=dword:0000002a\n");
  auto& reg = RegistryStore::Get();
  EXPECT_EQ(reg.GetString("software\\quintor", "path").value_or(""), "C:\\Suite\\");
  EXPECT_EQ(reg.GetDword("SOFTWARE\\Quintor\\TavGraph", "COUNT").value_or(0), 42u);
  // Another type than stored reads as missing.
  EXPECT_FALSE(reg.GetString("SOFTWARE\\Quintor\\TavGraph", "Language"));
  EXPECT_EQ(reg.GetByte("SOFTWARE\\Quintor\\TavGraph", "Language").value_or(0), 1);

  // "LANGUAGE" and "Language" are one value: the string replaces the binary.
  ASSERT_TRUE(reg.SetString("SOFTWARE\\Quintor\\TavGraph", "LANGUAGE", "ENG"));
  EXPECT_FALSE(reg.GetByte("SOFTWARE\\Quintor\\TavGraph", "Language"));
  EXPECT_EQ(reg.GetString("SOFTWARE\\Quintor\\TavGraph", "language").value_or(""), "ENG");

  // The system layer file is never written.
  const std::string before = hvtest::ReadAll(home.Sub("system-registry.ini"));
  reg.SetString("SOFTWARE\\Quintor", "PATH", "/opt/suite");
  EXPECT_EQ(hvtest::ReadAll(home.Sub("system-registry.ini")), before);
  reg.Reload();
  EXPECT_EQ(reg.GetString("SOFTWARE\\Quintor", "PATH").value_or(""), "/opt/suite");
}

TEST(Registry, ValuesRoundTripThroughTheFile) {
  hvtest::TempHome home;
  auto& reg = RegistryStore::Get();
  const wxString text = S("Grüße \"quoted\" back\\slash\nzweite Zeile €");
  ASSERT_TRUE(reg.SetString("SOFTWARE\\Quintor\\Halvora", "Text", text));
  ASSERT_TRUE(reg.SetDword("SOFTWARE\\Quintor\\Halvora", "Number", 0xFFFFFFFFu));
  ASSERT_TRUE(reg.SetByte("SOFTWARE\\Quintor\\Halvora", "Byte", 255));
  ASSERT_TRUE(reg.SetString("SOFTWARE\\Quintor\\Halvora\\Tools\\B", "AppName", "b"));
  ASSERT_TRUE(reg.SetString("SOFTWARE\\Quintor\\Halvora\\Tools\\A", "AppName", "a"));
  reg.Reload();
  EXPECT_EQ(reg.GetString("SOFTWARE\\Quintor\\Halvora", "Text").value_or(""), text);
  EXPECT_EQ(reg.GetDword("SOFTWARE\\Quintor\\Halvora", "Number").value_or(0), 0xFFFFFFFFu);
  EXPECT_EQ(reg.GetByte("SOFTWARE\\Quintor\\Halvora", "Byte").value_or(0), 255);
  // Sub-keys in stored order, not sorted.
  const auto subs = reg.SubKeys("SOFTWARE\\Quintor\\Halvora\\Tools");
  ASSERT_EQ(subs.size(), 2u);
  EXPECT_EQ(subs[0], "B");
  EXPECT_EQ(subs[1], "A");
  ASSERT_TRUE(reg.DeleteValue("SOFTWARE\\Quintor\\Halvora", "text"));
  EXPECT_FALSE(reg.GetString("SOFTWARE\\Quintor\\Halvora", "Text"));
}

TEST(Registry, MalformedFileLoadsWhatItCanAndKeepsTheRestOnWrite) {
  hvtest::TempHome home;
  std::string junk = "garbage before any key\n[SOFTWARE\\Quintor\\Halvora]\n\"Good\"=\"yes\"\n";
  junk += "\"NoEquals\"\n\"Bad\"=dword:xyz\n\"Open=\"unterminated\n";
  junk += std::string("\x00\x01\xFF\xFE binary", 12) + "\n";
  junk += std::string(200000, 'x') + "\n";   // an endless line
  junk += "[broken\n\"After\"=hex:1ff\n\"Also\"=\"fine\"\n";
  hvtest::WriteAll(home.Sub("registry.ini"), junk);
  auto& reg = RegistryStore::Get();
  reg.Reload();
  EXPECT_EQ(reg.GetString("SOFTWARE\\Quintor\\Halvora", "Good").value_or(""), "yes");
  EXPECT_EQ(reg.GetString("SOFTWARE\\Quintor\\Halvora", "Also").value_or(""), "fine");
  EXPECT_FALSE(reg.GetDword("SOFTWARE\\Quintor\\Halvora", "Bad"));
  EXPECT_FALSE(reg.GetByte("SOFTWARE\\Quintor\\Halvora", "After"));

  ASSERT_TRUE(reg.SetString("SOFTWARE\\Quintor\\Halvora", "New", "1"));
  const std::string after = hvtest::ReadAll(home.Sub("registry.ini"));
  // Every line that could not be read is still there.
  for (const char* part : {"garbage before any key", "\"NoEquals\"", "dword:xyz", "[broken", "hex:1ff"})
    EXPECT_NE(after.find(part), std::string::npos) << part;
  EXPECT_NE(after.find(std::string(200000, 'x')), std::string::npos);
  EXPECT_NE(after.find(std::string("\x01\xFF\xFE binary", 10)), std::string::npos);
  EXPECT_GE(after.size(), junk.size());
}

TEST(Registry, FailedWriteChangesNothing) {
  hvtest::TempHome home;
  auto& reg = RegistryStore::Get();
  ASSERT_TRUE(reg.SetString("SOFTWARE\\Quintor\\Halvora", "Kept", "old"));
  const std::string before = hvtest::ReadAll(home.Sub("registry.ini"));
  {
    hvtest::FileSizeLimit limit(before.size() + 10);
    EXPECT_FALSE(reg.SetString("SOFTWARE\\Quintor\\Halvora", "Kept", std::string(4000, 'n')));
  }
  EXPECT_EQ(reg.GetString("SOFTWARE\\Quintor\\Halvora", "Kept").value_or(""), "old");
  EXPECT_EQ(hvtest::ReadAll(home.Sub("registry.ini")), before);
  for (const wxString& name : hv::ListFolder(home.Path())) EXPECT_FALSE(name.StartsWith(".registry.ini")) << name;
}

TEST(Registry, KeysAndValuesItCannotDecodeKeepTheirPlaceThroughRewrites) {
  hvtest::TempHome home;
  // Another tool's sections: a key path that is not UTF-8, one that names no key, and a
  // value that is not UTF-8, between keys of our own.
  const std::string foreign = std::string("[B\xFF]\n\"x\"=\"2\"\n[\\]\n\"y\"=\"3\"\n");
  const std::string file = "[A]\n\"x\"=\"1\"\n" + foreign + "[C]\n\"t\"=\"a\xFF\"\n\"u\"=\"ok\"\n";
  hvtest::WriteAll(home.Sub("registry.ini"), file);
  auto& reg = RegistryStore::Get();
  reg.Reload();
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(reg.SetString("A", "n" + std::to_string(round), "v"));
    ASSERT_TRUE(reg.SetString("C", "u", "ok"));
    reg.Reload();
  }
  EXPECT_EQ(reg.GetString("A", "x").value_or(""), "1");
  EXPECT_EQ(reg.GetString("A", "n2").value_or(""), "v");
  EXPECT_EQ(reg.ValueNames("A"), (std::vector<wxString>{"x", "n0", "n1", "n2"}));
  EXPECT_TRUE(reg.ValueNames("").empty());
  const std::string after = hvtest::ReadAll(home.Sub("registry.ini"));
  EXPECT_NE(after.find(foreign), std::string::npos) << after;
  EXPECT_NE(after.find("\"t\"=\"a\xFF\"\n"), std::string::npos) << after;

  // A key the file cannot hold is refused and changes nothing.
  for (const wxString& key : {wxString("\\"), wxString(""), wxString("A\nB")})
    EXPECT_FALSE(reg.SetString(key, "z", "1"));
  EXPECT_EQ(hvtest::ReadAll(home.Sub("registry.ini")), after);
}

// Bytes that look like UTF-8 but name no character (above U+10FFFF, a surrogate, an
// overlong form) are kept as they are, in keys and values alike.
TEST(Registry, SequencesThatAreNoCharactersAreKeptThroughARewrite) {
  hvtest::TempHome home;
  const std::string above = "\xF4\x90\x80\x80", surrogate = "\xED\xA0\x80", overlong = "\xE0\x80\xAF";
  const std::string odd = "[K" + above + "]\n\"x\"=\"1\"\n";
  const std::string file = "[A]\n\"v\"=\"" + above + "\"\n\"s" + surrogate + "\"=\"2\"\n\"o\"=\"" + overlong + "\"\n" + odd;
  hvtest::WriteAll(home.Sub("registry.ini"), file);
  auto& reg = RegistryStore::Get();
  reg.Reload();
  EXPECT_FALSE(reg.GetString("A", "v"));
  EXPECT_EQ(reg.ValueNames("A"), std::vector<wxString>{});
  ASSERT_TRUE(reg.SetString("A", "neu", "1"));
  const std::string after = hvtest::ReadAll(home.Sub("registry.ini"));
  for (const std::string& kept : {"\"v\"=\"" + above + "\"\n", "\"s" + surrogate + "\"=\"2\"\n",
                                  "\"o\"=\"" + overlong + "\"\n", odd})
    EXPECT_NE(after.find(kept), std::string::npos) << after;
  reg.Reload();
  EXPECT_EQ(reg.GetString("A", "neu").value_or(""), "1");
}
