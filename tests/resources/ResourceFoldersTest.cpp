#include <gtest/gtest.h>

#include <wx/filefn.h>

#include "app/TavProjectDoc.h"
#include "platform/Paths.h"
#include "platform/dbase/DbLib.h"
#include "resources/Bitmap.h"
#include "resources/Font.h"
#include "resources/KeypadBmp.h"
#include "resources/KeypadXML.h"
#include "resources/ResBitmap.h"
#include "resources/ResFont.h"
#include "resources/ResKeypad.h"
#include "resources/Resource.h"
#include "tests/resources/PictureBytes.h"
#include "tests/support/FakeDevice.h"
#include "tests/support/TestEnv.h"
#include "tests/support/TestObjects.h"

using namespace hvtest;
using namespace hv::db;

namespace {

class ResourceFolders : public testing::Test {
 protected:
  ResourceFolders() : dev(dir.Path()) { doc.AddView(&view); }

  void Write(const char* relative, const std::string& bytes) {
    const wxString path = dir.Sub(wxString::FromUTF8(relative));
    hv::MakeFolders(hv::PathFolder(path));
    WriteAll(path, bytes);
  }
  // A row of BITMAP or FONT for the file with the logical id.
  std::uint32_t Register(const Schema& schema, const wxString& file, std::uint16_t logId) {
    const std::uint32_t id = &schema == &BitmapSchema() ? bitmap_add(dir.Path(), file) : font_add(dir.Path(), file);
    Table t;
    BitmapRow row;
    EXPECT_TRUE(t.open(dir.Path(), schema));
    EXPECT_TRUE(bitmap_select(t, row, kSeek, "-ID", {id}));
    row.logId = logId;
    EXPECT_TRUE(bitmap_update_current(t, row));
    return id;
  }
  TempDir dir;
  FakeDevice dev;
  CTavProjectDoc doc;
  RecordingView view;
};

}  // namespace

TEST_F(ResourceFolders, BitmapsListPicturesWithRecordsSizesAndColours) {
  ASSERT_TRUE(dbank_create(dir.Path()));
  Write("Bitmaps/a.bmp", BmpBytes(40, 30, 8));
  Write("Bitmaps/B.JPG", JpegBytes(20, 10, 3) + std::string(2000, '\0'));
  Write("Bitmaps/c.gif", GifBytes(3, 4, 2));
  Write("Bitmaps/notes.txt", "not a picture");
  const std::uint32_t id = Register(BitmapSchema(), wxS("a.bmp"), 7);
  Register(BitmapSchema(), wxS("b.jpg"), 0xFFFF);   // rows are found whatever the file's case

  CPOResBitmap folder(&dev.Node(), dev.Handle());
  EXPECT_TRUE(folder.HasListChildren());
  ASSERT_TRUE(folder.LoadChildren());
  ASSERT_EQ((std::vector<wxString>{wxS("a.bmp"), wxS("B.JPG"), wxS("c.gif")}), ChildNames(folder));
  auto kids = folder.GetChildren();
  EXPECT_EQ(wxString::Format(wxS("%u"), id), kids[0]->GetColumnText(1));
  EXPECT_EQ(wxS("7"), kids[0]->GetColumnText(2));
  EXPECT_EQ(wxS("1 KB"), kids[0]->GetColumnText(3));
  EXPECT_EQ(wxS("40 x 30"), kids[0]->GetColumnText(5));
  EXPECT_EQ(wxS("256"), kids[0]->GetColumnText(6));
  EXPECT_EQ(wxS("???"), kids[1]->GetColumnText(2));
  EXPECT_EQ(wxS("2 KB"), kids[1]->GetColumnText(3));   // just over one kilobyte rounds up
  EXPECT_EQ(wxString(), kids[2]->GetColumnText(1));
  EXPECT_EQ(wxS("4"), kids[2]->GetColumnText(6));
  // Sorting by colours compares numbers, not texts ("4" < "256").
  EXPECT_EQ(-1, kids[2]->Compare(kids[0], 6));
  EXPECT_EQ(1, kids[1]->Compare(kids[0], 3));

  // A reload keeps the rows that are still there and drops the others.
  const ObjectSerial kept = kids[0]->GetSerial();
  const ObjectSerial gone = kids[2]->GetSerial();
  ASSERT_TRUE(wxRemoveFile(dir.Sub(wxS("Bitmaps/c.gif"))));
  ASSERT_TRUE(folder.LoadChildren());
  EXPECT_EQ((std::vector<wxString>{wxS("a.bmp"), wxS("B.JPG")}), ChildNames(folder));
  EXPECT_EQ(kept, folder.GetChildren()[0]->GetSerial());
  ASSERT_EQ(1u, view.entries.size());
  EXPECT_EQ(3, view.entries[0].hint);
  EXPECT_EQ(gone, view.entries[0].serial);
}

TEST_F(ResourceFolders, FoldersOfADeviceWithoutFilesOrFolderListNothing) {
  CPOResBitmap bitmaps(&dev.Node(), dev.Handle());
  CPOResFont fonts(&dev.Node(), dev.Handle());
  CPOResKeypad keypads(&dev.Node(), dev.Handle());
  for (CProjectObject* folder : std::initializer_list<CProjectObject*>{&bitmaps, &fonts, &keypads}) {
    EXPECT_FALSE(folder->HasListChildren()) << folder->ClassName();
    EXPECT_TRUE(folder->LoadChildren());
    EXPECT_TRUE(folder->HasNoChildren());
  }
  // Without a device nothing is looked at, not even the current folder.
  CPOResFont orphan;
  EXPECT_FALSE(orphan.HasListChildren());
  dev.folder.clear();
  EXPECT_FALSE(CPOResource(&dev.Node(), dev.Handle()).HasTreeChildren());
}

TEST_F(ResourceFolders, FontsComeFromTheFontsFolderAndTheHardwareTrueTypeFonts) {
  ASSERT_TRUE(dbank_create(dir.Path()));
  Write("fonts/Standard.fnt", std::string(1024, 'f'));
  Write("fonts/Sans.TTF", std::string(1025, 't'));
  Write("fonts/readme.txt", "x");
  Write("Hardware/Sans.TTF", "t");
  Write("Hardware/Default.FNT", "f");   // the hardware's bitmap font is no font file of the device
  Write("Hardware/hardware.set", "[General]\n");
  Register(FontSchema(), wxS("Standard.fnt"), 12);

  CPOResFont folder(&dev.Node(), dev.Handle());
  ASSERT_TRUE(folder.LoadChildren());
  ASSERT_EQ((std::vector<wxString>{wxS("Standard.fnt"), wxS("Sans.TTF"), wxS("Sans.TTF")}), ChildNames(folder));
  auto kids = folder.GetChildren();
  auto* fnt = static_cast<CPOFont*>(kids[0]);
  auto* own = static_cast<CPOFont*>(kids[1]);
  auto* hardware = static_cast<CPOFont*>(kids[2]);
  EXPECT_EQ(9, fnt->GetImage());
  EXPECT_EQ(42, own->GetImage());
  EXPECT_EQ(wxS("12"), fnt->GetColumnText(2));
  EXPECT_EQ(wxS("1 KB"), fnt->GetColumnText(3));
  EXPECT_EQ(wxS("2 KB"), own->GetColumnText(3));
  EXPECT_NE(own->GetListing().path, hardware->GetListing().path);
  EXPECT_TRUE(hardware->GetListing().path.Lower().Contains(wxS("/hardware/")));

  // The two fonts of one name stay two objects across a reload.
  const ObjectSerial a = own->GetSerial();
  const ObjectSerial b = hardware->GetSerial();
  ASSERT_TRUE(folder.LoadChildren());
  EXPECT_EQ(a, folder.GetChildren()[1]->GetSerial());
  EXPECT_EQ(b, folder.GetChildren()[2]->GetSerial());
  EXPECT_TRUE(view.entries.empty());
}

TEST_F(ResourceFolders, KeypadsAreTheXmlAndPictureFilesAndTheHardwareKeypads) {
  Write("Keypads/Numeric.xml", "<keypad/>");
  Write("Keypads/Layout.BMP", BmpBytes(10, 10, 1));
  Write("Keypads/readme.txt", "x");
  Write("hardware/Keypad_Num.xml", "<keypad/>");
  Write("hardware/hardware.xml", "<hardware/>");   // the device's configuration
  CPOResKeypad folder(&dev.Node(), dev.Handle());
  ASSERT_TRUE(folder.LoadChildren());
  ASSERT_EQ((std::vector<wxString>{wxS("Layout.BMP"), wxS("Numeric.xml"), wxS("Keypad_Num.xml")}), ChildNames(folder));
  auto kids = folder.GetChildren();
  EXPECT_STREQ("CPOKeypadBmp", kids[0]->ClassName());
  EXPECT_STREQ("CPOKeypadXML", kids[1]->ClassName());
  EXPECT_STREQ("CPOKeypadXML", kids[2]->ClassName());
  EXPECT_EQ(dir.Sub(wxS("Keypads/Layout.BMP")), static_cast<CPOKeypadBmp*>(kids[0])->GetPath());
  EXPECT_EQ(dir.Sub(wxS("hardware/Keypad_Num.xml")), static_cast<CPOKeypadXML*>(kids[2])->GetPath());
  EXPECT_EQ(wxS("1 KB"), kids[1]->GetColumnText(3));
  EXPECT_EQ(wxS("1 KB"), kids[0]->GetColumnText(3));
}

TEST_F(ResourceFolders, ResourceNodeShowsTheFoldersThatHaveContent) {
  CPOResource node(&dev.Node(), dev.Handle());
  EXPECT_FALSE(node.HasTreeChildren());
  ASSERT_TRUE(node.LoadChildren());
  EXPECT_TRUE(node.HasNoChildren());
  EXPECT_TRUE(view.entries.empty());   // probes and unused folders are never announced

  Write("fonts/Standard.fnt", "f");
  EXPECT_TRUE(node.HasTreeChildren());
  ASSERT_TRUE(node.LoadChildren());
  ASSERT_EQ(1u, node.GetChildCount());
  CProjectObject* fonts = node.GetChildren()[0];
  EXPECT_STREQ("CPOResFont", fonts->ClassName());
  EXPECT_EQ(dev.Handle(), fonts->GetDevice());
  EXPECT_EQ(dev.Project(), fonts->GetProject());

  Write("bitmaps/logo.bmp", BmpBytes(1, 1, 1));
  ASSERT_TRUE(node.LoadChildren());
  ASSERT_EQ(2u, node.GetChildCount());
  EXPECT_EQ(fonts, node.FindChildOfType(TypeCode::ResFont));   // the same object, its tree item stays

  const ObjectSerial fontsSerial = fonts->GetSerial();
  ASSERT_TRUE(wxRemoveFile(dir.Sub(wxS("fonts/Standard.fnt"))));
  ASSERT_TRUE(node.LoadChildren());
  ASSERT_EQ(1u, node.GetChildCount());
  EXPECT_STREQ("CPOResBitmap", node.GetChildren()[0]->ClassName());
  ASSERT_EQ(1u, view.entries.size());
  EXPECT_EQ(3, view.entries[0].hint);
  EXPECT_EQ(fontsSerial, view.entries[0].serial);
}
