#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include "framework/Services.h"
#include "model/LiveObjects.h"
#include "model/LongWork.h"
#include "model/ModelServices.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "resources/Mask.h"
#include "resources/ResMask.h"
#include "resources/ResString.h"
#include "resources/String.h"
#include "tests/support/FakeDevice.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using namespace hvtest;
using namespace hv::db;

namespace {

// The user holds the cancel key while `cancel` is set.
class CancelLoop : public hv::IEventLoop {
 public:
  CancelLoop() : m_bound(this) {}
  void BeginBusy() override { ++depth; }
  void EndBusy() override { --depth; }
  bool CancelRequested() override { return cancel; }
  bool cancel = false;
  int depth = 0;

 private:
  hv::ServiceOverride<hv::IEventLoop> m_bound;
};

std::vector<ObjectSerial> Serials(CProjectObject& folder) {
  std::vector<ObjectSerial> serials;
  for (CProjectObject* child : folder.GetChildren()) serials.push_back(child->GetSerial());
  return serials;
}

// Loads the folder as one user action.
BOOL Reload(CProjectObject& folder) {
  DispatchScope action;
  return folder.LoadChildren();
}

class MaskAndTextFolders : public testing::Test {
 protected:
  MaskAndTextFolders() : dev(dir.Path()) { EXPECT_TRUE(dbank_create(dir.Path())); }

  void AddText(std::uint32_t number, WORD language, const wxString& text, std::uint16_t logId = 0) {
    Table t;
    ASSERT_TRUE(t.open(dir.Path(), TextwSchema()));
    TextwRow row;
    row.number = number;
    row.language = language;
    row.text = text;
    row.logId = logId;
    ASSERT_TRUE(wtext_insert(t, row));
  }
  // A screen's header (element 0) and, optionally, elements.
  void AddScreen(const wxString& name, std::uint16_t logId, std::uint32_t titleText, int autoOpen, int focus,
                 int elements = 0) {
    Table t;
    ASSERT_TRUE(t.open(dir.Path(), MskfldSchema()));
    MaskField r;
    r.name = name;
    r.setLogId(logId);
    r.setU32(88, titleText);
    r.setI16(98, static_cast<std::int16_t>(autoOpen));
    r.setI16(100, static_cast<std::int16_t>(focus));
    ASSERT_TRUE(msk_fld_insert_quick(t, r));
    for (int i = 1; i <= elements; ++i) {
      MaskField e;
      e.name = name;
      e.setNumber(static_cast<std::int16_t>(i));
      e.setType(2);
      ASSERT_TRUE(msk_fld_insert_quick(t, e));
    }
  }
  // Enough rows for the wait cursor at once: `count` screens of three records each
  // ("S0000" on, title text 7), or `count` texts in two languages.
  void AddManyScreens(int count) {
    Table t;
    ASSERT_TRUE(t.open(dir.Path(), MskfldSchema()));
    t.beginBulk();
    for (int i = 0; i < count; ++i)
      for (int element = 0; element < 3; ++element) {
        MaskField r;
        r.name = wxString::Format("S%04d", i);
        r.setNumber(static_cast<std::int16_t>(element));
        if (element == 0) {
          r.setLogId(static_cast<std::uint16_t>(i + 1));
          r.setU32(88, 7);
        } else {
          r.setType(2);
        }
        ASSERT_TRUE(msk_fld_insert_quick(t, r));
      }
    ASSERT_TRUE(t.endBulk());
  }
  void AddManyTexts(int count) {
    Table t;
    ASSERT_TRUE(t.open(dir.Path(), TextwSchema()));
    t.beginBulk();
    for (int i = 1; i <= count; ++i)
      for (WORD language : {WORD(1031), WORD(1033)}) {
        TextwRow row;
        row.number = static_cast<std::uint32_t>(i);
        row.language = language;
        row.text = wxString::Format("%s %d", language == 1031 ? "Text" : "Text en", i);
        row.logId = language == 1031 ? static_cast<std::uint16_t>(i) : 0;
        ASSERT_TRUE(wtext_insert(t, row));
      }
    ASSERT_TRUE(t.endBulk());
  }
  // Another program changes a text of the table.
  void ChangeText(std::uint32_t number, WORD language, const wxString& text) {
    Table t;
    ASSERT_TRUE(t.open(dir.Path(), TextwSchema()));
    TextwRow row;
    ASSERT_TRUE(wtext_select(t, row, kSeek, "IDTEXT", {number, language}));
    row.text = text;
    ASSERT_TRUE(wtext_update(t, row));
  }
  TempDir dir;
  FakeDevice dev;
};

}  // namespace

TEST_F(MaskAndTextFolders, ScreensAreTheHeaderRecordsWithTitlesInTheDefaultLanguage) {
  CPOResMask folder(&dev.Node(), dev.Handle());
  EXPECT_FALSE(folder.HasListChildren());   // the table is there, but empty

  AddText(5, 1031, wxS("Startbild  "));
  AddText(5, 1033, wxS("Start screen"));
  AddScreen(wxS("Start"), 3, 5, 1, 0, 4);
  AddScreen(wxS("Alarme"), 0xFFFF, 99, 0, 1);
  AddScreen(wxString(wxS('M'), 30), 0, 0, 0, 0);
  EXPECT_TRUE(folder.HasListChildren());
  ASSERT_TRUE(folder.LoadChildren());
  // Element records make no screens; a 30-character name is kept whole.
  ASSERT_EQ((std::vector<wxString>{wxS("Alarme"), wxString(wxS('M'), 30), wxS("Start")}), ChildNames(folder));
  auto* start = static_cast<CPOMask*>(folder.GetChildren()[2]);
  auto* alarms = static_cast<CPOMask*>(folder.GetChildren()[0]);
  EXPECT_EQ(wxS("Startbild"), start->GetColumnText(3));
  EXPECT_EQ(wxS("3"), start->GetColumnText(2));
  EXPECT_EQ(wxS("x"), start->GetColumnText(4));
  EXPECT_EQ(wxString(), start->GetColumnText(5));
  EXPECT_EQ(wxString::Format(wxS("%u"), start->GetHeader().screenId), start->GetColumnText(1));
  EXPECT_NE(0u, start->GetHeader().screenId);
  EXPECT_EQ(wxS("???"), alarms->GetColumnText(2));
  EXPECT_EQ(wxString(), alarms->GetColumnText(3));   // its title text does not exist
  EXPECT_EQ(wxS("o"), alarms->GetColumnText(5));
  EXPECT_EQ(1, alarms->Compare(start, 5));            // a set flag sorts after an unset one
  EXPECT_EQ(1, alarms->Compare(start, 2));            // logical ids as numbers
  EXPECT_EQ(wxS("Elemente der Maske 'Start'"), start->GetListCaption());

  // Another default language shows the other title.
  dev.defaultLanguage = 1033;
  ASSERT_TRUE(folder.LoadChildren());
  EXPECT_EQ(start, folder.GetChildren()[2]);
  EXPECT_EQ(wxS("Start screen"), start->GetColumnText(3));
}

TEST_F(MaskAndTextFolders, ScreensFolderIsStaleWhenTheTableChangesAfterReading) {
  CPOResMask folder(&dev.Node(), dev.Handle());
  AddScreen(wxS("Start"), 0, 0, 0, 0);
  EXPECT_FALSE(folder.IsStale());   // nothing read yet
  ASSERT_TRUE(folder.LoadChildren());
  EXPECT_FALSE(folder.IsStale());

  const wxString table = hv::ResolvePath(dir.Sub(wxS("MSKFLD.DBF")));
  struct stat st {};
  ASSERT_EQ(0, ::stat(hv::ToFs(table).c_str(), &st));
  struct utimbuf later {st.st_atime, st.st_mtime + 10};
  ASSERT_EQ(0, ::utime(hv::ToFs(table).c_str(), &later));
  EXPECT_TRUE(folder.IsStale());
  ASSERT_TRUE(folder.LoadChildren());
  EXPECT_FALSE(folder.IsStale());

  ASSERT_EQ(0, std::remove(hv::ToFs(table).c_str()));
  EXPECT_TRUE(folder.IsStale());
  ASSERT_TRUE(folder.LoadChildren());
  EXPECT_TRUE(folder.HasNoChildren());
  EXPECT_FALSE(folder.IsStale());   // nothing listed, nothing to refresh
}

TEST_F(MaskAndTextFolders, TextsGroupTheLanguagesOfOneNumber) {
  dev.languages = {{1031, wxS("Deutsch")}, {1033, wxS("Englisch (USA)")}, {1036, wxS("Französisch (Frankreich)")}};
  AddText(1, 1031, wxS("Ein"), 4);
  AddText(1, 1033, wxS("On"));
  AddText(2, 1036, wxS("Arrêt"));
  CPOResString folder(&dev.Node(), dev.Handle());
  EXPECT_TRUE(folder.HasListChildren());
  ASSERT_TRUE(folder.LoadChildren());
  ASSERT_EQ(2u, folder.GetChildCount());
  auto* on = static_cast<CPOString*>(folder.GetChildren()[0]);
  auto* off = static_cast<CPOString*>(folder.GetChildren()[1]);
  EXPECT_EQ(wxS("Ein"), on->GetName());
  EXPECT_EQ(wxS("On"), on->GetText(1033));
  EXPECT_EQ(wxS("Ein"), on->GetText(1031));
  EXPECT_EQ(wxString(), on->GetText(1036));
  EXPECT_EQ(wxS("4"), on->GetColumnText(2));
  EXPECT_EQ(wxS("1"), on->GetColumnText(1));
  EXPECT_EQ(wxString(), off->GetName());   // no text in the default language

  std::span<ColumnDef> columns = folder.GetColumnDefs();
  ASSERT_EQ(5u, columns.size());
  EXPECT_EQ(wxS("Text"), columns[0].title);
  EXPECT_EQ(wxS("Englisch (USA)"), columns[3].title);
  EXPECT_EQ(1033, columns[3].key);
  EXPECT_EQ(1036, columns[4].key);
  EXPECT_EQ(4, columns[4].subItem);
  EXPECT_EQ(wxS("On"), on->GetColumnText(3));
  EXPECT_EQ(wxS("Arrêt"), off->GetColumnText(4));
  EXPECT_EQ(wxString(), off->GetColumnText(5));   // no such column
}

TEST_F(MaskAndTextFolders, TextColumnsFollowTheLanguagesWhateverTheirNumber) {
  CPOResString folder(&dev.Node(), dev.Handle());
  // Without languages only the fixed columns.
  dev.languages.clear();
  EXPECT_EQ(3u, folder.GetColumnDefs().size());

  // More languages than the old fixed table had room for.
  dev.languages = {{1031, wxS("Deutsch")}};
  for (WORD n = 0; n < 64; ++n) dev.languages.push_back({static_cast<WORD>(32768 + n), wxString::Format(wxS("L%d"), n)});
  std::span<ColumnDef> columns = folder.GetColumnDefs();
  ASSERT_EQ(67u, columns.size());
  EXPECT_EQ(32768 + 63, columns.back().key);
  EXPECT_EQ(66, columns.back().subItem);

  // What the list wrote into a language's column stays with that language when the
  // languages change.
  columns[4].width = 77;
  dev.languages.erase(dev.languages.begin() + 1);   // the first added language goes
  columns = folder.GetColumnDefs();
  ASSERT_EQ(66u, columns.size());
  EXPECT_EQ(32769, columns[3].key);
  EXPECT_EQ(77, columns[3].width);
  EXPECT_EQ(200, columns[4].width);
}

// A reload stopped by the user leaves the screens the folder had: the same objects with
// their old headers, nothing made meanwhile left over, and the folder still stale.
TEST_F(MaskAndTextFolders, ACancelledReloadLeavesTheOldScreensAsTheyWere) {
  CancelLoop loop;
  AddText(7, 1031, wxS("Alt"));
  AddManyScreens(1700);
  CPOResMask folder(&dev.Node(), dev.Handle());
  ASSERT_TRUE(Reload(folder));
  const std::vector<ObjectSerial> before = Serials(folder);
  ASSERT_EQ(1700u, before.size());
  ASSERT_EQ(wxS("Alt"), folder.GetChildren()[0]->GetColumnText(3));

  AddScreen(wxS("Z_Neu"), 0, 0, 0, 0);
  ChangeText(7, 1031, wxS("Neu"));
  const wxString table = hv::ResolvePath(dir.Sub(wxS("MSKFLD.DBF")));
  struct stat st {};
  ASSERT_EQ(0, ::stat(hv::ToFs(table).c_str(), &st));
  struct utimbuf later {st.st_atime, st.st_mtime + 10};
  ASSERT_EQ(0, ::utime(hv::ToFs(table).c_str(), &later));
  ASSERT_TRUE(folder.IsStale());

  const std::size_t live = live::LiveCount();
  loop.cancel = true;
  EXPECT_TRUE(Reload(folder));
  EXPECT_EQ(before, Serials(folder));
  EXPECT_EQ(wxS("Alt"), folder.GetChildren()[0]->GetColumnText(3));
  EXPECT_EQ(wxS("Alt"), folder.GetChildren()[1699]->GetColumnText(3));
  EXPECT_EQ(live, live::LiveCount());
  EXPECT_TRUE(folder.IsStale());   // the next refresh still reads the change
  EXPECT_EQ(0, loop.depth);

  loop.cancel = false;
  ASSERT_TRUE(Reload(folder));
  ASSERT_EQ(1701u, folder.GetChildCount());
  EXPECT_EQ(before[0], folder.GetChildren()[0]->GetSerial());
  EXPECT_EQ(wxS("Neu"), folder.GetChildren()[0]->GetColumnText(3));
  EXPECT_FALSE(folder.IsStale());
}

// The same for texts: no old text takes a value of the stopped walk.
TEST_F(MaskAndTextFolders, ACancelledReloadLeavesTheOldTextsAsTheyWere) {
  dev.languages = {{1031, wxS("Deutsch")}, {1033, wxS("Englisch (USA)")}};
  CancelLoop loop;
  AddManyTexts(2600);
  CPOResString folder(&dev.Node(), dev.Handle());
  ASSERT_TRUE(Reload(folder));
  const std::vector<ObjectSerial> before = Serials(folder);
  ASSERT_EQ(2600u, before.size());

  AddText(9000, 1031, wxS("Neu"));
  ChangeText(1, 1031, wxS("Eins"));
  ChangeText(1, 1033, wxS("One"));
  ChangeText(2600, 1033, wxS("Last"));

  const std::size_t live = live::LiveCount();
  loop.cancel = true;
  EXPECT_TRUE(Reload(folder));
  EXPECT_EQ(before, Serials(folder));
  auto* first = static_cast<CPOString*>(folder.GetChildren()[0]);
  auto* last = static_cast<CPOString*>(folder.GetChildren()[2599]);
  EXPECT_EQ(wxS("Text 1"), first->GetName());
  EXPECT_EQ(wxS("Text en 1"), first->GetText(1033));
  EXPECT_EQ(1u, first->GetTextNumber());
  EXPECT_EQ(wxS("1"), first->GetColumnText(2));
  EXPECT_EQ(wxS("Text en 2600"), last->GetText(1033));
  EXPECT_EQ(live, live::LiveCount());
  EXPECT_EQ(0, loop.depth);

  loop.cancel = false;
  ASSERT_TRUE(Reload(folder));
  ASSERT_EQ(2601u, folder.GetChildCount());
  EXPECT_EQ(before[0], folder.GetChildren()[0]->GetSerial());
  EXPECT_EQ(wxS("Eins"), first->GetName());
  EXPECT_EQ(wxS("One"), first->GetText(1033));
  EXPECT_EQ(wxS("1"), first->GetColumnText(2));
  EXPECT_EQ(wxS("Last"), last->GetText(1033));
  EXPECT_EQ(wxS("Neu"), folder.GetChildren()[2600]->GetName());
}
