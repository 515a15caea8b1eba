#include <gtest/gtest.h>

#include <wx/clipbrd.h>
#include <wx/dataobj.h>

#include <algorithm>

#include "framework/ClipboardFiles.h"
#include "app/ClipboardTransfer.h"
#include "app/TavProjectDoc.h"
#include "app/ui/WxClipboardStore.h"
#include "tests/gui/support/ClipboardOwner.h"
#include "tests/gui/support/WindowFixture.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using hvtest::S;

namespace {

bool Lists(const std::vector<wxString>& formats, const wxString& name) {
  return std::find(formats.begin(), formats.end(), name) != formats.end();
}

}  // namespace

TEST(ClipboardGui, ObjectBlocksTravelUnderOurFormat) {
  WxClipboardStore store;
  std::string bytes("HVOB\x01\x00\x00\x02\x00\x00\x00", 11);
  bytes += std::string("\xFF\xFE\x80 Ende", 8);
  ASSERT_TRUE(store.Put(S("POCT21213100"), bytes));
  {
    wxClipboardLocker lock;
    ASSERT_TRUE(!!lock);
    EXPECT_TRUE(wxTheClipboard->IsSupported(wxDataFormat(WxClipboardStore::kObjectsFormat)));
  }
  // Another reader (a second copy of the program) sees the same.
  WxClipboardStore reader;
  EXPECT_EQ(std::vector<wxString>{S("POCT21213100")}, reader.Formats());
  ASSERT_TRUE(reader.Get(S("POCT21213100")));
  EXPECT_EQ(bytes, *reader.Get(S("POCT21213100")));
  EXPECT_FALSE(reader.Get(S("POCT21211100")));
  EXPECT_FALSE(reader.Get(S("text/uri-list")));

  ASSERT_TRUE(store.Clear());
  reader.Invalidate();
  EXPECT_TRUE(reader.Formats().empty());
}

TEST(ClipboardGui, FileListsGoBothWaysWithTheToolkitsFileFormat) {
  WxClipboardStore store;
  ASSERT_TRUE(PutClipboardFiles(store, {S("/tmp/Ä b.pdf"), S("/tmp/c")}, true));
  {
    wxClipboardLocker lock;
    wxFileDataObject files;
    ASSERT_TRUE(wxTheClipboard->GetData(files));
    EXPECT_EQ(2u, files.GetFilenames().size());
    EXPECT_EQ(S("/tmp/Ä b.pdf"), files.GetFilenames()[0]);
  }
  WxClipboardStore reader;
  const std::vector<wxString> formats = reader.Formats();
  EXPECT_TRUE(Lists(formats, kUriListFormat));
  EXPECT_TRUE(Lists(formats, kGnomeCopiedFilesFormat));
  ClipboardFileList list = ReadClipboardFiles(reader);
  EXPECT_TRUE(list.move);
  EXPECT_EQ((std::vector<wxString>{S("/tmp/Ä b.pdf"), S("/tmp/c")}), list.paths);

  // A plain file list, as other programs offer it, reads as copied files.
  {
    wxClipboardLocker lock;
    auto* files = new wxFileDataObject;
    files->AddFile(S("/tmp/x y.txt"));
    ASSERT_TRUE(wxTheClipboard->SetData(files));
  }
  reader.Invalidate();
  list = ReadClipboardFiles(reader);
  EXPECT_TRUE(list.present);
  EXPECT_FALSE(list.move);
  EXPECT_EQ((std::vector<wxString>{S("/tmp/x y.txt")}), list.paths);
  wxTheClipboard->Clear();
}

TEST(ClipboardGui, CopyInTheTreeAndPasteInTheList) {
  hvtest::ScriptedUi ui;
  hvtest::FakeClasses classes;
  WxClipboardStore store;
  ScopedClipboardStore use(store);
  CTavProjectDoc doc;
  hvtest::FakeObject source(TypeCode::ResMask, "CPOResMask", S("Masken"));
  hvtest::FakeObject* screen = source.Add(TypeCode::Mask, S("Startbild"), "CPOMask");
  hvtest::FakeObject target(TypeCode::ResMask, "CPOResMask", S("Masken 2"));

  TreeCopy(ObjectRef(screen));
  EXPECT_TRUE(ListCanPaste(ObjectRef(&target)));
  ListPaste(ObjectRef(&target), ObjectRef());
  ASSERT_EQ(1u, target.GetChildCount());
  EXPECT_EQ(S("Startbild"), target.GetChildren()[0]->GetName());
  // The list's paste empties the clipboard.
  store.Invalidate();
  EXPECT_FALSE(ListCanPaste(ObjectRef(&target)));
}

namespace {

// Objects on the clipboard that count how often their bytes are handed out.
class CountingObjects : public wxCustomDataObject {
 public:
  explicit CountingObjects(long& handed) : wxCustomDataObject(wxDataFormat(WxClipboardStore::kObjectsFormat)), m_handed(handed) {}
  bool GetDataHere(void* buf) const override {
    ++m_handed;
    return wxCustomDataObject::GetDataHere(buf);
  }

 private:
  long& m_handed;
};

}  // namespace

// The paste command's state asks the formats only: large objects on the clipboard are
// not fetched for it, however often it is asked, only for the paste itself.
TEST(ClipboardGui, FormatsAreToldWithoutFetchingTheObjects) {
  WxClipboardStore store;
  const std::string bytes = "HVOB" + std::string(1 << 20, 'x');
  ASSERT_TRUE(store.Put(S("POCT21213100"), bytes));
  // The same block, offered again by objects that count their fetches.
  long handed = 0;
  {
    wxClipboardLocker lock;
    ASSERT_TRUE(!!lock);
    wxCustomDataObject plain(wxDataFormat(WxClipboardStore::kObjectsFormat));
    ASSERT_TRUE(wxTheClipboard->GetData(plain));
    wxCustomDataObject name(wxDataFormat("application/x-halvora-objects-format"));
    ASSERT_TRUE(wxTheClipboard->GetData(name));
    auto* composite = new wxDataObjectComposite;
    auto* objects = new CountingObjects(handed);
    objects->SetData(plain.GetSize(), plain.GetData());
    composite->Add(objects, true);
    auto* named = new wxCustomDataObject(wxDataFormat("application/x-halvora-objects-format"));
    named->SetData(name.GetSize(), name.GetData());
    composite->Add(named, false);
    ASSERT_TRUE(wxTheClipboard->SetData(composite));
  }
  handed = 0;
  WxClipboardStore reader;
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(std::vector<wxString>{S("POCT21213100")}, reader.Formats());
    reader.Invalidate();   // as after each menu opening
  }
  EXPECT_EQ(handed, 0);
  const auto got = reader.Get(S("POCT21213100"));
  ASSERT_TRUE(got);
  EXPECT_EQ(*got, bytes);
  EXPECT_GE(handed, 1);
  ASSERT_TRUE(store.Clear());
}

// Another program's contents become known in the background, once it has answered: a
// question answers at once with what has come so far. Answers that come after the store
// that asked has gone go nowhere. The objects are fetched for a paste, waiting for the
// slow program; our own copy then replaces its contents and is known at once.
TEST(ClipboardGui, AnotherProgramsContentsBecomeKnownInTheBackground) {
  hvtest::TempHome home;
  hvtest::ClipboardOwner owner(home, "slow=300", {"--objects=POCT21213100", "/tmp/Ä b.pdf"});
  ASSERT_TRUE(owner.Owning());
  {
    WxClipboardStore gone;
    EXPECT_TRUE(gone.Formats().empty());
  }
  WxClipboardStore store;
  EXPECT_TRUE(store.Formats().empty());
  ASSERT_TRUE(hvtest::PumpUntil(
      [&] { return ReadClipboardFiles(store).present && Lists(store.Formats(), S("POCT21213100")); },
      std::chrono::seconds(60)));
  EXPECT_EQ(S("POCT21213100"), store.Formats().front());
  EXPECT_EQ(std::vector<wxString>{S("/tmp/Ä b.pdf")}, ReadClipboardFiles(store).paths);
  EXPECT_EQ(std::optional<std::string>(""), store.Get(S("POCT21213100")));

  ASSERT_TRUE(store.Put(S("POCT21211100"), "HVOB"));
  EXPECT_EQ(std::vector<wxString>{S("POCT21211100")}, store.Formats());
  ASSERT_TRUE(store.Clear());
}

// Files another program cut are known as cut each time its contents are asked for: the
// file manager's own list, the one that tells a cut, is the first asked for once the
// formats are in, and is not lost for asking while the toolkit is still busy.
TEST(ClipboardGui, FilesAnotherProgramCutAreKnownAsCutEachTime) {
  hvtest::TempHome home;
  hvtest::ClipboardOwner owner(home, "answer", {"--cut", "/tmp/Notiz.txt"});
  ASSERT_TRUE(owner.Owning());
  WxClipboardStore store;
  for (int round = 0; round < 5; ++round) {
    store.Invalidate();
    ASSERT_TRUE(hvtest::PumpUntil([&] { return ReadClipboardFiles(store).present; }, std::chrono::seconds(30)))
        << round;
    hvtest::PumpUntilIdle();
    const ClipboardFileList list = ReadClipboardFiles(store);
    EXPECT_TRUE(list.move) << round;
    EXPECT_EQ(std::vector<wxString>{S("/tmp/Notiz.txt")}, list.paths) << round;
  }
}
