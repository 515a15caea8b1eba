#include <gtest/gtest.h>

#include "app/TavProjectDoc.h"
#include "platform/dbase/DbLib.h"
#include "resources/ResString.h"
#include "resources/String.h"
#include "tests/support/FakeDevice.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using namespace hvtest;
using namespace hv::db;

namespace {

class StringEdit : public testing::Test {
 protected:
  StringEdit() : dev(dir.Path()) {
    doc.AddView(&view);
    EXPECT_TRUE(dbank_create(dir.Path()));
    folder = static_cast<CPOResString*>(dev.Node().AddChild(std::make_unique<CPOResString>(&dev.Node(), dev.Handle())));
  }
  // The rows of TEXTW as "number/language=text/logical id".
  std::vector<wxString> Rows() {
    std::vector<wxString> out;
    Table t;
    EXPECT_TRUE(t.open(dir.Path(), TextwSchema()));
    TextwRow r;
    for (bool ok = wtext_select(t, r, kFirst, "IDTEXT"); ok; ok = wtext_select(t, r, kNext, "IDTEXT"))
      out.push_back(wxString::Format(wxS("%u/%u=%s/%u"), r.number, r.language, r.text, r.logId));
    return out;
  }
  // The dialog as the user fills it: default-language text, English text, logical id.
  void Answer(const wxString& german, const wxString& english, std::uint16_t logId, int result = IDOK) {
    ui.Answer<StringEditRequest>([=, this](StringEditRequest& r) {
      ++asked;
      EXPECT_EQ(1031, r.language);
      if (result != IDOK) return result;
      r.text->SetName(german);
      r.text->Texts()[1033] = english;
      r.text->SetLogicalId(logId);
      return result;
    });
  }

  TempDir dir;
  FakeDevice dev;
  CTavProjectDoc doc;
  RecordingView view;
  ScriptedUi ui;
  CPOResString* folder = nullptr;
  int asked = 0;
};

}  // namespace

TEST_F(StringEdit, NewTextGetsANumberAndARowPerLanguage) {
  Answer(wxS("Pumpe"), wxS("Pump"), 3);
  CPOString prototype;
  ASSERT_TRUE(prototype.CreateNew(folder, dev.Handle(), nullptr));
  ASSERT_EQ(1u, folder->GetChildCount());
  auto* text = static_cast<CPOString*>(folder->GetChildren()[0]);
  const unsigned n = text->GetTextNumber();
  EXPECT_NE(0u, n);
  EXPECT_EQ((std::vector<wxString>{wxString::Format(wxS("%u/1031=Pumpe/3"), n),
                                   wxString::Format(wxS("%u/1033=Pump/3"), n)}),
            Rows());
  EXPECT_EQ((std::vector<int>{2}), view.Hints());

  // The folder reads back what was stored.
  ASSERT_TRUE(folder->LoadChildren());
  EXPECT_EQ(wxS("Pump"), static_cast<CPOString*>(folder->GetChildren()[0])->GetText(1033));
}

TEST_F(StringEdit, EditRewritesTheRowsAndCancelWritesNothing) {
  Answer(wxS("Pumpe"), wxS("Pump"), 0);
  ASSERT_TRUE(CPOString().CreateNew(folder, dev.Handle(), nullptr));
  auto* text = static_cast<CPOString*>(folder->GetChildren()[0]);
  const unsigned n = text->GetTextNumber();
  view.entries.clear();

  Answer(wxS("Pumpe 1"), wxS("Pump 1"), 9);
  EXPECT_TRUE(text->OnCmdMsg(ID_STRING_EDIT, CN_COMMAND, nullptr, nullptr));
  EXPECT_EQ((std::vector<wxString>{wxString::Format(wxS("%u/1031=Pumpe 1/9"), n),
                                   wxString::Format(wxS("%u/1033=Pump 1/9"), n)}),
            Rows());
  EXPECT_EQ((std::vector<int>{6}), view.Hints());

  const auto before = Rows();
  Answer(wxS("x"), wxS("y"), 1, IDCANCEL);
  EXPECT_FALSE(text->Edit());
  EXPECT_EQ(before, Rows());
  EXPECT_EQ(1u, view.entries.size());
}

TEST_F(StringEdit, CopyTakesTheTextsButNotTheNumberOrLogicalId) {
  Answer(wxS("Pumpe"), wxS("Pump"), 5);
  ASSERT_TRUE(CPOString().CreateNew(folder, dev.Handle(), nullptr));
  auto* source = static_cast<CPOString*>(folder->GetChildren()[0]);

  ui.Answer<StringEditRequest>([&](StringEditRequest& r) {
    EXPECT_NE(source, r.text);
    EXPECT_EQ(wxS("Pumpe"), r.text->GetName());
    EXPECT_EQ(wxS("Pump"), r.text->GetText(1033));
    EXPECT_EQ(0, r.text->GetLogicalId());
    EXPECT_EQ(0u, r.text->GetTextNumber());
    return static_cast<int>(IDOK);
  });
  source->SetSelectionState(TRUE, FALSE, TRUE);
  EXPECT_TRUE(source->OnCmdMsg(ID_STRING_NEW_COPY, CN_COMMAND, nullptr, nullptr));
  EXPECT_FALSE(source->IsMultipleSelection());   // one copy for a whole selection
  ASSERT_EQ(2u, folder->GetChildCount());
  auto* copy = static_cast<CPOString*>(folder->GetChildren()[1]);
  EXPECT_NE(source->GetTextNumber(), copy->GetTextNumber());
  EXPECT_EQ(4u, Rows().size());
}

TEST_F(StringEdit, ATextThatCannotBeStoredIsNotAdded) {
  dev.folder = dir.Sub(wxS("missing"));
  Answer(wxS("Pumpe"), wxS("Pump"), 0);
  ui.ExpectMessage(10974);
  EXPECT_FALSE(CPOString().CreateNew(folder, dev.Handle(), nullptr));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_TRUE(folder->HasNoChildren());
  EXPECT_TRUE(view.entries.empty());
  // Without parent or device nothing is asked.
  EXPECT_FALSE(CPOString().CreateNew(nullptr, dev.Handle(), nullptr));
  EXPECT_FALSE(CPOString().CreateNew(folder, nullptr, nullptr));
  EXPECT_EQ(1, asked);
}
