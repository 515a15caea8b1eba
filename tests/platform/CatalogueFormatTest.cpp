// Catalogue texts are formatted with the arguments of their built-in texts: one whose
// format specifiers differ is refused in favour of the built-in text.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Codec.h"
#include "platform/Localization.h"
#include "platform/Paths.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

TEST(CatalogueFormat, SpecifiersMustMatchInCountOrderAndType) {
  struct Row {
    const char* text;
    const char* german;
    bool fits;
  } rows[] = {
      {"Unknown option: %s", "Unbekannte Option: %s", true},
      {"%d of %s, 100%%", "%d von %s", true},
      {"%5.2f kB", "%.1f kB", true},               // width and precision take no argument
      {"%-8s|%08lx", "%s|%lx", true},
      {"no placeholder", "kein Platzhalter", true},
      {"%s%s%s%s%s%s%s%s%s%s", "Unbekannte Option: %s", false},
      {"%s", "%d", false},                         // another type
      {"%d %s", "%s %d", false},                   // another order
      {"%ld", "%d", false},                        // another width of argument
      {"%*d", "%d", false},                        // '*' takes an argument of its own
      {"%2$s %1$s", "%s %s", false},
      {"%s%n", "%s%n", false},                     // never, whatever the built-in text says
      {"50% off", "50 Prozent", false},            // "% o" converts
      {"trailing %", "kein", false},
      {"", "%s", false},
      {"%99999999s", "%s", false},                 // text of that size
      {"%-20s|%.999f", "%s|%f", true},
  };
  for (const Row& r : rows)
    EXPECT_EQ(hv::CatalogueTextFits(S(r.text), S(r.german)), r.fits) << r.text << " / " << r.german;
}

TEST(CatalogueFormat, AHostileCatalogueTextGivesWayToTheBuiltInOne) {
  hvtest::TempHome home;
  const wxString data = home.Sub("data");
  hvtest::WriteAll(data + "/lang/ENG.txt",
                   "13501\t%s%s%s%s%s%s%s%s%s%s\n13502\tUnexpected argument: %s\n13503\tUsage %n\n");
  home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"PATH\"=\"" + hv::ToUtf8(data) + "\"\n");
  ASSERT_TRUE(hv::InitMultiLanguage("Project", S("ENG")));
  testing::internal::CaptureStderr();
  EXPECT_EQ(hv::LocalString(13501, S("Unbekannte Option: %s")), S("Unbekannte Option: %s"));
  EXPECT_EQ(hv::LocalString(13501, S("Unbekannte Option: %s")), S("Unbekannte Option: %s"));
  EXPECT_EQ(hv::LocalString(13502, S("Unerwartetes Argument: %s")), S("Unexpected argument: %s"));
  EXPECT_EQ(hv::LocalString(13503, S("Aufruf: %s")), S("Aufruf: %s"));
  const std::string err = testing::internal::GetCapturedStderr();
  hv::ResetLanguage();
  // One line per refused number.
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
  EXPECT_NE(err.find("13501"), std::string::npos) << err;
  EXPECT_NE(err.find("13503"), std::string::npos) << err;
}

// A text that is not UTF-8 (a code point above U+10FFFF, a surrogate, an overlong form)
// is not taken: the built-in text stands, and the catalogue's other texts are used.
TEST(CatalogueFormat, ATextThatIsNotUtf8GivesWayToTheBuiltInOne) {
  const auto texts = hv::ParseCatalogue("1\tA \xF4\x90\x80\x80\n2\t\xED\xA0\x80\n3\t\xC0\xAF\n4\tgut \xC3\xA4\n");
  EXPECT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts.count(4), 1u);
  hvtest::TempHome home;
  const wxString data = home.Sub("data");
  hvtest::WriteAll(data + "/lang/ENG.txt", "13502\tUnexpected \xF4\x90\x80\x80: %s\n13501\tUnknown option: %s\n");
  home.WriteSystemRegistry("[SOFTWARE\\Quintor]\n\"PATH\"=\"" + hv::ToUtf8(data) + "\"\n");
  ASSERT_TRUE(hv::InitMultiLanguage("Project", S("ENG")));
  EXPECT_EQ(hv::LocalString(13502, S("Unerwartetes Argument: %s")), S("Unerwartetes Argument: %s"));
  EXPECT_EQ(hv::LocalString(13501, S("Unbekannte Option: %s")), S("Unknown option: %s"));
  hv::ResetLanguage();
}
