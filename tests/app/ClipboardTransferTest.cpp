#include <gtest/gtest.h>

#include "model/ClipboardBlock.h"
#include "framework/ClipboardStore.h"
#include "app/ClipboardTransfer.h"
#include "app/TavProjectDoc.h"
#include "framework/Services.h"
#include "model/ModelServices.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using hvtest::FakeObject;
using hvtest::ChildNames;
using hvtest::S;

namespace {

// An object with data of its own on the clipboard: a payload and the names of its
// parts (children it writes and rebuilds itself, like a screen's elements).
class Item : public FakeObject {
 public:
  Item(TypeCode code, std::string className) : FakeObject(code, std::move(className)) {}

  // The data-point kinds name the other kind too, as their classes do.
  wxString GetClipboardFormatName() override {
    if (GetTypeCode() == TypeCode::DataPoint) return MakeClipboardFormatName(TypeCode::DataPoint, TypeCode::DirectDataPoint);
    if (GetTypeCode() == TypeCode::DirectDataPoint)
      return MakeClipboardFormatName(TypeCode::DirectDataPoint, TypeCode::DataPoint);
    return FakeObject::GetClipboardFormatName();
  }
  BOOL WriteToClipboard(CArchive& ar) override {
    ++writes;
    ar.WriteString(payload, true);
    ar.WriteU32(static_cast<std::uint32_t>(GetChildCount()));
    for (CProjectObject* part : GetChildren()) ar.WriteString(part->GetName(), true);
    return TRUE;
  }
  BOOL Cut(CArchive& ar) override {
    if (refuseSeveral && IsMultipleSelection()) {
      SetMultipleSelection(FALSE);
      return FALSE;
    }
    WriteToClipboard(ar);
    return cutAnswer;
  }
  BOOL ReadFromClipboard(CArchive& ar, CProjectObject* target) override {
    readInto = target;
    payload = ar.ReadString();
    if (payload == "kaputt") return FALSE;
    const std::uint32_t n = ar.ReadU32();
    ar.CheckCount(n, 1);
    for (std::uint32_t i = 0; i < n; ++i) Add(TypeCode::None, ar.ReadString());
    return TRUE;
  }

  wxString payload;
  BOOL cutAnswer = TRUE;
  bool refuseSeveral = false;
  int writes = 0;
  void SetCopyFlag(int copy) override { copyFlags.push_back(copy); }
  static inline std::vector<int> copyFlags;
  ObjectRef readInto;
};

Item* AddItem(CProjectObject& parent, TypeCode code, const char* className, const wxString& name,
              const wxString& payload = wxString()) {
  auto item = std::make_unique<Item>(code, className);
  item->SetName(name);
  item->payload = payload;
  return static_cast<Item*>(parent.AddChild(std::move(item)));
}

class ClipboardTransferTest : public testing::Test {
 protected:
  ClipboardTransferTest() {
    doc.AddView(&view);
    SetClipboardCopyFlag(TRUE);
    for (auto [code, name] : {std::pair{TypeCode::Mask, "CPOMask"}, std::pair{TypeCode::Bitmap, "CPOBitmap"},
                              std::pair{TypeCode::DataPoint, "CPODataPoint"},
                              std::pair{TypeCode::DirectDataPoint, "CPODirectDataPoint"},
                              std::pair{TypeCode::Project, "CPOProject"}}) {
      items.push_back(std::make_unique<ScopedObjectClass>(name, [code = code, name = name] {
        return std::unique_ptr<CProjectObject>(new Item(code, name));
      }));
    }
  }

  // A device with its resource folder and a screen folder holding one screen.
  Item* MakeScreen(FakeObject& device, const wxString& name, const wxString& payload) {
    CProjectObject* res = device.Add(TypeCode::Resource, S("Ressourcen"), "CPOResource");
    CProjectObject* masks = static_cast<FakeObject*>(res)->Add(TypeCode::ResMask, S("Masken"), "CPOResMask");
    Item* screen = AddItem(*masks, TypeCode::Mask, "CPOMask", name, payload);
    screen->Add(TypeCode::None, S("Knopf"));
    screen->Add(TypeCode::None, S("Text"));
    return screen;
  }

  std::size_t ClipboardSize() { return store.Entries().empty() ? 0 : store.Entries().front().bytes.size(); }

  hvtest::ScriptedUi ui;
  hvtest::FakeClasses classes;
  std::vector<std::unique_ptr<ScopedObjectClass>> items;
  MemoryClipboardStore store;
  ScopedClipboardStore useStore{store};
  CTavProjectDoc doc;
  hvtest::RecordingView view;
};

}  // namespace

TEST(ClipboardFormatName, BuiltAndParsedStrictly) {
  EXPECT_EQ(S("POCT21213100"), MakeClipboardFormatName(TypeCode::Mask));
  EXPECT_EQ(S("POCT21232110/21231000"), MakeClipboardFormatName(TypeCode::DataPoint, TypeCode::DirectDataPoint));
  struct Row {
    const char* name;
    bool ok;
    std::uint32_t code, alternative;
  };
  const Row rows[] = {
      {"POCT21213100", true, 0x21213100, 0},
      {"POCT21232110/21231000", true, 0x21232110, 0x21231000},
      {"POCT20000000", true, 0x20000000, 0},
      {"POCT2121310", false, 0, 0},             // seven digits
      {"POCT212131000", false, 0, 0},           // nine
      {"POCT2121310G", false, 0, 0},
      {"POCT21213100/", false, 0, 0},
      {"POCT21213100/2123100", false, 0, 0},
      {"POCT21213100x21231000", false, 0, 0},
      {"POCTabcdef00", false, 0, 0},            // our names are upper case
      {"POCT", false, 0, 0},
      {"text/uri-list", false, 0, 0},
  };
  for (const Row& row : rows) {
    TypeCode code, alternative;
    EXPECT_EQ(row.ok, ParseClipboardFormatName(row.name, code, alternative)) << row.name;
    EXPECT_EQ(row.code, ToUInt(code)) << row.name;
    EXPECT_EQ(row.alternative, ToUInt(alternative)) << row.name;
  }
}

TEST_F(ClipboardTransferTest, CopiedTreePastesAsAnIndependentCopyThroughMissingGroupingFolders) {
  FakeObject source(TypeCode::PrjDevice, "CPOPrjDevice", S("Panel 1"));
  Item* screen = MakeScreen(source, S("Start"), S("Layout A"));
  FakeObject target(TypeCode::PrjDevice, "CPOPrjDevice", S("Panel 2"));

  TreeCopy(ObjectRef(screen));
  wxString format;
  EXPECT_TRUE(TreeCanPaste(ObjectRef(&target), false, &format));
  EXPECT_EQ(S("POCT21213100"), format);
  // The list offers only direct children of the listed object.
  EXPECT_FALSE(ListCanPaste(ObjectRef(&target)));

  TreePaste(ObjectRef(&target), false);
  CProjectObject* res = target.FindChildOfType(TypeCode::Resource);
  CProjectObject* masks = res ? res->FindChildOfType(TypeCode::ResMask) : nullptr;
  ASSERT_TRUE(masks && masks->GetChildCount() == 1);
  auto* copy = dynamic_cast<Item*>(masks->GetChildren()[0]);
  ASSERT_NE(nullptr, copy);
  EXPECT_EQ(S("Start"), copy->GetName());
  EXPECT_EQ(S("Layout A"), copy->payload);
  EXPECT_EQ((std::vector<wxString>{S("Knopf"), S("Text")}), ChildNames(*copy));
  EXPECT_EQ(masks, copy->readInto.Get());
  EXPECT_EQ((std::vector<int>{2, 2, 2}), view.Hints());

  // Changing the original leaves the copy alone, and the original is still in place.
  screen->payload = S("Layout B");
  screen->DeleteAllChildren();
  EXPECT_EQ(S("Layout A"), copy->payload);
  EXPECT_EQ(2u, copy->GetChildCount());

  // A copy pasted in the tree stays on the clipboard for another paste.
  TreePaste(ObjectRef(&target), false);
  EXPECT_EQ(2u, masks->GetChildCount());
  EXPECT_EQ(1u, res->GetChildCount());   // the grouping folders are reused
}

TEST_F(ClipboardTransferTest, CutMovesAndIsPastedOnce) {
  FakeObject source(TypeCode::PrjDevice, "CPOPrjDevice", S("Panel 1"));
  Item* screen = MakeScreen(source, S("Start"), S("Layout A"));
  CProjectObject* sourceMasks = screen->GetParent();
  FakeObject target(TypeCode::PrjDevice, "CPOPrjDevice", S("Panel 2"));
  target.Add(TypeCode::Resource, S("Ressourcen"), "CPOResource")->AddChild(
      std::make_unique<FakeObject>(TypeCode::ResMask, "CPOResMask", S("Masken")));

  // Nothing is cut while the clipboard cannot take the data.
  store.refuseOpen = true;
  ui.ExpectMessage(10980);
  TreeCut(ObjectRef(screen));
  EXPECT_TRUE(CProjectObject::IsValidObject(screen));
  store.refuseOpen = false;

  TreeCut(ObjectRef(screen));
  EXPECT_FALSE(GetClipboardCopyFlag());
  EXPECT_TRUE(sourceMasks->HasNoChildren());
  EXPECT_TRUE(ClipboardHoldsUnpastedCut());

  TreePaste(ObjectRef(&target), false);
  CProjectObject* masks = target.FindChildOfType(TypeCode::Resource)->FindChildOfType(TypeCode::ResMask);
  EXPECT_EQ((std::vector<wxString>{S("Start")}), ChildNames(*masks));
  // Cut data are pasted once: the clipboard is empty now.
  EXPECT_TRUE(store.Entries().empty());
  EXPECT_FALSE(ClipboardHoldsUnpastedCut());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST_F(ClipboardTransferTest, ProjectFoldersAreNeitherCopiedNorCutFromTheTree) {
  FakeObject folder(TypeCode::PrjFolder, "CPOPrjFolder", S("Ordner"));
  store.Put("text/plain", "vorher");
  TreeCopy(ObjectRef(&folder));
  TreeCut(ObjectRef(&folder));
  ASSERT_EQ(1u, store.Entries().size());
  EXPECT_EQ(S("text/plain"), store.Entries()[0].format);
  EXPECT_TRUE(CProjectObject::IsValidObject(&folder));
}

TEST_F(ClipboardTransferTest, ProjectsCarryTheirCopyFlag) {
  std::vector<int>& flags = Item::copyFlags;
  flags.clear();
  FakeObject root(TypeCode::PrjFolder, "CPOPrjFolder", S("Ordner"));
  Item* project = AddItem(root, TypeCode::Project, "CPOProject", S("Anlage"));
  Item* other = AddItem(root, TypeCode::Project, "CPOProject", S("Anlage 2"));
  TreeCopy(ObjectRef(project));
  ListCopy(std::vector<ObjectRef>{ObjectRef(project)});   // the list leaves it to the project
  TreeCut(ObjectRef(project));
  ListCut(std::vector<ObjectRef>{ObjectRef(other)});
  EXPECT_EQ((std::vector<int>{1, 0, 0}), flags);
}

TEST_F(ClipboardTransferTest, ListPasteEmptiesTheClipboardTreePasteKeepsCopies) {
  FakeObject source(TypeCode::ResMask, "CPOResMask", S("Masken"));
  Item* screen = AddItem(source, TypeCode::Mask, "CPOMask", S("Start"));
  FakeObject target(TypeCode::ResMask, "CPOResMask", S("Masken 2"));

  ListCopy(std::vector<ObjectRef>{ObjectRef(screen)});
  ListPaste(ObjectRef(&target), ObjectRef());
  EXPECT_EQ(1u, target.GetChildCount());
  EXPECT_FALSE(GetClipboardCopyFlag());
  EXPECT_TRUE(store.Entries().empty());

  TreeCopy(ObjectRef(screen));
  TreePaste(ObjectRef(&target), false);
  TreePaste(ObjectRef(&target), false);
  EXPECT_EQ(3u, target.GetChildCount());
  EXPECT_EQ(1u, store.Entries().size());
}

TEST_F(ClipboardTransferTest, PasteIsOfferedWhereTheTypeFits) {
  FakeObject device(TypeCode::PrjDevice, "CPOPrjDevice", S("Panel"));
  FakeObject project(TypeCode::Project, "CPOProject", S("Anlage"));
  FakeObject bitmaps(TypeCode::ResBitmap, "CPOResBitmap", S("Bitmaps"));
  FakeObject masks(TypeCode::ResMask, "CPOResMask", S("Masken"));
  FakeObject dpFolder(TypeCode::PrjDataPoint, "CPOPrjDataPoint", S("Datenpunkte"));
  FakeObject fieldDevice(TypeCode::Device, "CPODevice", S("Slave"));

  store.Put(MakeClipboardFormatName(TypeCode::Bitmap), "x");
  EXPECT_TRUE(TreeCanPaste(ObjectRef(&device), false));    // through two grouping levels
  EXPECT_FALSE(TreeCanPaste(ObjectRef(&project), false));  // a device is no grouping level
  EXPECT_TRUE(TreeCanPaste(ObjectRef(&bitmaps), false));
  EXPECT_FALSE(TreeCanPaste(ObjectRef(&masks), false));
  EXPECT_FALSE(ListCanPaste(ObjectRef(&device)));
  EXPECT_TRUE(ListCanPaste(ObjectRef(&bitmaps)));
  EXPECT_FALSE(TreeCanPaste(ObjectRef(), false));

  // Each data-point kind may go where the other belongs.
  store.Put(MakeClipboardFormatName(TypeCode::DataPoint, TypeCode::DirectDataPoint), "x");
  EXPECT_TRUE(TreeCanPaste(ObjectRef(&dpFolder), false));
  EXPECT_TRUE(ListCanPaste(ObjectRef(&dpFolder)));
  EXPECT_TRUE(ListCanPaste(ObjectRef(&fieldDevice)));
  store.Put(MakeClipboardFormatName(TypeCode::DirectDataPoint, TypeCode::DataPoint), "x");
  EXPECT_TRUE(TreeCanPaste(ObjectRef(&fieldDevice), false));
  EXPECT_TRUE(ListCanPaste(ObjectRef(&fieldDevice)));
  EXPECT_TRUE(ListCanPaste(ObjectRef(&dpFolder)));
  EXPECT_FALSE(ListCanPaste(ObjectRef(&bitmaps)));

  // Folders go into folders; an object is gone once removed.
  FakeObject folder(TypeCode::PrjFolder, "CPOPrjFolder", S("Ordner"));
  folder.pasteTarget = true;
  store.Put(MakeClipboardFormatName(TypeCode::PrjFolder), "x");
  EXPECT_TRUE(ListCanPaste(ObjectRef(&folder)));
  EXPECT_FALSE(TreeCanPaste(ObjectRef(&device), false));

  // A name that only looks like ours offers nothing.
  store.Put(S("POCT2121110"), "x");
  EXPECT_FALSE(TreeCanPaste(ObjectRef(&bitmaps), false));
  store.Clear();
  EXPECT_FALSE(TreeCanPaste(ObjectRef(&bitmaps), false));
}

TEST_F(ClipboardTransferTest, EmptyAreaMenuPastesOnlyProjectFoldersAtTheTopLevel) {
  FakeObject parent(TypeCode::PrjFolder, "CPOPrjFolder", S("Oben"));
  CProjectObject* folder = parent.Add(TypeCode::PrjFolder, S("Ordner"), "CPOPrjFolder");
  ListCopy(std::vector<ObjectRef>{ObjectRef(folder)});
  // No target is needed: the menu cleared the selection.
  const std::size_t roots = doc.GetRootCount();
  TreePaste(ObjectRef(), true);
  ASSERT_EQ(roots + 1, doc.GetRootCount());
  EXPECT_EQ(S("Ordner"), doc.GetRoot(roots)->GetName());
  EXPECT_EQ((std::vector<int>{2}), view.Hints());

  FakeObject masks(TypeCode::ResMask, "CPOResMask", S("Masken"));
  Item* screen = AddItem(masks, TypeCode::Mask, "CPOMask", S("Start"));
  TreeCopy(ObjectRef(screen));
  EXPECT_FALSE(TreeCanPaste(ObjectRef(&masks), true));
  TreePaste(ObjectRef(&masks), true);
  EXPECT_EQ(roots + 1, doc.GetRootCount());
  EXPECT_EQ(1u, masks.GetChildCount());
}

TEST_F(ClipboardTransferTest, DataPointsChangeKindWhereTheOtherKindBelongs) {
  FakeObject fieldDevice(TypeCode::Device, "CPODevice", S("Slave"));
  Item* point = AddItem(fieldDevice, TypeCode::DataPoint, "CPODataPoint", S("Temperatur"), S("Adresse 7"));
  FakeObject dpFolder(TypeCode::PrjDataPoint, "CPOPrjDataPoint", S("Datenpunkte"));

  // Without the data-point code nothing can be converted: nothing arrives.
  ListCopy(std::vector<ObjectRef>{ObjectRef(point)});
  SetClipboardCopyFlag(TRUE);
  TreePaste(ObjectRef(&dpFolder), false);
  EXPECT_TRUE(dpFolder.HasNoChildren());

  struct Conversion : hv::IDataPointConversion {
    int conversions = 0;
    std::unique_ptr<CProjectObject> Convert(CProjectObject& read, CProjectObject& target) override {
      ++conversions;
      const TypeCode to = target.GetTypeCode() == TypeCode::Device ? TypeCode::DataPoint : TypeCode::DirectDataPoint;
      auto made = std::make_unique<Item>(to, to == TypeCode::DataPoint ? "CPODataPoint" : "CPODirectDataPoint");
      made->CopyBaseFrom(read);
      return made;
    }
  } conversion;
  hv::ServiceOverride<hv::IDataPointConversion> bound(&conversion);
  int& conversions = conversion.conversions;
  TreePaste(ObjectRef(&dpFolder), false);
  ASSERT_EQ(1u, dpFolder.GetChildCount());
  CProjectObject* direct = dpFolder.GetChildren()[0];
  EXPECT_EQ(TypeCode::DirectDataPoint, direct->GetTypeCode());
  EXPECT_EQ(S("Adresse 7"), static_cast<Item*>(direct)->payload);

  // And back, through the list.
  FakeObject otherDevice(TypeCode::Device, "CPODevice", S("Slave 2"));
  ListCopy(std::vector<ObjectRef>{ObjectRef(direct)});
  ListPaste(ObjectRef(&otherDevice), ObjectRef());
  ASSERT_EQ(1u, otherDevice.GetChildCount());
  EXPECT_EQ(TypeCode::DataPoint, otherDevice.GetChildren()[0]->GetTypeCode());
  EXPECT_EQ(2, conversions);
}

TEST_F(ClipboardTransferTest, MixedListCopyPastesOnlyTheObjectsThatFit) {
  FakeObject bitmaps(TypeCode::ResBitmap, "CPOResBitmap", S("Bitmaps"));
  FakeObject masks(TypeCode::ResMask, "CPOResMask", S("Masken"));
  Item* screen1 = AddItem(masks, TypeCode::Mask, "CPOMask", S("Start"));
  Item* bitmap = AddItem(bitmaps, TypeCode::Bitmap, "CPOBitmap", S("Logo"));
  Item* screen2 = AddItem(masks, TypeCode::Mask, "CPOMask", S("Ende"));
  ListCopy(std::vector<ObjectRef>{ObjectRef(screen1), ObjectRef(bitmap), ObjectRef(screen2)});
  ASSERT_EQ(1u, store.Entries().size());
  EXPECT_EQ(S("POCT21213100"), store.Entries()[0].format);   // the last row's

  FakeObject target(TypeCode::ResMask, "CPOResMask", S("Masken 2"));
  ListPaste(ObjectRef(&target), ObjectRef());
  EXPECT_EQ((std::vector<wxString>{S("Start"), S("Ende")}), ChildNames(target));
}

TEST_F(ClipboardTransferTest, ListPasteIntoASelectedFolderOfTheListedKind) {
  FakeObject folder(TypeCode::PrjFolder, "CPOPrjFolder", S("Ordner"));
  folder.pasteTarget = true;
  FakeObject* sub = folder.Add(TypeCode::PrjFolder, S("Unterordner"), "CPOPrjFolder");
  sub->pasteTarget = true;
  FakeObject other(TypeCode::PrjFolder, "CPOPrjFolder", S("Quelle"));
  Item* project = AddItem(other, TypeCode::Project, "CPOProject", S("Anlage"));
  ListCopy(std::vector<ObjectRef>{ObjectRef(project)});
  ListPaste(ObjectRef(&folder), ObjectRef(sub));
  EXPECT_EQ((std::vector<wxString>{S("Anlage")}), ChildNames(*sub));
  EXPECT_EQ(1u, folder.GetChildCount());
}

TEST_F(ClipboardTransferTest, AFailedObjectSparesTheOthers) {
  FakeObject masks(TypeCode::ResMask, "CPOResMask", S("Masken"));
  AddItem(masks, TypeCode::Mask, "CPOMask", S("Eins"));
  AddItem(masks, TypeCode::Mask, "CPOMask", S("Zwei"), S("kaputt"));
  AddItem(masks, TypeCode::Mask, "CPOMask", S("Drei"));
  std::vector<ObjectRef> rows;
  for (CProjectObject* c : masks.GetChildren()) rows.emplace_back(c);
  ListCopy(rows);

  FakeObject target(TypeCode::ResMask, "CPOResMask", S("Masken 2"));
  TreePaste(ObjectRef(&target), false);
  EXPECT_EQ((std::vector<wxString>{S("Eins"), S("Drei")}), ChildNames(target));
  // The failed one was added, announced as removed, and is gone.
  EXPECT_EQ((std::vector<int>{2, 3, 2}), view.Hints());
}

TEST_F(ClipboardTransferTest, AFailedReadRemovesOnlyTheGroupingFoldersThisPasteMade) {
  FakeObject source(TypeCode::ResMask, "CPOResMask", S("Masken"));
  Item* broken = AddItem(source, TypeCode::Mask, "CPOMask", S("Kaputt"), S("kaputt"));
  TreeCopy(ObjectRef(broken));

  FakeObject fresh(TypeCode::PrjDevice, "CPOPrjDevice", S("Neu"));
  TreePaste(ObjectRef(&fresh), false);
  EXPECT_TRUE(fresh.HasNoChildren());

  FakeObject loaded(TypeCode::PrjDevice, "CPOPrjDevice", S("Geladen"));
  FakeObject* res = loaded.Add(TypeCode::Resource, S("Ressourcen"), "CPOResource");
  FakeObject* masks = res->Add(TypeCode::ResMask, S("Masken"), "CPOResMask");
  AddItem(*masks, TypeCode::Mask, "CPOMask", S("Bleibt"));
  TreePaste(ObjectRef(&loaded), false);
  EXPECT_EQ(1u, loaded.GetChildCount());
  EXPECT_EQ((std::vector<wxString>{S("Bleibt")}), ChildNames(*masks));
  // Only the resource folder is missing: the screen folder made for it goes again.
  res->RemoveChild(masks);
  TreePaste(ObjectRef(&loaded), false);
  EXPECT_TRUE(res->HasNoChildren());
  EXPECT_EQ(1u, loaded.GetChildCount());
}

TEST_F(ClipboardTransferTest, ListCutRemovesTheCutRowsAndStopsWhereAHandlerRefuses) {
  FakeObject masks(TypeCode::ResMask, "CPOResMask", S("Masken"));
  Item* a = AddItem(masks, TypeCode::Mask, "CPOMask", S("A"));
  Item* b = AddItem(masks, TypeCode::Mask, "CPOMask", S("B"));
  Item* c = AddItem(masks, TypeCode::Mask, "CPOMask", S("C"));
  b->refuseSeveral = true;
  ListCut(std::vector<ObjectRef>{ObjectRef(a), ObjectRef(b), ObjectRef(c)});
  EXPECT_EQ((std::vector<wxString>{S("B"), S("C")}), ChildNames(masks));
  // The list's cut leaves the copy flag, but its block is still pasted only once.
  EXPECT_TRUE(GetClipboardCopyFlag());
  FakeObject target(TypeCode::ResMask, "CPOResMask", S("Masken 2"));
  TreePaste(ObjectRef(&target), false);
  EXPECT_EQ((std::vector<wxString>{S("A")}), ChildNames(target));
  EXPECT_TRUE(store.Entries().empty());

  // A cut its object refuses stays where it is, but travels (as the tree does).
  c->cutAnswer = FALSE;
  TreeCut(ObjectRef(c));
  EXPECT_TRUE(CProjectObject::IsValidObject(c));
  EXPECT_EQ(1u, store.Entries().size());
}

TEST_F(ClipboardTransferTest, HostileBlocksAreRefusedWholeAndChangeNothing) {
  FakeObject source(TypeCode::ResMask, "CPOResMask", S("Masken"));
  AddItem(source, TypeCode::Mask, "CPOMask", S("Eins"), S("p"));
  AddItem(source, TypeCode::Mask, "CPOMask", S("Zwei"), S("q"));
  std::vector<ObjectRef> rows;
  for (CProjectObject* c : source.GetChildren()) rows.emplace_back(c);
  ListCopy(rows);
  const std::string good = store.Entries()[0].bytes;

  auto withCount = [&good](std::uint32_t n) {
    std::string b = good;
    for (int i = 0; i < 4; ++i) b[7 + i] = static_cast<char>(n >> (8 * i));
    return b;
  };
  auto withFirstFrameLength = [&good](std::uint32_t n) {
    std::string b = good;
    for (int i = 0; i < 4; ++i) b[11 + i] = static_cast<char>(n >> (8 * i));
    return b;
  };
  std::string garbledClass = good;
  garbledClass[15] = '\xFF';   // the first class name's length prefix
  std::string unknownClass = good;
  unknownClass.replace(unknownClass.find("CPOMask"), 7, "CPOXxxx");
  std::string newerVersion = good;
  newerVersion[4] = 2;
  const std::pair<const char*, std::string> cases[] = {
      {"empty", ""},
      {"short header", good.substr(0, 6)},
      {"foreign marker", "XXXX" + good.substr(4)},
      {"newer version", newerVersion},
      {"cut byte out of range", [&] { std::string b = good; b[6] = 7; return b; }()},
      {"count 2^31", withCount(0x80000000u)},
      {"count one too many", withCount(3)},
      {"frame beyond the end", withFirstFrameLength(0xFFFFFFFFu)},
      {"frame cut short", good.substr(0, good.size() - 3)},
      {"trailing bytes", good + "x"},
      {"garbled class name", garbledClass},
      {"unknown class", unknownClass},
  };
  FakeObject target(TypeCode::ResMask, "CPOResMask", S("Ziel"));
  ui.AllowAnyMessage();
  for (const auto& [what, bytes] : cases) {
    EXPECT_FALSE(ParseClipboardBlock(bytes)) << what;
    store.Put(S("POCT21213100"), bytes);
    const std::size_t live = live::LiveCount();
    const std::size_t seen = ui.MessageIds().size();
    view.entries.clear();
    TreePaste(ObjectRef(&target), false);
    ListPaste(ObjectRef(&target), ObjectRef());
    EXPECT_TRUE(target.HasNoChildren()) << what;
    EXPECT_EQ(live, live::LiveCount()) << what;
    EXPECT_TRUE(view.entries.empty()) << what;
    ASSERT_EQ(1u, store.Entries().size()) << what;   // left on the clipboard as it was
    EXPECT_EQ(bytes, store.Entries()[0].bytes) << what;
    EXPECT_EQ((std::vector<UINT>{10981, 10981}), std::vector<UINT>(ui.MessageIds().begin() + seen, ui.MessageIds().end())) << what;
  }

  // The right bytes under a name that is no format of ours are not offered at all.
  store.Put(S("POCT2121310"), good);
  TreePaste(ObjectRef(&target), false);
  EXPECT_TRUE(target.HasNoChildren());

  // Garbled data of one object are that object's failed read only.
  std::string badData = good;
  badData[badData.find('p', badData.find("Eins")) - 1] = '\x7F';
  store.Put(S("POCT21213100"), badData);
  TreePaste(ObjectRef(&target), false);
  EXPECT_EQ((std::vector<wxString>{S("Zwei")}), ChildNames(target));
}

TEST_F(ClipboardTransferTest, UnpastedCutAsksBeforeTheProgramCloses) {
  FakeObject masks(TypeCode::ResMask, "CPOResMask", S("Masken"));
  Item* screen = AddItem(masks, TypeCode::Mask, "CPOMask", S("Start"));
  EXPECT_TRUE(ConfirmCloseWithUnpastedCut());
  TreeCut(ObjectRef(screen));
  ui.ExpectMessage(10983, IDNO);
  EXPECT_FALSE(ConfirmCloseWithUnpastedCut());
  ui.ExpectMessage(10983, IDYES);
  EXPECT_TRUE(ConfirmCloseWithUnpastedCut());
  // Something else on the clipboard: nothing of ours is lost.
  store.Put("text/plain", "x");
  EXPECT_TRUE(ConfirmCloseWithUnpastedCut());
  EXPECT_TRUE(ui.AllExpectationsMet());
}

TEST(ClipboardBlock, TheFuzzSeedsAreBlocksOfTheProgramsClasses) {
  const wxString folder = S(HV_TEST_SOURCE_DIR "/fuzz/corpus/clipboard_block_fuzz/");
  const auto three = ParseClipboardBlock(hvtest::ReadAll(folder + "three_objects"));
  ASSERT_TRUE(three);
  EXPECT_TRUE(three->cut);
  ASSERT_EQ(3u, three->items.size());
  EXPECT_STREQ("CPOPrjFolder", three->items[0].object->ClassName());
  EXPECT_STREQ("CPODoc", three->items[1].object->ClassName());
  EXPECT_EQ(S("Dokumentation Ω"), three->items[2].object->GetName());
  const auto one = ParseClipboardBlock(hvtest::ReadAll(folder + "document"));
  ASSERT_TRUE(one);
  EXPECT_FALSE(one->cut);
  EXPECT_EQ(S("Plan.pdf"), one->items.at(0).object->GetName());
}
