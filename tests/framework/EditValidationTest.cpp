#include <gtest/gtest.h>

#include "framework/EditValidation.h"
#include "tests/support/TestEnv.h"

using hvtest::S;

namespace {

// The characters a name may not hold: file-name specials, point, blank and 128-255.
const CharacterSet kNameForbidden(S("/\\:*?<>|. "), true);

// An edit whose final text must start with a capital letter.
class CapitalRules : public CCharsetEditRules {
 public:
  wxString GetFinalRegExp() const override { return "^[A-Z]"; }
};

}  // namespace

TEST(EditValidation, CharacterSets) {
  EXPECT_TRUE(kNameForbidden.Contains(' '));
  EXPECT_TRUE(kNameForbidden.Contains('\\'));
  EXPECT_TRUE(kNameForbidden.Contains(wxUniChar(0x80)));
  EXPECT_TRUE(kNameForbidden.Contains(wxUniChar(0xFF)));
  EXPECT_TRUE(kNameForbidden.Contains(wxUniChar(0x20AC)));  // the euro sign is byte 128 in the code page
  EXPECT_TRUE(kNameForbidden.Contains(wxUniChar(0x6F22)));  // and what the code page cannot hold
  EXPECT_FALSE(kNameForbidden.Contains('_'));
  EXPECT_FALSE(kNameForbidden.Contains(wxUniChar(0x7F)));
  EXPECT_TRUE(CharacterSet().IsEmpty());
  EXPECT_FALSE(CharacterSet("", true).IsEmpty());

  EXPECT_EQ(FindCharacterIn("Projekt 1", kNameForbidden), 7);
  EXPECT_EQ(FindCharacterIn(S("Größe"), kNameForbidden), 2);
  EXPECT_EQ(FindCharacterIn("Projekt_1", kNameForbidden), -1);
  EXPECT_EQ(FindCharacterIn("", kNameForbidden), -1);
}

TEST(EditValidation, LeadingNumberReadsLikeAtoi) {
  EXPECT_EQ(LeadingNumber("12"), 12);
  EXPECT_EQ(LeadingNumber(" 7x"), 7);
  EXPECT_EQ(LeadingNumber("-5"), -5);
  EXPECT_EQ(LeadingNumber("+3"), 3);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber(":"), 0);
  EXPECT_EQ(LeadingNumber("99999999999999999999"), 999999);  // no overflow
}

TEST(EditValidation, ForbiddenCharactersAreNotTyped) {
  CCharsetEditRules rules;
  rules.SetForbiddenCharset(kNameForbidden);
  EditState s{"Name", 4, 4};
  EXPECT_EQ(rules.OnChar(s, ' '), CharResult::Refused);
  EXPECT_EQ(rules.OnChar(s, '.'), CharResult::Refused);
  EXPECT_EQ(rules.OnChar(s, wxUniChar(0xE4)), CharResult::Refused);
  EXPECT_EQ(rules.OnChar(s, 'a'), CharResult::Default);
  EXPECT_EQ(rules.OnChar(s, '\b'), CharResult::Default);
  EXPECT_EQ(s.text, "Name");
  EXPECT_EQ(ReplaceSelection(EditState{"abcd", 3, 1}, "X"), "aXd");
  EXPECT_EQ(ReplaceSelection(EditState{"abcd", 9, -2}, "X"), "X");  // positions outside the text
  EXPECT_TRUE(rules.AcceptsInsertion(s, "_2"));
  EXPECT_FALSE(rules.AcceptsInsertion(s, "a/b"));
}

TEST(EditValidation, CheckForbiddenReportsAndPointsAtTheFirst) {
  hvtest::ScriptedUi ui;
  CCharsetEditRules rules;
  rules.SetForbiddenCharset(kNameForbidden);
  long pos = 99;
  EXPECT_TRUE(rules.CheckForbidden("Projekt_1", &pos));
  EXPECT_EQ(pos, -1);
  EXPECT_TRUE(ui.MessageIds().empty());

  ui.ExpectMessage(10300);
  EXPECT_FALSE(rules.CheckForbidden("a.b c", &pos));
  EXPECT_EQ(pos, 1);
  ASSERT_EQ(ui.MessageTexts().size(), 1u);
  EXPECT_EQ(ui.MessageTexts()[0], S("Es wurde ein ungültiges Zeichen eingegeben!"));

  ui.ExpectMessage(10300);
  EXPECT_FALSE(rules.CheckForbidden(S("Maß"), &pos));
  EXPECT_EQ(pos, 2);
  EXPECT_TRUE(ui.AllExpectationsMet());

  CCharsetEditRules unrestricted;
  EXPECT_TRUE(unrestricted.CheckForbidden(S("a b.c/ü")));
}

TEST(EditValidation, CharsetFocusLoss) {
  CCharsetEditRules plain;
  FocusLossResult f = plain.OnKillFocus("any text");
  EXPECT_FALSE(f.keepFocus);
  EXPECT_EQ(f.text, "any text");

  // with a final pattern a text without any match keeps the focus
  CapitalRules capital;
  f = capital.OnKillFocus("abc");
  EXPECT_TRUE(f.keepFocus);
  EXPECT_EQ(f.text, "abc");
  f = capital.OnKillFocus("Abc");
  EXPECT_FALSE(f.keepFocus);
  EXPECT_EQ(f.text, "Abc");
  EXPECT_TRUE(plain.OnSave("x y").ok);
}
