#include <gtest/gtest.h>

#include "platform/Codec.h"
#include "platform/HardwareConfigFile.h"
#include "tests/support/TestEnv.h"

using hv::ConfigSections;
using hvtest::S;

namespace {

wxString ValueOf(const ConfigSections& s, const char* section, const char* key) {
  const hv::ConfigSection* sec = hv::FindSection(s, section);
  const wxString* v = sec ? sec->Find(key) : nullptr;
  return v ? *v : wxString("<none>");
}

}  // namespace

TEST(HardwareConfigIni, ReadsTheSuitesIniRules) {
  struct Case {
    const char* what;
    std::string bytes;
    const char* section;
    const char* key;
    const char* expected;
  };
  const Case cases[] = {
      {"plain", "[Display]\r\nWidth=320\r\n", "Display", "Width", "320"},
      {"names ignore case", "[display]\nWIDTH=320\n", "DISPLAY", "width", "320"},
      {"blanks trimmed", "  [ Display ]  \n  Width  =  320  \n", "Display", "Width", "320"},
      {"quotes stripped once", "[Remote X]\nDisplayName=\"Panel \"A\"\"\n", "Remote X", "DisplayName", "Panel \"A\""},
      {"';' inside a value kept", "[Tools]\n1=TAVTERM;1.0;0;0;0\n", "Tools", "1", "TAVTERM;1.0;0;0;0"},
      {"comment lines skipped", "[General]\n;Type=X\nType=Y\n", "General", "Type", "Y"},
      {"first key wins", "[General]\nType=A\nType=B\n", "General", "Type", "A"},
      {"duplicate section ignored", "[General]\nType=A\n[General]\nType=B\nUnicode=1\n", "General", "Unicode", "<none>"},
      {"lines before a section ignored", "Type=A\n[General]\n", "General", "Type", "<none>"},
      {"line without '=' ignored", "[General]\njunk\nType=A\n", "General", "Type", "A"},
      {"Windows-1252", "[Remote P]\nDisplayName=B\xE4" "ckerei \x80\n", "Remote P", "DisplayName", "B\xC3\xA4" "ckerei \xE2\x82\xAC"},
      {"UTF-8 with byte-order mark", "\xEF\xBB\xBF[Remote P]\nDisplayName=\xC3\x84\n", "Remote P", "DisplayName", "\xC3\x84"},
      {"no line end at the end", "[General]\nType=A", "General", "Type", "A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ConfigSections s;
    hv::ParseHardwareIni(c.bytes, s);
    EXPECT_EQ(ValueOf(s, c.section, c.key), S(c.expected));
  }
}

TEST(HardwareConfigIni, Utf16FileIsRead) {
  ConfigSections s;
  ASSERT_TRUE(hv::ParseHardwareIni(hv::ToUtf16LeBom(S("[General]\r\nType=Ä\r\n")), s));
  EXPECT_EQ(ValueOf(s, "General", "Type"), S("Ä"));
}

TEST(HardwareConfigIni, GarbageHoldsNoConfiguration) {
  ConfigSections s;
  EXPECT_FALSE(hv::ParseHardwareIni("", s));
  EXPECT_FALSE(hv::ParseHardwareIni(std::string("\x00\x01\xFF\xFE\x7F garbage =", 16), s));
  EXPECT_FALSE(hv::ParseHardwareIni("[unclosed\nType=A\n", s));
  // A very long line neither crashes nor hides the keys after it.
  std::string longLine = "[General]\nJunk=" + std::string(1 << 20, 'x') + "\nType=A\n";
  ASSERT_TRUE(hv::ParseHardwareIni(longLine, s));
  EXPECT_EQ(ValueOf(s, "General", "Type"), "A");
}

TEST(HardwareConfigXml, GivesTheSameModelAsIni) {
  const std::string ini =
      "[General]\nType=X\n[Remote P]\nDisplayName=Panel & \"Tasten\" <1>\n[Networks]\n1=SIMNET\n2=MBTCP\n";
  const std::string xml =
      "<?xml version=\"1.0\"?>\n<!-- sample -->\n<hardware>\n"
      " <section name=\"General\"><entry key=\"Type\" value=\"X\"/></section>\n"
      " <section name='Remote P'><entry key=\"DisplayName\" value=\"Panel &amp; &quot;Tasten&quot; &lt;1&#62;\"/>"
      "</section>\n"
      " <section name=\"Networks\"><entry key=\"1\" value=\"SIMNET\"/><entry key=\"2\" value=\"MBTCP\"></entry>"
      "</section>\n</hardware>\n";
  ConfigSections a, b;
  ASSERT_TRUE(hv::ParseHardwareIni(ini, a));
  ASSERT_TRUE(hv::ParseHardwareXml(xml, b));
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].name, b[i].name);
    EXPECT_EQ(a[i].entries, b[i].entries);
  }
}

TEST(HardwareConfigXml, EncodingsAndCharacterReferences) {
  ConfigSections s;
  ASSERT_TRUE(hv::ParseHardwareXml("<hardware><section name=\"G\"><entry key=\"K\" value=\"\xC3\xA4&#x20AC;\"/>"
                                   "</section></hardware>",
                                   s));
  EXPECT_EQ(ValueOf(s, "G", "K"), S("ä€"));
  ASSERT_TRUE(hv::ParseHardwareXml("<?xml version=\"1.0\" encoding=\"windows-1252\"?>"
                                   "<hardware><section name=\"G\"><entry key=\"K\" value=\"\xE4\x80\"/>"
                                   "</section></hardware>",
                                   s));
  EXPECT_EQ(ValueOf(s, "G", "K"), S("ä€"));
}

TEST(HardwareConfigXml, RefusesWhatIsNotWellFormed) {
  const char* bad[] = {
      "",
      "<hardware>",
      "<hardware></hardwar>",
      "<hardware><section name=\"G\"></hardware>",
      "<hardware/><hardware/>",
      "<other/>",
      "text<hardware/>",
      "<hardware><section name=\"G\" name=\"H\"/></hardware>",
      "<hardware><section name=G/></hardware>",
      "<hardware><section name=\"a<b\"/></hardware>",
      "<hardware><section name=\"&unknown;\"/></hardware>",
      "<hardware><section name=\"&#0;\"/></hardware>",
      "<!DOCTYPE hardware [<!ENTITY x \"y\">]><hardware/>",
      "<hardware><!-- unterminated </hardware>",
      "<hardware>\xFF\xFE garbage</hardware>",
  };
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    ConfigSections s;
    EXPECT_FALSE(hv::ParseHardwareXml(text, s));
    EXPECT_TRUE(s.empty());
  }
  // Deep nesting is refused rather than followed.
  std::string deep = "<hardware>";
  for (int i = 0; i < 10000; ++i) deep += "<a>";
  ConfigSections s;
  EXPECT_FALSE(hv::ParseHardwareXml(deep, s));
}

TEST(HardwareConfigXml, UnknownElementsAreSkipped) {
  ConfigSections s;
  ASSERT_TRUE(hv::ParseHardwareXml("<hardware><info><entry key=\"K\" value=\"1\"/></info>"
                                   "<section name=\"G\"><note>x</note><entry key=\"K\" value=\"2\"/>"
                                   "<![CDATA[<raw>]]></section></hardware>",
                                   s));
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(ValueOf(s, "G", "K"), "2");
}

TEST(HardwareConfigOverlays, ApplyFromTheirVersionOnInAscendingOrder) {
  const std::string text =
      "[Display]\nColorDepth=4\nWidth=320\n"
      "[Display@2.00]\nColorDepth=8\n"
      "[Display@1.50]\nColorDepth=6\nHeight=240\n"
      "[IO@1.8]\nDI=4\n"
      "[Display@x]\nWidth=1\n";
  struct Case {
    int fw;
    const char* depth;
    const char* height;
    const char* di;
  };
  const Case cases[] = {{0, "4", "<none>", "<none>"},   {-5, "4", "<none>", "<none>"}, {149, "4", "<none>", "<none>"},
                        {150, "6", "240", "<none>"},    {179, "6", "240", "<none>"},   {180, "6", "240", "4"},
                        {200, "8", "240", "4"},         {32767, "8", "240", "4"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fw);
    ConfigSections s;
    ASSERT_TRUE(hv::ParseHardwareIni(text, s));
    hv::ApplyFirmwareOverlays(s, c.fw);
    EXPECT_EQ(ValueOf(s, "Display", "ColorDepth"), c.depth);
    EXPECT_EQ(ValueOf(s, "Display", "Height"), c.height);
    EXPECT_EQ(ValueOf(s, "Display", "Width"), "320");   // the unreadable overlay never applies
    EXPECT_EQ(ValueOf(s, "IO", "DI"), c.di);            // an overlay may bring a section of its own
    for (const auto& sec : s) EXPECT_EQ(sec.name.find('@'), wxString::npos) << sec.name;
  }
}

TEST(HardwareConfigVersions, ParsedInHundredthsOnly) {
  struct Case {
    const char* text;
    bool ok;
    int hundredths;
  };
  const Case cases[] = {{"1.5", true, 150},  {"1.50", true, 150},  {" 2.00 ", true, 200}, {"1.15", true, 115},
                        {"2.30", true, 230}, {"4.35", true, 435},  {"1", true, 100},      {"0", true, 0},
                        {"327.67", true, 32767}, {"327.68", false, 0}, {"-1.5", false, 0}, {"1,5", false, 0},
                        {"1.5a", false, 0}, {"", false, 0},       {"1e2", false, 0},     {"1.2.3", false, 0},
                        {"inf", false, 0},  {".", false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int h = -1;
    EXPECT_EQ(hv::ParseVersionHundredths(c.text, h), c.ok);
    if (c.ok) {
      EXPECT_EQ(h, c.hundredths);
    }
  }
}
