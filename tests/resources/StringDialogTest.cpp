#include <gtest/gtest.h>

#include "app/TavProjectDoc.h"
#include "platform/dbase/DbLib.h"
#include "resources/ResString.h"
#include "resources/StringDialog.h"
#include "tests/support/FakeDevice.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using namespace hvtest;
using namespace hv::db;

TEST(StringEscapes, StoredFormAndEditTextRoundTrip) {
  struct Case {
    const wchar_t* edited;
    const wchar_t* stored;
  };
  const Case cases[] = {
      {L"", L""},
      {L"Pumpe", L"Pumpe"},
      {L"Zeile 1\nZeile 2", L"Zeile 1\\nZeile 2"},
      {L"C:\\neu", L"C:\\\\neu"},                 // a typed backslash-n
      {L"a\\b", L"a\\b"},                        // other backslashes stay
      {L"\n\n", L"\\n\\n"},
      {L"\u00c4\u20ac\\n\n", L"\u00c4\u20ac\\\\n\\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(wxString(c.stored), strtext::Escape(c.edited)) << wxString(c.edited);
    EXPECT_EQ(wxString(c.edited), strtext::Unescape(c.stored)) << wxString(c.stored);
  }
  // Line ends typed elsewhere arrive as CR LF.
  EXPECT_EQ(wxS("a\\nb"), strtext::Escape(wxS("a\r\nb")));
  // A trailing backslash before a break comes back as a literal backslash-n: the format's own ambiguity.
  EXPECT_EQ(wxS("a\\n"), strtext::Unescape(strtext::Escape(wxS("a\\\n"))));
}

TEST(StringEscapes, UnitsCountSurrogatePairs) {
  const wxString clef = wxString::FromUTF8("\xF0\x9D\x84\x9E");   // outside the BMP
  EXPECT_EQ(2u, strtext::Utf16Units(clef));
  EXPECT_EQ(3u, strtext::Utf16Units(wxS("a") + clef));
  EXPECT_EQ(wxS("a"), strtext::CutToUnits(wxS("a") + clef, 2));   // never half a pair
  EXPECT_EQ(wxS("a") + clef, strtext::CutToUnits(wxS("a") + clef, 3));
}

namespace {

class StringDialog : public testing::Test {
 protected:
  StringDialog() : dev(dir.Path()) {
    doc.AddView(&view);
    dev.languages = {{1031, wxS("Deutsch")}, {1033, wxS("Englisch")}};
    EXPECT_TRUE(dbank_create(dir.Path()));
    folder = static_cast<CPOResString*>(dev.Node().AddChild(std::make_unique<CPOResString>(&dev.Node(), dev.Handle())));
    text = static_cast<CPOString*>(folder->AddChild(std::make_unique<CPOString>(folder, dev.Handle())));
    text->SetName(wxS("Zeile 1\\nZeile 2"));
    text->Texts()[1033] = wxS("Line");
    text->SetTextNumber(7);
    text->SetLogicalId(4);
  }
  void AddRow(std::uint32_t number, std::uint16_t language, const wxString& wording, std::uint16_t logId) {
    Table t;
    ASSERT_TRUE(t.open(dir.Path(), TextwSchema()));
    TextwRow row;
    row.number = number;
    row.language = language;
    row.text = wording;
    row.logId = logId;
    ASSERT_TRUE(wtext_insert(t, row));
  }

  TempDir dir;
  FakeDevice dev;
  CTavProjectDoc doc;
  RecordingView view;
  ScriptedUi ui;
  CPOResString* folder = nullptr;
  CPOString* text = nullptr;
};

}  // namespace

TEST_F(StringDialog, LanguageSwitchKeepsEachTextAndCancelRestoresAll) {
  ui.Answer<StringEditRequest>([](StringEditRequest& r) {
    StringDialogController c(r);
    EXPECT_EQ(2u, c.Languages().size());
    EXPECT_EQ(wxS("Zeile 1\nZeile 2"), c.EditText());   // two lines shown
    EXPECT_TRUE(c.SwitchTo(wxS("Erste\nZweite"), 1033));
    EXPECT_EQ(wxS("Line"), c.EditText());
    EXPECT_TRUE(c.SwitchTo(wxS("First"), 1031));
    EXPECT_EQ(wxS("Erste\nZweite"), c.EditText());
    EXPECT_EQ(wxS("Erste\\nZweite"), r.text->GetName());
    return static_cast<int>(IDCANCEL);
  });
  EXPECT_EQ(IDCANCEL, RunStringDialog(*text, 1031));
  EXPECT_EQ(wxS("Zeile 1\\nZeile 2"), text->GetName());
  EXPECT_EQ(wxS("Line"), text->GetText(1033));
  EXPECT_EQ(4, text->GetLogicalId());
}

TEST_F(StringDialog, StoredFormLongerThanTheFieldIsRefusedWhole) {
  // 200 characters and 40 line breaks are 240 in the edit but 280 stored.
  wxString edited;
  for (int i = 0; i < 40; ++i) edited += wxS("abcd\n");
  edited += wxString(wxS('x'), 40);
  ui.ExpectMessage(11700);
  ui.ExpectMessage(11700);
  ui.Answer<StringEditRequest>([&](StringEditRequest& r) {
    StringDialogController c(r);
    EXPECT_FALSE(c.Ok(edited, 4));          // the dialog stays open
    EXPECT_FALSE(c.SwitchTo(edited, 1033));  // and keeps its language
    EXPECT_EQ(1031, c.Language());
    EXPECT_EQ(wxS("Zeile 1\\nZeile 2"), r.text->GetName());
    wxString fits;
    for (int i = 0; i < 128; ++i) fits += wxS("\n");   // exactly 256 stored
    EXPECT_TRUE(c.Ok(fits, 4));
    return static_cast<int>(IDOK);
  });
  EXPECT_EQ(IDOK, RunStringDialog(*text, 1031));
  EXPECT_EQ(256u, strtext::Utf16Units(text->GetName()));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(StringDialog, LogicalIdOfAnotherTextKeepsTheDialogOpen) {
  AddRow(7, 1031, wxS("eigen"), 4);
  AddRow(9, 1031, wxS("fremd"), 12);
  ui.ExpectMessage(10015);
  ui.Answer<StringEditRequest>([](StringEditRequest& r) {
    StringDialogController c(r);
    EXPECT_EQ(4, c.LogicalId());
    EXPECT_FALSE(c.Ok(wxS("neu"), 12));
    EXPECT_EQ(4, r.text->GetLogicalId());
    EXPECT_TRUE(c.Ok(wxS("neu"), 4));   // its own id passes
    return static_cast<int>(IDOK);
  });
  EXPECT_EQ(IDOK, RunStringDialog(*text, 1031));
  EXPECT_EQ(wxS("neu"), text->GetName());
  EXPECT_EQ(4, text->GetLogicalId());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(StringDialog, UnreadableTableIsReported) {
  dev.folder = dir.Sub(wxS("missing"));
  ui.ExpectMessage(11701);
  ui.Answer<StringEditRequest>([](StringEditRequest& r) {
    StringDialogController c(r);
    EXPECT_FALSE(c.Ok(wxS("neu"), 5));
    EXPECT_TRUE(c.Ok(wxS("neu"), 0));   // no id: nothing to check
    return static_cast<int>(IDOK);
  });
  EXPECT_EQ(IDOK, RunStringDialog(*text, 1031));
  EXPECT_EQ(0, text->GetLogicalId());
  EXPECT_TRUE(ui.AllExpectationsMet());
}
