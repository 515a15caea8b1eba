#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/ClipboardTransfer.h"
#include "model/ClipboardBlock.h"
#include "framework/ClipboardStore.h"
#include "framework/NameDialogRequests.h"
#include "model/NewObjectRequests.h"
#include "model/GraphToolCheck.h"
#include "model/SuiteTools.h"
#include "platform/Registry.h"
#include "resources/MaskRecords.h"
#include "tests/resources/ScreenFixture.h"
#include "tests/support/ToolStandIns.h"
#include "tests/support/TestServices.h"

using namespace hvtest;
using namespace hv::db;

namespace {

class Screens : public ScreenFixture {
 protected:
  // Answers the name dialog with the names in turn (then cancels).
  void AnswerNames(std::vector<wxString> names) {
    auto left = std::make_shared<std::vector<wxString>>(std::move(names));
    ui.Answer<NewNameRequest>([left, this](NewNameRequest& r) {
      EXPECT_EQ(wxS("Neue Maske"), r.title);
      EXPECT_EQ(30, r.maxLength);
      ++nameDialogs;
      if (left->empty()) return static_cast<int>(IDCANCEL);
      r.name = left->front();
      left->erase(left->begin());
      return static_cast<int>(IDOK);
    });
  }
  void AnswerLogIds(std::vector<long> ids) {
    auto left = std::make_shared<std::vector<long>>(std::move(ids));
    ui.Answer<LogIdRequest>([left, this](LogIdRequest& r) {
      shownLogIds.push_back(r.logId);
      if (left->empty()) return static_cast<int>(IDCANCEL);
      r.logId = left->front();
      left->erase(left->begin());
      return static_cast<int>(IDOK);
    });
  }
  // Replaces the scripted messages: records id and style and answers in turn.
  void ScriptMessages(std::vector<int> answers) {
    auto left = std::make_shared<std::vector<int>>(std::move(answers));
    hv::Ui().SetMessageHandler([left, this](UINT id, const wxString&, UINT style) {
      messages.emplace_back(id, style);
      if (left->empty()) return static_cast<int>(IDOK);
      const int a = left->front();
      left->erase(left->begin());
      return a;
    });
  }
  void MarkUsedByGraphTool(std::uint32_t screenId) {
    WriteAll(home.Sub(wxS("TavGraphUse.ini")), "[Masks]\n" + std::to_string(screenId) + "=1\n");
  }
  CPOMask& Added(std::size_t index = 0) {
    return static_cast<CPOMask&>(*folder->GetChildren().at(index));
  }

  PrivateRuntimeDir runtime;
  DesignerLog designers;
  int nameDialogs = 0;
  std::vector<long> shownLogIds;
  std::vector<std::pair<UINT, UINT>> messages;
};

}  // namespace

TEST_F(Screens, ANewScreenHasAHeaderOfItsOwnThatItsNameCheckSees) {
  UseStandInDesigner(designers);
  AnswerNames({wxS("Start  "), wxS("Start"), wxString(wxS('M'), 30)});
  CPOMask prototype;
  ASSERT_TRUE(prototype.CreateNew(folder.get(), dev.Handle(), nullptr));
  ASSERT_EQ(1u, folder->GetChildCount());
  CPOMask& start = Added();
  EXPECT_EQ(wxS("Start"), start.GetName());   // trailing blanks are not kept
  EXPECT_EQ((std::vector<int>{2}), view.Hints());
  std::vector<MaskField> records = Records(wxS("Start"));
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ(0, records[0].number());
  EXPECT_EQ(0u, records[0].type());
  EXPECT_EQ(0u, records[0].logId());
  EXPECT_NE(0u, records[0].id());
  EXPECT_EQ(records[0].id(), start.GetHeader().screenId);
  for (std::size_t i = 60; i < MaskField::kSize; ++i) ASSERT_EQ(0, records[0].buf[i]) << i;

  // The next one of that name is refused, and a 30-character name is kept whole.
  ui.ExpectMessage(10292);
  ASSERT_TRUE(prototype.CreateNew(folder.get(), dev.Handle(), nullptr));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(3, nameDialogs);
  EXPECT_EQ(1u, Records(wxString(wxS('M'), 30)).size());

  // Both survive a reload; each was opened in the designer.
  EXPECT_NE(nullptr, Screen(wxS("Start")));
  EXPECT_NE(nullptr, Screen(wxString(wxS('M'), 30)));
  EXPECT_EQ(2u, designers.Starts(2).size());
}

TEST_F(Screens, ACopyTakesTheTemplatesRecordsWithNewIdsAndNoLogicalId) {
  UseStandInDesigner(designers);
  const MaskField header = AddRecord(wxS("Vorlage"), 0, 0, [](MaskField& r) {
    r.setLogId(7);
    r.setI16(98, 1);
    r.setU32(88, 12);
  });
  AddRecord(wxS("Vorlage"), 1, 2, [](MaskField& r) { r.setU32(84, 99); r.setFlag(3); r.setX(-5); });
  AddRecord(wxS("Vorlage"), 2, 4);
  AddRecord(wxS("Vorlage"), -1, 15, [](MaskField& r) { r.buf[MaskField::kSize - 1] = 0xAB; });
  AddScreen(wxS("Vorlage2"), 0, 1);   // a name that begins alike is another screen
  CPOMask* templ = Screen(wxS("Vorlage"));
  ASSERT_NE(nullptr, templ);
  const std::vector<MaskField> before = Records(wxS("Vorlage"));

  AnswerNames({wxS("Kopie")});
  ASSERT_TRUE(templ->OnCmdMsg(ID_MASK_NEW_COPY, CN_COMMAND, nullptr, nullptr));
  const std::vector<MaskField> copy = Records(wxS("Kopie"));
  ASSERT_EQ(before.size(), copy.size());
  std::set<std::uint32_t> ids;
  for (const MaskField& r : before) ids.insert(r.id());
  for (std::size_t i = 0; i < copy.size(); ++i) {
    EXPECT_EQ(before[i].number(), copy[i].number());
    EXPECT_EQ(before[i].type(), copy[i].type());
    EXPECT_EQ(before[i].x(), copy[i].x());
    EXPECT_EQ(before[i].flag(), copy[i].flag());
    EXPECT_EQ(0u, copy[i].logId());
    EXPECT_TRUE(std::equal(before[i].buf.begin() + 60, before[i].buf.end(), copy[i].buf.begin() + 60)) << i;
    EXPECT_TRUE(ids.insert(copy[i].id()).second) << "record id " << copy[i].id() << " used twice";
  }
  // The template is unchanged; the new screen knows its header.
  EXPECT_EQ(7u, Records(wxS("Vorlage"))[1].logId());   // after the element -1
  CPOMask* kopie = Screen(wxS("Kopie"));
  ASSERT_NE(nullptr, kopie);
  EXPECT_NE(header.id(), kopie->GetHeader().screenId);
  EXPECT_EQ(wxS("x"), kopie->GetColumnText(4));
  EXPECT_EQ(wxString(), kopie->GetColumnText(2));
  EXPECT_EQ(1u, designers.Starts(1).size());
}

TEST_F(Screens, CancellingTheNameMakesNothingAndTheDefaultScreenIsMadeButNotOpened) {
  UseStandInDesigner(designers);
  AnswerNames({});
  CPOMask prototype;
  EXPECT_FALSE(prototype.CreateNew(folder.get(), dev.Handle(), nullptr));
  EXPECT_TRUE(folder->HasNoChildren());
  EXPECT_TRUE(view.Hints().empty());
  EXPECT_TRUE(Records(wxS("Neu")).empty());

  AnswerNames({wxS("!DEFAULT_COMPONENTS")});
  ui.ExpectMessage(10510);
  EXPECT_FALSE(prototype.CreateNew(folder.get(), dev.Handle(), nullptr));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(1u, Records(wxS("!DEFAULT_COMPONENTS")).size());
  EXPECT_EQ(1u, folder->GetChildCount());
  EXPECT_TRUE(designers.Starts(1, 300).empty());
}

TEST_F(Screens, TheGraphToolOnAnotherDeviceStopsNewScreensBeforeTheName) {
  ASSERT_TRUE(hv::RegistryStore::Get().SetString(hv::kKeyGraphTool, wxS("PROJECTNAME"), wxS("Anderes")));
  hvtest::FakeProcesses processes([](const wxString& program) { return program == wxS("Tav3.exe"); });
  ui.ExpectMessage(10074);
  CPOMask prototype;
  EXPECT_FALSE(prototype.CreateNew(folder.get(), dev.Handle(), nullptr));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(0, nameDialogs);

  // With "Version3" set the graph tool copes with it, unless Shift is held.
  ASSERT_TRUE(hv::RegistryStore::Get().SetByte(hv::kKeyGraphTool, wxS("Version3"), 1));
  AnswerNames({});
  EXPECT_FALSE(prototype.CreateNew(folder.get(), dev.Handle(), nullptr));
  EXPECT_EQ(1, nameDialogs);
  hvtest::QueuedEventLoop events;
  events.shift = true;
  ui.ExpectMessage(10074);
  EXPECT_FALSE(prototype.CreateNew(folder.get(), dev.Handle(), nullptr));
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(Screens, LogicalIdsAreUniqueAndStoredInTheHeader) {
  AddScreen(wxS("A"), 5);
  AddScreen(wxS("B"));
  AddRecord(wxS("B"), 1, 2);
  CPOMask* a = Screen(wxS("A"));
  CPOMask* b = Screen(wxS("B"));

  // A taken id is refused and the dialog comes again with it.
  AnswerLogIds({5, 6});
  ui.ExpectMessage(10015);
  EXPECT_TRUE(b->ChangeLogicalId());
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ((std::vector<long>{0, 5}), shownLogIds);
  EXPECT_EQ(wxS("6"), b->GetColumnText(2));
  EXPECT_EQ(6u, Records(wxS("B"))[0].logId());
  EXPECT_EQ(0u, Records(wxS("B"))[1].logId());
  EXPECT_EQ((std::vector<int>{6}), view.Hints());

  // Its own id is accepted without a message; a double click on "Log. ID" asks too.
  AnswerLogIds({5});
  a->OnColumnDblClick(2);
  EXPECT_EQ(5u, Records(wxS("A"))[0].logId());
  // 0 clears it, so that another screen may take it.
  AnswerLogIds({0, 5});
  EXPECT_TRUE(a->ChangeLogicalId());
  EXPECT_TRUE(b->ChangeLogicalId());
  EXPECT_EQ(0u, Records(wxS("A"))[0].logId());
  EXPECT_EQ(5u, Records(wxS("B"))[0].logId());
  EXPECT_EQ(wxString(), a->GetColumnText(2));

  // Cancel changes nothing.
  AnswerLogIds({});
  EXPECT_FALSE(b->ChangeLogicalId());
  EXPECT_EQ(5u, Records(wxS("B"))[0].logId());
}

TEST_F(Screens, DefaultScreensAreNeverDeletedWhateverElseHolds) {
  AddScreen(wxS("!DEFAULT_KEYS"));
  CPOMask* keys = Screen(wxS("!DEFAULT_KEYS"));
  MarkUsedByGraphTool(keys->GetHeader().screenId);
  ui.ExpectMessage(10150);
  EXPECT_TRUE(keys->OnCmdMsg(ID_MASK_DELETE, CN_COMMAND, nullptr, nullptr));
  EXPECT_TRUE(ui.AllExpectationsMet());
  EXPECT_EQ(1u, Records(wxS("!DEFAULT_KEYS")).size());
  EXPECT_EQ(1u, folder->GetChildCount());
}

TEST_F(Screens, AScreenTheGraphToolUsesStays) {
  AddScreen(wxS("Start"), 0, 2);
  AddScreen(wxS("Alarme"), 0, 1);
  CPOMask* start = Screen(wxS("Start"));
  MarkUsedByGraphTool(start->GetHeader().screenId);

  ScriptMessages({IDOK, IDCANCEL, IDOK});
  EXPECT_FALSE(start->Delete());
  start->SetMultipleSelection(TRUE);
  EXPECT_FALSE(start->Delete());   // Cancel: the other selected screens are left alone
  EXPECT_FALSE(start->IsMultipleSelection());
  start->SetMultipleSelection(TRUE);
  EXPECT_FALSE(start->Delete());
  EXPECT_TRUE(start->IsMultipleSelection());
  ASSERT_EQ(3u, messages.size());
  EXPECT_EQ(std::make_pair(10204u, static_cast<UINT>(MB_OK | MB_ICONINFORMATION)), messages[0]);
  EXPECT_EQ(std::make_pair(10204u, static_cast<UINT>(MB_OKCANCEL | MB_ICONINFORMATION)), messages[1]);
  EXPECT_EQ(3u, Records(wxS("Start")).size());

  // Another screen is not affected.
  EXPECT_TRUE(Screen(wxS("Alarme"))->Delete());
  EXPECT_TRUE(Records(wxS("Alarme")).empty());
}

TEST_F(Screens, DeletingRemovesEveryRecordOfTheScreenAndNoOther) {
  AddScreen(wxS("Start"), 0, 3);
  AddScreen(wxS("Start2"), 0, 1);
  AddScreen(wxS("Start_1"), 0, 1);
  AddRecord(wxS("Start"), 7, 4);
  CPOMask* start = Screen(wxS("Start"));
  // A screen without a logical id goes without a question; the command removes it.
  EXPECT_TRUE(start->OnCmdMsg(ID_MASK_DELETE, CN_COMMAND, nullptr, nullptr));
  EXPECT_TRUE(Records(wxS("Start")).empty());
  EXPECT_EQ(2u, Records(wxS("Start2")).size());
  EXPECT_EQ(2u, Records(wxS("Start_1")).size());
  EXPECT_EQ((std::vector<int>{3}), view.Hints());
  EXPECT_EQ(2u, folder->GetChildCount());
}

TEST_F(Screens, AScreenWithALogicalIdIsDeletedOnlyAfterYes) {
  AddScreen(wxS("Start"), 9, 1);
  CPOMask* start = Screen(wxS("Start"));
  ScriptMessages({IDNO, IDCANCEL, IDYES});
  EXPECT_FALSE(start->Delete());
  start->SetMultipleSelection(TRUE);
  EXPECT_FALSE(start->Delete());
  EXPECT_FALSE(start->IsMultipleSelection());   // Cancel stops the rest of the selection
  EXPECT_EQ(2u, Records(wxS("Start")).size());
  EXPECT_TRUE(start->Delete());
  EXPECT_TRUE(Records(wxS("Start")).empty());
  ASSERT_EQ(3u, messages.size());
  EXPECT_EQ(std::make_pair(10229u, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION)), messages[0]);
  EXPECT_EQ(std::make_pair(10229u, static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION)), messages[1]);
}

TEST_F(Screens, ElementlessScreensAndTheArchiveOfAScreen) {
  // Only header and type-4 records: nothing for the list.
  AddScreen(wxS("Leer"), 3);
  AddRecord(wxS("Leer"), 1, 4);
  CPOMask* leer = Screen(wxS("Leer"));
  EXPECT_FALSE(leer->HasListChildren());
  EXPECT_TRUE(leer->LoadChildren());
  EXPECT_TRUE(leer->HasNoChildren());
  EXPECT_FALSE(leer->IsStale());

  // Elements without a header record give the screen no list.
  AddRecord(wxS("Ohne Kopf"), 1, 2);
  CPOMask orphan(folder.get(), dev.Handle());
  orphan.SetName(wxS("Ohne Kopf"));
  EXPECT_FALSE(orphan.HasListChildren());
  AddScreen(wxS("Mit Kopf"), 0, 1);
  CPOMask headed(folder.get(), dev.Handle());
  headed.SetName(wxS("Mit Kopf"));
  EXPECT_TRUE(headed.HasListChildren());

  CPOMask::Header h;
  h.screenId = 4000001;
  h.logicalId = 0xFFFF;
  h.autoOpen = 1;
  h.title = S("Übersicht \xe2\x86\x92 Kessel");   // a wide title
  CPOMask out;
  out.SetName(S("Kessel Ä"));
  out.SetHeader(h);
  CArchive store;
  out.Serialize(store);
  CArchive load(store.Bytes());
  CPOMask back;
  back.Serialize(load);
  EXPECT_EQ(0u, load.Remaining());
  EXPECT_EQ(out.GetName(), back.GetName());
  EXPECT_EQ(h.screenId, back.GetHeader().screenId);
  EXPECT_EQ(h.title, back.GetHeader().title);
  EXPECT_EQ(wxS("???"), back.GetColumnText(2));
  EXPECT_EQ(wxS("x"), back.GetColumnText(4));
  EXPECT_EQ(wxString(), back.GetColumnText(5));
}

TEST_F(Screens, TheNewCommandIsCalledNewScreen) {
  AddScreen(wxS("Start"));
  CRecordingCmdUI cmd(ID_MASK_NEW);
  EXPECT_TRUE(Screen(wxS("Start"))->OnCmdMsg(ID_MASK_NEW, CN_UPDATE_COMMAND_UI, &cmd, nullptr));
  EXPECT_EQ(wxS("Neue Maske"), cmd.text);
  EXPECT_TRUE(cmd.enabled);

  // With several screens selected only the new ones stay: each makes one screen.
  CPOMask* start = Screen(wxS("Start"));
  for (UINT id : {ID_MASK_EDIT, ID_MASK_NEW_COPY, ID_MASK_LOGID}) {
    start->SetMultipleSelection(TRUE);
    CRecordingCmdUI ui(id);
    EXPECT_TRUE(start->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui, nullptr));
    EXPECT_FALSE(ui.enabled) << id;
  }
  start->SetMultipleSelection(TRUE);
  AnswerNames({});
  EXPECT_TRUE(start->OnCmdMsg(ID_MASK_NEW, CN_COMMAND, nullptr, nullptr));
  EXPECT_FALSE(start->IsMultipleSelection());
}

// Copy and paste through the list's clipboard commands: the copy lands beside the
// source under the next free name with fresh record ids; garbage on the clipboard
// adds nothing.
TEST_F(Screens, CopyAndPasteAScreenInTheSameDevice) {
  MemoryClipboardStore store;
  ScopedClipboardStore useStore{store};
  AddScreen(wxS("Start"), 5, 2);
  AddScreen(wxS("Start_1"));
  CPOMask* start = Screen(wxS("Start"));
  ASSERT_TRUE(start);
  const ObjectRef ref(start);
  EXPECT_TRUE(ListCanCopy(std::vector<ObjectRef>{ref}));
  ListCopy(std::vector<ObjectRef>{ref});
  ASSERT_EQ(1u, store.Entries().size());
  EXPECT_TRUE(ListCanPaste(ObjectRef(folder.get())));
  ListPaste(ObjectRef(folder.get()), ObjectRef());
  const auto pasted = Records(wxS("Start_2"));
  ASSERT_EQ(3u, pasted.size());
  EXPECT_EQ(65535, pasted[0].logId());   // 5 stays with the source
  EXPECT_NE(Records(wxS("Start"))[0].id(), pasted[0].id());
  CPOMask* copy = Screen(wxS("Start_2"));
  ASSERT_TRUE(copy);
  EXPECT_EQ(wxS("???"), copy->GetColumnText(2));

  store.Put(MakeClipboardFormatName(TypeCode::Mask), "x");
  ui.ExpectMessage(10981);
  ListPaste(ObjectRef(folder.get()), ObjectRef());
  EXPECT_EQ(3u, Screen(wxS("Start")) ? folder->GetChildCount() : 0u);
  EXPECT_TRUE(ui.AllExpectationsMet());
}
